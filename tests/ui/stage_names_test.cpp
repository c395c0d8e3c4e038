// The stage-select panel's name files read from memory: the sample's files,
// CR LF kept with each text as read, the record limits, a "{" before any key, a second "{", a key line
// cut at 64 bytes, long lines, a file that ends inside a record, and no
// file at all.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/file.h"
#include "tools/mkdata/lobby_data.h"
#include "tools/mkdata/ui_text.h"
#include "ui/stage_names.h"

namespace stage_names_test {

namespace {

std::vector<NameRecord> Read(const std::u16string &text, int textCount, int maxRecords)
{
    const std::string bytes = mkdata::EncodeUtf16Le(text);
    zuFile *file = zufopenMemory(bytes.data(), bytes.size(), "rb");
    std::vector<NameRecord> records = ReadNameRecords(file, textCount, maxRecords);
    zufclose(file);
    return records;
}

std::u16string Record(int32_t id, const std::u16string &a, const std::u16string &b, const std::u16string &c)
{
    const std::string number = std::to_string(id);
    return u"StageID: " + std::u16string(number.begin(), number.end()) + u"\n{\n" + a +
           u"\n" + b + u"\n" + c + u"\n}\n";
}

TEST(StageNames, TheSampleFilesReadBackWithTheirLineEnds)
{
    const std::string bytes = mkdata::EncodeStageNameFile(mkdata::SampleStageNames("ENG"));
    ASSERT_NE(bytes.find(std::string("\r\0\n\0", 4)), std::string::npos);  // CR LF in the file
    zuFile *file = zufopenMemory(bytes.data(), bytes.size(), "rb");
    const std::vector<NameRecord> records = ReadNameRecords(file, kStageNameTexts, kStageNameRecords);
    zufclose(file);
    ASSERT_EQ(records.size(), 29u);
    const NameRecord *arena = FindNameRecord(records, 2020000);
    ASSERT_NE(arena, nullptr);
    EXPECT_EQ(arena->texts[0], u"2 Arena\r\n");
    EXPECT_EQ(arena->texts[1], u"Hero 1 goes to the Arena.\r\n");
    EXPECT_EQ(arena->texts[2], u"Hero 2 goes to the Arena.\r\n");

    const std::string lists = mkdata::EncodeMonsterListFile("CHI");
    file = zufopenMemory(lists.data(), lists.size(), "rb");
    const std::vector<NameRecord> monsters = ReadNameRecords(file, kMonsterListTexts, kMonsterListRecords);
    zufclose(file);
    ASSERT_EQ(monsters.size(), 11u);
    EXPECT_EQ(monsters[10].key, 10);
    EXPECT_EQ(monsters[10].texts[0], u"[CHI] Monsters 10\r\n");
    EXPECT_EQ(monsters[10].texts[2], u"");
}

TEST(StageNames, ReadingStopsAtTheLimitOfClosedRecords)
{
    std::u16string text = u"header\n";
    for (int i = 0; i < 31; ++i) {
        text += Record(2000000 + 10000 * (i + 1), u"name", u"a", u"b");
    }
    EXPECT_EQ(Read(text, 3, 29).size(), 29u);
    EXPECT_EQ(Read(text, 2, 11).size(), 11u);
    EXPECT_EQ(FindNameRecord(Read(text, 3, 29), 2300000), nullptr);
}

TEST(StageNames, ABraceWithoutAKeyMakesARecordOfKeyZero)
{
    const std::vector<NameRecord> records =
        Read(u"header\n{\nnameless\nx\ny\n}\n" + Record(2020000, u"Arena", u"a", u"b"), 3, 29);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].key, 0);
    EXPECT_EQ(records[0].texts[0], u"nameless\n");
    EXPECT_EQ(FindNameRecord(records, 2020000)->texts[0], u"Arena\n");
}

TEST(StageNames, ASecondBraceReplacesTheRecordsTexts)
{
    const std::vector<NameRecord> records =
        Read(u"header\nStageID: 2030000\n{\nold\nold a\nold b\n{\nnew\nnew a\nnew b\n}\n", 3, 29);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].key, 2030000);
    EXPECT_EQ(records[0].texts[0], u"new\n");
    EXPECT_EQ(records[0].texts[2], u"new b\n");
    // A second brace with fewer lines before the end leaves nothing of the first.
    const std::vector<NameRecord> cut = Read(u"header\nStageID: 7\n{\nold\nold a\nold b\n{\nnew\n", 3, 29);
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_EQ(cut[0].texts[0], u"new\n");
    EXPECT_EQ(cut[0].texts[1], u"");
}

TEST(StageNames, AKeyLineIsReadAsItsFirstSixtyFourBytes)
{
    const std::u16string pad(55, u' ');
    // The number starts at byte 60: 2020000 is cut to 2020 (63 bytes kept).
    std::vector<NameRecord> records = Read(u"header\n" + pad + u"ID: 2020000\n{\na\nb\nc\n}\n", 3, 29);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].key, 2020);
    // A colon past the 63rd byte: no key.
    records = Read(u"header\n" + std::u16string(70, u'x') + u": 5\n{\na\nb\nc\n}\n", 3, 29);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].key, 0);
    // A wide character in the label (one past the one-byte range) does not
    // end the line: the key after it is read.
    records = Read(u"header\nStage\u0100\u00FFID: 2030000\n{\na\nb\nc\n}\n", 3, 29);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].key, 2030000);
}

TEST(StageNames, LongLinesKeepTheirFirst511CharactersAndEmptyLinesAreSkipped)
{
    const std::u16string longName(2000, u'n');
    const std::vector<NameRecord> records =
        Read(u"header that is long " + std::u16string(600, u'h') + u"\n\n\nStageID: 2040000\n\n{\n" + longName +
                 u"\r\n\r\nsecond\n}\n",
             3, 29);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].key, 2040000);
    EXPECT_EQ(records[0].texts[0], std::u16string(511, u'n') + u"\r\n");
    // The texts are the next lines as they come, empty ones too.
    EXPECT_EQ(records[0].texts[1], u"\r\n");
    EXPECT_EQ(records[0].texts[2], u"second\n");
}

TEST(StageNames, AFileEndingInsideARecordKeepsWhatItHas)
{
    EXPECT_EQ(Read(u"header\nStageID: 2050000\n{\nhalf", 3, 29)[0].texts[0], u"half\n");
    EXPECT_TRUE(Read(u"header\n", 3, 29).empty());
    EXPECT_TRUE(Read(u"", 3, 29).empty());
    EXPECT_TRUE(ReadNameRecords(nullptr, 3, 29).empty());
}

// Files laid out by hand as a CR LF editor saves them, every field checked:
// a stage name file (a header line, then key lines "label: number", a "{",
// the name and each hero's description, a "}") and a monster list (two
// texts a record). Each text keeps its CR LF; blank lines between records
// are passed over.
TEST(StageNames, HandWrittenCrLfFilesReadFieldByField)
{
    const std::vector<NameRecord> stages = Read(u"Stage names\r\n"
                                                u"StageID: 2010000\r\n{\r\n1 Village\r\nHero one arrives.\r\n"
                                                u"Hero two arrives.\r\n}\r\n\r\n"
                                                u"Key:2020000\r\n{\r\n2 Arena\r\n\r\nOnly the second.\r\n}\r\n",
                                                kStageNameTexts, kStageNameRecords);
    ASSERT_EQ(stages.size(), 2u);
    EXPECT_EQ(stages[0].key, 2010000);
    EXPECT_EQ(stages[0].texts[0], u"1 Village\r\n");
    EXPECT_EQ(stages[0].texts[1], u"Hero one arrives.\r\n");
    EXPECT_EQ(stages[0].texts[2], u"Hero two arrives.\r\n");
    EXPECT_EQ(stages[1].key, 2020000);
    EXPECT_EQ(stages[1].texts[0], u"2 Arena\r\n");
    EXPECT_EQ(stages[1].texts[1], u"\r\n") << "an empty text inside a record is a text";
    EXPECT_EQ(stages[1].texts[2], u"Only the second.\r\n");

    const std::vector<NameRecord> monsters =
        Read(u"Monsters\r\nID: 1000\r\n{\r\nGoblin\r\nA small one.\r\n}\r\nID: 1005\r\n{\r\nOgre\r\nBig.\r\n}\r\n",
             kMonsterListTexts, kMonsterListRecords);
    ASSERT_EQ(monsters.size(), 2u);
    EXPECT_EQ(monsters[0].key, 1000);
    EXPECT_EQ(monsters[0].texts[0], u"Goblin\r\n");
    EXPECT_EQ(monsters[0].texts[1], u"A small one.\r\n");
    EXPECT_EQ(monsters[0].texts[2], u"");
    EXPECT_EQ(monsters[1].key, 1005);
    EXPECT_EQ(monsters[1].texts[0], u"Ogre\r\n");
    EXPECT_EQ(monsters[1].texts[1], u"Big.\r\n");
}

}  // namespace

}  // namespace stage_names_test
