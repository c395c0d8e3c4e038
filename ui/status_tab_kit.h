// What the status page's three tabs share: reading the list keys (up and
// down, pressed or held, repeating every 0.05 s after a second's hold;
// triangle for the description), the description text shown over the
// list, and the shade bar with its key prompts at the bottom.
#pragma once

#include <cstdint>

#include "app/pad_state.h"

class CSTextBlock;
class CSTextList;

inline constexpr uint32_t kTabTextColour = 0xF0141414u;
inline constexpr uint32_t kTabPictureColour = 0xF0F0F0F0u;  // grey 240 at alpha 240
inline constexpr int32_t kTabPlayerList = 1;                 // the player's own item list
inline constexpr char16_t kTabBlankEntry[] = u" ";          // the one entry of an empty list
inline constexpr uint32_t kUISoundBack = 6600050;
inline constexpr uint32_t kUISoundEquip = 6600080;
inline constexpr uint32_t kUISoundTakeOff = 6600090;

enum class ListKey : uint8_t { none, up, down, describe };

// The key of this frame; *holdTime gathers a held up or down (1.0 s, then
// every 0.05 s) and restarts on a press.
ListKey ReadListKeys(const PadState &pad, float dt, float *holdTime);

// Cross or select pressed this frame.
inline bool BackPressed(const PadState &pad)
{
    return pad.buttons[kPadCross] == kPadPressedState || pad.buttons[kPadSelect] == kPadPressedState;
}
// Circle or start pressed this frame.
inline bool ConfirmPressed(const PadState &pad)
{
    return pad.buttons[kPadCircle] == kPadPressedState || pad.buttons[kPadStart] == kPadPressedState;
}

// The description of the highlighted entry over the list.
class TabDescription {
public:
    ~TabDescription() { Release(); }
    // Lays the text out inside the list's rectangle (its block taken from
    // the pool once); shown from then on.
    void Show(const char16_t *text, const CSTextList &list);
    void Close() { shown_ = 0; }
    bool Shown() const { return shown_ != 0; }
    uint8_t ShownFlag() const { return shown_; }
    // The laid-out text (the tabs draw it while it is shown).
    void Draw() const;
    // The block back to the pool; not shown.
    void Release();
    const CSTextBlock *Block() const { return block_; }

private:
    CSTextBlock *block_ = nullptr;
    uint8_t shown_ = 0;
};

// One frame of a tab's keys: with its description shown, back closes it
// (6600050) and nothing else is read; otherwise, while the tab has
// something listed and the interface pad is connected, the list key.
ListKey ReadTabKeys(TabDescription *description, bool listed, float dt, float *holdTime);

// Up or down by one within 0..count - 1, the list's cursor moved with it:
// the new selection.
int32_t StepListSelection(CSTextList *list, ListKey key, int32_t selected, int32_t count, float dt);

// The description with the shade bar and the back prompt (true), or the
// list (false: the caller draws the rest).
bool DrawDescriptionOrList(const TabDescription &description, const CSTextList *list);

// The shade bar over (0, 410)-(640, 445) and the key prompts of `mask`.
void DrawTabFooter(uint8_t mask);

// The screen manager's interface pad (an empty pad without one).
const PadState &InterfacePad();
void PlayTabSound(uint32_t id);
