// A sample stage's camera walls (CAMWALL.DFF beside its world): four tall
// invisible panels just inside the yard's walls, which keep the camera in
// the yard when it rises above them. The game never draws them; the camera
// pulls in against them.
#pragma once

#include <string>

#include "rpworld.h"

namespace mkdata {

inline const char *CameraWallName() { return "CAMWALL.DFF"; }
// The panels stand on x = +-kCameraWallAt and z = +-kCameraWallAt, from the
// floor up to kCameraWallTop (the yard's walls stand at 200, 30 high).
constexpr RwReal kCameraWallAt = 187.5f;
constexpr RwReal kCameraWallTop = 200.0f;

RpClump *BuildCameraWallClump();

}  // namespace mkdata
