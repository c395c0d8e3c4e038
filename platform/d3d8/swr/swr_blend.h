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
    // `src` over the target's pixel `dst`.
    Rgba8 Blend(Rgba8 src, Rgba8 dst) const;

private:
    bool enabled_ = false;
    DWORD src_ = D3DBLEND_ONE;
    DWORD dst_ = D3DBLEND_ZERO;
    DWORD op_ = D3DBLENDOP_ADD;
};

// The factor a blend setting gives, per channel (alpha in .a).
Rgba8 BlendFactor(DWORD factor, Rgba8 src, Rgba8 dst);

}  // namespace swr
