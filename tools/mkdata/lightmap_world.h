// The lightmapped variant of the first stage's world: the same yard, each
// leaf carrying a small lightmap named in the file, the lightmap images
// beside the stage textures, and one lightmap deliberately left without a
// file so that loading the world shows the engine's placeholder for it.
#pragma once

#include <string>
#include <vector>

#include "rpworld.h"

namespace mkdata {

inline const char *LightMapWorldName() { return "STAGELM.BSP"; }
// Edge of every lightmap in texels (the size the file asks for).
constexpr RwInt32 kLightMapEdge = 16;

// The lightmap names, one per leaf in the world's sector order.
const std::vector<std::string> &LightMapNames();
// The one of them that gets no image file.
const std::string &MissingLightMapName();
// "LM1A.BMP" for "lm1a".
std::string LightMapFileName(const std::string &name);
// The image of a lightmap: a warm-to-cool ramp, a different tint per leaf.
RwImage *MakeLightMapImage(RwInt32 leaf);

// Builds the stage world and gives each leaf its lightmap (by name only);
// needs the world library and the lightmap plug-in attached and the stage
// textures created; null on failure.
RpWorld *BuildLightMapWorld();
// Writes the world into the stage folder and every lightmap image but the
// missing one into the stage textures folder under `root`.
bool WriteLightMapWorld(const std::string &root);

}  // namespace mkdata
