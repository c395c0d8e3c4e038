// Starts a private Xvfb server for window tests when no display is set.
#include "xvfb_display.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace rwtest {
namespace {

constexpr const char *kXvfb = "/usr/bin/Xvfb";

pid_t gServer = -1;

void StopServer() {
    if (gServer > 0) {
        kill(gServer, SIGTERM);
        waitpid(gServer, nullptr, 0);
        gServer = -1;
    }
}

}  // namespace

std::string StartXvfb(const std::vector<std::string> &arguments, pid_t *server) {
    *server = -1;
    if (access(kXvfb, X_OK) != 0) return std::string();
    int fds[2];
    if (pipe(fds) != 0) return std::string();
    // The server takes the first display number no other server holds (a number
    // picked here could be taken by another test's server meanwhile) and writes it
    // to the pipe once it takes connections. Everything the child needs is made
    // before the fork: a test process may have threads, and the child only execs.
    const std::string fd = std::to_string(fds[1]);
    // Nor does it reset when its last client goes: connections made during a
    // reset would be refused.
    std::vector<const char *> argv = {"Xvfb", "-displayfd", fd.c_str(), "-noreset"};
    for (const std::string &argument : arguments) argv.push_back(argument.c_str());
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return std::string();
    }
    if (child == 0) {
        // A test program killed for its time leaves no server behind.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        close(fds[0]);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execv(kXvfb, const_cast<char *const *>(argv.data()));
        _exit(127);
    }
    close(fds[1]);
    // Read until the line ends: the server writes it when it is ready, however
    // long a loaded machine takes; a server that gave up closes the pipe.
    std::string number;
    for (char c = 0; read(fds[0], &c, 1) == 1 && c != '\n';) number += c;
    close(fds[0]);
    if (number.empty()) {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
        return std::string();
    }
    *server = child;
    return ":" + number;
}

bool EnsureXDisplay() {
    const char *display = std::getenv("DISPLAY");
    if (display && display[0]) return true;
    if (gServer > 0) return true;
    const std::string name = StartXvfb({"-screen", "0", "1024x768x24", "-nolisten", "tcp"}, &gServer);
    if (name.empty()) return false;
    std::atexit(StopServer);
    setenv("DISPLAY", name.c_str(), 1);
    return true;
}

}  // namespace rwtest
