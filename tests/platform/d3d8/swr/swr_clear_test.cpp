// Clearing: only inside the viewport and the given rectangles, each buffer only when
// asked, depth and stencil separately inside one word.
#include <gtest/gtest.h>

#include "swr_test_scene.h"

namespace swr_clear_test {

namespace {

using swrtest::Scene;

TEST(Clear, StaysInsideViewportAndRectangles) {
    Scene s(8, 8);
    const D3DVIEWPORT8 vp{2, 2, 4, 4, 0.0f, 1.0f};
    swr::Clear(vp, &s.color, nullptr, 0, nullptr, D3DCLEAR_TARGET, 0x11223344u, 1.0f, 0);
    EXPECT_EQ(s.CountPixels(0x11223344u), 16u);
    EXPECT_EQ(s.Pixel(2, 2), 0x11223344u);
    EXPECT_EQ(s.Pixel(6, 5), 0u);

    const D3DRECT rects[2] = {{0, 0, 3, 3}, {5, 5, 20, 20}};  // each only partly in the viewport
    swr::Clear(vp, &s.color, nullptr, 2, rects, D3DCLEAR_TARGET, 0xAABBCCDDu, 1.0f, 0);
    EXPECT_EQ(s.CountPixels(0xAABBCCDDu), 2u);
    EXPECT_EQ(s.Pixel(2, 2), 0xAABBCCDDu);
    EXPECT_EQ(s.Pixel(5, 5), 0xAABBCCDDu);
}

TEST(Clear, DepthAndStencilClearIndependently) {
    Scene s(2, 2, D3DFMT_X8R8G8B8, D3DFMT_D24S8);
    swr::Clear(s.state.viewport, &s.color, &s.depth, 0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL,
               0x00123456u, 1.0f, 0x42);
    EXPECT_EQ(s.Pixel(1, 1), 0xFF123456u);  // no alpha in the target: 0xFF
    EXPECT_EQ(s.DepthWord(1, 1), 0xFFFFFF42u);
    swr::Clear(s.state.viewport, nullptr, &s.depth, 0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.0f, 0x99);
    EXPECT_EQ(s.DepthWord(1, 1), 0x00000042u);
    swr::Clear(s.state.viewport, nullptr, &s.depth, 0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0x17);
    EXPECT_EQ(s.DepthWord(1, 1), 0x00000017u);
}

// Large clears go by bands over the threads, whole rows as one run, a narrow rectangle
// row by row: every word inside becomes the value, none beside it.
TEST(Clear, FillsLargeAndNarrowRectanglesExactly) {
    Scene s(301, 257, D3DFMT_A8R8G8B8, D3DFMT_D32);
    swr::Clear(s.state.viewport, &s.color, &s.depth, 0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x11223344u,
               0.0f, 0);
    EXPECT_EQ(s.CountPixels(0x11223344u), 301u * 257u);
    EXPECT_EQ(s.DepthWord(300, 256), 0u);
    const D3DRECT narrow{3, 5, 16, 205};
    swr::Clear(s.state.viewport, &s.color, &s.depth, 1, &narrow, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xAABBCCDDu,
               1.0f, 0);
    EXPECT_EQ(s.CountPixels(0xAABBCCDDu), 13u * 200u);
    for (int32_t y : {4, 5, 204, 205}) {
        for (int32_t x : {2, 3, 15, 16}) {
            const bool inside = x >= 3 && x < 16 && y >= 5 && y < 205;
            EXPECT_EQ(s.Pixel(x, y), inside ? 0xAABBCCDDu : 0x11223344u) << x << "," << y;
            EXPECT_EQ(s.DepthWord(x, y), inside ? 0xFFFFFFFFu : 0u) << x << "," << y;
        }
    }
}

}  // namespace

}  // namespace swr_clear_test
