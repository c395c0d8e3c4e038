// The skill files' reader: records field by field, a base skill's number
// split off its command, the ability line without a colon, lines cut at
// their line end and at their field's size, a file that ends early (only
// the records really there, a missing line never filled from an earlier
// one, one debug line saying where, none when only the last blank line is
// missing), counts of 0, below 0, above 1,000 and 2^31-1; and the sample's
// files in both language folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/game/diagnostics_capture.h"
#include "tests/ui/pause_support.h"
#include "tools/mkdata/pause_data.h"
#include "ui/skill_file.h"

namespace skill_file_test {

namespace {

// A source over lines given without their line ends (each gets CR LF, as
// zufgetwline keeps it).
std::vector<SkillRecord> Read(const std::vector<std::u16string> &lines, int32_t hero = 0)
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
        hero);
}

std::vector<std::u16string> Record(const std::u16string &ability, const std::u16string &name,
                                   const std::u16string &command, const std::u16string &description)
{
    return {u"#", ability, name, command, description, u""};
}

std::vector<std::u16string> File(const std::u16string &count, const std::vector<std::vector<std::u16string>> &records)
{
    std::vector<std::u16string> lines = {count};
    for (const std::vector<std::u16string> &record : records) {
        lines.insert(lines.end(), record.begin(), record.end());
    }
    return lines;
}

TEST(SkillFile, RecordsAreReadFieldByField)
{
    const std::vector<SkillRecord> records =
        Read(File(u"Count: 3", {Record(u"Ability: 12", u"Rising Blade", u"XY", u"Up it goes."),
                                Record(u"Ability: 3", u"Whirlwind", u"12 A-B", u"A spin."),
                                Record(u"Ability:7", u"Odd", u"9\t \tX&Y", u"Tabs and blanks.")}),
             1);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].ability, 12);
    EXPECT_EQ(records[0].hero, 1);
    EXPECT_EQ(records[0].name, u"Rising Blade");
    EXPECT_EQ(records[0].command, "XY");
    EXPECT_EQ(records[0].baseAbility, 0);
    EXPECT_EQ(records[0].description, u"Up it goes.");
    EXPECT_EQ(records[0].shown, 0);
    EXPECT_EQ(records[1].baseAbility, 12);
    EXPECT_EQ(records[1].command, "A-B");
    EXPECT_EQ(records[2].ability, 7);
    EXPECT_EQ(records[2].baseAbility, 9);
    EXPECT_EQ(records[2].command, "X&Y");
}

TEST(SkillFile, CommandsSplitOnlyOnALeadingDigit)
{
    int32_t base = -1;
    std::string command;
    SplitSkillCommand("A 12", &base, &command);
    EXPECT_EQ(base, 0);
    EXPECT_EQ(command, "A 12");
    SplitSkillCommand("12", &base, &command);
    EXPECT_EQ(base, 12);
    EXPECT_EQ(command, "");
    SplitSkillCommand("", &base, &command);
    EXPECT_EQ(base, 0);
    EXPECT_EQ(command, "");
    SplitSkillCommand("99999999999999 X", &base, &command);
    EXPECT_EQ(base, INT32_MAX);  // a number past 32 bits is held at the largest
    EXPECT_EQ(command, "X");
}

TEST(SkillFile, AnAbilityLineWithoutAColonKeepsTheIndexReadLast)
{
    const std::vector<SkillRecord> records = Read(File(
        u"Count: 3", {Record(u"no colon", u"First", u"A", u""), Record(u"Ability: 5", u"Second", u"B", u""),
                      Record(u"still none", u"Third", u"X", u"")}));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].ability, 0);
    EXPECT_EQ(records[1].ability, 5);
    EXPECT_EQ(records[2].ability, 5);
}

TEST(SkillFile, LinesAreCutAtTheirEndAndAtTheirFieldsSize)
{
    const std::u16string longName(1500, u'n');
    const std::u16string longCommand(400, u'A');
    const std::vector<SkillRecord> records =
        Read(File(u"Count: 1", {Record(u"Ability: 1", longName, longCommand, u"ends here\rand not here")}));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].name.size(), static_cast<size_t>(kSkillNameUnits));
    EXPECT_EQ(records[0].command.size(), static_cast<size_t>(kSkillCommandUnits));
    EXPECT_EQ(records[0].description, u"ends here");
}

TEST(SkillFile, AFileThatEndsEarlyGivesOnlyTheRecordsInIt)
{
    // Three announced; the second stops after its command line, the third
    // has no lines at all.
    std::vector<std::u16string> lines = File(u"Count: 3", {Record(u"Ability: 1", u"Full", u"A", u"All there.")});
    const std::vector<std::u16string> cut = {u"#", u"Ability: 2", u"Cut Short", u"B+X"};
    lines.insert(lines.end(), cut.begin(), cut.end());
    std::vector<SkillRecord> records;
    // One debug line says where.
    std::string said = gametest::Said(true, [&] { records = Read(lines); });
    EXPECT_NE(said.find("ends inside skill 2 of its 3"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].name, u"Cut Short");
    EXPECT_EQ(records[1].command, "B+X");
    EXPECT_EQ(records[1].description, u"");  // not the first record's
    // Ending before the name: that record is not made.
    lines = File(u"Count: 2", {Record(u"Ability: 1", u"Full", u"A", u"All there.")});
    lines.push_back(u"#");
    lines.push_back(u"Ability: 9");
    records = Read(lines);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].name, u"Full");
    // The last record without its closing blank line is whole.
    lines = File(u"Count: 1", {Record(u"Ability: 1", u"Last", u"A", u"Its text.")});
    lines.pop_back();
    said = gametest::Said(true, [&] { records = Read(lines); });
    EXPECT_EQ(said, "");  // nothing is missing
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].description, u"Its text.");
    // Whole but one of two, or the only one without its description: said.
    lines = File(u"Count: 2", {Record(u"Ability: 1", u"Last", u"A", u"Its text.")});
    lines.pop_back();
    said = gametest::Said(true, [&] { records = Read(lines); });
    EXPECT_NE(said.find("of its 2"), std::string::npos) << said;
    lines = File(u"Count: 1", {Record(u"Ability: 1", u"Last", u"A", u"Its text.")});
    lines.resize(lines.size() - 2);
    said = gametest::Said(true, [&] { records = Read(lines); });
    EXPECT_NE(said.find("ends inside skill 1 of its 1"), std::string::npos) << said;
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].command, "A");
}

TEST(SkillFile, CountsOutsideOneToAThousandGiveNoRecords)
{
    const std::vector<std::vector<std::u16string>> one = {Record(u"Ability: 1", u"Only", u"A", u"")};
    EXPECT_TRUE(Read(File(u"Count: 0", one)).empty());
    EXPECT_TRUE(Read(File(u"Count: -4", one)).empty());
    EXPECT_TRUE(Read(File(u"Count: 1001", one)).empty());
    EXPECT_TRUE(Read(File(u"Count: 2147483647", one)).empty());
    EXPECT_TRUE(Read(File(u"no count at all", one)).empty());
    EXPECT_TRUE(Read({}).empty());
    // A thousand announced, one there: one record.
    EXPECT_EQ(Read(File(u"Count: 1000", one)).size(), 1u);
}

class SkillFileOnData : public pausetest::PauseTest {};

TEST_F(SkillFileOnData, TheSampleFilesReadInBothLanguageFolders)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    std::vector<SkillRecord> records;
    ASSERT_TRUE(LoadSkillFile(1, 0, &records));
    ASSERT_EQ(records.size(), 7u);
    EXPECT_EQ(records[3].name, u"Whirlwind");
    EXPECT_EQ(records[3].baseAbility, 12);
    ASSERT_TRUE(LoadSkillFile(0, 1, &records));
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].name, u"[CHI] Quick Stab");
    EXPECT_EQ(records[0].hero, 1);
    EXPECT_NE(SkillFilePath(0, 1).find("\\SKILL\\CHA\\CHAR02.SKL"), std::string::npos);
    EXPECT_NE(SkillFilePath(5, 0).find("\\SKILL\\USA\\CHAR01.SKL"), std::string::npos);
}

TEST_F(SkillFileOnData, AMissingFileGivesFalseAndNoRecords)
{
    Begin(pausetest::TreeWithout("no_skills", {"RESOURCE/UITEXT/SKILL/USA/CHAR01.SKL"}));
    ASSERT_FALSE(HasFatalFailure());
    std::vector<SkillRecord> records(2);
    EXPECT_FALSE(LoadSkillFile(1, 0, &records));
    EXPECT_TRUE(records.empty());
    EXPECT_TRUE(LoadSkillFile(1, 1, &records));
}

}  // namespace

}  // namespace skill_file_test
