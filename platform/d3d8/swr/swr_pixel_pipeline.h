// The per-pixel path: texture sampling, stage combiner (or the bound pixel shader), fog,
// alpha test, stencil and depth tests, blending, channel masks and the write to the
// colour target. This is the reference path: one pixel at a time, nothing assumed about
// the state. The span routines specialised for common states (swr_fast_triangle.h) give
// the same pixels, and a pipeline holds no mutable state, so several threads may run it
// at once on pixels they own.
#pragma once

#include <cstdint>
#include <cstring>

#include "swr_blend.h"
#include "swr_color.h"
#include "swr_combiner.h"
#include "swr_depth_stencil.h"
#include "swr_draw.h"
#include "swr_fog.h"
#include "swr_sampler.h"

namespace swr {

// A rectangle of pixels, x0/y0 inclusive, x1/y1 exclusive.
struct PixelRect {
    int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool Empty() const { return x0 >= x1 || y0 >= y1; }
};

PixelRect Intersect(const PixelRect &a, const PixelRect &b);

// The pixels of a viewport (not yet limited to any target).
PixelRect ViewportRect(const D3DVIEWPORT8 &viewport);

// The pixels of a target of the given size.
inline PixelRect TargetRect(uint32_t width, uint32_t height) {
    return PixelRect{0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height)};
}

// One covered pixel with its interpolated values.
struct Fragment {
    int32_t x = 0, y = 0;
    float z = 0;            // depth in [0, 1]
    float fogDistance = 0;  // what table fog measures (eye depth or z)
    Rgba8 diffuse;
    Rgba8 specular;
    uint8_t fog = 255;      // vertex fog factor
    TexCoords tex[D3D8_MAX_TEXTURE_STAGES];  // filled for the sampled stages only
};

class PixelPipeline {
public:
    // False when the targets cannot be drawn to (unknown formats).
    bool Prepare(const DrawState &state, ColorTarget &color, DepthTarget *depth);

    // Where pixels may land: viewport, colour target and depth target together.
    const PixelRect &Scissor() const { return scissor_; }
    const FogSetup &Fog() const { return fog_; }
    const Combiner &StageCombiner() const { return combiner_; }
    const Blender &Blending() const { return blender_; }
    const DepthStencilUnit &DepthStencil() const { return depthStencil_; }
    // Bit s set when stage s samples a texture (it reads one and a usable one is bound).
    uint32_t SampledStages() const { return sampledStages_; }
    const Sampler &StageSampler(uint32_t stage) const { return samplers_[stage]; }
    bool RunsPixelShader() const { return pixelShader_ != nullptr; }
    bool AlphaTest() const { return alphaTest_; }
    DWORD AlphaFunc() const { return alphaFunc_; }
    uint32_t AlphaRef() const { return alphaRef_; }
    uint32_t KeepMask() const { return keepMask_; }
    bool TargetHasAlpha() const { return targetHasAlpha_; }
    uint8_t *ColorBits() const { return colorBits_; }
    uint32_t ColorPitch() const { return colorPitch_; }

    // Shades, tests and writes one pixel inside the scissor rectangle.
    void Process(const Fragment &f) const;

    // Blends (when enabled), masks and stores a shaded colour that passed every test.
    void WriteColor(int32_t x, int32_t y, Rgba8 c) const {
        uint8_t *p = colorBits_ + static_cast<size_t>(y) * colorPitch_ + static_cast<size_t>(x) * 4u;
        uint32_t old;
        std::memcpy(&old, p, 4);
        if (blender_.Enabled()) {
            Rgba8 dst = UnpackColor(old);
            if (!targetHasAlpha_) dst.a = 255;
            c = blender_.Blend(c, dst);
        }
        uint32_t v = PackColor(c);
        if (!targetHasAlpha_) v |= 0xFF000000u;
        v = (old & keepMask_) | (v & ~keepMask_);
        std::memcpy(p, &v, 4);
    }

private:
    Rgba8 Shade(const Fragment &f) const;

    Combiner combiner_;
    const PixelShaderProgram *pixelShader_ = nullptr;
    const PixelShaderConstants *pixelShaderConstants_ = nullptr;
    Sampler samplers_[D3D8_MAX_TEXTURE_STAGES];
    uint32_t sampledStages_ = 0;
    Blender blender_;
    DepthStencilUnit depthStencil_;
    FogSetup fog_;
    PixelRect scissor_;
    uint8_t *colorBits_ = nullptr;
    uint32_t colorPitch_ = 0;
    bool targetHasAlpha_ = true;
    bool alphaTest_ = false;
    DWORD alphaFunc_ = D3DCMP_ALWAYS;
    uint32_t alphaRef_ = 0;
    uint32_t keepMask_ = 0;  // bits of the old pixel that survive the channel mask
};

}  // namespace swr
