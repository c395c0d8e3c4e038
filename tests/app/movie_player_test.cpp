// CSMoviePlayer at fixed steps on our device: the picture drawn each tick is the frame due at
// the game clock, the end is seen, the game's sound is paused for the movie and exactly
// what played is resumed, and a movie that cannot be played leaves everything as it was.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/audio.h"
#include "app/movie_player.h"
#include "d3d8/d3d8_platform.h"
#include "platform/movie/movie_test_support.h"
#include "platform/sound/sound_test_support.h"
#include "rwd3d8.h"
#include "support/engine/headless_screen.h"
#include "support/engine/scratch_path.h"

namespace movie_player_test {

namespace {

class Movie : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.Start(d3d8::DefaultProfile(), 640, 480, nullptr));
        audio.Create(false);
        const std::string path = rwtest::ScratchPath("movie_music.wav");
        media::WriteFile(path, soundtest::DeviceRateWav(std::vector<int16_t>(2 * 4410, 700)));
        music = audio.LoadSound(path.c_str(), CSAudio::kStreamed, 8, 1.0f);
        idle = audio.LoadSound(path.c_str(), CSAudio::kStatic, 8, 1.0f);
        audio.PlaySound(music, 1);
    }
    void TearDown() override
    {
        movie.Stop();
        audio.Release();
        EXPECT_TRUE(screen.Stop());
    }
    // One tick at `now`: clock, upload, draw; the middle pixel drawn.
    uint32_t Tick(uint32_t now)
    {
        movie.Update(now);
        movie.Upload();
        const win::Frame shown = screen.Capture({90, 20, 20, 255}, [&] { movie.Draw(screen.camera); });
        return shown.At(320, 240);
    }
    headlessscreen::Screen screen;
    CSAudio audio;
    CSMoviePlayer movie;
    uint32_t music = CSAudio::kNoSound;
    uint32_t idle = CSAudio::kNoSound;
};

TEST_F(Movie, EachTickDrawsTheFrameDueAndTheEndIsSeen)
{
    std::string error;
    const uint32_t start = 5000;
    ASSERT_TRUE(movie.Play(movietest::Clip("TEST.BIK"), &audio, true, start, &error)) << error;
    EXPECT_FALSE(audio.IsPlaying(music));  // paused for the movie
    for (uint32_t tick = 0; tick * 16 < 2000; tick += 7) {
        const uint32_t ms = tick * 16;
        EXPECT_TRUE(movietest::Near(Tick(start + ms), media::ClipColour(static_cast<int>(ms / 40 * 40 / 500)))) << ms;
        EXPECT_TRUE(movie.IsPlaying()) << ms;
    }
    movie.Update(start + 2000);
    EXPECT_FALSE(movie.IsPlaying());
    EXPECT_TRUE(movie.IsActive());  // until stopped
    movie.Stop();
    EXPECT_TRUE(audio.IsPlaying(music));
    EXPECT_FALSE(audio.IsPlaying(idle));
    EXPECT_EQ(movie.Raster(), nullptr);
    movie.Stop();  // harmless when idle
}

TEST_F(Movie, AMovieThatCannotBePlayedLeavesTheSoundAlone)
{
    std::string error;
    const std::string missing = movietest::Folder() + "/NONE.BIK";
    EXPECT_FALSE(movie.Play(missing, &audio, true, 0, &error));
    EXPECT_NE(error.find(missing), std::string::npos);
    EXPECT_TRUE(audio.IsPlaying(music));
    EXPECT_FALSE(movie.IsPlaying());
    EXPECT_FALSE(movie.IsActive());
}

// A movie whose picture texture cannot be made is refused by name and
// leaves the game's sound playing; the next one plays.
TEST_F(Movie, AMovieWithoutATextureForItsPicturesLeavesTheSoundAlone)
{
    std::string error;
    d3d8::FailNextCreations(RwD3D8GetCurrentD3DDevice(), 1, D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_FALSE(movie.Play(movietest::Clip("TEST.BIK"), &audio, true, 0, &error));
    EXPECT_NE(error.find("TEST.BIK: no texture for its pictures"), std::string::npos) << error;
    EXPECT_TRUE(audio.IsPlaying(music));
    EXPECT_FALSE(movie.IsActive());
    EXPECT_EQ(movie.Raster(), nullptr);
    ASSERT_TRUE(movie.Play(movietest::Clip("TEST.BIK"), &audio, true, 0, &error)) << error;
    EXPECT_FALSE(audio.IsPlaying(music));
}

TEST_F(Movie, StoppingMidStreamResumesTheGameAndAnotherMovieCanFollow)
{
    std::string error;
    ASSERT_TRUE(movie.Play(movietest::Clip("TEST.BIK"), &audio, true, 0, &error)) << error;
    Tick(100);
    ASSERT_TRUE(movie.Play(movietest::Clip("TEST.BIK"), &audio, true, 100, &error)) << error;
    EXPECT_FALSE(audio.IsPlaying(music));
    EXPECT_TRUE(movietest::Near(Tick(700), media::ClipColour(1)));
    movie.Stop();
    EXPECT_TRUE(audio.IsPlaying(music));
}

}  // namespace

}  // namespace movie_player_test
