// Private to the skin plug-in: its extension offsets, the record allocator
// shared by the creation and stream code, and the checks every new skin
// passes before a geometry may use it.
#pragma once

#include "rpskin.h"

struct rpSkinGlobals {
    RwInt32 geometryOffset;
    RwInt32 atomicOffset;
    RwFreeList *skinFreeList;
    RwMatrix *boneMatrices;  // rpSKINMAXBONES matrices, 16-byte aligned
    void *boneMatricesUnaligned;
    RwPipeline *pipeline;  // serves every skin type on this device
};

rpSkinGlobals *rpSkinGetGlobals(void);

// A zeroed record with its data block for the given counts, or null.
RpSkin *rpSkinAllocate(RwInt32 numVertices, RwInt32 numBones, RwInt32 numUsedBones);
// Lists every bone index that carries weight, ascending, in usedBones.
void rpSkinRebuildUsedBones(RpSkin *skin);
// True when every bone index the blend can read names one of the bones.
RwBool rpSkinIndicesValid(const RpSkin *skin);
// Forgets what the shared bone-matrix buffer holds (a new buffer is empty).
void rpSkinResetBoneCache(void);
