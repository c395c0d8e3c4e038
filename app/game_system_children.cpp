// The game system's calls into its children (see game_system_children.h).
// The screen manager, the stage manager and the developer menu are made by
// later parts of the game; each call below is reached only once its child
// exists, and that part puts the child's operation in.
#include "app/game_system_children.h"

#include "app/application.h"
#include "app/audio.h"
#include "app/camera_frame.h"
#include "app/clock.h"
#include "app/covered_scene.h"
#include "app/debug.h"
#include "app/firstframe.h"
#include "app/game_system.h"
#include "app/locks.h"
#include "app/movie_player.h"
#include "app/statistics.h"
#include "app/threads.h"
#include "actor/ai_object.h"
#include "devmenu/dev_menu.h"
#include "devmenu/light_gizmos.h"
#include "stage/stage_manager.h"
#include "stage/stage_screen_calls.h"
#include "ui/loading_screen.h"
#include "ui/ui_manager.h"
#include "ui/ui_stage_links.h"

bool g_drawHiddenStage = false;

// Each part of the game that brings one of these children makes it here.
void GameSystemChildren::MakeScreens()
{
    gs.uiManager = new CSUIManager;
    InstallScreenLinks();
}

void GameSystemChildren::MakeDevMenu()
{
    gs.devMenu = new CSDevMenu;
    gs.devMenu->CreateSubObjects();
}

// The stage manager owns the loading screen.
void GameSystemChildren::MakeStage()
{
    gs.stageManager = new CSStageManager;
    g_pStageManager = gs.stageManager;
    gs.stageManager->loading = new CSLoading;
    InstallLoadingScreenCalls(gs.stageManager->loading);
}

void GameSystemChildren::ReleaseStage()
{
    if (gs.stageManager != nullptr) {
        gs.stageManager->ReleaseStage();
        gs.stageManager->UnloadHeroes();
        // Its drawing thread is joined as it goes.
        InstallLoadingScreenCalls(nullptr);
        delete gs.stageManager->loading;
        gs.stageManager->loading = nullptr;
        if (g_pStageManager == gs.stageManager) {
            g_pStageManager = nullptr;
        }
        delete gs.stageManager;
    }
    gs.stageManager = nullptr;
}
void GameSystemChildren::ReleaseDevMenu()
{
    if (gs.devMenu != nullptr) {
        gs.devMenu->ReleaseAll();
        delete gs.devMenu;
    }
    gs.devMenu = nullptr;
}

void GameSystemChildren::ReleaseScreens()
{
    if (gs.uiManager != nullptr) {
        RemoveScreenLinks();
        delete gs.uiManager;
    }
    gs.uiManager = nullptr;
}

bool GameSystemChildren::HasStage() const { return gs.stageManager != nullptr; }
bool GameSystemChildren::HasScreens() const { return gs.uiManager != nullptr && !gs.screensHeld; }
bool GameSystemChildren::HasDevMenu() const { return gs.devMenu != nullptr; }
bool GameSystemChildren::MoviePlaying() const { return IsMoviePlaying(); }

void GameSystemChildren::TickFrameClock() { gs.frameClock.Tick(timeGetTime()); }
uint32_t GameSystemChildren::FrameMs() const { return gs.frameClock.FrameMs(); }

// ---- Stage manager (reached only while gs.stageManager exists).
void GameSystemChildren::StageUpdate(uint32_t ms) { gs.stageManager->Update(ms); }
void GameSystemChildren::StageMovieTimeUpdate(uint32_t ms) { gs.stageManager->MovieTimeUpdate(ms); }

// Until a stage is loaded the first frame's scene stands in for it, while
// there are no screens to show. A screen that hides the whole scene (the
// pause menu's opaque background) spares drawing it; under a colour fade at
// full alpha the scene does all its work but its draws into the frame
// (covered_scene.h).
void GameSystemChildren::StageRender()
{
    if (HasScreens() && gs.uiManager->HidesStage() && !g_drawHiddenStage) {
        return;
    }
    if (gs.stageManager->IsStageLoaded()) {
        const HiddenFrameDraws hidden(FadeCoversFrame(gs));
        gs.stageManager->Render();
    } else if (!HasScreens()) {
        DrawDefaultScene();
    }
}

bool GameSystemChildren::LoadingScreenActive() const
{
    if (g_stageLoadingScreen != nullptr) {
        return g_stageLoadingScreen->isActive() != 0;
    }
    return gs.stageManager->loadingState.active != 0;
}

void GameSystemChildren::StageReleaseForTitle()
{
    gs.stageManager->ReleaseStage();
    gs.stageManager->UnloadHeroes();
}

int32_t GameSystemChildren::StageId() const { return gs.stageManager->stageId; }

int32_t GameSystemChildren::ActorCount() const
{
    int32_t count = 0;
    for (const AiObject *actor = gs.stageManager->actorHead; actor != nullptr; actor = actor->next) {
        ++count;
    }
    return count;
}

// ---- Screen manager (reached only while gs.uiManager exists).
void GameSystemChildren::ScreensUpdate() { gs.uiManager->Update(gs.FrameMs()); }
void GameSystemChildren::ScreensRender() { gs.uiManager->Render(); }
void GameSystemChildren::ScreensDrawBaseMapFade() { gs.uiManager->DrawBaseMapFade(gs.FrameMs()); }
void GameSystemChildren::ScreensDrawFade() { gs.uiManager->DrawFade(); }

void GameSystemChildren::ScreensReturnToTitle()
{
    CSUIManager *ui = gs.uiManager;
    ui->RequestModule(kUITitle);
    ui->LoadFrontEndTextures();
    ui->LoadCommonTextures();
    ui->SwitchModule();
}

// ---- Developer menu (reached only while gs.devMenu exists).
bool GameSystemChildren::DevMenuIsOpen() const { return gs.devMenu->IsOpen(); }
void GameSystemChildren::DevMenuUpdate(uint32_t ms) { gs.devMenu->Update(ms); }
void GameSystemChildren::DevMenuOpen(bool open, int32_t hero) { gs.devMenu->Open(open ? 1 : 0, hero); }
void GameSystemChildren::DevMenuRender() { gs.devMenu->Render(); }
void GameSystemChildren::DevMenuRenderWorldLights() { ::DevMenuRenderWorldLights(DevMenuWorld(), nullptr); }
void GameSystemChildren::DevMenuAddClumpInfo(RpClump *clump, const char *path) { gs.devMenu->AddClumpInfo(clump, path); }
void GameSystemChildren::DevMenuCopyClumpInfo(RpClump *clone, RpClump *source)
{
    gs.devMenu->CopyClumpInfo(clone, source);
}
bool GameSystemChildren::DevMenuClumpStillHasAnim(RpClump *clump) { return IsClumpStillHasAnim(clump); }
void GameSystemChildren::DevMenuClearClumpInfo(RpClump *clump) { gs.devMenu->ClearClumpInfo(clump); }
void GameSystemChildren::DevMenuDrawSectorWireFrame(RpWorldSector *sector)
{
    if (gs.devMenu != nullptr) {
        gs.devMenu->DrawSectorWireFrame(sector);
    }
}
void GameSystemChildren::DevMenuDrawAtomicWireFrame(RpAtomic *atomic)
{
    if (gs.devMenu != nullptr) {
        gs.devMenu->DrawAtomicWireFrame(atomic);
    }
}

// ---- Movie player (reached only while a movie plays), under the render lock: the
// frame due at this tick's clock goes into the movie texture, then on screen.
void GameSystemChildren::DrawMovieFrame()
{
    CSMoviePlayer *player = g_pApplication != nullptr ? g_pApplication->moviePlayer : nullptr;
    if (player != nullptr) {
        player->Step(timeGetTime());
        player->Draw(gs.camera);
    }
}

uint32_t GameSystemChildren::SoundBytes() const { return GetAudioMemoryUsed(0); }

// ---- The game system's own layers.
bool GameSystemChildren::BeginFrame()
{
    RwCamera *camera = gs.camera;
    const bool stage = HasStage() && gs.stageManager->IsStageLoaded();
    const bool firstFrameScene = !stage && !HasScreens();
    if (firstFrameScene && game::StageSceneLoaded(gs.defaultScene)) {
        game::StageCameraPlace(camera, timeGetTime());
    }
    if (!firstFrameScene) {
        ClearCamera(camera);
    } else {
        RwRGBA clear = game::FirstFrameClearColor();
        RwCameraClear(camera, &clear, rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
    }
    if (!BeginCameraUpdate(camera)) {
        return false;
    }
    // The projections of the frame (health bars, popups) use this copy.
    gs.cameraMatrix = *RwCameraGetViewMatrix(camera);
    return true;
}

void GameSystemChildren::EndFrame() { EndCameraUpdate(gs.camera); }

void GameSystemChildren::DrawDefaultScene()
{
    static bool plainSaid = false;
    if (!game::StageSceneLoaded(gs.defaultScene) && !plainSaid) {
        UserPrint("game: no stage world %s in the data tree or its pack: the plain first frame is shown\n",
                  game::StageWorldPath());
        plainSaid = true;
    }
    game::DrawFirstFrameScene(gs.defaultScene, gs.camera);
}

void GameSystemChildren::DrawTextBlocks() { gs.textBlocks.DrawMarked(); }

void GameSystemChildren::DrawStatistics() { ::DrawStatistics(&gs); }

void GameSystemChildren::ShowBlackFor100Ms()
{
    ClearCamera(gs.camera);
    ShowCameraRaster(gs.camera);
    SleepMs(100);
}
