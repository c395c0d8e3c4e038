// Gives a test a real X display: the one in DISPLAY, or a private Xvfb server on a
// display number it picks itself (stopped when the test process exits). False when
// neither exists.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace rwtest {

bool EnsureXDisplay();

// Starts Xvfb with `arguments` after its own, on a free display number the server
// picks itself, and waits until it takes connections (from then on until it is
// stopped, without a reset when its last client goes); the display's name (":N"),
// empty when it could not start. `server` gets its process (-1 when none), which
// the caller stops; it is also stopped when the test process dies.
std::string StartXvfb(const std::vector<std::string> &arguments, pid_t *server);

}  // namespace rwtest
