// What the sound library holds: its voices under the mixer lock, the streaming thread
// and the device.
#pragma once

#include <SDL_audio.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "voice.h"

namespace snd {

struct Library::State {
    LibraryOptions options;
    // The light lock: the device callback mixes under it, everything else holds it briefly.
    mutable std::mutex mixLock;
    std::map<VoiceId, std::shared_ptr<Voice>> voices;
    VoiceId nextId = 1;

    std::thread streamer;
    std::mutex wakeLock;
    std::condition_variable wake;
    bool wakeRequested = false;
    std::atomic<bool> stopStreamer{false};

    SDL_AudioDeviceID device = 0;
    bool audioSubsystem = false;

    std::shared_ptr<Voice> Find(VoiceId id) const
    {
        auto it = voices.find(id);
        return it == voices.end() ? nullptr : it->second;
    }
};

// Mixes every playing voice into `out` (mixer lock held by the caller).
void MixVoices(Library::State &state, int16_t *out, size_t frameCount);
// Tops up one streamed voice's ring from its decoder; `restart` rewinds it first and
// sets it playing (with `loop`) once the first part is in.
void FillStream(Library::State &state, Voice &voice, bool restart, bool loop);

bool OpenDevice(Library *library, Library::State &state, std::string *error);
void CloseDevice(Library::State &state);

}  // namespace snd
