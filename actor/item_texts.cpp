// The item description table (see item_texts.h).
#include "actor/item_texts.h"

const ItemDescEntry *CSItemDescTable::Find(int32_t itemId) const
{
    for (const ItemDescEntry &entry : entries_) {
        if (entry.itemId == itemId) {
            return &entry;
        }
    }
    return nullptr;
}
