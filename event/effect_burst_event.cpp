// The effect-burst events (see effect_burst_event.h).
#include "event/effect_burst_event.h"

#include "event/event_links.h"
#include "event/event_manager.h"

void EventEffectBurstOccur(EventRecord *record, float)
{
    if (g_eventLinks.startEffectBurst == nullptr || !g_eventLinks.startEffectBurst(record->Placement.position)) {
        return;
    }
    if (record->manager != nullptr) {
        record->manager->EndEvent(record);
    }
}
