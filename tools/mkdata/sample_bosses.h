// The sample bosses 1100 to 1110, each in its folder RESOURCE/BOSS/<model
// id> (the AI-type table's: 1100, 1111000, 1120000, 1121000, 1130000,
// 1135000, 1140000, 1150000, 1160000, 1165000, 1170000) with its model
// (the sample figure, larger, in a monster's colours, with the frames its
// steps start effects on), its animation (.ANM) and motion table (.AMF),
// its state machine (.FSF) and its parameters (.PAF); their drop maps; and
// the arena stages that hold them (sample_stages.h): 1100 in stage 3, 1102
// in stage 4, 1106 in stage 8, 1101 in stage 15, 1103 in stage 22, 1104
// with 1105 in stage 27, 1107 in stage 32, 1108 with its partners in stage
// 36, 1109 in stage 37 and 1110 in stage 38.
//
// Each state plays a motion of its own kind laid out on the boss's
// animation timeline; a state whose behaviour waits for an absolute frame
// (439, 2543, 2851, 10280 ...) has its motion placed around that frame
// (around all of them, when it waits for several).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "actor/fsf.h"
#include "actor/item_records.h"
#include "stage/ai_placement.h"
#include "stage/character_params.h"
#include "stage/motion_table.h"
#include "tools/mkdata/sample_monsters.h"
#include "tools/mkdata/stage_sounds.h"

namespace mkdata {

// The types, in rising order.
const std::vector<int32_t> &SampleBossTypes();
// "RESOURCE/BOSS/<model id>" and "<model id>".
std::string SampleBossFolder(int32_t aiType);
std::string SampleBossName(int32_t aiType);

// The frames each boss's behaviour tests, by state.
std::vector<TestedFrame> SampleBossTestedFrames(int32_t aiType);
MotionTable SampleBossMotions(int32_t aiType);
CFSF SampleBossStateMachine(int32_t aiType);
CharacterParams SampleBossParams(int32_t aiType);
// The sound ids the boss plays, each a short tone of its own pitch.
std::vector<SampleSound> SampleBossSounds(int32_t aiType);

// The stage that holds the boss (2030000 for 1100 ...) and its placement
// there (AIID 1, facing the heroes' start, with its drop map; 1108 and
// 1105 take AIID 2, 1105 hidden until called).
int32_t SampleBossStageId(int32_t aiType);
AiPlacement SampleBossPlacement(int32_t aiType);
// The bosses that have an arena of their own (all but 1105, which stands
// in 1104's), and each arena's placements: 1104 with 1105, 1108 with its
// three partners (monsters of type 1000, AIIDs 100 to 102).
const std::vector<int32_t> &SampleBossArenaTypes();
std::vector<AiPlacement> SampleBossArenaPlacements(int32_t aiType);
inline constexpr int32_t kSamplePartnerType = 1000;
// Where the yard's middle stands in the boss's arena: at the origin, but
// for 1108, whose three fixed teleport points lie about (-670, 0, 220).
RwV3d SampleBossArenaOrigin(int32_t aiType);
// The bosses' drop maps (each boss drops something every time).
std::vector<DropMap> SampleBossDropMaps();

// Writes every boss's files under `root`.
bool WriteSampleBosses(const std::string &root);

}  // namespace mkdata
