// The stage-select panel's moving pictures, played by script on the
// sample's pictures: the glow of a chosen stage still to play (in with its
// time at rest, then a pulse every 1020 ms) and the info page growing out
// of the chosen node in 200 ms before its page arrow's clock starts.
#include <gtest/gtest.h>

#include <vector>

#include "tests/ui/lobby_test_support.h"

namespace stage_select_animation_test {

namespace {

class StageSelectAnimation : public lobbytest::ClockedLobbyTest {
protected:
    // The panel open with the cursor moved right from the first stage to
    // 2020000 at (101, 242), still to play, and its banner unfolded.
    CSStageSelect *OnTheSecondStage()
    {
        StartLobby(name);
        if (IsSkipped() || HasFatalFailure()) {
            return nullptr;
        }
        WaitForMenu();
        CSStageSelect *panel = OpenStageSelect();
        Hold(kPadRight);
        Frames(1);
        ReleasePads();
        EXPECT_EQ(panel->Chosen()->stageId, 2020000);
        EXPECT_EQ(panel->Chosen()->cleared, 0);
        EXPECT_TRUE(FramesUntil([&] { return panel->BannerUnfolded() && panel->bannerMs >= 100; }));
        return panel;
    }

    std::string name;
};

// The glow's foot, below the map cursor's box, shows both the glow (alpha
// = ms at rest, at most 255) and the pulse (a 1020 ms swing).
TEST_F(StageSelectAnimation, AStageStillToPlayGlowsInAndPulsesEvery1020Ms)
{
    name = "select_glow";
    CSStageSelect *panel = OnTheSecondStage();
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(FramesUntil([&] { return panel->cursor.AtTarget(); }));
    const uint32_t arrived = panel->cursor.restMs;
    Frames(10);
    EXPECT_EQ(panel->cursor.restMs, arrived + 160u);
    auto glowAt = [&](uint32_t restMs) {
        panel->cursor.restMs = restMs;
        const win::Frame frame = DrawFrame([&] { ui->Render(); });
        std::vector<uint32_t> foot;
        for (int y = 268; y < 282; ++y) {
            for (int x = 84; x < 118; ++x) {
                foot.push_back(frame.pixels[static_cast<size_t>(y) * frame.width + static_cast<size_t>(x)]);
            }
        }
        return foot;
    };
    const std::vector<uint32_t> none = glowAt(0);
    const std::vector<uint32_t> glowing = glowAt(255);  // the pulse at 127
    const std::vector<uint32_t> peak = glowAt(510);
    EXPECT_NE(none, glowAt(100));
    EXPECT_NE(glowAt(100), glowing);
    EXPECT_NE(glowing, peak);
    EXPECT_EQ(glowAt(765), glowing);  // on the way down
    EXPECT_NE(glowAt(1020), glowing);
    EXPECT_EQ(glowAt(1530), peak);    // the next pulse
    EXPECT_EQ(glowAt(2040), glowAt(1020));
}

// Every corner of the page at node + (corner - node) x ms x 0.005.
TEST_F(StageSelectAnimation, TheInfoPageGrowsOutOfTheNodeIn200Ms)
{
    name = "select_zoom";
    CSStageSelect *panel = OnTheSecondStage();
    ASSERT_NE(panel, nullptr);
    Tap(kPadCircle);
    ASSERT_EQ(panel->mode, CSStageSelect::kInfo);
    EXPECT_EQ(panel->zoomMs, 16u);
    Frames(5);
    ASSERT_EQ(panel->zoomMs, 96u);
    ExpectShot("select_zoom");  // at 0.48 of its size
    for (uint32_t ms = 112; ms < CSStageSelect::kZoomMs; ms += 16) {
        Frames(1);
        EXPECT_EQ(panel->zoomMs, ms);
        EXPECT_EQ(panel->arrowMs, 0u) << ms;
    }
    Frames(1);
    EXPECT_EQ(panel->zoomMs, 208u);
    EXPECT_EQ(panel->arrowMs, 16u);
}

}  // namespace

}  // namespace stage_select_animation_test
