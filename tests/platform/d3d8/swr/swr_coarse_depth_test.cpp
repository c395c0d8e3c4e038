// The coarse depth of a depth target's tiles: whole tiles a large alpha-tested triangle
// lies behind are skipped, never a tile where some pixel would pass. The edge cases: equal depths
// (LESSEQUAL passes them, LESS does not), bounds of cleared tiles and of tiles worked
// out again from the words, and writes that raise depth, through the span routines and
// through the general path.
#include <gtest/gtest.h>

#include "platform/d3d8/swr/swr_coarse_depth.h"
#include "swr_test_scene.h"

namespace swr_coarse_depth_test {

namespace {

using swrtest::Quad;
using swrtest::Scene;

constexpr uint32_t kW = 64, kH = 48;  // 8 x 6 whole tiles
constexpr uint32_t kTiles = (kW / 8) * (kH / 8);
// Each of a quad's two triangles spans every tile of the quad, and asks for each.
constexpr uint32_t kQuadTiles = 2 * kTiles;
constexpr D3DCOLOR kGreen = 0xFF00FF00u, kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu;

class CoarseDepthTest : public ::testing::TestWithParam<D3DFORMAT> {
protected:
    CoarseDepthTest() : s(kW, kH, D3DFMT_A8R8G8B8, GetParam()) {
        s.KeepCoarseDepth();
        s.FillPixels(0xFF000000u);
        // An alpha test every pixel passes: the depth test comes after texturing.
        s.SetState(D3DRS_ALPHATESTENABLE, TRUE);
        s.SetState(D3DRS_ALPHAFUNC, D3DCMP_ALWAYS);
        swr::TakeCoarseRejections();
    }
    // A quad over the whole target at depth z, tested by `func`, writing depth or not.
    void DrawQuad(float z, DWORD func, bool write, D3DCOLOR c) {
        s.SetState(D3DRS_ZFUNC, func);
        s.SetState(D3DRS_ZWRITEENABLE, write);
        ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, kW, kH, z, c), 2));
    }
    uint32_t Count(D3DCOLOR c) const { return s.CountPixels(c); }

    Scene s;
};

TEST_P(CoarseDepthTest, EqualDepthPassesLessEqualAndFailsLessAtClearedAndWorkedOutTiles) {
    s.ClearDepthStencil(0.5f, 0);  // every tile's bound from the clear
    DrawQuad(0.5f, D3DCMP_LESS, false, kRed);
    EXPECT_EQ(Count(kRed), 0u);
    EXPECT_EQ(swr::TakeCoarseRejections(), kQuadTiles);
    DrawQuad(0.5f, D3DCMP_LESSEQUAL, false, kGreen);
    EXPECT_EQ(Count(kGreen), kW * kH);
    EXPECT_EQ(swr::TakeCoarseRejections(), 0u);
    // Nearer, written: the tiles go stale, and their bounds are worked out again.
    DrawQuad(0.25f, D3DCMP_LESSEQUAL, true, kBlue);
    EXPECT_EQ(Count(kBlue), kW * kH);
    DrawQuad(0.25f, D3DCMP_LESS, false, kRed);
    EXPECT_EQ(Count(kRed), 0u);
    EXPECT_EQ(swr::TakeCoarseRejections(), kQuadTiles);
    DrawQuad(0.25f, D3DCMP_LESSEQUAL, false, kGreen);
    EXPECT_EQ(Count(kGreen), kW * kH);
}

TEST_P(CoarseDepthTest, AFartherTriangleSkipsOnlyTheTilesItLiesBehind) {
    s.ClearDepthStencil(1.0f, 0);
    // The left half near: farther triangles lie behind its tiles only.
    s.SetState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, kW / 2, kH, 0.2f, kBlue), 2));
    swr::TakeCoarseRejections();
    DrawQuad(0.6f, D3DCMP_LESSEQUAL, true, kGreen);
    EXPECT_EQ(swr::TakeCoarseRejections(), kQuadTiles / 2);
    EXPECT_EQ(Count(kBlue), kW * kH / 2);
    EXPECT_EQ(Count(kGreen), kW * kH / 2);
}

// Writes that raise depth (an ALWAYS test, or a draw that takes the general path) make
// their tiles stale: a later triangle between the old and the new depths is drawn.
TEST_P(CoarseDepthTest, WritesThatRaiseDepthAreSeenByLaterTests) {
    for (bool general : {false, true}) {
        s.ClearDepthStencil(0.2f, 0);
        if (general) {
            // A dot product takes the general per-pixel path.
            s.state.stageStates[0][D3DTSS_COLOROP] = D3DTOP_DOTPRODUCT3;
            s.state.stageStates[0][D3DTSS_COLORARG1] = D3DTA_DIFFUSE;
        }
        DrawQuad(0.9f, D3DCMP_ALWAYS, true, kBlue);
        s.state.stageStates[0][D3DTSS_COLOROP] = D3DTOP_SELECTARG2;
        s.state.stageStates[0][D3DTSS_COLORARG2] = D3DTA_DIFFUSE;
        DrawQuad(0.5f, D3DCMP_LESSEQUAL, false, kGreen);
        EXPECT_EQ(Count(kGreen), kW * kH) << (general ? "general path" : "span routines");
        s.FillPixels(0xFF000000u);
    }
}

INSTANTIATE_TEST_SUITE_P(DepthFormats, CoarseDepthTest, ::testing::Values(D3DFMT_D24S8, D3DFMT_D16, D3DFMT_D24X8));

}  // namespace

}  // namespace swr_coarse_depth_test
