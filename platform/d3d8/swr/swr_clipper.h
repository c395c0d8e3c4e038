// Clipping of triangles and lines before rasterisation. Vertices we transform are
// clipped in homogeneous space against the near and far planes and a guard band around
// the viewport (the viewport edges themselves are left to the scissor, so no clipping
// seam can appear there). Vertices that arrive in screen space are clipped only
// against the guard band, in screen space.
#pragma once

#include <cstdint>

#include "swr_clip_vertex.h"
#include "swr_draw.h"

namespace swr {

// Pixels of guard band on each side of the viewport: geometry reaching further out is
// cut there, which keeps every screen coordinate small enough for exact edge maths.
constexpr float kGuardBandPixels = 4096.0f;

constexpr uint32_t kMaxClippedVertices = 16;

class Clipper {
public:
    void Prepare(const D3DVIEWPORT8 &viewport, bool screenSpace, uint32_t varyingCount);

    // Bit p set when the vertex is outside plane p.
    uint32_t Outcode(const ClipVertex &v) const;
    // Outcode of four vertices given as lanes of their coordinates (x[i], y[i], z[i],
    // w[i] the position of vertex i), each the same as Outcode's.
    void Outcodes(const float x[4], const float y[4], const float z[4], const float w[4], uint32_t codes[4]) const;

    // Clips the triangle (a, b, c), keeping vertex order. Returns the number of vertices
    // of the convex polygon left in `out` (0 when nothing is left).
    uint32_t ClipTriangle(const ClipVertex &a, const ClipVertex &b, const ClipVertex &c,
                          ClipVertex out[kMaxClippedVertices]) const;

    // Clips the segment in place; false when nothing is left.
    bool ClipLine(ClipVertex &a, ClipVertex &b) const;

    static constexpr uint32_t kMaxPlanes = 7;

private:
    void Distances(const ClipVertex &v, float d[kMaxPlanes]) const;
    float Distance(const ClipVertex &v, uint32_t plane) const;
    // The point at t from `inside` towards `outside`.
    void Lerp(const ClipVertex &inside, const ClipVertex &outside, float t, ClipVertex &out) const;

    bool screenSpace_ = false;
    uint32_t planeCount_ = 0;
    uint32_t varyingCount_ = 0;
    float guardX_ = 1, guardY_ = 1;       // homogeneous: |x| <= guardX * w
    float left_ = 0, right_ = 0, top_ = 0, bottom_ = 0;  // screen space
};

}  // namespace swr
