// End to end: the game headless on the sample data under a scripted pad. In
// the first stage the hero walks along the row of breakable objects and
// breaks it: each object breaks and goes out of play for good, the two
// money objects pay reward pieces that reach the hero's stage earnings (its
// money waits for the stage's end), one drops a potion, and the barrel bomb
// explodes 5 s after the hero's blow lit it, hurting the hero beside it.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/game/game_run.h"
#include "support/game/kill_checks.h"
#include "support/game/trace_reader.h"

namespace breakable_game_run_test {

namespace {


using gametest::FirstTickIn;
using gametest::FirstTickRemoved;

// Whether an actor out of play from `from` on is never back in it.
bool StaysRemoved(const std::vector<gametest::TraceRecord> &trace, int64_t aiId, uint32_t from)
{
    if (from == 0) {
        return false;
    }
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.Int(0) == aiId && r.tick >= from && r.Int(7) != 1) {
            return false;
        }
    }
    return true;
}

TEST(BreakableGameRun, TheHeroBreaksTheRowOfTheFirstStage)
{
    const std::string script = std::string(RW_TEST_SOURCE_DIR) + "/tests/boss/scripts/break_row.txt";
    const std::vector<gametest::TraceRecord> trace =
        gametest::RunSampleGame("breakable_row", "--stage 1 --frames 775 --input " + script);
    ASSERT_FALSE(trace.empty());
    // The row: 10008 (AIID 2), 10005 (3), 10012 (4), 10000 (5) break and are
    // broken for good; the bomb is AIID 6.
    for (int64_t id : {2, 3, 4, 5}) {
        SCOPED_TRACE(id);
        const uint32_t breaking = FirstTickIn(trace, id, 1);
        const uint32_t broken = FirstTickIn(trace, id, 2);
        ASSERT_GT(breaking, 0u);
        EXPECT_GT(broken, breaking);
        const uint32_t removed = FirstTickRemoved(trace, id);
        EXPECT_GE(removed, broken);
        EXPECT_TRUE(StaysRemoved(trace, id, removed));
    }
    // Each breaks on the hero's blow: the hit on it comes first.
    int hits = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "hit")) {
        hits += r.Int(0) == 0 && r.Int(1) >= 2 && r.Int(1) <= 6;
    }
    EXPECT_GE(hits, 5);
    // The money objects pay reward pieces (10 to 15, and 5 to 10); the
    // pieces that reach the hero are its stage earnings; its money waits.
    int pieces = 0;
    int64_t rewarded = 0;
    int drops = 0;
    int blasts = 0;
    uint32_t blastTick = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "fx")) {
        pieces += r.fields.size() > 1 && r.fields[0] == "start" && r.fields[1] == "3406000";
        if (r.fields.size() > 2 && r.fields[0] == "reward") {
            EXPECT_EQ(r.Int(2), 0);
            rewarded += r.Int(1);
        }
        drops += r.fields.size() > 1 && r.fields[0] == "drop" && r.fields[1] == "5300000";
        if (r.fields.size() > 1 && r.fields[0] == "start" && r.fields[1] == "BarrelBomb") {
            ++blasts;
            blastTick = r.tick;
        }
    }
    EXPECT_EQ(pieces, 2);
    EXPECT_GE(rewarded, 15);
    EXPECT_LE(rewarded, 25);
    EXPECT_EQ(drops, 1);
    std::map<uint32_t, const gametest::TraceRecord *> heroAt;
    const std::vector<gametest::TraceRecord> heroes = gametest::RecordsOfKind(trace, "hero");
    for (const gametest::TraceRecord &r : heroes) {
        if (r.Int(0) == 0) {
            heroAt[r.tick] = &r;
        }
    }
    ASSERT_FALSE(heroAt.empty());
    const gametest::TraceRecord &start = *heroAt.begin()->second;
    const gametest::TraceRecord &end = *heroAt.rbegin()->second;
    EXPECT_EQ(end.Int(2) - start.Int(2), rewarded);
    EXPECT_EQ(end.Int(1), start.Int(1));
    EXPECT_EQ(end.Int(4), start.Int(4) + 2);  // a kill for each money object
    // The bomb: lit by the blow, it explodes 5 s (16-ms ticks) later and
    // hurts the hero standing beside it.
    const uint32_t lit = FirstTickIn(trace, 6, 1);
    const uint32_t exploding = FirstTickIn(trace, 6, 2);
    ASSERT_GT(lit, 0u);
    ASSERT_GT(exploding, lit);
    EXPECT_NEAR((exploding - lit) * 0.016, 5.0, 0.05);
    EXPECT_EQ(blasts, 1);
    EXPECT_GE(blastTick, exploding);
    const uint32_t bombGone = FirstTickRemoved(trace, 6);
    EXPECT_GE(bombGone, exploding);
    EXPECT_TRUE(StaysRemoved(trace, 6, bombGone));
    EXPECT_LT(end.Int(5), start.Int(5));
}

}  // namespace

}  // namespace breakable_game_run_test
