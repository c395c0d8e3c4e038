// Bosses 1100 and 1102 frame by frame: 1100 attacks at most once every
// 3 s while a hero stands in its alarm circle and lights its blade on
// waking; 1102 keeps away from a hero in its attack range, turns to its
// foe, throws once per visit at frame 439 (a single shot, or a volley of
// eight around the aim point), and throws back now and then from its
// recoil.
#include <gtest/gtest.h>

#include <cmath>

#include "boss/boss_1100.h"
#include "boss/boss_1102.h"
#include "boss_scenario.h"
#include "monster/kit_common.h"
#include "stage/character_params.h"

namespace boss_1100_1102_test {

namespace {

using bosstest::BossScenario;
using bosstest::FsfBuilder;

constexpr RwV3d kHome = {0.0f, 0.0f, 60.0f};
constexpr RwV3d kSouth = {0.0f, 0.0f, -1.0f};

class Boss1100 : public BossScenario {
protected:
    // Idle 0, which input 10 takes to the attack 2 and its end back; the
    // wake 1 (its blade lit on entry).
    CSBoss1100 *Boss()
    {
        CSBoss1100 *boss = PlaceBoss<CSBoss1100>(1100, kHome, kSouth);
        FsfBuilder b;
        b.State(0).To(10, 2, 1).To(0, 0);
        b.State(1).To(10, 2, 1).To(0, 1);
        b.State(2).To(0, 0);
        UseStateMachine(1100, b.Build());
        return boss;
    }
};

TEST_F(Boss1100, ItAttacksAtMostOnceEveryThreeSecondsWhileAHeroIsInItsAlarmCircle)
{
    CSBoss1100 *boss = Boss();
    const float alarm = monster::ParamsOf(boss).alarmCircle;
    // Outside the alarm circle (within the search range) it does not attack.
    PutHero({0.0f, 0.0f, kHome.z - alarm - 10.0f});
    Ticks(300);
    EXPECT_EQ(boss->state, 0);
    EXPECT_GE(boss->attackTimer, 3.0f);  // the timer waits full
    // Inside: at once, and then every 3 s (never sooner), however long it stays.
    PutHero({0.0f, 0.0f, kHome.z - alarm + 10.0f});
    std::vector<uint32_t> attacks;
    int32_t last = boss->state;
    for (int i = 0; i < 700; ++i) {
        Tick();
        if (boss->state == 2 && last != 2) {
            attacks.push_back(tick);
        }
        last = boss->state;
    }
    ASSERT_GE(attacks.size(), 3u);
    EXPECT_LE(attacks[0], 303u + 3u);
    for (size_t i = 1; i < attacks.size(); ++i) {
        EXPECT_GE(attacks[i] - attacks[i - 1], 180u);
        EXPECT_LE(attacks[i] - attacks[i - 1], 182u);
    }
    // Sounds on entry: 6220030 for the attack, 6220010 back in idle.
    EXPECT_TRUE(SoundQueued(6220030));
    EXPECT_TRUE(SoundQueued(6220010));
}

TEST_F(Boss1100, OnWakingItsBladeLightsOncePerEntry)
{
    CSBoss1100 *boss = Boss();
    PutHero({0.0f, 0.0f, -300.0f});
    const int32_t out = particles.SystemsOut();
    EnterBoss(boss, 1);
    Tick();
    EXPECT_EQ(particles.SystemsOut(), out + 2);  // "3010600.zus" on 100130 and 100140
    EXPECT_TRUE(SoundQueued(6300140, tick));
    EXPECT_EQ(boss->startEffect, 1);
    Ticks(10);
    EXPECT_LE(particles.SystemsOut(), out + 2);
    EnterBoss(boss, 0);
    Tick();
    EXPECT_EQ(boss->startEffect, 0);
    // They burn out and go back to their pool.
    TicksUntil([&] { return particles.SystemsOut() == out; }, 200);
    EXPECT_EQ(particles.SystemsOut(), out);
}

// Entering each state plays its sound once per entry: 0 6220010, 1 6300140,
// 2 6220030, the dying 3 6220000; and none of the table's other sounds.
TEST_F(Boss1100, EachStateSoundsItsOwnEntrySoundOncePerEntry)
{
    CSBoss1100 *boss = PlaceBoss<CSBoss1100>(1100, kHome, kSouth);
    UseStatesThatStay(1100, 7);
    PutHero({0.0f, 0.0f, -300.0f});
    // Between the visits it rests in 5, a state without a sound.
    const std::pair<int32_t, int32_t> entries[] = {{0, 6220010}, {1, 6300140}, {2, 6220030}, {3, 6220000}};
    ExpectEntrySoundsOncePerEntry(boss, entries, -1, 5);
}

class Boss1102 : public BossScenario {
protected:
    // Home 0; walking 1; the turn 2, which 21 takes to the throw 3; the
    // recoil 4; throws and recoils go back to the turn at their end.
    CSBoss1102 *Boss(const RwV3d &facing = kSouth)
    {
        CSBoss1102 *boss = PlaceBoss<CSBoss1102>(1102, kHome, facing);
        FsfBuilder b;
        b.State(0).To(1, 1, 1).To(2, 2, 1).To(0, 0);
        b.State(1).Speed(25.0f).To(2, 2, 1).To(0, 0, 1).To(1, 1);
        b.State(2).To(21, 3, 1).To(1, 1, 1).To(0, 2);
        b.State(3).To(0, 2);
        b.State(4).To(0, 2);
        UseStateMachine(1102, b.Build());
        return boss;
    }
    int32_t Throws() { return EffectStarts("Boss1102Shot"); }
    // The points the shots in flight will land on.
    std::vector<RwV3d> Targets()
    {
        std::vector<RwV3d> targets;
        for (int32_t i = 0; i < effects.boss1102Shots->InstanceCount(); ++i) {
            const GeInstance &shot = effects.boss1102Shots->Instance(i);
            if (shot.used) {
                targets.push_back(shot.to);
            }
        }
        return targets;
    }
};

// In its turn it turns toward the hero by TurnDeg a second and, once the
// hero is in its attack cone, throws.
TEST_F(Boss1102, ItTurnsToItsFoeThenThrowsOncePerVisitAtFrame439)
{
    CSBoss1102 *boss = Boss({1.0f, 0.0f, 0.0f});  // looking across the yard
    const RwV3d heroAt = {0.0f, 0.0f, kHome.z - 50.0f};
    PutHero(heroAt);
    Ticks(3);
    ASSERT_EQ(boss->state, 2);
    // A quarter turn less the attack cone's half angle at TurnDeg a second.
    const CharacterParams &params = monster::ParamsOf(boss);
    const int ticks = TicksUntil([&] { return boss->state == 3; }, 300);
    ASSERT_GT(ticks, 0);
    const float expected = (90.0f - params.attackHalfAngle) / params.turnDeg * 60.0f;
    EXPECT_NEAR(static_cast<float>(ticks), expected, 3.0f);
    EXPECT_NEAR(boss->AimPoint.z, heroAt.z, 0.01f);
    const int32_t before = Throws();
    boss->stateRandom = 10;  // a single shot
    int thrownAt = -1;
    for (int i = 0; i < 120 && boss->state == 3; ++i) {
        Tick();
        if (thrownAt < 0 && Throws() > before) {
            thrownAt = i;
            EXPECT_GE(monster::MotionFrameOf(boss), 439.0f);
            EXPECT_TRUE(boss->ThrowDone);
        }
    }
    EXPECT_GE(thrownAt, 0);
    EXPECT_EQ(Throws(), before + 1);  // once however long the visit
    // The throw's state left, the flag clears; a new visit throws again.
    Tick();
    EXPECT_FALSE(boss->ThrowDone);
}

TEST_F(Boss1102, AVolleyPutsSevenShotsOnACircleOfTenAroundTheAimPointAndOneOnIt)
{
    CSBoss1102 *boss = Boss();
    PutHero({0.0f, 0.0f, -300.0f});
    boss->AimPoint = {20.0f, 0.0f, 0.0f};
    EnterBoss(boss, 3);
    boss->stateRandom = 80;
    const int32_t before = Throws();
    TicksUntil([&] { return boss->ThrowDone; }, 120);
    EXPECT_EQ(Throws(), before + 8);
    const std::vector<RwV3d> targets = Targets();
    ASSERT_EQ(targets.size(), 8u);
    int onPoint = 0;
    int onCircle = 0;
    for (const RwV3d &t : targets) {
        const float d = std::hypot(t.x - boss->AimPoint.x, t.z - boss->AimPoint.z);
        onPoint += d < 1e-3f;
        onCircle += std::fabs(d - 10.0f) < 1e-3f;
    }
    EXPECT_EQ(onPoint, 1);
    EXPECT_EQ(onCircle, 7);
}

// The recoil 4 waits 0.1 s, faces the aim point and, with a state random
// below 10, throws back once (mode 1).
TEST_F(Boss1102, TheRecoilFacesTheAimPointAndSometimesThrowsBack)
{
    CSBoss1102 *boss = Boss();
    PutHero({0.0f, 0.0f, -300.0f});
    boss->AimPoint = {kHome.x + 30.0f, 0.0f, kHome.z};  // to its east
    for (const int32_t roll : {5, 9, 10, 50}) {
        SCOPED_TRACE(roll);
        EnterBoss(boss, 0);
        Tick();
        EnterBoss(boss, 4);
        boss->stateRandom = roll;
        const int32_t before = Throws();
        Ticks(3);
        EXPECT_FALSE(boss->SecondThrowDone);  // 0.1 s not yet gone
        Ticks(5);
        EXPECT_TRUE(boss->SecondThrowDone);
        EXPECT_TRUE(boss->foundFoe);
        RwV3d facing;
        boss->GetDirection(&facing);
        EXPECT_NEAR(facing.x, 1.0f, 1e-3f);
        EXPECT_EQ(Throws(), before + (roll < 10 ? 1 : 0));
        Ticks(10);
        EXPECT_EQ(Throws(), before + (roll < 10 ? 1 : 0));
        boss->SetDirection(kSouth);
    }
}

// Walking (state 1) it turns to its foe (input 2) every 3 s it has spent
// walking, counted over its walks: a walk cut short leaves its time to the
// next one.
TEST_F(Boss1102, EveryThreeSecondsOfWalkingItTurnsToItsFoe)
{
    CSBoss1102 *boss = PlaceBoss<CSBoss1102>(1102, kHome, kSouth);
    FsfBuilder b;
    b.State(0).To(1, 1, 1);
    b.State(1).To(2, 2, 1);
    b.State(2);
    b.State(5);
    UseStateMachine(1102, b.Build());
    // In sight beyond its alarm circle: the walk's input 1, nothing else.
    PutHero({0.0f, 0.0f, kHome.z - bosstest::SensingBandsOf(boss).sight});
    Ticks(2);
    ASSERT_EQ(boss->state, 1);
    int ticks = TicksUntil([&] { return boss->state != 1; }, 400);
    EXPECT_EQ(boss->state, 2);
    EXPECT_NEAR(ticks / 60.0f, 3.0f, 0.05f);
    // A walk of 1 s, then another: the turn 2 s into the second.
    EnterBoss(boss, 1);
    Ticks(60);
    EnterBoss(boss, 5);
    Ticks(30);
    EnterBoss(boss, 1);
    ticks = TicksUntil([&] { return boss->state != 1; }, 400);
    EXPECT_EQ(boss->state, 2);
    EXPECT_NEAR(ticks / 60.0f, 2.0f, 0.05f);
    // The turn comes on the tick its 3 s are up, not one later.
    EnterBoss(boss, 1);
    EXPECT_EQ(TicksToLeave(boss, 1, 0.25f, 20), 12);
}

// Keeping away outlasts the foe's stay in its attack range: it ends only
// once the walk's 3 s have run out.
TEST_F(Boss1102, ItKeepsAwayUntilItsWalksThreeSecondsHaveRunOut)
{
    CSBoss1102 *boss = PlaceBoss<CSBoss1102>(1102, kHome, kSouth);
    FsfBuilder b;
    b.State(1).To(2, 2, 1);
    b.State(2);
    UseStateMachine(1102, b.Build());
    const bosstest::SensingBands bands = bosstest::SensingBandsOf(boss);
    EnterBoss(boss, 1);
    PutHero({0.0f, 0.0f, kHome.z - bands.reach});
    Ticks(30);
    EXPECT_TRUE(boss->KeepAway);
    PutHero({0.0f, 0.0f, kHome.z - bands.sight});
    Ticks(60);
    EXPECT_TRUE(boss->KeepAway);
    const int ticks = TicksUntil([&] { return boss->state != 1; }, 200);
    EXPECT_NEAR((ticks + 90) / 60.0f, 3.0f, 0.05f);
    Ticks(2);
    EXPECT_FALSE(boss->KeepAway);
}

// A hero inside its attack range makes it back away (to the point
// mirrored away from the hero) until the hero is out of that range; then
// it turns to throw.
TEST_F(Boss1102, AHeroInItsAttackRangeMakesItKeepAway)
{
    CSBoss1102 *boss = Boss();
    const float range = monster::ParamsOf(boss).attackRange;
    const RwV3d heroAt = {0.0f, 0.0f, kHome.z - range + 5.0f};
    PutHero(heroAt);
    EnterBoss(boss, 1);
    Ticks(2);
    EXPECT_TRUE(boss->KeepAway);
    const float before = boss->GetPositionPtr()->z;
    const int ticks = TicksUntil([&] { return boss->state != 1; }, 120);
    ASSERT_GT(ticks, 0);
    EXPECT_EQ(boss->state, 2);
    EXPECT_GT(boss->GetPositionPtr()->z, before + 3.0f);  // away from the hero, north
    EXPECT_GE(boss->GetPositionPtr()->z - heroAt.z, range - 1.0f);
}

// Entering each state plays its sound once per entry: 1 6300020, the
// recoil 4 6120010, the dying 5 6230000; and none of the table's other
// sounds.
TEST_F(Boss1102, EachStateSoundsItsOwnEntrySoundOncePerEntry)
{
    CSBoss1102 *boss = PlaceBoss<CSBoss1102>(1102, kHome, kSouth);
    UseStatesThatStay(1102, 7);
    PutHero({0.0f, 0.0f, -300.0f});
    const std::pair<int32_t, int32_t> entries[] = {{1, 6300020}, {4, 6120010}, {5, 6230000}};
    ExpectEntrySoundsOncePerEntry(boss, entries);
}

}  // namespace

}  // namespace boss_1100_1102_test
