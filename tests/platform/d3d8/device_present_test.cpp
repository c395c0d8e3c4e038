// What reaches the window: clears inside the viewport, a drawn triangle, presentation
// through the device and an additional swap chain, and reads past the end of the data
// the engine hands over.
#include <gtest/gtest.h>

#include <cstring>

#include "support/platform/d3d8_harness.h"

namespace device_present_test {

namespace {

using rwtest::kScreenFvf;
using rwtest::ScreenVertex;

class DevicePresentTest : public rwtest::DeviceTest {
protected:
    void DrawDiffuseOnly() {
        rwtest::SetDiffuseScreenDrawing(device);
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    }
    win::Frame Presented() {
        win::Frame frame;
        EXPECT_TRUE(d3d8::GetLastPresentedFrame(device, &frame));
        return frame;
    }
};

TEST_F(DevicePresentTest, ClearedColoursAndRectanglesArePresented) {
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL,
                            0x00102030u, 1.0f, 0), D3D_OK);
    const D3DRECT rect = {10, 5, 20, 15};
    ASSERT_EQ(device->Clear(1, &rect, D3DCLEAR_TARGET, 0x00FF0000u, 1.0f, 0), D3D_OK);
    // A rectangle reaching outside the viewport is clipped to it.
    D3DVIEWPORT8 vp = {40, 0, 10, 10, 0.0f, 1.0f};
    device->SetViewport(&vp);
    const D3DRECT wide = {30, 0, 64, 48};
    ASSERT_EQ(device->Clear(1, &wide, D3DCLEAR_TARGET, 0x0000FF00u, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    const win::Frame frame = Presented();
    ASSERT_EQ(frame.width, width);
    ASSERT_EQ(frame.height, height);
    EXPECT_EQ(frame.At(0, 0), 0xFF102030u);
    EXPECT_EQ(frame.At(10, 5), 0xFFFF0000u);
    EXPECT_EQ(frame.At(19, 14), 0xFFFF0000u);
    EXPECT_EQ(frame.At(20, 14), 0xFF102030u);
    EXPECT_EQ(frame.At(40, 0), 0xFF00FF00u);
    EXPECT_EQ(frame.At(49, 9), 0xFF00FF00u);
    EXPECT_EQ(frame.At(39, 0), 0xFF102030u);
    EXPECT_EQ(frame.At(45, 10), 0xFF102030u);
    EXPECT_EQ(window->PresentCount(), 1u);
}

TEST_F(DevicePresentTest, ClearNeedsTheBuffersItNames) {
    IDirect3DSurface8 *target = nullptr;
    device->GetRenderTarget(&target);
    ASSERT_EQ(device->SetRenderTarget(target, nullptr), D3D_OK);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    IDirect3DSurface8 *d16 = nullptr;
    ASSERT_EQ(device->CreateDepthStencilSurface(width, height, D3DFMT_D16, D3DMULTISAMPLE_NONE,
                                                &d16), D3D_OK);
    ASSERT_EQ(device->SetRenderTarget(nullptr, d16), D3D_OK);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    target->Release();
    d16->Release();
}

TEST_F(DevicePresentTest, ATriangleIsDrawnAndPresented) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00000000u, 1.0f, 0);
    DrawDiffuseOnly();
    const ScreenVertex triangle[3] = {{0, 0, 0.5f, 1, 0xFF00FF00u},
                                      {32, 0, 0.5f, 1, 0xFF00FF00u},
                                      {0, 32, 0.5f, 1, 0xFF00FF00u}};
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof(ScreenVertex)),
              D3DERR_INVALIDCALL);  // outside a scene
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof(ScreenVertex)),
              D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    const win::Frame frame = Presented();
    EXPECT_EQ(frame.At(4, 4), 0xFF00FF00u);
    EXPECT_EQ(frame.At(40, 40), 0xFF000000u);
    EXPECT_EQ(frame.At(30, 30), 0xFF000000u);
}

TEST_F(DevicePresentTest, UpDrawsLeaveTheStreamAndIndicesUnset) {
    IDirect3DVertexBuffer8 *vb = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(3 * sizeof(ScreenVertex), 0, kScreenFvf,
                                         D3DPOOL_MANAGED, &vb), D3D_OK);
    IDirect3DIndexBuffer8 *ib = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(6, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib), D3D_OK);
    device->SetStreamSource(0, vb, sizeof(ScreenVertex));
    device->SetIndices(ib, 0);
    DrawDiffuseOnly();
    const ScreenVertex triangle[3] = {{0, 0, 0.5f, 1, 0xFFFFFFFFu},
                                      {8, 0, 0.5f, 1, 0xFFFFFFFFu},
                                      {0, 8, 0.5f, 1, 0xFFFFFFFFu}};
    const WORD indices[3] = {0, 1, 2};
    device->BeginScene();
    ASSERT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 1, indices,
                                             D3DFMT_INDEX16, triangle, sizeof(ScreenVertex)),
              D3D_OK);
    device->EndScene();
    IDirect3DVertexBuffer8 *stream = vb;
    UINT stride = 1;
    device->GetStreamSource(0, &stream, &stride);
    EXPECT_EQ(stream, nullptr);
    IDirect3DIndexBuffer8 *gotIb = ib;
    UINT base = 1;
    device->GetIndices(&gotIb, &base);
    EXPECT_EQ(gotIb, nullptr);
    EXPECT_EQ(vb->Release(), 0u);
    EXPECT_EQ(ib->Release(), 0u);
}

TEST_F(DevicePresentTest, IndicesAndVerticesBeyondTheBuffersAreNotRead) {
    // Three vertices and indices that point far past them: the device hands over exact
    // sizes, so nothing outside the buffers is touched (the sanitizer build checks this).
    IDirect3DVertexBuffer8 *vb = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(3 * sizeof(ScreenVertex), D3DUSAGE_WRITEONLY,
                                         kScreenFvf, D3DPOOL_MANAGED, &vb), D3D_OK);
    IDirect3DIndexBuffer8 *ib = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(6, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib), D3D_OK);
    BYTE *data = nullptr;
    ib->Lock(0, 0, &data, 0);
    const WORD indices[3] = {0, 1000, 60000};
    std::memcpy(data, indices, sizeof indices);
    ib->Unlock();
    DrawDiffuseOnly();
    device->SetStreamSource(0, vb, sizeof(ScreenVertex));
    device->SetIndices(ib, 7);
    device->BeginScene();
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 3, 0, 5);  // more than the indices
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 2, 100);           // more than the vertices
    const ScreenVertex one[1] = {{0, 0, 0, 1, 0}};
    const WORD far[3] = {0, 9, 70};
    device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 1, 1, far, D3DFMT_INDEX16, one,
                                   sizeof(ScreenVertex));
    device->EndScene();
    device->SetStreamSource(0, nullptr, 0);
    device->SetIndices(nullptr, 0);
    vb->Release();
    ib->Release();
}

TEST_F(DevicePresentTest, SwapChainsPresentIntoTheirOwnWindows) {
    HWND second = rwtest::MakeHeadlessWindow(20, 10);
    D3DPRESENT_PARAMETERS pp = rwtest::WindowedParameters(second, false);
    IDirect3DSwapChain8 *chain = nullptr;
    ASSERT_EQ(device->CreateAdditionalSwapChain(&pp, &chain), D3D_OK);
    IDirect3DSurface8 *back = nullptr;
    ASSERT_EQ(chain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    EXPECT_EQ(chain->Release(), 1u);  // the back buffer keeps the chain
    D3DSURFACE_DESC desc;
    back->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 20u);
    EXPECT_EQ(desc.Height, 10u);
    ASSERT_EQ(device->SetRenderTarget(back, nullptr), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00ABCDEFu, 1.0f, 0);
    chain->AddRef();
    ASSERT_EQ(chain->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(second->LastPresentedFrame().At(19, 9), 0xFFABCDEFu);
    EXPECT_EQ(window->PresentCount(), 0u);
    IDirect3DSurface8 *main = nullptr;
    device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &main);
    device->SetRenderTarget(main, nullptr);
    main->Release();
    back->Release();
    EXPECT_EQ(chain->Release(), 0u);
    win::DestroyPlatformWindow(second);
}

TEST_F(DevicePresentTest, TheFrontBufferIsTheLastPresentedFrame) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00445566u, 1.0f, 0);
    device->Present(nullptr, nullptr, nullptr, nullptr);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00000000u, 1.0f, 0);
    IDirect3DSurface8 *copy = nullptr;
    ASSERT_EQ(device->CreateImageSurface(width, height, D3DFMT_A8R8G8B8, &copy), D3D_OK);
    ASSERT_EQ(device->GetFrontBuffer(copy), D3D_OK);
    EXPECT_EQ(PixelAt(copy, 3, 3), 0xFF445566u);
    copy->Release();
}

TEST_F(DevicePresentTest, AFrameReadAfterPresentIsThePresentedOneWhateverComesNext) {
    DrawDiffuseOnly();
    const D3DRECT corner = {4, 4, 8, 8};
    const D3DCOLOR colours[3] = {0x00102030u, 0x00405060u, 0x00708090u};
    // Each frame is read after the next one's whole clear and a draw over it.
    for (uint32_t frameIndex = 0; frameIndex < 3; ++frameIndex) {
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, colours[frameIndex], 1.0f, 0), D3D_OK);
        ASSERT_EQ(device->Clear(1, &corner, D3DCLEAR_TARGET, 0x00FF0000u + frameIndex, 1.0f, 0), D3D_OK);
        ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00FFFFFFu, 1.0f, 0), D3D_OK);
        const ScreenVertex quad[4] = {{0, 0, 0.5f, 1, 0xFF00FF00u}, {64, 0, 0.5f, 1, 0xFF00FF00u},
                                      {0, 48, 0.5f, 1, 0xFF00FF00u}, {64, 48, 0.5f, 1, 0xFF00FF00u}};
        device->BeginScene();
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex)), D3D_OK);
        device->EndScene();
        const win::Frame frame = Presented();
        ASSERT_EQ(frame.width, width);
        ASSERT_EQ(frame.height, height);
        EXPECT_EQ(frame.At(0, 0), 0xFF000000u | colours[frameIndex]) << frameIndex;
        EXPECT_EQ(frame.At(63, 47), 0xFF000000u | colours[frameIndex]) << frameIndex;
        EXPECT_EQ(frame.At(5, 5), 0xFFFF0000u + frameIndex) << frameIndex;
        win::Frame shown;
        ASSERT_TRUE(window->ReadDisplayedFrame(&shown));
        EXPECT_EQ(shown.pixels, frame.pixels) << frameIndex;
        // The back buffer has the new frame, the window still the presented one.
        EXPECT_EQ(BackBufferPixel(5, 5), 0xFF00FF00u) << frameIndex;
        EXPECT_EQ(Presented().pixels, frame.pixels) << frameIndex;
    }
    EXPECT_EQ(window->PresentCount(), 3u);
}

TEST_F(DevicePresentTest, TheBackBufferKeepsWhatWasPresentedUntilItIsChanged) {
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00112233u, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    // Shown twice with nothing drawn between.
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(Presented().At(10, 10), 0xFF112233u);
    // A clear of part of it keeps the rest; the window keeps the frame it was shown.
    const D3DRECT part = {0, 0, 64, 24};
    ASSERT_EQ(device->Clear(1, &part, D3DCLEAR_TARGET, 0x00445566u, 1.0f, 0), D3D_OK);
    EXPECT_EQ(Presented().At(10, 10), 0xFF112233u);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    win::Frame frame = Presented();
    EXPECT_EQ(frame.At(10, 10), 0xFF445566u);
    EXPECT_EQ(frame.At(10, 30), 0xFF112233u);
    // A clear inside a smaller viewport likewise.
    D3DVIEWPORT8 vp = {0, 0, 32, 48, 0.0f, 1.0f};
    device->SetViewport(&vp);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00778899u, 1.0f, 0), D3D_OK);
    EXPECT_EQ(Presented().pixels, frame.pixels);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    frame = Presented();
    EXPECT_EQ(frame.At(10, 10), 0xFF778899u);
    EXPECT_EQ(frame.At(40, 10), 0xFF445566u);
    EXPECT_EQ(frame.At(40, 30), 0xFF112233u);
    // Written through a lock: the presented frame stays.
    IDirect3DSurface8 *back = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(back->LockRect(&locked, nullptr, 0), D3D_OK);
    const uint32_t written = 0xFFABCDEFu;
    std::memcpy(static_cast<uint8_t *>(locked.pBits) + 2 * locked.Pitch + 3 * 4, &written, 4);
    ASSERT_EQ(back->UnlockRect(), D3D_OK);
    back->Release();
    EXPECT_EQ(Presented().pixels, frame.pixels);
    EXPECT_EQ(BackBufferPixel(3, 2), 0xFFABCDEFu);
    EXPECT_EQ(BackBufferPixel(40, 30), 0xFF112233u);
}

TEST_F(DevicePresentTest, EachWindowKeepsTheFrameItWasShown) {
    HWND second = rwtest::MakeHeadlessWindow(width, height);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00010203u, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00040506u, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device->Present(nullptr, nullptr, second, nullptr), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00070809u, 1.0f, 0), D3D_OK);
    EXPECT_EQ(window->LastPresentedFrame().At(1, 1), 0xFF010203u);
    EXPECT_EQ(second->LastPresentedFrame().At(1, 1), 0xFF040506u);
    // The same back buffer shown in one window, then in the other.
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    ASSERT_EQ(device->Present(nullptr, nullptr, second, nullptr), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x000A0B0Cu, 1.0f, 0), D3D_OK);
    EXPECT_EQ(window->LastPresentedFrame().At(1, 1), 0xFF070809u);
    EXPECT_EQ(second->LastPresentedFrame().At(1, 1), 0xFF070809u);
    // A window that goes while it shows the back buffer leaves it to be drawn on.
    ASSERT_EQ(device->Present(nullptr, nullptr, second, nullptr), D3D_OK);
    win::DestroyPlatformWindow(second);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x000D0E0Fu, 1.0f, 0), D3D_OK);
    const D3DRECT part = {0, 0, 8, 8};
    ASSERT_EQ(device->Clear(1, &part, D3DCLEAR_TARGET, 0x00101112u, 1.0f, 0), D3D_OK);
    EXPECT_EQ(BackBufferPixel(1, 1), 0xFF101112u);
    EXPECT_EQ(BackBufferPixel(20, 20), 0xFF0D0E0Fu);
    EXPECT_EQ(window->LastPresentedFrame().At(1, 1), 0xFF070809u);
}

}  // namespace

}  // namespace device_present_test
