// The grab monsters 1004, 1003 and 1002 frame by frame on the arena: the
// seize of a hero in front, the hold that keeps it ahead as the monster
// turns, the release after 3 s, on the hero's own bit 512 and at death
// (1003 too), a hero already held and one held against a wall, and 1002's
// side step; 1003 with its sample state machine closing in on a hero,
// striking and seizing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

#include "app/game_rand.h"
#include "monster/kit_common.h"
#include "monster/monster_1003.h"
#include "stage/v3.h"
#include "monster/monster_1004.h"
#include "monster_scenario.h"

namespace grab_monsters_test {

namespace {

using gametest::FsfBuilder;
using monstertest::MonsterScenario;

constexpr RwV3d kHome = {0.0f, 0.0f, 60.0f};
constexpr RwV3d kSouth = {0.0f, 0.0f, -1.0f};

class GrabMonsters : public MonsterScenario {
protected:
    // The seize 11 (AttackValue 8) into the hold 13, left by 15 (the hold's
    // end) or 14 (the hero's release), and death from the hold.
    AiObject *Grabber(int32_t type, int32_t dying)
    {
        AiObject *m = Place(type, kHome, kSouth);
        FsfBuilder b;
        b.State(0);
        b.State(11).Attack(8, 0).To(13, 13, 1).To(0, 0);
        b.State(13).To(15, 15, 1).To(14, 14, 1).To(120, dying, 1).To(121, dying, 1);
        b.State(14).To(0, 0);
        b.State(15).To(0, 0);
        b.State(dying).Hurt(0).To(0, dying + 2);
        b.State(dying + 2).Hurt(0);
        UseStateMachine(type, b.Build());
        return m;
    }
    // The hero stands `distance` ahead of the monster, facing it.
    void HeroAhead(float distance) { PutHero({kHome.x, 0.0f, kHome.z - distance}, {0.0f, 0.0f, 1.0f}); }
    float HeroAheadOf(AiObject *m)
    {
        RwV3d facing;
        m->GetDirection(&facing);
        return V3Dot(V3Sub(*hero.GetPositionPtr(), *m->GetPositionPtr()), facing);
    }
    // Seizes the hero standing `distance` ahead: the monster then holds it
    // (state 13); the seizing message is read and dropped.
    void SeizeFrom(AiObject *m, float distance)
    {
        HeroAhead(distance);
        Enter(m, 11);
        Tick();
        ASSERT_EQ(m->state, 13);
        HeroMessages();
    }
    // The state of a fresh monster of `type` a tick after it entered its
    // seize with the hero out of reach, struck just before: its machine
    // leads from the seize to `blowTo` on the blow's input and to `idleTo`
    // on the idle input.
    int32_t StateAfterAMissedSeize(int32_t type, int32_t blowTo, int32_t idleTo)
    {
        AiObject *m = Place(type, kHome, kSouth);
        FsfBuilder b;
        b.State(0);
        b.State(11).To(0, idleTo, 1).To(100, blowTo, 1);
        b.State(blowTo);
        b.State(idleTo);
        UseStateMachine(type, b.Build());
        HeroAhead(60.0f);
        Hit(m, kAtkPlain, 1);
        Tick();
        Enter(m, 11);
        Tick();
        m->removed = true;
        return m->state;
    }
    // The kind-2 messages the hero got since the last call with these bits.
    int CountHits(int32_t bits)
    {
        int n = 0;
        for (const MSGData &msg : HeroMessages()) {
            n += msg.kind == kMsgHitHero && msg.word[1] == bits;
        }
        return n;
    }
};

TEST_F(GrabMonsters, Monster1004HoldsAHeroOneUnitAheadAndLetsGoAfterThreeSeconds)
{
    auto *m = static_cast<CSMonster1004 *>(Grabber(1004, 27));
    HeroAhead(10.0f);
    Enter(m, 11);
    Tick();
    const std::vector<MSGData> seized = HeroMessages();
    ASSERT_EQ(seized.size(), 1u);
    EXPECT_EQ(seized[0].word[1], kAtkGrabFront);  // face to face
    EXPECT_EQ(seized[0].word[2], 8 * 4);          // AttackValue x trunc(LevelAppend 4)
    EXPECT_TRUE(hero.held);
    EXPECT_EQ(m->HeldHero1004(), &hero);
    EXPECT_TRUE(m->frontGrab);
    EXPECT_EQ(m->state, 13);
    EXPECT_NEAR(HeroAheadOf(m), 1.0f, 1e-3f);
    RwV3d heroFacing;
    hero.GetDirection(&heroFacing);
    EXPECT_NEAR(heroFacing.z, 1.0f, 1e-4f);  // turned to face the monster
    // It follows the monster's turns.
    m->Rotate({0.0f, 1.0f, 0.0f}, 90.0f);
    Tick();
    EXPECT_NEAR(HeroAheadOf(m), 1.0f, 1e-3f);
    EXPECT_EQ(m->grabWord, 0);
    // After 3 s the hold ends (input 15) and the hero is let go.
    const int ticks = TicksUntil([&] { return m->state != 13; }, 400);
    EXPECT_EQ(m->state, 15);
    EXPECT_NEAR((ticks + 1) * monstertest::kDt, 3.0f, 0.05f);
    Tick();
    EXPECT_EQ(CountHits(kAtkReleaseHeld), 1);
    EXPECT_EQ(m->HeldHero1004(), nullptr);
    EXPECT_EQ(m->HoldTimer1004(), 0.0f);
}

TEST_F(GrabMonsters, Monster1004LetsGoWhenTheHeroBreaksFreeAndWhenItDies)
{
    auto *m = static_cast<CSMonster1004 *>(Grabber(1004, 27));
    SeizeFrom(m, 10.0f);
    Hit(m, kAtkReleaseHeld, 0);
    Ticks(3);
    EXPECT_EQ(m->state, 14);
    EXPECT_EQ(CountHits(kAtkReleaseHeld), 1);
    EXPECT_EQ(m->HeldHero1004(), nullptr);
    EXPECT_EQ(m->grabWord, 0);  // only its death sets it

    hero.held = false;  // the hero's side lets go of its flag
    SeizeFrom(m, 10.0f);
    m->hp = 1;
    Hit(m, kAtkPlain, 40);
    Ticks(4);
    EXPECT_TRUE(m->dying);
    EXPECT_EQ(m->state, 27);
    EXPECT_EQ(CountHits(kAtkReleaseHeld), 1);
    EXPECT_EQ(m->HeldHero1004(), nullptr);
    EXPECT_EQ(m->grabWord, 1);
}

TEST_F(GrabMonsters, AHeroAlreadyHeldIsNotSeizedNorKept)
{
    auto *m = static_cast<CSMonster1004 *>(Grabber(1004, 27));
    HeroAhead(10.0f);
    hero.held = true;  // another monster holds it
    Enter(m, 11);
    Ticks(3);
    EXPECT_EQ(CountHits(kAtkGrabFront), 0);
    EXPECT_EQ(m->HeldHero1004(), nullptr);
    EXPECT_EQ(m->state, 11);
    // Nor is one out of play.
    hero.held = false;
    hero.removed = true;
    Enter(m, 11);
    Ticks(3);
    EXPECT_EQ(CountHits(kAtkGrabFront), 0);
    EXPECT_EQ(m->HeldHero1004(), nullptr);
    EXPECT_FALSE(hero.held);
    hero.removed = false;
    // Seized from behind: bit 256, not face to face.
    hero.held = false;
    PutHero({kHome.x, 0.0f, kHome.z - 10.0f}, kSouth);
    Enter(m, 11);
    Tick();
    EXPECT_EQ(CountHits(kAtkGrabBack), 1);
    EXPECT_FALSE(m->frontGrab);
}

// A hero standing side-on (their facings at right angles) is seized face
// to face: bit 128, held a front grab's distance ahead.
TEST_F(GrabMonsters, AHeroStandingSideOnIsSeizedFaceToFace)
{
    auto *m = static_cast<CSMonster1004 *>(Grabber(1004, 27));
    PutHero({kHome.x, 0.0f, kHome.z - 10.0f}, {1.0f, 0.0f, 0.0f});
    Enter(m, 11);
    Tick();
    EXPECT_EQ(CountHits(kAtkGrabFront), 1);
    EXPECT_TRUE(m->frontGrab);
    EXPECT_NEAR(HeroAheadOf(m), 1.0f, 1e-3f);
}

TEST_F(GrabMonsters, Monster1003HoldsTheHeroFifteenUnitsAheadAndLetsGoAtDeath)
{
    auto *m = static_cast<CSMonster1003 *>(Grabber(1003, 27));
    SeizeFrom(m, 12.0f);
    EXPECT_EQ(m->HeldHero1003(), &hero);
    EXPECT_NEAR(HeroAheadOf(m), 15.0f, 1e-3f);
    Ticks(10);
    EXPECT_NEAR(HeroAheadOf(m), 15.0f, 1e-3f);
    EXPECT_GT(m->HoldTimer1003(), 0.1f);
    EXPECT_EQ(m->grabWord, 0);
    // Its release (the hero breaks free: 14) sets its grab word.
    Hit(m, kAtkReleaseHeld, 0);
    Ticks(3);
    EXPECT_EQ(m->state, 14);
    EXPECT_EQ(CountHits(kAtkReleaseHeld), 1);
    EXPECT_EQ(m->grabWord, 1);
    hero.held = false;
    SeizeFrom(m, 12.0f);
    m->hp = 1;
    Hit(m, kAtkPlain, 40);
    Ticks(4);
    EXPECT_TRUE(m->dying);
    EXPECT_EQ(CountHits(kAtkReleaseHeld), 1);  // let go at death as the others do
    EXPECT_EQ(m->HeldHero1003(), nullptr);
}

// Against the arena's south wall (z = -200) a monster that holds its hero
// 15 units ahead keeps it on its own side of the wall, at the seize and
// while it holds it; in the open it holds it at its full 15 units.
TEST_F(GrabMonsters, AHeldHeroStaysOnTheMonstersSideOfAWall)
{
    auto *m = static_cast<CSMonster1003 *>(Grabber(1003, 27));
    const RwV3d nearWall = {0.0f, 0.0f, -190.0f};
    m->SetPosition(nearWall);
    m->SyncFrameAxes();
    PutHero({0.0f, 0.0f, -195.0f}, {0.0f, 0.0f, 1.0f});
    Enter(m, 11);
    Tick();
    ASSERT_EQ(m->state, 13);
    const float radius = monster::ParamsOf(&hero).radius;
    EXPECT_GT(hero.GetPositionPtr()->z, -200.0f + radius - 0.5f);
    EXPECT_LT(hero.GetPositionPtr()->z, nearWall.z);
    Ticks(10);
    EXPECT_GT(hero.GetPositionPtr()->z, -200.0f + radius - 0.5f);
    HeroMessages();
}

TEST_F(GrabMonsters, Monster1002HoldsAtArmsLengthAndStepsAside)
{
    auto *m = static_cast<CSMonster1003 *>(Grabber(1002, 28));
    HeroAhead(10.0f);
    Enter(m, 11);
    Tick();
    ASSERT_EQ(m->state, 13);
    EXPECT_EQ(m->HeldHero1002(), &hero);
    EXPECT_NEAR(HeroAheadOf(m), 6.0f, 1e-3f);  // seized face to face
    Tick();
    EXPECT_NEAR(HeroAheadOf(m), 7.0f, 1e-3f);  // and held a little further
    hero.held = false;

    // The side step: a side drawn on every act before, then a sideways move
    // that speeds up by the state's acceleration on every act.
    FsfBuilder b;
    b.State(0);
    b.State(27).Acceleration(2.0f);
    UseStateMachine(1002, b.Build());
    PutHero({0.0f, 0.0f, -15.0f});
    Enter(m, 0);
    Ticks(3);
    const int32_t side = m->SideStep1002();
    EXPECT_TRUE(side == 0 || side == 1);
    const RwV3d from = *m->GetPositionPtr();
    RwV3d right = RwFrameGetMatrix(RpClumpGetFrame(m->Clump()))->right;
    Enter(m, 27);
    Ticks(30);
    const RwV3d moved = V3Sub(*m->GetPositionPtr(), from);
    const float along = V3Dot(moved, right) * (side == 1 ? -1.0f : 1.0f);
    EXPECT_GT(along, 5.0f);
    EXPECT_EQ(m->SideStep1002(), side);  // not drawn again in state 27

    // Outside state 27 each act draws the side anew, as even as the game's
    // draw: the reversed side (1) when the draw is even.
    Enter(m, 0);
    Tick();
    int reversed = 0;
    for (uint32_t seed = 1; seed <= 16; ++seed) {
        SCOPED_TRACE(seed);
        game::Srand(seed);
        const int32_t drawn = game::Rand() % 2 == 0 ? 1 : 0;
        game::Srand(seed);
        Tick();
        EXPECT_EQ(m->SideStep1002(), drawn);
        reversed += drawn;
    }
    EXPECT_GT(reversed, 0);
    EXPECT_LT(reversed, 16);
}

}  // namespace

namespace {

// With its sample state machine, monster 1003 placed 25 units from a hero
// (inside its alarm circle, outside its attack range) closes in, strikes
// and seizes the hero within 2000 ticks; it never stands still in its
// state 2 all that while. The hero stands, let go as its own update would.
TEST_F(GrabMonsters, Monster1003ClosesInStrikesAndSeizesWithItsSampleStates)
{
    AiObject *m = Place(1003, kHome, kSouth);
    HeroAhead(25.0f);
    hero.hp = 1000000;
    const float attackRange = monster::ParamsOf(m).attackRange;
    float nearest = 25.0f;
    int blows = 0;
    int seizes = 0;
    int ticksInTwo = 0;
    constexpr int32_t kDraws[3] = {65, 30, 90};
    int draws = 0;
    int32_t last = m->state;
    std::set<int32_t> states;
    for (int i = 0; i < 2000; ++i) {
        Tick();
        if (m->state == 2 && last != 2) {
            // The draws of its set-state step on the game's clock, which
            // stands still here: a seize, a blow, a turn.
            m->stateRandom = kDraws[draws++ % 3];
        }
        last = m->state;
        states.insert(m->state);
        ticksInTwo += m->state == 2;
        nearest = std::min(nearest, V3Length(V3Sub(*hero.GetPositionPtr(), *m->GetPositionPtr())));
        for (const MSGData &msg : HeroMessages()) {
            if (msg.kind != kMsgHitHero) {
                continue;
            }
            if ((msg.word[1] & (kAtkGrabFront | kAtkGrabBack)) != 0) {
                ++seizes;
            } else if (msg.word[1] == kAtkReleaseHeld) {
                hero.held = false;
            } else if (msg.word[2] > 0) {
                ++blows;
            }
        }
    }
    EXPECT_LT(ticksInTwo, 2000);
    EXPECT_LT(nearest, attackRange);  // it came into its attack range
    EXPECT_GE(blows, 1);
    EXPECT_GE(seizes, 1);
    EXPECT_EQ(states.count(13), 1u);  // the hold
}

}  // namespace

namespace {

// The blow each grab type chooses once its attack delay has run, with the
// hero within its attack range and half angle: from any state but 2 it
// gets ready (input 2); in state 2 its state random picks the blow (1004:
// 10 below 60, else the seize 11; 1003: 10 below 60, the seize below 70,
// else a turn (3); 1002: 10 below 50, 12 below 70, else 20). With the hero
// outside its half angle once the delay has run it turns (input 3)
// instead of getting ready (1003, which turns only by the draw, gets
// ready).
TEST_F(GrabMonsters, EachTypeChoosesItsBlowByItsStateAndDraw)
{
    const struct {
        int32_t type;
        int32_t draw;
        int32_t blow;
    } rows[] = {{1004, 0, 10},  {1004, 59, 10}, {1004, 60, 11}, {1004, 99, 11}, {1003, 0, 10},
                {1003, 59, 10}, {1003, 60, 11}, {1003, 69, 11}, {1003, 70, 3},  {1003, 99, 3},
                {1002, 0, 10},  {1002, 49, 10}, {1002, 50, 12}, {1002, 69, 12}, {1002, 70, 20},
                {1002, 99, 20}};
    for (const auto &r : rows) {
        SCOPED_TRACE(std::to_string(r.type) + " draw " + std::to_string(r.draw));
        AiObject *m = Place(r.type, kHome, kSouth);
        FsfBuilder b;
        b.State(0).To(2, 2, 1).To(3, 3, 1);
        b.State(2).To(10, 10, 1).To(11, 11, 1).To(12, 12, 1).To(20, 20, 1).To(3, 3, 1);
        for (int32_t s : {3, 10, 11, 12, 20}) {
            b.State(s);
        }
        UseStateMachine(r.type, b.Build());
        HeroAhead(12.0f);
        TicksUntil([&] { return m->state != 0; }, 120);
        ASSERT_EQ(m->state, 2) << "ready first";
        m->stateRandom = r.draw;
        m->attackDelayTimer = 1.0f;  // the delay has run
        TicksUntil([&] { return m->state != 2; }, 120);
        EXPECT_EQ(m->state, r.blow);
        hero.held = false;
        m->removed = true;
    }
    // Outside the half angle (60 degrees off its facing).
    for (int32_t type : {1004, 1002, 1003}) {
        SCOPED_TRACE(type);
        AiObject *m = Place(type, kHome, kSouth);
        FsfBuilder b;
        b.State(0).To(2, 2, 1).To(3, 3, 1);
        b.State(2);
        b.State(3);
        UseStateMachine(type, b.Build());
        PutHero({kHome.x + 12.0f * 0.866f, 0.0f, kHome.z - 12.0f * 0.5f}, {0.0f, 0.0f, 1.0f});
        TicksUntil(
            [&] {
                m->attackDelayTimer = 1.0f;
                return m->state != 0;
            },
            120);
        EXPECT_EQ(m->state, type == 1003 ? 2 : 3);
        m->removed = true;
    }
    // Once the delay has run, facing the hero outside state 2, each gets
    // ready (input 2) whatever its draw.
    for (int32_t type : {1004, 1002, 1003}) {
        for (int32_t draw : {0, 99}) {
            SCOPED_TRACE(std::to_string(type) + " outside state 2, draw " + std::to_string(draw));
            AiObject *m = Place(type, kHome, kSouth);
            FsfBuilder b;
            b.State(0).To(2, 2, 1).To(3, 3, 1).To(10, 10, 1).To(11, 11, 1).To(12, 12, 1).To(20, 20, 1);
            for (int32_t s : {2, 3, 10, 11, 12, 20}) {
                b.State(s);
            }
            UseStateMachine(type, b.Build());
            m->stateRandom = draw;
            HeroAhead(12.0f);
            TicksUntil(
                [&] {
                    m->attackDelayTimer = 1.0f;
                    return m->state != 0;
                },
                120);
            EXPECT_EQ(m->state, 2);
            hero.held = false;
            m->removed = true;
        }
    }
}

// While it burns, 1002 loses its resistances (a blow with bit 2, which it
// resists otherwise, makes it reel: input 103) and has them back once the
// flames are out; 1003 and 1004 keep theirs through the flames.
TEST_F(GrabMonsters, Type1002LosesItsResistancesWhileItBurns)
{
    PutHero({0.0f, 0.0f, -15.0f});
    for (int32_t type : {1002, 1003, 1004}) {
        SCOPED_TRACE(type);
        AiObject *m = Place(type, kHome, kSouth);
        FsfBuilder b;
        for (int32_t s : {0, 5, 6}) {
            b.State(s).To(100, 5, 1).To(103, 6, 1);
        }
        UseStateMachine(type, b.Build());
        m->hp = 1000000;
        Hit(m, kAtkBurn, 0);
        ASSERT_GE(TicksUntil([&] { return (m->activeStatus & kStatusBurning) != 0; }, 10), 0);
        Tick();
        Hit(m, kAtkPlain | kAtkHurt2, 0);
        Ticks(2);
        EXPECT_EQ(m->state, type == 1002 ? 6 : 5);
        ASSERT_GE(TicksUntil([&] { return (m->activeStatus & kStatusBurning) == 0; }, 700), 0);
        Tick();
        Hit(m, kAtkPlain | kAtkHurt2, 0);
        Ticks(2);
        EXPECT_EQ(m->state, 5);
        m->removed = true;
    }
}

// A hero within the alarm circle but out of attack range brings each grab
// type on by its own rule: 1004 facing it gets ready (input 2), or seizes
// from state 2 (11), and turns to a hero off its half angle (3); 1003 gets
// ready wherever the hero stands (2); 1002 facing it seizes on a draw below
// 30 (11) and closes in otherwise (1), as it does to a hero off its angle.
TEST_F(GrabMonsters, TheAlarmCircleBringsEachTypeOnByItsOwnRule)
{
    const struct {
        int32_t type;
        int32_t state;
        int32_t draw;
        bool offAngle;
        int32_t to;  // input 2 from state 2 leads to 4
    } rows[] = {{1004, 0, 0, false, 2}, {1004, 2, 0, false, 11}, {1004, 0, 0, true, 3},
                {1003, 0, 0, false, 2}, {1003, 2, 0, false, 4},  {1003, 0, 0, true, 2},
                {1002, 0, 0, false, 11}, {1002, 0, 29, false, 11}, {1002, 0, 30, false, 1},
                {1002, 0, 0, true, 1}};
    for (const auto &r : rows) {
        SCOPED_TRACE(std::to_string(r.type) + " in " + std::to_string(r.state) + " draw " + std::to_string(r.draw) +
                     (r.offAngle ? " off its angle" : ""));
        AiObject *m = Place(r.type, kHome, kSouth);
        FsfBuilder b;
        b.State(0).To(1, 1, 1).To(2, 2, 1).To(3, 3, 1).To(11, 11, 1);
        b.State(2).To(1, 1, 1).To(2, 4, 1).To(3, 3, 1).To(11, 11, 1);
        for (int32_t s : {1, 3, 4, 11}) {
            b.State(s);
        }
        UseStateMachine(r.type, b.Build());
        if (r.offAngle) {
            PutHero({kHome.x + 25.0f * 0.866f, 0.0f, kHome.z - 25.0f * 0.5f}, {0.0f, 0.0f, 1.0f});
        } else {
            HeroAhead(25.0f);
        }
        if (r.state != 0) {
            Enter(m, r.state);
        }
        m->stateRandom = r.draw;
        TicksUntil([&] { return m->state != r.state; }, 30);
        EXPECT_EQ(m->state, r.to);
        m->removed = true;
    }
}

// The seize (state 11) is the grab monsters' and 1021's only blow there: its
// weapons strike no one in state 11, where the same weapons swung in
// another attack state strike the hero standing in front.
TEST_F(GrabMonsters, TheSeizeStateStrikesWithNoWeapon)
{
    for (int32_t type : {1004, 1003, 1002, 1021}) {
        for (int32_t state : {10, 11}) {
            SCOPED_TRACE(std::to_string(type) + " in " + std::to_string(state));
            AiObject *m = Place(type, kHome, kSouth);
            FsfBuilder b;
            b.State(0);
            b.State(state).Attack(8, 1).Weapon(100130).Weapon(100140);
            UseStateMachine(type, b.Build());
            HeroAhead(9.0f);
            hero.grabbable = false;  // no seize either
            HeroMessages();
            Enter(m, state);
            Ticks(60);
            int blows = 0;
            for (const MSGData &msg : HeroMessages()) {
                blows += msg.kind == kMsgHitHero && msg.word[2] > 0;
            }
            EXPECT_EQ(blows, state == 11 ? 0 : 1);
            hero.grabbable = true;
            m->removed = true;
        }
    }
}

// A seize that finds no hero idles (input 0) and goes where that leads,
// but a blow taken meanwhile is answered: the hurt state the blow chose
// stands.
TEST_F(GrabMonsters, AMissedSeizeIdlesUnlessABlowCameFirst)
{
    for (int32_t type : {1004, 1003, 1002}) {
        for (bool struck : {false, true}) {
            SCOPED_TRACE(std::to_string(type) + (struck ? " struck" : " alone"));
            AiObject *m = Place(type, kHome, kSouth);
            FsfBuilder b;
            b.State(0);
            b.State(11).To(0, 0, 1).To(100, 16, 1);
            b.State(16);
            UseStateMachine(type, b.Build());
            HeroAhead(60.0f);  // out of reach
            if (struck) {
                Hit(m, kAtkPlain, 1);
                Tick();  // delivered
            }
            Enter(m, 11);
            Tick();
            EXPECT_EQ(m->state, struck ? 16 : 0);
            m->removed = true;
        }
        // Where the state machine's idle input leads on from the seize (here
        // to 12), the monster goes there.
        SCOPED_TRACE(std::to_string(type) + " led on");
        AiObject *m = Place(type, kHome, kSouth);
        FsfBuilder b;
        b.State(0);
        b.State(11).To(0, 12, 1);
        b.State(12);
        UseStateMachine(type, b.Build());
        HeroAhead(60.0f);
        Enter(m, 11);
        Tick();
        EXPECT_EQ(m->state, 12);
        m->removed = true;
    }
    // A blow answered is kept from state 16 up to the type's hold state
    // (35 for 1004 and 1003, 37 for 1002); one leading past it idles.
    const struct {
        int32_t type;
        int32_t keptTo;
    } ranges[] = {{1004, 35}, {1003, 35}, {1002, 37}};
    for (const auto &r : ranges) {
        for (int32_t blowTo : {r.keptTo, r.keptTo + 1}) {
            if (r.type == 1003 && blowTo == r.keptTo) {
                continue;  // 1003's states end at 34: a kept 35 is never entered
            }
            SCOPED_TRACE(std::to_string(r.type) + " blow to " + std::to_string(blowTo));
            EXPECT_EQ(StateAfterAMissedSeize(r.type, blowTo, 0), blowTo == r.keptTo ? r.keptTo : 0);
        }
        // A blow leading below 16 with an idle that leads to 38: 1002 takes
        // the idle's result only below 38, so the blow's state stands; the
        // others take it, and a state past their last is never entered.
        SCOPED_TRACE(std::to_string(r.type) + " idle to 38");
        EXPECT_EQ(StateAfterAMissedSeize(r.type, 5, 38), r.type == 1002 ? 5 : 11);
    }
}

}  // namespace

namespace {

// Charging (state 7), 1004 throws the two charge sparks from its body (a
// pair on every second act, each burning out on its own where it was
// emitted); 1002 and 1003 throw none there, and 1003 throws one spark that
// follows its weapon once per entry of state 4 instead.
TEST_F(GrabMonsters, TheChargeSparksOf1004AndThe1003sState4Spark)
{
    const struct {
        int32_t type;
        int32_t state;
        int32_t systems;
    } rows[] = {{1004, 7, 2}, {1002, 7, 0}, {1003, 7, 0}, {1003, 4, 1}, {1004, 4, 0}};
    PutHero({0.0f, 0.0f, -60.0f});
    for (const auto &r : rows) {
        SCOPED_TRACE(std::to_string(r.type) + " in " + std::to_string(r.state));
        AiObject *m = Place(r.type, kHome, kSouth);
        FsfBuilder b;
        b.State(0);
        b.State(r.state);
        UseStateMachine(r.type, b.Build());
        Tick();
        const int32_t out = particles.SystemsOut();
        Enter(m, r.state);
        Ticks(6);
        if (r.systems == 2) {
            EXPECT_EQ(particles.SystemsOut() - out, 6) << "three pairs in six acts";
            // Drawn after the world, left where they were emitted, from the body.
            for (const char *name : {"3218100.zus", "3218101.zus"}) {
                ExpectSparksOut(name, 3, kPrtDrawAfterWorld, kPrtStayWhereEmitted, *m->GetPositionPtr(), 0.01f);
            }
            // They go with it as it charges on.
            m->SetPosition(V3Add(kHome, {8.0f, 0.0f, 0.0f}));
            Ticks(2);
            for (const char *name : {"3218100.zus", "3218101.zus"}) {
                ExpectSparksOut(name, 4, kPrtDrawAfterWorld, kPrtStayWhereEmitted, *m->GetPositionPtr(), 0.01f);
            }
        } else {
            EXPECT_EQ(particles.SystemsOut() - out, r.systems);
        }
        if (r.type == 1003 && r.systems == 1) {
            // Following the weapon's tip.
            RwFrame *tip = m->model->GetTaggedFrame(100130);
            ASSERT_NE(tip, nullptr);
            ExpectSparksOut("3010600.zus", 1, kPrtDrawAfterWorld, kPrtFollowEmitter, RwFrameGetLTM(tip)->pos, 0.01f);
        }
        Enter(m, 0);
        TicksUntil([&] { return particles.SystemsOut() == out; }, 300);
        m->removed = true;
    }
}

}  // namespace

}  // namespace grab_monsters_test
