// Event 79362800 (see timed_event.h).
#include "event/timed_event.h"

#include "event/bound_actors.h"
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
    switch (Code) {
    case 100:
        return 1;
    case 200:
        return LinkEvent != nullptr && LinkEvent->IsOccur != 0 ? 1 : 0;
    case 300:
        return LinkEvent != nullptr && LinkEvent->OccurCount >= 1 ? 1 : 0;
    case 400:
        return AllBoundActorsRemoved(this) ? 1 : 0;
    case 500:
        return AllLinkedActorsRemoved(this) ? 1 : 0;
    default:
        return 0;
    }
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
    if (manager != nullptr) {
        manager->EndEvent(this);
    }
}
