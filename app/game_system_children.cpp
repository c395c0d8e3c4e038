// The game system's calls into its children (see game_system_children.h).
// The screen manager, the stage manager and the developer menu are made by
// later parts of the game; each call below is reached only once its child
// exists, and that part puts the child's operation in.
#include "app/game_system_children.h"

#include "app/application.h"
#include "app/audio.h"
#include "app/camera_frame.h"
#include "app/clock.h"
#include "app/firstframe.h"
#include "app/game_system.h"
#include "app/locks.h"
#include "app/movie_player.h"
#include "app/statistics.h"
#include "app/threads.h"

// Each part of the game that brings one of these children makes it here.
void GameSystemChildren::MakeScreens() {}
void GameSystemChildren::MakeDevMenu() {}
void GameSystemChildren::MakeStage() {}
void GameSystemChildren::ReleaseStage() { gs.stageManager = nullptr; }
void GameSystemChildren::ReleaseDevMenu() { gs.devMenu = nullptr; }
void GameSystemChildren::ReleaseScreens() { gs.uiManager = nullptr; }

bool GameSystemChildren::HasStage() const { return gs.stageManager != nullptr; }
bool GameSystemChildren::HasScreens() const { return gs.uiManager != nullptr; }
bool GameSystemChildren::HasDevMenu() const { return gs.devMenu != nullptr; }
bool GameSystemChildren::MoviePlaying() const { return IsMoviePlaying(); }

void GameSystemChildren::TickFrameClock() { gs.frameClock.Tick(timeGetTime()); }
uint32_t GameSystemChildren::FrameMs() const { return gs.frameClock.FrameMs(); }

// ---- Stage manager (reached only while gs.stageManager exists).
void GameSystemChildren::StageUpdate(uint32_t) {}
void GameSystemChildren::StageMovieTimeUpdate(uint32_t) {}
void GameSystemChildren::StageRender() {}
bool GameSystemChildren::LoadingScreenActive() const { return false; }
void GameSystemChildren::StageReleaseForTitle() {}
int32_t GameSystemChildren::StageId() const { return 0; }
int32_t GameSystemChildren::ActorCount() const { return 0; }

// ---- Screen manager (reached only while gs.uiManager exists).
void GameSystemChildren::ScreensUpdate() {}
void GameSystemChildren::ScreensRender() {}
void GameSystemChildren::ScreensDrawBaseMapFade() {}
void GameSystemChildren::ScreensDrawFade() {}
void GameSystemChildren::ScreensReturnToTitle() {}

// ---- Developer menu (reached only while gs.devMenu exists).
bool GameSystemChildren::DevMenuIsOpen() const { return false; }
void GameSystemChildren::DevMenuUpdate(uint32_t) {}
void GameSystemChildren::DevMenuOpen(bool, int32_t) {}
void GameSystemChildren::DevMenuRender() {}
void GameSystemChildren::DevMenuRenderWorldLights() {}
void GameSystemChildren::DevMenuAddClumpInfo(RpClump *, const char *) {}
void GameSystemChildren::DevMenuCopyClumpInfo(RpClump *, RpClump *) {}
bool GameSystemChildren::DevMenuClumpStillHasAnim(RpClump *) { return false; }
void GameSystemChildren::DevMenuClearClumpInfo(RpClump *) {}

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
    const bool scene = !HasStage() && game::StageSceneLoaded(gs.defaultScene);
    if (scene) {
        game::StageCameraPlace(camera, timeGetTime());
    }
    if (HasStage()) {
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

void GameSystemChildren::DrawDefaultScene() { game::DrawFirstFrameScene(gs.defaultScene, gs.camera); }

void GameSystemChildren::DrawTextBlocks() { gs.textBlocks.DrawMarked(); }

void GameSystemChildren::DrawStatistics() { ::DrawStatistics(&gs); }

void GameSystemChildren::ShowBlackFor100Ms()
{
    ClearCamera(gs.camera);
    ShowCameraRaster(gs.camera);
    SleepMs(100);
}
