// The store's quantity picker as it is seen with a quantity of two digits:
// the tens and the ones each in their own cell (the other shots show
// quantities below 10, whose tens cell is always 0).
#include <gtest/gtest.h>

#include <string>

#include "actor/item_manager.h"
#include "actor/item_texts.h"
#include "tests/ui/lobby_test_support.h"
#include "tools/mkdata/item_data.h"
#include "ui/lobby_store.h"

namespace lobby_store_picker_test {

namespace {

constexpr int32_t kHerb = 5300000;  // slot 0

class StorePicker : public lobbytest::LobbyTest {
protected:
    void TearDown() override
    {
        uitest::Links().items = nullptr;
        uitest::Links().descriptions = nullptr;
        lobbytest::LobbyTest::TearDown();
    }
    // The herb at `price`, up to 99 carried.
    static ItemTables HerbsAt(int32_t price)
    {
        ItemTables tables = mkdata::SampleItemTables();
        for (UseContent &use : tables.recover) {
            if (use.id == kHerb) {
                use.values[use.valueCount - 1] = price;
            }
        }
        for (ItemContent &item : tables.items) {
            if (item.itemId == kHerb) {
                item.ownLimit = 99;
            }
        }
        return tables;
    }

    CSItemManager items;
    CSItemDescTable texts;
};

TEST_F(StorePicker, ATwoDigitQuantityShowsBothDigits)
{
    items.SetTables(HerbsAt(50));
    texts.SetEntries(mkdata::SampleItemDescriptions("ENG"));
    StartLobby("store_picker");
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }
    uitest::Links().items = &items;
    uitest::Links().descriptions = &texts;
    WaitForMenu();
    OpenPage(2);
    CSLobbyStore *store = lobby->Store();
    ASSERT_TRUE(store->Active());
    ASSERT_TRUE(FramesUntil([&] { return !ui->IsBaseMapRevealing(); }));
    hero.money = 2350;
    Tap(kPadCircle);
    ASSERT_EQ(store->GetMode(), CSLobbyStore::kBuyQuantity);
    Tap(kPadTriangle);  // as many as the money buys
    ASSERT_EQ(store->Quantity(), 47);
    Frames(10);  // the arrows have stopped shaking
    ExpectShot("store_buy_quantity_47");
}

}  // namespace

}  // namespace lobby_store_picker_test
