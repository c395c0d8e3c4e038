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

// In a dying state: the death fade once (the dying motion's length + 0.25
// as its speed, looped; or `fixedFadeSpeed` not looped when it is above
// 0), the status particles once, and the kill counted once as soon as a
// last attacker is known: a hero's kill count and the reward of Exp times
// its hit-counter multiplier.
void StepDying(AiObject *actor, float fixedFadeSpeed);
// In a gone state: the drop the event asked for, the reward pieces, the
// status particles detached; the actor is removed, its model given back.
void StepGone(AiObject *actor);

// Hurtable := the state's IsHurt; targetable unless `untargetableState`,
// down, dying or broadcast-excluded.
void SetHurtableAndTargetable(AiObject *actor, bool untargetableState);

}  // namespace monster
