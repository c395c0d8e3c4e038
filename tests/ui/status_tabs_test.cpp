// The status page's tabs frame by frame with a test host. Items: the
// player's recovery and explosive items then the shared ItemType 7 ones,
// with icon and count digits (7 one digit on the right, 12 two, 123 its
// first two); a held key repeating after a second; nothing owned gives one
// blank row on which the keys do nothing (the equipment tab too, its blank
// row under the cursor); the count digits each in their
// own 23-wide cell; no footer without an interface manager. Equipment: weapons first, worn pieces marked; a weapon
// highlighted in the pause menu is worn as a preview until the tab is left;
// in the lobby confirming the worn weapon plays 6600000 and changes
// nothing, another weapon is worn, armour goes through the slot choice
// (asking nothing; cancel puts both slots back exactly, life kept, and wins
// over a confirm pressed with it) and worn armour asks
// word 5 first (answer 1 takes it off). Skills: gated skills only once
// learned, the command pictures ("12 A-B": 55, 20 and 50 wide after the
// base name; "X&Y": four; letters without a picture take none), the
// selection on the first listed skill, the commands moved left for the
// first hero's ability 4 and the second's ability 3, and the
// demonstration: the base name first, a "+" group lit together, then the
// pictures after it, and the name again once the command has been shown.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/screen_coords.h"
#include "app/text_block.h"
#include "tests/ui/pause_support.h"
#include "ui/status_tab_kit.h"
#include "tools/mkdata/pause_data.h"
#include "tools/mkdata/ui_text.h"

namespace status_tabs_test {

namespace {

using pausetest::StatusPageTest;
using uitest::Links;

class StatusTabsTest : public StatusPageTest {
protected:
    // Opens the page with the pack read and the tab entered.
    void OpenAtTab(uint8_t mode, int32_t tab, const std::string &treeRoot = std::string())
    {
        Open(mode, treeRoot);
        if (HasFatalFailure() || IsSkipped()) {
            return;
        }
        ASSERT_TRUE(StepUntilPackDone());
        for (int32_t t = kTabItems; t < tab; ++t) {
            Tap(kPadRight);
            Step();
        }
        ASSERT_EQ(page.currentTab, tab);
        Sounds();
    }
    // The hero owns two swords (the first worn) and three pieces of armour
    // (the mail in slot 0, the ring in slot 1).
    void OwnEquipment()
    {
        for (int32_t id : {5100160, 5100170, 5100010, 5100020, 5100030}) {
            Own(id);
        }
        Wear(5100160, kHeroWeaponSlot);
        Wear(5100010, 0);
        Wear(5100020, 1);
    }
    // The page opened in `mode` on the equipment tab, the pack read.
    void OpenEquipmentTab(uint8_t mode)
    {
        page.Init(mode);
        page.SetActive(1);
        ASSERT_TRUE(StepUntilPackDone());
        Tap(kPadRight);
        Step();
        ASSERT_EQ(page.currentTab, kTabEquipment);
    }
    // The slot choice over, both armour slots as OwnEquipment confirmed them.
    void ExpectSlotChoiceLeftWithBothSlotsBack()
    {
        EXPECT_EQ(page.slotChoice, 0);
        EXPECT_EQ(Worn(0), 5100010);
        EXPECT_EQ(Worn(1), 5100020);
        EXPECT_EQ(page.EquipPage()->slotIds[0], 5100010);
        EXPECT_EQ(page.EquipPage()->slotIds[1], 5100020);
    }
    // The item tab in the pause menu, owning `herbs` of the first recovery
    // item and `tokens` of a shared one (their two rows in that order).
    CSItemPage *OpenItemsOwning(int32_t herbs, int32_t tokens)
    {
        Begin();
        if (HasFatalFailure() || IsSkipped()) {
            return nullptr;
        }
        Own(5300000, herbs);
        Own(100054, tokens, 0);
        page.Init(kStatusPagePauseMode);
        page.SetActive(1);
        EXPECT_EQ(page.ItemPage()->EntryCount(), 2);
        return page.ItemPage();
    }
    std::u16string ListRow(int32_t i) const
    {
        const CSTextBlock *row = page.List().GetWindow(nullptr, nullptr)[i];
        return row != nullptr && !row->Rows().empty() ? row->Rows().front().text : u"";
    }
    // The page's drawing where the key prompts stand: x 230..639, y 410..444.
    std::vector<uint32_t> PromptBand()
    {
        const std::vector<uint32_t> pixels = DrawFrame([&] { page.Render(); }).pixels;
        std::vector<uint32_t> band;
        for (size_t y = 410; y < 445; ++y) {
            band.insert(band.end(), pixels.begin() + static_cast<std::ptrdiff_t>(y * 640 + 230),
                        pixels.begin() + static_cast<std::ptrdiff_t>(y * 640 + 640));
        }
        return band;
    }
    void Down(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            Tap(kPadDown);
            Step();
        }
    }
};

TEST_F(StatusTabsTest, TheItemTabListsRecoveryExplosiveAndSharedItemsWithTheirCounts)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    Own(5300000, 9);
    Own(5300060, 5);
    Own(100054, 12, 0);
    Own(5300010, 1, 0);  // a recovery item in the shared list is not listed
    Links().itemSheet = ui->PlayerArt();
    page.Init(kStatusPagePauseMode);
    page.SetActive(1);
    CSItemPage *items = page.ItemPage();
    ASSERT_EQ(items->EntryCount(), 3);
    EXPECT_EQ(items->Entry(0).itemId, 5300000);
    EXPECT_EQ(items->Entry(0).category, 0);
    EXPECT_EQ(items->Entry(1).category, 1);
    EXPECT_EQ(items->Entry(2).itemId, 100054);
    EXPECT_EQ(items->Entry(2).category, 2);
    EXPECT_EQ(ListRow(0), u"Herb");
    EXPECT_EQ(ListRow(2), u"Guild Token");
    // Nine: one digit, on the right.
    EXPECT_EQ(items->Icon()->picture.texture, ui->PlayerArt());
    EXPECT_FLOAT_EQ(items->CountDigit(1)->picture.left, 288.0f);
    EXPECT_FLOAT_EQ(items->CountDigit(1)->picture.s0, ui->GetLargeDigit(9)->s0);
    Down(2);
    EXPECT_EQ(items->Selected(), 2);
    EXPECT_FLOAT_EQ(items->CountDigit(0)->picture.s0, ui->GetLargeDigit(1)->s0);
    EXPECT_FLOAT_EQ(items->CountDigit(0)->picture.left, 265.0f);
    EXPECT_FLOAT_EQ(items->CountDigit(1)->picture.s0, ui->GetLargeDigit(2)->s0);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600010, 6600010}));
    // Triangle: the description in the list's place.
    Tap(kPadTriangle);
    Step();
    ASSERT_TRUE(items->Description().Shown());
    EXPECT_EQ(items->Description().Block()->Rows().front().text.rfind(u"Shown at the guild", 0), 0u);
    EXPECT_EQ(items->Description().Block()->Rows().front().x, page.List().Left() + 10);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600060}));
}

// A description starts 10 inside the list's top left corner and wraps at
// 20 less than the list's width in language 0 (318..561: 223), at 570 - the
// list's left edge in the others (the list 10 further left: 262).
TEST_F(StatusTabsTest, ADescriptionWrapsNarrowerInLanguageZero)
{
    Open(kStatusPagePauseMode);
    ASSERT_FALSE(HasFatalFailure());
    std::u16string text;
    for (int i = 0; i < 60; ++i) {
        text += u"ab ";
    }
    for (const int32_t language : {0, 1}) {
        SCOPED_TRACE(language);
        page.SetActive(0);
        gs.language = language;
        page.SetActive(1);
        const CSTextList &list = page.List();
        ASSERT_EQ(list.Left(), language == 0 ? 318 : 308);
        TabDescription description;
        description.Show(text.c_str(), list);
        ASSERT_TRUE(description.Shown());
        ASSERT_NE(description.Block(), nullptr);
        const std::vector<CSTextBlock::Row> &rows = description.Block()->Rows();
        ASSERT_GT(rows.size(), 2u);
        EXPECT_EQ(rows.front().x, list.Left() + 10);
        EXPECT_EQ(rows.front().y, list.Top() + 10);
        const int32_t wrap = language == 0 ? 223 : 262;
        const int32_t widest = description.Block()->GetMaxRowWidth();
        EXPECT_LE(widest, wrap);
        EXPECT_GT(widest, wrap - 20);  // a word (two letters and a blank) less at most
    }
    gs.language = 1;
}

TEST_F(StatusTabsTest, AHeldKeyMovesAfterASecondThenEveryTwentiethOfASecond)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    for (int32_t id : {5300000, 5300010, 5300020, 5300030, 5300040, 5300050}) {
        Own(id);
    }
    page.Init(kStatusPagePauseMode);
    page.SetActive(1);
    Down();
    ASSERT_EQ(page.ItemPage()->Selected(), 1);
    // Held, each way: nothing until a second has gathered since the press,
    // then a step every twentieth.
    const auto holdFor = [&](PadButton key, int updates, float dt) {
        for (int i = 0; i < updates; ++i) {
            Hold(key);
            Step(1, dt);
        }
        return page.ItemPage()->Selected();
    };
    EXPECT_EQ(holdFor(kPadDown, 9, 0.1f), 1);
    EXPECT_EQ(holdFor(kPadDown, 1, 0.1f), 2);
    EXPECT_EQ(holdFor(kPadDown, 2, 0.05f), 4);
    Tap(kPadUp);
    Step();
    EXPECT_EQ(page.ItemPage()->Selected(), 3);
    EXPECT_EQ(holdFor(kPadUp, 9, 0.1f), 3);
    EXPECT_EQ(holdFor(kPadUp, 1, 0.1f), 2);
    EXPECT_EQ(holdFor(kPadUp, 1, 0.05f), 1);
}

// Each tab shown again stays on the row the player left it on: the items'
// with that row's count, the equipment's with that row's picture.
TEST_F(StatusTabsTest, TheItemAndEquipmentTabsKeepTheirRowsWhenShownAgain)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    Own(5300000, 9);
    Own(5300010, 4);
    Own(5300020, 2);
    OwnEquipment();
    page.Init(kStatusPagePauseMode);
    page.SetActive(1);
    ASSERT_TRUE(StepUntilPackDone());
    Down(2);
    CSItemPage *items = page.ItemPage();
    ASSERT_EQ(items->Selected(), 2);
    Tap(kPadRight);
    Step();
    ASSERT_EQ(page.currentTab, kTabEquipment);
    Down(3);
    ASSERT_EQ(page.EquipPage()->SelectedEntry()->itemId, 5100020);
    Tap(kPadLeft);
    Step();
    ASSERT_EQ(page.currentTab, kTabItems);
    EXPECT_EQ(items->Selected(), 2);
    EXPECT_EQ(page.List().Selected(), 2);
    EXPECT_FLOAT_EQ(items->CountDigit(1)->picture.s0, ui->GetLargeDigit(2)->s0);
    Tap(kPadRight);
    Step();
    ASSERT_EQ(page.currentTab, kTabEquipment);
    EXPECT_EQ(page.EquipPage()->SelectedEntry()->itemId, 5100020);
    EXPECT_EQ(page.List().Selected(), 3);
    EXPECT_FLOAT_EQ(page.EquipPage()->Picture()->picture.s0, ui->GetWeaponIcon(5100020)->s0);
}

TEST_F(StatusTabsTest, AThreeDigitCountShowsItsFirstTwoDigits)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    items.SetTables([] {
        ItemTables tables = mkdata::SampleItemTables();
        tables.items[0].ownLimit = 200;
        return tables;
    }());
    Own(5300000, 123);
    page.Init(kStatusPagePauseMode);
    page.SetActive(1);
    EXPECT_FLOAT_EQ(page.ItemPage()->CountDigit(0)->picture.s0, ui->GetLargeDigit(1)->s0);
    EXPECT_FLOAT_EQ(page.ItemPage()->CountDigit(1)->picture.s0, ui->GetLargeDigit(2)->s0);
}

// The count digits sit side by side, each 23 wide: 265-288 and 288-311 for
// two digits, the single digit of a smaller count in the right-hand place.
// The drawn corners are checked, not only the remembered rectangle.
TEST_F(StatusTabsTest, CountDigitsAreDrawnInTheirOwnCellsForOneAndTwoDigitCounts)
{
    CSItemPage *items = OpenItemsOwning(7, 12);
    ASSERT_FALSE(HasFatalFailure());
    const auto expectCell = [](const OwnedPicture *digit, float x0, float x1) {
        ASSERT_NE(digit, nullptr);
        EXPECT_FLOAT_EQ(digit->picture.left, x0);
        EXPECT_FLOAT_EQ(digit->picture.right, x1);
        EXPECT_FLOAT_EQ(digit->picture.top, 153.0f);
        EXPECT_FLOAT_EQ(digit->picture.bottom, 176.0f);
        EXPECT_FLOAT_EQ(GetVirtualX(&digit->quad.v[0]), x0);
        EXPECT_FLOAT_EQ(GetVirtualY(&digit->quad.v[0]), 153.0f);
        EXPECT_FLOAT_EQ(GetVirtualX(&digit->quad.v[3]), x1);
        EXPECT_FLOAT_EQ(GetVirtualY(&digit->quad.v[3]), 176.0f);
    };
    ASSERT_EQ(items->Selected(), 0);
    ASSERT_EQ(items->Entry(0).count, 7);
    {
        SCOPED_TRACE("seven");
        expectCell(items->CountDigit(1), 288.0f, 311.0f);
        EXPECT_FLOAT_EQ(items->CountDigit(1)->picture.s0, ui->GetLargeDigit(7)->s0);
    }
    Down();
    ASSERT_EQ(items->Selected(), 1);
    ASSERT_EQ(items->Entry(1).count, 12);
    {
        SCOPED_TRACE("twelve");
        expectCell(items->CountDigit(0), 265.0f, 288.0f);
        expectCell(items->CountDigit(1), 288.0f, 311.0f);
        EXPECT_FLOAT_EQ(items->CountDigit(0)->picture.s0, ui->GetLargeDigit(1)->s0);
        EXPECT_FLOAT_EQ(items->CountDigit(1)->picture.s0, ui->GetLargeDigit(2)->s0);
    }
}

// The tens cell (265 to 288 across, 153 to 176 down) is drawn from a count
// of ten on, and stays empty below.
TEST_F(StatusTabsTest, TheTensDigitIsDrawnFromACountOfTen)
{
    CSItemPage *items = OpenItemsOwning(9, 10);
    ASSERT_FALSE(HasFatalFailure());
    const auto tensCellLit = [&] {
        const std::vector<uint32_t> pixels = DrawFrame([&] { items->Render(); }).pixels;
        int lit = 0;
        for (size_t y = 153; y < 176; ++y) {
            for (size_t x = 265; x < 288; ++x) {
                lit += (pixels[y * 640 + x] & 0xFFFFFFu) != 0 ? 1 : 0;
            }
        }
        return lit;
    };
    ASSERT_EQ(items->Entry(0).count, 9);
    EXPECT_EQ(tensCellLit(), 0);
    Down();
    ASSERT_EQ(items->Entry(1).count, 10);
    EXPECT_GT(tensCellLit(), 20);
    EXPECT_FLOAT_EQ(items->CountDigit(0)->picture.s0, ui->GetLargeDigit(1)->s0);
    EXPECT_FLOAT_EQ(items->CountDigit(1)->picture.s0, ui->GetLargeDigit(0)->s0);
}

// A tab drawn while no interface manager exists (the pause menu torn down
// first) draws no footer instead of reaching through the missing manager.
TEST_F(StatusTabsTest, TheTabFooterDrawsNothingWithoutAnInterfaceManager)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    CSUIManager *const manager = g_pUIManager;
    g_pUIManager = nullptr;
    DrawTabFooter(6);
    DrawTabFooter(2);
    g_pUIManager = manager;
}

TEST_F(StatusTabsTest, NothingOwnedGivesOneBlankRowAndTheKeysDoNothing)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    page.Init(kStatusPagePauseMode);
    page.SetActive(1);
    EXPECT_EQ(page.ItemPage()->EntryCount(), 0);
    EXPECT_EQ(page.List().EntryCount(), 1);
    EXPECT_EQ(ListRow(0), u" ");
    EXPECT_EQ(page.ItemPage()->Icon(), nullptr);
    Sounds();
    for (PadButton key : {kPadUp, kPadDown, kPadTriangle}) {
        Tap(key);
        Step();
    }
    EXPECT_TRUE(Sounds().empty());
    EXPECT_FALSE(page.ItemPage()->Description().Shown());
    DrawFrame([&] { page.Render(); });
}

TEST_F(StatusTabsTest, NoEquipmentGivesTheEquipmentTabOneBlankRowUnderTheCursor)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    OpenEquipmentTab(kStatusPagePauseMode);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(page.EquipPage()->EntryCount(), 0);
    EXPECT_EQ(page.List().EntryCount(), 1);
    EXPECT_EQ(page.List().Selected(), 0);
    EXPECT_EQ(page.List().WindowFirst(), 0);
    EXPECT_EQ(page.List().CursorRow(), 0);
    EXPECT_EQ(ListRow(0), u" ");
    // In the lobby a confirm on the blank row equips nothing, silently.
    page.SetActive(0);
    OpenEquipmentTab(kStatusPageLobbyMode);
    ASSERT_FALSE(HasFatalFailure());
    Sounds();
    for (PadButton key : {kPadCircle, kPadTriangle}) {
        Tap(key);
        Step();
    }
    EXPECT_EQ(page.slotChoice, 0);
    EXPECT_FALSE(ui->IsModalBoxOpen());
    EXPECT_FALSE(page.EquipPage()->Description().Shown());
    EXPECT_TRUE(Sounds().empty());
}

TEST_F(StatusTabsTest, TheEquipmentTabListsWeaponsFirstAndMarksWhatIsWorn)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    OwnEquipment();
    OpenEquipmentTab(kStatusPagePauseMode);
    ASSERT_FALSE(HasFatalFailure());
    const CSEquipPage *equip = page.EquipPage();
    ASSERT_EQ(equip->EntryCount(), 5);
    EXPECT_EQ(equip->Entry(0).itemId, 5100160);
    EXPECT_EQ(equip->Entry(1).itemId, 5100170);
    EXPECT_EQ(equip->Entry(0).kind, kEquipKindWeapon);
    EXPECT_EQ(equip->Entry(2).itemId, 5100010);
    EXPECT_EQ(equip->Entry(2).kind, kEquipKindOther);
    EXPECT_EQ(equip->Entry(0).equippedSlot, 2);
    EXPECT_EQ(equip->Entry(1).equippedSlot, -1);
    EXPECT_EQ(equip->Entry(2).equippedSlot, 0);
    EXPECT_EQ(equip->Entry(3).equippedSlot, 1);
    const CSTextBlock *const *rows = page.List().GetWindow(nullptr, nullptr);
    EXPECT_EQ(rows[0]->Color(), CSEquipPage::kWornColour);
    EXPECT_EQ(rows[1]->Color(), kTabTextColour);
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_TRUE(equip->UnderlineVisible(slot)) << slot;
    }
    // The underline of slot 0 lies under the mail's row.
    const CSTextBlock::Row &mail = rows[2]->Rows().front();
    EXPECT_FLOAT_EQ(equip->Underline(0)->picture.top, static_cast<float>(mail.y + mail.height));
    EXPECT_FLOAT_EQ(equip->Underline(0)->picture.right, static_cast<float>(mail.x + mail.width));
    // The worn armour's icons in the slots; property icons: the sword's A,
    // the mail's A and the ring's B.
    ASSERT_NE(page.SlotIcon(0), nullptr);
    EXPECT_FLOAT_EQ(page.SlotIcon(0)->picture.s0, ui->GetWeaponIcon(5100010)->s0);
    EXPECT_EQ(page.WeaponIconCount(), 1);
    EXPECT_EQ(page.ArmourIconCount(), 2);
    EXPECT_EQ(page.ArmourIconKind(1), 1);
    // A weapon's picture is its equipment strip, 50 x 200.
    EXPECT_FLOAT_EQ(equip->Picture()->picture.left, 260.0f);
    EXPECT_FLOAT_EQ(equip->Picture()->picture.top, 103.0f);
    EXPECT_FLOAT_EQ(equip->Picture()->picture.right, 310.0f);
    EXPECT_FLOAT_EQ(equip->Picture()->picture.bottom, 303.0f);
    EXPECT_FLOAT_EQ(equip->Picture()->picture.s0, ui->GetEquipArt(5100160)->s0);
    // Triangle: the highlighted piece's description in the list's place.
    Down();
    Sounds();
    Tap(kPadTriangle);
    Step();
    ASSERT_TRUE(equip->Description().Shown());
    EXPECT_EQ(equip->Description().Block()->Rows().front().text, u"Keen and heavy: it bites deep");
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600060}));
}

// A list longer than its window: a worn piece is underlined only while its
// row is in the window, and the rows below follow the window as it scrolls.
TEST_F(StatusTabsTest, AWornPiecesUnderlineGoesWithItsRowOutOfTheWindow)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    for (int32_t id : {5100160, 5100170, 5100180, 5100190, 5100200, 5100210, 5100220, 5100230, 5100240, 5100250,
                       5100010, 5100020, 5100030}) {
        Own(id);
    }
    Wear(5100160, kHeroWeaponSlot);
    Wear(5100030, 0);
    OpenEquipmentTab(kStatusPagePauseMode);
    ASSERT_FALSE(HasFatalFailure());
    const CSEquipPage *equip = page.EquipPage();
    const int32_t count = equip->EntryCount();
    const int32_t visible = page.List().VisibleRows();
    ASSERT_LT(visible, count);
    ASSERT_EQ(equip->Entry(count - 1).itemId, 5100030);
    EXPECT_TRUE(equip->UnderlineVisible(kHeroWeaponSlot));
    EXPECT_FALSE(equip->UnderlineVisible(0));
    Down(count - 1);
    int32_t first = 0;
    int32_t last = 0;
    const CSTextBlock *const *rows = page.List().GetWindow(&first, &last);
    ASSERT_EQ(last, count - 1);
    EXPECT_FALSE(equip->UnderlineVisible(kHeroWeaponSlot));
    ASSERT_TRUE(equip->UnderlineVisible(0));
    const CSTextBlock::Row &ring = rows[visible - 1]->Rows().front();
    EXPECT_FLOAT_EQ(equip->Underline(0)->picture.top, static_cast<float>(ring.y + ring.height));
    EXPECT_EQ(rows[visible - 1]->Color(), CSEquipPage::kWornColour);
    for (int32_t i = 0; i < visible - 1; ++i) {
        EXPECT_EQ(rows[i]->Color(), kTabTextColour) << i;
    }
    Tap(kPadUp);
    Step();
    for (int i = 0; i < count; ++i) {
        Tap(kPadUp);
        Step();
    }
    EXPECT_TRUE(equip->UnderlineVisible(kHeroWeaponSlot));
    EXPECT_FALSE(equip->UnderlineVisible(0));
}

TEST_F(StatusTabsTest, AWeaponHighlightedInThePauseMenuIsWornUntilTheTabIsLeft)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    OwnEquipment();
    OpenEquipmentTab(kStatusPagePauseMode);
    ASSERT_FALSE(HasFatalFailure());
    Down();
    EXPECT_EQ(Worn(kHeroWeaponSlot), 5100170);
    EXPECT_EQ(hero->GetAttackBonus(), 90);  // the steel sword's
    Step();  // the property icons follow at the next update
    EXPECT_EQ(page.WeaponIconCount(), 2);  // the highlighted sword's both properties
    // The weapon picture stays the confirmed one.
    EXPECT_EQ(page.NotedWeapon(), 5100160);
    // Confirming does nothing in the pause menu.
    Tap(kPadCircle);
    Step();
    EXPECT_EQ(page.EquipPage()->slotIds[kHeroWeaponSlot], 5100160);
    Tap(kPadRight);
    Step();
    EXPECT_EQ(page.currentTab, kTabSkills);
    EXPECT_EQ(Worn(kHeroWeaponSlot), 5100160);
    EXPECT_EQ(hero->GetAttackBonus(), 80);  // the starting sword's
    // Back on the tab the highlighted sword is worn again; closing the
    // page puts the confirmed one back too.
    Tap(kPadLeft);
    Step();
    ASSERT_EQ(Worn(kHeroWeaponSlot), 5100170);
    page.SetActive(0);
    EXPECT_EQ(Worn(kHeroWeaponSlot), 5100160);
}

TEST_F(StatusTabsTest, InTheLobbyConfirmingTheWornWeaponChangesNothing)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    OwnEquipment();
    OpenEquipmentTab(kStatusPageLobbyMode);
    ASSERT_FALSE(HasFatalFailure());
    Sounds();
    Tap(kPadCircle);
    Step();
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600000}));
    EXPECT_EQ(Worn(kHeroWeaponSlot), 5100160);
    EXPECT_EQ(page.EquipPage()->slotIds[kHeroWeaponSlot], 5100160);
    // Another weapon is worn at once, the picture with it; not at a click
    // while the pad is gone.
    Down();
    Sounds();
    gs.padStates[kPadStateBlock][0].connected = 0;
    MouseButtonState = 1;
    Step();
    gs.padStates[kPadStateBlock][0].connected = 1;
    EXPECT_EQ(page.EquipPage()->slotIds[kHeroWeaponSlot], 5100160);
    EXPECT_TRUE(Sounds().empty());
    Tap(kPadStart);
    Step();
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600080}));
    EXPECT_EQ(page.EquipPage()->slotIds[kHeroWeaponSlot], 5100170);
    EXPECT_EQ(page.NotedWeapon(), 5100170);
    EXPECT_EQ(page.Weapon(0)->picture.texture, page.WeaponTexture(1));
    EXPECT_EQ(page.EquipPage()->Entry(1).equippedSlot, 2);
    Tap(kPadRight);
    Step();
    EXPECT_EQ(Worn(kHeroWeaponSlot), 5100170);
}

// The tab's own operations refuse the wrong kind: a piece of armour is
// never put in the weapon's slot, nor a weapon in an armour slot, and
// nothing sounds or changes.
TEST_F(StatusTabsTest, AWeaponGoesOnlyInTheWeaponsSlotAndArmourOnlyInItsOwn)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    OwnEquipment();
    OpenEquipmentTab(kStatusPageLobbyMode);
    ASSERT_FALSE(HasFatalFailure());
    CSEquipPage *equip = page.EquipPage();
    Down();  // the second sword, worn nowhere
    ASSERT_EQ(equip->SelectedEntry()->itemId, 5100170);
    Sounds();
    EXPECT_FALSE(equip->EquipArmour(0, true, -1));
    EXPECT_TRUE(Sounds().empty());
    Down(3);  // the amulet, worn nowhere
    ASSERT_EQ(equip->SelectedEntry()->itemId, 5100030);
    Sounds();
    EXPECT_FALSE(equip->EquipWeapon(true, -1));
    EXPECT_TRUE(Sounds().empty());
    EXPECT_EQ(Worn(kHeroWeaponSlot), 5100160);
    EXPECT_EQ(Worn(0), 5100010);
    EXPECT_EQ(equip->slotIds[kHeroWeaponSlot], 5100160);
    EXPECT_EQ(equip->slotIds[0], 5100010);
}

TEST_F(StatusTabsTest, TheSlotChoicesCancelPutsBothSlotsBackExactly)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    OwnEquipment();
    hero->hp = hero->GetMaxHP();  // the ring's 150 included
    const int32_t life = hero->hp;
    OpenEquipmentTab(kStatusPageLobbyMode);
    ASSERT_FALSE(HasFatalFailure());
    Down(4);
    ASSERT_EQ(page.EquipPage()->SelectedEntry()->itemId, 5100030);
    // The key prompts under the tab: the slot choice shows its own while it
    // lasts, and the tab's come back once it ends either way.
    const std::vector<uint32_t> prompts = PromptBand();
    Sounds();
    Tap(kPadCircle);
    Step();
    ASSERT_EQ(page.slotChoice, 1);
    EXPECT_NE(PromptBand(), prompts);
    EXPECT_FALSE(ui->IsModalBoxOpen());  // not worn yet: nothing to ask
    EXPECT_EQ(Worn(0), 5100030);  // the preview in the chosen slot 0
    EXPECT_EQ(Worn(1), 5100020);
    ASSERT_NE(page.SlotChoiceFrame(), nullptr);
    EXPECT_FLOAT_EQ(page.SlotChoiceFrame()->picture.left, 47.0f);  // slot 0's icon, 10 larger
    Tap(kPadRight);
    Step();
    EXPECT_EQ(page.chosenSlot, 1);
    EXPECT_EQ(Worn(0), 5100010);
    EXPECT_EQ(Worn(1), 5100030);
    EXPECT_FLOAT_EQ(page.SlotChoiceFrame()->picture.left, 174.0f);  // slot 1's, 7 larger
    EXPECT_EQ(page.ArmourIconCount(), 2);
    // The frame blinks meanwhile: down from 240 for a second, then up from 100.
    Step(1, 0.5f);
    EXPECT_EQ(page.SlotChoiceFrame()->quad.v[0].emissiveColor >> 24, 170u);
    Step(1, 0.5f);
    EXPECT_EQ(page.SlotChoiceFrame()->quad.v[0].emissiveColor >> 24, 100u);
    Step(1, 0.25f);
    EXPECT_EQ(page.SlotChoiceFrame()->quad.v[0].emissiveColor >> 24, 135u);
    Tap(kPadCross);
    Step();
    ExpectSlotChoiceLeftWithBothSlotsBack();
    EXPECT_EQ(hero->hp, life);  // a preview costs no life
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600010, 6600050}));
    EXPECT_EQ(PromptBand(), prompts);
    // Chosen and confirmed: the slot takes it.
    Tap(kPadCircle);
    Step();
    EXPECT_EQ(page.chosenSlot, 1);  // kept while the page is open
    Tap(kPadCircle);
    Step();
    EXPECT_EQ(Worn(1), 5100030);
    EXPECT_EQ(page.EquipPage()->slotIds[1], 5100030);
    EXPECT_FLOAT_EQ(page.SlotIcon(1)->picture.s0, ui->GetWeaponIcon(5100030)->s0);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600080}));
    EXPECT_FALSE(ui->IsModalBoxOpen());
    EXPECT_EQ(PromptBand(), prompts);
}

// Cross and circle mashed together in the slot choice: the cancel is all
// that happens (both slots back, its sound alone), and nothing is worn;
// before that, a click while the pad is gone goes unheard.
TEST_F(StatusTabsTest, ACancelPressedWithAConfirmOnlyCancelsTheSlotChoice)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    OwnEquipment();
    OpenEquipmentTab(kStatusPageLobbyMode);
    ASSERT_FALSE(HasFatalFailure());
    Down(4);
    ASSERT_EQ(page.EquipPage()->SelectedEntry()->itemId, 5100030);
    Tap(kPadCircle);
    Step();
    ASSERT_EQ(page.slotChoice, 1);
    Sounds();
    // A click while the pad is gone is not heard.
    gs.padStates[kPadStateBlock][0].connected = 0;
    MouseButtonState = 1;
    Step();
    gs.padStates[kPadStateBlock][0].connected = 1;
    EXPECT_EQ(page.slotChoice, 1);
    EXPECT_EQ(Worn(0), 5100030);  // still the preview
    EXPECT_TRUE(Sounds().empty());
    Tap(kPadCross);
    Tap(kPadCircle);
    Step();
    ExpectSlotChoiceLeftWithBothSlotsBack();
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600050}));
}

TEST_F(StatusTabsTest, WornArmourAsksWordFiveAndAnswerOneTakesItOff)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    OwnEquipment();
    OpenEquipmentTab(kStatusPageLobbyMode);
    ASSERT_FALSE(HasFatalFailure());
    Down(2);
    ASSERT_EQ(page.EquipPage()->SelectedEntry()->itemId, 5100010);
    Sounds();
    // The screen manager's update runs the box while it is open.
    Tap(kPadCircle);
    Step();
    ASSERT_TRUE(ui->IsModalBoxOpen());
    EXPECT_TRUE(page.EquipPage()->question);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600000}));
    // The other answer leaves it.
    Tap(kPadCircle);
    Updates(1);
    EXPECT_FALSE(ui->IsModalBoxOpen());
    EXPECT_FALSE(page.EquipPage()->question);
    EXPECT_EQ(Worn(0), 5100010);
    // Asked again; left picks the first answer.
    Tap(kPadCircle);
    Step();
    ASSERT_TRUE(ui->IsModalBoxOpen());
    Sounds();
    Tap(kPadLeft);
    Updates(1);
    Tap(kPadCircle);
    Updates(1);
    EXPECT_EQ(Worn(0), 0);
    EXPECT_EQ(page.EquipPage()->slotIds[0], 0);
    EXPECT_EQ(page.SlotIcon(0), nullptr);
    EXPECT_EQ(page.EquipPage()->Entry(2).equippedSlot, -1);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600010, 6600090}));
}

// The page closed (and opened again) while its question about worn armour
// is still up: the answer that comes later belongs to no page, and takes
// nothing off.
TEST_F(StatusTabsTest, AQuestionLeftOpenWhenThePageClosesTakesNothingOffLater)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    OwnEquipment();
    OpenEquipmentTab(kStatusPageLobbyMode);
    ASSERT_FALSE(HasFatalFailure());
    Down(2);
    Tap(kPadCircle);
    Step();
    ASSERT_TRUE(ui->IsModalBoxOpen());
    page.SetActive(0);
    OpenEquipmentTab(kStatusPageLobbyMode);
    ASSERT_FALSE(HasFatalFailure());
    Down(2);
    ASSERT_EQ(page.EquipPage()->SelectedEntry()->itemId, 5100010);
    ASSERT_TRUE(ui->IsModalBoxOpen());
    Tap(kPadLeft);
    Updates(1);
    Tap(kPadCircle);
    Updates(1);
    EXPECT_FALSE(ui->IsModalBoxOpen());
    EXPECT_EQ(Worn(0), 5100010);
    EXPECT_EQ(page.EquipPage()->slotIds[0], 5100010);
}

class SkillTabTest : public StatusTabsTest {
protected:
    const SkillCommandDisplay &Shown() const
    {
        return *page.SkillPage()->Display(page.SkillPage()->SelectedRecord());
    }
    uint32_t PictureAlpha(int i) const { return Shown().pictures[static_cast<size_t>(i)].quad.v[0].emissiveColor >> 24; }
    void OpenSkillTab()
    {
        page.Init(kStatusPagePauseMode);
        page.SetActive(1);
        ASSERT_TRUE(StepUntilPackDone());
        Tap(kPadLeft);
        Step();
        ASSERT_EQ(page.currentTab, kTabSkills);
    }
    void SelectShown(int32_t shown)
    {
        while (page.SkillPage()->SelectedShown() < shown) {
            Down();
        }
    }
    // Opens the page on a tree whose first hero's skill file is `skills`.
    void OpenWithSkillFile(const char *tree, const char16_t *skills)
    {
        const std::string root = pausetest::TreeWithout(tree, {"RESOURCE/UITEXT/SKILL/USA/CHAR01.SKL"});
        if (!root.empty()) {
            std::ofstream(root + "/RESOURCE/UITEXT/SKILL/USA/CHAR01.SKL", std::ios::binary)
                << mkdata::EncodeUtf16Le(skills);
        }
        Open(kStatusPagePauseMode, root);
    }
};

TEST_F(SkillTabTest, GatedSkillsAreListedOnlyOnceLearned)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    OpenSkillTab();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(page.SkillPage()->ShownCount(), 4);  // 1, 2, 12 and 9
    page.SetActive(0);
    hero->SetAbilityFlag(3, 1);
    OpenSkillTab();
    ASSERT_FALSE(HasFatalFailure());
    const CSSkillPage *skills = page.SkillPage();
    ASSERT_EQ(skills->Records().size(), 7u);
    EXPECT_EQ(skills->ShownCount(), 5);  // and 3; not 5 or 8
    EXPECT_EQ(ListRow(3), u"Whirlwind");
    EXPECT_EQ(ListRow(4), u"Guard Break");
    // Learned later: listed at the next opening of the tab.
    hero->SetAbilityFlag(5, 1);
    Tap(kPadRight);
    Step();
    Tap(kPadLeft);
    Step();
    EXPECT_EQ(page.SkillPage()->ShownCount(), 6);
    EXPECT_EQ(ListRow(4), u"Thunder Call");
}

TEST_F(SkillTabTest, CommandsAreLaidOutAsKeyPictures)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    hero->SetAbilityFlag(3, 1);
    hero->SetAbilityFlag(5, 1);
    OpenSkillTab();
    ASSERT_FALSE(HasFatalFailure());
    const CSSkillPage *skills = page.SkillPage();
    // "12 A-B": the base name, then A 55, - 20 and B 50 wide.
    const SkillCommandDisplay *whirl = skills->Display(3);
    ASSERT_EQ(whirl->count, 3);
    ASSERT_NE(whirl->baseName, nullptr);
    EXPECT_EQ(whirl->baseNameText, u"Rising Blade");
    const float x = 320.0f + static_cast<float>(whirl->baseName->GetMaxRowWidth());
    const float widths[3] = {55, 20, 50};
    float left = x;
    for (int i = 0; i < 3; ++i) {
        const UIPicture &p = whirl->pictures[static_cast<size_t>(i)].picture;
        EXPECT_FLOAT_EQ(p.left, left) << i;
        EXPECT_FLOAT_EQ(p.right - p.left, widths[i]) << i;
        EXPECT_FLOAT_EQ(p.top, 112.0f);
        left += widths[i];
    }
    EXPECT_FLOAT_EQ(whirl->pictures[0].picture.bottom, 128.7f);
    EXPECT_FLOAT_EQ(whirl->pictures[1].picture.s0, ui->GetKeyPrompt(256)->s0);
    // "X&Y": X, two pictures for "&", Y.
    EXPECT_EQ(skills->Display(4)->count, 4);
    EXPECT_EQ(skills->Display(4)->characters, (std::vector<char>{'X', '&', '&', 'Y'}));
    // "R *b": only R and *.
    EXPECT_EQ(skills->Display(5)->count, 2);
    EXPECT_FLOAT_EQ(skills->Display(5)->pictures[1].picture.left, 320.0f + 50.0f);
    // Ability 8 starts 30 further left.
    EXPECT_FLOAT_EQ(skills->Display(6)->pictures[0].picture.left, 290.0f);
}

// Each command character's picture: the key prompt's texture, its own
// source or the prompt's, its width and bottom, all at the commands' top in
// grey 240; "&" takes two pictures and a character without one takes none
// and no room.
TEST_F(SkillTabTest, EachCommandCharacterTakesItsKeyPictureAtItsWidth)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    struct Glyph {
        char c;
        uint32_t bit;
        float s0, t0, s1, t1;  // 0: the prompt's own
        float width;
        float bottom;
    };
    const Glyph glyphs[] = {
        {'A', 1, 0.009765625f, 0.849609375f, 0.138671875f, 0.873046875f, 55, 128.7f},
        {'B', 2, 0.009765625f, 0.875f, 0.126953125f, 0.8984375f, 50, 128},
        {'Y', 4, 0.009765625f, 0.93359375f, 0.1015625f, 0.95703125f, 40, 128},
        {'X', 8, 0.009765625f, 0.8203125f, 0.1328125f, 0.84375f, 53, 128},
        {'R', 16, 0.009765625f, 0.904296875f, 0.12109375f, 0.927734375f, 50, 128},
        {'*', 64, 0.009765625f, 0.9609375f, 0.126953125f, 0.984375f, 58, 128},
        {'+', 128, 0, 0, 0, 0, 16, 129},
        {'-', 256, 0, 0, 0, 0, 20, 129},
        {'&', 256, 0, 0, 0, 0, 20, 129},
        {'&', 256, 0, 0, 0, 0, 20, 129},
    };
    const std::string command = "ABYXR*+-z&";
    SkillCommandDisplay display;
    display.pictures = std::make_unique<OwnedPicture[]>(command.size() + 1);
    ASSERT_EQ(CSSkillPage::LayCommand(command, 10.0f, &display), 10);
    ASSERT_EQ(display.count, 10);
    float x = 10.0f;
    for (size_t i = 0; i < std::size(glyphs); ++i) {
        const Glyph &g = glyphs[i];
        SCOPED_TRACE(g.c);
        EXPECT_EQ(display.characters[i], g.c);
        const UIPicture *prompt = ui->GetKeyPrompt(g.bit);
        ASSERT_NE(prompt, nullptr);
        const OwnedPicture &picture = display.pictures[i];
        const UIPicture &p = picture.picture;
        EXPECT_EQ(p.texture, prompt->texture);
        EXPECT_FLOAT_EQ(p.s0, g.s1 != 0 ? g.s0 : prompt->s0);
        EXPECT_FLOAT_EQ(p.t0, g.s1 != 0 ? g.t0 : prompt->t0);
        EXPECT_FLOAT_EQ(p.s1, g.s1 != 0 ? g.s1 : prompt->s1);
        EXPECT_FLOAT_EQ(p.t1, g.s1 != 0 ? g.t1 : prompt->t1);
        EXPECT_FLOAT_EQ(p.left, x);
        EXPECT_FLOAT_EQ(p.right, x + g.width);
        EXPECT_FLOAT_EQ(p.top, 112.0f);
        EXPECT_FLOAT_EQ(p.bottom, g.bottom);
        EXPECT_EQ(picture.quad.v[2].emissiveColor, 0xF0F0F0F0u);
        x += g.width;
    }
}

// The second hero's ability 3 starts its command 50 further left, his
// ability 4 where any other does.
TEST_F(SkillTabTest, TheSecondHerosCommandsStartWhereHisSkillsPutThem)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    CSHero *second = AddHero();
    ASSERT_EQ(second->aiType, 1);
    Links().hero = second;
    second->SetAbilityFlag(3, 1);
    second->SetAbilityFlag(4, 1);
    OpenSkillTab();
    ASSERT_FALSE(HasFatalFailure());
    const CSSkillPage *skills = page.SkillPage();
    ASSERT_EQ(skills->Records().size(), 5u);
    // "12 X-A" after the name of Leap.
    const SkillCommandDisplay *star = skills->Display(2);
    ASSERT_NE(star->baseName, nullptr);
    EXPECT_EQ(star->baseNameText, u"Leap");
    EXPECT_FLOAT_EQ(star->pictures[0].picture.left, 320.0f + static_cast<float>(star->baseName->GetMaxRowWidth()) - 50.0f);
    // "A&B".
    EXPECT_FLOAT_EQ(skills->Display(3)->pictures[0].picture.left, 320.0f);
}

// The first hero's ability 4 starts its command 20 further left.
TEST_F(SkillTabTest, TheFirstHerosAbilityFourStartsFurtherLeft)
{
    OpenWithSkillFile("ability_four", u"Count: 2\r\n#\r\nAbility: 1\r\nFirst\r\nA\r\n-\r\n\r\n"
                      u"#\r\nAbility: 4\r\nFourth\r\nX-Y\r\n-\r\n\r\n");
    ASSERT_FALSE(HasFatalFailure());
    hero->SetAbilityFlag(4, 1);
    ASSERT_TRUE(StepUntilPackDone());
    Tap(kPadLeft);
    Step();
    const CSSkillPage *skills = page.SkillPage();
    ASSERT_EQ(skills->ShownCount(), 2);
    EXPECT_FLOAT_EQ(skills->Display(0)->pictures[0].picture.left, 320.0f);
    EXPECT_FLOAT_EQ(skills->Display(1)->pictures[0].picture.left, 300.0f);
}

// A group that ends the command is lit whole, then the demonstration
// starts over from the first picture.
TEST_F(SkillTabTest, AGroupEndingTheCommandIsLitWholeThenTheDemonstrationWraps)
{
    OpenWithSkillFile("plus_last", u"Count: 1\r\n#\r\nAbility: 1\r\nPair\r\nA+B\r\n-\r\n\r\n");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(StepUntilPackDone());
    Tap(kPadLeft);
    Step();
    ASSERT_EQ(page.currentTab, kTabSkills);
    ASSERT_EQ(Shown().characters, (std::vector<char>{'A', '+', 'B'}));
    Step(1, 0.5f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(PictureAlpha(i), 170u) << i;
    }
    Step(1, 0.5f);
    EXPECT_EQ(page.SkillPage()->DemoStep(), 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(PictureAlpha(i), 240u) << i;
    }
}

TEST_F(SkillTabTest, TheDemonstrationLightsAPlusGroupTogetherThenGoesOn)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    OpenSkillTab();
    ASSERT_FALSE(HasFatalFailure());
    SelectShown(1);  // Dash Cut: "R+A-B"
    ASSERT_EQ(Shown().characters, (std::vector<char>{'R', '+', 'A', '-', 'B'}));
    // R, + and A fade together for a second.
    Step(1, 0.5f);
    EXPECT_EQ(page.SkillPage()->DemoStep(), 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(PictureAlpha(i), 170u) << i;
    }
    EXPECT_EQ(PictureAlpha(3), 240u);
    Step(1, 0.5f);
    EXPECT_EQ(page.SkillPage()->DemoStep(), 3);
    EXPECT_EQ(PictureAlpha(0), 240u);
    // Then "-" for half a second, then B.
    Step(1, 0.25f);
    EXPECT_EQ(PictureAlpha(3), 205u);
    Step(1, 0.25f);
    EXPECT_EQ(page.SkillPage()->DemoStep(), 4);
    Step(1, 0.5f);
    EXPECT_EQ(PictureAlpha(4), 170u);
    Step(1, 0.5f);
    EXPECT_EQ(page.SkillPage()->DemoStep(), 0);  // and round again
}

TEST_F(SkillTabTest, ABaseSkillsNameFadesBeforeItsCommand)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    hero->SetAbilityFlag(3, 1);
    OpenSkillTab();
    ASSERT_FALSE(HasFatalFailure());
    SelectShown(3);  // Whirlwind
    ASSERT_EQ(page.SkillPage()->DemoTime(), 0.0f);
    Step(1, 0.5f);
    EXPECT_EQ(Shown().baseName->Color(), 0xAA141414u);
    EXPECT_EQ(PictureAlpha(0), 240u);
    Step(1, 0.5f);
    EXPECT_TRUE(Shown().namePhaseDone);
    EXPECT_EQ(Shown().baseName->Color(), 0xF0141414u);
    Step(1, 0.5f);
    EXPECT_EQ(PictureAlpha(0), 170u);
    // "A-B": A a second, "-" half a second, B a second; then the name fades again.
    Step(1, 0.5f);
    Step(1, 0.5f);
    Step(1, 1.0f);
    EXPECT_EQ(page.SkillPage()->DemoStep(), 0);
    EXPECT_FALSE(Shown().namePhaseDone);
    Step(1, 0.5f);
    EXPECT_EQ(Shown().baseName->Color(), 0xAA141414u);
    EXPECT_EQ(PictureAlpha(0), 240u);
}

TEST_F(SkillTabTest, TheSelectionStartsOnTheFirstListedSkill)
{
    // A file whose first skill is gated.
    OpenWithSkillFile("gated_first", u"Count: 3\r\n#\r\nAbility: 7\r\nHidden\r\nX\r\n-\r\n\r\n"
                      u"#\r\nAbility: 1\r\nFirst\r\nA+B\r\n-\r\n\r\n"
                      u"#\r\nAbility: 8\r\nAlso Hidden\r\nY\r\n-\r\n\r\n");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(StepUntilPackDone());
    Tap(kPadLeft);
    Step();
    const CSSkillPage *skills = page.SkillPage();
    EXPECT_EQ(skills->ShownCount(), 1);
    EXPECT_EQ(skills->SelectedRecord(), 1);
    EXPECT_EQ(Shown().characters, (std::vector<char>{'A', '+', 'B'}));
    // Up and down stay on it, only bumping.
    Down();
    Tap(kPadUp);
    Step();
    EXPECT_EQ(skills->SelectedRecord(), 1);
    EXPECT_EQ(skills->SelectedShown(), 0);
    // Triangle tells about it.
    Sounds();
    Tap(kPadTriangle);
    Step();
    EXPECT_TRUE(skills->DescriptionShown());
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600060}));
}

// Moving to another skill starts its demonstration from its first picture;
// a press that bumps against either end of the list leaves the
// demonstration running where it is.
TEST_F(SkillTabTest, MovingStartsTheDemonstrationAgainAndABumpAtAnEndDoesNot)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    OpenSkillTab();
    ASSERT_FALSE(HasFatalFailure());
    const CSSkillPage *skills = page.SkillPage();
    ASSERT_EQ(skills->ShownCount(), 4);
    auto half = [&] { Step(1, 0.5f); };  // each step also runs the demonstration
    half();
    const float atTop = skills->DemoTime();
    Tap(kPadUp);
    Step();
    EXPECT_EQ(skills->SelectedShown(), 0);
    EXPECT_FLOAT_EQ(skills->DemoTime(), atTop + 0.016f);  // bumped: still running
    ASSERT_EQ(PictureAlpha(0), 167u);                      // Slash's "A" half lit
    // Down to Dash Cut ("R+A-B") with the first skill half lit: from the
    // start, Slash's "A" back at rest for the next time it is shown.
    Tap(kPadDown);
    Step();
    ASSERT_EQ(skills->SelectedShown(), 1);
    EXPECT_EQ(skills->Display(0)->pictures[0].quad.v[0].emissiveColor >> 24, 240u);
    EXPECT_EQ(skills->DemoStep(), 0);
    EXPECT_EQ(skills->DemoTime(), 0.0f);
    half();
    half();
    ASSERT_EQ(skills->DemoStep(), 3);
    Step(1, 0.25f);
    EXPECT_EQ(PictureAlpha(3), 205u);
    // Up while "-" is lit: back on the first skill, from its start, and the
    // "-" left back at rest for the next time Dash Cut is shown.
    Tap(kPadUp);
    Step();
    ASSERT_EQ(skills->SelectedShown(), 0);
    EXPECT_EQ(skills->DemoStep(), 0);
    EXPECT_EQ(skills->DemoTime(), 0.0f);
    EXPECT_EQ(skills->Display(1)->pictures[3].quad.v[0].emissiveColor >> 24, 240u);
    // At the bottom a bump leaves the demonstration where it is.
    Down(3);
    ASSERT_EQ(skills->SelectedShown(), 3);
    half();
    const float atBottom = skills->DemoTime();
    const int32_t step = skills->DemoStep();
    Tap(kPadDown);
    Step();
    EXPECT_EQ(skills->SelectedShown(), 3);
    EXPECT_EQ(skills->DemoStep(), step);
    EXPECT_FLOAT_EQ(skills->DemoTime(), atBottom + 0.016f);
}

// A skill whose command has no key in it lights nothing; a hero who has
// learned none of his file's skills gets one blank row on which the keys
// do nothing, and no demonstration.
TEST_F(SkillTabTest, ACommandWithoutKeysLightsNothingAndNoLearnedSkillGivesOneBlankRow)
{
    OpenWithSkillFile("none_learned", u"Count: 3\r\n#\r\nAbility: 7\r\nHidden\r\nX\r\n-\r\n\r\n"
                      u"#\r\nAbility: 8\r\nAlso Hidden\r\nY\r\n-\r\n\r\n"
                      u"#\r\nAbility: 3\r\nSpoken\r\nabc\r\n-\r\n\r\n");
    ASSERT_FALSE(HasFatalFailure());
    hero->SetAbilityFlag(3, 1);
    ASSERT_TRUE(StepUntilPackDone());
    Tap(kPadLeft);
    Step();
    ASSERT_EQ(page.currentTab, kTabSkills);
    const CSSkillPage *skills = page.SkillPage();
    ASSERT_EQ(skills->ShownCount(), 1);
    EXPECT_EQ(skills->SelectedRecord(), 2);
    EXPECT_EQ(Shown().count, 0);
    Step(1, 2.0f);
    EXPECT_EQ(skills->DemoStep(), 0);
    // Ability 3 forgotten: nothing is listed at the tab's next showing.
    hero->SetAbilityFlag(3, 0);
    Tap(kPadRight);
    Step();
    Tap(kPadLeft);
    Step();
    ASSERT_EQ(page.currentTab, kTabSkills);
    EXPECT_EQ(skills->ShownCount(), 0);
    EXPECT_EQ(skills->SelectedRecord(), -1);
    EXPECT_EQ(ListRow(0), u" ");
    Sounds();
    for (const PadButton key : {kPadDown, kPadUp, kPadTriangle}) {
        Tap(key);
        Step(1, 2.0f);
    }
    EXPECT_EQ(skills->SelectedShown(), 0);
    EXPECT_EQ(skills->DemoStep(), 0);
    EXPECT_FALSE(skills->DescriptionShown());
    EXPECT_EQ(Sounds(), std::vector<int64_t>{});
}

// The tab shown again (after another tab) stays on the skill the player
// had chosen, with its command shown.
TEST_F(SkillTabTest, BackOnTheTabTheChosenSkillIsStillChosen)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    OpenSkillTab();
    ASSERT_FALSE(HasFatalFailure());
    SelectShown(2);
    const CSSkillPage *skills = page.SkillPage();
    const int32_t chosen = skills->SelectedRecord();
    ASSERT_GT(chosen, 0);
    Tap(kPadRight);
    Step();
    ASSERT_NE(page.currentTab, kTabSkills);
    Tap(kPadLeft);
    Step();
    ASSERT_EQ(page.currentTab, kTabSkills);
    EXPECT_EQ(skills->SelectedShown(), 2);
    EXPECT_EQ(skills->SelectedRecord(), chosen);
    EXPECT_EQ(page.List().Selected(), 2);
    Down();
    EXPECT_EQ(skills->SelectedShown(), 3);
}

// A tab starts on the frame it is entered from either side: the skill
// tab's demonstration from nothing, its first picture at rest.
TEST_F(SkillTabTest, TheDemonstrationStartsFromNothingWhenTheTabIsEntered)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    OpenSkillTab();  // left from the items
    ASSERT_FALSE(HasFatalFailure());
    const CSSkillPage *skills = page.SkillPage();
    EXPECT_EQ(skills->DemoTime(), 0.0f);
    EXPECT_EQ(PictureAlpha(0), 240u);
    Tap(kPadLeft);  // to the equipment
    Step();
    ASSERT_EQ(page.currentTab, kTabEquipment);
    Tap(kPadRight);  // and back from it
    Step();
    ASSERT_EQ(page.currentTab, kTabSkills);
    EXPECT_EQ(skills->DemoTime(), 0.0f);
    EXPECT_EQ(PictureAlpha(0), 240u);
    // The page turned on again while it shows stays as it is.
    Down();
    page.SetActive(1);
    EXPECT_EQ(page.currentTab, kTabSkills);
    EXPECT_EQ(page.SkillPage(), skills);
    EXPECT_EQ(skills->SelectedShown(), 1);
}

// Up walks back over the same skills down walked, past the ones not yet
// learned, and stops on the first.
TEST_F(SkillTabTest, UpRetracesTheListedSkillsAndStopsOnTheFirst)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    hero->SetAbilityFlag(3, 1);
    OpenSkillTab();
    ASSERT_FALSE(HasFatalFailure());
    const CSSkillPage *skills = page.SkillPage();
    ASSERT_EQ(skills->ShownCount(), 5);
    std::vector<int32_t> down = {skills->SelectedRecord()};
    for (int32_t shown = 1; shown < 5; ++shown) {
        Down();
        EXPECT_EQ(skills->SelectedShown(), shown);
        down.push_back(skills->SelectedRecord());
    }
    Down();  // the last stays
    EXPECT_EQ(skills->SelectedShown(), 4);
    // The skills of abilities 5 and 8 are not learned: the walk down passed over them.
    EXPECT_EQ(down, (std::vector<int32_t>{0, 1, 2, 3, 5}));
    for (int32_t shown = 3; shown >= 0; --shown) {
        Tap(kPadUp);
        Step();
        EXPECT_EQ(skills->SelectedShown(), shown);
        EXPECT_EQ(skills->SelectedRecord(), down[static_cast<size_t>(shown)]) << shown;
        EXPECT_NE(skills->Records()[static_cast<size_t>(skills->SelectedRecord())].shown, 0);
    }
    Tap(kPadUp);
    Step();
    EXPECT_EQ(skills->SelectedShown(), 0);
    EXPECT_EQ(skills->SelectedRecord(), down[0]);
}

// The page's texts come from the game's pool of 50 blocks: after every tab
// has been shown (a skill with its base skill's name among them) and the
// page is closed, each block it took is free again for the next screen.
TEST_F(SkillTabTest, ClosingThePageGivesBackEveryTextBlockItTook)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    hero->SetAbilityFlag(3, 1);
    const auto blocksInUse = [&] { return uitest::TextBlocksInUse(gs); };
    const int before = blocksInUse();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        OpenSkillTab();
        ASSERT_FALSE(HasFatalFailure());
        SelectShown(3);  // Whirlwind, after the name of Rising Blade
        ASSERT_NE(Shown().baseName, nullptr);
        Step(10);
        EXPECT_GT(blocksInUse(), before);
        Tap(kPadRight);  // the items
        Step();
        Tap(kPadRight);  // the equipment
        Step();
        page.SetActive(0);
        EXPECT_EQ(blocksInUse(), before);
    }
}

}  // namespace

}  // namespace status_tabs_test
