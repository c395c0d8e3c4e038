// A mono sound at another rate than the device's is resampled as one channel and copied
// to both: every sample must be the one the resampler gives for the same sound stored as
// stereo with that channel twice, decoded whole and streamed, looped or run to its end.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "sound_test_support.h"

namespace mono_resampling_test {

namespace {

using media::PcmFormat;

// Loud noise with every sample different, so any misplaced, doubled or skipped sample
// changes the filter's output.
std::vector<int16_t> Noise(size_t frames, uint32_t seed)
{
    std::vector<int16_t> samples(frames);
    for (int16_t &sample : samples) {
        seed = seed * 1664525u + 1013904223u;
        sample = static_cast<int16_t>(seed >> 16);
    }
    return samples;
}

std::vector<int16_t> Twice(const std::vector<int16_t> &mono)
{
    std::vector<int16_t> stereo;
    for (int16_t sample : mono) {
        stereo.push_back(sample);
        stereo.push_back(sample);
    }
    return stereo;
}

// The file as mono and as stereo with the same samples in both channels.
struct Pair {
    std::vector<uint8_t> mono;
    std::vector<uint8_t> stereo;
};

Pair Files(uint32_t rate, uint16_t bits, const std::vector<int16_t> &mono)
{
    return {media::MakeWav(PcmFormat{1, rate, bits}, mono), media::MakeWav(PcmFormat{2, rate, bits}, Twice(mono))};
}

std::vector<int16_t> Decode(const std::vector<uint8_t> &file)
{
    std::vector<int16_t> frames;
    std::string error;
    EXPECT_TRUE(snd::DecodeWav(file.data(), file.size(), &frames, &error)) << error;
    return frames;
}

// What a streamed voice plays in `pieces` renders of growing sizes.
std::vector<int16_t> Stream(const std::vector<uint8_t> &file, bool loop, int pieces)
{
    snd::Library library;
    soundtest::StartOffline(&library);
    std::string error;
    const snd::VoiceId voice = library.CreateStreamed(file, &error);
    EXPECT_NE(voice, snd::kNoVoice) << error;
    library.Play(voice, loop);
    std::vector<int16_t> out;
    for (int piece = 0; piece < pieces; ++piece) {
        library.Update();
        const std::vector<int16_t> part = soundtest::RenderFrames(&library, 1500 + 97 * static_cast<size_t>(piece));
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

}  // namespace

TEST(MonoResampling, DecodedWholeEveryRateGivesTheStereoSamples)
{
    for (uint32_t rate : {8000u, 11025u, 22050u, 32000u, 48000u, 96000u}) {
        for (uint16_t bits : {8, 16}) {
            // A short sound, one feed, and several feeds with a ragged end.
            for (size_t frames : {100u, 4096u, 10007u}) {
                SCOPED_TRACE(testing::Message() << rate << " Hz, " << bits << " bit, " << frames << " frames");
                const Pair files = Files(rate, bits, Noise(frames, rate + frames + bits));
                const std::vector<int16_t> mono = Decode(files.mono);
                ASSERT_FALSE(mono.empty());
                EXPECT_EQ(mono, Decode(files.stereo));
            }
        }
    }
}

TEST(MonoResampling, StreamedLoopedOrToItsEndGivesTheStereoSamples)
{
    for (uint32_t rate : {11025u, 22050u, 48000u}) {
        for (bool loop : {false, true}) {
            SCOPED_TRACE(testing::Message() << rate << " Hz, " << (loop ? "looped" : "to its end"));
            // Longer than a feed, so the loop point and the end fall inside a render.
            const Pair files = Files(rate, 16, Noise(9001, rate));
            const std::vector<int16_t> mono = Stream(files.mono, loop, 30);
            EXPECT_GT(soundtest::PeakOf(mono), 0);
            EXPECT_EQ(mono, Stream(files.stereo, loop, 30));
        }
    }
}

TEST(MonoResampling, BothChannelsOfAMonoSoundAreTheSame)
{
    const std::vector<int16_t> frames = Decode(media::MakeWav(PcmFormat{1, 22050, 16}, Noise(3000, 7)));
    ASSERT_EQ(frames.size() % 2, 0u);
    for (size_t i = 0; i < frames.size(); i += 2) {
        ASSERT_EQ(frames[i], frames[i + 1]) << "frame " << i / 2;
    }
}

}  // namespace mono_resampling_test
