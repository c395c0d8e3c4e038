// Page textures, measuring and drawing of the bitmap font.
#include "app/bitmap_font.h"

#include <utility>

#include "app/screen_coords.h"
#include "app/screen_quad.h"

using game::FontFile;
using game::FontGlyph;
using game::ScaledPixels;
using game::ScreenQuad;

namespace {

const CSBitmapFont *globalFont = nullptr;
uint32_t fontColor = kFontDefaultColor;

// White texels whose alpha is the page's coverage, so the vertex colour
// alone gives the text its colour.
RwRaster *MakePageRaster(const FontFile &file, const std::vector<uint8_t> &page)
{
    RwImage *image = RwImageCreate(file.pageWidth, file.pageHeight, 32);
    if (image == nullptr || RwImageAllocatePixels(image) == nullptr) {
        if (image != nullptr) {
            RwImageDestroy(image);
        }
        return nullptr;
    }
    for (uint32_t y = 0; y < file.pageHeight; ++y) {
        RwUInt8 *row = RwImageGetPixels(image) + static_cast<size_t>(y) * static_cast<size_t>(RwImageGetStride(image));
        for (uint32_t x = 0; x < file.pageWidth; ++x) {
            row[4 * x + 0] = 0xFF;  // red, green, blue, alpha
            row[4 * x + 1] = 0xFF;
            row[4 * x + 2] = 0xFF;
            row[4 * x + 3] = page[static_cast<size_t>(y) * file.pageWidth + x];
        }
    }
    RwRaster *raster = RwRasterCreate(file.pageWidth, file.pageHeight, 0, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888);
    if (raster != nullptr && RwRasterSetFromImage(raster, image) == nullptr) {
        RwRasterDestroy(raster);
        raster = nullptr;
    }
    RwImageDestroy(image);
    return raster;
}

void SetTextStates(float scale)
{
    RwSetRenderState(rwRENDERSTATETEXTUREADDRESS, RwRenderStateValue(rwTEXTUREADDRESSCLAMP));
    // One texel to one pixel draws sharp; anything scaled is smoothed.
    const bool exact = scale == 1.0f && ScreenClientWidth() == 640 && ScreenClientHeight() == 480;
    RwSetRenderState(rwRENDERSTATETEXTUREFILTER, RwRenderStateValue(exact ? rwFILTERNEAREST : rwFILTERLINEAR));
}

}  // namespace

bool CSBitmapFont::Create(const uint8_t *bytes, size_t size, std::string *error)
{
    FontFile file;
    if (!game::ReadFontFile(bytes, size, &file, error)) {
        Destroy();
        return false;
    }
    return Create(std::move(file), error);
}

bool CSBitmapFont::Create(FontFile file, std::string *error)
{
    Destroy();
    file_ = std::move(file);
    for (const auto &page : file_.pages) {
        RwRaster *raster = MakePageRaster(file_, page);
        if (raster == nullptr) {
            *error = "a page texture could not be made";
            Destroy();
            return false;
        }
        pages_.push_back(raster);
    }
    question_ = game::FindFontGlyph(file_, u'?');
    return true;
}

void CSBitmapFont::Destroy()
{
    for (RwRaster *raster : pages_) {
        RwRasterDestroy(raster);
    }
    pages_.clear();
    file_ = FontFile{};
    question_ = nullptr;
}

const FontGlyph *CSBitmapFont::GlyphFor(char16_t code) const
{
    if (code == u'\r') {
        return nullptr;
    }
    const FontGlyph *glyph = game::FindFontGlyph(file_, code);
    return glyph != nullptr ? glyph : question_;
}

int32_t CSBitmapFont::Advance(char16_t code) const
{
    const FontGlyph *glyph = GlyphFor(code);
    return glyph != nullptr ? glyph->advance : 0;
}

int32_t CSBitmapFont::RowWidth(const char16_t *text, size_t length, float scale) const
{
    int32_t sum = 0;
    for (size_t i = 0; i < length; ++i) {
        sum += Advance(text[i]);
    }
    return ScaledPixels(sum, scale);
}

void CSBitmapFont::DrawRow(const char16_t *text, size_t length, float x, float y, float scale, uint32_t argb) const
{
    if (pages_.empty() || length == 0) {
        return;
    }
    SetTextStates(scale);
    const float pw = file_.pageWidth;
    const float ph = file_.pageHeight;
    // Glyphs of one page go in one call.
    std::vector<ScreenQuad> quads;
    int current = -1;
    auto flush = [&] {
        if (current >= 0) {
            game::DrawScreenQuads(quads.data(), quads.size(), pages_[static_cast<size_t>(current)]);
        }
        quads.clear();
    };
    float pen = x;
    for (size_t i = 0; i < length; ++i) {
        const FontGlyph *g = GlyphFor(text[i]);
        if (g == nullptr) {
            continue;
        }
        if (g->w != 0 && g->h != 0) {
            if (current != g->page) {
                flush();
                current = g->page;
            }
            const float x0 = pen + static_cast<float>(g->xOffset) * scale;
            const float y0 = y + static_cast<float>(g->yOffset) * scale;
            ScreenQuad quad;
            game::SetScreenQuad(&quad, x0, y0, x0 + static_cast<float>(g->w) * scale, y0 + static_cast<float>(g->h) * scale,
                          static_cast<float>(g->x) / pw, static_cast<float>(g->y) / ph,
                          static_cast<float>(g->x + g->w) / pw, static_cast<float>(g->y + g->h) / ph, argb);
            quads.push_back(quad);
        }
        pen += static_cast<float>(g->advance) * scale;
    }
    flush();
}

void SetGlobalFont(const CSBitmapFont *font) { globalFont = font; }
const CSBitmapFont *GetGlobalFont() { return globalFont; }

void SetFontColor(uint32_t argb) { fontColor = argb; }
uint32_t GetFontColor() { return fontColor; }

void DrawFontText(const char16_t *text, float x, float y)
{
    if (globalFont != nullptr && text != nullptr) {
        const float rowHeight = static_cast<float>(globalFont->LineHeight());
        const char16_t *row = text;
        for (const char16_t *at = text;; ++at) {
            if (*at == u'\n' || *at == 0) {
                globalFont->DrawRow(row, static_cast<size_t>(at - row), x, y, 1.0f, fontColor);
                if (*at == 0) {
                    break;
                }
                row = at + 1;
                y += rowHeight;
            }
        }
    }
    fontColor = kFontDefaultColor;
}

void DrawFontText(const char *text, float x, float y)
{
    if (text == nullptr) {
        fontColor = kFontDefaultColor;
        return;
    }
    const std::u16string wide = game::WidenLatin1(text);
    DrawFontText(wide.c_str(), x, y);
}

namespace game {

std::u16string WidenLatin1(const char *text)
{
    std::u16string wide;
    for (const char *p = text; *p != 0; ++p) {
        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(*p)));
    }
    return wide;
}

}  // namespace game
