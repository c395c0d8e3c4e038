// The sample stages: one routine makes a complete stage from its id, its
// stage info and its placements, and every stage of the sample data tree
// is made through it, so that each loads:
//   PACK/STAGE<f>/<id>.STR and .LST   the stage's textures, world and models
//   RESOURCE/STAGE/<n>/               the sample world (STAGE.BSP and its
//                                     TEXTURES), LIGHTS.DFF, CLUMPnn.DFF
//   RESOURCE/STAGEINF/STAGE<n-1>.BSF  the stage info with every loader key
//   RESOURCE/AI/STAGE<n-1>.IAF        the placements (.ATF with territories)
//   RESOURCE/MEDIA/SFX/<id>.SFL       the sound list: every sound id its
//                                     placed types play, with the samples
//   RESOURCE/MEDIA/BGM/<id>.WAV       its music
//   RESOURCE/PARTICLE/<id>.PSS        its particle set (kinds and groups)
// and, when its stage info asks for them, the camera walls (CAMWALL.DFF) and
// the wall (WALL.DFF).
// Beside the stages the maker writes the hero packs (PACK/HERO/HERO0<i>)
// and the events pack (PACK/EVENT/EVENT), which is empty.
#pragma once

#include <string>
#include <vector>

#include "fx/particle_set_file.h"
#include "rwcore.h"
#include "stage/ai_placement.h"
#include "stage/stage_info.h"
#include "tools/mkdata/stage_sounds.h"

namespace mkdata {

struct SampleStageSpec {
    int32_t id = 0;  // 2000000 + 10000 n
    // The stage info; its StageClump: count is the number of stage models.
    StageInfo info;
    std::vector<AiPlacement> placements;
    std::vector<Territory> territories;  // none: no .ATF
    // Where each stage model (CLUMP00.DFF ...: the crate-and-lamp prop, 1 m
    // across) stands; the crate's bottom rests at the place's height.
    std::vector<RwV3d> stageModels;
    // Where the material-effects showcase stands (effects_model.h), turned by
    // kEffectsShowcaseTurn: a stage model after the crates; its textures join
    // the stage's pack.
    std::vector<RwV3d> effectsShowcases;
    // The sound ids its placed types play, each a tone of its own pitch.
    std::vector<SampleSound> sounds;
    // The music: a chord of two pitches.
    int musicHz[2] = {220, 277};
    // The particle systems it loads (their .ZUS files are the effects data's).
    ParticleSet particles;
    // Where the yard's middle stands (a stage whose actors must stand at
    // fixed places elsewhere moves it; its starts and placements move with
    // it, and it keeps no camera walls, which stand about the middle).
    RwV3d worldOrigin = {0.0f, 0.0f, 0.0f};
};

// The stages the data tree holds, stage 1 first (its monster 1000 in its
// territory by the yard's north-east corner, a row of breakable objects and
// two villagers), then stage 2, an arena with the monsters 1005, 1007,
// 1002, 1003, 1004, 1006 and 1021 and the fighting character 10, then the
// bosses' arenas (sample_bosses.h), the events' and the traps' stages, and
// a variant of the arena for every other stage of the stage select's map
// (lobby_data.h), in rising id order; each stage of the map with the guard
// and the bindings through which it ends (sample_stage_ends.h). A later stage is added to this list,
// or an existing one extended, and nowhere else.
const std::vector<SampleStageSpec> &SampleStages();
const SampleStageSpec &FirstSampleStage();
inline constexpr int32_t kSecondStageId = 2020000;
// The stage of the material-effects showcase: a map arena whose exit is
// its guard's; the showcase stands in the camera's view from the heroes'
// start (the camera looks along +x +z), off the way north to the guard,
// turned to face the camera.
inline constexpr int32_t kEffectsShowcaseStageId = 2290000;
inline constexpr RwV3d kEffectsShowcaseAt = {45.0f, 0.0f, -50.0f};
inline constexpr RwReal kEffectsShowcaseTurn = 45.0f;

// The scale of the prop in the stage (its crate is 2 x scale across).
inline constexpr RwReal kStagePropScale = 5.0f;

// Writes one stage under `root`. Needs the engine with the maker's plug-ins.
bool WriteSampleStage(const std::string &root, const SampleStageSpec &stage);
// Every stage of SampleStages(), the hero packs and the events pack.
// Needs the character files written first.
bool WriteSampleStages(const std::string &root);

// Where the other packs go, under the root.
inline const char *HeroPackPath(int hero) { return hero == 0 ? "PACK/HERO/HERO01.STR" : "PACK/HERO/HERO02.STR"; }
inline const char *EventsPackPath() { return "PACK/EVENT/EVENT.STR"; }

}  // namespace mkdata
