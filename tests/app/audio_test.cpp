// CSAudio over an offline sound library: loading by kind, refusals, handles, base and
// current volumes through the volume law (never above full), the sound-id list, memory
// figures and the pause around a movie.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/audio.h"
#include "platform/sound/sound_test_support.h"
#include "support/engine/scratch_path.h"

namespace audio_test {

namespace {


class Audio : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = rwtest::ScratchPath("audio");
        std::filesystem::create_directories(folder);
        audio.Create(false);
    }
    // A file of a constant level at the device rate, so what comes out is level x gain.
    std::string Level(const std::string &name, int16_t value, size_t frames = 4410)
    {
        const std::string path = folder + "/" + name;
        media::WriteFile(path, soundtest::DeviceRateWav(std::vector<int16_t>(frames * 2, value)));
        return path;
    }
    int16_t Heard()
    {
        audio.Update();
        return soundtest::RenderFrames(audio.Library(), 64)[40];
    }
    std::string folder;
    CSAudio audio;
};

TEST_F(Audio, KindsAndFilesThatAreRefusedGiveNoSoundAndNothingHappens)
{
    const std::string good = Level("GOOD.WAV", 1000);
    EXPECT_EQ(audio.LoadSound(good.c_str(), 1, 0, 1.0f), CSAudio::kNoSound);  // no 3D sound
    EXPECT_EQ(audio.LoadSound(good.c_str(), 3, 0, 1.0f), CSAudio::kNoSound);
    EXPECT_EQ(audio.LoadSound((folder + "/MISSING.WAV").c_str(), 0, 0, 1.0f), CSAudio::kNoSound);
    media::WriteFile(folder + "/BAD.WAV", {'R', 'I', 'F', 'F', 0xFF, 0xFF, 0xFF, 0x7F, 'W', 'A', 'V', 'E'});
    EXPECT_EQ(audio.LoadSound((folder + "/BAD.WAV").c_str(), 2, 0, 1.0f), CSAudio::kNoSound);
    const uint32_t none = CSAudio::kNoSound;
    audio.PlaySound(none, 1);
    audio.StopSound(none);
    audio.SetVolume(none, 0.5f);
    audio.SetBaseVolume(none, 0.5f);
    audio.UnloadSound(none);
    EXPECT_EQ(audio.GetVolume(none), 0.0f);
    EXPECT_EQ(audio.GetLibraryVolume(none), snd::kMinMillibels);  // silent
    EXPECT_EQ(audio.GetMemoryUsed(none), 0u);
    EXPECT_EQ(audio.GetBaseVolume(none), 0.0f);
    EXPECT_EQ(audio.GetGroup(none), -1);  // in no group
    EXPECT_FALSE(audio.IsPlaying(none));
    EXPECT_EQ(audio.GetAudioMemoryUsed(), 0u);
}

TEST_F(Audio, VolumesAreClampedAndFollowTheLaw)
{
    const uint32_t sound = audio.LoadSound(Level("A.WAV", 20000).c_str(), CSAudio::kStatic, 8, 0.5f);
    ASSERT_NE(sound, CSAudio::kNoSound);
    EXPECT_EQ(audio.GetVolume(sound), 0.5f);
    EXPECT_EQ(audio.GetBaseVolume(sound), 0.5f);
    EXPECT_EQ(audio.GetGroup(sound), 8);
    audio.PlaySound(sound, 1);
    EXPECT_NEAR(Heard(), 6325, 1);  // 20000 x 10^(-1000 / 2000)

    audio.SetVolume(sound, 1.5f);  // over 1: full volume, never louder
    EXPECT_EQ(audio.GetVolume(sound), 1.0f);
    EXPECT_EQ(audio.GetBaseVolume(sound), 0.5f);
    EXPECT_EQ(Heard(), 20000);

    audio.SetVolume(sound, 0.0f);
    EXPECT_EQ(Heard(), 0);
    audio.SetBaseVolume(sound, 0.25f);
    EXPECT_EQ(audio.GetVolume(sound), 0.25f);
    EXPECT_EQ(audio.GetBaseVolume(sound), 0.25f);
    EXPECT_NEAR(Heard(), 2000, 1);  // -2000 hundredths of a decibel

    const uint32_t other = audio.LoadSound(Level("B.WAV", 100).c_str(), CSAudio::kStreamed, 0, 1.0f);
    audio.SetAllVolumes(7.0f);
    EXPECT_EQ(audio.GetVolume(sound), 1.0f);
    EXPECT_EQ(audio.GetBaseVolume(other), 1.0f);
    audio.SetAllVolumes(-3.0f);
    EXPECT_EQ(audio.GetVolume(other), 0.0f);
    EXPECT_EQ(audio.GetBaseVolume(sound), 0.0f);
    EXPECT_EQ(Heard(), 0);
}

TEST_F(Audio, PlayRestartsAndHandlesAreReusedAfterUnloading)
{
    const std::string ramp = folder + "/RAMP.WAV";
    const std::vector<int16_t> samples = soundtest::Ramp(2000);
    media::WriteFile(ramp, soundtest::DeviceRateWav(samples));
    const uint32_t first = audio.LoadSound(ramp.c_str(), CSAudio::kStatic, 0, 1.0f);
    const uint32_t second = audio.LoadSound(ramp.c_str(), CSAudio::kStatic, 0, 1.0f);
    EXPECT_NE(first, second);
    audio.PlaySound(first, 0);
    soundtest::RenderFrames(audio.Library(), 500);
    audio.PlaySound(first, 0);
    EXPECT_EQ(soundtest::RenderFrames(audio.Library(), 4), std::vector<int16_t>(samples.begin(), samples.begin() + 8));
    audio.UnloadSound(first);
    EXPECT_FALSE(audio.IsPlaying(first));
    audio.PlaySound(first, 0);  // gone: nothing
    EXPECT_EQ(soundtest::PeakOf(soundtest::RenderFrames(audio.Library(), 10)), 0);
    EXPECT_EQ(audio.LoadSound(ramp.c_str(), CSAudio::kStatic, 0, 1.0f), first);
}

// The front-end released and started again (a new game session) knows no
// sound it had before: an old handle plays nothing and has no volume.
TEST_F(Audio, AHandleFromBeforeAReleaseIsNoSound)
{
    const uint32_t sound = audio.LoadSound(Level("A.WAV", 20000).c_str(), CSAudio::kStatic, 8, 0.5f);
    ASSERT_EQ(sound, 0u);
    audio.Release();
    audio.Create(false);
    EXPECT_EQ(audio.GetVolume(sound), 0.0f);
    EXPECT_EQ(audio.GetBaseVolume(sound), 0.0f);
    EXPECT_EQ(audio.GetGroup(sound), -1);
    audio.PlaySound(sound, 1);
    EXPECT_FALSE(audio.IsPlaying(sound));
    EXPECT_EQ(Heard(), 0);
}

TEST_F(Audio, TheSoundIdListHoldsSevenDigitNamesAndMemoryIsCounted)
{
    const uint32_t ui = audio.LoadSound(Level("6600010.WAV", 100, 44100).c_str(), CSAudio::kStatic, 8, 1.0f);
    const uint32_t music = audio.LoadSound(Level("SELCHAR.WAV", 100).c_str(), CSAudio::kStreamed, 8, 1.0f);
    const uint32_t effect = audio.LoadSound(Level("1234567.WAV", 100, 441).c_str(), CSAudio::kStatic, 0, 1.0f);
    audio.LoadSound(Level("123456.WAV", 100).c_str(), CSAudio::kStatic, 0, 1.0f);
    audio.LoadSound(Level("12345678.WAV", 100).c_str(), CSAudio::kStatic, 0, 1.0f);
    ASSERT_EQ(audio.Entries().size(), 2u);
    EXPECT_EQ(audio.Entries()[0].soundId, 6600010u);
    EXPECT_EQ(audio.Entries()[0].handle, ui);
    EXPECT_EQ(audio.Entries()[1].soundId, 1234567u);
    EXPECT_EQ(audio.GetMemoryUsed(ui), 44100u * 4u);
    EXPECT_EQ(audio.GetMemoryUsed(music), 44100u * 4u);  // its one-second ring
    EXPECT_EQ(audio.GetMemoryUsed(effect), 441u * 4u);
    EXPECT_EQ(audio.GetAudioMemoryUsed(), 44100u * 8u + 441u * 4u + 2u * 4410u * 4u);
    audio.UnloadSound(ui);
    ASSERT_EQ(audio.Entries().size(), 1u);
    EXPECT_EQ(audio.Entries()[0].handle, effect);
    EXPECT_EQ(game::SoundIdOfPath("C:\\DATA\\RESOURCE\\MEDIA\\SFX\\6600240.WAV"), 6600240u);
    EXPECT_EQ(game::SoundIdOfPath("66002A0.WAV"), 0u);
    EXPECT_EQ(game::SoundIdOfPath("sfx/6600241"), 6600241u);
    EXPECT_EQ(game::SoundIdOfPath("660024.WAV"), 0u);
    EXPECT_EQ(game::SoundIdOfPath(nullptr), 0u);
}

TEST_F(Audio, AMovieResumesExactlyTheVoicesThatWerePlaying)
{
    const uint32_t music = audio.LoadSound(Level("MUSIC.WAV", 1000).c_str(), CSAudio::kStreamed, 8, 1.0f);
    const uint32_t effect = audio.LoadSound(Level("6600000.WAV", 100, 44100).c_str(), CSAudio::kStatic, 8, 1.0f);
    const uint32_t idle = audio.LoadSound(Level("6600020.WAV", 10).c_str(), CSAudio::kStatic, 8, 1.0f);
    audio.PlaySound(music, 1);
    audio.PlaySound(effect, 0);
    EXPECT_EQ(Heard(), 1100);
    audio.PauseForMovie();
    audio.PauseForMovie();  // a second call keeps the first list
    EXPECT_EQ(Heard(), 0);
    audio.PlaySound(idle, 0);  // a sound started during the movie plays on its own
    EXPECT_EQ(Heard(), 10);
    audio.ResumeAfterMovie();
    EXPECT_EQ(Heard(), 1110);
    audio.ResumeAfterMovie();  // harmless
    EXPECT_TRUE(audio.IsPlaying(music));
}

TEST_F(Audio, OneSoundPausedAndResumedAroundTheMoviePause)
{
    const uint32_t music = audio.LoadSound(Level("M.WAV", 1000, 88200).c_str(), CSAudio::kStreamed, 0, 1.0f);
    const uint32_t effect = audio.LoadSound(Level("E.WAV", 100, 44100).c_str(), CSAudio::kStatic, 0, 1.0f);
    audio.PlaySound(music, 1);
    audio.PlaySound(effect, 0);
    audio.PauseSound(music);
    EXPECT_EQ(Heard(), 100);
    // The movie's pause and resume leave the paused music paused.
    audio.PauseForMovie();
    EXPECT_EQ(Heard(), 0);
    audio.ResumeAfterMovie();
    EXPECT_EQ(Heard(), 100);
    audio.ResumeSound(music);
    EXPECT_EQ(Heard(), 1100);
    audio.PauseSound(CSAudio::kNoSound);  // harmless
    audio.ResumeSound(CSAudio::kNoSound);
}

}  // namespace

}  // namespace audio_test
