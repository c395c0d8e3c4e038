// Primitive assembly: which positions of a draw's vertex sequence each primitive takes,
// and the sequence itself, plain (consecutive vertices) or read from an index stream.
// Every index read is checked against its stream.
#pragma once

#include <cstdint>
#include <cstring>

#include "swr_draw.h"

namespace swr {

// Where primitive `k` takes its vertices from in the draw's sequence of positions.
struct PrimitivePositions {
    uint64_t at[3];
    uint32_t count;
    uint32_t provoking;  // which of `at` gives the flat colour
};

inline bool KnownPrimitiveType(D3DPRIMITIVETYPE type) {
    return type >= D3DPT_POINTLIST && type <= D3DPT_TRIANGLEFAN;
}

inline PrimitivePositions PositionsOf(D3DPRIMITIVETYPE type, uint64_t k) {
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
inline uint64_t SequenceLength(D3DPRIMITIVETYPE type, uint64_t count) {
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

// Positions the sequence can supply at all, whatever the primitive count asks for, from
// a stream of `vertexCount` vertices.
inline uint64_t AvailablePositions(const Sequence &s, uint64_t vertexCount) {
    if (!s.indices) return s.start < vertexCount ? vertexCount - s.start : 0;
    if (!s.indices->data) return 0;
    const uint64_t available = s.indices->sizeBytes / (s.indices->is32Bit ? 4 : 2);
    return s.start < available ? available - s.start : 0;
}

inline uint64_t VertexAt(const Sequence &s, uint64_t p) {
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
inline uint64_t DrawablePrimitives(D3DPRIMITIVETYPE type, uint64_t available) {
    switch (type) {
        case D3DPT_POINTLIST: return available;
        case D3DPT_LINELIST: return available / 2;
        case D3DPT_LINESTRIP: return available >= 2 ? available - 1 : 0;
        case D3DPT_TRIANGLELIST: return available / 3;
        default: return available >= 3 ? available - 2 : 0;
    }
}

}  // namespace swr
