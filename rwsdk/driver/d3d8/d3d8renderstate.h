// Inside the render-state cache: the wanted and last-sent values of every
// Direct3D render state and texture-stage state, the queues of what changed
// since the last draw, and the engine-level values the cache is rebuilt from
// after a device reset.
#pragma once

#include "d3d8device.h"

struct RwRaster;

static constexpr RwUInt32 rwD3D8RenderStateCount = 180;
static constexpr RwUInt32 rwD3D8StageCount = 8;
static constexpr RwUInt32 rwD3D8StageStateCount = 32;

struct RwD3D8StageState {
    RwRaster *raster;
    RwUInt32 filterMode;
    RwUInt32 addressU;
    RwUInt32 addressV;
    RwUInt32 borderColor;
    RwUInt8 maxAnisotropy;
};

struct RwD3D8RenderStateCache {
    RwUInt32 wanted[rwD3D8RenderStateCount];
    RwUInt8 queued[rwD3D8RenderStateCount];
    RwUInt32 sent[rwD3D8RenderStateCount];
    RwUInt32 queue[rwD3D8RenderStateCount];
    RwUInt32 queueCount;

    RwUInt32 stageWanted[rwD3D8StageCount][rwD3D8StageStateCount];
    RwUInt8 stageQueued[rwD3D8StageCount][rwD3D8StageStateCount];
    RwUInt32 stageSent[rwD3D8StageCount][rwD3D8StageStateCount];
    RwUInt32 stageQueue[rwD3D8StageCount * rwD3D8StageStateCount];  // stage * 32 + type
    RwUInt32 stageQueueCount;

    // Engine-level values, as the engine gave them.
    RwBool zWrite;
    RwBool zTest;
    RwUInt32 stencilEnable;
    RwUInt32 stencilFail;
    RwUInt32 stencilZFail;
    RwUInt32 stencilPass;
    RwUInt32 stencilFunction;
    RwUInt32 stencilRef;
    RwUInt32 stencilMask;
    RwUInt32 stencilWriteMask;
    RwBool vertexAlpha;
    RwBool textureAlpha;
    RwUInt32 cullMode;
    RwBool fogEnable;
    RwUInt32 fogType;
    RwReal fogDensity;
    RwUInt32 fogColor;
    RwUInt32 shadeMode;
    RwUInt32 srcBlend;
    RwUInt32 destBlend;

    RwD3D8StageState stages[rwD3D8StageCount];
};

extern RwD3D8RenderStateCache rwD3D8RenderStates;

// Translation of the engine's texture filter mode.
RwUInt32 RwD3D8FilterMinMag(RwUInt32 filterMode);
RwUInt32 RwD3D8FilterMip(RwUInt32 filterMode);
// Fog table and vertex modes for an engine fog type under the device's caps.
void RwD3D8SendFogMode(RwUInt32 fogType);
// Min/mag and mip filters of a stage from its engine filter mode.
void RwD3D8SendStageFilter(RwUInt32 stage, RwUInt32 filterMode);
