// The few sound operations the stage's sound effects and music use, as a
// table of functions over the game's sound front-end, so that a run without
// sound (and a test's recorder) can stand in for it. A table without
// functions is no sound at all: loads fail, everything else does nothing.
#pragma once

#include <cstdint>

struct SoundPort {
    static constexpr uint32_t kNoSound = 0xFFFFFFFFu;
    static constexpr int kStatic = 0;    // decoded whole when loaded
    static constexpr int kStreamed = 2;  // decoded while it plays

    void *context = nullptr;
    uint32_t (*load)(void *context, const char *path, int kind, int group, float volume) = nullptr;
    void (*play)(void *context, uint32_t handle, bool loop) = nullptr;  // from the start
    void (*stop)(void *context, uint32_t handle) = nullptr;
    void (*pause)(void *context, uint32_t handle) = nullptr;   // holds its place
    void (*resume)(void *context, uint32_t handle) = nullptr;  // plays on from it
    void (*unload)(void *context, uint32_t handle) = nullptr;
    void (*setVolume)(void *context, uint32_t handle, float volume) = nullptr;  // 0..1

    uint32_t Load(const char *path, int kind, int group, float volume) const
    {
        return load != nullptr ? load(context, path, kind, group, volume) : kNoSound;
    }
    void Play(uint32_t handle, bool loop) const
    {
        if (play != nullptr && handle != kNoSound) {
            play(context, handle, loop);
        }
    }
    void Stop(uint32_t handle) const
    {
        if (stop != nullptr && handle != kNoSound) {
            stop(context, handle);
        }
    }
    void Pause(uint32_t handle) const
    {
        if (pause != nullptr && handle != kNoSound) {
            pause(context, handle);
        }
    }
    void Resume(uint32_t handle) const
    {
        if (resume != nullptr && handle != kNoSound) {
            resume(context, handle);
        }
    }
    void Unload(uint32_t handle) const
    {
        if (unload != nullptr && handle != kNoSound) {
            unload(context, handle);
        }
    }
    void SetVolume(uint32_t handle, float volume) const
    {
        if (setVolume != nullptr && handle != kNoSound) {
            setVolume(context, handle, volume);
        }
    }
};

// The sound groups of the stage's sounds.
constexpr int kStageEffectGroup = 1;
constexpr int kStageMusicGroup = 2;

class CSAudio;

// The game's sound: the application's sound front-end, or no sound at all
// while there is none (tools, tests, a run without sound).
SoundPort GameSoundPort();
// One sound front-end of the caller's (no sound for null).
SoundPort AudioSoundPort(CSAudio *audio);
