// Which raster formats the device can really supply: the raster format of a
// Direct3D format, and the resolution of a requested type and format into
// the nearest one the device accepts.
#include "driver/d3d8/d3d8raster.h"

namespace {

constexpr RwInt32 kPixelMask = rwRASTERFORMATPIXELFORMATMASK;

RwBool DeviceHasFormat(D3DFORMAT format) { return RwD3D8CheckTextureFormat(format); }

RwInt32 WithPixel(RwInt32 flags, RwInt32 pixel) { return (flags & ~kPixelMask) | pixel; }

// 8888, else 4444, else 1555: what an alpha texture falls back to.
RwInt32 BestAlphaFormat(RwBool allow8888)
{
    if (allow8888 && DeviceHasFormat(D3DFMT_A8R8G8B8)) {
        return rwRASTERFORMAT8888;
    }
    return DeviceHasFormat(D3DFMT_A4R4G4B4) ? rwRASTERFORMAT4444 : rwRASTERFORMAT1555;
}

RwInt32 ResolveCameraTexture(RwInt32 flags)
{
    const RwInt32 pixel = flags & kPixelMask;
    const RwBool deep = RwD3D8ZBufferDepth() != 16;
    if (pixel == 0) {
        return WithPixel(flags, deep && RwD3D8CheckRenderTargetFormat(D3DFMT_X8R8G8B8) ? rwRASTERFORMAT888
                                                                                        : rwRASTERFORMAT565);
    }
    if (deep) {
        switch (pixel) {
        case rwRASTERFORMAT4444:
        case rwRASTERFORMAT1555:
            flags = WithPixel(flags, rwRASTERFORMAT8888);
            break;
        case rwRASTERFORMAT565:
            flags = WithPixel(flags, rwRASTERFORMAT888);
            break;
        case rwRASTERFORMAT555:
            return rwRASTERFORMAT888;
        default:
            break;
        }
        if ((flags & kPixelMask) == rwRASTERFORMAT8888 && !RwD3D8CheckRenderTargetFormat(D3DFMT_A8R8G8B8)) {
            flags = WithPixel(flags, rwRASTERFORMAT888);
        }
        return flags;
    }
    if (pixel == rwRASTERFORMAT8888) {
        flags = WithPixel(flags, rwRASTERFORMAT4444);
    } else if (pixel == rwRASTERFORMAT888) {
        flags = WithPixel(flags, rwRASTERFORMAT565);
    }
    if ((flags & kPixelMask) == rwRASTERFORMAT4444 && !RwD3D8CheckRenderTargetFormat(D3DFMT_A4R4G4B4)) {
        flags = WithPixel(flags, rwRASTERFORMAT1555);
    }
    if ((flags & kPixelMask) == rwRASTERFORMAT1555 && !RwD3D8CheckRenderTargetFormat(D3DFMT_A1R5G5B5)) {
        flags = WithPixel(flags, rwRASTERFORMAT565);
    }
    return flags;
}

RwInt32 ResolveUnpalettised(RwInt32 flags)
{
    switch (flags & kPixelMask) {
    case 0:
    case rwRASTERFORMAT8888:
        return WithPixel(flags, BestAlphaFormat(TRUE));
    case rwRASTERFORMAT888:
        return WithPixel(flags, DeviceHasFormat(D3DFMT_X8R8G8B8) ? rwRASTERFORMAT888 : rwRASTERFORMAT565);
    case rwRASTERFORMAT4444:
        return WithPixel(flags, BestAlphaFormat(FALSE));
    case rwRASTERFORMATLUM8:
        if (DeviceHasFormat(D3DFMT_L8)) {
            return flags;
        }
        return WithPixel(flags, DeviceHasFormat(D3DFMT_X8R8G8B8) ? rwRASTERFORMAT888 : rwRASTERFORMAT565);
    default:
        return flags;
    }
}

RwInt32 ResolveTexture(RwInt32 flags)
{
    if (flags & rwRASTERFORMATPAL4) {
        flags = (flags & ~rwRASTERFORMATPAL4) | rwRASTERFORMATPAL8;
    }
    const RwInt32 pixel = flags & kPixelMask;
    if (!(flags & rwRASTERFORMATPAL8)) {
        return ResolveUnpalettised(flags);
    }
    if (pixel == 0) {
        if (DeviceHasFormat(D3DFMT_P8)) {
            return WithPixel(flags, RwD3D8AlphaPalettes() ? rwRASTERFORMAT8888 : rwRASTERFORMAT888);
        }
        return ResolveUnpalettised(flags & ~rwRASTERFORMATPAL8);
    }
    if (DeviceHasFormat(D3DFMT_P8) && (pixel != rwRASTERFORMAT8888 || RwD3D8AlphaPalettes())) {
        return flags;
    }
    flags &= ~rwRASTERFORMATPAL8;
    const RwBool deepDisplay = RwD3D8DisplayDepth() > 16;
    if (pixel == rwRASTERFORMAT888) {
        return WithPixel(flags,
                         deepDisplay && DeviceHasFormat(D3DFMT_X8R8G8B8) ? rwRASTERFORMAT888 : rwRASTERFORMAT565);
    }
    return WithPixel(flags, BestAlphaFormat(deepDisplay));
}

}  // namespace

RwUInt32 RwD3D8FindRasterFormat(D3DFORMAT format)
{
    for (RwInt32 index = 1; index < rwD3D8PIXELFORMATCOUNT; ++index) {
        if (format != D3DFMT_UNKNOWN && RwD3D8PixelFormatOf(index << 8)->d3dFormat == format) {
            return static_cast<RwUInt32>(index << 8);
        }
    }
    RwErrorReportCommon(E_RW_INVRASTERFORMAT);
    return 0;
}

RwInt32 RwD3D8RasterResolveFormat(RwInt32 type, RwInt32 flags)
{
    flags &= rwRASTERFORMATMASK;
    const RwInt32 pixel = flags & kPixelMask;
    switch (type) {
    case rwRASTERTYPENORMAL:
    case rwRASTERTYPETEXTURE:
        return ResolveTexture(flags);
    case rwRASTERTYPEZBUFFER:
        if (pixel != 0) {
            RwErrorReportCommon(E_RW_INVRASTERFORMAT);
            return flags;
        }
        if (RwD3D8ZBufferDepth() == 16) {
            return flags | rwRASTERFORMAT16;
        }
        return RwD3D8ZBufferDepth() == 32 ? flags | rwRASTERFORMAT32 : flags;
    case rwRASTERTYPECAMERA:
        if (pixel != 0) {
            RwErrorReportCommon(E_RW_INVRASTERFORMAT);
            return flags;
        }
        return flags | static_cast<RwInt32>(RwD3D8FindRasterFormat(RwD3D8DisplayFormat()));
    case rwRASTERTYPECAMERATEXTURE:
        return ResolveCameraTexture(flags);
    default:
        RwErrorReportCommon(E_RW_INVRASTERFORMAT);
        return flags;
    }
}

RwBool RwD3D8RasterSetFormat(RwRaster *raster, RwInt32 flags)
{
    const RwInt32 resolved = RwD3D8RasterResolveFormat(flags & rwRASTERTYPEMASK, flags);
    raster->cType = static_cast<RwUInt8>(flags & rwRASTERTYPEMASK);
    raster->cFlags = static_cast<RwUInt8>(flags & 0xF8);
    raster->cFormat = static_cast<RwUInt8>(resolved >> 8);
    // A palettised raster holds one index byte per pixel whatever its palette's format.
    raster->depth = (resolved & (rwRASTERFORMATPAL8 | rwRASTERFORMATPAL4)) ? 8 : RwD3D8PixelFormatOf(resolved)->depth;
    if ((resolved & kPixelMask) == rwRASTERFORMAT16) {
        raster->depth = 16;
    } else if ((resolved & kPixelMask) == rwRASTERFORMAT32) {
        raster->depth = 32;
    }
    return TRUE;
}
