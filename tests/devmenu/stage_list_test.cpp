// The stage list of "Select Stage" and "Done Let's Go!!!!!", frame by
// frame from scripted pad states.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/trace.h"
#include "devmenu/stage_list.h"
#include "support/engine/scratch_path.h"
#include "support/game/trace_reader.h"
#include "tests/devmenu/dev_menu_test_support.h"
#include "tests/stage/stage_screen_fakes.h"

namespace stage_list_test {

namespace {

using devmenutest::MenuHarness;

constexpr int32_t kTitleScreen = 7;

// The menu opened over `running` with "Select Stage" entered.
void EnterStageList(MenuHarness *h, int32_t running)
{
    h->stage.stageId = running;
    h->menu.Open(1, 0);
    h->Tick({kPadCircle});
    ASSERT_EQ(h->menu.inItem, 1);
    ASSERT_EQ(h->menu.activeItem, kItemSelectStage);
}

TEST(StageList, TheTableHoldsTheListedStagesInOrder)
{
    ASSERT_EQ(kDevMenuStageCount, 29);
    EXPECT_EQ(kDevMenuStages[0].id, 2010000);
    EXPECT_STREQ(kDevMenuStages[6].name, "1-7(07)");
    EXPECT_EQ(kDevMenuStages[25].id, 2380000);
    EXPECT_STREQ(kDevMenuStages[26].name, "DEVIL 1 (39)");
    for (int32_t i = 1; i < kDevMenuStageCount; ++i) {
        EXPECT_GT(kDevMenuStages[i].id, kDevMenuStages[i - 1].id);
    }
    for (int32_t missing : {2070000, 2090000, 2110000, 2140000, 2390000}) {
        EXPECT_EQ(DevMenuStageIndex(missing), 0) << missing;
    }
}

TEST(StageList, AnUnlistedRunningStageShowsTheFirstStageFromTheFirstFrame)
{
    MenuHarness h;
    EnterStageList(&h, 2070000);
    EXPECT_EQ(h.menu.selectedStageId, 2070000);
    h.Tick();
    EXPECT_EQ(h.Label(), "Change to Stage 0-1(00)");
    EXPECT_EQ(h.menu.selectedStageId, 2010000);
    EXPECT_EQ(h.menu.lastListedStageId, 2010000);
}

TEST(StageList, LeftAndRightStepThroughTheListAndStopAtItsEnds)
{
    MenuHarness h;
    EnterStageList(&h, 2010000);
    h.Tick();
    EXPECT_EQ(h.Label(), "Change to Stage 0-1(00)");
    h.Press(kPadLeft);
    EXPECT_EQ(h.Label(), "Change to Stage 0-1(00)");
    h.Press(kPadRight);
    EXPECT_EQ(h.Label(), "Change to Stage 1-1(01)");
    EXPECT_EQ(h.menu.selectedStageId, 2020000);
    EXPECT_EQ(h.menu.lastListedStageId, 2020000);
    h.Press(kPadRight, 24);
    EXPECT_EQ(h.Label(), "Change to Stage 6-6(37)");
    h.Press(kPadRight);
    EXPECT_EQ(h.Label(), "Change to Stage DEVIL 1 (39)");
    h.Press(kPadRight, 5);
    EXPECT_EQ(h.Label(), "Change to Stage DEVIL 3 (41)");
    EXPECT_EQ(h.menu.selectedStageId, 2420000);
}

TEST(StageList, LeftWinsOverRightInOneFrame)
{
    MenuHarness h;
    EnterStageList(&h, 2160000);
    h.Tick({kPadLeft, kPadRight});
    EXPECT_EQ(h.Label(), "Change to Stage 2-7(14)");
}

TEST(StageList, CrossGoesBackToTheMainList)
{
    MenuHarness h;
    EnterStageList(&h, 2010000);
    h.Tick({kPadCross});
    EXPECT_EQ(h.menu.inItem, 0);
    h.Tick();
    EXPECT_EQ(h.Label(), "Select Stage");
}

TEST(StageList, CircleWithRightReadsTheStageShownBefore)
{
    devmenutest::ScratchRoot root("circle_right");
    root.Write(devmenutest::InfoFile(2010000), "AmbientRed: 11\n");
    root.Write(devmenutest::InfoFile(2020000), "AmbientRed: 22\n");
    root.Write(devmenutest::SetFile(2010000), "KindNum:1\nPrtSysKind:A.ZUS,3\n");
    MenuHarness h;
    EnterStageList(&h, 2010000);
    h.Tick({kPadCircle, kPadRight});
    EXPECT_EQ(h.menu.tuning.ambientRed, 11);
    EXPECT_EQ(h.menu.tuningStageId, 2010000);
    ASSERT_EQ(h.menu.particleKinds.kinds.size(), 1u);
    EXPECT_EQ(h.menu.particleStageId, 2010000);
    EXPECT_EQ(h.Label(), "Change to Stage 1-1(01)");
    EXPECT_EQ(h.menu.selectedStageId, 2020000);
    EXPECT_EQ(h.menu.activeItem, kItemTuningMenu);
    EXPECT_EQ(h.menu.pageFlags[kPageTuningMenu], 1);
    // The tuning menu is drawn from now on.
    EXPECT_NE(h.Find("Set Camera Info"), nullptr);
}

class DoneLetsGo : public ::testing::Test {
protected:
    void SetUp() override
    {
        tracePath = rwtest::ScratchPath("devmenu_change.txt");
        ASSERT_TRUE(game::TraceOpen(tracePath, nullptr));
    }
    void TearDown() override
    {
        game::TraceClose();
        std::remove(tracePath.c_str());
    }
    std::vector<std::string> RequestLines()
    {
        game::TraceClose();
        std::vector<std::string> lines;
        for (const gametest::TraceRecord &r : gametest::ReadTrace(tracePath)) {
            if (r.kind == "stage" && !r.fields.empty() && r.fields[0] == "request") {
                std::string line;
                for (const std::string &f : r.fields) {
                    line += (line.empty() ? "" : " ") + f;
                }
                lines.push_back(line);
            }
        }
        return lines;
    }
    std::string tracePath;
};

// On the title screen no change is carried out inside the request, so the
// stage manager keeps the first request and refuses the second: both are
// seen as the menu makes them.
TEST_F(DoneLetsGo, ReleasesTheStageThenLoadsTheSelectedOneWithoutTransition)
{
    stagetest::RecordingScreenCalls screens;
    stagetest::Fake().currentScreen = kTitleScreen;
    MenuHarness h;
    EnterStageList(&h, 2010000);
    h.Press(kPadRight);
    h.menu.particleKinds.kinds.resize(2);
    h.menu.activeItem = kItemTuningMenu;  // as circle on the list leaves it
    h.menu.pageFlags[kPageTuningMenu] = 1;
    h.Press(kPadDown, 5);
    EXPECT_EQ(h.menu.tuningCursor, kTuneChangeStage);
    h.Tick({kPadCircle});
    EXPECT_EQ(h.menu.activeItem, kItemTuningPage);
    EXPECT_EQ(h.menu.pageFlags[kPageTuningMenu], 0);
    EXPECT_TRUE(RequestLines().empty());
    ASSERT_TRUE(game::TraceOpen(tracePath, nullptr));
    h.Tick();  // the action runs on the frame after circle
    EXPECT_EQ(RequestLines(), (std::vector<std::string>{"request 0 0 2000 taken", "request 2020000 0 2000 ignored"}));
    EXPECT_FALSE(h.menu.IsOpen());
    EXPECT_EQ(h.menu.activeItem, kItemSelectStage);
    EXPECT_TRUE(h.menu.particleKinds.kinds.empty());
    // Opened again, the main list shows "Select Stage".
    h.menu.Open(1, 0);
    h.Tick();
    EXPECT_EQ(h.Label(), "Select Stage");
}

}  // namespace

}  // namespace stage_list_test
