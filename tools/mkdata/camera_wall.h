// A sample stage's wall clumps beside its world, which the game never draws
// (the developer menu's "Render Wall" shows them tinted):
// - the camera walls (CAMWALL.DFF): four tall invisible panels just inside
//   the yard's walls, which keep the camera in the yard when it rises above
//   them; the camera pulls in against them;
// - the first stage's wall (WALL.DFF), which the characters move against:
//   two low strips at the foot of the yard's north and east walls, between
//   the camera walls and the bricks, and a strip hanging over the yard's
//   north-east quarter. Every part stands where no sample character's body
//   (a sphere of radius 4 to 6 on the floor, held off the bricks by the
//   world) can touch it, so that no move ends differently.
#pragma once

#include <string>

#include "rpworld.h"

namespace mkdata {

inline const char *CameraWallName() { return "CAMWALL.DFF"; }
inline const char *StageWallName() { return "WALL.DFF"; }
// The panels stand on x = +-kCameraWallAt and z = +-kCameraWallAt, from the
// floor up to kCameraWallTop (the yard's walls stand at 200, 30 high).
constexpr RwReal kCameraWallAt = 187.5f;
constexpr RwReal kCameraWallTop = 200.0f;
// The low strips: on x = kStageWallAt and z = kStageWallAt, from
// kStageWallBottom to kStageWallTop. A body of radius r stops r short of the
// bricks; below that height its sphere reaches less than 0.1 closer.
constexpr RwReal kStageWallAt = 199.9f;
constexpr RwReal kStageWallBottom = 0.1f;
constexpr RwReal kStageWallTop = 2.5f;
// The hanging strip: on z = kHangingWallZ, x from kHangingWallX0 to
// kHangingWallX1, from kHangingWallBottom (above every body) up to
// kHangingWallTop.
constexpr RwReal kHangingWallZ = 70.0f;
constexpr RwReal kHangingWallX0 = 0.0f;
constexpr RwReal kHangingWallX1 = 100.0f;
constexpr RwReal kHangingWallBottom = 14.0f;
constexpr RwReal kHangingWallTop = 30.0f;

RpClump *BuildCameraWallClump();
RpClump *BuildStageWallClump();

}  // namespace mkdata
