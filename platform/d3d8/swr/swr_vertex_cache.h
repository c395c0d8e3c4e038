// Processed vertices of one draw call, each vertex processed at most once however many
// primitives share it. Vertices outside the draw's announced range are still drawn,
// processed each time they are used.
#pragma once

#include <cstdint>
#include <vector>

#include "swr_clip_vertex.h"
#include "swr_vertex_processor.h"

namespace swr {

class PrimitiveRenderer;

// A processed vertex with what primitive rendering works out once per vertex however
// many primitives share it: its clip outcode and, when that is zero, its place on screen
// (filled in by PrimitiveRenderer::Finish or FinishFour as the cache processes it).
// What a triangle reads of its corners lies first: the flags and screen place, then the
// position and the leading varyings (the ones most draws use), two cache lines for most
// draws where the record runs over four.
struct CachedVertex {
    bool finished = false;
    bool snapped = false;  // with the place on screen: SnapToGrid's answer and coordinates
    uint32_t outcode = 0;
    float x = 0, y = 0, z = 0, rhw = 1;
    int32_t sx = 0, sy = 0;
    ClipVertex clip;
};

class VertexCache {
public:
    // Caches vertices [first, first + count) of the stream (clamped to it). Every vertex
    // comes out finished by `finisher`: the cached ones a batch at a time.
    void Reset(const VertexProcessor &processor, const PrimitiveRenderer &finisher, uint64_t first, uint64_t count);

    // The processed vertex, or null when `index` lies outside the stream. A pointer to
    // an uncached vertex stays valid for the next three calls, enough for a triangle.
    CachedVertex *Get(uint64_t index) {
        // Inside the range (which lies inside the stream) and processed: most calls.
        const uint64_t slot = index - first_;
        if (slot < done_.size() && done_[slot]) return &vertices_[slot];
        return Miss(index);
    }

    // The vertices the cache holds (the range Reset was given, clamped to the stream).
    uint64_t Slots() const { return done_.size(); }
    // Processes the vertices in slots [from, to) that are not processed yet and returns
    // the first slot's: threads may fill disjoint ranges of one cache at once.
    CachedVertex *FillRange(uint64_t from, uint64_t to);
    // The processed vertex in the cache, or null (outside the range, or not processed):
    // only reads, so any number of threads may look up a cache no one fills meanwhile.
    const CachedVertex *Find(uint64_t index) const {
        const uint64_t slot = index - first_;
        return slot < done_.size() && done_[slot] ? &vertices_[slot] : nullptr;
    }
    // Asks for the part of a cached vertex a triangle reads first (its first two cache
    // lines), to be read soon: the vertices of a range filled over the threads mostly
    // lie in another processor's cache.
    void Prefetch(uint64_t index) const {
        const uint64_t slot = index - first_;
        if (slot >= vertices_.size()) return;
        __builtin_prefetch(&vertices_[slot]);
        __builtin_prefetch(reinterpret_cast<const char *>(&vertices_[slot]) + 64);
    }

private:
    CachedVertex *Miss(uint64_t index);
    // Processes the vertex in `slot` (not done yet) and the next few not done either,
    // before slot `end`.
    void Fill(uint64_t slot, uint64_t end);

    const VertexProcessor *processor_ = nullptr;
    const PrimitiveRenderer *finisher_ = nullptr;
    LaneConstants lanes_;  // the processor's, splatted at Reset for its batches
    uint64_t first_ = 0;
    std::vector<CachedVertex> vertices_;
    std::vector<uint8_t> done_;
    CachedVertex scratch_[4];
    uint32_t nextScratch_ = 0;
};

}  // namespace swr
