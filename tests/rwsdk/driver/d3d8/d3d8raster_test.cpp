// Device rasters on our device: formats chosen per type, sizes the device
// can hold, locks of levels, palettes and their numbers, mip regeneration,
// unbinding on destroy, and the resources re-made around a reset.
#include <gtest/gtest.h>

#include <cstring>

#include "driver/d3d8/d3d8raster.h"
#include "support/engine/engine_env.h"
#include "d3d8_driver_test_support.h"

namespace d3d8raster_test {

namespace {

class D3D8RasterTest : public d3d8test::DriverTest {
protected:
    void SetUp() override
    {
        DriverTest::SetUp();
        ASSERT_TRUE(StartEngine());
        rwtest::TakeError();
        baselineDefaultPool = d3d8::LiveDefaultPoolObjects(Real());
    }
    // Default-pool objects the driver itself keeps (its dynamic buffers).
    uint32_t baselineDefaultPool = 0;
};

TEST_F(D3D8RasterTest, EmptyRastersOwnNothingAndCamerasStillJoinTheResetList)
{
    for (RwInt32 type : {rwRASTERTYPENORMAL, rwRASTERTYPEZBUFFER, rwRASTERTYPECAMERA, rwRASTERTYPETEXTURE,
                         rwRASTERTYPECAMERATEXTURE}) {
        RwRaster *raster = RwRasterCreate(0, 0, 0, type);
        ASSERT_NE(raster, nullptr) << type;
        EXPECT_EQ(raster->cFlags, rwRASTERDONTALLOCATE);
        EXPECT_EQ(RwD3D8RasterGetExt(raster)->texture, nullptr);
        EXPECT_NE(raster->depth, 0);
        EXPECT_EQ(RwD3D8RasterVideoListContains(raster), type == rwRASTERTYPECAMERA) << type;
        RwRasterDestroy(raster);
        EXPECT_FALSE(RwD3D8RasterVideoListContains(raster));
    }
}

TEST_F(D3D8RasterTest, UnknownTypesAndFourBitFormatsAreRefused)
{
    EXPECT_EQ(RwRasterCreate(8, 8, 0, 3), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_INVRASTERFORMAT);
    EXPECT_EQ(RwRasterCreate(8, 8, 0, rwRASTERTYPETEXTURE | rwRASTERFORMATPAL4 | rwRASTERFORMAT888), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_INVRASTERFORMAT);
    EXPECT_EQ(RwRasterCreate(8, 8, 0, rwRASTERTYPEZBUFFER | rwRASTERFORMAT565), nullptr);
}

TEST_F(D3D8RasterTest, DefaultFormatsFollowTheDisplayAndDevice)
{
    RwRaster *texture = RwRasterCreate(16, 16, 0, rwRASTERTYPETEXTURE);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(RwRasterGetFormat(texture) & rwRASTERFORMATPIXELFORMATMASK, rwRASTERFORMAT8888);
    EXPECT_EQ(texture->depth, 32);
    EXPECT_TRUE(RwD3D8RasterGetExt(texture)->alpha);
    RwRasterDestroy(texture);

    RwRaster *palettised = RwRasterCreate(16, 16, 0, rwRASTERTYPETEXTURE | rwRASTERFORMATPAL8);
    ASSERT_NE(palettised, nullptr);
    EXPECT_EQ(palettised->depth, 8);
    EXPECT_EQ(RwRasterGetFormat(palettised) & rwRASTERFORMATPIXELFORMATMASK, rwRASTERFORMAT8888);  // alpha palettes
    EXPECT_TRUE(RwD3D8RasterVideoListContains(palettised));
    RwRasterDestroy(palettised);

    RwRaster *camera = RwRasterCreate(static_cast<RwInt32>(width), static_cast<RwInt32>(height), 0, rwRASTERTYPECAMERA);
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(RwRasterGetFormat(camera), rwRASTERFORMAT888);
    EXPECT_EQ(camera->depth, 32);
    RwRasterDestroy(camera);

    EXPECT_EQ(RwRasterCreate(static_cast<RwInt32>(width) + 1, 4, 0, rwRASTERTYPECAMERA), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_DEVICEERROR);
}

TEST_F(D3D8RasterTest, LockingALevelShowsItsSizeUntilUnlock)
{
    RwRaster *raster = RwRasterCreate(256, 256, 0, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888 | rwRASTERFORMATMIPMAP);
    ASSERT_NE(raster, nullptr);
    EXPECT_EQ(RwRasterGetNumLevels(raster), 9);
    ASSERT_NE(RwRasterLock(raster, 3, rwRASTERLOCKWRITE), nullptr);
    EXPECT_EQ(raster->width, 32);
    EXPECT_EQ(raster->height, 32);
    EXPECT_EQ(raster->stride, 32 * 4);
    // A second lock fails and leaves the first one intact.
    EXPECT_EQ(RwRasterLock(raster, 0, rwRASTERLOCKREAD), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_INVRASTERLOCKREQ);
    EXPECT_NE(raster->cpPixels, nullptr);
    RwRasterUnlock(raster);
    EXPECT_EQ(raster->width, 256);
    EXPECT_EQ(raster->cpPixels, nullptr);
    EXPECT_EQ(RwD3D8RasterGetExt(raster)->lockedLevel, 3u);
    EXPECT_FALSE(RwD3D8RasterUnlock(nullptr, raster, 0));
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_INVRASTERUNLOCKREQ);
    RwRasterDestroy(raster);

    RwRaster *thin = RwRasterCreate(256, 32, 0, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888 | rwRASTERFORMATMIPMAP);
    ASSERT_NE(RwRasterLock(thin, 6, rwRASTERLOCKREAD), nullptr);
    EXPECT_EQ(thin->width, 4);
    EXPECT_EQ(thin->height, 1);
    RwRasterUnlock(thin);
    RwRasterDestroy(thin);
}

int gMipGenerations = 0;
RwRaster *CountMipGeneration(RwRaster *raster, RwImage *)
{
    ++gMipGenerations;
    return raster;
}

TEST_F(D3D8RasterTest, OnlyAWriteOfLevelZeroRegeneratesAutomaticMipLevels)
{
    RwTextureCallBackMipmapGeneration saved = RwTextureGetMipmapGenerationCallBack();
    RwTextureSetMipmapGenerationCallBack(CountMipGeneration);
    gMipGenerations = 0;
    RwRaster *raster = RwRasterCreate(
        64, 64, 0, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888 | rwRASTERFORMATMIPMAP | rwRASTERFORMATAUTOMIPMAP);
    ASSERT_NE(raster, nullptr);
    RwRasterLock(raster, 0, rwRASTERLOCKREAD);
    RwRasterUnlock(raster);
    RwRasterLock(raster, 1, rwRASTERLOCKWRITE);
    RwRasterUnlock(raster);
    EXPECT_EQ(gMipGenerations, 0);
    RwRasterLock(raster, 0, rwRASTERLOCKWRITE);
    RwRasterUnlock(raster);
    EXPECT_EQ(gMipGenerations, 1);
    EXPECT_EQ(RwD3D8RasterGetExt(raster)->lockedLevel, rwD3D8NOLOCKEDLEVEL);
    RwRasterDestroy(raster);
    RwTextureSetMipmapGenerationCallBack(saved);
}

TEST_F(D3D8RasterTest, PaletteNumbersComeBackFromFailedAndDestroyedTextures)
{
    const RwInt32 flags = rwRASTERTYPETEXTURE | rwRASTERFORMATPAL8 | rwRASTERFORMAT888;
    RwRaster *first = RwRasterCreate(8, 8, 0, flags);
    ASSERT_NE(first, nullptr);
    const RwUInt32 firstNumber = RwD3D8RasterGetExt(first)->palette->globalindex;
    d3d8::FailNextCreations(Real(), 1, E_FAIL);
    EXPECT_EQ(RwRasterCreate(8, 8, 0, flags), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_DEVICEERROR);
    RwRaster *second = RwRasterCreate(8, 8, 0, flags);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(RwD3D8RasterGetExt(second)->palette->globalindex, firstNumber + 1);
    RwRasterDestroy(first);
    RwRaster *third = RwRasterCreate(8, 8, 0, flags);
    EXPECT_EQ(RwD3D8RasterGetExt(third)->palette->globalindex, firstNumber);
    RwRasterDestroy(second);
    RwRasterDestroy(third);
}

TEST_F(D3D8RasterTest, PaletteWritesReachTheDeviceOnUnlock)
{
    RwRaster *raster = RwRasterCreate(8, 8, 0, rwRASTERTYPETEXTURE | rwRASTERFORMATPAL8 | rwRASTERFORMAT888);
    ASSERT_NE(raster, nullptr);
    RwUInt8 *palette = RwRasterLockPalette(raster, rwRASTERLOCKWRITE);
    ASSERT_NE(palette, nullptr);
    palette[4 * 7 + 1] = 0x5A;
    RwRasterUnlockPalette(raster);
    PALETTEENTRY entries[256];
    ASSERT_EQ(Real()->GetPaletteEntries(RwD3D8RasterGetExt(raster)->palette->globalindex, entries), D3D_OK);
    EXPECT_EQ(entries[7].peGreen, 0x5A);
    RwRaster *camera = RwRasterCreate(0, 0, 0, rwRASTERTYPECAMERA);
    EXPECT_EQ(RwRasterLockPalette(camera, rwRASTERLOCKREAD), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_INVRASTERLOCKREQ);
    RwRasterDestroy(camera);
    RwRasterDestroy(raster);
}

TEST_F(D3D8RasterTest, DestroyingARasterUnbindsItFromEveryStage)
{
    RwRaster *raster = RwRasterCreate(8, 8, 0, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888);
    RwRaster *other = RwRasterCreate(8, 8, 0, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888);
    ASSERT_NE(raster, nullptr);
    RwD3D8SetStageRaster(other, 0);
    RwD3D8SetStageRaster(raster, 1);
    RwD3D8SetStageRaster(raster, 5);
    RwRasterDestroy(raster);
    EXPECT_EQ(RwD3D8GetStageRaster(1), nullptr);
    EXPECT_EQ(RwD3D8GetStageRaster(5), nullptr);
    EXPECT_EQ(RwD3D8GetStageRaster(0), other);
    RwD3D8SetStageRaster(nullptr, 0);
    RwRasterDestroy(other);
}

TEST_F(D3D8RasterTest, AClientSizedZBufferSharesTheDeviceSurface)
{
    RwRaster *shared = RwRasterCreate(static_cast<RwInt32>(width), static_cast<RwInt32>(height), 0, rwRASTERTYPEZBUFFER);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(RwD3D8RasterGetExt(shared)->texture, rwD3D8Device.mainDepthStencil);
    RwRaster *own = RwRasterCreate(16, 16, 0, rwRASTERTYPEZBUFFER);
    ASSERT_NE(own, nullptr);
    EXPECT_NE(RwD3D8RasterGetExt(own)->texture, rwD3D8Device.mainDepthStencil);
    EXPECT_EQ(own->depth, rwD3D8Device.zBufferDepth);
    RwRasterDestroy(shared);
    RwRasterDestroy(own);
    IDirect3DSurface8 *depth = nullptr;
    ASSERT_EQ(Real()->GetDepthStencilSurface(&depth), D3D_OK);
    EXPECT_EQ(depth, rwD3D8Device.mainDepthStencil);  // still alive
    depth->Release();
}

TEST_F(D3D8RasterTest, VideoMemoryIsLetGoBeforeAResetAndMadeAgainAfter)
{
    RwRaster *zbuffer = RwRasterCreate(16, 16, 0, rwRASTERTYPEZBUFFER);
    RwRaster *target = RwRasterCreate(32, 32, 0, rwRASTERTYPECAMERATEXTURE);
    RwRaster *palettised = RwRasterCreate(8, 8, 0, rwRASTERTYPETEXTURE | rwRASTERFORMATPAL8 | rwRASTERFORMAT888);
    ASSERT_NE(zbuffer, nullptr);
    ASSERT_NE(target, nullptr);
    ASSERT_NE(palettised, nullptr);
    RwUInt8 *palette = RwRasterLockPalette(palettised, rwRASTERLOCKWRITE);
    palette[0] = 0x11;
    RwRasterUnlockPalette(palettised);

    EXPECT_TRUE(RwD3D8RasterReleaseVideoMemory());
    EXPECT_EQ(RwD3D8RasterGetExt(zbuffer)->texture, nullptr);
    EXPECT_EQ(RwD3D8RasterGetExt(target)->texture, nullptr);
    EXPECT_EQ(d3d8::LiveDefaultPoolObjects(Real()), baselineDefaultPool);

    Real()->SetPaletteEntries(RwD3D8RasterGetExt(palettised)->palette->globalindex,
                              RwD3D8RasterGetExt(palettised)->palette->entries + 1);  // forget it
    EXPECT_TRUE(RwD3D8RasterRestoreVideoMemory());
    EXPECT_NE(RwD3D8RasterGetExt(zbuffer)->texture, nullptr);
    EXPECT_NE(RwD3D8RasterGetExt(target)->texture, nullptr);
    PALETTEENTRY entries[256];
    Real()->GetPaletteEntries(RwD3D8RasterGetExt(palettised)->palette->globalindex, entries);
    EXPECT_EQ(entries[0].peRed, 0x11);
    RwRasterDestroy(zbuffer);
    RwRasterDestroy(target);
    RwRasterDestroy(palettised);
    EXPECT_EQ(d3d8::LiveDefaultPoolObjects(Real()), baselineDefaultPool);
}

TEST_F(D3D8RasterTest, CameraLocksCopyTheBackBufferInAndOut)
{
    RwRaster *camera = RwRasterCreate(static_cast<RwInt32>(width), static_cast<RwInt32>(height), 0, rwRASTERTYPECAMERA);
    ASSERT_NE(camera, nullptr);
    RwRasterPushContext(camera);
    EXPECT_TRUE(RwRasterClear(static_cast<RwInt32>(0xFF336699u)));
    RwRasterPopContext();
    RwUInt8 *pixels = RwRasterLock(camera, 0, rwRASTERLOCKREAD | rwRASTERLOCKWRITE);
    ASSERT_NE(pixels, nullptr);
    RwUInt32 value;
    std::memcpy(&value, pixels, 4);
    EXPECT_EQ(value & 0xFFFFFF, 0x336699u);
    value = 0xFF00FF00u;
    std::memcpy(pixels + camera->stride * 2 + 4 * 3, &value, 4);
    RwRasterUnlock(camera);
    RwUInt8 *again = RwRasterLock(camera, 0, rwRASTERLOCKREAD);
    std::memcpy(&value, again + camera->stride * 2 + 4 * 3, 4);
    EXPECT_EQ(value & 0xFFFFFF, 0x00FF00u);
    RwRasterUnlock(camera);
    EXPECT_EQ(d3d8::LiveDefaultPoolObjects(Real()), baselineDefaultPool);  // image surfaces given back
    RwRasterDestroy(camera);
}

// A window made smaller shrinks the back buffer under a camera raster of
// the old size: a lock shows only what the back buffer holds, and an image
// taken from it gets those pixels and nothing from beyond them.
TEST_F(D3D8RasterTest, CameraLocksShowNoMoreThanTheBackBufferHolds)
{
    RwCamera *camera = MakeCamera();
    window->SetClientSize(width / 2, height / 2);
    ASSERT_NE(RwCameraBeginUpdate(camera), nullptr);
    RwCameraEndUpdate(camera);
    RwRaster *raster = RwCameraGetRaster(camera);
    RwRasterPushContext(raster);
    EXPECT_TRUE(RwRasterClear(static_cast<RwInt32>(0xFF336699u)));
    RwRasterPopContext();

    ASSERT_NE(RwRasterLock(raster, 0, rwRASTERLOCKREAD), nullptr);
    EXPECT_EQ(raster->width, static_cast<RwInt32>(width / 2));
    EXPECT_EQ(raster->height, static_cast<RwInt32>(height / 2));
    RwRasterUnlock(raster);
    EXPECT_EQ(raster->width, static_cast<RwInt32>(width));
    EXPECT_EQ(raster->height, static_cast<RwInt32>(height));

    RwImage *image = RwImageCreate(raster->width, raster->height, 32);
    ASSERT_NE(RwImageAllocatePixels(image), nullptr);
    std::memset(image->cpPixels, 0x5A, static_cast<size_t>(image->stride) * image->height);
    ASSERT_NE(RwImageSetFromRaster(image, raster), nullptr);
    const auto *inside = reinterpret_cast<const RwRGBA *>(image->cpPixels);
    EXPECT_EQ(inside->red, 0x33);
    EXPECT_EQ(inside->blue, 0x99);
    const auto *beyond = reinterpret_cast<const RwRGBA *>(image->cpPixels + static_cast<size_t>(image->stride) *
                                                                               (image->height - 1)) +
                         (image->width - 1);
    EXPECT_EQ(beyond->alpha, 0x5A);
    RwImageDestroy(image);
    DestroyCamera(camera);
}

TEST_F(D3D8RasterTest, ClearingAPalettisedTextureFindsTheNearestEntry)
{
    RwRaster *raster = RwRasterCreate(4, 4, 0, rwRASTERTYPETEXTURE | rwRASTERFORMATPAL8 | rwRASTERFORMAT8888);
    RwUInt8 *palette = RwRasterLockPalette(raster, rwRASTERLOCKWRITE);
    const RwUInt8 entry9[4] = {200, 10, 10, 255};
    std::memcpy(palette + 9 * 4, entry9, 4);
    RwRasterUnlockPalette(raster);
    RwRasterPushContext(raster);
    EXPECT_TRUE(RwRasterClear(static_cast<RwInt32>(0xFF0A0AC8u)));  // bytes 200, 10, 10, 255
    RwRasterPopContext();
    const RwUInt8 *pixels = RwRasterLock(raster, 0, rwRASTERLOCKREAD);
    EXPECT_EQ(pixels[0], 9);
    EXPECT_EQ(pixels[raster->stride * 3 + 3], 9);
    RwRasterUnlock(raster);
    RwRasterDestroy(raster);
}

class Pow2RasterTest : public D3D8RasterTest {
protected:
    void SetUp() override
    {
        profile.pow2TexturesOnly = true;
        D3D8RasterTest::SetUp();
    }
};

TEST_F(Pow2RasterTest, TexturesShrinkToPowersOfTwo)
{
    RwRaster *raster = RwRasterCreate(300, 200, 0, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888);
    ASSERT_NE(raster, nullptr);
    EXPECT_EQ(raster->width, 256);
    EXPECT_EQ(raster->height, 128);
    RwRasterDestroy(raster);
}

class SquarePow2RasterTest : public D3D8RasterTest {
protected:
    void SetUp() override
    {
        profile.pow2TexturesOnly = true;
        profile.squareTexturesOnly = true;
        D3D8RasterTest::SetUp();
    }
};

TEST_F(SquarePow2RasterTest, TexturesBecomeSquare)
{
    RwInt32 w = 300;
    RwInt32 h = 200;
    RwD3D8AdjustTextureSize(&w, &h, rwRASTERTYPETEXTURE, rwRASTERFORMAT8888);
    EXPECT_EQ(w, 128);
    EXPECT_EQ(h, 128);
}

TEST_F(D3D8RasterTest, FormatResolutionGivesWhatTheDeviceHolds)
{
    // Our device renders only into 32-bit targets and has a 32-bit z-buffer.
    EXPECT_EQ(RwD3D8RasterResolveFormat(rwRASTERTYPECAMERATEXTURE, rwRASTERFORMAT565), rwRASTERFORMAT888);
    EXPECT_EQ(RwD3D8RasterResolveFormat(rwRASTERTYPECAMERATEXTURE, rwRASTERFORMAT555 | rwRASTERFORMATMIPMAP),
              rwRASTERFORMAT888);
    EXPECT_EQ(RwD3D8RasterResolveFormat(rwRASTERTYPEZBUFFER, 0), rwRASTERFORMAT32);
    EXPECT_EQ(RwD3D8RasterResolveFormat(rwRASTERTYPETEXTURE, rwRASTERFORMATPAL4 | rwRASTERFORMAT888),
              rwRASTERFORMATPAL8 | rwRASTERFORMAT888);
    EXPECT_EQ(RwD3D8RasterResolveFormat(rwRASTERTYPETEXTURE, rwRASTERFORMATLUM8), rwRASTERFORMATLUM8);
    EXPECT_EQ(RwD3D8RasterResolveFormat(rwRASTERTYPECAMERA, 0), rwRASTERFORMAT888);
    EXPECT_EQ(RwD3D8FindRasterFormat(D3DFMT_R5G6B5), static_cast<RwUInt32>(rwRASTERFORMAT565));
    EXPECT_EQ(RwD3D8FindRasterFormat(D3DFMT_DXT1), 0u);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_INVRASTERFORMAT);
}

}  // namespace

}  // namespace d3d8raster_test
