// The act step's damage and conditions: the two-stage damage with its hit
// flash and hit-stop, burning and poison, the delayed-damage hold, shaking,
// the knock, the down and dizzy states, and the hand-over of this frame's
// hits to the next act.
#pragma once

#include <cstdint>

#include "monster/kit_common.h"

namespace monster {

// Material animations the behaviours start.
inline constexpr int32_t kMatHitFlash = 1;      // also the grab tint
inline constexpr int32_t kMatDeathFade = 2;
inline constexpr int32_t kMatPoisonTint = 6;
inline constexpr float kHitFlashSpeed = 0.15f;
inline constexpr float kGrabTintSpeed = 0.08f;

// Time since the last hurt grows by dt while below 5.0 s.
void CountTimeSinceHurt(AiObject *actor, float dt);
// In a state where a hero holds the actor, damage to apply shows as the
// grab tint.
void ShowGrabTint(AiObject *actor);
// The second stage of damage: in a state whose IsHurt is set, the damage
// to apply (last frame's hits) flashes the actor and costs HP, and the
// time since the last hurt restarts (unless `restartsHurtTimer` is false);
// a hit-stop starts when `hitStopHere` and the hit-stop timer is 0.
void TakeDamage(AiObject *actor, bool hitStopHere, bool restartsHurtTimer = true);
// Whether neither the second hold flag nor the delayed-damage hold is set
// (the hit-stop waits for both).
bool NotHeld(const AiObject *actor);

// The delayed-damage hold (its flag set by other code): for 0.3 s the actor
// is frozen and this frame's pending damage is put aside (the first frame)
// or dropped (the others); 0.3 s after the hold ends, what was put aside is
// added to the pending damage.
void StepDelayedHold(AiObject *actor, float dt);
// Shaking while its request is set, in a state that shakes: the first
// frame keeps the position as the anchor, each frame jolts the model with
// the actor frozen; once the request clears the actor goes back to the
// anchor and runs again.
void StepShake(AiObject *actor, bool inShakeState);

// Last frame's status bits become active burning (2) and poison (4),
// unless the actor is broadcast-excluded or event-held.
void ActivateStatus(AiObject *actor);
// How long burning and poison last and what poison costs.
struct StatusRule {
    float burnSeconds = 10.0f;
    float poisonSeconds = 30.0f;
    int32_t poisonTickActs = 0;  // 0: poison costs nothing
    float poisonShare = 0.0f;    // of MaxHP, every poisonTickActs acts
};
inline constexpr StatusRule kMonsterStatus = {};
// Burning: the burning look starts on the first frame with a model; every
// 30th act costs 2 % of MaxHP (4 % with resistance bit 64) unless
// event-held; it ends after the rule's time (10 s).
void StepBurning(AiObject *actor, float dt, const StatusRule &rule = kMonsterStatus);
// Poison: a tint (started once), and HP every so many acts when the rule
// says so (unless event-held); it ends after the rule's time (30 s).
void StepPoison(AiObject *actor, float dt, const StatusRule &rule = kMonsterStatus);
// While burning the resistances are 1; otherwise the .PAF DEFAttribute.
void DropResistanceWhileBurning(AiObject *actor);
// In the hold state the burn and poison timers run twice as fast.
void StepStatusTimersInHold(AiObject *actor, float dt, const StatusRule &rule = kMonsterStatus);
// Ends burning: the bit, timer and counter cleared, the burning look stopped.
void EndBurning(AiObject *actor);
void EndPoison(AiObject *actor);

// The knock (its flag set by other code): in a state that can be knocked,
// input 30 and the position kept as the shake anchor; in the knock state,
// input 2 once its timer passes `seconds`; elsewhere the timer is 0.
void StepKnock(AiObject *actor, int32_t *next, float dt, bool knockable, int32_t knockState, float seconds);
inline constexpr int32_t kInputKnocked = 30;
inline constexpr int32_t kInputPoisoned = 31;

// The dizzy state: its timer grows, the dizzy stars start once, input 107
// after `seconds`. Leaving it for any state but `holdState` stops the
// stars and clears the timer.
void StepDizzy(AiObject *actor, int32_t *next, float dt, int32_t dizzyState, int32_t holdState, float seconds);

// The down state's timer: input 106 after `seconds` (the down flag
// cleared); the getting-up state clears the grabbed flag and the timer.
void StepDownTimer(AiObject *actor, int32_t *next, float dt, int32_t downState, int32_t getUpState, float seconds);
// Once per state entry, when the motion has passed `frame`: the down-hit
// effect at the position and a hit-stop.
void StepDownHit(AiObject *actor, int32_t state, float frame);

// The guard state: a guard break (this frame's status 8) ends it at once
// with input 102; otherwise it lasts `seconds` and ends with `endInput`.
// The actor guards while in it unbroken, and a hit taken meanwhile plays
// `sound`. With `clearsWhenLeft` the timer starts again on leaving the
// state however it was left.
struct GuardRule {
    int32_t state;
    float seconds;
    int32_t endInput;
    int32_t sound;
    bool clearsWhenLeft;
};
void StepGuard(AiObject *actor, int32_t *next, float dt, float *timer, const GuardRule &rule);

// The hit-stop: while pending (and the actor not held), frozen for 0.1 s.
void StepHitStop(AiObject *actor, float dt);
void ClearHitStop(AiObject *actor);

// The hand-over at the end of the act step: this frame's damage and
// status become the next act's to apply.
void HandOver(AiObject *actor);

}  // namespace monster
