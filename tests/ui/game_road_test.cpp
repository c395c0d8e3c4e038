// End to end: the game run headless on the sample data from its first
// screen to the first stage, in two runs that meet at the title, driven by
// scripts in which a game pad skips the publisher's movie, the keyboard
// skips the others and starts a new game at the title, and the mouse
// confirms the hero. The traces show the screens in order and the
// screenshots at fixed ticks match reviewed references: the warning, the
// still logo, the title's prompt and menu, the character selection and the
// first stage under the overlay's hero panel; the frames of every fourth
// tick match the kept frame logs (tests/ui/frame_logs/road_*). A hero brought to 0 life there
// (the --hero-life test option) leads to the game-over screen. In the boss
// stage 8 the boss gauge shows once asked for (--boss-gauge). With language
// 0 the publisher's movie is left out. Damaged copies of the data: a warning
// picture that is missing draws untextured, a selection model that is
// missing leaves the screen running, a missing COMMON pack ends the run.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/bmp_file.h"
#include "app/reference_image.h"
#include "tests/app/app_test_support.h"
#include "tests/support/game/frame_log.h"
#include "tests/support/game/trace_reader.h"
#include "tests/ui/ui_test_support.h"
#include "tools/mkdata/ui_packs.h"
#include "tools/mkdata/sample_bosses.h"

namespace game_road_test {

namespace {

std::string Folder(const std::string &name)
{
    return std::string(RW_TEST_BINARY_DIR) + "/tests/ui_road/" + std::to_string(getpid()) + "/" + name;
}

std::string Reference(const std::string &name)
{
    return std::string(RW_TEST_SOURCE_DIR) + "/tests/ui/reference/" + name + ".bmp";
}

// The road in two runs: from the first screen to the title, then (--screen 7,
// which does the start-up loads of the screens before it) from the title to
// the first stage. Script lines: tick, what.
const char *const kToTheTitle =
    "# a game pad skips the publisher's movie; the keyboard's Enter (start on pad 0)\n"
    "# skips the maker's and the opening movie\n"
    "230 pad0 button 9 1\n231 pad0 button 9 0\n"
    "240 key Enter 1\n241 key Enter 0\n"
    "420 key Enter 1\n421 key Enter 0\n";
const char *const kToTheStage =
    "# the keyboard at the title: start, then the new game\n"
    "20 key Enter 1\n21 key Enter 0\n"
    "50 key Enter 1\n51 key Enter 0\n"
    "# the mouse confirms the hero\n"
    "128 mouse button 0 1\n129 mouse button 0 0\n";

struct Shot {
    int tick;
    const char *name;
};
const Shot kTitleShots[] = {{100, "road_warning"}, {300, "road_still_logo"}, {430, "road_title_prompt"}};
// The stage's shot shows the hero standing at rest; the last one the hero
// at 0 life halfway through its fall.
const Shot kStageShots[] = {{40, "road_title_menu"},
                            {125, "road_selection"},
                            {345, "road_stage1"},
                            {375, "road_hero_falling"}};

std::vector<int64_t> SwitchedScreens(const std::vector<gametest::TraceRecord> &trace)
{
    std::vector<int64_t> screens;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "screen" && r.fields.size() == 2 && r.fields[0] == "switch") {
            screens.push_back(std::stoll(r.fields[1]));
        }
    }
    return screens;
}

// The tick of the first line of `kind` whose fields start with `fields`; -1 when none.
int64_t TickOf(const std::vector<gametest::TraceRecord> &trace, const std::string &kind,
               const std::vector<std::string> &fields)
{
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == kind && r.fields.size() >= fields.size() &&
            std::equal(fields.begin(), fields.end(), r.fields.begin())) {
            return r.tick;
        }
    }
    return -1;
}

class GameRoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!apptest::HaveSampleData()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
    }
    // The copies of the data tree go once a test has passed (a failure
    // leaves them for inspection).
    void TearDown() override
    {
        if (!HasFailure()) {
            std::filesystem::remove_all(Folder(""));
        }
    }
};

// Runs the game on the sample data with `script` and the shots; its trace,
// whose frame lines match the kept frame log road_`name`.
std::vector<gametest::TraceRecord> RunRoad(const std::string &name, const char *script, const std::string &options,
                                           const Shot *shots, size_t count)
{
    const std::string dir = Folder(name);
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/script.txt") << script;
    std::string arguments = "--headless --mode 1 --fixed-step 16 " + options + " --input '" + dir +
                            "/script.txt' --trace '" + dir + "/t.txt'" + gametest::kKeptFramesOption;
    for (size_t i = 0; i < count; ++i) {
        arguments += " --screenshot " + std::to_string(shots[i].tick) + ":'" + dir + "/" + shots[i].name + ".bmp'";
    }
    std::string output;
    EXPECT_EQ(apptest::RunGame(apptest::SampleData(), arguments, &output), 0) << output;
    for (size_t i = 0; i < count; ++i) {
        apptest::ExpectLikeReference(dir + "/" + shots[i].name + ".bmp", Reference(shots[i].name),
                                     dir + "/" + shots[i].name + "_difference.bmp");
    }
    std::vector<gametest::TraceRecord> trace = gametest::ReadTrace(dir + "/t.txt");
    gametest::ExpectFramesAsKept(trace, "ui/frame_logs/road_" + name, dir + "/t.txt");
    return trace;
}

std::vector<int64_t> Sounds(const std::vector<gametest::TraceRecord> &trace, std::vector<int64_t> *ticks)
{
    std::vector<int64_t> sounds;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "screen" && r.fields.size() == 2 && r.fields[0] == "sound") {
            sounds.push_back(std::stoll(r.fields[1]));
            ticks->push_back(r.tick);
        }
    }
    return sounds;
}

TEST_F(GameRoad, FromTheWarningToTheTitle)
{
    const std::vector<gametest::TraceRecord> trace =
        RunRoad("to_title", kToTheTitle, "--frames 430", kTitleShots, std::size(kTitleShots));
    EXPECT_EQ(SwitchedScreens(trace), (std::vector<int64_t>{1, 2, 3, 4, 6, 7}));
    // The warning's fade starts at 3001 ms of its own time and asks for the
    // publisher's movie in the update after it ended.
    EXPECT_EQ(TickOf(trace, "screen", {"request", "2"}), 226);
    // The pad's start left the publisher's movie, the keyboard's the others;
    // the still logo asked for the opening movie by itself.
    EXPECT_EQ(TickOf(trace, "screen", {"request", "3"}), 230);
    EXPECT_EQ(TickOf(trace, "screen", {"request", "4"}), 240);
    EXPECT_EQ(TickOf(trace, "screen", {"request", "7"}), 420);
    std::vector<int64_t> ticks;
    EXPECT_TRUE(Sounds(trace, &ticks).empty());
}

TEST_F(GameRoad, FromTheTitleToTheFirstStageAndItsDefeat)
{
    const std::vector<gametest::TraceRecord> trace = RunRoad(
        "to_stage", kToTheStage, "--screen 7 --frames 560 --hero-life 346:0", kStageShots, std::size(kStageShots));
    EXPECT_EQ(SwitchedScreens(trace), (std::vector<int64_t>{7, 8, 12, 13, 14}));
    // The keyboard opened the menu and chose the new game, the mouse the hero.
    std::vector<int64_t> ticks;
    EXPECT_EQ(Sounds(trace, &ticks), (std::vector<int64_t>{6600060, 6600060, 6600060}));
    EXPECT_EQ(ticks, (std::vector<int64_t>{20, 50, 128}));
    EXPECT_EQ(TickOf(trace, "music", {"start", "ui", "SELCHAR.WAV"}), TickOf(trace, "screen", {"switch", "8"}));
    // The stage entry loads the first stage under the overlay.
    const int64_t entered = TickOf(trace, "screen", {"switch", "12"});
    EXPECT_GT(entered, 128);
    EXPECT_EQ(TickOf(trace, "screen", {"switch", "13"}), entered);
    EXPECT_EQ(TickOf(trace, "stage", {"load", "2010000"}), entered);
    EXPECT_LT(TickOf(trace, "music", {"stop", "ui", "SELCHAR.WAV"}), entered);
    // The stage entry put the loading screen up with the first group's
    // picture and drew it once, its strip at its start and its bar empty (the
    // tick's other steps came too soon after it); the stage load in the same
    // tick took it away, with the music it had played.
    std::vector<std::string> loading;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "loading" && r.fields.size() > 1) {
            EXPECT_EQ(r.tick, entered);
            std::string line = r.fields[0];
            for (size_t i = 1; i < r.fields.size(); ++i) {
                line += " " + r.fields[i];
            }
            loading.push_back(line);
        }
    }
    EXPECT_EQ(loading, (std::vector<std::string>{"on 2010000 GFSCENE1.BMP 0", "draw 1 0 0.00 0", "off 2010000 1 1"}));
    // The hero at 0 life: once its dying motion has ended the overlay asks
    // once for the game-over change, which comes after its 2 s transition.
    EXPECT_EQ(TickOf(trace, "test", {"hero-life", "0"}), 346);
    const int64_t defeat = TickOf(trace, "stage", {"request", "-1", "1", "2000", "taken"});
    EXPECT_GT(defeat, 346);
    int64_t requests = 0;
    for (const gametest::TraceRecord &r : trace) {
        requests += r.kind == "stage" && !r.fields.empty() && r.fields[0] == "request" && r.tick > entered ? 1 : 0;
    }
    EXPECT_EQ(requests, 1);
    const int64_t gameOver = TickOf(trace, "screen", {"request", "14"});
    EXPECT_GE(gameOver, defeat + 125);  // 2000 ms at 16 ms a tick
    EXPECT_EQ(TickOf(trace, "stage", {"release", "2010000"}), gameOver);
    EXPECT_EQ(TickOf(trace, "screen", {"switch", "14"}), gameOver);
}

// The selection's confirm motion half played, with the sky box turned by
// 100 ms ticks (the longest step the game takes) to where its far corners
// once fell beyond the far plane and left black wedges behind the hero.
TEST_F(GameRoad, TheSelectionsConfirmMotionUnderItsTurnedSky)
{
    const Shot shot[] = {{200, "road_selection_confirm"}};
    const std::vector<gametest::TraceRecord> trace = RunRoad(
        "selection_confirm", "195 key C 1\n196 key C 0\n", "--screen 8 --fixed-step 100 --frames 201", shot, 1);
    EXPECT_EQ(TickOf(trace, "screen", {"sound", "6600060"}), 195);
}

// Stage 8 (2080000), boss 1106's arena: the gauge waits for a boss scene's
// request (--boss-gauge stands in for the scene), then binds the boss and
// fades in with its life.
const Shot kBossShots[] = {{25, "road_boss_stage_before"}, {100, "road_boss_stage_gauge"}};

TEST_F(GameRoad, TheBossStageShowsItsGaugeOnceAskedForIt)
{
    const std::vector<gametest::TraceRecord> trace =
        RunRoad("boss_stage", "# no input\n", "--stage 8 --frames 110 --boss-gauge 30", kBossShots, std::size(kBossShots));
    EXPECT_EQ(TickOf(trace, "stage", {"load", "2080000"}), 0);
    EXPECT_EQ(TickOf(trace, "test", {"boss-gauge"}), 30);
    EXPECT_EQ(TickOf(trace, "screen", {"gauge"}), 30);
    EXPECT_EQ(TickOf(trace, "screen", {"boss", "1106", std::to_string(mkdata::SampleBossParams(1106).maxHP)}), 30);
}

TEST_F(GameRoad, LanguageZeroLeavesOutThePublishersMovie)
{
    const std::string dir = Folder("language0");
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/skip.txt") << "230 key Enter 1\n231 key Enter 0\n400 key Enter 1\n401 key Enter 0\n";
    std::string output;
    ASSERT_EQ(apptest::RunGame(apptest::SampleData(),
                               "--headless --mode 1 --fixed-step 16 --frames 405 --language 0 --input '" + dir +
                                   "/skip.txt' --trace '" + dir + "/t.txt'" + gametest::kKeptFramesOption,
                               &output),
              0)
        << output;
    const std::vector<gametest::TraceRecord> trace = gametest::ReadTrace(dir + "/t.txt");
    gametest::ExpectFramesAsKept(trace, "ui/frame_logs/road_language0", dir + "/t.txt");
    EXPECT_EQ(SwitchedScreens(trace), (std::vector<int64_t>{1, 3, 4, 6, 7}));
}

TEST_F(GameRoad, AMissingWarningPictureDrawsUntextured)
{
    const std::string dir = Folder("no_warning");
    ASSERT_TRUE(apptest::CopySampleData(dir));
    uitest::RewriteInterfacePack(dir, "WARNING", [](const std::string &) { return false; });
    std::string output;
    ASSERT_EQ(apptest::RunGame(dir,
                               "--headless --mode 1 --fixed-step 16 --frames 10 --screenshot 10:shot.bmp --debug "
                               "--trace t.txt" + std::string(gametest::kKeptFramesOption),
                               &output),
              0)
        << output;
    EXPECT_NE(output.find("WARNING"), std::string::npos) << output;
    gametest::ExpectFramesAsKept(gametest::ReadTrace(dir + "/t.txt"), "ui/frame_logs/road_no_warning_picture",
                                 dir + "/t.txt");
    apptest::Bmp shot;
    ASSERT_TRUE(apptest::LoadBmp(dir + "/shot.bmp", &shot));
    // The picture's quad in its own colour, grey 240, over the whole screen.
    for (int y = 0; y < 480; y += 7) {
        for (int x = 0; x < 640; x += 7) {
            ASSERT_EQ(shot.Pixel(x, y), 0xF0F0F0u) << x << ", " << y;
        }
    }
}

TEST_F(GameRoad, ASelectionModelThatIsMissingIsSkipped)
{
    const std::string dir = Folder("no_model");
    ASSERT_TRUE(apptest::CopySampleData(dir));
    uitest::RewriteInterfacePack(dir, "SELCHAR", [](const std::string &file) { return file.find("UIBRE.DFF") == std::string::npos; });
    std::ofstream(dir + "/keys.txt") << "5 key Right 1\n6 key Right 0\n40 key Left 1\n41 key Left 0\n"
                                        "80 key C 1\n81 key C 0\n";
    std::string output;
    ASSERT_EQ(apptest::RunGame(dir,
                               "--headless --mode 1 --fixed-step 16 --frames 120 --screen 8 --input keys.txt "
                               "--trace t.txt --debug" + std::string(gametest::kKeptFramesOption),
                               &output),
              0)
        << output;
    EXPECT_NE(output.find("UIBRE.DFF"), std::string::npos) << output;
    // The screen ran on: turned, turned back and took the confirm.
    const std::vector<gametest::TraceRecord> trace = gametest::ReadTrace(dir + "/t.txt");
    gametest::ExpectFramesAsKept(trace, "ui/frame_logs/road_no_selection_model", dir + "/t.txt");
    std::vector<int64_t> sounds;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "screen" && r.fields.size() == 2 && r.fields[0] == "sound") {
            sounds.push_back(std::stoll(r.fields[1]));
        }
    }
    EXPECT_EQ(sounds, (std::vector<int64_t>{6600010, 6600010, 6600060}));
}

TEST_F(GameRoad, WithoutTheCommonPackTheRunEndsNamingIt)
{
    const std::string dir = Folder("no_common");
    ASSERT_TRUE(apptest::CopySampleData(dir));
    std::filesystem::remove(dir + "/PACK/UI0/COMMON.LST");
    std::string output;
    EXPECT_EQ(apptest::RunGame(dir, "--headless --mode 1 --frames 5", &output), 1);
    EXPECT_NE(output.find("Cannot find the file: "), std::string::npos) << output;
    EXPECT_NE(output.find("COMMON.LST"), std::string::npos) << output;
}

}  // namespace

}  // namespace game_road_test
