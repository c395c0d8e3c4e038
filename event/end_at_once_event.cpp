// The end-at-once events (see end_at_once_event.h).
#include "event/end_at_once_event.h"

#include "event/bound_actors.h"
#include "event/event_manager.h"

uint8_t EventAllNpcsDead(EventRecord *record, float) { return AllBoundActorsRemoved(record) ? 1 : 0; }

void EventEndAtOnce(EventRecord *record, float)
{
    if (record->manager != nullptr) {
        record->manager->EndEvent(record);
    }
}
