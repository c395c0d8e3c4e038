// End to end: the game run headless in stage 1 with the sample game of save
// slot 1 carried in (--slot 1), driven by a key script: start pauses, the
// status page shows its three tabs (a sword previewed on the equipment
// tab), back; the map, back; resume. Then start again, "return to the
// title", no, and again yes. The trace shows the menu, its pages and tabs
// and sounds in order; nothing of the stage moves while the menu is open
// (no actor, hero, camera, message, event or effect line) and its music is
// paused until the resume; the run ends on the title (screen 7). The
// equipment tab and the map (with the hero's marker where he stands) match
// reviewed references, and the frames of every fourth tick the kept frame
// log tests/ui/frame_logs/pause_road.txt.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/reference_image.h"
#include "tests/app/app_test_support.h"
#include "tests/support/game/frame_log.h"
#include "tests/support/game/trace_reader.h"

namespace pause_road_test {

namespace {

std::string Folder() { return std::string(RW_TEST_BINARY_DIR) + "/tests/ui_pause_road/" + std::to_string(getpid()); }

const char *const kScript =
    "# pause, the status page and its three tabs, back; the map, back; resume\n"
    "80 key Enter 1\n81 key Enter 0\n"
    "100 key Down 1\n101 key Down 0\n"
    "120 key C 1\n121 key C 0\n"
    "170 key Right 1\n171 key Right 0\n"
    "180 key Down 1\n181 key Down 0\n"
    "190 key Right 1\n191 key Right 0\n"
    "200 key Down 1\n201 key Down 0\n"
    "210 key X 1\n211 key X 0\n"
    "230 key Down 1\n231 key Down 0\n"
    "250 key C 1\n251 key C 0\n"
    "290 key X 1\n291 key X 0\n"
    "310 key Up 1\n311 key Up 0\n"
    "330 key Up 1\n331 key Up 0\n"
    "350 key C 1\n351 key C 0\n"
    "# again: return to the title, no, then yes\n"
    "400 key Enter 1\n401 key Enter 0\n"
    "420 key Up 1\n421 key Up 0\n"
    "440 key C 1\n441 key C 0\n"
    "460 key C 1\n461 key C 0\n"
    "480 key C 1\n481 key C 0\n"
    "500 key Left 1\n501 key Left 0\n"
    "520 key C 1\n521 key C 0\n";

std::string FileText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Shot {
    int tick;
    const char *name;
};
const Shot kShots[] = {{185, "pause_road_equipment"}, {286, "pause_road_map"}};

// "screen" lines of the given first words, as "tick word value" strings.
std::vector<std::string> ScreenLines(const std::vector<gametest::TraceRecord> &trace,
                                     const std::vector<std::string> &words)
{
    std::vector<std::string> lines;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind != "screen" || r.fields.empty() ||
            std::find(words.begin(), words.end(), r.fields[0]) == words.end()) {
            continue;
        }
        std::string line = std::to_string(r.tick);
        for (const std::string &field : r.fields) {
            line += " " + field;
        }
        lines.push_back(line);
    }
    return lines;
}

TEST(PauseRoad, TheMenuItsPagesAndTheReturnToTheTitle)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    const std::string dir = Folder();
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/script.txt") << kScript;
    std::string arguments = "--headless --mode 1 --stage 1 --slot 1 --fixed-step 16 --frames 530 --input '" + dir +
                            "/script.txt' --trace '" + dir + "/t.txt'" + gametest::kKeptFramesOption;
    for (const Shot &shot : kShots) {
        arguments += " --screenshot " + std::to_string(shot.tick) + ":'" + dir + "/" + shot.name + ".bmp'";
    }
    std::string output;
    ASSERT_EQ(apptest::RunGame(apptest::SampleData(), arguments, &output), 0) << output;
    const std::vector<gametest::TraceRecord> trace = gametest::ReadTrace(dir + "/t.txt");
    gametest::ExpectFramesAsKept(trace, "ui/frame_logs/pause_road", dir + "/t.txt");

    EXPECT_EQ(ScreenLines(trace, {"menu", "page", "tab"}),
              (std::vector<std::string>{
                  "80 menu open", "100 menu entry 1", "120 page status", "170 tab 1", "190 tab 2",
                  "211 page closed", "230 menu entry 2", "250 page map", "291 page closed", "310 menu entry 1",
                  "330 menu entry 0", "350 menu close", "400 menu open", "420 menu entry 3", "440 page question",
                  "460 page closed", "480 page question", "520 page closed", "520 menu close"}));
    // Opening 6600060, moves 6600010, the pages 6600060, back 6600050, the
    // resume 6600050, the question 6600070.
    std::vector<int64_t> sounds;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "screen" && r.fields.size() == 2 && r.fields[0] == "sound" && r.tick >= 80) {
            sounds.push_back(std::stoll(r.fields[1]));
        }
    }
    EXPECT_EQ(sounds, (std::vector<int64_t>{6600060, 6600010, 6600060, 6600010, 6600010, 6600010, 6600010, 6600050,
                                            6600010, 6600060, 6600050, 6600010, 6600010, 6600050, 6600060, 6600010,
                                            6600070, 6600070, 6600010}));

    // The stage stands still while the menu is open: the stage's lines stop
    // after tick 80 and go on at 351, and stop again after 400.
    int64_t lastBefore = -1;
    int64_t firstAfter = -1;
    int64_t last = -1;
    for (const gametest::TraceRecord &r : trace) {
        const bool stage = r.kind == "actor" || r.kind == "hero" || r.kind == "camera" || r.kind == "msg" ||
                           r.kind == "event" || r.kind == "fx" || r.kind == "sfx";
        if (!stage || r.tick == 0) {
            continue;
        }
        EXPECT_FALSE(r.tick > 80 && r.tick <= 350) << r.kind << " at " << r.tick;
        EXPECT_FALSE(r.tick > 400) << r.kind << " at " << r.tick;
        if (r.tick <= 80) {
            lastBefore = r.tick;
        } else if (firstAfter < 0) {
            firstAfter = r.tick;
        }
        last = r.tick;
    }
    EXPECT_EQ(lastBefore, 80);
    EXPECT_EQ(firstAfter, 351);
    EXPECT_EQ(last, 400);

    // The music: paused with the menu, resumed with the resume.
    std::vector<std::string> music;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "music" && r.fields.size() >= 2) {
            music.push_back(std::to_string(r.tick) + " " + r.fields[0] + " " + r.fields[1]);
        }
    }
    EXPECT_EQ(music, (std::vector<std::string>{"0 start stage", "80 pause stage", "350 resume stage",
                                               "400 pause stage", "520 resume stage", "520 stop stage"}));

    // Back to the title: the last screen switched to is 7.
    int64_t lastScreen = 0;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "screen" && r.fields.size() == 2 && r.fields[0] == "switch") {
            lastScreen = std::stoll(r.fields[1]);
        }
    }
    EXPECT_EQ(lastScreen, 7);

    for (const Shot &shot : kShots) {
        apptest::ExpectLikeReference(dir + "/" + shot.name + ".bmp",
                                     std::string(RW_TEST_SOURCE_DIR) + "/tests/ui/reference/" + shot.name + ".bmp",
                                     dir + "/" + shot.name + "_difference.bmp",
                                     {.varying = {},
                                      .strays = {std::string(shot.name) == "pause_road_equipment"
                                                     ? apptest::kStatFrameTopRowStray
                                                     : apptest::ReferenceRect{}}});
    }
    if (!::testing::Test::HasFailure()) {
        std::filesystem::remove_all(dir);
    }
}

// The menu and its pages hide the whole stage behind their opaque
// background, so the stage is not drawn under them: every frame of the road
// (the menu opening, its list, the status page, the map, the resume, the
// question box over the stage, the return) is the same to the byte as when
// the stage is drawn under them (--draw-hidden), at 800 x 600; the frames of
// every fourth tick of both runs match the one kept frame log
// tests/ui/frame_logs/pause_road_hidden.txt.
TEST(PauseRoad, FramesOverAStageNotDrawnAreTheFramesDrawnOverIt)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    const std::string dir = Folder() + "_hidden";
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/script.txt") << kScript;
    const int ticks[] = {79, 80, 81, 110, 121, 185, 211, 286, 351, 352, 401, 441, 445, 461};
    for (const char *run : {"skipped", "drawn"}) {
        const std::string tracePath = dir + "/" + run + ".txt";
        std::string arguments = "--headless --mode 2 --stage 1 --slot 1 --fixed-step 16 --frames 462 --input '" +
                                dir + "/script.txt' --trace '" + tracePath + "'" + gametest::kKeptFramesOption;
        if (std::string(run) == "drawn") {
            arguments += " --draw-hidden";
        }
        for (int tick : ticks) {
            arguments += " --screenshot " + std::to_string(tick) + ":'" + dir + "/" + run + std::to_string(tick) +
                         ".bmp'";
        }
        std::string output;
        ASSERT_EQ(apptest::RunGame(apptest::SampleData(), arguments, &output), 0) << output;
        gametest::ExpectFramesAsKept(gametest::ReadTrace(tracePath), "ui/frame_logs/pause_road_hidden", tracePath);
    }
    for (int tick : ticks) {
        const std::string skipped = FileText(dir + "/skipped" + std::to_string(tick) + ".bmp");
        const std::string drawn = FileText(dir + "/drawn" + std::to_string(tick) + ".bmp");
        EXPECT_FALSE(drawn.empty()) << tick;
        EXPECT_TRUE(skipped == drawn) << "the frame after tick " << tick << " differs";
    }
    if (!::testing::Test::HasFailure()) {
        std::filesystem::remove_all(dir);
    }
}

}  // namespace

}  // namespace pause_road_test
