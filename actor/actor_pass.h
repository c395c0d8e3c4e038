// The actor pass: once per frame, every actor of the stage's chain but the
// heroes gets its animation step and its update (distance thinning, then
// its AI type's update); then every actor within 400 units of the camera
// gets its sensing message (after a line-of-sight test from the camera on
// the collision world, which also sets its drawn flag); then the message
// pool delivers. With --trace, the actors and heroes are traced after it.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"
#include "rpworld.h"

class CSStageManager;

// The developer menu's no-hierarchy-update switch: while set, the pass
// skips every actor's animation step.
extern bool g_actorPassSkipsAnimation;

// The frame's view for the pass: the camera's position (from its frame;
// the origin without a camera), the thinning focus (the first hero, else
// the camera) and the stage's radii and camera mode.
ActorFrame MakeActorFrame(CSStageManager *stage, RwCamera *camera);

// Whether the collision world hides `to` from `from`: a world triangle
// meets the line between them (the collision test counts the triangles the
// line enters from their front, the faces a camera at `from` would draw).
bool LineOfSightBlocked(RpWorld *world, const RwV3d &from, const RwV3d &to);

// One pass over the stage's chain seen from `frame`. `dt` is the frame
// time in seconds, already scaled by the game speed. While the stage's
// actor-update switch is 0 only the actors a scene waits for run.
void RunActorPass(CSStageManager *stage, float dt, const ActorFrame &frame);

// The trace lines of the pass: `actor` for every actor and hero of the
// chain, `hero` for each hero of the stage's hero list.
void TraceActors(const CSStageManager &stage);
