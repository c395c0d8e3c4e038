// The game itself, headless on the sample data, under the scripted
// keyboard of tests/event/scripts: the first hero walks to the first
// stage's farmer, the speech marker shows over the hero, the action
// command opens the window (portrait, name plate, the typewriter in
// language 0), confirm presses page through the three lines, the camera
// turns back and the talk ends, whose end sets off its talk starter, so
// that the farmer's next talk says the two lines it handed over; a second run opens the trader's topic
// menu, moves its highlight, reads two topics (the trader's longest
// answer among them) and leaves with cross. The
// trace says when each step happened; screenshots match reviewed
// references.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/reference_image.h"
#include "support/game/trace_reader.h"

namespace event_talk_run_test {

namespace {

struct Shot {
    int tick;
    const char *name;
};

std::string Folder(const std::string &name)
{
    return std::string(RW_TEST_BINARY_DIR) + "/tests/event_talk_run/" + std::to_string(getpid()) + "/" + name;
}

// The event lines ("79010200 talk page 0") with their ticks.
std::vector<std::pair<int64_t, std::string>> EventLines(const std::vector<gametest::TraceRecord> &trace,
                                                       const std::string &id)
{
    std::vector<std::pair<int64_t, std::string>> lines;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "event" && !r.fields.empty() && r.fields[0] == id) {
            std::string line;
            for (size_t i = 1; i < r.fields.size(); ++i) {
                line += (i > 1 ? " " : "") + r.fields[i];
            }
            lines.emplace_back(r.tick, line);
        }
    }
    return lines;
}

// The camera modes of the ticks `from` .. `to`, runs of one mode as one entry.
std::vector<std::string> CameraModes(const std::vector<gametest::TraceRecord> &trace, int64_t from, int64_t to)
{
    std::vector<std::string> modes;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "camera" && r.tick >= from && r.tick <= to && !r.fields.empty() &&
            (modes.empty() || modes.back() != r.fields[0])) {
            modes.push_back(r.fields[0]);
        }
    }
    return modes;
}

class EventTalkRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!apptest::HaveSampleData()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
    }
    void TearDown() override
    {
        if (!HasFailure()) {
            std::filesystem::remove_all(Folder(""));
        }
    }
    std::vector<gametest::TraceRecord> Run(const std::string &name, const char *script, const std::string &options,
                                           const std::vector<Shot> &shots)
    {
        const std::string dir = Folder(name);
        std::filesystem::create_directories(dir);
        std::string arguments = "--headless --mode 1 --fixed-step 16 --stage 1 " + options + " --input '" +
                                std::string(RW_TEST_SOURCE_DIR) + "/tests/event/scripts/" + script + "' --trace '" +
                                dir + "/t.txt'";
        for (const Shot &shot : shots) {
            arguments += " --screenshot " + std::to_string(shot.tick) + ":'" + dir + "/" + shot.name + ".bmp'";
        }
        std::string output;
        EXPECT_EQ(apptest::RunGame(apptest::SampleData(), arguments, &output), 0) << output;
        for (const Shot &shot : shots) {
            apptest::ExpectLikeReference(dir + "/" + shot.name + ".bmp", event_test::ReferencePicture(shot.name),
                                         dir + "/" + shot.name + "_difference.bmp");
        }
        return gametest::ReadTrace(dir + "/t.txt");
    }
};

TEST_F(EventTalkRun, TheHeroTalksToTheFarmerPageByPage)
{
    const std::vector<gametest::TraceRecord> trace =
        Run("farmer", "talk_to_farmer.txt", "--frames 690 --language 0",
            {{238, "talk_marker"}, {320, "talk_typewriter"}, {470, "talk_done"}});
    const std::vector<std::pair<int64_t, std::string>> expected = {{240, "talk started 0"},
                                                                   {240, "talk page 0"},
                                                                   {345, "talk page 1"},
                                                                   {375, "talk page 2"},
                                                                   {437, "talk ended 1"}};
    using Lines = std::vector<std::pair<int64_t, std::string>>;
    const Lines lines = EventLines(trace, "79010200");
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 5), expected);
    // The camera turns to the farmer and holds, turns back after the last
    // page, and the talk ends once it plays again.
    EXPECT_EQ(CameraModes(trace, 200, 479), (std::vector<std::string>{"0", "7", "8", "0"}));
    // The talk's first end set its starter off (code 1: one end of the event
    // linked to it), which handed the talk its lines 4 and 5 and ended: the
    // farmer's next talk has two pages (the talk may occur without limit, so
    // its count of ends stays 1).
    const std::vector<std::pair<int64_t, std::string>> starter = {{438, "talk_starter started 0"},
                                                                  {438, "talk_starter ended 1"}};
    EXPECT_EQ(EventLines(trace, "79012900"), starter);
    const std::vector<std::pair<int64_t, std::string>> again = {
        {480, "talk started 1"}, {480, "talk page 0"}, {585, "talk page 1"}, {647, "talk ended 1"}};
    EXPECT_EQ(Lines(lines.begin() + 5, lines.end()), again);
}

// The second topic read, then the first, whose answer is the trader's
// longest: it stays inside the window's panel.
TEST_F(EventTalkRun, TheHeroReadsTopicsOfTheTradersMenu)
{
    const std::vector<gametest::TraceRecord> trace =
        Run("trader", "talk_to_trader.txt", "--frames 580",
            {{375, "talk_menu"}, {430, "talk_topic"}, {500, "talk_longest_answer"}});
    const std::vector<std::pair<int64_t, std::string>> expected = {
        {300, "npc_talk started 0"}, {300, "npc_talk topic 1"}, {360, "npc_talk topic 2"}, {415, "npc_talk text 2"},
        {455, "npc_talk topic 3"},   {462, "npc_talk topic 1"}, {485, "npc_talk text 1"},  {553, "npc_talk ended 1"}};
    EXPECT_EQ(EventLines(trace, "79010300"), expected);
    EXPECT_EQ(CameraModes(trace, 250, 580), (std::vector<std::string>{"0", "7", "8", "0"}));
    EXPECT_TRUE(EventLines(trace, "79010200").empty());
}

}  // namespace

}  // namespace event_talk_run_test
