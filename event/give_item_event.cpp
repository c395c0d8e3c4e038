// The give-item events (see give_item_event.h).
#include "event/give_item_event.h"

#include "event/bound_actors.h"
#include "event/event_links.h"
#include "event/event_manager.h"

void CSGiveItemEvent::Setup(int32_t itemId, int32_t condition)
{
    ItemId = itemId;
    Condition = condition;
}

uint8_t CSGiveItemEvent::Check(float)
{
    switch (Condition) {
    case 2:
        return LinkEvent != nullptr && LinkEvent->IsOccur != 0 ? 1 : 0;
    case 3:
        return LinkEvent != nullptr && LinkEvent->OccurCount >= 1 ? 1 : 0;
    case 4:
        return AllBoundActorsRemoved(this) ? 1 : 0;
    case 5:
        return AllLinkedActorsRemoved(this) ? 1 : 0;
    default:
        return 1;
    }
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
