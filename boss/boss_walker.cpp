// The forward walker of bosses 1106 and 1107 (see boss_walker.h).
#include "boss/boss_walker.h"

#include "boss/boss_patterns.h"
#include "monster/kit_condition.h"
#include "monster/kit_motion.h"
#include "monster/kit_sensing.h"

namespace boss {

using namespace monster;

namespace walker {

constexpr int32_t kInputAlarmA = 1;
constexpr int32_t kInputAlarmB = 11;
constexpr int32_t kInputAttack = 10;
constexpr int32_t kInputWaitOver = 2;
constexpr int32_t kIdleState = 0;
constexpr int32_t kWaitState = 3;
constexpr float kWaitSeconds = 3.0f;
constexpr int32_t kTurnStates[] = {1, 2, 3, 18, 19};
constexpr float kNoTurnCosine = 0.99f;
constexpr int32_t kGuardStates[] = {18, 19};
constexpr int32_t kGuardSound = 6300210;
constexpr int32_t kSpecialState = 20;

}  // namespace walker

void WalkerThink(AiObject *boss, int32_t *next, float dt, const BossTraits &traits, int32_t walk)
{
    const HitRules hits = BossHitRules(traits);
    RunBossMessages(
        boss, next, traits, {.showClearsHeld = true},
        [&](const MSGData &m, int32_t input) { return ClassifyHit(boss, m, input, hits); },
        [&](int32_t bits, int32_t *input) {
            *input = SenseKeptTarget(boss, bits, *input, walk, dt, true);
            if ((bits & kSenseAlarm) != 0) {
                RefreshTarget(boss);
                if (boss->target != nullptr) {
                    *input = boss->stateRandom < 50 ? walker::kInputAlarmA : walker::kInputAlarmB;
                }
            }
            if ((bits & kSenseAttack) != 0) {
                RefreshTarget(boss);
                if (boss->target == nullptr) {
                    return false;
                }
                if (TargetInAttackCone(boss)) {
                    *input = walker::kInputAttack;
                }
            }
            return true;
        });
}

void FaceTargetOnEntry(AiObject *boss, std::span<const int32_t> states, bool *done)
{
    bool listed = false;
    for (int32_t s : states) {
        listed = listed || s == boss->state;
    }
    if (!listed) {
        *done = false;
        return;
    }
    if (*done) {
        return;
    }
    *done = true;
    const RwV3d toward = boss->target != nullptr ? *boss->target->GetPositionPtr() : boss->home;
    const RwV3d direction = Flat(V3Sub(toward, *boss->GetPositionPtr()));
    boss->SetDirection(V3Normalized(direction, direction));  // a zero direction leaves the facing
}

void WalkerTurn(AiObject *boss, float dt)
{
    if (IsOneOf(boss->state, walker::kTurnStates)) {
        const RwV3d toward = boss->target != nullptr ? *boss->target->GetPositionPtr() : boss->home;
        TurnToward(boss, toward, dt, walker::kNoTurnCosine);
    }
}

void WalkerDamage(AiObject *boss, const BossTraits &traits)
{
    StepDamage(boss, InHitStopState(boss, traits) && NotHeld(boss));
}

void WalkerTimersStep(AiObject *boss, int32_t *next, float dt, const BossTraits &traits, const WalkerTimers &timers)
{
    if (boss->state == walker::kWaitState) {
        *timers.wait += dt;
        if (*timers.wait >= walker::kWaitSeconds) {
            FeedInput(boss, next, walker::kInputWaitOver);
            *timers.wait = 0.0f;
        }
    }
    const bool free = NotHeld(boss) && !boss->heldByHero;
    StepRecovery(boss, next, dt, traits, timers.recovery, free,
                 boss->target != nullptr && !TargetInGrabMove(boss));
    StepGuardState(boss, next, dt, traits, timers.guard, false);
    boss->guarding = IsOneOf(boss->state, walker::kGuardStates) && (boss->incomingStatus & kStatusGuardBreak) == 0;
}

void WalkerHoldRules(AiObject *boss, int32_t *next, float dt)
{
    static constexpr HeroHoldStates kHold = {
        .letGoState = walker::kIdleState, .shakeStates = {16, 17}, .leaveStates = {5, 7, 12, kNoState, kNoState}, .getUpState = 23};
    StepHeroHold(boss, next, dt, kHold);
}

void WalkerSounds(AiObject *boss, const BossTraits &traits, std::span<const StateSound> sounds)
{
    StepHoldAndEntrySound(boss, traits, sounds);
    if (IsOneOf(boss->state, walker::kGuardStates) && HitWithoutGuardBreak(boss)) {
        PlaySound(walker::kGuardSound);
    }
}

void WalkerHitStop(AiObject *boss, float dt, const BossTraits &traits)
{
    if (boss->state == traits.dyingState || boss->state == traits.goneState) {
        ClearHitStop(boss);
    } else if (boss->state != walker::kSpecialState) {
        StepHitStop(boss, dt);
    }
}

void WalkerMove(AiObject *boss, float dt, std::span<const int32_t> collideStates)
{
    const float step = StepSpeed(boss, dt);
    if (boss->thrown || boss->busy || boss->removed || boss->eventHeld || step == 0.0f) {
        return;
    }
    RwV3d facing;
    boss->GetDirection(&facing);
    const RwV3d ahead = V3Add(*boss->GetPositionPtr(), facing);
    bool collide = false;
    for (int32_t s : collideStates) {
        collide = collide || s == boss->state;
    }
    boss->MoveToward(1.0f, ahead, step, false, collide);
}

}  // namespace boss
