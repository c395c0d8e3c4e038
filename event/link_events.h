// Events that chain others: the link starter, which starts its LinkEvent
// and a second linked event at once, and the talk starter, which hands its
// Param (a range of dialogue lines) to the dialogue it links to.
#pragma once

#include <cstdint>

#include "event/event_record.h"

class CSLinkStarterEvent : public EventRecord {
public:
    int32_t Condition;          // 1, 100, 200 or 300
    EventRecord *SecondLink;    // the record whose id is Param (the link pass)

    // 100: always; 200: every bound actor removed; any other code: LinkEndNum
    // has reached it.
    uint8_t Check(float dt);
    // Starts LinkEvent and the second link, then ends.
    void Occur(float dt);
};

class CSTalkStarterEvent : public EventRecord {
public:
    int32_t Condition;  // 1..99, 100 or 200

    // 100: always; 200: every bound actor removed; below 100: LinkEndNum
    // equals the code; any other code: never.
    uint8_t Check(float dt);
    // When LinkEvent is a dialogue: its Param becomes this event's, its text
    // is built from that line range, and this event ends. Otherwise nothing.
    void Occur(float dt);
};
