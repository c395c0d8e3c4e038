// Each sample monster's and character's fight with a hero, as a player
// would follow it, against its kept log: placed with its own state machine,
// a hero far off, then close by, then striking it blow after blow, then far
// off again. The log (tests/monster/fight_logs/TYPE.log) holds, tick by
// tick, every message it sends, each blow, effect and sound, and where it
// stands, its state and its life; it was read over against the type's
// behaviour when kept. Any change to what the fight shows fails here, at
// the first line that differs: when the change is meant, write the logs
// again with RW_RECORD_FIGHT_LOGS=1 and read the differences over.
#include <gtest/gtest.h>

#include <string>

#include "app/game_rand.h"
#include "monster_scenario.h"
#include "tools/mkdata/sample_monsters.h"

namespace fight_log_test {

namespace {

using monstertest::MonsterScenario;

class MonsterFight : public MonsterScenario, public ::testing::WithParamInterface<int32_t> {};

TEST_P(MonsterFight, GoesAsItsKeptLogSays)
{
    const int32_t type = GetParam();
    game::Srand(1);
    AiObject *m = Place(type, {0.0f, 0.0f, 60.0f}, {0.0f, 0.0f, -1.0f});
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
    std::string kept = RW_TEST_SOURCE_DIR;
    kept += "/tests/monster/fight_logs/" + std::to_string(type) + ".log";
    monstertest::ExpectSameAsKeptLog(TakeFightLog(8), kept);
}

INSTANTIATE_TEST_SUITE_P(SampleTypes, MonsterFight, ::testing::ValuesIn(mkdata::SampleMonsterTypes()),
                         [](const ::testing::TestParamInfo<int32_t> &info) { return std::to_string(info.param); });

}  // namespace

}  // namespace fight_log_test
