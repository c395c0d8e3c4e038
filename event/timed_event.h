// Event 79362800: a clock against the actors of its LinkEvent. Once every
// one of them is removed its result word becomes 2 and it ends; when its
// time (Param, in seconds) runs out first, the result is 1. Events
// 79361900 and 79362000 wait for the result 1 and 2.
#pragma once

#include <cstdint>

#include "event/event_record.h"

inline constexpr int32_t kTimedResultTimeUp = 1;
inline constexpr int32_t kTimedResultCleared = 2;

class CSTimedEvent : public EventRecord {
public:
    int32_t Code;   // 300
    float Time;     // Param as seconds
    float Timer;
    int32_t Mode;   // the result word: 0 running, 1 time up, 2 cleared

    // Stores the code and Param as the time; the clock and result restart.
    void SetTimer(int32_t code);
    // 100 always; 200 LinkEvent running; 300 LinkEvent has ended once; 400
    // every bound actor removed; 500 every actor bound to LinkEvent removed.
    uint8_t Check(float dt);
    void Occur(float dt);
};
