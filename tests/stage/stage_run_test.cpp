// End to end: the game started on the first stage from the command line
// (--stage 1) in a copy of the sample data, headless on a fixed step, and
// the stage numbers that are refused.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include "support/game/run_log.h"
#include "support/game/trace_reader.h"
#include "tests/app/app_test_support.h"
#include "tests/app/reference_image.h"
#include "tools/mkdata/sample_monsters.h"

namespace stage_run_test {

namespace {

std::string Folder(const std::string &name)
{
    return std::string(RW_TEST_BINARY_DIR) + "/tests/stage_run/" + std::to_string(getpid()) + "/" + name;
}

// How strongly the left channel of 44.1 kHz stereo holds `hz` from its
// tenth of a second on (a single-frequency Fourier sum; the run records for
// as long as it takes, which depends on the machine).
double Strength(const std::vector<int16_t> &stereo, double hz)
{
    double re = 0.0;
    double im = 0.0;
    for (size_t i = 4410; 2 * i + 1 < stereo.size(); ++i) {
        const double phase = 2.0 * 3.14159265358979 * hz * static_cast<double>(i) / 44100.0;
        re += stereo[2 * i] * std::cos(phase);
        im += stereo[2 * i] * std::sin(phase);
    }
    return std::sqrt(re * re + im * im);
}

TEST(StageRun, StageNumbersOutsideOneToFortyTwoAreRefused)
{
    const std::string folder = Folder("refused");
    std::filesystem::create_directories(folder);
    for (const char *number : {"0", "43", "-1", "x"}) {
        std::string output;
        EXPECT_EQ(apptest::RunGame(folder, std::string("--headless --frames 1 --stage ") + number, &output), 2)
            << number << ": " << output;
        EXPECT_NE(output.find("--stage takes 1 to 42"), std::string::npos) << output;
    }
}

// Before the title a file the stage needs ends the run with status 1 and
// the message box's line naming it.
TEST(StageRun, AMissingStageFileEndsTheRunNamingIt)
{
    const std::string folder = Folder("missing");
    ASSERT_TRUE(apptest::CopySampleData(folder)) << "no sample data: build the sample-data target";
    std::filesystem::remove(folder + "/RESOURCE/AI/STAGE00.IAF");
    std::string output;
    EXPECT_EQ(apptest::RunGame(folder, "--headless --mode 1 --stage 1 --frames 2 --screenshot 1:s.bmp", &output), 1);
    EXPECT_NE(output.find("Cannot find the file: RESOURCE/AI/STAGE00.IAF"), std::string::npos) << output;
    EXPECT_FALSE(std::filesystem::exists(folder + "/s.bmp"));
}

TEST(StageRun, TheFirstStageLoadsAndShows)
{
    const std::string folder = Folder("stage1");
    ASSERT_TRUE(apptest::CopySampleData(folder)) << "no sample data: build the sample-data target";
    std::string output;
    ASSERT_EQ(apptest::RunGame(folder,
                               "--headless --mode 1 --stage 1 --fixed-step 16 --frames 120 --trace t.txt"
                               " --screenshot 100:s.bmp",
                               &output, "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=out.raw"),
              0)
        << output;
    const std::vector<gametest::TraceRecord> trace = gametest::ReadTrace(folder + "/t.txt");
    // Before the first tick: the new game's start of the loading bar, the
    // request, the load and the rest of the loading bar.
    // The loading screen's own lines (on, each drawing, off) are told apart:
    // it comes on first and goes last.
    std::vector<std::string> start;
    std::vector<std::string> screen;
    for (const gametest::TraceRecord &r : trace) {
        if (r.tick == 0 && r.kind == "loading" && r.fields.size() > 1) {
            screen.push_back(r.fields[0]);
        } else if (r.tick == 0) {
            std::string line = r.kind;
            for (const std::string &field : r.fields) {
                line += " " + field;
            }
            start.push_back(line);
        }
    }
    EXPECT_EQ(start, (std::vector<std::string>{"loading 0.00", "loading 0.10", "screen request 13",
                                               "screen switch 13", "stage request 2010000 0 2000 taken", "stage load 2010000",
                                               "loading 0.20", "loading 0.30", "loading 0.50", "loading 0.60",
                                               "music start stage 2010000.WAV", "loading 0.70", "loading 0.75",
                                               "loading 0.80", "loading 0.90",
                                               "camera 0 -64.09 48.00 -84.09", "loading 1.00"}));
    ASSERT_GE(screen.size(), 3u);
    EXPECT_EQ(screen.front(), "on");
    EXPECT_EQ(screen[1], "draw");
    EXPECT_EQ(screen.back(), "off");
    // The stage stays in play: its monster stands, so nothing asks for
    // another stage after the load's request.
    for (const gametest::TraceRecord &r : trace) {
        EXPECT_FALSE(r.kind == "stage" && r.tick > 0 && !r.fields.empty() && r.fields[0] == "request")
            << "tick " << r.tick;
    }
    // Every tick the camera: in play (mode 0), within the first player's
    // distances of the hero's focus (its feet and 12 up).
    int cameras = 0;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "camera") {
            EXPECT_EQ(r.Int(0), 0) << r.tick;
            const double dx = r.Real(1) + 20.0, dy = r.Real(2) - 12.0, dz = r.Real(3) + 40.0;
            const double distance = std::sqrt(dx * dx + dy * dy + dz * dz);
            EXPECT_GE(distance, 40.0 - 0.01) << r.tick;
            EXPECT_LE(distance, 120.0 + 0.01) << r.tick;
            ++cameras;
        }
    }
    EXPECT_EQ(cameras, 121);  // the load's and each tick's
    // Every tick: the placed monster where the placement put it and hero 0
    // at the first start (nothing moves them yet).
    int monsters = 0;
    int heroes = 0;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind != "actor") {
            continue;
        }
        if (r.Int(0) == 1) {
            EXPECT_EQ(r.Int(1), 1000);
            EXPECT_EQ(r.Real(4), 30.0);
            EXPECT_EQ(r.Real(6), 30.0);
            ++monsters;
        } else if (r.Int(0) == 0) {
            EXPECT_EQ(r.Int(1), 0);
            EXPECT_EQ(r.Real(4), -20.0);
            EXPECT_EQ(r.Real(6), -40.0);
            ++heroes;
        }
    }
    EXPECT_EQ(monsters, 120);
    EXPECT_EQ(heroes, 120);
    // The stage's music (a chord of 220 and 277 Hz) is what the sound device got.
    std::ifstream in(folder + "/out.raw", std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> recorded(bytes.size() / 2);
    std::memcpy(recorded.data(), bytes.data(), recorded.size() * 2);
    ASSERT_GT(recorded.size(), 2u * 44100u / 4u);
    const double off = Strength(recorded, 350.0);
    EXPECT_GT(Strength(recorded, 220.0), 10.0 * off);
    EXPECT_GT(Strength(recorded, 277.0), 10.0 * off);
    apptest::ExpectLikeReference(folder + "/s.bmp",
                                 std::string(RW_TEST_SOURCE_DIR) + "/tests/stage/reference/stage1_tick100.bmp",
                                 folder + "/difference.bmp");
}

// Left alone for 600 ticks the first stage stays in play: no stage change
// after the load's, the camera in play on the last tick, the music on, the
// monster standing at full health and the exit never started. The monster
// hears only the actor pass's sensing, once a tick. The whole run, its
// frames and its actors' poses, is as kept (tests/stage/frame_logs).
TEST(StageRun, TheFirstStageStaysInPlayLeftAlone)
{
    const std::string folder = Folder("alone");
    ASSERT_TRUE(apptest::CopySampleData(folder)) << "no sample data: build the sample-data target";
    std::string output;
    ASSERT_EQ(apptest::RunGame(folder,
                               std::string("--headless --mode 1 --stage 1 --fixed-step 16 --frames 600 --trace t.txt") +
                                   gametest::kKeptRunOptions,
                               &output, "SDL_AUDIODRIVER=dummy"),
              0)
        << output;
    const std::vector<gametest::TraceRecord> trace = gametest::ReadTrace(folder + "/t.txt");
    ASSERT_FALSE(trace.empty());
    // Whatever the stage shows and does, its frames and poses with it, is as kept.
    gametest::ExpectRunAsKept(trace, "stage/frame_logs/stage1_alone", folder + "/t.txt");
    bool released = false;
    int32_t lastCameraTick = -1;
    int64_t lastCameraMode = -1;
    int32_t lastMonsterTick = -1;
    int64_t lastMonsterHp = -1;
    std::map<int64_t, std::vector<uint32_t>> sensingTicks;  // by the actor sensed
    for (const gametest::TraceRecord &r : trace) {
        const bool first = !r.fields.empty();
        EXPECT_FALSE(r.kind == "stage" && r.tick > 0 && first && r.fields[0] == "request") << "tick " << r.tick;
        EXPECT_FALSE(r.kind == "event" && first && r.fields[0] == "79012400") << "tick " << r.tick;
        if (r.kind == "stage" && first && r.fields[0] == "release") {
            released = true;  // the run's end releases the stage and its music
        }
        EXPECT_FALSE(!released && r.kind == "music" && first && r.fields[0] == "stop") << "tick " << r.tick;
        if (r.kind == "camera") {
            lastCameraTick = static_cast<int32_t>(r.tick);
            lastCameraMode = r.Int(0);
        }
        if (r.kind == "actor" && r.Int(0) == 1) {
            EXPECT_EQ(r.Int(1), 1000);
            lastMonsterTick = static_cast<int32_t>(r.tick);
            lastMonsterHp = r.Int(3);
        }
        if (r.kind == "msg") {
            EXPECT_EQ(r.Int(0), 3) << "tick " << r.tick;   // sensing
            EXPECT_EQ(r.Int(1), -1) << "tick " << r.tick;  // from no actor
            // Once a tick for each actor.
            std::vector<uint32_t> &ticks = sensingTicks[r.Int(2)];
            EXPECT_TRUE(ticks.empty() || ticks.back() < r.tick) << "tick " << r.tick;
            ticks.push_back(r.tick);
        }
    }
    EXPECT_TRUE(released);
    EXPECT_EQ(lastCameraTick, 600);
    EXPECT_EQ(lastCameraMode, 0);
    EXPECT_EQ(lastMonsterTick, 600);
    EXPECT_EQ(lastMonsterHp, mkdata::SampleMonsterParams(1000).maxHP);
}

// A movie over the stage's first ticks: the camera stands where the load
// put it (its tick-0 line) while the clip plays, and the first tick after
// the clip shows the stage from there, in play. The whole
// run, its frames and poses with it, is as kept.
TEST(StageRun, AfterAMovieTheCameraStandsWhereTheLoadPutIt)
{
    const std::string folder = Folder("movie");
    ASSERT_TRUE(apptest::CopySampleData(folder)) << "no sample data: build the sample-data target";
    std::string output;
    ASSERT_EQ(apptest::RunGame(folder,
                               std::string("--headless --mode 1 --stage 1 --fixed-step 16 --frames 200 --trace t.txt"
                                           " --movie ENGUIMV/TEST.BIK --screenshot 200:s.bmp") +
                                   gametest::kKeptRunOptions,
                               &output, "SDL_AUDIODRIVER=dummy"),
              0)
        << output;
    const std::vector<gametest::TraceRecord> trace = gametest::ReadTrace(folder + "/t.txt");
    gametest::ExpectRunAsKept(trace, "stage/frame_logs/stage1_after_movie", folder + "/t.txt");
    const std::vector<gametest::TraceRecord> cameras = gametest::RecordsOfKind(trace, "camera");
    ASSERT_GE(cameras.size(), 2u);
    const gametest::TraceRecord &load = cameras[0];
    EXPECT_EQ(load.tick, 0u);
    EXPECT_EQ(load.Int(0), 0);
    // Not the origin: on the first hero's orbit.
    const double dx = load.Real(1) + 20.0, dy = load.Real(2) - 12.0, dz = load.Real(3) + 40.0;
    EXPECT_GE(std::sqrt(dx * dx + dy * dy + dz * dz), 40.0 - 0.01);
    // The clip (two seconds) held the stage: no camera tick while it played.
    const gametest::TraceRecord &after = cameras[1];
    EXPECT_GT(after.tick, 60u);
    EXPECT_EQ(after.Int(0), 0);
    for (size_t axis = 1; axis <= 3; ++axis) {
        EXPECT_NEAR(after.Real(axis), load.Real(axis), 0.01) << axis;
    }
    EXPECT_EQ(cameras.back().tick, 200u);
    // The last frame is the stage, not a black screen.
    apptest::Bmp shot;
    ASSERT_TRUE(apptest::LoadBmp(folder + "/s.bmp", &shot));
    int black = 0;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            black += (shot.Pixel(x, y) & 0xFFFFFFu) == 0 ? 1 : 0;
        }
    }
    EXPECT_LT(black, shot.width * shot.height / 100);
}

}  // namespace

}  // namespace stage_run_test
