// Helpers of the sound tests: an offline library (no device, no streaming thread unless
// asked), rendering N milliseconds, and measuring what came out.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "sound/sound.h"
#include "tools/media/wav_writer.h"

namespace soundtest {

inline void StartOffline(snd::Library *library, bool thread = false)
{
    snd::LibraryOptions options;
    options.openDevice = false;
    options.streamingThread = thread;
    std::string error;
    ASSERT_TRUE(library->Start(options, &error)) << error;
}

inline std::vector<int16_t> RenderFrames(snd::Library *library, size_t frames)
{
    std::vector<int16_t> out(frames * snd::kDeviceChannels);
    library->Render(out.data(), frames);
    return out;
}

inline std::vector<int16_t> RenderMs(snd::Library *library, uint32_t ms)
{
    return RenderFrames(library, static_cast<size_t>(snd::kDeviceRate) * ms / 1000);
}

inline int PeakOf(const std::vector<int16_t> &samples)
{
    int peak = 0;
    for (int16_t s : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    return peak;
}

// Rises from below -threshold to above +threshold per second of the left channel: the
// pitch of a tone, deaf to the small noise of lossy coding around zero.
inline double PitchOf(const std::vector<int16_t> &frames, int threshold = 1000)
{
    size_t crossings = 0;
    bool low = false;
    for (size_t i = 0; i < frames.size(); i += 2) {
        if (frames[i] < -threshold) {
            low = true;
        } else if (low && frames[i] > threshold) {
            low = false;
            ++crossings;
        }
    }
    return static_cast<double>(crossings) * snd::kDeviceRate / (static_cast<double>(frames.size()) / 2.0);
}

// A 16-bit file at the device rate plays back sample for sample.
inline std::vector<uint8_t> DeviceRateWav(const std::vector<int16_t> &stereo)
{
    media::PcmFormat format;
    format.channels = 2;
    format.rate = snd::kDeviceRate;
    format.bits = 16;
    return media::MakeWav(format, stereo);
}

// A stereo ramp with a different value on every sample, so any skipped, doubled or
// misplaced sample shows.
inline std::vector<int16_t> Ramp(size_t frames, int start = 0)
{
    std::vector<int16_t> samples;
    for (size_t i = 0; i < frames; ++i) {
        samples.push_back(static_cast<int16_t>((start + static_cast<int>(i)) % 30000));
        samples.push_back(static_cast<int16_t>(-((start + static_cast<int>(i)) % 30000)));
    }
    return samples;
}

// `out` is `pattern` over and over, sample for sample.
inline void ExpectRepeats(const std::vector<int16_t> &out, const std::vector<int16_t> &pattern)
{
    for (size_t i = 0; i < out.size(); ++i) {
        ASSERT_EQ(out[i], pattern[i % pattern.size()]) << "sample " << i;
    }
}

}  // namespace soundtest
