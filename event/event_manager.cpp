// The event manager: the table, the stage's events, the frame passes, the
// slots, release and teardown (see event_manager.h).
#include "event/event_manager.h"

#include <string>

#include "app/debug.h"
#include "app/file.h"
#include "app/game_system.h"
#include "app/path.h"
#include "event/bound_actors.h"
#include "event/event_factory.h"
#include "event/event_links.h"
#include "event/event_objects.h"
#include "event/event_table_file.h"
#include "rpworld.h"

namespace {

// The stage key of a record: its id's, or its LinkID's for the ids 0..9.
int32_t StageKey(const EventRecord &record)
{
    const int32_t id = record.EventID < 10 ? record.LinkID : record.EventID;
    return static_cast<int32_t>((static_cast<int64_t>(id) - 77000000) / 10000);
}

bool IsRunningScene(const EventRecord *record)
{
    return record != nullptr && record->kind == EventKind::kInGameAnm && record->IsOccur != 0;
}

void Trace(const EventRecord *record, const char *what)
{
    if (g_eventLinks.trace != nullptr) {
        g_eventLinks.trace(record->EventID, KindFacts(record->kind).name, what, record->OccurCount);
    }
}

}  // namespace

void CSEventManager::Init()
{
    Release();
    playerCount = 0;
    for (EventPlayerPose &pose : poses) {
        pose = {};
    }
    first = 0;
    end = 0;
    exclusive = windowEvent = animEvent = pendingAnim = movieEvent = stageExit = kNoEvent;
    textColour[0] = textColour[1] = textColour[2] = 170;
    textColour[3] = 255;
    for (uint8_t &flag : portraitFlags) {
        flag = 0;
    }
    window_ = std::make_unique<CSEventMessageWindow>();
    const std::string path = std::string(GetDataRootPath()) + kEventTablePath;
    LoadEventTable(path.c_str());
    // No result is checked: a missing or refused file leaves its table empty.
    LoadNpcTypes("NPCTYPE.TEX");
    LoadDoorMessages("OPENDOOR.MSS");
    LoadInGameAnmTable(kInGameAnmTablePath);
    LoadInGameAnmAudio(kInGameAnmAudioPath);
    music.Load();
    LoadHurtEvents(kHurtEventsPath);
    timerA = 10.0f;
    timerB = 10.0f;
}

bool CSEventManager::LoadEventTable(const char *path)
{
    zuFile *file = zufopen(path, "r");
    if (file == nullptr) {
        return false;
    }
    const bool read = LoadEventTable(file);
    zufclose(file);
    return read;
}

bool CSEventManager::LoadEventTable(zuFile *file)
{
    if (!ReadEventTable(file, this, &records_)) {
        return false;
    }
    LinkEventRecords(records_);
    return true;
}

void CSEventManager::LoadStageEvents(int32_t newStageId, int32_t heroCount)
{
    stageId = newStageId;
    playerCount = heroCount;
    stageEvents_.clear();
    first = 0;
    end = 0;
    const int32_t key = newStageId / 10000;
    for (int32_t i = 0; i < static_cast<int32_t>(records_.size()); ++i) {
        EventRecord *record = records_[i];
        if (record == nullptr) {
            continue;
        }
        if (StageKey(*record) != key) {
            record->Active = 0;
            continue;
        }
        if (stageEvents_.empty()) {
            first = i;
        }
        end = i + 1;
        stageEvents_.push_back(i);
    }
    // Each placed actor of an event group joins the first of the stage's
    // events with that id.
    if (g_eventLinks.firstActor != nullptr && g_eventLinks.nextActor != nullptr) {
        for (AiObject *actor = g_eventLinks.firstActor(); actor != nullptr; actor = g_eventLinks.nextActor(actor)) {
            const int32_t group = EventActorGroup(actor);
            if (group < 70000000) {
                continue;
            }
            for (int32_t index : stageEvents_) {
                if (records_[index]->EventID == group) {
                    BindEventActor(records_[index], actor);
                    break;
                }
            }
        }
    }
    conversations_.clear();
    LoadConversations((newStageId - 2000000) / 10000);
    LoadPortraits();
    stageExit = kNoEvent;
    for (int32_t index : stageEvents_) {
        EventRecord *record = records_[index];
        if (record->EventType == kEventTypeStageExit) {
            stageExit = index;
        }
        record->Load();
    }
    music.Reset();
}

void CSEventManager::SetPlayerPose(int32_t, AiObject *hero)
{
    const int32_t slot = EventHeroPlayerIndex(hero);
    if (slot < 0 || slot >= kEventPlayers) {
        return;
    }
    EventPlayerPose &pose = poses[slot];
    EventActorPose(hero, &pose.position, &pose.facing);
    pose.playerIndex = slot;
    pose.valid = EventActorBusy(hero) ? 0 : 1;
}

bool CSEventManager::Testable(const EventRecord *record) const
{
    return record != nullptr && record->OccurCount < record->MaxOccur && record->Active == 1;
}

void CSEventManager::CheckTriggers(float dt)
{
    frameTime = dt;
    if (EventAnyHeroBusy()) {
        return;
    }
    if (EventRecord *talk = SlotRecord(exclusive)) {
        TestTrigger(talk, dt, kTriggerFrame, 0);
        return;
    }
    for (int32_t index : stageEvents_) {
        EventRecord *record = records_[index];
        if (!Testable(record)) {
            continue;
        }
        if (playerCount == 1 && record->CharNum == 2) {
            record->CharNum = 1;
        }
        TestTrigger(record, dt, kTriggerFrame, 0);
        const int32_t type = record->EventType;
        if (type == kEventTypeToxicGas || type == kEventTypeStepped || type == kEventTypeWater) {
            record->Step(dt);
        }
        if (type == kEventTypeInGameAnm && record->kind == EventKind::kInGameAnm) {
            const int32_t phase = static_cast<CSInGameAnmEvent *>(record)->Phase();
            if (phase == 2) {
                pendingAnim = index;
            } else if (phase == 4) {
                animEvent = index;
            }
            if (animEvent == index && record->IsOccur == 0) {
                animEvent = kNoEvent;
                pendingAnim = kNoEvent;
            }
        }
        if (type == kEventTypeTalk && record->kind == EventKind::kTalk) {
            if (record->IsOccur != 0) {
                if (IsRunningScene(SlotRecord(pendingAnim))) {
                    record->IsOccur = 0;
                    static_cast<CSTalkEvent *>(record)->Close(1);
                } else {
                    exclusive = index;
                }
            }
            if (exclusive == index && record->IsOccur == 0) {
                exclusive = kNoEvent;
            }
        }
        if (type == kEventTypeNpcTalk) {
            if (record->IsOccur != 0) {
                windowEvent = index;
            } else if (windowEvent == index) {
                windowEvent = kNoEvent;
            }
        }
        if (type == kEventTypeMovie) {
            if (record->IsOccur != 0) {
                movieEvent = index;
            } else if (movieEvent == index) {
                movieEvent = kNoEvent;
            }
        }
    }
}

void CSEventManager::CheckActionTriggers(int32_t playerSlot)
{
    if (EventRecord *talk = SlotRecord(exclusive)) {
        TestTrigger(talk, frameTime, kTriggerAction, playerSlot);
        return;
    }
    const EventRecord *scene = SlotRecord(animEvent);
    if (IsRunningScene(scene) && scene->EventID != 0) {
        return;
    }
    for (int32_t index : stageEvents_) {
        EventRecord *record = records_[index];
        if (Testable(record)) {
            TestTrigger(record, frameTime, kTriggerAction, playerSlot);
        }
    }
}

void CSEventManager::SuspendEvents()
{
    for (int32_t index : stageEvents_) {
        records_[index]->IsOccur = 0;
        records_[index]->TraceStarted = 0;
    }
    if (EventRecord *talk = SlotRecord(exclusive)) {
        if (talk->kind == EventKind::kTalk) {
            static_cast<CSTalkEvent *>(talk)->Close(1);
        }
        exclusive = kNoEvent;
    }
    if (EventRecord *scene = SlotRecord(animEvent)) {
        if (scene->kind == EventKind::kInGameAnm) {
            static_cast<CSInGameAnmEvent *>(scene)->Finish();
        }
        animEvent = kNoEvent;
    }
}

void CSEventManager::NoteStarted(EventRecord *record)
{
    if (record->TraceStarted == 0) {
        record->TraceStarted = 1;
        Trace(record, "started");
    }
}

void CSEventManager::Update(float dt)
{
    frameTime = dt;
    if (EventAnyHeroBusy()) {
        SuspendEvents();
        return;
    }
    if (window_ != nullptr) {
        window_->Update(dt);
    }
    if (timerA <= 1000.0f) {
        timerA += dt;
    }
    if (timerB <= 1000.0f) {
        timerB += dt;
    }
    // A scene closes the dialogue and the NPC conversation that run beside it.
    const EventRecord *scene = SlotRecord(animEvent);
    if (IsRunningScene(scene) && scene->EventID != 0) {
        for (int32_t *slot : {&exclusive, &windowEvent}) {
            EventRecord *talk = SlotRecord(*slot);
            if (talk != nullptr && talk->EventID != 0) {
                talk->IsOccur = 0;
                talk->TextShown = 0;
                if (talk->kind == EventKind::kTalk) {
                    static_cast<CSTalkEvent *>(talk)->Close(1);
                } else if (talk->kind == EventKind::kNpcTalk) {
                    static_cast<CSNpcTalkEvent *>(talk)->Stop();
                }
                *slot = kNoEvent;
            }
        }
    }
    EventRecord *talk = SlotRecord(exclusive);
    for (int32_t index : stageEvents_) {
        EventRecord *record = records_[index];
        if (record->IsOccur == 0 || (talk != nullptr && record->kind != EventKind::kInGameAnm)) {
            continue;
        }
        NoteStarted(record);
        record->Update(dt);
        record->Step(dt);
        music.Play(record->EventID, index);
    }
    if (talk != nullptr) {
        if (talk->IsOccur != 0) {
            NoteStarted(talk);
            talk->Update(dt);
        } else {
            exclusive = kNoEvent;
        }
    }
    music.Update(dt, Record(music.PlayingRecord()));
}

void CSEventManager::Render()
{
    for (int32_t index : stageEvents_) {
        EventRecord *record = records_[index];
        if (record->Active == 1 && record->DrawLate == 0) {
            record->Render();
        }
    }
}

void CSEventManager::RenderLate()
{
    for (int32_t index : stageEvents_) {
        EventRecord *record = records_[index];
        if (record->Active == 1 && record->DrawLate == 1) {
            record->RenderLate();
        }
    }
}

void CSEventManager::UpdateMessageWindow()
{
    if (window_ == nullptr || movieEvent != kNoEvent) {
        return;
    }
    const EventRecord *scene = SlotRecord(animEvent);
    if (scene != nullptr && scene->kind == EventKind::kInGameAnm &&
        !static_cast<const CSInGameAnmEvent *>(scene)->TextStage()) {
        return;
    }
    for (int32_t index : stageEvents_) {
        const EventRecord *record = records_[index];
        if ((record->IsOccur != 0 && record->HasText == 1) || record->TextShown == 1) {
            window_->textArgb = static_cast<uint32_t>(textColour[3]) << 24 |
                                static_cast<uint32_t>(textColour[0]) << 16 |
                                static_cast<uint32_t>(textColour[1]) << 8 | textColour[2];
            window_->sceneRunning = GetAnimEventId() != 0;
            window_->Tick();
            return;
        }
    }
}

void CSEventManager::EndAnimEvents()
{
    for (int32_t index : stageEvents_) {
        EventRecord *record = records_[index];
        if (IsRunningScene(record)) {
            static_cast<CSInGameAnmEvent *>(record)->Finish();
        }
    }
}

void CSEventManager::ReleaseStageEvents()
{
    for (int32_t index : stageEvents_) {
        records_[index]->Active = 0;
        records_[index]->Release();
    }
    stageEvents_.clear();
    first = 0;
    end = 0;
    exclusive = windowEvent = animEvent = pendingAnim = movieEvent = stageExit = kNoEvent;
    if (window_ != nullptr) {
        window_->Close();
        window_->ShowMarker(false, {0.0f, 0.0f, 0.0f}, 0, 0, window_->Marker().eventId);
    }
    conversations_.clear();
    ReleaseSharedModels();
    ReleasePortraits();
}

void CSEventManager::Release()
{
    ReleaseStageEvents();
    music.Release();
    for (EventRecord *&record : records_) {
        if (record != nullptr) {
            record->Destroy();
            FreeEventObject(record);
            record = nullptr;
        }
    }
    records_.clear();
    window_.reset();
    doorMessages_.clear();
    npcTypes_.clear();
    conversations_.clear();
}

void CSEventManager::SkipCurrentScene()
{
    EventRecord *scene = SlotRecord(animEvent);
    if (IsRunningScene(scene)) {
        static_cast<CSInGameAnmEvent *>(scene)->Finish();
        return;
    }
    EventRecord *movie = SlotRecord(movieEvent);
    if (movie != nullptr && movie->kind == EventKind::kMovie && movie->IsOccur != 0) {
        static_cast<CSMovieEvent *>(movie)->Skip();
    }
}

int32_t CSEventManager::GetAnimEventId() const
{
    const EventRecord *record = SlotRecord(animEvent);
    return record != nullptr ? record->EventID : 0;
}

int32_t CSEventManager::GetMovieEventId() const
{
    const EventRecord *record = SlotRecord(movieEvent);
    return record != nullptr ? record->EventID : 0;
}

int32_t CSEventManager::GetTalkEventId() const
{
    const EventRecord *record = SlotRecord(exclusive);
    return record != nullptr ? record->EventID : 0;
}

EventRecord *CSEventManager::FindEvent(int32_t eventId) const
{
    if (eventId < 79000001) {
        return nullptr;
    }
    for (EventRecord *record : records_) {
        if (record != nullptr && record->EventID == eventId) {
            return record;
        }
    }
    return nullptr;
}

bool CSEventManager::HasEventOccurred(int32_t eventId) const
{
    const EventRecord *record = FindEvent(eventId);
    return record != nullptr && record->OccurCount >= 1;
}

RpClump *CSEventManager::GetEventModel(int32_t eventId) const
{
    const EventRecord *record = FindEvent(eventId);
    return record != nullptr && record->Models != nullptr && record->ModelNum > 0 ? record->Models[0] : nullptr;
}

void CSEventManager::StartStageExit(int32_t)
{
    EventRecord *record = SlotRecord(stageExit);
    if (record == nullptr || record->kind != EventKind::kStageExit) {
        return;
    }
    record->IsOccur = 1;
    NoteStarted(record);
    static_cast<CSStageExitEvent *>(record)->Occur(frameTime);
}

int32_t CSEventManager::UnloadAnimEvents()
{
    int32_t scenes = 0;
    for (EventRecord *record : records_) {
        if (record != nullptr && record->kind == EventKind::kInGameAnm) {
            static_cast<CSInGameAnmEvent *>(record)->Unload();
            ++scenes;
        }
    }
    return scenes;
}

int32_t CSEventManager::ReloadAnimEventCamera()
{
    for (int32_t i = 0; i < static_cast<int32_t>(records_.size()); ++i) {
        if (IsRunningScene(records_[i])) {
            static_cast<CSInGameAnmEvent *>(records_[i])->ReloadCamera();
            return i;
        }
    }
    return kNoEvent;
}

void CSEventManager::DestroyModel(RpClump *clump)
{
    if (clump == nullptr) {
        return;
    }
    if (g_pGameSystem != nullptr) {
        g_pGameSystem->DestroyClump(clump);
        return;
    }
    if (RpWorld *world = RpClumpGetWorld(clump)) {
        RpWorldRemoveClump(world, clump);
    }
    RpClumpDestroy(clump);
}

void CSEventManager::EndEvent(EventRecord *record)
{
    if (record == nullptr) {
        return;
    }
    DebugPrint("Event%d is End.\n", record->EventID);
    if (record->LinkEvent != nullptr) {
        ++record->LinkEvent->LinkEndNum;
    }
    ++record->OccurCount;
    if (record->MaxOccur == kUnlimitedOccur && record->OccurCount >= 1) {
        record->OccurCount = 1;
    }
    switch (record->EventType) {
    case kEventTypeTalk:
        exclusive = kNoEvent;
        break;
    case kEventTypeInGameAnm:
        animEvent = kNoEvent;
        pendingAnim = kNoEvent;
        break;
    case kEventTypeMovie:
        movieEvent = kNoEvent;
        break;
    case kEventTypeNpcTalk:
        windowEvent = kNoEvent;
        break;
    default:
        break;
    }
    record->IsOccur = 0;
    music.OnEventEnd(record->EventID);
    Trace(record, "ended");
    record->TraceStarted = 0;
}
