// Finding things in a model's frames: its animation skeleton, the frame a
// user-property id or a skeleton node id names, and the collision-test
// switches of its atomics.
#pragma once

#include <cstdint>

#include "rpanimation.h"
#include "rpworld.h"

// Name of the user-data string array the modelling tool writes on frames;
// its first string begins with the frame's id ("100090", "3514100P01 ...").
constexpr const char *kUserPropertiesArrayName = "3dsmax User Properties";

// The skeleton of the clump: the first hierarchy found on its frames, the
// root first, then depth first. Null when it has none.
RpHAnimHierarchy *GetClumpHierarchy(RpClump *clump);

// The user-property id of a frame: the leading number of the first string
// of its "3dsmax User Properties" array. False when the frame has no such
// array, or its first string does not start with a number.
bool GetFrameUserId(const RwFrame *frame, int32_t *id);

// The first frame, depth first from the clump's root, whose user-property
// id is `id`; null when none.
RwFrame *FindFrameByUserId(RpClump *clump, int32_t id);
// The same over the frames a skeleton's nodes are bound to, in node order.
RwFrame *FindFrameByUserId(RpHAnimHierarchy *hierarchy, int32_t id);

// The first frame, depth first from the clump's root, whose skeleton node
// id is `nodeId`; null when none.
RwFrame *FindFrameByNodeId(RpClump *clump, int32_t nodeId);

// A checksum of the clump's pose: the modelling matrices of every frame
// below the clump's own frame (which places the model and is left out),
// depth first. It changes whenever the skeleton is posed differently; 0
// for no clump.
uint32_t ClumpPoseChecksum(RpClump *clump);

// Switches the collision-test flag of every atomic of the clump.
void SetClumpCollisionTest(RpClump *clump, bool on);
// Sets each atomic's collision-test flag when its geometry has a material
// whose alpha is 0 and clears it otherwise. The number of atomics flagged.
int32_t RefreshClumpCollisionTest(RpClump *clump);
