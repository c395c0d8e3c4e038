// The main loop: a message pump that ticks the application when no message
// waits, at least 16 ms of timeGetTime have passed since the last tick and
// the application is active; otherwise it waits with SleepMs (never
// spinning). Under --fixed-step the game clock moves on by the step before
// each tick and ticks run back to back.
#pragma once

#include <cstdint>

class CSApplication;

inline constexpr uint32_t kTickIntervalMs = 16;

// When the next tick is due on the real clock.
class CSTickPacer {
public:
    // Counts the interval from `nowMs`.
    void Start(uint32_t nowMs) { lastTickMs_ = nowMs; }
    // True when a tick may run at `nowMs` (then call Ticked).
    bool Due(uint32_t nowMs, bool active) const { return active && nowMs - lastTickMs_ >= kTickIntervalMs; }
    void Ticked(uint32_t nowMs) { lastTickMs_ = nowMs; }
    // How long to sleep before looking again (at least 1 ms).
    uint32_t WaitMs(uint32_t nowMs, bool active) const;

private:
    uint32_t lastTickMs_ = 0;
};

// Window messages the loop acts on, from the window system (nothing for
// a headless run).
struct WindowMessages {
    bool quit = false;          // the window was closed
    bool activated = false;     // focus gained
    bool deactivated = false;   // focus lost
};
// Reads every waiting message. Headless runs see none.
WindowMessages PumpWindowMessages(bool headless);

// Runs until the window closes, CloseApplication is called or the asked
// number of ticks is done. Returns the program's exit status.
int RunMainLoop(CSApplication *app);
