// The sample stages (see sample_stages.h).
#include "tools/mkdata/sample_stages.h"

#include "tools/mkdata/effects_model.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "rtbmp.h"
#include "stage/stage_paths.h"
#include "ui/stage_select.h"
#include "tools/mkdata/camera_wall.h"
#include "tools/mkdata/character_model.h"
#include "tools/mkdata/effects_model.h"
#include "tools/mkdata/fx_data.h"
#include "tools/mkdata/lobby_data.h"
#include "tools/mkdata/model_writer.h"
#include "tools/mkdata/pack_writer.h"
#include "tools/mkdata/prop_model.h"
#include "tools/mkdata/sample_actor_yards.h"
#include "tools/mkdata/sample_bosses.h"
#include "tools/mkdata/sample_doors.h"
#include "tools/mkdata/sample_event_data.h"
#include "tools/mkdata/sample_monsters.h"
#include "tools/mkdata/sample_stage_ends.h"
#include "tools/mkdata/sample_traps.h"
#include "tools/mkdata/stage_files.h"
#include "tools/mkdata/stage_lights.h"
#include "tools/mkdata/stage_world.h"

namespace mkdata {
namespace {

namespace fs = std::filesystem;

constexpr RwUInt32 kLinearWrap =
    (RwUInt32{rwTEXTUREADDRESSWRAP} << 12) | (RwUInt32{rwTEXTUREADDRESSWRAP} << 8) | rwFILTERLINEAR;

std::string Upper(std::string name)
{
    for (char &c : name) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return name;
}

// "RESOURCE/STAGE/1" for stage 1: the folder relative to the root.
std::string WorldFolderOf(int32_t id) { return "RESOURCE/STAGE/" + std::to_string(StageNumberOf(id)); }

std::string ModelName(int32_t index)
{
    char name[32];
    std::snprintf(name, sizeof name, "CLUMP%02d.DFF", static_cast<int>(index));
    return name;
}

// The prop's textures beside the world's, for the stage models.
bool WritePropTextures(const fs::path &textures)
{
    if (!CreatePropTextures()) {
        return false;
    }
    for (const PropTexture &texture : PropTextures()) {
        RwImage *image = MakePropTextureImage(texture);
        if (image == nullptr) {
            return false;
        }
        const std::string path = (textures / (Upper(texture.name) + ".BMP")).string();
        const bool ok = RtBmpWrite(image, path.c_str()) != nullptr;
        RwImageDestroy(image);
        if (!ok) {
            return false;
        }
    }
    return true;
}

// The showcase's textures beside the world's.
bool WriteShowcaseTextures(const fs::path &textures)
{
    for (const char *name : kEffectsTextureNames) {
        RwImage *image = MakeEffectsTextureImage(name);
        const bool ok = image != nullptr && RtBmpWrite(image, (textures / (Upper(name) + ".BMP")).string().c_str()) != nullptr;
        if (image != nullptr) {
            RwImageDestroy(image);
        }
        if (!ok) {
            return false;
        }
    }
    return true;
}

size_t StageModelCount(const SampleStageSpec &stage) { return stage.stageModels.size() + stage.effectsShowcases.size(); }

bool WriteStageModels(const fs::path &folder, const SampleStageSpec &stage)
{
    for (size_t i = 0; i < stage.effectsShowcases.size(); ++i) {
        RpClump *showcase = BuildEffectsShowcaseClump(stage.effectsShowcases[i], kEffectsShowcaseTurn);
        const std::string name = ModelName(static_cast<int32_t>(stage.stageModels.size() + i));
        const bool ok = showcase != nullptr && WriteClumpFile(showcase, (folder / name).string().c_str());
        if (showcase != nullptr) {
            RpClumpDestroy(showcase);
        }
        if (!ok) {
            return false;
        }
    }
    for (size_t i = 0; i < stage.stageModels.size(); ++i) {
        const RwV3d &at = stage.stageModels[i];
        // The crate is centred on its root: lift it onto the ground.
        RpClump *prop = BuildPropClump(kStagePropScale, {at.x, at.y + kStagePropScale, at.z});
        if (prop == nullptr) {
            return false;
        }
        const bool ok = WriteClumpFile(prop, (folder / ModelName(static_cast<int32_t>(i))).string().c_str());
        RpClumpDestroy(prop);
        if (!ok) {
            return false;
        }
    }
    return true;
}

bool WriteStagePack(const std::string &root, const SampleStageSpec &stage)
{
    PackWriter pack;
    for (const StageTexture &texture : StageTextures()) {
        RwImage *image = MakeStageTextureImage(texture);
        if (image == nullptr) {
            return false;
        }
        // The world's materials ask for linear filtering and wrapping; a
        // texture found in a dictionary keeps its own modes, so it must carry them.
        pack.AddTexture(texture.name, kLinearWrap, image);
    }
    if (!stage.stageModels.empty()) {
        for (const PropTexture &texture : PropTextures()) {
            RwImage *image = MakePropTextureImage(texture);
            if (image == nullptr) {
                return false;
            }
            pack.AddTexture(texture.name, kLinearWrap, image);
        }
    }
    if (!stage.effectsShowcases.empty()) {
        for (const char *name : kEffectsTextureNames) {
            RwImage *image = MakeEffectsTextureImage(name);
            if (image == nullptr) {
                return false;
            }
            pack.AddTexture(name, kLinearWrap, image);
        }
    }
    const std::string folder = WorldFolderOf(stage.id);
    bool ok = pack.AddFileFrom(root, folder + "/" + StageWorldName());
    if (stage.info.light != 0) {
        ok = ok && pack.AddFileFrom(root, folder + "/" + StageLightsName());
    }
    if (stage.info.cameraWall != 0) {
        ok = ok && pack.AddFileFrom(root, folder + "/" + CameraWallName());
    }
    if (stage.info.wall != 0) {
        ok = ok && pack.AddFileFrom(root, folder + "/" + StageWallName());
    }
    for (size_t i = 0; i < StageModelCount(stage); ++i) {
        ok = ok && pack.AddFileFrom(root, folder + "/" + ModelName(static_cast<int32_t>(i)));
    }
    const std::string path = "PACK/STAGE" + std::to_string(StagePackFolderNumber(stage.id)) + "/" +
                             std::to_string(stage.id) + ".STR";
    return ok && pack.Write((fs::path(root) / path).string());
}

// A hero's pack: the files of its model folder.
bool WriteHeroPack(const std::string &root, int hero)
{
    const CharacterFiles &set = CharacterFileSets()[static_cast<size_t>(hero)];
    PackWriter pack;
    const std::string base = std::string(set.folder) + "/" + set.name;
    bool ok = true;
    for (const char *extension : {".DFF", ".ANM", ".AMF", ".PAF", ".FSF"}) {
        ok = ok && pack.AddFileFrom(root, base + extension);
    }
    return ok && pack.Write((fs::path(root) / HeroPackPath(hero)).string());
}

}  // namespace

const SampleStageSpec &FirstSampleStage() { return SampleStages().front(); }

namespace {

// Every sound the placed types play, after the stage's own.
std::vector<SampleSound> WithMonsterSounds(std::vector<SampleSound> sounds, const std::vector<AiPlacement> &placements)
{
    for (const AiPlacement &placement : placements) {
        std::vector<SampleSound> played = SampleMonsterSounds(placement.aiType);
        for (const SampleSound &sound : SampleBossSounds(placement.aiType)) {
            played.push_back(sound);
        }
        for (const SampleSound &sound : played) {
            bool listed = false;
            for (const SampleSound &s : sounds) {
                listed = listed || s.id == sound.id;
            }
            if (!listed) {
                sounds.push_back(sound);
            }
        }
    }
    return sounds;
}

// Moves a stage's starts and placements by its world origin; its camera
// walls and wall, which stand about the yard's middle, are left out.
void MoveStage(SampleStageSpec *stage)
{
    const RwV3d &o = stage->worldOrigin;
    for (StageStart *start : {&stage->info.start1, &stage->info.start2}) {
        start->x += o.x;
        start->y += o.y;
        start->z += o.z;
    }
    for (AiPlacement &placement : stage->placements) {
        placement.position = {placement.position.x + o.x, placement.position.y + o.y, placement.position.z + o.z};
    }
    stage->info.cameraWall = 0;
    stage->info.wall = 0;
}

}  // namespace

const std::vector<SampleStageSpec> &SampleStages()
{
    static const std::vector<SampleStageSpec> stages = [] {
        SampleStageSpec first;
        first.id = kFirstStageId;
        first.info = SampleStageInfo();
        first.info.wall = 1;  // WALL.DFF, out of every character's way
        first.placements = SamplePlacements();
        first.territories = SampleTerritories();
        // The crate stands off the paths in the (+x, -z) quarter.
        first.stageModels = {{60.0f, 0.0f, -60.0f}};
        first.sounds = WithMonsterSounds(FirstStageSounds(), first.placements);
        for (const SampleSound &sound : SampleDoorSounds()) {
            first.sounds.push_back(sound);
        }
        first.musicHz[0] = kFirstStageMusicHz[0];
        first.musicHz[1] = kFirstStageMusicHz[1];
        first.particles = SampleStageParticleSet();

        // The arena: the yard without fog, rain or crate, a monster of each
        // other type and the fighting character; the hero starts at the
        // south side facing 1007, the others stand in the corners and by
        // the walls beyond their search range.
        SampleStageSpec arena;
        arena.id = kSecondStageId;
        arena.info = SampleStageInfo();
        arena.info.fog = 0;
        arena.info.rain = 0;
        arena.info.start1 = {0.0f, 0.0f, -60.0f, 0.0f, 0.0f, 1.0f};
        arena.info.start2 = {20.0f, 0.0f, -60.0f, 0.0f, 0.0f, 1.0f};
        arena.placements = SampleArenaPlacements();
        arena.territories = SampleArenaTerritories();
        arena.sounds = WithMonsterSounds({}, arena.placements);
        arena.musicHz[0] = 196;
        arena.musicHz[1] = 247;
        // The same stage systems (the grab monster's and the bosses' "3010600.zus" among them).
        arena.particles = SampleStageParticleSet();
        std::vector<SampleStageSpec> stages = {first, arena};
        // The bosses' arenas: the same yard, each boss ahead of the heroes' start.
        for (int32_t boss : SampleBossArenaTypes()) {
            SampleStageSpec stage = arena;
            stage.id = SampleBossStageId(boss);
            stage.placements = SampleBossArenaPlacements(boss);
            stage.worldOrigin = SampleBossArenaOrigin(boss);
            if (stage.worldOrigin.x != 0.0f || stage.worldOrigin.z != 0.0f) {
                MoveStage(&stage);
            }
            stage.sounds = WithMonsterSounds({}, stage.placements);
            stage.musicHz[0] = 165 + 11 * static_cast<int>(boss % 100);
            stage.musicHz[1] = 208 + 11 * static_cast<int>(boss % 100);
            stages.push_back(stage);
        }
        // The events' stages: the yard without fog or rain, the heroes at
        // the south side facing north: stage 5's switch puzzle, stage 7's
        // water.
        for (const int32_t id : {kPuzzleStageId, kWaterStageId}) {
            SampleStageSpec stage = arena;
            stage.id = id;
            stage.placements = {};
            stage.info.start1 = {0.0f, 0.0f, -40.0f, 0.0f, 0.0f, 1.0f};
            stage.info.start2 = {20.0f, 0.0f, -40.0f, 0.0f, 0.0f, 1.0f};
            stage.sounds = SampleEventStageSounds(id);
            stage.particles = SampleEventStageParticles(id);
            stage.musicHz[0] = id == kPuzzleStageId ? 247 : 185;
            stage.musicHz[1] = id == kPuzzleStageId ? 311 : 233;
            stages.push_back(stage);
        }
        // Stage 18: the traps 1200 and 1203 that the band across the yard
        // switches on, and the gas vent east of them.
        SampleStageSpec traps = arena;
        traps.id = kTrapStageId;
        traps.placements = SampleTrapPlacements();
        traps.info.start1 = {-15.0f, 0.0f, -40.0f, 0.0f, 0.0f, 1.0f};
        traps.info.start2 = {5.0f, 0.0f, -40.0f, 0.0f, 0.0f, 1.0f};
        traps.sounds = SampleEventStageSounds(kTrapStageId);
        traps.particles = SampleEventStageParticles(kTrapStageId);
        traps.musicHz[0] = 175;
        traps.musicHz[1] = 220;
        stages.push_back(traps);
        // Every other stage of the stage select's map, so that each one it
        // opens can be started.
        for (int i = 0; i < kMapNodes; ++i) {
            const int32_t id = StageMapNodes()[i].stageId;
            if (std::none_of(stages.begin(), stages.end(), [id](const SampleStageSpec &s) { return s.id == id; })) {
                SampleStageSpec stage = MapStageVariant(arena, id);
                stage.placements = SampleActorYardPlacements(id);
                if (id == kHazardMapStageId) {
                    // The map's hazard stage: stage 18's traps and band beyond
                    // its guard (AI id 1), their sounds and jets.
                    stage.placements = SampleMapTrapPlacements(kSampleMapTrapNotice, 2);
                    stage.sounds = SampleEventStageSounds(id);
                    for (const ParticleKind &kind : SampleEventStageParticles(id).kinds) {
                        stage.particles.kinds.push_back(kind);
                    }
                } else if (id == kEffectsShowcaseStageId) {
                    stage.effectsShowcases = {kEffectsShowcaseAt};
                } else if (id == kFigureYardStageId) {
                    // The traps' jets, blasts and sounds, as in the traps' stage.
                    stage.sounds = SampleEventStageSounds(kTrapStageId);
                    stage.particles = SampleEventStageParticles(kTrapStageId);
                }
                stages.push_back(stage);
            }
        }
        // How each stage of the map ends: its guard, the events its boss or
        // guard is bound to, the door sounds.
        for (SampleStageSpec &stage : stages) {
            if (stage.id != kFirstStageId) {
                AddStageEndActors(&stage);
                stage.sounds = WithMonsterSounds(stage.sounds, stage.placements);
            }
        }
        std::sort(stages.begin(), stages.end(),
                  [](const SampleStageSpec &a, const SampleStageSpec &b) { return a.id < b.id; });
        return stages;
    }();
    return stages;
}

bool WriteSampleStage(const std::string &root, const SampleStageSpec &stage)
{
    if (!IsStageId(stage.id) || stage.info.skyBox[0] != '\0') {
        std::fprintf(stderr, "mkdata: stage %d asks for what the maker cannot make\n", static_cast<int>(stage.id));
        return false;
    }
    const fs::path base(root);
    const fs::path folder = base / WorldFolderOf(stage.id);
    std::error_code error;
    fs::create_directories(base / StageInfoFolder(), error);
    fs::create_directories(base / StagePlacementFolder(), error);
    if (error || !WriteStageWorld(folder.string(), stage.worldOrigin)) {
        return false;
    }
    if (stage.info.light != 0 && !WriteStageLights((folder / StageLightsName()).string())) {
        return false;
    }
    if (stage.info.cameraWall != 0 &&
        !WriteBuiltClump(root, WorldFolderOf(stage.id).c_str(), CameraWallName(), BuildCameraWallClump)) {
        return false;
    }
    if (stage.info.wall != 0 &&
        !WriteBuiltClump(root, WorldFolderOf(stage.id).c_str(), StageWallName(), BuildStageWallClump)) {
        return false;
    }
    if (!stage.stageModels.empty() && !WritePropTextures(folder / "TEXTURES")) {
        return false;
    }
    if (!stage.effectsShowcases.empty() && !WriteShowcaseTextures(folder / "TEXTURES")) {
        return false;
    }
    if (!WriteStageModels(folder, stage)) {
        return false;
    }
    StageInfo info = stage.info;
    info.stageClumpCount = static_cast<int32_t>(StageModelCount(stage));
    const std::string stem = StageFileBaseName(stage.id);
    bool ok = WriteStageInfoFile((base / StageInfoFolder() / (stem + ".BSF")).string(), info) &&
              WritePlacementFile((base / StagePlacementFolder() / (stem + ".IAF")).string(), stage.placements);
    if (!stage.territories.empty()) {
        ok = ok && WriteTerritoryFile((base / StagePlacementFolder() / (stem + ".ATF")).string(), stage.territories);
    }
    ok = ok && WriteText(base / ParticleFolder() / (std::to_string(stage.id) + ".PSS"), FormatParticleSet(stage.particles));
    return ok && WriteStageListAndMusic(root, stage.id, stage.sounds, stage.musicHz) && WriteStagePack(root, stage);
}

bool WriteSampleStages(const std::string &root)
{
    for (const SampleStageSpec &stage : SampleStages()) {
        if (!WriteSampleStage(root, stage)) {
            return false;
        }
    }
    PackWriter events;
    return WriteHeroPack(root, 0) && WriteHeroPack(root, 1) &&
           events.Write((fs::path(root) / EventsPackPath()).string());
}

}  // namespace mkdata
