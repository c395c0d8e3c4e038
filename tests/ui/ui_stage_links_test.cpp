// The screen manager as the stage and the events reach it: the chosen hero
// and pad from the hero block (the first hero on pad 0 while the block
// holds no valid choice), the pad the events listen to (pad 0 while the
// screens have none), the interface picture, and the third key prompt's
// picture for the speech marker once the prompts exist.
#include <gtest/gtest.h>

#include "event/event_links.h"
#include "stage/stage_screen_calls.h"
#include "tests/ui/ui_test_support.h"

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

}  // namespace
