// The NPC signal events (see npc_signal_event.h).
#include "event/npc_signal_event.h"

#include "actor/ai_message.h"
#include "event/bound_actors.h"
#include "event/event_links.h"
#include "event/event_manager.h"

uint8_t CSNpcSignalEvent::Check(float)
{
    switch (Condition) {
    case 100:
        return 1;
    case 200:
        return AllBoundActorsRemoved(this) ? 1 : 0;
    case 300:
        return AllLinkedActorsRemoved(this) ? 1 : 0;
    case 400:
        return LinkEvent != nullptr && LinkEvent->IsOccur != 0 ? 1 : 0;
    case 500:
        return LinkEvent != nullptr && LinkEvent->OccurCount >= 1 ? 1 : 0;
    default:
        return 0;
    }
}

void CSNpcSignalEvent::Update(float)
{
    for (int32_t i = 0; i < BoundActorEntries(this); ++i) {
        EventPost(kMsgControl, BoundActor(this, i), 0, kCtlShowHold, EventID);
    }
    if (manager != nullptr) {
        manager->EndEvent(this);
    }
}
