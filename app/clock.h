// The game's millisecond clock. timeGetTime is a u32 count of milliseconds
// that never runs backwards. Normally it is the system's monotonic clock.
// Under --fixed-step it is the game clock: it moves on by the step once per
// tick and stands still within a tick, so everything that reads it directly
// sees the same times run after run. Waiting is always SleepMs, never a
// loop on the timer (which would not move under the fixed step).
#pragma once

#include <cstdint>

uint32_t timeGetTime();

// The system's monotonic clock (the default).
void UseSystemClock();
// The fixed-step game clock, starting at 0.
void UseFixedStepClock(uint32_t stepMs);
bool IsFixedStepClock();
// Moves the fixed-step clock on by one step (the main loop, before a tick).
void AdvanceFixedStepClock();

// A test's clock: timeGetTime answers now(context) and SleepMs calls
// sleep(ms, context) instead of sleeping. Null `now` puts the system clock back.
typedef uint32_t (*ClockNowFunction)(void *context);
typedef void (*ClockSleepFunction)(uint32_t ms, void *context);
void UseTestClock(ClockNowFunction now, ClockSleepFunction sleep, void *context);
