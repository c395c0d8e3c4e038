// Clearing colour, depth and stencil inside the viewport. A target without alpha gets
// 0xFF in its alpha byte whatever the clear colour says, as drawing does. Large
// rectangles are cleared band by band over the drawing threads.
#include <algorithm>
#include <cstring>

#include <emmintrin.h>

#include "swr_coarse_depth.h"
#include "swr_depth_stencil.h"
#include "swr_draw.h"
#include "swr_pixel_pipeline.h"
#include "swr_thread_pool.h"

namespace swr {
namespace {

// Words [0, count) at p become (old & keep) | value, four at a time.
void MergeWords(uint8_t *p, int32_t count, uint32_t keep, uint32_t value) {
    const __m128i k = _mm_set1_epi32(static_cast<int32_t>(keep)), v = _mm_set1_epi32(static_cast<int32_t>(value));
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i *q = reinterpret_cast<__m128i *>(p + size_t(i) * 4u);
        _mm_storeu_si128(q, _mm_or_si128(_mm_and_si128(_mm_loadu_si128(q), k), v));
    }
    for (; i < count; ++i) {
        uint32_t old;
        std::memcpy(&old, p + size_t(i) * 4u, 4);
        const uint32_t w = (old & keep) | value;
        std::memcpy(p + size_t(i) * 4u, &w, 4);
    }
}

// The words a fill copies at a time once it has them: the copies read them from the
// first-level cache, where copying the filled part onto the rest, doubling, read half a
// whole target back from memory (a target's clear took half as long again).
constexpr size_t kFillChunkWords = 2048;

// Words [0, count) at p become value: four stored, then the part filled copied onto
// the rest, doubling up to kFillChunkWords and then that many at a time. Nothing of the
// old words is read, and a few long copies take the place of a store per four words
// (each of which the sanitizer build checks).
void FillWords(uint8_t *p, size_t count, uint32_t value) {
    size_t filled = std::min<size_t>(count, 4);
    for (size_t i = 0; i < filled; ++i) std::memcpy(p + i * 4u, &value, 4);
    while (filled < count) {
        const size_t n = std::min({filled, count - filled, kFillChunkWords});
        std::memcpy(p + filled * 4u, p, n * 4u);
        filled += n;
    }
}

// Words of rows [r.y0, r.y1), columns [r.x0, r.x1) of a 4-byte target become value:
// rows that fill the pitch are one run.
void FillRect(uint8_t *bits, uint32_t pitch, const PixelRect &r, uint32_t value) {
    const size_t width = static_cast<size_t>(r.x1 - r.x0);
    if (r.x0 == 0 && width * 4u == pitch) {
        FillWords(bits + static_cast<size_t>(r.y0) * pitch, width * static_cast<size_t>(r.y1 - r.y0), value);
        return;
    }
    for (int32_t y = r.y0; y < r.y1; ++y) {
        FillWords(bits + static_cast<size_t>(y) * pitch + static_cast<size_t>(r.x0) * 4u, width, value);
    }
}

void ClearColorRect(ColorTarget &color, const PixelRect &r, D3DCOLOR value) {
    if (color.format == D3DFMT_X8R8G8B8) value |= 0xFF000000u;
    FillRect(color.bits, color.pitch, r, value);
}

void ClearDepthRect(DepthTarget &depth, const DepthFormat &format, const PixelRect &r, DWORD flags, float z,
                    DWORD stencil) {
    uint32_t keep = 0xFFFFFFFFu, value = 0;
    const uint32_t stencilMask = StencilBitsMask(format);
    if (flags & D3DCLEAR_ZBUFFER) {
        const uint32_t depthMask = DepthBitsMask(format);
        keep &= ~depthMask;
        value |= (QuantizeDepth(z, format.depthBits) << format.depthShift) & depthMask;
    }
    if ((flags & D3DCLEAR_STENCIL) && format.stencilBits > 0) {
        keep &= ~stencilMask;
        value |= stencil & stencilMask;
    }
    if (keep == 0xFFFFFFFFu) return;
    if (keep == 0 && format.bytes == 4) {
        FillRect(depth.bits, depth.pitch, r, value);
        return;
    }
    for (int32_t y = r.y0; y < r.y1; ++y) {
        uint8_t *row = depth.bits + static_cast<size_t>(y) * depth.pitch;
        if (format.bytes == 4) {
            MergeWords(row + static_cast<size_t>(r.x0) * 4u, r.x1 - r.x0, keep, value);
            continue;
        }
        for (int32_t x = r.x0; x < r.x1; ++x) {
            uint8_t *p = row + static_cast<size_t>(x) * format.bytes;
            if (format.bytes == 2) {
                uint16_t old;
                std::memcpy(&old, p, 2);
                const uint16_t v = static_cast<uint16_t>((old & keep) | value);
                std::memcpy(p, &v, 2);
            } else {
                uint32_t old;
                std::memcpy(&old, p, 4);
                const uint32_t v = (old & keep) | value;
                std::memcpy(p, &v, 4);
            }
        }
    }
}

// Rectangles smaller than this are cleared on the calling thread.
constexpr int64_t kParallelClearPixels = 65536;
constexpr int32_t kClearBandRows = 32;

// Runs `clear` on `r` whole, or on bands of its rows spread over the threads.
template <class Fn>
void ByBands(const PixelRect &r, const Fn &clear) {
    const int64_t pixels = int64_t{r.x1 - r.x0} * (r.y1 - r.y0);
    if (pixels < kParallelClearPixels) {
        clear(r);
        return;
    }
    const uint32_t bands = static_cast<uint32_t>((r.y1 - r.y0 + kClearBandRows - 1) / kClearBandRows);
    RunJobs(bands, [&](uint32_t b) {
        PixelRect band = r;
        band.y0 = r.y0 + static_cast<int32_t>(b) * kClearBandRows;
        band.y1 = std::min(r.y1, band.y0 + kClearBandRows);
        clear(band);
    });
}

}  // namespace

bool ClearWritesWholeWords(D3DFORMAT format, DWORD flags) {
    const DepthFormat f = DescribeDepthFormat(format);
    if (f.bytes != 4) return false;
    uint32_t written = 0;
    if (flags & D3DCLEAR_ZBUFFER) written |= DepthBitsMask(f);
    if ((flags & D3DCLEAR_STENCIL) && f.stencilBits > 0) written |= StencilBitsMask(f);
    return written == 0xFFFFFFFFu;
}

void ClearDepthWords(const DepthTarget &depth, DWORD flags, float z, DWORD stencil) {
    const DepthFormat format = depth.bits ? DescribeDepthFormat(depth.format) : DepthFormat{};
    if (format.bytes == 0) return;
    DepthTarget target = depth;
    ByBands(TargetRect(depth.width, depth.height),
            [&](const PixelRect &band) { ClearDepthRect(target, format, band, flags, z, stencil); });
}

void Clear(const D3DVIEWPORT8 &viewport, ColorTarget *color, DepthTarget *depth, uint32_t rectCount,
           const D3DRECT *rects, DWORD flags, D3DCOLOR colorValue, float z, DWORD stencil, bool depthWordsLater) {
    const PixelRect view = ViewportRect(viewport);
    const bool clearColor = (flags & D3DCLEAR_TARGET) && color && color->bits &&
                            (color->format == D3DFMT_A8R8G8B8 || color->format == D3DFMT_X8R8G8B8);
    const DepthFormat format = depth && depth->bits ? DescribeDepthFormat(depth->format) : DepthFormat{};
    const bool clearDepth = (flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && format.bytes > 0;
    const uint32_t count = (rectCount == 0 || !rects) ? 1 : rectCount;
    for (uint32_t i = 0; i < count; ++i) {
        PixelRect r = view;
        if (rectCount != 0 && rects) r = Intersect(r, PixelRect{rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2});
        if (clearColor) {
            const PixelRect c = Intersect(r, TargetRect(color->width, color->height));
            if (!c.Empty()) ByBands(c, [&](const PixelRect &band) { ClearColorRect(*color, band, colorValue); });
        }
        if (clearDepth) {
            const PixelRect d = Intersect(r, TargetRect(depth->width, depth->height));
            if (!d.Empty()) {
                if (!depthWordsLater) {
                    ByBands(d, [&](const PixelRect &band) { ClearDepthRect(*depth, format, band, flags, z, stencil); });
                }
                if (depth->coarse && (flags & D3DCLEAR_ZBUFFER)) {
                    depth->coarse->Fit(*depth, false);
                    depth->coarse->Cleared(d, QuantizeDepth(z, format.depthBits));
                }
            }
        }
    }
}

}  // namespace swr
