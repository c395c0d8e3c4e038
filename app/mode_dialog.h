// The "Game Mode" choice at start-up: window 640x480, window 800x600, full
// screen 640x480 or full screen 800x600, as a system message box.
#pragma once

#include <SDL_messagebox.h>

#include <string>

// The chosen mode 1..4; 0 when the box was closed without a choice (or a
// quit signal ended it); -1
// when no box can be shown (no display, or a display without the fonts
// the box is drawn in), with the reason in *why.
int ChooseGameMode(std::string *why);
// The box's buttons, left to right (`count` of them): each one's label and
// the mode it chooses as its id; the first is the one Return takes.
const SDL_MessageBoxButtonData *GameModeButtons(int *count);
