// Pixel formats as the processor sees them: packing a colour into each
// raster pixel format and unpacking it again, the texture size the device
// can hold, and the raster format an image is best stored in.
#include <cstring>

#include <emmintrin.h>

#include "driver/d3d8/d3d8raster.h"

namespace {

RwUInt32 Pack1555(RwUInt8 r, RwUInt8 g, RwUInt8 b, RwUInt8 a)
{
    return (static_cast<RwUInt32>(a & 0x80) << 8) | (static_cast<RwUInt32>(r & 0xF8) << 7) |
           (static_cast<RwUInt32>(g & 0xF8) << 2) | (b >> 3);
}
RwUInt32 Pack565(RwUInt8 r, RwUInt8 g, RwUInt8 b, RwUInt8)
{
    return (static_cast<RwUInt32>(r & 0xF8) << 8) | (static_cast<RwUInt32>(g & 0xFC) << 3) | (b >> 3);
}
RwUInt32 Pack4444(RwUInt8 r, RwUInt8 g, RwUInt8 b, RwUInt8 a)
{
    return (static_cast<RwUInt32>(a & 0xF0) << 8) | (static_cast<RwUInt32>(r & 0xF0) << 4) |
           static_cast<RwUInt32>(g & 0xF0) | (b >> 4);
}
RwUInt32 PackLum(RwUInt8 r, RwUInt8 g, RwUInt8 b, RwUInt8 a)
{
    return (30u * r + 59u * g + 11u * b) / 100u * a / 255u;
}
RwUInt32 Pack8888(RwUInt8 r, RwUInt8 g, RwUInt8 b, RwUInt8 a)
{
    return (static_cast<RwUInt32>(a) << 24) | (static_cast<RwUInt32>(r) << 16) | (static_cast<RwUInt32>(g) << 8) | b;
}
RwUInt32 Pack888(RwUInt8 r, RwUInt8 g, RwUInt8 b, RwUInt8) { return Pack8888(r, g, b, 0xFF); }
RwUInt32 Pack555(RwUInt8 r, RwUInt8 g, RwUInt8 b, RwUInt8)
{
    return (static_cast<RwUInt32>(r & 0xF8) << 7) | (static_cast<RwUInt32>(g & 0xF8) << 2) | (b >> 3);
}

RwRGBA Colour(RwUInt32 r, RwUInt32 g, RwUInt32 b, RwUInt32 a)
{
    return RwRGBA{static_cast<RwUInt8>(r), static_cast<RwUInt8>(g), static_cast<RwUInt8>(b), static_cast<RwUInt8>(a)};
}
RwRGBA Unpack1555(RwUInt32 p)
{
    return Colour((p >> 7) & 0xF8, (p >> 2) & 0xF8, (p << 3) & 0xFF, (p & 0x8000) ? 0xFF : 0);
}
RwRGBA Unpack565(RwUInt32 p) { return Colour((p >> 8) & 0xF8, (p >> 3) & 0xFC, (p << 3) & 0xFF, 0xFF); }
RwRGBA Unpack4444(RwUInt32 p)
{
    return Colour((p >> 4) & 0xF0, p & 0xF0, (p << 4) & 0xFF, (p & 0xF000) == 0xF000 ? 0xFF : (p >> 8) & 0xF0);
}
RwRGBA UnpackLum(RwUInt32 p) { return Colour(p & 0xFF, p & 0xFF, p & 0xFF, 0xFF); }
RwRGBA Unpack8888(RwUInt32 p) { return Colour((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF, p >> 24); }
RwRGBA Unpack888(RwUInt32 p) { return Colour((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF, 0xFF); }
RwRGBA Unpack555(RwUInt32 p) { return Colour((p >> 7) & 0xF8, (p >> 2) & 0xF8, (p << 3) & 0xFF, 0xFF); }

RwBool Accepts(D3DFORMAT format) { return RwD3D8CheckTextureFormat(format); }

RwInt32 LargestPowerOfTwoNotAbove(RwInt32 value)
{
    RwInt32 power = 1;
    while (power <= value / 2) {
        power *= 2;
    }
    return value > 0 ? power : value;
}

RwInt32 ChooseFor32BitImage(const RwImage *image)
{
    const RwBool deepDisplay = RwD3D8DisplayDepth() > 16;
    RwBool oneBitAlpha = FALSE;
    const __m128i sixteen = _mm_set1_epi32(16), full = _mm_set1_epi32(255);
    for (RwInt32 y = 0; y < image->height; ++y) {
        const RwUInt8 *row = image->cpPixels + static_cast<size_t>(y) * image->stride;
        // Four pixels at a time: any translucent one settles the format (as the
        // first met would below), an almost clear one is noted.
        RwInt32 x = 0;
        for (; x + 4 <= image->width; x += 4) {
            const __m128i alpha = _mm_srli_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i *>(row + x * 4)), 24);
            const __m128i clear = _mm_cmplt_epi32(alpha, sixteen);
            if (_mm_movemask_epi8(_mm_andnot_si128(clear, _mm_cmplt_epi32(alpha, full))) != 0) {
                break;
            }
            oneBitAlpha = oneBitAlpha || _mm_movemask_epi8(clear) != 0;
        }
        for (; x < image->width; ++x) {
            const RwUInt8 alpha = row[x * 4 + 3];
            if (alpha >= 16 && alpha < 255) {
                if (deepDisplay && Accepts(D3DFMT_A8R8G8B8)) {
                    return rwRASTERFORMAT8888;
                }
                return Accepts(D3DFMT_A4R4G4B4) ? rwRASTERFORMAT4444 : rwRASTERFORMAT1555;
            }
            if (alpha < 16) {
                oneBitAlpha = TRUE;
            }
        }
    }
    if (oneBitAlpha) {
        return deepDisplay && Accepts(D3DFMT_A8R8G8B8) ? rwRASTERFORMAT8888 : rwRASTERFORMAT1555;
    }
    return deepDisplay && Accepts(D3DFMT_X8R8G8B8) ? rwRASTERFORMAT888 : rwRASTERFORMAT565;
}

// Palettised images: 888 palettes unless a pixel really uses a translucent entry.
RwInt32 ChooseForPalettisedImage(const RwImage *image, RwInt32 palettised)
{
    const RwInt32 entries = 1 << image->depth;
    RwBool opaque = TRUE;
    for (RwInt32 i = 0; i < entries && opaque; ++i) {
        opaque = image->palette[i].alpha == 0xFF;
    }
    if (opaque) {
        return palettised | rwRASTERFORMAT888;
    }
    for (RwInt32 y = 0; y < image->height; ++y) {
        const RwUInt8 *row = image->cpPixels + static_cast<size_t>(y) * image->stride;
        for (RwInt32 x = 0; x < image->width; ++x) {
            if (image->palette[row[x] & (entries - 1)].alpha != 0xFF) {
                return palettised | rwRASTERFORMAT8888;
            }
        }
    }
    return palettised | rwRASTERFORMAT888;
}

}  // namespace

RwD3D8PixelPacker RwD3D8GetPixelPacker(RwInt32 formatFlags)
{
    switch (formatFlags & rwRASTERFORMATPIXELFORMATMASK) {
    case rwRASTERFORMAT1555:
        return Pack1555;
    case rwRASTERFORMAT565:
        return Pack565;
    case rwRASTERFORMAT4444:
        return Pack4444;
    case rwRASTERFORMATLUM8:
        return PackLum;
    case rwRASTERFORMAT8888:
        return Pack8888;
    case rwRASTERFORMAT888:
        return Pack888;
    case rwRASTERFORMAT555:
        return Pack555;
    default:
        return nullptr;
    }
}

RwD3D8PixelUnpacker RwD3D8GetPixelUnpacker(RwInt32 formatFlags)
{
    switch (formatFlags & rwRASTERFORMATPIXELFORMATMASK) {
    case rwRASTERFORMAT1555:
        return Unpack1555;
    case rwRASTERFORMAT565:
        return Unpack565;
    case rwRASTERFORMAT4444:
        return Unpack4444;
    case rwRASTERFORMATLUM8:
        return UnpackLum;
    case rwRASTERFORMAT8888:
        return Unpack8888;
    case rwRASTERFORMAT888:
        return Unpack888;
    case rwRASTERFORMAT555:
        return Unpack555;
    default:
        return nullptr;
    }
}

RwBool RwD3D8RGBToPixel(void *out, void *in, RwInt32 formatFlags)
{
    const RwRGBA *colour = static_cast<const RwRGBA *>(in);
    RwD3D8PixelPacker pack = RwD3D8GetPixelPacker(formatFlags);
    if (pack == nullptr && (formatFlags & rwRASTERFORMATPIXELFORMATMASK) == rwRASTERFORMATDEFAULT) {
        pack = Pack8888;
    }
    if (pack == nullptr) {
        RwErrorReportCommon(E_RW_INVRASTERFORMAT);
        return FALSE;
    }
    *static_cast<RwUInt32 *>(out) = pack(colour->red, colour->green, colour->blue, colour->alpha);
    return TRUE;
}

RwBool RwD3D8PixelToRGB(void *out, void *in, RwInt32 formatFlags)
{
    const RwUInt32 pixel = *static_cast<const RwUInt32 *>(in);
    auto *colour = static_cast<RwRGBA *>(out);
    if (formatFlags & rwRASTERFORMATPAL8) {
        std::memcpy(colour, &pixel, sizeof pixel);  // already a palette colour
        return TRUE;
    }
    RwD3D8PixelUnpacker unpack = RwD3D8GetPixelUnpacker(formatFlags);
    if (unpack == nullptr && (formatFlags & rwRASTERFORMATPIXELFORMATMASK) == rwRASTERFORMATDEFAULT) {
        unpack = Unpack8888;
    }
    if (unpack == nullptr) {
        RwErrorReportCommon(E_RW_INVRASTERFORMAT);
        return FALSE;
    }
    *colour = unpack(pixel);
    return TRUE;
}

void RwD3D8AdjustTextureSize(RwInt32 *width, RwInt32 *height, RwInt32 type, RwInt32 flags)
{
    const D3DCAPS8 *caps = RwD3D8GetDeviceCaps();
    if (caps == nullptr) {
        return;
    }
    if (*width > static_cast<RwInt32>(caps->MaxTextureWidth)) {
        *width = static_cast<RwInt32>(caps->MaxTextureWidth);
    }
    if (*height > static_cast<RwInt32>(caps->MaxTextureHeight)) {
        *height = static_cast<RwInt32>(caps->MaxTextureHeight);
    }
    const RwBool pow2 = (caps->TextureCaps & D3DPTEXTURECAPS_POW2) != 0;
    const RwBool conditional = (caps->TextureCaps & D3DPTEXTURECAPS_NONPOW2CONDITIONAL) != 0;
    const RwBool mipmapped = (flags & rwRASTERFORMATMIPMAP) != 0;
    // Conditional non-power-of-two support only covers textures without mip levels.
    const RwBool round = (type == rwRASTERTYPENORMAL || !mipmapped) ? pow2 && !conditional : pow2;
    if (round) {
        *width = LargestPowerOfTwoNotAbove(*width);
        *height = LargestPowerOfTwoNotAbove(*height);
    }
    if (caps->TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) {
        const RwInt32 side = *width < *height ? *width : *height;
        *width = side;
        *height = side;
    }
}

RwInt32 RwD3D8ImageChooseRasterFormat(const RwImage *image)
{
    switch (image->depth) {
    case 32:
        return ChooseFor32BitImage(image);
    case 8:
        return image->palette != nullptr ? ChooseForPalettisedImage(image, rwRASTERFORMATPAL8)
                                         : rwRASTERFORMATPAL8 | rwRASTERFORMAT888;
    case 4:
        return image->palette != nullptr ? ChooseForPalettisedImage(image, rwRASTERFORMATPAL4)
                                         : rwRASTERFORMATPAL4 | rwRASTERFORMAT888;
    default:
        return rwRASTERFORMATDEFAULT;
    }
}

RwBool RwD3D8ImageFindRasterFormat(void *out, void *in, RwInt32 flags)
{
    auto *raster = static_cast<RwRaster *>(out);
    const auto *image = static_cast<const RwImage *>(in);
    const RwInt32 type = flags & rwRASTERTYPEMASK;
    constexpr RwInt32 mipBits = rwRASTERFORMATMIPMAP | rwRASTERFORMATAUTOMIPMAP;
    raster->width = image->width;
    raster->height = image->height;
    raster->depth = 0;
    switch (type) {
    case rwRASTERTYPENORMAL: {
        const RwInt32 chosen = RwD3D8ImageChooseRasterFormat(image) | (flags & ~mipBits);
        RwD3D8AdjustTextureSize(&raster->width, &raster->height, type, chosen);
        return RwD3D8RasterSetFormat(raster, chosen);
    }
    case rwRASTERTYPETEXTURE:
    case rwRASTERTYPECAMERATEXTURE: {
        const RwInt32 chosen = type | RwD3D8ImageChooseRasterFormat(image) | (flags & mipBits);
        RwD3D8AdjustTextureSize(&raster->width, &raster->height, type, chosen);
        return RwD3D8RasterSetFormat(raster, chosen);
    }
    case rwRASTERTYPEZBUFFER:
    case rwRASTERTYPECAMERA:
        raster->cType = static_cast<RwUInt8>(type);
        raster->cFlags = static_cast<RwUInt8>(flags & 0xF8);
        raster->cFormat = static_cast<RwUInt8>((flags & rwRASTERFORMATMASK) >> 8);
        return TRUE;
    default:
        RwErrorReportCommon(E_RW_INVRASTERFORMAT);
        return FALSE;
    }
}
