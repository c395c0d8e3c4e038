// Lazily filled vertex cache, a few vertices at a time; its storage is kept between draws to avoid reallocating.
#include "swr_vertex_cache.h"

#include <algorithm>

#include "swr_primitive_renderer.h"

namespace swr {
namespace {
// Draws announcing more vertices than this process the rest uncached.
constexpr uint64_t kMaxCachedVertices = 1u << 20;
// A batch is finished four lanes at a time.
static_assert(VertexProcessor::kBatch <= 4);
}

void VertexCache::Reset(const VertexProcessor &processor, const PrimitiveRenderer &finisher, uint64_t first,
                        uint64_t count) {
    processor_ = &processor;
    finisher_ = &finisher;
    const uint64_t streamCount = processor.VertexCount();
    first_ = std::min(first, streamCount);
    count = std::min({count, streamCount - first_, kMaxCachedVertices});
    if (vertices_.size() < count) vertices_.resize(count);
    done_.assign(count, 0);
    // Only the cached vertices go through batches.
    if (count > 0) processor.PrepareLanes(lanes_);
    positionsFirst_ = processor.FourLanes();
}

void VertexCache::Fill(uint64_t slot, uint64_t end) {
    // The vertex and those after it not processed yet, up to a batch: a mesh's
    // triangles mostly take their vertices in the stream's order.
    uint32_t index[VertexProcessor::kBatch];
    ClipVertex *out[VertexProcessor::kBatch];
    CachedVertex *cached[VertexProcessor::kBatch];
    uint32_t n = 0;
    for (uint64_t s = slot; n < VertexProcessor::kBatch && s < end && done_[s] != kProcessed; ++s, ++n) {
        index[n] = static_cast<uint32_t>(first_ + s);
        cached[n] = &vertices_[s];
        out[n] = &vertices_[s].clip;
        done_[s] = kProcessed;
    }
    processor_->ProcessBatch(index, n, out, lanes_);
    finisher_->FinishFour(cached, n);
    // The next batch's records, which the next miss most likely writes: asked for now, so
    // that its writes do not wait on them.
    for (uint64_t s = slot + n; s < slot + n + VertexProcessor::kBatch && s < end; ++s) {
        __builtin_prefetch(&vertices_[s], 1);
        __builtin_prefetch(reinterpret_cast<const char *>(&vertices_[s]) + 64, 1);
    }
}

CachedVertex *VertexCache::FillRange(uint64_t from, uint64_t to) {
    to = std::min<uint64_t>(to, done_.size());
    for (uint64_t s = from; s < to; ++s) {
        if (done_[s] != kProcessed) Fill(s, to);
    }
    return vertices_.data() + from;
}

CachedVertex *VertexCache::PlaceMiss(uint64_t index) {
    const uint64_t slot = index - first_;
    if (index >= processor_->VertexCount() || index < first_ || slot >= done_.size()) return Miss(index);
    // Fill's batch of slots, their positions alone.
    uint32_t at[VertexProcessor::kBatch];
    ClipVertex *out[VertexProcessor::kBatch];
    CachedVertex *cached[VertexProcessor::kBatch];
    uint32_t n = 0;
    for (uint64_t s = slot; n < VertexProcessor::kBatch && s < done_.size() && done_[s] == kNothing; ++s, ++n) {
        at[n] = static_cast<uint32_t>(first_ + s);
        cached[n] = &vertices_[s];
        out[n] = &vertices_[s].clip;
        done_[s] = kPlaced;
    }
    PositionLanes positions;
    processor_->ProcessPositions(at, n, out, lanes_, positions);
    finisher_->FinishFour(cached, n, positions);
    for (uint64_t s = slot + n; s < slot + n + VertexProcessor::kBatch && s < done_.size(); ++s) {
        __builtin_prefetch(&vertices_[s], 1);
        __builtin_prefetch(reinterpret_cast<const char *>(&vertices_[s]) + 64, 1);
    }
    return &vertices_[slot];
}

void VertexCache::CompleteFrom(uint64_t slot) {
    // The batch's positions come out again as they were; the finished place stays.
    uint32_t at[VertexProcessor::kBatch];
    ClipVertex *out[VertexProcessor::kBatch];
    uint32_t n = 0;
    for (uint64_t s = slot; n < VertexProcessor::kBatch && s < done_.size() && done_[s] == kPlaced; ++s, ++n) {
        at[n] = static_cast<uint32_t>(first_ + s);
        out[n] = &vertices_[s].clip;
        done_[s] = kProcessed;
    }
    processor_->ProcessBatch(at, n, out, lanes_);
}

CachedVertex *VertexCache::Miss(uint64_t index) {
    if (index >= processor_->VertexCount()) return nullptr;
    const uint64_t slot = index - first_;
    if (index >= first_ && slot < done_.size()) {
        if (done_[slot] == kNothing) Fill(slot, done_.size());
        else if (done_[slot] == kPlaced) CompleteFrom(slot);
        return &vertices_[slot];
    }
    CachedVertex &v = scratch_[nextScratch_];
    nextScratch_ = (nextScratch_ + 1) % 4;
    processor_->Process(static_cast<uint32_t>(index), v.clip);
    finisher_->Finish(v);
    return &v;
}

}  // namespace swr
