// The span routines eight pixels at a time with AVX2 (this file alone is built for it;
// the device picks these routines only on a processor that has it): the vector
// operations swr_span_kernel.h is written in, then the kernel itself. Byte and 16-bit
// lane operations work within each 128-bit half, as the kernel expects.
#include <immintrin.h>

#include <cstdint>
#include <cstring>
#include <utility>

#include "swr_span_plan.h"
#include "swr_triangle_raster.h"

namespace swr {
namespace {

using VF = __m256;
using VI = __m256i;
constexpr int kLanes = 8;
constexpr int kHalf = 4;

#define SWR_OP [[gnu::always_inline]] inline
SWR_OP VF FSet1(float v) { return _mm256_set1_ps(v); }
SWR_OP VF FAdd(VF a, VF b) { return _mm256_add_ps(a, b); }
SWR_OP VF FSub(VF a, VF b) { return _mm256_sub_ps(a, b); }
SWR_OP VF FMul(VF a, VF b) { return _mm256_mul_ps(a, b); }
SWR_OP VF FDiv(VF a, VF b) { return _mm256_div_ps(a, b); }
SWR_OP VF FMin(VF a, VF b) { return _mm256_min_ps(a, b); }
SWR_OP VF FMax(VF a, VF b) { return _mm256_max_ps(a, b); }
SWR_OP VF FAnd(VF a, VF b) { return _mm256_and_ps(a, b); }
SWR_OP VF FOr(VF a, VF b) { return _mm256_or_ps(a, b); }
SWR_OP VF FAndNot(VF mask, VF b) { return _mm256_andnot_ps(mask, b); }
SWR_OP VF FCmpOrd(VF a, VF b) { return _mm256_cmp_ps(a, b, _CMP_ORD_Q); }
SWR_OP VF FCmpGt(VF a, VF b) { return _mm256_cmp_ps(a, b, _CMP_GT_OS); }
SWR_OP VF FCmpGE(VF a, VF b) { return _mm256_cmp_ps(a, b, _CMP_GE_OS); }
SWR_OP VF FCmpLE(VF a, VF b) { return _mm256_cmp_ps(a, b, _CMP_LE_OS); }
SWR_OP VF IToF(VI a) { return _mm256_cvtepi32_ps(a); }
SWR_OP VI FToITrunc(VF a) { return _mm256_cvttps_epi32(a); }
// floor(a) as integers for |a| <= 2^30 (not NaN).
SWR_OP VI FloorToIntPinned(VF a) { return _mm256_cvttps_epi32(_mm256_floor_ps(a)); }
SWR_OP VI AsI(VF a) { return _mm256_castps_si256(a); }
SWR_OP VF AsF(VI a) { return _mm256_castsi256_ps(a); }
SWR_OP void FStore(float *p, VF a) { _mm256_store_ps(p, a); }
SWR_OP VF FLoad(const float *p) { return _mm256_load_ps(p); }

SWR_OP VI ISet1(int32_t v) { return _mm256_set1_epi32(v); }
// a in the first half's lanes, b in the second's.
SWR_OP VI ISet2(int32_t a, int32_t b) { return _mm256_setr_m128i(_mm_set1_epi32(a), _mm_set1_epi32(b)); }
SWR_OP VF FSet2(float a, float b) { return _mm256_setr_m128(_mm_set1_ps(a), _mm_set1_ps(b)); }
SWR_OP VI IIotaHalf() { return _mm256_setr_epi32(0, 1, 2, 3, 0, 1, 2, 3); }
SWR_OP VI IIota() { return _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7); }
SWR_OP VI IAdd(VI a, VI b) { return _mm256_add_epi32(a, b); }
SWR_OP VI ISub(VI a, VI b) { return _mm256_sub_epi32(a, b); }
SWR_OP VI IAnd(VI a, VI b) { return _mm256_and_si256(a, b); }
SWR_OP VI IOr(VI a, VI b) { return _mm256_or_si256(a, b); }
SWR_OP VI IAndNot(VI mask, VI b) { return _mm256_andnot_si256(mask, b); }
SWR_OP VI IXor(VI a, VI b) { return _mm256_xor_si256(a, b); }
template <int N>
SWR_OP VI ISrl(VI a) { return _mm256_srli_epi32(a, N); }
template <int N>
SWR_OP VI ISll(VI a) { return _mm256_slli_epi32(a, N); }
SWR_OP VI ISrlV(VI a, uint32_t n) { return _mm256_srl_epi32(a, _mm_cvtsi32_si128(static_cast<int32_t>(n))); }
SWR_OP VI ISllV(VI a, uint32_t n) { return _mm256_sll_epi32(a, _mm_cvtsi32_si128(static_cast<int32_t>(n))); }
SWR_OP VI ICmpEq(VI a, VI b) { return _mm256_cmpeq_epi32(a, b); }
SWR_OP VI ICmpGt(VI a, VI b) { return _mm256_cmpgt_epi32(a, b); }
SWR_OP int32_t ILane0(VI a) { return _mm_cvtsi128_si32(_mm256_castsi256_si128(a)); }
SWR_OP int IMoveMask(VI a) { return _mm256_movemask_ps(_mm256_castsi256_ps(a)); }
SWR_OP void IStore(int32_t *p, VI a) { _mm256_store_si256(reinterpret_cast<__m256i *>(p), a); }
SWR_OP VI ILoad(const int32_t *p) { return _mm256_load_si256(reinterpret_cast<const __m256i *>(p)); }
SWR_OP VI IMin32(VI a, VI b) { return _mm256_min_epi32(a, b); }
SWR_OP VI IMax32(VI a, VI b) { return _mm256_max_epi32(a, b); }
SWR_OP VI IMullo32(VI a, VI b) { return _mm256_mullo_epi32(a, b); }
SWR_OP VI IMadd16(VI a, VI b) { return _mm256_madd_epi16(a, b); }

SWR_OP VI I64Set1(uint64_t v) { return _mm256_set1_epi64x(static_cast<long long>(v)); }
SWR_OP VI I16Set1(int16_t v) { return _mm256_set1_epi16(v); }
SWR_OP VI I16Add(VI a, VI b) { return _mm256_add_epi16(a, b); }
SWR_OP VI I16Sub(VI a, VI b) { return _mm256_sub_epi16(a, b); }
SWR_OP VI I16Mullo(VI a, VI b) { return _mm256_mullo_epi16(a, b); }
template <int N>
SWR_OP VI I16Srl(VI a) { return _mm256_srli_epi16(a, N); }
SWR_OP VI I16AddsU(VI a, VI b) { return _mm256_adds_epu16(a, b); }
SWR_OP VI I8AddsU(VI a, VI b) { return _mm256_adds_epu8(a, b); }
SWR_OP VI I16SubsU(VI a, VI b) { return _mm256_subs_epu16(a, b); }
SWR_OP VI I16Min(VI a, VI b) { return _mm256_min_epi16(a, b); }
SWR_OP VI I16Max(VI a, VI b) { return _mm256_max_epi16(a, b); }
SWR_OP VI I16CmpEq(VI a, VI b) { return _mm256_cmpeq_epi16(a, b); }
SWR_OP VI UnpackLo8(VI a, VI b) { return _mm256_unpacklo_epi8(a, b); }
SWR_OP VI UnpackHi8(VI a, VI b) { return _mm256_unpackhi_epi8(a, b); }
SWR_OP VI UnpackLo32(VI a, VI b) { return _mm256_unpacklo_epi32(a, b); }
SWR_OP VI UnpackHi32(VI a, VI b) { return _mm256_unpackhi_epi32(a, b); }
SWR_OP VI PackUS16(VI a, VI b) { return _mm256_packus_epi16(a, b); }
SWR_OP VI Shuffle16Alpha(VI a) { return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(a, 0xFF), 0xFF); }
SWR_OP VI I16SetAlphaLanes() {
    return _mm256_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0, -1, 0, 0, 0, -1, 0, 0, 0);
}

// Words of the lanes set in `lanes` (all eight when `wide`); the others read as zero
// and are never touched in memory.
SWR_OP VI LoadWords(const uint32_t *p, VI lanes, bool wide) {
    if (wide) return _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p));
    return _mm256_maskload_epi32(reinterpret_cast<const int *>(p), lanes);
}
// Masked stores are slow on some processors: where all eight words lie in the
// caller's region they are written whole, the unmasked lanes with `old` (read there).
SWR_OP void StoreWords(uint32_t *p, VI mask, VI v, VI old, bool wide) {
    if (wide) _mm256_storeu_si256(reinterpret_cast<__m256i *>(p), _mm256_blendv_epi8(old, v, mask));
    else _mm256_maskstore_epi32(reinterpret_cast<int *>(p), mask, v);
}
// Four words from a, four from b (halves of a group on two rows).
SWR_OP __m128i LoadFour(const uint32_t *p, __m128i lanes, bool wide) {
    if (wide) return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
    return _mm_maskload_epi32(reinterpret_cast<const int *>(p), lanes);
}
SWR_OP void StoreFour(uint32_t *p, __m128i mask, __m128i v, __m128i old, bool wide) {
    if (wide) _mm_storeu_si128(reinterpret_cast<__m128i *>(p), _mm_blendv_epi8(old, v, mask));
    else _mm_maskstore_epi32(reinterpret_cast<int *>(p), mask, v);
}
SWR_OP VI LoadWordHalves(const uint32_t *a, const uint32_t *b, VI lanes, bool wideA, bool wideB) {
    return _mm256_setr_m128i(LoadFour(a, _mm256_castsi256_si128(lanes), wideA),
                             LoadFour(b, _mm256_extracti128_si256(lanes, 1), wideB));
}
SWR_OP void StoreWordHalves(uint32_t *a, uint32_t *b, VI mask, VI v, VI old, bool wideA, bool wideB) {
    StoreFour(a, _mm256_castsi256_si128(mask), _mm256_castsi256_si128(v), _mm256_castsi256_si128(old), wideA);
    StoreFour(b, _mm256_extracti128_si256(mask, 1), _mm256_extracti128_si256(v, 1), _mm256_extracti128_si256(old, 1), wideB);
}
SWR_OP VI LoadHalvesHalves(const uint16_t *a, const uint16_t *b, VI lanes, bool wideA, bool wideB) {
    alignas(32) int32_t in[8], out[8];
    IStore(in, lanes);
    for (int k = 0; k < 4; ++k) {
        out[k] = (wideA || in[k]) ? a[k] : 0;
        out[k + 4] = (wideB || in[k + 4]) ? b[k] : 0;
    }
    return ILoad(out);
}
SWR_OP void StoreHalvesHalves(uint16_t *a, uint16_t *b, VI mask, VI v, VI, bool, bool) {
    alignas(32) int32_t m[8], values[8];
    IStore(m, mask);
    IStore(values, v);
    for (int k = 0; k < 4; ++k) {
        if (m[k]) a[k] = static_cast<uint16_t>(values[k]);
        if (m[k + 4]) b[k] = static_cast<uint16_t>(values[k + 4]);
    }
}
SWR_OP VI LoadHalves(const uint16_t *p, VI lanes, bool wide) {
    if (wide) return _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p)));
    alignas(32) int32_t in[8], out[8];
    IStore(in, lanes);
    for (int k = 0; k < 8; ++k) out[k] = in[k] ? p[k] : 0;
    return ILoad(out);
}
SWR_OP void StoreHalves(uint16_t *p, VI mask, VI v, VI old, bool wide) {
    if (wide) {
        const VI merged = _mm256_blendv_epi8(old, v, mask);
        const __m128i packed = _mm_packus_epi32(_mm256_castsi256_si128(merged), _mm256_extracti128_si256(merged, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p), packed);
        return;
    }
    alignas(32) int32_t m[8], values[8];
    IStore(m, mask);
    IStore(values, v);
    for (int k = 0; k < 8; ++k) {
        if (m[k]) p[k] = static_cast<uint16_t>(values[k]);
    }
}
SWR_OP VI GatherWords(const uint32_t *base, VI offsets) {
    return _mm256_i32gather_epi32(reinterpret_cast<const int *>(base), offsets, 4);
}
// Each active lane's word at `offset` and the word after it, read as one 64-bit pair (the
// two taps of a filtered row when they lie side by side): half as many gathered elements
// as two word gathers. Inactive lanes read nothing and give zeros.
constexpr bool kPairFetch = true;
SWR_OP void GatherPairs(const uint32_t *base, VI offsets, VI lanes, VI &first, VI &second) {
    const long long *q = reinterpret_cast<const long long *>(base);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i lo = _mm256_mask_i32gather_epi64(zero, q, _mm256_castsi256_si128(offsets),
                                                   _mm256_cvtepi32_epi64(_mm256_castsi256_si128(lanes)), 4);
    const __m256i hi = _mm256_mask_i32gather_epi64(zero, q, _mm256_extracti128_si256(offsets, 1),
                                                   _mm256_cvtepi32_epi64(_mm256_extracti128_si256(lanes, 1)), 4);
    // Per 128-bit half: lanes 0, 1, 4, 5 and 2, 3, 6, 7; the 64-bit permute puts them in order.
    const __m256 a = _mm256_castsi256_ps(lo), b = _mm256_castsi256_ps(hi);
    first = _mm256_permute4x64_epi64(_mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0))), 0xD8);
    second = _mm256_permute4x64_epi64(_mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1))), 0xD8);
}
// Eight lanes weigh their taps one by one (the pair filter's operations are never called).
constexpr bool kPairFilter = false;
SWR_OP void GatherPairsInPixelOrder(const uint32_t *, VI, VI, VI &, VI &) {}
SWR_OP void FilterPairs(VI, VI, VI, VI, VI, VI, VI &, VI &) {}
// Up to 2 * kLanes consecutive words, read with masks that never reach past `count`.
constexpr bool kWindowFetch = true;
struct Window {
    VI lo, hi;
};
SWR_OP Window LoadWindow(const uint32_t *p, int32_t count) {
    const VI iota = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const VI first = _mm256_cmpgt_epi32(_mm256_set1_epi32(count), iota);
    const VI second = _mm256_cmpgt_epi32(_mm256_set1_epi32(count - 8), iota);
    const int *q = reinterpret_cast<const int *>(p);
    return Window{_mm256_maskload_epi32(q, first), _mm256_maskload_epi32(q + 8, second)};
}
// Each lane's word at its index into the window (indices of 0 to 2 * kLanes - 1).
SWR_OP VI PickWindow(const Window &w, VI index) {
    const VI lo = _mm256_permutevar8x32_epi32(w.lo, index), hi = _mm256_permutevar8x32_epi32(w.hi, index);
    // Index bit 3 picks the second half: moved to the sign bit, which the blend reads.
    return _mm256_castps_si256(_mm256_blendv_ps(_mm256_castsi256_ps(lo), _mm256_castsi256_ps(hi),
                                                _mm256_castsi256_ps(_mm256_slli_epi32(index, 28))));
}
SWR_OP int32_t IReduceMin32(VI a) {
    __m128i m = _mm_min_epi32(_mm256_castsi256_si128(a), _mm256_extracti128_si256(a, 1));
    m = _mm_min_epi32(m, _mm_shuffle_epi32(m, 0x4E));
    m = _mm_min_epi32(m, _mm_shuffle_epi32(m, 0xB1));
    return _mm_cvtsi128_si32(m);
}
SWR_OP int32_t IReduceMax32(VI a) {
    __m128i m = _mm_max_epi32(_mm256_castsi256_si128(a), _mm256_extracti128_si256(a, 1));
    m = _mm_max_epi32(m, _mm_shuffle_epi32(m, 0x4E));
    m = _mm_max_epi32(m, _mm_shuffle_epi32(m, 0xB1));
    return _mm_cvtsi128_si32(m);
}
SWR_OP VI QuantizeDepthV(VF z, float depthMax) {
    const VF clamped = _mm256_min_ps(_mm256_max_ps(z, _mm256_setzero_ps()), _mm256_set1_ps(1.0f));
    const __m256d max = _mm256_set1_pd(static_cast<double>(depthMax));
    const __m256d half = _mm256_set1_pd(0.5);
    const __m256d lo = _mm256_add_pd(_mm256_mul_pd(_mm256_cvtps_pd(_mm256_castps256_ps128(clamped)), max), half);
    const __m256d hi = _mm256_add_pd(_mm256_mul_pd(_mm256_cvtps_pd(_mm256_extractf128_ps(clamped, 1)), max), half);
    return _mm256_setr_m128i(_mm256_cvttpd_epi32(lo), _mm256_cvttpd_epi32(hi));
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
// Pixels' 16-bit channels kept in pixel order, one 64-bit word a pixel (eight from p),
// as C16 keeps them: lo pixels 0, 1, 4, 5, hi pixels 2, 3, 6, 7.
SWR_OP void LoadPixelPairs(const uint64_t *p, VI &lo, VI &hi) {
    const VI a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p));
    const VI b = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + 4));
    lo = _mm256_permute2x128_si256(a, b, 0x20);
    hi = _mm256_permute2x128_si256(a, b, 0x31);
}
SWR_OP void StorePixelPairs(uint64_t *p, VI lo, VI hi) {
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(p), _mm256_permute2x128_si256(lo, hi, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(p + 4), _mm256_permute2x128_si256(lo, hi, 0x31));
}
#undef SWR_OP

}  // namespace
}  // namespace swr

#include "swr_span_kernel.h"

namespace swr {

void SpanRoutinesAvx2(SpanRoutine &perspective, SpanRoutine &affine) { PickSpanRoutines(perspective, affine); }

}  // namespace swr
