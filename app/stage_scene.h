// The first stage as the first frame shows it: the stage's world with its
// lights model and its stage model (the sample prop), read from the data tree, seen by a
// camera flying a fixed path on the game clock; and the sign picture that
// the 2D layer draws flat on the screen.
#pragma once

#include <cstdint>

#include "rpworld.h"

namespace game {

struct StageScene {
    RpWorld *world = nullptr;
    RpClump *lights = nullptr;  // the stage's LIGHTS.DFF
    RpClump *prop = nullptr;
    RwTexture *sign = nullptr;  // drawn by the 2D layer
    RwCamera *camera = nullptr; // added to the world while the scene is loaded
};

// Where the data tree keeps the stage, relative to the data root (the
// game's working folder).
const char *StageWorldPath();
const char *StageLightsPath();
const char *StagePropPath();
// The stage's pack (its `.STR`), which holds the stage's textures.
const char *StagePackPath();
// The texture the 2D layer draws, from the stage's textures.
const char *StageSignName();

// Reads the stage with its textures from the stage's pack, its lights and
// the prop, and puts them and the camera in the world. Without the stage's
// world in the data tree (on disk or in the stage's pack) the result is
// false, quietly: the plain frame drawn in its place says so. A damaged
// world, or a missing or damaged model of a stage that is there, is said on
// stderr with the engine's reason and raised as the fatal report (which ends
// a run that has not reached the title); then, and when the pack is refused,
// the result is false with nothing loaded. A missing sign picture is only
// reported (by the engine's handler) and the sign drawn untextured.
bool StageSceneLoad(StageScene *scene, RwCamera *camera);
void StageSceneUnload(StageScene *scene);
inline bool StageSceneLoaded(const StageScene &scene) { return scene.world != nullptr; }

// Puts the camera where its path is at `clockMs` of game time.
void StageCameraPlace(RwCamera *camera, uint64_t clockMs);

// Draws every leaf of the world and the prop; between camera begin and end
// update.
void StageSceneRender(const StageScene &scene);

}  // namespace game
