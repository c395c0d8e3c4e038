// The span routines sixteen pixels at a time with AVX-512 (F, BW, DQ and VL; this file
// alone is built for it, and the device picks these routines only on a processor that
// has all four): the vector operations swr_span_kernel.h is written in, then the kernel
// itself. Comparisons give their lanes as all-ones or zero words, as the narrower
// routines' do; byte and 16-bit lane operations work within each 128-bit quarter, as
// the kernel expects.
#include <immintrin.h>

#include <cstdint>
#include <cstring>
#include <utility>

#include "swr_span_plan.h"
#include "swr_triangle_raster.h"

namespace swr {
namespace {

using VF = __m512;
using VI = __m512i;
constexpr int kLanes = 16;
constexpr int kHalf = 8;

#define SWR_OP [[gnu::always_inline]] inline
SWR_OP VI Lanes(__mmask16 m) { return _mm512_movm_epi32(m); }
SWR_OP __mmask16 Mask(VI lanes) { return _mm512_movepi32_mask(lanes); }

SWR_OP VF FSet1(float v) { return _mm512_set1_ps(v); }
SWR_OP VF FAdd(VF a, VF b) { return _mm512_add_ps(a, b); }
SWR_OP VF FSub(VF a, VF b) { return _mm512_sub_ps(a, b); }
SWR_OP VF FMul(VF a, VF b) { return _mm512_mul_ps(a, b); }
SWR_OP VF FDiv(VF a, VF b) { return _mm512_div_ps(a, b); }
SWR_OP VF FMin(VF a, VF b) { return _mm512_min_ps(a, b); }
SWR_OP VF FMax(VF a, VF b) { return _mm512_max_ps(a, b); }
SWR_OP VF FAnd(VF a, VF b) { return _mm512_and_ps(a, b); }
SWR_OP VF FOr(VF a, VF b) { return _mm512_or_ps(a, b); }
SWR_OP VF FAndNot(VF mask, VF b) { return _mm512_andnot_ps(mask, b); }
SWR_OP VF FCmpOrd(VF a, VF b) { return _mm512_castsi512_ps(Lanes(_mm512_cmp_ps_mask(a, b, _CMP_ORD_Q))); }
SWR_OP VF FCmpGt(VF a, VF b) { return _mm512_castsi512_ps(Lanes(_mm512_cmp_ps_mask(a, b, _CMP_GT_OS))); }
SWR_OP VF FCmpGE(VF a, VF b) { return _mm512_castsi512_ps(Lanes(_mm512_cmp_ps_mask(a, b, _CMP_GE_OS))); }
SWR_OP VF FCmpLE(VF a, VF b) { return _mm512_castsi512_ps(Lanes(_mm512_cmp_ps_mask(a, b, _CMP_LE_OS))); }
SWR_OP VF IToF(VI a) { return _mm512_cvtepi32_ps(a); }
SWR_OP VI FToITrunc(VF a) { return _mm512_cvttps_epi32(a); }
// floor(a) as integers for |a| <= 2^30 (not NaN).
SWR_OP VI FloorToIntPinned(VF a) { return _mm512_cvt_roundps_epi32(a, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC); }
SWR_OP VI AsI(VF a) { return _mm512_castps_si512(a); }
SWR_OP VF AsF(VI a) { return _mm512_castsi512_ps(a); }
SWR_OP void FStore(float *p, VF a) { _mm512_store_ps(p, a); }
SWR_OP VF FLoad(const float *p) { return _mm512_load_ps(p); }

SWR_OP VI ISet1(int32_t v) { return _mm512_set1_epi32(v); }
// a in the first half's lanes, b in the second's.
SWR_OP VI ISet2(int32_t a, int32_t b) {
    return _mm512_inserti64x4(_mm512_castsi256_si512(_mm256_set1_epi32(a)), _mm256_set1_epi32(b), 1);
}
SWR_OP VF FSet2(float a, float b) {
    return _mm512_insertf32x8(_mm512_castps256_ps512(_mm256_set1_ps(a)), _mm256_set1_ps(b), 1);
}
SWR_OP VI IIotaHalf() { return _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7); }
SWR_OP VI IIota() { return _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15); }
SWR_OP VI IAdd(VI a, VI b) { return _mm512_add_epi32(a, b); }
SWR_OP VI ISub(VI a, VI b) { return _mm512_sub_epi32(a, b); }
SWR_OP VI IAnd(VI a, VI b) { return _mm512_and_si512(a, b); }
SWR_OP VI IOr(VI a, VI b) { return _mm512_or_si512(a, b); }
SWR_OP VI IAndNot(VI mask, VI b) { return _mm512_andnot_si512(mask, b); }
SWR_OP VI IXor(VI a, VI b) { return _mm512_xor_si512(a, b); }
template <int N>
SWR_OP VI ISrl(VI a) { return _mm512_srli_epi32(a, N); }
template <int N>
SWR_OP VI ISll(VI a) { return _mm512_slli_epi32(a, N); }
SWR_OP VI ISrlV(VI a, uint32_t n) { return _mm512_srl_epi32(a, _mm_cvtsi32_si128(static_cast<int32_t>(n))); }
SWR_OP VI ISllV(VI a, uint32_t n) { return _mm512_sll_epi32(a, _mm_cvtsi32_si128(static_cast<int32_t>(n))); }
SWR_OP VI ICmpEq(VI a, VI b) { return Lanes(_mm512_cmpeq_epi32_mask(a, b)); }
SWR_OP VI ICmpGt(VI a, VI b) { return Lanes(_mm512_cmpgt_epi32_mask(a, b)); }
SWR_OP int32_t ILane0(VI a) { return _mm_cvtsi128_si32(_mm512_castsi512_si128(a)); }
SWR_OP int IMoveMask(VI a) { return static_cast<int>(Mask(a)); }
SWR_OP void IStore(int32_t *p, VI a) { _mm512_store_si512(p, a); }
SWR_OP VI ILoad(const int32_t *p) { return _mm512_load_si512(p); }
SWR_OP VI IMin32(VI a, VI b) { return _mm512_min_epi32(a, b); }
SWR_OP VI IMax32(VI a, VI b) { return _mm512_max_epi32(a, b); }
SWR_OP VI IMullo32(VI a, VI b) { return _mm512_mullo_epi32(a, b); }
SWR_OP VI IMadd16(VI a, VI b) { return _mm512_madd_epi16(a, b); }

SWR_OP VI I64Set1(uint64_t v) { return _mm512_set1_epi64(static_cast<long long>(v)); }
SWR_OP VI I16Set1(int16_t v) { return _mm512_set1_epi16(v); }
SWR_OP VI I16Add(VI a, VI b) { return _mm512_add_epi16(a, b); }
SWR_OP VI I16Sub(VI a, VI b) { return _mm512_sub_epi16(a, b); }
SWR_OP VI I16Mullo(VI a, VI b) { return _mm512_mullo_epi16(a, b); }
template <int N>
SWR_OP VI I16Srl(VI a) { return _mm512_srli_epi16(a, N); }
SWR_OP VI I16AddsU(VI a, VI b) { return _mm512_adds_epu16(a, b); }
SWR_OP VI I8AddsU(VI a, VI b) { return _mm512_adds_epu8(a, b); }
SWR_OP VI I16SubsU(VI a, VI b) { return _mm512_subs_epu16(a, b); }
SWR_OP VI I16Min(VI a, VI b) { return _mm512_min_epi16(a, b); }
SWR_OP VI I16Max(VI a, VI b) { return _mm512_max_epi16(a, b); }
SWR_OP VI I16CmpEq(VI a, VI b) { return _mm512_movm_epi16(_mm512_cmpeq_epi16_mask(a, b)); }
SWR_OP VI UnpackLo8(VI a, VI b) { return _mm512_unpacklo_epi8(a, b); }
SWR_OP VI UnpackHi8(VI a, VI b) { return _mm512_unpackhi_epi8(a, b); }
SWR_OP VI UnpackLo32(VI a, VI b) { return _mm512_unpacklo_epi32(a, b); }
SWR_OP VI UnpackHi32(VI a, VI b) { return _mm512_unpackhi_epi32(a, b); }
SWR_OP VI PackUS16(VI a, VI b) { return _mm512_packus_epi16(a, b); }
SWR_OP VI Shuffle16Alpha(VI a) { return _mm512_shufflehi_epi16(_mm512_shufflelo_epi16(a, 0xFF), 0xFF); }
SWR_OP VI I16SetAlphaLanes() { return _mm512_set1_epi64(static_cast<long long>(0xFFFF000000000000ull)); }

// Words of the lanes set in `lanes` (all sixteen when `wide`); the others read as zero
// and are never touched in memory.
SWR_OP VI LoadWords(const uint32_t *p, VI lanes, bool wide) {
    if (wide) return _mm512_loadu_si512(p);
    return _mm512_maskz_loadu_epi32(Mask(lanes), p);
}
SWR_OP void StoreWords(uint32_t *p, VI mask, VI v, VI, bool) { _mm512_mask_storeu_epi32(p, Mask(mask), v); }
// Eight words from a, eight from b (halves of a group on two rows).
SWR_OP VI LoadWordHalves(const uint32_t *a, const uint32_t *b, VI lanes, bool wideA, bool wideB) {
    const __mmask16 m = Mask(lanes);
    const __m256i lo = wideA ? _mm256_loadu_si256(reinterpret_cast<const __m256i *>(a))
                             : _mm256_maskz_loadu_epi32(static_cast<__mmask8>(m), a);
    const __m256i hi = wideB ? _mm256_loadu_si256(reinterpret_cast<const __m256i *>(b))
                             : _mm256_maskz_loadu_epi32(static_cast<__mmask8>(m >> 8), b);
    return _mm512_inserti64x4(_mm512_castsi256_si512(lo), hi, 1);
}
SWR_OP void StoreWordHalves(uint32_t *a, uint32_t *b, VI mask, VI v, VI, bool, bool) {
    const __mmask16 m = Mask(mask);
    _mm256_mask_storeu_epi32(a, static_cast<__mmask8>(m), _mm512_castsi512_si256(v));
    _mm256_mask_storeu_epi32(b, static_cast<__mmask8>(m >> 8), _mm512_extracti64x4_epi64(v, 1));
}
SWR_OP VI LoadHalvesHalves(const uint16_t *a, const uint16_t *b, VI lanes, bool wideA, bool wideB) {
    const __mmask16 m = Mask(lanes);
    const __m128i lo = _mm_maskz_loadu_epi16(wideA ? 0xFF : static_cast<__mmask8>(m), a);
    const __m128i hi = _mm_maskz_loadu_epi16(wideB ? 0xFF : static_cast<__mmask8>(m >> 8), b);
    return _mm512_cvtepu16_epi32(_mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1));
}
SWR_OP void StoreHalvesHalves(uint16_t *a, uint16_t *b, VI mask, VI v, VI, bool, bool) {
    const __mmask16 m = Mask(mask);
    const __m256i packed = _mm512_cvtepi32_epi16(v);
    _mm_mask_storeu_epi16(a, static_cast<__mmask8>(m), _mm256_castsi256_si128(packed));
    _mm_mask_storeu_epi16(b, static_cast<__mmask8>(m >> 8), _mm256_extracti128_si256(packed, 1));
}
SWR_OP VI LoadHalves(const uint16_t *p, VI lanes, bool wide) {
    return _mm512_cvtepu16_epi32(_mm256_maskz_loadu_epi16(wide ? 0xFFFF : Mask(lanes), p));
}
SWR_OP void StoreHalves(uint16_t *p, VI mask, VI v, VI, bool) {
    _mm256_mask_storeu_epi16(p, Mask(mask), _mm512_cvtepi32_epi16(v));
}
SWR_OP VI GatherWords(const uint32_t *base, VI offsets) { return _mm512_i32gather_epi32(offsets, base, 4); }
// Each active lane's word at `offset` and the word after it, read as one 64-bit pair (the
// two taps of a filtered row when they lie side by side): half as many gathered elements
// as two word gathers. Inactive lanes read nothing and give zeros.
constexpr bool kPairFetch = true;
SWR_OP void GatherPairs(const uint32_t *base, VI offsets, VI lanes, VI &first, VI &second) {
    const __mmask16 m = Mask(lanes);
    const __m512i lo = _mm512_mask_i32gather_epi64(_mm512_setzero_si512(), static_cast<__mmask8>(m),
                                                   _mm512_castsi512_si256(offsets), base, 4);
    const __m512i hi = _mm512_mask_i32gather_epi64(_mm512_setzero_si512(), static_cast<__mmask8>(m >> 8),
                                                   _mm512_extracti64x4_epi64(offsets, 1), base, 4);
    const VI evens = _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
    first = _mm512_permutex2var_epi32(lo, evens, hi);
    second = _mm512_permutex2var_epi32(lo, _mm512_add_epi32(evens, _mm512_set1_epi32(1)), hi);
}
// Filtered texels kept as the pairs GatherPairs reads (the word at the offset and the
// one after it, a row's two taps), the group's lanes reordered first so that lo holds
// pixels 0, 1, 4, 5, 8, 9, 12, 13 and hi the others, each 128-bit quarter two
// neighbours: the order in which C16 keeps pixels. FilterPairs weighs them there with
// multiply-adds of 16-bit pairs instead of unpacking each tap and multiplying it alone.
constexpr bool kPairFilter = true;
SWR_OP void GatherPairsInPixelOrder(const uint32_t *base, VI offsets, VI lanes, VI &lo, VI &hi) {
    const VI order = _mm512_setr_epi32(0, 1, 4, 5, 8, 9, 12, 13, 2, 3, 6, 7, 10, 11, 14, 15);
    const VI at = _mm512_permutexvar_epi32(order, offsets);
    __mmask16 m = Mask(lanes);
    if (m != 0xFFFF) m = Mask(_mm512_permutexvar_epi32(order, lanes));
    lo = _mm512_mask_i32gather_epi64(_mm512_setzero_si512(), static_cast<__mmask8>(m), _mm512_castsi512_si256(at),
                                     base, 4);
    hi = _mm512_mask_i32gather_epi64(_mm512_setzero_si512(), static_cast<__mmask8>(m >> 8),
                                     _mm512_extracti64x4_epi64(at, 1), base, 4);
}
// Dword k of each 128-bit quarter in all four of its dwords.
template <int k>
SWR_OP VI QuarterDword(VI w) {
    return _mm512_shuffle_epi32(w, static_cast<_MM_PERM_ENUM>(k * 0x55));
}
// The bilinear filter of pairs read by GatherPairsInPixelOrder (row A's in aLo and aHi,
// row B's in bLo and bHi; fx and fy of 0 to 256 in each pixel's lane), as C16's lo and
// hi halves: the same values as the kernel's Bilinear for every input. Each quarter of
// a pair vector splits into its two pixels, channel by channel the two taps side by side
// as 16-bit words [c0, c1]; one multiply-add with [256 - fx, fx] gives the row's
// R = c0 * (256 - fx) + c1 * fx (at most 255 * 256) in a 32-bit lane. The rows' R then
// pair up as 16-bit words, less 32768 each (R xor 0x8000 read as signed: R < 65536), so
// that a second multiply-add with [256 - fy, fy] gives S - 2^23 with
// S = RA * (256 - fy) + RB * fy; the result (S + 32768) >> 16, as Bilinear's, fits a
// byte and packs back to 16-bit lanes in C16's order.
SWR_OP void FilterPairs(VI aLo, VI aHi, VI bLo, VI bHi, VI fx, VI fy, VI &lo, VI &hi) {
    const VI first = _mm512_broadcast_i32x4(_mm_setr_epi8(0, -1, 4, -1, 1, -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1));
    const VI second =
        _mm512_broadcast_i32x4(_mm_setr_epi8(8, -1, 12, -1, 9, -1, 13, -1, 10, -1, 14, -1, 11, -1, 15, -1));
    const VI c256 = _mm512_set1_epi32(256);
    // Each pixel's weights as one word pair [256 - f, f], in its own lane.
    const VI wx = _mm512_or_si512(_mm512_sub_epi32(c256, fx), _mm512_slli_epi32(fx, 16));
    const VI wy = _mm512_or_si512(_mm512_sub_epi32(c256, fy), _mm512_slli_epi32(fy, 16));
    const VI bias = _mm512_set1_epi32(static_cast<int32_t>(0x80008000u)), round = _mm512_set1_epi32(0x808000);
    // The pixel at `pick` (first or second) of each quarter of a and b; `spread` holds
    // each weight pair of that pixel across its quarter.
    auto pixel = [&](VI a, VI b, VI pick, VI spreadX, VI spreadY) __attribute__((always_inline)) {
        const VI ra = _mm512_madd_epi16(_mm512_shuffle_epi8(a, pick), spreadX);
        const VI rb = _mm512_madd_epi16(_mm512_shuffle_epi8(b, pick), spreadX);
        const VI rows = _mm512_xor_si512(_mm512_or_si512(ra, _mm512_slli_epi32(rb, 16)), bias);
        return _mm512_srli_epi32(_mm512_add_epi32(_mm512_madd_epi16(rows, spreadY), round), 16);
    };
    const VI p0 = pixel(aLo, bLo, first, QuarterDword<0>(wx), QuarterDword<0>(wy));
    const VI p1 = pixel(aLo, bLo, second, QuarterDword<1>(wx), QuarterDword<1>(wy));
    lo = _mm512_packus_epi32(p0, p1);
    const VI p2 = pixel(aHi, bHi, first, QuarterDword<2>(wx), QuarterDword<2>(wy));
    const VI p3 = pixel(aHi, bHi, second, QuarterDword<3>(wx), QuarterDword<3>(wy));
    hi = _mm512_packus_epi32(p2, p3);
}
// Up to 2 * kLanes consecutive words, read with masks that never reach past `count`.
constexpr bool kWindowFetch = true;
struct Window {
    VI lo, hi;
};
SWR_OP Window LoadWindow(const uint32_t *p, int32_t count) {
    const __mmask16 first = count >= 16 ? __mmask16(0xFFFF) : __mmask16((1u << count) - 1u);
    const __mmask16 second = count > 16 ? __mmask16((1u << (count - 16)) - 1u) : __mmask16(0);
    return Window{_mm512_maskz_loadu_epi32(first, p), _mm512_maskz_loadu_epi32(second, p + 16)};
}
// Each lane's word at its index into the window (indices of 0 to 2 * kLanes - 1).
SWR_OP VI PickWindow(const Window &w, VI index) { return _mm512_permutex2var_epi32(w.lo, index, w.hi); }
SWR_OP int32_t IReduceMin32(VI a) { return _mm512_reduce_min_epi32(a); }
SWR_OP int32_t IReduceMax32(VI a) { return _mm512_reduce_max_epi32(a); }
// QuantizeDepth for depths of at most 24 bits (max = 2^bits - 1), in single precision:
// clamped to [0, 1] (NaN to 0, as max returns its second operand then), z * max + 0.5
// rounded down to a float by one fused multiply-add, then down to an integer. Both come to
// floor(z * max + 0.5), as the double route does: its product is exact, and the exact sum,
// a multiple of z's own step (at least z * 2^-24), lies a step or more from any integer it
// is not, where a double's step is at most z * 2^-27, so rounding it to nearest and
// truncating never passes an integer; and every integer up to 2^24 is a float, so
// rounding the sum down to a float never passes the integer below it.
SWR_OP VI QuantizeDepthV(VF z, float max) {
    constexpr int kDown = _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC;
    const VF clamped = _mm512_min_ps(_mm512_max_ps(z, _mm512_setzero_ps()), _mm512_set1_ps(1.0f));
    return _mm512_cvt_roundps_epi32(_mm512_fmadd_round_ps(clamped, _mm512_set1_ps(max), _mm512_set1_ps(0.5f), kDown),
                                    kDown);
}
// Groups are packed: pieces of a triangle's rows laid end to end across the lanes, each
// read and written under its own lane mask (`bits`, lane k read from or written to
// lane0[k]; masked-off lanes never touch memory, wherever lane0 points).
constexpr bool kPackedGroups = true;
SWR_OP VI ITakeLanes(VI a, uint32_t bits, VI b) { return _mm512_mask_mov_epi32(a, static_cast<__mmask16>(bits), b); }
// The load itself does not wait for `into` (a group's pieces are read side by side, and
// their lanes are zero in `into`).
SWR_OP VI LoadWordsLanes(VI into, const uint32_t *lane0, uint32_t bits) {
    return _mm512_or_si512(into, _mm512_maskz_loadu_epi32(static_cast<__mmask16>(bits), lane0));
}
SWR_OP void StoreWordsLanes(uint32_t *lane0, uint32_t bits, VI v) {
    _mm512_mask_storeu_epi32(lane0, static_cast<__mmask16>(bits), v);
}
SWR_OP VI LoadHalvesLanes(VI into, const uint16_t *lane0, uint32_t bits) {
    const __mmask16 m = static_cast<__mmask16>(bits);
    return _mm512_mask_mov_epi32(into, m, _mm512_cvtepu16_epi32(_mm256_maskz_loadu_epi16(m, lane0)));
}
SWR_OP void StoreHalvesLanes(uint16_t *lane0, uint32_t bits, VI v) {
    _mm256_mask_storeu_epi16(lane0, static_cast<__mmask16>(bits), _mm512_cvtepi32_epi16(v));
}
// The point mip filter's level is looked up from LodSteps: each lane's entry of a
// 32-entry table.
constexpr bool kLodSteps = true;
SWR_OP VI Lookup32(const int32_t *table, VI index) {
    return _mm512_permutex2var_epi32(_mm512_loadu_si512(table), index, _mm512_loadu_si512(table + 16));
}
// Pixels' 16-bit channels kept in pixel order, one 64-bit word a pixel (sixteen from p),
// as C16 keeps them: lo pixels 0, 1, 4, 5, 8, 9, 12, 13, hi the others.
SWR_OP void LoadPixelPairs(const uint64_t *p, VI &lo, VI &hi) {
    const VI a = _mm512_loadu_si512(p), b = _mm512_loadu_si512(p + 8);
    lo = _mm512_permutex2var_epi64(a, _mm512_setr_epi64(0, 1, 4, 5, 8, 9, 12, 13), b);
    hi = _mm512_permutex2var_epi64(a, _mm512_setr_epi64(2, 3, 6, 7, 10, 11, 14, 15), b);
}
SWR_OP void StorePixelPairs(uint64_t *p, VI lo, VI hi) {
    _mm512_storeu_si512(p, _mm512_permutex2var_epi64(lo, _mm512_setr_epi64(0, 1, 8, 9, 2, 3, 10, 11), hi));
    _mm512_storeu_si512(p + 8, _mm512_permutex2var_epi64(lo, _mm512_setr_epi64(4, 5, 12, 13, 6, 7, 14, 15), hi));
}
#undef SWR_OP

}  // namespace
}  // namespace swr

#include "swr_span_kernel.h"

namespace swr {

void SpanRoutinesAvx512(SpanRoutine &perspective, SpanRoutine &affine) { PickSpanRoutines(perspective, affine); }

}  // namespace swr
