// A stage of the sample data (the first by default), read for scenario
// tests the way a stage load reads it: its world (the collision world),
// its stage info (the thinning radii), its placement and territories (when
// it has any), and, when asked, the placed actors with their model
// templates. Needs a started engine with the game's plug-ins
// (stagetest::StageEngineTest).
#pragma once

#include "actor/ai_msg_pool.h"
#include "stage/stage_manager.h"
#include "stage/stage_paths.h"

namespace gametest {

class SampleStage {
public:
    SampleStage() = default;
    ~SampleStage() { Release(); }
    SampleStage(const SampleStage &) = delete;
    SampleStage &operator=(const SampleStage &) = delete;

    // Makes the sample data tree the data root and reads the stage; with
    // `placeActors` also the templates and the actors of its placement.
    // Makes `stage` the running stage (g_pStageManager). False at the first
    // part that cannot be read.
    bool Load(bool placeActors, int32_t stageId = kFirstStageId);
    // Frees the actors, the templates and the world; puts the previous
    // running stage and data root back.
    void Release();

    CSStageManager stage;
    CAiMsgPool pool;

private:
    CSStageManager *previous_ = nullptr;
    bool loaded_ = false;
};

}  // namespace gametest
