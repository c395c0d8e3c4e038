// Refilling a streamed voice: decoded outside the mixer lock (under the voice's own
// decode lock), copied into its ring under the mixer lock, and thrown away when a Play
// or Stop came in between.
#include <algorithm>

#include "library_state.h"

namespace snd {

void FillStream(Library::State &state, Voice &voice, bool restart, bool loop)
{
    std::lock_guard<std::mutex> decodeGuard(voice.decodeLock);
    uint32_t generation = 0;
    size_t space = 0;
    {
        std::lock_guard<std::mutex> mixGuard(state.mixLock);
        if (restart) {
            voice.state = PlayState::Stopped;
            voice.ring.Clear();
            voice.feedEnded = false;
            voice.played = 0;
            voice.loop = loop;
            ++voice.generation;
        } else if (voice.state == PlayState::Stopped || voice.feedEnded) {
            return;
        }
        generation = voice.generation;
        loop = voice.loop;
        space = voice.ring.Space();
    }
    if (restart) {
        voice.converter.Rewind();
        // A quarter of the ring before the voice sounds; the streaming thread does the rest.
        space = std::max<size_t>(space / 4, 1);
    }
    if (space == 0) {
        return;
    }
    voice.scratch.resize(space * kDeviceChannels);
    const size_t got = voice.converter.Read(voice.scratch.data(), space, loop);
    std::lock_guard<std::mutex> mixGuard(state.mixLock);
    if (voice.generation != generation) {
        return;
    }
    voice.ring.Write(voice.scratch.data(), got);
    voice.feedEnded = voice.converter.Ended();
    if (restart) {
        voice.state = PlayState::Playing;
    }
}

}  // namespace snd
