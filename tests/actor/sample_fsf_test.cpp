// The sample's state machines as the maker writes them: every one reads
// back without a problem, the monster of type 1000 routes the inputs its
// behaviour feeds (hits, death to the dying and then the gone states, the
// knock, the hold state keeping it), and the heroes have the states other
// actors read. Every monster's machine is checked with its behaviour's
// tests.
#include <gtest/gtest.h>

#include <string>

#include "support/game/sample_fsf.h"
#include "tests/stage/stage_test_support.h"

namespace sample_fsf_test {

namespace {

CFSF ReadSample(const char *path, int *problems) { return gametest::ReadSampleStateMachine(path, problems); }

// Where `input` leads from `from` once the state's motion has ended.
int32_t Next(CFSF &fsf, int32_t from, int32_t input)
{
    fsf.SetState(from);
    return fsf.NextState(input, 1);
}

TEST(SampleStateMachines, MonsterRoutesItsInputs)
{
    int problems = 0;
    CFSF fsf = ReadSample("\\RESOURCE\\MONSTER\\1000\\1000.FSF", &problems);
    EXPECT_EQ(problems, 0);
    ASSERT_GT(fsf.StateCount(), 0);
    for (int32_t state : {0, 1, 2, 5, 19}) {
        EXPECT_EQ(Next(fsf, state, 120), 22) << state;
        EXPECT_EQ(Next(fsf, state, 121), 23) << state;
        for (int32_t hit = 100; hit <= 104; ++hit) {
            fsf.SetState(state);
            EXPECT_GE(fsf.NextState(hit, 0), 0) << state << " " << hit;  // taken at once
        }
    }
    EXPECT_EQ(Next(fsf, 22, 0), 24);  // dying, then gone
    EXPECT_EQ(Next(fsf, 23, 0), 25);
    EXPECT_EQ(Next(fsf, 0, 1), 1);
    EXPECT_EQ(Next(fsf, 1, 0), 0);
    EXPECT_EQ(Next(fsf, 2, 10), 5);
    for (int32_t attack : {5, 8, 10}) {
        EXPECT_EQ(Next(fsf, attack, 30), 30) << attack;
        EXPECT_EQ(fsf.IsAttackState(attack), 1) << attack;
    }
    EXPECT_EQ(Next(fsf, 30, 2), 2);
    EXPECT_EQ(Next(fsf, 14, 106), 15);
    EXPECT_EQ(Next(fsf, 18, 107), 0);
    EXPECT_EQ(Next(fsf, 20, 105), 15);
    // The hold state keeps it: input 0 starts its motion again once ended;
    // the event's release puts it back in state 0 itself.
    fsf.SetState(31);
    EXPECT_EQ(fsf.NextState(0, 0), -1);
    EXPECT_EQ(Next(fsf, 31, 0), 31);
    EXPECT_EQ(fsf.GetIsHurt(24), 0);
}

TEST(SampleStateMachines, HeroesHaveTheStatesOthersRead)
{
    for (const char *path : {"\\RESOURCE\\MAINCHAR\\HERO01\\HERO01.FSF", "\\RESOURCE\\MAINCHAR\\HERO02\\HERO02.FSF"}) {
        int problems = 0;
        CFSF fsf = ReadSample(path, &problems);
        EXPECT_EQ(problems, 0) << path;
        for (int32_t state : {0, 1, 4, 5, 21, 22, 23, 40}) {
            EXPECT_NE(fsf.FindState(state), nullptr) << path << " " << state;
        }
        EXPECT_EQ(Next(fsf, 4, 0), 5);
        EXPECT_EQ(Next(fsf, 5, 0), 0);
        EXPECT_EQ(fsf.IsAttackState(40), 1);
        EXPECT_EQ(fsf.GetWeaponId(40, 0), 100130);
        EXPECT_EQ(fsf.GetIsGrab(0), 1);
        EXPECT_EQ(fsf.GetIsGrab(22), 0);
    }
}

}  // namespace

}  // namespace sample_fsf_test
