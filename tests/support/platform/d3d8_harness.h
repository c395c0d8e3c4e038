// Helpers for the device tests: a headless window, windowed present parameters and a
// fixture that opens the device under a chosen profile with a fixed desktop size.
#pragma once

#include <gtest/gtest.h>

#include "d3d8/d3d8.h"
#include "d3d8/d3d8_platform.h"
#include "win/window.h"
#include "win/winuser.h"

namespace rwtest {

HWND MakeHeadlessWindow(uint32_t clientWidth, uint32_t clientHeight,
                        DWORD style = WS_OVERLAPPEDWINDOW, bool keepsFrames = true);
D3DPRESENT_PARAMETERS WindowedParameters(HWND window, bool autoDepth = true,
                                         D3DFORMAT depthFormat = D3DFMT_D24S8);
// The current count of an object (AddRef then Release).
ULONG RefCount(IUnknown *object);

// A vertex already on the screen with one colour, and its format.
struct ScreenVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};
constexpr DWORD kScreenFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;
// Unlit drawing of ScreenVertex colours alone, both faces: stage 0 takes the diffuse
// colour and alpha. Depth states are left to the caller.
void SetDiffuseScreenDrawing(IDirect3DDevice8 *device);
// A rectangle of one colour at one depth, as a strip of two triangles in one scene.
void DrawScreenRect(IDirect3DDevice8 *device, float x0, float y0, float x1, float y1, float z, D3DCOLOR color);

// A Direct3D object and a windowed 64x48 device on a headless window; the desktop is
// 1280x1024. Derived fixtures may set `profile`, the size and `keepsFrames` before SetUp
// runs.
class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Reads one pixel of a surface (32-bit formats).
    static uint32_t PixelAt(IDirect3DSurface8 *surface, uint32_t x, uint32_t y);
    uint32_t BackBufferPixel(uint32_t x, uint32_t y);

    d3d8::Profile profile;
    uint32_t width = 64;
    uint32_t height = 48;
    bool keepsFrames = true;  // the window's
    HWND window = nullptr;
    IDirect3D8 *d3d = nullptr;
    IDirect3DDevice8 *device = nullptr;
};

}  // namespace rwtest
