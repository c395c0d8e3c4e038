// Quads of the 2D layer: four screen-space corners (top left, bottom left,
// top right, bottom right) placed in 640 x 480 units and drawn as two
// triangles with the indices 0, 2, 1, 1, 2, 3. Edges sit half a pixel
// before the scaled position, so that a picture drawn at its own size puts
// each texel on one pixel.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rwcore.h"

namespace game {

struct ScreenQuad {
    RwIm2DVertex corners[4];
};

// (x0, y0)-(x1, y1) in virtual units, texture coordinates (s0, t0)-(s1, t1),
// one packed colour (alpha in the top byte) for all corners.
void SetScreenQuad(ScreenQuad *quad, float x0, float y0, float x1, float y1, float s0, float t0, float s1,
                   float t1, uint32_t argb);

inline constexpr RwImVertexIndex kQuadIndices[6] = {0, 2, 1, 1, 2, 3};

// Draws the quads with `raster` as the texture (null: untextured) and
// alpha blending on; between camera begin and end.
void DrawScreenQuads(const ScreenQuad *quads, size_t count, RwRaster *raster);

}  // namespace game
