// The SDL window on a real X display (a private Xvfb when DISPLAY is unset): a frame the
// device presents is what the window's renderer shows. Skipped when no display exists.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/platform/d3d8_harness.h"
#include "support/platform/xvfb_display.h"

namespace sdl_window_test {

namespace {

class SdlWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!rwtest::EnsureXDisplay()) GTEST_SKIP() << "no X display and no Xvfb";
        setenv("SDL_VIDEODRIVER", "x11", 1);
        win::WindowDesc desc;
        desc.title = "sdl window test";
        desc.clientWidth = 64;
        desc.clientHeight = 48;
        desc.backend = win::Backend::Sdl;
        window = win::CreatePlatformWindow(desc);
        if (!window) GTEST_SKIP() << "SDL cannot open a window on this display";
    }
    void TearDown() override {
        if (window) win::DestroyPlatformWindow(window);
    }
    HWND window = nullptr;
};

TEST_F(SdlWindowTest, ThePresentedFrameIsOnScreen) {
    ASSERT_FALSE(window->IsHeadless());
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 64);
    EXPECT_EQ(client.bottom, 48);

    IDirect3D8 *d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DPRESENT_PARAMETERS pp = rwtest::WindowedParameters(window);
    IDirect3DDevice8 *device = nullptr;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                &pp, &device), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00203040u, 1.0f, 0);
    const D3DRECT rect = {8, 8, 24, 20};
    device->Clear(1, &rect, D3DCLEAR_TARGET, 0x00F08010u, 1.0f, 0);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);

    win::Frame shown;
    ASSERT_TRUE(window->ReadDisplayedFrame(&shown));
    ASSERT_EQ(shown.width, 64u);
    ASSERT_EQ(shown.height, 48u);
    EXPECT_EQ(shown.At(0, 0), 0xFF203040u);
    EXPECT_EQ(shown.At(8, 8), 0xFFF08010u);
    EXPECT_EQ(shown.At(23, 19), 0xFFF08010u);
    EXPECT_EQ(shown.At(24, 19), 0xFF203040u);
    win::Frame presented;
    ASSERT_TRUE(d3d8::GetLastPresentedFrame(device, &presented));
    EXPECT_EQ(presented.pixels, shown.pixels);
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(SdlWindowTest, AlphaInTheBackBufferIsNotShown) {
    IDirect3D8 *d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DPRESENT_PARAMETERS pp = rwtest::WindowedParameters(window);
    pp.BackBufferFormat = D3DFMT_A8R8G8B8;
    IDirect3DDevice8 *device = nullptr;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                &pp, &device), D3D_OK);
    // Alpha 0 and half: the window shows the colours whole, as if opaque.
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00203040u, 1.0f, 0);
    const D3DRECT rect = {8, 8, 24, 20};
    device->Clear(1, &rect, D3DCLEAR_TARGET, 0x80F08010u, 1.0f, 0);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    // The next frame's clear changes neither what is on screen nor the presented frame.
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00FFFFFFu, 1.0f, 0);
    win::Frame shown;
    ASSERT_TRUE(window->ReadDisplayedFrame(&shown));
    ASSERT_EQ(shown.width, 64u);
    EXPECT_EQ(shown.At(0, 0), 0xFF203040u);
    EXPECT_EQ(shown.At(8, 8), 0xFFF08010u);
    EXPECT_EQ(shown.At(24, 19), 0xFF203040u);
    win::Frame presented;
    ASSERT_TRUE(d3d8::GetLastPresentedFrame(device, &presented));
    EXPECT_EQ(presented.pixels, shown.pixels);
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(d3d->Release(), 0u);
}

}  // namespace

}  // namespace sdl_window_test
