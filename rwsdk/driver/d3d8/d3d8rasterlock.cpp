// Locking rasters for the processor: texture levels are locked in place;
// camera and camera-texture rasters go through an image surface that is
// copied in for reading and out after writing. Palettes lock separately.
#include "driver/d3d8/d3d8raster.h"

namespace {

RwInt32 Shrink(RwInt32 extent, RwUInt32 level)
{
    const RwInt32 shrunk = level < 31 ? extent >> level : 0;
    return shrunk > 0 ? shrunk : 1;
}

RwBool IsTop(const RwRaster *raster) { return raster->parent == raster; }

RECT SubRect(const RwRaster *raster)
{
    return RECT{raster->nOffsetX, raster->nOffsetY, raster->nOffsetX + raster->width,
                raster->nOffsetY + raster->height};
}

// The surface a camera or camera-texture raster shows: the back buffer (or
// the swap chain's), or the locked level of the texture. A reference.
IDirect3DSurface8 *CameraSurface(RwRaster *top, RwUInt32 level)
{
    RwD3D8RasterExt *ext = RwD3D8RasterGetExt(top);
    if ((top->cType & rwRASTERTYPEMASK) == rwRASTERTYPECAMERATEXTURE) {
        return RwD3D8RasterGetLevelSurface(top, level);
    }
    if (ext->swapChain != nullptr && ext->texture != nullptr) {
        RwD3D8RasterExtSurface(ext)->AddRef();
        return RwD3D8RasterExtSurface(ext);
    }
    IDirect3DSurface8 *backBuffer = nullptr;
    if (rwD3D8Device.device == nullptr ||
        FAILED(rwD3D8Device.device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer))) {
        return nullptr;
    }
    return backBuffer;
}

RwBool LockTextureLevel(RwRaster *raster, RwD3D8RasterExt *ext, RwUInt32 level, DWORD flags)
{
    ext->lockedSurface = RwD3D8RasterGetLevelSurface(RwD3D8RasterGetTop(raster), level);
    if (ext->lockedSurface == nullptr) {
        return FALSE;
    }
    const RECT rect = SubRect(raster);
    if (FAILED(ext->lockedSurface->LockRect(&ext->lockedRect, IsTop(raster) ? nullptr : &rect, flags))) {
        ext->lockedSurface->Release();
        ext->lockedSurface = nullptr;
        return FALSE;
    }
    return TRUE;
}

RwBool LockCameraSurface(RwRaster *raster, RwD3D8RasterExt *ext, RwUInt32 level, RwInt32 mode, DWORD flags)
{
    IDirect3DSurface8 *source = CameraSurface(RwD3D8RasterGetTop(raster), level);
    if (source == nullptr) {
        return FALSE;
    }
    D3DSURFACE_DESC desc;
    RwBool ok = SUCCEEDED(source->GetDesc(&desc));
    IDirect3DSurface8 *image = nullptr;
    if (ok) {
        const UINT width = IsTop(raster) ? desc.Width : static_cast<UINT>(raster->width);
        const UINT height = IsTop(raster) ? desc.Height : static_cast<UINT>(raster->height);
        ok = SUCCEEDED(rwD3D8Device.device->CreateImageSurface(width, height, desc.Format, &image));
    }
    if (ok && (mode & rwRASTERLOCKREAD)) {
        if (IsTop(raster)) {
            ok = SUCCEEDED(rwD3D8Device.device->CopyRects(source, nullptr, 0, image, nullptr));
        } else {
            const RECT rect = SubRect(raster);
            const POINT origin = {0, 0};
            ok = SUCCEEDED(rwD3D8Device.device->CopyRects(source, &rect, 1, image, &origin));
        }
    }
    if (ok) {
        ok = SUCCEEDED(image->LockRect(&ext->lockedRect, nullptr, flags));
    }
    source->Release();
    if (!ok) {
        if (image != nullptr) {
            image->Release();
        }
        return FALSE;
    }
    ext->lockedSurface = image;
    return TRUE;
}

// The texture module rebuilds the levels below 0 from level 0.
void RegenerateMipLevels(RwRaster *raster, RwD3D8RasterExt *ext)
{
    ext->lockedLevel = rwD3D8NOLOCKEDLEVEL;
    RwTextureRasterGenerateMipmaps(RwD3D8RasterGetTop(raster), nullptr);
}

// A back buffer shrunk with its window is smaller than the camera raster
// made for the old size: the lock shows only the pixels there are.
void ClampToSurface(RwRaster *raster, IDirect3DSurface8 *surface)
{
    D3DSURFACE_DESC desc;
    if (surface == nullptr || FAILED(surface->GetDesc(&desc))) {
        return;
    }
    if (static_cast<UINT>(raster->width) > desc.Width) {
        raster->width = static_cast<RwInt32>(desc.Width);
    }
    if (static_cast<UINT>(raster->height) > desc.Height) {
        raster->height = static_cast<RwInt32>(desc.Height);
    }
}

void RestoreUnlockedSize(RwRaster *raster)
{
    raster->width = raster->originalWidth;
    raster->height = raster->originalHeight;
    raster->stride = 0;
    raster->cpPixels = nullptr;
}

}  // namespace

RwBool RwD3D8RasterLock(void *out, void *in, RwInt32 number)
{
    auto *raster = static_cast<RwRaster *>(in);
    RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
    if (raster->cpPixels != nullptr) {
        RwErrorReportCommon(E_RW_INVRASTERLOCKREQ);
        return FALSE;
    }
    const RwUInt32 level = static_cast<RwUInt32>(number >> 8) & 0xFF;
    const RwInt32 mode = number & 0xFF;
    const DWORD flags = (mode & rwRASTERLOCKWRITE) ? D3DLOCK_NOSYSLOCK
                                                   : D3DLOCK_READONLY | D3DLOCK_NOSYSLOCK | D3DLOCK_NO_DIRTY_UPDATE;
    RwBool locked;
    switch (raster->cType & rwRASTERTYPEMASK) {
    case rwRASTERTYPENORMAL:
    case rwRASTERTYPETEXTURE:
        locked = LockTextureLevel(raster, ext, level, flags);
        break;
    case rwRASTERTYPECAMERA:
    case rwRASTERTYPECAMERATEXTURE:
        locked = LockCameraSurface(raster, ext, level, mode, flags);
        break;
    default:
        RwErrorReportCommon(E_RW_INVRASTERLOCKREQ);
        return FALSE;
    }
    if (!locked) {
        return FALSE;
    }
    if (mode & rwRASTERLOCKREAD) {
        raster->privateFlags |= rwD3D8RASTERLOCKREAD;
    }
    if (mode & rwRASTERLOCKWRITE) {
        raster->privateFlags |= rwD3D8RASTERLOCKWRITE;
    }
    raster->cpPixels = static_cast<RwUInt8 *>(ext->lockedRect.pBits);
    raster->originalWidth = raster->width;
    raster->originalHeight = raster->height;
    raster->width = Shrink(raster->width, level);
    raster->height = Shrink(raster->height, level);
    if (IsTop(raster)) {
        ClampToSurface(raster, ext->lockedSurface);
    }
    raster->stride = ext->lockedRect.Pitch;
    ext->lockedLevel = level;
    *static_cast<RwUInt8 **>(out) = raster->cpPixels;
    return TRUE;
}

RwBool RwD3D8RasterUnlock(void *, void *in, RwInt32)
{
    auto *raster = static_cast<RwRaster *>(in);
    RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
    if (raster->cpPixels == nullptr) {
        RwErrorReportCommon(E_RW_INVRASTERUNLOCKREQ);
        return FALSE;
    }
    const RwInt32 type = raster->cType & rwRASTERTYPEMASK;
    const RwBool wrote = (raster->privateFlags & rwD3D8RASTERLOCKWRITE) != 0;
    const RwBool autoMip = (raster->cFormat & (rwRASTERFORMATAUTOMIPMAP >> 8)) != 0;
    switch (type) {
    case rwRASTERTYPENORMAL:
    case rwRASTERTYPETEXTURE:
        ext->lockedSurface->UnlockRect();
        ext->lockedSurface->Release();
        ext->lockedSurface = nullptr;
        RestoreUnlockedSize(raster);
        raster->privateFlags &= static_cast<RwUInt8>(~rwD3D8RASTERLOCKED);
        if (wrote && autoMip && ext->lockedLevel == 0) {
            RegenerateMipLevels(raster, ext);
        }
        return TRUE;
    case rwRASTERTYPECAMERA:
    case rwRASTERTYPECAMERATEXTURE: {
        RestoreUnlockedSize(raster);
        IDirect3DSurface8 *image = ext->lockedSurface;
        ext->lockedSurface = nullptr;
        image->UnlockRect();
        RwBool ok = TRUE;
        if (wrote) {
            IDirect3DSurface8 *destination = CameraSurface(RwD3D8RasterGetTop(raster), ext->lockedLevel);
            if (destination == nullptr) {
                ok = FALSE;
            } else if (IsTop(raster)) {
                ok = SUCCEEDED(rwD3D8Device.device->CopyRects(image, nullptr, 0, destination, nullptr));
            } else {
                const RECT rect = {0, 0, raster->width, raster->height};
                const POINT at = {raster->nOffsetX, raster->nOffsetY};
                ok = SUCCEEDED(rwD3D8Device.device->CopyRects(image, &rect, 1, destination, &at));
            }
            if (destination != nullptr) {
                destination->Release();
            }
        }
        image->Release();
        raster->privateFlags &= static_cast<RwUInt8>(~rwD3D8RASTERLOCKED);
        if (wrote && type == rwRASTERTYPECAMERATEXTURE && autoMip && ext->lockedLevel == 0) {
            RegenerateMipLevels(raster, ext);
        }
        return ok;
    }
    default:
        RwErrorReportCommon(E_RW_INVRASTERUNLOCKREQ);
        return FALSE;
    }
}

namespace {

RwBool HasPalette(const RwRaster *raster)
{
    const RwInt32 type = raster->cType & rwRASTERTYPEMASK;
    return type == rwRASTERTYPENORMAL || type == rwRASTERTYPETEXTURE || type == rwRASTERTYPECAMERATEXTURE;
}

}  // namespace

RwBool RwD3D8RasterLockPalette(void *out, void *in, RwInt32 mode)
{
    auto *raster = static_cast<RwRaster *>(in);
    if (!HasPalette(raster)) {
        RwErrorReportCommon(E_RW_INVRASTERLOCKREQ);
        return FALSE;
    }
    RwD3D8Palette *palette = RwD3D8RasterGetExt(RwD3D8RasterGetTop(raster))->palette;
    if (palette == nullptr) {
        return FALSE;
    }
    raster->palette = reinterpret_cast<RwUInt8 *>(palette->entries);
    raster->privateFlags |= rwD3D8RASTERPALLOCKED;
    if (mode & rwRASTERLOCKWRITE) {
        raster->privateFlags |= rwD3D8RASTERPALLOCKWRITE;
    }
    *static_cast<RwUInt8 **>(out) = raster->palette;
    return TRUE;
}

RwBool RwD3D8RasterUnlockPalette(void *, void *in, RwInt32)
{
    auto *raster = static_cast<RwRaster *>(in);
    if (!HasPalette(raster)) {
        RwErrorReportCommon(E_RW_INVRASTERUNLOCKREQ);
        return FALSE;
    }
    RwD3D8Palette *palette = RwD3D8RasterGetExt(RwD3D8RasterGetTop(raster))->palette;
    RwBool ok = TRUE;
    if ((raster->privateFlags & rwD3D8RASTERPALLOCKWRITE) && palette != nullptr && rwD3D8Device.device != nullptr) {
        ok = SUCCEEDED(rwD3D8Device.device->SetPaletteEntries(palette->globalindex, palette->entries));
    }
    raster->palette = nullptr;
    raster->privateFlags &= static_cast<RwUInt8>(~(rwD3D8RASTERPALLOCKED | rwD3D8RASTERPALLOCKWRITE));
    return ok;
}
