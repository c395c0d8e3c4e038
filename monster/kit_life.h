// The end of a monster: death when HP runs out, the dying state (death
// fade, status particles, the kill and its reward counted once), the gone
// state (the drop the event asked for, the reward pieces, removal), and
// the flags that say whether it can be hurt or targeted.
#pragma once

#include <cstdint>

#include "monster/kit_common.h"

namespace monster {

// When HP is below 1: input 121 when last frame's status had bit 16 (120
// instead when that leads to no state of the type: a result above
// `lastState`, -1 included), else 120; the dying flag set and the grabbed
// flag cleared. True when the actor is dead.
bool StepDeath(AiObject *actor, int32_t *next, int32_t lastState);

// The death fade a type starts once in its dying state: a material
// animation whose speed is the dying motion's length plus `addedToMotion`,
// or `fixedSpeed` when that is above 0.
struct DeathFade {
    int32_t matAnim = 2;
    int32_t ownerKind = 0;
    float addedToMotion = 0.25f;
    float fixedSpeed = 0.0f;
    bool looped = true;
};
// The look of dying, once each: the death fade (with a model and a
// material-animation manager) and the status particles.
void StartDeathLook(AiObject *actor, const DeathFade &fade);
// In a dying state: the death fade once, the status particles once, and
// the kill counted once as soon as a last attacker is known: a hero's kill
// count and the reward of Exp times its hit-counter multiplier.
void StepDying(AiObject *actor, const DeathFade &fade);
// The same with the fade of the template: the dying motion's length +
// 0.25, looped; or `fixedFadeSpeed` not looped when it is above 0.
void StepDying(AiObject *actor, float fixedFadeSpeed);
// What a defeated actor leaves: the drop the event asked for (an effect
// or item id, shown at once), else, when `rollsDropMap`, the item its drop
// map rolls (shown falling). The id spawned, 0 for none.
int32_t DropOnGone(AiObject *actor, bool rollsDropMap);
// In a gone state: the drop (DropOnGone), the reward pieces, the status
// particles detached; the actor is removed, its model given back.
void StepGone(AiObject *actor, bool rollsDropMap = false);
// The status particles taken off the actor when it wears them.
void DetachStatusParticles(AiObject *actor);
// Out of play for good: removed, the model given back, no longer active.
void RemoveFromPlay(AiObject *actor);

// Hurtable := the state's IsHurt; targetable unless `untargetableState`,
// down, dying or broadcast-excluded.
void SetHurtableAndTargetable(AiObject *actor, bool untargetableState);

}  // namespace monster
