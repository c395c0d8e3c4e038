// The movie player: any container and codecs libavformat and libavcodec read, opened by
// its content (never by its name). A decode thread demuxes and decodes; pictures are
// converted to X8R8G8B8 into a double buffer from which the main thread takes the newest
// frame that is due; the movie's sound plays as a queue voice of the sound library. The
// clock is the sound's (frames the mixer took; once all of it has played, wall time on
// from there, so pictures that outlast their sound play to their end), else wall time,
// or, for fixed-step runs, a clock the caller sets each tick. The sound's feed ends as
// soon as all of it is in the voice.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace snd {
class Library;
}

namespace mov {

struct PlayOptions {
    // The movie's sound plays through this library; null plays the pictures alone.
    snd::Library *sound = nullptr;
    // The caller sets the clock (SetClock) and Advance waits for the frame it makes due.
    // Meant with a sound library on the game's clock, whose mixer waits for the movie's
    // sound: as the sound's feed ends as soon as all of it is in the voice, and sound
    // that cannot be read without passing too many pictures is given up, the mixer never
    // waits on a decoder that waits for the game.
    bool externalClock = false;
};

class Player {
public:
    Player();
    ~Player();  // stops
    Player(const Player &) = delete;
    Player &operator=(const Player &) = delete;

    // Stops what plays, then opens the file and starts its decode thread. False with the
    // reason when the file cannot be opened or has no decodable video stream.
    bool Play(const std::string &path, const PlayOptions &options, std::string *error);
    // Stops at once and joins the decode thread; nothing when idle.
    void Stop();
    // True until the last frame's time has passed (a stream that breaks off ends at its
    // last good frame); false when idle.
    bool IsPlaying() const;

    // Main thread, once a tick. Under the external clock: milliseconds since Play.
    void SetClock(int64_t ms);
    // Publishes the newest frame that is due; under the external clock waits until the
    // decode thread has reached the first frame past the clock (or the end).
    void Advance();
    // Copies the published frame into `pixels` (rows of Width() X8R8G8B8 values, `pitch`
    // bytes apart) when it changed since the last copy.
    bool TakeFrame(uint32_t *pixels, size_t pitch);

    uint32_t Width() const;
    uint32_t Height() const;
    int64_t ClockMs() const;
    // Milliseconds of the published frame, -1 before the first.
    int64_t FrameTimeMs() const;
    uint32_t DamagedPackets() const;
    // The file broke off before its end (read error or truncation): playback ended at
    // the last good frame.
    bool EndedEarly() const;

    struct State;

private:
    std::unique_ptr<State> state_;
};

}  // namespace mov
