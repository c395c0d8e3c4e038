// The safe-screen frame on our Direct3D 8 device, exact to the pixel at
// both client sizes: a one-pixel white rectangle through (48, 36) and
// (592, 444) of the 640 x 480 screen, scaled to the client area, and
// nothing else.
#include <gtest/gtest.h>

#include "app/screen_coords.h"
#include "devmenu/dev_menu.h"
#include "support/engine/headless_screen.h"

namespace safe_frame_pixel_test {

namespace {

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;

struct ClientSize {
    uint32_t width;
    uint32_t height;
    // The frame's corners in client pixels.
    uint32_t left, top, right, bottom;
};

class SafeFramePixels : public ::testing::TestWithParam<ClientSize> {
protected:
    void SetUp() override
    {
        const ClientSize &size = GetParam();
        ASSERT_TRUE(screen.Start(d3d8::DefaultProfile(), size.width, size.height, nullptr));
        SetScreenClientSize(size.width, size.height);
    }
    void TearDown() override
    {
        SetScreenClientSize(640, 480);
        EXPECT_TRUE(screen.Stop());
    }

    headlessscreen::Screen screen;
};

TEST_P(SafeFramePixels, AOnePixelWhiteRectangleAndNothingElse)
{
    const ClientSize &size = GetParam();
    CSDevMenu menu;
    menu.CreateSubObjects();
    menu.safeScreen = 1;
    const win::Frame frame = screen.Capture({0, 0, 0, 255}, [&] { menu.Render(); });
    ASSERT_EQ(frame.width, size.width);
    for (uint32_t y = 0; y < size.height; ++y) {
        for (uint32_t x = 0; x < size.width; ++x) {
            const bool onHorizontal = (y == size.top || y == size.bottom) && x >= size.left && x <= size.right;
            const bool onVertical = (x == size.left || x == size.right) && y >= size.top && y <= size.bottom;
            ASSERT_EQ(frame.At(x, y) | kBlack, onHorizontal || onVertical ? kWhite : kBlack)
                << "at " << x << ", " << y;
        }
    }
    menu.ReleaseAll();
}

TEST_P(SafeFramePixels, NothingWhileItsSwitchIsOff)
{
    const ClientSize &size = GetParam();
    CSDevMenu menu;
    menu.CreateSubObjects();
    const win::Frame frame = screen.Capture({0, 0, 0, 255}, [&] { menu.Render(); });
    for (uint32_t y = 0; y < size.height; ++y) {
        for (uint32_t x = 0; x < size.width; ++x) {
            ASSERT_EQ(frame.At(x, y) | kBlack, kBlack) << "at " << x << ", " << y;
        }
    }
    menu.ReleaseAll();
}

// A menu whose parts were never made (or were released) draws no frame,
// and setting the frame up then leaves it unmade.
TEST_P(SafeFramePixels, NothingFromAMenuWhosePartsAreNotMade)
{
    const ClientSize &size = GetParam();
    CSDevMenu menu;
    menu.safeScreen = 1;
    menu.InitSafeFrame();
    EXPECT_EQ(menu.safeFrame, nullptr);
    const win::Frame frame = screen.Capture({0, 0, 0, 255}, [&] { menu.Render(); });
    for (uint32_t y = 0; y < size.height; ++y) {
        for (uint32_t x = 0; x < size.width; ++x) {
            ASSERT_EQ(frame.At(x, y) | kBlack, kBlack) << "at " << x << ", " << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothSizes, SafeFramePixels,
                         ::testing::Values(ClientSize{640, 480, 48, 36, 592, 444},
                                           ClientSize{800, 600, 60, 45, 740, 555}),
                         [](const ::testing::TestParamInfo<ClientSize> &info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

}  // namespace

}  // namespace safe_frame_pixel_test
