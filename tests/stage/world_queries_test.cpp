// Movement and ground queries on the sample stage's world, checked against
// testing every triangle: ground heights, random moves that never end in
// or pass through a wall or the floor, sliding along walls, free moves
// along or away from touched surfaces, models snapped to the ground and
// clipped against a collidable model; and the sphere push-out.
#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "rtintsec.h"
#include "stage/model_frames.h"
#include "stage/sphere_sweep.h"
#include "stage/world_queries.h"
#include "tests/stage/stage_test_support.h"

namespace world_queries_test {

namespace {

using Triangle = std::array<RwV3d, 3>;

RwReal Length(const RwV3d &v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// The sample yard: its walls stand at x, z = -200 and 200 (a unit is about
// 10 cm), 30 high, around a floor at height 0.
constexpr RwReal kYard = 200.0f;

class WorldQueriesTest : public stagetest::StageEngineTest {
protected:
    void SetUp() override
    {
        StageEngineTest::SetUp();
        world = stagetest::ReadSampleWorld();
        ASSERT_NE(world, nullptr);
        RpWorldForAllWorldSectors(
            world,
            [](RpWorldSector *sector, void *data) -> RpWorldSector * {
                auto *all = static_cast<std::vector<Triangle> *>(data);
                for (RwInt32 p = 0; p < sector->numPolygons; ++p) {
                    const RpPolygon &polygon = sector->polygons[p];
                    all->push_back({sector->vertices[polygon.vertIndex[0]], sector->vertices[polygon.vertIndex[1]],
                                    sector->vertices[polygon.vertIndex[2]]});
                }
                return sector;
            },
            &triangles);
        ASSERT_FALSE(triangles.empty());
    }
    void TearDown() override
    {
        for (RpClump *clump : clumps) {
            RpClumpDestroy(clump);
        }
        if (world != nullptr) {
            RpWorldDestroy(world);
        }
        StageEngineTest::TearDown();
    }

    // Every triangle: the nearest up-facing hit of the ground ray.
    bool BruteGround(const RwV3d &p, RwReal *height) const
    {
        const RwV3d start = {p.x, p.y + kGroundRayLift, p.z};
        const RwV3d delta = {0, -kGroundRayLength, 0};
        RwReal nearest = 2.0f;
        for (const Triangle &t : triangles) {
            RwReal d = 0.0f;
            if (RtIntersectionLineTriangle(&start, &delta, &t[0], &t[1], &t[2], &d) && d < nearest) {
                nearest = d;
            }
        }
        *height = start.y - nearest * kGroundRayLength;
        return nearest <= 1.0f;
    }
    // Every triangle: how close the point comes to the world.
    RwReal Clearance(const RwV3d &p) const
    {
        RwReal nearest = 1e30f;
        for (const Triangle &t : triangles) {
            const RwV3d q = ClosestPointOnTriangle(p, t[0], t[1], t[2]);
            nearest = std::fmin(nearest, Length({p.x - q.x, p.y - q.y, p.z - q.z}));
        }
        return nearest;
    }

    RpWorld *world = nullptr;
    std::vector<Triangle> triangles;
    std::vector<RpClump *> clumps;
};

TEST_F(WorldQueriesTest, GroundHeightsAgreeWithEveryTriangle)
{
    std::mt19937 random(21);
    std::uniform_real_distribution<float> across(-1.25f * kYard, 1.25f * kYard);
    std::uniform_real_distribution<float> height(-20.0f, 120.0f);
    int found = 0;
    for (int i = 0; i < 400; ++i) {
        const RwV3d p = {across(random), height(random), across(random)};
        RwReal expected = 0.0f;
        RwReal got = 0.0f;
        const bool brute = BruteGround(p, &expected);
        ASSERT_EQ(FindGroundHeight(world, p, &got), brute) << p.x << " " << p.y << " " << p.z;
        if (brute) {
            EXPECT_NEAR(got, expected, 1e-3f);
            EXPECT_NEAR(got, 0.0f, 1e-3f);  // the yard's floor
            ++found;
        }
    }
    EXPECT_GT(found, 200);
    RwReal unused = 0.0f;
    EXPECT_FALSE(FindGroundHeight(nullptr, {0, 0, 0}, &unused));
}

TEST_F(WorldQueriesTest, SnapToGroundPutsAModelOnTheFloor)
{
    RpClump *hero = stagetest::ReadSampleHero();
    ASSERT_NE(hero, nullptr);
    clumps.push_back(hero);
    RwFrame *root = RpClumpGetFrame(hero);
    // Within the ray's lift above the floor.
    const RwV3d above = {15.0f, 8.0f, -20.0f};
    RwFrameTranslate(root, &above, rwCOMBINEREPLACE);
    EXPECT_FALSE(SnapToGround(world, hero, 1));  // only mode 2 is known
    EXPECT_FLOAT_EQ(RwFrameGetLTM(root)->pos.y, 8.0f);
    ASSERT_TRUE(SnapToGround(world, hero, 2));
    const RwV3d placed = RwFrameGetLTM(root)->pos;
    EXPECT_NEAR(placed.y, 0.0f, 1e-4f);
    EXPECT_FLOAT_EQ(placed.x, 15.0f);
    EXPECT_FLOAT_EQ(placed.z, -20.0f);
    // Outside the yard nothing is below.
    const RwV3d outside = {kYard + 100.0f, 8.0f, 0.0f};
    RwFrameTranslate(root, &outside, rwCOMBINEREPLACE);
    EXPECT_FALSE(SnapToGround(world, hero, 2));
    EXPECT_FLOAT_EQ(RwFrameGetLTM(root)->pos.y, 8.0f);
}

TEST_F(WorldQueriesTest, RandomMovesNeverEndInOrPassThroughTheWorld)
{
    std::mt19937 random(2110);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    int clipped = 0;
    for (int i = 0; i < 600; ++i) {
        const RwReal radius = 2.0f + 6.0f * unit(random);
        const RwV3d start = {kYard * (unit(random) - 0.5f) * 1.9f, radius + 20.0f * unit(random),
                             kYard * (unit(random) - 0.5f) * 1.9f};
        if (Clearance(start) < radius + 0.01f) {
            continue;
        }
        const RwV3d wanted = {1.5f * kYard * (unit(random) - 0.5f) * 2.0f, 40.0f * (unit(random) - 0.7f),
                              1.5f * kYard * (unit(random) - 0.5f) * 2.0f};
        RwV3d move = wanted;
        const int32_t flag = i % 2 == 0 ? kMoveStop : kMoveSlide;
        clipped += MoveAgainstWorld(world, start, radius, &move, flag) ? 1 : 0;
        ASSERT_LE(Length(move), Length(wanted) + 1e-4f);
        // The yard is a box seen from inside: the straight way to the end
        // point is as clear as the way the move took.
        for (int s = 1; s <= 32; ++s) {
            const RwReal f = static_cast<RwReal>(s) / 32.0f;
            const RwV3d p = {start.x + move.x * f, start.y + move.y * f, start.z + move.z * f};
            ASSERT_GE(Clearance(p), radius - 1e-4f) << "move " << i << " flag " << flag << " step " << s;
        }
    }
    EXPECT_GT(clipped, 200);
}

TEST_F(WorldQueriesTest, StopsAtAWallOrSlidesAlongIt)
{
    const RwReal r = 5.0f;
    const RwV3d start = {0.0f, 10.0f, 0.0f};
    RwV3d move = {kYard + 50.0f, 0.0f, 50.0f};
    ASSERT_TRUE(MoveAgainstWorld(world, start, r, &move, kMoveStop));
    EXPECT_NEAR(start.x + move.x, kYard - r, 2 * kContactSkin * kYard);
    EXPECT_NEAR(move.z, move.x * 0.2f, 1e-3f);  // the same direction, shortened

    move = {kYard + 50.0f, 0.0f, 50.0f};
    ASSERT_TRUE(MoveAgainstWorld(world, start, r, &move, kMoveSlide));
    EXPECT_NEAR(start.x + move.x, kYard - r, 2 * kContactSkin * kYard);
    EXPECT_NEAR(move.z, 50.0f, 1e-2f);  // the part along the wall is kept

    // Into a corner: the slide stops at the second wall.
    move = {kYard + 50.0f, 0.0f, kYard + 25.0f};
    ASSERT_TRUE(MoveAgainstWorld(world, start, r, &move, kMoveSlide));
    EXPECT_NEAR(move.x, kYard - r, 2 * kContactSkin * kYard);
    EXPECT_NEAR(move.z, kYard - r, 2 * kContactSkin * kYard);

    // A move that would end just touching the wall stops a skin short of it.
    move = {kYard - r, 0.0f, 0.0f};
    ASSERT_TRUE(MoveAgainstWorld(world, start, r, &move, kMoveStop));
    EXPECT_LT(start.x + move.x, kYard - r);

    // Down onto the floor.
    move = {0.0f, -50.0f, 0.0f};
    ASSERT_TRUE(MoveAgainstWorld(world, start, r, &move, kMoveStop));
    EXPECT_NEAR(start.y + move.y, r, 2 * kContactSkin);
}

TEST_F(WorldQueriesTest, MovesAlongOrAwayFromATouchedSurfaceAreFree)
{
    const RwReal r = 5.0f;
    // Touching the wall at x = 200.
    const RwV3d atWall = {kYard - r, 10.0f, 0.0f};
    for (const RwV3d wanted : {RwV3d{-30.0f, 0.0f, 0.0f}, RwV3d{0.0f, 0.0f, 30.0f}, RwV3d{-10.0f, 5.0f, -40.0f}}) {
        RwV3d move = wanted;
        EXPECT_FALSE(MoveAgainstWorld(world, atWall, r, &move, kMoveStop));
        EXPECT_EQ(move.x, wanted.x);
        EXPECT_EQ(move.z, wanted.z);
    }
    // Resting on the floor and crossing its seams and leaves.
    const RwV3d onFloor = {25.0f - kYard, r, 25.0f - kYard};
    RwV3d move = {350.0f, 0.0f, 325.0f};
    EXPECT_FALSE(MoveAgainstWorld(world, onFloor, r, &move, kMoveSlide));
    EXPECT_EQ(move.x, 350.0f);
    EXPECT_EQ(move.z, 325.0f);
    // A move into the touched wall goes nowhere.
    move = {20.0f, 0.0f, 0.0f};
    EXPECT_TRUE(MoveAgainstWorld(world, atWall, r, &move, kMoveStop));
    EXPECT_NEAR(move.x, 0.0f, 1e-6f);
    move = {0.0f, 0.0f, 0.0f};
    EXPECT_FALSE(MoveAgainstWorld(world, atWall, r, &move, kMoveSlide));
    // Nothing to move against (a stage without its world, no wall clump):
    // the move goes whole and nothing is said to have shortened it.
    move = {20.0f, 0.0f, 0.0f};
    EXPECT_FALSE(MoveAgainstWorld(nullptr, atWall, r, &move, kMoveStop));
    EXPECT_FALSE(MoveAgainstClump(nullptr, atWall, r, &move, kMoveSlide));
    EXPECT_EQ(move.x, 20.0f);
    EXPECT_FALSE(MoveAgainstWorld(world, atWall, r, nullptr, kMoveStop));
}

TEST_F(WorldQueriesTest, CollidableModelsStopMovesWhileSwitchedOn)
{
    RpClump *prop = stagetest::ReadSampleClump("RESOURCE/G_EVENT/DFF/PROP01.DFF");
    ASSERT_NE(prop, nullptr);
    clumps.push_back(prop);
    SetClumpCollisionTest(prop, true);
    const RwV3d start = {-5.0f, 0.5f, 0.0f};
    RwV3d move = {10.0f, 0.0f, 0.0f};
    ASSERT_TRUE(MoveAgainstClump(prop, start, 0.25f, &move, kMoveStop));
    EXPECT_LT(move.x, 5.0f);
    EXPECT_GT(move.x, 3.0f);
    SetClumpCollisionTest(prop, false);
    move = {10.0f, 0.0f, 0.0f};
    EXPECT_FALSE(MoveAgainstClump(prop, start, 0.25f, &move, kMoveStop));
    EXPECT_EQ(move.x, 10.0f);
}

// A sphere resting on a floor crosses the floor's corners and seams at
// exactly its radius; at the game's scale the rounding of a contact found
// there stopped characters at every floor vertex they walked over.
TEST(SphereSweep, ARestingSphereGrazesFloorCornersAndSeams)
{
    const RwV3d a = {150.0f, 0.0f, -150.0f};
    const RwV3d b = {200.0f, 0.0f, -150.0f};
    const RwV3d c = {150.0f, 0.0f, -100.0f};
    SphereSweepHit hit;
    for (const RwReal radius : {4.0f, 5.0f, 7.3f}) {
        // Over the corner a, along the edge a-b, and across the edge a-c.
        for (const RwV3d &from : {RwV3d{-175.0f, radius, -175.0f}, RwV3d{100.0f, radius, -150.0f},
                                  RwV3d{100.0f, radius, -130.0f}}) {
            const RwV3d move = {(a.x - from.x) * 2.0f, 0.0f, (a.z - from.z) * 2.0f};
            EXPECT_FALSE(SweepSphereTriangle(from, radius, move, a, b, c, &hit)) << radius;
        }
        // Lower by more than a graze, the corner and the edges stop it.
        const RwV3d low = {100.0f, radius - 0.01f, -130.0f};
        EXPECT_TRUE(SweepSphereTriangle(low, radius, {100.0f, 0.0f, 0.0f}, a, b, c, &hit)) << radius;
    }
}

// A path that passes a corner exactly a graze (a thousandth) deep still
// only grazes it; a hundredth deeper and the corner stops the sphere.
// The point of a triangle nearest another is the corner, the foot on the
// edge or the foot on the face of the region the other lies in.
TEST(SphereSweep, TheNearestPointOfATriangleIsInTheRegionOfThePoint)
{
    const RwV3d a = {0.0f, 0.0f, 0.0f};
    const RwV3d b = {2.0f, 0.0f, 0.0f};
    const RwV3d c = {0.0f, 0.0f, 2.0f};
    const struct {
        RwV3d point;
        RwV3d nearest;
    } cases[] = {
        {{-1.0f, 1.0f, -1.0f}, a},
        {{3.0f, 1.0f, -1.0f}, b},
        {{-1.0f, 1.0f, 3.0f}, c},
        {{0.5f, 1.0f, -1.0f}, {0.5f, 0.0f, 0.0f}},  // beyond a-b
        {{-1.0f, 1.0f, 0.5f}, {0.0f, 0.0f, 0.5f}},  // beyond a-c
        {{1.0f, 1.0f, 2.0f}, {0.5f, 0.0f, 1.5f}},   // beyond b-c, three quarters along it
        {{0.5f, 3.0f, 0.5f}, {0.5f, 0.0f, 0.5f}},   // above the face
    };
    for (const auto &k : cases) {
        const RwV3d q = ClosestPointOnTriangle(k.point, a, b, c);
        EXPECT_NEAR(q.x, k.nearest.x, 1e-5f) << k.point.x << " " << k.point.z;
        EXPECT_NEAR(q.y, k.nearest.y, 1e-5f) << k.point.x << " " << k.point.z;
        EXPECT_NEAR(q.z, k.nearest.z, 1e-5f) << k.point.x << " " << k.point.z;
    }
}

TEST(SphereSweep, APathExactlyAGrazeDeepPastACornerGoesOn)
{
    // A corner at the origin, its triangle spreading away along -x; the
    // sphere's centre goes along +z in the triangle's plane.
    const RwV3d corner = {0.0f, 0.0f, 0.0f};
    const RwV3d b = {-5.0f, 0.0f, 1.0f};
    const RwV3d c = {-5.0f, 0.0f, -1.0f};
    const RwV3d move = {0.0f, 0.0f, 1.0f};
    SphereSweepHit hit;
    for (const RwReal radius : {1.0f, 0.75f, 2.5f}) {
        const RwReal graze = radius - 0.001f;
        EXPECT_FALSE(SweepSphereTriangle({graze, 0.0f, -0.5f}, radius, move, corner, b, c, &hit)) << radius;
        ASSERT_TRUE(SweepSphereTriangle({graze - 0.01f, 0.0f, -0.5f}, radius, move, corner, b, c, &hit)) << radius;
        EXPECT_GT(hit.t, 0.0f) << radius;
        EXPECT_LT(hit.t, 0.5f) << radius;
    }
}

TEST(SphereOverlapPushOut, MovesAOutOfB)
{
    RwV3d offset = {9, 9, 9};
    EXPECT_EQ(SphereOverlapPushOut({0, 0, 0}, 1.0f, {3, 0, 0}, 1.5f, &offset), 0);
    EXPECT_EQ(SphereOverlapPushOut({0, 0, 0}, 1.0f, {2.5f, 0, 0}, 1.5f, &offset), 0);  // touching
    ASSERT_NE(SphereOverlapPushOut({0, 1, 0}, 1.0f, {0, 2, 0}, 1.5f, &offset), 0);
    EXPECT_FLOAT_EQ(offset.x, 0.0f);
    EXPECT_FLOAT_EQ(offset.y, -1.5f);
    EXPECT_FLOAT_EQ(offset.z, 0.0f);
    ASSERT_NE(SphereOverlapPushOut({4, 4, 4}, 1.0f, {4, 4, 4}, 2.0f, &offset), 0);
    EXPECT_FLOAT_EQ(offset.x, 3.0f);
    EXPECT_FLOAT_EQ(offset.y, 0.0f);
    EXPECT_FLOAT_EQ(offset.z, 0.0f);
}

}  // namespace

}  // namespace world_queries_test
