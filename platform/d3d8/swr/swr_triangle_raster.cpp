// Triangle set-up and the reference scan loop. Edge functions are exact 64-bit
// integers: with coordinates inside the guard band they need at most 46 bits.
#include "swr_triangle_raster.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

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

}  // namespace

// Both at once in the two double lanes.
bool SnapToGrid(float x, float y, int32_t &sx, int32_t &sy) {
    const __m128d scaled = _mm_mul_pd(_mm_setr_pd(x, y), _mm_set1_pd(kSubpixelScale));
    const __m128d size = _mm_andnot_pd(_mm_set1_pd(-0.0), scaled);
    if (_mm_movemask_pd(_mm_cmplt_pd(size, _mm_set1_pd(kMaxCoordinate * kSubpixelScale))) != 3) return false;  // also NaN
    // Without a library call: truncation (inside 32 bits here), then one step down for
    // negative values with a fraction.
    const __m128d half = _mm_add_pd(scaled, _mm_set1_pd(0.5));
    const __m128i t = _mm_cvttpd_epi32(half);
    const __m128i down = _mm_shuffle_epi32(_mm_castpd_si128(_mm_cmpgt_pd(_mm_cvtepi32_pd(t), half)), _MM_SHUFFLE(3, 3, 2, 0));
    const __m128i snapped = _mm_add_epi32(t, down);
    sx = _mm_cvtsi128_si32(snapped);
    sy = _mm_cvtsi128_si32(_mm_srli_si128(snapped, 4));
    return true;
}

// SnapToGrid's answers in four float lanes, without doubles: v * 256 and v * 512 are
// exact in floats (powers of two), so the limit compares the same; and floor(v * 256 +
// 0.5) = floor((floor(v * 512) + 1) / 2) for every real v, the floor of v * 512 exact
// too (inside the limit it fits 30 bits, and where it has a fraction it is below 2^23,
// where its truncation converts back exactly), the halving an arithmetic shift.
uint32_t SnapFourToGrid(const float x[4], const float y[4], int32_t sx[4], int32_t sy[4]) {
    const __m128 scale = _mm_set1_ps(kSubpixelScale), twiceScale = _mm_set1_ps(2 * kSubpixelScale);
    const __m128 limit = _mm_set1_ps(static_cast<float>(kMaxCoordinate * kSubpixelScale));
    auto snap = [&](__m128 v, int &inside) {
        const __m128 size = _mm_andnot_ps(_mm_set1_ps(-0.0f), _mm_mul_ps(v, scale));
        inside = _mm_movemask_ps(_mm_cmplt_ps(size, limit));  // also NaN
        const __m128 twice = _mm_mul_ps(v, twiceScale);
        const __m128i t = _mm_cvttps_epi32(twice);
        // Truncation went up for negative values with a fraction: one less (all ones).
        const __m128i floorTwice = _mm_add_epi32(t, _mm_castps_si128(_mm_cmpgt_ps(_mm_cvtepi32_ps(t), twice)));
        return _mm_srai_epi32(_mm_add_epi32(floorTwice, _mm_set1_epi32(1)), 1);
    };
    int insideX, insideY;
    _mm_storeu_si128(reinterpret_cast<__m128i *>(sx), snap(_mm_loadu_ps(x), insideX));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(sy), snap(_mm_loadu_ps(y), insideY));
    return static_cast<uint32_t>(insideX & insideY);
}

bool SetupTriangle(const ScreenVertex &v0, const ScreenVertex &v1, const ScreenVertex &v2, DWORD cullMode,
                   uint32_t varyingCount, TriangleSetup &out, uint64_t planes) {
    SetupVertex a{v0.x, v0.y, v0.z, v0.rhw, v0.var, false, 0, 0}, b{v1.x, v1.y, v1.z, v1.rhw, v1.var, false, 0, 0},
        c{v2.x, v2.y, v2.z, v2.rhw, v2.var, false, 0, 0};
    for (SetupVertex *v : {&a, &b, &c}) v->snapped = SnapToGrid(v->x, v->y, v->sx, v->sy);
    return SetupTriangle(a, b, c, cullMode, varyingCount, out, planes);
}

bool SetupTriangle(const SetupVertex &v0, const SetupVertex &v1, const SetupVertex &v2, DWORD cullMode,
                   uint32_t varyingCount, TriangleSetup &out, uint64_t planes) {
    const SetupVertex *v[3] = {&v0, &v1, &v2};
    if (!(v0.snapped && v1.snapped && v2.snapped)) return false;
    int64_t X[3] = {v0.sx, v1.sx, v2.sx}, Y[3] = {v0.sy, v1.sy, v2.sy};
    const int64_t area2 = SnappedArea2(X[0], Y[0], X[1], Y[1], X[2], Y[2]);
    if (!KeptByCull(area2, cullMode)) return false;
    if (area2 < 0) {
        std::swap(v[1], v[2]);
        std::swap(X[1], X[2]);
        std::swap(Y[1], Y[2]);
    }
    // The differences of the snapped places in pixels, from the integer differences: the
    // same doubles as differences of the places (each exact, inside a double's mantissa),
    // without waiting on those. The one division is started here, ahead of the edges and
    // bounds, which do not wait on it as the planes do (the empty asm keeps the compiler
    // from sinking it to its first use).
    constexpr int64_t S = int64_t{1} << kSubpixelBits;
    const double dx1 = static_cast<double>(X[1] - X[0]) / S, dy1 = static_cast<double>(Y[1] - Y[0]) / S;
    const double dx2 = static_cast<double>(X[2] - X[0]) / S, dy2 = static_cast<double>(Y[2] - Y[0]) / S;
    double invArea = 1.0 / (dx1 * dy2 - dx2 * dy1);
    asm volatile("" : "+x"(invArea));

    // The three edges written out: the index of an edge's end, (i + 1) % 3, is then
    // known without a division.
    auto edge = [&](int i, int j) {
        const int64_t dx = X[j] - X[i], dy = Y[j] - Y[i];
        out.a[i] = -dy * S;
        out.b[i] = dx * S;
        out.c[i] = dy * X[i] - dx * Y[i];
        const bool topLeft = dy < 0 || (dy == 0 && dx > 0);
        out.bias[i] = topLeft ? 0 : -1;
    };
    edge(0, 1);
    edge(1, 2);
    edge(2, 0);
    // Pixel bounds: ceil(min / S) and floor(max / S) by arithmetic shifts, which round
    // towards minus infinity.
    const int64_t minX = std::min({X[0], X[1], X[2]}), maxX = std::max({X[0], X[1], X[2]});
    const int64_t minY = std::min({Y[0], Y[1], Y[2]}), maxY = std::max({Y[0], Y[1], Y[2]});
    out.minX = static_cast<int32_t>(-((-minX) >> kSubpixelBits));
    out.maxX = static_cast<int32_t>(maxX >> kSubpixelBits);
    out.minY = static_cast<int32_t>(-((-minY) >> kSubpixelBits));
    out.maxY = static_cast<int32_t>(maxY >> kSubpixelBits);
    // No pixel centre inside the bounds (a sliver between two columns or rows, a fifth
    // of a crowded stage's triangles): nothing to draw, and no planes to make for it.
    if (out.minX > out.maxX || out.minY > out.maxY) return false;

    // Planes over the snapped positions, so values match the coverage exactly.
    out.originX = static_cast<float>(static_cast<double>(X[0]) / S);
    out.originY = static_cast<float>(static_cast<double>(Y[0]) / S);
    out.perspective = !(v[0]->rhw == v[1]->rhw && v[0]->rhw == v[2]->rhw);
    // Planes two at a time in the two double lanes (z with 1/w, then the varyings), each
    // lane a plane by the same operations in the same order: at0 = q0, and with d1 = q1 -
    // q0, d2 = q2 - q0, dx = (d1 * dy2 - d2 * dy1) / area, dy = (d2 * dx1 - d1 * dx2) /
    // area (one division per triangle: times 1 / area). A pair's planes go out as the six
    // floats they are, at0, dx, dy of the first, then of the second.
    const __m128d ddx1 = _mm_set1_pd(dx1), ddy1 = _mm_set1_pd(dy1), ddx2 = _mm_set1_pd(dx2), ddy2 = _mm_set1_pd(dy2);
    const __m128d inv = _mm_set1_pd(invArea);
    auto planePair = [&](__m128d q0, __m128d q1, __m128d q2, bool two, Plane *to) {
        const __m128d d1 = _mm_sub_pd(q1, q0), d2 = _mm_sub_pd(q2, q0);
        const __m128 at0 = _mm_cvtpd_ps(q0);
        const __m128 pdx = _mm_cvtpd_ps(_mm_mul_pd(_mm_sub_pd(_mm_mul_pd(d1, ddy2), _mm_mul_pd(d2, ddy1)), inv));
        const __m128 pdy = _mm_cvtpd_ps(_mm_mul_pd(_mm_sub_pd(_mm_mul_pd(d2, ddx1), _mm_mul_pd(d1, ddx2)), inv));
        const __m128 ax = _mm_unpacklo_ps(at0, pdx);  // at0, dx of the first; at0, dx of the second
        float *f = &to->at0;
        if (!two) {
            _mm_storel_pi(reinterpret_cast<__m64 *>(f), ax);
            _mm_store_ss(f + 2, pdy);
            return;
        }
        const __m128 ya = _mm_shuffle_ps(pdy, at0, _MM_SHUFFLE(1, 1, 0, 0));  // dy of the first, at0 of the second
        _mm_storeu_ps(f, _mm_shuffle_ps(ax, ya, _MM_SHUFFLE(2, 0, 1, 0)));
        _mm_storeh_pi(reinterpret_cast<__m64 *>(f + 4), _mm_unpacklo_ps(pdx, pdy));
    };
    static_assert(sizeof(Plane) == 3 * sizeof(float) && offsetof(TriangleSetup, rhw) == offsetof(TriangleSetup, z) + sizeof(Plane));
    planePair(_mm_setr_pd(v[0]->z, v[0]->rhw), _mm_setr_pd(v[1]->z, v[1]->rhw), _mm_setr_pd(v[2]->z, v[2]->rhw), true,
              &out.z);
    const __m128d w0 = _mm_set1_pd(out.perspective ? v[0]->rhw : 1.0), w1 = _mm_set1_pd(out.perspective ? v[1]->rhw : 1.0),
                  w2 = _mm_set1_pd(out.perspective ? v[2]->rhw : 1.0);
    // The pairs (k, k + 1) below varyingCount with a plane to make: bit k, for even k.
    uint64_t pairs = (planes | (planes >> 1)) & 0x5555555555555555ull;
    if (varyingCount < 64) pairs &= (uint64_t{1} << varyingCount) - 1;
    while (pairs) {
        const uint32_t k = static_cast<uint32_t>(__builtin_ctzll(pairs));
        pairs &= pairs - 1;
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
        planePair(q0, q1, q2, two, &out.var[k]);
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
