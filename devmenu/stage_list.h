// The developer menu's stage list: the 29 stages "Select Stage" steps
// through, each with the name the list shows (world-stage and n - 1).
#pragma once

#include <cstdint>

struct DevMenuStage {
    int32_t id;
    const char *name;
};

inline constexpr int32_t kDevMenuStageCount = 29;
extern const DevMenuStage kDevMenuStages[kDevMenuStageCount];

// The index of `stageId` in the list; 0 for a stage the list does not hold.
int32_t DevMenuStageIndex(int32_t stageId);
