// What the load screen and the save panel share: the list of the 20 save
// slots, five rows at a time beside a detail frame, with one layout. The
// rows show each slot's number, its last stage's name and a mark for a
// completed game; the frame shows the slot under the cursor: the hero's
// picture and name, maximum HP and power, money, stages cleared, the play
// time and the photo of the last stage, or the empty-slot label. Pictures:
// SAVLOD (the screen's art), SLWORD (words and digits of the language),
// STAGPHO (stage photos, 71-pixel cells seven to a row), and the screen
// manager's BASEMAP and PLAYER, which are only borrowed.
#pragma once

#include <cstdint>
#include <memory>

#include "ui/save_slots.h"
#include "ui/ui_quad.h"

// The save screens' sounds: a choice refused, and back.
inline constexpr uint32_t kSlotSoundRefused = 6600090;
inline constexpr uint32_t kSlotSoundBack = 6600050;

class CSTextBlock;

inline constexpr int32_t kSlotRowsShown = 5;
inline constexpr int32_t kSlotLabels = 7;  // HP, power, money, stages, time, empty slot, hero name

class SaveSlotView {
public:
    enum Label { kLabelHP, kLabelPower, kLabelMoney, kLabelStages, kLabelTime, kLabelEmpty, kLabelHeroName };

    // Makes the quads and the slot list when missing.
    void Create();
    // Frees the quads and the slot list.
    void Release();
    // Lays out the fixed quads (the labels by language) and places the
    // cursor; the quads are Create's.
    void LayOut();
    // Sets the cursor, scrolling so that it stays among the rows shown.
    void SetCursor(int32_t slot);
    // Moves the cursor one slot up (-1) or down (1); false at either end.
    bool MoveCursor(int32_t step);
    bool Refresh() { return slots != nullptr && slots->Refresh(); }
    const SaveSlotInfo *Current() const { return slots != nullptr ? &slots->Slot(cursor) : nullptr; }

    // (Created and laid out.) The list, its rows' texts laid out in `rowText`, the detail frame and
    // the key-prompt band.
    void Draw(CSTextBlock *rowText) const;

    std::unique_ptr<UIQuad> background, leftStrip;
    std::unique_ptr<UIQuad[]> rows;    // 5
    std::unique_ptr<UIQuad> cursorQuad;
    UIQuad frame[9] = {};  // laid by LayOut
    std::unique_ptr<UIQuad[]> labels;  // 7
    std::unique_ptr<CSSaveSlotList> slots;
    RwTexture *savlod = nullptr;       // SAVLOD
    RwTexture *words = nullptr;        // SLWORD
    RwTexture *photos = nullptr;       // STAGPHO
    RwTexture *baseMap = nullptr;      // the manager's, borrowed
    RwTexture *player = nullptr;       // the manager's, borrowed
    int32_t firstRow = 0;
    int32_t cursor = 0;

private:
    void DrawRows(CSTextBlock *rowText) const;
    void DrawDetails(const SaveSlotInfo &slot) const;
    void DrawPhotoBand(int32_t lastStageId) const;
};

// The buttons of the interface pad pressed this frame, as both screens read
// them (nothing while the pad is not connected): confirm is circle, start
// or the left mouse button, back is cross or select.
struct SlotInput {
    bool up = false, down = false, left = false, right = false, confirm = false, back = false;
};
SlotInput ReadSlotInput();

// The three pictures, each read from its folder (inside whatever pack is
// open); null when missing.
RwTexture *ReadSaveLoadArt();    // SAVLOD
RwTexture *ReadSlotWordArt();    // SLWORD of the language
RwTexture *ReadStagePhotoArt();  // STAGPHO

// A digit d (0..9) of SLWORD at (x, y), 15 wide and `height` high.
void DrawSlotDigit(const RwTexture *words, int32_t digit, float x, float y, float height);
// The nine pieces of the interface's frame (PLAYER) laid round the
// rectangle, its corners 15 pixels square.
void PlaceFramePieces(UIQuad (&pieces)[9], float left, float top, float right, float bottom);
// Label `label` (SaveSlotView::Label, up to kLabelEmpty) of SLWORD placed
// where the detail frame shows it in the game's language.
void PlaceSlotLabel(UIQuad *quad, int label);
// A number right-aligned so that its last digit ends at `right`: digits of
// SLWORD 15 wide and 17 high (a number below 0 shows as 0).
void DrawDigits(const RwTexture *words, int32_t value, float right, float top);
// A play time "hh:mm:ss" from `left`: digits 15 apart and `digitHeight`
// high, and after the hours and the minutes a colon of two squares.
void DrawPlayTimeDigits(const RwTexture *words, uint32_t ms, float left, float top, float digitHeight);
// What the play time reads: hours (at most 999), minutes and seconds, each
// with a leading 0 below 10 ("01", "02", "03" for 1:02:03).
void PlayTimeParts(uint32_t ms, char hours[8], char minutes[4], char seconds[4]);
