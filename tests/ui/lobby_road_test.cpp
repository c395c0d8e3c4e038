// End to end: the game run headless on a tree of the test's own (the
// sample's save in slot 1) under a script: the title's Load, the slot, the
// stage entry to the lobby; in the lobby a herb bought in the store, the
// status page and back, then the stage select, right to 2020000, its info
// page, and the start of stage 2 through the in-game screen. The trace
// shows the screens 7, 9, 12, 11, 13, every sound of the presses and the
// stage's request and load; screenshots of the lobby, the store after the
// purchase, the map with its banner, the info page and the stage match
// their reviewed references; the frames of every fourth tick match the
// kept frame logs (tests/ui/frame_logs/lobby_road_*). And the main road from a new game: the first
// stage, its monster beaten and its exit, the stage end (15), the lobby
// (with the monster's reward in the money), and the second stage
// chosen on the map, in its first second without the first stage's rain.
// And a tree without the lobby's pack: the fatal
// message, and the game back at the title, in time.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/app/reference_image.h"
#include "tests/support/game/frame_log.h"
#include "tests/ui/lobby_test_support.h"

namespace lobby_road_test {

namespace {

// A tap of `key` at `tick`.
std::string KeyTap(int tick, const char *key)
{
    return std::to_string(tick) + " key " + key + " 1\n" + std::to_string(tick + 1) + " key " + key + " 0\n";
}

class LobbyRoad : public savetest::SaveScreensTest {
protected:
    std::vector<gametest::TraceRecord> Run(const std::string &script, const std::vector<std::string> &shots,
                                           int frames, const std::string &start = "--screen 7")
    {
        std::ofstream(root + "/script.txt") << script;
        std::string arguments = "--headless --mode 1 --fixed-step 16 " + start + " --frames " +
                                std::to_string(frames) + " --input script.txt --trace game.txt" +
                                gametest::kKeptFramesOption;
        for (const std::string &shot : shots) {
            arguments += " --screenshot " + shot + ".bmp";
        }
        std::string output;
        EXPECT_EQ(apptest::RunGame(root, arguments, &output), 0) << output;
        std::vector<gametest::TraceRecord> trace = gametest::ReadTrace(root + "/game.txt");
        // Each test's run keeps its frames under the test's name.
        gametest::ExpectFramesAsKept(
            trace, std::string("ui/frame_logs/lobby_road_") + ::testing::UnitTest::GetInstance()->current_test_info()->name(),
            root + "/game.txt");
        return trace;
    }
    void ExpectLikeReference(const std::string &name)
    {
        apptest::ExpectLikeReference(root + "/" + name + ".bmp",
                                     std::string(RW_TEST_SOURCE_DIR) + "/tests/ui/reference/" + name + ".bmp",
                                     root + "/" + name + "_difference.bmp");
    }
};

// The title's menu, Load, slot 1: the lobby is current from tick 221 and
// its pack is in by tick 293.
const std::string kToTheLobby = KeyTap(20, "Enter") + KeyTap(30, "Down") + KeyTap(40, "Enter") + KeyTap(150, "Enter");

TEST_F(LobbyRoad, FromTheTitleThroughTheLobbyIntoTheSecondStage)
{
    StartOn("e2e_lobby");
    const std::string script = kToTheLobby +
                               // the store: a herb bought (one, for 50 of the save's 150), and back
                               KeyTap(300, "Down") + KeyTap(302, "Down") + KeyTap(304, "Enter") +
                               KeyTap(370, "Enter") + KeyTap(375, "Left") + KeyTap(380, "Enter") +
                               KeyTap(385, "Enter") + KeyTap(390, "X") +
                               // the status page, and back
                               KeyTap(460, "Up") + KeyTap(462, "Enter") + KeyTap(540, "X") +
                               // the stage select: right to 2020000, its info page, start
                               KeyTap(610, "Up") + KeyTap(612, "Enter") + KeyTap(690, "Right") +
                               KeyTap(740, "Enter") + KeyTap(770, "Enter");
    const std::vector<gametest::TraceRecord> trace =
        Run(script,
            {"298:road_lobby_menu", "388:road_lobby_store", "735:road_lobby_map", "765:road_lobby_info",
             "885:road_lobby_stage2"},
            890);
    EXPECT_EQ(gametest::ValuesOf(trace, "screen", "switch"), (std::vector<int64_t>{7, 9, 12, 11, 13}));
    EXPECT_EQ(gametest::ValuesOf(trace, "screen", "sound"),
              (std::vector<int64_t>{// the title and the load screen
                                    6600060, 6600010, 6600060, 6600060,
                                    // the lobby: down, down, the store
                                    6600010, 6600010, 6600060,
                                    // the herb, one more, the question, yes, back
                                    6600060, 6600010, 6600060, 6600060, 6600050,
                                    // up, the status page, back
                                    6600010, 6600060, 6600050,
                                    // up, the stage select
                                    6600010, 6600060,
                                    // the banner unfolds, folds as the marker leaves, unfolds again
                                    6600140, 6600140, 6600140,
                                    // the info page, the start
                                    6600060, 6600060}));
    EXPECT_TRUE(gametest::HasRecord(trace, "stage", {"request", "2020000", "0", "2000", "taken"}));
    EXPECT_TRUE(gametest::HasRecord(trace, "stage", {"load", "2020000"}));
    for (const char *shot :
         {"road_lobby_menu", "road_lobby_store", "road_lobby_map", "road_lobby_info", "road_lobby_stage2"}) {
        SCOPED_TRACE(shot);
        ExpectLikeReference(shot);
    }
}

TEST_F(LobbyRoad, TheMainRoadGoesFromTheFirstStageThroughTheLobbyToTheNext)
{
    StartOn("e2e_main_road");
    // From character selection (the title's new game is the road test's):
    // the hero confirmed, in stage 1 (from tick 141) the hero beats the
    // yard's monster, whose reward pieces it picks up, and walks on up the
    // yard into the exit (kill_monster_and_leave.txt, 140 ticks on: tick
    // 1033); the lobby from tick 1206.
    std::ifstream leave(std::string(RW_TEST_SOURCE_DIR) + "/tests/event/scripts/kill_monster_and_leave.txt");
    std::string stageOne;
    for (std::string line; std::getline(leave, line);) {
        if (!line.empty() && line[0] != '#') {
            const size_t space = line.find(' ');
            stageOne += std::to_string(std::stoi(line.substr(0, space)) + 140) + line.substr(space) + "\n";
        }
    }
    const std::string script = KeyTap(5, "C") + stageOne + "1040 key W 0\n1040 key D 0\n" + KeyTap(1281, "Enter") +
                               KeyTap(1351, "Right") + KeyTap(1391, "Enter") + KeyTap(1421, "Enter");
    // Stage 2 (no rain) in its first second, fading in: the first stage's
    // rain ended with it.
    const std::vector<gametest::TraceRecord> trace =
        Run(script, {"1276:road_lobby_after_stage1", "1484:road_stage2_first_second"}, 1486, "--screen 8");
    EXPECT_EQ(gametest::ValuesOf(trace, "screen", "switch"), (std::vector<int64_t>{8, 12, 13, 15, 11, 13}));
    EXPECT_TRUE(gametest::HasRecord(trace, "stage", {"request", "1", "1", "2000", "taken"}));
    EXPECT_TRUE(gametest::HasRecord(trace, "stage", {"release", "2010000"}));
    EXPECT_TRUE(gametest::HasRecord(trace, "stage", {"request", "2020000", "0", "2000", "taken"}));
    EXPECT_TRUE(gametest::HasRecord(trace, "stage", {"load", "2020000"}));
    EXPECT_EQ(gametest::ValuesOf(trace, "stage", "load"), (std::vector<int64_t>{2010000, 2020000}));
    ExpectLikeReference("road_lobby_after_stage1");
    ExpectLikeReference("road_stage2_first_second");
}

TEST_F(LobbyRoad, WithoutItsPackTheLobbyRaisesTheFatalMessageAndTheGameReturnsToTheTitle)
{
    StartOn("e2e_lobby_no_pack");
    lobbytest::OwnInterfacePacks(root);
    std::filesystem::remove(root + "/PACK/UI0/UILOBBY.STR");
    std::string output;
    const std::vector<gametest::TraceRecord> trace =
        savetest::RunKeepingFrames(root, kToTheLobby + KeyTap(300, "Down") + KeyTap(310, "Enter"),
                                   "--screen 7 --frames 330", "game.txt", "lobby_road_without_its_pack", &output);
    EXPECT_EQ(gametest::ValuesOf(trace, "screen", "switch"), (std::vector<int64_t>{7, 9, 12, 11, 7}));
    EXPECT_NE(output.find("UILOBBY.STR"), std::string::npos) << output;
    // The title came in the lobby's first update (the fatal message's
    // return at the end of that frame, then 100 ms of black).
    uint32_t lobby = 0;
    uint32_t title = 0;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "screen" && r.fields.size() == 2 && r.fields[0] == "switch") {
            (r.fields[1] == "11" ? lobby : title) = r.tick;
        }
    }
    EXPECT_LT(title - lobby, 20u);
}

}  // namespace

}  // namespace lobby_road_test
