// Pipelines made of one all-in-one node with a plug-in's render callback:
// how plug-ins that only change the way meshes are drawn (material effects,
// lightmaps) get pipelines that instance like the default ones.
#include "rpd3d8pipe.h"

RwPipeline *RpD3D8AllInOnePipelineCreate(RxNodeDefinition *definition, RwUInt32 pluginId,
                                         RpD3D8AllInOneRenderCallBack renderCallback)
{
    if (definition == nullptr) {
        return nullptr;
    }
    RwPipeline *pipeline = RwPipelineCreate();
    if (pipeline == nullptr) {
        return nullptr;
    }
    pipeline->pluginId = pluginId;
    pipeline->pluginData = 0;
    if (RwPipelineLock(pipeline) == nullptr ||
        RwPipelineAddFragment(pipeline, nullptr, definition, static_cast<RxNodeDefinition *>(nullptr)) == nullptr ||
        RwPipelineUnlock(pipeline) == nullptr) {
        RwPipelineDestroy(pipeline);
        return nullptr;
    }
    RxPipelineNode *node = RwPipelineFindNodeByName(pipeline, definition->name, nullptr, nullptr);
    if (node == nullptr) {
        RwPipelineDestroy(pipeline);
        return nullptr;
    }
    // A null callback keeps the node's own drawing.
    if (renderCallback != nullptr) {
        RpD3D8AllInOneNodeSetRenderCallback(node, renderCallback);
    }
    return pipeline;
}
