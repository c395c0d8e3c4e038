// The last-NPC events (see last_npc_event.h).
#include "event/last_npc_event.h"

#include "actor/ai_message.h"
#include "event/bound_actors.h"
#include "event/event_links.h"
#include "event/event_manager.h"

void CSLastNpcEvent::Setup(int32_t payload, uint8_t useLinked)
{
    UseLinked = useLinked;
    MessageSent = 0;
    GoneCount = 0;
    Chosen = -1;
    Payload = Param != 0 ? Param : payload;
}

EventRecord *CSLastNpcEvent::Group() { return UseLinked != 0 ? LinkEvent : this; }

uint8_t CSLastNpcEvent::FindLast(float)
{
    EventRecord *group = Group();
    const int32_t size = BoundActorCount(group);
    if (size == 0) {
        return 0;
    }
    int32_t out = 0;
    int32_t free = -1;
    int32_t busy = -1;
    for (int32_t i = 0; i < BoundActorEntries(group); ++i) {
        AiObject *actor = BoundActor(group, i);
        if (actor == nullptr) {
            continue;
        }
        const bool removed = EventActorRemoved(actor);
        const bool isBusy = EventActorBusy(actor);
        if (removed || isBusy) {
            ++out;
        }
        if (!removed && !isBusy && free < 0) {
            free = i;
        }
        if (!removed && isBusy && busy < 0) {
            busy = i;
        }
    }
    if (out != size - 1) {
        return 0;
    }
    Chosen = free >= 0 ? free : busy;
    return 1;
}

void CSLastNpcEvent::Update(float)
{
    EventRecord *group = Group();
    if (MessageSent == 0) {
        MessageSent = 1;
        EventPost(kMsgControl, BoundActor(group, Chosen), 0, kCtlDropOverride, Payload);
    }
    GoneCount = CountRemovedActors(group);
    if (GoneCount == BoundActorCount(group) && manager != nullptr) {
        MessageSent = 0;
        manager->EndEvent(this);
    }
}
