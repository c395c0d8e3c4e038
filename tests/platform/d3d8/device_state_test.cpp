// Device state: defaults after creation, values stored and read back, lights, palettes,
// bindings and their references, and device validation under each profile.
#include <gtest/gtest.h>

#include <cstring>

#include "support/platform/d3d8_harness.h"

namespace device_state_test {

namespace {

using rwtest::RefCount;

class DeviceStateTest : public rwtest::DeviceTest {
protected:
    static D3DMATRIX Scale(float s) {
        D3DMATRIX m;
        std::memset(&m, 0, sizeof m);
        m._11 = m._22 = m._33 = s;
        m._44 = 1.0f;
        return m;
    }
    static D3DLIGHT8 PointLight(float range) {
        D3DLIGHT8 light;
        std::memset(&light, 0, sizeof light);
        light.Type = D3DLIGHT_POINT;
        light.Range = range;
        return light;
    }
    void ExpectDefaults() {
        DWORD value = 0;
        device->GetRenderState(D3DRS_ZENABLE, &value);
        EXPECT_EQ(value, DWORD(D3DZB_TRUE));  // the device has its own depth buffer
        device->GetRenderState(D3DRS_CULLMODE, &value);
        EXPECT_EQ(value, DWORD(D3DCULL_CCW));
        device->GetTextureStageState(0, D3DTSS_COLOROP, &value);
        EXPECT_EQ(value, DWORD(D3DTOP_MODULATE));
        device->GetTextureStageState(1, D3DTSS_COLOROP, &value);
        EXPECT_EQ(value, DWORD(D3DTOP_DISABLE));
        D3DMATRIX m;
        device->GetTransform(D3DTS_WORLD, &m);
        EXPECT_EQ(std::memcmp(&m, &identity, sizeof m), 0);
        device->GetTransform(D3DTS_TEXTURE3, &m);
        EXPECT_EQ(std::memcmp(&m, &identity, sizeof m), 0);
        D3DVIEWPORT8 vp;
        device->GetViewport(&vp);
        EXPECT_EQ(vp.X, 0u);
        EXPECT_EQ(vp.Width, width);
        EXPECT_EQ(vp.Height, height);
        EXPECT_EQ(vp.MaxZ, 1.0f);
        D3DLIGHT8 light;
        EXPECT_EQ(device->GetLight(0, &light), D3DERR_INVALIDCALL);
        IDirect3DBaseTexture8 *texture = reinterpret_cast<IDirect3DBaseTexture8 *>(1);
        device->GetTexture(0, &texture);
        EXPECT_EQ(texture, nullptr);
        DWORD shader = 1;
        device->GetVertexShader(&shader);
        EXPECT_EQ(shader, 0u);
    }

    const D3DMATRIX identity = Scale(1.0f);
};

TEST_F(DeviceStateTest, DefaultsAfterCreation) { ExpectDefaults(); }

TEST_F(DeviceStateTest, StatesAreStoredAndReadBack) {
    ASSERT_EQ(device->SetRenderState(D3DRS_FOGCOLOR, 0x00123456u), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(7, D3DTSS_ALPHAARG2, D3DTA_TFACTOR), D3D_OK);
    DWORD value = 0;
    device->GetRenderState(D3DRS_FOGCOLOR, &value);
    EXPECT_EQ(value, 0x00123456u);
    device->GetTextureStageState(7, D3DTSS_ALPHAARG2, &value);
    EXPECT_EQ(value, D3DTA_TFACTOR);
    EXPECT_EQ(device->SetRenderState(D3DRENDERSTATETYPE(D3DRS_COUNT), 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTextureStageState(8, D3DTSS_COLOROP, 0), D3DERR_INVALIDCALL);

    const D3DMATRIX m = Scale(2.0f);
    ASSERT_EQ(device->SetTransform(D3DTS_WORLDMATRIX(3), &m), D3D_OK);
    ASSERT_EQ(device->MultiplyTransform(D3DTS_VIEW, &m), D3D_OK);
    ASSERT_EQ(device->MultiplyTransform(D3DTS_VIEW, &m), D3D_OK);
    D3DMATRIX out;
    device->GetTransform(D3DTS_WORLDMATRIX(3), &out);
    EXPECT_EQ(out._22, 2.0f);
    device->GetTransform(D3DTS_VIEW, &out);
    EXPECT_EQ(out._33, 4.0f);
    EXPECT_EQ(device->SetTransform(D3DTRANSFORMSTATETYPE(4), &m), D3DERR_INVALIDCALL);

    D3DMATERIAL8 material;
    std::memset(&material, 0, sizeof material);
    material.Diffuse = {0.5f, 0.25f, 1.0f, 1.0f};
    material.Power = 3.0f;
    ASSERT_EQ(device->SetMaterial(&material), D3D_OK);
    D3DMATERIAL8 back;
    device->GetMaterial(&back);
    EXPECT_EQ(std::memcmp(&material, &back, sizeof back), 0);

    D3DVIEWPORT8 vp = {8, 4, 16, 16, 0.25f, 0.75f};
    ASSERT_EQ(device->SetViewport(&vp), D3D_OK);
    D3DVIEWPORT8 vpBack;
    device->GetViewport(&vpBack);
    EXPECT_EQ(std::memcmp(&vp, &vpBack, sizeof vp), 0);
    vp.Width = width;  // beyond the render target
    EXPECT_EQ(device->SetViewport(&vp), D3DERR_INVALIDCALL);
}

TEST_F(DeviceStateTest, LightsSetEnableAndLimit) {
    const D3DLIGHT8 light = PointLight(5.0f);
    ASSERT_EQ(device->SetLight(5, &light), D3D_OK);
    D3DLIGHT8 back;
    ASSERT_EQ(device->GetLight(5, &back), D3D_OK);
    EXPECT_EQ(back.Range, 5.0f);
    BOOL enabled = TRUE;
    ASSERT_EQ(device->GetLightEnable(5, &enabled), D3D_OK);
    EXPECT_FALSE(enabled);
    EXPECT_EQ(device->GetLightEnable(4, &enabled), D3DERR_INVALIDCALL);
    // Enabling a light never set makes a default directional light.
    ASSERT_EQ(device->LightEnable(9, TRUE), D3D_OK);
    ASSERT_EQ(device->GetLight(9, &back), D3D_OK);
    EXPECT_EQ(back.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(back.Direction.z, 1.0f);
    // Eight lights at a time.
    for (DWORD i = 10; i < 17; ++i) ASSERT_EQ(device->LightEnable(i, TRUE), D3D_OK);
    EXPECT_EQ(device->LightEnable(5, TRUE), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->LightEnable(9, FALSE), D3D_OK);
    EXPECT_EQ(device->LightEnable(5, TRUE), D3D_OK);
    D3DLIGHT8 bad = light;
    bad.Type = D3DLIGHTTYPE(0);
    EXPECT_EQ(device->SetLight(1, &bad), D3DERR_INVALIDCALL);
}

TEST_F(DeviceStateTest, PalettesAreKeptByNumber) {
    PALETTEENTRY entries[256];
    for (int i = 0; i < 256; ++i) entries[i] = {BYTE(i), BYTE(255 - i), 7, 255};
    ASSERT_EQ(device->SetPaletteEntries(3, entries), D3D_OK);
    ASSERT_EQ(device->SetCurrentTexturePalette(3), D3D_OK);
    PALETTEENTRY back[256];
    ASSERT_EQ(device->GetPaletteEntries(3, back), D3D_OK);
    EXPECT_EQ(std::memcmp(entries, back, sizeof back), 0);
    UINT current = 0;
    device->GetCurrentTexturePalette(&current);
    EXPECT_EQ(current, 3u);
    EXPECT_EQ(device->GetPaletteEntries(4, back), D3DERR_INVALIDCALL);
}

TEST_F(DeviceStateTest, BindingsHoldReferences) {
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3D_OK);
    IDirect3DVertexBuffer8 *vb = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, &vb), D3D_OK);
    IDirect3DIndexBuffer8 *ib = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib), D3D_OK);

    ASSERT_EQ(device->SetTexture(2, texture), D3D_OK);
    ASSERT_EQ(device->SetStreamSource(0, vb, 16), D3D_OK);
    ASSERT_EQ(device->SetIndices(ib, 5), D3D_OK);
    EXPECT_EQ(RefCount(texture), 2u);
    EXPECT_EQ(RefCount(vb), 2u);
    EXPECT_EQ(RefCount(ib), 2u);
    EXPECT_EQ(device->SetStreamSource(1, vb, 16), D3DERR_INVALIDCALL);  // one stream

    IDirect3DVertexBuffer8 *gotVb = nullptr;
    UINT stride = 0;
    ASSERT_EQ(device->GetStreamSource(0, &gotVb, &stride), D3D_OK);
    EXPECT_EQ(gotVb, vb);
    EXPECT_EQ(stride, 16u);
    EXPECT_EQ(gotVb->Release(), 2u);
    IDirect3DIndexBuffer8 *gotIb = nullptr;
    UINT base = 0;
    ASSERT_EQ(device->GetIndices(&gotIb, &base), D3D_OK);
    EXPECT_EQ(base, 5u);
    gotIb->Release();

    // The device's hold keeps them alive after the caller lets go.
    EXPECT_EQ(texture->Release(), 1u);
    EXPECT_EQ(vb->Release(), 1u);
    EXPECT_EQ(ib->Release(), 1u);
    IDirect3DBaseTexture8 *bound = nullptr;
    ASSERT_EQ(device->GetTexture(2, &bound), D3D_OK);
    EXPECT_EQ(bound->GetType(), D3DRTYPE_TEXTURE);
    bound->Release();
    EXPECT_EQ(device->SetTexture(2, nullptr), D3D_OK);
    EXPECT_EQ(device->SetStreamSource(0, nullptr, 0), D3D_OK);
    EXPECT_EQ(device->SetIndices(nullptr, 0), D3D_OK);
}

TEST_F(DeviceStateTest, RenderTargetBindingHoldsReferences) {
    IDirect3DTexture8 *target = nullptr;
    ASSERT_EQ(device->CreateTexture(32, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                    D3DPOOL_DEFAULT, &target), D3D_OK);
    IDirect3DSurface8 *surface = nullptr, *depth = nullptr, *mainTarget = nullptr;
    target->GetSurfaceLevel(0, &surface);
    ASSERT_EQ(device->GetRenderTarget(&mainTarget), D3D_OK);
    ASSERT_EQ(device->GetDepthStencilSurface(&depth), D3D_OK);
    ASSERT_EQ(device->SetRenderTarget(surface, nullptr), D3D_OK);
    EXPECT_EQ(RefCount(target), 3u);  // caller, the level reference, the device
    IDirect3DSurface8 *none = nullptr;
    EXPECT_EQ(device->GetDepthStencilSurface(&none), D3DERR_NOTFOUND);
    D3DVIEWPORT8 vp;
    device->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 32u);  // the viewport follows the new target
    // A texture without render-target usage cannot be drawn into.
    IDirect3DTexture8 *plain = nullptr;
    ASSERT_EQ(device->CreateTexture(32, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &plain),
              D3D_OK);
    IDirect3DSurface8 *plainSurface = nullptr;
    plain->GetSurfaceLevel(0, &plainSurface);
    EXPECT_EQ(device->SetRenderTarget(plainSurface, nullptr), D3DERR_INVALIDCALL);
    plainSurface->Release();
    plain->Release();
    ASSERT_EQ(device->SetRenderTarget(mainTarget, depth), D3D_OK);
    EXPECT_EQ(RefCount(target), 2u);
    surface->Release();
    EXPECT_EQ(target->Release(), 0u);
    mainTarget->Release();
    depth->Release();
}

TEST_F(DeviceStateTest, ValidationFollowsTheImplementedOperations) {
    DWORD passes = 0;
    ASSERT_EQ(device->ValidateDevice(&passes), D3D_OK);
    EXPECT_EQ(passes, 1u);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MULTIPLYADD);
    device->SetTextureStageState(1, D3DTSS_COLORARG0, D3DTA_CURRENT);
    device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    EXPECT_EQ(device->ValidateDevice(&passes), D3D_OK);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DOTPRODUCT3);
    EXPECT_EQ(device->ValidateDevice(&passes), D3DERR_UNSUPPORTEDCOLOROPERATION);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_SUBTRACT);
    EXPECT_EQ(device->ValidateDevice(&passes), D3DERR_UNSUPPORTEDALPHAOPERATION);
}

class OneStageTest : public rwtest::DeviceTest {
protected:
    void SetUp() override {
        profile.blendStages = 1;
        DeviceTest::SetUp();
    }
};

TEST_F(OneStageTest, ASecondStageIsTooMany) {
    DWORD passes = 0;
    ASSERT_EQ(device->ValidateDevice(&passes), D3D_OK);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
    EXPECT_EQ(device->ValidateDevice(&passes), D3DERR_TOOMANYOPERATIONS);
    EXPECT_EQ(passes, 0u);
}

TEST_F(DeviceStateTest, NoProgrammableShaders) {
    DWORD handle = 7;
    const DWORD tokens[] = {0xFFFF0101u, 0x0000FFFFu};
    EXPECT_EQ(device->CreatePixelShader(tokens, &handle), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetPixelShader(0), D3D_OK);
    EXPECT_EQ(device->SetPixelShader(1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
    device->GetVertexShader(&handle);
    EXPECT_EQ(handle, DWORD(D3DFVF_XYZ | D3DFVF_DIFFUSE));
}

TEST_F(DeviceStateTest, EveryStateIsBackToDefaultAfterReset) {
    const D3DMATRIX m = Scale(3.0f);
    device->SetTransform(D3DTS_WORLD, &m);
    device->SetTransform(D3DTS_TEXTURE3, &m);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
    const D3DLIGHT8 light = PointLight(1.0f);
    device->SetLight(0, &light);
    device->SetVertexShader(D3DFVF_XYZ);
    D3DVIEWPORT8 vp = {1, 1, 2, 2, 0.0f, 1.0f};
    device->SetViewport(&vp);
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3D_OK);
    device->SetTexture(0, texture);
    D3DPRESENT_PARAMETERS pp = rwtest::WindowedParameters(window);
    ASSERT_EQ(device->Reset(&pp), D3D_OK);
    ExpectDefaults();
    EXPECT_EQ(texture->Release(), 0u);  // the reset let go of the binding
}

}  // namespace

}  // namespace device_state_test
