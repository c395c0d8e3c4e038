// A tiny bitmap font the game's text tests build themselves, with glyphs
// whose sizes, offsets and steps are easy to check on screen: solid blocks
// (coverage 255), one half-covered block, a blank and the "?" that stands
// in for missing codes.
#pragma once

#include <cstdint>

#include "app/font_file.h"

namespace apptest {

inline constexpr int kTinyLineHeight = 10;

// Glyph rectangles on the tiny font's one 32 x 16 page.
inline game::FontFile TinyFont()
{
    game::FontFile font;
    font.lineHeight = kTinyLineHeight;
    font.baseline = 8;
    font.pageWidth = 32;
    font.pageHeight = 16;
    font.pages.assign(1, std::vector<uint8_t>(32 * 16, 0));
    auto block = [&](char16_t code, uint16_t x, uint16_t w, uint16_t h, int16_t xOffset, int16_t yOffset,
                     int16_t advance, uint8_t coverage) {
        game::FontGlyph g;
        g.code = code;
        g.x = x;
        g.y = 0;
        g.w = w;
        g.h = h;
        g.xOffset = xOffset;
        g.yOffset = yOffset;
        g.advance = advance;
        for (uint16_t row = 0; row < h; ++row) {
            for (uint16_t column = 0; column < w; ++column) {
                font.pages[0][size_t(row) * 32 + x + column] = coverage;
            }
        }
        font.glyphs.push_back(g);
    };
    block(u' ', 0, 0, 0, 0, 0, 3, 0);
    block(u'?', 0, 3, 5, 0, 2, 4, 255);
    block(u'A', 4, 4, 6, 1, 1, 6, 255);
    block(u'B', 9, 2, 6, 0, 1, 3, 128);
    block(u'W', 12, 7, 7, 0, 0, 8, 255);
    block(u'i', 20, 1, 6, 0, 1, 2, 255);
    return font;
}

}  // namespace apptest
