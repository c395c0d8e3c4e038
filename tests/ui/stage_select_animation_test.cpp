// The stage-select panel's moving pictures, played by script on the
// sample's pictures: the glow of a chosen stage still to play (in with its
// time at rest, then a pulse every 1020 ms) and the info page growing out
// of the chosen node in 200 ms before its page arrow's clock starts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/ui/lobby_test_support.h"
#include "ui/lobby_art.h"

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

    // Exactly: over the map, the glow's cell of SELSTAG (142, 58)-(176, 121)
    // at alpha = ms at rest (at most 255), then the pulse's cell (102, 58)-
    // (136, 121) at alpha = half the ms into its 1020 ms swing (up 510, down
    // 510). Each cell's own colour is the cell drawn alone and opaque.
    auto cellAlone = [&](float u0) {
        return DrawFrame([&] {
            DrawPicture(panel->selstag, {84, 219, 118, 282},
                        {u0 / 256.0f, 58.0f / 256.0f, (u0 + 34.0f) / 256.0f, 121.0f / 256.0f});
        });
    };
    const win::Frame glowCell = cellAlone(142.0f), pulseCell = cellAlone(102.0f);
    panel->cursor.restMs = 0;
    const win::Frame map = DrawFrame([&] { ui->Render(); });
    auto over = [](double below, double above, uint32_t alpha) { return below + (above - below) * alpha / 255.0; };
    for (const uint32_t restMs : {100u, 255u, 300u, 510u, 700u, 1020u, 1275u, 1530u, 260610u}) {
        panel->cursor.restMs = restMs;
        const win::Frame shown = DrawFrame([&] { ui->Render(); });
        const uint32_t swing = restMs % 1020;
        const uint32_t pulseAlpha = std::min(swing, 1020 - swing) / 2;
        const uint32_t glowAlpha = std::min(restMs, 255u);
        int wrong = 0;
        for (uint32_t y = 266; y < 280; y += 2) {  // the foot, clear of the cursor's corners
            for (uint32_t x = 86; x < 117; x += 3) {
                for (const int shift : {0, 8, 16}) {
                    auto channel = [&](const win::Frame &f) { return static_cast<double>((f.At(x, y) >> shift) & 0xFF); };
                    const double expected =
                        over(over(channel(map), channel(glowCell), glowAlpha), channel(pulseCell), pulseAlpha);
                    if (std::abs(channel(shown) - expected) > 2.5 && ++wrong <= 3) {
                        ADD_FAILURE() << "at " << restMs << " ms, pixel (" << x << ", " << y << ") channel " << shift
                                      << ": " << channel(shown) << ", expected " << expected;
                    }
                }
            }
        }
        EXPECT_EQ(wrong, 0) << restMs;
    }
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
