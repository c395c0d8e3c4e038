// The message box: entries found by id, the fatal message's text with and
// without a table, the nine frame pieces fitted around a rectangle and
// drawn with and without the PLAYER art.
#include <gtest/gtest.h>

#include "app/message_box.h"
#include "app/screen_coords.h"
#include "app/utf8.h"
#include "support/engine/headless_screen.h"

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
    // Sources on the PLAYER art: the middle (322, 180)-(328, 188), the
    // bottom edge (322, 188)-(326, 192).
    EXPECT_FLOAT_EQ(p[4].corners[0].u * 512.0f, 322.0f);
    EXPECT_FLOAT_EQ(p[4].corners[0].v * 512.0f, 180.0f);
    EXPECT_FLOAT_EQ(p[4].corners[3].u * 512.0f, 328.0f);
    EXPECT_FLOAT_EQ(p[4].corners[3].v * 512.0f, 188.0f);
    EXPECT_FLOAT_EQ(p[7].corners[3].u * 512.0f, 326.0f);
    EXPECT_FLOAT_EQ(p[7].corners[3].v * 512.0f, 192.0f);
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

}  // namespace
