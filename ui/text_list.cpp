// The scrolling text list (see text_list.h).
#include "ui/text_list.h"

#include <algorithm>

#include "app/game_system.h"
#include "app/text_block.h"
#include "ui/ui_manager.h"

namespace {

constexpr int32_t kListMeasureWrap = 500;
constexpr float kPointerLeft = 516.0f;
constexpr float kPointerRight = 571.0f;
constexpr float kArrowLeft = 571.0f;
constexpr float kArrowRight = 591.0f;
constexpr uint32_t kBarColour = 0x96F0F0F0u;
constexpr uint32_t kListPictureColour = 0xF0F0F0F0u;

CSTextBlock *TakeBlock() { return g_pGameSystem != nullptr ? g_pGameSystem->textBlocks.Acquire() : nullptr; }

void GiveBack(CSTextBlock *block)
{
    if (block != nullptr) {
        block->Reset(0);
    }
}


}  // namespace

void CSTextList::Init()
{
    Release();  // the rows, the pictures and the cursor's row
    endBumpTimer_ = 0.0f;
    rowPitch_ = 0;
    selected_ = 0;
    windowFirst_ = 0;
    windowLast_ = 0;
    top_ = bottom_ = left_ = right_ = 0;
    padIndex_ = g_pUIManager->GetUIPad();  // the lists live on the screens
}

void CSTextList::GiveRowsBack()
{
    for (CSTextBlock *row : rows_) {
        GiveBack(row);
    }
    rows_.clear();
}

void CSTextList::SetItems(std::vector<const char16_t *> entries, int32_t selected, int32_t top, int32_t bottom,
                          int32_t left, int32_t right)
{
    entries_ = std::move(entries);
    selected_ = selected;
    cursorRow_ = 0;
    top_ = top;
    bottom_ = bottom;
    const int32_t shift = UILanguage() != 0 ? kForeignShift : 0;
    left_ = left - shift;
    right_ = right - shift;

    rowPitch_ = 0;
    if (!entries_.empty()) {
        if (CSTextBlock *measure = TakeBlock()) {
            TextLayout layout;
            measure->SetText(&layout, entries_[0] != nullptr ? entries_[0] : u"", 0, 0, kListMeasureWrap);
            rowPitch_ = layout.tallestRowHeight;
            GiveBack(measure);
        }
    }

    GiveRowsBack();
    const int32_t count = EntryCount();
    visibleRows_ = rowPitch_ > 0 ? std::min((bottom_ - top_) / rowPitch_, count) : 0;
    visibleRows_ = std::max(visibleRows_, 0);
    if (visibleRows_ > 0) {
        if (selected_ >= visibleRows_) {
            cursorRow_ = visibleRows_ - 1;
            windowFirst_ = selected_ - visibleRows_ + 1;
            windowLast_ = selected_;
        } else {
            windowFirst_ = 0;
            windowLast_ = visibleRows_ - 1;
            cursorRow_ = selected_;
        }
        rows_.resize(static_cast<size_t>(visibleRows_), nullptr);
        for (CSTextBlock *&row : rows_) {
            row = TakeBlock();
        }
        LayRows();
    } else {
        windowFirst_ = 0;
        windowLast_ = 0;
    }

    if (bar_ == nullptr) {
        bar_ = std::make_unique<OwnedPicture>();
    }
    if (pointer_ == nullptr) {
        pointer_ = std::make_unique<OwnedPicture>();
    }
    PlaceCursorPictures();
    if (arrows_ == nullptr) {
        arrows_ = std::make_unique<OwnedPicture[]>(2);
        arrows_[0].SetUV(UIPlayerArt(), 0.611328125f, 0.19140625f, 0.650390625f, 0.25f, kArrowLeft,
                   static_cast<float>(top_ + 40), kArrowRight, static_cast<float>(top_ + 70), kListPictureColour);
        arrows_[1].SetUV(UIPlayerArt(), 0.611328125f, 0.25f, 0.650390625f, 0.19140625f, kArrowLeft,
                   static_cast<float>(bottom_ - 30), kArrowRight, static_cast<float>(bottom_), kListPictureColour);
    }
}

void CSTextList::LayRows()
{
    for (int32_t i = 0; i < static_cast<int32_t>(rows_.size()); ++i) {
        CSTextBlock *row = rows_[static_cast<size_t>(i)];
        const int32_t entry = windowFirst_ + i;
        if (row == nullptr) {
            continue;  // the pool had no block for this row
        }
        const char16_t *text = entry >= 0 && entry < EntryCount() ? entries_[static_cast<size_t>(entry)] : nullptr;
        row->SetText(nullptr, text != nullptr ? text : u"", left_ + 10, top_ + rowPitch_ * i, right_ - left_ - 20);
        row->SetColor(kRowColour);
    }
}

void CSTextList::PlaceCursorPictures()
{
    const float rowTop = static_cast<float>(top_ + rowPitch_ * cursorRow_);
    const float rowBottom = static_cast<float>(top_ + rowPitch_ * (cursorRow_ + 1));
    if (bar_ != nullptr) {
        bar_->SetUV(UIPlayerArt(), 0.212890625f, 0.36328125f, 0.59765625f, 0.375f, static_cast<float>(left_), rowTop,
                   static_cast<float>(right_), rowBottom, kBarColour);
    }
    if (pointer_ != nullptr) {
        pointer_->SetUV(UIPlayerArt(), 0.99609375f, 0.091796875f, 0.888671875f, 0.177734375f, kPointerLeft,
                   rowTop - 12.0f, kPointerRight, rowBottom + 11.0f, kListPictureColour);
    }
}

void CSTextList::MoveCursor(float dt, int32_t newIndex, int32_t step)
{
    const int32_t count = EntryCount();
    const bool pushesAgainstEnd = (selected_ == 0 && step == -1) || (selected_ == count - 1 && step == 1);
    if (pushesAgainstEnd) {
        endBumpTimer_ += dt;
        if (endBumpTimer_ >= kEndBumpSeconds) {
            if (g_pUIManager != nullptr) {
                g_pUIManager->PlayUISound(kUISoundCancel, 0);
            }
            endBumpTimer_ = 0.0f;
        }
    } else {
        if (g_pUIManager != nullptr) {
            g_pUIManager->PlayUISound(kUISoundMove, 0);
        }
        endBumpTimer_ = 0.0f;
    }

    cursorRow_ = std::clamp(cursorRow_ + step, 0, std::max(visibleRows_ - 1, 0));
    selected_ = newIndex;

    if (windowFirst_ == 0 && windowLast_ == 0) {
        windowLast_ = std::max(visibleRows_ - 1, 0);
    }
    // A window of one row also reads 0..0: it must still follow the
    // selection, or the row would go on showing the first entry.
    if (visibleRows_ > 0 && (newIndex < windowFirst_ || newIndex > windowLast_)) {
        if (newIndex == windowFirst_ - 1) {
            windowFirst_ = newIndex;
            windowLast_ = newIndex + visibleRows_ - 1;
        } else {
            windowFirst_ = newIndex - visibleRows_ + 1;
            windowLast_ = newIndex;
        }
    }
    LayRows();
    PlaceCursorPictures();
}

CSTextBlock *const *CSTextList::GetWindow(int32_t *first, int32_t *last) const
{
    if (first != nullptr && last != nullptr) {
        *first = windowFirst_;
        *last = windowLast_;
    }
    return rows_.data();
}

void CSTextList::Draw() const
{
    if (bar_ != nullptr) {
        bar_->picture.Draw();
    }
    for (const CSTextBlock *row : rows_) {
        if (row != nullptr) {
            row->Draw();
        }
    }
    if (pointer_ != nullptr) {
        pointer_->picture.Draw();
    }
    if (UpArrowShown()) {
        arrows_[0].picture.Draw();
    }
    if (DownArrowShown()) {
        arrows_[1].picture.Draw();
    }
}

void CSTextList::Release()
{
    GiveRowsBack();
    visibleRows_ = 0;
    entries_.clear();
    bar_.reset();
    pointer_.reset();
    arrows_.reset();
    cursorRow_ = 0;
}
