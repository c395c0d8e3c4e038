// Private seams between the world library's source files: each module's
// engine block and the pending pipeline-owner slot that the stream readers
// share. (The chunk helpers the readers stay inside with are the core's,
// in rwstream.h.)
#pragma once

#include "rpworld.h"
#include "rwstream.h"

struct RwFreeList;

struct rpMaterialGlobals {
    RwFreeList *materialFreeList;
};

struct rpClumpGlobals {
    RwFreeList *atomicFreeList;
    RwFreeList *clumpFreeList;
};

struct rpLightGlobals {
    RwFreeList *lightFreeList;
};

struct rpGeometryGlobals {
    RwInt32 openCount;
};

rpMaterialGlobals *rpMaterialGetGlobals(void);
rpClumpGlobals *rpClumpGetGlobals(void);
rpLightGlobals *rpLightGetGlobals(void);

// The pipeline-owner id and data word the last object's extension chunk
// carried; readers clear it before the chunk and act on it after.
struct rpPipelineRights {
    RwUInt32 pluginId;
    RwUInt32 pluginData;
};
rpPipelineRights *rpPipelineRightsPending(void);
void rpPipelineRightsClear(void);
// Invokes the owner's rights callback on `registry` for `object` when the
// last extension chunk named an owner; false when the owner refused.
RwBool rpPipelineRightsApply(const RwPluginRegistry *registry, void *object);

// Texture, raster and pipeline of a material for mesh sorting.
RwBool rpMaterialIsTranslucent(const RpMaterial *material);
