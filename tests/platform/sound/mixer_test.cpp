// The mixer run offline: levels under the volume law, summing, the limiter, looping
// static and streamed voices without a gap, restart, stop, the pause around a movie,
// queue voices and memory figures.
#include <gtest/gtest.h>

#include "sound_test_support.h"

namespace mixer_test {

namespace {

using soundtest::RenderFrames;
using soundtest::RenderMs;

// A constant level on every sample: what comes out is the level times the gain.
std::vector<uint8_t> Level(int16_t value, size_t frames)
{
    return soundtest::DeviceRateWav(std::vector<int16_t>(frames * 2, value));
}

snd::VoiceId Static(snd::Library *library, const std::vector<uint8_t> &file)
{
    std::string error;
    const snd::VoiceId voice = library->CreateStatic(file.data(), file.size(), &error);
    EXPECT_NE(voice, snd::kNoVoice) << error;
    return voice;
}

snd::VoiceId Streamed(snd::Library *library, const std::vector<uint8_t> &file)
{
    std::string error;
    const snd::VoiceId voice = library->CreateStreamed(file, &error);
    EXPECT_NE(voice, snd::kNoVoice) << error;
    return voice;
}

TEST(Mixer, LevelsFollowTheVolumeLaw)
{
    struct Case {
        float volume;
        int expected;  // 20000 x 10^(1000 x log2(v) / 2000)
    } const cases[] = {{1.0f, 20000}, {0.5f, 6325}, {0.01f, 10}, {0.0f, 0}};
    for (const Case &c : cases) {
        snd::Library library;
        soundtest::StartOffline(&library);
        const snd::VoiceId voice = Static(&library, Level(20000, 4410));
        library.SetVolume(voice, snd::MillibelsFromVolume(c.volume));
        ASSERT_TRUE(library.Play(voice, false));
        const std::vector<int16_t> out = RenderMs(&library, 50);
        EXPECT_NEAR(out[100], c.expected, 1) << "volume " << c.volume;
        EXPECT_NEAR(out[101], c.expected, 1);
    }
}

TEST(Mixer, VolumesAreClampedAndKept)
{
    snd::Library library;
    soundtest::StartOffline(&library);
    const snd::VoiceId voice = Static(&library, Level(1000, 100));
    EXPECT_EQ(library.GetVolume(voice), 0);
    library.SetVolume(voice, 700);  // never louder than the sound itself
    EXPECT_EQ(library.GetVolume(voice), 0);
    library.SetVolume(voice, -12000);
    EXPECT_EQ(library.GetVolume(voice), -10000);
    library.SetVolume(voice, -2000);
    EXPECT_EQ(library.GetVolume(voice), -2000);
    EXPECT_EQ(library.GetVolume(voice + 100), -10000);  // unknown voice: silent
}

TEST(Mixer, VoicesSumSampleForSample)
{
    snd::Library library;
    soundtest::StartOffline(&library);
    const snd::VoiceId a = Static(&library, Level(12000, 1000));
    const snd::VoiceId b = Static(&library, Level(9000, 500));
    const snd::VoiceId c = Static(&library, Level(-30000, 200));
    const snd::VoiceId d = Static(&library, Level(-10000, 100));
    for (snd::VoiceId v : {a, b, c, d}) {
        library.Play(v, false);
    }
    const std::vector<int16_t> out = RenderFrames(&library, 1200);
    EXPECT_EQ(out[0], -19000);         // 12000 + 9000 - 30000 - 10000
    EXPECT_EQ(out[2 * 150], -9000);    // 12000 + 9000 - 30000
    EXPECT_EQ(out[2 * 300], 21000);    // 12000 + 9000
    EXPECT_EQ(out[2 * 700], 12000);
    EXPECT_EQ(out[2 * 1100], 0);       // all ended
    EXPECT_FALSE(library.IsPlaying(a));
}

// Two in-phase tones of 25000 (crests of 51000 together with a quiet level of 1000)
// for half a second: the loud part comes out turned down as a whole, below the ceiling,
// a rising wave still rising and every crest after the first at the same height; the
// quiet level then comes back smoothly to what it is. The same samples whatever the
// sizes of the mixed parts.
TEST(Mixer, MixesPastFullScaleAreTurnedDownNotCutFlat)
{
    media::PcmFormat format;
    format.channels = 2;
    format.rate = snd::kDeviceRate;
    format.bits = 16;
    const std::vector<int16_t> tone = media::Tone(format, 220.0, 25000, snd::kDeviceRate / 2);
    const std::vector<uint8_t> toneWav = media::MakeWav(format, tone);
    const size_t total = 3 * snd::kDeviceRate;
    std::vector<int16_t> runs[2];
    for (int run = 0; run < 2; ++run) {
        snd::Library library;
        soundtest::StartOffline(&library);
        const snd::VoiceId quiet = Static(&library, Level(1000, total));
        const snd::VoiceId first = Static(&library, toneWav);
        const snd::VoiceId second = Static(&library, toneWav);
        for (snd::VoiceId v : {quiet, first, second}) {
            library.Play(v, false);
        }
        if (run == 0) {
            runs[run] = RenderFrames(&library, total);
        } else {
            for (size_t part : {1, 333, 4410, 511, 8000}) {
                const std::vector<int16_t> out = RenderFrames(&library, part);
                runs[run].insert(runs[run].end(), out.begin(), out.end());
            }
            const std::vector<int16_t> rest = RenderFrames(&library, total - runs[run].size() / 2);
            runs[run].insert(runs[run].end(), rest.begin(), rest.end());
        }
    }
    const std::vector<int16_t> &out = runs[0];
    ASSERT_EQ(out.size(), total * 2);
    EXPECT_EQ(runs[1], out);
    EXPECT_LT(soundtest::PeakOf(out), snd::kMixCeiling);
    const size_t loud = tone.size() / 2;
    auto input = [&](size_t frame) { return 2 * tone[frame * 2] + 1000; };
    // Up to the first crest the wave passes unchanged, then rises on a curve: never
    // flat, never falling while the sum rises.
    EXPECT_EQ(out[2 * 10], input(10));
    for (size_t i = 1; i < loud; ++i) {
        if (input(i) > input(i - 1)) {
            ASSERT_GE(out[i * 2], out[(i - 1) * 2]) << "frame " << i;
        }
        if (i >= 2 && std::abs(out[i * 2]) > 20000) {
            ASSERT_FALSE(out[i * 2] == out[(i - 1) * 2] && out[i * 2] == out[(i - 2) * 2]) << "frame " << i;
        }
    }
    // After the first crest every output is the sum times one gain: each period's crest
    // stands where the first did (within what sampling the crest varies).
    const size_t period = snd::kDeviceRate / 220;
    int firstCrest = 0;
    for (size_t i = 0; i < period; ++i) {
        firstCrest = std::max(firstCrest, static_cast<int>(out[i * 2]));
    }
    EXPECT_GT(firstCrest, 31000);
    for (size_t start = period; start + period < loud; start += period) {
        int crest = 0;
        for (size_t i = start; i < start + period; ++i) {
            crest = std::max(crest, static_cast<int>(out[i * 2]));
        }
        ASSERT_NEAR(crest, firstCrest, 6) << "crest after frame " << start;
    }
    for (size_t i = period; i < loud; i += 7) {
        if (std::abs(input(i)) > 10000) {
            ASSERT_NEAR(out[i * 2] / static_cast<double>(input(i)), firstCrest / 51000.0, 0.001) << "frame " << i;
        }
    }
    // After the loud part the quiet level rises back without a step, to 1000 exactly.
    for (size_t i = loud + 1; i < total; ++i) {
        ASSERT_GE(out[i * 2], out[(i - 1) * 2]) << "frame " << i;
        ASSERT_LE(out[i * 2], 1000);
    }
    EXPECT_EQ(out[(total - 1) * 2], 1000);
    EXPECT_EQ(out[(total - 1) * 2 + 1], 1000);
}

TEST(Mixer, ALoopedStaticVoiceIsContinuousAcrossTheLoopPoint)
{
    snd::Library library;
    soundtest::StartOffline(&library);
    const std::vector<int16_t> ramp = soundtest::Ramp(1000);
    const snd::VoiceId voice = Static(&library, soundtest::DeviceRateWav(ramp));
    library.Play(voice, true);
    // Odd render sizes put the loop point inside blocks, at their edges and across them.
    std::vector<int16_t> out;
    for (size_t frames : {333, 667, 1, 999, 2500, 512, 488}) {
        const std::vector<int16_t> part = RenderFrames(&library, frames);
        out.insert(out.end(), part.begin(), part.end());
    }
    ASSERT_EQ(out.size(), 5500u * 2);
    soundtest::ExpectRepeats(out, ramp);
    EXPECT_TRUE(library.IsPlaying(voice));
}

TEST(Mixer, ALoopedStreamedVoiceIsContinuousAcrossTheLoopPoint)
{
    snd::Library library;
    soundtest::StartOffline(&library);
    // Longer than the ring, so the loop point passes through it many times.
    const std::vector<int16_t> ramp = soundtest::Ramp(70001);
    const snd::VoiceId voice = Streamed(&library, soundtest::DeviceRateWav(ramp));
    library.Play(voice, true);
    std::vector<int16_t> out;
    for (int step = 0; step < 40; ++step) {
        library.Update();  // no streaming thread: the per-frame work refills
        const std::vector<int16_t> part = RenderFrames(&library, 4410 + step);
        out.insert(out.end(), part.begin(), part.end());
    }
    soundtest::ExpectRepeats(out, ramp);
    EXPECT_GT(out.size(), ramp.size() * 2);
}

TEST(Mixer, AStreamedVoiceThatDoesNotLoopEndsAndPlayRestartsIt)
{
    snd::Library library;
    soundtest::StartOffline(&library);
    const std::vector<int16_t> ramp = soundtest::Ramp(50000);
    const snd::VoiceId voice = Streamed(&library, soundtest::DeviceRateWav(ramp));
    library.Play(voice, false);
    std::vector<int16_t> out;
    while (library.IsPlaying(voice) && out.size() < ramp.size() * 2) {
        library.Update();
        const std::vector<int16_t> part = RenderFrames(&library, 3000);
        out.insert(out.end(), part.begin(), part.end());
    }
    EXPECT_FALSE(library.IsPlaying(voice));
    out.resize(ramp.size());
    EXPECT_EQ(out, ramp);
    library.Play(voice, false);
    EXPECT_EQ(RenderFrames(&library, 100), std::vector<int16_t>(ramp.begin(), ramp.begin() + 200));
}

TEST(Mixer, PlayRestartsAPlayingSoundAndStopSilencesIt)
{
    snd::Library library;
    soundtest::StartOffline(&library);
    const std::vector<int16_t> ramp = soundtest::Ramp(1000);
    const snd::VoiceId voice = Static(&library, soundtest::DeviceRateWav(ramp));
    library.Play(voice, false);
    RenderFrames(&library, 300);
    library.Play(voice, false);
    EXPECT_EQ(RenderFrames(&library, 10), std::vector<int16_t>(ramp.begin(), ramp.begin() + 20));
    library.Stop(voice);
    EXPECT_FALSE(library.IsPlaying(voice));
    EXPECT_EQ(soundtest::PeakOf(RenderFrames(&library, 100)), 0);
    EXPECT_FALSE(library.Play(snd::kNoVoice, false));
    library.Destroy(voice);
    EXPECT_FALSE(library.Play(voice, false));
}

TEST(Mixer, ThePauseAroundAMovieResumesOnlyTheVoicesThatWerePlaying)
{
    snd::Library library;
    soundtest::StartOffline(&library);
    const snd::VoiceId music = Streamed(&library, Level(1000, 88200));
    const snd::VoiceId effect = Static(&library, Level(100, 44100));
    const snd::VoiceId idle = Static(&library, Level(10, 44100));
    const snd::VoiceId stoppedLater = Static(&library, Level(20000, 44100));
    library.Play(music, true);
    library.Play(effect, false);
    library.Play(stoppedLater, false);
    RenderFrames(&library, 1000);

    const snd::VoiceId movie = library.CreateQueue(500);
    const std::vector<snd::VoiceId> paused = library.PausePlaying();
    EXPECT_EQ(paused, (std::vector<snd::VoiceId>{music, effect, stoppedLater}));
    library.Play(movie, false);
    const std::vector<int16_t> tone(2000, 5);
    EXPECT_EQ(library.QueueWrite(movie, tone.data(), 1000), 1000u);
    EXPECT_EQ(RenderFrames(&library, 10)[0], 5);  // only the movie's sound
    library.Stop(stoppedLater);                    // stopped during the movie: stays stopped

    library.Stop(movie);
    library.Resume(paused);
    EXPECT_TRUE(library.IsPlaying(music));
    EXPECT_TRUE(library.IsPlaying(effect));
    EXPECT_FALSE(library.IsPlaying(idle));
    EXPECT_FALSE(library.IsPlaying(stoppedLater));
    library.Update();
    const std::vector<int16_t> after = RenderFrames(&library, 10);
    EXPECT_EQ(after[0], 1100);
    // The effect went on from where it stood: 1000 + 10 frames played of 44100.
    RenderFrames(&library, 44100 - 1010 - 1);
    EXPECT_TRUE(library.IsPlaying(effect));
    RenderFrames(&library, 2);
    EXPECT_FALSE(library.IsPlaying(effect));
}

TEST(Mixer, OneVoicePausedHoldsItsPlaceAndResumesFromIt)
{
    snd::Library library;
    soundtest::StartOffline(&library);
    const std::vector<int16_t> ramp = soundtest::Ramp(4000);
    const snd::VoiceId music = Streamed(&library, soundtest::DeviceRateWav(ramp));
    const snd::VoiceId other = Static(&library, Level(3, 44100));
    const snd::VoiceId idle = Static(&library, Level(5, 44100));
    library.Play(music, true);
    library.Play(other, false);
    RenderFrames(&library, 300);
    library.Pause(music);
    library.Pause(idle);  // not playing: stays as it is
    EXPECT_FALSE(library.IsPlaying(music));
    EXPECT_FALSE(library.IsPlaying(idle));
    EXPECT_TRUE(library.IsPlaying(other));  // the others play on
    EXPECT_EQ(RenderFrames(&library, 10)[0], 3);
    library.Resume({music});
    library.Update();
    const std::vector<int16_t> after = RenderFrames(&library, 10);
    EXPECT_EQ(after[0], ramp[600] + 3);  // frame 300 of the ramp, where it stood
    EXPECT_FALSE(library.IsPlaying(idle));
}

TEST(Mixer, QueueVoicesCountWhatWasPlayedAndDrain)
{
    snd::Library library;
    soundtest::StartOffline(&library);
    const snd::VoiceId queue = library.CreateQueue(100);  // 4410 frames
    EXPECT_EQ(library.QueueSpace(queue), 4410u);
    library.Play(queue, false);
    const std::vector<int16_t> feed = soundtest::Ramp(5000);
    EXPECT_EQ(library.QueueWrite(queue, feed.data(), 5000), 4410u);
    EXPECT_EQ(RenderFrames(&library, 1000), std::vector<int16_t>(feed.begin(), feed.begin() + 2000));
    EXPECT_EQ(library.FramesPlayed(queue), 1000u);
    EXPECT_EQ(library.QueueWrite(queue, feed.data() + 2 * 4410, 590), 590u);
    library.QueueEnd(queue);
    EXPECT_FALSE(library.QueueDrained(queue));
    const std::vector<int16_t> rest = RenderFrames(&library, 4100);
    EXPECT_EQ(std::vector<int16_t>(rest.begin(), rest.begin() + 8000), std::vector<int16_t>(feed.begin() + 2000, feed.end()));
    EXPECT_EQ(library.FramesPlayed(queue), 5000u);
    EXPECT_TRUE(library.QueueDrained(queue));
    EXPECT_FALSE(library.IsPlaying(queue));
    EXPECT_EQ(library.QueueWrite(queue, feed.data(), 10), 0u);  // the feed has ended
}

TEST(Mixer, MemoryFiguresCountDecodedBytesOrBuffers)
{
    snd::Library library;
    soundtest::StartOffline(&library);
    media::PcmFormat mono{1, 22050, 16};
    const std::vector<uint8_t> file = media::MakeWav(mono, media::Tone(mono, 300, 1000, 22050));
    std::string error;
    const snd::VoiceId still = library.CreateStatic(file.data(), file.size(), &error);
    const snd::VoiceId stream = library.CreateStreamed(file, &error);
    const snd::VoiceId queue = library.CreateQueue(250);
    // One second at 22050 Hz becomes about 44100 stereo frames of 4 bytes.
    EXPECT_NEAR(static_cast<double>(library.MemoryUsed(still)), 176400.0, 1000.0);
    EXPECT_EQ(library.MemoryUsed(stream), 44100u * 4u);  // the one-second ring
    EXPECT_EQ(library.MemoryUsed(queue), 11025u * 4u);
    EXPECT_EQ(library.MemoryUsed(snd::kNoVoice), 0u);
}

}  // namespace

}  // namespace mixer_test
