// End to end: the two stages that hold the actors no other stage shows, run
// headless on the sample data at 32 ms a tick. Stage 19: every event figure
// takes its model as it comes into view, 112 appears and stands with its
// ring, and the blast trap 1202 beside the start poisons the idle hero 5 s
// after it came into view and again on its next blast; the warden's talk
// shows and lets go the figures of its group. Stage 25: the
// hero's blow lights a barrel bomb, which explodes 5 s later; its blast
// hurts the hero beside it, breaks the two designs that only a blow
// without a sender breaks, which ignored the hero's swing, and lights the
// second bomb, which explodes 5 s after; the wall-like design ignores the
// chain's first two blows and breaks on its last; the front-only target
// loses its life only to a blow from in front and stands up again.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "actor/ai_message.h"
#include "app/app_test_support.h"
#include "app/reference_image.h"
#include "support/game/game_run.h"
#include "support/game/kill_checks.h"
#include "support/game/pad_script.h"
#include "support/game/trace_reader.h"
#include "tools/mkdata/sample_actor_yards.h"

namespace actor_yards_game_run_test {
namespace {

constexpr uint32_t kStepMs = 32;
constexpr double kTick = 0.032;

// What answers a blow or a blast does so on its tick or within `ticks` after.
::testing::AssertionResult WithinTicksOf(uint32_t tick, uint32_t cause, uint32_t ticks)
{
    if (tick >= cause && tick <= cause + ticks) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "tick " << tick << " is not within " << ticks << " ticks from " << cause;
}

using gametest::FirstTickIn;
using gametest::FirstTickRemoved;

// AIID by AI type (the first placed of a type), from the first tick's
// actor lines.
std::map<int64_t, int64_t> IdsByType(const std::vector<gametest::TraceRecord> &trace)
{
    std::map<int64_t, int64_t> ids;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.tick == 1 && r.Int(0) != 0) {
            ids.emplace(r.Int(1), r.Int(0));
        }
    }
    return ids;
}

// The AIIDs of every actor of a type, in placement order.
std::vector<int64_t> IdsOfType(const std::vector<gametest::TraceRecord> &trace, int64_t type)
{
    std::vector<int64_t> ids;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.tick == 1 && r.Int(1) == type) {
            ids.push_back(r.Int(0));
        }
    }
    return ids;
}

// An actor's state and whether it held a model (a pose line), tick by tick.
struct Seen {
    int64_t state = -1;
    bool posed = false;
    bool removed = false;
};
std::map<uint32_t, Seen> SeenOf(const std::vector<gametest::TraceRecord> &trace, int64_t aiId)
{
    std::map<uint32_t, Seen> seen;
    for (const gametest::TraceRecord &r : trace) {
        if (r.kind == "actor" && r.Int(0) == aiId) {
            seen[r.tick].state = r.Int(2);
            seen[r.tick].removed = r.Int(7) == 1;
        } else if (r.kind == "pose" && r.Int(0) == aiId) {
            seen[r.tick].posed = true;
        }
    }
    return seen;
}

// The screenshot `name` in its own scratch folder, and its check against
// the reviewed reference. (The paths are built piece by piece: GCC 12 takes
// a join of literals for an out-of-bounds copy.)
std::string ShotPath(const std::string &name)
{
    std::string path = apptest::ScratchFolder("shot_" + name);
    path += '/';
    path += name;
    path += ".bmp";
    return path;
}

void ExpectShot(const std::string &path, const std::string &name)
{
    std::string reference = RW_TEST_SOURCE_DIR;
    reference += "/tests/boss/reference/";
    reference += name;
    reference += ".bmp";
    std::string difference = path;
    difference += "_difference.bmp";
    apptest::ExpectLikeReference(path, reference, difference);
}

TEST(ActorYardRun, StageNineteenShowsEveryFigureAndItsBlastTrapPoisonsTheIdleHero)
{
    const std::string shot = ShotPath("yard_figures");
    const std::vector<gametest::TraceRecord> trace = gametest::RunLinkedSampleGame(
        "figure_yard", "--stage 19 --fixed-step 32 --frames 420 --trace-poses --screenshot 200:" + shot, "");
    ASSERT_FALSE(trace.empty());
    const std::map<int64_t, int64_t> ids = IdsByType(trace);
    // Every figure is placed and holds its model (a pose line) from its
    // first tick in view on.
    std::map<int64_t, int> posed;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "pose")) {
        ++posed[r.Int(0)];
    }
    for (int64_t type = 101; type <= 118; ++type) {
        if (type == 107) {
            continue;
        }
        SCOPED_TRACE(type);
        ASSERT_EQ(ids.count(type), 1u);
        EXPECT_GE(posed[ids.at(type)], 400);
    }
    for (int64_t type : {1201, 1202, 1204}) {
        EXPECT_EQ(ids.count(type), 1u) << type;
    }
    // 112 appears (1) and stands with its ring (2); the others stand idle.
    const int64_t ring = ids.at(112);
    const uint32_t appeared = FirstTickIn(trace, ring, 1);
    ASSERT_GT(appeared, 0u);
    EXPECT_GT(FirstTickIn(trace, ring, 2), appeared);
    // The blast trap arms for 5 s, then blasts; its ring reaches the hero
    // 15 units away and poisons it (kind 2, attribute 32) with its attack
    // value; the hero loses that less its defence. The next blast does it
    // again.
    const int64_t trap = ids.at(1202);
    std::vector<uint32_t> blasts;
    int64_t last = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.Int(0) == trap) {
            if (r.Int(2) == 1 && last != 1) {
                blasts.push_back(r.tick);
            }
            last = r.Int(2);
        }
    }
    ASSERT_EQ(blasts.size(), 2u);
    EXPECT_NEAR(blasts[0] * kTick, 5.0, 0.05);
    std::vector<uint32_t> poisoned;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "msg")) {
        if (r.Int(0) == 2 && r.Int(1) == trap && r.Int(2) == 0) {
            EXPECT_EQ(r.Int(4), kAtkPoison);
            EXPECT_EQ(r.Int(5), 60);
            poisoned.push_back(r.tick);
        }
    }
    ASSERT_EQ(poisoned.size(), 2u);
    EXPECT_GT(poisoned[0], blasts[0]);
    EXPECT_LT(poisoned[0], blasts[1]);
    EXPECT_GT(poisoned[1], blasts[1]);
    std::vector<int64_t> lives;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.Int(0) == 0 && (lives.empty() || lives.back() != r.Int(3))) {
            lives.push_back(r.Int(3));
        }
    }
    EXPECT_EQ(lives, (std::vector<int64_t>{2500, 2455, 2410}));
    ExpectShot(shot, "yard_figures");
}

// North-west (D) to the warden and the action command (C): its talk holds
// every actor of the stage and shows the figures of its group; a confirm
// finishes its line and the next ends it, which lets them all go. The
// columns' figures of the hold families stand in their event state 1 while
// held, grouped or not; those of the show families play their shown state
// 1 for their group; 101, placed in one of its last states, stays there,
// shown or not; the trader and the second 112, unseen until then, take
// their models when shown: the trader gives its model back when let go,
// the 112 appears (1), stands with its ring (2) and, let go, fades (5) and
// ends (6), out of play; the first 112, of no group, keeps standing; the
// post of the group is switched on (2) and stays on.
TEST(ActorYardRun, StageNineteensTalkShowsAndReleasesTheFiguresOfItsGroup)
{
    const std::string script =
        gametest::PadScript(kStepMs).Hold(1, 11, "D").Tap(15, "C").Tap(80, "C").Tap(95, "C").Text();
    const std::string shot = ShotPath("yard_talk");
    const std::vector<gametest::TraceRecord> trace = gametest::RunLinkedSampleGame(
        "figure_talk", "--stage 19 --fixed-step 32 --frames 130 --trace-poses --screenshot 33:" + shot, script);
    ASSERT_FALSE(trace.empty());
    const std::string talk = std::to_string(mkdata::kFigureTalkEvent);
    uint32_t opened = 0;
    uint32_t ended = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "event")) {
        if (r.fields.size() >= 3 && r.fields[0] == talk) {
            opened = r.fields[2] == "started" ? r.tick : opened;
            ended = r.fields[2] == "ended" ? r.tick : ended;
        }
    }
    ASSERT_EQ(opened, 15u);
    ASSERT_GT(ended, opened + 60);
    // The hold to every actor on its opening tick (the group's value), the
    // release on its last.
    std::map<int64_t, std::pair<uint32_t, uint32_t>> held;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "msg")) {
        if (r.Int(0) == kMsgControl && r.Int(2) != 0) {
            if (r.Int(4) == kCtlShowHold) {
                EXPECT_EQ(r.Int(5), mkdata::kFigureTalkEvent);
                held[r.Int(2)].first = r.tick;
            } else if (r.Int(4) == kCtlRelease) {
                held[r.Int(2)].second = r.tick;
            }
        }
    }
    const std::map<int64_t, int64_t> ids = IdsByType(trace);
    for (int64_t type = 100; type <= 118; ++type) {
        SCOPED_TRACE(type);
        const int64_t id = ids.at(type);
        ASSERT_EQ(held[id], std::make_pair(opened, ended));
        const std::map<uint32_t, Seen> seen = SeenOf(trace, id);
        const bool shown = type != 107 && type != 112;
        if (!shown) {
            continue;
        }
        // From the tick after the hold to the tick after the release.
        for (const auto &[tick, s] : seen) {
            EXPECT_TRUE(s.posed) << tick;
            const int64_t expected = type == 101 ? 12 : tick > opened && tick <= ended ? 1 : 0;
            EXPECT_EQ(s.state, expected) << tick;
        }
    }
    // The unseen trader: a model only while shown.
    for (const auto &[tick, s] : SeenOf(trace, IdsOfType(trace, 107).at(0))) {
        EXPECT_EQ(s.posed, tick > opened && tick <= ended + 1) << tick;
        EXPECT_EQ(s.state, tick > opened && tick <= ended ? 1 : 0) << tick;
    }
    // The two 112s.
    const std::vector<int64_t> rings = IdsOfType(trace, 112);
    ASSERT_EQ(rings.size(), 2u);
    const uint32_t firstStanding = FirstTickIn(trace, rings[0], 2);
    ASSERT_GT(firstStanding, 0u);
    for (const auto &[tick, s] : SeenOf(trace, rings[0])) {
        EXPECT_TRUE(s.posed);
        EXPECT_EQ(s.state, tick < firstStanding ? 1 : 2) << tick;
    }
    const std::map<uint32_t, Seen> second = SeenOf(trace, rings[1]);
    EXPECT_FALSE(second.at(opened).posed);
    EXPECT_TRUE(second.at(opened + 1).posed);
    EXPECT_EQ(FirstTickIn(trace, rings[1], 1), opened + 1);
    const uint32_t standing = FirstTickIn(trace, rings[1], 2);
    const uint32_t fading = FirstTickIn(trace, rings[1], 5);
    const uint32_t gone = FirstTickIn(trace, rings[1], 6);
    EXPECT_GT(standing, opened + 1);
    EXPECT_LT(standing, ended);
    EXPECT_EQ(fading, ended + 1);
    EXPECT_GT(gone, fading);
    EXPECT_EQ(FirstTickRemoved(trace, rings[1]), gone + 1);
    for (const auto &[tick, s] : second) {
        EXPECT_EQ(s.posed, tick > opened && tick <= gone) << tick;
    }
    // The post, switched on by the group's hold.
    const int64_t post = ids.at(1201);
    for (const auto &[tick, s] : SeenOf(trace, post)) {
        EXPECT_EQ(s.state, tick > opened ? 2 : 0) << tick;
    }
    ExpectShot(shot, "yard_talk");
}

// South (S+A) to the post, where an attack from the guard (E, Z) grabs it
// (1024: held, 3); the chain's next blow squeezes it (4096: it loses the
// blow less its defence) and the last lets go (2048), which switches it on
// (2): it regenerates 50 life each second up to its full life. Then west
// (S+D) to the liftable object: the grab lifts it (1), the squeeze takes
// its life and it dies (2) into gone (3).
TEST(ActorYardRun, StageNineteensHeroGrabsThePostWhichRegeneratesAndTheLiftableObjectWhichDies)
{
    const std::string script = gametest::PadScript(kStepMs)
                                   .Hold(1, 44, "SA")
                                   .Hold(46, 51, "E")
                                   .Tap(48, "Z")
                                   .Tap(56, "Z")
                                   .Tap(72, "Z")
                                   .Hold(92, 108, "SD")
                                   .Hold(110, 115, "E")
                                   .Tap(112, "Z")
                                   .Tap(120, "Z")
                                   .Tap(136, "Z")
                                   .Text();
    const std::vector<gametest::TraceRecord> trace =
        gametest::RunLinkedSampleGame("grabs", "--stage 19 --fixed-step 32 --frames 200", script);
    ASSERT_FALSE(trace.empty());
    const std::map<int64_t, int64_t> ids = IdsByType(trace);
    // The hero's grab blows, by target: attribute and tick.
    std::map<int64_t, std::vector<std::pair<int64_t, uint32_t>>> blows;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "hit")) {
        if (r.Int(0) == 0) {
            blows[r.Int(1)].emplace_back(r.Int(2), r.tick);
        }
    }
    for (int64_t type : {1201, 10027}) {
        SCOPED_TRACE(type);
        const std::vector<std::pair<int64_t, uint32_t>> &got = blows[ids.at(type)];
        ASSERT_EQ(got.size(), 3u);
        EXPECT_EQ(got[0].first, kAtkGrab);
        EXPECT_EQ(got[1].first, kAtkHeldDamage);
        EXPECT_EQ(got[2].first, kAtkGrabEnd);
    }
    // The post: held from the grab, its life down by the squeeze, switched
    // on at the grab's end, then 50 more each second up to 300.
    const int64_t post = ids.at(1201);
    const std::vector<std::pair<int64_t, uint32_t>> &onPost = blows[post];
    const uint32_t held = FirstTickIn(trace, post, 3);
    EXPECT_TRUE(WithinTicksOf(held, onPost[0].second, 2));
    const uint32_t on = FirstTickIn(trace, post, 2);
    EXPECT_TRUE(WithinTicksOf(on, onPost[2].second, 2));
    std::vector<std::pair<uint32_t, int64_t>> lives;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.Int(0) == post && (lives.empty() || lives.back().second != r.Int(3))) {
            lives.emplace_back(r.tick, r.Int(3));
        }
    }
    ASSERT_EQ(lives.size(), 5u);
    EXPECT_EQ(lives[0].second, 300);
    EXPECT_GT(lives[1].first, onPost[1].second);
    EXPECT_LE(lives[1].first, onPost[1].second + 2);
    const int64_t squeezed = lives[1].second;
    EXPECT_LT(squeezed, 300 - 100);
    EXPECT_EQ(lives[2].second, squeezed + 50);
    EXPECT_EQ(lives[3].second, squeezed + 100);
    EXPECT_EQ(lives[4].second, 300);
    for (size_t i = 2; i < lives.size(); ++i) {
        EXPECT_NEAR((lives[i].first - (i == 2 ? on : lives[i - 1].first)) * kTick, 1.0, 0.05) << i;
    }
    // The liftable object: lifted, squeezed to death, gone.
    const int64_t liftable = ids.at(10027);
    const std::vector<std::pair<int64_t, uint32_t>> &onLiftable = blows[liftable];
    const uint32_t lifted = FirstTickIn(trace, liftable, 1);
    EXPECT_TRUE(WithinTicksOf(lifted, onLiftable[0].second, 2));
    const uint32_t dying = FirstTickIn(trace, liftable, 2);
    EXPECT_GT(dying, onLiftable[1].second);
    EXPECT_LE(dying, onLiftable[1].second + 3);
    EXPECT_GT(FirstTickRemoved(trace, liftable), FirstTickIn(trace, liftable, 3));
}

// West (S+D) to the breakable trap 1204 and the chain of three blows: each
// blow shakes it on (states 1, 2), with the hurt sound, and the third breaks
// it (6) and takes it out of play; it never loses life.
TEST(ActorYardRun, StageNineteensBreakableTrapFallsToThreeBlowsWithoutLosingLife)
{
    const std::string script =
        gametest::PadScript(kStepMs).Hold(1, 4, "SD").Tap(7, "Z").Tap(17, "Z").Tap(27, "Z").Text();
    const std::vector<gametest::TraceRecord> trace =
        gametest::RunLinkedSampleGame("trap_1204", "--stage 19 --fixed-step 32 --frames 60", script);
    ASSERT_FALSE(trace.empty());
    const int64_t trap = IdsByType(trace).at(1204);
    std::vector<uint32_t> blows;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "hit")) {
        if (r.Int(0) == 0 && r.Int(1) == trap) {
            blows.push_back(r.tick);
        }
    }
    ASSERT_EQ(blows.size(), 3u);
    const uint32_t states[] = {1, 2, 6};
    for (size_t i = 0; i < 3; ++i) {
        const uint32_t entered = FirstTickIn(trace, trap, states[i]);
        EXPECT_TRUE(WithinTicksOf(entered, blows[i], 2)) << states[i];
    }
    int sounds = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "sfx")) {
        sounds += r.Int(0) == 6300200;
    }
    EXPECT_EQ(sounds, 3);
    EXPECT_GT(FirstTickRemoved(trace, trap), FirstTickIn(trace, trap, 6));
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.Int(0) == trap) {
            EXPECT_EQ(r.Int(3), 100);
        }
    }
}

TEST(ActorYardRun, StageTwentyFiveBreaksEachDesignItsOwnWay)
{
    // East (W+A) to the wall-like object and the chain of three blows;
    // then back west (S+D) to the bomb and a blow, and a wait beside it.
    const std::string script = gametest::PadScript(kStepMs)
                                   .Hold(1, 15, "WA")
                                   .Tap(18, "Z")
                                   .Tap(28, "Z")
                                   .Tap(38, "Z")
                                   .Hold(85, 101, "SD")
                                   .Tap(104, "Z")
                                   .Text();
    const std::string shot = ShotPath("yard_blast");
    const std::vector<gametest::TraceRecord> trace = gametest::RunLinkedSampleGame(
        "breakable_yard", "--stage 25 --fixed-step 32 --frames 440 --screenshot 270:" + shot, script);
    ASSERT_FALSE(trace.empty());
    const std::map<int64_t, int64_t> ids = IdsByType(trace);
    for (int64_t type = 10000; type <= 10031; ++type) {
        EXPECT_EQ(ids.count(type), 1u) << type;
    }
    // The hero's blows, by target: attribute bits.
    std::map<int64_t, std::vector<int64_t>> blows;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "hit")) {
        if (r.Int(0) == 0) {
            blows[r.Int(1)].push_back(r.Int(2));
        }
    }
    // The bomb: lit by the blow, exploding 5 s later.
    const int64_t bomb = ids.at(10028);
    ASSERT_EQ(blows[bomb].size(), 1u);
    const uint32_t lit = FirstTickIn(trace, bomb, 1);
    const uint32_t exploded = FirstTickIn(trace, bomb, 2);
    ASSERT_GT(lit, 0u);
    EXPECT_NEAR((exploded - lit) * kTick, 5.0, 0.05);
    EXPECT_GE(FirstTickRemoved(trace, bomb), exploded);
    int64_t lifeBefore = 0;
    int64_t lifeAfter = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.Int(0) == 0) {
            lifeBefore = r.tick <= exploded ? r.Int(3) : lifeBefore;
            lifeAfter = r.Int(3);
        }
    }
    EXPECT_LT(lifeAfter, lifeBefore);
    // The designs only a blow without a sender breaks: the swing that lit
    // the bomb reached 10021 and did nothing; the blast breaks both.
    EXPECT_FALSE(blows[ids.at(10021)].empty());
    for (int64_t type : {10020, 10021}) {
        SCOPED_TRACE(type);
        const int64_t id = ids.at(type);
        const uint32_t breaking = FirstTickIn(trace, id, 1);
        EXPECT_TRUE(WithinTicksOf(breaking, exploded, 3));
        EXPECT_GT(FirstTickRemoved(trace, id), breaking);
    }
    // The second bomb: lit by the blast, exploding 5 s after.
    const int64_t second = ids.at(10029);
    const uint32_t secondLit = FirstTickIn(trace, second, 1);
    EXPECT_TRUE(WithinTicksOf(secondLit, exploded, 3));
    EXPECT_NEAR((FirstTickIn(trace, second, 2) - secondLit) * kTick, 5.0, 0.05);
    int blasts = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "fx")) {
        blasts += r.fields.size() > 1 && r.fields[0] == "start" && r.fields[1] == "BarrelBomb";
    }
    EXPECT_EQ(blasts, 2);
    // The wall-like object: the chain's three blows reach it; only the last,
    // which carries the wall-breaking bit, breaks it.
    const int64_t wall = ids.at(10022);
    ASSERT_EQ(blows[wall].size(), 3u);
    EXPECT_EQ(blows[wall][0] & kAtkBreakWall, 0);
    EXPECT_EQ(blows[wall][1] & kAtkBreakWall, 0);
    EXPECT_NE(blows[wall][2] & kAtkBreakWall, 0);
    uint32_t lastBlow = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "hit")) {
        lastBlow = r.Int(1) == wall ? r.tick : lastBlow;
    }
    const uint32_t wallBreaking = FirstTickIn(trace, wall, 1);
    EXPECT_TRUE(WithinTicksOf(wallBreaking, lastBlow, 2));
    EXPECT_GT(FirstTickRemoved(trace, wall), wallBreaking);
    ExpectShot(shot, "yard_blast");
}

// South (S+A) to the front-only target and a blow from in front of it: it
// loses its life, falls, lies, stands up again with its life back and is
// out of play for that one tick only. Then east (W+A) and a blow on the
// second target from behind it: it flinches and keeps its life.
TEST(ActorYardRun, StageTwentyFivesTargetsTakeBlowsOnlyFromTheFrontAndStandUpAgain)
{
    const std::string script = gametest::PadScript(kStepMs)
                                   .Hold(1, 8, "SA")
                                   .Tap(11, "Z")
                                   .Hold(50, 61, "WA")
                                   .Hold(62, 64, "SA")
                                   .Tap(67, "Z")
                                   .Text();
    const std::vector<gametest::TraceRecord> trace =
        gametest::RunLinkedSampleGame("targets", "--stage 25 --fixed-step 32 --frames 130", script);
    ASSERT_FALSE(trace.empty());
    int64_t front = -1;
    int64_t back = -1;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.tick == 1 && r.Int(1) == 10026) {
            (r.Real(4) == mkdata::kYardTargetAt.x ? front : back) = r.Int(0);
        }
    }
    ASSERT_GE(front, 0);
    ASSERT_GE(back, 0);
    std::map<int64_t, std::vector<uint32_t>> blows;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "hit")) {
        if (r.Int(0) == 0) {
            blows[r.Int(1)].push_back(r.tick);
        }
    }
    ASSERT_FALSE(blows[front].empty());
    ASSERT_EQ(blows[back].size(), 1u);
    // The front one: its life gone on the blow, then down and up again.
    const uint32_t fell = FirstTickIn(trace, front, 4);
    EXPECT_TRUE(WithinTicksOf(fell, blows[front][0], 3));
    const uint32_t lying = FirstTickIn(trace, front, 5);
    const uint32_t standing = FirstTickIn(trace, front, 6);
    EXPECT_GT(lying, fell);
    EXPECT_GT(standing, lying);
    int removedTicks = 0;
    int64_t lifeAtEnd = -1;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.Int(0) == front) {
            if (r.tick > fell && r.tick < standing) {
                EXPECT_EQ(r.Int(3), 0) << r.tick;
            }
            removedTicks += r.Int(7) == 1;
            lifeAtEnd = r.Int(3);
        }
        if (r.Int(0) == back) {
            EXPECT_EQ(r.Int(3), 60) << r.tick;
            EXPECT_EQ(r.Int(7), 0);
        }
    }
    EXPECT_EQ(removedTicks, 1);
    EXPECT_EQ(lifeAtEnd, 60);
    EXPECT_GT(FirstTickRemoved(trace, front), standing);
    // The back one flinched from the blow.
    const uint32_t flinched = FirstTickIn(trace, back, 1);
    EXPECT_TRUE(WithinTicksOf(flinched, blows[back][0], 2));
}

}  // namespace
}  // namespace actor_yards_game_run_test
