// Monster 1021 frame by frame on the arena: its guard, the hero it seizes
// and carries 15 units ahead until 3 s have passed, it dies or an event
// holds it, its charge that pushes heroes and the listed fighters but no
// one else, and a gone state that drops only what the event named.
#include <gtest/gtest.h>

#include <cmath>

#include "monster/kit_common.h"
#include "monster/monster_1021.h"
#include "monster_scenario.h"
#include "tools/mkdata/item_data.h"

namespace monster_1021_test {

namespace {

using gametest::FsfBuilder;
using monstertest::MonsterScenario;

constexpr int32_t kType = 1021;
constexpr RwV3d kHome = {0.0f, 0.0f, 60.0f};

class Monster1021 : public MonsterScenario {
protected:
    // The monster with a small state machine: idle 0, the seize 11 into the
    // hold 13 and the releases 14 and 15, the guard 27, the knock 20, the
    // charge 16 to 18, the dying 28 into the gone 29, the hold 32.
    CSMonster1021 *Monster(const RwV3d &at = kHome, int32_t eventId = 0, int32_t isRender = 1)
    {
        AiObject *placed = Place(kType, at, {0.0f, 0.0f, -1.0f}, eventId, isRender);
        FsfBuilder b;
        b.State(0).To(11, 11, 1).To(100, 19, 1).To(120, 28, 1).To(0, 0);
        b.State(11).Grab(0).To(13, 13, 1).To(0, 0);
        b.State(13).Speed(10.0f).To(15, 15, 1).To(14, 14, 1).To(120, 28, 1).To(0, 13);
        b.State(14).To(0, 0);
        b.State(15).To(0, 0);
        b.State(16).Speed(20.0f).Acceleration(0.0f).To(0, 17);
        b.State(17).Speed(40.0f).To(0, 18);
        b.State(18).Speed(20.0f).To(0, 0);
        b.State(19).To(0, 0);
        b.State(20).To(0, 0);
        b.State(27).To(102, 20, 1).To(18, 0, 1).To(0, 27);
        b.State(28).Hurt(0).To(0, 29);
        b.State(29).Hurt(0);
        b.State(32).Hurt(0).To(0, 32);
        UseStateMachine(kType, b.Build());
        return static_cast<CSMonster1021 *>(placed);
    }

    // The hero where the monster (facing -z) seizes it: `distance` ahead.
    void HeroAhead(CSMonster1021 *m, float distance)
    {
        const RwV3d at = *m->GetPositionPtr();
        PutHero({at.x, 0.0f, at.z - distance}, {0.0f, 0.0f, 1.0f});
    }

    static int32_t Releases(const std::vector<MSGData> &messages)
    {
        int32_t count = 0;
        for (const MSGData &m : messages) {
            count += m.kind == kMsgHitHero && m.word[1] == kAtkReleaseHeld && m.word[2] == 0;
        }
        return count;
    }
};

// Its event (code 8192 of its group) shows it standing on the ground, also
// where it was put above it.
TEST_F(Monster1021, ItsEventShowsItOnTheGround)
{
    CSMonster1021 *m = Monster(kHome, 5, 0);
    PutHero({0.0f, 0.0f, -15.0f});
    Tick();
    ASSERT_EQ(m->model, nullptr);
    m->SetPosition({kHome.x, 25.0f, kHome.z});
    Control(m, kCtlShowHold, 5);
    Ticks(2);
    ASSERT_NE(m->model, nullptr);
    EXPECT_TRUE(m->eventModel);
    EXPECT_NEAR(m->GetPositionPtr()->y, 0.0f, 0.01f);  // the arena's floor
}

// In its guard a hit without bit 64 costs no HP and plays the guard's
// sound; a heavy hit (64) costs HP and breaks the guard (input 102).
TEST_F(Monster1021, TheGuardTakesNoHarmUntilAHeavyBlow)
{
    CSMonster1021 *m = Monster();
    PutHero({0.0f, 0.0f, -40.0f});
    Enter(m, 27);
    const int32_t hp = m->hp;
    Hit(m, kAtkPlain, 60);
    Ticks(3);
    EXPECT_EQ(m->hp, hp);
    EXPECT_EQ(m->state, 27);
    EXPECT_TRUE(m->guarding);
    EXPECT_TRUE(SoundQueued(6300220));
    Hit(m, kAtkPlain | kAtkHeavy, 60);
    Ticks(2);
    EXPECT_EQ(m->state, 20);
    Tick();
    EXPECT_EQ(m->hp, hp - (60 - 4));
    EXPECT_FALSE(m->guarding);
    // Unbroken, the guard ends after 1.5 s with input 18.
    Enter(m, 27);
    const int ticks = TicksUntil([&] { return m->state != 27; }, 200);
    EXPECT_EQ(m->state, 0);
    EXPECT_NEAR(ticks * monstertest::kDt, 1.5f, 0.1f);
    // Left a second into it, the next guard lasts its full time again.
    EXPECT_NEAR(GuardAfterOneLeftEarly(m, 27), 1.5f, 0.05f);
}

// The seize takes the hero in front of it, puts it 15 units ahead and
// holds it there while it walks; after 3 s the hold ends (input 15) and
// the hero is let go (kind 2, bit 512).
TEST_F(Monster1021, ItCarriesASeizedHeroFifteenUnitsAheadForThreeSeconds)
{
    CSMonster1021 *m = Monster();
    HeroAhead(m, 10.0f);
    Enter(m, 11);
    Ticks(2);
    ASSERT_EQ(m->state, 13);
    EXPECT_EQ(m->grabTarget, &hero);
    EXPECT_TRUE(hero.held);
    std::vector<MSGData> seized = HeroMessages();
    ASSERT_FALSE(seized.empty());
    EXPECT_EQ(seized[0].word[1], kAtkGrabFront);  // face to face
    const RwV3d start = *m->GetPositionPtr();
    int held = 0;
    while (m->state == 13 && held < 400) {
        Tick();
        ++held;
        if (m->state == 13) {
            RwV3d facing;
            m->GetDirection(&facing);
            const RwV3d ahead = V3Add(*m->GetPositionPtr(), V3Scale(facing, 15.0f));
            EXPECT_NEAR(hero.GetPositionPtr()->x, ahead.x, 0.5f);
            EXPECT_NEAR(hero.GetPositionPtr()->z, ahead.z, 0.5f);
        }
    }
    EXPECT_EQ(m->state, 15);
    EXPECT_NEAR(held * monstertest::kDt, 3.0f, 0.1f);
    EXPECT_GT(monster::GroundDistance(*m->GetPositionPtr(), start), 20.0f);  // it walked the hero along
    Tick();
    EXPECT_EQ(m->grabTarget, nullptr);
    EXPECT_EQ(Releases(HeroMessages()), 1);
    // In quarter-second acts the hold ends on the first act past 3 s: the
    // one that finds 3.25 s held.
    m->SetPosition(kHome);
    hero.held = false;  // the hero's own step clears it once let go
    HeroAhead(m, 10.0f);
    Enter(m, 11);
    Tick();  // seized: the hold starts on the next act
    ASSERT_EQ(m->state, 13);
    int acts = 0;
    while (m->state == 13 && acts < 40) {
        Tick(0.25f);
        ++acts;
    }
    EXPECT_EQ(acts, 14);
    // Having let a hero go it acts on every frame, however far from the
    // hero it stands; one that never held a hero is thinned there.
    Tick();
    CSMonster1021 *never = Monster({40.0f, 0.0f, 140.0f});
    PutHero({0.0f, 0.0f, -60.0f});
    m->SetPosition({0.0f, 0.0f, 140.0f});
    int thinned = 0;
    int neverThinned = 0;
    for (int i = 0; i < 20; ++i) {
        Tick();
        thinned += m->fullDetailFrame ? 0 : 1;
        neverThinned += never->fullDetailFrame ? 0 : 1;
    }
    EXPECT_EQ(thinned, 0);
    EXPECT_GT(neverThinned, 0);
}

// A monster dying or held by an event while it carries a hero lets it go.
TEST_F(Monster1021, DeathAndTheEventHoldLetTheHeroGo)
{
    for (bool dies : {true, false}) {
        SCOPED_TRACE(dies);
        CSMonster1021 *m = Monster({dies ? -40.0f : 40.0f, 0.0f, 60.0f});
        HeroAhead(m, 10.0f);
        hero.held = false;  // the hero's own step, which the release frees it in, does not run here
        Enter(m, 11);
        Ticks(2);
        ASSERT_EQ(m->grabTarget, &hero);
        HeroMessages();
        if (dies) {
            m->hp = 1;  // one HP left: it holds on
            Ticks(3);
            EXPECT_EQ(m->state, 13);
            EXPECT_EQ(m->grabTarget, &hero);
            m->hp = 0;
        } else {
            Control(m, kCtlShowHold, 0);
        }
        Ticks(3);
        EXPECT_EQ(m->state, dies ? 28 : 32);
        EXPECT_EQ(m->grabTarget, nullptr);
        EXPECT_EQ(Releases(HeroMessages()), 1);
        if (!dies) {
            Control(m, kCtlRelease, 0);
            Ticks(2);
        }
        hero.SetPosition({0.0f, 0.0f, -120.0f});
    }
}

// Its charge pushes the heroes, the fighting character and the listed
// monster types that its body overlaps along its facing, one out of view
// without its model too; others (a non-player character, monster 1004)
// stay where they are.
TEST_F(Monster1021, TheChargePushesHeroesAndTheListedFightersOnly)
{
    CSMonster1021 *m = Monster({0.0f, 0.0f, 100.0f});
    struct Standing {
        int32_t type;
        bool pushed;
        bool modelless = false;
    };
    const Standing cases[] = {{0, true},      {1000, true},  {10, true}, {1002, true, true},
                              {1004, false}, {100, false}};
    for (const Standing &c : cases) {
        SCOPED_TRACE(c.type);
        AiObject *other = &hero;
        PutHero({-100.0f, 0.0f, 100.0f});
        if (c.type != 0) {
            other = Place(c.type, {150.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, 0, c.modelless ? 0 : 1);
            ASSERT_NE(other, nullptr);
            if (c.modelless) {
                other->SetModelInstance(nullptr);  // never shown: its model is not taken again
            }
            other->eventHeld = true;  // it keeps still itself
            other->targetable = true;
        }
        m->SetPosition({0.0f, 0.0f, 100.0f});
        m->SetDirection({0.0f, 0.0f, -1.0f});
        other->SetPosition({0.0f, 0.0f, 95.0f});  // within its body sphere
        Enter(m, 17);
        Ticks(6);
        const float moved = 95.0f - other->GetPositionPtr()->z;
        if (c.pushed) {
            EXPECT_GT(moved, 1.0f);
            // Pushed backwards: it keeps facing the monster, not its way.
            RwV3d facing;
            other->GetDirection(&facing);
            EXPECT_GT(facing.z, 0.999f);
        } else {
            EXPECT_LT(moved, 0.01f);
        }
        if (c.type != 0) {
            other->removed = true;
        }
        // The hero, the camera's focus, stays near: every frame a full one.
        PutHero({-100.0f, 0.0f, 100.0f});
    }
}

// Released, it gives its model back and forgets its held hero, its timers
// and which states' sparks it started.
TEST_F(Monster1021, ReleasedItForgetsItsOwnWords)
{
    CSMonster1021 *m = Monster();
    ASSERT_NE(m->model, nullptr);
    m->grabTarget = &hero;
    m->grabTimer = 1.0f;
    m->guardTimer = 1.0f;
    m->sparkState4 = true;
    m->sparkState7 = true;
    CSMonster1021::ReleaseOf(m);
    EXPECT_EQ(m->model, nullptr);
    EXPECT_EQ(m->grabTarget, nullptr);
    EXPECT_EQ(m->grabTimer, 0.0f);
    EXPECT_EQ(m->guardTimer, 0.0f);
    EXPECT_FALSE(m->sparkState4);
    EXPECT_FALSE(m->sparkState7);
}

// It never rolls its drop map: only the event's drop comes out.
TEST_F(Monster1021, ItDropsOnlyWhatTheEventNamed)
{
    CSMonster1021 *m = Monster();
    m->itemType = mkdata::kSampleSureDropMap;
    PutHero({0.0f, 0.0f, -40.0f});
    m->hp = 0;
    ASSERT_GE(TicksUntil([&] { return m->removed; }, 300), 0);
    EXPECT_EQ(m->state, 29);
    int drops = 0;
    for (const gametest::TraceRecord &r : EffectLines()) {
        drops += r.fields.size() > 1 && r.fields[0] == "drop";
    }
    EXPECT_EQ(drops, 0);

    CSMonster1021 *n = Monster({40.0f, 0.0f, 60.0f});
    Control(n, kCtlDropOverride, 5300010);
    Tick();
    n->hp = 0;
    ASSERT_GE(TicksUntil([&] { return n->removed; }, 300), 0);
    for (const gametest::TraceRecord &r : EffectLines()) {
        drops += r.fields.size() > 1 && r.fields[0] == "drop" && r.fields[1] == "5300010";
    }
    EXPECT_EQ(drops, 1);
}

// Its sparks (a "3010600.zus" system on the weapon's tip) start once per
// entry of states 4 and 7, however long it stays there, and again on the
// next entry; no other state starts them.
TEST_F(Monster1021, ItsSparksStartOncePerEntryOfStatesFourAndSeven)
{
    CSMonster1021 *m = Monster();
    FsfBuilder b;
    for (int32_t s : {0, 4, 7, 10}) {
        b.State(s);
    }
    UseStateMachine(kType, b.Build());
    PutHero({0.0f, 0.0f, -60.0f});
    Tick();
    for (int32_t state : {4, 7, 10, 4}) {
        SCOPED_TRACE(state);
        const int32_t out = particles.SystemsOut();
        Enter(m, state);
        Ticks(10);
        EXPECT_EQ(particles.SystemsOut() - out, state == 10 ? 0 : 1);
        Enter(m, 0);
        TicksUntil([&] { return particles.SystemsOut() == out; }, 300);
    }
}

}  // namespace

}  // namespace monster_1021_test
