// The shown frames in the run's trace (test option --trace-frames EVERY): at
// each showing of the back buffer within every EVERY-th tick, a "frame" line
// with a checksum of every pixel the player is about to see. Tests keep these
// lines so that a change of a picture, however small, shows as the tick
// where the run first differs.
//
// A headless run draws only the frames something reads: each frame line
// makes its frame be drawn (a few milliseconds a frame), hence the period.
#pragma once

#include <cstdint>

namespace game {

// Frame lines within every `every`-th tick (0: none; with a trace open). The
// thread that asks is the one whose showings are traced: drawings of other
// threads (the loading screen's own thread, whose number of drawings
// follows the real time a load takes) are left out.
void TraceAskFrames(uint32_t every);
// Whether the showings of this tick are traced.
bool TraceFramesOn();

// The checksum of a picture of `height` rows of `rowBytes` bytes, rows
// `pitch` bytes apart. With `ignoreTopBytes` set (32-bit pixels), the top
// byte of each pixel (the back buffer's alpha, never shown) is left out.
uint64_t FrameChecksum(const uint8_t *bits, uint32_t rowBytes, uint32_t height, uint32_t pitch,
                       bool ignoreTopBytes);

// Writes the frame line of the back buffer as it stands now (the caller is
// about to show it); nothing when frame lines are off, on another thread,
// or when the back buffer cannot be read.
void TraceShownFrame();

}  // namespace game
