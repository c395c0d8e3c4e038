// WAV files made from samples: PCM of 8 or 16 bits, mono or stereo, at any rate, and
// the tones the sample data and the sound tests are built from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace media {

struct PcmFormat {
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t bits = 16;  // 8 (unsigned) or 16 (signed)
};

// `samples` are interleaved 16-bit values; 8-bit files take their top byte.
std::vector<uint8_t> MakeWav(const PcmFormat &format, const std::vector<int16_t> &samples);

// A sine of `hertz` at `amplitude` (0..32767) for `frames` frames, the same in every
// channel; `fadeFrames` ramps its start and end so a one-shot sound does not click.
std::vector<int16_t> Tone(const PcmFormat &format, double hertz, int amplitude, size_t frames,
                          size_t fadeFrames = 0);

bool WriteFile(const std::string &path, const std::vector<uint8_t> &bytes);

}  // namespace media
