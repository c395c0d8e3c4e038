// WAV writing, field by field and little-endian.
#include "tools/media/wav_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace media {

namespace {

void Put16(std::vector<uint8_t> *out, uint32_t value)
{
    out->push_back(static_cast<uint8_t>(value));
    out->push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t> *out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutTag(std::vector<uint8_t> *out, const char *tag)
{
    for (int i = 0; i < 4; ++i) {
        out->push_back(static_cast<uint8_t>(tag[i]));
    }
}

}  // namespace

std::vector<uint8_t> MakeWav(const PcmFormat &format, const std::vector<int16_t> &samples)
{
    const uint32_t sampleBytes = format.bits / 8u;
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size()) * sampleBytes;
    const uint32_t blockAlign = format.channels * sampleBytes;
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes + 1);
    PutTag(&out, "RIFF");
    Put32(&out, 36 + dataBytes + (dataBytes & 1u));
    PutTag(&out, "WAVE");
    PutTag(&out, "fmt ");
    Put32(&out, 16);
    Put16(&out, 1);
    Put16(&out, format.channels);
    Put32(&out, format.rate);
    Put32(&out, format.rate * blockAlign);
    Put16(&out, blockAlign);
    Put16(&out, format.bits);
    PutTag(&out, "data");
    Put32(&out, dataBytes);
    for (int16_t sample : samples) {
        if (format.bits == 8) {
            out.push_back(static_cast<uint8_t>((sample >> 8) + 128));
        } else {
            Put16(&out, static_cast<uint16_t>(sample));
        }
    }
    if (dataBytes & 1u) {
        out.push_back(0);
    }
    return out;
}

std::vector<int16_t> Tone(const PcmFormat &format, double hertz, int amplitude, size_t frames,
                          size_t fadeFrames)
{
    std::vector<int16_t> samples;
    samples.reserve(frames * format.channels);
    for (size_t i = 0; i < frames; ++i) {
        double level = amplitude;
        if (fadeFrames != 0) {
            const size_t edge = std::min(i, frames - 1 - i);
            if (edge < fadeFrames) {
                level *= static_cast<double>(edge) / static_cast<double>(fadeFrames);
            }
        }
        const double value = level * std::sin(2.0 * std::numbers::pi * hertz * static_cast<double>(i) / format.rate);
        for (uint16_t c = 0; c < format.channels; ++c) {
            samples.push_back(static_cast<int16_t>(std::lround(value)));
        }
    }
    return samples;
}

bool WriteFile(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace media
