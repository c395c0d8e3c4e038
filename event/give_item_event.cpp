// The give-item events (see give_item_event.h).
#include "event/give_item_event.h"

#include "event/bound_actors.h"
#include "event/condition_codes.h"
#include "event/event_links.h"
#include "event/event_manager.h"

void CSGiveItemEvent::Setup(int32_t itemId, int32_t condition)
{
    ItemId = itemId;
    Condition = condition;
}

uint8_t CSGiveItemEvent::Check(float)
{
    // Codes 2 to 5; 1 and any other code always hold.
    using enum ConditionTest;
    static constexpr ConditionTest kCodes[] = {kLinkRunning, kLinkEnded, kOwnActorsGone, kLinkedActorsGone};
    const bool listed = Condition >= 2 && Condition <= 5;
    return !listed || ConditionHolds(this, kCodes[Condition - 2]) ? 1 : 0;
}

void CSGiveItemEvent::Step(float)
{
    if (g_eventLinks.playUISound != nullptr) {
        g_eventLinks.playUISound(kGiftSound);
    }
}

void CSGiveItemEvent::Update(float)
{
    if (g_eventLinks.addItem != nullptr) {
        g_eventLinks.addItem(ItemId == kSharedGiftItem ? 0 : 1, ItemId);
    }
    if (g_eventLinks.showItemPopup != nullptr) {
        g_eventLinks.showItemPopup(ItemId);
    }
    if (manager != nullptr) {
        manager->EndEvent(this);
    }
}
