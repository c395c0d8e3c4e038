// The item manager (see item_manager.h).
#include "actor/item_manager.h"

#include <algorithm>

#include "app/debug.h"
#include "app/game_rand.h"

namespace {

// The last record of `list` whose `id` field is `value`.
template <typename T, typename Id>
const T *FindLast(const std::vector<T> &list, Id id, int32_t value)
{
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        if ((*it).*id == value) {
            return &*it;
        }
    }
    return nullptr;
}

bool ValidList(int32_t list) { return list >= 0 && list < kItemListCount; }

const std::vector<OwnedItem> &NoItems()
{
    static const std::vector<OwnedItem> empty;
    return empty;
}

}  // namespace

const ItemContent *CSItemManager::FindItemContent(int32_t itemId) const
{
    return FindLast(tables_.items, &ItemContent::itemId, itemId);
}

const RecoverContent *CSItemManager::FindRecoverContent(int32_t itemId) const
{
    return FindLast(tables_.recover, &UseContent::id, itemId);
}

const ExplodeContent *CSItemManager::FindExplodeContent(int32_t itemId) const
{
    return FindLast(tables_.explode, &UseContent::id, itemId);
}

const EquipContent *CSItemManager::FindEquipContent(int32_t itemId) const
{
    return FindLast(tables_.equip, &EquipContent::equipId, itemId);
}

int32_t CSItemManager::RollDrop(int32_t mapId) const
{
    const DropMap *map = FindLast(dropMaps_, &DropMap::id, mapId);
    if (map == nullptr) {
        return 0;
    }
    const int32_t roll = game::Rand() % 100;
    int32_t sum = 0;
    for (const DropEntry &entry : map->entries) {
        sum += entry.percent;
        if (sum > roll) {
            return entry.itemId;
        }
    }
    return 0;
}

OwnedItem *CSItemManager::FindOwned(int32_t list, int32_t itemId)
{
    if (!ValidList(list)) {
        return nullptr;
    }
    for (OwnedItem &entry : lists_[list]) {
        if (entry.itemId == itemId) {
            return &entry;
        }
    }
    return nullptr;
}

bool CSItemManager::AddItem(int32_t list, int32_t itemId)
{
    if (!ValidList(list)) {
        DebugPrint("AddItem: there is no item list %d\n", list);
        return false;
    }
    const ItemContent *content = FindItemContent(itemId);
    if (content == nullptr) {
        DebugPrint("AddItem: item %d is not in the item table\n", itemId);
        return false;
    }
    if (OwnedItem *entry = FindOwned(list, itemId)) {
        if (entry->count >= content->ownLimit) {
            return false;
        }
        entry->count += 1;
        return true;
    }
    if (content->ownLimit <= 0) {
        return false;
    }
    lists_[list].push_back(OwnedItem{itemId, 1});
    return true;
}

bool CSItemManager::HasItem(int32_t list, int32_t itemId) const { return GetItemCount(list, itemId) > 0; }

void CSItemManager::RemoveItem(int32_t list, int32_t itemId)
{
    OwnedItem *entry = FindOwned(list, itemId);
    if (entry == nullptr) {
        return;
    }
    entry->count -= 1;
    if (entry->count <= 0) {
        std::vector<OwnedItem> &items = lists_[list];
        items.erase(items.begin() + (entry - items.data()));
    }
}

int32_t CSItemManager::GetItemCount(int32_t list, int32_t itemId) const
{
    for (const OwnedItem &entry : OwnedList(list)) {
        if (entry.itemId == itemId) {
            return entry.count;
        }
    }
    return 0;
}

void CSItemManager::ClearOwnedLists()
{
    for (int32_t list = 0; list < kItemListCount; ++list) {
        lists_[list].clear();
        selected_[list] = 0;
    }
}

void CSItemManager::ResetItemRange()
{
    std::vector<OwnedItem> &shared = lists_[kItemListShared];
    std::erase_if(shared, [](const OwnedItem &entry) {
        return entry.itemId >= kResetItemFirst && entry.itemId <= kResetItemLast;
    });
}

OwnedItemValue *CSItemManager::ListOwnedByType(int32_t list, int32_t itemType, int32_t *count) const
{
    std::vector<OwnedItemValue> rows;
    for (const OwnedItem &entry : OwnedList(list)) {
        const ItemContent *content = FindItemContent(entry.itemId);
        if (content == nullptr || content->itemType != itemType) {
            continue;
        }
        int32_t value = 0;
        if (const RecoverContent *recover = FindRecoverContent(entry.itemId)) {
            value = recover->Price();
        } else if (const ExplodeContent *explode = FindExplodeContent(entry.itemId)) {
            value = explode->Price();
        }
        rows.push_back(OwnedItemValue{entry.itemId, entry.count, value});
    }
    *count = static_cast<int32_t>(rows.size());
    if (rows.empty()) {
        return nullptr;
    }
    auto *array = new OwnedItemValue[rows.size()];
    std::copy(rows.begin(), rows.end(), array);
    return array;
}

void CSItemManager::FreeItemArray(OwnedItemValue *array, int32_t) { delete[] array; }

bool CSItemManager::Selectable(const OwnedItem &entry) const
{
    const ItemContent *content = FindItemContent(entry.itemId);
    return content != nullptr && (content->itemType == kItemTypeRecover || content->itemType == kItemTypeExplode);
}

const OwnedItem *CSItemManager::GetSelectedItem(int32_t list) const
{
    if (list < 1 || list >= kItemListCount) {
        return nullptr;
    }
    const OwnedItem *first = nullptr;
    for (const OwnedItem &entry : lists_[list]) {
        if (!Selectable(entry)) {
            continue;
        }
        if (entry.itemId == selected_[list]) {
            return &entry;
        }
        if (first == nullptr) {
            first = &entry;
        }
    }
    // The selected entry is gone (or none was chosen): the first usable one.
    return first;
}

void CSItemManager::Step(int32_t list, int32_t direction)
{
    const OwnedItem *current = GetSelectedItem(list);
    if (current == nullptr) {
        return;
    }
    const std::vector<OwnedItem> &items = lists_[list];
    const auto size = static_cast<int64_t>(items.size());
    int64_t at = current - items.data();
    for (int64_t step = 0; step < size; ++step) {
        at = (at + direction + size) % size;
        if (Selectable(items[static_cast<size_t>(at)])) {
            selected_[list] = items[static_cast<size_t>(at)].itemId;
            return;
        }
    }
}

void CSItemManager::SelectNextItem(int32_t list) { Step(list, 1); }

void CSItemManager::SelectPreviousItem(int32_t list) { Step(list, -1); }

const std::vector<OwnedItem> &CSItemManager::OwnedList(int32_t list) const
{
    return ValidList(list) ? lists_[list] : NoItems();
}
