// End to end: the road from the title into the first stage, whose first
// frames are covered whole by the stage's fade-in from black at full alpha.
// The stage's draws into those frames are left out (a line of --debug says
// so), and every frame around them is the same to the byte as when the
// stage is drawn under the fade (--draw-hidden).
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/app/app_test_support.h"
#include "tests/support/game/trace_reader.h"

namespace covered_scene_road_test {

namespace {

std::string Folder()
{
    return std::string(RW_TEST_BINARY_DIR) + "/tests/ui_covered_scene/" + std::to_string(getpid());
}

const char *const kScript =
    "# the keyboard at the title: start, then the new game; the mouse confirms the hero\n"
    "20 key Enter 1\n21 key Enter 0\n"
    "50 key Enter 1\n51 key Enter 0\n"
    "128 mouse button 0 1\n129 mouse button 0 0\n";

std::string FileText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int64_t TickOf(const std::vector<gametest::TraceRecord> &trace, const std::string &kind,
               const std::vector<std::string> &fields)
{
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == kind && r.fields == fields) {
            return r.tick;
        }
    }
    return -1;
}

TEST(CoveredSceneRoad, TheStageUnderAFullFadeIsLeftOutAndTheFramesAreTheSame)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    const std::string dir = Folder();
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/script.txt") << kScript;
    // A first run finds the tick the stage loads in.
    int64_t entered = -1;
    std::vector<int64_t> covered[2];
    const char *const runs[2] = {"skipped", "drawn"};
    for (int run = 0; run < 2; ++run) {
        const std::string tracePath = dir + "/" + runs[run] + ".txt";
        std::string arguments = "--headless --mode 2 --screen 7 --fixed-step 16 --frames 290 --input '" + dir +
                                "/script.txt' --trace '" + tracePath + "' --debug";
        if (run == 1) {
            arguments += " --draw-hidden";
        }
        for (int tick = 250; tick < 290; ++tick) {
            arguments += " --screenshot " + std::to_string(tick) + ":'" + dir + "/" + runs[run] +
                         std::to_string(tick) + ".bmp'";
        }
        std::string output;
        ASSERT_EQ(apptest::RunGame(apptest::SampleData(), arguments, &output), 0) << output;
        const std::string said = "scene covered at tick ";
        for (size_t at = output.find(said); at != std::string::npos; at = output.find(said, at + 1)) {
            covered[run].push_back(std::stoll(output.substr(at + said.size())));
        }
        const std::vector<gametest::TraceRecord> trace = gametest::ReadTrace(tracePath);
        const int64_t load = TickOf(trace, "stage", {"load", "2010000"});
        EXPECT_TRUE(entered == -1 || entered == load);
        entered = load;
    }
    // The frame the stage loads in and the next (whose fade step finds no
    // time gone yet) are covered; the one after shows the stage through the
    // fade.
    ASSERT_GT(entered, 250);
    ASSERT_LT(entered, 287);
    EXPECT_EQ(covered[0], (std::vector<int64_t>{entered, entered + 1}));
    EXPECT_TRUE(covered[1].empty());
    for (int tick = 250; tick < 290; ++tick) {
        const std::string skipped = FileText(dir + "/skipped" + std::to_string(tick) + ".bmp");
        const std::string drawn = FileText(dir + "/drawn" + std::to_string(tick) + ".bmp");
        EXPECT_FALSE(drawn.empty()) << tick;
        EXPECT_TRUE(skipped == drawn) << "the frame after tick " << tick << " differs";
    }
    // The frame after the covered ones shows something of the stage.
    const std::string after = FileText(dir + "/drawn" + std::to_string(entered + 2) + ".bmp");
    EXPECT_NE(after.find_first_not_of(std::string(1, '\0'), 54), std::string::npos);
    if (!::testing::Test::HasFailure()) {
        std::filesystem::remove_all(dir);
    }
}

}  // namespace

}  // namespace covered_scene_road_test
