// The event table file: a written table read back field by field, the
// reader's rules, the link pass, and hostile files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "app/file.h"
#include "event/event_objects.h"
#include "event_test_support.h"
#include "support/game/diagnostics_capture.h"

namespace event_table_file_test {

namespace {

using event_test::MakeManager;

std::unique_ptr<CSEventManager> ReadText(const std::string &text)
{
    auto manager = std::make_unique<CSEventManager>();
    zuFile *file = zufopenMemory(text.data(), text.size(), "r");
    EXPECT_TRUE(manager->LoadEventTable(file));
    zufclose(file);
    return manager;
}

void ExpectVec(const RwV3d &a, const RwV3d &b)
{
    EXPECT_FLOAT_EQ(a.x, b.x);
    EXPECT_FLOAT_EQ(a.y, b.y);
    EXPECT_FLOAT_EQ(a.z, b.z);
}

TEST(EventTableFile, RoundTripFieldByField)
{
    EventTableEntry exit = event_test::SquareEntry(79012400, 7.5f);
    exit.corners[2].y = 3.25f;
    exit.position = {1.5f, 2.0f, -3.0f};
    exit.at = {0.0f, 0.0f, -1.0f};
    exit.up = {0.0f, 1.0f, 0.0f};
    exit.charNum = 2;
    exit.npcNum = 3;
    exit.maxOccur = 1000;
    exit.param = 7;
    exit.linkId = 79012500;
    exit.playerMask = 2;
    exit.label = "STAGE_EXIT";
    EventTableEntry circle = event_test::CircleEntry(79010400, {4.0f, 0.5f, -6.0f}, 2.5f);
    circle.playerMask = 1;
    EventTableEntry effect = event_test::BareEntry(79160200);
    effect.points = {{1.0f, 2.0f, 3.0f}, {-4.5f, 0.0f, 6.25f}};

    auto manager = MakeManager({exit, circle, effect});
    ASSERT_EQ(manager->Records().size(), 3u);
    const EventRecord *r = manager->Records()[0];
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->EventID, 79012400);
    for (int c = 0; c < 4; ++c) {
        ExpectVec(r->EventArea[c], exit.corners[c]);
    }
    ExpectVec(r->Placement.position, exit.position);
    ExpectVec(r->Placement.at, exit.at);
    ExpectVec(r->Placement.up, exit.up);
    ExpectVec(r->Placement.centre, exit.position);
    EXPECT_FLOAT_EQ(r->Placement.radius, 40.0f);
    EXPECT_EQ(r->CharNum, 2);
    EXPECT_EQ(r->NPCNum, 3);
    ASSERT_NE(r->NPCFlags, nullptr);
    EXPECT_EQ(r->MaxOccur, 1000);
    EXPECT_EQ(r->Param, 7);
    EXPECT_EQ(r->LinkID, 79012500);
    EXPECT_EQ(r->PlayerEnable[0], 0);
    EXPECT_EQ(r->PlayerEnable[1], 1);
    EXPECT_STREQ(r->Label, "STAGE_EXIT");
    EXPECT_EQ(r->EventType, 20);

    const EventRecord *c = manager->Records()[1];
    ExpectVec(c->Circle.centre, circle.circleCentre);
    EXPECT_FLOAT_EQ(c->Circle.radius, 2.5f);
    EXPECT_EQ(c->PlayerEnable[0], 1);
    EXPECT_EQ(c->PlayerEnable[1], 0);
    EXPECT_EQ(c->NPCFlags, nullptr);  // NPCNum 0
    EXPECT_EQ(r->LinkEvent, nullptr); // 79012500 is not in this table

    const auto *e = static_cast<const CSSceneEffectEvent *>(manager->Records()[2]);
    ASSERT_EQ(e->PointStringCount, 2);
    EXPECT_STREQ(e->PointStrings[0], "1.0000,2.0000,3.0000");
    EXPECT_STREQ(e->PointStrings[1], "-4.5000,0.0000,6.2500");
}

TEST(EventTableFile, LinkPassFindsLinksAndTheSecondLink)
{
    EventTableEntry end = event_test::BareEntry(79010400);
    end.linkId = 79012500;
    EventTableEntry starter = event_test::BareEntry(79012500);
    starter.linkId = 79012400;
    starter.param = 79012300;  // the second link
    EventTableEntry exit = event_test::BareEntry(79012400);
    EventTableEntry door = event_test::BareEntry(79012300);
    EventTableEntry lone = event_test::BareEntry(3);
    lone.linkId = 79050300;
    auto manager = MakeManager({end, starter, exit, door, lone});
    const auto &records = manager->Records();
    EXPECT_EQ(records[0]->LinkEvent, records[1]);
    EXPECT_EQ(records[1]->LinkEvent, records[2]);
    EXPECT_EQ(static_cast<CSLinkStarterEvent *>(records[1])->SecondLink, records[3]);
    EXPECT_EQ(records[2]->LinkEvent, nullptr);
    EXPECT_EQ(records[4]->LinkEvent, nullptr);  // 79050300 is not in the table
}

TEST(EventTableFile, ReaderRules)
{
    // A word without ':' keeps the previous word's value; a count of 0 is
    // an empty, successful read; masks 0, 3 and -1; an unknown id leaves
    // an empty entry and its lines are skipped.
    const std::string text =
        "EventNum:3\n"
        "#1\nEventID:79012400\n"
        "P01 X:1.0 Y:2.0 Z:3.0\nP02 X:4.0 y Z:6.0\nP03 X:0 Y:0 Z:0\nP04 X:0 Y:0 Z:0\n"
        "Pos X:0 Y:0 Z:0\nAt X:0 Y:0 Z:1\nUp X:0 Y:1 Z:0\nC X:0 Y:0 Z:0\nRadius:0\n"
        "C:1 N:0 M:1 P:0 L:0 Mask:0\nLABEL extra words\n\n"
        "#2\nEventID:79014000\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n"
        "#3\nEventID:79012500\n"
        "P01 X:0 Y:0 Z:0\nP02 X:0 Y:0 Z:0\nP03 X:0 Y:0 Z:0\nP04 X:0 Y:0 Z:0\n"
        "Pos X:0 Y:0 Z:0\nAt X:0 Y:0 Z:1\nUp X:0 Y:1 Z:0\nC X:0 Y:0 Z:0\nRadius:0\n"
        "C:1 N:20 M:1 P:0 L:0 Mask:-1\nX\n\n";
    auto manager = ReadText(text);
    ASSERT_EQ(manager->Records().size(), 3u);
    const EventRecord *r = manager->Records()[0];
    EXPECT_FLOAT_EQ(r->EventArea[1].y, 4.0f);  // 'y' keeps the 4.0 before it
    EXPECT_EQ(r->PlayerEnable[0], 0);
    EXPECT_EQ(r->PlayerEnable[1], 0);
    EXPECT_STREQ(r->Label, "LABEL");
    EXPECT_EQ(manager->Records()[1], nullptr);
    const EventRecord *big = manager->Records()[2];
    EXPECT_EQ(big->NPCNum, 20);
    EXPECT_EQ(big->NPCFlags, nullptr);
    EXPECT_EQ(big->PlayerEnable[0], 0);  // a negative mask enables no slot
    EXPECT_EQ(big->PlayerEnable[1], 0);

    auto empty = ReadText("EventNum:0\n");
    EXPECT_TRUE(empty->Records().empty());
}

std::string Block(int32_t id)
{
    EventTableEntry e = event_test::BareEntry(id);
    const std::string text = FormatEventTable({e});
    return text.substr(text.find('\n') + 1);
}

TEST(EventTableFile, HostileFilesReadWhatTheyHold)
{
    // Counts far beyond the blocks (held to 32 bits, as atol holds them),
    // and none.
    for (const char *count : {"EventNum:2147483647\n", "EventNum:99999999999999\n", "EventNum:-5\n", "nothing\n"}) {
        auto manager = ReadText(std::string(count) + Block(79012400) + Block(79012500));
        const size_t expected = std::string(count).find("99") != std::string::npos ||
                                        std::string(count).find("2147483647") != std::string::npos
                                    ? 2u
                                    : 0u;
        EXPECT_EQ(manager->Records().size(), expected) << count;
    }
    // A truncated block ends the read and keeps the blocks before it.
    std::string two = "EventNum:2\n" + Block(79012400) + Block(79012500);
    auto cut = ReadText(two.substr(0, two.size() - 40));
    EXPECT_EQ(cut->Records().size(), 1u);
    // A block whose id line holds no number ends the read.
    std::string garbled = "EventNum:2\n" + Block(79012400) + Block(79012500);
    garbled.replace(garbled.find("EventID:79012500"), 16, "EventID:garbage!");
    EXPECT_EQ(ReadText(garbled)->Records().size(), 1u);
    // A line far past 511 characters is cut; the rest does not shift the block.
    std::string longLine = "EventNum:2\n" + Block(79012400) + Block(79012500);
    const size_t labelAt = longLine.find("none\n");
    longLine.insert(labelAt, std::string(5000, 'L'));
    auto longRead = ReadText(longLine);
    ASSERT_EQ(longRead->Records().size(), 2u);
    EXPECT_EQ(std::strlen(longRead->Records()[0]->Label), 511u);
    EXPECT_EQ(longRead->Records()[1]->EventID, 79012500);
    // Non-numbers everywhere keep the previous values and crash nothing.
    std::string words = "EventNum:1\n#\nEventID:79012400\n";
    for (int i = 0; i < 12; ++i) {
        words += "a:b c:NaNx d:1e999999 e:-- f:0x10 :\n";
    }
    auto odd = ReadText(words);
    ASSERT_EQ(odd->Records().size(), 1u);
    // Binary junk.
    std::string junk(4096, '\0');
    for (size_t i = 0; i < junk.size(); ++i) {
        junk[i] = static_cast<char>((i * 131) & 0xff);
    }
    ReadText("EventNum:100\n" + junk);
}

// A number after a ':' that is no number reads as 0, as atol and atof read
// it (not as the value of the word before it), with a diagnostic naming the
// file's line; a word without ':' still keeps the value before it.
TEST(EventTableFile, NonNumbersReadAsZeroWithTheirLine)
{
    EventTableEntry entry = event_test::BareEntry(79012400);
    entry.charNum = 1;
    entry.linkId = 79012500;
    entry.radius = 8.0f;
    entry.corners[2] = {5.0f, 6.0f, 7.0f};
    std::string text = FormatEventTable({entry});
    text.replace(text.find("CharNum:1"), 9, "CharNum:two");
    text.replace(text.find("Player:3"), 8, "Player:3x");
    text.replace(text.find("Radius:8.0000"), 13, "Radius:wide");
    text.replace(text.find("P02 X:0.0000"), 12, "P02 X:east");
    const size_t p03 = text.find("P03 X:");
    text.replace(text.find("Y:", p03), 2, "Y");  // no ':': keeps the x before it
    gametest::CaptureDiagnostics();
    auto manager = ReadText(text);
    const std::string said = gametest::TakeDiagnostics();
    ASSERT_EQ(manager->Records().size(), 1u);
    const EventRecord *r = manager->Records()[0];
    EXPECT_EQ(r->CharNum, 0) << "not the event's own id";
    EXPECT_EQ(r->NPCNum, 0);
    EXPECT_EQ(r->LinkID, 79012500);
    EXPECT_EQ(r->PlayerEnable[0], 1);  // 3x reads as 3
    EXPECT_EQ(r->PlayerEnable[1], 1);
    EXPECT_EQ(r->Circle.radius, 0.0f);
    EXPECT_EQ(r->EventArea[1].x, 0.0f);
    EXPECT_EQ(r->EventArea[2].y, 5.0f);
    // Line 1 the count, line 2 the block's first, line 3 its id; the
    // corners on lines 4-7, the radius on 12, the numbers on 13.
    EXPECT_EQ(said,
              "RESOURCE/G_EVENT/G_EVENT.EVT:5: 'X:east' is not a number; it reads as 0\n"
              "RESOURCE/G_EVENT/G_EVENT.EVT:12: 'Radius:wide' is not a number; it reads as 0\n"
              "RESOURCE/G_EVENT/G_EVENT.EVT:13: 'CharNum:two' is not a whole number; it reads as 0\n"
              "RESOURCE/G_EVENT/G_EVENT.EVT:13: 'Player:3x' is not a whole number; it reads as 3\n");
}

// An empty file, a count that is negative or no number, and a count line
// without ':' read no event and say so.
TEST(EventTableFile, EmptyFilesAndBadCountsAreReported)
{
    const struct {
        std::string text;
        const char *said;
    } rows[] = {
        {"", "RESOURCE/G_EVENT/G_EVENT.EVT: the file is empty; it holds no event\n"},
        {"EventNum:-3\n" + Block(79012400), "RESOURCE/G_EVENT/G_EVENT.EVT:1: a count of -3 events; none is read\n"},
        {"EventNum:one\n" + Block(79012400),
         "RESOURCE/G_EVENT/G_EVENT.EVT:1: 'EventNum:one' is not a whole number; it reads as 0\n"},
        {"EventNum 1\n" + Block(79012400),
         "RESOURCE/G_EVENT/G_EVENT.EVT:1: the count line has no ':'; it holds no event\n"},
    };
    for (const auto &row : rows) {
        gametest::CaptureDiagnostics();
        auto manager = ReadText(row.text);
        const std::string said = gametest::TakeDiagnostics();
        EXPECT_TRUE(manager->Records().empty()) << row.text;
        EXPECT_NE(said.find(row.said), std::string::npos) << said;
    }
    gametest::CaptureDiagnostics();
    auto good = ReadText("EventNum:1\n" + Block(79012400));
    EXPECT_EQ(gametest::TakeDiagnostics(), "");
    EXPECT_EQ(good->Records().size(), 1u);
}

// A line past its 511 characters is cut and read on, with a diagnostic
// naming its line; a line end alone past the room loses nothing and says
// nothing.
TEST(EventTableFile, AnOverLongLineIsCutWithItsLine)
{
    std::string text = "EventNum:1\n" + Block(79012400);
    text.insert(text.find("none\n"), std::string(600, 'L'));
    gametest::CaptureDiagnostics();
    auto manager = ReadText(text);
    std::string said = gametest::TakeDiagnostics();
    ASSERT_EQ(manager->Records().size(), 1u);
    EXPECT_EQ(manager->Records()[0]->EventID, 79012400);
    const size_t labelLine = static_cast<size_t>(std::count(text.begin(), text.begin() + text.find("LLL"), '\n')) + 1;
    EXPECT_EQ(said, "RESOURCE/G_EVENT/G_EVENT.EVT:" + std::to_string(labelLine) +
                        ": the line is longer than 511 characters; the rest of it is not read\n");

    std::string exact = "EventNum:1\n" + Block(79012400);
    const size_t label = exact.find("none\n");
    exact.replace(label, 4, std::string(511, 'L'));
    gametest::CaptureDiagnostics();
    manager = ReadText(exact);
    said = gametest::TakeDiagnostics();
    ASSERT_EQ(manager->Records().size(), 1u);
    EXPECT_EQ(std::strlen(manager->Records()[0]->Label), 511u);
    EXPECT_EQ(said, "");
}

TEST(EventTableFile, MissingFileLeavesTheTableEmpty)
{
    CSEventManager manager;
    EXPECT_FALSE(manager.LoadEventTable("/no/such/folder/G_EVENT.EVT"));
    EXPECT_TRUE(manager.Records().empty());
}

}  // namespace

}  // namespace event_table_file_test
