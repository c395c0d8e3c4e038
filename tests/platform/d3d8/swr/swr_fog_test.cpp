// Fog: linear, exp and exp2 curves at known eye depths, computed per vertex and per
// pixel (table), range-based vertex fog, vertex-supplied factors, and the mix towards
// the fog colour.
#include <gtest/gtest.h>

#include "platform/d3d8/swr/swr_fog.h"
#include "swr_test_scene.h"

namespace swr_fog_test {

namespace {

using swrtest::Scene;

struct V {
    float x, y, z;
    D3DCOLOR c;
};
constexpr DWORD kFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;

// A white quad filling the viewport at eye depth `depth`, seen through a perspective
// projection whose w is the eye depth.
uint32_t FoggedPixel(DWORD where, DWORD mode, float depth, float start, float end, float density) {
    Scene s(8, 8);
    s.state.projection = swrtest::PerspectiveMatrix(1.0f, 100.0f);
    s.SetState(D3DRS_FOGENABLE, TRUE);
    s.SetState(D3DRS_FOGCOLOR, 0x000000FFu);
    s.SetState(static_cast<D3DRENDERSTATETYPE>(where), mode);
    s.SetFloatState(D3DRS_FOGSTART, start);
    s.SetFloatState(D3DRS_FOGEND, end);
    s.SetFloatState(D3DRS_FOGDENSITY, density);
    const float e = depth;
    const std::vector<V> v{{-e, e, e, 0xFFFFFFFFu}, {e, e, e, 0xFFFFFFFFu}, {-e, -e, e, 0xFFFFFFFFu},
                           {e, -e, e, 0xFFFFFFFFu}};
    EXPECT_TRUE(s.Draw(D3DPT_TRIANGLESTRIP, v, 2, kFvf));
    return s.Pixel(3, 5);
}

TEST(Fog, CurvesPerVertexAndPerPixel) {
    struct Case { DWORD mode; float depth, start, end, density; uint32_t expected; };
    // Factor f to 8 bits, then white * f + blue * (1 - f): red and green are f, blue 255.
    const Case cases[] = {
        {D3DFOG_LINEAR, 4.0f, 0.0f, 10.0f, 1.0f, 0xFF9999FFu},  // 0.6 -> 153
        {D3DFOG_LINEAR, 12.0f, 2.0f, 10.0f, 1.0f, 0xFF0000FFu}, // past the end: 0
        {D3DFOG_LINEAR, 1.5f, 2.0f, 10.0f, 1.0f, 0xFFFFFFFFu},  // before the start: 1
        {D3DFOG_EXP, 4.0f, 0.0f, 1.0f, 0.1f, 0xFFABABFFu},      // e^-0.4 = 0.6703 -> 171
        {D3DFOG_EXP2, 4.0f, 0.0f, 1.0f, 0.1f, 0xFFD9D9FFu},     // e^-0.16 = 0.8521 -> 217
    };
    for (const Case &c : cases) {
        EXPECT_EQ(FoggedPixel(D3DRS_FOGVERTEXMODE, c.mode, c.depth, c.start, c.end, c.density), c.expected)
            << "vertex mode " << c.mode << " at " << c.depth;
        EXPECT_EQ(FoggedPixel(D3DRS_FOGTABLEMODE, c.mode, c.depth, c.start, c.end, c.density), c.expected)
            << "table mode " << c.mode << " at " << c.depth;
    }
}

TEST(Fog, TableFogFollowsDepthPerPixel) {
    // A floor receding from eye depth 2 (bottom) to 18 (top) under linear fog over
    // 0..20: each row is fogged by its own depth, so the colour falls row by row
    // towards the top instead of following a straight line between the ends.
    Scene s(4, 64);
    s.state.projection = swrtest::PerspectiveMatrix(1.0f, 100.0f);
    s.SetState(D3DRS_FOGENABLE, TRUE);
    s.SetState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
    s.SetFloatState(D3DRS_FOGSTART, 0.0f);
    s.SetFloatState(D3DRS_FOGEND, 20.0f);
    const std::vector<V> v{{-20, 1, 18, 0xFFFFFFFFu}, {20, 1, 18, 0xFFFFFFFFu}, {-2, -1, 2, 0xFFFFFFFFu},
                           {2, -1, 2, 0xFFFFFFFFu}};
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLESTRIP, v, 2, kFvf));
    uint32_t previous = 0;
    for (int y = 0; y < 64; ++y) {
        const uint32_t red = (s.Pixel(1, y) >> 16) & 0xFF;
        if (red == 0) continue;  // rows the floor does not reach
        EXPECT_GE(red, previous) << y;
        previous = red;
    }
    EXPECT_GE(previous, 200u);  // near rows are barely fogged (depth ~2: 0.9 -> 230)
}

TEST(Fog, OrthographicTableFogMeasuresDepth) {
    Scene s(4, 4);
    s.SetState(D3DRS_FOGENABLE, TRUE);
    s.SetState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
    s.SetFloatState(D3DRS_FOGSTART, 0.0f);
    s.SetFloatState(D3DRS_FOGEND, 1.0f);
    // Identity projection: w stays 1, depth 0.25 -> factor 0.75 -> 191.
    const std::vector<V> v{{-1, 1, 0.25f, 0xFFFFFFFFu}, {1, 1, 0.25f, 0xFFFFFFFFu}, {-1, -1, 0.25f, 0xFFFFFFFFu},
                           {1, -1, 0.25f, 0xFFFFFFFFu}};
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLESTRIP, v, 2, kFvf));
    EXPECT_EQ(s.Pixel(1, 1), 0xFFBFBFBFu);
}

TEST(Fog, RangeFogMeasuresDistanceNotDepth) {
    for (const bool range : {false, true}) {
        Scene s(8, 8);
        s.state.projection = swrtest::PerspectiveMatrix(1.0f, 100.0f);
        s.SetState(D3DRS_FOGENABLE, TRUE);
        s.SetState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
        s.SetState(D3DRS_RANGEFOGENABLE, range);
        s.SetFloatState(D3DRS_FOGSTART, 0.0f);
        s.SetFloatState(D3DRS_FOGEND, 20.0f);
        // One point at (3, 0, 4): depth 4 -> 0.8 -> 204; distance 5 -> 0.75 -> 191.
        const std::vector<V> p{{3, 0, 4, 0xFFFFFFFFu}};
        ASSERT_TRUE(s.Draw(D3DPT_POINTLIST, p, 1, kFvf));
        EXPECT_EQ(s.Pixel(7, 4), range ? 0xFFBFBFBFu : 0xFFCCCCCCu);
    }
}

TEST(Fog, ScreenSpaceVerticesBringTheirFactorInSpecularAlpha) {
    struct TV { float x, y, z, rhw; D3DCOLOR diffuse, specular; };
    Scene s(2, 2);
    s.SetState(D3DRS_FOGENABLE, TRUE);
    s.SetState(D3DRS_FOGCOLOR, 0x00204060u);
    const D3DCOLOR d = 0xFFFFFFFFu, sp = 0x64000000u;  // factor 100
    const std::vector<TV> v{{0, 0, 0, 1, d, sp}, {2, 0, 0, 1, d, sp}, {0, 2, 0, 1, d, sp}};
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, v, 1, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR));
    // round((255 * 100 + c * 155) / 255): 0x20 -> 119.45 -> 119, 0x40 -> 139, 0x60 -> 158.
    EXPECT_EQ(s.Pixel(0, 0), 0xFF778B9Eu);
}

}  // namespace

}  // namespace swr_fog_test
