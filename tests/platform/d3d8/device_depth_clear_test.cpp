// Clears of depth and stencil through the device: a clear of every word is written only
// when something first uses the words, and every draw, lock and later clear sees them as
// if they had been written at once, on any thread count.
#include <gtest/gtest.h>

#include "support/platform/d3d8_harness.h"
#include "platform/d3d8/swr/swr_draw.h"

namespace device_depth_clear_test {

namespace {

class DeviceDepthClearTest : public rwtest::DeviceTest {
protected:
    void SetUp() override {
        rwtest::DeviceTest::SetUp();
        ASSERT_NE(device, nullptr);
        ASSERT_EQ(device->GetDepthStencilSurface(&depth), D3D_OK);
        rwtest::SetDiffuseScreenDrawing(device);
        device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    }
    void TearDown() override {
        if (depth) depth->Release();
        swr::SetThreadCount(0);
        rwtest::DeviceTest::TearDown();
    }
    // A rectangle of one colour at one depth, with depth testing on or off.
    void DrawRect(float x0, float y0, float x1, float y1, float z, D3DCOLOR color, bool depthTest) {
        device->SetRenderState(D3DRS_ZENABLE, depthTest ? D3DZB_TRUE : D3DZB_FALSE);
        rwtest::DrawScreenRect(device, x0, y0, x1, y1, z, color);
    }
    uint32_t DepthWord(uint32_t x, uint32_t y) { return PixelAt(depth, x, y); }

    IDirect3DSurface8 *depth = nullptr;
};

TEST_F(DeviceDepthClearTest, DrawsTestAgainstAWholeClearWhateverWasDrawnWithoutDepthBefore) {
    for (uint32_t threads : {1u, 2u, 8u}) {
        swr::SetThreadCount(threads);
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0x00000000u,
                                0.25f, 0), D3D_OK);
        // Pictures without depth first, far away: they neither test nor write depth.
        DrawRect(0, 0, 64, 48, 0.9f, 0xFF0000FFu, false);
        // Behind the cleared depth: not drawn; in front of it: drawn.
        DrawRect(0, 0, 32, 48, 0.5f, 0xFFFF0000u, true);
        DrawRect(32, 0, 64, 48, 0.1f, 0xFF00FF00u, true);
        EXPECT_EQ(BackBufferPixel(10, 10), 0xFF0000FFu) << threads << " threads";
        EXPECT_EQ(BackBufferPixel(40, 10), 0xFF00FF00u) << threads << " threads";
        // The words: the clear's on the left, the drawn depth on the right.
        EXPECT_EQ(DepthWord(10, 10) >> 8, 0x400000u) << threads << " threads";
        EXPECT_LT(DepthWord(40, 10) >> 8, 0x400000u) << threads << " threads";
    }
}

TEST_F(DeviceDepthClearTest, LocksAndLaterClearsSeeTheWordsOfAWholeClear) {
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1.0f, 0x5A), D3D_OK);
    EXPECT_EQ(DepthWord(0, 0), 0xFFFFFF5Au);
    EXPECT_EQ(DepthWord(63, 47), 0xFFFFFF5Au);
    // A second whole clear before anything used the words: only its words are seen.
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1.0f, 0x11), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 0.0f, 0x22), D3D_OK);
    EXPECT_EQ(DepthWord(5, 5), 0x00000022u);
    // A clear of a corner after a whole one keeps the rest of the whole one.
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1.0f, 0x33), D3D_OK);
    const D3DRECT corner = {0, 0, 8, 8};
    ASSERT_EQ(device->Clear(1, &corner, D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 0.0f, 0x44), D3D_OK);
    EXPECT_EQ(DepthWord(3, 3), 0x00000044u);
    EXPECT_EQ(DepthWord(20, 20), 0xFFFFFF33u);
    // A clear of depth alone keeps the stencil a whole clear left.
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1.0f, 0x66), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.0f, 0), D3D_OK);
    EXPECT_EQ(DepthWord(30, 30), 0x00000066u);
    // Inside a smaller viewport: the words outside it keep what was there.
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1.0f, 0x77), D3D_OK);
    D3DVIEWPORT8 vp = {0, 0, 32, 48, 0.0f, 1.0f};
    device->SetViewport(&vp);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 0.0f, 0x01), D3D_OK);
    EXPECT_EQ(DepthWord(10, 10), 0x00000001u);
    EXPECT_EQ(DepthWord(40, 10), 0xFFFFFF77u);
}

TEST_F(DeviceDepthClearTest, AStencilTestSeesTheStencilOfAWholeClear) {
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0x00000000u, 1.0f,
                            3), D3D_OK);
    device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    device->SetRenderState(D3DRS_STENCILREF, 3);
    DrawRect(0, 0, 32, 48, 0.5f, 0xFF00FF00u, false);
    device->SetRenderState(D3DRS_STENCILREF, 4);
    DrawRect(32, 0, 64, 48, 0.5f, 0xFFFF0000u, false);
    device->SetRenderState(D3DRS_STENCILENABLE, FALSE);
    EXPECT_EQ(BackBufferPixel(10, 10), 0xFF00FF00u);
    EXPECT_EQ(BackBufferPixel(40, 10), 0xFF000000u);
}

}  // namespace

}  // namespace device_depth_clear_test
