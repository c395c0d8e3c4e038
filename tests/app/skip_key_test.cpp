// The skip key against a recording fake of the event manager's calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/skip_key.h"

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

}  // namespace
