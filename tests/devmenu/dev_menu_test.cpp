// The developer menu object frame by frame from scripted pad states: the
// chord through the game system's tick order, what Open selects, the main
// list, the routing of entered items, the clump-info list and ReleaseAll.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/game_frame.h"
#include "app/memory.h"
#include "tests/devmenu/dev_menu_test_support.h"

namespace dev_menu_test {

namespace {

using devmenutest::MenuHarness;

// The game system's tick over the real menu, with the stage's and the
// screens' updates recorded.
struct TickChildren {
    CSDevMenu &menu;
    std::vector<std::string> &calls;

    bool HasStage() const { return true; }
    bool HasScreens() const { return true; }
    bool HasDevMenu() const { return true; }
    bool MoviePlaying() const { return false; }
    void TickFrameClock() {}
    uint32_t FrameMs() const { return 16; }
    void StageUpdate(uint32_t) { calls.push_back("stage"); }
    void StageMovieTimeUpdate(uint32_t) { calls.push_back("stage movie"); }
    void ScreensUpdate() { calls.push_back("screens"); }
    bool DevMenuIsOpen() const { return menu.IsOpen(); }
    void DevMenuUpdate(uint32_t ms)
    {
        calls.push_back("menu");
        menu.Update(ms);
    }
    void DevMenuOpen(bool open, int32_t hero) { menu.Open(open ? 1 : 0, hero); }
};

class MenuChord : public ::testing::Test {
protected:
    // One game tick with these buttons down (`held`: state 2, else 1).
    std::vector<std::string> GameTick(std::initializer_list<PadButton> down, bool held = false)
    {
        PadState &pad = h.Pad();
        for (uint8_t &b : pad.buttons) {
            b = kPadUpState;
        }
        for (PadButton b : down) {
            pad.buttons[b] = held ? kPadHeldState : kPadPressedState;
        }
        std::vector<std::string> calls;
        TickChildren children{h.menu, calls};
        game::RunGameTick(children, pad);
        return calls;
    }

    MenuHarness h;
};

const std::vector<std::string> kGameRuns = {"stage", "screens"};
const std::vector<std::string> kMenuRuns = {"menu"};

TEST_F(MenuChord, OpensOnSelectStartCircleAndClosesOnSelectStartCross)
{
    EXPECT_EQ(GameTick({kPadCircle}), kGameRuns);
    EXPECT_FALSE(h.menu.IsOpen()) << "circle alone does nothing";
    EXPECT_EQ(GameTick({kPadSelect, kPadCircle}), kGameRuns);
    EXPECT_FALSE(h.menu.IsOpen());
    EXPECT_EQ(GameTick({kPadSelect, kPadStart, kPadCircle}), kGameRuns);  // it opens after this tick's updates
    EXPECT_TRUE(h.menu.IsOpen());
    // While it is open the stage and the screens stand still.
    EXPECT_EQ(GameTick({kPadSelect, kPadStart, kPadCircle}, true), kMenuRuns);
    EXPECT_TRUE(h.menu.IsOpen()) << "the circle chord does not close it";
    EXPECT_EQ(GameTick({}), kMenuRuns);
    EXPECT_EQ(GameTick({kPadSelect, kPadStart, kPadCross}, true), kMenuRuns);  // held counts for the chord
    EXPECT_FALSE(h.menu.IsOpen());
    EXPECT_EQ(GameTick({}), kGameRuns);
}

TEST(DevMenuOpen, SelectsTheRunningStageHeldToTheListedRange)
{
    MenuHarness h;
    const std::pair<int32_t, int32_t> cases[] = {
        {2390000, 2390000}, {0, 2010000}, {2430000, 2420000}, {2010000, 2010000}, {-1, 2010000}};
    for (const auto &[running, selected] : cases) {
        h.stage.stageId = running;
        h.menu.Open(1, 0);
        EXPECT_EQ(h.menu.selectedStageId, selected) << running;
    }
}

TEST(DevMenuOpen, ResetsTheItemPageAndSmallCursorsButKeepsTheItem)
{
    MenuHarness h;
    h.menu.Open(1, 0);
    h.Press(kPadDown, 3);
    h.Tick({kPadCircle});
    ASSERT_EQ(h.menu.inItem, 1);
    h.menu.equipmentSlot = 2;
    h.menu.equipmentId = 5100030;
    h.menu.digitCursor = 4;
    h.menu.abilityEntry = 7;
    h.stage.loadingState.threaded = 1;
    h.menu.Open(1, 0);
    EXPECT_EQ(h.menu.inItem, 0);
    EXPECT_EQ(h.menu.activeItem, 3);
    EXPECT_EQ(h.menu.equipmentSlot, 0);
    EXPECT_EQ(h.menu.equipmentId, 0);
    EXPECT_EQ(h.menu.digitCursor, 0);
    EXPECT_EQ(h.menu.abilityEntry, 0);
    EXPECT_EQ(h.menu.threadedLoadingChoice, 1);
    EXPECT_EQ(h.Label(), "");
}

TEST(DevMenuMainList, StopsAtTheFirstAndLastItemWithTheirLabels)
{
    MenuHarness h;
    h.menu.Open(1, 0);
    h.Tick();
    EXPECT_EQ(h.Label(), "Select Stage");
    h.Press(kPadUp);
    EXPECT_EQ(h.menu.activeItem, 0);
    const char *const labels[] = {"Select Stage",        "Switch display run-time infomation",
                                  "Fill character's ability", "Display Safe-Screen range",
                                  "Select Load Game mode", "Equipment",
                                  "Fog",                 "Ambient",
                                  "Render Wall",         "Hidden Character",
                                  "Update Hierarchy",    "Render wire frame",
                                  "Make Game Stream",    "Write Log File"};
    for (int item = 1; item <= 13; ++item) {
        h.Press(kPadDown);
        EXPECT_EQ(h.menu.activeItem, item);
        EXPECT_EQ(h.Label(), labels[item]);
    }
    h.Press(kPadDown);
    EXPECT_EQ(h.menu.activeItem, 13);
    // The label is drawn at (200, 220) in white while no page is open.
    const std::vector<DevMenuText> texts = h.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "Write Log File");
    EXPECT_EQ(texts[0].x, 200.0f);
    EXPECT_EQ(texts[0].y, 220.0f);
    EXPECT_EQ(texts[0].argb, kMenuTextColour);
}

TEST(DevMenuMainList, HoldingDoesNotRepeatAndANotConnectedPadIsIgnored)
{
    MenuHarness h;
    h.menu.Open(1, 0);
    h.Pad().buttons[kPadDown] = kPadHeldState;
    h.menu.Update(16);
    EXPECT_EQ(h.menu.activeItem, 0);
    h.Pad().connected = 0;
    h.Tick({kPadDown});
    h.Tick({kPadCircle});
    EXPECT_EQ(h.menu.activeItem, 0);
    EXPECT_EQ(h.menu.inItem, 0);
    EXPECT_TRUE(h.menu.IsOpen());
}

TEST(DevMenuMainList, CrossClosesAndReopeningShowsTheSameItem)
{
    MenuHarness h;
    h.menu.Open(1, 0);
    h.Press(kPadDown, 5);
    h.Tick({kPadCross});
    EXPECT_FALSE(h.menu.IsOpen());
    h.Tick({kPadDown});  // a closed menu takes no input
    EXPECT_EQ(h.menu.activeItem, 5);
    h.menu.Open(1, 0);
    h.Tick();
    EXPECT_EQ(h.Label(), "Equipment");
}

// The items that do not act yet show their label, and cross leaves them.
TEST(DevMenuMainList, EnteredItemsTakeThePadAndCrossReturns)
{
    MenuHarness h;
    h.menu.Open(1, 0);
    for (int item : {1, 2, 3, 4, 5, 8, 9, 10, 11, 12, 13}) {
        h.menu.activeItem = item;
        h.Tick({kPadCircle});
        EXPECT_EQ(h.menu.inItem, 1);
        h.Press(kPadDown);
        EXPECT_EQ(h.menu.activeItem, item) << "the pad goes to the item";
        EXPECT_FALSE(h.Label().empty()) << item;
        h.Tick({kPadCross});
        EXPECT_EQ(h.menu.inItem, 0) << item;
        EXPECT_TRUE(h.menu.IsOpen());
    }
}

TEST(DevMenuMainList, AnUnknownActiveItemLeavesTheItem)
{
    MenuHarness h;
    h.menu.Open(1, 0);
    h.menu.activeItem = 16;
    h.menu.inItem = 1;
    h.Tick();
    EXPECT_EQ(h.menu.inItem, 0);
}

TEST(DevMenuClumps, KeepOneEntryPerClumpWithItsFileName)
{
    MenuHarness h;
    auto *a = reinterpret_cast<RpClump *>(0x1000);
    auto *b = reinterpret_cast<RpClump *>(0x2000);
    auto *clone = reinterpret_cast<RpClump *>(0x3000);
    auto *stranger = reinterpret_cast<RpClump *>(0x4000);
    h.menu.AddClumpInfo(a, "\\RESOURCE\\STAGE\\1\\LIGHTS.DFF");
    h.menu.AddClumpInfo(a, "\\RESOURCE\\OTHER.DFF");
    h.menu.AddClumpInfo(b, "RESOURCE/MONSTER/1200000/1200000.DFF");
    EXPECT_EQ(h.menu.ClumpInfoCount(), 2u);
    EXPECT_STREQ(h.menu.FindClumpName(a), "LIGHTS.DFF");
    EXPECT_STREQ(h.menu.FindClumpName(b), "1200000.DFF");
    EXPECT_EQ(h.menu.FindClumpName(stranger), nullptr);

    h.menu.CopyClumpInfo(clone, a);
    h.menu.CopyClumpInfo(clone, b);  // already listed: kept as it was
    h.menu.CopyClumpInfo(stranger, nullptr);
    h.menu.CopyClumpInfo(nullptr, a);
    h.menu.CopyClumpInfo(stranger, reinterpret_cast<RpClump *>(0x5000));  // source not listed
    EXPECT_EQ(h.menu.ClumpInfoCount(), 3u);
    EXPECT_STREQ(h.menu.FindClumpName(clone), "LIGHTS.DFF");
    EXPECT_EQ(h.menu.FindClumpName(stranger), nullptr);

    h.menu.ClearClumpInfo(a);
    h.menu.ClearClumpInfo(stranger);
    EXPECT_EQ(h.menu.FindClumpName(a), nullptr);
    EXPECT_STREQ(h.menu.FindClumpName(clone), "LIGHTS.DFF");
    EXPECT_EQ(h.menu.ClumpInfoCount(), 2u);
    EXPECT_FALSE(IsClumpStillHasAnim(clone));
}

// Many clumps come and go in the life of the game: the list follows them
// and names stay with their clumps as it grows.
TEST(DevMenuClumps, NamesStayWithTheirClumpsAsTheListGrows)
{
    MenuHarness h;
    std::vector<RpClump *> clumps;
    for (uintptr_t i = 1; i <= 300; ++i) {
        clumps.push_back(reinterpret_cast<RpClump *>(i * 16));
        if (i % 2 == 0) {
            h.menu.CopyClumpInfo(clumps.back(), clumps[i - 2]);
        } else {
            h.menu.AddClumpInfo(clumps.back(), ("\\A\\M" + std::to_string(i) + ".DFF").c_str());
        }
    }
    EXPECT_EQ(h.menu.ClumpInfoCount(), 300u);
    for (size_t i = 0; i < clumps.size(); i += 2) {
        EXPECT_EQ(std::string(h.menu.FindClumpName(clumps[i + 1])), "M" + std::to_string(i + 1) + ".DFF");
    }
}

TEST(DevMenuRelease, ReleaseAllFreesEverythingTheMenuOwns)
{
    MenuHarness h;
    h.menu.CreateSubObjects();
    ASSERT_NE(h.menu.safeFrame, nullptr);
    h.menu.wireFrameBuffer = static_cast<RwIm3DVertex *>(zuMalloc(10 * sizeof(RwIm3DVertex)));
    h.menu.wireFrameCapacity = 10;
    h.menu.AddClumpInfo(reinterpret_cast<RpClump *>(0x10), "A.DFF");
    h.menu.particleKinds.kinds.resize(3);
    h.menu.ReleaseAll();
    EXPECT_EQ(h.menu.safeFrame, nullptr);
    EXPECT_EQ(h.menu.wireFrameBuffer, nullptr);
    EXPECT_EQ(h.menu.wireFrameCapacity, 0u);
    EXPECT_EQ(h.menu.ClumpInfoCount(), 0u);
    EXPECT_TRUE(h.menu.particleKinds.kinds.empty());
    h.menu.ReleaseAll();  // twice frees nothing twice
    // Made again on demand.
    h.menu.CreateSubObjects();
    EXPECT_NE(h.menu.safeFrame, nullptr);
}

TEST(DevMenuRelease, TheGlobalPointerFollowsTheMenu)
{
    EXPECT_EQ(g_pDevMenu, nullptr);
    {
        CSDevMenu menu;
        EXPECT_EQ(g_pDevMenu, &menu);
        EXPECT_EQ(menu.comboCount, 3);
        EXPECT_EQ(menu.rainAssetsPending, 1);
        EXPECT_FALSE(menu.IsOpen());
    }
    EXPECT_EQ(g_pDevMenu, nullptr);
}

}  // namespace

}  // namespace dev_menu_test
