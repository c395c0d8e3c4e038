// The corner finder of the water model: its four spray corners are the
// atomics whose frames carry the user properties "3514100P01" to
// "3514100P04"; each found corner gives its frame and that frame's
// world matrix, and the height of the corners is kept (a new corner's
// height replaces it when the two differ by more than 2.0).
#pragma once

#include <cstdint>

#include "rwcore.h"

struct RpClump;

inline constexpr int32_t kWaterCorners = 4;
inline constexpr float kCornerHeightMargin = 2.0f;

struct WaterCorners {
    RwFrame *frames[kWaterCorners];   // null: not found
    RwMatrix matrices[kWaterCorners];
    float height;                     // the water level word
};

// Walks the clump's atomics; the corners found are filled in, the others
// left as they are. The number of corners found.
int32_t FindWaterCorners(RpClump *clump, WaterCorners *corners);
