// The stage's actor placement (`.IAF`) and territories (`.ATF`): where each
// actor of the stage stands, of which AI type, with which event, drop map
// and territory; and the ground-plane areas some actors keep to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "actor/ai_type_table.h"
#include "rwmatrix.h"

constexpr size_t kModelIdSize = 32;

struct AiPlacement {
    int32_t aiType = 0;
    int32_t aiId = 0;
    int32_t eventId = 0;
    RwV3d position = {0, 0, 0};
    RwV3d lookAt = {0, 0, 1};
    RwV3d up = {0, 1, 0};
    int32_t initState = 0;
    int32_t territory = 0;  // 0: none
    int32_t isRender = 0;
    int32_t itemType = 0;
    // `Model: FOLDER\id`: a model other than the AI type's own.
    bool hasModel = false;
    ModelFolder modelFolder = ModelFolder::kMonster;
    char modelId[kModelIdSize] = {};
};

struct TerritoryPoint {
    float x = 0.0f;
    float z = 0.0f;
};

struct Territory {
    int32_t id = 0;
    std::vector<TerritoryPoint> points;  // the outline, in order
};

// True when `point` lies inside the territory's outline on the ground plane
// (x, z; the height is ignored). Points on an edge or a corner are inside;
// an outline of fewer than three points holds nothing.
bool IsInsideTerritory(const Territory &territory, const RwV3d &point);
// The territory with `id` in `territories`, null when none (and for id 0).
const Territory *FindTerritory(const std::vector<Territory> &territories, int32_t id);

class CSKeywordFile;

// Most actors and territories a stage may have, and points of one outline.
constexpr int32_t kMaxPlacements = 4096;
constexpr int32_t kMaxTerritories = 4096;
constexpr int32_t kMaxTerritoryPoints = 1024;

// Reads the placement file (`.IAF`): every complete `AI` block with an
// AIType, in file order. The AI type is not checked here: the placement
// loader skips types it does not know. False when the file cannot be
// opened (with `required`, the fatal report too).
bool ReadPlacementFile(const char *path, std::vector<AiPlacement> *placements, bool required);
bool ReadPlacements(CSKeywordFile *file, std::vector<AiPlacement> *placements);
// Reads the territory file (`.ATF`): outlines of at least three points
// with distinct ids above 0.
bool ReadTerritoryFile(const char *path, std::vector<Territory> *territories, bool required);
bool ReadTerritories(CSKeywordFile *file, std::vector<Territory> *territories);
