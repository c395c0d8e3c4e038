// The game headless on the sample data's first stage under a scripted pad,
// checked by its trace and screenshots: the first hero walks to the door
// 79011200 (the speech marker shows over the hero), the action command
// opens it, its open motion plays for a second and the event ends; the
// door stands open, drawn, and the yard's monster door 79013400 stays shut.
// A second run kills the yard's monster: door 79013400 opens at once (the
// exit waits for a hero to walk into it).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "event_test_support.h"
#include "tools/mkdata/sample_doors.h"

namespace door_game_run_test {

namespace {

using gametest::TraceRecord;

// The door lines ("started 0", "ended 1") with their ticks.
std::vector<std::pair<uint32_t, std::string>> DoorLines(const std::vector<TraceRecord> &trace, int32_t id)
{
    std::vector<std::pair<uint32_t, std::string>> lines;
    for (const TraceRecord &r : trace) {
        if (r.kind == "event" && r.fields.size() == 4 && r.fields[0] == std::to_string(id)) {
            EXPECT_EQ(r.fields[1], "door");
            lines.emplace_back(r.tick, r.fields[2] + " " + r.fields[3]);
        }
    }
    return lines;
}

TEST(DoorGameRun, TheHeroOpensTheFirstStagesDoorWithTheActionCommand)
{
    // At the shut door under the marker, and the open door from a few steps back.
    const std::vector<TraceRecord> trace = event_test::RunWithReferenceShots(
        "event_open_door", "event_door_run",
        "--stage 1 --frames 360 --input '" + std::string(RW_TEST_SOURCE_DIR) + "/tests/event/scripts/open_door.txt'",
        {{225, "door_marker"}, {350, "door_open"}});
    // Opened on the press, ended with its second of motion.
    const std::vector<std::pair<uint32_t, std::string>> expected = {{230, "started 0"}, {293, "ended 1"}};
    EXPECT_EQ(DoorLines(trace, mkdata::kSampleActionDoor), expected);
    EXPECT_TRUE(DoorLines(trace, mkdata::kSampleMonsterDoor).empty()) << "the monster still stands";
}

// The door's far side: its speech marker shows over the hero there too
// (within 13 on any side), and there the action command opens it as well
// (its area once covered its near side only).
TEST(DoorGameRun, FromItsFarSideTheMarkerShowsAndTheActionCommandOpensTheDoor)
{
    const std::vector<TraceRecord> trace = event_test::RunWithReferenceShots(
        "event_open_door_far_side", "event_door_far_side_run",
        "--stage 1 --frames 316 --input '" + std::string(RW_TEST_SOURCE_DIR) +
            "/tests/event/scripts/open_door_far_side.txt'",
        {{308, "door_marker_far_side"}});
    // Where the hero stood: on the side the door faces, within its reach.
    const RwV3d &door = mkdata::kSampleActionDoorAt;
    const RwV3d &facing = mkdata::kSampleActionDoorFacing;
    bool placed = false;
    for (const TraceRecord &r : trace) {
        if (r.kind == "actor" && r.tick == 308 && r.Int(0) == 0 && r.Int(1) == 0) {
            const double dx = std::stod(r.fields[4]) - door.x;
            const double dz = std::stod(r.fields[6]) - door.z;
            EXPECT_GT(dx * facing.x + dz * facing.z, 5.0);
            EXPECT_LT(std::sqrt(dx * dx + dz * dz), 13.0);
            placed = true;
        }
    }
    EXPECT_TRUE(placed);
    const std::vector<std::pair<uint32_t, std::string>> expected = {{310, "started 0"}};
    EXPECT_EQ(DoorLines(trace, mkdata::kSampleActionDoor), expected);
}

TEST(DoorGameRun, TheMonsterDoorOpensOnceTheYardsMonsterIsGone)
{
    const std::vector<TraceRecord> trace = event_test::RunStageTrace("door_monster", 1, "kill_monster.txt", 700);
    // The tick whose actor pass removed the monster (AIID 1).
    uint32_t gone = 0;
    for (const TraceRecord &r : gametest::RecordsOfKind(trace, "actor")) {
        if (gone == 0 && r.Int(0) == 1 && r.Int(7) == 1) {
            gone = r.tick;
        }
    }
    ASSERT_GT(gone, 0u) << "the monster falls";
    // Tested on the next tick's trigger pass; its motion plays a second.
    const std::vector<std::pair<uint32_t, std::string>> expected = {{gone + 1, "started 0"}, {gone + 64, "ended 1"}};
    EXPECT_EQ(DoorLines(trace, mkdata::kSampleMonsterDoor), expected);
    EXPECT_TRUE(DoorLines(trace, mkdata::kSampleActionDoor).empty());
}

}  // namespace

}  // namespace door_game_run_test
