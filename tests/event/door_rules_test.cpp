// The door rules without models: every open code against the link, the
// actions and the key; the sound of each kind; the marker distance with
// the height ignored; the crusher zones inside and outside, and which
// heroes the crusher's end hits.
#include <gtest/gtest.h>

#include <cstring>

#include "event/door_rules.h"

namespace door_rules_test {

namespace {

struct Records {
    EventRecord door;
    EventRecord link;
    Records()
    {
        std::memset(static_cast<void *>(&door), 0, sizeof door);
        std::memset(static_cast<void *>(&link), 0, sizeof link);
        door.LinkEvent = &link;
    }
};

TEST(DoorRules, OpenCodesTable)
{
    Records r;
    const DoorConditionInputs noKey{};
    const DoorConditionInputs key{true};

    // 1..99: exactly that many linked ends.
    r.door.LinkEndNum = 2;
    EXPECT_TRUE(DoorOpenConditionHolds(&r.door, 2, noKey));
    EXPECT_FALSE(DoorOpenConditionHolds(&r.door, 1, noKey));
    EXPECT_FALSE(DoorOpenConditionHolds(&r.door, 5, noKey));

    // 100: a key id, a press and the key owned, all three.
    r.door.Param = 0;
    r.door.ActionReq[1] = 1;
    EXPECT_FALSE(DoorOpenConditionHolds(&r.door, 100, key)) << "Param 0 never opens";
    r.door.Param = 77;
    EXPECT_TRUE(DoorOpenConditionHolds(&r.door, 100, key));
    EXPECT_FALSE(DoorOpenConditionHolds(&r.door, 100, noKey));
    r.door.ActionReq[1] = 0;
    EXPECT_FALSE(DoorOpenConditionHolds(&r.door, 100, key)) << "no press";

    // 400 always; 500 the link ended once; 600 the link running.
    EXPECT_TRUE(DoorOpenConditionHolds(&r.door, 400, noKey));
    EXPECT_FALSE(DoorOpenConditionHolds(&r.door, 500, noKey));
    EXPECT_FALSE(DoorOpenConditionHolds(&r.door, 600, noKey));
    r.link.IsOccur = 1;
    EXPECT_TRUE(DoorOpenConditionHolds(&r.door, 600, noKey));
    EXPECT_FALSE(DoorOpenConditionHolds(&r.door, 500, noKey));
    r.link.IsOccur = 0;
    r.link.OccurCount = 1;
    EXPECT_TRUE(DoorOpenConditionHolds(&r.door, 500, noKey));
    EXPECT_FALSE(DoorOpenConditionHolds(&r.door, 600, noKey));

    // 700: the same slot pressed and stands in the area.
    r.door.ActionReq[0] = 1;
    EXPECT_FALSE(DoorOpenConditionHolds(&r.door, 700, noKey));
    r.door.InArea[1] = 1;
    EXPECT_FALSE(DoorOpenConditionHolds(&r.door, 700, noKey)) << "press and area of different slots";
    r.door.InArea[0] = 1;
    EXPECT_TRUE(DoorOpenConditionHolds(&r.door, 700, noKey));

    // Anything else never, and no record never.
    for (int32_t code : {0, 150, 800, 1000, -1}) {
        EXPECT_FALSE(DoorOpenConditionHolds(&r.door, code, key)) << code;
    }
    EXPECT_FALSE(DoorOpenConditionHolds(nullptr, 400, key));

    // Without a link every link code fails.
    r.door.LinkEvent = nullptr;
    EXPECT_FALSE(DoorOpenConditionHolds(&r.door, 500, noKey));
    EXPECT_FALSE(DoorOpenConditionHolds(&r.door, 600, noKey));
}

TEST(DoorRules, SoundOfEachKind)
{
    const int32_t expected[] = {6500350, 6500360, 6500370, 6500380, 6500390, 6500400, 6500410,
                                6500420, 6500310, 6500150, 6500120, 6500510, 6500510, 6500290};
    for (int32_t kind = 1; kind <= 14; ++kind) {
        EXPECT_EQ(DoorSoundOfKind(kind), expected[kind - 1]) << kind;
    }
    EXPECT_EQ(DoorSoundOfKind(12), DoorSoundOfKind(13));
    for (int32_t kind : {0, 15, 100, -1}) {
        EXPECT_EQ(DoorSoundOfKind(kind), 0) << kind;
    }
}

TEST(DoorRules, MarkerDistanceIgnoresHeight)
{
    const RwV3d centre = {10.0f, 5.0f, -3.0f};
    EXPECT_TRUE(WithinDoorMessageDistance(centre, {22.9f, 5.0f, -3.0f}, kDoorMessageDistance));
    EXPECT_TRUE(WithinDoorMessageDistance(centre, {22.9f, 500.0f, -3.0f}, kDoorMessageDistance));
    EXPECT_TRUE(WithinDoorMessageDistance(centre, {10.0f, -80.0f, -15.9f}, kDoorMessageDistance));
    EXPECT_FALSE(WithinDoorMessageDistance(centre, {23.0f, 5.0f, -3.0f}, kDoorMessageDistance)) << "13.0 is out";
    EXPECT_FALSE(WithinDoorMessageDistance(centre, {19.2f, 5.0f, 6.2f}, kDoorMessageDistance));
}

TEST(DoorRules, CrusherZonesInsideAndOutside)
{
    struct Probe {
        int32_t id;
        float x, z;
        bool inside;
    };
    const Probe probes[] = {
        {79164900, 20.0f, -100.0f, true},    {79164900, -2.0f, -100.0f, false},
        {79164900, 20.0f, -70.0f, false},    {79165000, 157.0f, -103.0f, true},
        {79165000, 125.0f, -130.0f, false},  {79165100, 253.0f, -90.0f, true},
        {79165100, 280.0f, -120.0f, false},  {79165200, 380.0f, -270.0f, true},
        {79165200, 420.0f, -270.0f, false},  {79165300, 360.0f, -400.0f, true},
        {79165300, 300.0f, -480.0f, true},   {79165300, 330.0f, -440.0f, false},
        {79165300, 360.0f, -480.0f, false},  {79165300, 300.0f, -400.0f, false},
    };
    for (const Probe &p : probes) {
        EXPECT_EQ(InCrusherZone(p.id, p.x, p.z), p.inside) << p.id << " at " << p.x << ", " << p.z;
    }
    EXPECT_FALSE(InCrusherZone(79011200, 20.0f, -100.0f)) << "not a crusher";
    EXPECT_TRUE(IsCrusherDoor(79165300));
    EXPECT_FALSE(IsCrusherDoor(79165400));
}

TEST(DoorRules, CrusherHitsHeroesInsideOnly)
{
    const RwV3d inside = {20.0f, 3.0f, -100.0f};
    const RwV3d outside = {60.0f, 0.0f, -100.0f};
    RwV3d heroes[2] = {inside, inside};
    EXPECT_EQ(CrusherHitHeroes(79164900, 2, heroes), 3u);
    EXPECT_EQ(CrusherHitHeroes(79164900, 1, heroes), 1u) << "one player: hero 1 only";
    heroes[0] = outside;
    EXPECT_EQ(CrusherHitHeroes(79164900, 2, heroes), 2u);
    EXPECT_EQ(CrusherHitHeroes(79164900, 1, heroes), 0u);
    EXPECT_EQ(CrusherHitHeroes(79164900, 0, heroes), 0u);
    EXPECT_EQ(CrusherHitHeroes(79164900, 2, nullptr), 0u);
}

}  // namespace

}  // namespace door_rules_test
