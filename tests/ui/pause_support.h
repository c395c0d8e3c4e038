// Support for the tests of the pause menu, the stage map and the status
// page: data trees that lack some of the sample's files (the sample's
// other entries linked, nothing copied), and a fixture with the overlay's
// screen manager, its first hero on pad 0 (which is also the screens'
// pad), the sample's item tables, and pressing and stepping helpers.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "actor/hero.h"
#include "tests/ui/overlay_support.h"
#include "ui/character_page.h"
#include "ui/pause_menu.h"

namespace pausetest {

namespace fs = std::filesystem;

// A pixel of a frame (0x00RRGGBB).
inline uint32_t PixelOf(const win::Frame &frame, int x, int y)
{
    return frame.pixels[static_cast<size_t>(y) * frame.width + static_cast<size_t>(x)] & 0xFFFFFFu;
}

inline std::string TreesFolder()
{
    return std::string(RW_TEST_BINARY_DIR) + "/tests/ui_pause/" + std::to_string(getpid());
}

namespace detail {

// Links `from`'s entries into `to`, leaving out the relative paths of
// `leftOut` (under `prefix`) and going down into folders that hold one.
inline void LinkExcept(const fs::path &from, const fs::path &to, const std::string &prefix,
                       const std::vector<std::string> &leftOut)
{
    fs::create_directories(to);
    for (const fs::directory_entry &entry : fs::directory_iterator(from)) {
        const std::string relative = prefix + entry.path().filename().string();
        if (std::find(leftOut.begin(), leftOut.end(), relative) != leftOut.end()) {
            continue;
        }
        const bool holdsOne = std::any_of(leftOut.begin(), leftOut.end(), [&](const std::string &path) {
            return path.rfind(relative + "/", 0) == 0;
        });
        if (holdsOne) {
            LinkExcept(entry.path(), to / entry.path().filename(), relative + "/", leftOut);
        } else if (entry.is_directory()) {
            fs::create_directory_symlink(entry.path(), to / entry.path().filename());
        } else {
            fs::create_symlink(entry.path(), to / entry.path().filename());
        }
    }
}

}  // namespace detail

// A tree `name` like the sample data without the paths of `leftOut`
// ("PACK/PAUSE/MAPBASE.STR"); empty when the sample data is not built.
inline std::string TreeWithout(const std::string &name, const std::vector<std::string> &leftOut)
{
    if (!apptest::HaveSampleData()) {
        return std::string();
    }
    const fs::path root = fs::path(TreesFolder()) / name;
    fs::remove_all(root);
    detail::LinkExcept(apptest::SampleData(), root, "", leftOut);
    return root.string();
}

// The overlay's screen manager with one hero, on the sample data or on a
// tree of the test's; nothing starts until Begin.
class PauseTest : public uitest::OverlayTest {
protected:
    // Without the sample data every test is skipped here, before its body
    // (a skip inside Begin would leave the body running on nothing).
    void SetUp() override
    {
        if (!apptest::HaveSampleData()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
    }
    void TearDown() override
    {
        OverlayTest::TearDown();
        if (!tree.empty() && !HasFailure()) {
            fs::remove_all(tree);
            std::error_code error;
            fs::remove(fs::path(tree).parent_path(), error);
        }
    }

    // Starts the screens (on `treeRoot` when given) with the first hero on
    // pad 0, the screens' pad.
    void Begin(const std::string &treeRoot = std::string(), int32_t language = 1, uint32_t width = 640,
               uint32_t height = 480)
    {
        if (!apptest::HaveSampleData()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
        tree = treeRoot;
        StartOverlay(width, height, language, treeRoot);
        hero = AddHero();
        ui->SetUIPad(0);
        uitest::Links().stageId = 2010000;
    }

    // Owns one of the item in the first player's list (or `list`).
    void Own(int32_t itemId, int32_t count = 1, int32_t list = 1)
    {
        for (int32_t i = 0; i < count; ++i) {
            ASSERT_TRUE(items.AddItem(list, itemId)) << itemId;
        }
    }
    // Wears the item in `slot` as the hero would.
    void Wear(int32_t itemId, int32_t slot)
    {
        const EquipContent *record = items.FindEquipContent(itemId);
        ASSERT_NE(record, nullptr) << itemId;
        hero->UnequipSlot(slot);
        hero->EquipItem(record, slot);
        hero->RecomputeEquipment();
    }
    int32_t Worn(int32_t slot) const
    {
        const EquipContent *record = hero->GetEquippedItem(slot);
        return record != nullptr ? record->equipId : 0;
    }

    // Presses a button of pad 0 for the next update.
    void Tap(PadButton button) { Press(0, button); }
    void Hold(PadButton button) { SetButton(0, button, kPadHeldState); }

    std::string tree;
    CSHero *hero = nullptr;
};

// A status page driven by the test as its host would, frame by frame.
class StatusPageTest : public PauseTest {
protected:
    void TearDown() override
    {
        page.Release();
        PauseTest::TearDown();
    }
    void Open(uint8_t mode, const std::string &treeRoot = std::string(), int32_t language = 1)
    {
        Begin(treeRoot, language);
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        page.Init(mode);
        page.SetBackground(ui->MapBase() != nullptr ? ui->MapBase() : ui->BaseMap());
        page.SetActive(1);
    }
    // `count` page updates of `dt`, the pads let go after the first.
    void Step(int count = 1, float dt = 0.016f)
    {
        for (int i = 0; i < count; ++i) {
            page.Update(dt);
            ReleasePads();
        }
    }
    // The page opened in the pause menu, the first hero owning and wearing `weapon`.
    void OpenWearing(int32_t weapon)
    {
        Begin();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        Own(weapon);
        Wear(weapon, kHeroWeaponSlot);
        page.Init(kStatusPagePauseMode);
        page.SetActive(1);
    }
    // Updates until the hero's pack is in (or given up); false when it never is.
    bool StepUntilPackDone(int limit = 200)
    {
        for (int i = 0; i < limit; ++i) {
            if (page.TabReady(kTabEquipment)) {
                return true;
            }
            Step();
        }
        return page.TabReady(kTabEquipment);
    }

    CSCharacterPage page;
};

}  // namespace pausetest
