// The sample stages' world: a walled yard of 400 x 400 units (a unit is
// about 10 cm) split by a small plane tree into four corner leaves, with tiled paths, grass,
// brick walls and a sign, prelit and lit; the textures it names; and the
// files of the stage folder (world, lights model, textures).
#pragma once

#include <string>
#include <vector>

#include "rpworld.h"

namespace mkdata {

// The first stage's folder under the data root, as the game names it, and
// the textures folder inside it.
inline const char *StageFolder() { return "RESOURCE/STAGE/1"; }
inline const char *StageTextureFolder() { return "RESOURCE/STAGE/1/TEXTURES"; }
inline const char *StageWorldName() { return "STAGE.BSP"; }

struct StageTexture {
    const char *name;  // texture name in the world; the file is upper-case name + ".BMP"
    RwInt32 width;
    RwInt32 height;
};

// The textures the world names, in material order.
const std::vector<StageTexture> &StageTextures();
// "TILE01.BMP" for "tile01".
std::string StageTextureFileName(const StageTexture &texture);
// The texture the first frame also draws flat on the screen.
const StageTexture &StageSignTexture();

// Creates the textures (no rasters) in the current dictionary so that the
// world's materials, and the world read back, find them.
bool CreateStageTextures();
// An RGBA image of a texture's pattern (the caller destroys it).
RwImage *MakeStageTextureImage(const StageTexture &texture);

// The world's box, and the plane every leaf's floor lies in.
RwBBox StageWorldBox();
inline RwReal StageFloorHeight() { return 0.0f; }
// Number of leaves and plane nodes of the tree.
inline RwInt32 StageLeafCount() { return 4; }
inline RwInt32 StagePlaneCount() { return 3; }

// Builds the world in memory, the yard's middle at `origin` (a stage whose
// events or actors stand elsewhere moves it there); null on failure. Needs
// the world library attached and the textures created.
RpWorld *BuildStageWorld(const RwV3d &origin = {0.0f, 0.0f, 0.0f});

// Work done on the built world before it is written (for example data
// that plug-ins keep per world or per leaf); a false result fails the
// write. Steps run in the order they were added; adding one again changes
// nothing, so set-up code that runs once per engine start may add its own.
typedef bool (*StageWorldStep)(RpWorld *world);
void AddStageWorldStep(StageWorldStep step);
// Runs the steps on `world` as the write does; false at the first failure.
bool RunStageWorldSteps(RpWorld *world);

// Writes a world chunk to a file; false on any failure.
bool WriteWorldFile(const RpWorld *world, const std::string &path);

// Writes the world into a stage folder (a host path): its TEXTURES and
// STAGE.BSP. False at the first failure.
bool WriteStageWorld(const std::string &folder, const RwV3d &origin = {0.0f, 0.0f, 0.0f});

}  // namespace mkdata
