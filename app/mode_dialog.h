// The "Game Mode" choice at start-up: window 640x480, window 800x600, full
// screen 640x480 or full screen 800x600, as a system message box.
#pragma once

#include <string>

// The chosen mode 1..4; 0 when the box was closed without a choice (or a
// quit signal ended it); -1
// when no box can be shown (no display, or a display without the fonts
// the box is drawn in), with the reason in *why.
int ChooseGameMode(std::string *why);
