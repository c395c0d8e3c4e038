// The clump-info list on the real game system: the first stage of the
// sample data loaded names its models by their files (a clone by its
// source's), and released leaves the list as it was before the load.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>

#include "app/game_system.h"
#include "app/game_system_children.h"
#include "devmenu/dev_menu.h"
#include "stage/stage_manager.h"
#include "stage/stage_paths.h"
#include "tests/app/app_test_support.h"
#include "tests/stage/stage_screen_fakes.h"

namespace dev_menu_clump_stage_test {

namespace {

class MenuClumpsOnAStage : public apptest::GameEngineTest {
protected:
    void TearDown() override
    {
        recorder.reset();
        gs.Destroy();
        apptest::GameEngineTest::TearDown();
    }

    stagetest::RecordingScreenCalls screens;
    CSGameSystem gs;
    std::optional<apptest::FatalRecorder> recorder;
};

std::set<std::string> Names(const CSDevMenu &menu)
{
    std::set<std::string> names;
    for (const DevMenuClumpInfo &info : menu.clumpInfos) {
        names.insert(info.name);
    }
    return names;
}

TEST_F(MenuClumpsOnAStage, TheListFollowsTheStagesModels)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    StartIn(apptest::SampleData());
    ASSERT_TRUE(gs.Create(64, 48, 1));
    GameSystemChildren{gs}.ReleaseScreens();
    screens.Install();
    recorder.emplace();
    ASSERT_NE(gs.devMenu, nullptr);
    const size_t before = gs.devMenu->ClumpInfoCount();

    ASSERT_TRUE(gs.stageManager->LoadStage(kFirstStageId));
    const std::set<std::string> names = Names(*gs.devMenu);
    for (const char *file : {"LIGHTS.DFF", "CAMWALL.DFF", "CLUMP00.DFF"}) {
        EXPECT_EQ(names.count(file), 1u) << file;
    }
    ASSERT_NE(gs.stageManager->lightsClump, nullptr);
    EXPECT_STREQ(gs.devMenu->FindClumpName(gs.stageManager->lightsClump), "LIGHTS.DFF");
    // The placed actors are clones of their templates' models.
    size_t actorModels = 0;
    for (const auto &model : gs.stageManager->modelTemplates) {
        for (const DevMenuClumpInfo &info : gs.devMenu->clumpInfos) {
            actorModels += info.name == model->GetModelId() + ".DFF" ? 1 : 0;
        }
    }
    EXPECT_GE(actorModels, 2u) << "a template's model and at least one clone of it";

    ASSERT_TRUE(gs.stageManager->LoadStage(0));
    EXPECT_EQ(gs.devMenu->ClumpInfoCount(), before);
}

}  // namespace

}  // namespace dev_menu_clump_stage_test
