// The first stage's keyword-text records and the characters' motion and
// parameter files: the records the sample holds and the writers that put
// them in the game's text formats (see docs/formats.md): the stage info
// (.BSF), the actor placement (.IAF), the territories (.ATF), the
// character parameters (.PAF) and the motion tables (.AMF).
#pragma once

#include <string>
#include <vector>

#include "stage/ai_placement.h"
#include "stage/character_params.h"
#include "stage/motion_table.h"
#include "stage/stage_info.h"

namespace mkdata {

// Under the data root.
inline const char *StageInfoFolder() { return "RESOURCE/STAGEINF"; }
inline const char *StagePlacementFolder() { return "RESOURCE/AI"; }
inline const char *FirstStageFileBase() { return "STAGE00"; }
// The prop stands in the first stage as its stage model.
inline const char *FirstStageClumpName() { return "CLUMP00.DFF"; }

const StageInfo &SampleStageInfo();
// The first stage's monster, its row of breakable objects and its two
// villagers.
const std::vector<AiPlacement> &SamplePlacements();
// The arena's (stage 2) monsters: 1007 north of the hero's start, the
// others in the corners and by the walls, and the fighting character 10,
// whose territory is the arena's only one.
const std::vector<AiPlacement> &SampleArenaPlacements();
inline constexpr int32_t kArenaTerritory = 1;
const std::vector<Territory> &SampleArenaTerritories();
const std::vector<Territory> &SampleTerritories();
// The walk (frames 0..60) and the wave (60..120) of the figure's animation.
const MotionTable &SampleMotionTable();
// The heroes' motions, by their state numbers, on the same timeline: stand
// holds the first frame, move and held walk; the attacks 40, 41, 42, hurt, knocked down, getting
// up, guard and dying play stretches of the wave.
const MotionTable &SampleHeroMotionTable();
// The table of the hero model named `name` ("HERO01", "HERO02").
const MotionTable &SampleMotionTableOf(const std::string &name);
// What every wearer of the sample figure shares: its body sphere, reach,
// turn and weapon parts.
CharacterParams SampleFigureParams();
// Parameters of the hero model named `name` ("HERO01", "HERO02").
CharacterParams SampleCharacterParams(const std::string &name);

bool WriteStageInfoFile(const std::string &path, const StageInfo &info);
bool WritePlacementFile(const std::string &path, const std::vector<AiPlacement> &placements);
bool WriteTerritoryFile(const std::string &path, const std::vector<Territory> &territories);
bool WriteMotionFile(const std::string &path, const MotionTable &table);
bool WriteCharacterParamsFile(const std::string &path, const CharacterParams &params);

// Writes the .AMF and .PAF of every character model folder under `root`
// (the stages' own files are the sample stages', sample_stages.h).
bool WriteStageFiles(const std::string &root);

}  // namespace mkdata
