// Pixel-format conversion: packing and unpacking every raster pixel format,
// the raster format chosen for an image, and images taken through rasters of
// every format and back.
#include <gtest/gtest.h>

#include <vector>

#include "d3d8_driver_test_support.h"
#include "driver/d3d8/d3d8raster.h"
#include "support/engine/engine_env.h"

namespace d3d8convrt_test {

namespace {

class D3D8ConvertTest : public d3d8test::DriverTest {
protected:
    void SetUp() override
    {
        DriverTest::SetUp();
        ASSERT_TRUE(StartEngine());
        rwtest::TakeError();
    }

    static RwImage *MakeImage(RwInt32 w, RwInt32 h, RwInt32 depth)
    {
        RwImage *image = RwImageCreate(w, h, depth);
        return image != nullptr ? RwImageAllocatePixels(image) : nullptr;
    }

    static RwRGBA *Pixel(RwImage *image, RwInt32 x, RwInt32 y)
    {
        return reinterpret_cast<RwRGBA *>(image->cpPixels + y * image->stride) + x;
    }
};

RwUInt32 Pack(RwInt32 format, RwRGBA colour)
{
    RwUInt32 pixel = 0;
    EXPECT_TRUE(RwD3D8RGBToPixel(&pixel, &colour, format));
    return pixel;
}

RwRGBA Unpack(RwInt32 format, RwUInt32 pixel)
{
    RwRGBA colour{};
    EXPECT_TRUE(RwD3D8PixelToRGB(&colour, &pixel, format));
    return colour;
}

TEST(D3D8PixelPacking, KnownValues)
{
    EXPECT_EQ(Pack(rwRASTERFORMAT565, {200, 100, 50, 255}), 0xCB26u);
    EXPECT_EQ(Pack(rwRASTERFORMATLUM8, {200, 100, 50, 255}), 124u);
    const RwRGBA c = Unpack(rwRASTERFORMAT4444, 0x7F0F);
    EXPECT_EQ(c.red, 0xF0);
    EXPECT_EQ(c.green, 0x00);
    EXPECT_EQ(c.blue, 0xF0);
    EXPECT_EQ(c.alpha, 0x70);
    EXPECT_EQ(Unpack(rwRASTERFORMAT4444, 0xFF0F).alpha, 255);
    EXPECT_EQ(Pack(rwRASTERFORMATDEFAULT, {1, 2, 3, 4}), 0x04010203u);
    EXPECT_EQ(Pack(rwRASTERFORMAT888, {1, 2, 3, 4}), 0xFF010203u);
    const RwRGBA raw = Unpack(rwRASTERFORMATPAL8 | rwRASTERFORMAT888, 0x44332211u);
    EXPECT_EQ(raw.red, 0x11);
    EXPECT_EQ(raw.alpha, 0x44);
}

TEST(D3D8PixelPacking, UnknownFormatsAreRefused)
{
    RwUInt32 pixel = 0;
    RwRGBA colour{};
    EXPECT_FALSE(RwD3D8RGBToPixel(&pixel, &colour, rwRASTERFORMAT16));
    EXPECT_FALSE(RwD3D8PixelToRGB(&colour, &pixel, rwRASTERFORMAT32));
    EXPECT_EQ(RwD3D8GetPixelPacker(rwRASTERFORMATDEFAULT), nullptr);
}

// Every pixel value of a 16-bit format, and a sweep of the others, survives
// unpacking and packing again (555 has no alpha bit to keep).
TEST(D3D8PixelPacking, EveryFormatRoundTrips)
{
    struct Case {
        RwInt32 format;
        RwUInt32 mask;
        RwUInt32 count;
    };
    const Case cases[] = {{rwRASTERFORMAT1555, 0xFFFF, 0x10000}, {rwRASTERFORMAT565, 0xFFFF, 0x10000},
                          {rwRASTERFORMAT4444, 0xFFFF, 0x10000}, {rwRASTERFORMAT555, 0x7FFF, 0x10000},
                          {rwRASTERFORMATLUM8, 0xFF, 0x100}};
    for (const Case &c : cases) {
        for (RwUInt32 p = 0; p < c.count; ++p) {
            ASSERT_EQ(Pack(c.format, Unpack(c.format, p)), p & c.mask) << c.format << " " << p;
        }
    }
    for (RwUInt32 p = 0; p < 0xFFFFFFFFu - 0x01010101u; p += 0x01030507u) {
        ASSERT_EQ(Pack(rwRASTERFORMAT8888, Unpack(rwRASTERFORMAT8888, p)), p);
        ASSERT_EQ(Pack(rwRASTERFORMAT888, Unpack(rwRASTERFORMAT888, p)), p | 0xFF000000u);
    }
}

TEST_F(D3D8ConvertTest, ChosenFormatsFollowTheAlphaInUse)
{
    RwImage *image = MakeImage(4, 4, 32);
    for (RwInt32 i = 0; i < 16; ++i) {
        *Pixel(image, i % 4, i / 4) = {10, 20, 30, 255};
    }
    EXPECT_EQ(RwD3D8ImageChooseRasterFormat(image), rwRASTERFORMAT888);
    Pixel(image, 3, 3)->alpha = 0;
    EXPECT_EQ(RwD3D8ImageChooseRasterFormat(image), rwRASTERFORMAT8888);  // 32-bit display
    Pixel(image, 1, 1)->alpha = 128;
    EXPECT_EQ(RwD3D8ImageChooseRasterFormat(image), rwRASTERFORMAT8888);
    RwImageDestroy(image);

    RwImage *indexed = MakeImage(4, 4, 8);
    for (RwInt32 i = 0; i < 256; ++i) {
        indexed->palette[i] = {static_cast<RwUInt8>(i), 0, 0, 255};
    }
    std::fill(indexed->cpPixels, indexed->cpPixels + indexed->stride * 4, 0);
    EXPECT_EQ(RwD3D8ImageChooseRasterFormat(indexed), rwRASTERFORMATPAL8 | rwRASTERFORMAT888);
    indexed->palette[200].alpha = 0;  // translucent but unused
    EXPECT_EQ(RwD3D8ImageChooseRasterFormat(indexed), rwRASTERFORMATPAL8 | rwRASTERFORMAT888);
    indexed->cpPixels[5] = 200;
    EXPECT_EQ(RwD3D8ImageChooseRasterFormat(indexed), rwRASTERFORMATPAL8 | rwRASTERFORMAT8888);
    RwImageDestroy(indexed);
}

// Every pixel counts, wherever it lies in its row (rows seven wide are looked at four
// pixels at a time and then one by one).
TEST_F(D3D8ConvertTest, ChosenFormatsSeeEveryPixelsAlpha)
{
    RwImage *image = MakeImage(7, 3, 32);
    for (RwInt32 i = 0; i < 21; ++i) {
        for (RwUInt8 alpha : {RwUInt8{0}, RwUInt8{15}, RwUInt8{16}, RwUInt8{128}, RwUInt8{254}}) {
            for (RwInt32 j = 0; j < 21; ++j) {
                *Pixel(image, j % 7, j / 7) = {10, 20, 30, 255};
            }
            Pixel(image, i % 7, i / 7)->alpha = alpha;
            EXPECT_EQ(RwD3D8ImageChooseRasterFormat(image), rwRASTERFORMAT8888) << i << " " << int(alpha);
        }
        Pixel(image, i % 7, i / 7)->alpha = 255;
        EXPECT_EQ(RwD3D8ImageChooseRasterFormat(image), rwRASTERFORMAT888) << i;
    }
    RwImageDestroy(image);
}

// Rows whose width is not a multiple of four are packed whole into 32-bit rasters.
TEST_F(D3D8ConvertTest, OddWidthImagesPackIntoThirtyTwoBitRasters)
{
    for (RwInt32 format : {rwRASTERFORMAT8888, rwRASTERFORMAT888}) {
        RwImage *source = MakeImage(7, 2, 32);
        for (RwInt32 i = 0; i < 14; ++i) {
            *Pixel(source, i % 7, i / 7) = {static_cast<RwUInt8>(i * 17), static_cast<RwUInt8>(255 - i * 9),
                                            static_cast<RwUInt8>(i * 5 + 1),
                                            static_cast<RwUInt8>(format == rwRASTERFORMAT888 ? 255 : i * 18)};
        }
        RwRaster *raster = RwRasterCreate(7, 2, 0, rwRASTERTYPETEXTURE | format);
        ASSERT_NE(raster, nullptr) << format;
        ASSERT_NE(RwRasterSetFromImage(raster, source), nullptr) << format;
        RwImage *back = MakeImage(7, 2, 32);
        ASSERT_NE(RwImageSetFromRaster(back, raster), nullptr) << format;
        for (RwInt32 i = 0; i < 14; ++i) {
            const RwRGBA a = *Pixel(source, i % 7, i / 7);
            const RwRGBA b = *Pixel(back, i % 7, i / 7);
            EXPECT_TRUE(a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha)
                << "format " << format << " pixel " << i;
        }
        RwImageDestroy(back);
        RwImageDestroy(source);
        RwRasterDestroy(raster);
    }
}

// A 32-bit image whose colours each format keeps exactly comes back unchanged
// from a raster of that format.
TEST_F(D3D8ConvertTest, ImagesRoundTripThroughEveryRasterFormat)
{
    const RwInt32 formats[] = {rwRASTERFORMAT1555, rwRASTERFORMAT565, rwRASTERFORMAT4444, rwRASTERFORMAT8888,
                               rwRASTERFORMAT888, rwRASTERFORMAT555, rwRASTERFORMATLUM8};
    for (RwInt32 format : formats) {
        RwImage *source = MakeImage(8, 4, 32);
        for (RwInt32 y = 0; y < 4; ++y) {
            for (RwInt32 x = 0; x < 8; ++x) {
                const RwUInt8 v = static_cast<RwUInt8>((x * 32 + y * 8) & 0xF0);
                RwRGBA c = {v, static_cast<RwUInt8>(0xF0 - v), static_cast<RwUInt8>(v ^ 0x80),
                            static_cast<RwUInt8>(x & 1 ? 0xFF : 0x00)};
                if (format == rwRASTERFORMAT565 || format == rwRASTERFORMAT555 || format == rwRASTERFORMAT888 ||
                    format == rwRASTERFORMATLUM8) {
                    c.alpha = 0xFF;
                }
                if (format == rwRASTERFORMATLUM8) {
                    c.green = c.blue = c.red;
                }
                *Pixel(source, x, y) = c;
            }
        }
        RwRaster *raster = RwRasterCreate(8, 4, 0, rwRASTERTYPETEXTURE | format);
        ASSERT_NE(raster, nullptr) << format;
        ASSERT_NE(RwRasterSetFromImage(raster, source), nullptr) << format;
        RwImage *back = MakeImage(8, 4, 32);
        ASSERT_NE(RwImageSetFromRaster(back, raster), nullptr) << format;
        for (RwInt32 i = 0; i < 32; ++i) {
            const RwRGBA a = *Pixel(source, i % 8, i / 8);
            const RwRGBA b = *Pixel(back, i % 8, i / 8);
            ASSERT_TRUE(a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha)
                << "format " << format << " pixel " << i;
        }
        EXPECT_EQ(RwD3D8RasterGetExt(raster)->alpha, RwD3D8PixelFormatOf(format)->alpha);
        EXPECT_EQ(raster->cpPixels, nullptr);  // the conversion's locks are given back
        RwImageDestroy(back);
        RwImageDestroy(source);
        RwRasterDestroy(raster);
    }
}

TEST_F(D3D8ConvertTest, PalettisedImagesKeepIndicesAndPalette)
{
    RwImage *image = MakeImage(4, 4, 8);
    for (RwInt32 i = 0; i < 256; ++i) {
        image->palette[i] = {static_cast<RwUInt8>(i), static_cast<RwUInt8>(255 - i), 7, 255};
    }
    for (RwInt32 i = 0; i < 16; ++i) {
        image->cpPixels[(i / 4) * image->stride + i % 4] = static_cast<RwUInt8>(i * 13);
    }
    RwRaster *raster = RwRasterCreate(4, 4, 0, rwRASTERTYPETEXTURE | rwRASTERFORMATPAL8 | rwRASTERFORMAT888);
    ASSERT_NE(RwRasterSetFromImage(raster, image), nullptr);
    RwImage *indexes = MakeImage(4, 4, 8);
    ASSERT_NE(RwImageSetFromRaster(indexes, raster), nullptr);
    EXPECT_EQ(indexes->cpPixels[indexes->stride * 2 + 1], 9 * 13);
    EXPECT_EQ(indexes->palette[9 * 13].green, 255 - 9 * 13);
    RwImage *colours = MakeImage(4, 4, 32);
    ASSERT_NE(RwImageSetFromRaster(colours, raster), nullptr);
    EXPECT_EQ(Pixel(colours, 1, 2)->red, 9 * 13);
    // A 16-bit raster takes the palette through its lookup.
    RwRaster *wide = RwRasterCreate(4, 4, 0, rwRASTERTYPETEXTURE | rwRASTERFORMAT565);
    ASSERT_NE(RwRasterSetFromImage(wide, image), nullptr);
    ASSERT_NE(RwImageSetFromRaster(colours, wide), nullptr);
    EXPECT_EQ(Pixel(colours, 1, 2)->red, (9 * 13) & 0xF8);
    EXPECT_EQ(RwImageSetFromRaster(indexes, wide), nullptr);  // no 8-bit images of 16-bit rasters
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_DEVICEERROR);
    RwRasterDestroy(wide);
    RwImageDestroy(colours);
    RwImageDestroy(indexes);
    RwImageDestroy(image);
    RwRasterDestroy(raster);
}

TEST_F(D3D8ConvertTest, CompressedRastersAreNotReadBackAndNothingIsLocked)
{
    RwRaster *raster = RwRasterCreate(4, 4, 0, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888);
    RwD3D8RasterGetExt(raster)->dxtFormat = static_cast<RwUInt32>(D3DFMT_DXT1);
    RwImage *image = MakeImage(4, 4, 32);
    EXPECT_EQ(RwImageSetFromRaster(image, raster), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_DEVICEERROR);
    EXPECT_EQ(raster->cpPixels, nullptr);
    RwD3D8RasterGetExt(raster)->dxtFormat = 0;
    RwImageDestroy(image);
    RwRasterDestroy(raster);
}

TEST_F(D3D8ConvertTest, FindRasterFormatForAnImage)
{
    RwImage *image = MakeImage(300, 100, 32);
    for (RwInt32 y = 0; y < 100; ++y) {
        for (RwInt32 x = 0; x < 300; ++x) {
            *Pixel(image, x, y) = {1, 2, 3, 255};
        }
    }
    RwInt32 w = 0;
    RwInt32 h = 0;
    RwInt32 depth = 0;
    RwInt32 format = 0;
    ASSERT_NE(RwImageFindRasterFormat(image, rwRASTERTYPETEXTURE | rwRASTERFORMATMIPMAP, &w, &h, &depth, &format),
              nullptr);
    EXPECT_EQ(w, 300);
    EXPECT_EQ(depth, 32);
    EXPECT_EQ(format, rwRASTERTYPETEXTURE | rwRASTERFORMAT888 | rwRASTERFORMATMIPMAP);
    EXPECT_EQ(RwImageFindRasterFormat(image, 6, &w, &h, &depth, &format), nullptr);
    RwImageDestroy(image);
}

}  // namespace

}  // namespace d3d8convrt_test
