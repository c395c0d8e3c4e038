// Immediate-mode 3D: the caller's object- or world-space vertices are run
// through a transform pipeline once (RwIm3DTransform) and then drawn any
// number of times through per-primitive-type render pipelines until
// RwIm3DEnd. The device supplies the nodes of the default pipelines.
#pragma once

#include "rwengine.h"
#include "rwmatrix.h"
#include "rwpipeline.h"

// Core error codes of immediate mode 3D.
static constexpr RwInt32 E_RW_IM3DNOTACTIVE = 35;        // draw without a transformed batch
static constexpr RwInt32 E_RW_IM3DINVALIDPRIMTYPE = 37;
static constexpr RwInt32 E_RW_IM3DTOOMANYVERTICES = 50;

// The most vertices one batch holds.
static constexpr RwInt32 rwIM3DMAXVERTICES = 65536;

// 36 bytes, the stride handed to the transform pipeline.
struct RwIm3DVertex {
    RwV3d objVertex;   // object space with a matrix, else world space
    RwV3d objNormal;   // carried, not lit
    RwUInt32 color;    // packed: alpha in the top byte, then red, green, blue
    RwReal u;
    RwReal v;
};
static_assert(sizeof(RwIm3DVertex) == 36, "the device reads Im3D vertices with this stride");

// Transform flags; the engine always adds rwIM3D_VERTEXXYZ | rwIM3D_VERTEXRGBA.
static constexpr RwUInt32 rwIM3D_VERTEXUV = 0x1;     // u and v are used
static constexpr RwUInt32 rwIM3D_ALLOPAQUE = 0x2;    // vertex alpha off for the batch
static constexpr RwUInt32 rwIM3D_NOCLIP = 0x4;       // device clipping off for the batch
static constexpr RwUInt32 rwIM3D_VERTEXXYZ = 0x8;
static constexpr RwUInt32 rwIM3D_VERTEXRGBA = 0x10;

// The open batch. The vertex count holds every count RwIm3DTransform
// accepts (up to 65536), so it is 32 bits wide.
struct RwIm3DBatch {
    RwUInt32 numVerts;
    RwIm3DVertex *verts;
    RwUInt32 stride;
    RwUInt32 flags;
    RwMatrix *ltm;                  // null: vertices are in world space
    void *device[6];                // the device's transform node keeps its state here
    RwPipeline *renderPipeline;     // chosen for the current draw
    RwPrimitiveType primType;
    RwImVertexIndex *indices;       // null for an unindexed draw
    RwUInt32 numIndices;
};

// The transform pipeline is executed with the batch itself as its data; the
// render pipelines with the address of the batch's flags.
inline RwIm3DBatch *RwIm3DBatchFromTransformData(void *data) { return static_cast<RwIm3DBatch *>(data); }
inline RwIm3DBatch *RwIm3DBatchFromRenderData(void *data)
{
    return reinterpret_cast<RwIm3DBatch *>(static_cast<RwUInt8 *>(data) - offsetof(RwIm3DBatch, flags));
}

// The open batch of the Im3D module (null while the engine is not started).
RwIm3DBatch *RwIm3DGetBatch(void);

RwIm3DVertex *RwIm3DTransform(RwIm3DVertex *vertices, RwUInt32 numVertices, RwMatrix *ltm, RwUInt32 flags);
RwBool RwIm3DEnd(void);
RwBool RwIm3DRenderPrimitive(RwPrimitiveType primType);
RwBool RwIm3DRenderIndexedPrimitive(RwPrimitiveType primType, RwImVertexIndex *indices, RwInt32 numIndices);
RwBool RwIm3DRenderLine(RwInt32 vert1, RwInt32 vert2);
// Null restores the default; each returns the pipeline now installed.
RwPipeline *RwIm3DSetTransformPipeline(RwPipeline *pipeline);
RwPipeline *RwIm3DSetRenderPipeline(RwPipeline *pipeline, RwPrimitiveType primType);
RwPipeline *RwIm3DGetTransformPipeline(void);
RwPipeline *RwIm3DGetRenderPipeline(RwPrimitiveType primType);

// The device's part of the default pipelines: the node that takes in the
// batch, the node that draws it, and the device state opened around them.
// Installed by the driver before the engine starts; without it the module
// builds its defaults from nodes that accept every batch and draw nothing.
struct RwIm3DDeviceNodes {
    RxNodeDefinition *(*transformNode)(void);
    RxNodeDefinition *(*renderNode)(void);
    RwBool (*open)(void);
    void (*close)(void);
};
void RwIm3DSetDeviceNodes(const RwIm3DDeviceNodes *nodes);
