// End to end on a tree of the test's own: a new game played through stage
// 1, saved from the lobby's save panel and loaded again from the title by
// the game run headless, the player's whole road in one run; the trace
// shows the screens, the slot written and loaded, and the lobby's figures
// before the save and after the load; a screenshot of the load screen
// matches its reviewed reference, and the frames of every fourth tick match
// the kept frame logs (tests/ui/frame_logs/game_load_*). The playable
// tree's own save (slot 1) loads the same way.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/app/reference_image.h"
#include "tests/ui/save_test_support.h"
#include "actor/save_file.h"

namespace game_load_test {

namespace {

namespace fs = std::filesystem;

// From the title: start opens the menu, down picks Load, Enter; on the
// load screen down to slot `number` and Enter.
std::string LoadScript(int number)
{
    std::string script =
        "# the title's menu: open it, down to Load, take it\n"
        "20 key Enter 1\n21 key Enter 0\n30 key Down 1\n31 key Down 0\n40 key Enter 1\n41 key Enter 0\n"
        "# the load screen\n";
    int tick = 130;
    for (int i = 1; i < number; ++i, tick += 4) {
        script += std::to_string(tick) + " key Down 1\n" + std::to_string(tick + 1) + " key Down 0\n";
    }
    script += "150 key Enter 1\n151 key Enter 0\n";
    return script;
}

class GameLoad : public savetest::SaveScreensTest {
protected:
    // Runs the game on the tree with the script and `arguments`; its trace,
    // whose frame lines match the kept frame log game_load_`name`.
    std::vector<gametest::TraceRecord> Run(const std::string &name, const std::string &script,
                                           const std::string &arguments)
    {
        return savetest::RunKeepingFrames(root, script, arguments, "game.txt", "game_load_" + name);
    }
};

TEST_F(GameLoad, AGameSavedAfterAStageIsLoadedFromTheTitleIntoTheLobby)
{
    // The player's whole road in one run: a new game's hero 0 confirmed on
    // the selection, stage 1 with 100 in reward pieces picked up, finished
    // as its exit finishes it; the lobby's save panel, slot 2; the lobby's
    // return to the title; the title's Load, slot 2, the lobby again.
    StartOn("e2e_road");
    const std::string script =
        "# the selection's hero 0\n"
        "5 key C 1\n6 key C 0\n"
        "# the lobby (its pictures in at 371): down to Save game, slot 2, back\n"
        "372 key Down 1\n373 key Down 0\n374 key Down 1\n375 key Down 0\n376 key Down 1\n377 key Down 0\n"
        "378 key C 1\n379 key C 0\n420 key Down 1\n421 key Down 0\n422 key C 1\n423 key C 0\n"
        "424 key X 1\n425 key X 0\n"
        "# the lobby's To the title, yes\n"
        "490 key Down 1\n491 key Down 0\n492 key C 1\n493 key C 0\n494 key Left 1\n495 key Left 0\n"
        "496 key C 1\n497 key C 0\n"
        "# the title's Load, slot 2\n"
        "510 key Enter 1\n511 key Enter 0\n512 key Down 1\n513 key Down 0\n514 key Enter 1\n515 key Enter 0\n"
        "590 key Down 1\n591 key Down 0\n592 key Enter 1\n593 key Enter 0\n";
    const std::vector<gametest::TraceRecord> trace =
        Run("saved_and_loaded", script,
            "--screen 8 --frames 730 --reward 145:100 --stage-end 150 --screenshot 591:load_screen.bmp");
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(gametest::ValuesOf(trace, "screen", "switch"), (std::vector<int64_t>{8, 12, 13, 15, 11, 7, 9, 12, 11}));
    EXPECT_TRUE(gametest::HasRecord(trace, "screen", {"save", "2", "written"}));
    EXPECT_TRUE(gametest::HasRecord(trace, "screen", {"load", "2", "taken"}));
    // The file says where the game goes on from: after stage 1.
    SaveRecord saved;
    ASSERT_EQ(ReadSaveRecord("SAVE02", &saved), kSaveOk);
    EXPECT_EQ(saved.lastStageId, 2010000u);
    EXPECT_EQ(saved.heroType, 0);
    EXPECT_EQ(saved.money, 100);
    EXPECT_EQ(saved.cleared[0], 1);
    // The lobby shows after the load what it showed when the game was saved:
    // the money (stage 1's pickups) and the one stage cleared.
    std::vector<std::vector<std::string>> lobby;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "screen" && !r.fields.empty() && r.fields[0] == "lobby") {
            lobby.push_back(r.fields);
        }
    }
    ASSERT_EQ(lobby.size(), 2u);
    EXPECT_EQ(lobby[0][3], "100");
    EXPECT_EQ(lobby[0][4], "1");
    EXPECT_EQ(lobby[1], lobby[0]);
    // The load screen on slot 2: the written game, shown at once.
    apptest::ExpectLikeReference(root + "/load_screen.bmp",
                                 std::string(RW_TEST_SOURCE_DIR) + "/tests/ui/reference/road_load_screen.bmp",
                                 root + "/load_screen_difference.bmp");
}

TEST_F(GameLoad, ThePlayableTreesSaveIsLoadedFromSlotOne)
{
    StartOn("e2e_sample");
    const std::vector<gametest::TraceRecord> trace = Run("slot_one", LoadScript(1), "--screen 7 --frames 240");
    EXPECT_EQ(gametest::ValuesOf(trace, "screen", "switch"), (std::vector<int64_t>{7, 9, 12, 11}));
    EXPECT_TRUE(gametest::HasRecord(trace, "screen", {"load", "1", "taken"}));
}

}  // namespace

}  // namespace game_load_test
