// The stage's life on the sample data with the game system on a headless
// window: loading and releasing the first stage, and one frame (the update
// with the actor pass, then the render) with 1 and 50 monsters placed in
// the yard around the hero.
#include <benchmark/benchmark.h>

#include <cmath>

#include "actor/actor_placement.h"
#include "actor/ai_type_table.h"
#include "app/engine_startup.h"
#include "app/fatal.h"
#include "app/game_system.h"
#include "app/path.h"
#include "stage/stage_manager.h"
#include "support/engine/headless_driver.h"

namespace {

constexpr int32_t kStage1 = 2010000;

// The game's engine and game system on the sample data for one benchmark.
class GameUp {
public:
    GameUp()
    {
        SetDataRootPath(RW_BENCH_DATA_DIR);
        window_ = rwtest::OpenHeadlessWindow("bench stage", 640, 480);
        EngineChoice chosen;
        started_ = window_ != nullptr && StartEngine(window_, game::ModeChoice{640, 480, false}, &chosen);
        ok = started_ && gs.Create(640, 480, 1);
        stage = gs.stageManager;
        if (ok) {
            stage->CreateSubObjects1();
            stage->LoadHeroesOnce();
        }
    }
    ~GameUp()
    {
        gs.Destroy();
        if (started_) {
            StopEngine();
        }
        rwtest::CloseHeadlessWindow(window_);
        SetDataRootPath("");
    }
    GameUp(const GameUp &) = delete;
    GameUp &operator=(const GameUp &) = delete;

    CSGameSystem gs;
    CSStageManager *stage = nullptr;
    bool ok = false;

private:
    HWND window_ = nullptr;
    bool started_ = false;
};

// The sample monster without its behaviour: it reads its messages.
void ReadMessages(AiObject *actor, float)
{
    while (MSGData *m = actor->PopMessage()) {
        FreeMessage(m);
    }
}

void BM_LoadAndReleaseStage1(benchmark::State &state)
{
    GameUp game;
    if (!game.ok || !game.stage->LoadStage(kStage1)) {
        state.SkipWithError("no sample data (build the sample-data target)");
        return;
    }
    game.stage->LoadStage(0);
    for (auto _ : state) {
        game.stage->LoadStage(kStage1);
        game.stage->LoadStage(0);
    }
}
BENCHMARK(BM_LoadAndReleaseStage1)->Unit(benchmark::kMillisecond);

void BM_StageFrame(benchmark::State &state)
{
    GameUp game;
    const AiUpdateFn previous = ReplaceAiTypeUpdate(1000, ReadMessages);
    if (!game.ok || !game.stage->LoadStage(kStage1)) {
        state.SkipWithError("no sample data (build the sample-data target)");
        ReplaceAiTypeUpdate(1000, previous);
        return;
    }
    CSStageManager *stage = game.stage;
    // More monsters like the placed one on a grid over the yard's middle.
    const AiPlacement base = stage->placements.at(0);
    const int count = static_cast<int>(state.range(0));
    for (int i = 1; i < count; ++i) {
        AiPlacement p = base;
        p.aiId = 100 + i;
        p.territory = 0;
        p.position = {-120.0f + 30.0f * static_cast<float>(i % 8), 0.0f, -60.0f + 30.0f * static_cast<float>(i / 8)};
        AiObject *actor = CreateActor(p.aiType, p.aiId);
        ApplyPlacement(stage, actor, p);
        LinkActor(stage, actor);
    }
    for (auto _ : state) {
        stage->Update(16);
        game.gs.Render();
    }
    state.SetItemsProcessed(state.iterations() * count);
    stage->LoadStage(0);
    ReplaceAiTypeUpdate(1000, previous);
}
BENCHMARK(BM_StageFrame)->Arg(1)->Arg(50)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
