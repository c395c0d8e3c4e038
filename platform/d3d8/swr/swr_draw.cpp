// The immediate draw calls: each one goes through a queue of the calling thread that is
// flushed before the call returns.
#include "swr_draw.h"

#include "swr_draw_queue.h"

namespace swr {
namespace {

DrawQueue &CallerQueue() {
    thread_local DrawQueue queue;
    return queue;
}

}  // namespace

bool DrawPrimitive(const DrawState &state, ColorTarget &color, DepthTarget *depth, D3DPRIMITIVETYPE type,
                   const VertexStream &vertices, uint32_t startVertex, uint32_t primitiveCount) {
    DrawQueue &queue = CallerQueue();
    const bool ok = queue.DrawPrimitive(state, color, depth, type, vertices, startVertex, primitiveCount);
    queue.Flush();
    return ok;
}

bool DrawIndexedPrimitive(const DrawState &state, ColorTarget &color, DepthTarget *depth, D3DPRIMITIVETYPE type,
                          const VertexStream &vertices, const IndexStream &indices, uint32_t baseVertexIndex,
                          uint32_t minIndex, uint32_t vertexCount, uint32_t startIndex, uint32_t primitiveCount) {
    DrawQueue &queue = CallerQueue();
    const bool ok = queue.DrawIndexedPrimitive(state, color, depth, type, vertices, indices, baseVertexIndex,
                                               minIndex, vertexCount, startIndex, primitiveCount);
    queue.Flush();
    return ok;
}

}  // namespace swr
