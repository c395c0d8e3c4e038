// The thrown-item manager (see thrown_items.h).
#include "actor/thrown_items.h"

void CSThrownItemManager::Throw(int32_t itemId, const float position[3])
{
    if (count_ >= 0 && count_ < kThrownItemSlots) {
        ThrownItemSlot &slot = slots_[count_];
        slot.position[0] = position[0];
        slot.position[1] = position[1];
        slot.position[2] = position[2];
        slot.itemId = itemId;
    }
    if (count_ < INT32_MAX) {
        count_ += 1;
    }
}

const ThrownItemSlot *CSThrownItemManager::GetSlot(int32_t index) const
{
    return index >= 0 && index < kThrownItemSlots && index < count_ ? &slots_[index] : nullptr;
}
