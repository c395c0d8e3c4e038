// The last-NPC events: once all but one actor of a group (the event's own
// bound actors, or its LinkEvent's) are removed, the one left is
// sent the event control code 32768 with the event's payload (what it
// drops), and the event ends when the whole group is removed.
#pragma once

#include <cstdint>

#include "event/event_record.h"

class CSLastNpcEvent : public EventRecord {
public:
    uint8_t UseLinked;  // look at LinkEvent's actors instead of its own
    uint8_t MessageSent;
    int32_t Payload;
    int32_t Chosen;     // bound entry of the actor found, -1 none
    int32_t GoneCount;

    // The payload is Param when Param is not 0.
    void Setup(int32_t payload, uint8_t useLinked);
    // All but one of the group removed: Chosen is the one left. Also true
    // once no member stands that is neither busy nor dying (Chosen the first
    // of those, -1 when all are removed). Never true for an empty group.
    uint8_t FindLast(float dt);
    // The message once per occurrence, then the end with the group gone.
    void Update(float dt);

private:
    EventRecord *Group();
};
