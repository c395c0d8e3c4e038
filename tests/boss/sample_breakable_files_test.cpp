// The sample breakable objects as the maker writes them, every design in
// its table folder under RESOURCE/BREAKOBJ: each reads back as a
// template (model, motions, state machine, parameters), every state has a
// motion, its state machine routes the inputs its design feeds, and the
// bomb's fuse frame and the crates' body frame are there for its effects.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/path.h"
#include "boss/breakable_table.h"
#include "stage/clump_anim_manager.h"
#include "stage/model_frames.h"
#include "stage/model_template.h"
#include "support/game/fsf_routes.h"
#include "tests/stage/stage_test_support.h"
#include "tools/mkdata/sample_monsters.h"
#include "tools/mkdata/sample_stages.h"

namespace sample_breakable_files_test {

namespace {

using Route = gametest::FsfRoute;

std::vector<Route> RoutesOf(int32_t aiType)
{
    switch (aiType) {
    case 10026:  // hit, broken, fallen, lying, standing again
        return {{0, 1, false, 1}, {0, 2, false, 4}, {1, 2, false, 4}, {4, 0, true, 5},
                {5, 3, false, 6}, {5, 0, true, 5}, {6, 0, true, 0}};
    case 10027:  // lifted, set down, dying, gone
        return {{0, 104, false, 1}, {1, 104, false, 1}, {1, 0, false, -1}, {1, 105, false, 0},
                {1, 120, false, 2}, {0, 120, false, 2}, {2, 0, true, 3},   {3, 0, true, -1}};
    case 10028:  // lit, burning, exploding, gone
    case 10029:
        return {{0, 100, false, 1}, {1, 120, false, 2}, {1, 0, true, 1}, {2, 0, true, 3}, {3, 0, true, -1}};
    default:  // broken by one hit; its breaking motion's end leads on
        return {{0, 1, false, 1}, {0, 0, true, 0}, {1, 0, false, -1}, {1, 0, true, 2}, {2, 0, true, -1}};
    }
}

int32_t LastStateOf(int32_t aiType)
{
    switch (aiType) {
    case 10026:
        return 6;
    case 10027:
    case 10028:
    case 10029:
        return 3;
    default:
        return 2;
    }
}

using SampleBreakableFiles = stagetest::StageEngineTest;

TEST_F(SampleBreakableFiles, EachDesignReadsBackAndRoutesItsInputs)
{
    SetDataRootPath(stagetest::SamplePath("").c_str());
    CSClumpAnimManager animations;
    for (int32_t type : mkdata::SampleBreakableTypes()) {
        SCOPED_TRACE(type);
        const BreakableRow *row = BreakableRowOf(type);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(mkdata::SampleMonsterFolder(type), std::string("RESOURCE/BREAKOBJ/") + row->modelId);
        CSModelTemplate tpl;
        ASSERT_TRUE(tpl.Load(type, ModelFolder::kBreakObj, row->modelId, &animations, 1));
        ASSERT_GT(tpl.fsf.StateCount(), 0);
        for (const FsfState &state : tpl.fsf.States()) {
            EXPECT_LE(state.id, LastStateOf(type)) << state.id;
            EXPECT_NE(tpl.GetMotionRange(state.id), nullptr) << state.id;
        }
        gametest::ExpectRoutes(tpl.fsf, RoutesOf(type));
        // The lid (the bomb's fuse) and the body: the frames its effects start on.
        RpClump *clump = tpl.GetInstance(0) != nullptr ? tpl.GetInstance(0)->clump : nullptr;
        ASSERT_NE(clump, nullptr);
        EXPECT_NE(FindFrameByUserId(clump, 100090), nullptr);
        EXPECT_NE(FindFrameByUserId(clump, 100020), nullptr);
        EXPECT_GT(tpl.params.radius, 0.0f);
        tpl.Release();
    }
    animations.ReleaseAll();
    SetDataRootPath("");
}

// Every non-player character type, every trap the placement loader makes
// and every breakable design stands in some sample stage.
TEST(SampleActorPlacements, EveryCharacterTrapAndDesignStandsInSomeStage)
{
    std::set<int32_t> placed;
    for (const mkdata::SampleStageSpec &stage : mkdata::SampleStages()) {
        for (const AiPlacement &placement : stage.placements) {
            placed.insert(placement.aiType);
        }
    }
    std::vector<int32_t> wanted = {10};
    for (int32_t type = 100; type <= 118; ++type) {
        wanted.push_back(type);
    }
    for (int32_t type = 1200; type <= 1204; ++type) {
        wanted.push_back(type);
    }
    for (int32_t type = kFirstBreakableType; type <= kLastBreakableType; ++type) {
        wanted.push_back(type);
    }
    for (int32_t type : wanted) {
        EXPECT_EQ(placed.count(type), 1u) << type;
    }
    // The loader makes no 1205.
    EXPECT_EQ(placed.count(1205), 0u);
}

}  // namespace

}  // namespace sample_breakable_files_test
