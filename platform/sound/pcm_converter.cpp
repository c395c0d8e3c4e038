// Conversion of a WAV's samples to the device format (44100 Hz, 16-bit, stereo), a piece
// at a time. 8-bit samples and mono are widened exactly (a sound at the device rate plays
// back sample for sample); other rates are resampled by libswresample, which keeps its
// filter running across a loop point and is drained only at a real end. A mono sound is
// resampled as one channel and copied to both afterwards: libswresample filters every
// channel alone with the same filter and steps, so these are the samples a stereo run
// over the widened frames gives, for half the filtering.
extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>

#include "pcm_source.h"

namespace snd {

namespace {
// Source frames fed per step: small enough to keep a refill short.
constexpr size_t kFeedFrames = 4096;
}  // namespace

PcmConverter::~PcmConverter() { swr_free(&resampler_); }

bool PcmConverter::StartResampler()
{
    swr_free(&resampler_);
    if (source_->Rate() == kDeviceRate) {
        return true;
    }
    AVChannelLayout layout;
    av_channel_layout_default(&layout, ResampledChannels());
    if (swr_alloc_set_opts2(&resampler_, &layout, AV_SAMPLE_FMT_S16, static_cast<int>(kDeviceRate), &layout,
                            AV_SAMPLE_FMT_S16, static_cast<int>(source_->Rate()), 0, nullptr) < 0 ||
        swr_init(resampler_) < 0) {
        swr_free(&resampler_);
        return false;
    }
    return true;
}

bool PcmConverter::Init(const PcmSource *source, std::string *error)
{
    source_ = source;
    if (!StartResampler()) {
        if (error != nullptr) {
            *error = "sound: the resampler could not start";
        }
        return false;
    }
    Rewind();
    return true;
}

void PcmConverter::Rewind()
{
    if (resampler_ != nullptr && tailRead_ + position_ != 0) {
        StartResampler();  // forget the filter's history
    }
    position_ = 0;
    tail_.clear();
    tailRead_ = 0;
    flushed_ = false;
    ended_ = false;
}

namespace {

// One stored sample as a 16-bit one: 8-bit samples are unsigned around 128, 16-bit
// ones little-endian.
int16_t SampleAt(const uint8_t *p, bool eightBit)
{
    return eightBit ? static_cast<int16_t>((p[0] - 128) * 256) : static_cast<int16_t>(p[0] | (p[1] << 8));
}

}  // namespace

void PcmConverter::Widen(size_t frames, int16_t *out) const
{
    const uint8_t *data = source_->Data() + position_ * source_->FrameBytes();
    const bool stereo = source_->Channels() == 2;
    const bool eightBit = source_->Format() == AUDIO_U8;
    const size_t sampleBytes = eightBit ? 1 : 2;
    for (size_t i = 0; i < frames; ++i) {
        const int16_t left = SampleAt(data, eightBit);
        out[2 * i] = left;
        out[2 * i + 1] = stereo ? SampleAt(data + sampleBytes, eightBit) : left;
        data += source_->FrameBytes();
    }
}

void PcmConverter::Feed(size_t frames, int16_t *out) const
{
    if (source_->Channels() == 2) {
        Widen(frames, out);
        return;
    }
    const uint8_t *data = source_->Data() + position_ * source_->FrameBytes();
    const bool eightBit = source_->Format() == AUDIO_U8;
    for (size_t i = 0; i < frames; ++i) {
        out[i] = SampleAt(data + i * source_->FrameBytes(), eightBit);
    }
}

void PcmConverter::SpreadIfMono(int16_t *samples, size_t frames) const
{
    if (ResampledChannels() != 1) {
        return;
    }
    // From the end, so that no sample is overwritten before it is copied.
    for (size_t i = frames; i-- > 0;) {
        samples[2 * i + 1] = samples[i];
        samples[2 * i] = samples[i];
    }
}

size_t PcmConverter::Read(int16_t *out, size_t frames, bool loop)
{
    const size_t total = source_->Frames();
    size_t produced = 0;
    while (produced < frames && !ended_) {
        int16_t *target = out + produced * kDeviceChannels;
        const size_t room = frames - produced;
        if (resampler_ == nullptr) {
            const size_t run = std::min(room, total - position_);
            Widen(run, target);
            position_ += run;
            produced += run;
        } else if (flushed_) {
            const size_t run = std::min(room, tail_.size() / kDeviceChannels - tailRead_);
            std::memcpy(target, tail_.data() + tailRead_ * kDeviceChannels, run * kFrameBytes);
            tailRead_ += run;
            produced += run;
            if (tailRead_ * kDeviceChannels == tail_.size()) {
                ended_ = true;
            }
            continue;
        } else {
            // What the resampler holds first, then fresh source frames.
            // A mono run lands in the first half of `target` and is spread over it.
            uint8_t *outPlanes[1] = {reinterpret_cast<uint8_t *>(target)};
            widened_.resize(kFeedFrames * ResampledChannels());
            const uint8_t *inPlanes[1] = {reinterpret_cast<const uint8_t *>(widened_.data())};
            int got = swr_convert(resampler_, outPlanes, static_cast<int>(room), inPlanes, 0);
            if (got == 0 && position_ < total) {
                const size_t run = std::min(kFeedFrames, total - position_);
                Feed(run, widened_.data());
                position_ += run;
                got = swr_convert(resampler_, outPlanes, static_cast<int>(room), inPlanes, static_cast<int>(run));
                if (got >= 0) {
                    SpreadIfMono(target, static_cast<size_t>(got));
                    produced += static_cast<size_t>(got);
                    continue;
                }
            }
            if (got < 0) {
                ended_ = true;
                break;
            }
            if (got > 0) {
                SpreadIfMono(target, static_cast<size_t>(got));
                produced += static_cast<size_t>(got);
                continue;
            }
        }
        if (position_ < total) {
            continue;
        }
        if (loop && total != 0) {
            position_ = 0;
        } else if (resampler_ == nullptr) {
            ended_ = true;
        } else {
            tail_.resize(static_cast<size_t>(std::max(swr_get_out_samples(resampler_, 0), 0) + 64) * kDeviceChannels);
            uint8_t *tailPlanes[1] = {reinterpret_cast<uint8_t *>(tail_.data())};
            const int got = swr_convert(resampler_, tailPlanes, static_cast<int>(tail_.size() / kDeviceChannels), nullptr, 0);
            SpreadIfMono(tail_.data(), static_cast<size_t>(std::max(got, 0)));
            tail_.resize(static_cast<size_t>(std::max(got, 0)) * kDeviceChannels);
            tailRead_ = 0;
            flushed_ = true;
            ended_ = tail_.empty();
        }
    }
    return produced;
}

}  // namespace snd
