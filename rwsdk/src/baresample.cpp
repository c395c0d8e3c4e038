// Box-filter resampling of 32-bit images in 16.16 fixed point: each
// destination pixel is the area-weighted mean of the source pixels it covers.
#include "rwerror.h"
#include "src/baimage.h"

static constexpr RwReal rwFIXEDONE = 65536.0f;

struct Sample {
    RwReal c[4];
};

static inline void AddWeighted(Sample *sum, const Sample &s, RwReal w)
{
    for (int i = 0; i < 4; ++i) {
        sum->c[i] += s.c[i] * w;
    }
}

static Sample PixelSample(const RwUInt8 *row, RwInt32 x)
{
    const RwUInt8 *p = row + 4 * x;
    return Sample{{p[0] * rwONEOVER255, p[1] * rwONEOVER255, p[2] * rwONEOVER255, p[3] * rwONEOVER255}};
}

// Span [x0, x1] of one source row, in 16.16.
static Sample RowSample(const RwUInt8 *row, RwInt32 width, RwInt64 x0, RwInt64 x1)
{
    RwInt64 first = x0 >> 16;
    RwInt64 last = x1 >> 16;
    if (last >= width) {
        last = width - 1;
    }
    if (first >= last) {
        return PixelSample(row, static_cast<RwInt32>(first < width ? first : width - 1));
    }
    Sample sum{{0, 0, 0, 0}};
    AddWeighted(&sum, PixelSample(row, static_cast<RwInt32>(first)),
                static_cast<RwReal>(((first + 1) << 16) - x0) / rwFIXEDONE);
    for (RwInt64 x = first + 1; x < last; ++x) {
        AddWeighted(&sum, PixelSample(row, static_cast<RwInt32>(x)), 1.0f);
    }
    AddWeighted(&sum, PixelSample(row, static_cast<RwInt32>(last)), static_cast<RwReal>(x1 - (last << 16)) / rwFIXEDONE);
    const RwReal span = static_cast<RwReal>(x1 - x0) / rwFIXEDONE;
    for (int i = 0; i < 4; ++i) {
        sum.c[i] /= span;
    }
    return sum;
}

static Sample AreaSample(const RwImage *src, RwInt64 x0, RwInt64 x1, RwInt64 y0, RwInt64 y1)
{
    RwInt64 first = y0 >> 16;
    RwInt64 last = y1 >> 16;
    if (last >= src->height) {
        last = src->height - 1;
    }
    auto row = [src](RwInt64 y) { return src->cpPixels + y * src->stride; };
    if (first >= last) {
        return RowSample(row(first < src->height ? first : src->height - 1), src->width, x0, x1);
    }
    Sample sum{{0, 0, 0, 0}};
    AddWeighted(&sum, RowSample(row(first), src->width, x0, x1), static_cast<RwReal>(((first + 1) << 16) - y0) / rwFIXEDONE);
    for (RwInt64 y = first + 1; y < last; ++y) {
        AddWeighted(&sum, RowSample(row(y), src->width, x0, x1), 1.0f);
    }
    AddWeighted(&sum, RowSample(row(last), src->width, x0, x1), static_cast<RwReal>(y1 - (last << 16)) / rwFIXEDONE);
    const RwReal span = static_cast<RwReal>(y1 - y0) / rwFIXEDONE;
    for (int i = 0; i < 4; ++i) {
        sum.c[i] /= span;
    }
    return sum;
}

static inline RwUInt8 ToByte(RwReal v)
{
    const RwReal scaled = v * 255.0f + 0.5f;
    return static_cast<RwUInt8>(scaled >= 255.0f ? 255 : scaled > 0.0f ? scaled : 0);
}

RwImage *RwImageResample(RwImage *dstImage, const RwImage *srcImage)
{
    if (dstImage->depth != 32 || srcImage->depth != 32) {
        RwErrorReportCommon(E_RW_INVIMAGEDEPTH);
        return nullptr;
    }
    if (dstImage->width <= 0 || dstImage->height <= 0 || srcImage->width <= 0 || srcImage->height <= 0) {
        RwErrorReportCommon(E_RW_INVIMAGESIZE);
        return nullptr;
    }
    if (dstImage->cpPixels == nullptr || srcImage->cpPixels == nullptr) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    dstImage->flags |= srcImage->flags & rwIMAGEGAMMACORRECTED;
    const RwInt64 xStep = static_cast<RwInt64>(static_cast<RwReal>(srcImage->width) / dstImage->width * rwFIXEDONE);
    const RwInt64 yStep = static_cast<RwInt64>(static_cast<RwReal>(srcImage->height) / dstImage->height * rwFIXEDONE);
    for (RwInt32 y = 0; y < dstImage->height; ++y) {
        const RwInt64 y0 = y * yStep;
        const RwInt64 y1 = y0 + yStep - 1;
        RwUInt8 *out = dstImage->cpPixels + static_cast<RwInt64>(y) * dstImage->stride;
        for (RwInt32 x = 0; x < dstImage->width; ++x) {
            const RwInt64 x0 = x * xStep;
            const Sample s = AreaSample(srcImage, x0, x0 + xStep - 1, y0, y1);
            for (int i = 0; i < 4; ++i) {
                out[4 * x + i] = ToByte(s.c[i]);
            }
        }
    }
    return dstImage;
}

RwImage *RwImageCreateResample(const RwImage *srcImage, RwInt32 width, RwInt32 height)
{
    RwImage *dst = RwImageCreate(width, height, 32);
    if (dst == nullptr) {
        return nullptr;
    }
    if (RwImageAllocatePixels(dst) == nullptr) {
        RwImageDestroy(dst);
        return nullptr;
    }
    const RwImage *from = srcImage;
    RwImage *wide = nullptr;
    if (srcImage->depth != 32) {
        wide = RwImageCreate(srcImage->width, srcImage->height, 32);
        if (wide == nullptr || RwImageAllocatePixels(wide) == nullptr || RwImageCopy(wide, srcImage) == nullptr) {
            if (wide != nullptr) {
                RwImageDestroy(wide);
            }
            RwImageDestroy(dst);
            return nullptr;
        }
        from = wide;
    }
    RwImage *result = RwImageResample(dst, from);
    if (wide != nullptr) {
        RwImageDestroy(wide);
    }
    if (result == nullptr) {
        RwImageDestroy(dst);
    }
    return result;
}
