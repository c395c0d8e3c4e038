// Bosses with a hero in reach whom they may not take as their foe (a hero
// on no side): bosses 1101, 1102, 1103, 1104 and 1108 sense him within
// their attack range, find no foe there and end that sensing without an
// input, so they stay in the state they are in, however far from home; the
// same hero back on his side is taken and the boss moves on.
#include <gtest/gtest.h>

#include "boss_scenario.h"
#include "stage/character_params.h"

namespace boss_foe_in_reach_test {

namespace {

using bosstest::BossScenario;
using bosstest::FsfBuilder;

constexpr RwV3d kAt = {0.0f, 0.0f, 60.0f};
constexpr RwV3d kSouth = {0.0f, 0.0f, -1.0f};
constexpr int32_t kWaiting = 0;
constexpr int32_t kMovedOn = 1;

class FoeInReach : public BossScenario {
protected:
    // The boss of `aiType` away from its home, in a state every input
    // takes it out of.
    AiObject *Boss(int32_t aiType)
    {
        AiObject *boss = Place(aiType, kAt, kSouth);
        FsfBuilder b;
        b.State(kWaiting);
        for (int32_t input = 0; input < 256; ++input) {
            b.To(input, kMovedOn, 1);
        }
        b.State(kMovedOn);
        UseStateMachine(aiType, b.Build());
        boss->home = {0.0f, 0.0f, 400.0f};
        return boss;
    }
};

TEST_F(FoeInReach, AHeroOnNoSideWithinReachFeedsNoInput)
{
    for (const int32_t type : {1101, 1102, 1103, 1104, 1108}) {
        SCOPED_TRACE(type);
        AiObject *boss = Boss(type);
        const float reach = bosstest::SensingBandsOf(boss).reach;
        PutHero({kAt.x, 0.0f, kAt.z - reach});
        hero.side = kSideNeutral;
        Tick();
        EnterBoss(boss, kWaiting);
        Ticks(10);
        EXPECT_EQ(boss->state, kWaiting);
        EXPECT_EQ(boss->target, nullptr);
        hero.side = kSideHero;
        Ticks(3);
        EXPECT_EQ(boss->state, kMovedOn);
        EXPECT_EQ(boss->target, &hero);
        boss->removed = true;  // out of the next one's way
    }
}

}  // namespace

}  // namespace boss_foe_in_reach_test
