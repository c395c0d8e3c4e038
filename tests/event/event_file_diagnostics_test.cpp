// Damaged event data files, written here line by line, and what each says:
// a fault that refuses a file or ends its read reaches standard error even
// without --debug, naming the file, the line and what was wrong; what is
// read on (a count above the entries there, a line over its room, a number
// with other text after it, a digits line short of its text) is a
// diagnostic line naming the same; an event table that gives no event is
// said always. What the readers keep is unchanged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/debug.h"
#include "app/file.h"
#include "event/event_bgm_list.h"
#include "event/event_data_files.h"
#include "event/event_objects.h"
#include "event/event_table_file.h"
#include "event/scene_subtitles.h"
#include "support/game/diagnostics_capture.h"
#include "tests/event/event_test_support.h"

namespace event_file_diagnostics_test {

namespace {

using gametest::Said;

CSEventBGMList ReadMusic(const std::string &text)
{
    CSEventBGMList list;
    zuFile *file = zufopenMemory(text.data(), text.size(), "r");
    EXPECT_TRUE(list.Read(file));
    zufclose(file);
    return list;
}

bool ReadHurt(const std::string &text, std::vector<HurtEventEntry> *out)
{
    zuFile *file = zufopenMemory(text.data(), text.size(), "rb");
    const bool read = ParseHurtEvents(file, out);
    zufclose(file);
    return read;
}

bool ReadSubtitles(const std::u16string &text, std::vector<SceneSubtitleEntry> *out)
{
    const std::string bytes = event_test::WideBytes(text);
    zuFile *file = zufopenMemory(bytes.data(), bytes.size(), "rb");
    const bool read = ParseSceneSubtitles(file, out, "79020800.SUB");
    zufclose(file);
    return read;
}

const char kMusicEntry[] = "#\nMusic\nBgm:3\nStart:79050300\nStop:79050400\nEnd\n";

TEST(EventFileDiagnostics, TheMusicListNamesEachFaultWithItsLine)
{
    // A count above the entries there: the entries there, and where it ended.
    CSEventBGMList list;
    std::string said = Said(true, [&] { list = ReadMusic(std::string("Count:3\n") + kMusicEntry); });
    EXPECT_EQ(list.Entries().size(), 1u);
    EXPECT_EQ(said,
              "RESOURCE/G_EVENT/EVENT.BGM:7: the file ends inside entry 2 of 3; the list ends with the 1 before it\n");

    // A value that is no whole number reads as atol reads it.
    said = Said(true, [&] { list = ReadMusic("Count:1\n#\nMusic\nBgm:3rd\nStart:79050300\nStop:x\nEnd\n"); });
    ASSERT_EQ(list.Entries().size(), 1u);
    EXPECT_EQ(list.Entries()[0].music, 3);
    EXPECT_EQ(list.Entries()[0].stopEvent, 0);
    EXPECT_EQ(said,
              "RESOURCE/G_EVENT/EVENT.BGM:4: '3rd' is not a whole number; it reads as 3\n"
              "RESOURCE/G_EVENT/EVENT.BGM:6: 'x' is not a whole number; it reads as 0\n");

    // A number line without ':' ends the list with the entries before it.
    said = Said(true, [&] { list = ReadMusic(std::string("Count:2\n") + kMusicEntry + "#\nMusic\nBgm 4\nStart:1\n"
                                                                                      "Stop:2\nEnd\n"); });
    EXPECT_EQ(list.Entries().size(), 1u);
    EXPECT_EQ(said,
              "RESOURCE/G_EVENT/EVENT.BGM:8: entry 2 of 2 lacks a ':' on a number line; the list ends with the 1 "
              "before it\n");

    // A line past its 512 characters is cut and the next line stays in place.
    std::string longName = std::string("Count:1\n#\n") + std::string(700, 'M') + "\nBgm:5\nStart:1\nStop:2\nEnd\n";
    said = Said(true, [&] { list = ReadMusic(longName); });
    ASSERT_EQ(list.Entries().size(), 1u);
    EXPECT_EQ(list.Entries()[0].music, 5);
    EXPECT_EQ(said,
              "RESOURCE/G_EVENT/EVENT.BGM:3: the line is longer than 512 characters; the rest of it is not read\n");

    // A file without its count line gives an empty list, said even without --debug.
    said = Said(false, [&] { list = ReadMusic("Music list\n"); });
    EXPECT_TRUE(list.Entries().empty());
    EXPECT_EQ(
        said,
        "RESOURCE/G_EVENT/EVENT.BGM:1: no count line (a label, ':' and the number of entries); the list is empty\n");
    // The well-formed file says nothing.
    EXPECT_EQ(Said(true, [&] { ReadMusic(std::string("Count:1\n") + kMusicEntry); }), "");
}

TEST(EventFileDiagnostics, TheHurtFileSaysWhereItsReadEnded)
{
    const std::string entry = "Hurt\nID: 79230300\nValue: 9\nLines: 1\nOuch\nEnd\n";
    std::vector<HurtEventEntry> hurt;
    // A count above the entries there ends the read where the file ends,
    // said without --debug; the entry read stays.
    std::string said = Said(false, [&] { EXPECT_FALSE(ReadHurt("Count: 2\n" + entry, &hurt)); });
    ASSERT_EQ(hurt.size(), 1u);
    EXPECT_EQ(hurt[0].eventId, 79230300);
    EXPECT_NE(said.find("RESOURCE/G_EVENT/HURTEVT/HURTEVT.HTE: the file ends where line 8 ("), std::string::npos)
        << said;
    EXPECT_NE(said.find("; the read ends there\n"), std::string::npos) << said;

    // A value that is no number refuses the entry there.
    said = Said(false, [&] {
        EXPECT_FALSE(ReadHurt("Count: 2\n" + entry + "Hurt\nID: lots\nValue: 1\nLines: 0\nEnd\n", &hurt));
    });
    EXPECT_EQ(hurt.size(), 1u);
    EXPECT_EQ(said, "RESOURCE/G_EVENT/HURTEVT/HURTEVT.HTE:9: no event id here; the read ends there\n");

    // A number with other text after it is read as far as it goes.
    said = Said(true, [&] { EXPECT_TRUE(ReadHurt("Count: 1\nHurt\nID: 79230300th\nValue: 2.5kg\nLines: 0\nEnd\n",
                                                 &hurt)); });
    ASSERT_EQ(hurt.size(), 1u);
    EXPECT_EQ(hurt[0].eventId, 79230300);
    EXPECT_FLOAT_EQ(hurt[0].value, 2.5f);
    EXPECT_EQ(said,
              "RESOURCE/G_EVENT/HURTEVT/HURTEVT.HTE:3: the event id '79230300th' is read as far as it is a number\n"
              "RESOURCE/G_EVENT/HURTEVT/HURTEVT.HTE:4: the value '2.5kg' is read as far as it is a number\n");

    // A hurt line past its 511 characters is cut, the lines after it in place.
    said = Said(true, [&] {
        EXPECT_TRUE(ReadHurt("Count: 1\nHurt\nID: 1\nValue: 1\nLines: 1\n" + std::string(900, 'o') + "\nEnd\n", &hurt));
    });
    ASSERT_EQ(hurt.size(), 1u);
    EXPECT_EQ(hurt[0].lines[0].size(), 511u);
    EXPECT_EQ(
        said,
        "RESOURCE/G_EVENT/HURTEVT/HURTEVT.HTE:6: the line is longer than 511 characters; the rest of it is not read\n");
}

TEST(EventFileDiagnostics, ASubtitleFileNamesItsRefusalAndWhatItReadsOn)
{
    std::vector<SceneSubtitleEntry> read;
    // A line missing refuses the file, said without --debug.
    std::string said = Said(false, [&] {
        EXPECT_FALSE(ReadSubtitles(u"SubNum:2\r\n#Sub1\r\nStartFrame:90\r\nHalt!\r\n11111\r\nEndTime:15\r\n#End\r\n",
                                   &read));
    });
    EXPECT_NE(said.find("79020800.SUB: the file ends where line 8 ("), std::string::npos) << said;
    EXPECT_NE(said.find("; the file is refused\n"), std::string::npos) << said;
    // A start frame that is no number.
    said = Said(false, [&] {
        EXPECT_FALSE(ReadSubtitles(u"SubNum:1\r\n#Sub1\r\nStartFrame:soon\r\nHalt!\r\n11111\r\nEndTime:15\r\n#End\r\n",
                                   &read));
    });
    EXPECT_NE(said.find("79020800.SUB:3: no "), std::string::npos) << said;
    EXPECT_NE(said.find(" here; the file is refused\n"), std::string::npos) << said;

    // Digits short of the text and a character that is no digit: read on.
    said = Said(true, [&] {
        EXPECT_TRUE(ReadSubtitles(u"SubNum:1\r\n#Sub1\r\nStartFrame:90\r\nHalt!\r\n1x1\r\nEndTime:15\r\n#End\r\n",
                                  &read));
    });
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].digits, "101");
    EXPECT_EQ(said,
              "79020800.SUB:5: a character of the digits is no digit; it counts 0\n"
              "79020800.SUB:5: 3 digits for 5 characters; the characters without one come with the one before\n");
    // A text past its 1024 characters is cut, the lines after it in place.
    said = Said(true, [&] {
        EXPECT_TRUE(ReadSubtitles(u"SubNum:1\r\n#Sub1\r\nStartFrame:90\r\n" + std::u16string(1500, u'a') +
                                      u"\r\n" + std::u16string(1024, u'1') + u"\r\nEndTime:15\r\n#End\r\n",
                                  &read));
    });
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].text.size(), 1024u);
    EXPECT_EQ(read[0].endDelay, 15);
    EXPECT_EQ(said, "79020800.SUB:4: the line is longer than 1024 characters; the rest of it is not read\n");
}

// An event table that gives no event (empty, no count, a count below 0, its
// first block cut or without an id) is said without --debug; one cut after
// some events, only under it.
TEST(EventFileDiagnostics, AnEventTableThatGivesNoEventSaysSoAlways)
{
    const std::string text = FormatEventTable({event_test::BareEntry(79012400), event_test::BareEntry(79012500)});
    const struct {
        std::string text;
        const char *said;
    } rows[] = {
        {"", "RESOURCE/G_EVENT/G_EVENT.EVT: the file is empty; it holds no event\n"},
        {"\x93\x11 noise", "RESOURCE/G_EVENT/G_EVENT.EVT:1: the count line has no ':'; it holds no event\n"},
        {"EventNum:-1\n", "RESOURCE/G_EVENT/G_EVENT.EVT:1: a count of -1 events; none is read\n"},
        {"EventNum:1\n#\n", "RESOURCE/G_EVENT/G_EVENT.EVT: block 1 is short; 0 events read\n"},
    };
    for (const auto &row : rows) {
        const std::string said = Said(false, [&] {
            CSEventManager manager;
            zuFile *file = zufopenMemory(row.text.data(), row.text.size(), "r");
            EXPECT_TRUE(manager.LoadEventTable(file));
            zufclose(file);
            EXPECT_TRUE(manager.Records().empty());
        });
        EXPECT_EQ(said, row.said) << row.text;
    }
    // A table cut after its first event keeps it, and says so under --debug.
    const std::string cut = text.substr(0, text.size() - 40);
    const std::string quiet = Said(false, [&] {
        CSEventManager manager;
        zuFile *file = zufopenMemory(cut.data(), cut.size(), "r");
        manager.LoadEventTable(file);
        zufclose(file);
        EXPECT_EQ(manager.Records().size(), 1u);
    });
    EXPECT_EQ(quiet, "");
}

}  // namespace

}  // namespace event_file_diagnostics_test
