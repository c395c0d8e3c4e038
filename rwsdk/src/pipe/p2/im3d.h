// Private declarations of immediate-mode 3D: the module block with the
// installed and default pipelines and the open batch.
#pragma once

#include "rwim3d.h"

// Pipelines are kept per primitive type in this order: triangle list, fan,
// strip, line list, poly line, point list.
static constexpr RwInt32 rwIm3DNumPrimTypes = 6;

struct RwIm3DModuleBlock {
    RwPipeline *currentTransformPipeline;
    RwPipeline *currentRenderPipelines[rwIm3DNumPrimTypes];
    RwPipeline *defaultTransformPipeline;
    RwPipeline *defaultRenderPipelines[rwIm3DNumPrimTypes];
    RwIm3DBatch batch;
};

// The block while the module is open, for the device nodes and the draws.
extern RwIm3DModuleBlock *rwIm3DModule;

// Slot of a primitive type (1..6) in the pipeline arrays, or -1.
RwInt32 rwIm3DPrimTypeSlot(RwInt32 primType);

// Device record entries that draw the open batch.
RwBool rwIm3DDeviceRenderTriangle(RwInt32 vert1, RwInt32 vert2, RwInt32 vert3);
