// The end-at-once events: they occur once every actor bound to them is
// gone and end at once, so the events that count them (a link starter,
// a stage exit) see one more end.
#pragma once

#include <cstdint>

class EventRecord;

// Every bound actor removed.
uint8_t EventAllNpcsDead(EventRecord *record, float dt);
// Ends the event.
void EventEndAtOnce(EventRecord *record, float dt);
