// What a playing movie holds: the demuxer and decoders (decode thread only, once the
// thread runs), the double buffer and the clock (under the lock), and the thread.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "movie/movie.h"
#include "sound/sound.h"

namespace mov {

using Clock = std::chrono::steady_clock;

// The back buffer: free, being written by the decode thread, or holding a frame that
// waits for its time.
enum class BackState { Empty, Writing, Ready };

struct Player::State {
    // Set up by Play before the thread starts; the thread's alone afterwards.
    std::string path;
    std::FILE *file = nullptr;
    AVIOContext *io = nullptr;
    AVFormatContext *format = nullptr;
    AVCodecContext *video = nullptr;
    AVCodecContext *audio = nullptr;
    int videoIndex = -1;
    int audioIndex = -1;
    SwsContext *scaler = nullptr;
    SwrContext *resampler = nullptr;
    int64_t videoStart = AV_NOPTS_VALUE;  // in the stream's time base
    int64_t frameMs = 40;
    int64_t durationMs = 0;               // the container's, 0 when unknown
    uint32_t width = 0;
    uint32_t height = 0;

    snd::Library *sound = nullptr;
    snd::VoiceId voice = snd::kNoVoice;
    bool externalClock = false;
    Clock::time_point startWall;

    std::thread thread;
    std::atomic<bool> stop{false};
    std::atomic<uint32_t> damaged{0};

    // Under lock.
    mutable std::mutex lock;
    std::condition_variable changed;
    bool active = false;          // between Play and Stop
    std::vector<uint32_t> buffers[2];
    int front = 0;
    BackState back = BackState::Empty;
    int64_t backMs = 0;
    int64_t frontMs = -1;
    uint64_t frontSerial = 0;
    uint64_t takenSerial = 0;
    bool finished = false;        // the decode thread has given all it will
    bool endedEarly = false;
    int64_t endMs = 0;
    int64_t externalMs = 0;
    // The sound's clock until its voice has played out; wall time on from there.
    mutable bool audioClockOver = false;
    mutable int64_t audioOverMs = 0;
    mutable int64_t audioOverWall = 0;

    int64_t ClockLocked() const;
    void Publish();  // back to front (lock held)
};

// Opens the file by its content and sets up the streams (movie_open.cpp).
bool OpenMovie(Player::State &state, const std::string &path, std::string *error);
void CloseMovie(Player::State &state);
// The decode thread's body (decode_thread.cpp).
void DecodeMovie(Player::State *state);
// Takes libav's own log lines off standard error (libav_log.cpp): they become the
// platform's diagnostic lines. Once, before libav is first used.
void RouteLibavLog();

}  // namespace mov
