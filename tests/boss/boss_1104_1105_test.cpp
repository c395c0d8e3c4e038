// Bosses 1104 and 1105 frame by frame: 1104 circles a far foe sideways and
// backs off from a near one (and for 2 s in its back-off), casts each spell
// once per visit at its frame, lays its casting beam from its weapon to
// the foe once per visit and gives it back when it leaves the state, calls
// its partner at 70 % without one but at 40 and 10 % only with one that is
// not out, keeps the partner 2 units ahead for 30 s and sends it away when
// it dies; 1105 waits unseen with input 201, appears straight into state
// 4 where it was put, fires at most three wing balls a visit at least
// 0.1 s apart each with its sound, gives its model back when it has left,
// and never loses HP; 1104 keeps a hero that swings without pause in sight.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "boss/boss_1104.h"
#include "boss/boss_1105.h"
#include "boss/boss_beam.h"
#include "boss_scenario.h"
#include "fx/particle_system.h"
#include "stage/character_params.h"
#include "stage/model_template.h"
#include "stage/v3.h"

namespace boss_1104_1105_test {

namespace {

using bosstest::BossScenario;
using monstertest::AllModelsTaken;
using bosstest::FsfBuilder;

constexpr int32_t kType = 1104;
constexpr RwV3d kHome = {0.0f, 0.0f, 60.0f};
constexpr RwV3d kSouth = {0.0f, 0.0f, -1.0f};
constexpr RwV3d kFarAway = {0.0f, 0.0f, -300.0f};

class Boss1104 : public BossScenario {
protected:
    // Idle 0 (16 to the call 6); the circling 1 (20 units a second; its end
    // 11 to idle); the back-off 2 (2 to idle); the spells 3, 4 and 5 and
    // the counter cast 7; the call 6; dying 12 into gone 13.
    CSBoss1104 *Boss(const RwV3d &heroAt = kFarAway)
    {
        CSBoss1104 *boss = PlaceBoss<CSBoss1104>(kType, kHome, kSouth);
        FsfBuilder b;
        b.State(0).To(16, 6, 1).To(0, 0);
        b.State(1).Speed(20.0f).To(11, 0, 1);
        b.State(2).Speed(20.0f).To(2, 0, 1).To(0, 2);
        for (int32_t s : {3, 4, 5, 6, 7}) {
            b.State(s).To(0, 0);
        }
        b.State(12).Hurt(0).To(0, 13);
        b.State(13).Hurt(0);
        bosstest::DiesFrom(b, {0, 1, 2, 6}, 12);
        UseStateMachine(kType, b.Build());
        PutHero(heroAt);
        hero.hp = 100000;
        return boss;
    }
    // Back to idle and into the counter cast 7: the beam is laid and emits.
    void ExpectTheNextVisitLaysTheBeam(CSBoss1104 *boss)
    {
        EnterBoss(boss, 0);
        Tick();
        EnterBoss(boss, 7);
        Tick();
        ASSERT_NE(boss->Beam.system, nullptr);
        EXPECT_TRUE(boss->Beam.system->IsEmitting());
    }
    CSBoss1105 *Partner(const RwV3d &at = {80.0f, 0.0f, 60.0f})
    {
        return static_cast<CSBoss1105 *>(Place(1105, at, kSouth, 0, 0));
    }
    int32_t MaxHP(AiObject *boss) { return monster::ParamsOf(boss).maxHP; }
};

// Far from its foe (35 or more) it circles: it steps sideways, facing the
// foe; nearer it backs away; in the back-off state it backs away for 2 s.
TEST_F(Boss1104, ItCirclesAFarFoeAndBacksOffFromANearOne)
{
    CSBoss1104 *boss = Boss({0.0f, 0.0f, 0.0f});  // 60 away
    Ticks(2);
    ASSERT_NE(boss->target, nullptr);
    EnterBoss(boss, 1);
    Ticks(30);
    const RwV3d p = *boss->GetPositionPtr();
    EXPECT_GT(std::fabs(p.x), 5.0f);  // sideways
    EXPECT_TRUE(boss->SideChosen);
    EXPECT_LT(std::fabs(p.z - kHome.z), 2.0f);
    // Near: backs away along its facing.
    boss->SetPosition(kHome);
    PutHero({0.0f, 0.0f, 35.0f});  // 25 away
    Ticks(30);
    EXPECT_GT(boss->GetPositionPtr()->z, kHome.z + 5.0f);
    EXPECT_LT(std::fabs(boss->GetPositionPtr()->x), 2.0f);
    // After 3 s of circling the state random decides: 11 ends it here.
    EnterBoss(boss, 0);
    Tick();
    EnterBoss(boss, 1);
    boss->stateRandom = 70;
    const int ticks = TicksUntil([&] { return boss->state != 1; }, 400);
    EXPECT_EQ(boss->state, 0);
    EXPECT_NEAR(ticks / 60.0f, 3.0f, 0.05f);
    // The back-off: 2 s backwards, then 2.
    PutHero({0.0f, 0.0f, -30.0f});
    boss->SetPosition(kHome);
    EnterBoss(boss, 2);
    const int backTicks = TicksUntil([&] { return boss->state != 2; }, 400);
    EXPECT_EQ(boss->state, 0);
    EXPECT_NEAR(backTicks / 60.0f, 2.0f, 0.05f);
    EXPECT_GT(boss->GetPositionPtr()->z, kHome.z + 20.0f);
}

// Each visit of its circling goes round the far foe the other way.
TEST_F(Boss1104, EachVisitCirclesTheOtherWay)
{
    CSBoss1104 *boss = Boss({0.0f, 0.0f, 0.0f});  // 60 away
    Ticks(2);
    ASSERT_NE(boss->target, nullptr);
    float last = 0.0f;
    for (int visit = 0; visit < 3; ++visit) {
        SCOPED_TRACE(visit);
        boss->SetPosition(kHome);
        boss->SetDirection(kSouth);
        EnterBoss(boss, 0);
        Tick();
        EnterBoss(boss, 1);
        Ticks(30);
        const float x = boss->GetPositionPtr()->x;
        EXPECT_GT(std::fabs(x), 5.0f);
        if (visit > 0) {
            EXPECT_LT(x * last, 0.0f);
        }
        last = x;
    }
}

// Its circling ends on the tick its 3 s are up and its back-off on the
// tick its 2 s are, not one later.
TEST_F(Boss1104, TheCirclingAndTheBackOffEndOnTheTickTheirTimeIsUp)
{
    CSBoss1104 *boss = Boss({0.0f, 0.0f, 0.0f});
    Ticks(2);
    for (const auto &[state, seconds] : {std::pair{1, 3.0f}, std::pair{2, 2.0f}}) {
        SCOPED_TRACE(state);
        boss->SetPosition(kHome);
        EnterBoss(boss, 0);
        Tick();
        EnterBoss(boss, state);
        boss->stateRandom = 70;
        EXPECT_EQ(TicksToLeave(boss, state, 0.25f, 20), static_cast<int>(seconds / 0.25f));
        EXPECT_EQ(boss->state, 0);
    }
}

// With its sample state machine, against a hero that swings without pause
// (its attacking flag always set): the boss keeps the hero as its foe and
// fights on (circling, backing off, casting), its state never changing on
// every tick and its circling sound (state 1's) played now and then only.
TEST_F(Boss1104, ItKeepsAHeroThatSwingsWithoutPauseInSight)
{
    CSBoss1104 *boss = PlaceBoss<CSBoss1104>(kType, kHome, kSouth);
    PutHero({0.0f, 0.0f, 10.0f}, {0.0f, 0.0f, 1.0f});  // 50 away, in its alarm circle
    hero.hp = 1000000;
    hero.attacking = true;
    std::vector<int32_t> states;
    std::set<int32_t> seen;
    int withoutFoe = 0;
    for (int i = 0; i < 900; ++i) {
        Tick();
        states.push_back(boss->state);
        seen.insert(boss->state);
        withoutFoe += i >= 5 && boss->target != &hero;
    }
    EXPECT_EQ(withoutFoe, 0);
    EXPECT_LT(monstertest::LongestChangingRun(states), 5);  // a chain of routes at most
    EXPECT_TRUE(seen.count(3) != 0 || seen.count(4) != 0 || seen.count(5) != 0);  // it casts
    int circlingSounds = 0;
    for (int32_t id : SoundsFrom(0)) {
        circlingSounds += id == 6240080;
    }
    EXPECT_LE(circlingSounds, 20);
    EXPECT_LT(V3Distance(*boss->GetPositionPtr(), *hero.GetPositionPtr()),
              monster::ParamsOf(boss).searchRange);
}

// The tornado (frame 235, with a foe), the bolt (545) and the vines (740,
// eight on their ring) once per visit each, on the tick the frame is reached.
TEST_F(Boss1104, EachSpellOncePerVisitAtItsFrame)
{
    CSBoss1104 *boss = Boss({0.0f, 0.0f, 0.0f});
    Ticks(2);
    ASSERT_NE(boss->target, nullptr);
    const struct {
        int32_t state;
        const char *pool;
        int32_t starts;
        float frame;
        int visits;  // the vines' eight fill their pool
    } spells[] = {{3, "Tornado", 1, 235.0f, 2}, {4, "3211200", 1, 545.0f, 2}, {5, "Vines", 8, 740.0f, 1}};
    for (const auto &spell : spells) {
        SCOPED_TRACE(spell.state);
        for (int visit = 0; visit < spell.visits; ++visit) {
            const int32_t before = EffectStarts(spell.pool);
            EnterBoss(boss, 0);
            Tick();
            EnterBoss(boss, spell.state);
            if (visit == 0) {
                // The tick its clock reaches the frame brings it, not one before.
                ExpectStartsOnTheTickOfFrame(boss, spell.frame, spell.pool, before, spell.starts);
            }
            TicksUntil([&] { return EffectStarts(spell.pool) != before; }, 120);
            EXPECT_GE(boss::ClockFrame(boss), spell.frame);
            EXPECT_LT(boss::ClockFrame(boss), spell.frame + 1.5f);
            EXPECT_EQ(EffectStarts(spell.pool), before + spell.starts);
            Ticks(10);
            EXPECT_EQ(EffectStarts(spell.pool), before + spell.starts);
        }
    }
}

// The beam's placement: its up axis turned onto the line, its centre
// half-way, its emitter half the distance long; no turn along the up axis.
TEST_F(Boss1104, TheCastingBeamIsTurnedOntoTheLineAndStretchedToHalfTheDistance)
{
    const boss::BeamPlacement across = boss::PlaceBeam({0.0f, 10.0f, 0.0f}, {0.0f, 10.0f, 20.0f});
    EXPECT_NEAR(across.halfLength, 10.0f, 1e-4f);
    EXPECT_NEAR(across.world.up.x, 0.0f, 1e-4f);
    EXPECT_NEAR(across.world.up.y, 0.0f, 1e-4f);
    EXPECT_NEAR(across.world.up.z, 1.0f, 1e-4f);
    EXPECT_NEAR(across.world.pos.z, 10.0f, 1e-4f);
    EXPECT_NEAR(across.world.pos.y, 10.0f, 1e-4f);
    const boss::BeamPlacement slant = boss::PlaceBeam({0.0f, 0.0f, 0.0f}, {3.0f, 4.0f, 0.0f});
    EXPECT_NEAR(slant.halfLength, 2.5f, 1e-4f);
    EXPECT_NEAR(slant.world.up.x, 0.6f, 1e-4f);
    EXPECT_NEAR(slant.world.up.y, 0.8f, 1e-4f);
    EXPECT_NEAR(slant.world.pos.x, 1.5f, 1e-4f);
    EXPECT_NEAR(slant.world.pos.y, 2.0f, 1e-4f);
    const boss::BeamPlacement straight = boss::PlaceBeam({1.0f, 0.0f, 1.0f}, {1.05f, 30.0f, 1.0f});
    EXPECT_NEAR(straight.world.up.y, 1.0f, 1e-4f);  // within 0.99 of up: not turned
    EXPECT_NEAR(straight.halfLength, 15.0f, 1e-3f);
}

// In each beam state the beam is laid once per visit, follows the weapon
// and reaches the foe; leaving the state lets it go back to its pool, so
// visit after visit never drains the pool nor leaves a beam on the weapon.
TEST_F(Boss1104, TheBeamIsLaidOncePerVisitAndGivenBackWhenTheBossLeaves)
{
    CSBoss1104 *boss = Boss({0.0f, 0.0f, 20.0f});
    Ticks(2);
    ASSERT_NE(boss->target, nullptr);
    CSParticleTemplate *beam = particles.FindTemplate("3210400.zus");
    ASSERT_NE(beam, nullptr);
    const int32_t out = particles.SystemsOut();
    for (int visit = 0; visit < beam->Count() + 2; ++visit) {
        SCOPED_TRACE(visit);
        const int32_t state = visit % 2 == 0 ? 7 : 3;
        EnterBoss(boss, state);
        Tick();
        CSParticleSystem *laid = boss->Beam.system;
        ASSERT_NE(laid, nullptr);
        EXPECT_TRUE(laid->IsEmitting());
        EXPECT_EQ(particles.SystemsOut(), out + 1);
        // Its centre half-way between the weapon and the foe.
        const RwV3d weapon = boss::UserFramePosition(boss, 100140);
        const RwV3d foe = boss::BeamTargetOf(&hero);
        const RwV3d mid = {(weapon.x + foe.x) / 2, (weapon.y + foe.y) / 2, (weapon.z + foe.z) / 2};
        EXPECT_NEAR(laid->WorldMatrix().pos.x, mid.x, 1.0f);
        EXPECT_NEAR(laid->WorldMatrix().pos.y, mid.y, 1.0f);
        EXPECT_NEAR(laid->WorldMatrix().pos.z, mid.z, 1.0f);
        Ticks(3);
        EXPECT_EQ(boss->Beam.system, laid);  // once per visit
        EnterBoss(boss, 0);
        Tick();
        EXPECT_EQ(boss->Beam.system, nullptr);
        EXPECT_FALSE(laid->IsEmitting());
        TicksUntil([&] { return particles.SystemsOut() == out; }, 120);
        EXPECT_EQ(particles.SystemsOut(), out);
    }
}

// Its guard 11 takes no harm from ordinary hits and sounds 6300210 for
// them; a heavy hit breaks it (102); it ends with 18 after 2 s.
TEST_F(Boss1104, TheGuardHoldsTwoSecondsUnlessBroken)
{
    CSBoss1104 *boss = Boss();
    FsfBuilder b;
    b.State(0).To(0, 0);
    b.State(9);
    b.State(11).To(18, 0, 1).To(102, 9, 1).To(0, 11);
    UseStateMachine(kType, b.Build());
    CheckGuard(boss, 11, 2.0f, 0, 9);
}

// Its guard 11 feeds 0 on each frame until its 2 s are up.
TEST_F(Boss1104, TheGuardFeedsIdleOnEachFrame) { ExpectTheGuardFeedsIdle(Boss(), 11, true); }

// With no beam free in its pool the boss casts on without one (its
// tornado still comes); the next visit, with one free, lays it.
TEST_F(Boss1104, WithNoBeamFreeItCastsWithoutOne)
{
    CSBoss1104 *boss = Boss({0.0f, 0.0f, 20.0f});
    Ticks(2);
    ASSERT_NE(boss->target, nullptr);
    {
        bosstest::SystemsTaken taken(particles, "3210400.zus", 0);
        const int32_t tornadoes = EffectStarts("Tornado");
        EnterBoss(boss, 3);
        TicksUntil([&] { return EffectStarts("Tornado") != tornadoes; }, 120);
        EXPECT_EQ(EffectStarts("Tornado"), tornadoes + 1);
        EXPECT_EQ(boss->Beam.system, nullptr);
    }
    ExpectTheNextVisitLaysTheBeam(boss);
}

// On a stage without a particle manager it casts on without a beam (its
// tornado still comes); with the manager back the next visit lays it.
TEST_F(Boss1104, WithoutAParticleManagerItCastsWithoutABeam)
{
    CSBoss1104 *boss = Boss({0.0f, 0.0f, 20.0f});
    Ticks(2);
    ASSERT_NE(boss->target, nullptr);
    stage.particleManager = nullptr;
    const int32_t tornadoes = EffectStarts("Tornado");
    EnterBoss(boss, 3);
    TicksUntil([&] { return EffectStarts("Tornado") != tornadoes; }, 120);
    EXPECT_EQ(EffectStarts("Tornado"), tornadoes + 1);
    EXPECT_EQ(boss->Beam.system, nullptr);
    stage.particleManager = &particles;
    ExpectTheNextVisitLaysTheBeam(boss);
}

// The first call comes at 70 % without a partner; the 40 and 10 % calls
// never come without one. A call whose input leads nowhere stays armed.
TEST_F(Boss1104, WithoutAPartnerOnlyTheFirstCallComes)
{
    CSBoss1104 *boss = Boss();
    boss->hp = MaxHP(boss) * 70 / 100 + 1;
    Ticks(3);
    EXPECT_EQ(boss->state, 0);
    EnterBoss(boss, 1);  // no call from the circling
    boss->hp = MaxHP(boss) * 70 / 100;
    Ticks(3);
    EXPECT_EQ(boss->state, 1);
    EXPECT_FALSE(boss->CallDone[0]);
    EnterBoss(boss, 0);
    Tick();
    EXPECT_EQ(boss->state, 6);
    EXPECT_TRUE(boss->CallDone[0]);
    EXPECT_TRUE(boss->PartnerCalled);
    EXPECT_EQ(boss->Partner, nullptr);
    EnterBoss(boss, 0);
    boss->hp = MaxHP(boss) * 5 / 100;
    Ticks(5);
    EXPECT_EQ(boss->state, 0);
    EXPECT_FALSE(boss->CallDone[1]);
    EXPECT_FALSE(boss->CallDone[2]);
}

// With its partner: the call puts it 2 units ahead facing as the boss and
// calls it for 30 s; the later calls come only while it is not out; and
// when the boss dies the partner is sent away at once.
TEST_F(Boss1104, ThePartnerComesTwoUnitsAheadForThirtySeconds)
{
    CSBoss1104 *boss = Boss();
    CSBoss1105 *partner = Partner();
    Tick();  // 1105 unseen until called
    boss->hp = MaxHP(boss) * 70 / 100;
    Tick();
    EXPECT_EQ(boss->Partner, partner);
    EXPECT_EQ(boss->state, 6);
    Tick();
    EXPECT_TRUE(partner->Called);
    const RwV3d p = *boss->GetPositionPtr();
    EXPECT_NEAR(partner->GetPositionPtr()->x, p.x, 0.1f);
    EXPECT_NEAR(partner->GetPositionPtr()->z, p.z - 2.0f, 0.1f);  // the boss faces south
    RwV3d facing;
    partner->GetDirection(&facing);
    EXPECT_NEAR(facing.z, -1.0f, 0.01f);
    // The partner appears: out, it is no longer placed.
    Ticks(3);
    EXPECT_NE(partner->model, nullptr);
    EXPECT_EQ(partner->state, 4);
    // Out: no second call.
    EnterBoss(boss, 0);
    partner->AppearDone = true;
    boss->hp = MaxHP(boss) * 40 / 100;
    Ticks(3);
    EXPECT_FALSE(boss->CallDone[1]);
    // The 30 s run out: sent away.
    boss->CallTimer = 29.99f;
    Ticks(2);
    EXPECT_FALSE(boss->PartnerCalled);
    EXPECT_FALSE(partner->Called);
    // Back and not out: the 40 % call comes (and marks the first done).
    partner->AppearDone = false;
    EnterBoss(boss, 0);
    Tick();
    EXPECT_EQ(boss->state, 6);
    EXPECT_TRUE(boss->CallDone[1]);
    Tick();
    EXPECT_TRUE(partner->Called);
    // On its last HP it keeps it by; dying while called, it sends it away
    // at once.
    boss->hp = 1;
    Ticks(2);
    EXPECT_TRUE(partner->Called);
    Hit(boss, kAtkPlain, boss->hp + 100);
    TicksUntil([&] { return boss->state == 12; }, 10);
    EXPECT_EQ(boss->state, 12);
    EXPECT_FALSE(partner->Called);
}

// 1105 uncalled: no model, input 201 every frame (its hidden state keeps
// it), hits ignored; called: it takes its model where it was put, straight
// into state 4, and is out once that motion ends.
TEST_F(Boss1104, Boss1105WaitsUnseenUntilCalledAndAppearsInStateFour)
{
    CSBoss1105 *partner = Partner();
    PutHero(kFarAway);
    const int32_t hp = partner->hp;
    Hit(partner, kAtkPlain | kAtkHeavy, 500);
    Ticks(10);
    EXPECT_EQ(partner->model, nullptr);
    EXPECT_EQ(partner->state, 0);
    EXPECT_EQ(partner->hp, hp);
    partner->SetPosition({10.0f, 0.0f, 10.0f});
    partner->Called = true;
    Tick();
    ASSERT_NE(partner->model, nullptr);
    EXPECT_EQ(partner->state, 4);
    EXPECT_NEAR(partner->GetPositionPtr()->x, 10.0f, 0.01f);
    EXPECT_NEAR(partner->GetPositionPtr()->z, 10.0f, 0.01f);
    EXPECT_FALSE(partner->targetable);
    TicksUntil([&] { return partner->AppearDone; }, 200);
    EXPECT_TRUE(partner->AppearDone);
    Hit(partner, kAtkPlain, 500);
    Ticks(3);
    EXPECT_EQ(partner->hp, hp);
}

// In state 3, from frame 504, a wing ball at a time toward the foe, at
// least 0.1 s apart, each with its sound 6240100, three at most a visit;
// none without a foe.
TEST_F(Boss1104, Boss1105FiresAtMostThreeWingBallsAVisit)
{
    CSBoss1105 *partner = Partner({0.0f, 0.0f, 40.0f});
    PutHero({0.0f, 0.0f, 10.0f});
    Tick();  // unseen until called
    partner->Called = true;
    Tick();
    TicksUntil([&] { return partner->AppearDone; }, 200);
    ASSERT_TRUE(partner->AppearDone);
    partner->target = &hero;
    for (int visit = 0; visit < 2; ++visit) {
        SCOPED_TRACE(visit);
        EnterBoss(partner, 2);
        Tick();
        EnterBoss(partner, 3);
        partner->target = &hero;
        std::vector<uint32_t> shotTicks;
        int32_t last = EffectStarts("WingBall");
        for (int i = 0; i < 120 && partner->state == 3; ++i) {
            const uint32_t at = tick;
            Tick();
            const int32_t now = EffectStarts("WingBall");
            if (now != last) {
                EXPECT_EQ(now, last + 1);
                EXPECT_TRUE(SoundQueued(6240100, at));
                EXPECT_GE(boss::ClockFrame(partner), 504.0f);
                shotTicks.push_back(at);
                last = now;
            }
        }
        EXPECT_NE(partner->state, 3);
        ASSERT_EQ(shotTicks.size(), 3u);
        Tick();
        EXPECT_GE(shotTicks[1] - shotTicks[0], 6u);
        EXPECT_GE(shotTicks[2] - shotTicks[1], 6u);
        EXPECT_EQ(partner->ShotCount, 0);  // out of state 3 again
    }
    // Without a foe it fires none.
    PutHero(kFarAway);
    Ticks(90);
    EnterBoss(partner, 2);
    Tick();
    EnterBoss(partner, 3);
    ASSERT_EQ(partner->target, nullptr);
    const int32_t before = EffectStarts("WingBall");
    Ticks(60);
    EXPECT_EQ(EffectStarts("WingBall"), before);
}

// A burn or poison that reaches it while it calls its partner (6) or casts
// its counter (7) does not take hold; in its other states it does.
TEST_F(Boss1104, NoNewBurnOrPoisonTakesHoldWhileItCallsOrCounterCasts)
{
    for (int32_t state : {0, 6, 7}) {
        SCOPED_TRACE(state);
        CSBoss1104 *boss = Boss();
        Tick();
        EnterBoss(boss, state);
        Hit(boss, kAtkBurn, 0);
        Hit(boss, kAtkPoison, 0);
        Ticks(3);
        const bool takes = state == 0;
        EXPECT_EQ((boss->activeStatus & kStatusBurning) != 0, takes);
        EXPECT_EQ((boss->activeStatus & kStatusPoisoned) != 0, takes);
        boss->SetPosition({0.0f, 0.0f, 400.0f});  // out of the next one's way
    }
}

// Its moves collide in full (stopping where its body meets another's) only
// while it circles or backs off; in its other states a step that would end
// inside another character is not taken at all, so it halts up to a step
// short. Here a monster stands in its way, 12.5 beyond contact, and the
// boss moves 5 a tick: backing off it comes to rest touching, walking home
// in its counter cast 2.5 short.
TEST_F(Boss1104, ItsMovesCollideInFullOnlyWhileItCirclesOrBacksOff)
{
    CSBoss1104 *boss = PlaceBoss<CSBoss1104>(kType, kHome, kSouth);
    FsfBuilder b;
    b.State(0);
    b.State(2).Speed(300.0f);
    b.State(7).Speed(300.0f);
    UseStateMachine(kType, b.Build());
    PutHero(kFarAway);  // no foe: it faces and walks toward its home
    EXPECT_NEAR(GapAfterMovingTowardABody(boss, 2, 1.0f), 0.0f, 0.05f);
    EXPECT_NEAR(GapAfterMovingTowardABody(boss, 7, -1.0f), 2.5f, 0.05f);
}

// Called off, it leaves (201 into state 5) and at the end of that motion
// gives its model back and is no longer out.
TEST_F(Boss1104, Boss1105GivesItsModelBackWhenItLeaves)
{
    CSBoss1105 *partner = Partner();
    PutHero(kFarAway);
    Tick();  // unseen until called
    partner->Called = true;
    Tick();
    TicksUntil([&] { return partner->AppearDone; }, 200);
    ASSERT_NE(partner->model, nullptr);
    Ticks(5);
    partner->Called = false;
    TicksUntil([&] { return partner->state == 5; }, 200);
    EXPECT_EQ(partner->state, 5);
    TicksUntil([&] { return partner->model == nullptr; }, 200);
    EXPECT_EQ(partner->model, nullptr);
    EXPECT_FALSE(partner->AppearDone);
    Ticks(5);
    EXPECT_EQ(partner->state, 0);
    EXPECT_EQ(partner->model, nullptr);
}

// Called while no model of its type is free, 1105 stays unseen and does
// not appear; it appears (state 4) with a model once one is free.
TEST_F(Boss1104, Boss1105CalledWithNoModelFreeAppearsOnceOneIs)
{
    CSBoss1105 *partner = Partner();
    PutHero(kFarAway);
    Tick();  // unseen until called
    ASSERT_EQ(partner->model, nullptr);
    CSModelTemplate *tpl = stage.FindModelTemplate(1105);
    ASSERT_NE(tpl, nullptr);
    AllModelsTaken taken(tpl);
    partner->Called = true;
    Ticks(3);
    EXPECT_EQ(partner->model, nullptr);
    EXPECT_NE(partner->state, 4);
    EXPECT_FALSE(partner->AppearDone);
    taken.GiveBack();
    Tick();
    EXPECT_NE(partner->model, nullptr);
    EXPECT_EQ(partner->state, 4);
    TicksUntil([&] { return partner->AppearDone; }, 200);
    EXPECT_TRUE(partner->AppearDone);
}

// What 1104 chooses from where its foe stands: in sight 1; in its alarm
// circle the cast 10 with a state random below 40, else 6; in reach 21.
TEST_F(Boss1104, ItsFoesPlaceChoosesItsInput)
{
    CSBoss1104 *boss = PlaceBoss<CSBoss1104>(kType, kHome, kSouth);
    const std::pair<int32_t, int32_t> leads[] = {{1, 8}, {10, 7}, {6, 11}, {21, 14}};
    UseInputLeads(kType, {0}, leads, 8);
    const auto [sight, alarm, reach] = bosstest::SensingBandsOf(boss);
    const struct {
        float ahead;
        int32_t random;
        int32_t leadsTo;
    } cases[] = {{sight, 10, 8}, {alarm, 39, 7}, {alarm, 40, 11}, {reach, 10, 14}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.ahead) + " ahead, r " + std::to_string(c.random));
        const RwV3d heroAt = {kHome.x, 0.0f, kHome.z - c.ahead};
        EXPECT_EQ(StateChosen(boss, 8, 0, c.random, heroAt, kHome, kSouth), c.leadsTo);
    }
}

// Entering each state plays its sound once per entry: 1104's 1 and 2
// 6240080, 3 and 5 6240000, 4 6240020, 6 6240040, 9 6240050, 10 6240060,
// 12 6240070; and none of the table's other sounds.
TEST_F(Boss1104, EachStateSoundsItsOwnEntrySoundOncePerEntry)
{
    AiObject *boss = PlaceBoss<AiObject>(kType, kHome, kSouth);
    UseStatesThatStay(kType, 12);
    PutHero(kFarAway);
    const std::pair<int32_t, int32_t> entries[] = {{1, 6240080}, {2, 6240080},  {3, 6240000},
                                                   {5, 6240000}, {4, 6240020},  {6, 6240040},
                                                   {9, 6240050}, {10, 6240060}, {12, 6240070}};
    ExpectEntrySoundsOncePerEntry(boss, entries);
}

// Out, 1105 aims at a foe within its attack range for 1.0 s (input 2)
// before it fires (21); the aim it has taken is kept, so the foe back in
// range after a step out of it is fired at at once. Gone from its sight at
// a stroke (in range at one look, nowhere at the next), he takes the aim
// back with him.
TEST_F(Boss1104, Boss1105AimsOneSecondBeforeItFires)
{
    CSBoss1105 *partner = Partner({0.0f, 0.0f, 40.0f});
    FsfBuilder b;
    for (int32_t s = 0; s <= 6; ++s) {
        b.State(s);
    }
    b.State(1).To(21, 3, 1);
    UseStateMachine(1105, b.Build());
    PutHero(kFarAway);
    Tick();  // unseen until called
    partner->Called = true;
    Tick();
    TicksUntil([&] { return partner->AppearDone; }, 200);
    ASSERT_TRUE(partner->AppearDone);
    const CharacterParams &params = monster::ParamsOf(partner);
    const float reach = params.attackRange / 2.0f;
    const float sight = (params.attackRange + params.searchRange) / 2.0f;
    // Each round: the aim it takes, where the foe goes afterwards.
    const struct {
        float aim;
        float leavesTo;
    } rounds[] = {{1.0f, sight}, {0.0f, 400.0f}, {1.0f, sight}};
    for (const auto &round : rounds) {
        SCOPED_TRACE(round.aim);
        EnterBoss(partner, 1);
        PutHero({0.0f, 0.0f, 40.0f - reach});
        const int ticks = TicksUntil([&] { return partner->state != 1; }, 200);
        EXPECT_EQ(partner->state, 3);
        EXPECT_NEAR(ticks / 60.0f, round.aim, 0.05f);
        PutHero({0.0f, 0.0f, 40.0f - round.leavesTo});
        Ticks(3);
    }
    // It fires at the first look once its aim has reached 1 s.
    EnterBoss(partner, 0);
    PutHero({0.0f, 0.0f, 40.0f - reach});
    Tick();
    partner->AimTimer = 0.0f;
    EnterBoss(partner, 1);
    EXPECT_EQ(TicksToLeave(partner, 1, 0.25f, 20), 5);
}

// Out, 1105 follows its foe: with none near it drops its foe and still
// feeds input 1 (it heads home), with one in sight it takes him and feeds 1;
// while it is appearing it feeds nothing.
TEST_F(Boss1104, Boss1105FeedsInputOneWithAFoeInSightOrNoneNear)
{
    CSBoss1105 *partner = Partner({0.0f, 0.0f, 40.0f});
    const std::pair<int32_t, int32_t> leads[] = {{1, 1}, {0, 2}};
    UseInputLeads(1105, {0, 4}, leads, 6);
    PutHero(kFarAway);
    Tick();  // unseen until called
    partner->Called = true;
    Tick();
    ASSERT_EQ(partner->state, 4);
    Ticks(3);
    EXPECT_EQ(partner->state, 4);  // appearing: no input yet
    partner->AppearDone = true;
    const float sight = bosstest::SensingBandsOf(partner).sight;
    const struct {
        RwV3d heroAt;
        AiObject *foe;
    } cases[] = {{kFarAway, nullptr}, {{0.0f, 0.0f, 40.0f - sight}, &hero}, {kFarAway, nullptr}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.heroAt.z);
        EnterBoss(partner, 6);
        PutHero(c.heroAt);
        Tick();  // sensed where he now stands
        EnterBoss(partner, 0);
        Ticks(2);
        EXPECT_EQ(partner->state, 1);
        EXPECT_EQ(partner->target, c.foe);
    }
}

// Called and out, 1105 plays 6240090 once per entry of its states 0 and 1,
// and nothing else of its table.
TEST_F(Boss1104, Boss1105SoundsItsEntrySoundOncePerEntry)
{
    CSBoss1105 *partner = Partner();
    UseStatesThatStay(1105, 6);
    PutHero(kFarAway);
    Tick();  // unseen until called
    partner->Called = true;
    Tick();
    ASSERT_NE(partner->model, nullptr);
    // Between the visits it rests in 2, a state without a sound.
    const std::pair<int32_t, int32_t> entries[] = {{0, 6240090}, {1, 6240090}};
    ExpectEntrySoundsOncePerEntry(partner, entries, -1, 2);
}

}  // namespace

}  // namespace boss_1104_1105_test
