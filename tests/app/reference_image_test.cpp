// The screenshot comparison on a reviewed screen (the stage clear's route,
// whose markers stand where the route's table puts them): a marker moved by
// one pixel fails, a blend's rounding step passes, and a region that varies
// is left out only where the tolerance names it.
#include <gtest/gtest.h>

#include <string>

#include "tests/app/reference_image.h"

namespace reference_image_test {

namespace {

using apptest::Bmp;
using apptest::CompareWithReference;

Bmp Route()
{
    Bmp route;
    EXPECT_TRUE(apptest::LoadBmp(std::string(RW_TEST_SOURCE_DIR) + "/tests/ui/reference/clear_route.bmp", &route));
    return route;
}

uint8_t *At(Bmp *bmp, int x, int y)
{
    return &bmp->data[bmp->offset + size_t(bmp->height - 1 - y) * bmp->RowBytes() + size_t(x) * bmp->bits / 8];
}

// The first route point's marker (the point (56, 219): the marker covers
// (39, 196)-(73, 243)) drawn one pixel to the right, over what it covered.
Bmp MarkerMovedRight(const Bmp &route)
{
    Bmp moved = route;
    for (int y = 196; y < 243; ++y) {
        for (int x = 73; x >= 39; --x) {
            std::copy_n(At(&moved, x - 1, y), 3, At(&moved, x, y));
        }
    }
    return moved;
}

TEST(ReferenceImage, AMarkerMovedByOnePixelFails)
{
    const Bmp route = Route();
    ASSERT_EQ(route.width, 640);
    EXPECT_TRUE(CompareWithReference(route, route).Passed());
    const apptest::ReferenceComparison moved = CompareWithReference(MarkerMovedRight(route), route);
    EXPECT_FALSE(moved.Passed());
    EXPECT_GT(moved.outliers, 0);
}

TEST(ReferenceImage, ABlendsRoundingStepPasses)
{
    const Bmp route = Route();
    Bmp rounded = route;
    for (int y = 0; y < rounded.height; ++y) {
        for (int x = 0; x < rounded.width; ++x) {
            uint8_t *p = At(&rounded, x, y);
            for (int c = 0; c < 3; ++c) {
                p[c] = static_cast<uint8_t>(p[c] < 128 ? p[c] + apptest::kChannelTolerance : p[c] - 1);
            }
        }
    }
    EXPECT_TRUE(CompareWithReference(rounded, route).Passed());
    *At(&rounded, 320, 240) ^= 0x80;
    EXPECT_FALSE(CompareWithReference(rounded, route).Passed());
}

TEST(ReferenceImage, OnlyTheNamedRegionsAreLeftOut)
{
    const Bmp route = Route();
    const Bmp moved = MarkerMovedRight(route);
    EXPECT_TRUE(CompareWithReference(moved, route, {.varying = {{39, 196, 74, 243}}, .strays = {}}).Passed());
    EXPECT_FALSE(CompareWithReference(moved, route, {.varying = {{39, 196, 60, 243}}, .strays = {}}).Passed());
    // Known strays: their region and nothing beside it.
    EXPECT_TRUE(CompareWithReference(moved, route, {.varying = {}, .strays = {{39, 196, 74, 243}}}).Passed());
    EXPECT_FALSE(CompareWithReference(moved, route, {.varying = {}, .strays = {{40, 196, 74, 243}}}).Passed());
}

}  // namespace

}  // namespace reference_image_test
