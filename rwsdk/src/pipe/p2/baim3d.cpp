// Immediate-mode 3D drawing: transforming a batch of the caller's vertices
// once and drawing it as primitives, indexed primitives and lines through
// the render pipeline installed for each primitive type.
#include <cstring>

#include "rwerror.h"
#include "src/pipe/p2/im3d.h"

namespace {

constexpr RwUInt32 rwIm3DAlwaysFlags = rwIM3D_VERTEXXYZ | rwIM3D_VERTEXRGBA;

RwBool BatchOpen(void)
{
    if (rwIm3DModule == nullptr || rwIm3DModule->batch.verts == nullptr) {
        RwErrorReport(rwID_CORE, E_RW_IM3DNOTACTIVE);
        return FALSE;
    }
    return TRUE;
}

// Runs the render pipeline of `primType` over the open batch; the heap keeps
// what the transform left in it.
RwBool RenderBatch(RwPrimitiveType primType, RwImVertexIndex *indices, RwUInt32 numIndices)
{
    RwInt32 slot = rwIm3DPrimTypeSlot(primType);
    if (slot < 0 || primType == rwPRIMTYPEPOINTLIST) {
        RwErrorReport(rwID_CORE, E_RW_IM3DINVALIDPRIMTYPE);
        return FALSE;
    }
    RwIm3DBatch *batch = &rwIm3DModule->batch;
    batch->renderPipeline = rwIm3DModule->currentRenderPipelines[slot];
    batch->primType = primType;
    batch->indices = indices;
    batch->numIndices = numIndices;
    return RwPipelineExecute(batch->renderPipeline, &batch->flags, FALSE) != nullptr;
}

// Lines and triangles named by vertex index take their index list from the
// pipeline heap for the length of the draw.
RwBool RenderHeapIndices(RwPrimitiveType primType, const RwInt32 *vertices, RwUInt32 count)
{
    if (!BatchOpen()) {
        return FALSE;
    }
    RxHeap *heap = RwPipelineGetHeap();
    auto *indices = static_cast<RwImVertexIndex *>(RxHeapAlloc(heap, count * sizeof(RwImVertexIndex)));
    if (indices == nullptr) {
        return FALSE;
    }
    for (RwUInt32 i = 0; i < count; i++) {
        indices[i] = static_cast<RwImVertexIndex>(vertices[i]);
    }
    RwBool drawn = RenderBatch(primType, indices, count);
    RxHeapFree(heap, indices);
    return drawn;
}

}  // namespace

RwIm3DVertex *RwIm3DTransform(RwIm3DVertex *vertices, RwUInt32 numVertices, RwMatrix *ltm, RwUInt32 flags)
{
    if (numVertices > static_cast<RwUInt32>(rwIM3DMAXVERTICES)) {
        RwErrorReport(rwID_CORE, E_RW_IM3DTOOMANYVERTICES);
        return nullptr;
    }
    if (vertices == nullptr || rwIm3DModule == nullptr) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    RwIm3DBatch *batch = &rwIm3DModule->batch;
    std::memset(batch, 0, sizeof(*batch));
    batch->numVerts = numVertices;
    batch->verts = vertices;
    batch->stride = sizeof(RwIm3DVertex);
    batch->ltm = ltm;
    batch->flags = flags | rwIm3DAlwaysFlags;
    if (RwPipelineExecute(rwIm3DModule->currentTransformPipeline, batch, TRUE) == nullptr) {
        // A batch the device did not take in cannot be drawn.
        std::memset(batch, 0, sizeof(*batch));
        return nullptr;
    }
    return vertices;
}

RwBool RwIm3DEnd(void)
{
    if (rwIm3DModule == nullptr || rwIm3DModule->batch.verts == nullptr) {
        return FALSE;
    }
    std::memset(&rwIm3DModule->batch, 0, sizeof(rwIm3DModule->batch));
    return TRUE;
}

RwBool RwIm3DRenderPrimitive(RwPrimitiveType primType)
{
    if (!BatchOpen()) {
        return FALSE;
    }
    return RenderBatch(primType, nullptr, rwIm3DModule->batch.numVerts);
}

RwBool RwIm3DRenderIndexedPrimitive(RwPrimitiveType primType, RwImVertexIndex *indices, RwInt32 numIndices)
{
    if (!BatchOpen()) {
        return FALSE;
    }
    if (indices == nullptr || numIndices < 0) {
        RwErrorReportCommon(E_RW_BADPARAM);
        return FALSE;
    }
    auto count = static_cast<RwUInt32>(numIndices);
    if (primType == rwPRIMTYPELINELIST) {
        count &= ~1u;
    } else if (primType == rwPRIMTYPETRILIST) {
        count -= count % 3;
    }
    return RenderBatch(primType, indices, count);
}

RwBool RwIm3DRenderLine(RwInt32 vert1, RwInt32 vert2)
{
    const RwInt32 ends[2] = {vert1, vert2};
    return RenderHeapIndices(rwPRIMTYPELINELIST, ends, 2);
}

RwBool rwIm3DDeviceRenderTriangle(RwInt32 vert1, RwInt32 vert2, RwInt32 vert3)
{
    const RwInt32 corners[3] = {vert1, vert2, vert3};
    return RenderHeapIndices(rwPRIMTYPETRILIST, corners, 3);
}

RwIm3DBatch *RwIm3DGetBatch(void) { return rwIm3DModule != nullptr ? &rwIm3DModule->batch : nullptr; }
