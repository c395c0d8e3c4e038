// The coarse depth's tiles: fitting, marking, clearing and working bounds out again,
// and the test the span routines make against it.
#include "swr_coarse_depth.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <emmintrin.h>

#include "swr_depth_stencil.h"
#include "swr_pixel_pipeline.h"
#include "swr_triangle_raster.h"

namespace swr {
namespace {

std::atomic<uint64_t> gRejections{0};

// The largest of four non-negative values below 2^24 in each lane, exactly, as floats.
__m128 MaxOfRow(__m128 best, __m128i values) { return _mm_max_ps(best, _mm_cvtepi32_ps(values)); }

}  // namespace

void CoarseDepth::Fit(const DepthTarget &target, bool writes) {
    writtenBefore_ = lastWrite_;
    ++draw_;
    if (writes) lastWrite_ = draw_;
    const int32_t width = static_cast<int32_t>(target.width), height = static_cast<int32_t>(target.height);
    if (bounds_ && bits_ == target.bits && width_ == width && height_ == height && pitch_ == target.pitch &&
        format_ == target.format) {
        return;
    }
    const DepthFormat f = DescribeDepthFormat(target.format);
    bits_ = target.bits;
    width_ = width;
    height_ = height;
    pitch_ = target.pitch;
    format_ = target.format;
    bytes_ = f.bytes;
    depthMask_ = f.bytes ? DepthBitsMask(f) : 0;
    shift_ = f.depthShift;
    columns_ = (width + kTile - 1) / kTile;
    rows_ = (height + kTile - 1) / kTile;
    bounds_ = std::make_unique<std::atomic<uint32_t>[]>(size_t(columns_) * size_t(rows_));
    workedOut_ = std::make_unique<uint64_t[]>(size_t(columns_) * size_t(rows_));
    Drop();
}

void CoarseDepth::Drop() {
    const size_t n = size_t(columns_) * size_t(rows_);
    for (size_t i = 0; i < n; ++i) bounds_[i].store(kStale, std::memory_order_relaxed);
}

void CoarseDepth::MarkStale(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, width_), y1 = std::min(y1, height_);
    if (x0 >= x1 || y0 >= y1) return;
    for (int32_t ty = y0 / kTile; ty <= (y1 - 1) / kTile; ++ty) {
        for (int32_t tx = x0 / kTile; tx <= (x1 - 1) / kTile; ++tx) Entry(tx, ty).store(kStale, std::memory_order_relaxed);
    }
}

void CoarseDepth::Cleared(const PixelRect &r, uint32_t value) {
    if (r.Empty()) return;
    // The rectangle and the draw in locals, each row's tiles through pointers: the
    // stores to the tiles could otherwise change them as far as the compiler knows, and
    // it read them all again for every tile.
    const int32_t x0 = r.x0, y0 = r.y0, x1 = r.x1, y1 = r.y1;
    const int32_t tx0 = x0 / kTile, tx1 = (x1 - 1) / kTile;
    const uint64_t draw = draw_;
    for (int32_t ty = y0 / kTile; ty <= (y1 - 1) / kTile; ++ty) {
        const int32_t y = ty * kTile;
        const bool rowWhole = y >= y0 && y + kTile <= y1;
        std::atomic<uint32_t> *bounds = &Entry(0, ty);
        uint64_t *workedOut = &workedOut_[Index(0, ty)];
        for (int32_t tx = tx0; tx <= tx1; ++tx) {
            const int32_t x = tx * kTile;
            // A whole tile: every pixel of it inside the rectangle (and so the target).
            const bool whole = rowWhole && x >= x0 && x + kTile <= x1;
            bounds[tx].store(whole ? value : kStale, std::memory_order_relaxed);
            workedOut[tx] = draw;
        }
    }
}

uint32_t CoarseDepth::WorkOut(int32_t tx, int32_t ty) const {
    // Depth of at most 24 bits (the only kind the span routines test against tiles)
    // converts to float exactly, so the largest is taken four lanes at a time.
    __m128 best = _mm_setzero_ps();
    const __m128i shift = _mm_cvtsi32_si128(static_cast<int32_t>(shift_));
    const __m128i mask = _mm_set1_epi32(static_cast<int32_t>(depthMask_));
    for (int32_t y = ty * kTile; y < ty * kTile + kTile; ++y) {
        const uint8_t *row = bits_ + size_t(y) * pitch_ + size_t(tx) * kTile * bytes_;
        if (bytes_ == 2) {
            const __m128i words = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row));
            const __m128i lo = _mm_unpacklo_epi16(words, _mm_setzero_si128());
            const __m128i hi = _mm_unpackhi_epi16(words, _mm_setzero_si128());
            best = MaxOfRow(best, _mm_srl_epi32(_mm_and_si128(lo, mask), shift));
            best = MaxOfRow(best, _mm_srl_epi32(_mm_and_si128(hi, mask), shift));
        } else {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + 16));
            best = MaxOfRow(best, _mm_srl_epi32(_mm_and_si128(a, mask), shift));
            best = MaxOfRow(best, _mm_srl_epi32(_mm_and_si128(b, mask), shift));
        }
    }
    best = _mm_max_ps(best, _mm_movehl_ps(best, best));
    best = _mm_max_ss(best, _mm_shuffle_ps(best, best, 1));
    return static_cast<uint32_t>(_mm_cvtss_f32(best));
}

bool CoarseDepth::Behind(int32_t tx, int32_t ty, uint32_t nearest, bool orEqual) {
    std::atomic<uint32_t> &e = Entry(tx, ty);
    const uint32_t bound = e.load(std::memory_order_relaxed);
    uint64_t &workedOut = workedOut_[Index(tx, ty)];
    if (bound != kStale) {
        if (orEqual ? nearest >= bound : nearest > bound) return true;
        // Tight enough: worked out after the last earlier draw that wrote depth (a draw
        // may write on after working a tile out).
        if (workedOut > writtenBefore_) return false;
    }
    const uint32_t tight = WorkOut(tx, ty);
    workedOut = draw_;
    e.store(tight, std::memory_order_relaxed);
    return orEqual ? nearest >= tight : nearest > tight;
}

namespace {

// The tiles of tile row `ty` that SpanCoarseRejects rejects, marked in `mask`, and their count.
uint64_t RejectedTiles(const SpanDepth &d, const TriangleSetup &s, const PixelRect &region, int32_t ty, int32_t tx0,
                       int32_t tx1, uint32_t fault, uint64_t *mask) {
    CoarseDepth &coarse = *d.coarse;
    const int32_t y = ty * CoarseDepth::kTile;
    const int32_t words = (tx1 - tx0 + 63) / 64;
    for (int32_t i = 0; i < words; ++i) mask[i] = 0;
    // Only tiles wholly inside the band and the target.
    if (ty < 0 || y < region.y0 || y + CoarseDepth::kTile > region.y1 || ty >= coarse.Rows()) return 0;
    if (!std::isfinite(s.z.at0) || !std::isfinite(s.z.dx) || !std::isfinite(s.z.dy)) return 0;
    // The nearest row and the nearest column of each tile inside the triangle's bounds.
    const int32_t rowY = std::clamp(s.z.dy >= 0 ? y : y + CoarseDepth::kTile - 1, s.minY, s.maxY);
    const float oy = static_cast<float>(rowY) - s.originY;
    const float row = s.z.at0 + s.z.dy * oy;
    const bool less = d.func == D3DCMP_LESS;
    uint64_t rejected = 0;
    for (int32_t tx = std::max(tx0, 0); tx < tx1; ++tx) {
        const int32_t x = tx * CoarseDepth::kTile;
        if (x < region.x0 || x + CoarseDepth::kTile > region.x1 || tx >= coarse.Columns()) continue;
        const int32_t colX = std::clamp(s.z.dx >= 0 ? x : x + CoarseDepth::kTile - 1, s.minX, s.maxX);
        const float ox = static_cast<float>(colX) - s.originX;
        const uint32_t nearest = QuantizeDepth(row + s.z.dx * ox, d.depthBits);
        // A test's deliberate error: the tile tested against the bound of the tile to its right.
        const bool shifted = fault == kSpanFaultCoarse && tx + 1 < coarse.Columns() && x + 2 * CoarseDepth::kTile <= region.x1;
        if (coarse.Behind(shifted ? tx + 1 : tx, ty, nearest, less)) {
            const int32_t i = tx - tx0;
            mask[i / 64] |= uint64_t{1} << (i % 64);
            ++rejected;
        }
    }
    return rejected;
}

}  // namespace

bool SpanCoarseRejects(const SpanDepth &d, const TriangleSetup &s, const PixelRect &region, int32_t ty, int32_t tx0,
                       int32_t tx1, uint32_t fault, uint64_t *mask) {
    const uint64_t rejected = RejectedTiles(d, s, region, ty, tx0, tx1, fault, mask);
    if (rejected) gRejections.fetch_add(rejected, std::memory_order_relaxed);
    return rejected != 0;
}

bool SpanCoarseRejectsAny(const SpanDepth &d, const TriangleSetup &s, const PixelRect &region, int32_t ty0, int32_t ty1,
                          int32_t tx0, int32_t tx1, uint32_t fault) {
    uint64_t mask[kCoarseColumns / 64];
    for (int32_t ty = ty0; ty < ty1; ++ty) {
        if (RejectedTiles(d, s, region, ty, tx0, tx1, fault, mask)) return true;
    }
    return false;
}

void SpanCoarseWritten(const SpanDepth &d, const TriangleSetup &s, const PixelRect &region) {
    d.coarse->MarkStale(std::max(s.minX, region.x0), std::max(s.minY, region.y0), std::min(s.maxX + 1, region.x1),
                        std::min(s.maxY + 1, region.y1));
}

uint64_t TakeCoarseRejections() { return gRejections.exchange(0); }

}  // namespace swr
