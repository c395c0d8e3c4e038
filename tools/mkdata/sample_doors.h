// The sample doors:
//   RESOURCE/G_EVENT/DFF/DOOR01.DFF   a wooden door in a stone frame: the
//                                     door leaf swings on its hinge node
//   RESOURCE/G_EVENT/ANM/DOOR01.ANM   the leaf's animation, and its motions
//                    DOOR01.AMF       0 closed, 1 opening, 2 a rattle that
//                                     ends closed
//   RESOURCE/G_EVENT/DFF/DOOR02.DFF   an iron gate of the same build whose
//   RESOURCE/G_EVENT/ANM/DOOR02.ANM,  bolt frame lifts by a node animation
//                    DOOR02.AMF       while the gate opens
// and the first stage's doors: 79011200, opened by the action command in
// its area, and 79013400, which opens once the yard's monster is gone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "event/event_table_file.h"
#include "stage/motion_table.h"
#include "tools/mkdata/stage_sounds.h"

namespace mkdata {

inline constexpr int32_t kSampleActionDoor = 79011200;
inline constexpr int32_t kSampleMonsterDoor = 79013400;
inline constexpr const char *kSampleDoorModel = "DOOR01";
inline constexpr const char *kSampleNodeDoorModel = "DOOR02";

// The door's build: the leaf is kDoorWidth wide and kDoorHeight high,
// hinged at x = -kDoorWidth / 2 of the model; it opens by kDoorOpenDegrees
// about the vertical over motion 1.
inline constexpr float kDoorWidth = 16.0f;
inline constexpr float kDoorHeight = 24.0f;
inline constexpr float kDoorOpenDegrees = -100.0f;
// The bolt of the node door lifts by this much over kDoorBoltFrames.
inline constexpr float kDoorBoltLift = 8.0f;
inline constexpr int32_t kDoorBoltFrames = 30;
// The motions' frame ranges (60 a second).
MotionTable SampleDoorMotions();

// Where the first stage's doors stand (the yard's ground is y = 0), both
// south-east of the first start, out of the play camera's view from there
// (the stage's other runs and pictures do not show them). The action door's
// leaf stands across the camera's view (the door faces north-north-east,
// away from the camera): a hero walks to it across the yard's diagonal
// (south-east, then north-east). Its area is a circle round it of the
// door's message distance, the speech marker's own.
inline constexpr RwV3d kSampleActionDoorAt = {84.4f, 0.0f, -95.8f};
inline constexpr RwV3d kSampleActionDoorFacing = {0.6f, 0.0f, 0.8f};
inline constexpr RwV3d kSampleMonsterDoorAt = {150.0f, 0.0f, -160.0f};
inline constexpr float kDoorMessageDistance = 13.0f;

// The first stage's doors, for the event table.
std::vector<EventTableEntry> SampleDoorEntries();
// The door sound the first stage's doors play (sound kind 1).
std::vector<SampleSound> SampleDoorSounds();

bool WriteSampleDoors(const std::string &root);

}  // namespace mkdata
