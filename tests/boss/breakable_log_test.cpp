// Each sample breakable object's life under a hero's blows, as a player
// would follow it, against its kept log: placed before the hero, struck by
// a light blow, a hurting one, a heavy one, a burning one and ever harder
// ones, a monster's blow, an effect's and a wall breaker's, then
// walked onto. The log (tests/boss/fight_logs/TYPE.txt) holds,
// tick by tick, every message, effect, drop and sound, and the object's
// state, life and place; it was read over against the object's design when
// kept. Any change to what it shows fails here, at the first line that
// differs: when the change is meant, write the logs again with
// RW_RECORD_FIGHT_LOGS=1 and read the differences over.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/game_rand.h"
#include "boss/breakable_table.h"
#include "fight_looks.h"
#include "tests/monster/monster_scenario.h"

namespace breakable_log_test {

namespace {

std::vector<int32_t> BreakableTypes()
{
    std::vector<int32_t> types;
    for (int32_t type = kFirstBreakableType; type <= kLastBreakableType; ++type) {
        types.push_back(type);
    }
    return types;
}

class BreakableLife : public monstertest::MonsterScenario, public ::testing::WithParamInterface<int32_t> {};

TEST_P(BreakableLife, GoesAsItsKeptLogSays)
{
    const int32_t type = GetParam();
    game::Srand(1);
    AiObject *object = Place(type, {0.0f, 0.0f, 20.0f}, {0.0f, 0.0f, -1.0f});
    ASSERT_NE(object, nullptr);
    PutHero({0.0f, 0.0f, -20.0f}, {0.0f, 0.0f, 1.0f});
    const struct {
        int tick;
        int32_t bits;
        int32_t value;
    } blows[] = {{30, kAtkPlain, 10},         {60, kAtkHurt4, 20},  {90, kAtkPlain | kAtkHeavy, 40},
                 {120, kAtkBurn, 30},         {150, kAtkPlain, 200}, {180, kAtkPlain | kAtkHeavy, 5000}};
    bosstest::FightLooks looks;
    for (int t = 1; t <= 420; ++t) {
        for (const auto &blow : blows) {
            if (blow.tick == t) {
                Hit(object, blow.bits, blow.value);
            }
        }
        // What breaks the others: a monster's blow meant for a hero, a blow
        // from no one (an effect's) and a wall breaker's.
        if (t == 195) {
            stage.messagePool->Post(kMsgHitHero, nullptr, object, 0, kAtkPlain, 30);
        }
        if (t == 205) {
            stage.messagePool->Post(kMsgHitActor, nullptr, object, 0, kAtkPlain, 30);
        }
        if (t == 215) {
            Hit(object, kAtkBreakWall, 30);
        }
        if (t == 240) {
            PutHero({0.0f, 0.0f, 20.0f}, {0.0f, 0.0f, 1.0f});  // walks onto where it stood
        }
        Tick();
        looks.Note(stage, matAnims, particles);
    }
    ExpectFightAsKept("boss/fight_logs/" + std::to_string(type));
}

INSTANTIATE_TEST_SUITE_P(SampleBreakables, BreakableLife, ::testing::ValuesIn(BreakableTypes()),
                         [](const ::testing::TestParamInfo<int32_t> &info) { return std::to_string(info.param); });

}  // namespace

}  // namespace breakable_log_test
