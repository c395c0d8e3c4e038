// The game headless on the sample data's event stages under a scripted pad,
// checked by its trace: in stage 7 the hero walks into the water and is
// hurt only while a surge stands; in stage 5 the hero steps on the switches
// 3, 1, 4 and 2 and solves the puzzle, under the puzzle's music, or steps on
// the first and waits for the puzzle's warning and reset; in stage 17 the
// bridge is built and taken away while the move event it waits for moves
// its linked event's model; the water and the gas rest while out of
// the camera's view.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "event_test_support.h"
#include "tools/mkdata/sample_event_data.h"
#include "tools/mkdata/stage_files.h"

namespace event_hazard_game_run_test {

namespace {

using gametest::TraceRecord;

bool Is(const TraceRecord &r, const char *kind, const char *first)
{
    return r.kind == kind && !r.fields.empty() && r.fields[0] == first;
}

// The first hero's HP on each tick it changed (the actor line of AI id 0).
std::vector<std::pair<uint32_t, int>> HeroHpChanges(const std::vector<TraceRecord> &trace)
{
    std::vector<std::pair<uint32_t, int>> changes;
    int last = -1;
    for (const TraceRecord &r : trace) {
        if (r.kind == "actor" && r.fields.size() >= 4 && r.fields[0] == "0" && r.fields[1] == "0") {
            const int hp = std::stoi(r.fields[3]);
            if (hp != last) {
                changes.emplace_back(r.tick, hp);
                last = hp;
            }
        }
    }
    return changes;
}

TEST(EventHazardRun, TheWaterHurtsOnlyWhileASurgeStands)
{
    const std::vector<TraceRecord> trace = event_test::RunStageTrace("water", 7, "walk_into_water.txt", 800);
    // One sound per surge: the first on the first tick, then every 3.5 s.
    std::vector<uint32_t> surges;
    for (const TraceRecord &r : trace) {
        if (Is(r, "sfx", "6500020")) {
            surges.push_back(r.tick);
        }
    }
    ASSERT_GE(surges.size(), 4u);
    EXPECT_EQ(surges[0], 1u);
    for (size_t i = 1; i < surges.size(); ++i) {
        EXPECT_NEAR(static_cast<double>(surges[i] - surges[i - 1]), 219.0, 1.0) << "3.5 s at 16 ms a tick";
    }
    // Every hurt falls in a surge's window (1/6 s to 13/6 s into it), at
    // least half a second after the one before, and costs 40 less defence.
    const auto changes = HeroHpChanges(trace);
    ASSERT_GE(changes.size(), 5u);
    const CharacterParams hero = mkdata::SampleCharacterParams("HERO01");
    EXPECT_EQ(changes.front().second, hero.maxHP);
    uint32_t previous = 0;
    for (size_t i = 1; i < changes.size(); ++i) {
        const uint32_t tick = changes[i].first;
        bool inWindow = false;
        for (uint32_t start : surges) {
            inWindow = inWindow || (tick >= start + 10 && tick <= start + 136);
        }
        EXPECT_TRUE(inWindow) << "hurt on tick " << tick;
        EXPECT_EQ(changes[i - 1].second - changes[i].second, 40 - hero.defense) << tick;
        if (previous != 0) {
            EXPECT_GE(tick - previous, 31u) << "at most once per 0.5 s";
        }
        previous = tick;
    }
}

TEST(EventHazardRun, TheHeroSolvesTheSwitchPuzzle)
{
    const std::vector<TraceRecord> trace = event_test::RunStageTrace("puzzle", 5, "solve_puzzle.txt", 720);
    std::vector<std::string> switches;
    uint32_t solved = 0;
    bool eventMusic = false;
    bool stageMusicBack = false;
    int rightSounds = 0;
    int wrongSounds = 0;
    for (const TraceRecord &r : trace) {
        if (r.kind == "event" && r.fields.size() >= 3 && r.fields[1] == "mat_anim" && r.fields[2] == "started") {
            switches.push_back(r.fields[0]);
        }
        if (r.kind == "event" && r.fields.size() >= 3 && r.fields[0] == "79054100" && r.fields[2] == "ended") {
            solved = r.tick;
        }
        rightSounds += Is(r, "sfx", "6500660") ? 1 : 0;
        wrongSounds += Is(r, "sfx", "6500670") ? 1 : 0;
        if (r.kind == "music" && r.fields.size() >= 3 && r.fields[0] == "start") {
            eventMusic = eventMusic || (r.fields[1] == "event" && r.fields[2] == "EVT1.WAV");
            stageMusicBack = stageMusicBack || (eventMusic && r.fields[1] == "stage");
        }
    }
    EXPECT_EQ(switches, (std::vector<std::string>{"3", "1", "4", "2"}));
    EXPECT_EQ(rightSounds, 4);
    EXPECT_EQ(wrongSounds, 0);
    ASSERT_GT(solved, 0u) << "the puzzle ends solved";
    bool solvedSound = false;
    for (const TraceRecord &r : trace) {
        solvedSound = solvedSound || (Is(r, "sfx", "6500680") && r.tick == solved);
    }
    EXPECT_TRUE(solvedSound);
    EXPECT_TRUE(eventMusic) << "the puzzle's music (EVENT.BGM) plays while it runs";
    EXPECT_TRUE(stageMusicBack) << "and the stage's comes back when it is solved";
}

TEST(EventHazardRun, ThePuzzleWarnsBeforeItsLimitAndStartsAgainAtIt)
{
    // The hero stands on switch 3, the first of the sequence, and presses
    // nothing more: lit and warned (every switch flashing), then unlit.
    const std::vector<TraceRecord> trace = event_test::RunWithReferenceShots(
        "event_puzzle_limit", "event_puzzle_run",
        "--stage 5 --frames 770 " + event_test::ScriptArgument("press_one_switch.txt"),
        {{430, "puzzle_warning"}, {760, "puzzle_reset"}});
    uint32_t pressed = 0, warned = 0, reset = 0, unlit = 0;
    std::vector<std::string> flashed;
    for (const TraceRecord &r : trace) {
        if (r.kind != "event" || r.fields.size() != 4) {
            continue;
        }
        const std::string what = r.fields[0] + " " + r.fields[2] + " " + r.fields[3];
        pressed = what == "3 started 0" ? r.tick : pressed;
        warned = what == "79054100 warning 1" ? r.tick : warned;  // one switch pressed right so far
        reset = what == "79054100 reset 1" ? r.tick : reset;
        unlit = what == "3 unlit 0" ? r.tick : unlit;
        if (r.fields[2] == "flash") {
            flashed.push_back(r.fields[0] + ":" + r.fields[3]);  // the switch, lit or not
        }
    }
    ASSERT_GT(pressed, 0u);
    // The clock runs from the press: the warning 5 s before the 10 s limit,
    // the reset at it (16 ms a tick), switch 3 unlit on the next check.
    EXPECT_NEAR(static_cast<double>(warned - pressed), 5000.0 / 16.0, 1.0);
    EXPECT_NEAR(static_cast<double>(reset - pressed), 10000.0 / 16.0, 1.0);
    EXPECT_EQ(flashed, (std::vector<std::string>{"1:0", "2:0", "3:1", "4:0"}));
    EXPECT_EQ(unlit, reset + 1);
    // Not solved, and no wrong press.
    for (const TraceRecord &r : trace) {
        EXPECT_FALSE(Is(r, "sfx", "6500680") || Is(r, "sfx", "6500670")) << r.tick;
    }
}

// The ticks an event's view changed, with the view (1 in it, 0 out), and
// the ticks a sound started.
struct ViewAndSound {
    std::vector<std::pair<uint32_t, int>> views;
    std::vector<uint32_t> sounds;
};

ViewAndSound ViewsAndSounds(const std::vector<TraceRecord> &trace, int32_t event, const char *sound)
{
    ViewAndSound out;
    for (const TraceRecord &r : trace) {
        if (r.kind == "event" && r.fields.size() == 4 && r.fields[0] == std::to_string(event) && r.fields[2] == "view") {
            out.views.emplace_back(r.tick, std::stoi(r.fields[3]));
        }
        if (Is(r, "sfx", sound)) {
            out.sounds.push_back(r.tick);
        }
    }
    return out;
}

TEST(EventHazardRun, TheWaterAndTheGasRestWhileOutOfView)
{
    // The hero walks away until the stage's hazard leaves the camera's
    // view, waits, and comes back.
    for (const int32_t stage : {7, 18}) {
        SCOPED_TRACE(stage);
        const bool water = stage == 7;
        const std::vector<TraceRecord> trace = event_test::RunStageTrace(
            water ? "water_view" : "gas_view", stage, "walk_out_of_view.txt", 900);
        const ViewAndSound seen = ViewsAndSounds(trace, water ? mkdata::kSampleWater : mkdata::kSampleGasVent,
                                                 water ? "6500020" : "6500220");
        ASSERT_EQ(seen.views.size(), 3u);
        EXPECT_EQ(seen.views[0], (std::pair<uint32_t, int>{1, 1}));
        EXPECT_EQ(seen.views[1].second, 0);
        EXPECT_EQ(seen.views[2].second, 1);
        const uint32_t left = seen.views[1].first;
        const uint32_t back = seen.views[2].first;
        EXPECT_GT(back, left + 300) << "out of view for a while (the water's surges and the gas's puffs go on there)";
        // Nothing is heard while out of view; it runs again once back.
        ASSERT_FALSE(seen.sounds.empty());
        EXPECT_EQ(seen.sounds.front(), 1u);
        bool again = false;
        for (const uint32_t tick : seen.sounds) {
            EXPECT_FALSE(tick > left && tick <= back) << "heard at " << tick << " out of view";
            again = again || tick > back;
            // The water's clock runs on out of view: its surges stay 3.5 s apart.
            if (water) {
                EXPECT_EQ((tick - 1) % 219, 0u) << tick;
            }
        }
        EXPECT_TRUE(again) << "the hazard runs again in view";
    }
}

TEST(EventHazardRun, TheBridgeStandsPlankByPlankAndGoesTheSameWay)
{
    // Stage 17's bridge from the start: its 19 planks one a tenth of a
    // second apart (the first shot: 8 standing, the second: all of them),
    // then, its move event running, taken away one by one, and it ends.
    const std::vector<TraceRecord> trace = event_test::RunWithReferenceShots(
        "event_bridge", "event_bridge_run", "--stage 17 --frames 320", {{60, "bridge_building"}, {136, "bridge_whole"}});
    const std::string bridge = std::to_string(mkdata::kSampleBridge);
    std::vector<std::pair<uint32_t, int>> built, removed;
    uint32_t ended = 0;
    for (const TraceRecord &r : trace) {
        if (r.kind != "event" || r.fields.size() != 4 || r.fields[0] != bridge) {
            continue;
        }
        if (r.fields[2] == "piece") {
            built.emplace_back(r.tick, std::stoi(r.fields[3]));
        } else if (r.fields[2] == "removed") {
            removed.emplace_back(r.tick, std::stoi(r.fields[3]));
        } else if (r.fields[2] == "ended") {
            ended = r.tick;
        }
    }
    ASSERT_EQ(built.size(), 19u);
    ASSERT_EQ(removed.size(), 19u);
    // More than the interval apart: the first tick past 0.1 s at 16 ms.
    for (size_t i = 0; i < built.size(); ++i) {
        EXPECT_EQ(built[i].second, static_cast<int>(i) + 1);
        EXPECT_EQ(removed[i].second, 18 - static_cast<int>(i));
        if (i > 0) {
            EXPECT_EQ(built[i].first - built[i - 1].first, 7u);
            EXPECT_EQ(removed[i].first - removed[i - 1].first, 7u);
        }
    }
    EXPECT_GT(removed.front().first, built.back().first);
    EXPECT_EQ(ended, removed.back().first);
    // The move event it waited for was running all along (5 s): it ends
    // after the bridge, having moved its link's model, the other move
    // event's hidden crate, by exactly its displacement (its placement less
    // its start point) from the crate's placement; the crate's own event,
    // waiting for a hero in its corner, never ran.
    const std::string mover = std::to_string(mkdata::kSampleBridgeLink);
    uint32_t linkEnded = 0;
    std::vector<const TraceRecord *> moved;
    for (const TraceRecord &r : trace) {
        if (r.kind != "event" || r.fields.size() < 3) {
            continue;
        }
        if (r.fields[0] == mover && r.fields[2] == "ended") {
            linkEnded = r.tick;
        }
        if (r.fields[0] == mover && r.fields.size() == 6) {
            moved.push_back(&r);
        }
        EXPECT_NE(r.fields[0], std::to_string(mkdata::kSampleMovedCrate)) << "tick " << r.tick;
    }
    EXPECT_GT(linkEnded, ended);
    ASSERT_EQ(moved.size(), 2u);
    EXPECT_EQ(moved[0]->fields[2], "linked_from");
    EXPECT_EQ(moved[1]->fields[2], "linked_to");
    EXPECT_EQ(moved[1]->tick, linkEnded);
    EXPECT_EQ(linkEnded - moved[0]->tick, 312u) << "5 s at 16 ms a tick";
    const RwV3d start = {0.81f, 95.63f, -255.82f};
    const RwV3d &at = mkdata::kMovedCrateAt;
    const float from[3] = {at.x, at.y, at.z};
    const float to[3] = {2 * at.x - start.x, 2 * at.y - start.y, 2 * at.z - start.z};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(std::stod(moved[0]->fields[3 + i]), from[i], 0.01) << i;
        EXPECT_NEAR(std::stod(moved[1]->fields[3 + i]), to[i], 0.011) << i;
    }
}

}  // namespace

namespace {

// An actor line's AI id, state and position (x, z).
struct ActorAt {
    uint32_t tick;
    int aiId;
    int state;
    float x;
    float z;
};

std::vector<ActorAt> ActorLines(const std::vector<TraceRecord> &trace, int aiId)
{
    std::vector<ActorAt> lines;
    for (const TraceRecord &r : trace) {
        if (r.kind == "actor" && r.fields.size() >= 7 && std::stoi(r.fields[0]) == aiId) {
            lines.push_back({r.tick, aiId, std::stoi(r.fields[2]), std::stof(r.fields[4]), std::stof(r.fields[6])});
        }
    }
    return lines;
}

TEST(EventHazardRun, TheNoticeSwitchesTheTrapsOnAndJetsAndGasHurtTheHero)
{
    const std::vector<TraceRecord> trace = event_test::RunStageTrace("traps", 18, "cross_traps_and_gas.txt", 720);
    uint32_t notice = 0;
    for (const TraceRecord &r : trace) {
        if (r.kind == "event" && r.fields.size() >= 3 && r.fields[0] == "79187200" && r.fields[2] == "ended") {
            EXPECT_EQ(notice, 0u) << "the notice occurs once";
            notice = r.tick;
        }
    }
    ASSERT_NEAR(static_cast<double>(notice), 46.0, 2.0) << "as the hero crosses the band";
    // Both traps wait in state 0 until the notice, then rise.
    for (int trap : {1, 2}) {
        uint32_t rose = 0;
        for (const ActorAt &a : ActorLines(trace, trap)) {
            if (a.tick <= notice) {
                EXPECT_EQ(a.state, 0) << "trap " << trap << " on tick " << a.tick;
            } else if (rose == 0 && a.state == 1) {
                rose = a.tick;
            }
        }
        EXPECT_NEAR(static_cast<double>(rose), static_cast<double>(notice) + 2.0, 1.0) << "trap " << trap;
    }
    // The hero's HP falls by the flame trap's jets (in front of it, while
    // it fires) and by the gas (inside the vent's area, at least half a
    // second apart).
    const std::vector<ActorAt> hero = ActorLines(trace, 0);
    const std::vector<ActorAt> flame = ActorLines(trace, 1);
    auto at = [](const std::vector<ActorAt> &lines, uint32_t tick) {
        for (const ActorAt &a : lines) {
            if (a.tick == tick) {
                return a;
            }
        }
        return ActorAt{};
    };
    int jetHurts = 0;
    std::vector<uint32_t> gasHurts;
    for (const auto &[tick, hp] : HeroHpChanges(trace)) {
        if (hp == mkdata::SampleCharacterParams("HERO01").maxHP) {
            continue;
        }
        const ActorAt where = at(hero, tick - 1);
        if (where.x < 0.0f) {
            EXPECT_EQ(at(flame, tick - 1).state, 2) << "a jet hurt while the trap fires, tick " << tick;
            ++jetHurts;
        } else {
            EXPECT_GE(where.x, 20.0f) << tick;
            EXPECT_GE(where.z, 25.0f) << tick;
            gasHurts.push_back(tick);
        }
    }
    EXPECT_GE(jetHurts, 2);
    ASSERT_GE(gasHurts.size(), 3u);
    for (size_t i = 1; i < gasHurts.size(); ++i) {
        EXPECT_GE(gasHurts[i] - gasHurts[i - 1], 31u) << "at most once per 0.5 s";
    }
}

}  // namespace

}  // namespace event_hazard_game_run_test
