// One actor pass on the sample arena (stage 2) with 200 actors spread over
// the yard, their real behaviours (think, act and set-state with the
// sensing, the state machines, the character moves and the animation
// steps) around a hero who stands in the middle: some fight it, some
// chase, some idle, the far ones thinned. Once with the template-D
// monsters of the six first types, once with the other monsters, the
// non-player characters and the breakable objects.
#include <benchmark/benchmark.h>

#include <cmath>
#include <span>

#include "actor/actor_pass.h"
#include "actor/actor_placement.h"
#include "actor/hero.h"
#include "bench/bench_engine.h"
#include "support/game/sample_stage.h"
#include "tests/stage/stage_test_support.h"

namespace {

constexpr int32_t kTemplateD[] = {1000, 1002, 1003, 1004, 1005, 1007};
constexpr int32_t kOthers[] = {1006, 1021, 10, 100, 107, 10008, 10012, 10026};
constexpr int32_t kSecondStageId = 2020000;

void RunActorPassOf(benchmark::State &state, std::span<const int32_t> types)
{
    bench::EngineUp engine(1 << 22);
    gametest::SampleStage sample;
    if (!engine.ok || !sample.Load(false, kSecondStageId)) {
        state.SkipWithError("no engine or no arena (build the sample data first)");
        return;
    }
    CSStageManager &stage = sample.stage;
    stage.placements.clear();
    const int count = static_cast<int>(state.range(0));
    const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
    for (int i = 0; i < count; ++i) {
        AiPlacement p;
        p.aiType = types[static_cast<size_t>(i) % types.size()];
        p.aiId = 100 + i;
        p.isRender = 1;
        const float step = 360.0f / static_cast<float>(side);
        p.position = {-180.0f + step * (0.5f + static_cast<float>(i % side)), 0.0f,
                      -180.0f + step * (0.5f + static_cast<float>(i / side))};
        p.lookAt = {0.0f, 0.0f, -1.0f};
        stage.placements.push_back(p);
    }
    CSModelTemplate heroTemplate;
    CSHero hero;
    hero.aiType = 0;
    hero.side = kSideHero;
    hero.hp = 1 << 30;
    hero.active = true;
    hero.hurtable = true;
    if (!heroTemplate.Load(0, ModelFolder::kMainChar, "HERO01", stage.actorAnimations.get(), 1) ||
        !LoadPlacedModels(&stage) || CreatePlacedActors(&stage) != count) {
        state.SkipWithError("the placed actors could not be made");
    } else {
        hero.modelTemplate = &heroTemplate;
        hero.SetModelInstance(heroTemplate.TakeInstance(&hero));
        stage.heroes[0] = &hero;
        stage.heroCount = 1;
        LinkActor(&stage, &hero);
        ActorFrame frame = MakeActorFrame(&stage, nullptr);
        frame.camera = {0.0f, 150.0f, -150.0f};
        for (int warm = 0; warm < 60; ++warm) {
            RunActorPass(&stage, 1.0f / 60.0f, frame);
        }
        for (auto _ : state) {
            RunActorPass(&stage, 1.0f / 60.0f, frame);
            while (MSGData *m = hero.PopMessage()) {
                FreeMessage(m);
            }
        }
        state.SetItemsProcessed(state.iterations() * count);
    }
    hero.SetModelInstance(nullptr);
    heroTemplate.Release();
    stage.heroes[0] = nullptr;
    stage.heroCount = 0;
    sample.Release();
}
void BM_TemplateDMonsters(benchmark::State &state) { RunActorPassOf(state, kTemplateD); }
void BM_CharactersAndBreakables(benchmark::State &state) { RunActorPassOf(state, kOthers); }
BENCHMARK(BM_TemplateDMonsters)->Arg(200);
BENCHMARK(BM_CharactersAndBreakables)->Arg(200);

}  // namespace

BENCHMARK_MAIN();
