// Processed vertices of one draw call, each vertex processed at most once however many
// primitives share it. Vertices outside the draw's announced range are still drawn,
// processed each time they are used.
#pragma once

#include <cstdint>
#include <vector>

#include "swr_clip_vertex.h"
#include "swr_vertex_processor.h"

namespace swr {

class VertexCache {
public:
    // Caches vertices [first, first + count) of the stream (clamped to it).
    void Reset(const VertexProcessor &processor, uint64_t first, uint64_t count);

    // The processed vertex, or null when `index` lies outside the stream. A pointer to
    // an uncached vertex stays valid for the next three calls, enough for a triangle.
    const ClipVertex *Get(uint64_t index);

private:
    const VertexProcessor *processor_ = nullptr;
    uint64_t first_ = 0;
    std::vector<ClipVertex> vertices_;
    std::vector<uint8_t> done_;
    ClipVertex scratch_[4];
    uint32_t nextScratch_ = 0;
};

}  // namespace swr
