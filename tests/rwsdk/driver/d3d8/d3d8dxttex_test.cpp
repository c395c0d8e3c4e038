// Tests of DDS files and DXT decoding: block edge cases, headers whose
// sizes disagree with the data refused, and files with mip chains made by
// ImageMagick decoding (level by level) to ImageMagick's own decoding.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "rwd3d8dds.h"
#include "support/engine/engine_env.h"
#include "support/engine/memory_stream.h"
#include "support/engine/scratch_path.h"
#include "tests/rwsdk/src/image_test_support.h"

namespace d3d8dxttex_test {

namespace {

class DdsTest : public rwtest::EngineTest {
protected:
    void SetUp() override
    {
        rwtest::EngineTest::SetUp();
        imgtest::FakeRasters::Reset();
        imgtest::FakeRasters::Install();
    }
};

TEST_F(DdsTest, DxtOneThreeColourBlockHasTransparentIndexThree)
{
    const RwUInt8 block[8] = {0x00, 0xF8, 0x00, 0xF8, 0xFF, 0x00, 0x00, 0x00};  // red = red, row 0 index 3
    RwUInt8 out[4 * 4 * 4];
    EXPECT_TRUE(RwD3D8DecompressDXT1(4, 4, out, block));
    EXPECT_EQ(out[3], 0);            // transparent black
    EXPECT_EQ(out[16 + 0], 0xF8);    // row 1: colour 0
    EXPECT_EQ(out[16 + 3], 255);
    // Below one block the image is the block's top-left corner.
    RwUInt8 small[2 * 2 * 4];
    EXPECT_TRUE(RwD3D8DecompressDXT1(2, 2, small, block));
    EXPECT_EQ(small[3], 0);
    EXPECT_EQ(small[8 + 0], 0xF8);  // row 1 (8 bytes a row): colour 0
    EXPECT_EQ(small[8 + 3], 255);
}

TEST_F(DdsTest, DxtThreeAndFiveAlpha)
{
    RwUInt8 block[16] = {0xF8, 0, 0, 0, 0, 0, 0, 0};
    RwUInt8 out[64];
    RwD3D8DecompressDXT3(4, 4, out, block);
    EXPECT_EQ(out[3], 136);
    EXPECT_EQ(out[7], 255);
    RwUInt8 alpha[8] = {200, 100, 2, 0, 0, 0, 0, 0};
    RwD3D8DecompressDXT5Alpha(out, alpha, 4, 0xFFFF);
    EXPECT_EQ(out[3], 185);
    RwUInt8 low[8] = {100, 200, 6 | (7 << 3), 0, 0, 0, 0, 0};
    RwD3D8DecompressDXT5Alpha(out, low, 4, 0xFFFF);
    EXPECT_EQ(out[3], 0);
    EXPECT_EQ(out[7], 255);
}

std::vector<RwUInt8> DdsFile(RwUInt32 w, RwUInt32 h, RwUInt32 fourCC, RwUInt32 linear, size_t dataBytes)
{
    std::vector<RwUInt8> b(128, 0);
    auto put = [&b](size_t at, RwUInt32 v) { for (int i = 0; i < 4; ++i) b[at + i] = static_cast<RwUInt8>(v >> (8 * i)); };
    put(0, rwDDSMAGIC), put(4, 124), put(8, 0x1007 | rwDDSD_LINEARSIZE), put(12, h), put(16, w), put(20, linear);
    put(80, rwDDPF_FOURCC), put(84, fourCC);
    b.resize(128 + dataBytes, 0x5A);
    return b;
}

RwRaster *ReadRaster(std::vector<RwUInt8> bytes)
{
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    RwRaster *raster = RwD3D8RasterReadDDS(stream);
    RwStreamClose(stream, nullptr);
    return raster;
}

TEST_F(DdsTest, SizesThatDisagreeWithTheDataAreRefused)
{
    // The linear size claims fewer bytes than the 16 x 16 blocks need.
    EXPECT_EQ(ReadRaster(DdsFile(64, 64, rwFOURCC_DXT5, 64, 64)), nullptr);
    // The linear size claims more than the file holds.
    EXPECT_EQ(ReadRaster(DdsFile(8, 8, rwFOURCC_DXT1, 0x7FFFFFF0, 32)), nullptr);
    // Unknown FourCC, absurd sides, wrong magic, cut header.
    EXPECT_EQ(ReadRaster(DdsFile(8, 8, 0x31415926, 0, 64)), nullptr);
    EXPECT_EQ(ReadRaster(DdsFile(0x100000, 8, rwFOURCC_DXT1, 0, 64)), nullptr);
    std::vector<RwUInt8> bad = DdsFile(8, 8, rwFOURCC_DXT1, 0, 32);
    bad[0] = 'X';
    EXPECT_EQ(ReadRaster(bad), nullptr);
    const std::vector<RwUInt8> whole = DdsFile(8, 8, rwFOURCC_DXT1, 0, 0);
    EXPECT_EQ(ReadRaster(std::vector<RwUInt8>(whole.begin(), whole.begin() + 60)), nullptr);
    RwRaster *raster = ReadRaster(DdsFile(8, 8, rwFOURCC_DXT1, 0, 32));
    ASSERT_NE(raster, nullptr);
    RwRasterDestroy(raster);
    rwtest::TakeError();
}

// Each level of an ImageMagick-made file, decoded here and by ImageMagick
// (from a one-level file holding just that level's bytes).
class DdsMagickTest : public DdsTest {
protected:
    void SetUp() override
    {
        if (!imgtest::HaveImageMagick()) GTEST_SKIP() << "ImageMagick's convert is not installed";
        DdsTest::SetUp();
    }
    void CheckFile(const std::string &compression, int tolerance)
    {
        const std::string src = rwtest::ScratchPath("dds_src") + ".pam";
        const std::string file = rwtest::ScratchPath("dds_" + compression) + ".dds";
        std::vector<RwUInt8> rgba;
        for (RwInt32 y = 0; y < 32; ++y)
            for (RwInt32 x = 0; x < 32; ++x) {
                const RwRGBA c = imgtest::Pattern(x / 3, y / 5);
                rgba.insert(rgba.end(), {c.red, c.green, c.blue, static_cast<RwUInt8>(x * 8)});
            }
        imgtest::WritePam(src, 32, 32, rgba);
        ASSERT_TRUE(imgtest::Convert("'" + src + "' -define dds:compression=" + compression +
                                     " -define dds:mipmaps=3 '" + file + "'"));
        std::vector<RwUInt8> bytes = imgtest::ReadFile(file);
        RwMemoryDescriptor desc;
        RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
        RwD3D8DDSHeader header;
        ASSERT_TRUE(RwD3D8DDSReadHeader(stream, &header));
        RwStreamClose(stream, nullptr);
        ASSERT_EQ(RwD3D8DDSLevelCount(&header), 4);
        size_t offset = 128;
        for (RwInt32 level = 0; level < 3; ++level) {
            const RwUInt32 w = 32u >> level, h = 32u >> level;
            const RwUInt32 size = RwD3D8DDSLevelSize(&header, w, h);
            ASSERT_LE(offset + size, bytes.size());
            RwD3D8DDSHeader one = header;
            one.width = w, one.height = h, one.pitchOrLinearSize = size;
            RwInt32 format = 0;
            RwImage *image = RwD3D8DDSDecodeImage(&one, bytes.data() + offset, size, rwDDSACCEPTS4444, &format);
            ASSERT_NE(image, nullptr);
            // The same level on its own, for ImageMagick.
            std::vector<RwUInt8> single(bytes.begin(), bytes.begin() + 128);
            for (int i = 0; i < 4; ++i) {
                single[12 + i] = static_cast<RwUInt8>(h >> (8 * i));
                single[16 + i] = static_cast<RwUInt8>(w >> (8 * i));
                single[20 + i] = static_cast<RwUInt8>(size >> (8 * i));
                single[28 + i] = 0;
            }
            single[8 + 2] &= static_cast<RwUInt8>(~0x02);  // no mip-map count
            single.insert(single.end(), bytes.begin() + static_cast<long>(offset), bytes.begin() + static_cast<long>(offset + size));
            const std::string levelFile = file + ".level.dds";  // read by its magic
            imgtest::WriteFile(levelFile, single);
            RwInt32 mw = 0, mh = 0;
            const std::vector<RwUInt8> theirs = imgtest::MagickRGBA(levelFile, &mw, &mh);
            const std::vector<RwUInt8> ours = imgtest::ImageRGBA(image);
            EXPECT_EQ(ours.size(), theirs.size()) << compression << " level " << level;
            int worst = 0;
            for (size_t i = 0; i < ours.size() && i < theirs.size(); ++i) worst = std::max(worst, std::abs(ours[i] - theirs[i]));
            EXPECT_LE(worst, tolerance) << compression << " level " << level;
            RwImageDestroy(image);
            std::remove(levelFile.c_str());
            offset += size;
        }
        std::remove(src.c_str());
        std::remove(file.c_str());
    }
};

// Colours differ only in how the 5- and 6-bit end points are widened to
// 8 bits (low bits zero here, replicated by ImageMagick) and rounded.
TEST_F(DdsMagickTest, DxtOne) { CheckFile("dxt1", 8); }
// (ImageMagick writes no DXT3; its blocks are covered above.)
TEST_F(DdsMagickTest, DxtFive) { CheckFile("dxt5", 8); }

}  // namespace

namespace {

// DXT files of 37x23 pixels made by ImageMagick (see data/make.sh): the
// last block of every row and column is partial. Decoded here, they give
// ImageMagick's own decoding of the same files, up to the widening of the
// 5- and 6-bit end points (low bits zero here, replicated there); alpha and
// the place of every texel are exact.
void CheckDxtFile(const std::string &name)
{
    const std::string dir = std::string(RW_TEST_SOURCE_DIR) + "/tests/rwsdk/driver/d3d8/data/";
    std::vector<RwUInt8> bytes = imgtest::ReadFile(dir + name + ".dds");
    const std::vector<RwUInt8> theirs = imgtest::ReadFile(dir + name + ".rgba");
    ASSERT_EQ(theirs.size(), 37u * 23u * 4u);
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    RwD3D8DDSHeader header;
    ASSERT_TRUE(RwD3D8DDSReadHeader(stream, &header));
    RwStreamClose(stream, nullptr);
    ASSERT_EQ(header.width, 37u);
    ASSERT_EQ(header.height, 23u);
    const RwUInt32 size = RwD3D8DDSLevelSize(&header, 37, 23);
    EXPECT_EQ(size, 10u * 6u * (name == "dxt1" ? 8u : 16u));
    ASSERT_EQ(bytes.size(), 128u + size);
    RwInt32 format = 0;
    RwImage *image = RwD3D8DDSDecodeImage(&header, bytes.data() + 128, size, rwDDSACCEPTS4444, &format);
    ASSERT_NE(image, nullptr);
    const std::vector<RwUInt8> ours = imgtest::ImageRGBA(image);
    RwImageDestroy(image);
    ASSERT_EQ(ours.size(), theirs.size());
    int worstColour = 0;
    int worstAlpha = 0;
    for (size_t i = 0; i < ours.size(); ++i) {
        int &worst = i % 4 == 3 ? worstAlpha : worstColour;
        worst = std::max(worst, std::abs(ours[i] - theirs[i]));
    }
    EXPECT_LE(worstColour, 7) << name;
    EXPECT_EQ(worstAlpha, 0) << name;
}

TEST_F(DdsTest, PartialBlocksOfA37By23DxtOneFileDecodeInPlace) { CheckDxtFile("dxt1"); }
TEST_F(DdsTest, PartialBlocksOfA37By23DxtFiveFileDecodeInPlace) { CheckDxtFile("dxt5"); }

}  // namespace

}  // namespace d3d8dxttex_test
