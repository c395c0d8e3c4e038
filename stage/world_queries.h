// Movement and collision queries on the stage's collision world and on
// collidable models: ground height and snapping models to the ground,
// clipping a moving sphere against the world's triangles or a model's,
// and pushing two overlapping spheres apart.
#pragma once

#include <cstdint>

#include "rpcollis.h"
#include "rpworld.h"

// Length of the downward ground ray and how far above the point it starts.
constexpr RwReal kGroundRayLength = 10000.0f;
constexpr RwReal kGroundRayLift = 10.0f;
// How far a clipped move stops short of the surface it met.
constexpr RwReal kContactSkin = 0.001f;

// The height of the first upward-facing world triangle met by a ray cast
// down from 10 above `point`, 10000 long. False when it meets none.
bool FindGroundHeight(RpWorld *world, const RwV3d &point, RwReal *height);

// Puts the clump's root frame on the ground below it. Mode 2 (the one the
// game uses): the ground of FindGroundHeight, only the height changes.
// False, with nothing moved, when no ground is found or for another mode.
bool SnapToGround(RpWorld *world, RpClump *clump, int32_t mode);

// The move flags of MoveAgainstWorld and MoveAgainstClump.
enum MoveAgainstFlag : int32_t {
    kMoveStop = 0,   // stop at the first contact
    kMoveSlide = 1,  // then slide once along the surface met
};

// Clips the move of a sphere (centre, radius) against the world's static
// triangles so that the sphere does not pass through them: `move` is
// shortened in place and nothing is moved. A move along or away from a
// surface the sphere touches is not shortened. True when a contact
// shortened the move.
bool MoveAgainstWorld(RpWorld *world, const RwV3d &centre, RwReal radius, RwV3d *move, int32_t flag);
// The same against the triangles of the clump's atomics whose
// collision-test flag is set (the wall clump, doors).
bool MoveAgainstClump(RpClump *clump, const RwV3d &centre, RwReal radius, RwV3d *move, int32_t flag);

// Non-zero when the spheres A and B overlap (touching is not overlapping),
// with the offset that moves A out of B along the line of the centres; for
// equal centres A moves along x.
int32_t SphereOverlapPushOut(const RwV3d &centreA, RwReal radiusA, const RwV3d &centreB, RwReal radiusB,
                             RwV3d *offset);
