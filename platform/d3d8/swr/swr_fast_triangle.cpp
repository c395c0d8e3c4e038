// The span routines, one instantiation per combination of perspective, texturing and
// fog; the rest of the state (depth and stencil, alpha test, blending, write mask) goes
// through the pipeline's own inline units, whose branches settle per draw.
#include "swr_fast_triangle.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include <emmintrin.h>

namespace swr {
namespace {

std::atomic<bool> gFastPaths{true};

enum class FogKind { None, Vertex, Table };

bool SourceOf(DWORD arg, FastTriangle::Source &out) {
    switch (arg) {  // modifiers make the whole value differ, and so fall to the default
        case D3DTA_TEXTURE: out = FastTriangle::kTexture; return true;
        case D3DTA_DIFFUSE:
        case D3DTA_CURRENT: out = FastTriangle::kDiffuse; return true;  // current is diffuse at stage 0
        case D3DTA_TFACTOR: out = FastTriangle::kFactor; return true;
        default: return false;
    }
}

bool SimpleOp(DWORD op) { return op == D3DTOP_SELECTARG1 || op == D3DTOP_SELECTARG2 || op == D3DTOP_MODULATE; }

// The arguments an operation reads must all come from simple sources.
bool SourcesOf(DWORD op, const DWORD args[3], FastTriangle::Source &a1, FastTriangle::Source &a2) {
    if (op != D3DTOP_SELECTARG2 && !SourceOf(args[1], a1)) return false;
    if (op != D3DTOP_SELECTARG1 && !SourceOf(args[2], a2)) return false;
    return true;
}

// Colour arithmetic on the four channels of a packed colour at once, in 16-bit lanes
// (blue, green, red, alpha as the word holds them). Every product of two bytes fits a
// lane, and for such x, (x + 127) / 255 = (t + (t >> 8)) >> 8 with t = x + 128 (checked
// over the whole range), so these give Mul8 and ApplyFog exactly.
inline __m128i Widen(uint32_t c) {
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int32_t>(c)), _mm_setzero_si128());
}
inline __m128i Div255Round16(__m128i x) {
    const __m128i t = _mm_add_epi16(x, _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

// Pixels are worked on in runs of kRun: first every pixel's interpolation, depth and
// level of detail, then sampling, combining and writing. Each pixel's arithmetic is
// that of the reference path; splitting the work lets the interpolation go four pixels
// at a time in vector registers and the processor overlap neighbouring pixels instead
// of waiting on one pixel's long chain of dependent steps. Depth before shading
// is safe to batch: a triangle touches each pixel once, so the tests of a run never see
// one another's writes.
constexpr int32_t kRun = 16;

// The per-pixel values of a run. Loops go four pixels at a time over whole groups of
// four, so lanes past the span's end compute values nobody reads; the arrays start
// zeroed (once per thread) so those lanes never read indeterminate memory.
struct alignas(16) RunValues {
    float ox[kRun], z[kRun], w[kRun];
    float u[kRun], v[kRun], lambda[kRun];
    uint8_t diffuse[4][kRun];
    uint8_t fog[kRun];
    bool pass[kRun];
    uint32_t color[kRun];  // texels, then the shaded colours
    DirectTaps<kRun> taps;
    TexCoords tc[kRun];  // for coordinates the vector loops do not handle
};

inline int32_t Groups(int32_t n) { return (n + 3) & ~3; }

inline uint32_t LoadWord(const void *p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// row + dx * ox, times w under perspective: the plane evaluation of the reference path.
template <bool kPerspective>
inline __m128 Varying4(float row, float dx, const RunValues &r, int32_t i) {
    const __m128 v = _mm_add_ps(_mm_set1_ps(row), _mm_mul_ps(_mm_set1_ps(dx), _mm_load_ps(r.ox + i)));
    return kPerspective ? _mm_mul_ps(v, _mm_load_ps(r.w + i)) : v;
}

// VaryingToByte for four values, stored as four bytes.
inline void StoreBytes4(__m128 v, uint8_t *out) {
    const __m128 c = _mm_min_ps(_mm_max_ps(v, _mm_setzero_ps()), _mm_set1_ps(255.0f));
    const __m128i i = _mm_cvttps_epi32(_mm_add_ps(c, _mm_set1_ps(0.5f)));
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(i, i), _mm_setzero_si128());
    const int32_t word = _mm_cvtsi128_si32(bytes);
    std::memcpy(out, &word, 4);
}

template <bool kPerspective>
void VaryingBytes(float row, float dx, int32_t n, RunValues &r, uint8_t *out) {
    for (int32_t i = 0; i < Groups(n); i += 4) StoreBytes4(Varying4<kPerspective>(row, dx, r, i), out + i);
}

// A stage's 2D coordinates without projection, as TriangleCoords works them out, and
// their level of detail on the sampler's inline route.
template <bool kPerspective>
void DirectCoords(const TriangleSetup &s, uint32_t slot, const float *rows, const Sampler &sampler, int32_t n,
                  RunValues &r) {
    const Plane &pu = s.var[slot], &pv = s.var[slot + 1];
    const __m128 ddxD = _mm_set1_ps(kPerspective ? s.rhw.dx : 0.0f), ddyD = _mm_set1_ps(kPerspective ? s.rhw.dy : 0.0f);
    const __m128 pudx = _mm_set1_ps(pu.dx), pudy = _mm_set1_ps(pu.dy), pvdx = _mm_set1_ps(pv.dx), pvdy = _mm_set1_ps(pv.dy);
    for (int32_t i = 0; i < Groups(n); i += 4) {
        const __m128 inv = kPerspective ? _mm_load_ps(r.w + i) : _mm_set1_ps(1.0f);
        const __m128 ox = _mm_load_ps(r.ox + i);
        const __m128 u = _mm_mul_ps(_mm_add_ps(_mm_set1_ps(rows[slot]), _mm_mul_ps(pudx, ox)), inv);
        const __m128 v = _mm_mul_ps(_mm_add_ps(_mm_set1_ps(rows[slot + 1]), _mm_mul_ps(pvdx, ox)), inv);
        _mm_store_ps(r.u + i, u);
        _mm_store_ps(r.v + i, v);
        const __m128 dudx = _mm_mul_ps(_mm_sub_ps(pudx, _mm_mul_ps(u, ddxD)), inv);
        const __m128 dvdx = _mm_mul_ps(_mm_sub_ps(pvdx, _mm_mul_ps(v, ddxD)), inv);
        const __m128 dudy = _mm_mul_ps(_mm_sub_ps(pudy, _mm_mul_ps(u, ddyD)), inv);
        const __m128 dvdy = _mm_mul_ps(_mm_sub_ps(pvdy, _mm_mul_ps(v, ddyD)), inv);
        _mm_store_ps(r.lambda + i, sampler.DirectLambda4(dudx, dvdx, dudy, dvdy));
    }
}

// The interpolated diffuse colours of pixels i..i+3 as packed words.
inline __m128i DiffuseWords(const RunValues &r, int32_t i) {
    auto bytes = [&](int k) { return _mm_cvtsi32_si128(static_cast<int32_t>(LoadWord(r.diffuse[k] + i))); };
    const __m128i bg = _mm_unpacklo_epi8(bytes(2), bytes(1)), ra = _mm_unpacklo_epi8(bytes(0), bytes(3));
    return _mm_unpacklo_epi16(bg, ra);
}

// Fog of four packed colours by the factors of pixels i..i+3, in lanes of (f, f, f, 255)
// and (255 - f, .., 0): alpha keeps its value through fog.
inline __m128i Fog4x4(__m128i c, const uint8_t *factors, __m128i fogColor2) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i f16 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int32_t>(LoadWord(factors))), zero);
    const __m128i pairs = _mm_unpacklo_epi16(f16, f16);
    const __m128i colourLanes = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
    const __m128i alphaFull = _mm_set_epi16(255, 0, 0, 0, 255, 0, 0, 0);
    auto mix = [&](__m128i colour, __m128i f) {
        const __m128i keep = _mm_or_si128(_mm_and_si128(f, colourLanes), alphaFull);
        const __m128i towards = _mm_and_si128(_mm_sub_epi16(_mm_set1_epi16(255), f), colourLanes);
        return Div255Round16(_mm_add_epi16(_mm_mullo_epi16(colour, keep), _mm_mullo_epi16(fogColor2, towards)));
    };
    const __m128i lo = mix(_mm_unpacklo_epi8(c, zero), _mm_unpacklo_epi32(pairs, pairs));
    const __m128i hi = mix(_mm_unpackhi_epi8(c, zero), _mm_unpackhi_epi32(pairs, pairs));
    return _mm_packus_epi16(lo, hi);
}

template <bool kPerspective, bool kTextured, FogKind kFog>
void Span(const FastTriangle::Choices &f, const TriangleSetup &s, const RasterContext &ctx, const PixelRect &region) {
    const PixelPipeline &px = *f.pixels;
    const DepthStencilUnit &depth = px.DepthStencil();
    const bool depthFirst = !px.AlphaTest();
    const FogSetup &fog = px.Fog();
    const StageCoordLayout &layout = ctx.coords[0];
    const uint32_t slot = TexCoordSlot(0);
    const bool direct = kTextured && f.sampler->DirectRoute() && layout.dims == 2 && layout.divisor < 0;
    const float invRhw0 = 1.0f / s.rhw.at0;
    const bool flat = ctx.flat;
    const bool fourRoute = direct && f.sampler->DirectFourRoute();
    // The pick masks and fog colour for two pixels per register.
    const __m128i pickFirst = _mm_unpacklo_epi64(f.pickFirst, f.pickFirst);
    const __m128i pickSecond = _mm_unpacklo_epi64(f.pickSecond, f.pickSecond);
    const __m128i pickProduct = _mm_unpacklo_epi64(f.pickProduct, f.pickProduct);
    const __m128i fogColor2 = _mm_unpacklo_epi64(f.fogColor, f.fogColor);
    const __m128i allOnes = _mm_set1_epi32(-1), colourBits = _mm_set1_epi32(0x00FFFFFF);
    const __m128i factor = _mm_set1_epi32(static_cast<int32_t>(f.factorWord));
    const __m128i flatWord = _mm_set1_epi32(static_cast<int32_t>(PackColor(ctx.flatDiffuse)));
    const int32_t y0 = std::max(s.minY, region.y0), y1 = std::min(s.maxY + 1, region.y1);
    float rows[kMaxVaryings];
    thread_local RunValues r{};
    for (int32_t y = y0; y < y1; ++y) {
        int32_t x0, x1;
        TriangleRowSpan(s, y, x0, x1);
        x0 = std::max(x0, region.x0);
        x1 = std::min(x1, region.x1);
        if (x0 >= x1) continue;
        const float oy = static_cast<float>(y) - s.originY;
        const float zRow = s.z.Row(oy), rhwRow = s.rhw.Row(oy);
        for (uint32_t k = kVaryDiffuse; k < kVaryDiffuse + 4; ++k) rows[k] = s.var[k].Row(oy);
        if constexpr (kFog == FogKind::Vertex) rows[kVaryFog] = s.var[kVaryFog].Row(oy);
        if constexpr (kTextured) {
            for (uint32_t i = 0; i < layout.dims; ++i) rows[slot + i] = s.var[slot + i].Row(oy);
            if (layout.divisor >= 0) rows[slot + layout.divisor] = s.var[slot + layout.divisor].Row(oy);
        }
        for (int32_t xs = x0; xs < x1; xs += kRun) {
            const int32_t n = std::min(kRun, x1 - xs);
            const __m128 origin = _mm_set1_ps(s.originX);
            for (int32_t i = 0; i < Groups(n); i += 4) {
                // float(xs + i + k) - originX, as the reference converts each pixel's x.
                const __m128 x = _mm_cvtepi32_ps(_mm_add_epi32(_mm_set1_epi32(xs + i), _mm_set_epi32(3, 2, 1, 0)));
                const __m128 ox = _mm_sub_ps(x, origin);
                _mm_store_ps(r.ox + i, ox);
                _mm_store_ps(r.z + i, _mm_add_ps(_mm_set1_ps(zRow), _mm_mul_ps(_mm_set1_ps(s.z.dx), ox)));
            }
            if (depthFirst) {
                if (!depth.TestRow(xs, y, r.z, n, region.x1 - xs, r.pass)) continue;
            } else {
                std::memset(r.pass, 1, sizeof(r.pass));
            }
            if constexpr (kPerspective) {
                for (int32_t i = 0; i < Groups(n); i += 4) {
                    const __m128 rhw = _mm_add_ps(_mm_set1_ps(rhwRow), _mm_mul_ps(_mm_set1_ps(s.rhw.dx), _mm_load_ps(r.ox + i)));
                    _mm_store_ps(r.w + i, _mm_div_ps(_mm_set1_ps(1.0f), rhw));
                }
            } else {
                for (int32_t i = 0; i < n; ++i) r.w[i] = invRhw0;
            }
            if (!flat) {
                for (uint32_t k = 0; k < 4; ++k) {
                    VaryingBytes<kPerspective>(rows[kVaryDiffuse + k], s.var[kVaryDiffuse + k].dx, n, r, r.diffuse[k]);
                }
            }
            if constexpr (kFog == FogKind::Vertex) VaryingBytes<kPerspective>(rows[kVaryFog], s.var[kVaryFog].dx, n, r, r.fog);
            if constexpr (kTextured) {
                if (direct) {
                    DirectCoords<kPerspective>(s, slot, rows, *f.sampler, n, r);
                } else {
                    for (int32_t i = 0; i < n; ++i) TriangleCoords(s, layout, slot, rows, r.ox[i], r.w[i], r.tc[i]);
                }
                const Sampler &sampler = *f.sampler;
                if (fourRoute) {
                    for (int32_t i = 0; i < Groups(n); i += 4) {
                        sampler.DirectTaps4(_mm_load_ps(r.u + i), _mm_load_ps(r.v + i), _mm_load_ps(r.lambda + i), r.taps, i);
                    }
                    for (int32_t i = 0; i < n; ++i) {
                        if (r.pass[i]) r.color[i] = sampler.DirectTapSample(r.taps, i);
                    }
                } else {
                    for (int32_t i = 0; i < n; ++i) {
                        if (!r.pass[i]) continue;
                        r.color[i] = PackColor(direct ? sampler.DirectSample(r.u[i], r.v[i], r.lambda[i])
                                                      : sampler.Sample(r.tc[i]));
                    }
                }
            }
            if constexpr (kFog == FogKind::Table) {
                for (int32_t i = 0; i < n; ++i) {
                    if (r.pass[i]) r.fog[i] = FogFactor(fog, ctx.tableFogUsesW ? r.w[i] : r.z[i]);
                }
            }
            // Colour channels from the colour arguments, alpha from the alpha ones; then
            // per lane the operation's pick: one argument, the other, or both multiplied.
            for (int32_t i = 0; i < Groups(n); i += 4) {
                __m128i src[3];
                src[FastTriangle::kTexture] = kTextured ? _mm_load_si128(reinterpret_cast<const __m128i *>(r.color + i)) : allOnes;
                src[FastTriangle::kDiffuse] = flat ? flatWord : DiffuseWords(r, i);
                src[FastTriangle::kFactor] = factor;
                const __m128i a = _mm_or_si128(_mm_and_si128(src[f.colorArg1], colourBits),
                                               _mm_andnot_si128(colourBits, src[f.alphaArg1]));
                const __m128i b = _mm_or_si128(_mm_and_si128(src[f.colorArg2], colourBits),
                                               _mm_andnot_si128(colourBits, src[f.alphaArg2]));
                auto pick = [&](__m128i a16, __m128i b16) {
                    const __m128i product = Div255Round16(_mm_mullo_epi16(a16, b16));
                    return _mm_or_si128(_mm_or_si128(_mm_and_si128(a16, pickFirst), _mm_and_si128(b16, pickSecond)),
                                        _mm_and_si128(product, pickProduct));
                };
                const __m128i zero = _mm_setzero_si128();
                __m128i words = _mm_packus_epi16(pick(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero)),
                                                 pick(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero)));
                if constexpr (kFog != FogKind::None) words = Fog4x4(words, r.fog + i, fogColor2);
                _mm_store_si128(reinterpret_cast<__m128i *>(r.color + i), words);
            }
            for (int32_t i = 0; i < n; ++i) {
                if (!r.pass[i]) continue;
                const int32_t x = xs + i;
                const Rgba8 c = UnpackColor(r.color[i]);
                if (!depthFirst) {
                    if (!ComparePasses(px.AlphaFunc(), c.a, px.AlphaRef())) continue;
                    if (!depth.Test(x, y, r.z[i])) continue;
                }
                px.WriteColor(x, y, c);
            }
        }
    }
}

template <bool kPerspective, bool kTextured>
FastTriangle::Routine Pick(FogKind fog) {
    switch (fog) {
        case FogKind::Vertex: return Span<kPerspective, kTextured, FogKind::Vertex>;
        case FogKind::Table: return Span<kPerspective, kTextured, FogKind::Table>;
        default: return Span<kPerspective, kTextured, FogKind::None>;
    }
}

}  // namespace

void SetFastPathsEnabled(bool enabled) { gFastPaths.store(enabled); }
bool FastPathsEnabled() { return gFastPaths.load(); }

bool FastTriangle::Prepare(const PixelPipeline &px, const RasterContext &ctx) {
    Choices &c = choices_;
    c = Choices{};
    if (!FastPathsEnabled() || px.RunsPixelShader()) return false;
    const Combiner &combiner = px.StageCombiner();
    if (combiner.StageCount() > 1 || combiner.AddsSpecular() || ctx.coordStages > 1) return false;
    c.pixels = &px;
    c.factorWord = PackColor(combiner.Factor());
    c.fogColor = Widen(PackColor(px.Fog().color));
    c.sampler = (px.SampledStages() & 1u) ? &px.StageSampler(0) : nullptr;
    if (combiner.StageCount() == 0) {
        c.colorOp = D3DTOP_SELECTARG1;
        c.colorArg1 = c.colorArg2 = c.alphaArg1 = c.alphaArg2 = kDiffuse;
        c.alphaOp = D3DTOP_DISABLE;
    } else {
        const CombinerStage &st = combiner.Stage(0);
        if (st.toTemp || !SimpleOp(st.colorOp)) return false;
        if (st.alphaOp != D3DTOP_DISABLE && !SimpleOp(st.alphaOp)) return false;
        c.colorOp = st.colorOp;
        c.alphaOp = st.alphaOp;
        if (!SourcesOf(c.colorOp, st.colorArg, c.colorArg1, c.colorArg2)) return false;
        if (c.alphaOp != D3DTOP_DISABLE && !SourcesOf(c.alphaOp, st.alphaArg, c.alphaArg1, c.alphaArg2)) return false;
    }
    // Alpha of a disabled alpha operation stays the incoming (diffuse) alpha.
    if (c.alphaOp == D3DTOP_DISABLE) {
        c.alphaOp = D3DTOP_SELECTARG2;
        c.alphaArg2 = kDiffuse;
    }
    auto lanes = [&](DWORD want) {
        const uint64_t color = c.colorOp == want ? 0x0000FFFFFFFFFFFFull : 0;
        const uint64_t alpha = c.alphaOp == want ? 0xFFFF000000000000ull : 0;
        return _mm_cvtsi64_si128(static_cast<int64_t>(color | alpha));
    };
    c.pickFirst = lanes(D3DTOP_SELECTARG1);
    c.pickSecond = lanes(D3DTOP_SELECTARG2);
    c.pickProduct = lanes(D3DTOP_MODULATE);
    const FogSetup &fog = px.Fog();
    const FogKind fogKind = fog.where == FogSetup::Where::Vertex  ? FogKind::Vertex
                            : fog.where == FogSetup::Where::Table ? FogKind::Table
                                                                  : FogKind::None;
    perspective_ = c.sampler ? Pick<true, true>(fogKind) : Pick<true, false>(fogKind);
    affine_ = c.sampler ? Pick<false, true>(fogKind) : Pick<false, false>(fogKind);
    return true;
}

}  // namespace swr
