// CSEventManager: every in-game event of the table and the events of the
// loaded stage. The stage manager makes it once, runs Init, and then per
// stage: LoadStageEvents, each frame SetPlayerPose for each hero,
// CheckTriggers and Update, the two draw passes and the window tick, the
// heroes' action tests; at the stage release EndAnimEvents and
// ReleaseStageEvents; at its teardown ReleaseStageEvents and Release.
//
// A stage's events are the records whose stage key is the stage's: they
// are kept as a list of record indices, so an empty table, a stage without
// events or a stage whose events start anywhere in the table touch no
// record of another stage. The five slots (exclusive talk, window, scene,
// pending scene, movie) and the stage exit hold a record index or
// kNoEvent.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "event/event_bgm_list.h"
#include "event/event_data_files.h"
#include "event/event_record.h"
#include "event/message_window.h"
#include "rwcore.h"

struct zuFile;

inline constexpr int32_t kNoEvent = -1;

// One player slot's pose, refreshed from the heroes every frame.
struct EventPlayerPose {
    uint8_t valid;      // the hero may trigger events (not busy)
    int32_t playerIndex;
    RwV3d position;
    RwV3d facing;
};

// Modes of TestTrigger.
inline constexpr int32_t kTriggerFrame = 0;
inline constexpr int32_t kTriggerAction = 1;

class CSEventManager {
public:
    CSEventManager() = default;
    CSEventManager(const CSEventManager &) = delete;
    CSEventManager &operator=(const CSEventManager &) = delete;
    ~CSEventManager() { Release(); }

    // Starts empty and reads "<data root>\RESOURCE\G_EVENT\G_EVENT.EVT"
    // (a missing file leaves the table empty; the game runs on).
    void Init();
    // Reads the table from `path` (after the data root) or an open file,
    // then links it. False when the file cannot be opened.
    bool LoadEventTable(const char *path);
    bool LoadEventTable(zuFile *file);

    void LoadStageEvents(int32_t stageId, int32_t heroCount);
    void SetPlayerPose(int32_t index, AiObject *hero);
    void CheckTriggers(float dt);
    void Update(float dt);
    void CheckActionTriggers(int32_t playerSlot);
    void Render();
    void RenderLate();
    void UpdateMessageWindow();
    void EndAnimEvents();
    void ReleaseStageEvents();
    // Destroys and frees every record (the teardown); safe twice.
    void Release();

    // ---- accessors ----
    void SkipCurrentScene();
    int32_t GetAnimEventId() const;
    int32_t GetMovieEventId() const;
    int32_t GetTalkEventId() const;
    bool HasEventOccurred(int32_t eventId) const;
    // The record of `eventId`; null for ids below 79000001 or ids no record holds.
    EventRecord *FindEvent(int32_t eventId) const;
    RpClump *GetEventModel(int32_t eventId) const;
    void StartStageExit(int32_t word);
    // The scenes' resources of every in-game animation event of the table
    // are released (the developer menu's stream maker); answers how many
    // scenes were asked.
    int32_t UnloadAnimEvents();
    // The first running in-game animation event of the table reloads its
    // camera (a screen that comes back to the stage); answers its record
    // index, or kNoEvent.
    int32_t ReloadAnimEventCamera();

    // ---- the trigger test and the event end ----
    void TestTrigger(EventRecord *record, float dt, int32_t mode, int32_t playerSlot);
    void EndEvent(EventRecord *record);

    // Destroys an event model through the game system (none: nothing).
    void DestroyModel(RpClump *clump);

    // ---- event models (event_models.cpp) ----
    // The record's Models: one slot per name, each a copy of the shared
    // model of that name or, the first time, the model read from
    // "\RESOURCE\G_EVENT\DFF\<name>.DFF" and shared from then on; "none"
    // or a model that cannot be had ends the loading there. The first model
    // is placed by the record's placement. False without a first model.
    bool LoadEventModels(EventRecord *record, const char *const *names, int32_t count);
    // A copy of the shared model of that name, null when none.
    RpClump *FindSharedModel(const char *name) const;
    void AddSharedModel(const char *name, RpClump *clump);
    // Forgets the shared models (the records that hold them destroy them).
    void ReleaseSharedModels();
    int32_t SharedModelCount() const { return static_cast<int32_t>(sharedModels_.size()); }

    // ---- the event data files (event_data_files.cpp) ----
    // Each reader refuses a malformed file (a diagnostic line) and leaves
    // what it fills as it was; false also when the file cannot be opened.
    // Paths are after the data root; the language files are looked for in
    // the language's folder (GetLanguageFolder).
    bool LoadHurtEvents(const char *path);
    bool LoadInGameAnmTable(const char *path);
    bool LoadInGameAnmAudio(const char *path);
    bool LoadNpcTypes(const char *fileName);
    bool LoadDoorMessages(const char *fileName);
    bool LoadConversations(int32_t stageNumber);
    // The portraits of the loaded stage's NPC types, each portrait number's
    // picture read once and shared (a reference per entry).
    void LoadPortraits();
    void ReleasePortraits();
    const char16_t *GetConversation(int32_t id) const;
    const char16_t *GetDoorMessage(int32_t id) const;
    // The stage's portrait of the event's NPC type, its name filled in.
    EventPortrait *GetNpcPortrait(int32_t eventId);
    const std::vector<EventNpcType> &NpcTypes() const { return npcTypes_; }
    const std::vector<EventTextEntry> &DoorMessages() const { return doorMessages_; }
    const std::vector<EventTextEntry> &Conversations() const { return conversations_; }
    const std::vector<EventPortrait> &Portraits() const { return portraits_; }

    // The message window (made by Init; null before).
    CSEventMessageWindow *Window() const { return window_.get(); }

    // The event music list (read by Init).
    CSEventBGMList music;

    // ---- state the tests and the screens read ----
    const std::vector<EventRecord *> &Records() const { return records_; }
    // The loaded stage's record indices, in table order.
    const std::vector<int32_t> &StageEvents() const { return stageEvents_; }
    EventRecord *Record(int32_t index) const
    {
        return index >= 0 && index < static_cast<int32_t>(records_.size()) ? records_[index] : nullptr;
    }

    EventPlayerPose poses[kEventPlayers] = {};
    int32_t playerCount = 0;
    int32_t stageId = 0;
    int32_t first = 0;  // the stage's lowest record index
    int32_t end = 0;    // one past its highest (0 and 0 without events)
    int32_t exclusive = kNoEvent;
    int32_t windowEvent = kNoEvent;
    int32_t animEvent = kNoEvent;
    int32_t pendingAnim = kNoEvent;
    int32_t movieEvent = kNoEvent;
    int32_t stageExit = kNoEvent;
    float frameTime = 0.0f;
    float timerA = 10.0f;
    float timerB = 10.0f;
    uint8_t textColour[4] = {170, 170, 170, 255};
    uint8_t portraitFlags[17] = {};

private:
    EventRecord *SlotRecord(int32_t slot) const { return Record(slot); }
    bool Testable(const EventRecord *record) const;
    // The record's trace line when it first runs.
    void NoteStarted(EventRecord *record);
    void SuspendEvents();

    std::vector<EventRecord *> records_;
    std::vector<int32_t> stageEvents_;
    std::vector<std::pair<std::string, RpClump *>> sharedModels_;
    std::unique_ptr<CSEventMessageWindow> window_;
    std::vector<EventTextEntry> doorMessages_;
    std::vector<EventNpcType> npcTypes_;
    std::vector<EventTextEntry> conversations_;
    std::vector<EventPortrait> portraits_;
};
