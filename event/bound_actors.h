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
