// Starts a private Xvfb server for window tests when no display is set.
#include "xvfb_display.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace rwtest {
namespace {

pid_t gServer = 0;

void StopServer() {
    if (gServer > 0) {
        kill(gServer, SIGTERM);
        waitpid(gServer, nullptr, 0);
        gServer = 0;
    }
}

bool Exists(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

}  // namespace

bool EnsureXDisplay() {
    const char *display = std::getenv("DISPLAY");
    if (display && display[0]) return true;
    if (gServer > 0) return true;
    const char *xvfb = "/usr/bin/Xvfb";
    if (!Exists(xvfb)) return false;
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int number = 200 + int((getpid() + attempt * 37) % 700);
        const std::string name = ":" + std::to_string(number);
        if (Exists("/tmp/.X" + std::to_string(number) + "-lock")) continue;
        const pid_t child = fork();
        if (child < 0) return false;
        if (child == 0) {
            std::freopen("/dev/null", "w", stdout);
            std::freopen("/dev/null", "w", stderr);
            execl(xvfb, "Xvfb", name.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                  static_cast<char *>(nullptr));
            _exit(127);
        }
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        for (int wait = 0; wait < 100; ++wait) {
            if (Exists(socket)) {
                gServer = child;
                std::atexit(StopServer);
                setenv("DISPLAY", name.c_str(), 1);
                return true;
            }
            if (waitpid(child, nullptr, WNOHANG) == child) break;  // it gave up
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
    }
    return false;
}

}  // namespace rwtest
