// The quit signals (see quit_signal.h).
#include "app/quit_signal.h"

#include <SDL.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <new>

namespace {

std::atomic<bool> quitSignalled{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

// Shared between the game and the process a box forks, so that each sees the
// other through a signal: the box's process id, and whether a quit signal
// has come while the box was opening.
struct BoxShare {
    std::atomic<pid_t> process;
    std::atomic<int> quit;
};
static_assert(std::atomic<pid_t>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "read and written from signal handlers and across processes");

BoxShare *boxShare = nullptr;
std::atomic<pid_t> gameProcess{0};
// Set while a box is being shown: a process forked meanwhile is the box's.
std::atomic<bool> boxShowing{false};

void OnQuitSignal(int signal)
{
    if (getpid() != gameProcess.load()) {
        // A process forked from the game that kept the handler: it goes the
        // default way.
        ::signal(signal, SIG_DFL);
        raise(signal);
        return;
    }
    quitSignalled.store(true);
    if (boxShare != nullptr && boxShowing.load()) {
        boxShare->quit.store(1);
        const pid_t box = boxShare->process.load();
        if (box > 0) {
            kill(box, SIGKILL);  // only a box: nothing of the game's is in it
        }
    }
}

// In the child of every fork: the box's process, when a box is being shown.
void AtForkInChild()
{
    if (!boxShowing.load() || boxShare == nullptr) {
        return;
    }
    boxShowing.store(false);  // a process the box forks in turn is not the box
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    boxShare->process.store(getpid());
    // A signal to the game between the fork and this point found no process
    // to end, or the game is gone already: the box is not shown.
    if (boxShare->quit.load() != 0 || getppid() != gameProcess.load()) {
        _exit(1);
    }
}

}  // namespace

void InstallQuitSignals()
{
    static std::once_flag once;
    std::call_once(once, [] {
        void *page = mmap(nullptr, sizeof(BoxShare), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        if (page != MAP_FAILED) {
            boxShare = new (page) BoxShare{};
        }
        pthread_atfork(nullptr, nullptr, AtForkInChild);
    });
    gameProcess.store(getpid());
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

bool ShowBoxUntilQuitSignal(const std::function<void()> &show)
{
    if (boxShare != nullptr) {
        boxShare->process.store(0);
        boxShare->quit.store(0);
    }
    boxShowing.store(true);
    // After the flag: a signal from here on ends the box's process.
    if (!QuitSignalled()) {
        show();
    }
    boxShowing.store(false);
    if (boxShare != nullptr) {
        boxShare->process.store(0);
    }
    return !QuitSignalled();
}
