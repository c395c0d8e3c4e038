// The actors bound to an event (see bound_actors.h).
#include "event/bound_actors.h"

#include <cstring>

#include "app/memory.h"
#include "event/event_links.h"
#include "event/event_record.h"

namespace {

// The array holds NPCNum entries, but never more than a stage can place:
// a hostile table's NPCNum does not size an allocation.
int32_t Capacity(const EventRecord *record) { return record->NPCNum < kMaxBoundActors ? record->NPCNum : kMaxBoundActors; }

}  // namespace

bool BindEventActor(EventRecord *record, AiObject *actor)
{
    if (record == nullptr || actor == nullptr || record->NPCNum <= 0) {
        return false;
    }
    if (record->Actors == nullptr) {
        const size_t bytes = sizeof(AiObject *) * static_cast<size_t>(Capacity(record));
        record->Actors = static_cast<AiObject **>(zuMalloc(bytes));
        std::memset(record->Actors, 0, bytes);
        record->ActorNum = 0;
    }
    if (record->ActorNum >= Capacity(record)) {
        return false;
    }
    record->Actors[record->ActorNum++] = actor;
    return true;
}

int32_t CountRemovedActors(EventRecord *record)
{
    if (record == nullptr) {
        return 0;
    }
    int32_t removed = 0;
    if (record->Actors != nullptr) {
        for (int32_t i = 0; i < record->ActorNum; ++i) {
            AiObject *actor = record->Actors[i];
            if (actor != nullptr && EventActorRemoved(actor)) {
                ++removed;
            }
        }
    }
    record->RemovedNum = removed;
    return removed;
}

bool AllBoundActorsRemoved(EventRecord *record)
{
    if (record == nullptr) {
        return false;
    }
    int32_t bound = 0;
    if (record->Actors != nullptr) {
        for (int32_t i = 0; i < record->ActorNum; ++i) {
            bound += record->Actors[i] != nullptr ? 1 : 0;
        }
    }
    return CountRemovedActors(record) == bound;
}

bool AllLinkedActorsRemoved(EventRecord *record)
{
    return record != nullptr && record->LinkEvent != nullptr && AllBoundActorsRemoved(record->LinkEvent);
}

void FreeEventActors(EventRecord *record)
{
    if (record->Actors != nullptr) {
        zuFree(record->Actors);
        record->Actors = nullptr;
    }
    record->ActorNum = 0;
}
