// The water events on the real modules built small: the sample water model
// (TWATER.XDT, its corners, node animation and .ANM), the stage's chain of
// water models, the particle manager with stage 7's spray, the node
// animation player and the clump animation manager; the heroes, messages,
// sounds and the camera's view are the fake stage's.
#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "event/event_objects.h"
#include "event_test_support.h"
#include "fx/node_anim_player.h"
#include "fx/particle_manager.h"
#include "fx/xdt_model_chain.h"
#include "stage/clump_anim_manager.h"
#include "tests/stage/stage_test_support.h"

namespace water_event_test {

namespace {

using event_test::FakeActor;
using event_test::FakeStage;
using event_test::MakeManager;
using event_test::PostedMessage;
using event_test::RunFrame;
using event_test::StageLinks;
using event_test::TakePosted;

constexpr float kDt = 1.0f / 60.0f;
constexpr int32_t kWaterStage = 2070000;

// The modules the links hand out.
struct WaterModules {
    CSParticleManager particles;
    CSNodeAnimPlayer nodes;
    CSClumpAnimManager animations;
    CSXdtModelChain chain;
};
WaterModules *g_modules = nullptr;

EventTableEntry WaterEntry(int32_t id, int32_t param)
{
    EventTableEntry e = event_test::SquareEntry(id, 30.0f);
    for (RwV3d &corner : e.corners) {
        corner.z += 30.0f;
    }
    e.position = {0.0f, 0.0f, 30.0f};
    e.param = param;
    e.maxOccur = 1000;
    e.label = "TWATER";
    return e;
}

class WaterEvent : public apptest::GameEngineTest {
protected:
    void SetUp() override
    {
        StartIn(stagetest::SamplePath(""));
        modules = std::make_unique<WaterModules>();
        g_modules = modules.get();
        ASSERT_TRUE(modules->particles.LoadSet("\\RESOURCE\\PARTICLE\\2070000.PSS", "\\RESOURCE\\PARTICLE", true))
            << "no sample data: build the sample-data target";
        hero.aiType = 0;
        hero.position = {0.0f, 0.0f, -100.0f};
        stage.heroes.push_back(&hero);
        links = std::make_unique<StageLinks>(&stage);
        g_eventLinks.particles = [] { return &g_modules->particles; };
        g_eventLinks.nodeAnims = [] { return &g_modules->nodes; };
        g_eventLinks.eventAnims = [] { return &g_modules->animations; };
        g_eventLinks.waterModels = [] { return &g_modules->chain; };
    }
    void TearDown() override
    {
        if (manager != nullptr) {
            manager->Release();
            manager.reset();
        }
        links.reset();
        modules->chain.Release();
        modules->animations.Release();
        modules->particles.ReleaseAll();
        modules.reset();
        g_modules = nullptr;
        GameEngineTest::TearDown();
    }
    CSWaterEvent *Load(std::vector<EventTableEntry> entries)
    {
        manager = MakeManager(entries);
        manager->LoadStageEvents(kWaterStage, 1);
        return static_cast<CSWaterEvent *>(manager->Records()[0]);
    }
    // Frames until the water's condition holds (at most `most`): the frames run.
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i) {
            RunFrame(*manager, stage, kDt);
        }
    }

    std::unique_ptr<WaterModules> modules;
    FakeStage stage;
    FakeActor hero;
    std::unique_ptr<StageLinks> links;
    std::unique_ptr<CSEventManager> manager;
};

TEST_F(WaterEvent, BothParamFormsAndTheModelWithItsCorners)
{
    CSWaterEvent *water = Load({WaterEntry(79073100, 35040), WaterEntry(79073200, 500)});
    EXPECT_FLOAT_EQ(water->Interval, 3.5f);
    EXPECT_EQ(water->Damage, 40);
    auto *plain = static_cast<CSWaterEvent *>(manager->Records()[1]);
    EXPECT_FLOAT_EQ(plain->Interval, 10.0f);
    EXPECT_EQ(plain->Damage, 10);
    EXPECT_STREQ(water->AnimationName, "TWATER.ANM");
    ASSERT_NE(water->Water, nullptr);
    ASSERT_NE(water->Water->clump, nullptr);
    EXPECT_EQ(water->AnimationLoaded, 1);
    for (int i = 0; i < kWaterCorners; ++i) {
        EXPECT_NE(water->Water->corners.frames[i], nullptr) << "corner " << i;
    }
    EXPECT_NEAR(water->Water->corners.matrices[0].pos.x, -28.0f, 0.01f);
    EXPECT_NEAR(water->Water->corners.matrices[2].pos.z, 58.0f, 0.01f);
    EXPECT_GT(water->Water->radius, 40.0f);
    EXPECT_EQ(water->Clock, 100.0f);
    EXPECT_EQ(modules->chain.Count(), 2) << "the first loaded, the second its copy";
}

TEST_F(WaterEvent, TheFirstSurgeOnTheFirstStepAndItsWindow)
{
    CSWaterEvent *water = Load({WaterEntry(79073100, 35040)});
    std::vector<int> holds;
    for (int frame = 0; frame < 200; ++frame) {
        const uint8_t verdict = water->CheckCondition(kDt);
        if (frame == 0) {
            EXPECT_EQ(water->Water->active, 1) << "the clock starts at 100: the first surge on the first step";
            EXPECT_EQ(water->Risen, 1u);
        }
        if (verdict != 0) {
            holds.push_back(frame);
            EXPECT_GT(water->WaterTime, 1.0f / 6.0f);
            EXPECT_LT(water->WaterTime, 13.0f / 6.0f);
        }
    }
    ASSERT_FALSE(holds.empty());
    EXPECT_NEAR(holds.front(), 10, 1) << "from 1/6 s";
    EXPECT_NEAR(holds.back(), 129, 1) << "to 13/6 s";
    EXPECT_EQ(static_cast<int>(holds.size()), holds.back() - holds.front() + 1) << "one stretch";
    for (CSParticleSystem *spray : water->Water->systems) {
        ASSERT_NE(spray, nullptr);
        EXPECT_TRUE(spray->IsEmitting());
    }
}

TEST_F(WaterEvent, HurtsAtMostOncePerHalfSecondBelowEightThirds)
{
    Load({WaterEntry(79073100, 35040)});
    hero.position = {0.0f, 0.0f, 30.0f};
    std::vector<int> hurts;
    for (int frame = 0; frame < 60 * 8; ++frame) {
        RunFrame(*manager, stage, kDt);
        for (const PostedMessage &m : TakePosted(stage)) {
            EXPECT_EQ(m.kind, 2);
            EXPECT_EQ(m.word[1], 131104);
            EXPECT_EQ(m.word[2], 40);
            hurts.push_back(frame);
        }
    }
    ASSERT_GE(hurts.size(), 6u);
    for (size_t i = 1; i < hurts.size(); ++i) {
        EXPECT_GE(hurts[i] - hurts[i - 1], 30) << "at most once per 0.5 s";
    }
    // Per surge (3.5 s apart): the hurts fall between 1/6 s and 13/6 s.
    for (int hurt : hurts) {
        const float into = static_cast<float>(hurt % 210) * kDt;
        EXPECT_GT(into, 1.0f / 6.0f - 2.0f * kDt) << hurt;
        EXPECT_LT(into, 8.0f / 3.0f) << hurt;
    }
}

TEST_F(WaterEvent, OutOfViewTheSprayGoesAndTheWaterRestsOneSoundPerSurge)
{
    CSWaterEvent *water = Load({WaterEntry(79073100, 35040)});
    Frames(60);
    ASSERT_EQ(water->Water->active, 1);
    stage.inView = false;
    RunFrame(*manager, stage, kDt);
    EXPECT_EQ(water->Water->active, 0);
    EXPECT_EQ(water->Water->model->TimeMs(), 0.0f);
    for (CSParticleSystem *spray : water->Water->systems) {
        EXPECT_TRUE(spray == nullptr || !spray->IsEmitting()) << "the spray given back";
    }
    stage.sounds.clear();
    Frames(60 * 8);
    EXPECT_TRUE(stage.sounds.empty()) << "no surge is heard out of view";
    stage.inView = true;
    // Three surges: the sound once at each rise.
    stage.sounds.clear();
    int rises = 0;
    uint8_t active = water->Water->active;
    for (int frame = 0; frame < 60 * 10; ++frame) {
        RunFrame(*manager, stage, kDt);
        rises += water->Water->active != 0 && active == 0 ? 1 : 0;
        active = water->Water->active;
    }
    EXPECT_GE(rises, 2);
    EXPECT_EQ(static_cast<int>(std::count(stage.sounds.begin(), stage.sounds.end(), 6500020)), rises)
        << "one sound per surge, though the step runs twice a frame";
}

TEST_F(WaterEvent, TwoWatersChainFreedByTheStageRelease)
{
    Load({WaterEntry(79073100, 35040), WaterEntry(79073200, 35040)});
    Frames(30);
    ASSERT_EQ(modules->chain.Count(), 2);
    auto *first = static_cast<CSWaterEvent *>(manager->Records()[0]);
    auto *second = static_cast<CSWaterEvent *>(manager->Records()[1]);
    EXPECT_NE(first->Water->clump, second->Water->clump);
    EXPECT_EQ(modules->nodes.ClumpCount(), 2);
    manager->ReleaseStageEvents();
    EXPECT_EQ(modules->chain.Count(), 0) << "each water freed its own";
    EXPECT_EQ(modules->nodes.ClumpCount(), 0);
    EXPECT_EQ(first->Water, nullptr);
    EXPECT_EQ(modules->particles.SystemsOut(), 0);
    // Loaded again, the chain starts over; what is left the stage frees.
    manager->LoadStageEvents(kWaterStage, 1);
    EXPECT_EQ(modules->chain.Count(), 2);
    modules->chain.Release();
    EXPECT_EQ(modules->chain.Count(), 0);
    manager->ReleaseStageEvents();  // the models are gone already: nothing freed twice
}

}  // namespace

}  // namespace water_event_test
