// End to end: the game run headless on a linked tree of the sample data
// with scripted input, checked by its trace and reviewed screenshots.
// - The late-game save, loaded from the title, goes through the lobby's
//   stage select into stage 37, which is finished through the stage
//   manager's request (as its exit finishes it once boss 1109 is beaten),
//   then through the stage end, the ranking and the stage clear (movie
//   stopped, route, results, save panel) and, backing out of the panel,
//   back to the title.
// - A defeat in stage 1 goes to the game-over screen and the title; a new
//   game from there starts from the new-game hero block.
// - In the quiet stage 6, reward pieces worth 100 spawned beside the hero
//   raise only its earnings; the ranking pays money + 100 + B once.
// The frames of every fourth tick of each run match the kept frame logs
// (tests/ui/frame_logs/result_*).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/app/reference_image.h"
#include "tests/ui/save_test_support.h"
#include "tools/mkdata/sample_saves.h"

namespace result_game_run_test {

namespace {

// The records of `kind` whose first field is `first`.
std::vector<gametest::TraceRecord> Lines(const std::vector<gametest::TraceRecord> &trace, const std::string &kind,
                                         const std::string &first)
{
    std::vector<gametest::TraceRecord> lines;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == kind && !r.fields.empty() && r.fields[0] == first) {
            lines.push_back(r);
        }
    }
    return lines;
}

// The tick of the switch to `screen`; -1 when there is none.
int64_t SwitchTick(const std::vector<gametest::TraceRecord> &trace, int64_t screen)
{
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "screen" && r.fields.size() == 2 && r.fields[0] == "switch" && std::stoll(r.fields[1]) == screen) {
            return static_cast<int64_t>(r.tick);
        }
    }
    return -1;
}

// Whether the trace has the "screen" line `fields` on `tick`.
bool HasLine(const std::vector<gametest::TraceRecord> &trace, uint32_t tick, const std::vector<std::string> &fields)
{
    for (const gametest::TraceRecord &r : trace) {
        if (r.tick == tick && r.kind == "screen" && r.fields == fields) {
            return true;
        }
    }
    return false;
}

std::string FileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// One key press (down on `tick`, up on the next).
std::string Press(int tick, const char *key)
{
    return std::to_string(tick) + " key " + key + " 1\n" + std::to_string(tick + 1) + " key " + key + " 0\n";
}

class ResultGameRun : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (!HasFailure() && !root.empty()) {
            savetest::RemoveTree(root);
        }
    }
    // Runs the game on a linked tree `tree` with the arguments and script;
    // its trace, whose frame lines match the kept frame log `log`. The
    // tree's slot 2 holds the late-game save.
    std::vector<gametest::TraceRecord> Run(const std::string &tree, const std::string &arguments,
                                           const std::string &script, const std::string &log)
    {
        root = savetest::LinkedTree(tree);
        if (root.empty()) {
            return {};
        }
        EXPECT_TRUE(mkdata::WriteSaveBytes(root, "SAVE02", mkdata::SaveBytes(mkdata::LateGameSaveRecord())));
        return savetest::RunKeepingFrames(root, script, arguments, "game.txt", "result_" + log);
    }
    void ExpectShot(const std::string &name)
    {
        apptest::ExpectLikeReference(root + "/" + name + ".bmp",
                                     std::string(RW_TEST_SOURCE_DIR) + "/tests/ui/reference/" + name + ".bmp",
                                     root + "/" + name + "_difference.bmp");
    }

    std::string root;
};

TEST_F(ResultGameRun, TheLateGameSaveGoesThroughTheLobbyIntoStageThirtySevenAndTheStageClear)
{
    // The title's Load, slot 2; the lobby's stage select, down to stage 37
    // (stage 34 cleared opens it), its page, start. The stage is finished
    // at 560; the ranking's three confirms (count-up, hero, grade); the
    // stage clear's movie stopped, the route and the results confirmed,
    // back out of the save panel.
    const std::string script = Press(20, "Enter") + Press(30, "Down") + Press(40, "Enter") + Press(130, "Down") +
                               Press(150, "Enter") + Press(320, "Enter") + Press(380, "Down") + Press(430, "Enter") +
                               Press(460, "Enter") + Press(760, "Enter") + Press(770, "Enter") + Press(780, "Enter") +
                               Press(880, "Enter") + Press(1010, "Enter") + Press(1110, "Enter") + Press(1150, "X");
    const std::vector<gametest::TraceRecord> trace =
        Run("e2e_late", "--screen 7 --frames 1170 --stage-end 560 --screenshot 1000:late_route.bmp "
                        "--screenshot 1100:late_results.bmp",
            script, "late_game");
    if (root.empty()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    EXPECT_EQ(gametest::ValuesOf(trace, "screen", "switch"),
              (std::vector<int64_t>{7, 9, 12, 11, 13, 15, 16, 17, 7}));
    // Back out of the panel: the title at once.
    EXPECT_TRUE(HasLine(trace, 1150, {"switch", "7"}));
    // Stage 37 in under 120 s: T 2600, grade 1 (S 2600), B 300 onto the save's 12345.
    const std::vector<gametest::TraceRecord> rank = Lines(trace, "screen", "rank");
    ASSERT_EQ(rank.size(), 1u);
    EXPECT_EQ(rank[0].fields[1], "37");
    EXPECT_EQ(rank[0].fields[6], "1");
    EXPECT_EQ(rank[0].fields[8], "12645");
    // After the lobby's: the ranking's count-up, hero, grade (its sound,
    // no reward: leave); the stage clear's route and results; the panel's back.
    std::vector<int64_t> sounds;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "screen" && r.fields.size() == 2 && r.fields[0] == "sound" && r.tick >= 718) {
            sounds.push_back(std::stoll(r.fields[1]));
        }
    }
    EXPECT_EQ(sounds, (std::vector<int64_t>{6600060, 6600060, 6600220, 6600060, 6600060, 6600060, 6600050}));
    const std::vector<gametest::TraceRecord> movie = Lines(trace, "screen", "movie");
    ASSERT_EQ(movie.size(), 2u);  // END.BIK, stopped by the confirm
    EXPECT_EQ(movie[1].fields[1], "stop");
    EXPECT_EQ(movie[1].tick, 880u);
    // The save's 23 graded stages and stage 37: grades 0..4 by turns and 1.
    const std::vector<gametest::TraceRecord> final = Lines(trace, "screen", "final");
    ASSERT_EQ(final.size(), 1u);
    EXPECT_EQ(final[0].fields[2], "23");
    ExpectShot("late_route");
    ExpectShot("late_results");
}

TEST_F(ResultGameRun, ADefeatEndsOnTheGameOverScreenAndTheTitle)
{
    // From the title after the game over: the menu, the new game, the hero.
    const std::string script = Press(500, "Enter") + Press(530, "Enter") + Press(610, "Enter");
    const std::vector<gametest::TraceRecord> trace =
        Run("e2e_defeat", "--stage 1 --hero-life 20:0 --frames 760 --screenshot 227:game_over_run.bmp", script,
            "defeat");
    if (root.empty()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    EXPECT_EQ(gametest::ValuesOf(trace, "screen", "switch"), (std::vector<int64_t>{13, 14, 7, 8, 12, 13}));
    const int64_t gameOver = SwitchTick(trace, 14);
    const int64_t title = SwitchTick(trace, 7);
    // 3000 ms and the 1000 ms fade, nothing pressed meanwhile.
    EXPECT_GE((title - gameOver) * 16, 4000);
    EXPECT_LE((title - gameOver) * 16, 4200);
    // The new game's hero: the new-game block's money, full life.
    const int64_t again = SwitchTick(trace, 12);
    std::vector<gametest::TraceRecord> heroLines;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "hero" && static_cast<int64_t>(r.tick) > again) {
            heroLines.push_back(r);
        }
    }
    ASSERT_FALSE(heroLines.empty());
    EXPECT_EQ(heroLines.front().fields[1], "0");
    EXPECT_NE(heroLines.front().fields[5], "0");
    ExpectShot("game_over_run");
}

// The game-over picture hides the whole stage, so the stage is not drawn
// under it: its frames, from the switch to the last before the title, are
// the same to the byte as when the stage is drawn under it (--draw-hidden).
TEST_F(ResultGameRun, TheGameOverFramesOverAStageNotDrawnAreTheFramesDrawnOverIt)
{
    const int ticks[] = {221, 222, 223, 227, 300, 470, 479};
    std::string shots;
    for (int tick : ticks) {
        shots += " --screenshot " + std::to_string(tick) + ":" + std::to_string(tick) + ".bmp";
    }
    // Both runs keep the same frames.
    Run("e2e_defeat_drawn", "--stage 1 --hero-life 20:0 --frames 481 --draw-hidden" + shots, std::string(),
        "defeat_drawn_or_not");
    if (root.empty()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    const std::string drawn = root;
    const std::vector<gametest::TraceRecord> trace =
        Run("e2e_defeat_skipped", "--stage 1 --hero-life 20:0 --frames 481" + shots, std::string(),
            "defeat_drawn_or_not");
    EXPECT_EQ(SwitchTick(trace, 14), 222);
    for (int tick : ticks) {
        const std::string name = "/" + std::to_string(tick) + ".bmp";
        const std::string a = FileBytes(drawn + name);
        EXPECT_FALSE(a.empty()) << tick;
        EXPECT_TRUE(a == FileBytes(root + name)) << "the frame after tick " << tick << " differs";
    }
    if (!HasFailure()) {
        savetest::RemoveTree(drawn);
    }
}

TEST_F(ResultGameRun, RewardPiecesRaiseOnlyTheEarningsAndArePaidOnce)
{
    const std::string script = Press(300, "Enter") + Press(310, "Enter") + Press(320, "Enter");
    const std::vector<gametest::TraceRecord> trace =
        Run("e2e_money", "--stage 6 --reward 20:100 --stage-end 80 --frames 400", script, "reward_pieces");
    if (root.empty()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    // The pieces reached the hero: its earnings 100, its money untouched.
    int64_t rewarded = 0;
    for (const gametest::TraceRecord &r : Lines(trace, "fx", "reward")) {
        rewarded += std::stoll(r.fields[1]);
    }
    EXPECT_EQ(rewarded, 100);
    std::vector<gametest::TraceRecord> heroLines;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "hero") {
            heroLines.push_back(r);
        }
    }
    ASSERT_FALSE(heroLines.empty());
    EXPECT_EQ(heroLines.back().fields[1], "0");    // money
    EXPECT_EQ(heroLines.back().fields[2], "100");  // stage money
    // Stage 6 in well under 240 s: T 2600 + E 100 = 2700, grade 1, B 300:
    // money 0 + 100 + 300, once.
    const std::vector<gametest::TraceRecord> rank = Lines(trace, "screen", "rank");
    ASSERT_EQ(rank.size(), 1u);
    EXPECT_EQ(rank[0].fields, (std::vector<std::string>{"rank", "6", rank[0].fields[2], "100", "0", "2700", "1",
                                                         "300", "400"}));
    EXPECT_EQ(gametest::ValuesOf(trace, "screen", "switch"), (std::vector<int64_t>{13, 15, 16, 11}));
    EXPECT_GT(SwitchTick(trace, 11), SwitchTick(trace, 16));
}

}  // namespace

}  // namespace result_game_run_test
