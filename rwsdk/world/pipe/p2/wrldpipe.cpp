// The default atomic and world-sector pipelines: each one all-in-one node,
// made when the world module opens (with the vertex-buffer manager and the
// device lights) and destroyed when it closes.
#include "rpd3d8pipe.h"
#include "world/baworld.h"

// Pipelines made by the world library carry its id as their owner.
static constexpr RwUInt32 kWorldPipelineOwner = 2;

static RwPipeline *MakeAllInOnePipeline(RxNodeDefinition *definition)
{
    RwPipeline *pipeline = RwPipelineCreate();
    if (pipeline == nullptr) {
        return nullptr;
    }
    pipeline->pluginId = kWorldPipelineOwner;
    if (RwPipelineLock(pipeline) == nullptr || RwPipelineAddFragment(pipeline, nullptr, definition, nullptr) == nullptr ||
        RwPipelineUnlock(pipeline) == nullptr) {
        RwPipelineDestroy(pipeline);
        return nullptr;
    }
    return pipeline;
}

static void AtomicPipelineDestroy(void)
{
    rpWorldGlobals *globals = rpWorldGetGlobals();
    RpD3D8LightsClose();
    RwD3D8VertexBufferManagerClose();
    if (globals->defaultAtomicPipeline != nullptr) {
        RpAtomicSetDefaultPipeline(nullptr);
        globals->currentAtomicPipeline = nullptr;
        RwPipelineDestroy(globals->defaultAtomicPipeline);
        globals->defaultAtomicPipeline = nullptr;
    }
}

static void SectorPipelineDestroy(void)
{
    rpWorldGlobals *globals = rpWorldGetGlobals();
    if (globals->defaultSectorPipeline != nullptr) {
        globals->currentSectorPipeline = nullptr;
        RwPipelineDestroy(globals->defaultSectorPipeline);
        globals->defaultSectorPipeline = nullptr;
    }
}

static RwBool AtomicPipelineCreate(void)
{
    rpWorldGlobals *globals = rpWorldGetGlobals();
    RwPipeline *pipeline = MakeAllInOnePipeline(RpD3D8AtomicAllInOneNodeDefinition());
    if (pipeline == nullptr) {
        return FALSE;
    }
    globals->defaultAtomicPipeline = pipeline;
    globals->currentAtomicPipeline = pipeline;
    RpAtomicSetDefaultPipeline(pipeline);
    if (!RwD3D8VertexBufferManagerOpen() || !RpD3D8LightsOpen()) {
        AtomicPipelineDestroy();
        return FALSE;
    }
    return TRUE;
}

static RwBool SectorPipelineCreate(void)
{
    rpWorldGlobals *globals = rpWorldGetGlobals();
    RwPipeline *pipeline = MakeAllInOnePipeline(RpD3D8WorldSectorAllInOneNodeDefinition());
    if (pipeline == nullptr) {
        return FALSE;
    }
    globals->defaultSectorPipeline = pipeline;
    globals->currentSectorPipeline = pipeline;
    return TRUE;
}

RwBool RpWorldPipesCreate(void)
{
    if (!AtomicPipelineCreate() || !SectorPipelineCreate()) {
        RpWorldPipesDestroy();
        return FALSE;
    }
    return TRUE;
}

void RpWorldPipesDestroy(void)
{
    SectorPipelineDestroy();
    AtomicPipelineDestroy();
}

RwBool RpWorldPipeAttach(void) { return RpD3D8LightAttach(); }
