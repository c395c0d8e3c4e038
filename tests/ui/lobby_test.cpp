// The lobby played by script on the sample's pictures: no input until its
// pack is read, the cursor and its trail, the figures as drawn (play time,
// the cleared count), the base map alone while the pack streams, no input
// while a page is pending, the quit box both ways, every page opening and
// closing under the base map with no pack left open, an open page drawn
// alone with nothing of the lobby's over it, a missing pack and a
// picture missing in it, its own pictures kept while it is shown and freed
// when it is left, and the save page closed with it.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/bmp_file.h"
#include "app/pack.h"
#include "tests/app/reference_image.h"
#include "tests/ui/lobby_test_support.h"
#include "ui/lobby_art.h"
#include "ui/lobby_status_page.h"
#include "ui/lobby_store.h"
#include "ui/save_game_panel.h"
#include "ui/stage_select.h"
#include "ui/ui_rect.h"

namespace lobby_test {

namespace {

namespace fs = std::filesystem;

constexpr int64_t kMove = 6600010;
constexpr int64_t kConfirm = 6600060;
constexpr int64_t kBack = 6600050;
constexpr int64_t kQuestion = 6600070;

class Lobby : public lobbytest::LobbyTest {
protected:
    win::Frame Shot() { return DrawFrame([&] { ui->Render(); }); }
};

bool SameFrame(const win::Frame &a, const win::Frame &b) { return a.pixels == b.pixels; }

TEST_F(Lobby, TheMenuTakesNoInputUntilThePackIsRead)
{
    StartLobby("lobby_input");
    Sounds();
    int frames = 0;
    for (; frames < 200; ++frames) {
        Press(0, kPadDown);
        Press(0, kPadCircle);
        Frames(1);
        if (lobby->PicturesRead()) {
            break;  // read at the start of this frame, which then took the presses
        }
        ASSERT_EQ(lobby->CursorEntry(), 0);
        ASSERT_FALSE(lobby->PagePending());
    }
    ASSERT_TRUE(lobby->PicturesRead());
    EXPECT_EQ(lobby->CursorEntry(), 1);
    EXPECT_TRUE(lobby->PagePending());
    // One open, then a 32768-byte read per frame, then the pictures.
    EXPECT_GT(frames, 3);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kMove, kConfirm}));
    EXPECT_NE(lobby->StagePhotos(), nullptr);
    EXPECT_NE(lobby->SlotWords(), nullptr);
}

// While its pack streams the lobby shows the base map and nothing else.
TEST_F(Lobby, UntilItsPackIsReadTheBaseMapAloneIsShown)
{
    StartLobby("lobby_streaming");
    Frames(1);
    ASSERT_FALSE(lobby->PicturesRead());
    const win::Frame baseMap = DrawFrame([&] { DrawPicture(ui->BaseMap(), kUIScreen, {0, 0, 1, 1}); });
    EXPECT_TRUE(SameFrame(Shot(), baseMap));
    WaitForMenu();
    EXPECT_FALSE(SameFrame(Shot(), baseMap));
}

// A chosen entry's page is pending while the base map rises over the menu:
// the menu takes no input meanwhile.
TEST_F(Lobby, WhileAPageIsPendingTheMenuTakesNoInput)
{
    StartLobby("lobby_pending");
    WaitForMenu();
    Sounds();
    Tap(kPadCircle);
    ASSERT_TRUE(lobby->PagePending());
    Tap(kPadDown);
    Tap(kPadCircle);
    EXPECT_EQ(lobby->CursorEntry(), 0);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kConfirm}));
    ASSERT_TRUE(FramesUntil([&] { return lobby->OpenPage() == 1u; }));
}

// The lobby's own pictures live while it is shown: the release of the other
// screens' pictures (the developer's game-stream pass) leaves them and the
// menu working; leaving the lobby frees them, and coming back reads them
// anew before the menu takes input again.
TEST_F(Lobby, ItsPicturesStayWhileItIsShownAndGoWhenItIsLeft)
{
    StartLobby("lobby_pictures");
    WaitForMenu();
    ui->ReleaseOtherUIModuleTexture();
    EXPECT_NE(lobby->StagePhotos(), nullptr);
    EXPECT_NE(lobby->SlotWords(), nullptr);
    Tap(kPadDown);
    EXPECT_EQ(lobby->CursorEntry(), 1);
    Tap(kPadCircle);  // the status page pending as the lobby is left
    ASSERT_TRUE(lobby->PagePending());
    Goto(kUITitle);
    EXPECT_FALSE(lobby->Active());
    EXPECT_EQ(lobby->StagePhotos(), nullptr);
    EXPECT_EQ(lobby->SlotWords(), nullptr);
    ui->ReleaseOtherUIModuleTexture();
    Goto(kUILobby);
    EXPECT_FALSE(lobby->PicturesRead());
    EXPECT_FALSE(lobby->PagePending());
    EXPECT_EQ(lobby->StagePhotos(), nullptr);
    Tap(kPadDown);
    EXPECT_EQ(lobby->CursorEntry(), 0);
    WaitForMenu();
    EXPECT_EQ(lobby->OpenPage(), 0u);
    EXPECT_NE(lobby->StagePhotos(), nullptr);
    EXPECT_NE(lobby->SlotWords(), nullptr);
}

// Left while its save page is open (the hold to the title), the lobby
// closes the page with it: the panel lets go of its pictures and is shut.
TEST_F(Lobby, LeftWithTheSavePageOpenItClosesThePanel)
{
    StartLobby("lobby_left_saving");
    WaitForMenu();
    OpenPage(3);
    CSSaveGame *panel = lobby->SavePanel();
    ASSERT_NE(panel, nullptr);
    ASSERT_EQ(panel->active, 1);
    ASSERT_NE(panel->view.savlod, nullptr);
    Goto(kUITitle);
    EXPECT_EQ(panel->active, 0);
    EXPECT_EQ(panel->view.savlod, nullptr);
}

// Left while its store is open, the lobby closes the store with it: the
// store lets go of its pictures and of its texts.
TEST_F(Lobby, LeftWithTheStoreOpenItClosesTheStore)
{
    StartLobby("lobby_left_in_store");
    WaitForMenu();
    const int blocks = uitest::TextBlocksInUse(gs);
    OpenPage(2);
    CSLobbyStore *store = lobby->Store();
    ASSERT_NE(store, nullptr);
    ASSERT_TRUE(store->Active());
    ASSERT_NE(store->iconSheet, nullptr);
    Goto(kUITitle);
    EXPECT_FALSE(store->Active());
    EXPECT_EQ(store->iconSheet, nullptr);
    EXPECT_EQ(uitest::TextBlocksInUse(gs), blocks);
    // Back in the lobby, its menu shows, not the store.
    Goto(kUILobby);
    EXPECT_EQ(lobby->OpenPage(), 0u);
    WaitForMenu();
    EXPECT_EQ(lobby->OpenPage(), 0u);
}

TEST_F(Lobby, TheCursorStopsAtBothEndsWithOneSoundPerMove)
{
    StartLobby("lobby_ends");
    WaitForMenu();
    Sounds();
    Tap(kPadUp);
    SetButton(0, kPadUp, kPadHeldState);
    Frames(5);
    EXPECT_EQ(lobby->CursorEntry(), 0);
    EXPECT_FALSE(lobby->Cursor().At(0).moving);
    for (int i = 0; i < 5; ++i) {
        Tap(kPadDown);
    }
    EXPECT_EQ(lobby->CursorEntry(), 4);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kMove, kMove, kMove, kMove}));
}

TEST_F(Lobby, EachTrailingCopyLeavesFromThePreviousTarget)
{
    StartLobby("lobby_trail");
    WaitForMenu();
    Tap(kPadDown);
    Frames(2);
    const CursorTrail &trail = lobby->Cursor();
    // The last copy (speed 0.25: 0.8 s for its way) is still near entry 0.
    ASSERT_TRUE(trail.At(5).moving);
    EXPECT_LT(trail.At(5).rect.top, lobby->EntryTarget(0).top + 5.0f);
    Tap(kPadDown);
    for (int k = 0; k < CursorTrail::kCopies; ++k) {
        EXPECT_EQ(trail.At(k).from, 1u) << k;
        EXPECT_EQ(trail.At(k).to, 2u) << k;
    }
    Frames(1);
    // Its way starts at entry 1's square, not where it was drawn.
    const float t = 0.016f / (0.2f / 0.25f);
    const float top1 = lobby->EntryTarget(1).top;
    const float top2 = lobby->EntryTarget(2).top;
    EXPECT_NEAR(trail.At(5).rect.top, top1 + (top2 - top1) * t, 0.01f);
    // The cursor itself ends on entry 2 and stops; the last copy later.
    Frames(13);
    EXPECT_FALSE(trail.At(0).moving);
    EXPECT_FLOAT_EQ(trail.At(0).rect.top, top2);
    EXPECT_TRUE(trail.At(5).moving);
    Frames(40);
    EXPECT_FALSE(trail.At(5).moving);
    EXPECT_FLOAT_EQ(trail.At(5).rect.top, top2);
}

TEST_F(Lobby, APlayTimeBeyondNineHundredAndNinetyNineHoursShowsNineHundredAndNinetyNine)
{
    StartLobby("lobby_hours");
    WaitForMenu();
    // The clock is a 32-bit count of ms: 1193 hours is as far as it goes.
    ui->progress.playTimeMs = 1193u * 3600000u;
    const win::Frame many = Shot();
    ui->progress.playTimeMs = 999u * 3600000u;
    const win::Frame most = Shot();
    ui->progress.playTimeMs = 998u * 3600000u;
    const win::Frame fewer = Shot();
    EXPECT_TRUE(SameFrame(many, most));
    EXPECT_FALSE(SameFrame(most, fewer));
}

TEST_F(Lobby, TheClearedFigureCountsEveryNonZeroByte)
{
    StartLobby("lobby_cleared");
    WaitForMenu();
    const uint8_t mixed[5] = {1, 7, 0, 255, 2};
    for (int i = 0; i < 5; ++i) {
        ui->progress.cleared[i] = mixed[i];
    }
    const win::Frame odd = Shot();
    const uint8_t ones[5] = {1, 1, 1, 1, 0};
    for (int i = 0; i < 5; ++i) {
        ui->progress.cleared[i] = ones[i];
    }
    const win::Frame four = Shot();
    ui->progress.cleared[3] = 0;
    const win::Frame three = Shot();
    EXPECT_TRUE(SameFrame(odd, four));
    EXPECT_FALSE(SameFrame(four, three));
}

// With no hero on the stage the menu shows the carried hero block's: its
// portrait and name plate as the stage's hero of that type would show them.
TEST_F(Lobby, WithoutAHeroOnTheStageTheCarriedHeroIsShown)
{
    StartLobby("lobby_carried_hero");
    WaitForMenu();
    // The block carries the figures the stage's hero shows.
    const auto carry = [&](int32_t type) {
        hero.aiType = type;
        ui->heroBlock.heroType = type;
        ui->heroBlock.maxHP = hero.GetMaxHP();
        ui->heroBlock.maxPower = hero.GetMaxPower();
        ui->heroBlock.money = hero.money;
    };
    carry(0);
    const win::Frame first = Shot();
    carry(1);
    const win::Frame second = Shot();
    uitest::Links().hero = nullptr;
    const win::Frame carriedSecond = Shot();
    carry(0);
    const win::Frame carriedFirst = Shot();
    EXPECT_FALSE(SameFrame(first, second));
    EXPECT_TRUE(SameFrame(carriedFirst, first));
    EXPECT_TRUE(SameFrame(carriedSecond, second));
}

TEST_F(Lobby, NoInTheQuitBoxReturnsToTheMenuOnTheLastEntry)
{
    StartLobby("lobby_quit_no");
    WaitForMenu();
    for (int i = 0; i < 4; ++i) {
        Tap(kPadDown);
    }
    Sounds();
    Tap(kPadCircle);
    ASSERT_TRUE(ui->IsModalBoxOpen());
    EXPECT_EQ(lobby->OpenPage(), CSLobby::kQuitBox);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kQuestion}));
    Tap(kPadCircle);  // the box starts on "no"
    EXPECT_FALSE(ui->IsModalBoxOpen());
    EXPECT_EQ(lobby->OpenPage(), CSLobby::kMenu);
    EXPECT_EQ(lobby->CursorEntry(), 4);
    EXPECT_TRUE(lobby->Active());
    EXPECT_FALSE(gs.StageExitRequested());
    // The menu goes on.
    Tap(kPadUp);
    EXPECT_EQ(lobby->CursorEntry(), 3);
}

// Left and right each move between the answers with one move sound (a
// sound played once, not to repeat); cross answers "no" whatever is chosen.
TEST_F(Lobby, TheQuitBoxsAnswersTurnBothWaysAndCrossSaysNo)
{
    StartLobby("lobby_quit_turn");
    WaitForMenu();
    for (int i = 0; i < 4; ++i) {
        Tap(kPadDown);
    }
    Tap(kPadCircle);
    ASSERT_TRUE(ui->IsModalBoxOpen());
    Sounds();
    EXPECT_EQ(ui->ModalChoice(), 0);
    Tap(kPadLeft);
    EXPECT_EQ(ui->ModalChoice(), 1);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kMove}));
    Tap(kPadRight);
    EXPECT_EQ(ui->ModalChoice(), 0);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kMove}));
    Tap(kPadRight);
    EXPECT_EQ(ui->ModalChoice(), 1);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kMove}));
    Tap(kPadCross);  // "yes" is chosen, but cross is "no"
    EXPECT_FALSE(ui->IsModalBoxOpen());
    EXPECT_EQ(ui->ModalChoice(), 0);
    EXPECT_EQ(lobby->OpenPage(), CSLobby::kMenu);
    EXPECT_TRUE(lobby->Active());
    EXPECT_FALSE(gs.StageExitRequested());
}

TEST_F(Lobby, YesInTheQuitBoxLeavesForTheTitleShowingTheBaseMapAlone)
{
    StartLobby("lobby_quit_yes");
    WaitForMenu();
    for (int i = 0; i < 4; ++i) {
        Tap(kPadDown);
    }
    Tap(kPadCircle);
    Tap(kPadLeft);
    Tap(kPadCircle);
    EXPECT_FALSE(ui->IsModalBoxOpen());
    EXPECT_FALSE(lobby->Active());
    EXPECT_TRUE(gs.StageExitRequested());
    // Until the title takes over: the base map over the whole screen.
    const win::Frame frame = Shot();
    ui->StartBaseMapReveal();
    const win::Frame baseMap = DrawFrame([&] {
        UIQuad quad;
        SetQuadPositions(quad.v, 0, 0, 640, 480);
        SetQuadUVs(quad.v, 0, 0, 1, 1);
        SetQuadArgb(quad.v, 0xFFF0F0F0u);
        DrawUIQuad(quad, ui->BaseMap());
    });
    EXPECT_TRUE(SameFrame(frame, baseMap));
}

TEST_F(Lobby, EveryPageOpensAndClosesUnderTheBaseMap)
{
    StartLobby("lobby_pages");
    WaitForMenu();
    EXPECT_FALSE(zuIsPackOpen()) << zuGetOpenPackPath();
    for (int32_t entry = 0; entry < 4; ++entry) {
        SCOPED_TRACE(entry);
        while (lobby->CursorEntry() < entry) {
            Tap(kPadDown);
        }
        Sounds();
        Tap(kPadCircle);
        EXPECT_EQ(Sounds(), (std::vector<int64_t>{kConfirm}));
        // The base map rises over 500 ms before the page opens.
        ASSERT_TRUE(ui->IsBaseMapCovering());
        Frames(30);
        EXPECT_EQ(lobby->OpenPage(), CSLobby::kMenu);
        ASSERT_TRUE(FramesUntil([&] { return lobby->OpenPage() == static_cast<uint32_t>(entry + 1); }, 5));
        // The page opens revealing itself; back, once it takes input.
        EXPECT_TRUE(ui->IsBaseMapRevealing());
        if (entry == 0) {
            ASSERT_TRUE(FramesUntil([&] { return lobby->StageSelect()->PicturesRead(); }));
        }
        // Each page's pictures read, their pack is closed again.
        EXPECT_FALSE(zuIsPackOpen()) << zuGetOpenPackPath();
        Sounds();
        Tap(kPadCross);
        EXPECT_EQ(Sounds(), (std::vector<int64_t>{kBack}));
        ASSERT_TRUE(ui->IsBaseMapCovering());
        ASSERT_TRUE(FramesUntil([&] { return lobby->OpenPage() == CSLobby::kMenu; }, 80));
        EXPECT_TRUE(ui->IsBaseMapRevealing());
        EXPECT_EQ(lobby->CursorEntry(), entry);
        ASSERT_TRUE(FramesUntil([&] { return !ui->IsBaseMapRevealing(); }));
    }
}

// An open page is all that is drawn: the lobby shows nothing of its own
// over or under it (the status page alone stands on the base map).
TEST_F(Lobby, AnOpenPageIsDrawnAloneOnTheScreen)
{
    StartLobby("lobby_page_alone");
    WaitForMenu();
    const auto baseMap = [&] { DrawPicture(ui->BaseMap(), kUIScreen, {0, 0, 1, 1}); };
    const std::function<void()> pages[4] = {
        [&] { lobby->StageSelect()->Render(); },
        [&] {
            baseMap();
            lobby->StatusPage()->Render();
        },
        [&] { lobby->Store()->Render(); },
        [&] { lobby->SavePanel()->Render(); },
    };
    for (int32_t entry = 0; entry < 4; ++entry) {
        SCOPED_TRACE(entry);
        OpenPage(entry);
        ASSERT_TRUE(FramesUntil([&] { return !ui->IsBaseMapRevealing(); }));
        if (entry == 0) {
            ASSERT_TRUE(FramesUntil([&] { return lobby->StageSelect()->PicturesRead(); }));
        }
        const win::Frame page = DrawFrame(pages[entry]);
        EXPECT_TRUE(SameFrame(Shot(), page));
        EXPECT_FALSE(SameFrame(page, DrawFrame(baseMap)));
        Tap(kPadCross);
        ASSERT_TRUE(FramesUntil([&] { return lobby->OpenPage() == CSLobby::kMenu; }, 80));
        ASSERT_TRUE(FramesUntil([&] { return !ui->IsBaseMapRevealing(); }));
    }
}

TEST_F(Lobby, AMissingPackRaisesTheFatalMessageOnceAndTheMenuTakesNoInput)
{
    StartLobby("lobby_no_pack", [](const std::string &root) {
        lobbytest::OwnInterfacePacks(root);
        fs::remove(root + "/PACK/UI0/UILOBBY.STR");
    });
    Frames(60);
    ASSERT_EQ(apptest::FatalRecorder::Names().size(), 1u);
    EXPECT_NE(apptest::FatalRecorder::Names()[0].find("UILOBBY.STR"), std::string::npos);
    EXPECT_FALSE(lobby->PicturesRead());
    Tap(kPadDown);
    Tap(kPadCircle);
    EXPECT_EQ(lobby->CursorEntry(), 0);
    EXPECT_FALSE(lobby->PagePending());
}

TEST_F(Lobby, APictureMissingInsideThePackDrawsUntexturedAndTheMenuWorks)
{
    StartLobby("lobby_no_words", [this](const std::string &root) {
        // The front end's copy of SLWORD would be found by its name.
        ui->ReleaseFrontEndTextures();
        lobbytest::RewriteOwnPack(root, "UILOBBY",
                                  [](const std::string &file) { return file.find("SLWORD") == std::string::npos; });
    });
    WaitForMenu();
    EXPECT_TRUE(apptest::FatalRecorder::Names().empty());
    EXPECT_EQ(lobby->SlotWords(), nullptr);
    EXPECT_NE(lobby->StagePhotos(), nullptr);
    Shot();
    Tap(kPadDown);
    EXPECT_EQ(lobby->CursorEntry(), 1);
}

// The menu as it is seen: hero 0 with 4321 in money after stages 1 and 2,
// 1:02:03 played, the cursor on the second entry, then hero 1 in his place;
// in language 0 the menu's entries, the name plates and the labels take
// their own pictures and places.
class LobbyShot : public Lobby, public ::testing::WithParamInterface<int32_t> {};

TEST_P(LobbyShot, TheMenuAsItIsSeen)
{
    StartLobby(GetParam() == 0 ? "lobby_shot_chi" : "lobby_shot", GetParam());
    hero.hpLevel = 2;
    hero.powerLevel = 1;
    hero.money = 4321;
    ui->progress.playTimeMs = 3723000;  // 1:02:03
    ui->progress.cleared[1] = 1;
    ui->SetLastStageId(2020000);
    WaitForMenu();
    Tap(kPadDown);
    Frames(3);
    ExpectShot(GetParam() == 0 ? "lobby_menu_chi" : "lobby_menu");
    // Hero 1 shows his own portrait and name plate.
    hero.aiType = 1;
    Frames(1);
    ExpectShot(GetParam() == 0 ? "lobby_menu_hero1_chi" : "lobby_menu_hero1");
}

INSTANTIATE_TEST_SUITE_P(Languages, LobbyShot, ::testing::Values(1, 0),
                         [](const ::testing::TestParamInfo<int32_t> &info) {
                             return "Language" + std::to_string(info.param);
                         });

}  // namespace

}  // namespace lobby_test
