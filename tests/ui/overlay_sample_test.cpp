// The overlay's sample data: the six item icon sheets (128 x 128 with their
// masks, sixteen cells of 32 each showing its icon number in a colour of its
// own), the sample items' icons on sheets that exist, and the GAMEPLAY pack
// with BASE.BMP.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "app/bmp_file.h"
#include "tests/app/app_test_support.h"
#include "tools/mkdata/item_data.h"
#include "tools/mkdata/ui_pictures.h"

namespace overlay_sample_test {

namespace {

std::string SheetPath(int sheet, const char *suffix)
{
    char name[64];
    std::snprintf(name, sizeof name, "/RESOURCE/ITEM/TEXTURES/%03d%s.BMP", sheet + 1, suffix);
    return apptest::SampleData() + name;
}

class OverlaySample : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!apptest::HaveSampleData()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
    }
};

TEST_F(OverlaySample, SixIconSheetsOfSixteenLabelledCells)
{
    for (int sheet = 0; sheet < 6; ++sheet) {
        apptest::Bmp picture;
        apptest::Bmp mask;
        ASSERT_TRUE(apptest::LoadBmp(SheetPath(sheet, ""), &picture)) << sheet;
        ASSERT_TRUE(apptest::LoadBmp(SheetPath(sheet, "A"), &mask)) << sheet;
        EXPECT_EQ(picture.width, 128);
        EXPECT_EQ(picture.height, 128);
        EXPECT_EQ(mask.width, 128);
        std::set<uint32_t> grounds;
        for (int cell = 0; cell < 16; ++cell) {
            const int x0 = 32 * (cell % 4);
            const int y0 = 32 * (cell / 4);
            // Its ground, just inside its border, and its label: the number's
            // strokes are near white.
            grounds.insert(picture.Pixel(x0 + 3, y0 + 3));
            int strokes = 0;
            for (int y = y0 + 2; y < y0 + 30; ++y) {
                for (int x = x0 + 2; x < x0 + 30; ++x) {
                    const uint32_t p = picture.Pixel(x, y);
                    strokes += ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 200 && (p & 0xFF) > 200 ? 1 : 0;
                }
            }
            EXPECT_GT(strokes, 20) << sheet << " " << cell;
            EXPECT_EQ(mask.Pixel(x0 + 16, y0 + 16), 0xFFFFFFu) << sheet << " " << cell;
        }
        EXPECT_EQ(grounds.size(), 16u) << sheet;
    }
    EXPECT_FALSE(std::filesystem::exists(SheetPath(6, "")));
}

TEST_F(OverlaySample, TheSampleItemsIconsLieOnTheSheets)
{
    std::set<int> sheets;
    for (const ItemContent &item : mkdata::SampleItemTables().items) {
        ASSERT_GE(item.icon, 0) << item.itemId;
        ASSERT_LT(item.icon / 16, mkdata::kItemIconSheets) << item.itemId;
        EXPECT_TRUE(std::filesystem::exists(SheetPath(item.icon / 16, ""))) << item.itemId;
        sheets.insert(item.icon / 16);
    }
    EXPECT_EQ(sheets, (std::set<int>{0, 1, 2}));
}

TEST_F(OverlaySample, TheGameplayPackHoldsBase)
{
    std::ifstream list(apptest::SampleData() + "/PACK/UI0/GAMEPLAY.LST");
    std::string line;
    ASSERT_TRUE(std::getline(list, line));
    EXPECT_EQ(line.substr(0, line.find('\t')), "\\RESOURCE\\UITEXT\\PAUSE\\BASE.BMP");
    EXPECT_FALSE(std::getline(list, line));
    // It lives in the pack only.
    EXPECT_FALSE(std::filesystem::exists(apptest::SampleData() + "/RESOURCE/UITEXT/PAUSE/BASE.BMP"));
}

}  // namespace

}  // namespace overlay_sample_test
