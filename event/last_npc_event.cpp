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
    // All but one of the group are gone when the removed ones number one
    // less than the group; the survivor is the first neither removed nor
    // busy, else the first busy one (a busy actor is still there).
    EventRecord *group = Group();
    const int32_t size = BoundActorCount(group);
    if (size == 0 || CountRemovedActorsWhere(group, [](AiObject *) { return true; }) != size - 1) {
        return 0;
    }
    int32_t free = -1;
    int32_t busy = -1;
    for (int32_t i = 0; i < BoundActorEntries(group); ++i) {
        AiObject *actor = BoundActor(group, i);
        if (actor == nullptr || EventActorRemoved(actor)) {
            continue;
        }
        if (!EventActorBusy(actor)) {
            free = free < 0 ? i : free;
        } else {
            busy = busy < 0 ? i : busy;
        }
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
