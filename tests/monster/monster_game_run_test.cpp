// End to end: the game headless on the sample data under a scripted pad.
// In the arena (stage 2) the hero walks up to monster 1007, which notices
// it, chases it and strikes: the hero's HP falls. In the first stage the
// hero fights monster 1000 to its death (the events' fight script): the
// monster dies and goes, its reward pieces reach the hero's stage
// earnings, and the hero's money waits for the stage's end.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "support/game/trace_reader.h"

namespace {

// The states an actor passes through, in order, without repeats.
std::vector<int32_t> StatesOf(const std::vector<gametest::TraceRecord> &trace, int64_t aiId)
{
    std::vector<int32_t> states;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.Int(0) == aiId && (states.empty() || states.back() != r.Int(2))) {
            states.push_back(static_cast<int32_t>(r.Int(2)));
        }
    }
    return states;
}

size_t IndexOf(const std::vector<int32_t> &states, const std::set<int32_t> &wanted, size_t from = 0)
{
    for (size_t i = from; i < states.size(); ++i) {
        if (wanted.count(states[i]) != 0) {
            return i;
        }
    }
    return states.size();
}

std::vector<gametest::TraceRecord> RunGameOn(const std::string &name, const std::string &arguments)
{
    const std::string folder = apptest::ScratchFolder("monster_run_" + name);
    EXPECT_TRUE(apptest::CopySampleData(folder)) << "no sample data: build the sample-data target";
    std::string output;
    EXPECT_EQ(apptest::RunGame(folder, "--headless --mode 1 --fixed-step 16 --trace t.txt " + arguments, &output,
                               "SDL_AUDIODRIVER=dummy"),
              0)
        << output;
    std::vector<gametest::TraceRecord> trace = gametest::ReadTrace(folder + "/t.txt");
    std::filesystem::remove_all(folder);
    return trace;
}

TEST(MonsterGameRun, InTheArena1007ChasesTheHeroAndStrikesIt)
{
    const std::string script = std::string(RW_TEST_SOURCE_DIR) + "/tests/monster/scripts/walk_to_1007.txt";
    const std::vector<gametest::TraceRecord> trace = RunGameOn("arena", "--stage 2 --frames 400 --input " + script);
    // 1007 is AIID 2 of the arena: idle, then the chase, then a blow.
    const std::vector<int32_t> states = StatesOf(trace, 2);
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

TEST(MonsterGameRun, TheHeroKillsMonster1000AndEarnsItsReward)
{
    const std::string script = std::string(RW_TEST_SOURCE_DIR) + "/tests/event/scripts/kill_monster.txt";
    const std::vector<gametest::TraceRecord> trace = RunGameOn("kill", "--stage 1 --frames 700 --input " + script);
    // Monster 1000 (AIID 1) fights, dies and goes.
    const std::vector<int32_t> states = StatesOf(trace, 1);
    const size_t dying = IndexOf(states, {22, 23});
    ASSERT_LT(dying, states.size());
    const size_t gone = IndexOf(states, {24, 25}, dying);
    ASSERT_LT(gone, states.size());
    EXPECT_EQ(gone, states.size() - 1);  // it stays gone
    uint32_t goneTick = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.Int(0) == 1 && (r.Int(2) == 24 || r.Int(2) == 25) && goneTick == 0) {
            goneTick = r.tick;
            EXPECT_EQ(r.Int(3), 0);
        }
    }
    // The gone state pays the reward pieces; each piece that reaches the
    // hero (AIID 0) is an `fx reward` line.
    int pieces = 0;
    int64_t rewarded = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "fx")) {
        if (r.fields.size() > 1 && r.fields[0] == "start" && r.fields[1] == "3406000") {
            EXPECT_GE(r.tick + 1, goneTick);
            ++pieces;
        }
        if (r.fields.size() > 2 && r.fields[0] == "reward") {
            EXPECT_EQ(r.Int(2), 0);
            rewarded += r.Int(1);
        }
    }
    EXPECT_GE(pieces, 1);
    // Its Exp (30) times the hero's hit-counter multiplier.
    EXPECT_GT(rewarded, 0);
    EXPECT_EQ(rewarded % 30, 0);
    // The hero's stage earnings (the word beside its money) rise by the
    // reward; its money waits for the stage's end; the kill is counted.
    std::map<uint32_t, const gametest::TraceRecord *> heroAt;
    const std::vector<gametest::TraceRecord> heroes = gametest::RecordsOfKind(trace, "hero");
    for (const gametest::TraceRecord &r : heroes) {
        if (r.Int(0) == 0) {
            heroAt[r.tick] = &r;
        }
    }
    ASSERT_FALSE(heroAt.empty());
    const gametest::TraceRecord &start = *heroAt.begin()->second;
    const gametest::TraceRecord &end = *heroAt.rbegin()->second;
    EXPECT_EQ(end.Int(2) - start.Int(2), rewarded);
    EXPECT_EQ(end.Int(1), start.Int(1));
    EXPECT_EQ(end.Int(4), start.Int(4) + 1);
}

}  // namespace
