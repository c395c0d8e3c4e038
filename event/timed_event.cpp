// Event 79362800 (see timed_event.h).
#include "event/timed_event.h"

#include "event/bound_actors.h"
#include "event/condition_codes.h"
#include "event/event_links.h"
#include "event/event_manager.h"

void CSTimedEvent::SetTimer(int32_t code)
{
    Code = code;
    Time = static_cast<float>(Param);
    Timer = 0.0f;
    Mode = 0;
}

uint8_t CSTimedEvent::Check(float)
{
    using enum ConditionTest;
    // What the codes 100 to 500 wait for.
    static constexpr std::array<ConditionTest, 5> kCodes = {
        kAlways, kLinkRunning, kLinkEnded, kOwnActorsGone, kLinkedActorsGone,
    };
    return CheckHundredCode(this, kCodes, Code);
}

void CSTimedEvent::Occur(float dt)
{
    Timer += dt;
    if (AllLinkedActorsRemoved(this)) {
        Mode = kTimedResultCleared;
    } else if (Time > 0.0f && Timer >= Time) {
        Mode = kTimedResultTimeUp;
    } else {
        return;
    }
    // The result the closing scenes read (2 cleared, 1 the time up).
    EventTraceStep(this, "result", Mode);
    if (manager != nullptr) {
        manager->EndEvent(this);
    }
}
