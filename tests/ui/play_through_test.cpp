// End to end: the sample game played through headless as a player plays
// it, from the title with no --stage, by the two input scripts of
// tests/ui/scripts, each on a tree of its own that links the sample data:
// - play_through_new_game.txt: a new game with hero 0; stage 1 (both
//   villagers, the door and its scene, the yard's monster, the exit); the
//   lobby's stage select to stage 2 (monster 1021, the way out) and its
//   ranking; the lobby's store (a herb bought); the boss stage 3 (boss
//   1100, the sword it leaves picked up, its door, the exit) and its
//   ranking; the lobby's status page (the sword worn);
// - play_through_from_save.txt: the title's Load of the sample tree's slot
//   6 (ten stages of the road to the final stage cleared); the hazard stage
//   33 (its guard, the traps its band switches on), the boss stage 32, stage
//   34, which makes 13 cleared stages and opens the final stage 37 (boss
//   1109); its ranking, the stage clear, a save into slot 7, back to the
//   title, the load of slot 7: the lobby shows the money and the stages
//   cleared that were saved.
// Each script runs twice at once, and the two traces are the same to the
// byte (once only under the sanitizers, where a run takes much longer).
// The first run also checksums the frames shown on every fourth tick: they
// match the kept frame logs of tests/ui/frame_logs, so that a picture
// changed anywhere on the way fails, naming the screen and the ticks.
// Screenshots of the status page with the sword worn, the traps striking
// the hero in stage 33 and the lobby of the loaded save match their
// reviewed references.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "actor/save_file.h"
#include "tests/app/app_test_support.h"
#include "tests/app/reference_image.h"
#include "tests/support/game/frame_log.h"
#include "tests/support/game/trace_reader.h"
#include "tests/ui/save_test_support.h"

namespace play_through_test {

namespace {

using gametest::TraceRecord;

#if defined(__SANITIZE_ADDRESS__)
constexpr int kRuns = 1;
#else
constexpr int kRuns = 2;
#endif

std::string ScriptPath(const std::string &name)
{
    return std::string(RW_TEST_SOURCE_DIR) + "/tests/ui/scripts/" + name;
}

std::string FileText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// One run of a script: its tree, status, output and trace.
struct PlayRun {
    std::string root;
    int status = -1;
    std::string output;
    std::string traceText;
    std::vector<TraceRecord> trace;
};

// The first record of `kind` whose fields start with `fields`, at or after
// tick `from`; null when none.
const TraceRecord *Find(const std::vector<TraceRecord> &trace, const std::string &kind,
                        const std::vector<std::string> &fields, uint32_t from = 0)
{
    for (const TraceRecord &r : trace) {
        if (r.tick >= from && r.kind == kind && r.fields.size() >= fields.size() &&
            std::equal(fields.begin(), fields.end(), r.fields.begin())) {
            return &r;
        }
    }
    return nullptr;
}

// The tick of that record; 0 when none.
uint32_t TickOf(const std::vector<TraceRecord> &trace, const std::string &kind,
                const std::vector<std::string> &fields, uint32_t from = 0)
{
    const TraceRecord *r = Find(trace, kind, fields, from);
    return r != nullptr ? r->tick : 0;
}

// The tick on which the actor of AIID `aiId` was first out of play at or
// after `from`; 0 never.
uint32_t GoneTick(const std::vector<TraceRecord> &trace, int64_t aiId, uint32_t from)
{
    for (const TraceRecord &r : trace) {
        if (r.tick >= from && r.kind == "actor" && r.Int(0) == aiId && r.Int(7) == 1) {
            return r.tick;
        }
    }
    return 0;
}

// The first hero's life on the last `actor` line before `tick`; -1 none.
int64_t HeroLifeBefore(const std::vector<TraceRecord> &trace, uint32_t tick)
{
    int64_t life = -1;
    for (const TraceRecord &r : trace) {
        if (r.tick >= tick) {
            break;
        }
        if (r.kind == "actor" && r.Int(0) == 0) {
            life = r.Int(3);
        }
    }
    return life;
}

// The "screen lobby" lines' fields after the kind word: maxHP maxPower
// money cleared seconds.
std::vector<std::vector<std::string>> LobbyFigures(const std::vector<TraceRecord> &trace)
{
    std::vector<std::vector<std::string>> lines;
    for (const TraceRecord &r : trace) {
        if (r.kind == "screen" && !r.fields.empty() && r.fields[0] == "lobby") {
            lines.emplace_back(r.fields.begin() + 1, r.fields.end());
        }
    }
    return lines;
}

// The stage numbers of the rankings, in order.
std::vector<int64_t> RankedStages(const std::vector<TraceRecord> &trace)
{
    std::vector<int64_t> stages;
    for (const TraceRecord &r : trace) {
        if (r.kind == "screen" && r.fields.size() == 9 && r.fields[0] == "rank") {
            stages.push_back(r.Int(1));
        }
    }
    return stages;
}

// The stage finished on the stage request of `number` (its exit's or its
// movie's), with its ranking after it (none for the first stage); the tick
// of the request.
uint32_t ExpectFinished(const std::vector<TraceRecord> &trace, int number, uint32_t from)
{
    const TraceRecord *request = nullptr;
    for (const TraceRecord &r : trace) {
        if (r.tick >= from && r.kind == "stage" && r.fields.size() == 5 && r.fields[0] == "request" &&
            r.fields[1] == std::to_string(number) && r.fields[4] == "taken") {
            request = &r;
            break;
        }
    }
    EXPECT_NE(request, nullptr) << "stage " << number << " was never finished";
    if (request == nullptr) {
        return 0;
    }
    if (number != 1) {
        EXPECT_GT(TickOf(trace, "screen", {"rank", std::to_string(number)}, request->tick), 0u)
            << "no ranking of stage " << number;
    }
    return request->tick;
}

class PlayThrough : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!apptest::HaveSampleData()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
    }
    void TearDown() override
    {
        if (!HasFailure()) {
            for (const PlayRun &run : runs) {
                savetest::RemoveTree(run.root);
            }
        }
    }
    // Runs the script from the title for `frames` ticks of 32 ms, kRuns times
    // at once, each on a tree of its own, with the screenshots `shots`
    // ("TICK:NAME"); the first run's trace, whose frame lines match the kept
    // frame log `name`.
    const std::vector<TraceRecord> &Play(const std::string &name, const std::string &script, uint32_t frames,
                                         const std::vector<std::string> &shots)
    {
        std::string arguments =
            "--headless --mode 1 --fixed-step 32 --screen 7 --frames " + std::to_string(frames) +
            " --input script.txt --trace game.txt";
        for (const std::string &shot : shots) {
            arguments += " --screenshot " + shot + ".bmp";
        }
        runs.resize(kRuns);
        std::vector<std::thread> threads;
        for (int i = 0; i < kRuns; ++i) {
            PlayRun &run = runs[static_cast<size_t>(i)];
            run.root = savetest::LinkedTree(name + "_" + std::to_string(i));
            std::ofstream(run.root + "/script.txt") << FileText(ScriptPath(script));
            const std::string own =
                i == 0 ? arguments + gametest::kKeptFramesOption : arguments;
            threads.emplace_back([&run, own] { run.status = apptest::RunGame(run.root, own, &run.output); });
        }
        for (std::thread &thread : threads) {
            thread.join();
        }
        for (PlayRun &run : runs) {
            EXPECT_EQ(run.status, 0) << run.output;
            run.traceText = FileText(run.root + "/game.txt");
            run.trace = gametest::ReadTrace(run.root + "/game.txt");
        }
        const std::string firstWithoutFrames = gametest::WithoutFrameLines(runs[0].traceText);
        for (size_t i = 1; i < runs.size(); ++i) {
            EXPECT_TRUE(runs[i].traceText == firstWithoutFrames) << "two runs of " << script << " went apart";
        }
        gametest::ExpectFramesAsKept(runs[0].trace, "ui/frame_logs/" + name, runs[0].root + "/game.txt");
        return runs[0].trace;
    }
    void ExpectLikeReference(const std::string &name)
    {
        SCOPED_TRACE(name);
        const std::string &root = runs[0].root;
        apptest::ExpectLikeReference(root + "/" + name + ".bmp",
                                     std::string(RW_TEST_SOURCE_DIR) + "/tests/ui/reference/" + name + ".bmp",
                                     root + "/" + name + "_difference.bmp");
    }

    std::vector<PlayRun> runs;
};

TEST_F(PlayThrough, ANewGameTalksOpensWatchesFightsAndLeavesThenBuysBeatsABossAndWearsItsSword)
{
    const std::vector<TraceRecord> &trace =
        Play("play_new_game", "play_through_new_game.txt", 3860, {"3839:play_through_sword_worn"});
    ASSERT_FALSE(trace.empty());
    // The title, the selection, the first stage's entry; then three stages
    // ended, the first into the lobby, the others through their rankings.
    EXPECT_EQ(gametest::ValuesOf(trace, "screen", "switch"),
              (std::vector<int64_t>{7, 8, 12, 13, 15, 11, 13, 15, 16, 11, 13, 15, 16, 11}));
    EXPECT_EQ(TickOf(trace, "stage", {"load", "2010000"}), TickOf(trace, "screen", {"switch", "12"}));

    // Stage 1: the farmer's talk, the trader's topics, the door, its scene,
    // the monster, the exit, in that order.
    const uint32_t farmer = TickOf(trace, "event", {"79010200", "talk", "ended"});
    const uint32_t trader = TickOf(trace, "event", {"79010300", "npc_talk", "text"});
    const uint32_t door = TickOf(trace, "event", {"79011200", "door", "ended"});
    const uint32_t scene = TickOf(trace, "event", {"79017000", "scene", "ended"});
    EXPECT_GT(farmer, 0u);
    EXPECT_GT(trader, farmer);
    EXPECT_GT(door, trader);
    EXPECT_GT(scene, door);
    EXPECT_GT(TickOf(trace, "event", {"79017000", "scene", "subtitle", "1"}), door);
    const uint32_t monster = GoneTick(trace, 1, scene);
    EXPECT_GT(monster, scene);
    const uint32_t exit1 = TickOf(trace, "event", {"79012400", "stage_exit", "started"});
    EXPECT_GT(exit1, monster);
    const uint32_t end1 = ExpectFinished(trace, 1, exit1);

    // The lobby after it: stage 1 cleared.
    const std::vector<std::vector<std::string>> lobby = LobbyFigures(trace);
    ASSERT_EQ(lobby.size(), 3u);
    EXPECT_EQ(lobby[0][3], "1");

    // Stage 2: 1021 (AIID 7) gone, then its exit.
    const uint32_t load2 = TickOf(trace, "stage", {"load", "2020000"}, end1);
    ASSERT_GT(load2, 0u);
    const uint32_t exit2 = TickOf(trace, "event", {"79021100", "stage_exit", "started"}, load2);
    EXPECT_GT(exit2, GoneTick(trace, 7, load2));
    const uint32_t end2 = ExpectFinished(trace, 2, load2);
    EXPECT_EQ(lobby[1][3], "2");

    // The store: a herb, paid from the money the lobby showed.
    const TraceRecord *herb = Find(trace, "screen", {"store", "buy", "5300000", "1"}, end2);
    ASSERT_NE(herb, nullptr);
    EXPECT_EQ(herb->Int(4), std::stoll(lobby[1][2]) - 50);

    // Stage 3: boss 1100 falls, its sword is picked up, its door opens,
    // then the exit; the ranking pays onto the money after the herb.
    const uint32_t load3 = TickOf(trace, "stage", {"load", "2030000"}, end2);
    ASSERT_GT(load3, herb->tick);
    const uint32_t boss = GoneTick(trace, 1, load3);
    ASSERT_GT(boss, 0u);
    const uint32_t sword = TickOf(trace, "pickup", {"0", "5100170"}, load3);
    EXPECT_GT(sword, boss - 20);
    const uint32_t exit3 = TickOf(trace, "event", {"79031300", "stage_exit", "started"}, load3);
    EXPECT_GT(exit3, sword);
    EXPECT_GT(exit3, TickOf(trace, "event", {"79030700", "door", "started"}, load3));
    const uint32_t end3 = ExpectFinished(trace, 3, load3);
    EXPECT_EQ(RankedStages(trace), (std::vector<int64_t>{2, 3}));
    EXPECT_EQ(lobby[2][3], "3");

    // The status page: the sword worn, the attack its own.
    EXPECT_GT(TickOf(trace, "screen", {"equip", "2", "5100170"}, end3), 0u);
    ExpectLikeReference("play_through_sword_worn");
}

TEST_F(PlayThrough, FromTheRoadSaveThroughTheHazardAndTheFinalStageToTheStageClearAndASaveThatLoads)
{
    const std::vector<TraceRecord> &trace = Play("play_from_save", "play_through_from_save.txt", 4420,
             {"525:play_through_traps", "4419:play_through_loaded_lobby"});
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(gametest::ValuesOf(trace, "screen", "switch"),
              (std::vector<int64_t>{7, 9, 12, 11, 13, 15, 16, 11, 13, 15, 16, 11, 13, 15, 16, 11, 13, 15, 16, 17,
                                    7, 9, 12, 11}));
    EXPECT_GT(TickOf(trace, "screen", {"load", "6", "taken"}), 0u);
    const std::vector<std::vector<std::string>> lobby = LobbyFigures(trace);
    ASSERT_EQ(lobby.size(), 5u);
    EXPECT_EQ(lobby[0][2], "4800");
    EXPECT_EQ(lobby[0][3], "10");

    // Stage 33: the guard gone, its door, then the traps' band; the traps
    // (AIIDs 2 and 3) strike the hero on the way to the exit.
    const uint32_t load33 = TickOf(trace, "stage", {"load", "2330000"});
    ASSERT_GT(load33, 0u);
    const uint32_t guard = GoneTick(trace, 1, load33);
    ASSERT_GT(guard, 0u);
    const uint32_t band = TickOf(trace, "event", {"79333100", "trap_notice", "started"}, load33);
    EXPECT_GT(band, TickOf(trace, "event", {"79332900", "door", "ended"}, load33));
    const uint32_t end33 = ExpectFinished(trace, 33, band);
    int trapStrikes = 0;
    for (const TraceRecord &r : trace) {
        if (r.tick > band && r.tick < end33 && r.kind == "msg" && (r.Int(1) == 2 || r.Int(1) == 3) && r.Int(2) == 0) {
            ++trapStrikes;
        }
    }
    EXPECT_GT(trapStrikes, 0);
    EXPECT_LT(HeroLifeBefore(trace, end33), HeroLifeBefore(trace, band));
    ExpectLikeReference("play_through_traps");

    // Stage 32: boss 1107 falls, its closing movie, the exit.
    const uint32_t load32 = TickOf(trace, "stage", {"load", "2320000"}, end33);
    ASSERT_GT(load32, 0u);
    const uint32_t movie32 = TickOf(trace, "event", {"79320200", "movie", "started"}, load32);
    EXPECT_GT(movie32, GoneTick(trace, 1, load32) - 20);
    const uint32_t end32 = ExpectFinished(trace, 32, movie32);

    // Stage 34 makes 13 cleared stages: the final stage is open.
    const uint32_t load34 = TickOf(trace, "stage", {"load", "2340000"}, end32);
    ASSERT_GT(load34, 0u);
    const uint32_t end34 = ExpectFinished(trace, 34, load34);
    EXPECT_EQ(lobby[3][3], "13");

    // The final stage 37: boss 1109 falls, its movie, the ranking, the stage clear.
    const uint32_t load37 = TickOf(trace, "stage", {"load", "2370000"}, end34);
    ASSERT_GT(load37, 0u);
    const uint32_t movie37 = TickOf(trace, "event", {"79370200", "movie", "started"}, load37);
    EXPECT_GT(movie37, GoneTick(trace, 1, load37) - 20);
    const uint32_t end37 = ExpectFinished(trace, 37, movie37);
    EXPECT_EQ(RankedStages(trace), (std::vector<int64_t>{33, 32, 34, 37}));
    const TraceRecord *rank37 = Find(trace, "screen", {"rank", "37"}, end37);
    ASSERT_NE(rank37, nullptr);
    EXPECT_GT(TickOf(trace, "screen", {"final"}, end37), 0u);

    // Saved into slot 7, back at the title, slot 7 loaded: the lobby shows
    // the money the ranking left and the 14 stages cleared, as the file holds.
    const uint32_t saved = TickOf(trace, "screen", {"save", "7", "written"}, end37);
    ASSERT_GT(saved, 0u);
    EXPECT_GT(TickOf(trace, "screen", {"switch", "7"}, saved), 0u);
    EXPECT_GT(TickOf(trace, "screen", {"load", "7", "taken"}, saved), 0u);
    EXPECT_EQ(lobby[4][2], rank37->fields[8]);
    EXPECT_EQ(lobby[4][3], "14");
    const std::string file = FileText(runs[0].root + "/SAVE/SAVE07.SAV");
    SaveRecord record{};
    ASSERT_TRUE(DecodeSaveRecord(reinterpret_cast<const uint8_t *>(file.data()), file.size(), &record));
    EXPECT_EQ(std::to_string(record.money), lobby[4][2]);
    EXPECT_EQ(std::count(std::begin(record.cleared), std::end(record.cleared), 1), 14);
    EXPECT_EQ(record.lastStageId, 2370000u);
    ExpectLikeReference("play_through_loaded_lobby");
}

}  // namespace

}  // namespace play_through_test
