// The overlay as screen 13, frame by frame with pads pressed as a script
// would: its pictures and a panel per hero on activation, start skipping a
// running scene rather than pausing (else the pause menu opens), start only
// in the camera modes of play, a colour fade holding start and the item
// keys, each panel on its own hero's pad, the stage clock held while a
// movie plays or the pause menu is open, and a defeat asking once for the
// game-over change, after which only the bars move; and a data tree without
// BASE.BMP and five of the six icon sheets.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/bmp_file.h"
#include "app/game_system.h"
#include "tests/ui/overlay_support.h"
#include "ui/pause_menu.h"

namespace overlay_screen_test {

namespace {

using uitest::Links;

class OverlayScreenTest : public uitest::OverlayHeroTest {
protected:
    void SetUp() override
    {
        OverlayHeroTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        Links().stageId = 2010000;
        EnterOverlay();
    }
    // One frame of the manager with the pads as pressed, then let go.
    void Frame() { Updates(1); }
    // The overlay entered again with a second hero, who plays on `pad`.
    void EnterWithASecondHeroOnPad(int32_t pad)
    {
        AddHero()->padIndex = pad;
        ui->RequestModule(14);
        Frame();
        EnterOverlay();
        ASSERT_EQ(Overlay()->PanelCount(), 2);
    }
    // The pause menu a start opened closed again, so that the overlay reads
    // the pads once more.
    void ClosePause()
    {
        if (CSPauseMenu *menu = Overlay()->PauseMenu()) {
            menu->Close();
        }
    }
    int StageChanges() const
    {
        int count = 0;
        for (const std::string &line : Links().log) {
            count += line.rfind("stage change", 0) == 0 ? 1 : 0;
        }
        return count;
    }
};

TEST_F(OverlayScreenTest, ActivationLoadsThePicturesAndAPanelPerHero)
{
    CSGamePlay *overlay = Overlay();
    ASSERT_EQ(overlay->active, 1);
    EXPECT_EQ(overlay->PanelCount(), 1);
    EXPECT_NE(overlay->BaseTexture(), nullptr);
    for (int i = 0; i < kHudIconSheets; ++i) {
        EXPECT_NE(overlay->IconSheet(i), nullptr) << i;
    }
    EXPECT_EQ(overlay->GetHudTexture(), ui->PlayerArt());
    EXPECT_EQ(ui->GetHudTexture(), ui->PlayerArt());
    EXPECT_FALSE(overlay->BossGauge()->Enabled());  // stage 1 has no gauge
    EXPECT_EQ(overlay->Panel(0)->hero, hero);
    EXPECT_TRUE(overlay->Panel(0)->Enabled());
    // A stage load reads the heroes again.
    hero->hp = 1234;
    ui->ResetStageHUD();
    EXPECT_EQ(overlay->Panel(0)->Life(), 1234);
    // Leaving gives everything back; coming again makes it anew.
    ui->RequestModule(14);
    Frame();
    EXPECT_EQ(overlay->PanelCount(), 0);
    EXPECT_EQ(overlay->BaseTexture(), nullptr);
    EXPECT_EQ(overlay->ItemPopup(), nullptr);
    EnterOverlay();
    EXPECT_EQ(overlay->PanelCount(), 1);
}

TEST_F(OverlayScreenTest, StartDuringAScenesSkipsItAndDoesNotPause)
{
    Links().sceneRunning = true;
    Press(0, kPadStart);
    Frame();
    EXPECT_EQ(Links().log.back(), "skip scene");
    EXPECT_TRUE(PauseRequests().empty());
    // The mouse skips a scene too, but never opens the pause menu.
    Links().sceneRunning = true;
    SetButton(0, kPadCross, kPadUpState);
    MouseButtonState = 1;
    Frame();
    EXPECT_FALSE(Links().sceneRunning);
    MouseButtonState = 1;
    Frame();
    EXPECT_TRUE(PauseRequests().empty());
    // No scene: start asks for the pause menu at the panel's player index,
    // and it opens.
    Press(0, kPadStart);
    Frame();
    EXPECT_EQ(PauseRequests(), (std::vector<int64_t>{0}));
    EXPECT_EQ(ui->IsPauseMenuOpen(), 1);
}

TEST_F(OverlayScreenTest, StartPausesOnlyInTheCameraModesOfPlay)
{
    for (int32_t mode = 0; mode <= 8; ++mode) {
        Links().cameraMode = mode;
        Press(0, kPadStart);
        Frame();
        const bool asked = !PauseRequests().empty();
        EXPECT_EQ(asked, mode == 0 || mode == 3 || mode == 7 || mode == 8) << mode;
        EXPECT_EQ(ui->IsPauseMenuOpen(), asked ? 1 : 0) << mode;
        ClosePause();
    }
}

TEST_F(OverlayScreenTest, AColourFadeHoldsStartAndTheItemKeys)
{
    ASSERT_TRUE(items.AddItem(1, 5300000));
    ASSERT_TRUE(items.AddItem(1, 5300010));
    Frame();
    Sounds();
    ui->StartFade(0, 1000);
    Press(0, kPadStart);
    Frame();
    Press(0, kPadL2);
    Frame();
    EXPECT_TRUE(PauseRequests().empty());
    EXPECT_TRUE(Sounds().empty());
    EXPECT_EQ(Overlay()->Panel(0)->ItemId(), 5300000);
    // Once the fade has run out they act again.
    Updates(80);
    ASSERT_FALSE(ui->IsFadeRunning());
    Press(0, kPadL2);
    Frame();
    Frame();
    EXPECT_EQ(Overlay()->Panel(0)->ItemId(), 5300010);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600010}));
}

TEST_F(OverlayScreenTest, WithTwoHeroesEachPanelReadsItsOwnHerosPad)
{
    EnterWithASecondHeroOnPad(2);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(Overlay()->Panel(1)->PadNumber(), 2);
    ASSERT_TRUE(items.AddItem(2, 5300000));
    ASSERT_TRUE(items.AddItem(2, 5300060));
    ASSERT_TRUE(items.AddItem(1, 5300010));
    ASSERT_TRUE(items.AddItem(1, 5300020));
    Frame();
    // Pad 1 belongs to nobody.
    Press(1, kPadStart);
    Press(1, kPadL2);
    Frame();
    EXPECT_TRUE(PauseRequests().empty());
    // The second hero's pad: its start asks at index 1, its l2 steps list 2.
    Press(2, kPadStart);
    Press(2, kPadL2);
    Frame();
    Frame();
    EXPECT_EQ(PauseRequests(), (std::vector<int64_t>{1}));
    EXPECT_EQ(Overlay()->Panel(1)->ItemId(), 5300060);
    EXPECT_EQ(Overlay()->Panel(0)->ItemId(), 5300010);
    ClosePause();
    Press(0, kPadStart);
    Frame();
    EXPECT_EQ(PauseRequests(), (std::vector<int64_t>{0}));
}

// A stage loaded without the second hero leaves his panel with no hero: it
// reads the first pad, so neither his old pad nor a pad nobody holds pauses.
TEST_F(OverlayScreenTest, APanelLeftWithoutItsHeroByAStageLoadHearsNoOtherPad)
{
    EnterWithASecondHeroOnPad(2);
    ASSERT_FALSE(HasFatalFailure());
    Links().heroes.pop_back();
    ui->ResetStageHUD();
    EXPECT_EQ(Overlay()->Panel(1)->hero, nullptr);
    EXPECT_EQ(Overlay()->Panel(1)->PadNumber(), 0);
    for (int pad : {1, 2, 3}) {
        Press(pad, kPadStart);
        Frame();
        EXPECT_TRUE(PauseRequests().empty()) << pad;
        EXPECT_EQ(ui->IsPauseMenuOpen(), 0) << pad;
    }
    Press(0, kPadStart);
    Frame();
    EXPECT_EQ(ui->IsPauseMenuOpen(), 1);
}

TEST_F(OverlayScreenTest, TheStageClockStandsWhileAMoviePlaysOrThePauseMenuIsOpen)
{
    const uint32_t before = ui->GetStageTime();
    Frame();
    EXPECT_EQ(ui->GetStageTime(), before + 16);
    SetFrameMs(40);
    Links().moviePlaying = true;
    Updates(5);
    EXPECT_EQ(ui->GetStageTime(), before + 16);
    Links().moviePlaying = false;
    Frame();
    EXPECT_EQ(ui->GetStageTime(), before + 56);
    // It stands while the pause menu is open too, and the heroes' pads are
    // the menu's then: the quick-item key does nothing.
    ASSERT_TRUE(items.AddItem(1, 5300000));
    ASSERT_TRUE(items.AddItem(1, 5300010));
    Frame();
    Press(0, kPadStart);
    Frame();
    ASSERT_EQ(ui->IsPauseMenuOpen(), 1);
    const uint32_t paused = ui->GetStageTime();
    Press(0, kPadL2);
    Updates(5);
    EXPECT_EQ(ui->GetStageTime(), paused);
    EXPECT_EQ(Overlay()->Panel(0)->ItemId(), 5300000);
}

TEST_F(OverlayScreenTest, ADefeatAsksOnceForGameOverThenOnlyTheBarsMove)
{
    hero->hp = 600;
    Frame();
    CSPlayerHUD *panel = Overlay()->Panel(0);
    ASSERT_TRUE(panel->TrailRunning());
    const int32_t trailAtDefeat = panel->Trail();
    hero->defeated = true;
    Frame();
    EXPECT_TRUE(Overlay()->GameOver());
    EXPECT_EQ(Links().log.back(), "stage change -1 1 2000");
    const uint32_t clock = ui->GetStageTime();
    ui->ShowItemPopup(1, 5300000);
    Press(0, kPadStart);
    Updates(20);
    EXPECT_EQ(StageChanges(), 1);
    EXPECT_EQ(ui->GetStageTime(), clock);
    EXPECT_TRUE(PauseRequests().empty());
    EXPECT_EQ(Overlay()->ItemPopup()->Seconds(), 0.0f);  // the popup stands still
    // The trail kept draining toward the life it had.
    EXPECT_LT(panel->Trail(), trailAtDefeat);
    // A life change now is not read.
    hero->hp = 1900;
    Frame();
    EXPECT_EQ(panel->Life(), 600);
    // Coming back to the overlay clears the defeat.
    ui->RequestModule(14);
    Frame();
    hero->defeated = false;
    EnterOverlay();
    EXPECT_FALSE(Overlay()->GameOver());
}

TEST_F(OverlayScreenTest, TheGamesLinksSkipNothingWithoutAnEventManager)
{
    const UILinks game = GameUILinks();
    EXPECT_FALSE(game.sceneRunning());
    game.skipScene();
    EXPECT_EQ(game.heroCount(), 0);
    EXPECT_EQ(game.hero(0), nullptr);
    EXPECT_EQ(game.items(), nullptr);
    EXPECT_EQ(game.itemSheet(0), nullptr);
    EXPECT_EQ(game.firstActor(), nullptr);
}

// The pause menu finds the overlay's pictures through the global pointer:
// it follows the overlay made last, and an overlay gone leaves it pointing
// at no freed one.
TEST(OverlayGlobal, ThePointerFollowsTheLatestOverlayAndGoesWithIt)
{
    ASSERT_EQ(g_pGamePlay, nullptr);
    auto first = std::make_unique<CSGamePlay>();
    EXPECT_EQ(g_pGamePlay, first.get());
    auto second = std::make_unique<CSGamePlay>();
    EXPECT_EQ(g_pGamePlay, second.get());
    first.reset();
    EXPECT_EQ(g_pGamePlay, second.get());
    second.reset();
    EXPECT_EQ(g_pGamePlay, nullptr);
}

}  // namespace

namespace {

// A data tree with the common pictures, the font, a GAMEPLAY pack without
// BASE.BMP and only the first icon sheet.
class OverlayMissingFiles : public uitest::ScreensTest {
protected:
    void SetUp() override
    {
        if (!apptest::HaveSampleData()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
        namespace fs = std::filesystem;
        root = apptest::ScratchFolder("overlay_missing_files");
        const fs::path from(apptest::SampleData());
        for (const char *file : {"PACK/UI0/COMMON.LST", "PACK/UI0/COMMON.STR", "PACK/UI0/GAMEPLAY.LST",
                                 "PACK/UI0/GAMEPLAY.STR", "RESOURCE/FONT/ENGFONT.XBF",
                                 "RESOURCE/ITEM/TEXTURES/001.BMP", "RESOURCE/ITEM/TEXTURES/001A.BMP"}) {
            fs::create_directories((fs::path(root) / file).parent_path());
            fs::copy_file(from / file, fs::path(root) / file);
        }
        uitest::RewriteInterfacePack(root, "GAMEPLAY", [](const std::string &) { return false; });
        Start(root);
        ASSERT_TRUE(gs.LoadFont());
        ui->LoadCommonTextures();
        templates.params = mkdata::SampleCharacterParams("HERO01");
        hero.modelTemplate = &templates;
        hero.hp = hero.GetMaxHP();
        uitest::Links().heroes = {&hero};
        ItemTables tables;
        tables.items = {{5300000, kItemTypeRecover, 9, 5}, {5300010, kItemTypeRecover, 9, 21}};
        items.SetTables(tables);
        uitest::Links().items = &items;
    }
    void TearDown() override
    {
        ScreensTest::TearDown();
        if (!HasFailure()) {
            std::filesystem::remove_all(root);
        }
    }
    // The middle of the quick item's picture as drawn.
    uint32_t IconPixel()
    {
        const win::Frame frame = DrawFrame([&] { ui->Render(); }, RwRGBA{0, 0, 0, 255});
        return frame.pixels[static_cast<size_t>(62 * frame.width + 64)] & 0xFFFFFFu;
    }

    std::string root;
    uitest::RecordingLinksScope links;
    CSModelTemplate templates;
    CSHero hero;
    CSItemManager items;
};

TEST_F(OverlayMissingFiles, TheOverlayRunsWithNullPicturesAndDrawsTheirCellsUntextured)
{
    ui->RequestModule(13);
    ui->Update(16);
    CSGamePlay *overlay = ui->GamePlay();
    ASSERT_EQ(overlay->active, 1);
    EXPECT_EQ(overlay->BaseTexture(), nullptr);
    EXPECT_NE(overlay->IconSheet(0), nullptr);
    for (int sheet = 1; sheet < kHudIconSheets; ++sheet) {
        EXPECT_EQ(overlay->IconSheet(sheet), nullptr) << sheet;
    }
    EXPECT_TRUE(apptest::FatalRecorder::Names().empty());
    // Icon 5 on the first sheet is textured; icon 21 on the missing second
    // sheet is its cell in the quad's own colour, grey 240.
    ASSERT_TRUE(items.AddItem(1, 5300000));
    ui->Update(16);
    EXPECT_NE(IconPixel(), 0xF0F0F0u);
    items.RemoveItem(1, 5300000);
    ASSERT_TRUE(items.AddItem(1, 5300010));
    ui->Update(16);
    EXPECT_EQ(IconPixel(), 0xF0F0F0u);
}

}  // namespace

}  // namespace overlay_screen_test
