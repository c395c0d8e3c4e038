// A coarse depth for each 8x8 tile of a depth target: a bound no smaller than any depth
// the tile holds (the quantised value, as the depth test compares it), so that a
// triangle whose nearest depth over a tile lies at or behind the bound fails a LESS or
// LESSEQUAL test at every pixel there and the span routines skip the tile whole (for
// alpha-tested triangles, whose depth test would otherwise come after texturing).
//
// A bound is only ever too large, never too small. A clear gives whole tiles their
// value. Drawing under LESS, LESSEQUAL or EQUAL only brings depth nearer, so every
// bound stays true but may grow loose: a tile is worked out again from its words when a
// test would want a tighter bound and an earlier draw has written depth since the tile
// was last worked out (so at most once per draw, and never for what the draw itself
// wrote: a mesh's triangles do not work each other's tiles out over and over). Any
// other write of depth makes its tiles stale: worked out again before their next use. The target's owner drops every bound when the words
// may change outside drawing (a lock, a copy, a new size).
//
// Threads drawing bands of one draw share it: a tile is worked out again and tested only
// by the thread whose band holds the whole tile; marking a tile stale is an atomic
// store, so tiles across band edges may be marked by both.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "swr_draw.h"
#include "swr_span_plan.h"

namespace swr {

struct PixelRect;

class CoarseDepth {
public:
    static constexpr int32_t kTile = kCoarseTile;

    // Makes the grid fit `target` (same memory, size, pitch and format; when it did not,
    // every bound becomes stale), for the draw or clear about to start, which writes
    // depth or not.
    void Fit(const DepthTarget &target, bool writes);
    // Every bound stale: the words may have changed.
    void Drop();

    // The tiles that meet the pixels [x0, x1) x [y0, y1) of the target become stale.
    void MarkStale(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
    void MarkStale(int32_t x, int32_t y) {
        if (x >= 0 && y >= 0 && x < width_ && y < height_) Entry(x / kTile, y / kTile).store(kStale, std::memory_order_relaxed);
    }
    // After a clear of the depth bits of `rect` (inside the target) to `value`: whole
    // tiles take the value, the others become stale.
    void Cleared(const PixelRect &rect, uint32_t value);

    // Whether a triangle whose nearest depth over tile (tx, ty) is `nearest` lies behind
    // everything there: beyond the bound, or at it too when `orEqual` (a LESS test).
    // The tile lies wholly inside the target and the caller's band; its bound is worked
    // out from the words when stale, or when an earlier draw wrote depth since it was
    // and it is too loose to say yes.
    bool Behind(int32_t tx, int32_t ty, uint32_t nearest, bool orEqual);

    int32_t Columns() const { return columns_; }
    int32_t Rows() const { return rows_; }

private:
    static constexpr uint32_t kStale = 0xFFFFFFFFu;
    size_t Index(int32_t tx, int32_t ty) const { return size_t(ty) * size_t(columns_) + size_t(tx); }
    std::atomic<uint32_t> &Entry(int32_t tx, int32_t ty) { return bounds_[Index(tx, ty)]; }
    uint32_t WorkOut(int32_t tx, int32_t ty) const;

    std::unique_ptr<std::atomic<uint32_t>[]> bounds_;  // or kStale
    std::unique_ptr<uint64_t[]> workedOut_;            // the draw each tile's bound is of
    uint64_t draw_ = 0;
    uint64_t lastWrite_ = 0;      // the last draw that wrote depth
    uint64_t writtenBefore_ = 0;  // the last one before the current draw
    int32_t columns_ = 0, rows_ = 0;  // whole and partial tiles
    int32_t width_ = 0, height_ = 0;
    const uint8_t *bits_ = nullptr;
    uint32_t pitch_ = 0;
    D3DFORMAT format_ = D3DFMT_UNKNOWN;
    uint32_t bytes_ = 0, depthMask_ = 0, shift_ = 0;
};

// Tiles rejected since the last call (for the tests that prove rejection is exercised).
uint64_t TakeCoarseRejections();

}  // namespace swr
