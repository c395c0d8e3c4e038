// Tests of the palette quantiser: few colours get one entry each, many are
// cut into the requested number of boxes whose entries are close to the
// colours they stand for, and matching packs 4-bit indices when asked.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "support/engine/engine_env.h"
#include "tests/rwsdk/src/image_test_support.h"

namespace palquant_test {

namespace {

class PalQuantTest : public rwtest::EngineTest {};

TEST_F(PalQuantTest, FewColoursEachGetTheirCellsMean)
{
    // 200 colours, each in its own cell (steps of 8 on red and green).
    RwImage *image = imgtest::MakeImage32(20, 10, [](RwInt32 x, RwInt32 y) {
        return RwRGBA{static_cast<RwUInt8>(x * 8 + 3), static_cast<RwUInt8>(y * 8 + 1), 16, 255};
    });
    RwPalQuant pq;
    ASSERT_TRUE(RwPalQuantInit(&pq));
    RwPalQuantAddImage(&pq, image, 1.0f);
    RwRGBA palette[256];
    std::memset(palette, 0xEE, sizeof(palette));
    EXPECT_EQ(RwPalQuantResolvePalette(palette, 256, &pq), 200);
    for (RwInt32 i = 200; i < 256; ++i) ASSERT_EQ(palette[i].red | palette[i].green | palette[i].alpha, 0);
    RwUInt8 indices[200];
    RwPalQuantMatchImage(indices, 20, 8, FALSE, &pq, image);
    for (RwInt32 y = 0; y < 10; ++y) {
        for (RwInt32 x = 0; x < 20; ++x) {
            const RwRGBA c = palette[indices[y * 20 + x]];
            ASSERT_NEAR(c.red, x * 8 + 3, 1);
            ASSERT_NEAR(c.green, y * 8 + 1, 1);
        }
    }
    RwPalQuantTerm(&pq);
    RwImageDestroy(image);
}

TEST_F(PalQuantTest, ManyColoursAreCutIntoBoxes)
{
    RwImage *image = imgtest::MakeImage32(64, 64, imgtest::Pattern);
    RwPalQuant pq;
    ASSERT_TRUE(RwPalQuantInit(&pq));
    RwPalQuantAddImage(&pq, image, 1.0f);
    RwRGBA palette[16];
    EXPECT_EQ(RwPalQuantResolvePalette(palette, 16, &pq), 16);
    RwUInt8 packed[32 * 64];
    RwPalQuantMatchImage(packed, 32, 4, TRUE, &pq, image);
    RwUInt8 loose[64 * 64];
    RwPalQuantMatchImage(loose, 64, 4, FALSE, &pq, image);
    long error = 0;
    for (RwInt32 y = 0; y < 64; ++y) {
        for (RwInt32 x = 0; x < 64; ++x) {
            const RwUInt8 index = loose[y * 64 + x];
            ASSERT_LT(index, 16);
            ASSERT_EQ((packed[y * 32 + x / 2] >> ((x & 1) * 4)) & 0xF, index);
            const RwRGBA c = imgtest::Pattern(x, y);
            error += std::abs(palette[index].red - c.red) + std::abs(palette[index].green - c.green) +
                     std::abs(palette[index].blue - c.blue);
        }
    }
    // Sixteen colours for a busy picture: on average within a band of each.
    EXPECT_LT(error / (64 * 64), 120);
    RwPalQuantTerm(&pq);
    RwImageDestroy(image);
}

TEST_F(PalQuantTest, PalettiseLevelsSharesOnePalette)
{
    RwImage *levels[2] = {imgtest::MakeImage32(8, 8, imgtest::Pattern), imgtest::MakeImage32(4, 4, imgtest::Pattern)};
    RwImage *keep = levels[0];
    RwRGBA palette[256];
    ASSERT_TRUE(RwImagePalettiseLevels(palette, keep, levels, 2, 8));
    EXPECT_EQ(levels[0]->depth, 8);
    EXPECT_EQ(levels[0]->palette, palette);
    EXPECT_EQ(levels[1]->palette, palette);
    EXPECT_EQ(imgtest::ImageRGBA(levels[0]), imgtest::ImageRGBA(keep));  // 64 colours fit exactly
    for (RwImage *i : {levels[0], levels[1], keep}) RwImageDestroy(i);
}

}  // namespace

}  // namespace palquant_test
