// The sensing bits of the actor pass: strict ranges, the near bit gating
// the others, the distance to the camera, the view bit and skipped heroes.
#include <gtest/gtest.h>

#include "actor/hero.h"
#include "actor/sensing.h"

namespace sensing_test {

namespace {

SensingRanges Ranges()
{
    SensingRanges r;
    r.searchRange = 100.0f;
    r.attackRange = 20.0f;
    r.alarmCircle = 50.0f;
    return r;
}

SensingHero HeroAt(float x)
{
    SensingHero h;
    h.position = {x, 0.0f, 0.0f};
    return h;
}

TEST(Sensing, StrictRangesWithTheNearBitFirst)
{
    const RwV3d at = {0.0f, 0.0f, 0.0f};
    const SensingRanges r = Ranges();
    struct Case {
        float x;
        int32_t bits;
    };
    const Case cases[] = {
        {100.0f, 0},  // at SearchRange: not closer
        {99.9f, kSenseNear},
        {50.0f, kSenseNear},
        {49.9f, kSenseNear | kSenseAlarm},
        {20.0f, kSenseNear | kSenseAlarm},
        {19.9f, kSenseNear | kSenseAlarm | kSenseAttack},
    };
    for (const Case &c : cases) {
        SensingHero h = HeroAt(c.x);
        EXPECT_EQ(SensingBits(at, r, &h, 1, false, false), c.bits) << c.x;
        EXPECT_EQ(h.lastBits, c.bits) << c.x;  // kept for a later frame
    }
}

TEST(Sensing, AttackAndAlarmOnlyAfterTheNearBit)
{
    // A territory that the hero stands outside: close as it is, nothing.
    const RwV3d at = {0.0f, 0.0f, 0.0f};
    SensingRanges r = Ranges();
    r.hasTerritory = true;
    SensingHero h = HeroAt(5.0f);
    EXPECT_EQ(SensingBits(at, r, &h, 1, false, false), 0);
    h.insideTerritory = true;
    EXPECT_EQ(SensingBits(at, r, &h, 1, false, false), kSenseNear | kSenseAttack | kSenseAlarm);
    // Inside the territory beyond SearchRange still counts as near.
    h = HeroAt(300.0f);
    h.insideTerritory = true;
    EXPECT_EQ(SensingBits(at, r, &h, 1, false, false), kSenseNear);
}

TEST(Sensing, HeroesAreJoinedLeftOutOrKeptAsLastSeen)
{
    const RwV3d at = {0.0f, 0.0f, 0.0f};
    SensingHero heroes[2] = {HeroAt(60.0f), HeroAt(10.0f)};
    EXPECT_EQ(SensingBits(at, Ranges(), heroes, 2, false, false), kSenseNear | kSenseAttack | kSenseAlarm);
    heroes[1].test = SensingTest::kLeftOut;
    EXPECT_EQ(SensingBits(at, Ranges(), heroes, 2, false, false), kSenseNear);
    // Not tested: wherever it stands now, the bits it gave last time.
    heroes[1].test = SensingTest::kKeepLast;
    heroes[1].position = {500.0f, 0.0f, 0.0f};
    EXPECT_EQ(SensingBits(at, Ranges(), heroes, 2, false, false), kSenseNear | kSenseAttack | kSenseAlarm);
    EXPECT_EQ(heroes[1].lastBits, kSenseNear | kSenseAttack | kSenseAlarm);
    heroes[1].test = SensingTest::kTested;
    EXPECT_EQ(SensingBits(at, Ranges(), heroes, 2, false, false), kSenseNear);
    EXPECT_EQ(heroes[1].lastBits, 0);
    // One never tested yet (a target the actor found by its own search
    // before the sensing saw it) is tested after all.
    heroes[1].test = SensingTest::kKeepLast;
    heroes[1].lastBits = kNeverSensed;
    heroes[1].position = {10.0f, 0.0f, 0.0f};
    EXPECT_EQ(SensingBits(at, Ranges(), heroes, 2, false, false), kSenseNear | kSenseAttack | kSenseAlarm);
    EXPECT_EQ(heroes[1].lastBits, kSenseNear | kSenseAttack | kSenseAlarm);
    // Full 3D distance: height counts.
    SensingHero above = HeroAt(0.0f);
    above.position.y = 30.0f;
    EXPECT_EQ(SensingBits(at, Ranges(), &above, 1, false, false), kSenseNear | kSenseAlarm);
}

TEST(Sensing, ViewBitOnlyWithACollisionWorld)
{
    const RwV3d at = {0.0f, 0.0f, 0.0f};
    EXPECT_EQ(SensingBits(at, Ranges(), nullptr, 0, true, true), kSenseInView);
    EXPECT_EQ(SensingBits(at, Ranges(), nullptr, 0, true, false), 0);
    EXPECT_EQ(SensingBits(at, Ranges(), nullptr, 0, false, true), 0);

    AiObject a;
    EXPECT_FALSE(CountsAsInView(a));
    a.drawn = true;
    EXPECT_TRUE(CountsAsInView(a));
    a.drawn = false;
    a.eventHeld = true;
    EXPECT_TRUE(CountsAsInView(a));
    a.eventHeld = false;
    a.eventModel = true;
    EXPECT_TRUE(CountsAsInView(a));
    a.eventModel = false;
    a.appear = 1;
    EXPECT_TRUE(CountsAsInView(a));
}

TEST(Sensing, CameraDistanceIncludesFourHundred)
{
    const RwV3d camera = {0.0f, 0.0f, 0.0f};
    EXPECT_TRUE(WithinSensingDistance({400.0f, 0.0f, 0.0f}, camera));
    EXPECT_TRUE(WithinSensingDistance({0.0f, 240.0f, 320.0f}, camera));  // 3D: exactly 400
    EXPECT_FALSE(WithinSensingDistance({0.0f, 240.0f, 320.1f}, camera));
}

TEST(Sensing, TargetHeroLeftOutWhenRemovedAndKeptAsLastSeenWhileHeldGettingUpOrAttacking)
{
    AiObject monster;
    CSHero hero;
    CSHero other;
    monster.target = &hero;
    EXPECT_EQ(SensingTestOf(monster, hero), SensingTest::kTested);
    bool *flags[3] = {&hero.held, &hero.state5, &hero.attacking};
    for (bool *flag : flags) {
        *flag = true;
        EXPECT_EQ(SensingTestOf(monster, hero), SensingTest::kKeepLast);
        // Only the actor's current target is left untested.
        other.held = other.state5 = other.attacking = true;
        EXPECT_EQ(SensingTestOf(monster, other), SensingTest::kTested);
        *flag = false;
    }
    hero.removed = true;
    EXPECT_EQ(SensingTestOf(monster, hero), SensingTest::kLeftOut);
    hero.attacking = true;
    EXPECT_EQ(SensingTestOf(monster, hero), SensingTest::kLeftOut);
    other.removed = true;
    EXPECT_EQ(SensingTestOf(monster, other), SensingTest::kTested);
}

}  // namespace

}  // namespace sensing_test
