// The run-time dispatches: each a switch on the record's kind, with the
// per-id variants first where they replace the kind's routine. A kind
// whose routines are its own code's names no case until that code joins:
// such an event never occurs (its condition is 0) and its update does
// nothing.
#include "app/debug.h"
#include "event/end_at_once_event.h"
#include "event/event_links.h"
#include "event/event_objects.h"

void EventRecord::Update(float dt)
{
    if (OccurLogged == 0) {
        DebugPrint("Event%d is Occur.EventType is %d.\nCharNum:%d NPCNum:%d\n", EventID, EventType, CharNum, NPCNum);
        DebugPrint("P01:X:%.2f Y:%.2f Z:%.2f\n", EventArea[0].x, EventArea[0].y, EventArea[0].z);
        OccurLogged = 1;
    }
    switch (kind) {
    case EventKind::kStageExit:
        static_cast<CSStageExitEvent *>(this)->Occur(dt);
        break;
    case EventKind::kLinkStarter:
        static_cast<CSLinkStarterEvent *>(this)->Occur(dt);
        break;
    case EventKind::kTalkStarter:
        static_cast<CSTalkStarterEvent *>(this)->Occur(dt);
        break;
    case EventKind::kBridge:
        static_cast<CSBridgeEvent *>(this)->Occur(dt);
        break;
    case EventKind::kVineHazard:
        static_cast<CSVineHazardEvent *>(this)->Occur(dt);
        break;
    case EventKind::kEndAtOnce:
        EventEndAtOnce(this, dt);
        break;
    // Marker events and the first event: nothing, by design.
    case EventKind::kMarker:
    case EventKind::kFirstEvent:
    case EventKind::kHeroZone:
        break;
    default:
        break;
    }
    if (BossGaugeRequest == 1) {
        if (g_eventLinks.requestBossGauge != nullptr) {
            g_eventLinks.requestBossGauge();
        }
        ++BossGaugeRequest;
    }
}

uint8_t EventRecord::CheckCondition(float dt)
{
    switch (variant) {
    case EventVariant::k79011300:
    case EventVariant::k79011400:
        return 0;
    default:
        break;
    }
    switch (kind) {
    case EventKind::kNone:
    case EventKind::kEffectBurst:
    case EventKind::kSceneEffect:
    case EventKind::kBridge:
    case EventKind::kFirstEvent:
        return 1;
    case EventKind::kMarker:
        return 0;
    case EventKind::kStageExit:
        return static_cast<CSStageExitEvent *>(this)->Check(dt);
    case EventKind::kLinkStarter:
        return static_cast<CSLinkStarterEvent *>(this)->Check(dt);
    case EventKind::kTalkStarter:
        // 79080600 answers with 79080500's check, which is not built yet.
        if (variant == EventVariant::k79080600) {
            return 0;
        }
        return static_cast<CSTalkStarterEvent *>(this)->Check(dt);
    case EventKind::kVineHazard:
        return static_cast<CSVineHazardEvent *>(this)->Check(dt);
    case EventKind::kEndAtOnce:
        return EventAllNpcsDead(this, dt);
    default:
        return 0;
    }
}

void EventRecord::Step(float) {}

void EventRecord::Render() {}

void EventRecord::RenderLate() {}
