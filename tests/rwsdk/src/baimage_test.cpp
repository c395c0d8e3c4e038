// Tests of images: pixel blocks, masks (no data lost when memory runs out),
// copies, gamma, the image stream chunk (hostile chunks refused), formats by
// extension, the search path, and resampling.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"
#include "support/engine/memory_stream.h"
#include "support/engine/scratch_path.h"
#include "tests/rwsdk/src/image_test_support.h"

namespace baimage_test {

namespace {

using rwtest::CountingMemory;
using rwtest::TakeError;

class ImageTest : public rwtest::EngineTest {};

TEST_F(ImageTest, PaletteFollowsRowsAndStrideIsWordAligned)
{
    RwImage *image = RwImageCreate(10, 3, 4);
    ASSERT_NE(RwImageAllocatePixels(image), nullptr);
    EXPECT_EQ(image->stride, 12);
    EXPECT_EQ(reinterpret_cast<RwUInt8 *>(image->palette), image->cpPixels + 36);
    EXPECT_EQ(image->flags & rwIMAGEALLOCATED, rwIMAGEALLOCATED);
    RwImageFreePixels(image);
    EXPECT_EQ(image->cpPixels, nullptr);
    EXPECT_EQ(image->flags & rwIMAGEALLOCATED, 0);
    RwImageDestroy(image);
}

TEST_F(ImageTest, AllocationRefusesEmptyOrAbsurdSizes)
{
    for (RwInt32 w : {0, -4, 1 << 20}) {
        RwImage *image = RwImageCreate(w, 1 << 14, 32);
        EXPECT_EQ(RwImageAllocatePixels(image), nullptr) << w;
        EXPECT_EQ(image->cpPixels, nullptr);
        RwImageDestroy(image);
    }
    TakeError();
}

// A mask's alpha is its pixel's largest channel; applied, it replaces each pixel's
// alpha and nothing else, on every pixel of rows whose width is not a multiple of four.
TEST_F(ImageTest, MaskAlphaIsTheLargestChannelAndReplacesOnlyAlpha)
{
    RwImage *image = RwImageCreate(7, 2, 32);
    RwImage *mask = RwImageCreate(7, 2, 32);
    ASSERT_NE(RwImageAllocatePixels(image), nullptr);
    ASSERT_NE(RwImageAllocatePixels(mask), nullptr);
    auto *pixels = reinterpret_cast<RwRGBA *>(image->cpPixels);
    auto *masks = reinterpret_cast<RwRGBA *>(mask->cpPixels);
    for (RwInt32 i = 0; i < 14; ++i) {
        pixels[i] = {static_cast<RwUInt8>(i * 11), static_cast<RwUInt8>(200 - i), static_cast<RwUInt8>(i * 3),
                     static_cast<RwUInt8>(i)};
        // The largest channel is red, green or blue in turn, and 255 once.
        const RwUInt8 big = i == 13 ? 255 : static_cast<RwUInt8>(100 + i * 9);
        masks[i] = {static_cast<RwUInt8>(i % 3 == 0 ? big : i), static_cast<RwUInt8>(i % 3 == 1 ? big : 2 * i),
                    static_cast<RwUInt8>(i % 3 == 2 ? big : 3 * i), static_cast<RwUInt8>(77)};
    }
    const std::vector<RwRGBA> before(pixels, pixels + 14);
    ASSERT_EQ(RwImageMakeMask(mask), mask);
    ASSERT_EQ(RwImageApplyMask(image, mask), image);
    for (RwInt32 i = 0; i < 14; ++i) {
        const RwUInt8 big = i == 13 ? 255 : static_cast<RwUInt8>(100 + i * 9);
        EXPECT_EQ(masks[i].alpha, big) << i;
        EXPECT_EQ(pixels[i].red, before[i].red) << i;
        EXPECT_EQ(pixels[i].green, before[i].green) << i;
        EXPECT_EQ(pixels[i].blue, before[i].blue) << i;
        EXPECT_EQ(pixels[i].alpha, big) << i;
    }
    RwImageDestroy(mask);
    RwImageDestroy(image);
}

// The palettised image is widened into a new block before its old one goes:
// when that block cannot be had, the image keeps its pixels.
TEST_F(ImageTest, ApplyMaskKeepsPixelsWhenMemoryRunsOut)
{
    RwImage *image = RwImageCreate(4, 2, 8);
    ASSERT_NE(RwImageAllocatePixels(image), nullptr);
    std::memset(image->cpPixels, 3, 8 * 2);
    image->palette[3] = RwRGBA{10, 20, 30, 40};
    RwImage *mask = imgtest::MakeImage32(4, 2, imgtest::Pattern);
    const size_t next = CountingMemory::Allocations() + 1;
    CountingMemory::FailFrom(next);
    EXPECT_EQ(RwImageApplyMask(image, mask), nullptr);
    CountingMemory::FailFrom(0);
    EXPECT_EQ(image->depth, 8);
    EXPECT_EQ(image->cpPixels[5], 3);
    EXPECT_EQ(image->palette[3].green, 20);

    ASSERT_EQ(RwImageApplyMask(image, RwImageMakeMask(mask)), image);
    EXPECT_EQ(image->depth, 32);
    const RwRGBA *px = reinterpret_cast<RwRGBA *>(image->cpPixels);
    const RwRGBA m = imgtest::Pattern(1, 0);
    EXPECT_EQ(px[1].red, 10);
    EXPECT_EQ(px[1].alpha, std::max({m.red, m.green, m.blue}));
    RwImageDestroy(mask);
    RwImageDestroy(image);
    TakeError();
}

TEST_F(ImageTest, ApplyMaskRefusesMismatchAndOddDepths)
{
    RwImage *image = imgtest::MakeImage32(4, 4, imgtest::Pattern);
    RwImage *small = imgtest::MakeImage32(2, 4, imgtest::Pattern);
    EXPECT_EQ(RwImageApplyMask(image, small), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RW_INVIMAGESIZE);
    RwImage *odd = RwImageCreate(4, 4, 16);
    RwImageAllocatePixels(odd);
    EXPECT_EQ(RwImageApplyMask(odd, image), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RW_INVIMAGEFORMAT);
    for (RwImage *i : {image, small, odd}) RwImageDestroy(i);
}

TEST_F(ImageTest, CopyConvertsPalettisedToColourAndRefusesOtherPairs)
{
    RwImage *indexed = RwImageCreate(3, 2, 4);
    RwImageAllocatePixels(indexed);
    indexed->flags |= rwIMAGEGAMMACORRECTED;
    for (RwInt32 i = 0; i < 16; ++i) indexed->palette[i] = RwRGBA{static_cast<RwUInt8>(i * 16), 1, 2, 3};
    for (RwInt32 y = 0; y < 2; ++y)
        for (RwInt32 x = 0; x < 3; ++x) indexed->cpPixels[y * indexed->stride + x] = static_cast<RwUInt8>(x + 3 * y);
    RwImage *wide = RwImageCreate(3, 2, 32);
    RwImageAllocatePixels(wide);
    ASSERT_EQ(RwImageCopy(wide, indexed), wide);
    EXPECT_EQ(reinterpret_cast<RwRGBA *>(wide->cpPixels + wide->stride)[2].red, 5 * 16);
    EXPECT_TRUE(wide->flags & rwIMAGEGAMMACORRECTED);
    EXPECT_EQ(RwImageCopy(indexed, wide), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RW_INVIMAGEFORMAT);
    RwImageDestroy(wide);
    RwImageDestroy(indexed);
}

TEST_F(ImageTest, GammaTablesAndCorrection)
{
    RwImageSetGamma(1.0f);
    for (RwInt32 i = 0; i < 256; ++i) ASSERT_EQ(RwImageGetGammaTable()[i], i);
    RwImageSetGamma(2.0f);
    EXPECT_EQ(RwImageGetGammaTable()[64], 128);   // sqrt(64/255) * 255 + 0.5
    EXPECT_EQ(RwImageGetInvGammaTable()[128], 64);
    RwImage *image = imgtest::MakeImage32(1, 1, [](RwInt32, RwInt32) { return RwRGBA{64, 0, 255, 64}; });
    ASSERT_EQ(RwImageGammaCorrect(image), image);
    const RwRGBA c = *reinterpret_cast<RwRGBA *>(image->cpPixels);
    EXPECT_EQ(c.red, 128);
    EXPECT_EQ(c.blue, 255);
    EXPECT_EQ(c.alpha, 64);
    EXPECT_TRUE(image->flags & rwIMAGEGAMMACORRECTED);
    RwImageSetGamma(1.0f);
    RwImage *bare = RwImageCreate(2, 2, 8);
    EXPECT_EQ(RwImageGammaCorrect(bare), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RW_NULLP);
    bare->depth = 16;
    EXPECT_EQ(RwImageGammaCorrect(bare), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RW_INVIMAGEDEPTH);
    RwImageDestroy(bare);
    RwImageDestroy(image);
}

std::vector<RwUInt8> ImageChunk(RwInt32 w, RwInt32 h, RwInt32 depth, RwInt32 stride, RwUInt32 bodyBytes)
{
    std::vector<RwUInt8> bytes;
    auto put = [&bytes](RwUInt32 v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<RwUInt8>(v >> (8 * i)));
    };
    put(1);
    put(16 + bodyBytes);
    put(RwLibraryStampMake(rwLIBRARYVERSION, rwLIBRARYBUILD));
    put(static_cast<RwUInt32>(w));
    put(static_cast<RwUInt32>(h));
    put(static_cast<RwUInt32>(depth));
    put(static_cast<RwUInt32>(stride));
    for (RwUInt32 i = 0; i < bodyBytes; ++i) bytes.push_back(static_cast<RwUInt8>(i));
    return bytes;
}

RwImage *ReadChunk(std::vector<RwUInt8> bytes)
{
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    RwImage *image = RwImageStreamRead(stream);
    RwStreamClose(stream, nullptr);
    return image;
}

TEST_F(ImageTest, StreamChunkRoundTripsAndAdaptsStrides)
{
    RwImage *image = RwImageCreate(5, 3, 8);
    RwImageAllocatePixels(image);
    for (RwInt32 i = 0; i < image->stride * 3; ++i) image->cpPixels[i] = static_cast<RwUInt8>(i);
    for (RwInt32 i = 0; i < 256; ++i) image->palette[i] = RwRGBA{static_cast<RwUInt8>(i), 0, 0, 255};
    RwStream *out = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
    ASSERT_NE(RwImageStreamWrite(image, out), nullptr);
    std::vector<RwUInt8> bytes = rwtest::CloseMemoryWrite(out);
    EXPECT_EQ(bytes.size(), 12u + 16 + 8 * 3 + 1024);
    RwImage *back = ReadChunk(bytes);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(imgtest::ImageRGBA(back), imgtest::ImageRGBA(image));
    RwImageDestroy(back);

    // A stream stride wider than the image's: the extra bytes are skipped.
    RwImage *wide = ReadChunk(ImageChunk(2, 2, 32, 12, 24));
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->cpPixels[8], 12);
    RwImageDestroy(wide);
    RwImageDestroy(image);
}

TEST_F(ImageTest, HostileStreamChunksAreRefused)
{
    struct Case { RwInt32 w, h, depth, stride; RwUInt32 body; };
    const Case cases[] = {
        {4, 4, 16, 8, 32},                 // a depth with no palette rule
        {4, 4, 24, 12, 48},
        {4, 4, -1, 16, 64},                // found by fuzzing: a negative depth

        {4, 4, 33, 20, 80},
        {-1, 4, 32, 16, 64},
        {4, 0, 32, 16, 0},
        {4, 4, 32, -16, 64},
        {0x10000, 0x10000, 32, 0x40000, 64},  // sizes far beyond the chunk
        {4, 4, 8, 4, 16},                  // palette missing
        {4, 0x40000000, 8, 4, 1040},       // height * stride wraps 32 bits
        {2097216, 64, 32, 256, 16384},     // found by fuzzing: rows shorter than their pixels
        {0x40000020, 32, 32, 128, 4096},   // found by fuzzing: a row stride that wraps
        {4, 4, 0x7FFFFFFF, 16, 64},        // found by fuzzing: a depth whose rounding overflowed
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ReadChunk(ImageChunk(c.w, c.h, c.depth, c.stride, c.body)), nullptr) << c.w << "x" << c.h << "x" << c.depth;
        TakeError();
    }
}

RwImage *RecordingReader(const RwChar *name);
std::vector<std::string> &ReadNames()
{
    static std::vector<std::string> names;
    return names;
}
RwImage *RecordingReader(const RwChar *name)
{
    ReadNames().push_back(name);
    return nullptr;
}
RwImage *OtherWriter(RwImage *image, const RwChar *) { return image; }
RwImage *FirstWriter(RwImage *image, const RwChar *) { return image; }

TEST_F(ImageTest, FormatsMatchBothCasesAndKeepEarlierCallbacks)
{
    ASSERT_TRUE(RwImageRegisterFormat("bmp", RecordingReader, FirstWriter));
    ASSERT_TRUE(RwImageRegisterFormat("BMP", nullptr, nullptr));
    EXPECT_EQ(RwImageWrite(nullptr, "x.Bmp"), nullptr);
    RwImage *marker = reinterpret_cast<RwImage *>(0x10);
    EXPECT_EQ(RwImageWrite(marker, "x.BMP"), marker);
    EXPECT_EQ(RwImageWrite(marker, "dir.v2/x.bmp"), marker);
    EXPECT_EQ(RwImageWrite(marker, "dir.v2/x"), nullptr);
    ASSERT_TRUE(RwImageRegisterFormat("averyveryverylongextensionname", RecordingReader, OtherWriter));
    EXPECT_EQ(RwImageWrite(marker, "x.averyveryverylonge"), marker);
}

TEST_F(ImageTest, SearchPathTriesEachPrefixAndAbsoluteNamesOnce)
{
    const std::string dirA = rwtest::ScratchPath("imgA") + "/";
    const std::string dirB = rwtest::ScratchPath("imgB") + "/";
    ASSERT_EQ(std::system(("mkdir -p " + dirA + " " + dirB).c_str()), 0);
    imgtest::WriteFile(dirA + "pic.tst", {1});
    imgtest::WriteFile(dirB + "pic.tst", {1});
    imgtest::WriteFile(dirB + "only.TST", {1});
    ASSERT_TRUE(RwImageRegisterFormat("tst", RecordingReader, nullptr));
    ASSERT_NE(RwImageSetPath((dirA + ";" + dirB).c_str()), nullptr);
    ReadNames().clear();
    EXPECT_EQ(RwImageRead("pic.tst"), nullptr);
    EXPECT_EQ(ReadNames(), (std::vector<std::string>{dirA + "pic.tst", dirB + "pic.tst"}));
    ReadNames().clear();
    RwImageRead((dirA + "pic.tst").c_str());
    EXPECT_EQ(ReadNames(), (std::vector<std::string>{dirA + "pic.tst"}));
    ReadNames().clear();
    RwImageRead("missing.tst");
    EXPECT_TRUE(ReadNames().empty());
    const RwChar *type = RwImageFindFileType("only");
    ASSERT_NE(type, nullptr);
    EXPECT_STREQ(type, ".tst");  // file names match in any case here
    EXPECT_EQ(RwImageFindFileType("absent"), nullptr);
    // A long path grows the buffers.
    const std::string longPath(600, 'p');
    ASSERT_NE(RwImageSetPath(longPath.c_str()), nullptr);
    EXPECT_EQ(std::string(RwImageGetPath()), longPath);
    RwImageRead(std::string(400, 'n').append(".tst").c_str());
    std::system(("rm -rf " + dirA + " " + dirB).c_str());
}

TEST_F(ImageTest, ResampleAveragesBlocksAndKeepsConstantColour)
{
    RwImage *src = imgtest::MakeImage32(4, 4, [](RwInt32 x, RwInt32 y) {
        return RwRGBA{static_cast<RwUInt8>((x < 2) == (y < 2) ? 200 : 100), 50, 50, 255};
    });
    RwImage *dst = RwImageCreateResample(src, 2, 2);
    ASSERT_NE(dst, nullptr);
    const RwRGBA *px = reinterpret_cast<RwRGBA *>(dst->cpPixels);
    EXPECT_NEAR(px[0].red, 200, 1);
    EXPECT_NEAR(px[1].red, 100, 1);
    EXPECT_EQ(px[0].green, 50);
    EXPECT_EQ(px[0].alpha, 255);
    RwImage *up = RwImageCreateResample(src, 8, 8);
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(reinterpret_cast<RwRGBA *>(up->cpPixels + 7 * up->stride)[7].red, 200);
    RwImage *indexed = RwImageCreate(3, 3, 8);
    RwImageAllocatePixels(indexed);
    std::memset(indexed->cpPixels, 1, static_cast<size_t>(indexed->stride) * 3);
    indexed->palette[1] = RwRGBA{9, 8, 7, 6};
    RwImage *fromIndexed = RwImageCreateResample(indexed, 2, 5);
    ASSERT_NE(fromIndexed, nullptr);
    EXPECT_EQ(reinterpret_cast<RwRGBA *>(fromIndexed->cpPixels)[1].blue, 7);
    for (RwImage *i : {src, dst, up, indexed, fromIndexed}) RwImageDestroy(i);
}

}  // namespace

}  // namespace baimage_test
