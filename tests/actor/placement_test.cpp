// The AI placement loader on the sample stage: the placed monster with its
// values, template, state machine and model; types without an entry
// skipped with their diagnostic; event-bound actors waiting for their
// event; and the stage release that drops pending messages before it
// frees the actors, while the heroes stay and forget them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "actor/actor_placement.h"
#include "actor/ai_object.h"
#include "actor/hero.h"
#include "stage/model_template.h"
#include "support/game/sample_stage.h"
#include "tools/mkdata/event_table.h"
#include "tests/stage/stage_test_support.h"
#include "support/game/diagnostics_capture.h"
#include "tools/mkdata/sample_monsters.h"

namespace placement_test {

namespace {

class PlacementTest : public stagetest::StageEngineTest {
protected:
    void TearDown() override
    {
        sample.Release();
        StageEngineTest::TearDown();
    }
    gametest::SampleStage sample;
};

TEST_F(PlacementTest, PlacesTheSampleMonster)
{
    ASSERT_TRUE(sample.Load(true));
    CSStageManager &stage = sample.stage;
    AiObject *monster = stage.FindAiObjectById(1);
    ASSERT_NE(monster, nullptr);
    EXPECT_EQ(stage.actorHead, monster);
    EXPECT_EQ(monster->next, stage.FindAiObjectById(2));  // the placements in their order
    EXPECT_EQ(monster->aiType, 1000);
    EXPECT_EQ(monster->side, kSideMonster);
    EXPECT_EQ(monster->eventId, mkdata::kSampleMonsterEvent);
    EXPECT_EQ(monster->territory, 1);
    EXPECT_EQ(monster->isRender, 1);
    EXPECT_EQ(monster->state, 0);
    EXPECT_TRUE(monster->healthBar);
    EXPECT_FLOAT_EQ(monster->home.x, 30.0f);
    EXPECT_FLOAT_EQ(monster->home.z, 30.0f);
    ASSERT_NE(monster->modelTemplate, nullptr);
    EXPECT_EQ(monster->modelTemplate->GetModelId(), "1000");
    EXPECT_EQ(monster->hp, mkdata::SampleMonsterParams(1000).maxHP);
    EXPECT_EQ(monster->resistance, 2);
    ASSERT_NE(monster->Fsf(), nullptr);
    EXPECT_GT(monster->Fsf()->StateCount(), 0);
    EXPECT_NE(monster->Fsf()->FindState(31), nullptr);

    // Bound to its event but shown by view (IsRender): the model is taken at
    // placement, shown, where the actor stands.
    ASSERT_NE(monster->model, nullptr);
    EXPECT_EQ(monster->model->owner, monster);
    EXPECT_TRUE(monster->active);
    RwV3d at;
    monster->GetPosition(&at);
    EXPECT_FLOAT_EQ(at.x, 30.0f);
    EXPECT_FLOAT_EQ(at.z, 30.0f);
    RwV3d facing;
    monster->GetDirection(&facing);
    EXPECT_NEAR(facing.z, -1.0f, 1e-5f);
    EXPECT_EQ(stage.actorAnimations->GetMotionIndex(monster->Clump()), 0);
    EXPECT_EQ(stage.FindAiObjectById(99), nullptr);
}

TEST_F(PlacementTest, TypesWithoutAnEntryAreSkippedAndEventActorsWait)
{
    ASSERT_TRUE(sample.Load(false));
    CSStageManager &stage = sample.stage;
    stage.placements.resize(1);  // the monster alone
    AiPlacement base = stage.placements.at(0);
    const int32_t skipped[] = {4242, 1205, 0};
    for (int32_t i = 0; i < 3; ++i) {
        AiPlacement p = base;
        p.aiType = skipped[i];
        p.aiId = 50 + i;
        stage.placements.push_back(p);
    }
    AiPlacement held = base;
    held.aiId = 60;
    held.eventId = 79010100;
    held.isRender = 0;
    stage.placements.push_back(held);
    // Unbound, it is shown from placement whatever its IsRender.
    AiPlacement plain = base;
    plain.aiId = 61;
    plain.eventId = 0;
    plain.isRender = 0;
    plain.initState = 1;  // starts walking
    stage.placements.push_back(plain);
    ASSERT_TRUE(LoadPlacedModels(&stage));
    gametest::CaptureDiagnostics();
    EXPECT_EQ(CreatePlacedActors(&stage), 3);
    const std::string said = gametest::TakeDiagnostics();
    for (int32_t id : {50, 51, 52}) {
        EXPECT_NE(said.find("The 'AIType' of AIID " + std::to_string(id) + " hasn't found"), std::string::npos)
            << said;
        EXPECT_EQ(stage.FindAiObjectById(id), nullptr);
    }
    // What was never made is nothing to free.
    AiObject *none = CreateActor(4242, 62);
    EXPECT_EQ(none, nullptr);
    DestroyActor(none);
    AiObject *shown = stage.FindAiObjectById(61);
    ASSERT_NE(shown, nullptr);
    EXPECT_NE(shown->model, nullptr);
    EXPECT_TRUE(shown->active);
    // In its initial state's motion from that motion's first frame, not the
    // timeline's.
    const MotionRange *walk = shown->modelTemplate->GetMotionRange(1);
    ASSERT_NE(walk, nullptr);
    ASSERT_GT(walk->startFrame, 0);
    EXPECT_EQ(shown->state, 1);
    EXPECT_FLOAT_EQ(shown->animClock, static_cast<float>(walk->startFrame) / 60.0f);
    EXPECT_EQ(stage.actorAnimations->GetMotionIndex(shown->Clump()), 1);
    AiObject *waiting = stage.FindAiObjectById(60);
    ASSERT_NE(waiting, nullptr);
    EXPECT_EQ(waiting->model, nullptr);
    EXPECT_FALSE(waiting->active);
    EXPECT_EQ(waiting->eventId, 79010100);
    // The event's show code later finds a free instance of its template:
    // it holds one for each placed actor that wears it, and no more.
    EXPECT_EQ(waiting->modelTemplate->GetInstanceCount(), 3);  // the monster, 60 and 61
    CSModelInstance *instance = stage.TakeModelInstance(1000, waiting);
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(instance->modelTemplate, waiting->modelTemplate);
    waiting->SetModelInstance(instance);
    EXPECT_EQ(waiting->model, instance);
}

// A placement's look-at and up are taken as directions whatever their
// length, a zero one as the world's forward or up; only monsters (types
// 1000 to 9999) show a health bar, a breakable thing none.
TEST_F(PlacementTest, FacingIsTakenAsADirectionAndOnlyMonstersShowAHealthBar)
{
    ASSERT_TRUE(sample.Load(false));
    CSStageManager &stage = sample.stage;
    AiPlacement placement = stage.placements.at(0);
    placement.eventId = 0;
    placement.lookAt = {2.0f, -1.0f, -2.0f};
    placement.up = {0.0f, 2.0f, 0.0f};
    AiObject *monster = CreateActor(1000, 70);
    ASSERT_NE(monster, nullptr);
    ApplyPlacement(&stage, monster, placement);
    LinkActor(&stage, monster);
    EXPECT_NEAR(monster->at.x, 2.0f / 3.0f, 1e-6f);
    EXPECT_NEAR(monster->at.y, -1.0f / 3.0f, 1e-6f);
    EXPECT_NEAR(monster->at.z, -2.0f / 3.0f, 1e-6f);
    EXPECT_NEAR(monster->up.x, 0.0f, 1e-6f);
    EXPECT_NEAR(monster->up.y, 1.0f, 1e-6f);
    EXPECT_NEAR(monster->up.z, 0.0f, 1e-6f);
    EXPECT_TRUE(monster->healthBar);

    placement.lookAt = {0.0f, 0.0f, 0.0f};
    placement.up = {0.0f, 0.0f, 0.0f};
    placement.aiType = 10000;
    AiObject *breakable = CreateActor(10000, 71);
    ASSERT_NE(breakable, nullptr);
    ApplyPlacement(&stage, breakable, placement);
    LinkActor(&stage, breakable);
    EXPECT_FLOAT_EQ(breakable->at.x, 0.0f);
    EXPECT_FLOAT_EQ(breakable->at.z, 1.0f);
    EXPECT_FLOAT_EQ(breakable->up.y, 1.0f);
    EXPECT_FLOAT_EQ(breakable->up.z, 0.0f);
    EXPECT_FALSE(breakable->healthBar);
    EXPECT_EQ(breakable->aiType, 10000);
    EXPECT_EQ(breakable->aiId, placement.aiId);
}

TEST_F(PlacementTest, ReleaseDropsMessagesBeforeFreeingAndHeroesForget)
{
    ASSERT_TRUE(sample.Load(true));
    CSStageManager &stage = sample.stage;
    CSHero hero;
    hero.aiType = 0;
    hero.aiId = 7;
    stage.heroes[0] = &hero;
    stage.heroCount = 1;
    AiObject *monster = stage.actorHead;
    LinkActor(&stage, &hero);
    // Messages both ways are pending, the hero remembers the monster.
    sample.pool.Post(kMsgHitActor, &hero, monster, 0, 1, 10);
    sample.pool.Post(kMsgHitHero, monster, &hero, 0, 1, 10);
    hero.target = monster;
    hero.lastAttacker = monster;
    hero.AddTouchedObject(0, monster);
    hero.ReceiveMessage(MSGData{1, kMsgHitHero, monster, &hero, {0, 1, 3}});

    ReleasePlacedActors(&stage);
    EXPECT_EQ(sample.pool.PendingCount(), 0);
    EXPECT_EQ(stage.actorHead, &hero);
    EXPECT_EQ(hero.next, nullptr);
    EXPECT_EQ(hero.target, nullptr);
    EXPECT_EQ(hero.lastAttacker, nullptr);
    EXPECT_EQ(hero.PopTouchedObject(), nullptr);
    EXPECT_EQ(hero.msgCount, 0);
    // A delivery after the release names no freed actor (the sanitizers
    // would see it).
    sample.pool.Deliver(0);
    EXPECT_EQ(hero.msgCount, 0);
    stage.actorHead = nullptr;
    stage.heroCount = 0;
    stage.heroes[0] = nullptr;
}

}  // namespace

}  // namespace placement_test
