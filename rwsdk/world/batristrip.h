// Private seams between the mesh generators: the sorted triangle order
// shared by the list and strip generators.
#pragma once

#include "rpmesh.h"

// Pointers to the build mesh's triangles in sort order (one allocation,
// freed with RwFree); null without memory.
RpBuildMeshTriangle **rpBuildMeshSortTriangles(RpBuildMesh *mesh);
// Number of runs of equal material in a sorted order.
RwUInt32 rpBuildMeshCountGroups(RpBuildMeshTriangle *const *order, RwUInt32 count);
