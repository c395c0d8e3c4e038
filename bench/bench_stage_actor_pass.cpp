// One actor pass on the sample's first stage with 1, 100 and 300 monsters
// spread over the yard so that, seen from a hero in one corner, they fill
// every thinning band of the stage (150, 250, 350 and 400 units): their updates
// (a type that walks on its full-detail frames through the full character
// move), the line-of-sight tests and sensing, and the delivery.
#include <benchmark/benchmark.h>

#include <cmath>

#include "actor/actor_pass.h"
#include "actor/actor_placement.h"
#include "actor/ai_type_table.h"
#include "actor/hero.h"
#include "support/game/sample_stage.h"
#include "bench/bench_engine.h"
#include "tests/stage/stage_test_support.h"

namespace {

// Reads its messages; on full-detail frames walks a little toward the yard's middle and back.
void Walker(AiObject *actor, float dt)
{
    while (MSGData *m = actor->PopMessage()) {
        FreeMessage(m);
    }
    if (!actor->active || !actor->fullDetailFrame) {
        return;
    }
    const RwV3d goal = (actor->state & 1) != 0 ? actor->home : RwV3d{0.0f, 0.0f, 0.0f};
    const RwV3d &at = *actor->GetPositionPtr();
    if (std::hypot(goal.x - at.x, goal.z - at.z) < 5.0f) {
        actor->state ^= 1;
    }
    actor->MoveToward(0.0f, goal, 15.0f * dt, true, true);
    actor->accumulatedTime = 0.0f;
}

void BM_ActorPass(benchmark::State &state)
{
    bench::EngineUp engine(1 << 22);
    gametest::SampleStage sample;
    if (!engine.ok || !sample.Load(false)) {
        state.SkipWithError("no engine or no sample stage (build the sample data first)");
        return;
    }
    const AiUpdateFn previous = ReplaceAiTypeUpdate(1000, Walker);
    CSStageManager &stage = sample.stage;
    const AiPlacement base = stage.placements.at(0);
    stage.placements.clear();
    const int count = static_cast<int>(state.range(0));
    const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
    for (int i = 0; i < count; ++i) {
        AiPlacement p = base;
        p.aiId = 100 + i;
        p.territory = 0;
        const float step = 350.0f / static_cast<float>(side);
        p.position = {-175.0f + step * (0.5f + static_cast<float>(i % side)), 0.0f,
                      -175.0f + step * (0.5f + static_cast<float>(i / side))};
        stage.placements.push_back(p);
    }
    CSHero hero;
    hero.aiType = 0;
    hero.side = kSideHero;
    hero.position = {-187.5f, 0.0f, -187.5f};
    stage.heroes[0] = &hero;
    stage.heroCount = 1;
    if (!LoadPlacedModels(&stage) || CreatePlacedActors(&stage) != count) {
        state.SkipWithError("the placed monsters could not be made");
    } else {
        LinkActor(&stage, &hero);
        ActorFrame frame = MakeActorFrame(&stage, nullptr);
        frame.camera = {-175.0f, 60.0f, -175.0f};
        for (auto _ : state) {
            RunActorPass(&stage, 1.0f / 60.0f, frame);
        }
        state.SetItemsProcessed(state.iterations() * count);
    }
    stage.heroes[0] = nullptr;
    stage.heroCount = 0;
    sample.Release();
    ReplaceAiTypeUpdate(1000, previous);
}
BENCHMARK(BM_ActorPass)->Arg(1)->Arg(100)->Arg(300);

}  // namespace

BENCHMARK_MAIN();
