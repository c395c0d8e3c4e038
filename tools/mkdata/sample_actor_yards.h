// Two stages of the stage select's map that hold the actors no other
// sample stage shows, each in the plain arena with its exit always open:
//   stage 19: the event figures 101 to 106 and 108 to 118 in four columns
//             north-east of the heroes' start, each shown while in view; the
//             timed blast trap 1202 beside the start, the breakable trap
//             1204 west of it, the post 1201 south of the start and a
//             liftable object (10027) south-west of it; the warden (100)
//             north-west of the start, whose talk holds every actor of the
//             stage and shows the figures of its group: most of the
//             columns (101 placed in its last state 12, which holds it),
//             a trader (107) and a second 112 that stand unseen
//             until the talk shows them, and the post, which it switches
//             on; the talk's end lets them go (the second 112 ends);
//   stage 25: every breakable design 10000 to 10031: a barrel bomb (10028)
//             west of the heroes' start with the two designs only a blast
//             breaks (10020, 10021) and the second bomb (10029) within its
//             reach, a wall-like design (10022) east of the start, two
//             front-only targets (10026) south of it, one facing the start
//             and one turned away, the others in rows along the east and
//             west walls.
// The heroes start at (0, 0, -60) facing north; the way north to the exit
// stays clear.
#pragma once

#include <cstdint>
#include <vector>

#include "event/event_table_file.h"
#include "stage/ai_placement.h"

namespace mkdata {

inline constexpr int32_t kFigureYardStageId = 2190000;
inline constexpr int32_t kBreakableYardStageId = 2250000;

// Where stage 19's blast trap and breakable trap and stage 25's first bomb
// and wall-like object stand.
inline constexpr RwV3d kYardBlastTrapAt = {15.0f, 0.0f, -60.0f};
inline constexpr RwV3d kYardTrapAt = {-30.0f, 0.0f, -60.0f};
inline constexpr RwV3d kYardBombAt = {-20.0f, 0.0f, -60.0f};
inline constexpr RwV3d kYardWallAt = {25.0f, 0.0f, -60.0f};
inline constexpr RwV3d kYardTargetAt = {0.0f, 0.0f, -85.0f};
// Stage 19's post, south of the start, and the liftable object west of it.
inline constexpr RwV3d kYardPostAt = {0.0f, 0.0f, -120.0f};
inline constexpr RwV3d kYardLiftableAt = {-25.0f, 0.0f, -110.0f};

// Stage 19's talk: its id is the group of the figures it shows; the warden
// it is held with stands north-west of the start, beyond the talk's reach
// from there. Its one line is conversation 1 of the stage's file.
inline constexpr int32_t kFigureTalkEvent = 79193800;
inline constexpr RwV3d kFigureTalkNpcAt = {-12.0f, 0.0f, -42.0f};
inline constexpr float kFigureTalkReach = 12.0f;
inline constexpr int32_t kFigureTalkParam = 1000000;
// The figures of the columns that stay out of the talk's group (held by
// it all the same).
inline constexpr int32_t kFirstUngroupedFigure = 115;

// The actors a yard adds (their AIIDs from 10 up); none for another stage.
std::vector<AiPlacement> SampleActorYardPlacements(int32_t stageId);
// The yards' events, for the event table: stage 19's talk.
std::vector<EventTableEntry> SampleActorYardEvents();

}  // namespace mkdata
