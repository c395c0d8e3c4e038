// Blending. result = round((src * srcFactor  op  dst * dstFactor) / 255), clamped to
// [0, 255]: both products are summed before the one rounding, so 50% of 255 over 0 is
// exactly 128 and blending never drifts by a double rounding.
#include "swr_blend.h"

#include <algorithm>

namespace swr {

Rgba8 BlendFactor(DWORD factor, Rgba8 s, Rgba8 d) {
    auto all = [](uint8_t v) { return Rgba8{v, v, v, v}; };
    auto inv = [](Rgba8 c) {
        return Rgba8{static_cast<uint8_t>(255 - c.r), static_cast<uint8_t>(255 - c.g),
                     static_cast<uint8_t>(255 - c.b), static_cast<uint8_t>(255 - c.a)};
    };
    switch (factor) {
        case D3DBLEND_ZERO: return all(0);
        case D3DBLEND_ONE: return all(255);
        case D3DBLEND_SRCCOLOR: return s;
        case D3DBLEND_INVSRCCOLOR: return inv(s);
        case D3DBLEND_SRCALPHA: return all(s.a);
        case D3DBLEND_INVSRCALPHA: return all(static_cast<uint8_t>(255 - s.a));
        case D3DBLEND_DESTALPHA: return all(d.a);
        case D3DBLEND_INVDESTALPHA: return all(static_cast<uint8_t>(255 - d.a));
        case D3DBLEND_DESTCOLOR: return d;
        case D3DBLEND_INVDESTCOLOR: return inv(d);
        case D3DBLEND_SRCALPHASAT: {
            const uint8_t f = std::min<uint8_t>(s.a, static_cast<uint8_t>(255 - d.a));
            return Rgba8{f, f, f, 255};
        }
        default: return all(255);
    }
}

void Blender::Prepare(const DrawState &state) {
    const DWORD *rs = state.renderStates;
    enabled_ = rs[D3DRS_ALPHABLENDENABLE] != 0;
    src_ = rs[D3DRS_SRCBLEND];
    dst_ = rs[D3DRS_DESTBLEND];
    op_ = rs[D3DRS_BLENDOP];
    overByAlpha_ = op_ == D3DBLENDOP_ADD && (src_ == D3DBLEND_BOTHSRCALPHA ||
                                             (src_ == D3DBLEND_SRCALPHA && dst_ == D3DBLEND_INVSRCALPHA));
}

Rgba8 Blender::BlendAny(Rgba8 s, Rgba8 d) const {
    Rgba8 sf, df;
    // The two "both" settings set the pair from the source blend alone.
    if (src_ == D3DBLEND_BOTHSRCALPHA) {
        sf = BlendFactor(D3DBLEND_SRCALPHA, s, d);
        df = BlendFactor(D3DBLEND_INVSRCALPHA, s, d);
    } else if (src_ == D3DBLEND_BOTHINVSRCALPHA) {
        sf = BlendFactor(D3DBLEND_INVSRCALPHA, s, d);
        df = BlendFactor(D3DBLEND_SRCALPHA, s, d);
    } else {
        sf = BlendFactor(src_, s, d);
        df = BlendFactor(dst_, s, d);
    }
    auto channel = [this](uint32_t sc, uint32_t f, uint32_t dc, uint32_t g) -> uint8_t {
        const int32_t a = static_cast<int32_t>(sc * f), b = static_cast<int32_t>(dc * g);
        int32_t v;
        switch (op_) {
            case D3DBLENDOP_SUBTRACT: v = a - b; break;
            case D3DBLENDOP_REVSUBTRACT: v = b - a; break;
            case D3DBLENDOP_MIN: return static_cast<uint8_t>(std::min(sc, dc));
            case D3DBLENDOP_MAX: return static_cast<uint8_t>(std::max(sc, dc));
            default: v = a + b; break;
        }
        if (v <= 0) return 0;
        return static_cast<uint8_t>(std::min<uint32_t>(Div255Round(static_cast<uint32_t>(v)), 255u));
    };
    return Rgba8{channel(s.r, sf.r, d.r, df.r), channel(s.g, sf.g, d.g, df.g),
                 channel(s.b, sf.b, d.b, df.b), channel(s.a, sf.a, d.a, df.a)};
}

}  // namespace swr
