// End to end: the game run headless on a copy of the sample data, in the
// first stage with its fog switched off in the copy, under a scripted
// keyboard (select Escape, start Enter, circle C, cross X, the arrows).
// The chord opens the menu, which takes the ticks while the stage stands
// still and frames are still drawn; "Select Stage", the first stage's fog
// page, fog on in red, "Save File": the stage reloads through its
// transition with the fog, and its stage info file holds its old values
// but in the fog's rows. Then "Done Let's Go!!!!!" on stage 2 changes the
// stage at once.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/app/app_test_support.h"
#include "tests/app/bmp_file.h"
#include "tests/app/reference_image.h"
#include "tests/devmenu/menu_game_run.h"
#include "support/game/trace_reader.h"

namespace dev_menu_game_test {

namespace {

using apptest::Bmp;
using devmenutest::KeyScript;

// The ticks of the script below. The menu opens while the screens still
// fade the first stage in, so that the fade standing still shows.
constexpr uint32_t kOpen = 30;          // the chord
constexpr uint32_t kSave = 85;          // Save File runs
constexpr uint32_t kFogShot = 300;      // the stage reloaded (2000 ms), faded in (1000 ms), with its fog
constexpr uint32_t kSecondOpen = 310;   // the chord again
constexpr uint32_t kChange = 323;       // "Done Let's Go!!!!!" runs
constexpr uint32_t kFrames = 330;

std::string BuildScript()
{
    KeyScript s;
    uint32_t t = s.Chord(kOpen, "C");             // open: "Select Stage"
    t = s.Taps(t + 2, "C");                        // the stage list, "0-1(00)"
    t = s.Taps(t, "C");                            // its files read, the tuning menu
    t = s.Taps(t, "Down", 3);                      // "Set Fog Info"
    t = s.Taps(t, "C");                            // the fog page
    t = s.Taps(t, "Right");                        // fog on
    t = s.Taps(t, "Down");                         // alpha 0 lowered: 255
    t = s.Taps(t, "Left");
    t = s.Taps(t, "Down");                         // red 0 lowered: 255
    t = s.Taps(t, "Left");
    t = s.Taps(t, "Down", 9);                      // "Back"
    t = s.Taps(t, "C");                            // the tuning menu again
    t = s.Taps(t, "Down", 3);                      // "Save File"
    t = s.Taps(t, "C");                            // it runs on the tick after
    EXPECT_EQ(t, kSave + 1);
    t = s.Chord(kSecondOpen, "C");
    t = s.Taps(t, "C");                            // the stage list
    t = s.Taps(t, "Right");                        // "1-1(01)"
    t = s.Taps(t, "C");                            // its files read, the tuning menu
    t = s.Taps(t, "Up");                           // from "Save File" to "Done Let's Go!!!!!"
    t = s.Taps(t, "C");                            // it runs on the tick after
    EXPECT_EQ(t, kChange + 1);
    return s.Text();
}

// The sample stage info with its fog switched off (its fog rows dropped).
std::string WithoutFog(std::string info)
{
    const size_t fog = info.find("Fog: ON\n");
    const size_t vFog = info.find("VFog:", fog);
    if (fog == std::string::npos || vFog == std::string::npos) {
        return info;
    }
    return info.replace(fog, vFog - fog, "Fog: OFF\n");
}

// "Key: value" lines by key.
std::map<std::string, std::string> KeyedValues(const std::string &text)
{
    std::map<std::string, std::string> values;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const size_t colon = line.find(':');
        if (colon != std::string::npos && line.find(' ') > colon) {
            const size_t value = line.find_first_not_of(' ', colon + 1);
            values.emplace(line.substr(0, colon + 1), value == std::string::npos ? "" : line.substr(value));
        }
    }
    return values;
}

class DevMenuGame : public devmenutest::MenuGameRun<DevMenuGame> {
protected:
    static void SetUpTestSuite()
    {
        if (!CopyData("devmenu_run")) {
            return;
        }
        const std::string info = folder + "/RESOURCE/STAGEINF/STAGE00.BSF";
        const std::vector<uint8_t> bytes = apptest::ReadBytes(info);
        oldInfo = WithoutFog(std::string(bytes.begin(), bytes.end()));
        apptest::WriteText(info, oldInfo);
        Run(BuildScript(), kFrames, {kOpen - 2, kOpen, kOpen + 1, kOpen + 5, kFogShot});
        const std::vector<uint8_t> saved = apptest::ReadBytes(info);
        newInfo.assign(saved.begin(), saved.end());
    }

    static inline std::string oldInfo;
    static inline std::string newInfo;
};

TEST_F(DevMenuGame, WhileTheMenuIsOpenTheStageStandsStillAndTakesNoTick)
{
    EXPECT_EQ(LinesAt(kOpen, "menu"), std::vector<std::string>{"menu open"});
    EXPECT_TRUE(AnyAt(kOpen, "camera")) << "the stage still ran on the tick of the chord";
    for (uint32_t tick = kOpen + 1; tick <= kSave; ++tick) {
        EXPECT_FALSE(AnyAt(tick, "camera")) << tick;
        EXPECT_FALSE(AnyAt(tick, "actor")) << tick;
        EXPECT_EQ(LinesAt(tick, "menu").size(), tick == kSave ? 3u : 1u) << tick;  // its tick line
    }
    EXPECT_TRUE(AnyAt(kSave + 1, "camera")) << "the stage runs again once the menu is closed";
}

TEST_F(DevMenuGame, FramesAreStillDrawnWithTheLabelOverTheStillStage)
{
    const Bmp open = Shot(kOpen);      // opened after the tick's updates: no label yet
    const Bmp labelled = Shot(kOpen + 1);
    // The same label over the same stage: neither the stage nor the screens'
    // fade-in, half done, moved in four ticks.
    const Bmp later = Shot(kOpen + 5);
    ASSERT_EQ(open.width, 640);
    int changed = 0;
    for (int y = 0; y < open.height; ++y) {
        for (int x = 0; x < open.width; ++x) {
            ASSERT_EQ(labelled.Pixel(x, y), later.Pixel(x, y)) << x << ", " << y;
            if (open.Pixel(x, y) != labelled.Pixel(x, y)) {
                ++changed;
                // Only the label at (200, 220) comes in: "Select Stage".
                EXPECT_TRUE(x >= 200 && x < 320 && y >= 220 && y < 245) << x << ", " << y;
            }
        }
    }
    EXPECT_GT(changed, 100);
    ExpectLikeReference(kOpen + 1, "game_main_list");
}

TEST_F(DevMenuGame, SaveFileWritesTheFogAndReloadsTheStageWithItsTransition)
{
    EXPECT_EQ(LinesAt(kSave, "menu"),
              (std::vector<std::string>{"menu save 2010000 written written", "menu close", "menu item 0 0 0"}));
    EXPECT_EQ(LinesAt(kSave, "stage"), std::vector<std::string>{"stage request 2010000 1 2000 taken"});
    uint32_t released = 0;
    uint32_t loaded = 0;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "stage" && r.tick > kSave && r.tick < kSecondOpen && !r.fields.empty()) {
            released = r.fields[0] == "release" && released == 0 ? r.tick : released;
            loaded = r.fields[0] == "load" && loaded == 0 ? r.tick : loaded;
        }
    }
    // 2000 ms of transition at 16 ms a tick.
    EXPECT_GE(released, kSave + 2000 / 16);
    EXPECT_EQ(loaded, released);

    // Read key by key, only the fog's rows differ.
    const std::map<std::string, std::string> before = KeyedValues(oldInfo);
    const std::map<std::string, std::string> after = KeyedValues(newInfo);
    const std::map<std::string, std::string> fog = {{"Fog:", "ON"},
                                                    {"FogAlpha:", "255"},
                                                    {"FogRed:", "255"},
                                                    {"FogGreen:", "0"},
                                                    {"FogBlue:", "0"},
                                                    {"FogDistance:", "0.000000"},
                                                    {"FogTime:", "0.000000"}};
    for (const auto &[key, value] : before) {
        ASSERT_EQ(after.count(key), 1u) << key;
        if (fog.count(key) == 0) {
            EXPECT_EQ(after.at(key), value) << key;
        }
    }
    for (const auto &[key, value] : fog) {
        ASSERT_EQ(after.count(key), 1u) << key;
        EXPECT_EQ(after.at(key), value) << key;
    }
    EXPECT_EQ(after.size(), before.size() + 6);
}

TEST_F(DevMenuGame, TheReloadedStageShowsItsRedFog)
{
    const Bmp clear = Shot(kOpen - 2);
    const Bmp fogged = Shot(kFogShot);
    auto redness = [](const Bmp &b) {
        double sum = 0.0;
        for (int y = 0; y < b.height; ++y) {
            for (int x = 0; x < b.width; ++x) {
                const uint32_t p = b.Pixel(x, y);
                sum += static_cast<double>((p >> 16) & 0xFF) - static_cast<double>(p & 0xFF);
            }
        }
        return sum / (b.width * b.height);
    };
    EXPECT_GT(redness(fogged), redness(clear) + 40.0);
    ExpectLikeReference(kFogShot, "game_fog_saved");
}

TEST_F(DevMenuGame, DoneLetsGoChangesToStageTwoAtOnce)
{
    EXPECT_EQ(LinesAt(kSecondOpen, "menu"), std::vector<std::string>{"menu open"});
    EXPECT_EQ(LinesAt(kChange, "stage"),
              (std::vector<std::string>{"stage request 0 0 2000 taken", "stage release 2010000",
                                        "stage request 2020000 0 2000 taken", "stage load 2020000"}));
    EXPECT_EQ(LinesAt(kChange, "menu"), (std::vector<std::string>{"menu close", "menu item 0 0 0"}));
    EXPECT_TRUE(AnyAt(kChange + 1, "camera"));
}

}  // namespace

}  // namespace dev_menu_game_test
