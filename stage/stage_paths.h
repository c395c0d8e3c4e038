// The file names of a stage, one rule for every caller. A stage id is
// 2000000 + 10000 x n for stage n (2010000 is stage 1).
//  - The "STAGE%02d" files (stage info .BSF, placement .IAF, territories
//    .ATF) are numbered n - 1: stage 1 reads STAGE00.BSF. The stage load and
//    the tuning menu read and write the same file.
//  - The world folder is \RESOURCE\STAGE\<n>\.
//  - The particle set is \RESOURCE\PARTICLE\<id>.PSS.
//  - The pack is \PACK\STAGE<f>\<id>, f = (id / 10000 - 200) / 10 + 1.
// Paths are game paths from the data root, with backslashes.
#pragma once

#include <cstdint>
#include <string>

constexpr int32_t kFirstStageId = 2010000;
constexpr int32_t kLastStageId = 2420000;

// Whether `id` is a stage's id (2010000 .. 2420000 in steps of 10000).
bool IsStageId(int32_t id);
// n of the stage id; 0 for id 0.
int32_t StageNumberOf(int32_t stageId);
// n - 1 for a non-zero id, 0 for id 0: the number in the "STAGE%02d" names.
int32_t StageFileNumberOf(int32_t stageId);
// "STAGE00" for stage 1.
std::string StageFileBaseName(int32_t stageId);

std::string StageInfoPath(int32_t stageId);        // \RESOURCE\STAGEINF\STAGE00.BSF
std::string StagePlacementPath(int32_t stageId);   // \RESOURCE\AI\STAGE00.IAF
std::string StageTerritoryPath(int32_t stageId);   // \RESOURCE\AI\STAGE00.ATF
std::string StageWorldFolder(int32_t stageId);     // \RESOURCE\STAGE\1\ (with the closing backslash)
std::string StageParticleSetPath(int32_t stageId); // \RESOURCE\PARTICLE\2010000.PSS
int32_t StagePackFolderNumber(int32_t stageId);    // f
std::string StagePackPath(int32_t stageId);        // \PACK\STAGE1\2010000 (the .LST and .STR go after it)
