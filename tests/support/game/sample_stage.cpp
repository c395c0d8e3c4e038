// The sample data's first stage for scenario tests (see sample_stage.h).
#include "support/game/sample_stage.h"

#include <memory>

#include "actor/actor_placement.h"
#include "app/file.h"
#include "app/path.h"
#include "stage/ai_placement.h"
#include "stage/stage_info.h"
#include "stage/stage_paths.h"
#include "tests/stage/stage_test_support.h"

namespace gametest {

bool SampleStage::Load(bool placeActors, int32_t stageId)
{
    Release();
    previous_ = g_pStageManager;
    g_pStageManager = &stage;
    loaded_ = true;
    SetDataRootPath(stagetest::SamplePath("").c_str());
    stage.stageId = stageId;
    stage.stageNumber = StageNumberOf(stageId);
    stage.messagePool = &pool;
    pool.SetChain(&stage.actorHead);
    stage.actorAnimations = std::make_unique<CSClumpAnimManager>();
    StageInfo info;
    if (!ReadStageInfoFile(StageInfoPath(stageId).c_str(), &info, false)) {
        return false;
    }
    stage.SetStageInfo(info);
    stage.world = stagetest::ReadSampleWorld(stage.stageNumber);
    const std::string territories = StageTerritoryPath(stageId);
    if (stage.world == nullptr || !ReadPlacementFile(StagePlacementPath(stageId).c_str(), &stage.placements, false) ||
        (zufexists(territories.c_str()) && !ReadTerritoryFile(territories.c_str(), &stage.territories, false))) {
        return false;
    }
    return !placeActors || (LoadPlacedModels(&stage) && CreatePlacedActors(&stage) > 0);
}

void SampleStage::Release()
{
    if (!loaded_) {
        return;
    }
    ReleasePlacedActors(&stage);
    stage.actorHead = nullptr;
    stage.modelTemplates.clear();
    stage.actorAnimations.reset();
    if (stage.world != nullptr) {
        RpWorldDestroy(stage.world);
        stage.world = nullptr;
    }
    stage.placements.clear();
    stage.territories.clear();
    g_pStageManager = previous_;
    SetDataRootPath("");
    loaded_ = false;
}

}  // namespace gametest
