// CSThrownItemManager: the items thrown since the manager's last update,
// which actors that dodge thrown things look at. The first two throws of a
// frame keep their slot; the count goes on growing with every throw and
// returns to 0 at the update.
#pragma once

#include <cstdint>

inline constexpr int32_t kThrownItemSlots = 2;

struct ThrownItemSlot {
    float position[3];  // first: where the item was thrown from
    int32_t itemId;
};

class CSThrownItemManager {
public:
    // Notes a throw of `itemId` from `position`.
    void Throw(int32_t itemId, const float position[3]);
    // The slot of the index-th throw since the last update; null for an
    // index of 2 or more or past the throws made.
    const ThrownItemSlot *GetSlot(int32_t index) const;
    int32_t ThrownCount() const { return count_; }
    // The frame's end: the count returns to 0.
    void Update() { count_ = 0; }

private:
    ThrownItemSlot slots_[kThrownItemSlots] = {};
    int32_t count_ = 0;
};
