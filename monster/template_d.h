// The template of the melee monsters 1000 to 1007 and 1021:
// what differs between them in their update, set-state and think steps
// (one row each, by AI type), and the update they share: the think step,
// the act step on full-detail frames, the event hold, and the set-state
// step.
//
// Hits that arrive on a frame without an act step (a thinned frame) are
// kept for the next act step, which hands them over: the update never
// drops the pending damage.
#pragma once

#include <cstdint>

#include "monster/kit_common.h"

namespace monster {

struct TemplateDMembers {
    int32_t aiType;
    int32_t lastState;        // the set-state step accepts 0..lastState
    bool drawsStateRandom;    // false: the state random stays 0
    int32_t holdState;        // where an event holds the monster
    int32_t excludedStates[2];  // broadcast-excluded and not solid here
    // The foes and the target are refreshed inside the sensing bits 2, 8
    // and 4 (else once at the start of the think step).
    bool refreshesTargetInSensing;
    float thinkHomeDistance;
    float ignoreFoesSeconds;  // of the act step
    float lostTargetSeconds;
    float attackDelaySeconds;
    bool halfAngleInRadians;
};

// The row of a template-D type; null for any other type.
const TemplateDMembers *TemplateDMembersOf(int32_t aiType);

// A type's steps as the shared update calls them.
struct TemplateDSteps {
    void (*think)(AiObject *actor, int32_t *next, float dt);
    void (*act)(AiObject *actor, int32_t *next, float dt);
};

// The update of a template-D monster: nothing once removed; the excluded
// states' flags; the think step; the act step while active on a
// full-detail frame (the accumulated time then spent); then, unless
// removed, the event hold (the hold state, or input 0 once standing in
// it) and the set-state step.
void RunTemplateDUpdate(AiObject *actor, float dt, const TemplateDMembers &members, const TemplateDSteps &steps);

// The update of a type whose class has its own Think and Act steps.
template <typename T>
void RunTemplateDUpdateOf(T *self, float dt)
{
    const TemplateDSteps steps = {
        [](AiObject *a, int32_t *next, float t) { static_cast<T *>(a)->Think(next, t); },
        [](AiObject *a, int32_t *next, float t) { static_cast<T *>(a)->Act(next, t); },
    };
    RunTemplateDUpdate(self, dt, *TemplateDMembersOf(self->aiType), steps);
}

// The set-state step of a template-D type.
void TemplateDSetState(AiObject *actor, CFSF *fsf, int32_t state, const TemplateDMembers &members);

}  // namespace monster
