// End to end: a game saved through a save panel (hosted here by the test,
// in this process, on a tree of the test's own) is loaded by the game run
// headless on that tree: the title's load item, the load screen, the slot,
// the stage entry behind the loading screen, the lobby. The trace shows the
// screens 7, 9, 12 and 11, the slot loaded and the sounds of each press;
// a screenshot of the load screen matches its reviewed reference. The
// playable tree's own save (slot 1) loads the same way.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/app/reference_image.h"
#include "tests/ui/save_test_support.h"
#include "ui/save_game_panel.h"

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
    // Runs the game on the tree with the script; its trace.
    std::vector<gametest::TraceRecord> Run(const std::string &script, const std::string &shot)
    {
        std::ofstream(root + "/script.txt") << script;
        std::string arguments = "--headless --mode 1 --fixed-step 16 --screen 7 --frames 240 --input script.txt "
                                "--trace game.txt";
        if (!shot.empty()) {
            arguments += " --screenshot 140:" + shot + ".bmp";
        }
        std::string output;
        EXPECT_EQ(apptest::RunGame(root, arguments, &output), 0) << output;
        return gametest::ReadTrace(root + "/game.txt");
    }
};

TEST_F(GameLoad, AGameSavedThroughThePanelIsLoadedFromTheTitleIntoTheLobby)
{
    StartOn("e2e_panel");
    // The running game: hero 1 after stage 2, written into slot 2.
    ui->progress.lastStageId = 2020000;
    ui->progress.playTimeMs = 3723000;
    ui->progress.cleared[0] = ui->progress.cleared[1] = 1;
    ui->progress.clearedList[0] = 1;
    ui->heroBlock.heroType = 1;
    ui->heroBlock.maxHP = 3100;
    ui->heroBlock.maxPower = 500;
    ui->heroBlock.money = 4321;
    {
        struct {
            CSSaveGame panel;
        } host;
        host.panel.SetActive(1);
        Press(0, kPadDown);
        host.panel.Update();
        ReleasePads();
        Press(0, kPadCircle);
        host.panel.Update();
        ReleasePads();
        ASSERT_EQ(host.panel.view.slots->Slot(1).state, kSlotSaved);
        host.panel.SetActive(0);
    }
    const std::vector<gametest::TraceRecord> trace = Run(LoadScript(2), "load_screen");
    EXPECT_EQ(gametest::ValuesOf(trace, "screen", "switch"), (std::vector<int64_t>{7, 9, 12, 11}));
    EXPECT_TRUE(gametest::HasRecord(trace, "screen", {"load", "2", "taken"}));
    // Menu, down, Load; down, the slot.
    EXPECT_EQ(gametest::ValuesOf(trace, "screen", "sound"),
              (std::vector<int64_t>{6600060, 6600010, 6600060, 6600010, 6600060}));
    EXPECT_TRUE(gametest::HasRecord(trace, "music", {"start", "ui", "SELCHAR.WAV"}));
    // The stage entry builds the stage's parts behind the loading screen
    // and goes on to the lobby, where the game stands.
    EXPECT_TRUE(gametest::HasRecord(trace, "loading", {"1.00"}));
    apptest::ExpectLikeReference(root + "/load_screen.bmp",
                                 std::string(RW_TEST_SOURCE_DIR) + "/tests/ui/reference/road_load_screen.bmp",
                                 root + "/load_screen_difference.bmp");
}

TEST_F(GameLoad, ThePlayableTreesSaveIsLoadedFromSlotOne)
{
    StartOn("e2e_sample");
    const std::vector<gametest::TraceRecord> trace = Run(LoadScript(1), "");
    EXPECT_EQ(gametest::ValuesOf(trace, "screen", "switch"), (std::vector<int64_t>{7, 9, 12, 11}));
    EXPECT_TRUE(gametest::HasRecord(trace, "screen", {"load", "1", "taken"}));
}

}  // namespace
