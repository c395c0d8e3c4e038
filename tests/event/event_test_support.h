// The stage side of the event tests: fake actors and heroes behind the
// event links, a recording of the stage changes, boss gauge requests,
// trace lines and effect calls, and a manager made from table entries.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "event/event_links.h"
#include "event/event_manager.h"
#include "event/event_table_file.h"
#include "support/game/trace_reader.h"

namespace event_test {

struct FakeActor {
    int32_t group = 0;    // the placement's EventID
    bool removed = false;
    bool busy = false;
    bool dying = false;       // its death runs; removed when it ends
    int32_t player = 0;   // heroes: the player slot
    RwV3d position = {0.0f, 0.0f, 0.0f};
    RwV3d facing = {0.0f, 0.0f, 1.0f};
    int32_t aiType = 1000;
    int32_t aiId = 0;
    bool shown = false;       // the visibility-instancing flag
    int32_t appeared = 0;     // times an event made it appear
    int32_t animation = -1;   // the motion it appeared with
    bool knockedDown = false; // heroes: in state 4
    // What a dialogue did to it.
    int32_t madeToAppear = 0;    // AiObject::Appear
    int32_t heldAnimation = -1;  // the hold word's animation
    int32_t returned = 0;        // AiObject::ReturnToNormal
    int32_t restored = 0;        // the potion's 9999
};

// A message an event posted (no sender).
struct PostedMessage {
    int32_t kind;
    FakeActor *target;
    int32_t word[3];
};

inline AiObject *AsActor(FakeActor *actor) { return reinterpret_cast<AiObject *>(actor); }

struct StageChange {
    int32_t target;
    int32_t flag;
    int32_t ms;
};

// Everything the links report, and the stage they read.
struct FakeStage {
    std::vector<FakeActor *> heroes;
    std::vector<FakeActor *> actors;  // the actor chain, in order
    std::vector<StageChange> stageChanges;
    std::vector<std::string> trace;   // "id kind started|ended count"
    int32_t bossGaugeRequests = 0;
    // The dynamic effect set: slot -> shown models; -1 slots are free.
    std::vector<int32_t> dynSlots;    // piece kind per slot, -1 free
    std::vector<std::pair<bool, bool>> dynShown;
    std::vector<int32_t> dynCounts;   // count handed with the values, per slot
    bool dynEffects = true;
    int32_t vinesStarted = 0;
    int32_t vineUpdates = 0;
    std::vector<float> dynTurns;      // angle handed per slot
    // What the hazards and gifts did.
    std::vector<PostedMessage> posted;
    std::vector<int32_t> sounds;      // sound effects played, in order
    std::vector<int32_t> uiSounds;
    std::vector<std::pair<int32_t, int32_t>> itemsAdded;  // list, item
    std::vector<int32_t> popups;
    std::vector<uint8_t> sceneEffectFlags;
    std::vector<RwV3d> bursts;        // effect bursts started
    int32_t burstsFree = 1000;        // how many more the pool can start
    std::vector<RwV3d> stars;         // star effects started at a switch
    std::vector<bool> starSwitches;   // the star effect switched on / off
    std::vector<RwV3d> downHits;
    std::vector<RwV3d> explosions;
    // The shared item list (list 0): one entry per item held.
    std::vector<int32_t> sharedItems;
    bool inView = true;               // the main camera's view test
    // The music: calls in order ("stop 0", "event 2000 3", "stage").
    std::vector<std::string> music;
    bool bgmStopped = false;
    // The camera: its mode, and the calls in order ("save", "turn", "back",
    // "mode 7").
    int32_t cameraMode = 0;
    std::vector<std::string> camera;
    // The clumps drawn, in order, and whether with the fade.
    std::vector<std::pair<RpClump *, bool>> draws;
    // Pad button states (0, 1 pressed this frame, 2 held) per player slot.
    uint8_t pads[2][16] = {};
};

// Installs links over `stage` (and removes them when destroyed).
class StageLinks {
public:
    explicit StageLinks(FakeStage *stage, int32_t dynSlotCount = 32);
    ~StageLinks();
    StageLinks(const StageLinks &) = delete;
    StageLinks &operator=(const StageLinks &) = delete;
};

// An entry with an area around (0, 0, 0) that the tests move heroes into:
// a square of half-size 10 (corners counter-clockwise).
EventTableEntry SquareEntry(int32_t id, float half = 10.0f);
// An entry with only a circle.
EventTableEntry CircleEntry(int32_t id, RwV3d centre, float radius);
// An entry with no area (tested only through its condition).
EventTableEntry BareEntry(int32_t id);
// The same binding `npcNum` actors, with its Param and LinkID.
EventTableEntry BoundEntry(int32_t id, int32_t npcNum, int32_t param, int32_t linkId);
// The UTF-16LE bytes of a wide text (what the wide event files hold).
std::string WideBytes(const std::u16string &text);
// The messages posted since the last call.
std::vector<PostedMessage> TakePosted(FakeStage &stage);

// A manager whose table holds `entries` (read through the file reader).
std::unique_ptr<CSEventManager> MakeManager(const std::vector<EventTableEntry> &entries);

// An object of the id's class from the factory, set up, destroyed and freed
// with the holder (null for an id the game does not know).
struct OwnedRecord {
    explicit OwnedRecord(int32_t id);
    ~OwnedRecord();
    OwnedRecord(const OwnedRecord &) = delete;
    OwnedRecord &operator=(const OwnedRecord &) = delete;
    EventRecord *record;
};

// Poses for every hero of the stage, then the frame's passes.
void RunFrame(CSEventManager &manager, const FakeStage &stage, float dt = 1.0f / 60.0f);

// A screenshot of a game run, compared with its reviewed reference
// tests/event/reference/<name>.bmp.
struct ReferenceShot {
    int tick;
    const char *name;
};
// The game itself, headless, on a copy of the sample data (`arguments`
// after the run's own), with a screenshot after each shot's tick, each
// like its reference; the shots are written under
// build/tests/<folder>/<pid>/ and go when the test has not failed. The
// run's trace.
std::vector<gametest::TraceRecord> RunWithReferenceShots(const char *name, const std::string &folder,
                                                         const std::string &arguments,
                                                         const std::vector<ReferenceShot> &shots);

// The game's argument that plays the input script `script` of
// tests/event/scripts/.
std::string ScriptArgument(const char *script);
// The reviewed picture `name` (.bmp) of tests/event/reference/.
std::string ReferencePicture(const std::string &name);

// The game itself, headless, on a copy of the sample data: stage `stage`
// under the scripted pad tests/event/scripts/<script> for `frames` ticks of
// 16 ms; the run's trace (its copy goes once the trace is read).
std::vector<gametest::TraceRecord> RunStageTrace(const char *name, int32_t stage, const char *script,
                                                 uint32_t frames);

}  // namespace event_test
