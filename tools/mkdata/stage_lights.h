// The first stage's lights model (LIGHTS.DFF beside the world): a clump of
// lights only — an ambient, a directional sun and a warm point lamp — that
// the game adds to the stage's world.
#pragma once

#include <string>

#include "rpworld.h"

namespace mkdata {

inline const char *StageLightsName() { return "LIGHTS.DFF"; }

// What the lights are, for the maker and its tests.
struct StageLightPlan {
    RwInt32 type;
    RwRGBAReal color;
    RwReal radius;    // point lights only
    RwV3d position;   // of the light's frame
    RwV3d direction;  // where a directional light shines (its frame's at)
};
inline constexpr int kStageLightCount = 3;
const StageLightPlan &StageLight(int index);

// Builds the lights clump; null on failure.
RpClump *BuildStageLightsClump();
// Builds it and writes it to `path`.
bool WriteStageLights(const std::string &path);

}  // namespace mkdata
