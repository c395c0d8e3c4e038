// Im2D on Direct3D 8: screen-space vertices are appended into a dynamic
// vertex buffer (the driver's own on software devices with texture memory to
// spare, else the shared buffers), moved by the camera raster's sub-raster
// offsets, and drawn as pre-transformed vertices. Indexed batches use one
// dynamic index buffer, or are expanded when that is no dearer.
#include <cstring>

#include "driver/d3d8/d3d8device.h"
#include "src/pipe/p2/d3d8/d3d82drend.h"

namespace {

constexpr RwUInt32 rwIm2DFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr RwUInt32 rwIm2DStride = sizeof(RwIm2DVertex);
constexpr RwUInt32 rwIm2DOwnBufferBytes = 0x40000;
constexpr RwUInt32 rwIm2DOwnBufferVertices = 9362;
constexpr RwUInt32 rwIm2DIndexCount = 10000;
constexpr DWORD rwIm2DUsage = D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC | D3DUSAGE_DONOTCLIP;

struct Im2DBuffers {
    RwBool ownVertexBuffer;
    RwUInt32 vertexFill;
    IDirect3DVertexBuffer8 *vertexBuffer;
    RwUInt32 indexFill;
    IDirect3DIndexBuffer8 *indexBuffer;
};

Im2DBuffers im2D = {};

struct Offsets {
    RwReal x;
    RwReal y;
};

Offsets OffsetsOf(const RwRaster *raster)
{
    if (raster == nullptr) {
        return {0.0f, 0.0f};
    }
    return {static_cast<RwReal>(raster->nOffsetX), static_cast<RwReal>(raster->nOffsetY)};
}

Offsets CameraOffsets()
{
    const RwCamera *camera = RwCameraGetCurrentCamera();
    return OffsetsOf(camera != nullptr ? camera->frameBuffer : nullptr);
}

// Places n vertices (vertices[order[i]], or vertices[i] without an order)
// and leaves the buffer they went to and their first vertex in im2D.
RwBool PlaceVertices(const RwIm2DVertex *vertices, const RwImVertexIndex *order, RwUInt32 n, Offsets offsets,
                     IDirect3DVertexBuffer8 **buffer)
{
    void *data = nullptr;
    if (!im2D.ownVertexBuffer) {
        RwUInt32 base = 0;
        if (!RwD3D8LockDynamicVertices(rwIm2DStride, n, buffer, &data, &base)) {
            return FALSE;
        }
        im2D.vertexFill = base;
    } else {
        BYTE *bits = nullptr;
        HRESULT result;
        if (im2D.vertexFill + n <= rwIm2DOwnBufferVertices) {
            result = im2D.vertexBuffer->Lock(im2D.vertexFill * rwIm2DStride, n * rwIm2DStride, &bits,
                                             D3DLOCK_NOOVERWRITE | D3DLOCK_NOSYSLOCK);
        } else {
            im2D.vertexFill = 0;
            result = im2D.vertexBuffer->Lock(0, n * rwIm2DStride, &bits, D3DLOCK_DISCARD | D3DLOCK_NOSYSLOCK);
        }
        if (FAILED(result)) {
            return FALSE;
        }
        data = bits;
        *buffer = im2D.vertexBuffer;
    }
    auto *out = static_cast<RwIm2DVertex *>(data);
    if (order == nullptr && offsets.x == 0.0f && offsets.y == 0.0f) {
        std::memcpy(out, vertices, n * rwIm2DStride);
    } else {
        for (RwUInt32 i = 0; i < n; ++i) {
            out[i] = vertices[order != nullptr ? order[i] : i];
            out[i].x += offsets.x;
            out[i].y += offsets.y;
        }
    }
    return RwD3D8UnlockVertexBuffer(*buffer);
}

void DrawSetUp(IDirect3DVertexBuffer8 *buffer)
{
    RwD3D8SetVertexShader(rwIm2DFVF);
    RwD3D8SetPixelShader(0);
    RwD3D8SetRenderState(D3DRS_CLIPPING, FALSE);
    RwD3D8SetRenderState(D3DRS_LIGHTING, FALSE);
    RwD3D8SetStreamSource(0, buffer, rwIm2DStride);
    RwD3D8FlushRenderStates();
}

// Places and draws n vertices as one non-indexed primitive.
RwBool DrawPlaced(RwUInt32 d3dType, RwUInt32 primitives, const RwIm2DVertex *vertices,
                  const RwImVertexIndex *order, RwUInt32 n, Offsets offsets)
{
    IDirect3DVertexBuffer8 *buffer = nullptr;
    if (!PlaceVertices(vertices, order, n, offsets, &buffer)) {
        return FALSE;
    }
    DrawSetUp(buffer);
    const HRESULT result =
        rwD3D8Device.device->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(d3dType), im2D.vertexFill, primitives);
    im2D.vertexFill += n;
    return SUCCEEDED(result);
}

RwBool IndicesInRange(const RwImVertexIndex *indices, RwUInt32 count, RwInt32 numVertices)
{
    for (RwUInt32 i = 0; i < count; ++i) {
        if (static_cast<RwInt32>(indices[i]) >= numVertices) {
            return FALSE;
        }
    }
    return TRUE;
}

// Engine primitive counts: point lists draw one point per vertex.
RwUInt32 Im2DPrimitiveCount(RwInt32 primType, RwUInt32 n)
{
    return primType == rwPRIMTYPEPOINTLIST ? n : RwD3D8PrimitiveCount(RwD3D8PrimitiveTypeOf(primType), n, FALSE);
}

}  // namespace

RwUInt32 RwD3D8PrimitiveTypeOf(RwInt32 primType)
{
    switch (primType) {
    case rwPRIMTYPELINELIST: return D3DPT_LINELIST;
    case rwPRIMTYPEPOLYLINE: return D3DPT_LINESTRIP;
    case rwPRIMTYPETRILIST: return D3DPT_TRIANGLELIST;
    case rwPRIMTYPETRISTRIP: return D3DPT_TRIANGLESTRIP;
    case rwPRIMTYPETRIFAN: return D3DPT_TRIANGLEFAN;
    case rwPRIMTYPEPOINTLIST: return D3DPT_POINTLIST;
    default: return 0;
    }
}

RwBool RwD3D8Im2DOpen(void)
{
    IDirect3DDevice8 *device = rwD3D8Device.device;
    im2D = Im2DBuffers{};
    if (!RwD3D8HardwareVertexProcessing() && device->GetAvailableTextureMem() > 0x800000u &&
        SUCCEEDED(device->CreateVertexBuffer(rwIm2DOwnBufferBytes, rwIm2DUsage, rwIm2DFVF, D3DPOOL_DEFAULT,
                                             &im2D.vertexBuffer))) {
        im2D.ownVertexBuffer = TRUE;
    } else {
        im2D.vertexBuffer = nullptr;
    }
    if (FAILED(device->CreateIndexBuffer(rwIm2DIndexCount * sizeof(RwImVertexIndex), rwIm2DUsage, D3DFMT_INDEX16,
                                         D3DPOOL_DEFAULT, &im2D.indexBuffer))) {
        im2D.indexBuffer = nullptr;
        RwD3D8Im2DClose();
        return FALSE;
    }
    return TRUE;
}

void RwD3D8Im2DClose(void)
{
    if (im2D.vertexBuffer != nullptr) {
        im2D.vertexBuffer->Release();
    }
    if (im2D.indexBuffer != nullptr) {
        im2D.indexBuffer->Release();
    }
    im2D = Im2DBuffers{};
}

RwBool RwD3D8Im2DRenderLine(RwIm2DVertex *vertices, RwInt32 numVertices, RwInt32 vert1, RwInt32 vert2)
{
    if (vert1 < 0 || vert2 < 0 || vert1 >= numVertices || vert2 >= numVertices) {
        return FALSE;
    }
    const RwImVertexIndex order[2] = {static_cast<RwImVertexIndex>(vert1), static_cast<RwImVertexIndex>(vert2)};
    return DrawPlaced(D3DPT_LINELIST, 1, vertices, order, 2, CameraOffsets());
}

RwBool RwD3D8Im2DRenderTriangle(RwIm2DVertex *vertices, RwInt32 numVertices, RwInt32 vert1, RwInt32 vert2,
                                RwInt32 vert3)
{
    if (vert1 < 0 || vert2 < 0 || vert3 < 0 || vert1 >= numVertices || vert2 >= numVertices ||
        vert3 >= numVertices) {
        return FALSE;
    }
    const RwImVertexIndex order[3] = {static_cast<RwImVertexIndex>(vert1), static_cast<RwImVertexIndex>(vert2),
                                      static_cast<RwImVertexIndex>(vert3)};
    return DrawPlaced(D3DPT_TRIANGLELIST, 1, vertices, order, 3, CameraOffsets());
}

RwBool RwD3D8Im2DRenderPrimitive(RwPrimitiveType primType, RwIm2DVertex *vertices, RwInt32 numVertices)
{
    const RwUInt32 type = RwD3D8PrimitiveTypeOf(primType);
    if (type == 0 || numVertices <= 0) {
        return FALSE;
    }
    const RwCamera *camera = RwCameraGetCurrentCamera();
    const RwRaster *raster = camera != nullptr ? camera->frameBuffer : RwRasterGetCurrentContext();
    const auto n = static_cast<RwUInt32>(numVertices);
    return DrawPlaced(type, Im2DPrimitiveCount(primType, n), vertices, nullptr, n, OffsetsOf(raster));
}

RwBool RwD3D8Im2DRenderIndexedPrimitive(RwPrimitiveType primType, RwIm2DVertex *vertices, RwInt32 numVertices,
                                        RwImVertexIndex *indices, RwInt32 numIndices)
{
    const RwUInt32 type = RwD3D8PrimitiveTypeOf(primType);
    if (type == 0 || numVertices <= 0 || numIndices <= 0 ||
        !IndicesInRange(indices, static_cast<RwUInt32>(numIndices), numVertices)) {
        return FALSE;
    }
    const auto count = static_cast<RwUInt32>(numIndices);
    const RwUInt32 primitives = Im2DPrimitiveCount(primType, count);
    const Offsets offsets = CameraOffsets();
    if (numVertices >= numIndices) {
        // Few enough indices: one placed vertex per index beats an index copy.
        return DrawPlaced(type, primitives, vertices, indices, count, offsets);
    }
    if (im2D.indexBuffer == nullptr || count > rwIm2DIndexCount) {
        return FALSE;
    }
    IDirect3DVertexBuffer8 *buffer = nullptr;
    if (!PlaceVertices(vertices, nullptr, static_cast<RwUInt32>(numVertices), offsets, &buffer)) {
        return FALSE;
    }
    BYTE *bits = nullptr;
    HRESULT result;
    if (im2D.indexFill + count < rwIm2DIndexCount + 1) {
        result = im2D.indexBuffer->Lock(im2D.indexFill * 2, count * 2, &bits, D3DLOCK_NOOVERWRITE | D3DLOCK_NOSYSLOCK);
    } else {
        im2D.indexFill = 0;
        result = im2D.indexBuffer->Lock(0, count * 2, &bits, D3DLOCK_DISCARD | D3DLOCK_NOSYSLOCK);
    }
    if (FAILED(result)) {
        return FALSE;
    }
    std::memcpy(bits, indices, count * sizeof(RwImVertexIndex));
    im2D.indexBuffer->Unlock();
    DrawSetUp(buffer);
    RwD3D8SetIndices(im2D.indexBuffer, im2D.vertexFill);
    result = rwD3D8Device.device->DrawIndexedPrimitive(static_cast<D3DPRIMITIVETYPE>(type), 0,
                                                        static_cast<UINT>(numVertices), im2D.indexFill, primitives);
    im2D.indexFill += count;
    im2D.vertexFill += static_cast<RwUInt32>(numVertices);
    return SUCCEEDED(result);
}
