// Opens a connection to the test's X display for a test that looks at the game's
// windows. Include after the game's headers: Xlib defines macros (Bool, Status, None)
// they might use.
#pragma once

#include <X11/Xlib.h>

namespace rwtest {

// Windows come and go while a test looks at them: a window gone is no error.
inline int IgnoreXErrors(Display *, XErrorEvent *) { return 0; }

// The display, or null when it takes no connection (a private server is
// started ready: see xvfb_display.h).
inline Display *OpenTestDisplay()
{
    Display *display = XOpenDisplay(nullptr);
    if (display != nullptr) {
        XSetErrorHandler(IgnoreXErrors);
    }
    return display;
}

}  // namespace rwtest
