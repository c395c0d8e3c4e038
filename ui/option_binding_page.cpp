// The key binding page of the options screen (see option_screen.h): a
// table of the pad's functions in three sub-pages side by side, whose
// columns are the mouse (fixed labels), the keyboard (binding slot 4) and
// the first game pad (slot 0). Start or Enter listens on the selected
// cell; a listed keyboard key, a pad button or a pad axis pushed past 150
// then binds it. Nothing is written here: the screen saves when it is left.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/input.h"
#include "app/text_block.h"
#include "ui/option_screen.h"
#include "ui/ui_manager.h"
#include "ui/ui_rect.h"

namespace {

struct BindingCell {
    int32_t subPage;
    int32_t row;
    const char *function;
    const char *mouseText;  // null: none
};

// By cell number.
constexpr BindingCell kCells[CSOption::kBindingCells] = {
    {0, 0, "square", "Mouse 1"},   {0, 1, "triangle", nullptr},   {0, 2, "circle", "Mouse 3"},
    {0, 3, "cross", "Mouse 2"},    {0, 4, "r2", "Wheel Up"},      {0, 5, "l2", "Wheel Down"},
    {0, 6, "r1", nullptr},         {0, 7, "l1", nullptr},         {1, 4, "lay", nullptr},
    {1, 5, "laynegative", nullptr}, {1, 6, "laxnegative", nullptr}, {1, 7, "lax", nullptr},
    {1, 0, "ray", nullptr},        {1, 1, "raynegative", nullptr}, {1, 2, "raxnegative", "Mouse Left"},
    {1, 3, "rax", "Mouse Right"},  {2, 0, "up", nullptr},         {2, 1, "down", nullptr},
    {2, 2, "left", nullptr},       {2, 3, "right", nullptr},      {2, 4, "start", nullptr},
    {2, 5, "select", nullptr},
};

// The keys that can be bound, in the order they are tested.
constexpr int32_t kBindableKeys[] = {
    44, 45, 46, 47, 48, 49, 50,              // Z X C V B N M
    30, 31, 32, 33, 34, 35, 36, 37, 38,      // A .. L
    16, 17, 18, 19, 20, 21, 22, 23, 24, 25,  // Q .. P
    57,                                      // Space
    79, 80, 81, 75, 76, 77, 71, 72, 73, 82,  // the keypad 1 .. 9, 0
};

// The functions a keyboard key may already drive.
constexpr const char *kKeyFunctions[] = {
    "square", "circle", "cross", "triangle", "l1", "l2", "r1", "r2", "up", "down", "left",
    "right", "start", "select", "lax", "lay", "rax", "ray", "laynegative", "laxnegative",
    "raynegative", "raxnegative",
};

// The pad's button functions that a pad button may be swapped between.
constexpr const char *kPadButtonFunctions[] = {
    "square", "circle", "cross", "triangle", "l1", "l2", "r1", "r2",
    "up", "down", "left", "right", "start", "select",
};

constexpr uint32_t kBrightText = 0xF0AAAAAAu;
constexpr uint32_t kDimText = 0xFF555555u;

enum Direction { kLeft = 0, kRight = 1, kUp = 2, kDown = 3 };

int32_t RowCount(int32_t subPage) { return subPage == 2 ? 6 : CSOption::kBindingRows; }

// The cell at a row of a sub-page (-1 outside).
int32_t CellAt(int32_t subPage, int32_t row)
{
    if (row < 0 || row >= RowCount(subPage)) {
        return -1;
    }
    for (int32_t cell = 0; cell < CSOption::kBindingCells; ++cell) {
        if (kCells[cell].subPage == subPage && kCells[cell].row == row) {
            return cell;
        }
    }
    return -1;
}

// The game-pad column of a function: the button, or for a stick function the axis and
// the direction it reads.
std::string PadColumnText(const char *function)
{
    const int32_t code = GetButtonBinding(0, function);
    const int id = input::ButtonFunctionFromName(function);
    if (id >= 0 && input::StickFunctionOf(id) >= 0) {
        return GetPadAxisName(code, std::strstr(function, "negative") != nullptr);
    }
    return GetPadButtonName(code);
}

float RowTextY(int32_t row) { return static_cast<float>(static_cast<int32_t>(185.0f + 24.5f * static_cast<float>(row))); }
float RowMarkY(int32_t row) { return 189.0f + 24.5f * static_cast<float>(row); }

void SetLine(CSTextBlock *block, const char *text, float x, float y, uint32_t colour)
{
    if (block == nullptr) {
        return;
    }
    block->SetColor(colour);
    block->SetTextA(nullptr, text, static_cast<int32_t>(x), static_cast<int32_t>(y), 0);
}

}  // namespace

bool IsKeyBound(int32_t code)
{
    for (const char *function : kKeyFunctions) {
        if (GetButtonBinding(input::kKeyboardSlot, function) == code) {
            return true;
        }
    }
    return false;
}

void SwapPadBinding(int32_t slot, int32_t newCode, int32_t oldCode)
{
    for (const char *function : kPadButtonFunctions) {
        if (GetButtonBinding(slot, function) == newCode) {
            // The input layer hands the code's other holder the old one in
            // the same step, so no button ever serves two functions.
            SetButtonBinding(slot, function, oldCode);
            return;
        }
    }
}

const char *CSOption::CellFunction(int32_t cell) { return kCells[cell].function; }

int32_t CSOption::CellSubPage(int32_t cell) { return kCells[cell].subPage; }

int32_t CSOption::CellRow(int32_t cell) { return kCells[cell].row; }

int32_t CSOption::NeighbourCell(int32_t cell, int32_t direction)
{
    if (cell < 0 || cell >= kBindingCells) {
        return cell;
    }
    const int32_t subPage = kCells[cell].subPage;
    const int32_t row = kCells[cell].row;
    int32_t next = -1;
    switch (direction) {
    case kLeft:
        next = subPage > 0 ? CellAt(subPage - 1, row) : -1;
        break;
    case kRight:
        // Sub-page 1's last rows all lead to sub-page 2's last.
        if (subPage == 1) {
            next = CellAt(2, row < 5 ? row : 5);
        } else if (subPage == 0) {
            next = CellAt(1, row);
        }
        break;
    case kUp:
        next = row > 0 ? CellAt(subPage, row - 1)
                       : (subPage > 0 ? CellAt(subPage - 1, RowCount(subPage - 1) - 1) : -1);
        break;
    case kDown:
        next = row + 1 < RowCount(subPage) ? CellAt(subPage, row + 1) : (subPage < 2 ? CellAt(subPage + 1, 0) : -1);
        break;
    default:
        break;
    }
    return next < 0 ? cell : next;
}

void CSOption::SetBindingCursor(int32_t cell)
{
    selectedCell = cell;
    const float y = RowMarkY(CellRow(cell));
    // The pointer is a small arrow of the panel picture.
    PlaceUIQuad(pointer.get(), 60, y, 75, y + 10.0f, 220, 478, 235, 488);
}

void CSOption::MoveBindingCursor(int32_t cell)
{
    if (cell == selectedCell) {
        return;
    }
    if (CellSubPage(cell) != subPage) {
        subPage = CellSubPage(cell);
        subPageOffset = 50.0f * static_cast<float>(subPage);
        LayoutPage();
    }
    SetBindingCursor(cell);
    g_pUIManager->PlayUISound(kUISoundMove, 0);
}

void CSOption::LayOutBindingPage()
{
    PlaceUIQuad(&headings[0], 250, 150, 300, 180, 95, 25, 145, 55);
    PlaceUIQuad(&headings[1], 370, 150, 440, 180, 165, 25, 235, 55);
    PlaceUIQuad(&headings[2], 480, 150, 540, 180, 10, 25, 80, 55);
    PlaceUIQuad(pageBar.get(), 50, 394, 200, 399, 395, 33, 495, 63);
    for (int i = 0; i < kConflictTexts; ++i) {
        if (conflictTexts[i] != nullptr) {
            conflictTexts[i]->Reset(1);
        }
    }
    LayoutPage();
    SetBindingCursor(selectedCell);
}

void CSOption::LayoutPage()
{
    switch (subPage) {
    case 0: PlaceUIQuad(rowNames.get(), 80, 180, 230, 380, 340, 77, 500, 290); break;
    case 1: PlaceUIQuad(rowNames.get(), 80, 180, 230, 380, 170, 77, 330, 290); break;
    default: PlaceUIQuad(rowNames.get(), 80, 180, 230, 325, 10, 77, 170, 235); break;
    }
    PlaceUIQuad(pageMarker.get(), 50.0f + subPageOffset, 395, 100.0f + subPageOffset, 400, 280, 40, 370, 50);
    RefreshBindingTexts();
}

void CSOption::RefreshBindingTexts()
{
    int mouse = 0;
    for (int32_t row = 0; row < kBindingRows; ++row) {
        const int32_t cell = CellAt(subPage, row);
        if (cell < 0) {
            SetLine(keyTexts[row], "", 380, RowTextY(row), kBrightText);
            SetLine(padTexts[row], "", 480, RowTextY(row), kBrightText);
            continue;
        }
        const char *function = kCells[cell].function;
        SetLine(keyTexts[row], GetKeyName(GetButtonBinding(input::kKeyboardSlot, function)), 380, RowTextY(row),
                subPage == 2 ? kDimText : kBrightText);
        SetLine(padTexts[row], PadColumnText(function).c_str(), 480, RowTextY(row), kBrightText);
        if (kCells[cell].mouseText != nullptr && mouse < kMouseTexts) {
            SetLine(mouseTexts[mouse++], kCells[cell].mouseText, 250, RowTextY(row), kDimText);
        }
    }
    for (; mouse < kMouseTexts; ++mouse) {
        SetLine(mouseTexts[mouse], "", 250, 0, kDimText);
    }
}

void CSOption::StartListening()
{
    listening = 1;
    // Placed only here: it is drawn only while listening.
    const float y = RowMarkY(CellRow(selectedCell));
    PlaceUIQuad(listenMark.get(), 230, y, 240, y + 10.0f, 494, 478, 506, 490);
}

void CSOption::FinishBinding()
{
    RefreshBindingTexts();
    listening = 0;
    startDelay = kStartDelay;
}

void CSOption::BindKey(int32_t code)
{
    const char *name = GetKeyName(code);
    SetLine(conflictTexts[0], "The key ", 20, 410, kTextBlockDefaultColor);
    SetLine(conflictTexts[1], name, 100, 410, kTextBlockDefaultColor);
    SetLine(conflictTexts[2], "is used for other function. Please select another one.", 20, 428,
            kTextBlockDefaultColor);
    // Sub-page 2's keys stay as they are: the key is taken and changes nothing.
    if (selectedCell < 16) {
        const char *function = kCells[selectedCell].function;
        if (GetButtonBinding(input::kKeyboardSlot, function) != code) {
            if (IsKeyBound(code)) {
                conflict = 1;
                return;
            }
            SetButtonBinding(input::kKeyboardSlot, function, code);
        }
    }
    conflict = 0;
    FinishBinding();
}

void CSOption::BindPadButton(int32_t index)
{
    if (selectedCell < 8 || selectedCell >= 16) {
        const char *function = kCells[selectedCell].function;
        SwapPadBinding(0, index, GetButtonBinding(0, function));
        SetButtonBinding(0, function, index);
    }
    conflict = 0;
    FinishBinding();
}

void CSOption::BindPadAxis(int32_t index)
{
    if (selectedCell >= 8 && selectedCell < 16) {
        // Both rows of a stick's axis (the axis and its negative) bind it.
        static const char *const kCellStick[8] = {"lay", "lay", "lax", "lax", "ray", "ray", "rax", "rax"};
        // The input layer hands the axis's other holder this stick's old
        // one in the same step.
        SetButtonBinding(0, kCellStick[selectedCell - 8], index);
    }
    conflict = 0;
    FinishBinding();
}

void CSOption::ReturnToSettings()
{
    // Only a page that is not listening goes back, and so shows no
    // conflict; the next visit starts again from the first cell.
    page = kSettingsPage;
    LayOutSettings();
    SetSettingsRow(settingsRow);
    g_pUIManager->PlayUISound(kUISoundCancel, 0);
}

void CSOption::UpdateBindingPage()
{
    if (listening != 0) {
        UpdateListening();
        return;
    }
    if (startDelay > 0) {
        --startDelay;
        return;
    }
    const PadState &pad = UIPadState(g_pUIManager->GetUIPad());
    if (repeatTimer > -0.05f) {
        repeatTimer -= 0.1f;
    }
    if (repeatTimer < 0.0f) {
        // Only a held direction moves (its first frame does not count).
        static const PadButton kButtons[4] = {kPadLeft, kPadRight, kPadUp, kPadDown};
        for (int direction = kLeft; direction <= kDown; ++direction) {
            if (!PadHeld(pad, kButtons[direction])) {
                continue;
            }
            MoveBindingCursor(NeighbourCell(selectedCell, direction));
            repeatTimer = kRepeatTimer;
        }
    }
    if (PadPressed(pad, kPadCross) || PadPressed(pad, kPadSelect) || KeyPressedNow(input::kKeyEscape)) {
        Back();
        return;
    }
    if (PadPressed(pad, kPadStart) || KeyPressedNow(input::kKeyEnter)) {
        StartListening();
    }
}

void CSOption::UpdateListening()
{
    if (KeyPressedNow(input::kKeyEscape)) {
        listening = 0;
        conflict = 0;
        startDelay = kStartDelay;
        return;
    }
    for (int32_t code : kBindableKeys) {
        if (KeyPressedNow(code)) {
            BindKey(code);
            return;
        }
    }
    const input::RawPadState &raw = RawPadState[0];
    for (int32_t b = 0; b < input::kRawButtonCount; ++b) {
        if (raw.buttons[b] == kPadPressedState) {
            BindPadButton(b);
            return;
        }
    }
    int32_t largest = 0;
    for (int32_t value : raw.axes) {
        largest = std::max(largest, std::abs(value));
    }
    if (largest <= kAxisThreshold) {
        return;
    }
    for (int32_t a = 0; a < input::kRawAxisCount; ++a) {
        if (raw.axes[a] != 0 && std::abs(raw.axes[a]) == largest) {
            BindPadAxis(a);
            return;
        }
    }
}

void CSOption::RenderBindingPage()
{
    const RwTexture *t = panelTexture;
    for (int i = 0; i < 3; ++i) {
        DrawUIQuad(headings[i], t);
    }
    DrawUIQuad(*rowNames, t);
    DrawUIQuad(*pointer, t);
    DrawUIQuad(*pageBar, t);
    DrawUIQuad(*pageMarker, t);
    if (listening != 0) {
        DrawUIQuad(*listenMark, t);
    }
    const int mouseCount = subPage == 0 ? 5 : (subPage == 1 ? 2 : 0);
    for (int i = 0; i < mouseCount; ++i) {
        if (mouseTexts[i] != nullptr) {
            mouseTexts[i]->Draw();
        }
    }
    for (int32_t row = 0; row < RowCount(subPage); ++row) {
        if (keyTexts[row] != nullptr) {
            keyTexts[row]->Draw();
        }
        if (padTexts[row] != nullptr) {
            padTexts[row]->Draw();
        }
    }
    g_pUIManager->DrawShadeRect(0, 410, 640, 445);
    g_pUIManager->DrawKeyPrompts(2);
    if (conflict != 0) {
        for (CSTextBlock *block : conflictTexts) {
            if (block != nullptr) {
                block->Draw();
            }
        }
    }
}
