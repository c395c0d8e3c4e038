// The engine on our Direct3D 8 driver in a memory-only window, for tests
// that draw real pixels: the window, the start-up under a chosen device
// profile with the caller's plug-ins attached, and putting everything back
// for the tests that follow on the fake device.
#pragma once

#include <cstdint>

#include "d3d8/d3d8_platform.h"
#include "rwcore.h"
#include "win/window.h"

namespace rwtest {

// A headless window of `width` x `height` client pixels, the desktop held at
// 1280x1024 until CloseHeadlessWindow; null when refused.
HWND OpenHeadlessWindow(const char *title, uint32_t width, uint32_t height);

// Installs the driver, makes `profile` the next device's and starts the
// engine on `window` with counting memory, running `attach` (plug-in
// registration; may be null) between init and open. False at the first
// refusal, with the engine back at idle.
bool DriverStartUp(const d3d8::Profile &profile, HWND window, bool (*attach)() = nullptr);

// Puts back the default driver attach and Im3D nodes, destroys `window`
// (when there is one), and resets the device profile and the desktop size.
void CloseHeadlessWindow(HWND window);

}  // namespace rwtest
