// Checks of a hero's kill in a run's trace (see kill_checks.h).
#include "support/game/kill_checks.h"

#include <gtest/gtest.h>

#include <map>

namespace gametest {

std::vector<int32_t> ActorStates(const std::vector<TraceRecord> &trace, int64_t aiId)
{
    std::vector<int32_t> states;
    for (const TraceRecord &r : RecordsOfKind(trace, "actor")) {
        if (r.Int(0) == aiId && (states.empty() || states.back() != r.Int(2))) {
            states.push_back(static_cast<int32_t>(r.Int(2)));
        }
    }
    return states;
}

uint32_t FirstTickIn(const std::vector<TraceRecord> &trace, int64_t aiId, int64_t state)
{
    for (const TraceRecord &r : RecordsOfKind(trace, "actor")) {
        if (r.Int(0) == aiId && r.Int(2) == state) {
            return r.tick;
        }
    }
    return 0;
}

uint32_t FirstTickRemoved(const std::vector<TraceRecord> &trace, int64_t aiId)
{
    for (const TraceRecord &r : RecordsOfKind(trace, "actor")) {
        if (r.Int(0) == aiId && r.Int(7) == 1) {
            return r.tick;
        }
    }
    return 0;
}

void ExpectKillAndReward(const std::vector<TraceRecord> &trace, const KillFacts &facts)
{
    // Dying, then gone for good, with no HP left.
    const std::vector<int32_t> states = ActorStates(trace, facts.monsterAiId);
    size_t dying = 0;
    while (dying < states.size() && facts.dyingStates.count(states[dying]) == 0) {
        ++dying;
    }
    ASSERT_LT(dying, states.size()) << "the monster never died";
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(facts.goneStates.count(states.back()), 1u) << "it does not end gone";
    uint32_t goneTick = 0;
    for (const TraceRecord &r : RecordsOfKind(trace, "actor")) {
        if (r.Int(0) == facts.monsterAiId && facts.goneStates.count(static_cast<int32_t>(r.Int(2))) != 0) {
            goneTick = goneTick == 0 ? r.tick : goneTick;
            EXPECT_EQ(r.Int(3), 0) << r.tick;
        }
    }
    // The gone state pays the pieces; each that reaches the hero is a line.
    int pieces = 0;
    int64_t rewarded = 0;
    for (const TraceRecord &r : RecordsOfKind(trace, "fx")) {
        if (r.fields.size() > 1 && r.fields[0] == "start" && r.fields[1] == "3406000") {
            EXPECT_GE(r.tick + 1, goneTick);
            ++pieces;
        }
        if (r.fields.size() > 2 && r.fields[0] == "reward") {
            EXPECT_EQ(r.Int(2), facts.heroAiId);
            rewarded += r.Int(1);
        }
    }
    EXPECT_GE(pieces, 1);
    EXPECT_GT(rewarded, 0);
    EXPECT_EQ(rewarded % facts.exp, 0);  // Exp times the hit counter's multiplier
    // The hero's stage earnings rise by the reward; its money waits for the
    // stage's end; the kill is counted.
    std::map<uint32_t, TraceRecord> hero;
    for (const TraceRecord &r : RecordsOfKind(trace, "hero")) {
        if (r.Int(0) == facts.heroAiId) {
            hero[r.tick] = r;
        }
    }
    ASSERT_FALSE(hero.empty());
    const TraceRecord &first = hero.begin()->second;
    const TraceRecord &last = hero.rbegin()->second;
    EXPECT_EQ(last.Int(2) - first.Int(2), rewarded);
    EXPECT_EQ(last.Int(1), first.Int(1));
    EXPECT_EQ(last.Int(4), first.Int(4) + 1);
}

}  // namespace gametest
