// Checks of a game run's trace in which a hero kills a monster: the
// monster's states through its dying into its gone state (HP 0 there), the
// reward pieces its gone state pays, each reaching the hero as an `fx
// reward` line, the hero's stage earnings risen by their sum (a whole
// multiple of the monster's Exp), its money unchanged and its kill counted.
#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "support/game/trace_reader.h"

namespace gametest {

// The states an actor passes through in the trace, each once in a row.
std::vector<int32_t> ActorStates(const std::vector<TraceRecord> &trace, int64_t aiId);

// The first tick an actor stands in `state`, 0 when it never does.
uint32_t FirstTickIn(const std::vector<TraceRecord> &trace, int64_t aiId, int64_t state);

// The first tick an actor is out of play, 0 when it never is.
uint32_t FirstTickRemoved(const std::vector<TraceRecord> &trace, int64_t aiId);

struct KillFacts {
    int64_t monsterAiId;
    int64_t heroAiId;
    std::set<int32_t> dyingStates;
    std::set<int32_t> goneStates;
    int64_t exp;
};

void ExpectKillAndReward(const std::vector<TraceRecord> &trace, const KillFacts &facts);

}  // namespace gametest
