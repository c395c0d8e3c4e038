// Keyword text: the line routines in tables (line ends, tabs, the first
// occurrence, a missing key, wide lines with and without a byte-order mark,
// the 31-unit limit) and the reporting reader every loader uses.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/file.h"
#include "app/keyword.h"
#include "tests/app/app_test_support.h"
#include "support/game/diagnostics_capture.h"

namespace keyword_test {

namespace {

TEST(SplitKeyword, TakesTheFirstWordAndLeavesTheRest)
{
    struct Row {
        const char *line;
        const char *word;
        const char *rest;
    } rows[] = {
        {"Count: 12\n", "Count:", "12"},
        {"Count: 12\r\n", "Count:", "12"},
        {"\t  position:\t1.0, 2.0,\t3.0\r\n", "position:", "1.0, 2.0,\t3.0"},
        {"{\n", "{", ""},
        {"   \r\n", "", ""},
        {"", "", ""},
        {"Word", "Word", ""},
        {"Name:\t\tHERO01  \n", "Name:", "HERO01  "},
    };
    for (const Row &row : rows) {
        char line[64];
        std::strcpy(line, row.line);
        char word[32] = "garbage";
        SplitKeyword(word, line);
        EXPECT_STREQ(word, row.word) << row.line;
        EXPECT_STREQ(line, row.rest) << row.line;
    }
}

TEST(SplitKeyword, CutsAWordLongerThanItsBuffer)
{
    char line[] = "ABCDEFGHIJ rest";
    char word[5];
    SplitKeyword(word, line);
    EXPECT_STREQ(word, "ABCD");
    EXPECT_STREQ(line, "rest");
    // Without a line, or without room for the word, nothing is touched.
    char untouched[] = "Key: 1\n";
    char kept[8] = "kept";
    SplitKeyword(kept, sizeof(kept), nullptr);
    EXPECT_STREQ(kept, "kept");
    SplitKeyword(nullptr, 8, untouched);
    SplitKeyword(kept, 0, untouched);
    EXPECT_STREQ(untouched, "Key: 1\n");
    EXPECT_STREQ(kept, "kept");
}

// atol's and atof's reading: white space, a sign, as much number as
// follows; 0 without one; 32-bit whole numbers held to their ends; no
// "inf" or "nan" words, no hexadecimal, nothing that is not a finite float.
TEST(LeadingNumbers, ReadAsAtolAndAtofReadThem)
{
    const struct {
        const char *text;
        int32_t value;
        NumberForm form;
    } ints[] = {
        {"12", 12, NumberForm::kWhole},          {" \t-7\r\n", -7, NumberForm::kWhole},
        {"+3", 3, NumberForm::kWhole},           {"12abc", 12, NumberForm::kLeading},
        {"3.9", 3, NumberForm::kLeading},        {"abc", 0, NumberForm::kNone},
        {"", 0, NumberForm::kNone},              {"-", 0, NumberForm::kNone},
        {"- 4", 0, NumberForm::kNone},           {"0x10", 0, NumberForm::kLeading},
        {"2147483647", INT32_MAX, NumberForm::kWhole},   {"-2147483648", INT32_MIN, NumberForm::kWhole},
        {"2147483648", INT32_MAX, NumberForm::kLeading}, {"-99999999999999", INT32_MIN, NumberForm::kLeading},
    };
    for (const auto &row : ints) {
        NumberForm form = NumberForm::kWhole;
        EXPECT_EQ(LeadingInt(row.text, &form), row.value) << row.text;
        EXPECT_EQ(form, row.form) << row.text;
    }
    EXPECT_EQ(LeadingInt(nullptr), 0);
    const struct {
        const char *text;
        float value;
        NumberForm form;
    } reals[] = {
        {"1.5", 1.5f, NumberForm::kWhole},   {"  -0.25 ", -0.25f, NumberForm::kWhole},
        {".5", 0.5f, NumberForm::kWhole},    {"1e2", 100.0f, NumberForm::kWhole},
        {"+2", 2.0f, NumberForm::kWhole},    {"2.5m", 2.5f, NumberForm::kLeading},
        {"x1", 0.0f, NumberForm::kNone},     {"nan", 0.0f, NumberForm::kNone},
        {"inf", 0.0f, NumberForm::kNone},    {"1e999", 0.0f, NumberForm::kNone},
        {"", 0.0f, NumberForm::kNone},
    };
    for (const auto &row : reals) {
        NumberForm form = NumberForm::kWhole;
        EXPECT_EQ(LeadingFloat(row.text, &form), row.value) << row.text;
        EXPECT_EQ(form, row.form) << row.text;
    }
}

// Once the key is there the answer is true, with the number as atol reads
// it (0 when there is none); only a missing key gives false and leaves the
// output alone. KeyValueForm tells the callers that need a number apart.
TEST(ReadKeyInt, ReadsTheNumberAfterTheFirstKey)
{
    struct Row {
        const char *line;
        char key;
        bool found;
        int32_t value;
    } rows[] = {
        {"Count: 12", ':', true, 12},
        {"Count:\t-7\r\n", ':', true, -7},
        {"Count:+3", ':', true, 3},
        {"A: 1 B: 2", ':', true, 1},        // the first occurrence
        {"Time: 10:20", ':', true, 10},
        {"Count 12", ':', false, 99},       // no key
        {"Count: abc", ':', true, 0},       // no digits: 0
        {"Count: ", ':', true, 0},
        {"Count:x", ':', true, 0},
        {"Count: 12abc", ':', true, 12},
        {"Count: 2147483647", ':', true, 2147483647},
        {"Count: -2147483648", ':', true, INT32_MIN},
        {"Count: 2147483648", ':', true, INT32_MAX},  // held to 32 bits
        {"x=5", '=', true, 5},
    };
    for (const Row &row : rows) {
        int32_t value = 99;
        EXPECT_EQ(ReadKeyInt(row.line, row.key, &value), row.found) << row.line;
        EXPECT_EQ(value, row.value) << row.line;
    }
    // Nowhere to put the number, no line or no key: false.
    float real = 7.0f;
    NumberForm form = NumberForm::kNone;
    EXPECT_FALSE(ReadKeyInt("Count: 12", ':', nullptr));
    EXPECT_FALSE(ReadKeyFloat("Speed: 1.5", ':', nullptr));
    EXPECT_FALSE(KeyValueForm("Count: 12", ':', true, nullptr));
    int32_t kept = 99;
    EXPECT_FALSE(ReadKeyInt(nullptr, ':', &kept));
    EXPECT_FALSE(ReadKeyInt("Count: 12", '\0', &kept));
    EXPECT_FALSE(ReadKeyFloat(nullptr, ':', &real));
    EXPECT_EQ(kept, 99);
    EXPECT_EQ(real, 7.0f);
    EXPECT_FALSE(KeyValueForm("Count 12", ':', true, &form));
    EXPECT_TRUE(KeyValueForm("Count: 12", ':', true, &form));
    EXPECT_EQ(form, NumberForm::kWhole);
    EXPECT_TRUE(KeyValueForm("Count:two", ':', true, &form));
    EXPECT_EQ(form, NumberForm::kNone);
    EXPECT_TRUE(KeyValueForm("Speed:1.5", ':', true, &form));
    EXPECT_EQ(form, NumberForm::kLeading);
    EXPECT_TRUE(KeyValueForm("Speed:1.5", ':', false, &form));
    EXPECT_EQ(form, NumberForm::kWhole);
}

TEST(ReadKeyFloat, ReadsDecimalNumbers)
{
    struct Row {
        const char *line;
        bool found;
        float value;
    } rows[] = {
        {"Speed: 1.5", true, 1.5f},       {"Speed:\t-0.25\r\n", true, -0.25f}, {"Speed: 3", true, 3.0f},
        {"Speed: 1e2", true, 100.0f},     {"Speed: .5", true, 0.5f},           {"Speed: nan", true, 0.0f},
        {"Speed: inf", true, 0.0f},       {"Speed: x1", true, 0.0f},           {"Speed 1.0", false, 7.0f},
        {"Speed: 1e999", true, 0.0f},     {"Speed: 2.5m/s", true, 2.5f},       {"Speed:", true, 0.0f},
    };
    for (const Row &row : rows) {
        float value = 7.0f;
        EXPECT_EQ(ReadKeyFloat(row.line, ':', &value), row.found) << row.line;
        EXPECT_EQ(value, row.value) << row.line;
    }
}

TEST(ReadKeyIntW, ReadsWideLinesUpToThirtyOneUnitsAfterTheKey)
{
    struct Row {
        std::u16string line;
        bool found;
        int32_t value;
    } rows[] = {
        {u"Count: 12\r\n", true, 12},
        {u"\x4EBA\x6570\xFF1A: 5", true, 5},  // a wide name before the key
        {u"Count 12", false, 99},
        {u"ID:\t-4", true, -4},
        // 30 blanks and the digit: the digit is the 31st unit after the key.
        {u"N:" + std::u16string(30, u' ') + u"7", true, 7},
        // 31 blanks: the digit lies past the limit, and nothing is a number.
        {u"N:" + std::u16string(31, u' ') + u"7", true, 0},
        {u"N: 12\x4E00", true, 12},
        {u"N: two", true, 0},
        {u"N:", true, 0},
    };
    for (const Row &row : rows) {
        int32_t value = 99;
        EXPECT_EQ(ReadKeyIntW(row.line.c_str(), u':', &value), row.found);
        EXPECT_EQ(value, row.value);
    }
    // No key character, no line: nothing is found, nothing is written.
    int32_t value = 99;
    EXPECT_FALSE(ReadKeyIntW(u"a\0:5", u'\0', &value));
    EXPECT_FALSE(ReadKeyIntW(nullptr, u':', &value));
    EXPECT_EQ(value, 99);
}

// Wide files as the game reads them: zufgetws, then the wide routine.
TEST(ReadKeyIntW, SameValuesFromFilesWithAndWithoutAByteOrderMark)
{
    for (bool mark : {true, false}) {
        const std::vector<uint8_t> bytes = apptest::Utf16(u"Count: 3\r\nID: 42\r\nLast: -1", mark);
        zuFile *file = zufopenMemory(bytes.data(), bytes.size(), "rb");
        ASSERT_NE(file, nullptr);
        char16_t line[64];
        int32_t values[3] = {};
        for (int32_t &value : values) {
            ASSERT_NE(zufgetws(line, 64, file), nullptr);
            EXPECT_TRUE(ReadKeyIntW(line, u':', &value));
        }
        EXPECT_EQ(zufgetws(line, 64, file), nullptr);
        zufclose(file);
        EXPECT_EQ(values[0], 3);
        EXPECT_EQ(values[1], 42);
        EXPECT_EQ(values[2], -1);
    }
}

class KeywordFile : public ::testing::Test {
protected:
    void Open(const std::string &text)
    {
        ASSERT_TRUE(file.OpenMemory("TEST.TXT", text.data(), text.size()));
    }
    CSKeywordFile file;
};

TEST_F(KeywordFile, WalksKeysValuesAndBlocksSkippingBlankLines)
{
    Open("Count: 2\r\n\r\nAI\r\n{\r\n\tposition: 1.5, -2, 3e1\r\n  Name:  HERO01\r\n}\r\n");
    int32_t count = 0;
    ASSERT_TRUE(file.NextLineIs("Count:"));
    EXPECT_TRUE(file.Int(&count, 0, 100));
    EXPECT_EQ(count, 2);
    ASSERT_TRUE(file.NextLine());
    EXPECT_TRUE(file.KeyIs("AI"));
    EXPECT_EQ(file.LineNumber(), 3);
    ASSERT_TRUE(file.NextLine());
    EXPECT_TRUE(file.IsBlockOpen());
    ASSERT_TRUE(file.NextLine());
    float position[3] = {};
    EXPECT_TRUE(file.Floats(position, 3));
    EXPECT_EQ(position[0], 1.5f);
    EXPECT_EQ(position[1], -2.0f);
    EXPECT_EQ(position[2], 30.0f);
    ASSERT_TRUE(file.NextLine());
    char name[16];
    EXPECT_TRUE(file.Word(name, sizeof(name)));
    EXPECT_STREQ(name, "HERO01");
    ASSERT_TRUE(file.NextLine());
    EXPECT_TRUE(file.IsBlockClose());
    EXPECT_FALSE(file.NextLine());
    EXPECT_EQ(file.ProblemCount(), 0);
}

// Every bad value is reported with file, line and key, and the default stays.
TEST_F(KeywordFile, ReportsBadValuesAndKeepsTheDefaults)
{
    Open("Count: x\nMaxHP: 70000\nSpeed: 1.5 2.5\nPoint: 1,\nName: ABCDEFGHIJKLMNOPQRSTUVWXYZ\nHuge: 99999999999\n"
         "Level: 7up\nScale: 1.5x, 2\n");
    int32_t count = 5;
    int32_t hp = 100;
    float speed = 1.0f;
    int32_t point[2] = {7, 8};
    char name[8] = "dflt";
    int32_t huge = 3;
    gametest::CaptureDiagnostics();
    ASSERT_TRUE(file.NextLine());
    EXPECT_FALSE(file.Int(&count));
    ASSERT_TRUE(file.NextLine());
    EXPECT_FALSE(file.Int(&hp, 1, 65535));
    ASSERT_TRUE(file.NextLine());
    EXPECT_FALSE(file.Float(&speed));
    ASSERT_TRUE(file.NextLine());
    EXPECT_FALSE(file.Ints(point, 2));
    ASSERT_TRUE(file.NextLine());
    EXPECT_FALSE(file.Word(name, sizeof(name)));
    ASSERT_TRUE(file.NextLine());
    EXPECT_FALSE(file.Int(&huge));
    // A number run into letters is no number: the whole word is named.
    int32_t level = 4;
    float scale[2] = {1.0f, 1.0f};
    ASSERT_TRUE(file.NextLine());
    EXPECT_FALSE(file.Int(&level));
    ASSERT_TRUE(file.NextLine());
    EXPECT_FALSE(file.Floats(scale, 2));
    const std::string lines = gametest::TakeDiagnostics();
    EXPECT_EQ(level, 4);
    EXPECT_EQ(scale[0], 1.0f);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(hp, 100);
    EXPECT_EQ(speed, 1.0f);
    EXPECT_EQ(point[0], 7);
    EXPECT_EQ(point[1], 8);
    EXPECT_STREQ(name, "dflt");
    EXPECT_EQ(huge, 3);
    EXPECT_EQ(file.ProblemCount(), 8);
    EXPECT_NE(lines.find("TEST.TXT:1: Count: 'x' is not a whole number\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("TEST.TXT:7: Level: '7up' is not a whole number\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("TEST.TXT:8: Scale: '1.5x' is not a number\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("TEST.TXT:2: MaxHP: 70000 is outside 1..65535\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("TEST.TXT:3: Speed: unexpected '2.5' after the value\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("TEST.TXT:4: Point: value 2 of 2 is missing"), std::string::npos) << lines;
    EXPECT_NE(lines.find("TEST.TXT:5: Name: 'ABCDEFGHIJKLMNOPQRSTUVWXYZ' is longer than 7 characters"),
              std::string::npos)
        << lines;
    EXPECT_NE(lines.find("TEST.TXT:6: Huge: '99999999999' is not a whole number"), std::string::npos) << lines;
}

// The atol and atof readings: the value always taken (0 for no number),
// anything but a plain number reported with what it reads as.
TEST_F(KeywordFile, AtolAndAtofReadingsTakeTheValueAndReportOddOnes)
{
    Open("Count: 12\nCount: many\nCount: 7up\nSpeed: 2.5\nSpeed: fast\nSpeed: 1.5x\n");
    int32_t counts[3] = {-1, -1, -1};
    float speeds[3] = {-1.0f, -1.0f, -1.0f};
    gametest::CaptureDiagnostics();
    for (int32_t &count : counts) {
        ASSERT_TRUE(file.NextLine());
        file.IntAsAtol(&count);
    }
    for (float &speed : speeds) {
        ASSERT_TRUE(file.NextLine());
        file.FloatAsAtof(&speed);
    }
    const std::string lines = gametest::TakeDiagnostics();
    EXPECT_EQ(counts[0], 12);
    EXPECT_EQ(counts[1], 0);
    EXPECT_EQ(counts[2], 7);
    EXPECT_EQ(speeds[0], 2.5f);
    EXPECT_EQ(speeds[1], 0.0f);
    EXPECT_EQ(speeds[2], 1.5f);
    EXPECT_EQ(file.ProblemCount(), 4);
    EXPECT_EQ(lines,
              "TEST.TXT:2: Count: 'many' is not a whole number; it reads as 0\n"
              "TEST.TXT:3: Count: '7up' is not a whole number; it reads as 7\n"
              "TEST.TXT:5: Speed: 'fast' is not a number; it reads as 0\n"
              "TEST.TXT:6: Speed: '1.5x' is not a number; it reads as 1.5\n");
}

TEST_F(KeywordFile, AnUnexpectedKeyIsReported)
{
    Open("Count: 1\n");
    gametest::CaptureDiagnostics();
    EXPECT_FALSE(file.NextLineIs("AINum:"));
    EXPECT_FALSE(file.NextLineIs("AINum:"));
    const std::string lines = gametest::TakeDiagnostics();
    EXPECT_NE(lines.find("TEST.TXT:1: Count: expected AINum:"), std::string::npos) << lines;
    EXPECT_NE(lines.find("expected AINum:, found the end of the file"), std::string::npos) << lines;
}

TEST_F(KeywordFile, AVeryLongLineIsCutAndReportedOnce)
{
    std::string text = "Long: " + std::string(1 << 20, '7') + "\nNext: 4\n";
    Open(text);
    gametest::CaptureDiagnostics();
    ASSERT_TRUE(file.NextLine());
    EXPECT_EQ(std::strlen(file.Line()), CSKeywordFile::kMaxLine);
    int32_t value = 0;
    ASSERT_TRUE(file.NextLine());
    EXPECT_TRUE(file.Int(&value));
    const std::string lines = gametest::TakeDiagnostics();
    EXPECT_EQ(value, 4);
    EXPECT_EQ(file.LineNumber(), 2);
    EXPECT_NE(lines.find("TEST.TXT:1: Long: the line is longer than 4096 characters"), std::string::npos);
}

// A value at either end of its range, a word that just fills its buffer and
// a line of just the longest length are taken as they are; one step beyond
// is refused or cut, with a line saying so.
TEST_F(KeywordFile, ValuesAtTheirLimitsAreTakenAndOneBeyondIsNot)
{
    const std::string longest = "Long: " + std::string(CSKeywordFile::kMaxLine - 6, '7');
    std::string many = "Many:";
    for (int i = 1; i <= CSKeywordFile::kMaxValues; ++i) {
        many += " " + std::to_string(i);
    }
    Open("Name: ABCDEFG\nName: ABCDEFGH\nLevel: 1\nLevel: 99\nLevel: 0\nLevel: 100\n"
         "Big: 2147483647, -2147483648\nBig: 2147483648\nScale: -0.5,.25\t2\nScale: 0.5, 2.5, 2\n" +
         longest + "\r\n" + longest + "7\r\n" + many + "\n");
    gametest::CaptureDiagnostics();
    char name[8] = "dflt";
    ASSERT_TRUE(file.NextLine());
    EXPECT_TRUE(file.Word(name, sizeof(name)));
    EXPECT_STREQ(name, "ABCDEFG");
    ASSERT_TRUE(file.NextLine());
    EXPECT_FALSE(file.Word(name, sizeof(name)));
    EXPECT_STREQ(name, "ABCDEFG");
    int32_t level = 50;
    for (int32_t expected : {1, 99}) {
        ASSERT_TRUE(file.NextLine());
        EXPECT_TRUE(file.Int(&level, 1, 99));
        EXPECT_EQ(level, expected);
    }
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(file.NextLine());
        EXPECT_FALSE(file.Int(&level, 1, 99)) << file.Rest();
        EXPECT_EQ(level, 99);
    }
    int32_t big[2] = {};
    ASSERT_TRUE(file.NextLine());
    EXPECT_TRUE(file.Ints(big, 2));
    EXPECT_EQ(big[0], INT32_MAX);
    EXPECT_EQ(big[1], INT32_MIN);
    ASSERT_TRUE(file.NextLine());
    EXPECT_FALSE(file.Int(&big[0]));
    EXPECT_EQ(big[0], INT32_MAX);
    float scale[3] = {};
    ASSERT_TRUE(file.NextLine());
    EXPECT_TRUE(file.Floats(scale, 3, -0.5f, 2.0f));
    EXPECT_EQ(scale[0], -0.5f);
    EXPECT_EQ(scale[1], 0.25f);
    EXPECT_EQ(scale[2], 2.0f);
    ASSERT_TRUE(file.NextLine());
    EXPECT_FALSE(file.Floats(scale, 3, -0.5f, 2.0f));
    ASSERT_TRUE(file.NextLine());
    EXPECT_EQ(file.Line(), longest);
    ASSERT_TRUE(file.NextLine());
    EXPECT_EQ(file.Line(), longest);
    // As many values as a line may give at once, and no more nor none.
    ASSERT_TRUE(file.NextLine());
    int32_t values[CSKeywordFile::kMaxValues + 1] = {};
    EXPECT_FALSE(file.Ints(values, CSKeywordFile::kMaxValues + 1));
    EXPECT_FALSE(file.Ints(values, 0));
    EXPECT_EQ(values[0], 0);
    EXPECT_TRUE(file.Ints(values, CSKeywordFile::kMaxValues));
    EXPECT_EQ(values[CSKeywordFile::kMaxValues - 1], CSKeywordFile::kMaxValues);
    EXPECT_FALSE(file.Word(nullptr, 8));
    EXPECT_FALSE(file.NextLine());
    const std::string lines = gametest::TakeDiagnostics();
    EXPECT_EQ(file.ProblemCount(), 6) << lines;
    EXPECT_NE(lines.find("TEST.TXT:2: Name: 'ABCDEFGH' is longer than 7 characters"), std::string::npos) << lines;
    EXPECT_NE(lines.find("TEST.TXT:5: Level: 0 is outside 1..99"), std::string::npos) << lines;
    EXPECT_NE(lines.find("TEST.TXT:6: Level: 100 is outside 1..99"), std::string::npos) << lines;
    EXPECT_NE(lines.find("TEST.TXT:8: Big: '2147483648' is not a whole number"), std::string::npos) << lines;
    EXPECT_NE(lines.find("TEST.TXT:10: Scale: 2.5 is outside -0.5..2"), std::string::npos) << lines;
    EXPECT_EQ(lines.find("TEST.TXT:11:"), std::string::npos) << lines;
    EXPECT_NE(lines.find("TEST.TXT:12: Long: the line is longer than 4096 characters"), std::string::npos) << lines;
}

// The same limits in a wide file: a line of the longest length is whole,
// one unit more is cut.
TEST_F(KeywordFile, AWideLineOfTheLongestLengthIsWhole)
{
    const std::u16string longest = u"Text: " + std::u16string(CSKeywordFile::kMaxLine - 6, u'\x4F60');
    const std::vector<uint8_t> bytes = apptest::Utf16(longest + u"\r\n" + longest + u"x\r\nID: 3\r\n", true);
    ASSERT_TRUE(file.OpenMemory("ENG.TCR", bytes.data(), bytes.size(), CSKeywordFile::kWide));
    gametest::CaptureDiagnostics();
    ASSERT_TRUE(file.NextLine());
    EXPECT_EQ(std::u16string(file.WideLine()), longest);
    ASSERT_TRUE(file.NextLine());
    EXPECT_EQ(std::u16string(file.WideLine()), longest);
    ASSERT_TRUE(file.NextLine());
    int32_t id = 0;
    EXPECT_TRUE(file.Int(&id));
    EXPECT_EQ(id, 3);
    const std::string lines = gametest::TakeDiagnostics();
    EXPECT_EQ(file.ProblemCount(), 1) << lines;
    EXPECT_NE(lines.find("ENG.TCR:2: Text: the line is longer than 4096 characters"), std::string::npos) << lines;
}

TEST_F(KeywordFile, WideFilesGiveKeysInUtf8AndTheWideTextAsRead)
{
    const std::vector<uint8_t> bytes = apptest::Utf16(u"ID: 13\r\nText: \x4F60\x597D world\r\n", true);
    ASSERT_TRUE(file.OpenMemory("ENG.TCR", bytes.data(), bytes.size(), CSKeywordFile::kWide));
    int32_t id = 0;
    ASSERT_TRUE(file.NextLineIs("ID:"));
    EXPECT_TRUE(file.Int(&id));
    EXPECT_EQ(id, 13);
    ASSERT_TRUE(file.NextLineIs("Text:"));
    EXPECT_EQ(std::u16string(file.WideRest()), u"\x4F60\x597D world");
    EXPECT_EQ(std::u16string(file.WideLine()), u"Text: \x4F60\x597D world");
    EXPECT_STREQ(file.Rest(), "\xE4\xBD\xA0\xE5\xA5\xBD world");
    EXPECT_FALSE(file.NextLine());
    // Past the last line there is no rest, narrow or wide.
    EXPECT_STREQ(file.Rest(), "");
    EXPECT_EQ(std::u16string(file.WideRest()), u"");
}

// Blanks before a wide line's key are skipped in the wide text as in the
// narrow one: the rest is the same text either way.
TEST_F(KeywordFile, BlanksBeforeAWideKeyAreSkipped)
{
    const std::vector<uint8_t> bytes = apptest::Utf16(u" \t Text:\t \x4F60 b\r\n", true);
    ASSERT_TRUE(file.OpenMemory("ENG.TCR", bytes.data(), bytes.size(), CSKeywordFile::kWide));
    ASSERT_TRUE(file.NextLineIs("Text:"));
    EXPECT_EQ(std::u16string(file.WideRest()), u"\x4F60 b");
    EXPECT_STREQ(file.Rest(), "\xE4\xBD\xA0 b");
}

TEST(KeywordFileOpen, AMissingFileIsQuietUnlessRequired)
{
    apptest::FatalRecorder fatal;
    apptest::FatalRecorder::Names().clear();
    CSKeywordFile file;
    gametest::CaptureDiagnostics();
    EXPECT_FALSE(file.Open("\\RESOURCE\\NOWHERE\\NONE.TXT"));
    EXPECT_TRUE(apptest::FatalRecorder::Names().empty());
    EXPECT_FALSE(file.Open("\\RESOURCE\\NOWHERE\\NONE.TXT", CSKeywordFile::kNarrow, true));
    const std::string lines = gametest::TakeDiagnostics();
    ASSERT_EQ(apptest::FatalRecorder::Names().size(), 1u);
    EXPECT_EQ(apptest::FatalRecorder::Names()[0], "\\RESOURCE\\NOWHERE\\NONE.TXT");
    EXPECT_NE(lines.find("zufopen fail: RESOURCE/NOWHERE/NONE.TXT\n"), std::string::npos);
    // A file that did not open has no lines.
    EXPECT_FALSE(file.NextLine());
    EXPECT_EQ(file.ProblemCount(), 0);
}

}  // namespace

}  // namespace keyword_test
