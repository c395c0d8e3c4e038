// The sample data's stage sounds read back as the game reads them: the
// first stage's list and the heroes' lists load every sample, each sample
// plays its own tone, and the stage's music and event piece 1 sound and loop.
#include <gtest/gtest.h>

#include "app/audio.h"
#include "app/path.h"
#include "platform/sound/sound_test_support.h"
#include "stage/sfx_manager.h"
#include "stage/stage_music.h"
#include "stage_test_support.h"
#include "tools/mkdata/sample_stages.h"
#include "tools/mkdata/stage_sounds.h"

namespace stage_sounds_sample_test {

namespace {

class SampleStageSounds : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDataRootPath(stagetest::SamplePath("").c_str());
        audio_.Create(false);
        soundtest::StartOffline(audio_.Library());
    }
    void TearDown() override
    {
        sfx_.Release();
        music_.Release();
        audio_.Release();
        SetDataRootPath("");
    }
    std::vector<int16_t> Hear(uint32_t ms)
    {
        audio_.Update();
        return soundtest::RenderMs(audio_.Library(), ms);
    }
    void ExpectTone(const mkdata::SampleSound &sound)
    {
        ASSERT_TRUE(sfx_.IsLoaded(sound.id)) << sound.id;
        sfx_.PlaySFX(sound.id, 0);
        sfx_.Update();
        EXPECT_NEAR(soundtest::PitchOf(Hear(150)), sound.hertz, 15.0) << sound.id;
        Hear(100);  // to its end
    }

    CSAudio audio_;
    CSSFXManager sfx_{AudioSoundPort(&audio_)};
    CSStageMusic music_{AudioSoundPort(&audio_)};
};

TEST_F(SampleStageSounds, ListsLoadEverySampleAndEachPlaysItsTone)
{
    ASSERT_TRUE(sfx_.LoadStageSFX(2010000));
    ASSERT_TRUE(sfx_.LoadCharacterSFX(0));
    ASSERT_TRUE(sfx_.LoadCharacterSFX(1));
    // The stage's own sounds and those of its monster, and the heroes'.
    const std::vector<mkdata::SampleSound> &stage = mkdata::FirstSampleStage().sounds;
    EXPECT_GT(stage.size(), mkdata::FirstStageSounds().size());
    EXPECT_EQ(sfx_.SampleCount(), stage.size() + mkdata::HeroSounds(0).size() + mkdata::HeroSounds(1).size());
    for (const auto *list : {&stage, &mkdata::HeroSounds(0), &mkdata::HeroSounds(1)}) {
        for (const mkdata::SampleSound &sound : *list) {
            ExpectTone(sound);
        }
    }
}

TEST_F(SampleStageSounds, StageMusicAndEventPieceSoundAndLoop)
{
    music_.SetStage(2010000);
    music_.PlayStageBGM();
    ASSERT_EQ(music_.Kind(), kMusicStage);
    for (int i = 0; i < 6; ++i) {  // three seconds of a two-second loop
        ASSERT_GT(soundtest::PeakOf(Hear(500)), 5000) << i;
    }
    music_.PlayEventBGM(0, 1);
    ASSERT_EQ(music_.Kind(), kMusicEvent);
    EXPECT_GT(soundtest::PeakOf(Hear(500)), 5000);
}

}  // namespace

}  // namespace stage_sounds_sample_test
