// The interface sounds and the screens' music on a sound front-end without
// a device: the 25 sounds loaded once, which ids play, the music's fade
// curve step by step, a new piece during a fade, a missing piece, and the
// two volumes.
#include <gtest/gtest.h>

#include <string>

#include "app/audio.h"
#include "app/trace.h"
#include "tests/ui/ui_test_support.h"
#include "ui/ui_sound.h"

namespace ui_sound_test {

namespace {

class UISoundTest : public uitest::ScreensTest {
protected:
    void SetUp() override
    {
        StartOnSampleData();
        if (IsSkipped()) {
            return;
        }
        audio.Create(false);
        SetUIAudioForTest(&audio, true);
    }
    void TearDown() override
    {
        ScreensTest::TearDown();
        SetUIAudioForTest(nullptr, false);
        audio.Release();
    }
    std::string Music(const char *name) { return apptest::SampleData() + "/RESOURCE/MEDIA/BGM/" + name; }

    CSAudio audio;
    uitest::RecordingLinksScope links;
};

TEST_F(UISoundTest, TheSoundsLoadOnceAndOnlyTheirIdsPlay)
{
    EXPECT_FALSE(ui->PlayUISound(6600010, 0));  // not loaded yet
    ui->LoadUISounds();
    ASSERT_TRUE(ui->UISoundsLoaded());
    const size_t loaded = audio.Entries().size();
    EXPECT_EQ(loaded, 25u);
    EXPECT_EQ(ui->words.Count(), 6);  // the word table comes with them
    ui->LoadUISounds();
    EXPECT_EQ(audio.Entries().size(), loaded);
    EXPECT_TRUE(ui->PlayUISound(6600000, 0));
    EXPECT_TRUE(ui->PlayUISound(6600015, 0));  // between two: the lower one
    EXPECT_TRUE(ui->PlayUISound(6600240, 1));
    EXPECT_FALSE(ui->PlayUISound(6600241, 0));
    EXPECT_FALSE(ui->PlayUISound(6600250, 0));
    EXPECT_FALSE(ui->PlayUISound(0xFFFFFFFFu, 0));
    EXPECT_FALSE(ui->PlayUISound(6599990, 0));
    ui->ReleaseUISounds();
    EXPECT_EQ(audio.Entries().size(), 0u);
    EXPECT_EQ(ui->words.Count(), 0);
}

TEST_F(UISoundTest, AFadeMultipliesTheVolumeEachStepAndEndsTheMusicByItsTime)
{
    ui->PlayBGM(Music("SELCHAR.WAV").c_str());
    const uint32_t handle = ui->MusicHandle();
    ASSERT_NE(handle, kUINoMusic);
    EXPECT_EQ(audio.GetVolume(handle), 1.0f);
    ui->StopBGM(1000);
    float expected = 1.0f;
    uint32_t elapsed = 0;
    while (ui->MusicHandle() != kUINoMusic) {
        ASSERT_LE(elapsed, 1008u) << "the music outlived its fade";
        ui->StepMusicFade(16);
        if (ui->MusicHandle() == kUINoMusic) {
            break;
        }
        expected *= 1.0f - static_cast<float>(elapsed) / 1000.0f;
        EXPECT_NEAR(audio.GetVolume(handle), expected, 1e-5f) << elapsed;
        elapsed += 16;
    }
    // Ended in the step in which the elapsed time reached the duration.
    EXPECT_EQ(elapsed, 1008u);
    EXPECT_FALSE(audio.IsPlaying(handle));
    // The next piece plays on at its volume: the finished fade is over.
    ui->PlayBGM(Music("SELCHAR.WAV").c_str());
    ui->StepMusicFade(16);
    ASSERT_NE(ui->MusicHandle(), kUINoMusic);
    EXPECT_EQ(audio.GetVolume(ui->MusicHandle()), 1.0f);
    // StopBGM (0) ends it at once, also half way through a fade, and the
    // piece after it plays on at its volume.
    ui->StopBGM(1000);
    ui->StepMusicFade(16);
    ui->StepMusicFade(16);
    ui->StopBGM(0);
    EXPECT_EQ(ui->MusicHandle(), kUINoMusic);
    ui->PlayBGM(Music("SELCHAR.WAV").c_str());
    for (int i = 0; i < 3; ++i) {
        ui->StepMusicFade(16);
        ASSERT_NE(ui->MusicHandle(), kUINoMusic) << i;
        EXPECT_EQ(audio.GetVolume(ui->MusicHandle()), 1.0f) << i;
    }
}

TEST_F(UISoundTest, ANewPieceDuringAFadeReplacesItAtTheStoredVolume)
{
    const std::string trace = apptest::ScratchFolder("music_trace") + "/t.txt";
    std::string error;
    ASSERT_TRUE(game::TraceOpen(trace, &error)) << error;
    ui->SetMusicVolume(0.5f);
    ui->PlayBGM(Music("SELCHAR.WAV").c_str());
    ui->StopBGM(1000);
    for (int i = 0; i < 20; ++i) {
        ui->StepMusicFade(16);
    }
    const uint32_t fading = ui->MusicHandle();
    EXPECT_LT(audio.GetVolume(fading), 0.5f);
    ui->PlayBGM(Music("LOADING.WAV").c_str());
    EXPECT_EQ(audio.GetVolume(ui->MusicHandle()), 0.5f);
    // No fade goes on.
    ui->StepMusicFade(16);
    EXPECT_EQ(audio.GetVolume(ui->MusicHandle()), 0.5f);
    game::TraceClose();
    const std::vector<uint8_t> lines = apptest::ReadBytes(trace);
    EXPECT_EQ(std::string(lines.begin(), lines.end()),
              "0 music start ui SELCHAR.WAV\n0 music stop ui SELCHAR.WAV\n0 music start ui LOADING.WAV\n");
}

// A piece whose file is missing plays nothing: the one before it has ended,
// no music is held and none is traced as started or stopped. Without the
// sound front-end no piece plays at all.
TEST_F(UISoundTest, AMissingPieceOrNoSoundFrontEndPlaysNothing)
{
    const std::string trace = apptest::ScratchFolder("music_missing") + "/t.txt";
    std::string error;
    ASSERT_TRUE(game::TraceOpen(trace, &error)) << error;
    ui->PlayBGM(Music("SELCHAR.WAV").c_str());
    ui->PlayBGM(Music("NOSUCH.WAV").c_str());
    EXPECT_EQ(ui->MusicHandle(), kUINoMusic);
    ui->StopBGM(0);
    SetUIAudioForTest(nullptr, true);
    ui->PlayBGM(Music("LOADING.WAV").c_str());
    EXPECT_EQ(ui->MusicHandle(), kUINoMusic);
    SetUIAudioForTest(&audio, true);
    game::TraceClose();
    const std::vector<uint8_t> lines = apptest::ReadBytes(trace);
    EXPECT_EQ(std::string(lines.begin(), lines.end()), "0 music start ui SELCHAR.WAV\n0 music stop ui SELCHAR.WAV\n");
    EXPECT_TRUE(audio.Entries().empty());
}

TEST_F(UISoundTest, VolumesAreKeptWithinZeroAndOne)
{
    // The music playing takes the new volume at once.
    ui->PlayBGM(Music("SELCHAR.WAV").c_str());
    ASSERT_NE(ui->MusicHandle(), kUINoMusic);
    ui->SetMusicVolume(0.25f);
    EXPECT_EQ(audio.GetVolume(ui->MusicHandle()), 0.25f);
    ui->StopBGM(0);
    ui->SetMusicVolume(1.5f);
    EXPECT_EQ(ui->Settings().musicVolume, 1.0f);
    ui->SetMusicVolume(-0.2f);
    EXPECT_EQ(ui->Settings().musicVolume, 0.0f);
    ui->SetSoundVolume(2.0f);
    EXPECT_EQ(ui->Settings().soundVolume, 1.0f);
    // The stage's music hears of the music volume.
    EXPECT_EQ(uitest::Links().log.back(), "stage music volume 0.00");
    ui->ResetVolumes();
    EXPECT_EQ(ui->Settings().musicVolume, 1.0f);
    EXPECT_EQ(ui->Settings().soundVolume, 1.0f);
    EXPECT_EQ(ui->Settings().flag, 1);
}

}  // namespace

}  // namespace ui_sound_test
