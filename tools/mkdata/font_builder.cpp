// Rasterising an outline font into a bitmap font with FreeType.
#include "tools/mkdata/font_builder.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace mkdata {

namespace {

// Empty space kept around each glyph on its page, so smoothed drawing never
// picks up a neighbour.
constexpr int kPadding = 1;

class Library {
public:
    Library() { ok_ = FT_Init_FreeType(&library_) == 0; }
    ~Library()
    {
        if (face_ != nullptr) {
            FT_Done_Face(face_);
        }
        if (ok_) {
            FT_Done_FreeType(library_);
        }
    }
    bool Open(const std::string &path, int pixelSize)
    {
        return ok_ && FT_New_Face(library_, path.c_str(), 0, &face_) == 0 &&
               FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixelSize)) == 0;
    }
    FT_Face Face() const { return face_; }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    bool ok_ = false;
};

int Pixels26_6(FT_Pos value) { return static_cast<int>((value + 32) >> 6); }

// Shelf packing: glyphs left to right, a new shelf below when a row is
// full, a new page when a page is.
class PagePacker {
public:
    PagePacker(game::FontFile *font, int side) : font_(font), side_(side) {}

    bool Place(int w, int h, uint16_t *page, uint16_t *x, uint16_t *y)
    {
        if (w + 2 * kPadding > side_ || h + 2 * kPadding > side_) {
            return false;
        }
        if (font_->pages.empty()) {
            NewPage();
        }
        if (penX_ + w + 2 * kPadding > side_) {
            penX_ = 0;
            penY_ += shelf_;
            shelf_ = 0;
        }
        if (penY_ + h + 2 * kPadding > side_) {
            NewPage();
        }
        *page = static_cast<uint16_t>(font_->pages.size() - 1);
        *x = static_cast<uint16_t>(penX_ + kPadding);
        *y = static_cast<uint16_t>(penY_ + kPadding);
        penX_ += w + 2 * kPadding;
        shelf_ = std::max(shelf_, h + 2 * kPadding);
        return true;
    }

private:
    void NewPage()
    {
        font_->pages.emplace_back(static_cast<size_t>(side_) * static_cast<size_t>(side_), 0);
        penX_ = penY_ = shelf_ = 0;
    }

    game::FontFile *font_;
    int side_;
    int penX_ = 0, penY_ = 0, shelf_ = 0;
};

}  // namespace

const char *SampleOutlineFontPath() { return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"; }

std::vector<char16_t> SampleFontCodes()
{
    std::vector<char16_t> codes;
    for (char16_t c = 0x20; c <= 0x7E; ++c) {
        codes.push_back(c);
    }
    for (char16_t c = 0xA0; c <= 0xFF; ++c) {
        codes.push_back(c);
    }
    // Dashes, quotes, bullet, ellipsis, euro sign.
    for (char16_t c : {0x2013, 0x2014, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2026, 0x20AC}) {
        codes.push_back(c);
    }
    return codes;
}

bool BuildBitmapFont(const FontBuildSpec &spec, game::FontFile *font, std::string *error)
{
    *font = game::FontFile{};
    Library library;
    if (!library.Open(spec.outlinePath, spec.pixelSize)) {
        *error = "cannot read the outline font " + spec.outlinePath;
        return false;
    }
    FT_Face face = library.Face();
    const int ascender = Pixels26_6(face->size->metrics.ascender);
    font->lineHeight = static_cast<uint16_t>(Pixels26_6(face->size->metrics.height));
    font->baseline = static_cast<uint16_t>(ascender);
    font->pageWidth = static_cast<uint16_t>(spec.pageSide);
    font->pageHeight = static_cast<uint16_t>(spec.pageSide);
    std::vector<char16_t> codes = spec.codes;
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    PagePacker packer(font, spec.pageSide);
    for (char16_t code : codes) {
        const FT_UInt index = FT_Get_Char_Index(face, code);
        if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER) != 0) {
            continue;
        }
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap &bitmap = slot->bitmap;
        game::FontGlyph glyph;
        glyph.code = code;
        glyph.w = static_cast<uint16_t>(bitmap.width);
        glyph.h = static_cast<uint16_t>(bitmap.rows);
        glyph.xOffset = static_cast<int16_t>(slot->bitmap_left);
        glyph.yOffset = static_cast<int16_t>(ascender - slot->bitmap_top);
        glyph.advance = static_cast<int16_t>(Pixels26_6(slot->advance.x));
        if (glyph.w != 0 && glyph.h != 0) {
            if (!packer.Place(glyph.w, glyph.h, &glyph.page, &glyph.x, &glyph.y)) {
                *error = "a glyph is larger than a page";
                return false;
            }
            std::vector<uint8_t> &page = font->pages[glyph.page];
            for (unsigned row = 0; row < bitmap.rows; ++row) {
                const unsigned char *source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
                std::copy(source, source + bitmap.width,
                          page.begin() + static_cast<ptrdiff_t>((glyph.y + row) * font->pageWidth + glyph.x));
            }
        }
        font->glyphs.push_back(glyph);
    }
    if (font->pages.empty()) {
        font->pages.emplace_back(static_cast<size_t>(spec.pageSide) * static_cast<size_t>(spec.pageSide), 0);
    }
    return true;
}

}  // namespace mkdata
