// End to end in the first stage: the game run headless on a copy of the
// sample data under a scripted keyboard. Through the chord and the main
// list: "Write Log File" writes GFLOG00.TXT with every section; "Render
// Wall" at both walls; "Render wire frame" at BSP, DFF and ALL; "Switch
// display run-time infomation" at ALL, with the menu closed, shows the
// statistics and the light gizmos; "Select Load Game mode" at multi-thread
// loading draws the next stage load from the loading thread; before it a
// stage change loaded in steps draws the loading screen once (its picture,
// bands and bar in a reviewed shot of its drawing) and takes it away.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/game/trace_reader.h"
#include "tests/app/app_test_support.h"
#include "tests/app/bmp_file.h"
#include "tests/app/reference_image.h"
#include "tests/devmenu/menu_game_run.h"

namespace dev_menu_switches_game_test {

namespace {

using apptest::Bmp;
using devmenutest::KeyScript;

constexpr uint32_t kSettle = 12;  // ticks after the menu closes before a shot

struct Script {
    std::string text;
    uint32_t logWritten = 0;
    uint32_t wallShot = 0;
    uint32_t wireShots[3] = {};
    uint32_t plainShot = 0;
    uint32_t gizmoShot = 0;
    uint32_t threadedApplied = 0;
    uint32_t stageChanged = 0;
    uint32_t steppedStageChanged = 0;
    uint32_t frames = 0;
};

// Each phase opens the menu with the chord; the main list keeps the item
// it was left on.
Script BuildScript()
{
    Script s;
    KeyScript k;
    uint32_t t = k.Chord(30, "C");                 // item 0
    t = k.Taps(t + 2, "Down", 13);                 // "Write Log File"
    t = k.Taps(t, "C");
    t = k.Taps(t, "C");                            // written, closed
    s.logWritten = t - 2;
    s.plainShot = t + kSettle;
    t = k.Chord(s.plainShot + 2, "C");
    t = k.Taps(t + 2, "Up", 5);                    // "Render Wall"
    t = k.Taps(t, "C");
    t = k.Taps(t, "Right", 3);                     // both walls
    t = k.Taps(t, "C");
    s.wallShot = t + kSettle;
    t = k.Chord(s.wallShot + 2, "C");
    t = k.Taps(t + 2, "C");
    t = k.Taps(t, "Left", 3);                      // no wall
    t = k.Taps(t, "C");
    for (int mode = 0; mode < 3; ++mode) {
        t = k.Chord(t + 2, "C");
        if (mode == 0) {
            t = k.Taps(t + 2, "Down", 3);          // "Render wire frame"
        }
        t = k.Taps(t + 2, "C");
        t = k.Taps(t, "Right");                    // BSP, DFF, ALL
        t = k.Taps(t, "C");
        s.wireShots[mode] = t + kSettle;
        t = s.wireShots[mode] + 2;
    }
    t = k.Chord(t, "C");
    t = k.Taps(t + 2, "C");
    t = k.Taps(t, "Left", 3);                      // no wire frame
    t = k.Taps(t, "C");
    t = k.Chord(t + 2, "C");
    t = k.Taps(t + 2, "Up", 10);                   // "Switch display run-time infomation"
    t = k.Taps(t, "C");
    t = k.Taps(t, "Right", 3);                     // ALL
    t = k.Taps(t, "C");                            // back to the main list
    t = k.Taps(t, "X");                            // closed
    s.gizmoShot = t + kSettle;
    // The statistics off again, then a stage change loaded in steps, to
    // stage 10, whose loading picture is the second group's.
    t = k.Chord(s.gizmoShot + 2, "C");
    t = k.Taps(t + 2, "C");
    t = k.Taps(t, "Left", 3);                      // none
    t = k.Taps(t, "C");
    t = k.Taps(t, "X");
    t = k.Chord(t + 2, "C");
    t = k.Taps(t + 2, "Up");                       // "Select Stage"
    t = k.Taps(t, "C");
    t = k.Taps(t, "Right", 7);                     // "2-2(09)"
    t = k.Taps(t, "C");
    t = k.Taps(t, "Down", 5);                      // "Done Let's Go!!!!!"
    t = k.Taps(t, "C");
    s.steppedStageChanged = t - 1;
    t = k.Chord(t + 20, "C");
    t = k.Taps(t + 2, "Down", 4);                  // "Select Load Game mode"
    t = k.Taps(t, "C");
    t = k.Taps(t, "Right");                        // multi-thread
    t = k.Taps(t, "C");                            // applied, closed
    s.threadedApplied = t - 2;
    t = k.Chord(t + 2, "C");
    t = k.Taps(t + 2, "Up", 4);                    // "Select Stage"
    t = k.Taps(t, "C");                            // the stage list
    t = k.Taps(t, "Left", 6);                      // "1-1(01)"
    t = k.Taps(t, "C");                            // the tuning menu, its cursor kept
    t = k.Taps(t, "Up", 6);
    t = k.Taps(t, "Down", 5);                      // "Done Let's Go!!!!!"
    t = k.Taps(t, "C");
    s.stageChanged = t - 1;
    s.frames = t + 20;
    s.text = k.Text();
    return s;
}

class DevMenuSwitchesGame : public devmenutest::MenuGameRun<DevMenuSwitchesGame> {
protected:
    static void SetUpTestSuite()
    {
        if (!CopyData("devmenu_switches")) {
            return;
        }
        script = BuildScript();
        Run(script.text, script.frames,
            {script.plainShot, script.wallShot, script.wireShots[0], script.wireShots[1], script.wireShots[2],
             script.gizmoShot},
            " --debug --loading-shot " + std::to_string(script.steppedStageChanged) + ":loading_stage10.bmp");
    }
    // Pixels that differ between two shots.
    static int Changed(const Bmp &a, const Bmp &b)
    {
        int changed = 0;
        for (int y = 0; y < a.height && y < b.height; ++y) {
            for (int x = 0; x < a.width && x < b.width; ++x) {
                changed += a.Pixel(x, y) != b.Pixel(x, y) ? 1 : 0;
            }
        }
        return changed;
    }

    static inline Script script;
};

TEST_F(DevMenuSwitchesGame, WriteLogFileWritesEverySectionForTheFirstStage)
{
    const std::vector<std::string> menu = LinesAt(script.logWritten, "menu");
    EXPECT_NE(std::find(menu.begin(), menu.end(), "menu close"), menu.end()) << "written on the tap of circle";
    const std::vector<uint8_t> bytes = apptest::ReadBytes(folder + "/GFLOG00.TXT");
    const std::string report(bytes.begin(), bytes.end());
    size_t at = 0;
    for (const char *heading : {"ObjectKind :\nCount : ", "\n\nAudio :\nCount : ", "\n\nTexture :\n",
                                "\n\nClumpInfo :\nReal number in RpWorld: ", "\nAnimation :\nNumOfData : ",
                                "Hirearchy Data :\nNumOfHirearchy : ", "\n\nToTle Particle Number : "}) {
        const size_t found = report.find(heading, at);
        ASSERT_NE(found, std::string::npos) << heading << "\n" << report;
        at = found;
    }
    // The stage's own textures, clumps and sounds are listed.
    EXPECT_EQ(report.find("No Texture Dixtionary"), std::string::npos);
    EXPECT_NE(report.find(" : size: "), std::string::npos);
    for (const char *clump : {"LIGHTS.DFF", "CAMWALL.DFF", "CLUMP00.DFF"}) {
        EXPECT_NE(report.find(std::string("\n") + clump + "\n"), std::string::npos) << clump;
    }
    EXPECT_NE(report.find("\nID : "), std::string::npos) << "a sound line";
    EXPECT_EQ(report.find("\nAudio :\nCount : 0\n"), std::string::npos);
    // Each of the stage's model kinds by its AI type, with its instances:
    // every template is there, none reads as missing.
    const int kinds = std::atoi(report.c_str() + std::string("ObjectKind :\nCount : ").size());
    EXPECT_GT(kinds, 0);
    int listed = 0;
    for (size_t line = report.find("\nType : "); line != std::string::npos; line = report.find("\nType : ", line + 1)) {
        ++listed;
        EXPECT_NE(report.substr(line, 11), "\nType : -1 ") << report.substr(line, 40);
    }
    EXPECT_EQ(listed, kinds);
}

TEST_F(DevMenuSwitchesGame, RenderWallDrawsBothWallsOverTheStage)
{
    const Bmp plain = Shot(script.plainShot);
    const Bmp walls = Shot(script.wallShot);
    EXPECT_GT(Changed(plain, walls), 1000);
    ExpectLikeReference(script.wallShot, "game_render_wall_both");
}

TEST_F(DevMenuSwitchesGame, WireFramesOfTheWorldTheModelsAndBoth)
{
    const Bmp plain = Shot(script.plainShot);
    const char *names[3] = {"game_wire_bsp", "game_wire_dff", "game_wire_all"};
    for (int mode = 0; mode < 3; ++mode) {
        EXPECT_GT(Changed(plain, Shot(script.wireShots[mode])), 500) << names[mode];
        ExpectLikeReference(script.wireShots[mode], names[mode]);
    }
}

TEST_F(DevMenuSwitchesGame, DisplayInfoAllShowsTheStatisticsAndTheGizmos)
{
    const Bmp plain = Shot(script.plainShot);
    EXPECT_GT(Changed(plain, Shot(script.gizmoShot)), 1000);
    // The memory in use (the statistics' "M ... KB" line) changes with the
    // code: its figure is not compared.
    ExpectLikeReference(script.gizmoShot, "game_display_all_gizmos", {.varying = {{40, 28, 140, 44}}, .strays = {}});
}

// The fields of the "loading" lines at `tick`.
std::vector<std::vector<std::string>> LoadingLines(const std::vector<gametest::TraceRecord> &trace, uint32_t tick)
{
    std::vector<std::vector<std::string>> lines;
    for (const gametest::TraceRecord &r : trace) {
        if (r.tick == tick && r.kind == "loading" && !r.fields.empty()) {
            lines.push_back(r.fields);
        }
    }
    return lines;
}

// Loaded in steps, stage 10's load draws the loading screen once within its
// tick (the next step would need 20 ms to have passed): the second group's
// picture as the strip at its start (frames A, B, A), the bands and the bar
// at the load's first value, 0.2; then the screen goes, and the stage plays.
TEST_F(DevMenuSwitchesGame, TheSteppedLoadDrawsTheStagesPictureAndBarOnceAndGoes)
{
    const std::vector<std::vector<std::string>> lines = LoadingLines(trace, script.steppedStageChanged);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.front(), (std::vector<std::string>{"on", "2100000", "GFSCENE2.BMP", "0"}));
    EXPECT_EQ(lines[1], (std::vector<std::string>{"0.20"}));
    EXPECT_EQ(lines[2], (std::vector<std::string>{"draw", "1", "0", "0.20", "0"}));
    EXPECT_EQ(lines[lines.size() - 2], (std::vector<std::string>{"1.00"}));
    EXPECT_EQ(lines.back(), (std::vector<std::string>{"off", "2100000", "1", "1"})) << "its music played";
    EXPECT_TRUE(AnyAt(script.steppedStageChanged + 1, "actor")) << "the stage plays on the next tick";
    const std::string shot = folder + "/loading_stage10.bmp";
    const std::string reference = std::string(RW_TEST_SOURCE_DIR) + "/tests/devmenu/reference/loading_stage10.bmp";
    if (std::getenv("RW_WRITE_DEVMENU_REFERENCES") != nullptr) {
        std::system(("cp '" + shot + "' '" + reference + "'").c_str());
        return;
    }
    apptest::ExpectLikeReference(shot, reference, folder + "/difference_loading_stage10.bmp");
    // The bar: its fill over the frame's first fifth of 133 pixels.
    Bmp bmp;
    ASSERT_TRUE(apptest::LoadBmp(shot, &bmp));
    EXPECT_NE(bmp.Pixel(460, 411), bmp.Pixel(560, 411)) << "filled up to 456 + 26.6, empty beyond";
}

// Threaded, the stage-2 load is drawn by the loading thread (and once by
// the loader as the thread starts): every drawing lies between the screen's
// on and off, the bar never goes back, the strip stands (the fixed-step
// clock stands within the tick), and the off comes after the last drawing.
TEST_F(DevMenuSwitchesGame, TheThreadedLoadDrawsBetweenItsOnAndItsOff)
{
    const std::vector<std::vector<std::string>> lines = LoadingLines(trace, script.stageChanged);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.front(), (std::vector<std::string>{"on", "2020000", "GFSCENE1.BMP", "1"}));
    ASSERT_EQ(lines.back().size(), 4u);
    EXPECT_EQ(lines.back()[0], "off");
    int drawings = 0;
    double progress = 0.0;
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
        if (lines[i].size() == 1) {
            continue;
        }
        ASSERT_EQ(lines[i].size(), 5u);
        EXPECT_EQ(lines[i][0], "draw");
        EXPECT_EQ(lines[i][1], std::to_string(++drawings));
        EXPECT_EQ(lines[i][2], "0");
        EXPECT_GE(std::stod(lines[i][3]), progress);
        progress = std::stod(lines[i][3]);
    }
    EXPECT_GE(drawings, 1);
    EXPECT_EQ(lines.back()[2], std::to_string(drawings));
}

TEST_F(DevMenuSwitchesGame, ThreadedLoadingDrawsTheNextLoadFromTheLoadingThread)
{
    EXPECT_EQ(output.find("loading screen: drawn from its own thread"), output.rfind("loading screen: drawn from its own thread"))
        << "only the load after the switch";
    EXPECT_NE(output.find("loading screen: drawn from its own thread"), std::string::npos) << output.substr(0, 4000);
    const std::vector<std::string> stage = LinesAt(script.stageChanged, "stage");
    EXPECT_NE(std::find(stage.begin(), stage.end(), "stage load 2020000"), stage.end());
}

}  // namespace

}  // namespace dev_menu_switches_game_test
