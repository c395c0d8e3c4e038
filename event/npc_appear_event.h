// The NPC appear events: the actors bound to the event appear one by one
// at random moments (Param names the motion they appear with), or all at
// once when Param is 0, and the event ends when the last has appeared.
#pragma once

#include <cstdint>

#include "event/event_record.h"

class CSNpcAppearEvent : public EventRecord {
public:
    int32_t Condition;
    int32_t AppearedCount;
    float Timer;
    float Interval;
    float RetryTimer;
    float RetryInterval;
    uint8_t *AppearedFlags;  // one per bound entry, owned

    void Init() { AppearedFlags = nullptr; }
    // Stores the code, clears the counters and timers and makes the flags.
    void Setup(int32_t condition);
    // 100 always; 200 every bound actor removed; 300 every actor bound to
    // LinkEvent removed; 400 LinkEvent has ended once; 500 LinkEvent
    // running; 1..99 LinkEndNum equals the code; any other code never.
    uint8_t Check(float dt);
    void Update(float dt);
    void Release();

private:
    // Bound entry `index` appears (when it has not): true when it did now.
    bool AppearOne(int32_t index);
    // Every bound actor has appeared: the event ends.
    bool EndWhenAllAppeared();
    int32_t Target() const;
};
