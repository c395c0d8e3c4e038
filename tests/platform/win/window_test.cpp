// Our windows through the window-system calls the device code makes: rectangles with the
// fixed frame metrics, styles and show states, positioning, full screen and presented
// frames, on the headless backend.
#include <gtest/gtest.h>

#include "support/platform/d3d8_harness.h"

namespace window_test {

namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = rwtest::MakeHeadlessWindow(640, 480);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override { win::DestroyPlatformWindow(window); }
    HWND window = nullptr;
};

TEST_F(WindowTest, ClientAndOuterRectangles) {
    EXPECT_TRUE(window->IsHeadless());
    RECT client, outer;
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    ASSERT_TRUE(GetWindowRect(window, &outer));
    // Sizing frame 4 on each side, caption 19 on top.
    EXPECT_EQ(outer.right - outer.left, 648);
    EXPECT_EQ(outer.bottom - outer.top, 480 + 19 + 8);
    EXPECT_FALSE(GetClientRect(nullptr, &client));
}

TEST_F(WindowTest, AdjustWindowRectExAddsTheFrameOfTheStyle) {
    RECT r = {0, 0, 100, 50};
    AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, TRUE, 0);
    EXPECT_EQ(r.left, -4);
    EXPECT_EQ(r.top, -4 - 19 - 19);
    EXPECT_EQ(r.right, 104);
    EXPECT_EQ(r.bottom, 54);
    RECT p = {0, 0, 100, 50};
    AdjustWindowRectEx(&p, WS_POPUP, FALSE, 0);
    EXPECT_EQ(p.left, 0);
    EXPECT_EQ(p.bottom, 50);
    RECT d = {0, 0, 10, 10};
    AdjustWindowRectEx(&d, WS_CAPTION, FALSE, WS_EX_CLIENTEDGE);
    EXPECT_EQ(d.left, -5);  // dialog frame 3 + client edge 2
}

TEST_F(WindowTest, ResizingToAClientSizeThroughTheOuterRectangle) {
    // What the device code does to snap the window back to the mode size.
    window->SetClientSize(700, 500);
    RECT r = {0, 0, 640, 480};
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    AdjustWindowRectEx(&r, DWORD(style), GetMenu(window) != nullptr,
                       DWORD(GetWindowLongA(window, GWL_EXSTYLE)));
    ASSERT_TRUE(SetWindowPos(window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                             SWP_NOMOVE | SWP_NOZORDER));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    RECT before, after;
    GetWindowRect(window, &before);
    SetWindowPos(window, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    GetWindowRect(window, &after);
    EXPECT_EQ(after.left, 30);
    EXPECT_EQ(after.top, 40);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
}

TEST_F(WindowTest, StylesReflectAndDriveTheShowState) {
    EXPECT_FALSE(IsIconic(window));
    window->Maximize();
    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE(DWORD(style) & WS_MAXIMIZE);
    EXPECT_EQ(SetWindowLongA(window, GWL_STYLE, LONG(DWORD(style) & ~WS_MAXIMIZE)), style);
    EXPECT_FALSE(window->IsMaximized());
    window->Minimize();
    EXPECT_TRUE(IsIconic(window));
    EXPECT_TRUE(DWORD(GetWindowLongA(window, GWL_STYLE)) & WS_MINIMIZE);
    window->Restore();
    EXPECT_FALSE(IsIconic(window));
    SetWindowLongA(window, GWL_EXSTYLE, LONG(WS_EX_TOPMOST));
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE), LONG(WS_EX_TOPMOST));
    EXPECT_EQ(GetMenu(window), nullptr);
}

TEST_F(WindowTest, AMenuIsReportedAndCountsInTheFrame) {
    win::WindowDesc desc;
    desc.backend = win::Backend::Headless;
    desc.hasMenu = true;
    desc.clientWidth = 10;
    desc.clientHeight = 10;
    HWND withMenu = win::CreatePlatformWindow(desc);
    EXPECT_NE(GetMenu(withMenu), nullptr);
    RECT outer;
    GetWindowRect(withMenu, &outer);
    EXPECT_EQ(outer.bottom - outer.top, 10 + 19 + 19 + 8);
    win::DestroyPlatformWindow(withMenu);
}

TEST_F(WindowTest, FullScreenClientIsTheModeSize) {
    window->EnterFullscreen(800, 600);
    RECT client, outer;
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.right, 800);
    window->LeaveFullscreen();
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 640);
}

TEST_F(WindowTest, PresentedFramesAreKeptOpaque) {
    const uint32_t pixels[4] = {0x00112233u, 0x80FFFFFFu, 0, 0x12345678u};
    window->Present(reinterpret_cast<const uint8_t *>(pixels), 2, 2, 8);
    const win::Frame &frame = window->LastPresentedFrame();
    ASSERT_EQ(frame.width, 2u);
    EXPECT_EQ(frame.At(0, 0), 0xFF112233u);
    EXPECT_EQ(frame.At(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(frame.At(1, 1), 0xFF345678u);
    win::Frame shown;
    ASSERT_TRUE(window->ReadDisplayedFrame(&shown));
    EXPECT_EQ(shown.pixels, frame.pixels);
    EXPECT_EQ(window->PresentCount(), 1u);
    // The display shows the next frame as it comes, size and all.
    const uint32_t wide[3] = {1, 2, 3};
    window->Present(reinterpret_cast<const uint8_t *>(wide), 3, 1, 12);
    ASSERT_TRUE(window->ReadDisplayedFrame(&shown));
    EXPECT_EQ(shown.width, 3u);
    EXPECT_EQ(shown.pixels, (std::vector<uint32_t>{0xFF000001u, 0xFF000002u, 0xFF000003u}));
    // Rows wider than a few pixels, with padding between them that is not copied.
    std::vector<uint32_t> padded(3 * 9);
    for (uint32_t i = 0; i < padded.size(); ++i) padded[i] = i % 9 < 7 ? i * 0x01020304u : 0xDEADBEEFu;
    window->Present(reinterpret_cast<const uint8_t *>(padded.data()), 7, 3, 36);
    const win::Frame &rows = window->LastPresentedFrame();
    ASSERT_EQ(rows.pixels.size(), 21u);
    for (uint32_t y = 0; y < 3; ++y) {
        for (uint32_t x = 0; x < 7; ++x) EXPECT_EQ(rows.At(x, y), padded[y * 9 + x] | 0xFF000000u) << x << ", " << y;
    }
}

TEST_F(WindowTest, AHeadlessWindowThatKeepsNoFramesOnlyCountsThem) {
    win::WindowDesc desc;
    desc.backend = win::Backend::Headless;
    desc.keepsFrames = false;
    HWND unkept = win::CreatePlatformWindow(desc);
    ASSERT_NE(unkept, nullptr);
    EXPECT_FALSE(unkept->KeepsFrames());
    unkept->PresentUnkept();
    EXPECT_EQ(unkept->PresentCount(), 1u);
    EXPECT_EQ(unkept->LastPresentedFrame().width, 0u);
    win::Frame shown;
    EXPECT_FALSE(unkept->ReadDisplayedFrame(&shown));
    win::DestroyPlatformWindow(unkept);
}

}  // namespace

}  // namespace window_test
