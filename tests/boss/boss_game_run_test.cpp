// End to end: the game headless on the sample data under a scripted pad.
// In stage 3 the hero fights boss 1100 until it dies: the trace shows the
// boss's states, its HP falling, its dying and gone states, the drop and
// the hero's experience and kill count rising. In stage 4 boss 1102 turns
// to the hero and throws at it.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/reference_image.h"
#include "support/game/game_run.h"
#include "support/game/kill_checks.h"
#include "support/game/trace_reader.h"
#include "tools/mkdata/sample_bosses.h"

namespace boss_game_run_test {

namespace {

std::string Script(const std::string &name) { return std::string(RW_TEST_SOURCE_DIR) + "/tests/boss/scripts/" + name; }

// The boss is the stage's only placement, AIID 1; the hero is AIID 0.
constexpr int64_t kBoss = 1;
constexpr int64_t kHero = 0;

TEST(BossGameRun, InStageThreeTheHeroFightsBoss1100UntilItIsGone)
{
    const std::vector<gametest::TraceRecord> trace =
        gametest::RunSampleGame("boss_1100", "--stage 3 --frames 1200 --input " + Script("fight_1100.txt"));
    // Its states: idle, walking, its attack; dying 3, then gone 4 for good.
    const std::vector<int32_t> states = gametest::ActorStates(trace, kBoss);
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states.front(), 0);
    const std::set<int32_t> seen(states.begin(), states.end());
    EXPECT_TRUE(seen.count(1) != 0 && seen.count(2) != 0);
    ASSERT_GE(states.size(), 2u);
    EXPECT_EQ(states[states.size() - 2], 3);
    EXPECT_EQ(states.back(), 4);
    // Its HP falls hit by hit to 0; the gone state comes after the dying one.
    int64_t lastHp = -1;
    int falls = 0;
    uint32_t dyingTick = 0;
    uint32_t goneTick = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.Int(0) != kBoss) {
            continue;
        }
        EXPECT_EQ(r.Int(1), 1100);
        if (lastHp >= 0 && r.Int(3) < lastHp) {
            ++falls;
        }
        EXPECT_LE(r.Int(3), lastHp < 0 ? r.Int(3) : lastHp);
        lastHp = r.Int(3);
        dyingTick = dyingTick == 0 && r.Int(2) == 3 ? r.tick : dyingTick;
        goneTick = goneTick == 0 && r.Int(2) == 4 ? r.tick : goneTick;
    }
    EXPECT_GE(falls, 2);  // hit by hit
    EXPECT_EQ(lastHp, 0);
    ASSERT_GT(dyingTick, 0u);
    ASSERT_GT(goneTick, dyingTick);
    // The drop (its drop map always gives one) on the frame after the gone
    // state began, once.
    int drops = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "fx")) {
        if (!r.fields.empty() && r.fields[0] == "drop") {
            EXPECT_GE(r.tick, goneTick);
            EXPECT_LE(r.tick, goneTick + 1);
            ++drops;
        }
    }
    EXPECT_EQ(drops, 1);
    // The hero's experience rises by the boss's Exp and its kill count by
    // one, when the boss goes.
    const std::vector<gametest::TraceRecord> heroes = gametest::RecordsOfKind(trace, "hero");
    ASSERT_FALSE(heroes.empty());
    const gametest::TraceRecord &first = heroes.front();
    const gametest::TraceRecord &last = heroes.back();
    EXPECT_EQ(last.Int(3) - first.Int(3), mkdata::SampleBossParams(1100).exp);
    EXPECT_EQ(last.Int(4) - first.Int(4), 1);
    for (const gametest::TraceRecord &r : heroes) {
        if (r.tick < goneTick) {
            EXPECT_EQ(r.Int(3), first.Int(3));
        }
    }
}

TEST(BossGameRun, InStageFourBoss1102TurnsToTheHeroAndThrows)
{
    const std::vector<gametest::TraceRecord> trace =
        gametest::RunSampleGame("boss_1102", "--stage 4 --frames 300 --input " + Script("walk_to_1102.txt"));
    // It looks across the yard: the hero in its alarm circle, it turns
    // (state 2, over several ticks) and then throws (state 3).
    std::vector<std::pair<uint32_t, int64_t>> states;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.Int(0) == kBoss && (states.empty() || states.back().second != r.Int(2))) {
            states.emplace_back(r.tick, r.Int(2));
        }
    }
    size_t turn = 0;
    while (turn < states.size() && states[turn].second != 2) {
        ++turn;
    }
    ASSERT_LT(turn + 1, states.size());
    EXPECT_EQ(states[turn + 1].second, 3);
    EXPECT_GE(states[turn + 1].first - states[turn].first, 5u);  // a quarter turn takes time
    // Its projectiles start at the throw's frame, and land on the hero.
    int throws = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "fx")) {
        if (r.fields.size() > 1 && r.fields[0] == "start" && r.fields[1] == "Boss1102Shot") {
            EXPECT_GT(r.tick, states[turn + 1].first);
            ++throws;
        }
    }
    EXPECT_GE(throws, 1);
    int landed = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "msg")) {
        landed += r.Int(0) == 2 && r.Int(1) == -1 && r.Int(2) == kHero;
    }
    EXPECT_GE(landed, 1);
}

// The changes of an actor's state: (tick, state), the first one included.
std::vector<std::pair<uint32_t, int64_t>> StateChanges(const std::vector<gametest::TraceRecord> &trace, int64_t aiId)
{
    std::vector<std::pair<uint32_t, int64_t>> changes;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.Int(0) == aiId && (changes.empty() || changes.back().second != r.Int(2))) {
            changes.emplace_back(r.tick, r.Int(2));
        }
    }
    return changes;
}

// The actor line of `aiId` at `tick`, null when none.
const gametest::TraceRecord *ActorAt(const std::vector<gametest::TraceRecord> &trace, int64_t aiId, uint32_t tick)
{
    for (const gametest::TraceRecord &r : trace) {
        if (r.tick == tick && r.kind == "actor" && r.Int(0) == aiId) {
            return &r;
        }
    }
    return nullptr;
}

// The ticks of the starts of `pool`.
std::vector<uint32_t> PoolStarts(const std::vector<gametest::TraceRecord> &trace, const std::string &pool)
{
    std::vector<uint32_t> ticks;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "fx")) {
        if (r.fields.size() > 1 && r.fields[0] == "start" && r.fields[1] == pool) {
            ticks.push_back(r.tick);
        }
    }
    return ticks;
}

// Stage 27 at 32 ms a tick: boss 1104 (AIID 1) and its hidden partner 1105
// (AIID 2). The hero's blows bring 1104 below 70 % of its HP; it calls (state
// 6); 1105 comes out straight into state 4 two units ahead of it, fires its
// wing balls (each with its sound) and, 30 s after the call, leaves
// (state 5) and is hidden again (state 0) to the end; it never loses HP.
// A reviewed picture shows the two bosses and the wing balls' glow.
TEST(BossGameRun, InStageTwentySevenBoss1104CallsBoss1105ForThirtySeconds)
{
    constexpr float kTick = 0.032f;
    std::string shot = apptest::ScratchFolder("shot_boss_1105");
    shot += "/boss_1105_called.bmp";
    const std::vector<gametest::TraceRecord> trace = gametest::RunSampleGame(
        "boss_1104",
        "--stage 27 --fixed-step 32 --frames 1182 --screenshot 283:" + shot + " --input " + Script("call_1105.txt"));
    std::string reference = RW_TEST_SOURCE_DIR;
    reference += "/tests/boss/reference/boss_1105_called.bmp";
    std::string difference = shot;
    difference += "_difference.bmp";
    apptest::ExpectLikeReference(shot, reference, difference);
    const auto caller = StateChanges(trace, 1);
    const auto partner = StateChanges(trace, 2);
    ASSERT_FALSE(caller.empty());
    ASSERT_FALSE(partner.empty());
    EXPECT_EQ(partner.front().second, 0);
    // The call: the first entry of state 6, with HP at or below 70 %.
    uint32_t call = 0;
    for (const auto &[tick, state] : caller) {
        if (state == 6) {
            call = tick;
            break;
        }
    }
    ASSERT_GT(call, 0u);
    const gametest::TraceRecord *atCall = ActorAt(trace, 1, call);
    ASSERT_NE(atCall, nullptr);
    const int64_t maxHP = mkdata::SampleBossParams(1104).maxHP;
    EXPECT_LE(atCall->Int(3), maxHP * 70 / 100);
    EXPECT_LT(atCall->Int(3), maxHP);
    // 1105 hidden until then, then appearing beside 1104.
    size_t appear = 0;
    while (appear < partner.size() && partner[appear].second != 4) {
        EXPECT_EQ(partner[appear].second, 0);
        ++appear;
    }
    ASSERT_LT(appear, partner.size());
    EXPECT_GE(partner[appear].first, call);
    EXPECT_LE(partner[appear].first, call + 2);
    const gametest::TraceRecord *caller4 = ActorAt(trace, 1, partner[appear].first);
    const gametest::TraceRecord *partner4 = ActorAt(trace, 2, partner[appear].first);
    ASSERT_NE(caller4, nullptr);
    ASSERT_NE(partner4, nullptr);
    const double dx = partner4->Real(4) - caller4->Real(4);
    const double dz = partner4->Real(6) - caller4->Real(6);
    EXPECT_NEAR(std::sqrt(dx * dx + dz * dz), 2.0, 0.6);
    // Its wing balls, after it came out, each with its sound.
    const std::vector<uint32_t> balls = PoolStarts(trace, "WingBall");
    ASSERT_GE(balls.size(), 3u);
    EXPECT_GT(balls.front(), partner[appear].first);
    int sounds = 0;
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "sfx")) {
        sounds += r.Int(0) == 6240100;
    }
    EXPECT_GE(sounds, 1);
    // Leaving 30 s after the call, hidden to the end.
    size_t leave = appear;
    while (leave < partner.size() && partner[leave].second != 5) {
        ++leave;
    }
    ASSERT_LT(leave, partner.size());
    EXPECT_NEAR((partner[leave].first - call) * kTick, 30.0f, 0.2f);
    ASSERT_EQ(leave + 2, partner.size());
    EXPECT_EQ(partner.back().second, 0);
    for (const gametest::TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (r.Int(0) == 2) {
            EXPECT_EQ(r.Int(3), mkdata::SampleBossParams(1105).maxHP);
        }
    }
}

// Stage 37 at 32 ms a tick: boss 1109 chases the waiting hero and, in its
// alarm circle, turns to its special attack of state 11 (the 3214400 shot,
// once per visit); the hero's blows bring it to 60 % and it rages (state
// 14, its aura), then fires its barrage (state 15): a shot at the hero
// every 0.1 s at most, none before.
TEST(BossGameRun, InStageThirtySevenBoss1109FiresItsSpecialAttacksAndItsBarrage)
{
    const std::vector<gametest::TraceRecord> trace = gametest::RunSampleGame(
        "boss_1109", "--stage 37 --fixed-step 32 --frames 520 --input " + Script("fight_1109.txt"));
    const auto states = StateChanges(trace, kBoss);
    auto stateAt = [&](uint32_t tick) {
        int64_t state = -1;
        for (const auto &[from, s] : states) {
            if (from <= tick) {
                state = s;
            }
        }
        return state;
    };
    // Each special of state 11 in a visit of state 11, once per visit.
    const std::vector<uint32_t> specials = PoolStarts(trace, "3214400");
    ASSERT_GE(specials.size(), 1u);
    std::set<uint32_t> visits;
    for (uint32_t tick : specials) {
        EXPECT_EQ(stateAt(tick), 11) << tick;
        uint32_t entered = 0;
        for (const auto &[from, s] : states) {
            entered = from <= tick && s == 11 ? from : entered;
        }
        EXPECT_TRUE(visits.insert(entered).second) << tick;
    }
    // Rage at 60 %, its aura, then the barrage.
    uint32_t rage = 0;
    uint32_t barrage = 0;
    for (const auto &[from, s] : states) {
        rage = rage == 0 && s == 14 ? from : rage;
        barrage = barrage == 0 && s == 15 ? from : barrage;
    }
    ASSERT_GT(rage, 0u);
    ASSERT_GT(barrage, rage);
    const gametest::TraceRecord *atRage = ActorAt(trace, kBoss, rage);
    ASSERT_NE(atRage, nullptr);
    EXPECT_LE(atRage->Int(3), mkdata::SampleBossParams(1109).maxHP * 60 / 100);
    const std::vector<uint32_t> auras = PoolStarts(trace, "3219700");
    ASSERT_EQ(auras.size(), 1u);
    EXPECT_EQ(stateAt(auras[0]), 14);
    const std::vector<uint32_t> shots = PoolStarts(trace, "3215400");
    ASSERT_GE(shots.size(), 20u);
    EXPECT_LE(shots.front(), barrage + 2);
    for (size_t i = 0; i < shots.size(); ++i) {
        EXPECT_EQ(stateAt(shots[i]), 15) << shots[i];
        if (i > 0) {
            EXPECT_GE(shots[i] - shots[i - 1], 3u);  // 0.1 s at 32 ms a tick
        }
    }
}

}  // namespace

}  // namespace boss_game_run_test
