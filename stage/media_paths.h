// Where the stage's sounds live: sound effects and their lists under
// \RESOURCE\MEDIA\SFX\, music under \RESOURCE\MEDIA\BGM\.
#pragma once

#include <cstdint>
#include <string>

// "\RESOURCE\MEDIA\SFX\<id>.WAV"
std::string SoundEffectPath(int32_t soundId);
// "\RESOURCE\MEDIA\SFX\<stage id>.SFL"
std::string StageSoundListPath(int32_t stageId);
// "\RESOURCE\MEDIA\SFX\HERO01.SFL" for hero 0, HERO02.SFL for hero 1.
std::string HeroSoundListPath(int32_t hero);
// "\RESOURCE\MEDIA\BGM\<stage id>.WAV"
std::string StageMusicPath(int32_t stageId);
// "\RESOURCE\MEDIA\BGM\EVT<number>.WAV"
std::string EventMusicPath(int32_t number);
