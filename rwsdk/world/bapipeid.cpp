// The pipeline-owner extension (id 0x1F) of atomics and materials: an
// object whose pipeline belongs to a plug-in streams that plug-in's id and
// data word, and the reader hands the object back to the owner after the
// object's extension chunk so it can reinstall its pipeline.
#include "rpworld.h"
#include "rwerror.h"
#include "rwpipeline.h"
#include "world/bamodules.h"

static rpPipelineRights pendingRights = {0, 0};

rpPipelineRights *rpPipelineRightsPending(void) { return &pendingRights; }

void rpPipelineRightsClear(void) { pendingRights = {0, 0}; }

// An owner with no rights callback here (the world library's own default
// pipelines, or a plug-in this engine does not attach) leaves the object on
// its default pipeline, as unknown extension data is skipped; only an owner
// that refuses the object fails the read.
RwBool rpPipelineRightsApply(const RwPluginRegistry *registry, void *object)
{
    rpPipelineRights rights = pendingRights;
    rpPipelineRightsClear();
    if (rights.pluginId == 0) {
        return TRUE;
    }
    const RwPluginEntry *owner = RwPluginRegistryFindEntry(registry, rights.pluginId);
    if (owner == nullptr || owner->rightsCB == nullptr) {
        return TRUE;
    }
    if (RwPluginRegistryInvokeRights(registry, rights.pluginId, object, rights.pluginData) == nullptr) {
        RwErrorReportCommon(E_RW_READ);
        return FALSE;
    }
    return TRUE;
}

static RwStream *ReadPipelineId(RwStream *stream, RwInt32 length)
{
    RwUInt32 id = 0;
    RwUInt32 data = 0;
    if (length < 4 || !RwStreamReadUInt32(stream, &id)) {
        return nullptr;
    }
    if (length >= 8 && !RwStreamReadUInt32(stream, &data)) {
        return nullptr;
    }
    if (length > 8 && RwStreamSkip(stream, static_cast<RwUInt32>(length - 8)) == nullptr) {
        return nullptr;
    }
    pendingRights = {id, data};
    return stream;
}

static RwStream *WritePipelineId(RwStream *stream, const RwPipeline *pipeline)
{
    if (RwStreamWriteUInt32(stream, pipeline->pluginId) == nullptr ||
        RwStreamWriteUInt32(stream, pipeline->pluginData) == nullptr) {
        return nullptr;
    }
    return stream;
}

static RwInt32 PipelineIdSize(const RwPipeline *pipeline)
{
    return (pipeline != nullptr && pipeline->pluginId != 0) ? 8 : 0;
}

RwStream *RpAtomicPipelineIdStreamRead(RwStream *stream, RwInt32 length, void *, RwInt32, RwInt32)
{
    return ReadPipelineId(stream, length);
}

RwStream *RpAtomicPipelineIdStreamWrite(RwStream *stream, RwInt32, const void *object, RwInt32, RwInt32)
{
    return WritePipelineId(stream, static_cast<const RpAtomic *>(object)->pipeline);
}

RwInt32 RpAtomicPipelineIdStreamGetSize(const void *object, RwInt32, RwInt32)
{
    return PipelineIdSize(static_cast<const RpAtomic *>(object)->pipeline);
}

RwStream *RpMaterialPipelineIdStreamRead(RwStream *stream, RwInt32 length, void *, RwInt32, RwInt32)
{
    return ReadPipelineId(stream, length);
}

RwStream *RpMaterialPipelineIdStreamWrite(RwStream *stream, RwInt32, const void *object, RwInt32, RwInt32)
{
    return WritePipelineId(stream, static_cast<const RpMaterial *>(object)->pipeline);
}

RwInt32 RpMaterialPipelineIdStreamGetSize(const void *object, RwInt32, RwInt32)
{
    return PipelineIdSize(static_cast<const RpMaterial *>(object)->pipeline);
}
