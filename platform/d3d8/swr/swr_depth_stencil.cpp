// Depth and stencil tests. Depth is compared as the quantised integer the target
// stores, so a pixel drawn twice at the same depth compares exactly equal.
#include "swr_depth_stencil.h"

#include <cstring>

#include "swr_compare.h"

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

uint32_t QuantizeDepth(float z, uint32_t depthBits) {
    if (!(z > 0.0f)) return 0;
    const double max = static_cast<double>((uint64_t{1} << depthBits) - 1);
    if (z >= 1.0f) return static_cast<uint32_t>(max);
    return static_cast<uint32_t>(static_cast<double>(z) * max + 0.5);
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
    return true;
}

uint32_t DepthStencilUnit::Read(const uint8_t *p) const {
    if (format_.bytes == 2) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void DepthStencilUnit::Write(uint8_t *p, uint32_t v) const {
    if (format_.bytes == 2) {
        const uint16_t h = static_cast<uint16_t>(v);
        std::memcpy(p, &h, 2);
    } else {
        std::memcpy(p, &v, 4);
    }
}

bool DepthStencilUnit::Test(int32_t x, int32_t y, float z) const {
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
    if (newWord != word) Write(p, newWord);
    return pass;
}

}  // namespace swr
