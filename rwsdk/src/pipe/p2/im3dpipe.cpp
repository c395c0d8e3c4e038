// The immediate-mode 3D engine module (0x40A): builds the default transform
// and render pipelines from the device's nodes when the engine starts,
// installs pipelines per primitive type, and points the device record's
// Im3D entries at the batch drawing functions.
#include <cstring>

#include "rwerror.h"
#include "src/bacoremodules.h"
#include "src/pipe/p2/im3d.h"

const RwInt32 rwIm3DModuleBlockSize = sizeof(RwIm3DModuleBlock);
RwInt32 rwIm3DModuleOffset = -1;
RwIm3DModuleBlock *rwIm3DModule = nullptr;

namespace {

// Without a device the batch is accepted and nothing is drawn, so the engine
// still starts (headless tools and tests of other modules).
RwBool HeadlessBody(RxPipelineNode *, const RxPipelineNodeParam *) { return TRUE; }

RxNodeDefinition HeadlessNode(const RwChar *name)
{
    RxNodeDefinition def = {};
    def.name = name;
    def.nodeBody = HeadlessBody;
    return def;
}

RxNodeDefinition headlessTransformNode = HeadlessNode("ImmInstanceHeadless.csl");
RxNodeDefinition headlessRenderNode = HeadlessNode("ImmSubmitHeadless.csl");

RxNodeDefinition *HeadlessTransform(void) { return &headlessTransformNode; }
RxNodeDefinition *HeadlessRender(void) { return &headlessRenderNode; }

const RwIm3DDeviceNodes headlessDeviceNodes = {HeadlessTransform, HeadlessRender, nullptr, nullptr};
RwIm3DDeviceNodes deviceNodes = headlessDeviceNodes;

// The types the one default render pipeline serves (all but point lists).
constexpr RwPrimitiveType rwIm3DDrawnTypes[] = {rwPRIMTYPETRILIST, rwPRIMTYPETRIFAN, rwPRIMTYPETRISTRIP,
                                                rwPRIMTYPELINELIST, rwPRIMTYPEPOLYLINE};

RwPipeline *BuildSingleNodePipeline(RxNodeDefinition *def)
{
    if (def == nullptr) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    RwPipeline *pipeline = RwPipelineCreate();
    if (pipeline == nullptr) {
        return nullptr;
    }
    if (RwPipelineLock(pipeline) == nullptr || RwPipelineAddFragment(pipeline, nullptr, def, nullptr) == nullptr ||
        RwPipelineUnlock(pipeline) == nullptr) {
        RwPipelineDestroy(pipeline);
        return nullptr;
    }
    return pipeline;
}

void SetDeviceEntries(RwBool on)
{
    RwDeviceRecord *device = &RwEngineInst->dOpenDevice;
    device->fpIm3DRenderLine = on ? RwIm3DRenderLine : nullptr;
    device->fpIm3DRenderTriangle = on ? rwIm3DDeviceRenderTriangle : nullptr;
    device->fpIm3DRenderPrimitive = on ? RwIm3DRenderPrimitive : nullptr;
    device->fpIm3DRenderIndexedPrimitive = on ? RwIm3DRenderIndexedPrimitive : nullptr;
}

}  // namespace

RwInt32 rwIm3DPrimTypeSlot(RwInt32 primType)
{
    switch (primType) {
    case rwPRIMTYPETRILIST: return 0;
    case rwPRIMTYPETRIFAN: return 1;
    case rwPRIMTYPETRISTRIP: return 2;
    case rwPRIMTYPELINELIST: return 3;
    case rwPRIMTYPEPOLYLINE: return 4;
    case rwPRIMTYPEPOINTLIST: return 5;
    default: return -1;
    }
}

void RwIm3DSetDeviceNodes(const RwIm3DDeviceNodes *nodes)
{
    deviceNodes = nodes != nullptr ? *nodes : headlessDeviceNodes;
}

void *RwIm3DModuleOpen(void *instance, RwInt32 offset, RwInt32 size)
{
    rwIm3DModuleOffset = offset;
    auto *block = reinterpret_cast<RwIm3DModuleBlock *>(static_cast<RwUInt8 *>(instance) + offset);
    std::memset(block, 0, static_cast<size_t>(size));
    RwPipeline *transform = BuildSingleNodePipeline(deviceNodes.transformNode());
    RwPipeline *render = transform != nullptr ? BuildSingleNodePipeline(deviceNodes.renderNode()) : nullptr;
    if (render == nullptr) {
        RwPipelineDestroy(transform);
        return nullptr;
    }
    block->defaultTransformPipeline = transform;
    block->currentTransformPipeline = transform;
    for (RwPrimitiveType type : rwIm3DDrawnTypes) {
        block->defaultRenderPipelines[rwIm3DPrimTypeSlot(type)] = render;
        block->currentRenderPipelines[rwIm3DPrimTypeSlot(type)] = render;
    }
    // Without its buffers the device draws from the caller's memory, so a
    // failure here does not stop the engine.
    if (deviceNodes.open != nullptr) {
        deviceNodes.open();
    }
    rwIm3DModule = block;
    SetDeviceEntries(TRUE);
    return instance;
}

void *RwIm3DModuleClose(void *instance, RwInt32 offset, RwInt32 size)
{
    (void)size;
    auto *block = reinterpret_cast<RwIm3DModuleBlock *>(static_cast<RwUInt8 *>(instance) + offset);
    for (RwPrimitiveType type : rwIm3DDrawnTypes) {
        RwInt32 slot = rwIm3DPrimTypeSlot(type);
        block->currentRenderPipelines[slot] = block->defaultRenderPipelines[slot];
    }
    if (deviceNodes.close != nullptr) {
        deviceNodes.close();
    }
    SetDeviceEntries(FALSE);
    // One pipeline serves every drawn type; it is destroyed once.
    RwPipelineDestroy(block->defaultRenderPipelines[rwIm3DPrimTypeSlot(rwPRIMTYPETRILIST)]);
    RwPipelineDestroy(block->defaultTransformPipeline);
    std::memset(block, 0, sizeof(*block));
    rwIm3DModule = nullptr;
    return instance;
}

RwPipeline *RwIm3DSetTransformPipeline(RwPipeline *pipeline)
{
    if (rwIm3DModule == nullptr) {
        return nullptr;
    }
    rwIm3DModule->currentTransformPipeline = pipeline != nullptr ? pipeline : rwIm3DModule->defaultTransformPipeline;
    return rwIm3DModule->currentTransformPipeline;
}

RwPipeline *RwIm3DSetRenderPipeline(RwPipeline *pipeline, RwPrimitiveType primType)
{
    RwInt32 slot = rwIm3DPrimTypeSlot(primType);
    if (slot < 0 || rwIm3DModule == nullptr) {
        RwErrorReport(rwID_CORE, E_RW_IM3DINVALIDPRIMTYPE);
        return nullptr;
    }
    rwIm3DModule->currentRenderPipelines[slot] = pipeline != nullptr ? pipeline : rwIm3DModule->defaultRenderPipelines[slot];
    return rwIm3DModule->currentRenderPipelines[slot];
}

RwPipeline *RwIm3DGetTransformPipeline(void)
{
    return rwIm3DModule != nullptr ? rwIm3DModule->currentTransformPipeline : nullptr;
}

RwPipeline *RwIm3DGetRenderPipeline(RwPrimitiveType primType)
{
    RwInt32 slot = rwIm3DPrimTypeSlot(primType);
    return slot >= 0 && rwIm3DModule != nullptr ? rwIm3DModule->currentRenderPipelines[slot] : nullptr;
}
