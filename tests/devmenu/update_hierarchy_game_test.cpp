// End to end in the first stage: "Update Hierarchy" switched to "No" from
// the scripted menu holds every actor's pose (the trace's pose lines stay
// the same tick after tick) while the hero walks and changes state; back at
// "Yes" the poses move again.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/game/trace_reader.h"
#include "tests/devmenu/menu_game_run.h"

namespace update_hierarchy_game_test {

namespace {

using devmenutest::KeyScript;

struct Window {
    uint32_t first = 0;
    uint32_t last = 0;
};

struct Script {
    std::string text;
    Window free;      // hierarchy updated: the hero walks
    Window held;      // "Update hierarchy : No": the hero walks again
    Window resumed;   // back at "Yes"
    uint32_t frames = 0;
};

Script BuildScript()
{
    Script s;
    KeyScript k;
    s.free.first = 20;
    uint32_t t = k.Hold(s.free.first, "Right", 40);
    s.free.last = t + 10;
    t = k.Chord(s.free.last + 2, "C");            // item 0
    t = k.Taps(t + 2, "Down", 10);                // "Update Hierarchy"
    t = k.Taps(t, "C");
    t = k.Taps(t, "Right");                       // "Update hierarchy : No"
    t = k.Taps(t, "C");                           // closed
    s.held.first = t + 2;
    t = k.Hold(s.held.first + 2, "Right", 40);
    t = k.Hold(t + 4, "Left", 30);
    s.held.last = t + 10;
    t = k.Chord(s.held.last + 2, "C");            // the list is still on "Update Hierarchy"
    t = k.Taps(t + 2, "C");
    t = k.Taps(t, "Right");                       // "Update hierarchy : Yes"
    t = k.Taps(t, "C");
    s.resumed.first = t + 2;
    t = k.Hold(s.resumed.first, "Right", 30);
    s.resumed.last = t + 4;
    s.frames = s.resumed.last + 2;
    s.text = k.Text();
    return s;
}

class UpdateHierarchyGame : public devmenutest::MenuGameRun<UpdateHierarchyGame> {
protected:
    static void SetUpTestSuite()
    {
        if (!CopyData("devmenu_hierarchy")) {
            return;
        }
        script = BuildScript();
        Run(script.text, script.frames, {}, " --trace-poses");
    }

    // Each actor's pose checksums through the window, tick by tick.
    static std::map<int64_t, std::vector<int64_t>> Poses(const Window &w)
    {
        std::map<int64_t, std::vector<int64_t>> poses;
        for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "pose")) {
            if (r.tick >= w.first && r.tick <= w.last) {
                poses[r.Int(0)].push_back(r.Int(1));
            }
        }
        return poses;
    }
    // The states one actor went through in the window, and where it stood.
    static std::vector<gametest::TraceRecord> ActorLines(const Window &w, int64_t aiId)
    {
        std::vector<gametest::TraceRecord> lines;
        for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
            if (r.tick >= w.first && r.tick <= w.last && r.Int(0) == aiId) {
                lines.push_back(r);
            }
        }
        return lines;
    }
    static int64_t HeroId()
    {
        const std::vector<gametest::TraceRecord> heroes = gametest::RecordsOfKind(trace, "hero");
        return heroes.empty() ? -1 : heroes.front().Int(0);
    }

    static inline Script script;
};

TEST_F(UpdateHierarchyGame, TheWalkingHeroChangesPoseWhileTheHierarchyIsUpdated)
{
    const auto poses = Poses(script.free);
    ASSERT_TRUE(poses.count(HeroId())) << "pose lines for the hero";
    const std::vector<int64_t> &hero = poses.at(HeroId());
    EXPECT_GT(std::set<int64_t>(hero.begin(), hero.end()).size(), 5u) << "the trace sees the walk";
}

TEST_F(UpdateHierarchyGame, NoActorsPoseChangesWhileTheSwitchIsOff)
{
    const auto poses = Poses(script.held);
    ASSERT_GE(poses.size(), 2u) << "the hero and the stage's monster";
    for (const auto &[aiId, checksums] : poses) {
        EXPECT_GE(checksums.size(), 80u) << aiId;
        EXPECT_EQ(std::set<int64_t>(checksums.begin(), checksums.end()).size(), 1u)
            << "actor " << aiId << " held its pose over " << checksums.size() << " ticks";
    }
    // Meanwhile the hero moved and went through state changes, each of
    // which starts a motion that must not show.
    const std::vector<gametest::TraceRecord> hero = ActorLines(script.held, HeroId());
    ASSERT_FALSE(hero.empty());
    std::set<int64_t> states;
    for (const gametest::TraceRecord &r : hero) {
        states.insert(r.Int(2));
    }
    EXPECT_GE(states.size(), 2u) << "the hero changed state while held";
    EXPECT_GT(std::abs(hero.back().Real(4) - hero.front().Real(4)) + std::abs(hero.back().Real(6) - hero.front().Real(6)),
              1.0)
        << "the hero walked while held";
}

TEST_F(UpdateHierarchyGame, ThePosesMoveAgainOnceTheSwitchIsBackOn)
{
    const auto poses = Poses(script.resumed);
    ASSERT_TRUE(poses.count(HeroId()));
    const std::vector<int64_t> &hero = poses.at(HeroId());
    EXPECT_GT(std::set<int64_t>(hero.begin(), hero.end()).size(), 5u);
}

}  // namespace

}  // namespace update_hierarchy_game_test
