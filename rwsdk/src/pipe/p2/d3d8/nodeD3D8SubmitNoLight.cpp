// The two device nodes of the default Im3D pipelines: "ImmInstance.csl"
// takes in the open batch, "nodeD3D8SubmitNoLight.csl" draws it unlit. The
// batch's vertices are converted into the shared dynamic buffers; large
// indexed batches go through the node's own dynamic index buffer, small ones
// are expanded; anything the buffers cannot take is drawn from the caller's
// memory, so the node never fails.
#include <cstring>

#include "driver/d3d8/d3d8device.h"
#include "src/pipe/p2/d3d8/d3d82drend.h"

namespace {

constexpr RwUInt32 rwSubmitIndexCount = 65535;
constexpr RwUInt32 rwSubmitFVFUV = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr RwUInt32 rwSubmitFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE;
constexpr RwUInt32 rwSubmitFVFEngine = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr RwUInt32 rwSmallIndexedBatch = 8;

struct SubmitState {
    RwIm3DBatch *batch;
    RwBool open;  // the Im3D pipelines want the index buffer
    RwUInt32 indexFill;
    IDirect3DIndexBuffer8 *indexBuffer;
};

SubmitState submit = {};

RxNodeDefinition immInstanceNode = {
    "ImmInstance.csl", RwD3D8ImmInstanceNodeBody, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    0,                 nullptr,                   nullptr, 0,       nullptr, 0,       FALSE,   0};
RxNodeDefinition submitNoLightNode = {
    "nodeD3D8SubmitNoLight.csl", RwD3D8SubmitNoLightNodeBody, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    0,                           nullptr,                     nullptr, 0,       nullptr, 0,       FALSE,   0};

RwBool CreateIndexBuffer()
{
    submit.indexFill = 0;
    const D3DPOOL pool = RwD3D8HardwareVertexProcessing() ? D3DPOOL_DEFAULT : D3DPOOL_SYSTEMMEM;
    if (FAILED(rwD3D8Device.device->CreateIndexBuffer(rwSubmitIndexCount * 2, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC,
                                                      D3DFMT_INDEX16, pool, &submit.indexBuffer))) {
        submit.indexBuffer = nullptr;
        return FALSE;
    }
    return TRUE;
}

void ReleaseIndexBuffer()
{
    if (submit.indexBuffer != nullptr) {
        submit.indexBuffer->Release();
        submit.indexBuffer = nullptr;
    }
    submit.indexFill = 0;
}

// Writes vertices[order[i]] (or vertices[i]) in the device layout.
void Convert(const RwIm3DBatch *batch, const RwImVertexIndex *order, RwUInt32 n, RwBool uv, void *data)
{
    auto *out = static_cast<RwUInt8 *>(data);
    for (RwUInt32 i = 0; i < n; ++i) {
        const RwIm3DVertex &v = batch->verts[order != nullptr ? order[i] : i];
        std::memcpy(out, &v.objVertex, 12);
        std::memcpy(out + 12, &v.color, 4);
        if (uv) {
            std::memcpy(out + 16, &v.u, 4);
            std::memcpy(out + 20, &v.v, 4);
            out += 24;
        } else {
            out += 16;
        }
    }
}

// Converted vertices in the shared buffers; stream 0 is set to them.
RwBool PlaceVertices(const RwIm3DBatch *batch, const RwImVertexIndex *order, RwUInt32 n, RwBool uv,
                     RwUInt32 *baseVertex)
{
    const RwUInt32 stride = uv ? 24u : 16u;
    IDirect3DVertexBuffer8 *buffer = nullptr;
    void *data = nullptr;
    if (!RwD3D8LockDynamicVertices(stride, n, &buffer, &data, baseVertex)) {
        return FALSE;
    }
    Convert(batch, order, n, uv, data);
    if (!RwD3D8UnlockVertexBuffer(buffer)) {
        return FALSE;
    }
    return RwD3D8SetStreamSource(0, buffer, stride);
}

RwBool CopyIndices(const RwImVertexIndex *indices, RwUInt32 count)
{
    BYTE *bits = nullptr;
    HRESULT result;
    if (submit.indexFill + count < 0x10000) {
        result = submit.indexBuffer->Lock(submit.indexFill * 2, count * 2, &bits, D3DLOCK_NOOVERWRITE | D3DLOCK_NOSYSLOCK);
    } else {
        submit.indexFill = 0;
        result = submit.indexBuffer->Lock(0, count * 2, &bits, D3DLOCK_DISCARD | D3DLOCK_NOSYSLOCK);
    }
    if (FAILED(result)) {
        return FALSE;
    }
    std::memcpy(bits, indices, count * 2);
    return SUCCEEDED(submit.indexBuffer->Unlock());
}

RwBool DrawFromBuffers(const RwIm3DBatch *batch, RwUInt32 type, RwBool uv)
{
    const RwUInt32 numVerts = batch->numVerts;
    const RwBool indexed = batch->indices != nullptr && batch->numIndices > 0;
    RwUInt32 base = 0;
    if (!indexed) {
        if (!PlaceVertices(batch, nullptr, numVerts, uv, &base)) {
            return FALSE;
        }
        return RwD3D8DrawPrimitive(type, base, numVerts);
    }
    const RwUInt32 count = batch->numIndices;
    if (count > numVerts || count > rwSmallIndexedBatch) {
        if (submit.indexBuffer == nullptr || count > rwSubmitIndexCount) {
            return FALSE;
        }
        if (!PlaceVertices(batch, nullptr, numVerts, uv, &base) || !CopyIndices(batch->indices, count)) {
            return FALSE;
        }
        RwD3D8SetIndices(submit.indexBuffer, base);
        const RwBool drawn = RwD3D8DrawIndexedPrimitive(type, 0, numVerts, submit.indexFill, count);
        submit.indexFill += count;
        return drawn;
    }
    if (!PlaceVertices(batch, batch->indices, count, uv, &base)) {
        return FALSE;
    }
    return RwD3D8DrawPrimitive(type, base, count);
}

// Straight from the batch's own memory, in the engine's vertex layout.
void DrawFromMemory(const RwIm3DBatch *batch, RwUInt32 type)
{
    IDirect3DDevice8 *device = rwD3D8Device.device;
    RwD3D8SetVertexShader(rwSubmitFVFEngine);
    RwD3D8SetStreamSource(0, nullptr, 0);
    RwD3D8SetIndices(nullptr, 0);
    RwD3D8FlushRenderStates();
    const auto d3dType = static_cast<D3DPRIMITIVETYPE>(type);
    if (batch->indices != nullptr && batch->numIndices > 0) {
        device->DrawIndexedPrimitiveUP(d3dType, 0, batch->numVerts,
                                       RwD3D8PrimitiveCount(type, batch->numIndices, TRUE), batch->indices,
                                       D3DFMT_INDEX16, batch->verts, sizeof(RwIm3DVertex));
    } else {
        device->DrawPrimitiveUP(d3dType, RwD3D8PrimitiveCount(type, batch->numVerts, FALSE), batch->verts,
                                sizeof(RwIm3DVertex));
    }
}

RwBool IndicesInRange(const RwIm3DBatch *batch)
{
    if (batch->indices == nullptr) {
        return TRUE;
    }
    for (RwUInt32 i = 0; i < batch->numIndices; ++i) {
        if (batch->indices[i] >= batch->numVerts) {
            return FALSE;
        }
    }
    return TRUE;
}

}  // namespace

RwBool RwD3D8Im3DSubmitOpen(void)
{
    submit.open = TRUE;
    if (!CreateIndexBuffer()) {
        ReleaseIndexBuffer();
        return FALSE;
    }
    return TRUE;
}

void RwD3D8Im3DSubmitClose(void)
{
    submit.open = FALSE;
    submit.batch = nullptr;
    ReleaseIndexBuffer();
}

void RwD3D8Im3DSubmitReleaseForReset(void) { ReleaseIndexBuffer(); }

RwBool RwD3D8Im3DSubmitRestoreAfterReset(void) { return !submit.open || CreateIndexBuffer(); }

RwBool RwD3D8ImmInstanceNodeBody(RxPipelineNode *, const RxPipelineNodeParam *params)
{
    submit.batch = params != nullptr ? static_cast<RwIm3DBatch *>(params->dataParam) : nullptr;
    return TRUE;
}

RwBool RwD3D8SubmitNoLightNodeBody(RxPipelineNode *, const RxPipelineNodeParam *params)
{
    RwIm3DBatch *batch = submit.batch;
    if (batch == nullptr && params != nullptr && params->dataParam != nullptr) {
        batch = RwIm3DBatchFromRenderData(params->dataParam);
    }
    if (batch == nullptr || batch->verts == nullptr || batch->numVerts == 0 || !IndicesInRange(batch)) {
        return TRUE;
    }
    const RwUInt32 type = RwD3D8PrimitiveTypeOf(batch->primType);
    if (type == 0 || type == D3DPT_POINTLIST) {
        return TRUE;
    }
    const RwBool uv = (batch->flags & rwIM3D_VERTEXUV) != 0;
    RwD3D8SetVertexAlpha((batch->flags & rwIM3D_ALLOPAQUE) == 0);
    RwD3D8SetWorldMatrix(batch->ltm);
    RwD3D8SetRenderState(D3DRS_LIGHTING, FALSE);
    RwD3D8SetRenderState(D3DRS_NORMALIZENORMALS, FALSE);
    RwD3D8SetRenderState(D3DRS_CLIPPING, (batch->flags & rwIM3D_NOCLIP) != 0 ? FALSE : TRUE);
    RwD3D8SetPixelShader(0);
    RwD3D8SetVertexShader(uv ? rwSubmitFVFUV : rwSubmitFVF);
    if (!DrawFromBuffers(batch, type, uv)) {
        DrawFromMemory(batch, type);
    }
    return TRUE;
}

RxNodeDefinition *RwNodeDefinitionGetImmInstance(void) { return &immInstanceNode; }

RxNodeDefinition *RwNodeDefinitionGetD3D8SubmitNoLight(void) { return &submitNoLightNode; }
