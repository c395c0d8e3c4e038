// Point sprites in the rasteriser: the squares they cover under the fill rule, their
// sizes (render state, per vertex, clamps, distance attenuation), the texture
// coordinates they spread over every stage, clipping, and that threads change nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/d3d8/swr/swr_point_sprite.h"
#include "swr_test_scene.h"

namespace swr_point_sprite_test {

namespace {

using swrtest::CountCoverage;
using swrtest::Scene;
using swrtest::TestTexture;
using swrtest::TLVertex;

struct SizedVertex {
    float x, y, z, rhw;
    float size;
    D3DCOLOR color;
};
constexpr DWORD kSizedFvf = D3DFVF_XYZRHW | D3DFVF_PSIZE | D3DFVF_DIFFUSE;

struct WorldVertex {
    float x, y, z;
    D3DCOLOR color;
};
constexpr DWORD kWorldFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;

void EnableSprites(Scene &s, float size) {
    s.SetState(D3DRS_POINTSPRITEENABLE, TRUE);
    s.SetFloatState(D3DRS_POINTSIZE, size);
}

// The covered pixels as a rectangle [x0, x1) x [y0, y1); false when they are not one.
bool CoveredRect(const Scene &s, uint32_t background, int32_t &x0, int32_t &y0, int32_t &x1, int32_t &y1) {
    x0 = y0 = INT32_MAX;
    x1 = y1 = INT32_MIN;
    uint32_t n = 0;
    for (int32_t y = 0; y < int32_t(s.color.height); ++y) {
        for (int32_t x = 0; x < int32_t(s.color.width); ++x) {
            if (s.Pixel(x, y) == background) continue;
            ++n;
            x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x + 1), y1 = std::max(y1, y + 1);
        }
    }
    return n > 0 && n == uint32_t((x1 - x0) * (y1 - y0));
}

TEST(PointSpriteCoverage, SquareOfThePointSizeUnderTheFillRule) {
    struct Case {
        float x, y, size;
        int32_t x0, y0, x1, y1;
    };
    // Pixel centres lie on integers: an edge through a centre covers it on the left and
    // top only.
    const Case cases[] = {
        {4.0f, 4.0f, 4.0f, 2, 2, 6, 6},
        {4.5f, 4.5f, 3.0f, 3, 3, 6, 6},
        {4.25f, 6.0f, 1.0f, 4, 6, 5, 7},
        {10.0f, 3.0f, 5.0f, 8, 1, 13, 6},  // [7.5, 12.5) x [0.5, 5.5)
    };
    for (const Case &c : cases) {
        Scene s(16, 16);
        EnableSprites(s, c.size);
        ASSERT_TRUE(s.Draw(D3DPT_POINTLIST, std::vector<TLVertex>{{c.x, c.y, 0, 1, 0xFF102030u}}, 1));
        int32_t x0, y0, x1, y1;
        ASSERT_TRUE(CoveredRect(s, 0, x0, y0, x1, y1)) << c.x << ", " << c.y;
        EXPECT_EQ(x0, c.x0);
        EXPECT_EQ(y0, c.y0);
        EXPECT_EQ(x1, c.x1);
        EXPECT_EQ(y1, c.y1);
        EXPECT_EQ(s.Pixel(x0, y0), 0xFF102030u);
    }
}

TEST(PointSpriteCoverage, NeighboursSharingAnEdgeCoverEachPixelOnce) {
    Scene s(12, 8);
    CountCoverage(s);
    EnableSprites(s, 2.0f);
    const std::vector<TLVertex> points = {{2, 2, 0, 1, 0x00010101u}, {4, 2, 0, 1, 0x00010101u},
                                          {2, 4, 0, 1, 0x00010101u}, {4, 4, 0, 1, 0x00010101u}};
    ASSERT_TRUE(s.Draw(D3DPT_POINTLIST, points, 4));
    EXPECT_EQ(s.CountPixels(0x00010101u), 16u);
    EXPECT_EQ(s.CountPixels(0x00020202u), 0u);
}

TEST(PointSpriteCoverage, OnlyPointListsWithTheStateOnBecomeSprites) {
    Scene s(8, 8);
    ASSERT_TRUE(s.Draw(D3DPT_POINTLIST, std::vector<TLVertex>{{4, 4, 0, 1, 0xFFFFFFFFu}}, 1));
    EXPECT_EQ(s.CountPixels(0xFFFFFFFFu), 1u);  // an ordinary point
    EnableSprites(s, 4.0f);
    s.FillPixels(0);
    ASSERT_TRUE(s.Draw(D3DPT_LINELIST, std::vector<TLVertex>{{1, 1, 0, 1, 0xFFFFFFFFu}, {5, 1, 0, 1, 0xFFFFFFFFu}}, 1));
    EXPECT_EQ(s.Pixel(3, 1), 0xFFFFFFFFu);  // lines stay lines
    EXPECT_EQ(s.Pixel(3, 0), 0u);
    EXPECT_EQ(s.Pixel(3, 2), 0u);
}

TEST(PointSpriteSize, PerVertexSizeWithTheStateClamps) {
    struct Case {
        float size, minimum, maximum;
        uint32_t pixels;
    };
    const Case cases[] = {
        {2.0f, 0.0f, 64.0f, 4},     {1.0f, 3.0f, 64.0f, 9},   {9.0f, 0.0f, 6.0f, 36},
        {100.0f, 0.0f, 64.0f, 64 * 64},  // the device's own limit
        {100.0f, 0.0f, 1000.0f, 64 * 64}, {0.0f, 0.0f, 64.0f, 0},
    };
    for (const Case &c : cases) {
        Scene s(80, 80);
        EnableSprites(s, 20.0f);  // the vertex's size wins
        s.SetFloatState(D3DRS_POINTSIZE_MIN, c.minimum);
        s.SetFloatState(D3DRS_POINTSIZE_MAX, c.maximum);
        ASSERT_TRUE(s.Draw(D3DPT_POINTLIST, std::vector<SizedVertex>{{40, 40, 0, 1, c.size, 0xFFFFFFFFu}}, 1, kSizedFvf));
        EXPECT_EQ(s.CountPixels(0xFFFFFFFFu), c.pixels) << c.size << " in " << c.minimum << ".." << c.maximum;
    }
}

TEST(PointSpriteSize, ScaledByEyeDistanceForTransformedPointsOnly) {
    struct Case {
        float a, b, c, size, z;
        uint32_t edge;
    };
    // Edge = viewport height (64) * size * sqrt(1 / (A + B d + C d^2)).
    const Case cases[] = {
        {0.0f, 0.0f, 1.0f, 1.25f, 10.0f, 8},  // 64 * 1.25 / 10
        {4.0f, 0.0f, 0.0f, 0.25f, 10.0f, 8},  // 64 * 0.25 / 2
        {0.0f, 1.0f, 0.0f, 0.25f, 4.0f, 8},   // 64 * 0.25 / 2
        {1.0f, 0.0f, 0.0f, 0.0625f, 20.0f, 4},
    };
    for (const Case &c : cases) {
        Scene s(64, 64);
        s.state.projection = swrtest::PerspectiveMatrix(1.0f, 100.0f);
        EnableSprites(s, c.size);
        s.SetState(D3DRS_POINTSCALEENABLE, TRUE);
        s.SetFloatState(D3DRS_POINTSCALE_A, c.a);
        s.SetFloatState(D3DRS_POINTSCALE_B, c.b);
        s.SetFloatState(D3DRS_POINTSCALE_C, c.c);
        ASSERT_TRUE(s.Draw(D3DPT_POINTLIST, std::vector<WorldVertex>{{0, 0, c.z, 0xFFFFFFFFu}}, 1, kWorldFvf));
        int32_t x0, y0, x1, y1;
        ASSERT_TRUE(CoveredRect(s, 0, x0, y0, x1, y1));
        EXPECT_EQ(uint32_t(x1 - x0), c.edge);
        EXPECT_EQ(uint32_t(y1 - y0), c.edge);
        EXPECT_EQ(x0 + x1, 64);  // centred on the viewport
    }
    // Transformed vertices keep their size in pixels.
    Scene s(64, 64);
    EnableSprites(s, 3.0f);
    s.SetState(D3DRS_POINTSCALEENABLE, TRUE);
    ASSERT_TRUE(s.Draw(D3DPT_POINTLIST, std::vector<TLVertex>{{10, 10, 0, 0.5f, 0xFFFFFFFFu}}, 1));
    EXPECT_EQ(s.CountPixels(0xFFFFFFFFu), 9u);
}

TEST(PointSpriteTexturing, CoordinatesRunZeroToOneOnEveryStage) {
    // A 4x4 texture under point filtering shows texel for texel on a 4-pixel sprite.
    std::vector<uint32_t> texels(16);
    for (uint32_t i = 0; i < 16; ++i) texels[i] = 0xFF000000u | (i * 0x10u) << 16 | (i * 0x0Fu);
    TestTexture first(D3DFMT_A8R8G8B8), second(D3DFMT_A8R8G8B8);
    first.AddLevel(4, 4, texels);
    second.AddLevel(2, 2, {0xFF00FF00u, 0xFF0000FFu, 0xFFFF0000u, 0xFFFFFFFFu});
    Scene s(16, 16);
    swrtest::ShowTexture(s.state, first.View());
    EnableSprites(s, 4.0f);
    // The vertices bring no coordinates at all: sprites make their own.
    ASSERT_TRUE(s.Draw(D3DPT_POINTLIST, std::vector<TLVertex>{{4, 4, 0, 1, 0xFFFFFFFFu}}, 1));
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(s.Pixel(2 + x, 2 + y), texels[size_t(y) * 4 + x]) << x << ", " << y;
    }

    // Stage 1 adds its own texture to stage 0's.
    s.FillPixels(0);
    s.state.textures[1] = second.View();
    s.state.stageStates[1][D3DTSS_COLOROP] = D3DTOP_ADD;
    s.state.stageStates[1][D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    s.state.stageStates[1][D3DTSS_COLORARG2] = D3DTA_CURRENT;
    s.state.stageStates[1][D3DTSS_ALPHAOP] = D3DTOP_SELECTARG1;
    s.state.stageStates[1][D3DTSS_ALPHAARG1] = D3DTA_CURRENT;
    ASSERT_TRUE(s.Draw(D3DPT_POINTLIST, std::vector<TLVertex>{{12, 12, 0, 1, 0xFFFFFFFFu}}, 1));
    EXPECT_EQ(s.Pixel(10, 10), 0xFF00FF00u | texels[0]);
    EXPECT_EQ(s.Pixel(13, 10), 0xFF0000FFu | texels[3]);
    EXPECT_EQ(s.Pixel(10, 13), 0xFFFF0000u | texels[12]);
    EXPECT_EQ(s.Pixel(13, 13), 0xFFFFFFFFu);
}

TEST(PointSpriteTexturing, TheSpriteSizeChoosesTheMipLevel) {
    // A sprite as large as the texture reads its largest level; one a quarter of its
    // size the level a quarter as large.
    TestTexture tex(D3DFMT_A8R8G8B8);
    tex.AddLevel(8, 8, std::vector<uint32_t>(64, 0xFFFF0000u));
    tex.AddLevel(4, 4, std::vector<uint32_t>(16, 0xFF00FF00u));
    tex.AddLevel(2, 2, std::vector<uint32_t>(4, 0xFF0000FFu));
    Scene s(32, 32);
    swrtest::ShowTexture(s.state, tex.View());
    s.state.stageStates[0][D3DTSS_MIPFILTER] = D3DTEXF_POINT;
    EnableSprites(s, 8.0f);
    ASSERT_TRUE(s.Draw(D3DPT_POINTLIST, std::vector<TLVertex>{{8, 8, 0, 1, 0xFFFFFFFFu}}, 1));
    EXPECT_EQ(s.Pixel(8, 8), 0xFFFF0000u);
    s.SetFloatState(D3DRS_POINTSIZE, 2.0f);
    ASSERT_TRUE(s.Draw(D3DPT_POINTLIST, std::vector<TLVertex>{{24, 24, 0, 1, 0xFFFFFFFFu}}, 1));
    EXPECT_EQ(s.Pixel(24, 24), 0xFF0000FFu);
}

TEST(PointSpriteClipping, EdgesCutTheSquareAndNearFarDropIt) {
    std::vector<uint32_t> texels(16);
    for (uint32_t i = 0; i < 16; ++i) texels[i] = 0xFF000000u | i;
    TestTexture tex(D3DFMT_A8R8G8B8);
    tex.AddLevel(4, 4, texels);
    Scene s(8, 8);
    swrtest::ShowTexture(s.state, tex.View());
    EnableSprites(s, 4.0f);
    // Centred on the corner pixel: only its lower right quarter is on the target.
    ASSERT_TRUE(s.Draw(D3DPT_POINTLIST, std::vector<TLVertex>{{0, 0, 0, 1, 0xFFFFFFFFu}}, 1));
    EXPECT_EQ(s.CountPixels(0), 64u - 4u);
    EXPECT_EQ(s.Pixel(0, 0), texels[10]);
    EXPECT_EQ(s.Pixel(1, 1), texels[15]);

    Scene w(16, 16);
    w.state.projection = swrtest::PerspectiveMatrix(1.0f, 100.0f);
    EnableSprites(w, 4.0f);
    const std::vector<WorldVertex> points = {{0, 0, 0.5f, 0xFFFFFFFFu}, {0, 0, 200, 0xFFFFFFFFu},
                                             {0, 0, -5, 0xFFFFFFFFu}};
    ASSERT_TRUE(w.Draw(D3DPT_POINTLIST, points, 3, kWorldFvf));
    EXPECT_EQ(w.CountPixels(0), 256u);
    // Inside the depth range the sprite's centre decides its depth for every pixel.
    ASSERT_TRUE(w.Draw(D3DPT_POINTLIST, std::vector<WorldVertex>{{0, 0, 50, 0xFFFFFFFFu}}, 1, kWorldFvf));
    EXPECT_EQ(w.CountPixels(0xFFFFFFFFu), 16u);
}

TEST(PointSpriteDepth, EveryPixelTestsTheCentresDepth) {
    Scene s(16, 16, D3DFMT_A8R8G8B8, D3DFMT_D32);
    s.ClearDepthStencil(0.5f, 0);
    EnableSprites(s, 6.0f);
    const std::vector<TLVertex> points = {{5, 5, 0.75f, 1, 0xFFFF0000u}, {8, 8, 0.25f, 1, 0xFF00FF00u},
                                          {9, 9, 0.4f, 1, 0xFF0000FFu}};
    ASSERT_TRUE(s.Draw(D3DPT_POINTLIST, points, 3));
    EXPECT_EQ(s.CountPixels(0xFFFF0000u), 0u);  // behind the cleared depth
    EXPECT_EQ(s.Pixel(6, 6), 0xFF00FF00u);
    EXPECT_EQ(s.Pixel(8, 8), 0xFF00FF00u);      // the blue one is farther than green
    EXPECT_EQ(s.Pixel(11, 11), 0xFF0000FFu);
}

TEST(PointSpriteThreads, ManySpritesGiveTheSamePixelsOnAnyThreadCount) {
    std::vector<TLVertex> points;
    for (uint32_t i = 0; i < 60; ++i) {
        const float x = float((i * 37) % 128), y = float((i * 53) % 128);
        points.push_back({x + 0.3f, y + 0.6f, 0, 1, 0xFF000000u | (i * 0x040507u)});
    }
    auto render = [&](uint32_t threads) {
        swr::SetThreadCount(threads);
        Scene s(128, 128);
        EnableSprites(s, 40.0f);
        EXPECT_TRUE(s.Draw(D3DPT_POINTLIST, points, uint32_t(points.size())));
        std::vector<uint32_t> pixels;
        for (int32_t y = 0; y < 128; ++y) {
            for (int32_t x = 0; x < 128; ++x) pixels.push_back(s.Pixel(x, y));
        }
        return pixels;
    };
    const std::vector<uint32_t> one = render(1);
    const std::vector<uint32_t> many = render(4);
    swr::SetThreadCount(0);
    EXPECT_EQ(one, many);
    // The last sprite drawn is on top at its centre.
    EXPECT_EQ(one[size_t(points.back().y + 0.5f) * 128 + size_t(points.back().x + 0.5f)], points.back().color);
}

}  // namespace

}  // namespace swr_point_sprite_test
