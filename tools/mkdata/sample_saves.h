// The save files of the sample data: the playable tree's games in slot 1
// (stage 1 cleared, the game standing in the lobby) and slot 6 (ten stages
// into the road to the final stage 37), and the games and damaged files that tests
// put into their own trees: a completed game, a file one byte short, one a
// byte too long, and one record for each field a save must never hold out
// of range.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "actor/save_file.h"

namespace mkdata {

inline const char *SaveFolder() { return "SAVE"; }

// The playable tree's game: hero 0 after stage 1, in the lobby.
SaveRecord SampleSaveRecord();
// A game that cleared the final stage 37 (slot 27), with hero 1 and grades.
SaveRecord CompletedSaveRecord();

// The playable tree's second game, in slot 6: hero 0 ten stages into the
// map's shortest road to the final stage 37 (1, 2, 4, 8, 16, 17, 22, 27,
// 23, 28 cleared in that order), standing in the lobby after stage 28 with
// 4800 in money, HP level 2 and power level 1; the hazard stage 33, then
// 32, 34 and 37 are ahead.
inline constexpr int32_t kRoadSaveSlot = 5;  // SAVE06
SaveRecord RoadToTheEndSaveRecord();

// A game late in its course: hero 0 has cleared every stage of the table
// from stage 1 up to stage 34 (2340000, the last stage) in stage order, so
// that stage 37 is open; each stage graded, 9 hours 15 minutes played.
SaveRecord LateGameSaveRecord();

// A file a tree may hold in a slot, and what is wrong with it.
struct DamagedSave {
    std::string what;            // "truncated", "hero type 2" ...
    std::vector<uint8_t> bytes;
};
// Every kind of damaged save: truncated, over-long, a hero type 2, a last
// stage outside the table, the word before the cleared list not 0, a
// cleared entry of 29, an entry after the list's end, a grade of 5, a
// negative carried count and a negative hero item count.
std::vector<DamagedSave> DamagedSaves();

// The 1200 bytes of a record.
std::vector<uint8_t> SaveBytes(const SaveRecord &record);
// Writes `bytes` as <root>/SAVE/<slot name>.SAV; false on failure.
bool WriteSaveBytes(const std::string &root, const std::string &slotName, const std::vector<uint8_t> &bytes);

// The playable tree's saves: SAVE/SAVE01.SAV and SAVE06.SAV.
bool WriteSampleSaves(const std::string &root);

}  // namespace mkdata
