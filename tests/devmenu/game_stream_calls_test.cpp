// "Make Game Stream" against a recording table: the exact order of its
// calls with every object present (the screens' steps included), the
// steps each missing object skips, and the report written for the menu
// that runs the pass; and the game's own table's screen steps against the
// running screens on the sample data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devmenu/dev_menu.h"
#include "devmenu/game_stream.h"
#include "devmenu/stage_list.h"
#include "app/audio.h"
#include "tests/ui/ui_test_support.h"
#include "ui/game_play_screen.h"
#include "ui/select_character.h"
#include "ui/title_screen.h"
#include "ui/ui_sound.h"
#include "ui/warning_screen.h"

namespace game_stream_calls_test {

namespace {

// What exists for the recording table, and what it was asked, in order.
struct World {
    bool screens = true;
    bool warning = true;
    bool stage = true;
    bool selection = true;
    bool overlay = true;
    bool events = true;
    const CSDevMenu *reportMenu = nullptr;
    std::vector<std::string> calls;
};
World g_world;

void Note(const std::string &call) { g_world.calls.push_back(call); }

constexpr GameStreamCalls kRecording = {
    [] { return g_world.warning; },
    [] { Note("warning load"); },
    [] { Note("warning release"); },

    [] { return g_world.screens; },
    [] { Note("frontend load"); },
    [] { Note("frontend release"); },
    [] { Note("other screens release"); },
    [] { Note("lobby load"); },
    [] { Note("lobby release"); },
    [] { Note("ui sounds load"); },

    [] { return g_world.stage; },
    [] { Note("sub objects 1"); },
    [] { Note("effects pack"); },
    [] { Note("sub objects 2"); },
    [] { Note("items pack"); },
    [] { Note("events pack"); },

    [] { return g_world.selection; },
    [] { Note("selection load"); },
    [] { Note("selection release"); },

    [] { return g_world.overlay; },
    [] { Note("overlay load"); },
    [] { Note("overlay release"); },

    [](int32_t hero) { Note("hero load " + std::to_string(hero)); },
    [] { Note("heroes unload"); },
    [](int32_t hero) { Note("hero sfx " + std::to_string(hero)); },

    [](const CSDevMenu &menu, const char *path) {
        g_world.reportMenu = &menu;
        Note(std::string("report ") + path);
    },

    [] { return g_world.events; },
    [] { Note("anim events unload"); },

    [](int32_t id) { Note("stage " + std::to_string(id)); },
};

std::vector<std::string> Stages()
{
    std::vector<std::string> calls;
    for (int32_t i = 0; i < kDevMenuStageCount; ++i) {
        calls.push_back("stage " + std::to_string(kDevMenuStages[i].id));
        calls.push_back("stage 0");
    }
    return calls;
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> all;
    for (const std::vector<std::string> &part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

const std::vector<std::string> kScreens = {"frontend load", "frontend release", "other screens release",
                                           "lobby load",    "lobby release",    "ui sounds load"};
const std::vector<std::string> kWarning = {"warning load", "warning release"};
const std::vector<std::string> kPacks = {"sub objects 1", "effects pack", "sub objects 2", "items pack",
                                         "events pack"};
const std::vector<std::string> kSelection = {"selection load", "selection release"};
const std::vector<std::string> kOverlay = {"overlay load", "overlay release"};
const std::vector<std::string> kHeroes = {"hero load 0", "heroes unload", "hero sfx 0",
                                          "hero load 1", "heroes unload", "hero sfx 1"};
const std::vector<std::string> kReport = {"report \\CHARSTREAM.TXT"};
const std::vector<std::string> kAnimEvents = {"anim events unload"};

class GameStreamCallOrder : public ::testing::Test {
protected:
    void SetUp() override { g_world = World{}; }
    std::vector<std::string> Run()
    {
        RunGameStream(kRecording, menu);
        return g_world.calls;
    }
    CSDevMenu menu;
};

TEST_F(GameStreamCallOrder, EveryStepInOrderWithEveryObjectPresent)
{
    EXPECT_EQ(Run(), Join({kWarning, kScreens, kPacks, kSelection, kOverlay, kHeroes, kReport, kAnimEvents, Stages()}));
    EXPECT_EQ(g_world.reportMenu, &menu);
    EXPECT_EQ(kDevMenuStageCount, 29);
    EXPECT_EQ(Stages().front(), "stage 2010000");
    EXPECT_EQ(Stages()[Stages().size() - 2], "stage 2420000");
}

TEST_F(GameStreamCallOrder, MissingScreensSkipOnlyTheirOwnSteps)
{
    g_world.warning = false;
    g_world.selection = false;
    g_world.overlay = false;
    EXPECT_EQ(Run(), Join({kScreens, kPacks, kHeroes, kReport, kAnimEvents, Stages()}));

    // Without a screen manager none of the screens' steps runs, even for
    // screen objects said to exist.
    SetUp();
    g_world.screens = false;
    EXPECT_EQ(Run(), Join({kPacks, kHeroes, kReport, kAnimEvents, Stages()}));
}

TEST_F(GameStreamCallOrder, WithoutAStageManagerOnlyTheScreensAndTheReport)
{
    g_world.stage = false;
    EXPECT_EQ(Run(), Join({kWarning, kScreens, kSelection, kOverlay, kReport}));

    SetUp();
    g_world.events = false;
    EXPECT_EQ(Run(), Join({kWarning, kScreens, kPacks, kSelection, kOverlay, kHeroes, kReport, Stages()}));
}

}  // namespace

// ---- The game's table against the running screens on the sample data

namespace game_stream_screens {

// The screens with a sound front-end without a device.
class GameStreamScreens : public uitest::ScreensTest {
protected:
    void SetUp() override
    {
        StartOnSampleData();
        audio.Create(false);
        SetUIAudioForTest(&audio, true);
    }
    void TearDown() override
    {
        uitest::ScreensTest::TearDown();
        SetUIAudioForTest(nullptr, false);
        audio.Release();
    }
    uitest::RecordingLinksScope links;
    CSAudio audio;
};

// Each screen step of the game's table reaches its screen: what it loads is
// there afterwards and what it releases is gone.
TEST_F(GameStreamScreens, TheScreenStepsLoadAndReleaseTheScreensOwnPictures)
{
    const GameStreamCalls &calls = GameStreamCallsOfGame();
    ASSERT_TRUE(calls.hasWarning());
    calls.warningLoadTextures();
    EXPECT_NE(ui->Warning()->picture.texture, nullptr);
    calls.warningReleaseTexture();
    EXPECT_EQ(ui->Warning()->picture.texture, nullptr);
    ASSERT_TRUE(calls.hasScreens());
    calls.loadFrontEndTextures();
    EXPECT_NE(ui->Title()->logoTexture, nullptr);
    calls.releaseFrontEndTextures();
    EXPECT_EQ(ui->Title()->logoTexture, nullptr);
    calls.releaseOtherScreenTextures();
    calls.loadLobbyTextures();
    EXPECT_NE(ui->LobbyArt(), nullptr);
    calls.releaseLobbyTextures();
    EXPECT_EQ(ui->LobbyArt(), nullptr);
    EXPECT_FALSE(ui->UISoundsLoaded());
    calls.loadUiSounds();
    EXPECT_TRUE(ui->UISoundsLoaded());
    ASSERT_TRUE(calls.hasSelection());
    calls.loadCharacterModels();
    ASSERT_NE(ui->SelectCharacter()->Model(1), nullptr);
    EXPECT_NE(ui->SelectCharacter()->Model(1)->clump, nullptr);
    calls.releaseCharacterModels();
    EXPECT_EQ(ui->SelectCharacter()->Model(1), nullptr);
    ASSERT_TRUE(calls.hasOverlay());
    calls.overlayLoadTextures();
    EXPECT_NE(ui->GamePlay()->BaseTexture(), nullptr);
    calls.overlayReleaseTextures();
    EXPECT_EQ(ui->GamePlay()->BaseTexture(), nullptr);
}

}  // namespace game_stream_screens

}  // namespace game_stream_calls_test
