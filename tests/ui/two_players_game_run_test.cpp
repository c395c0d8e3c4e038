// End to end with two heroes (--players 2) on the sample data: the second
// player's hero (the other hero, AI id -2) on pad 1 at the stage's second
// start, the camera at the two-hero turn, pitch and distance, the two
// panels each reading its own hero (the second at its mirrored place in the
// top right), either player's start opening the pause menu at that
// player's index; stage 16's crusher hitting whichever hero stands under
// it when it comes down, and no other; and stage 1's monster at the right
// and at the bottom edge of the view with its health bar held inside the
// screen. The frames of every fourth tick of each run match the kept frame
// logs (tests/ui/frame_logs/two_players_*).
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/bmp_file.h"
#include "app/reference_image.h"
#include "event/door_rules.h"
#include "tests/app/app_test_support.h"
#include "tests/support/game/frame_log.h"
#include "tests/support/game/trace_reader.h"

namespace two_players_game_run_test {

namespace {

using gametest::TraceRecord;

// The runs tick 32 ms at a time.
constexpr uint32_t kStepMs = 32;

std::string Folder(const std::string &name)
{
    return std::string(RW_TEST_BINARY_DIR) + "/tests/two_players/" + std::to_string(getpid()) + "/" + name;
}

class TwoPlayers : public ::testing::Test {
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
    // A headless run of `frames` ticks of stage `stage` with two players,
    // the script, further options and a screenshot after tick `shotTick`
    // (none for 0) named `shot`; its trace, whose frame lines match the kept
    // frame log two_players_`name`.
    std::vector<TraceRecord> Run(const std::string &name, int32_t stage, uint32_t frames, const std::string &script,
                                 const std::string &options = "", uint32_t shotTick = 0, const std::string &shot = "")
    {
        const std::string dir = Folder(name);
        std::filesystem::create_directories(dir);
        std::ofstream(dir + "/script.txt") << script;
        std::string arguments = "--headless --mode 1 --fixed-step " + std::to_string(kStepMs) + " --stage " +
                                std::to_string(stage) + " --players 2 --frames " + std::to_string(frames) + " " +
                                options + " --input '" + dir + "/script.txt' --trace '" + dir + "/t.txt'" +
                                gametest::kKeptFramesOption;
        if (shotTick != 0) {
            arguments += " --screenshot " + std::to_string(shotTick) + ":'" + dir + "/" + shot + ".bmp'";
        }
        std::string output;
        EXPECT_EQ(apptest::RunGame(apptest::SampleData(), arguments, &output, "SDL_AUDIODRIVER=dummy"), 0) << output;
        std::vector<TraceRecord> trace = gametest::ReadTrace(dir + "/t.txt");
        gametest::ExpectFramesAsKept(trace, "ui/frame_logs/two_players_" + name, dir + "/t.txt");
        return trace;
    }
    // The screenshot against its reviewed reference; the picture itself.
    apptest::Bmp Shot(const std::string &name, const std::string &shot)
    {
        const std::string path = Folder(name) + "/" + shot + ".bmp";
        apptest::ExpectLikeReference(path, std::string(RW_TEST_SOURCE_DIR) + "/tests/ui/reference/" + shot + ".bmp",
                                     Folder(name) + "/" + shot + "_difference.bmp");
        apptest::Bmp bmp;
        EXPECT_TRUE(apptest::LoadBmp(path, &bmp)) << path;
        return bmp;
    }
};

// The records of `kind` at `tick` whose fields start with `fields`.
std::vector<TraceRecord> At(const std::vector<TraceRecord> &trace, uint32_t tick, const std::string &kind,
                            const std::vector<std::string> &fields)
{
    std::vector<TraceRecord> found;
    for (const TraceRecord &r : trace) {
        if (r.tick == tick && r.kind == kind && r.fields.size() >= fields.size() &&
            std::equal(fields.begin(), fields.end(), r.fields.begin())) {
            found.push_back(r);
        }
    }
    return found;
}

// Every record of `kind` whose fields start with `fields`.
std::vector<TraceRecord> All(const std::vector<TraceRecord> &trace, const std::string &kind,
                             const std::vector<std::string> &fields)
{
    std::vector<TraceRecord> found;
    for (const TraceRecord &r : trace) {
        if (r.kind == kind && r.fields.size() >= fields.size() &&
            std::equal(fields.begin(), fields.end(), r.fields.begin())) {
            found.push_back(r);
        }
    }
    return found;
}

// The fill colour of the panels' life bars, (240, 0, 0).
bool IsLifeRed(uint32_t pixel) { return pixel == 0xF00000u; }
// A health bar's fill seen through its frame's picture.
bool IsReddish(uint32_t pixel)
{
    return (pixel >> 16 & 0xFF) > 120 && (pixel >> 8 & 0xFF) < 30 && (pixel & 0xFF) < 30;
}

// Stage 2's yard: the first hero (0, AI id 0, 2500 life) at (0, 0, -60), the
// other (1, AI id -2, 2000 life) at the second start (20, 0, -60). The first
// hero's life is set to 1800 at tick 2; the picture after tick 100 shows its
// panel at 1800 of 2500 and the second panel, mirrored into the top right
// and lowered by 120, at 2000 of 2000. Player 2's start (pad 1) asks for the
// pause menu at index 1; cross closes it; player 1's Enter asks at index 0.
TEST_F(TwoPlayers, TheSecondPlayersHeroStartsAtTheSecondStartWithItsOwnPanelCameraAndPause)
{
    const std::string script =
        "1 pad1 connect 1\n"
        "102 pad1 button 9 1\n103 pad1 button 9 0\n"
        "106 key X 1\n107 key X 0\n"
        "110 key Enter 1\n111 key Enter 0\n";
    const std::vector<TraceRecord> trace =
        Run("stage2", 2, 112, script, "--hero-life 2:1800", 100, "two_players_stage2");
    ASSERT_FALSE(trace.empty());
    // The heroes in player order, each at its start.
    const std::vector<TraceRecord> first = At(trace, 1, "actor", {"0"});
    const std::vector<TraceRecord> second = At(trace, 1, "actor", {"-2"});
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(first[0].Int(1), 0);   // AI type 0
    EXPECT_EQ(second[0].Int(1), 1);  // the other hero
    EXPECT_EQ(second[0].Int(3), 2000);
    EXPECT_DOUBLE_EQ(first[0].Real(4), 0.0);
    EXPECT_DOUBLE_EQ(first[0].Real(6), -60.0);
    EXPECT_DOUBLE_EQ(second[0].Real(4), 20.0);
    EXPECT_DOUBLE_EQ(second[0].Real(6), -60.0);
    // The camera of two heroes: the stage's "2P" turn 135 and pitch 35,
    // about the heroes' middle (10, 12, -60) raised to the focus height, at
    // the distance of pitch 35 between 15 and 55, half way from 50 to 140:
    // 95 (the heroes' spread of 20 asks for only 65).
    const std::vector<TraceRecord> camera = At(trace, 0, "camera", {});
    ASSERT_EQ(camera.size(), 1u);
    const double r = 135.0 * M_PI / 180.0;
    const double p = 35.0 * M_PI / 180.0;
    EXPECT_NEAR(camera[0].Real(1), 10.0 - 95.0 * std::sin(r) * std::cos(p), 0.011);
    EXPECT_NEAR(camera[0].Real(2), 12.0 + 95.0 * std::sin(p), 0.011);
    EXPECT_NEAR(camera[0].Real(3), -60.0 - 95.0 * std::cos(r) * std::cos(p), 0.011);
    // Either player's start, each at its own index.
    EXPECT_EQ(All(trace, "screen", {"pause"}).size(), 2u);
    EXPECT_EQ(At(trace, 102, "screen", {"pause", "1"}).size(), 1u);
    EXPECT_EQ(At(trace, 106, "screen", {"menu", "close"}).size(), 1u);
    EXPECT_EQ(At(trace, 110, "screen", {"pause", "0"}).size(), 1u);

    const apptest::Bmp bmp = Shot("stage2", "two_players_stage2");
    ASSERT_EQ(bmp.width, 640);
    // Row 30 crosses both life fills (y 22 to 35, the second 142 to 155).
    // The first panel: 1800 of 2500 fills 90 + 0.72 x 108.3 = 168; black
    // beyond it up to the end cap at 197.
    EXPECT_TRUE(IsLifeRed(bmp.Pixel(100, 30)));
    EXPECT_TRUE(IsLifeRed(bmp.Pixel(160, 30)));
    EXPECT_EQ(bmp.Pixel(172, 30), 0x000000u);
    EXPECT_EQ(bmp.Pixel(190, 30), 0x000000u);
    // The second: 2000 of 2000 fills from 640 - 90 = 550 leftward by 86.7
    // to 463.3, toward the screen's middle; nothing of it at the first
    // panel's rows.
    EXPECT_TRUE(IsLifeRed(bmp.Pixel(548, 150)));
    EXPECT_TRUE(IsLifeRed(bmp.Pixel(466, 150)));
    EXPECT_FALSE(IsLifeRed(bmp.Pixel(462, 150)));
    EXPECT_FALSE(IsLifeRed(bmp.Pixel(548, 30)));
    EXPECT_FALSE(IsLifeRed(bmp.Pixel(100, 150)));
}

// Stage 16's crusher (79164900) comes down while its link runs, from the
// stage's start, and ends at tick 34: the hero standing in its zone (x -0.97
// to 44.8, z -143.9 to -71.85) then takes one hit (kind 2, payload 0, 1,
// 2000), the other none. Under the two-hero camera the stick's up-left
// walks along -z, and so do W and A.
TEST_F(TwoPlayers, TheCrusherHitsTheHeroUnderItAndNotTheOther)
{
    // The second player's hero walks in from (20, -60); the first stays at
    // its start, then walks in after the crusher came down.
    const std::vector<TraceRecord> second =
        Run("crusher_second", 16, 60,
            "1 pad1 connect 1\n2 pad1 axis 0 -1000\n2 pad1 axis 1 -1000\n30 pad1 axis 0 0\n30 pad1 axis 1 0\n"
            "40 key W 1\n40 key A 1\n");
    ASSERT_FALSE(second.empty());
    const std::vector<TraceRecord> ends = All(second, "event", {"79164900", "door", "ended"});
    ASSERT_EQ(ends.size(), 1u);
    const uint32_t down = ends[0].tick;
    const std::vector<TraceRecord> under = At(second, down, "actor", {"-2"});
    ASSERT_EQ(under.size(), 1u);
    EXPECT_LT(under[0].Real(6), -71.85);
    EXPECT_EQ(All(second, "msg", {"2", "-1", "-2", "0", "1", "2000"}).size(), 1u);
    EXPECT_EQ(All(second, "msg", {"2", "-1", "0"}).size(), 0u);
    // The first hero walked in afterwards: nothing more comes down on it.
    const std::vector<TraceRecord> late = At(second, 60, "actor", {"0"});
    ASSERT_EQ(late.size(), 1u);
    EXPECT_LT(late[0].Real(6), -71.85);
    EXPECT_GT(All(second, "sfx", {std::to_string(kCrusherSound)}).size(), 0u);

    // The other way about: the first hero under it, the second at its start.
    const std::vector<TraceRecord> first = Run("crusher_first", 16, 40, "1 pad1 connect 1\n2 key W 1\n2 key A 1\n");
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(All(first, "msg", {"2", "-1", "0", "0", "1", "2000"}).size(), 1u);
    EXPECT_EQ(All(first, "msg", {"2", "-1", "-2"}).size(), 0u);
}

// Stage 1: the second player's hero walks up to the yard's monster (AI id 1)
// and strikes it while the first walks away up the yard (W), so the
// two-hero camera leaves the monster at the view's right edge, low in the
// picture: its head's bar would stand at x 570 and more, and it is held at
// 570 (the frame, 65 wide, ends at 635), at the height it would have.
TEST_F(TwoPlayers, AMonstersHealthBarAtTheViewsEdgeIsHeldInsideTheScreen)
{
    const std::string script = "1 pad1 connect 1\n2 pad1 axis 0 1000\n2 pad1 axis 1 1000\n2 key W 1\n"
                               "48 pad1 axis 0 0\n48 pad1 axis 1 0\n50 pad1 button 2 1\n51 pad1 button 2 0\n";
    constexpr uint32_t kShot = 58;
    const std::vector<TraceRecord> trace = Run("health_bar", 1, kShot, script, "", kShot, "two_players_health_bar");
    ASSERT_FALSE(trace.empty());
    const std::vector<TraceRecord> bars = All(trace, "screen", {"hudbar", "1"});
    ASSERT_FALSE(bars.empty()) << "the monster's bar never showed";
    for (const TraceRecord &bar : bars) {
        // Where it would stand, where it stands.
        EXPECT_GT(bar.Real(2), 570.0) << "tick " << bar.tick;
        EXPECT_DOUBLE_EQ(bar.Real(4), 570.0) << "tick " << bar.tick;
        EXPECT_DOUBLE_EQ(bar.Real(5), bar.Real(3));
    }
    const std::vector<TraceRecord> shown = At(trace, kShot, "screen", {"hudbar", "1"});
    ASSERT_EQ(shown.size(), 1u);
    const apptest::Bmp bmp = Shot("health_bar", "two_players_health_bar");
    // The fill (under the frame's picture) from 571 on, in the bar's middle
    // row; left of the frame the scene shows.
    const int32_t row = static_cast<int32_t>(shown[0].Real(5) + 2.5);
    EXPECT_TRUE(IsReddish(bmp.Pixel(575, row))) << std::hex << bmp.Pixel(575, row);
    EXPECT_TRUE(IsReddish(bmp.Pixel(600, row))) << std::hex << bmp.Pixel(600, row);
    EXPECT_FALSE(IsReddish(bmp.Pixel(567, row)));
}

// The same fight while the first hero walks up the yard and right (W+D): the
// monster sinks to the view's bottom edge, and once its bar would stand
// below 467 it is held at 467 (the frame, 5 high, ends at 472), at the x it
// would have. The monster is down to 16 of 360 life: a fill of 3 pixels
// from 1 past the frame's left edge.
TEST_F(TwoPlayers, AMonstersHealthBarAtTheViewsBottomIsHeldInsideTheScreen)
{
    std::string script = "1 pad1 connect 1\n2 pad1 axis 0 1000\n2 pad1 axis 1 1000\n2 key W 1\n2 key D 1\n"
                         "48 pad1 axis 0 0\n48 pad1 axis 1 0\n";
    for (uint32_t tick = 50; tick < 124; tick += 10) {
        script += std::to_string(tick) + " pad1 button 2 1\n" + std::to_string(tick + 1) + " pad1 button 2 0\n";
    }
    constexpr uint32_t kShot = 122;
    const std::vector<TraceRecord> trace = Run("health_bar_bottom", 1, kShot, script, "", kShot, "bottom");
    ASSERT_FALSE(trace.empty());
    uint32_t held = 0;
    for (const TraceRecord &bar : All(trace, "screen", {"hudbar", "1"})) {
        EXPECT_DOUBLE_EQ(bar.Real(4), bar.Real(2)) << "tick " << bar.tick;
        EXPECT_DOUBLE_EQ(bar.Real(5), std::min(bar.Real(3), 467.0)) << "tick " << bar.tick;
        held += bar.Real(3) > 467.0 ? 1 : 0;
    }
    EXPECT_GT(held, 0u) << "the monster's bar never reached the bottom edge";
    const std::vector<TraceRecord> shown = At(trace, kShot, "screen", {"hudbar", "1"});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_GT(shown[0].Real(3), 467.0);
    apptest::Bmp bmp;
    ASSERT_TRUE(apptest::LoadBmp(Folder("health_bar_bottom") + "/bottom.bmp", &bmp));
    const int32_t left = static_cast<int32_t>(shown[0].Real(4));
    EXPECT_TRUE(IsReddish(bmp.Pixel(left + 2, 469))) << std::hex << bmp.Pixel(left + 2, 469);
    EXPECT_TRUE(IsReddish(bmp.Pixel(left + 2, 470)));
    EXPECT_FALSE(IsReddish(bmp.Pixel(left + 8, 469)));
}

}  // namespace

}  // namespace two_players_game_run_test
