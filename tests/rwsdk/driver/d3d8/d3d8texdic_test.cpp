// The driver's native texture body: its size, a write read back exactly,
// and hostile bodies (byte counts that do not match their level, short
// chunks, unknown compression) refused without touching memory they lack.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "d3d8_driver_test_support.h"
#include "driver/d3d8/d3d8raster.h"
#include "support/engine/engine_env.h"
#include "support/engine/memory_stream.h"

namespace d3d8texdic_test {

namespace {

class D3D8NativeTextureTest : public d3d8test::DriverTest {
protected:
    void SetUp() override
    {
        DriverTest::SetUp();
        ASSERT_TRUE(StartEngine());
    }

    RwTexture *MakeTexture(RwInt32 w, RwInt32 h, RwInt32 flags)
    {
        RwRaster *raster = RwRasterCreate(w, h, 0, rwRASTERTYPETEXTURE | flags);
        EXPECT_NE(raster, nullptr);
        const RwInt32 levels = RwRasterGetNumLevels(raster);
        for (RwInt32 level = 0; level < levels; ++level) {
            RwUInt8 *pixels = RwRasterLock(raster, static_cast<RwUInt8>(level), rwRASTERLOCKWRITE);
            for (RwInt32 i = 0; i < raster->stride * raster->height; ++i) {
                pixels[i] = static_cast<RwUInt8>(i * 7 + level);
            }
            RwRasterUnlock(raster);
        }
        RwTexture *texture = RwTextureCreate(raster);
        RwTextureSetName(texture, "bricks");
        RwTextureSetMaskName(texture, "bricksm");
        RwTextureSetFilterMode(texture, rwFILTERLINEARMIPLINEAR);
        RwTextureSetAddressingU(texture, rwTEXTUREADDRESSCLAMP);
        RwTextureSetAddressingV(texture, rwTEXTUREADDRESSMIRROR);
        return texture;
    }

    std::vector<RwUInt8> Write(RwTexture *texture)
    {
        RwStream *stream = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
        EXPECT_TRUE(RwD3D8NativeTextureWrite(stream, texture, 0));
        return rwtest::CloseMemoryWrite(stream);
    }

    RwTexture *Read(std::vector<RwUInt8> &bytes)
    {
        RwMemoryDescriptor desc;
        RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
        RwTexture *texture = nullptr;
        const RwBool ok = RwD3D8NativeTextureRead(&texture, stream, static_cast<RwInt32>(bytes.size()));
        RwStreamClose(stream, nullptr);
        return ok ? texture : nullptr;
    }
};

constexpr size_t kBody = 12;          // chunk header
constexpr size_t kRasterPart = kBody + 72;
constexpr size_t kFirstLevel = kRasterPart + 16;

RwUInt32 LoadU32(const std::vector<RwUInt8> &bytes, size_t at)
{
    RwUInt32 v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

TEST_F(D3D8NativeTextureTest, SizeCountsHeaderPaletteAndEveryLevel)
{
    RwTexture *texture = MakeTexture(64, 64, rwRASTERFORMAT8888);
    RwInt32 size = 0;
    ASSERT_TRUE(RwD3D8NativeTextureGetSize(&size, texture, 0));
    EXPECT_EQ(size, 100 + 4 + 16384);
    EXPECT_EQ(Write(texture).size(), static_cast<size_t>(size));
    RwTextureDestroy(texture);

    RwTexture *palettised = MakeTexture(16, 16, rwRASTERFORMATPAL8 | rwRASTERFORMAT888);
    RwD3D8NativeTextureGetSize(&size, palettised, 0);
    EXPECT_EQ(size, 100 + 1024 + 4 + 256);
    RwTextureDestroy(palettised);
}

TEST_F(D3D8NativeTextureTest, AWrittenTextureReadsBackExactly)
{
    RwTexture *original = MakeTexture(32, 16, rwRASTERFORMAT4444 | rwRASTERFORMATMIPMAP);
    std::vector<RwUInt8> bytes = Write(original);
    EXPECT_EQ(LoadU32(bytes, kBody), 8u);
    RwTexture *copy = Read(bytes);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->name, "bricks");
    EXPECT_STREQ(copy->mask, "bricksm");
    EXPECT_EQ(copy->filterAddressing, original->filterAddressing);
    EXPECT_EQ(RwRasterGetFormat(copy->raster), RwRasterGetFormat(original->raster));
    EXPECT_EQ(RwRasterGetNumLevels(copy->raster), RwRasterGetNumLevels(original->raster));
    // Writing the copy gives the same bytes: every level came through.
    EXPECT_EQ(Write(copy), bytes);
    RwTextureDestroy(copy);
    RwTextureDestroy(original);
}

TEST_F(D3D8NativeTextureTest, PalettisedTexturesBringTheirPalette)
{
    RwTexture *original = MakeTexture(8, 8, rwRASTERFORMATPAL8 | rwRASTERFORMAT8888);
    RwUInt8 *palette = RwRasterLockPalette(original->raster, rwRASTERLOCKWRITE);
    palette[4 * 3 + 2] = 0xAB;
    RwRasterUnlockPalette(original->raster);
    std::vector<RwUInt8> bytes = Write(original);
    RwTexture *copy = Read(bytes);
    ASSERT_NE(copy, nullptr);
    const RwUInt8 *read = RwRasterLockPalette(copy->raster, rwRASTERLOCKREAD);
    EXPECT_EQ(read[4 * 3 + 2], 0xAB);
    RwRasterUnlockPalette(copy->raster);
    RwTextureDestroy(copy);
    RwTextureDestroy(original);
}

// The level's byte count comes from the file: one that does not match the
// level (too large would write past it) refuses the texture.
TEST_F(D3D8NativeTextureTest, ALevelByteCountThatDoesNotMatchIsRefused)
{
    RwTexture *original = MakeTexture(8, 8, rwRASTERFORMAT8888);
    std::vector<RwUInt8> bytes = Write(original);
    ASSERT_EQ(LoadU32(bytes, kFirstLevel), 256u);
    for (RwUInt32 count : {257u, 0x7FFFFFFFu, 255u, 0u}) {
        std::vector<RwUInt8> bad = bytes;
        std::memcpy(bad.data() + kFirstLevel, &count, 4);
        bad.resize(bad.size() + 64, 0xEE);  // more data than the level holds
        const RwUInt32 body = static_cast<RwUInt32>(bad.size() - kBody);
        std::memcpy(bad.data() + 4, &body, 4);
        EXPECT_EQ(Read(bad), nullptr) << count;
    }
    RwTextureDestroy(original);
}

TEST_F(D3D8NativeTextureTest, ShortAndForeignBodiesAreRefused)
{
    RwTexture *original = MakeTexture(8, 8, rwRASTERFORMAT565);
    const std::vector<RwUInt8> bytes = Write(original);
    for (size_t cut : {size_t(0), size_t(11), size_t(50), kRasterPart + 3, kFirstLevel + 2, bytes.size() - 1}) {
        std::vector<RwUInt8> shortBody(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_EQ(Read(shortBody), nullptr) << cut;
    }
    std::vector<RwUInt8> otherPlatform = bytes;
    otherPlatform[kBody] = 9;
    EXPECT_EQ(Read(otherPlatform), nullptr);
    std::vector<RwUInt8> compression6 = bytes;
    compression6[kRasterPart + 15] = 6;
    EXPECT_EQ(Read(compression6), nullptr);
    std::vector<RwUInt8> otherSize = bytes;
    otherSize[kRasterPart + 8] = 9;  // width 9: nothing the stored levels fit
    EXPECT_EQ(Read(otherSize), nullptr);
    RwTextureDestroy(original);
}

TEST_F(D3D8NativeTextureTest, CompressedTexturesKeepTheirBlocks)
{
    RwTexture *plain = MakeTexture(8, 8, rwRASTERFORMAT565);
    std::vector<RwUInt8> bytes = Write(plain);
    RwTextureDestroy(plain);
    // Turn the body into a DXT1 texture of the same size: 4 blocks of 8 bytes.
    bytes[kRasterPart + 15] = 1;
    std::vector<RwUInt8> dxt(bytes.begin(), bytes.begin() + kFirstLevel);
    const RwUInt32 levelBytes = 32;
    for (RwUInt32 k = 0; k < 4; ++k) {
        dxt.push_back(static_cast<RwUInt8>(levelBytes >> (8 * k)));  // little-endian byte count
    }
    for (RwUInt32 i = 0; i < levelBytes; ++i) {
        dxt.push_back(static_cast<RwUInt8>(i));
    }
    const RwUInt32 body = static_cast<RwUInt32>(dxt.size() - kBody);
    std::memcpy(dxt.data() + 4, &body, 4);
    RwTexture *texture = Read(dxt);
    ASSERT_NE(texture, nullptr);
    EXPECT_TRUE(RwD3D8RasterIsCompressed(texture->raster));
    EXPECT_EQ(Write(texture), dxt);
    RwTextureDestroy(texture);
}

}  // namespace

}  // namespace d3d8texdic_test
