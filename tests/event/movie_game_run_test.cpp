// The game headless on the sample data's stage 8 under a scripted pad,
// checked by its trace: the hero steps into the boss movie's circle, the
// stage music stops and the movie plays through the real player (about a
// second of the sample clip) while the actors stand still, the overlay is
// asked for its boss gauge once, which binds boss 1106; when the movie is
// over the stage music comes back, and the boss comes on, guards and takes
// the hero's blows. Screenshots: the clip full screen while it plays, the
// stage with the boss gauge after it. The skip key ends the movie the same
// way at once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "event_test_support.h"
#include "support/game/game_run.h"
#include "tools/mkdata/sample_movies.h"
#include "tools/mkdata/sample_bosses.h"

namespace movie_game_run_test {

namespace {

using gametest::TraceRecord;

constexpr int64_t kBoss = 1;  // the arena's only placement
constexpr int64_t kHero = 0;

// Half a second into the clip, and the stage a second after it.
const std::vector<event_test::ReferenceShot> kShots = {{40, "movie_boss_clip"}, {90, "movie_boss_gauge"}};

// The tick of the first record of `kind` with exactly `fields` after tick
// `after`; -1 when none.
int64_t FirstTick(const std::vector<TraceRecord> &trace, const char *kind, const std::vector<std::string> &fields,
                  int64_t after = -1)
{
    for (const TraceRecord &r : trace) {
        if (r.kind == kind && r.fields == fields && static_cast<int64_t>(r.tick) > after) {
            return r.tick;
        }
    }
    return -1;
}

int Count(const std::vector<TraceRecord> &trace, const char *kind, const std::vector<std::string> &fields)
{
    int count = 0;
    for (const TraceRecord &r : trace) {
        count += r.kind == kind && r.fields == fields ? 1 : 0;
    }
    return count;
}

// The boss's actor lines: (tick, state, z).
struct BossLine {
    uint32_t tick;
    int64_t state;
    double z;
};
std::vector<BossLine> BossLines(const std::vector<TraceRecord> &trace)
{
    std::vector<BossLine> lines;
    for (const TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.Int(0) == kBoss) {
            EXPECT_EQ(r.Int(1), 1106);
            lines.push_back({r.tick, r.Int(2), r.Real(6)});
        }
    }
    return lines;
}

TEST(MovieGameRun, InStageEightTheBossMoviePlaysThenTheMusicReturnsAndBoss1106Fights)
{
    const std::string arguments = "--stage 8 --frames 200 --input '" + std::string(RW_TEST_SOURCE_DIR) +
                                  "/tests/event/scripts/walk_into_boss_movie.txt'";
    const std::vector<TraceRecord> trace =
        event_test::RunWithReferenceShots("event_boss_movie", "event_movie_run", arguments, kShots);
    const std::string id = std::to_string(mkdata::kSampleBossMovie);
    const int64_t started = FirstTick(trace, "event", {id, "movie", "started", "0"});
    ASSERT_GE(started, 5);
    EXPECT_LE(started, 12);
    // The stage music stops at once, the movie starts, the gauge is asked
    // for on that first update and binds the boss.
    EXPECT_EQ(FirstTick(trace, "music", {"stop", "stage", "2080000.WAV"}), started);
    EXPECT_EQ(FirstTick(trace, "event", {id, "movie", "play", "801"}), started);
    EXPECT_EQ(FirstTick(trace, "screen", {"gauge"}), started);
    EXPECT_EQ(Count(trace, "screen", {"gauge"}), 1);
    const int64_t bound = FirstTick(trace, "screen", {"boss", "1106", std::to_string(mkdata::SampleBossParams(1106).maxHP)});
    EXPECT_GE(bound, started);
    EXPECT_LE(bound, started + 1);
    // The clip's second at 16 ms a tick, then the music is back.
    const int64_t ended = FirstTick(trace, "event", {id, "movie", "ended", "1"});
    ASSERT_GT(ended, started);
    EXPECT_NEAR(static_cast<double>(ended - started), mkdata::kSampleEventMovieMs / 16.0, 3.0);
    EXPECT_EQ(FirstTick(trace, "music", {"start", "stage", "2080000.WAV"}, started), ended);
    EXPECT_EQ(Count(trace, "event", {id, "movie", "started", "0"}), 1);
    // While it plays no actor pass runs: the boss stands where it stood.
    const std::vector<BossLine> boss = BossLines(trace);
    double zBefore = 0.0;
    double zAfter = 0.0;
    for (const BossLine &line : boss) {
        EXPECT_FALSE(line.tick > static_cast<uint32_t>(started) && line.tick < static_cast<uint32_t>(ended))
            << line.tick;
        zBefore = line.tick <= static_cast<uint32_t>(started) ? line.z : zBefore;
        zAfter = line.tick == static_cast<uint32_t>(ended) ? line.z : zAfter;
    }
    EXPECT_NEAR(zAfter, zBefore, 0.5);
    // Then the boss comes toward the hero and fights: it walks, stands in
    // its guard and takes the hero's blows there.
    bool walked = false;
    bool guarded = false;
    double lastZ = zAfter;
    for (const BossLine &line : boss) {
        if (line.tick > static_cast<uint32_t>(ended)) {
            walked = walked || (line.state == 1 && line.z < lastZ);
            guarded = guarded || line.state == 19;
            lastZ = line.z;
        }
    }
    EXPECT_TRUE(walked);
    EXPECT_TRUE(guarded);
    int blows = 0;
    for (const TraceRecord &r : gametest::RecordsOfKind(trace, "msg")) {
        blows += r.Int(0) == 1 && r.Int(1) == kHero && r.Int(2) == kBoss && r.tick > static_cast<uint64_t>(ended) ? 1 : 0;
    }
    EXPECT_GE(blows, 1);
}

TEST(MovieGameRun, TheSkipKeyEndsTheBossMovieAndTheStageRunsOn)
{
    const std::vector<TraceRecord> trace = event_test::RunStageTrace("boss_movie_skip", 8, "skip_boss_movie.txt", 60);
    const std::string id = std::to_string(mkdata::kSampleBossMovie);
    const int64_t started = FirstTick(trace, "event", {id, "movie", "started", "0"});
    ASSERT_GE(started, 5);
    ASSERT_LT(started, 30);
    // The key's tick: skipped, the music back, the end.
    EXPECT_EQ(FirstTick(trace, "event", {id, "movie", "skip", "801"}), 30);
    EXPECT_EQ(FirstTick(trace, "event", {id, "movie", "ended", "1"}), 30);
    EXPECT_EQ(FirstTick(trace, "music", {"start", "stage", "2080000.WAV"}, started), 30);
    EXPECT_EQ(Count(trace, "screen", {"gauge"}), 1);
    // The actors run again from the next tick.
    const std::vector<BossLine> boss = BossLines(trace);
    int after = 0;
    for (const BossLine &line : boss) {
        EXPECT_FALSE(line.tick > static_cast<uint32_t>(started) && line.tick < 30u) << line.tick;
        after += line.tick > 30u ? 1 : 0;
    }
    EXPECT_EQ(after, 30);
}

}  // namespace

}  // namespace movie_game_run_test
