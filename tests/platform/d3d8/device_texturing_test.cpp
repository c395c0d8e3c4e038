// Texturing through the device: a texture level made the render target (with its own
// depth buffer), drawn into and then drawn with; a palettised texture recoloured by a
// palette change between two draws; a small 32-bit texture rewritten between two draws;
// and depth words written through a lock, which the next draw tests against.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "support/platform/d3d8_harness.h"

namespace device_texturing_test {

namespace {

struct ColorVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};
constexpr DWORD kColorFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

struct TexVertex {
    float x, y, z, rhw;
    float u, v;
};
constexpr DWORD kTexFvf = D3DFVF_XYZRHW | D3DFVF_TEX1;

class DeviceTexturingTest : public rwtest::DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        ASSERT_NE(device, nullptr);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    }
    void DrawColorRect(float x0, float y0, float x1, float y1, float z, D3DCOLOR c) {
        const ColorVertex v[6] = {{x0, y0, z, 1, c}, {x1, y0, z, 1, c}, {x1, y1, z, 1, c},
                                  {x0, y0, z, 1, c}, {x1, y1, z, 1, c}, {x0, y1, z, 1, c}};
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        device->SetVertexShader(kColorFvf);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(ColorVertex)), D3D_OK);
    }
    // Shows stage 0's texture texel for pixel over [0, w) x [0, h).
    void DrawTexture(float w, float h) {
        const TexVertex v[6] = {{-0.5f, -0.5f, 0, 1, 0, 0},        {w - 0.5f, -0.5f, 0, 1, 1, 0},
                                {w - 0.5f, h - 0.5f, 0, 1, 1, 1},  {-0.5f, -0.5f, 0, 1, 0, 0},
                                {w - 0.5f, h - 0.5f, 0, 1, 1, 1},  {-0.5f, h - 0.5f, 0, 1, 0, 1}};
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        device->SetVertexShader(kTexFvf);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(TexVertex)), D3D_OK);
    }
};

TEST_F(DeviceTexturingTest, RenderToATextureLevelThenDrawWithIt) {
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &texture), D3D_OK);
    IDirect3DSurface8 *level = nullptr, *levelDepth = nullptr, *back = nullptr, *backDepth = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    ASSERT_EQ(device->CreateDepthStencilSurface(8, 8, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, &levelDepth), D3D_OK);
    ASSERT_EQ(device->GetRenderTarget(&back), D3D_OK);
    ASSERT_EQ(device->GetDepthStencilSurface(&backDepth), D3D_OK);

    ASSERT_EQ(device->SetRenderTarget(level, levelDepth), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FFu, 1.0f, 0);
    // Red nearer than green: green shows only where red is not.
    DrawColorRect(-0.5f, -0.5f, 3.5f, 7.5f, 0.5f, 0xFFFF0000u);
    DrawColorRect(1.5f, -0.5f, 5.5f, 7.5f, 0.75f, 0xFF00FF00u);
    ASSERT_EQ(device->EndScene(), D3D_OK);

    ASSERT_EQ(device->SetRenderTarget(back, backDepth), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    DrawTexture(8, 8);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    const uint32_t want[8] = {0xFFFF0000u, 0xFFFF0000u, 0xFFFF0000u, 0xFFFF0000u,
                              0xFF00FF00u, 0xFF00FF00u, 0xFF0000FFu, 0xFF0000FFu};
    for (uint32_t y = 0; y < 8; ++y) {
        for (uint32_t x = 0; x < 8; ++x) EXPECT_EQ(BackBufferPixel(x, y), want[x]) << x << ", " << y;
    }
    EXPECT_EQ(BackBufferPixel(8, 0), 0xFF000000u);

    device->SetTexture(0, nullptr);
    back->Release();
    backDepth->Release();
    levelDepth->Release();
    level->Release();
    texture->Release();
}

TEST_F(DeviceTexturingTest, PaletteChangeBetweenDrawsRecoloursAPalettisedTexture) {
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(device->CreateTexture(2, 1, 1, 0, D3DFMT_P8, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    static_cast<uint8_t *>(locked.pBits)[0] = 1;
    static_cast<uint8_t *>(locked.pBits)[1] = 2;
    texture->UnlockRect(0);
    PALETTEENTRY palette[256] = {};
    palette[1] = PALETTEENTRY{255, 0, 0, 255};
    palette[2] = PALETTEENTRY{0, 0, 255, 255};
    ASSERT_EQ(device->SetPaletteEntries(5, palette), D3D_OK);
    ASSERT_EQ(device->SetCurrentTexturePalette(5), D3D_OK);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    DrawTexture(2, 1);
    EXPECT_EQ(BackBufferPixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(BackBufferPixel(1, 0), 0xFF0000FFu);
    palette[1] = PALETTEENTRY{0, 255, 0, 255};
    ASSERT_EQ(device->SetPaletteEntries(5, palette), D3D_OK);
    DrawTexture(2, 1);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(BackBufferPixel(0, 0), 0xFF00FF00u);
    EXPECT_EQ(BackBufferPixel(1, 0), 0xFF0000FFu);
    device->SetTexture(0, nullptr);
    texture->Release();
}

// Small 32-bit textures are sampled from copies: one rewritten through a lock between
// two draws shows its new texels in the second, opaque whatever the unused byte of its
// X8R8G8B8 texels holds.
TEST_F(DeviceTexturingTest, ASmall32BitTextureRewrittenThroughALockShowsItsNewTexels) {
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(device->CreateTexture(2, 2, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    auto fill = [&](uint32_t first) {
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (uint32_t y = 0; y < 2; ++y) {
            uint32_t *row = reinterpret_cast<uint32_t *>(static_cast<uint8_t *>(locked.pBits) + y * locked.Pitch);
            for (uint32_t x = 0; x < 2; ++x) row[x] = 0x12000000u | (first + y * 2 + x);
        }
        ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    };
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    fill(0x102030);
    DrawTexture(2, 2);
    for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(BackBufferPixel(i % 2, i / 2), 0xFF102030u + i) << i;
    fill(0x405060);
    DrawTexture(2, 2);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(BackBufferPixel(i % 2, i / 2), 0xFF405060u + i) << i;
    device->SetTexture(0, nullptr);
    texture->Release();
}

// The rasteriser keeps a coarse depth of the surface's tiles: a lock drops it, so words
// written through the lock (here farther than the clear) are what the next draw meets.
TEST_F(DeviceTexturingTest, DepthWrittenThroughALockIsWhatTheNextDrawTests) {
    IDirect3DSurface8 *depth = nullptr, *back = nullptr, *backDepth = nullptr;
    ASSERT_EQ(device->CreateDepthStencilSurface(width, height, D3DFMT_D16, D3DMULTISAMPLE_NONE, &depth), D3D_OK);
    ASSERT_EQ(device->GetRenderTarget(&back), D3D_OK);
    ASSERT_EQ(device->GetDepthStencilSurface(&backDepth), D3D_OK);
    ASSERT_EQ(device->SetRenderTarget(back, depth), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 0.25f, 0);
    // Nothing lies nearer than the clear at 0.5: the tiles are known to be behind (and
    // stay known: the draw writes no depth). Alpha-tested drawing asks them.
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_ALWAYS);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    DrawColorRect(-0.5f, -0.5f, width - 0.5f, height - 0.5f, 0.5f, 0xFFFF0000u);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    EXPECT_EQ(BackBufferPixel(width / 2, height / 2), 0xFF000000u);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(depth->LockRect(&locked, nullptr, 0), D3D_OK);
    for (uint32_t y = 0; y < height; ++y) {
        uint16_t *row = reinterpret_cast<uint16_t *>(static_cast<uint8_t *>(locked.pBits) + y * locked.Pitch);
        for (uint32_t x = 0; x < width; ++x) row[x] = 0xFFFF;
    }
    ASSERT_EQ(depth->UnlockRect(), D3D_OK);
    DrawColorRect(-0.5f, -0.5f, width - 0.5f, height - 0.5f, 0.5f, 0xFF00FF00u);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    for (uint32_t y = 0; y < height; y += 7) {
        for (uint32_t x = 0; x < width; x += 9) EXPECT_EQ(BackBufferPixel(x, y), 0xFF00FF00u) << x << ", " << y;
    }
    device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    ASSERT_EQ(device->SetRenderTarget(back, backDepth), D3D_OK);
    back->Release();
    backDepth->Release();
    depth->Release();
}

}  // namespace

}  // namespace device_texturing_test
