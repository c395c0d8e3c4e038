// The statistics overlay, drawn in the font at the top left of the frame by
// the display-information mode: 1 "FPS n"; 2 also "MEM n KB" (the
// allocator's bytes in use), "TEX n KB" (the current dictionary's
// textures) and "SND n KB" (the sounds); 3 also "STAGE id" and "ACTORS n".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CSGameSystem;

struct StatisticsFigures {
    float fps = 0.0f;
    size_t memoryBytes = 0;
    uint32_t textureBytes = 0;
    uint32_t soundBytes = 0;
    int32_t stageId = 0;
    int32_t actorCount = 0;
};

// The overlay's lines for a mode (none for 0).
std::vector<std::string> StatisticsLines(uint32_t mode, const StatisticsFigures &figures);

// Where the first line starts, in 640 x 480 units.
inline constexpr float kStatisticsX = 8.0f;
inline constexpr float kStatisticsY = 8.0f;

// Draws the game system's overlay for its display-information mode;
// between camera begin and end.
void DrawStatistics(CSGameSystem *gameSystem);
