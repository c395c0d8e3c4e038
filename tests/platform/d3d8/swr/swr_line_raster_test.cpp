// Lines and points: which pixels a one-pixel line covers, the last-pixel state, line
// strips, and where a point lands.
#include <gtest/gtest.h>

#include "swr_test_scene.h"

namespace swr_line_raster_test {

namespace {

using swrtest::Scene;
using swrtest::TLVertex;

constexpr D3DCOLOR kWhite = 0xFFFFFFFFu;

std::vector<std::pair<int, int>> Covered(const Scene &s) {
    std::vector<std::pair<int, int>> out;
    for (int y = 0; y < static_cast<int>(s.color.height); ++y) {
        for (int x = 0; x < static_cast<int>(s.color.width); ++x) {
            if (s.Pixel(x, y)) out.push_back({x, y});
        }
    }
    return out;
}

using Pixels = std::vector<std::pair<int, int>>;

TEST(Lines, HorizontalLineCoversCentresFromStartUpToEnd) {
    const std::vector<TLVertex> line{{1, 2, 0, 1, kWhite}, {5, 2, 0, 1, kWhite}};
    Scene withLast(8, 4);
    ASSERT_TRUE(withLast.Draw(D3DPT_LINELIST, line, 1));
    EXPECT_EQ(Covered(withLast), (Pixels{{1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}}));
    Scene without(8, 4);
    without.SetState(D3DRS_LASTPIXEL, FALSE);
    ASSERT_TRUE(without.Draw(D3DPT_LINELIST, line, 1));
    EXPECT_EQ(Covered(without), (Pixels{{1, 2}, {2, 2}, {3, 2}, {4, 2}}));
}

TEST(Lines, ShallowLineStepsAlongXAndRoundsY) {
    Scene s(8, 4);
    s.SetState(D3DRS_LASTPIXEL, FALSE);
    // From (0, 0) to (6, 2): y = x / 3 -> 0, 0.33, 0.67, 1, 1.33, 1.67.
    const std::vector<TLVertex> line{{0, 0, 0, 1, kWhite}, {6, 2, 0, 1, kWhite}};
    ASSERT_TRUE(s.Draw(D3DPT_LINELIST, line, 1));
    EXPECT_EQ(Covered(s), (Pixels{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}}));
}

TEST(Lines, SteepLineDrawnBackwardsStepsAlongY) {
    Scene s(4, 8);
    s.SetState(D3DRS_LASTPIXEL, FALSE);
    // From (2, 6) up to (2, 1): rows 6 down to 2; row 1 is the excluded end.
    const std::vector<TLVertex> line{{2, 6, 0, 1, kWhite}, {2, 1, 0, 1, kWhite}};
    ASSERT_TRUE(s.Draw(D3DPT_LINELIST, line, 1));
    EXPECT_EQ(Covered(s), (Pixels{{2, 2}, {2, 3}, {2, 4}, {2, 5}, {2, 6}}));
}

TEST(Lines, StripWithoutLastPixelDrawsSharedCornersOnce) {
    Scene s(8, 8);
    s.SetState(D3DRS_LASTPIXEL, FALSE);
    swrtest::CountCoverage(s);
    const std::vector<TLVertex> strip{{1, 1, 0, 1, 1}, {6, 1, 0, 1, 1}, {6, 6, 0, 1, 1}, {1, 6, 0, 1, 1}};
    ASSERT_TRUE(s.Draw(D3DPT_LINESTRIP, strip, 3));
    EXPECT_EQ(s.CountPixels(1), 15u);
    EXPECT_EQ(s.CountPixels(2), 0u);
}

TEST(Lines, ColourInterpolatesAlongTheLine) {
    Scene s(16, 2);
    const std::vector<TLVertex> line{{0, 0, 0, 1, 0xFF000000u}, {15, 0, 0, 1, 0xFFFF0000u}};
    ASSERT_TRUE(s.Draw(D3DPT_LINELIST, line, 1));
    EXPECT_EQ(s.Pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(s.Pixel(5, 0), 0xFF550000u);  // 255 * 5 / 15 = 85
    EXPECT_EQ(s.Pixel(15, 0), 0xFFFF0000u);
}

TEST(Points, EachPointCoversTheNearestPixelCentre) {
    Scene s(8, 8);
    const std::vector<TLVertex> points{{1.0f, 1.0f, 0, 1, kWhite}, {3.4f, 5.6f, 0, 1, kWhite},
                                       {6.5f, 2.5f, 0, 1, kWhite}, {-0.6f, 4.0f, 0, 1, kWhite}};
    ASSERT_TRUE(s.Draw(D3DPT_POINTLIST, points, 4));
    EXPECT_EQ(Covered(s), (Pixels{{1, 1}, {7, 3}, {3, 6}}));
}

}  // namespace

}  // namespace swr_line_raster_test
