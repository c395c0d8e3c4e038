// The screen manager as the stage and the events reach it: the chosen hero
// and pad from the hero block (the first hero on pad 0 while the block
// holds no valid choice), the pad the events listen to (pad 0 while the
// screens have none), the interface picture, and the third key prompt's
// picture for the speech marker once the prompts exist; each of the stage's,
// the actors' and the events' calls reaching the manager, and all of them
// gone with it.
#include <gtest/gtest.h>

#include <string>

#include "actor/actor_screen_calls.h"
#include "app/audio.h"
#include "app/trace.h"
#include "event/event_links.h"
#include "fx/fx_links.h"
#include "stage/stage_screen_calls.h"
#include "tests/ui/ui_test_support.h"
#include "ui/ui_sound.h"

namespace ui_stage_links_test {

namespace {

class StageLinks : public uitest::ScreensTest {
protected:
    void SetUp() override { StartOnSampleData(); }
    uitest::RecordingLinksScope links;
};

TEST_F(StageLinks, TheChosenHeroAndPadComeFromTheHeroBlock)
{
    ASSERT_NE(g_stageScreens, nullptr);
    const struct {
        int32_t heroType, padIndex, hero, pad;
    } rows[] = {{1, 3, 1, 3}, {0, 0, 0, 0}, {2, 4, 0, 0}, {-1, -1, 0, 0}, {1, 2, 1, 2}};
    for (const auto &row : rows) {
        ui->heroBlock.heroType = row.heroType;
        ui->heroBlock.padIndex = row.padIndex;
        int32_t hero = -7;
        int32_t pad = -7;
        g_stageScreens->chosenHero(&hero, &pad);
        EXPECT_EQ(hero, row.hero) << row.heroType;
        EXPECT_EQ(pad, row.pad) << row.padIndex;
    }
}

TEST_F(StageLinks, TheEventsListenToTheScreensPad)
{
    ASSERT_NE(g_eventLinks.controllingPad, nullptr);
    for (const int32_t pad : {0, 3}) {
        ui->SetUIPad(pad);
        EXPECT_EQ(g_eventLinks.controllingPad(), pad);
    }
    for (const int32_t none : {-1, 4}) {
        ui->SetUIPad(none);
        EXPECT_EQ(g_eventLinks.controllingPad(), 0) << none;
    }
}

TEST_F(StageLinks, TheSpeechMarkerShowsTheThirdKeyPicture)
{
    ASSERT_NE(g_eventLinks.actionKeyUVs, nullptr);
    float uv[4] = {-1.0f, -1.0f, -1.0f, -1.0f};
    g_eventLinks.actionKeyUVs(uv);  // no prompts yet: left as it was
    EXPECT_EQ(uv[0], -1.0f);
    EXPECT_EQ(uv[3], -1.0f);
    ui->LoadCommonTextures();
    g_eventLinks.actionKeyUVs(uv);
    EXPECT_FLOAT_EQ(uv[0] * 512.0f, 147.0f);
    EXPECT_FLOAT_EQ(uv[1] * 512.0f, 98.0f);
    EXPECT_FLOAT_EQ(uv[2] * 512.0f, 172.0f);
    EXPECT_FLOAT_EQ(uv[3] * 512.0f, 123.0f);
    ASSERT_NE(g_eventLinks.interfaceTexture, nullptr);
    EXPECT_EQ(g_eventLinks.interfaceTexture(), ui->GetHudTexture());
    EXPECT_NE(g_eventLinks.interfaceTexture(), nullptr);
}

// The stage's calls act on the manager: the letterbox at once and over its
// time, the loading flag both ways, the fades, the screen asked for and the
// stage's clock.
TEST_F(StageLinks, TheStagesCallsReachTheManager)
{
    ASSERT_NE(g_stageScreens, nullptr);
    const StageScreenCalls &calls = *g_stageScreens;
    calls.showLetterbox(0);
    EXPECT_TRUE(ui->IsLetterboxOn());
    calls.hideLetterbox(0);
    EXPECT_FALSE(ui->IsLetterboxOn());
    calls.showLetterbox(200);
    calls.stepLetterbox(100);
    EXPECT_EQ(ui->LetterboxQuad(0).v[0].emissiveColor >> 24, 100u * 255u / 200u);
    calls.hideLetterbox(100);
    calls.stepLetterbox(100);
    EXPECT_FALSE(ui->IsLetterboxOn());
    EXPECT_EQ(calls.isPauseMenuOpen(), 0);

    calls.setLoadingFlag(1);
    EXPECT_EQ(ui->GetLoadingFlag(), 1);
    calls.setLoadingFlag(0);
    EXPECT_EQ(ui->GetLoadingFlag(), 0);

    EXPECT_EQ(calls.isFading(), 0);
    calls.startFade(0xFF000000u, 500);
    EXPECT_EQ(calls.isFading(), 1);
    EXPECT_TRUE(ui->HasFadeOutTimer());
    ui->StepFade(250);
    ui->StepFade(250);
    ui->StepFade(250);
    ui->StepFade(250);
    ui->DrawFade();
    EXPECT_EQ(calls.isFading(), 0);
    calls.startFadeIn(0xFF000000u, 500);
    EXPECT_EQ(calls.isFading(), 1);
    EXPECT_FALSE(ui->HasFadeOutTimer()) << "a fade in, not out";

    calls.requestScreen(kScreenInGame);
    calls.switchScreen();
    EXPECT_EQ(calls.currentScreen(), kScreenInGame);
    EXPECT_EQ(ui->CurrentScreen(), static_cast<uint32_t>(kScreenInGame));

    ui->AddStageTime(1234);
    calls.resetStageClock();
    EXPECT_EQ(ui->GetLastStageTime(), 1234u);
    EXPECT_EQ(ui->GetStageTime(), 0u);
}

// The events' boss gauge and interface sounds reach the manager (its trace
// shows them); the actors read the manager's own blocks.
TEST_F(StageLinks, TheEventsAndActorsReachTheManager)
{
    CSAudio audio;
    audio.Create(false);
    SetUIAudioForTest(&audio, true);
    ui->LoadUISounds();
    const std::string trace = apptest::ScratchFolder("links_trace") + "/t.txt";
    std::string error;
    ASSERT_TRUE(game::TraceOpen(trace, &error)) << error;
    ASSERT_NE(g_eventLinks.requestBossGauge, nullptr);
    ASSERT_NE(g_eventLinks.playUISound, nullptr);
    g_eventLinks.requestBossGauge();
    g_eventLinks.playUISound(6600020);
    game::TraceClose();
    ui->ReleaseUISounds();
    SetUIAudioForTest(nullptr, false);
    audio.Release();
    const std::vector<uint8_t> lines = apptest::ReadBytes(trace);
    EXPECT_EQ(std::string(lines.begin(), lines.end()), "0 screen gauge\n0 screen sound 6600020\n");

    ASSERT_NE(g_actorScreens, nullptr);
    EXPECT_EQ(g_actorScreens->progressBlock(), &ui->progress);
    EXPECT_EQ(g_actorScreens->heroBlock(), &ui->heroBlock);
    ASSERT_NE(g_fxLinks.showMoneyGain, nullptr);
}

// With the manager gone nothing reaches for it: every call it installed is
// taken away again.
TEST_F(StageLinks, TheCallsGoWithTheManager)
{
    ASSERT_NE(g_stageScreens, nullptr);
    gs.Destroy();
    EXPECT_EQ(g_stageScreens, nullptr);
    EXPECT_EQ(g_actorScreens, nullptr);
    EXPECT_EQ(g_fxLinks.showMoneyGain, nullptr);
    EXPECT_EQ(g_eventLinks.requestBossGauge, nullptr);
    EXPECT_EQ(g_eventLinks.controllingPad, nullptr);
    EXPECT_EQ(g_eventLinks.playUISound, nullptr);
    EXPECT_EQ(g_eventLinks.interfaceTexture, nullptr);
    EXPECT_EQ(g_eventLinks.actionKeyUVs, nullptr);
}

}  // namespace

}  // namespace ui_stage_links_test
