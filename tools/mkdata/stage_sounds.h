// The stage's sample sounds: the first stage's sound list and its samples,
// its music (a two-second loop), the event music EVT1.WAV, and each hero's
// sound list with its samples. Every sample is a short tone of a pitch of
// its own, so a test can tell by ear which one played.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mkdata {

struct SampleSound {
    int32_t id;
    double hertz;
};

// The first stage's sound list (RESOURCE/MEDIA/SFX/2010000.SFL).
const std::vector<SampleSound> &FirstStageSounds();
// Writes each sound's sample (a 200 ms tone) and the list of their ids at
// `listPath` (a game path).
bool WriteSampleSoundList(const std::string &root, const std::string &listPath,
                          const std::vector<SampleSound> &sounds);
// Hero 0's (HERO01.SFL) and hero 1's (HERO02.SFL).
const std::vector<SampleSound> &HeroSounds(int hero);
// The music: the first stage's chord, and event piece 1's.
constexpr int kFirstStageMusicHz[2] = {220, 277};
constexpr int kEventMusicOneHz[2] = {294, 440};

// A stage's list "<id>.SFL" with its samples, and its music (a two-second
// chord loop of the two pitches).
bool WriteStageListAndMusic(const std::string &root, int32_t stageId, const std::vector<SampleSound> &sounds,
                            const int (&musicHz)[2]);
// The heroes' lists and the event music (each sample stage writes its own
// list and music, sample_stages.h).
bool WriteStageSounds(const std::string &root);

}  // namespace mkdata
