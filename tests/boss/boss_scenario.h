// The bosses frame by frame on the monster scenarios' arena (the real
// actor pass and message pool, a recording sound queue, the effects'
// trace lines as the effect-start log, one test hero): a boss is placed
// through the stage's placement loader with its sample model and given a
// state machine of the test's own (gametest::FsfBuilder).
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "boss/boss_frame.h"
#include "fx/mat_anim_manager.h"
#include "fx/particle_manager.h"
#include "fx/particle_system.h"
#include "monster/kit_common.h"
#include "monster/monster_scenario.h"
#include "stage/character_params.h"

namespace bosstest {

using gametest::FsfBuilder;
using monstertest::kDt;

// Every boss test's deaths: input 120 from `states` to the dying state.
inline void DiesFrom(FsfBuilder &b, std::initializer_list<int32_t> states, int32_t dying)
{
    for (int32_t s : states) {
        b.State(s).To(120, dying, 1);
    }
}

// Every free system of a particle template's pool taken but `leave`, until
// given back (at the latest when it goes).
class SystemsTaken {
public:
    SystemsTaken(CSParticleManager &particles, const char *name, int leave)
    {
        while (CSParticleSystem *system = particles.CreateSystem(name)) {
            taken_.push_back(system);
        }
        for (; leave > 0 && !taken_.empty(); --leave) {
            taken_.back()->Release();
            taken_.pop_back();
        }
    }
    ~SystemsTaken() { GiveBack(); }
    SystemsTaken(const SystemsTaken &) = delete;
    SystemsTaken &operator=(const SystemsTaken &) = delete;

    void GiveBack()
    {
        for (CSParticleSystem *system : taken_) {
            system->Release();
        }
        taken_.clear();
    }

private:
    std::vector<CSParticleSystem *> taken_;
};

// An animation clock (seconds) from which `ticks` ticks of kDt, the motion
// playing at `speed`, bring the boss's clock frame (clock x 60) exactly
// onto `frame`: a step that fires "at" a frame must fire on that tick, one
// that fires "past" it on the next. Fails the test when no such clock is
// found near the frame.
// A point `distance` from `from` at `degrees` off the south, toward +x.
inline RwV3d Off(const RwV3d &from, float degrees, float distance)
{
    const float r = degrees * 3.14159265f / 180.0f;
    return {from.x + distance * std::sin(r), 0.0f, from.z - distance * std::cos(r)};
}

// The actor's facing in degrees off the south, positive toward +x.
inline float FacingDegrees(AiObject *actor)
{
    RwV3d facing;
    actor->GetDirection(&facing);
    return std::atan2(facing.x, -facing.z) * 180.0f / 3.14159265f;
}

inline float ClockLandingOnFrame(float frame, int ticks, float speed = 1.0f)
{
    const float step = kDt * speed;
    const auto lands = [&](float clock) {
        for (int i = 0; i < ticks; ++i) {
            clock += step;
        }
        return clock * 60.0f == frame;
    };
    const float guess = frame / 60.0f - static_cast<float>(ticks) * step;
    float up = guess;
    float down = guess;
    for (int i = 0; i < 4096; ++i) {
        if (lands(up)) {
            return up;
        }
        if (lands(down)) {
            return down;
        }
        up = std::nextafter(up, 1e9f);
        down = std::nextafter(down, -1e9f);
    }
    ADD_FAILURE() << "no clock lands on frame " << frame;
    return guess;
}

// A foe's bearing off a boss's facing, in degrees, and whether the boss's
// attack cone holds it.
struct ConeBearing {
    float degrees;
    bool inside;
};

// Bearings 8 degrees inside the half angle `half` (degrees) and 8 outside it
// on either side.
inline std::array<ConeBearing, 3> BearingsAroundTheCone(float half)
{
    return {{{half - 8.0f, true}, {half + 8.0f, false}, {-(half + 8.0f), false}}};
}

// Whether a reading of `half` in radians would judge one of `bearings`
// otherwise: only then can a test of them tell the two readings apart.
inline bool ARadiansReadingJudgesOtherwise(const std::array<ConeBearing, 3> &bearings, float half)
{
    constexpr float kPi = 3.14159265f;
    bool differs = false;
    for (const ConeBearing &c : bearings) {
        differs |= (std::cos(c.degrees * kPi / 180.0f) > std::cos(half)) != c.inside;
    }
    return differs;
}

// Distances of a foe from a boss in the middle of each of its sensing
// bands: in sight beyond the alarm circle, within the alarm circle beyond
// the attack range, within the attack range.
struct SensingBands {
    float sight;
    float alarm;
    float reach;
};

inline SensingBands SensingBandsOf(const AiObject *boss)
{
    const CharacterParams &params = monster::ParamsOf(boss);
    return {(params.alarmCircle + params.searchRange) / 2.0f, (params.alarmCircle + params.attackRange) / 2.0f,
            params.attackRange / 2.0f};
}

class BossScenario : public monstertest::MonsterScenario {
protected:
    // A boss of `aiType` at `where` facing `facing`, with its model.
    template <typename Boss>
    Boss *PlaceBoss(int32_t aiType, const RwV3d &where, const RwV3d &facing = {0.0f, 0.0f, -1.0f})
    {
        return static_cast<Boss *>(Place(aiType, where, facing));
    }
    // A state machine for `aiType` of the states 0 to `last`, none of which
    // leads anywhere: the boss stays in whatever state the test puts it in.
    void UseStatesThatStay(int32_t aiType, int32_t last)
    {
        FsfBuilder b;
        for (int32_t s = 0; s <= last; ++s) {
            b.State(s);
        }
        UseStateMachine(aiType, b.Build());
    }
    // A state machine for `aiType` in which each input of `leads` takes the
    // boss from any of the states `from` to a state of its own, where it
    // stays; `parked` stays too.
    void UseInputLeads(int32_t aiType, std::initializer_list<int32_t> from,
                       std::span<const std::pair<int32_t, int32_t>> leads, int32_t parked)
    {
        FsfBuilder b;
        for (const int32_t s : from) {
            for (const auto &[input, to] : leads) {
                b.State(s).To(input, to, 1);
            }
        }
        for (const auto &[input, to] : leads) {
            b.State(to);
        }
        b.State(parked);
        UseStateMachine(aiType, b.Build());
    }
    // The gap left between `boss` (no foe about, its home 160 south of
    // `kHome`) and a still monster standing 12.5 beyond contact on its way
    // (`side` 1: behind it, -1: ahead), once it has moved six ticks in
    // `state` from `kHome` facing south. A move that collides in full comes
    // to rest touching (0); one that refuses a step ending inside another
    // body halts up to a step short. The boss must not leave the line.
    float GapAfterMovingTowardABody(AiObject *boss, int32_t state, float side)
    {
        constexpr RwV3d kAt = {0.0f, 0.0f, 60.0f};
        if (body_ == nullptr) {
            body_ = Place(1000, {200.0f, 0.0f, 200.0f}, {0.0f, 0.0f, -1.0f});
            FsfBuilder still;
            still.State(0);
            UseStateMachine(1000, still.Build());
        }
        if (body_ == nullptr) {
            ADD_FAILURE() << "no monster to stand in the way";
            return -1.0f;
        }
        const float rBoss = monster::ParamsOf(boss).radius;
        const float rBody = monster::ParamsOf(body_).radius;
        const float rise = rBoss - rBody;  // the bodies' centres sit a radius up
        const float touching = std::sqrt((rBoss + rBody) * (rBoss + rBody) - rise * rise);
        boss->home = {0.0f, 0.0f, -100.0f};
        boss->SetPosition(kAt);
        boss->SetDirection({0.0f, 0.0f, -1.0f});
        body_->SetPosition({0.0f, 0.0f, kAt.z + side * (touching + 12.5f)});
        EnterBoss(boss, 0);
        Tick();
        EXPECT_EQ(boss->target, nullptr);
        EnterBoss(boss, state);
        Ticks(6);
        const RwV3d a = *boss->GetPositionPtr();
        const RwV3d o = *body_->GetPositionPtr();
        EXPECT_NEAR(a.x, 0.0f, 0.01f) << state;
        const float dx = a.x - o.x, dy = a.y + rBoss - o.y - rBody, dz = a.z - o.z;
        return std::sqrt(dx * dx + dy * dy + dz * dz) - (rBoss + rBody);
    }
    // Puts the boss in `state` as its set-state step would.
    void EnterBoss(AiObject *boss, int32_t state)
    {
        const boss::BossTraits *traits = boss::BossTraitsOf(boss->aiType);
        ASSERT_NE(traits, nullptr);
        boss::EnterBossState(boss, boss->Fsf(), state, *traits);
        ASSERT_EQ(boss->state, state);
    }
    // Each listed state entered twice from `restState`, a state without a
    // sound of its own (`onceState`, one the boss leaves play in, once),
    // sounds its own entry sound exactly once within four ticks and none of
    // the other states' sounds.
    void ExpectEntrySoundsOncePerEntry(AiObject *boss, std::span<const std::pair<int32_t, int32_t>> entries,
                                       int32_t onceState = -1, int32_t restState = 0)
    {
        for (const auto &[state, sound] : entries) {
            SCOPED_TRACE(state);
            for (int visit = 0; visit < (state == onceState ? 1 : 2); ++visit) {
                EnterBoss(boss, restState);
                Tick();
                const uint32_t from = tick;
                EnterBoss(boss, state);
                Ticks(4);
                int32_t own = 0;
                for (const int32_t id : SoundsFrom(from)) {
                    own += id == sound;
                    for (const auto &[other, otherSound] : entries) {
                        EXPECT_TRUE(otherSound == sound || id != otherSound) << id;
                    }
                }
                EXPECT_EQ(own, 1);
            }
        }
    }
    // The guard `state`: an ordinary hit costs nothing, sounds 6300210 and
    // leaves the guarding flag set; the guard ends in `endState` after
    // `seconds`; a heavy hit breaks it into `brokenState` and its damage
    // counts.
    void CheckGuard(AiObject *boss, int32_t state, float seconds, int32_t endState, int32_t brokenState)
    {
        EnterBoss(boss, state);
        const int32_t hp = boss->hp;
        const uint32_t from = tick;
        Hit(boss, kAtkPlain, 60);
        Ticks(3);
        EXPECT_EQ(boss->hp, hp);
        EXPECT_TRUE(boss->guarding);
        EXPECT_TRUE(SoundQueued(6300210, from));
        const int ticks = TicksUntil([&] { return boss->state != state; }, 400);
        EXPECT_EQ(boss->state, endState);
        EXPECT_NEAR((ticks + 3) / 60.0f, seconds, 0.05f);
        Tick();
        EXPECT_FALSE(boss->guarding);
        EnterBoss(boss, state);
        Hit(boss, kAtkPlain | kAtkHeavy, 60);
        Ticks(2);
        EXPECT_EQ(boss->state, brokenState);
        Tick();
        EXPECT_EQ(boss->hp, hp - (60 - monster::ParamsOf(boss).defense));
    }
    // The guard `state` feeds the idle input 0 on each of its frames
    // (`feedsIdle`) or none: the boss away from home, its foe gone for over
    // a second (so that its sensing feeds no 0), a guard that 0 leads out of
    // at once is left on its first frame, or kept.
    void ExpectTheGuardFeedsIdle(AiObject *boss, int32_t state, bool feedsIdle)
    {
        FsfBuilder b;
        b.State(0);
        b.State(state).To(0, 0, 1);
        UseStateMachine(boss->aiType, b.Build());
        PutHero({0.0f, 0.0f, -300.0f});
        boss->home = {0.0f, 0.0f, 400.0f};
        EnterBoss(boss, 0);
        Ticks(70);
        EnterBoss(boss, state);
        Ticks(3);
        EXPECT_EQ(boss->state, feedsIdle ? 0 : state);
    }
    // The ticks of `dt` the boss stays in `state`, counting the one that
    // takes it out (`most` + 1 when none does).
    int TicksToLeave(AiObject *boss, int32_t state, float dt, int most)
    {
        for (int ticks = 1; ticks <= most; ++ticks) {
            Tick(dt);
            if (boss->state != state) {
                return ticks;
            }
        }
        return most + 1;
    }
    // The state the boss's input takes it to from `from` with `random` as
    // its state random, the hero standing at `heroAt`: the hero is sensed
    // at the end of a tick in `parked`, a state its inputs lead nowhere
    // from, then the boss is put in `from` at `at` facing `facing`.
    int32_t StateChosen(AiObject *boss, int32_t parked, int32_t from, int32_t random, const RwV3d &heroAt,
                        const RwV3d &at, const RwV3d &facing)
    {
        boss->SetPosition(at);
        boss->SetDirection(facing);
        EnterBoss(boss, parked);
        PutHero(heroAt);
        Tick();
        EnterBoss(boss, from);
        boss->stateRandom = random;
        TicksUntil([&] { return boss->state != from; }, 5);
        return boss->state;
    }
    // A blow of state 10 that lands on a hero who is not guarding chains the
    // second blow: at the end of state 11's motion input 4 (here to 12). A
    // guarding hero takes the blow but earns no chain, and the chain is not
    // carried over to the next blow. The boss stands facing south.
    void ExpectBlowChainsOnlyUnguarded(AiObject *boss)
    {
        FsfBuilder b;
        b.State(0);
        b.State(10).Attack(20, kAtkPlain).Weapon(100130).Weapon(100140).To(0, 11);
        b.State(11).To(4, 12);
        b.State(12);
        UseStateMachine(boss->aiType, b.Build());
        hero.hp = 100000;
        const RwV3d at = *boss->GetPositionPtr();
        for (const bool guarding : {false, true}) {
            SCOPED_TRACE(guarding);
            hero.guarding = guarding;
            PutHero({at.x, 0.0f, at.z - 12.0f}, {0.0f, 0.0f, 1.0f});
            EnterBoss(boss, 0);
            Tick();
            HeroHits();
            EnterBoss(boss, 10);
            TicksUntil([&] { return boss->state != 10; }, 200);
            EXPECT_EQ(HeroHits().size(), 1u);
            ASSERT_EQ(boss->state, 11);
            TicksUntil([&] { return boss->animEnded; }, 200);
            Ticks(2);
            EXPECT_EQ(boss->state, guarding ? 11 : 12);
        }
    }
    // The hero's let-go (2048) in `letGoState` frees the boss into
    // `freedState`; his release (512) in `releaseState` takes it to
    // `releasedState`.
    void ExpectLetGoAndRelease(AiObject *boss, int32_t letGoState, int32_t freedState, int32_t releaseState,
                               int32_t releasedState)
    {
        EnterBoss(boss, letGoState);
        Hit(boss, kAtkGrabEnd, 0);
        Ticks(2);
        EXPECT_EQ(boss->state, freedState);
        EXPECT_FALSE(boss->grabbed);
        EnterBoss(boss, releaseState);
        Hit(boss, kAtkReleaseHeld, 0);
        Ticks(2);
        EXPECT_EQ(boss->state, releasedState);
    }
    // The time since the boss's last hit and its glow (`glow`, its own
    // flag) with the stage's switch for them `on` or off: the glow
    // (material animation 40) runs from the first act with the model; a hit restarts the time at 0 and it
    // grows again by the frame time up to 5.0, while with the switch off it
    // stays 5.0 and nothing glows.
    void ExpectAHitRestartsTheTimeSinceHit(AiObject *boss, bool on, const bool &glow)
    {
        EXPECT_EQ(boss->timeSinceHurt, 5.0f);
        Tick();
        EXPECT_EQ(glow, on);
        const MatAnimInstance *running = matAnims.Find(boss);
        EXPECT_EQ(running != nullptr && running->def != nullptr ? running->def->index : -1, on ? 40 : -1);
        Hit(boss, kAtkPlain, 30);
        Ticks(3);
        EXPECT_LT(boss->hp, monster::ParamsOf(boss).maxHP);
        if (on) {
            EXPECT_LT(boss->timeSinceHurt, 0.1f);
            Ticks(30);
            EXPECT_NEAR(boss->timeSinceHurt, 0.5f + 1.0f / 60.0f, 0.05f);
            Ticks(300);
            EXPECT_GE(boss->timeSinceHurt, 5.0f);  // it stops growing once there
            EXPECT_LT(boss->timeSinceHurt, 5.0f + 1.0f / 60.0f);
        } else {
            EXPECT_EQ(boss->timeSinceHurt, 5.0f);
        }
    }
    // Out of view the boss gives its model back and its glow stops; back in
    // view it takes one again.
    void ExpectTheGlowGoesWithTheModel(AiObject *boss, const bool &glow)
    {
        boss->isRender = 0;
        Ticks(2);
        EXPECT_EQ(boss->model, nullptr);
        EXPECT_FALSE(glow);
        boss->isRender = 1;
    }
    // The boss's clock set to reach `frame` on the third tick: `pool` has
    // started nothing beyond `before` on the two ticks before it, and
    // `starts` more on that tick, not one early or late.
    void ExpectStartsOnTheTickOfFrame(AiObject *boss, float frame, const std::string &pool, int32_t before,
                                      int32_t starts)
    {
        boss->animClock = ClockLandingOnFrame(frame, 3);
        Ticks(2);
        EXPECT_EQ(EffectStarts(pool), before);
        Tick();
        EXPECT_EQ(boss::ClockFrame(boss), frame);
        EXPECT_EQ(EffectStarts(pool), before + starts);
    }
    // A hero the boss holds (its `held` slot) stays held while it stands
    // idle, on its last HP too, and is let go once (kind 2 {0, 512, 0}) when the boss dies
    // (into `dyingState`) and when an event puts it in `holdState`.
    // `place` puts a fresh boss at a point.
    template <typename BossType, typename Place>
    void ExpectItLetsGoOfItsHeldHeroAtDeathAndInItsHoldState(Place place, AiObject *BossType::*held,
                                                              int32_t dyingState, int32_t holdState)
    {
        for (const bool dies : {true, false}) {
            SCOPED_TRACE(dies);
            BossType *boss = place(RwV3d{dies ? -40.0f : 40.0f, 0.0f, 60.0f});
            boss->*held = &hero;
            boss->hp = 1;
            Ticks(3);
            EXPECT_EQ(boss->*held, &hero) << "kept while it stands, on its last HP too";
            HeroMessages();
            if (dies) {
                Hit(boss, kAtkPlain, boss->hp + 100);
            } else {
                Control(boss, kCtlShowHold, 0);
            }
            TicksUntil([&] { return boss->*held == nullptr; }, 10);
            EXPECT_EQ(boss->*held, nullptr);
            EXPECT_EQ(boss->state, dies ? dyingState : holdState);
            Tick();
            const std::vector<MSGData> hits = HeroHits();
            ASSERT_EQ(hits.size(), 1u);
            EXPECT_EQ(hits[0].word[0], 0);
            EXPECT_EQ(hits[0].word[1], kAtkReleaseHeld);
            EXPECT_EQ(hits[0].word[2], 0);
            Ticks(5);
            EXPECT_TRUE(HeroHits().empty());  // once
        }
    }
    // With its foe 60 degrees off its facing, the boss turns toward him by
    // TurnDeg a second in each of `turning` and keeps its facing in each of
    // `still`, every state up to `last` staying as it is.
    void ExpectItTurnsOnlyIn(AiObject *boss, int32_t last, std::initializer_list<int32_t> turning,
                             std::initializer_list<int32_t> still)
    {
        constexpr RwV3d kSouthward = {0.0f, 0.0f, -1.0f};
        UseStatesThatStay(boss->aiType, last);
        const float turnDeg = monster::ParamsOf(boss).turnDeg;
        const RwV3d at = *boss->GetPositionPtr();
        boss->SetDirection(kSouthward);
        PutHero(Off(at, 60.0f, 60.0f));
        Ticks(2);
        ASSERT_NE(boss->target, nullptr);
        for (const bool turns : {true, false}) {
            for (const int32_t state : turns ? turning : still) {
                SCOPED_TRACE(state);
                EnterBoss(boss, state);
                boss->SetPosition(at);
                boss->SetDirection(kSouthward);
                Ticks(10);
                EXPECT_NEAR(FacingDegrees(boss), turns ? turnDeg / 6.0f : 0.0f, 1.0f);
            }
        }
    }
    // The kind-2 hits the hero was sent since the last call.
    std::vector<MSGData> HeroHits()
    {
        std::vector<MSGData> hits;
        for (const MSGData &m : HeroMessages()) {
            if (m.kind == kMsgHitHero) {
                hits.push_back(m);
            }
        }
        return hits;
    }

private:
    AiObject *body_ = nullptr;  // the monster GapAfterMovingTowardABody puts in the way
};

}  // namespace bosstest
