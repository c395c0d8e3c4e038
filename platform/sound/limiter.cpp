// The limiter at the end of the mix (see limiter.h).
#include "limiter.h"

#include <algorithm>
#include <cstdlib>

namespace snd {

namespace {

static_assert(kMixKnee < kMixCeiling && kMixCeiling < 32767, "the curve stays inside 16 bits");
constexpr int64_t kRoom = kMixCeiling - kMixKnee;
// How long a lowered gain is held at least: longer than one period of the lowest tones.
constexpr uint32_t kHoldFrames = 882;  // 20 ms at 44100 Hz
// While the lowered gain still brings frames this loud, it is held.
constexpr int64_t kHoldLevel = kMixKnee - kMixKnee / 8;
// Each frame the gain comes back 1/4096 of the way to unity: a time constant of 93 ms.
constexpr int kReleaseShift = 12;
// Closer to unity than this, the gain is unity again (and sound passes unchanged).
constexpr int64_t kUnitySnap = int64_t{1} << kReleaseShift;

int64_t Scaled(int64_t sample, int64_t gain) { return (sample * gain + (int64_t{1} << 29)) >> 30; }

// Where a frame of this peak may come out at most: itself up to the knee, above it a
// curve that leaves the knee at the same slope and nears the ceiling ever more slowly.
int64_t Allowed(int64_t peak)
{
    if (peak <= kMixKnee) {
        return peak;
    }
    const int64_t over = peak - kMixKnee;
    return kMixKnee + over * kRoom / (over + kRoom);
}

}  // namespace

void Limiter::Apply(const int32_t *mixed, int16_t *out, size_t frames)
{
    for (size_t frame = 0; frame < frames; ++frame) {
        const int32_t left = mixed[frame * 2];
        const int32_t right = mixed[frame * 2 + 1];
        const int64_t peak = std::max<int64_t>(std::llabs(left), std::llabs(right));
        const int64_t level = Scaled(peak, gain);
        const int64_t allowed = Allowed(peak);
        if (level > allowed) {
            // The largest gain that brings this frame onto the curve.
            gain = (allowed << 30) / peak;
            holdFrames = kHoldFrames;
        } else if (gain < kUnity && level > kHoldLevel) {
            holdFrames = kHoldFrames;
        } else if (holdFrames > 0) {
            --holdFrames;
        } else if (gain < kUnity) {
            gain += (kUnity - gain) >> kReleaseShift;
            if (kUnity - gain < kUnitySnap) {
                gain = kUnity;
            }
        }
        // At unity no sample is above the knee: they pass as they are.
        out[frame * 2] = static_cast<int16_t>(gain == kUnity ? left : Scaled(left, gain));
        out[frame * 2 + 1] = static_cast<int16_t>(gain == kUnity ? right : Scaled(right, gain));
    }
}

}  // namespace snd
