// The effect-burst events (79292700 .. 79293700): each starts one entry of
// the general-effects manager's burst pool at its placement and ends; with
// no pool or no free entry it waits, running, for a later frame.
#pragma once

class EventRecord;

void EventEffectBurstOccur(EventRecord *record, float dt);
