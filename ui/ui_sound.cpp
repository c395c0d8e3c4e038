// The interface sounds and the screens' music (see ui_manager.h). The 25
// sounds 6600000, 6600010 ... 6600240 are loaded once, inside the UISFX
// pack, with the word table; a screen plays them by id. The screens have
// one music stream at a time, which a new piece replaces at once and
// StopBGM ends at once or fades out. Without the sound front-end all of
// this does nothing.
#include <algorithm>
#include <cstdio>
#include <string>

#include "app/application.h"
#include "app/audio.h"
#include "app/pack.h"
#include "stage/stage_music.h"
#include "ui/ui_links.h"
#include "ui/ui_manager.h"
#include "ui/ui_sound.h"
#include "ui/ui_trace.h"

namespace {

CSAudio *testAudio = nullptr;
bool testAudioSet = false;

// The file name of a path ("SELCHAR.WAV"), for the trace.
std::string FileName(const char *path)
{
    const std::string text = path != nullptr ? path : "";
    const size_t slash = text.find_last_of("\\/");
    return slash == std::string::npos ? text : text.substr(slash + 1);
}

}  // namespace

CSAudio *UIAudio()
{
    if (testAudioSet) {
        return testAudio;
    }
    return g_pApplication != nullptr ? g_pApplication->audio : nullptr;
}

void SetUIAudioForTest(CSAudio *audio, bool set)
{
    testAudio = audio;
    testAudioSet = set;
}

void CSUIManager::InitUISoundIds()
{
    if (uiSounds_ == nullptr) {
        uiSounds_ = std::make_unique<UISoundPair[]>(kUISounds);
    }
    for (int i = 0; i < kUISounds; ++i) {
        uiSounds_[i] = {kUIFirstSoundId + 10u * static_cast<uint32_t>(i), CSAudio::kNoSound};
    }
}

void CSUIManager::LoadUISounds()
{
    CSAudio *audio = UIAudio();
    if (uiSounds_ != nullptr || audio == nullptr) {
        return;
    }
    const bool packed = OpenInterfacePack("UISFX");
    InitUISoundIds();
    for (int i = 0; i < kUISounds; ++i) {
        char path[64];
        std::snprintf(path, sizeof path, "\\RESOURCE\\MEDIA\\SFX\\%u.WAV", uiSounds_[i].id);
        uiSounds_[i].handle = audio->LoadSound((std::string(UIDataRoot()) + path).c_str(), CSAudio::kStatic,
                                               CSAudio::kInterfaceGroup, settings_.soundVolume);
    }
    LoadWordTable();
    if (packed) {
        zuClosePack();
    }
}

void CSUIManager::ReleaseUISounds()
{
    if (uiSounds_ == nullptr) {
        return;
    }
    if (CSAudio *audio = UIAudio()) {
        for (int i = 0; i < kUISounds; ++i) {
            audio->UnloadSound(uiSounds_[i].handle);
        }
    }
    uiSounds_.reset();
    ReleaseWordTable();
}

bool CSUIManager::PlayUISound(uint32_t id, uint8_t loop)
{
    // Ids past the table, and any before the sounds are loaded, play nothing.
    CSAudio *audio = UIAudio();
    if (audio == nullptr || id < kUIFirstSoundId || id > kUILastSoundId || uiSounds_ == nullptr) {
        return false;
    }
    audio->PlaySound(uiSounds_[(id - kUIFirstSoundId) / 10].handle, loop);
    TraceScreenSound(id, loop != 0);
    return true;
}

void CSUIManager::PlayBGM(const char *path)
{
    CSAudio *audio = UIAudio();
    if (audio == nullptr) {
        return;
    }
    if (musicHandle_ != kUINoMusic) {
        audio->UnloadSound(musicHandle_);
        musicHandle_ = kUINoMusic;
        musicFadeDurationMs_ = 0;
        TraceMusic("stop", "ui", musicName_.c_str());
    }
    musicHandle_ = audio->LoadSound(path, CSAudio::kStreamed, CSAudio::kInterfaceGroup, settings_.musicVolume);
    if (musicHandle_ == CSAudio::kNoSound) {
        musicHandle_ = kUINoMusic;
        return;
    }
    musicName_ = FileName(path);
    audio->PlaySound(musicHandle_, 1);
    TraceMusic("start", "ui", musicName_.c_str());
}

void CSUIManager::StopBGM(int32_t ms)
{
    if (musicHandle_ == kUINoMusic) {
        return;
    }
    if (ms <= 0) {
        if (CSAudio *audio = UIAudio()) {
            audio->UnloadSound(musicHandle_);
        }
        musicHandle_ = kUINoMusic;
        musicFadeDurationMs_ = 0;
        TraceMusic("stop", "ui", musicName_.c_str());
    } else {
        musicFadeElapsedMs_ = 0;
        musicFadeDurationMs_ = static_cast<uint32_t>(ms);
    }
}

void CSUIManager::StepMusicFade(uint32_t ms)
{
    CSAudio *audio = UIAudio();
    if (musicFadeDurationMs_ == 0 || musicHandle_ == kUINoMusic || audio == nullptr) {
        return;
    }
    const float v = audio->GetVolume(musicHandle_);
    const float f = std::clamp(static_cast<float>(musicFadeElapsedMs_) * v / static_cast<float>(musicFadeDurationMs_),
                               0.0f, v);
    audio->SetVolume(musicHandle_, v - f);
    if (v - f <= 0.0f) {
        audio->UnloadSound(musicHandle_);
        musicHandle_ = kUINoMusic;
        musicFadeDurationMs_ = 0;
        TraceMusic("stop", "ui", musicName_.c_str());
    } else {
        musicFadeElapsedMs_ += ms;
    }
}

void CSUIManager::SetMusicVolume(float volume)
{
    settings_.musicVolume = std::clamp(volume, 0.0f, 1.0f);
    // Without music the handle is the front-end's no-sound, which it ignores.
    if (CSAudio *audio = UIAudio()) {
        audio->SetBaseVolume(musicHandle_, settings_.musicVolume);
    }
    UI().setBGMVolume(settings_.musicVolume);
}

void CSUIManager::SetSoundVolume(float volume)
{
    settings_.soundVolume = std::clamp(volume, 0.0f, 1.0f);
    if (CSAudio *audio = UIAudio()) {
        audio->SetAllVolumes(settings_.soundVolume);
    }
    SetMusicVolume(settings_.musicVolume);
}

void CSUIManager::ResetVolumes()
{
    settings_ = UISettings{};
    SetSoundVolume(settings_.soundVolume);
}
