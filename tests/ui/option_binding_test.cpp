// The key binding page of the options screen, with keys, pad buttons and
// pad axes pressed frame by frame through the real input object: the
// navigation table cell by cell, a held direction moving about every
// eighth update across the sub-pages, a key another function uses (the
// conflict message, still listening), the cell's own key, the keys
// ignored while listening and Escape, sub-page 2 taking a key and changing
// nothing, pad-button swaps that never lose or double a button (over all
// fourteen functions and sixteen buttons), one binding for buttons and keys
// pressed together, and axes taken only past 150.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/input.h"
#include "app/text_block.h"
#include "tests/ui/option_test_support.h"
#include "ui/option_screen.h"

namespace option_binding_test {

namespace {

using optiontest::OptionScreenTest;
using optiontest::KeyTap;

std::string TextOf(const CSTextBlock *block)
{
    std::string text;
    if (block != nullptr) {
        for (const CSTextBlock::Row &row : block->Rows()) {
            text += std::string(row.text.begin(), row.text.end());
        }
    }
    return text;
}

// The button functions of a pad slot: every raw button once.
bool EveryButtonOnce(const input::ButtonConfig &config)
{
    std::vector<int32_t> codes;
    for (int f = 0; f < input::kButtonFunctionCount; ++f) {
        if (f != input::kFnActive && input::StickFunctionOf(f) < 0) {
            codes.push_back(config.codes[f]);
        }
    }
    std::sort(codes.begin(), codes.end());
    std::vector<int32_t> all(input::kRawButtonCount);
    for (int32_t b = 0; b < input::kRawButtonCount; ++b) {
        all[static_cast<size_t>(b)] = b;
    }
    return codes == all;
}

class OptionBinding : public OptionScreenTest {
protected:
    // The settings page's key binding row confirmed at tick 6 of `script`
    // (down at 2 and 4): the page is open after tick 6 and takes input
    // after the five updates of its start delay.
    CSOption *OpenBindingPage(const std::string &script)
    {
        CSOption *option = Open(KeyTap(2, "Down") + KeyTap(4, "Down") + KeyTap(6, "Enter") + script);
        Step(6);
        EXPECT_EQ(option->page, CSOption::kBindingPage);
        EXPECT_EQ(option->selectedCell, 0);
        return option;
    }
    // The page listening for a binding of `cell`, its start delay over.
    static void ListenOn(CSOption *option, int32_t cell)
    {
        option->startDelay = 0;
        option->SetBindingCursor(cell);
        option->StartListening();
    }
};

TEST_F(OptionBinding, TheNavigationTableCellByCell)
{
    // left, right, up, down of each cell.
    static const int32_t kTable[CSOption::kBindingCells][4] = {
        {0, 12, 0, 1},   {1, 13, 0, 2},   {2, 14, 1, 3},   {3, 15, 2, 4},    {4, 8, 3, 5},    {5, 9, 4, 6},
        {6, 10, 5, 7},   {7, 11, 6, 12},  {4, 20, 15, 9},  {5, 21, 8, 10},   {6, 21, 9, 11},  {7, 21, 10, 16},
        {0, 16, 7, 13},  {1, 17, 12, 14}, {2, 18, 13, 15}, {3, 19, 14, 8},   {12, 16, 11, 17}, {13, 17, 16, 18},
        {14, 18, 17, 19}, {15, 19, 18, 20}, {8, 20, 19, 21}, {9, 21, 20, 21},
    };
    for (int32_t cell = 0; cell < CSOption::kBindingCells; ++cell) {
        for (int32_t direction = 0; direction < 4; ++direction) {
            EXPECT_EQ(CSOption::NeighbourCell(cell, direction), kTable[cell][direction])
                << "cell " << cell << " direction " << direction;
        }
    }
}

TEST_F(OptionBinding, AHeldDirectionMovesAboutEveryEighthUpdateAcrossTheSubPages)
{
    CSOption *option = OpenBindingPage("20 key Down 1\n200 key Down 0\n");
    std::vector<uint32_t> ticks;
    std::vector<int32_t> cells;
    int32_t before = option->selectedCell;
    while (tick < 200) {
        Step();
        if (option->selectedCell != before) {
            ticks.push_back(tick);
            cells.push_back(option->selectedCell);
            before = option->selectedCell;
        }
    }
    // A press's first frame does not count: the first move is in the
    // second, then one every 7 or 8 updates of the 0.7 timer.
    ASSERT_GE(ticks.size(), 20u);
    EXPECT_EQ(ticks[0], 21u);
    for (size_t i = 1; i < ticks.size(); ++i) {
        EXPECT_GE(ticks[i] - ticks[i - 1], 7u);
        EXPECT_LE(ticks[i] - ticks[i - 1], 8u);
    }
    // Down the first sub-page, on into the second and the third, where the
    // last row stays.
    const std::vector<int32_t> order = {1, 2, 3, 4, 5, 6, 7, 12, 13, 14, 15, 8, 9, 10, 11, 16, 17, 18, 19, 20, 21};
    EXPECT_EQ(cells, order);
    EXPECT_EQ(option->subPage, 2);
    EXPECT_EQ(option->subPageOffset, 100.0f);
    EXPECT_EQ(option->pageMarker->v[0].x, 150.0f);
    // The sub-page's texts: six rows, the keyboard's dim (its keys stay).
    EXPECT_EQ(TextOf(option->keyTexts[4]), "Enter");
    EXPECT_EQ(TextOf(option->padTexts[4]), "Button 10");
    EXPECT_EQ(option->keyTexts[0]->Color(), 0xFF555555u);
    std::vector<int64_t> sounds = Sounds();
    EXPECT_EQ(std::count(sounds.begin(), sounds.end(), 6600010), 2 + 21);
}

// The mark beside the row being bound stands at that row, not where the
// page first laid it.
TEST_F(OptionBinding, TheListeningMarkStandsBesideTheRowBeingBound)
{
    // Down held until the cursor has moved twice (a held direction moves
    // about every eighth update), then Enter.
    CSOption *option = OpenBindingPage("12 key Down 1\n" + std::string("31 key Down 0\n") + KeyTap(34, "Enter"));
    Step(35 - tick);
    ASSERT_EQ(option->listening, 1);
    ASSERT_EQ(option->selectedCell, 2);
    EXPECT_EQ(option->listenMark->v[0].y, 189.0f + 2 * 24.5f);
    EXPECT_EQ(option->listenMark->v[3].y, 189.0f + 2 * 24.5f + 10.0f);
}

TEST_F(OptionBinding, AKeyOfAnotherFunctionShowsTheConflictAndTheCellsOwnKeyIsTakenSilently)
{
    CSOption *option = OpenBindingPage(KeyTap(20, "Enter") + KeyTap(24, "X") + KeyTap(28, "Z") + KeyTap(40, "Enter") +
                                       KeyTap(44, "B"));
    Step(21 - tick);
    EXPECT_EQ(option->listening, 1);
    EXPECT_EQ(option->listenMark->v[0].y, 189.0f);
    (void)Sounds();
    Step(4);
    // X drives cross: the message, and the page goes on listening.
    EXPECT_EQ(option->conflict, 1);
    EXPECT_EQ(option->listening, 1);
    EXPECT_EQ(TextOf(option->conflictTexts[0]), "The key ");
    EXPECT_EQ(TextOf(option->conflictTexts[1]), "X");
    EXPECT_EQ(TextOf(option->conflictTexts[2]), "is used for other function. Please select another one.");
    // Over the prompt bar: the key's name after "The key ", the rest below.
    const int32_t places[3][2] = {{20, 410}, {100, 410}, {20, 428}};
    for (int i = 0; i < 3; ++i) {
        ASSERT_FALSE(option->conflictTexts[i]->Rows().empty()) << i;
        EXPECT_EQ(option->conflictTexts[i]->Rows()[0].x, places[i][0]) << i;
        EXPECT_EQ(option->conflictTexts[i]->Rows()[0].y, places[i][1]) << i;
    }
    EXPECT_EQ(GetButtonBinding(4, "square"), 44);
    EXPECT_EQ(GetButtonBinding(4, "cross"), 45);
    Step(28 - tick);
    // Z is square's own: accepted, nothing changes, the message goes.
    EXPECT_EQ(option->conflict, 0);
    EXPECT_EQ(option->listening, 0);
    EXPECT_EQ(option->startDelay, CSOption::kStartDelay);
    EXPECT_EQ(GetButtonBinding(4, "square"), 44);
    EXPECT_TRUE(Sounds().empty());
    // B is free: square takes it and its text shows it.
    Step(46 - tick);
    EXPECT_EQ(option->listening, 0);
    EXPECT_EQ(GetButtonBinding(4, "square"), 48);
    EXPECT_EQ(TextOf(option->keyTexts[0]), "B");
}

// The conflict message goes once a pad button or a stick takes the cell
// instead of the key that was refused.
TEST_F(OptionBinding, APadButtonOrAStickAfterARefusedKeyTakesTheCellAndTheMessageGoes)
{
    CSOption *option = OpenBindingPage(KeyTap(20, "Enter") + KeyTap(24, "X") + "30 pad0 button 3 1\n31 pad0 button 3 0\n" +
                                       KeyTap(40, "X") + "44 pad0 axis 2 400\n45 pad0 axis 2 0\n");
    Step(26 - tick);
    ASSERT_EQ(option->conflict, 1);
    ASSERT_EQ(option->listening, 1);
    Step(31 - tick);
    EXPECT_EQ(option->listening, 0);
    EXPECT_EQ(option->conflict, 0);
    EXPECT_EQ(GetButtonBinding(0, "square"), 3);

    // A stick's row, its key refused the same way, then the stick pushed.
    ListenOn(option, 8);  // "lay"
    Step(42 - tick);
    ASSERT_EQ(option->conflict, 1);
    ASSERT_EQ(option->listening, 1);
    Step(45 - tick);
    EXPECT_EQ(option->listening, 0);
    EXPECT_EQ(option->conflict, 0);
    EXPECT_EQ(GetButtonBinding(0, "lay"), 2);
}

TEST_F(OptionBinding, ArrowsEnterAndFunctionKeysAreIgnoredWhileListeningAndEscapeCancels)
{
    CSOption *option = OpenBindingPage(KeyTap(20, "Enter") + KeyTap(24, "Up") + KeyTap(26, "Right") + KeyTap(28, "Enter") +
                                       KeyTap(30, "F1") + KeyTap(32, "Tab") + KeyTap(34, "Backspace") + KeyTap(36, "Escape") +
                                       KeyTap(50, "Escape"));
    Step(35 - tick);
    EXPECT_EQ(option->listening, 1);
    EXPECT_EQ(option->selectedCell, 0);
    EXPECT_EQ(option->page, CSOption::kBindingPage);
    EXPECT_EQ(GetButtonBinding(4, "square"), 44);
    Step();
    EXPECT_EQ(option->listening, 0);
    EXPECT_EQ(option->startDelay, CSOption::kStartDelay);
    EXPECT_EQ(option->page, CSOption::kBindingPage);
    // Escape while browsing goes back to the settings page, on its row.
    Step(51 - tick);
    EXPECT_EQ(option->page, CSOption::kSettingsPage);
    EXPECT_EQ(option->settingsRow, CSOption::kRowKeys);
    EXPECT_EQ(Sounds().back(), 6600000);
}

// Left from the second sub-page and entered again, the page starts over on
// its first cell: the first sub-page's names and keys, the pointer on the
// first row, the page marker at the left.
TEST_F(OptionBinding, EnteredAgainThePageStartsOnItsFirstCell)
{
    CSOption *option =
        OpenBindingPage("20 key Down 1\n90 key Down 0\n" + KeyTap(100, "Escape") + KeyTap(110, "Enter"));
    Step(99 - tick);
    ASSERT_EQ(option->subPage, 1);
    ASSERT_NE(option->selectedCell, 0);
    Step(102 - tick);
    ASSERT_EQ(option->page, CSOption::kSettingsPage);
    Step(112 - tick);
    ASSERT_EQ(option->page, CSOption::kBindingPage);
    EXPECT_EQ(option->selectedCell, 0);
    EXPECT_EQ(option->subPage, 0);
    EXPECT_EQ(option->pageMarker->v[0].x, 50.0f);
    EXPECT_EQ(option->pointer->v[0].y, 189.0f);
    EXPECT_EQ(TextOf(option->keyTexts[0]), "Z");
    EXPECT_EQ(TextOf(option->keyTexts[7]), GetKeyName(GetButtonBinding(4, "l1")));
    EXPECT_EQ(option->listening, 0);
    EXPECT_EQ(option->conflict, 0);
}

TEST_F(OptionBinding, SubPageTwoTakesAKeyAndChangesNothingButPadButtonsRebindIt)
{
    CSOption *option = OpenBindingPage(KeyTap(20, "Enter") + KeyTap(24, "B") + KeyTap(40, "Enter") +
                                       "44 pad0 button 0 1\n45 pad0 button 0 0\n");
    option->SetBindingCursor(16);  // "up"
    option->subPage = 2;
    Step(25 - tick);
    EXPECT_EQ(option->listening, 0);
    EXPECT_EQ(GetButtonBinding(4, "up"), 200);
    EXPECT_FALSE(IsKeyBound(48));
    Step(46 - tick);
    // Up takes the south button; cross, which held it, takes up's.
    EXPECT_EQ(GetButtonBinding(0, "up"), 0);
    EXPECT_EQ(GetButtonBinding(0, "cross"), 12);
    EXPECT_TRUE(EveryButtonOnce(input->configs[0]));
}

TEST_F(OptionBinding, APadButtonSwapNeverLosesOrDoublesAButtonForAnyFunction)
{
    CSOption *option = Open("");
    const int32_t cells[] = {0, 1, 2, 3, 4, 5, 6, 7, 16, 17, 18, 19, 20, 21};
    for (int32_t cell : cells) {
        for (int32_t button = 0; button < input::kRawButtonCount; ++button) {
            ResetButtonConfig();
            option->SetBindingCursor(cell);
            option->StartListening();
            option->BindPadButton(button);
            const char *function = CSOption::CellFunction(cell);
            EXPECT_EQ(GetButtonBinding(0, function), button) << function << " " << button;
            EXPECT_TRUE(EveryButtonOnce(input->configs[0])) << function << " " << button;
            EXPECT_EQ(option->listening, 0);
        }
    }
    // Twice in a row on one function: still every button once.
    ResetButtonConfig();
    option->SetBindingCursor(0);
    option->BindPadButton(10);
    option->BindPadButton(3);
    EXPECT_EQ(GetButtonBinding(0, "square"), 3);
    EXPECT_TRUE(EveryButtonOnce(input->configs[0]));
    // A button on a stick's row changes nothing but ends the listening.
    ResetButtonConfig();
    option->SetBindingCursor(8);
    option->StartListening();
    option->BindPadButton(5);
    EXPECT_EQ(GetButtonBinding(0, "lay"), 1);
    EXPECT_EQ(option->listening, 0);
}

TEST_F(OptionBinding, AnAxisIsTakenOnlyPastOneHundredFiftyAndBothRowsOfAStickBindIt)
{
    CSOption *option = Open("2 pad0 axis 2 150\n4 pad0 axis 2 -151\n5 pad0 axis 2 0\n"
                            "8 pad0 axis 3 400\n8 pad0 axis 0 -400\n9 pad0 axis 3 0\n9 pad0 axis 0 0\n");
    option->page = CSOption::kBindingPage;
    ListenOn(option, 8);  // "lay"
    Step(2);
    EXPECT_EQ(option->listening, 1);
    EXPECT_EQ(GetButtonBinding(0, "lay"), 1);
    Step(2);
    // lay takes axis 2; rax, which held it, takes lay's 1.
    EXPECT_EQ(option->listening, 0);
    EXPECT_EQ(GetButtonBinding(0, "lay"), 2);
    EXPECT_EQ(GetButtonBinding(0, "laynegative"), 2);
    EXPECT_EQ(GetButtonBinding(0, "rax"), 1);
    // The negative row of the right stick's x: the same axis function; of
    // two axes pushed as far, the first.
    ListenOn(option, 14);  // "raxnegative"
    Step(8 - tick);
    EXPECT_EQ(option->listening, 0);
    EXPECT_EQ(GetButtonBinding(0, "rax"), 0);
    EXPECT_EQ(GetButtonBinding(0, "raxnegative"), 0);
    EXPECT_EQ(GetButtonBinding(0, "lax"), 1);
    int first = -1, second = -1;
    EXPECT_FALSE(input::FindDuplicateBinding(input->configs[0], 0, &first, &second));
}

// Each of the listed letter, space and keypad keys is heard while
// listening: on sub-page 2 it ends the listening and the message names it.
TEST_F(OptionBinding, EveryListedKeyIsHeardWhileListening)
{
    const int32_t keys[] = {44, 45, 46, 47, 48, 49, 50, 30, 31, 32, 33, 34, 35, 36, 37, 38, 16, 17, 18,
                            19, 20, 21, 22, 23, 24, 25, 57, 79, 80, 81, 75, 76, 77, 71, 72, 73, 82};
    std::string script;
    for (size_t i = 0; i < std::size(keys); ++i) {
        const uint32_t press = 2 + 2 * static_cast<uint32_t>(i);
        script += std::to_string(press) + " key " + std::to_string(keys[i]) + " 1\n" + std::to_string(press + 1) +
                  " key " + std::to_string(keys[i]) + " 0\n";
    }
    CSOption *option = Open(script);
    option->page = CSOption::kBindingPage;
    option->SetBindingCursor(16);  // "up"
    option->subPage = 2;
    for (size_t i = 0; i < std::size(keys); ++i) {
        SCOPED_TRACE(keys[i]);
        option->StartListening();
        Step(static_cast<int>(2 + 2 * i - tick));
        EXPECT_EQ(option->listening, 0);
        EXPECT_EQ(TextOf(option->conflictTexts[1]), GetKeyName(keys[i]));
    }
    EXPECT_EQ(GetButtonBinding(4, "up"), 200);
}

// One thing is bound per press: of two pad buttons pressed together the
// first in index order, and a key pressed with a button before the button.
TEST_F(OptionBinding, OfTwoButtonsTheFirstIsTakenAndAKeyGoesBeforeAButton)
{
    CSOption *option = Open("2 pad0 button 7 1\n2 pad0 button 5 1\n3 pad0 button 7 0\n3 pad0 button 5 0\n"
                            "6 key B 1\n6 pad0 button 9 1\n7 key B 0\n7 pad0 button 9 0\n");
    option->page = CSOption::kBindingPage;
    ListenOn(option, 0);  // "square"
    Step(2);
    EXPECT_EQ(option->listening, 0);
    EXPECT_EQ(GetButtonBinding(0, "square"), 5);
    EXPECT_TRUE(EveryButtonOnce(input->configs[0]));
    const int32_t trianglePad = GetButtonBinding(0, "triangle");
    ListenOn(option, 1);  // "triangle"
    Step(6 - tick);
    EXPECT_EQ(option->listening, 0);
    EXPECT_EQ(GetButtonBinding(4, "triangle"), 48);
    EXPECT_EQ(GetButtonBinding(0, "triangle"), trianglePad);
    EXPECT_EQ(GetButtonBinding(0, "square"), 5);
}

// A stick pushed while a button's row listens (the rows either side of the
// sticks' eight among them) binds nothing but ends the listening.
TEST_F(OptionBinding, AnAxisOnAButtonsRowChangesNothing)
{
    CSOption *option = Open("");
    for (int32_t cell : {0, 7, 16, 21}) {
        SCOPED_TRACE(cell);
        ResetButtonConfig();
        const input::ButtonConfig before = input->configs[0];
        option->SetBindingCursor(cell);
        option->StartListening();
        option->BindPadAxis(3);
        EXPECT_EQ(option->listening, 0);
        for (int f = 0; f < input::kButtonFunctionCount; ++f) {
            EXPECT_EQ(input->configs[0].codes[f], before.codes[f]) << f;
        }
    }
}

// The second sub-page's game-pad column names the stick axes and the way
// each row reads them (it showed the axis numbers as button names).
TEST_F(OptionBinding, TheStickRowsNameTheirAxisAndDirectionNotAButton)
{
    CSOption *option = Open("");
    option->page = CSOption::kBindingPage;
    option->SetBindingCursor(12);  // "ray", on sub-page 1
    option->MoveBindingCursor(0);  // to sub-page 0 and back
    option->MoveBindingCursor(12);
    ASSERT_EQ(option->subPage, 1);
    const char *const expected[8] = {"Right Stick Y+", "Right Stick Y-", "Right Stick X-", "Right Stick X+",
                                     "Left Stick Y+",  "Left Stick Y-",  "Left Stick X-",  "Left Stick X+"};
    for (int row = 0; row < 8; ++row) {
        EXPECT_EQ(TextOf(option->padTexts[row]), expected[row]) << row;
    }
    // A stick bound to another axis shows that axis.
    ASSERT_TRUE(SetButtonBinding(0, "lay", 5));
    option->RefreshBindingTexts();
    EXPECT_EQ(TextOf(option->padTexts[4]), "Right Trigger+");
    EXPECT_EQ(TextOf(option->padTexts[5]), "Right Trigger-");
}

// The third key prompt ("(F)" by default) names the keyboard key of
// triangle; a new key shows there once the options screen is left.
TEST_F(OptionBinding, TheTrianglePromptNamesTheNewKeyOnceTheScreenIsLeft)
{
    CSOption *option = Open(KeyTap(10, "B"));
    ASSERT_NE(ui->PromptText(2), nullptr);
    EXPECT_NE(TextOf(ui->PromptText(2)), "(B)");
    option->page = CSOption::kBindingPage;
    ListenOn(option, 1);  // "triangle"
    Step(11 - tick);
    EXPECT_EQ(option->listening, 0);
    EXPECT_EQ(GetButtonBinding(4, "triangle"), 48);
    EXPECT_NE(TextOf(ui->PromptText(2)), "(B)");
    option->Back();
    option->settingsRow = CSOption::kRowExit;
    option->ConfirmRow();
    EXPECT_TRUE(option->leavePending);
    EXPECT_EQ(TextOf(ui->PromptText(2)), "(B)");
}

}  // namespace

}  // namespace option_binding_test
