// Draws left out of a hidden target (d3d8::SetHiddenTarget): draws into it write neither
// colour nor depth and are counted, on any thread count; draws into another target, and
// into it once it is no longer hidden, are drawn as ever.
#include <gtest/gtest.h>

#include "support/platform/d3d8_harness.h"
#include "platform/d3d8/swr/swr_draw.h"

namespace device_hidden_target_test {

namespace {

class DeviceHiddenTargetTest : public rwtest::DeviceTest {
protected:
    void SetUp() override {
        rwtest::DeviceTest::SetUp();
        ASSERT_NE(device, nullptr);
        ASSERT_EQ(device->GetRenderTarget(&back), D3D_OK);
        ASSERT_EQ(device->GetDepthStencilSurface(&depth), D3D_OK);
        rwtest::SetDiffuseScreenDrawing(device);
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
        device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    }
    void TearDown() override {
        d3d8::SetHiddenTarget(device, nullptr);
        if (back) back->Release();
        if (depth) depth->Release();
        swr::SetThreadCount(0);
        rwtest::DeviceTest::TearDown();
    }
    void DrawRect(float x0, float y0, float x1, float y1, float z, D3DCOLOR color) {
        rwtest::DrawScreenRect(device, x0, y0, x1, y1, z, color);
    }

    IDirect3DSurface8 *back = nullptr;
    IDirect3DSurface8 *depth = nullptr;
};

TEST_F(DeviceHiddenTargetTest, DrawsIntoTheHiddenTargetWriteNothingAndAreCounted) {
    for (uint32_t threads : {1u, 2u, 8u}) {
        swr::SetThreadCount(threads);
        const uint64_t before = d3d8::HiddenDraws(device);
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF102030u, 1.0f, 0), D3D_OK);
        d3d8::SetHiddenTarget(device, back);
        DrawRect(0, 0, 64, 48, 0.5f, 0xFFFF0000u);
        DrawRect(8, 8, 16, 16, 0.25f, 0xFF00FF00u);
        EXPECT_EQ(d3d8::HiddenDraws(device) - before, 2u) << threads << " threads";
        EXPECT_EQ(BackBufferPixel(10, 10), 0xFF102030u) << threads << " threads";
        EXPECT_EQ(BackBufferPixel(40, 30), 0xFF102030u) << threads << " threads";
        // No depth either: a far draw once the target shows again passes the clear's depth.
        d3d8::SetHiddenTarget(device, nullptr);
        DrawRect(0, 0, 64, 48, 0.75f, 0xFF0000FFu);
        EXPECT_EQ(d3d8::HiddenDraws(device) - before, 2u) << threads << " threads";
        EXPECT_EQ(BackBufferPixel(10, 10), 0xFF0000FFu) << threads << " threads";
        EXPECT_EQ(BackBufferPixel(40, 30), 0xFF0000FFu) << threads << " threads";
    }
}

TEST_F(DeviceHiddenTargetTest, DrawsIntoAnotherTargetAreDrawn) {
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(device->CreateTexture(32, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture),
              D3D_OK);
    IDirect3DSurface8 *level = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    for (uint32_t threads : {1u, 4u}) {
        swr::SetThreadCount(threads);
        d3d8::SetHiddenTarget(device, back);
        ASSERT_EQ(device->SetRenderTarget(level, nullptr), D3D_OK);
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0), D3D_OK);
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        const uint64_t before = d3d8::HiddenDraws(device);
        DrawRect(0, 0, 32, 32, 0.5f, 0xFFFFFF00u);
        EXPECT_EQ(d3d8::HiddenDraws(device), before) << threads << " threads";
        EXPECT_EQ(PixelAt(level, 5, 5), 0xFFFFFF00u) << threads << " threads";
        ASSERT_EQ(device->SetRenderTarget(back, depth), D3D_OK);
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
        d3d8::SetHiddenTarget(device, nullptr);
    }
    level->Release();
    texture->Release();
}

}  // namespace

}  // namespace device_hidden_target_test
