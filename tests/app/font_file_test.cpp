// The bitmap font file: a written font reads back equal, and every kind of
// damaged or hostile file is refused with a reason instead of being used.
#include <gtest/gtest.h>

#include <cstring>

#include "app/byte_reader.h"
#include "app/font_file.h"
#include "app/tiny_font.h"

namespace font_file_test {

namespace {

using game::FontFile;
using game::ReadFontFile;
using game::WriteFontFile;

// Byte offset of glyph i's field at `fieldOffset` within its record.
size_t GlyphField(size_t i, size_t fieldOffset) { return game::kFontHeaderBytes + i * game::kFontGlyphBytes + fieldOffset; }

void Poke16(std::vector<uint8_t> *bytes, size_t at, uint16_t value)
{
    (*bytes)[at] = static_cast<uint8_t>(value);
    (*bytes)[at + 1] = static_cast<uint8_t>(value >> 8);
}

std::string Refusal(const std::vector<uint8_t> &bytes)
{
    FontFile font;
    std::string error;
    EXPECT_FALSE(ReadFontFile(bytes.data(), bytes.size(), &font, &error));
    EXPECT_TRUE(font.glyphs.empty());
    EXPECT_TRUE(font.pages.empty());
    EXPECT_FALSE(error.empty());
    return error;
}

TEST(FontFile, WrittenFontReadsBackEqual)
{
    const FontFile tiny = apptest::TinyFont();
    const std::vector<uint8_t> bytes = WriteFontFile(tiny);
    ASSERT_EQ(bytes.size(), game::kFontHeaderBytes + tiny.glyphs.size() * game::kFontGlyphBytes + 32 * 16);
    FontFile back;
    std::string error;
    ASSERT_TRUE(ReadFontFile(bytes.data(), bytes.size(), &back, &error)) << error;
    EXPECT_EQ(back.lineHeight, tiny.lineHeight);
    EXPECT_EQ(back.baseline, tiny.baseline);
    EXPECT_EQ(back.pageWidth, 32);
    EXPECT_EQ(back.pageHeight, 16);
    EXPECT_EQ(back.pages, tiny.pages);
    ASSERT_EQ(back.glyphs.size(), tiny.glyphs.size());
    for (size_t i = 0; i < tiny.glyphs.size(); ++i) {
        EXPECT_EQ(0, std::memcmp(&back.glyphs[i], &tiny.glyphs[i], sizeof(game::FontGlyph))) << i;
    }
    EXPECT_EQ(WriteFontFile(back), bytes);
}

TEST(FontFile, GlyphLookupIsByCode)
{
    const FontFile tiny = apptest::TinyFont();
    ASSERT_NE(game::FindFontGlyph(tiny, u'W'), nullptr);
    EXPECT_EQ(game::FindFontGlyph(tiny, u'W')->advance, 8);
    EXPECT_EQ(game::FindFontGlyph(tiny, u'C'), nullptr);
    EXPECT_EQ(game::FindFontGlyph(tiny, u'\x1F'), nullptr);
    EXPECT_EQ(game::FindFontGlyph(tiny, u'\xFFFF'), nullptr);
}

TEST(FontFile, EveryTruncationIsRefused)
{
    const std::vector<uint8_t> bytes = WriteFontFile(apptest::TinyFont());
    for (size_t size = 0; size < bytes.size(); ++size) {
        const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(size));
        FontFile font;
        std::string error;
        EXPECT_FALSE(ReadFontFile(cut.data(), cut.size(), &font, &error)) << size;
        EXPECT_FALSE(error.empty());
    }
}

TEST(FontFile, HostileFilesAreRefusedWithTheirReason)
{
    const std::vector<uint8_t> good = WriteFontFile(apptest::TinyFont());
    // Glyph 2 is 'A' at x 4, w 4 on the 32 x 16 page.
    struct Case {
        const char *what;
        size_t at;
        uint16_t value;
        const char *reason;
    };
    const Case cases[] = {
        {"line height 0", 4, 0, "line height 0"},
        {"baseline below the line", 6, 11, "baseline"},
        {"page width 0", 8, 0, "page size"},
        {"page height past the limit", 10, 5000, "page size"},
        {"page count past the end", 12, 2, "pages cut short"},
        {"page count 0 with pages there", 12, 0, "after the last page"},
        {"glyph count past the end", 14, 0xFFFF, "glyph count past the end"},
        {"glyph count huge", 16, 0x7FFF, "glyph count past the end"},
        {"codes out of order", GlyphField(2, 0), u'0', "code 0x0030) out of code order"},
        {"a code repeated", GlyphField(2, 0), u'?', "out of code order"},
        {"a page the file lacks", GlyphField(2, 2), 1, "page the file does not have"},
        {"right edge past the page", GlyphField(2, 4), 29, "outside its page"},
        {"bottom edge past the page", GlyphField(2, 6), 11, "outside its page"},
        {"width past the page", GlyphField(2, 8), 0xFFFF, "outside its page"},
        {"height past the page", GlyphField(2, 10), 17, "outside its page"},
        {"a backward step", GlyphField(2, 16), 0xFFFE, "steps backwards"},
    };
    for (const Case &c : cases) {
        std::vector<uint8_t> bytes = good;
        Poke16(&bytes, c.at, c.value);
        SCOPED_TRACE(c.what);
        const std::string reason = Refusal(bytes);
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    }
    std::vector<uint8_t> badMark = good;
    badMark[3] = '2';
    EXPECT_NE(Refusal(badMark).find("XBF1"), std::string::npos);
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_NE(Refusal(longer).find("after the last page"), std::string::npos);
}

TEST(FontFile, ByteReaderNeverReadsPastTheEnd)
{
    const uint8_t bytes[3] = {1, 2, 3};
    game::ByteReader in(bytes, sizeof bytes);
    uint16_t half = 0;
    uint32_t word = 7;
    EXPECT_TRUE(in.U16(&half));
    EXPECT_EQ(half, 0x0201);
    EXPECT_FALSE(in.U32(&word));
    EXPECT_EQ(word, 7u);
    EXPECT_FALSE(in.U16(&half));
    const uint8_t *rest = nullptr;
    EXPECT_TRUE(in.Bytes(1, &rest));
    EXPECT_EQ(*rest, 3);
    EXPECT_EQ(in.Remaining(), 0u);
}

}  // namespace

}  // namespace font_file_test
