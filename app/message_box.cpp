// The message table, the nine-piece frame and the fatal message's text.
#include "app/message_box.h"

#include "app/bitmap_font.h"
#include "app/path.h"

namespace {

// The pieces of the frame in drawing order: top left, top, top right,
// left, middle, right, bottom left, bottom, bottom right. Their source
// rectangles on the 512 x 512 PLAYER art, in art pixels.
struct FrameSource {
    float s0, t0, s1, t1;
};
constexpr FrameSource kFrameSources[9] = {
    {318, 176, 322, 180}, {322, 176, 328, 180}, {328, 176, 332, 180},
    {318, 180, 322, 184}, {322, 180, 328, 188}, {328, 180, 332, 184},
    {318, 188, 322, 192}, {322, 188, 326, 192}, {328, 188, 332, 192},
};
// Corners and edges are 4 units thick, the bottom edge 9.
constexpr int32_t kFrameEdge = 4;
constexpr int32_t kFrameBottom = 9;
// Where the frame stands until a caller fits it.
constexpr int32_t kDefaultFrame[4] = {0, 140, 640, 250};

constexpr uint32_t kTexturedColor = 0xF0F0F0F0u;
// Without the art: a dark panel with light edges, so that text stays readable.
constexpr uint32_t kPlainEdgeColor = 0xF0A0A0A0u;
constexpr uint32_t kPlainMiddleColor = 0xE0202830u;

}  // namespace

CSMessageBox::CSMessageBox()
{
    SetFrameRect(kDefaultFrame[0], kDefaultFrame[1], kDefaultFrame[2], kDefaultFrame[3], 0);
}

void CSMessageBox::SetFrameRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t margin)
{
    const float xs[4] = {static_cast<float>(left - margin), static_cast<float>(left - margin + kFrameEdge),
                         static_cast<float>(right + margin - kFrameEdge), static_cast<float>(right + margin)};
    const float ys[4] = {static_cast<float>(top - margin), static_cast<float>(top - margin + kFrameEdge),
                         static_cast<float>(bottom + margin - kFrameBottom), static_cast<float>(bottom + margin)};
    for (int piece = 0; piece < 9; ++piece) {
        const int column = piece % 3;
        const int row = piece / 3;
        const FrameSource &source = kFrameSources[piece];
        game::SetScreenQuad(&pieces_[piece], xs[column], ys[row], xs[column + 1], ys[row + 1], source.s0 / 512.0f,
                            source.t0 / 512.0f, source.s1 / 512.0f, source.t1 / 512.0f, kTexturedColor);
    }
}

void CSMessageBox::DrawFrame() const
{
    if (frameTexture_ != nullptr) {
        RwSetRenderState(rwRENDERSTATETEXTUREFILTER, RwRenderStateValue(rwFILTERLINEAR));
        RwSetRenderState(rwRENDERSTATETEXTUREADDRESS, RwRenderStateValue(rwTEXTUREADDRESSCLAMP));
        game::DrawScreenQuads(pieces_, 9, RwTextureGetRaster(frameTexture_));
        return;
    }
    game::ScreenQuad plain[9];
    for (int piece = 0; piece < 9; ++piece) {
        plain[piece] = pieces_[piece];
        for (RwIm2DVertex &corner : plain[piece].corners) {
            corner.emissiveColor = piece == 4 ? kPlainMiddleColor : kPlainEdgeColor;
        }
    }
    game::DrawScreenQuads(plain, 9, nullptr);
}

std::u16string CSMessageBox::FatalMessage(const char *fileName) const
{
    const char16_t *lead = table_.Text(kFatalMessageEntry, 0);
    std::u16string message = lead != nullptr ? lead : kBuiltInFatalText;
    // File names are narrow game paths, named as a player finds them.
    message += game::WidenLatin1(MessagePath(fileName).c_str());
    return message;
}
