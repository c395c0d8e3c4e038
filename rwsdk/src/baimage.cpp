// Image records and their pixel blocks, masks, and copies between depths.
#include <cstring>

#include <emmintrin.h>

#include "rwerror.h"
#include "rwmemory.h"
#include "src/baimage.h"

// Larger blocks than this are refused rather than attempted: no image the
// engine handles comes near it, and it keeps every size sum inside 32 bits.
static constexpr RwUInt64 rwIMAGEMAXBLOCK = 0x40000000u;

RwInt32 RwImageStrideFor(RwInt32 width, RwInt32 depth)
{
    RwInt64 bytes = static_cast<RwInt64>((depth + 7) >> 3) * width;
    bytes = (bytes + 3) & ~static_cast<RwInt64>(3);
    // A row too long for the stride field has no stride (allocation refuses
    // it) rather than a wrapped, too short one.
    return bytes > 0x7FFFFFFF ? 0 : static_cast<RwInt32>(bytes);
}

RwImage *RwImageCreate(RwInt32 width, RwInt32 height, RwInt32 depth)
{
    rwImageGlobals *globals = rwImageGetGlobals();
    auto *image = static_cast<RwImage *>(RwFreeListEntryAlloc(globals->imageFreeList));
    if (image == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    image->flags = 0;
    image->width = width;
    image->height = height;
    image->depth = depth;
    image->stride = 0;
    image->cpPixels = nullptr;
    image->palette = nullptr;
    if (RwPluginRegistryInitObject(rwImageGetPluginRegistry(), image) == nullptr) {
        RwFreeListEntryFree(globals->imageFreeList, image);
        RwErrorReportCommon(E_RW_PLUGININIT);
        return nullptr;
    }
    return image;
}

RwBool RwImageDestroy(RwImage *image)
{
    if (image->flags & rwIMAGEALLOCATED) {
        RwImageFreePixels(image);
    }
    RwPluginRegistryDeInitObject(rwImageGetPluginRegistry(), image);
    RwFreeListEntryFree(rwImageGetGlobals()->imageFreeList, image);
    return TRUE;
}

RwImage *RwImageAllocatePixels(RwImage *image)
{
    if (image->width <= 0 || image->height <= 0 || image->depth <= 0 || image->depth > 32) {
        RwErrorReportCommon(E_RW_INVIMAGESIZE);
        return nullptr;
    }
    const RwUInt64 paletteBytes = (image->depth == 4 || image->depth == 8) ? (4u << image->depth) : 0u;
    const RwInt32 stride = RwImageStrideFor(image->width, image->depth);
    const RwUInt64 rowBytes = static_cast<RwUInt64>(stride) * static_cast<RwUInt64>(image->height);
    if (stride <= 0 || rowBytes + paletteBytes > rwIMAGEMAXBLOCK) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    auto *block = static_cast<RwUInt8 *>(RwMalloc(static_cast<size_t>(rowBytes + paletteBytes)));
    if (block == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    if (image->flags & rwIMAGEALLOCATED) {
        RwFree(image->cpPixels);
    }
    image->stride = stride;
    image->cpPixels = block;
    image->palette = paletteBytes != 0 ? reinterpret_cast<RwRGBA *>(block + rowBytes) : nullptr;
    image->flags |= rwIMAGEALLOCATED;
    return image;
}

RwImage *RwImageFreePixels(RwImage *image)
{
    if (image->flags & rwIMAGEALLOCATED) {
        RwFree(image->cpPixels);
    }
    image->cpPixels = nullptr;
    image->palette = nullptr;
    image->flags &= ~rwIMAGEALLOCATED;
    return image;
}

RwImage *RwImageSetPixels(RwImage *image, RwUInt8 *pixels)
{
    image->cpPixels = pixels;
    return image;
}

RwImage *RwImageSetPalette(RwImage *image, RwRGBA *palette)
{
    image->palette = palette;
    return image;
}

RwImage *RwImageSetStride(RwImage *image, RwInt32 stride)
{
    image->stride = stride;
    return image;
}

static inline RwUInt8 Max3(RwUInt8 a, RwUInt8 b, RwUInt8 c)
{
    RwUInt8 m = a > b ? a : b;
    return m > c ? m : c;
}

RwImage *RwImageMakeMask(RwImage *image)
{
    if ((image->depth == 4 || image->depth == 8) && image->palette != nullptr) {
        for (RwInt32 i = 0; i < (1 << image->depth); ++i) {
            RwRGBA &c = image->palette[i];
            c.alpha = Max3(c.red, c.green, c.blue);
        }
    } else if (image->depth == 32 && image->cpPixels != nullptr) {
        // Four pixels at a time: a pixel's word shifted down by one and by two bytes
        // brings green and blue under red, so the lowest byte of their maximum is
        // the largest channel.
        const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
        for (RwInt32 y = 0; y < image->height; ++y) {
            RwUInt8 *bytes = image->cpPixels + static_cast<RwInt64>(y) * image->stride;
            auto *row = reinterpret_cast<RwRGBA *>(bytes);
            RwInt32 x = 0;
            for (; x + 4 <= image->width; x += 4) {
                auto *at = reinterpret_cast<__m128i *>(bytes + x * 4);
                const __m128i v = _mm_loadu_si128(at);
                const __m128i most = _mm_max_epu8(_mm_max_epu8(v, _mm_srli_epi32(v, 8)), _mm_srli_epi32(v, 16));
                _mm_storeu_si128(at, _mm_or_si128(_mm_and_si128(v, colour), _mm_slli_epi32(most, 24)));
            }
            for (; x < image->width; ++x) {
                row[x].alpha = Max3(row[x].red, row[x].green, row[x].blue);
            }
        }
    }
    return image;
}

// Turns a palettised image into a 32-bit one. The new block is made before
// the old one goes, so a failed allocation leaves the image as it was.
static RwImage *ExpandTo32(RwImage *image)
{
    RwImage *wide = RwImageCreate(image->width, image->height, 32);
    if (wide == nullptr) {
        return nullptr;
    }
    if (RwImageAllocatePixels(wide) == nullptr || RwImageCopy(wide, image) == nullptr) {
        RwImageDestroy(wide);
        return nullptr;
    }
    const RwInt32 gamma = image->flags & rwIMAGEGAMMACORRECTED;
    RwImageFreePixels(image);
    image->depth = 32;
    image->stride = wide->stride;
    image->cpPixels = wide->cpPixels;
    image->palette = nullptr;
    image->flags = (image->flags & ~rwIMAGEGAMMACORRECTED) | gamma | rwIMAGEALLOCATED;
    wide->flags &= ~rwIMAGEALLOCATED;  // the block now belongs to `image`
    RwImageDestroy(wide);
    return image;
}

RwImage *RwImageApplyMask(RwImage *image, const RwImage *mask)
{
    if (image->width != mask->width || image->height != mask->height) {
        RwErrorReportCommon(E_RW_INVIMAGESIZE);
        return nullptr;
    }
    const bool maskOk = (mask->depth == 32 && mask->cpPixels != nullptr) ||
                        ((mask->depth == 4 || mask->depth == 8) && mask->cpPixels != nullptr && mask->palette != nullptr);
    if (!maskOk || (image->depth != 4 && image->depth != 8 && image->depth != 32)) {
        RwErrorReportCommon(E_RW_INVIMAGEFORMAT);
        return nullptr;
    }
    if (image->cpPixels == nullptr || (image->depth != 32 && image->palette == nullptr)) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    if (image->depth != 32 && ExpandTo32(image) == nullptr) {
        return nullptr;
    }
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    for (RwInt32 y = 0; y < image->height; ++y) {
        RwUInt8 *bytes = image->cpPixels + static_cast<RwInt64>(y) * image->stride;
        auto *row = reinterpret_cast<RwRGBA *>(bytes);
        const RwUInt8 *maskRow = mask->cpPixels + static_cast<RwInt64>(y) * mask->stride;
        RwInt32 x = 0;
        if (mask->depth == 32) {
            // A 32-bit mask's alpha bytes replace the image's four pixels at a time.
            for (; x + 4 <= image->width; x += 4) {
                auto *at = reinterpret_cast<__m128i *>(bytes + x * 4);
                const __m128i alpha =
                    _mm_andnot_si128(colour, _mm_loadu_si128(reinterpret_cast<const __m128i *>(maskRow + x * 4)));
                _mm_storeu_si128(at, _mm_or_si128(_mm_and_si128(_mm_loadu_si128(at), colour), alpha));
            }
        }
        for (; x < image->width; ++x) {
            row[x].alpha = RwImagePixelColour(mask, maskRow, x).alpha;
        }
    }
    return image;
}

RwImage *RwImageReadMaskedImage(const RwChar *imageName, const RwChar *maskname)
{
    RwImage *image = RwImageRead(imageName);
    if (image == nullptr || maskname == nullptr || maskname[0] == '\0') {
        return image;
    }
    RwImage *mask = RwImageRead(maskname);
    if (mask == nullptr) {
        RwImageDestroy(image);
        return nullptr;
    }
    RwImageMakeMask(mask);
    RwImage *result = RwImageApplyMask(image, mask);
    RwImageDestroy(mask);
    if (result == nullptr) {
        RwImageDestroy(image);
    }
    return result;
}

RwImage *RwImageCopy(RwImage *destImage, const RwImage *sourceImage)
{
    const RwImage *src = sourceImage;
    RwImage *dst = destImage;
    if (src->width != dst->width || src->height != dst->height) {
        RwErrorReportCommon(E_RW_INVIMAGESIZE);
        return nullptr;
    }
    if (src->cpPixels == nullptr || dst->cpPixels == nullptr) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    if (src->depth == dst->depth) {
        if (src->depth <= 8 && src->palette != nullptr && dst->palette != nullptr) {
            std::memcpy(dst->palette, src->palette, static_cast<size_t>(4u << src->depth));
        }
        const size_t rowBytes = static_cast<size_t>((src->depth + 7) >> 3) * static_cast<size_t>(src->width);
        for (RwInt32 y = 0; y < src->height; ++y) {
            std::memmove(dst->cpPixels + static_cast<RwInt64>(y) * dst->stride,
                         src->cpPixels + static_cast<RwInt64>(y) * src->stride, rowBytes);
        }
    } else if (src->depth == 4 && dst->depth == 8) {
        for (RwInt32 y = 0; y < src->height; ++y) {
            std::memcpy(dst->cpPixels + static_cast<RwInt64>(y) * dst->stride,
                        src->cpPixels + static_cast<RwInt64>(y) * src->stride, static_cast<size_t>(src->width));
        }
    } else if ((src->depth == 4 || src->depth == 8) && dst->depth == 32 && src->palette != nullptr) {
        for (RwInt32 y = 0; y < src->height; ++y) {
            const RwUInt8 *in = src->cpPixels + static_cast<RwInt64>(y) * src->stride;
            auto *out = reinterpret_cast<RwRGBA *>(dst->cpPixels + static_cast<RwInt64>(y) * dst->stride);
            for (RwInt32 x = 0; x < src->width; ++x) {
                out[x] = RwImagePixelColour(src, in, x);
            }
        }
    } else {
        RwErrorReportCommon(E_RW_INVIMAGEFORMAT);
        return nullptr;
    }
    dst->flags = (dst->flags & ~rwIMAGEGAMMACORRECTED) | (src->flags & rwIMAGEGAMMACORRECTED);
    return dst;
}
