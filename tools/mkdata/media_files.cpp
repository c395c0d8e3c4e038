// Writes the sample sounds and movies. The interface sounds come in every form the game
// reads (16-bit and 8-bit PCM, mono and stereo, several rates, IMA ADPCM) so the sample
// data exercises each; the music is a two-note chord of whole hertz, so its two seconds
// loop without a seam.
#include "tools/mkdata/media_files.h"

#include <cmath>
#include <filesystem>

#include "tools/media/adpcm_wav.h"
#include "tools/media/movie_clip.h"
#include "tools/media/wav_writer.h"

namespace mkdata {

namespace {

constexpr int kInterfaceSounds = 25;

struct Music {
    const char *name;
    int lowHz;
    int highHz;
};
constexpr Music kMusic[] = {
    {"SELCHAR.WAV", 220, 330}, {"LOADING.WAV", 247, 370}, {"GAMEOVER.WAV", 196, 294}, {"RANKING.WAV", 262, 392}};

bool WriteInterfaceSound(const std::filesystem::path &folder, int index)
{
    media::PcmFormat format;
    switch (index % 4) {
    case 0: format = {1, 22050, 16}; break;
    case 1: format = {1, 11025, 8}; break;
    case 2: format = {2, 44100, 16}; break;
    default: format = {1, 22050, 16}; break;
    }
    const size_t frames = format.rate * 3 / 20;  // 150 ms
    const std::vector<int16_t> samples =
        media::Tone(format, InterfaceSoundPitch(index), 14000, frames, format.rate / 200);
    std::vector<uint8_t> file;
    if (index % 4 == 3) {
        std::string error;
        if (!media::MakeAdpcmWav(media::Adpcm::Ima, format, samples, &file, &error)) {
            return false;
        }
    } else {
        file = media::MakeWav(format, samples);
    }
    const std::string name = std::to_string(6600000 + 10 * index) + ".WAV";
    return media::WriteFile((folder / name).string(), file);
}

}  // namespace

bool WriteChordMusic(const std::string &path, int lowHz, int highHz)
{
    media::PcmFormat format{2, 44100, 16};
    const size_t frames = format.rate * 2;
    std::vector<int16_t> low = media::Tone(format, lowHz, 6000, frames);
    const std::vector<int16_t> high = media::Tone(format, highHz, 4000, frames);
    for (size_t i = 0; i < low.size(); ++i) {
        low[i] = static_cast<int16_t>(low[i] + high[i]);
    }
    return media::WriteFile(path, media::MakeWav(format, low));
}

const std::vector<std::string> &InterfaceMusicNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const Music &music : kMusic) {
            list.emplace_back(music.name);
        }
        return list;
    }();
    return names;
}

const std::vector<std::string> &InterfaceMovieNames()
{
    static const std::vector<std::string> names = {"PRELOGO.BIK", "LOGOBG.BIK", "DEMO.BIK", "OPEN.BIK",
                                                    "ZUNO.BIK",    "Tarvisk.BIK", "END.BIK"};
    return names;
}

double InterfaceSoundPitch(int index) { return 330.0 * std::pow(2.0, index / 12.0); }

bool WriteMediaFiles(const std::string &root)
{
    const std::filesystem::path base(root);
    const std::filesystem::path sfx = base / "RESOURCE/MEDIA/SFX";
    const std::filesystem::path bgm = base / "RESOURCE/MEDIA/BGM";
    std::error_code error;
    for (const auto &folder : {sfx, bgm, base / "ENGUIMV", base / "CHIUIMV"}) {
        std::filesystem::create_directories(folder, error);
        if (error) {
            return false;
        }
    }
    for (int i = 0; i < kInterfaceSounds; ++i) {
        if (!WriteInterfaceSound(sfx, i)) {
            return false;
        }
    }
    for (const Music &music : kMusic) {
        if (!WriteChordMusic((bgm / music.name).string(), music.lowHz, music.highHz)) {
            return false;
        }
    }
    std::string message;
    media::ClipDesc clip;
    clip.label = "ENG TEST.BIK";
    if (!media::WriteClip((base / "ENGUIMV/TEST.BIK").string(), clip, &message)) {
        return false;
    }
    for (const char *folder : {"ENGUIMV", "CHIUIMV"}) {
        for (const std::string &name : InterfaceMovieNames()) {
            clip.label = std::string(folder).substr(0, 3) + " " + name;
            if (!media::WriteClip((base / folder / name).string(), clip, &message)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace mkdata
