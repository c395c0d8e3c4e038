// The mixer on the game's clock: exactly the game's time is mixed, whatever the wall
// clock does; asked for SDL's disk driver, the recording holds exactly that, to the
// byte, the same bytes every run; a queue voice whose feeder lags is waited for, however
// long; a stream is refilled in step; with the dummy driver the mix goes nowhere, at once.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#include <unistd.h>

#include "sound_test_support.h"

namespace game_clock_test {

namespace {

using namespace std::chrono_literals;

// Offline, the mixer still moves with the game's time only.
TEST(GameClock, MixUntilMixesTheGamesTimeOnce)
{
    snd::Library library;
    snd::LibraryOptions options;
    options.openDevice = false;
    options.gameClockStepMs = 16;
    std::string error;
    ASSERT_TRUE(library.Start(options, &error)) << error;
    library.MixUntil(16);
    EXPECT_EQ(library.MixedFrames(), 705u);
    library.MixUntil(16);
    library.MixUntil(8);
    EXPECT_EQ(library.MixedFrames(), 705u);
    library.MixUntil(1440);
    EXPECT_EQ(library.MixedFrames(), 63504u);
    // Without the game's clock nothing is mixed this way.
    snd::Library plain;
    soundtest::StartOffline(&plain);
    plain.MixUntil(1000);
    EXPECT_EQ(plain.MixedFrames(), 0u);
}

// The dummy driver plays nothing: a long game-clock run does not wait for it.
TEST(GameClock, TheDummyDriverTakesNothingAndHoldsNothingBack)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    snd::Library library;
    snd::LibraryOptions options;
    options.gameClockStepMs = 16;
    std::string error;
    if (!library.Start(options, &error) || !library.HasDevice()) {
        unsetenv("SDL_AUDIODRIVER");
        GTEST_SKIP() << "no dummy audio: " << error;
    }
    // The mix never waits on the device: were it paced by the driver, this would not
    // return before a minute had passed; and none of the minute is kept for the driver.
    library.MixUntil(60 * 1000);
    EXPECT_EQ(library.MixedFrames(), 60u * snd::kDeviceRate);
    EXPECT_EQ(library.FramesHeldForDevice(), 0u) << "the dummy driver takes nothing";
    library.Shutdown();
    unsetenv("SDL_AUDIODRIVER");
}

class DiskOnGameClock : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = std::string(RW_TEST_BINARY_DIR) + "/tests/game_clock_" + std::to_string(getpid()) + ".raw";
        std::remove(path.c_str());
        setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
        setenv("SDL_AUDIODRIVER", "disk", 1);
    }
    void TearDown() override
    {
        std::remove(path.c_str());
        unsetenv("SDL_AUDIODRIVER");
    }
    bool Start(snd::Library *library)
    {
        snd::LibraryOptions options;
        options.gameClockStepMs = 16;
        std::string error;
        return library->Start(options, &error) && library->HasDevice();
    }
    std::vector<int16_t> Recorded() const
    {
        std::ifstream in(path, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<int16_t> samples(bytes.size() / 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    }
    std::string path;
};

// 90 ticks of 16 ms, the game's tick taking its time irregularly (as on a loaded
// machine): the recording is 1.44 s exactly, sample for sample the mix of that time.
TEST_F(DiskOnGameClock, RecordsExactlyTheGamesTimeTheSameEveryRun)
{
    const std::vector<int16_t> ramp = soundtest::Ramp(20000);
    std::vector<int16_t> runs[2];
    for (int run = 0; run < 2; ++run) {
        snd::Library library;
        if (!Start(&library)) {
            GTEST_SKIP() << "no disk audio";
        }
        std::string error;
        const std::vector<uint8_t> wav = soundtest::DeviceRateWav(ramp);
        const snd::VoiceId voice = library.CreateStatic(wav.data(), wav.size(), &error);
        ASSERT_TRUE(library.Play(voice, true));
        for (uint32_t tick = 1; tick <= 90; ++tick) {
            std::this_thread::sleep_for(std::chrono::milliseconds((tick * 7 + run * 13) % 23));
            library.MixUntil(tick * 16);
        }
        library.Shutdown();
        runs[run] = Recorded();
    }
    ASSERT_EQ(runs[0].size() * 2, 254016u) << "1.44 s of 44100 Hz 16-bit stereo";
    EXPECT_EQ(runs[0], runs[1]);
    soundtest::ExpectRepeats(runs[0], ramp);
}

// A queue voice whose feeder runs behind: the game's clock waits for it, so the
// recording holds every fed frame in order and no gap of silence.
TEST_F(DiskOnGameClock, AQueueVoiceThatLagsIsWaitedFor)
{
    snd::Library library;
    if (!Start(&library)) {
        GTEST_SKIP() << "no disk audio";
    }
    const snd::VoiceId voice = library.CreateQueue(200);
    ASSERT_TRUE(library.Play(voice, false));
    const std::vector<int16_t> fed = soundtest::Ramp(30000, 1);
    std::thread feeder([&] {
        size_t at = 0;
        while (at < fed.size() / 2) {
            std::this_thread::sleep_for(3ms);
            const size_t chunk = std::min<size_t>(700, fed.size() / 2 - at);
            at += library.QueueWrite(voice, fed.data() + at * 2, chunk);
        }
        library.QueueEnd(voice);
    });
    for (uint32_t tick = 1; tick <= 60; ++tick) {
        library.MixUntil(tick * 16);
    }
    feeder.join();
    library.Shutdown();
    const std::vector<int16_t> recorded = Recorded();
    ASSERT_EQ(recorded.size() / 2, 60u * 16u * 441u / 10u);
    for (size_t i = 0; i < fed.size() && i < recorded.size(); ++i) {
        ASSERT_EQ(recorded[i], fed[i]) << "sample " << i;
    }
}

// A queue voice whose feeder stops for six seconds halfway, longer than any patience
// a device could have: on the game's clock the mix waits for it all the same, so the
// recording holds every fed frame in order, then silence after the feed's end.
TEST_F(DiskOnGameClock, AQueueVoiceIsWaitedForHoweverLongItsFeederStalls)
{
    snd::Library library;
    if (!Start(&library)) {
        GTEST_SKIP() << "no disk audio";
    }
    const snd::VoiceId voice = library.CreateQueue(200);
    ASSERT_TRUE(library.Play(voice, false));
    const std::vector<int16_t> fed = soundtest::Ramp(20000, 3);
    const size_t fedFrames = fed.size() / 2;
    std::atomic<bool> mixed{false};  // a mix that went on without the feed takes no more
    std::thread feeder([&] {
        size_t at = 0;
        auto feedUpTo = [&](size_t end) {
            while (at < end && !mixed.load()) {
                const size_t taken = library.QueueWrite(voice, fed.data() + at * 2, std::min<size_t>(700, end - at));
                at += taken;
                if (taken == 0) {
                    std::this_thread::sleep_for(1ms);  // the ring is full: the mix takes some first
                }
            }
        };
        feedUpTo(fedFrames / 2);
        std::this_thread::sleep_for(6s);
        feedUpTo(fedFrames);
        library.QueueEnd(voice);
    });
    for (uint32_t tick = 1; tick <= 40; ++tick) {
        library.MixUntil(tick * 16);
    }
    mixed = true;
    feeder.join();
    library.Shutdown();
    const std::vector<int16_t> recorded = Recorded();
    ASSERT_EQ(recorded.size() / 2, 40u * 16u * 441u / 10u);
    for (size_t i = 0; i < recorded.size(); ++i) {
        ASSERT_EQ(recorded[i], i < fed.size() ? fed[i] : 0) << "sample " << i;
    }
}

// A looped stream on the game's clock: refilled by the mixing thread itself, it plays
// on without a gap however fast the game runs.
TEST_F(DiskOnGameClock, AStreamIsRefilledInStep)
{
    snd::Library library;
    if (!Start(&library)) {
        GTEST_SKIP() << "no disk audio";
    }
    const std::vector<int16_t> ramp = soundtest::Ramp(7000, 5);
    std::string error;
    const snd::VoiceId voice = library.CreateStreamed(soundtest::DeviceRateWav(ramp), &error);
    ASSERT_NE(voice, snd::kNoVoice) << error;
    ASSERT_TRUE(library.Play(voice, true));
    for (uint32_t tick = 1; tick <= 100; ++tick) {
        library.Update();
        library.MixUntil(tick * 16);
    }
    library.Shutdown();
    const std::vector<int16_t> recorded = Recorded();
    ASSERT_EQ(recorded.size() / 2, 70560u);
    soundtest::ExpectRepeats(recorded, ramp);
}

}  // namespace

}  // namespace game_clock_test
