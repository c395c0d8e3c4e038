// The single events whose condition is their own, replacing their kind's:
// the time a linked scene's camera has run, how many of the linked
// event's actors of some AI ids or types are removed, whether the linked
// event has ended once, and the result word of event 79362800.
#pragma once

#include <cstdint>

class EventRecord;

// True when the record's id has a condition of its own, with its verdict.
bool SingleEventCondition(EventRecord *record, uint8_t *verdict);
