// The span routines four pixels at a time on the baseline instruction set (SSE2): the
// vector operations swr_span_kernel.h is written in, then the kernel itself.
#include <emmintrin.h>

#include <cstdint>
#include <cstring>
#include <utility>

#include "swr_span_plan.h"
#include "swr_triangle_raster.h"

namespace swr {
namespace {

using VF = __m128;
using VI = __m128i;
constexpr int kLanes = 4;
constexpr int kHalf = 2;

#define SWR_OP [[gnu::always_inline]] inline
SWR_OP VF FSet1(float v) { return _mm_set1_ps(v); }
SWR_OP VF FAdd(VF a, VF b) { return _mm_add_ps(a, b); }
SWR_OP VF FSub(VF a, VF b) { return _mm_sub_ps(a, b); }
SWR_OP VF FMul(VF a, VF b) { return _mm_mul_ps(a, b); }
SWR_OP VF FDiv(VF a, VF b) { return _mm_div_ps(a, b); }
SWR_OP VF FMin(VF a, VF b) { return _mm_min_ps(a, b); }
SWR_OP VF FMax(VF a, VF b) { return _mm_max_ps(a, b); }
SWR_OP VF FAnd(VF a, VF b) { return _mm_and_ps(a, b); }
SWR_OP VF FOr(VF a, VF b) { return _mm_or_ps(a, b); }
SWR_OP VF FAndNot(VF mask, VF b) { return _mm_andnot_ps(mask, b); }
SWR_OP VF FCmpOrd(VF a, VF b) { return _mm_cmpord_ps(a, b); }
SWR_OP VF FCmpGt(VF a, VF b) { return _mm_cmpgt_ps(a, b); }
SWR_OP VF FCmpGE(VF a, VF b) { return _mm_cmpge_ps(a, b); }
SWR_OP VF FCmpLE(VF a, VF b) { return _mm_cmple_ps(a, b); }
SWR_OP VF IToF(VI a) { return _mm_cvtepi32_ps(a); }
SWR_OP VI FToITrunc(VF a) { return _mm_cvttps_epi32(a); }
// floor(a) as integers for |a| <= 2^30 (not NaN): truncated, then one less where that
// went up (the truncated value is exact in a float there).
SWR_OP VI FloorToIntPinned(VF a) {
    const VI i = _mm_cvttps_epi32(a);
    return _mm_add_epi32(i, _mm_castps_si128(_mm_cmpgt_ps(_mm_cvtepi32_ps(i), a)));
}
SWR_OP VI AsI(VF a) { return _mm_castps_si128(a); }
SWR_OP VF AsF(VI a) { return _mm_castsi128_ps(a); }
SWR_OP void FStore(float *p, VF a) { _mm_store_ps(p, a); }
SWR_OP VF FLoad(const float *p) { return _mm_load_ps(p); }

SWR_OP VI ISet1(int32_t v) { return _mm_set1_epi32(v); }
// a in the first half's lanes, b in the second's.
SWR_OP VI ISet2(int32_t a, int32_t b) { return _mm_setr_epi32(a, a, b, b); }
SWR_OP VF FSet2(float a, float b) { return _mm_setr_ps(a, a, b, b); }
SWR_OP VI IIotaHalf() { return _mm_setr_epi32(0, 1, 0, 1); }
SWR_OP VI IIota() { return _mm_setr_epi32(0, 1, 2, 3); }
SWR_OP VI IAdd(VI a, VI b) { return _mm_add_epi32(a, b); }
SWR_OP VI ISub(VI a, VI b) { return _mm_sub_epi32(a, b); }
SWR_OP VI IAnd(VI a, VI b) { return _mm_and_si128(a, b); }
SWR_OP VI IOr(VI a, VI b) { return _mm_or_si128(a, b); }
SWR_OP VI IAndNot(VI mask, VI b) { return _mm_andnot_si128(mask, b); }
SWR_OP VI IXor(VI a, VI b) { return _mm_xor_si128(a, b); }
template <int N>
SWR_OP VI ISrl(VI a) { return _mm_srli_epi32(a, N); }
template <int N>
SWR_OP VI ISll(VI a) { return _mm_slli_epi32(a, N); }
SWR_OP VI ISrlV(VI a, uint32_t n) { return _mm_srl_epi32(a, _mm_cvtsi32_si128(static_cast<int32_t>(n))); }
SWR_OP VI ISllV(VI a, uint32_t n) { return _mm_sll_epi32(a, _mm_cvtsi32_si128(static_cast<int32_t>(n))); }
SWR_OP VI ICmpEq(VI a, VI b) { return _mm_cmpeq_epi32(a, b); }
SWR_OP VI ICmpGt(VI a, VI b) { return _mm_cmpgt_epi32(a, b); }
SWR_OP int32_t ILane0(VI a) { return _mm_cvtsi128_si32(a); }
SWR_OP int IMoveMask(VI a) { return _mm_movemask_ps(_mm_castsi128_ps(a)); }
SWR_OP void IStore(int32_t *p, VI a) { _mm_store_si128(reinterpret_cast<__m128i *>(p), a); }
SWR_OP VI ILoad(const int32_t *p) { return _mm_load_si128(reinterpret_cast<const __m128i *>(p)); }
// Signed minimum and maximum (SSE2 has them for 16-bit lanes only).
SWR_OP VI IMin32(VI a, VI b) {
    const VI aGreater = _mm_cmpgt_epi32(a, b);
    return _mm_or_si128(_mm_and_si128(aGreater, b), _mm_andnot_si128(aGreater, a));
}
SWR_OP VI IMax32(VI a, VI b) {
    const VI aGreater = _mm_cmpgt_epi32(a, b);
    return _mm_or_si128(_mm_and_si128(aGreater, a), _mm_andnot_si128(aGreater, b));
}
SWR_OP VI IMullo32(VI a, VI b) {
    const VI even = _mm_mul_epu32(a, b);
    const VI odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32));
    return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                              _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
}
SWR_OP VI IMadd16(VI a, VI b) { return _mm_madd_epi16(a, b); }

SWR_OP VI I64Set1(uint64_t v) { return _mm_set1_epi64x(static_cast<long long>(v)); }
SWR_OP VI I16Set1(int16_t v) { return _mm_set1_epi16(v); }
SWR_OP VI I16Add(VI a, VI b) { return _mm_add_epi16(a, b); }
SWR_OP VI I16Sub(VI a, VI b) { return _mm_sub_epi16(a, b); }
SWR_OP VI I16Mullo(VI a, VI b) { return _mm_mullo_epi16(a, b); }
template <int N>
SWR_OP VI I16Srl(VI a) { return _mm_srli_epi16(a, N); }
SWR_OP VI I16AddsU(VI a, VI b) { return _mm_adds_epu16(a, b); }
SWR_OP VI I8AddsU(VI a, VI b) { return _mm_adds_epu8(a, b); }
SWR_OP VI I16SubsU(VI a, VI b) { return _mm_subs_epu16(a, b); }
SWR_OP VI I16Min(VI a, VI b) { return _mm_min_epi16(a, b); }
SWR_OP VI I16Max(VI a, VI b) { return _mm_max_epi16(a, b); }
SWR_OP VI I16CmpEq(VI a, VI b) { return _mm_cmpeq_epi16(a, b); }
SWR_OP VI UnpackLo8(VI a, VI b) { return _mm_unpacklo_epi8(a, b); }
SWR_OP VI UnpackHi8(VI a, VI b) { return _mm_unpackhi_epi8(a, b); }
SWR_OP VI UnpackLo32(VI a, VI b) { return _mm_unpacklo_epi32(a, b); }
SWR_OP VI UnpackHi32(VI a, VI b) { return _mm_unpackhi_epi32(a, b); }
SWR_OP VI PackUS16(VI a, VI b) { return _mm_packus_epi16(a, b); }
SWR_OP VI Shuffle16Alpha(VI a) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(a, 0xFF), 0xFF); }
SWR_OP VI I16SetAlphaLanes() { return _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0); }

// Words of the lanes set in `lanes` (all four when `wide`); the others read as zero.
SWR_OP VI LoadWords(const uint32_t *p, VI lanes, bool wide) {
    if (wide) return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
    alignas(16) int32_t in[4], out[4];
    IStore(in, lanes);
    for (int k = 0; k < 4; ++k) out[k] = in[k] ? static_cast<int32_t>(p[k]) : 0;
    return ILoad(out);
}
// Stores the lanes set in `mask`. When `wide` the other lanes get `old` back, which the
// caller read from there.
SWR_OP void StoreWords(uint32_t *p, VI mask, VI v, VI old, bool wide) {
    if (wide) {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p), _mm_or_si128(_mm_and_si128(mask, v), _mm_andnot_si128(mask, old)));
        return;
    }
    alignas(16) int32_t m[4], values[4];
    IStore(m, mask);
    IStore(values, v);
    for (int k = 0; k < 4; ++k) {
        if (m[k]) p[k] = static_cast<uint32_t>(values[k]);
    }
}
// Two words from a, two from b (halves of a group on two rows).
SWR_OP VI LoadWordHalves(const uint32_t *a, const uint32_t *b, VI lanes, bool wideA, bool wideB) {
    alignas(16) int32_t in[4], out[4];
    IStore(in, lanes);
    for (int k = 0; k < 2; ++k) {
        out[k] = (wideA || in[k]) ? static_cast<int32_t>(a[k]) : 0;
        out[k + 2] = (wideB || in[k + 2]) ? static_cast<int32_t>(b[k]) : 0;
    }
    return ILoad(out);
}
SWR_OP void StoreWordHalves(uint32_t *a, uint32_t *b, VI mask, VI v, VI, bool, bool) {
    alignas(16) int32_t m[4], values[4];
    IStore(m, mask);
    IStore(values, v);
    for (int k = 0; k < 2; ++k) {
        if (m[k]) a[k] = static_cast<uint32_t>(values[k]);
        if (m[k + 2]) b[k] = static_cast<uint32_t>(values[k + 2]);
    }
}
SWR_OP VI LoadHalvesHalves(const uint16_t *a, const uint16_t *b, VI lanes, bool wideA, bool wideB) {
    alignas(16) int32_t in[4], out[4];
    IStore(in, lanes);
    for (int k = 0; k < 2; ++k) {
        out[k] = (wideA || in[k]) ? a[k] : 0;
        out[k + 2] = (wideB || in[k + 2]) ? b[k] : 0;
    }
    return ILoad(out);
}
SWR_OP void StoreHalvesHalves(uint16_t *a, uint16_t *b, VI mask, VI v, VI, bool, bool) {
    alignas(16) int32_t m[4], values[4];
    IStore(m, mask);
    IStore(values, v);
    for (int k = 0; k < 2; ++k) {
        if (m[k]) a[k] = static_cast<uint16_t>(values[k]);
        if (m[k + 2]) b[k] = static_cast<uint16_t>(values[k + 2]);
    }
}
SWR_OP VI LoadHalves(const uint16_t *p, VI lanes, bool wide) {
    if (wide) return _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(p)), _mm_setzero_si128());
    alignas(16) int32_t in[4], out[4];
    IStore(in, lanes);
    for (int k = 0; k < 4; ++k) out[k] = in[k] ? p[k] : 0;
    return ILoad(out);
}
SWR_OP void StoreHalves(uint16_t *p, VI mask, VI v, VI old, bool wide) {
    alignas(16) int32_t m[4], values[4];
    IStore(m, mask);
    IStore(values, v);
    (void)old;
    (void)wide;
    for (int k = 0; k < 4; ++k) {
        if (m[k]) p[k] = static_cast<uint16_t>(values[k]);
    }
}
SWR_OP VI GatherWords(const uint32_t *base, VI offsets) {
    alignas(16) int32_t off[4];
    IStore(off, offsets);
    return _mm_setr_epi32(static_cast<int32_t>(base[off[0]]), static_cast<int32_t>(base[off[1]]),
                          static_cast<int32_t>(base[off[2]]), static_cast<int32_t>(base[off[3]]));
}
// Four lanes read texels word by word: no pairs to read (never called).
constexpr bool kPairFetch = false;
SWR_OP void GatherPairs(const uint32_t *, VI, VI, VI &, VI &) {}
// Four lanes weigh their taps one by one (the pair filter's operations are never called).
constexpr bool kPairFilter = false;
SWR_OP void GatherPairsInPixelOrder(const uint32_t *, VI, VI, VI &, VI &) {}
SWR_OP void FilterPairs(VI, VI, VI, VI, VI, VI, VI &, VI &) {}
// Four lanes gain nothing from reading texels as a window of a row: they are read one
// by one (the window operations are never called).
constexpr bool kWindowFetch = false;
struct Window {
    VI lo, hi;
};
SWR_OP Window LoadWindow(const uint32_t *, int32_t) { return Window{}; }
SWR_OP VI PickWindow(const Window &w, VI) { return w.lo; }
SWR_OP int32_t IReduceMin32(VI) { return 0; }
SWR_OP int32_t IReduceMax32(VI) { return 0; }
// QuantizeDepth for depths of at most 24 bits: clamped to [0, 1] (NaN to 0, as max
// returns its second operand then), scaled and rounded in double precision.
SWR_OP VI QuantizeDepthV(VF z, float depthMax) {
    const VF clamped = _mm_min_ps(_mm_max_ps(z, _mm_setzero_ps()), _mm_set1_ps(1.0f));
    const __m128d max = _mm_set1_pd(static_cast<double>(depthMax));
    const __m128d half = _mm_set1_pd(0.5);
    const __m128d lo = _mm_add_pd(_mm_mul_pd(_mm_cvtps_pd(clamped), max), half);
    const __m128d hi = _mm_add_pd(_mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(clamped, clamped)), max), half);
    return _mm_unpacklo_epi64(_mm_cvttpd_epi32(lo), _mm_cvttpd_epi32(hi));
}
// Groups are two half groups of one or two rows (kPackedGroups is the sixteen-lane
// routines' alone).
constexpr bool kPackedGroups = false;
SWR_OP VI ITakeLanes(VI a, uint32_t, VI) { return a; }
SWR_OP VI LoadWordsLanes(VI into, const uint32_t *, uint32_t) { return into; }
SWR_OP void StoreWordsLanes(uint32_t *, uint32_t, VI) {}
SWR_OP VI LoadHalvesLanes(VI into, const uint16_t *, uint32_t) { return into; }
SWR_OP void StoreHalvesLanes(uint16_t *, uint32_t, VI) {}
// The level of detail is always worked out (no LodSteps lookups).
constexpr bool kLodSteps = false;
SWR_OP VI Lookup32(const int32_t *, VI index) { return index; }
// Pixels' 16-bit channels kept in pixel order, one 64-bit word a pixel (four from p),
// as C16 keeps them: lo the first two pixels, hi the next two.
SWR_OP void LoadPixelPairs(const uint64_t *p, VI &lo, VI &hi) {
    lo = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
    hi = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 2));
}
SWR_OP void StorePixelPairs(uint64_t *p, VI lo, VI hi) {
    _mm_storeu_si128(reinterpret_cast<__m128i *>(p), lo);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(p + 2), hi);
}
#undef SWR_OP

}  // namespace
}  // namespace swr

#include "swr_span_kernel.h"

namespace swr {

void SpanRoutinesSse2(SpanRoutine &perspective, SpanRoutine &affine) { PickSpanRoutines(perspective, affine); }

}  // namespace swr
