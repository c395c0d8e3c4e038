// The NPC signal events: every actor bound to the event is sent the event
// control code 8192 with the event's id (the trap notice's message, sent
// to any actor), then the event ends.
#pragma once

#include <cstdint>

#include "event/event_record.h"

class CSNpcSignalEvent : public EventRecord {
public:
    int32_t Condition;  // 200 unless the load sets another
    int32_t Count;

    void Init()
    {
        Count = 0;
        Condition = 200;
    }
    void Setup(int32_t condition) { Condition = condition; }
    // 100 always; 200 every bound actor removed; 300 every actor bound to
    // LinkEvent removed; 400 LinkEvent running; 500 LinkEvent has ended
    // once; any other code never.
    uint8_t Check(float dt);
    void Update(float dt);
};
