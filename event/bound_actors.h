// The actors bound to an event: the stage load appends each placed actor
// whose event group is the event's id to the event's Actors array (cleared,
// NPCNum entries, the bound ones first, ActorNum of them). Every kind that
// counts its bound actors counts them here, over the entries actually bound
// and skipping empty ones.
#pragma once

#include <cstdint>

class AiObject;
class EventRecord;

// More actors than any stage places.
inline constexpr int32_t kMaxBoundActors = 1024;

// Appends `actor` to the record's bound actors; false when the array is
// full (NPCNum reached) or the record binds none.
bool BindEventActor(EventRecord *record, AiObject *actor);
// How many bound actors are removed; the count is kept in RemovedNum.
int32_t CountRemovedActors(EventRecord *record);
// Every bound actor is removed (true when none is bound).
bool AllBoundActorsRemoved(EventRecord *record);
// The same for the record's LinkEvent; false without one.
bool AllLinkedActorsRemoved(EventRecord *record);
// Frees the bound-actor array (the actors belong to the stage).
void FreeEventActors(EventRecord *record);
// The entries of the bound-actor array that the stage load filled (ActorNum,
// 0 without an array).
int32_t BoundActorEntries(const EventRecord *record);
// How many actors are bound (the entries that hold one).
int32_t BoundActorCount(const EventRecord *record);
// Bound entry `index` (0 .. ActorNum - 1); null past the entries bound or
// for an empty entry.
AiObject *BoundActor(const EventRecord *record, int32_t index);
// How many of the record's bound actors are removed and pass `match`
// (called with each removed actor); the walk every count of removed actors
// makes.
template <typename Match>
int32_t CountRemovedActorsWhere(const EventRecord *record, Match match);

bool EventActorRemoved(AiObject *actor);

template <typename Match>
int32_t CountRemovedActorsWhere(const EventRecord *record, Match match)
{
    int32_t removed = 0;
    const int32_t bound = record != nullptr ? BoundActorEntries(record) : 0;
    for (int32_t i = 0; i < bound; ++i) {
        AiObject *actor = BoundActor(record, i);
        if (actor != nullptr && EventActorRemoved(actor) && match(actor)) {
            ++removed;
        }
    }
    return removed;
}
