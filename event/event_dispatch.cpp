// The run-time dispatches: each a switch on the record's kind, with the
// per-id variants first where they replace the kind's routine. A kind
// whose routines are its own code's names no case until that code joins:
// such an event never occurs (its condition is 0) and its update does
// nothing.
#include "app/debug.h"
#include "event/door_rules.h"
#include "event/effect_burst_event.h"
#include "event/end_at_once_event.h"
#include "event/event_links.h"
#include "event/event_models.h"
#include "event/event_objects.h"
#include "event/single_event_conditions.h"

void EventRecord::Update(float dt)
{
    if (OccurLogged == 0) {
        DebugPrint("Event%d is Occur.EventType is %d.\nCharNum:%d NPCNum:%d\n", EventID, EventType, CharNum, NPCNum);
        DebugPrint("P01:X:%.2f Y:%.2f Z:%.2f\n", EventArea[0].x, EventArea[0].y, EventArea[0].z);
        OccurLogged = 1;
    }
    switch (kind) {
    case EventKind::kDoor: {
        auto *door = static_cast<CSDoorEvent *>(this);
        switch (variant) {
        case EventVariant::k79042100:
        case EventVariant::k79042200:
        case EventVariant::k79042300:
            door->Update79042100(dt);
            break;
        default:
            if (IsCrusherDoor(EventID)) {
                door->UpdateCrusher(dt);
            } else {
                door->Update(dt);
            }
            break;
        }
        break;
    }
    case EventKind::kStageExit:
        static_cast<CSStageExitEvent *>(this)->Occur(dt);
        break;
    case EventKind::kMovie:
        static_cast<CSMovieEvent *>(this)->Update(dt);
        break;
    case EventKind::kTalk: {
        auto *talk = static_cast<CSTalkEvent *>(this);
        if (variant == EventVariant::k79010700) {
            talk->Update79010700(dt);
        } else if (variant == EventVariant::k79270300) {
            talk->Update79270300(dt);
        } else {
            talk->Update(dt);
        }
        break;
    }
    case EventKind::kNpcTalk:
        static_cast<CSNpcTalkEvent *>(this)->Update(dt);
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
    case EventKind::kEffectBurst:
        EventEffectBurstOccur(this, dt);
        break;
    case EventKind::kTrapNotice:
        static_cast<CSTrapNoticeEvent *>(this)->Occur(dt);
        break;
    case EventKind::kWater:
        static_cast<CSWaterEvent *>(this)->Update(dt);
        break;
    case EventKind::kNpcAppear:
        static_cast<CSNpcAppearEvent *>(this)->Update(dt);
        break;
    case EventKind::kLastNpc:
        static_cast<CSLastNpcEvent *>(this)->Update(dt);
        break;
    case EventKind::kNpcSignal:
        static_cast<CSNpcSignalEvent *>(this)->Update(dt);
        break;
    case EventKind::kMoveObject:
        static_cast<CSMoveObjectEvent *>(this)->Update(dt);
        break;
    case EventKind::kToxicGas:
        static_cast<CSToxicGasEvent *>(this)->Update(dt);
        break;
    case EventKind::kSceneEffect:
        static_cast<CSSceneEffectEvent *>(this)->Update(dt);
        break;
    case EventKind::kGiveItem:
        static_cast<CSGiveItemEvent *>(this)->Update(dt);
        break;
    case EventKind::kStarEffect:
        static_cast<CSStarEffectEvent *>(this)->Update(dt);
        break;
    case EventKind::kMatAnim:
        static_cast<CSMatAnimEvent *>(this)->Update(dt);
        break;
    case EventKind::kTimed:
        static_cast<CSTimedEvent *>(this)->Occur(dt);
        break;
    case EventKind::kInGameAnm:
        UpdateSceneEvent(static_cast<CSInGameAnmEvent *>(this), dt);
        break;
    // Marker events, the first event and the hero zone: nothing, by design.
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
    uint8_t own = 0;
    if (SingleEventCondition(this, &own)) {
        return own;
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
    case EventKind::kDoor: {
        auto *door = static_cast<CSDoorEvent *>(this);
        switch (variant) {
        case EventVariant::k79164900:
        case EventVariant::k79165000:
        case EventVariant::k79165100:
            return door->CheckCrusher(dt);
        default:
            return door->Check(dt);
        }
    }
    case EventKind::kStageExit:
        return static_cast<CSStageExitEvent *>(this)->Check(dt);
    case EventKind::kMovie:
        return static_cast<CSMovieEvent *>(this)->Check(dt);
    case EventKind::kTalk: {
        auto *talk = static_cast<CSTalkEvent *>(this);
        switch (variant) {
        case EventVariant::k79080400:
            return talk->Check79080400(dt);
        case EventVariant::k79232600:
            return talk->Check79232600(dt);
        case EventVariant::k79270300:
            return talk->Check79270300(dt);
        default:
            return talk->Check(dt);
        }
    }
    case EventKind::kNpcTalk:
        return static_cast<CSNpcTalkEvent *>(this)->Check(dt);
    case EventKind::kLinkStarter:
        return static_cast<CSLinkStarterEvent *>(this)->Check(dt);
    case EventKind::kTalkStarter:
        return static_cast<CSTalkStarterEvent *>(this)->Check(dt);
    case EventKind::kVineHazard:
        return static_cast<CSVineHazardEvent *>(this)->Check(dt);
    case EventKind::kEndAtOnce:
        return EventAllNpcsDead(this, dt);
    case EventKind::kTrapNotice:
        return static_cast<CSTrapNoticeEvent *>(this)->Check(dt);
    case EventKind::kWater:
        return static_cast<CSWaterEvent *>(this)->Check(dt);
    case EventKind::kNpcAppear:
        return static_cast<CSNpcAppearEvent *>(this)->Check(dt);
    case EventKind::kLastNpc:
        return static_cast<CSLastNpcEvent *>(this)->FindLast(dt);
    case EventKind::kNpcSignal:
        return static_cast<CSNpcSignalEvent *>(this)->Check(dt);
    case EventKind::kMoveObject:
        return static_cast<CSMoveObjectEvent *>(this)->Check(dt);
    case EventKind::kToxicGas:
        return static_cast<CSToxicGasEvent *>(this)->Check(dt);
    case EventKind::kHeroZone:
        return static_cast<CSHeroZoneEvent *>(this)->Check(dt);
    case EventKind::kGiveItem:
        return static_cast<CSGiveItemEvent *>(this)->Check(dt);
    case EventKind::kStarEffect:
        return static_cast<CSStarEffectEvent *>(this)->Check(dt);
    case EventKind::kMatAnim:
        return static_cast<CSMatAnimEvent *>(this)->Check(dt);
    case EventKind::kTimed:
        return static_cast<CSTimedEvent *>(this)->Check(dt);
    case EventKind::kInGameAnm:
        return static_cast<CSInGameAnmEvent *>(this)->Check(dt);
    default:
        return 0;
    }
}

void EventRecord::Step(float dt)
{
    switch (kind) {
    case EventKind::kDoor: {
        auto *door = static_cast<CSDoorEvent *>(this);
        if (IsCrusherDoor(EventID)) {
            door->StepCrusher(dt);
        } else if (variant == EventVariant::k79187100) {
            door->Step79187100(dt);
        } else {
            door->Step(dt);
        }
        break;
    }
    case EventKind::kToxicGas:
        static_cast<CSToxicGasEvent *>(this)->Step(dt);
        break;
    case EventKind::kWater:
        static_cast<CSWaterEvent *>(this)->Step(dt);
        break;
    case EventKind::kGiveItem:
        static_cast<CSGiveItemEvent *>(this)->Step(dt);
        break;
    case EventKind::kInGameAnm:
        static_cast<CSInGameAnmEvent *>(this)->Step(dt);
        break;
    default:
        break;
    }
}

void EventRecord::Render()
{
    switch (variant) {
    case EventVariant::k79041500:
        Render79041500(this);
        return;
    case EventVariant::k79050300:
        Render79050300(this);
        return;
    case EventVariant::k79101100:
        Render79101100(this);
        return;
    default:
        break;
    }
    switch (kind) {
    case EventKind::kDoor:
        static_cast<CSDoorEvent *>(this)->Render();
        break;
    case EventKind::kFirstEvent:
        RenderFirstEvent(this);
        break;
    case EventKind::kMatAnim:
        static_cast<CSMatAnimEvent *>(this)->Render();
        break;
    case EventKind::kMoveObject:
        static_cast<CSMoveObjectEvent *>(this)->Render();
        break;
    case EventKind::kHeroZone:
        static_cast<CSHeroZoneEvent *>(this)->Render();
        break;
    default:
        break;
    }
}

void EventRecord::RenderLate() {}
