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
inline const char *EffectsBumpTextureName() { return "fxbump"; }
constexpr RwReal kEffectsEnvCoefficient = 0.5f;
// The showcase's environment map adds three quarters of the reflection; its
// bump map shifts the bumps by up to a quarter of the texture's width.
constexpr RwReal kShowcaseEnvCoefficient = 0.75f;
constexpr RwReal kShowcaseBumpCoefficient = 8.0f;
// Each showcase panel's edge, and the distance between their centres.
constexpr RwReal kShowcasePanelSize = 16.0f;
constexpr RwReal kShowcasePanelSpacing = 20.0f;

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
// The material-effects showcase, a stage model at the game's scale: three
// panels standing on the ground side by side (30 apart), facing -z turned
// by `turn` degrees about the vertical, centred on `place`: an environment-mapped one whose corner normals lean
// outwards, so that it reflects the sky above its horizon; one with the
// stripes of a second texture over its base twice as bright; and a
// bump-mapped one, whose bumps the light (the camera, no light frame being
// given) throws into relief. Each is the base checker "fxbase"; textures by
// name only. Null on failure.
RpClump *BuildEffectsShowcaseClump(const RwV3d &place, RwReal turn);
// The four texture names the showcase uses.
inline constexpr const char *kEffectsTextureNames[4] = {"fxbase", "fxenv", "fxdual", "fxbump"};

// The picture of one of the four texture names (32 x 32): a grey checker
// for the base, a sky over a horizon for the environment map, stripes for
// the second texture, raised round bumps (white on black) for the bump map.
RwImage *MakeEffectsTextureImage(const char *name);
// Writes the prop and its textures (TEXTURES\FXBASE.BMP, FXENV.BMP,
// FXDUAL.BMP and FXBUMP.BMP beside it) under `root`.
bool WriteEffectsModel(const std::string &root);

}  // namespace mkdata
