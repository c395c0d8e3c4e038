// The hero's weapon against the stage's actors: one strike of the first
// hero's first attack (its weapon parts picked against every actor of the
// chain) with 1, 100 and 300 monsters standing round it within reach on the
// sample's first stage, and one hero step walking under the pad.
#include <benchmark/benchmark.h>

#include <cmath>

#include "actor/actor_placement.h"
#include "actor/hero.h"
#include "actor/item_stage.h"
#include "app/game_system.h"
#include "bench/bench_engine.h"
#include "support/game/sample_stage.h"

namespace {

struct HeroStage {
    explicit HeroStage(int count)
    {
        if (!engine.ok || !sample.Load(false)) {
            return;
        }
        previous = g_pGameSystem;
        g_pGameSystem = &system;
        CSStageManager &stage = sample.stage;
        const AiPlacement base = stage.placements.at(0);
        stage.placements.clear();
        for (int i = 0; i < count; ++i) {
            AiPlacement p = base;
            p.aiId = 100 + i;
            p.territory = 0;
            const float angle = 6.2831853f * static_cast<float>(i) / static_cast<float>(count);
            p.position = {10.0f * std::sin(angle), 0.0f, 10.0f * std::cos(angle)};
            stage.placements.push_back(p);
        }
        stage.LoadItemsPack();
        stage.LoadHeroes(0, 0, 0);
        if (!LoadPlacedModels(&stage) || CreatePlacedActors(&stage) != count || stage.heroCount != 1) {
            return;
        }
        hero = stage.heroes[0];
        hero->SetPosition({0.0f, 0.0f, 0.0f});
        LinkActor(&stage, hero);
        hero->EnterStage();
        system.padStates[kPadStateBlock][0].connected = 1;
        ok = true;
    }
    ~HeroStage()
    {
        sample.stage.UnloadHeroes();
        DestroyItemMembers(&sample.stage);
        sample.Release();
        g_pGameSystem = previous;
    }

    bench::EngineUp engine{1 << 22};
    CSGameSystem system;
    gametest::SampleStage sample;
    CSGameSystem *previous = nullptr;
    CSHero *hero = nullptr;
    bool ok = false;
};

void BM_HeroStrike(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    HeroStage s(count);
    if (!s.ok) {
        state.SkipWithError("the sample stage, its monsters or the hero could not be made (build the sample data)");
        return;
    }
    s.hero->EnterState(40);
    for (auto _ : state) {
        s.hero->hitMarkCount = 0;
        benchmark::DoNotOptimize(s.hero->StrikeWithWeapons(&s.sample.stage));
        s.sample.stage.messagePool->Clear();
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_HeroStrike)->Arg(1)->Arg(100)->Arg(300);

void BM_HeroStepWalking(benchmark::State &state)
{
    HeroStage s(1);
    if (!s.ok) {
        state.SkipWithError("the sample stage or the hero could not be made (build the sample data)");
        return;
    }
    s.system.padStates[kPadStateBlock][0].axes[0] = 1.0f;
    int frame = 0;
    for (auto _ : state) {
        // Back and forth across the yard's middle.
        s.system.padStates[kPadStateBlock][0].axes[0] = (frame++ / 120) % 2 == 0 ? 1.0f : -1.0f;
        RunHeroStep(&s.sample.stage, 1.0f / 60.0f);
    }
}
BENCHMARK(BM_HeroStepWalking);

}  // namespace

BENCHMARK_MAIN();
