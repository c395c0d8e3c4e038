// CSMoviePlayer, the application's movie player: plays a movie file into the movie texture,
// pauses the game's sound for its length (the movie's own sound plays beside), and
// hands the render frame the picture to draw in place of the stage scene.
#pragma once

#include <cstdint>
#include <string>

#include "movie/movie.h"
#include "rwcore.h"

class CSAudio;

class CSMoviePlayer {
public:
    CSMoviePlayer() = default;
    ~CSMoviePlayer();
    CSMoviePlayer(const CSMoviePlayer &) = delete;
    CSMoviePlayer &operator=(const CSMoviePlayer &) = delete;

    // `audio` may be null (no sound front-end). With `fixedStep` the movie's clock is the
    // game clock given to Update, and each Update waits for the frame that is due.
    // False with the reason (naming the file) when it cannot be played; the game's sound
    // is then left as it was.
    bool Play(const std::string &path, CSAudio *audio, bool fixedStep, uint32_t nowMs, std::string *error);
    // Stops at once (the decode thread joined), frees the texture and resumes exactly
    // the voices the movie paused. Nothing when idle.
    void Stop();
    bool IsPlaying() const;
    bool IsActive() const { return active_; }

    // Once a tick, before the frame is drawn: the clock and the frame that is due.
    void Update(uint32_t nowMs);
    // Copies the due picture into the texture; the caller holds the render lock.
    void Upload();
    // Inside the camera update, in place of the stage scene.
    void Draw(RwCamera *camera);

    // Once a tick: the clock, then the due picture into the texture under the render lock.
    void Step(uint32_t nowMs);

    RwRaster *Raster() const { return raster_; }
    mov::Player *Player() { return &player_; }

private:
    mov::Player player_;
    RwRaster *raster_ = nullptr;
    CSAudio *audio_ = nullptr;
    bool active_ = false;
    bool fixedStep_ = false;
    uint32_t startMs_ = 0;
};

// The movie services of the application (full path of the movie file). A movie that
// cannot be played raises the fatal report with its game path (and, when the file is
// there, why it cannot be played); the game goes on without it (before the title; after
// it the fatal report returns the game to the title), its screen or event ending as
// when a movie ends.
void PlayMovie(const char *path);
// Stops the movie and resumes the game's sound; harmless when nothing plays.
void StopMovie();
bool IsMoviePlaying();
