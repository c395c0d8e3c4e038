// DDS files the device holds as they are: DXT blocks read straight into the
// texture with their 1-bit alpha found, plain RGB layouts, cube maps, and
// files whose levels the stream does not hold.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "d3d8_driver_test_support.h"
#include "driver/d3d8/d3d8raster.h"
#include "rwd3d8dds.h"
#include "support/engine/memory_stream.h"

namespace d3d8ddsdirect_test {

namespace {

void Put32(std::vector<RwUInt8> &bytes, size_t at, RwUInt32 value) { std::memcpy(bytes.data() + at, &value, 4); }

// A DDS header (magic included) for a w x h file of the given layout.
std::vector<RwUInt8> Header(RwUInt32 w, RwUInt32 h, RwUInt32 pfFlags, RwUInt32 fourCC, RwUInt32 bits, RwUInt32 redMask)
{
    std::vector<RwUInt8> bytes(128, 0);
    Put32(bytes, 0, 0x20534444);
    Put32(bytes, 4, 124);
    Put32(bytes, 8, 0x1007);
    Put32(bytes, 12, h);
    Put32(bytes, 16, w);
    Put32(bytes, 80, pfFlags);
    Put32(bytes, 84, fourCC);
    Put32(bytes, 88, bits);
    Put32(bytes, 92, redMask);
    return bytes;
}

class D3D8DdsDirectTest : public d3d8test::DriverTest {
protected:
    void SetUp() override
    {
        DriverTest::SetUp();
        ASSERT_TRUE(StartEngine());
    }

    RwRaster *Load(std::vector<RwUInt8> &bytes)
    {
        RwMemoryDescriptor desc;
        RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
        RwRaster *raster = RwD3D8RasterReadDDS(stream);
        RwStreamClose(stream, nullptr);
        return raster;
    }
};

TEST_F(D3D8DdsDirectTest, Dxt1BlocksLoadAsTheyAreAndTheirAlphaIsFound)
{
    std::vector<RwUInt8> file = Header(8, 4, 0x4, static_cast<RwUInt32>(D3DFMT_DXT1), 0, 0);
    // Two blocks: four-colour, then three-colour with texel 5 on index 3.
    const RwUInt8 blocks[16] = {0x00, 0xF8, 0x1F, 0x00, 0, 0, 0, 0, 0x1F, 0x00, 0x00, 0xF8, 0x00, 0x0C, 0, 0};
    file.insert(file.end(), blocks, blocks + 16);
    RwRaster *raster = Load(file);
    ASSERT_NE(raster, nullptr);
    EXPECT_TRUE(RwD3D8RasterIsCompressed(raster));
    EXPECT_EQ(RwRasterGetFormat(raster) & rwRASTERFORMATPIXELFORMATMASK, rwRASTERFORMAT1555);
    EXPECT_EQ(raster->depth, 16);
    EXPECT_TRUE(RwD3D8RasterGetExt(raster)->alpha);
    const RwUInt8 *stored = RwRasterLock(raster, 0, rwRASTERLOCKREAD);
    EXPECT_EQ(std::memcmp(stored, blocks, 16), 0);
    RwRasterUnlock(raster);
    RwRasterDestroy(raster);

    // A 2x2 file holds one block: only index 3 on one of its four real texels counts.
    for (const RwUInt8 row0 : {RwUInt8{0xC0}, RwUInt8{0x0C}}) {
        std::vector<RwUInt8> tiny = Header(2, 2, 0x4, static_cast<RwUInt32>(D3DFMT_DXT1), 0, 0);
        const RwUInt8 block[8] = {0x1F, 0x00, 0x00, 0xF8, row0, 0, 0, 0};
        tiny.insert(tiny.end(), block, block + 8);
        raster = Load(tiny);
        ASSERT_NE(raster, nullptr);
        const RwBool inside = row0 == 0x0C;
        EXPECT_EQ(RwRasterGetFormat(raster) & rwRASTERFORMATPIXELFORMATMASK,
                  inside ? rwRASTERFORMAT1555 : rwRASTERFORMAT565);
        EXPECT_EQ(RwD3D8RasterGetExt(raster)->alpha, inside ? 1 : 0);
        RwRasterDestroy(raster);
    }
}

TEST_F(D3D8DdsDirectTest, PlainRgbLayoutsAndTheirFailures)
{
    std::vector<RwUInt8> file = Header(2, 2, 0x41, 0, 32, 0xFF0000);
    const RwUInt32 pixels[4] = {0x80112233u, 0xFF445566u, 0x00778899u, 0x10AABBCCu};
    file.insert(file.end(), reinterpret_cast<const RwUInt8 *>(pixels), reinterpret_cast<const RwUInt8 *>(pixels) + 16);
    RwRaster *raster = Load(file);
    ASSERT_NE(raster, nullptr);
    EXPECT_EQ(RwRasterGetFormat(raster) & rwRASTERFORMATPIXELFORMATMASK, rwRASTERFORMAT8888);
    EXPECT_TRUE(RwD3D8RasterGetExt(raster)->alpha);
    const RwUInt8 *stored = RwRasterLock(raster, 0, rwRASTERLOCKREAD);
    EXPECT_EQ(std::memcmp(stored + raster->stride, pixels + 2, 8), 0);
    RwRasterUnlock(raster);
    RwRasterDestroy(raster);

    std::vector<RwUInt8> unknownMask = Header(2, 2, 0x41, 0, 32, 0x00FF);
    unknownMask.resize(unknownMask.size() + 16);
    EXPECT_EQ(Load(unknownMask), nullptr);

    std::vector<RwUInt8> truncated = Header(2, 2, 0x41, 0, 32, 0xFF0000);
    truncated.resize(truncated.size() + 15);
    EXPECT_EQ(Load(truncated), nullptr);
}

TEST_F(D3D8DdsDirectTest, CubeMapsGetEveryFaceTheFileHolds)
{
    std::vector<RwUInt8> file = Header(4, 4, 0x41, 0, 32, 0xFF0000);
    Put32(file, 108, 0x8);
    Put32(file, 112, 0x200 | 0x400 | 0x2000);  // +X and -Y
    for (RwUInt32 face = 0; face < 2; ++face) {
        for (RwUInt32 i = 0; i < 16; ++i) {
            const RwUInt32 pixel = 0xFF000000u | (face << 16) | i;
            file.insert(file.end(), reinterpret_cast<const RwUInt8 *>(&pixel),
                        reinterpret_cast<const RwUInt8 *>(&pixel) + 4);
        }
    }
    RwRaster *raster = Load(file);
    ASSERT_NE(raster, nullptr);
    EXPECT_TRUE(RwD3D8RasterIsCubeRaster(raster));
    RwD3D8RasterGetExt(raster)->face = 3;
    const RwUInt8 *stored = RwRasterLock(raster, 0, rwRASTERLOCKREAD);
    ASSERT_NE(stored, nullptr);
    RwUInt32 first;
    std::memcpy(&first, stored, 4);
    EXPECT_EQ(first, 0xFF010000u);
    RwRasterUnlock(raster);
    RwRasterDestroy(raster);
}

}  // namespace

namespace {

// A 37x23 DXT1 file (ImageMagick's, see data/make.sh) stores 10 x 6 blocks;
// the device takes them as they are.
TEST_F(D3D8DdsDirectTest, SidesThatAreNotMultiplesOfFourKeepTheirPartialBlocks)
{
    FILE *f = std::fopen((std::string(RW_TEST_SOURCE_DIR) + "/tests/rwsdk/driver/d3d8/data/dxt1.dds").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::vector<RwUInt8> file(4096);
    file.resize(std::fread(file.data(), 1, file.size(), f));
    std::fclose(f);
    ASSERT_EQ(file.size(), 128u + 10u * 6u * 8u);
    RwRaster *raster = Load(file);
    ASSERT_NE(raster, nullptr);
    EXPECT_TRUE(RwD3D8RasterIsCompressed(raster));
    EXPECT_EQ(raster->width, 37);
    EXPECT_EQ(raster->height, 23);
    const RwUInt8 *stored = RwRasterLock(raster, 0, rwRASTERLOCKREAD);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(raster->stride, 10 * 8);
    EXPECT_EQ(std::memcmp(stored, file.data() + 128, 10 * 6 * 8), 0);
    RwRasterUnlock(raster);
    RwRasterDestroy(raster);
}

}  // namespace

namespace {

// A cube face is square: the device makes faces of the file's width, so a
// file claiming faces of another height must not pour its rows past them.
TEST_F(D3D8DdsDirectTest, CubeMapsWhoseFacesAreNotSquareAreRefused)
{
    std::vector<RwUInt8> tall = Header(4, 64, 0x41, 0, 32, 0xFF0000);
    Put32(tall, 108, 0x8);
    Put32(tall, 112, 0x200 | 0x400);
    tall.resize(tall.size() + 4 * 64 * 4, 0xAB);
    EXPECT_EQ(Load(tall), nullptr);

    std::vector<RwUInt8> compressed = Header(4, 64, 0x4, static_cast<RwUInt32>(D3DFMT_DXT1), 0, 0);
    Put32(compressed, 108, 0x8);
    Put32(compressed, 112, 0x200 | 0x400);
    compressed.resize(compressed.size() + 16 * 8, 0xAB);
    EXPECT_EQ(Load(compressed), nullptr);

    std::vector<RwUInt8> wide = Header(64, 4, 0x41, 0, 32, 0xFF0000);
    Put32(wide, 108, 0x8);
    Put32(wide, 112, 0x200 | 0x400);
    wide.resize(wide.size() + 64 * 4 * 4, 0xAB);
    EXPECT_EQ(Load(wide), nullptr);
}

}  // namespace

}  // namespace d3d8ddsdirect_test
