// The traps' jets when the stage goes: a switched-on jet trap's particle
// systems follow its model's frames, which go with the stage, so its
// release gives every jet back to its pool at once (1200 and 1203 alike).
#include <gtest/gtest.h>

#include "actor/actor_placement.h"
#include "boss/trap.h"
#include "fx/particle_manager.h"
#include "monster/monster_scenario.h"

namespace trap_release_test {

namespace {

constexpr int32_t kGroup = 79187200;

class TrapRelease : public monstertest::MonsterScenario {
protected:
    void SetUp() override
    {
        MonsterScenario::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        ASSERT_TRUE(particles.LoadSet("\\RESOURCE\\PARTICLE\\2180000.PSS", "\\RESOURCE\\PARTICLE", true));
    }
};

TEST_F(TrapRelease, TheStageReleaseGivesEveryJetBackAtOnce)
{
    PutHero({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f});
    const int32_t out = particles.SystemsOut();
    AiObject *poison = Place(1203, {0.0f, 0.0f, 10.0f}, {0.0f, 0.0f, -1.0f}, kGroup, 0);
    AiObject *flame = Place(1200, {20.0f, 0.0f, 10.0f}, {0.0f, 0.0f, -1.0f}, kGroup, 0);
    ASSERT_NE(poison, nullptr);
    ASSERT_NE(flame, nullptr);
    Control(poison, kCtlShowHold, kGroup);
    Control(flame, kCtlShowHold, kGroup);
    Ticks(3);
    ASSERT_GT(particles.SystemsOut(), out + 4);  // both traps' jets run
    ReleasePlacedActors(&stage);
    EXPECT_EQ(particles.SystemsOut(), out);
}

}  // namespace

}  // namespace trap_release_test
