// The sample files of monsters 1006 and 1021 and of the non-player
// characters 10, 100, 101, 107 and 112 as the maker writes them: each
// state machine reads back and routes every input its behaviour feeds, in
// the states where the behaviour feeds it; each state lies in the range
// its set-state step takes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sample_files.h"
#include "support/game/fsf_routes.h"
#include "tests/stage/stage_test_support.h"

namespace sample_character_files_test {

namespace {

using Route = gametest::FsfRoute;

struct TypeRoutes {
    int32_t aiType;
    int32_t lastState;  // the set-state step takes 0..lastState
    std::vector<Route> routes;
};

// Deaths from the states a fight passes through, into the dying states.
std::vector<Route> Deaths(int32_t dyingA, int32_t dyingB)
{
    std::vector<Route> routes;
    for (int32_t from : {0, 1, 2}) {
        routes.push_back({from, 120, false, dyingA});
        routes.push_back({from, 121, false, dyingB});
    }
    return routes;
}

std::vector<TypeRoutes> Types()
{
    std::vector<TypeRoutes> types = {
        {1006,
         31,
         {{22, 0, true, 24}, {23, 0, true, 25}, {24, 0, true, -1},  {25, 0, true, -1},  // dying into gone
          {31, 0, false, -1}, {31, 0, true, 31},                                       // the hold
          {4, 31, false, 31}, {7, 31, false, 31},                                      // poisoned into the hold
          {5, 30, false, 30}, {8, 30, false, 30}, {10, 30, false, 30}, {30, 2, false, 2},  // the knock
          {14, 106, false, 15}, {18, 107, false, 0}, {20, 104, false, 20}, {20, 105, false, 15},
          {8, 11, false, 11},  {21, 11, true, 0},  {6, 3, true, 3},    {6, 19, true, 19},
          {6, 9999, true, 0},  {2, 10, false, 5},  {0, 11, false, 21}, {2, 11, false, 21}}},
        {1021,
         32,
         {{28, 0, true, 29},  {29, 0, true, -1},  {32, 0, false, -1}, {32, 0, true, 32},  // dying, gone, hold
          {2, 11, false, 11}, {11, 13, false, 13}, {11, 0, true, 0},                     // the seize
          {13, 15, false, 15}, {13, 14, false, 14}, {13, 100, false, 14}, {13, 0, true, 13},
          {13, 120, false, 28}, {19, 17, false, 17}, {0, 16, false, 16}, {16, 0, true, 17},  // counter, charge
          {17, 0, true, 18},  {18, 0, true, 0},   {27, 102, false, 20}, {27, 18, false, 0},   // the guard
          {27, 100, false, -1}, {20, 106, false, 22}, {21, 106, false, 22}, {24, 107, false, 0},
          {26, 104, false, 26}, {26, 105, false, 22}, {2, 10, false, 10}}},
        {10,
         38,
         {{27, 0, true, 30},  {28, 0, true, 31},  {30, 0, true, -1},  {38, 0, false, -1}, {38, 0, true, 38},
          {0, 11, false, 11}, {11, 13, false, 13}, {13, 15, false, 15}, {13, 14, false, 14}, {13, 0, true, 13},
          {13, 120, false, 27}, {19, 106, false, 20}, {23, 107, false, 0}, {25, 105, false, 20},
          {26, 104, false, 26}, {0, 10, false, 10}, {2, 3, false, 3}, {1, 1, true, 10}}},
        // The event figures: shown into 1 and back (the hold family stays
        // in 1 until its event lets go; the setter then puts it in 0).
        {100, 1, {{0, 0, true, 0}, {1, 0, true, 1}, {1, 0, false, -1}}},
        {107, 11, {{0, 1, false, 1}, {1, 1, false, 0}, {1, 0, true, 1}, {0, 0, true, 0}}},
        {101, 16, {{0, 1, false, 1}, {1, 1, false, 0}, {12, 1, false, 1}, {16, 1, false, 1}, {14, 0, true, 14}}},
        {112, 6, {{0, 1, false, 1}, {1, 0, true, 2}, {2, 120, false, 5}, {0, 120, false, 5}, {5, 0, true, 6},
                  {6, 0, true, -1}}},
    };
    for (TypeRoutes &t : types) {
        if (t.aiType == 1006) {
            const std::vector<Route> d = Deaths(22, 23);
            t.routes.insert(t.routes.end(), d.begin(), d.end());
        } else if (t.aiType == 1021) {
            const std::vector<Route> d = Deaths(28, 28);
            t.routes.insert(t.routes.end(), d.begin(), d.end());
        } else if (t.aiType == 10) {
            const std::vector<Route> d = Deaths(27, 28);
            t.routes.insert(t.routes.end(), d.begin(), d.end());
        }
    }
    return types;
}

class SampleCharacterFiles : public stagetest::StageEngineTest {
protected:
    CFSF Read(int32_t aiType) { return monstertest::ReadSampleStateMachine(aiType); }
};

TEST_F(SampleCharacterFiles, EachStateMachineRoutesWhatItsBehaviourFeeds)
{
    for (const TypeRoutes &t : Types()) {
        SCOPED_TRACE(t.aiType);
        CFSF fsf = Read(t.aiType);
        ASSERT_GT(fsf.StateCount(), 0);
        for (const FsfState &state : fsf.States()) {
            EXPECT_LE(state.id, t.lastState) << state.id;
        }
        gametest::ExpectRoutes(fsf, t.routes);
    }
}

// A hurt or heavy blow is taken at once from the states of a fight.
TEST_F(SampleCharacterFiles, TheFightersTakeTheirHitsAtOnce)
{
    for (int32_t type : {1006, 1021, 10}) {
        SCOPED_TRACE(type);
        CFSF fsf = Read(type);
        for (int32_t from : {0, 1, 2}) {
            for (int32_t hit = 100; hit <= 104; ++hit) {
                fsf.SetState(from);
                EXPECT_GE(fsf.NextState(hit, 0), 0) << from << " " << hit;
            }
        }
    }
}

}  // namespace

}  // namespace sample_character_files_test
