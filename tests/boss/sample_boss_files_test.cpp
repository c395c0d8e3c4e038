// Every sample boss's files as the maker writes them: its state machine
// reads back and routes every input its behaviour feeds (the hits, death
// through the dying into the gone state, the hold state keeping it until
// the event lets go, and each boss's own routes); every state lies below
// its set-state bound; its motion table puts every frame the behaviour
// tests inside its state's motion; its attacks strike with parts of its
// model, whose frames carry every user id the steps look for.
#include <gtest/gtest.h>

#include <string>

#include "boss/boss_traits.h"
#include "stage/clump_anim_manager.h"
#include "stage/model_frames.h"
#include "support/game/sample_fsf.h"
#include "tests/stage/stage_test_support.h"
#include "tools/mkdata/sample_bosses.h"

namespace {

class SampleBossFiles : public stagetest::StageEngineTest {
protected:
    CFSF Read(int32_t aiType)
    {
        int problems = 0;
        CFSF fsf = gametest::ReadSampleStateMachine("\\RESOURCE\\BOSS", mkdata::SampleBossName(aiType), &problems);
        EXPECT_EQ(problems, 0) << aiType;
        return fsf;
    }
};

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

TEST_F(SampleBossFiles, EveryStateMachineRoutesWhatTheFrameFeeds)
{
    for (int32_t type : mkdata::SampleBossTypes()) {
        SCOPED_TRACE(type);
        const boss::BossTraits *traits = boss::BossTraitsOf(type);
        ASSERT_NE(traits, nullptr);
        CFSF fsf = Read(type);
        ASSERT_GT(fsf.StateCount(), 0);
        for (const FsfState &state : fsf.States()) {
            EXPECT_LT(state.id, traits->stateBound) << state.id;
            for (int32_t weapon : state.weaponIds) {
                EXPECT_TRUE(weapon == 100130 || weapon == 100140) << state.id;
            }
        }
        // Hits and death are taken at once from idle and the walk.
        for (int32_t from : {0, 1}) {
            for (int32_t hit = 100; hit <= 103; ++hit) {
                EXPECT_GE(AtOnce(fsf, from, hit), 0) << from << " " << hit;
            }
            EXPECT_EQ(AtOnce(fsf, from, 120), traits->dyingState) << from;
        }
        // Death reaches the dying state from every state but the end and the
        // hold; the dying state ends in the gone state, which leads nowhere.
        for (const FsfState &state : fsf.States()) {
            if (state.id != traits->dyingState && state.id != traits->goneState && state.id != traits->holdState &&
                !(type == 1101 && state.id == 28)) {
                EXPECT_EQ(Ended(fsf, state.id, 120), traits->dyingState) << state.id;
            }
        }
        EXPECT_EQ(Ended(fsf, traits->dyingState, 0), traits->goneState);
        EXPECT_EQ(fsf.GetIsHurt(traits->dyingState), 0);
        EXPECT_EQ(Ended(fsf, traits->goneState, 0), -1);
        EXPECT_EQ(Ended(fsf, traits->goneState, 120), -1);
        // The hold state keeps it until the event lets go.
        EXPECT_EQ(AtOnce(fsf, traits->holdState, 0), -1);
        EXPECT_EQ(Ended(fsf, traits->holdState, 0), traits->holdState);
        EXPECT_EQ(fsf.GetIsHurt(traits->holdState), 0);
        // The hit-stop states take damage.
        EXPECT_EQ(fsf.GetIsHurt(traits->hitStopStates[0]), 1);
    }
}

TEST_F(SampleBossFiles, EachBossesOwnRoutes)
{
    CFSF b1100 = Read(1100);
    EXPECT_EQ(AtOnce(b1100, 0, 10), 2);  // the attack the timer allows
    EXPECT_EQ(AtOnce(b1100, 1, 10), 2);
    EXPECT_EQ(b1100.IsAttackState(2), 1);
    EXPECT_EQ(Ended(b1100, 2, 0), 1);

    CFSF b1102 = Read(1102);
    EXPECT_EQ(AtOnce(b1102, 0, 1), 1);   // the walk
    EXPECT_EQ(AtOnce(b1102, 0, 2), 2);   // the alarm circle: the turn
    EXPECT_EQ(AtOnce(b1102, 1, 2), 2);
    EXPECT_EQ(AtOnce(b1102, 2, 21), 3);  // in the cone: the throw
    EXPECT_EQ(AtOnce(b1102, 2, 0), -1);  // turning: the turn goes on
    EXPECT_EQ(AtOnce(b1102, 2, 1), 1);   // too near: keep away
    EXPECT_EQ(AtOnce(b1102, 0, 100), 4);  // hurt: the recoil
    EXPECT_EQ(Ended(b1102, 3, 2), 2);

    for (int32_t type : {1106, 1107}) {
        SCOPED_TRACE(type);
        CFSF fsf = Read(type);
        const int32_t walk = type == 1106 ? 5 : 1;
        EXPECT_EQ(AtOnce(fsf, 0, walk), 1);
        EXPECT_EQ(AtOnce(fsf, 3, 2), 1);       // the wait's end
        for (int32_t blow : {5, 7, 12}) {
            EXPECT_EQ(AtOnce(fsf, blow, 30), 23) << blow;  // held: leave the blow
        }
        EXPECT_EQ(AtOnce(fsf, 23, 2), 0);      // the get-up's end
        EXPECT_EQ(AtOnce(fsf, 16, 17), 17);    // the recovery's counter
        EXPECT_EQ(AtOnce(fsf, 19, 18), 1);     // the guard's end
        EXPECT_EQ(AtOnce(fsf, 19, 102), 16);   // the guard broken
        EXPECT_EQ(AtOnce(fsf, 19, 100), -1);   // an ordinary hit changes nothing
        EXPECT_EQ(AtOnce(fsf, 0, 100), 16);
    }
    CFSF b1107 = Read(1107);
    for (int32_t from : {0, 1, 2, 3, 16, 19}) {
        EXPECT_EQ(AtOnce(b1107, from, 16), 20) << from;  // an HP phase: the special
    }
    EXPECT_EQ(AtOnce(b1107, 20, 16), -1);  // none from the special itself
    EXPECT_EQ(AtOnce(b1107, 20, 100), -1);  // which hits do not break

    CFSF b1101 = Read(1101);
    EXPECT_EQ(AtOnce(b1101, 2, 11), 13);   // the charge
    EXPECT_EQ(AtOnce(b1101, 13, 22), 20);  // at a wall or after 5 s
    EXPECT_EQ(AtOnce(b1101, 13, 11), 7);   // at an actor
    EXPECT_EQ(AtOnce(b1101, 13, 100), -1);  // a charge goes on under hits
    EXPECT_EQ(AtOnce(b1101, 2, 21), 19);   // the big shots
    EXPECT_EQ(AtOnce(b1101, 20, 17), 17);  // the recovery's counter
    EXPECT_EQ(AtOnce(b1101, 20, 108), 21);  // the escape
    EXPECT_EQ(AtOnce(b1101, 11, 4), 12);   // the chained blow
    EXPECT_EQ(Ended(b1101, 10, 0), 11);
    EXPECT_EQ(AtOnce(b1101, 23, 106), 24);  // the grabbable state's end
    EXPECT_EQ(AtOnce(b1101, 0, 104), 25);   // a hero's grab
    EXPECT_EQ(AtOnce(b1101, 25, 105), 24);
    EXPECT_EQ(AtOnce(b1101, 15, 14), 14);
    EXPECT_EQ(AtOnce(b1101, 26, 18), 1);    // the guard's end
    EXPECT_EQ(AtOnce(b1101, 26, 102), 20);  // the guard broken
    EXPECT_EQ(AtOnce(b1101, 26, 0), -1);    // the guard's idle input keeps it
    EXPECT_EQ(AtOnce(b1101, 0, 3), 5);      // out of the cone: turn
}

TEST_F(SampleBossFiles, TestedFramesLieInsideTheirMotionsAndTheFramesAreThere)
{
    for (int32_t type : mkdata::SampleBossTypes()) {
        SCOPED_TRACE(type);
        const std::string base = mkdata::SampleBossFolder(type) + "/" + mkdata::SampleBossName(type);
        CSClumpAnimManager animations;
        const int32_t set = animations.LoadAMF(stagetest::SamplePath(base + ".ANM").c_str());
        ASSERT_GE(set, 0);
        const MotionTable &motions = animations.GetAnimInfo(set)->motions;
        CFSF fsf = Read(type);
        for (const FsfState &state : fsf.States()) {
            EXPECT_NE(motions.Find(state.id), nullptr) << state.id;
        }
        for (const mkdata::TestedFrame &tested : mkdata::SampleBossTestedFrames(type)) {
            const MotionRange *motion = motions.Find(tested.state);
            ASSERT_NE(motion, nullptr) << tested.state;
            EXPECT_LT(motion->startFrame, tested.frame) << tested.state;
            EXPECT_GT(motion->endFrame, tested.frame + 1) << tested.state;
        }
        animations.ReleaseAll();
        // The model carries the frames the steps look for.
        RpClump *clump = stagetest::ReadSampleClump(base + ".DFF");
        ASSERT_NE(clump, nullptr);
        for (int32_t id : {100020, 100040, 100060, 100080, 100090, 100130, 100140, 100150, 100160}) {
            EXPECT_NE(FindFrameByUserId(clump, id), nullptr) << id;
        }
        RpClumpDestroy(clump);
    }
}

}  // namespace
