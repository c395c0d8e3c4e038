// Point sprites: a point list drawn with D3DRS_POINTSPRITEENABLE becomes screen-aligned
// squares, one per point, each carrying its vertex's colours, fog and depth and texture
// coordinates running from (0, 0) at its top-left corner to (1, 1) at its bottom-right
// on every stage.
//
// Rules the squares follow:
// - The size in pixels is the vertex's PSIZE when its format has one, else
//   D3DRS_POINTSIZE. For vertices we transform, D3DRS_POINTSCALEENABLE scales it by the
//   viewport height and sqrt(1 / (A + B * d + C * d * d)), d the point's distance from
//   the eye; transformed (XYZRHW) vertices keep their size. The result is clamped to
//   [D3DRS_POINTSIZE_MIN, D3DRS_POINTSIZE_MAX] and to kMaxPointSpriteSize; a square of
//   no size draws nothing.
// - The square is centred on the projected point and its corners snap to 1/256 pixel,
//   as triangle vertices do. A pixel is covered when its centre lies inside, on the
//   left edge or on the top edge (the fill rule of triangles).
// - A point whose centre lies behind the eye or outside the near and far planes is
//   dropped whole; otherwise the part of its square inside the viewport is drawn.
// - Pixels go through the ordinary per-pixel path in draw order.
#pragma once

#include <cstdint>
#include <functional>

#include "swr_draw.h"
#include "swr_pixel_pipeline.h"
#include "swr_vertex_processor.h"

namespace swr {

// The largest sprite edge in pixels (the device reports it as MaxPointSize).
constexpr float kMaxPointSpriteSize = 64.0f;

// Whether a draw of `type` under `state` draws point sprites.
inline bool DrawsPointSprites(const DrawState &state, D3DPRIMITIVETYPE type) {
    return type == D3DPT_POINTLIST && state.renderStates[D3DRS_POINTSPRITEENABLE] != 0;
}

// Draws `count` sprites; `vertexAt(k)` is the stream vertex of point k. The processor
// and the pipeline are prepared for this draw's state, vertices and targets; points
// whose vertex lies outside the stream are skipped. Always true: nothing can fail here.
bool DrawPointSprites(const DrawState &state, const PixelPipeline &pixels, const VertexProcessor &processor,
                      const VertexStream &vertices, uint64_t count,
                      const std::function<uint64_t(uint64_t)> &vertexAt);

}  // namespace swr
