// The reference per-pixel path. Order: combine, fog, alpha test, stencil and depth,
// blend, mask and write. Without an alpha test the depth and stencil work is done
// first, which changes nothing in the result but skips shading hidden pixels.
#include "swr_pixel_pipeline.h"

#include <algorithm>
#include <cstring>

#include "swr_compare.h"
#include "swr_pixel_shader.h"

namespace swr {

PixelRect Intersect(const PixelRect &a, const PixelRect &b) {
    return PixelRect{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

PixelRect ViewportRect(const D3DVIEWPORT8 &vp) {
    const int64_t x1 = int64_t{vp.X} + vp.Width, y1 = int64_t{vp.Y} + vp.Height;
    return PixelRect{static_cast<int32_t>(std::min<int64_t>(vp.X, INT32_MAX)),
                     static_cast<int32_t>(std::min<int64_t>(vp.Y, INT32_MAX)),
                     static_cast<int32_t>(std::min<int64_t>(x1, INT32_MAX)),
                     static_cast<int32_t>(std::min<int64_t>(y1, INT32_MAX))};
}

bool PixelPipeline::Prepare(const DrawState &state, ColorTarget &color, DepthTarget *depth) {
    if (color.format != D3DFMT_A8R8G8B8 && color.format != D3DFMT_X8R8G8B8) return false;
    if (!color.bits) return false;
    const DWORD *rs = state.renderStates;
    scissor_ = Intersect(ViewportRect(state.viewport), TargetRect(color.width, color.height));
    scissor_ = Intersect(scissor_, PixelRect{state.scissor.x1, state.scissor.y1, state.scissor.x2, state.scissor.y2});
    if (!depthStencil_.Prepare(state, depth)) return false;
    if (depthStencil_.Active()) {
        scissor_ = Intersect(scissor_, TargetRect(depth->width, depth->height));
    }
    colorBits_ = color.bits;
    colorPitch_ = color.pitch;
    targetHasAlpha_ = color.format == D3DFMT_A8R8G8B8;
    combiner_.Prepare(state);
    pixelShader_ = state.pixelShader;
    pixelShaderConstants_ = state.pixelShaderConstants;
    sampledStages_ = 0;
    for (uint32_t s = 0; s < D3D8_MAX_TEXTURE_STAGES; ++s) {
        const bool reads = pixelShader_ ? (pixelShader_->sampledStages >> s) & 1u
                                        : s < combiner_.StageCount() && combiner_.Stage(s).readsTexture;
        if (reads && samplers_[s].Prepare(state, s)) sampledStages_ |= 1u << s;
    }
    blender_.Prepare(state);
    fog_ = PrepareFog(state);
    alphaTest_ = rs[D3DRS_ALPHATESTENABLE] != 0;
    alphaFunc_ = rs[D3DRS_ALPHAFUNC];
    alphaRef_ = rs[D3DRS_ALPHAREF] & 0xFFu;
    const DWORD write = rs[D3DRS_COLORWRITEENABLE];
    uint32_t writeBits = 0;
    if (write & D3DCOLORWRITEENABLE_RED) writeBits |= 0x00FF0000u;
    if (write & D3DCOLORWRITEENABLE_GREEN) writeBits |= 0x0000FF00u;
    if (write & D3DCOLORWRITEENABLE_BLUE) writeBits |= 0x000000FFu;
    if (write & D3DCOLORWRITEENABLE_ALPHA) writeBits |= 0xFF000000u;
    // A target without alpha always holds 0xFF there.
    if (!targetHasAlpha_) writeBits |= 0xFF000000u;
    keepMask_ = ~writeBits;
    return true;
}

Rgba8 PixelPipeline::Shade(const Fragment &f) const {
    CombinerInputs in;
    in.diffuse = f.diffuse;
    in.specular = f.specular;
    // A stage without a usable texture reads opaque white.
    for (uint32_t s = 0; s < D3D8_MAX_TEXTURE_STAGES; ++s) {
        in.texel[s] = (sampledStages_ & (1u << s)) ? samplers_[s].Sample(f.tex[s]) : Rgba8{255, 255, 255, 255};
    }
    Rgba8 c;
    if (pixelShader_) {
        static const PixelShaderConstants kNoConstants{};
        c = RunPixelShader(*pixelShader_, pixelShaderConstants_ ? *pixelShaderConstants_ : kNoConstants, f.diffuse,
                           f.specular, in.texel);
    } else {
        c = combiner_.Combine(in);
    }
    switch (fog_.where) {
        case FogSetup::Where::Vertex: c = ApplyFog(c, f.fog, fog_.color); break;
        case FogSetup::Where::Table: c = ApplyFog(c, FogFactor(fog_, f.fogDistance), fog_.color); break;
        default: break;
    }
    return c;
}

void PixelPipeline::Process(const Fragment &f) const {
    if (!alphaTest_) {
        if (!depthStencil_.Test(f.x, f.y, f.z)) return;
        WriteColor(f.x, f.y, Shade(f));
        return;
    }
    const Rgba8 c = Shade(f);
    if (!ComparePasses(alphaFunc_, c.a, alphaRef_)) return;
    if (!depthStencil_.Test(f.x, f.y, f.z)) return;
    WriteColor(f.x, f.y, c);
}

}  // namespace swr
