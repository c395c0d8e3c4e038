// Loading and releasing a stage (see stage_manager.h). The load runs behind
// the loading screen with the screen manager's loading flag set, in this
// order, advancing the loading bar between its parts:
//   the game speed of play (0.66) and its target
//   pack, stage info, world and stage models            0.2
//   world settings (ambient, far plane, main camera)    0.3
//   AI placement and the placed actors                  0.5
//   heroes at their starts, the overlay reset           0.6
//   sound effects and music                             0.7
//   the stage's events                                  0.75
//   shadows, thrown items, items, world items           0.8
//   the effects of the stage's AI types                 0.9
//   territories, the camera                             1.0
// then the loading screen goes, the pack closes and the screen fades in.
// Every part the load makes is released by ReleaseStage whatever else was
// made, so a load that fails half-way releases what it made before the
// fatal report and leaves no stage behind.
#include <cstdio>
#include <string>
#include <vector>

#include "actor/actor_placement.h"
#include "actor/hero.h"
#include "app/chunk_read.h"
#include "app/debug.h"
#include "app/fatal.h"
#include "app/file.h"
#include "app/game_system.h"
#include "app/pack.h"
#include "app/render_callbacks.h"
#include "event/event_manager.h"
#include "fx/stage_effects.h"
#include "stage/stage_manager.h"
#include "stage/stage_paths.h"
#include "stage/stage_screen_calls.h"
#include "stage/stage_trace.h"

namespace {

// The loading bar's values between the parts of the load.
constexpr float kProgressModels = 0.2f;
constexpr float kProgressSettings = 0.3f;
constexpr float kProgressActors = 0.5f;
constexpr float kProgressHeroes = 0.6f;
constexpr float kProgressSound = 0.7f;
constexpr float kProgressEvents = 0.75f;
constexpr float kProgressItems = 0.8f;
constexpr float kProgressEffects = 0.9f;
constexpr float kProgressDone = 1.0f;

void SetLoadingFlag(uint8_t on)
{
    if (g_stageScreens != nullptr) {
        g_stageScreens->setLoadingFlag(on);
    }
}

void ResetStageClock()
{
    if (g_stageScreens != nullptr) {
        g_stageScreens->resetStageClock();
    }
}

RpWorld *ReadWorldFile(const std::string &path)
{
    std::vector<uint8_t> bytes;
    if (!zufReadAll(path.c_str(), &bytes)) {
        return nullptr;
    }
    RwMemoryDescriptor memory = {bytes.data(), static_cast<RwUInt32>(bytes.size())};
    RwStream *stream = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMREAD, &memory);
    if (stream == nullptr) {
        return nullptr;
    }
    RpWorld *world = game::ReadFirstChunk<RpWorld>(stream, rwID_WORLD_CHUNK, RpWorldStreamRead);
    RwStreamClose(stream, &memory);
    if (world == nullptr) {
        NoteUnreadableFile(path.c_str(), game::TakeEngineError("it holds no world"));
    }
    InstallGameRenderCallBack(world);
    return world;
}

void DestroyLoadedClump(RpClump *clump)
{
    if (clump == nullptr) {
        return;
    }
    if (g_pGameSystem != nullptr) {
        g_pGameSystem->DestroyClump(clump);
        return;
    }
    if (RpClumpGetWorld(clump) != nullptr) {
        RpWorldRemoveClump(RpClumpGetWorld(clump), clump);
    }
    RpClumpDestroy(clump);
}

// The main camera and the ambient light move into the stage's world for its
// life, and back into the game system's own world after it (from wherever
// they are, or from no world).
void MoveCameraAndAmbient(RpWorld *to)
{
    CSGameSystem *gs = g_pGameSystem;
    if (gs == nullptr || to == nullptr) {
        return;
    }
    if (gs->camera != nullptr && RpCameraGetWorld(gs->camera) != to) {
        if (RpCameraGetWorld(gs->camera) != nullptr) {
            RpWorldRemoveCamera(RpCameraGetWorld(gs->camera), gs->camera);
        }
        RpWorldAddCamera(to, gs->camera);
    }
    if (gs->ambientLight != nullptr) {
        // The engine takes a light out of the world it is in as it adds it to another.
        RpWorldAddLight(to, gs->ambientLight);
    }
}

// The parts of the load up to the camera; false with the file that is
// missing (empty when the pack layer or a model template has reported it
// already).
class StageLoader {
public:
    explicit StageLoader(CSStageManager *stage) : s_(*stage) {}

    bool Run(int32_t id, std::string *missing)
    {
        missing_ = missing;
        // The parts made once per run that a stage needs (a no-op after the first).
        s_.CreateSubObjects1();
        // Every stage starts at the speed of play, whatever the stage left
        // before it was doing (a scene's slow blend, say).
        s_.gameSpeed = kNormalGameSpeed;
        s_.targetGameSpeed = kNormalGameSpeed;
        s_.stageId = id;
        s_.stageNumber = StageNumberOf(id);
        s_.stage41 = s_.stageNumber == 41 ? 1 : 0;
        // The hit-timer switch boss 1103 reads follows the stage-41 world.
        s_.hitTimerSwitch = s_.stage41;
        if (!zuOpenPack((StagePackPath(id) + ".STR").c_str())) {
            return false;  // the pack layer raised the report with the file's name
        }
        if (!LoadInfoWorldAndModels(id)) {
            return false;
        }
        s_.SetLoadingProgress(kProgressModels);
        ApplyWorldSettings();
        // The stage's particle sets (its pack open), and its fog and rain.
        LoadStageEffects(&s_);
        s_.SetLoadingProgress(kProgressSettings);
        if (!LoadPlacement(id)) {
            return false;
        }
        s_.SetLoadingProgress(kProgressActors);
        PlaceHeroes();
        if (g_stageScreens != nullptr) {
            g_stageScreens->resetStageHud();
        }
        s_.SetLoadingProgress(kProgressHeroes);
        // The stage's sound list, then its music from the start.
        s_.LoadSound();
        s_.SetLoadingProgress(kProgressSound);
        // The stage's events, once its actors and heroes stand.
        if (s_.eventManager != nullptr) {
            s_.eventManager->LoadStageEvents(id, s_.heroCount);
        }
        s_.SetLoadingProgress(kProgressEvents);
        s_.SetLoadingProgress(kProgressItems);
        s_.SetLoadingProgress(kProgressEffects);
        // The territories are opened quietly: a stage without any has no
        // .ATF (a diagnostic line), while a folder or an unreadable file in
        // its place is named.
        if (!ReadTerritoryFile(StageTerritoryPath(id).c_str(), &s_.territories, false)) {
            s_.territories.clear();
        }
        // The camera on the heroes, within the stage info's limits, in mode 0.
        s_.LoadCamera();
        s_.SetLoadingProgress(kProgressDone);
        return true;
    }

private:
    bool Missing(const std::string &path)
    {
        *missing_ = path;
        return false;
    }

    // A model the stage info names, added to the stage's world.
    bool LoadModel(const std::string &path, const std::string &textures, RpClump **out)
    {
        {
            const RequiredFileRead required(path);  // its fatal report names it
            *out = LoadClumpFile(path.c_str(), textures.c_str());
        }
        if (*out == nullptr) {
            return Missing(path);
        }
        RpWorldAddClump(s_.world, *out);
        return true;
    }

    bool LoadInfoWorldAndModels(int32_t id)
    {
        StageInfo info;
        bool read{};
        {
            // The files the stage cannot do without are named by its fatal report.
            const RequiredFileRead required(StageInfoPath(id));
            read = ReadStageInfoFile(StageInfoPath(id).c_str(), &info, false);
        }
        if (!read) {
            return Missing(StageInfoPath(id));
        }
        s_.SetStageInfo(info);
        const std::string folder = StageWorldFolder(id);
        const std::string textures = folder + "TEXTURES\\";
        RwImageSetPath(textures.c_str());
        {
            const RequiredFileRead required(folder + "STAGE.BSP");
            s_.world = ReadWorldFile(folder + "STAGE.BSP");
        }
        if (s_.world == nullptr) {
            return Missing(folder + "STAGE.BSP");
        }
        if (info.light != 0 && !LoadModel(folder + "LIGHTS.DFF", textures, &s_.lightsClump)) {
            return false;
        }
        if (info.wall != 0 && !LoadModel(folder + "WALL.DFF", textures, &s_.wallClump)) {
            return false;
        }
        if (info.cameraWall != 0 && !LoadModel(folder + "CAMWALL.DFF", textures, &s_.cameraWallClump)) {
            return false;
        }
        if (info.skyBox[0] != '\0') {
            const std::string sky = std::string("\\RESOURCE\\SKYBOX\\") + info.skyBox + "\\";
            if (!LoadModel(sky + "SKYBOX.DFF", sky + "TEXTURES\\", &s_.skyBoxClump)) {
                return false;
            }
        }
        for (int32_t i = 0; i < info.stageClumpCount && i < kMaxStageClumps; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "CLUMP%02d.DFF", static_cast<int>(i));
            RpClump *clump = nullptr;
            if (!LoadModel(folder + name, textures, &clump)) {
                return false;
            }
            s_.stageClumps.push_back(clump);
        }
        return true;
    }

    void ApplyWorldSettings()
    {
        CSGameSystem *gs = g_pGameSystem;
        if (gs == nullptr) {
            return;
        }
        // The first frame's scene holds the main camera in a world of its own.
        game::StageSceneUnload(&gs->defaultScene);
        MoveCameraAndAmbient(s_.world);
        const StageInfo &info = s_.stageInfo;
        const uint8_t ambient[4] = {info.ambientRed, info.ambientGreen, info.ambientBlue, info.ambientAlpha};
        gs->SetAmbientColor(ambient);
        gs->SetFarPlane(s_.farPlane);
    }

    bool LoadPlacement(int32_t id)
    {
        bool read{};
        {
            const RequiredFileRead required(StagePlacementPath(id));
            read = ReadPlacementFile(StagePlacementPath(id).c_str(), &s_.placements, false);
        }
        if (!read) {
            return Missing(StagePlacementPath(id));
        }
        // A model that cannot be read has raised the report with its name.
        if (!LoadPlacedModels(&s_)) {
            return false;
        }
        CreatePlacedActors(&s_);
        return true;
    }

    // The heroes join the chain at their start positions, in player order.
    void PlaceHeroes()
    {
        for (int32_t i = 0; i < s_.heroCount && i < kMaxHeroes; ++i) {
            CSHero *hero = s_.heroes[i];
            if (hero == nullptr) {
                continue;
            }
            const StageStart &start = i == 0 ? s_.stageInfo.start1 : s_.stageInfo.start2;
            hero->home = {start.x, start.y, start.z};
            hero->SetPosition(hero->home);
            hero->SetDirection({start.frontX, start.frontY, start.frontZ});
            // Posed where it now stands: the skin follows its skeleton's matrices.
            hero->PlayAnimation(hero->state);
            LinkActor(&s_, hero);
            // Its weapon's model and its aura in the new stage.
            hero->EnterStage();
            // What it picks up here is counted apart until the stage ends.
            hero->stageMoney = 0;
        }
    }

    CSStageManager &s_;
    std::string *missing_ = nullptr;
};

}  // namespace

void CSStageManager::ActivateLoadingScreen(uint8_t on, int32_t id)
{
    loadingState.active = on;
    if (on != 0) {
        loadingState.progress = 0.0f;
    }
    if (g_stageLoadingScreen != nullptr) {
        g_stageLoadingScreen->activate(on, id);
    }
}

void CSStageManager::SetLoadingProgress(float progress)
{
    loadingState.progress = progress;
    TraceLoadingProgress(progress);
    if (g_stageLoadingScreen != nullptr) {
        g_stageLoadingScreen->setProgress(progress);
        g_stageLoadingScreen->step();
    }
}

bool CSStageManager::LoadStage(int32_t id)
{
    if (id == 0) {
        ReleaseStage();
        return true;
    }
    if (!IsStageId(id)) {
        DebugPrint("LoadStage: %d is no stage\n", id);
        return false;
    }
    if (id == stageId) {
        return true;
    }
    ReleaseStage();
    TraceStageLoad(id);
    stageLoadedHere = true;
    SetLoadingFlag(1);
    ResetStageClock();
    ActivateLoadingScreen(1, id);
    std::string missing;
    StageLoader loader(this);
    const bool loaded = loader.Run(id, &missing);
    RwImageSetPath("");
    if (!loaded) {
        ReleaseStage();
    }
    ActivateLoadingScreen(0, id);
    zuClosePack();
    SetLoadingFlag(0);
    if (!loaded) {
        if (!missing.empty()) {
            RaiseFatalError(missing.c_str());
        }
        return false;
    }
    if (g_stageScreens != nullptr) {
        g_stageScreens->startFadeIn(kStageFadeColour, kStageFadeInMs);
    }
    return true;
}

void CSStageManager::ReleaseStage()
{
    const bool anything = stageId != 0 || world != nullptr || actorHead != nullptr || !modelTemplates.empty() ||
                          !placements.empty();
    if (anything) {
        if (stageId != 0) {
            TraceStageRelease(stageId);
        }
        // The scenes end before the actors they hold go.
        if (eventManager != nullptr) {
            eventManager->EndAnimEvents();
            eventManager->ReleaseStageEvents();
        }
        // Effects that follow actors stop before the actors go; the heroes
        // give back their auras and take their weapons out of the world.
        for (CSHero *hero : heroes) {
            if (hero != nullptr) {
                hero->LeaveStage();
            }
        }
        ReleaseStageEffects(this);
        ReleaseSound();
        ReleaseCamera();
        // The actors go (the heroes stay, out of the chain), then the models.
        if (actorHead != nullptr) {
            ReleasePlacedActors(this);
        }
        for (AiObject *actor = actorHead; actor != nullptr;) {
            AiObject *next = actor->next;
            actor->next = nullptr;
            actor = next;
        }
        actorHead = nullptr;
        for (CSHero *hero : heroes) {
            RpClump *clump = hero != nullptr ? hero->Clump() : nullptr;
            if (clump != nullptr && RpClumpGetWorld(clump) != nullptr) {
                RpWorldRemoveClump(RpClumpGetWorld(clump), clump);
            }
        }
        modelTemplates.clear();
        placements.clear();
        territories.clear();
        for (RpClump *clump : stageClumps) {
            DestroyLoadedClump(clump);
        }
        stageClumps.clear();
        for (RpClump **clump : {&skyBoxClump, &cameraWallClump, &wallClump, &lightsClump}) {
            DestroyLoadedClump(*clump);
            *clump = nullptr;
        }
        if (world != nullptr) {
            if (g_pGameSystem != nullptr) {
                MoveCameraAndAmbient(g_pGameSystem->world);
            }
            RpWorldDestroy(world);
            world = nullptr;
        }
        SetStageInfo(StageInfo{});
        ResetStageClock();
    }
    stageId = 0;
    stage41 = 0;
    hitTimerSwitch = 0;
    stageLoadedHere = false;
    // The number of a finished stage stays for the stage-end screen.
    const int32_t finished = stageChange.waitingForStageEnd ? stageChange.target : 0;
    stageNumber = finished >= 1 && finished <= 42 && finished != 39 ? finished : 0;
    stageChange = StageChangeRequest{};
}
