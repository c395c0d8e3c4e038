// The pause menu's pictures against reviewed references: the menu at rest
// on resume, with its cursor on its way to the status entry (and the same in language 2, which shows the
// language-1 pictures, and in language 0 with its own), the status page's three tabs in the pause menu and
// in the lobby's mode (the equipment tab there in its slot choice), the
// stage map with two heroes' markers, and a waving map of the last stages.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/bmp_file.h"
#include "app/reference_image.h"
#include "tests/ui/pause_support.h"

namespace pause_pixels_test {

namespace {

using uitest::Links;

class PausePixels : public pausetest::PauseTest {
protected:
    void TearDown() override
    {
        lobbyPage.Release();
        PauseTest::TearDown();
    }
    // The hero as the pictures show him: the sample game's things.
    void Equip()
    {
        for (int32_t id : {5100160, 5100170, 5100010, 5100020, 5100030}) {
            Own(id);
        }
        Own(5300000, 3);
        Own(5300020, 2);
        Own(5300060, 2);
        Own(100054, 12, 0);
        Wear(5100160, kHeroWeaponSlot);
        Wear(5100010, 0);
        hero->SetAbilityFlag(3, 1);
        hero->money = 1500;
        hero->stageMoney = 40;
        hero->hp = 1700;
        hero->power = 120;
        Links().itemSheet = Overlay() != nullptr ? Overlay()->IconSheet(0) : nullptr;
    }
    void EnterMenu(int32_t language = 1)
    {
        Begin(std::string(), language);
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        EnterOverlay();
        Equip();
        ui->OpenPauseMenu(0);
    }
    CSPauseMenu *Menu() const { return Overlay()->PauseMenu(); }
    void Expect(const win::Frame &frame, const std::string &name)
    {
        const std::string dir = apptest::ScratchFolder(name);
        const std::string shot = dir + "/" + name + ".bmp";
        ASSERT_TRUE(apptest::WriteBmp(shot, static_cast<int32_t>(frame.width), static_cast<int32_t>(frame.height),
                                      frame.pixels));
        const std::string reference = std::string(RW_TEST_SOURCE_DIR) + "/tests/ui/reference/" + name + ".bmp";
        ASSERT_TRUE(std::filesystem::exists(reference)) << "no reference; the shot is " << shot;
        apptest::ReferenceTolerance tolerance;
        if (name.rfind("status_", 0) == 0) {
            tolerance.strays = {apptest::kStatFrameTopRowStray};
        }
        apptest::ExpectLikeReference(shot, reference, dir + "/" + name + "_difference.bmp", tolerance);
        if (!HasFailure()) {
            std::filesystem::remove_all(dir);
        }
    }
    win::Frame Screen() { return DrawFrame([&] { ui->Render(); }, RwRGBA{30, 40, 60, 255}); }
    // The status page of the menu, its pictures read and faded in.
    void OpenStatus()
    {
        Tap(kPadDown);
        Updates(14);
        Tap(kPadCircle);
        Updates(1);
        for (int i = 0; i < 200 && !Menu()->StatusPage()->WeaponFadeDone(); ++i) {
            Updates(1);
        }
        Updates(40);
    }
    // The map entry (two up from resume), its page shown once revealed.
    void OpenMap()
    {
        Tap(kPadUp);
        Updates(1);
        Tap(kPadUp);
        Updates(14);
        Tap(kPadCircle);
        Updates(40);
    }
    void Tab(PadButton key)
    {
        Tap(key);
        Updates(1);
        Updates(30);
    }

    CSCharacterPage lobbyPage;
};

TEST_F(PausePixels, TheMenu)
{
    EnterMenu();
    ASSERT_FALSE(HasFatalFailure());
    // At rest on resume only the faintest copy of each trail is drawn.
    Updates(1);
    Expect(Screen(), "pause_menu_rest");
    Tap(kPadDown);
    Updates(8);  // the trail on its way
    Expect(Screen(), "pause_menu");
}

TEST_F(PausePixels, TheMenuInLanguageTwoShowsTheLanguageOnePictures)
{
    EnterMenu(2);
    ASSERT_FALSE(HasFatalFailure());
    Tap(kPadDown);
    Updates(8);
    Expect(Screen(), "pause_menu");
}

// Language 0 has its own title and entry pictures, placed apart.
TEST_F(PausePixels, TheMenuInLanguageZero)
{
    EnterMenu(0);
    ASSERT_FALSE(HasFatalFailure());
    Tap(kPadDown);
    Updates(8);
    Expect(Screen(), "pause_menu_chi");
}

TEST_F(PausePixels, TheStatusPagesTabsInThePauseMenu)
{
    EnterMenu();
    ASSERT_FALSE(HasFatalFailure());
    OpenStatus();
    Expect(Screen(), "status_items_pause");
    Tab(kPadRight);
    Tap(kPadDown);
    Updates(2);
    Expect(Screen(), "status_equipment_pause");
    Tab(kPadRight);
    Tap(kPadDown);
    Updates(1);
    Updates(3);
    Expect(Screen(), "status_skills_pause");
}

TEST_F(PausePixels, TheStatusPagesTabsInTheLobby)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    Equip();
    ui->LoadLobbyTextures(nullptr);
    lobbyPage.Init(kStatusPageLobbyMode);
    lobbyPage.SetBackground(ui->MapBase());
    lobbyPage.SetActive(1);
    auto step = [&](int count) {
        for (int i = 0; i < count; ++i) {
            lobbyPage.Update(0.016f);
            ReleasePads();
        }
    };
    auto frame = [&] {
        return DrawFrame([&] { lobbyPage.Render(); }, RwRGBA{30, 40, 60, 255});
    };
    for (int i = 0; i < 200 && !lobbyPage.WeaponFadeDone(); ++i) {
        step(1);
    }
    step(40);
    Expect(frame(), "status_items_lobby");
    Tap(kPadRight);
    step(1);
    for (int i = 0; i < 4; ++i) {
        Tap(kPadDown);
        step(1);
    }
    Tap(kPadCircle);  // the helm: the slot choice
    step(1);
    step(20);
    Expect(frame(), "status_equipment_lobby");
    Tap(kPadCross);
    step(1);
    Tap(kPadRight);
    step(1);
    Tap(kPadTriangle);  // the first skill's description
    step(1);
    Expect(frame(), "status_skills_lobby");
}

TEST_F(PausePixels, TheStageMapWithTwoHeroes)
{
    EnterMenu();
    ASSERT_FALSE(HasFatalFailure());
    CSHero *second = AddHero();
    hero->position = {-669.461f, 0.0f, -180.311f};  // point B: the top left
    hero->at = {1.0f, 0.0f, 0.0f};
    second->position = {37.0f, 0.0f, 350.0f};  // the middle
    second->at = {0.0f, 0.0f, -1.0f};
    OpenMap();
    Expect(Screen(), "stage_map_markers");
}

TEST_F(PausePixels, TheLastStagesMapWaves)
{
    EnterMenu();
    ASSERT_FALSE(HasFatalFailure());
    Links().stageId = 2410000;
    OpenMap();
    Expect(Screen(), "stage_map_wave");
}

}  // namespace

}  // namespace pause_pixels_test
