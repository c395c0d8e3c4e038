// The act step of the melee monsters 1000, 1005 and 1007, in phases that
// run the template's steps in their order with each type's states (one row
// per type); a type's act is a short script of these phases and of its own
// steps between them.
#pragma once

#include <cstdint>
#include <span>

#include "monster/kit_combat.h"
#include "monster/kit_life.h"
#include "monster/kit_motion.h"
#include "monster/kit_state.h"
#include "monster/template_d.h"

namespace monster {

// A state that, once its motion has passed a frame, shows the down hit.
struct DownHitRow {
    int32_t state;
    float frame;
};

struct MeleeActRow {
    int32_t aiType;
    bool fleesThrownItems;
    // Damage: the grab tint's state, the states where damage starts a
    // hit-stop (only while not held, when `hitStopWaitsForHolds`).
    int32_t grabTintState;
    int32_t hitStopStates[2];
    bool hitStopWaitsForHolds;
    // Down: the states that are down, those down once their motion ended,
    // the down hits, the down state's timer and the getting-up state.
    int32_t downStates[3];
    int32_t downWhenEndedStates[2];
    DownHitRow downHits[2];
    int32_t downTimerStates[2];
    int32_t getUpState;
    float getUpSeconds;
    // Conditions.
    bool holdsDelayedDamage;
    int32_t knockClearState;
    int32_t shakeStates[3];
    int32_t knockFromStates[3];
    int32_t knockState;
    float knockSeconds;
    int32_t poisonInputStates[2];
    int32_t dizzyState;
    int32_t dizzySound;  // 0: none
    // Action: the turning states (and `pathTurnState` unless following a
    // path), the hit test, the state that heads straight for its goal.
    int32_t turnStates[4];
    HeroHitRules hit;
    int32_t straightState;
    std::span<const StateSound> sounds;
    // End.
    int32_t dyingStates[2];
    int32_t goneStates[2];
    std::span<const int32_t> untargetableStates;
    int32_t bumpStates[2];
    int32_t carryStates[3];  // the charge carry, in which the plain move rests

    // Rules most types share.
    int32_t pathTurnState = 1;
    float dizzySeconds = 3.0f;
    // The gone state rolls the drop map when the event named no drop.
    bool rollsDropMap = false;
    DeathFade deathFade = {};
    // The dying state feeds input 0 on every act (after the death step), so
    // that its motion's end leads on.
    bool dyingFeedsIdle = false;
    // Who the charge carries, and whether the plain move follows the carry
    // in the same act.
    CarryRule carry = {};
    bool carryAlsoMoves = false;
};

// Steps 2 to 4: the time since the last hurt, the flee from thrown items
// and the goal (with the home rule's input).
Goal ApproachPhase(AiObject *actor, int32_t *next, float dt, const MeleeActRow &row);
// The grab tint, the damage to apply, the down flag and its hits and timer.
void DamagePhase(AiObject *actor, int32_t *next, float dt, const MeleeActRow &row);
// The delayed-damage hold, knock clearing, shaking, status, burning, the
// knock, poison and dizziness.
void ConditionPhase(AiObject *actor, int32_t *next, float dt, const MeleeActRow &row);
// Turning, the hit test, the move mode and the hold-state flag, the state
// sounds and the hit-stop.
void ActionPhase(AiObject *actor, int32_t *next, float dt, const MeleeActRow &row,
                 void (*onFresh)(AiObject *actor, const FreshHit &hit));
// Death, dying and gone, the hurtable and targetable flags, the hold
// state's status timers, the speed, the move (with the bump and the charge
// carry) and the hand-over. True when the monster died in this act.
bool EndPhase(AiObject *actor, int32_t *next, float dt, const MeleeActRow &row, Goal goal);

// Once the state's motion has ended: input `input` with the anim-ended
// argument 1 (a follow-up state moves on).
void FollowUpWhenEnded(AiObject *actor, int32_t *next, int32_t state, int32_t input);
// A recovery state's roll, drawn every act in it: once its motion has
// ended, up to `idleUpTo` feeds 0, up to `backUpTo` feeds 3, above that
// `highInput` (or, when `needsTarget` and no target whose state-5 flag is
// clear exists, an input no transition names, so that the default
// transition is taken).
struct RecoveryRow {
    int32_t state;
    int32_t idleUpTo;  // -1: never idle
    int32_t backUpTo;
    int32_t highInput;
    bool needsTarget;
};
void RecoveryRoll(AiObject *actor, int32_t *next, const RecoveryRow &row);

}  // namespace monster
