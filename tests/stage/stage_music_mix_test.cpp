// The stage's music and sound effects on the game's sound front-end, mixed
// offline: stage and event music in the output by their pitch, the paused
// kinds silent and the resume going on, the fade out sounding until
// IsBGMStopped, the 2000 ms fade-in curve and the music volume through the
// volume law, a sound effect started by the sound step, and streams freed
// while the streaming thread fills them.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/audio.h"
#include "app/path.h"
#include "platform/sound/sound_test_support.h"
#include "stage/media_paths.h"
#include "stage/sfx_manager.h"
#include "stage/stage_music.h"
#include "support/engine/scratch_path.h"
#include "tools/media/wav_writer.h"

namespace stage_music_mix_test {

namespace {

constexpr int kAmplitude = 12000;
constexpr double kStageHz = 440.0;
constexpr double kEventHz = 660.0;
constexpr double kEffectHz = 880.0;

// The gain the mixer gives a volume.
double Gain(float volume) { return snd::GainFromMillibels(snd::MillibelsFromVolume(volume)); }

class StageMusicMixTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = rwtest::ScratchPath("stage_music_mix");
        std::filesystem::remove_all(root_);
        WriteTone(StageMusicPath(2010000), kStageHz, 2);
        WriteTone(EventMusicPath(1), kEventHz, 2);
        WriteTone(SoundEffectPath(3100010), kEffectHz, 1);
        SetDataRootPath(root_.c_str());
        audio_.Create(false);
        soundtest::StartOffline(audio_.Library());  // the streams refilled by Update, in step
        music_.SetStage(2010000);
    }
    void TearDown() override
    {
        music_.Release();
        audio_.Release();
        SetDataRootPath("");
    }
    void WriteTone(const std::string &gamePath, double hertz, int seconds)
    {
        std::string path = root_ + gamePath;
        for (char &c : path) {
            c = c == '\\' ? '/' : c;
        }
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        media::PcmFormat format{2, 44100, 16};
        media::WriteFile(path, media::MakeWav(format, media::Tone(format, hertz, kAmplitude, format.rate * seconds)));
    }
    // `ms` of output after the tick's sound work.
    std::vector<int16_t> Hear(uint32_t ms)
    {
        audio_.Update();
        return soundtest::RenderMs(audio_.Library(), ms);
    }

    std::string root_;
    CSAudio audio_;
    CSStageMusic music_{AudioSoundPort(&audio_)};
};

TEST_F(StageMusicMixTest, StageAndEventMusicAreInTheOutput)
{
    music_.PlayStageBGM();
    std::vector<int16_t> out = Hear(200);
    EXPECT_NEAR(soundtest::PitchOf(out), kStageHz, 10.0);
    EXPECT_NEAR(soundtest::PeakOf(out), kAmplitude, kAmplitude * 0.02);
    music_.PlayEventBGM(0, 1);
    out = Hear(200);
    EXPECT_NEAR(soundtest::PitchOf(out), kEventHz, 10.0);
    // The stage piece loops: three seconds of a two-second file keep sounding.
    music_.PlayStageBGM();
    for (int i = 0; i < 15; ++i) {
        out = Hear(200);
        ASSERT_NEAR(soundtest::PitchOf(out), kStageHz, 10.0) << i;
    }
    music_.StopBGM(0);
    EXPECT_EQ(soundtest::PeakOf(Hear(50)), 0);
}

TEST_F(StageMusicMixTest, PausedKindsAreSilentAndResumeGoesOn)
{
    for (int kind : {kMusicStage, kMusicEvent}) {
        if (kind == kMusicStage) {
            music_.PlayStageBGM();
        } else {
            music_.PlayEventBGM(0, 1);
        }
        Hear(100);
        music_.PauseBGM();
        EXPECT_EQ(music_.Kind(), kind + kMusicPaused);
        EXPECT_EQ(soundtest::PeakOf(Hear(100)), 0);
        music_.ResumeBGM();
        EXPECT_EQ(music_.Kind(), kind);
        EXPECT_NEAR(soundtest::PeakOf(Hear(100)), kAmplitude, kAmplitude * 0.02);
    }
    // Paused during its fade out (kind 7): silent, then the fade goes on.
    music_.StopBGM(1000);
    music_.Update(500);
    music_.PauseBGM();
    EXPECT_EQ(music_.Kind(), 7);
    music_.Update(5000);
    EXPECT_EQ(soundtest::PeakOf(Hear(100)), 0);
    music_.ResumeBGM();
    EXPECT_NEAR(soundtest::PeakOf(Hear(50)), kAmplitude * Gain(0.5f), kAmplitude * 0.02);
    EXPECT_FALSE(music_.IsBGMStopped());
    music_.Update(500);
    EXPECT_TRUE(music_.IsBGMStopped());
    EXPECT_EQ(soundtest::PeakOf(Hear(50)), 0);
}

TEST_F(StageMusicMixTest, FadeOutSoundsUntilTheMusicIsStopped)
{
    music_.PlayStageBGM();
    Hear(50);
    music_.StopBGM(800);
    int last = kAmplitude + 1;
    for (uint32_t elapsed = 16; elapsed < 800; elapsed += 16) {
        music_.Update(16);
        ASSERT_FALSE(music_.IsBGMStopped()) << elapsed;
        const int peak = soundtest::PeakOf(Hear(16));
        EXPECT_LE(peak, last) << elapsed;
        EXPECT_NEAR(peak, kAmplitude * Gain(1.0f - elapsed / 800.0f), kAmplitude * 0.02 + 2) << elapsed;
        last = peak;
    }
    music_.Update(16);
    EXPECT_TRUE(music_.IsBGMStopped());
    EXPECT_EQ(soundtest::PeakOf(Hear(50)), 0);
}

TEST_F(StageMusicMixTest, TwoSecondFadeInFollowsTheVolumeLaw)
{
    music_.PlayEventBGM(0, 1);
    Hear(50);
    music_.FadeInStageBGM();
    EXPECT_EQ(soundtest::PeakOf(Hear(20)), 0);  // from silence
    for (uint32_t elapsed = 250; elapsed <= 2000; elapsed += 250) {
        music_.Update(250);
        const std::vector<int16_t> out = Hear(20);
        EXPECT_NEAR(soundtest::PitchOf(out, 50), kStageHz, 60.0) << elapsed;
        EXPECT_NEAR(soundtest::PeakOf(out), kAmplitude * Gain(elapsed / 2000.0f), kAmplitude * 0.02 + 2) << elapsed;
    }
    EXPECT_NEAR(soundtest::PeakOf(Hear(20)), kAmplitude, kAmplitude * 0.02);
}

TEST_F(StageMusicMixTest, MusicVolumeChangesTheStream)
{
    music_.PlayStageBGM();
    for (float volume : {0.5f, 0.25f, 1.0f, 0.0f}) {
        music_.SetBGMVolume(volume);
        EXPECT_NEAR(soundtest::PeakOf(Hear(30)), kAmplitude * Gain(volume), kAmplitude * 0.02 + 2) << volume;
    }
    // A piece started later plays at the set volume.
    music_.SetBGMVolume(0.5f);
    music_.PlayEventBGM(0, 1);
    EXPECT_NEAR(soundtest::PeakOf(Hear(30)), kAmplitude * Gain(0.5f), kAmplitude * 0.02 + 2);
}

TEST_F(StageMusicMixTest, ASoundEffectStartsAtTheSoundStep)
{
    CSSFXManager sfx(AudioSoundPort(&audio_));
    const int32_t ids[] = {3100010};
    sfx.AddSFXList(ids, 1);
    sfx.PlaySFX(3100010, 0);
    EXPECT_EQ(soundtest::PeakOf(Hear(30)), 0);
    sfx.Update();
    const std::vector<int16_t> out = Hear(100);
    EXPECT_NEAR(soundtest::PitchOf(out), kEffectHz, 15.0);
    sfx.Release();
}

TEST(StageMusicStreaming, StreamsFreedWhileTheStreamingThreadFillsThem)
{
    const std::string root = rwtest::ScratchPath("stage_music_thread");
    std::filesystem::remove_all(root);
    const std::string path = root + "/RESOURCE/MEDIA/BGM/2010000.WAV";
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    media::PcmFormat format{2, 22050, 16};  // resampled while streamed
    media::WriteFile(path, media::MakeWav(format, media::Tone(format, 300.0, 8000, format.rate * 3)));
    SetDataRootPath(root.c_str());
    CSAudio audio;
    audio.Create(false);  // offline, with its streaming thread
    {
        CSStageMusic music(AudioSoundPort(&audio));
        music.SetStage(2010000);
        for (int i = 0; i < 200; ++i) {
            music.PlayStageBGM();
            audio.Update();  // wakes the streaming thread onto the new stream
            soundtest::RenderFrames(audio.Library(), 64);
            if (i % 2 == 0) {
                music.StopBGM(0);  // freed at once, while the thread may be filling it
            } else {
                music.FadeInStageBGM();  // replaced at once
            }
        }
    }
    audio.Release();
    SetDataRootPath("");
}

}  // namespace

}  // namespace stage_music_mix_test
