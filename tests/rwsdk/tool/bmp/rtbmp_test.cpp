// Tests of the BMP toolkit: files made by ImageMagick in every common form
// read to the pixels ImageMagick itself decodes; what the engine writes is
// read back identically by the engine and by ImageMagick; hand-made edge
// cases and hostile files (long headers, backward offsets, run overruns,
// absurd sizes, truncation) are refused or read without over-reading.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "rtbmp.h"
#include "support/engine/engine_env.h"
#include "support/engine/scratch_path.h"
#include "tests/rwsdk/src/image_test_support.h"

namespace rtbmp_test {

namespace {

using rwtest::TakeError;

class BmpTest : public rwtest::EngineTest {
protected:
    std::string Path(const std::string &name) { return rwtest::ScratchPath("bmp_" + name); }
    void TearDown() override
    {
        for (const std::string &f : made) std::remove(f.c_str());
        rwtest::EngineTest::TearDown();
    }
    std::string Put(const std::string &name, const std::vector<RwUInt8> &bytes)
    {
        const std::string path = Path(name);
        imgtest::WriteFile(path, bytes);
        made.push_back(path);
        return path;
    }
    std::vector<std::string> made;
};

void Le(std::vector<RwUInt8> &b, RwUInt32 v, int n)
{
    for (int i = 0; i < n; ++i) b.push_back(static_cast<RwUInt8>(v >> (8 * i)));
}

// A Windows bitmap with the given info header size (extra bytes zero).
std::vector<RwUInt8> Bmp(RwInt32 w, RwInt32 h, RwUInt32 bits, RwUInt32 compression, RwUInt32 headerSize,
                         const std::vector<RwUInt8> &palette, const std::vector<RwUInt8> &pixels, RwInt32 offsetDelta = 0)
{
    std::vector<RwUInt8> b{'B', 'M'};
    const RwUInt32 offset = 14 + headerSize + static_cast<RwUInt32>(palette.size()) + static_cast<RwUInt32>(offsetDelta);
    Le(b, offset + static_cast<RwUInt32>(pixels.size()), 4);
    Le(b, 0, 4);
    Le(b, offset, 4);
    Le(b, headerSize, 4);
    Le(b, static_cast<RwUInt32>(w), 4);
    Le(b, static_cast<RwUInt32>(h), 4);
    Le(b, 1, 2);
    Le(b, bits, 2);
    Le(b, compression, 4);
    for (int i = 0; i < 5; ++i) Le(b, 0, 4);
    b.resize(14 + headerSize, 0);
    b.insert(b.end(), palette.begin(), palette.end());
    if (offsetDelta > 0) b.resize(b.size() + static_cast<size_t>(offsetDelta), 0);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

TEST_F(BmpTest, BottomUpRowsBecomeTopDownImageRows)
{
    // File rows: (blue, white) then (red, black); each padded to 8 bytes.
    const std::vector<RwUInt8> px{255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 0};
    RwImage *image = RtBmpRead(Put("2x2", Bmp(2, 2, 24, 0, 40, {}, px)).c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(imgtest::ImageRGBA(image),
              (std::vector<RwUInt8>{255, 0, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255}));
    RwImageDestroy(image);
}

// Every pixel of a 24-bit row keeps its own three bytes, the last one of an unpadded
// row too, whatever follows it in the file; a plain 32-bit row drops its fourth byte.
TEST_F(BmpTest, TwentyFourAndThirtyTwoBitRowsKeepEachPixelsBytes)
{
    std::vector<RwUInt8> px;
    for (RwUInt8 i = 0; i < 12; ++i) px.push_back(static_cast<RwUInt8>(i * 20 + 3));  // 4x1, unpadded
    RwImage *image = RtBmpRead(Put("4x1", Bmp(4, 1, 24, 0, 40, {}, px)).c_str());
    ASSERT_NE(image, nullptr);
    std::vector<RwUInt8> want;
    for (RwInt32 x = 0; x < 4; ++x) {
        want.insert(want.end(), {px[x * 3 + 2], px[x * 3 + 1], px[x * 3], 255});
    }
    EXPECT_EQ(imgtest::ImageRGBA(image), want);
    RwImageDestroy(image);

    const std::vector<RwUInt8> wide{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    image = RtBmpRead(Put("3x1", Bmp(3, 1, 32, 0, 40, {}, wide)).c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(imgtest::ImageRGBA(image), (std::vector<RwUInt8>{3, 2, 1, 255, 7, 6, 5, 255, 11, 10, 9, 255}));
    RwImageDestroy(image);
}

TEST_F(BmpTest, FourBitFileKeepsIndicesAndOpaquePalette)
{
    std::vector<RwUInt8> palette;
    for (int i = 0; i < 16; ++i) palette.insert(palette.end(), {static_cast<RwUInt8>(i), 0, 0, 0});
    RwImage *image = RtBmpRead(Put("4bit", Bmp(3, 1, 4, 0, 124, palette, {0x12, 0x30, 0, 0})).c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->depth, 4);
    EXPECT_EQ(image->cpPixels[0], 1);
    EXPECT_EQ(image->cpPixels[1], 2);
    EXPECT_EQ(image->cpPixels[2], 3);
    EXPECT_EQ(image->palette[5].blue, 5);
    EXPECT_EQ(image->palette[5].alpha, 255);
    RwImageDestroy(image);
}

TEST_F(BmpTest, RunLengthFourAndEightDecode)
{
    std::vector<RwUInt8> palette(16 * 4, 0);
    // RLE4: row 0 = run of 5 alternating 1,2 then literal 3,4,5; row 1 = end of bitmap.
    const std::vector<RwUInt8> rle4{5, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 1};
    RwImage *image = RtBmpRead(Put("rle4", Bmp(8, 2, 4, 2, 40, palette, rle4)).c_str());
    ASSERT_NE(image, nullptr);
    const RwUInt8 *bottom = image->cpPixels + image->stride;
    EXPECT_EQ(std::vector<RwUInt8>(bottom, bottom + 8), (std::vector<RwUInt8>{1, 2, 1, 2, 1, 3, 4, 5}));
    RwImageDestroy(image);
    palette.resize(256 * 4, 0);
    const std::vector<RwUInt8> rle8{2, 7, 0, 3, 9, 8, 7, 0, 0, 0};
    image = RtBmpRead(Put("rle8", Bmp(5, 1, 8, 1, 40, palette, rle8)).c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(std::vector<RwUInt8>(image->cpPixels, image->cpPixels + 5), (std::vector<RwUInt8>{7, 7, 9, 8, 7}));
    RwImageDestroy(image);
}

// Found by fuzzing: a bit count below 8 with no palettised image depth
// still carries a palette, which must not be written through a null pointer.
TEST_F(BmpTest, OddBitCountsReadWithoutAPaletteImage)
{
    const std::vector<RwUInt8> palette(32 * 4, 9);
    RwImage *image = RtBmpRead(Put("5bit", Bmp(4, 1, 5, 0, 40, palette, std::vector<RwUInt8>(4, 0))).c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->depth, 32);
    EXPECT_EQ(TakeError().errorCode, E_RW_INVIMAGEDEPTH);  // the rows are left as allocated
    RwImageDestroy(image);
    // Bit count 15: file rows shorter than the two bytes a pixel it converts.
    image = RtBmpRead(Put("15bit", Bmp(64, 1, 15, 0, 40, {}, std::vector<RwUInt8>(120, 0xFF))).c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(reinterpret_cast<RwRGBA *>(image->cpPixels)[0].red, 0xF8);
    RwImageDestroy(image);
}

TEST_F(BmpTest, HostileFilesAreRefused)
{
    const std::vector<RwUInt8> palette(256 * 4, 0);
    const std::vector<RwUInt8> row(16, 0);
    struct Case { const char *what; std::vector<RwUInt8> file; };
    const Case cases[] = {
        {"run past the padded row", Bmp(4, 1, 8, 1, 40, palette, {5, 1, 0, 0})},
        {"literal past the padded row", Bmp(4, 1, 8, 1, 40, palette, {0, 6, 1, 2, 3, 4, 5, 6})},
        {"position jump", Bmp(4, 1, 8, 1, 40, palette, {0, 2, 1, 1})},
        {"endless runs cut short", Bmp(4, 2, 8, 1, 40, palette, {2, 1})},
        {"offset before the palette end", Bmp(4, 1, 8, 0, 40, palette, row, -20)},
        {"odd header size", Bmp(4, 1, 24, 0, 20, {}, row)},
        {"huge header size", Bmp(4, 1, 24, 0, 4000, {}, row)},
        {"huge width", Bmp(0x7FFFFFF, 1, 24, 0, 40, {}, row)},
        {"huge height", Bmp(4, 0x20000000, 24, 0, 40, {}, row)},
        {"most negative height", Bmp(4, INT32_MIN, 24, 0, 40, {}, row)},
        {"top-down run-length", Bmp(4, -1, 8, 1, 40, palette, {4, 1, 0, 1})},
        {"rows missing", Bmp(64, 64, 24, 0, 40, {}, row)},
        {"bit count 0", Bmp(4, 1, 0, 0, 40, {}, row)},
        {"unknown compression", Bmp(4, 1, 8, 7, 40, palette, row)},
        {"not a bitmap", {'B', 'X', 0, 0}},
        {"short", {'B', 'M', 1}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(RtBmpRead(Put("hostile", c.file).c_str()), nullptr) << c.what;
        TakeError();
    }
    EXPECT_EQ(RtBmpRead(Path("absent").c_str()), nullptr);
    TakeError();
}

TEST_F(BmpTest, WriterPadsRowsAndWritesPaletteColours)
{
    RwImage *image = RwImageCreate(3, 2, 8);
    RwImageAllocatePixels(image);
    for (int i = 0; i < 256; ++i) image->palette[i] = RwRGBA{static_cast<RwUInt8>(i), 1, 2, 255};
    for (int i = 0; i < image->stride * 2; ++i) image->cpPixels[i] = static_cast<RwUInt8>(i);
    const std::string path = Path("written8");
    made.push_back(path);
    ASSERT_EQ(RtBmpWrite(image, path.c_str()), image);
    const std::vector<RwUInt8> file = imgtest::ReadFile(path);
    ASSERT_EQ(file.size(), 12u * 2 + 54);
    EXPECT_EQ(file[2], 12 * 2 + 54);
    RwImage *back = RtBmpRead(path.c_str());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(imgtest::ImageRGBA(back), imgtest::ImageRGBA(image));
    RwImageDestroy(back);
    image->depth = 16;
    EXPECT_EQ(RtBmpWrite(image, path.c_str()), nullptr);
    image->depth = 8;
    RwImageDestroy(image);
    TakeError();
    EXPECT_EQ(RtBmpHeaderSize(rtBMPHEADEROS2), 26);
    EXPECT_EQ(RtBmpRowBytes(rtBMPHEADERWINDOWS, 24, 3), 12);
}

// Files written by ImageMagick read to the pixels ImageMagick decodes.
class BmpMagickTest : public BmpTest {
protected:
    void SetUp() override
    {
        if (!imgtest::HaveImageMagick()) GTEST_SKIP() << "ImageMagick's convert is not installed";
        BmpTest::SetUp();
        source = Path("src.pam");
        made.push_back(source);
        std::vector<RwUInt8> rgba;
        for (RwInt32 y = 0; y < 7; ++y)
            for (RwInt32 x = 0; x < 13; ++x) {
                const RwRGBA c = imgtest::Pattern(x, y);
                rgba.insert(rgba.end(), {c.red, c.green, c.blue, 255});
            }
        imgtest::WritePam(source, 13, 7, rgba);
    }
    void Check(const std::string &name, const std::string &options, const std::string &format)
    {
        const std::string file = Path(name + ".bmp");
        made.push_back(file);
        ASSERT_TRUE(imgtest::Convert("'" + source + "' " + options + " '" + format + ":" + file + "'")) << name;
        RwInt32 w = 0, h = 0;
        const std::vector<RwUInt8> expected = imgtest::MagickRGBA(file, &w, &h);
        ASSERT_FALSE(expected.empty()) << name;
        RwImage *image = RtBmpRead(file.c_str());
        ASSERT_NE(image, nullptr) << name;
        EXPECT_EQ(image->width, w);
        EXPECT_EQ(image->height, h);
        // Colours as ImageMagick decodes them; alpha is always opaque here
        // (ImageMagick may call a palette entry transparent).
        const std::vector<RwUInt8> got = imgtest::ImageRGBA(image);
        EXPECT_EQ(got.size(), expected.size()) << name;
        size_t wrong = 0;
        for (size_t i = 0; i < got.size() && i < expected.size(); ++i) {
            wrong += (i % 4 == 3) ? got[i] != 255 : got[i] != expected[i];
        }
        EXPECT_EQ(wrong, 0u) << name;
        RwImageDestroy(image);
    }
    std::string source;
};

TEST_F(BmpMagickTest, EveryCommonFormReadsRight)
{
    Check("b24v3", "-alpha off", "bmp3");
    Check("b24v5", "-alpha off", "bmp");
    Check("b32v5", "-alpha on", "bmp");
    Check("b8", "-alpha off -type palette", "bmp3");
    Check("b8rle", "-alpha off -type palette -compress RLE", "bmp3");
    Check("b4", "-alpha off -colors 16 -type palette", "bmp3");
    Check("b1", "-alpha off -monochrome", "bmp3");
    Check("b8v2", "-alpha off -type palette", "bmp2");
}

TEST_F(BmpMagickTest, TopDownAnd108ByteHeadersReadRight)
{
    const std::string file = Path("plain.bmp");
    made.push_back(file);
    ASSERT_TRUE(imgtest::Convert("'" + source + "' -alpha off bmp3:'" + file + "'"));
    RwImage *plain = RtBmpRead(file.c_str());
    ASSERT_NE(plain, nullptr);
    std::vector<RwUInt8> bytes = imgtest::ReadFile(file);
    // The same pixels behind a 108-byte header.
    std::vector<RwUInt8> wide(bytes.begin(), bytes.begin() + 54);
    wide.resize(14 + 108, 0);
    wide[14] = 108;
    wide[10] = static_cast<RwUInt8>(14 + 108);
    wide.insert(wide.end(), bytes.begin() + 54, bytes.end());
    RwImage *v4 = RtBmpRead(Put("v4.bmp", wide).c_str());
    ASSERT_NE(v4, nullptr);
    EXPECT_EQ(imgtest::ImageRGBA(v4), imgtest::ImageRGBA(plain));
    // Top-down: negative height, rows in display order.
    std::vector<RwUInt8> flipped(bytes.begin(), bytes.begin() + 54);
    const RwInt32 minus = -7;
    for (int i = 0; i < 4; ++i) flipped[22 + i] = static_cast<RwUInt8>(static_cast<RwUInt32>(minus) >> (8 * i));
    const size_t row = 40;  // 13 * 3 padded to 4
    for (int y = 6; y >= 0; --y)
        flipped.insert(flipped.end(), bytes.begin() + 54 + static_cast<long>(y * row), bytes.begin() + 54 + static_cast<long>((y + 1) * row));
    RwImage *topDown = RtBmpRead(Put("td.bmp", flipped).c_str());
    ASSERT_NE(topDown, nullptr);
    EXPECT_EQ(imgtest::ImageRGBA(topDown), imgtest::ImageRGBA(plain));
    for (RwImage *i : {plain, v4, topDown}) RwImageDestroy(i);
}

TEST_F(BmpMagickTest, WhatTheEngineWritesImageMagickReads)
{
    RwImage *image = imgtest::MakeImage32(13, 7, imgtest::Pattern);
    const std::string file = Path("engine.bmp");
    made.push_back(file);
    ASSERT_NE(RtBmpWrite(image, file.c_str()), nullptr);
    RwInt32 w = 0, h = 0;
    EXPECT_EQ(imgtest::MagickRGBA(file, &w, &h), imgtest::ImageRGBA(image));
    RwImage *back = RtBmpRead(file.c_str());
    EXPECT_EQ(imgtest::ImageRGBA(back), imgtest::ImageRGBA(image));
    RwImageDestroy(back);
    RwImageDestroy(image);
}

}  // namespace

namespace {

// 16-bit bitmaps of 37x23 pixels made by other tools (see data/make.sh):
// plain ones are 5-5-5, bit-field ones say their layout in masks after a
// 40-byte header or inside a 124-byte one. Each reads as the tool that
// wrote it decodes it, to the byte.
TEST_F(BmpTest, SixteenBitFilesReadAsTheirMakersDecodeThem)
{
    const std::string dir = std::string(RW_TEST_SOURCE_DIR) + "/tests/rwsdk/tool/bmp/data/";
    for (const char *name : {"plain555", "masks565", "masks565v5", "masks555v5"}) {
        const std::vector<RwUInt8> expected = imgtest::ReadFile(dir + name + ".rgba");
        ASSERT_EQ(expected.size(), 37u * 23u * 4u) << name;
        RwImage *image = RtBmpRead((dir + name + ".bmp").c_str());
        ASSERT_NE(image, nullptr) << name;
        EXPECT_EQ(image->width, 37);
        EXPECT_EQ(image->height, 23);
        EXPECT_EQ(imgtest::ImageRGBA(image), expected) << name;
        RwImageDestroy(image);
    }
}

}  // namespace

}  // namespace rtbmp_test
