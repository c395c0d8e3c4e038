// End to end: every stage of the stage select's map, started with --stage
// and finished by a short scripted pad through its own end: the walk into
// its exit, the exit that its guard's or its boss's defeat opens (a door, a
// last-NPC event, a closing movie), the solved puzzle, or stage 36's
// closing scene. The trace shows the end's event, then the stage request of
// the finished stage's number, then its ranking (the first stage goes to
// the lobby, which rates nothing); the final stages go on to the stage
// clear. On the way: stage 36's timed event, ended with its result once its
// boss is gone; the boss gauge of each boss stage, bound as the boss's
// opening movie (stage 36: scene) asks, the doors and the crusher of stages
// 5, 6 and 16 heard, and stage 6's gift shown. The fights are played as a player would: blows in a rhythm and
// steps after the foe, long enough for the foe to fall.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "event/door_presets.h"
#include "event/door_rules.h"
#include "event/give_item_event.h"
#include "support/game/game_run.h"
#include "support/game/pad_script.h"
#include "support/game/trace_reader.h"
#include "tools/mkdata/sample_stage_ends.h"
#include "ui/boss_gauge.h"

namespace stage_end_game_run_test {

namespace {

using gametest::PadScript;
using gametest::TraceRecord;

std::string EventScript(const char *name)
{
    std::string path = RW_TEST_SOURCE_DIR;
    path += "/tests/event/scripts/";
    path += name;
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The runs tick 32 ms at a time: half the ticks of the game time they play.
constexpr uint32_t kStepMs = 32;

// The walk along +z into the exit's band (from the start at z = -60, 130 ticks).
std::string WalkIn() { return PadScript(kStepMs).HoldOn(1, "WD").Text(); }

// Up to the guard (z = 20), the fight, then on into the band.
std::string FightGuard()
{
    return PadScript(kStepMs).Hold(1, 40, "WD").Fight(45, 280, "WD").HoldOn(285, "WD").Text();
}

// How the hero fights a boss: two blows 0.384 s apart, then a step of 0.128
// s up the yard (W+D) after it.
constexpr PadScript::Rhythm kBossRhythm = {2, 384, 128};

// The boss's opening movie, a few steps from the start, holds the stage
// for its second (33 ticks): a boss fight's script starts after it.
constexpr uint32_t kOpening = 34;

// Up to the boss, the fight in `rhythm` stepping along `keys` until `until`,
// then on up the yard (into the band, where the exit waits for a hero); the
// lot from tick `from` (after an opening movie) on.
PadScript FightBoss(uint32_t until, PadScript::Rhythm rhythm = kBossRhythm, const std::string &keys = "WD",
                    uint32_t from = 0)
{
    PadScript script(kStepMs);
    script.Hold(1, 40 + from, "WD").Fight(42 + from, until, keys, rhythm).HoldOn(until + 2, "WD");
    return script;
}

// The final stages: then the ranking's three confirms (count-up, hero,
// grade; no reward), from `ranking` on.
std::string FightFinalBoss(uint32_t until, uint32_t ranking, uint32_t from)
{
    PadScript script = FightBoss(until, kBossRhythm, "WD", from);
    for (uint32_t tick = ranking; tick < ranking + 60; tick += 20) {
        script.Tap(tick, "Enter");
    }
    return script.Text();
}

// Stage 1: the yard's monster, then up the yard into the exit's area across
// its far end (kill_monster_and_leave.txt).
std::string FirstStage() { return PadScript(kStepMs).Lines(EventScript("kill_monster_and_leave.txt")).Text(); }

// Stage 2: west (S+D) to 1021 (1007 comes too), the fight, then on to the
// way out by the west wall.
std::string SecondStage()
{
    return PadScript(kStepMs).Hold(1, 75, "SD").Fight(80, 740, "SD").HoldOn(745, "SD").Text();
}

// Stage 5: the switches pressed as 3, 1, 4, 2 (solve_puzzle.txt, the last
// 10.7 s in), then up into the band.
std::string PuzzleStage()
{
    return PadScript(kStepMs).Lines(EventScript("solve_puzzle.txt")).HoldOn(350, "WD").Text();
}

struct StageRun {
    int32_t stage;
    std::string script;
    uint32_t frames;
    int32_t endEvent;  // the event whose run finishes the stage
    int64_t foe;       // the AIID that must be gone first; -1 none
    bool toStageClear = false;
};

void PrintTo(const StageRun &run, std::ostream *out) { *out << "stage " << run.stage; }

std::vector<StageRun> Runs()
{
    std::vector<StageRun> runs = {
        {1, FirstStage(), 560, 79012400, 1},
        {2, SecondStage(), 1000, 79021100, 7},
        {5, PuzzleStage(), 530, 79051800, -1},
        // The bosses, each gone a second or two before its fight's end.
        {3, FightBoss(760).Text(), 900, 79031300, 1},
        {4, FightBoss(560).Text(), 740, 79042000, 1},
        {8, FightBoss(720).Text(), 720, 79080800, 1},
        {15, FightBoss(1150, {2, 320, 128}).Text(), 1200, 79150600, 1},
        {22, FightBoss(634, kBossRhythm, "WD", kOpening).Text(), 634, 79220300, 1},
        // 1104 keeps its distance sideways: the hero steps up the diagonal (W).
        {27, FightBoss(800, {2, 320, 192}, "W", kOpening + 2).Text(), 840, 79270500, 1},
        {32, FightBoss(600, {2, 320, 128}, "WD", kOpening).Text(), 630, 79320300, 1},
        // Stage 36 opens with a scene of five seconds (157 ticks); its boss
        // trades places with the partners that then fight the hero too, so
        // the hero strikes three times a round.
        {36, FightBoss(990, {3, 384, 64}, "WD", 160).Text(), 1080, mkdata::kClosingScene36, 2},
        {37, FightFinalBoss(574, 589, kOpening + 10), 684, 79370300, 1, true},
        {38, FightFinalBoss(564, 615, kOpening), 710, 79380300, 1, true},
    };
    for (const mkdata::SampleStageEnd &end : mkdata::SampleStageEnds()) {
        if (end.guard) {
            // 530 ticks: in the hazard stage 33 the traps beyond the guard
            // knock the hero back on the way to the exit.
            runs.push_back({end.number, FightGuard(), 530, end.exitEvent, 1});
        } else if (end.holder == 0) {
            runs.push_back({end.number, WalkIn(), 240, end.exitEvent, -1});
        }
    }
    std::sort(runs.begin(), runs.end(), [](const StageRun &a, const StageRun &b) { return a.stage < b.stage; });
    return runs;
}

// The tick of the first record of `kind` with these leading fields; 0 when none.
uint32_t FirstTick(const std::vector<TraceRecord> &trace, const std::string &kind,
                   const std::vector<std::string> &fields)
{
    for (const TraceRecord &r : trace) {
        if (r.kind == kind && r.fields.size() >= fields.size() &&
            std::equal(fields.begin(), fields.end(), r.fields.begin())) {
            return r.tick;
        }
    }
    return 0;
}

class StageEndRun : public ::testing::TestWithParam<StageRun> {};

TEST_P(StageEndRun, AShortScriptFinishesTheStageByItsOwnEnd)
{
    const StageRun &run = GetParam();
    const std::string number = std::to_string(run.stage);
    const std::vector<TraceRecord> trace = gametest::RunLinkedSampleGame(
        "stage_end_" + number,
        "--fixed-step " + std::to_string(kStepMs) + " --stage " + number + " --frames " + std::to_string(run.frames),
        run.script);
    ASSERT_FALSE(trace.empty());
    // The stage's end runs, and on that tick the finished stage is asked for.
    const std::string end = std::to_string(run.endEvent);
    const uint32_t ended = FirstTick(trace, "event", {end});
    ASSERT_GT(ended, 0u) << "event " << end << " never ran";
    std::vector<const TraceRecord *> requests;
    for (const TraceRecord &r : trace) {
        if (r.kind == "stage" && r.fields.size() == 5 && r.fields[0] == "request" && r.tick > 0) {
            requests.push_back(&r);
        }
    }
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0]->fields[1], number);
    EXPECT_EQ(requests[0]->fields[4], "taken");
    EXPECT_GE(requests[0]->tick, ended);
    // Its guard or boss went first.
    uint32_t gone = 0;
    if (run.foe >= 0) {
        for (const TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
            if (gone == 0 && r.Int(0) == run.foe && r.Int(7) == 1) {
                gone = r.tick;
            }
        }
        ASSERT_GT(gone, 0u) << "AIID " << run.foe << " was never gone";
        EXPECT_LT(gone, ended);
    }
    // Stage 36's timed event runs from the boss's appearance and ends, with
    // the result 2 (its link's actors cleared) that the closing scene waits
    // for, once the boss is gone; the scene comes after it.
    if (run.stage == 36) {
        const std::string timer = std::to_string(mkdata::kBossTimer36);
        const uint32_t started = FirstTick(trace, "event", {timer, "timed", "started"});
        const uint32_t result = FirstTick(trace, "event", {timer, "timed", "result"});
        ASSERT_GT(started, 0u);
        ASSERT_GT(result, 0u);
        EXPECT_EQ(FirstTick(trace, "event", {timer, "timed", "result", "2"}), result);
        EXPECT_EQ(FirstTick(trace, "event", {timer, "timed", "ended"}), result);
        EXPECT_LT(started, gone);
        EXPECT_GE(result, gone);
        EXPECT_LE(result, ended);
    }
    // The boss stages' gauge binds the boss as its opening asks, before the
    // boss is gone.
    const int32_t stageId = 2000000 + run.stage * 10000;
    if (const int32_t bossType = CSBossGauge::BossTypeForStage(stageId)) {
        const uint32_t bound = FirstTick(trace, "screen", {"boss", std::to_string(bossType)});
        EXPECT_GT(bound, 0u) << "the boss gauge never bound boss " << bossType;
        EXPECT_GT(FirstTick(trace, "screen", {"gauge"}), 0u);
        EXPECT_LT(bound, ended);
    }
    // The doors beside the road are heard as they open, the crusher as it
    // comes down, and the gift shows its popup with its sound.
    if (const mkdata::SampleStageExtra *extra = mkdata::SampleStageExtraOf(run.stage)) {
        if (extra->door != 0) {
            const DoorPreset *preset = FindDoorPreset(extra->door);
            ASSERT_NE(preset, nullptr);
            const int32_t sound = DoorSoundOfKind(preset->args.soundKind);
            ASSERT_NE(sound, 0);
            const uint32_t opened = FirstTick(trace, "event", {std::to_string(extra->door), "door", "started"});
            ASSERT_GT(opened, 0u) << "door " << extra->door << " never opened";
            EXPECT_GE(FirstTick(trace, "sfx", {std::to_string(sound)}), opened) << "door sound " << sound;
        }
        if (extra->crusher != 0) {
            EXPECT_GT(FirstTick(trace, "sfx", {std::to_string(kCrusherSound)}), 0u);
        }
        if (extra->gift != 0) {
            const uint32_t given = FirstTick(trace, "screen", {"popup", std::to_string(mkdata::kSampleGiftItem)});
            EXPECT_GT(given, 0u) << "no gift popup";
            EXPECT_EQ(FirstTick(trace, "screen", {"sound", std::to_string(kGiftSound)}), given);
        }
    }
    // The stage end, then its ranking (the first stage's: the lobby).
    const uint32_t stageEnd = FirstTick(trace, "screen", {"switch", "15"});
    EXPECT_GE(stageEnd, requests[0]->tick);
    if (run.stage == 1) {
        EXPECT_GT(FirstTick(trace, "screen", {"switch", "11"}), stageEnd);
        EXPECT_EQ(FirstTick(trace, "screen", {"rank"}), 0u);
    } else {
        const uint32_t rank = FirstTick(trace, "screen", {"rank", number});
        EXPECT_GT(rank, stageEnd) << "no ranking of stage " << number;
        // The final stages: the stage clear after the ranking.
        if (run.toStageClear) {
            EXPECT_GT(FirstTick(trace, "screen", {"switch", "17"}), rank);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(StageMap, StageEndRun, ::testing::ValuesIn(Runs()),
                         [](const ::testing::TestParamInfo<StageRun> &info) {
                             return "Stage" + std::to_string(info.param.stage);
                         });

}  // namespace

}  // namespace stage_end_game_run_test
