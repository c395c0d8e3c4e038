// The stage's music against a recording stand-in for the sound: kinds 0 to
// 7, pause and resume, fades out and in (IsBGMStopped false while a fade
// sounds, true after), the 2000 ms fade-in curve, volumes, missing music.
#include <gtest/gtest.h>

#include "fake_sound.h"
#include "stage/stage_music.h"

namespace stage_music_test {

namespace {

using soundtest::FakeSound;

const std::string kStagePiece = "\\RESOURCE\\MEDIA\\BGM\\2010000.WAV";
const std::string kEventPiece = "\\RESOURCE\\MEDIA\\BGM\\EVT1.WAV";

class StageMusicTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sound_.AddFile(kStagePiece);
        sound_.AddFile(kEventPiece);
        music_.SetStage(2010000);
    }
    const FakeSound::Voice *Voice(const std::string &path) const { return sound_.Find(path); }

    FakeSound sound_;
    CSStageMusic music_{sound_.Port()};
};

TEST_F(StageMusicTest, PathsAndKinds)
{
    EXPECT_EQ(StageMusicPath(2010000), kStagePiece);
    EXPECT_EQ(EventMusicPath(12), "\\RESOURCE\\MEDIA\\BGM\\EVT12.WAV");
    EXPECT_EQ(music_.Kind(), kMusicNone);
    EXPECT_TRUE(music_.IsBGMStopped());
    music_.PlayStageBGM();
    EXPECT_EQ(music_.Kind(), kMusicStage);
    EXPECT_EQ(music_.Name(), "2010000.WAV");
    const FakeSound::Voice *stage = Voice(kStagePiece);
    ASSERT_NE(stage, nullptr);
    EXPECT_EQ(stage->kind, SoundPort::kStreamed);
    EXPECT_EQ(stage->group, kStageMusicGroup);
    EXPECT_TRUE(stage->playing);
    EXPECT_TRUE(stage->loop);
    EXPECT_FLOAT_EQ(stage->volume, 1.0f);
    // An event piece replaces the stage's at once.
    music_.PlayEventBGM(0, 1);
    EXPECT_EQ(music_.Kind(), kMusicEvent);
    EXPECT_EQ(Voice(kStagePiece), nullptr);
    EXPECT_TRUE(Voice(kEventPiece)->playing);
    music_.StopBGM(0);
    EXPECT_EQ(music_.Kind(), kMusicNone);
    EXPECT_TRUE(sound_.voices.empty());
}

TEST_F(StageMusicTest, PauseTurnsEachKindIntoItsPausedKindAndResumeBack)
{
    // kind 0
    music_.PauseBGM();
    EXPECT_EQ(music_.Kind(), 4);
    music_.ResumeBGM();
    EXPECT_EQ(music_.Kind(), 0);
    // kinds 1 and 2
    music_.PlayStageBGM();
    music_.PauseBGM();
    EXPECT_EQ(music_.Kind(), 5);
    EXPECT_TRUE(Voice(kStagePiece)->paused);
    music_.PauseBGM();  // twice is once
    EXPECT_EQ(music_.Kind(), 5);
    music_.ResumeBGM();
    EXPECT_EQ(music_.Kind(), 1);
    EXPECT_FALSE(Voice(kStagePiece)->paused);
    EXPECT_EQ(Voice(kStagePiece)->plays, 1);  // resumed, not restarted
    music_.ResumeBGM();                        // nothing paused: nothing to resume
    EXPECT_EQ(sound_.Count("resume " + kStagePiece), 1u);
    music_.PlayEventBGM(0, 1);
    music_.PauseBGM();
    EXPECT_EQ(music_.Kind(), 6);
    music_.ResumeBGM();
    EXPECT_EQ(music_.Kind(), 2);
    // kind 3: the fade holds while paused and goes on after the resume.
    music_.StopBGM(1000);
    music_.Update(500);
    EXPECT_EQ(music_.Kind(), 3);
    music_.PauseBGM();
    EXPECT_EQ(music_.Kind(), 7);
    music_.Update(5000);
    EXPECT_EQ(music_.Kind(), 7);
    EXPECT_FLOAT_EQ(music_.FadeLevel(), 0.5f);
    music_.ResumeBGM();
    EXPECT_EQ(music_.Kind(), 3);
    music_.Update(500);
    EXPECT_EQ(music_.Kind(), 0);
    // Music started under a pause waits for the resume.
    music_.PauseBGM();
    music_.PlayStageBGM();
    EXPECT_EQ(music_.Kind(), 5);
    EXPECT_TRUE(Voice(kStagePiece)->paused);
    music_.ResumeBGM();
    EXPECT_FALSE(Voice(kStagePiece)->paused);
}

TEST_F(StageMusicTest, FadeOutSoundsUntilItEnds)
{
    music_.PlayStageBGM();
    music_.StopBGM(1000);
    EXPECT_EQ(music_.Kind(), kMusicFading);
    for (int i = 1; i <= 62; ++i) {  // 16 ms ticks up to 992 ms
        music_.Update(16);
        ASSERT_FALSE(music_.IsBGMStopped()) << i;
        EXPECT_NEAR(Voice(kStagePiece)->volume, 1.0f - 16.0f * i / 1000.0f, 1e-5f);
    }
    music_.Update(16);
    EXPECT_TRUE(music_.IsBGMStopped());
    EXPECT_EQ(Voice(kStagePiece), nullptr);  // freed once silent
    EXPECT_EQ(sound_.Count("unload " + kStagePiece), 1u);
    // Stopping nothing does nothing.
    music_.StopBGM(500);
    EXPECT_EQ(music_.Kind(), kMusicNone);
    // A piece stopped before its fade-in rose is silent already: it ends at
    // the next tick, not a whole fade later.
    music_.PlayEventBGM(1000, 1);
    music_.StopBGM(1000);
    music_.Update(16);
    EXPECT_TRUE(music_.IsBGMStopped());
    EXPECT_EQ(Voice(kEventPiece), nullptr);
}

TEST_F(StageMusicTest, FadeInOfTwoSecondsRisesEvenly)
{
    music_.PlayEventBGM(0, 1);
    music_.FadeInStageBGM();
    EXPECT_EQ(music_.Kind(), kMusicStage);
    EXPECT_EQ(Voice(kEventPiece), nullptr);
    const FakeSound::Voice *stage = Voice(kStagePiece);
    ASSERT_NE(stage, nullptr);
    EXPECT_FLOAT_EQ(stage->volume, 0.0f);
    for (int ms = 100; ms <= 2000; ms += 100) {
        music_.Update(100);
        EXPECT_NEAR(stage->volume, ms / 2000.0f, 1e-5f) << ms;
    }
    music_.Update(100);
    EXPECT_FLOAT_EQ(stage->volume, 1.0f);
    EXPECT_FLOAT_EQ(music_.FadeLevel(), 1.0f);
    // An event piece faded in, then stopped half-way: the fade out starts from where it stood.
    music_.PlayEventBGM(1000, 1);
    music_.Update(500);
    EXPECT_NEAR(Voice(kEventPiece)->volume, 0.5f, 1e-6f);
    music_.StopBGM(1000);
    music_.Update(500);
    EXPECT_NEAR(Voice(kEventPiece)->volume, 0.25f, 1e-6f);
}

TEST_F(StageMusicTest, VolumeScalesThePieceAndItsFade)
{
    music_.SetBGMVolume(0.5f);
    music_.PlayStageBGM();
    EXPECT_FLOAT_EQ(Voice(kStagePiece)->volume, 0.5f);
    music_.SetBGMVolume(0.8f);
    EXPECT_FLOAT_EQ(Voice(kStagePiece)->volume, 0.8f);
    music_.StopBGM(1000);
    music_.Update(250);
    EXPECT_FLOAT_EQ(Voice(kStagePiece)->volume, 0.8f * 0.75f);
    music_.SetBGMVolume(-4.0f);
    EXPECT_FLOAT_EQ(music_.Volume(), 0.0f);
    music_.SetBGMVolume(3.0f);
    EXPECT_FLOAT_EQ(music_.Volume(), 1.0f);
}

TEST_F(StageMusicTest, MissingMusicPlaysNothing)
{
    music_.PlayEventBGM(2000, 99);
    EXPECT_EQ(music_.Kind(), kMusicNone);
    EXPECT_TRUE(music_.IsBGMStopped());
    music_.SetStage(2990000);
    music_.PlayStageBGM();
    EXPECT_EQ(music_.Kind(), kMusicNone);
    music_.SetStage(0);
    music_.FadeInStageBGM();
    EXPECT_EQ(music_.Kind(), kMusicNone);
    music_.Update(100);
    EXPECT_TRUE(sound_.voices.empty());
}

}  // namespace

}  // namespace stage_music_test
