// The per-pixel path: alpha test (and that a rejected pixel leaves depth alone),
// channel write masks, the alpha byte of targets without alpha, the scissor to the
// viewport, and the stage combiner as untextured drawing uses it.
#include <gtest/gtest.h>

#include "swr_test_scene.h"

namespace swr_pixel_pipeline_test {

namespace {

using swrtest::CompareCase;
using swrtest::kCompareCases;
using swrtest::Quad;
using swrtest::Scene;

bool AlphaPasses(DWORD func, uint32_t alpha) {
    Scene s(2, 2);
    s.SetState(D3DRS_ALPHATESTENABLE, TRUE);
    s.SetState(D3DRS_ALPHAFUNC, func);
    s.SetState(D3DRS_ALPHAREF, 100);
    EXPECT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 2, 2, 0, (alpha << 24) | 0x00FFFFFFu), 2));
    return s.Pixel(0, 0) != 0;
}

TEST(AlphaTest, EveryFunctionAgainstTheReference) {
    for (const CompareCase &c : kCompareCases) {
        EXPECT_EQ(AlphaPasses(c.func, 99), c.below) << c.func;
        EXPECT_EQ(AlphaPasses(c.func, 100), c.equal) << c.func;
        EXPECT_EQ(AlphaPasses(c.func, 101), c.above) << c.func;
    }
}

TEST(AlphaTest, RejectedPixelsWriteNeitherDepthNorStencil) {
    Scene s(2, 2, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
    s.ClearDepthStencil(1.0f, 3);
    s.SetState(D3DRS_ALPHATESTENABLE, TRUE);
    s.SetState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    s.SetState(D3DRS_ALPHAREF, 0);
    s.SetState(D3DRS_STENCILENABLE, TRUE);
    s.SetState(D3DRS_STENCILPASS, D3DSTENCILOP_INCR);
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 2, 2, 0.5f, 0x00FFFFFFu), 2));
    EXPECT_EQ(s.Pixel(0, 0), 0u);
    EXPECT_EQ(s.DepthWord(0, 0), 0xFFFFFF03u);
}

TEST(ColorWrite, ChannelMaskKeepsDisabledChannels) {
    Scene s(2, 2);
    s.FillPixels(0x11223344u);
    s.SetState(D3DRS_COLORWRITEENABLE, D3DCOLORWRITEENABLE_RED | D3DCOLORWRITEENABLE_ALPHA);
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 2, 2, 0, 0xAABBCCDDu), 2));
    EXPECT_EQ(s.Pixel(1, 1), 0xAABB3344u);
}

TEST(ColorWrite, TargetWithoutAlphaAlwaysHoldsOpaqueAlpha) {
    Scene s(2, 2, D3DFMT_X8R8G8B8);
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 2, 2, 0, 0x12345678u), 2));
    EXPECT_EQ(s.Pixel(0, 0), 0xFF345678u);
    Scene a(2, 2, D3DFMT_A8R8G8B8);
    ASSERT_TRUE(a.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 2, 2, 0, 0x12345678u), 2));
    EXPECT_EQ(a.Pixel(0, 0), 0x12345678u);
}

TEST(Scissor, DrawingStaysInsideTheViewport) {
    Scene s(8, 8);
    s.state.viewport = D3DVIEWPORT8{2, 3, 4, 2, 0.0f, 1.0f};
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(-10, -10, 20, 20, 0, 0xFFFFFFFFu), 2));
    EXPECT_EQ(s.CountPixels(0xFFFFFFFFu), 8u);
    EXPECT_EQ(s.Pixel(2, 3), 0xFFFFFFFFu);
    EXPECT_EQ(s.Pixel(5, 4), 0xFFFFFFFFu);
    EXPECT_EQ(s.Pixel(6, 4), 0u);
    EXPECT_EQ(s.Pixel(5, 5), 0u);
}

TEST(Combiner, UntexturedStagesAsTheEngineSetsThem) {
    const D3DCOLOR vertex = 0x80C08040u;
    // Flat black objects: SELECTARG2 of the texture factor.
    Scene black(2, 2);
    black.SetState(D3DRS_TEXTUREFACTOR, 0xFF000000u);
    black.state.stageStates[0][D3DTSS_COLORARG2] = D3DTA_TFACTOR;
    black.state.stageStates[0][D3DTSS_ALPHAOP] = D3DTOP_DISABLE;
    ASSERT_TRUE(black.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 2, 2, 0, vertex), 2));
    EXPECT_EQ(black.Pixel(0, 0), 0x80000000u);  // alpha passes through from diffuse

    // Default stage 0 (MODULATE texture by current, alpha from the texture) with no
    // texture bound: the texture reads as opaque white.
    Scene plain(2, 2);
    swr::SetDefaultStates(plain.state);
    plain.state.viewport = D3DVIEWPORT8{0, 0, 2, 2, 0.0f, 1.0f};
    plain.SetState(D3DRS_LIGHTING, FALSE);
    ASSERT_TRUE(plain.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 2, 2, 0, vertex), 2));
    EXPECT_EQ(plain.Pixel(0, 0), 0xFFC08040u);

    // MODULATE diffuse by the factor: round(0xC0 * 0x80 / 255) = 96, 0x80 * 0x80 -> 64,
    // 0x40 * 0xFF -> 64; alpha 0x80 * 0x40 -> 32.
    Scene mod(2, 2);
    mod.SetState(D3DRS_TEXTUREFACTOR, 0x408080FFu);
    mod.state.stageStates[0][D3DTSS_COLOROP] = D3DTOP_MODULATE;
    mod.state.stageStates[0][D3DTSS_COLORARG1] = D3DTA_DIFFUSE;
    mod.state.stageStates[0][D3DTSS_COLORARG2] = D3DTA_TFACTOR;
    mod.state.stageStates[0][D3DTSS_ALPHAOP] = D3DTOP_MODULATE;
    mod.state.stageStates[0][D3DTSS_ALPHAARG1] = D3DTA_DIFFUSE;
    mod.state.stageStates[0][D3DTSS_ALPHAARG2] = D3DTA_TFACTOR;
    ASSERT_TRUE(mod.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 2, 2, 0, vertex), 2));
    EXPECT_EQ(mod.Pixel(0, 0), 0x20604040u);

    // A second stage reading CURRENT with complement: 255 - value.
    mod.state.stageStates[1][D3DTSS_COLOROP] = D3DTOP_SELECTARG1;
    mod.state.stageStates[1][D3DTSS_COLORARG1] = D3DTA_CURRENT | D3DTA_COMPLEMENT;
    mod.state.stageStates[1][D3DTSS_ALPHAOP] = D3DTOP_DISABLE;
    ASSERT_TRUE(mod.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 2, 2, 0, vertex), 2));
    EXPECT_EQ(mod.Pixel(0, 0), 0x209FBFBFu);
}

TEST(Combiner, SpecularIsAddedAfterTheStagesWhenEnabled) {
    struct V { float x, y, z, rhw; D3DCOLOR diffuse, specular; };
    const D3DCOLOR d = 0xFF804020u, sp = 0x00A0A010u;
    const std::vector<V> v{{0, 0, 0, 1, d, sp}, {2, 0, 0, 1, d, sp}, {0, 2, 0, 1, d, sp}};
    const DWORD fvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR;
    Scene off(2, 2);
    ASSERT_TRUE(off.Draw(D3DPT_TRIANGLELIST, v, 1, fvf));
    EXPECT_EQ(off.Pixel(0, 0), 0xFF804020u);
    Scene on(2, 2);
    on.SetState(D3DRS_SPECULARENABLE, TRUE);
    ASSERT_TRUE(on.Draw(D3DPT_TRIANGLELIST, v, 1, fvf));
    EXPECT_EQ(on.Pixel(0, 0), 0xFFFFE030u);
}

}  // namespace

}  // namespace swr_pixel_pipeline_test
