// What the sound library holds: its voices under the mixer lock, the streaming thread
// and the device.
#pragma once

#include <SDL_audio.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "limiter.h"
#include "voice.h"

namespace snd {

struct Library::State {
    LibraryOptions options;
    // The light lock: the device callback mixes under it, everything else holds it briefly.
    mutable std::mutex mixLock;
    std::map<VoiceId, std::shared_ptr<Voice>> voices;
    VoiceId nextId = 1;
    // The end of the mix, its gain carried from one mixed part to the next.
    Limiter limiter;

    std::thread streamer;
    std::mutex wakeLock;
    std::condition_variable wake;
    bool wakeRequested = false;
    std::atomic<bool> stopStreamer{false};

    SDL_AudioDeviceID device = 0;
    bool audioSubsystem = false;

    // On the game's clock (options.gameClockStepMs): the frames mixed so far; the
    // recording written in place of SDL's disk driver; for a device that plays, the
    // mixed samples it has not taken yet (under outLock).
    uint64_t mixedFrames = 0;
    std::FILE *recording = nullptr;
    bool deviceTakesMix = false;
    std::mutex outLock;
    std::vector<int16_t> out;
    size_t outRead = 0;
    // Notified under the mixer lock when a queue voice is fed, its feed ends, or a voice
    // stops or is destroyed.
    std::condition_variable queueFed;

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
// Takes ALSA's own error lines off standard error (alsa_quiet.cpp); once, before SDL's
// audio starts.
void QuietAlsaErrors();
void CloseDevice(Library::State &state);

// The game clock's outputs (game_clock.cpp): true when SDL's disk driver is asked for;
// the recording in its place; the device's fill from the mixed samples.
bool DiskDriverAsked();
bool OpenRecording(Library::State &state, std::string *error);
void CloseRecording(Library::State &state);
void FillDeviceFromGameClock(Library::State &state, int16_t *out, size_t frameCount);

}  // namespace snd
