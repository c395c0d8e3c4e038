// Draw calls: primitive assembly over plain or indexed vertex sequences, split into
// runs whose set-up may go to several threads, then rasterised band by band. Every
// index and vertex read is checked against its stream first; a primitive with any
// vertex out of reach is skipped whole.
#include "swr_draw.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#include "swr_pixel_pipeline.h"
#include "swr_point_sprite.h"
#include "swr_primitive_bin.h"
#include "swr_primitive_renderer.h"
#include "swr_thread_pool.h"
#include "swr_vertex_cache.h"
#include "swr_vertex_processor.h"

namespace swr {
namespace {

// Where primitive `k` takes its vertices from in the draw's sequence of positions.
struct PrimitivePositions {
    uint64_t at[3];
    uint32_t count;
    uint32_t provoking;  // which of `at` gives the flat colour
};

bool KnownType(D3DPRIMITIVETYPE type) { return type >= D3DPT_POINTLIST && type <= D3DPT_TRIANGLEFAN; }

PrimitivePositions PositionsOf(D3DPRIMITIVETYPE type, uint64_t k) {
    switch (type) {
        case D3DPT_POINTLIST: return {{k, 0, 0}, 1, 0};
        case D3DPT_LINELIST: return {{2 * k, 2 * k + 1, 0}, 2, 0};
        case D3DPT_LINESTRIP: return {{k, k + 1, 0}, 2, 0};
        case D3DPT_TRIANGLELIST: return {{3 * k, 3 * k + 1, 3 * k + 2}, 3, 0};
        // Odd strip triangles swap their last two vertices to keep one winding; the
        // first vertex in strip order stays the provoking one.
        case D3DPT_TRIANGLESTRIP:
            return (k & 1) ? PrimitivePositions{{k, k + 2, k + 1}, 3, 0} : PrimitivePositions{{k, k + 1, k + 2}, 3, 0};
        default: return {{0, k + 1, k + 2}, 3, 1};  // fan: flat colour from the rim's first vertex
    }
}

// Positions needed to draw `count` primitives.
uint64_t SequenceLength(D3DPRIMITIVETYPE type, uint64_t count) {
    if (count == 0) return 0;
    switch (type) {
        case D3DPT_POINTLIST: return count;
        case D3DPT_LINELIST: return 2 * count;
        case D3DPT_LINESTRIP: return count + 1;
        case D3DPT_TRIANGLELIST: return 3 * count;
        default: return count + 2;
    }
}

// A draw's sequence of vertex positions: plain (consecutive vertices from `start`)
// when `indices` is null, else read from the index stream.
struct Sequence {
    const IndexStream *indices = nullptr;
    uint64_t start = 0;  // first vertex, or first index
    uint64_t base = 0;   // added to every index
};

// Positions the sequence can supply at all, whatever the primitive count asks for.
uint64_t AvailablePositions(const Sequence &s, const VertexProcessor &processor) {
    if (!s.indices) return s.start < processor.VertexCount() ? processor.VertexCount() - s.start : 0;
    if (!s.indices->data) return 0;
    const uint64_t available = s.indices->sizeBytes / (s.indices->is32Bit ? 4 : 2);
    return s.start < available ? available - s.start : 0;
}

uint64_t VertexAt(const Sequence &s, uint64_t p) {
    if (!s.indices) return s.start + p;
    const uint8_t *at = s.indices->data + (s.start + p) * (s.indices->is32Bit ? 4 : 2);
    if (s.indices->is32Bit) {
        uint32_t i;
        std::memcpy(&i, at, 4);
        return s.base + i;
    }
    uint16_t i;
    std::memcpy(&i, at, 2);
    return s.base + i;
}

// Primitives the sequence can feed whole: positions only grow with the primitive
// number (a fan's centre is position 0), so the first primitive reaching past the end
// ends the draw.
uint64_t DrawablePrimitives(D3DPRIMITIVETYPE type, uint64_t available) {
    switch (type) {
        case D3DPT_POINTLIST: return available;
        case D3DPT_LINELIST: return available / 2;
        case D3DPT_LINESTRIP: return available >= 2 ? available - 1 : 0;
        case D3DPT_TRIANGLELIST: return available / 3;
        default: return available >= 3 ? available - 2 : 0;
    }
}

// Primitives per run of set-up work, and the pixel area below which rasterising stays
// on the calling thread (waking the workers would cost more than it saves).
constexpr uint64_t kRunPrimitives = 512;
constexpr uint64_t kParallelPixelArea = 16384;

std::atomic<uint64_t> gDrawSerial{0};

struct DrawJob {
    const PrimitiveRenderer *renderer;
    const VertexProcessor *processor;
    const Sequence *sequence;
    D3DPRIMITIVETYPE type;
    uint64_t cacheFirst, cacheCount, serial;
    int32_t firstRow, bandRows;
    uint32_t bands;
};

void SetUpRun(const DrawJob &job, uint64_t first, uint64_t last, PrimitiveBin &bin) {
    thread_local VertexCache cache;
    thread_local uint64_t cacheSerial = 0;
    if (cacheSerial != job.serial) {
        cache.Reset(*job.processor, job.cacheFirst, job.cacheCount);
        cacheSerial = job.serial;
    }
    PrimitiveRenderer renderer = *job.renderer;
    bin.Reset(job.firstRow, job.bands, job.bandRows, renderer.Context().varyingCount);
    renderer.SetBin(&bin);
    for (uint64_t k = first; k < last; ++k) {
        const PrimitivePositions pp = PositionsOf(job.type, k);
        CachedVertex *v[3] = {};
        bool ok = true;
        for (uint32_t i = 0; i < pp.count && ok; ++i) ok = (v[i] = cache.Get(VertexAt(*job.sequence, pp.at[i]))) != nullptr;
        if (!ok) continue;
        switch (pp.count) {
            case 1: renderer.Point(v[0]->clip); break;
            case 2: renderer.Line(v[0]->clip, v[1]->clip, v[pp.provoking]->clip); break;
            default:
                for (int i = 0; i < 3; ++i) {
                    if (!v[i]->finished) renderer.Finish(*v[i]);
                }
                renderer.Triangle(*v[0], *v[1], *v[2], v[pp.provoking]->clip);
                break;
        }
    }
}

bool Draw(const DrawState &state, ColorTarget &color, DepthTarget *depth, D3DPRIMITIVETYPE type,
          const VertexStream &vertices, const Sequence &sequence, uint64_t cacheFirst, uint64_t cacheCount,
          uint64_t primitiveCount) {
    if (!KnownType(type)) return false;
    PixelPipeline pixels;
    if (!pixels.Prepare(state, color, depth)) return false;
    VertexProcessor processor;
    if (!processor.Prepare(state, vertices, pixels.SampledStages())) return false;
    const PixelRect scissor = pixels.Scissor();
    if (scissor.Empty()) return true;

    PrimitiveRenderer renderer;
    renderer.Prepare(state, pixels, processor.Pretransformed(), processor.VaryingCount());
    const uint64_t count = std::min(primitiveCount, DrawablePrimitives(type, AvailablePositions(sequence, processor)));
    if (count == 0) return true;
    if (DrawsPointSprites(state, type))
        return DrawPointSprites(state, pixels, processor, vertices, count, [&](uint64_t k) { return VertexAt(sequence, k); });

    const int32_t rows = scissor.y1 - scissor.y0;
    const int32_t bandRows = BandRowsFor(rows, ThreadCount());
    const DrawJob job{&renderer, &processor, &sequence, type, cacheFirst, cacheCount, ++gDrawSerial,
                      scissor.y0, bandRows, static_cast<uint32_t>((rows + bandRows - 1) / bandRows)};
    const uint32_t runs = static_cast<uint32_t>((count + kRunPrimitives - 1) / kRunPrimitives);
    // The caller's bins, named through a reference: workers must not resolve the
    // thread-local name to their own (empty) copy.
    thread_local std::vector<PrimitiveBin> callerBins;
    std::vector<PrimitiveBin> &bins = callerBins;
    if (bins.size() < runs) bins.resize(runs);
    RunJobs(runs, [&](uint32_t r) {
        const uint64_t first = uint64_t{r} * kRunPrimitives;
        SetUpRun(job, first, std::min(count, first + kRunPrimitives), bins[r]);
    });

    const RasterContext &ctx = renderer.Context();
    auto rasterBand = [&](uint32_t band) {
        PixelRect region = scissor;
        region.y0 = scissor.y0 + static_cast<int32_t>(band) * job.bandRows;
        region.y1 = std::min(scissor.y1, region.y0 + job.bandRows);
        for (uint32_t r = 0; r < runs; ++r) bins[r].Replay(band, ctx, region);
    };
    uint64_t area = 0;
    for (uint32_t r = 0; r < runs; ++r) area += bins[r].PixelArea();
    if (area < kParallelPixelArea) {
        for (uint32_t b = 0; b < job.bands; ++b) rasterBand(b);
        return true;
    }
    // The busiest bands first (by how many primitives touch them), so the threads that
    // take the last ones finish at about the same time. Which thread draws a band
    // never changes its pixels.
    thread_local std::vector<std::pair<uint32_t, uint32_t>> callerOrder;
    std::vector<std::pair<uint32_t, uint32_t>> &order = callerOrder;
    order.resize(job.bands);
    for (uint32_t b = 0; b < job.bands; ++b) {
        size_t count = 0;
        for (uint32_t r = 0; r < runs; ++r) count += bins[r].BandCount(b);
        order[b] = {static_cast<uint32_t>(std::min<size_t>(count, UINT32_MAX)), b};
    }
    std::sort(order.begin(), order.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    RunJobs(job.bands, [&](uint32_t i) { rasterBand(order[i].second); });
    return true;
}

}  // namespace

bool DrawPrimitive(const DrawState &state, ColorTarget &color, DepthTarget *depth, D3DPRIMITIVETYPE type,
                   const VertexStream &vertices, uint32_t startVertex, uint32_t primitiveCount) {
    const Sequence sequence{nullptr, startVertex, 0};
    return Draw(state, color, depth, type, vertices, sequence, startVertex, SequenceLength(type, primitiveCount),
                primitiveCount);
}

bool DrawIndexedPrimitive(const DrawState &state, ColorTarget &color, DepthTarget *depth, D3DPRIMITIVETYPE type,
                          const VertexStream &vertices, const IndexStream &indices, uint32_t baseVertexIndex,
                          uint32_t minIndex, uint32_t vertexCount, uint32_t startIndex, uint32_t primitiveCount) {
    const Sequence sequence{&indices, startIndex, baseVertexIndex};
    return Draw(state, color, depth, type, vertices, sequence, uint64_t{baseVertexIndex} + minIndex, vertexCount,
                primitiveCount);
}

}  // namespace swr
