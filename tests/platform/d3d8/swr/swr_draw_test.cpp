// Draw calls: primitive assembly for every primitive type, indexed drawing, the
// bounds checks that skip primitives whose indices or vertices lie outside their
// streams (the streams end against an unreadable page, so a stray read crashes), and
// textures as draws see them: mip levels on screen, a palette changed between draws,
// a texture drawn into and then drawn with, and a pixel shader in place of the stages.
#include <gtest/gtest.h>

#include "swr_test_scene.h"

namespace swr_draw_test {

namespace {

using swrtest::Quad;
using swrtest::Scene;
using swrtest::TLVertex;

constexpr D3DCOLOR kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu;

// Three separate triangles, each covering pixel (4k + 1, 1).
std::vector<TLVertex> ThreeTriangles() {
    std::vector<TLVertex> v;
    const D3DCOLOR colors[3] = {kRed, kGreen, kBlue};
    for (int k = 0; k < 3; ++k) {
        const float x = 4.0f * k;
        v.push_back({x, 0, 0, 1, colors[k]});
        v.push_back({x + 3, 0, 0, 1, colors[k]});
        v.push_back({x, 3, 0, 1, colors[k]});
    }
    return v;
}

TEST(DrawBounds, ShortVertexStreamDrawsOnlyWholePrimitives) {
    Scene s(12, 4);
    std::vector<TLVertex> v = ThreeTriangles();
    v.resize(8);  // the third triangle lacks its last vertex
    // Ask for far more primitives than the stream holds.
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, v, 1000000));
    EXPECT_EQ(s.Pixel(1, 1), kRed);
    EXPECT_EQ(s.Pixel(5, 1), kGreen);
    EXPECT_EQ(s.Pixel(9, 1), 0u);
}

TEST(DrawBounds, PartialLastVertexIsNotRead) {
    Scene s(12, 4);
    const std::vector<TLVertex> v = ThreeTriangles();
    // The stream ends 4 bytes into the last vertex: that vertex must be refused whole.
    swrtest::GuardedBytes bytes(v.data(), v.size() * sizeof(TLVertex) - 4);
    const swr::VertexStream stream{bytes.data(), bytes.size(), sizeof(TLVertex), swrtest::kTLFvf};
    ASSERT_TRUE(swr::DrawPrimitive(s.state, s.color, nullptr, D3DPT_TRIANGLELIST, stream, 0, 3));
    EXPECT_EQ(s.Pixel(5, 1), kGreen);
    EXPECT_EQ(s.Pixel(9, 1), 0u);
}

TEST(DrawBounds, OutOfRangeIndicesSkipOnlyTheirPrimitive) {
    Scene s(12, 4);
    const std::vector<TLVertex> v = ThreeTriangles();
    const std::vector<uint16_t> indices{0, 1, 2, 3, 4, 60000, 6, 7, 8};
    ASSERT_TRUE(s.DrawIndexed(D3DPT_TRIANGLELIST, v, indices, 3));
    EXPECT_EQ(s.Pixel(1, 1), kRed);
    EXPECT_EQ(s.Pixel(5, 1), 0u);
    EXPECT_EQ(s.Pixel(9, 1), kBlue);
}

TEST(DrawBounds, ShortIndexStreamAndHugeBaseVertexAreRefused) {
    Scene s(12, 4);
    const std::vector<TLVertex> v = ThreeTriangles();
    const std::vector<uint32_t> indices{6, 7, 8, 0, 1};  // the second triangle is cut short
    ASSERT_TRUE(s.DrawIndexed(D3DPT_TRIANGLELIST, v, indices, 500));
    EXPECT_EQ(s.Pixel(9, 1), kBlue);
    EXPECT_EQ(s.Pixel(1, 1), 0u);

    swrtest::GuardedBytes vb(v.data(), v.size() * sizeof(TLVertex));
    swrtest::GuardedBytes ib(indices.data(), indices.size() * 4);
    const swr::VertexStream stream{vb.data(), vb.size(), sizeof(TLVertex), swrtest::kTLFvf};
    const swr::IndexStream istream{ib.data(), ib.size(), true};
    // base + index wraps past 2^32 in 32-bit arithmetic; it must not alias vertex 0..8.
    ASSERT_TRUE(swr::DrawIndexedPrimitive(s.state, s.color, nullptr, D3DPT_TRIANGLELIST, stream, istream,
                                          0xFFFFFFFAu, 0, 9, 0, 1));
    EXPECT_EQ(s.Pixel(9, 1), kBlue);  // unchanged, and nothing else drawn
    EXPECT_EQ(s.Pixel(1, 1), 0u);
}

TEST(DrawBounds, MalformedRequestsAreRejected) {
    Scene s(4, 4);
    const std::vector<TLVertex> v = ThreeTriangles();
    EXPECT_FALSE(s.Draw(static_cast<D3DPRIMITIVETYPE>(7), v, 1));
    EXPECT_FALSE(s.Draw(D3DPT_TRIANGLELIST, v, 1, D3DFVF_DIFFUSE));  // no position
    // A stride shorter than the format.
    swrtest::GuardedBytes bytes(v.data(), v.size() * sizeof(TLVertex));
    const swr::VertexStream shortStride{bytes.data(), bytes.size(), 16, swrtest::kTLFvf};
    EXPECT_FALSE(swr::DrawPrimitive(s.state, s.color, nullptr, D3DPT_TRIANGLELIST, shortStride, 0, 1));
    EXPECT_EQ(s.CountPixels(0), 16u);
}

TEST(PrimitiveAssembly, StripsAndFansKeepOneWindingSoCullingKeepsAll) {
    // A strip and a fan over the same 4x4 square, culled counter-clockwise: every
    // piece must survive, covering all 16 pixels once.
    const std::vector<TLVertex> strip{{0, 0, 0, 1, kRed}, {4, 0, 0, 1, kRed}, {0, 4, 0, 1, kRed}, {4, 4, 0, 1, kRed}};
    const std::vector<TLVertex> fan{{0, 0, 0, 1, kRed}, {4, 0, 0, 1, kRed}, {4, 4, 0, 1, kRed}, {0, 4, 0, 1, kRed}};
    for (const auto &[type, verts] : {std::pair{D3DPT_TRIANGLESTRIP, strip}, std::pair{D3DPT_TRIANGLEFAN, fan}}) {
        Scene s(4, 4);
        s.SetState(D3DRS_CULLMODE, D3DCULL_CCW);
        ASSERT_TRUE(s.Draw(type, verts, 2));
        EXPECT_EQ(s.CountPixels(kRed), 16u) << type;
    }
}

TEST(PrimitiveAssembly, IndexedQuadSharesVerticesWithBaseVertexIndex) {
    Scene s(4, 4);
    std::vector<TLVertex> v(10, TLVertex{0, 0, 0, 1, 0});
    v[6] = {0, 0, 0, 1, kGreen};
    v[7] = {4, 0, 0, 1, kGreen};
    v[8] = {4, 4, 0, 1, kGreen};
    v[9] = {0, 4, 0, 1, kGreen};
    const std::vector<uint16_t> indices{0, 1, 2, 0, 2, 3};
    swrtest::GuardedBytes vb(v.data(), v.size() * sizeof(TLVertex));
    swrtest::GuardedBytes ib(indices.data(), indices.size() * 2);
    const swr::VertexStream stream{vb.data(), vb.size(), sizeof(TLVertex), swrtest::kTLFvf};
    const swr::IndexStream istream{ib.data(), ib.size(), false};
    ASSERT_TRUE(swr::DrawIndexedPrimitive(s.state, s.color, nullptr, D3DPT_TRIANGLELIST, stream, istream, 6, 0, 4, 0, 2));
    EXPECT_EQ(s.CountPixels(kGreen), 16u);
}

TEST(PrimitiveAssembly, FlatShadedStripTakesEachTrianglesFirstVertex) {
    Scene s(8, 2);
    s.SetState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    // Triangle 0 = (v0, v1, v2) is red; triangle 1 = (v1, v2, v3) takes v1: green.
    const std::vector<TLVertex> strip{{0, 0, 0, 1, kRed}, {8, 0, 0, 1, kGreen}, {0, 2, 0, 1, kBlue}, {8, 2, 0, 1, kBlue}};
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLESTRIP, strip, 2));
    EXPECT_EQ(s.Pixel(1, 0), kRed);
    EXPECT_EQ(s.Pixel(7, 1), kGreen);
}

TEST(TexturedDraw, QuarterSizeQuadShowsTheThirdLevelTexelForPixel) {
    // A 64x64 texture on a 16x16 quad: four texels per pixel, so lambda 2 and level 2
    // (16x16), whose texel i lands on pixel i.
    swrtest::TestTexture tex(D3DFMT_A8R8G8B8);
    for (uint32_t size = 64, level = 0; size >= 1; size /= 2, ++level) {
        std::vector<uint32_t> texels(size * size);
        for (uint32_t i = 0; i < texels.size(); ++i) texels[i] = 0xFF000000u | (level << 16) | ((i % size) << 8) | (i / size);
        tex.AddLevel(size, size, texels);
    }
    Scene s(16, 16);
    swrtest::ShowTexture(s.state, tex.View());
    s.state.stageStates[0][D3DTSS_MIPFILTER] = D3DTEXF_POINT;
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, swrtest::TexQuad(-0.5f, -0.5f, 15.5f, 15.5f, 0, 0, 1, 1), 2, swrtest::kTexFvf));
    for (uint32_t y = 0; y < 16; ++y) {
        for (uint32_t x = 0; x < 16; ++x) ASSERT_EQ(s.Pixel(x, y), 0xFF020000u | (x << 8) | y) << x << ", " << y;
    }
}

TEST(TexturedDraw, PaletteChangeBetweenDrawsRecoloursTheTexture) {
    swrtest::TestTexture tex(D3DFMT_P8);
    tex.AddLevel(2, 1, 2, {1, 2});
    PALETTEENTRY palette[256] = {};
    palette[1] = PALETTEENTRY{255, 0, 0, 255};
    palette[2] = PALETTEENTRY{0, 0, 255, 128};
    Scene s(2, 1);
    swrtest::ShowTexture(s.state, tex.View());
    s.state.palette = palette;
    const auto quad = swrtest::TexQuad(-0.5f, -0.5f, 1.5f, 0.5f, 0, 0, 1, 1);
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, quad, 2, swrtest::kTexFvf));
    EXPECT_EQ(s.Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(s.Pixel(1, 0), 0x800000FFu);
    palette[1] = PALETTEENTRY{0, 255, 0, 64};
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, quad, 2, swrtest::kTexFvf));
    EXPECT_EQ(s.Pixel(0, 0), 0x4000FF00u);
    EXPECT_EQ(s.Pixel(1, 0), 0x800000FFu);
}

TEST(TexturedDraw, RenderToTextureThenDrawThatTexture) {
    // The texture's level is a colour target with its own depth buffer: a red square at
    // depth 0.5 hides the far half of a green one drawn after it.
    std::vector<uint32_t> texels(8 * 8, 0);
    std::vector<uint32_t> depthWords(8 * 8, 0);
    swr::ColorTarget level{8, 8, 32, D3DFMT_X8R8G8B8, reinterpret_cast<uint8_t *>(texels.data())};
    swr::DepthTarget levelDepth{8, 8, 32, D3DFMT_D24X8, reinterpret_cast<uint8_t *>(depthWords.data())};
    swr::DrawState draw{};
    swr::SetDefaultStates(draw, true);
    draw.viewport = D3DVIEWPORT8{0, 0, 8, 8, 0.0f, 1.0f};
    draw.renderStates[D3DRS_LIGHTING] = FALSE;
    draw.stageStates[0][D3DTSS_COLOROP] = D3DTOP_SELECTARG2;
    draw.stageStates[0][D3DTSS_COLORARG2] = D3DTA_DIFFUSE;
    swr::Clear(draw.viewport, &level, &levelDepth, 0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FFu, 1.0f, 0);
    auto drawQuad = [&](const std::vector<swrtest::TLVertex> &v) {
        swrtest::GuardedBytes bytes(v.data(), v.size() * sizeof(swrtest::TLVertex));
        const swr::VertexStream stream{bytes.data(), bytes.size(), sizeof(swrtest::TLVertex), swrtest::kTLFvf};
        return swr::DrawPrimitive(draw, level, &levelDepth, D3DPT_TRIANGLELIST, stream, 0, 2);
    };
    ASSERT_TRUE(drawQuad(Quad(0, 0, 4, 8, 0.5f, 0xFFFF0000u)));
    ASSERT_TRUE(drawQuad(Quad(2, 0, 6, 8, 0.75f, 0xFF00FF00u)));

    // Now the same memory as a texture, shown texel for pixel on the screen.
    const swr::TextureLevel view{8, 8, 32, reinterpret_cast<const uint8_t *>(texels.data())};
    Scene screen(8, 8);
    swrtest::ShowTexture(screen.state, swr::TextureView{D3DFMT_X8R8G8B8, 1, false, &view});
    ASSERT_TRUE(screen.Draw(D3DPT_TRIANGLELIST, swrtest::TexQuad(-0.5f, -0.5f, 7.5f, 7.5f, 0, 0, 1, 1), 2,
                            swrtest::kTexFvf));
    const D3DCOLOR want[8] = {kRed, kRed, kRed, kRed, kGreen, kGreen, kBlue, kBlue};
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(screen.Pixel(x, y), want[x]) << x << ", " << y;
    }
}

TEST(TexturedDraw, PixelShaderReplacesTheStagesAndSamplesItsOwnStages) {
    // tex t0; mul r0, t0, v0 -- while the stages would show the texture factor and read
    // no texture at all.
    const swr::PixelShaderProgram program = swrtest::TextureTimesProgram(swr::PsReg::Input);
    swrtest::TestTexture tex(D3DFMT_A8R8G8B8);
    tex.AddLevel(1, 1, {0xFFC86432u});  // (200, 100, 50, 255)
    Scene s(2, 2);
    s.state.textures[0] = tex.View();
    s.state.stageStates[0][D3DTSS_COLOROP] = D3DTOP_SELECTARG1;
    s.state.stageStates[0][D3DTSS_COLORARG1] = D3DTA_TFACTOR;
    s.state.pixelShader = &program;
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, swrtest::TexQuad(-0.5f, -0.5f, 1.5f, 1.5f, 0, 0, 1, 1, 0x80808080u), 2,
                       swrtest::kTexFvf));
    // Each channel is round(texel * 128 / 255).
    EXPECT_EQ(s.Pixel(1, 1), 0x80643219u);
}

}  // namespace

}  // namespace swr_draw_test
