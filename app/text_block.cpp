// Text block layout, alignment and drawing, and the block pool.
#include "app/text_block.h"

#include <algorithm>
#include <climits>

using game::ScaledPixels;

void CSTextBlock::Reset(uint8_t inUse)
{
    rows_.clear();
    rows_.shrink_to_fit();
    color_ = kTextBlockDefaultColor;
    scale_ = 1.0f;
    font_ = GetGlobalFont();
    inUse_ = inUse;
    drawnByFrame_ = false;
}

void CSTextBlock::AddRow(const char16_t *text, size_t length, int32_t y, int32_t x)
{
    Row row;
    row.text.assign(text, length);
    // Carriage returns of CR LF texts are neither drawn nor measured.
    std::erase(row.text, u'\r');
    row.x = x;
    row.y = y;
    row.width = font_ != nullptr ? font_->RowWidth(row.text.data(), row.text.size(), scale_) : 0;
    row.height = font_ != nullptr ? ScaledPixels(font_->LineHeight(), scale_) : 0;
    rows_.push_back(std::move(row));
}

void CSTextBlock::SetText(TextLayout *out, const char16_t *text, int32_t x, int32_t y, int32_t wrapWidth)
{
    rows_.clear();
    const std::u16string all = text != nullptr ? std::u16string(text) : std::u16string();
    const int32_t rowHeight = font_ != nullptr ? ScaledPixels(font_->LineHeight(), scale_) : 0;
    const bool wraps = wrapWidth > 0;
    int32_t rowY = y;
    size_t start = 0;
    while (start < all.size()) {
        // The widest run from `start` that fits, stopping at a line feed.
        int32_t sum = 0;  // unscaled pen steps
        size_t end = start;
        size_t lastBlank = std::u16string::npos;
        while (end < all.size() && all[end] != u'\n') {
            const int32_t step = font_ != nullptr ? font_->Advance(all[end]) : 0;
            if (wraps && end > start && ScaledPixels(sum + step, scale_) > wrapWidth) {
                break;
            }
            if (all[end] == u' ') {
                lastBlank = end;
            }
            sum += step;
            ++end;
        }
        size_t next = end;
        if (all[end] == u'\n') {  // the terminating zero at the end is none
            next = end + 1;  // the line feed ends this row
        } else if (end < all.size()) {
            // Wrapped: at the blank that stops the run, else after the last
            // blank that fit, else between characters.
            if (all[end] == u' ') {
                next = end + 1;
            } else if (lastBlank != std::u16string::npos && lastBlank > start) {
                end = lastBlank;
                next = lastBlank + 1;
            }
        }
        AddRow(all.data() + start, end - start, rowY, x);
        rowY += rowHeight;
        start = next;
    }
    if (out != nullptr) {
        TextLayout layout;
        layout.rowCount = static_cast<int32_t>(rows_.size());
        layout.tallestRowHeight = rows_.empty() ? 0 : rowHeight;
        layout.lastRowWidth = rows_.empty() ? 0 : rows_.back().width;
        layout.lastRowHeight = rows_.empty() ? 0 : rows_.back().height;
        layout.x = x;
        layout.y = y;
        layout.widestRowWidth = GetMaxRowWidth();
        layout.totalHeight = rowHeight * layout.rowCount;
        *out = layout;
    }
}

void CSTextBlock::SetTextA(TextLayout *out, const char *text, int32_t x, int32_t y, int32_t wrapWidth)
{
    const std::u16string wide = text != nullptr ? game::WidenLatin1(text) : std::u16string();
    SetText(out, wide.c_str(), x, y, wrapWidth);
}

int32_t CSTextBlock::GetMaxRowWidth() const
{
    int32_t widest = 0;
    for (const Row &row : rows_) {
        widest = std::max(widest, row.width);
    }
    return widest;
}

void CSTextBlock::GetBounds(int32_t *left, int32_t *top, int32_t *right, int32_t *bottom) const
{
    if (rows_.empty()) {
        *left = *top = *right = *bottom = 0;
        return;
    }
    int32_t l = INT32_MAX, t = INT32_MAX, r = INT32_MIN, b = INT32_MIN;
    for (const Row &row : rows_) {
        l = std::min(l, row.x);
        t = std::min(t, row.y);
        r = std::max(r, row.x + row.width);
        b = std::max(b, row.y + row.height);
    }
    *left = l;
    *top = t;
    *right = r;
    *bottom = b;
}

void CSTextBlock::AlignX(int32_t mode, int32_t x)
{
    const int32_t widest = GetMaxRowWidth();
    for (Row &row : rows_) {
        switch (mode) {
        case kAlignRowsLeft: row.x = x; break;
        case kAlignRowsRight: row.x = x - row.width; break;
        case kAlignBlockCentre: row.x = x - widest / 2; break;
        case kAlignBlockRight: row.x = x - widest; break;
        case kAlignCentre: row.x = x - row.width / 2; break;
        default: break;
        }
    }
}

void CSTextBlock::AlignY(int32_t mode, int32_t y)
{
    int32_t total = 0;
    for (const Row &row : rows_) {
        total += row.height;
    }
    int32_t top = 0;
    switch (mode) {
    case kAlignCentre: top = y - total / 2; break;
    case kAlignTop: top = y; break;
    case kAlignBottom: top = y - total; break;
    default: return;
    }
    for (Row &row : rows_) {
        row.y = top;
        top += row.height;
    }
}

void CSTextBlock::Draw() const
{
    if (!InUse() || rows_.empty() || font_ == nullptr) {
        return;
    }
    for (const Row &row : rows_) {
        font_->DrawRow(row.text.data(), row.text.size(), static_cast<float>(row.x), static_cast<float>(row.y),
                       scale_, color_);
    }
}

CSTextBlock *CSTextBlockPool::Acquire()
{
    for (CSTextBlock &block : blocks_) {
        if (!block.InUse()) {
            block.Reset(1);
            return &block;
        }
    }
    return nullptr;
}

void CSTextBlockPool::ResetAll()
{
    for (CSTextBlock &block : blocks_) {
        block.Reset(0);
    }
    ResetBounds();
}

void CSTextBlockPool::ResetBounds()
{
    boundsEmpty_ = true;
    left_ = top_ = right_ = bottom_ = 0;
}

void CSTextBlockPool::AddBounds(const CSTextBlock *block)
{
    if (block == nullptr || block->Empty()) {
        return;
    }
    int32_t l = 0, t = 0, r = 0, b = 0;
    block->GetBounds(&l, &t, &r, &b);
    // The first block's bounds are the union's; each later one widens it.
    left_ = boundsEmpty_ ? l : std::min(left_, l);
    top_ = boundsEmpty_ ? t : std::min(top_, t);
    right_ = boundsEmpty_ ? r : std::max(right_, r);
    bottom_ = boundsEmpty_ ? b : std::max(bottom_, b);
    boundsEmpty_ = false;
}

void CSTextBlockPool::GetBounds(int32_t *left, int32_t *top, int32_t *right, int32_t *bottom) const
{
    *left = left_;
    *top = top_;
    *right = right_;
    *bottom = bottom_;
}

void CSTextBlockPool::DrawMarked() const
{
    for (const CSTextBlock &block : blocks_) {
        if (block.DrawnByFrame()) {
            block.Draw();
        }
    }
}
