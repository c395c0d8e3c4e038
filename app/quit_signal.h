// Ending a run from outside: SIGINT (Ctrl-C) and SIGTERM ask the main loop
// to end at its next look, so that the run leaves through its normal exit
// path (trace, input log and sound closed) as when the window is closed. A
// second signal, should the exit hang, ends the process the default way.
//
// A system box (the "Game Mode" choice, the fatal message) blocks the main
// loop while it shows, and SDL draws it on X11 in a process it forks for
// it. Shown through ShowBoxUntilQuitSignal, the box ends with the game: its
// process takes the quit signals the default way (a Ctrl-C or a `timeout`
// that signals the whole group ends it), a quit signal to the game ends it,
// and it dies when the game dies.
#pragma once

#include <functional>

// Installs the handlers (and keeps SDL from installing its own); before SDL
// starts.
void InstallQuitSignals();
// True once a quit signal has arrived.
bool QuitSignalled();
// Forgets an arrived signal (tests).
void ClearQuitSignal();

// Runs `show`, which shows a blocking box, so that a quit signal ends the
// box (see above). False when a quit signal came before (nothing is then
// shown) or while the box showed.
bool ShowBoxUntilQuitSignal(const std::function<void()> &show);
