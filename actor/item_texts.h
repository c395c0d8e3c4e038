// CSItemDescTable: the items' names and descriptions in the running
// language (\RESOURCE\ITEM\DESC\<language>.IDS), looked up by item id.
#pragma once

#include <cstdint>
#include <vector>

#include "actor/item_records.h"

class CSItemDescTable {
public:
    void SetEntries(std::vector<ItemDescEntry> entries) { entries_ = std::move(entries); }
    // The entry of the id, null when the table has none.
    const ItemDescEntry *Find(int32_t itemId) const;
    int32_t Count() const { return static_cast<int32_t>(entries_.size()); }

private:
    std::vector<ItemDescEntry> entries_;
};
