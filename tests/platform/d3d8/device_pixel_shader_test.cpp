// Pixel shaders through the device: what the profile grants, a created shader drawing
// exactly what the interpreter computes in place of the texture stages, handles and
// constants, and a reset that destroys them all.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/d3d8/pixel_shader.h"
#include "platform/d3d8/swr/swr_pixel_shader.h"
#include "device_shader_quads.h"
#include "support/platform/d3d8_harness.h"

namespace device_pixel_shader_test {

namespace {

using namespace d3d8::ps;

using devicetest::kMadShader;
using devicetest::kTexFvf;
using devicetest::TexVertex;

// r0 = v0
const DWORD kMovShader10[] = {kVersion10, kMov, Dst(kRegTemp, 0), Src(kRegInput, 0), kEnd};

class DevicePixelShaderTest : public rwtest::DeviceTest {
protected:
    void SetUp() override {
        profile.pixelShaderVersion = D3DPS_VERSION(1, 1);
        DeviceTest::SetUp();
    }
    // Makes the multiply-add shader, binds it and gives it c0; its handle.
    DWORD BindMadShader(const float (&c0)[4]) {
        DWORD handle = 0;
        EXPECT_EQ(device->CreatePixelShader(kMadShader, &handle), D3D_OK);
        EXPECT_EQ(device->SetPixelShader(handle), D3D_OK);
        EXPECT_EQ(device->SetPixelShaderConstant(0, c0, 1), D3D_OK);
        return handle;
    }
    // A 4x4 quad at the top left in `diffuse`, sampling a 1x1 texture of `texel`.
    void DrawQuad(D3DCOLOR diffuse, D3DCOLOR texel) {
        IDirect3DTexture8 *texture = nullptr;
        ASSERT_EQ(device->CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        std::memcpy(locked.pBits, &texel, 4);
        texture->UnlockRect(0);
        device->SetTexture(0, texture);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        // The stages alone would show the texture factor.
        device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF123456u);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
        const float e = 3.5f;
        const TexVertex v[6] = {{-0.5f, -0.5f, 0, 1, diffuse, 0, 0}, {e, -0.5f, 0, 1, diffuse, 1, 0},
                                {e, e, 0, 1, diffuse, 1, 1},         {-0.5f, -0.5f, 0, 1, diffuse, 0, 0},
                                {e, e, 0, 1, diffuse, 1, 1},         {-0.5f, e, 0, 1, diffuse, 0, 1}};
        device->SetVertexShader(kTexFvf);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(TexVertex)), D3D_OK);
        ASSERT_EQ(device->EndScene(), D3D_OK);
        device->SetTexture(0, nullptr);
        texture->Release();
    }
};

class DefaultProfilePixelShaderTest : public rwtest::DeviceTest {};

class Ps10ProfilePixelShaderTest : public rwtest::DeviceTest {
protected:
    void SetUp() override {
        profile.pixelShaderVersion = D3DPS_VERSION(1, 0);
        DeviceTest::SetUp();
    }
};

TEST_F(DefaultProfilePixelShaderTest, NoShaderCanBeMade) {
    DWORD handle = 7;
    EXPECT_EQ(device->CreatePixelShader(kMovShader10, &handle), D3DERR_INVALIDCALL);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(device->SetPixelShader(1), D3DERR_INVALIDCALL);
}

TEST_F(Ps10ProfilePixelShaderTest, ShadersOfANewerVersionAreRefused) {
    DWORD handle = 0;
    EXPECT_EQ(device->CreatePixelShader(kMadShader, &handle), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->CreatePixelShader(kMovShader10, &handle), D3D_OK);
    EXPECT_NE(handle, 0u);
    EXPECT_EQ(device->DeletePixelShader(handle), D3D_OK);
}

TEST_F(DevicePixelShaderTest, DrawsWhatTheInterpreterComputes) {
    const float c0[4] = {0.5f, 0.25f, 1.0f, 1.0f};
    ASSERT_NE(BindMadShader(c0), 0u);
    const D3DCOLOR diffuse = 0xFF204060u, texel = 0xFFC86432u;
    DrawQuad(diffuse, texel);

    swr::PixelShaderProgram program;
    ASSERT_TRUE(d3d8::DecodePixelShader(kMadShader, 0, &program));
    swr::PixelShaderConstants constants;
    std::memcpy(constants.c[0], c0, sizeof c0);
    swr::Rgba8 texels[D3D8_MAX_TEXTURE_STAGES] = {swr::UnpackColor(texel)};
    const swr::Rgba8 want =
        swr::RunPixelShader(program, constants, swr::UnpackColor(diffuse), swr::Rgba8{0, 0, 0, 0}, texels);
    const uint32_t expected = swr::PackColor(want) | 0xFF000000u;  // the back buffer has no alpha
    EXPECT_NE(expected, 0xFF123456u);
    for (uint32_t y = 0; y < 4; ++y) {
        for (uint32_t x = 0; x < 4; ++x) EXPECT_EQ(BackBufferPixel(x, y), expected) << x << ", " << y;
    }
    EXPECT_EQ(BackBufferPixel(4, 0), 0xFF000000u);

    // Fixed function again once the shader is unbound.
    ASSERT_EQ(device->SetPixelShader(0), D3D_OK);
    DrawQuad(diffuse, texel);
    EXPECT_EQ(BackBufferPixel(1, 1), 0xFF123456u);
}

TEST_F(DevicePixelShaderTest, HandlesAndConstantsReadBack) {
    DWORD a = 0, b = 0, bound = 99;
    ASSERT_EQ(device->CreatePixelShader(kMadShader, &a), D3D_OK);
    ASSERT_EQ(device->CreatePixelShader(kMovShader10, &b), D3D_OK);
    EXPECT_NE(a, b);
    ASSERT_EQ(device->SetPixelShader(b), D3D_OK);
    ASSERT_EQ(device->GetPixelShader(&bound), D3D_OK);
    EXPECT_EQ(bound, b);
    EXPECT_EQ(device->DeletePixelShader(b), D3D_OK);
    ASSERT_EQ(device->GetPixelShader(&bound), D3D_OK);
    EXPECT_EQ(bound, 0u);
    EXPECT_EQ(device->DeletePixelShader(b), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetPixelShader(b), D3DERR_INVALIDCALL);

    const float values[8] = {0.1f, 0.2f, 0.3f, 0.4f, -1.0f, 0.0f, 1.0f, 0.5f};
    ASSERT_EQ(device->SetPixelShaderConstant(6, values, 2), D3D_OK);
    EXPECT_EQ(device->SetPixelShaderConstant(7, values, 2), D3DERR_INVALIDCALL);
    float back[8] = {};
    ASSERT_EQ(device->GetPixelShaderConstant(6, back, 2), D3D_OK);
    EXPECT_EQ(std::memcmp(back, values, sizeof values), 0);
    EXPECT_EQ(device->DeletePixelShader(a), D3D_OK);
}

TEST_F(DevicePixelShaderTest, ResetDestroysShadersAndConstants) {
    const float c0[4] = {1, 1, 1, 1};
    const DWORD handle = BindMadShader(c0);
    ASSERT_NE(handle, 0u);
    D3DPRESENT_PARAMETERS pp = rwtest::WindowedParameters(window);
    ASSERT_EQ(device->Reset(&pp), D3D_OK);

    DWORD bound = 99;
    ASSERT_EQ(device->GetPixelShader(&bound), D3D_OK);
    EXPECT_EQ(bound, 0u);
    EXPECT_EQ(device->SetPixelShader(handle), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DeletePixelShader(handle), D3DERR_INVALIDCALL);
    float back[4] = {9, 9, 9, 9};
    ASSERT_EQ(device->GetPixelShaderConstant(0, back, 1), D3D_OK);
    EXPECT_EQ(back[0], 0.0f);
    EXPECT_EQ(back[3], 0.0f);
    // Made again from its tokens, as the engine restores its shaders after a reset.
    DWORD again = 0;
    ASSERT_EQ(device->CreatePixelShader(kMadShader, &again), D3D_OK);
    EXPECT_EQ(device->SetPixelShader(again), D3D_OK);
}

}  // namespace

}  // namespace device_pixel_shader_test
