// Helpers for the device tests.
#include "d3d8_harness.h"

#include <cstring>

namespace rwtest {

HWND MakeHeadlessWindow(uint32_t clientWidth, uint32_t clientHeight, DWORD style, bool keepsFrames) {
    win::WindowDesc desc;
    desc.keepsFrames = keepsFrames;
    desc.title = "test";
    desc.clientWidth = clientWidth;
    desc.clientHeight = clientHeight;
    desc.style = style;
    desc.backend = win::Backend::Headless;
    return win::CreatePlatformWindow(desc);
}

D3DPRESENT_PARAMETERS WindowedParameters(HWND window, bool autoDepth, D3DFORMAT depthFormat) {
    D3DPRESENT_PARAMETERS pp;
    std::memset(&pp, 0, sizeof pp);
    pp.Windowed = TRUE;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_COPY;
    pp.hDeviceWindow = window;
    pp.EnableAutoDepthStencil = autoDepth ? TRUE : FALSE;
    pp.AutoDepthStencilFormat = autoDepth ? depthFormat : D3DFMT_UNKNOWN;
    return pp;
}

ULONG RefCount(IUnknown *object) {
    object->AddRef();
    return object->Release();
}

void SetDiffuseScreenDrawing(IDirect3DDevice8 *device) {
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    device->SetVertexShader(kScreenFvf);
}

void DrawScreenRect(IDirect3DDevice8 *device, float x0, float y0, float x1, float y1, float z, D3DCOLOR color) {
    const ScreenVertex quad[4] = {
        {x0, y0, z, 1, color}, {x1, y0, z, 1, color}, {x0, y1, z, 1, color}, {x1, y1, z, 1, color}};
    device->BeginScene();
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex)), D3D_OK);
    device->EndScene();
}

void DeviceTest::SetUp() {
    win::SetDesktopSizeOverride(1280, 1024);
    d3d8::SetNextProfile(profile);
    window = MakeHeadlessWindow(width, height, WS_OVERLAPPEDWINDOW, keepsFrames);
    ASSERT_NE(window, nullptr);
    d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DPRESENT_PARAMETERS pp = WindowedParameters(window);
    const DWORD flags = profile.hardwareTransformAndLight ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                                                          : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, flags, &pp, &device),
              D3D_OK);
}

void DeviceTest::TearDown() {
    if (device) {
        EXPECT_EQ(device->Release(), 0u);
    }
    if (d3d) {
        EXPECT_EQ(d3d->Release(), 0u);
    }
    win::DestroyPlatformWindow(window);
    d3d8::ResetNextProfile();
    win::SetDesktopSizeOverride(0, 0);
}

uint32_t DeviceTest::PixelAt(IDirect3DSurface8 *surface, uint32_t x, uint32_t y) {
    D3DLOCKED_RECT locked;
    if (surface->LockRect(&locked, nullptr, D3DLOCK_READONLY) != D3D_OK) return 0xDEADBEEFu;
    uint32_t value;
    std::memcpy(&value, static_cast<const uint8_t *>(locked.pBits) + y * locked.Pitch + x * 4, 4);
    surface->UnlockRect();
    return value;
}

uint32_t DeviceTest::BackBufferPixel(uint32_t x, uint32_t y) {
    IDirect3DSurface8 *back = nullptr;
    if (device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back) != D3D_OK) return 0xDEADBEEFu;
    const uint32_t value = PixelAt(back, x, y);
    back->Release();
    return value;
}

}  // namespace rwtest
