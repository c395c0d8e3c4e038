// The trap notice events (see trap_notice_event.h).
#include "event/trap_notice_event.h"

#include "actor/ai_message.h"
#include "event/bound_actors.h"
#include "event/event_links.h"
#include "event/event_manager.h"

uint8_t CSTrapNoticeEvent::Check(float)
{
    switch (Condition) {
    case 100:
        return 1;
    case 200:
        return LinkEvent != nullptr && LinkEvent->IsOccur != 0 ? 1 : 0;
    case 300:
        return LinkEvent != nullptr && LinkEvent->OccurCount >= 1 ? 1 : 0;
    case 500:
        return AllLinkedActorsRemoved(this) ? 1 : 0;
    default:
        return 0;
    }
}

void CSTrapNoticeEvent::Occur(float)
{
    for (int32_t i = 0; i < BoundActorEntries(this); ++i) {
        AiObject *actor = BoundActor(this, i);
        if (actor != nullptr && IsNotifiedTrapType(EventActorAiType(actor))) {
            EventPost(kMsgControl, actor, 0, kCtlShowHold, EventID);
        }
    }
    if (manager != nullptr) {
        manager->EndEvent(this);
    }
}
