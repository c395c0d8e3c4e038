// CSAudio, the game's sound front-end over the sound library: sounds loaded from WAV
// files (static or streamed) under numeric handles, played, stopped, unloaded, their
// volumes (base and current, 0..1, through the volume law), their memory, and the list
// of loaded sounds named by a sound id. The movie pauses and resumes the game's voices
// through it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sound/sound.h"

struct SoundEntry {
    uint32_t soundId;  // the seven-digit file name
    uint32_t handle;
};

class CSAudio {
public:
    static constexpr uint32_t kNoSound = 0xFFFFFFFFu;
    static constexpr int kStatic = 0;
    static constexpr int kStreamed = 2;
    // The group of the interface sounds and music.
    static constexpr int kInterfaceGroup = 8;

    CSAudio() = default;
    ~CSAudio();
    CSAudio(const CSAudio &) = delete;
    CSAudio &operator=(const CSAudio &) = delete;

    // Starts the library and its streaming thread; with no audio device the sounds are
    // still loaded and tracked (and the mixer runs nowhere). With `gameClockStepMs` (the
    // fixed-step clock's step) the mixer runs on the game's clock: each Update mixes the
    // sound of the time timeGetTime has come to, and the device plays exactly that.
    void Create(bool openDevice = true, uint32_t gameClockStepMs = 0);
    void Release();
    bool HasDevice() const { return library_.HasDevice(); }
    snd::Library *Library() { return &library_; }

    // kNoSound (with a diagnostic) for a file that is missing or refused, or another kind.
    uint32_t LoadSound(const char *path, int kind, int group, float volume);
    void PlaySound(uint32_t handle, uint8_t loop);  // restarts a playing sound
    void StopSound(uint32_t handle);
    // Holds a playing sound where it stands, and plays it on from there.
    void PauseSound(uint32_t handle);
    void ResumeSound(uint32_t handle);
    void UnloadSound(uint32_t handle);
    bool IsPlaying(uint32_t handle) const;

    float GetVolume(uint32_t handle) const;  // 0.0 for no sound
    float GetBaseVolume(uint32_t handle) const;
    // What the library plays the sound at, in hundredths of a decibel (-10000 for none).
    int32_t GetLibraryVolume(uint32_t handle) const;
    void SetVolume(uint32_t handle, float volume);
    void SetBaseVolume(uint32_t handle, float volume);
    void SetAllVolumes(float volume);
    int GetGroup(uint32_t handle) const;

    uint32_t GetMemoryUsed(uint32_t handle) const;
    uint32_t GetAudioMemoryUsed() const;
    const std::vector<SoundEntry> &Entries() const { return entries_; }

    // The per-frame work (the tick and the keep-alive routine); on the game's clock the
    // mixing of the time since the last Update.
    void Update();
    // Around a movie: every playing game voice paused, then exactly those resumed.
    void PauseForMovie();
    void ResumeAfterMovie();

private:
    struct Sound {
        bool used = false;
        snd::VoiceId voice = snd::kNoVoice;
        int kind = kStatic;
        int group = 0;
        float baseVolume = 1.0f;
        float volume = 1.0f;
    };
    const Sound *Find(uint32_t handle) const;
    Sound *Find(uint32_t handle);
    void ApplyVolume(const Sound &sound, float volume);

    snd::Library library_;
    std::vector<Sound> sounds_;  // handle = index
    std::vector<SoundEntry> entries_;
    std::vector<snd::VoiceId> pausedForMovie_;
    bool moviePause_ = false;
    bool gameClock_ = false;
};

// Bytes used by all sounds of the application's sound front-end (0 without one); the
// argument is unused.
uint32_t GetAudioMemoryUsed(int unused = 0);

namespace game {

// The sound id a file name stands for: its name without folder and extension when that
// is seven digits, else 0.
uint32_t SoundIdOfPath(const char *path);

}  // namespace game
