// Ending a run from outside: SIGINT (Ctrl-C) and SIGTERM ask the main loop
// to end at its next look, so that the run leaves through its normal exit
// path (trace, input log and sound closed) as when the window is closed. A
// second signal, should the exit hang, ends the process the default way.
#pragma once

// Installs the handlers (and keeps SDL from installing its own); before SDL
// starts.
void InstallQuitSignals();
// True once a quit signal has arrived.
bool QuitSignalled();
// Forgets an arrived signal (tests).
void ClearQuitSignal();
