// The lobby's store played by script on the sample's pictures, message
// files and item tables (an item owner of the test's own): the rows of each
// tab, sell prices, the quantity picker and its limit, the quick quantity
// with money 2500, with a price of 0 and with money 5 at a price of 1, a
// purchase that the list refuses, each refusal with its message and sound,
// the upgrades that vanish and appear, selling the last unit, a missing
// message file; and the three tabs with the picker as they are seen.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "actor/item_manager.h"
#include "actor/item_texts.h"
#include "app/game_rand.h"
#include "app/text_block.h"
#include "tests/app/reference_image.h"
#include "tests/ui/lobby_test_support.h"
#include "tools/mkdata/item_data.h"
#include "ui/lobby_store.h"
#include "ui/text_list.h"

namespace lobby_store_test {

namespace {

constexpr int64_t kMove = 6600010;
constexpr int64_t kConfirm = 6600060;
constexpr int64_t kCancel = 6600000;
constexpr int64_t kBack = 6600050;
constexpr int32_t kHerb = 5300000;         // slot 0: price 50, OwnLimit 9
constexpr int32_t kFireFlask = 5300060;    // slot 6: price 120, OwnLimit 5

// The block's rows joined by blanks (the texts wrap at 177 pixels).
std::u16string Text(const CSTextBlock *block)
{
    std::u16string text;
    if (block != nullptr) {
        for (const CSTextBlock::Row &row : block->Rows()) {
            text += (text.empty() ? u"" : u" ") + row.text;
        }
    }
    return text;
}

class Store : public lobbytest::LobbyTest {
protected:
    void SetUp() override
    {
        lobbytest::LobbyTest::SetUp();
        items.SetTables(mkdata::SampleItemTables());
    }
    void TearDown() override
    {
        uitest::Links().items = nullptr;
        uitest::Links().descriptions = nullptr;
        lobbytest::LobbyTest::TearDown();
    }
    // The lobby with the sample's items (or these tables), the store open.
    void OpenStore(const std::string &tree, const ItemTables &tables = mkdata::SampleItemTables())
    {
        items.SetTables(tables);
        texts.SetEntries(mkdata::SampleItemDescriptions("ENG"));
        StartLobby(tree);
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        uitest::Links().items = &items;
        uitest::Links().descriptions = &texts;
        WaitForMenu();
        OpenPage(2);
        store = lobby->Store();
        ASSERT_TRUE(store->Active());
        ASSERT_TRUE(FramesUntil([&] { return !ui->IsBaseMapRevealing(); }));
        Sounds();
    }
    std::vector<int32_t> Rows() const
    {
        std::vector<int32_t> slots;
        for (int32_t row = 0; row < store->RowCount(); ++row) {
            slots.push_back(store->RowSlot(row));
        }
        return slots;
    }
    // The sample tables with one recovery item's price changed.
    static ItemTables WithPrice(int32_t id, int32_t price, int32_t ownLimit = -1)
    {
        ItemTables tables = mkdata::SampleItemTables();
        for (UseContent &use : tables.recover) {
            if (use.id == id) {
                use.values[use.valueCount - 1] = price;
            }
        }
        for (UseContent &use : tables.explode) {
            if (use.id == id) {
                use.values[use.valueCount - 1] = price;
            }
        }
        for (ItemContent &item : tables.items) {
            if (item.itemId == id && ownLimit >= 0) {
                item.ownLimit = ownLimit;
            }
        }
        return tables;
    }

    // With this money: the first row's picker opened (its sounds taken),
    // then triangle for the quick quantity.
    void QuickQuantityWith(int32_t money)
    {
        hero.money = money;
        Tap(kPadCircle);
        ASSERT_EQ(store->GetMode(), CSLobbyStore::kBuyQuantity);
        Sounds();
        Tap(kPadTriangle);
    }
    // Moves the cursor to `row` with the pad.
    void SelectRow(int32_t row)
    {
        while (store->SelectedRow() < row) {
            Tap(kPadDown);
        }
        while (store->SelectedRow() > row) {
            Tap(kPadUp);
        }
    }

    CSItemManager items;
    CSItemDescTable texts;
    CSLobbyStore *store = nullptr;
};

TEST_F(Store, TheTabsOfferWhatTheTablesPriceAndThePlayerOwns)
{
    items.AddItem(1, kHerb);
    OpenStore("store_tabs");
    EXPECT_EQ(store->Tab(), CSLobbyStore::kBuyTab);
    EXPECT_EQ(Rows(), (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(Text(store->DescriptionText()), u"Buy what helps in a fight.");
    Tap(kPadRight);
    EXPECT_EQ(store->Tab(), CSLobbyStore::kSellTab);
    EXPECT_EQ(Rows(), (std::vector<int32_t>{8}));
    Tap(kPadRight);
    EXPECT_EQ(Rows(), (std::vector<int32_t>{16, 17, 18, 19, 20}));
    Tap(kPadRight);
    EXPECT_EQ(store->Tab(), CSLobbyStore::kBuyTab);
    Tap(kPadLeft);
    EXPECT_EQ(store->Tab(), CSLobbyStore::kUpgradeTab);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kMove, kMove, kMove, kMove}));
}

TEST_F(Store, UpAndDownMoveTheCursorOneRowAndStopAtTheEnds)
{
    OpenStore("store_rows");
    ASSERT_EQ(store->RowCount(), 8);
    Tap(kPadUp);
    EXPECT_EQ(store->SelectedRow(), 0);
    for (int row = 1; row <= 3; ++row) {
        Tap(kPadDown);
        EXPECT_EQ(store->SelectedRow(), row);
    }
    Tap(kPadUp);
    EXPECT_EQ(store->SelectedRow(), 2);
    Tap(kPadUp);
    EXPECT_EQ(store->SelectedRow(), 1);
    for (int i = 0; i < 10; ++i) {
        Tap(kPadDown);
    }
    EXPECT_EQ(store->SelectedRow(), 7);
    // The picker opens on the row's item: the last, slot 7.
    Tap(kPadCircle);
    ASSERT_EQ(store->GetMode(), CSLobbyStore::kBuyQuantity);
    EXPECT_EQ(store->RowSlot(store->SelectedRow()), 7);
}

TEST_F(Store, AnItemTheTablesDoNotPriceIsNotOffered)
{
    ItemTables tables = mkdata::SampleItemTables();
    tables.explode.clear();  // no price for slots 5..7
    OpenStore("store_unpriced", tables);
    EXPECT_EQ(Rows(), (std::vector<int32_t>{0, 1, 2, 3, 4}));
    // Nor is an item the item list does not hold, priced as it is.
    tables = mkdata::SampleItemTables();
    std::erase_if(tables.items, [](const ItemContent &item) { return item.itemId == 5300010; });
    items.SetTables(tables);
    Tap(kPadRight);
    Tap(kPadLeft);
    EXPECT_EQ(Rows(), (std::vector<int32_t>{0, 2, 3, 4, 5, 6, 7}));
}

TEST_F(Store, SellPricesAreEightyPercentTruncated)
{
    OpenStore("store_sell_prices", WithPrice(kHerb, 125));
    EXPECT_EQ(store->UnitPrice(0), 125);
    EXPECT_EQ(store->UnitPrice(8), 100);
    items.SetTables(WithPrice(kHerb, 99));
    EXPECT_EQ(store->UnitPrice(8), 79);
    items.SetTables(WithPrice(kFireFlask, 99));
    EXPECT_EQ(store->UnitPrice(14), 79);
}

TEST_F(Store, TheQuickQuantityIsWhatTheMoneyBuysOrTheRoomLeft)
{
    OpenStore("store_quick", WithPrice(kHerb, 1000));
    ASSERT_NO_FATAL_FAILURE(QuickQuantityWith(2500));
    EXPECT_EQ(store->Quantity(), 2);
    EXPECT_EQ(Text(store->MessageText()), u"Total: 2000");
    // With 8 herbs of 9 the room left is 1.
    for (int i = 0; i < 8; ++i) {
        items.AddItem(1, kHerb);
    }
    Tap(kPadTriangle);
    EXPECT_EQ(store->Quantity(), 1);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kConfirm, kConfirm}));
    // With 9 there is none: message 8.
    items.AddItem(1, kHerb);
    Tap(kPadTriangle);
    EXPECT_EQ(Text(store->MessageText()), u"You cannot carry more of it.");
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kCancel}));
}

TEST_F(Store, APriceOfZeroBuysAsManyAsThereIsRoomFor)
{
    OpenStore("store_free", WithPrice(kHerb, 0));
    hero.money = 0;
    Tap(kPadCircle);
    Tap(kPadTriangle);
    EXPECT_EQ(store->Quantity(), 9);
    Tap(kPadCircle);
    ASSERT_TRUE(store->QuestionPending());
    Tap(kPadCircle);
    EXPECT_EQ(items.GetItemCount(1, kHerb), 9);
    EXPECT_EQ(hero.money, 0);
}

TEST_F(Store, TheQuantityStopsAtNinetyNine)
{
    OpenStore("store_limit", WithPrice(kHerb, 1, 150));
    hero.money = 999999;
    Tap(kPadCircle);
    Sounds();
    for (int i = 0; i < 120; ++i) {
        Tap(kPadLeft);
    }
    EXPECT_EQ(store->Quantity(), 99);
    EXPECT_EQ(Sounds().size(), 99u);
    Tap(kPadTriangle);
    EXPECT_EQ(store->Quantity(), 99);
    // Right lowers it, once per press.
    Tap(kPadRight);
    EXPECT_EQ(store->Quantity(), 98);
    // At a price of 1 the quick quantity is what the money pays for.
    hero.money = 5;
    Tap(kPadTriangle);
    EXPECT_EQ(store->Quantity(), 5);
}

TEST_F(Store, APurchaseIsPaidOnlyForWhatTheListTakes)
{
    OpenStore("store_refused");
    hero.money = 1000;
    Tap(kPadCircle);
    for (int i = 0; i < 3; ++i) {
        Tap(kPadLeft);
    }
    ASSERT_EQ(store->Quantity(), 3);
    Tap(kPadCircle);
    ASSERT_TRUE(store->QuestionPending());
    // Before the answer the list fills up to 8 of 9: only one more fits.
    for (int i = 0; i < 8; ++i) {
        items.AddItem(1, kHerb);
    }
    Tap(kPadCircle);
    EXPECT_EQ(items.GetItemCount(1, kHerb), 9);
    EXPECT_EQ(hero.money, 1000 - 50);
    // A purchase the list refuses whole costs nothing.
    Tap(kPadCircle);
    items.RemoveItem(1, kHerb);
    Tap(kPadLeft);
    Tap(kPadCircle);
    ASSERT_TRUE(store->QuestionPending());
    items.AddItem(1, kHerb);
    Tap(kPadCircle);
    EXPECT_EQ(hero.money, 950);
}

TEST_F(Store, MoneyThatDoesNotCoverThePurchaseShakesAndKeepsTheQuantity)
{
    OpenStore("store_no_money");
    hero.money = 60;
    Tap(kPadCircle);
    Tap(kPadLeft);
    Tap(kPadLeft);
    Sounds();
    Tap(kPadCircle);
    EXPECT_FALSE(store->QuestionPending());
    EXPECT_EQ(store->Quantity(), 2);
    EXPECT_EQ(Text(store->MessageText()), u"Not enough money.");
    EXPECT_EQ(store->moneyShakeMs, 0u);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kCancel}));
    // Up and down do nothing in the buy picker: the message stays.
    Tap(kPadUp);
    Tap(kPadDown);
    EXPECT_EQ(Text(store->MessageText()), u"Not enough money.");
    EXPECT_EQ(store->SelectedRow(), 0);
    EXPECT_TRUE(Sounds().empty());
}

// What the store refuses, and how it says so: the quick quantity without
// money for one, left with the list full, an upgrade the money does not
// cover; a quantity of 0 confirmed goes back to the list, silently when
// buying, with the cancel sound when selling.
TEST_F(Store, EachRefusalSaysWhyAndAQuantityOfZeroReturnsToTheList)
{
    OpenStore("store_refusals");
    ASSERT_NO_FATAL_FAILURE(QuickQuantityWith(30));
    EXPECT_EQ(store->Quantity(), 0);
    EXPECT_EQ(Text(store->MessageText()), u"Not enough money.");
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kCancel}));
    Tap(kPadCircle);
    EXPECT_EQ(store->GetMode(), CSLobbyStore::kBrowse);
    EXPECT_TRUE(Sounds().empty());
    // Nine herbs of nine: no room for one more.
    for (int i = 0; i < 9; ++i) {
        items.AddItem(1, kHerb);
    }
    hero.money = 1000;
    Tap(kPadCircle);
    Sounds();
    Tap(kPadLeft);
    EXPECT_EQ(store->Quantity(), 0);
    EXPECT_EQ(Text(store->MessageText()), u"You cannot carry more of it.");
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kCancel}));
    Tap(kPadCircle);
    ASSERT_EQ(store->GetMode(), CSLobbyStore::kBrowse);
    // Selling none of them.
    Tap(kPadRight);
    Tap(kPadCircle);
    ASSERT_EQ(store->GetMode(), CSLobbyStore::kSellQuantity);
    Sounds();
    Tap(kPadCircle);
    EXPECT_EQ(store->GetMode(), CSLobbyStore::kBrowse);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kCancel}));
    EXPECT_EQ(items.GetItemCount(1, kHerb), 9);
    // A life level at 3000 with 1000.
    Tap(kPadRight);
    Tap(kPadCircle);
    ASSERT_EQ(store->GetMode(), CSLobbyStore::kUpgrade);
    Sounds();
    Tap(kPadCircle);
    EXPECT_FALSE(store->QuestionPending());
    EXPECT_EQ(Text(store->MessageText()), u"Not enough money.");
    EXPECT_EQ(store->moneyShakeMs, 0u);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kCancel}));
    EXPECT_EQ(hero.hpLevel, 0);
    EXPECT_EQ(hero.money, 1000);
}

TEST_F(Store, AbilitiesVanishOnceBoughtAndTheirFollowersAppear)
{
    OpenStore("store_upgrades");
    hero.money = 20000;
    Tap(kPadLeft);
    ASSERT_EQ(Rows(), (std::vector<int32_t>{16, 17, 18, 19, 20}));
    // Ability 5 is the fifth row.
    for (int i = 0; i < 4; ++i) {
        Tap(kPadDown);
    }
    Tap(kPadCircle);
    ASSERT_EQ(store->GetMode(), CSLobbyStore::kUpgrade);
    EXPECT_EQ(Text(store->MessageText()), u"Price: 3000");
    Tap(kPadCircle);
    Tap(kPadCircle);
    EXPECT_EQ(hero.GetAbilityFlag(5), 1);
    EXPECT_EQ(hero.money, 17000);
    EXPECT_EQ(Rows(), (std::vector<int32_t>{16, 17, 18, 19, 21, 22}));
    // Ability 3 opens ability 8.
    Tap(kPadDown);
    Tap(kPadDown);
    Tap(kPadCircle);
    Tap(kPadCircle);
    Tap(kPadCircle);
    EXPECT_EQ(hero.GetAbilityFlag(3), 1);
    EXPECT_EQ(Rows(), (std::vector<int32_t>{16, 17, 19, 21, 22, 23}));
}

// Life is bought five times and power three times for the first hero, each
// a level at 3000; at its cap the upgrade leaves the list.
TEST_F(Store, LifeAndPowerRiseALevelEachUntilTheirCaps)
{
    OpenStore("store_levels");
    hero.money = 30000;
    Tap(kPadLeft);
    ASSERT_EQ(Rows(), (std::vector<int32_t>{16, 17, 18, 19, 20}));
    for (int32_t level = 1; level <= 5; ++level) {
        SCOPED_TRACE(level);
        Tap(kPadCircle);
        EXPECT_EQ(Text(store->MessageText()), u"Price: 3000");
        Tap(kPadCircle);
        Tap(kPadCircle);
        EXPECT_EQ(hero.hpLevel, level);
        EXPECT_EQ(hero.powerLevel, 0);
        EXPECT_EQ(hero.money, 30000 - 3000 * level);
    }
    ASSERT_EQ(Rows(), (std::vector<int32_t>{17, 18, 19, 20}));
    SelectRow(0);
    for (int32_t level = 1; level <= 3; ++level) {
        SCOPED_TRACE(level);
        Tap(kPadCircle);
        Tap(kPadCircle);
        Tap(kPadCircle);
        EXPECT_EQ(hero.powerLevel, level);
    }
    EXPECT_EQ(hero.hpLevel, 5);
    EXPECT_EQ(hero.money, 30000 - 8 * 3000);
    EXPECT_EQ(Rows(), (std::vector<int32_t>{18, 19, 20}));
}

// Each hero's upgrades at their own prices, as the price message says: the
// second hero's levels rise to 4 and 5.
TEST_F(Store, EachHerosUpgradesAreOfferedAtTheirPrices)
{
    OpenStore("store_prices");
    const auto prices = [&] {
        std::vector<std::pair<int32_t, std::u16string>> shown;
        for (int32_t row = 0; row < store->RowCount(); ++row) {
            SelectRow(row);
            Tap(kPadCircle);
            shown.emplace_back(store->RowSlot(row), Text(store->MessageText()));
            Tap(kPadCross);
        }
        return shown;
    };
    using Shown = std::vector<std::pair<int32_t, std::u16string>>;
    Tap(kPadLeft);
    EXPECT_EQ(prices(), (Shown{{16, u"Price: 3000"},
                               {17, u"Price: 3000"},
                               {18, u"Price: 3000"},
                               {19, u"Price: 3000"},
                               {20, u"Price: 3000"}}));
    hero.SetAbilityFlag(3, 1);
    hero.SetAbilityFlag(5, 1);
    Tap(kPadRight);
    Tap(kPadLeft);
    EXPECT_EQ(prices(), (Shown{{16, u"Price: 3000"},
                               {17, u"Price: 3000"},
                               {19, u"Price: 3000"},
                               {21, u"Price: 4000"},
                               {22, u"Price: 5000"},
                               {23, u"Price: 4000"}}));
    hero.aiType = 1;
    hero.SetAbilityFlag(3, 0);
    hero.SetAbilityFlag(5, 0);
    Tap(kPadRight);
    Tap(kPadLeft);
    EXPECT_EQ(prices(), (Shown{{24, u"Price: 3000"},
                               {25, u"Price: 3000"},
                               {26, u"Price: 5000"},
                               {27, u"Price: 3000"},
                               {28, u"Price: 3000"}}));
    hero.SetAbilityFlag(4, 1);
    hero.SetAbilityFlag(5, 1);
    hero.SetHPLevel(3);
    hero.SetPowerLevel(5);
    Tap(kPadRight);
    Tap(kPadLeft);
    EXPECT_EQ(prices(), (Shown{{24, u"Price: 3000"},
                               {26, u"Price: 5000"},
                               {29, u"Price: 4000"},
                               {30, u"Price: 4000"},
                               {31, u"Price: 3000"}}));
    // The last life level.
    hero.money = 3000;
    SelectRow(0);
    Tap(kPadCircle);
    Tap(kPadCircle);
    Tap(kPadCircle);
    EXPECT_EQ(hero.hpLevel, 4);
    EXPECT_EQ(hero.money, 0);
    EXPECT_EQ(store->RowSlot(0), 26);
}

// The upgrade rows are named by their messages: the two levels, then the
// hero's own abilities (hero 0 from entry 19, hero 1 from entry 25); the
// triangle shows an upgrade's description, entries 31..44 in the same order.
TEST_F(Store, TheUpgradesAreNamedAndDescribedByTheirHerosMessages)
{
    OpenStore("store_upgrade_names");
    const auto names = [&] {
        std::vector<std::u16string> shown;
        int32_t first = 0;
        int32_t last = 0;
        CSTextBlock *const *rows = store->List()->GetWindow(&first, &last);
        for (int32_t i = 0; rows != nullptr && i <= last - first; ++i) {
            shown.push_back(Text(rows[i]));
        }
        return shown;
    };
    using Names = std::vector<std::u16string>;
    Tap(kPadLeft);
    ASSERT_EQ(store->Tab(), CSLobbyStore::kUpgradeTab);
    EXPECT_EQ(names(), (Names{u"HP level up", u"Power level up", u"Whirl Slash", u"Rising Edge", u"Sky Cutter"}));
    SelectRow(2);
    Tap(kPadTriangle);
    EXPECT_EQ(Text(store->DescriptionText()), u"A spinning slash that hits all around.");
    hero.aiType = 1;
    Tap(kPadRight);
    Tap(kPadLeft);
    EXPECT_EQ(names(), (Names{u"HP level up", u"Power level up", u"Shadow Step", u"Spirit Palm", u"Flame Kick"}));
    SelectRow(4);
    Tap(kPadTriangle);
    EXPECT_EQ(Text(store->DescriptionText()), u"A kick wrapped in fire.");
    SelectRow(1);
    Tap(kPadTriangle);
    EXPECT_EQ(Text(store->DescriptionText()), u"Raises the power level by one: 100 more power.");
}

// Triangle on an item's row shows the item's own description from the
// item texts, on the sell tab as on the buy tab; a click beside no pad is
// not heard. Once its picker is open the row holds: up and down move
// nothing, and while the question is asked left and right leave the
// quantity as asked, which is what is bought.
TEST_F(Store, AnItemsRowShowsItsOwnDescriptionAndItsPickerHoldsTheRow)
{
    items.AddItem(1, kFireFlask);
    OpenStore("store_item_rows");
    hero.money = 1000;
    // With the pad gone a click is not heard.
    gs.padStates[kPadStateBlock][0].connected = 0;
    MouseButtonState = 1;
    Frames(1);
    gs.padStates[kPadStateBlock][0].connected = 1;
    ASSERT_EQ(store->GetMode(), CSLobbyStore::kBrowse);
    EXPECT_TRUE(Sounds().empty());
    SelectRow(1);
    Sounds();
    Tap(kPadTriangle);
    EXPECT_EQ(Text(store->DescriptionText()), u"Restores 1000 life.");
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kConfirm}));
    Tap(kPadCircle);
    ASSERT_EQ(store->GetMode(), CSLobbyStore::kBuyQuantity);
    Tap(kPadDown);
    Tap(kPadUp);
    Tap(kPadUp);
    EXPECT_EQ(store->SelectedRow(), 1);
    Tap(kPadLeft);
    Tap(kPadLeft);
    Tap(kPadCircle);
    ASSERT_TRUE(store->QuestionPending());
    Sounds();
    Tap(kPadLeft);
    Tap(kPadRight);
    Tap(kPadRight);
    EXPECT_EQ(store->Quantity(), 2);
    EXPECT_TRUE(Sounds().empty());
    Tap(kPadCircle);
    EXPECT_EQ(items.GetItemCount(1, 5300010), 2);
    EXPECT_EQ(hero.money, 1000 - 2 * 200);
    // The sell tab: the fire flask's own text.
    Tap(kPadRight);
    ASSERT_EQ(Rows(), (std::vector<int32_t>{9, 14}));
    SelectRow(1);
    Tap(kPadTriangle);
    EXPECT_EQ(Text(store->DescriptionText()), u"Thrown, it bursts into flames.");
}

TEST_F(Store, SellingTheLastUnitRebuildsTheList)
{
    items.AddItem(1, kHerb);
    items.AddItem(1, kFireFlask);
    OpenStore("store_sell");
    hero.money = 0;
    Tap(kPadRight);
    ASSERT_EQ(Rows(), (std::vector<int32_t>{8, 14}));
    Tap(kPadCircle);
    Tap(kPadLeft);
    ASSERT_EQ(store->Quantity(), 1);
    EXPECT_EQ(Text(store->MessageText()), u"You get: 40");
    Tap(kPadCircle);
    Tap(kPadCircle);
    EXPECT_EQ(items.GetItemCount(1, kHerb), 0);
    EXPECT_EQ(hero.money, 40);
    EXPECT_EQ(Rows(), (std::vector<int32_t>{14}));
    // Everything sold: one blank row, and confirm plays the refusal.
    Tap(kPadCircle);
    Tap(kPadTriangle);
    Tap(kPadCircle);
    Tap(kPadCircle);
    EXPECT_EQ(hero.money, 40 + 96);
    EXPECT_EQ(store->RowCount(), 0);
    EXPECT_EQ(store->List()->EntryCount(), 1);
    Sounds();
    Tap(kPadCircle);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kCancel}));
}

TEST_F(Store, BackLeavesTheQuestionThenThePickerThenTheStore)
{
    OpenStore("store_back");
    hero.money = 1000;
    Tap(kPadCircle);
    Tap(kPadLeft);
    Tap(kPadCircle);
    ASSERT_TRUE(store->QuestionPending());
    Sounds();
    Tap(kPadCross);
    EXPECT_FALSE(store->QuestionPending());
    EXPECT_EQ(store->GetMode(), CSLobbyStore::kBuyQuantity);
    Tap(kPadCross);
    EXPECT_EQ(store->GetMode(), CSLobbyStore::kBrowse);
    Tap(kPadCross);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{kBack, kBack, kBack}));
    ASSERT_TRUE(FramesUntil([&] { return lobby->OpenPage() == CSLobby::kMenu; }, 80));
    EXPECT_FALSE(store->Active());
    EXPECT_EQ(items.GetItemCount(1, kHerb), 0);
    // Closed, or never opened, an update of its own takes no key and its
    // drawing shows nothing.
    CSLobbyStore unopened;
    Sounds();
    for (CSLobbyStore *closed : {store, &unopened}) {
        for (PadButton key : {kPadRight, kPadCircle, kPadCross}) {
            Press(0, key);
            closed->Update(16);
            ReleasePads();
        }
        EXPECT_EQ(DrawFrame([&] { closed->Render(); }).pixels, DrawFrame([] {}).pixels);
    }
    EXPECT_TRUE(Sounds().empty());
}

TEST_F(Store, WithoutItsMessageFileEveryTextIsEmpty)
{
    StartLobby("store_no_messages", [](const std::string &root) {
        lobbytest::RewriteOwnPack(root, "LOBYSTOR",
                                  [](const std::string &file) { return file.find("ENGLISH.STO") == std::string::npos; });
    });
    // (The sample tree has no loose message files.)
    items.SetTables(mkdata::SampleItemTables());
    uitest::Links().items = &items;
    WaitForMenu();
    OpenPage(2);
    store = lobby->Store();
    for (int i = 0; i < kStoreMessages; ++i) {
        EXPECT_EQ(std::u16string(store->Messages().Get(i)), u"") << i;
    }
    EXPECT_EQ(store->RowCount(), 8);
}

// A shake moves a picture whole: the picker's left arrow by its own timer,
// the money's digits together, each by the same j (-5..4) in x and in y,
// none stretched. Drawn without their textures, the arrow and the money are
// plain grey rectangles whose edges the frame shows.
TEST_F(Store, AShakeMovesTheArrowAndTheMoneyWholeWithoutStretchingThem)
{
    OpenStore("store_shakes");
    hero.money = 60;
    Tap(kPadCircle);
    Frames(10);
    // Frames drawn with four seeds whose shake is not 0, each checked.
    const auto forShakes = [&](const std::function<void(const win::Frame &, int)> &check) {
        int shaken = 0;
        for (uint32_t seed = 1; seed < 50 && shaken < 4; ++seed) {
            game::Srand(seed);
            const int j = game::Rand() % 10 - 5;
            if (j == 0) {
                continue;
            }
            game::Srand(seed);
            check(DrawFrame([&] { ui->Render(); }), j);
            ++shaken;
        }
        EXPECT_EQ(shaken, 4);
    };
    // The frame shows [x0, x1) x [y0, y1) in the pictures' grey: its corner
    // pixels are grey, the pixels beside each edge are not.
    const auto expectGreyRect = [](const win::Frame &frame, int x0, int y0, int x1, int y1, int j) {
        const uint32_t grey = 0xFFF0F0F0u;
        for (const int x : {x0, x1 - 1}) {
            for (const int y : {y0, y1 - 1}) {
                EXPECT_EQ(frame.At(x, y), grey) << "shake " << j << " at " << x << "," << y;
            }
        }
        const int mx = (x0 + x1) / 2;
        const int my = (y0 + y1) / 2;
        for (const auto &[x, y] : {std::pair{mx, y0 - 1}, std::pair{mx, y1}, std::pair{x0 - 1, my}, std::pair{x1, my}}) {
            EXPECT_NE(frame.At(x, y), grey) << "shake " << j << " beside the edge at " << x << "," << y;
        }
    };

    Tap(kPadLeft);  // one more: the left arrow shakes
    ASSERT_EQ(store->leftShakeMs, 0u);
    RwTexture *const lobbyArt = store->lobbyArt;
    store->lobbyArt = nullptr;
    forShakes([&](const win::Frame &frame, int j) { expectGreyRect(frame, 335 + j, 207 + j, 388 + j, 243 + j, j); });
    store->lobbyArt = lobbyArt;

    Tap(kPadLeft);
    Frames(10);
    Tap(kPadCircle);  // two herbs cost 100: the money shakes
    ASSERT_EQ(store->moneyShakeMs, 0u);
    store->playerArt = nullptr;
    // "60": two digits 18 wide ending at x 580, from y 370 to 394.
    forShakes([&](const win::Frame &frame, int j) { expectGreyRect(frame, 544 + j, 370 + j, 580 + j, 394 + j, j); });
}

TEST_F(Store, TheThreeTabsThePickerAndTheSellQuestionAsTheyAreSeen)
{
    // The sell question's shot shows the left arrow still shaking: its
    // offset comes from the game's generator, started afresh here.
    game::Srand(1);
    items.AddItem(1, kHerb);
    items.AddItem(1, kHerb);
    items.AddItem(1, kFireFlask);
    OpenStore("store_shots");
    hero.money = 4321;
    Tap(kPadDown);
    Tap(kPadDown);
    ExpectShot("store_buy");
    Tap(kPadCircle);
    Tap(kPadLeft);
    Tap(kPadLeft);
    Tap(kPadLeft);
    Frames(10);
    ExpectShot("store_buy_quantity");
    Tap(kPadCross);
    Tap(kPadRight);
    ExpectShot("store_sell");
    // One herb offered: the question that serves buying and selling alike.
    Tap(kPadCircle);
    Tap(kPadLeft);
    Tap(kPadCircle);
    ASSERT_TRUE(store->QuestionPending());
    EXPECT_EQ(Text(store->QuestionText()), u"Is it a deal?");
    ExpectShot("store_sell_question");
    Tap(kPadCross);
    Tap(kPadCross);
    Tap(kPadRight);
    Tap(kPadDown);
    Tap(kPadTriangle);
    ExpectShot("store_upgrades");
}

}  // namespace

// The selected row's item icon stands left of the row's text, on every row
// down to the last, also once the window has scrolled. Drawn without its
// sheet, the icon is a plain grey square whose corners the frame shows.
TEST_F(Store, TheSelectedRowsIconStandsLeftOfItsTextOnEveryRow)
{
    OpenStore("store_row_icon");
    RwTexture *const sheet = store->iconSheet;
    store->iconSheet = nullptr;
    for (int row = 0; row < store->RowCount(); ++row) {
        ASSERT_EQ(store->SelectedRow(), row);
        int32_t first = 0;
        int32_t last = 0;
        CSTextBlock *const *rows = store->list->GetWindow(&first, &last);
        ASSERT_GE(row, first);
        ASSERT_LE(row, last);
        const CSTextBlock *block = rows[row - first];
        ASSERT_TRUE(block != nullptr && !block->Empty()) << row;
        const int x = block->Rows()[0].x;
        const int y = block->Rows()[0].y;
        const win::Frame frame = DrawFrame([&] { ui->Render(); });
        for (const int px : {x - 42, x - 12}) {
            for (const int py : {y - 6, y + 24}) {
                EXPECT_EQ(frame.At(px, py), 0xFFF0F0F0u) << "row " << row << " at " << px << "," << py;
            }
        }
        Tap(kPadDown);
    }
    store->iconSheet = sheet;
}

}  // namespace lobby_store_test
