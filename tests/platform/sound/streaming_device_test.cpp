// The library with its streaming thread and with SDL's audio device: a looped stream fed
// by the thread plays without a gap, shutting down with voices playing joins the thread
// first, and SDL's disk driver records what the mixer played on the game's clock.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#include <unistd.h>

#include "sound_test_support.h"

namespace streaming_device_test {

namespace {

using namespace std::chrono_literals;

// Waits (bounded) until the stream holds `frames`; the thread fills it, not this test.
bool WaitBuffered(snd::Library *library, snd::VoiceId voice, size_t frames)
{
    const auto give_up = std::chrono::steady_clock::now() + 5s;
    while (library->Buffered(voice) < frames) {
        if (std::chrono::steady_clock::now() > give_up) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

TEST(StreamingThread, KeepsALoopedStreamFedWithoutAGap)
{
    snd::Library library;
    soundtest::StartOffline(&library, true);
    const std::vector<int16_t> ramp = soundtest::Ramp(30011);
    std::string error;
    const snd::VoiceId voice = library.CreateStreamed(soundtest::DeviceRateWav(ramp), &error);
    ASSERT_NE(voice, snd::kNoVoice) << error;
    ASSERT_TRUE(library.Play(voice, true));
    std::vector<int16_t> out;
    for (int step = 0; step < 60; ++step) {
        const size_t chunk = 2205 + static_cast<size_t>(step);
        ASSERT_TRUE(WaitBuffered(&library, voice, chunk)) << "the streaming thread fell behind";
        const std::vector<int16_t> part = soundtest::RenderFrames(&library, chunk);
        out.insert(out.end(), part.begin(), part.end());
        library.Update();
    }
    soundtest::ExpectRepeats(out, ramp);
}

TEST(StreamingThread, ShutdownWithEverythingPlayingIsClean)
{
    // Voices playing, the thread filling and another thread mixing while the library
    // goes away: the thread is joined before the voices are freed.
    for (int round = 0; round < 5; ++round) {
        auto library = std::make_unique<snd::Library>();
        soundtest::StartOffline(library.get(), true);
        std::string error;
        media::PcmFormat format{2, 22050, 16};
        for (int v = 0; v < 4; ++v) {
            const snd::VoiceId voice = library->CreateStreamed(
                media::MakeWav(format, media::Tone(format, 200.0 + 50 * v, 3000, 30000)), &error);
            library->Play(voice, true);
        }
        std::atomic<bool> mixing{true};
        std::thread mixer([&] {
            std::vector<int16_t> out(2 * 512);
            while (mixing.load()) {
                library->Render(out.data(), 512);
            }
        });
        std::this_thread::sleep_for(10ms);
        mixing = false;
        mixer.join();
        library->Shutdown();
        library.reset();
    }
}

class AudioDevice : public ::testing::Test {
protected:
    void Use(const char *driver)
    {
        setenv("SDL_AUDIODRIVER", driver, 1);
        snd::LibraryOptions options;
        options.deviceBufferFrames = 512;
        std::string error;
        if (!library.Start(options, &error) || !library.HasDevice()) {
            GTEST_SKIP() << "no " << driver << " audio: " << error;
        }
    }
    bool WaitSilent(snd::VoiceId voice)
    {
        const auto give_up = std::chrono::steady_clock::now() + 10s;
        while (library.IsPlaying(voice)) {
            if (std::chrono::steady_clock::now() > give_up) {
                return false;
            }
            std::this_thread::sleep_for(2ms);
        }
        return true;
    }
    snd::Library library;
};

TEST_F(AudioDevice, TheDummyDriverPlaysASoundToItsEnd)
{
    Use("dummy");
    media::PcmFormat format{1, 22050, 16};
    const std::vector<uint8_t> file = media::MakeWav(format, media::Tone(format, 600, 8000, 1100));
    std::string error;
    const snd::VoiceId voice = library.CreateStatic(file.data(), file.size(), &error);
    ASSERT_TRUE(library.Play(voice, false));
    EXPECT_TRUE(WaitSilent(voice));
}

TEST_F(AudioDevice, TheDiskDriverRecordsWhatWasPlayed)
{
    // On the game's clock, as a fixed-step run plays: 20 ticks of 16 ms are
    // mixed and recorded to the sample, however the machine's load stretches
    // the wall clock between them.
    const std::string path = std::string(RW_TEST_BINARY_DIR) + "/tests/disk_audio_" + std::to_string(getpid()) + ".raw";
    std::remove(path.c_str());
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    snd::LibraryOptions options;
    options.gameClockStepMs = 16;
    std::string error;
    if (!library.Start(options, &error) || !library.HasDevice()) {
        GTEST_SKIP() << "no disk audio: " << error;
    }
    media::PcmFormat format{2, snd::kDeviceRate, 16};
    const std::vector<int16_t> tone = media::Tone(format, 440, 12000, 4410);
    const std::vector<uint8_t> file = media::MakeWav(format, tone);
    const snd::VoiceId voice = library.CreateStatic(file.data(), file.size(), &error);
    ASSERT_TRUE(library.Play(voice, false));
    constexpr uint32_t kTicks = 20;
    for (uint32_t tick = 1; tick <= kTicks; ++tick) {
        library.MixUntil(tick * 16);
    }
    EXPECT_FALSE(library.IsPlaying(voice));
    library.Shutdown();

    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    std::vector<int16_t> recorded(bytes.size() / 2);
    std::memcpy(recorded.data(), bytes.data(), recorded.size() * 2);
    ASSERT_EQ(recorded.size() / 2, kTicks * 16u * snd::kDeviceRate / 1000u);
    // The tone whole from the first sample (its peak and its 440 Hz), then silence.
    const std::vector<int16_t> played(recorded.begin(), recorded.begin() + static_cast<std::ptrdiff_t>(tone.size()));
    EXPECT_EQ(played, tone);
    EXPECT_NEAR(soundtest::PeakOf(played), 12000, 10);
    EXPECT_NEAR(soundtest::PitchOf(played), 440.0, 10.0);  // 43 whole rises in its 0.1 s
    for (size_t i = tone.size(); i < recorded.size(); ++i) {
        ASSERT_EQ(recorded[i], 0) << "sample " << i << " after the tone";
    }
}

}  // namespace

}  // namespace streaming_device_test
