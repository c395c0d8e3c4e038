// Character moves on the sample world with other actors: no overlap after
// any move, who blocks and who does not, the ground, the walls, turning to
// the motion with the half turn, the simpler end-point move, the hero's
// move-collision switch, MoveToward and MoveStep around a blocker.
#include <gtest/gtest.h>

#include <cmath>

#include "actor/actor_placement.h"
#include "actor/ai_object.h"
#include "app/game_system.h"
#include "stage/model_template.h"
#include "support/game/sample_stage.h"
#include "tests/stage/stage_test_support.h"

namespace character_move_test {

namespace {

float GroundDistance(AiObject *a, AiObject *b)
{
    RwV3d p;
    RwV3d q;
    a->GetPosition(&p);
    b->GetPosition(&q);
    return std::hypot(p.x - q.x, p.z - q.z);
}

class CharacterMoveTest : public stagetest::StageEngineTest {
protected:
    void SetUp() override
    {
        StageEngineTest::SetUp();
        ASSERT_TRUE(sample.Load(true));
        stage = &sample.stage;
        mover = stage->FindAiObjectById(1);
        ASSERT_NE(mover, nullptr);
        radius = mover->Params()->radius;
        ASSERT_GT(radius, 0.0f);
        mover->SetPosition({0.0f, 0.0f, 0.0f});
        mover->SetDirection({0.0f, 0.0f, 1.0f});
    }
    void TearDown() override
    {
        sample.Release();
        StageEngineTest::TearDown();
    }
    AiObject *AddActor(int32_t aiId, float x, float z)
    {
        AiPlacement p = stage->placements.at(0);
        p.aiId = aiId;
        p.position = {x, 0.0f, z};
        p.territory = 0;
        AiObject *actor = CreateActor(p.aiType, p.aiId);
        ApplyPlacement(stage, actor, p);
        LinkActor(stage, actor);
        return actor;
    }

    gametest::SampleStage sample;
    CSStageManager *stage = nullptr;
    AiObject *mover = nullptr;
    float radius = 0.0f;
};

TEST_F(CharacterMoveTest, StopsAtAnotherActorWithoutOverlapping)
{
    AiObject *other = AddActor(2, 20.0f, 0.0f);
    const RwV3d east = {1.0f, 0.0f, 0.0f};
    for (int i = 0; i < 20; ++i) {
        stage->MoveCharacter(mover, east, 3.0f, true);
        EXPECT_GE(GroundDistance(mover, other), 2.0f * radius - 1e-4f) << "step " << i;
    }
    RwV3d at;
    mover->GetPosition(&at);
    EXPECT_NEAR(at.x, 20.0f - 2.0f * radius, 0.01f);
    RwV3d facing;
    mover->GetDirection(&facing);
    EXPECT_NEAR(facing.x, 1.0f, 1e-5f);
    // Moving away again is free.
    EXPECT_TRUE(stage->MoveCharacter(mover, {-1.0f, 0.0f, 0.0f}, 5.0f, false));
    mover->GetPosition(&at);
    EXPECT_NEAR(at.x, 20.0f - 2.0f * radius - 5.0f, 0.01f);
}

// Two bodies that already overlap (placed so): the mover may slide along the
// other's side or step away, but not further in.
TEST_F(CharacterMoveTest, AnOverlappingActorMaySlideAlongButNotIn)
{
    AiObject *other = AddActor(2, 2.0f * radius - 0.5f, 0.0f);
    RwV3d there;
    other->GetPosition(&there);
    mover->SetPosition({0.0f, there.y, 0.0f});
    EXPECT_TRUE(stage->MoveCharacter(mover, {0.0f, 0.0f, 1.0f}, 5.0f, false));
    RwV3d at;
    mover->GetPosition(&at);
    EXPECT_NEAR(at.z, 5.0f, 1e-3f);
    EXPECT_NEAR(at.x, 0.0f, 1e-3f);
    mover->SetPosition({0.0f, there.y, 0.0f});
    EXPECT_FALSE(stage->MoveCharacter(mover, {1.0f, 0.0f, 0.0f}, 5.0f, false));
    mover->GetPosition(&at);
    EXPECT_EQ(at.x, 0.0f);
}

TEST_F(CharacterMoveTest, ActorsThatDoNotBlock)
{
    AiObject *other = AddActor(2, 10.0f, 0.0f);
    for (int which = 0; which < 4; ++which) {
        other->removed = which == 0;
        other->nonBlocking = which == 1;
        other->solid = which != 2;
        if (which == 3) {
            other->SetModelInstance(nullptr);
        }
        mover->SetPosition({0.0f, 0.0f, 0.0f});
        EXPECT_TRUE(stage->MoveCharacter(mover, {1.0f, 0.0f, 0.0f}, 20.0f, false)) << which;
        RwV3d at;
        mover->GetPosition(&at);
        EXPECT_NEAR(at.x, 20.0f, 1e-3f) << which;
    }
}

TEST_F(CharacterMoveTest, HalfTurnWhenTheMotionIsNearlyOpposite)
{
    const float a = 5.0f * 0.017453292f;  // dot with the facing: -0.996
    stage->MoveCharacter(mover, {std::sin(a), 0.0f, -std::cos(a)}, 1.0f, true);
    RwV3d facing;
    mover->GetDirection(&facing);
    EXPECT_NEAR(facing.x, 0.0f, 1e-4f);
    EXPECT_NEAR(facing.z, -1.0f, 1e-4f);
    // Not nearly opposite: the facing becomes the motion's direction.
    const float b = 100.0f * 0.017453292f;
    stage->MoveCharacter(mover, {std::sin(b), 0.0f, std::cos(b)}, 1.0f, true);
    mover->GetDirection(&facing);
    EXPECT_NEAR(facing.x, std::sin(b), 1e-4f);
    EXPECT_NEAR(facing.z, std::cos(b), 1e-4f);
    RwV3d up;
    mover->GetUp(&up);
    EXPECT_NEAR(up.y, 1.0f, 1e-4f);
}

TEST_F(CharacterMoveTest, KeepsToTheGroundAndStopsAtWalls)
{
    // The yard's walls stand at x, z = -200 and 200.
    mover->SetPosition({0.0f, 8.0f, 0.0f});
    stage->MoveCharacter(mover, {0.0f, 0.0f, 1.0f}, 5.0f, false);
    RwV3d at;
    mover->GetPosition(&at);
    EXPECT_NEAR(at.y, 0.0f, 1e-4f);
    EXPECT_NEAR(at.z, 5.0f, 1e-4f);
    mover->SetPosition({180.0f, 0.0f, 0.0f});
    stage->MoveCharacter(mover, {1.0f, 0.0f, 0.0f}, 50.0f, false);
    mover->GetPosition(&at);
    EXPECT_LE(at.x + radius, 200.0f + 1e-2f);
    EXPECT_GT(at.x, 190.0f);
}

TEST_F(CharacterMoveTest, HeroesWalkThroughWallsWhileMoveCollisionIsOff)
{
    CSGameSystem system;
    CSGameSystem *previous = g_pGameSystem;
    g_pGameSystem = &system;
    system.moveCollision = 0;
    mover->aiType = 0;  // a hero now
    mover->SetPosition({180.0f, 0.0f, 0.0f});
    stage->MoveCharacter(mover, {1.0f, 0.0f, 0.0f}, 50.0f, false);
    RwV3d at;
    mover->GetPosition(&at);
    EXPECT_NEAR(at.x, 230.0f, 1e-3f);
    // Other actors collide with the world whatever the switch says.
    mover->aiType = 1000;
    mover->SetPosition({180.0f, 0.0f, 0.0f});
    stage->MoveCharacter(mover, {1.0f, 0.0f, 0.0f}, 50.0f, false);
    mover->GetPosition(&at);
    EXPECT_LE(at.x + radius, 200.0f + 1e-2f);
    g_pGameSystem = previous;
}

TEST_F(CharacterMoveTest, SimpleMoveTestsTheEndPointOnly)
{
    AddActor(2, 10.0f, 0.0f);
    EXPECT_FALSE(stage->MoveCharacterSimple(mover, {1.0f, 0.0f, 0.0f}, 5.0f, false));
    RwV3d at;
    mover->GetPosition(&at);
    EXPECT_NEAR(at.x, 0.0f, 1e-5f);
    // A long step lands beyond the other actor: allowed.
    EXPECT_TRUE(stage->MoveCharacterSimple(mover, {1.0f, 0.0f, 0.0f}, 30.0f, false));
    mover->GetPosition(&at);
    EXPECT_NEAR(at.x, 30.0f, 1e-3f);
}

// The simple move measures the gap to another body on every axis, away
// from the world's origin: along x and along z a step that ends inside the
// other body is refused, and from an overlap a short step away (still
// overlapping, but farther apart) is allowed.
TEST_F(CharacterMoveTest, SimpleMoveMeasuresTheGapOnEveryAxis)
{
    const RwV3d base = {12.0f, 0.0f, 16.0f};
    const RwV3d axes[] = {{1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};
    AiObject *other = AddActor(2, 0.0f, 0.0f);
    for (const RwV3d &axis : axes) {
        for (const float apart : {10.0f, 2.0f * radius - 0.5f}) {
            other->SetPosition({base.x + axis.x * apart, 0.0f, base.z + axis.z * apart});
            RwV3d there;
            other->GetPosition(&there);
            mover->SetPosition({base.x, there.y, base.z});
            RwV3d at;
            if (apart > 2.0f * radius) {
                EXPECT_FALSE(stage->MoveCharacterSimple(mover, axis, 5.0f, false)) << axis.x << " " << apart;
                mover->GetPosition(&at);
                EXPECT_NEAR(at.x, base.x, 1e-4f);
                EXPECT_NEAR(at.z, base.z, 1e-4f);
                continue;
            }
            EXPECT_TRUE(stage->MoveCharacterSimple(mover, {-axis.x, 0.0f, -axis.z}, 0.25f, false)) << axis.x;
            mover->GetPosition(&at);
            EXPECT_NEAR(at.x, base.x - axis.x * 0.25f, 1e-3f);
            EXPECT_NEAR(at.z, base.z - axis.z * 0.25f, 1e-3f);
        }
    }
}

TEST_F(CharacterMoveTest, MoveTowardTheGoalOnTheGroundPlane)
{
    mover->MoveToward(0.0f, {0.0f, 50.0f, 40.0f}, 10.0f, true, true);
    RwV3d at;
    mover->GetPosition(&at);
    EXPECT_NEAR(at.z, 10.0f, 1e-4f);
    EXPECT_NEAR(at.y, 0.0f, 1e-4f);
    // On the goal nothing moves.
    mover->MoveToward(0.0f, at, 10.0f, true, false);
    RwV3d same;
    mover->GetPosition(&same);
    EXPECT_FLOAT_EQ(same.z, at.z);
    // Without a running stage there is no ground to move on.
    CSStageManager *running = g_pStageManager;
    g_pStageManager = nullptr;
    mover->MoveToward(0.0f, {0.0f, 0.0f, 100.0f}, 10.0f, true, true);
    g_pStageManager = running;
    mover->GetPosition(&same);
    EXPECT_FLOAT_EQ(same.z, at.z);
}

TEST_F(CharacterMoveTest, MoveStepGoesAroundABlocker)
{
    // The same walk from the origin and from elsewhere in the yard.
    for (const RwV3d &from : {RwV3d{0.0f, 0.0f, 0.0f}, RwV3d{-30.0f, 0.0f, 25.0f}}) {
        mover->SetPosition(from);
        mover->pathFollowing = false;
        AiObject *blocker = AddActor(2, from.x + 9.0f, from.z);
        AiObject *goal = AddActor(3, from.x + 40.0f, from.z);
        goal->nonBlocking = true;
        const RwV3d point = mover->MoveStep(goal, 20.0f, 0.1f);
        EXPECT_TRUE(mover->pathFollowing);
        EXPECT_NEAR(point.x, from.x, 1e-3f);
        EXPECT_NEAR(std::fabs(point.z - from.z), 2.0f, 1e-3f);
        // With the way clear it heads for the target again.
        blocker->removed = true;
        const RwV3d straight = mover->MoveStep(goal, 20.0f, 0.1f);
        EXPECT_FALSE(mover->pathFollowing);
        EXPECT_NEAR(straight.x, from.x + 40.0f, 1e-3f);
        goal->removed = true;
    }
}

// Blocked ahead and on both sides, the mover takes the way that gets
// farthest: a full step along it, still going round.
TEST_F(CharacterMoveTest, MoveStepBlockedEveryWayTakesTheWayThatGetsFarthest)
{
    const float close = 2.0f * radius + 0.5f;
    AddActor(2, close, 0.0f);
    AddActor(3, 0.0f, close);
    AddActor(4, 0.0f, -(2.0f * radius + 1.9f));
    AiObject *goal = AddActor(5, 40.0f, 0.0f);
    goal->nonBlocking = true;
    const RwV3d point = mover->MoveStep(goal, 20.0f, 0.1f);
    EXPECT_TRUE(mover->pathFollowing);
    EXPECT_NEAR(point.x, 0.0f, 1e-3f);
    EXPECT_NEAR(point.z, -2.0f, 1e-3f);
}

}  // namespace

namespace {

// The first stage's wall clump stands where no body reaches: every move
// toward the yard's north and east walls, and under the hanging strip, ends
// exactly where it ends without the clump, for the smallest and the largest
// sample body.
TEST_F(CharacterMoveTest, TheFirstStagesWallChangesNoMove)
{
    RpClump *wall = stagetest::ReadSampleClump("RESOURCE/STAGE/1/WALL.DFF");
    ASSERT_NE(wall, nullptr) << "the first stage has WALL.DFF";
    struct Walk {
        RwV3d from;
        RwV3d direction;
    };
    const float s = std::sqrt(0.5f);
    const Walk walks[] = {
        {{0.0f, 0.0f, 150.0f}, {0.0f, 0.0f, 1.0f}},    {{-120.0f, 0.0f, 170.0f}, {0.0f, 0.0f, 1.0f}},
        {{150.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}},    {{170.0f, 0.0f, -120.0f}, {1.0f, 0.0f, 0.0f}},
        {{150.0f, 0.0f, 150.0f}, {s, 0.0f, s}},        {{160.0f, 0.0f, 190.0f}, {1.0f, 0.0f, 0.0f}},
        {{50.0f, 0.0f, 40.0f}, {0.0f, 0.0f, 1.0f}},    {{-20.0f, 0.0f, 70.0f}, {1.0f, 0.0f, 0.0f}},
    };
    for (const float bodyRadius : {4.0f, 6.0f}) {
        const_cast<CharacterParams *>(mover->Params())->radius = bodyRadius;
        for (const Walk &walk : walks) {
            RwV3d ends[2];
            for (int withWall = 0; withWall < 2; ++withWall) {
                stage->wallClump = withWall != 0 ? wall : nullptr;
                mover->SetPosition(walk.from);
                for (int step = 0; step < 20; ++step) {
                    stage->MoveCharacter(mover, walk.direction, 5.0f, false);
                }
                mover->GetPosition(&ends[withWall]);
            }
            EXPECT_EQ(ends[0].x, ends[1].x) << bodyRadius << " from " << walk.from.x << "," << walk.from.z;
            EXPECT_EQ(ends[0].y, ends[1].y);
            EXPECT_EQ(ends[0].z, ends[1].z);
        }
    }
    stage->wallClump = nullptr;
    RpClumpDestroy(wall);
    const_cast<CharacterParams *>(mover->Params())->radius = radius;
}

}  // namespace

}  // namespace character_move_test
