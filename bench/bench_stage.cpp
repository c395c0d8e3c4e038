// The stage's per-frame costs on the sample data: advancing and posing
// 100 animated characters, and one sphere move clipped against the first
// stage's world.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "stage/anim_file.h"
#include "stage/clump_anim_manager.h"
#include "stage/world_queries.h"
#include "bench/bench_engine.h"
#include "tests/stage/stage_test_support.h"

namespace {

void BM_UpdateClump100(benchmark::State &state)
{
    bench::EngineUp engine;
    RpClump *source = engine.ok ? stagetest::ReadSampleHero() : nullptr;
    if (source == nullptr) {
        state.SkipWithError("no engine or no sample hero (build the sample data first)");
        return;
    }
    CSClumpAnimManager manager;
    RtAnimAnimation *animation = ReadAnimationFile(stagetest::SampleHeroAnimationPath().c_str());
    MotionTable motions;
    motions.motions = {{0, 60, true}, {60, 120, true}};
    manager.AddAnimation("HERO01.ANM", animation, motions);
    std::vector<RpClump *> clumps;
    for (int i = 0; i < 100; ++i) {
        RpClump *clone = RpClumpClone(source);
        manager.AssignAnimation(clone, "HERO01.ANM");
        manager.UpdateClump(clone, 0.013f * static_cast<float>(i));  // spread over the timeline
        clumps.push_back(clone);
    }
    for (auto _ : state) {
        for (RpClump *clump : clumps) {
            if (manager.GetAnimationId(clump) != 0) {
                manager.ChangeMotion(clump, 1 - manager.GetMotionIndex(clump), 0.2f);
            }
            manager.UpdateClump(clump, 1.0f / 60.0f);
        }
    }
    state.SetItemsProcessed(state.iterations() * 100);
    manager.ReleaseAll();
    for (RpClump *clump : clumps) {
        RpClumpDestroy(clump);
    }
    RpClumpDestroy(source);
}
BENCHMARK(BM_UpdateClump100);

void BM_MoveAgainstWorld(benchmark::State &state)
{
    bench::EngineUp engine;
    RpWorld *world = engine.ok ? stagetest::ReadSampleWorld() : nullptr;
    if (world == nullptr) {
        state.SkipWithError("no engine or no sample world (build the sample data first)");
        return;
    }
    std::mt19937 random(7);
    std::uniform_real_distribution<float> across(-6.0f, 6.0f);
    struct Move {
        RwV3d from;
        RwV3d by;
    };
    std::vector<Move> moves;
    for (int i = 0; i < 256; ++i) {
        moves.push_back({{across(random), 0.6f, across(random)}, {across(random), -0.2f, across(random)}});
    }
    size_t next = 0;
    for (auto _ : state) {
        const Move &m = moves[next++ & 255];
        RwV3d move = m.by;
        benchmark::DoNotOptimize(MoveAgainstWorld(world, m.from, 0.5f, &move, kMoveSlide));
        benchmark::DoNotOptimize(move);
    }
    RpWorldDestroy(world);
}
BENCHMARK(BM_MoveAgainstWorld);

}  // namespace

BENCHMARK_MAIN();
