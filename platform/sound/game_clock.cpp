// The mixer on the game's clock (see sound.h): MixUntil mixes exactly the game's time;
// the recording in place of SDL's disk driver gets exactly that, a device that plays
// takes it as it comes.
#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "library_state.h"

namespace snd {

namespace {

// Mixed in parts of at most this many frames, the streams refilled before each.
constexpr size_t kMixPartFrames = kDeviceRate / 10;
// What a playing device may lag behind the game's sound; older sound is dropped.
constexpr size_t kMostHeldFrames = kDeviceRate;
// SDL's disk driver's file when SDL_DISKAUDIOFILE names none.
constexpr const char *kDiskDriverDefaultFile = "sdlaudio.raw";

// Waits, the mixer lock held through `lock`, until every playing queue voice holds
// `frames` (or all it can) or its feed has ended. The wait is on the feeders alone, never
// on the wall clock: however slow the machine, the mix holds the same samples. A feeder
// ends its feed when it can give no more before the game moves on (the movie player
// does, see movie.h), so the wait always ends.
void WaitForQueues(Library::State &state, std::unique_lock<std::mutex> &lock, size_t frames)
{
    auto starved = [frames](const Voice &voice) {
        return voice.kind == VoiceKind::Queue && voice.state == PlayState::Playing && !voice.feedEnded &&
               voice.ring.Count() < std::min(frames, voice.ring.Capacity());
    };
    state.queueFed.wait(lock, [&state, &starved] {
        return std::none_of(state.voices.begin(), state.voices.end(),
                            [&starved](const auto &entry) { return starved(*entry.second); });
    });
}

// Keeps mixed frames for a device that plays them.
void HandToDevice(Library::State &state, const int16_t *samples, size_t frames)
{
    std::lock_guard<std::mutex> lock(state.outLock);
    if (!state.deviceTakesMix) {
        return;
    }
    const size_t most = kMostHeldFrames * kDeviceChannels;
    if (state.out.size() - state.outRead + frames * kDeviceChannels > most) {
        state.outRead = state.out.size();  // a device far behind starts again from now
    }
    if (state.outRead > 0 && state.outRead * 2 >= state.out.size()) {
        state.out.erase(state.out.begin(), state.out.begin() + static_cast<std::ptrdiff_t>(state.outRead));
        state.outRead = 0;
    }
    state.out.insert(state.out.end(), samples, samples + frames * kDeviceChannels);
}

}  // namespace

bool DiskDriverAsked()
{
    const char *driver = std::getenv("SDL_AUDIODRIVER");
    return driver != nullptr && strcasecmp(driver, "disk") == 0;
}

bool OpenRecording(Library::State &state, std::string *error)
{
    const char *named = std::getenv("SDL_DISKAUDIOFILE");
    const char *path = named != nullptr && named[0] != '\0' ? named : kDiskDriverDefaultFile;
    state.recording = std::fopen(path, "wb");
    if (state.recording == nullptr) {
        if (error != nullptr) {
            *error = std::string("sound: cannot write the recording ") + path + ": " + std::strerror(errno);
        }
        return false;
    }
    return true;
}

void CloseRecording(Library::State &state)
{
    if (state.recording != nullptr) {
        std::fclose(state.recording);
        state.recording = nullptr;
    }
}

void Library::MixUntil(uint64_t gameMs)
{
    State &s = *state_;
    if (s.options.gameClockStepMs == 0) {
        return;
    }
    const uint64_t target = gameMs * kDeviceRate / 1000;
    std::vector<int16_t> part;
    while (s.mixedFrames < target) {
        const size_t frames = static_cast<size_t>(std::min<uint64_t>(target - s.mixedFrames, kMixPartFrames));
        FillStreams();
        part.resize(frames * kDeviceChannels);
        {
            std::unique_lock<std::mutex> lock(s.mixLock);
            WaitForQueues(s, lock, frames);
            MixVoices(s, part.data(), frames);
        }
        s.mixedFrames += frames;
        if (s.recording != nullptr) {
            // Samples in the machine's order, as SDL's disk driver writes AUDIO_S16SYS.
            std::fwrite(part.data(), sizeof(int16_t), part.size(), s.recording);
        } else {
            HandToDevice(s, part.data(), frames);
        }
    }
}

uint64_t Library::MixedFrames() const { return state_->mixedFrames; }

size_t Library::FramesHeldForDevice() const
{
    State &s = *state_;
    std::lock_guard<std::mutex> lock(s.outLock);
    return (s.out.size() - s.outRead) / kDeviceChannels;
}

void FillDeviceFromGameClock(Library::State &state, int16_t *out, size_t frameCount)
{
    const size_t wanted = frameCount * kDeviceChannels;
    std::lock_guard<std::mutex> lock(state.outLock);
    const size_t taken = std::min(wanted, state.out.size() - state.outRead);
    std::copy_n(state.out.begin() + static_cast<std::ptrdiff_t>(state.outRead), taken, out);
    std::fill(out + taken, out + wanted, int16_t{0});
    state.outRead += taken;
}

}  // namespace snd
