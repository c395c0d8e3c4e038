// The sound front-end: handles, volumes and the sound-id list over the sound library.
#include "app/audio.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <utility>

#include "app/application.h"
#include "app/clock.h"
#include "app/debug.h"
#include "app/path.h"
#include "app/sound_file.h"

namespace {

float ClampVolume(float volume)
{
    if (!(volume > 0.0f)) {
        return 0.0f;
    }
    return std::min(volume, 1.0f);
}

}  // namespace

namespace game {

uint32_t SoundIdOfPath(const char *path)
{
    if (path == nullptr) {
        return 0;
    }
    const char *name = path;
    for (const char *p = path; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/') {
            name = p + 1;
        }
    }
    const char *dot = std::strrchr(name, '.');
    const size_t length = dot == nullptr ? std::strlen(name) : static_cast<size_t>(dot - name);
    if (length != 7) {
        return 0;
    }
    uint32_t id = 0;
    for (size_t i = 0; i < 7; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) {
            return 0;
        }
        id = id * 10 + static_cast<uint32_t>(name[i] - '0');
    }
    return id;
}

}  // namespace game

CSAudio::~CSAudio() { Release(); }

void CSAudio::Create(bool openDevice, uint32_t gameClockStepMs)
{
    snd::LibraryOptions options;
    options.openDevice = openDevice;
    options.gameClockStepMs = gameClockStepMs;
    gameClock_ = gameClockStepMs != 0;
    std::string error;
    if (!library_.Start(options, &error)) {
        UserPrint("%s; sounds play nowhere\n", error.c_str());
    }
}

void CSAudio::Release()
{
    library_.Shutdown();  // the device and the streaming thread stop before the voices go
    sounds_.clear();
    entries_.clear();
    pausedForMovie_.clear();
    moviePause_ = false;
}

const CSAudio::Sound *CSAudio::Find(uint32_t handle) const
{
    return handle < sounds_.size() && sounds_[handle].used ? &sounds_[handle] : nullptr;
}

CSAudio::Sound *CSAudio::Find(uint32_t handle)
{
    return const_cast<Sound *>(std::as_const(*this).Find(handle));
}

uint32_t CSAudio::LoadSound(const char *path, int kind, int group, float volume)
{
    if (kind != kStatic && kind != kStreamed) {
        DebugPrint("LoadSound: %s: kind %d is not played (0 static, 2 streamed)\n", path, kind);
        return kNoSound;
    }
    std::vector<uint8_t> bytes;
    if (!game::ReadSoundFile(path, &bytes)) {
        return kNoSound;
    }
    std::string error;
    const snd::VoiceId voice = kind == kStatic ? library_.CreateStatic(bytes.data(), bytes.size(), &error)
                                               : library_.CreateStreamed(std::move(bytes), &error);
    if (voice == snd::kNoVoice) {
        UserPrint("LoadSound: %s: %s\n", MessagePath(path).c_str(), error.c_str());
        return kNoSound;
    }
    auto slot = std::find_if(sounds_.begin(), sounds_.end(), [](const Sound &s) { return !s.used; });
    if (slot == sounds_.end()) {
        slot = sounds_.insert(sounds_.end(), Sound{});
    }
    const auto handle = static_cast<uint32_t>(slot - sounds_.begin());
    *slot = Sound{true, voice, kind, group, ClampVolume(volume), ClampVolume(volume)};
    ApplyVolume(*slot, slot->volume);
    if (const uint32_t id = game::SoundIdOfPath(path); id != 0) {
        entries_.push_back({id, handle});
    }
    return handle;
}

void CSAudio::PlaySound(uint32_t handle, uint8_t loop)
{
    if (const Sound *sound = Find(handle)) {
        library_.Play(sound->voice, loop != 0);
    }
}

void CSAudio::StopSound(uint32_t handle)
{
    if (const Sound *sound = Find(handle)) {
        library_.Stop(sound->voice);
    }
}

void CSAudio::PauseSound(uint32_t handle)
{
    if (const Sound *sound = Find(handle)) {
        library_.Pause(sound->voice);
    }
}

void CSAudio::ResumeSound(uint32_t handle)
{
    if (const Sound *sound = Find(handle)) {
        library_.Resume({sound->voice});
    }
}

void CSAudio::UnloadSound(uint32_t handle)
{
    Sound *sound = Find(handle);
    if (sound == nullptr) {
        return;
    }
    library_.Destroy(sound->voice);
    *sound = Sound{};
    std::erase_if(entries_, [handle](const SoundEntry &entry) { return entry.handle == handle; });
}

bool CSAudio::IsPlaying(uint32_t handle) const
{
    const Sound *sound = Find(handle);
    return sound != nullptr && library_.IsPlaying(sound->voice);
}

float CSAudio::GetVolume(uint32_t handle) const
{
    const Sound *sound = Find(handle);
    return sound == nullptr ? 0.0f : sound->volume;
}

int32_t CSAudio::GetLibraryVolume(uint32_t handle) const
{
    const Sound *sound = Find(handle);
    return sound == nullptr ? snd::kMinMillibels : library_.GetVolume(sound->voice);
}

float CSAudio::GetBaseVolume(uint32_t handle) const
{
    const Sound *sound = Find(handle);
    return sound == nullptr ? 0.0f : sound->baseVolume;
}

int CSAudio::GetGroup(uint32_t handle) const
{
    const Sound *sound = Find(handle);
    return sound == nullptr ? -1 : sound->group;
}

void CSAudio::ApplyVolume(const Sound &sound, float volume)
{
    library_.SetVolume(sound.voice, snd::MillibelsFromVolume(volume));
}

void CSAudio::SetVolume(uint32_t handle, float volume)
{
    if (Sound *sound = Find(handle)) {
        sound->volume = ClampVolume(volume);
        ApplyVolume(*sound, sound->volume);
    }
}

void CSAudio::SetBaseVolume(uint32_t handle, float volume)
{
    if (Sound *sound = Find(handle)) {
        sound->baseVolume = sound->volume = ClampVolume(volume);
        ApplyVolume(*sound, sound->volume);
    }
}

void CSAudio::SetAllVolumes(float volume)
{
    volume = ClampVolume(volume);
    for (Sound &sound : sounds_) {
        if (sound.used) {
            sound.baseVolume = sound.volume = volume;
            ApplyVolume(sound, volume);
        }
    }
}

uint32_t CSAudio::GetMemoryUsed(uint32_t handle) const
{
    const Sound *sound = Find(handle);
    return sound == nullptr ? 0 : static_cast<uint32_t>(library_.MemoryUsed(sound->voice));
}

uint32_t CSAudio::GetAudioMemoryUsed() const
{
    uint64_t total = 0;
    for (const Sound &sound : sounds_) {
        if (sound.used) {
            total += library_.MemoryUsed(sound.voice);
        }
    }
    return static_cast<uint32_t>(std::min<uint64_t>(total, UINT32_MAX));
}

void CSAudio::Update()
{
    library_.Update();
    if (gameClock_) {
        library_.MixUntil(timeGetTime());
    }
}

void CSAudio::PauseForMovie()
{
    if (moviePause_) {
        return;  // a second movie over the first: the first pause holds the list
    }
    pausedForMovie_ = library_.PausePlaying();
    moviePause_ = true;
}

void CSAudio::ResumeAfterMovie()
{
    if (!moviePause_) {
        return;
    }
    library_.Resume(pausedForMovie_);
    pausedForMovie_.clear();
    moviePause_ = false;
}

uint32_t GetAudioMemoryUsed(int)
{
    return g_pApplication != nullptr && g_pApplication->audio != nullptr ? g_pApplication->audio->GetAudioMemoryUsed()
                                                                         : 0;
}
