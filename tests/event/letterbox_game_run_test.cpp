// End to end: stage 36's boss scene on the sample data brings the
// letterbox in with the camera's blend into the scene (camera mode 5) and
// takes it away with the blend back (mode 6); the overlay, hidden behind
// the bars, comes back with the boss gauge the scene asked for.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/reference_image.h"
#include "event_test_support.h"
#include "support/game/game_run.h"
#include "tools/mkdata/sample_stage_ends.h"

namespace letterbox_game_run_test {

namespace {

using gametest::TraceRecord;

// The camera mode on each tick it changed.
std::vector<std::pair<uint32_t, int>> CameraModes(const std::vector<TraceRecord> &trace)
{
    std::vector<std::pair<uint32_t, int>> modes;
    for (const TraceRecord &r : trace) {
        if (r.kind == "camera" && !r.fields.empty()) {
            const int mode = std::stoi(r.fields[0]);
            if (modes.empty() || modes.back().second != mode) {
                modes.emplace_back(r.tick, mode);
            }
        }
    }
    return modes;
}

TEST(LetterboxRun, TheBossScenesBlendsBringTheBarsInAndTakeThemAway)
{
    // The hero steps into the scene's circle; shots as the bars come in,
    // while they stand, as they go and once they are gone.
    const event_test::ReferenceShot shots[] = {
        {20, "letterbox_in"}, {100, "letterbox_on"}, {210, "letterbox_out"}, {335, "letterbox_gone"}};
    std::string dir = RW_TEST_BINARY_DIR;
    dir += "/tests/event_letterbox_run/" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    std::string arguments = "--stage 36 --frames 340 " + event_test::ScriptArgument("step_into_scene.txt");
    for (const event_test::ReferenceShot &shot : shots) {
        arguments += " --screenshot " + std::to_string(shot.tick) + ":'" + dir + "/" + shot.name + ".bmp'";
    }
    const std::vector<TraceRecord> trace = gametest::RunSampleGame("event_letterbox", arguments);
    for (const event_test::ReferenceShot &shot : shots) {
        apptest::ExpectLikeReference(dir + "/" + shot.name + ".bmp", event_test::ReferencePicture(shot.name),
                                     dir + "/" + shot.name + "_difference.bmp");
    }
    // The blend in, the scene, the blend back, the play camera.
    const std::vector<std::pair<uint32_t, int>> modes = CameraModes(trace);
    ASSERT_EQ(modes.size(), 4u);
    EXPECT_EQ(modes[1].second, 5);
    EXPECT_EQ(modes[2].second, 6);
    EXPECT_EQ(modes[3].second, 0);
    EXPECT_LT(modes[1].first, 20u);
    EXPECT_GT(modes[1].first + 32, 20u) << "the first shot within the bars' half second";
    EXPECT_LT(modes[2].first, 210u);
    EXPECT_GT(modes[2].first + 32, 210u);
    EXPECT_LT(modes[3].first, 335u);
    // While they stand, the bars are opaque black over their rows: the top
    // 70 and the bottom 70 of the 480.
    apptest::Bmp on;
    ASSERT_TRUE(apptest::LoadBmp(dir + "/letterbox_on.bmp", &on));
    for (int y = 0; y < 480; y += (y == 69 || y == 409) ? 1 : 3) {
        const bool bar = y < 70 || y >= 410;
        for (int x = 0; x < 640; x += 5) {
            if (bar) {
                ASSERT_EQ(on.Pixel(x, y), 0x000000u) << x << ", " << y;
            }
        }
    }
    bool sceneBetween = false;
    for (int x = 0; x < 640; ++x) {
        sceneBetween = sceneBetween || on.Pixel(x, 70) != 0 || on.Pixel(x, 409) != 0;
    }
    EXPECT_TRUE(sceneBetween) << "the scene shows between the bars";
    // The overlay came back with the gauge of the boss the scene asked for.
    bool bound = false;
    for (const TraceRecord &r : trace) {
        bound = bound || (r.kind == "screen" && r.fields.size() >= 2 && r.fields[0] == "boss" && r.fields[1] == "1108");
    }
    EXPECT_TRUE(bound);
    if (!::testing::Test::HasFailure()) {
        std::filesystem::remove_all(dir);
    }
}

}  // namespace

}  // namespace letterbox_game_run_test
