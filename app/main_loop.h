// The main loop: a message pump that ticks the application when no message
// waits, at least 16 ms of timeGetTime have passed since the last tick and
// the application is active; otherwise it waits with SleepMs (never
// spinning). Under --fixed-step the game clock moves on by the step before
// each tick and ticks run back to back. Closing the window and the quit
// signals (SIGINT, SIGTERM) end it before the next tick.
#pragma once

#include <cstdint>

#include "app/clock.h"
#include "app/quit_signal.h"
#include "app/threads.h"
#include "app/trace.h"

class CSApplication;
union SDL_Event;

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
// Every message the pump reads is handed to the listener as well (the
// input object's keyboard, mouse and pad events); null removes it.
typedef void (*WindowEventListener)(const SDL_Event *event, void *context);
void SetWindowEventListener(WindowEventListener listener, void *context);

// Runs `app` until the window closes, a quit signal arrives, the
// application quits or `frames` ticks (0: no limit) are done; the program's
// exit status. `App` has
// IsQuitting, IsActive, SetActive, Tick(tick) and Render(tick) -> bool.
template <typename App>
int RunMainLoopOn(App *app, bool headless, uint32_t frames)
{
    const bool fixedStep = IsFixedStepClock();
    CSTickPacer pacer;
    pacer.Start(timeGetTime() - kTickIntervalMs);  // the first tick is due at once
    int status = 0;
    for (uint32_t tick = 0; !app->IsQuitting() && (frames == 0 || tick < frames);) {
        const WindowMessages messages = PumpWindowMessages(headless);
        if (messages.quit || QuitSignalled()) {
            break;
        }
        if (messages.activated || headless) {
            app->SetActive(true);
        } else if (messages.deactivated) {
            app->SetActive(false);
        }
        if (fixedStep) {
            // Ticks run back to back on the game clock, while active.
            if (!app->IsActive()) {
                SleepMs(pacer.WaitMs(timeGetTime(), false));
                continue;
            }
            AdvanceFixedStepClock();
        } else {
            const uint32_t now = timeGetTime();
            if (!pacer.Due(now, app->IsActive())) {
                SleepMs(pacer.WaitMs(now, app->IsActive()));
                continue;
            }
            pacer.Ticked(now);
        }
        ++tick;
        game::TraceSetTick(tick);
        app->Tick(tick);
        if (!app->Render(tick)) {
            status = 1;
        }
    }
    return status;
}

// The game's loop over the application and its options.
int RunMainLoop(CSApplication *app);
