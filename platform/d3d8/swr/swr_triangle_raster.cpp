// Triangle set-up and the reference scan loop. Edge functions are exact 64-bit
// integers: with coordinates inside the guard band they need at most 46 bits.
#include "swr_triangle_raster.h"

#include <algorithm>
#include <cmath>

#include <emmintrin.h>

namespace swr {
namespace {

constexpr float kSubpixelScale = static_cast<float>(1 << kSubpixelBits);
// Snapped coordinates beyond this are refused outright; the clipper keeps real
// geometry far inside it.
constexpr double kMaxCoordinate = 1 << 20;

int64_t FloorDiv(int64_t n, int64_t d) {  // d > 0
    const int64_t q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}

int64_t CeilDiv(int64_t n, int64_t d) {  // d > 0
    const int64_t q = n / d;
    return (n % d != 0 && n > 0) ? q + 1 : q;
}

bool Snap(float v, int64_t &out) {
    const double scaled = static_cast<double>(v) * kSubpixelScale;
    if (!(std::fabs(scaled) < kMaxCoordinate * kSubpixelScale)) return false;  // also NaN
    // floor(scaled + 0.5), without a library call: truncation, then one step down for
    // negative values with a fraction.
    const double half = scaled + 0.5;
    const int64_t t = static_cast<int64_t>(half);
    out = static_cast<double>(t) > half ? t - 1 : t;
    return true;
}

// `invArea` is 1 / area: one division per triangle rather than two per plane.
Plane MakePlane(double q0, double q1, double q2, double dx1, double dy1, double dx2, double dy2, double invArea) {
    const double d1 = q1 - q0, d2 = q2 - q0;
    Plane p;
    p.at0 = static_cast<float>(q0);
    p.dx = static_cast<float>((d1 * dy2 - d2 * dy1) * invArea);
    p.dy = static_cast<float>((d2 * dx1 - d1 * dx2) * invArea);
    return p;
}

}  // namespace

bool SetupTriangle(const ScreenVertex &v0, const ScreenVertex &v1, const ScreenVertex &v2, DWORD cullMode,
                   uint32_t varyingCount, TriangleSetup &out, uint64_t planes) {
    const SetupVertex a{v0.x, v0.y, v0.z, v0.rhw, v0.var}, b{v1.x, v1.y, v1.z, v1.rhw, v1.var},
        c{v2.x, v2.y, v2.z, v2.rhw, v2.var};
    return SetupTriangle(a, b, c, cullMode, varyingCount, out, planes);
}

bool SetupTriangle(const SetupVertex &v0, const SetupVertex &v1, const SetupVertex &v2, DWORD cullMode,
                   uint32_t varyingCount, TriangleSetup &out, uint64_t planes) {
    const SetupVertex *v[3] = {&v0, &v1, &v2};
    int64_t X[3], Y[3];
    for (int i = 0; i < 3; ++i) {
        if (!Snap(v[i]->x, X[i]) || !Snap(v[i]->y, Y[i])) return false;
    }
    const int64_t area2 = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
    if (area2 == 0) return false;
    // Positive area is clockwise on screen, since y grows downwards.
    if (cullMode == D3DCULL_CW && area2 > 0) return false;
    if (cullMode == D3DCULL_CCW && area2 < 0) return false;
    if (area2 < 0) {
        std::swap(v[1], v[2]);
        std::swap(X[1], X[2]);
        std::swap(Y[1], Y[2]);
    }

    constexpr int64_t S = int64_t{1} << kSubpixelBits;
    for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3;
        const int64_t dx = X[j] - X[i], dy = Y[j] - Y[i];
        out.a[i] = -dy * S;
        out.b[i] = dx * S;
        out.c[i] = dy * X[i] - dx * Y[i];
        const bool topLeft = dy < 0 || (dy == 0 && dx > 0);
        out.bias[i] = topLeft ? 0 : -1;
    }
    const int64_t minX = std::min({X[0], X[1], X[2]}), maxX = std::max({X[0], X[1], X[2]});
    const int64_t minY = std::min({Y[0], Y[1], Y[2]}), maxY = std::max({Y[0], Y[1], Y[2]});
    out.minX = static_cast<int32_t>(CeilDiv(minX, S));
    out.maxX = static_cast<int32_t>(FloorDiv(maxX, S));
    out.minY = static_cast<int32_t>(CeilDiv(minY, S));
    out.maxY = static_cast<int32_t>(FloorDiv(maxY, S));
    // No pixel centre inside the bounds (a sliver between two columns or rows, a fifth
    // of a crowded stage's triangles): nothing to draw, and no planes to make for it.
    if (out.minX > out.maxX || out.minY > out.maxY) return false;

    // Planes over the snapped positions, so values match the coverage exactly.
    double fx[3], fy[3];
    for (int i = 0; i < 3; ++i) {
        fx[i] = static_cast<double>(X[i]) / S;
        fy[i] = static_cast<double>(Y[i]) / S;
    }
    const double dx1 = fx[1] - fx[0], dy1 = fy[1] - fy[0], dx2 = fx[2] - fx[0], dy2 = fy[2] - fy[0];
    const double invArea = 1.0 / (dx1 * dy2 - dx2 * dy1);
    out.originX = static_cast<float>(fx[0]);
    out.originY = static_cast<float>(fy[0]);
    out.z = MakePlane(v[0]->z, v[1]->z, v[2]->z, dx1, dy1, dx2, dy2, invArea);
    out.rhw = MakePlane(v[0]->rhw, v[1]->rhw, v[2]->rhw, dx1, dy1, dx2, dy2, invArea);
    out.perspective = !(v[0]->rhw == v[1]->rhw && v[0]->rhw == v[2]->rhw);
    // Two varyings at a time in the two double lanes: each lane does MakePlane's
    // operations in its order, so the planes are the same as one at a time.
    const __m128d w0 = _mm_set1_pd(out.perspective ? v[0]->rhw : 1.0), w1 = _mm_set1_pd(out.perspective ? v[1]->rhw : 1.0),
                  w2 = _mm_set1_pd(out.perspective ? v[2]->rhw : 1.0);
    const __m128d ddx1 = _mm_set1_pd(dx1), ddy1 = _mm_set1_pd(dy1), ddx2 = _mm_set1_pd(dx2), ddy2 = _mm_set1_pd(dy2);
    const __m128d inv = _mm_set1_pd(invArea);
    for (uint32_t k = 0; k < varyingCount; k += 2) {
        if (!((planes >> k) & 3u)) continue;
        const bool two = k + 1 < varyingCount;  // never read past the last varying
        auto pair = [&](const float *var) {
            return _mm_cvtps_pd(two ? _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(var + k)))
                                    : _mm_load_ss(var + k));
        };
        __m128d q0 = pair(v[0]->var), q1 = pair(v[1]->var), q2 = pair(v[2]->var);
        if (out.perspective) {  // x * 1.0 would be exact too, but skipping it keeps NaN payloads alike
            q0 = _mm_mul_pd(q0, w0);
            q1 = _mm_mul_pd(q1, w1);
            q2 = _mm_mul_pd(q2, w2);
        }
        const __m128d d1 = _mm_sub_pd(q1, q0), d2 = _mm_sub_pd(q2, q0);
        const __m128 at0 = _mm_cvtpd_ps(q0);
        const __m128 pdx = _mm_cvtpd_ps(_mm_mul_pd(_mm_sub_pd(_mm_mul_pd(d1, ddy2), _mm_mul_pd(d2, ddy1)), inv));
        const __m128 pdy = _mm_cvtpd_ps(_mm_mul_pd(_mm_sub_pd(_mm_mul_pd(d2, ddx1), _mm_mul_pd(d1, ddx2)), inv));
        alignas(16) float a[4], x[4], y[4];
        _mm_store_ps(a, at0);
        _mm_store_ps(x, pdx);
        _mm_store_ps(y, pdy);
        out.var[k] = Plane{a[0], x[0], y[0]};
        if (two) out.var[k + 1] = Plane{a[1], x[1], y[1]};
    }
    return true;
}

void TriangleRowSpan(const TriangleSetup &s, int32_t y, int32_t &x0, int32_t &x1) {
    int64_t lo = s.minX, hi = int64_t{s.maxX} + 1;
    for (int i = 0; i < 3 && lo < hi; ++i) {
        const int64_t k = s.b[i] * y + s.c[i] + s.bias[i];  // need a*x + k >= 0
        if (s.a[i] > 0) lo = std::max(lo, CeilDiv(-k, s.a[i]));
        else if (s.a[i] < 0) hi = std::min(hi, FloorDiv(k, -s.a[i]) + 1);
        else if (k < 0) hi = lo;
    }
    x0 = static_cast<int32_t>(lo);
    x1 = static_cast<int32_t>(std::max(lo, hi));
}

void RasterizeTriangle(const TriangleSetup &s, const RasterContext &ctx, const PixelRect &region) {
    const int32_t y0 = std::max(s.minY, region.y0), y1 = std::min(s.maxY + 1, region.y1);
    // Colours and fog are divided here; coordinates keep their planes for derivatives.
    const uint32_t count = std::min<uint32_t>(ctx.varyingCount, kVaryTexCoord);
    float var[kMaxVaryings];
    float rows[kMaxVaryings];
    for (int32_t y = y0; y < y1; ++y) {
        int32_t x0, x1;
        TriangleRowSpan(s, y, x0, x1);
        x0 = std::max(x0, region.x0);
        x1 = std::min(x1, region.x1);
        const float oy = static_cast<float>(y) - s.originY;
        for (uint32_t k = 0; k < ctx.varyingCount; ++k) rows[k] = s.var[k].Row(oy);
        for (int32_t x = x0; x < x1; ++x) {
            const float ox = static_cast<float>(x) - s.originX;
            const float z = s.z.At(ox, oy);
            float w;
            if (s.perspective) {
                w = 1.0f / s.rhw.At(ox, oy);
                for (uint32_t k = 0; k < count; ++k) var[k] = s.var[k].At(ox, oy) * w;
            } else {
                w = 1.0f / s.rhw.at0;
                for (uint32_t k = 0; k < count; ++k) var[k] = s.var[k].At(ox, oy);
            }
            Fragment f = MakeFragment(ctx, x, y, z, w, var);
            for (uint32_t st = 0; st < ctx.coordStages; ++st) {
                if (ctx.coords[st].sampled) TriangleCoords(s, ctx.coords[st], TexCoordSlot(st), rows, ox, w, f.tex[st]);
            }
            ctx.pixels->Process(f);
        }
    }
}

}  // namespace swr
