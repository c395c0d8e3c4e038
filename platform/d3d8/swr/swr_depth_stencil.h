// The depth and stencil tests against a depth/stencil target, with the writes that
// follow from them. Works on every depth format the device creates by describing each
// as a packing of depth bits and stencil bits in one 16- or 32-bit word.
#pragma once

#include <cstdint>
#include <cstring>

#include "swr_coarse_depth.h"
#include "swr_compare.h"
#include "swr_draw.h"

namespace swr {

struct SpanDepth;  // swr_span_plan.h

struct DepthFormat {
    uint32_t bytes = 0;        // 2 or 4; 0 for formats we do not know
    uint32_t depthBits = 0;
    uint32_t depthShift = 0;   // depth sits above the stencil bits
    uint32_t stencilBits = 0;  // stencil sits in the lowest bits
};

DepthFormat DescribeDepthFormat(D3DFORMAT format);

// The bits of a depth/stencil word that hold depth, and those that hold stencil.
inline uint32_t DepthBitsMask(const DepthFormat &f) {
    return f.depthBits == 32 ? 0xFFFFFFFFu : ((1u << f.depthBits) - 1u) << f.depthShift;
}
inline uint32_t StencilBitsMask(const DepthFormat &f) { return (1u << f.stencilBits) - 1u; }

// z in [0, 1] (clamped) to the integer stored for `bits` bits of depth, rounded to nearest.
inline uint32_t QuantizeDepth(float z, uint32_t depthBits) {
    if (!(z > 0.0f)) return 0;
    const double max = static_cast<double>((uint64_t{1} << depthBits) - 1);
    if (z >= 1.0f) return static_cast<uint32_t>(max);
    return static_cast<uint32_t>(static_cast<double>(z) * max + 0.5);
}

// Stencil value after `op` (D3DSTENCILOP_*), for a stencil of `bits` bits.
uint32_t ApplyStencilOp(DWORD op, uint32_t value, uint32_t reference, uint32_t bits);

class DepthStencilUnit {
public:
    // False when depth or stencil work is asked for but the target cannot be used
    // (unknown format, size smaller than the colour target).
    bool Prepare(const DrawState &state, DepthTarget *target);

    // Runs the stencil and depth tests for one pixel and makes the writes they call for.
    // True when the pixel's colour goes on to be written. Inline so that span routines
    // that know the state get it specialised.
    bool Test(int32_t x, int32_t y, float z) const;
    // Test for the n pixels from (x, y) along the row, with depths z[0..n-1]: pass[i]
    // gets what Test gives pixel by pixel, and so do the writes. True when any passed.
    // The `reach` (>= n) pixels from (x, y) must lie inside the target and belong to the
    // caller alone: words past the n-th may be read and written back unchanged, and
    // pass[] and z[] must have room for n rounded up to a multiple of four.
    bool TestRow(int32_t x, int32_t y, const float *z, int32_t n, int32_t reach, bool *pass) const;

    bool StencilEnabled() const { return stencil_; }
    // Whether passing pixels write depth.
    bool WritesDepth() const { return depthWrite_; }

    // The unit as the span routines work it (swr_span_plan.h).
    void DescribeForSpans(SpanDepth &out) const;

    bool Active() const { return depthTest_ || depthWrite_ || stencil_; }

private:
    uint8_t *Word(int32_t x, int32_t y) const { return bits_ + static_cast<size_t>(y) * pitch_ + static_cast<size_t>(x) * format_.bytes; }
    uint32_t Read(const uint8_t *p) const;
    void Write(uint8_t *p, uint32_t v) const;

    DepthFormat format_;
    uint8_t *bits_ = nullptr;
    uint32_t pitch_ = 0;
    CoarseDepth *coarse_ = nullptr;  // told of every change of depth
    bool depthTest_ = false;
    bool depthWrite_ = false;
    bool stencil_ = false;
    DWORD depthFunc_ = D3DCMP_LESSEQUAL;
    DWORD stencilFunc_ = D3DCMP_ALWAYS;
    DWORD stencilFail_ = D3DSTENCILOP_KEEP;
    DWORD stencilDepthFail_ = D3DSTENCILOP_KEEP;
    DWORD stencilPass_ = D3DSTENCILOP_KEEP;
    uint32_t stencilRef_ = 0;
    uint32_t stencilMask_ = 0;
    uint32_t stencilWriteMask_ = 0;
    uint32_t depthMask_ = 0;  // the depth bits inside the word
    // Depth alone in 32-bit words with at most 24 bits of it: TestRow takes four pixels
    // at a time (the quantised values then fit the signed lanes of a vector).
    bool fourAtOnce_ = false;
};

inline uint32_t DepthStencilUnit::Read(const uint8_t *p) const {
    if (format_.bytes == 2) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline void DepthStencilUnit::Write(uint8_t *p, uint32_t v) const {
    if (format_.bytes == 2) {
        const uint16_t h = static_cast<uint16_t>(v);
        std::memcpy(p, &h, 2);
    } else {
        std::memcpy(p, &v, 4);
    }
}

[[gnu::always_inline]] inline bool DepthStencilUnit::Test(int32_t x, int32_t y, float z) const {
    if (!Active()) return true;
    uint8_t *p = Word(x, y);
    const uint32_t word = Read(p);
    uint32_t newWord = word;
    bool pass = true;
    DWORD stencilOp = D3DSTENCILOP_KEEP;

    const uint32_t stencilBitsMask = StencilBitsMask(format_);
    const uint32_t stencil = word & stencilBitsMask;
    if (stencil_ && !ComparePasses(stencilFunc_, stencilRef_ & stencilMask_, stencil & stencilMask_)) {
        pass = false;
        stencilOp = stencilFail_;
    }
    if (pass && depthTest_) {
        const uint32_t incoming = QuantizeDepth(z, format_.depthBits);
        const uint32_t stored = (word & depthMask_) >> format_.depthShift;
        if (!ComparePasses(depthFunc_, incoming, stored)) {
            pass = false;
            stencilOp = stencilDepthFail_;
        } else if (depthWrite_) {
            newWord = (newWord & ~depthMask_) | ((incoming << format_.depthShift) & depthMask_);
        }
    }
    if (pass) stencilOp = stencilPass_;
    if (stencil_) {
        const uint32_t updated = ApplyStencilOp(stencilOp, stencil, stencilRef_, format_.stencilBits);
        const uint32_t merged = (stencil & ~stencilWriteMask_) | (updated & stencilWriteMask_);
        newWord = (newWord & ~stencilBitsMask) | merged;
    }
    if (newWord != word) {
        Write(p, newWord);
        if (coarse_ && ((newWord ^ word) & depthMask_)) coarse_->MarkStale(x, y);
    }
    return pass;
}

}  // namespace swr
