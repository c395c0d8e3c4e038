// The message box: entries found by id, the fatal message's text with and
// without a table, the nine frame pieces fitted around a rectangle (in
// either window size) and drawn with and without the PLAYER art; the
// screen quads under it.
#include <gtest/gtest.h>

#include <vector>

#include "app/message_box.h"
#include "app/screen_coords.h"
#include "app/screen_quad.h"
#include "app/utf8.h"
#include "support/engine/headless_screen.h"

namespace message_box_test {

namespace {

game::MessageTable SmallTable()
{
    game::MessageTable table;
    table.entries.push_back({{u"Missing: "}, 1});
    table.entries.push_back({{u"Yes", u"No"}, 18});
    return table;
}

TEST(MessageBox, FindsEntriesById)
{
    CSMessageBox box;
    EXPECT_EQ(box.FindEntry(1), nullptr);
    box.SetTable(SmallTable());
    ASSERT_NE(box.FindEntry(18), nullptr);
    EXPECT_EQ(box.FindEntry(18)->texts[1], u"No");
    EXPECT_EQ(box.FindEntry(13), nullptr);
}

TEST(MessageBox, FatalMessageIsEntryOneThenTheName)
{
    CSMessageBox box;
    EXPECT_EQ(box.FatalMessage("\\RESOURCE\\FONT\\ENGFONT.XBF"), u"Cannot find the file: RESOURCE/FONT/ENGFONT.XBF");
    box.SetTable(SmallTable());
    EXPECT_EQ(box.FatalMessage("A.DFF"), u"Missing: A.DFF");
    // An entry 1 without texts falls back to the built-in line.
    game::MessageTable empty;
    empty.entries.push_back({{}, 1});
    box.SetTable(empty);
    EXPECT_EQ(box.FatalMessage("A.DFF"), u"Cannot find the file: A.DFF");
    EXPECT_EQ(box.FatalMessage(nullptr), u"Cannot find the file: (no name)");
}

TEST(MessageBox, MessagesGoOutAsUtf8)
{
    EXPECT_EQ(ToUtf8(u"A\u00E9\u20AC"), "A\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(ToUtf8(u"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
    EXPECT_EQ(ToUtf8(u"\xDC00" u"A"), "\xEF\xBF\xBD" "A");
    // Each length at its first and last code.
    EXPECT_EQ(ToUtf8(u"\u007F\u0080\u07FF\u0800\uD7FF\uE000\uFFFF"),
              "\x7F" "\xC2\x80" "\xDF\xBF" "\xE0\xA0\x80" "\xED\x9F\xBF" "\xEE\x80\x80" "\xEF\xBF\xBF");
    EXPECT_EQ(ToUtf8(u"\xD800\xDC00" u"\xDBFF\xDFFF"), "\xF0\x90\x80\x80" "\xF4\x8F\xBF\xBF");
    // A first half followed by anything but a second half stands alone.
    EXPECT_EQ(ToUtf8(u"\xDBFF\xD800" u"\xDBFF\uE000"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEE\x80\x80");
}

// Corner x of a piece's vertex in virtual units (edges sit half a pixel
// before the position at 640 x 480).
float X(const game::ScreenQuad &q, int corner) { return q.corners[corner].x + 0.5f; }
float Y(const game::ScreenQuad &q, int corner) { return q.corners[corner].y + 0.5f; }

TEST(MessageBox, FramePiecesFitAroundTheGrownRectangle)
{
    SetScreenClientSize(640, 480);
    CSMessageBox box;
    // The frame stands at (0, 140)-(640, 250) until fitted.
    const game::ScreenQuad *p = box.FramePieces();
    EXPECT_EQ(X(p[0], 0), 0.0f);
    EXPECT_EQ(Y(p[0], 0), 140.0f);
    EXPECT_EQ(X(p[8], 3), 640.0f);
    EXPECT_EQ(Y(p[8], 3), 250.0f);
    EXPECT_EQ(Y(p[4], 3), 241.0f);
    box.SetFrameRect(100, 200, 300, 260, 10);  // outer (90, 190)-(310, 270)
    const float xs[4] = {90, 94, 306, 310};
    const float ys[4] = {190, 194, 261, 270};
    for (int piece = 0; piece < 9; ++piece) {
        SCOPED_TRACE(piece);
        EXPECT_EQ(X(p[piece], 0), xs[piece % 3]);
        EXPECT_EQ(Y(p[piece], 0), ys[piece / 3]);
        EXPECT_EQ(X(p[piece], 3), xs[piece % 3 + 1]);
        EXPECT_EQ(Y(p[piece], 3), ys[piece / 3 + 1]);
    }
    // Each piece's source cell on the PLAYER art, in art pixels: the corners
    // and edges 4 across, the middle (322, 180)-(328, 188), the bottom edge
    // (322, 188)-(326, 192).
    const float sources[9][4] = {
        {318, 176, 322, 180}, {322, 176, 328, 180}, {328, 176, 332, 180},
        {318, 180, 322, 184}, {322, 180, 328, 188}, {328, 180, 332, 184},
        {318, 188, 322, 192}, {322, 188, 326, 192}, {328, 188, 332, 192},
    };
    for (int piece = 0; piece < 9; ++piece) {
        SCOPED_TRACE(piece);
        EXPECT_FLOAT_EQ(p[piece].corners[0].u * 512.0f, sources[piece][0]);
        EXPECT_FLOAT_EQ(p[piece].corners[0].v * 512.0f, sources[piece][1]);
        EXPECT_FLOAT_EQ(p[piece].corners[3].u * 512.0f, sources[piece][2]);
        EXPECT_FLOAT_EQ(p[piece].corners[3].v * 512.0f, sources[piece][3]);
    }
}

// In the 800 x 600 window the frame keeps its place on the screen: every
// position grows by a quarter; a size of 0 stands for 640 x 480 again.
TEST(MessageBox, FramePiecesScaleToTheWindow)
{
    SetScreenClientSize(800, 600);
    CSMessageBox box;
    box.SetFrameRect(100, 200, 300, 260, 10);  // outer (90, 190)-(310, 270)
    const game::ScreenQuad *p = box.FramePieces();
    EXPECT_FLOAT_EQ(p[0].corners[0].x, 112.0f);  // 90 x 1.25, half a pixel before
    EXPECT_FLOAT_EQ(p[0].corners[0].y, 237.0f);
    EXPECT_FLOAT_EQ(p[8].corners[3].x, 387.0f);
    EXPECT_FLOAT_EQ(p[8].corners[3].y, 337.0f);
    EXPECT_FLOAT_EQ(GetVirtualX(&p[8].corners[3]), 387.0f * 0.8f);
    EXPECT_FLOAT_EQ(GetVirtualY(&p[8].corners[3]), 337.0f * 0.8f);
    SetScreenClientSize(0, 0);
    EXPECT_EQ(ScreenClientWidth(), 640u);
    EXPECT_EQ(ScreenClientHeight(), 480u);
    box.SetFrameRect(100, 200, 300, 260, 10);
    EXPECT_FLOAT_EQ(p[0].corners[0].x, 89.5f);
    EXPECT_FLOAT_EQ(p[0].corners[0].y, 189.5f);
}

class MessageBoxScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.Start(d3d8::DefaultProfile(), 640, 480, nullptr));
        SetScreenClientSize(640, 480);
    }
    void TearDown() override { EXPECT_TRUE(screen.Stop()); }

    // A 512 x 512 PLAYER art whose frame cells are told apart by colour:
    // the middle cell blue, everything else red.
    RwTexture *MakeArt()
    {
        RwImage *image = RwImageCreate(512, 512, 32);
        RwImageAllocatePixels(image);
        for (int y = 0; y < 512; ++y) {
            for (int x = 0; x < 512; ++x) {
                RwUInt8 *p = RwImageGetPixels(image) + y * RwImageGetStride(image) + 4 * x;
                const bool middle = x >= 322 && x < 328 && y >= 180 && y < 188;
                p[0] = middle ? 0 : 255;
                p[1] = 0;
                p[2] = middle ? 255 : 0;
                p[3] = 255;
            }
        }
        RwRaster *raster = RwRasterCreate(512, 512, 0, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888);
        RwRasterSetFromImage(raster, image);
        RwImageDestroy(image);
        return RwTextureCreate(raster);
    }

    headlessscreen::Screen screen;
};

TEST_F(MessageBoxScreenTest, FrameDrawsFromTheArtOrPlain)
{
    CSMessageBox box;
    box.SetFrameRect(100, 100, 300, 200, 0);
    const win::Frame plain = screen.Capture({0, 0, 0, 255}, [&] { box.DrawFrame(); });
    RwTexture *art = MakeArt();
    box.SetFrameTexture(art);
    const win::Frame textured = screen.Capture({0, 0, 0, 255}, [&] { box.DrawFrame(); });
    RwTextureDestroy(art);
    // Untextured: a dark middle with light edges; nothing outside.
    const uint32_t middle = plain.At(200, 150);
    EXPECT_LT(middle & 0xFF, 0x40u);
    EXPECT_GT(plain.At(101, 150) & 0xFF, 0x80u);
    EXPECT_GT(plain.At(200, 198) & 0xFF, 0x80u);
    EXPECT_EQ(plain.At(99, 150) & 0xFFFFFF, 0u);
    EXPECT_EQ(plain.At(200, 200) & 0xFFFFFF, 0u);
    // Textured: the middle piece shows the art's middle cell, an edge its
    // own cell; the colour 0xF0F0F0F0 tints both a little.
    const uint32_t blue = textured.At(200, 150);
    EXPECT_GT(blue & 0xFF, 0xC0u);
    EXPECT_EQ((blue >> 16) & 0xFF, 0u);
    const uint32_t red = textured.At(101, 150);
    EXPECT_GT((red >> 16) & 0xFF, 0xC0u);
    EXPECT_EQ(red & 0xFF, 0u);
}

// More quads than one call of the engine's 2D drawing takes (its index
// buffer holds 10000 indices) go out in several calls: the first and last of
// 3400 are drawn.
TEST_F(MessageBoxScreenTest, ManyQuadsAreAllDrawn)
{
    std::vector<game::ScreenQuad> quads(3400);
    for (size_t i = 0; i < quads.size(); ++i) {
        const float x = static_cast<float>(i % 640);
        const float y = static_cast<float>(i / 640);
        game::SetScreenQuad(&quads[i], x, y, x + 1.0f, y + 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0xFFFFFFFFu);
    }
    const win::Frame drawn =
        screen.Capture({0, 0, 0, 255}, [&] { game::DrawScreenQuads(quads.data(), quads.size(), nullptr); });
    EXPECT_EQ(drawn.At(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(drawn.At(386, 2) & 0xFFFFFF, 0xFFFFFFu);  // quad 1666, the second call's first
    EXPECT_EQ(drawn.At(639, 4) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(drawn.At(199, 5) & 0xFFFFFF, 0xFFFFFFu);  // the last
    EXPECT_EQ(drawn.At(200, 5) & 0xFFFFFF, 0u);
    // Nothing to draw draws nothing.
    const win::Frame none = screen.Capture({0, 0, 0, 255}, [&] { game::DrawScreenQuads(quads.data(), 0, nullptr); });
    EXPECT_EQ(none.At(0, 0) & 0xFFFFFF, 0u);
}

}  // namespace

}  // namespace message_box_test
