// Text block layout with the tiny font: rows at line feeds and at the wrap
// width, the eight-word record, every alignment mode, scale, the pool's 50
// blocks and its union bounds, and what a reset puts back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/text_block.h"
#include "app/tiny_font.h"
#include "support/engine/engine_env.h"

namespace text_block_test {

namespace {


// Steps of the tiny font: ' ' 3, '?' 4, 'A' 6, 'B' 3, 'W' 8, 'i' 2.
class TextBlockTest : public rwtest::EngineTest {
protected:
    void SetUp() override
    {
        rwtest::EngineTest::SetUp();
        std::string error;
        ASSERT_TRUE(font.Create(apptest::TinyFont(), &error)) << error;
        SetGlobalFont(&font);
        block.Reset(1);
    }
    void TearDown() override
    {
        SetGlobalFont(nullptr);
        block.Reset(0);
        font.Destroy();
        rwtest::EngineTest::TearDown();
    }

    std::vector<std::u16string> RowTexts() const
    {
        std::vector<std::u16string> texts;
        for (const auto &row : block.Rows()) {
            texts.push_back(row.text);
        }
        return texts;
    }

    CSBitmapFont font;
    CSTextBlock block;
};

TEST_F(TextBlockTest, RecordHoldsTheEightWords)
{
    TextLayout out;
    block.SetText(&out, u"AAA\nWi", 30, 40, 0);
    EXPECT_EQ(out.rowCount, 2);
    EXPECT_EQ(out.tallestRowHeight, 10);
    EXPECT_EQ(out.lastRowWidth, 10);
    EXPECT_EQ(out.lastRowHeight, 10);
    EXPECT_EQ(out.x, 30);
    EXPECT_EQ(out.y, 40);
    EXPECT_EQ(out.widestRowWidth, 18);
    EXPECT_EQ(out.totalHeight, 20);
    // The record is read as eight words in this order.
    const auto *words = reinterpret_cast<const int32_t *>(&out);
    EXPECT_EQ(words[0], 2);
    EXPECT_EQ(words[6], 18);
    EXPECT_EQ(words[7], 20);
    ASSERT_EQ(block.Rows().size(), 2u);
    EXPECT_EQ(block.Rows()[1].y, 50);
    EXPECT_EQ(block.GetMaxRowWidth(), 18);
}

TEST_F(TextBlockTest, LineFeedsMakeRows)
{
    struct Case {
        const char16_t *text;
        std::vector<std::u16string> rows;
    };
    const Case cases[] = {
        {u"", {}},
        {u"A", {u"A"}},
        {u"A\n", {u"A"}},  // a closing line feed adds no row
        {u"\n", {u""}},
        {u"A\n\nB", {u"A", u"", u"B"}},
        {u"A\r\nB\r\n", {u"A", u"B"}},  // carriage returns are dropped
    };
    for (const Case &c : cases) {
        TextLayout out;
        block.SetText(&out, c.text, 0, 0, 100);
        EXPECT_EQ(RowTexts(), c.rows);
        EXPECT_EQ(out.rowCount, static_cast<int32_t>(c.rows.size()));
        EXPECT_EQ(out.totalHeight, 10 * static_cast<int32_t>(c.rows.size()));
        // No text, no row: nothing of the layout has a size.
        EXPECT_EQ(out.tallestRowHeight, c.rows.empty() ? 0 : 10);
        EXPECT_EQ(out.lastRowHeight, c.rows.empty() ? 0 : 10);
        if (c.rows.empty()) {
            EXPECT_EQ(out.lastRowWidth, 0);
            EXPECT_EQ(out.widestRowWidth, 0);
        }
    }
}

TEST_F(TextBlockTest, RowsWrapAtTheLastBlankThatFits)
{
    struct Case {
        const char16_t *text;
        int32_t wrap;
        std::vector<std::u16string> rows;
    };
    const Case cases[] = {
        // "AA AA" is 6+6+3+6+6 = 27 wide.
        {u"AA AA", 27, {u"AA AA"}},
        {u"AA AA", 26, {u"AA", u"AA"}},
        // The blank that would pass the width ends the row and is dropped.
        {u"AA AA", 12, {u"AA", u"AA"}},
        {u"A A A A", 24, {u"A A A", u"A"}},
        {u"A A A A", 21, {u"A A", u"A A"}},
        // A word wider than the width is cut between characters.
        {u"AAAAA", 12, {u"AA", u"AA", u"A"}},
        {u"i AAAAA", 13, {u"i", u"AA", u"AA", u"A"}},
        // A width below one character still gives one character a row.
        {u"AB", 1, {u"A", u"B"}},
        // Line feeds and wrapping together.
        {u"AA AA\nA", 14, {u"AA", u"AA", u"A"}},
        // No limit.
        {u"AA AA AA AA", 0, {u"AA AA AA AA"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "wrap " << c.wrap);
        block.SetText(nullptr, c.text, 0, 0, c.wrap);
        EXPECT_EQ(RowTexts(), c.rows);
        for (const auto &row : block.Rows()) {
            if (c.wrap > 0 && row.text.size() > 1) {
                EXPECT_LE(row.width, c.wrap);
            }
        }
    }
}

TEST_F(TextBlockTest, MissingCodesMeasureAsQuestionMarks)
{
    block.SetText(nullptr, u"A\x4E2D" u"A", 0, 0, 0);
    ASSERT_EQ(block.Rows().size(), 1u);
    EXPECT_EQ(block.Rows()[0].width, 6 + 4 + 6);
}

// The font itself: a carriage return takes no room, and a font without a
// "?" gives a code it lacks no room either (nothing stands in for it).
TEST_F(TextBlockTest, ACarriageReturnAndACodeWithoutAStandInTakeNoRoom)
{
    EXPECT_EQ(font.RowWidth(u"A\rA", 3, 1.0f), 12);
    game::FontFile noQuestion = apptest::TinyFont();
    std::erase_if(noQuestion.glyphs, [](const game::FontGlyph &g) { return g.code == u'?'; });
    CSBitmapFont plain;
    std::string error;
    ASSERT_TRUE(plain.Create(std::move(noQuestion), &error)) << error;
    EXPECT_EQ(plain.RowWidth(u"A\x4E2D" u"A", 3, 1.0f), 12);
    EXPECT_EQ(plain.RowWidth(u"A\x4E2D" u"A", 3, 2.0f), 24);
    plain.Destroy();
}

TEST_F(TextBlockTest, ScaleGrowsStepsAndRows)
{
    block.SetScale(1.5f);
    TextLayout out;
    block.SetText(&out, u"AA\nW", 0, 0, 0);
    EXPECT_EQ(out.tallestRowHeight, 15);
    EXPECT_EQ(out.totalHeight, 30);
    EXPECT_EQ(out.widestRowWidth, 18);
    EXPECT_EQ(out.lastRowWidth, 12);
    // Wrapping compares scaled widths: "AA" is 18 wide at 1.5.
    block.SetText(&out, u"AA", 0, 0, 17);
    EXPECT_EQ(out.rowCount, 2);
}

TEST_F(TextBlockTest, NarrowTextIsLatin1)
{
    TextLayout out;
    block.SetTextA(&out, "A\xC4i", 0, 0, 0);
    ASSERT_EQ(block.Rows().size(), 1u);
    EXPECT_EQ(block.Rows()[0].text, std::u16string(u"A\u00C4i"));
    EXPECT_EQ(out.widestRowWidth, 6 + 4 + 2);  // U+00C4 has no glyph: "?"
}

TEST_F(TextBlockTest, EveryAlignmentMode)
{
    // Rows 18 ("AAA") and 8 ("W") wide, laid out at (7, 9), aligned on 100;
    // each case gives where the two rows land: (x0, y0) and (x1, y1).
    struct Case {
        bool horizontal;
        int32_t mode;
        int32_t x0, y0, x1, y1;
    };
    const Case cases[] = {
        {true, kAlignRowsLeft, 100, 9, 100, 19},
        {true, kAlignRowsRight, 82, 9, 92, 19},
        {true, kAlignBlockCentre, 91, 9, 91, 19},
        {true, kAlignBlockRight, 82, 9, 82, 19},
        {true, kAlignCentre, 91, 9, 96, 19},
        {true, 5, 7, 9, 7, 19},  // a mode the direction does not know
        {false, kAlignCentre, 7, 90, 7, 100},
        {false, kAlignTop, 7, 100, 7, 110},
        {false, kAlignBottom, 7, 80, 7, 90},
        {false, kAlignRowsLeft, 7, 9, 7, 19},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << (c.horizontal ? "AlignX " : "AlignY ") << c.mode);
        block.SetText(nullptr, u"AAA\nW", 7, 9, 0);
        if (c.horizontal) {
            block.AlignX(c.mode, 100);
        } else {
            block.AlignY(c.mode, 100);
        }
        EXPECT_EQ(block.Rows()[0].x, c.x0);
        EXPECT_EQ(block.Rows()[0].y, c.y0);
        EXPECT_EQ(block.Rows()[1].x, c.x1);
        EXPECT_EQ(block.Rows()[1].y, c.y1);
    }
}

TEST_F(TextBlockTest, ResetPutsTheDefaultsBack)
{
    CSBitmapFont other;
    block.SetColor(0x80112233u);
    block.SetScale(2.0f);
    block.SetFont(&other);
    block.SetDrawnByFrame(true);
    block.SetText(nullptr, u"AAA", 0, 0, 0);
    block.Reset(1);
    EXPECT_TRUE(block.InUse());
    EXPECT_TRUE(block.Empty());
    EXPECT_EQ(block.Color(), 0xFFBEBEBEu);
    EXPECT_EQ(block.Scale(), 1.0f);
    EXPECT_EQ(block.Font(), &font);
    EXPECT_FALSE(block.DrawnByFrame());
    block.Reset(0);
    EXPECT_FALSE(block.InUse());
}

TEST_F(TextBlockTest, PoolHandsOutFiftyBlocks)
{
    CSTextBlockPool pool;
    std::vector<CSTextBlock *> taken;
    for (int i = 0; i < 50; ++i) {
        CSTextBlock *b = pool.Acquire();
        ASSERT_NE(b, nullptr) << i;
        EXPECT_TRUE(b->InUse());
        EXPECT_EQ(b->Font(), &font);
        taken.push_back(b);
    }
    EXPECT_EQ(pool.Acquire(), nullptr);
    // A block given back is the next one handed out, reset.
    taken[17]->SetColor(0xFF00FF00u);
    taken[17]->SetText(nullptr, u"A", 0, 0, 0);
    taken[17]->Reset(0);
    CSTextBlock *again = pool.Acquire();
    EXPECT_EQ(again, taken[17]);
    EXPECT_EQ(again->Color(), 0xFFBEBEBEu);
    EXPECT_TRUE(again->Empty());
    pool.ResetAll();
    EXPECT_FALSE(taken[0]->InUse());
}

TEST_F(TextBlockTest, PoolBoundsAreTheUnion)
{
    CSTextBlockPool pool;
    CSTextBlock *a = pool.Acquire();
    CSTextBlock *b = pool.Acquire();
    CSTextBlock *empty = pool.Acquire();
    a->SetText(nullptr, u"AAA\nW", 10, 20, 0);  // 10..28 x 20..40
    b->SetText(nullptr, u"i", 50, 5, 0);        // 50..52 x 5..15
    b->AlignX(kAlignRowsRight, 60);       // 58..60
    pool.ResetBounds();
    pool.AddBounds(a);
    pool.AddBounds(empty);  // no rows: no effect
    pool.AddBounds(b);
    int32_t l = 0, t = 0, r = 0, btm = 0;
    pool.GetBounds(&l, &t, &r, &btm);
    EXPECT_EQ(l, 10);
    EXPECT_EQ(t, 5);
    EXPECT_EQ(r, 60);
    EXPECT_EQ(btm, 40);
    pool.ResetBounds();
    pool.AddBounds(b);
    pool.GetBounds(&l, &t, &r, &btm);
    EXPECT_EQ(l, 58);
    EXPECT_EQ(t, 5);
    EXPECT_EQ(r, 60);
    EXPECT_EQ(btm, 15);
    // A block without rows covers nothing.
    empty->GetBounds(&l, &t, &r, &btm);
    EXPECT_EQ(l, 0);
    EXPECT_EQ(t, 0);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(btm, 0);
}

TEST_F(TextBlockTest, WithoutAFontRowsHaveNoSize)
{
    SetGlobalFont(nullptr);
    block.Reset(1);
    TextLayout out;
    block.SetText(&out, u"AA\nA", 3, 4, 10);
    EXPECT_EQ(out.rowCount, 2);
    // Nothing measures, so nothing wraps.
    TextLayout unwrapped;
    block.SetText(&unwrapped, u"AAAAAAAAAAAAAAAAAAAA AAAAAAAAAA", 3, 4, 10);
    EXPECT_EQ(unwrapped.rowCount, 1);
    EXPECT_EQ(out.totalHeight, 0);
    EXPECT_EQ(out.widestRowWidth, 0);
    block.Draw();  // nothing to draw with: no crash
}

}  // namespace

}  // namespace text_block_test
