// What the screen manager carries and looks up: the 29 stage rows, the
// cleared stages and the last stage id, the carried state put onto the
// heroes and items, the monsters' health bars, the icon and digit tables,
// the key prompts in each language and the word table.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "actor/hero.h"
#include "app/file.h"
#include "tests/ui/ui_test_support.h"
#include "ui/icon_tables.h"
#include "ui/stage_table.h"
#include "ui/word_table.h"

namespace ui_progress_test {

namespace {

using uitest::ScreensTest;

struct Row {
    int32_t n, index, slot, name;
};
// The table as the game's stages list it.
const Row kRows[29] = {
    {1, 0, 0, 0},     {2, 1, 1, 1},     {3, 2, 2, 2},     {4, 3, 3, 3},     {5, 4, 4, 4},     {6, 5, 5, 5},
    {8, 6, 7, 7},     {10, 7, 6, 6},    {15, 8, 8, 8},    {16, 9, 9, 9},    {17, 10, 11, 11}, {19, 11, 12, 12},
    {22, 12, 13, 13}, {23, 13, 17, 17}, {25, 14, 14, 14}, {27, 15, 16, 15}, {28, 16, 18, 18}, {29, 17, 19, 19},
    {30, 18, 22, 22}, {31, 19, 20, 20}, {32, 20, 23, 23}, {33, 21, 21, 21}, {34, 22, 25, 25}, {36, 23, 26, 26},
    {37, 24, 27, 27}, {38, 25, 28, 28}, {40, 26, 10, 10}, {41, 27, 15, 16}, {42, 28, 24, 24},
};

TEST(StageTable, TheTwentyNineRowsAndNothingElse)
{
    for (const Row &row : kRows) {
        const int32_t id = 2000000 + 10000 * row.n;
        EXPECT_EQ(StageIdToIndex(id), row.index) << row.n;
        EXPECT_EQ(StageNumberToSlot(row.n), row.slot) << row.n;
        ASSERT_NE(FindStageRowById(id), nullptr);
        EXPECT_EQ(FindStageRowById(id)->nameText, row.name) << row.n;
    }
    for (int32_t n : {0, 7, 9, 11, 39, 43, -1}) {
        EXPECT_EQ(StageNumberToSlot(n), -1) << n;
        EXPECT_EQ(StageIdToIndex(2000000 + 10000 * n), 2000000 + 10000 * n) << n;
    }
    EXPECT_EQ(StageIdToIndex(2010001), 2010001);
    EXPECT_EQ(FindStageRowById(2010001), nullptr);
}

class UIProgressTest : public ScreensTest {
protected:
    uitest::RecordingLinksScope links;
};

TEST_F(UIProgressTest, StageNamesComeFromMessageEntry22)
{
    StartOnSampleData();
    if (IsSkipped()) {
        return;
    }
    // The sample names its stages "Stage n"; 27 and 41 take texts 15 and 16.
    ASSERT_NE(ui->GetStageName(2020000), nullptr);
    EXPECT_EQ(std::u16string(ui->GetStageName(2020000)), u"Stage 2");
    EXPECT_EQ(std::u16string(ui->GetStageName(2270000)), u"Stage 27");
    EXPECT_EQ(std::u16string(ui->GetStageName(2410000)), u"Stage 41");
    EXPECT_EQ(ui->GetStageName(2070000), nullptr);
    EXPECT_EQ(ui->GetStageName(7), nullptr);
}

TEST_F(UIProgressTest, ClearingAndTheLastStage)
{
    Start(apptest::ScratchFolder("progress"));
    EXPECT_EQ(ui->GetLastStageId(), 2010000u);
    ui->SetLastStageId(7);
    ui->SetLastStageId(2070000);
    ui->SetLastStageId(39);
    EXPECT_EQ(ui->GetLastStageId(), 2010000u);
    ui->SetLastStageId(41);
    EXPECT_EQ(ui->GetLastStageId(), 2410000u);
    ui->SetLastStageId(2020000);
    EXPECT_EQ(ui->GetLastStageId(), 2020000u);
    ui->SetLastStageId(2410000);
    EXPECT_EQ(ui->GetLastStageId(), 2410000u);

    ui->progress.clearedWord = 9;
    EXPECT_EQ(ui->MarkStageCleared(1), 0);
    EXPECT_EQ(ui->progress.cleared[0], 1);
    EXPECT_EQ(ui->progress.clearedWord, 0u);
    EXPECT_EQ(ui->progress.clearedList[0], 0u);  // stage 1 never enters the list
    EXPECT_EQ(ui->MarkStageCleared(10), 6);
    EXPECT_EQ(ui->MarkStageCleared(10), 6);
    EXPECT_EQ(ui->MarkStageCleared(8), 7);
    EXPECT_EQ(ui->progress.clearedList[0], 6u);
    EXPECT_EQ(ui->progress.clearedList[1], 7u);
    EXPECT_EQ(ui->progress.clearedList[2], 0u);
    EXPECT_EQ(ui->MarkStageCleared(7), -1);
    EXPECT_EQ(ui->SetStageFlag(7, 3), -1);
    EXPECT_EQ(ui->SetStageFlag(8, 3), 7);
    EXPECT_EQ(ui->heroBlock.grades[7], 3);
    EXPECT_EQ(ui->heroBlock.grades[6], kNoGrade);
    // A full list stays as it is.
    for (uint32_t &entry : ui->progress.clearedList) {
        entry = 99;
    }
    ui->MarkStageCleared(2);
    EXPECT_EQ(ui->progress.clearedList[27], 99u);
}

TEST_F(UIProgressTest, TheCarriedStateGoesOntoTheItemsAndTheFirstHero)
{
    Start(apptest::ScratchFolder("carried"));
    CSHero hero;
    hero.aiType = 1;  // the second hero
    uitest::Links().hero = &hero;
    uitest::Links().itemOwner = true;
    uitest::Links().ownLimit = 5;
    ui->progress.itemIds[0] = 5300000;
    ui->progress.itemCounts[0] = 2;
    ui->progress.itemIds[1] = 9999999;  // no such item: skipped
    ui->progress.itemCounts[1] = 3;
    ui->progress.itemIds[2] = 5300010;
    ui->progress.itemCounts[2] = std::numeric_limits<int32_t>::max();  // clamped, not looped
    ui->heroBlock.itemIds[33] = 5100210;
    ui->heroBlock.itemCounts[33] = 1;
    ui->heroBlock.itemIds[4] = 5300020;
    ui->heroBlock.itemCounts[4] = -4;
    ui->heroBlock.hpLevel = 4;     // within hero 1's cap of 4
    ui->heroBlock.powerLevel = 6;  // above its cap of 5: kept as it was
    hero.powerLevel = 2;
    ui->heroBlock.money = 2000000;
    ui->ApplyCarriedState();
    EXPECT_EQ(uitest::Links().log, std::vector<std::string>{"clear items"});
    std::vector<std::pair<int32_t, uint32_t>> expected = {{0, 5300000}, {0, 5300000}};
    for (int i = 0; i < 5; ++i) {
        expected.emplace_back(0, 5300010);
    }
    expected.emplace_back(1, 5100210);
    EXPECT_EQ(uitest::Links().added, expected);
    EXPECT_EQ(hero.hpLevel, 4);
    EXPECT_EQ(hero.powerLevel, 2);
    EXPECT_EQ(hero.money, 999999);
    uitest::Links().hero = nullptr;
}

TEST_F(UIProgressTest, HealthBarsShowForFiveSecondsAfterAHit)
{
    Start(apptest::ScratchFolder("bars"));
    // In front of the camera, at the middle of the screen.
    const RwV3d middle = {50.0f, 50.0f, 100.0f};
    ASSERT_TRUE(ui->PlaceHudBar(middle, 0.0f, 60, 120));
    const UIQuad &frame = ui->HudFrameQuad();
    const UIQuad &fill = ui->HudFillQuad();
    EXPECT_FLOAT_EQ(frame.v[0].x, 320.0f - 32.5f);
    EXPECT_FLOAT_EQ(frame.v[0].y, 240.0f - 5.0f);
    EXPECT_FLOAT_EQ(frame.v[3].x, 320.0f - 32.5f + 65.0f);
    EXPECT_FLOAT_EQ(fill.v[3].x, 320.0f - 32.5f + 1.0f + 31.5f);
    EXPECT_EQ(frame.v[0].emissiveColor, 0xFFF0F0F0u);
    EXPECT_EQ(fill.v[0].emissiveColor, 0xFFF00000u);
    // Fading over the last second: 127 at 4.5 s; none from 5 s on.
    ASSERT_TRUE(ui->PlaceHudBar(middle, 4.5f, 60, 120));
    EXPECT_EQ(frame.v[0].emissiveColor, 0x7FF0F0F0u);
    EXPECT_EQ(fill.v[2].emissiveColor, 0x7FF00000u);
    EXPECT_FALSE(ui->PlaceHudBar(middle, 5.0f, 60, 120));
    // At or behind the camera: no bar, and no division by its depth.
    EXPECT_FALSE(ui->PlaceHudBar({0.0f, 0.0f, 0.0f}, 0.0f, 60, 120));
    EXPECT_FALSE(ui->PlaceHudBar({50.0f, 50.0f, -100.0f}, 0.0f, 60, 120));
    // Nor nearer than the camera's near plane, or on it: only beyond it.
    const float nearPlane = RwCameraGetNearClipPlane(gs.camera);
    ASSERT_GT(nearPlane, 0.0f);
    EXPECT_FALSE(ui->PlaceHudBar({0.0f, 0.0f, nearPlane * 0.5f}, 0.0f, 60, 120));
    EXPECT_FALSE(ui->PlaceHudBar({0.0f, 0.0f, nearPlane}, 0.0f, 60, 120));
    EXPECT_TRUE(ui->PlaceHudBar({0.0f, 0.0f, nearPlane * 2.0f}, 0.0f, 60, 120));
    // Off screen beyond the margins: none; within them: kept on screen.
    EXPECT_FALSE(ui->PlaceHudBar({-20.0f, 50.0f, 100.0f}, 0.0f, 60, 120));
    ASSERT_TRUE(ui->PlaceHudBar({99.0f, 99.0f, 100.0f}, 0.0f, 60, 120));
    EXPECT_FLOAT_EQ(frame.v[0].x, 570.0f);
    EXPECT_FLOAT_EQ(frame.v[0].y, 467.0f);
}

TEST_F(UIProgressTest, TheHundredAndFirstActorOfAFrameIsLeftOut)
{
    Start(apptest::ScratchFolder("bar_list"));
    std::vector<AiObject> actors(101);
    CSModelInstance *someModel = reinterpret_cast<CSModelInstance *>(&actors[0]);
    for (AiObject &actor : actors) {
        actor.model = someModel;
    }
    AiObject modelless;
    ui->AddHudActor(nullptr);
    ui->AddHudActor(&modelless);
    EXPECT_EQ(ui->HudActorCount(), 0);
    for (AiObject &actor : actors) {
        ui->AddHudActor(&actor);
    }
    EXPECT_EQ(ui->HudActorCount(), 100);
    for (AiObject &actor : actors) {
        actor.model = nullptr;
        actor.timeSinceHurt = 9.0f;  // none is drawn
    }
    // Hurt just now but with no head to stand over: no bar either.
    actors[0].timeSinceHurt = 0.0f;
    EXPECT_FALSE(ui->DrawHudBar(&actors[0]));
    ui->DrawHudBars();
    EXPECT_EQ(ui->HudActorCount(), 0);
}

// The key prompts at the foot of the menus, y 414 to 439: each pair's key
// picture, its word picture (language 0's or the others') and its text 5
// to the right of the word; the single keys' sources.
class KeyPromptsTest : public ScreensTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(KeyPromptsTest, StandWhereTheirTableSaysInTheLanguage)
{
    StartOnSampleData(640, 480, GetParam());
    if (IsSkipped()) {
        return;
    }
    ui->LoadCommonTextures();
    const int lang = GetParam() == 0 ? 0 : 1;
    struct Pair {
        float keyX0, keyX1, keyS0, keyT0, keyS1, keyT1;
        float wordX0, wordX1[2], wordSource[2][4];
    };
    const Pair pairs[3] = {
        {411, 436, 91, 97, 116, 122, 391, {428, 428}, {{216, 214, 290, 264}, {2, 220, 62, 260}}},
        {500, 525, 119, 97, 144, 122, 500, {537, 560}, {{216, 272, 290, 322}, {60, 220, 166, 260}}},
        {278, 303, 147, 98, 172, 123, 238, {302, 288}, {{168, 458, 296, 508}, {164, 220, 254, 260}}},
    };
    auto expectPicture = [](const char *what, const UIPicture *p, float x0, float x1, const float (&source)[4]) {
        ASSERT_NE(p, nullptr) << what;
        EXPECT_FLOAT_EQ(p->left, x0) << what;
        EXPECT_FLOAT_EQ(p->right, x1) << what;
        EXPECT_FLOAT_EQ(p->top, 414.0f) << what;
        EXPECT_FLOAT_EQ(p->bottom, 439.0f) << what;
        EXPECT_FLOAT_EQ(p->s0 * 512.0f, source[0]) << what;
        EXPECT_FLOAT_EQ(p->t0 * 512.0f, source[1]) << what;
        EXPECT_FLOAT_EQ(p->s1 * 512.0f, source[2]) << what;
        EXPECT_FLOAT_EQ(p->t1 * 512.0f, source[3]) << what;
        EXPECT_EQ(p->vertices[0].emissiveColor, 0xF0F0F0F0u) << what;
    };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const Pair &p = pairs[i];
        const float keySource[4] = {p.keyS0, p.keyT0, p.keyS1, p.keyT1};
        expectPicture("key", ui->GetKeyPrompt(1u << i), p.keyX0, p.keyX1, keySource);
        EXPECT_EQ(ui->GetKeyPrompt(1u << i)->texture, ui->PlayerArt());
        expectPicture("word", ui->PromptWord(i), p.wordX0, p.wordX1[lang], p.wordSource[lang]);
        EXPECT_EQ(ui->PromptWord(i)->texture, ui->WordArt());
        ASSERT_NE(ui->PromptText(i), nullptr);
        ASSERT_FALSE(ui->PromptText(i)->Rows().empty());
        EXPECT_EQ(ui->PromptText(i)->Rows()[0].x, static_cast<int32_t>(p.wordX1[lang]) + 5);
        EXPECT_EQ(ui->PromptText(i)->Rows()[0].y, 419);
    }
    const float singles[6][4] = {{175, 97, 200, 122}, {203, 97, 228, 122}, {232, 97, 257, 122},
                                 {260, 97, 285, 122}, {52, 101, 67, 116},  {45, 88, 73, 103.5f}};
    for (int i = 0; i < 6; ++i) {
        const UIPicture *single = ui->GetKeyPrompt(8u << i);
        ASSERT_NE(single, nullptr) << i;
        EXPECT_FLOAT_EQ(single->s0 * 512.0f, singles[i][0]) << i;
        EXPECT_FLOAT_EQ(single->t0 * 512.0f, singles[i][1]) << i;
        EXPECT_FLOAT_EQ(single->s1 * 512.0f, singles[i][2]) << i;
        EXPECT_FLOAT_EQ(single->t1 * 512.0f, singles[i][3]) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, KeyPromptsTest, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int32_t> &info) {
                             return "Language" + std::to_string(info.param);
                         });

TEST_F(UIProgressTest, IconAndDigitLookupsOutsideTheirTablesGiveNothing)
{
    StartOnSampleData();
    if (IsSkipped()) {
        return;
    }
    ui->LoadCommonTextures();
    ASSERT_NE(ui->EquipArtTexture(), nullptr);
    const UIIconCell *cell = ui->GetWeaponIcon(5100030);
    ASSERT_NE(cell, nullptr);
    // Cell 3: column 3, row 0.
    EXPECT_FLOAT_EQ(cell->s0, 96.0f / 512.0f);
    EXPECT_FLOAT_EQ(cell->t1, 31.0f / 128.0f);
    EXPECT_EQ(cell->texture, ui->EquipArtTexture());
    const UIIconCell *last = ui->GetWeaponIcon(5100150);
    ASSERT_NE(last, nullptr);
    EXPECT_FLOAT_EQ(last->t0, (96.0f + 1.0f) / 128.0f);
    EXPECT_EQ(ui->GetWeaponIcon(5100160), nullptr);
    EXPECT_EQ(ui->GetWeaponIcon(5200030), nullptr);
    ASSERT_NE(ui->GetEquipArt(5100160), nullptr);
    EXPECT_FLOAT_EQ(ui->GetEquipArt(5100160)->s0, 130.0f / 512.0f);
    EXPECT_EQ(ui->GetEquipArt(5100150), nullptr);
    EXPECT_EQ(ui->GetEquipArt(5100260), nullptr);
    EXPECT_EQ(ui->GetEquipArt(5300160), nullptr);
    ASSERT_NE(ui->GetSmallDigit(0xFFFFFFFFu), nullptr);
    EXPECT_FLOAT_EQ(ui->GetSmallDigit(0xFFFFFFFFu)->s0, 287.0f / 512.0f);
    EXPECT_EQ(ui->GetSmallDigit(11), nullptr);
    EXPECT_EQ(ui->GetLargeDigit(10), nullptr);
    EXPECT_EQ(ui->GetMediumDigit(0xFFFFFFFFu), nullptr);
    ASSERT_NE(ui->GetMediumDigit(9), nullptr);
    EXPECT_FLOAT_EQ(ui->GetMediumDigit(9)->t0, 73.0f / 512.0f);
    // The prompts' key pictures by their bits, nothing for other values.
    EXPECT_NE(ui->GetKeyPrompt(1), nullptr);
    EXPECT_NE(ui->GetKeyPrompt(256), nullptr);
    EXPECT_EQ(ui->GetKeyPrompt(3), nullptr);
    EXPECT_EQ(ui->GetKeyPrompt(512), nullptr);
    // Loading again makes nothing twice.
    const UIIconCell *before = ui->GetWeaponIcon(5100030);
    ui->LoadCommonTextures();
    EXPECT_EQ(ui->GetWeaponIcon(5100030), before);
}

// The weapon icons run four to a row of the equipment art; the lower two
// rows sit one pixel lower. An icon past the first row shows its own cell.
TEST(IconTables, WeaponIconsRunFourToARow)
{
    const std::vector<UIIconCell> icons = MakeWeaponIcons(nullptr);
    ASSERT_EQ(icons.size(), 16u);
    struct Place {
        int cell;
        float s0, t0;
    };
    const Place places[] = {{4, 0, 32}, {7, 96, 32}, {8, 0, 65}, {9, 32, 65}, {11, 96, 65}, {12, 0, 97}, {14, 64, 97}};
    for (const Place &p : places) {
        const UIIconCell &icon = icons[static_cast<size_t>(p.cell)];
        EXPECT_FLOAT_EQ(icon.s0 * 512.0f, p.s0) << p.cell;
        EXPECT_FLOAT_EQ(icon.s1 * 512.0f, p.s0 + 31.0f) << p.cell;
        EXPECT_FLOAT_EQ(icon.t0 * 128.0f, p.t0) << p.cell;
        EXPECT_FLOAT_EQ(icon.t1 * 128.0f, p.t0 + 31.0f) << p.cell;
    }
}

// One cell's rectangle in pixels of a 512-wide art, t over HEIGHT pixels.
void ExpectCell(const UIIconCell &cell, float s0, float t0, float s1, float t1, float height)
{
    EXPECT_FLOAT_EQ(cell.s0 * 512.0f, s0);
    EXPECT_FLOAT_EQ(cell.t0 * height, t0);
    EXPECT_FLOAT_EQ(cell.s1 * 512.0f, s1);
    EXPECT_FLOAT_EQ(cell.t1 * height, t1);
}

// Equipment pictures are tall strips; each digit size is cut from its own
// band of the player art, every cell at its own columns (the large zero
// starts a texel left of the small one's): a digit drawn from a
// neighbour's texel column shows a sliver of the next digit.
TEST(IconTables, EquipmentStripsAndDigitsComeFromTheirOwnBands)
{
    struct Band {
        const char *name;
        std::vector<UIIconCell> cells;
        float t0, t1, height;
        float width;
        std::vector<float> lefts;
    };
    const Band bands[] = {
        {"strips", MakeEquipArt(nullptr), 1, 127, 128, 30, {130, 161, 192, 223, 254, 290, 321, 352, 383, 414}},
        {"small", MakeSmallDigits(nullptr), 148, 162, 512, 12, {88, 100, 114, 127, 141, 153, 166, 179, 191, 205, 287}},
        {"large", MakeLargeDigits(nullptr), 125, 148, 512, 23, {87, 108, 130, 154, 174, 198, 219, 241, 263, 286}},
        {"medium", MakeMediumDigits(nullptr), 73, 90, 512, 15, {137, 151, 166, 181, 196, 211, 226, 241, 257, 271}},
    };
    for (const Band &band : bands) {
        ASSERT_EQ(band.cells.size(), band.lefts.size()) << band.name;
        for (size_t i = 0; i < band.lefts.size(); ++i) {
            SCOPED_TRACE(testing::Message() << band.name << " " << i);
            const float left = band.lefts[i];
            ExpectCell(band.cells[i], left, band.t0, left + band.width, band.t1, band.height);
        }
    }
}

// The word table from lines as zufgetws gives them.
bool ReadWords(WordTable *table, const std::u16string &text)
{
    zuFile *file = zufopenMemory(apptest::Utf16(text, true).data(), text.size() * 2 + 2, "rb");
    const bool ok = table->Read([file](std::u16string *piece) {
        char16_t buffer[WordTable::kLineUnits];
        if (zufgetws(buffer, WordTable::kLineUnits, file) == nullptr) {
            return false;
        }
        *piece = buffer;
        return true;
    });
    zufclose(file);
    return ok;
}

TEST(WordTableTest, LinesEndInCrLfOrLfAndAnEmptyLineIsAnEmptyWord)
{
    WordTable table;
    ASSERT_TRUE(ReadWords(&table, u"Count: 5\r\nGot \r\nNotice\r\n\r\nYes\nNo"));
    ASSERT_EQ(table.Count(), 5);
    EXPECT_EQ(std::u16string(table.Word(0)), u"Got ");
    EXPECT_EQ(std::u16string(table.Word(1)), u"Notice");
    EXPECT_EQ(std::u16string(table.Word(2)), u"");
    EXPECT_EQ(std::u16string(table.Word(3)), u"Yes");
    EXPECT_EQ(std::u16string(table.Word(4)), u"No");
    EXPECT_EQ(std::u16string(table.Word(5)), u"");
    EXPECT_EQ(std::u16string(table.Word(-1)), u"");
}

TEST(WordTableTest, AShortFileGivesTheLinesItHasAndAHugeCountNone)
{
    WordTable table;
    ASSERT_TRUE(ReadWords(&table, u"Count: 40\r\nYes\r\nNo\r\n"));
    EXPECT_EQ(table.Count(), 2);
    EXPECT_EQ(std::u16string(table.Word(3)), u"");
    ASSERT_TRUE(ReadWords(&table, u"Count: 1001\r\nYes\r\n"));
    EXPECT_EQ(table.Count(), 0);
    ASSERT_TRUE(ReadWords(&table, u"Count: 2147483647\r\nYes\r\n"));
    EXPECT_EQ(table.Count(), 0);
    ASSERT_TRUE(ReadWords(&table, u"Count: -3\r\nYes\r\n"));
    EXPECT_EQ(table.Count(), 0);
    ASSERT_TRUE(ReadWords(&table, u"Words\r\nYes\r\n"));
    EXPECT_EQ(table.Count(), 0);
    EXPECT_FALSE(ReadWords(&table, u""));
    // A line longer than a read is one word; the rest of it goes.
    const std::u16string longLine(300, u'x');
    ASSERT_TRUE(ReadWords(&table, u"Count: 2\r\n" + longLine + u"\r\nNext\r\n"));
    ASSERT_EQ(table.Count(), 2);
    EXPECT_EQ(std::u16string(table.Word(0)).size(), static_cast<size_t>(WordTable::kLineUnits - 1));
    EXPECT_EQ(std::u16string(table.Word(1)), u"Next");
}

TEST(WordTableTest, AMissingFileOrLanguageLeavesItEmpty)
{
    const std::string root = apptest::ScratchFolder("words");
    SetDataRootPath(root.c_str());
    WordTable table;
    EXPECT_FALSE(table.Load(1));
    EXPECT_EQ(table.Count(), 0);
    EXPECT_FALSE(table.Load(15));
    apptest::WriteBytes(root + "/RESOURCE/UITEXT/PLAYERUI/CHI/WORD.TXT", apptest::Utf16(u"Count:1\r\nShi\r\n", true));
    EXPECT_FALSE(table.Load(1));
    EXPECT_TRUE(table.Load(0));
    EXPECT_EQ(std::u16string(table.Word(0)), u"Shi");
    SetDataRootPath("");
}

}  // namespace

}  // namespace ui_progress_test
