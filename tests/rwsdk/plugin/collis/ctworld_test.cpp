// World queries against the test stage: every query type agrees with a
// brute-force test over all triangles (or all atomics) on thousands of
// random queries, downward rays find the floor heights, and a query started
// from a callback leaves the outer query whole.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <utility>

#include "rwsdk/plugin/collis/collis_test_world.h"
#include "support/engine/engine_env.h"

namespace ctworld_test {

using namespace collistest;

namespace {

class WorldQueryTest : public CollisionTest {
protected:
    void SetUp() override
    {
        CollisionTest::SetUp();
        std::vector<RwUInt8> body = TerrainWorldBody();
        world = ReadWorld(body);
        ASSERT_NE(world, nullptr) << std::hex << rwtest::TakeError().errorCode;
        ASSERT_NE(RpCollisionWorldBuildData(world, rpCOLLISIONBUILDLEAFSIZE), nullptr);
    }
    void TearDown() override
    {
        if (world != nullptr) {
            RpWorldDestroy(world);
        }
        CollisionTest::TearDown();
    }
    RwV3d RandomPoint(RwReal ylo, RwReal yhi)
    {
        std::uniform_real_distribution<RwReal> xz(-4.0f, kExtent + 4.0f), y(ylo, yhi);
        return {xz(rng), y(rng), xz(rng)};
    }
    RpWorld *world = nullptr;
    std::mt19937 rng{20240611u};
};

TEST_F(WorldQueryTest, RandomLinesAgreeWithEveryTriangleTested)
{
    RwInt32 withHits = 0;
    for (RwInt32 n = 0; n < 3000; ++n) {
        RpIntersection is = {};
        is.type = rpINTERSECTLINE;
        is.t.line = {RandomPoint(-10.0f, 15.0f), RandomPoint(-10.0f, 15.0f)};
        bool hit = false;
        ASSERT_TRUE(AgreesWithEveryTriangle(world, &is, &hit)) << "line " << n;
        withHits += hit ? 1 : 0;
    }
    EXPECT_GT(withHits, 500);
}

TEST_F(WorldQueryTest, RandomSpheresAgreeWithEveryTriangleTested)
{
    std::uniform_real_distribution<RwReal> radius(0.1f, 6.0f);
    RwInt32 withHits = 0;
    for (RwInt32 n = 0; n < 3000; ++n) {
        RpIntersection is = {};
        is.type = rpINTERSECTSPHERE;
        is.t.sphere = {RandomPoint(-6.0f, 10.0f), radius(rng)};
        bool hit = false;
        ASSERT_TRUE(AgreesWithEveryTriangle(world, &is, &hit)) << "sphere " << n;
        withHits += hit ? 1 : 0;
    }
    EXPECT_GT(withHits, 500);
}

TEST_F(WorldQueryTest, RandomBoxesAgreeWithEveryTriangleTested)
{
    std::uniform_real_distribution<RwReal> size(0.05f, 8.0f);
    RwInt32 withHits = 0;
    for (RwInt32 n = 0; n < 3000; ++n) {
        const RwV3d c = RandomPoint(-6.0f, 10.0f);
        const RwV3d h = {size(rng), size(rng), size(rng)};
        RpIntersection is = {};
        is.type = rpINTERSECTBOX;
        is.t.box = {{c.x + h.x, c.y + h.y, c.z + h.z}, {c.x - h.x, c.y - h.y, c.z - h.z}};
        bool hit = false;
        ASSERT_TRUE(AgreesWithEveryTriangle(world, &is, &hit)) << "box " << n;
        withHits += hit ? 1 : 0;
    }
    EXPECT_GT(withHits, 500);
}

TEST_F(WorldQueryTest, DownwardRaysFindTheFloorHeights)
{
    std::uniform_real_distribution<RwReal> xz(0.01f, kExtent - 0.01f);
    for (RwInt32 n = 0; n < 3000; ++n) {
        const RwReal x = xz(rng), z = xz(rng);
        if (x > 9.9f && x < 14.1f && z > 9.9f && z < 14.1f) {
            continue;  // inside the pillar, whose walls face out
        }
        RpIntersection is = {};
        is.type = rpINTERSECTLINE;
        is.t.line = {{x, 20.0f, z}, {x, -20.0f, z}};
        Found found;
        RpCollisionWorldForAllIntersections(world, &is, Record, &found);
        ASSERT_FALSE(found.hits.empty()) << x << ", " << z;
        EXPECT_NEAR(20.0f - 40.0f * NearestDistance(found, 2.0f), FloorHeight(x, z), 1e-3f) << x << ", " << z;
    }
}

TEST_F(WorldQueryTest, LinesOnlyHitFrontFacesAndPointsAreRefused)
{
    RpIntersection up = {};
    up.type = rpINTERSECTLINE;
    up.t.line = {{20.0f, -20.0f, 40.0f}, {20.0f, 20.0f, 40.0f}};
    Found found;
    RpCollisionWorldForAllIntersections(world, &up, Record, &found);
    EXPECT_TRUE(found.hits.empty());

    RpIntersection point = {};
    point.type = rpINTERSECTPOINT;
    rwtest::TakeError();
    EXPECT_EQ(RpCollisionWorldForAllIntersections(world, &point, Record, &found), nullptr);
    const RwError error = rwtest::TakeError();
    EXPECT_EQ(error.pluginID, static_cast<RwInt32>(rwID_COLLISPLUGIN));
    EXPECT_EQ(error.errorCode, E_RP_COLLIS_BADINTERSECTIONTYPE);
}

TEST_F(WorldQueryTest, SectorsWithoutDataAreNeverTested)
{
    for (RpWorldSector *sector : Sectors(world)) {
        RpCollisionWorldSectorDestroyData(sector);
    }
    RpIntersection is = {};
    is.type = rpINTERSECTLINE;
    is.t.line = {{20.0f, 20.0f, 40.0f}, {20.0f, -20.0f, 40.0f}};
    Found found;
    EXPECT_EQ(RpCollisionWorldForAllIntersections(world, &is, Record, &found), world);
    EXPECT_EQ(found.calls, 0);
}

RpCollisionTriangle *StopAtFirst(RpIntersection *, RpWorldSector *, RpCollisionTriangle *, RwReal, void *data)
{
    ++*static_cast<RwInt32 *>(data);
    return nullptr;
}

TEST_F(WorldQueryTest, NullCallbackResultStopsAfterOneCall)
{
    RpIntersection is = {};
    is.type = rpINTERSECTSPHERE;
    is.t.sphere = {{32.0f, 2.0f, 32.0f}, 10.0f};
    RwInt32 calls = 0;
    EXPECT_EQ(RpCollisionWorldForAllIntersections(world, &is, StopAtFirst, &calls), world);
    EXPECT_EQ(calls, 1);
}

TEST_F(WorldQueryTest, TreesSurviveTheWorldStream)
{
    RwMemoryDescriptor desc{nullptr, 0};
    RwStream *out = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, &desc);
    ASSERT_NE(RpWorldStreamWrite(world, out), nullptr);
    RwStreamClose(out, &desc);
    std::vector<RwUInt8> bytes(desc.start + 12, desc.start + desc.length);  // past the world chunk header
    RwFree(desc.start);
    RpWorld *copy = ReadWorld(bytes);
    ASSERT_NE(copy, nullptr);
    const auto a = Sectors(world), b = Sectors(copy);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        const RpCollisionData *x = RpCollisionWorldSectorGetData(a[i]);
        const RpCollisionData *y = RpCollisionWorldSectorGetData(b[i]);
        ASSERT_NE(y, nullptr);
        ASSERT_EQ(x->numTriangles, y->numTriangles);
        ASSERT_EQ(x->tree->numLeaves, y->tree->numLeaves);
        EXPECT_TRUE(std::equal(x->triangleMap, x->triangleMap + x->numTriangles, y->triangleMap));
        EXPECT_EQ(std::memcmp(x->tree->branches, y->tree->branches,
                              sizeof(RpCollisionTreeBranch) * (x->tree->numLeaves - 1)),
                  0);
    }
    RpWorldDestroy(copy);
}

// ---- Atomics in the world.

struct AtomicHits {
    std::multiset<const RpAtomic *> atomics;
    RpWorld *world = nullptr;
    RpIntersection nested = {};
    RwInt32 nestedCalls = 0;
};

RpAtomic *RecordAtomic(RpIntersection *, RpWorldSector *, RpAtomic *atomic, RwReal, void *data)
{
    static_cast<AtomicHits *>(data)->atomics.insert(atomic);
    return atomic;
}

RpAtomic *CountNested(RpIntersection *, RpWorldSector *, RpAtomic *atomic, RwReal, void *data)
{
    ++*static_cast<RwInt32 *>(data);
    return atomic;
}

// Records the hit, then runs a whole query of its own from the callback.
RpAtomic *RecordAndNest(RpIntersection *is, RpWorldSector *sector, RpAtomic *atomic, RwReal distance, void *data)
{
    auto *hits = static_cast<AtomicHits *>(data);
    RecordAtomic(is, sector, atomic, distance, data);
    RpWorldForAllAtomicIntersections(hits->world, &hits->nested, CountNested, &hits->nestedCalls);
    return atomic;
}

class WorldAtomicTest : public WorldQueryTest {
protected:
    void SetUp() override
    {
        WorldQueryTest::SetUp();
        clump = RpClumpCreate();
        RwFrame *root = RwFrameCreate();
        RpClumpSetFrame(clump, root);
        std::uniform_real_distribution<RwReal> radius(0.3f, 4.0f);
        for (RwInt32 i = 0; i < 120; ++i) {
            RpAtomic *atomic = RpAtomicCreate();
            RwFrame *frame = RwFrameCreate();
            RwFrameAddChild(root, frame);
            const RwV3d at = RandomPoint(-4.0f, 10.0f);
            RwFrameTranslate(frame, &at, rwCOMBINEREPLACE);
            RpAtomicSetFrame(atomic, frame);
            RpGeometry *space = RpGeometryCreateSpace(radius(rng));
            RpAtomicSetGeometry(atomic, space, 0);
            RpGeometryDestroy(space);
            if (i % 7 == 3) {
                RpAtomicSetFlags(atomic, RpAtomicGetFlags(atomic) & ~rpATOMICCOLLISIONTEST);
            }
            RpClumpAddAtomic(clump, atomic);
            atomics.push_back(atomic);
        }
        RpWorldAddClump(world, clump);
        RwFrameSyncDirty();
    }
    void TearDown() override
    {
        RpWorldRemoveClump(world, clump);
        RpClumpDestroy(clump);
        WorldQueryTest::TearDown();
    }
    // Every atomic with the collision flag, tested exactly; atomics within a
    // hair of the boundary are left out of the comparison.
    template <typename Distance>
    void ExpectAgreement(const AtomicHits &found, Distance surfaceDistance)
    {
        for (RpAtomic *atomic : atomics) {
            const RwSphere s = *RpAtomicGetWorldBoundingSphere(atomic);
            const bool tested = (RpAtomicGetFlags(atomic) & rpATOMICCOLLISIONTEST) != 0;
            const RwReal d = surfaceDistance(s);
            const size_t count = found.atomics.count(atomic);
            if (!tested || d > 1e-2f * (1.0f + s.radius)) {
                EXPECT_EQ(count, 0u);
            } else if (d < -1e-2f * (1.0f + s.radius)) {
                EXPECT_EQ(count, 1u);
            } else {
                EXPECT_LE(count, 1u);
            }
        }
    }
    RpClump *clump = nullptr;
    std::vector<RpAtomic *> atomics;
};

RwReal Length(const RwV3d &v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

TEST_F(WorldAtomicTest, RandomQueriesAgreeWithEveryAtomicTested)
{
    std::uniform_real_distribution<RwReal> radius(0.0f, 5.0f);
    for (RwInt32 n = 0; n < 2000; ++n) {
        RpIntersection is = {};
        AtomicHits found;
        switch (n % 4) {
        case 0: {
            is.type = rpINTERSECTLINE;
            is.t.line = {RandomPoint(-6.0f, 12.0f), RandomPoint(-6.0f, 12.0f)};
            ASSERT_EQ(RpWorldForAllAtomicIntersections(world, &is, RecordAtomic, &found), world);
            const RwV3d a = is.t.line.start, b = is.t.line.end;
            ExpectAgreement(found, [&](const RwSphere &s) {
                RwV3d d, v;
                RwV3dSub(&d, &b, &a);
                RwV3dSub(&v, &s.center, &a);
                const RwReal t = std::clamp(RwV3dDotProduct(&v, &d) / RwV3dDotProduct(&d, &d), 0.0f, 1.0f);
                const RwV3d p = {a.x + d.x * t - s.center.x, a.y + d.y * t - s.center.y, a.z + d.z * t - s.center.z};
                return Length(p) - s.radius;
            });
            break;
        }
        case 1:
        case 2: {
            is.type = n % 4 == 1 ? rpINTERSECTPOINT : rpINTERSECTSPHERE;
            const RwSphere q = {RandomPoint(-6.0f, 12.0f), is.type == rpINTERSECTPOINT ? 0.0f : radius(rng)};
            if (is.type == rpINTERSECTPOINT) {
                is.t.point = q.center;
            } else {
                is.t.sphere = q;
            }
            ASSERT_EQ(RpWorldForAllAtomicIntersections(world, &is, RecordAtomic, &found), world);
            ExpectAgreement(found, [&](const RwSphere &s) {
                RwV3d d;
                RwV3dSub(&d, &s.center, &q.center);
                return Length(d) - s.radius - q.radius;
            });
            break;
        }
        default: {
            const RwV3d c = RandomPoint(-6.0f, 12.0f);
            const RwReal h = radius(rng);
            is.type = rpINTERSECTBOX;
            is.t.box = {{c.x + h, c.y + h, c.z + h}, {c.x - h, c.y - h, c.z - h}};
            ASSERT_EQ(RpWorldForAllAtomicIntersections(world, &is, RecordAtomic, &found), world);
            ExpectAgreement(found, [&](const RwSphere &s) {
                RwV3d out = {std::max({is.t.box.inf.x - s.center.x, s.center.x - is.t.box.sup.x, 0.0f}),
                             std::max({is.t.box.inf.y - s.center.y, s.center.y - is.t.box.sup.y, 0.0f}),
                             std::max({is.t.box.inf.z - s.center.z, s.center.z - is.t.box.sup.z, 0.0f})};
                return Length(out) - s.radius;
            });
            break;
        }
        }
    }
}

TEST_F(WorldAtomicTest, AQueryFromACallbackLeavesTheOuterQueryWhole)
{
    RpIntersection all = {};
    all.type = rpINTERSECTBOX;
    all.t.box = {{kExtent + 10, 20, kExtent + 10}, {-10, -10, -10}};
    AtomicHits alone;
    RpWorldForAllAtomicIntersections(world, &all, RecordAtomic, &alone);
    ASSERT_GT(alone.atomics.size(), 90u);

    AtomicHits nested;
    nested.world = world;
    nested.nested = all;
    EXPECT_EQ(RpWorldForAllAtomicIntersections(world, &all, RecordAndNest, &nested), world);
    // Every atomic once, in the outer query, although each inner query
    // tested them all again.
    EXPECT_EQ(nested.atomics, alone.atomics);
    EXPECT_EQ(nested.nestedCalls, static_cast<RwInt32>(alone.atomics.size() * alone.atomics.size()));
}

TEST_F(WorldAtomicTest, AtomicQueriesSkipTheQueryAtomicAndFindTriangles)
{
    RpAtomic *probe = atomics[0];
    RpIntersection is = {};
    is.type = rpINTERSECTATOMIC;
    is.t.object = probe;
    AtomicHits found;
    ASSERT_EQ(RpWorldForAllAtomicIntersections(world, &is, RecordAtomic, &found), world);
    EXPECT_EQ(found.atomics.count(probe), 0u);

    Found triangles;
    ASSERT_EQ(RpCollisionWorldForAllIntersections(world, &is, Record, &triangles), world);
    RpIntersection sphere = {};
    sphere.type = rpINTERSECTSPHERE;
    sphere.t.sphere = *RpAtomicGetWorldBoundingSphere(probe);
    EXPECT_EQ(triangles.hits, ExpectedHits(world, sphere));

    is.t.object = nullptr;
    rwtest::TakeError();
    EXPECT_EQ(RpWorldForAllAtomicIntersections(world, &is, RecordAtomic, &found), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_NULLP);
}

}  // namespace

}  // namespace ctworld_test
