// Monster 1005 frame by frame: it ignores thrown items, never draws a state
// random (so its alarm choice in state 2 is always 11), lands from a
// flight with sparks, and shows each fresh blow on a hero with blood and
// sparks, or the hero's guard sparks; every spark it starts goes back to
// its pool. Its near inputs by state, and its recovery roll in state 7.
#include <gtest/gtest.h>

#include <set>

#include "app/game_rand.h"
#include "monster/kit_combat.h"
#include "monster/kit_common.h"
#include "stage/model_frames.h"
#include "stage/v3.h"
#include "monster_scenario.h"

namespace monster_1005_test {

namespace {

using gametest::FsfBuilder;
using monstertest::MonsterScenario;

constexpr int32_t kType = 1005;
constexpr RwV3d kHome = {0.0f, 0.0f, 60.0f};
constexpr RwV3d kSouth = {0.0f, 0.0f, -1.0f};
constexpr int32_t kBlade = 100130;  // a weapon part of its model

using Monster1005 = MonsterScenario;

TEST_F(Monster1005, ItIgnoresThrownItemsAndNeverDrawsAStateRandom)
{
    AiObject *m = Place(kType, kHome, kSouth);
    FsfBuilder b;
    b.State(0);
    b.State(1).Speed(25.0f);
    b.State(2).To(11, 11, 1).To(1, 1, 1);
    b.State(11);
    UseStateMachine(kType, b.Build());
    PutHero({0.0f, 0.0f, -15.0f});
    Enter(m, 1);
    const float thrownFrom[3] = {0.0f, 0.0f, 40.0f};
    thrownItems.Throw(5300000, thrownFrom);
    Ticks(3);
    EXPECT_FALSE(m->fleeActive);
    EXPECT_FALSE(m->pathFollowing);
    // In its alarm circle (40) the choice in state 2 is 11 when the state
    // random is below 50: it never draws one, so always.
    for (int round = 0; round < 5; ++round) {
        Enter(m, 2);
        EXPECT_EQ(m->stateRandom, 0);
        PutHero({0.0f, 0.0f, kHome.z - 30.0f});
        Ticks(2);  // sensed at the end of the first
        EXPECT_EQ(m->state, 11) << round;
        PutHero({0.0f, 0.0f, -15.0f});
        Ticks(2);
    }
}

// Flying down (14) it lands past frame 1556 with two sparks on its chest
// and a hit-stop; the sparks burn out and go back to their pool.
TEST_F(Monster1005, ItLandsWithSparksThatGoBackToTheirPool)
{
    AiObject *m = Place(kType, kHome, kSouth);
    PutHero({0.0f, 0.0f, -15.0f});
    CSParticleTemplate *spark = particles.FindTemplate("3218100.zus");
    ASSERT_NE(spark, nullptr);
    const int32_t out = particles.SystemsOut();
    for (int landing = 0; landing < spark->Count() + 2; ++landing) {
        Enter(m, 14);
        ASSERT_GE(TicksUntil([&] { return m->hitStopPending; }, 120), 0) << landing;
        EXPECT_GT(monster::MotionFrameOf(m), 1556.0f);
        EXPECT_EQ(particles.SystemsOut(), out + 2);
        if (landing == 0) {  // burst on its chest (as it was a frame ago), left where they burst
            const RwV3d chest = RwFrameGetLTM(FindFrameByUserId(m->Clump(), 100100))->pos;
            for (const char *name : {"3218100.zus", "3218101.zus"}) {
                ExpectSparksOut(name, 1, kPrtDrawAfterWorld, kPrtStayWhereEmitted, chest, 1.0f);
            }
            // They stay there while it rises (its chest moves on).
            const RwV3d burstA = particles.SystemsOutOf("3218100.zus")[0]->WorldMatrix().pos;
            const RwV3d burstB = particles.SystemsOutOf("3218101.zus")[0]->WorldMatrix().pos;
            Ticks(10);
            const RwV3d moved = RwFrameGetLTM(FindFrameByUserId(m->Clump(), 100100))->pos;
            EXPECT_GT(V3Length(V3Sub(moved, chest)), 1.0f);
            ExpectSparksOut("3218100.zus", 1, kPrtDrawAfterWorld, kPrtStayWhereEmitted, burstA, 0.001f);
            ExpectSparksOut("3218101.zus", 1, kPrtDrawAfterWorld, kPrtStayWhereEmitted, burstB, 0.001f);
        }
        TicksUntil([&] { return particles.SystemsOut() == out; }, 120);
        EXPECT_EQ(particles.SystemsOut(), out) << landing;  // more landings than copies: none kept
    }
}

// A fresh blow on a hero that does not guard: blood under it and sparks
// where the blade touched; on a hero that guards facing the monster, the
// guard sparks on the blade. One blow per state entry; every spark goes
// back to its pool.
TEST_F(Monster1005, FreshBlowsShowBloodOrGuardSparks)
{
    AiObject *m = Place(kType, kHome, kSouth);
    FsfBuilder b;
    b.State(0);
    b.State(10).Attack(12, 1).Weapon(100130).Weapon(100140);
    UseStateMachine(kType, b.Build());
    PutHero({0.0f, 0.0f, kHome.z - 9.0f}, {0.0f, 0.0f, 1.0f});
    CSParticleTemplate *blood = particles.FindTemplate("3400400.zus");
    CSParticleTemplate *guard = particles.FindTemplate("3402600.zus");
    ASSERT_NE(blood, nullptr);
    ASSERT_NE(guard, nullptr);
    const int32_t out = particles.SystemsOut();
    int32_t guardSparks = 0;
    for (int blow = 0; blow < 3 * blood->Count(); ++blow) {
        hero.guarding = blow % 2 == 1;
        const int32_t decalsBefore = decals.DecalsInUse();
        Enter(m, 10);
        HeroMessages();
        // The blade sweeps through the hero in the attack's motion.
        ASSERT_GE(TicksUntil([&] { return !heroInbox.empty(); }, 60), 0) << blow;
        Ticks(20);
        const std::vector<MSGData> hits = HeroMessages();
        ASSERT_EQ(hits.size(), 1u) << blow;
        EXPECT_EQ(hits[0].word[2], 12 * 4);  // AttackValue x trunc(LevelAppend 4)
        if (hero.guarding) {
            guardSparks += 1;
            EXPECT_LE(decals.DecalsInUse(), decalsBefore);  // no new blood (the old ones fade)
        } else {
            EXPECT_GT(decals.DecalsInUse(), decalsBefore == 32 ? 31 : decalsBefore);
        }
    }
    EXPECT_GT(guardSparks, guard->Count());  // more than the pool holds: each went back
    TicksUntil([&] { return particles.SystemsOut() == out; }, 120);
    EXPECT_EQ(particles.SystemsOut(), out);
}

// Spark by spark: on a hero off guard the blood sparks burst where the
// blade touched it and stay there; on a hero guarding face on, the two
// guard sparks follow the blade; on a hero guarding with its back turned,
// the blood sparks burst on the blade and stay there.
TEST_F(Monster1005, EachBlowsSparksShowOnTheBladeOrWhereItTouched)
{
    AiObject *m = Place(kType, kHome, kSouth);
    FsfBuilder b;
    b.State(0);
    b.State(10).Attack(12, 1).Weapon(kBlade);
    UseStateMachine(kType, b.Build());
    const struct {
        bool guarding;
        RwV3d facing;
        const char *sparks[2];
        uint8_t word1;
    } blows[] = {{false, {0.0f, 0.0f, 1.0f}, {"3400400.zus", nullptr}, kPrtStayWhereEmitted},
                 {true, {0.0f, 0.0f, 1.0f}, {"3402601.zus", "3402600.zus"}, kPrtFollowEmitter},
                 {true, {0.0f, 0.0f, -1.0f}, {"3400400.zus", nullptr}, kPrtStayWhereEmitted}};
    const int32_t out = particles.SystemsOut();
    for (const auto &blow : blows) {
        SCOPED_TRACE(blow.sparks[0]);
        SCOPED_TRACE(blow.guarding);
        PutHero({0.0f, 0.0f, kHome.z - 9.0f}, blow.facing);
        hero.guarding = blow.guarding;
        Enter(m, 10);
        HeroMessages();
        ASSERT_GE(TicksUntil([&] { return !heroInbox.empty(); }, 60), 0);
        const RwV3d blade = RwFrameGetLTM(FindFrameByUserId(m->Clump(), kBlade))->pos;
        const bool onBlade = blow.guarding;
        for (const char *name : blow.sparks) {
            if (name != nullptr) {
                // Off guard, the contact: on the blade's pick line, at the hero.
                ExpectSparksOut(name, 1, kPrtDrawAfterWorld, blow.word1, blade,
                                onBlade ? 0.01f : monster::kWeaponPickLength);
            }
        }
        // As the blade swings on, the guard sparks go with it; the others
        // stay where they burst.
        const RwV3d burst = particles.SystemsOutOf(blow.sparks[0])[0]->WorldMatrix().pos;
        Ticks(3);
        const RwV3d swung = RwFrameGetLTM(FindFrameByUserId(m->Clump(), kBlade))->pos;
        EXPECT_GT(V3Length(V3Sub(swung, blade)), 1.0f);
        for (const char *name : blow.sparks) {
            if (name != nullptr) {
                ExpectSparksOut(name, 1, kPrtDrawAfterWorld, blow.word1,
                                blow.word1 == kPrtFollowEmitter ? swung : burst, 1.0f);
            }
        }
        Enter(m, 0);
        TicksUntil([&] { return particles.SystemsOut() == out; }, 300);
    }
}

// A hero within its search range (60) but outside its alarm circle (40):
// from the idle state it approaches (input 4), from the approach it stops
// (input 0), from any other state it chases (input 1). With the hero gone,
// away from home, it gets ready (input 2) from the idle state and chases
// from the others.
TEST_F(Monster1005, ItsNearInputsFollowItsState)
{
    AiObject *m = Place(kType, kHome, kSouth);
    FsfBuilder b;
    b.State(0).To(4, 4, 1).To(2, 20, 1).To(1, 21, 1);
    b.State(4).To(0, 22, 1).To(1, 23, 1);
    b.State(6).To(1, 25, 1).To(2, 26, 1);
    for (int32_t s = 20; s <= 26; ++s) {
        b.State(s);
    }
    UseStateMachine(kType, b.Build());
    PutHero({0.0f, 0.0f, kHome.z - 50.0f});
    TicksUntil([&] { return m->state != 0; }, 30);
    EXPECT_EQ(m->state, 4);
    TicksUntil([&] { return m->state != 4; }, 30);
    EXPECT_EQ(m->state, 22);
    Enter(m, 6);
    TicksUntil([&] { return m->state != 6; }, 30);
    EXPECT_EQ(m->state, 25);

    PutHero({0.0f, 0.0f, -300.0f});
    m->SetPosition({0.0f, 0.0f, 40.0f});  // 20 from home
    Enter(m, 0);
    TicksUntil([&] { return m->state != 0; }, 120);
    EXPECT_EQ(m->state, 20);
    EXPECT_EQ(m->target, nullptr);
    Enter(m, 6);
    TicksUntil([&] { return m->state != 6; }, 120);
    EXPECT_EQ(m->state, 25);
}

// Its recovery in state 7, once its motion has ended: a roll of 60 or less
// idles (input 0), 61 to 80 steps back (3), above 80 strikes (19), with or
// without a target. No other state rolls.
TEST_F(Monster1005, ItsRecoveryInStateSevenIdlesStepsBackOrStrikes)
{
    AiObject *m = Place(kType, kHome, kSouth);
    FsfBuilder b;
    b.State(0);
    b.State(3);
    b.State(6).To(3, 20).To(19, 20);
    b.State(7).To(0, 0).To(3, 3).To(19, 19);
    b.State(19);
    b.State(20);
    UseStateMachine(kType, b.Build());
    PutHero({0.0f, 0.0f, -60.0f});  // no target
    std::set<int32_t> seen;
    for (int i = 0; i < 40; ++i) {
        Enter(m, 7);
        game::Srand(static_cast<uint32_t>(i * 7919));  // entered at another time of the game
        TicksUntil([&] { return m->state != 7; }, 300);
        seen.insert(m->state);
    }
    EXPECT_EQ(seen, (std::set<int32_t>{0, 3, 19}));
    Enter(m, 6);
    Ticks(300);
    EXPECT_EQ(m->state, 6);
}

}  // namespace

}  // namespace monster_1005_test
