// Primitives ready to rasterise, kept in draw order and sorted into horizontal screen
// bands. A draw fills one bin per run of primitives (on any thread), then each band is
// drawn by one thread from every bin of every queued draw in turn; since a pixel lies in
// one band and each band sees its primitives in draw order, the pixels never depend on
// the threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "swr_raster_common.h"
#include "swr_triangle_raster.h"

namespace swr {

// Rows per band when a draw is shared among threads: small enough to share a frame
// among many, large enough that a triangle rarely spans many bands. On one thread the
// bands are cache-sized instead: the colour and depth of a band's rows (`rowBytes`
// each) about kBandBytes, so that the pixels every queued draw touches in a band stay
// in the processor's cache while the band is drawn.
constexpr int32_t kBandRows = 16;
constexpr uint64_t kBandBytes = 256 * 1024;
int32_t BandRowsFor(int32_t rows, uint32_t threads, uint64_t rowBytes);

class PrimitiveBin {
public:
    // Empties the bin for a draw whose pixels lie in rows [firstRow, firstRow + bands *
    // bandRows).
    void Reset(int32_t firstRow, uint32_t bands, int32_t bandRows, uint32_t varyingCount);

    // `flat` holds the flat-shading colours of the primitive (used when the draw shades flat).
    void AddTriangle(const TriangleSetup &setup, const RasterContext &flat);
    // Where the next triangle may be set up: inside the bin, where AddTriangle keeps it
    // without a copy (`own` when the bin draws at once). Good until the next Add.
    TriangleSetup &NextTriangle(TriangleSetup &own);
    void AddLine(const ScreenVertex &a, const ScreenVertex &b, int32_t minY, int32_t maxY, const RasterContext &flat);
    void AddPoint(const ScreenVertex &p, int32_t y, const RasterContext &flat);

    // Pixels of the primitives' bounding boxes inside the draw's rows (lines and points
    // count their rows): a measure of how much rasterising the bin asks for.
    uint64_t PixelArea() const { return area_; }
    // Primitives that touch band `band`.
    size_t BandCount(uint32_t band) const { return band < bandCount_ ? bands_[band].size() : 0; }
    // Bytes the primitives and their band entries take.
    size_t HeldBytes() const { return used_ + entries_ * sizeof(uint32_t); }

    // Draws this bin's primitives that touch band `band`, limited to `region`.
    void Replay(uint32_t band, const RasterContext &ctx, const PixelRect &region) const;

    // With a region set, the bin keeps nothing: each primitive is drawn as it is added,
    // limited to the region, as Replay would draw it (null: kept again).
    void DrawAtOnce(const PixelRect *region) { atOnce_ = region; }

private:
    enum class Kind : uint8_t { Triangle, Line, Point };
    struct Header {
        Kind kind;
        Rgba8 flatDiffuse, flatSpecular;
    };
    void *Append(Kind kind, size_t payload, int32_t minY, int32_t maxY, const RasterContext &flat);

    int32_t firstRow_ = 0;
    int32_t bandRows_ = kBandRows;
    uint32_t bandCount_ = 0;
    uint64_t area_ = 0;
    size_t setupBytes_ = 0;             // the part of a TriangleSetup in use
    std::vector<std::byte> storage_;    // headers and payloads, 16-byte aligned; grows only
    size_t used_ = 0;                   // bytes of storage_ in use
    size_t entries_ = 0;                // band entries, over every band
    std::vector<std::vector<uint32_t>> bands_;  // offsets into storage, per band
    const PixelRect *atOnce_ = nullptr;
};

}  // namespace swr
