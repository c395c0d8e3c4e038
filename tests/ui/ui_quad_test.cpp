// The interface's quads: where their corners go at 640 x 480 and 800 x 600,
// the pixels they cover exactly, the clipped quad, the fade and letterbox
// quads of the manager as drawn, and the window through which a picture
// drawn over a view lets the view show.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/screen_coords.h"
#include "tests/ui/ui_test_support.h"
#include "rwd3d8.h"
#include "rwsdk/driver/d3d8/d3d8raster.h"
#include "ui/picture_window.h"
#include "ui/still_picture.h"
#include "ui/ui_quad.h"

namespace ui_quad_test {

namespace {

using uitest::ScreensTest;

// Pixels of `frame` inside [x0, x1) x [y0, y1) are `inside`, the ring of
// pixels just around it is not.
void ExpectCovers(const win::Frame &frame, int x0, int y0, int x1, int y1, uint32_t inside)
{
    for (int y = y0 - 1; y <= y1; ++y) {
        for (int x = x0 - 1; x <= x1; ++x) {
            if (x < 0 || y < 0 || x >= static_cast<int>(frame.width) || y >= static_cast<int>(frame.height)) {
                continue;
            }
            const bool in = x >= x0 && x < x1 && y >= y0 && y < y1;
            const uint32_t p = frame.At(x, y) & 0xFFFFFF;
            if (in) {
                ASSERT_EQ(p, inside) << x << ", " << y;
            } else {
                ASSERT_NE(p, inside) << x << ", " << y;
            }
        }
    }
}

TEST(UIQuadCorners, At640x480TheVirtualCoordinatesAreStoredAsTheyAre)
{
    SetScreenClientSize(640, 480);
    UIQuad q = {};
    SetQuadPositions(q.v, 10.25f, 20.5f, 110.75f, 70.0f);
    EXPECT_EQ(q.v[0].x, 10.25f);
    EXPECT_EQ(q.v[0].y, 20.5f);
    EXPECT_EQ(q.v[1].x, 110.75f);
    EXPECT_EQ(q.v[1].y, 20.5f);
    EXPECT_EQ(q.v[2].x, 10.25f);
    EXPECT_EQ(q.v[2].y, 70.0f);
    EXPECT_EQ(q.v[3].x, 110.75f);
    EXPECT_EQ(q.v[3].y, 70.0f);
    for (const RwIm2DVertex &v : q.v) {
        EXPECT_EQ(v.z, 0.0f);
        EXPECT_EQ(v.rhw, 10.0f);
    }
    SetScreenClientSize(800, 600);
    SetQuadPositions(q.v, 100, 40, 200, 80);
    EXPECT_FLOAT_EQ(q.v[0].x, 125.0f);
    EXPECT_FLOAT_EQ(q.v[0].y, 50.0f);
    EXPECT_FLOAT_EQ(q.v[3].x, 250.0f);
    EXPECT_FLOAT_EQ(q.v[3].y, 100.0f);
    EXPECT_FLOAT_EQ(GetVirtualX(&q.v[3]), 200.0f);
    SetScreenClientSize(640, 480);
}

TEST(UIQuadCorners, ThreeCornersLeaveTheFourthAndOtherCountsWriteNothing)
{
    SetScreenClientSize(640, 480);
    UIQuad q = {};
    SetQuadPositions(q.v, 1, 2, 3, 4);
    SetQuadColour(q.v, 1, 2, 3, 4);
    SetQuadPositions(q.v, 10, 20, 30, 40, 3);
    SetQuadColour(q.v, 0xAA, 0xBB, 0xCC, 0xDD, 3);
    EXPECT_EQ(q.v[2].y, 40.0f);
    EXPECT_EQ(q.v[3].x, 3.0f);
    EXPECT_EQ(q.v[3].y, 4.0f);
    EXPECT_EQ(q.v[2].emissiveColor, 0xAABBCCDDu);
    EXPECT_EQ(q.v[3].emissiveColor, 0x01020304u);
    const UIQuad before = q;
    SetQuadPositions(q.v, 99, 99, 99, 99, 5);
    SetQuadUVs(q.v, 9, 9, 9, 9, 2);
    SetQuadColour(q.v, 9, 9, 9, 9, 0);
    EXPECT_EQ(0, std::memcmp(&before, &q, sizeof q));
}

TEST(UIQuadCorners, TextureCoordinatesStraightAndTurnedAQuarter)
{
    UIQuad q = {};
    SetQuadUVs(q.v, 0.1f, 0.2f, 0.3f, 0.4f);
    EXPECT_EQ(q.v[0].u, 0.1f);
    EXPECT_EQ(q.v[0].v, 0.2f);
    EXPECT_EQ(q.v[1].u, 0.3f);
    EXPECT_EQ(q.v[1].v, 0.2f);
    EXPECT_EQ(q.v[2].u, 0.1f);
    EXPECT_EQ(q.v[2].v, 0.4f);
    EXPECT_EQ(q.v[3].u, 0.3f);
    EXPECT_EQ(q.v[3].v, 0.4f);
    SetQuadUVsRotated(q.v, 0.1f, 0.2f, 0.3f, 0.4f);
    EXPECT_EQ(q.v[0].u, 0.1f);
    EXPECT_EQ(q.v[0].v, 0.4f);
    EXPECT_EQ(q.v[1].u, 0.1f);
    EXPECT_EQ(q.v[1].v, 0.2f);
    EXPECT_EQ(q.v[2].u, 0.3f);
    EXPECT_EQ(q.v[2].v, 0.4f);
    EXPECT_EQ(q.v[3].u, 0.3f);
    EXPECT_EQ(q.v[3].v, 0.2f);
    EXPECT_EQ(GetTextureRaster(nullptr), nullptr);
}

// A picture without vertices places nothing; a still picture without its
// quad draws nothing and says so.
TEST(UIQuadCorners, PicturesWithoutTheirQuadsPlaceAndDrawNothing)
{
    UIPicture bare;
    bare.left = 10.0f;
    bare.right = 20.0f;
    bare.Place();
    StillPicture still;
    EXPECT_FALSE(still.Draw());
}

TEST(UIClippedQuad, IsCutToTheScreenWithItsSource)
{
    SetScreenClientSize(640, 480);
    UIQuad q = {};
    SetQuadPositions(q.v, -100, 10, 100, 20);
    SetQuadUVs(q.v, 0, 0, 1, 1);
    SetQuadArgb(q.v, 0x80123456u);
    UIQuad c;
    ASSERT_TRUE(ClipUIQuad(q.v, &c));
    EXPECT_EQ(c.v[0].x, 0.0f);
    EXPECT_FLOAT_EQ(c.v[0].u, 0.5f);
    EXPECT_EQ(c.v[3].x, 100.0f);
    EXPECT_EQ(c.v[3].u, 1.0f);
    EXPECT_EQ(c.v[0].emissiveColor, 0x80123456u);
    // Past the right and bottom edges, with the left already cut.
    SetQuadPositions(q.v, -160, 400, 800, 560);
    ASSERT_TRUE(ClipUIQuad(q.v, &c));
    EXPECT_FLOAT_EQ(c.v[0].u, 160.0f / 960.0f);
    EXPECT_FLOAT_EQ(c.v[3].u, 800.0f / 960.0f);
    EXPECT_FLOAT_EQ(c.v[3].v, 0.5f);
    EXPECT_EQ(c.v[3].x, 640.0f);
    EXPECT_EQ(c.v[3].y, 480.0f);
    // Wholly outside: nothing; a left edge on 640 still counts.
    SetQuadPositions(q.v, 641, 0, 700, 10);
    EXPECT_FALSE(ClipUIQuad(q.v, &c));
    SetQuadPositions(q.v, -50, 0, -1, 10);
    EXPECT_FALSE(ClipUIQuad(q.v, &c));
    SetQuadPositions(q.v, 640, 0, 700, 10);
    EXPECT_TRUE(ClipUIQuad(q.v, &c));
    EXPECT_EQ(c.v[0].x, 640.0f);
    EXPECT_EQ(c.v[3].x, 640.0f);
    // The caller's quad stays as it was.
    EXPECT_EQ(q.v[3].x, 700.0f);
    // Over the top edge the same, in v.
    SetQuadPositions(q.v, 10, -40, 20, 40);
    SetQuadUVs(q.v, 0, 0.25f, 1, 0.75f);
    ASSERT_TRUE(ClipUIQuad(q.v, &c));
    EXPECT_EQ(c.v[0].y, 0.0f);
    EXPECT_FLOAT_EQ(c.v[0].v, 0.5f);
    EXPECT_EQ(c.v[3].y, 40.0f);
    EXPECT_FLOAT_EQ(c.v[3].v, 0.75f);
    // Wholly above or below: nothing; a top edge on 480 still counts.
    SetQuadPositions(q.v, 10, -50, 20, -1);
    EXPECT_FALSE(ClipUIQuad(q.v, &c));
    SetQuadPositions(q.v, 10, 481, 20, 500);
    EXPECT_FALSE(ClipUIQuad(q.v, &c));
    SetQuadPositions(q.v, 10, 480, 20, 500);
    EXPECT_TRUE(ClipUIQuad(q.v, &c));
    EXPECT_EQ(c.v[0].y, 480.0f);
}

class UIQuadPixels : public ScreensTest {};

TEST_F(UIQuadPixels, At640x480AQuadCoversItsPixelsExactly)
{
    Start(apptest::ScratchFolder("quad640"), 640, 480);
    UIQuad q = {};
    SetQuadPositions(q.v, 10, 20, 110, 70);
    SetQuadArgb(q.v, 0xFFDC2828u);
    const win::Frame frame = DrawFrame([&] { DrawUIQuad(q.v, nullptr); });
    ASSERT_EQ(frame.width, 640u);
    ExpectCovers(frame, 10, 20, 110, 70, 0xDC2828);
    // Clipped at x -100..100 it covers 0..99.
    SetQuadPositions(q.v, -100, 200, 100, 210);
    const win::Frame clipped = DrawFrame([&] { DrawClippedQuad(q.v); });
    ExpectCovers(clipped, 0, 200, 100, 210, 0xDC2828);
}

TEST_F(UIQuadPixels, At800x600ItIsScaledByAQuarter)
{
    Start(apptest::ScratchFolder("quad800"), 800, 600);
    UIQuad q = {};
    SetQuadPositions(q.v, 8, 16, 108, 76);  // (10, 20)-(135, 95) on the client
    SetQuadArgb(q.v, 0xFF28C83Cu);
    const win::Frame frame = DrawFrame([&] { DrawUIQuad(q.v, nullptr); });
    ASSERT_EQ(frame.width, 800u);
    ExpectCovers(frame, 10, 20, 135, 95, 0x28C83C);
    SetQuadPositions(q.v, -100, 200, 100, 216);
    const win::Frame clipped = DrawFrame([&] { DrawClippedQuad(q.v); });
    ExpectCovers(clipped, 0, 250, 125, 270, 0x28C83C);
}

TEST_F(UIQuadPixels, TheLetterboxBarsAndTheFadeCoverTheirRows)
{
    Start(apptest::ScratchFolder("bars"), 640, 480);
    ui->ShowLetterbox(0);
    const win::Frame bars =
        DrawFrame([&] { ui->DrawLetterbox(); }, RwRGBA{255, 255, 255, 255});
    ExpectCovers(bars, 0, 0, 640, 70, 0x000000);
    ExpectCovers(bars, 0, 410, 640, 480, 0x000000);
    EXPECT_EQ(bars.At(320, 240) & 0xFFFFFF, 0xFFFFFFu);
    // A finished fade to red covers everything once more.
    ui->StartFade(0xFFFF0000u, 100);
    for (int i = 0; i < 20; ++i) {
        ui->StepFade(16);
    }
    const win::Frame fade = DrawFrame([&] { ui->DrawFade(); });
    for (uint32_t y : {0u, 240u, 479u}) {
        for (uint32_t x : {0u, 320u, 639u}) {
            EXPECT_EQ(fade.At(x, y) & 0xFFFFFF, 0xFF0000u) << x << ", " << y;
        }
    }
    const win::Frame after = DrawFrame([&] { ui->DrawFade(); });
    EXPECT_EQ(after.At(320, 240) & 0xFFFFFF, 0u);
}

// A full-screen picture, opaque but for a hole of clear texels and one half-clear texel
// apart, drawn over a view: the view shows only inside its window on the screen, and the
// view drawn inside that window alone (held to it by the device's scissor) gives the
// very frame the view drawn everywhere gives.
TEST_F(UIQuadPixels, APictureLetsTheViewShowOnlyInsideItsWindow)
{
    Start(apptest::ScratchFolder("window"), 800, 600);
    RwRaster *picture = RwRasterCreate(64, 64, 32, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888);
    ASSERT_NE(picture, nullptr);
    RwUInt8 *texels = RwRasterLock(picture, 0, rwRASTERLOCKWRITE);
    ASSERT_NE(texels, nullptr);
    for (int32_t y = 0; y < 64; ++y) {
        auto *row = reinterpret_cast<uint32_t *>(texels + static_cast<size_t>(y) * RwRasterGetStride(picture));
        for (int32_t x = 0; x < 64; ++x) {
            const bool hole = x >= 20 && x < 44 && y >= 10 && y < 30;
            row[x] = (hole ? 0x00000000u : 0xFF000000u) | static_cast<uint32_t>(x * 4 << 8 | y * 4);
        }
    }
    reinterpret_cast<uint32_t *>(texels + 50 * static_cast<size_t>(RwRasterGetStride(picture)))[5] = 0x80FFFFFFu;
    RwRasterUnlock(picture);
    const PictureWindow window = FindPictureWindow(picture);
    ASSERT_TRUE(window.known);
    EXPECT_FALSE(window.empty);
    EXPECT_EQ(window.x0, 5);
    EXPECT_EQ(window.x1, 44);
    EXPECT_EQ(window.y0, 10);
    EXPECT_EQ(window.y1, 51);

    UIQuad page = {}, view = {};
    SetQuadPositions(page.v, 0, 0, 640, 480);
    SetQuadUVs(page.v, 0, 0, 1, 1);
    SetQuadArgb(page.v, 0xFFF0F0F0u);
    SetQuadPositions(view.v, 0, 0, 640, 480);
    int32_t rect[4];
    ASSERT_TRUE(PictureWindowOnScreen(window, page.v, 800, 600, rect));
    const auto frame = [&](uint32_t viewColour, bool held) {
        return DrawFrame([&] {
            SetQuadArgb(view.v, viewColour);
            const D3DRECT scissor = {rect[0], rect[1], rect[2], rect[3]};
            RwD3D8SetScissor(held ? &scissor : nullptr);
            DrawUIQuad(view.v, nullptr);
            RwD3D8SetScissor(nullptr);
            DrawUIQuad(page.v, picture);
        });
    };
    const win::Frame red = frame(0xFFFF0000u, false), green = frame(0xFF00FF00u, false);
    int32_t shown = 0;
    for (uint32_t y = 0; y < 600; ++y) {
        for (uint32_t x = 0; x < 800; ++x) {
            if (red.At(x, y) != green.At(x, y)) {
                ++shown;
                const bool inside = static_cast<int32_t>(x) >= rect[0] && static_cast<int32_t>(x) < rect[2] &&
                                    static_cast<int32_t>(y) >= rect[1] && static_cast<int32_t>(y) < rect[3];
                ASSERT_TRUE(inside) << x << ", " << y;
            }
        }
    }
    EXPECT_GT(shown, 300 * 200);  // the hole, about 375 x 235 pixels, and its rim
    const win::Frame held = frame(0xFFFF0000u, true);
    EXPECT_TRUE(held.pixels == red.pixels);

    // A page less than opaque at a corner, or one that leaves part of the screen bare,
    // lets the view through everywhere.
    SetQuadArgb(page.v, 0xFEF0F0F0u);
    EXPECT_FALSE(PictureWindowOnScreen(window, page.v, 800, 600, rect));
    SetQuadArgb(page.v, 0xFFF0F0F0u);
    SetQuadPositions(page.v, 0, 0, 640, 479);
    EXPECT_FALSE(PictureWindowOnScreen(window, page.v, 800, 600, rect));
    RwRasterDestroy(picture);
}

// A full-screen picture without a see-through texel hides the view whole:
// its window is empty and nothing of the view is drawn. One whose texels
// cannot be read (no picture, or not 32-bit) has no known window: the view
// is drawn everywhere.
TEST_F(UIQuadPixels, AnOpaquePictureHidesTheViewAndAnUnreadOneLetsItShowEverywhere)
{
    Start(apptest::ScratchFolder("window_opaque"));
    UIQuad page = {};
    SetQuadPositions(page.v, 0, 0, 640, 480);
    SetQuadUVs(page.v, 0, 0, 1, 1);
    SetQuadArgb(page.v, 0xFFF0F0F0u);
    RwRaster *opaque = RwRasterCreate(16, 16, 32, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888);
    ASSERT_NE(opaque, nullptr);
    RwUInt8 *texels = RwRasterLock(opaque, 0, rwRASTERLOCKWRITE);
    ASSERT_NE(texels, nullptr);
    for (int32_t y = 0; y < 16; ++y) {
        auto *row = reinterpret_cast<uint32_t *>(texels + static_cast<size_t>(y) * RwRasterGetStride(opaque));
        std::fill(row, row + 16, 0xFF336699u);
    }
    RwRasterUnlock(opaque);
    const PictureWindow window = FindPictureWindow(opaque);
    EXPECT_TRUE(window.known);
    EXPECT_TRUE(window.empty);
    int32_t rect[4] = {1, 2, 3, 4};
    ASSERT_TRUE(PictureWindowOnScreen(window, page.v, 640, 480, rect));
    EXPECT_EQ(rect[0], 0);
    EXPECT_EQ(rect[1], 0);
    EXPECT_EQ(rect[2], 0);
    EXPECT_EQ(rect[3], 0);
    RwRasterDestroy(opaque);

    RwRaster *plain = RwRasterCreate(16, 16, 16, rwRASTERTYPETEXTURE | rwRASTERFORMAT565);
    ASSERT_NE(plain, nullptr);
    for (RwRaster *unread : {plain, static_cast<RwRaster *>(nullptr)}) {
        const PictureWindow none = FindPictureWindow(unread);
        EXPECT_FALSE(none.known);
        EXPECT_FALSE(PictureWindowOnScreen(none, page.v, 640, 480, rect));
    }
    RwRasterDestroy(plain);
}

}  // namespace

}  // namespace ui_quad_test
