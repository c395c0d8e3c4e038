// The sample data of a WAV file ready for conversion (PCM as stored, or ADPCM decoded
// to 16-bit PCM), and the converter that turns it into device frames piece by piece:
// the streaming thread's decoder and, run to the end, the static voices' decoder.
// Widening to 16-bit stereo is exact; other rates go through libswresample.
#pragma once

#include <SDL_audio.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sound/sound.h"

struct SwrContext;

namespace snd {

class PcmSource {
public:
    // Parses and checks the file; ADPCM is decoded here. The file's bytes must outlive
    // the source unless the source decoded them into its own buffer.
    bool Open(const uint8_t *file, size_t size, std::string *error);

    SDL_AudioFormat Format() const { return format_; }
    uint8_t Channels() const { return channels_; }
    uint32_t Rate() const { return rate_; }
    const uint8_t *Data() const { return owned_.empty() ? external_ : owned_.data(); }
    size_t Bytes() const { return bytes_; }  // whole frames only
    size_t Frames() const { return frameBytes_ == 0 ? 0 : bytes_ / frameBytes_; }
    size_t FrameBytes() const { return frameBytes_; }

private:
    SDL_AudioFormat format_ = AUDIO_S16LSB;
    uint8_t channels_ = 0;
    uint32_t rate_ = 0;
    const uint8_t *external_ = nullptr;
    std::vector<uint8_t> owned_;
    size_t bytes_ = 0;
    size_t frameBytes_ = 0;
};

// Longest sound decoded whole: ten minutes at the device rate.
constexpr size_t kMaxStaticFrames = 10u * 60u * kDeviceRate;

class PcmConverter {
public:
    PcmConverter() = default;
    ~PcmConverter();
    PcmConverter(const PcmConverter &) = delete;
    PcmConverter &operator=(const PcmConverter &) = delete;

    // The source must outlive the converter.
    bool Init(const PcmSource *source, std::string *error);
    // Up to `frames` device frames; fewer only at the end of a source that does not
    // loop. Looping feeds the start again behind the end, so the resampler runs on
    // across the loop point without a gap.
    size_t Read(int16_t *out, size_t frames, bool loop);
    void Rewind();
    bool Ended() const { return ended_; }

private:
    // Source frames at `position_` as device-format frames at the source's rate.
    void Widen(size_t frames, int16_t *out) const;
    // Source frames at `position_` as 16-bit frames of the resampled channels.
    void Feed(size_t frames, int16_t *out) const;
    // Channels the resampler runs: one for a mono source, which is spread to both after.
    uint8_t ResampledChannels() const { return source_->Channels() == 1 ? 1 : kDeviceChannels; }
    // `frames` resampled frames at the start of `samples` as device frames over it.
    void SpreadIfMono(int16_t *samples, size_t frames) const;
    bool StartResampler();

    const PcmSource *source_ = nullptr;
    SwrContext *resampler_ = nullptr;  // null when the source is at the device rate
    size_t position_ = 0;              // source frames fed so far
    std::vector<int16_t> widened_;     // source frames fed to the resampler, in its channels
    std::vector<int16_t> tail_;        // what the resampler gave back at the end
    size_t tailRead_ = 0;
    bool flushed_ = false;
    bool ended_ = false;
};

}  // namespace snd
