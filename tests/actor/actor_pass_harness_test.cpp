// The actor pass on the sample's first stage for 600 ticks: its world, its
// placement (the monster of type 1000, driven here by a recording type that
// walks a small square around its home on full-detail frames), a second
// monster placed outside the yard's east wall, and a hero moved by the
// script, under a camera that stands in the yard except for a stretch high
// above it. The trace is read back and checked: a line per actor and hero
// each tick, the sensing bits against where the hero stands and whether
// the wall hides the outside monster, the thinning cadence of each band
// with its handed-over time, and moves only on acting frames.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "actor/actor_pass.h"
#include "actor/actor_placement.h"
#include "actor/ai_type_table.h"
#include "actor/hero.h"
#include "app/trace.h"
#include "support/engine/scratch_path.h"
#include "support/game/sample_stage.h"
#include "support/game/trace_reader.h"
#include "tests/stage/stage_test_support.h"

namespace actor_pass_harness_test {

namespace {

constexpr float kDt = 0.016f;
constexpr uint32_t kTicks = 600;

struct Step {
    int32_t actor;
    uint32_t tick;
    float dt;
    bool fullDetail;
};
std::vector<Step> g_steps;

// The recording type: reads its messages, notes the frame, and on
// full-detail frames walks toward the next corner of a square around home.
void WalkTheSquare(AiObject *actor, float dt)
{
    while (MSGData *m = actor->PopMessage()) {
        FreeMessage(m);
    }
    g_steps.push_back({actor->aiId, game::TraceTick(), dt, actor->fullDetailFrame});
    if (!actor->active || !actor->fullDetailFrame) {
        return;
    }
    const float corners[4][2] = {{10.0f, 0.0f}, {10.0f, 10.0f}, {0.0f, 10.0f}, {0.0f, 0.0f}};
    const RwV3d goal = {actor->home.x + corners[actor->state][0], 0.0f, actor->home.z + corners[actor->state][1]};
    const RwV3d &at = *actor->GetPositionPtr();
    if (std::hypot(goal.x - at.x, goal.z - at.z) < 0.5f) {
        actor->state = (actor->state + 1) % 4;
    }
    actor->MoveToward(0.0f, goal, 10.0f * dt, true, true);
    actor->accumulatedTime = 0.0f;
}

// Where the script puts the hero (the monster stands at 30, 0, 30): near
// it and in its territory, then beyond the last thinning band (past the
// yard's corner: the script only sets the position), then at a middle
// distance outside the territory.
RwV3d HeroAt(uint32_t tick)
{
    if (tick < 200) {
        return {30.0f, 0.0f, 10.0f};
    }
    return tick < 400 ? RwV3d{-280.0f, 0.0f, -280.0f} : RwV3d{-150.0f, 0.0f, 10.0f};
}

// In the yard, except high above it (seeing over the walls) for ticks 250..349.
bool CameraHigh(uint32_t tick) { return tick >= 250 && tick < 350; }
RwV3d CameraAt(uint32_t tick)
{
    return CameraHigh(tick) ? RwV3d{0.0f, 300.0f, 0.0f} : RwV3d{0.0f, 20.0f, 0.0f};
}

class ActorPassHarness : public stagetest::StageEngineTest {
protected:
    void SetUp() override
    {
        StageEngineTest::SetUp();
        g_steps.clear();
        previous = ReplaceAiTypeUpdate(1000, WalkTheSquare);
        ASSERT_TRUE(sample.Load(false));
        sample.stage.placements.resize(1);  // the monster alone
        AiPlacement outside = sample.stage.placements.at(0);
        outside.aiId = 2;
        outside.position = {240.0f, 0.0f, 30.0f};
        outside.territory = 0;
        sample.stage.placements.push_back(outside);
        ASSERT_TRUE(LoadPlacedModels(&sample.stage));
        ASSERT_EQ(CreatePlacedActors(&sample.stage), 2);
        hero.aiType = 0;
        hero.side = kSideHero;
        hero.aiId = 9;
        hero.hp = 2000;
        sample.stage.heroes[0] = &hero;
        sample.stage.heroCount = 1;
        LinkActor(&sample.stage, &hero);
        tracePath = rwtest::ScratchPath("actor_pass_harness.txt");
    }
    void TearDown() override
    {
        game::TraceClose();
        std::remove(tracePath.c_str());
        sample.stage.heroes[0] = nullptr;
        sample.stage.heroCount = 0;
        sample.Release();
        ReplaceAiTypeUpdate(1000, previous);
        StageEngineTest::TearDown();
    }

    gametest::SampleStage sample;
    CSHero hero;
    AiUpdateFn previous = nullptr;
    std::string tracePath;
};

TEST_F(ActorPassHarness, SixHundredTicksOfTheSampleStage)
{
    ASSERT_TRUE(game::TraceOpen(tracePath, nullptr));
    for (uint32_t tick = 1; tick <= kTicks; ++tick) {
        game::TraceSetTick(tick);
        hero.position = HeroAt(tick);
        ActorFrame frame = MakeActorFrame(&sample.stage, nullptr);
        frame.camera = CameraAt(tick);
        RunActorPass(&sample.stage, kDt, frame);
    }
    game::TraceClose();
    const std::vector<gametest::TraceRecord> records = gametest::ReadTrace(tracePath);

    // Every tick: the monster and the hero after the pass, the hero's
    // figures, and the monster's sensing message.
    std::map<uint32_t, const gametest::TraceRecord *> monsterAt;
    std::map<uint32_t, const gametest::TraceRecord *> sensingAt;
    std::map<uint32_t, const gametest::TraceRecord *> outsideSensingAt;
    std::map<uint32_t, int> heroLines;
    std::map<uint32_t, int> heroFigures;
    for (const gametest::TraceRecord &r : records) {
        if (r.kind == "actor" && r.Int(0) == 2) {
            continue;
        }
        if (r.kind == "actor" && r.Int(0) == 1) {
            EXPECT_EQ(r.Int(1), 1000);
            EXPECT_EQ(monsterAt.count(r.tick), 0u) << r.tick;
            monsterAt[r.tick] = &r;
        } else if (r.kind == "actor" && r.Int(0) == 9) {
            heroLines[r.tick] += 1;
        } else if (r.kind == "hero") {
            EXPECT_EQ(r.Int(0), 9);
            EXPECT_EQ(r.Int(5), 2000);
            heroFigures[r.tick] += 1;
        } else if (r.kind == "msg") {
            EXPECT_EQ(r.Int(0), kMsgSensing);
            EXPECT_EQ(r.Int(1), -1);
            (r.Int(2) == 1 ? sensingAt : outsideSensingAt)[r.tick] = &r;
        }
    }
    ASSERT_EQ(monsterAt.size(), kTicks);
    ASSERT_EQ(sensingAt.size(), kTicks);
    ASSERT_EQ(outsideSensingAt.size(), kTicks);
    EXPECT_EQ(heroLines.size(), kTicks);
    EXPECT_EQ(heroFigures.size(), kTicks);

    // Sensing: near, in the territory and the alarm circle but outside the
    // attack range; then too far; then close but outside the territory.
    // The monster in the yard is always in view; the wall hides the one
    // outside except from high above.
    for (uint32_t tick = 1; tick <= kTicks; ++tick) {
        const int64_t bits = sensingAt[tick]->Int(3);
        const int64_t heroBits = bits & (kSenseNear | kSenseAttack | kSenseAlarm);
        if (tick < 200) {
            EXPECT_EQ(heroBits, kSenseNear | kSenseAlarm) << tick;
        } else {
            EXPECT_EQ(heroBits, 0) << tick;
        }
        EXPECT_NE(bits & kSenseInView, 0) << tick;
        EXPECT_EQ((outsideSensingAt[tick]->Int(3) & kSenseInView) != 0, CameraHigh(tick)) << tick;
    }

    // Thinning, by the distance from the hero (the focus) to the monster:
    // full band first (from tick 2: before the first sensing the monster is
    // not in view, so tick 1 is thinned), then far (70 thinned frames before
    // each full one), then near (8).
    std::vector<Step> steps;
    for (const Step &s : g_steps) {
        if (s.actor == 1) {
            steps.push_back(s);
        }
    }
    ASSERT_EQ(steps.size(), kTicks);
    std::vector<uint32_t> full;
    for (const Step &s : steps) {
        if (s.fullDetail) {
            full.push_back(s.tick);
        }
    }
    std::vector<uint32_t> expected;
    for (uint32_t t = 2; t < 200; ++t) {
        expected.push_back(t);
    }
    expected.push_back(270);
    expected.push_back(341);
    for (uint32_t t = 400; t <= kTicks; t += 9) {
        expected.push_back(t);
    }
    EXPECT_EQ(full, expected);
    EXPECT_NEAR(steps[269].dt, 70 * kDt, 1e-4f);  // tick 270: the far band's gathered time
    EXPECT_NEAR(steps[399].dt, 58 * kDt, 1e-4f);  // tick 400: what gathered since tick 341
    EXPECT_NEAR(steps[408].dt, 8 * kDt, 1e-4f);   // tick 409

    // The monster moves only on its acting frames, and stays in the yard.
    for (uint32_t tick = 2; tick <= kTicks; ++tick) {
        const gametest::TraceRecord &now = *monsterAt[tick];
        const gametest::TraceRecord &before = *monsterAt[tick - 1];
        const bool moved = now.fields[4] != before.fields[4] || now.fields[6] != before.fields[6];
        if (moved) {
            EXPECT_TRUE(steps[tick - 1].fullDetail) << tick;
        }
        EXPECT_LT(std::fabs(now.Real(4)), 200.0);
        EXPECT_LT(std::fabs(now.Real(6)), 200.0);
        EXPECT_NEAR(now.Real(5), 0.0, 0.01);
    }
    EXPECT_NE(monsterAt[1]->fields[4] + monsterAt[1]->fields[6], monsterAt[kTicks]->fields[4] + monsterAt[kTicks]->fields[6]);
}

}  // namespace

}  // namespace actor_pass_harness_test
