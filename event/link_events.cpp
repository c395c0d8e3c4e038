// The link starter and the talk starter (see link_events.h).
#include "event/link_events.h"

#include "event/bound_actors.h"
#include "event/event_manager.h"
#include "event/talk_event.h"

uint8_t CSLinkStarterEvent::Check(float)
{
    switch (Condition) {
    case 100:
        return 1;
    case 200:
        return AllBoundActorsRemoved(this) ? 1 : 0;
    default:
        return LinkEndNum >= Condition ? 1 : 0;
    }
}

void CSLinkStarterEvent::Occur(float)
{
    if (LinkEvent != nullptr) {
        LinkEvent->IsOccur = 1;
    }
    if (SecondLink != nullptr) {
        SecondLink->IsOccur = 1;
    }
    if (manager != nullptr) {
        manager->EndEvent(this);
    }
}

uint8_t CSTalkStarterEvent::Check(float)
{
    if (Condition == 100) {
        return 1;
    }
    if (Condition == 200) {
        return AllBoundActorsRemoved(this) ? 1 : 0;
    }
    return Condition < 100 && Condition == LinkEndNum ? 1 : 0;
}

void CSTalkStarterEvent::Occur(float)
{
    if (LinkEvent == nullptr || LinkEvent->EventType != kEventTypeTalk) {
        return;
    }
    LinkEvent->Param = Param;
    static_cast<CSTalkEvent *>(LinkEvent)->BuildText(Param);
    if (manager != nullptr) {
        manager->EndEvent(this);
    }
}
