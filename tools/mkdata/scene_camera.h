// The sample scene camera: the clump a scene's camera is read from (a root
// frame holding a one-node animation hierarchy over the camera's frame, no
// atomics) and its animation, a flight of three seconds around the first
// stage's yard looking at its middle, under
// \RESOURCE\G_EVENT\CAMERA\DFF\ and \RESOURCE\G_EVENT\CAMERA\ANM\.
#pragma once

#include <string>

#include "rpanimation.h"
#include "rpworld.h"

namespace mkdata {

inline const char *SceneCameraModelFolder() { return "RESOURCE/G_EVENT/CAMERA/DFF"; }
inline const char *SceneCameraAnimFolder() { return "RESOURCE/G_EVENT/CAMERA/ANM"; }
inline const char *SceneCameraModelName() { return "CAM01.DFF"; }
inline const char *SceneCameraAnimName() { return "CAM01.ANM"; }

constexpr RwReal kSceneCameraDuration = 3.0f;
// Where the flight looks, and its circle around that point.
constexpr RwV3d kSceneCameraTarget = {0.0f, 10.0f, 0.0f};
constexpr RwReal kSceneCameraRadius = 175.0f;
constexpr RwReal kSceneCameraHeight = 50.0f;

// The camera's frame matrix at `seconds` into the flight round a yard whose
// middle stands at `origin` (between keys the player interpolates; at the
// keys, every half second, it is exact).
RwMatrix SceneCameraViewAt(RwReal seconds, const RwV3d &origin = {0.0f, 0.0f, 0.0f});

RpClump *BuildSceneCameraClump(const RwV3d &origin = {0.0f, 0.0f, 0.0f});
RtAnimAnimation *BuildSceneCameraAnimation(const RwV3d &origin = {0.0f, 0.0f, 0.0f});
// Writes the flight round the first stage's yard (CAM01) under `root`;
// false at the first failure.
bool WriteSceneCameraFiles(const std::string &root);
// The same flight round the yard at `origin`, as `model` and `animationName`.
bool WriteSceneCamera(const std::string &root, const char *model, const char *animationName, const RwV3d &origin);

}  // namespace mkdata
