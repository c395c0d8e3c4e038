// The sample material-effects prop: a small panel whose front material is
// environment mapped and whose back material carries a second texture
// blended over its base (modulate twice); its atomic carries the effects
// flag, so it comes back on the effects pipeline when loaded; and the
// plug-in list the maker attaches to write it.
#pragma once

#include <string>

#include "rpworld.h"

namespace mkdata {

inline const char *EffectsModelFolder() { return "RESOURCE/G_EVENT/DFF"; }
inline const char *EffectsModelName() { return "FXPROP01.DFF"; }

// Texture names the prop's effects use.
inline const char *EffectsBaseTextureName() { return "fxbase"; }
inline const char *EffectsEnvTextureName() { return "fxenv"; }
inline const char *EffectsDualTextureName() { return "fxdual"; }
constexpr RwReal kEffectsEnvCoefficient = 0.5f;

// A material showing the texture of that name (resolved when the model is
// read back); null when it cannot be made.
RpMaterial *TexturedMaterial(const char *textureName);

// A panel seen from both sides: corners bottom-left, bottom-right,
// top-left, top-right facing -z (texture coordinates 0..1 over them), two
// triangles each side with the front and back material, prelit in
// `colour`. The caller sets the bounding sphere. Null when refused.
RpGeometry *BuildDoubleSidedPanel(const RwV3d corners[4], RwRGBA colour, RpMaterial *front, RpMaterial *back);

// The plug-ins the maker writes the tree under: the game's, in its order
// (AttachGamePlugins).
bool AttachSurfacePlugins();
// Builds the prop (textures by name only, no rasters); null on failure.
RpClump *BuildEffectsClump();
// The picture of one of the three texture names (32 x 32): a grey checker
// for the base, a sky over a horizon for the environment map, stripes for
// the second texture.
RwImage *MakeEffectsTextureImage(const char *name);
// Writes the prop and its three textures (TEXTURES\FXBASE.BMP, FXENV.BMP,
// FXDUAL.BMP beside it) under `root`.
bool WriteEffectsModel(const std::string &root);

}  // namespace mkdata
