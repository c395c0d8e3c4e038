// The volume law shared by every caller: volume 0..1 to hundredths of a decibel and
// hundredths of a decibel to the factor the mixer applies.
#include <cmath>

#include "sound/sound.h"

namespace snd {

int32_t MillibelsFromVolume(float volume)
{
    if (!(volume > 0.0f)) {  // also NaN
        return kMinMillibels;
    }
    const double millibels = 1000.0 * std::log2(static_cast<double>(volume));
    if (millibels >= kMaxMillibels) {
        return kMaxMillibels;
    }
    if (millibels <= kMinMillibels) {
        return kMinMillibels;
    }
    return static_cast<int32_t>(std::lround(millibels));
}

double GainFromMillibels(int32_t millibels)
{
    if (millibels <= kMinMillibels) {
        return 0.0;
    }
    if (millibels >= kMaxMillibels) {
        return 1.0;
    }
    return std::pow(10.0, millibels / 2000.0);
}

}  // namespace snd
