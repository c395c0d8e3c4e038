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
    // less than the group; the one left is told, busy or not. Members that
    // fall together are removed on one frame, past that count: so once no
    // member stands that is neither busy nor dying, the first of those on
    // their way out is told (it drops when it goes), and a group removed all
    // at once still lets the event run and end.
    EventRecord *group = Group();
    const int32_t size = BoundActorCount(group);
    if (size == 0) {
        return 0;
    }
    int32_t removed = 0;
    int32_t standing = -1;
    int32_t leaving = -1;
    for (int32_t i = 0; i < BoundActorEntries(group); ++i) {
        AiObject *actor = BoundActor(group, i);
        if (actor == nullptr) {
            continue;
        }
        if (EventActorRemoved(actor)) {
            ++removed;
        } else if (EventActorBusy(actor) || EventActorDying(actor)) {
            leaving = leaving < 0 ? i : leaving;
        } else {
            standing = standing < 0 ? i : standing;
        }
    }
    if (standing >= 0 && removed != size - 1) {
        return 0;
    }
    Chosen = standing >= 0 ? standing : leaving;
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
