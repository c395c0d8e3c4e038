// The stage exit (one per stage): when its condition holds and the heroes
// stand in its area it ends itself and asks the stage manager for the
// change to its target stage, with its flag and a 2000 ms transition.
// Movie events that close a stage start it from outside
// (CSEventManager::StartStageExit).
#pragma once

#include <cstdint>

#include "event/event_record.h"

inline constexpr int32_t kStageExitTransitionMs = 2000;

class CSStageExitEvent : public EventRecord {
public:
    int32_t Condition;  // 200, 300, 400, 500 or 600
    int32_t Target;     // the stage number handed to the stage manager
    uint8_t Flag;

    void Setup(int32_t condition, int32_t target, uint8_t flag);
    // 500: LinkEvent ended once; 600: LinkEvent running; 200: every bound
    // actor removed; 300: every actor of LinkEvent removed; 400: always.
    uint8_t Check(float dt);
    // Ends the event, then requests the stage change.
    void Occur(float dt);
};
