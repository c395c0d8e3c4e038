// One voice of the mixer and the ring buffer its streamed and queued sound passes
// through. Play state, position and ring indices are guarded by the library's mixer
// lock; a streamed voice's decoder by its own decode lock (taken before the mixer lock).
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "pcm_source.h"

namespace snd {

// Device frames in a circle: one writer (the filler) and one reader (the mixer).
class FrameRing {
public:
    void Reset(size_t capacityFrames)
    {
        samples_.assign(capacityFrames * kDeviceChannels, 0);
        capacity_ = capacityFrames;
        read_ = 0;
        count_ = 0;
    }
    void Clear()
    {
        read_ = 0;
        count_ = 0;
    }
    size_t Capacity() const { return capacity_; }
    size_t Count() const { return count_; }
    size_t Space() const { return capacity_ - count_; }
    size_t Write(const int16_t *frames, size_t count);
    // The longest run of stored frames that lies in one piece, starting at the oldest.
    const int16_t *Front(size_t *run) const;
    void Drop(size_t count);

private:
    std::vector<int16_t> samples_;
    size_t capacity_ = 0;
    size_t read_ = 0;
    size_t count_ = 0;
};

enum class VoiceKind { Static, Streamed, Queue };
enum class PlayState { Stopped, Playing, Paused };

struct Voice {
    VoiceKind kind = VoiceKind::Static;
    PlayState state = PlayState::Stopped;
    bool loop = false;
    int32_t millibels = kMaxMillibels;
    int32_t gainQ16 = 65536;  // fixed point of the factor, so every build mixes alike
    // Bumped by every Play and Stop: a refill decoded before either is thrown away.
    uint32_t generation = 0;

    std::vector<int16_t> pcm;  // static: the whole sound
    size_t position = 0;       // static: next frame

    FrameRing ring;            // streamed and queue
    bool feedEnded = false;    // nothing more will be written to the ring
    uint64_t played = 0;       // frames taken from the ring since Play

    // Streamed only, under decodeLock.
    std::mutex decodeLock;
    std::vector<uint8_t> file;
    PcmSource source;
    PcmConverter converter;
    std::vector<int16_t> scratch;
};

}  // namespace snd
