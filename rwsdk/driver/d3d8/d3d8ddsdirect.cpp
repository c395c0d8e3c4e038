// The device side of DDS loading: files whose layout the device holds as it
// is (DXT blocks, cube maps, the plain RGB layouts) become Direct3D textures
// and their levels are read straight into the locked levels. Everything else
// is left to the software decoder of the DDS reader.
#include "driver/d3d8/d3d8raster.h"
#include "rwd3d8dds.h"

namespace {

constexpr RwUInt32 kFourCC = 0x4;
constexpr RwUInt32 kRgb = 0x40;
constexpr RwUInt32 kRgba = 0x41;
constexpr RwUInt32 kMipMapCount = 0x20000;

// How the device takes an RGB layout: raster format and Direct3D format;
// `tested` says whether plain textures need the format test.
struct RgbLayout {
    RwInt32 format;
    D3DFORMAT d3dFormat;
    RwBool tested;
};

RwBool FindRgbLayout(const RwD3D8DDSHeader *header, RgbLayout *layout)
{
    if (header->pixelFormatFlags == kRgb && header->rgbBitCount == 32) {
        if (header->redMask == 0xFF0000) {
            *layout = {rwRASTERFORMAT888, D3DFMT_X8R8G8B8, TRUE};
            return TRUE;
        }
        if (header->redMask == 0xF800) {
            *layout = {rwRASTERFORMAT565, D3DFMT_R5G6B5, FALSE};
            return TRUE;
        }
    }
    if (header->pixelFormatFlags == kRgba) {
        switch (header->redMask) {
        case 0xFF0000:
            *layout = {rwRASTERFORMAT8888, D3DFMT_A8R8G8B8, TRUE};
            return TRUE;
        case 0x7C00:
            *layout = {rwRASTERFORMAT1555, D3DFMT_A1R5G5B5, FALSE};
            return TRUE;
        case 0xF000:
            *layout = {rwRASTERFORMAT4444, D3DFMT_A4R4G4B4, TRUE};
            return TRUE;
        default:
            break;
        }
    }
    return FALSE;
}

RwBool IsCube(const RwD3D8DDSHeader *header) { return (header->caps1 & 0x8) && (header->caps2 & 0xFE00); }

// A raster around a cube or compressed texture made here rather than by
// raster creation.
RwRaster *CreateOwnTexture(const RwD3D8DDSHeader *header, D3DFORMAT format, RwBool cube, RwInt32 rasterFormat)
{
    const RwBool mipmapped = (header->flags & kMipMapCount) != 0;
    RwRaster *raster =
        RwRasterCreate(static_cast<RwInt32>(header->width), static_cast<RwInt32>(header->height), 0,
                       rwRASTERTYPETEXTURE | rwRASTERDONTALLOCATE | rasterFormat | (mipmapped ? rwRASTERFORMATMIPMAP : 0));
    if (raster == nullptr) {
        return nullptr;
    }
    raster->cFlags &= static_cast<RwUInt8>(~rwRASTERDONTALLOCATE);
    RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
    const RwBool hasCount = mipmapped && header->mipMapCount > 0;
    HRESULT hr;
    if (cube) {
        const D3DCAPS8 *caps = RwD3D8GetDeviceCaps();
        const RwBool mipCubes = caps != nullptr &&
                                (caps->CubeTextureFilterCaps & (D3DPTFILTERCAPS_MIPFPOINT | D3DPTFILTERCAPS_MIPFLINEAR));
        const UINT levels = mipCubes && hasCount ? static_cast<UINT>(RwD3D8DDSLevelCount(header)) : 1;
        IDirect3DCubeTexture8 *texture = nullptr;
        ext->cube = 1;
        hr = rwD3D8Device.device->CreateCubeTexture(header->width, levels, 0, format, D3DPOOL_MANAGED, &texture);
        ext->texture = texture;
    } else {
        const UINT levels = hasCount ? static_cast<UINT>(RwD3D8DDSLevelCount(header)) : 1;
        IDirect3DTexture8 *texture = nullptr;
        hr = rwD3D8Device.device->CreateTexture(header->width, header->height, levels, 0, format, D3DPOOL_MANAGED,
                                                &texture);
        ext->texture = texture;
    }
    if (FAILED(hr)) {
        ext->texture = nullptr;
        RwRasterDestroy(raster);
        return nullptr;
    }
    return raster;
}

// Every stored face and level, read into the levels the raster has and
// skipped for those it lacks; each count is the file's own and must match
// the level it fills.
RwBool UploadLevels(RwStream *stream, const RwD3D8DDSHeader *header, RwRaster *raster)
{
    RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
    const RwInt32 stored = RwD3D8DDSLevelCount(header);
    const RwInt32 held = RwRasterGetNumLevels(raster);
    const RwBool cube = IsCube(header);
    for (RwUInt32 face = 0; face < 6; ++face) {
        if (cube ? !(header->caps2 & (0x400u << face)) : face > 0) {
            continue;
        }
        ext->face = static_cast<RwUInt8>(face);
        for (RwInt32 level = 0; level < stored; ++level) {
            const RwUInt32 bytes = RwD3D8DDSLevelSize(header, header->width >> level, header->height >> level);
            if (bytes == 0 || bytes > RwStreamBytesLeft(stream)) {
                return FALSE;
            }
            if (level >= held) {
                if (RwStreamSkip(stream, bytes) == nullptr) {
                    return FALSE;
                }
                continue;
            }
            RwUInt8 *pixels = RwRasterLock(raster, static_cast<RwUInt8>(level), rwRASTERLOCKWRITE);
            if (pixels == nullptr) {
                return FALSE;
            }
            const RwUInt32 room = static_cast<RwUInt32>(raster->stride) *
                                  static_cast<RwUInt32>(ext->dxtFormat ? (raster->height + 3) / 4 : raster->height);
            const RwBool ok = bytes == room && RwStreamRead(stream, pixels, bytes) == bytes;
            RwRasterUnlock(raster);
            if (!ok) {
                return FALSE;
            }
        }
    }
    return TRUE;
}

// A DXT1 level holds 1-bit alpha when a three-colour block uses index 3 on
// a texel inside the level.
RwBool LevelHasTransparency(const RwUInt8 *blocks, RwInt32 stride, RwInt32 width, RwInt32 height)
{
    for (RwInt32 by = 0; by * 4 < height; ++by) {
        for (RwInt32 bx = 0; bx * 4 < width; ++bx) {
            const RwUInt8 *block = blocks + static_cast<size_t>(by) * stride + bx * 8;
            const RwUInt32 c0 = block[0] | (block[1] << 8);
            const RwUInt32 c1 = block[2] | (block[3] << 8);
            if (c0 > c1) {
                continue;
            }
            for (RwInt32 y = 0; y < 4 && by * 4 + y < height; ++y) {
                for (RwInt32 x = 0; x < 4 && bx * 4 + x < width; ++x) {
                    if (((block[4 + y] >> (2 * x)) & 3) == 3) {
                        return TRUE;
                    }
                }
            }
        }
    }
    return FALSE;
}

void SetPixelFormat(RwRaster *raster, RwInt32 format)
{
    raster->cFormat = static_cast<RwUInt8>((raster->cFormat & ~(rwRASTERFORMATPIXELFORMATMASK >> 8)) | (format >> 8));
    raster->depth = 16;
}

void FinishCompressed(RwRaster *raster, RwUInt32 fourCC)
{
    RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
    if (fourCC != static_cast<RwUInt32>(D3DFMT_DXT1)) {
        ext->alpha = 1;
        SetPixelFormat(raster, rwRASTERFORMAT4444);
        return;
    }
    RwBool transparent = FALSE;
    const RwInt32 levels = RwRasterGetNumLevels(raster);
    for (RwInt32 level = 0; level < levels && !transparent; ++level) {
        const RwUInt8 *blocks = RwRasterLock(raster, static_cast<RwUInt8>(level), rwRASTERLOCKREAD);
        if (blocks != nullptr) {
            transparent = LevelHasTransparency(blocks, raster->stride, raster->width, raster->height);
            RwRasterUnlock(raster);
        }
    }
    ext->alpha = static_cast<RwUInt8>(transparent);
    SetPixelFormat(raster, transparent ? rwRASTERFORMAT1555 : rwRASTERFORMAT565);
}

RwRaster *DirectLoad(RwStream *stream, const RwD3D8DDSHeader *header, RwBool *refused, RwUInt32 *accepted)
{
    if (rwD3D8Device.device == nullptr) {
        return nullptr;  // no device: everything is decoded in software
    }
    *accepted = (RwD3D8CheckTextureFormat(D3DFMT_A8R8G8B8) ? rwDDSACCEPTS8888 : 0u) |
                (RwD3D8CheckTextureFormat(D3DFMT_A4R4G4B4) ? rwDDSACCEPTS4444 : 0u) |
                (RwD3D8CheckTextureFormat(D3DFMT_X8R8G8B8) ? rwDDSACCEPTS888 : 0u);
    const RwBool cube = IsCube(header);
    if (cube && header->width != header->height) {
        // The device makes square faces of the file's width: a taller or
        // wider face would not fit the levels it is read into.
        *refused = TRUE;
        return nullptr;
    }
    RwRaster *raster = nullptr;
    if (header->pixelFormatFlags == kFourCC) {
        const auto format = static_cast<D3DFORMAT>(header->fourCC);
        if (!(cube ? RwD3D8CheckCubeTextureFormat(format) : RwD3D8CheckTextureFormat(format))) {
            *refused = cube;
            return nullptr;
        }
        raster = CreateOwnTexture(header, format, cube, rwRASTERFORMATDEFAULT);
        if (raster != nullptr) {
            RwD3D8RasterGetExt(raster)->dxtFormat = header->fourCC;
        }
    } else {
        RgbLayout layout;
        if (!FindRgbLayout(header, &layout)) {
            *refused = header->pixelFormatFlags == kRgba || cube;
            return nullptr;
        }
        RwInt32 width = static_cast<RwInt32>(header->width);
        RwInt32 height = static_cast<RwInt32>(header->height);
        const RwInt32 mip = (header->flags & kMipMapCount) ? rwRASTERFORMATMIPMAP : 0;
        RwD3D8AdjustTextureSize(&width, &height, rwRASTERTYPETEXTURE, layout.format | mip);
        const RwBool sized = width == static_cast<RwInt32>(header->width) && height == static_cast<RwInt32>(header->height);
        if (cube) {
            if (!sized || !RwD3D8CheckCubeTextureFormat(layout.d3dFormat)) {
                *refused = TRUE;
                return nullptr;
            }
            raster = CreateOwnTexture(header, layout.d3dFormat, TRUE, layout.format);
        } else {
            if (!sized || (layout.tested && !RwD3D8CheckTextureFormat(layout.d3dFormat))) {
                return nullptr;
            }
            raster = RwRasterCreate(width, height, 0, rwRASTERTYPETEXTURE | layout.format | mip);
        }
    }
    if (raster == nullptr || !UploadLevels(stream, header, raster)) {
        if (raster != nullptr) {
            RwRasterDestroy(raster);
        }
        *refused = TRUE;
        return nullptr;
    }
    RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
    ext->face = 0;
    if (ext->dxtFormat != 0) {
        FinishCompressed(raster, ext->dxtFormat);
    } else {
        ext->alpha = static_cast<RwUInt8>(header->pixelFormatFlags == kRgba);
    }
    return raster;
}

}  // namespace

void RwD3D8DDSInstallDirectLoad(void) { RwD3D8DDSSetDirectLoad(DirectLoad); }
