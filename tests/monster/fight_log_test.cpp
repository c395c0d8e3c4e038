// Each sample monster's fight with a hero (and that of the characters that
// act on their own), as a player would follow it, against its kept log:
// placed with its own state machine, a hero far off, then close by, then
// striking it blow after blow, then far off again; two of a kind against a
// hero walking round them; blows of every kind, a guard and a grab; a
// second player's hero taking turns with the first; a walk home with no
// foe found; and, for every sample type, an event's show, hold and
// release, a thrown item and the drops.
// The logs (tests/monster/fight_logs/) hold, tick by tick, every message
// sent, each blow, effect, drop and sound, where each actor stands, its
// state and its life, and each change of its flags (hurtable, targetable,
// down, held, its model ...), target and status; they were read over
// against each type's behaviour when kept. Any change to what a fight
// shows fails here, at the first line that differs: when the change is
// meant, write the logs again with RW_RECORD_FIGHT_LOGS=1 and read the
// differences over.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/game_rand.h"
#include "monster_scenario.h"
#include "tools/mkdata/item_data.h"
#include "tools/mkdata/sample_monsters.h"

namespace fight_log_test {

namespace {

using monstertest::MonsterScenario;

// The monsters, and the characters that act on their own (10 fights, 112
// comes and goes); the others stand until spoken to.
std::vector<int32_t> TypesThatAct()
{
    std::vector<int32_t> types;
    for (int32_t type : mkdata::SampleMonsterTypes()) {
        if (type >= 1000 || type == 10 || type == 112) {
            types.push_back(type);
        }
    }
    return types;
}

class MonsterFight : public MonsterScenario, public ::testing::WithParamInterface<int32_t> {
protected:
    void SetUp() override
    {
        MonsterScenario::SetUp();
        logFlags = true;  // what each actor shows of itself is in the logs too
    }
    // The monster of the type under test 60 units ahead of the arena's
    // middle, facing it, with the game's draws seeded with `seed`.
    AiObject *PlaceFighter(uint32_t seed)
    {
        game::Srand(seed);
        return Place(GetParam(), {0.0f, 0.0f, 60.0f}, {0.0f, 0.0f, -1.0f});
    }
    // The fight against the type's kept log whose name ends in `suffix`.
    void ExpectAsKept(const std::string &suffix)
    {
        ExpectFightAsKept("monster/fight_logs/" + std::to_string(GetParam()) + suffix);
    }
};

TEST_P(MonsterFight, GoesAsItsKeptLogSays)
{
    AiObject *m = PlaceFighter(1);
    ASSERT_NE(m, nullptr);
    PutHero({0.0f, 0.0f, -60.0f});
    for (int t = 1; t <= 900; ++t) {
        if (t == 120) {
            PutHero({0.0f, 0.0f, 20.0f});  // within reach
        }
        if (t >= 300 && t < 600 && t % 25 == 0) {
            // Blows, a heavier one among them, and at last one no one stands.
            Hit(m, t == 450 ? kAtkHurt4 : kAtkPlain, t == 575 ? 5000 : 30);
        }
        if (t == 600) {
            PutHero({0.0f, 0.0f, -300.0f});  // gone far off
        }
        Tick();
    }
    ExpectAsKept("");
}

// Two of a kind side by side, the hero walking round them both and striking
// each in turn, then standing still between them.
TEST_P(MonsterFight, TwoOfAKindAgainstACirclingHeroGoAsTheirKeptLogSays)
{
    const int32_t type = GetParam();
    game::Srand(7);
    AiObject *left = Place(type, {-25.0f, 0.0f, 60.0f}, {0.0f, 0.0f, -1.0f});
    AiObject *right = Place(type, {25.0f, 0.0f, 60.0f}, {1.0f, 0.0f, 0.0f});
    ASSERT_NE(left, nullptr);
    ASSERT_NE(right, nullptr);
    const RwV3d centre = {0.0f, 0.0f, 60.0f};
    for (int t = 1; t <= 900; ++t) {
        if (t <= 600) {
            // Once round in ten seconds, 45 from the middle, facing the way it walks.
            const float a = static_cast<float>(t) * 6.2831853f / 600.0f;
            const float c = std::cos(a);
            const float s = std::sin(a);
            PutHero({centre.x + 45.0f * s, 0.0f, centre.z - 45.0f * c}, {c, 0.0f, s});
        } else if (t == 601) {
            PutHero({0.0f, 0.0f, 45.0f}, {0.0f, 0.0f, 1.0f});
        }
        if (t % 40 == 0 && t < 800) {
            Hit((t / 40) % 2 == 0 ? left : right, t % 200 == 0 ? kAtkHurt2 : kAtkPlain, 35);
        }
        Tick();
    }
    ExpectAsKept("-pair");
}

// Blows of every kind in turn, a hero that guards, strikes from behind,
// seizes and lets go, and a last blow with the status-16 mark that no one
// stands.
TEST_P(MonsterFight, EveryKindOfBlowGoesAsItsKeptLogSays)
{
    AiObject *m = PlaceFighter(3);
    ASSERT_NE(m, nullptr);
    PutHero({0.0f, 0.0f, 20.0f});
    const struct {
        int t;
        int32_t bits;
        int32_t value;
    } blows[] = {
        {60, kAtkPlain | kAtkHurt2, 30},  {130, kAtkPlain | kAtkHurt8, 30}, {220, kAtkPlain | kAtkHurt4, 30},
        {280, kAtkHeavy, 30},             {340, kAtkPlain | kAtkBurn, 10},  {440, kAtkPlain | kAtkPoison, 10},
        {520, kAtkPlain, 30},             {560, kAtkGrab, 0},               {580, kAtkHeldDamage, 30},
        {600, kAtkHeldDamage, 30},        {620, kAtkGrabEnd, 0},            {660, kAtkReleaseHeld, 0},
        {760, kAtkPlain | kAtkStatus16, 5000},
    };
    for (int t = 1; t <= 900; ++t) {
        if (t == 500) {
            PutHero({0.0f, 0.0f, 100.0f}, {0.0f, 0.0f, -1.0f});  // behind it
        }
        if (t == 680) {
            PutHero({0.0f, 0.0f, 25.0f});  // in front again, guarding
            hero.guarding = true;
        }
        if (t == 740) {
            hero.guarding = false;
        }
        for (const auto &blow : blows) {
            if (blow.t == t) {
                Hit(m, blow.bits, blow.value);
            }
        }
        Tick();
    }
    ExpectAsKept("-blows");
}

// The second player's hero comes and goes: it stands near and strikes while
// the first is far off, then the first comes near and the second goes, then
// both stand by it, the second striking, until the first leaves the stage.
TEST_P(MonsterFight, ASecondHeroTakingTurnsGoesAsItsKeptLogSays)
{
    AiObject *m = PlaceFighter(5);
    ASSERT_NE(m, nullptr);
    PutHero({0.0f, 0.0f, -300.0f});
    ASSERT_TRUE(BringSecondHero({0.0f, 0.0f, 20.0f}));
    for (int t = 1; t <= 900; ++t) {
        if (t == 300) {
            PutHero({30.0f, 0.0f, 30.0f}, {-0.6f, 0.0f, 0.8f});
            secondHero.SetPosition({0.0f, 0.0f, -300.0f});
        }
        if (t == 480) {
            secondHero.SetPosition({-30.0f, 0.0f, 30.0f});
        }
        if (t == 720) {
            hero.removed = true;
        }
        if (t == 150 || t == 240 || t == 540 || t == 630) {
            Hit(m, t == 630 ? kAtkPlain | kAtkHurt4 : kAtkPlain, 20, &secondHero);
        }
        if (t == 400) {
            Hit(m, kAtkPlain, 20);
        }
        Tick();
    }
    hero.removed = false;
    ExpectAsKept("-two-heroes");
}

INSTANTIATE_TEST_SUITE_P(SampleTypes, MonsterFight, ::testing::ValuesIn(TypesThatAct()),
                         [](const ::testing::TestParamInfo<int32_t> &info) { return std::to_string(info.param); });

// Away from home with no foe ever found: carried 40 units off, it walks
// home and stands; knocked there, it walks again; an item thrown beside it
// sends the types that flee off and home again; at last the hero comes
// near and it fights.
TEST_P(MonsterFight, AWalkHomeWithoutAFoeGoesAsItsKeptLogSays)
{
    AiObject *m = PlaceFighter(13);
    ASSERT_NE(m, nullptr);
    PutHero({0.0f, 0.0f, -300.0f});
    m->SetPosition({30.0f, 0.0f, 30.0f});
    m->SyncFrameAxes();
    const float thrownFrom[3] = {0.0f, 0.0f, 50.0f};
    for (int t = 1; t <= 900; ++t) {
        if (t == 300) {
            m->knock = true;  // as a hero's blow leaves it
        }
        if (t == 420) {
            m->knock = false;
        }
        if (t == 480) {
            thrownItems.Throw(5300000, thrownFrom);
        }
        if (t == 720) {
            PutHero({0.0f, 0.0f, 30.0f});
        }
        Tick();
    }
    ExpectAsKept("-home");
}

// Every sample type, the characters that stand until spoken to among them.
class EventFight : public MonsterFight {};

// An event's codes on two of a kind of the first event group, one placed in
// view and one that only its event shows: knocked, then another group's
// show holds them,
// the release lets them go, their own group's show gives them the event's
// model while the hero goes far off and comes back; an item thrown near
// them; the first is told which drop to leave and both are struck down,
// the second leaving what its drop map gives.
TEST_P(EventFight, ShowHoldReleaseAndDropsGoAsItsKeptLogSays)
{
    constexpr int32_t kGroup = 1;  // the first group: a group of 0 is none
    game::Srand(11);
    AiObject *seen = Place(GetParam(), {0.0f, 0.0f, 60.0f}, {0.0f, 0.0f, -1.0f}, kGroup);
    AiObject *hidden = Place(GetParam(), {40.0f, 0.0f, 60.0f}, {0.0f, 0.0f, -1.0f}, kGroup, 0);
    ASSERT_NE(seen, nullptr);
    ASSERT_NE(hidden, nullptr);
    hidden->itemType = mkdata::kSampleSureDropMap;
    PutHero({0.0f, 0.0f, 20.0f});
    const float thrownFrom[3] = {10.0f, 0.0f, 45.0f};
    const auto toBoth = [&](int32_t code, int32_t value) {
        Control(seen, code, value);
        Control(hidden, code, value);
    };
    for (int t = 1; t <= 900; ++t) {
        switch (t) {
        case 50:
            // Knocked as a hero's blow leaves them: the show's hold clears
            // the knock of the types whose rules say so.
            seen->knock = true;
            hidden->knock = true;
            break;
        case 60:
            toBoth(kCtlShowHold, kGroup + 1);  // another group's event
            break;
        case 120:
        case 300:
            toBoth(kCtlRelease, 0);
            break;
        case 180:
            toBoth(kCtlShowHold, kGroup);
            break;
        case 240:
            PutHero({0.0f, 0.0f, -300.0f});
            break;
        case 330:
            PutHero({0.0f, 0.0f, 30.0f});
            break;
        case 360:
            thrownItems.Throw(5300000, thrownFrom);
            break;
        case 480:
            Control(seen, kCtlDropOverride, 5300010);
            break;
        case 540:
            Hit(seen, kAtkPlain, 5000);
            break;
        case 600:
            Hit(hidden, kAtkPlain, 5000);
            break;
        default:
            break;
        }
        Tick();
    }
    ExpectAsKept("-event");
}

INSTANTIATE_TEST_SUITE_P(SampleTypes, EventFight, ::testing::ValuesIn(mkdata::SampleMonsterTypes()),
                         [](const ::testing::TestParamInfo<int32_t> &info) { return std::to_string(info.param); });

}  // namespace

}  // namespace fight_log_test
