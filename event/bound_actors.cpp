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

int32_t BoundActorEntries(const EventRecord *record)
{
    if (record == nullptr || record->Actors == nullptr) {
        return 0;
    }
    return record->ActorNum < Capacity(record) ? record->ActorNum : Capacity(record);
}

AiObject *BoundActor(const EventRecord *record, int32_t index)
{
    return index >= 0 && index < BoundActorEntries(record) ? record->Actors[index] : nullptr;
}

int32_t BoundActorCount(const EventRecord *record)
{
    int32_t bound = 0;
    for (int32_t i = 0; i < BoundActorEntries(record); ++i) {
        bound += record->Actors[i] != nullptr ? 1 : 0;
    }
    return bound;
}

int32_t CountRemovedActors(EventRecord *record)
{
    if (record == nullptr) {
        return 0;
    }
    const int32_t removed = CountRemovedActorsWhere(record, [](AiObject *) { return true; });
    record->RemovedNum = removed;
    return removed;
}

bool AllBoundActorsRemoved(EventRecord *record)
{
    if (record == nullptr) {
        return false;
    }
    return CountRemovedActors(record) == BoundActorCount(record);
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
