// Draw calls: primitive assembly over plain or indexed vertex sequences. Every index
// and vertex read is checked against its stream first; a primitive with any vertex
// out of reach is skipped whole.
#include "swr_draw.h"

#include <cstring>

#include "swr_pixel_pipeline.h"
#include "swr_primitive_renderer.h"
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

uint32_t TexturedStageMask(const DrawState &state, const Combiner &combiner) {
    uint32_t mask = 0;
    for (uint32_t s = 0; s < combiner.StageCount(); ++s) {
        const TextureView &t = state.textures[s];
        if (combiner.Stage(s).readsTexture && t.levels && t.levelCount > 0) mask |= 1u << s;
    }
    return mask;
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

bool Draw(const DrawState &state, ColorTarget &color, DepthTarget *depth, D3DPRIMITIVETYPE type,
          const VertexStream &vertices, const Sequence &sequence, uint64_t cacheFirst, uint64_t cacheCount,
          uint64_t primitiveCount) {
    if (!KnownType(type)) return false;
    PixelPipeline pixels;
    if (!pixels.Prepare(state, color, depth)) return false;
    Combiner combiner;
    combiner.Prepare(state);
    VertexProcessor processor;
    if (!processor.Prepare(state, vertices, TexturedStageMask(state, combiner))) return false;
    if (pixels.Scissor().Empty()) return true;

    PrimitiveRenderer renderer;
    renderer.Prepare(state, pixels, processor.Pretransformed(), processor.VaryingCount());
    thread_local VertexCache cache;
    cache.Reset(processor, cacheFirst, cacheCount);
    const uint64_t available = AvailablePositions(sequence, processor);

    for (uint64_t k = 0; k < primitiveCount; ++k) {
        const PrimitivePositions pp = PositionsOf(type, k);
        const ClipVertex *v[3] = {};
        bool ok = true;
        for (uint32_t i = 0; i < pp.count && ok; ++i) {
            // Positions only grow with k (a fan's centre is position 0), so the first
            // one past the end ends the draw.
            if (pp.at[i] >= available) return true;
            ok = (v[i] = cache.Get(VertexAt(sequence, pp.at[i]))) != nullptr;
        }
        if (!ok) continue;
        switch (pp.count) {
            case 1: renderer.Point(*v[0]); break;
            case 2: renderer.Line(*v[0], *v[1], *v[pp.provoking]); break;
            default: renderer.Triangle(*v[0], *v[1], *v[2], *v[pp.provoking]); break;
        }
    }
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
