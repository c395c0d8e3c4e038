// Bosses 1109 and 1110 frame by frame: each special attack once per visit
// of its state at its frame (or at entry); the barrage's cadence (1109 a
// shot at the foe every 0.1 s, 1110 a pair to either side every 0.33 s and
// one lit arrow from frame 2540) and its end after 10 s; rage that waits
// for a state in which it is allowed; the escape once for three exits
// from the flinch state within 2 s; the guard 23; the weapon flames and
// beams once per visit, the beams given back when the boss leaves; the
// reward without a drop.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "boss/boss_1109.h"
#include "boss/boss_1110.h"
#include "boss_scenario.h"
#include "fx/ge_manager.h"
#include "fx/ge_pools.h"
#include "fx/particle_system.h"
#include "stage/character_params.h"
#include "stage/clump_anim_manager.h"
#include "stage/v3.h"

namespace boss_1109_1110_test {

namespace {

using bosstest::BossScenario;
using bosstest::FsfBuilder;

constexpr RwV3d kHome = {0.0f, 0.0f, 60.0f};
constexpr RwV3d kSouth = {0.0f, 0.0f, -1.0f};
// In its search range, beyond its alarm circle and attack range.
constexpr RwV3d kInSight = {0.0f, 0.0f, -20.0f};
constexpr RwV3d kFarAway = {0.0f, 0.0f, -300.0f};

struct Special {
    int32_t state;
    float frame;  // -1: at entry
    const char *pool;
    int32_t starts;
};

class Champions : public BossScenario {
protected:
    // Every state stays until the test moves it, but: idle 0 (16 to the
    // rage 14), the walk 1 (19 to the chase 2), the chase 2 (16 to the
    // rage), the barrage 15 (22 to 16), the flinch 17 (101 back to the
    // walk 1, 108 to the escape 10), the walk's hit 100 into the flinch,
    // the guard 23 (18 to idle, 102 to the flinch), death into gone 24.
    template <typename Boss>
    Boss *Champion(int32_t aiType, const RwV3d &heroAt = kInSight)
    {
        Boss *boss = PlaceBoss<Boss>(aiType, kHome, kSouth);
        FsfBuilder b;
        b.State(0).To(16, 14, 1);
        b.State(1).To(19, 2, 1).To(100, 17, 1).To(108, 10, 1);
        b.State(2).To(16, 14, 1);
        for (int32_t s : {4, 5, 6, 8, 9, 10, 11, 12, 13, 14, 16}) {
            b.State(s);
        }
        b.State(15).To(22, 16, 1);
        b.State(17).To(101, 1, 1).To(108, 10, 1);
        b.State(23).To(18, 0, 1).To(102, 17, 1);
        b.State(24).Hurt(0);
        b.State(25).Hurt(0).To(0, 25);
        bosstest::DiesFrom(b, {0, 1, 2, 17, 23}, 24);
        UseStateMachine(aiType, b.Build());
        PutHero(heroAt);
        hero.hp = 100000;
        return boss;
    }
    // Boss 1110 at home facing south whose idle 0 goes to 9 on its attack
    // input 10, and 9 back to idle on 0: state 9 shows that it attacked.
    CSBoss1110 *AttackingFromIdle1110()
    {
        CSBoss1110 *boss = PlaceBoss<CSBoss1110>(1110, kHome, kSouth);
        FsfBuilder b;
        b.State(0).To(10, 9, 1);
        b.State(9).To(0, 0, 1);
        UseStateMachine(1110, b.Build());
        return boss;
    }
    // One visit of `state` from a clock just short of `frame` (-1: from
    // its start): the starts of `pool` it brings, and the frame it reached.
    int32_t Visit(AiObject *boss, int32_t state, float frame, const std::string &pool, float *firedAt)
    {
        EnterBoss(boss, 0);
        Ticks(130);  // the big shots of the last visit have lived out their 2 s
        const int32_t before = EffectStarts(pool);
        EnterBoss(boss, state);
        if (frame >= 0.0f) {
            boss->animClock = bosstest::ClockLandingOnFrame(frame, 3);
        }
        *firedAt = -1.0f;
        for (int i = 0; i < 30; ++i) {
            Tick();
            if (*firedAt < 0.0f && EffectStarts(pool) != before) {
                *firedAt = boss::ClockFrame(boss);
            }
        }
        return EffectStarts(pool) - before;
    }
    // Each special attack, two visits each: its starts once per visit, at
    // or just past its frame.
    template <size_t N>
    void CheckSpecials(AiObject *boss, const Special (&specials)[N])
    {
        for (const Special &s : specials) {
            SCOPED_TRACE(std::string(s.pool) + " in " + std::to_string(s.state));
            for (int visit = 0; visit < 2; ++visit) {
                float firedAt = 0.0f;
                EXPECT_EQ(Visit(boss, s.state, s.frame, s.pool, &firedAt), s.starts);
                if (s.frame >= 0.0f) {
                    EXPECT_GE(firedAt, s.frame);
                    EXPECT_LT(firedAt, s.frame + 1.5f);
                    EXPECT_EQ(firedAt, s.frame);  // on the tick it is reached
                }
            }
        }
    }
};

// 1109: frame sequences in 6 (1458) and 9 (1818); in 11 (2063) the stone's
// particles and the 3214400 shot; in 12 the wings at entry and two swarms
// of ten (2265); in 13 the 3213800 (2500) and the three-part blow (920).
// Each once per visit, at or just past its frame.
TEST_F(Champions, Boss1109sSpecialAttacksComeOncePerVisitAtTheirFrames)
{
    CSBoss1109 *boss = Champion<CSBoss1109>(1109);
    Ticks(2);
    ASSERT_NE(boss->target, nullptr);
    const Special specials[] = {{6, 1458.0f, "FrameSeq", 1}, {9, 1818.0f, "FrameSeq", 1}, {11, 2063.0f, "3214400", 1},
                                {12, -1.0f, "Wings", 1},     {12, 2265.0f, "Bugs", 20},    {13, 2500.0f, "3213800", 1},
                                {13, 920.0f, "ThreePart", 3}};
    CheckSpecials(boss, specials);
}

// Without the 3213800 pool, 1109's state 13 goes past its frame 2500
// starting nothing of that special, and the fight goes on.
TEST_F(Champions, Boss1109sThirteenWithoutOneOfItsPoolsStartsNeither)
{
    CSBoss1109 *boss = Champion<CSBoss1109>(1109);
    Ticks(2);
    CSBigShot3213800 *const kept = effects.bigShot3213800;
    effects.bigShot3213800 = nullptr;
    EnterBoss(boss, 13);
    boss->animClock = 2490.0f / 60.0f;
    Ticks(15);
    EXPECT_GE(boss::ClockFrame(boss), 2500.0f);
    EXPECT_EQ(EffectStarts("3213800"), 0);
    effects.bigShot3213800 = kept;
}

// 1110: frame sequences in 4 (530), 6 and 9 (entry); two 3211200 in 11
// (1845); the lit arrow in 12 (2056); in 13 the 3216200 at entry, the
// falling stones on the alarm circle (2366) and the three-part blow (2404).
TEST_F(Champions, Boss1110sSpecialAttacksComeOncePerVisitAtTheirFrames)
{
    CSBoss1110 *boss = Champion<CSBoss1110>(1110);
    Ticks(2);
    ASSERT_NE(boss->target, nullptr);
    const Special specials[] = {{4, 530.0f, "FrameSeq", 1},    {6, -1.0f, "FrameSeq", 1},  {9, -1.0f, "FrameSeq", 1},
                                {11, 1845.0f, "3211200", 2},   {12, 2056.0f, "LitArrow", 1}, {13, -1.0f, "3216200", 1},
                                {13, 2366.0f, "FallStone", 8}, {13, 2404.0f, "ThreePart", 3}};
    CheckSpecials(boss, specials);
}

// In their pick state 4 they feed 1 (the chase) with a state random below
// 60, else 4 (a pick again).
TEST_F(Champions, ThePickChasesBelowSixtyElsePicksAgain)
{
    for (const int32_t type : {1109, 1110}) {
        SCOPED_TRACE(type);
        AiObject *boss = PlaceBoss<AiObject>(type, kHome, kSouth);
        FsfBuilder b;
        b.State(0);
        b.State(4).To(1, 10, 1).To(4, 11, 1);
        b.State(10);
        b.State(11);
        UseStateMachine(type, b.Build());
        PutHero(kFarAway);
        Tick();
        for (const auto &[roll, leadsTo] : {std::pair{59, 10}, std::pair{60, 11}, std::pair{0, 10}, std::pair{99, 11}}) {
            SCOPED_TRACE(roll);
            EnterBoss(boss, 4);
            boss->stateRandom = roll;
            Tick();
            EXPECT_EQ(boss->state, leadsTo);
        }
        boss->removed = true;
    }
}

// The barrage: 1109 fires at its foe every 0.1 s, from the first frame;
// after 10 s in all it feeds 22 and its timers start again.
TEST_F(Champions, Boss1109sBarrageFiresEveryTenthOfASecondForTenSeconds)
{
    CSBoss1109 *boss = Champion<CSBoss1109>(1109);
    Ticks(2);
    boss->BarrageTimer = 0.0f;
    boss->BarrageShotTimer = 0.1f;
    const int32_t before = EffectStarts("3215400");
    EnterBoss(boss, 15);
    Ticks(13);  // shots on the ticks 1, 7 and 13
    EXPECT_EQ(EffectStarts("3215400"), before + 3);
    boss->BarrageTimer = 9.9f;
    const int ticks = TicksUntil([&] { return boss->state != 15; }, 30);
    EXPECT_EQ(boss->state, 16);
    EXPECT_NEAR(ticks / 60.0f, 0.1f, 0.03f);
    EXPECT_EQ(boss->BarrageTimer, 0.0f);
    EXPECT_NEAR(boss->BarrageShotTimer, 0.1f, 1e-5f);
    // It ends on the tick its 10 s are up, not one later.
    EnterBoss(boss, 15);
    EXPECT_EQ(TicksToLeave(boss, 15, 0.25f, 50), 40);
}

// 1110 fires a pair every 0.33 s toward the points 100 ahead and 30 to
// either side, and one lit arrow once its clock reaches frame 2540.
TEST_F(Champions, Boss1110sBarrageFiresPairsAndOneArrow)
{
    CSBoss1110 *boss = Champion<CSBoss1110>(1110);
    Ticks(2);
    boss->BarrageTimer = 0.0f;
    boss->BarrageShotTimer = 0.33f;
    boss->ArrowDone = false;
    const int32_t shots = EffectStarts("3215400");
    const int32_t arrows = EffectStarts("LitArrow");
    EnterBoss(boss, 15);
    ASSERT_LT(boss::ClockFrame(boss), 2540.0f);
    Tick();
    EXPECT_EQ(EffectStarts("3215400"), shots + 2);
    EXPECT_EQ(EffectStarts("LitArrow"), arrows);
    // The arrow comes with the first pair once the clock has reached its
    // frame: here the next pair's tick brings the clock exactly onto it.
    boss->animClock = bosstest::ClockLandingOnFrame(2540.0f, 20);
    Ticks(19);  // 0.33 s: the next pair on the twenty-first tick
    EXPECT_EQ(EffectStarts("3215400"), shots + 2);
    EXPECT_EQ(EffectStarts("LitArrow"), arrows);
    Tick();
    EXPECT_EQ(EffectStarts("3215400"), shots + 4);
    EXPECT_EQ(boss::ClockFrame(boss), 2540.0f);
    EXPECT_EQ(EffectStarts("LitArrow"), arrows + 1);
    Ticks(25);
    EXPECT_EQ(EffectStarts("LitArrow"), arrows + 1);
    EXPECT_TRUE(boss->ArrowDone);
}

// Below 60 % rage waits while the next state chosen is one where it is not
// allowed (here the chase 2 the walk leads to), and comes once it is.
TEST_F(Champions, RageWaitsForAStateWhereItIsAllowed)
{
    CSBoss1109 *boss = Champion<CSBoss1109>(1109);
    Ticks(2);
    ASSERT_NE(boss->target, nullptr);
    EnterBoss(boss, 1);
    boss->hp = monster::ParamsOf(boss).maxHP * 6 / 10;
    Tick();
    EXPECT_EQ(boss->state, 2);  // the walk's 19 came first: no rage
    EXPECT_FALSE(boss->RageDone[0]);
    EXPECT_FALSE(boss->RageAllowed);
    Tick();
    EXPECT_EQ(boss->state, 14);
    EXPECT_TRUE(boss->RageDone[0]);
    EXPECT_FALSE(boss->RageDone[1]);
    EXPECT_EQ(boss->BarrageTimer, 0.0f);
    EXPECT_NEAR(boss->BarrageShotTimer, 0.1f, 1e-5f);
    // The aura once in the rage state.
    const int32_t auras = EffectStarts("3219700");
    Ticks(3);
    EXPECT_TRUE(boss->AuraOn);
    EXPECT_EQ(EffectStarts("3219700"), auras + 1);
    EnterBoss(boss, 0);
    Ticks(5);
    EXPECT_EQ(boss->state, 0);  // once
    // The next threshold, then none.
    boss->hp = monster::ParamsOf(boss).maxHP * 3 / 10;
    Tick();
    EXPECT_EQ(boss->state, 14);
    EXPECT_TRUE(boss->RageDone[1]);
    EnterBoss(boss, 0);
    Ticks(5);
    EXPECT_EQ(boss->state, 0);
}

// The rage aura starts once in the rage state and stays through the
// barrage and its end (15, 16): back in 14 from there no second one; once
// the boss has been elsewhere, the next rage starts it again.
TEST_F(Champions, TheRageAuraLastsThroughTheBarrageAndComesAgainAfterIt)
{
    CSBoss1110 *boss = Champion<CSBoss1110>(1110, kFarAway);
    Ticks(2);
    const int32_t auras = EffectStarts("3219700");
    EnterBoss(boss, 14);
    Ticks(2);
    EXPECT_EQ(EffectStarts("3219700"), auras + 1);
    for (int32_t state : {15, 16, 14}) {
        EnterBoss(boss, state);
        Ticks(2);
        EXPECT_TRUE(boss->AuraOn) << state;
    }
    EXPECT_EQ(EffectStarts("3219700"), auras + 1);
    EnterBoss(boss, 0);
    Ticks(130);  // the first aura has lived out its 2 s
    EXPECT_FALSE(boss->AuraOn);
    EnterBoss(boss, 14);
    Ticks(2);
    EXPECT_EQ(EffectStarts("3219700"), auras + 2);
}

// State 0 is left after 3 s in it, by input 21 with a state random below
// 50, else by 23. 1110 starts its 3 s again on each visit; 1109 counts
// them once, so that every later visit leaves at once.
TEST_F(Champions, TheyLeaveTheirIdleStateAfterThreeSecondsByTwentyOneOrTwentyThree)
{
    CSBoss1109 *b1109 = PlaceBoss<CSBoss1109>(1109, kHome, kSouth);
    CSBoss1110 *b1110 = PlaceBoss<CSBoss1110>(1110, {50.0f, 0.0f, 60.0f}, kSouth);
    for (int32_t type : {1109, 1110}) {
        FsfBuilder b;
        b.State(0).To(21, 5, 1).To(23, 8, 1);
        b.State(5);
        b.State(8);
        UseStateMachine(type, b.Build());
    }
    PutHero(kFarAway);
    EnterBoss(b1109, 5);  // away from state 0 until its turn
    struct {
        AiObject *boss;
        int32_t random;
        int32_t leadsTo;
        float after;  // seconds in state 0
    } visits[] = {{b1110, 49, 5, 3.0f}, {b1110, 50, 8, 3.0f}, {b1109, 0, 5, 3.0f}, {b1109, 99, 8, 0.0f}};
    for (const auto &visit : visits) {
        SCOPED_TRACE(std::to_string(visit.boss->aiType) + " with " + std::to_string(visit.random));
        EnterBoss(visit.boss, 0);
        visit.boss->stateRandom = visit.random;
        const int ticks = TicksUntil([&] { return visit.boss->state != 0; }, 400);
        EXPECT_EQ(visit.boss->state, visit.leadsTo);
        EXPECT_NEAR(ticks / 60.0f, visit.after, 0.05f);
        Ticks(3);  // elsewhere for a while
    }
}

// What a champion chooses from where its foe stands, straight ahead (each
// input here leads to the state of its own number): in sight beyond its
// alarm circle 1; within the alarm circle 1, but 1109 in its chase 2 strikes
// (11) with a state random below 50; within the attack range 10.
TEST_F(Champions, TheirFoesDistanceChoosesTheirInput)
{
    for (const int32_t type : {1109, 1110}) {
        SCOPED_TRACE(type);
        AiObject *boss = Place(type, kHome, kSouth);
        FsfBuilder b;
        for (int32_t from : {0, 2}) {
            b.State(from).To(1, 1, 1).To(10, 10, 1).To(11, 11, 1);
        }
        for (int32_t s : {1, 5, 10, 11}) {
            b.State(s);
        }
        UseStateMachine(type, b.Build());
        const auto [sight, alarm, reach] = bosstest::SensingBandsOf(boss);
        const bool strikes = type == 1109;
        const struct {
            int32_t from;
            float distance;
            int32_t random;
            int32_t leadsTo;
        } cases[] = {{0, sight, 99, 1},  {2, sight, 10, 1},   {2, alarm, 49, strikes ? 11 : 1},
                     {2, alarm, 50, 1},  {0, alarm, 10, 1},   {0, reach, 70, 10},
                     {2, reach, 20, 10}};
        for (const auto &c : cases) {
            SCOPED_TRACE(std::to_string(c.distance) + " from " + std::to_string(c.from) + " with " +
                         std::to_string(c.random));
            const RwV3d heroAt = {kHome.x, 0.0f, kHome.z - c.distance};
            EXPECT_EQ(StateChosen(boss, 5, c.from, c.random, heroAt, kHome, kSouth), c.leadsTo);
        }
        boss->removed = true;
    }
}

// 1110 attacks (10) a foe in its attack range only inside its cone, seen
// from 5 behind it: a hero 8 ahead of it attacks; the same hero 16 up in
// the air (still within range) lies above the cone's 40 degrees and it
// waits (0).
TEST_F(Champions, Boss1110sAttackConeLooksUpAsWellAsAcross)
{
    CSBoss1110 *boss = AttackingFromIdle1110();
    for (float height : {16.0f, 0.0f}) {
        SCOPED_TRACE(height);
        PutHero({0.0f, height, kHome.z - 8.0f}, {0.0f, 0.0f, 1.0f});
        EnterBoss(boss, 0);
        Ticks(10);
        EXPECT_NE(boss->target, nullptr);
        EXPECT_NEAR(hero.GetPositionPtr()->y, height, 0.01f);
        EXPECT_EQ(boss->state, height > 0.0f ? 0 : 9);
    }
}

// 1110's cone is its attack half angle in degrees, seen from 5 units
// behind it: a foe in reach just inside it is attacked (10, to 9), one just
// outside it is not.
TEST_F(Champions, Boss1110sAttackConeIsItsHalfAngleInDegrees)
{
    CSBoss1110 *boss = AttackingFromIdle1110();
    const CharacterParams &params = monster::ParamsOf(boss);
    const float half = params.attackHalfAngle;
    const float reach = params.attackRange / 2.0f;
    constexpr float kPi = 3.14159265f;
    const std::array<bosstest::ConeBearing, 3> cases = bosstest::BearingsAroundTheCone(half);
    ASSERT_TRUE(bosstest::ARadiansReadingJudgesOtherwise(cases, half)) << half;
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.degrees) + " degrees off");
        const float a = c.degrees * kPi / 180.0f;
        const RwV3d at = {kHome.x + reach * std::sin(a), 0.0f, kHome.z + 5.0f - reach * std::cos(a)};
        ASSERT_LT(V3Length(V3Sub(at, kHome)), params.attackRange);
        boss->SetPosition(kHome);
        boss->SetDirection(kSouth);
        PutHero(at);
        EnterBoss(boss, 0);
        Ticks(10);
        EXPECT_NE(boss->target, nullptr);
        EXPECT_EQ(boss->state, c.inside ? 9 : 0);
    }
}

// Three exits from the flinch state 17 within 2 s bring the escape 108
// once; two, then the window's end, bring none.
TEST_F(Champions, ThreeExitsFromTheFlinchWithinTwoSecondsEscapeOnce)
{
    CSBoss1109 *boss = Champion<CSBoss1109>(1109, kFarAway);
    EnterBoss(boss, 1);
    Tick();
    for (int exits = 0; exits < 3; ++exits) {
        Hit(boss, kAtkPlain, 1);  // 100: into the flinch
        Ticks(3);
        ASSERT_EQ(boss->state, 17) << exits;
        EXPECT_TRUE(boss->Escape.armed);
        Hit(boss, kAtkPlain | kAtkHurt4, 1);  // 101: out of it
        Ticks(2);
        EXPECT_NE(boss->state, 17);
    }
    TicksUntil([&] { return boss->state == 10; }, 5);
    EXPECT_EQ(boss->state, 10);
    EXPECT_TRUE(boss->Escape.leftFlinch);
    // Once: the window closes after its 2 s without another escape.
    EnterBoss(boss, 1);
    Ticks(130);
    EXPECT_EQ(boss->state, 1);
    EXPECT_FALSE(boss->Escape.armed);
    // Two exits, then the window runs out: no escape.
    for (int exits = 0; exits < 2; ++exits) {
        Hit(boss, kAtkPlain, 1);
        Ticks(2);
        Hit(boss, kAtkPlain | kAtkHurt4, 1);
        Ticks(2);
    }
    EXPECT_EQ(boss->Escape.count, 2);
    Ticks(130);
    EXPECT_EQ(boss->state, 1);
    EXPECT_FALSE(boss->Escape.armed);
}

// The guard 23: no harm from ordinary hits (the guard sound for each),
// 18 after 1 s, a heavy hit breaks it (102).
TEST_F(Champions, TheGuardHoldsOneSecondUnlessBroken)
{
    CheckGuard(Champion<CSBoss1110>(1110, kFarAway), 23, 1.0f, 0, 17);
}

// Unlike the other bosses' guards theirs feeds no idle input while it lasts.
TEST_F(Champions, TheGuardFeedsNoIdleInput)
{
    ExpectTheGuardFeedsIdle(Champion<CSBoss1109>(1109, kFarAway), 23, false);
    ExpectTheGuardFeedsIdle(Champion<CSBoss1110>(1110, kFarAway), 23, false);
}

// The weapon beams: 1109 lays one in 11 and one in 15, 1110 two in 11;
// each once per visit, and back to the pool when the boss leaves.
TEST_F(Champions, TheWeaponBeamsAreLaidOncePerVisitAndGivenBack)
{
    CSBoss1109 *b1109 = Champion<CSBoss1109>(1109);
    CSBoss1110 *b1110 = Champion<CSBoss1110>(1110);
    b1110->SetPosition({50.0f, 0.0f, 60.0f});
    Ticks(2);
    const int32_t out = particles.SystemsOut();
    for (int visit = 0; visit < 6; ++visit) {
        SCOPED_TRACE(visit);
        // 1109's barrage state 15 fires big shots beside its beam: their
        // systems are counted out only in 11.
        const bool barrage = visit % 2 != 0;
        EnterBoss(b1109, barrage ? 15 : 11);
        EnterBoss(b1110, 11);
        Tick();
        const int32_t laid1109 = barrage ? 1 : 0;
        ASSERT_NE(b1109->Beams[laid1109].system, nullptr);
        EXPECT_STREQ(b1109->Beams[laid1109].system->TemplateName(), barrage ? "3214000.zus" : "3216500.zus");
        ASSERT_NE(b1110->Beams[0].system, nullptr);
        ASSERT_NE(b1110->Beams[1].system, nullptr);
        CSParticleSystem *laid = b1109->Beams[laid1109].system;
        if (!barrage) {
            EXPECT_EQ(particles.SystemsOut(), out + 3);
        }
        Ticks(3);
        EXPECT_EQ(b1109->Beams[laid1109].system, laid);  // once per visit
        EnterBoss(b1109, 0);
        EnterBoss(b1110, 0);
        Tick();
        EXPECT_EQ(b1109->Beams[laid1109].system, nullptr);
        EXPECT_EQ(b1110->Beams[0].system, nullptr);
        EXPECT_EQ(b1110->Beams[1].system, nullptr);
        TicksUntil([&] { return particles.SystemsOut() == out; }, 200);
        EXPECT_EQ(particles.SystemsOut(), out);
    }
}

// A stage without the general effects: the champions go through every
// special state past its frames and their barrage to its end as ever,
// starting nothing. With every copy of a beam's particles out, the beam is
// not laid and the attack goes on.
TEST_F(Champions, WithoutTheGeneralEffectsOrABeamsParticlesTheyFightOnQuietly)
{
    CSBoss1109 *b1109 = Champion<CSBoss1109>(1109);
    CSBoss1110 *b1110 = Champion<CSBoss1110>(1110);
    b1110->SetPosition({50.0f, 0.0f, 60.0f});
    Ticks(2);
    const auto allStarts = [&] {
        int32_t n = 0;
        for (const gametest::TraceRecord &r : EffectLines()) {
            n += !r.fields.empty() && r.fields[0] == "start";
        }
        return n;
    };
    const int32_t starts = allStarts();
    stage.geManager = nullptr;
    for (boss::CSBossChampion *boss : {static_cast<boss::CSBossChampion *>(b1109), static_cast<boss::CSBossChampion *>(b1110)}) {
        SCOPED_TRACE(boss->aiType);
        for (const int32_t state : {4, 6, 9, 11, 12, 13}) {
            EnterBoss(boss, state);
            boss->animClock = 0.0f;
            Ticks(30);
            boss->animClock = 2000.0f / 60.0f;
            Ticks(40);  // past every special's frame
        }
        boss->BarrageTimer = 0.0f;
        EnterBoss(boss, 15);
        const int ticks = TicksUntil([&] { return boss->state != 15; }, 700);
        EXPECT_EQ(boss->state, 16);
        EXPECT_NEAR(ticks / 60.0f, 10.0f, 0.1f);
        EnterBoss(boss, 0);
    }
    stage.geManager = &effects;
    EXPECT_EQ(allStarts(), starts);

    std::vector<CSParticleSystem *> held;
    while (CSParticleSystem *system = particles.CreateSystem("3216500.zus")) {
        held.push_back(system);
    }
    EnterBoss(b1109, 11);
    Ticks(3);
    EXPECT_EQ(b1109->Beams[0].system, nullptr);
    EXPECT_EQ(b1109->state, 11);
    for (CSParticleSystem *system : held) {
        system->Release();
    }
}

// Their weapon flames ("3010600.zus") start once per entry of 5 and 8 with
// their model: 1109 one in 5 and two in 8, 1110 one in each; none again in
// the same visit once burnt out, and none in another attack (10).
TEST_F(Champions, TheirWeaponFlamesStartOncePerEntryOfFiveAndEight)
{
    for (const int32_t type : {1109, 1110}) {
        SCOPED_TRACE(type);
        AiObject *boss = type == 1109 ? static_cast<AiObject *>(Champion<CSBoss1109>(type))
                                      : Champion<CSBoss1110>(type);
        Ticks(2);
        const std::pair<int32_t, int32_t> flames[] = {{5, 1}, {10, 0}, {8, type == 1109 ? 2 : 1}};
        for (const auto &[state, count] : flames) {
            SCOPED_TRACE(state);
            for (int visit = 0; visit < 2; ++visit) {
                EnterBoss(boss, 0);
                Ticks(130);  // what the last visit started has burnt out
                const int32_t out = particles.SystemsOut();
                EnterBoss(boss, state);
                Ticks(2);
                EXPECT_EQ(particles.SystemsOut(), out + count);
                TicksUntil([&] { return particles.SystemsOut() == out; }, 150);
                Ticks(30);
                EXPECT_EQ(particles.SystemsOut(), out);
            }
        }
        boss->removed = true;
        boss->active = false;
    }
}

// The shots the champions fire at their foe fly at his chest (his frame
// 100100): 1109's barrage and 1110's two shots in state 11.
TEST_F(Champions, TheirShotsAtTheFoeFlyAtHisChest)
{
    CSBoss1109 *b1109 = Champion<CSBoss1109>(1109);
    CSBoss1110 *b1110 = Champion<CSBoss1110>(1110);
    b1110->SetPosition({50.0f, 0.0f, 60.0f});
    Ticks(2);
    ASSERT_NE(b1109->target, nullptr);
    ASSERT_NE(b1110->target, nullptr);
    const RwMatrix *chestFrame = boss::UserFrameMatrix(&hero, 100100);
    ASSERT_NE(chestFrame, nullptr);
    const RwV3d chest = chestFrame->pos;
    ASSERT_GT(V3Length(V3Sub(chest, *hero.GetPositionPtr())), 1.0f);
    const auto expectAllAtTheChest = [&](const CSGePool *pool, int32_t fired) {
        int32_t aimed = 0;
        for (int32_t i = 0; i < pool->InstanceCount(); ++i) {
            const GeInstance &shot = pool->Instance(i);
            if (shot.used) {
                EXPECT_LT(V3Length(V3Sub(shot.to, chest)), 0.01f);
                aimed += 1;
            }
        }
        EXPECT_EQ(aimed, fired);
    };
    b1109->BarrageTimer = 0.0f;
    b1109->BarrageShotTimer = 0.1f;
    EnterBoss(b1109, 15);
    Tick();
    expectAllAtTheChest(effects.bigShot3215400, 1);
    EnterBoss(b1109, 0);
    EnterBoss(b1110, 11);
    b1110->animClock = 1843.0f / 60.0f;
    TicksUntil([&] { return effects.bigShot3211200->InstancesInUse() > 0; }, 10);
    expectAllAtTheChest(effects.bigShot3211200, 2);
}

// Both turn toward their foe by TurnDeg a second in their states 2, 4, 8
// and 14 and in the barrage 15; idle and in their other blows they keep
// their facing.
TEST_F(Champions, TheyTurnToTheirFoeOnlyInTheirTurningStates)
{
    ExpectItTurnsOnlyIn(Champion<CSBoss1109>(1109), 25, {2, 4, 8, 14, 15}, {0, 6, 9, 10});
    ExpectItTurnsOnlyIn(Champion<CSBoss1110>(1110, kFarAway), 25, {2, 4, 8, 14, 15}, {0, 6, 9, 10});
}

// Boss 1109's companion, when it has one, takes each state's motion with
// the boss, blended alike; a state the boss does not take leaves both as
// they are.
TEST_F(Champions, Boss1109sCompanionTakesItsMotionWithIt)
{
    CSBoss1109 *boss = Champion<CSBoss1109>(1109);
    AiObject *companion = Place(1000, {40.0f, 0.0f, 60.0f}, kSouth);
    ASSERT_NE(companion, nullptr);
    FsfBuilder still;
    still.State(0);
    UseStateMachine(1000, still.Build());
    Ticks(2);
    ASSERT_NE(companion->Clump(), nullptr);
    CSClumpAnimManager *anims = monster::AnimationsOf(companion);
    ASSERT_NE(anims, nullptr);
    boss->Companion = companion;
    for (const int32_t state : {2, 1}) {
        boss->SetState(boss->Fsf(), state);
        EXPECT_EQ(boss->state, state);
        EXPECT_EQ(anims->GetMotionIndex(companion->Clump()), state);
    }
    boss->SetState(boss->Fsf(), 26);
    EXPECT_EQ(boss->state, 1);
    EXPECT_EQ(anims->GetMotionIndex(companion->Clump()), 1);
    // A change its state machine makes with a blend blends the companion
    // over the same time.
    FsfBuilder b;
    b.State(0).To(7, 2, 1, 0.25f);
    b.State(2);
    UseStateMachine(1109, b.Build());
    EnterBoss(boss, 0);
    int32_t next = -1;
    monster::FeedInput(boss, &next, 7);
    ASSERT_EQ(next, 2);
    boss->SetState(boss->Fsf(), next);
    EXPECT_EQ(anims->GetMotionIndex(companion->Clump()), 2);
    const ClumpInfo *own = anims->FindClumpInfo(boss->Clump());
    const ClumpInfo *its = anims->FindClumpInfo(companion->Clump());
    ASSERT_NE(own, nullptr);
    ASSERT_NE(its, nullptr);
    EXPECT_EQ(own->blendDuration, 0.25f);
    EXPECT_EQ(its->blendDuration, 0.25f);
    boss->Companion = nullptr;
}

// Entering each state plays its sound once per entry: 2 6300310, 3
// 6270000, 4, 8, 12 and 19 6300290, 6 6300110, 10 6300170, 11 6270020
// (1109) or 6240020 (1110), 14 6270010, 16 6270030, 17 and 22 6270010;
// and none of the table's other sounds.
TEST_F(Champions, EachStateSoundsItsOwnEntrySoundOncePerEntry)
{
    for (const int32_t type : {1109, 1110}) {
        SCOPED_TRACE(type);
        AiObject *boss = PlaceBoss<AiObject>(type, kHome, kSouth);
        UseStatesThatStay(type, 25);
        PutHero(kFarAway);
        const std::pair<int32_t, int32_t> entries[] = {
            {2, 6300310},  {3, 6270000},  {4, 6300290},  {8, 6300290},
            {12, 6300290}, {19, 6300290}, {6, 6300110},  {10, 6300170},
            {11, type == 1109 ? 6270020 : 6240020},      {14, 6270010},
            {16, 6270030}, {17, 6270010}, {22, 6270010}};
        ExpectEntrySoundsOncePerEntry(boss, entries);
        boss->removed = true;
    }
}

// Gone at once at death: the reward to the hero, and no drop even when an
// event named one.
// A champion lies down (blows on the ground reach it) in its fall 20 and its
// grab fight 22 from their first tick, and in its rise 19 only once the
// rise's motion has played to its end; standing, it is not down.
TEST_F(Champions, TheyAreDownInTheFallAndTheGrabFightAndAtTheEndOfTheRise)
{
    for (const int32_t type : {1109, 1110}) {
        SCOPED_TRACE(type);
        AiObject *boss = Place(type, kHome, kSouth);
        UseStatesThatStay(type, 25);
        PutHero(kFarAway);
        for (const int32_t state : {20, 22, 0}) {
            EnterBoss(boss, state);
            Tick();
            EXPECT_EQ(boss->down, state != 0) << state;
        }
        EnterBoss(boss, 19);
        Tick();
        EXPECT_FALSE(boss->down) << "rising";
        ASSERT_GE(TicksUntil([&] { return boss->animEnded; }, 600), 0);
        Tick();
        EXPECT_TRUE(boss->down) << "risen to the end of its motion";
        boss->removed = true;
    }
}

TEST_F(Champions, TheyPayTheRewardWithoutADrop)
{
    CSBoss1110 *boss = Champion<CSBoss1110>(1110, kFarAway);
    const int32_t exp = hero.experience;
    Control(boss, kCtlDropOverride, 5300060);
    Hit(boss, kAtkPlain, boss->hp + 100);
    TicksUntil([&] { return boss->removed; }, 10);
    EXPECT_TRUE(boss->removed);
    EXPECT_EQ(hero.experience, exp + monster::ParamsOf(boss).exp);
    int32_t drops = 0;
    for (const gametest::TraceRecord &r : EffectLines()) {
        drops += !r.fields.empty() && r.fields[0] == "drop";
    }
    EXPECT_EQ(drops, 0);
}

}  // namespace

}  // namespace boss_1109_1110_test
