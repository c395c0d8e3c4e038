// Private seams between the world library's source files: each module's
// engine block, the pending pipeline-owner slot that the stream readers
// share, and the helpers the readers use to stay inside their chunks.
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

// Finds a struct chunk and checks its version; reports and fails otherwise.
RwBool rpReadStructHeader(RwStream *stream, RwUInt32 *length, RwUInt32 *version);
// Finds a chunk of `type` with an accepted version that fits what is left.
RwBool rpFindChunk(RwStream *stream, RwUInt32 type, RwUInt32 *length, RwUInt32 *version);
// Reads `length` bytes of a chunk over a zeroed record of `size` bytes,
// skipping any excess; false on a short read.
RwBool rpReadRecordPrefix(RwStream *stream, RwUInt32 length, RwUInt8 *record, RwUInt32 size);
// Skips whatever is left inside the innermost chunk bound.
RwBool rpSkipRest(RwStream *stream);
// Finds a chunk of `type` and runs `reader(stream)` bounded to it; what the
// reader leaves unread is skipped. A reader's object that cannot be
// followed by the skip goes back through `release`.
template <typename Object, typename Reader>
Object *rpReadChunkObject(RwStream *stream, RwUInt32 type, Reader reader, RwBool (*release)(Object *))
{
    RwUInt32 length = 0;
    if (!rpFindChunk(stream, type, &length, nullptr)) {
        return nullptr;
    }
    RwUInt64 saved = RwStreamEnterChunk(stream, length);
    Object *object = reader(stream);
    if (object != nullptr && !rpSkipRest(stream)) {
        release(object);
        object = nullptr;
    }
    RwStreamLeaveChunk(stream, saved);
    return object;
}
// Little-endian words out of a byte record.
RwUInt32 rpGetU32(const RwUInt8 *bytes);
RwReal rpGetReal(const RwUInt8 *bytes);
// Whether `count` records of `size` bytes fit in what is left of the chunk.
RwBool rpFits(RwStream *stream, RwUInt64 count, RwUInt64 size);

// Texture, raster and pipeline of a material for mesh sorting.
RwBool rpMaterialIsTranslucent(const RpMaterial *material);
