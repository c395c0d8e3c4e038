// End to end: the game headless on the sample data under a scripted pad.
// In stage 3 the hero fights boss 1100 until it dies: the trace shows the
// boss's states, its HP falling, its dying and gone states, the drop and
// the hero's experience and kill count rising. In stage 4 boss 1102 turns
// to the hero and throws at it.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/game/game_run.h"
#include "support/game/kill_checks.h"
#include "support/game/trace_reader.h"
#include "tools/mkdata/sample_bosses.h"

namespace {

std::string Script(const std::string &name) { return std::string(RW_TEST_SOURCE_DIR) + "/tests/boss/scripts/" + name; }

// The boss is the stage's only placement, AIID 1; the hero is AIID 0.
constexpr int64_t kBoss = 1;
constexpr int64_t kHero = 0;

TEST(BossGameRun, InStageThreeTheHeroFightsBoss1100UntilItIsGone)
{
    const std::vector<gametest::TraceRecord> trace =
        gametest::RunSampleGame("boss_1100", "--stage 3 --frames 500 --input " + Script("fight_1100.txt"));
    // Its states: idle, walking, its attack; dying 3, then gone 4 for good.
    const std::vector<int32_t> states = gametest::ActorStates(trace, kBoss);
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states.front(), 0);
    const std::set<int32_t> seen(states.begin(), states.end());
    EXPECT_TRUE(seen.count(1) != 0 && seen.count(2) != 0);
    ASSERT_GE(states.size(), 2u);
    EXPECT_EQ(states[states.size() - 2], 3);
    EXPECT_EQ(states.back(), 4);
    // Its HP falls hit by hit to 0; the gone state comes after the dying one.
    int64_t lastHp = -1;
    int falls = 0;
    uint32_t dyingTick = 0;
    uint32_t goneTick = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.Int(0) != kBoss) {
            continue;
        }
        EXPECT_EQ(r.Int(1), 1100);
        if (lastHp >= 0 && r.Int(3) < lastHp) {
            ++falls;
        }
        EXPECT_LE(r.Int(3), lastHp < 0 ? r.Int(3) : lastHp);
        lastHp = r.Int(3);
        dyingTick = dyingTick == 0 && r.Int(2) == 3 ? r.tick : dyingTick;
        goneTick = goneTick == 0 && r.Int(2) == 4 ? r.tick : goneTick;
    }
    EXPECT_GE(falls, 2);  // hit by hit
    EXPECT_EQ(lastHp, 0);
    ASSERT_GT(dyingTick, 0u);
    ASSERT_GT(goneTick, dyingTick);
    // The drop (its drop map always gives one) on the frame after the gone
    // state began, once.
    int drops = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "fx")) {
        if (!r.fields.empty() && r.fields[0] == "drop") {
            EXPECT_GE(r.tick, goneTick);
            EXPECT_LE(r.tick, goneTick + 1);
            ++drops;
        }
    }
    EXPECT_EQ(drops, 1);
    // The hero's experience rises by the boss's Exp and its kill count by
    // one, when the boss goes.
    const std::vector<gametest::TraceRecord> heroes = gametest::RecordsOfKind(trace, "hero");
    ASSERT_FALSE(heroes.empty());
    const gametest::TraceRecord &first = heroes.front();
    const gametest::TraceRecord &last = heroes.back();
    EXPECT_EQ(last.Int(3) - first.Int(3), mkdata::SampleBossParams(1100).exp);
    EXPECT_EQ(last.Int(4) - first.Int(4), 1);
    for (const gametest::TraceRecord &r : heroes) {
        if (r.tick < goneTick) {
            EXPECT_EQ(r.Int(3), first.Int(3));
        }
    }
}

TEST(BossGameRun, InStageFourBoss1102TurnsToTheHeroAndThrows)
{
    const std::vector<gametest::TraceRecord> trace =
        gametest::RunSampleGame("boss_1102", "--stage 4 --frames 300 --input " + Script("walk_to_1102.txt"));
    // It looks across the yard: the hero in its alarm circle, it turns
    // (state 2, over several ticks) and then throws (state 3).
    std::vector<std::pair<uint32_t, int64_t>> states;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.Int(0) == kBoss && (states.empty() || states.back().second != r.Int(2))) {
            states.emplace_back(r.tick, r.Int(2));
        }
    }
    size_t turn = 0;
    while (turn < states.size() && states[turn].second != 2) {
        ++turn;
    }
    ASSERT_LT(turn + 1, states.size());
    EXPECT_EQ(states[turn + 1].second, 3);
    EXPECT_GE(states[turn + 1].first - states[turn].first, 5u);  // a quarter turn takes time
    // Its projectiles start at the throw's frame, and land on the hero.
    int throws = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "fx")) {
        if (r.fields.size() > 1 && r.fields[0] == "start" && r.fields[1] == "Boss1102Shot") {
            EXPECT_GT(r.tick, states[turn + 1].first);
            ++throws;
        }
    }
    EXPECT_GE(throws, 1);
    int landed = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "msg")) {
        landed += r.Int(0) == 2 && r.Int(1) == -1 && r.Int(2) == kHero;
    }
    EXPECT_GE(landed, 1);
}

}  // namespace
