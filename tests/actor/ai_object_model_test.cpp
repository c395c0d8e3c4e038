// AiObject on a real model of the sample stage: attaching and giving back
// the model, position and orientation with and without a model, the shake,
// the animation clock with its speed modes and end, HP and power limits,
// removal, and the event operations.
#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <vector>

#include "actor/ai_object.h"
#include "actor/sensing.h"
#include "app/game_rand.h"
#include "fx/mat_anim_manager.h"
#include "stage/model_template.h"
#include "support/game/sample_stage.h"
#include "tests/stage/stage_test_support.h"
#include "tools/mkdata/sample_monsters.h"

namespace ai_object_model_test {

namespace {

bool Shown(RpClump *clump)
{
    bool shown = false;
    RpClumpForAllAtomics(
        clump,
        [](RpAtomic *atomic, void *data) -> RpAtomic * {
            *static_cast<bool *>(data) = (RpAtomicGetFlags(atomic) & rpATOMICRENDER) != 0;
            return atomic;
        },
        &shown);
    return shown;
}

class AiObjectModelTest : public stagetest::StageEngineTest {
protected:
    void SetUp() override
    {
        StageEngineTest::SetUp();
        ASSERT_TRUE(sample.Load(true));
        monster = sample.stage.FindAiObjectById(1);
        ASSERT_NE(monster, nullptr);
        ASSERT_NE(monster->model, nullptr);
    }
    void TearDown() override
    {
        sample.Release();
        StageEngineTest::TearDown();
    }
    gametest::SampleStage sample;
    AiObject *monster = nullptr;
};

TEST_F(AiObjectModelTest, ModelComesAndGoesWithTheActorsPlace)
{
    CSModelInstance *instance = monster->model;
    RpClump *clump = instance->clump;
    EXPECT_TRUE(Shown(clump));
    monster->SetModelInstance(nullptr);
    EXPECT_EQ(monster->model, nullptr);
    EXPECT_FALSE(instance->inUse);
    EXPECT_EQ(instance->owner, nullptr);
    EXPECT_FALSE(Shown(clump));

    // Without a model only the cache moves and turns.
    monster->SetPosition({1.0f, 0.0f, -2.0f});
    monster->SetDirection({1.0f, 0.0f, 0.0f});
    monster->Rotate({0.0f, 1.0f, 0.0f}, 90.0f);
    RwV3d facing;
    monster->GetDirection(&facing);
    EXPECT_NEAR(std::fabs(facing.z), 1.0f, 1e-5f);

    CSModelInstance *again = sample.stage.TakeModelInstance(1000, monster);
    ASSERT_NE(again, nullptr);
    monster->SetModelInstance(again);
    EXPECT_TRUE(Shown(again->clump));
    const RwMatrix *m = RwFrameGetMatrix(RpClumpGetFrame(again->clump));
    EXPECT_FLOAT_EQ(m->pos.x, 1.0f);
    EXPECT_FLOAT_EQ(m->pos.z, -2.0f);
    EXPECT_NEAR(m->at.z, facing.z, 1e-5f);
    EXPECT_NEAR(m->up.y, 1.0f, 1e-5f);
}

// Given the model it already wears, an actor keeps it as it is: shown, and
// its material animation (a tint, a fade) running on.
TEST_F(AiObjectModelTest, TheModelItWearsGivenAgainChangesNothing)
{
    ASSERT_EQ(g_pStageManager, &sample.stage);
    CSMatAnimManager anims;
    ASSERT_NE(anims.Start(monster, 0, 1, 2.0f, 1), nullptr);
    sample.stage.matAnimManager = &anims;  // for this test only: no fatal check below
    CSModelInstance *instance = monster->model;
    monster->SetModelInstance(instance);
    EXPECT_EQ(monster->model, instance);
    EXPECT_EQ(instance->owner, monster);
    EXPECT_TRUE(instance->inUse);
    EXPECT_TRUE(Shown(instance->clump));
    EXPECT_NE(anims.Find(monster), nullptr);
    sample.stage.matAnimManager = nullptr;
}

TEST_F(AiObjectModelTest, PositionAndTurnsFollowTheFrame)
{
    RwFrame *frame = RpClumpGetFrame(monster->Clump());
    RwFrameGetMatrix(frame)->pos = {2.0f, 0.5f, 1.0f};
    RwV3d at;
    monster->GetPosition(&at);  // refreshed from the frame
    EXPECT_FLOAT_EQ(at.x, 2.0f);
    EXPECT_FLOAT_EQ(monster->GetPositionPtr()->y, 0.5f);
    monster->SetDirection({0.0f, 0.0f, 1.0f});
    monster->Rotate({0.0f, 1.0f, 0.0f}, 90.0f);
    RwV3d facing;
    monster->GetDirection(&facing);
    EXPECT_NEAR(std::fabs(facing.x), 1.0f, 1e-5f);
    EXPECT_NEAR(facing.z, 0.0f, 1e-5f);
    monster->GetPosition(&at);
    EXPECT_FLOAT_EQ(at.x, 2.0f);  // the turn keeps the place
    monster->SetDirection({0.0f, 1.0f, 0.0f});  // along the up axis: refused
    monster->GetDirection(&facing);
    EXPECT_NEAR(std::fabs(facing.x), 1.0f, 1e-5f);
    monster->position = {};
    monster->SyncFrameAxes();
    EXPECT_FLOAT_EQ(monster->position.x, 2.0f);
    // A zero axis turns nothing, with a model or without.
    for (int withModel = 1; withModel >= 0; --withModel) {
        if (withModel == 0) {
            monster->SetModelInstance(nullptr);
        }
        monster->SetDirection({0.0f, 0.0f, -1.0f});
        monster->Rotate({0.0f, 0.0f, 0.0f}, 90.0f);
        monster->GetDirection(&facing);
        EXPECT_FLOAT_EQ(facing.x, 0.0f) << withModel;
        EXPECT_FLOAT_EQ(facing.z, -1.0f) << withModel;
        EXPECT_FLOAT_EQ(monster->up.y, 1.0f) << withModel;
    }
}

TEST_F(AiObjectModelTest, ShakeJoltsAroundTheAnchorOnAlternateCalls)
{
    monster->shakeAnchor = {1.0f, 0.0f, 1.0f};
    game::Srand(5);
    const RwMatrix *m = RwFrameGetMatrix(RpClumpGetFrame(monster->Clump()));
    for (int i = 0; i < 6; ++i) {
        monster->Shake(100.0f);
        if (i % 2 == 0) {
            // Up to 99 hundredths along each axis, never back from the anchor.
            EXPECT_GE(m->pos.x, 1.0f);
            EXPECT_LE(m->pos.x, 1.99f);
            EXPECT_GE(m->pos.y, 0.0f);
            EXPECT_LE(m->pos.y, 0.99f);
            EXPECT_GE(m->pos.z, 1.0f);
            EXPECT_LE(m->pos.z, 1.99f);
        } else {
            EXPECT_FLOAT_EQ(m->pos.x, 1.0f);
            EXPECT_FLOAT_EQ(m->pos.y, 0.0f);
            EXPECT_FLOAT_EQ(m->pos.z, 1.0f);
        }
    }
    // Over many jolts each axis reaches its full 99 hundredths and no more.
    float reach[3] = {0.0f, 0.0f, 0.0f};
    for (int i = 0; i < 600; ++i) {
        monster->Shake(100.0f);
        reach[0] = std::max(reach[0], m->pos.x - 1.0f);
        reach[1] = std::max(reach[1], m->pos.y);
        reach[2] = std::max(reach[2], m->pos.z - 1.0f);
    }
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(reach[k], 0.99f, 1e-4f) << k;
    }
    // A shake of divisor 0 has no size: the model stays at the anchor and the jolt still comes next.
    monster->Shake(0.0f);
    EXPECT_FLOAT_EQ(m->pos.x, 1.0f);
    EXPECT_FLOAT_EQ(m->pos.y, 0.0f);
    monster->Shake(100.0f);
    EXPECT_GE(m->pos.x, 1.0f);
    EXPECT_LE(m->pos.y, 0.99f);
    EXPECT_FALSE(std::isnan(m->pos.x));
}

TEST_F(AiObjectModelTest, AnimationClockSpeedModesAndEnd)
{
    CSClumpAnimManager *animations = sample.stage.actorAnimations.get();
    const MotionRange *walk = monster->modelTemplate->GetMotionRange(1);
    ASSERT_NE(walk, nullptr);
    ASSERT_GE(walk->endFrame - walk->startFrame, 60);
    const float start = static_cast<float>(walk->startFrame) / 60.0f;
    monster->PlayAnimation(1);
    EXPECT_EQ(monster->state, 1);
    EXPECT_NEAR(monster->animClock, start, 1e-5f);
    EXPECT_EQ(animations->GetMotionIndex(monster->Clump()), 1);
    EXPECT_NEAR(animations->GetMotionTime(monster->Clump()), start, 1e-5f);

    monster->AdvanceAnimation(0.5f);
    EXPECT_FALSE(monster->animEnded);
    EXPECT_NEAR(animations->GetMotionTime(monster->Clump()), start + 0.5f, 1e-4f);
    monster->animSpeedMode = 1;  // frozen
    monster->AdvanceAnimation(1.0f);
    EXPECT_NEAR(monster->animClock, start + 0.5f, 1e-5f);
    const float scale[] = {1.0f, 0.0f, 0.5f, 0.25f, 10.0f, 0.8f, 0.9f};
    for (int mode = 0; mode <= 6; ++mode) {
        monster->animClock = start;
        monster->animSpeedMode = mode;
        monster->AdvanceAnimation(0.1f);
        EXPECT_NEAR(monster->animClock, start + 0.1f * scale[mode], 1e-5f) << mode;
    }
    monster->animSpeedMode = 0;
    monster->animClock = start;
    monster->AdvanceAnimation(static_cast<float>(walk->endFrame - walk->startFrame) / 60.0f);
    EXPECT_TRUE(monster->animEnded);

    // The hold flag stops the clock only for types from 100 up.
    monster->PlayAnimation(0);
    const float idle = monster->animClock;
    monster->animHold = true;
    monster->aiType = 10;
    monster->AdvanceAnimation(0.25f);
    EXPECT_NEAR(monster->animClock, idle + 0.25f, 1e-5f);
    monster->aiType = 100;
    monster->AdvanceAnimation(0.25f);
    EXPECT_NEAR(monster->animClock, idle + 0.25f, 1e-5f);
    monster->aiType = 1000;
    monster->animHold = false;

    // A state without a motion has nothing to wait for.
    const AnimInfo *set = animations->GetAnimInfo(animations->FindAnimation(monster->modelTemplate->GetAnimationName().c_str()));
    ASSERT_NE(set, nullptr);
    const int32_t none = set->motions.Count();
    monster->PlayAnimation(none);
    monster->AdvanceAnimation(0.01f);
    EXPECT_TRUE(monster->animEnded);
}

TEST_F(AiObjectModelTest, LifeLimitsAndRemoval)
{
    const int32_t maxHP = mkdata::SampleMonsterParams(1000).maxHP;
    monster->hp = maxHP - 20;
    monster->AddHP(50);
    EXPECT_EQ(monster->hp, maxHP);
    monster->extraPower = 0;
    monster->AddExtraPower(10);
    EXPECT_EQ(monster->extraPower, 0);  // its MExtraPower is 0
    EXPECT_EQ(monster->SpawnParticleAtFrame("3206800.ZUS", 100160, 1, 1, 0.0f, 0, 5, 2), nullptr);

    monster->aiType = 112;
    monster->RemoveUnlessHeld();
    EXPECT_TRUE(monster->busy);
    EXPECT_FALSE(monster->removed);
    monster->aiType = 1000;
    CSModelInstance *instance = monster->model;
    monster->RemoveUnlessHeld();
    EXPECT_TRUE(monster->removed);
    EXPECT_EQ(monster->hp, 0);
    EXPECT_EQ(monster->model, nullptr);
    EXPECT_FALSE(instance->inUse);
}

TEST_F(AiObjectModelTest, EventsMakeItAppearAndGiveItBack)
{
    EXPECT_FALSE(CountsAsInView(*monster));
    monster->isRender = 0;
    monster->Appear();
    EXPECT_EQ(monster->isRender, 1);
    EXPECT_TRUE(CountsAsInView(*monster));
    monster->eventHeld = monster->eventModel = monster->holdState = true;
    monster->ReturnToNormal();
    EXPECT_FALSE(monster->eventHeld || monster->eventModel || monster->holdState);
    EXPECT_FALSE(CountsAsInView(*monster));
    // A scene's end releases the effects of the types that own some; this
    // one owns none and is left as it was.
    CSModelInstance *instance = monster->model;
    monster->ReleaseTypeEffects();
    EXPECT_EQ(monster->model, instance);
    EXPECT_TRUE(Shown(instance->clump));
}

// An event makes an actor without a model appear: it takes one of its
// template's instances, stands on the ground and counts as the event's
// model; given back to its own behaviour the event's flags go.
TEST_F(AiObjectModelTest, AppearingWithoutAModelTakesOneOnTheGround)
{
    monster->SetModelInstance(nullptr);
    monster->SetPosition({30.0f, 25.0f, 30.0f});
    monster->Appear();
    ASSERT_NE(monster->model, nullptr);
    EXPECT_TRUE(monster->eventModel);
    EXPECT_TRUE(Shown(monster->model->clump));
    RwV3d at;
    monster->GetPosition(&at);
    EXPECT_NEAR(at.y, 0.0f, 0.5f);
    EXPECT_FLOAT_EQ(at.x, 30.0f);
    // With a model already it keeps it and its flags.
    CSModelInstance *model = monster->model;
    monster->eventModel = false;
    monster->Appear();
    EXPECT_EQ(monster->model, model);
    EXPECT_FALSE(monster->eventModel);
    monster->eventModel = true;
    monster->ReturnToNormal();
    EXPECT_FALSE(monster->eventModel);
    EXPECT_EQ(monster->model, model);
}

// When every instance of its template is in use, an actor an event shows
// stays without a model (shown by view once one is free), not active and not the event's.
TEST_F(AiObjectModelTest, AppearingWhenNoInstanceIsFreeLeavesItWithout)
{
    monster->SetModelInstance(nullptr);
    monster->active = false;
    AiObject other;
    std::vector<CSModelInstance *> taken;
    while (taken.size() <= kMaxModelInstances) {
        CSModelInstance *instance = sample.stage.TakeModelInstance(monster->aiType, &other);
        if (instance == nullptr) {
            break;
        }
        taken.push_back(instance);
    }
    ASSERT_EQ(taken.size(), static_cast<size_t>(kMaxModelInstances));  // the template's limit
    monster->Appear();
    EXPECT_EQ(monster->model, nullptr);
    EXPECT_EQ(monster->isRender, 1);
    EXPECT_FALSE(monster->active);
    EXPECT_FALSE(monster->eventModel);
    for (CSModelInstance *instance : taken) {
        CSModelTemplate::GiveBack(instance);
    }
}

}  // namespace

}  // namespace ai_object_model_test
