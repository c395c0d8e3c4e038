// Triangle coverage: the top-left fill rule with pixel centres at integer coordinates,
// culling, and shading across a triangle.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "platform/d3d8/swr/swr_triangle_raster.h"
#include "swr_test_scene.h"

namespace swr_triangle_raster_test {

namespace {

using swrtest::Quad;
using swrtest::Scene;
using swrtest::TLVertex;

using swrtest::CountCoverage;

constexpr D3DCOLOR kOne = 0x00000001u;

// Strictly inside a convex polygon (either winding), more than `margin` from every edge.
bool InsideConvex(const std::vector<std::pair<double, double>> &poly, double px, double py, double margin) {
    double sign = 0;
    for (size_t i = 0; i < poly.size(); ++i) {
        const auto [ax, ay] = poly[i];
        const auto [bx, by] = poly[(i + 1) % poly.size()];
        const double len = std::hypot(bx - ax, by - ay);
        if (len == 0) continue;
        const double d = ((bx - ax) * (py - ay) - (by - ay) * (px - ax)) / len;
        if (std::fabs(d) <= margin) return false;
        if (sign == 0) sign = d;
        else if ((d > 0) != (sign > 0)) return false;
    }
    return true;
}

// Beyond some edge of a counter-clockwise (in y-up terms) convex polygon by more than `margin`.
bool OutsideConvex(const std::vector<std::pair<double, double>> &poly, double px, double py, double margin) {
    for (size_t i = 0; i < poly.size(); ++i) {
        const auto [ax, ay] = poly[i];
        const auto [bx, by] = poly[(i + 1) % poly.size()];
        const double len = std::hypot(bx - ax, by - ay);
        if (len == 0) continue;
        if (((bx - ax) * (py - ay) - (by - ay) * (px - ax)) / len < -margin) return true;
    }
    return false;
}

TEST(TriangleCoverage, SharedEdgeSquareIsHalfBlendedOnceEverywhere) {
    Scene s(12, 12);
    s.SetState(D3DRS_ALPHABLENDENABLE, TRUE);
    s.SetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    s.SetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    s.FillPixels(0xFF000000u);
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(2, 2, 10, 10, 0, 0x80FF0000u), 2));
    // Once: round((255 * 128 + 0 * 127) / 255) = 128; twice would give 192.
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            const bool inside = x >= 2 && x < 10 && y >= 2 && y < 10;
            ASSERT_EQ(s.Pixel(x, y), inside ? 0xBF800000u : 0xFF000000u) << x << "," << y;
        }
    }
}

TEST(TriangleCoverage, PixelCentresOnIntegersAndTopLeftEdgesOwnTheirPixels) {
    Scene s(8, 8);
    CountCoverage(s);
    // A quad from 1.5 to 4.5 covers centres 2, 3, 4; one from 1 to 4 covers 1, 2, 3.
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(1.5f, 1.0f, 4.5f, 4.0f, 0, kOne), 2));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x <= 4 && y >= 1 && y <= 3;
            ASSERT_EQ(s.Pixel(x, y), inside ? 1u : 0u) << x << "," << y;
        }
    }
}

TEST(TriangleCoverage, FanOfSliversCoversItsPolygonExactlyOnce) {
    Scene s(40, 40);
    CountCoverage(s);
    // An irregular convex polygon around an off-grid centre, split into 61 thin pieces.
    std::vector<TLVertex> fan{{19.3f, 20.7f, 0, 1, kOne}};
    std::vector<std::pair<double, double>> rim;
    const int n = 60;
    for (int i = 0; i <= n; ++i) {
        const double a = 2.0 * M_PI * (i % n) / n;
        const float x = static_cast<float>(19.3 + 15.1 * std::cos(a));
        const float y = static_cast<float>(20.7 + 13.3 * std::sin(a));
        fan.push_back({x, y, 0, 1, kOne});
        if (i < n) rim.push_back({x, y});
    }
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLEFAN, fan, n));
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            ASSERT_LE(s.Pixel(x, y), 1u) << x << "," << y;
            if (InsideConvex(rim, x, y, 1e-3)) {
                ASSERT_EQ(s.Pixel(x, y), 1u) << x << "," << y;
            }
            if (OutsideConvex(rim, x, y, 1e-3)) {
                ASSERT_EQ(s.Pixel(x, y), 0u) << x << "," << y;
            }
        }
    }
}

TEST(TriangleCoverage, StripOfSliversTilesItsBandWithoutGapsOrOverlaps) {
    Scene s(64, 16);
    CountCoverage(s);
    // A band between y = 2 and y = 13.5 cut into slivers at irregular x positions.
    std::vector<TLVertex> strip;
    float top = 0.0f, bottom = 0.0f;
    for (int i = 0; i < 40; ++i) {
        strip.push_back({top, 2.0f, 0, 1, kOne});
        strip.push_back({bottom, 13.5f, 0, 1, kOne});
        top += 0.37f + 0.61f * static_cast<float>(i % 5) * 0.5f;
        bottom += 0.53f + 0.29f * static_cast<float>(i % 3);
    }
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLESTRIP, strip, static_cast<uint32_t>(strip.size() - 2)));
    const float reach = std::min(strip[strip.size() - 2].x, strip.back().x);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 64; ++x) {
            ASSERT_LE(s.Pixel(x, y), 1u) << x << "," << y;
            const bool inBand = y >= 2 && y <= 13 && x >= 1 && x + 1 < reach;
            if (inBand) {
                ASSERT_EQ(s.Pixel(x, y), 1u) << x << "," << y;
            }
            if (y < 2 || y > 13) {
                ASSERT_EQ(s.Pixel(x, y), 0u) << x << "," << y;
            }
        }
    }
}

TEST(TriangleCoverage, CullModesFollowScreenWinding) {
    // Clockwise on screen (y down): right along the top, then down.
    const std::vector<TLVertex> clockwise{{1, 1, 0, 1, kOne}, {7, 1, 0, 1, kOne}, {1, 7, 0, 1, kOne}};
    const std::vector<TLVertex> counter{clockwise[0], clockwise[2], clockwise[1]};
    struct Case { DWORD cull; bool cwDrawn; bool ccwDrawn; };
    for (const Case c : {Case{D3DCULL_NONE, true, true}, Case{D3DCULL_CW, false, true}, Case{D3DCULL_CCW, true, false}}) {
        Scene s(8, 8);
        s.SetState(D3DRS_CULLMODE, c.cull);
        ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, clockwise, 1));
        EXPECT_EQ(s.Pixel(2, 2) != 0, c.cwDrawn) << c.cull;
        Scene t(8, 8);
        t.SetState(D3DRS_CULLMODE, c.cull);
        ASSERT_TRUE(t.Draw(D3DPT_TRIANGLELIST, counter, 1));
        EXPECT_EQ(t.Pixel(2, 2) != 0, c.ccwDrawn) << c.cull;
    }
}

TEST(TriangleShading, FlatTakesFirstVertexAndGouraudInterpolates) {
    const std::vector<TLVertex> tri{{0, 0, 0, 1, 0xFF000000u}, {16, 0, 0, 1, 0xFFFF0000u}, {0, 16, 0, 1, 0xFF0000FFu}};
    Scene flat(16, 16);
    flat.SetState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    ASSERT_TRUE(flat.Draw(D3DPT_TRIANGLELIST, tri, 1));
    EXPECT_EQ(flat.Pixel(1, 1), 0xFF000000u);
    EXPECT_EQ(flat.Pixel(10, 2), 0xFF000000u);

    Scene smooth(16, 16);
    ASSERT_TRUE(smooth.Draw(D3DPT_TRIANGLELIST, tri, 1));
    // At (4, 8): red = 255 * 4/16 = 63.75, blue = 255 * 8/16 = 127.5 +- rounding.
    const uint32_t p = smooth.Pixel(4, 8);
    EXPECT_EQ((p >> 16) & 0xFF, 64u);
    EXPECT_NEAR(static_cast<int>(p & 0xFF), 128, 1);
    EXPECT_EQ((p >> 8) & 0xFF, 0u);
}

TEST(TriangleShading, PerspectiveCorrectColourFollowsOneOverW) {
    Scene s(33, 4);
    // Left end at w = 1, right end at w = 4 (1/w = 0.25): halfway on screen the colour
    // is weighted 1 : 0.25, i.e. 255 * 0.25 / 1.25 = 51 towards the right end's red.
    const std::vector<TLVertex> v{{0, 0, 0, 1.0f, 0xFF000000u}, {32, 0, 0, 0.25f, 0xFFFF0000u},
                                  {32, 4, 0, 0.25f, 0xFFFF0000u}, {0, 4, 0, 1.0f, 0xFF000000u}};
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLEFAN, v, 2));
    EXPECT_EQ((s.Pixel(16, 2) >> 16) & 0xFF, 51u);
}

// Four corners snapped at once give each corner's own snap: the same refusal, and the
// same coordinates where it is kept, over halves and quarters of a subpixel either side
// of zero, values near the limit, values whose fraction a float only just holds, and
// values that are not finite.
TEST(TriangleCoverage, FourCornersSnapAsEachCornerAlone) {
    std::vector<float> values = {0.0f, -0.0f, std::numeric_limits<float>::quiet_NaN(),
                                 std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                                 std::numeric_limits<float>::denorm_min(), -std::numeric_limits<float>::denorm_min(),
                                 1e30f, -1e30f, 4096.0f, -4096.0f, 1048576.0f, -1048576.0f};
    for (int k = -2048; k <= 2048; ++k) {
        values.push_back(static_cast<float>(k) / 1024.0f);  // quarters of a subpixel about zero
    }
    for (const float base : {0.5f / 256.0f, 1.5f / 256.0f, 1000.5f / 256.0f, 1048575.5f, 32767.5f / 256.0f}) {
        for (const float sign : {1.0f, -1.0f}) {
            float v = sign * base;
            for (int step = 0; step < 4; ++step) {  // a few floats either side of a half
                values.push_back(v);
                values.push_back(std::nextafter(v, 0.0f));
                v = std::nextafter(v, sign * 1e30f);
            }
        }
    }
    std::mt19937 random(1234);
    for (int i = 0; i < 20000; ++i) {
        uint32_t bits = random();
        float v;
        std::memcpy(&v, &bits, 4);
        values.push_back(v);  // any float, most far outside
        values.push_back(std::uniform_real_distribution<float>(-1100000.0f, 1100000.0f)(random));
        values.push_back(std::uniform_real_distribution<float>(-3.0f, 3.0f)(random));
    }
    for (size_t i = 0; i + 8 <= values.size(); i += 3) {
        const float *x = &values[i];
        const float *y = &values[values.size() - 4 - i];
        int32_t sx[4], sy[4];
        const uint32_t kept = swr::SnapFourToGrid(x, y, sx, sy);
        for (int c = 0; c < 4; ++c) {
            int32_t ox = 0, oy = 0;
            const bool alone = swr::SnapToGrid(x[c], y[c], ox, oy);
            ASSERT_EQ(alone, ((kept >> c) & 1u) != 0) << x[c] << ", " << y[c];
            if (!alone) continue;
            ASSERT_EQ(ox, sx[c]) << x[c];
            ASSERT_EQ(oy, sy[c]) << y[c];
        }
    }
}

}  // namespace

}  // namespace swr_triangle_raster_test
