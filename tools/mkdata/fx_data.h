// The sample effects data: the effects pack (\PACK\EFFECT\EFFECT) and the
// same files on disk: the game-wide particle set EFFECT.PSS with its
// particle-system files and textures (RAIN.BMP among them), the systems
// of the stages' particle set (each stage's .PSS is the sample stages'),
// FXM.FXM, the fire light, the models of the effect pools (the reward piece
// 3406000 among them), the generic drop, item and effect XDTs and one .BSH
// per big-shot pool.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "fx/particle_set_file.h"
#include "rpworld.h"

namespace mkdata {

inline const char *EffectsPackPath() { return "PACK/EFFECT/EFFECT.STR"; }
inline const char *ParticleFolder() { return "RESOURCE/PARTICLE"; }

// A double-sided card of `size` units, standing on its centre, textured
// with `texture` over texture coordinates 0..1; prelit in `colour`.
RpClump *BuildFxCard(const char *texture, RwReal size, RwRGBA colour);
// The picture of an effect texture by name ("SPARK", "RAIN", "COIN" ...),
// labelled by its colours and pattern; null for a name the maker lacks.
RwImage *MakeFxImage(const std::string &name);

// A 32-bit image of the size with its pixels (not cleared); null on failure.
RwImage *NewRgbaImage(RwInt32 width, RwInt32 height);
// A grey picture of the image's alpha, as the game's mask files hold it
// ("X.BMP" beside "XA.BMP"); null on failure.
RwImage *MakeMaskImage(const RwImage *image);
// Writes a text file whole, making its folder.
bool WriteText(const std::filesystem::path &path, const std::string &text);

// The big-shot pools' names, each with its .BSH and model.
const std::vector<std::string> &BigShotNames();
// The model ids of the other effect pools (\RESOURCE\FX\<id>\<id>.DFF).
const std::vector<int> &EffectModelIds();

// The sample stages' particle set: the stage systems, in one group.
ParticleSet SampleStageParticleSet();

// Writes everything under `root` and builds the effects pack.
bool WriteFxData(const std::string &root);

}  // namespace mkdata
