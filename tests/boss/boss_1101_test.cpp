// Boss 1101 frame by frame: its guard, its recovery's counter, the escape
// at the third hurtable frame of a reopened hurt window, the charge that
// ends at a wall (22), at an actor (11) or after 5 s (22) and passes
// through breakable objects of type 10019 while hitting them, the four big
// shots of state 19 once per visit, and the held character let go with 512
// at its death and in its hold state.
#include <gtest/gtest.h>

#include <utility>

#include <cmath>
#include <string>
#include <vector>

#include "actor/ai_type_table.h"
#include "boss/boss_1101.h"
#include "boss_scenario.h"
#include "monster/kit_common.h"
#include "stage/character_params.h"
#include "stage/v3.h"

namespace boss_1101_test {

namespace {

using bosstest::BossScenario;
using bosstest::FsfBuilder;

constexpr int32_t kType = 1101;
constexpr RwV3d kHome = {0.0f, 0.0f, 60.0f};
constexpr RwV3d kSouth = {0.0f, 0.0f, -1.0f};
constexpr RwV3d kNorth = {0.0f, 0.0f, 1.0f};
constexpr RwV3d kFarAway = {0.0f, 0.0f, -300.0f};

class Boss1101 : public BossScenario {
protected:
    // Idle 0; the charge 13 (20 units a second, a wall or 5 s to the
    // recovery 20, an actor to the blow 7); the recovery 20 with its
    // counter 17 and escape 21; the big shots 19; the guard 26 (18 to idle,
    // a guard break to 20); dying 27 into gone 29; hold 32.
    CSBoss1101 *Boss(const RwV3d &at = kHome, const RwV3d &facing = kSouth)
    {
        CSBoss1101 *boss = PlaceBoss<CSBoss1101>(kType, at, facing);
        FsfBuilder b;
        b.State(0).To(0, 0);
        b.State(7).To(0, 0);
        b.State(13).Speed(20.0f).Attack(30, kAtkHurt8).To(22, 20, 1).To(11, 7, 1);
        b.State(17).To(0, 0);
        b.State(19).To(0, 0);
        b.State(20).To(17, 17, 1).To(108, 21, 1).To(0, 20);
        b.State(21).To(0, 0);
        b.State(26).To(18, 0, 1).To(102, 20, 1).To(0, 26);
        b.State(27).Hurt(0).To(0, 29);
        b.State(29).Hurt(0);
        b.State(32).Hurt(0).To(0, 32);
        bosstest::DiesFrom(b, {0, 13, 20, 26}, 27);
        UseStateMachine(kType, b.Build());
        PutHero(kFarAway);
        return boss;
    }
    // Messages queued for `actor` (an actor without an update keeps them).
    int32_t TakeHits(AiObject *actor)
    {
        int32_t hits = 0;
        while (MSGData *m = actor->PopMessage()) {
            hits += m->kind == kMsgHitHero;
            FreeMessage(m);
        }
        return hits;
    }
    // The boss at `start` facing `way`, its foe far off.
    CSBoss1101 *ChargingBoss(const RwV3d &start, const RwV3d &way)
    {
        CSBoss1101 *boss = PlaceBoss<CSBoss1101>(kType, start, way);
        PutHero(kFarAway);
        return boss;
    }
    // `boss` charging (state 13 alone) at `step` units a frame with a crate
    // at `hitAt` and one at `missedAt`, both standing still as type 10019
    // (which the charge does not pass through): after one frame it is still
    // charging, the first crate was hit once and the second not at all.
    // Returns where it stands then.
    RwV3d ChargeOneFramePastCrates(CSBoss1101 *boss, float step, const RwV3d &hitAt, const RwV3d &missedAt)
    {
        const RwV3d start = *boss->GetPositionPtr();
        FsfBuilder b;
        b.State(13).Speed(step * 60.0f).Attack(30, kAtkHurt8).To(22, 20, 1).To(11, 7, 1);
        b.State(7);
        b.State(20);
        UseStateMachine(kType, b.Build());
        AiObject *hit = Place(1100, hitAt, kSouth);
        AiObject *missed = Place(1100, missedAt, kSouth);
        EXPECT_NE(hit, nullptr);
        EXPECT_NE(missed, nullptr);
        if (hit == nullptr || missed == nullptr) {
            return start;
        }
        for (const auto &[crate, at] : {std::pair{hit, hitAt}, std::pair{missed, missedAt}}) {
            crate->aiType = 10019;
            crate->SetPosition(at);
        }
        const AiUpdateFn update = ReplaceAiTypeUpdate(10019, [](AiObject *, float) {});
        EnterBoss(boss, 13);
        Tick();
        const RwV3d at = *boss->GetPositionPtr();
        EXPECT_EQ(boss->state, 13);
        EXPECT_EQ(TakeHits(hit), 1);
        EXPECT_EQ(TakeHits(missed), 0);
        hit->aiType = 1100;
        missed->aiType = 1100;
        ReplaceAiTypeUpdate(10019, update);
        for (AiObject *done : {static_cast<AiObject *>(boss), hit, missed}) {
            done->removed = true;
        }
        return at;
    }
};

// Its moves collide in full (stopping where its body meets another's) only
// in its walk 1; in its other states a step that would end inside another
// character is not taken at all, so it halts up to a step short. Here a
// monster stands on its way home, 12.5 beyond contact, and the boss moves
// 5 a tick: walking it comes to rest touching, in its turn toward the goal
// 3 and its straight advance 2 it halts 2.5 short.
TEST_F(Boss1101, ItsMovesCollideInFullOnlyInItsWalk)
{
    CSBoss1101 *boss = PlaceBoss<CSBoss1101>(kType, kHome, kSouth);
    FsfBuilder b;
    b.State(0);
    for (const int32_t state : {1, 2, 3}) {
        b.State(state).Speed(300.0f);
    }
    UseStateMachine(kType, b.Build());
    PutHero(kFarAway);  // no foe: it walks toward its home
    EXPECT_NEAR(GapAfterMovingTowardABody(boss, 1, -1.0f), 0.0f, 0.05f);
    EXPECT_NEAR(GapAfterMovingTowardABody(boss, 3, -1.0f), 2.5f, 0.05f);
    EXPECT_NEAR(GapAfterMovingTowardABody(boss, 2, -1.0f), 2.5f, 0.05f);
}

// On stage 41 the glow runs while it has its model, and a hit restarts
// its time since the last hit, which grows again to 5; elsewhere it stays
// 5.0 and no glow runs.
TEST_F(Boss1101, OnStage41ItGlowsAndAHitRestartsItsTimeSinceHit)
{
    for (const bool on : {false, true}) {
        SCOPED_TRACE(on);
        stage.stage41 = on ? 1 : 0;
        CSBoss1101 *boss = Boss({on ? 40.0f : -40.0f, 0.0f, 60.0f});
        ExpectAHitRestartsTheTimeSinceHit(boss, on, boss->glow);
        ExpectTheGlowGoesWithTheModel(boss, boss->glow);
    }
    stage.stage41 = 0;
}

// The guard 26 takes no harm from ordinary hits, sounds 6300210 for each
// and feeds 0 while it lasts; a heavy hit breaks it (102); it ends with 18
// after 2 s.
TEST_F(Boss1101, TheGuardHoldsTwoSecondsUnlessBroken)
{
    CheckGuard(Boss(), 26, 2.0f, 0, 20);
}

TEST_F(Boss1101, TheGuardFeedsIdleOnEachFrame) { ExpectTheGuardFeedsIdle(Boss(), 26, true); }

// In the recovery 20 it counters (17) every 0.3 s when its state random is
// below 20; and counting the frames it is hurtable in a reopened hurt
// window, the third gives the escape 108.
TEST_F(Boss1101, TheRecoveryCountersAndEscapesAtTheThirdHurtableFrame)
{
    CSBoss1101 *boss = Boss();
    EnterBoss(boss, 20);
    boss->stateRandom = 10;
    boss->hurtableFrames = 0;
    boss->hurtWindow = 0.0f;  // open: three hurtable frames come first
    Ticks(2);
    EXPECT_EQ(boss->state, 20);
    Tick();
    EXPECT_EQ(boss->state, 21);  // the escape
    // The window that has run its time opens again in the recovery.
    EnterBoss(boss, 0);
    Ticks(130);
    EXPECT_GE(boss->hurtWindow, 2.0f);
    EnterBoss(boss, 20);
    boss->stateRandom = 10;
    boss->hurtableFrames = 0;
    Tick();  // reopened
    EXPECT_LT(boss->hurtWindow, 0.1f);
    Ticks(2);
    EXPECT_EQ(boss->state, 20);
    Tick();
    EXPECT_EQ(boss->state, 21);
    // Without the escape (an old window), the counter every 0.3 s.
    EnterBoss(boss, 0);
    Tick();
    EnterBoss(boss, 20);
    boss->stateRandom = 10;
    boss->hurtWindow = 1.99f;
    boss->hurtableFrames = -1000;
    const int ticks = TicksUntil([&] { return boss->state != 20; }, 40);
    EXPECT_EQ(boss->state, 17);
    EXPECT_NEAR(ticks / 60.0f, 0.3f, 0.03f);
    EnterBoss(boss, 20);
    boss->stateRandom = 20;  // not below 20: no counter
    Ticks(40);
    EXPECT_EQ(boss->state, 20);
}

// The charge runs along the facing: into the yard's wall it ends with 22.
TEST_F(Boss1101, TheChargeEndsAtAWall)
{
    CSBoss1101 *boss = Boss({0.0f, 0.0f, 150.0f}, kNorth);
    EnterBoss(boss, 13);
    const int ticks = TicksUntil([&] { return boss->state != 13; }, 600);
    ASSERT_GT(ticks, 0);
    EXPECT_EQ(boss->state, 20);
    EXPECT_LT(ticks / 60.0f, 5.0f);
    EXPECT_GT(boss->GetPositionPtr()->z, 170.0f);
    EXPECT_EQ(boss->chargeTimer, 0.0f);
}

// With nothing in its way it charges for 5 s, then 22.
TEST_F(Boss1101, TheChargeEndsAfterFiveSeconds)
{
    CSBoss1101 *boss = Boss({0.0f, 0.0f, -100.0f}, kNorth);
    EnterBoss(boss, 13);
    const int ticks = TicksUntil([&] { return boss->state != 13; }, 600);
    EXPECT_EQ(boss->state, 20);
    EXPECT_NEAR(ticks / 60.0f, 5.0f, 0.05f);
    EXPECT_NEAR(boss->GetPositionPtr()->z, -100.0f + 20.0f * 5.0f, 1.0f);
    // On the tick its 5 s are up, not one later.
    boss->SetPosition({0.0f, 0.0f, -100.0f});
    EnterBoss(boss, 13);
    EXPECT_EQ(TicksToLeave(boss, 13, 0.25f, 30), 20);
}

// The charge speeds up by its state's acceleration: from 20 units a second
// gaining 4 a second, 5 s cover 20 x 5 + 4 x 5 x 5 / 2 = 150.
TEST_F(Boss1101, TheChargeSpeedsUpByItsAcceleration)
{
    CSBoss1101 *boss = PlaceBoss<CSBoss1101>(kType, {0.0f, 0.0f, -100.0f}, kNorth);
    FsfBuilder b;
    b.State(13).Speed(20.0f).Acceleration(4.0f).To(22, 20, 1);
    b.State(20);
    UseStateMachine(kType, b.Build());
    PutHero(kFarAway);
    EnterBoss(boss, 13);
    const int ticks = TicksUntil([&] { return boss->state != 13; }, 600);
    EXPECT_EQ(boss->state, 20);
    EXPECT_NEAR(ticks / 60.0f, 5.0f, 0.05f);
    EXPECT_NEAR(boss->GetPositionPtr()->z, -100.0f + 150.0f, 1.0f);
}

// An actor in its way is hit (kind 2, the state's attack) and ends the
// charge with 11; a breakable object of type 10019 is hit in every frame of
// contact and passed through, and those beside, above or below its way are
// not touched.
TEST_F(Boss1101, TheChargeHitsWhatItMeetsAndPassesThroughType10019)
{
    CSBoss1101 *boss = Boss({0.0f, 0.0f, -100.0f}, kNorth);
    // A crate on the way (an actor with a model, of type 10019).
    AiObject *crate = Place(1100, {0.0f, 0.0f, -60.0f}, kSouth);
    ASSERT_NE(crate, nullptr);
    crate->aiType = 10019;
    crate->SetPosition({0.0f, 0.0f, -60.0f});
    // And one beside its way, well clear of it.
    AiObject *beside = Place(1100, {40.0f, 0.0f, -40.0f}, kSouth);
    ASSERT_NE(beside, nullptr);
    beside->aiType = 10019;
    beside->SetPosition({40.0f, 0.0f, -40.0f});
    // And two on its way but well above and well below it.
    AiObject *above = Place(1100, {0.0f, 100.0f, -50.0f}, kSouth);
    AiObject *below = Place(1100, {0.0f, -100.0f, -50.0f}, kSouth);
    ASSERT_NE(above, nullptr);
    ASSERT_NE(below, nullptr);
    above->aiType = 10019;
    above->SetPosition({0.0f, 100.0f, -50.0f});
    below->aiType = 10019;
    below->SetPosition({0.0f, -100.0f, -50.0f});
    // It keeps its messages for the test to count: its own update (the
    // breakable objects') would read them.
    const AiUpdateFn update = ReplaceAiTypeUpdate(10019, [](AiObject *, float) {});
    // And the hero beyond it.
    PutHero({0.0f, 0.0f, -20.0f});
    hero.hp = 100000;
    EnterBoss(boss, 13);
    int32_t crateHits = 0;
    int32_t besideHits = 0;
    int ticks = 0;
    for (; ticks < 400 && boss->state == 13; ++ticks) {
        Tick();
        crateHits += TakeHits(crate);
        besideHits += TakeHits(beside) + TakeHits(above) + TakeHits(below);
    }
    EXPECT_GT(crateHits, 1);  // each frame of contact
    EXPECT_EQ(besideHits, 0);
    EXPECT_EQ(boss->state, 7);  // the hero stopped it
    const std::vector<MSGData> hits = HeroHits();
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].sender, boss);
    EXPECT_EQ(hits[0].word[1], kAtkHurt8);
    EXPECT_EQ(hits[0].word[2], 30 * static_cast<int32_t>(std::trunc(monster::ParamsOf(boss).levelAppend)));
    EXPECT_GT(boss->GetPositionPtr()->z, -60.0f);  // through the crate
    crate->aiType = 1100;  // released as what it was made
    beside->aiType = 1100;
    above->aiType = 1100;
    below->aiType = 1100;
    ReplaceAiTypeUpdate(10019, update);
}

// The test against a breakable object sweeps the whole step of a frame: at
// 30 units a frame on a slant, a crate beside the way whose nearest point of
// the way lies midway along the first frame's step (out of reach of where the
// boss stands before and after it) is hit; one just beyond reach of that
// point is not.
TEST_F(Boss1101, AFastChargeHitsACrateItSweepsPastWithinAFrame)
{
    const RwV3d start = {-60.0f, 0.0f, -100.0f};
    const RwV3d way = V3Normalized({1.0f, 0.0f, 1.0f}, kNorth);
    const RwV3d side = {way.z, 0.0f, -way.x};
    CSBoss1101 *boss = ChargingBoss(start, way);
    const float reach = monster::ParamsOf(boss).radius + 5.0f + 5.17f;
    const RwV3d midway = V3Add(start, V3Scale(way, 15.0f));
    const RwV3d at = ChargeOneFramePastCrates(boss, 30.0f, V3Add(midway, V3Scale(side, reach - 0.5f)),
                                              V3Add(midway, V3Scale(side, -(reach + 0.5f))));
    EXPECT_NEAR(at.x, start.x + 30.0f * way.x, 0.01f);  // one whole step past the crate
    EXPECT_NEAR(at.z, start.z + 30.0f * way.z, 0.01f);
}

// A crate whose standing cylinder the charging body just touches (beside
// the middle of the step at exactly its reach) is hit as well.
TEST_F(Boss1101, AChargeThatJustTouchesACrateHitsIt)
{
    CSBoss1101 *boss = ChargingBoss({-64.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f});
    const float reach = monster::ParamsOf(boss).radius + 5.0f + 5.17f;
    ChargeOneFramePastCrates(boss, 32.0f, {-48.0f, 0.0f, reach}, {-80.0f, 0.0f, reach});
}

// Charging straight along either ground axis, a crate on its way midway
// through a frame's step (out of reach of where the boss stands before and
// after it) is hit within that frame; one as far behind the boss is not.
TEST_F(Boss1101, AFastChargeAlongEitherAxisHitsTheCrateItSweepsThrough)
{
    for (const RwV3d way : {RwV3d{1.0f, 0.0f, 0.0f}, RwV3d{0.0f, 0.0f, 1.0f}}) {
        SCOPED_TRACE(way.x);
        const RwV3d start = {-60.0f * way.x, 0.0f, -100.0f + 60.0f * way.x};
        CSBoss1101 *boss = ChargingBoss(start, way);
        const float step = 2.0f * (monster::ParamsOf(boss).radius + 5.0f + 5.17f + 1.0f);
        ChargeOneFramePastCrates(boss, step, V3Add(start, V3Scale(way, step / 2.0f)),
                                 V3Add(start, V3Scale(way, -step / 2.0f)));
    }
}

// What it chooses from where its foe stands (ahead of it, or behind it
// when negative), its state and its approach timer: in sight the walk 1;
// in the alarm circle 1 with a state random below 50, else 21, and 21
// whatever the random in its approach 2 once the timer has run 0.3 s and
// the foe is in its attack cone; in reach the attack 10 in the cone and
// the turn 3 outside it, but in the approach first the wait 2 (the timer
// growing) until 0.3 s, then the charge 11 in the cone.
TEST_F(Boss1101, ItsFoesPlaceItsStateAndItsApproachChooseItsInput)
{
    CSBoss1101 *boss = PlaceBoss<CSBoss1101>(kType, kHome, kSouth);
    constexpr int32_t kParked = 28;
    const std::pair<int32_t, int32_t> leads[] = {{1, 8}, {21, 14}, {2, 18}, {11, 22}, {10, 23}, {3, 24}};
    UseInputLeads(kType, {0, 2}, leads, kParked);
    const auto [sight, alarm, reach] = bosstest::SensingBandsOf(boss);
    const struct {
        int32_t from;
        float ahead;
        int32_t random;
        float approached;  // the approach timer's seconds
        int32_t leadsTo;
    } cases[] = {{0, sight, 99, 0.0f, 8},  {0, alarm, 49, 0.0f, 8},   {0, alarm, 50, 0.0f, 14},
                 {2, alarm, 10, 0.3f, 14}, {2, -alarm, 10, 0.3f, 8},  {2, alarm, 10, 0.2f, 8},
                 {0, reach, 70, 0.0f, 23}, {0, -reach, 70, 0.0f, 24}, {2, reach, 70, 0.0f, 18},
                 {2, reach, 70, 0.3f, 22}, {2, -reach, 70, 0.3f, 24}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " with the foe " + std::to_string(c.ahead) + " ahead, r " +
                     std::to_string(c.random) + ", approached " + std::to_string(c.approached));
        boss->attackDelayTimer = c.approached;
        const RwV3d heroAt = {kHome.x, 0.0f, kHome.z - c.ahead};
        EXPECT_EQ(StateChosen(boss, kParked, c.from, c.random, heroAt, kHome, kSouth), c.leadsTo);
        EXPECT_EQ(boss->attackDelayTimer > c.approached, c.leadsTo == 18);  // only the wait counts
    }
}

// A blow of state 10 that lands on a hero who is not guarding chains the
// second blow (input 4 at the end of state 11's motion); a guarded one
// does not.
TEST_F(Boss1101, ABlowThatLandsUnguardedChainsTheSecond)
{
    ExpectBlowChainsOnlyUnguarded(PlaceBoss<CSBoss1101>(kType, kHome, kSouth));
}

// Walking (1, and the approaches 3 and 4) it heads for its foe and turns to
// its motion; in its other moving states it walks straight ahead along its
// facing, whatever side its foe is on.
TEST_F(Boss1101, ItHeadsForItsFoeOnlyInItsWalks)
{
    CSBoss1101 *boss = PlaceBoss<CSBoss1101>(kType, kHome, kSouth);
    FsfBuilder b;
    b.State(0);
    for (int32_t s : {1, 3, 4, 7}) {
        b.State(s).Speed(30.0f);
    }
    UseStateMachine(kType, b.Build());
    PutHero({60.0f, 0.0f, kHome.z});  // to its east, in sight
    Ticks(2);
    ASSERT_NE(boss->target, nullptr);
    for (int32_t state : {1, 3, 4, 7}) {
        SCOPED_TRACE(state);
        const bool heads = state != 7;
        boss->SetPosition(kHome);
        boss->SetDirection(kSouth);
        EnterBoss(boss, state);
        Ticks(12);
        const RwV3d at = *boss->GetPositionPtr();
        RwV3d facing;
        boss->GetDirection(&facing);
        EXPECT_NEAR(std::hypot(at.x - kHome.x, at.z - kHome.z), 30.0f * 12.0f / 60.0f, 0.5f);
        EXPECT_NEAR(at.x, heads ? 6.0f : 0.0f, 0.5f);
        EXPECT_NEAR(facing.x, heads ? 1.0f : 0.0f, 0.02f);
    }
}

// In its turning states 5 and 12 it stands still while its foe is inside
// its attack half angle (in degrees) and turns toward it once it is just
// outside it, to either side.
TEST_F(Boss1101, ItTurnsOnlyForAFoeOutsideItsHalfAngle)
{
    CSBoss1101 *boss = PlaceBoss<CSBoss1101>(kType, kHome, kSouth);
    FsfBuilder b;
    for (int32_t s : {0, 5, 12}) {
        b.State(s);
    }
    UseStateMachine(kType, b.Build());
    const float half = monster::ParamsOf(boss).attackHalfAngle;
    constexpr float kPi = 3.14159265f;
    const std::array<bosstest::ConeBearing, 3> cases = bosstest::BearingsAroundTheCone(half);
    ASSERT_TRUE(bosstest::ARadiansReadingJudgesOtherwise(cases, half)) << half;
    for (const int32_t state : {5, 12}) {
        for (const auto &c : cases) {
            SCOPED_TRACE(std::to_string(state) + ", " + std::to_string(c.degrees) + " degrees off");
            const float a = c.degrees * kPi / 180.0f;
            boss->SetPosition(kHome);
            boss->SetDirection(kSouth);
            EnterBoss(boss, 0);
            PutHero({kHome.x + 40.0f * std::sin(a), 0.0f, kHome.z - 40.0f * std::cos(a)});
            Ticks(2);
            ASSERT_NE(boss->target, nullptr);
            boss->SetDirection(kSouth);
            EnterBoss(boss, state);
            Ticks(3);
            RwV3d facing;
            boss->GetDirection(&facing);
            if (c.inside) {
                EXPECT_NEAR(facing.x, 0.0f, 1e-4f);
            } else {
                EXPECT_GT(facing.x * std::sin(a), 1e-3f);  // toward the foe's side
            }
        }
    }
}

// State 19 starts four big shots once its clock reaches frame 2543, once
// per visit: two along the facing from one hand, two across from the other.
TEST_F(Boss1101, StateNineteenFiresFourBigShotsOncePerVisit)
{
    CSBoss1101 *boss = Boss();
    for (int visit = 0; visit < 2; ++visit) {
        SCOPED_TRACE(visit);
        const int32_t before = EffectStarts("3209000");
        EnterBoss(boss, 0);
        Tick();
        EnterBoss(boss, 19);
        if (visit == 0) {
            // The tick its clock reaches the frame brings them, not one before.
            ExpectStartsOnTheTickOfFrame(boss, 2543.0f, "3209000", before, 4);
            // Two leave from the hand tagged 100060, two from the one tagged 100080.
            const RwV3d first = boss::UserFramePosition(boss, 100060);
            const RwV3d second = boss::UserFramePosition(boss, 100080);
            EXPECT_GT(V3Distance(first, second), 1.0f);
            std::vector<RwV3d> from;
            for (const gametest::TraceRecord &r : EffectLines()) {
                if (r.fields.size() >= 5 && r.fields[0] == "start" && r.fields[1] == "3209000") {
                    from.push_back({static_cast<float>(r.Real(2)), static_cast<float>(r.Real(3)),
                                    static_cast<float>(r.Real(4))});
                }
            }
            ASSERT_GE(from.size(), 4u);
            const RwV3d hands[] = {first, first, second, second};
            for (size_t i = 0; i < 4; ++i) {
                EXPECT_LT(V3Distance(from[from.size() - 4 + i], hands[i]), 0.02f) << i;
            }
        }
        TicksUntil([&] { return boss->state19Effect; }, 120);
        EXPECT_GE(boss::ClockFrame(boss), 2543.0f);
        EXPECT_EQ(EffectStarts("3209000"), before + 4);
        Ticks(20);
        EXPECT_EQ(EffectStarts("3209000"), before + 4);
    }
}

// Held (state 25), a blow while its damage is pending shows the grab tint
// (material animation 1 at 0.08 s, looping); before the grab nothing shows.
TEST_F(Boss1101, HeldABlowShowsTheGrabTint)
{
    CSBoss1101 *boss = PlaceBoss<CSBoss1101>(kType, kHome, kSouth);
    FsfBuilder b;
    b.State(0).To(104, 25, 1);
    b.State(25).Hurt(0).To(104, 25, 1);
    UseStateMachine(kType, b.Build());
    PutHero(kFarAway);
    Hit(boss, kAtkGrab, 0);
    Ticks(2);
    ASSERT_EQ(boss->state, 25);
    EXPECT_EQ(matAnims.Find(boss), nullptr);
    Hit(boss, kAtkHeldDamage, 40);
    Ticks(3);
    EXPECT_EQ(boss->state, 25);
    ExpectLook(boss, 1, 0.08f, true);
}

// A hero's grab seizes it (104 to the held state 25, grabbed); held, a
// blow (4096) hurts with 104 and the let-go (2048) frees it with 105; the
// hero's release (512) in state 15 gives 14. A status-16 hit (65536) costs
// HP outside the held state only.
TEST_F(Boss1101, TheHeldStateTakesTheHerosInputs)
{
    CSBoss1101 *boss = PlaceBoss<CSBoss1101>(kType, kHome, kSouth);
    FsfBuilder b;
    b.State(0).To(104, 25, 1);
    b.State(15).To(14, 18, 1);
    b.State(25).To(104, 24, 1).To(105, 22, 1);
    for (int32_t s : {18, 22, 24}) {
        b.State(s);
    }
    UseStateMachine(kType, b.Build());
    PutHero(kFarAway);
    const int32_t defense = monster::ParamsOf(boss).defense;
    Hit(boss, kAtkGrab, 0);
    Ticks(2);
    EXPECT_EQ(boss->state, 25);
    EXPECT_TRUE(boss->grabbed);
    EXPECT_EQ(boss->lastAttacker, &hero);
    int32_t hp = boss->hp;
    Hit(boss, kAtkStatus16, 40);  // not counted while held
    Ticks(3);
    EXPECT_EQ(boss->hp, hp);
    Hit(boss, kAtkHeldDamage, 40);
    Ticks(3);
    EXPECT_EQ(boss->state, 24);
    EXPECT_EQ(boss->hp, hp - (40 - defense));
    ExpectLetGoAndRelease(boss, 25, 22, 15, 18);
    EnterBoss(boss, 0);
    hp = boss->hp;
    Hit(boss, kAtkStatus16, 40);
    Ticks(3);
    EXPECT_EQ(boss->hp, hp - (40 - defense));
}

// In state 23 a hero may grab it; after 2 s it lets that chance go (106).
TEST_F(Boss1101, StateTwentyThreeMayBeGrabbedForTwoSeconds)
{
    CSBoss1101 *boss = Boss();
    FsfBuilder b;
    b.State(0).To(0, 0);
    b.State(23).To(106, 24, 1);
    b.State(24).To(0, 0);
    UseStateMachine(kType, b.Build());
    EnterBoss(boss, 23);
    Tick();
    EXPECT_TRUE(boss->grabbable);
    const int ticks = TicksUntil([&] { return boss->state != 23; }, 200);
    EXPECT_EQ(boss->state, 24);
    EXPECT_NEAR((ticks + 1) / 60.0f, 2.0f, 0.05f);
    EXPECT_FALSE(boss->grabbable);
    boss->grabbed = true;
    Tick();
    EXPECT_FALSE(boss->grabbed);
    EXPECT_EQ(boss->stateTimer, 0.0f);
    // It lets the chance go on the tick its 2 s are up, not one later.
    EnterBoss(boss, 23);
    boss->stateTimer = 1.75f;
    Tick(0.25f);
    EXPECT_EQ(boss->state, 24);
}

// A held character is kept while it stands, and let go (kind 2 {0, 512,
// 0}) when the boss dies and when an event puts it in its hold state.
TEST_F(Boss1101, ItLetsGoOfItsHeldCharacterAtDeathAndInItsHoldState)
{
    ExpectItLetsGoOfItsHeldHeroAtDeathAndInItsHoldState([&](const RwV3d &at) { return Boss(at); },
                                                        &CSBoss1101::heldCharacter, 27, 32);
}

// Its weapon flames ("3010600.zus") start once per entry with its model:
// one in state 6 (frame 100140) and in 9 (100130), four in 12, 13 and 16
// (100060, 100080, 100130 and 100140; the stage's pool of two gives the
// first two). However long the visit, none starts again once they have
// burnt out.
TEST_F(Boss1101, ItsWeaponFlamesStartOncePerEntry)
{
    CSBoss1101 *boss = Boss();
    const std::pair<int32_t, int32_t> flames[] = {{6, 1}, {9, 1}, {12, 2}, {13, 2}, {16, 2}};
    for (const auto &[state, count] : flames) {
        SCOPED_TRACE(state);
        for (int visit = 0; visit < 2; ++visit) {
            EnterBoss(boss, 0);
            Tick();
            boss->SetPosition(kHome);
            const int32_t out = particles.SystemsOut();
            EnterBoss(boss, state);
            Ticks(2);
            EXPECT_EQ(particles.SystemsOut(), out + count);
            TicksUntil([&] { return particles.SystemsOut() == out; }, 150);
            EXPECT_EQ(particles.SystemsOut(), out);
            Ticks(30);
            EXPECT_EQ(particles.SystemsOut(), out);
            EXPECT_EQ(boss->state, state);
        }
    }
}

// Entering each state plays its sound once per entry: 5 6300000, 6 6220010, 7 and
// 10 6300140, 17 6220020, 19 6220030, 25 6220040; and none of
// the table's other sounds.
TEST_F(Boss1101, EachStateSoundsItsOwnEntrySoundOncePerEntry)
{
    AiObject *boss = PlaceBoss<AiObject>(kType, kHome, kSouth);
    UseStatesThatStay(kType, 32);
    PutHero(kFarAway);
    const std::pair<int32_t, int32_t> entries[] = {{5, 6300000},  {6, 6220010},  {7, 6300140}, {10, 6300140},
                                                   {17, 6220020}, {19, 6220030}, {25, 6220040}};
    ExpectEntrySoundsOncePerEntry(boss, entries);
}

}  // namespace

}  // namespace boss_1101_test
