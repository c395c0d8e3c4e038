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

// Twice the signed area of a triangle over its snapped corners: positive when it runs
// clockwise on screen (y grows downwards). Exact: the corners lie inside the guard band.
inline int64_t SnappedArea2(int64_t x0, int64_t y0, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    return (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
}
// Whether set-up keeps a triangle of that doubled area: it has some, and faces the way
// the cull mode keeps.
inline bool KeptByCull(int64_t area2, DWORD cullMode) {
    if (area2 == 0) return false;
    if (cullMode == D3DCULL_CW && area2 > 0) return false;
    return !(cullMode == D3DCULL_CCW && area2 < 0);
}

// Cull mode as the state gives it: D3DCULL_CCW drops triangles that run counter-
// clockwise on screen (y down). False when the triangle is culled, has no area, holds
// no pixel centre within its bounds, or has coordinates that are not finite or lie
// beyond the guard band. Planes are made for the
// varyings below `varyingCount` whose bit is set in `planes` (the others keep what they
// held: the draw never reads them).
bool SetupTriangle(const ScreenVertex &v0, const ScreenVertex &v1, const ScreenVertex &v2, DWORD cullMode,
                   uint32_t varyingCount, TriangleSetup &out, uint64_t planes = ~uint64_t{0});

// A corner's x and y snapped to the subpixel grid, floor(v * 256 + 0.5) each; false when
// either is not finite or lies beyond the coordinates set-up takes (the triangle is then
// refused).
bool SnapToGrid(float x, float y, int32_t &sx, int32_t &sy);
// SnapToGrid of four corners at once: bit i of the answer is corner i's, whose snapped
// coordinates are then sx[i], sy[i] (the others' are left meaningless).
uint32_t SnapFourToGrid(const float x[4], const float y[4], int32_t sx[4], int32_t sy[4]);

// A corner as set-up reads it: screen place, that place snapped (SnapToGrid's answer and
// coordinates: worked out once for a vertex however many triangles share it) and the
// varyings wherever they are kept.
struct SetupVertex {
    float x, y, z, rhw;
    const float *var;
    bool snapped;
    int32_t sx, sy;
};
bool SetupTriangle(const SetupVertex &v0, const SetupVertex &v1, const SetupVertex &v2, DWORD cullMode,
                   uint32_t varyingCount, TriangleSetup &out, uint64_t planes);

// Draws the covered pixels that fall inside `region` (already inside the scissor).
void RasterizeTriangle(const TriangleSetup &setup, const RasterContext &ctx, const PixelRect &region);

// Spans of one row: [x0, x1) of covered pixels. Empty when x0 >= x1.
void TriangleRowSpan(const TriangleSetup &setup, int32_t y, int32_t &x0, int32_t &x1);

// TriangleRowSpan for consecutive rows without a division per row: each edge keeps its
// bound on x and the remainder of the division that gave it, and steps both by the
// edge's slope from row to row (divided once). Exact: the same spans for every row.
class RowWalk {
public:
    [[gnu::always_inline]] inline void Start(const TriangleSetup &s, int32_t y) {
        lo_ = s.minX;
        hi_ = int64_t{s.maxX} + 1;
        for (int i = 0; i < 3; ++i) {
            Edge &e = edges_[i];
            const int64_t a = s.a[i];
            const int64_t k = s.b[i] * y + s.c[i] + s.bias[i];  // need a*x + k >= 0
            e.left = a > 0;
            e.flat = a == 0;
            if (a == 0) {
                // The bound is k itself (k < 0: no pixel); it steps by b, never carries.
                e.q = k;
                e.r = 0;
                e.rb = 0;
                e.d = INT64_MAX;
                e.qStep = s.b[i];
                e.qCarry = 0;
                continue;
            }
            // a > 0: x >= ceil(-k / a) = -floor(k / a) = q, with r = q*a + k in [0, a).
            // a < 0: x <= floor(k / -a) = q, with r = k - q*(-a) in [0, -a).
            // Both divide k by d = |a|; a row step adds b = db*d + rb, rb in [0, d).
            e.d = a > 0 ? a : -a;
            int64_t db;
            FloorDivide(k, e.d, e.q, e.r);
            FloorDivide(s.b[i], e.d, db, e.rb);
            if (a > 0) e.q = -e.q;
            e.qStep = a > 0 ? -db : db;
            e.qCarry = a > 0 ? -1 : 1;
        }
    }
    // The current row's span.
    [[gnu::always_inline]] inline void Span(int32_t &x0, int32_t &x1) const {
        int64_t lo = lo_, hi = hi_;
        Bound(edges_[0], lo, hi);
        Bound(edges_[1], lo, hi);
        Bound(edges_[2], lo, hi);
        x0 = static_cast<int32_t>(lo);
        x1 = static_cast<int32_t>(hi > lo ? hi : lo);
    }
    [[gnu::always_inline]] inline void Next() {
        Step(edges_[0]);
        Step(edges_[1]);
        Step(edges_[2]);
    }
    // The spans of the current row and the `count` - 1 after it, each limited to [lo,
    // hi) (x0[i] >= x1[i] when empty), then steps past them. One short loop keeps the
    // edges in registers, where a caller's long loop body spills them and waits on
    // memory at every row.
    [[gnu::always_inline]] inline void Fill(int32_t count, int32_t lo, int32_t hi, int32_t *x0, int32_t *x1) {
        Edge e0 = edges_[0], e1 = edges_[1], e2 = edges_[2];
        const int64_t first = lo_ > lo ? lo_ : lo, last = hi_ < hi ? hi_ : hi;
        for (int32_t i = 0; i < count; ++i) {
            int64_t l = first, h = last;
            Bound(e0, l, h);
            Bound(e1, l, h);
            Bound(e2, l, h);
            x0[i] = static_cast<int32_t>(l);
            x1[i] = static_cast<int32_t>(h > l ? h : l);
            Step(e0);
            Step(e1);
            Step(e2);
        }
        edges_[0] = e0;
        edges_[1] = e1;
        edges_[2] = e2;
    }

private:
    // No member initialisers: a trivial constructor, so nothing of this class is ever
    // built out of line (the wide span routines use it too).
    struct Edge {
        int64_t q, r, rb, d, qStep, qCarry;
        bool left, flat;
    };
    [[gnu::always_inline]] static inline void FloorDivide(int64_t n, int64_t d, int64_t &q, int64_t &r) {
        q = n / d;
        r = n - q * d;
        if (r < 0) {
            --q;
            r += d;
        }
    }
    [[gnu::always_inline]] static inline void Bound(const Edge &e, int64_t &lo, int64_t &hi) {
        if (e.flat) {
            if (e.q < 0) hi = lo;
        } else if (e.left) {
            lo = e.q > lo ? e.q : lo;
        } else {
            hi = e.q + 1 < hi ? e.q + 1 : hi;
        }
    }
    // Without a branch: whether a row carries follows the edge's slope, which a
    // processor cannot predict (a branch here was missed at about every other row).
    [[gnu::always_inline]] static inline void Step(Edge &e) {
        const int64_t t = e.r + e.rb;
        const int64_t carry = -static_cast<int64_t>(t >= e.d);  // all ones or zero
        e.r = t - (e.d & carry);
        e.q += e.qStep + (e.qCarry & carry);
    }
    Edge edges_[3];
    int64_t lo_, hi_;
};

// A triangle's rows from y0 to y1 one after another, their spans limited to [lo, hi),
// worked out by the walk a block of kRowBlock rows at a time. No member initialisers,
// as for RowWalk.
class RowBlockWalk {
public:
    static constexpr int32_t kRowBlock = 32;
    [[gnu::always_inline]] inline void Start(const TriangleSetup &s, int32_t y0, int32_t y1, int32_t lo, int32_t hi) {
        walk_.Start(s, y0);
        y1_ = y1;
        lo_ = lo;
        hi_ = hi;
        inBlock_ = kRowBlock;
    }
    // Row y's span: rows are taken in order from y0, each once.
    [[gnu::always_inline]] inline void Span(int32_t y, int32_t &x0, int32_t &x1) {
        if (inBlock_ == kRowBlock) {
            walk_.Fill(y1_ - y < kRowBlock ? y1_ - y : kRowBlock, lo_, hi_, x0_, x1_);
            inBlock_ = 0;
        }
        x0 = x0_[inBlock_];
        x1 = x1_[inBlock_];
        ++inBlock_;
    }

private:
    RowWalk walk_;
    int32_t x0_[kRowBlock], x1_[kRowBlock];
    int32_t y1_, lo_, hi_, inBlock_;
};

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
