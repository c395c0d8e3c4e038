// The non-player characters frame by frame on the arena: the families of
// the table (hold and show, the locked 101) under their event's codes, type
// 112's appearance and end, and the fighting character 10: its turn toward
// its foe, its seize, its blows on its foes, its burning and poison, its
// states' sounds, its getting up and coming to, its stop on a blow, its drop
// and the hero it lets go when it dies or an event holds it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

#include "actor/fsf.h"
#include "app/game_rand.h"
#include "fx/ge_pool.h"
#include "fx/ge_pools.h"
#include "fx/particle_system.h"
#include "monster/kit_common.h"
#include "monster/monster_1003.h"
#include "monster/npc.h"
#include "monster/npc_10.h"
#include "stage/clump_anim_manager.h"
#include "monster_scenario.h"
#include "tools/mkdata/item_data.h"

namespace npc_test {

namespace {

using gametest::FsfBuilder;
using monstertest::MonsterScenario;

constexpr int32_t kGroup = 5;

class Npcs : public MonsterScenario {
protected:
    static int32_t Releases(const std::vector<MSGData> &messages)
    {
        int32_t count = 0;
        for (const MSGData &m : messages) {
            count += m.kind == kMsgHitHero && m.word[1] == kAtkReleaseHeld && m.word[2] == 0;
        }
        return count;
    }
};

// One row per family: what code 8192 does with another group's id and with
// the character's own, and what code 16384 does after it.
struct FamilyCase {
    int32_t aiType;
    bool heldByAnotherGroup;  // the hold family is held by any 8192
    int32_t shownState;       // where the event's show leaves it
    int32_t releasedState;    // and its release
    int32_t group;            // its event group id
};

TEST_F(Npcs, TheFamiliesFollowTheirEventsCodes)
{
    const FamilyCase cases[] = {
        {100, true, 1, 0, kGroup},   // UpdateHold: held in state 1 until released
        {100, true, 1, 0, 1},        // the first group's id is as good as any
        {107, false, 1, 0, kGroup},  // UpdateShow: input 1 when shown and when let go
        {101, false, 1, 0, kGroup},  // UpdateShowLocked, unlocked
    };
    float x = -60.0f;
    for (const FamilyCase &c : cases) {
        SCOPED_TRACE(testing::Message() << c.aiType << " of group " << c.group);
        AiObject *npc = Place(c.aiType, {x, 0.0f, 40.0f}, {0.0f, 0.0f, -1.0f}, c.group, 0);
        x += 40.0f;
        ASSERT_NE(npc, nullptr);
        PutHero({0.0f, 0.0f, -60.0f});
        Ticks(2);
        EXPECT_EQ(npc->model, nullptr);  // its event shows it
        EXPECT_EQ(npc->state, 0);
        Control(npc, kCtlShowHold, c.group + 1);
        Ticks(2);
        EXPECT_EQ(npc->eventHeld, c.heldByAnotherGroup);
        EXPECT_EQ(npc->model, nullptr);
        EXPECT_EQ(npc->state, 0);  // held without a model, it waits for one
        EXPECT_FALSE(npc->eventModel);
        Control(npc, kCtlShowHold, c.group);
        Ticks(2);
        ASSERT_NE(npc->model, nullptr);
        EXPECT_TRUE(npc->active);
        EXPECT_TRUE(npc->eventModel);
        EXPECT_EQ(npc->state, c.shownState);
        Ticks(120);  // its event's motion plays on
        EXPECT_EQ(npc->state, c.shownState);
        Control(npc, kCtlRelease, 0);
        Ticks(2);
        EXPECT_FALSE(npc->eventModel);
        EXPECT_FALSE(npc->eventHeld);
        EXPECT_EQ(npc->state, c.releasedState);
    }
}

// A character placed to show when in view takes its model once in view and
// gives it back out of view, but for 112, which keeps it; back in view the
// others take one again.
TEST_F(Npcs, CharactersShownInViewTakeTheirModelsThereAndGiveThemBackOutOfIt)
{
    PutHero({0.0f, 0.0f, -15.0f});
    const std::pair<int32_t, bool> cases[] = {{100, true}, {107, true}, {106, true}, {112, false}};
    for (const auto &[type, givesBack] : cases) {
        SCOPED_TRACE(type);
        AiObject *npc = Place(type, {0.0f, 0.0f, 40.0f}, {0.0f, 0.0f, -1.0f}, 0, 1);
        ASSERT_NE(npc, nullptr);
        npc->SetModelInstance(nullptr);  // as out of view
        ASSERT_GE(TicksUntil([&] { return npc->model != nullptr; }, 10), 0);
        npc->SetPosition({230.0f, 0.0f, 60.0f});  // beyond the east wall: hidden from the camera in the yard
        Ticks(3);
        EXPECT_EQ(npc->model == nullptr, givesBack);
        npc->SetPosition({0.0f, 0.0f, 40.0f});
        Ticks(3);
        EXPECT_NE(npc->model, nullptr);
        npc->Remove();
    }
}

// Held by another group's event, a hold character in view goes to its
// state 1 playing that state's motion; shown by its own group's event, it
// goes there too but the event plays its motion: its own is left alone.
TEST_F(Npcs, AHoldCharacterPlaysItsHoldMotionUnlessItsEventShowsIt)
{
    PutHero({0.0f, 0.0f, -15.0f});
    for (bool ownGroup : {false, true}) {
        SCOPED_TRACE(ownGroup ? "its own group's event" : "another group's event");
        AiObject *npc = Place(100, {ownGroup ? 20.0f : -20.0f, 0.0f, 40.0f}, {0.0f, 0.0f, -1.0f}, kGroup,
                              ownGroup ? 0 : 1);
        ASSERT_NE(npc, nullptr);
        Ticks(2);
        ASSERT_EQ(npc->state, 0);
        Control(npc, kCtlShowHold, ownGroup ? kGroup : kGroup + 1);
        Ticks(2);
        ASSERT_NE(npc->model, nullptr);
        EXPECT_EQ(npc->state, 1);
        EXPECT_EQ(monster::AnimationsOf(npc)->GetMotionIndex(npc->Clump()), ownGroup ? 0 : 1);
    }
}

// A show character shown by its own group's event goes to its state 1 and
// plays that state's motion itself, the event's model or not.
TEST_F(Npcs, AShowCharacterPlaysItsShownMotionItself)
{
    PutHero({0.0f, 0.0f, -15.0f});
    float x = -20.0f;
    for (int32_t type : {106, 107}) {
        SCOPED_TRACE(type);
        AiObject *npc = Place(type, {x, 0.0f, 40.0f}, {0.0f, 0.0f, -1.0f}, kGroup, 0);
        x += 40.0f;
        ASSERT_NE(npc, nullptr);
        Ticks(2);
        ASSERT_EQ(npc->state, 0);
        Control(npc, kCtlShowHold, kGroup);
        Ticks(2);
        ASSERT_NE(npc->model, nullptr);
        EXPECT_TRUE(npc->eventModel);
        EXPECT_EQ(npc->state, 1);
        EXPECT_EQ(monster::AnimationsOf(npc)->GetMotionIndex(npc->Clump()), 1);
    }
}

// The show setters take only their own states: 106 its first two, the
// others their first twelve; a step the state machine gives beyond them is
// not taken.
TEST_F(Npcs, AShowCharacterTakesOnlyItsOwnStates)
{
    PutHero({0.0f, 0.0f, -15.0f});
    const std::pair<int32_t, int32_t> cases[] = {{106, 1}, {107, 11}};
    float x = -20.0f;
    for (const auto &[type, last] : cases) {
        SCOPED_TRACE(type);
        AiObject *npc = Place(type, {x, 0.0f, 40.0f}, {0.0f, 0.0f, -1.0f}, kGroup, 0);
        x += 40.0f;
        ASSERT_NE(npc, nullptr);
        FsfBuilder b;  // shown or let go (input 1): one state on, from 0 to past the last
        b.State(0).To(1, last, 1);
        for (int32_t s = last; s <= last + 1; ++s) {
            b.State(s).To(1, s + 1, 1);
        }
        b.State(last + 2);
        UseStateMachine(type, b.Build());
        Ticks(2);
        Control(npc, kCtlShowHold, kGroup);
        Ticks(2);
        ASSERT_NE(npc->model, nullptr);
        EXPECT_EQ(npc->state, last);
        Control(npc, kCtlRelease, 0);
        Ticks(2);
        EXPECT_EQ(npc->state, last);
    }
}

// A show character answers only its own group: one with no group (0) is
// not shown by a code 8192 carrying 0, and a release before any show
// moves nothing.
TEST_F(Npcs, AShowCharacterWithoutAGroupOrNotShownIgnoresTheEventsCodes)
{
    PutHero({0.0f, 0.0f, -60.0f});
    float x = -20.0f;
    for (int32_t type : {106, 107}) {
        SCOPED_TRACE(type);
        AiObject *loose = Place(type, {x, 0.0f, 40.0f}, {0.0f, 0.0f, -1.0f}, 0, 0);
        AiObject *grouped = Place(type, {x + 20.0f, 0.0f, 40.0f}, {0.0f, 0.0f, -1.0f}, kGroup, 0);
        x += 40.0f;
        ASSERT_NE(loose, nullptr);
        ASSERT_NE(grouped, nullptr);
        Ticks(2);
        Control(loose, kCtlShowHold, 0);
        Control(grouped, kCtlRelease, 0);
        Ticks(2);
        EXPECT_EQ(loose->model, nullptr);
        EXPECT_FALSE(loose->eventModel);
        EXPECT_EQ(loose->state, 0);
        EXPECT_EQ(grouped->state, 0);
    }
}

// A character taken off the stage by its event stays gone, whatever its
// family: the show code that was already waiting for it gives it no model
// and no state.
TEST_F(Npcs, ARemovedCharacterStaysGone)
{
    PutHero({0.0f, 0.0f, -60.0f});
    for (const auto &[type, x] : {std::pair{100, -60.0f}, std::pair{107, -20.0f}, std::pair{101, 20.0f},
                                  std::pair{112, 60.0f}}) {
        SCOPED_TRACE(type);
        AiObject *npc = Place(type, {x, 0.0f, 40.0f}, {0.0f, 0.0f, -1.0f}, kGroup, 0);
        ASSERT_NE(npc, nullptr);
        Ticks(2);
        Control(npc, kCtlShowHold, kGroup);
        Tick();  // handed to it at the frame's end, read in its next update
        npc->Remove();
        Ticks(3);
        EXPECT_EQ(npc->model, nullptr);
        EXPECT_FALSE(npc->eventModel);
        EXPECT_EQ(npc->state, 0);
    }
}

// Type 101 stays in its last states (12 to 16) once there and is in no one's
// way; shown again by its event (without a model), it is unlocked.
TEST_F(Npcs, Type101LocksItsLastStatesAndStandsAside)
{
    AiObject *npc = Place(101, {0.0f, 0.0f, 40.0f}, {0.0f, 0.0f, -1.0f}, kGroup, 0);
    PutHero({0.0f, 0.0f, -60.0f});
    Control(npc, kCtlShowHold, kGroup);
    Ticks(3);
    ASSERT_NE(npc->model, nullptr);
    EXPECT_EQ(npc->state, 1);
    EXPECT_FALSE(npc->nonBlocking);
    npc->PlayAnimation(13);  // its event plays one of its last motions
    Ticks(2);
    EXPECT_TRUE(npc->stateLock);
    EXPECT_TRUE(npc->nonBlocking);
    Control(npc, kCtlShowHold, kGroup);  // shown again with its model: still locked
    Ticks(120);
    EXPECT_EQ(npc->state, 13);
    EXPECT_TRUE(npc->nonBlocking);
    Control(npc, kCtlRelease, 0);  // the event lets go: its model goes back
    Ticks(3);
    EXPECT_EQ(npc->model, nullptr);
    EXPECT_EQ(npc->state, 13);
    Control(npc, kCtlShowHold, kGroup);  // shown again without a model: unlocked
    Ticks(3);
    EXPECT_NE(npc->model, nullptr);
    EXPECT_EQ(npc->state, 1);  // its event's motion again
    EXPECT_FALSE(npc->stateLock);
    EXPECT_FALSE(npc->nonBlocking);
}

// Only 12 to 16 are its last states: played there by its event it locks,
// played just outside them it does not.
TEST_F(Npcs, Type101LocksFromTwelveToSixteenOnly)
{
    PutHero({0.0f, 0.0f, -60.0f});
    float x = -60.0f;
    for (int32_t state : {11, 12, 16, 17}) {
        SCOPED_TRACE(state);
        AiObject *npc = Place(101, {x, 0.0f, 40.0f}, {0.0f, 0.0f, -1.0f}, kGroup, 0);
        x += 30.0f;
        ASSERT_NE(npc, nullptr);
        Control(npc, kCtlShowHold, kGroup);
        Ticks(3);
        ASSERT_NE(npc->model, nullptr);
        npc->PlayAnimation(state);
        Ticks(2);
        EXPECT_EQ(npc->stateLock, state >= 12 && state <= 16);
        EXPECT_EQ(npc->nonBlocking, state >= 12 && state <= 16);
    }
}

// Type 112 is in no one's way while it stands in state 0; with a model it
// appears (1, its ring of particles started, glowing with material
// animation 34), stands (2), and once dying fades (5, material animation
// 35, the ring's particles started again) and ends, removed (6).
TEST_F(Npcs, Type112AppearsFadesAndEnds)
{
    AiObject *npc = Place(112, {0.0f, 0.0f, 40.0f}, {0.0f, 0.0f, -1.0f}, kGroup, 0);
    PutHero({0.0f, 0.0f, -60.0f});
    Ticks(2);
    EXPECT_EQ(npc->state, 0);
    EXPECT_TRUE(npc->nonBlocking);
    Control(npc, kCtlShowHold, kGroup);
    Ticks(3);
    EXPECT_EQ(npc->state, 1);
    EXPECT_FALSE(npc->nonBlocking);
    EXPECT_EQ(npc->isRender, 1);
    EXPECT_EQ(EffectStarts("3405400"), 6);  // one start: six systems on the ring
    ExpectLook(npc, 34, 1.4f, false);  // the appearance's glow
    // Each look plays on from its start: it is not started again.
    const auto playsOn = [&] {
        const float at = matAnims.Find(npc)->time;
        Tick();
        ASSERT_NE(matAnims.Find(npc), nullptr);
        EXPECT_GT(matAnims.Find(npc)->time, at);
    };
    playsOn();
    ASSERT_GE(TicksUntil([&] { return npc->state == 2; }, 200), 0);
    // Fading (5), it starts the ring's particles again, once: stopped by
    // then, they emit again from its entry.
    const auto ringSystems = [&](bool stop) {
        int emitting = 0;
        const CSGe3405400 *ring = effects.ring3405400;
        for (int32_t i = 0; i < ring->InstanceCount(); ++i) {
            const GeInstance &instance = ring->Instance(i);
            for (CSParticleSystem *system : instance.particles) {
                if (instance.used && system != nullptr) {
                    if (stop) {
                        system->StopEmit();
                    }
                    emitting += system->IsEmitting() ? 1 : 0;
                }
            }
        }
        return emitting;
    };
    EXPECT_EQ(ringSystems(true), 0);
    npc->dying = true;
    ASSERT_GE(TicksUntil([&] { return npc->state == 5; }, 10), 0);
    Tick();
    EXPECT_GT(ringSystems(false), 0);
    ExpectLook(npc, 35, 0.5f, false);  // the fade
    playsOn();
    ASSERT_GE(TicksUntil([&] { return npc->removed; }, 200), 0);
    EXPECT_EQ(npc->state, 6);
    EXPECT_EQ(npc->model, nullptr);
    EXPECT_FALSE(npc->active);
}

// ---- the fighting character 10 ----

class Fighter : public Npcs {
protected:
    CSMonster1003 *Place10(const RwV3d &at = {0.0f, 0.0f, 60.0f})
    {
        return static_cast<CSMonster1003 *>(Place(10, at, {0.0f, 0.0f, -1.0f}));
    }
    // Its states 0 to 39 with no way between them: a state it is put in,
    // it keeps.
    static FsfBuilder StillStates()
    {
        FsfBuilder b;
        for (int32_t s = 0; s <= 39; ++s) {
            b.State(s);
        }
        return b;
    }
    // Placed with a machine in which each of `inputs` leads from state 0 to
    // the state of its own number, where it stays.
    CSMonster1003 *Place10Leading(std::initializer_list<int32_t> inputs)
    {
        CSMonster1003 *f = Place10();
        FsfBuilder b;
        for (const int32_t input : inputs) {
            b.State(0).To(input, input, 1);
        }
        for (const int32_t input : inputs) {
            b.State(input);
        }
        UseStateMachine(10, b.Build());
        return f;
    }
    // Placed with the hero 8 units in front of it and put in its seize
    // state (11): two frames later it holds the hero (13).
    CSMonster1003 *Place10Seizing()
    {
        CSMonster1003 *f = Place10();
        const RwV3d at = *f->GetPositionPtr();
        PutHero({at.x, 0.0f, at.z - 8.0f}, {0.0f, 0.0f, -1.0f});
        hero.held = false;  // the hero's own step, which the release frees it in, does not run here
        Enter(f, 11);
        Ticks(2);
        return f;
    }
    CSMonster1003 *Place10Still()
    {
        CSMonster1003 *f = Place10();
        UseStateMachine(10, StillStates().Build());
        return f;
    }
};

// It seizes a hero in front of it and puts it 7.5 units ahead; dying, or
// held by an event in its state 38, it lets the hero go.
TEST_F(Fighter, ItSeizesAHeroSevenAndAHalfUnitsAheadAndLetsItGo)
{
    for (bool dies : {true, false}) {
        SCOPED_TRACE(dies);
        CSMonster1003 *f = Place10({dies ? -40.0f : 40.0f, 0.0f, 60.0f});
        const RwV3d at = *f->GetPositionPtr();
        PutHero({at.x, 0.0f, at.z - 8.0f}, {0.0f, 0.0f, -1.0f});
        hero.held = false;  // the hero's own step, which the release frees it in, does not run here
        Enter(f, 11);
        Ticks(2);
        ASSERT_EQ(f->state, 13);
        EXPECT_EQ(f->GrabTarget10(), &hero);
        EXPECT_TRUE(hero.held);
        EXPECT_NEAR(hero.GetPositionPtr()->z, at.z - 7.5f, 0.01f);
        EXPECT_NEAR(hero.GetPositionPtr()->x, at.x, 0.01f);
        const std::vector<MSGData> seized = HeroMessages();
        ASSERT_FALSE(seized.empty());
        EXPECT_EQ(seized[0].word[1], kAtkGrabBack);  // from behind: the hero faces away
        if (dies) {
            f->hp = 0;
        } else {
            Control(f, kCtlShowHold, 0);
        }
        Ticks(3);
        EXPECT_EQ(f->state, dies ? 27 : 38);
        EXPECT_EQ(f->GrabTarget10(), nullptr);
        EXPECT_EQ(Releases(HeroMessages()), 1);
        if (!dies) {
            Control(f, kCtlRelease, 0);
            Ticks(2);
        }
        hero.SetPosition({0.0f, 0.0f, -120.0f});
        Ticks(2);
    }
}

// Its blows land on its foes (a monster here) with kind-1 hits, once per
// state entry, with blood on the ground and sparks where they land.
TEST_F(Fighter, ItsBlowsHitItsFoesWithBloodAndSparks)
{
    CSMonster1003 *f = Place10({0.0f, 0.0f, 60.0f});
    AiObject *foe = Place(1000, {0.0f, 0.0f, 50.0f}, {0.0f, 0.0f, 1.0f});
    ASSERT_NE(foe, nullptr);
    PutHero({0.0f, 0.0f, -120.0f});
    Ticks(2);
    ASSERT_EQ(f->foes[0], foe);
    const int32_t hp = foe->hp;
    const int32_t decalsBefore = decals.DecalsInUse();
    const int32_t sparksBefore = particles.SystemsOut();
    Enter(f, 10);
    int32_t sparksSeen = sparksBefore;
    ASSERT_GE(TicksUntil([&] {
                  sparksSeen = std::max(sparksSeen, particles.SystemsOut());
                  return foe->hp < hp;
              }, 60),
              0);
    // AttackValue 12 x trunc(1.5), less the monster's Defense (2).
    EXPECT_EQ(hp - foe->hp, 12 - 2);
    EXPECT_GT(decals.DecalsInUse(), decalsBefore);
    EXPECT_GT(sparksSeen, sparksBefore);
    // Once per state entry, however long the blade touches it.
    Ticks(30);
    EXPECT_EQ(hp - foe->hp, 12 - 2);
}

// Burning lasts 4 s at 2 % of MaxHP every 30 acts; poison 1 % every 60
// acts; the resistances are 1 while it burns.
TEST_F(Fighter, ItBurnsFourSecondsAndPoisonCostsOnePercentEverySixtyActs)
{
    CSMonster1003 *f = Place10();
    PutHero({0.0f, 0.0f, -30.0f});  // near: it acts every frame on its own time
    Hit(f, kAtkBurn | kAtkPlain, 0);
    ASSERT_GE(TicksUntil([&] { return (f->activeStatus & kStatusBurning) != 0; }, 5), 0);
    EXPECT_EQ(f->resistance, 1);
    const int32_t hp = f->hp;
    const int ticks = TicksUntil([&] { return (f->activeStatus & kStatusBurning) == 0; }, 400);
    EXPECT_NEAR(ticks * monstertest::kDt, 4.0f, 0.05f);
    // 150 x 2 % = 3 every 30 acts, seven or eight times in 4 s.
    EXPECT_GE(hp - f->hp, 3 * 7);
    EXPECT_LE(hp - f->hp, 3 * 8);
    EXPECT_EQ(f->resistance, 2);  // its DEFAttribute again

    Hit(f, kAtkPoison | kAtkPlain, 0);
    ASSERT_GE(TicksUntil([&] { return (f->activeStatus & kStatusPoisoned) != 0; }, 5), 0);
    int32_t before = f->hp;
    ASSERT_GE(TicksUntil([&] { return f->hp != before; }, 70), 0);
    EXPECT_EQ(before - f->hp, 1);  // 150 x 1 %
    before = f->hp;
    const int between = TicksUntil([&] { return f->hp != before; }, 70);
    EXPECT_EQ(between, 60);
    EXPECT_EQ(before - f->hp, 1);
    f->poisonTimer = 29.99f;
    Ticks(2);
    EXPECT_EQ(f->activeStatus & kStatusPoisoned, 0);
}

// Killed, it rolls its drop map in its gone state.
TEST_F(Fighter, ItDropsWhatItsDropMapRolls)
{
    CSMonster1003 *f = Place10();
    f->itemType = mkdata::kSampleSureDropMap;
    PutHero({0.0f, 0.0f, -120.0f});
    Tick();
    f->hp = 0;
    ASSERT_GE(TicksUntil([&] { return f->removed; }, 300), 0);
    EXPECT_TRUE(f->state == 30 || f->state == 31) << f->state;
    int drops = 0;
    for (const gametest::TraceRecord &r : EffectLines()) {
        drops += r.fields.size() > 1 && r.fields[0] == "drop" && r.fields[1] == "5300000";
    }
    EXPECT_EQ(drops, 1);
}


// Entering a state it plays that state's sounds once, on its first act
// there: its swings, its seize and hold, its falls, its dizziness, its
// grabbed cries and its death; other states are silent.
TEST_F(Fighter, ItsStatesPlayTheirSoundsOnEntry)
{
    CSMonster1003 *f = Place10Still();
    PutHero({0.0f, 0.0f, -30.0f});  // near: it acts every frame
    const std::pair<int32_t, std::vector<int32_t>> cases[] = {
        {4, {6120000}},           {7, {6120000}},           {10, {6120000}},          {13, {6300270}},
        {14, {6120010}},          {16, {6300240}},          {17, {6120010, 6300240}}, {21, {6120010, 6300240}},
        {18, {6120010, 6300250}}, {23, {6300070}},          {25, {6120010, 6300230}}, {26, {6120010, 6300230}},
        {27, {6120020}},          {28, {6120020}},          {0, {}},                  {5, {}},
        {15, {}},                 {19, {}},                 {24, {}},
    };
    for (const auto &[state, sounds] : cases) {
        SCOPED_TRACE(state);
        Enter(f, state);
        const uint32_t from = tick;
        Ticks(3);
        std::vector<int32_t> played = SoundsFrom(from);
        std::sort(played.begin(), played.end());
        EXPECT_EQ(played, sounds);
    }
}

// Knocked down (state 19) it lies down 2 s, then gets up (input 106);
// dizzy (state 23) it reels 3 s, then comes to (input 107).
TEST_F(Fighter, ItGetsUpAfterTwoSecondsDownAndComesToAfterThreeDizzy)
{
    CSMonster1003 *f = Place10();
    FsfBuilder b = StillStates();
    b.State(19).To(106, 20, 1);
    b.State(23).To(107, 24, 1);
    UseStateMachine(10, b.Build());
    PutHero({0.0f, 0.0f, -30.0f});  // near: it acts every frame
    const struct {
        int32_t state, after;
        float seconds;
    } cases[] = {{19, 20, 2.0f}, {23, 24, 3.0f}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.state);
        Enter(f, c.state);
        Tick();
        EXPECT_EQ(f->down, c.state == 19);
        const int ticks = TicksUntil([&] { return f->state != c.state; }, 400);
        EXPECT_EQ(f->state, c.after);
        EXPECT_NEAR(static_cast<float>(ticks + 1) * monstertest::kDt, c.seconds, 0.03f);
        EXPECT_FALSE(f->down);
    }
}

// Hurt in its states 16 and 17 it stops a tenth of a second on the blow;
// hurt in another state it does not.
TEST_F(Fighter, ItStopsOnABlowOnlyInStates16And17)
{
    CSMonster1003 *f = Place10();
    FsfBuilder b = StillStates();
    for (int32_t s : {15, 16, 17}) {
        b.State(s).Hurt(1);
    }
    UseStateMachine(10, b.Build());
    PutHero({0.0f, 0.0f, -30.0f});  // near: it acts every frame
    for (int32_t state : {15, 16, 17}) {
        SCOPED_TRACE(state);
        Enter(f, state);
        Tick();
        const int32_t hp = f->hp;
        Hit(f, kAtkPlain, 20);
        int frozenTicks = 0;
        for (int i = 0; i < 20; ++i) {
            Tick();
            frozenTicks += f->frozen ? 1 : 0;
        }
        EXPECT_LT(f->hp, hp);
        EXPECT_EQ(f->state, state);
        if (state == 15) {
            EXPECT_EQ(frozenTicks, 0);
        } else {
            EXPECT_NEAR(static_cast<float>(frozenTicks) * monstertest::kDt, 0.1f, 0.02f);
        }
    }
}

// Its states: it is not solid in 34 to 38, cannot be targeted in 10 to 13,
// 25, 26, 34 and 36, and does not hear the events in 34 and 36; an event
// holds it in 38, the last state it takes.
TEST_F(Fighter, ItsStatesSayWhereItIsSolidTargetableAndHeld)
{
    CSMonster1003 *f = Place10Still();
    PutHero({0.0f, 0.0f, -60.0f});
    const std::set<int32_t> untargetable = {10, 11, 12, 13, 25, 26, 34, 36};
    for (int32_t state : {0, 9, 10, 11, 12, 13, 14, 24, 25, 26, 29, 34, 35, 36, 37, 38}) {
        SCOPED_TRACE(state);
        Enter(f, state);
        Tick();
        EXPECT_EQ(f->solid, state < 34);
        EXPECT_EQ(f->targetable, untargetable.count(state) == 0);
    }
    CSNpc10::SetState(f, f->Fsf(), 39);
    EXPECT_EQ(f->state, 38) << "no state past 38";
    for (int32_t state : {34, 36, 35}) {
        SCOPED_TRACE(state);
        Enter(f, state);
        Control(f, kCtlShowHold, 77);
        Ticks(2);
        EXPECT_EQ(f->eventHeld, state == 35);
    }
    EXPECT_EQ(f->state, 38);
    Control(f, kCtlRelease, 0);
    Ticks(2);
    EXPECT_FALSE(f->eventHeld);
}

// On each act, neither removed nor dying, it rolls its flag from the
// game's draw: set when the draw is even, as often as the draw gives.
TEST_F(Fighter, EachActRollsItsFlagFromTheGamesDraw)
{
    CSMonster1003 *f = Place10Still();
    PutHero({0.0f, 0.0f, -60.0f});
    Tick();
    int set = 0;
    for (uint32_t seed = 1; seed <= 16; ++seed) {
        SCOPED_TRACE(seed);
        game::Srand(seed);
        const bool even = game::Rand() % 2 == 0;
        game::Srand(seed);
        Tick();
        EXPECT_EQ(f->RollFlag10(), even);
        set += even ? 1 : 0;
    }
    EXPECT_GT(set, 0);
    EXPECT_LT(set, 16);
}

// While an event holds it in 38 it feeds that state no input: a machine
// whose 38 leads away at once on input 1 (and on no other) keeps it there,
// frame after frame, until the release.
TEST_F(Fighter, HeldInItsHoldStateItFeedsNoInputThere)
{
    CSMonster1003 *f = Place10();
    FsfBuilder b = StillStates();
    b.State(38).To(1, 0, 1);
    UseStateMachine(10, b.Build());
    PutHero({0.0f, 0.0f, -60.0f});
    Control(f, kCtlShowHold, 77);
    ASSERT_GE(TicksUntil([&] { return f->state == 38; }, 5), 0);
    for (int i = 0; i < 10; ++i) {
        Tick();
        ASSERT_EQ(f->state, 38) << "frame " << i;
    }
}

// In its state 3, and in no other, it turns toward its foe about its up
// axis by TurnDeg x dt degrees a frame; a foe square to its side is well
// outside the band where it does not turn.
TEST_F(Fighter, ItTurnsTowardItsFoeInStateThreeAtItsTurnRate)
{
    CSMonster1003 *f = Place10({0.0f, 0.0f, 60.0f});
    AiObject *foe = Place(1000, {30.0f, 0.0f, 60.0f}, {0.0f, 0.0f, 1.0f});
    ASSERT_NE(foe, nullptr);
    FsfBuilder b;
    for (int32_t s = 0; s <= 38; ++s) {
        b.State(s);
    }
    UseStateMachine(10, b.Build());
    PutHero({0.0f, 0.0f, -60.0f});  // near: it acts every frame
    const float turnDeg = monster::ParamsOf(f).turnDeg;
    ASSERT_GT(turnDeg * monstertest::kDt, 0.5f);
    auto heading = [&] {
        RwV3d at;
        f->GetDirection(&at);
        return std::atan2(at.x, at.z) * 180.0f / 3.14159265f;
    };
    for (int32_t state : {0, 2, 3, 4, 5, 6}) {
        SCOPED_TRACE(state);
        f->SetPosition({0.0f, 0.0f, 60.0f});
        f->SetDirection({0.0f, 0.0f, -1.0f});
        foe->SetPosition({30.0f, 0.0f, 60.0f});
        Enter(f, state);
        Tick();
        ASSERT_EQ(f->target, foe);
        ASSERT_EQ(f->state, state);
        const float before = heading();
        Tick();
        ASSERT_EQ(f->state, state);
        // Facing -z (heading 180) with the foe on +x (heading 90): toward
        // it the heading falls.
        float turned = heading() - before;
        turned -= 360.0f * std::round(turned / 360.0f);
        if (state == 3) {
            EXPECT_NEAR(turned, -turnDeg * monstertest::kDt, 0.01f);
        } else {
            EXPECT_NEAR(turned, 0.0f, 1e-3f);
        }
    }
}

// With a foe within its attack range it gets ready (input 2) while its
// attack delay runs, 1.0 s, then strikes a foe in front of it (10); a foe
// beside it, outside its half angle, makes it turn (3) instead.
TEST_F(Fighter, ItGetsReadyThenStrikesAFoeInFrontOrTurnsToOneBeside)
{
    for (bool inFront : {true, false}) {
        SCOPED_TRACE(inFront ? "in front" : "beside");
        CSMonster1003 *f = Place10();
        FsfBuilder b;
        b.State(0).To(2, 2, 1);
        b.State(2).To(3, 3, 1).To(10, 10, 1);
        b.State(3);
        b.State(10);
        UseStateMachine(10, b.Build());
        const RwV3d at = *f->GetPositionPtr();
        PutHero(inFront ? RwV3d{at.x, 0.0f, at.z - 6.0f} : RwV3d{at.x + 6.0f, 0.0f, at.z + 1.0f});
        ASSERT_GE(TicksUntil([&] { return f->state != 0; }, 10), 0);
        EXPECT_EQ(f->state, 2);
        const int waited = TicksUntil([&] { return f->state != 2; }, 120);
        EXPECT_EQ(f->state, inFront ? 10 : 3);
        EXPECT_NEAR(waited * monstertest::kDt, 1.0f, 2.5f * monstertest::kDt);
        f->removed = true;
        hero.SetPosition({0.0f, 0.0f, -120.0f});
        Ticks(2);
    }
}

// A foe within its alarm circle but out of reach: it goes to seize him
// (input 11) when its state random is 29 or less, else it chases (input 1).
TEST_F(Fighter, InItsAlarmCircleItSeizesAtAStateRandomOfTwentyNineOrLess)
{
    for (const auto &[random, chosen] : {std::pair{29, 11}, std::pair{30, 1}}) {
        SCOPED_TRACE(random);
        CSMonster1003 *f = Place10Leading({11, 1});
        f->stateRandom = random;
        const RwV3d at = *f->GetPositionPtr();
        PutHero({at.x, 0.0f, at.z - 25.0f});
        ASSERT_GE(TicksUntil([&] { return f->state != 0; }, 10), 0);
        EXPECT_EQ(f->state, chosen);
        f->removed = true;
        hero.SetPosition({0.0f, 0.0f, -120.0f});
        Ticks(2);
    }
}

// With every model of its kind out, its event's show leaves a character as
// it was: no model, not the event's, in its first state; the next show,
// once a model is free, brings it out.
TEST_F(Npcs, WithEveryModelOutAShownCharacterWaitsForOne)
{
    PutHero({0.0f, 0.0f, -60.0f});
    for (const auto &[type, x] : {std::pair{107, -40.0f}, std::pair{100, 0.0f}}) {
        SCOPED_TRACE(type);
        AiObject *npc = Place(type, {x, 0.0f, 40.0f}, {0.0f, 0.0f, -1.0f}, kGroup, 0);
        ASSERT_NE(npc, nullptr);
        monstertest::AllModelsTaken taken(npc->modelTemplate);
        Control(npc, kCtlShowHold, kGroup);
        Ticks(2);
        EXPECT_EQ(npc->model, nullptr);
        EXPECT_FALSE(npc->eventModel);
        EXPECT_FALSE(npc->eventHeld);
        EXPECT_EQ(npc->state, 0);
        taken.GiveBack();
        Control(npc, kCtlShowHold, kGroup);
        Ticks(2);
        ASSERT_NE(npc->model, nullptr);
        EXPECT_TRUE(npc->eventModel);
        EXPECT_EQ(npc->state, 1);
        npc->Remove();
    }
}

// In view with every model of its kind out, the fighter waits without one:
// a foe near does not bring it on until a model is free.
TEST_F(Fighter, InViewWithEveryModelOutItWaitsForOne)
{
    CSMonster1003 *f = Place10Leading({1, 2});
    f->SetModelInstance(nullptr);
    monstertest::AllModelsTaken taken(f->modelTemplate);
    const RwV3d at = *f->GetPositionPtr();
    PutHero({at.x, 0.0f, at.z - 8.0f});
    Ticks(5);
    EXPECT_EQ(f->model, nullptr);
    EXPECT_EQ(f->state, 0);
    taken.GiveBack();
    ASSERT_GE(TicksUntil([&] { return f->model != nullptr; }, 5), 0);
    EXPECT_GE(TicksUntil([&] { return f->state != 0; }, 5), 0) << "with its model it comes on";
}

// Holding a hero (13), it lets it go once it has held it more than 3 s
// (input 15, and in 15 the release, 512, to the hero). The sender of a
// seizing blow on it is remembered as its grabbing attacker, also when
// another blow reaches it in the same frame.
TEST_F(Fighter, ItLetsItsHeroGoAfterHoldingItThreeSeconds)
{
    CSMonster1003 *f = Place10Seizing();
    ASSERT_EQ(f->state, 13);
    HeroMessages();
    const int held = TicksUntil([&] { return f->state != 13; }, 400);
    EXPECT_NEAR(held * monstertest::kDt, 3.0f, 3.0f * monstertest::kDt);
    EXPECT_EQ(f->state, 15);
    Ticks(2);
    EXPECT_EQ(f->GrabTarget10(), nullptr);
    EXPECT_EQ(Releases(HeroMessages()), 1);

    EXPECT_EQ(f->GrabbingAttacker10(), nullptr);
    Hit(f, kAtkPlain, 0);
    Ticks(2);
    EXPECT_EQ(f->GrabbingAttacker10(), nullptr) << "a plain blow";
    Hit(f, kAtkGrab, 0);
    Hit(f, kAtkPlain, 0);  // read first: the newer of a kind comes first
    Ticks(2);
    EXPECT_EQ(f->GrabbingAttacker10(), &hero) << "every blow of a frame read in that frame";
}

// The hold ends only once it has lasted more than 3 s: at steps of a
// quarter second the thirteenth act finds the timer at exactly 3.0 and
// holds on; the fourteenth lets the hero go.
TEST_F(Fighter, ItHoldsItsHeroForMoreThanThreeSecondsNotExactlyThree)
{
    CSMonster1003 *f = Place10Seizing();
    ASSERT_EQ(f->state, 13);
    f->GrabTimer10() = 0.0f;
    Ticks(13, 0.25f);
    EXPECT_EQ(f->state, 13) << "held exactly 3 s";
    Tick(0.25f);
    EXPECT_EQ(f->state, 15);
}

// A hero seen outside its territory is ignored, and the fighter, unlike the
// monsters, has no time after which it looks again and does not look again
// for being home: at home, with the hero come inside and near, it keeps no
// target.
TEST_F(Fighter, AHeroSeenOutsideItsTerritoryStaysIgnoredAtHome)
{
    Territory area;
    area.id = 99;
    area.points = {{-30.0f, 0.0f}, {30.0f, 0.0f}, {30.0f, 90.0f}, {-30.0f, 90.0f}};
    stage.territories.push_back(area);
    CSMonster1003 *f = Place10Still();
    f->territory = area.id;  // as its placement gives it
    PutHero({0.0f, 0.0f, 95.0f});  // near, out of the territory
    Ticks(5);
    ASSERT_TRUE(f->ignoreFoes);
    EXPECT_EQ(f->target, nullptr);
    PutHero({0.0f, 0.0f, 80.0f});  // inside now
    for (int i = 0; i < 600; ++i) {
        Tick();
        ASSERT_EQ(f->target, nullptr) << "still ignoring, frame " << i;
    }
}

}  // namespace

}  // namespace npc_test
