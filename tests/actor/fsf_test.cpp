// The state machine: how NextState picks a transition, and the per-state
// getters with their defaults for missing states.
#include <gtest/gtest.h>

#include "actor/fsf.h"
#include "support/game/fsf_builder.h"
#include "support/game/diagnostics_capture.h"

namespace fsf_test {

using gametest::FsfBuilder;

namespace {

// State 0 with: input 5 -> 1 (not a dir change), input 5 -> 2 (second
// match), input 0 -> 3, input 7 -> 4 (dir change), input 0 -> 5 (the last
// default).
CFSF Branching()
{
    FsfBuilder b;
    b.State(0).To(5, 1).To(5, 2, 1).To(0, 3, 0, 0.1f).To(7, 4, 1, 0.25f).To(0, 5, 0, 0.5f);
    for (int id = 1; id <= 5; ++id) {
        b.State(id);
    }
    return b.Build();
}

TEST(FsfNextState, ChoosesByAnimationEndAndDirChange)
{
    CFSF fsf = Branching();
    struct Case {
        int input;
        int animEnded;
        int expected;
        float blend;
    };
    const Case cases[] = {
        {5, 0, -1, 0.0f},   // the first exact match lacks IsDirChange: nothing while playing
        {7, 0, 4, 0.25f},   // a dir-change match is taken at once
        {5, 1, 1, 0.0f},    // ended: the first exact match wins over the later one
        {9, 1, 5, 0.5f},    // ended, no match: the default, the last with Input 0
        {0, 1, 3, 0.1f},    // input 0 matches exactly: the first one
        {9, 0, -1, 0.0f},   // playing, no match: no default
    };
    for (const Case &c : cases) {
        ASSERT_EQ(fsf.SetState(0), 1);
        const int next = fsf.NextState(c.input, c.animEnded);
        EXPECT_EQ(next, c.expected) << "input " << c.input << " ended " << c.animEnded;
        EXPECT_EQ(fsf.CurrentState(), c.expected);
        if (next >= 0) {
            EXPECT_FLOAT_EQ(fsf.GetTransitionBlend(), c.blend);
            EXPECT_EQ(fsf.PreviousState(), 0);
        }
    }
}

TEST(FsfNextState, NothingTakenLeavesNoCurrentStateAndKeepsTheLastBlend)
{
    CFSF fsf = Branching();
    ASSERT_EQ(fsf.SetState(0), 1);
    ASSERT_EQ(fsf.NextState(7, 0), 4);
    // State 4 has no transitions at all.
    EXPECT_EQ(fsf.NextState(0, 1), -1);
    EXPECT_EQ(fsf.CurrentState(), -1);
    EXPECT_FLOAT_EQ(fsf.GetTransitionBlend(), 0.25f);
    // From no state nothing leads anywhere until a user sets its own.
    EXPECT_EQ(fsf.NextState(5, 1), -1);
    EXPECT_EQ(fsf.SetState(0), 1);
    EXPECT_EQ(fsf.NextState(5, 1), 1);
}

TEST(FsfNextState, EmptySetAnswersZero)
{
    CFSF fsf;
    EXPECT_FLOAT_EQ(fsf.GetTransitionBlend(), 0.0f);
    EXPECT_EQ(fsf.SetState(0), 0);
    EXPECT_EQ(fsf.NextState(0, 1), 0);
    EXPECT_EQ(fsf.CurrentState(), -1);
    EXPECT_EQ(fsf.NextState(3, 0), 0);
    EXPECT_EQ(fsf.CurrentState(), -1);
    EXPECT_EQ(fsf.PreviousState(), -1);
}

TEST(FsfStates, SetStateRefusesMissingStates)
{
    CFSF fsf = Branching();
    EXPECT_EQ(fsf.SetState(3), 1);
    EXPECT_EQ(fsf.CurrentState(), 3);
    EXPECT_EQ(fsf.SetState(6), 0);
    EXPECT_EQ(fsf.SetState(-1), 0);
    EXPECT_EQ(fsf.CurrentState(), 3);
}

TEST(FsfStates, DuplicateAndNegativeIdsAreRefused)
{
    CFSF fsf;
    FsfState s;
    s.id = 2;
    EXPECT_TRUE(fsf.AddState(s));
    EXPECT_FALSE(fsf.AddState(s));
    s.id = -3;
    EXPECT_FALSE(fsf.AddState(s));
    s.id = 1 << 20;
    EXPECT_FALSE(fsf.AddState(s));
    // Ids run up to 4095.
    s.id = 4096;
    EXPECT_FALSE(fsf.AddState(s));
    s.id = 4095;
    EXPECT_TRUE(fsf.AddState(s));
    EXPECT_EQ(fsf.StateCount(), 2);
    EXPECT_NE(fsf.FindState(4095), nullptr);
}

TEST(FsfStates, TransitionsToMissingStatesAreDropped)
{
    FsfBuilder b;
    b.State(0).To(1, 1).To(2, 9).To(0, 0);
    b.State(1).To(0, 42);
    int dropped = 0;
    gametest::CaptureDiagnostics();
    CFSF fsf = b.Build(&dropped);
    const std::string said = gametest::TakeDiagnostics();
    EXPECT_EQ(dropped, 2);
    EXPECT_NE(said.find("missing state 9"), std::string::npos);
    EXPECT_NE(said.find("missing state 42"), std::string::npos);
    ASSERT_NE(fsf.FindState(0), nullptr);
    EXPECT_EQ(fsf.FindState(0)->transitions.size(), 2u);
    // The dropped input now falls to the default.
    fsf.SetState(0);
    EXPECT_EQ(fsf.NextState(2, 1), 0);
    fsf.SetState(1);
    EXPECT_EQ(fsf.NextState(0, 1), -1);
}

TEST(FsfStates, GettersAndTheirDefaults)
{
    FsfBuilder b;
    b.State(3).Speed(12.5f).Acceleration(-4.0f).Hurt(0).Grab(1).Attack(30, 64).Weapon(100130).Weapon(100140);
    b.State(4);  // every value left at its default
    const CFSF fsf = b.Build();

    EXPECT_FLOAT_EQ(fsf.GetSpeed(3), 12.5f);
    EXPECT_FLOAT_EQ(fsf.GetAcceleration(3), -4.0f);
    EXPECT_EQ(fsf.GetIsHurt(3), 0);
    EXPECT_EQ(fsf.GetIsGrab(3), 1);
    EXPECT_EQ(fsf.IsAttackState(3), 1);
    EXPECT_EQ(fsf.GetAttackValue(3), 30);
    EXPECT_EQ(fsf.GetAttackAttribute(3), 64);
    EXPECT_EQ(fsf.GetNumOfWeapon(3), 2);
    EXPECT_EQ(fsf.GetWeaponId(3, 0), 100130);
    EXPECT_EQ(fsf.GetWeaponId(3, 1), 100140);
    EXPECT_EQ(fsf.GetWeaponId(3, 2), 0);
    EXPECT_EQ(fsf.GetWeaponId(3, -1), 0);

    EXPECT_EQ(fsf.GetIsHurt(4), 1);  // IsHurt defaults to 1
    EXPECT_EQ(fsf.IsAttackState(4), 0);
    EXPECT_EQ(fsf.GetAttackValue(4), 0);

    // A missing state.
    EXPECT_FLOAT_EQ(fsf.GetSpeed(7), 0.0f);
    EXPECT_FLOAT_EQ(fsf.GetAcceleration(7), 0.0f);
    EXPECT_EQ(fsf.GetIsHurt(7), 0);
    EXPECT_EQ(fsf.GetIsGrab(7), 0);
    EXPECT_EQ(fsf.IsAttackState(7), 0);
    EXPECT_EQ(fsf.GetAttackValue(7), -1);
    EXPECT_EQ(fsf.GetAttackAttribute(7), -1);
    EXPECT_EQ(fsf.GetNumOfWeapon(7), 0);
    EXPECT_EQ(fsf.GetWeaponId(7, 0), 0);
}

}  // namespace

}  // namespace fsf_test
