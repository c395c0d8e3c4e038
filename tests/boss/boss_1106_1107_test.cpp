// Bosses 1106 and 1107, the forward walkers, frame by frame: turning with
// its dead zones while walking ahead along the facing, the guard, the
// thrown recovery that gives the held-back damage again 0.6 s after the
// throw, a held boss leaving its blows with input 30; 1107's HP phases
// (each once, only when the forced transition reaches state 20, none while
// a hero holds, locks or throws it), its slowed special attack ending in
// the wave, and its body particles given back without a model and started
// again with one; the hand flames of their blows, once per entry.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "boss/boss_1106.h"
#include "boss/boss_1107.h"
#include "boss_scenario.h"
#include "fx/ge_manager.h"
#include "fx/ge_pools.h"
#include "monster/kit_common.h"
#include "stage/character_params.h"
#include "stage/model_frames.h"

namespace boss_1106_1107_test {

namespace {

using bosstest::BossScenario;
using bosstest::FacingDegrees;
using bosstest::FsfBuilder;
using bosstest::Off;

constexpr RwV3d kHome = {0.0f, 0.0f, 60.0f};
constexpr RwV3d kSouth = {0.0f, 0.0f, -1.0f};
constexpr float kPi = 3.14159265f;


class Walkers : public BossScenario {
protected:
    // The walk 1 (20 units a second, looping), the hurt 16 and its counter
    // 17, the guard 18/19 (a guard break to 16, its end to 0), the blows 5
    // and 12 a held boss leaves with 30 for the get-up 23 (2 to idle 0),
    // the special 20 that input 16 leads to from the walk, the wait 3.
    template <typename Boss>
    Boss *Walker(int32_t aiType, const RwV3d &at = kHome)
    {
        Boss *boss = PlaceBoss<Boss>(aiType, at, kSouth);
        FsfBuilder b;
        b.State(0).To(0, 0);
        b.State(1).Speed(20.0f).To(16, 20, 1).To(1, 1).To(5, 1);
        b.State(3).To(2, 1, 1).To(0, 3);
        b.State(5).To(30, 23, 1).To(0, 5);
        b.State(12).To(30, 23, 1).To(0, 12);
        b.State(16).To(17, 17, 1).To(16, 20, 1).To(0, 16);
        b.State(17).To(0, 16);
        b.State(18).To(102, 16, 1).To(0, 19);
        b.State(19).To(102, 16, 1).To(18, 0, 1).To(0, 19);
        b.State(20).To(0, 1);
        b.State(23).To(2, 0, 1);
        UseStateMachine(aiType, b.Build());
        return boss;
    }
};

// Within about 8 degrees of its target (a cosine of 0.99) it does not turn;
// beyond, it turns by TurnDeg a second toward the target's side, and the
// positive way for a target straight behind. Meanwhile it walks straight
// ahead along its facing.
TEST_F(Walkers, Boss1106TurnsOutsideItsDeadZoneAndWalksAlongItsFacing)
{
    CSBoss1106 *boss = Walker<CSBoss1106>(1106);
    const float turnDeg = monster::ParamsOf(boss).turnDeg;
    struct Case {
        float heroDegrees;
        float turned;  // degrees after 10 ticks (positive: toward +x)
    };
    for (const Case &c : {Case{5.0f, 0.0f}, Case{60.0f, turnDeg / 6.0f}, Case{-60.0f, -turnDeg / 6.0f}}) {
        SCOPED_TRACE(c.heroDegrees);
        boss->SetPosition(kHome);
        boss->SetDirection(kSouth);
        PutHero(Off(kHome, c.heroDegrees, 60.0f));
        Ticks(2);  // the hero sensed: the target picked
        EnterBoss(boss, 1);
        boss->SetDirection(kSouth);
        const RwV3d from = *boss->GetPositionPtr();
        Ticks(10);
        EXPECT_NEAR(FacingDegrees(boss), c.turned, 1.0f);
        // It walked ahead along its facing, 20 units a second.
        const RwV3d to = *boss->GetPositionPtr();
        EXPECT_NEAR(std::hypot(to.x - from.x, to.z - from.z), 20.0f * 10.0f / 60.0f, 0.5f);
        EXPECT_LT(to.z, from.z);
    }
    // Straight behind: the positive sense.
    boss->SetPosition(kHome);
    PutHero({kHome.x, 0.0f, kHome.z + 60.0f});
    Ticks(2);
    EnterBoss(boss, 1);
    boss->SetDirection(kSouth);
    Tick();
    EXPECT_NEAR(std::fabs(FacingDegrees(boss)), turnDeg / 60.0f, 0.2f);
}

// They turn toward their foe (by TurnDeg a second) only in the walk 1, 2,
// the wait 3 and the guard 18 and 19; in their other states they keep
// their facing.
TEST_F(Walkers, TheyTurnOnlyInTheirWalksWaitAndGuard)
{
    for (const int32_t type : {1106, 1107}) {
        SCOPED_TRACE(type);
        AiObject *boss = Place(type, kHome, kSouth);
        ExpectItTurnsOnlyIn(boss, 24, {1, 2, 3, 18, 19}, {0, 5, 16});
        boss->removed = true;
    }
}

// What the walkers choose from where their foe stands (each input here
// leads to the state of its own number): in sight beyond the alarm circle
// the walk (5 for 1106, 1 for 1107); within the alarm circle 1 with a state
// random below 50, else 11; within the attack range and inside the cone
// (seen from one unit behind) the attack 10, behind it or above it still
// the alarm's choice.
TEST_F(Walkers, TheirFoesDistanceAndBearingChooseTheirInput)
{
    for (int32_t type : {1106, 1107}) {
        SCOPED_TRACE(type);
        AiObject *boss = Place(type, kHome, kSouth);
        FsfBuilder b;
        b.State(0).To(1, 1, 1).To(5, 5, 1).To(10, 10, 1).To(11, 11, 1);
        for (int32_t s : {1, 5, 10, 11}) {
            b.State(s);
        }
        UseStateMachine(type, b.Build());
        const auto [sight, alarm, reach] = bosstest::SensingBandsOf(boss);
        const int32_t walk = type == 1106 ? 5 : 1;
        const struct {
            float degrees;
            float distance;  // along the ground
            float height;
            int32_t random;
            int32_t leadsTo;
        } cases[] = {{0.0f, sight, 0.0f, 99, walk},  {0.0f, alarm, 0.0f, 49, 1},
                     {0.0f, alarm, 0.0f, 50, 11},    {0.0f, reach, 0.0f, 70, 10},
                     {180.0f, reach, 0.0f, 70, 11},  {0.0f, reach / 2.0f, 10.0f, 70, 11}};
        for (const auto &c : cases) {
            SCOPED_TRACE(std::to_string(c.distance) + " at " + std::to_string(c.degrees) + ", " +
                         std::to_string(c.height) + " up");
            RwV3d at = Off(kHome, c.degrees, c.distance);
            at.y = c.height;
            EXPECT_EQ(StateChosen(boss, 5, 0, c.random, at, kHome, kSouth), c.leadsTo);
        }
        boss->SetPosition({0.0f, 0.0f, 400.0f});  // out of the next one's way
    }
}

// A boss whose AttackTarget names no way of picking (bad data) never has a
// target: a hero within its reach then brings no input at all, and the
// boss walks on as it was, rather than stopping at home.
TEST_F(Walkers, AHeroInReachTheyCannotTargetLeavesThemWalking)
{
    for (int32_t type : {1106, 1107}) {
        SCOPED_TRACE(type);
        AiObject *boss = Place(type, kHome, kSouth);
        FsfBuilder b;
        b.State(0);
        b.State(1).Speed(5.0f).To(0, 0, 1).To(1, 1, 1).To(5, 1, 1).To(11, 1, 1);
        UseStateMachine(type, b.Build());
        boss->modelTemplate->params.attackTarget = 0;
        const float reach = bosstest::SensingBandsOf(boss).reach;
        PutHero(Off(kHome, 0.0f, reach));
        EnterBoss(boss, 1);
        Ticks(10);
        EXPECT_EQ(boss->target, nullptr);
        EXPECT_EQ(boss->state, 1);
        boss->SetPosition({0.0f, 0.0f, 400.0f});  // out of the next one's way
    }
}

// The wait 3 lasts 3 s and then feeds 2 (here back to the walk 1); a new
// wait starts its 3 s again.
TEST_F(Walkers, TheWaitLastsThreeSeconds)
{
    for (int32_t type : {1106, 1107}) {
        SCOPED_TRACE(type);
        AiObject *boss = type == 1106 ? static_cast<AiObject *>(Walker<CSBoss1106>(1106))
                                      : static_cast<AiObject *>(Walker<CSBoss1107>(1107));
        PutHero({0.0f, 0.0f, -300.0f});
        for (int visit = 0; visit < 2; ++visit) {
            EnterBoss(boss, 3);
            const int ticks = TicksUntil([&] { return boss->state != 3; }, 400);
            EXPECT_EQ(boss->state, 1);
            EXPECT_NEAR(ticks / 60.0f, 3.0f, 0.05f);
            Ticks(visit == 0 ? 30 : 0);
        }
        boss->SetPosition({0.0f, 0.0f, 400.0f});  // out of the next one's way
    }
}

// Entering its blows 11 and 13 (1107 also its special 20) the boss faces
// its target at once, and only then: a target that moves on is not
// followed within the visit. Another blow (12) keeps the facing it had.
// Without a target it faces its home.
TEST_F(Walkers, TheyFaceTheirTargetOnEnteringTheirBlows)
{
    for (int32_t type : {1106, 1107}) {
        SCOPED_TRACE(type);
        AiObject *boss = Place(type, kHome, kSouth);
        FsfBuilder b;
        for (int32_t s : {0, 11, 12, 13, 20}) {
            b.State(s);
        }
        UseStateMachine(type, b.Build());
        PutHero(Off(kHome, 60.0f, 40.0f));
        Ticks(2);
        ASSERT_NE(boss->target, nullptr);
        for (int32_t state : {11, 12, 13, 20}) {
            SCOPED_TRACE(state);
            const bool faces = state != 12 && (state != 20 || type == 1107);
            PutHero(Off(kHome, 60.0f, 40.0f));
            EnterBoss(boss, 0);
            Tick();
            boss->SetDirection(kSouth);
            EnterBoss(boss, state);
            Tick();
            EXPECT_NEAR(FacingDegrees(boss), faces ? 60.0f : 0.0f, 1.0f);
            PutHero(Off(kHome, -60.0f, 40.0f));
            Ticks(3);
            EXPECT_NEAR(FacingDegrees(boss), faces ? 60.0f : 0.0f, 1.0f);
        }
        // Without a target it faces its home: here, 40 to its east.
        PutHero({0.0f, 0.0f, -300.0f});
        Ticks(90);
        ASSERT_EQ(boss->target, nullptr);
        boss->SetPosition(Off(kHome, -90.0f, 40.0f));
        EnterBoss(boss, 0);
        Tick();
        boss->SetDirection(kSouth);
        EnterBoss(boss, 11);
        Tick();
        EXPECT_NEAR(FacingDegrees(boss), 90.0f, 1.0f);
        boss->SetPosition({0.0f, 0.0f, 400.0f});  // out of the next one's way
    }
}

// States 18 and 19 guard: ordinary hits cost nothing and sound 6300210; a
// heavy one costs HP and breaks the guard (102); unbroken, 19 ends with 18
// after 2 s (1106) or 1 s (1107).
TEST_F(Walkers, TheGuardEndsAfterItsTimeOrUnderAHeavyHit)
{
    for (const int32_t type : {1106, 1107}) {
        SCOPED_TRACE(type);
        AiObject *boss = type == 1106 ? static_cast<AiObject *>(Walker<CSBoss1106>(type, {-40.0f, 0.0f, 60.0f}))
                                      : Walker<CSBoss1107>(type, {40.0f, 0.0f, 60.0f});
        PutHero({0.0f, 0.0f, -300.0f});
        EnterBoss(boss, 19);
        const int32_t hp = boss->hp;
        const uint32_t from = tick;
        Hit(boss, kAtkPlain, 40);
        Ticks(3);
        EXPECT_EQ(boss->hp, hp);
        EXPECT_TRUE(boss->guarding);
        EXPECT_TRUE(SoundQueued(6300210, from));
        const int ticks = TicksUntil([&] { return boss->state != 19; }, 200);
        EXPECT_EQ(boss->state, 0);
        EXPECT_NEAR((ticks + 3) / 60.0f, type == 1106 ? 2.0f : 1.0f, 0.05f);
        EnterBoss(boss, 19);
        Hit(boss, kAtkPlain | kAtkHeavy, 40);
        Ticks(2);
        EXPECT_EQ(boss->state, 16);
        Tick();
        EXPECT_EQ(boss->hp, hp - (40 - monster::ParamsOf(boss).defense));
    }
}

// On the game's own state machine, with the hero in each sensing band (the
// alarm circle is where the boss takes its guard), the guard outlasts its
// one-second motion: it ends by 18 into the walk 1 after 2 s (1106) or 1 s
// (1107), not by the motion's end.
TEST_F(Walkers, WithTheHeroInSightTheGuardLastsItsTime)
{
    for (const int32_t type : {1106, 1107}) {
        SCOPED_TRACE(type);
        AiObject *boss = Place(type, kHome, kSouth);
        const auto [sight, alarm, reach] = bosstest::SensingBandsOf(boss);
        for (const float distance : {sight, alarm, reach}) {
            SCOPED_TRACE(distance);
            PutHero(Off(kHome, 0.0f, distance));
            boss->SetPosition(kHome);
            boss->SetDirection(kSouth);
            Tick();
            EnterBoss(boss, 19);
            const int ticks = TicksUntil([&] { return boss->state != 19; }, 200);
            EXPECT_EQ(boss->state, 1);
            EXPECT_NEAR(ticks / 60.0f, type == 1106 ? 2.0f : 1.0f, 0.05f);
        }
        boss->SetPosition({0.0f, 0.0f, 400.0f});  // out of the next one's way
    }
}

// A thrown boss stands frozen for 0.3 s: the damage of the throw's first
// frame is held back, that of the later frames dropped; 0.3 s after it
// stands again the held-back damage is taken.
TEST_F(Walkers, Boss1106GivesTheThrownDamageBackAfterSixTenthsOfASecond)
{
    CSBoss1106 *boss = Walker<CSBoss1106>(1106);
    PutHero({0.0f, 0.0f, -300.0f});
    EnterBoss(boss, 1);
    const int32_t hp = boss->hp;
    const int32_t defense = monster::ParamsOf(boss).defense;
    Hit(boss, kAtkPlain, 50);
    Tick();  // delivered
    boss->thrown = true;
    const RwV3d at = *boss->GetPositionPtr();
    Tick();  // read: held back
    EXPECT_EQ(boss->animSpeedMode, kAnimFrozen);
    Hit(boss, kAtkPlain, 70);  // dropped
    int took = -1;
    for (int i = 1; i <= 60 && took < 0; ++i) {
        Tick();
        if (boss->hp != hp) {
            took = i;
        }
        if (i < 18) {
            EXPECT_NEAR(boss->GetPositionPtr()->z, at.z, 1e-3f);  // no move while thrown
        }
    }
    EXPECT_EQ(boss->hp, hp - (50 - defense));
    EXPECT_NEAR(took / 60.0f, 0.6f, 0.05f);
    EXPECT_FALSE(boss->thrown);
    EXPECT_EQ(boss->animSpeedMode, kAnimNormal);
}

// Held by a hero in its blows 5 and 12 it leaves with input 30 (here to the
// get-up 23, which goes back to idle after 1 s), keeping where it stood as
// the shake anchor; the idle state lets go of the hold.
TEST_F(Walkers, AHeldBossLeavesItsBlowsWithThirty)
{
    CSBoss1106 *boss = Walker<CSBoss1106>(1106);
    PutHero({0.0f, 0.0f, -300.0f});
    for (const int32_t blow : {5, 12}) {
        SCOPED_TRACE(blow);
        EnterBoss(boss, blow);
        Tick();
        EXPECT_EQ(boss->state, blow);
        boss->heldByHero = true;
        Tick();
        EXPECT_EQ(boss->state, 23);
        EXPECT_NEAR(boss->shakeAnchor.z, boss->GetPositionPtr()->z, 1e-3f);
        const int ticks = TicksUntil([&] { return boss->state != 23; }, 120);
        EXPECT_EQ(boss->state, 0);
        EXPECT_NEAR(ticks / 60.0f, 1.0f, 0.05f);
        Tick();
        EXPECT_FALSE(boss->heldByHero);
    }
}

// Its group's notice that brings a walker its model back lets go of a
// hero's hold; with its model on, the notice leaves the hold as it is.
TEST_F(Walkers, TheNoticeThatBringsBackItsModelEndsAHerosHold)
{
    constexpr int32_t kGroup = 79187400;
    CSBoss1106 *boss = Walker<CSBoss1106>(1106);
    boss->eventId = kGroup;
    PutHero({0.0f, 0.0f, -300.0f});
    boss->isRender = 0;  // out of sight: the model goes back
    Ticks(2);
    ASSERT_EQ(boss->model, nullptr);
    EnterBoss(boss, 3);
    boss->heldByHero = true;
    Control(boss, kCtlShowHold, kGroup);
    Ticks(2);
    EXPECT_NE(boss->model, nullptr);
    EXPECT_FALSE(boss->heldByHero);
    boss->heldByHero = true;
    Control(boss, kCtlShowHold, kGroup);
    Ticks(2);
    EXPECT_TRUE(boss->heldByHero);
}

// The recovery state 16 feeds 17 every 0.2 s when its state random is
// below the boss's bound (20 for 1106), with a target that is not in its
// own grab move, and not while a hero holds it.
TEST_F(Walkers, TheRecoveryCountersEveryFifthOfASecondWhenItMay)
{
    CSBoss1106 *boss = Walker<CSBoss1106>(1106);
    PutHero(Off(kHome, 0.0f, 60.0f));
    Ticks(2);
    ASSERT_NE(boss->target, nullptr);
    struct Case {
        int32_t roll;
        bool grabMove;
        bool held;
        bool counters;
    };
    for (const Case &c : {Case{10, false, false, true}, Case{30, false, false, false}, Case{10, true, false, false},
                          Case{10, false, true, false}}) {
        SCOPED_TRACE(c.roll * 100 + c.grabMove * 10 + c.held);
        hero.grabMove = c.grabMove;
        boss->heldByHero = c.held;
        EnterBoss(boss, 16);
        boss->stateRandom = c.roll;
        Ticks(10);
        EXPECT_EQ(boss->state, 16);
        TicksUntil([&] { return boss->state != 16; }, 3);  // at 0.2 s
        EXPECT_EQ(boss->state == 17, c.counters);
        boss->heldByHero = false;
    }
    hero.grabMove = false;
}

// HP below 60 % forces the special attack 20 once; a blow that takes HP
// below 10 % makes the other two phases wait for the special to end and
// fire one after another.
TEST_F(Walkers, Boss1107sPhasesFireOnceEachOnlyWhenTheyReachTheSpecial)
{
    CSBoss1107 *boss = Walker<CSBoss1107>(1107);
    PutHero(Off(kHome, 0.0f, 60.0f));
    Ticks(2);
    const int32_t maxHP = monster::ParamsOf(boss).maxHP;
    EnterBoss(boss, 3);  // the wait: no transition for 16
    boss->hp = maxHP / 2;
    Ticks(5);
    EXPECT_EQ(boss->state, 3);
    EXPECT_FALSE(boss->phaseDone[0]);  // still armed
    EnterBoss(boss, 1);
    Tick();
    EXPECT_EQ(boss->state, 20);
    EXPECT_TRUE(boss->phaseDone[0]);
    EXPECT_FALSE(boss->phaseDone[1]);
    // Below 10 %: nothing more while in 20 ...
    boss->hp = maxHP / 20;
    Ticks(5);
    EXPECT_EQ(boss->state, 20);
    EXPECT_FALSE(boss->phaseDone[1]);
    // ... then, back in the walk, the 30 % phase, and after it the 10 % one.
    EnterBoss(boss, 1);
    Tick();
    EXPECT_EQ(boss->state, 20);
    EXPECT_TRUE(boss->phaseDone[1]);
    EXPECT_FALSE(boss->phaseDone[2]);
    EnterBoss(boss, 1);
    Tick();
    EXPECT_EQ(boss->state, 20);
    EXPECT_TRUE(boss->phaseDone[2]);
    EnterBoss(boss, 1);
    Ticks(3);
    EXPECT_EQ(boss->state, 1);  // all done
}

// A stage without the special's wave effect (its files missing) still sees
// the special end and the boss walk on.
TEST_F(Walkers, Boss1107sSpecialEndsWithoutTheWavesEffect)
{
    CSBoss1107 *boss = Walker<CSBoss1107>(1107);
    PutHero(Off(kHome, 0.0f, 60.0f));
    Ticks(2);
    CCGEManager *effects = monster::Effects();
    ASSERT_NE(effects, nullptr);
    CSBigShotWave *wave = effects->wave;
    effects->wave = nullptr;
    EnterBoss(boss, 1);
    boss->hp = monster::ParamsOf(boss).maxHP / 2;
    Tick();
    ASSERT_EQ(boss->state, 20);
    TicksUntil([&] { return boss->specialDone; }, 600);
    EXPECT_TRUE(boss->specialDone);
    TicksUntil([&] { return boss->state != 20; }, 600);
    EXPECT_NE(boss->state, 20);
    EXPECT_GT(boss->hp, 0);
    effects->wave = wave;
}

TEST_F(Walkers, NoPhaseFiresWhileHeldLockedThrownOrWithTheTargetInItsGrabMove)
{
    CSBoss1107 *boss = Walker<CSBoss1107>(1107);
    PutHero(Off(kHome, 0.0f, 60.0f));
    Ticks(2);
    const int32_t maxHP = monster::ParamsOf(boss).maxHP;
    for (int which = 0; which < 4; ++which) {
        SCOPED_TRACE(which);
        EnterBoss(boss, 1);
        boss->heldByHero = which == 0;
        boss->grabLock = which == 1;
        hero.grabMove = which == 3;
        if (which == 2) {
            boss->thrown = true;
        }
        boss->hp = maxHP / 2;
        Tick();
        EXPECT_EQ(boss->state, 1);
        EXPECT_FALSE(boss->phaseDone[0]);
        boss->hp = maxHP;
        boss->heldByHero = false;
        boss->grabLock = false;
        hero.grabMove = false;
        Ticks(40);  // the thrown recovery runs out
        ASSERT_FALSE(boss->thrown);
    }
    // Without a target none fires either.
    PutHero({0.0f, 0.0f, -400.0f});
    TicksUntil([&] { return boss->target == nullptr; }, 120);
    EnterBoss(boss, 1);
    boss->hp = maxHP / 2;
    Tick();
    EXPECT_FALSE(boss->phaseDone[0]);
    // With its target back, the phase fires.
    PutHero(Off(kHome, 0.0f, 60.0f));
    TicksUntil([&] { return boss->phaseDone[0]; }, 10);
    EXPECT_EQ(boss->state, 20);
}

// The special attack runs slowed (x0.9) and held still until the clock
// reaches frame 10280; then, once, the wave, and the speed comes back.
TEST_F(Walkers, Boss1107sSpecialIsSlowedUntilFrame10280ThenTheWave)
{
    CSBoss1107 *boss = Walker<CSBoss1107>(1107);
    PutHero({0.0f, 0.0f, -300.0f});
    EnterBoss(boss, 20);
    const int32_t waves = EffectStarts("Wave");
    Tick();
    EXPECT_EQ(boss->animSpeedMode, 6);
    EXPECT_TRUE(boss->hitStopPending);
    const float start = boss::ClockFrame(boss);
    ASSERT_LT(start, 10280.0f);
    const int ticks = TicksUntil([&] { return boss->specialDone; }, 300);
    ASSERT_GT(ticks, 0);
    EXPECT_GE(boss::ClockFrame(boss), 10280.0f);
    // The clock ran at 0.9 of the ticks.
    EXPECT_NEAR(static_cast<float>(ticks + 1), (10280.0f - start) / 0.9f, 2.0f);
    EXPECT_EQ(boss->animSpeedMode, kAnimNormal);
    EXPECT_FALSE(boss->hitStopPending);
    EXPECT_EQ(EffectStarts("Wave"), waves + 1);
    Ticks(20);
    EXPECT_EQ(EffectStarts("Wave"), waves + 1);
    // Again: slowed up to the tick its clock reaches the frame, which brings
    // the wave.
    EnterBoss(boss, 0);
    Tick();
    EnterBoss(boss, 20);
    Tick();
    boss->animClock = bosstest::ClockLandingOnFrame(10280.0f, 3, 0.9f);
    Ticks(2);
    EXPECT_EQ(boss->animSpeedMode, 6);
    EXPECT_EQ(EffectStarts("Wave"), waves + 1);
    Tick();
    EXPECT_EQ(boss::ClockFrame(boss), 10280.0f);
    EXPECT_EQ(boss->animSpeedMode, kAnimNormal);
    EXPECT_EQ(EffectStarts("Wave"), waves + 2);
}

// 1106's special 20 starts its big shot once the motion passes frame
// 2851, once per visit; 1107's 11 and 13 start the frame sequence on entry.
TEST_F(Walkers, TheSpecialsBigShotAndTheFrameSequencesStartOncePerVisit)
{
    CSBoss1106 *b1106 = Walker<CSBoss1106>(1106, {-40.0f, 0.0f, 60.0f});
    CSBoss1107 *b1107 = Walker<CSBoss1107>(1107, {40.0f, 0.0f, 60.0f});
    PutHero({0.0f, 0.0f, -300.0f});
    const int32_t shots = EffectStarts("3219200");
    EnterBoss(b1106, 20);
    TicksUntil([&] { return b1106->effect20 != 0; }, 120);
    EXPECT_GE(monster::MotionFrameOf(b1106), 2851.0f);
    EXPECT_EQ(EffectStarts("3219200"), shots + 1);
    Ticks(10);
    EXPECT_EQ(EffectStarts("3219200"), shots + 1);
    for (const int32_t state : {11, 13}) {
        SCOPED_TRACE(state);
        const int32_t sequences = EffectStarts("FrameSeq");
        EnterBoss(b1107, 0);
        Tick();
        EnterBoss(b1107, state);
        Ticks(5);
        EXPECT_EQ(EffectStarts("FrameSeq"), sequences + 1);
    }
}

// Both walkers' hand flames ("3010600.zus") start once per entry of their
// blows 8 and 13 with a model: one system on entry (1107's 13 also starts
// its frame sequence), and however long the visit none starts again once
// it has burnt out; the next entry starts them again.
TEST_F(Walkers, TheirHandFlamesStartOncePerEntryOfEightAndThirteen)
{
    AiObject *walkers[] = {Walker<CSBoss1106>(1106, {-40.0f, 0.0f, 60.0f}),
                           Walker<CSBoss1107>(1107, {40.0f, 0.0f, 60.0f})};
    UseStatesThatStay(1106, 21);
    UseStatesThatStay(1107, 21);
    PutHero({0.0f, 0.0f, -300.0f});
    for (AiObject *boss : walkers) {
        for (const int32_t state : {8, 13}) {
            for (int visit = 0; visit < 2; ++visit) {
                SCOPED_TRACE(testing::Message() << boss->aiType << " state " << state << " visit " << visit);
                EnterBoss(boss, 0);
                Tick();
                const int32_t out = particles.SystemsOut();
                EnterBoss(boss, state);
                Ticks(2);
                const int32_t started = boss->aiType == 1107 && state == 13 ? 2 : 1;
                EXPECT_EQ(particles.SystemsOut(), out + started);
                TicksUntil([&] { return particles.SystemsOut() == out; }, 150);
                Ticks(30);
                EXPECT_EQ(particles.SystemsOut(), out);
                EXPECT_EQ(boss->state, state);
            }
        }
    }
}

// The two body particle systems start with the model, stop and go back to
// their pool when the model goes (they are not kept), and start afresh
// with the next model, however often: the pool never runs dry.
TEST_F(Walkers, Boss1107sBodyParticlesGoBackWithoutAModelAndStartAgainWithIt)
{
    CSBoss1107 *boss = Walker<CSBoss1107>(1107);
    PutHero({0.0f, 0.0f, -300.0f});
    CSParticleTemplate *body = particles.FindTemplate("3218300.ZUS");
    ASSERT_NE(body, nullptr);
    const int32_t out = particles.SystemsOut();
    Tick();
    ASSERT_NE(boss->bodyA, nullptr);
    ASSERT_NE(boss->bodyB, nullptr);
    EXPECT_TRUE(boss->bodyStarted);
    EXPECT_TRUE(boss->bodyA->IsEmitting());
    EXPECT_EQ(particles.SystemsOut(), out + 2);
    for (int round = 0; round < body->Count() + 2; ++round) {
        SCOPED_TRACE(round);
        boss->isRender = 0;
        Ticks(3);
        ASSERT_EQ(boss->model, nullptr);
        EXPECT_EQ(boss->bodyA, nullptr);
        EXPECT_FALSE(boss->bodyStarted);
        TicksUntil([&] { return particles.SystemsOut() == out; }, 200);
        EXPECT_EQ(particles.SystemsOut(), out);
        boss->isRender = 1;
        Ticks(3);
        ASSERT_NE(boss->model, nullptr);
        ASSERT_NE(boss->bodyA, nullptr);
        ASSERT_NE(boss->bodyB, nullptr);
        EXPECT_EQ(particles.SystemsOut(), out + 2);
    }
    // At death they stop and go, and do not start again.
    Hit(boss, kAtkPlain, boss->hp + 100);
    Ticks(3);
    EXPECT_EQ(boss->bodyA, nullptr);
    TicksUntil([&] { return particles.SystemsOut() == out; }, 200);
    EXPECT_EQ(particles.SystemsOut(), out);
}

// With one body system or none free in the pool, neither starts (the one
// had goes straight back) and the boss goes on; both start once two are
// free.
TEST_F(Walkers, Boss1107sBodyParticlesStartBothOrNeither)
{
    CSBoss1107 *boss = Walker<CSBoss1107>(1107);
    PutHero({0.0f, 0.0f, -300.0f});
    const int32_t none = particles.SystemsOut();
    for (const int free : {0, 1}) {
        SCOPED_TRACE(free);
        boss->isRender = 0;
        Ticks(3);
        ASSERT_EQ(boss->model, nullptr);
        TicksUntil([&] { return particles.SystemsOut() == none; }, 200);
        bosstest::SystemsTaken taken(particles, "3218300.ZUS", free);
        const int32_t out = particles.SystemsOut();
        boss->isRender = 1;
        Ticks(3);
        ASSERT_NE(boss->model, nullptr);
        EXPECT_EQ(boss->bodyA, nullptr);
        EXPECT_EQ(boss->bodyB, nullptr);
        EXPECT_FALSE(boss->bodyStarted);
        EXPECT_EQ(particles.SystemsOut(), out);
        taken.GiveBack();
        Tick();
        ASSERT_NE(boss->bodyA, nullptr);
        ASSERT_NE(boss->bodyB, nullptr);
        EXPECT_TRUE(boss->bodyA->IsEmitting());
        EXPECT_TRUE(boss->bodyB->IsEmitting());
    }
}

// The two body systems start on the body's frames 100160 and 100150 and
// follow them, turned with them, as the boss moves, with the display words 5 and 6 (drawn
// after the world, particles staying where they were emitted).
TEST_F(Walkers, Boss1107sBodyParticlesStartOnTheirFramesAndFollowThem)
{
    CSBoss1107 *boss = Walker<CSBoss1107>(1107);
    PutHero({0.0f, 0.0f, -300.0f});
    Tick();
    ASSERT_NE(boss->bodyA, nullptr);
    ASSERT_NE(boss->bodyB, nullptr);
    for (const RwV3d at : {RwV3d{400.0f, 0.0f, 250.0f}, RwV3d{-300.0f, 20.0f, 500.0f}}) {
        boss->SetPosition(at);
        Ticks(2);
        const std::pair<CSParticleSystem *, int32_t> bodies[] = {{boss->bodyA, 100160}, {boss->bodyB, 100150}};
        for (const auto &[system, frameId] : bodies) {
            SCOPED_TRACE(frameId);
            RwFrame *frame = FindFrameByUserId(boss->Clump(), frameId);
            ASSERT_NE(frame, nullptr);
            const RwV3d want = RwFrameGetLTM(frame)->pos;
            const RwV3d got = system->WorldMatrix().pos;
            EXPECT_NEAR(got.x, want.x, 0.01f);
            EXPECT_NEAR(got.y, want.y, 0.01f);
            EXPECT_NEAR(got.z, want.z, 0.01f);
            // Turned with the frame.
            for (const auto &[gotAxis, wantAxis] : {std::pair{system->WorldMatrix().at, RwFrameGetLTM(frame)->at},
                                                    std::pair{system->WorldMatrix().up, RwFrameGetLTM(frame)->up}}) {
                EXPECT_NEAR(gotAxis.x, wantAxis.x, 0.01f);
                EXPECT_NEAR(gotAxis.y, wantAxis.y, 0.01f);
                EXPECT_NEAR(gotAxis.z, wantAxis.z, 0.01f);
            }
            EXPECT_EQ(system->displayMode[0], kPrtDrawAfterWorld);
            EXPECT_EQ(system->displayMode[1], kPrtStayWhereEmitted);
            EXPECT_TRUE(system->IsEmitting());
        }
    }
}

// Entering each state plays its sound once per entry: 1106's 4 and 20
// 6040030, 5 and 12 6300080, 7 and 11 6040040, 9 and 14 6300100, 16 and 17
// 6040060, 21 6040080; 1107's 4 6250020, 5 and 12 6300080, 7 6300090, 9
// and 14 6300100, 11 6250010, 17 6250030, 20 6250000, 21 6250040; and none
// of the table's other sounds.
TEST_F(Walkers, EachStateSoundsItsOwnEntrySoundOncePerEntry)
{
    for (const int32_t type : {1106, 1107}) {
        SCOPED_TRACE(type);
        AiObject *boss = Place(type, kHome, kSouth);
        UseStatesThatStay(type, 24);
        PutHero({0.0f, 0.0f, -300.0f});
        if (type == 1106) {
            const std::pair<int32_t, int32_t> entries[] = {
                {4, 6040030},  {20, 6040030}, {5, 6300080},  {12, 6300080}, {7, 6040040}, {11, 6040040},
                {9, 6300100},  {14, 6300100}, {16, 6040060}, {17, 6040060}, {21, 6040080}};
            ExpectEntrySoundsOncePerEntry(boss, entries);
        } else {
            const std::pair<int32_t, int32_t> entries[] = {
                {4, 6250020},  {5, 6300080},  {12, 6300080}, {7, 6300090}, {9, 6300100},
                {14, 6300100}, {11, 6250010}, {17, 6250030}, {20, 6250000}, {21, 6250040}};
            ExpectEntrySoundsOncePerEntry(boss, entries);
        }
        boss->removed = true;
    }
}

}  // namespace

}  // namespace boss_1106_1107_test
