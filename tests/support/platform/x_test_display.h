// Opens a connection to the test's X display for a test that looks at the game's
// windows. Include after the game's headers: Xlib defines macros (Bool, Status, None)
// they might use.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <thread>

namespace rwtest {

// Windows come and go while a test looks at them: a window gone is no error.
inline int IgnoreXErrors(Display *, XErrorEvent *) { return 0; }

// The display, or null when it takes no connection; a server just started may
// take a moment, so it is asked a few times.
inline Display *OpenTestDisplay()
{
    Display *display = nullptr;
    for (int attempt = 0; attempt < 100 && display == nullptr; ++attempt) {
        display = XOpenDisplay(nullptr);
        if (display == nullptr) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
    }
    if (display != nullptr) {
        XSetErrorHandler(IgnoreXErrors);
    }
    return display;
}

}  // namespace rwtest
