// The general-effects pools against fake actors: reward pieces and where
// their money goes, the volley's ring, big shots hitting each hero once, the
// barrel explosion's reach, dry pools and owners.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fake_actors.h"
#include "fx/bigshot_file.h"
#include "fx/ge_manager.h"
#include "fx/mat_anim_manager.h"
#include "fx/node_anim_player.h"
#include "fx/particle_manager.h"
#include "fx/particle_system.h"
#include "fx/stage_effects.h"
#include "fx_test_support.h"
#include "rpanimation.h"
#include "rpusrdat.h"
#include "stage/model_frames.h"
#include "stage/stage_manager.h"
#include "tools/mkdata/fx_data.h"
#include "tools/mkdata/sample_event_data.h"

namespace ge_manager_test {

namespace {

using fxtest::FakeActor;

class GeManager : public fxtest::FxEngineTest {
protected:
    void SetUp() override
    {
        fxtest::FxEngineTest::SetUp();
        hero1.aiType = 0;
        hero1.aiId = 1;
        hero2.aiType = 1;
        hero2.aiId = 2;
        world.heroes = {&hero1, &hero2};
        world.actors = {&hero1, &hero2};
        world.Connect();
    }
    void TearDown() override
    {
        manager.Release();
        world.Disconnect();
        fxtest::FxEngineTest::TearDown();
    }
    void Run(float seconds)
    {
        for (float t = 0.0f; t < seconds; t += 0.016f) {
            manager.Update(0.016f);
        }
    }
    fxtest::FakeWorld world;
    FakeActor hero1;
    FakeActor hero2;
    CCGEManager manager;
};

// Instances first .. first + count - 1 of the pool stand in turn on the ring
// of `radius` around `centre` at its height: the first due +x, each next a
// count-th of a turn on from +x towards +z.
template <typename Where>
void ExpectOnRing(const CSGePool &pool, int32_t first, int32_t count, const RwV3d &centre, float radius, Where where)
{
    for (int32_t i = 0; i < count; ++i) {
        const RwV3d at = where(pool.Instance(first + i));
        const float angle = 6.2831853f * static_cast<float>(i) / static_cast<float>(count);
        EXPECT_NEAR(at.x, centre.x + radius * std::cos(angle), 1e-3f) << i;
        EXPECT_NEAR(at.z, centre.z + radius * std::sin(angle), 1e-3f) << i;
        EXPECT_EQ(at.y, centre.y) << i;
    }
}

TEST_F(GeManager, ThousandMoneyIsTwentyPiecesThatReachTheNearestHeroesEarnings)
{
    hero1.position = {10.0f, 0.0f, 0.0f};
    hero2.position = {500.0f, 0.0f, 0.0f};
    hero1.money = 7;
    manager.Create({});
    EXPECT_EQ(manager.reward->Spawn({0.0f, 0.0f, 0.0f}, 1000), 20);
    int32_t sum = 0;
    for (int32_t i = 0; i < manager.reward->InstanceCount(); ++i) {
        const GeInstance &piece = manager.reward->Instance(i);
        if (piece.used) {
            EXPECT_LE(piece.amount, 50);
            sum += piece.amount;
        }
    }
    EXPECT_EQ(sum, 1000);
    Run(5.0f);
    EXPECT_EQ(manager.reward->InstancesInUse(), 0);
    EXPECT_EQ(hero1.stageMoney, 1000);  // earnings of the stage, paid by the ranking
    EXPECT_EQ(hero1.money, 7);          // not the money itself: never counted twice
    EXPECT_EQ(hero2.stageMoney, 0);
    ASSERT_EQ(world.moneyShown.size(), 20u);
    int rewardLines = 0;
    for (const std::string &line : world.Trace()) {
        rewardLines += line == "fx reward 50 1" ? 1 : 0;
    }
    EXPECT_EQ(rewardLines, 20);
}

// Before they fly to a hero the pieces spring out of the drop, each on a
// heading of its own: a quarter second in, each stands five units out and
// some seven up, no two within 60 degrees of each other.
TEST_F(GeManager, RewardPiecesSpringOutOfTheDropEachOnItsOwnHeading)
{
    hero1.position = {500.0f, 0.0f, 0.0f};
    world.heroes = {&hero1};
    manager.Create({});
    const RwV3d drop = {10.0f, 2.0f, -4.0f};
    ASSERT_EQ(manager.reward->Spawn(drop, 150), 3);
    for (int tick = 0; tick < 16; ++tick) {
        manager.Update(1.0f / 64.0f);
    }
    std::vector<float> headings;
    for (int32_t i = 0; i < 3; ++i) {
        const GeInstance &piece = manager.reward->Instance(i);
        ASSERT_TRUE(piece.used);
        const float dx = piece.position.x - drop.x;
        const float dz = piece.position.z - drop.z;
        EXPECT_NEAR(std::hypot(dx, dz), 5.0f, 0.01f) << i;
        EXPECT_NEAR(piece.position.y - drop.y, 7.0f, 0.8f) << i;  // 40 up a second, falling at 98
        EXPECT_GT(dx * piece.velocity.x + dz * piece.velocity.z, 0.0f) << i;  // out the way it heads
        EXPECT_NEAR(dx * piece.velocity.z - dz * piece.velocity.x, 0.0f, 0.05f) << i;
        headings.push_back(std::atan2(dz, dx) * 57.29578f);
    }
    for (size_t a = 0; a < headings.size(); ++a) {
        for (size_t b = a + 1; b < headings.size(); ++b) {
            const float apart = std::fabs(std::remainder(headings[a] - headings[b], 360.0f));
            EXPECT_GT(apart, 60.0f) << a << " " << b;
        }
    }
}

// With no hero to fly to, the pieces lie where they fell for twenty
// seconds and then go, paying no one.
TEST_F(GeManager, PiecesWithNoHeroToReachLieTwentySecondsAndGoUnpaid)
{
    world.heroes.clear();
    manager.Create({});
    EXPECT_EQ(manager.reward->Spawn({0.0f, 0.0f, 0.0f}, 100), 2);
    for (int i = 0; i < 39; ++i) {
        manager.Update(0.5f);
    }
    EXPECT_EQ(manager.reward->InstancesInUse(), 2);  // 19.5 s
    manager.Update(0.5f);
    EXPECT_EQ(manager.reward->InstancesInUse(), 0);  // 20 s
    EXPECT_TRUE(world.moneyShown.empty());
}

// Each pool starts as many effects as it holds, each at the place asked;
// the next start finds it dry, starts nothing and answers false, and the caller
// goes on.
TEST_F(GeManager, EachPoolStartsWhatItHoldsAtThePlaceAskedAndThenNothing)
{
    manager.Create({});
    std::vector<FakeActor> owners(9);
    const auto startEach = [](int32_t tries, const auto &start) {
        int32_t started = 0;
        for (int32_t i = 0; i < tries; ++i) {
            started += start(i) ? 1 : 0;
        }
        return started;
    };
    const auto lastAt = [](const CSGePool &pool) {
        return pool.Instance(pool.InstanceCount() - 1).position;
    };
    const auto place = [](int32_t i) { return RwV3d{static_cast<float>(i), 2.0f, 3.0f}; };
    const auto matrix = [&place](int32_t i) { return fxtest::Translation(place(i)); };
    EXPECT_FALSE(manager.dizzy->Start(nullptr));
    EXPECT_FALSE(manager.statusParticles->Attach(nullptr));
    EXPECT_EQ(manager.statusParticles->InstancesInUse(), 0);
    EXPECT_EQ(startEach(9, [&](int32_t i) {
                  owners[static_cast<size_t>(i)].position = place(i);
                  return manager.dizzy->Start(fxtest::FakeWorld::As(&owners[static_cast<size_t>(i)]));
              }),
              8);
    EXPECT_EQ(lastAt(*manager.dizzy).x, 7.0f);
    EXPECT_EQ(startEach(5, [&](int32_t i) {
                  return manager.charge3206400->Start(fxtest::FakeWorld::As(&owners[static_cast<size_t>(i)]));
              }),
              4);
    EXPECT_EQ(lastAt(*manager.charge3206400).x, 3.0f);
    EXPECT_EQ(startEach(9, [&](int32_t i) { return manager.downHit->Start(place(i)); }), 8);
    EXPECT_EQ(lastAt(*manager.downHit).x, 7.0f);
    EXPECT_EQ(startEach(9, [&](int32_t i) {
                  const RwMatrix m = matrix(i);
                  return manager.bkShield->Start(3218500, &m);
              }),
              8);
    EXPECT_EQ(lastAt(*manager.bkShield).x, 7.0f);
    EXPECT_EQ(startEach(5, [&](int32_t i) {
                  const RwMatrix m = matrix(i);
                  return manager.modelPool->StartAt(&m);
              }),
              4);
    EXPECT_EQ(lastAt(*manager.modelPool).x, 3.0f);
    EXPECT_EQ(startEach(5, [&](int32_t i) { return manager.potion->Start(1, place(i)); }), 4);
    EXPECT_EQ(lastAt(*manager.potion).x, 3.0f);
    EXPECT_EQ(startEach(3, [&](int32_t i) {
                  const RwMatrix m = matrix(i);
                  return manager.flush->Start(&m);
              }),
              2);
    EXPECT_EQ(lastAt(*manager.flush).x, 1.0f);
    EXPECT_EQ(startEach(2, [&](int32_t i) { return manager.sStarEff->Start(place(i)); }), 1);
    EXPECT_EQ(lastAt(*manager.sStarEff).x, 0.0f);
    // The burst's entries are taken one by one and placed after.
    EXPECT_FALSE(manager.effect3507200->SetActive(-1, true));
    EXPECT_FALSE(manager.effect3507200->SetActive(8, true));
    EXPECT_EQ(startEach(9, [&](int32_t) {
                  const int32_t entry = manager.effect3507200->FindFree();
                  if (entry < 0 || !manager.effect3507200->SetActive(entry, true)) {
                      return false;
                  }
                  manager.effect3507200->Start(entry, place(entry));
                  return true;
              }),
              8);
    EXPECT_EQ(lastAt(*manager.effect3507200).x, 7.0f);
    EXPECT_EQ(manager.effect3507200->FindFree(), -1);
    EXPECT_TRUE(manager.effect3507200->SetActive(3, false));
    EXPECT_EQ(manager.effect3507200->FindFree(), 3);
    EXPECT_EQ(manager.ring3405400->Start({0.0f, 0.0f, 9.0f}, {1.0f, 0.0f, 0.0f}), 6);
    EXPECT_TRUE(world.sounds.empty()) << "none of these sounds as it starts";
    // An explosion: eight blasts on a ring of radius 6 and its sound, once a
    // start; the third finds the pool dry and stays silent.
    const RwV3d blast = {20.0f, 1.0f, -5.0f};
    EXPECT_EQ(manager.explosion->Start(blast), 8);
    EXPECT_EQ(world.sounds, (std::vector<int32_t>{6500320}));
    ExpectOnRing(*manager.explosion, 0, 8, blast, 6.0f, [](const GeInstance &b) { return b.position; });
    EXPECT_EQ(manager.explosion->Start(blast), 8);
    EXPECT_EQ(manager.explosion->Start(blast), 0);
    EXPECT_EQ(world.sounds, (std::vector<int32_t>{6500320, 6500320}));
}

TEST_F(GeManager, OddAmountsAndADryPoolKeepEveryCoin)
{
    hero1.position = {5.0f, 0.0f, 0.0f};
    world.heroes = {&hero1};
    manager.Create({});
    EXPECT_EQ(manager.reward->Spawn({0.0f, 0.0f, 0.0f}, 120), 3);  // 50, 50, 20
    EXPECT_EQ(manager.reward->Spawn({0.0f, 0.0f, 0.0f}, 0), 0);
    // 61 more pieces are free; 4000 asks for 80.
    EXPECT_EQ(manager.reward->Spawn({0.0f, 0.0f, 0.0f}, 4000), 61);
    EXPECT_EQ(manager.reward->Spawn({0.0f, 0.0f, 0.0f}, 50), 0);  // dry: nothing starts, the caller goes on
    Run(6.0f);
    EXPECT_EQ(hero1.stageMoney, 4120);
}

TEST_F(GeManager, TheVolleyLandsOneShotOnTheTargetAndSevenOnTheRadiusTenCircle)
{
    manager.Create({});
    const RwV3d target = {100.0f, 0.0f, 50.0f};
    EXPECT_EQ(manager.boss1102Shots->ThrowVolley({-20.0f, 20.0f, -30.0f}, nullptr, target), 8);
    int onCentre = 0;
    int onCircle = 0;
    for (int32_t i = 0; i < manager.boss1102Shots->InstanceCount(); ++i) {
        const GeInstance &shot = manager.boss1102Shots->Instance(i);
        if (!shot.used) {
            continue;
        }
        const float d = std::hypot(shot.to.x - target.x, shot.to.z - target.z);
        onCentre += d < 1e-4f ? 1 : 0;
        onCircle += std::fabs(d - 10.0f) < 1e-3f ? 1 : 0;
    }
    EXPECT_EQ(onCentre, 1);
    EXPECT_EQ(onCircle, 7);
    // The first at the aim, then the circle's seven evenly spread, due +x
    // first and on counter to the clock (seen from above: +x towards +z).
    ExpectOnRing(*manager.boss1102Shots, 1, 7, target, 10.0f, [](const GeInstance &shot) { return shot.to; });
    // Each lands on its point within its life (a frame's flight at most away).
    Run(3.0f);
    EXPECT_EQ(manager.boss1102Shots->InstancesInUse(), 0);
    for (int32_t i = 0; i < manager.boss1102Shots->InstanceCount(); ++i) {
        const GeInstance &shot = manager.boss1102Shots->Instance(i);
        if (shot.to.x != 0.0f || shot.to.z != 0.0f) {
            EXPECT_NEAR(shot.position.x, shot.to.x, 2.0f) << i;
            EXPECT_NEAR(shot.position.z, shot.to.z, 2.0f) << i;
            EXPECT_FLOAT_EQ(shot.position.y, shot.to.y) << i;
        }
    }
}

// A point farther than the shot flies at its speed within its life is still
// reached: the flight is held a tenth of a second inside the life, so the
// shot comes down on its point before it goes out.
TEST_F(GeManager, AThrowBeyondTheShotsReachLandsOnItsPointWithinItsLife)
{
    manager.Create({});
    hero1.position = {0.0f, 0.0f, 500.0f};  // far from the flight
    hero2.position = {0.0f, 0.0f, -500.0f};
    CSBoss1102ShotPool *shots = manager.boss1102Shots;
    const float speed = shots->Shot().speed > 0.0f ? shots->Shot().speed : 60.0f;
    const RwV3d target = {speed * shots->Facts().life * 2.0f, 0.0f, 0.0f};
    ASSERT_TRUE(shots->Throw({0.0f, 20.0f, 0.0f}, nullptr, target, 0));
    Run(shots->Facts().life);
    EXPECT_EQ(shots->InstancesInUse(), 0);
    int landed = 0;
    for (int32_t i = 0; i < shots->InstanceCount(); ++i) {
        const GeInstance &shot = shots->Instance(i);
        if (shot.to.x == target.x) {
            ++landed;
            EXPECT_NEAR(shot.position.x, target.x, 3.0f);  // a frame's flight at most away
            EXPECT_FLOAT_EQ(shot.position.y, target.y);
        }
    }
    EXPECT_EQ(landed, 1);
    EXPECT_EQ(world.MessagesTo(hero1) + world.MessagesTo(hero2), 0);
}

// A thrown projectile hits the first hero it touches on its way and ends
// there; one that touches none lands on its point and hits nothing.
TEST_F(GeManager, AThrownProjectileHitsTheFirstHeroItTouches)
{
    manager.Create({});
    const float reach = manager.boss1102Shots->Shot().radius;
    hero1.position = {0.0f, 0.0f, 500.0f};  // far from the flight
    hero2.position = {0.0f, 0.0f, -500.0f};
    ASSERT_TRUE(manager.boss1102Shots->Throw({0.0f, 20.0f, 0.0f}, nullptr, {100.0f, 0.0f, 0.0f}, 0));
    // The second hero stands where the projectile is half a second later, high on its arc.
    for (int32_t i = 0; i < manager.boss1102Shots->InstanceCount(); ++i) {
        const GeInstance &shot = manager.boss1102Shots->Instance(i);
        if (shot.used) {
            const float t = 0.5f;
            hero2.position = {shot.position.x + shot.velocity.x * t,
                              shot.position.y + shot.velocity.y * t - 0.5f * kBallisticGravity * t * t,
                              shot.position.z + shot.velocity.z * t};
        }
    }
    ASSERT_GT(hero2.position.y, 25.0f);
    Run(3.0f);
    EXPECT_EQ(world.MessagesTo(hero1), 0);
    ASSERT_EQ(world.MessagesTo(hero2), 1);
    EXPECT_EQ(manager.boss1102Shots->InstancesInUse(), 0);
    // Nobody on the way or near the point: it lands, hitting no one.
    world.posted.clear();
    hero2.position = {0.0f, 0.0f, -500.0f};
    ASSERT_TRUE(manager.boss1102Shots->Throw({0.0f, 20.0f, 0.0f}, nullptr, {100.0f, 0.0f, reach * 3.0f}, 0));
    Run(3.0f);
    EXPECT_TRUE(world.posted.empty());
    EXPECT_EQ(manager.boss1102Shots->InstancesInUse(), 0);
}

TEST_F(GeManager, ABigShotHitsEachHeroInReachOnceWithItsFileValues)
{
    BigShotDesc shot;
    shot.life = 1.0f;
    shot.radius = 15.0f;
    shot.damage = 37;
    shot.attribute = 1 | 64;
    Write("RESOURCE/BIGSHOT/Shockwave.BSH", FormatBigShot(shot));
    hero1.position = {5.0f, 0.0f, 0.0f};
    hero2.position = {0.0f, 0.0f, 14.0f};
    FakeActor farHero;
    farHero.aiType = 1;
    farHero.position = {40.0f, 0.0f, 0.0f};
    world.heroes.push_back(&farHero);
    manager.Create({});
    EXPECT_EQ(manager.shockwave->Shot().damage, 37);
    ASSERT_TRUE(manager.shockwave->Start({0.0f, 0.0f, 0.0f}));
    Run(2.0f);
    EXPECT_EQ(world.MessagesTo(hero1), 1);
    EXPECT_EQ(world.MessagesTo(hero2), 1);
    EXPECT_EQ(world.MessagesTo(farHero), 0);  // only the first two heroes are listed in a stage anyway
    for (const fxtest::PostedMessage &m : world.posted) {
        EXPECT_EQ(m.kind, 2);
        EXPECT_EQ(m.w[0], 0);
        EXPECT_EQ(m.w[1], 1 | 64);
        EXPECT_EQ(m.w[2], 37);
    }
    EXPECT_EQ(manager.shockwave->InstancesInUse(), 0);
}

TEST_F(GeManager, TheBarrelExplosionReachesThirtyUnits)
{
    // Around a barrel away from the world's origin.
    const auto near = [](float x, float y, float z) { return RwV3d{100.0f + x, 5.0f + y, -50.0f + z}; };
    FakeActor bombNear;
    bombNear.aiType = 10028;
    bombNear.position = near(0.0f, 0.0f, 30.0f);  // at the edge of the reach: still in it
    FakeActor bombFar;
    bombFar.aiType = 10029;
    bombFar.position = near(31.0f, 0.0f, 0.0f);
    FakeActor npc;
    npc.aiType = 105;  // below 1000: not hit
    npc.position = near(1.0f, 0.0f, 0.0f);
    hero1.position = near(30.0f, 0.0f, 0.0f);
    hero2.position = near(0.0f, 30.01f, 0.0f);
    world.actors = {&hero1, &hero2, &bombNear, &bombFar, &npc};
    manager.Create({});
    EXPECT_FALSE(manager.barrelBomb->Start(nullptr));  // no place: nothing blows
    EXPECT_TRUE(world.posted.empty());
    EXPECT_EQ(manager.barrelBomb->InstancesInUse(), 0);
    RwMatrix at = fxtest::Translation(near(0.0f, 0.0f, 0.0f));
    ASSERT_TRUE(manager.barrelBomb->Start(&at));
    ASSERT_EQ(world.posted.size(), 2u);
    EXPECT_EQ(world.posted[0].target, &hero1);
    EXPECT_EQ(world.posted[0].kind, 2);
    EXPECT_EQ(world.posted[0].w[1], 1);
    EXPECT_EQ(world.posted[0].w[2], 100);
    EXPECT_EQ(world.posted[1].target, &bombNear);
    EXPECT_EQ(world.posted[1].kind, 1);
    EXPECT_EQ(world.posted[1].sender, nullptr);
    EXPECT_EQ(world.posted[1].w[1], 1);  // a plain hit: the bomb lights its fuse
    EXPECT_EQ(world.posted[1].w[2], 100);
    Run(1.0f);
    EXPECT_EQ(world.posted.size(), 2u);  // once only
}

TEST_F(GeManager, PoolsRunDryAndOwnersStopTheirEffects)
{
    manager.Create({});
    std::vector<FakeActor> monsters(13);
    for (int i = 0; i < 12; ++i) {
        EXPECT_TRUE(manager.statusParticles->Attach(fxtest::FakeWorld::As(&monsters[i])));
    }
    EXPECT_FALSE(manager.statusParticles->Attach(fxtest::FakeWorld::As(&monsters[12])));
    manager.statusParticles->Detach(fxtest::FakeWorld::As(&monsters[3]));
    EXPECT_EQ(manager.statusParticles->InstancesInUse(), 11);
    EXPECT_TRUE(manager.dizzy->Start(fxtest::FakeWorld::As(&monsters[0])));
    manager.StopOwner(fxtest::FakeWorld::As(&monsters[0]));
    EXPECT_EQ(manager.dizzy->InstancesInUse(), 0);
    EXPECT_EQ(manager.statusParticles->InstancesInUse(), 10);
    // Status particles live until detached.
    Run(3.0f);
    EXPECT_EQ(manager.statusParticles->InstancesInUse(), 10);

    // A shot pool that is full starts nothing more and says so: the boss's
    // sixteen shots are two volleys of eight, the third throws none.
    const RwV3d from = {0.0f, 20.0f, 0.0f};
    const RwV3d aim = {40.0f, 0.0f, 0.0f};
    EXPECT_EQ(manager.boss1102Shots->ThrowVolley(from, nullptr, aim), 8);
    EXPECT_EQ(manager.boss1102Shots->ThrowVolley(from, nullptr, aim), 8);
    EXPECT_EQ(manager.boss1102Shots->ThrowVolley(from, nullptr, aim), 0);
    EXPECT_FALSE(manager.boss1102Shots->Throw(from, nullptr, aim, 0));
    EXPECT_EQ(manager.boss1102Shots->InstancesInUse(), 16);
    const int32_t shots = manager.bigShot3209000->InstanceCount();
    for (int32_t i = 0; i < shots; ++i) {
        EXPECT_TRUE(manager.bigShot3209000->Start(from, aim, 0)) << i;
    }
    EXPECT_FALSE(manager.bigShot3209000->Start(from, aim, 0));
    EXPECT_EQ(manager.bigShot3209000->InstancesInUse(), shots);
    // No owner names no one's effects: the shots, which have none, go on.
    manager.StopOwner(nullptr);
    EXPECT_EQ(manager.boss1102Shots->InstancesInUse(), 16);
    EXPECT_EQ(manager.bigShot3209000->InstancesInUse(), shots);
}

TEST_F(GeManager, VinesAndBugsStartOnTheirRingsWithTheirSounds)
{
    manager.Create({});
    EXPECT_EQ(manager.vines->Start({0.0f, 0.0f, 0.0f}), 8);
    FakeActor target;
    target.position = {50.0f, 0.0f, 0.0f};
    EXPECT_EQ(manager.bugs->Start({0.0f, 35.0f, 0.0f}, fxtest::FakeWorld::As(&target)), 10);
    for (int32_t i = 0; i < manager.vines->InstanceCount(); ++i) {
        const GeInstance &vine = manager.vines->Instance(i);
        EXPECT_NEAR(std::hypot(vine.from.x, vine.from.z), 10.0f, 1e-4f);
    }
    int onRing = 0;
    for (int32_t i = 0; i < manager.bugs->InstanceCount(); ++i) {
        const GeInstance &bug = manager.bugs->Instance(i);
        if (bug.used) {
            onRing += std::fabs(std::hypot(bug.from.x, bug.from.z) - 20.0f) < 1e-3f ? 1 : 0;
            EXPECT_EQ(bug.to.x, 50.0f);
        }
    }
    EXPECT_EQ(onRing, 10);
    EXPECT_EQ(world.sounds.size(), 2u);
    int starts = 0;
    for (const std::string &line : world.Trace()) {
        starts += line.rfind("fx start Vines ", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(starts, 8);
}

TEST_F(GeManager, EntriesSwitchedOnByTheirUsersAndEffectsThatFollowOrWait)
{
    manager.Create({});
    // Effect-burst entries: found free, switched on, placed, switched off.
    const int32_t entry = manager.effect3507200->FindFree();
    ASSERT_EQ(entry, 0);
    ASSERT_TRUE(manager.effect3507200->SetActive(entry, true));
    EXPECT_EQ(manager.effect3507200->FindFree(), 1);
    manager.effect3507200->Start(entry, {3.0f, 0.0f, 4.0f});
    EXPECT_EQ(manager.effect3507200->Instance(entry).position.z, 4.0f);
    EXPECT_TRUE(manager.effect3507200->SetActive(entry, true));  // on already: kept where it is
    EXPECT_EQ(manager.effect3507200->Instance(entry).position.z, 4.0f);
    manager.effect3507200->Start(1, {7.0f, 7.0f, 7.0f});  // not switched on: not placed
    EXPECT_FALSE(manager.effect3507200->Instance(1).used);
    EXPECT_NE(manager.effect3507200->Instance(1).position.x, 7.0f);
    manager.effect3507200->SetActive(entry, false);
    EXPECT_EQ(manager.effect3507200->InstancesInUse(), 0);

    // The charge effect keeps to its owner.
    FakeActor monster;
    monster.position = {1.0f, 0.0f, 1.0f};
    ASSERT_TRUE(manager.charge3206400->Start(fxtest::FakeWorld::As(&monster)));
    monster.position = {6.0f, 0.0f, 1.0f};
    manager.Update(0.016f);
    EXPECT_EQ(manager.charge3206400->Instance(0).position.x, 6.0f);

    // The ring effect moves as a whole and its particles start again.
    EXPECT_EQ(manager.ring3405400->Start({0.0f, 2.0f, 0.0f}, {1.0f, 0.0f, 0.0f}), 6);
    EXPECT_NEAR(manager.ring3405400->Instance(0).from.x, 8.0f, 1e-4f);  // the first place faces the direction
    RwV3d before[6];
    for (int32_t i = 0; i < 6; ++i) {
        before[i] = manager.ring3405400->Instance(i).from;
    }
    manager.ring3405400->SetPosition({10.0f, 3.0f, -4.0f});  // its centre moves there
    for (int32_t i = 0; i < 6; ++i) {
        const RwV3d at = manager.ring3405400->Instance(i).position;
        EXPECT_NEAR(at.x, before[i].x + 10.0f, 1e-4f) << i;
        EXPECT_NEAR(at.y, before[i].y + 1.0f, 1e-4f) << i;
        EXPECT_NEAR(at.z, before[i].z - 4.0f, 1e-4f) << i;
    }
    manager.ring3405400->StartParticles();

    // A big shot that waits for its switch, and the star effect switched off and on.
    EXPECT_FALSE(manager.bigShot3216200->Start({0.0f, 0.0f, 0.0f}));
    manager.bigShot3216200->SetActive(true);
    EXPECT_TRUE(manager.bigShot3216200->Start({0.0f, 0.0f, 0.0f}));
    manager.bigShot3216200->SetActive(false);
    EXPECT_EQ(manager.bigShot3216200->InstancesInUse(), 0);
    ASSERT_TRUE(manager.sStarEff->Start({1.0f, 2.0f, 3.0f}));
    manager.sStarEff->SetOn(false);
    EXPECT_EQ(manager.sStarEff->InstancesInUse(), 0);
    manager.sStarEff->SetOn(true);
    EXPECT_EQ(manager.sStarEff->Instance(0).position.y, 2.0f);
    Run(10.0f);
    EXPECT_EQ(manager.sStarEff->InstancesInUse(), 1);  // until switched off
}

// The charge effect's model as a modeller would make it: a base joint
// (node 1) and a tip joint (node 2) five units above it carrying a box.
void WriteJointedChargeModel(const std::string &root)
{
    RpClump *clump = RpClumpCreate();
    RwFrame *top = RwFrameCreate();
    RpClumpSetFrame(clump, top);
    RwFrame *base = mkdata::AddFrame(top, {0.0f, 0.0f, 0.0f});
    RwFrame *tip = mkdata::AddAtomic(clump, base, mkdata::BuildBox({0.5f, 2.0f, 0.5f}, {200, 120, 40, 255}),
                                     {0.0f, 5.0f, 0.0f});
    ASSERT_NE(tip, nullptr);
    RpHAnimFrameSetID(base, 1);
    RpHAnimFrameSetID(tip, 2);
    RwUInt32 flags[2] = {0, 0x01};  // the tip is a leaf
    RwInt32 ids[2] = {1, 2};
    RpHAnimHierarchy *skeleton = RpHAnimHierarchyCreate(2, flags, ids, 0, sizeof(RpHAnimInterpFrame));
    ASSERT_NE(skeleton, nullptr);
    RpHAnimFrameSetHierarchy(top, skeleton);
    RpHAnimHierarchyAttach(skeleton);
    ASSERT_TRUE(mkdata::WriteClump(clump, root + "/RESOURCE/FX/3206400/3206400.DFF"));
}

void PutWord(std::vector<uint8_t> *out, uint32_t word)
{
    for (int shift = 0; shift < 32; shift += 8) {
        out->push_back(static_cast<uint8_t>(word >> shift));
    }
}

void PutFloat(std::vector<uint8_t> *out, float value)
{
    uint32_t word = 0;
    std::memcpy(&word, &value, sizeof word);
    PutWord(out, word);
}

// Its motions, an .ANM of one chunk: the base holds still while the tip
// turns about z from 0 to 90 degrees over one second (keys at 0, 0.5 and
// 1 s, each node's keys after the one before it of the same node).
std::vector<uint8_t> TipTurnAnimationBytes()
{
    const float times[3] = {0.0f, 0.5f, 1.0f};
    std::vector<uint8_t> body;
    PutWord(&body, 0x100);  // version
    PutWord(&body, 1);      // the standard keyframe scheme
    PutWord(&body, 6);      // keyframes
    PutWord(&body, 0);      // flags
    PutFloat(&body, 1.0f);  // duration
    for (int key = 0; key < 6; ++key) {
        const int node = key % 2;
        const float half = node == 1 ? 0.5f * 1.5707963f * times[key / 2] : 0.0f;
        PutFloat(&body, times[key / 2]);
        PutFloat(&body, 0.0f);
        PutFloat(&body, 0.0f);
        PutFloat(&body, std::sin(half));
        PutFloat(&body, std::cos(half));
        PutFloat(&body, 0.0f);
        PutFloat(&body, node == 1 ? 5.0f : 0.0f);
        PutFloat(&body, 0.0f);
        PutWord(&body, static_cast<uint32_t>(key < 2 ? 0 : (key - 2) * 36));
    }
    std::vector<uint8_t> file;
    PutWord(&file, 0x1B);  // an animation chunk
    PutWord(&file, static_cast<uint32_t>(body.size()));
    PutWord(&file, RwLibraryStampMake(rwLIBRARYVERSION, rwLIBRARYBUILD));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

// The tip joint's turn about z in degrees, as drawn.
float TipDegrees(RpClump *clump)
{
    const RwMatrix *ltm = RwFrameGetLTM(FindFrameByNodeId(clump, 2));
    return std::atan2(ltm->right.y, ltm->right.x) * 57.29578f;
}

// In a running stage the charge effect's model plays its motion 0 from its
// start: over its one-second life the tip turns a quarter turn, 1.5 degrees
// a frame; started again, the motion starts again from its first frame.
TEST_F(GeManager, TheChargeEffectsModelPlaysItsMotionInTheStage)
{
    WriteJointedChargeModel(root);
    const std::vector<uint8_t> anm = TipTurnAnimationBytes();
    std::ofstream(root + "/RESOURCE/FX/3206400/3206400.ANM", std::ios::binary)
        .write(reinterpret_cast<const char *>(anm.data()), static_cast<std::streamsize>(anm.size()));
    CSStageManager stage;
    const FxLinks fakes = g_fxLinks;
    CreateEffectMembers(&stage);
    g_fxLinks = fakes;  // the effects' links to these actors, not the game's
    LoadEffectsPackInto(&stage);
    LoadStageEffects(&stage);
    CSGe3206400 *charge = stage.geManager->charge3206400;
    ASSERT_NE(charge->Instance(0).clump, nullptr);
    FakeActor monster;
    monster.position = {4.0f, 0.0f, 2.0f};
    ASSERT_TRUE(charge->Start(fxtest::FakeWorld::As(&monster)));
    RpClump *model = charge->Instance(0).clump;
    ASSERT_NE(FindFrameByNodeId(model, 2), nullptr);
    EXPECT_NEAR(TipDegrees(model), 0.0f, 0.01f);
    const float step = 1.0f / 60.0f;
    for (int frame = 1; frame <= 30; ++frame) {
        UpdateStageEffects(&stage, step, nullptr);
        ASSERT_NEAR(TipDegrees(model), 1.5f * static_cast<float>(frame), 0.05f) << "frame " << frame;
    }
    EXPECT_NEAR(RwFrameGetLTM(RpClumpGetFrame(model))->pos.x, 4.0f, 1e-4f);  // where its owner stands
    for (int frame = 31; frame <= 58; ++frame) {
        UpdateStageEffects(&stage, step, nullptr);
    }
    EXPECT_NEAR(TipDegrees(model), 87.0f, 0.05f);
    for (int frame = 59; frame <= 62 && charge->InstancesInUse() > 0; ++frame) {
        UpdateStageEffects(&stage, step, nullptr);
    }
    ASSERT_EQ(charge->InstancesInUse(), 0);
    ASSERT_TRUE(charge->Start(fxtest::FakeWorld::As(&monster)));
    ASSERT_EQ(charge->Instance(0).clump, model);
    UpdateStageEffects(&stage, step, nullptr);
    EXPECT_NEAR(TipDegrees(model), 1.5f, 0.05f);
    ReleaseStageEffects(&stage);
    DestroyEffectMembers(&stage);

    // A pool let go gives its models and their motion back to the player
    // that plays them.
    CSClumpAnimManager anims;
    GeServices services;
    services.anims = &anims;
    CSGe3206400 alone;
    alone.Create(services);
    std::vector<const RpClump *> models;
    for (int32_t i = 0; i < alone.InstanceCount(); ++i) {
        models.push_back(alone.Instance(i).clump);
        EXPECT_TRUE(anims.HoldsClump(models.back())) << i;
    }
    ASSERT_EQ(anims.GetAnimCount(), 1);
    alone.Release();
    for (const RpClump *held : models) {
        EXPECT_FALSE(anims.HoldsClump(held));
    }
    EXPECT_EQ(anims.GetAnimInfo(0)->animation, nullptr);  // its motion freed with its last use
}

// A pool's model that carries a node animation plays it from its start at
// each start of the effect; a released pool gives its models back to the
// node player, which then holds none of them.
TEST_F(GeManager, APoolsModelPlaysItsNodeAnimationFromItsStartEachTime)
{
    // The charge effect's model: a card with a lid (user id 77) that rises
    // 3 over 60 animation frames.
    RpClump *card = mkdata::BuildFxCard("none", 1.0f, {255, 255, 255, 255});
    RwFrame *lid = RwFrameCreate();
    RwFrameAddChild(RpClumpGetFrame(card), lid);
    RpUserDataArray *strings =
        RpUserDataListAddArray(RpUserDataFrameGetList(lid), "3dsmax User Properties", rpSTRINGUSERDATA, 2);
    ASSERT_NE(strings, nullptr);
    RpUserDataArraySetString(strings, 0, "77");
    RpUserDataArraySetString(strings, 1, "NodeAnim 60 0 0 0 0 3 0");
    ASSERT_TRUE(mkdata::WriteClump(card, root + "/RESOURCE/FX/3206400/3206400.DFF"));
    RpClumpDestroy(card);
    CSNodeAnimPlayer nodes;
    GeServices services;
    services.nodeAnims = &nodes;
    manager.Create(services);
    CSGe3206400 *charge = manager.charge3206400;
    ASSERT_NE(charge->Instance(0).clump, nullptr);
    EXPECT_EQ(nodes.ClumpCount(), charge->Facts().count);
    FakeActor monster;
    monster.position = {4.0f, 0.0f, 2.0f};
    const float step = 1.0f / 60.0f;
    const auto lidHeight = [&] {
        RwFrame *frame = FindFrameByUserId(charge->Instance(0).clump, 77);
        return frame != nullptr ? RwFrameGetLTM(frame)->pos.y : -100.0f;
    };
    ASSERT_TRUE(charge->Start(fxtest::FakeWorld::As(&monster)));
    for (int frame = 0; frame < 30; ++frame) {
        manager.Update(step);
    }
    EXPECT_NEAR(lidHeight(), 1.5f, 0.01f);
    for (int frame = 30; frame < 70 && charge->InstancesInUse() > 0; ++frame) {
        manager.Update(step);
    }
    ASSERT_EQ(charge->InstancesInUse(), 0);
    ASSERT_TRUE(charge->Start(fxtest::FakeWorld::As(&monster)));
    manager.Update(step);
    EXPECT_NEAR(lidHeight(), 0.05f, 0.01f);  // from its start again
    manager.Release();
    EXPECT_EQ(nodes.ClumpCount(), 0);
}

// The sample data's barrage shot (ten a second for ten seconds) flies to its target in
// its life and ends there having hit it, instead of resting on the hero and piling up.
TEST_F(GeManager, TheSampleBarrageShotEndsWhereItHitsItsTarget)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data";
    }
    std::ifstream in(apptest::SampleData() + "/RESOURCE/BIGSHOT/3215400.BSH");
    std::stringstream text;
    text << in.rdbuf();
    ASSERT_FALSE(text.str().empty());
    Write("RESOURCE/BIGSHOT/3215400.BSH", text.str());
    hero1.position = {40.0f, 0.0f, 0.0f};
    hero2.position = {0.0f, 0.0f, 200.0f};
    manager.Create({});
    const float life = manager.bigShot3215400->Shot().life;
    ASSERT_GT(life, 0.1f);
    ASSERT_TRUE(manager.bigShot3215400->Start({0.0f, 0.0f, 0.0f}, hero1.position));
    Run(life * 0.5f);
    EXPECT_EQ(manager.bigShot3215400->InstancesInUse(), 1);
    EXPECT_EQ(world.MessagesTo(hero1), 0);
    Run(life * 0.5f + 0.05f);
    EXPECT_EQ(world.MessagesTo(hero1), 1);
    EXPECT_EQ(manager.bigShot3215400->InstancesInUse(), 0);
}

TEST_F(GeManager, AWaveRunsAlongTheFacingAndHitsWhoItPasses)
{
    hero1.position = {60.0f, 0.0f, 0.0f};
    hero2.position = {60.0f, 0.0f, 40.0f};
    manager.Create({});
    ASSERT_TRUE(manager.wave->Start({0.0f, 0.0f, 0.0f}, {2.0f, 0.0f, 0.0f}));
    EXPECT_NEAR(manager.wave->Instance(0).to.x, 100.0f, 1e-4f);
    Run(2.5f);
    EXPECT_EQ(world.MessagesTo(hero1), 1);
    EXPECT_EQ(world.MessagesTo(hero2), 0);
    // From anywhere, along any facing on the ground: its height is its start's.
    ASSERT_TRUE(manager.wave->Start({5.0f, 1.0f, -3.0f}, {0.0f, 7.0f, -4.0f}));
    int32_t started = 0;
    for (int32_t i = 0; i < manager.wave->InstanceCount(); ++i) {
        const GeInstance &wave = manager.wave->Instance(i);
        if (wave.used && wave.from.x == 5.0f) {
            ++started;
            EXPECT_NEAR(wave.to.x, 5.0f, 1e-4f);
            EXPECT_NEAR(wave.to.y, 1.0f, 1e-4f);
            EXPECT_NEAR(wave.to.z, -103.0f, 1e-4f);
        }
    }
    EXPECT_EQ(started, 1);
}

// The bosses' aimed shots fly from where they start to where they are aimed
// at their file's speed, and hit the hero standing there once, not the one
// off their line; a shot aimed at an actor goes to that actor.
TEST_F(GeManager, AimedShotsFlyFromTheirStartToTheirAimAndHitWhoIsThere)
{
    BigShotDesc shot;
    shot.speed = 20.0f;
    shot.life = 5.0f;
    shot.radius = 3.0f;
    shot.damage = 11;
    for (const char *name : {"3211200", "WingBall", "3214400", "3215400", "LitArrow", "3209000"}) {
        Write(std::string("RESOURCE/BIGSHOT/") + name + ".BSH", FormatBigShot(shot));
    }
    hero1.position = {40.0f, 0.0f, 0.0f};
    hero2.position = {0.0f, 0.0f, 40.0f};
    manager.Create({});
    const RwV3d start = {0.0f, 0.0f, 0.0f};
    const RwV3d aim = {40.0f, 0.0f, 0.0f};
    struct Fired {
        const char *name;
        CSGePool *pool;
        bool (*fire)(CCGEManager &m, const RwV3d &from, const RwV3d &to);
    };
    const Fired shots[] = {
        {"3211200", manager.bigShot3211200, [](CCGEManager &m, const RwV3d &f, const RwV3d &t) { return m.bigShot3211200->Spawn(f, t); }},
        {"WingBall", manager.wingBall, [](CCGEManager &m, const RwV3d &f, const RwV3d &t) { return m.wingBall->Start(f, t); }},
        {"3214400", manager.bigShot3214400, [](CCGEManager &m, const RwV3d &f, const RwV3d &t) { return m.bigShot3214400->Start(f, t); }},
        {"3215400", manager.bigShot3215400, [](CCGEManager &m, const RwV3d &f, const RwV3d &t) { return m.bigShot3215400->Start(f, t); }},
    };
    for (const Fired &fired : shots) {
        world.posted.clear();
        ASSERT_TRUE(fired.fire(manager, start, aim)) << fired.name;
        Run(1.0f);  // half way: 20 units along
        ASSERT_EQ(fired.pool->InstancesInUse(), 1) << fired.name;
        const GeInstance &flying = fired.pool->Instance(0).used ? fired.pool->Instance(0) : fired.pool->Instance(1);
        EXPECT_NEAR(flying.position.x, 20.0f, 0.5f) << fired.name;
        EXPECT_EQ(world.MessagesTo(hero1), 0) << fired.name;
        Run(1.5f);
        EXPECT_EQ(world.MessagesTo(hero1), 1) << fired.name;
        EXPECT_EQ(world.MessagesTo(hero2), 0) << fired.name;
        Run(3.0f);  // its life is out
        EXPECT_EQ(fired.pool->InstancesInUse(), 0) << fired.name;
    }
    // The arrow goes to its target wherever it is aimed; without one, 100
    // units along its direction.
    FakeActor target;
    target.aiType = 1;
    target.position = {0.0f, 0.0f, 40.0f};
    ASSERT_TRUE(manager.litArrow->Start(start, {1.0f, 0.0f, 0.0f}, fxtest::FakeWorld::As(&target)));
    ASSERT_TRUE(manager.litArrow->Start(start, {0.0f, 0.0f, -1.0f}, nullptr));
    EXPECT_EQ(manager.litArrow->Instance(0).to.z, 40.0f);
    EXPECT_EQ(manager.litArrow->Instance(1).to.z, -100.0f);
    world.posted.clear();
    Run(2.5f);
    EXPECT_EQ(world.MessagesTo(hero2), 1);
    EXPECT_EQ(world.MessagesTo(hero1), 0);
    // The long shot runs through its second point on to its full reach
    // (speed x life, 100 units), keeping its mode.
    ASSERT_TRUE(manager.bigShot3209000->Start(start, {10.0f, 0.0f, 0.0f}, 3));
    EXPECT_EQ(manager.bigShot3209000->Instance(0).to.x, 100.0f);
    EXPECT_EQ(manager.bigShot3209000->Instance(0).mode, 3);
    ASSERT_TRUE(manager.bigShot3209000->Start(start, {0.0f, 0.0f, 150.0f}, 1));
    EXPECT_EQ(manager.bigShot3209000->Instance(1).to.z, 150.0f);
    ASSERT_TRUE(manager.bigShot3209000->Start({1.0f, 2.0f, 3.0f}, {7.0f, 10.0f, 3.0f}, 1));  // rising
    EXPECT_NEAR(manager.bigShot3209000->Instance(2).to.x, 61.0f, 1e-3f);
    EXPECT_NEAR(manager.bigShot3209000->Instance(2).to.y, 82.0f, 1e-3f);
    EXPECT_NEAR(manager.bigShot3209000->Instance(2).to.z, 3.0f, 1e-3f);
    // Falling stones: a ring of the radius asked around the place.
    const int32_t stones = manager.fallStone->Start({5.0f, 0.0f, 5.0f}, 12.0f);
    EXPECT_EQ(stones, GeFacts(kGeBigShotFallStone).ring);
    for (int32_t i = 0; i < stones; ++i) {
        const RwV3d at = manager.fallStone->Instance(i).position;
        EXPECT_NEAR(std::hypot(at.x - 5.0f, at.z - 5.0f), 12.0f, 1e-3f) << i;
    }
}

// On the sample data every effect that shows a model has it: the pools'
// model ids and the bosses' skill files name models that are there. Only
// the effects made of particles alone have none.
class SampleEffects : public fxtest::SampleDataTest {};

TEST_F(SampleEffects, EveryPoolThatShowsAModelHasItsModel)
{
    CCGEManager manager;
    manager.Create({});
    std::vector<std::string> without;
    for (int32_t id = 0; id < kGePoolCount; ++id) {
        const CSGePool *pool = manager.Pool(static_cast<GePoolId>(id));
        ASSERT_NE(pool, nullptr) << id;
        ASSERT_GT(pool->InstanceCount(), 0) << pool->Facts().name;
        if (pool->Instance(0).clump == nullptr) {
            without.push_back(pool->Facts().name);
        }
    }
    EXPECT_EQ(without, (std::vector<std::string>{"StatusParticles", "Dizzy", "3405400", "BarrelBomb", "Explosion",
                                                  "Potion", "Flush", "SStarEff"}));
    manager.Release();
}

// The ring's places each carry the sample's three ring particles, emitting
// from their start; stopped, they start emitting again when the ring asks.
TEST_F(SampleEffects, TheRingsParticlesStartAgainWhenAsked)
{
    CSParticleManager particles;
    ASSERT_TRUE(particles.LoadSet("\\RESOURCE\\PARTICLE\\EFFECT.PSS", "\\RESOURCE\\PARTICLE", false));
    CCGEManager manager;
    GeServices services;
    services.particles = &particles;
    manager.Create(services);
    CSGe3405400 *ring = manager.ring3405400;
    ASSERT_EQ(ring->Start({0.0f, 2.0f, 0.0f}, {1.0f, 0.0f, 0.0f}), 6);
    std::vector<CSParticleSystem *> systems;
    for (int32_t i = 0; i < ring->InstanceCount(); ++i) {
        for (CSParticleSystem *system : ring->Instance(i).particles) {
            if (system != nullptr) {
                EXPECT_TRUE(system->IsEmitting()) << i;
                system->StopEmit();
                systems.push_back(system);
            }
        }
    }
    ASSERT_FALSE(systems.empty());
    ring->StartParticles();
    for (CSParticleSystem *system : systems) {
        EXPECT_TRUE(system->IsEmitting());
    }
    manager.Release();
}

// A pool whose model plays a material animation starts it with each
// instance (the shield's glow); a pool without one starts none.
TEST_F(SampleEffects, APoolsModelPlaysItsMaterialAnimation)
{
    CSMatAnimManager matAnims;
    CCGEManager manager;
    GeServices services;
    services.matAnims = &matAnims;
    manager.Create(services);
    ASSERT_TRUE(manager.downHit->Start({0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(matAnims.InstancesInUse(), 0);
    RwMatrix at{};
    at.right = {1.0f, 0.0f, 0.0f};
    at.up = {0.0f, 1.0f, 0.0f};
    at.at = {0.0f, 0.0f, 1.0f};
    ASSERT_TRUE(manager.bkShield->Start(1, &at));
    EXPECT_EQ(matAnims.InstancesInUse(), 1);
    // The shield fades out over its life and a half second: drawn at its
    // start it shows, drawn near its end hardly at all.
    manager.downHit->StopOwner(nullptr);
    RwCamera *camera = fxtest::MakeCamera(64, 48, {0.0f, 0.0f, -40.0f});
    const auto litPixels = [&] {
        RwRGBA black = {0, 0, 0, 255};
        RwCameraClear(camera, &black, rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
        RwCameraBeginUpdate(camera);
        manager.bkShield->Render();
        RwCameraEndUpdate(camera);
        int64_t light = 0;
        for (uint32_t pixel : fxtest::Picture(camera, 64, 48)) {
            light += (pixel & 0xFFu) + ((pixel >> 8) & 0xFFu) + ((pixel >> 16) & 0xFFu);
        }
        return light;
    };
    manager.Update(0.016f);
    matAnims.Update(0.016f);
    const auto early = litPixels();
    for (int i = 0; i < 80; ++i) {
        manager.Update(0.016f);
        matAnims.Update(0.016f);
    }
    const auto late = litPixels();
    EXPECT_GT(early, 100 * 255);
    EXPECT_LT(late, early / 4) << early;
    fxtest::DestroyCamera(camera);
    manager.Release();
    EXPECT_EQ(matAnims.InstancesInUse(), 0);
}

// The bosses' big shots take their whole look from their skill files: none
// tints its model with a material animation, and of those that start on a
// ring only the vines and the bugs sound as they start, once per start.
TEST_F(SampleEffects, ABigShotShowsItsFileLookWithNoTintAndOnlyVinesAndBugsSound)
{
    fxtest::FakeWorld world;
    world.Connect();
    CSMatAnimManager matAnims;
    CCGEManager manager;
    GeServices services;
    services.matAnims = &matAnims;
    manager.Create(services);
    std::vector<std::string> sounding;
    int32_t shots = 0;
    for (int32_t id = 0; id < kGePoolCount; ++id) {
        CSGePool *pool = manager.Pool(static_cast<GePoolId>(id));
        ASSERT_NE(pool, nullptr) << id;
        if (!pool->Facts().bigShot) {
            continue;
        }
        auto *shot = static_cast<CSBigShotPool *>(pool);
        const size_t soundsBefore = world.sounds.size();
        if (pool->Facts().placement == kGeOnRing) {
            EXPECT_EQ(shot->StartRing({0.0f, 0.0f, 0.0f}, 10.0f), pool->Facts().ring) << pool->Facts().name;
        } else {
            EXPECT_TRUE(shot->StartAt({0.0f, 0.0f, 0.0f})) << pool->Facts().name;
        }
        ++shots;
        EXPECT_NE(pool->Instance(0).clump, nullptr) << pool->Facts().name;
        EXPECT_EQ(pool->Instance(0).life, pool->Shot().life) << pool->Facts().name;
        EXPECT_EQ(matAnims.InstancesInUse(), 0) << pool->Facts().name;
        if (world.sounds.size() != soundsBefore) {
            EXPECT_EQ(world.sounds.size(), soundsBefore + 1) << pool->Facts().name;
            sounding.push_back(pool->Facts().name);
        }
    }
    EXPECT_EQ(shots, kGePoolCount - kGeBigShot3209000);
    EXPECT_EQ(sounding, (std::vector<std::string>{"Vines", "Bugs"}));
    manager.Release();
    world.Disconnect();
}

}  // namespace

}  // namespace ge_manager_test
