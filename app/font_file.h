// The bitmap font file (.XBF): its record in memory, the reader that checks
// every count, code and rectangle before anything is used, and the writer
// the sample-data maker uses. Little-endian throughout:
//   "XBF1"; u16 line height, baseline, page width, page height, page count;
//   u32 glyph count; per glyph (sorted by code, no repeats) u16 code, page,
//   x, y, w, h and i16 x offset, y offset, advance; then every page as
//   page width x page height bytes of 8-bit coverage (alpha).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace game {

struct FontGlyph {
    char16_t code = 0;  // one UTF-16 unit
    uint16_t page = 0;
    uint16_t x = 0, y = 0, w = 0, h = 0;  // rectangle on the page
    int16_t xOffset = 0;  // from the pen position to the bitmap's left edge
    int16_t yOffset = 0;  // from the row's top to the bitmap's top edge
    int16_t advance = 0;  // pen step after the glyph
};

struct FontFile {
    uint16_t lineHeight = 0;
    uint16_t baseline = 0;  // from the row's top
    uint16_t pageWidth = 0;
    uint16_t pageHeight = 0;
    std::vector<FontGlyph> glyphs;            // sorted by code
    std::vector<std::vector<uint8_t>> pages;  // pageWidth x pageHeight each, rows top down
};

inline constexpr size_t kFontHeaderBytes = 18;
inline constexpr size_t kFontGlyphBytes = 18;
// Pages larger than this could not become textures on the device.
inline constexpr uint16_t kFontMaxPageSide = 4096;

// Parses a whole file. False with a one-line reason in *error (the caller
// adds the file name) for anything short, long, out of order or outside
// its page; *font is then left empty.
bool ReadFontFile(const uint8_t *bytes, size_t size, FontFile *font, std::string *error);

// The file's bytes; the font must be one ReadFontFile accepts (the maker
// checks its result by reading it back).
std::vector<uint8_t> WriteFontFile(const FontFile &font);

// The glyph for `code`, or null; binary search over the sorted glyphs.
const FontGlyph *FindFontGlyph(const FontFile &font, char16_t code);

}  // namespace game
