// Moving pixels between images in main memory and device rasters: images
// from locked rasters, and rasters filled from images of any depth through
// packing lookups, row copies or the palette quantiser.
#include <cstring>

#include <emmintrin.h>

#include "driver/d3d8/d3d8raster.h"

namespace {

RwBool IsPalettised(const RwRaster *raster)
{
    return (raster->cFormat & ((rwRASTERFORMATPAL8 | rwRASTERFORMATPAL4) >> 8)) != 0;
}

RwInt32 RasterFormat(const RwRaster *raster) { return static_cast<RwInt32>(raster->cFormat) << 8; }

// Locks taken by a conversion and given back at its end.
struct ConversionLocks {
    RwRaster *raster;
    RwBool pixels;
    RwBool palette;
};

RwBool TakeLocks(ConversionLocks *locks, RwRaster *raster, RwInt32 mode)
{
    locks->raster = raster;
    locks->pixels = FALSE;
    locks->palette = FALSE;
    const RwUInt8 held = (mode & rwRASTERLOCKWRITE) ? rwD3D8RASTERLOCKWRITE : rwD3D8RASTERLOCKED;
    if (raster->cpPixels == nullptr || !(raster->privateFlags & held)) {
        RwUInt8 *pixels = nullptr;
        if (!RwD3D8RasterLock(&pixels, raster, mode)) {
            return FALSE;
        }
        locks->pixels = TRUE;
    }
    const RwUInt8 paletteHeld = (mode & rwRASTERLOCKWRITE) ? rwD3D8RASTERPALLOCKWRITE : rwD3D8RASTERPALLOCKED;
    if (IsPalettised(raster) && !(raster->privateFlags & paletteHeld)) {
        RwUInt8 *palette = nullptr;
        if (!RwD3D8RasterLockPalette(&palette, raster, mode & rwRASTERLOCKWRITE)) {
            if (locks->pixels) {
                RwD3D8RasterUnlock(nullptr, raster, 0);
            }
            return FALSE;
        }
        locks->palette = TRUE;
    }
    return TRUE;
}

void GiveLocks(const ConversionLocks *locks)
{
    if (locks->palette) {
        RwD3D8RasterUnlockPalette(nullptr, locks->raster, 0);
    }
    if (locks->pixels) {
        RwD3D8RasterUnlock(nullptr, locks->raster, 0);
    }
}

// Copies rows of `bytes` each between buffers with their own strides.
void CopyRows(RwUInt8 *dst, RwInt32 dstStride, const RwUInt8 *src, RwInt32 srcStride, RwInt32 bytes, RwInt32 rows)
{
    if (dstStride == bytes && srcStride == bytes) {
        std::memcpy(dst, src, static_cast<size_t>(bytes) * rows);
        return;
    }
    for (RwInt32 y = 0; y < rows; ++y) {
        std::memcpy(dst + static_cast<size_t>(y) * dstStride, src + static_cast<size_t>(y) * srcStride, bytes);
    }
}

void StorePixel(RwUInt8 *at, RwInt32 bytes, RwUInt32 value)
{
    switch (bytes) {
    case 1:
        *at = static_cast<RwUInt8>(value);
        break;
    case 2: {
        const RwUInt16 v = static_cast<RwUInt16>(value);
        std::memcpy(at, &v, 2);
        break;
    }
    default:
        std::memcpy(at, &value, 4);
        break;
    }
}

RwUInt32 LoadPixel(const RwUInt8 *at, RwInt32 bytes)
{
    if (bytes == 2) {
        RwUInt16 v;
        std::memcpy(&v, at, 2);
        return v;
    }
    RwUInt32 v;
    std::memcpy(&v, at, 4);
    return v;
}

// Writes every image pixel into the locked raster through `pack`: 32-bit
// pixels one by one, palettised ones through a lookup of packed entries.
void PackImage(RwRaster *raster, const RwImage *image, RwD3D8PixelPacker pack)
{
    const RwInt32 bytes = raster->depth / 8;
    const RwInt32 width = image->width < raster->width ? image->width : raster->width;
    const RwInt32 height = image->height < raster->height ? image->height : raster->height;
    RwUInt32 lookup[256];
    const RwBool palettised = image->depth == 4 || image->depth == 8;
    if (palettised) {
        const RwInt32 entries = 1 << image->depth;
        for (RwInt32 i = 0; i < entries; ++i) {
            const RwUInt8 grey = static_cast<RwUInt8>(i);
            const RwRGBA c = image->palette != nullptr ? image->palette[i] : RwRGBA{grey, grey, grey, 0xFF};
            lookup[i] = pack(c.red, c.green, c.blue, c.alpha);
        }
    }
    // The common 32-bit layouts packed in place, pixel by pixel the packers' own words.
    const bool plain = pack == RwD3D8GetPixelPacker(rwRASTERFORMAT8888);
    if (!palettised && bytes == 4 && (plain || pack == RwD3D8GetPixelPacker(rwRASTERFORMAT888))) {
        const RwUInt32 opaque = plain ? 0u : 0xFF000000u;
        for (RwInt32 y = 0; y < height; ++y) {
            const RwUInt8 *src = image->cpPixels + static_cast<size_t>(y) * image->stride;
            RwUInt8 *dst = raster->cpPixels + static_cast<size_t>(y) * raster->stride;
            // An image pixel's bytes read as a little-endian word are red, green, blue,
            // alpha from the bottom: the packed word swaps red and blue. Four at a time.
            const __m128i keep = _mm_set1_epi32(static_cast<int32_t>(0xFF00FF00u) | static_cast<int32_t>(opaque));
            const __m128i low = _mm_set1_epi32(0xFF);
            RwInt32 x = 0;
            for (; x + 4 <= width; x += 4) {
                const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + x * 4));
                const __m128i swapped =
                    _mm_or_si128(_mm_or_si128(_mm_and_si128(c, keep), _mm_slli_epi32(_mm_and_si128(c, low), 16)),
                                 _mm_or_si128(_mm_and_si128(_mm_srli_epi32(c, 16), low),
                                              _mm_set1_epi32(static_cast<int32_t>(opaque))));
                _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + x * 4), swapped);
            }
            for (; x < width; ++x) {
                const RwUInt8 *c = src + x * 4;
                const RwUInt32 value = (static_cast<RwUInt32>(c[3]) << 24 | static_cast<RwUInt32>(c[0]) << 16 |
                                        static_cast<RwUInt32>(c[1]) << 8 | c[2]) |
                                       opaque;
                std::memcpy(dst + x * 4, &value, 4);
            }
        }
        return;
    }
    for (RwInt32 y = 0; y < height; ++y) {
        const RwUInt8 *src = image->cpPixels + static_cast<size_t>(y) * image->stride;
        RwUInt8 *dst = raster->cpPixels + static_cast<size_t>(y) * raster->stride;
        for (RwInt32 x = 0; x < width; ++x) {
            const RwUInt32 value = palettised ? lookup[src[x] & ((1 << image->depth) - 1)]
                                              : pack(src[x * 4], src[x * 4 + 1], src[x * 4 + 2], src[x * 4 + 3]);
            StorePixel(dst + x * bytes, bytes, value);
        }
    }
}

// Index rows and (at level 0) the image's palette into a palettised raster.
void CopyPalettisedImage(RwRaster *raster, const RwImage *image)
{
    const RwInt32 width = image->width < raster->width ? image->width : raster->width;
    const RwInt32 height = image->height < raster->height ? image->height : raster->height;
    CopyRows(raster->cpPixels, raster->stride, image->cpPixels, image->stride, width, height);
    RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
    if (ext->lockedLevel == 0 && raster->palette != nullptr && image->palette != nullptr) {
        std::memcpy(raster->palette, image->palette, static_cast<size_t>(4) << image->depth);
    }
}

// A palettised image of the raster's depth made by the quantiser.
RwImage *Quantise(const RwImage *image, RwInt32 depth)
{
    RwImage *palettised = RwImageCreate(image->width, image->height, depth);
    if (palettised == nullptr || RwImageAllocatePixels(palettised) == nullptr) {
        if (palettised != nullptr) {
            RwImageDestroy(palettised);
        }
        return nullptr;
    }
    RwPalQuant quantiser;
    if (!RwPalQuantInit(&quantiser)) {
        RwImageDestroy(palettised);
        return nullptr;
    }
    RwPalQuantAddImage(&quantiser, image, 1.0f);
    RwPalQuantResolvePalette(palettised->palette, 1 << depth, &quantiser);
    RwPalQuantMatchImage(palettised->cpPixels, palettised->stride, depth, FALSE, &quantiser, image);
    RwPalQuantTerm(&quantiser);
    return palettised;
}

RwBool ImageFromPalettisedRaster(RwImage *image, RwRaster *raster)
{
    const RwInt32 width = image->width < raster->width ? image->width : raster->width;
    const RwInt32 height = image->height < raster->height ? image->height : raster->height;
    const auto *palette = reinterpret_cast<const RwRGBA *>(raster->palette);
    if (image->depth == 8) {
        CopyRows(image->cpPixels, image->stride, raster->cpPixels, raster->stride, width, height);
        for (RwInt32 i = 0; i < 256; ++i) {
            const RwUInt8 grey = static_cast<RwUInt8>(i);
            image->palette[i] = palette != nullptr ? palette[i] : RwRGBA{grey, grey, grey, 0xFF};
        }
        return TRUE;
    }
    for (RwInt32 y = 0; y < height; ++y) {
        const RwUInt8 *src = raster->cpPixels + static_cast<size_t>(y) * raster->stride;
        RwRGBA *dst = reinterpret_cast<RwRGBA *>(image->cpPixels + static_cast<size_t>(y) * image->stride);
        for (RwInt32 x = 0; x < width; ++x) {
            dst[x] = palette != nullptr ? palette[src[x]] : RwRGBA{src[x], src[x], src[x], 0xFF};
        }
    }
    return TRUE;
}

}  // namespace

RwBool RwD3D8RasterToImage32(RwImage *image, RwRaster *raster)
{
    const RwInt32 format = RasterFormat(raster) & rwRASTERFORMATPIXELFORMATMASK;
    const RwInt32 bytes = raster->depth == 16 ? 2 : 4;
    RwD3D8PixelUnpacker unpack = nullptr;
    if (raster->depth == 16 && (format == rwRASTERFORMAT1555 || format == rwRASTERFORMAT565 ||
                                format == rwRASTERFORMAT4444 || format == rwRASTERFORMAT555)) {
        unpack = RwD3D8GetPixelUnpacker(format);
    } else if (raster->depth != 16 && (format == rwRASTERFORMAT888 || format == rwRASTERFORMAT8888)) {
        unpack = RwD3D8GetPixelUnpacker(format);
    }
    if (unpack == nullptr) {
        return TRUE;  // a layout with no 32-bit meaning writes nothing
    }
    const RwInt32 width = image->width < raster->width ? image->width : raster->width;
    const RwInt32 height = image->height < raster->height ? image->height : raster->height;
    for (RwInt32 y = 0; y < height; ++y) {
        const RwUInt8 *src = raster->cpPixels + static_cast<size_t>(y) * raster->stride;
        RwRGBA *dst = reinterpret_cast<RwRGBA *>(image->cpPixels + static_cast<size_t>(y) * image->stride);
        for (RwInt32 x = 0; x < width; ++x) {
            dst[x] = unpack(LoadPixel(src + x * bytes, bytes));
        }
    }
    return TRUE;
}

RwBool RwD3D8ImageGetFromRaster(void *out, void *in, RwInt32)
{
    auto *image = static_cast<RwImage *>(out);
    auto *raster = static_cast<RwRaster *>(in);
    if (RwD3D8RasterGetExt(RwD3D8RasterGetTop(raster))->dxtFormat != 0) {
        RwErrorReport(rwID_CORE, E_RW_DEVICEERROR);  // compressed rasters cannot be read back
        return FALSE;
    }
    if (image->depth != 8 && image->depth != 32) {
        RwErrorReport(rwID_CORE, E_RW_DEVICEERROR);  // only 8- and 32-bit images
        return FALSE;
    }
    const RwInt32 depth = raster->depth;
    if (depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) {
        RwErrorReportCommon(E_RW_INVRASTERDEPTH);
        return FALSE;
    }
    if (image->depth == 8 && depth != 4 && depth != 8) {
        RwErrorReport(rwID_CORE, E_RW_DEVICEERROR);  // no palette to give an 8-bit image
        return FALSE;
    }
    ConversionLocks locks;
    if (!TakeLocks(&locks, raster, rwRASTERLOCKREAD)) {
        return FALSE;
    }
    const RwBool ok = depth <= 8 ? ImageFromPalettisedRaster(image, raster) : RwD3D8RasterToImage32(image, raster);
    GiveLocks(&locks);
    return ok;
}

RwBool RwD3D8RasterSetFromImage8(RwRaster *raster, const RwImage *image)
{
    if (!IsPalettised(raster)) {
        PackImage(raster, image, RwD3D8GetPixelPacker(rwRASTERFORMATLUM8));
        return TRUE;
    }
    if (image->depth == 32) {
        RwImage *palettised = Quantise(image, raster->depth);
        if (palettised == nullptr) {
            return FALSE;
        }
        RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
        const RwInt32 chosen = RwD3D8ImageChooseRasterFormat(palettised) & rwRASTERFORMATPIXELFORMATMASK;
        if (ext->alpha && chosen == rwRASTERFORMAT888) {
            raster->cFormat = static_cast<RwUInt8>((raster->cFormat & ~(rwRASTERFORMATPIXELFORMATMASK >> 8)) |
                                                   (rwRASTERFORMAT888 >> 8));
            ext->alpha = 0;
        }
        CopyPalettisedImage(raster, palettised);
        RwImageDestroy(palettised);
        return TRUE;
    }
    CopyPalettisedImage(raster, image);
    return TRUE;
}

RwBool RwD3D8RasterSetFromImage32(RwRaster *raster, const RwImage *image)
{
    const RwInt32 format = RasterFormat(raster) & rwRASTERFORMATPIXELFORMATMASK;
    PackImage(raster, image, RwD3D8GetPixelPacker(format == rwRASTERFORMAT888 ? rwRASTERFORMAT888 : rwRASTERFORMAT8888));
    return TRUE;
}

RwBool RwD3D8RasterSetFromImage(void *out, void *in, RwInt32)
{
    auto *raster = static_cast<RwRaster *>(out);
    auto *image = static_cast<RwImage *>(in);
    const RwInt32 depth = raster->depth;
    if (depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) {
        RwErrorReportCommon(E_RW_INVRASTERDEPTH);
        return FALSE;
    }
    RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
    const RwInt32 ownFormat = (raster->cType & rwRASTERTYPEMASK) == rwRASTERTYPENORMAL
                                  ? RwD3D8ImageChooseRasterFormat(image)
                                  : RasterFormat(raster);
    ext->alpha = static_cast<RwUInt8>(RwD3D8PixelFormatOf(ownFormat)->alpha);
    if (ext->alpha && raster->parent != raster) {
        RwD3D8RasterGetExt(RwD3D8RasterGetTop(raster))->alpha = 1;
    }

    ConversionLocks locks;
    if (!TakeLocks(&locks, raster, rwRASTERLOCKWRITE | rwRASTERLOCKNOFETCH)) {
        return FALSE;
    }
    RwImage *resampled = nullptr;
    if (image->width != raster->width || image->height != raster->height) {
        resampled = RwImageCreateResample(image, raster->width, raster->height);
        if (resampled == nullptr) {
            GiveLocks(&locks);
            return FALSE;
        }
        image = resampled;
    }
    RwBool ok = TRUE;
    if (depth <= 8) {
        ok = RwD3D8RasterSetFromImage8(raster, image);
    } else if (depth == 16) {
        RwD3D8PixelPacker pack = RwD3D8GetPixelPacker(RasterFormat(raster));
        if (pack != nullptr && (image->depth == 32 || image->palette != nullptr)) {
            PackImage(raster, image, pack);
        }
    } else {
        ok = RwD3D8RasterSetFromImage32(raster, image);
    }
    if (resampled != nullptr) {
        RwImageDestroy(resampled);
    }
    GiveLocks(&locks);
    return ok;
}
