// Boss 1108 frame by frame: the teleport's slot by the state random, the
// swap with a ready partner, the fixed points (35 / 35 / 30 %) without one
// or with one that cannot be swapped with; the dash that ends when the
// world lets through at most 30 % of its step, at an actor, or after 3 s;
// the swarm raised by 35; and the gone state straight from death.
#include <gtest/gtest.h>

#include <cmath>

#include "boss/boss_1108.h"
#include "boss_scenario.h"
#include "stage/character_params.h"

namespace boss_1108_test {

namespace {

using bosstest::BossScenario;
using bosstest::FsfBuilder;

constexpr int32_t kType = 1108;
constexpr RwV3d kHome = {0.0f, 0.0f, 40.0f};
constexpr RwV3d kSouth = {0.0f, 0.0f, -1.0f};
constexpr RwV3d kNorth = {0.0f, 0.0f, 1.0f};
constexpr RwV3d kFarAway = {0.0f, 0.0f, -300.0f};
constexpr float kDashSpeed = 60.0f;

bool Near(const RwV3d &a, const RwV3d &b, float within = 0.5f)
{
    return std::fabs(a.x - b.x) < within && std::fabs(a.z - b.z) < within;
}

class Boss1108 : public BossScenario {
protected:
    // Idle 0; the dash 1 (60 units a second; 11 to the swarm 2, 10 to the
    // teleport 5); the hurt 3 (11 to the teleport); gone 4 from death.
    CSBoss1108 *Boss(const RwV3d &at = kHome, const RwV3d &facing = kSouth)
    {
        CSBoss1108 *boss = PlaceBoss<CSBoss1108>(kType, at, facing);
        boss->aiId = 2;  // AIIDs 1 and 6 never end a dash early
        FsfBuilder b;
        b.State(0).To(0, 0);
        b.State(1).Speed(kDashSpeed).To(11, 2, 1).To(10, 5, 1);
        b.State(2).To(0, 0);
        b.State(3).To(11, 5, 1).To(0, 0);
        b.State(4).Hurt(0);
        b.State(5).To(0, 5);
        for (int32_t s : {0, 1, 2, 3, 5}) {
            b.State(s).To(120, 4, 1);
        }
        UseStateMachine(kType, b.Build());
        PutHero(kFarAway);
        return boss;
    }
    // Partners with AIIDs 100 to 100 + n - 1 (monsters of type 1000 that
    // stand still, their foe far away), ready to swap.
    std::vector<AiObject *> Partners(CSBoss1108 *boss, int32_t n)
    {
        std::vector<AiObject *> partners;
        for (int32_t i = 0; i < n; ++i) {
            AiObject *partner = Place(1000, {-100.0f + 40.0f * static_cast<float>(i), 0.0f, 120.0f}, kSouth);
            partner->aiId = 100 + i;
            partner->partnerReady = 1;
            partners.push_back(partner);
        }
        boss->partnersFilled = 0;
        return partners;
    }
    // One teleport with the state random `r`: where the boss stood.
    RwV3d TeleportWith(CSBoss1108 *boss, int32_t r)
    {
        EnterBoss(boss, 0);
        Tick();
        const RwV3d from = *boss->GetPositionPtr();
        EnterBoss(boss, 5);
        boss->stateRandom = r;
        Tick();
        return from;
    }
};

// The state random picks the slot: below 16 the first, below 32 the
// second ... from 80 the sixth; a ready partner there swaps places with
// the boss, with the teleport effect at both places.
TEST_F(Boss1108, TheStateRandomPicksThePartnerItSwapsWith)
{
    CSBoss1108 *boss = Boss();
    const std::vector<AiObject *> partners = Partners(boss, 6);
    Tick();
    ASSERT_EQ(boss->partnersFilled, 1);
    for (int32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(boss->partners[i], partners[static_cast<size_t>(i)]);
    }
    const struct {
        int32_t r;
        size_t slot;
    } cases[] = {{0, 0}, {15, 0}, {16, 1}, {31, 1}, {32, 2}, {47, 2}, {48, 3}, {63, 3}, {64, 4}, {79, 4}, {80, 5}, {99, 5}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.r);
        AiObject *partner = partners[c.slot];
        const RwV3d there = *partner->GetPositionPtr();
        const int32_t effects = EffectStarts("3218400");
        const RwV3d here = TeleportWith(boss, c.r);
        EXPECT_TRUE(Near(*boss->GetPositionPtr(), there));
        EXPECT_TRUE(Near(*partner->GetPositionPtr(), here));
        if (c.r < 16) {  // the pool holds four
            EXPECT_EQ(EffectStarts("3218400"), effects + 2);
        }
        // Once per visit.
        Ticks(3);
        EXPECT_TRUE(Near(*boss->GetPositionPtr(), there));
    }
}

// Without partners it jumps to P0 below 35, P1 from 35 to 69, P2 from 70:
// 35, 35 and 30 in a hundred.
TEST_F(Boss1108, WithoutPartnersItJumpsToTheFixedPoints)
{
    CSBoss1108 *boss = Boss();
    int32_t counts[3] = {0, 0, 0};
    for (int32_t r = 0; r < 100; ++r) {
        TeleportWith(boss, r);
        for (int32_t p = 0; p < 3; ++p) {
            counts[p] += Near(*boss->GetPositionPtr(), CSBoss1108::kTeleportPoints[p]) ? 1 : 0;
        }
    }
    EXPECT_EQ(counts[0], 35);
    EXPECT_EQ(counts[1], 35);
    EXPECT_EQ(counts[2], 30);
    EXPECT_NEAR(CSBoss1108::kTeleportPoints[0].x, -791.47f, 0.01f);
    EXPECT_NEAR(CSBoss1108::kTeleportPoints[2].z, 182.04f, 0.01f);
}

// A partner that is removed, busy, grabbed or not ready is not swapped
// with: the boss jumps to the fixed point instead, and the partner stays.
// The monster's own update keeps its ready word: set while it stands in
// play with its model, cleared while it is dying.
TEST_F(Boss1108, AnUnusablePartnerFallsBackToAFixedPoint)
{
    CSBoss1108 *boss = Boss();
    AiObject *partner = Partners(boss, 1)[0];
    Tick();
    EXPECT_EQ(partner->partnerReady, 1);
    const RwV3d there = *partner->GetPositionPtr();
    for (int unusable = 0; unusable < 4; ++unusable) {
        SCOPED_TRACE(unusable);
        partner->busy = unusable == 0;
        partner->grabbed = unusable == 1;
        partner->dying = unusable == 2;
        partner->removed = unusable == 3;
        TeleportWith(boss, 5);  // slot 0, P0
        EXPECT_EQ(partner->partnerReady, unusable == 0 || unusable == 1 ? 1 : 0);
        EXPECT_TRUE(Near(*boss->GetPositionPtr(), CSBoss1108::kTeleportPoints[0]));
        EXPECT_TRUE(Near(*partner->GetPositionPtr(), there));
        boss->SetPosition(kHome);
    }
    partner->removed = false;
    Tick();
    EXPECT_EQ(partner->partnerReady, 1);
    TeleportWith(boss, 5);
    EXPECT_TRUE(Near(*boss->GetPositionPtr(), there));
}

// Into the yard's north wall the dash ends with 11 in the first frame in
// which the world lets through at most 30 % of the step.
TEST_F(Boss1108, TheDashEndsAtAWall)
{
    CSBoss1108 *boss = Boss({0.0f, 0.0f, 120.0f}, kNorth);
    boss->home = {0.0f, 0.0f, 400.0f};  // beyond the wall
    EnterBoss(boss, 1);
    const int ticks = TicksUntil([&] { return boss->state != 1; }, 400);
    EXPECT_EQ(boss->state, 2);
    EXPECT_GT(ticks, 0);
    EXPECT_LT(ticks / 60.0f, 3.0f);
    // Not short of the wall: the last frames' steps went through.
    EXPECT_GT(boss->GetPositionPtr()->z + monster::ParamsOf(boss).radius, 200.0f - kDashSpeed / 60.0f * 2.0f);
    // A boss placed with AIID 1 runs on into the wall until its 3 s.
    CSBoss1108 *stubborn = Boss({60.0f, 0.0f, 120.0f}, kNorth);
    stubborn->aiId = 1;
    stubborn->home = {60.0f, 0.0f, 400.0f};
    EnterBoss(stubborn, 1);
    const int stubbornTicks = TicksUntil([&] { return stubborn->state != 1; }, 400);
    EXPECT_EQ(stubborn->state, 5);
    EXPECT_NEAR(stubbornTicks / 60.0f, 3.0f, 0.05f);
}

// An actor in its way ends it with 11; with nothing in its way it dashes
// 3 s and then feeds 10.
TEST_F(Boss1108, TheDashEndsAtAnActorOrAfterThreeSeconds)
{
    CSBoss1108 *boss = Boss({0.0f, 0.0f, -150.0f}, kNorth);
    boss->home = {0.0f, 0.0f, 150.0f};
    EnterBoss(boss, 1);
    const int ticks = TicksUntil([&] { return boss->state != 1; }, 400);
    EXPECT_EQ(boss->state, 5);
    EXPECT_NEAR(ticks / 60.0f, 3.0f, 0.05f);
    EXPECT_NEAR(boss->GetPositionPtr()->z, -150.0f + kDashSpeed * 3.0f, 3.0f);
    AiObject *other = Place(1000, {80.0f, 0.0f, 0.0f}, kSouth);
    ASSERT_NE(other, nullptr);
    boss->SetPosition({80.0f, 0.0f, -100.0f});
    boss->home = {80.0f, 0.0f, 150.0f};
    EnterBoss(boss, 1);
    TicksUntil([&] { return boss->state != 1; }, 400);
    EXPECT_EQ(boss->state, 2);
    EXPECT_LT(boss->GetPositionPtr()->z, 0.0f);
    EXPECT_GT(boss->GetPositionPtr()->z, -30.0f);
}

// Walking to its foe with a body standing in the straight way: while the
// foe is beyond its attack range it steps round the body on its path and
// walks on past it; with the foe in range it goes straight for him and
// halts at the body.
TEST_F(Boss1108, WithItsFoeInRangeItGoesStraightForHimElseRoundABody)
{
    CSBoss1108 *boss = Boss({0.0f, 0.0f, 0.0f}, kNorth);
    FsfBuilder b;
    b.State(0).Speed(20.0f);
    UseStateMachine(kType, b.Build());
    hero.hp = 100000;
    const CharacterParams &params = monster::ParamsOf(boss);
    ASSERT_LT(params.alarmCircle, params.attackRange);
    AiObject *blocker = Place(1000, {0.0f, 0.0f, 0.0f}, kSouth);
    ASSERT_NE(blocker, nullptr);
    FsfBuilder still;
    still.State(0);
    UseStateMachine(1000, still.Build());
    const float apart = params.radius + monster::ParamsOf(blocker).radius;
    const float bodyAt = (params.alarmCircle + params.attackRange) / 2.0f - 1.0f;
    ASSERT_GT(bodyAt, apart + 2.0f);
    for (const bool inRange : {false, true}) {
        SCOPED_TRACE(inRange);
        boss->SetPosition({0.0f, 0.0f, 0.0f});
        boss->SetDirection(kNorth);
        blocker->SetPosition({0.0f, 0.0f, bodyAt});
        const float heroAt = inRange ? bodyAt + 1.0f : (params.attackRange + params.searchRange) / 2.0f;
        PutHero({0.0f, 0.0f, heroAt});
        EnterBoss(boss, 0);
        Ticks(2);
        ASSERT_EQ(boss->target, &hero);
        EXPECT_EQ(boss->inRange, inRange);
        Ticks(240);  // 80 units of walking
        const RwV3d &at = *boss->GetPositionPtr();
        if (inRange) {
            EXPECT_NEAR(at.x, 0.0f, 0.01f);  // halted at the body
            EXPECT_LT(at.z, bodyAt - apart / 2.0f);
        } else {
            EXPECT_GT(at.z, bodyAt);  // past it
        }
    }
}

// Outside its dash it speeds up by its state's acceleration once a frame,
// as every boss does: the dash's own speeding up is not added on top.
TEST_F(Boss1108, OutsideItsDashItSpeedsUpByItsStatesAccelerationOnce)
{
    CSBoss1108 *boss = Boss({0.0f, 0.0f, -150.0f}, kNorth);
    FsfBuilder b;
    b.State(0);
    b.State(2).Acceleration(30.0f);
    UseStateMachine(kType, b.Build());
    boss->home = {0.0f, 0.0f, 150.0f};
    EnterBoss(boss, 2);
    Ticks(60);
    EXPECT_NEAR(boss->speed, 30.0f, 1.0f);
    EXPECT_NEAR(boss->GetPositionPtr()->z, -150.0f + 15.0f, 1.0f);  // half of 30 by 1 s squared
}

// In its dash it speeds up by the state's acceleration in the dash's own
// step and again in its move, as every boss does: twice a frame.
TEST_F(Boss1108, InItsDashItSpeedsUpByItsStatesAccelerationTwice)
{
    CSBoss1108 *boss = Boss({0.0f, 0.0f, -150.0f}, kNorth);
    FsfBuilder b;
    b.State(0);
    b.State(1).Speed(kDashSpeed).Acceleration(30.0f);
    UseStateMachine(kType, b.Build());
    boss->home = {0.0f, 0.0f, 400.0f};
    EnterBoss(boss, 1);
    Ticks(60);
    EXPECT_EQ(boss->state, 1);
    EXPECT_NEAR(boss->speed, kDashSpeed + 60.0f, 1.0f);
    EXPECT_NEAR(boss->GetPositionPtr()->z, -150.0f + kDashSpeed + 30.0f, 2.0f);  // 60 + 60 x 1 s squared / 2
}

// State 2 raises the swarm once per visit: ten bugs on a ring of 20 about
// the point 35 above the boss.
TEST_F(Boss1108, TheSwarmRisesThirtyFiveAboveTheBossOncePerVisit)
{
    CSBoss1108 *boss = Boss();
    EnterBoss(boss, 0);
    Tick();
    const size_t before = EffectLines().size();
    EnterBoss(boss, 2);
    Ticks(5);
    const std::vector<gametest::TraceRecord> lines = EffectLines();
    int32_t bugs = 0;
    for (size_t i = before; i < lines.size(); ++i) {
        const gametest::TraceRecord &r = lines[i];
        if (r.fields.size() >= 5 && r.fields[0] == "start" && r.fields[1] == "Bugs") {
            ++bugs;
            const float dx = std::stof(r.fields[2]) - kHome.x;
            const float dz = std::stof(r.fields[4]) - kHome.z;
            EXPECT_NEAR(std::stof(r.fields[3]), boss->GetPositionPtr()->y + 35.0f, 0.05f);
            EXPECT_NEAR(std::sqrt(dx * dx + dz * dz), 20.0f, 0.05f);
        }
    }
    EXPECT_EQ(bugs, 10);
}

// Hurt in state 3 with a state random below 40 it strikes back (11); and at
// 0 HP it goes straight to the gone state: no dying state, no fade; the
// drop and the reward once.
TEST_F(Boss1108, ItStrikesBackAndGoesStraightToItsGoneState)
{
    CSBoss1108 *boss = Boss();
    EnterBoss(boss, 3);
    boss->stateRandom = 39;
    Tick();
    EXPECT_EQ(boss->state, 5);
    EnterBoss(boss, 3);
    boss->stateRandom = 40;
    Ticks(3);
    EXPECT_EQ(boss->state, 3);
    EnterBoss(boss, 0);
    const int32_t exp = hero.experience;
    Control(boss, kCtlDropOverride, 5300060);
    Hit(boss, kAtkPlain, boss->hp + 100);
    Ticks(3);
    EXPECT_EQ(boss->state, 4);
    EXPECT_FALSE(boss->deathTint);
    Ticks(3);
    EXPECT_TRUE(boss->removed);
    EXPECT_TRUE(boss->busy);
    EXPECT_EQ(hero.experience, exp + monster::ParamsOf(boss).exp);
    int32_t drops = 0;
    for (const gametest::TraceRecord &r : EffectLines()) {
        drops += !r.fields.empty() && r.fields[0] == "drop";
    }
    EXPECT_EQ(drops, 1);
}

// What it chooses from where its foe stands (its alarm circle lies inside
// its attack range): in sight and in reach the chase 6 (here to 3); in
// reach it marks the foe as in range, and within the alarm circle it
// takes the foe's place as the point it goes for, except in its swarm 2.
TEST_F(Boss1108, ItsFoesPlaceChoosesItsInputAndThePointItGoesFor)
{
    CSBoss1108 *boss = PlaceBoss<CSBoss1108>(kType, kHome, kSouth);
    FsfBuilder b;
    b.State(0).To(6, 3, 1);
    for (int32_t s : {2, 3}) {
        b.State(s);
    }
    UseStateMachine(kType, b.Build());
    const CharacterParams &params = monster::ParamsOf(boss);
    ASSERT_LT(params.alarmCircle, params.attackRange);
    const float sight = (params.attackRange + params.searchRange) / 2.0f;
    const float reach = (params.alarmCircle + params.attackRange) / 2.0f;
    const float alarm = params.alarmCircle / 2.0f;
    const struct {
        int32_t from;
        float ahead;
        int32_t leadsTo;
        bool remembers;
        bool inRange;
    } cases[] = {{0, sight, 3, false, false}, {0, reach, 3, false, true}, {0, alarm, 3, true, true},
                 {2, alarm, 2, false, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " with the foe " + std::to_string(c.ahead) + " ahead");
        boss->rememberedPoint = {0.0f, 0.0f, 0.0f};
        const RwV3d heroAt = {kHome.x, 0.0f, kHome.z - c.ahead};
        EXPECT_EQ(StateChosen(boss, 2, c.from, 50, heroAt, kHome, kSouth), c.leadsTo);
        EXPECT_NEAR(boss->rememberedPoint.z, c.remembers ? heroAt.z : 0.0f, 0.01f);
        EXPECT_EQ(boss->inRange, c.inRange);
    }
}

// Entering each state plays its sound once per entry: 2 6260010, 3 6260030, 5 6260020; and none of
// the table's other sounds.
TEST_F(Boss1108, EachStateSoundsItsOwnEntrySoundOncePerEntry)
{
    AiObject *boss = PlaceBoss<AiObject>(kType, kHome, kSouth);
    UseStatesThatStay(kType, 6);
    PutHero(kFarAway);
    const std::pair<int32_t, int32_t> entries[] = {{2, 6260010}, {3, 6260030}, {5, 6260020}};
    ExpectEntrySoundsOncePerEntry(boss, entries);
}

}  // namespace

}  // namespace boss_1108_test
