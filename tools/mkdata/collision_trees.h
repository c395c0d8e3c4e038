// Collision trees for the sample data: the game never builds one, and a
// world sector without one is never tested, so every sample sector and
// every geometry a query would search gets its tree here before writing.
#pragma once

#include "rpcollis.h"

namespace mkdata {

// Leaves of at most this many triangles.
constexpr RwInt32 kCollisionLeafTriangles = 8;

// Every geometry of the clump's atomics that has triangles and a single
// morph target (morphing geometries are searched triangle by triangle).
bool AddCollisionTrees(RpClump *clump);
// Every sector of the world that has triangles.
bool AddCollisionTrees(RpWorld *world);

}  // namespace mkdata
