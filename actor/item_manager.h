// CSItemManager: the item tables and drop maps of the items pack, and the
// three owned-item lists: list 0 shared by the players, list 1 the first
// player's, list 2 the second's. Each list keeps its entries in the order
// they were first added; an entry goes when its count reaches 0. Lists 1
// and 2 also keep the player's quick item: the selected entry among the
// recovery and explosive items (ItemType 1 and 4), which the overlay's
// keys step through.
#pragma once

#include <cstdint>
#include <vector>

#include "actor/item_records.h"

inline constexpr int32_t kItemListShared = 0;
inline constexpr int32_t kItemListCount = 3;

// The ids ResetItemRange takes out of the shared list.
inline constexpr int32_t kResetItemFirst = 5402001;
inline constexpr int32_t kResetItemLast = 5402014;

struct OwnedItem {
    int32_t itemId = 0;
    int32_t count = 0;
};

// One row of ListOwnedByType.
struct OwnedItemValue {
    int32_t itemId;
    int32_t count;
    int32_t value;  // the store price: the last number of its Recover or Explode line, else 0
};

class CSItemManager {
public:
    // The tables and maps (the items pack's files); each replaces what was held.
    void SetTables(ItemTables tables) { tables_ = std::move(tables); }
    void SetDropMaps(std::vector<DropMap> maps) { dropMaps_ = std::move(maps); }
    const ItemTables &Tables() const { return tables_; }
    const std::vector<DropMap> &DropMaps() const { return dropMaps_; }

    // The records of an id (the last with that id), null when none.
    const ItemContent *FindItemContent(int32_t itemId) const;
    const RecoverContent *FindRecoverContent(int32_t itemId) const;
    const ExplodeContent *FindExplodeContent(int32_t itemId) const;
    const EquipContent *FindEquipContent(int32_t itemId) const;

    // An item id, or 0 for no drop: the last map with that id; a roll of
    // game::Rand() % 100 against the running sums of its 16 percentages,
    // the first entry whose sum exceeds the roll. No map: 0 without a roll.
    int32_t RollDrop(int32_t mapId) const;

    // One more of the item in `list` (0..2): false when the list already
    // holds its OwnLimit, and (with a diagnostic) for an id without an
    // ItemContent record or a list out of range.
    bool AddItem(int32_t list, int32_t itemId);
    bool HasItem(int32_t list, int32_t itemId) const;
    // One fewer; the entry goes at 0. Nothing for an item not held.
    void RemoveItem(int32_t list, int32_t itemId);
    int32_t GetItemCount(int32_t list, int32_t itemId) const;
    // Empties the three lists.
    void ClearOwnedLists();
    // Takes every entry with an id of 5402001..5402014 out of list 0.
    void ResetItemRange();

    // A new array of the entries of `list` whose ItemType is `itemType`, in
    // list order, with *count set (0 and null when none); freed with
    // FreeItemArray.
    OwnedItemValue *ListOwnedByType(int32_t list, int32_t itemType, int32_t *count) const;
    static void FreeItemArray(OwnedItemValue *array, int32_t count);

    // The quick item of list 1 or 2: the selected entry, null when none.
    const OwnedItem *GetSelectedItem(int32_t list) const;
    // Steps the selection to the next or previous recovery or explosive
    // entry, round the list; nothing without one.
    void SelectNextItem(int32_t list);
    void SelectPreviousItem(int32_t list);

    // The entries of a list in order (empty for a list out of range).
    const std::vector<OwnedItem> &OwnedList(int32_t list) const;

private:
    bool Selectable(const OwnedItem &entry) const;
    void Step(int32_t list, int32_t direction);
    OwnedItem *FindOwned(int32_t list, int32_t itemId);

    ItemTables tables_;
    std::vector<DropMap> dropMaps_;
    std::vector<OwnedItem> lists_[kItemListCount];
    int32_t selected_[kItemListCount] = {0, 0, 0};  // the selected entry's item id, 0 for none
};
