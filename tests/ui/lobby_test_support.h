// Support for the lobby's tests: a linked tree (save_test_support.h) whose
// interface packs are a folder of the test's own, so that a test can take
// a pack away or write its own; and the screens' fixture in the lobby, with
// a first hero on the recording links, frames that step the base-map fade
// as the game's drawing does, and a clock the test moves.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "actor/hero.h"
#include "app/bmp_file.h"
#include "app/clock.h"
#include "tests/app/reference_image.h"
#include "tests/ui/save_test_support.h"
#include "ui/lobby_screen.h"
#include "ui/stage_select.h"

namespace lobbytest {

namespace fs = std::filesystem;

// Turns the linked folder `relative` of the tree into a folder of links to
// its entries, so that entries can be removed or replaced.
inline void OwnFolder(const std::string &root, const std::string &relative)
{
    const fs::path folder = fs::path(root) / relative;
    const fs::path target = fs::read_symlink(folder);
    fs::remove(folder);
    fs::create_directory(folder);
    for (const fs::directory_entry &entry : fs::directory_iterator(target)) {
        const fs::path link = folder / entry.path().filename();
        if (entry.is_directory()) {
            fs::create_directory_symlink(entry.path(), link);
        } else {
            fs::create_symlink(entry.path(), link);
        }
    }
}

// The tree's PACK/UI0 as a folder of its own.
inline void OwnInterfacePacks(const std::string &root)
{
    OwnFolder(root, "PACK");
    OwnFolder(root, "PACK/UI0");
}

// The interface pack `name` rewritten in the tree's own PACK/UI0 with the
// files `keep` keeps (a copy: the sample's stays as it is).
inline void RewriteOwnPack(const std::string &root, const std::string &name, bool (*keep)(const std::string &file))
{
    OwnInterfacePacks(root);
    for (const char *extension : {".STR", ".LST"}) {
        const fs::path link = fs::path(root) / "PACK/UI0" / (name + extension);
        const fs::path target = fs::read_symlink(link);
        fs::remove(link);
        fs::copy_file(target, link);
    }
    uitest::RewriteInterfacePack(root, name, keep);
}

// A clock the test sets: timeGetTime answers `now`.
struct TestClock {
    uint32_t now = 1000;

    void Install()
    {
        UseTestClock([](void *self) { return static_cast<TestClock *>(self)->now; },
                     [](uint32_t ms, void *self) { static_cast<TestClock *>(self)->now += ms; }, this);
    }
    ~TestClock() { UseTestClock(nullptr, nullptr, nullptr); }
};

class LobbyTest : public savetest::SaveScreensTest {
protected:
    // The screens on the tree `name` with hero 0 as the first hero, at the
    // lobby (its textures loaded as the stage end loads them). `prepare`
    // runs on the tree before the lobby opens.
    template <typename Prepare>
    void StartLobby(const std::string &name, Prepare prepare, int32_t language = 1)
    {
        StartOn(name, false, language);
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        prepare(root);
        hero.aiType = 0;
        hero.money = 2500;
        uitest::Links().hero = &hero;
        ui->progress.cleared[0] = 1;
        ui->LoadLobbyTextures(nullptr);
        Goto(kUILobby);
        lobby = ui->Lobby();
        ASSERT_NE(lobby, nullptr);
        ASSERT_TRUE(lobby->Active());
    }
    void StartLobby(const std::string &name, int32_t language = 1)
    {
        StartLobby(name, [](const std::string &) {}, language);
    }

    // `count` frames: the manager's update and the base-map fade's step.
    void Frames(int count, uint32_t ms = 16)
    {
        for (int i = 0; i < count; ++i) {
            ui->Update(ms);
            ui->DrawBaseMapFade(ms);
            ReleasePads();
        }
    }
    void Tap(PadButton button)
    {
        Press(0, button);
        Frames(1);
    }
    void Hold(PadButton button) { SetButton(0, button, kPadHeldState); }
    // Frames until `done` holds (at most `limit`); false when it never did.
    template <typename Done>
    bool FramesUntil(Done done, int limit = 400)
    {
        for (int i = 0; i < limit; ++i) {
            if (done()) {
                return true;
            }
            Frames(1);
        }
        return done();
    }
    void WaitForPictures() { ASSERT_TRUE(FramesUntil([&] { return lobby->PicturesRead(); })); }
    // The menu ready: its pictures in, the reveal over.
    void WaitForMenu()
    {
        WaitForPictures();
        ASSERT_TRUE(FramesUntil([&] { return !ui->IsBaseMapRevealing(); }));
    }
    // Confirms menu entry `entry` (from the menu at entry 0) and waits until
    // the page is open.
    void OpenPage(int32_t entry)
    {
        for (int32_t i = lobby->CursorEntry(); i < entry; ++i) {
            Tap(kPadDown);
        }
        Tap(kPadCircle);
        ASSERT_TRUE(FramesUntil([&] { return lobby->OpenPage() == static_cast<uint32_t>(entry + 1); }));
    }
    // The stage select open with its pictures in and its banner unfolded.
    CSStageSelect *OpenStageSelect()
    {
        OpenPage(0);
        CSStageSelect *panel = lobby->StageSelect();
        EXPECT_TRUE(FramesUntil([&] { return panel->PicturesRead() && panel->bannerMs >= 100; }));
        return panel;
    }

    // The frame the screens draw now, written beside the tree and compared
    // with its reviewed reference tests/ui/reference/<name>.bmp.
    void ExpectShot(const std::string &name)
    {
        const win::Frame frame = DrawFrame([&] { ui->Render(); });
        const std::string shot = root + "/" + name + ".bmp";
        ASSERT_TRUE(apptest::WriteBmp(shot, static_cast<int32_t>(frame.width), static_cast<int32_t>(frame.height),
                                      frame.pixels));
        apptest::ExpectLikeReference(shot, std::string(RW_TEST_SOURCE_DIR) + "/tests/ui/reference/" + name + ".bmp",
                                     root + "/" + name + "_difference.bmp");
    }

    CSHero hero;
    CSLobby *lobby = nullptr;
};

// The stage ids of the map's open nodes, in the map's node order.
inline std::vector<int32_t> OpenStages(const CSStageSelect &panel)
{
    std::vector<int32_t> ids;
    for (int i = 0; i < kMapNodes; ++i) {
        if (panel.Node(i)->open != 0) {
            ids.push_back(panel.Node(i)->stageId);
        }
    }
    return ids;
}

// The lobby with the test's clock standing in for the system's, so that the
// panels' timers move only as the test steps them.
class ClockedLobbyTest : public LobbyTest {
protected:
    void SetUp() override
    {
        LobbyTest::SetUp();
        clock.Install();
    }
    void TearDown() override
    {
        UseTestClock(nullptr, nullptr, nullptr);
        LobbyTest::TearDown();
    }
    TestClock clock;
};

}  // namespace lobbytest
