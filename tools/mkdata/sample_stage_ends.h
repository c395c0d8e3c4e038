// How each sample stage of the stage select's map ends: its stage exit and
// the events that open it, and the actors those events wait for.
//   - the arena with monsters (stage 2: 1021, which stands between the
//     heroes' start and the way out by the west wall) and the arenas that
//     keep a guard (a monster 1000 standing ahead of the heroes' start, in
//     the stages whose exit waits on a linked event): the guard's event, a
//     door that opens once it is gone (the way out) or a last-NPC event that
//     tells the last of them to drop a gift, then the exit, a band behind
//     the door (across the far end of the yard) that a hero walks into;
//   - the arenas whose exit is always open (17, 19, 23, 25): the band alone;
//   - the puzzle (stage 5): the exit opens once the puzzle is solved;
//   - the boss arenas: the boss bound to a door (3), to a last-NPC event
//     before a door (4), to its stage's closing movie, which starts the exit
//     when it is over (8, 22, 27, 32, 37, 38; 15 through the appear event
//     its opening movie starts), or, in stage 36, which has no exit, to an
//     appear event that a timed event watches: once the boss is gone the
//     closing scene 79362000 plays and finishes the stage;
//   - the first stage keeps its own chain (event_table.cpp).
// The clips the movies play and the closing scene's pack are written here.
//   ENGEVTMV/, CHIEVTMV/     0803, 1501, 1505, 2201, 2202, 2701, 2702, 3201,
//                            3202, 3701, 3801, 3802.BIK
//   PACK/INGAME4/79362000.STR, 79360700.STR (and .LST), CAMERA/DFF/CAM02.DFF,
//                            ANM/CAM02.ANM
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "event/event_data_files.h"
#include "event/event_table_file.h"
#include "tools/mkdata/sample_stages.h"

namespace mkdata {

// The way out: a door a little past the middle of the yard, facing the
// heroes' start, and the exit's band behind it, from kExitBandNear to
// kExitBandFar beyond the door, kExitBandHalfWidth to each side (the yard's
// walls stand at 200; the heroes start at z = -60, the bosses and the
// guards at z = 20). Stage 2's stands by the west wall, behind 1021.
inline constexpr RwV3d kWayOutDoorAt = {0.0f, 0.0f, 100.0f};
inline constexpr RwV3d kWayOutFacing = {0.0f, 0.0f, -1.0f};
inline constexpr RwV3d kArenaWayOutAt = {-150.0f, 0.0f, -60.0f};
inline constexpr RwV3d kArenaWayOutFacing = {1.0f, 0.0f, 0.0f};
inline constexpr float kExitBandNear = 5.0f;
inline constexpr float kExitBandFar = 65.0f;
inline constexpr float kExitBandHalfWidth = 75.0f;
// The guard of an arena without monsters.
inline constexpr int32_t kGuardType = 1000;
inline constexpr RwV3d kGuardAt = {0.0f, 0.0f, 20.0f};

// How a stage of the map ends (every stage but the first).
struct SampleStageEnd {
    int32_t number = 0;
    int32_t exitEvent = 0;   // its stage exit; 0 for stage 36, which has none
    int32_t holder = 0;      // the event its boss or guard is bound to; 0 none
    int32_t wayOut = 0;      // the door that opens once they are gone; 0 none
    int32_t movie = 0;       // the closing movie that starts the exit; 0 none
    bool guard = false;      // an arena that keeps a guard
};
// Where the stage's way out stands and which way it faces (the exit's band
// lies behind it).
RwV3d SampleWayOutAt(int32_t number);
RwV3d SampleWayOutFacing(int32_t number);
const std::vector<SampleStageEnd> &SampleStageEnds();
// The end of stage `number`; null for the first stage and stages off the map.
const SampleStageEnd *SampleStageEndOf(int32_t number);

// The event the AI id `aiId` of stage `stageId` is bound to (0 none): the
// boss, stage 2's 1021, the guards.
int32_t SampleStageEndBinding(int32_t stageId, int32_t aiId);
// Adds a stage's guard and binds its boss or guard (the first stage is left
// as it is); the door sounds join its sound list.
void AddStageEndActors(SampleStageSpec *stage);

// What else a stage of the map holds beside its end, each aside from the
// heroes' road:
//   - the boss stages' openings, which ask for the boss gauge (22, 27, 32,
//     37 and 38 a movie, 36 a scene flown by the closing scene's camera;
//     8's and 15's are sample_movies.h's and the appear's above), in a
//     circle a few steps ahead of the heroes' start;
//   - doors that are heard (5: opens with the solved puzzle; 6: once the
//     guard is gone; 16: as the guard's fight starts) and stage 16's
//     crusher, which comes down as the fight starts, behind the start and
//     clear of the crush zone; their sounds join the stage's list;
//   - stage 6's gift, the Guild Token, given while its door opens;
//   - stage 23's hero zone, a square by the west wall where a monster 1007
//     (AIID 30) stands: a hero it knocks down there is dragged at.
struct SampleStageExtra {
    int32_t number = 0;
    int32_t opening = 0;   // the boss gauge's movie or scene; 0 none
    int32_t door = 0;      // a door; 0 none
    int32_t doorLink = 0;  // the event its open condition reads
    int32_t crusher = 0;   // a crusher door, linked as the door; 0 none
    int32_t gift = 0;      // a give-item event linked to the door; 0 none
    int32_t heroZone = 0;  // a hero zone with a monster 1007 in it; 0 none
};
const std::vector<SampleStageExtra> &SampleStageExtras();
const SampleStageExtra *SampleStageExtraOf(int32_t number);
// Where the extra doors stand (facing +x, by the west wall) and stage 16's
// crusher (in its crush zone's middle, behind the heroes' start).
inline constexpr RwV3d kExtraDoorAt = {-120.0f, 0.0f, 40.0f};
inline constexpr RwV3d kCrusherAt = {22.0f, 0.0f, -108.0f};
inline constexpr int32_t kSampleGiftItem = 100054;
// Stage 23's hero zone: kHeroZoneHalf to each side of kHeroZoneAt, where
// its monster stands facing the heroes' start.
inline constexpr RwV3d kHeroZoneAt = {-150.0f, 0.0f, -130.0f};
inline constexpr float kHeroZoneHalf = 40.0f;
inline constexpr int32_t kHeroZoneMonsterAiId = 30;
// The opening scene of stage 36 and its pack.
inline constexpr int32_t kOpeningScene36 = 79360700;
inline const char *OpeningScenePackPath() { return "PACK/INGAME4/79360700.STR"; }

// The event table's rows of every stage's end.
std::vector<EventTableEntry> SampleStageEndEntries();

// Stage 36's closing scene: the boss's appear event, the timed event that
// watches it and the scene that finishes the stage once the boss is gone.
inline constexpr int32_t kBossAppear36 = 79363000;
inline constexpr int32_t kBossTimer36 = 79362800;
inline constexpr int32_t kClosingScene36 = 79362000;
inline const char *ClosingScenePackPath() { return "PACK/INGAME4/79362000.STR"; }
std::vector<InGameAnmEntry> ClosingSceneTable();

// The clips of the closing and opening movies, and the closing and opening
// scenes' camera and packs.
bool WriteSampleStageEnds(const std::string &root);

}  // namespace mkdata
