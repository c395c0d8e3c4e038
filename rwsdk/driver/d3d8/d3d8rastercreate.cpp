// Creating and destroying the Direct3D resources behind rasters: the format
// each raster type gets, managed textures with their palettes, render-target
// textures, depth buffers, and the bookkeeping of sub-rasters and contexts.
#include <initializer_list>

#include "driver/d3d8/d3d8raster.h"

namespace {

RwRaster *gRasterContext = nullptr;

constexpr RwInt32 kPalettised = rwRASTERFORMATPAL8 | rwRASTERFORMATPAL4;

RwBool FormatAccepted(D3DFORMAT format) { return RwD3D8CheckTextureFormat(format); }

// A texture (or cube texture) of the raster's size into its extension.
struct TextureRequest {
    RwD3D8RasterExt *ext;
    UINT width;
    UINT height;
    UINT levels;
    DWORD usage;
    D3DFORMAT format;
    D3DPOOL pool;
};

// The whole mip chain for mip-mapped rasters, else one level.
TextureRequest SizedRequest(const RwRaster *raster, RwD3D8RasterExt *ext, RwInt32 flags, DWORD usage, D3DFORMAT format,
                            D3DPOOL pool)
{
    return TextureRequest{ext,
                          static_cast<UINT>(raster->width),
                          static_cast<UINT>(raster->height),
                          (flags & rwRASTERFORMATMIPMAP) ? 0u : 1u,
                          usage,
                          format,
                          pool};
}

HRESULT CreateTextureResource(void *data)
{
    auto *request = static_cast<TextureRequest *>(data);
    IDirect3DDevice8 *device = rwD3D8Device.device;
    if (device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    HRESULT hr;
    if (request->ext->cube) {
        IDirect3DCubeTexture8 *cube = nullptr;
        hr = device->CreateCubeTexture(request->width, request->levels, request->usage, request->format,
                                       request->pool, &cube);
        if (SUCCEEDED(hr)) {
            request->ext->texture = cube;
        }
    } else {
        IDirect3DTexture8 *texture = nullptr;
        hr = device->CreateTexture(request->width, request->height, request->levels, request->usage,
                                   request->format, request->pool, &texture);
        if (SUCCEEDED(hr)) {
            request->ext->texture = texture;
        }
    }
    return hr;
}

HRESULT CreateDepthSurface(void *data)
{
    auto *raster = static_cast<RwRaster *>(data);
    IDirect3DSurface8 *surface = nullptr;
    if (rwD3D8Device.device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    const UINT width = static_cast<UINT>(raster->width > 1 ? raster->width : 1);
    const UINT height = static_cast<UINT>(raster->height > 1 ? raster->height : 1);
    const HRESULT hr = rwD3D8Device.device->CreateDepthStencilSurface(width, height, RwD3D8ZBufferFormat(),
                                                                      D3DMULTISAMPLE_NONE, &surface);
    if (SUCCEEDED(hr)) {
        RwD3D8RasterGetExt(raster)->texture = surface;
    }
    return hr;
}

// Step 2 of creation: the format flags and depth a raster of `type` gets.
RwBool ChooseFormat(RwRaster *raster, RwInt32 type, RwInt32 *formatFlags)
{
    RwInt32 flags = *formatFlags;
    const RwInt32 pixel = flags & rwRASTERFORMATPIXELFORMATMASK;
    switch (type) {
    case rwRASTERTYPENORMAL:
    case rwRASTERTYPETEXTURE:
        if (pixel == 0 && !(flags & rwRASTERFORMATPAL8)) {
            if (RwD3D8DisplayDepth() > 16 && FormatAccepted(D3DFMT_A8R8G8B8)) {
                flags |= rwRASTERFORMAT8888;
                raster->depth = 32;
            } else {
                flags |= FormatAccepted(D3DFMT_A4R4G4B4) ? rwRASTERFORMAT4444 : rwRASTERFORMAT1555;
                raster->depth = 16;
            }
        } else if (pixel == 0) {
            if (!FormatAccepted(D3DFMT_P8)) {
                return FALSE;
            }
            flags |= RwD3D8AlphaPalettes() ? rwRASTERFORMAT8888 : rwRASTERFORMAT888;
            raster->depth = 8;
        } else if (flags & rwRASTERFORMATPAL4) {
            RwErrorReportCommon(E_RW_INVRASTERFORMAT);
            return FALSE;
        } else if (flags & rwRASTERFORMATPAL8) {
            if (!FormatAccepted(D3DFMT_P8) ||
                !(pixel == rwRASTERFORMAT888 || (pixel == rwRASTERFORMAT8888 && RwD3D8AlphaPalettes()))) {
                return FALSE;
            }
            raster->depth = 8;
        } else {
            const RwD3D8PixelFormat *row = RwD3D8PixelFormatOf(pixel);
            if (row->d3dFormat == D3DFMT_UNKNOWN || !FormatAccepted(row->d3dFormat)) {
                return FALSE;
            }
            raster->depth = row->depth;
        }
        break;
    case rwRASTERTYPEZBUFFER: {
        const RwInt32 zDepth = RwD3D8ZBufferDepth();
        if (pixel == 0) {
            if (zDepth == 16) {
                flags |= rwRASTERFORMAT16;
            } else if (zDepth == 32) {
                flags |= rwRASTERFORMAT32;
            }
        } else if (!((pixel == rwRASTERFORMAT16 && zDepth == 16) || (pixel == rwRASTERFORMAT32 && zDepth == 32))) {
            RwErrorReportCommon(E_RW_INVRASTERFORMAT);
            return FALSE;
        }
        raster->depth = zDepth;
        break;
    }
    case rwRASTERTYPECAMERA: {
        const RwInt32 display = static_cast<RwInt32>(RwD3D8FindRasterFormat(RwD3D8DisplayFormat()));
        if (pixel != 0 && pixel != display) {
            RwErrorReportCommon(E_RW_INVRASTERFORMAT);
            return FALSE;
        }
        flags = (flags & ~rwRASTERFORMATPIXELFORMATMASK) | display;
        raster->depth = RwD3D8DisplayDepth();
        break;
    }
    case rwRASTERTYPECAMERATEXTURE:
        if (pixel == 0) {
            if (RwD3D8DisplayDepth() != 16 && RwD3D8CheckRenderTargetFormat(D3DFMT_X8R8G8B8)) {
                flags |= rwRASTERFORMAT888;
                raster->depth = 32;
            } else {
                flags |= rwRASTERFORMAT565;
                raster->depth = 16;
            }
        } else {
            const RwD3D8PixelFormat *row = RwD3D8PixelFormatOf(pixel);
            if (row->d3dFormat == D3DFMT_UNKNOWN || !RwD3D8CheckRenderTargetFormat(row->d3dFormat)) {
                RwErrorReportCommon(E_RW_INVRASTERFORMAT);
                return FALSE;
            }
            raster->depth = row->depth;
        }
        break;
    default:
        RwErrorReportCommon(E_RW_INVRASTERFORMAT);
        return FALSE;
    }
    *formatFlags = flags;
    return TRUE;
}

RwBool CreateManagedTexture(RwRaster *raster, RwD3D8RasterExt *ext, RwInt32 flags)
{
    const RwInt32 pixel = flags & rwRASTERFORMATPIXELFORMATMASK;
    D3DFORMAT format;
    if (flags & kPalettised) {
        if (pixel != rwRASTERFORMAT888 && pixel != rwRASTERFORMAT8888) {
            RwErrorReport(rwID_CORE, E_RW_DEVICEERROR);  // only 888 and 8888 palettes exist
            return FALSE;
        }
        ext->palette = RwD3D8PaletteCreate();
        if (ext->palette == nullptr) {
            RwErrorReportCommon(E_RW_NOMEM);
            return FALSE;
        }
        format = D3DFMT_P8;
    } else {
        format = RwD3D8PixelFormatOf(pixel)->d3dFormat;
    }
    ext->alpha = static_cast<RwUInt8>(RwD3D8PixelFormatOf(pixel)->alpha);
    RwD3D8AdjustTextureSize(&raster->width, &raster->height, raster->cType & rwRASTERTYPEMASK, flags);
    TextureRequest request = SizedRequest(raster, ext, flags, 0, format, D3DPOOL_MANAGED);
    if (FAILED(CreateTextureResource(&request))) {
        if (ext->palette != nullptr) {
            RwD3D8PaletteDestroy(ext->palette);
            ext->palette = nullptr;
        }
        RwErrorReport(rwID_CORE, E_RW_DEVICEERROR);  // failed to create texture
        return FALSE;
    }
    return TRUE;
}

RwBool CreateCameraRaster(RwRaster *raster)
{
    if (!(raster->cFlags & rwRASTERDONTALLOCATE)) {
        RwInt32 clientWidth;
        RwInt32 clientHeight;
        if (RwD3D8DeviceClientSize(&clientWidth, &clientHeight) &&
            (raster->width > clientWidth || raster->height > clientHeight)) {
            RwErrorReport(rwID_CORE, E_RW_DEVICEERROR);  // camera raster is too big
            return FALSE;
        }
    }
    IDirect3DSurface8 *backBuffer = nullptr;
    raster->depth = 0;
    if (rwD3D8Device.device != nullptr &&
        SUCCEEDED(rwD3D8Device.device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer))) {
        D3DSURFACE_DESC desc;
        if (SUCCEEDED(backBuffer->GetDesc(&desc))) {
            switch (desc.Format) {
            case D3DFMT_A8R8G8B8:
            case D3DFMT_X8R8G8B8:
                raster->depth = 32;
                break;
            case D3DFMT_R5G6B5:
            case D3DFMT_X1R5G5B5:
                raster->depth = 16;
                break;
            default:
                break;
            }
        }
        backBuffer->Release();
    }
    raster->stride = 0;
    raster->cFlags = rwRASTERDONTALLOCATE;
    raster->originalWidth = raster->width;
    raster->originalHeight = raster->height;
    return TRUE;
}

}  // namespace

D3DFORMAT RwD3D8ZBufferFormat(void)
{
    switch (RwD3D8ZBufferDepth()) {
    case 16:
        return RwD3D8CheckZBufferFormat(D3DFMT_D15S1) ? D3DFMT_D15S1 : D3DFMT_D16;
    case 32:
        for (D3DFORMAT format : {D3DFMT_D24S8, D3DFMT_D24X4S4, D3DFMT_D32}) {
            if (RwD3D8CheckZBufferFormat(format)) {
                return format;
            }
        }
        return D3DFMT_D24X8;
    default:
        return D3DFMT_UNKNOWN;
    }
}

HRESULT RwD3D8CreateWithRetry(RwD3D8CreateCall create, void *data)
{
    HRESULT hr = create(data);
    if (hr == D3DERR_OUTOFVIDEOMEMORY) {
        rwD3D8Device.device->ResourceManagerDiscardBytes(0);
        hr = create(data);
        if (hr == D3DERR_OUTOFVIDEOMEMORY) {
            RwErrorReport(rwID_CORE, E_RW_DEVICEERROR);  // out of video memory
        }
    }
    return hr;
}

RwBool RwD3D8CreateZBuffer(RwRaster *raster)
{
    RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
    ext->alpha = 0;
    RwInt32 clientWidth;
    RwInt32 clientHeight;
    if (RwD3D8DeviceClientSize(&clientWidth, &clientHeight) && raster->width == clientWidth &&
        raster->height == clientHeight && rwD3D8Device.mainDepthStencil != nullptr) {
        ext->texture = rwD3D8Device.mainDepthStencil;  // shared, never released here
        return TRUE;
    }
    const HRESULT hr = RwD3D8CreateWithRetry(CreateDepthSurface, raster);
    if (FAILED(hr)) {
        if (hr != D3DERR_OUTOFVIDEOMEMORY) {
            RwErrorReport(rwID_CORE, E_RW_DEVICEERROR);  // failed to create raster
        }
        return FALSE;
    }
    return TRUE;
}

RwBool RwD3D8CreateCameraTexture(RwRaster *raster)
{
    RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
    const RwInt32 flags = static_cast<RwInt32>(raster->cFormat) << 8;
    if (flags & kPalettised) {
        RwErrorReport(rwID_CORE, E_RW_DEVICEERROR);  // camera textures cannot be palettised
        return FALSE;
    }
    const RwD3D8PixelFormat *row = RwD3D8PixelFormatOf(flags);
    ext->alpha = static_cast<RwUInt8>(row->alpha);
    RwD3D8AdjustTextureSize(&raster->width, &raster->height, raster->cType & rwRASTERTYPEMASK, flags);
    TextureRequest request = SizedRequest(raster, ext, flags, D3DUSAGE_RENDERTARGET, row->d3dFormat, D3DPOOL_DEFAULT);
    HRESULT hr = RwD3D8CreateWithRetry(CreateTextureResource, &request);
    if (hr == D3DERR_OUTOFVIDEOMEMORY) {
        return FALSE;
    }
    if (FAILED(hr)) {
        // Without render-target use the texture is drawn into through the
        // back buffer and copied; plain textures then take the display format.
        request.usage = 0;
        if (!ext->cube) {
            request.format = RwD3D8DisplayFormat();
        }
        hr = CreateTextureResource(&request);
        if (FAILED(hr)) {
            RwErrorReport(rwID_CORE, E_RW_DEVICEERROR);  // failed to create raster
            return FALSE;
        }
        raster->cFormat = static_cast<RwUInt8>((raster->cFormat & ~(rwRASTERFORMATPIXELFORMATMASK >> 8)) |
                                               (RwD3D8FindRasterFormat(RwD3D8DisplayFormat()) >> 8));
        raster->depth = RwD3D8DisplayDepth();
    }
    return TRUE;
}

RwBool RwD3D8RasterCreate(void *, void *in, RwInt32 flags)
{
    auto *raster = static_cast<RwRaster *>(in);
    RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
    ext->texture = nullptr;
    ext->palette = nullptr;
    ext->alpha = 0;
    ext->cube = 0;
    ext->face = 0;
    ext->lockedSurface = nullptr;
    ext->lockedRect.Pitch = 0;
    ext->lockedRect.pBits = nullptr;
    ext->dxtFormat = 0;
    ext->lockedLevel = rwD3D8NOLOCKEDLEVEL;
    ext->window = nullptr;
    raster->cpPixels = nullptr;
    raster->palette = nullptr;
    const RwInt32 type = flags & rwRASTERTYPEMASK;
    raster->cType = static_cast<RwUInt8>(type);
    raster->cFlags = static_cast<RwUInt8>(flags & 0xF8);

    RwInt32 format = flags & rwRASTERFORMATMASK;
    if (!ChooseFormat(raster, type, &format)) {
        return FALSE;
    }
    raster->cFormat = static_cast<RwUInt8>(format >> 8);

    if (raster->width == 0 || raster->height == 0) {
        raster->cFlags = rwRASTERDONTALLOCATE;
        raster->stride = 0;
        if (raster->depth == 0) {
            raster->depth = 16;
        }
        return type != rwRASTERTYPECAMERA || RwD3D8RasterVideoListAdd(raster);
    }

    const RwBool dontAllocate = (raster->cFlags & rwRASTERDONTALLOCATE) != 0;
    switch (type) {
    case rwRASTERTYPENORMAL:
    case rwRASTERTYPETEXTURE:
        if (dontAllocate) {
            return TRUE;
        }
        if (!CreateManagedTexture(raster, ext, format)) {
            return FALSE;
        }
        break;
    case rwRASTERTYPEZBUFFER:
        if (dontAllocate) {
            return TRUE;
        }
        if (!RwD3D8CreateZBuffer(raster)) {
            return FALSE;
        }
        break;
    case rwRASTERTYPECAMERA:
        if (!CreateCameraRaster(raster)) {
            return FALSE;
        }
        break;
    default:  // camera texture
        if (dontAllocate) {
            return TRUE;
        }
        if (!RwD3D8CreateCameraTexture(raster)) {
            return FALSE;
        }
        break;
    }
    const RwBool listed = (type != rwRASTERTYPENORMAL && type != rwRASTERTYPETEXTURE) || ext->palette != nullptr;
    if (listed && !RwD3D8RasterVideoListAdd(raster)) {
        RwD3D8RasterDestroy(nullptr, raster, 0);
        RwErrorReportCommon(E_RW_NOMEM);
        return FALSE;
    }
    return TRUE;
}

RwBool RwD3D8RasterDestroy(void *, void *in, RwInt32)
{
    auto *raster = static_cast<RwRaster *>(in);
    RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
    // A destroyed raster must not stay bound to any stage.
    if (RwD3D8UnbindRaster(raster) && ext->palette != nullptr && rwD3D8Device.device != nullptr) {
        rwD3D8Device.device->SetCurrentTexturePalette(0);
    }
    RwD3D8RasterVideoListRemove(raster);
    if (raster->parent != raster) {
        return TRUE;
    }
    const RwBool dontAllocate = (raster->cFlags & rwRASTERDONTALLOCATE) != 0;
    switch (raster->cType & rwRASTERTYPEMASK) {
    case rwRASTERTYPENORMAL:
    case rwRASTERTYPETEXTURE:
    case rwRASTERTYPECAMERATEXTURE:
        if (dontAllocate) {
            return TRUE;
        }
        if (ext->palette != nullptr) {
            RwD3D8PaletteDestroy(ext->palette);
            ext->palette = nullptr;
        }
        if (ext->texture != nullptr) {
            static_cast<IUnknown *>(RwD3D8RasterGetBaseTexture(raster))->Release();
            ext->texture = nullptr;
        }
        return TRUE;
    case rwRASTERTYPEZBUFFER:
        if (!dontAllocate && ext->texture != nullptr && ext->texture != rwD3D8Device.mainDepthStencil) {
            RwD3D8RasterExtSurface(ext)->Release();
        }
        ext->texture = nullptr;
        return TRUE;
    case rwRASTERTYPECAMERA:
        return TRUE;
    default:
        RwErrorReportCommon(E_RW_INVRASTERFORMAT);
        return FALSE;
    }
}

RwBool RwD3D8StandardIdentity(void *out, void *in, RwInt32)
{
    *static_cast<void **>(out) = in;
    return TRUE;
}

RwBool RwD3D8SetRasterContext(void *, void *raster, RwInt32)
{
    gRasterContext = static_cast<RwRaster *>(raster);
    return TRUE;
}

RwRaster *RwD3D8GetRasterContext(void) { return gRasterContext; }

RwBool RwD3D8RasterSubRaster(void *out, void *in, RwInt32)
{
    auto *subRaster = static_cast<RwRaster *>(out);
    auto *parent = static_cast<RwRaster *>(in);
    subRaster->depth = parent->depth;
    subRaster->stride = parent->stride;
    subRaster->cType = parent->cType;
    subRaster->cFormat = parent->cFormat;
    subRaster->cpPixels = nullptr;
    if ((parent->cType & rwRASTERTYPEMASK) == rwRASTERTYPECAMERA && !RwD3D8RasterVideoListContains(subRaster)) {
        return RwD3D8RasterVideoListAdd(subRaster);
    }
    return TRUE;
}

RwBool RwD3D8RasterGetNumLevels(void *out, void *in, RwInt32)
{
    RwRaster *top = RwD3D8RasterGetTop(static_cast<RwRaster *>(in));
    auto *levels = static_cast<RwInt32 *>(out);
    const RwInt32 type = top->cType & rwRASTERTYPEMASK;
    if (type != rwRASTERTYPENORMAL && type != rwRASTERTYPETEXTURE && type != rwRASTERTYPECAMERATEXTURE) {
        *levels = 1;
        return TRUE;
    }
    if (IDirect3DBaseTexture8 *texture = RwD3D8RasterGetBaseTexture(top)) {
        *levels = static_cast<RwInt32>(texture->GetLevelCount());
        return TRUE;
    }
    RwUInt32 extent = static_cast<RwUInt32>(top->width > top->height ? top->width : top->height);
    RwInt32 bits = 0;
    while (extent != 0) {
        ++bits;
        extent >>= 1;
    }
    *levels = bits;
    return TRUE;
}
