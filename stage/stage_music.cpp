// The stage's music (see stage_music.h).
#include "stage/stage_music.h"

#include <algorithm>
#include <cmath>

#include "app/trace.h"

namespace {

std::string FileNameOf(const std::string &path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void TraceMusic(const char *what, const char *kind, const char *name)
{
    game::TraceLine("music").Word(what).Word(kind).Word(name);
}

void CSStageMusic::Trace(const char *what) const
{
    if (handle_ != SoundPort::kNoSound) {
        TraceMusic(what, piece_ == kMusicEvent ? "event" : "stage", name_.c_str());
    }
}

void CSStageMusic::ApplyVolume() { port_.SetVolume(handle_, volume_ * level_); }

void CSStageMusic::End()
{
    if (handle_ != SoundPort::kNoSound) {
        Trace("stop");
        port_.Unload(handle_);
    }
    handle_ = SoundPort::kNoSound;
    kind_ = kMusicNone;
    piece_ = kMusicNone;
    fade_ = Fade::None;
    level_ = 1.0f;
    name_.clear();
}

void CSStageMusic::Start(const std::string &path, int32_t kind, int32_t fadeInMs)
{
    End();  // no fade, at full level
    if (fadeInMs > 0) {
        // A fade-in starts from silence.
        fade_ = Fade::In;
        fadeMs_ = static_cast<uint32_t>(fadeInMs);
        fadeElapsed_ = 0;
        level_ = 0.0f;
    }
    handle_ = port_.Load(path.c_str(), SoundPort::kStreamed, kStageMusicGroup, volume_ * level_);
    if (handle_ == SoundPort::kNoSound) {
        fade_ = Fade::None;
        level_ = 1.0f;
        return;  // missing music plays nothing
    }
    kind_ = kind;
    piece_ = kind;
    name_ = FileNameOf(path);
    ApplyVolume();
    port_.Play(handle_, true);
    Trace("start");
    if (paused_) {
        port_.Pause(handle_);  // started under a pause: it waits for the resume
    }
}

void CSStageMusic::PlayStageBGM()
{
    if (stageId_ == 0) {
        End();
        return;
    }
    Start(StageMusicPath(stageId_), kMusicStage, 0);
}

void CSStageMusic::PlayEventBGM(int32_t fadeMs, int32_t number) { Start(EventMusicPath(number), kMusicEvent, fadeMs); }

void CSStageMusic::FadeInStageBGM()
{
    if (stageId_ == 0) {
        End();
        return;
    }
    Start(StageMusicPath(stageId_), kMusicStage, kStageMusicFadeInMs);
}

void CSStageMusic::StopBGM(int32_t fadeMs)
{
    if (kind_ == kMusicNone) {
        return;
    }
    if (fadeMs <= 0) {
        End();
        return;
    }
    kind_ = kMusicFading;
    fade_ = Fade::Out;
    fadeMs_ = static_cast<uint32_t>(fadeMs);
    fadeElapsed_ = 0;
    fadeFrom_ = level_;
}

void CSStageMusic::PauseBGM()
{
    if (paused_) {
        return;
    }
    paused_ = true;
    port_.Pause(handle_);
    Trace("pause");
}

void CSStageMusic::ResumeBGM()
{
    if (!paused_) {
        return;
    }
    paused_ = false;
    port_.Resume(handle_);
    Trace("resume");
}

void CSStageMusic::SetBGMVolume(float volume)
{
    volume_ = std::isfinite(volume) ? std::clamp(volume, 0.0f, 1.0f) : 1.0f;
    ApplyVolume();
}

void CSStageMusic::Update(uint32_t ms)
{
    if (paused_ || fade_ == Fade::None || handle_ == SoundPort::kNoSound) {
        return;
    }
    fadeElapsed_ = fadeElapsed_ + std::min(ms, fadeMs_ - std::min(fadeElapsed_, fadeMs_));
    const float share = fadeMs_ > 0 ? static_cast<float>(fadeElapsed_) / static_cast<float>(fadeMs_) : 1.0f;
    if (fade_ == Fade::In) {
        level_ = share;
        if (fadeElapsed_ >= fadeMs_) {
            fade_ = Fade::None;
            level_ = 1.0f;
        }
        ApplyVolume();
        return;
    }
    level_ = fadeFrom_ * (1.0f - share);
    if (fadeElapsed_ >= fadeMs_ || level_ <= 0.0f) {
        End();
    } else {
        ApplyVolume();
    }
}

void CSStageMusic::Release()
{
    End();
    paused_ = false;
}
