// Triangle set-up and rasterisation. Vertices are snapped to 1/256 pixel; coverage is
// decided exactly with integer edge functions: a pixel is covered when its centre (the
// integer point x, y) lies inside, or on an edge that is a top or a left edge.
// Interpolation is perspective-correct and evaluated from the plane equations at each
// pixel, so a pixel's values never depend on where its span or tile starts.
#pragma once

#include <cstdint>

#include "swr_pixel_pipeline.h"
#include "swr_raster_common.h"

namespace swr {

constexpr int32_t kSubpixelBits = 8;

// A value over the screen. It is always evaluated as Row(oy) + dx * ox, in that order,
// so a span routine that computes Row once per row gets every pixel's value bit for bit.
struct Plane {
    float at0 = 0, dx = 0, dy = 0;  // value at vertex 0 and its slopes per pixel
    float Row(float oy) const { return at0 + dy * oy; }
    float At(float ox, float oy) const { return Row(oy) + dx * ox; }
};

struct TriangleSetup {
    // Edge i runs from vertex i to vertex i + 1; covered when a*x + b*y + c + bias >= 0
    // for integer pixel coordinates x, y.
    int64_t a[3] = {}, b[3] = {}, c[3] = {};
    int64_t bias[3] = {};
    int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;  // inclusive pixel bounds
    float originX = 0, originY = 0;                   // vertex 0 on screen
    bool perspective = false;
    Plane z, rhw;
    Plane var[kMaxVaryings];
};

// Cull mode as the state gives it: D3DCULL_CCW drops triangles that run counter-
// clockwise on screen (y down). False when the triangle is culled, has no area, or has
// coordinates that are not finite or lie beyond the guard band.
bool SetupTriangle(const ScreenVertex &v0, const ScreenVertex &v1, const ScreenVertex &v2, DWORD cullMode,
                   uint32_t varyingCount, TriangleSetup &out);

// Draws the covered pixels that fall inside `region` (already inside the scissor).
void RasterizeTriangle(const TriangleSetup &setup, const RasterContext &ctx, const PixelRect &region);

// Spans of one row: [x0, x1) of covered pixels. Empty when x0 >= x1.
void TriangleRowSpan(const TriangleSetup &setup, int32_t y, int32_t &x0, int32_t &x1);

// A stage's coordinates at a pixel, with their derivatives, from the planes. `rowValues`
// holds each plane's Row(oy) for the pixel's row; `w` is 1 / rhw at the pixel. The
// divisor is the projected element, or 1/w under perspective, or 1.
inline void TriangleCoords(const TriangleSetup &s, const StageCoordLayout &l, uint32_t slot, const float *rowValues,
                           float ox, float w, TexCoords &out) {
    float inv = 1.0f, ddx = 0.0f, ddy = 0.0f;
    if (l.divisor >= 0) {
        const uint32_t k = slot + static_cast<uint32_t>(l.divisor);
        inv = 1.0f / (rowValues[k] + s.var[k].dx * ox);
        ddx = s.var[k].dx;
        ddy = s.var[k].dy;
    } else if (s.perspective) {
        inv = w;
        ddx = s.rhw.dx;
        ddy = s.rhw.dy;
    }
    for (uint32_t i = 0; i < l.dims; ++i) {
        const Plane &p = s.var[slot + i];
        const float c = (rowValues[slot + i] + p.dx * ox) * inv;
        out.c[i] = c;
        out.ddx[i] = (p.dx - c * ddx) * inv;
        out.ddy[i] = (p.dy - c * ddy) * inv;
    }
}

}  // namespace swr
