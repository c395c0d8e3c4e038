// The bitmap font on our Direct3D 8 device: glyphs land texel for pixel at
// their offsets in the text's colour, partial coverage blends, a missing
// code draws "?", rows stack by the line height, DrawFontText puts the
// colour back to white, and the frame's text-block step draws only the
// blocks marked for it.
#include <gtest/gtest.h>

#include "app/screen_coords.h"
#include "app/text_block.h"
#include "app/tiny_font.h"
#include "support/engine/headless_screen.h"

namespace font_pixel_test {

namespace {

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;

class FontPixelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.Start(d3d8::DefaultProfile(), 640, 480, nullptr));
        SetScreenClientSize(640, 480);
        std::string error;
        ASSERT_TRUE(font.Create(apptest::TinyFont(), &error)) << error;
        SetGlobalFont(&font);
    }
    void TearDown() override
    {
        SetGlobalFont(nullptr);
        SetFontColor(kFontDefaultColor);
        font.Destroy();
        EXPECT_TRUE(screen.Stop());
    }

    template <typename Draw>
    win::Frame Capture(Draw draw)
    {
        return screen.Capture({0, 0, 0, 255}, draw);
    }

    // Every pixel of the rectangle x0 <= x < x1, y0 <= y < y1 is `inside`,
    // and the one-pixel ring around it is black.
    static void ExpectBlock(const win::Frame &frame, uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1,
                            uint32_t inside)
    {
        for (uint32_t y = y0 - 1; y <= y1; ++y) {
            for (uint32_t x = x0 - 1; x <= x1; ++x) {
                const bool in = x >= x0 && x < x1 && y >= y0 && y < y1;
                ASSERT_EQ(frame.At(x, y) | 0xFF000000u, in ? inside : kBlack) << "at " << x << ", " << y;
            }
        }
    }

    headlessscreen::Screen screen;
    CSBitmapFont font;
};

TEST_F(FontPixelTest, GlyphsLandTexelForPixelInTheirColour)
{
    const win::Frame frame = Capture([&] { font.DrawRow(u"AW", 2, 10.0f, 20.0f, 1.0f, kRed); });
    // 'A': 4 x 6 at offset (1, 1); 'W' after A's step of 6: 7 x 7 at (0, 0).
    ExpectBlock(frame, 11, 21, 15, 27, kRed);
    ExpectBlock(frame, 16, 20, 23, 27, kRed);
}

TEST_F(FontPixelTest, PartialCoverageBlendsWithWhatIsBelow)
{
    const win::Frame frame = Capture([&] { font.DrawRow(u"B", 1, 40.0f, 40.0f, 1.0f, kWhite); });
    for (uint32_t y = 41; y < 47; ++y) {
        for (uint32_t x = 40; x < 42; ++x) {
            const uint32_t p = frame.At(x, y);
            for (int shift = 0; shift < 24; shift += 8) {
                EXPECT_NEAR(static_cast<int>((p >> shift) & 0xFF), 128, 1) << x << ", " << y;
            }
        }
    }
    EXPECT_EQ(frame.At(42, 43) | 0xFF000000u, kBlack);
}

TEST_F(FontPixelTest, MissingCodesDrawAQuestionMark)
{
    const win::Frame frame = Capture([&] { font.DrawRow(u"\x4E2D" u"A", 2, 30.0f, 60.0f, 1.0f, kWhite); });
    ExpectBlock(frame, 30, 62, 33, 67, kWhite);  // '?' 3 x 5 at (0, 2), step 4
    ExpectBlock(frame, 35, 61, 39, 67, kWhite);  // 'A' after it
}

TEST_F(FontPixelTest, BlockRowsStackByTheLineHeight)
{
    CSTextBlock block;
    block.Reset(1);
    block.SetColor(kRed);
    block.SetText(nullptr, u"A\nA", 100, 100, 0);
    const win::Frame frame = Capture([&] { block.Draw(); });
    ExpectBlock(frame, 101, 101, 105, 107, kRed);
    ExpectBlock(frame, 101, 111, 105, 117, kRed);
}

TEST_F(FontPixelTest, DrawFontTextPutsTheColourBackToWhite)
{
    const win::Frame frame = Capture([&] {
        SetFontColor(kRed);
        DrawFontText("A", 200.0f, 200.0f);
        DrawFontText("A", 220.0f, 200.0f);
        DrawFontText(u"A\nA", 240.0f, 200.0f);
    });
    ExpectBlock(frame, 201, 201, 205, 207, kRed);
    ExpectBlock(frame, 221, 201, 225, 207, kWhite);
    ExpectBlock(frame, 241, 211, 245, 217, kWhite);  // a line feed starts a row below
    EXPECT_EQ(GetFontColor(), kWhite);
    // No text, and an empty one, draw nothing and still put the colour back.
    const win::Frame none = Capture([&] {
        SetFontColor(kRed);
        DrawFontText(static_cast<const char *>(nullptr), 200.0f, 200.0f);
        EXPECT_EQ(GetFontColor(), kWhite);
        SetFontColor(kRed);
        DrawFontText("", 200.0f, 200.0f);
        EXPECT_EQ(GetFontColor(), kWhite);
    });
    for (uint32_t y = 195; y < 215; ++y) {
        for (uint32_t x = 195; x < 215; ++x) {
            ASSERT_EQ(none.At(x, y) | 0xFF000000u, kBlack);
        }
    }
}

TEST_F(FontPixelTest, WithoutAFontNothingIsDrawnAndTheColourStillResets)
{
    SetGlobalFont(nullptr);
    const win::Frame frame = Capture([&] {
        SetFontColor(kRed);
        DrawFontText("A", 200.0f, 200.0f);
    });
    EXPECT_EQ(GetFontColor(), kWhite);
    for (uint32_t y = 195; y < 215; ++y) {
        for (uint32_t x = 195; x < 215; ++x) {
            ASSERT_EQ(frame.At(x, y) | 0xFF000000u, kBlack);
        }
    }
}

TEST_F(FontPixelTest, TheFrameStepDrawsOnlyMarkedBlocksInUse)
{
    CSTextBlockPool pool;
    CSTextBlock *owned = pool.Acquire();   // drawn by its owner only
    CSTextBlock *marked = pool.Acquire();  // left to the frame
    CSTextBlock *released = pool.Acquire();
    owned->SetText(nullptr, u"A", 10, 10, 0);
    marked->SetText(nullptr, u"A", 30, 10, 0);
    marked->SetDrawnByFrame(true);
    released->SetText(nullptr, u"A", 50, 10, 0);
    released->SetDrawnByFrame(true);
    released->Reset(0);  // the reset clears the mark and the rows
    const win::Frame frame = Capture([&] { pool.DrawMarked(); });
    EXPECT_EQ(frame.At(12, 13) | 0xFF000000u, kBlack);
    EXPECT_EQ(frame.At(32, 13) | 0xFF000000u, 0xFFBEBEBEu);
    EXPECT_EQ(frame.At(52, 13) | 0xFF000000u, kBlack);
}

TEST_F(FontPixelTest, ALargerScreenScalesTheVirtualPositions)
{
    font.Destroy();
    ASSERT_TRUE(screen.Stop());
    ASSERT_TRUE(screen.Start(d3d8::DefaultProfile(), 800, 600, nullptr));
    SetScreenClientSize(800, 600);
    std::string error;
    ASSERT_TRUE(font.Create(apptest::TinyFont(), &error)) << error;
    // 'W' (7 x 7 at 80, 80 virtual) covers 100..108.75 x 100..108.75 pixels.
    const win::Frame frame = Capture([&] { font.DrawRow(u"W", 1, 80.0f, 80.0f, 1.0f, kRed); });
    SetScreenClientSize(640, 480);
    EXPECT_EQ(frame.At(104, 104) | 0xFF000000u, kRed);
    EXPECT_EQ(frame.At(101, 107) | 0xFF000000u, kRed);
    EXPECT_EQ(frame.At(98, 104) | 0xFF000000u, kBlack);
    EXPECT_EQ(frame.At(111, 104) | 0xFF000000u, kBlack);
}

}  // namespace

}  // namespace font_pixel_test
