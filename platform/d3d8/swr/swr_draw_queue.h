// Draws recorded now and rasterised later, together: a draw's vertices are processed,
// clipped and set up, and its triangles kept, sorted into screen bands, with everything
// its pixels need (the pipeline's state, copies of its texture level lists, palette and
// pixel shader). A large draw is set up when it is recorded; a small one keeps a copy of
// the vertices and indices it reads, and Flush sets up all such draws together over the
// threads. Flush then draws every band on one thread, with every queued draw's
// primitives in that band in recording order, so a frame of many small draws keeps
// every thread busy, and the pixels are exactly those of drawing each call at once,
// whatever the thread count.
//
// What the owner of the targets and textures must keep (the device does):
// - Flush before anything reads or changes memory a queued draw reads or writes (a
//   target or a texture level: Uses() tells which), and before freeing it.
// - Vertex and index data are read (or copied) while recording only; palettes, pixel
//   shaders and their constants are copied. Level lists (TextureView::levels) are
//   copied too; the levels' texels and their copy and coarse-depth slots are not.
// A draw into other targets than the queued ones, a draw that samples its own target,
// and point sprites flush what is queued first (the last two are then drawn at once); so
// does a draw that finds the queue full (kMaxDraws draws, or kMaxBytes of primitives).
// A clear that overwrites all the queued draws would write drops them (DropOverwritten).
// With one rasteriser thread nothing is queued: each draw is drawn as it is recorded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "swr_draw.h"

namespace swr {

class DrawQueue {
public:
    // What a queue holds before it flushes by itself: draws (each keeps its pipeline's
    // state) and bytes of primitives. A queue may outlive a present (to a window that
    // keeps no frames) and gather frame after frame when nothing clears them away.
    static constexpr uint32_t kMaxDraws = 512;
    static constexpr size_t kMaxBytes = size_t{64} << 20;

    DrawQueue();
    ~DrawQueue();  // flushes
    DrawQueue(const DrawQueue &) = delete;
    DrawQueue &operator=(const DrawQueue &) = delete;

    // As swr::DrawPrimitive and swr::DrawIndexedPrimitive, but the pixels are written
    // by the next Flush (or at once when deferred drawing is off or on one thread).
    bool DrawPrimitive(const DrawState &state, const ColorTarget &color, const DepthTarget *depth,
                       D3DPRIMITIVETYPE type, const VertexStream &vertices, uint32_t startVertex,
                       uint32_t primitiveCount);
    bool DrawIndexedPrimitive(const DrawState &state, const ColorTarget &color, const DepthTarget *depth,
                              D3DPRIMITIVETYPE type, const VertexStream &vertices, const IndexStream &indices,
                              uint32_t baseVertexIndex, uint32_t minIndex, uint32_t vertexCount,
                              uint32_t startIndex, uint32_t primitiveCount);

    // Writes the pixels of every queued draw; the queue is empty afterwards.
    void Flush();

    // Called before a clear of these targets with swr::Clear's arguments: when the clear
    // overwrites everything the queued draws would write (their pixels, and the depth and
    // stencil they write), they are dropped undrawn, since nothing could read what they
    // left (whatever reads the targets or the textures flushes first). True when they
    // were; the queue is then empty. The caller clears either way, after a Flush when
    // this gave false.
    bool DropOverwritten(const D3DVIEWPORT8 &viewport, const ColorTarget &color, const DepthTarget *depth,
                         uint32_t rectCount, const D3DRECT *rects, DWORD flags);

    bool Empty() const;
    // Draws waiting for a flush, and the bytes their primitives take.
    uint32_t Queued() const;
    size_t HeldBytes() const;
    // Whether a queued draw reads or writes the memory at `bits`: a target's or a texture
    // level's first byte, as handed over in ColorTarget, DepthTarget or TextureLevel.
    bool Uses(const void *bits) const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// Whether queues keep draws until a flush (on at start-up unless SWR_DEFERRED=0). Off,
// every draw is rasterised as it is recorded: the pixels are the same, which the tests
// compare.
void SetDeferredDrawing(bool enabled);
bool DeferredDrawing();

// Draws dropped undrawn by DropOverwritten since the last call, over every queue (for the
// tests that prove dropping is exercised).
uint64_t TakeDroppedDraws();

}  // namespace swr
