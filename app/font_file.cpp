// Reading and writing the bitmap font file; see font_file.h for the layout.
#include "app/font_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/byte_reader.h"

namespace game {

namespace {

bool Fail(std::string *error, const std::string &why, FontFile *font)
{
    *font = FontFile{};
    *error = why;
    return false;
}

std::string GlyphName(size_t index, char16_t code)
{
    char text[48];
    std::snprintf(text, sizeof text, "glyph %zu (code 0x%04X)", index, static_cast<unsigned>(code));
    return text;
}

bool ReadGlyph(ByteReader *in, FontGlyph *g)
{
    uint16_t code{};
    bool ok = in->U16(&code) && in->U16(&g->page) && in->U16(&g->x) && in->U16(&g->y) && in->U16(&g->w) &&
              in->U16(&g->h) && in->I16(&g->xOffset) && in->I16(&g->yOffset) && in->I16(&g->advance);
    g->code = static_cast<char16_t>(code);
    return ok;
}

}  // namespace

bool ReadFontFile(const uint8_t *bytes, size_t size, FontFile *font, std::string *error)
{
    *font = FontFile{};
    ByteReader in(bytes, size);
    const uint8_t *magic = nullptr;
    uint16_t pageCount{};
    uint32_t glyphCount{};
    if (!in.Bytes(4, &magic) || !in.U16(&font->lineHeight) || !in.U16(&font->baseline) ||
        !in.U16(&font->pageWidth) || !in.U16(&font->pageHeight) || !in.U16(&pageCount) || !in.U32(&glyphCount)) {
        return Fail(error, "shorter than its header", font);
    }
    if (std::memcmp(magic, "XBF1", 4) != 0) {
        return Fail(error, "not a bitmap font (no XBF1 mark)", font);
    }
    if (font->lineHeight == 0 || font->baseline > font->lineHeight) {
        return Fail(error, "line height 0 or baseline below the line", font);
    }
    if (font->pageWidth == 0 || font->pageHeight == 0 || font->pageWidth > kFontMaxPageSide ||
        font->pageHeight > kFontMaxPageSide) {
        return Fail(error, "page size outside 1..4096", font);
    }
    // Counts first, against the bytes that are really there.
    const size_t pageBytes = size_t{font->pageWidth} * font->pageHeight;
    if (glyphCount > in.Remaining() / kFontGlyphBytes) {
        return Fail(error, "glyph count past the end of the file", font);
    }
    const size_t afterGlyphs = in.Remaining() - glyphCount * kFontGlyphBytes;
    if (afterGlyphs != pageBytes * pageCount) {
        return Fail(error, afterGlyphs < pageBytes * pageCount ? "pages cut short" : "bytes after the last page",
                    font);
    }
    font->glyphs.resize(glyphCount);
    for (size_t i = 0; i < glyphCount; ++i) {
        FontGlyph &g = font->glyphs[i];
        ReadGlyph(&in, &g);  // the counts above guarantee the bytes
        if (i > 0 && g.code <= font->glyphs[i - 1].code) {
            return Fail(error, GlyphName(i, g.code) + " out of code order", font);
        }
        if (g.page >= pageCount) {
            return Fail(error, GlyphName(i, g.code) + " on a page the file does not have", font);
        }
        if (g.x + size_t{g.w} > font->pageWidth || g.y + size_t{g.h} > font->pageHeight) {
            return Fail(error, GlyphName(i, g.code) + " lies outside its page", font);
        }
        if (g.advance < 0) {
            return Fail(error, GlyphName(i, g.code) + " steps backwards", font);
        }
    }
    font->pages.resize(pageCount);
    for (auto &page : font->pages) {
        const uint8_t *pixels = nullptr;
        in.Bytes(pageBytes, &pixels);
        page.assign(pixels, pixels + pageBytes);
    }
    error->clear();
    return true;
}

std::vector<uint8_t> WriteFontFile(const FontFile &font)
{
    std::vector<uint8_t> out = {'X', 'B', 'F', '1'};
    PutU16(&out, font.lineHeight);
    PutU16(&out, font.baseline);
    PutU16(&out, font.pageWidth);
    PutU16(&out, font.pageHeight);
    PutU16(&out, static_cast<uint16_t>(font.pages.size()));
    PutU32(&out, static_cast<uint32_t>(font.glyphs.size()));
    for (const FontGlyph &g : font.glyphs) {
        PutU16(&out, static_cast<uint16_t>(g.code));
        PutU16(&out, g.page);
        PutU16(&out, g.x);
        PutU16(&out, g.y);
        PutU16(&out, g.w);
        PutU16(&out, g.h);
        PutI16(&out, g.xOffset);
        PutI16(&out, g.yOffset);
        PutI16(&out, g.advance);
    }
    for (const auto &page : font.pages) {
        out.insert(out.end(), page.begin(), page.end());
    }
    return out;
}

const FontGlyph *FindFontGlyph(const FontFile &font, char16_t code)
{
    auto it = std::lower_bound(font.glyphs.begin(), font.glyphs.end(), code,
                               [](const FontGlyph &g, char16_t c) { return g.code < c; });
    return it != font.glyphs.end() && it->code == code ? &*it : nullptr;
}

}  // namespace game
