// The movie player on the labelled test clip (25 frames a second, its colour changing
// every half second, a frame counter, a 440 Hz tone): exact frames under a set clock, the
// end, opening by content, hostile and broken files, stopping idle and mid-stream, the
// sound's clock driving the pictures (also past a sound that ends before them), and the
// sound mixed on the game's clock.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "movie_test_support.h"
#include "platform/sound/sound_test_support.h"
#include "sound/sound.h"

namespace movie_player_test {

namespace {

using movietest::Clip;
using movietest::Picture;
using namespace std::chrono_literals;

mov::PlayOptions FixedSteps()
{
    mov::PlayOptions options;
    options.externalClock = true;
    return options;
}

// Runs the player at 16 ms steps until it ends (bounded), recording the counter seen
// at each step.
std::vector<int> RunToEnd(mov::Player *player, int64_t limitMs = 4000)
{
    std::vector<int> counters;
    Picture picture;
    for (int64_t ms = 0; ms <= limitMs; ms += 16) {
        player->SetClock(ms);
        player->Advance();
        if (!player->IsPlaying()) {
            break;
        }
        if (movietest::Take(player, &picture) || !counters.empty()) {
            counters.push_back(movietest::Counter(picture));
        }
    }
    return counters;
}

// Plays `bytes` (written under `name`) to its end at fixed steps.
std::vector<int> PlayBytesToEnd(const std::string &name, const std::vector<uint8_t> &bytes, mov::Player *player)
{
    std::string error;
    EXPECT_TRUE(player->Play(movietest::WriteBytes(name, bytes), FixedSteps(), &error)) << error;
    std::vector<int> counters = RunToEnd(player);
    EXPECT_FALSE(player->IsPlaying());
    return counters;
}

TEST(MoviePlayer, UnderASetClockEachStepShowsExactlyTheFrameThatIsDue)
{
    mov::Player player;
    std::string error;
    ASSERT_TRUE(player.Play(Clip("TEST.BIK"), FixedSteps(), &error)) << error;
    EXPECT_EQ(player.Width(), 320u);
    EXPECT_EQ(player.Height(), 240u);
    Picture picture;
    for (int64_t ms = 0; ms < 2000; ms += 16) {
        player.SetClock(ms);
        player.Advance();
        ASSERT_TRUE(player.IsPlaying()) << ms;
        movietest::Take(&player, &picture);
        ASSERT_EQ(movietest::Counter(picture), ms / 40) << "at " << ms << " ms";
        ASSERT_EQ(player.FrameTimeMs(), ms / 40 * 40);
        ASSERT_TRUE(movietest::Near(movietest::Middle(picture), media::ClipColour(static_cast<int>(ms / 40 * 40 / 500))))
            << std::hex << movietest::Middle(picture) << " at " << std::dec << ms;
    }
    // After the last frame's time the movie has ended.
    player.SetClock(2000);
    player.Advance();
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_FALSE(player.EndedEarly());
    EXPECT_EQ(player.DamagedPackets(), 0u);
}

TEST(MoviePlayer, TheFrameAtAQuarterSecondHasTheClipsFirstColour)
{
    mov::Player player;
    std::string error;
    ASSERT_TRUE(player.Play(Clip("TEST.BIK"), FixedSteps(), &error)) << error;
    player.SetClock(250);
    player.Advance();
    Picture picture;
    ASSERT_TRUE(movietest::Take(&player, &picture));
    EXPECT_TRUE(movietest::Near(movietest::Middle(picture), media::ClipColour(0)));
    EXPECT_EQ(movietest::Counter(picture), 6);
    EXPECT_FALSE(movietest::Take(&player, &picture));  // nothing new since
}

TEST(MoviePlayer, FilesAreOpenedByContentNotByName)
{
    media::ClipDesc avi = movietest::TestClip();
    avi.container = "avi";
    avi.durationMs = 400;
    for (const std::string &path : {Clip("MATROSKA.WAV"), Clip("AVI.BIK", avi), Clip("noextension")}) {
        mov::Player player;
        std::string error;
        ASSERT_TRUE(player.Play(path, FixedSteps(), &error)) << error;
        player.SetClock(100);
        player.Advance();
        Picture picture;
        ASSERT_TRUE(movietest::Take(&player, &picture)) << path;
        EXPECT_EQ(movietest::Counter(picture), 2) << path;
    }
}

TEST(MoviePlayer, MissingAndGarbageFilesAreRefusedWithTheirName)
{
    std::vector<uint8_t> garbage(20000);
    for (size_t i = 0; i < garbage.size(); ++i) {
        garbage[i] = static_cast<uint8_t>((i * 7919u) >> 3);
    }
    media::ClipDesc sound = movietest::TestClip();
    std::vector<uint8_t> text(5000, 'a');
    const std::string paths[] = {
        movietest::Folder() + "/MISSING.BIK", movietest::WriteBytes("GARBAGE.BIK", garbage),
        movietest::WriteBytes("EMPTY.BIK", {}), movietest::WriteBytes("TEXT.BIK", text)};
    for (const std::string &path : paths) {
        mov::Player player;
        std::string error;
        EXPECT_FALSE(player.Play(path, FixedSteps(), &error)) << path;
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_FALSE(player.IsPlaying());
        player.Stop();
    }
}

TEST(MoviePlayer, StopIsHarmlessWhenIdleAndImmediateMidStream)
{
    mov::Player idle;
    idle.Stop();
    idle.Stop();
    EXPECT_FALSE(idle.IsPlaying());

    snd::Library sound;
    soundtest::StartOffline(&sound, true);
    std::string error;
    for (int round = 0; round < 4; ++round) {
        mov::Player player;
        mov::PlayOptions options;
        options.sound = &sound;
        ASSERT_TRUE(player.Play(Clip("TEST.BIK"), options, &error)) << error;
        std::vector<int16_t> out(2 * 441);
        for (int i = 0; i < round * 3; ++i) {
            sound.Render(out.data(), 441);
            std::this_thread::sleep_for(1ms);
        }
        player.Advance();
        const auto before = std::chrono::steady_clock::now();
        player.Stop();  // the decode thread is joined here; the sanitizers see the rest
        EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
        EXPECT_FALSE(player.IsPlaying());
        player.Stop();
    }
    // Destroying a playing player stops it too.
    auto player = std::make_unique<mov::Player>();
    ASSERT_TRUE(player->Play(Clip("TEST.BIK"), mov::PlayOptions{}, &error));
    player.reset();
}

TEST(MoviePlayer, ATruncatedClipPlaysToItsLastGoodFrameAndEnds)
{
    std::vector<uint8_t> bytes = movietest::ReadBytes(Clip("TEST.BIK"));
    bytes.resize(bytes.size() * 55 / 100);
    mov::Player player;
    const std::vector<int> counters = PlayBytesToEnd("CUT.BIK", bytes, &player);
    ASSERT_FALSE(counters.empty());
    EXPECT_TRUE(player.EndedEarly());
    EXPECT_GT(counters.back(), 10);
    EXPECT_LT(counters.back(), 40);
    for (size_t i = 1; i < counters.size(); ++i) {
        EXPECT_GE(counters[i], counters[i - 1]);
    }
}

TEST(MoviePlayer, DamagedPacketsAreSkippedAndPlaybackGoesOn)
{
    media::ClipDesc silent = movietest::TestClip();
    silent.sound = false;
    std::vector<uint8_t> bytes = movietest::ReadBytes(Clip("SILENT.BIK", silent));
    for (size_t i = bytes.size() * 2 / 5; i < bytes.size() * 2 / 5 + 3000; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 31u);
    }
    mov::Player player;
    const std::vector<int> counters = PlayBytesToEnd("DAMAGED.BIK", bytes, &player);
    ASSERT_FALSE(counters.empty());
    EXPECT_GE(counters.back(), 40);  // pictures after the damage were shown
}

TEST(MoviePlayer, TheSoundsClockDrivesThePictures)
{
    snd::Library sound;
    soundtest::StartOffline(&sound, true);
    std::string error;
    mov::Player player;
    mov::PlayOptions options;
    options.sound = &sound;
    ASSERT_TRUE(player.Play(Clip("TEST.BIK"), options, &error)) << error;
    // This test is the device: it takes the movie's sound 10 ms at a time, and the
    // pictures follow what it has taken, however long that takes.
    std::vector<int16_t> heard;
    std::vector<int16_t> block(2 * 441);
    const auto giveUp = std::chrono::steady_clock::now() + 30s;
    while (player.ClockMs() < 1100 && std::chrono::steady_clock::now() < giveUp) {
        const int64_t before = player.ClockMs();
        sound.Render(block.data(), 441);
        heard.insert(heard.end(), block.begin(), block.end());
        player.Advance();
        if (player.ClockMs() == before) {
            std::this_thread::sleep_for(1ms);  // the decode thread has not caught up yet
        }
    }
    ASSERT_GE(player.ClockMs(), 1100);
    // Wait (bounded) for the decode thread to have the frame due by now.
    while (player.FrameTimeMs() + 40 <= player.ClockMs() && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(1ms);
        player.Advance();
    }
    const int64_t clock = player.ClockMs();
    const int64_t shown = player.FrameTimeMs();
    EXPECT_LE(shown, clock);
    EXPECT_GT(shown + 40, clock);
    Picture picture;
    ASSERT_TRUE(movietest::Take(&player, &picture));
    EXPECT_EQ(movietest::Counter(picture), shown / 40);
    EXPECT_TRUE(movietest::Near(movietest::Middle(picture), media::ClipColour(static_cast<int>(shown / 500))));
    // What was heard is the tone: its level, and 440 periods a second of what was played.
    EXPECT_NEAR(soundtest::PeakOf(heard), 12000, 30);
    const double seconds = static_cast<double>(clock) / 1000.0;
    EXPECT_NEAR(soundtest::PitchOf(heard) * (heard.size() / 2.0) / snd::kDeviceRate / seconds, 440.0, 8.0);
    player.Stop();
}

// What a run on the sound's clock heard and showed.
struct SoundClockRun {
    std::vector<int16_t> heard;           // while the movie's sound played
    std::vector<int16_t> heardPastSound;  // once the clock had passed the sound's end
    bool ended = false;
    bool endedEarly = false;
    int64_t clockMs = 0;
    int64_t lastFrameMs = -1;
    int lastCounter = -1;
};

// Plays `clip` to its end as a player sees a movie: on the sound's clock, this run being
// the device that takes the movie's sound 10 ms at a time, the pictures following what
// it has taken and, once the sound (`soundMs` long) has played out, the wall clock.
SoundClockRun PlayOnTheSoundsClock(const std::string &clip, int64_t soundMs)
{
    SoundClockRun run;
    snd::Library sound;
    soundtest::StartOffline(&sound, true);
    std::string error;
    mov::Player player;
    mov::PlayOptions options;
    options.sound = &sound;
    EXPECT_TRUE(player.Play(clip, options, &error)) << error;
    std::vector<int16_t> block(2 * 441);
    // Only against a hang: the run itself lasts about as long as the pictures that
    // outlast the sound.
    const auto giveUp = std::chrono::steady_clock::now() + 30s;
    while (player.IsPlaying() && std::chrono::steady_clock::now() < giveUp) {
        const bool pastSound = player.ClockMs() >= soundMs;
        sound.Render(block.data(), 441);
        std::vector<int16_t> &into = pastSound ? run.heardPastSound : run.heard;
        into.insert(into.end(), block.begin(), block.end());
        player.Advance();
        std::this_thread::sleep_for(1ms);  // lets the decode thread catch up
    }
    run.ended = !player.IsPlaying();
    run.endedEarly = player.EndedEarly();
    run.clockMs = player.ClockMs();
    run.lastFrameMs = player.FrameTimeMs();
    Picture picture;
    if (movietest::Take(&player, &picture)) {
        run.lastCounter = movietest::Counter(picture);
    }
    player.Stop();
    return run;
}

// Frames of `samples` that are not silent. The clip's tone is exactly zero twenty times a
// second (every 2205 frames), so a second of it has 44080 such frames; a gap of even
// 10 ms would take 441.
size_t SoundingFrames(const std::vector<int16_t> &samples)
{
    size_t sounding = 0;
    for (size_t i = 0; i < samples.size(); i += 2) {
        sounding += samples[i] != 0 ? 1 : 0;
    }
    return sounding;
}

// A movie whose sound ends a second before its pictures, on the sound's clock: once the
// sound has played out the clock goes on from there, and the pictures play to the last
// one and end; the whole second of tone was heard, and nothing after it.
TEST(MoviePlayer, OnTheSoundsClockPicturesThatOutlastTheSoundPlayToTheirEnd)
{
    media::ClipDesc desc = movietest::TestClip();
    desc.soundMs = 1000;
    const SoundClockRun run = PlayOnTheSoundsClock(Clip("SHORT_SOUND.BIK", desc), desc.soundMs);
    ASSERT_TRUE(run.ended) << "the clock stood at " << run.clockMs << " ms";
    EXPECT_FALSE(run.endedEarly);
    EXPECT_GE(run.clockMs, 2000);
    EXPECT_EQ(run.lastFrameMs, 1960);
    EXPECT_EQ(run.lastCounter, 49);
    EXPECT_NEAR(soundtest::PeakOf(run.heard), 12000, 30);
    EXPECT_NEAR(static_cast<double>(SoundingFrames(run.heard)), snd::kDeviceRate - 20, 5.0);
    EXPECT_FALSE(run.heardPastSound.empty());
    EXPECT_EQ(soundtest::PeakOf(run.heardPastSound), 0);
}

// Sound and pictures of one length, on the sound's clock: all the sound plays, the clock
// follows it to the end, and the movie ends at its last picture.
TEST(MoviePlayer, OnTheSoundsClockSoundAndPicturesOfOneLengthEndTogether)
{
    const SoundClockRun run = PlayOnTheSoundsClock(Clip("TEST.BIK"), 2000);
    ASSERT_TRUE(run.ended) << "the clock stood at " << run.clockMs << " ms";
    EXPECT_FALSE(run.endedEarly);
    EXPECT_GE(run.clockMs, 2000);
    EXPECT_EQ(run.lastFrameMs, 1960);
    EXPECT_EQ(run.lastCounter, 49);
    EXPECT_NEAR(soundtest::PeakOf(run.heard), 12000, 30);
    EXPECT_NEAR(static_cast<double>(SoundingFrames(run.heard)), 2 * (snd::kDeviceRate - 20), 5.0);
}

// Plays `clip` at fixed steps of 16 ms to its end on a sound library on the game's clock
// that records what it mixes (SDL's disk driver asked for), as the game does under a
// fixed step: each tick the game's time is mixed, then the pictures follow the clock.
// `pause` is how long the game takes over tick `tick` beside the movie. The recording.
std::vector<int16_t> RecordOnTheGamesClock(const std::string &clip, std::chrono::milliseconds (*pause)(int tick))
{
    const std::string path = movietest::Folder() + "/game_clock.raw";
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    std::vector<int16_t> recorded;
    {
        snd::Library sound;
        snd::LibraryOptions soundOptions;
        soundOptions.gameClockStepMs = 16;
        std::string error;
        EXPECT_TRUE(sound.Start(soundOptions, &error) && sound.HasDevice()) << error;
        mov::Player player;
        mov::PlayOptions options = FixedSteps();
        options.sound = &sound;
        EXPECT_TRUE(player.Play(clip, options, &error)) << error;
        for (int tick = 1; tick <= 250 && player.IsPlaying(); ++tick) {
            std::this_thread::sleep_for(pause(tick));
            sound.MixUntil(static_cast<uint64_t>(tick) * 16);
            player.SetClock(tick * 16);
            player.Advance();
        }
        EXPECT_FALSE(player.IsPlaying());
        player.Stop();
        sound.Shutdown();
        const std::vector<uint8_t> bytes = movietest::ReadBytes(path);
        recorded.resize(bytes.size() / 2);
        std::memcpy(recorded.data(), bytes.data(), recorded.size() * 2);
    }
    std::remove(path.c_str());
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
    return recorded;
}

// A movie whose sound ends a second before its pictures, at fixed steps on the game's
// clock. Once its sound is all read, the decoder waits for the game to take its
// pictures, and the game's mixer no longer waits for the sound: the run takes no wall-
// clock time beyond the decoding, and whether the game runs ahead of the decoder (no
// pause) or behind it (irregular pauses), it records the same samples: the tone for a
// second, then silence until the last picture's end.
TEST(MoviePlayer, OnTheGamesClockASoundThatEndsEarlyIsNotWaitedFor)
{
    media::ClipDesc desc = movietest::TestClip();
    desc.soundMs = 1000;
    const std::string clip = Clip("SHORT_SOUND.BIK", desc);
    const std::vector<int16_t> ahead = RecordOnTheGamesClock(clip, [](int) { return 0ms; });
    const std::vector<int16_t> behind =
        RecordOnTheGamesClock(clip, [](int tick) { return std::chrono::milliseconds(tick * 7 % 5); });
    EXPECT_EQ(ahead, behind);
    ASSERT_EQ(ahead.size() / 2, 125u * 16u * 441u / 10u) << "the game's time up to the end of the last picture";
    const size_t toneEnd = snd::kDeviceRate * 2;  // samples of one second
    const std::vector<int16_t> tone(ahead.begin(), ahead.begin() + toneEnd);
    EXPECT_NEAR(soundtest::PeakOf(tone), 12000, 30);
    EXPECT_NEAR(soundtest::PitchOf(tone), 440.0, 2.0);
    EXPECT_NEAR(soundtest::PeakOf(std::vector<int16_t>(tone.end() - 882, tone.end())), 12000, 30) << "to its end";
    for (size_t i = toneEnd; i < ahead.size(); ++i) {
        ASSERT_EQ(ahead[i], 0) << "sample " << i;
    }
}

}  // namespace

}  // namespace movie_player_test
