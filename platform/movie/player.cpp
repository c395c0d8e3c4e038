// The movie player's main-thread side: starting and stopping the decode thread, the
// clock, publishing the frame that is due and handing it out.
#include <cstring>

#include "movie_state.h"

namespace mov {

namespace {

// Sound the movie's voice holds ahead of the mixer.
constexpr uint32_t kSoundAheadMs = 1000;

int64_t WallMs(const Player::State &state)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - state.startWall).count();
}

}  // namespace

int64_t Player::State::ClockLocked() const
{
    if (externalClock) {
        return externalMs;
    }
    const int64_t wall = WallMs(*this);
    if (voice == snd::kNoVoice) {
        return wall;
    }
    if (!audioClockOver) {
        if (!sound->QueueDrained(voice)) {
            return static_cast<int64_t>(sound->FramesPlayed(voice) * 1000 / snd::kDeviceRate);
        }
        // The sound has played out: time goes on from where it stopped.
        audioClockOver = true;
        audioOverMs = static_cast<int64_t>(sound->FramesPlayed(voice) * 1000 / snd::kDeviceRate);
        audioOverWall = wall;
    }
    return audioOverMs + (wall - audioOverWall);
}

void Player::State::Publish()
{
    front = 1 - front;
    back = BackState::Empty;
    frontMs = backMs;
    ++frontSerial;
    changed.notify_all();
}

Player::Player() : state_(std::make_unique<State>()) {}

Player::~Player() { Stop(); }

bool Player::Play(const std::string &path, const PlayOptions &options, std::string *error)
{
    Stop();
    State &s = *state_;
    s.sound = options.sound;
    s.externalClock = options.externalClock;
    s.stop = false;
    s.damaged = 0;
    if (!OpenMovie(s, path, error)) {
        CloseMovie(s);
        return false;
    }
    if (s.audioIndex >= 0) {
        s.voice = s.sound->CreateQueue(kSoundAheadMs);
        s.sound->Play(s.voice, false);
    }
    {
        std::lock_guard<std::mutex> guard(s.lock);
        for (auto &buffer : s.buffers) {
            buffer.assign(static_cast<size_t>(s.width) * s.height, 0);
        }
        s.front = 0;
        s.back = BackState::Empty;
        s.frontMs = -1;
        s.frontSerial = 0;
        s.takenSerial = 0;
        s.finished = false;
        s.endedEarly = false;
        s.endMs = 0;
        s.externalMs = 0;
        s.audioClockOver = false;
        s.startWall = Clock::now();
        s.active = true;
    }
    s.thread = std::thread(DecodeMovie, &s);
    return true;
}

void Player::Stop()
{
    State &s = *state_;
    if (s.thread.joinable()) {
        {
            std::lock_guard<std::mutex> guard(s.lock);
            s.stop = true;
        }
        s.changed.notify_all();
        s.thread.join();
    }
    {
        std::lock_guard<std::mutex> guard(s.lock);
        if (!s.active) {
            return;
        }
        s.active = false;
    }
    if (s.voice != snd::kNoVoice) {
        s.sound->Destroy(s.voice);
        s.voice = snd::kNoVoice;
    }
    CloseMovie(s);
}

bool Player::IsPlaying() const
{
    const State &s = *state_;
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.active) {
        return false;
    }
    return !(s.finished && s.back != BackState::Ready && s.ClockLocked() >= s.endMs);
}

void Player::SetClock(int64_t ms)
{
    State &s = *state_;
    std::lock_guard<std::mutex> guard(s.lock);
    s.externalMs = ms;
    s.changed.notify_all();
}

void Player::Advance()
{
    State &s = *state_;
    std::unique_lock<std::mutex> guard(s.lock);
    if (!s.active) {
        return;
    }
    const int64_t now = s.ClockLocked();
    if (!s.externalClock) {
        if (s.back == BackState::Ready && s.backMs <= now) {
            s.Publish();
        }
        return;
    }
    // Fixed steps: the frame shown is exactly the last one whose time has come.
    while (true) {
        if (s.back == BackState::Ready) {
            if (s.backMs > now) {
                return;
            }
            s.Publish();
            continue;
        }
        if (s.finished) {
            return;
        }
        s.changed.wait(guard);
    }
}

bool Player::TakeFrame(uint32_t *pixels, size_t pitch)
{
    State &s = *state_;
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.active || s.frontSerial == s.takenSerial) {
        return false;
    }
    const uint32_t *source = s.buffers[s.front].data();
    for (uint32_t y = 0; y < s.height; ++y) {
        std::memcpy(reinterpret_cast<uint8_t *>(pixels) + y * pitch, source + static_cast<size_t>(y) * s.width,
                    static_cast<size_t>(s.width) * 4);
    }
    s.takenSerial = s.frontSerial;
    return true;
}

uint32_t Player::Width() const { return state_->width; }
uint32_t Player::Height() const { return state_->height; }

int64_t Player::ClockMs() const
{
    std::lock_guard<std::mutex> guard(state_->lock);
    return state_->active ? state_->ClockLocked() : 0;
}

int64_t Player::FrameTimeMs() const
{
    std::lock_guard<std::mutex> guard(state_->lock);
    return state_->frontMs;
}

uint32_t Player::DamagedPackets() const { return state_->damaged.load(); }

bool Player::EndedEarly() const
{
    std::lock_guard<std::mutex> guard(state_->lock);
    return state_->endedEarly;
}

}  // namespace mov
