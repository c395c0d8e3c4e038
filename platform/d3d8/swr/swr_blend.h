// Alpha blending of a new pixel over the target's pixel: every blend factor, every
// blend operation, 8-bit fixed point with a single rounding per channel.
#pragma once

#include <cstdint>

#include "swr_color.h"
#include "swr_draw.h"

namespace swr {

class Blender {
public:
    void Prepare(const DrawState &state);
    bool Enabled() const { return enabled_; }
    DWORD SourceFactor() const { return src_; }
    DWORD DestFactor() const { return dst_; }
    DWORD Operation() const { return op_; }
    // `src` over the target's pixel `dst`.
    Rgba8 Blend(Rgba8 src, Rgba8 dst) const { return overByAlpha_ ? OverByAlpha(src, dst) : BlendAny(src, dst); }

private:
    Rgba8 BlendAny(Rgba8 src, Rgba8 dst) const;
    // Source alpha against its inverse, added: the commonest setting, inline. It is
    // BlendAny's arithmetic for that setting (the sum never leaves [0, 255 * 255]).
    static Rgba8 OverByAlpha(Rgba8 s, Rgba8 d) {
        const uint32_t a = s.a, b = 255u - s.a;
        return Rgba8{static_cast<uint8_t>(Div255Round(s.r * a + d.r * b)), static_cast<uint8_t>(Div255Round(s.g * a + d.g * b)),
                     static_cast<uint8_t>(Div255Round(s.b * a + d.b * b)), static_cast<uint8_t>(Div255Round(s.a * a + d.a * b))};
    }

    bool overByAlpha_ = false;
    bool enabled_ = false;
    DWORD src_ = D3DBLEND_ONE;
    DWORD dst_ = D3DBLEND_ZERO;
    DWORD op_ = D3DBLENDOP_ADD;
};

// The factor a blend setting gives, per channel (alpha in .a).
Rgba8 BlendFactor(DWORD factor, Rgba8 src, Rgba8 dst);

}  // namespace swr
