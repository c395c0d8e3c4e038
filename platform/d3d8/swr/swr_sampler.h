// Texture sampling for one stage: addressing per coordinate (wrap, mirror, clamp,
// border, mirror once), point and linear filtering, mip-map selection with point and
// linear mip filters, and cube maps. Filtering is 8-bit fixed point with fixed rounding,
// so a sample's value can be worked out by hand:
// - Point: texel floor(u * width) (then addressed), likewise for v.
// - Linear: x = u * width - 0.5; the two texels floor(x) and floor(x) + 1 weigh by the
//   fraction rounded to 1/256; the four products sum with one rounding.
// - Level of detail: lambda = log2(rho) + bias, where rho is the larger of the lengths
//   of the texel-space derivatives along x and along y (log2 from the exponent and a
//   cubic on the mantissa: exact at powers of two, within 0.01). Lambda <= 0 magnifies
//   (the magnification filter on the first level); above 0 the minification filter
//   applies and the mip filter picks level round(lambda) (point) or blends levels
//   floor(lambda) and floor(lambda) + 1 by its fraction rounded to 1/256 (linear).
//   MAXMIPLEVEL names the largest level in use, counted from level 0 like the
//   texture's own first level (its LOD): the larger of the two applies, and levels past
//   the last one clamp to it. The level of detail is measured on level 0 either way.
// - Cube maps: the coordinate with the largest magnitude picks the face (x before y
//   before z on a tie); the face is sampled with clamping.
// The commonest textures (2D, 32-bit texels, power-of-two sizes, wrapped or clamped)
// take an inline route with the same arithmetic; the rest go through the general one.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include <emmintrin.h>

#include "swr_color.h"
#include "swr_draw.h"
#include "swr_texel_fetch.h"

namespace swr {

struct SpanSampler;       // swr_span_plan.h
struct StageCoordLayout;  // swr_texcoord.h

// A stage's coordinates at one pixel and their derivatives along screen x and y.
struct TexCoords {
    float c[3] = {};
    float ddx[3] = {};
    float ddy[3] = {};
};

namespace sampling {

constexpr float kMaxTexelCoordinate = 1 << 30;

// Floor without a library call (the baseline instruction set has no rounding op);
// coordinates far outside any texture, and NaN, are pinned to a finite range first.
inline int32_t FloorToInt(float v) {
    if (!(v > -kMaxTexelCoordinate)) return v != v ? 0 : -(1 << 30);
    if (v > kMaxTexelCoordinate) return 1 << 30;
    const int32_t i = static_cast<int32_t>(v);
    return static_cast<float>(i) > v ? i - 1 : i;
}

// Weight of the second of two neighbours, in 1/256.
inline uint32_t Fraction256(float x, int32_t whole) {
    const int32_t w = static_cast<int32_t>((x - static_cast<float>(whole)) * 256.0f + 0.5f);
    return static_cast<uint32_t>(std::clamp(w, 0, 256));
}

// Weights of the four neighbours, in 1/65536, summing to 65536.
struct BilinearWeights {
    uint32_t w00, w10, w01, w11;
    BilinearWeights(uint32_t fx, uint32_t fy)
        : w00((256 - fx) * (256 - fy)), w10(fx * (256 - fy)), w01((256 - fx) * fy), w11(fx * fy) {}
    uint8_t Mix(uint32_t t00, uint32_t t10, uint32_t t01, uint32_t t11) const {
        return static_cast<uint8_t>((t00 * w00 + t10 * w10 + t01 * w01 + t11 * w11 + 32768u) >> 16);
    }
    Rgba8 Mix(Rgba8 a, Rgba8 b, Rgba8 c, Rgba8 d) const {
        return Rgba8{Mix(a.r, b.r, c.r, d.r), Mix(a.g, b.g, c.g, d.g), Mix(a.b, b.b, c.b, d.b), Mix(a.a, b.a, c.a, d.a)};
    }
};

// BilinearWeights::Mix on four packed 32-bit texels, all channels at once: each row
// first (c0 * (256 - fx) + c1 * fx, at most 65280), then the rows weighed by fy. The
// second step runs in float, where every value is an integer below 2^24 and so exact:
// the result is the integer formula's, bit for bit.
inline uint32_t BilinearPacked(uint32_t t00, uint32_t t10, uint32_t t01, uint32_t t11, uint32_t fx, uint32_t fy) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i top = _mm_unpacklo_epi8(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int32_t>(t00)),
                                                            _mm_cvtsi32_si128(static_cast<int32_t>(t10))),
                                          zero);
    const __m128i bottom = _mm_unpacklo_epi8(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int32_t>(t01)),
                                                               _mm_cvtsi32_si128(static_cast<int32_t>(t11))),
                                             zero);
    const __m128i wx = _mm_set1_epi32(static_cast<int32_t>((fx << 16) | (256 - fx)));
    const __m128 row0 = _mm_cvtepi32_ps(_mm_madd_epi16(top, wx)), row1 = _mm_cvtepi32_ps(_mm_madd_epi16(bottom, wx));
    const __m128 sum = _mm_add_ps(_mm_add_ps(_mm_mul_ps(row0, _mm_set1_ps(static_cast<float>(256 - fy))),
                                             _mm_mul_ps(row1, _mm_set1_ps(static_cast<float>(fy)))),
                                  _mm_set1_ps(32768.0f));
    const __m128i channels = _mm_srli_epi32(_mm_cvttps_epi32(sum), 16);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(channels, zero), zero)));
}

// a towards b by f / 256.
inline Rgba8 Between(Rgba8 a, Rgba8 b, uint32_t f) {
    auto mix = [f](uint32_t x, uint32_t y) { return static_cast<uint8_t>((x * (256 - f) + y * f + 128u) >> 8); };
    return Rgba8{mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b), mix(a.a, b.a)};
}

// log2 of a positive normal float: exact at powers of two, within 0.01 elsewhere.
inline float Log2(float x) {
    const uint32_t bits = std::bit_cast<uint32_t>(x);
    const float exponent = static_cast<float>(static_cast<int32_t>(bits >> 23) - 127);
    const float t = std::bit_cast<float>((bits & 0x007FFFFFu) | 0x3F800000u) - 1.0f;
    return exponent + t * (1.4425f + t * (-0.7061f + t * 0.2636f));
}

// Lambda for texel-space derivatives (u and v along x, u and v along y). Without a
// footprint at all (or NaN) it magnifies; an endless one takes the smallest level.
// Written without branches so that span routines can work it out for many pixels at
// once.
inline float LambdaOfFootprint(float rho2, float bias) {
    const float lambda = std::min(0.5f * Log2(rho2) + bias, 64.0f);
    return rho2 >= 1e-30f ? (rho2 <= 1e30f ? lambda : 64.0f) : -1.0f;
}
inline float Lambda(float ux, float vx, float uy, float vy, float bias) {
    return LambdaOfFootprint(std::max(ux * ux + vx * vx, uy * uy + vy * vy), bias);
}

// Lambda for four pixels at once, with exactly the arithmetic of Lambda (every step is
// the same IEEE operation in the same order, so each lane equals the scalar result).
inline __m128 Lambda4(__m128 ux, __m128 vx, __m128 uy, __m128 vy, float bias) {
    const __m128 a = _mm_add_ps(_mm_mul_ps(ux, ux), _mm_mul_ps(vx, vx));
    const __m128 b = _mm_add_ps(_mm_mul_ps(uy, uy), _mm_mul_ps(vy, vy));
    const __m128 rho2 = _mm_max_ps(b, a);  // std::max(a, b): b only when a < b
    const __m128i bits = _mm_castps_si128(rho2);
    const __m128 exponent = _mm_cvtepi32_ps(_mm_sub_epi32(_mm_srli_epi32(bits, 23), _mm_set1_epi32(127)));
    const __m128 t = _mm_sub_ps(
        _mm_castsi128_ps(_mm_or_si128(_mm_and_si128(bits, _mm_set1_epi32(0x007FFFFF)), _mm_set1_epi32(0x3F800000))),
        _mm_set1_ps(1.0f));
    __m128 poly = _mm_add_ps(_mm_set1_ps(-0.7061f), _mm_mul_ps(t, _mm_set1_ps(0.2636f)));
    poly = _mm_add_ps(_mm_set1_ps(1.4425f), _mm_mul_ps(t, poly));
    const __m128 log2 = _mm_add_ps(exponent, _mm_mul_ps(t, poly));
    const __m128 lambda =
        _mm_min_ps(_mm_add_ps(_mm_mul_ps(_mm_set1_ps(0.5f), log2), _mm_set1_ps(bias)), _mm_set1_ps(64.0f));
    const __m128 small = _mm_cmpge_ps(rho2, _mm_set1_ps(1e-30f)), large = _mm_cmple_ps(rho2, _mm_set1_ps(1e30f));
    const __m128 inner = _mm_or_ps(_mm_and_ps(large, lambda), _mm_andnot_ps(large, _mm_set1_ps(64.0f)));
    return _mm_or_ps(_mm_and_ps(small, inner), _mm_andnot_ps(small, _mm_set1_ps(-1.0f)));
}

inline bool IsLinear(DWORD filter) { return filter != D3DTEXF_POINT && filter != D3DTEXF_NONE; }

// FloorToInt for four values: NaN to 0, then pinned to the same finite range.
inline __m128i FloorToInt4(__m128 v) {
    v = _mm_and_ps(v, _mm_cmpord_ps(v, v));
    v = _mm_min_ps(_mm_max_ps(v, _mm_set1_ps(-kMaxTexelCoordinate)), _mm_set1_ps(kMaxTexelCoordinate));
    const __m128i i = _mm_cvttps_epi32(v);
    return _mm_add_epi32(i, _mm_castps_si128(_mm_cmpgt_ps(_mm_cvtepi32_ps(i), v)));
}

// Per lane, b where `mask` is set, else a.
inline __m128i Select4(__m128i mask, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(mask, b), _mm_andnot_si128(mask, a));
}

// std::clamp(v, lo, hi) for four signed values (lo <= hi).
inline __m128i Clamp4(__m128i v, __m128i lo, __m128i hi) {
    v = Select4(_mm_cmplt_epi32(v, lo), v, lo);
    return Select4(_mm_cmpgt_epi32(v, hi), v, hi);
}

// Fraction256 for four values: out-of-range conversions give the same integer
// (0x80000000) as the scalar conversion does, and so clamp to 0 alike.
inline __m128i Fraction256x4(__m128 x, __m128i whole) {
    const __m128 scaled =
        _mm_add_ps(_mm_mul_ps(_mm_sub_ps(x, _mm_cvtepi32_ps(whole)), _mm_set1_ps(256.0f)), _mm_set1_ps(0.5f));
    return Clamp4(_mm_cvttps_epi32(scaled), _mm_setzero_si128(), _mm_set1_epi32(256));
}

}  // namespace sampling

// Where the inline route reads each pixel of a run and how it weighs the texels,
// worked out four pixels at a time: the level, whether it filters, the texel columns
// and rows (already addressed) and the fractions.
template <int N>
struct DirectTaps {
    alignas(16) int32_t level[N], linear[N], ax[N], bx[N], ay[N], by[N], fx[N], fy[N];
};

class Sampler {
public:
    // False when the stage has no texture the sampler can read (none bound, an unknown
    // format, no levels); such a stage reads opaque white.
    bool Prepare(const DrawState &state, uint32_t stage);

    Rgba8 Sample(const TexCoords &tc) const { return direct_ ? SampleDirect(tc) : SampleGeneral(tc); }

    bool IsCube() const { return cube_; }
    // Whether Sample reads the derivatives at all: only filters that differ between
    // magnification and minification, or mip-mapping, need them.
    bool NeedsDerivatives() const { return needsLod_; }

    // The inline route split in two, for span routines that work out every pixel's
    // level of detail before sampling any: valid only while DirectRoute() holds.
    bool DirectRoute() const { return direct_; }
    float DirectLambda(const TexCoords &tc) const { return DirectLambda(tc.ddx[0], tc.ddx[1], tc.ddy[0], tc.ddy[1]); }
    float DirectLambda(float dudx, float dvdx, float dudy, float dvdy) const {
        const DirectLevel &l0 = directLevels_[0];
        const float lambda = sampling::Lambda(dudx * l0.width, dvdx * l0.height, dudy * l0.width, dvdy * l0.height, lodBias_);
        return needsLod_ ? lambda : 0.0f;
    }
    Rgba8 DirectSample(float u, float v, float lambda) const;
    // DirectLambda for four pixels.
    __m128 DirectLambda4(__m128 dudx, __m128 dvdx, __m128 dudy, __m128 dvdy) const {
        if (!needsLod_) return _mm_setzero_ps();
        const __m128 w = _mm_set1_ps(directLevels_[0].width), h = _mm_set1_ps(directLevels_[0].height);
        return sampling::Lambda4(_mm_mul_ps(dudx, w), _mm_mul_ps(dvdx, h), _mm_mul_ps(dudy, w), _mm_mul_ps(dvdy, h),
                                 lodBias_);
    }

    // The inline route four pixels at a time: valid while DirectRoute() holds and the
    // mip filter does not blend two levels. DirectTaps4 settles pixels i..i+3 of a run
    // from their coordinates and levels of detail; DirectTapSample then reads pixel i,
    // as a packed colour. Together they give DirectSample's value.
    bool DirectFourRoute() const { return direct_ && mipFilter_ != D3DTEXF_LINEAR; }
    template <int N>
    void DirectTaps4(__m128 u, __m128 v, __m128 lambda, DirectTaps<N> &taps, int32_t i) const;
    template <int N>
    uint32_t DirectTapSample(const DirectTaps<N> &taps, int32_t i) const;

    // Sends every sample down the general route (for tests that hold the two routes
    // against each other).
    void ForceGeneralRoute() { direct_ = false; }

    // The sampler as the span routines read it (swr_span_plan.h), with 32-bit copies of
    // levels in other formats made through the levels' copy slots. False when they
    // cannot serve it: cube maps, levels without memory or copy slot, too many levels.
    bool DescribeForSpans(const StageCoordLayout &layout, uint32_t slot, uint32_t fault, SpanSampler &out) const;

private:
    // A level as the inline route reads it.
    struct DirectLevel {
        const uint8_t *bits;
        uint32_t pitch, widthMask, heightMask;
        float width, height;
    };

    Rgba8 SampleGeneral(const TexCoords &tc) const;
    Rgba8 SampleLevel(uint32_t face, uint32_t level, float u, float v, DWORD filter) const;
    Rgba8 SampleFace(uint32_t face, float u, float v, float lambda) const;

    Rgba8 SampleDirect(const TexCoords &tc) const;
    Rgba8 DirectLevelSample(uint32_t level, float u, float v, bool linear) const;
    uint32_t DirectIndex(int32_t i, uint32_t mask, bool wrap) const {
        return wrap ? static_cast<uint32_t>(i) & mask : static_cast<uint32_t>(std::clamp(i, 0, static_cast<int32_t>(mask)));
    }
    uint32_t DirectWord(const DirectLevel &l, uint32_t x, uint32_t y) const {
        uint32_t v;
        std::memcpy(&v, l.bits + static_cast<size_t>(y) * l.pitch + static_cast<size_t>(x) * 4u, 4);
        return v | opaque_;
    }
    Rgba8 DirectTexel(const DirectLevel &l, uint32_t x, uint32_t y) const { return UnpackColor(DirectWord(l, x, y)); }

    TexelFetch fetch_ = nullptr;
    D3DFORMAT format_ = D3DFMT_UNKNOWN;
    const TextureLevel *levels_ = nullptr;
    const PALETTEENTRY *palette_ = nullptr;
    uint32_t levelCount_ = 0;
    uint32_t baseLevel_ = 0;
    DWORD addressU_ = D3DTADDRESS_WRAP, addressV_ = D3DTADDRESS_WRAP;
    DWORD magFilter_ = D3DTEXF_POINT, minFilter_ = D3DTEXF_POINT, mipFilter_ = D3DTEXF_NONE;
    float lodBias_ = 0;
    Rgba8 border_;
    bool cube_ = false;
    bool needsLod_ = false;
    bool direct_ = false;           // the inline route serves this texture
    bool wrapU_ = false, wrapV_ = false;
    uint32_t opaque_ = 0;           // or-ed into 32-bit texels: alpha of X8R8G8B8
    static constexpr uint32_t kMaxDirectLevels = 16;
    DirectLevel directLevels_[kMaxDirectLevels] = {};
};

[[gnu::always_inline]] inline Rgba8 Sampler::DirectLevelSample(uint32_t level, float u, float v, bool linear) const {
    using namespace sampling;
    const DirectLevel &l = directLevels_[level];
    const float x = u * l.width, y = v * l.height;
    if (!linear) return DirectTexel(l, DirectIndex(FloorToInt(x), l.widthMask, wrapU_), DirectIndex(FloorToInt(y), l.heightMask, wrapV_));
    const float xs = x - 0.5f, ys = y - 0.5f;
    const int32_t x0 = FloorToInt(xs), y0 = FloorToInt(ys);
    const uint32_t ax = DirectIndex(x0, l.widthMask, wrapU_), bx = DirectIndex(x0 + 1, l.widthMask, wrapU_);
    const uint32_t ay = DirectIndex(y0, l.heightMask, wrapV_), by = DirectIndex(y0 + 1, l.heightMask, wrapV_);
    const uint8_t *rowA = l.bits + static_cast<size_t>(ay) * l.pitch, *rowB = l.bits + static_cast<size_t>(by) * l.pitch;
    uint32_t t[4];
    std::memcpy(&t[0], rowA + size_t{ax} * 4u, 4);
    std::memcpy(&t[1], rowA + size_t{bx} * 4u, 4);
    std::memcpy(&t[2], rowB + size_t{ax} * 4u, 4);
    std::memcpy(&t[3], rowB + size_t{bx} * 4u, 4);
    return UnpackColor(sampling::BilinearPacked(t[0] | opaque_, t[1] | opaque_, t[2] | opaque_, t[3] | opaque_,
                                                Fraction256(xs, x0), Fraction256(ys, y0)));
}

template <int N>
[[gnu::always_inline]] inline void Sampler::DirectTaps4(__m128 u, __m128 v, __m128 lambda, DirectTaps<N> &taps,
                                                        int32_t i) const {
    using namespace sampling;
    const __m128i base = _mm_set1_epi32(static_cast<int32_t>(baseLevel_));
    // Magnified lanes read the first level with the magnification filter, the others
    // the minification filter; with a point mip filter they read the nearest level,
    // without one the first level too.
    const __m128i magnified = _mm_castps_si128(_mm_cmple_ps(lambda, _mm_setzero_ps()));
    __m128i level = base;
    if (mipFilter_ == D3DTEXF_POINT) {
        const __m128i nearest = FloorToInt4(_mm_add_ps(lambda, _mm_set1_ps(0.5f)));
        level = Select4(magnified, Clamp4(nearest, base, _mm_set1_epi32(static_cast<int32_t>(levelCount_ - 1))), base);
    }
    const __m128i linearMag = _mm_set1_epi32(IsLinear(magFilter_) ? -1 : 0);
    const __m128i linearMin = _mm_set1_epi32(IsLinear(minFilter_) ? -1 : 0);
    const __m128i linear = Select4(magnified, linearMin, linearMag);
    _mm_store_si128(reinterpret_cast<__m128i *>(taps.level + i), level);
    _mm_store_si128(reinterpret_cast<__m128i *>(taps.linear + i), linear);
    const int32_t *lv = taps.level + i;
    const DirectLevel &l0 = directLevels_[lv[0]], &l1 = directLevels_[lv[1]], &l2 = directLevels_[lv[2]],
                      &l3 = directLevels_[lv[3]];
    const __m128 width = _mm_setr_ps(l0.width, l1.width, l2.width, l3.width);
    const __m128 height = _mm_setr_ps(l0.height, l1.height, l2.height, l3.height);
    const __m128i widthMask = _mm_setr_epi32(static_cast<int32_t>(l0.widthMask), static_cast<int32_t>(l1.widthMask),
                                             static_cast<int32_t>(l2.widthMask), static_cast<int32_t>(l3.widthMask));
    const __m128i heightMask = _mm_setr_epi32(static_cast<int32_t>(l0.heightMask), static_cast<int32_t>(l1.heightMask),
                                              static_cast<int32_t>(l2.heightMask), static_cast<int32_t>(l3.heightMask));
    // Filtered lanes start half a texel back; x - 0 is x itself, so point lanes keep
    // the point rule's floor(u * width).
    const __m128 half = _mm_and_ps(_mm_castsi128_ps(linear), _mm_set1_ps(0.5f));
    const __m128 xs = _mm_sub_ps(_mm_mul_ps(u, width), half), ys = _mm_sub_ps(_mm_mul_ps(v, height), half);
    const __m128i x0 = FloorToInt4(xs), y0 = FloorToInt4(ys);
    const __m128i one = _mm_set1_epi32(1), zero = _mm_setzero_si128();
    const __m128i x1 = _mm_add_epi32(x0, one), y1 = _mm_add_epi32(y0, one);
    auto address = [&](__m128i c, __m128i mask, bool wrap) {
        return wrap ? _mm_and_si128(c, mask) : Clamp4(c, zero, mask);
    };
    _mm_store_si128(reinterpret_cast<__m128i *>(taps.ax + i), address(x0, widthMask, wrapU_));
    _mm_store_si128(reinterpret_cast<__m128i *>(taps.bx + i), address(x1, widthMask, wrapU_));
    _mm_store_si128(reinterpret_cast<__m128i *>(taps.ay + i), address(y0, heightMask, wrapV_));
    _mm_store_si128(reinterpret_cast<__m128i *>(taps.by + i), address(y1, heightMask, wrapV_));
    _mm_store_si128(reinterpret_cast<__m128i *>(taps.fx + i), Fraction256x4(xs, x0));
    _mm_store_si128(reinterpret_cast<__m128i *>(taps.fy + i), Fraction256x4(ys, y0));
}

template <int N>
[[gnu::always_inline]] inline uint32_t Sampler::DirectTapSample(const DirectTaps<N> &taps, int32_t i) const {
    const DirectLevel &l = directLevels_[taps.level[i]];
    const uint8_t *rowA = l.bits + static_cast<size_t>(static_cast<uint32_t>(taps.ay[i])) * l.pitch;
    const size_t ax = static_cast<uint32_t>(taps.ax[i]) * size_t{4};
    uint32_t t[4];
    std::memcpy(&t[0], rowA + ax, 4);
    if (!taps.linear[i]) return t[0] | opaque_;
    const uint8_t *rowB = l.bits + static_cast<size_t>(static_cast<uint32_t>(taps.by[i])) * l.pitch;
    const size_t bx = static_cast<uint32_t>(taps.bx[i]) * size_t{4};
    std::memcpy(&t[1], rowA + bx, 4);
    std::memcpy(&t[2], rowB + ax, 4);
    std::memcpy(&t[3], rowB + bx, 4);
    return sampling::BilinearPacked(t[0] | opaque_, t[1] | opaque_, t[2] | opaque_, t[3] | opaque_,
                                    static_cast<uint32_t>(taps.fx[i]), static_cast<uint32_t>(taps.fy[i]));
}

inline Rgba8 Sampler::SampleDirect(const TexCoords &tc) const { return DirectSample(tc.c[0], tc.c[1], DirectLambda(tc)); }

[[gnu::always_inline]] inline Rgba8 Sampler::DirectSample(float u, float v, float lambda) const {
    using namespace sampling;
    if (lambda <= 0.0f || mipFilter_ == D3DTEXF_NONE) {
        return DirectLevelSample(baseLevel_, u, v, IsLinear(lambda <= 0.0f ? magFilter_ : minFilter_));
    }
    const int32_t last = static_cast<int32_t>(levelCount_ - 1), base = static_cast<int32_t>(baseLevel_);
    const bool linear = IsLinear(minFilter_);
    if (mipFilter_ == D3DTEXF_POINT) {
        const int32_t level = std::clamp(FloorToInt(lambda + 0.5f), base, last);
        return DirectLevelSample(static_cast<uint32_t>(level), u, v, linear);
    }
    const int32_t whole = FloorToInt(lambda);
    const uint32_t f = Fraction256(lambda, whole);
    const int32_t a = std::clamp(whole, base, last), b = std::clamp(whole + 1, base, last);
    const Rgba8 ca = DirectLevelSample(static_cast<uint32_t>(a), u, v, linear);
    if (f == 0 || a == b) return ca;
    return Between(ca, DirectLevelSample(static_cast<uint32_t>(b), u, v, linear), f);
}

}  // namespace swr
