// The maker's interface texts: the sample font built from the outline font
// and both message tables, as written into the sample tree, read back
// equal through the game's readers.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/file.h"
#include "app/message_box.h"
#include "app/message_table.h"
#include "tools/mkdata/font_builder.h"
#include "tools/mkdata/ui_text.h"

namespace ui_text_test {

namespace {

std::string SampleFile(const std::string &relative)
{
    std::ifstream file(std::string(RW_TEST_BINARY_DIR) + "/data/" + relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(SampleFont, CoversTheSampleCodesAtSixteenPixels)
{
    game::FontFile font;
    std::string error;
    ASSERT_TRUE(mkdata::BuildSampleFont(&font, &error)) << error;
    EXPECT_EQ(font.lineHeight, 19);  // DejaVu Sans at 16 pixels
    EXPECT_GT(font.baseline, 10);
    for (char16_t code : mkdata::SampleFontCodes()) {
        EXPECT_NE(game::FindFontGlyph(font, code), nullptr) << static_cast<int>(code);
    }
    const game::FontGlyph *space = game::FindFontGlyph(font, u' ');
    ASSERT_NE(space, nullptr);
    EXPECT_EQ(space->w, 0);
    EXPECT_GT(space->advance, 0);
    // Digits share one step, so counters do not jitter.
    for (char16_t d = u'1'; d <= u'9'; ++d) {
        EXPECT_EQ(game::FindFontGlyph(font, d)->advance, game::FindFontGlyph(font, u'0')->advance);
    }
}

TEST(SampleFont, BothFontFilesReadBackAsBuilt)
{
    game::FontFile built;
    std::string error;
    ASSERT_TRUE(mkdata::BuildSampleFont(&built, &error)) << error;
    const std::vector<uint8_t> expected = game::WriteFontFile(built);
    for (const char *name : {"ENGFONT.XBF", "CHIFONT.XBF"}) {
        const std::string bytes = SampleFile(std::string("RESOURCE/FONT/") + name);
        ASSERT_FALSE(bytes.empty()) << name << ": build the sample-data target";
        game::FontFile read;
        ASSERT_TRUE(game::ReadFontFile(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size(), &read, &error))
            << name << ": " << error;
        EXPECT_EQ(game::WriteFontFile(read), expected) << name;
    }
}

TEST(SampleFont, AMissingOutlineFontIsReported)
{
    mkdata::FontBuildSpec spec;
    spec.outlinePath = "/nonexistent/font.ttf";
    spec.codes = {u'A'};
    game::FontFile font;
    std::string error;
    EXPECT_FALSE(mkdata::BuildBitmapFont(spec, &font, &error));
    EXPECT_NE(error.find("/nonexistent/font.ttf"), std::string::npos);
}

TEST(SampleMessages, BothTablesReadBackEqual)
{
    for (const char *code : {"ENG", "CHI"}) {
        SCOPED_TRACE(code);
        const std::string bytes = SampleFile(std::string("RESOURCE/UITEXT/MESSAGE/") + code + ".TCR");
        ASSERT_GE(bytes.size(), 2u) << "build the sample-data target";
        EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
        // Read as the game reads it: UTF-16 lines through the file layer.
        game::MessageTable table;
        std::string error;
        zuFile *file = zufopenMemory(bytes.data(), bytes.size(), "rb");
        ASSERT_NE(file, nullptr);
        const bool read = ReadMessageTableFile(file, &table, &error);
        zufclose(file);
        ASSERT_TRUE(read) << error;
        const game::MessageTable expected = mkdata::SampleMessageTable(code);
        ASSERT_EQ(table.entries.size(), expected.entries.size());
        for (size_t i = 0; i < table.entries.size(); ++i) {
            EXPECT_EQ(table.entries[i].id, expected.entries[i].id);
            EXPECT_EQ(table.entries[i].texts, expected.entries[i].texts);
        }
        for (int32_t id : {1, 13, 18, 21, 22}) {
            EXPECT_NE(table.Find(id), nullptr) << id;
        }
        EXPECT_EQ(table.Find(22)->texts.size(), 29u);
        EXPECT_EQ(table.Find(13)->texts.size(), 3u);
        EXPECT_EQ(table.Find(18)->texts.size(), 3u);
    }
}

TEST(SampleMessages, StageNamesFollowTheNameColumn)
{
    const game::MessageTable table = mkdata::SampleMessageTable("ENG");
    const game::MessageEntry *names = table.Find(22);
    ASSERT_NE(names, nullptr);
    EXPECT_EQ(names->texts[0], u"Stage 1");
    EXPECT_EQ(names->texts[6], u"Stage 10");
    EXPECT_EQ(names->texts[7], u"Stage 8");
    EXPECT_EQ(names->texts[15], u"Stage 27");
    EXPECT_EQ(names->texts[16], u"Stage 41");
    EXPECT_EQ(names->texts[28], u"Stage 38");
    EXPECT_EQ(mkdata::SampleMessageTable("CHI").Find(22)->texts[0], u"[CHI] Stage 1");
}

}  // namespace

}  // namespace ui_text_test
