// Depth and stencil tests. Depth is compared as the quantised integer the target
// stores, so a pixel drawn twice at the same depth compares exactly equal.
#include "swr_depth_stencil.h"

#include <emmintrin.h>

#include "swr_span_plan.h"

namespace swr {

DepthFormat DescribeDepthFormat(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_D16:
        case D3DFMT_D16_LOCKABLE: return {2, 16, 0, 0};
        case D3DFMT_D15S1: return {2, 15, 1, 1};
        case D3DFMT_D24S8: return {4, 24, 8, 8};
        case D3DFMT_D24X8: return {4, 24, 8, 0};
        case D3DFMT_D24X4S4: return {4, 24, 8, 4};
        case D3DFMT_D32: return {4, 32, 0, 0};
        default: return {};
    }
}

uint32_t ApplyStencilOp(DWORD op, uint32_t value, uint32_t reference, uint32_t bits) {
    const uint32_t max = (1u << bits) - 1u;
    switch (op) {
        case D3DSTENCILOP_ZERO: return 0;
        case D3DSTENCILOP_REPLACE: return reference & max;
        case D3DSTENCILOP_INCRSAT: return value < max ? value + 1 : max;
        case D3DSTENCILOP_DECRSAT: return value > 0 ? value - 1 : 0;
        case D3DSTENCILOP_INVERT: return ~value & max;
        case D3DSTENCILOP_INCR: return (value + 1) & max;
        case D3DSTENCILOP_DECR: return (value - 1) & max;
        default: return value;
    }
}

bool DepthStencilUnit::Prepare(const DrawState &state, DepthTarget *target) {
    *this = DepthStencilUnit{};
    const DWORD *rs = state.renderStates;
    if (!target || !target->bits) return true;
    format_ = DescribeDepthFormat(target->format);
    if (format_.bytes == 0) return false;
    bits_ = target->bits;
    pitch_ = target->pitch;
    const bool zEnabled = rs[D3DRS_ZENABLE] != D3DZB_FALSE;
    depthTest_ = zEnabled;
    depthWrite_ = zEnabled && rs[D3DRS_ZWRITEENABLE] != 0;
    depthFunc_ = rs[D3DRS_ZFUNC];
    coarse_ = target->coarse;
    if (coarse_) coarse_->Fit(*target, depthWrite_);
    depthMask_ = DepthBitsMask(format_);
    stencil_ = rs[D3DRS_STENCILENABLE] != 0 && format_.stencilBits > 0;
    if (stencil_) {
        const uint32_t max = StencilBitsMask(format_);
        stencilFunc_ = rs[D3DRS_STENCILFUNC];
        stencilFail_ = rs[D3DRS_STENCILFAIL];
        stencilDepthFail_ = rs[D3DRS_STENCILZFAIL];
        stencilPass_ = rs[D3DRS_STENCILPASS];
        stencilRef_ = rs[D3DRS_STENCILREF] & max;
        stencilMask_ = rs[D3DRS_STENCILMASK] & max;
        stencilWriteMask_ = rs[D3DRS_STENCILWRITEMASK] & max;
    }
    fourAtOnce_ = depthTest_ && !stencil_ && format_.bytes == 4 && format_.depthBits <= 24;
    return true;
}

namespace {

// QuantizeDepth for four depths: clamped to [0, 1] (NaN to 0, as max returns its second
// operand then), scaled and rounded in double precision like the scalar form.
__m128i QuantizeDepth4(__m128 z, uint32_t depthBits) {
    const __m128 clamped = _mm_min_ps(_mm_max_ps(z, _mm_setzero_ps()), _mm_set1_ps(1.0f));
    const __m128d max = _mm_set1_pd(static_cast<double>((uint64_t{1} << depthBits) - 1));
    const __m128d half = _mm_set1_pd(0.5);
    const __m128d lo = _mm_add_pd(_mm_mul_pd(_mm_cvtps_pd(clamped), max), half);
    const __m128d hi = _mm_add_pd(_mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(clamped, clamped)), max), half);
    return _mm_unpacklo_epi64(_mm_cvttpd_epi32(lo), _mm_cvttpd_epi32(hi));
}

// Lanes where `incoming` passes against `stored` under `func` (ComparePasses).
__m128i Passes4(DWORD func, __m128i incoming, __m128i stored) {
    const __m128i all = _mm_set1_epi32(-1);
    switch (func) {
        case D3DCMP_NEVER: return _mm_setzero_si128();
        case D3DCMP_LESS: return _mm_cmplt_epi32(incoming, stored);
        case D3DCMP_EQUAL: return _mm_cmpeq_epi32(incoming, stored);
        case D3DCMP_LESSEQUAL: return _mm_xor_si128(_mm_cmpgt_epi32(incoming, stored), all);
        case D3DCMP_GREATER: return _mm_cmpgt_epi32(incoming, stored);
        case D3DCMP_NOTEQUAL: return _mm_xor_si128(_mm_cmpeq_epi32(incoming, stored), all);
        case D3DCMP_GREATEREQUAL: return _mm_xor_si128(_mm_cmplt_epi32(incoming, stored), all);
        default: return all;
    }
}

}  // namespace

bool DepthStencilUnit::TestRow(int32_t x, int32_t y, const float *z, int32_t n, int32_t reach, bool *pass) const {
    int32_t i = 0;
    uint32_t any = 0;
    if (fourAtOnce_) {
        uint8_t *row = Word(x, y);
        const __m128i depthMask = _mm_set1_epi32(static_cast<int32_t>(depthMask_));
        const __m128i shift = _mm_cvtsi32_si128(static_cast<int32_t>(format_.depthShift));
        for (; i < n && i + 4 <= reach; i += 4) {
            __m128i *p = reinterpret_cast<__m128i *>(row + size_t(i) * 4u);
            const __m128i word = _mm_loadu_si128(p);
            const __m128i incoming = QuantizeDepth4(_mm_loadu_ps(z + i), format_.depthBits);
            const __m128i stored = _mm_srl_epi32(_mm_and_si128(word, depthMask), shift);
            // Lanes past the row's end pass nothing, so their words go back unchanged.
            const __m128i inRow = _mm_cmpgt_epi32(_mm_set1_epi32(n - i), _mm_setr_epi32(0, 1, 2, 3));
            const __m128i passes = _mm_and_si128(Passes4(depthFunc_, incoming, stored), inRow);
            if (depthWrite_) {
                const __m128i written =
                    _mm_or_si128(_mm_andnot_si128(depthMask, word), _mm_and_si128(_mm_sll_epi32(incoming, shift), depthMask));
                _mm_storeu_si128(p, _mm_or_si128(_mm_and_si128(passes, written), _mm_andnot_si128(passes, word)));
            }
            const uint32_t bits = static_cast<uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(passes)));
            any |= bits;
            for (int32_t k = 0; k < 4; ++k) pass[i + k] = (bits >> k) & 1u;
        }
        if (coarse_ && depthWrite_ && any) coarse_->MarkStale(x, y, x + i, y + 1);
        if (i >= n) return any != 0;
    }
    for (; i < n; ++i) {
        pass[i] = Test(x + i, y, z[i]);
        any |= pass[i];
    }
    return any != 0;
}

void DepthStencilUnit::DescribeForSpans(SpanDepth &out) const {
    out = SpanDepth{};
    out.unit = this;
    if (!Active()) return;
    out.coarse = coarse_;
    out.bits = bits_;
    out.pitch = pitch_;
    out.depthMask = depthMask_;
    out.shift = format_.depthShift;
    out.depthBits = format_.depthBits;
    out.depthMax = static_cast<float>((uint64_t{1} << format_.depthBits) - 1);
    out.func = depthFunc_;
    out.write = depthWrite_;
    // Vector-wide when depth alone is tested and its quantised values fit signed lanes.
    const bool vector = depthTest_ && !stencil_ && format_.depthBits <= 24;
    if (!vector) out.kind = SpanDepth::Kind::PerPixel;
    else out.kind = format_.bytes == 2 ? SpanDepth::Kind::Words16 : SpanDepth::Kind::Words32;
}

}  // namespace swr
