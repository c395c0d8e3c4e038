// The stage's sample sounds (see stage_sounds.h).
#include "tools/mkdata/stage_sounds.h"

#include <filesystem>

#include "stage/media_paths.h"
#include "stage/sound_list.h"
#include "stage/stage_paths.h"
#include "tools/media/wav_writer.h"
#include "tools/mkdata/media_files.h"

namespace mkdata {
namespace {

// A game path under the data root as a host path.
std::string HostPath(const std::string &root, const std::string &gamePath)
{
    std::string relative = gamePath;
    for (char &c : relative) {
        c = c == '\\' ? '/' : c;
    }
    return root + relative;
}

}  // namespace

bool WriteSampleSoundList(const std::string &root, const std::string &listPath, const std::vector<SampleSound> &sounds)
{
    std::vector<int32_t> ids;
    for (const SampleSound &sound : sounds) {
        media::PcmFormat format{1, 22050, 16};
        const size_t frames = format.rate / 5;  // 200 ms
        const std::vector<int16_t> samples = media::Tone(format, sound.hertz, 12000, frames, format.rate / 200);
        if (!media::WriteFile(HostPath(root, SoundEffectPath(sound.id)), media::MakeWav(format, samples))) {
            return false;
        }
        ids.push_back(sound.id);
    }
    const std::string text = FormatSoundList(ids);
    return media::WriteFile(HostPath(root, listPath), std::vector<uint8_t>(text.begin(), text.end()));
}

const std::vector<SampleSound> &FirstStageSounds()
{
    static const std::vector<SampleSound> sounds = {{3100010, 523.0}, {3100020, 587.0}, {3100030, 659.0}};
    return sounds;
}

const std::vector<SampleSound> &HeroSounds(int hero)
{
    static const std::vector<SampleSound> first = {{3200010, 698.0}, {3200020, 784.0}};
    static const std::vector<SampleSound> second = {{3200110, 880.0}, {3200120, 988.0}};
    return hero == 0 ? first : second;
}

namespace {

bool MakeSoundFolders(const std::string &root)
{
    std::error_code error;
    for (const char *folder : {"/RESOURCE/MEDIA/SFX", "/RESOURCE/MEDIA/BGM"}) {
        std::filesystem::create_directories(root + folder, error);
        if (error) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool WriteStageListAndMusic(const std::string &root, int32_t stageId, const std::vector<SampleSound> &sounds,
                            const int (&musicHz)[2])
{
    return MakeSoundFolders(root) && WriteSampleSoundList(root, StageSoundListPath(stageId), sounds) &&
           WriteChordMusic(HostPath(root, StageMusicPath(stageId)), musicHz[0], musicHz[1]);
}

bool WriteStageSounds(const std::string &root)
{
    if (!MakeSoundFolders(root)) {
        return false;
    }
    return WriteSampleSoundList(root, HeroSoundListPath(0), HeroSounds(0)) &&
           WriteSampleSoundList(root, HeroSoundListPath(1), HeroSounds(1)) &&
           WriteChordMusic(HostPath(root, EventMusicPath(1)), kEventMusicOneHz[0], kEventMusicOneHz[1]);
}

}  // namespace mkdata
