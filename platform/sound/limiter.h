// The limiter at the end of the mix: sounds that add up past the knee are turned down
// together instead of being cut flat at the format's limit. A frame louder than the
// knee sets the gain at once so that it comes out on a soft curve that rises toward
// the ceiling without reaching it (a rising wave keeps rising, only less); the gain is
// held while the sound stays loud (so a sustained tone is not caught again crest by
// crest) and then comes back smoothly. Integer arithmetic only, one frame at a time
// with its state carried over: the output does not depend on how the mix is cut into
// calls, and every build and run of one script mixes the same samples.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sound/sound.h"

namespace snd {

// Up to this level the mix passes unchanged.
constexpr int32_t kMixKnee = 30000;

struct Limiter {
    static constexpr int64_t kUnity = int64_t{1} << 30;
    int64_t gain = kUnity;  // Q30
    uint32_t holdFrames = 0;

    void Reset() { *this = Limiter{}; }
    // Turns `frames` stereo frames of summed samples into the device's samples.
    void Apply(const int32_t *mixed, int16_t *out, size_t frames);
};

}  // namespace snd
