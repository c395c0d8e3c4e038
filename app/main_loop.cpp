// The main loop and the window's messages (see main_loop.h).
#include "app/main_loop.h"

#include <SDL.h>

#include "app/application.h"

namespace {

// How long an inactive application sleeps between looks at its messages.
constexpr uint32_t kInactiveWaitMs = 10;

WindowEventListener listener = nullptr;
void *listenerContext = nullptr;

}  // namespace

uint32_t CSTickPacer::WaitMs(uint32_t nowMs, bool active) const
{
    if (!active) {
        return kInactiveWaitMs;
    }
    const uint32_t elapsed = nowMs - lastTickMs_;
    return elapsed >= kTickIntervalMs ? 1 : kTickIntervalMs - elapsed;
}

void SetWindowEventListener(WindowEventListener next, void *context)
{
    listener = next;
    listenerContext = context;
}

WindowMessages PumpWindowMessages(bool headless)
{
    WindowMessages messages;
    if (headless || SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return messages;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        if (listener != nullptr) {
            listener(&event, listenerContext);
        }
        if (event.type == SDL_QUIT) {
            messages.quit = true;
        } else if (event.type == SDL_WINDOWEVENT) {
            switch (event.window.event) {
            case SDL_WINDOWEVENT_CLOSE: messages.quit = true; break;
            case SDL_WINDOWEVENT_FOCUS_GAINED: messages.activated = true; messages.deactivated = false; break;
            case SDL_WINDOWEVENT_FOCUS_LOST: messages.deactivated = true; messages.activated = false; break;
            default: break;
            }
        }
    }
    return messages;
}

int RunMainLoop(CSApplication *app) { return RunMainLoopOn(app, app->Options().headless, app->Options().frames); }
