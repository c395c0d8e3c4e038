// The monster kit's steps on bare actors: what a hit means under each
// type's rules (bits, resistances, guard, grabbed states), burning and
// poison, the reward multiplier at its edges, the turning dead zones, the
// set-state bound, the delayed-damage hold and the hit-stop, and the way
// home or away from a thrown item.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "actor/hero.h"
#include "monster/kit_combat.h"
#include "monster/kit_condition.h"
#include "monster/kit_life.h"
#include "monster/kit_messages.h"
#include "monster/kit_motion.h"
#include "monster/kit_sensing.h"
#include "monster/kit_state.h"
#include "stage/model_template.h"
#include "support/game/fsf_builder.h"
#include "tests/stage/stage_test_support.h"

namespace kit_test {

namespace {

using namespace monster;

class Kit : public stagetest::StageEngineTest {
protected:
    void SetUp() override
    {
        StageEngineTest::SetUp();
        tpl.params.defense = 5;
        tpl.params.maxHP = 1000;
        tpl.params.exp = 30;
        tpl.params.turnDeg = 180.0f;
        gametest::FsfBuilder b;
        b.State(0).To(100, 4, 1);
        b.State(4);
        b.State(7).Hurt(0);
        b.State(23);
        tpl.fsf = b.Build();
        actor.modelTemplate = &tpl;
        actor.aiType = 1007;
        actor.hp = 1000;
    }
    MSGData HitMessage(int32_t bits, int32_t value, AiObject *sender = nullptr)
    {
        MSGData m = {};
        m.used = 1;
        m.kind = kMsgHitActor;
        m.sender = sender;
        m.target = &actor;
        m.word[1] = bits;
        m.word[2] = value;
        return m;
    }
    CSModelTemplate tpl;
    AiObject actor;
};

TEST_F(Kit, HitsChooseTheirInputDamageAndStatusByBitsAndResistances)
{
    struct Case {
        int32_t bits;
        int32_t resistance;
        int32_t input;
        int32_t damage;
        int32_t status;
    };
    const Case cases[] = {
        {kAtkPlain, 0, 100, 15, 1},
        {kAtkPlain | kAtkHurt2, 0, 103, 15, 1},
        {kAtkPlain | kAtkHurt2, 2, 100, 15, 1},  // resisted: a plain hurt
        {kAtkPlain | kAtkHurt8, 0, 102, 15, 1},
        {kAtkPlain | kAtkHurt8, 8, 100, 15, 1},
        {kAtkPlain | kAtkHurt4, 0, 101, 15, 1},
        {kAtkPlain | kAtkHurt2 | kAtkHurt8 | kAtkHurt4, 0, 103, 15, 1},  // 2 before 8 before 4
        {kAtkPlain | kAtkHurt8 | kAtkHurt4, 8, 101, 15, 1},
        {kAtkHeavy, 0, 102, 15, 0},
        {kAtkHeavy | kAtkHurt2, 0, 102, 15, 0},
        {kAtkBurn, 0, 100, 15, 2},
        {kAtkBurn, 16, 100, 15, 0},
        {kAtkPoison, 0, 100, 15, 4},
        {kAtkPoison, 32, 100, 15, 0},
        {kAtkStatus16, 0, 100, 15, 16},
        {kAtkHurt2, 0, 7, 0, 0},   // not a counted bit: no damage, the input kept
        {kAtkGrab, 0, 104, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.bits);
        actor.pendingDamage = 0;
        actor.incomingStatus = 0;
        actor.resistance = c.resistance;
        actor.lastAttacker = nullptr;
        EXPECT_EQ(ClassifyHit(&actor, HitMessage(c.bits, 20), 7, HitRules{}), c.input);
        EXPECT_EQ(actor.pendingDamage, c.damage);
        EXPECT_EQ(actor.incomingStatus, c.status);
        EXPECT_TRUE(actor.foundFoe);
    }
    // Damage at or below Defense costs nothing; hits of a frame add up.
    actor.pendingDamage = 0;
    ClassifyHit(&actor, HitMessage(kAtkPlain, 5), 0, HitRules{});
    ClassifyHit(&actor, HitMessage(kAtkPlain, 3), 0, HitRules{});
    EXPECT_EQ(actor.pendingDamage, 0);
    ClassifyHit(&actor, HitMessage(kAtkPlain, 8), 0, HitRules{});
    ClassifyHit(&actor, HitMessage(kAtkPlain, 9), 0, HitRules{});
    EXPECT_EQ(actor.pendingDamage, 3 + 4);
    ClassifyHit(&actor, HitMessage(kAtkPlain, 6), 0, HitRules{});
    EXPECT_EQ(actor.pendingDamage, 3 + 4 + 1);  // one above Defense costs one
}

TEST_F(Kit, TheGuardGrabbedStatesAndTheReleaseBitFollowTheTypesRules)
{
    HitRules guard;
    guard.heavyBreaksGuard = true;
    guard.guardingStopsKnockDown = true;
    guard.noDamageStates[0] = 23;
    guard.grabbedStates[0] = 21;
    // Out of its guard a knock-down blow (bit 8) knocks it down.
    EXPECT_EQ(ClassifyHit(&actor, HitMessage(kAtkPlain | kAtkHurt8, 50), 0, guard), 102);
    actor.pendingDamage = 0;
    actor.state = 23;
    actor.guarding = true;
    EXPECT_EQ(ClassifyHit(&actor, HitMessage(kAtkPlain | kAtkHurt8, 50), 0, guard), 100);
    EXPECT_EQ(actor.pendingDamage, 0);
    EXPECT_EQ(ClassifyHit(&actor, HitMessage(kAtkHeavy, 50), 0, guard), 102);
    EXPECT_EQ(actor.pendingDamage, 45);
    EXPECT_EQ(actor.incomingStatus & kStatusGuardBreak, kStatusGuardBreak);
    // Without the guard rule a heavy hit brings no guard break.
    actor.incomingStatus = 0;
    ClassifyHit(&actor, HitMessage(kAtkHeavy, 50), 0, HitRules{});
    EXPECT_EQ(actor.incomingStatus, 0);

    // Held by a hero (state 21): 4096 hurts, 2048 lets go; elsewhere neither.
    actor.state = 21;
    actor.pendingDamage = 0;
    actor.grabbed = true;
    EXPECT_EQ(ClassifyHit(&actor, HitMessage(kAtkHeldDamage, 25), 0, guard), 104);
    EXPECT_EQ(actor.pendingDamage, 20);
    EXPECT_EQ(ClassifyHit(&actor, HitMessage(kAtkGrabEnd, 0), 0, guard), 105);
    EXPECT_FALSE(actor.grabbed);
    actor.state = 0;
    EXPECT_EQ(ClassifyHit(&actor, HitMessage(kAtkHeldDamage, 25), 9, guard), 9);

    // The grab monsters: the hero's bit 512 in the holding state 13.
    HitRules grab;
    grab.releaseState = 13;
    actor.state = 13;
    EXPECT_EQ(ClassifyHit(&actor, HitMessage(kAtkReleaseHeld, 0), 0, grab), 14);
    actor.state = 12;
    EXPECT_EQ(ClassifyHit(&actor, HitMessage(kAtkReleaseHeld, 0), 0, grab), 0);

    // The last attacker is the first one remembered.
    AiObject first;
    AiObject second;
    actor.lastAttacker = nullptr;
    ClassifyHit(&actor, HitMessage(kAtkPlain, 10, &first), 0, HitRules{});
    ClassifyHit(&actor, HitMessage(kAtkPlain, 10, &second), 0, HitRules{});
    EXPECT_EQ(actor.lastAttacker, &first);
    EXPECT_EQ(actor.hitSender, &second);
}

// Burning lasts 10 s and costs 2 % of MaxHP (4 % with resistance bit 64)
// every 30 acts, counted in acts and not in time; none while event-held.
// A blow's damage is the state's AttackValue times the whole part of
// LevelAppend, held to the int range however large the file's LevelAppend.
TEST_F(Kit, AttackDamageIsTheValueTimesTheWholeLevelWithinTheIntRange)
{
    gametest::FsfBuilder b;
    b.State(0).Attack(10, kAtkPlain);
    CFSF fsf = b.Build();
    actor.state = 0;
    const std::pair<float, int32_t> cases[] = {
        {2.7f, 20}, {1.0f, 10}, {0.5f, 0}, {-3.5f, -30}, {3.0e9f, INT32_MAX}, {1.0e30f, INT32_MAX},
        {-1.0e30f, INT32_MIN}, {3.4e38f, INT32_MAX},
    };
    for (const auto &[level, damage] : cases) {
        tpl.params.levelAppend = level;
        EXPECT_EQ(AttackDamage(&actor, &fsf), damage) << "LevelAppend " << level;
    }
    EXPECT_EQ(AttackDamage(&actor, nullptr), 0);
}

TEST_F(Kit, BurningCostsEveryThirtiethActForTenSeconds)
{
    actor.statusToApply = kStatusBurn;
    ActivateStatus(&actor);
    ASSERT_EQ(actor.activeStatus & kStatusBurning, kStatusBurning);
    for (int act = 1; act <= 29; ++act) {
        StepBurning(&actor, 0.01f);
    }
    EXPECT_EQ(actor.hp, 1000);
    StepBurning(&actor, 0.01f);
    EXPECT_EQ(actor.hp, 1000 - 20);
    EXPECT_EQ(actor.timeSinceHurt, 0.0f);
    // The time since the last hurt (a life bar shows over the monster
    // meanwhile) counts up again, to 5 s and no further.
    for (int act = 0; act < 5; ++act) {
        CountTimeSinceHurt(&actor, 1.25f);
    }
    EXPECT_EQ(actor.timeSinceHurt, 5.0f);
    // With resistance bit 64 twice as much.
    actor.resistance = kAtkHeavy;
    for (int act = 0; act < 30; ++act) {
        StepBurning(&actor, 0.01f);
    }
    EXPECT_EQ(actor.hp, 1000 - 20 - 40);
    // Held by an event: the acts count but cost nothing.
    actor.eventHeld = true;
    for (int act = 0; act < 60; ++act) {
        StepBurning(&actor, 0.01f);
    }
    EXPECT_EQ(actor.hp, 940);
    actor.eventHeld = false;
    // Ten seconds in all: a long act ends it.
    StepBurning(&actor, 9.0f);
    EXPECT_EQ(actor.activeStatus & kStatusBurning, 0);
    EXPECT_EQ(actor.burnTimer, 0.0f);
    EXPECT_EQ(actor.burnTicks, 0);
    // An event-held or broadcast-excluded actor does not catch fire.
    actor.eventHeld = true;
    ActivateStatus(&actor);
    EXPECT_EQ(actor.activeStatus, 0);
}

TEST_F(Kit, PoisonOnlyTintsForThirtySecondsAndTheHoldStateRunsTimersTwice)
{
    actor.statusToApply = kStatusPoison;
    ActivateStatus(&actor);
    for (int act = 0; act < 100; ++act) {
        StepPoison(&actor, 0.2f);
    }
    EXPECT_EQ(actor.hp, 1000);
    EXPECT_TRUE(actor.poisonTintStarted);
    StepPoison(&actor, 9.0f);  // 29 s
    EXPECT_EQ(actor.activeStatus & kStatusPoisoned, kStatusPoisoned);
    StepPoison(&actor, 1.0f);
    EXPECT_EQ(actor.activeStatus, 0);
    EXPECT_FALSE(actor.poisonTintStarted);

    actor.statusToApply = kStatusBurn | kStatusPoison;
    actor.activeStatus = 0;
    ActivateStatus(&actor);
    StepBurning(&actor, 4.0f);
    StepStatusTimersInHold(&actor, 4.0f);
    EXPECT_EQ(actor.burnTimer, 8.0f);
    StepBurning(&actor, 1.0f);
    StepStatusTimersInHold(&actor, 1.0f);
    EXPECT_EQ(actor.activeStatus & kStatusBurning, 0);  // ten seconds of burning in five
    // Poison, too, ends by the hold's second count: at 30 s in all.
    actor.activeStatus = 0;
    actor.poisonTimer = 0.0f;
    actor.statusToApply = kStatusPoison;
    ActivateStatus(&actor);
    StepPoison(&actor, 14.0f);
    StepStatusTimersInHold(&actor, 14.0f);
    StepPoison(&actor, 1.0f);  // 29 s
    EXPECT_EQ(actor.activeStatus & kStatusPoisoned, kStatusPoisoned);
    StepStatusTimersInHold(&actor, 1.0f);
    EXPECT_EQ(actor.activeStatus & kStatusPoisoned, 0);
    EXPECT_FALSE(actor.poisonTintStarted);

    // Where poison costs HP (1 % of MaxHP every 60 acts), each poisoning
    // costs its first share 60 acts in, a second one as the first.
    const StatusRule costly = {.poisonSeconds = 30.0f, .poisonTickActs = 60, .poisonShare = 0.01f};
    for (int poisoning = 0; poisoning < 2; ++poisoning) {
        SCOPED_TRACE(poisoning);
        actor.hp = 1000;
        actor.statusToApply = kStatusPoison;
        actor.activeStatus = 0;
        ActivateStatus(&actor);
        int acts = 0;
        while (actor.hp == 1000 && acts < 100) {
            StepPoison(&actor, 0.1f, costly);
            ++acts;
        }
        EXPECT_EQ(acts, 60);
        EXPECT_EQ(actor.hp, 990);
        StepPoison(&actor, 30.0f, costly);  // over
        EXPECT_EQ(actor.activeStatus & kStatusPoisoned, 0);
    }
}

// The reward: Exp times the killing hero's multiplier, counted once.
TEST_F(Kit, TheRewardMultiplierChangesAtItsEdges)
{
    const int32_t edges[][2] = {{5, 1}, {6, 2}, {12, 2}, {13, 3}, {20, 3}, {21, 4},
                                {30, 4}, {31, 5}, {70, 5}, {71, 10}, {500, 10}};
    CSHero hero;
    hero.aiType = 0;
    for (const auto &edge : edges) {
        SCOPED_TRACE(edge[0]);
        actor.rewardCounted = false;
        actor.rewardAmount = 0;
        actor.lastAttacker = &hero;
        hero.hitCounter = edge[0];
        StepDying(&actor, 0.0f);
        EXPECT_EQ(actor.rewardAmount, 30 * edge[1]);
        StepDying(&actor, 0.0f);  // once
    }
    EXPECT_EQ(hero.killCount, static_cast<int32_t>(std::size(edges)));
    // An Exp of any size the file holds: ten times it is held to the int range.
    tpl.params.exp = 300000000;
    actor.rewardCounted = false;
    StepDying(&actor, 0.0f);
    EXPECT_EQ(actor.rewardAmount, INT32_MAX);
    tpl.params.exp = 30;
    // Killed by another actor: no reward, but counted all the same.
    AiObject other;
    other.aiType = 1005;
    actor.rewardCounted = false;
    actor.rewardAmount = 0;
    actor.lastAttacker = &other;
    StepDying(&actor, 0.0f);
    EXPECT_TRUE(actor.rewardCounted);
    EXPECT_EQ(actor.rewardAmount, 0);
}

// The turn: none at a cosine of 0.99 or more, toward the goal between, one
// sense below -0.99; TurnDeg x dt degrees a step.
TEST_F(Kit, TurningHasItsDeadZones)
{
    auto facingAfter = [&](float goalDegrees) {
        actor.at = {0.0f, 0.0f, 1.0f};
        actor.up = {0.0f, 1.0f, 0.0f};
        actor.position = {0.0f, 0.0f, 0.0f};
        const float r = goalDegrees * 3.14159265f / 180.0f;
        actor.home = {10.0f * std::sin(r), 0.0f, 10.0f * std::cos(r)};
        actor.target = nullptr;
        TurnTowardTarget(&actor, 0.05f);  // 9 degrees
        return std::atan2(actor.at.x, actor.at.z) * 180.0f / 3.14159265f;
    };
    EXPECT_NEAR(facingAfter(5.0f), 0.0f, 1e-3f);    // cosine 0.996: no turn
    EXPECT_NEAR(facingAfter(-7.0f), 0.0f, 1e-3f);
    EXPECT_NEAR(facingAfter(30.0f), 9.0f, 1e-2f);   // toward it
    EXPECT_NEAR(facingAfter(-30.0f), -9.0f, 1e-2f);
    EXPECT_NEAR(facingAfter(120.0f), 9.0f, 1e-2f);
    const float behind = facingAfter(179.0f);        // cosine below -0.99: one sense
    EXPECT_NEAR(std::fabs(behind), 9.0f, 1e-2f);
    EXPECT_NEAR(facingAfter(-179.0f), behind, 1e-2f);
}

TEST_F(Kit, TheSetStateBodyKeepsToItsBound)
{
    EXPECT_FALSE(EnterState(&actor, &tpl.fsf, -1, 29, true));
    EXPECT_FALSE(EnterState(&actor, &tpl.fsf, 30, 29, true));
    actor.state = 4;
    actor.stateEntered = false;
    EXPECT_EQ(actor.state, 4);
    actor.speed = 3.0f;
    actor.deathTint = true;
    actor.downHitDone = true;
    EXPECT_TRUE(EnterState(&actor, &tpl.fsf, 29, 29, false));
    EXPECT_EQ(actor.state, 29);
    EXPECT_TRUE(actor.stateEntered);
    EXPECT_FALSE(actor.deathTint);
    EXPECT_FALSE(actor.downHitDone);
    EXPECT_EQ(actor.speed, 0.0f);
    EXPECT_EQ(actor.stateRandom, 0);  // not drawn
    EXPECT_TRUE(EnterState(&actor, &tpl.fsf, 0, 29, true));
    EXPECT_GE(actor.stateRandom, 0);
    EXPECT_LT(actor.stateRandom, 100);
    // Every actor entering a state in one tick draws alike.
    AiObject twin;
    twin.modelTemplate = &tpl;
    EnterState(&twin, &tpl.fsf, 0, 29, true);
    EXPECT_EQ(twin.stateRandom, actor.stateRandom);
}

// Each timed state ends on the act its time runs out, counted in acts of
// half a second: the guard after 1.5 s (input 18), the knock once above its
// time (input 2), the dizziness at its time (input 107), lying down at its
// time (input 106).
TEST_F(Kit, TimedStatesEndOnTheActTheirTimeRunsOut)
{
    gametest::FsfBuilder b;
    b.State(0);
    b.State(14).To(kInputGetUp, 0, 1);
    b.State(19).To(kInputDizzyEnd, 0, 1);
    b.State(23).To(18, 0, 1);
    b.State(28).To(kInputReady, 0, 1);
    tpl.fsf = b.Build();
    // The act on which `step` first feeds the way out of `state`.
    const auto actOfEnd = [&](int32_t state, const std::function<void(int32_t *)> &step) {
        actor.state = state;
        for (int act = 1; act <= 20; ++act) {
            int32_t next = -1;
            step(&next);
            if (next == 0) {
                return act;
            }
        }
        return -1;
    };
    float guardTimer = 0.0f;
    const GuardRule guard = {23, 1.5f, 18, 0, true};
    EXPECT_EQ(actOfEnd(23, [&](int32_t *next) { StepGuard(&actor, next, 0.5f, &guardTimer, guard); }), 4);
    EXPECT_EQ(actOfEnd(28, [&](int32_t *next) { StepKnock(&actor, next, 0.5f, false, 28, 1.0f); }), 4);
    EXPECT_EQ(actOfEnd(19, [&](int32_t *next) { StepDizzy(&actor, next, 0.5f, 19, 29, 3.0f); }), 6);
    EXPECT_EQ(actOfEnd(14, [&](int32_t *next) { StepDownTimer(&actor, next, 0.5f, 14, 15, 2.0f); }), 4);
}

// The attack delay and the hold on a lost target run their whole time and
// end on the act it is reached: at 1 s in acts of half a second, the third.
TEST_F(Kit, TheAttackDelayAndTheLostTargetHoldEndWhenTheirTimeIsReached)
{
    const auto actOfEnd = [](const std::function<bool()> &running) {
        for (int act = 1; act <= 10; ++act) {
            if (!running()) {
                return act;
            }
        }
        return -1;
    };
    actor.attackDelayTimer = 0.0f;
    EXPECT_EQ(actOfEnd([&] { return AttackDelayRunning(&actor, 1.0f, 0.5f); }), 3);
    actor.lostTargetTimer = 0.0f;
    EXPECT_EQ(actOfEnd([&] { return HoldLostTarget(&actor, 1.0f, 0.5f, false); }), 3);
    // A knocked actor heeding its knock holds no longer.
    actor.lostTargetTimer = 0.0f;
    actor.knock = true;
    EXPECT_EQ(actOfEnd([&] { return HoldLostTarget(&actor, 1.0f, 0.5f, true); }), 1);
}

// The delayed-damage hold freezes the actor 0.3 s, puts the first frame's
// damage aside and drops the others; 0.3 s after, what was put aside comes
// back. The hit-stop freezes for 0.1 s unless a hold is set.
TEST_F(Kit, TheDelayedHoldAndTheHitStop)
{
    actor.thrown = true;
    actor.pendingDamage = 40;
    StepDelayedHold(&actor, 0.1f);
    EXPECT_TRUE(actor.frozen);
    EXPECT_EQ(actor.animSpeedMode, kAnimFrozen);
    EXPECT_EQ(actor.pendingDamage, 0);
    EXPECT_EQ(actor.thrownDamage, 40);
    actor.pendingDamage = 25;
    StepDelayedHold(&actor, 0.1f);
    StepDelayedHold(&actor, 0.1f);
    StepDelayedHold(&actor, 0.1f);
    EXPECT_EQ(actor.pendingDamage, 0);  // dropped
    StepDelayedHold(&actor, 0.1f);      // past 0.3 s: over
    EXPECT_FALSE(actor.thrown);
    EXPECT_FALSE(actor.frozen);
    int frames = 0;
    while (actor.thrownReleasePending && frames < 100) {
        StepDelayedHold(&actor, 0.05f);
        ++frames;
    }
    EXPECT_EQ(actor.pendingDamage, 40);
    EXPECT_NEAR(frames * 0.05f, 0.3f, 0.11f);
    // The held amount comes back on top of what arrived since, held to the
    // int range.
    actor.thrown = true;
    actor.pendingDamage = INT32_MAX;
    StepDelayedHold(&actor, 0.4f);
    StepDelayedHold(&actor, 0.1f);
    actor.pendingDamage = INT32_MAX;
    StepDelayedHold(&actor, 0.4f);
    EXPECT_FALSE(actor.thrownReleasePending);
    EXPECT_EQ(actor.pendingDamage, INT32_MAX);
    // At its bounds: held while the hold's time is at most 0.3 s, given
    // back once the release time is above 0.3 s.
    actor.thrown = true;
    actor.pendingDamage = 7;
    for (int i = 0; i < 3; ++i) {  // at 0, 0.15 and 0.3 s
        StepDelayedHold(&actor, 0.15f);
        EXPECT_TRUE(actor.frozen) << i;
    }
    StepDelayedHold(&actor, 0.15f);  // over; the release time is 0.15 s
    EXPECT_FALSE(actor.frozen);
    StepDelayedHold(&actor, 0.15f);  // 0.3 s
    EXPECT_TRUE(actor.thrownReleasePending);
    EXPECT_EQ(actor.pendingDamage, 0);
    StepDelayedHold(&actor, 0.15f);
    EXPECT_EQ(actor.pendingDamage, 7);

    actor.hitStopPending = true;
    actor.grabLock = true;
    StepHitStop(&actor, 0.05f);
    EXPECT_FALSE(actor.frozen);  // waits for the hold
    actor.grabLock = false;
    StepHitStop(&actor, 0.05f);
    EXPECT_TRUE(actor.frozen);
    StepHitStop(&actor, 0.05f);
    StepHitStop(&actor, 0.05f);  // frozen 0.1 s: not yet above it
    EXPECT_TRUE(actor.frozen);
    EXPECT_TRUE(actor.hitStopPending);
    StepHitStop(&actor, 0.05f);
    EXPECT_FALSE(actor.hitStopPending);
    EXPECT_FALSE(actor.frozen);
    EXPECT_EQ(actor.hitStopTimer, 0.0f);
}

// Below 1 HP an actor dies by input 120; with status 16 to apply it dies by
// input 121 instead where that leads to one of its states (0..last), else
// by 120 after all.
TEST_F(Kit, DeathTakesTheStatus16WayWhereItLeadsToAState)
{
    gametest::FsfBuilder b;
    b.State(0).To(120, 22, 1).To(121, 24, 1);
    b.State(1).To(120, 22, 1);                 // no way on 121
    b.State(2).To(120, 22, 1).To(121, 30, 1);  // past the last state, 29
    b.State(3).To(120, 22, 1).To(121, 29, 1);  // the last state itself
    b.State(22);
    b.State(24);
    b.State(29);
    b.State(30);
    tpl.fsf = b.Build();
    const struct {
        int32_t from;
        int32_t status;
        int32_t dyingIn;
    } rows[] = {{0, 0, 22}, {0, kStatus16, 24}, {1, kStatus16, 22}, {2, kStatus16, 22}, {2, 0, 22}, {3, kStatus16, 29}};
    for (const auto &r : rows) {
        SCOPED_TRACE(std::to_string(r.from) + (r.status != 0 ? " with status 16" : ""));
        actor.state = r.from;
        actor.hp = 0;
        actor.statusToApply = r.status;
        actor.dying = false;
        actor.grabbed = true;
        int32_t next = -1;
        EXPECT_TRUE(StepDeath(&actor, &next, 29));
        EXPECT_EQ(next, r.dyingIn);
        EXPECT_TRUE(actor.dying);
        EXPECT_FALSE(actor.grabbed);
    }
    actor.hp = 1;
    actor.dying = false;
    int32_t next = -1;
    EXPECT_FALSE(StepDeath(&actor, &next, 29));
    EXPECT_EQ(next, -1);
    EXPECT_FALSE(actor.dying);
}

// An event's show (8192) makes an actor forget a knock, unless its type's
// rules keep it; either way the event holds it.
TEST_F(Kit, AnEventsShowForgetsTheKnockUnlessTheTypeKeepsIt)
{
    for (bool forgets : {true, false}) {
        SCOPED_TRACE(forgets);
        actor.knock = true;
        actor.eventHeld = false;
        MSGData show = {};
        show.used = 1;
        show.kind = kMsgControl;
        show.target = &actor;
        show.word[1] = kCtlShowHold;
        show.word[2] = 77;  // another group's event
        int32_t next = -1;
        EXPECT_TRUE(HandleEventControl(&actor, show, &next, {.showHoldClearsKnock = forgets}));
        EXPECT_EQ(actor.knock, !forgets);
        EXPECT_TRUE(actor.eventHeld);
        EXPECT_FALSE(actor.eventModel);
    }
}

// With no flee running (none yet, or one over), a monster heads for home
// from its first act on; a flee from a thrown item leads it straight away
// from the item for three seconds, then home again.
TEST_F(Kit, TheWayLeadsHomeUnlessAFleeRuns)
{
    constexpr float kDt = 1.0f / 60.0f;
    constexpr int32_t kNoHoldState = 99;
    actor.home = {0.0f, 0.0f, 60.0f};
    actor.SetPosition({0.0f, 0.0f, 90.0f});
    int32_t next = -1;
    Goal goal = ChooseGoal(&actor, &next, kDt, kNoHoldState, 6.0f);
    EXPECT_FLOAT_EQ(goal.point.z, 60.0f);
    EXPECT_FLOAT_EQ(goal.distance, 30.0f);
    EXPECT_FALSE(actor.pathFollowing);

    actor.fleeTimer = 3.0f;
    actor.fleeActive = true;
    actor.fleePoint = {0.0f, 0.0f, 100.0f};
    int acts = 0;
    for (; acts < 400 && actor.fleeActive; ++acts) {
        goal = ChooseGoal(&actor, &next, kDt, kNoHoldState, 6.0f);
        if (acts == 0) {
            EXPECT_FLOAT_EQ(goal.point.z, 80.0f);  // as far again, away from the item
            EXPECT_FLOAT_EQ(goal.distance, 10.0f);
            EXPECT_TRUE(actor.pathFollowing);
        }
    }
    EXPECT_NEAR(acts * kDt, 3.0f, 2.5f * kDt);
    EXPECT_FALSE(actor.pathFollowing);
    goal = ChooseGoal(&actor, &next, kDt, kNoHoldState, 6.0f);
    EXPECT_FLOAT_EQ(goal.point.z, 60.0f);
}

// Ten units from home (the act's home distance, and the think step's
// where a type's rule gives 10) count as home: a monster with no foe found
// is fed the idle input there and the walk a little further, whether a
// hero is near or the lost target's hold is over.
TEST_F(Kit, TheHomeDistanceItselfCountsAsHome)
{
    constexpr float kDt = 1.0f / 60.0f;
    constexpr int32_t kAway = 30;
    gametest::FsfBuilder b;
    b.State(kAway).To(kInputIdle, 31, 1).To(kInputChase, 32, 1);
    b.State(31);
    b.State(32);
    tpl.fsf = b.Build();
    actor.home = {0.0f, 0.0f, 60.0f};
    for (const float off : {10.0f, 10.05f}) {
        SCOPED_TRACE(off);
        const bool home = off <= 10.0f;
        actor.state = kAway;
        actor.SetPosition({off, 0.0f, 60.0f});
        int32_t next = -1;
        ChooseGoal(&actor, &next, kDt, 99, 6.0f);
        EXPECT_EQ(next, home ? 31 : 32);
        for (const int32_t bits : {kSenseNear, 0}) {
            actor.target = nullptr;
            actor.lostTargetTimer = 5.0f;
            EXPECT_EQ(SenseNear(&actor, bits, 7, off, {.homeDistance = 10.0f}, kDt), home ? kInputIdle : kInputChase);
        }
    }
}

// Away from home with no foe found, a monster that ignores foes notices
// them again on the act its ignore time is reached, not one act later.
TEST_F(Kit, TheIgnoreTimeEndsOnTheActItIsReached)
{
    constexpr float kStep = 0.5f;  // exact in binary: the time lands on 6 s
    actor.home = {0.0f, 0.0f, 60.0f};
    actor.SetPosition({0.0f, 0.0f, 90.0f});
    actor.ignoreFoes = true;
    actor.ignoreFoesTimer = 0.0f;
    int32_t next = -1;
    int acts = 0;
    for (; acts < 20 && actor.ignoreFoes; ++acts) {
        ChooseGoal(&actor, &next, kStep, 99, 6.0f);
    }
    EXPECT_EQ(acts, 12);
    EXPECT_FLOAT_EQ(actor.ignoreFoesTimer, 6.0f);
}

}  // namespace

}  // namespace kit_test
