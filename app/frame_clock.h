// The frame clock the game-system tick runs first: the frame time in
// milliseconds (at least 1, at most 100), the frames per second (60 until
// the first measurement, then recomputed whenever more than 200 ms have
// gathered) and the time of the last tick, with which callers seed the
// random generator so that the draws of one tick repeat.
#pragma once

#include <cstdint>

class CSFrameClock {
public:
    // Starts measuring at `nowMs` (normally timeGetTime()).
    void Start(uint32_t nowMs);
    // One tick at `nowMs`.
    void Tick(uint32_t nowMs);

    uint32_t FrameMs() const { return frameMs_; }
    float FrameSeconds() const { return static_cast<float>(frameMs_) * 0.001f; }
    float Fps() const { return fps_; }
    uint32_t LastTickMs() const { return lastTickMs_; }

private:
    uint32_t lastTickMs_ = 0;
    uint32_t frameMs_ = 16;
    float fps_ = 60.0f;
    uint32_t gatheredMs_ = 0;
    uint32_t gatheredFrames_ = 0;
};
