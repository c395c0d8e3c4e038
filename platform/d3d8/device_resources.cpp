// Resource creation on the device (checked against the profile's limits and the formats
// we store) and rectangle copies between surfaces.
#include <cstring>

#include "device.h"
#include "format_info.h"

namespace d3d8 {
namespace {

bool IsPool(D3DPOOL pool) {
    return pool == D3DPOOL_DEFAULT || pool == D3DPOOL_MANAGED || pool == D3DPOOL_SYSTEMMEM;
}

bool IsPow2(uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

template <class Interface>
HRESULT ClearOut(Interface **out) {
    if (!out) return D3DERR_INVALIDCALL;
    *out = nullptr;
    return D3D_OK;
}

// Checks a texture request and resolves its level count (0 = the full chain).
HRESULT CheckTextureRequest(const D3DCAPS8 &caps, uint32_t width, uint32_t height,
                                   UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                   bool cube, TextureDesc *desc) {
    if (width == 0 || height == 0 || width > caps.MaxTextureWidth ||
        height > caps.MaxTextureHeight || !IsPool(pool)) {
        return D3DERR_INVALIDCALL;
    }
    const DWORD pow2Cap = cube ? D3DPTEXTURECAPS_CUBEMAP_POW2 : D3DPTEXTURECAPS_POW2;
    if ((caps.TextureCaps & pow2Cap) && (!IsPow2(width) || !IsPow2(height))) {
        return D3DERR_INVALIDCALL;
    }
    if ((caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) && width != height) {
        return D3DERR_INVALIDCALL;
    }
    if (usage & D3DUSAGE_DEPTHSTENCIL) return D3DERR_INVALIDCALL;
    if (usage & D3DUSAGE_RENDERTARGET) {
        if (!IsColorTargetFormat(format) || pool != D3DPOOL_DEFAULT) return D3DERR_INVALIDCALL;
    } else if (!IsTextureFormat(format)) {
        return D3DERR_INVALIDCALL;
    }
    const uint32_t full = FullMipCount(width, height);
    if (levels > full) return D3DERR_INVALIDCALL;
    desc->format = format;
    desc->usage = usage;
    desc->pool = pool;
    desc->width = width;
    desc->height = height;
    desc->levels = levels == 0 ? full : levels;
    return D3D_OK;
}

}  // namespace

HRESULT DeviceImpl::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                  D3DFORMAT format, D3DPOOL pool, IDirect3DTexture8 **texture) {
    HRESULT hr = ClearOut(texture);
    if (FAILED(hr)) return hr;
    TextureDesc desc;
    hr = CheckTextureRequest(caps_, width, height, levels, usage, format, pool, false, &desc);
    if (FAILED(hr) || TakeForcedFailure(&hr)) return hr;
    *texture = new TextureImpl(this, desc);
    return D3D_OK;
}

HRESULT DeviceImpl::CreateCubeTexture(UINT edgeLength, UINT levels, DWORD usage,
                                      D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DCubeTexture8 **cubeTexture) {
    HRESULT hr = ClearOut(cubeTexture);
    if (FAILED(hr)) return hr;
    TextureDesc desc;
    hr = CheckTextureRequest(caps_, edgeLength, edgeLength, levels, usage, format, pool, true,
                             &desc);
    if (FAILED(hr) || TakeForcedFailure(&hr)) return hr;
    *cubeTexture = new CubeTextureImpl(this, desc);
    return D3D_OK;
}

HRESULT DeviceImpl::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                       IDirect3DVertexBuffer8 **vertexBuffer) {
    HRESULT hr = ClearOut(vertexBuffer);
    if (FAILED(hr)) return hr;
    if (length == 0 || !IsPool(pool)) return D3DERR_INVALIDCALL;
    if (TakeForcedFailure(&hr)) return hr;
    *vertexBuffer = new VertexBufferImpl(this, length, usage, fvf, pool);
    return D3D_OK;
}

HRESULT DeviceImpl::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DIndexBuffer8 **indexBuffer) {
    HRESULT hr = ClearOut(indexBuffer);
    if (FAILED(hr)) return hr;
    if (length == 0 || !IsPool(pool) ||
        (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32)) {
        return D3DERR_INVALIDCALL;
    }
    if (TakeForcedFailure(&hr)) return hr;
    *indexBuffer = new IndexBufferImpl(this, length, usage, format, pool);
    return D3D_OK;
}

HRESULT DeviceImpl::CreateRenderTarget(UINT width, UINT height, D3DFORMAT format,
                                       D3DMULTISAMPLE_TYPE multiSample, BOOL,
                                       IDirect3DSurface8 **surface) {
    HRESULT hr = ClearOut(surface);
    if (FAILED(hr)) return hr;
    if (width == 0 || height == 0 || !IsColorTargetFormat(format) ||
        multiSample != D3DMULTISAMPLE_NONE) {
        return D3DERR_INVALIDCALL;
    }
    if (TakeForcedFailure(&hr)) return hr;
    *surface = SurfaceImpl::CreateStandalone(
        this, {format, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT, width, height}, false);
    return D3D_OK;
}

HRESULT DeviceImpl::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                              D3DMULTISAMPLE_TYPE multiSample,
                                              IDirect3DSurface8 **surface) {
    HRESULT hr = ClearOut(surface);
    if (FAILED(hr)) return hr;
    if (width == 0 || height == 0 || !IsDepthFormat(format) ||
        multiSample != D3DMULTISAMPLE_NONE) {
        return D3DERR_INVALIDCALL;
    }
    if (TakeForcedFailure(&hr)) return hr;
    *surface = SurfaceImpl::CreateStandalone(
        this, {format, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, width, height}, false);
    return D3D_OK;
}

HRESULT DeviceImpl::CreateImageSurface(UINT width, UINT height, D3DFORMAT format,
                                       IDirect3DSurface8 **surface) {
    HRESULT hr = ClearOut(surface);
    if (FAILED(hr)) return hr;
    if (width == 0 || height == 0 || !IsTextureFormat(format)) return D3DERR_INVALIDCALL;
    if (TakeForcedFailure(&hr)) return hr;
    *surface = SurfaceImpl::CreateStandalone(this, {format, 0, D3DPOOL_SYSTEMMEM, width, height},
                                             false);
    return D3D_OK;
}

HRESULT DeviceImpl::CopyRects(IDirect3DSurface8 *source, const RECT *sourceRects, UINT rectCount,
                              IDirect3DSurface8 *destination, const POINT *destPoints) {
    auto *src = dynamic_cast<SurfaceImpl *>(source);
    auto *dst = dynamic_cast<SurfaceImpl *>(destination);
    if (!src || !dst || src == dst || src->IsLocked() || dst->IsLocked() ||
        src->Desc().format != dst->Desc().format) {
        return D3DERR_INVALIDCALL;
    }
    const D3DFORMAT format = src->Desc().format;
    const RECT whole = {0, 0, LONG(src->Desc().width), LONG(src->Desc().height)};
    const bool all = rectCount == 0 || !sourceRects;
    const UINT count = all ? 1 : rectCount;
    // Check every rectangle first so that a bad one copies nothing.
    for (int pass = 0; pass < 2; ++pass) {
        for (UINT i = 0; i < count; ++i) {
            const RECT &from = all ? whole : sourceRects[i];
            const POINT to = destPoints ? destPoints[i] : POINT{from.left, from.top};
            const RECT into = {to.x, to.y, to.x + (from.right - from.left),
                               to.y + (from.bottom - from.top)};
            uint32_t srcOffset = 0, dstOffset = 0;
            if (!LockOffset(src->Desc(), &from, &srcOffset) ||
                !LockOffset(dst->Desc(), &into, &dstOffset)) {
                return D3DERR_INVALIDCALL;
            }
            if (pass == 0) continue;
            const uint32_t rowBytes = RowPitch(format, uint32_t(from.right - from.left));
            const uint32_t rows = RowCount(format, uint32_t(from.bottom - from.top));
            for (uint32_t row = 0; row < rows; ++row) {
                std::memcpy(dst->Bits() + dstOffset + size_t(row) * dst->Pitch(),
                            src->Bits() + srcOffset + size_t(row) * src->Pitch(), rowBytes);
            }
        }
    }
    return D3D_OK;
}

}  // namespace d3d8
