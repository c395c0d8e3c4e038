// What each monster type's own states do, type by type on the arena, with
// every type's numbers in one table per behaviour: the states in which it
// cannot be targeted (held, seizing, charging, lying down, out of the
// broadcasts), the states in which it turns toward its goal or faces it at
// once, the knock that takes it out of its attacks for its time, the
// crates it breaks flying down, the states in which it dies and is gone,
// the flight from a thrown item, the landing from a flight, how a guard
// takes each kind of blow, and the counter from a hurt state.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "monster/kit_common.h"
#include "monster/kit_messages.h"
#include "monster_scenario.h"

namespace type_states_test {

namespace {

using monstertest::MonsterScenario;

constexpr int32_t kNone = -1;

// The states 0..last, each leading on `input` (when one is given) to
// `to`: what else the type feeds leads nowhere, so a state entered by hand
// is kept.
CFSF StatesLeadingOn(int32_t last, int32_t input = kNone, int32_t to = kNone)
{
    gametest::FsfBuilder machine;
    for (int32_t s = 0; s <= last; ++s) {
        machine.State(s);
        if (input != kNone && s != to) {
            machine.To(input, to, 1);
        }
    }
    return machine.Build();
}

// The states 0..last but the skipped ones.
std::vector<int32_t> StatesBut(int32_t last, const std::set<int32_t> &skipped)
{
    std::vector<int32_t> states;
    for (int32_t s = 0; s <= last; ++s) {
        if (skipped.count(s) == 0) {
            states.push_back(s);
        }
    }
    return states;
}

// Each of `states` and the states either side of it: where a state number
// one off would show.
std::vector<int32_t> AroundEach(const std::set<int32_t> &states, const std::set<int32_t> &skipped)
{
    std::set<int32_t> around;
    for (int32_t s : states) {
        for (int32_t near : {s - 1, s, s + 1}) {
            if (skipped.count(near) == 0) {
                around.insert(near);
            }
        }
    }
    return {around.begin(), around.end()};
}

std::string Named(int32_t type, int32_t state) { return std::to_string(type) + " in " + std::to_string(state); }

class TypeStates : public MonsterScenario {
protected:
    static constexpr RwV3d kAt = {0.0f, 0.0f, 60.0f};
    static constexpr RwV3d kFacing = {0.0f, 0.0f, -1.0f};

    // The hero near enough that the monsters act on every frame, and no
    // one's foe.
    void NoFoeNear()
    {
        PutHero({0.0f, 0.0f, 30.0f});
        hero.side = kSideNeutral;
    }
    AiObject *Fresh(int32_t type, const CFSF &machine)
    {
        AiObject *m = Place(type, kAt, kFacing);
        UseStateMachine(type, machine);
        return m;
    }
    // `visit` (the monster, the state) for each of `states` in turn, on one
    // monster of the type with the state machine; a fresh one after one
    // that is out of play.
    void ForStates(int32_t type, const CFSF &machine, const std::vector<int32_t> &states,
                   const std::function<void(AiObject *, int32_t)> &visit)
    {
        AiObject *m = Fresh(type, machine);
        for (int32_t state : states) {
            if (m->removed) {
                m = Fresh(type, machine);
            }
            SCOPED_TRACE(Named(type, state));
            visit(m, state);
        }
        m->removed = true;  // out of the way of the next type
    }
};

struct TargetableRow {
    int32_t type;
    int32_t last;
    std::set<int32_t> untargetable;
    std::set<int32_t> skipped;  // dying and gone: their own test
};

// A type cannot be targeted in its held state, its seize and charge states
// (1021 and the grab monsters), while it lies down and while it is out of
// the broadcasts; in every other state it can, from the first act.
TEST_F(TypeStates, EachTypeCannotBeTargetedInItsOwnStates)
{
    const TargetableRow rows[] = {
        {1007, 29, {21, 26, 27}, {24, 25}},
        {1000, 31, {20, 14, 16, 18, 26, 27}, {22, 23, 24, 25}},
        {1006, 31, {20, 14, 16, 18, 26, 27}, {22, 23, 24, 25}},
        {1005, 29, {21, 15, 17, 19, 27, 28}, {23, 24, 25, 26}},
        {1021, 32, {10, 11, 12, 13, 16, 17, 18, 26, 30, 31}, {28, 29}},
        {1004, 35, {10, 11, 12, 13, 25, 26, 19, 21, 31, 32}, {27, 28, 29, 30}},
        {1003, 34, {10, 11, 12, 13, 25, 26, 19, 21, 31, 32}, {27, 28, 29, 30}},
        {1002, 37, {10, 11, 12, 13, 25, 26, 19, 21, 32, 33}, {28, 29, 30, 31}},
    };
    PutHero({0.0f, 0.0f, -60.0f});
    for (const TargetableRow &r : rows) {
        ForStates(r.type, StatesLeadingOn(r.last), StatesBut(r.last, r.skipped), [&](AiObject *m, int32_t state) {
            Enter(m, state);
            Tick();
            EXPECT_EQ(m->targetable, r.untargetable.count(state) == 0);
        });
    }
    // Falling, a type lies down (and cannot be targeted) once its fall's
    // motion has ended; 1007 never lies down.
    const std::pair<int32_t, std::set<int32_t>> falls[] = {
        {1000, {12, 13}}, {1006, {12, 13}}, {1005, {13, 14}}, {1021, {20, 21}},
        {1004, {17, 18}}, {1003, {17, 18}}, {1002, {17, 18}},
    };
    for (const auto &[type, states] : falls) {
        const TargetableRow &r = *std::find_if(std::begin(rows), std::end(rows), [&](const TargetableRow &row) {
            return row.type == type;
        });
        ForStates(type, StatesLeadingOn(r.last), AroundEach(states, r.skipped), [&](AiObject *m, int32_t state) {
            Enter(m, state);
            ASSERT_GE(TicksUntil([&] { return m->animEnded; }, 300), 0);
            Tick();
            const bool lies = states.count(state) != 0 || r.untargetable.count(state) != 0;
            EXPECT_EQ(m->targetable, !lies);
        });
    }
}

struct TurnRow {
    int32_t type;
    int32_t last;
    std::set<int32_t> turning;
    std::set<int32_t> straight;  // heading straight for the goal: facing it at once
    std::set<int32_t> skipped;   // dying, gone and the event hold
};

// With no foe in sight a type turns toward home (here to its west) only in
// its turning states, by a step a tick, and faces it at once in the state
// in which it heads straight for its goal (1007's and 1005's rush); in
// every other state it keeps facing where it faced.
TEST_F(TypeStates, EachTypeTurnsOnlyInItsTurningStates)
{
    const TurnRow rows[] = {
        {1007, 29, {1, 3, 22, 23}, {8}, {24, 25, 29}},
        {1000, 31, {1, 3, 21}, {}, {22, 23, 24, 25, 31}},
        {1006, 31, {1, 3, 21}, {}, {22, 23, 24, 25, 31}},
        {1005, 29, {1, 3, 22}, {8}, {23, 24, 25, 26, 29}},
        {1021, 32, {1, 3, 4, 23, 27}, {}, {28, 29, 32}},
        {1004, 35, {1, 3}, {}, {27, 28, 29, 30, 35}},
        {1003, 34, {1, 3}, {}, {27, 28, 29, 30, 34}},
        {1002, 37, {1, 3, 7, 8}, {}, {28, 29, 30, 31, 37}},
    };
    NoFoeNear();
    for (const TurnRow &r : rows) {
        ForStates(r.type, StatesLeadingOn(r.last), StatesBut(r.last, r.skipped), [&](AiObject *m, int32_t state) {
            m->home = {kAt.x - 40.0f, 0.0f, kAt.z};
            m->SetPosition(kAt);
            m->SetDirection(kFacing);
            Enter(m, state);
            Tick();
            ASSERT_EQ(m->target, nullptr);
            RwV3d facing;
            m->GetDirection(&facing);
            if (r.turning.count(state) != 0) {
                EXPECT_LT(facing.x, -0.01f) << "turned west, toward home";
                EXPECT_GT(facing.x, -0.5f) << "by a step";
            } else if (r.straight.count(state) != 0) {
                EXPECT_NEAR(facing.x, -1.0f, 1e-4f);
            } else {
                EXPECT_NEAR(facing.x, 0.0f, 1e-4f);
                EXPECT_NEAR(facing.z, -1.0f, 1e-4f);
            }
        });
    }
}

struct KnockRow {
    int32_t type;
    int32_t last;
    std::set<int32_t> from;  // the states a knock takes it out of
    int32_t knockState;      // none: the type is never knocked
    float seconds;
    int32_t clearState;  // the state that forgets the knock; none: no state does
    std::set<int32_t> skipped;
};

// A knock (another character's blow that sends it reeling) takes a type out
// of its own attack states into its knock state (input 30), where it stays
// for its time before it gets ready again (input 2); in its other states
// the knock changes nothing. One state of each type forgets the knock.
// 1005 and 1021 are never knocked.
TEST_F(TypeStates, EachTypeIsKnockedOutOfItsAttacksForItsTime)
{
    const KnockRow rows[] = {
        {1000, 31, {5, 8, 10}, 30, 1.5f, 14, {22, 23, 24, 25, 30, 31}},
        {1007, 29, {5, 8}, 28, 1.0f, 17, {24, 25, 28, 29}},
        {1006, 31, {5, 8, 10}, 30, 1.2f, 15, {22, 23, 24, 25, 30, 31}},
        {1004, 35, {5, 8}, 34, 1.2f, 2, {27, 28, 29, 30, 34, 35}},
        {1003, 34, {5, 8}, 33, 1.2f, 2, {27, 28, 29, 30, 33, 34}},
        {1002, 37, {5, 8}, 36, 1.2f, 2, {28, 29, 30, 31, 36, 37}},
        {1005, 29, {}, kNone, 0.0f, kNone, {23, 24, 25, 26, 29}},
        {1021, 32, {}, kNone, 0.0f, kNone, {28, 29, 32}},
    };
    NoFoeNear();
    for (const KnockRow &r : rows) {
        // Input 30 leads to the last state, where nothing else leads.
        ForStates(r.type, StatesLeadingOn(r.last, 30, r.last), StatesBut(r.last, r.skipped),
                  [&](AiObject *m, int32_t state) {
                      Enter(m, state);
                      m->knock = true;
                      Tick();
                      EXPECT_EQ(m->state, r.from.count(state) != 0 ? r.last : state) << "knocked";
                      EXPECT_EQ(m->knock, state != r.clearState) << "the knock forgotten";
                      m->knock = false;
                  });
        if (r.knockState == kNone) {
            continue;
        }
        // The knock state gets ready again (input 2) after its time.
        ForStates(r.type, StatesLeadingOn(r.last, 2, 2), {r.knockState}, [&](AiObject *m, int32_t state) {
            Enter(m, state);
            const int ticks = TicksUntil([&] { return m->state != state; }, 400);
            EXPECT_EQ(m->state, 2);
            EXPECT_NEAR(ticks * monstertest::kDt, r.seconds, 0.05f);
        });
    }
}

// Walking (state 1), each type goes right up to a hero standing in its
// way, body touching body, where its full move stops it: not a step short.
TEST_F(TypeStates, EachTypeWalksRightUpToAHeroInItsWay)
{
    const std::pair<int32_t, int32_t> types[] = {{1007, 29}, {1000, 31}, {1006, 31}, {1005, 29},
                                                 {1021, 32}, {1004, 35}, {1003, 34}, {1002, 37}};
    NoFoeNear();
    const RwV3d heroAt = *hero.GetPositionPtr();
    for (const auto &[type, last] : types) {
        gametest::FsfBuilder machine;
        for (int32_t s = 0; s <= last; ++s) {
            machine.State(s);
            if (s == 1) {
                machine.Speed(30.0f);  // half a unit a tick
            }
        }
        ForStates(type, machine.Build(), {1}, [&](AiObject *m, int32_t state) {
            const float reach = monster::ParamsOf(m).radius + hero.Params()->radius;
            // A quarter of a step over whole steps from the touch.
            m->SetPosition({heroAt.x, heroAt.y, heroAt.z + reach + 20.25f});
            m->SetDirection(kFacing);
            m->home = {heroAt.x, heroAt.y, heroAt.z - 100.0f};
            Enter(m, state);
            Ticks(90);
            EXPECT_EQ(m->state, state);
            const RwV3d &at = *m->GetPositionPtr();
            EXPECT_NEAR(at.z - heroAt.z, reach, 0.01f);
            EXPECT_NEAR(at.x, heroAt.x, 1e-3f);
        });
    }
}

struct ShakeRow {
    int32_t type;
    int32_t last;
    std::set<int32_t> shaking;
    std::set<int32_t> skipped;  // dying, gone and the event hold
};

// Shaken (a hero's shake request) in one of its shake states, a type
// trembles about where it stood, frozen; when the shaking stops it stands
// again exactly there and moves on, and so each time it is shaken. In its
// other states a shake does nothing. 1005 and 1021 are never shaken.
TEST_F(TypeStates, EachTypeTremblesInItsShakeStatesAndStandsAgainWhereItWas)
{
    const ShakeRow rows[] = {
        {1007, 29, {14, 15, 16}, {24, 25, 29}},         {1000, 31, {11, 12, 13}, {22, 23, 24, 25, 31}},
        {1006, 31, {11, 12, 13}, {22, 23, 24, 25, 31}}, {1004, 35, {16, 17, 18}, {27, 28, 29, 30, 35}},
        {1003, 34, {16, 17, 18}, {27, 28, 29, 30, 34}}, {1002, 37, {16, 17, 18}, {28, 29, 30, 31, 37}},
        {1005, 29, {}, {23, 24, 25, 26, 29}},           {1021, 32, {}, {28, 29, 32}},
    };
    NoFoeNear();
    for (const ShakeRow &r : rows) {
        const std::set<int32_t> &around = r.shaking.empty() ? std::set<int32_t>{11, 14, 17} : r.shaking;
        ForStates(r.type, StatesLeadingOn(r.last), AroundEach(around, r.skipped), [&](AiObject *m, int32_t state) {
            m->SetPosition(kAt);
            Enter(m, state);
            m->shakeRequest = true;
            bool trembled = false;
            for (int i = 0; i < 6; ++i) {
                Tick();
                const RwV3d &at = *m->GetPositionPtr();
                trembled = trembled || std::fabs(at.x - kAt.x) + std::fabs(at.z - kAt.z) > 1e-3f;
                EXPECT_LT(std::fabs(at.x - kAt.x) + std::fabs(at.y - kAt.y) + std::fabs(at.z - kAt.z), 3.0f);
            }
            const bool shakes = r.shaking.count(state) != 0;
            EXPECT_EQ(trembled, shakes);
            EXPECT_EQ(m->frozen, shakes);
            m->shakeRequest = false;
            Tick();
            EXPECT_FALSE(m->frozen);
            const RwV3d &at = *m->GetPositionPtr();
            EXPECT_NEAR(at.x, kAt.x, 1e-4f);
            EXPECT_NEAR(at.z, kAt.z, 1e-4f);
            if (shakes) {  // shaken again elsewhere, it stands again there
                const RwV3d elsewhere = {kAt.x + 5.0f, kAt.y, kAt.z};
                m->SetPosition(elsewhere);
                m->shakeRequest = true;
                Ticks(6);
                m->shakeRequest = false;
                Tick();
                EXPECT_NEAR(m->GetPositionPtr()->x, elsewhere.x, 1e-4f);
                EXPECT_NEAR(m->GetPositionPtr()->z, elsewhere.z, 1e-4f);
            }
        });
    }
}

struct BumpRow {
    int32_t type;
    int32_t last;
    std::set<int32_t> bumping;
    std::set<int32_t> skipped;  // dying and gone
};

// Flying down (knocked through the air), a type breaks a crate its body
// runs into; in the states around those a crate it touches stays whole.
TEST_F(TypeStates, EachTypeBreaksACrateItFliesInto)
{
    constexpr int32_t kCrate = 10002;
    constexpr int32_t kCrateBreaks = 6500110;
    const BumpRow rows[] = {
        {1007, 29, {15, 16}, {24, 25}},         {1000, 31, {12, 13}, {22, 23, 24, 25}},
        {1006, 31, {12, 13}, {22, 23, 24, 25}}, {1005, 29, {13, 14}, {23, 24, 25, 26}},
        {1021, 32, {20, 21}, {28, 29}},         {1004, 35, {17, 18}, {27, 28, 29, 30}},
        {1003, 34, {17, 18}, {27, 28, 29, 30}}, {1002, 37, {17, 18}, {28, 29, 30, 31}},
    };
    NoFoeNear();
    for (const BumpRow &r : rows) {
        ForStates(r.type, StatesLeadingOn(r.last), AroundEach(r.bumping, r.skipped), [&](AiObject *m, int32_t state) {
            m->SetPosition(kAt);
            AiObject *crate = Place(kCrate, {kAt.x, 0.0f, kAt.z - 4.0f});
            ASSERT_NE(crate, nullptr);
            Ticks(2);
            const uint32_t from = tick;
            Enter(m, state);
            Ticks(4);
            Enter(m, 0);  // on its feet again
            Ticks(12);
            EXPECT_EQ(SoundQueued(kCrateBreaks, from), r.bumping.count(state) != 0);
            crate->removed = true;
            crate->SetModelInstance(nullptr);
        });
    }
}

struct EndRow {
    int32_t type;
    int32_t last;
    std::set<int32_t> dying;
    std::set<int32_t> gone;
};

// In each of its dying states a type counts its killer's kill and fades
// out; in each of its gone states it leaves play, its model given back. No
// other state does either.
TEST_F(TypeStates, EachTypeDiesAndGoesInItsOwnStates)
{
    const EndRow rows[] = {
        {1007, 29, {24}, {25}},         {1000, 31, {22, 23}, {24, 25}}, {1006, 31, {22, 23}, {24, 25}},
        {1005, 29, {23, 24}, {25, 26}}, {1021, 32, {28}, {29}},         {1004, 35, {27, 28}, {29, 30}},
        {1003, 34, {27, 28}, {29, 30}}, {1002, 37, {28, 29}, {30, 31}},
    };
    NoFoeNear();
    for (const EndRow &r : rows) {
        ForStates(r.type, StatesLeadingOn(r.last), StatesBut(r.last, {}), [&](AiObject *m, int32_t state) {
            const bool dying = r.dying.count(state) != 0;
            const bool gone = r.gone.count(state) != 0;
            Tick();
            m->lastAttacker = &hero;
            const int32_t kills = hero.killCount;
            Enter(m, state);
            Tick();
            EXPECT_EQ(hero.killCount - kills, dying ? 1 : 0);
            EXPECT_EQ(m->deathTint, dying);
            EXPECT_EQ(m->removed, gone);
            EXPECT_EQ(m->model == nullptr, gone);
            m->removed = m->removed || dying;  // a fresh one for the rest
        });
    }
}

// Gone, a type stays in its gone state: a machine that would lead it on
// from there on the death input (which its lost life feeds on that act)
// takes it nowhere once it has left play. The fighter character too.
TEST_F(TypeStates, AGoneTypeStaysInItsGoneStateWhateverItsMachineSays)
{
    const EndRow rows[] = {
        {1007, 29, {}, {25}},     {1000, 31, {}, {24, 25}}, {1006, 31, {}, {24, 25}}, {1005, 29, {}, {25, 26}},
        {1021, 32, {}, {29}},     {1004, 35, {}, {29, 30}}, {1003, 34, {}, {29, 30}}, {1002, 37, {}, {30, 31}},
        {10, 38, {}, {30, 31, 32, 33}},
    };
    NoFoeNear();
    for (const EndRow &r : rows) {
        const CFSF machine = StatesLeadingOn(r.last, monster::kInputDeath, 0);
        ForStates(r.type, machine, {r.gone.begin(), r.gone.end()}, [&](AiObject *m, int32_t state) {
            Tick();
            m->hp = 0;
            Enter(m, state);
            Tick();
            EXPECT_TRUE(m->removed);
            EXPECT_EQ(m->state, state);
        });
    }
}

// In its dying state 1021 feeds the idle input on every act, so a machine
// that leads on from there on that input takes it at once; the others
// feed it nothing there and stay dying.
TEST_F(TypeStates, Only1021FeedsTheIdleInputWhileDying)
{
    const EndRow rows[] = {
        {1021, 32, {28}, {}}, {1007, 29, {24}, {}}, {1000, 31, {22}, {}}, {1005, 29, {23}, {}}, {1004, 35, {27}, {}},
    };
    PutHero({kAt.x, 0.0f, kAt.z - 20.0f});  // a foe in sight: no walk home feeds it
    for (const EndRow &r : rows) {
        const CFSF machine = StatesLeadingOn(r.last, monster::kInputIdle, r.last);
        ForStates(r.type, machine, {r.dying.begin(), r.dying.end()}, [&](AiObject *m, int32_t state) {
            Ticks(2);
            Enter(m, state);
            Tick();
            EXPECT_EQ(m->state, r.type == 1021 ? r.last : state);
        });
    }
}

// An item thrown anywhere in the stage makes every type but 1005 walk away
// from it.
TEST_F(TypeStates, EveryTypeButOneFleesAThrownItem)
{
    const struct {
        int32_t type;
        bool flees;
    } rows[] = {{1007, true}, {1000, true}, {1006, true}, {1005, false},
                {1021, true}, {1004, true}, {1003, true}, {1002, true}};
    NoFoeNear();
    for (const auto &r : rows) {
        ForStates(r.type, StatesLeadingOn(29), {0}, [&](AiObject *m, int32_t) {
            Tick();
            const float thrownFrom[3] = {kAt.x, 0.0f, kAt.z - 20.0f};
            thrownItems.Throw(5300000, thrownFrom);
            Tick();
            EXPECT_EQ(m->fleeActive, r.flees);
            Ticks(200);  // the flight is over and the item gone
        });
    }
}

// The two types with a guard and a counter, by their own numbers.
struct GuardRow {
    int32_t type;
    int32_t guard;
    int32_t guardSound;
    bool holdsAgainstKnockDown;  // a knock-down blow leaves it guarding
    int32_t hurt;                // the state it strikes back from
    float counterFrame;
    bool counterWaits;  // for a foe it targets, not in its state 5, and for itself to be free
};
const GuardRow kGuardRows[] = {{1007, 23, 6300210, true, 14, 1620.0f, true},
                               {1021, 27, 6300220, false, 19, 1820.0f, false}};

// Hurt (1007 in 14, 1021 in 19), a type strikes back (input 17) once its
// hurt motion reaches its counter's frame (1620, 1820), when its draw is
// below 15. 1007 strikes back only at a foe it targets, not while knocked
// or held by a hero, nor at a foe in its state 5; 1021 strikes back
// regardless. Another draw, or another state, never strikes back.
TEST_F(TypeStates, AHurtMonsterStrikesBackAtItsFrameOnALowDraw)
{
    enum class Case { kFoe, kHighDraw, kAlone, kKnocked, kHeld, kFoeInState5 };
    for (const GuardRow &r : kGuardRows) {
        for (Case c : {Case::kFoe, Case::kHighDraw, Case::kAlone, Case::kKnocked, Case::kHeld, Case::kFoeInState5}) {
            SCOPED_TRACE("case " + std::to_string(static_cast<int>(c)));
            PutHero({kAt.x, 0.0f, kAt.z - 30.0f}, {0.0f, 0.0f, 1.0f});
            hero.side = c == Case::kAlone ? kSideNeutral : kSideHero;
            const int32_t draw = c == Case::kHighDraw ? 15 : 14;
            const std::vector<int32_t> states = {r.hurt, r.hurt + 1};
            ForStates(r.type, StatesLeadingOn(20, 17, 17), states, [&](AiObject *m, int32_t state) {
                Ticks(2);
                Enter(m, state);
                m->stateRandom = draw;
                float frame = monster::MotionFrameOf(m);
                const int ticks = TicksUntil(
                    [&] {
                        m->knock = c == Case::kKnocked;
                        m->grabLock = c == Case::kHeld;
                        hero.state5 = c == Case::kFoeInState5;
                        frame = m->state == state ? monster::MotionFrameOf(m) : frame;
                        return m->state != state;
                    },
                    90);
                const bool strikes = state == r.hurt && c != Case::kHighDraw && (c == Case::kFoe || !r.counterWaits);
                EXPECT_EQ(m->state, strikes ? 17 : state);
                if (strikes) {
                    EXPECT_GT(ticks, 1);
                    EXPECT_NEAR(frame, r.counterFrame, 1.5f) << "the frame it struck back at";
                }
            });
        }
    }
    hero.state5 = false;
}

// Charging, 1007 (state 11) carries its charge effect and 1021 (state 17)
// throws its model effect, once per entry of the state however long it
// charges; the states either side start none.
TEST_F(TypeStates, TheChargeShowsItsEffectOncePerEntry)
{
    const struct {
        int32_t type;
        int32_t charge;
        const char *effect;
    } rows[] = {{1007, 11, "3206400"}, {1021, 17, "ModelPool"}};
    NoFoeNear();
    for (const auto &r : rows) {
        ForStates(r.type, StatesLeadingOn(20), {r.charge - 1, r.charge, r.charge + 1, r.charge},
                  [&](AiObject *m, int32_t state) {
                      m->SetPosition(kAt);
                      const int32_t started = EffectStarts(r.effect);
                      Enter(m, state);
                      Ticks(30);
                      EXPECT_EQ(EffectStarts(r.effect) - started, state == r.charge ? 1 : 0);
                  });
    }
}

// A blow on a guarding 1007 (state 23) or 1021 (27): a plain one costs no
// HP and rings the guard's own sound; a knock-down blow (bit 8) leaves
// 1007 guarding but knocks 1021 down (input 102); a heavy one (bit 64)
// breaks the guard (input 102) and costs HP, and no guard sound rings.
TEST_F(TypeStates, AGuardTakesPlainBlowsAndBreaksUnderAHeavyOne)
{
    constexpr int32_t kBroken = 20;
    PutHero({0.0f, 0.0f, 30.0f});
    for (const GuardRow &r : kGuardRows) {
        for (int32_t bits : {kAtkPlain, kAtkPlain | kAtkHurt8, kAtkPlain | kAtkHeavy}) {
            SCOPED_TRACE("blow " + std::to_string(bits));
            const bool heavy = (bits & kAtkHeavy) != 0;
            const bool breaks = heavy || ((bits & kAtkHurt8) != 0 && !r.holdsAgainstKnockDown);
            ForStates(r.type, StatesLeadingOn(r.guard, 102, kBroken), {r.guard}, [&](AiObject *m, int32_t guard) {
                Enter(m, guard);
                Tick();
                const int32_t hp = m->hp;
                const uint32_t from = tick;
                Hit(m, bits, 60);
                Ticks(3);  // delivered, read, taken
                EXPECT_EQ(m->state, breaks ? kBroken : guard);
                EXPECT_EQ(m->hp < hp, heavy);
                EXPECT_EQ(SoundQueued(r.guardSound, from), !heavy);
            });
        }
    }
}

// Knocked flying, a type lands once its flying motion passes the frame of
// its landing: the down hit shakes the ground where it lies and the
// monster stops for a moment, once per entry of the state.
TEST_F(TypeStates, EachTypeLandsAtItsFrameOncePerFlight)
{
    const struct {
        int32_t type;
        int32_t last;
        int32_t state;
        float frame;
    } rows[] = {{1000, 31, 13, 726.0f},  {1000, 31, 12, 3851.0f}, {1006, 31, 13, 726.0f},
                {1006, 31, 12, 3855.0f}, {1021, 32, 21, 1556.0f}, {1021, 32, 20, 7331.0f},
                {1004, 35, 18, 3821.0f}, {1003, 34, 18, 2818.0f}, {1002, 37, 18, 1221.0f},
                {1002, 37, 17, 3989.0f}};
    NoFoeNear();
    for (const auto &r : rows) {
        ForStates(r.type, StatesLeadingOn(r.last), {r.state}, [&](AiObject *m, int32_t state) {
            const int32_t landings = EffectStarts("DownHit");
            Enter(m, state);
            float frame = 0.0f;
            ASSERT_GE(TicksUntil(
                          [&] {
                              frame = monster::MotionFrameOf(m);
                              return EffectStarts("DownHit") > landings;
                          },
                          300),
                      0);
            EXPECT_GT(frame, r.frame);
            EXPECT_LT(frame, r.frame + 2.0f);
            EXPECT_TRUE(m->frozen);
            Ticks(60);
            EXPECT_EQ(EffectStarts("DownHit"), landings + 1);
            EXPECT_FALSE(m->frozen);
        });
    }
}

// Dying as it flies down, a grab monster breaks no crate it runs into: the
// death comes before the move, and a dying monster neither moves nor
// pushes.
TEST_F(TypeStates, AGrabMonsterDyingAsItFliesDownBreaksNoCrate)
{
    constexpr int32_t kCrate = 10002;
    constexpr int32_t kCrateBreaks = 6500110;
    NoFoeNear();
    for (const auto &[type, last] : {std::pair{1004, 35}, std::pair{1003, 34}, std::pair{1002, 37}}) {
        ForStates(type, StatesLeadingOn(last), {17, 18}, [&](AiObject *m, int32_t state) {
            m->SetPosition(kAt);
            AiObject *crate = Place(kCrate, {kAt.x, 0.0f, kAt.z - 4.0f});
            ASSERT_NE(crate, nullptr);
            Ticks(2);
            const uint32_t from = tick;
            m->hp = 0;
            Enter(m, state);
            Ticks(4);
            EXPECT_TRUE(m->dying);
            EXPECT_FALSE(SoundQueued(kCrateBreaks, from));
            crate->removed = true;
            crate->SetModelInstance(nullptr);
            m->removed = true;
        });
    }
}

}  // namespace

}  // namespace type_states_test
