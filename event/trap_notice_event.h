// The trap notice events: when one occurs it tells the traps bound to it
// (AI types 1200, 1202, 1203 and 1205) that it has, with the event control
// code 8192 and its own id, which a trap of that group takes as its switch;
// then it ends.
#pragma once

#include <cstdint>

#include "event/event_record.h"

class CSTrapNoticeEvent : public EventRecord {
public:
    int32_t Condition;  // 100, 200, 300 or 500

    // 100 always; 200 LinkEvent running; 300 LinkEvent has ended once; 500
    // every actor bound to LinkEvent removed; any other code never.
    uint8_t Check(float dt);
    // The notice to each bound trap, then the end.
    void Occur(float dt);
};

// Whether an actor of `aiType` listens to trap notices.
inline constexpr bool IsNotifiedTrapType(int32_t aiType)
{
    return aiType == 1200 || aiType == 1202 || aiType == 1203 || aiType == 1205;
}
