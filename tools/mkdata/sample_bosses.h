// The sample bosses: 1100, 1101, 1102, 1106 and 1107, each in its folder
// RESOURCE/BOSS/<model id> (the AI-type table's: 1100, 1111000, 1120000,
// 1140000, 1150000) with its model (the sample figure, larger, in a
// monster's colours), its animation (.ANM) and motion table (.AMF), its
// state machine (.FSF) and its parameters (.PAF); their drop maps; and
// the arena stages that hold them (sample_stages.h): 1100 in stage 3,
// 1102 in stage 4, 1106 in stage 8, 1101 in stage 15 and 1107 in stage 32.
//
// Each state plays a motion of its own kind laid out on the boss's
// animation timeline; a state whose behaviour waits for an absolute frame
// (439, 2543, 2851, 10280) has its motion placed around that frame.
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
// there (AIID 1, facing the heroes' start, with its drop map).
int32_t SampleBossStageId(int32_t aiType);
AiPlacement SampleBossPlacement(int32_t aiType);
// The bosses' drop maps (each boss drops something every time).
std::vector<DropMap> SampleBossDropMaps();

// Writes every boss's files under `root`.
bool WriteSampleBosses(const std::string &root);

}  // namespace mkdata
