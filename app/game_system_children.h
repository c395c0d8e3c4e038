// Where the game system reaches its children: every call the frame order
// (game_frame.h), the clump handling and the return to the title make into
// the screen manager, the stage manager, the developer menu and the movie
// player. A child that does not exist yet is never called (the Has...
// answers false); the part of the game that makes a child fills in its
// calls in game_system_children.cpp.
#pragma once

#include <cstdint>

#include "rpworld.h"

class CSGameSystem;

// The stage is drawn even under a screen that hides it whole (--draw-hidden:
// a test compares such frames with the ones drawn without it).
extern bool g_drawHiddenStage;

struct GameSystemChildren {
    CSGameSystem &gs;

    // Making and releasing the children that later parts of the game bring
    // (each sets or clears its pointer in the game system).
    void MakeScreens();    // CSUIManager
    void MakeDevMenu();    // CSDevMenu, then CSDevMenu::CreateSubObjects
    void MakeStage();      // CSStageManager
    void ReleaseStage();
    void ReleaseDevMenu();  // CSDevMenu::ReleaseAll, then the menu
    void ReleaseScreens();

    bool HasStage() const;
    bool HasScreens() const;
    bool HasDevMenu() const;
    bool MoviePlaying() const;

    // The frame clock and its time.
    void TickFrameClock();
    uint32_t FrameMs() const;

    // Stage manager.
    void StageUpdate(uint32_t ms);           // CSStageManager::Update
    void StageMovieTimeUpdate(uint32_t ms);  // its update while a movie plays
    void StageRender();                      // the stage scene
    bool LoadingScreenActive() const;        // its CSLoading is active
    void StageReleaseForTitle();             // the stage and the heroes released
    int32_t StageId() const;                 // the running stage, 0 for none
    int32_t ActorCount() const;              // actors on the actor chain

    // Screen manager.
    void ScreensUpdate();           // CSUIManager::Update
    void ScreensRender();           // CSUIManager::Render
    void ScreensDrawBaseMapFade();  // CSUIManager::DrawBaseMapFade
    void ScreensDrawFade();         // CSUIManager::DrawFade
    // RequestModule (7), LoadFrontEndTextures, LoadCommonTextures, SwitchModule.
    void ScreensReturnToTitle();

    // Developer menu.
    bool DevMenuIsOpen() const;
    void DevMenuUpdate(uint32_t ms);
    void DevMenuOpen(bool open, int32_t hero);
    void DevMenuRender();
    void DevMenuRenderWorldLights();  // DevMenuRenderWorldLights (world, 0)
    void DevMenuAddClumpInfo(RpClump *clump, const char *path);
    void DevMenuCopyClumpInfo(RpClump *clone, RpClump *source);
    bool DevMenuClumpStillHasAnim(RpClump *clump);  // IsClumpStillHasAnim
    void DevMenuClearClumpInfo(RpClump *clump);
    // The wire frames of the stage's render pass, after each sector and atomic drawn.
    void DevMenuDrawSectorWireFrame(RpWorldSector *sector);
    void DevMenuDrawAtomicWireFrame(RpAtomic *atomic);

    // Movie player.
    void DrawMovieFrame();

    // The game system's own layers.
    bool BeginFrame();  // clear and camera begin
    void EndFrame();    // camera end
    void DrawDefaultScene();
    void DrawTextBlocks();
    void DrawStatistics();
    void ShowBlackFor100Ms();

    // Sound memory of the statistics overlay (0 until sound exists).
    uint32_t SoundBytes() const;
};
