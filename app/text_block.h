// Text blocks: a text laid out in rows of the bitmap font (broken at line
// feeds and at a wrap width), aligned, coloured and drawn by its owner; and
// the game system's pool of 50 of them with the union of several blocks'
// bounds.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/bitmap_font.h"

// What SetText reports, eight words in this order.
struct TextLayout {
    int32_t rowCount = 0;
    int32_t tallestRowHeight = 0;
    int32_t lastRowWidth = 0;
    int32_t lastRowHeight = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t widestRowWidth = 0;
    int32_t totalHeight = 0;
};
static_assert(sizeof(TextLayout) == 8 * sizeof(int32_t), "the layout record is eight 32-bit words");

inline constexpr uint32_t kTextBlockDefaultColor = 0xFFBEBEBEu;

// Alignment modes.
enum : int32_t {
    kAlignRowsLeft = 0,     // AlignX: every row starts at x
    kAlignRowsRight = 1,    // AlignX: every row ends at x
    kAlignBlockCentre = 2,  // AlignX: the block (rows left within it) centred on x
    kAlignBlockRight = 3,   // AlignX: the block (rows left within it) ends at x
    kAlignCentre = 4,       // AlignX: every row centred on x; AlignY: the block centred on y
    kAlignTop = 5,          // AlignY: the block's top at y
    kAlignBottom = 6,       // AlignY: the block's bottom at y
};

class CSTextBlock {
public:
    struct Row {
        std::u16string text;
        int32_t x = 0;
        int32_t y = 0;
        int32_t width = 0;
        int32_t height = 0;
    };

    CSTextBlock() { Reset(0); }

    // Frees the rows; colour grey 190 (alpha 255), scale 1, the global font,
    // not marked for the frame; `inUse` 0 gives the block back to its pool.
    void Reset(uint8_t inUse);

    // Lays the text out in rows from (x, y) downwards: a row ends at a line
    // feed (a closing one adds no row) and before the character that would
    // pass `wrapWidth` (<= 0: no limit), at the last blank that fits, or
    // between characters when a word alone is wider. `out` may be null.
    void SetText(TextLayout *out, const char16_t *text, int32_t x, int32_t y, int32_t wrapWidth);
    // The same for narrow text, whose bytes are read as Latin-1.
    void SetTextA(TextLayout *out, const char *text, int32_t x, int32_t y, int32_t wrapWidth);

    void SetColor(uint32_t argb) { color_ = argb; }
    uint32_t Color() const { return color_; }
    // Scale of the next layout (pen steps and row height alike).
    void SetScale(float scale) { scale_ = scale; }
    float Scale() const { return scale_; }
    void SetFont(const CSBitmapFont *font) { font_ = font; }
    const CSBitmapFont *Font() const { return font_; }

    void AlignX(int32_t mode, int32_t x);
    void AlignY(int32_t mode, int32_t y);

    int32_t GetMaxRowWidth() const;
    // The block's rectangle: left and top of its rows, right and bottom
    // exclusive. All zero while it has no rows.
    void GetBounds(int32_t *left, int32_t *top, int32_t *right, int32_t *bottom) const;

    // Draws every row in the block's colour; nothing when not in use or empty.
    void Draw() const;

    bool InUse() const { return inUse_ != 0; }
    bool Empty() const { return rows_.empty(); }
    const std::vector<Row> &Rows() const { return rows_; }

    // Blocks whose owner leaves their drawing to the frame's text-block step.
    void SetDrawnByFrame(bool on) { drawnByFrame_ = on; }
    bool DrawnByFrame() const { return drawnByFrame_; }

private:
    void AddRow(const char16_t *text, size_t length, int32_t y, int32_t x);

    std::vector<Row> rows_;
    uint32_t color_ = kTextBlockDefaultColor;
    float scale_ = 1.0f;
    const CSBitmapFont *font_ = nullptr;
    uint8_t inUse_ = 0;
    bool drawnByFrame_ = false;
};

class CSTextBlockPool {
public:
    static constexpr size_t kBlocks = 50;

    // The first block not in use, reset and marked in use; null when all are.
    CSTextBlock *Acquire();
    // Gives every block back (teardown).
    void ResetAll();

    // The union rectangle of the blocks added since the last ResetBounds.
    void ResetBounds();
    void AddBounds(const CSTextBlock *block);
    void GetBounds(int32_t *left, int32_t *top, int32_t *right, int32_t *bottom) const;

    // The frame's text-block step: the blocks in use marked for it.
    void DrawMarked() const;

    CSTextBlock &Block(size_t index) { return blocks_[index]; }

private:
    std::array<CSTextBlock, kBlocks> blocks_;
    bool boundsEmpty_ = true;
    int32_t left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
};
