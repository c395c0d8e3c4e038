// The per-event load, release and destroy: the head's common steps around
// a switch on the record's kind, which hands each kind its presets.
#include <algorithm>
#include <iterator>

#include "app/memory.h"
#include "event/bound_actors.h"
#include "event/bridge_paths.h"
#include "event/event_manager.h"
#include "event/event_models.h"
#include "event/event_objects.h"
#include "event/door_presets.h"
#include "event/event_presets.h"

namespace {

bool AsksForBossGauge(int32_t id)
{
    return std::find(std::begin(kBossGaugeEventIds), std::end(kBossGaugeEventIds), id) != std::end(kBossGaugeEventIds);
}

template <class T, size_t N>
int32_t PresetValue(const T (&values)[N], uint8_t row)
{
    const T *value = PresetRow(values, row);
    return value != nullptr ? *value : 0;
}

void FreeModels(EventRecord *record)
{
    if (record->Models != nullptr) {
        for (int32_t i = 0; i < record->ModelNum; ++i) {
            if (record->Models[i] != nullptr && record->manager != nullptr) {
                record->manager->DestroyModel(record->Models[i]);
            }
        }
        zuFree(record->Models);
        record->Models = nullptr;
    }
    record->ModelNum = 0;
}

}  // namespace

void EventRecord::Load()
{
    Models = nullptr;
    ModelNum = 0;
    Active = 1;
    CharNumMet = 0;
    DrawLate = 0;
    TextShown = 0;
    SoundDone = 0;
    CentreOnModel = 0;
    OccurLogged = 0;
    TraceStarted = 0;
    if (kind == EventKind::kMatAnim) {
        static_cast<CSMatAnimEvent *>(this)->Load();
    } else if (kind == EventKind::kFirstEvent) {
        LoadFirstEvent(this);
    }
    if (Param != 1) {
        OccurCount = 0;
        IsOccur = 0;
    }
    if (AsksForBossGauge(EventID)) {
        BossGaugeRequest = 1;
    }
    switch (kind) {
    case EventKind::kDoor:
        if (const DoorPreset *p = FindDoorPreset(EventID)) {
            static_cast<CSDoorEvent *>(this)->LoadPreset(*p);
        }
        break;
    case EventKind::kMovie:
        if (const MoviePreset *p = PresetRow(kMoviePresets, preset)) {
            static_cast<CSMovieEvent *>(this)->Setup(p->movieKind, p->flag);
        }
        break;
    case EventKind::kToxicGas:
        if (const ToxicGasPreset *p = PresetRow(kToxicGasPresets, preset)) {
            static_cast<CSToxicGasEvent *>(this)->LoadParticles(p->outlets, p->firstParticles, p->secondParticles);
        }
        break;
    case EventKind::kStarEffect:
        if (const StarEffectPreset *p = PresetRow(kStarEffectPresets, preset)) {
            static_cast<CSStarEffectEvent *>(this)->Setup(p->condition, p->timeLimit);
        }
        break;
    case EventKind::kNpcSignal:
        static_cast<CSNpcSignalEvent *>(this)->Setup(PresetValue(kNpcSignalCodes, preset));
        break;
    case EventKind::kNpcAppear:
        static_cast<CSNpcAppearEvent *>(this)->Setup(PresetValue(kNpcAppearCodes, preset));
        break;
    case EventKind::kLastNpc:
        if (const LastNpcPreset *p = PresetRow(kLastNpcPresets, preset)) {
            static_cast<CSLastNpcEvent *>(this)->Setup(Param != 0 ? Param : p->payload, p->useLinked);
        }
        break;
    case EventKind::kTimed:
        static_cast<CSTimedEvent *>(this)->SetTimer(300);
        break;
    case EventKind::kTrapNotice:
        static_cast<CSTrapNoticeEvent *>(this)->Condition = PresetValue(kTrapNoticeValues, preset);
        break;
    case EventKind::kLinkStarter:
        static_cast<CSLinkStarterEvent *>(this)->Condition = PresetValue(kLinkStarterValues, preset);
        break;
    case EventKind::kTalkStarter:
        static_cast<CSTalkStarterEvent *>(this)->Condition = PresetValue(kTalkStarterValues, preset);
        break;
    case EventKind::kStageExit:
        if (const StageExitPreset *p = PresetRow(kStageExitPresets, preset)) {
            static_cast<CSStageExitEvent *>(this)->Setup(p->condition, Stage(), p->flag);
        }
        break;
    case EventKind::kGiveItem:
        static_cast<CSGiveItemEvent *>(this)->Setup(Param, 2);
        break;
    case EventKind::kTalk: {
        const TalkPreset p = FindTalkPreset(EventID);
        if (object == EventObject::kTalkWithWord && EventID == 79010700) {
            static_cast<CSTalkEventWithWord *>(this)->ExtraWord = 0;
        }
        static_cast<CSTalkEvent *>(this)->Setup(p.waitMode, p.restoreNpc, p.appearAnim);
        if (object == EventObject::kTalkWithWord && EventID == 79270300) {
            static_cast<CSTalkEventWithWord *>(this)->ExtraWord = 0;
        }
        break;
    }
    case EventKind::kNpcTalk:
        static_cast<CSNpcTalkEvent *>(this)->Setup(manager != nullptr ? manager->GetNpcPortrait(EventID) : nullptr);
        break;
    case EventKind::kBridge:
        static_cast<CSBridgeEvent *>(this)->Load();
        if (const BridgePathPreset *path = FindBridgePathPreset(EventID)) {
            LoadBridgePath(static_cast<CSBridgeEvent *>(this), *path);
        }
        break;
    case EventKind::kVineHazard:
        static_cast<CSVineHazardEvent *>(this)->Load();
        break;
    case EventKind::kWater:
        static_cast<CSWaterEvent *>(this)->Load();
        break;
    case EventKind::kHeroZone:
        static_cast<CSHeroZoneEvent *>(this)->Load();
        break;
    case EventKind::kSceneEffect:
        static_cast<CSSceneEffectEvent *>(this)->Load();
        break;
    case EventKind::kMoveObject:
        if (const MoveObjectPreset *p = FindMoveObjectPreset(EventID)) {
            static_cast<CSMoveObjectEvent *>(this)->Load(*p);
        }
        break;
    case EventKind::kInGameAnm:
        static_cast<CSInGameAnmEvent *>(this)->Load();
        if (object == EventObject::kInGameAnm79041500) {
            LoadScene79041500(static_cast<CSInGameAnm79041500 *>(this));
        }
        break;
    // Kinds whose loads are their own code's (dialogue,
    // conversations), and the kinds with no load.
    default:
        break;
    }
}

void EventRecord::Release()
{
    switch (kind) {
    case EventKind::kDoor:
        static_cast<CSDoorEvent *>(this)->Release();
        break;
    case EventKind::kMatAnim:
        static_cast<CSMatAnimEvent *>(this)->Release();
        break;
    case EventKind::kMovie:
        static_cast<CSMovieEvent *>(this)->Release();
        break;
    case EventKind::kStarEffect:
        static_cast<CSStarEffectEvent *>(this)->Release();
        break;
    case EventKind::kNpcAppear:
        static_cast<CSNpcAppearEvent *>(this)->Release();
        break;
    case EventKind::kToxicGas:
        static_cast<CSToxicGasEvent *>(this)->Release();
        break;
    case EventKind::kHeroZone:
        static_cast<CSHeroZoneEvent *>(this)->Release();
        break;
    case EventKind::kSceneEffect:
        static_cast<CSSceneEffectEvent *>(this)->Release();
        break;
    case EventKind::kWater:
        static_cast<CSWaterEvent *>(this)->Release();
        break;
    case EventKind::kBridge:
        static_cast<CSBridgeEvent *>(this)->Release();
        break;
    case EventKind::kVineHazard:
        static_cast<CSVineHazardEvent *>(this)->Release();
        break;
    case EventKind::kTalk:
        static_cast<CSTalkEvent *>(this)->Release();
        break;
    case EventKind::kNpcTalk:
        static_cast<CSNpcTalkEvent *>(this)->Release();
        break;
    case EventKind::kInGameAnm:
        if (object == EventObject::kInGameAnm79041500) {
            ReleaseScene79041500(static_cast<CSInGameAnm79041500 *>(this));
        }
        static_cast<CSInGameAnmEvent *>(this)->Release();
        break;
    default:
        break;
    }
    OccurCount = 0;
    IsOccur = 0;
    CharNumMet = 0;
    LinkEndNum = 0;
    TraceStarted = 0;
    FreeModels(this);
    FreeEventActors(this);
    RemovedNum = 0;
    BossGaugeRequest = 0;
}

void EventRecord::Destroy()
{
    switch (kind) {
    case EventKind::kSceneEffect:
        static_cast<CSSceneEffectEvent *>(this)->Destroy();
        break;
    case EventKind::kHeroZone:
        static_cast<CSHeroZoneEvent *>(this)->FreeHurtLines();
        break;
    case EventKind::kInGameAnm:
        static_cast<CSInGameAnmEvent *>(this)->Destroy();
        break;
    default:
        break;
    }
    // What a stage release would have freed, in case none ran.
    Release();
    zuFree(NPCFlags);
    NPCFlags = nullptr;
    NPCNum = 0;
    CharNum = 0;
    IsOccur = 0;
    MaxOccur = 0;
    OccurCount = 0;
    Param = 0;
    zuStrFree(Label);
    Label = nullptr;
}
