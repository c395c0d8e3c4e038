// The act step's movement: fleeing from a thrown item, the goal (flee
// point, target or home, with the home rule's input), turning toward it
// with its dead zones, the speed of the state with its sign clamp, and the
// move itself.
#pragma once

#include <cstdint>

#include "monster/kit_common.h"

namespace monster {

// A point and how far it is, used by the turn and the move.
struct Goal {
    RwV3d point = {0.0f, 0.0f, 0.0f};
    float distance = 0.0f;
};

// A thrown item anywhere in the stage starts a 3-s flee from the nearest of
// the items thrown since the manager's last update (unless one runs).
void StartFleeFromThrownItems(AiObject *actor);

// How far from home the act step counts the actor as home.
inline constexpr float kActHomeDistance = 10.0f;
// The goal: away from the flee point while a flee runs (the path-following
// flag raised, and lowered when the flee ends); else the target; else
// home. Without a found foe (and outside the hold state) the ignore-foes
// flag lapses after `ignoreFoesSeconds` and the home rule feeds input 0 at
// home (unless knocked), else 1.
Goal ChooseGoal(AiObject *actor, int32_t *next, float dt, int32_t holdState, float ignoreFoesSeconds);

// Turning toward the target (home without one) about the up axis by
// TurnDeg x dt: none when the cosine to it is 0.99 or more, and below -0.99
// a turn in the one sense.
void TurnTowardTarget(AiObject *actor, float dt);
// Turning toward `point` in the ground plane by TurnDeg x dt: none when
// the cosine to it is `noTurnCosine` or more (or the point is where the
// actor stands), below -noTurnCosine a turn in the one sense, between them
// toward the side the point lies on. The cosine between the facing and the
// direction to the point (1 when the point is where the actor stands).
float TurnToward(AiObject *actor, const RwV3d &point, float dt, float noTurnCosine);
// That cosine alone.
float CosineToward(AiObject *actor, const RwV3d &point);

// The state's speed: acceleration x dt added, held at 0 once it crosses
// zero against the sign of the state's Speed. The step of this frame
// (speed x dt; 0 while the delayed-damage hold runs).
float StepSpeed(AiObject *actor, float dt);

// Unless the move heads for the goal itself, the actor walks where it
// faces: the goal becomes the point one unit ahead.
void WalkWhereFacing(AiObject *actor, Goal *goal);

// Whether the actor may move this frame: not dying, removed, event-held
// or broadcast-excluded.
bool MayMove(const AiObject *actor);
// MoveToward the goal by the step (turning to face the move when heading
// for the goal, the full character move when `collide`), then the frame
// axes taken back.
void MoveToGoal(AiObject *actor, const Goal &goal, float step, bool collide);

}  // namespace monster
