// Bin storage: a triangle keeps only the planes its draw uses, so a bin of a large draw
// stays a few hundred bytes per triangle.
#include "swr_primitive_bin.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "swr_coarse_depth.h"
#include "swr_fast_triangle.h"
#include "swr_line_raster.h"

namespace swr {
namespace {

constexpr size_t kAlign = 16;
size_t Aligned(size_t n) { return (n + kAlign - 1) & ~(kAlign - 1); }

}  // namespace

int32_t BandRowsFor(int32_t rows, uint32_t threads, uint64_t rowBytes) {
    // Whole tiles of the coarse depth, so that each band tests and keeps its own.
    constexpr int32_t kTile = CoarseDepth::kTile;
    if (threads <= 1) {
        const uint64_t fit = rowBytes ? kBandBytes / rowBytes : uint64_t(rows);
        const int32_t tiles = static_cast<int32_t>(std::min<uint64_t>(fit, uint64_t(std::max(rows, 1))) / kTile);
        return std::max(tiles, 1) * kTile;
    }
    // About eight bands per thread, so that the busiest bands first even them out.
    const int32_t rowsEach = std::max(kBandRows, rows / static_cast<int32_t>(8 * threads));
    return (rowsEach + kTile - 1) / kTile * kTile;
}

void PrimitiveBin::Reset(int32_t firstRow, uint32_t bands, int32_t bandRows, uint32_t varyingCount) {
    firstRow_ = firstRow;
    bandRows_ = bandRows;
    bandCount_ = bands;
    setupBytes_ = offsetof(TriangleSetup, var) + sizeof(Plane) * varyingCount;
    used_ = 0;
    entries_ = 0;
    area_ = 0;
    if (bands_.size() < bands) bands_.resize(bands);
    for (uint32_t b = 0; b < bands; ++b) bands_[b].clear();
}

void *PrimitiveBin::Append(Kind kind, size_t payload, int32_t minY, int32_t maxY, const RasterContext &flat) {
    const int64_t lo = std::max<int64_t>(0, (int64_t{minY} - firstRow_) / bandRows_);
    const int64_t hi = std::min<int64_t>(int64_t{bandCount_} - 1, (int64_t{maxY} - firstRow_) / bandRows_);
    if (maxY < firstRow_ || lo > hi) return nullptr;
    const size_t at = used_;
    used_ += Aligned(sizeof(Header)) + Aligned(payload);
    // Grown by doubling and never shrunk, so filling a bin rarely touches memory twice.
    // A whole TriangleSetup always fits past the last payload: triangles are read
    // where they lie.
    if (used_ + sizeof(TriangleSetup) > storage_.size()) {
        storage_.resize(std::max(used_ + sizeof(TriangleSetup), 2 * storage_.size()));
    }
    const Header h{kind, flat.flatDiffuse, flat.flatSpecular};
    std::memcpy(storage_.data() + at, &h, sizeof(h));
    for (int64_t b = lo; b <= hi; ++b) bands_[static_cast<size_t>(b)].push_back(static_cast<uint32_t>(at));
    entries_ += static_cast<size_t>(hi - lo + 1);
    if (kind != Kind::Triangle) area_ += uint64_t(hi - lo + 1) * uint64_t(bandRows_);
    return storage_.data() + at + Aligned(sizeof(Header));
}

TriangleSetup &PrimitiveBin::NextTriangle(TriangleSetup &own) {
    if (atOnce_) return own;
    const size_t at = used_ + Aligned(sizeof(Header));
    if (at + sizeof(TriangleSetup) > storage_.size()) {
        storage_.resize(std::max(at + sizeof(TriangleSetup), 2 * storage_.size()));
    }
    return *std::launder(reinterpret_cast<TriangleSetup *>(storage_.data() + at));
}

void PrimitiveBin::AddTriangle(const TriangleSetup &setup, const RasterContext &flat) {
    if (atOnce_) {
        // `flat` is the renderer's own context, its flat colours those of this triangle.
        if (flat.fast) flat.fast->Rasterize(setup, flat, *atOnce_);
        else RasterizeTriangle(setup, flat, *atOnce_);
        return;
    }
    // Set up where NextTriangle pointed, it is in place already (and moves with the
    // storage should Append grow it, so nothing of it is read after).
    const bool inPlace = !storage_.empty() && reinterpret_cast<const std::byte *>(&setup) ==
                                                  storage_.data() + used_ + Aligned(sizeof(Header));
    const uint64_t box =
        uint64_t(std::max(0, setup.maxX - setup.minX + 1)) * uint64_t(std::max(0, setup.maxY - setup.minY + 1));
    void *p = Append(Kind::Triangle, setupBytes_, setup.minY, setup.maxY, flat);
    if (!p) return;
    if (!inPlace) std::memcpy(p, &setup, setupBytes_);
    area_ += box;
}

void PrimitiveBin::AddLine(const ScreenVertex &a, const ScreenVertex &b, int32_t minY, int32_t maxY,
                           const RasterContext &flat) {
    if (atOnce_) return RasterizeLine(a, b, flat, *atOnce_);
    if (void *p = Append(Kind::Line, 2 * sizeof(ScreenVertex), minY, maxY, flat)) {
        std::memcpy(p, &a, sizeof(a));
        std::memcpy(static_cast<std::byte *>(p) + sizeof(a), &b, sizeof(b));
    }
}

void PrimitiveBin::AddPoint(const ScreenVertex &v, int32_t y, const RasterContext &flat) {
    if (atOnce_) return RasterizePoint(v, flat, *atOnce_);
    if (void *p = Append(Kind::Point, sizeof(ScreenVertex), y, y, flat)) std::memcpy(p, &v, sizeof(v));
}

void PrimitiveBin::Replay(uint32_t band, const RasterContext &shared, const PixelRect &region) const {
    // A band no primitive of the bin touches (most of a small draw's) costs no copy.
    if (band >= bandCount_ || bands_[band].empty()) return;
    RasterContext ctx = shared;
    TriangleSetup setup;
    ScreenVertex v[2];
    for (const uint32_t at : bands_[band]) {
        Header h;
        std::memcpy(&h, storage_.data() + at, sizeof(h));
        ctx.flatDiffuse = h.flatDiffuse;
        ctx.flatSpecular = h.flatSpecular;
        const std::byte *payload = storage_.data() + at + Aligned(sizeof(Header));
        switch (h.kind) {
            case Kind::Triangle:
                if (ctx.fast) {
                    // Drawn where it lies: the routines read only the planes the bin keeps.
                    ctx.fast->Rasterize(*std::launder(reinterpret_cast<const TriangleSetup *>(payload)), ctx, region);
                } else {
                    std::memcpy(static_cast<void *>(&setup), payload, setupBytes_);
                    RasterizeTriangle(setup, ctx, region);
                }
                break;
            case Kind::Line:
                std::memcpy(v, payload, 2 * sizeof(ScreenVertex));
                RasterizeLine(v[0], v[1], ctx, region);
                break;
            case Kind::Point:
                std::memcpy(v, payload, sizeof(ScreenVertex));
                RasterizePoint(v[0], ctx, region);
                break;
        }
    }
}

}  // namespace swr
