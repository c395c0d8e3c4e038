// What the patch files share: extension offsets, the engine block and the
// per-atomic data.
#pragma once

#include "rppatch.h"

// A vertex layout's offset for a field that is not written.
inline constexpr RwUInt32 rpPATCHNOTWRITTEN = ~0u;

struct PatchAtomicData {
    RpPatchLODCallBack callback;
    void *callbackData;
    RpPatchMesh *mesh;
};

struct PatchGeometryData {
    RpPatchMesh *mesh;
    RwUInt32 reserved;
};

struct PatchGlobals {
    RwInt32 engineOffset;
    RwInt32 atomicOffset;
    RwInt32 geometryOffset;
    RwInt32 openCount;
    RwPipeline *atomicPipeline;
    RwBool index32;  // the device takes 32-bit indices
};

PatchGlobals &PatchGlobalsGet(void);
PatchAtomicData *PatchAtomicGetData(const RpAtomic *atomic);
PatchGeometryData *PatchGeometryGetData(const RpGeometry *geometry);

RwBool PatchPipelineCreate(void);
void PatchPipelineDestroy(void);

RwStream *PatchGeometryRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset, RwInt32 size);
RwStream *PatchGeometryWrite(RwStream *stream, RwInt32 length, const void *object, RwInt32 offset, RwInt32 size);
RwInt32 PatchGeometrySize(const void *object, RwInt32 offset, RwInt32 size);
