// Where a trap stands once it comes into view: the traps whose row puts a
// model taken on the ground stand on it, and the log trap 1204, which does
// not, keeps the height its placement gives it.
#include <gtest/gtest.h>

#include "tests/monster/monster_scenario.h"

namespace trap_ground_test {

namespace {

using TrapGround = monstertest::MonsterScenario;

TEST_F(TrapGround, OnlyTheTrapsThatSnapStandOnTheGroundWhenSeen)
{
    PutHero({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f});
    for (int32_t type : {1201, 1204}) {
        SCOPED_TRACE(type);
        AiObject *trap = Place(type, {0.0f, 20.0f, 15.0f}, {0.0f, 0.0f, -1.0f});
        ASSERT_NE(trap, nullptr);
        trap->SetModelInstance(nullptr);  // as out of view
        ASSERT_GE(TicksUntil([&] { return trap->model != nullptr; }, 30), 0) << "seen, it takes a model";
        const float height = RwFrameGetMatrix(RpClumpGetFrame(trap->Clump()))->pos.y;
        if (type == 1204) {
            EXPECT_FLOAT_EQ(height, 20.0f);
        } else {
            EXPECT_LT(height, 1.0f);
        }
        trap->removed = true;
        trap->SetModelInstance(nullptr);
    }
}

}  // namespace

}  // namespace trap_ground_test
