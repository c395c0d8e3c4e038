// Gives a test a real X display: the one in DISPLAY, or a private Xvfb server started on
// a free display number (stopped when the test process exits). False when neither exists.
#pragma once

namespace rwtest {

bool EnsureXDisplay();

}  // namespace rwtest
