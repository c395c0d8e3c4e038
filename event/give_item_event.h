// The give-item events: the first player receives an item (item 100054
// goes to the shared list), the item popup shows it, the item sound plays,
// and the event ends.
#pragma once

#include <cstdint>

#include "event/event_record.h"

// The one item that goes to the shared list.
inline constexpr int32_t kSharedGiftItem = 100054;
inline constexpr int32_t kGiftSound = 6600170;

class CSGiveItemEvent : public EventRecord {
public:
    int32_t Condition;  // 1..5
    int32_t ItemId;

    void Setup(int32_t itemId, int32_t condition);
    // 2 LinkEvent running; 3 LinkEvent has ended once; 4 every bound actor
    // removed; 5 every actor bound to LinkEvent removed; 1 and any other
    // code always.
    uint8_t Check(float dt);
    // The interface item sound (each step).
    void Step(float dt);
    void Update(float dt);
};
