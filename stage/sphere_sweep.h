// The geometry under the movement queries: where a moving sphere first
// touches a triangle. Only a contact the sphere moves into counts: a move
// along or away from a triangle it already touches is free.
#pragma once

#include "rwmatrix.h"

// The point of triangle a, b, c nearest to p.
RwV3d ClosestPointOnTriangle(const RwV3d &p, const RwV3d &a, const RwV3d &b, const RwV3d &c);

struct SphereSweepHit {
    RwReal t;       // fraction of the move at the contact, 0..1
    RwV3d normal;   // unit, from the contact point on the triangle toward the sphere's centre
};

// The sphere (centre, radius) moving by `move` against triangle v0, v1, v2
// (either side). True with the first contact the sphere moves into; a
// sphere that already overlaps the triangle and moves further into it
// gets t = 0. A path that passes a corner or an edge no deeper than a
// thousandth of a unit only grazes it (a sphere resting on a floor crosses
// the floor's corners and seams at exactly its radius).
bool SweepSphereTriangle(const RwV3d &centre, RwReal radius, const RwV3d &move, const RwV3d &v0, const RwV3d &v1,
                         const RwV3d &v2, SphereSweepHit *hit);
