// Depth and stencil tests. Depth is compared as the quantised integer the target
// stores, so a pixel drawn twice at the same depth compares exactly equal.
#include "swr_depth_stencil.h"


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

}  // namespace swr
