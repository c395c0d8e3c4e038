// The mixer: every playing voice scaled by its gain and summed in 32 bits, then brought
// to 16 bits by the limiter (what adds up past the format's range is turned down, not
// cut flat). Static voices wrap at their end when looping; ring voices play what their
// ring holds and stop once their feed has ended and the ring is empty.
#include <algorithm>
#include <cstring>

#include "library_state.h"

namespace snd {

namespace {

constexpr size_t kBlockFrames = 512;

void MixRun(int32_t *accumulator, const int16_t *samples, size_t frames, int32_t gainQ16)
{
    const size_t count = frames * kDeviceChannels;
    if (gainQ16 == 65536) {
        for (size_t i = 0; i < count; ++i) {
            accumulator[i] += samples[i];
        }
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        accumulator[i] += static_cast<int32_t>((static_cast<int64_t>(samples[i]) * gainQ16) >> 16);
    }
}

void MixStatic(Voice &voice, int32_t *accumulator, size_t frames)
{
    const size_t length = voice.pcm.size() / kDeviceChannels;
    size_t done = 0;
    while (done < frames && voice.state == PlayState::Playing) {
        if (voice.position >= length) {
            voice.position = 0;
            if (!voice.loop || length == 0) {
                voice.state = PlayState::Stopped;
                break;
            }
        }
        const size_t run = std::min(frames - done, length - voice.position);
        MixRun(accumulator + done * kDeviceChannels, voice.pcm.data() + voice.position * kDeviceChannels,
               run, voice.gainQ16);
        voice.position += run;
        done += run;
        if (voice.position >= length && !voice.loop) {
            voice.position = 0;
            voice.state = PlayState::Stopped;
        }
    }
}

void MixRing(Voice &voice, int32_t *accumulator, size_t frames)
{
    size_t done = 0;
    while (done < frames) {
        size_t run = 0;
        const int16_t *front = voice.ring.Front(&run);
        run = std::min(run, frames - done);
        if (run == 0) {
            break;  // an empty ring: silence until the filler catches up
        }
        MixRun(accumulator + done * kDeviceChannels, front, run, voice.gainQ16);
        voice.ring.Drop(run);
        voice.played += run;
        done += run;
    }
    if (voice.ring.Count() == 0 && voice.feedEnded) {
        voice.state = PlayState::Stopped;
    }
}

}  // namespace

void MixVoices(Library::State &state, int16_t *out, size_t frameCount)
{
    int32_t accumulator[kBlockFrames * kDeviceChannels];
    size_t done = 0;
    while (done < frameCount) {
        const size_t block = std::min(kBlockFrames, frameCount - done);
        std::memset(accumulator, 0, block * kFrameBytes * 2);
        for (auto &entry : state.voices) {
            Voice &voice = *entry.second;
            if (voice.state != PlayState::Playing) {
                continue;
            }
            if (voice.kind == VoiceKind::Static) {
                MixStatic(voice, accumulator, block);
            } else {
                MixRing(voice, accumulator, block);
            }
        }
        state.limiter.Apply(accumulator, out + done * kDeviceChannels, block);
        done += block;
    }
}

}  // namespace snd
