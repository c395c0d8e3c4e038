// The event ids the game knows, and what each id is: its kind (which
// routine every per-event operation calls), the class of its object, the
// per-id variant that replaces some of its kind's routines, and the row of
// its kind's preset array. One constexpr table (event_id_table.cpp) holds
// every id; the factory, the set-up, the load, the release, the destroy and
// every dispatch read it through FindEventRow and the record's cached copy.
//
// Adding a kind: an enumerator here with its facts row (kKindFacts), its
// class in the object list, its ids in the table, and one case in each
// dispatch that names a routine for it (event_dispatch.cpp, event_load.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

// What an id does. The order is free; kKindFacts follows it.
enum class EventKind : uint8_t {
    kNone,          // not an event id
    kDoor,          // door events
    kMarker,        // never occur by their own test; other events start them
    kEffectBurst,   // 79292700..79293700: start a pooled effect and end
    kNpcAppear,
    kLastNpc,
    kTalk,          // dialogue
    kToxicGas,
    kInGameAnm,     // in-game animation scenes
    kMovie,
    kStageExit,
    kHeroZone,
    kTrapNotice,
    kSceneEffect,
    kEndAtOnce,     // end as soon as every bound actor is gone
    kTalkStarter,   // hand their Param to a dialogue
    kGiveItem,
    kStarEffect,    // the switch puzzle
    kMatAnim,       // the switches 0..9
    kMoveObject,
    kNpcSignal,
    kWater,
    kBridge,
    kLinkStarter,   // start two linked events at once
    kNpcTalk,       // NPC conversation
    kVineHazard,
    kTimed,         // 79362800
    kFirstEvent,    // 79010000: a model and nothing else
    kCount
};

// The object that the factory makes for an id: the kind's class, or a
// class with extra fields for a few ids.
enum class EventObject : uint8_t {
    kBare,                // the EventRecord head alone
    kDoor,
    kDoorWithFlags,       // 79042100..79042300: two flag bytes
    kLastNpc,
    kNpcAppear,
    kTalk,
    kTalkWithWord,        // 79010700, 79270300: one word
    kInGameAnm,
    kInGameAnmWithFlag,   // 79020800, 79022000, 79032000, 79041800, 79061600
    kInGameAnm79041500,   // a flag byte and its model's animation name
    kToxicGas,
    kSceneEffect,
    kBridge,
    kTimed,
    kTrapNotice,
    kWater,
    kLinkStarter,
    kMovie,
    kStarEffect,
    kMatAnim,
    kStageExit,
    kNpcTalk,
    kGiveItem,
    kMoveObject,
    kHeroZone,
    kNpcSignal,
    kVineHazard,
    kTalkStarter,
    kCount
};

// Ids whose routine differs from their kind's in one or more operations,
// named after the id whose routine they run. What each replaces:
enum class EventVariant : uint8_t {
    kNone,
    k79010700,  // dialogue: update
    k79011300,  // door: condition false
    k79011400,  // NPC appear: condition false
    k79020600,  // door: condition
    k79020800,  // scene: condition
    k79022000,  // scene: update (79022000, 79032000)
    k79031000,  // NPC appear: condition
    k79041500,  // scene: update and draw
    k79041600,  // NPC appear: condition
    k79041800,  // scene: update
    k79042100,  // door: update (79042100's) and condition
    k79042200,  // door: update (79042100's) and condition
    k79042300,  // door: update (79042100's)
    k79050300,  // door: draw
    k79061600,  // scene: update
    k79061700,  // NPC appear: condition
    k79062300,  // door: condition
    k79070800,  // door: condition
    k79072500,  // door: condition
    k79072600,  // door: condition (79072600, 79101800)
    k79080400,  // dialogue: condition
    k79080500,  // movie: condition
    k79080600,  // talk starter: condition (79080500's)
    k79101100,  // door: draw
    k79164900,  // crusher door: update, step and condition
    k79165000,  // crusher door: update, step (79164900's) and condition (79164900's)
    k79165100,  // crusher door: update, step (79164900's) and condition (79164900's)
    k79165200,  // crusher door: update and step (79164900's)
    k79165300,  // crusher door: update and step (79164900's)
    k79187100,  // door: step (79187100, 79206400..79206800)
    k79232100,  // scene: condition
    k79232600,  // dialogue: condition
    k79241300,  // NPC signal: condition
    k79270300,  // dialogue: update and condition
    k79314100,  // door: condition
    k79314200,  // door: condition
    k79314300,  // door: condition
    k79342100,  // scene: update
    k79342600,  // door: condition
    k79360200,  // scene: condition
    k79361900,  // scene: update and condition
    k79362000,  // scene: update (79361900's) and condition
    kCount
};

// One row of the id table: the ids first, first + step, ... last (both
// ends included), all of one kind, object, variant and preset row.
struct EventIdRow {
    int32_t first;
    int32_t last;
    int32_t step;         // 100, or 1 for 0..9 and the effect-burst band
    EventKind kind;
    EventObject object;
    EventVariant variant;
    uint8_t preset;       // 1-based row of the kind's preset array; 0 none
};

struct EventKindFacts {
    const char *name;     // the word of the trace lines
    int32_t eventType;    // stored by the set-up; 0 leaves the reader's 0
};

// Indexed by EventKind.
inline constexpr EventKindFacts kKindFacts[] = {
    {"none", 0},
    {"door", 1},
    {"marker", 0},
    {"effect_burst", 0},
    {"npc_appear", 3},
    {"last_npc", 2},
    {"talk", 4},
    {"toxic_gas", 6},
    {"scene", 5},
    {"movie", 17},
    {"stage_exit", 20},
    {"hero_zone", 0},
    {"trap_notice", 13},
    {"scene_effect", 7},
    {"end_at_once", 0},
    {"talk_starter", 0},
    {"give_item", 22},
    {"star_effect", 18},
    {"mat_anim", 19},
    {"move_object", 23},
    {"npc_signal", 0},
    {"water", 15},
    {"bridge", 10},
    {"link_starter", 16},
    {"npc_talk", 21},
    {"vine_hazard", 0},
    {"timed", 12},
    {"first_event", 0},
};
static_assert(sizeof(kKindFacts) / sizeof(kKindFacts[0]) == static_cast<size_t>(EventKind::kCount));

inline const EventKindFacts &KindFacts(EventKind kind)
{
    const auto index = static_cast<size_t>(kind);
    return kKindFacts[index < static_cast<size_t>(EventKind::kCount) ? index : 0];
}

// Event types that the manager treats apart.
inline constexpr int32_t kEventTypeTalk = 4;
inline constexpr int32_t kEventTypeInGameAnm = 5;
inline constexpr int32_t kEventTypeToxicGas = 6;
inline constexpr int32_t kEventTypeStepped = 14;  // never set: no set-up stores it
inline constexpr int32_t kEventTypeWater = 15;
inline constexpr int32_t kEventTypeLinkStarter = 16;
inline constexpr int32_t kEventTypeMovie = 17;
inline constexpr int32_t kEventTypeStageExit = 20;
inline constexpr int32_t kEventTypeNpcTalk = 21;

// The stage number of an event id 79SSNNNN: (id - 79000000) / 10000,
// truncated toward zero; 1..42 are stages.
inline constexpr int32_t EventStageNumber(int32_t id)
{
    return static_cast<int32_t>((static_cast<int64_t>(id) - 79000000) / 10000);
}
inline constexpr bool IsStageEventNumber(int32_t stage) { return stage >= 1 && stage <= 42; }

// The effect-burst band: every id from 79292700 to 79293700.
inline constexpr bool IsEffectBurstId(int32_t id) { return id >= 79292700 && id <= 79293700; }

// The row of `id`, null for an id the game does not know.
const EventIdRow *FindEventRow(int32_t id);
// Every row, in rising id order.
const EventIdRow *EventIdRows(int32_t *count);
// How many ids a row names.
inline constexpr int32_t RowIdCount(const EventIdRow &row) { return (row.last - row.first) / row.step + 1; }
