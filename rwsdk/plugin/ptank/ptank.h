// Internals shared by the tank's files: the plug-in's engine block, the
// record behind an atomic, and the Direct3D 8 instancing routines the
// platform create chooses from.
#pragma once

#include "d3d8/d3d8.h"
#include "rpptank.h"

struct RpPTankGlobals {
    IDirect3DIndexBuffer8 *quadIndexBuffer;  // shared by every quad tank; only grows
    RwUInt32 quadIndexCapacity;              // in indices
    RwReal maxPointSize;
    RwBool pointSizePerVertex;
    // What the last setup locked, for the render that follows it.
    IDirect3DVertexBuffer8 *vertexBuffer;
    RwUInt32 baseVertex;
    RwBool pointSpriteMode;
    RwBool verticesLocked;
};

// The plug-in's block in the engine instance (valid between start and stop).
RpPTankGlobals *RpPTankGetGlobals(void);

inline RpPTank *RpPTankFromData(RpPTankData *data)
{
    return reinterpret_cast<RpPTank *>(reinterpret_cast<RwUInt8 *>(data) - offsetof(RpPTank, data));
}

// Built-in attribute layout: one allocation, aligned to 16 inside it.
RwBool RpPTankAllocateData(RpPTank *tank, RwInt32 maxPCount, RwUInt32 dataFlags);

// Instancing routines.
struct RpPTankWriterChoice {
    RpPTankPositionWriter position;
    RpPTankAttributeWriter texCoords;
    RpPTankAttributeWriter colors;
    RpPTankAttributeWriter normals;
};
// The writers a tank of these data flags uses, for quads or for point sprites.
RpPTankWriterChoice RpPTankChooseWriters(RwUInt32 dataFlags, RwBool pointSprites);

RwBool RpPTankQuadSetup(RpPTankInstanceContext *context, RpAtomic *atomic, RpPTankData *data, RwInt32 actPCount,
                        RwUInt32 instFlags);
RwBool RpPTankPointSetup(RpPTankInstanceContext *context, RpAtomic *atomic, RpPTankData *data,
                         RwInt32 actPCount, RwUInt32 instFlags);
void RpPTankInstanceFinish(RpPTankInstanceContext *context, RpAtomic *atomic, RpPTankData *data,
                           RwInt32 actPCount, RwUInt32 instFlags);

// Vertex strides of the two layouts for a geometry's flags.
RwUInt32 RpPTankQuadVertexStride(RwUInt32 geometryFlags);
RwUInt32 RpPTankPointVertexStride(RwUInt32 geometryFlags, RwUInt32 dataFlags);

// Quad index buffer growth (index i of particle p: 4p, 4p+1, 4p+2, 4p, 4p+2, 4p+3).
RwBool RpPTankGrowQuadIndices(RwInt32 maxPCount);
void RpPTankReleaseQuadIndices(void);
