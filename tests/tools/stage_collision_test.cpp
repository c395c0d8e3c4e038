// Collision on the sample stage as the maker writes it, read back through
// the engine (from memory, and from the build's data tree when it has
// one): every leaf carries a tree over all its triangles, line, sphere and
// box queries find exactly what testing every triangle finds, point
// queries are refused as on any world, and rays cast down onto the yard
// land on the floor the maker laid, rays cast across it on its walls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <vector>

#include "rwsdk/plugin/collis/world_hits.h"
#include "rwsdk/world/world_test_support.h"
#include "tools/mkdata/data_tree.h"
#include "tools/mkdata/stage_world.h"

namespace stage_collision_test {

namespace {

using collistest::AgreesWithEveryTriangle;
using collistest::Found;
using collistest::Sectors;

// The world chunk next in `stream`, read by the engine; null when absent
// or refused.
RpWorld *ReadWorldChunk(RwStream *stream)
{
    RwUInt32 length = 0;
    if (stream == nullptr || !RwStreamFindChunk(stream, rwID_WORLD_CHUNK, &length, nullptr)) {
        return nullptr;
    }
    const RwUInt64 saved = RwStreamEnterChunk(stream, length);
    RpWorld *world = RpWorldStreamRead(stream);
    RwStreamLeaveChunk(stream, saved);
    return world;
}

class StageCollisionTest : public rwtest::WorldTest {
protected:
    // The maker's own attach list, which adds the stage's collision step.
    StageCollisionTest() : WorldTest(mkdata::AttachPlugins) {}

    void SetUp() override
    {
        WorldTest::SetUp();
        ASSERT_TRUE(mkdata::CreateStageTextures());
        built = mkdata::BuildStageWorld();
        ASSERT_NE(built, nullptr);
        ASSERT_TRUE(mkdata::RunStageWorldSteps(built));
        std::vector<RwUInt8> bytes =
            rwtest::WrittenBy([&](RwStream *stream) { EXPECT_NE(RpWorldStreamWrite(built, stream), nullptr); });
        RwMemoryDescriptor desc;
        RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
        written = ReadWorldChunk(stream);
        RwStreamClose(stream, nullptr);
        ASSERT_NE(written, nullptr);
        worlds.push_back(written);

        const std::filesystem::path file =
            std::filesystem::path(RW_TEST_BINARY_DIR) / "data" / mkdata::StageFolder() / mkdata::StageWorldName();
        if (std::filesystem::exists(file)) {
            stream = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMREAD, file.string().c_str());
            inTree = ReadWorldChunk(stream);
            if (stream != nullptr) {
                RwStreamClose(stream, nullptr);
            }
            ASSERT_NE(inTree, nullptr) << file;
            worlds.push_back(inTree);
        }
    }
    void TearDown() override
    {
        for (RpWorld *world : {built, written, inTree}) {
            if (world != nullptr) {
                RpWorldDestroy(world);
            }
        }
        WorldTest::TearDown();
    }

    // A point over the yard (just inside its walls) at a height in [ylo, yhi].
    RwV3d PointInYard(RwReal ylo, RwReal yhi)
    {
        const RwBBox yard = mkdata::StageWorldBox();
        std::uniform_real_distribution<RwReal> x(yard.inf.x + 0.01f, yard.sup.x - 0.01f);
        std::uniform_real_distribution<RwReal> z(yard.inf.z + 0.01f, yard.sup.z - 0.01f);
        std::uniform_real_distribution<RwReal> y(ylo, yhi);
        return {x(rng), y(rng), z(rng)};
    }
    // A point anywhere around the yard, out past its walls, floor and top
    // (by 3/16 of its width and by its height).
    RwV3d PointAround()
    {
        const RwBBox yard = mkdata::StageWorldBox();
        const RwReal side = Width() * 3.0f / 16.0f;
        const RwReal up = yard.sup.y - yard.inf.y;
        std::uniform_real_distribution<RwReal> x(yard.inf.x - side, yard.sup.x + side);
        std::uniform_real_distribution<RwReal> y(yard.inf.y - up, yard.sup.y + up);
        std::uniform_real_distribution<RwReal> z(yard.inf.z - side, yard.sup.z + side);
        return {x(rng), y(rng), z(rng)};
    }
    static RwReal Width()
    {
        const RwBBox yard = mkdata::StageWorldBox();
        return yard.sup.x - yard.inf.x;
    }

    // Runs `count` random queries made by `make` on every world under
    // test; each must agree with every triangle tested, and enough of them
    // must hit something for the agreement to mean anything.
    template <typename Make>
    void ExpectRandomQueriesAgree(const char *what, Make make)
    {
        constexpr RwInt32 kCount = 3000;
        for (RpWorld *world : worlds) {
            SCOPED_TRACE(world == written ? "world written to memory" : "world in the data tree");
            RwInt32 withHits = 0;
            for (RwInt32 n = 0; n < kCount; ++n) {
                RpIntersection is = make();
                bool hit = false;
                ASSERT_TRUE(AgreesWithEveryTriangle(world, &is, &hit)) << what << " " << n;
                withHits += hit ? 1 : 0;
            }
            EXPECT_GT(withHits, kCount / 5) << what;
            EXPECT_LT(withHits, kCount) << what << ": some must miss";
        }
    }

    RpWorld *built = nullptr;
    RpWorld *written = nullptr;  // built, stepped, written and read back
    RpWorld *inTree = nullptr;   // the build's data tree, when there is one
    std::vector<RpWorld *> worlds;
    std::mt19937 rng{7321u};
};

// The ray from `from` to `to` on `world`: what it hit first, and where.
struct FirstHit {
    bool found = false;
    const RpWorldSector *sector = nullptr;
    RwInt32 index = -1;
    RwV3d at = {};
};

FirstHit CastRay(RpWorld *world, const RwV3d &from, const RwV3d &to)
{
    RpIntersection is = {};
    is.type = rpINTERSECTLINE;
    is.t.line = {from, to};
    Found found;
    RpCollisionWorldForAllIntersections(world, &is, collistest::Record, &found);
    FirstHit first;
    if (found.hits.empty()) {
        return first;
    }
    const RwReal d = collistest::NearestDistance(found, 2.0f);
    for (const auto &[hit, distance] : found.distance) {
        if (distance == d) {
            first = {true, hit.first, hit.second, {}};
        }
    }
    first.at = {from.x + (to.x - from.x) * d, from.y + (to.y - from.y) * d, from.z + (to.z - from.z) * d};
    return first;
}

// Whether a sector's triangle lies flat in the floor plane.
bool IsFloor(const RpWorldSector *sector, RwInt32 index)
{
    const RpPolygon &p = sector->polygons[index];
    return std::all_of(p.vertIndex, p.vertIndex + 3,
                       [&](RwUInt16 v) { return sector->vertices[v].y == mkdata::StageFloorHeight(); });
}

TEST_F(StageCollisionTest, EveryLeafCarriesATreeOverAllItsTriangles)
{
    ASSERT_EQ(static_cast<RwInt32>(Sectors(written).size()), mkdata::StageLeafCount());
    for (RpWorld *world : worlds) {
        for (RpWorldSector *sector : Sectors(world)) {
            ASSERT_GT(sector->numPolygons, 0);
            const RpCollisionData *data = RpCollisionWorldSectorGetData(sector);
            ASSERT_NE(data, nullptr);
            ASSERT_EQ(data->numTriangles, static_cast<RwUInt32>(sector->numPolygons));
            EXPECT_GT(data->tree->numLeaves, 1u) << "a leaf's triangles are more than one tree leaf holds";
            std::vector<RwUInt16> map(data->triangleMap, data->triangleMap + data->numTriangles);
            std::sort(map.begin(), map.end());
            for (RwUInt32 i = 0; i < data->numTriangles; ++i) {
                ASSERT_EQ(map[i], i) << "each triangle once in the map";
            }
        }
    }
    // The data tree's file holds the very trees the maker builds.
    if (inTree != nullptr) {
        const auto a = Sectors(written), b = Sectors(inTree);
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i) {
            const RpCollisionData *x = RpCollisionWorldSectorGetData(a[i]);
            const RpCollisionData *y = RpCollisionWorldSectorGetData(b[i]);
            ASSERT_EQ(x->tree->numLeaves, y->tree->numLeaves) << i;
            EXPECT_TRUE(std::equal(x->triangleMap, x->triangleMap + x->numTriangles, y->triangleMap)) << i;
        }
    }
}

TEST_F(StageCollisionTest, RandomLinesAgreeWithEveryTriangleTested)
{
    ExpectRandomQueriesAgree("line", [&] {
        RpIntersection is = {};
        is.type = rpINTERSECTLINE;
        is.t.line = {PointAround(), PointAround()};
        return is;
    });
}

TEST_F(StageCollisionTest, RandomSpheresAgreeWithEveryTriangleTested)
{
    std::uniform_real_distribution<RwReal> radius(Width() / 320.0f, Width() / 4.0f);
    ExpectRandomQueriesAgree("sphere", [&] {
        RpIntersection is = {};
        is.type = rpINTERSECTSPHERE;
        is.t.sphere = {PointAround(), radius(rng)};
        return is;
    });
}

TEST_F(StageCollisionTest, RandomBoxesAgreeWithEveryTriangleTested)
{
    std::uniform_real_distribution<RwReal> half(Width() / 800.0f, Width() / 4.0f);
    ExpectRandomQueriesAgree("box", [&] {
        const RwV3d c = PointAround();
        const RwV3d h = {half(rng), half(rng), half(rng)};
        RpIntersection is = {};
        is.type = rpINTERSECTBOX;
        is.t.box = {{c.x + h.x, c.y + h.y, c.z + h.z}, {c.x - h.x, c.y - h.y, c.z - h.z}};
        return is;
    });
}

// Points have no triangle test: the world refuses them, whatever the point.
TEST_F(StageCollisionTest, PointQueriesAreRefusedWithoutCallbacks)
{
    for (RpWorld *world : worlds) {
        for (RwInt32 n = 0; n < 100; ++n) {
            RpIntersection is = {};
            is.type = rpINTERSECTPOINT;
            is.t.point = n % 2 == 0 ? PointAround() : PointInYard(0.0f, 0.0f);
            Found found;
            rwtest::TakeError();
            EXPECT_EQ(RpCollisionWorldForAllIntersections(world, &is, collistest::Record, &found), nullptr);
            const RwError error = rwtest::TakeError();
            EXPECT_EQ(error.pluginID, static_cast<RwInt32>(rwID_COLLISPLUGIN));
            EXPECT_EQ(error.errorCode, E_RP_COLLIS_BADINTERSECTIONTYPE);
            EXPECT_EQ(found.calls, 0);
        }
    }
}

TEST_F(StageCollisionTest, DownwardRaysLandOnTheFloor)
{
    const RwBBox yard = mkdata::StageWorldBox();
    for (RpWorld *world : worlds) {
        for (RwInt32 n = 0; n < 3000; ++n) {
            const RwV3d from = PointInYard(yard.sup.y + 1.0f, yard.sup.y + 20.0f);
            const RwV3d to = {from.x, yard.inf.y - 5.0f, from.z};
            const FirstHit hit = CastRay(world, from, to);
            ASSERT_TRUE(hit.found) << from.x << ", " << from.z;
            EXPECT_NEAR(hit.at.y, mkdata::StageFloorHeight(), 1e-3f) << from.x << ", " << from.z;
            EXPECT_TRUE(IsFloor(hit.sector, hit.index)) << from.x << ", " << from.z;
        }
    }
}

// From anywhere in the yard, a ray along the floor towards a wall meets
// that wall, on its inner face, where the maker put it.
TEST_F(StageCollisionTest, RaysAcrossTheYardMeetItsWalls)
{
    const RwBBox yard = mkdata::StageWorldBox();
    struct Wall {
        RwReal RwV3d::*axis;
        RwReal at;
    };
    const Wall walls[4] = {{&RwV3d::x, yard.sup.x}, {&RwV3d::x, yard.inf.x}, {&RwV3d::z, yard.sup.z},
                           {&RwV3d::z, yard.inf.z}};
    for (RpWorld *world : worlds) {
        for (RwInt32 n = 0; n < 2000; ++n) {
            const Wall &wall = walls[n % 4];
            const RwV3d from = PointInYard(mkdata::StageFloorHeight() + 0.01f, yard.sup.y - 0.01f);
            RwV3d to = from;
            to.*wall.axis = wall.at + (wall.at > 0.0f ? 5.0f : -5.0f);
            const FirstHit hit = CastRay(world, from, to);
            ASSERT_TRUE(hit.found) << "wall " << n % 4 << " from " << from.x << ", " << from.y << ", " << from.z;
            EXPECT_NEAR(hit.at.*wall.axis, wall.at, 1e-3f) << "wall " << n % 4;
            EXPECT_FALSE(IsFloor(hit.sector, hit.index));
        }
    }
}

}  // namespace

}  // namespace stage_collision_test
