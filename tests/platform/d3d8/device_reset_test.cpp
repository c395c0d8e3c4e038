// Device loss and reset: lost, then not reset, then reset; strict reset catching a leaked
// default-pool object; resizing and full screen through reset.
#include <gtest/gtest.h>

#include "support/platform/d3d8_harness.h"

namespace device_reset_test {

namespace {

class DeviceResetTest : public rwtest::DeviceTest {};

TEST_F(DeviceResetTest, LostThenNotResetThenReset) {
    D3DPRESENT_PARAMETERS pp = rwtest::WindowedParameters(window);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    d3d8::SetLossState(device, d3d8::LossState::Lost);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Reset(&pp), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3D_OK);  // does nothing
    d3d8::SetLossState(device, d3d8::LossState::NotReset);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    ASSERT_EQ(device->Reset(&pp), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(DeviceResetTest, StrictResetCatchesALeakedDefaultPoolBuffer) {
    d3d8::SetStrictReset(device, true);
    IDirect3DVertexBuffer8 *leaked = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(64, D3DUSAGE_DYNAMIC, 0, D3DPOOL_DEFAULT, &leaked),
              D3D_OK);
    IDirect3DTexture8 *managed = nullptr;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &managed),
              D3D_OK);
    EXPECT_EQ(d3d8::LiveDefaultPoolObjects(device), 1u);
    device->SetStreamSource(0, leaked, 16);  // the device's own hold does not count
    D3DPRESENT_PARAMETERS pp = rwtest::WindowedParameters(window);
    EXPECT_EQ(device->Reset(&pp), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(leaked->Release(), 0u);
    EXPECT_EQ(d3d8::LiveDefaultPoolObjects(device), 0u);
    ASSERT_EQ(device->Reset(&pp), D3D_OK);  // managed resources may stay
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    managed->Release();
}

TEST_F(DeviceResetTest, StrictResetCountsSurfacesAndSwapChains) {
    d3d8::SetStrictReset(device, true);
    IDirect3DSurface8 *depth = nullptr;
    ASSERT_EQ(device->CreateDepthStencilSurface(16, 16, D3DFMT_D16, D3DMULTISAMPLE_NONE, &depth),
              D3D_OK);
    HWND second = rwtest::MakeHeadlessWindow(20, 10);
    D3DPRESENT_PARAMETERS chainPp = rwtest::WindowedParameters(second, false);
    IDirect3DSwapChain8 *chain = nullptr;
    ASSERT_EQ(device->CreateAdditionalSwapChain(&chainPp, &chain), D3D_OK);
    EXPECT_EQ(d3d8::LiveDefaultPoolObjects(device), 2u);
    D3DPRESENT_PARAMETERS pp = rwtest::WindowedParameters(window);
    EXPECT_EQ(device->Reset(&pp), D3DERR_INVALIDCALL);
    depth->Release();
    chain->Release();
    EXPECT_EQ(device->Reset(&pp), D3D_OK);
    win::DestroyPlatformWindow(second);
}

TEST_F(DeviceResetTest, ResetWithZeroSizesTakesTheNewClientSize) {
    IDirect3DSurface8 *before = nullptr;
    device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &before);
    window->SetClientSize(100, 30);
    D3DPRESENT_PARAMETERS pp = rwtest::WindowedParameters(window);
    ASSERT_EQ(device->Reset(&pp), D3D_OK);
    IDirect3DSurface8 *back = nullptr, *depth = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    EXPECT_EQ(back, before);  // the same surface, resized
    D3DSURFACE_DESC desc;
    back->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 100u);
    EXPECT_EQ(desc.Height, 30u);
    EXPECT_EQ(desc.Usage, D3DUSAGE_RENDERTARGET);
    ASSERT_EQ(device->GetDepthStencilSurface(&depth), D3D_OK);
    depth->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 100u);
    EXPECT_EQ(desc.Format, D3DFMT_D24S8);
    back->Release();
    before->Release();
    depth->Release();
}

TEST_F(DeviceResetTest, FullScreenTakesTheModeSizeAndWindowedGivesItBack) {
    D3DPRESENT_PARAMETERS pp = rwtest::WindowedParameters(window);
    pp.Windowed = FALSE;
    pp.BackBufferWidth = 800;
    pp.BackBufferHeight = 600;
    pp.SwapEffect = D3DSWAPEFFECT_FLIP;
    pp.FullScreen_RefreshRateInHz = 60;
    pp.FullScreen_PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    ASSERT_EQ(device->Reset(&pp), D3D_OK);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    D3DDISPLAYMODE mode;
    device->GetDisplayMode(&mode);
    EXPECT_EQ(mode.Width, 800u);
    pp = rwtest::WindowedParameters(window);
    ASSERT_EQ(device->Reset(&pp), D3D_OK);
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, LONG(width));
    EXPECT_EQ(client.bottom, LONG(height));
}

TEST_F(DeviceResetTest, ABadFormatLeavesTheDeviceNotReset) {
    D3DPRESENT_PARAMETERS pp = rwtest::WindowedParameters(window);
    pp.BackBufferFormat = D3DFMT_R5G6B5;
    EXPECT_EQ(device->Reset(&pp), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    EXPECT_EQ(device->Reset(&pp), D3D_OK);
}

}  // namespace

}  // namespace device_reset_test
