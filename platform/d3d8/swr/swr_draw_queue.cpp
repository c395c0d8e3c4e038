// The draw queue: recording (vertex processing, clipping and set-up into bins on the
// screen bands of the queued targets: a large draw's vertices processed over the
// threads, then its set-up in runs over the threads; a small draw's set-up kept for the
// flush, with a copy of what it reads) and
// flushing (the kept set-ups over the threads, then each band on one thread, the draws
// in recording order).
#include "swr_draw_queue.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <unordered_set>
#include <vector>

#include "swr_fast_triangle.h"
#include "swr_pixel_pipeline.h"
#include "swr_pixel_shader.h"
#include "swr_point_sprite.h"
#include "swr_primitive_assembly.h"
#include "swr_primitive_bin.h"
#include "swr_primitive_renderer.h"
#include "swr_thread_pool.h"
#include "swr_vertex_cache.h"
#include "swr_vertex_processor.h"

namespace swr {
namespace {

// Primitives per run of set-up work, and the pixel area below which a flush stays on the
// calling thread (waking the workers would cost more than it saves).
constexpr uint64_t kRunPrimitives = 512;
// Vertices per job when a large draw's vertex range is processed ahead of its runs, and
// how many primitives ahead a run asks for the vertices it will read from that range.
constexpr uint64_t kRunVertices = 512;
constexpr uint64_t kPrefetchAhead = 6;
constexpr uint64_t kParallelPixelArea = 16384;
// The most vertex bytes a small draw's kept set-up copies; a draw reaching more is set
// up as it is recorded.
constexpr size_t kMaxCopiedBytes = size_t{256} << 10;

// SWR_DEFERRED=0 starts with deferred drawing off (for diagnosis and comparison).
std::atomic<bool> gDeferred{[] {
    const char *env = std::getenv("SWR_DEFERRED");
    return !(env && std::strcmp(env, "0") == 0);
}()};
std::atomic<uint64_t> gDrawSerial{0};
std::atomic<uint64_t> gDropped{0};

// Everything a queued draw's pixels need, kept where it lies until the flush (the
// renderer's context points into it).
struct QueuedDraw {
    PixelPipeline pixels;
    PrimitiveRenderer renderer;
    PixelRect scissor;
    uint32_t firstBin = 0, binCount = 0;
    std::vector<TextureLevel> levels;  // the sampled textures' level lists, stage after stage
    PALETTEENTRY palette[256];
    PixelShaderProgram program;
    PixelShaderConstants constants;
    // A small draw's set-up, kept for the flush to run beside the others': its vertex
    // processor reading a copy of the vertices its positions reach, and its positions
    // (indices into that copy when the draw is indexed).
    VertexProcessor processor;
    D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST;
    uint64_t count = 0, serial = 0;
    Sequence sequence;
    IndexStream indices;
    std::vector<uint8_t> vertexBytes;
    std::vector<uint32_t> indexWords;
};

bool SameColor(const ColorTarget &a, const ColorTarget &b) {
    return a.bits == b.bits && a.width == b.width && a.height == b.height && a.pitch == b.pitch && a.format == b.format;
}

bool SameDepth(const DepthTarget *a, const DepthTarget &b, bool bHeld) {
    if (!a || !bHeld) return !a && !bHeld;
    return a->bits == b.bits && a->width == b.width && a->height == b.height && a->pitch == b.pitch &&
           a->format == b.format && a->coarse == b.coarse;
}

PixelRect Union(const PixelRect &a, const PixelRect &b) {
    return PixelRect{std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

uint32_t LevelCount(const TextureView &view) {
    return view.levels ? view.levelCount * (view.isCube ? 6u : 1u) : 0u;
}

struct SetUpJob {
    const PrimitiveRenderer *renderer;
    const VertexProcessor *processor;
    const Sequence *sequence;
    D3DPRIMITIVETYPE type;
    uint64_t cacheFirst, cacheCount, serial;
    uint32_t bands;
    int32_t bandRows;
    // The draw's vertex range, every vertex processed and finished before the runs
    // (null: each run's thread processes the vertices it meets in a cache of its own).
    const VertexCache *shared = nullptr;
};

// Sets up triangles [first, last) of a list on the thread's own cache, position p's
// vertex being vertexAt(p): each triangle's three positions in turn, its first vertex the
// provoking one, without asking the primitive type each time. The corners are placed on
// screen first, and processed whole only for a triangle that may be drawn.
template <typename VertexOf>
void ListOnOwnCache(VertexCache &own, PrimitiveRenderer &renderer, uint64_t first, uint64_t last,
                    const VertexOf &vertexAt) {
    for (uint64_t k = first; k < last; ++k) {
        if (k + kPrefetchAhead < last) {
            for (uint64_t i = 0; i < 3; ++i) own.Prefetch(vertexAt(3 * (k + kPrefetchAhead) + i));
        }
        CachedVertex *a = own.Place(vertexAt(3 * k));
        if (!a) continue;
        CachedVertex *b = own.Place(vertexAt(3 * k + 1));
        if (!b) continue;
        CachedVertex *c = own.Place(vertexAt(3 * k + 2));
        if (!c) continue;
        if (!renderer.MayDraw(*a, *b, *c)) continue;
        own.Complete(a);
        own.Complete(b);
        own.Complete(c);
        renderer.Triangle(*a, *b, *c, a->clip);
    }
}

// Sets up primitives [first, last) of the job's draw into `bin` through `renderer`, the
// draw's renderer for this run alone.
void SetUpRunWith(const SetUpJob &job, uint64_t first, uint64_t last, PrimitiveBin &bin, PrimitiveRenderer &renderer) {
    thread_local VertexCache cache;
    thread_local uint64_t cacheSerial = 0;
    if (cacheSerial != job.serial) {
        // Beside a shared range, this cache only meets the vertices outside it.
        cache.Reset(*job.processor, *job.renderer, job.cacheFirst, job.shared ? 0 : job.cacheCount);
        cacheSerial = job.serial;
    }
    bin.Reset(0, job.bands, job.bandRows, renderer.Context().varyingCount);
    renderer.SetBin(&bin);
    VertexCache &own = cache;  // the thread's cache found once, not at every vertex
    if (job.type == D3DPT_TRIANGLELIST && !job.shared) {
        // The positions' vertices read as what they are (VertexAt's answers, without its
        // questions at every position).
        const Sequence &sequence = *job.sequence;
        if (!sequence.indices) {
            ListOnOwnCache(own, renderer, first, last, [&](uint64_t p) { return sequence.start + p; });
        } else if (sequence.indices->is32Bit) {
            const uint8_t *at = sequence.indices->data + sequence.start * 4;
            ListOnOwnCache(own, renderer, first, last, [&](uint64_t p) {
                uint32_t i;
                std::memcpy(&i, at + p * 4, 4);
                return sequence.base + i;
            });
        } else {
            const uint8_t *at = sequence.indices->data + sequence.start * 2;
            ListOnOwnCache(own, renderer, first, last, [&](uint64_t p) {
                uint16_t i;
                std::memcpy(&i, at + p * 2, 2);
                return sequence.base + i;
            });
        }
        return;
    }
    for (uint64_t k = first; k < last; ++k) {
        if (job.shared && k + kPrefetchAhead < last) {
            const PrimitivePositions ahead = PositionsOf(job.type, k + kPrefetchAhead);
            for (uint32_t i = 0; i < ahead.count; ++i) job.shared->Prefetch(VertexAt(*job.sequence, ahead.at[i]));
        }
        const PrimitivePositions pp = PositionsOf(job.type, k);
        const CachedVertex *v[3] = {};
        bool ok = true;
        for (uint32_t i = 0; i < pp.count && ok; ++i) {
            const uint64_t at = VertexAt(*job.sequence, pp.at[i]);
            v[i] = job.shared ? job.shared->Find(at) : nullptr;
            if (!v[i]) ok = (v[i] = own.Get(at)) != nullptr;
        }
        if (!ok) continue;
        switch (pp.count) {
            case 1: renderer.Point(v[0]->clip); break;
            case 2: renderer.Line(v[0]->clip, v[1]->clip, v[pp.provoking]->clip); break;
            default:
                renderer.Triangle(*v[0], *v[1], *v[2], v[pp.provoking]->clip);
                break;
        }
    }
}

// The same through a copy of the draw's renderer, as runs of one draw over the threads do.
void SetUpRun(const SetUpJob &job, uint64_t first, uint64_t last, PrimitiveBin &bin) {
    PrimitiveRenderer renderer = *job.renderer;
    SetUpRunWith(job, first, last, bin, renderer);
}

// Copies what a small draw's set-up reads into its slot, so the set-up can wait for the
// flush whatever happens to the caller's vertices and indices meanwhile: the vertices
// from the lowest to the highest its positions reach inside the stream, and its positions
// renumbered into that copy (those outside the stream outside the copy too). False when
// the copy would be too large.
bool KeepSetUp(QueuedDraw &d, const VertexProcessor &processor, const VertexStream &vertices,
               const Sequence &sequence, D3DPRIMITIVETYPE type, uint64_t count) {
    const uint64_t length = SequenceLength(type, count);
    const uint64_t inStream = processor.VertexCount();
    uint64_t lo = UINT64_MAX, hi = 0;
    for (uint64_t p = 0; p < length; ++p) {
        const uint64_t v = VertexAt(sequence, p);
        if (v >= inStream) continue;
        lo = std::min(lo, v);
        hi = std::max(hi, v + 1);
    }
    if (hi == 0) lo = 0;
    const uint64_t from = lo * vertices.stride;
    const uint64_t to = std::min<uint64_t>(vertices.sizeBytes, hi * vertices.stride);
    if (to - from > kMaxCopiedBytes) return false;
    if (to > from) {
        d.vertexBytes.assign(vertices.data + from, vertices.data + to);
    } else {
        d.vertexBytes.clear();
    }
    d.processor = processor;
    d.processor.ReadFrom(d.vertexBytes.data(), d.vertexBytes.size());
    if (sequence.indices) {
        d.indexWords.resize(length);
        for (uint64_t p = 0; p < length; ++p) {
            const uint64_t v = VertexAt(sequence, p);
            d.indexWords[p] = v < inStream ? static_cast<uint32_t>(v - lo) : UINT32_MAX;
        }
        d.indices = IndexStream{reinterpret_cast<const uint8_t *>(d.indexWords.data()), length * 4, true};
        d.sequence = Sequence{&d.indices, 0, 0};
    } else {
        d.sequence = Sequence{nullptr, sequence.start - lo, 0};
    }
    d.type = type;
    d.count = count;
    return true;
}

}  // namespace

struct DrawQueue::Impl {
    std::vector<std::unique_ptr<QueuedDraw>> draws;
    uint32_t drawCount = 0;
    std::vector<PrimitiveBin> bins;
    uint32_t binCount = 0;
    // The targets of the queued draws and the bands their rows are cut into.
    ColorTarget color;
    DepthTarget depth;
    bool hasDepth = false;
    int32_t rows = 0, bandRows = 1;
    uint32_t bands = 0;
    uint64_t area = 0;
    size_t heldBytes = 0;
    // What the queued draws may write: pixels inside `reach` (the union of their
    // scissors), depth, stencil.
    PixelRect reach;
    bool writesDepth = false, writesStencil = false;
    std::unordered_set<const void *> used;
    // The palette the queued draws' palettised copies were made with, once one was
    // (`heldPalette`: there was a palette, then in `palette`).
    bool paletteHeld = false, heldPalette = false;
    PALETTEENTRY palette[256];
    std::vector<std::pair<uint32_t, uint32_t>> order;
    // The queued draws whose set-up waits for the flush.
    std::vector<uint32_t> pending;
    // A large draw's vertex range, processed before its runs are set up (over the threads).
    VertexCache shared;

    bool Draw(const DrawState &state, const ColorTarget &target, const DepthTarget *depthTarget,
              D3DPRIMITIVETYPE type, const VertexStream &vertices, const Sequence &sequence, uint64_t cacheFirst,
              uint64_t cacheCount, uint64_t primitiveCount);
    void Flush();
    // Runs the set-ups kept for the flush, over the threads.
    void SetUpPending();
    // Empties the queue; what it held is drawn or dropped already.
    void Forget();
    bool Overwrites(const D3DVIEWPORT8 &viewport, const ColorTarget &target, const DepthTarget *depthTarget,
                    uint32_t rectCount, const D3DRECT *rects, DWORD flags) const;
    void RasterBand(uint32_t band) const;
    // Starts a queue on these targets, flushing what was queued on others; `oneBand`
    // (for an empty queue) takes all the rows as one band.
    void Target(const ColorTarget &target, const DepthTarget *depthTarget, bool oneBand);
    // Whether the draw samples a level of its own targets.
    bool SamplesTarget(const DrawState &state, const ColorTarget &target, const DepthTarget *depthTarget) const;
    // Flushes when the draw's palettised textures would be copied through another
    // palette than the queued draws' (a level has one copy at a time).
    void KeepPalette(const DrawState &state);
    // The next draw slot (which exists) with the state's lists and copies in it, and
    // `prepared` pointing at them.
    QueuedDraw &Slot(const DrawState &state, DrawState &prepared);
};

void DrawQueue::Impl::Target(const ColorTarget &target, const DepthTarget *depthTarget, bool oneBand) {
    if (drawCount > 0 && SameColor(target, color) && SameDepth(depthTarget, depth, hasDepth)) return;
    Flush();
    color = target;
    hasDepth = depthTarget != nullptr;
    depth = hasDepth ? *depthTarget : DepthTarget{};
    rows = static_cast<int32_t>(std::min<uint32_t>(target.height, INT32_MAX));
    const uint64_t rowBytes = uint64_t{target.pitch} + (hasDepth ? depth.pitch : 0u);
    bandRows = oneBand ? std::max(rows, 1) : BandRowsFor(rows, ThreadCount(), rowBytes);
    bands = static_cast<uint32_t>((rows + bandRows - 1) / bandRows);
}

bool DrawQueue::Impl::SamplesTarget(const DrawState &state, const ColorTarget &target,
                                    const DepthTarget *depthTarget) const {
    for (const TextureView &view : state.textures) {
        for (uint32_t i = 0; i < LevelCount(view); ++i) {
            const uint8_t *bits = view.levels[i].bits;
            if (bits && (bits == target.bits || (depthTarget && bits == depthTarget->bits))) return true;
        }
    }
    return false;
}

void DrawQueue::Impl::KeepPalette(const DrawState &state) {
    bool palettised = false;
    for (const TextureView &view : state.textures) palettised = palettised || (view.levels && view.format == D3DFMT_P8);
    if (!palettised) return;
    // No palette at all is a palette of its own (the copies read white).
    const bool same = state.palette ? heldPalette && std::memcmp(palette, state.palette, sizeof(palette)) == 0
                                    : !heldPalette;
    if (paletteHeld && !same) Flush();
    if (paletteHeld) return;
    paletteHeld = true;
    heldPalette = state.palette != nullptr;
    if (heldPalette) std::memcpy(palette, state.palette, sizeof(palette));
}

QueuedDraw &DrawQueue::Impl::Slot(const DrawState &state, DrawState &prepared) {
    QueuedDraw &d = *draws[drawCount];
    size_t total = 0;
    for (const TextureView &view : state.textures) total += LevelCount(view);
    d.levels.resize(total);
    size_t at = 0;
    for (uint32_t s = 0; s < D3D8_MAX_TEXTURE_STAGES; ++s) {
        const TextureView &view = state.textures[s];
        const uint32_t n = LevelCount(view);
        if (n == 0) continue;
        std::copy(view.levels, view.levels + n, d.levels.begin() + static_cast<ptrdiff_t>(at));
        prepared.textures[s].levels = d.levels.data() + at;
        at += n;
    }
    if (state.palette) {
        std::memcpy(d.palette, state.palette, sizeof(d.palette));
        prepared.palette = d.palette;
    }
    if (state.pixelShader) {
        d.program = *state.pixelShader;
        prepared.pixelShader = &d.program;
    }
    if (state.pixelShaderConstants) {
        d.constants = *state.pixelShaderConstants;
        prepared.pixelShaderConstants = &d.constants;
    }
    return d;
}

bool DrawQueue::Impl::Draw(const DrawState &state, const ColorTarget &target, const DepthTarget *depthTarget,
                           D3DPRIMITIVETYPE type, const VertexStream &vertices, const Sequence &sequence,
                           uint64_t cacheFirst, uint64_t cacheCount, uint64_t primitiveCount) {
    if (!KnownPrimitiveType(type)) return false;
    const bool feedback = SamplesTarget(state, target, depthTarget);
    if (feedback || drawCount >= kMaxDraws || heldBytes >= kMaxBytes) Flush();
    Target(target, depthTarget, feedback);
    KeepPalette(state);

    // On one thread nothing is queued (see below): the draw is drawn before this call
    // returns, while everything its state points to is still there, so it reads the
    // state as given. A draw kept for later reads a copy of the state pointing at copies
    // of the lists, palette and pixel shader it reads, kept in its slot.
    const bool atOnce = drawCount == 0 && ThreadCount() == 1;
    thread_local DrawState kept;
    const DrawState *given = &state;
    if (!atOnce) {
        kept = state;
        given = &kept;
    }
    const DrawState &prepared = *given;
    if (draws.size() <= drawCount) draws.push_back(std::make_unique<QueuedDraw>());
    QueuedDraw &d = atOnce ? *draws[drawCount] : Slot(state, kept);
    if (!d.pixels.Prepare(prepared, color, hasDepth ? &depth : nullptr)) return false;
    VertexProcessor processor;
    if (!processor.Prepare(prepared, vertices, d.pixels.SampledStages())) return false;
    d.scissor = d.pixels.Scissor();
    if (d.scissor.Empty()) return true;
    d.renderer.Prepare(prepared, d.pixels, processor.Pretransformed(), processor.VaryingCount());
    const uint64_t count = std::min(primitiveCount, DrawablePrimitives(type, AvailablePositions(sequence, processor.VertexCount())));
    if (count == 0) return true;
    if (DrawsPointSprites(prepared, type)) {
        // Drawn at once, after what is queued: the slot is not kept.
        Flush();
        return DrawPointSprites(prepared, d.pixels, processor, vertices, count,
                                [&](uint64_t k) { return VertexAt(sequence, k); });
    }

    d.serial = ++gDrawSerial;
    const SetUpJob job{&d.renderer, &processor, &sequence, type, cacheFirst, cacheCount, d.serial, bands, bandRows};
    if (atOnce) {
        // On one thread nothing is queued: no other thread could share the work, and
        // keeping the primitives to read them back cost more than drawing band by band
        // saved (a tenth of a crowded stage's tick). Each primitive is drawn as it is set
        // up, in draw order, inside the rows of the target as one band would be (banding
        // never changes a pixel). A clear then finds nothing to drop.
        PixelRect region = d.scissor;
        region.y0 = std::max(region.y0, 0);
        region.y1 = std::min(region.y1, rows);
        if (SpanFault() == kSpanFaultAtOnce) --region.y1;
        if (bins.empty()) bins.resize(1);
        bins[0].DrawAtOnce(&region);
        // The slot's own renderer, not a copy: nothing else reads it before the next
        // draw prepares it again (the draw is not kept).
        SetUpRunWith(job, 0, count, bins[0], d.renderer);
        bins[0].DrawAtOnce(nullptr);
        return true;
    }
    const uint32_t runs = static_cast<uint32_t>((count + kRunPrimitives - 1) / kRunPrimitives);
    d.firstBin = binCount;
    d.binCount = runs;
    binCount += runs;
    if (bins.size() < binCount) bins.resize(binCount);
    // A draw of one run waits for the flush, which sets up every such draw at once over
    // the threads, so recording a frame of many small draws costs the recording thread
    // little more than copying them; a larger one is set up now, its runs over the threads.
    if (runs == 1 && !feedback && gDeferred.load(std::memory_order_relaxed) &&
        KeepSetUp(d, processor, vertices, sequence, type, count)) {
        pending.push_back(drawCount);
        heldBytes += d.vertexBytes.size() + d.indexWords.size() * sizeof(uint32_t);
    } else {
        PrimitiveBin *first = bins.data() + d.firstBin;
        SetUpJob runJob = job;
        if (runs > 1 && cacheCount <= SequenceLength(type, count)) {
            // The vertex range first, over the threads, each vertex processed and
            // finished once: the runs' threads would each process the vertices their
            // runs meet, those their runs share more than once.
            shared.Reset(processor, d.renderer, cacheFirst, cacheCount);
            const uint64_t slots = shared.Slots();
            RunJobs(static_cast<uint32_t>((slots + kRunVertices - 1) / kRunVertices), [&](uint32_t c) {
                const uint64_t from = uint64_t{c} * kRunVertices;
                shared.FillRange(from, std::min(slots, from + kRunVertices));
            });
            runJob.shared = &shared;
        }
        RunJobs(runs, [&](uint32_t r) {
            const uint64_t from = uint64_t{r} * kRunPrimitives;
            SetUpRun(runJob, from, std::min(count, from + kRunPrimitives), first[r]);
        });
        for (uint32_t r = 0; r < runs; ++r) {
            area += first[r].PixelArea();
            heldBytes += first[r].HeldBytes();
        }
    }
    ++drawCount;
    reach = drawCount == 1 ? d.scissor : Union(reach, d.scissor);
    writesDepth = writesDepth || d.pixels.DepthStencil().WritesDepth();
    writesStencil = writesStencil || d.pixels.DepthStencil().StencilEnabled();

    used.insert(color.bits);
    if (hasDepth) used.insert(depth.bits);
    for (uint32_t s = 0; s < D3D8_MAX_TEXTURE_STAGES; ++s) {
        if (!(d.pixels.SampledStages() & (1u << s))) continue;
        const TextureView &view = state.textures[s];
        for (uint32_t i = 0; i < LevelCount(view); ++i) used.insert(view.levels[i].bits);
    }
    // A draw reading its own target is drawn alone, as one band (so by one thread): what
    // it reads never depends on the threads.
    if (feedback || !gDeferred.load(std::memory_order_relaxed)) Flush();
    return true;
}

void DrawQueue::Impl::RasterBand(uint32_t band) const {
    const int32_t y0 = static_cast<int32_t>(band) * bandRows;
    const int32_t y1 = std::min(rows, y0 + bandRows);
    for (uint32_t i = 0; i < drawCount; ++i) {
        const QueuedDraw &d = *draws[i];
        PixelRect region = d.scissor;
        region.y0 = std::max(region.y0, y0);
        region.y1 = std::min(region.y1, y1);
        if (region.Empty()) continue;
        const RasterContext &ctx = d.renderer.Context();
        for (uint32_t r = d.firstBin; r < d.firstBin + d.binCount; ++r) bins[r].Replay(band, ctx, region);
    }
}

void DrawQueue::Impl::SetUpPending() {
    RunJobs(static_cast<uint32_t>(pending.size()), [&](uint32_t i) {
        const QueuedDraw &d = *draws[pending[i]];
        const SetUpJob job{&d.renderer, &d.processor, &d.sequence, d.type, 0, d.processor.VertexCount(), d.serial,
                           bands, bandRows};
        SetUpRun(job, 0, d.count, bins[d.firstBin]);
    });
    for (const uint32_t i : pending) {
        const QueuedDraw &d = *draws[i];
        area += bins[d.firstBin].PixelArea();
        heldBytes += bins[d.firstBin].HeldBytes();
    }
    pending.clear();
}

void DrawQueue::Impl::Flush() {
    if (drawCount > 0) {
        SetUpPending();
        if (area < kParallelPixelArea) {
            for (uint32_t b = 0; b < bands; ++b) RasterBand(b);
        } else {
            // The busiest bands first (by how many primitives touch them), so the threads
            // that take the last ones finish at about the same time. Which thread draws a
            // band never changes its pixels.
            order.resize(bands);
            for (uint32_t b = 0; b < bands; ++b) {
                size_t n = 0;
                for (uint32_t r = 0; r < binCount; ++r) n += bins[r].BandCount(b);
                order[b] = {static_cast<uint32_t>(std::min<size_t>(n, UINT32_MAX)), b};
            }
            std::stable_sort(order.begin(), order.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
            RunJobs(bands, [&](uint32_t i) { RasterBand(order[i].second); });
        }
    }
    Forget();
}

void DrawQueue::Impl::Forget() {
    drawCount = 0;
    binCount = 0;
    area = 0;
    heldBytes = 0;
    reach = PixelRect{};
    writesDepth = writesStencil = false;
    used.clear();
    pending.clear();
    paletteHeld = false;
}

bool DrawQueue::Impl::Overwrites(const D3DVIEWPORT8 &viewport, const ColorTarget &target, const DepthTarget *depthTarget,
                                 uint32_t rectCount, const D3DRECT *rects, DWORD flags) const {
    if (drawCount == 0 || !SameColor(target, color)) return false;
    // The clear must write every word the draws may write (Clear's own conditions).
    const bool clearsColor = (flags & D3DCLEAR_TARGET) &&
                             (color.format == D3DFMT_A8R8G8B8 || color.format == D3DFMT_X8R8G8B8);
    if (!clearsColor) return false;
    if (writesDepth || writesStencil) {
        if (!SameDepth(depthTarget, depth, hasDepth) || DescribeDepthFormat(depth.format).bytes == 0) return false;
        if (writesDepth && !(flags & D3DCLEAR_ZBUFFER)) return false;
        if (writesStencil && !(flags & D3DCLEAR_STENCIL)) return false;
    }
    // One of the cleared rectangles holds every pixel the draws may reach (which lies
    // inside both targets already).
    const PixelRect view = ViewportRect(viewport);
    const uint32_t count = (rectCount == 0 || !rects) ? 1 : rectCount;
    for (uint32_t i = 0; i < count; ++i) {
        PixelRect r = view;
        if (rectCount != 0 && rects) r = Intersect(r, PixelRect{rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2});
        if (r.x0 <= reach.x0 && r.y0 <= reach.y0 && r.x1 >= reach.x1 && r.y1 >= reach.y1) return true;
    }
    return false;
}

DrawQueue::DrawQueue() : impl_(std::make_unique<Impl>()) {}

DrawQueue::~DrawQueue() { impl_->Flush(); }

bool DrawQueue::DrawPrimitive(const DrawState &state, const ColorTarget &color, const DepthTarget *depth,
                              D3DPRIMITIVETYPE type, const VertexStream &vertices, uint32_t startVertex,
                              uint32_t primitiveCount) {
    const Sequence sequence{nullptr, startVertex, 0};
    return impl_->Draw(state, color, depth, type, vertices, sequence, startVertex,
                       SequenceLength(type, primitiveCount), primitiveCount);
}

bool DrawQueue::DrawIndexedPrimitive(const DrawState &state, const ColorTarget &color, const DepthTarget *depth,
                                     D3DPRIMITIVETYPE type, const VertexStream &vertices, const IndexStream &indices,
                                     uint32_t baseVertexIndex, uint32_t minIndex, uint32_t vertexCount,
                                     uint32_t startIndex, uint32_t primitiveCount) {
    const Sequence sequence{&indices, startIndex, baseVertexIndex};
    return impl_->Draw(state, color, depth, type, vertices, sequence, uint64_t{baseVertexIndex} + minIndex,
                       vertexCount, primitiveCount);
}

void DrawQueue::Flush() { impl_->Flush(); }

bool DrawQueue::DropOverwritten(const D3DVIEWPORT8 &viewport, const ColorTarget &color, const DepthTarget *depth,
                                uint32_t rectCount, const D3DRECT *rects, DWORD flags) {
    if (!impl_->Overwrites(viewport, color, depth, rectCount, rects, flags)) return false;
    gDropped.fetch_add(impl_->drawCount, std::memory_order_relaxed);
    impl_->Forget();
    return true;
}

size_t DrawQueue::HeldBytes() const { return impl_->heldBytes; }

bool DrawQueue::Empty() const { return impl_->drawCount == 0; }

uint32_t DrawQueue::Queued() const { return impl_->drawCount; }

bool DrawQueue::Uses(const void *bits) const { return impl_->drawCount > 0 && impl_->used.count(bits) != 0; }

void SetDeferredDrawing(bool enabled) { gDeferred.store(enabled); }

bool DeferredDrawing() { return gDeferred.load(); }

uint64_t TakeDroppedDraws() { return gDropped.exchange(0); }

}  // namespace swr
