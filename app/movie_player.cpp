// The application's movie player over the platform's: the pause of the game's sound,
// the movie texture's life, and the clock handed over each tick.
#include "app/movie_player.h"

#include <sys/stat.h>

#include <cstdio>

#include "app/application.h"
#include "app/audio.h"
#include "app/clock.h"
#include "app/debug.h"
#include "app/fatal.h"
#include "app/locks.h"
#include "app/movie_frame.h"
#include "app/path.h"

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

void CSMoviePlayer::Step(uint32_t nowMs)
{
    if (!active_) {
        return;
    }
    Update(nowMs);
    CSRenderLockGuard lock;
    Upload();
}

void PlayMovie(const char *path)
{
    CSMoviePlayer *player = g_pApplication != nullptr ? g_pApplication->moviePlayer : nullptr;
    if (player == nullptr || path == nullptr) {
        return;
    }
    const std::string host = ResolveGamePath(path);
    std::string error;
    if (player->Play(host, g_pApplication->audio, IsFixedStepClock(), timeGetTime(), &error)) {
        return;
    }
    DebugPrint("PlayMovie: %s\n", error.c_str());
    // Named as a player finds it under the data tree; a movie that is there
    // is reported with why it cannot be played, not as missing.
    const std::string gamePath = std::string(path + DataRootPrefixLength(path));
    struct stat info {};
    if (stat(host.c_str(), &info) == 0) {
        const std::string prefix = host + ": ";
        NoteUnreadableFile(gamePath.c_str(),
                           error.compare(0, prefix.size(), prefix) == 0 ? error.substr(prefix.size()) : error);
    }
    // The game goes on without the movie: its screen or event ends as when a
    // movie ends.
    RaiseFatalErrorGoingOn(gamePath.c_str());
}

void StopMovie()
{
    if (g_pApplication != nullptr && g_pApplication->moviePlayer != nullptr) {
        g_pApplication->moviePlayer->Stop();
    }
}

bool IsMoviePlaying()
{
    return g_pApplication != nullptr && g_pApplication->moviePlayer != nullptr &&
           g_pApplication->moviePlayer->IsPlaying();
}
