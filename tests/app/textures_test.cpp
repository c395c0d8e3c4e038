// The game's texture services on its own engine start-up: masked loads
// with the "A" mask beside a ".BMP" name, "png" names read as the BMP of
// that name, one reference given back, and the texture memory figure.
#include <gtest/gtest.h>

#include "app/pack.h"
#include "app/textures.h"
#include "rtbmp.h"
#include "tests/app/app_test_support.h"

namespace textures_test {

namespace {

// A solid picture, or a mask white on its left half and black on its right.
void WriteBmp(const std::string &path, RwRGBA colour, bool halfMask)
{
    RwImage *image = RwImageCreate(4, 4, 32);
    ASSERT_NE(RwImageAllocatePixels(image), nullptr);
    for (RwInt32 y = 0; y < 4; ++y) {
        auto *row = reinterpret_cast<RwRGBA *>(image->cpPixels + y * image->stride);
        for (RwInt32 x = 0; x < 4; ++x) {
            row[x] = halfMask ? (x < 2 ? RwRGBA{255, 255, 255, 255} : RwRGBA{0, 0, 0, 255}) : colour;
        }
    }
    ASSERT_NE(RtBmpWrite(image, path.c_str()), nullptr) << path;
    RwImageDestroy(image);
}

RwRGBA TexelOf(RwTexture *texture, RwInt32 x, RwInt32 y)
{
    RwRaster *raster = RwTextureGetRaster(texture);
    RwImage *image = RwImageCreate(raster->width, raster->height, 32);
    RwImageAllocatePixels(image);
    RwImageSetFromRaster(image, raster);
    const RwRGBA texel = reinterpret_cast<RwRGBA *>(image->cpPixels + y * image->stride)[x];
    RwImageDestroy(image);
    return texel;
}

class Textures : public apptest::GameEngineTest {
protected:
    void SetUp() override
    {
        root = apptest::ScratchFolder("textures");
        StartIn(root);
        std::filesystem::create_directories(root + "/RESOURCE/UITEXT");
        WriteBmp(root + "/RESOURCE/UITEXT/PANEL.BMP", {200, 30, 40, 255}, false);
        WriteBmp(root + "/RESOURCE/UITEXT/PANELA.BMP", {}, true);
        RwImageSetPath("\\RESOURCE\\UITEXT\\");
    }
    std::string root;
};

TEST_F(Textures, ABmpNameTakesItsAMaskBesideIt)
{
    const uint32_t before = GetTextureMemoryUsed();
    RwTexture *texture = LoadTextureWithMask("panel.bmp", nullptr);
    ASSERT_NE(texture, nullptr);
    EXPECT_STREQ(texture->name, "panel");
    EXPECT_STREQ(texture->mask, "panelA");
    const RwRGBA left = TexelOf(texture, 0, 1);
    const RwRGBA right = TexelOf(texture, 3, 1);
    EXPECT_EQ(left.red, 200);
    EXPECT_EQ(left.alpha, 255);
    EXPECT_EQ(right.red, 200);
    EXPECT_EQ(right.alpha, 0);
    EXPECT_EQ(GetTextureMemoryUsed(), before + 4 * 4 * RwTextureGetRaster(texture)->depth / 8);
    // A second load finds the same texture; each holder gives back one reference.
    RwTexture *again = LoadTextureWithMask("PANEL.BMP", nullptr);
    EXPECT_EQ(again, texture);
    EXPECT_EQ(texture->refCount, 2);
    DestroyTexture(again);
    EXPECT_EQ(texture->refCount, 1);
    DestroyTexture(nullptr);
}

TEST_F(Textures, WithoutTheMaskFileThePictureComesPlain)
{
    std::filesystem::remove(root + "/RESOURCE/UITEXT/PANELA.BMP");
    RwTexture *texture = LoadTextureWithMask("PANEL", nullptr);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(TexelOf(texture, 3, 1).alpha, 255);
    EXPECT_EQ(LoadTextureWithMask("MISSING.BMP", nullptr), nullptr);
    EXPECT_EQ(LoadTextureWithMask("", nullptr), nullptr);
    EXPECT_EQ(LoadTextureWithMask(nullptr, "PANELA.BMP"), nullptr);
}

// Read without a mask the picture keeps its own alpha even with the mask
// file beside it; no name (or an empty one) is no texture.
TEST_F(Textures, WithoutAMaskThePictureIsReadPlain)
{
    RwTexture *texture = ReadTextureWithoutMask("PANEL.BMP");
    ASSERT_NE(texture, nullptr);
    EXPECT_STREQ(texture->name, "PANEL");
    EXPECT_EQ(TexelOf(texture, 3, 1).alpha, 255);
    DestroyTexture(texture);
    EXPECT_EQ(ReadTextureWithoutMask(""), nullptr);
    EXPECT_EQ(ReadTextureWithoutMask(nullptr), nullptr);
}

// A "png" file found on the image path is read from the BMP of its name.
TEST_F(Textures, PngNamesReadTheBmpOfThatName)
{
    EXPECT_EQ(RwImageRead("panel.png"), nullptr);  // no such file on the path
    apptest::WriteText(root + "/RESOURCE/UITEXT/PANEL.PNG", "not a picture");
    RwImage *image = RwImageRead("panel.png");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 4);
    RwImageDestroy(image);
}

}  // namespace

}  // namespace textures_test
