// The single events' own conditions (see single_event_conditions.h).
#include "event/single_event_conditions.h"

#include "event/bound_actors.h"
#include "event/condition_codes.h"
#include "event/event_links.h"
#include "event/event_objects.h"
#include "event/timed_event.h"

namespace {

// The linked scene's camera has run at least `seconds`.
bool CameraTimeReached(const EventRecord *record, float seconds)
{
    const EventRecord *link = record->LinkEvent;
    return link != nullptr && link->kind == EventKind::kInGameAnm &&
           static_cast<const CSInGameAnmEvent *>(link)->CameraTime() >= seconds;
}

// How many actors bound to LinkEvent are removed and have an AI id in [low, high].
int32_t LinkedRemovedWithIds(const EventRecord *record, int32_t low, int32_t high)
{
    return CountRemovedActorsWhere(record->LinkEvent, [=](AiObject *actor) {
        const int32_t id = EventActorAiId(actor);
        return id >= low && id <= high;
    });
}

// The same over the linked scene's actors.
int32_t SceneRemovedWithIds(const EventRecord *record, int32_t low, int32_t high)
{
    const EventRecord *link = record->LinkEvent;
    if (link == nullptr || link->kind != EventKind::kInGameAnm) {
        return 0;
    }
    const auto *scene = static_cast<const CSInGameAnmEvent *>(link);
    int32_t removed = 0;
    for (int32_t i = 0; i < scene->SceneActorCount(); ++i) {
        AiObject *actor = scene->SceneActor(i);
        const int32_t id = EventActorAiId(actor);
        removed += actor != nullptr && EventActorRemoved(actor) && id >= low && id <= high ? 1 : 0;
    }
    return removed;
}

int32_t LinkResult(const EventRecord *record)
{
    const EventRecord *link = record->LinkEvent;
    return link != nullptr && link->kind == EventKind::kTimed ? static_cast<const CSTimedEvent *>(link)->Mode : -1;
}

}  // namespace

bool SingleEventCondition(EventRecord *record, uint8_t *verdict)
{
    bool holds = false;
    switch (record->variant) {
    case EventVariant::k79020600: holds = CameraTimeReached(record, 28.0f); break;
    case EventVariant::k79031000: holds = CameraTimeReached(record, 1.6666666f); break;
    case EventVariant::k79042100: holds = CameraTimeReached(record, 13.333333f); break;
    case EventVariant::k79062300: holds = CameraTimeReached(record, 8.166667f); break;
    case EventVariant::k79070800: holds = CameraTimeReached(record, 0.083333336f); break;
    case EventVariant::k79072500: holds = CameraTimeReached(record, 2.9166667f); break;
    case EventVariant::k79072600: holds = CameraTimeReached(record, 0.8333333f); break;
    case EventVariant::k79314100: holds = CameraTimeReached(record, 0.6333333f); break;
    case EventVariant::k79314200: holds = CameraTimeReached(record, 0.55f); break;
    case EventVariant::k79314300: holds = CameraTimeReached(record, 0.6f); break;
    case EventVariant::k79342600: holds = CameraTimeReached(record, 1.3333334f); break;
    case EventVariant::k79020800: holds = LinkEnded(record) && SceneRemovedWithIds(record, 11, 13) == 3; break;
    case EventVariant::k79041600: holds = LinkEnded(record) && LinkedRemovedWithIds(record, 14, 15) == 2; break;
    case EventVariant::k79042200:
        holds = CountRemovedActorsWhere(record->LinkEvent,
                                        [](AiObject *actor) { return EventActorAiType(actor) != 105; }) == 2;
        break;
    case EventVariant::k79061700: holds = LinkedRemovedWithIds(record, 17, 18) == 2; break;
    case EventVariant::k79232100: holds = LinkedRemovedWithIds(record, 1, 3) == 3; break;
    case EventVariant::k79241300:
        holds = CountRemovedActorsWhere(record->LinkEvent,
                                        [](AiObject *actor) { return EventActorAiType(actor) == 1017; }) == 5;
        break;
    case EventVariant::k79360200: holds = LinkedRemovedWithIds(record, 1, 1) >= 1; break;
    case EventVariant::k79080500:
    case EventVariant::k79080600: holds = LinkEnded(record); break;
    case EventVariant::k79361900: holds = LinkResult(record) == kTimedResultTimeUp; break;
    case EventVariant::k79362000: holds = LinkResult(record) == kTimedResultCleared; break;
    default:
        return false;
    }
    *verdict = holds ? 1 : 0;
    return true;
}
