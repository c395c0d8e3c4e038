// Private helpers of the mesh building files: header blocks and the
// build-mesh free list.
#pragma once

#include "rpmesh.h"

struct RwFreeList;

// A header block for `numMeshes` meshes and `numIndices` indices, zeroed,
// with a fresh serial number; reports and returns null without memory.
RpMeshHeader *rpMeshHeaderAllocate(RwUInt32 numMeshes, RwUInt32 numIndices);
RwUInt16 *rpMeshHeaderIndexArea(RpMeshHeader *header);
RwFreeList *rpBuildMeshGetFreeList(void);
extern const RwInt32 rpMeshModuleBlockSize;
