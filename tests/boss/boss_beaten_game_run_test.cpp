// End to end: bosses 1102, 1101 and 1108, each in its arena at 32 ms a
// tick, fought by the first hero under a scripted pad until they fall: the
// trace shows the boss's life falling hit by hit to 0, its dying (where it
// has one) and gone states, its drop, and the states its behaviour goes
// through on the way (1102's idle 1 between throws and its recoil 4, 1101's
// recovery and escape, 1108's dash, swarm and teleport, and its trades of
// places with its partners, one of them on screen).
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/reference_image.h"
#include "support/game/game_run.h"
#include "support/game/trace_reader.h"
#include "tools/mkdata/sample_bosses.h"

namespace boss_beaten_game_run_test {

namespace {

struct Fight {
    int32_t stage;
    int32_t aiType;
    int64_t aiId;
    int32_t gone;
    std::set<int32_t> through;  // states it must enter on the way
    int32_t frames;
};

std::string Script(int32_t aiType)
{
    std::string path = RW_TEST_SOURCE_DIR;
    path += "/tests/boss/scripts/beat_";
    path += std::to_string(aiType);
    path += ".txt";
    return path;
}

// The fight's trace (`extra` arguments added to the run's).
std::vector<gametest::TraceRecord> ExpectBeaten(const Fight &fight, const std::string &extra = "")
{
    SCOPED_TRACE(fight.aiType);
    const std::vector<gametest::TraceRecord> trace = gametest::RunSampleGame(
        "beat_" + std::to_string(fight.aiType), "--stage " + std::to_string(fight.stage) + " --fixed-step 32 --frames " +
                                                     std::to_string(fight.frames) + " --input " + Script(fight.aiType) +
                                                     extra);
    int64_t life = -1;
    int falls = 0;
    uint32_t goneTick = 0;
    std::set<int32_t> seen;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.Int(0) != fight.aiId) {
            continue;
        }
        EXPECT_EQ(r.Int(1), fight.aiType);
        seen.insert(static_cast<int32_t>(r.Int(2)));
        falls += life >= 0 && r.Int(3) < life;
        EXPECT_LE(r.Int(3), life < 0 ? r.Int(3) : life) << r.tick;
        life = r.Int(3);
        goneTick = goneTick == 0 && r.Int(7) == 1 ? r.tick : goneTick;
    }
    EXPECT_EQ(life, 0);
    EXPECT_GT(goneTick, 0u);
    if (goneTick == 0) {
        return trace;
    }
    EXPECT_EQ(seen.count(fight.gone), 1u);
    // Hit by hit: it stands many blows.
    EXPECT_GE(falls, 10);
    for (int32_t state : fight.through) {
        EXPECT_EQ(seen.count(state), 1u) << "state " << state;
    }
    // Its drop map always gives one, once.
    int drops = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "fx")) {
        drops += !r.fields.empty() && r.fields[0] == "drop";
    }
    EXPECT_EQ(drops, 1);
    return trace;
}

struct Place {
    float x = 0.0f;
    float z = 0.0f;
    bool operator==(const Place &other) const
    {
        return std::fabs(x - other.x) < 0.01f && std::fabs(z - other.z) < 0.01f;
    }
};

// 1102 throws, walks off in its idle 1 after each throw, recoils (4) from
// the hero's blows and dies through 5 into 6.
TEST(BossBeatenRun, TheHeroBeatsBoss1102InStageFour)
{
    ExpectBeaten({4, 1102, 1, 6, {1, 2, 3, 4, 5}, 560});
}

// 1101 recovers (20) from the blows and escapes (21), and dies through 27
// into 29.
TEST(BossBeatenRun, TheHeroBeatsBoss1101InStageFifteen)
{
    ExpectBeaten({15, 1101, 1, 29, {20, 21, 27}, 900});
}

// 1108 (AIID 2) dashes (1), calls its swarm (2), teleports (5) and is gone
// at once (4) when it falls.
// Three of its teleports trade places with a partner (AIIDs 100 to 102,
// each standing in play): on one tick the boss stands where the partner
// stood and the partner where the boss stood. The screenshot: the partner
// of the second trade in front of the hero where the boss stood, the boss
// far off in the partner's place, both in the teleport's light.
TEST(BossBeatenRun, TheHeroBeatsBoss1108InStageThirtySix)
{
    std::string shot = apptest::ScratchFolder("shot_boss_1108");
    shot += "/boss_1108_partner.bmp";
    const std::vector<gametest::TraceRecord> trace =
        ExpectBeaten({36, 1108, 2, 4, {1, 2, 5}, 1130}, " --screenshot 553:" + shot);
    std::map<uint32_t, std::map<int64_t, Place>> places;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        places[r.tick][r.Int(0)] = {static_cast<float>(r.Real(4)), static_cast<float>(r.Real(6))};
    }
    std::vector<std::pair<uint32_t, int64_t>> trades;
    for (auto it = std::next(places.begin()); it != places.end(); ++it) {
        const std::map<int64_t, Place> &before = std::prev(it)->second;
        const std::map<int64_t, Place> &now = it->second;
        for (int64_t partner = 100; partner <= 102; ++partner) {
            if (before.count(2) != 0 && before.count(partner) != 0 && !(before.at(2) == before.at(partner)) &&
                now.at(2) == before.at(partner) && now.at(partner) == before.at(2)) {
                trades.emplace_back(it->first, partner);
            }
        }
    }
    EXPECT_EQ(trades, (std::vector<std::pair<uint32_t, int64_t>>{{265, 101}, {549, 102}, {937, 100}}));
    std::string reference = RW_TEST_SOURCE_DIR;
    reference += "/tests/boss/reference/boss_1108_partner.bmp";
    apptest::ExpectLikeReference(shot, reference, shot + "_difference.bmp");
}

}  // namespace

}  // namespace boss_beaten_game_run_test
