// WAV files: the RIFF chunks read field by field with every size checked against the
// file, the forms we play (PCM 8 or 16 bit and the two ADPCM forms SDL decodes, mono or
// stereo, any sensible rate) and the clear refusal of anything else.
#include <SDL_rwops.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "pcm_source.h"

namespace snd {

namespace {

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagMsAdpcm = 2;
constexpr uint16_t kTagImaAdpcm = 0x11;
constexpr uint16_t kTagExtensible = 0xFFFE;
constexpr uint32_t kMinRate = 1000;
constexpr uint32_t kMaxRate = 192000;

uint16_t U16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t *p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool Fail(std::string *error, const char *format, unsigned long a = 0, unsigned long b = 0)
{
    if (error != nullptr) {
        char text[160];
        std::snprintf(text, sizeof text, format, a, b);
        *error = std::string("WAV: ") + text;
    }
    return false;
}

bool ReadFormatChunk(const uint8_t *chunk, uint32_t size, WavInfo *info, std::string *error)
{
    if (size < 16) {
        return Fail(error, "format chunk of %lu bytes is too short", size);
    }
    info->formatTag = U16(chunk);
    info->channels = U16(chunk + 2);
    info->rate = U32(chunk + 4);
    info->blockAlign = U16(chunk + 12);
    info->bitsPerSample = U16(chunk + 14);
    if (info->formatTag == kTagExtensible) {
        // cbSize, valid bits, channel mask, then the sub-format GUID led by the real tag.
        if (size < 40 || U16(chunk + 16) < 22) {
            return Fail(error, "extensible format chunk of %lu bytes is too short", size);
        }
        info->formatTag = U16(chunk + 24);
    }
    return true;
}

bool CheckFormat(const WavInfo &info, std::string *error)
{
    if (info.channels == 0) {
        return Fail(error, "no channels");
    }
    if (info.channels > 2) {
        return Fail(error, "%lu channels (mono or stereo only)", info.channels);
    }
    if (info.rate < kMinRate || info.rate > kMaxRate) {
        return Fail(error, "sample rate %lu Hz out of range", info.rate);
    }
    switch (info.formatTag) {
    case kTagPcm:
        if (info.bitsPerSample != 8 && info.bitsPerSample != 16) {
            return Fail(error, "%lu-bit PCM (8 or 16 only)", info.bitsPerSample);
        }
        if (info.blockAlign != info.channels * info.bitsPerSample / 8) {
            return Fail(error, "block size %lu does not match the sample format", info.blockAlign);
        }
        return true;
    case kTagMsAdpcm:
    case kTagImaAdpcm:
        if (info.bitsPerSample != 4 || info.blockAlign == 0) {
            return Fail(error, "malformed ADPCM format (%lu bits, block %lu)", info.bitsPerSample,
                        info.blockAlign);
        }
        return true;
    default:
        return Fail(error, "format tag 0x%lx not supported", info.formatTag);
    }
}

}  // namespace

bool ParseWav(const uint8_t *file, size_t size, WavInfo *info, std::string *error)
{
    *info = WavInfo{};
    if (file == nullptr || size < 12) {
        return Fail(error, "file of %lu bytes is too short", static_cast<unsigned long>(size));
    }
    if (std::memcmp(file, "RIFF", 4) != 0 || std::memcmp(file + 8, "WAVE", 4) != 0) {
        return Fail(error, "not a RIFF WAVE file");
    }
    const uint64_t riffEnd = static_cast<uint64_t>(U32(file + 4)) + 8;
    if (riffEnd > size) {
        return Fail(error, "truncated: the header claims %lu bytes, the file has %lu",
                    static_cast<unsigned long>(riffEnd), static_cast<unsigned long>(size));
    }
    bool haveFormat = false;
    bool haveData = false;
    uint64_t at = 12;
    while (at + 8 <= riffEnd && !(haveFormat && haveData)) {
        const uint8_t *header = file + at;
        const uint32_t chunkSize = U32(header + 4);
        const uint64_t body = at + 8;
        if (body + chunkSize > riffEnd) {
            char id[5] = {};
            for (int i = 0; i < 4; ++i) {
                id[i] = (header[i] >= 32 && header[i] < 127) ? static_cast<char>(header[i]) : '?';
            }
            Fail(error, "chunk runs past the end of the file (%lu bytes at %lu)", chunkSize,
                 static_cast<unsigned long>(at));
            if (error != nullptr) {
                *error += std::string(" '") + id + "'";
            }
            return false;
        }
        if (std::memcmp(header, "fmt ", 4) == 0 && !haveFormat) {
            if (!ReadFormatChunk(file + body, chunkSize, info, error)) {
                return false;
            }
            haveFormat = true;
        } else if (std::memcmp(header, "data", 4) == 0 && !haveData) {
            info->dataOffset = static_cast<size_t>(body);
            info->dataSize = chunkSize;
            haveData = true;
        }
        at = body + chunkSize + (chunkSize & 1u);
    }
    if (!haveFormat) {
        return Fail(error, "no format chunk");
    }
    if (!haveData) {
        return Fail(error, "no data chunk");
    }
    if (!CheckFormat(*info, error)) {
        return false;
    }
    if (info->dataSize < info->blockAlign) {
        return Fail(error, "no samples (data chunk of %lu bytes)", static_cast<unsigned long>(info->dataSize));
    }
    return true;
}

bool PcmSource::Open(const uint8_t *file, size_t size, std::string *error)
{
    WavInfo info;
    if (!ParseWav(file, size, &info, error)) {
        return false;
    }
    channels_ = static_cast<uint8_t>(info.channels);
    rate_ = info.rate;
    if (info.formatTag == kTagPcm) {
        format_ = info.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
        frameBytes_ = info.blockAlign;
        external_ = file + info.dataOffset;
        bytes_ = info.dataSize - info.dataSize % frameBytes_;
        return true;
    }
    // ADPCM: the header has been checked above; SDL decodes the blocks and checks them.
    SDL_RWops *rw = SDL_RWFromConstMem(file, static_cast<int>(std::min<size_t>(size, INT32_MAX)));
    SDL_AudioSpec spec{};
    Uint8 *buffer = nullptr;
    Uint32 length = 0;
    if (rw == nullptr || SDL_LoadWAV_RW(rw, 1, &spec, &buffer, &length) == nullptr) {
        Fail(error, "ADPCM data could not be decoded");
        if (error != nullptr) {
            *error += std::string(": ") + SDL_GetError();
        }
        return false;
    }
    format_ = spec.format;
    channels_ = spec.channels;
    rate_ = static_cast<uint32_t>(spec.freq);
    frameBytes_ = static_cast<size_t>(SDL_AUDIO_BITSIZE(spec.format) / 8) * spec.channels;
    owned_.assign(buffer, buffer + length);
    SDL_FreeWAV(buffer);
    bytes_ = frameBytes_ == 0 ? 0 : owned_.size() - owned_.size() % frameBytes_;
    if (channels_ == 0 || channels_ > 2 || bytes_ == 0) {
        owned_.clear();
        return Fail(error, "ADPCM data decoded to nothing playable");
    }
    return true;
}

bool DecodeWav(const uint8_t *file, size_t size, std::vector<int16_t> *frames, std::string *error)
{
    frames->clear();
    PcmSource source;
    if (!source.Open(file, size, error)) {
        return false;
    }
    const uint64_t expected =
        static_cast<uint64_t>(source.Frames()) * kDeviceRate / source.Rate() + 1;
    if (expected > kMaxStaticFrames) {
        return Fail(error, "sound of %lu s is too long to hold whole",
                    static_cast<unsigned long>(expected / kDeviceRate));
    }
    PcmConverter converter;
    if (!converter.Init(&source, error)) {
        return false;
    }
    frames->resize(static_cast<size_t>(expected + 256) * kDeviceChannels);
    size_t done = 0;
    while (!converter.Ended()) {
        if (done == frames->size() / kDeviceChannels) {
            frames->resize(frames->size() + 4096 * kDeviceChannels);
        }
        done += converter.Read(frames->data() + done * kDeviceChannels,
                               frames->size() / kDeviceChannels - done, false);
    }
    frames->resize(done * kDeviceChannels);
    frames->shrink_to_fit();
    if (done == 0) {
        return Fail(error, "no samples after conversion");
    }
    return true;
}

}  // namespace snd
