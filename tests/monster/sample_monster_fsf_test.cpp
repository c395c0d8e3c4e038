// Every sample monster's files as the maker writes them: its state
// machine reads back without a problem and routes every input its
// behaviour feeds (the hits, death through the dying into the gone
// states, the knock and its end, the hold state keeping it, the down and
// dizzy states' ends, and each type's own: the guard, the charge, the
// counter, the seize, hold and release); its motion table gives every
// state a motion and puts every frame a behaviour tests inside its state's
// motion; its attacks' weapons are parts of its model.
#include <gtest/gtest.h>

#include <string>

#include "monster/template_d.h"
#include "stage/anim_file.h"
#include "stage/clump_anim_manager.h"
#include "stage/model_template.h"
#include "tests/stage/stage_test_support.h"
#include "tools/mkdata/sample_monsters.h"

#include "sample_files.h"

namespace sample_monster_fsf_test {

namespace {

struct TypeStates {
    int32_t aiType;
    int32_t dying[2];
    int32_t gone[2];
    int32_t knockFrom[3];
    int32_t knock;
    int32_t down;      // 106 leads on
    int32_t dizzy;     // 107 leads on
    int32_t grabbed;   // held by a hero: 105 lets it go
};

constexpr TypeStates kTypes[] = {
    {1000, {22, 23}, {24, 25}, {5, 8, 10}, 30, 14, 18, 20},
    {1002, {28, 29}, {30, 31}, {5, 8, -1}, 36, 19, 23, 25},
    {1003, {27, 28}, {29, 30}, {5, 8, -1}, 33, 19, 23, 25},
    {1004, {27, 28}, {29, 30}, {5, 8, -1}, 34, 19, 23, 25},
    {1005, {23, 24}, {25, 26}, {-1, -1, -1}, -1, 15, 19, 21},
    {1007, {24, 24}, {25, 25}, {5, 8, -1}, 28, -1, 19, 21},
};

class SampleMonsterFiles : public stagetest::StageEngineTest {
protected:
    CFSF Read(int32_t aiType) { return monstertest::ReadSampleStateMachine(aiType); }
};

// Where `input` leads from `from` once the state's motion has ended, and
// before (at once, -1 when it waits for the end).
int32_t Ended(CFSF &fsf, int32_t from, int32_t input)
{
    fsf.SetState(from);
    return fsf.NextState(input, 1);
}
int32_t AtOnce(CFSF &fsf, int32_t from, int32_t input)
{
    fsf.SetState(from);
    return fsf.NextState(input, 0);
}

bool IsIn(int32_t state, const int32_t (&list)[2]) { return state == list[0] || state == list[1]; }

TEST_F(SampleMonsterFiles, EveryStateMachineRoutesWhatItsBehaviourFeeds)
{
    for (const TypeStates &t : kTypes) {
        SCOPED_TRACE(t.aiType);
        CFSF fsf = Read(t.aiType);
        ASSERT_GT(fsf.StateCount(), 0);
        const monster::TemplateDMembers *members = monster::TemplateDMembersOf(t.aiType);
        ASSERT_NE(members, nullptr);
        for (const FsfState &state : fsf.States()) {
            EXPECT_LE(state.id, members->lastState) << state.id;  // the set-state step takes them all
        }
        // Hits and deaths are taken at once from the states a fight passes through.
        for (int32_t from : {0, 1, 2}) {
            for (int32_t hit = 100; hit <= 104; ++hit) {
                EXPECT_GE(AtOnce(fsf, from, hit), 0) << from << " " << hit;
            }
            EXPECT_TRUE(IsIn(AtOnce(fsf, from, 120), t.dying)) << from;
            EXPECT_TRUE(IsIn(AtOnce(fsf, from, 121), t.dying)) << from;
        }
        // The dying states end in the gone states; these lead nowhere.
        for (int32_t dying : t.dying) {
            EXPECT_TRUE(IsIn(Ended(fsf, dying, 120), t.gone)) << dying;
            EXPECT_EQ(fsf.GetIsHurt(dying), 0);
        }
        for (int32_t gone : t.gone) {
            EXPECT_EQ(Ended(fsf, gone, 120), -1) << gone;
        }
        // The hold state keeps it until the event lets go.
        EXPECT_EQ(AtOnce(fsf, members->holdState, 0), -1);
        EXPECT_EQ(Ended(fsf, members->holdState, 0), members->holdState);
        EXPECT_EQ(Ended(fsf, members->holdState, 1), members->holdState);
        // The knock and its end.
        for (int32_t from : t.knockFrom) {
            if (from >= 0) {
                EXPECT_EQ(AtOnce(fsf, from, 30), t.knock) << from;
            }
        }
        if (t.knock >= 0) {
            EXPECT_EQ(AtOnce(fsf, t.knock, 2), 2);
        }
        if (t.down >= 0) {
            EXPECT_GE(AtOnce(fsf, t.down, 106), 0);
        }
        EXPECT_EQ(AtOnce(fsf, t.dizzy, 107), 0);
        EXPECT_GE(AtOnce(fsf, t.grabbed, 105), 0);
        EXPECT_EQ(AtOnce(fsf, t.grabbed, 104), t.grabbed);
        // Every attack state strikes with parts the model has.
        for (const FsfState &state : fsf.States()) {
            for (int32_t weapon : state.weaponIds) {
                EXPECT_TRUE(weapon == 100130 || weapon == 100140) << state.id;
            }
        }
    }
}

TEST_F(SampleMonsterFiles, EachTypesOwnRoutes)
{
    CFSF m1007 = Read(1007);
    EXPECT_EQ(AtOnce(m1007, 0, 16), 23);      // the alarm circle: the guard
    EXPECT_EQ(AtOnce(m1007, 1, 16), -1);      // a stride ends first
    EXPECT_EQ(Ended(m1007, 1, 16), 23);
    EXPECT_EQ(AtOnce(m1007, 23, 102), 15);    // a guard break knocks it back
    EXPECT_EQ(AtOnce(m1007, 23, 18), 1);      // the guard's end: it walks on
    EXPECT_EQ(AtOnce(m1007, 23, 100), -1);    // a hit on the guard changes nothing
    EXPECT_EQ(AtOnce(m1007, 8, 11), 11);      // the rush that meets a hero carries it
    EXPECT_EQ(AtOnce(m1007, 8, 0), -1);       // a miss waits for the rush's end
    EXPECT_EQ(AtOnce(m1007, 14, 17), 17);     // the counter
    EXPECT_EQ(m1007.IsAttackState(5), 1);     // the grab cone

    CFSF m1005 = Read(1005);
    EXPECT_EQ(AtOnce(m1005, 2, 11), 9);       // the charge
    EXPECT_EQ(AtOnce(m1005, 9, 11), 11);      // that lands
    EXPECT_EQ(AtOnce(m1005, 9, 0), -1);       // a miss waits for its end
    EXPECT_EQ(AtOnce(m1005, 0, 4), 4);        // noticing a hero
    EXPECT_EQ(Ended(m1005, 7, 19), 22);       // the recovery's strike

    CFSF m1000 = Read(1000);
    EXPECT_EQ(AtOnce(m1000, 0, 19), 19);      // the counter
    EXPECT_EQ(Ended(m1000, 6, 3), 3);
    EXPECT_EQ(Ended(m1000, 6, 9999), 0);      // an input no transition names: the default
    EXPECT_EQ(AtOnce(m1000, 4, 31), 16);      // poisoned

    for (int32_t type : {1002, 1003, 1004}) {
        SCOPED_TRACE(type);
        CFSF fsf = Read(type);
        EXPECT_EQ(AtOnce(fsf, 11, 13), 13);   // seized
        EXPECT_EQ(AtOnce(fsf, 13, 15), 15);   // the hold's end
        EXPECT_EQ(AtOnce(fsf, 13, 14), 14);   // the hero's release
        for (int32_t hit = 100; hit <= 103; ++hit) {
            EXPECT_EQ(AtOnce(fsf, 13, hit), 14) << hit;  // a hit lets the hero go
        }
        EXPECT_EQ(Ended(fsf, 13, 0), -1);     // the hold lasts its 3 s
        EXPECT_EQ(Ended(fsf, 13, 1), -1);
        EXPECT_EQ(Ended(fsf, 14, 0), 0);
        EXPECT_EQ(Ended(fsf, 15, 0), 0);
        EXPECT_EQ(AtOnce(fsf, 2, 11), 11);    // the seize from the ready state
    }
    CFSF m1002 = Read(1002);
    EXPECT_EQ(AtOnce(m1002, 2, 20), 27);      // the side step

    // 1003 closes in from its alarm circle (input 2): a stride of its state
    // 2, which moves, then the walk, which turns it to its foe.
    CFSF m1003 = Read(1003);
    EXPECT_GT(m1003.GetSpeed(2), 0.0f);
    EXPECT_EQ(AtOnce(m1003, 0, 2), 2);
    EXPECT_EQ(AtOnce(m1003, 2, 2), -1);
    EXPECT_EQ(Ended(m1003, 2, 2), 1);
    EXPECT_EQ(AtOnce(m1003, 1, 2), -1);
    EXPECT_EQ(Ended(m1003, 1, 2), 2);
    EXPECT_EQ(AtOnce(m1003, 2, 10), 10);      // in its attack range: the blow
    EXPECT_EQ(AtOnce(m1003, 2, 3), 3);        // the turn
}

TEST_F(SampleMonsterFiles, EveryTestedFrameLiesInsideItsStatesMotion)
{
    for (int32_t type : mkdata::SampleMonsterTypes()) {
        SCOPED_TRACE(type);
        CSClumpAnimManager animations;
        const std::string anm =
            stagetest::SamplePath(mkdata::SampleMonsterFolder(type) + "/" + mkdata::SampleMonsterName(type) + ".ANM");
        const int32_t set = animations.LoadAMF(anm.c_str());
        ASSERT_GE(set, 0);
        const MotionTable &motions = animations.GetAnimInfo(set)->motions;
        CFSF fsf = Read(type);
        for (const FsfState &state : fsf.States()) {
            EXPECT_NE(motions.Find(state.id), nullptr) << state.id;
        }
        for (const mkdata::TestedFrame &tested : mkdata::SampleMonsterTestedFrames(type)) {
            const MotionRange *motion = motions.Find(tested.state);
            ASSERT_NE(motion, nullptr) << tested.state;
            EXPECT_LT(motion->startFrame, tested.frame) << tested.state;
            EXPECT_GT(motion->endFrame, tested.frame + 1) << tested.state;
        }
        animations.ReleaseAll();
    }
}

}  // namespace

}  // namespace sample_monster_fsf_test
