// The events' condition tests (see condition_codes.h).
#include "event/condition_codes.h"

#include "event/bound_actors.h"
#include "event/event_record.h"

bool LinkRunning(const EventRecord *record) { return record->LinkEvent != nullptr && record->LinkEvent->IsOccur != 0; }

bool LinkEnded(const EventRecord *record) { return record->LinkEvent != nullptr && record->LinkEvent->OccurCount >= 1; }

bool ConditionHolds(EventRecord *record, ConditionTest test)
{
    switch (test) {
    case ConditionTest::kAlways:
        return true;
    case ConditionTest::kOwnActorsGone:
        return AllBoundActorsRemoved(record);
    case ConditionTest::kLinkedActorsGone:
        return AllLinkedActorsRemoved(record);
    case ConditionTest::kLinkEnded:
        return LinkEnded(record);
    case ConditionTest::kLinkRunning:
        return LinkRunning(record);
    default:
        return false;
    }
}
