// Every sample boss's files as the maker writes them: its state machine
// reads back and routes every input its behaviour feeds (the hits, death
// through the dying into the gone state, the hold state keeping it until
// the event lets go, and each boss's own routes); every state lies below
// its set-state bound; its motion table puts every frame the behaviour
// tests inside its state's motion; its attacks strike with parts of its
// model, whose frames carry every user id the steps look for; its life
// stands fifteen of the first hero's plain blows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "boss/boss_1108.h"
#include "boss/boss_traits.h"
#include "stage/world_queries.h"
#include "support/game/sample_stage.h"
#include "stage/clump_anim_manager.h"
#include "stage/model_frames.h"
#include "support/game/sample_fsf.h"
#include "tests/stage/stage_test_support.h"
#include "actor/hero.h"
#include "actor/item_records.h"
#include "tools/mkdata/character_states.h"
#include "tools/mkdata/item_data.h"
#include "tools/mkdata/sample_bosses.h"
#include "tools/mkdata/stage_files.h"

namespace sample_boss_files_test {

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
        // The hold state keeps it until the event lets go.
        EXPECT_EQ(AtOnce(fsf, traits->holdState, 0), -1);
        EXPECT_EQ(Ended(fsf, traits->holdState, 0), traits->holdState);
        EXPECT_EQ(fsf.GetIsHurt(traits->holdState), 0);
        if (traits->end == boss::BossEnd::kNone) {
            continue;  // 1105 takes no hits and never dies
        }
        // Hits and death are taken at once from idle and the walk; death
        // leads to the dying state, or straight to the gone state without one.
        const int32_t death = traits->dyingState >= 0 ? traits->dyingState : traits->goneState;
        for (int32_t from : {0, 1}) {
            for (int32_t hit = 100; hit <= 103; ++hit) {
                EXPECT_GE(AtOnce(fsf, from, hit), 0) << from << " " << hit;
            }
            EXPECT_EQ(AtOnce(fsf, from, 120), death) << from;
        }
        // Death reaches it from every state but the end and the hold; the
        // dying state ends in the gone state, which leads nowhere.
        for (const FsfState &state : fsf.States()) {
            if (state.id != traits->dyingState && state.id != traits->goneState && state.id != traits->holdState &&
                !(type == 1101 && state.id == 28)) {
                EXPECT_EQ(Ended(fsf, state.id, 120), death) << state.id;
            }
        }
        if (traits->dyingState >= 0) {
            EXPECT_EQ(Ended(fsf, traits->dyingState, 0), traits->goneState);
            EXPECT_EQ(fsf.GetIsHurt(traits->dyingState), 0);
        }
        EXPECT_EQ(Ended(fsf, traits->goneState, 0), -1);
        EXPECT_EQ(Ended(fsf, traits->goneState, 120), -1);
        // The hit-stop states take damage.
        for (int32_t hitStop : traits->hitStopStates) {
            if (hitStop >= 0) {
                EXPECT_EQ(fsf.GetIsHurt(hitStop), 1) << hitStop;
            }
        }
    }
}

TEST_F(SampleBossFiles, EachBossesOwnRoutes)
{
    CFSF b1100 = Read(1100);
    EXPECT_EQ(AtOnce(b1100, 0, 10), 2);  // the attack the timer allows
    EXPECT_EQ(AtOnce(b1100, 1, 10), 2);
    EXPECT_EQ(AtOnce(b1100, 5, 10), 2);  // struck back out of its hurt
    EXPECT_EQ(AtOnce(b1100, 6, 10), 2);  // and out of its knock
    EXPECT_EQ(b1100.IsAttackState(2), 1);
    EXPECT_EQ(Ended(b1100, 2, 0), 1);

    CFSF b1102 = Read(1102);
    EXPECT_EQ(AtOnce(b1102, 0, 1), 1);   // the walk
    EXPECT_EQ(AtOnce(b1102, 0, 2), 2);   // the alarm circle: the turn
    EXPECT_EQ(AtOnce(b1102, 1, 2), -1);  // walking: a stride ends first
    EXPECT_EQ(Ended(b1102, 1, 2), 2);
    EXPECT_EQ(AtOnce(b1102, 2, 21), 3);  // in the cone: the throw
    EXPECT_EQ(AtOnce(b1102, 2, 0), -1);  // turning: the turn goes on
    EXPECT_EQ(AtOnce(b1102, 2, 1), 1);   // too near: keep away
    EXPECT_EQ(AtOnce(b1102, 0, 100), 4);  // hurt: the recoil
    EXPECT_EQ(Ended(b1102, 3, 2), 1);    // after a throw it walks (its idle 1)

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

// A guard lasts its time: whatever the sensing and ordinary hits feed while
// it stands there, the end of the guard's motion keeps it in the guard (the
// default route of a state machine at a motion's end would otherwise take
// it out after the motion's second); only its end (18), the break (102), a
// phase (16) and death leave it.
TEST_F(SampleBossFiles, AGuardOutlastsItsMotion)
{
    for (int32_t type : mkdata::SampleBossTypes()) {
        const boss::BossTraits *traits = boss::BossTraitsOf(type);
        ASSERT_NE(traits, nullptr);
        const int32_t guard = traits->guardState;
        if (guard < 0) {
            continue;
        }
        SCOPED_TRACE(type);
        CFSF fsf = Read(type);
        for (int32_t input : {0, 1, 2, 3, 4, 5, 10, 11, 12, 13, 19, 20, 21, 22, 23, 100, 101, 103}) {
            const int32_t after = Ended(fsf, guard, input);
            EXPECT_TRUE(after == guard || after == -1) << input << " -> " << after;
        }
    }
}

// The routes the steps of bosses 1103, 1104, 1105, 1108, 1109 and 1110
// rely on.
TEST_F(SampleBossFiles, TheLaterBossesRouteWhatTheirStepsFeed)
{
    CFSF b1103 = Read(1103);
    for (int32_t from : {0, 1, 2, 3, 4, 22}) {
        EXPECT_EQ(AtOnce(b1103, from, 16), 21) << from;  // rage: the blast
    }
    EXPECT_EQ(AtOnce(b1103, 21, 16), -1);
    EXPECT_EQ(AtOnce(b1103, 21, 100), -1);   // the blast goes on under hits
    EXPECT_EQ(AtOnce(b1103, 0, 5), 2);       // closing in
    EXPECT_EQ(AtOnce(b1103, 2, 1), 3);       // the approach
    EXPECT_EQ(AtOnce(b1103, 3, 2), -1);      // waiting in it
    EXPECT_EQ(AtOnce(b1103, 3, 10), 7);
    EXPECT_EQ(AtOnce(b1103, 3, 11), 12);
    EXPECT_EQ(AtOnce(b1103, 3, 3), 4);       // out of the cone: the turn
    EXPECT_EQ(AtOnce(b1103, 1, 11), 20);     // the double shot
    EXPECT_EQ(AtOnce(b1103, 0, 100), 22);    // hurt: the guard stance
    EXPECT_EQ(AtOnce(b1103, 22, 17), 10);    // its peek: the counter
    EXPECT_EQ(AtOnce(b1103, 22, 108), 16);   // its escape
    EXPECT_EQ(Ended(b1103, 10, 0), 11);
    EXPECT_EQ(AtOnce(b1103, 11, 4), 13);     // the chained blow
    EXPECT_EQ(Ended(b1103, 12, 0), 18);      // the flame swing
    EXPECT_EQ(AtOnce(b1103, 4, 100), 28);    // a hit in the turn: the guard
    EXPECT_EQ(AtOnce(b1103, 28, 18), 1);
    EXPECT_EQ(AtOnce(b1103, 28, 102), 22);
    EXPECT_EQ(AtOnce(b1103, 28, 0), -1);
    EXPECT_EQ(AtOnce(b1103, 0, 104), 25);    // a hero's grab
    EXPECT_EQ(AtOnce(b1103, 25, 104), 25);
    EXPECT_EQ(Ended(b1103, 25, 0), 27);
    EXPECT_EQ(AtOnce(b1103, 27, 105), 24);
    EXPECT_EQ(AtOnce(b1103, 15, 15), 26);
    for (int32_t blow : {7, 9, 10, 17}) {
        EXPECT_EQ(AtOnce(b1103, blow, 30), 23) << blow;  // held: leave the blow
    }
    EXPECT_EQ(Ended(b1103, 23, 0), 33);
    EXPECT_EQ(AtOnce(b1103, 33, 2), 1);      // the get-up's end

    CFSF b1104 = Read(1104);
    for (int32_t from : {0, 1, 2, 9, 10}) {
        EXPECT_EQ(AtOnce(b1104, from, 16), 6) << from;  // the call
    }
    EXPECT_EQ(AtOnce(b1104, 3, 16), -1);     // none while casting
    EXPECT_EQ(AtOnce(b1104, 0, 1), 1);       // circling
    EXPECT_EQ(AtOnce(b1104, 1, 21), 2);      // in reach: back off
    EXPECT_EQ(AtOnce(b1104, 1, 11), 5);      // the vines
    EXPECT_EQ(Ended(b1104, 1, 10), 3);       // the tornado
    EXPECT_EQ(Ended(b1104, 1, 6), 4);        // the bolt
    EXPECT_EQ(AtOnce(b1104, 1, 10), -1);     // only at the end of a round
    EXPECT_EQ(AtOnce(b1104, 2, 2), 1);
    EXPECT_EQ(AtOnce(b1104, 2, 100), 11);    // a hit while backing off: the guard
    EXPECT_EQ(AtOnce(b1104, 9, 17), 7);      // the peek: the counter cast
    EXPECT_EQ(AtOnce(b1104, 11, 18), 1);
    EXPECT_EQ(AtOnce(b1104, 11, 102), 10);
    EXPECT_EQ(AtOnce(b1104, 11, 0), -1);
    for (int32_t spell : {3, 4, 5, 6, 7}) {
        EXPECT_EQ(Ended(b1104, spell, 1), 1) << spell;
    }

    CFSF b1105 = Read(1105);
    EXPECT_EQ(Ended(b1105, 0, 201), -1);     // hidden until called
    for (int32_t from : {1, 2, 4}) {
        EXPECT_EQ(AtOnce(b1105, from, 201), 5) << from;  // the call is over: leave
    }
    EXPECT_EQ(AtOnce(b1105, 3, 201), -1);    // the wing balls finish first
    EXPECT_EQ(Ended(b1105, 3, 201), 5);
    EXPECT_EQ(Ended(b1105, 5, 201), 0);
    EXPECT_EQ(Ended(b1105, 4, 0), 1);        // appeared
    EXPECT_EQ(Ended(b1105, 4, 21), 3);
    EXPECT_EQ(AtOnce(b1105, 2, 21), 3);      // the wing balls
    EXPECT_EQ(AtOnce(b1105, 1, 1), 2);
    EXPECT_EQ(AtOnce(b1105, 0, 100), -1);    // no hits

    CFSF b1108 = Read(1108);
    EXPECT_EQ(AtOnce(b1108, 0, 6), 1);       // the dash
    EXPECT_EQ(AtOnce(b1108, 1, 11), 2);      // stopped: the swarm
    EXPECT_EQ(AtOnce(b1108, 1, 10), 5);      // 3 s: the teleport
    EXPECT_EQ(AtOnce(b1108, 0, 100), 3);
    EXPECT_EQ(AtOnce(b1108, 3, 11), 5);      // the strike back
    EXPECT_EQ(Ended(b1108, 5, 6), 1);

    for (int32_t type : {1109, 1110}) {
        SCOPED_TRACE(type);
        CFSF fsf = Read(type);
        EXPECT_EQ(Ended(fsf, 0, 21), 6);     // the idle timer's inputs
        EXPECT_EQ(Ended(fsf, 0, 23), 23);
        EXPECT_EQ(AtOnce(fsf, 1, 19), 2);
        EXPECT_EQ(AtOnce(fsf, 2, 11), 11);
        EXPECT_EQ(AtOnce(fsf, 2, 10), 4);
        EXPECT_EQ(Ended(fsf, 4, 1), 2);
        EXPECT_EQ(Ended(fsf, 4, 4), 5);
        for (int32_t from : {0, 1, 2, 4, 5, 17}) {
            EXPECT_EQ(AtOnce(fsf, from, 16), 14) << from;  // rage
        }
        EXPECT_EQ(Ended(fsf, 14, 0), 15);    // into the barrage
        EXPECT_EQ(AtOnce(fsf, 15, 22), 16);
        EXPECT_EQ(AtOnce(fsf, 15, 100), -1);  // which hits do not break
        EXPECT_EQ(AtOnce(fsf, 17, 17), 18);  // the flinch's counter
        EXPECT_EQ(AtOnce(fsf, 17, 108), 10);  // the escape
        EXPECT_EQ(AtOnce(fsf, 20, 106), 1);  // up again
        EXPECT_EQ(AtOnce(fsf, 0, 104), 22);  // a hero's grab
        EXPECT_EQ(AtOnce(fsf, 22, 104), 22);
        EXPECT_EQ(AtOnce(fsf, 22, 105), 19);
        EXPECT_EQ(AtOnce(fsf, 23, 18), 1);   // the guard's end
        EXPECT_EQ(AtOnce(fsf, 23, 102), 17);
        EXPECT_EQ(AtOnce(fsf, 23, 100), -1);
        EXPECT_EQ(Ended(fsf, 8, 0), 12);
        EXPECT_EQ(Ended(fsf, 12, 0), 13);
    }
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
        for (int32_t id : {100020, 100040, 100060, 100080, 100090, 100100, 100130, 100140, 100150, 100160, 100170,
                           100200, 100210, 100220}) {
            EXPECT_NE(FindFrameByUserId(clump, id), nullptr) << id;
        }
        RpClumpDestroy(clump);
    }
}

// Stage 36 holds boss 1108's three fixed teleport points: its yard stands
// about them, and the points, the heroes' starts, the boss and its three
// partners (AIIDs 100 to 102) all stand on its ground.
TEST_F(SampleBossFiles, StageThirtySixHoldsBoss1108sFixedPoints)
{
    gametest::SampleStage sample;
    ASSERT_TRUE(sample.Load(true, mkdata::SampleBossStageId(1108)));
    RpWorld *world = sample.stage.world;
    ASSERT_NE(world, nullptr);
    auto onGround = [&](RwV3d at) {
        at.y += 10.0f;
        RwReal height = -1000.0f;
        return FindGroundHeight(world, at, &height) && std::fabs(height) < 0.01f;
    };
    for (const RwV3d &point : CSBoss1108::kTeleportPoints) {
        EXPECT_TRUE(onGround(point)) << point.x << " " << point.z;
    }
    const StageInfo &info = sample.stage.stageInfo;
    EXPECT_TRUE(onGround({info.start1.x, info.start1.y, info.start1.z}));
    EXPECT_TRUE(onGround({info.start2.x, info.start2.y, info.start2.z}));
    int32_t partners = 0;
    bool boss = false;
    for (AiObject *actor = sample.stage.actorHead; actor != nullptr; actor = actor->next) {
        EXPECT_TRUE(onGround(*actor->GetPositionPtr())) << actor->aiId;
        partners += actor->aiId >= 100 && actor->aiId <= 102 && actor->aiType == mkdata::kSamplePartnerType;
        boss = boss || (actor->aiType == 1108 && actor->aiId == 2);
    }
    EXPECT_EQ(partners, 3);
    EXPECT_TRUE(boss);
}

}  // namespace

namespace {

// The first hero's plain blow (its first attack, state 40) with the
// strongest sword it can wear (its starting sword or the steel one a
// ranking gives): every boss that takes damage stands at least fifteen of
// them.
TEST(SampleBossParams, EachBossThatTakesDamageStandsFifteenPlainBlowsOfTheFirstHero)
{
    const CFSF hero = mkdata::SampleStateMachine("HERO01");
    const CharacterParams heroParams = mkdata::SampleCharacterParams("HERO01");
    int32_t bonus = 0;
    for (const EquipContent &equip : mkdata::SampleItemTables().equip) {
        if (equip.equipId == kHeroStartWeapon[0] || equip.equipId == 5100170) {
            bonus = std::max(bonus, equip.prop[0]);
        }
    }
    ASSERT_GT(bonus, 0);
    const int32_t blow = hero.GetAttackValue(40) * static_cast<int32_t>(std::trunc(heroParams.levelAppend)) + bonus;
    for (int32_t aiType : mkdata::SampleBossTypes()) {
        if (aiType == 1105) {
            continue;  // it ignores hits
        }
        const CharacterParams boss = mkdata::SampleBossParams(aiType);
        const int32_t cost = blow - boss.defense;
        ASSERT_GT(cost, 0) << aiType;
        EXPECT_GE((boss.maxHP + cost - 1) / cost, 15) << aiType;
    }
}

}  // namespace

}  // namespace sample_boss_files_test
