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
        if (slot < done_.size() && done_[slot] == kProcessed) return &vertices_[slot];
        return Miss(index);
    }

    // Get without the vertex's varyings when the cache can leave them for later: a
    // vertex with its position processed and finished, whose varyings Complete gives
    // before anything reads them. A triangle facing away (half of a closed model's)
    // then never has its corners lit, when no kept triangle shares them.
    CachedVertex *Place(uint64_t index) {
        const uint64_t slot = index - first_;
        if (slot < done_.size() && done_[slot] != kNothing) return &vertices_[slot];
        return positionsFirst_ ? PlaceMiss(index) : Miss(index);
    }
    // Gives a vertex from Place its varyings, when it has none yet.
    void Complete(const CachedVertex *v) {
        // Vertices outside the range (processed whole as they are met) lie elsewhere.
        const uint64_t slot = (reinterpret_cast<uintptr_t>(v) - reinterpret_cast<uintptr_t>(vertices_.data())) /
                              sizeof(CachedVertex);
        if (slot < done_.size() && done_[slot] == kPlaced) CompleteFrom(slot);
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
        return slot < done_.size() && done_[slot] == kProcessed ? &vertices_[slot] : nullptr;
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
    // A slot's state: nothing yet, its position processed and finished (by Place), or
    // processed whole.
    enum : uint8_t { kNothing = 0, kPlaced = 1, kProcessed = 2 };
    CachedVertex *Miss(uint64_t index);
    CachedVertex *PlaceMiss(uint64_t index);
    // Processes whole the placed vertex in `slot` and the next few placed ones after it.
    void CompleteFrom(uint64_t slot);
    // Processes the vertex in `slot` (not done yet) and the next few not done either,
    // before slot `end`.
    void Fill(uint64_t slot, uint64_t end);

    const VertexProcessor *processor_ = nullptr;
    const PrimitiveRenderer *finisher_ = nullptr;
    LaneConstants lanes_;  // the processor's, splatted at Reset for its batches
    uint64_t first_ = 0;
    bool positionsFirst_ = false;  // the processor gives positions alone (Place may leave varyings)
    std::vector<CachedVertex> vertices_;
    std::vector<uint8_t> done_;
    CachedVertex scratch_[4];
    uint32_t nextScratch_ = 0;
};

}  // namespace swr
