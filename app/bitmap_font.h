// The bitmap font on screen: a checked font file with one texture per page,
// measuring and drawing rows of UTF-16 text as 2D quads in 640 x 480 units,
// and the global font that the text blocks and DrawFontText use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/font_file.h"
#include "rwcore.h"

class CSBitmapFont {
public:
    CSBitmapFont() = default;
    CSBitmapFont(const CSBitmapFont &) = delete;
    CSBitmapFont &operator=(const CSBitmapFont &) = delete;
    ~CSBitmapFont() { Destroy(); }

    // Reads the file's bytes and makes the page textures (needs a started
    // engine). False with the reason in *error; the font is then empty.
    bool Create(const uint8_t *bytes, size_t size, std::string *error);
    // Takes a font already read; false when a page texture cannot be made.
    bool Create(game::FontFile file, std::string *error);
    void Destroy();
    bool Loaded() const { return file_.lineHeight != 0; }

    const game::FontFile &File() const { return file_; }
    int32_t LineHeight() const { return file_.lineHeight; }

    // The glyph a code is drawn with: its own, else the font's "?", else
    // null (nothing drawn, no advance). Carriage returns have none.
    const game::FontGlyph *GlyphFor(char16_t code) const;
    // Pen step of a code in unscaled pixels.
    int32_t Advance(char16_t code) const;
    // Width of a row in pixels at `scale` (the sum of the advances, scaled
    // and rounded).
    int32_t RowWidth(const char16_t *text, size_t length, float scale) const;

    // Draws one row with its top-left at (x, y) in 640 x 480 units, in the
    // packed colour (alpha in the top byte); between camera begin and end.
    void DrawRow(const char16_t *text, size_t length, float x, float y, float scale, uint32_t argb) const;

private:
    game::FontFile file_;
    std::vector<RwRaster *> pages_;
    const game::FontGlyph *question_ = nullptr;
};

// The font every text block takes at its reset and DrawFontText draws with
// (null: nothing is drawn). The caller keeps ownership.
void SetGlobalFont(const CSBitmapFont *font);
const CSBitmapFont *GetGlobalFont();

// The colour of the next DrawFontText (opaque white at start).
void SetFontColor(uint32_t argb);
uint32_t GetFontColor();
inline constexpr uint32_t kFontDefaultColor = 0xFFFFFFFFu;

// Draws the text with the global font at (x, y) in 640 x 480 units in the
// current colour, a new row at each line feed, then sets the colour back
// to opaque white. The narrow form reads bytes as Latin-1.
void DrawFontText(const char16_t *text, float x, float y);
void DrawFontText(const char *text, float x, float y);

namespace game {

// Rows scale their row height and pen steps alike.
inline int32_t ScaledPixels(int32_t pixels, float scale)
{
    return static_cast<int32_t>(static_cast<float>(pixels) * scale + 0.5f);
}

// Latin-1 bytes widened to UTF-16.
std::u16string WidenLatin1(const char *text);

}  // namespace game
