// The text list on the sample font: the window and cursor row a selection
// gives, scrolling by one at the window's top, the rows and the bar behind
// the cursor row as drawn, the end bump's 0.1 s, an
// empty list's arrows, the rows 10 px further left for languages other than
// 0 (pointer and arrows staying), the arrows keeping their first place, and
// a pool of text blocks that runs dry (rows without a block are skipped),
// and a window of a single row that follows the selection.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/game_system.h"
#include "app/text_block.h"
#include "tests/ui/pause_support.h"
#include "ui/text_list.h"

namespace text_list_test {

namespace {

class TextListTest : public pausetest::PauseTest {
protected:
    void TearDown() override
    {
        list.Release();
        PauseTest::TearDown();
    }
    void Fill(int count)
    {
        texts.clear();
        for (int i = 0; i < count; ++i) {
            texts.push_back(u"Entry " + std::u16string(1, static_cast<char16_t>(u'A' + i)));
        }
    }
    std::vector<const char16_t *> Entries() const
    {
        std::vector<const char16_t *> entries;
        for (const std::u16string &text : texts) {
            entries.push_back(text.c_str());
        }
        return entries;
    }
    // The row pitch of the sample font.
    int32_t Pitch()
    {
        CSTextList probe;
        probe.Init();
        probe.SetItems({u"Probe"}, 0, 0, 400, 0, 400);
        return probe.RowPitch();
    }
    // The text of visible row i.
    std::u16string RowText(int32_t i) const
    {
        const CSTextBlock *row = list.GetWindow(nullptr, nullptr)[i];
        return row != nullptr && !row->Rows().empty() ? row->Rows().front().text : u"";
    }

    std::vector<std::u16string> texts;
    CSTextList list;
};

TEST_F(TextListTest, TheSelectionPicksTheWindowAndUpAtItsTopScrollsByOne)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    const int32_t pitch = Pitch();
    ASSERT_GT(pitch, 0);
    Fill(10);
    list.Init();
    EXPECT_EQ(list.PadIndex(), 0);
    // Four rows fit (the rest of a row does not make a fifth).
    list.SetItems(Entries(), 7, 100, 100 + 4 * pitch + pitch - 1, 318, 561);
    ASSERT_EQ(list.VisibleRows(), 4);
    EXPECT_EQ(list.WindowFirst(), 4);
    EXPECT_EQ(list.WindowLast(), 7);
    EXPECT_EQ(list.CursorRow(), 3);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(RowText(i), texts[static_cast<size_t>(4 + i)]) << i;
        const CSTextBlock::Row &row = list.GetWindow(nullptr, nullptr)[i]->Rows().front();
        EXPECT_EQ(row.x, 318);  // 10 in from the left, which language 1 moves 10 left
        EXPECT_EQ(row.y, 100 + pitch * i);
    }
    EXPECT_EQ(list.GetWindow(nullptr, nullptr)[0]->Color(), CSTextList::kRowColour);
    EXPECT_FLOAT_EQ(list.Bar()->top, static_cast<float>(100 + 3 * pitch));
    EXPECT_FLOAT_EQ(list.Pointer()->top, static_cast<float>(100 + 3 * pitch - 12));
    EXPECT_FLOAT_EQ(list.Pointer()->bottom, static_cast<float>(100 + 4 * pitch + 11));
    Sounds();
    // Up within the window moves the cursor row only.
    for (int32_t index = 6; index >= 4; --index) {
        list.MoveCursor(0.016f, index, -1);
    }
    EXPECT_EQ(list.CursorRow(), 0);
    EXPECT_EQ(list.WindowFirst(), 4);
    // Up from the top row of a window at 4: the window becomes 3..6.
    list.MoveCursor(0.016f, 3, -1);
    EXPECT_EQ(list.CursorRow(), 0);
    EXPECT_EQ(list.WindowFirst(), 3);
    EXPECT_EQ(list.WindowLast(), 6);
    EXPECT_EQ(RowText(0), texts[3]);
    EXPECT_EQ(RowText(3), texts[6]);
    EXPECT_EQ(list.Selected(), 3);
    EXPECT_FLOAT_EQ(list.Bar()->top, 100.0f);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>(4, 6600010)));
    // Down past the bottom row: the window ends at the new index.
    for (int32_t index = 4; index <= 7; ++index) {
        list.MoveCursor(0.016f, index, 1);
    }
    EXPECT_EQ(list.WindowFirst(), 4);
    EXPECT_EQ(list.WindowLast(), 7);
    EXPECT_EQ(list.CursorRow(), 3);
    // Drawn: each row's text from x 318, the bar (318..561) behind the
    // cursor row alone.
    const win::Frame frame = DrawFrame([&] { list.Draw(); });
    for (int i = 0; i < 4; ++i) {
        bool lit = false;
        for (int x = 318; x < 400 && !lit; ++x) {
            for (int y = 100 + pitch * i; y < 100 + pitch * (i + 1) && !lit; ++y) {
                lit = pausetest::PixelOf(frame, x, y) != 0;
            }
        }
        EXPECT_TRUE(lit) << i;
        EXPECT_EQ(pausetest::PixelOf(frame, 500, 100 + pitch * i + pitch / 2) != 0, i == 3) << i;
    }
}

TEST_F(TextListTest, AWindowOfOneRowShowsTheSelectedEntry)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    const int32_t pitch = Pitch();
    ASSERT_GT(pitch, 0);
    Fill(3);
    list.Init();
    list.SetItems(Entries(), 0, 100, 100 + pitch, 318, 561);
    ASSERT_EQ(list.VisibleRows(), 1);
    EXPECT_EQ(RowText(0), texts[0]);
    // Each move brings the selected entry into the one row.
    list.MoveCursor(0.016f, 1, 1);
    EXPECT_EQ(list.WindowFirst(), 1);
    EXPECT_EQ(list.WindowLast(), 1);
    EXPECT_EQ(RowText(0), texts[1]);
    list.MoveCursor(0.016f, 2, 1);
    EXPECT_EQ(RowText(0), texts[2]);
    list.MoveCursor(0.016f, 1, -1);
    EXPECT_EQ(RowText(0), texts[1]);
    list.MoveCursor(0.016f, 0, -1);
    EXPECT_EQ(list.WindowFirst(), 0);
    EXPECT_EQ(list.WindowLast(), 0);
    EXPECT_EQ(RowText(0), texts[0]);
    EXPECT_EQ(list.CursorRow(), 0);
    EXPECT_FLOAT_EQ(list.Bar()->top, 100.0f);
}

TEST_F(TextListTest, PushingAgainstAnEndSoundsOnlyOnceATenthOfASecondHasGathered)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    Fill(3);
    list.Init();
    list.SetItems(Entries(), 0, 100, 300, 318, 561);
    Sounds();
    for (int i = 0; i < 3; ++i) {
        list.MoveCursor(0.03f, 0, -1);
    }
    EXPECT_TRUE(Sounds().empty());
    EXPECT_NEAR(list.EndBumpTimer(), 0.09f, 1e-6f);
    list.MoveCursor(0.03f, 0, -1);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600000}));
    EXPECT_EQ(list.EndBumpTimer(), 0.0f);
    // A real move sounds and starts the gathering again.
    list.MoveCursor(0.05f, 0, -1);
    list.MoveCursor(0.016f, 1, 1);
    EXPECT_EQ(list.EndBumpTimer(), 0.0f);
    list.MoveCursor(0.016f, 2, 1);
    list.MoveCursor(0.06f, 2, 1);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600010, 6600010}));
    list.MoveCursor(0.06f, 2, 1);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600000}));
}

// A list set up again starts clean: nothing of the last one's selection,
// window, place, pictures or gathered bump is left, and a first push
// against the end sounds only after a whole tenth of a second.
TEST_F(TextListTest, InitLeavesNothingOfTheListBefore)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    Fill(8);
    list.Init();
    list.SetItems(Entries(), 6, 100, 100 + 3 * Pitch(), 318, 561);
    list.MoveCursor(0.016f, 7, 1);
    list.MoveCursor(0.05f, 7, 1);
    ASSERT_GT(list.EndBumpTimer(), 0.0f);
    ASSERT_GT(list.WindowFirst(), 0);
    list.Init();
    const int32_t cleared[] = {list.EntryCount(), list.VisibleRows(), list.RowPitch(), list.CursorRow(),
                               list.Selected(),   list.WindowFirst(), list.WindowLast(), list.Top(),
                               list.Bottom(),     list.Left(),        list.Right()};
    for (size_t i = 0; i < std::size(cleared); ++i) {
        EXPECT_EQ(cleared[i], 0) << i;
    }
    EXPECT_EQ(list.EndBumpTimer(), 0.0f);
    EXPECT_EQ(list.Bar(), nullptr);
    EXPECT_EQ(list.Pointer(), nullptr);
    EXPECT_EQ(list.Arrow(0), nullptr);
    Fill(3);
    list.SetItems(Entries(), 2, 100, 300, 318, 561);
    Sounds();
    list.MoveCursor(0.05f, 2, 1);
    EXPECT_TRUE(Sounds().empty());
    list.MoveCursor(0.05f, 2, 1);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600000}));
}

TEST_F(TextListTest, AnEmptyListHasNoRowsAndShowsOnlyItsDownArrow)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    list.Init();
    list.SetItems({}, 0, 106, 348, 318, 561);
    EXPECT_EQ(list.RowPitch(), 0);
    EXPECT_EQ(list.VisibleRows(), 0);
    EXPECT_EQ(list.WindowFirst(), 0);
    EXPECT_EQ(list.WindowLast(), 0);
    EXPECT_FALSE(list.UpArrowShown());
    EXPECT_TRUE(list.DownArrowShown());
    // Drawn: the down arrow's place (571..591, 318..348) is covered, the up
    // arrow's (146..176) is not.
    const win::Frame frame = DrawFrame([&] { list.Draw(); });
    EXPECT_NE(pausetest::PixelOf(frame, 581, 333), 0u);
    EXPECT_EQ(pausetest::PixelOf(frame, 581, 161), 0u);
}

TEST_F(TextListTest, LanguageZeroKeepsTheRectangle)
{
    Begin(std::string(), 0);
    ASSERT_FALSE(HasFatalFailure());
    Fill(5);
    list.Init();
    list.SetItems(Entries(), 1, 106, 348, 318, 561);
    EXPECT_EQ(list.Left(), 318);
    EXPECT_EQ(list.Right(), 561);
    EXPECT_EQ(list.GetWindow(nullptr, nullptr)[0]->Rows().front().x, 328);
    EXPECT_FLOAT_EQ(list.Bar()->left, 318.0f);
    EXPECT_FLOAT_EQ(list.Pointer()->left, 516.0f);
}

TEST_F(TextListTest, OtherLanguagesMoveTheRowsAndBarButNotThePointerOrArrows)
{
    Begin(std::string(), 2);
    ASSERT_FALSE(HasFatalFailure());
    Fill(5);
    list.Init();
    list.SetItems(Entries(), 1, 106, 348, 318, 561);
    EXPECT_EQ(list.Left(), 308);
    EXPECT_EQ(list.Right(), 551);
    EXPECT_EQ(list.GetWindow(nullptr, nullptr)[0]->Rows().front().x, 318);
    EXPECT_FLOAT_EQ(list.Bar()->left, 308.0f);
    EXPECT_FLOAT_EQ(list.Bar()->right, 551.0f);
    EXPECT_FLOAT_EQ(list.Pointer()->left, 516.0f);
    EXPECT_FLOAT_EQ(list.Pointer()->right, 571.0f);
    EXPECT_FLOAT_EQ(list.Arrow(0)->left, 571.0f);
    // The arrows keep the place of the first filling.
    list.SetItems(Entries(), 0, 143, 348, 318, 561);
    EXPECT_FLOAT_EQ(list.Arrow(0)->top, 146.0f);
    EXPECT_FLOAT_EQ(list.Arrow(1)->top, 318.0f);
    EXPECT_EQ(list.GetWindow(nullptr, nullptr)[0]->Rows().front().y, 143);
}

TEST_F(TextListTest, RowsThePoolCannotServeAreNeitherLaidOutNorDrawn)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    Fill(10);
    // Take every block but three from the pool.
    std::vector<CSTextBlock *> taken;
    while (CSTextBlock *block = gs.textBlocks.Acquire()) {
        taken.push_back(block);
    }
    ASSERT_GE(taken.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        taken.back()->Reset(0);
        taken.pop_back();
    }
    list.Init();
    // One block measures the pitch and goes back: three rows get one.
    list.SetItems(Entries(), 0, 100, 400, 318, 561);
    const int32_t visible = list.VisibleRows();
    ASSERT_GT(visible, 3);
    CSTextBlock *const *rows = list.GetWindow(nullptr, nullptr);
    for (int32_t i = 0; i < visible; ++i) {
        EXPECT_EQ(rows[i] != nullptr, i < 3) << i;
    }
    // Moving and drawing pass the missing rows by.
    for (int32_t index = 1; index < 10; ++index) {
        list.MoveCursor(0.016f, index, 1);
    }
    EXPECT_EQ(list.WindowLast(), 9);
    DrawFrame([&] { list.Draw(); });
    // Released, the list gives its blocks back.
    list.Release();
    int32_t free = 0;
    std::vector<CSTextBlock *> again;
    while (CSTextBlock *block = gs.textBlocks.Acquire()) {
        again.push_back(block);
        ++free;
    }
    EXPECT_EQ(free, 3);
    for (CSTextBlock *block : again) {
        block->Reset(0);
    }
    for (CSTextBlock *block : taken) {
        block->Reset(0);
    }
}

}  // namespace

}  // namespace text_list_test
