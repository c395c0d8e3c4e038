// The sound library: one output at 44100 Hz, 16-bit, stereo, fed by a mixer of voices.
// Static voices hold their sound decoded whole; streamed voices are decoded ahead by the
// library's streaming thread into ring buffers; queue voices are fed by their owner (the
// movie player) and stay outside the pause of the game's voices. Without an audio device
// (or when asked for none) the mixer is run offline by Render.
//
// On the game's clock (LibraryOptions::gameClockStepMs, for runs whose clock moves by a
// fixed step) the mixer does not follow the device: the caller says how far the game's
// time has come (MixUntil) and exactly that much sound is mixed, the streams refilled
// first and the movie's sound waited for, so every run of one script mixes the same
// samples. A device plays what was mixed as it comes; asked for SDL's "disk" driver
// (SDL_AUDIODRIVER=disk, SDL_DISKAUDIOFILE), the library writes the recording itself, in
// the disk driver's form (raw 16-bit stereo at 44100 Hz), exactly the mixed samples: SDL's
// own driver writes at the wall clock's pace and adds silence while it opens and closes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace snd {

constexpr uint32_t kDeviceRate = 44100;
constexpr uint32_t kDeviceChannels = 2;
constexpr uint32_t kFrameBytes = 4;  // one stereo frame of two 16-bit samples

// What the mix never reaches, a fifth of a decibel below full scale: sounds that add
// up past 30000 are turned down together by the mixer's limiter (at once, then coming
// back over a tenth of a second), never cut flat at the format's limit.
constexpr int32_t kMixCeiling = 32000;

// Library volumes are hundredths of a decibel of attenuation, -10000 (silence) to 0.
constexpr int32_t kMinMillibels = -10000;
constexpr int32_t kMaxMillibels = 0;

// The volume law: 1000 x log2(v), -10000 for 0 (or anything not above 0), clamped to
// -10000..0 so a volume above 1 never amplifies.
int32_t MillibelsFromVolume(float volume);
// Amplitude factor of a library volume: 10^(mB / 2000); exactly 0 at -10000.
double GainFromMillibels(int32_t millibels);

// A WAV file's sound as found in the file, before conversion to the device format.
struct WavInfo {
    uint16_t formatTag = 0;  // 1 PCM, 2 MS ADPCM, 0x11 IMA ADPCM (extensible resolved)
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint16_t bitsPerSample = 0;
    uint16_t blockAlign = 0;
    size_t dataOffset = 0;  // of the sample data in the file
    size_t dataSize = 0;
};
// Checks every size and field; false with a diagnostic for anything truncated,
// malformed or of a form this library does not play.
bool ParseWav(const uint8_t *file, size_t size, WavInfo *info, std::string *error);
// The whole sound in the device format (interleaved stereo frames at 44100 Hz).
bool DecodeWav(const uint8_t *file, size_t size, std::vector<int16_t> *frames, std::string *error);

using VoiceId = uint32_t;
constexpr VoiceId kNoVoice = 0;

struct LibraryOptions {
    bool openDevice = true;        // false: offline, the caller runs Render
    bool streamingThread = true;   // false: streams are refilled by Update / FillStreams
    uint32_t deviceBufferFrames = 1024;
    uint32_t streamRingMs = 1000;  // ring buffer of each streamed voice
    // Non-zero: the game's clock moves by this many milliseconds a tick and paces the
    // mixer (MixUntil); the streams are then refilled by the caller's thread (no
    // streaming thread).
    uint32_t gameClockStepMs = 0;
};

class Library {
public:
    Library();
    ~Library();
    Library(const Library &) = delete;
    Library &operator=(const Library &) = delete;

    // Starts the streaming thread and opens the device. A device that cannot be opened
    // leaves the library working offline: false with the reason, yet usable.
    bool Start(const LibraryOptions &options, std::string *error);
    // Closes the device, joins the streaming thread and releases every voice.
    void Shutdown();
    bool HasDevice() const;

    // kNoVoice with a diagnostic when the WAV is refused.
    VoiceId CreateStatic(const uint8_t *wav, size_t size, std::string *error);
    VoiceId CreateStreamed(std::vector<uint8_t> wav, std::string *error);
    // A voice its owner feeds with device-format frames; not paused by PausePlaying.
    VoiceId CreateQueue(uint32_t capacityMs);
    void Destroy(VoiceId voice);

    // Starts from the beginning, also when already playing; false for an unknown voice.
    bool Play(VoiceId voice, bool loop);
    void Stop(VoiceId voice);
    bool IsPlaying(VoiceId voice) const;
    void SetVolume(VoiceId voice, int32_t millibels);  // clamped to -10000..0
    int32_t GetVolume(VoiceId voice) const;
    // Decoded bytes of a static voice, ring bytes of a streamed or queue voice.
    size_t MemoryUsed(VoiceId voice) const;
    // Frames waiting in a streamed or queue voice's ring.
    size_t Buffered(VoiceId voice) const;

    // Pauses every playing voice (queue voices excepted) and returns them; Resume plays
    // on those of them that are still paused, from where they stood.
    std::vector<VoiceId> PausePlaying();
    void Resume(const std::vector<VoiceId> &voices);
    // Holds one playing voice where it stands (Resume plays it on); nothing
    // for a voice that is not playing.
    void Pause(VoiceId voice);

    // Queue voices: frames accepted (what fits), room left, the end of the feed, and
    // the frames the mixer has taken since Play.
    size_t QueueWrite(VoiceId voice, const int16_t *frames, size_t count);
    size_t QueueSpace(VoiceId voice) const;
    void QueueEnd(VoiceId voice);
    uint64_t FramesPlayed(VoiceId voice) const;
    // Ended, fed to the end and all of it played (or not playing at all).
    bool QueueDrained(VoiceId voice) const;

    // The per-frame work: wakes the streaming thread (or refills the streams itself).
    void Update();
    // On the game's clock: mixes the sound of the game's time up to `gameMs` (from 0 at
    // Start) that was not mixed yet, and hands it to the device or the recording.
    // Playing queue voices are waited for until they hold what is mixed or their feed
    // has ended, however long that takes: the wall clock has no say, so a slow or loaded
    // machine mixes the same samples. A queue voice's feeder therefore ends its feed
    // when it can give no more before the game's time moves on. Nothing without a game
    // clock.
    void MixUntil(uint64_t gameMs);
    // Frames mixed on the game's clock since Start.
    uint64_t MixedFrames() const;
    // Frames mixed on the game's clock and still waiting for a playing device to take them.
    size_t FramesHeldForDevice() const;
    // Refills every playing stream; what the streaming thread does each time it wakes.
    void FillStreams();
    // Mixes `frameCount` device frames into `out`; the device callback runs this.
    void Render(int16_t *out, size_t frameCount);

    struct State;

private:
    std::unique_ptr<State> state_;
};

}  // namespace snd
