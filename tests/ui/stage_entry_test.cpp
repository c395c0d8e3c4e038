// The stage entry and the stage end against a recording stage manager: the
// parts made in order with the loading bar's steps, the switch to the
// in-game overlay or the lobby, what the end of a stage records, and the
// base map it raises.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actor/hero.h"
#include "app/pack.h"
#include "platform/d3d8/swr/swr_fast_triangle.h"
#include "tests/ui/ui_test_support.h"
#include "ui/stage_entry_screens.h"
#include "ui/ui_rect.h"

namespace stage_entry_test {

namespace {

using uitest::Links;
using uitest::ScreensTest;

class StageEntryTest : public ScreensTest {
protected:
    void SetUp() override
    {
        StartOnSampleData();
        if (IsSkipped()) {
            return;
        }
        ui->Update(16);  // the warning screen
        Links().log.clear();
    }
    uitest::RecordingLinksScope links;
};

TEST_F(StageEntryTest, ANewGameMakesThePartsAndEntersTheFirstStageUnderTheOverlay)
{
    Links().itemOwner = true;
    ui->SetStageId(2010000);
    ui->RequestModule(12);
    EXPECT_EQ(ui->Update(16), 13);
    EXPECT_EQ(ui->CurrentScreen(), 13u);
    EXPECT_EQ(ui->EnterStage()->active, 0);
    EXPECT_EQ(Links().log, (std::vector<std::string>{"unload heroes", "loading on 2010000", "progress 0.00",
                                                      "parts 1", "effects pack", "parts 2", "items pack",
                                                      "events pack", "heroes once", "progress 0.10",
                                                      "stage change 2010000 0 2000", "reset item range",
                                                      "clear items"}));
}

TEST_F(StageEntryTest, WithTheFirstStageClearedItGoesToTheLobbyStepByStep)
{
    ui->progress.cleared[0] = 1;
    ui->SetStageId(2010000);
    ui->RequestModule(12);
    EXPECT_EQ(ui->Update(16), 11);
    EXPECT_EQ(ui->CurrentScreen(), 11u);
    EXPECT_EQ(Links().log, (std::vector<std::string>{"unload heroes", "loading on 2010000", "progress 0.00",
                                                      "parts 1", "progress 0.10", "effects pack", "progress 0.20",
                                                      "parts 2", "progress 0.30", "items pack", "progress 0.50",
                                                      "events pack", "progress 0.70", "heroes once", "progress 0.90",
                                                      "progress 1.00", "loading off 2010000"}));
    EXPECT_NE(ui->LobbyArt(), nullptr);
    EXPECT_NE(ui->MapBase(), nullptr);
    // The lobby's pack is closed once its pictures are read: left open, it
    // would answer the lobby's later file reads from its own files.
    EXPECT_FALSE(zuIsPackOpen());
}

TEST_F(StageEntryTest, TheFirstStageEndsInTheLobbyWithItsTimeAndPickups)
{
    CSHero hero;
    hero.money = 100;
    hero.stageMoney = 40;
    hero.bestHitCounter = 12;
    Links().hero = &hero;
    Links().stageNumber = 1;
    ui->progress.playTimeMs = 1000;
    ui->AddStageTime(5000);
    ui->ResetStageClock();  // as the release does
    ui->RequestModule(15);
    ui->Update(16);
    EXPECT_EQ(Links().log, std::vector<std::string>{"load stage 0"});
    EXPECT_EQ(ui->progress.cleared[0], 1);
    EXPECT_EQ(ui->GetLastStageId(), 2010000u);
    EXPECT_EQ(ui->GetStageBestValue(), 12);
    EXPECT_EQ(ui->GetStageMoneyValue(), 40);
    // Stage 1 has no ranking: its pickups go into the money here.
    EXPECT_EQ(hero.money, 140);
    EXPECT_EQ(hero.stageMoney, 0);
    // Activated again while it shows: nothing is released or paid again.
    hero.stageMoney = 7;
    ui->StageEnd()->SetActive(1);
    EXPECT_EQ(Links().log, std::vector<std::string>{"load stage 0"});
    EXPECT_EQ(hero.money, 140);
    // The base map rises over 500 ms, then the lobby.
    for (int i = 0; i < 32; ++i) {
        ui->Update(16);
        EXPECT_EQ(ui->RequestedScreen(), 15u) << i;
    }
    ui->Update(16);
    EXPECT_EQ(ui->RequestedScreen(), 11u);
    EXPECT_EQ(ui->progress.playTimeMs, 6000u);
    EXPECT_EQ(hero.stageMoney, 7);
    Links().hero = nullptr;
}

// Each stage's time, which the ranking rates and the save adds up, counts
// from nothing: the second stage's is its own 3000 ms, not a tick more.
TEST_F(StageEntryTest, EachStagesTimeCountsFromNothing)
{
    ui->AddStageTime(5000);
    ui->ResetStageClock();
    EXPECT_EQ(ui->GetLastStageTime(), 5000u);
    ui->AddStageTime(3000);
    ui->ResetStageClock();
    EXPECT_EQ(ui->GetLastStageTime(), 3000u);
}

// The stage end raises the whole base map over the whole screen, from
// clear to opaque in 500 ms.
TEST_F(StageEntryTest, TheStageEndRaisesTheWholeBaseMapOverHalfASecond)
{
    ui->LoadCommonTextures();
    ASSERT_NE(ui->BaseMap(), nullptr);
    Links().stageNumber = 10;
    ui->RequestModule(15);
    ui->Update(16);
    const RwRGBA grey = {60, 60, 60, 255};
    const auto drawn = [&] { return DrawFrame([&] { ui->Render(); }, grey).pixels; };
    const auto map = [&](uint32_t alpha) {
        return DrawFrame([&] { DrawPlaced({kUIScreen, kUIWholePicture}, ui->BaseMap(), alpha << 24 | 0xF0F0F0u); },
                         grey)
            .pixels;
    };
    EXPECT_TRUE(drawn() == map(0));
    ui->Update(250);
    EXPECT_TRUE(drawn() == map(250 * 255 / 500));
    ui->Update(250);
    EXPECT_TRUE(drawn() == map(255));
}

// While the map is still clear (its alpha 0, the first millisecond) the stage
// end draws nothing, which leaves the frame as the clear map would; from the
// first step of alpha on the map is drawn.
TEST_F(StageEntryTest, TheStageEndDrawsNothingWhileItsMapIsClear)
{
    ui->LoadCommonTextures();
    ASSERT_NE(ui->BaseMap(), nullptr);
    Links().stageNumber = 10;
    ui->RequestModule(15);
    ui->Update(0);
    const RwRGBA grey = {60, 60, 60, 255};
    const auto pictures = [] { return swr::TakePictureTriangles(false) + swr::TakePictureTriangles(true); };
    const auto drawn = [&] { return DrawFrame([&] { ui->Render(); }, grey).pixels; };
    const auto map = [&](uint32_t alpha) {
        return DrawFrame([&] { DrawPlaced({kUIScreen, kUIWholePicture}, ui->BaseMap(), alpha << 24 | 0xF0F0F0u); },
                         grey)
            .pixels;
    };
    const auto bare = DrawFrame([] {}, grey).pixels;
    EXPECT_TRUE(map(0) == bare);
    EXPECT_GT(pictures(), 0u);  // the clear map is drawn, as a picture
    for (uint32_t ms : {0u, 1u}) {
        if (ms != 0) {
            ui->Update(ms);
        }
        ASSERT_EQ(ui->StageEnd()->timerMs, ms);
        EXPECT_TRUE(drawn() == bare) << ms << " ms";
        EXPECT_EQ(pictures(), 0u) << ms << " ms";
    }
    ui->Update(1);  // 2 ms: alpha 1
    const auto first = map(1);
    EXPECT_FALSE(first == bare);
    pictures();
    EXPECT_TRUE(drawn() == first);
    EXPECT_GT(pictures(), 0u);
}

TEST_F(StageEntryTest, AnyOtherStageEndsInTheRanking)
{
    Links().stageNumber = 10;
    ui->AddStageTime(5000);
    ui->ResetStageClock();
    ui->RequestModule(15);
    ui->Update(16);
    EXPECT_EQ(ui->progress.clearedList[0], 6u);
    EXPECT_EQ(ui->GetLastStageId(), 2100000u);
    EXPECT_EQ(ui->progress.lastStageId, 2100000u);
    // Its timer counts from 0 at its first update: at 500 ms the cover is
    // still rising; the update after the one that passes 500 asks on.
    ui->Update(500);
    ui->Update(1);
    EXPECT_EQ(ui->RequestedScreen(), 15u);
    ui->Update(1);
    EXPECT_EQ(ui->RequestedScreen(), 16u);
    EXPECT_EQ(ui->progress.playTimeMs, 0u);
}

// What a save records as the stage to go on from is the stage end's: a
// loaded game that finishes another stage goes on from that one; a stage
// outside the map's table leaves the last one standing.
TEST_F(StageEntryTest, TheStageEndLeavesTheStageToGoOnFromInTheProgressBlock)
{
    ui->progress.lastStageId = 2010000;  // as a loaded save leaves it
    ui->SetLastStageId(2010000);
    for (const auto &[stage, expected] : {std::pair{2, 2020000u}, {7, 2020000u}, {37, 2370000u}}) {
        Links().stageNumber = stage;
        ui->RequestModule(15);
        ui->Update(16);
        EXPECT_EQ(ui->progress.lastStageId, expected) << stage;
        EXPECT_EQ(ui->GetLastStageId(), expected) << stage;
        ui->RequestModule(1);
        ui->Update(16);
    }
}

}  // namespace

}  // namespace stage_entry_test
