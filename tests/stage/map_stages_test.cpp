// Every stage of the stage select's map is a stage of the sample data that
// loads: each of the 29 node ids goes through the stage load (against the
// recording screens) with its world, stage info, particle set and models,
// and nothing is reported missing.
#include <gtest/gtest.h>

#include <optional>

#include "app/game_system.h"
#include "app/game_system_children.h"
#include "stage/stage_manager.h"
#include "tests/app/app_test_support.h"
#include "tests/stage/stage_screen_fakes.h"
#include "ui/stage_select.h"

namespace map_stages_test {

namespace {

class MapStages : public apptest::GameEngineTest {
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

TEST_F(MapStages, EveryStageTheMapOpensLoads)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    StartIn(apptest::SampleData(), 64, 48);
    ASSERT_TRUE(gs.Create(64, 48, 1));
    GameSystemChildren{gs}.ReleaseScreens();
    screens.Install();
    recorder.emplace();
    CSStageManager *stage = gs.stageManager;
    ASSERT_NE(stage, nullptr);
    for (int i = 0; i < kMapNodes; ++i) {
        const int32_t id = StageMapNodes()[i].stageId;
        SCOPED_TRACE(id);
        ASSERT_TRUE(stage->LoadStage(id));
        EXPECT_EQ(stage->stageId, id);
        EXPECT_NE(stage->world, nullptr);
        EXPECT_TRUE(apptest::FatalRecorder::Names().empty());
        ASSERT_TRUE(stage->LoadStage(0));
    }
}

}  // namespace

}  // namespace map_stages_test
