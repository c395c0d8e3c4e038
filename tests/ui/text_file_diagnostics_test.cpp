// Damaged interface text files (the word table, the store's messages, the
// stage and monster names, the skill files), written here line by line, and
// what each says: a file that gives nothing reaches standard error even
// without --debug, naming the file and why; what is read on (a count above
// the lines there, a line over its room, a key line without ':', a record
// left open) is a diagnostic line naming the file and the line. What the
// readers keep is unchanged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/debug.h"
#include "app/file.h"
#include "support/game/diagnostics_capture.h"
#include "tools/mkdata/ui_text.h"
#include "ui/skill_file.h"
#include "ui/stage_names.h"
#include "ui/store_messages.h"
#include "ui/word_table.h"

namespace text_file_diagnostics_test {

namespace {

using gametest::Said;

// The word table from a file's text, read in pieces as zufgetws gives them.
bool ReadWords(WordTable *table, const std::u16string &text)
{
    const std::string bytes = mkdata::EncodeUtf16Le(text);
    zuFile *file = zufopenMemory(bytes.data(), bytes.size(), "rb");
    const bool read = table->Read(
        [file](std::u16string *piece) {
            char16_t buffer[WordTable::kLineUnits];
            if (zufgetws(buffer, WordTable::kLineUnits, file) == nullptr) {
                return false;
            }
            *piece = buffer;
            return true;
        },
        "WORD.TXT");
    zufclose(file);
    return read;
}

StoreMessages ReadStore(const std::u16string &text)
{
    const std::string bytes = mkdata::EncodeUtf16Le(text);
    zuFile *file = zufopenMemory(bytes.data(), bytes.size(), "rb");
    StoreMessages messages = ReadStoreMessages(file, "ENGLISH.STO");
    zufclose(file);
    return messages;
}

std::vector<NameRecord> ReadNames(const std::u16string &text)
{
    const std::string bytes = mkdata::EncodeUtf16Le(text);
    zuFile *file = zufopenMemory(bytes.data(), bytes.size(), "rb");
    std::vector<NameRecord> records = ReadNameRecords(file, kStageNameTexts, kStageNameRecords, "ENGSTAGE.NAM");
    zufclose(file);
    return records;
}

std::vector<SkillRecord> ReadSkills(const std::vector<std::u16string> &lines)
{
    size_t next = 0;
    return ReadSkillRecords(
        [&](std::u16string *line) {
            if (next >= lines.size()) {
                return false;
            }
            *line = lines[next++] + u"\r\n";
            return true;
        },
        0, "CHAR01.SKL");
}

TEST(TextFileDiagnostics, TheWordTableNamesACountItCannotUseAndWhatItReadsOn)
{
    WordTable table;
    const struct {
        std::u16string text;
        const char *said;
    } refused[] = {
        {u"", "WORD.TXT: the file is empty; no word is read\n"},
        {u"Words\r\nYes\r\n", "WORD.TXT:1: no count (a label, ':' and the number of words); no word is read\n"},
        {u"Count: 1001\r\nYes\r\n", "WORD.TXT:1: a count of 1001 words, outside 1..1000; no word is read\n"},
        {u"Count: -3\r\nYes\r\n", "WORD.TXT:1: a count of -3 words, outside 1..1000; no word is read\n"},
    };
    for (const auto &row : refused) {
        EXPECT_EQ(Said(false, [&] { ReadWords(&table, row.text); }), row.said);
        EXPECT_EQ(table.Count(), 0);
    }
    // A count above the lines there: the lines there, and how many.
    EXPECT_EQ(Said(true, [&] { ReadWords(&table, u"Count: 40\r\nYes\r\nNo\r\n"); }),
              "WORD.TXT: the file ends after 2 of its 40 words\n");
    EXPECT_EQ(table.Count(), 2);
    // A line longer than a piece is one word, said once with its line.
    EXPECT_EQ(Said(true, [&] {
                  ReadWords(&table, u"Count: 3\r\nYes\r\n" + std::u16string(700, u'x') + u"\r\nNext\r\n");
              }),
              "WORD.TXT:3: the line is longer than 255 characters; the rest of it is not read\n");
    ASSERT_EQ(table.Count(), 3);
    EXPECT_EQ(std::u16string(table.Word(2)), u"Next");
    // Also when it is the last word the count asks for.
    EXPECT_EQ(Said(true, [&] { ReadWords(&table, u"Count: 2\r\nYes\r\n" + std::u16string(700, u'x') + u"\r\n"); }),
              "WORD.TXT:3: the line is longer than 255 characters; the rest of it is not read\n");
    EXPECT_EQ(table.Count(), 2);
    EXPECT_EQ(Said(true, [&] { ReadWords(&table, u"Count: 2\r\nYes\r\nNo\r\n"); }), "");
}

TEST(TextFileDiagnostics, TheStoreMessagesNameAnEmptyOrShortFileAndALongMessage)
{
    StoreMessages messages;
    EXPECT_EQ(Said(false, [&] { messages = ReadStore(u""); }),
              "ENGLISH.STO: the file is empty; the store shows no message\n");
    EXPECT_EQ(Said(true, [&] { messages = ReadStore(u"Store\r\nWelcome\r\n" + std::u16string(300, u'w') + u"\r\n"); }),
              "ENGLISH.STO:3: the message is longer than 255 characters; the rest of it is not read\n"
              "ENGLISH.STO: the file ends after 2 of the 45 messages; the others are empty\n");
    EXPECT_EQ(std::u16string(messages.Get(0)), u"Welcome");
    EXPECT_EQ(std::u16string(messages.Get(1)).size(), 255u);
    EXPECT_EQ(std::u16string(messages.Get(2)), u"");
    // A message of exactly 255 characters is whole: no note.
    EXPECT_EQ(Said(true, [&] { messages = ReadStore(u"Store\r\n" + std::u16string(255, u'w') + u"\r\n"); }),
              "ENGLISH.STO: the file ends after 1 of the 45 messages; the others are empty\n");
    EXPECT_EQ(std::u16string(messages.Get(0)), std::u16string(255, u'w'));
}

TEST(TextFileDiagnostics, TheNameFilesNameWhatTheyPassOverWithItsLine)
{
    std::vector<NameRecord> records;
    EXPECT_EQ(Said(false, [&] { records = ReadNames(u""); }), "ENGSTAGE.NAM: the file is empty; it names nothing\n");
    EXPECT_EQ(Said(false, [&] { records = ReadNames(u"header\n\n"); }),
              "ENGSTAGE.NAM: no record in the file; it names nothing\n");
    EXPECT_TRUE(records.empty());

    const std::string said = Said(true, [&] {
        records = ReadNames(u"header\nStage two\nStageID: 2020000\n{\n" + std::u16string(600, u'n') +
                            u"\na\nb\n}\nStageID: none\n{\nx\ny\nz\n}\nStageID: 2030000\n{\nhalf");
    });
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].key, 2020000);
    EXPECT_EQ(records[0].texts[0].size(), 512u) << "511 characters and the line end";
    EXPECT_EQ(records[1].key, 0);
    EXPECT_EQ(records[2].key, 2030000);
    EXPECT_EQ(said,
              "ENGSTAGE.NAM:2: a key line without ':'; it is passed over\n"
              "ENGSTAGE.NAM:5: the line is longer than 511 characters; the rest of it is not read\n"
              "ENGSTAGE.NAM:9: the key line has no number after its ':'; the key is 0\n"
              "ENGSTAGE.NAM: the file ends after 1 of a record's 3 texts\n"
              "ENGSTAGE.NAM: the file ends inside a record; it counts as closed\n");
}

TEST(TextFileDiagnostics, TheSkillFilesNameACountTheyCannotUseAndWhatTheyReadOn)
{
    const struct {
        std::vector<std::u16string> lines;
        const char *said;
    } refused[] = {
        {{}, "CHAR01.SKL: the file is empty; it gives no skill\n"},
        {{u"Skills", u"#"}, "CHAR01.SKL:1: no count (a label, ':' and the number of skills); it gives no skill\n"},
        {{u"Count: 0"}, "CHAR01.SKL:1: a count of 0 skills, outside 1..1000; it gives no skill\n"},
        {{u"Count: 2147483647"}, "CHAR01.SKL:1: a count of 2147483647 skills, outside 1..1000; it gives no skill\n"},
    };
    for (const auto &row : refused) {
        std::vector<SkillRecord> records;
        EXPECT_EQ(Said(false, [&] { records = ReadSkills(row.lines); }), row.said);
        EXPECT_TRUE(records.empty());
    }

    std::vector<SkillRecord> records;
    const std::string said = Said(true, [&] {
        records = ReadSkills({u"Count: 3", u"#", u"Ability: 12", u"Rising Blade", u"XY", u"Up.", u"", u"#",
                              u"Ability 4", std::u16string(kSkillNameUnits + 50, u'N'), u"AB", u"Again."});
    });
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].ability, 12) << "the index read before";
    EXPECT_EQ(static_cast<int>(records[1].name.size()), kSkillNameUnits);
    EXPECT_EQ(said,
              "CHAR01.SKL:9: the ability line has no ':'; it keeps the index 12 read before\n"
              "CHAR01.SKL:10: the line is longer than " +
                  std::to_string(kSkillNameUnits) +
                  " characters; the rest of it is not read\n"
                  "CHAR01.SKL: the file ends inside skill 2 of its 3\n");
}

}  // namespace

}  // namespace text_file_diagnostics_test
