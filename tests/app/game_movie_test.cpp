// End to end: the game run headless at fixed steps with --movie and SDL's disk audio
// driver. Start (Enter on the keyboard, pad 0) pressed at tick 60 stops the movie: the
// frame of tick 20 is the clip's (its colour and frame counter), the frame of tick 70
// is the first screen of a run without the movie (the screens wait for the movie), and
// the recorded sound is the clip's tone until the stop and silence after it, exactly
// the run's game time. A stage run with its music records the same bytes every time.
// Both runs' sound, and the movie run's trace and frames, are as kept (tests/app/frame_logs).
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/bmp_file.h"
#include "platform/movie/movie_test_support.h"
#include "platform/sound/sound_test_support.h"
#include "tests/support/game/kept_log.h"
#include "tests/support/game/run_log.h"
#include "tests/support/game/trace_reader.h"

namespace game_movie_test {

namespace {

std::string BinaryDir() { return RW_TEST_BINARY_DIR; }
std::string Folder() { return BinaryDir() + "/tests/app_movie/" + std::to_string(getpid()); }

int RunGame(const std::string &environment, const std::string &arguments)
{
    const std::string command = "cd '" + BinaryDir() + "/data' && " + environment + " '" + BinaryDir() +
                                "/app/game' --headless --fixed-step 16 " + arguments + " 2>'" + Folder() +
                                "/stderr.txt'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class GameMovie : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!std::filesystem::exists(BinaryDir() + "/data/ENGUIMV/TEST.BIK")) {
            return;
        }
        std::filesystem::remove_all(Folder());
        std::filesystem::create_directories(Folder());
        std::ofstream(Folder() + "/start60.txt") << "# start on pad 0 (Enter) at tick 60\n60 key Enter 1\n62 key Enter 0\n";
        movieStatus = RunGame("SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='" + Folder() + "/out.raw'",
                              "--mode 1 --frames 200 --movie ENGUIMV/TEST.BIK --trace '" + Folder() + "/trace.txt' --input '" + Folder() +
                                  "/start60.txt' --screenshot 20:'" +
                                  Folder() + "/a.bmp' --screenshot 70:'" + Folder() + "/b.bmp'" +
                                  gametest::kKeptRunOptions);
        // Without --mode: a headless run takes the first mode, 640 x 480.
        plainStatus = RunGame("", "--frames 70 --screenshot 70:'" + Folder() + "/plain.bmp'");
        ran = true;
    }
    void SetUp() override
    {
        if (!ran) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
        ASSERT_EQ(movieStatus, 0);
        ASSERT_EQ(plainStatus, 0);
    }
    static inline bool ran = false;
    static inline int movieStatus = -1;
    static inline int plainStatus = -1;
};

TEST_F(GameMovie, MovieAndToneUntilStartThenTheStageAndSilence)
{
    apptest::Bmp a;
    ASSERT_TRUE(apptest::LoadBmp(Folder() + "/a.bmp", &a));
    ASSERT_EQ(a.width, 640);
    // Tick 20 is 320 ms into the movie: frame 8 of the first half second.
    EXPECT_TRUE(movietest::Near(a.Pixel(320, 240), media::ClipColour(0))) << std::hex << a.Pixel(320, 240);
    const media::ClipDesc clip;
    for (int bit = 0; bit < 8; ++bit) {
        const media::BlockRect block = media::ClipCounterBlock(clip, bit);
        const uint32_t p = a.Pixel(2 * block.x + block.width, 2 * block.y + block.height);
        EXPECT_EQ((p & 0xFF) > 128, bit == 3) << "counter bit " << bit;
    }
    apptest::Bmp b;
    apptest::Bmp plain;
    ASSERT_TRUE(apptest::LoadBmp(Folder() + "/b.bmp", &b));
    ASSERT_TRUE(apptest::LoadBmp(Folder() + "/plain.bmp", &plain));
    EXPECT_EQ(plain.width, 640);  // the first mode, taken by a headless run without --mode
    EXPECT_EQ(plain.height, 480);
    EXPECT_EQ(b.data, plain.data);  // the first screen, exactly as without a movie
    // The screens wait for the movie: the first switches to one once it is
    // stopped, not under it (where its time and its presses would run on).
    const std::vector<gametest::TraceRecord> trace = gametest::ReadTrace(Folder() + "/trace.txt");
    const std::vector<gametest::TraceRecord> screens = gametest::RecordsOfKind(trace, "screen");
    ASSERT_FALSE(screens.empty());
    EXPECT_GE(screens.front().tick, 60u);

    // The recorded sound: on the game's clock it covers the run's 200 ticks of 16 ms
    // exactly, whatever the machine's load: the clip's tone from the start to the
    // press at tick 60 (0.96 s), without a gap, then silence.
    const std::vector<int16_t> recorded = gametest::ReadRecording(Folder() + "/out.raw");
    const size_t frames = recorded.size() / 2;
    ASSERT_EQ(frames, 200u * 16u * snd::kDeviceRate / 1000u);
    size_t first = frames;
    size_t last = 0;
    for (size_t i = 0; i < frames; ++i) {
        if (std::abs(recorded[2 * i]) > 6000) {
            first = std::min(first, i);
        }
        if (std::abs(recorded[2 * i]) > 100) {
            last = i;
        }
    }
    ASSERT_LT(first, frames);
    EXPECT_LT(first, snd::kDeviceRate / 100) << "the tone starts with the movie";
    EXPECT_EQ(last + 1, 60u * 16u * snd::kDeviceRate / 1000u) << "the tone ends with the press at tick 60";
    const std::vector<int16_t> tone(recorded.begin() + static_cast<std::ptrdiff_t>(2 * first),
                                    recorded.begin() + static_cast<std::ptrdiff_t>(2 * last));
    EXPECT_NEAR(soundtest::PeakOf(tone), 12000, 30);
    EXPECT_NEAR(soundtest::PitchOf(tone), 440.0, 3.0);
    // No gap: near zero only where the tone crosses it, a sample at a time.
    size_t quiet = 0;
    size_t longestQuiet = 0;
    for (size_t i = 0; i < tone.size(); i += 2) {
        quiet = std::abs(tone[i]) <= 100 ? quiet + 1 : 0;
        longestQuiet = std::max(longestQuiet, quiet);
    }
    EXPECT_LE(longestQuiet, 2u) << "a gap in the tone";
    for (size_t i = 2 * (last + 1); i < recorded.size(); ++i) {
        ASSERT_EQ(recorded[i], 0) << "sample " << i << " after the movie stopped";
    }
    // The whole run as kept: its trace, the frames of every fourth tick (the
    // clip's, then the first screen's) and the sound, a quarter of a second a line.
    gametest::ExpectRunAsKept(trace, "app/frame_logs/movie_start60", Folder() + "/trace.txt",
                              gametest::SoundLog(recorded, snd::kDeviceRate / 4));
}

// The sound of a fixed-step run is the game's: a run of the first stage with its
// music records 90 ticks of 16 ms, 1.44 s to the byte, and a second run the same bytes.
TEST_F(GameMovie, AFixedStepRunRecordsItsGameTimeTheSameEveryRun)
{
    std::vector<char> runs[2];
    for (int run = 0; run < 2; ++run) {
        const std::string path = Folder() + "/stage" + std::to_string(run) + ".raw";
        ASSERT_EQ(RunGame("SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='" + path + "'", "--mode 1 --stage 1 --frames 90"), 0);
        std::ifstream in(path, std::ios::binary);
        runs[run].assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    EXPECT_EQ(runs[0].size(), 254016u) << "1.44 s of 44100 Hz 16-bit stereo";
    EXPECT_TRUE(runs[0] == runs[1]) << "two runs of one script give the same samples";
    std::vector<int16_t> samples(runs[0].size() / 2);
    std::memcpy(samples.data(), runs[0].data(), samples.size() * 2);
    EXPECT_GT(soundtest::PeakOf(samples), 1000) << "the stage's music plays";
    // And it is the music as kept, a quarter of a second a line.
    gametest::ExpectSameAsKeptLog(gametest::SoundLog(samples, snd::kDeviceRate / 4),
                                  std::string(RW_TEST_SOURCE_DIR) + "/tests/app/frame_logs/stage1_music.txt");
}

}  // namespace

}  // namespace game_movie_test
