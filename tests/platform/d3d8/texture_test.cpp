// Texture level of detail: a managed texture's LOD hides its largest levels from
// sampling (cube maps on every face), is clamped to the last level, and does nothing
// for textures outside the managed pool. A stage's MAXMIPLEVEL counts from the top
// level as the LOD does, and the larger of the two names the first level drawn.
#include <gtest/gtest.h>

#include <cstring>

#include "support/platform/d3d8_harness.h"

namespace texture_test {

namespace {

struct TexVertex {
    float x, y, z, rhw;
    float u, v;
};
constexpr DWORD kTexFvf = D3DFVF_XYZRHW | D3DFVF_TEX1;

struct CubeVertex {
    float x, y, z, rhw;
    float u, v, w;
};
constexpr DWORD kCubeFvf = D3DFVF_XYZRHW | D3DFVF_TEX1 | D3DFVF_TEXCOORDSIZE3(0);

constexpr D3DCOLOR kLevelColors[3] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};

void Fill(D3DLOCKED_RECT locked, uint32_t edge, D3DCOLOR color) {
    for (uint32_t y = 0; y < edge; ++y) {
        for (uint32_t x = 0; x < edge; ++x) {
            std::memcpy(static_cast<uint8_t *>(locked.pBits) + y * locked.Pitch + x * 4, &color, 4);
        }
    }
}

class TextureLodTest : public rwtest::DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        ASSERT_NE(device, nullptr);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    }
    // A 4x4 texture of three levels, each level one colour of kLevelColors.
    IDirect3DTexture8 *MakeTexture(D3DPOOL pool) {
        IDirect3DTexture8 *texture = nullptr;
        const DWORD usage = pool == D3DPOOL_DEFAULT ? D3DUSAGE_DYNAMIC : 0;
        if (device->CreateTexture(4, 4, 3, usage, D3DFMT_A8R8G8B8, pool, &texture) != D3D_OK) return nullptr;
        for (uint32_t level = 0; level < 3; ++level) {
            D3DLOCKED_RECT locked;
            if (texture->LockRect(level, &locked, nullptr, 0) != D3D_OK) return texture;
            Fill(locked, 4u >> level, kLevelColors[level]);
            texture->UnlockRect(level);
        }
        return texture;
    }
    // The texel the centre of a 4x4 quad over the whole texture shows.
    uint32_t Shown(IDirect3DBaseTexture8 *texture) {
        const TexVertex v[4] = {{-0.5f, -0.5f, 0, 1, 0, 0}, {3.5f, -0.5f, 0, 1, 1, 0},
                                {-0.5f, 3.5f, 0, 1, 0, 1},  {3.5f, 3.5f, 0, 1, 1, 1}};
        device->SetTexture(0, texture);
        device->SetVertexShader(kTexFvf);
        device->BeginScene();
        device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(TexVertex));
        device->EndScene();
        device->SetTexture(0, nullptr);
        return BackBufferPixel(1, 1);
    }
};

TEST_F(TextureLodTest, ManagedTextureSkipsItsLargestLevels) {
    IDirect3DTexture8 *texture = MakeTexture(D3DPOOL_MANAGED);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(Shown(texture), kLevelColors[0]);
    EXPECT_EQ(texture->SetLOD(1), 0u);
    EXPECT_EQ(texture->GetLOD(), 1u);
    EXPECT_EQ(Shown(texture), kLevelColors[1]);
    EXPECT_EQ(texture->SetLOD(9), 1u);
    EXPECT_EQ(texture->GetLOD(), 2u);  // clamped to the last level
    EXPECT_EQ(Shown(texture), kLevelColors[2]);
    EXPECT_EQ(texture->SetLOD(0), 2u);
    EXPECT_EQ(Shown(texture), kLevelColors[0]);
    texture->Release();
}

TEST_F(TextureLodTest, MaxMipLevelCountsFromTheTopLevelLikeTheLod) {
    IDirect3DTexture8 *texture = MakeTexture(D3DPOOL_MANAGED);
    ASSERT_NE(texture, nullptr);
    struct Case {
        DWORD lod, maxMip;
        uint32_t level;  // the level shown: max(lod, maxMip)
    };
    const Case cases[] = {{0, 0, 0}, {0, 1, 1}, {0, 2, 2}, {1, 0, 1}, {1, 1, 1},
                          {1, 2, 2}, {2, 0, 2}, {2, 1, 2}, {1, 7, 2}};
    for (const Case &c : cases) {
        texture->SetLOD(c.lod);
        device->SetTextureStageState(0, D3DTSS_MAXMIPLEVEL, c.maxMip);
        EXPECT_EQ(Shown(texture), kLevelColors[c.level]) << "LOD " << c.lod << ", MAXMIPLEVEL " << c.maxMip;
    }
    device->SetTextureStageState(0, D3DTSS_MAXMIPLEVEL, 0);
    texture->Release();
}

TEST_F(TextureLodTest, TexturesOutsideTheManagedPoolIgnoreIt) {
    IDirect3DTexture8 *texture = MakeTexture(D3DPOOL_DEFAULT);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->SetLOD(1), 0u);
    EXPECT_EQ(texture->GetLOD(), 0u);
    EXPECT_EQ(Shown(texture), kLevelColors[0]);
    texture->Release();
}

TEST_F(TextureLodTest, CubeMapSkipsTheLevelsOfEveryFace) {
    IDirect3DCubeTexture8 *cube = nullptr;
    ASSERT_EQ(device->CreateCubeTexture(4, 3, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &cube), D3D_OK);
    // Face f, level l: colour channel l set to 0x10 * (f + 1).
    auto color = [](uint32_t face, uint32_t level) { return 0xFF000000u | ((0x10u * (face + 1)) << (8 * (2 - level))); };
    for (uint32_t face = 0; face < 6; ++face) {
        for (uint32_t level = 0; level < 3; ++level) {
            D3DLOCKED_RECT locked;
            ASSERT_EQ(cube->LockRect(D3DCUBEMAP_FACES(face), level, &locked, nullptr, 0), D3D_OK);
            Fill(locked, 4u >> level, color(face, level));
            cube->UnlockRect(D3DCUBEMAP_FACES(face), level);
        }
    }
    ASSERT_EQ(cube->SetLOD(1), 0u);
    // Directions along +X, -Y and -Z: faces 0, 3 and 5.
    const float dirs[3][3] = {{1, 0, 0}, {0, -1, 0}, {0, 0, -1}};
    const uint32_t faces[3] = {0, 3, 5};
    device->SetTexture(0, cube);
    device->SetVertexShader(kCubeFvf);
    for (uint32_t i = 0; i < 3; ++i) {
        const float *d = dirs[i];
        const CubeVertex v[4] = {{-0.5f, -0.5f, 0, 1, d[0], d[1], d[2]}, {1.5f, -0.5f, 0, 1, d[0], d[1], d[2]},
                                 {-0.5f, 1.5f, 0, 1, d[0], d[1], d[2]},  {1.5f, 1.5f, 0, 1, d[0], d[1], d[2]}};
        device->BeginScene();
        device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(CubeVertex));
        device->EndScene();
        EXPECT_EQ(BackBufferPixel(0, 0), color(faces[i], 1)) << "face " << faces[i];
    }
    // MAXMIPLEVEL counts from each face's top level too: 1 keeps the LOD's level, 2 goes past it.
    for (DWORD maxMip = 1; maxMip <= 2; ++maxMip) {
        device->SetTextureStageState(0, D3DTSS_MAXMIPLEVEL, maxMip);
        const float *d = dirs[0];
        const CubeVertex v[4] = {{-0.5f, -0.5f, 0, 1, d[0], d[1], d[2]}, {1.5f, -0.5f, 0, 1, d[0], d[1], d[2]},
                                 {-0.5f, 1.5f, 0, 1, d[0], d[1], d[2]},  {1.5f, 1.5f, 0, 1, d[0], d[1], d[2]}};
        device->BeginScene();
        device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(CubeVertex));
        device->EndScene();
        EXPECT_EQ(BackBufferPixel(0, 0), color(faces[0], maxMip)) << "MAXMIPLEVEL " << maxMip;
    }
    device->SetTextureStageState(0, D3DTSS_MAXMIPLEVEL, 0);
    device->SetTexture(0, nullptr);
    cube->Release();
}

}  // namespace

}  // namespace texture_test
