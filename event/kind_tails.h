// The kinds whose behaviour is built with their own parts of the event
// system: their classes with the fields that the set-up and the per-event
// load fill from the id table's presets, and the few operations the
// manager calls on them. Each kind's own code moves its class into a file
// of its own and grows it there.
#pragma once

#include <cstdint>

#include "event/event_record.h"
#include "event/ingame_anm_event.h"

class CSDoorEvent : public EventRecord {
public:
    // 0: the door's models vanish once it has ended once (its load sets it).
    uint8_t DrawAfterEnd;
};
class CSDoorEventWithFlags : public CSDoorEvent {
public:
    uint8_t ExtraFlags[2];
};
