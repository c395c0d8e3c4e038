// The device's pixel-shader decoding and the rasteriser's interpreter:
// malformed token streams are refused, and programs that spell out a
// fixed-function arrangement give the combiner's exact values.
#include <gtest/gtest.h>

#include "platform/d3d8/pixel_shader.h"
#include "platform/d3d8/swr/swr_combiner.h"
#include "platform/d3d8/swr/swr_pixel_shader.h"

namespace pixel_shader_test {

namespace {

using namespace d3d8::ps;

swr::Rgba8 RunShader(const DWORD *tokens, swr::Rgba8 diffuse, swr::Rgba8 t0, swr::Rgba8 t1 = {}, float c0 = 0.0f)
{
    swr::PixelShaderProgram program;
    EXPECT_TRUE(d3d8::DecodePixelShader(tokens, 0, &program));
    swr::PixelShaderConstants constants;
    for (float &c : constants.c[0]) c = c0;
    swr::Rgba8 texels[D3D8_MAX_TEXTURE_STAGES] = {t0, t1};
    return swr::RunPixelShader(program, constants, diffuse, {}, texels);
}

TEST(PixelShaderDecode, RefusesWhatItCannotRun)
{
    swr::PixelShaderProgram program;
    const DWORD noEnd[] = {kVersion11, kMov, Dst(kRegTemp, 0), Src(kRegInput, 0)};
    EXPECT_FALSE(d3d8::DecodePixelShader(noEnd, 4, &program));
    const DWORD badVersion[] = {0xFFFF0200u, kEnd};
    EXPECT_FALSE(d3d8::DecodePixelShader(badVersion, 0, &program));
    const DWORD badRegister[] = {kVersion11, kMov, Dst(kRegTemp, 5), Src(kRegInput, 0), kEnd};
    EXPECT_FALSE(d3d8::DecodePixelShader(badRegister, 0, &program));
    const DWORD badOpcode[] = {kVersion11, 0x77, Dst(kRegTemp, 0), kEnd};
    EXPECT_FALSE(d3d8::DecodePixelShader(badOpcode, 0, &program));
    const DWORD writesTexture[] = {kVersion11, kMov, Dst(kRegTexture, 0), Src(kRegInput, 0), kEnd};
    EXPECT_FALSE(d3d8::DecodePixelShader(writesTexture, 0, &program));
    const DWORD ok[] = {kVersion10, kTex, Dst(kRegTexture, 1), kMov, Dst(kRegTemp, 0), Src(kRegTexture, 1), kEnd};
    ASSERT_TRUE(d3d8::DecodePixelShader(ok, 0, &program));
    EXPECT_EQ(program.count, 2u);
    EXPECT_EQ(program.sampledStages, 2u);
}

TEST(PixelShaderRun, ModulateMatchesTheCombiner)
{
    const DWORD tokens[] = {kVersion11, kTex, Dst(kRegTexture, 0),
                            kMul, Dst(kRegTemp, 0), Src(kRegTexture, 0), Src(kRegInput, 0), kEnd};
    for (int a = 0; a < 256; a += 17) {
        for (int b = 0; b < 256; b += 13) {
            const swr::Rgba8 d{uint8_t(a), uint8_t(b), uint8_t(255 - a), uint8_t(b)};
            const swr::Rgba8 t{uint8_t(b), uint8_t(a), uint8_t(a), uint8_t(255 - b)};
            const swr::Rgba8 got = RunShader(tokens, d, t);
            EXPECT_EQ(got.r, swr::Mul8(a, b));
            EXPECT_EQ(got.b, swr::Mul8(255 - a, a));
        }
    }
}

TEST(PixelShaderRun, ModifiersMasksAndSaturation)
{
    // r0.rgb = t0 * (1 - t0.a) + t1 ; r0.a = v0.a
    const DWORD tokens[] = {kVersion11,
                            kTex, Dst(kRegTexture, 0),
                            kTex, Dst(kRegTexture, 1),
                            kMad, Dst(kRegTemp, 0, kMaskRGB), Src(kRegTexture, 0),
                            Src(kRegTexture, 0, kReplicateAlpha, kModComp), Src(kRegTexture, 1),
                            kMov, Dst(kRegTemp, 0, kMaskA), Src(kRegInput, 0),
                            kEnd};
    const swr::Rgba8 got = RunShader(tokens, {0, 0, 0, 77}, {200, 100, 0, 55}, {100, 10, 5, 0});
    EXPECT_EQ(got.r, 255);  // 200 * 200/255 + 100 clamps
    EXPECT_EQ(got.g, swr::Mul8(100, 200) + 10);
    EXPECT_EQ(got.b, 5);
    EXPECT_EQ(got.a, 77);
}

TEST(PixelShaderRun, ConstantsScaleLikeTheTextureFactor)
{
    // r0 = t0 * c0 + v0, as MULTIPLYADD (CURRENT + TEXTURE * TFACTOR).
    const DWORD tokens[] = {kVersion11, kTex, Dst(kRegTexture, 0),
                            kMad, Dst(kRegTemp, 0), Src(kRegTexture, 0), Src(kRegConst, 0), Src(kRegInput, 0),
                            kEnd};
    const swr::Rgba8 got = RunShader(tokens, {10, 20, 30, 255}, {255, 128, 64, 255}, {}, 0.5f);
    const uint8_t c = 128;  // round(0.5 * 255)
    EXPECT_EQ(got.r, 10 + swr::Mul8(255, c));
    EXPECT_EQ(got.g, 20 + swr::Mul8(128, c));
    EXPECT_EQ(got.b, 30 + swr::Mul8(64, c));
}

TEST(PixelShaderTable, HandlesConstantsAndBinding)
{
    d3d8::PixelShaderTable table;
    const DWORD tokens[] = {kVersion11, kMov, Dst(kRegTemp, 0), Src(kRegInput, 0), kEnd};
    DWORD a = 0, b = 0;
    ASSERT_EQ(table.Create(tokens, &a), D3D_OK);
    ASSERT_EQ(table.Create(tokens, &b), D3D_OK);
    EXPECT_NE(a, 0u);
    EXPECT_NE(a, b);
    EXPECT_EQ(table.Set(b), D3D_OK);
    EXPECT_NE(table.Bound(), nullptr);
    EXPECT_EQ(table.Delete(b), D3D_OK);
    EXPECT_EQ(table.Bound(), nullptr);  // deleting the bound shader unbinds it
    EXPECT_EQ(table.Set(b), D3DERR_INVALIDCALL);
    const float c[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(table.SetConstant(7, c, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(table.SetConstant(6, c, 2), D3D_OK);
    float back[4];
    EXPECT_EQ(table.GetConstant(7, back, 1), D3D_OK);
    EXPECT_EQ(back[0], 5.0f);
}

}  // namespace

}  // namespace pixel_shader_test
