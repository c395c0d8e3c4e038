// The skip key against a recording fake of the event manager's calls, and
// in the game: Escape ends the eighth stage's boss movie, the input object
// reaching the running stage's event manager.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/skip_key.h"
#include "support/game/run_log.h"
#include "support/game/trace_reader.h"

namespace skip_key_test {

namespace {

struct FakeEvents {
    bool exists = true;
    int32_t animId = 0;
    int32_t movieId = 0;
    std::vector<std::string> calls;

    bool HasEventManager() { return exists; }
    int32_t AnimEventId()
    {
        calls.push_back("GetAnimEventId");
        return animId;
    }
    int32_t MovieEventId()
    {
        calls.push_back("GetMovieEventId");
        return movieId;
    }
    void SkipCurrentScene() { calls.push_back("SkipCurrentScene"); }
};

TEST(SkipKey, CallsTheEventManagerOnlyWhileASceneOrMovieRuns)
{
    uint8_t keys[input::kKeyCodeCount] = {};
    keys[input::kKeyEscape] = input::kPressed;

    FakeEvents idle;
    EXPECT_FALSE(game::RunSkipKey(idle, keys));
    EXPECT_EQ(idle.calls, (std::vector<std::string>{"GetAnimEventId", "GetMovieEventId"}));

    FakeEvents scene;
    scene.animId = 79010003;
    EXPECT_TRUE(game::RunSkipKey(scene, keys));
    EXPECT_EQ(scene.calls, (std::vector<std::string>{"GetAnimEventId", "SkipCurrentScene"}));

    FakeEvents movie;
    movie.movieId = 79020001;
    EXPECT_TRUE(game::RunSkipKey(movie, keys));
    EXPECT_EQ(movie.calls,
              (std::vector<std::string>{"GetAnimEventId", "GetMovieEventId", "SkipCurrentScene"}));
}

TEST(SkipKey, NothingWithoutAPressOrAnEventManager)
{
    uint8_t keys[input::kKeyCodeCount] = {};
    FakeEvents scene;
    scene.animId = 79010003;
    for (uint8_t state : {input::kUp, input::kHeld}) {
        keys[input::kKeyEscape] = state;
        EXPECT_FALSE(game::RunSkipKey(scene, keys));
    }
    EXPECT_TRUE(scene.calls.empty());

    keys[input::kKeyEscape] = input::kPressed;
    FakeEvents none;
    none.exists = false;
    none.animId = 79010003;
    EXPECT_FALSE(game::RunSkipKey(none, keys));
    EXPECT_TRUE(none.calls.empty());
}

// The hero steps into the boss movie's circle (the movie starts on tick 8);
// Escape goes down on tick 30 and the movie is skipped and over on that tick.
// The run's trace, frames and poses are as kept (tests/app/frame_logs).
TEST(SkipKeyGameRun, EscapeEndsTheRunningStagesBossMovie)
{
    ASSERT_TRUE(apptest::HaveSampleData()) << "no sample data: build the sample-data target";
    const std::string folder = apptest::ScratchFolder("skip_key_run");
    ASSERT_TRUE(apptest::CopySampleData(folder));
    std::string output;
    ASSERT_EQ(apptest::RunGame(folder,
                               "--headless --mode 1 --stage 8 --fixed-step 16 --frames 40 --trace t.txt --input '" +
                                   std::string(RW_TEST_SOURCE_DIR) + "/tests/event/scripts/skip_boss_movie.txt'" +
                                   gametest::kKeptRunOptions,
                               &output, "SDL_AUDIODRIVER=dummy"),
              0)
        << output;
    const std::vector<gametest::TraceRecord> trace = gametest::ReadTrace(folder + "/t.txt");
    std::vector<std::string> movie;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "event")) {
        if (r.fields.size() >= 3 && r.fields[0] == "79080100" && r.fields[1] == "movie") {
            movie.push_back(std::to_string(r.tick) + " " + r.fields[2]);
        }
    }
    EXPECT_EQ(movie, (std::vector<std::string>{"8 started", "8 play", "30 skip", "30 ended"}));
    // The whole run as kept: the movie's frames until the skip, the stage's after it.
    gametest::ExpectRunAsKept(trace, "app/frame_logs/skip_boss_movie", folder + "/t.txt");
}

}  // namespace

}  // namespace skip_key_test
