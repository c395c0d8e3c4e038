// Boss 1103 frame by frame: its rage below 60, 30 and 10 % of its HP (once
// each, and still armed when the forced transition misses the blast 21),
// the blast slowed until frame 2180 and its shockwave, the guard 28, the
// escape 108 at the third hurtable frame in its guard stance 22, the
// double shot at frame 2935, the weapon flames once per visit, the grab
// inputs, and the rage glow and time-since-hit with the stage's hit-timer
// switch on, neither with it off.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "boss/boss_1103.h"
#include "boss_scenario.h"
#include "stage/character_params.h"
#include "stage/media_paths.h"

namespace boss_1103_test {

namespace {

using bosstest::BossScenario;
using bosstest::FsfBuilder;

constexpr int32_t kType = 1103;
constexpr RwV3d kHome = {0.0f, 0.0f, 60.0f};
constexpr RwV3d kSouth = {0.0f, 0.0f, -1.0f};
constexpr RwV3d kFarAway = {0.0f, 0.0f, -300.0f};
// In its search range, beyond its alarm circle and attack range.
constexpr RwV3d kInSight = {0.0f, 0.0f, -20.0f};

class Boss1103 : public BossScenario {
protected:
    // Idle 0 (the rage 16 to the blast 21, a grab 104 to the grab fight
    // 25); the blow 7 (no rage from it); 12, 18, 20 and 21 back to idle;
    // the guard stance 22 (17 the counter 10, 108 the dodge 16); the grab
    // fights 25 (on to 27) and 27 (105 to 24); 15 (15 to 26); the guard 28
    // (18 to idle, 102 to the stance); dying 5 into gone 6.
    CSBoss1103 *Boss(const RwV3d &heroAt = kFarAway)
    {
        CSBoss1103 *boss = PlaceBoss<CSBoss1103>(kType, kHome, kSouth);
        FsfBuilder b;
        b.State(0).To(16, 21, 1).To(104, 25, 1).To(0, 0);
        b.State(5).Hurt(0).To(0, 6);
        b.State(6).Hurt(0);
        b.State(7).To(0, 7);
        for (int32_t s : {10, 12, 16, 18, 20, 21, 24, 26}) {
            b.State(s).To(0, 0);
        }
        b.State(15).To(15, 26, 1).To(0, 15);
        b.State(22).To(17, 10, 1).To(108, 16, 1).To(0, 22);
        b.State(25).To(104, 25, 1).To(0, 27);
        b.State(27).To(105, 24, 1).To(104, 27, 1).To(0, 27);
        b.State(28).To(18, 0, 1).To(102, 22, 1).To(0, 28);
        b.State(34).Hurt(0).To(0, 34);
        bosstest::DiesFrom(b, {0, 7, 22, 28}, 5);
        UseStateMachine(kType, b.Build());
        PutHero(heroAt);
        hero.hp = 100000;
        return boss;
    }
    int32_t MaxHP(AiObject *boss) { return monster::ParamsOf(boss).maxHP; }
};

// Below each threshold (at it, not yet) the rage forces the blast once; a
// threshold whose input finds no way to state 21 (here from the blow 7)
// stays armed and fires once the boss is back where it leads there. Not
// while a hero holds it, nor without a foe.
TEST_F(Boss1103, EachRageFiresOnceAndWaitsWhenTheBlastIsOutOfReach)
{
    CSBoss1103 *boss = Boss(kInSight);
    Ticks(2);
    ASSERT_NE(boss->target, nullptr);
    ASSERT_EQ(MaxHP(boss) * 60 % 100, 0);
    boss->hp = MaxHP(boss) * 60 / 100;
    Ticks(3);
    EXPECT_EQ(boss->state, 0);
    EXPECT_FALSE(boss->RageDone[0]);
    boss->hp -= 1;
    Tick();
    EXPECT_EQ(boss->state, 21);
    EXPECT_TRUE(boss->RageDone[0]);
    EXPECT_FALSE(boss->RageDone[1]);
    EnterBoss(boss, 0);
    Ticks(5);
    EXPECT_EQ(boss->state, 0);  // once
    // Held by a hero: nothing.
    boss->hp = MaxHP(boss) * 29 / 100;
    boss->heldByHero = true;
    Ticks(3);
    EXPECT_EQ(boss->state, 0);
    EXPECT_FALSE(boss->RageDone[1]);
    boss->heldByHero = false;
    // From the blow 7 the input leads nowhere: still armed.
    EnterBoss(boss, 7);
    Ticks(3);
    EXPECT_EQ(boss->state, 7);
    EXPECT_FALSE(boss->RageDone[1]);
    EnterBoss(boss, 0);
    Tick();
    EXPECT_EQ(boss->state, 21);
    EXPECT_TRUE(boss->RageDone[1]);
    // The last one, then none.
    EnterBoss(boss, 0);
    boss->hp = MaxHP(boss) * 9 / 100;
    Tick();
    EXPECT_EQ(boss->state, 21);
    EXPECT_TRUE(boss->RageDone[2]);
    EnterBoss(boss, 0);
    Ticks(5);
    EXPECT_EQ(boss->state, 0);
}

// The blast runs at x0.9 and holds its hit-stop until its clock reaches
// frame 2180; then, once, the shockwave at the boss's feet.
TEST_F(Boss1103, TheBlastIsSlowedUntilFrame2180ThenTheShockwave)
{
    CSBoss1103 *boss = Boss();
    const int32_t waves = EffectStarts("Shockwave");
    EnterBoss(boss, 21);
    const float startFrame = boss::ClockFrame(boss);
    ASSERT_LT(startFrame, 2180.0f);
    Tick();
    EXPECT_EQ(boss->animSpeedMode, 6);
    EXPECT_TRUE(boss->hitStopPending);
    EXPECT_FALSE(boss->targetable);
    const int ticks = TicksUntil([&] { return boss->BlastDone; }, 400);
    EXPECT_GE(boss::ClockFrame(boss), 2180.0f);
    EXPECT_NEAR(static_cast<float>(ticks + 1), (2180.0f - startFrame) / 0.9f, 2.0f);
    EXPECT_EQ(boss->animSpeedMode, 0);
    EXPECT_FALSE(boss->hitStopPending);
    EXPECT_EQ(EffectStarts("Shockwave"), waves + 1);
    Ticks(10);
    EXPECT_EQ(EffectStarts("Shockwave"), waves + 1);
}

// Without the shockwave's pool the blast runs and ends at frame 2180 all
// the same, starting nothing.
TEST_F(Boss1103, WithoutTheShockwavesPoolTheBlastEndsAllTheSame)
{
    CSBoss1103 *boss = Boss();
    CSBigShotShockwave *pool = effects.shockwave;
    effects.shockwave = nullptr;
    const int32_t waves = EffectStarts("Shockwave");
    EnterBoss(boss, 21);
    const int ticks = TicksUntil([&] { return boss->BlastDone; }, 400);
    effects.shockwave = pool;
    EXPECT_GE(ticks, 0);
    EXPECT_GE(boss::ClockFrame(boss), 2180.0f);
    EXPECT_EQ(boss->animSpeedMode, 0);
    EXPECT_FALSE(boss->hitStopPending);
    EXPECT_EQ(EffectStarts("Shockwave"), waves);
}

// State 26 silences the dizzy loop (6300070) that may be sounding; its
// other states leave that sound alone, entered or not.
TEST_F(Boss1103, StateTwentySixSilencesTheDizzyLoop)
{
    CSBoss1103 *boss = Boss();
    const std::string dizzy = "stop " + SoundEffectPath(6300070);
    auto stops = [&] { return std::count(fakeSound.log.begin(), fakeSound.log.end(), dizzy); };
    Tick();
    for (int32_t state : {0, 7, 12}) {
        EnterBoss(boss, state);
        Ticks(3);
    }
    EXPECT_EQ(stops(), 0);
    EnterBoss(boss, 26);
    Tick();
    EXPECT_GE(stops(), 1);
}

// What it chooses from where its foe stands and the state it is in (each
// input here leads to a state of its own): in sight, idle closes in (5),
// approaching walks on (1), elsewhere the state random picks 5 or 1;
// within the alarm circle the same but 11 for 5 outside idle and the
// approaches; within reach it attacks (10) a foe inside its cone, seen
// from 5 behind it, and turns (3) to one outside; its approach 3 first
// waits 0.3 s (2), then picks 11 below a state random of 50, else 10.
TEST_F(Boss1103, ItsFoesPlaceAndItsStateChooseItsInput)
{
    CSBoss1103 *boss = PlaceBoss<CSBoss1103>(kType, kHome, kSouth);
    constexpr int32_t kParked = 33;
    const std::pair<int32_t, int32_t> leads[] = {{1, 8}, {3, 13}, {5, 14}, {10, 17}, {11, 19}};
    UseInputLeads(kType, {0, 3, 7}, leads, kParked);
    const auto [sight, alarm, reach] = bosstest::SensingBandsOf(boss);
    const struct {
        int32_t from;
        float ahead;  // where the foe stands: ahead of the boss (< 0 behind)
        int32_t random;
        int32_t leadsTo;
    } cases[] = {{0, sight, 70, 14}, {0, alarm, 30, 14},  {0, reach, 30, 17},  {0, -reach, 30, 13},
                 {7, sight, 50, 14}, {7, sight, 49, 8},   {7, alarm, 50, 19},  {7, alarm, 49, 8},
                 {7, reach, 30, 17}, {7, -reach, 30, 13}, {3, sight, 70, 8},   {3, alarm, 70, 8}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " with the foe " + std::to_string(c.ahead) + " ahead, r " +
                     std::to_string(c.random));
        const RwV3d heroAt = {kHome.x, 0.0f, kHome.z - c.ahead};
        EXPECT_EQ(StateChosen(boss, kParked, c.from, c.random, heroAt, kHome, kSouth), c.leadsTo);
    }
    // The approach's wait, then its pick.
    for (const int32_t random : {49, 50}) {
        SCOPED_TRACE(random);
        boss->SetPosition(kHome);
        boss->SetDirection(kSouth);
        EnterBoss(boss, kParked);
        PutHero({kHome.x, 0.0f, kHome.z - reach});
        Tick();
        EnterBoss(boss, 3);
        boss->stateRandom = random;
        const int ticks = TicksUntil([&] { return boss->state != 3; }, 60);
        EXPECT_EQ(boss->state, random < 50 ? 19 : 17);
        EXPECT_NEAR(ticks / 60.0f, random < 50 ? 0.3f : 0.0f, 0.05f);
    }
}

// The cone is the attack half angle in degrees, seen from 5 units behind
// the boss: a foe in reach just inside it gets the attack (10, to 17), just
// outside it the turn (3, to 13); in state 12 a foe outside it is faced at
// once, one inside it is not.
TEST_F(Boss1103, ItsAttackConeIsItsHalfAngleInDegrees)
{
    CSBoss1103 *boss = PlaceBoss<CSBoss1103>(kType, kHome, kSouth);
    constexpr int32_t kParked = 33;
    FsfBuilder b;
    b.State(0).To(3, 13, 1).To(10, 17, 1).To(11, 19, 1);
    for (int32_t s : {12, 13, 17, 19, kParked}) {
        b.State(s);
    }
    UseStateMachine(kType, b.Build());
    const CharacterParams &params = monster::ParamsOf(boss);
    const float half = params.attackHalfAngle;
    const float reach = params.attackRange / 2.0f;
    constexpr float kPi = 3.14159265f;
    // The foe `degrees` off the facing as seen from the point 5 behind.
    auto foeAt = [&](float degrees) {
        const float a = degrees * kPi / 180.0f;
        return RwV3d{kHome.x + reach * std::sin(a), 0.0f, kHome.z + 5.0f - reach * std::cos(a)};
    };
    const std::array<bosstest::ConeBearing, 3> cases = bosstest::BearingsAroundTheCone(half);
    ASSERT_TRUE(bosstest::ARadiansReadingJudgesOtherwise(cases, half)) << half;
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.degrees) + " degrees off");
        const RwV3d at = foeAt(c.degrees);
        boss->SetPosition(kHome);
        boss->SetDirection(kSouth);
        EnterBoss(boss, kParked);
        PutHero(at);
        ASSERT_LT(V3Length(V3Sub(at, kHome)), params.attackRange);
        Tick();
        EnterBoss(boss, 0);
        boss->stateRandom = 30;
        TicksUntil([&] { return boss->state != 0; }, 5);
        EXPECT_EQ(boss->state, c.inside ? 17 : 13);

        boss->SetPosition(kHome);
        boss->SetDirection(kSouth);
        EnterBoss(boss, 12);
        Tick();
        RwV3d facing;
        boss->GetDirection(&facing);
        if (c.inside) {
            EXPECT_NEAR(facing.x, 0.0f, 1e-4f);
            EXPECT_NEAR(facing.z, -1.0f, 1e-4f);
        } else {
            const RwV3d toward = monster::Flat(V3Sub(at, kHome));
            EXPECT_NEAR(facing.x, toward.x / V3Length(toward), 1e-3f);
            EXPECT_NEAR(facing.z, toward.z / V3Length(toward), 1e-3f);
        }
    }
}

// A counter blow (state 10) that lands on a hero who is not guarding
// chains the second (input 4 at the end of state 11's motion); a guarded
// one does not.
TEST_F(Boss1103, ACounterThatLandsUnguardedChainsTheSecond)
{
    ExpectBlowChainsOnlyUnguarded(PlaceBoss<CSBoss1103>(kType, kHome, kSouth));
}

// Entering each state plays its sound once per entry: 5 6230000, 6 and 12
// 6230020, 7 and 13 6300080, 9 6230010, 10 6300110, 22 6230030, 23 and 27
// 6230040, 29 6230050; and none of the table's other sounds.
TEST_F(Boss1103, EachStateSoundsItsOwnEntrySoundOncePerEntry)
{
    CSBoss1103 *boss = PlaceBoss<CSBoss1103>(kType, kHome, kSouth);
    UseStatesThatStay(kType, 34);
    PutHero(kFarAway);
    // The gone state 6 last, and once: the boss leaves play in it.
    const std::pair<int32_t, int32_t> entries[] = {{12, 6230020}, {7, 6300080},  {13, 6300080}, {9, 6230010},
                                                   {10, 6300110}, {22, 6230030}, {23, 6230040}, {27, 6230040},
                                                   {29, 6230050}, {5, 6230000},  {6, 6230020}};
    ExpectEntrySoundsOncePerEntry(boss, entries, 6);
}

// The guard 28 takes no harm from ordinary hits, sounds 6300210 for them and
// feeds 0; a heavy hit breaks it (102); it ends with 18 after 2 s.
TEST_F(Boss1103, TheGuardHoldsTwoSecondsUnlessBroken)
{
    CheckGuard(Boss(), 28, 2.0f, 0, 22);
}

TEST_F(Boss1103, TheGuardFeedsIdleOnEachFrame) { ExpectTheGuardFeedsIdle(Boss(), 28, true); }

// In the guard stance 22 it counts the frames it is hurtable in its hurt
// window: the third gives the escape 108, with a foe that is not in its
// own grab move; without that the peek 17 every 0.3 s (state random below 20).
TEST_F(Boss1103, TheGuardStanceEscapesAtTheThirdHurtableFrame)
{
    CSBoss1103 *boss = Boss(kInSight);
    Ticks(2);
    ASSERT_NE(boss->target, nullptr);
    EnterBoss(boss, 22);
    boss->stateRandom = 50;
    boss->HurtableFrames = 0;
    boss->HurtWindow = 0.0f;
    Ticks(2);
    EXPECT_EQ(boss->state, 22);
    Tick();
    EXPECT_EQ(boss->state, 16);  // the escape
    // A foe in its grab move: no escape, no peek.
    hero.grabMove = true;
    EnterBoss(boss, 22);
    boss->stateRandom = 10;
    boss->HurtableFrames = 0;
    boss->HurtWindow = 0.0f;
    Ticks(40);
    EXPECT_EQ(boss->state, 22);
    hero.grabMove = false;
    // An old window: the peek after 0.3 s.
    EnterBoss(boss, 0);
    Tick();
    EnterBoss(boss, 22);
    boss->stateRandom = 10;
    boss->HurtWindow = 1.99f;
    boss->HurtableFrames = -1000;
    const int ticks = TicksUntil([&] { return boss->state != 22; }, 40);
    EXPECT_EQ(boss->state, 10);
    EXPECT_NEAR(ticks / 60.0f, 0.3f, 0.03f);
}

// State 20 fires its double shot once per visit when its clock reaches
// frame 2935: one big shot from each hand along the facing.
TEST_F(Boss1103, TheDoubleShotFiresOncePerVisitAtFrame2935FromBothHands)
{
    CSBoss1103 *boss = Boss();
    for (int visit = 0; visit < 2; ++visit) {
        SCOPED_TRACE(visit);
        const int32_t before = EffectStarts("3209000");
        EnterBoss(boss, 0);
        Tick();
        EnterBoss(boss, 20);
        TicksUntil([&] { return boss->ShotDone; }, 200);
        EXPECT_GE(boss::ClockFrame(boss), 2935.0f);
        EXPECT_EQ(EffectStarts("3209000"), before + 2);
        Ticks(10);
        EXPECT_EQ(EffectStarts("3209000"), before + 2);
    }
    // Each shot leaves from one of its hands (frames 100040 and 100020),
    // two places on its body.
    std::vector<RwV3d> from;
    for (const gametest::TraceRecord &r : EffectLines()) {
        if (r.fields.size() >= 5 && r.fields[0] == "start" && r.fields[1] == "3209000") {
            from.push_back({std::stof(r.fields[2]), std::stof(r.fields[3]), std::stof(r.fields[4])});
        }
    }
    ASSERT_EQ(from.size(), 4u);
    const float radius = monster::ParamsOf(boss).radius;
    for (const RwV3d &at : from) {
        EXPECT_LT(V3Distance(at, *boss->GetPositionPtr()), 4.0f * radius);
    }
    EXPECT_GT(V3Distance(from[0], from[1]), 0.5f);
}

// The weapon flame starts on entering 12 and 21, and in 18 once its motion
// passes frame 1414: once per visit each.
TEST_F(Boss1103, TheWeaponFlamesLightOncePerVisit)
{
    CSBoss1103 *boss = Boss();
    for (const int32_t state : {12, 21, 18}) {
        SCOPED_TRACE(state);
        EnterBoss(boss, 0);
        Ticks(90);  // earlier flames have burnt out
        const int32_t out = particles.SystemsOut();
        EnterBoss(boss, state);
        Tick();
        if (state == 18) {
            EXPECT_EQ(particles.SystemsOut(), out);
            TicksUntil([&] { return boss::ClockFrame(boss) > 1414.0f; }, 120);
            Tick();
            EXPECT_TRUE(boss->Flame18Done) << boss::ClockFrame(boss) << " " << boss->state;
        }
        EXPECT_EQ(particles.SystemsOut(), out + 1);
        Ticks(5);
        EXPECT_EQ(particles.SystemsOut(), out + 1);
    }
}

// Its timed steps come on the tick their frame is reached, not a tick early
// or late: the double shot on the tick its clock reaches 2935; the flame of
// 18 once the clock has passed 1414, the tick after it stood on it; the
// blast slowed (x0.9) up to the tick it reaches 2180, which brings the
// shockwave and the normal speed.
TEST_F(Boss1103, ItsTimedStepsComeOnTheTickOfTheirFrame)
{
    CSBoss1103 *boss = Boss();
    EnterBoss(boss, 0);
    Tick();
    const int32_t shots = EffectStarts("3209000");
    EnterBoss(boss, 20);
    ExpectStartsOnTheTickOfFrame(boss, 2935.0f, "3209000", shots, 2);

    EnterBoss(boss, 0);
    Ticks(90);  // the shots' flames have burnt out
    const int32_t out = particles.SystemsOut();
    EnterBoss(boss, 18);
    boss->animClock = bosstest::ClockLandingOnFrame(1414.0f, 3);
    Ticks(3);
    EXPECT_EQ(boss::ClockFrame(boss), 1414.0f);
    EXPECT_EQ(particles.SystemsOut(), out);
    Tick();
    EXPECT_EQ(particles.SystemsOut(), out + 1);

    EnterBoss(boss, 0);
    Tick();
    const int32_t waves = EffectStarts("Shockwave");
    EnterBoss(boss, 21);
    Tick();
    boss->animClock = bosstest::ClockLandingOnFrame(2180.0f, 3, 0.9f);
    Ticks(2);
    EXPECT_EQ(boss->animSpeedMode, 6);
    EXPECT_EQ(EffectStarts("Shockwave"), waves);
    Tick();
    EXPECT_EQ(boss::ClockFrame(boss), 2180.0f);
    EXPECT_EQ(boss->animSpeedMode, 0);
    EXPECT_EQ(EffectStarts("Shockwave"), waves + 1);
}

// A hero's grab seizes it (104, grabbed); in the grab fights a blow while
// held (4096) hurts with 104; the let-go (2048) frees it (105) only in 27;
// the hero's release (512) in state 15 gives 15.
TEST_F(Boss1103, TheGrabFightsTakeTheHerosInputs)
{
    CSBoss1103 *boss = Boss();
    Hit(boss, kAtkGrab, 0);
    Ticks(2);
    EXPECT_EQ(boss->state, 25);
    EXPECT_TRUE(boss->grabbed);
    const int32_t hp = boss->hp;
    Hit(boss, kAtkHeldDamage, 40);
    Hit(boss, kAtkGrabEnd, 0);
    Ticks(3);
    EXPECT_EQ(boss->state, 25);
    EXPECT_TRUE(boss->grabbed);
    EXPECT_EQ(boss->hp, hp - (40 - monster::ParamsOf(boss).defense));
    ExpectLetGoAndRelease(boss, 27, 24, 15, 26);
}

// It turns toward its foe by TurnDeg a second in its approach 4 and its
// guard 28; idle, in its blow 7 and its guard stance 22 it keeps its facing.
TEST_F(Boss1103, ItTurnsToItsFoeOnlyInItsApproachAndGuard)
{
    ExpectItTurnsOnlyIn(Boss(), 34, {4, 28}, {0, 7, 22});
}

// A hero it has grabbed is kept while it stands, and let go (kind 2 {0,
// 512, 0}) when it dies and when an event puts it in its hold state 34.
TEST_F(Boss1103, ItLetsGoOfItsGrabbedHeroAtDeathAndInItsHoldState)
{
    ExpectItLetsGoOfItsHeldHeroAtDeathAndInItsHoldState(
        [&](const RwV3d &at) {
            CSBoss1103 *boss = Boss();
            boss->SetPosition(at);
            return boss;
        },
        &CSBoss1103::GrabbedHero, 5, 34);
}

// With the stage's hit-timer switch on the rage glow runs while it has its
// model and a hit (and burning) restarts its time since the last hit,
// which grows again to 5; with the switch off it stays 5.0 and no glow runs.
TEST_F(Boss1103, TheHitTimerAndTheGlowFollowTheSwitch)
{
    for (const bool on : {false, true}) {
        SCOPED_TRACE(on);
        stage.hitTimerSwitch = on ? 1 : 0;
        CSBoss1103 *boss = Boss();
        boss->SetPosition({on ? 40.0f : -40.0f, 0.0f, 60.0f});
        ExpectAHitRestartsTheTimeSinceHit(boss, on, boss->RageGlowOn);
        // Burning costs HP every 30 acts and restarts it only with the switch on.
        Hit(boss, kAtkBurn, 0);
        Ticks(40);
        EXPECT_NE(boss->activeStatus & kStatusBurning, 0);
        if (on) {
            EXPECT_LT(boss->timeSinceHurt, 0.6f);
        } else {
            EXPECT_EQ(boss->timeSinceHurt, 5.0f);
        }
        ExpectTheGlowGoesWithTheModel(boss, boss->RageGlowOn);
    }
    stage.hitTimerSwitch = 0;
}

}  // namespace

}  // namespace boss_1103_test
