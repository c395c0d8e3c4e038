// WAV decoding to the device format: every PCM form and rate, the ADPCM forms, and the
// refusal of truncated, lying or absurd files with a diagnostic (never a crash or an
// over-read; the sanitizer build runs these too).
#include <gtest/gtest.h>

#include <cstring>

#include "sound_test_support.h"
#include "tools/media/adpcm_wav.h"

namespace wav_reader_test {

namespace {

using media::PcmFormat;
using soundtest::PitchOf;

std::vector<int16_t> Decode(const std::vector<uint8_t> &file)
{
    std::vector<int16_t> frames;
    std::string error;
    EXPECT_TRUE(snd::DecodeWav(file.data(), file.size(), &frames, &error)) << error;
    return frames;
}

std::string Refusal(const std::vector<uint8_t> &file)
{
    std::vector<int16_t> frames;
    std::string error;
    EXPECT_FALSE(snd::DecodeWav(file.data(), file.size(), &frames, &error));
    EXPECT_TRUE(frames.empty());
    return error;
}

void PutBytes(std::vector<uint8_t> *file, size_t at, uint32_t value, size_t count)
{
    for (size_t i = 0; i < count && at + i < file->size(); ++i) {
        file->at(at + i) = static_cast<uint8_t>(value >> (8 * i));
    }
}
void Put32(std::vector<uint8_t> *file, size_t at, uint32_t value) { PutBytes(file, at, value, 4); }
void Put16(std::vector<uint8_t> *file, size_t at, uint16_t value) { PutBytes(file, at, value, 2); }

// Offsets in MakeWav's canonical 44-byte header.
constexpr size_t kRiffSize = 4, kChannels = 22, kRate = 24, kBlockAlign = 32, kBits = 34, kDataSize = 40;

std::vector<uint8_t> SmallWav()
{
    PcmFormat format;
    return media::MakeWav(format, media::Tone(format, 1000, 8000, 2205));
}

TEST(WavDecode, DeviceRateStereoPassesThroughSampleForSample)
{
    const std::vector<int16_t> ramp = soundtest::Ramp(5000);
    EXPECT_EQ(Decode(soundtest::DeviceRateWav(ramp)), ramp);
}

TEST(WavDecode, MonoFillsBothChannelsAndEightBitTakesTheTopByte)
{
    PcmFormat mono16{1, snd::kDeviceRate, 16};
    const std::vector<int16_t> samples = {100, -200, 32767, -32768};
    const std::vector<int16_t> both = {100, 100, -200, -200, 32767, 32767, -32768, -32768};
    EXPECT_EQ(Decode(media::MakeWav(mono16, samples)), both);

    PcmFormat mono8{1, snd::kDeviceRate, 8};
    const std::vector<int16_t> eight = {0x1200, -0x1200, 0x7F00, -0x8000};
    const std::vector<int16_t> widened = {0x1200, 0x1200, -0x1200, -0x1200, 0x7F00, 0x7F00, -0x8000, -0x8000};
    EXPECT_EQ(Decode(media::MakeWav(mono8, eight)), widened);
}

TEST(WavDecode, EveryRateIsResampledKeepingPitchAndLength)
{
    for (uint32_t rate : {8000u, 11025u, 22050u, 32000u, 48000u, 96000u}) {
        for (uint16_t channels : {1, 2}) {
            for (uint16_t bits : {8, 16}) {
                PcmFormat format{channels, rate, bits};
                const std::vector<int16_t> frames = Decode(media::MakeWav(format, media::Tone(format, 500, 20000, rate)));
                SCOPED_TRACE(testing::Message() << rate << " Hz, " << channels << " ch, " << bits << " bit");
                EXPECT_NEAR(frames.size() / 2.0, snd::kDeviceRate, snd::kDeviceRate * 0.01);
                EXPECT_NEAR(PitchOf(frames), 500.0, 5.0);
                EXPECT_NEAR(soundtest::PeakOf(frames), 20000, 1200);
            }
        }
    }
}

TEST(WavDecode, TheAdpcmFormsDecodeToTheirTone)
{
    for (media::Adpcm form : {media::Adpcm::Microsoft, media::Adpcm::Ima}) {
        for (uint16_t channels : {1, 2}) {
            PcmFormat format{channels, 22050, 16};
            std::vector<uint8_t> file;
            std::string error;
            ASSERT_TRUE(media::MakeAdpcmWav(form, format, media::Tone(format, 440, 16000, 22050), &file, &error)) << error;
            snd::WavInfo info;
            ASSERT_TRUE(snd::ParseWav(file.data(), file.size(), &info, &error)) << error;
            EXPECT_EQ(info.formatTag, form == media::Adpcm::Ima ? 0x11 : 2);
            std::vector<int16_t> frames = Decode(file);
            EXPECT_NEAR(frames.size() / 2.0, snd::kDeviceRate, snd::kDeviceRate * 0.05);
            frames.resize(snd::kDeviceRate * 2 * 9 / 10);  // the last block is padded with silence
            EXPECT_NEAR(PitchOf(frames), 440.0, 5.0);
            EXPECT_NEAR(soundtest::PeakOf(frames), 16000, 2500);
        }
    }
}

TEST(WavDecode, ExtensiblePcmAndUnknownChunksAreRead)
{
    PcmFormat format{2, snd::kDeviceRate, 16};
    const std::vector<int16_t> ramp = soundtest::Ramp(64);
    std::vector<uint8_t> canonical = media::MakeWav(format, ramp);
    // fmt of 40 bytes with the PCM sub-format, and an odd-sized "LIST" chunk before it.
    std::vector<uint8_t> file(canonical.begin(), canonical.begin() + 12);
    const uint8_t list[] = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    file.insert(file.end(), list, list + sizeof list);
    const uint8_t fmtHead[] = {'f', 'm', 't', ' ', 40, 0, 0, 0, 0xFE, 0xFF};
    file.insert(file.end(), fmtHead, fmtHead + sizeof fmtHead);
    file.insert(file.end(), canonical.begin() + 22, canonical.begin() + 36);  // channels .. bits
    const uint8_t extension[] = {22, 0, 16, 0, 3, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    file.insert(file.end(), extension, extension + sizeof extension);
    file.insert(file.end(), canonical.begin() + 36, canonical.end());
    Put32(&file, kRiffSize, static_cast<uint32_t>(file.size() - 8));
    EXPECT_EQ(Decode(file), ramp);
}

TEST(WavDecode, HostileFilesAreRefusedWithADiagnostic)
{
    const std::vector<uint8_t> good = SmallWav();
    struct Case {
        const char *what;
        std::vector<uint8_t> file;
        const char *diagnostic;
    };
    std::vector<Case> cases;
    auto with = [&](const char *what, const char *diagnostic, auto change) {
        std::vector<uint8_t> file = good;
        change(&file);
        cases.push_back({what, file, diagnostic});
    };
    with("truncated data", "past the end", [](auto *f) { f->resize(f->size() - 100); Put32(f, kRiffSize, static_cast<uint32_t>(f->size() - 8)); });
    with("truncated file", "truncated", [](auto *f) { f->resize(f->size() / 2); });
    with("riff size lies", "truncated", [](auto *f) { Put32(f, kRiffSize, 0x7FFFFFF0u); });
    with("data size lies", "past the end", [](auto *f) { Put32(f, kDataSize, 0xFFFFFFF0u); });
    with("zero channels", "no channels", [](auto *f) { Put16(f, kChannels, 0); });
    with("six channels", "channels", [](auto *f) { Put16(f, kChannels, 6); Put16(f, kBlockAlign, 12); });
    with("rate zero", "rate", [](auto *f) { Put32(f, kRate, 0); });
    with("absurd rate", "rate", [](auto *f) { Put32(f, kRate, 1000000000u); });
    with("24 bit", "bit", [](auto *f) { Put16(f, kBits, 24); Put16(f, kBlockAlign, 3); });
    with("block size lies", "block", [](auto *f) { Put16(f, kBlockAlign, 7); });
    with("format tag", "format tag", [](auto *f) { Put16(f, 20, 0x55); });
    with("no data chunk", "no data", [](auto *f) { std::memcpy(f->data() + 36, "junk", 4); });
    with("no format chunk", "no format", [](auto *f) { std::memcpy(f->data() + 12, "fmx ", 4); });
    with("empty data", "no samples", [](auto *f) { Put32(f, kDataSize, 0); });
    with("short fmt", "too short", [](auto *f) { Put32(f, 16, 8); });
    with("not riff", "not a RIFF", [](auto *f) { (*f)[0] = 'X'; });
    cases.push_back({"tiny", {'R', 'I', 'F', 'F'}, "too short"});
    cases.push_back({"empty", {}, "too short"});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const std::string error = Refusal(c.file);
        EXPECT_NE(error.find(c.diagnostic), std::string::npos) << error;
    }
}

TEST(WavDecode, EveryCutAndEveryByteFlipOfAFileIsSafe)
{
    // Each prefix of a file, and each header byte set to its extremes: decoded or refused,
    // never read past its bytes (the sanitizer build checks).
    PcmFormat format{2, 11025, 16};
    std::vector<uint8_t> pcm = media::MakeWav(format, media::Tone(format, 300, 9000, 400));
    std::vector<uint8_t> adpcm;
    std::string error;
    ASSERT_TRUE(media::MakeAdpcmWav(media::Adpcm::Microsoft, format, media::Tone(format, 300, 9000, 2000), &adpcm, &error));
    for (const std::vector<uint8_t> *source : {&pcm, &adpcm}) {
        for (size_t length = 0; length < source->size(); length += 7) {
            std::vector<uint8_t> cut(source->begin(), source->begin() + static_cast<std::ptrdiff_t>(length));
            std::vector<int16_t> frames;
            snd::DecodeWav(cut.data(), cut.size(), &frames, &error);
        }
        const size_t header = std::min<size_t>(source->size(), 96);
        for (size_t at = 0; at < header; ++at) {
            for (uint8_t value : {0x00, 0x7F, 0xFF}) {
                std::vector<uint8_t> flipped = *source;
                flipped[at] = value;
                std::vector<int16_t> frames;
                if (snd::DecodeWav(flipped.data(), flipped.size(), &frames, &error)) {
                    EXPECT_LE(frames.size() / 2, 10u * 60u * snd::kDeviceRate);
                }
            }
        }
    }
}

}  // namespace

}  // namespace wav_reader_test
