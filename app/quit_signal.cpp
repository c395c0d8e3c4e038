// The quit signals (see quit_signal.h).
#include "app/quit_signal.h"

#include <SDL.h>
#include <signal.h>

#include <atomic>

namespace {

std::atomic<bool> quitSignalled{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void OnQuitSignal(int) { quitSignalled.store(true); }

}  // namespace

void InstallQuitSignals()
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool QuitSignalled() { return quitSignalled.load(); }

void ClearQuitSignal() { quitSignalled.store(false); }
