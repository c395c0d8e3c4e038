// The sample prop: a small textured crate-and-lamp model with several
// materials (one of them repeated in its list), two texture-coordinate
// sets, normals, prelit colours, two morph targets, a light, and
// "3dsmax User Properties" on a frame; and the textures it names.
#pragma once

#include <string>
#include <vector>

#include "rpworld.h"

namespace mkdata {

struct PropTexture {
    const char *name;  // texture name in the model; the file is name + ".BMP"
    RwInt32 width;
    RwInt32 height;
};

// The textures the prop names, in material order.
const std::vector<PropTexture> &PropTextures();
// The user-property text carried by the prop's lid frame.
const char *PropUserProperties();

// Creates the prop's textures (no rasters: nothing is drawn) and adds them
// to the current dictionary so that reading the model back finds them.
bool CreatePropTextures();
// Builds the prop clump; null on failure. Needs the world library and the
// user-data plug-in attached, and the textures created. The crate is 2 x
// `scale` across, centred on the root frame, which stands at `place`.
RpClump *BuildPropClump(RwReal scale = 1.0f, const RwV3d &place = {0.0f, 0.0f, 0.0f});
// An RGBA image of a texture's pattern (the caller destroys it).
RwImage *MakePropTextureImage(const PropTexture &texture);

}  // namespace mkdata
