// The order of one game-system frame, written once over the children it
// calls: the tick (frame clock first, then the developer menu or the stage
// and the screens, then the menu chord of pad 0), the render frame, and the
// return to the title that a stage exit request carries out at the end of
// the frame. Each child is called only when it exists.
//
// `Children` is the game system's link to its children (GameSystemChildren
// in the game; a recording fake in the tests) and provides:
//   bool HasStage(), HasScreens(), HasDevMenu(), MoviePlaying(),
//        LoadingScreenActive(), DevMenuIsOpen();
//   void TickFrameClock(); uint32_t FrameMs();
//   void StageUpdate(ms), StageMovieTimeUpdate(ms), ScreensUpdate(),
//        DevMenuUpdate(ms), DevMenuOpen(bool open, int32_t hero);
//   bool BeginFrame(); void EndFrame();  (clear and camera begin; camera end)
//   void DrawMovieFrame(), StageRender(), DrawDefaultScene(),
//        ScreensRender(), DrawTextBlocks(), ScreensDrawBaseMapFade(),
//        ScreensDrawFade(), DevMenuRender(), DevMenuRenderWorldLights(),
//        DrawStatistics();
//   void ShowBlackFor100Ms(), StageReleaseForTitle(), ScreensReturnToTitle().
#pragma once

#include <cstdint>

#include "app/pad_state.h"

namespace game {

// The display-information mode at which the world's lights are drawn.
inline constexpr uint32_t kDisplayInfoAll = 3;

// Updates of one tick; `menuPad` is pad 0 of the 0/1/2 block.
template <class Children>
void RunGameTick(Children &c, const PadState &menuPad)
{
    c.TickFrameClock();
    const uint32_t ms = c.FrameMs();
    if (c.HasDevMenu() && c.DevMenuIsOpen()) {
        // The menu takes the tick: the stage and the screens stand still.
        c.DevMenuUpdate(ms);
    } else {
        if (c.HasStage()) {
            if (c.MoviePlaying()) {
                c.StageMovieTimeUpdate(ms);
            } else {
                c.StageUpdate(ms);
            }
        }
        if (c.HasScreens()) {
            c.ScreensUpdate();
        }
    }
    if (c.HasDevMenu() && PadDown(menuPad, kPadSelect) && PadDown(menuPad, kPadStart)) {
        if (PadDown(menuPad, kPadCircle) && !c.DevMenuIsOpen()) {
            c.DevMenuOpen(true, 0);
        } else if (PadDown(menuPad, kPadCross) && c.DevMenuIsOpen()) {
            c.DevMenuOpen(false, 0);
        }
    }
}

// Draws the frame into the camera raster; false when nothing was drawn
// (the loading screen draws for itself, or the camera update was refused).
template <class Children>
bool RunGameRender(Children &c, uint32_t displayInfoMode)
{
    if (c.HasStage() && c.LoadingScreenActive()) {
        return false;
    }
    if (!c.BeginFrame()) {
        return false;
    }
    const bool movie = c.MoviePlaying();
    if (movie) {
        c.DrawMovieFrame();
    } else if (c.HasStage()) {
        c.StageRender();
    } else {
        c.DrawDefaultScene();
    }
    if (c.HasScreens()) {
        c.ScreensRender();
    }
    c.DrawTextBlocks();
    if (c.HasScreens()) {
        c.ScreensDrawBaseMapFade();
        c.ScreensDrawFade();  // the colour fade is the last 2D layer
    }
    if (!movie) {
        if (c.HasDevMenu()) {
            c.DevMenuRender();
            if (displayInfoMode == kDisplayInfoAll) {
                c.DevMenuRenderWorldLights();
            }
        }
        c.DrawStatistics();
    }
    c.EndFrame();
    return true;
}

// The return to the title after RequestStageExit, at the end of the frame.
template <class Children>
void RunStageExit(Children &c)
{
    c.ShowBlackFor100Ms();
    if (c.HasStage()) {
        c.StageReleaseForTitle();
    }
    if (c.HasScreens()) {
        c.ScreensReturnToTitle();
    }
}

}  // namespace game
