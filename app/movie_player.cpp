// The application's movie player over the platform's: the pause of the game's sound,
// the movie texture's life, and the clock handed over each tick.
#include "app/movie_player.h"

#include "app/audio.h"
#include "app/movie_frame.h"

CSMoviePlayer::~CSMoviePlayer() { Stop(); }

bool CSMoviePlayer::Play(const std::string &path, CSAudio *audio, bool fixedStep, uint32_t nowMs, std::string *error)
{
    Stop();
    mov::PlayOptions options;
    options.externalClock = fixedStep;
    // The movie's sound needs a device to play on; without one the pictures keep time.
    options.sound = audio != nullptr && audio->HasDevice() ? audio->Library() : nullptr;
    if (!player_.Play(path, options, error)) {
        return false;
    }
    raster_ = game::CreateMovieRaster(player_.Width(), player_.Height());
    if (raster_ == nullptr) {
        player_.Stop();
        if (error != nullptr) {
            *error = path + ": no texture for its pictures";
        }
        return false;
    }
    audio_ = audio;
    if (audio_ != nullptr) {
        audio_->PauseForMovie();
    }
    fixedStep_ = fixedStep;
    startMs_ = nowMs;
    active_ = true;
    return true;
}

void CSMoviePlayer::Stop()
{
    if (!active_) {
        return;
    }
    player_.Stop();
    if (raster_ != nullptr) {
        RwRasterDestroy(raster_);
        raster_ = nullptr;
    }
    if (audio_ != nullptr) {
        audio_->ResumeAfterMovie();
        audio_ = nullptr;
    }
    active_ = false;
}

bool CSMoviePlayer::IsPlaying() const { return active_ && player_.IsPlaying(); }

void CSMoviePlayer::Update(uint32_t nowMs)
{
    if (!active_) {
        return;
    }
    if (fixedStep_) {
        player_.SetClock(static_cast<int64_t>(nowMs - startMs_));
    }
    player_.Advance();
}

void CSMoviePlayer::Upload()
{
    if (active_) {
        game::UploadMovieFrame(&player_, raster_);
    }
}

void CSMoviePlayer::Draw(RwCamera *camera) { game::DrawMovieFrame(camera, raster_); }
