// Page textures, measuring and drawing of the bitmap font.
#include "app/bitmap_font.h"

#include <utility>

#include "app/screen_coords.h"

namespace game {

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

// Glyph quads of one page, drawn together.
class QuadBatch {
public:
    void Add(float x0, float y0, float x1, float y1, float u0, float v0, float u1, float v1, uint32_t argb)
    {
        const RwReal z = RwIm2DScreenZNear();
        const RwCamera *camera = RwCameraGetCurrentCamera();
        const RwReal rhw = camera != nullptr ? 1.0f / RwCameraGetNearClipPlane(camera) : 1.0f;
        const auto base = static_cast<RwImVertexIndex>(vertices_.size());
        const float xs[2] = {x0, x1};
        const float ys[2] = {y0, y1};
        const float us[2] = {u0, u1};
        const float vs[2] = {v0, v1};
        // Corners 0 top left, 1 bottom left, 2 top right, 3 bottom right;
        // pixel centres lie on integers, so edges move half a pixel back
        // to put each texel on one pixel.
        for (int corner = 0; corner < 4; ++corner) {
            RwIm2DVertex v{};
            SetScreenX(&v, xs[corner / 2]);
            SetScreenY(&v, ys[corner % 2]);
            v.x -= 0.5f;
            v.y -= 0.5f;
            v.z = z;
            v.rhw = rhw;
            v.emissiveColor = argb;
            v.u = us[corner / 2];
            v.v = vs[corner % 2];
            vertices_.push_back(v);
        }
        for (RwImVertexIndex i : {0, 2, 1, 1, 2, 3}) {
            indices_.push_back(static_cast<RwImVertexIndex>(base + i));
        }
    }

    void Flush(RwRaster *page)
    {
        if (vertices_.empty()) {
            return;
        }
        RwSetRenderState(rwRENDERSTATETEXTURERASTER, page);
        RwIm2DDrawIndexedPrimitive(rwPRIMTYPETRILIST, vertices_.data(), static_cast<RwInt32>(vertices_.size()),
                                   indices_.data(), static_cast<RwInt32>(indices_.size()));
        vertices_.clear();
        indices_.clear();
    }

    // Index values stay within 16 bits.
    bool Full() const { return vertices_.size() >= 60000; }

private:
    std::vector<RwIm2DVertex> vertices_;
    std::vector<RwImVertexIndex> indices_;
};

void SetTextStates(float scale)
{
    RwSetRenderState(rwRENDERSTATEVERTEXALPHAENABLE, RwRenderStateValue(1));
    RwSetRenderState(rwRENDERSTATESRCBLEND, RwRenderStateValue(rwBLENDSRCALPHA));
    RwSetRenderState(rwRENDERSTATEDESTBLEND, RwRenderStateValue(rwBLENDINVSRCALPHA));
    RwSetRenderState(rwRENDERSTATEZTESTENABLE, RwRenderStateValue(0));
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(0));
    RwSetRenderState(rwRENDERSTATETEXTUREADDRESS, RwRenderStateValue(rwTEXTUREADDRESSCLAMP));
    // One texel to one pixel draws sharp; anything scaled is smoothed.
    const bool exact = scale == 1.0f && ScreenClientWidth() == 640 && ScreenClientHeight() == 480;
    RwSetRenderState(rwRENDERSTATETEXTUREFILTER, RwRenderStateValue(exact ? rwFILTERNEAREST : rwFILTERLINEAR));
}

}  // namespace

bool CSBitmapFont::Create(const uint8_t *bytes, size_t size, std::string *error)
{
    FontFile file;
    if (!ReadFontFile(bytes, size, &file, error)) {
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
    question_ = FindFontGlyph(file_, u'?');
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
    const FontGlyph *glyph = FindFontGlyph(file_, code);
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
    QuadBatch batch;
    int current = -1;
    float pen = x;
    for (size_t i = 0; i < length; ++i) {
        const FontGlyph *g = GlyphFor(text[i]);
        if (g == nullptr) {
            continue;
        }
        if (g->w != 0 && g->h != 0) {
            if (current != g->page || batch.Full()) {
                batch.Flush(current >= 0 ? pages_[static_cast<size_t>(current)] : nullptr);
                current = g->page;
            }
            const float x0 = pen + static_cast<float>(g->xOffset) * scale;
            const float y0 = y + static_cast<float>(g->yOffset) * scale;
            batch.Add(x0, y0, x0 + static_cast<float>(g->w) * scale, y0 + static_cast<float>(g->h) * scale,
                      static_cast<float>(g->x) / pw, static_cast<float>(g->y) / ph,
                      static_cast<float>(g->x + g->w) / pw, static_cast<float>(g->y + g->h) / ph, argb);
        }
        pen += static_cast<float>(g->advance) * scale;
    }
    batch.Flush(current >= 0 ? pages_[static_cast<size_t>(current)] : nullptr);
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, nullptr);
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
    const std::u16string wide = WidenLatin1(text);
    DrawFontText(wide.c_str(), x, y);
}

std::u16string WidenLatin1(const char *text)
{
    std::u16string wide;
    for (const char *p = text; *p != 0; ++p) {
        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(*p)));
    }
    return wide;
}

}  // namespace game
