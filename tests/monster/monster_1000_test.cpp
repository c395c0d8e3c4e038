// Monster 1000 frame by frame: its counter against a hero that attacks
// close by, its chase of a hero that swings without pause, its recovery roll, the half angle taken in radians, the knock,
// the down hit at its motion's frame; and 600 ticks of the first sample
// stage with the hero standing at its start, which the monster leaves
// alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "actor/actor_pass.h"
#include "actor/actor_placement.h"
#include "actor/hero.h"
#include "app/game_rand.h"
#include "monster/kit_common.h"
#include "stage/v3.h"
#include "monster_scenario.h"

namespace monster_1000_test {

namespace {

using gametest::FsfBuilder;
using monstertest::MonsterScenario;

constexpr int32_t kType = 1000;
constexpr RwV3d kHome = {0.0f, 0.0f, 60.0f};
constexpr RwV3d kSouth = {0.0f, 0.0f, -1.0f};

// Where a point `distance` away from the monster at home (facing -z) lies,
// `degrees` off its facing.
RwV3d OffFacing(float degrees, float distance)
{
    const float r = degrees * 3.14159265f / 180.0f;
    return {kHome.x + distance * std::sin(r), 0.0f, kHome.z - distance * std::cos(r)};
}

using Monster1000 = MonsterScenario;

TEST_F(Monster1000, ItCountersAHeroThatAttacksCloseBy)
{
    AiObject *m = Place(kType, kHome, kSouth);
    FsfBuilder b;
    for (int32_t state : {0, 2, 3}) {
        b.State(state).To(19, 19, 1);
    }
    b.State(19);
    UseStateMachine(kType, b.Build());
    PutHero(OffFacing(0.0f, 25.0f), {0.0f, 0.0f, 1.0f});  // within twice its AttackRange (15)
    Ticks(3);
    EXPECT_EQ(m->state, 0);  // the hero does not attack
    ASSERT_EQ(m->target, &hero);
    hero.attacking = true;
    hero.state5 = true;  // getting up: no counter
    m->stateRandom = 10;
    Ticks(2);
    EXPECT_EQ(m->state, 0);
    hero.state5 = false;
    m->stateRandom = 66;  // the counter comes only at 65 and below
    Ticks(2);
    EXPECT_EQ(m->state, 0);
    m->stateRandom = 65;
    Tick();
    EXPECT_EQ(m->state, 19);
    // Up to state 2 only: from state 3 on a low draw brings no counter.
    Enter(m, 3);
    m->stateRandom = 10;
    Ticks(2);
    EXPECT_EQ(m->state, 3);
    Enter(m, 2);
    m->stateRandom = 10;
    Tick();
    EXPECT_EQ(m->state, 19);
}

// The roll of state 6 once its motion has ended: 0 or 3, and 19 only with
// a target whose state-5 flag is clear; otherwise an input no transition
// names, so that the state's default transition is taken.
TEST_F(Monster1000, TheRecoveryRollFeedsZeroThreeOrTheCounter)
{
    AiObject *m = Place(kType, kHome, kSouth);
    FsfBuilder b;
    b.State(0);
    b.State(3);
    b.State(6).To(3, 3).To(19, 19).To(0, 0);
    b.State(19);
    UseStateMachine(kType, b.Build());
    auto outcomes = [&](int rounds) {
        std::set<int32_t> seen;
        for (int i = 0; i < rounds; ++i) {
            Enter(m, 6);
            game::Srand(static_cast<uint32_t>(i * 7919));  // entered at another time of the game
            TicksUntil([&] { return m->state != 6; }, 200);
            seen.insert(m->state);
        }
        return seen;
    };
    PutHero({0.0f, 0.0f, -60.0f});  // no target
    const std::set<int32_t> alone = outcomes(30);
    EXPECT_EQ(alone.count(19), 0u);
    EXPECT_EQ(alone, (std::set<int32_t>{0, 3}));
    PutHero(OffFacing(0.0f, 40.0f));
    const std::set<int32_t> watched = outcomes(40);
    EXPECT_EQ(watched.count(19), 1u);
}

// Its half angle (0.7 in the sample, about 40 degrees) is taken in
// radians: a hero 30 degrees off its facing within attack range is struck,
// one 60 degrees off makes it turn (input 3). (The cosine is taken from 4
// units behind it, which narrows the angles.)
TEST_F(Monster1000, ItsHalfAngleIsTakenInRadians)
{
    AiObject *m = Place(kType, kHome, kSouth);
    FsfBuilder b;
    b.State(0).To(2, 2, 1);
    b.State(2).To(10, 10, 1).To(3, 3, 1);
    b.State(3);
    b.State(10);
    UseStateMachine(kType, b.Build());
    PutHero(OffFacing(30.0f, 12.0f));
    Ticks(20);  // the attack delay of 0.15 s
    EXPECT_EQ(m->state, 10);
    Enter(m, 2);
    m->attackDelayTimer = 0.0f;
    PutHero(OffFacing(60.0f, 12.0f));
    Ticks(20);
    EXPECT_EQ(m->state, 3);
}

TEST_F(Monster1000, TheKnockAndTheDownHit)
{
    AiObject *m = Place(kType, kHome, kSouth);
    PutHero({0.0f, 0.0f, -30.0f});
    // The sample state machine: from the attack 5 the knock leads to 30,
    // which gives input 2 after 1.5 s.
    Enter(m, 5);
    m->knock = true;
    Tick();
    EXPECT_EQ(m->state, 30);
    m->knock = false;
    const int ticks = TicksUntil([&] { return m->state != 30; }, 200);
    EXPECT_EQ(m->state, 2);
    EXPECT_NEAR(ticks * monstertest::kDt, 1.5f, 0.05f);
    // Knocked flying (13), it lands past frame 726: the down-hit effect and
    // a hit-stop, once per entry.
    Enter(m, 13);
    TicksUntil([&] { return m->hitStopPending || m->state != 13; }, 120);
    EXPECT_EQ(m->state, 13);
    EXPECT_TRUE(m->hitStopPending);
    EXPECT_GT(monster::MotionFrameOf(m), 726.0f);
    EXPECT_EQ(EffectStarts("DownHit"), 1);
    Ticks(10);
    EXPECT_EQ(EffectStarts("DownHit"), 1);
}

// With its sample state machine, against a hero that swings without pause
// (its attacking flag always set): the monster keeps the hero as its
// target, closes in on it and strikes, and its state does not change on
// every tick.
TEST_F(Monster1000, ItClosesInOnAHeroThatSwingsWithoutPause)
{
    AiObject *m = Place(kType, kHome, kSouth);
    PutHero(OffFacing(0.0f, 45.0f), {0.0f, 0.0f, 1.0f});
    hero.hp = 1000000;
    hero.attacking = true;
    float nearest = 45.0f;
    int blows = 0;
    int withoutTarget = 0;
    std::vector<int32_t> states;
    for (int i = 0; i < 600; ++i) {
        Tick();
        states.push_back(m->state);
        withoutTarget += i >= 5 && m->target != &hero;
        nearest = std::min(nearest, V3Distance(*hero.GetPositionPtr(), *m->GetPositionPtr()));
        for (const MSGData &msg : HeroMessages()) {
            blows += msg.kind == kMsgHitHero && msg.word[2] > 0;
        }
    }
    EXPECT_EQ(withoutTarget, 0);
    EXPECT_LT(nearest, monster::ParamsOf(m).attackRange);
    EXPECT_GE(blows, 1);
    EXPECT_LT(monstertest::LongestChangingRun(states), 5);  // a chain of routes at most
}

// A hero seen outside the monster's territory is ignored: beyond its home
// distance (25) the monster keeps no target for its ignore-foes time
// (6.0 s), even once the hero has come in. A blow ends that at once: it
// takes the hero as its target.
TEST_F(Monster1000, AStruckMonsterStopsIgnoringTheHeroAtOnce)
{
    Territory area;
    area.id = 99;
    area.points = {{-30.0f, 0.0f}, {30.0f, 0.0f}, {30.0f, 90.0f}, {-30.0f, 90.0f}};
    stage.territories.push_back(area);
    auto ignoring = [&]() {
        AiObject *m = Place(kType, kHome, kSouth);
        FsfBuilder b;
        b.State(0);  // it stays where it stands
        UseStateMachine(kType, b.Build());
        m->territory = area.id;  // as its placement gives it
        m->SetPosition({0.0f, 0.0f, 25.0f});  // 35 from home, beyond its 25
        PutHero({0.0f, 0.0f, -30.0f});  // within its search range, out of the territory
        Ticks(5);
        EXPECT_TRUE(m->ignoreFoes);
        EXPECT_EQ(m->target, nullptr);
        PutHero({0.0f, 0.0f, 10.0f});  // inside now
        Ticks(30);
        EXPECT_EQ(m->target, nullptr) << "still ignoring";
        return m;
    };
    AiObject *m = ignoring();
    Hit(m, kAtkPlain, 1);
    Ticks(3);
    EXPECT_FALSE(m->ignoreFoes);
    EXPECT_EQ(m->target, &hero);

    m->removed = true;
    AiObject *alone = ignoring();
    const int ticks = TicksUntil([&] { return alone->target == &hero; }, 600);
    EXPECT_NEAR((ticks + 35) * monstertest::kDt, 6.0f, 0.1f);
}

// The first sample stage as it is placed, the hero standing where the
// stage starts it: for 600 ticks the monster keeps to its territory and
// the hero is never struck.
class Monster1000Idle : public stagetest::StageEngineTest {
protected:
    void TearDown() override
    {
        monstertest::UndressHero(&sample.stage, &hero, &heroTemplate);
        sample.Release();
        StageEngineTest::TearDown();
    }
    gametest::SampleStage sample;
    CSModelTemplate heroTemplate;
    CSHero hero;
};

TEST_F(Monster1000Idle, TheHeroOutlastsSixHundredTicksAtItsStart)
{
    ASSERT_TRUE(sample.Load(true));
    CSStageManager &stage = sample.stage;
    AiObject *monster = stage.FindAiObjectById(1);
    ASSERT_NE(monster, nullptr);
    ASSERT_EQ(monster->aiType, kType);
    const StageStart &start = stage.stageInfo.start1;
    ASSERT_TRUE(monstertest::DressHero(&stage, &hero, &heroTemplate, {start.x, start.y, start.z}));
    const Territory *area = stage.FindTerritory(monster->territory);
    ASSERT_NE(area, nullptr);
    int struck = 0;
    for (int tick = 0; tick < 600; ++tick) {
        ActorFrame frame = MakeActorFrame(&stage, nullptr);
        frame.camera = {0.0f, 60.0f, -120.0f};
        RunActorPass(&stage, monstertest::kDt, frame);
        while (MSGData *m = hero.PopMessage()) {
            struck += m->kind == kMsgHitHero;
            FreeMessage(m);
        }
        ASSERT_FALSE(monster->removed);
        EXPECT_TRUE(IsInsideTerritory(*area, *monster->GetPositionPtr())) << tick;
    }
    EXPECT_EQ(struck, 0);
    EXPECT_EQ(monster->target, nullptr);
    EXPECT_LT(V3Distance(*monster->GetPositionPtr(), monster->home), 10.0f);
}

}  // namespace

}  // namespace monster_1000_test
