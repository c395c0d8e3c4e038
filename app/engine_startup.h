// The engine's start and stop for the game: init with the game's memory and
// a 1 MB resource arena, the game's file functions, the plug-ins in the
// game's order, open on the window, the sub-system and video mode (in full
// screen the first exclusive mode of the chosen size at 32 bits), start,
// then the game's image readers and texture read.
#pragma once

#include "app/options.h"
#include "rwcore.h"

struct EngineChoice {
    RwInt32 subSystem = 0;
    RwVideoModeInfo videoMode = {};
};

// False (with the engine back where it was) when any step is refused.
bool StartEngine(HWND window, const game::ModeChoice &choice, EngineChoice *chosen);
void StopEngine();
