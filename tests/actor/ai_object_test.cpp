// The actor record's own small operations: hit marks, the touched list, HP,
// sides by AI type, and the kill reward.
#include <gtest/gtest.h>

#include <climits>

#include "actor/ai_object.h"
#include "actor/hero.h"
#include "actor/reward.h"

namespace ai_object_test {

namespace {

TEST(AiObjectRecord, StartsClearWithTheModelFirst)
{
    static_assert(offsetof(AiObject, model) == 0, "the model instance is the first field");
    static_assert(std::is_same_v<decltype(AiObject::hp), int32_t>, "life is i32");
    AiObject a;
    EXPECT_EQ(a.model, nullptr);
    EXPECT_EQ(a.stateRandom, 0);
    EXPECT_EQ(a.msgCount, 0);
    for (const MSGData &m : a.msgQueue) {
        EXPECT_EQ(m.used, 0);
        EXPECT_EQ(m.kind, kMsgFreeKind);
    }
}

TEST(AiObjectRecord, SidesByAiType)
{
    EXPECT_EQ(SideOfAiType(0), kSideHero);
    EXPECT_EQ(SideOfAiType(1), kSideHero);
    EXPECT_EQ(SideOfAiType(10), kSideNeutral);
    EXPECT_EQ(SideOfAiType(118), kSideNeutral);
    EXPECT_EQ(SideOfAiType(999), kSideNeutral);
    EXPECT_EQ(SideOfAiType(1000), kSideMonster);
    EXPECT_EQ(SideOfAiType(1110), kSideMonster);
    EXPECT_EQ(SideOfAiType(1205), kSideMonster);
    EXPECT_EQ(SideOfAiType(1206), kSideNeutral);
    EXPECT_EQ(SideOfAiType(10000), kSideNeutral);
}

TEST(AiObjectRecord, HitMarksKeyedByHeroType)
{
    AiObject a;
    a.SetLinkValue(1, 7);
    a.SetLinkValue(0, 1);
    a.SetLinkValue(5, 9);  // not a hero's type: not stored
    EXPECT_EQ(a.GetLinkValue(0), 1);
    EXPECT_EQ(a.GetLinkValue(1), 7);
    EXPECT_EQ(a.GetLinkValue(5), 0);
    EXPECT_EQ(a.GetLinkValue(-1), 0);
}

// The fighting character marks the monsters it strikes too: a key not yet
// stored takes a free entry (a value of 0 frees one); all marks clear at once.
TEST(AiObjectRecord, HitMarksKeepAnyTwoKeys)
{
    AiObject a;
    a.SetLinkValue(1005, 1);
    a.SetLinkValue(0, 1);
    EXPECT_EQ(a.GetLinkValue(1005), 1);
    EXPECT_EQ(a.GetLinkValue(0), 1);
    a.SetLinkValue(1000, 1);  // both in use
    EXPECT_EQ(a.GetLinkValue(1000), 0);
    a.SetLinkValue(1005, 0);  // frees its entry
    a.SetLinkValue(1000, 1);
    EXPECT_EQ(a.GetLinkValue(1000), 1);
    EXPECT_EQ(a.GetLinkValue(1005), 0);
    a.ClearLinkValues();
    EXPECT_EQ(a.GetLinkValue(1000), 0);
    EXPECT_EQ(a.GetLinkValue(0), 0);
    // A key marked again keeps its one entry: cleared, it is gone, and the
    // other entry is still free for another key.
    a.SetLinkValue(1005, 1);
    a.SetLinkValue(1005, 2);
    EXPECT_EQ(a.GetLinkValue(1005), 2);
    a.SetLinkValue(1000, 1);
    EXPECT_EQ(a.GetLinkValue(1000), 1);
    a.SetLinkValue(1005, 0);
    EXPECT_EQ(a.GetLinkValue(1005), 0);
}

TEST(AiObjectRecord, TouchedListRefusesDuplicatesAndOverflow)
{
    AiObject a;
    AiObject others[6];
    EXPECT_EQ(a.PopTouchedObject(), nullptr);
    for (int i = 0; i < kTouchedListSize; ++i) {
        EXPECT_TRUE(a.AddTouchedObject(0, &others[i]));
    }
    EXPECT_FALSE(a.AddTouchedObject(0, &others[5]));
    EXPECT_FALSE(a.AddTouchedObject(1, &others[2]));
    TouchedEntry *last = a.PopTouchedObject();
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->used, 1);
    EXPECT_EQ(last->object, &others[4]);
    EXPECT_FALSE(a.AddTouchedObject(0, &others[0]));  // still listed
    EXPECT_TRUE(a.AddTouchedObject(3, &others[4]));
    EXPECT_EQ(a.PopTouchedObject()->kind, 3);
}

TEST(AiObjectRecord, SubtractHPStopsAtZero)
{
    AiObject a;
    a.hp = 50;
    a.SubtractHP(20);
    EXPECT_EQ(a.hp, 30);
    a.SubtractHP(31);
    EXPECT_EQ(a.hp, 0);
    a.hp = 5;
    a.SubtractHP(INT_MIN);  // a hostile amount neither wraps nor overflows
    EXPECT_EQ(a.hp, INT_MAX);
}

TEST(KillReward, MultiplierBands)
{
    const int32_t edges[][2] = {{0, 1},  {5, 1},  {6, 2},  {12, 2}, {13, 3},  {20, 3},
                                {21, 4}, {30, 4}, {31, 5}, {70, 5}, {71, 10}, {500, 10}};
    for (const auto &e : edges) {
        EXPECT_EQ(RewardMultiplier(e[0]), e[1]) << e[0];
    }
}

TEST(KillReward, CountedOnceForTheKillingHero)
{
    AiObject victim;
    CSHero hero;
    hero.aiType = 1;
    hero.hitCounter = 71;
    EXPECT_FALSE(CountKillReward(&victim, 40));  // no attacker remembered yet
    EXPECT_FALSE(victim.rewardCounted);
    victim.lastAttacker = &hero;
    EXPECT_TRUE(CountKillReward(&victim, 40));
    EXPECT_EQ(victim.rewardAmount, 400);
    EXPECT_EQ(hero.killCount, 1);
    EXPECT_FALSE(CountKillReward(&victim, 40));
    EXPECT_EQ(hero.killCount, 1);
}

TEST(KillReward, NonHeroKillerEarnsNothingButCounts)
{
    AiObject victim;
    AiObject monster;
    monster.aiType = 1004;
    victim.lastAttacker = &monster;
    EXPECT_TRUE(CountKillReward(&victim, 40));
    EXPECT_TRUE(victim.rewardCounted);
    EXPECT_EQ(victim.rewardAmount, 0);
}

TEST(HeroRecord, StateNumbersOthersRead)
{
    CSHero hero;
    hero.state = kHeroStateKnockedDown;
    EXPECT_TRUE(hero.IsInState4());
    hero.state = kHeroStateGettingUp;
    EXPECT_FALSE(hero.IsInState4());
    EXPECT_EQ(kHeroStateHurt, 21);
    EXPECT_EQ(kHeroStateHeld, 22);
    EXPECT_EQ(kHeroStateDying, 23);
    EXPECT_EQ(kHeroStateAttackFirst, 40);
    EXPECT_EQ(kHeroStateAttackLast, 84);
    EXPECT_FALSE(HeroStateBlocksSensing(hero));
    hero.attacking = true;
    EXPECT_TRUE(HeroStateBlocksSensing(hero));
}

}  // namespace

}  // namespace ai_object_test
