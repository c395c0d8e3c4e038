// End to end: what the game's sound output holds and says. The fight of boss
// 1109, the loudest of the sample stages, is recorded without a clipped run of
// samples; where ALSA finds no sound card, its own lines stay off the terminal
// (under --debug they are diagnostic lines) and the game's one line is said.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "sound/sound.h"
#include "support/game/run_log.h"
#include "support/game/trace_reader.h"
#include "tests/app/app_test_support.h"

namespace game_sound_test {

namespace {

bool AtLimit(int16_t sample) { return sample == 32767 || sample == -32768; }

// Stage 37 at 16 ms a tick with the hero standing: boss 1109 closes in and
// attacks, its shots, blows and aura sounding over the stage's music, at
// times together louder than 16 bits hold. The recording of the fight's
// first 4.8 s (the disk driver, on the game's clock) has no run of two
// samples of a channel at the format's limit: the mix is turned down below it.
// The run's trace, frames, poses and sound are as kept (tests/app/frame_logs).
TEST(GameSound, TheFightOfBoss1109IsRecordedWithoutAClippedRun)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    const std::string folder = apptest::ScratchFolder("boss_1109_sound");
    const std::string recording = folder + "/out.raw";
    std::string output;
    ASSERT_EQ(apptest::RunGame(apptest::SampleData(),
                               "--headless --mode 1 --stage 37 --fixed-step 16 --frames 300 --trace '" + folder +
                                   "/t.txt'" + gametest::kKeptRunOptions,
                               &output, "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='" + recording + "'"),
              0)
        << output;
    const std::vector<int16_t> samples = gametest::ReadRecording(recording);
    // The whole fight as kept, what it sounds like with it.
    gametest::ExpectRunAsKept(gametest::ReadTrace(folder + "/t.txt"), "app/frame_logs/boss_1109_fight",
                              folder + "/t.txt", gametest::SoundLog(samples, snd::kDeviceRate / 4));
    ASSERT_EQ(samples.size(), 300u * 16u * 441u / 10u * 2u) << "4.8 s of 44100 Hz stereo";
    int peak = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
        ASSERT_FALSE(i >= 2 && AtLimit(samples[i]) && AtLimit(samples[i - 2]))
            << "a clipped run at " << static_cast<double>(i / 2) / snd::kDeviceRate << " s";
    }
    // The fight is loud enough to have needed turning down, and was.
    EXPECT_GT(peak, 30000);
    EXPECT_LT(peak, snd::kMixCeiling);
}

std::vector<std::string> LinesOf(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// SDL's ALSA driver asked for a card that is not there (the same on a machine
// with sound cards): ALSA's library has eight lines of its own to say before
// SDL gives up. The terminal gets the game's line only; --debug shows ALSA's
// as the sound's diagnostic lines.
TEST(GameSound, WithoutASoundCardOnlyTheGamesLineIsShown)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    const std::string run = "--headless --mode 1 --fixed-step 16 --frames 2";
    const std::string environment = "SDL_AUDIODRIVER=alsa ALSA_CARD=rwgame_no_such_card";
    std::string quiet;
    ASSERT_EQ(apptest::RunGame(apptest::SampleData(), run, &quiet, environment), 0) << quiet;
    if (quiet.empty()) {
        GTEST_SKIP() << "ALSA opened a device after all (its default goes elsewhere on this machine)";
    }
    const std::vector<std::string> lines = LinesOf(quiet);
    ASSERT_EQ(lines.size(), 1u) << quiet;
    EXPECT_EQ(lines[0].rfind("sound: no audio device: ", 0), 0u) << quiet;
    EXPECT_NE(lines[0].find("; sounds play nowhere"), std::string::npos) << quiet;

    std::string debug;
    ASSERT_EQ(apptest::RunGame(apptest::SampleData(), run + " --debug", &debug, environment), 0) << debug;
    EXPECT_NE(debug.find("sound: ALSA lib "), std::string::npos) << debug;
    for (const std::string &line : LinesOf(debug)) {
        EXPECT_NE(line.rfind("ALSA lib", 0), 0u) << "a line past the diagnostic lines: " << line;
    }
}

}  // namespace

}  // namespace game_sound_test
