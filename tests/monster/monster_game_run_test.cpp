// End to end: the game headless on the sample data under a scripted pad.
// In the arena (stage 2) the hero walks up to monster 1007, which notices
// it, chases it and strikes: the hero's HP falls. (The first stage's fight,
// in which the hero kills monster 1000 and earns its reward, is the event
// suite's run, which checks the kill with gametest::ExpectKillAndReward.)
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "support/game/game_run.h"
#include "support/game/kill_checks.h"
#include "support/game/trace_reader.h"

namespace {

size_t IndexOf(const std::vector<int32_t> &states, const std::set<int32_t> &wanted, size_t from = 0)
{
    for (size_t i = from; i < states.size(); ++i) {
        if (wanted.count(states[i]) != 0) {
            return i;
        }
    }
    return states.size();
}

TEST(MonsterGameRun, InTheArena1007ChasesTheHeroAndStrikesIt)
{
    const std::string script = std::string(RW_TEST_SOURCE_DIR) + "/tests/monster/scripts/walk_to_1007.txt";
    const std::vector<gametest::TraceRecord> trace =
        gametest::RunSampleGame("monster_arena", "--stage 2 --frames 300 --input " + script);
    // 1007 is AIID 2 of the arena: idle, then the chase, then a blow.
    const std::vector<int32_t> states = gametest::ActorStates(trace, 2);
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states.front(), 0);
    const size_t chase = IndexOf(states, {1});
    ASSERT_LT(chase, states.size());
    EXPECT_LT(IndexOf(states, {5, 8, 10, 13, 17}, chase), states.size());
    // The hero (AIID 0) loses HP to the monster's kind-2 hits.
    int64_t lowest = 1 << 30;
    int64_t first = -1;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.Int(0) == 0) {
            first = first < 0 ? r.Int(3) : first;
            lowest = std::min(lowest, r.Int(3));
        }
    }
    EXPECT_LT(lowest, first);
    int blows = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "msg")) {
        blows += r.Int(0) == 2 && r.Int(1) == 2 && r.Int(2) == 0;
    }
    EXPECT_GE(blows, 1);
}

}  // namespace
