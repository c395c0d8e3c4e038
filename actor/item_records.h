// The item tables' records: what an item is (ItemContent), what a
// recovery or explosive item does and costs (RecoverContent,
// ExplodeContent), what a piece of equipment adds (EquipContent), the drop
// probability maps and the items' names and descriptions. The readers and
// writers of their files are in item_files.h; the owner of the loaded
// tables and of the players' item lists is CSItemManager (item_manager.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// ItemType values the game tests.
inline constexpr int32_t kItemTypeRecover = 1;
inline constexpr int32_t kItemTypeExplode = 4;
inline constexpr int32_t kItemTypeEquip = 5;
inline constexpr int32_t kItemTypeShared = 7;  // goes to the shared list when picked up

// Equip_Type of a weapon: it goes into equipment slot 2.
inline constexpr int32_t kEquipTypeWeapon = 5;

// Icon of an item that has none.
inline constexpr int32_t kNoItemIcon = -1;

// Numbers a Recover_Type or Explode_Type line may hold.
inline constexpr int32_t kMaxContentValues = 16;
// Entries of one drop map.
inline constexpr int32_t kDropMapEntries = 16;
// Longest aura particle-system name.
inline constexpr size_t kAuraNameSize = 32;

struct ItemContent {
    int32_t itemId = 0;     // Item_ID
    int32_t itemType = 0;   // ItemType
    int32_t ownLimit = 0;   // OwnLimit: the most one list may hold
    int32_t icon = kNoItemIcon;  // Icon: low 4 bits the cell of a 4 x 4 sheet, the rest the sheet
};

// Recover_ID or Explode_ID with the numbers of its Recover_Type or
// Explode_Type line; the last number is the store price.
struct UseContent {
    int32_t id = 0;
    int32_t values[kMaxContentValues] = {};
    int32_t valueCount = 0;

    // The last number of the line, 0 for an empty line.
    int32_t Price() const { return valueCount > 0 ? values[valueCount - 1] : 0; }
};
using RecoverContent = UseContent;
using ExplodeContent = UseContent;

struct EquipContent {
    int32_t equipId = 0;    // Equip_ID; the first field (the screens read it as the item id)
    int32_t equipType = 0;  // Equip_Type: 5 a weapon
    // Weapons: the two property values (Prop1 the attack bonus, Prop2 the
    // second weapon property). Other equipment: the two property flags, set
    // when not 0, whose values are the defence bonus (Prop1) and the life
    // bonus (Prop2).
    int32_t prop[2] = {0, 0};
    char aura[kAuraNameSize] = {};  // Aura: the particle system worn with it, empty for none

    bool IsWeapon() const { return equipType == kEquipTypeWeapon; }
};

// Everything ITEMCON.ICL holds, each list in file order.
struct ItemTables {
    std::vector<ItemContent> items;
    std::vector<RecoverContent> recover;
    std::vector<ExplodeContent> explode;
    std::vector<EquipContent> equip;
};

struct DropEntry {
    int32_t itemId = 0;
    int32_t percent = 0;
};

// One map of PROBMAP.PBM: up to 16 entries, those not in the file (0, 0).
struct DropMap {
    int32_t id = 0;
    DropEntry entries[kDropMapEntries] = {};
};

// One item's texts (UTF-16).
struct ItemDescEntry {
    int32_t itemId = 0;       // Item_ID
    std::u16string name;      // Item_Name
    std::u16string describe;  // Describe
};
