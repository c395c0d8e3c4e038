// The item manager: the lists against OwnLimit, entries unlinked at 0, the
// key items taken out of the shared list, lists by type with their store
// price, the quick-item selection, the drop roll on the game's rand, and
// the icons' sheets and cells; the thrown items monsters flee from.
#include <gtest/gtest.h>

#include "actor/item_icons.h"
#include "actor/item_manager.h"
#include "actor/thrown_items.h"
#include "app/game_rand.h"
#include "stage/stage_manager.h"
#include "tools/mkdata/item_data.h"

namespace item_manager_test {

namespace {

class ItemManagerTest : public ::testing::Test {
protected:
    void SetUp() override { items.SetTables(mkdata::SampleItemTables()); }
    CSItemManager items;
};

TEST_F(ItemManagerTest, ListsHoldUpToTheOwnLimitAndUnlinkAtZero)
{
    const int32_t smokeBomb = 5300050;  // OwnLimit 3
    EXPECT_TRUE(items.AddItem(1, smokeBomb));
    EXPECT_TRUE(items.AddItem(1, smokeBomb));
    EXPECT_TRUE(items.AddItem(1, smokeBomb));
    EXPECT_FALSE(items.AddItem(1, smokeBomb));
    EXPECT_EQ(items.GetItemCount(1, smokeBomb), 3);
    EXPECT_FALSE(items.HasItem(2, smokeBomb));  // the lists are apart
    EXPECT_TRUE(items.AddItem(1, 5300000));
    items.RemoveItem(1, smokeBomb);
    items.RemoveItem(1, smokeBomb);
    EXPECT_EQ(items.OwnedList(1).size(), 2u);
    items.RemoveItem(1, smokeBomb);
    ASSERT_EQ(items.OwnedList(1).size(), 1u);
    EXPECT_EQ(items.OwnedList(1)[0].itemId, 5300000);
    items.RemoveItem(1, smokeBomb);  // not held: nothing
    EXPECT_FALSE(items.HasItem(1, smokeBomb));
    // An item the table does not know, and lists that do not exist, are refused.
    EXPECT_FALSE(items.AddItem(1, 999));
    EXPECT_FALSE(items.AddItem(3, 5300000));
    EXPECT_FALSE(items.AddItem(-1, 5300000));
    EXPECT_EQ(items.GetItemCount(7, 5300000), 0);
    items.ClearOwnedLists();
    EXPECT_TRUE(items.OwnedList(1).empty());
    // An item whose OwnLimit is 0 can never be held.
    ItemTables tables = mkdata::SampleItemTables();
    tables.items.front().ownLimit = 0;
    const int32_t unholdable = tables.items.front().itemId;
    items.SetTables(tables);
    EXPECT_FALSE(items.AddItem(1, unholdable));
    EXPECT_FALSE(items.HasItem(1, unholdable));
    EXPECT_TRUE(items.OwnedList(1).empty());
}

TEST_F(ItemManagerTest, ResetItemRangeTakesTheKeyItemsOutOfTheSharedList)
{
    for (int32_t id : {5402001, 100054, 5402014, 5402007}) {
        ASSERT_TRUE(items.AddItem(0, id)) << id;
    }
    ASSERT_TRUE(items.AddItem(1, 5402003));
    items.ResetItemRange();
    ASSERT_EQ(items.OwnedList(0).size(), 1u);
    EXPECT_EQ(items.OwnedList(0)[0].itemId, 100054);
    EXPECT_TRUE(items.HasItem(1, 5402003));  // only the shared list
}

TEST_F(ItemManagerTest, ListsByTypeCarryTheStorePrice)
{
    items.AddItem(1, 5300060);  // explosive, price 120
    items.AddItem(1, 5300000);  // recovery, price 50
    items.AddItem(1, 5300000);
    items.AddItem(1, 5100160);  // equipment, no price
    items.AddItem(1, 5300070);  // explosive, price 300
    int32_t count = -1;
    OwnedItemValue *explosives = items.ListOwnedByType(1, kItemTypeExplode, &count);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(explosives[0].itemId, 5300060);
    EXPECT_EQ(explosives[0].value, 120);
    EXPECT_EQ(explosives[1].value, 300);
    CSItemManager::FreeItemArray(explosives, count);
    OwnedItemValue *recovery = items.ListOwnedByType(1, kItemTypeRecover, &count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(recovery[0].count, 2);
    EXPECT_EQ(recovery[0].value, 50);
    CSItemManager::FreeItemArray(recovery, count);
    OwnedItemValue *equipment = items.ListOwnedByType(1, kItemTypeEquip, &count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(equipment[0].value, 0);
    CSItemManager::FreeItemArray(equipment, count);
    EXPECT_EQ(items.ListOwnedByType(2, kItemTypeRecover, &count), nullptr);
    EXPECT_EQ(count, 0);
}

TEST_F(ItemManagerTest, TheQuickItemStepsRoundTheUsableItems)
{
    EXPECT_EQ(items.GetSelectedItem(1), nullptr);
    items.AddItem(1, 5100160);  // equipment: never selected
    EXPECT_EQ(items.GetSelectedItem(1), nullptr);
    items.SelectNextItem(1);
    EXPECT_EQ(items.GetSelectedItem(1), nullptr);
    items.AddItem(1, 5300000);
    items.AddItem(1, 5300060);
    items.AddItem(1, 5300020);
    ASSERT_NE(items.GetSelectedItem(1), nullptr);
    EXPECT_EQ(items.GetSelectedItem(1)->itemId, 5300000);  // the first usable one
    items.SelectNextItem(1);
    EXPECT_EQ(items.GetSelectedItem(1)->itemId, 5300060);
    items.SelectNextItem(1);
    items.SelectNextItem(1);
    EXPECT_EQ(items.GetSelectedItem(1)->itemId, 5300000);  // round the list, past the equipment
    items.SelectPreviousItem(1);
    EXPECT_EQ(items.GetSelectedItem(1)->itemId, 5300020);
    items.SelectPreviousItem(1);
    EXPECT_EQ(items.GetSelectedItem(1)->itemId, 5300060);  // one back, not two
    items.SelectNextItem(1);
    EXPECT_EQ(items.GetSelectedItem(1)->itemId, 5300020);
    // The selected entry goes: the first usable one is selected.
    items.RemoveItem(1, 5300020);
    EXPECT_EQ(items.GetSelectedItem(1)->itemId, 5300000);
    // Only the players' lists have a quick item.
    items.AddItem(0, 5300000);
    EXPECT_EQ(items.GetSelectedItem(0), nullptr);
    EXPECT_EQ(items.GetSelectedItem(2), nullptr);
}

TEST_F(ItemManagerTest, DropsRollOnTheGamesRand)
{
    DropMap first;
    first.id = 5;
    first.entries[0] = {100, 100};
    DropMap map;
    map.id = 5;  // the later map of id 5 wins
    map.entries[0] = {11, 10};
    map.entries[1] = {0, 0};
    map.entries[2] = {22, 20};   // running sum 30
    map.entries[15] = {33, 30};  // the last entry, sum 60
    items.SetDropMaps({first, map});
    // The draws of a seeded rand, replayed by hand against the sums.
    game::Srand(7);
    std::vector<int32_t> expected;
    for (int i = 0; i < 200; ++i) {
        const int32_t roll = game::Rand() % 100;
        expected.push_back(roll < 10 ? 11 : roll < 30 ? 22 : roll < 60 ? 33 : 0);
    }
    game::Srand(7);
    int32_t misses = 0;
    for (int i = 0; i < 200; ++i) {
        const int32_t drop = items.RollDrop(5);
        EXPECT_EQ(drop, expected[static_cast<size_t>(i)]) << i;
        EXPECT_NE(drop, 100);
        misses += drop == 0 ? 1 : 0;
    }
    EXPECT_GT(misses, 0);  // rolls past the last sum drop nothing
    // Seeded again, the same drops.
    game::Srand(7);
    EXPECT_EQ(items.RollDrop(5), expected[0]);
    // No map: nothing, and no draw taken.
    game::Srand(3);
    const int32_t next = game::Rand();
    game::Srand(3);
    EXPECT_EQ(items.RollDrop(6), 0);
    EXPECT_EQ(game::Rand(), next);
}

TEST_F(ItemManagerTest, IconsNameTheirSheetAndCell)
{
    ItemTables tables;
    tables.items = {{1, 1, 1, 0}, {2, 1, 1, 5}, {3, 1, 1, 15}, {4, 1, 1, 16 * 3 + 6}, {5, 1, 1, kNoItemIcon}};
    items.SetTables(tables);
    EXPECT_EQ(GetItemIconIndex(4, &items), 54);
    EXPECT_EQ(GetItemIconIndex(4, &items) / kIconCellsPerSheet, 3);
    EXPECT_EQ(GetItemIconIndex(5, &items), kNoItemIcon);
    EXPECT_EQ(GetItemIconIndex(99, &items), kNoItemIcon);
    // Asked without an owner, the running stage's tables answer; with no
    // stage there is no icon.
    CSStageManager stage;
    stage.itemManager = &items;
    CSStageManager *const running = g_pStageManager;
    g_pStageManager = &stage;
    EXPECT_EQ(GetItemIconIndex(4, nullptr), 54);
    g_pStageManager = nullptr;
    EXPECT_EQ(GetItemIconIndex(4, nullptr), kNoItemIcon);
    g_pStageManager = running;
    stage.itemManager = nullptr;
    float s0 = -1;
    float t0 = -1;
    float s1 = -1;
    float t1 = -1;
    ASSERT_TRUE(GetItemIconUV(1, &s0, &t0, &s1, &t1, &items));
    EXPECT_EQ(s0, 0.0f);
    EXPECT_EQ(t0, 0.0f);
    EXPECT_EQ(s1, 0.25f);
    EXPECT_EQ(t1, 0.25f);
    ASSERT_TRUE(GetItemIconUV(2, &s0, &t0, &s1, &t1, &items));  // cell 5: column 1, row 1
    EXPECT_EQ(s0, 0.25f);
    EXPECT_EQ(t0, 0.25f);
    ASSERT_TRUE(GetItemIconUV(3, &s0, &t0, &s1, &t1, &items));  // cell 15: the last
    EXPECT_EQ(s0, 0.75f);
    EXPECT_EQ(t1, 1.0f);
    ASSERT_TRUE(GetItemIconUV(4, &s0, &t0, &s1, &t1, &items));  // sheet 3, cell 6: column 2, row 1
    EXPECT_EQ(s0, 0.5f);
    EXPECT_EQ(t0, 0.25f);
    EXPECT_FALSE(GetItemIconUV(5, &s0, &t0, &s1, &t1, &items));
    EXPECT_EQ(s1, 0.0f);
    EXPECT_EQ(IconSheetName(0), "001.BMP");
    EXPECT_EQ(IconSheetName(11), "012.BMP");
    // Without textures loaded no icon has a sheet.
    CSWorldItemManager world;
    EXPECT_EQ(world.GetItemTexture(0), nullptr);
    EXPECT_EQ(world.GetItemTexture(kNoItemIcon), nullptr);
}

// The first two throws since the update keep their place and item, which
// monsters flee to the nearest of; later ones only count; the update empties it.
TEST(ThrownItems, TheFirstTwoThrowsKeepTheirSlotUntilTheUpdate)
{
    CSThrownItemManager thrown;
    EXPECT_EQ(thrown.GetSlot(0), nullptr);
    const float first[3] = {1.0f, 2.0f, 3.0f};
    const float second[3] = {4.0f, 5.0f, 6.0f};
    const float third[3] = {7.0f, 8.0f, 9.0f};
    thrown.Throw(5300000, first);
    EXPECT_EQ(thrown.ThrownCount(), 1);
    EXPECT_EQ(thrown.GetSlot(1), nullptr);  // not thrown yet
    thrown.Throw(5300050, second);
    thrown.Throw(5300060, third);
    EXPECT_EQ(thrown.ThrownCount(), 3);
    ASSERT_NE(thrown.GetSlot(0), nullptr);
    ASSERT_NE(thrown.GetSlot(1), nullptr);
    EXPECT_EQ(thrown.GetSlot(2), nullptr);
    EXPECT_EQ(thrown.GetSlot(-1), nullptr);
    EXPECT_EQ(thrown.GetSlot(0)->itemId, 5300000);
    EXPECT_EQ(thrown.GetSlot(0)->position[2], 3.0f);
    EXPECT_EQ(thrown.GetSlot(1)->itemId, 5300050);
    EXPECT_EQ(thrown.GetSlot(1)->position[0], 4.0f);
    EXPECT_EQ(thrown.GetSlot(1)->position[1], 5.0f);
    EXPECT_EQ(thrown.GetSlot(1)->position[2], 6.0f);
    thrown.Update();
    EXPECT_EQ(thrown.ThrownCount(), 0);
    EXPECT_EQ(thrown.GetSlot(0), nullptr);
    thrown.Throw(5300060, third);  // the next frame's first throw takes slot 0 again
    ASSERT_NE(thrown.GetSlot(0), nullptr);
    EXPECT_EQ(thrown.GetSlot(0)->itemId, 5300060);
}

}  // namespace

}  // namespace item_manager_test
