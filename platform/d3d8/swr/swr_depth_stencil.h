// The depth and stencil tests against a depth/stencil target, with the writes that
// follow from them. Works on every depth format the device creates by describing each
// as a packing of depth bits and stencil bits in one 16- or 32-bit word.
#pragma once

#include <cstdint>

#include "swr_draw.h"

namespace swr {

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
uint32_t QuantizeDepth(float z, uint32_t depthBits);

// Stencil value after `op` (D3DSTENCILOP_*), for a stencil of `bits` bits.
uint32_t ApplyStencilOp(DWORD op, uint32_t value, uint32_t reference, uint32_t bits);

class DepthStencilUnit {
public:
    // False when depth or stencil work is asked for but the target cannot be used
    // (unknown format, size smaller than the colour target).
    bool Prepare(const DrawState &state, DepthTarget *target);

    // Runs the stencil and depth tests for one pixel and makes the writes they call for.
    // True when the pixel's colour goes on to be written.
    bool Test(int32_t x, int32_t y, float z) const;

    bool Active() const { return depthTest_ || depthWrite_ || stencil_; }

private:
    uint8_t *Word(int32_t x, int32_t y) const { return bits_ + static_cast<size_t>(y) * pitch_ + static_cast<size_t>(x) * format_.bytes; }
    uint32_t Read(const uint8_t *p) const;
    void Write(uint8_t *p, uint32_t v) const;

    DepthFormat format_;
    uint8_t *bits_ = nullptr;
    uint32_t pitch_ = 0;
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
};

}  // namespace swr
