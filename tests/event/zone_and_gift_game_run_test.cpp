// End to end: stage 23's hero zone on the sample data. The hero walks into
// the zone, where a monster 1007 knocks it down; while it lies there the
// zone places the down-hit effect on the ground behind it every 0.2 s,
// each nearer, hits it after the fourth, and rests 2 s before the next.
// And stage 6's gift, handed over with its popup as the guard's door opens.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "event_test_support.h"
#include "tools/mkdata/sample_stage_ends.h"

namespace zone_and_gift_game_run_test {

namespace {

using gametest::TraceRecord;

struct Effect {
    uint32_t tick;
    float x;
    float z;
};

TEST(HeroZoneRun, AKnockedDownHeroIsDraggedAtAndHit)
{
    const std::vector<TraceRecord> trace = event_test::RunWithReferenceShots(
        "event_hero_zone", "event_hero_zone_run",
        "--stage 23 --frames 560 " + event_test::ScriptArgument("knocked_down_in_zone.txt"),
        {{322, "hero_zone_effects"}});
    // The first tick the hero lies knocked down (state 4), and where.
    uint32_t down = 0;
    float heroX = 0.0f, heroZ = 0.0f;
    std::vector<Effect> effects;
    std::vector<uint32_t> hits;
    for (const TraceRecord &r : trace) {
        if (r.kind == "actor" && r.fields.size() >= 7 && r.fields[0] == "0" && r.fields[2] == "4" && down == 0) {
            down = r.tick;
            heroX = std::stof(r.fields[4]);
            heroZ = std::stof(r.fields[6]);
        }
        if (r.kind == "fx" && r.fields.size() == 5 && r.fields[0] == "start" && r.fields[1] == "DownHit") {
            effects.push_back({r.tick, std::stof(r.fields[2]), std::stof(r.fields[4])});
        }
        // The zone's hit: kind 2, no sender, to the hero, (0, 0x20000, 5).
        if (r.kind == "msg" && r.fields.size() == 6 && r.fields[0] == "2" && r.fields[1] == "-1" &&
            r.fields[2] == "0" && r.fields[4] == "131072" && r.fields[5] == "5") {
            hits.push_back(r.tick);
        }
    }
    ASSERT_GT(down, 0u) << "the monster knocks the hero down";
    EXPECT_LT(std::fabs(heroX - mkdata::kHeroZoneAt.x), mkdata::kHeroZoneHalf);
    EXPECT_LT(std::fabs(heroZ - mkdata::kHeroZoneAt.z), mkdata::kHeroZoneHalf);
    ASSERT_GE(effects.size(), 8u);
    ASSERT_GE(hits.size(), 2u);
    // None before the hero lay down; four, 0.2 s apart (13 ticks of 16 ms),
    // each nearer the hero, then the hit on the next tick's message pass.
    EXPECT_GE(effects[0].tick, down);
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(effects[i].tick - effects[i - 1].tick, 13u) << i;
        const float before = std::hypot(effects[i - 1].x - heroX, effects[i - 1].z - heroZ);
        const float now = std::hypot(effects[i].x - heroX, effects[i].z - heroZ);
        EXPECT_LT(now, before) << i;
    }
    EXPECT_EQ(hits[0], effects[3].tick + 1);
    // Then 2 s of rest before the count starts again.
    EXPECT_GE(effects[4].tick, effects[3].tick + 125);
    EXPECT_EQ(hits[1], effects[7].tick + 1);
}

TEST(GiftRun, TheGiftShowsItsPopupAsTheDoorOpens)
{
    // Stage 6: the guard falls, its door opens and the give-item event
    // linked to it hands over the Guild Token: the popup over the hero's
    // head and the item's picture, with the gift's sound.
    const std::vector<TraceRecord> trace = event_test::RunWithReferenceShots(
        "event_gift", "event_gift_run",
        "--fixed-step 32 --stage 6 --frames 152 " + event_test::ScriptArgument("fight_guard.txt"),
        {{150, "gift_popup"}});
    uint32_t opened = 0, popup = 0, sound = 0;
    for (const TraceRecord &r : trace) {
        if (r.kind == "event" && r.fields.size() == 4 && r.fields[1] == "door" && r.fields[2] == "started") {
            opened = r.tick;
        }
        if (r.kind == "screen" && r.fields.size() == 2 && r.fields[0] == "popup" &&
            r.fields[1] == std::to_string(mkdata::kSampleGiftItem)) {
            popup = r.tick;
        }
        if (r.kind == "screen" && r.fields.size() == 2 && r.fields[0] == "sound" && r.fields[1] == "6600170") {
            sound = r.tick;
        }
    }
    ASSERT_GT(opened, 0u);
    EXPECT_EQ(popup, opened);
    EXPECT_EQ(sound, opened);
}

}  // namespace

}  // namespace zone_and_gift_game_run_test
