// The door events' loads: for every door id, the arguments of its load
// (CSDoorEvent::LoadAnim) and what its load does after it. One table row
// serves every id that shares them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

struct DoorArgs {
    uint8_t centreOnModel;   // the trigger circle follows the model
    int32_t closedMotion;    // started at load
    int32_t openMotion;      // started when the door opens
    uint8_t useLinkModel;    // the door animates its LinkEvent's first model
    int32_t openCondition;   // door_rules.h
    uint8_t nodeAnim;        // the model's frames also run a node animation
    uint32_t signSlot;       // key of the door message (0: none)
    int32_t soundKind;       // DoorSoundOfKind
};

// What a door's load does after LoadAnim.
struct DoorExtras {
    int32_t motionAtOnce = -1;           // this motion started and advanced 0.1 s
    float radius = 0.0f;                 // the bounding sphere's radius (0: kept)
    std::optional<float> x{}, y{}, z{};  // the bounding sphere's centre
    bool refreshCollision = false;       // the atomics' collision flags refreshed
    bool collisionOff = false;           // no collision test on the model
    bool hiddenAfterEnd = false;         // not drawn once it has ended
    bool stillOnOccur = false;           // the occurrence only waits for the node animation
    float nodeFrame = -1.0f;             // the node animation set to this frame
    bool distanceIsRadius = false;       // the marker shows within the trigger circle
};

inline constexpr int kDoorPresetIds = 22;

struct DoorPreset {
    DoorArgs args;
    DoorExtras extras;
    std::array<int32_t, kDoorPresetIds> ids;  // the ids it serves; 0 after the last
};

// The preset of a door id; null for an id no row names.
const DoorPreset *FindDoorPreset(int32_t eventId);
// Every row.
const DoorPreset *DoorPresets(int32_t *count);
