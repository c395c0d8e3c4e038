// The ring of device frames between a voice's filler and the mixer.
#include <algorithm>
#include <cstring>

#include "voice.h"

namespace snd {

size_t FrameRing::Write(const int16_t *frames, size_t count)
{
    count = std::min(count, Space());
    size_t done = 0;
    while (done < count) {
        const size_t at = (read_ + count_) % capacity_;
        const size_t run = std::min(count - done, capacity_ - at);
        std::memcpy(samples_.data() + at * kDeviceChannels, frames + done * kDeviceChannels,
                    run * kFrameBytes);
        count_ += run;
        done += run;
    }
    return count;
}

const int16_t *FrameRing::Front(size_t *run) const
{
    *run = std::min(count_, capacity_ - read_);
    return samples_.data() + read_ * kDeviceChannels;
}

void FrameRing::Drop(size_t count)
{
    count = std::min(count, count_);
    read_ = capacity_ == 0 ? 0 : (read_ + count) % capacity_;
    count_ -= count;
}

}  // namespace snd
