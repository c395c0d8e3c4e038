// The rules of the door events that need no model: the door sound of a
// sound kind, the open conditions, the speech-marker distance, and the
// crush zones of stage 16's crusher doors with the heroes they hit.
#pragma once

#include <cstdint>

#include "event/event_record.h"

// The sound played once per stage for a door of sound `kind` (1..14);
// 0 (no sound) for kind 0 and every kind outside 1..14.
int32_t DoorSoundOfKind(int32_t kind);
// The crusher doors and 79187100, 79206400..79206800 play their own.
inline constexpr int32_t kCrusherSound = 6500140;
inline constexpr int32_t kKeyDoorSound = 6500410;

// What the door's open condition sees besides the record: whether the
// shared item list holds the door's key (`Param`).
struct DoorConditionInputs {
    bool keyOwned = false;
};

// Whether door `record` with open condition `code` opens now:
//   1..99  LinkEndNum equals the code;
//   100    Param is set (a key), a player slot pressed the action command
//          and the key is owned;
//   200    every bound actor removed;   300 every actor of LinkEvent removed;
//   400    always;   500 LinkEvent has ended once;   600 LinkEvent running;
//   700    one player slot pressed the action command and stands in the area;
//   other  never.
bool DoorOpenConditionHolds(EventRecord *record, int32_t code, const DoorConditionInputs &inputs);

// The marker shows within this horizontal distance of the door's sphere.
inline constexpr float kDoorMessageDistance = 13.0f;
// Whether `hero` stands closer than `distance` to `centre`, height ignored.
bool WithinDoorMessageDistance(const RwV3d &centre, const RwV3d &hero, float distance);

// The crush zone test of the crusher door `eventId` (79164900..79165300):
// whether the ground point (x, z) lies inside its zone (either rectangle of
// 79165300). False for any other id.
bool InCrusherZone(int32_t eventId, float x, float z);
bool IsCrusherDoor(int32_t eventId);

// The heroes that the crusher's end hits: bit i set for hero i inside the
// zone, hero 2 tested only when the stage has two heroes.
uint32_t CrusherHitHeroes(int32_t eventId, int32_t heroCount, const RwV3d *heroPositions);
// The hit's message: priority 2, no sender, payload (0, 1, 2000).
inline constexpr int32_t kCrusherHitPriority = 2;
inline constexpr int32_t kCrusherHitPayload[3] = {0, 1, 2000};
