// The stage exit event (see stage_exit_event.h).
#include "event/stage_exit_event.h"

#include "event/bound_actors.h"
#include "event/event_links.h"
#include "event/event_manager.h"

void CSStageExitEvent::Setup(int32_t condition, int32_t target, uint8_t flag)
{
    Condition = condition;
    Target = target;
    Flag = flag;
}

uint8_t CSStageExitEvent::Check(float)
{
    switch (Condition) {
    case 500:
        return LinkEvent != nullptr && LinkEvent->OccurCount >= 1 ? 1 : 0;
    case 600:
        return LinkEvent != nullptr && LinkEvent->IsOccur != 0 ? 1 : 0;
    case 200:
        return AllBoundActorsRemoved(this) ? 1 : 0;
    case 300:
        return AllLinkedActorsRemoved(this) ? 1 : 0;
    case 400:
        return 1;
    default:
        return 0;
    }
}

void CSStageExitEvent::Occur(float)
{
    if (manager != nullptr) {
        manager->EndEvent(this);
    }
    if (g_eventLinks.requestStageChange != nullptr) {
        g_eventLinks.requestStageChange(Target, Flag, kStageExitTransitionMs);
    }
}
