// The event factory: an object of the id's class, cleared, with its kind,
// variant and preset row cached from the id table; null for an id the game
// does not know. Objects come from the game allocator and go back through
// FreeEventObject once destroyed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "event/event_kind.h"

class EventRecord;

EventRecord *CreateEventRecord(int32_t eventId);
void FreeEventObject(EventRecord *record);
// The size of an object of the class.
size_t EventObjectSize(EventObject object);
