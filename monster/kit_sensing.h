// The think step's sensing (the kind-3 message of the actor pass): the
// model taken while in view and given back out of it, the rules that turn
// the bits into inputs (the home rule, the lost-target and attack-delay
// timers) and the facing cosine toward the target.
#pragma once

#include <cstdint>

#include "actor/ai_message.h"
#include "monster/kit_common.h"
#include "monster/kit_messages.h"

namespace monster {

// FindFoesInRange, then PickTarget with the .PAF AttackTarget mode.
void RefreshTarget(AiObject *actor);
// |position - home| over three axes.
float HomeDistance(AiObject *actor);

// The near bit (2) and its absence, for types that heed the knock flag.
struct NearRule {
    float homeDistance = 10.0f;      // within it the actor counts as home
    float lostTargetSeconds = 0.3f;  // a target out of sight is kept this long
    // With the knock flag set at home, a lost target's time running out
    // keeps the input (else it returns home with input 1).
    bool knockKeepsInputWhenLost = false;
    // The knock flag counts at all (types without knock states ignore it).
    bool heedsKnock = true;
    // Back home the actor notices foes again (its ignore-foes flag cleared).
    bool homeClearsIgnoreFoes = true;
};
// With bit 2: a target gives input 1; without one, home gives input 0 (the
// foes noticed again) unless knocked, and away from home input 1. Without
// bit 2: input 0 while the lost-target timer runs (and the knock flag is
// clear); then the target is dropped and the home rule applies. The
// lost-target timer restarts whenever bit 2 is set.
int32_t SenseNear(AiObject *actor, int32_t bits, int32_t input, float homeDistance, const NearRule &rule, float dt);
// The lost-target timer alone: true (and the timer grows by dt) while it
// is below `seconds` and, when `heedKnock`, the knock flag is clear.
bool HoldLostTarget(AiObject *actor, float seconds, float dt, bool heedKnock);

// The cosine between the actor's facing and the direction to `target`
// from the point `behind` units behind the actor (position - behind x
// facing), the height of the direction set to 0 when `flat`; 1 when the
// direction has no length or there is no target.
float FacingCosine(AiObject *actor, AiObject *target, float behind, bool flat);
// The cosine of the .PAF AttackHalfAngle, taken in degrees or, for the
// types that always took it so, in radians.
float CosHalfAngle(const AiObject *actor, bool radians);

// While the attack-delay timer is below `seconds`: true, and it grows by dt.
bool AttackDelayRunning(AiObject *actor, float seconds, float dt);

// The attack bit (4): with it and no target the message feeds nothing
// (false); with a target, input 2 while the attack delay runs, then
// `ready()`. Without the bit the attack delay starts again. True when the
// message goes on to feed its input.
template <typename Ready>
bool SenseAttack(AiObject *actor, int32_t bits, float delaySeconds, float dt, int32_t *input, Ready ready)
{
    if ((bits & kSenseAttack) == 0) {
        actor->attackDelayTimer = 0.0f;
        return true;
    }
    if (actor->target == nullptr) {
        return false;
    }
    *input = AttackDelayRunning(actor, delaySeconds, dt) ? kInputReady : ready();
    return true;
}

}  // namespace monster
