// Resources of the device: creation rules, reference counts, descriptions, lock
// semantics and pitches, and rectangle copies.
#include <gtest/gtest.h>

#include <cstring>

#include "support/platform/d3d8_harness.h"

namespace resources_test {

namespace {

using rwtest::RefCount;

class ResourcesTest : public rwtest::DeviceTest {};

TEST_F(ResourcesTest, TextureLevelsDescriptionsAndTightPitches) {
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(device->CreateTexture(64, 16, 0, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &texture),
              D3D_OK);
    ASSERT_EQ(texture->GetLevelCount(), 7u);  // 64x16 down to 1x1
    EXPECT_EQ(texture->GetType(), D3DRTYPE_TEXTURE);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(texture->GetLevelDesc(3, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 8u);
    EXPECT_EQ(desc.Height, 2u);
    EXPECT_EQ(desc.Format, D3DFMT_R5G6B5);
    EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
    EXPECT_EQ(desc.Size, 8u * 2u * 2u);
    EXPECT_EQ(texture->GetLevelDesc(7, &desc), D3DERR_INVALIDCALL);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(6, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 2);
    EXPECT_EQ(texture->LockRect(6, &locked, nullptr, 0), D3DERR_INVALIDCALL);  // already locked
    EXPECT_EQ(texture->UnlockRect(6), D3D_OK);
    EXPECT_EQ(texture->UnlockRect(6), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(ResourcesTest, LockedRectanglePointsIntoTheLevel) {
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(device->CreateTexture(16, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3D_OK);
    D3DLOCKED_RECT whole, part;
    ASSERT_EQ(texture->LockRect(0, &whole, nullptr, 0), D3D_OK);
    EXPECT_EQ(whole.Pitch, 64);
    auto *base = static_cast<uint8_t *>(whole.pBits);
    const uint32_t marker = 0x11223344u;
    std::memcpy(base + 3 * 64 + 5 * 4, &marker, 4);
    texture->UnlockRect(0);
    const RECT rect = {5, 3, 9, 7};
    ASSERT_EQ(texture->LockRect(0, &part, &rect, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(part.Pitch, 64);
    EXPECT_EQ(std::memcmp(part.pBits, &marker, 4), 0);
    texture->UnlockRect(0);
    const RECT outside = {10, 0, 17, 1};
    EXPECT_EQ(texture->LockRect(0, &part, &outside, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(ResourcesTest, CompressedLevelsLockInBlocks) {
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(device->CreateTexture(16, 16, 0, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Size, 4u * 4u * 8u);
    texture->GetLevelDesc(4, &desc);  // 1x1 still takes one block
    EXPECT_EQ(desc.Size, 8u);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 32);  // one row of four 8-byte blocks
    auto *base = static_cast<uint8_t *>(locked.pBits);
    texture->UnlockRect(0);
    const RECT aligned = {4, 8, 8, 12};
    ASSERT_EQ(texture->LockRect(0, &locked, &aligned, 0), D3D_OK);
    EXPECT_EQ(static_cast<uint8_t *>(locked.pBits) - base, 2 * 32 + 8);
    texture->UnlockRect(0);
    const RECT unaligned = {2, 0, 6, 4};
    EXPECT_EQ(texture->LockRect(0, &locked, &unaligned, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->Release(), 0u);

    IDirect3DTexture8 *dxt5 = nullptr;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_DXT5, D3DPOOL_MANAGED, &dxt5), D3D_OK);
    ASSERT_EQ(dxt5->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 32);
    dxt5->UnlockRect(0);
    dxt5->Release();
}

TEST_F(ResourcesTest, SurfacesOfATextureCountOnTheTexture) {
    IDirect3DTexture8 *texture = nullptr;
    ASSERT_EQ(device->CreateTexture(8, 8, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3D_OK);
    IDirect3DSurface8 *level = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(1, &level), D3D_OK);
    EXPECT_EQ(RefCount(texture), 2u);
    EXPECT_EQ(texture->Release(), 1u);  // the level keeps the texture alive
    D3DSURFACE_DESC desc;
    ASSERT_EQ(level->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, 4u);
    IDirect3DDevice8 *owner = nullptr;
    ASSERT_EQ(level->GetDevice(&owner), D3D_OK);
    EXPECT_EQ(owner, device);
    owner->Release();
    EXPECT_EQ(level->Release(), 0u);
    EXPECT_EQ(RefCount(device), 1u);  // resources do not hold the device
}

TEST_F(ResourcesTest, CubeTexturesHaveSixFacesOfLevels) {
    IDirect3DCubeTexture8 *cube = nullptr;
    ASSERT_EQ(device->CreateCubeTexture(16, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &cube), D3D_OK);
    EXPECT_EQ(cube->GetLevelCount(), 5u);
    EXPECT_EQ(cube->GetType(), D3DRTYPE_CUBETEXTURE);
    IDirect3DSurface8 *a = nullptr, *b = nullptr;
    ASSERT_EQ(cube->GetCubeMapSurface(D3DCUBEMAP_FACE_NEGATIVE_Y, 2, &a), D3D_OK);
    ASSERT_EQ(cube->GetCubeMapSurface(D3DCUBEMAP_FACE_POSITIVE_Z, 2, &b), D3D_OK);
    EXPECT_NE(a, b);
    D3DSURFACE_DESC desc;
    a->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 4u);
    EXPECT_EQ(desc.Height, 4u);
    EXPECT_EQ(RefCount(cube), 3u);
    a->Release();
    b->Release();
    D3DLOCKED_RECT locked;
    EXPECT_EQ(cube->LockRect(D3DCUBEMAP_FACE_NEGATIVE_Z, 0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 64);
    EXPECT_EQ(cube->UnlockRect(D3DCUBEMAP_FACE_NEGATIVE_Z, 0), D3D_OK);
    EXPECT_EQ(cube->GetCubeMapSurface(D3DCUBEMAP_FACES(6), 0, &a), D3DERR_INVALIDCALL);
    EXPECT_EQ(cube->Release(), 0u);
}

TEST_F(ResourcesTest, TextureRequestsOutsideTheProfileFail) {
    IDirect3DTexture8 *texture = nullptr;
    EXPECT_EQ(device->CreateTexture(4097, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(8, 8, 5, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL);  // more levels than the chain has
    EXPECT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                    D3DPOOL_MANAGED, &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_R5G6B5,
                                    D3DPOOL_DEFAULT, &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8L8, D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(texture, nullptr);
    // Non-power-of-two sizes are fine on the default profile.
    ASSERT_EQ(device->CreateTexture(100, 30, 1, 0, D3DFMT_P8, D3DPOOL_MANAGED, &texture), D3D_OK);
    texture->Release();
}

class Pow2ResourcesTest : public rwtest::DeviceTest {
protected:
    void SetUp() override {
        profile.pow2TexturesOnly = true;
        DeviceTest::SetUp();
    }
};

TEST_F(Pow2ResourcesTest, NonPowerOfTwoTexturesAreRefused) {
    IDirect3DTexture8 *texture = nullptr;
    EXPECT_EQ(device->CreateTexture(100, 32, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL);
    IDirect3DCubeTexture8 *cube = nullptr;
    EXPECT_EQ(device->CreateCubeTexture(24, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &cube),
              D3DERR_INVALIDCALL);
    ASSERT_EQ(device->CreateTexture(128, 32, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3D_OK);
    texture->Release();
}

TEST_F(ResourcesTest, VertexBufferLocksAndReadsBackWriteOnlyData) {
    IDirect3DVertexBuffer8 *vb = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(64, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC,
                                         D3DFVF_XYZ, D3DPOOL_DEFAULT, &vb), D3D_OK);
    D3DVERTEXBUFFER_DESC desc;
    ASSERT_EQ(vb->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Size, 64u);
    EXPECT_EQ(desc.FVF, D3DFVF_XYZ);
    EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);
    EXPECT_EQ(desc.Usage, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC);
    EXPECT_EQ(desc.Type, D3DRTYPE_VERTEXBUFFER);
    BYTE *data = nullptr;
    ASSERT_EQ(vb->Lock(16, 8, &data, D3DLOCK_NOOVERWRITE), D3D_OK);
    std::memcpy(data, "abcdefgh", 8);
    ASSERT_EQ(vb->Unlock(), D3D_OK);
    BYTE *all = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &all, D3DLOCK_DISCARD), D3D_OK);  // size 0: everything
    EXPECT_EQ(data - all, 16);
    EXPECT_EQ(std::memcmp(all + 16, "abcdefgh", 8), 0);  // discard keeps what was written
    vb->Unlock();
    EXPECT_EQ(vb->Lock(60, 8, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(vb->Unlock(), D3DERR_INVALIDCALL);
    EXPECT_EQ(vb->Release(), 0u);
}

TEST_F(ResourcesTest, IndexBuffersTakeBothIndexSizes) {
    IDirect3DIndexBuffer8 *ib = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(40, D3DUSAGE_WRITEONLY, D3DFMT_INDEX32, D3DPOOL_MANAGED,
                                        &ib), D3D_OK);
    D3DINDEXBUFFER_DESC desc;
    ASSERT_EQ(ib->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Format, D3DFMT_INDEX32);
    EXPECT_EQ(desc.Size, 40u);
    BYTE *data = nullptr;
    EXPECT_EQ(ib->Lock(0, 41, &data, 0), D3DERR_INVALIDCALL);
    ib->Release();
    EXPECT_EQ(device->CreateIndexBuffer(40, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &ib),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateIndexBuffer(0, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib),
              D3DERR_INVALIDCALL);
}

TEST_F(ResourcesTest, CopyRectsBetweenSurfacesOfOneFormat) {
    IDirect3DSurface8 *src = nullptr, *dst = nullptr, *other = nullptr;
    ASSERT_EQ(device->CreateImageSurface(8, 8, D3DFMT_A8R8G8B8, &src), D3D_OK);
    ASSERT_EQ(device->CreateImageSurface(8, 8, D3DFMT_A8R8G8B8, &dst), D3D_OK);
    ASSERT_EQ(device->CreateImageSurface(8, 8, D3DFMT_R5G6B5, &other), D3D_OK);
    D3DSURFACE_DESC desc;
    src->GetDesc(&desc);
    EXPECT_EQ(desc.Pool, D3DPOOL_SYSTEMMEM);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(src->LockRect(&locked, nullptr, 0), D3D_OK);
    for (uint32_t y = 0; y < 8; ++y) {
        for (uint32_t x = 0; x < 8; ++x) {
            const uint32_t v = y * 16 + x;
            std::memcpy(static_cast<uint8_t *>(locked.pBits) + y * locked.Pitch + x * 4, &v, 4);
        }
    }
    src->UnlockRect();
    const RECT rect = {1, 2, 4, 5};
    const POINT point = {4, 0};
    ASSERT_EQ(device->CopyRects(src, &rect, 1, dst, &point), D3D_OK);
    EXPECT_EQ(PixelAt(dst, 4, 0), 2u * 16 + 1);
    EXPECT_EQ(PixelAt(dst, 6, 2), 4u * 16 + 3);
    EXPECT_EQ(PixelAt(dst, 7, 0), 0u);
    ASSERT_EQ(device->CopyRects(src, nullptr, 0, dst, nullptr), D3D_OK);  // whole surface
    EXPECT_EQ(PixelAt(dst, 7, 7), 7u * 16 + 7);
    EXPECT_EQ(device->CopyRects(src, nullptr, 0, other, nullptr), D3DERR_INVALIDCALL);
    const POINT outside = {6, 6};
    EXPECT_EQ(device->CopyRects(src, &rect, 1, dst, &outside), D3DERR_INVALIDCALL);
    src->Release();
    dst->Release();
    other->Release();
}

TEST_F(ResourcesTest, ForcedFailuresComeBackOnce) {
    d3d8::FailNextCreations(device, 1, D3DERR_OUTOFVIDEOMEMORY);
    IDirect3DTexture8 *texture = nullptr;
    EXPECT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(texture, nullptr);
    ASSERT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3D_OK);
    texture->Release();
}

TEST_F(ResourcesTest, ResourcesOutlivingTheDeviceLoseOnlyTheirDevice) {
    IDirect3DVertexBuffer8 *vb = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(16, 0, 0, D3DPOOL_MANAGED, &vb), D3D_OK);
    EXPECT_EQ(device->Release(), 0u);
    device = nullptr;
    IDirect3DDevice8 *owner = nullptr;
    EXPECT_EQ(vb->GetDevice(&owner), D3DERR_INVALIDCALL);
    BYTE *data = nullptr;
    EXPECT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
    vb->Unlock();
    EXPECT_EQ(vb->Release(), 0u);
}

}  // namespace

}  // namespace resources_test
