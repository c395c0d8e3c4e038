// The game itself, headless on the sample data: the first hero opens the
// first stage's door 79011200 (tests/event/scripts/open_door.txt); 3 s after
// the door has opened the first stage's scene 79017000 streams its pack, cuts to its
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

namespace event_scene_run_test {

namespace {

std::string Folder()
{
    return std::string(RW_TEST_BINARY_DIR) + "/tests/event_scene_run/" + std::to_string(getpid());
}

// "<tick> <what>" of the door's and the scene's trace lines.
std::vector<std::string> SceneLines(const std::vector<gametest::TraceRecord> &trace)
{
    std::vector<std::string> lines;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "event" && r.fields.size() >= 4 && (r.fields[0] == "79017000" || r.fields[0] == "79011200")) {
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

TEST(EventSceneRun, TheSceneCutsInThreeSecondsAfterTheDoorOpensAndGivesPlayBack)
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
    const Shot shots[] = {{556, "scene_cut"}, {636, "scene_subtitle"}, {690, "scene_after"}};
    std::string arguments = "--headless --mode 1 --fixed-step 16 --stage 1 --frames 700 --input '" +
                            std::string(RW_TEST_SOURCE_DIR) + "/tests/event/scripts/open_door.txt' --trace '" +
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
    // The door has opened at 293; 3 s later (188 ticks of 16 ms) the scene
    // starts, reads its pack in three frames, builds it and cuts to its camera.
    const std::vector<std::string> expected = {
        "230 started 0",  "293 ended 1",    "481 started 0",     "481 state 1",       "484 state 2",
        "484 state 3",    "484 state 4",    "484 state 5",       "487 actor 1",       "497 subtitle 0",
        "516 sound 6300040", "609 sound 6300040", "616 subtitle 1", "673 state 6",     "673 ended 1"};
    EXPECT_EQ(SceneLines(trace), expected);
    // The camera cuts to the scene and back to play.
    EXPECT_EQ(CameraModes(trace, 450),
              (std::vector<std::pair<int64_t, std::string>>{{450, "0"}, {484, "2"}, {672, "0"}}));
    // The actor pass stands still while the scene holds the stage and runs
    // again from its end.
    EXPECT_EQ(ActorPassRuns(trace), (std::vector<std::string>{"1-483", "673-700"}));
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
    const std::string arguments = "--headless --mode 1 --fixed-step 16 --stage 1 --frames 580 --input '" +
                                  std::string(RW_TEST_SOURCE_DIR) + "/tests/event/scripts/skip_scene.txt' --trace '" +
                                  dir + "/t.txt'";
    std::string output;
    ASSERT_EQ(apptest::RunGame(apptest::SampleData(), arguments, &output), 0) << output;
    const std::vector<gametest::TraceRecord> trace = gametest::ReadTrace(dir + "/t.txt");
    const std::vector<std::string> lines = SceneLines(trace);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()),
              (std::vector<std::string>{"556 state 6", "556 ended 1"}));
    EXPECT_EQ(CameraModes(trace, 450),
              (std::vector<std::pair<int64_t, std::string>>{{450, "0"}, {484, "2"}, {556, "0"}}));
    EXPECT_EQ(ActorPassRuns(trace), (std::vector<std::string>{"1-483", "556-580"}));
    if (!HasFailure()) {
        std::filesystem::remove_all(Folder());
    }
}

}  // namespace

}  // namespace event_scene_run_test
