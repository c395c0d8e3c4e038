// Where the stage's sounds live (see media_paths.h).
#include "stage/media_paths.h"

#include <cstdio>

namespace {

std::string Numbered(const char *format, int32_t number)
{
    char path[64];
    std::snprintf(path, sizeof path, format, number);
    return path;
}

}  // namespace

std::string SoundEffectPath(int32_t soundId) { return Numbered("\\RESOURCE\\MEDIA\\SFX\\%d.WAV", soundId); }
std::string StageSoundListPath(int32_t stageId) { return Numbered("\\RESOURCE\\MEDIA\\SFX\\%d.SFL", stageId); }
std::string HeroSoundListPath(int32_t hero) { return Numbered("\\RESOURCE\\MEDIA\\SFX\\HERO%02d.SFL", hero + 1); }
std::string StageMusicPath(int32_t stageId) { return Numbered("\\RESOURCE\\MEDIA\\BGM\\%d.WAV", stageId); }
std::string EventMusicPath(int32_t number) { return Numbered("\\RESOURCE\\MEDIA\\BGM\\EVT%d.WAV", number); }
