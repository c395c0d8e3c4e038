// The frame clock (see frame_clock.h).
#include "app/frame_clock.h"

namespace {

constexpr uint32_t kMinFrameMs = 1;
constexpr uint32_t kMaxFrameMs = 100;
constexpr uint32_t kFpsWindowMs = 200;

}  // namespace

void CSFrameClock::Start(uint32_t nowMs)
{
    *this = CSFrameClock{};
    lastTickMs_ = nowMs;
}

void CSFrameClock::Tick(uint32_t nowMs)
{
    const uint32_t elapsed = nowMs - lastTickMs_;
    frameMs_ = elapsed < kMinFrameMs ? kMinFrameMs : elapsed > kMaxFrameMs ? kMaxFrameMs : elapsed;
    lastTickMs_ = nowMs;
    gatheredMs_ += elapsed;
    ++gatheredFrames_;
    if (gatheredMs_ > kFpsWindowMs) {
        fps_ = static_cast<float>(gatheredFrames_) * 1000.0f / static_cast<float>(gatheredMs_);
        gatheredMs_ = 0;
        gatheredFrames_ = 0;
    }
}
