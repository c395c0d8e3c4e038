// Our windows through the window-system calls the device code makes: rectangles with the
// fixed frame metrics, styles and show states, positioning, full screen and presented
// frames, on the headless backend.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

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

// Counts how often the window let go of its rows.
struct CountingHolder final : win::ShownRowsHolder {
    void WindowLetGo() override { ++letGo; }
    int letGo = 0;
};

TEST_F(WindowTest, RowsShownInPlaceAreCopiedOnlyWhenHandedBack) {
    std::vector<uint32_t> rows = {0x00112233u, 0x80FFFFFFu, 0xDEADBEEFu, 0, 0x12345678u, 0xDEADBEEFu};
    CountingHolder holder;
    window->PresentInPlace(win::FrameRows{reinterpret_cast<const uint8_t *>(rows.data()), 2, 2, 12}, &holder);
    EXPECT_EQ(window->PresentCount(), 1u);
    const std::vector<uint32_t> presented = {0xFF112233u, 0xFFFFFFFFu, 0xFF000000u, 0xFF345678u};
    EXPECT_EQ(window->LastPresentedFrame().pixels, presented);
    // Handed back before they change: the window keeps what it was shown.
    window->HandBackRows(&holder);
    rows.assign(rows.size(), 0x01010101u);
    win::Frame shown;
    ASSERT_TRUE(window->ReadDisplayedFrame(&shown));
    EXPECT_EQ(shown.width, 2u);
    EXPECT_EQ(shown.pixels, presented);
    EXPECT_EQ(holder.letGo, 0);
    // Read for the first time only after they were handed back.
    window->PresentInPlace(win::FrameRows{reinterpret_cast<const uint8_t *>(rows.data()), 3, 2, 12}, &holder);
    window->HandBackRows(&holder);
    rows.assign(rows.size(), 0u);
    EXPECT_EQ(window->LastPresentedFrame().pixels, std::vector<uint32_t>(6, 0xFF010101u));
    // A handing back from rows no longer shown does nothing.
    window->HandBackRows(&holder);
    EXPECT_EQ(window->LastPresentedFrame().pixels, std::vector<uint32_t>(6, 0xFF010101u));
}

TEST_F(WindowTest, RowsAboutToBeOverwrittenGiveTheirStorage) {
    std::vector<uint8_t> storage(4 * 4 * 3);
    for (size_t i = 0; i < storage.size(); ++i) storage[i] = uint8_t(i);
    const std::vector<uint8_t> before = storage;
    const uint8_t *heap = storage.data();
    CountingHolder holder;
    window->PresentInPlace(win::FrameRows{storage.data(), 4, 3, 16}, &holder);
    window->HandBackRowsWithStorage(&holder, &storage);
    // The holder has other storage of the same size to overwrite.
    EXPECT_NE(storage.data(), heap);
    ASSERT_EQ(storage.size(), before.size());
    storage.assign(storage.size(), 0xEE);
    const win::Frame &frame = window->LastPresentedFrame();
    ASSERT_EQ(frame.pixels.size(), 12u);
    for (uint32_t i = 0; i < 12; ++i) {
        uint32_t p;
        std::memcpy(&p, before.data() + i * 4, 4);
        EXPECT_EQ(frame.pixels[i], p | 0xFF000000u) << i;
    }
    // Storage that is not the rows shown (padded rows) is copied from instead.
    std::vector<uint8_t> padded(20 * 2, 0x33);
    window->PresentInPlace(win::FrameRows{padded.data(), 4, 2, 20}, &holder);
    const uint8_t *paddedHeap = padded.data();
    window->HandBackRowsWithStorage(&holder, &padded);
    EXPECT_EQ(padded.data(), paddedHeap);
    padded.assign(padded.size(), 0);
    EXPECT_EQ(window->LastPresentedFrame().pixels, std::vector<uint32_t>(8, 0xFF333333u));
    EXPECT_EQ(holder.letGo, 0);
}

TEST_F(WindowTest, AWindowLetsGoOfRowsWhenItShowsOthersOrGoes) {
    const uint32_t pixels[2] = {1, 2};
    CountingHolder first, second;
    window->PresentInPlace(win::FrameRows{reinterpret_cast<const uint8_t *>(pixels), 2, 1, 8}, &first);
    window->PresentInPlace(win::FrameRows{reinterpret_cast<const uint8_t *>(pixels), 2, 1, 8}, &first);
    EXPECT_EQ(first.letGo, 0);
    window->PresentInPlace(win::FrameRows{reinterpret_cast<const uint8_t *>(pixels), 1, 1, 8}, &second);
    EXPECT_EQ(first.letGo, 1);
    window->Present(reinterpret_cast<const uint8_t *>(pixels), 2, 1, 8);
    EXPECT_EQ(second.letGo, 1);
    HWND other = rwtest::MakeHeadlessWindow(64, 48);
    other->PresentInPlace(win::FrameRows{reinterpret_cast<const uint8_t *>(pixels), 2, 1, 8}, &first);
    win::DestroyPlatformWindow(other);
    EXPECT_EQ(first.letGo, 2);
    EXPECT_EQ(window->LastPresentedFrame().pixels, (std::vector<uint32_t>{0xFF000001u, 0xFF000002u}));
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
