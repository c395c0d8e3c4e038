// CSTextList: the scrolling list of text rows that the status page's tabs
// and the lobby's store show. It draws a window of rows from an array of
// UTF-16 strings inside a fixed rectangle, a translucent bar and a pointer
// on the selected row, and an up and a down arrow while the selection can
// still move that way. It reads no input: its owner reads the pad, works
// out the new index and calls MoveCursor, which plays the move sound, or
// the end-bump sound once pushes against an end have gathered 0.1 s.
//
// Rows are text blocks of the game system's pool of 50. A row that gets no
// block (the pool is exhausted) is neither laid out nor drawn.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ui/ui_quad.h"

class CSTextBlock;

class CSTextList {
public:
    static constexpr uint32_t kRowColour = 0xF0141414u;
    static constexpr float kEndBumpSeconds = 0.1f;
    // Languages other than 0 move the rows and the bar this far left.
    static constexpr int32_t kForeignShift = 10;

    CSTextList() = default;
    ~CSTextList() { Release(); }
    CSTextList(const CSTextList &) = delete;
    CSTextList &operator=(const CSTextList &) = delete;

    // All fields cleared; the pad index is the screen manager's.
    void Init();
    // Takes the entries (the strings stay the caller's and must outlive
    // the list's use of them) and lays the list out in the rectangle.
    void SetItems(std::vector<const char16_t *> entries, int32_t selected, int32_t top, int32_t bottom,
                  int32_t left, int32_t right);
    // `newIndex` already clamped by the caller; `step` -1 up, +1 down.
    void MoveCursor(float dt, int32_t newIndex, int32_t step);
    // The rows' blocks (one per visible row, null where the pool had none);
    // the window's first and last entry when both pointers are given.
    CSTextBlock *const *GetWindow(int32_t *first, int32_t *last) const;
    void Draw() const;
    // The rows back to the pool, the entries and pictures freed; cursor row 0.
    void Release();

    int32_t PadIndex() const { return padIndex_; }
    int32_t EntryCount() const { return static_cast<int32_t>(entries_.size()); }
    int32_t VisibleRows() const { return visibleRows_; }
    int32_t RowPitch() const { return rowPitch_; }
    int32_t CursorRow() const { return cursorRow_; }
    int32_t Selected() const { return selected_; }
    int32_t WindowFirst() const { return windowFirst_; }
    int32_t WindowLast() const { return windowLast_; }
    float EndBumpTimer() const { return endBumpTimer_; }
    int32_t Top() const { return top_; }
    int32_t Bottom() const { return bottom_; }
    int32_t Left() const { return left_; }
    int32_t Right() const { return right_; }
    // The pictures, null before the first SetItems.
    const UIPicture *Bar() const { return bar_ ? &bar_->picture : nullptr; }
    const UIPicture *Pointer() const { return pointer_ ? &pointer_->picture : nullptr; }
    const UIPicture *Arrow(int i) const { return arrows_ ? &arrows_[i].picture : nullptr; }
    bool UpArrowShown() const { return arrows_ != nullptr && selected_ != 0; }
    bool DownArrowShown() const { return arrows_ != nullptr && selected_ != EntryCount() - 1; }

private:
    void GiveRowsBack();
    void LayRows();
    void PlaceCursorPictures();

    int32_t padIndex_ = -1;
    float endBumpTimer_ = 0.0f;
    std::vector<CSTextBlock *> rows_;
    int32_t visibleRows_ = 0;
    std::vector<const char16_t *> entries_;
    int32_t rowPitch_ = 0;
    int32_t cursorRow_ = 0;
    int32_t selected_ = 0;
    std::unique_ptr<OwnedPicture> bar_;
    std::unique_ptr<OwnedPicture> pointer_;
    int32_t windowFirst_ = 0;
    int32_t windowLast_ = 0;
    std::unique_ptr<OwnedPicture[]> arrows_;  // up, down
    int32_t top_ = 0, bottom_ = 0, left_ = 0, right_ = 0;
};
