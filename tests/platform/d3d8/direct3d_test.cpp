// The Direct3D object: adapter, modes, format checks, caps under each profile and
// device creation rules.
#include <gtest/gtest.h>

#include <cstring>

#include "support/platform/d3d8_harness.h"

namespace direct3d_test {

namespace {

using rwtest::MakeHeadlessWindow;
using rwtest::RefCount;
using rwtest::WindowedParameters;

class Direct3DTest : public ::testing::Test {
protected:
    void SetUp() override {
        win::SetDesktopSizeOverride(1280, 1024);
        d3d = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
    }
    void TearDown() override {
        EXPECT_EQ(d3d->Release(), 0u);
        d3d8::ResetNextProfile();
        win::SetDesktopSizeOverride(0, 0);
    }
    IDirect3D8 *d3d = nullptr;
};

TEST_F(Direct3DTest, OnlyTheCurrentSdkVersionIsAccepted) {
    EXPECT_EQ(Direct3DCreate8(D3D_SDK_VERSION + 1), nullptr);
}

TEST_F(Direct3DTest, OneAdapterWithIdentifier) {
    EXPECT_EQ(d3d->GetAdapterCount(), 1u);
    D3DADAPTER_IDENTIFIER8 id;
    ASSERT_EQ(d3d->GetAdapterIdentifier(0, D3DENUM_NO_WHQL_LEVEL, &id), D3D_OK);
    EXPECT_GT(std::strlen(id.Description), 0u);
    EXPECT_LT(std::strlen(id.Description), 80u);  // fits the engine's sub-system name
    EXPECT_EQ(d3d->GetAdapterIdentifier(1, 0, &id), D3DERR_INVALIDCALL);
}

TEST_F(Direct3DTest, ModesAreTheFixedSizesAndTheDesktopAllX8R8G8B8) {
    ASSERT_EQ(d3d->GetAdapterModeCount(0), 4u);
    const UINT expected[4][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};
    for (UINT i = 0; i < 4; ++i) {
        D3DDISPLAYMODE mode;
        ASSERT_EQ(d3d->EnumAdapterModes(0, i, &mode), D3D_OK);
        EXPECT_EQ(mode.Width, expected[i][0]);
        EXPECT_EQ(mode.Height, expected[i][1]);
        EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
        EXPECT_EQ(mode.RefreshRate, 60u);
    }
    D3DDISPLAYMODE mode;
    EXPECT_EQ(d3d->EnumAdapterModes(0, 4, &mode), D3DERR_INVALIDCALL);
    ASSERT_EQ(d3d->GetAdapterDisplayMode(0, &mode), D3D_OK);
    EXPECT_EQ(mode.Width, 1280u);
    EXPECT_EQ(mode.Height, 1024u);
    EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
}

TEST_F(Direct3DTest, ADesktopOfAFixedSizeIsListedOnce) {
    win::SetDesktopSizeOverride(800, 600);
    EXPECT_EQ(d3d->GetAdapterModeCount(0), 3u);
}

TEST_F(Direct3DTest, FormatChecks) {
    const D3DFORMAT display = D3DFMT_X8R8G8B8;
    for (D3DFORMAT f : {D3DFMT_D24S8, D3DFMT_D24X8, D3DFMT_D32, D3DFMT_D16}) {
        EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, display, D3DUSAGE_DEPTHSTENCIL,
                                         D3DRTYPE_SURFACE, f), D3D_OK) << f;
        EXPECT_EQ(d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, display, display, f), D3D_OK);
    }
    for (D3DFORMAT f : {D3DFMT_D24X4S4, D3DFMT_D15S1, D3DFMT_D16_LOCKABLE}) {
        EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, display, D3DUSAGE_DEPTHSTENCIL,
                                         D3DRTYPE_SURFACE, f), D3DERR_NOTAVAILABLE) << f;
    }
    for (D3DFORMAT f : {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, D3DFMT_X1R5G5B5,
                        D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4, D3DFMT_L8, D3DFMT_P8, D3DFMT_DXT1,
                        D3DFMT_DXT2, D3DFMT_DXT3, D3DFMT_DXT4, D3DFMT_DXT5}) {
        EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, display, 0, D3DRTYPE_TEXTURE, f),
                  D3D_OK) << f;
        EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, display, 0, D3DRTYPE_CUBETEXTURE, f),
                  D3D_OK) << f;
    }
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, display, 0, D3DRTYPE_TEXTURE,
                                     D3DFMT_A8L8), D3DERR_NOTAVAILABLE);
    // Render targets are the 32-bit formats only.
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, display, D3DUSAGE_RENDERTARGET,
                                     D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8), D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, display, D3DUSAGE_RENDERTARGET,
                                     D3DRTYPE_TEXTURE, D3DFMT_R5G6B5), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, display, D3DFMT_R5G6B5,
                                          D3DFMT_D16), D3DERR_NOTAVAILABLE);
    // Only the X8R8G8B8 display and the hardware device type exist.
    EXPECT_EQ(d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, 0, D3DRTYPE_TEXTURE,
                                     D3DFMT_A8R8G8B8), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, display, display, TRUE), D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceType(0, D3DDEVTYPE_REF, display, display, TRUE),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, display, TRUE,
                                              D3DMULTISAMPLE_2_SAMPLES), D3DERR_NOTAVAILABLE);
}

TEST_F(Direct3DTest, DefaultCapsAreTheProcessorProfile) {
    D3DCAPS8 caps;
    ASSERT_EQ(d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_EQ(caps.DevCaps & (D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_PUREDEVICE), 0u);
    EXPECT_TRUE(caps.Caps2 & D3DCAPS2_CANRENDERWINDOWED);
    EXPECT_EQ(caps.RasterCaps & (D3DPRASTERCAPS_FOGTABLE | D3DPRASTERCAPS_WFOG),
              D3DPRASTERCAPS_FOGTABLE | D3DPRASTERCAPS_WFOG);
    EXPECT_EQ(caps.TextureCaps & (D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_SQUAREONLY), 0u);
    EXPECT_TRUE(caps.TextureCaps & D3DPTEXTURECAPS_ALPHAPALETTE);
    EXPECT_EQ(caps.MaxTextureWidth, 4096u);
    EXPECT_EQ(caps.MaxTextureHeight, 4096u);
    EXPECT_EQ(caps.MaxTextureBlendStages, 8u);
    EXPECT_EQ(caps.MaxSimultaneousTextures, 8u);
    EXPECT_EQ(caps.TextureOpCaps,
              D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_SELECTARG2 |
                  D3DTEXOPCAPS_MODULATE | D3DTEXOPCAPS_MODULATE2X | D3DTEXOPCAPS_ADD |
                  D3DTEXOPCAPS_BLENDTEXTUREALPHA | D3DTEXOPCAPS_MULTIPLYADD);
    EXPECT_EQ(caps.MaxActiveLights, 8u);
    EXPECT_EQ(caps.MaxPointSize, 1.0f);
    EXPECT_EQ(caps.FVFCaps & D3DFVFCAPS_PSIZE, 0u);
    EXPECT_EQ(caps.VertexShaderVersion, 0u);
    EXPECT_EQ(caps.PixelShaderVersion, 0u);
    EXPECT_GT(caps.MaxVertexIndex, 0xFFFFu);
    EXPECT_EQ(d3d->GetDeviceCaps(0, D3DDEVTYPE_REF, &caps), D3DERR_NOTAVAILABLE);
}

TEST_F(Direct3DTest, ProfileChosenBeforeCreationShapesTheCaps) {
    d3d8::Profile profile;
    profile.hardwareTransformAndLight = true;
    profile.pow2TexturesOnly = true;
    profile.blendStages = 1;
    d3d8::SetNextProfile(profile);
    IDirect3D8 *other = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(other, nullptr);
    D3DCAPS8 caps;
    ASSERT_EQ(other->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_TRUE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
    EXPECT_FALSE(caps.DevCaps & D3DDEVCAPS_PUREDEVICE);
    EXPECT_TRUE(caps.TextureCaps & D3DPTEXTURECAPS_POW2);
    EXPECT_EQ(caps.MaxTextureBlendStages, 1u);
    EXPECT_EQ(caps.MaxSimultaneousTextures, 1u);
    EXPECT_EQ(other->Release(), 0u);
    // The object made before keeps its own profile.
    ASSERT_EQ(d3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_FALSE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
}

TEST_F(Direct3DTest, VertexProcessingMustMatchTheProfile) {
    HWND window = MakeHeadlessWindow(32, 32);
    D3DPRESENT_PARAMETERS pp = WindowedParameters(window);
    IDirect3DDevice8 *device = nullptr;
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                &pp, &device), D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, 0, &pp, &device), D3DERR_INVALIDCALL);
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                &pp, &device), D3D_OK);
    // The device holds the Direct3D object.
    EXPECT_EQ(RefCount(d3d), 2u);
    IDirect3D8 *owner = nullptr;
    ASSERT_EQ(device->GetDirect3D(&owner), D3D_OK);
    EXPECT_EQ(owner, d3d);
    EXPECT_EQ(owner->Release(), 2u);
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(RefCount(d3d), 1u);
    win::DestroyPlatformWindow(window);
}

TEST_F(Direct3DTest, PresentParametersAreChecked) {
    HWND window = MakeHeadlessWindow(32, 32);
    IDirect3DDevice8 *device = nullptr;
    const DWORD sw = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    D3DPRESENT_PARAMETERS pp = WindowedParameters(window);
    pp.BackBufferFormat = D3DFMT_R5G6B5;
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, sw, &pp, &device), D3DERR_INVALIDCALL);
    pp = WindowedParameters(window);
    pp.AutoDepthStencilFormat = D3DFMT_D15S1;
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, sw, &pp, &device), D3DERR_INVALIDCALL);
    pp = WindowedParameters(nullptr);
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, sw, &pp, &device), D3DERR_INVALIDCALL);
    // Full screen needs one of the modes.
    pp = WindowedParameters(window);
    pp.Windowed = FALSE;
    pp.BackBufferWidth = 700;
    pp.BackBufferHeight = 500;
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, sw, &pp, &device), D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);
    win::DestroyPlatformWindow(window);
}

}  // namespace

}  // namespace direct3d_test
