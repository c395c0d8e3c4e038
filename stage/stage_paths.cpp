// The stage file-name rule (see stage_paths.h).
#include "stage/stage_paths.h"

#include <cstdio>

bool IsStageId(int32_t id) { return id >= kFirstStageId && id <= kLastStageId && (id - 2000000) % 10000 == 0; }

int32_t StageNumberOf(int32_t stageId) { return stageId == 0 ? 0 : (stageId - 2000000) / 10000; }

int32_t StageFileNumberOf(int32_t stageId) { return stageId == 0 ? 0 : StageNumberOf(stageId) - 1; }

std::string StageFileBaseName(int32_t stageId)
{
    char name[32];
    std::snprintf(name, sizeof name, "STAGE%02d", StageFileNumberOf(stageId));
    return name;
}

std::string StageInfoPath(int32_t stageId) { return "\\RESOURCE\\STAGEINF\\" + StageFileBaseName(stageId) + ".BSF"; }

std::string StagePlacementPath(int32_t stageId) { return "\\RESOURCE\\AI\\" + StageFileBaseName(stageId) + ".IAF"; }

std::string StageTerritoryPath(int32_t stageId) { return "\\RESOURCE\\AI\\" + StageFileBaseName(stageId) + ".ATF"; }

std::string StageWorldFolder(int32_t stageId)
{
    return "\\RESOURCE\\STAGE\\" + std::to_string(StageNumberOf(stageId)) + "\\";
}

std::string StageParticleSetPath(int32_t stageId)
{
    return "\\RESOURCE\\PARTICLE\\" + std::to_string(stageId) + ".PSS";
}

int32_t StagePackFolderNumber(int32_t stageId) { return (stageId / 10000 - 200) / 10 + 1; }

std::string StagePackPath(int32_t stageId)
{
    return "\\PACK\\STAGE" + std::to_string(StagePackFolderNumber(stageId)) + "\\" + std::to_string(stageId);
}
