// The sample traps: AI types 1200 to 1204 in their folders
// RESOURCE/TRAP/1510000 .. 1550000 (1205 shares 1200's), each the sample
// figure crouching low in a look of its own, whose blade parts (frame tags
// 100130 and 100140) carry the jets and whose head (user id 100090) the
// blast; an animation (.ANM, .AMF) with one motion per state, a state
// machine (.FSF) routing the inputs the traps feed (10 switch on, 2 the
// post's event, 104 and 105 a hero's grab, 1 a hit on 1204, 120 death)
// and parameters (.PAF).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "actor/fsf.h"
#include "stage/ai_placement.h"
#include "stage/character_params.h"
#include "stage/motion_table.h"

namespace mkdata {

// The types whose files the maker writes, in rising order (1205 has none
// of its own).
const std::vector<int32_t> &SampleTrapTypes();
// "RESOURCE/TRAP/1510000" and "1510000" for 1200 (and 1205).
std::string SampleTrapFolder(int32_t aiType);
std::string SampleTrapName(int32_t aiType);

MotionTable SampleTrapMotions(int32_t aiType);
CFSF SampleTrapStateMachine(int32_t aiType);
CharacterParams SampleTrapParams(int32_t aiType);

// Stage 18's traps: 1200 and 1203 bound to the trap notice, facing the
// heroes' way in.
std::vector<AiPlacement> SampleTrapPlacements();
// The map's hazard stage's traps: 1200 and 1203 bound to `noticeId` from AI
// id `firstAiId` on, one on each side of the way from the guard to the door
// (x = 0), facing across it, 1200 at z = 75 and 1203 at z = 60.
std::vector<AiPlacement> SampleMapTrapPlacements(int32_t noticeId, int32_t firstAiId);

bool WriteSampleTraps(const std::string &root);

}  // namespace mkdata
