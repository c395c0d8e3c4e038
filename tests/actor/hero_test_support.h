// The sample's first stage with its monster and the first hero, as the
// stage's load leaves them, for the heroes' scenario tests: the items pack
// read, hero 0 on pad 0 placed in the chain where the test asks, a game
// system whose third pad block the test writes (no camera: the pad's
// directions are the world's, forward +z and right -x). Tick runs the
// stage's hero step and the actor pass as the stage's update does.
#pragma once

#include <gtest/gtest.h>

#include "actor/actor_pass.h"
#include "actor/actor_placement.h"
#include "actor/hero.h"
#include "actor/item_stage.h"
#include "app/game_system.h"
#include "app/pad_state.h"
#include "support/game/sample_stage.h"
#include "tests/stage/stage_test_support.h"

namespace herotest {

inline constexpr float kDt = 0.016f;

class HeroStageTest : public stagetest::StageEngineTest {
protected:
    void SetUp() override
    {
        StageEngineTest::SetUp();
        previousSystem_ = g_pGameSystem;
        g_pGameSystem = &system;
        ASSERT_TRUE(sample.Load(true));
        stage = &sample.stage;
        stage->LoadItemsPack();
        stage->LoadHeroes(0, 0, 0);
        ASSERT_EQ(stage->heroCount, 1);
        hero = stage->heroes[0];
        monster = stage->FindAiObjectById(1);
        ASSERT_NE(monster, nullptr);
        Place(hero, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f});
        LinkActor(stage, hero);
        hero->EnterStage();
        Pad().connected = 1;
    }
    void TearDown() override
    {
        stage->UnloadHeroes();
        DestroyItemMembers(stage);
        sample.Release();
        g_pGameSystem = previousSystem_;
        StageEngineTest::TearDown();
    }

    static void Place(AiObject *actor, const RwV3d &at, const RwV3d &facing)
    {
        actor->SetPosition(at);
        actor->SetDirection(facing);
    }
    PadState &Pad() { return system.padStates[kPadStateBlock][0]; }
    // Presses (1 this tick, then 2 held) or lets go (0) of a button.
    void Press(PadButton button) { Pad().buttons[button] = kPadPressedState; }
    void Release(PadButton button) { Pad().buttons[button] = kPadUpState; }

    // `ticks` frames of the hero step and the actor pass; a press becomes
    // held after its first frame.
    void Tick(int ticks = 1)
    {
        for (int i = 0; i < ticks; ++i) {
            RunHeroStep(stage, kDt);
            RunActorPass(stage, kDt, MakeActorFrame(stage, nullptr));
            for (uint8_t &button : Pad().buttons) {
                if (button == kPadPressedState) {
                    button = kPadHeldState;
                }
            }
        }
    }

    CSGameSystem system;
    gametest::SampleStage sample;
    CSStageManager *stage = nullptr;
    CSHero *hero = nullptr;
    AiObject *monster = nullptr;

private:
    CSGameSystem *previousSystem_ = nullptr;
};

}  // namespace herotest
