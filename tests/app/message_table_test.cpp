// The message table: a formatted table parses back equal, the layout's
// tolerances (mark, CR LF, blank lines, escapes), and hostile tables
// refused whole with the line that is wrong.
#include <gtest/gtest.h>

#include "app/message_table.h"

namespace message_table_test {

namespace {

using game::MessageTable;

// Lines of a text, each keeping its line feed, as the file reader gives them.
game::MessageLineSource LinesOf(const std::u16string &text)
{
    auto at = std::make_shared<size_t>(0);
    return [text, at](std::u16string *line) {
        if (*at >= text.size()) {
            return false;
        }
        const size_t end = text.find(u'\n', *at);
        const size_t stop = end == std::u16string::npos ? text.size() : end + 1;
        line->assign(text, *at, stop - *at);
        *at = stop;
        return true;
    };
}

bool Parse(const std::u16string &text, MessageTable *table, std::string *error)
{
    return game::ParseMessageTable(LinesOf(text), table, error);
}

TEST(MessageTable, FormattedTableParsesBackEqual)
{
    MessageTable table;
    table.entries.push_back({{u"Cannot find the file: "}, 1});
    table.entries.push_back({{u"two\nrows", u"back\\slash", u"", u"caf\u00E9"}, 22});
    table.entries.push_back({{}, -5});
    MessageTable back;
    std::string error;
    ASSERT_TRUE(Parse(u"\xFEFF" + game::FormatMessageTable(table), &back, &error)) << error;
    ASSERT_EQ(back.entries.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back.entries[i].id, table.entries[i].id);
        EXPECT_EQ(back.entries[i].texts, table.entries[i].texts);
    }
    EXPECT_EQ(std::u16string(back.Text(22, 0)), u"two\nrows");
    EXPECT_EQ(back.Text(22, 4), nullptr);
    EXPECT_EQ(back.Find(2), nullptr);
    ASSERT_NE(back.Find(-5), nullptr);
    EXPECT_TRUE(back.Find(-5)->texts.empty());
}

TEST(MessageTable, LayoutTolerances)
{
    // No mark, LF only, blanks and tabs around keys, blank lines between
    // entries; a text line keeps its own blanks.
    const std::u16string text = u"\n  Count :\t2\n\nID: 7\n\tTexts: 2\n  padded  \n\n\n ID:+8 \nTexts: 0\n\n";
    MessageTable table;
    std::string error;
    ASSERT_TRUE(Parse(text, &table, &error)) << error;
    ASSERT_EQ(table.entries.size(), 2u);
    EXPECT_EQ(table.entries[0].texts, (std::vector<std::u16string>{u"  padded  ", u""}));
    EXPECT_EQ(table.entries[1].id, 8);
}

TEST(MessageTable, HostileTablesAreRefusedWithTheirLine)
{
    struct Case {
        const char *what;
        std::u16string text;
        const char *expected;
    };
    const Case cases[] = {
        {"empty", u"", "line 0: no Count line"},
        {"no count", u"ID: 1\nTexts: 0\n", "line 1: expected \"Count"},
        {"count garbage", u"Count: many\n", "line 1"},
        {"count negative", u"Count: -1\n", "line 1"},
        {"count huge", u"Count: 4000000000\n", "line 1"},
        {"count past the end", u"Count: 3\nID: 1\nTexts: 0\n", "ends before entry 2 of 3"},
        {"texts past the end", u"Count: 1\nID: 1\nTexts: 5\na\nb\n", "line 5: the file ends inside entry 1"},
        {"texts count huge", u"Count: 1\nID: 1\nTexts: 99999999999\n", "line 3"},
        {"id missing", u"Count: 1\nTexts: 1\n", "line 2: expected \"ID"},
        {"id out of range", u"Count: 1\nID: 3000000000\nTexts: 0\n", "line 2"},
        {"id twice", u"Count: 2\nID: 4\nTexts: 0\nID: 4\nTexts: 0\n", "line 4: entry 4 appears twice"},
        {"trailing junk after a number", u"Count: 1x\n", "line 1"},
        {"no colon after the key", u"Count 1\nID: 1\nTexts: 0\n", "line 1"},
        {"more digits than any number", u"Count: 99999999999999999999999\n", "line 1"},
        {"an id of more digits than any number", u"Count: 1\nID: 18446744073709551617\nTexts: 0\n", "line 2"},
        {"text after the last entry", u"Count: 1\nID: 1\nTexts: 0\nID: 2\n", "line 4: text after the last entry"},
        {"no Texts line", u"Count: 1\nID: 1\n", "Texts line of entry 1"},
        {"a key without its number", u"Count:\nID: 1\nTexts: 0\n", "line 1: expected \"Count"},
        {"a sign without digits", u"Count: 1\nID: -\nTexts: 0\n", "line 2: expected \"ID"},
        // The ends of each range are taken (the file then ends early), one
        // beyond is refused on its own line.
        {"the most entries", u"Count: 100000\nID: 1\nTexts: 0\n", "line 3: the file ends before entry 2 of 100000"},
        {"one entry too many", u"Count: 100001\n", "line 1: expected \"Count"},
        {"the most texts", u"Count: 1\nID: 1\nTexts: 100000\na\n", "line 4: the file ends inside entry 1"},
        {"one text too many", u"Count: 1\nID: 1\nTexts: 100001\na\n", "line 3: expected \"Texts"},
        {"the highest id", u"Count: 2\nID: 2147483647\nTexts: 0\n", "line 3: the file ends before entry 2"},
        {"the lowest id", u"Count: 2\nID: -2147483648\nTexts: 0\n", "line 3: the file ends before entry 2"},
        {"an id below the lowest", u"Count: 1\nID: -2147483649\nTexts: 0\n", "line 2: expected \"ID"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        MessageTable table;
        table.entries.push_back({{u"left over"}, 1});
        std::string error;
        EXPECT_FALSE(Parse(c.text, &table, &error));
        EXPECT_TRUE(table.entries.empty());
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
    }
}

TEST(MessageTable, LanguageCodes)
{
    EXPECT_STREQ(game::MessageLanguageCode(0), "CHI");
    EXPECT_STREQ(game::MessageLanguageCode(1), "ENG");
    EXPECT_STREQ(game::MessageLanguageCode(2), "FRE");
    EXPECT_STREQ(game::MessageLanguageCode(14), "GRE");
    EXPECT_EQ(game::MessageLanguageCode(15), nullptr);
    EXPECT_EQ(game::MessageLanguageCode(-1), nullptr);
}

}  // namespace

}  // namespace message_table_test
