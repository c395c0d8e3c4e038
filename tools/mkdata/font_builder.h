// The font builder: rasterises an outline font with FreeType at a pixel
// size into the game's bitmap font record (glyphs packed row by row onto
// pages of 8-bit coverage).
#pragma once

#include <string>
#include <vector>

#include "app/font_file.h"

namespace mkdata {

struct FontBuildSpec {
    std::string outlinePath;  // a TrueType or OpenType file
    int pixelSize = 16;       // em size in pixels
    std::vector<char16_t> codes;
    int pageSide = 256;
};

// The outline font the sample uses (DejaVu Sans from fonts-dejavu-core).
const char *SampleOutlineFontPath();
// Printable ASCII, Latin-1 and the common punctuation of the sample texts.
std::vector<char16_t> SampleFontCodes();

// False with the reason in *error when the outline font cannot be read or
// a glyph does not fit a page. Codes the outline font lacks are left out.
bool BuildBitmapFont(const FontBuildSpec &spec, game::FontFile *font, std::string *error);

}  // namespace mkdata
