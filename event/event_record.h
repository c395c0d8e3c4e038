// EventRecord: the head that every event object starts with. The kinds
// extend it with their own fields (their tails) and have no virtual
// functions: every per-event operation is a switch on the record's kind,
// which the factory caches from the id table (event_kind.h).
//
// The head's fixed blocks (area corners, circle, placement, the per-hero
// and per-player pairs) are part of the record, so every record has them
// whatever its hero count; the blocks whose size the file decides (the
// NPC flags, the bound actors, the models, the label) are owned arrays of
// the game allocator, freed by the release or the destroy.
#pragma once

#include <cstdint>
#include <type_traits>

#include "event/event_kind.h"
#include "rwcore.h"

class AiObject;
class CSEventManager;
struct RpClump;

inline constexpr int kEventPlayers = 2;
inline constexpr int kEventCorners = 4;
// The NPC flag bytes exist for 1..19 bound actors.
inline constexpr int32_t kMaxNpcFlags = 19;
// A MaxOccur of this value means without limit (the count stays at 1).
inline constexpr int32_t kUnlimitedOccur = 1000;

struct EventCircle {
    RwV3d centre;
    float radius;
};

// Where the event's first model stands: the position, the live position
// row of the model's frame (once a model is placed), its directions, a
// copy of the position and the radius of its bounding sphere.
struct EventPlacement {
    RwV3d position;
    RwV3d *livePosition;
    RwV3d at;
    RwV3d up;
    RwV3d centre;
    float radius;
};

class EventRecord {
public:
    // ---- the per-event operations (each a switch on the kind) ----
    // Gives a new object its EventType and its kind's starting values.
    void SetUp();
    // Readies the event for its stage (its kind's load with its presets).
    void Load();
    // Undoes the load when the stage is left.
    void Release();
    // Frees everything the record owns (the manager's teardown).
    void Destroy();
    // The occurrence update of a running event.
    void Update(float dt);
    // The event's own condition: 1 or 0.
    uint8_t CheckCondition(float dt);
    // The light per-frame step.
    void Step(float dt);
    void Render();
    void RenderLate();

    // Stage number of the id (1..42 for stage events).
    int32_t Stage() const { return EventStageNumber(EventID); }
    bool Running() const { return IsOccur != 0; }

    // ---- the head, in the file's order ----
    int32_t EventID;
    uint8_t InArea[kEventPlayers];       // per position in the stage's hero list
    int32_t CharNum;                     // heroes that must stand in the area at once
    uint8_t PlayerEnable[kEventPlayers]; // per player slot: tested at all
    uint8_t *NPCFlags;                   // NPCNum bytes for 1..19 bound actors, else null
    int32_t NPCNum;                      // capacity of Actors
    uint8_t IsOccur;                     // running
    uint8_t CharNumMet;
    RwV3d EventArea[kEventCorners];      // the trigger quadrilateral, in file order
    float AngleSum[kEventPlayers];       // per hero: the last sum of corner angles
    float CenterDist[kEventPlayers];     // per hero: the last distance from the circle centre
    EventCircle Circle;
    EventPlacement Placement;
    char *Label;                         // the thirteenth line's first word, owned
    RpClump **Models;                    // owned array of ModelNum entries
    int32_t ModelNum;
    int32_t MaxOccur;
    int32_t OccurCount;                  // times ended
    int32_t Param;
    int32_t LinkID;
    EventRecord *LinkEvent;
    int32_t LinkEndNum;                  // times events reporting to this one ended
    uint8_t Active;                      // belongs to the loaded stage
    uint8_t ActionReq[kEventPlayers];    // per player slot: pressed the action command
    uint32_t PressCount[2];              // confirm presses while running
    uint8_t HasText;
    uint8_t DrawLate;
    uint8_t TextShown;
    uint8_t SoundDone;
    uint8_t CentreOnModel;
    AiObject **Actors;                   // NPCNum entries, cleared, the bound ones first
    int32_t ActorNum;                    // entries bound
    int32_t EventType;
    int32_t BossGaugeRequest;
    uint8_t OccurLogged;

    // ---- what the game adds ----
    EventKind kind;                      // cached from the id table
    EventObject object;
    EventVariant variant;
    uint8_t preset;
    int32_t RemovedNum;                  // bound actors found removed at the last count
    uint8_t TraceStarted;                // the trace has a "started" line for this run
    CSEventManager *manager;             // the manager that read the record
};

// The head and every tail are plain words: objects are cleared blocks of
// the game allocator, given back without destructors.
static_assert(std::is_trivially_destructible_v<EventRecord>);
