// The sample's items: the item table ITEMCON.ICL (the eight consumables
// 5300000..5300070, the heroes' start weapons 5100160 and 5100210, a few
// pieces of armour, the key items 5402001..5402014, the last-NPC drops
// 5401002, 5401004 and 5401007 and the shared item 100054), the drop maps
// of the first stage's monster and of a sure drop (PROBMAP.PBM), the
// English and Chinese descriptions, the start weapons' models and the items
// pack \PACK\ITEM\ITEM that holds the text files. The icon sheets the
// items' Icon numbers name (001.BMP .. 006.BMP with their masks) are
// interface pictures (ui_pictures.h).
#pragma once

#include <string>
#include <vector>

#include "actor/item_records.h"
#include "rwcore.h"

namespace mkdata {

// The first stage's monster drops from this map (its placement's ItemType).
inline constexpr int32_t kSampleMonsterDropMap = 1;
// A map whose roll always gives the first potion (5300000).
inline constexpr int32_t kSampleSureDropMap = 2;

const ItemTables &SampleItemTables();
const std::vector<DropMap> &SampleDropMaps();
// "ENG" or "CHI".
std::vector<ItemDescEntry> SampleItemDescriptions(const std::string &language);

inline const char *ItemsPackPath() { return "PACK/ITEM/ITEM.STR"; }

bool WriteItemData(const std::string &root);

}  // namespace mkdata
