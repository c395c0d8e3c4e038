// The game itself, headless on the sample data: the first hero talks to the
// farmer (tests/event/scripts/talk_to_farmer.txt); 3 s after the talk has
// ended the first stage's scene 79017000 streams its pack, cuts to its
// camera with the letterbox, plays the yard's monster, shows its two
// subtitles and its sounds, ends with the camera back in play and lets
// the actors run again. The trace says when each step happened;
// screenshots match reviewed references.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/reference_image.h"
#include "support/game/trace_reader.h"

namespace {

std::string Folder()
{
    return std::string(RW_TEST_BINARY_DIR) + "/tests/event_scene_run/" + std::to_string(getpid());
}

// "<tick> <what>" of the scene's own trace lines.
std::vector<std::string> SceneLines(const std::vector<gametest::TraceRecord> &trace)
{
    std::vector<std::string> lines;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "event" && r.fields.size() >= 4 && r.fields[0] == "79017000") {
            lines.push_back(std::to_string(r.tick) + " " + r.fields[2] + " " + r.fields[3]);
        }
    }
    return lines;
}

std::vector<std::pair<int64_t, std::string>> CameraModes(const std::vector<gametest::TraceRecord> &trace, int64_t from)
{
    std::vector<std::pair<int64_t, std::string>> modes;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "camera" && r.tick >= from && !r.fields.empty() &&
            (modes.empty() || modes.back().second != r.fields[0])) {
            modes.emplace_back(r.tick, r.fields[0]);
        }
    }
    return modes;
}

// The ticks with "actor" lines (the actor pass ran), as runs "first-last".
std::vector<std::string> ActorPassRuns(const std::vector<gametest::TraceRecord> &trace)
{
    std::vector<std::string> runs;
    int64_t first = -1;
    int64_t last = -1;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind != "actor" || r.tick == last) {
            continue;
        }
        if (r.tick != last + 1 && first >= 0) {
            runs.push_back(std::to_string(first) + "-" + std::to_string(last));
            first = -1;
        }
        if (first < 0) {
            first = r.tick;
        }
        last = r.tick;
    }
    if (first >= 0) {
        runs.push_back(std::to_string(first) + "-" + std::to_string(last));
    }
    return runs;
}

TEST(EventSceneRun, TheSceneCutsInThreeSecondsAfterTheTalkAndGivesPlayBack)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    const std::string dir = Folder() + "/cut";
    std::filesystem::create_directories(dir);
    struct Shot {
        int tick;
        const char *name;
    };
    const Shot shots[] = {{700, "scene_cut"}, {780, "scene_subtitle"}, {830, "scene_after"}};
    std::string arguments = "--headless --mode 1 --fixed-step 16 --stage 1 --language 0 --frames 840 --input '" +
                            std::string(RW_TEST_SOURCE_DIR) + "/tests/event/scripts/talk_to_farmer.txt' --trace '" +
                            dir + "/t.txt'";
    for (const Shot &shot : shots) {
        arguments += " --screenshot " + std::to_string(shot.tick) + ":'" + dir + "/" + shot.name + ".bmp'";
    }
    std::string output;
    ASSERT_EQ(apptest::RunGame(apptest::SampleData(), arguments, &output), 0) << output;
    for (const Shot &shot : shots) {
        apptest::ExpectLikeReference(dir + "/" + shot.name + ".bmp",
                                     std::string(RW_TEST_SOURCE_DIR) + "/tests/event/reference/" + shot.name + ".bmp",
                                     dir + "/" + shot.name + "_difference.bmp");
    }
    const std::vector<gametest::TraceRecord> trace = gametest::ReadTrace(dir + "/t.txt");
    // The talk ends at 437; 3 s later (188 ticks of 16 ms) the scene starts,
    // reads its small pack in a frame, builds it and cuts to its camera.
    const std::vector<std::string> expected = {
        "625 started 0", "625 state 1",          "628 state 2",           "628 state 3",        "628 state 4",
        "628 state 5",   "631 actor 1",          "641 subtitle 0",        "660 sound 6300040",  "753 sound 6300040",
        "760 subtitle 1", "817 state 6",         "817 ended 1"};
    EXPECT_EQ(SceneLines(trace), expected);
    // The camera cuts to the scene and back to play.
    EXPECT_EQ(CameraModes(trace, 600),
              (std::vector<std::pair<int64_t, std::string>>{{600, "0"}, {628, "2"}, {816, "0"}}));
    // The actor pass stands still while the scene holds the stage and runs
    // again from its end.
    EXPECT_EQ(ActorPassRuns(trace), (std::vector<std::string>{"1-627", "817-840"}));
    if (!HasFailure()) {
        std::filesystem::remove_all(Folder());
    }
}

TEST(EventSceneRun, EscapeSkipsTheSceneAndPlayComesBackAtOnce)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    const std::string dir = Folder() + "/skip";
    std::filesystem::create_directories(dir);
    const std::string arguments = "--headless --mode 1 --fixed-step 16 --stage 1 --language 0 --frames 720 --input '" +
                                  std::string(RW_TEST_SOURCE_DIR) + "/tests/event/scripts/skip_scene.txt' --trace '" +
                                  dir + "/t.txt'";
    std::string output;
    ASSERT_EQ(apptest::RunGame(apptest::SampleData(), arguments, &output), 0) << output;
    const std::vector<gametest::TraceRecord> trace = gametest::ReadTrace(dir + "/t.txt");
    const std::vector<std::string> lines = SceneLines(trace);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()),
              (std::vector<std::string>{"700 state 6", "700 ended 1"}));
    EXPECT_EQ(CameraModes(trace, 600),
              (std::vector<std::pair<int64_t, std::string>>{{600, "0"}, {628, "2"}, {700, "0"}}));
    EXPECT_EQ(ActorPassRuns(trace), (std::vector<std::string>{"1-627", "700-720"}));
    if (!HasFailure()) {
        std::filesystem::remove_all(Folder());
    }
}

}  // namespace
