// Worlds: reading the world chunk (leaves, triangles, boxes, old struct
// form, bad lengths and counts), writing it back byte for byte, the walks,
// and objects tied to the leaves their bounds reach as they move.
#include <utility>
#include <vector>

#include "rwsdk/world/world_bytes.h"
#include "rwsdk/world/world_test_support.h"

namespace baworld_test {

namespace {

using rwtest::WorldTest;

class WorldStreamTest : public WorldTest {
protected:
    RpWorld *Read(std::vector<RwUInt8> bytes) { return rwtest::ReadWorldChunk(std::move(bytes)); }
};

std::vector<RpWorldSector *> Leaves(RpWorld *world)
{
    std::vector<RpWorldSector *> out;
    RpWorldForAllWorldSectors(
        world,
        [](RpWorldSector *s, void *d) {
            static_cast<std::vector<RpWorldSector *> *>(d)->push_back(s);
            return s;
        },
        &out);
    return out;
}

void ExpectBox(const RwBBox &box, RwV3d inf, RwV3d sup)
{
    EXPECT_FLOAT_EQ(box.inf.x, inf.x);
    EXPECT_FLOAT_EQ(box.inf.y, inf.y);
    EXPECT_FLOAT_EQ(box.inf.z, inf.z);
    EXPECT_FLOAT_EQ(box.sup.x, sup.x);
    EXPECT_FLOAT_EQ(box.sup.y, sup.y);
    EXPECT_FLOAT_EQ(box.sup.z, sup.z);
}

TEST_F(WorldStreamTest, LeavesTrianglesAndBoxesAreAsWritten)
{
    RpWorld *world = Read(worldtest::TwoLeafWorld());
    ASSERT_NE(world, nullptr);
    EXPECT_EQ(world->numTexCoordSets, 1);
    EXPECT_EQ(RpWorldGetNumMaterials(world), 2);
    std::vector<RpWorldSector *> leaves = Leaves(world);
    ASSERT_EQ(leaves.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        RpWorldSector *leaf = leaves[static_cast<size_t>(i)];
        EXPECT_EQ(RpWorldSectorGetNumTriangles(leaf), 2);
        EXPECT_EQ(RpWorldSectorGetNumVertices(leaf), 4);
        EXPECT_EQ(leaf->polygons[1].matIndex, i);
        EXPECT_EQ(leaf->polygons[1].vertIndex[1], 3);
        EXPECT_FLOAT_EQ(leaf->vertices[2].x, i == 0 ? 0.0f : 2.0f);
        EXPECT_EQ(RpWorldSectorGetWorld(leaf), world);
        ASSERT_NE(leaf->mesh, nullptr);
        EXPECT_EQ(leaf->mesh->totalIndicesInMesh, 6u);
    }
    ExpectBox(*RpWorldSectorGetTightBBox(leaves[0]), {-2, 0, 0}, {0, 0, 1});
    // Region boxes are cut from the world box by the plane.
    ExpectBox(*RpWorldSectorGetBBox(leaves[0]), {-2, -1, 0}, {0, 1, 1});
    ExpectBox(*RpWorldSectorGetBBox(leaves[1]), {0, -1, 0}, {2, 1, 1});
    RpWorldDestroy(world);
}

TEST_F(WorldStreamTest, OldStructHasNoBoxAndTakesTheLeaves)
{
    worldtest::WorldLayout layout;
    layout.version = 0x34000;
    RpWorld *world = Read(worldtest::TwoLeafWorld(layout));
    ASSERT_NE(world, nullptr);
    ExpectBox(*RpWorldGetBBox(world), {-2, 0, 0}, {2, 0, 1});
    RpWorldDestroy(world);
}

TEST_F(WorldStreamTest, WrittenWorldReadsBackTheSame)
{
    std::vector<RwUInt8> bytes = worldtest::TwoLeafWorld();
    RpWorld *world = Read(bytes);
    ASSERT_NE(world, nullptr);
    // The written world carries the leaves' mesh data besides what was
    // read, so it is read back and compared leaf by leaf.
    std::vector<RwUInt8> written =
        rwtest::WrittenBy([&](RwStream *stream) { EXPECT_NE(RpWorldStreamWrite(world, stream), nullptr); });
    ASSERT_GT(written.size(), 100u);
    EXPECT_EQ(written.size(), rwCHUNKHEADERSIZE + RpWorldStreamGetSize(world));
    RpWorld *again = Read(written);
    ASSERT_NE(again, nullptr);
    std::vector<RpWorldSector *> a = Leaves(world);
    std::vector<RpWorldSector *> b = Leaves(again);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(0, std::memcmp(a[i]->polygons, b[i]->polygons, 8 * a[i]->numPolygons));
        EXPECT_EQ(0, std::memcmp(a[i]->vertices, b[i]->vertices, 12 * a[i]->numVertices));
        EXPECT_EQ(0, std::memcmp(a[i]->preLitLum, b[i]->preLitLum, 4 * a[i]->numVertices));
    }
    RpWorldDestroy(again);
    RpWorldDestroy(world);
}

TEST_F(WorldStreamTest, LeafStructShorterThanItsArraysIsRejected)
{
    worldtest::WorldLayout layout;
    layout.leftExtra = -8;  // the last triangle lies past the declared end
    EXPECT_EQ(Read(worldtest::TwoLeafWorld(layout)), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_READ);
}

TEST_F(WorldStreamTest, CollisionSectorsAreRejected)
{
    worldtest::WorldLayout layout;
    layout.collisionSize = 4;
    EXPECT_EQ(Read(worldtest::TwoLeafWorld(layout)), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_BADVERSION);
}

TEST_F(WorldStreamTest, EveryTruncationFailsCleanly)
{
    const std::vector<RwUInt8> bytes = worldtest::TwoLeafWorld();
    for (size_t cut = 12; cut < bytes.size(); cut += 7) {
        std::vector<RwUInt8> part(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_EQ(Read(part), nullptr) << cut;
        rwtest::TakeError();
    }
}

TEST_F(WorldTest, CreatedWorldHasOneEmptyLeaf)
{
    const RwBBox box = {{1, 1, 1}, {-1, -1, -1}};
    RpWorld *world = RpWorldCreate(&box);
    ASSERT_NE(world, nullptr);
    std::vector<RpWorldSector *> leaves = Leaves(world);
    ASSERT_EQ(leaves.size(), 1u);
    EXPECT_EQ(RpWorldSectorGetNumTriangles(leaves[0]), 0);
    EXPECT_EQ(RpWorldSectorRender(leaves[0]), leaves[0]);
    RpWorldDestroy(world);
}

// ---- Ties.

class WorldTieTest : public WorldStreamTest {
protected:
    void SetUp() override
    {
        WorldStreamTest::SetUp();
        world = Read(worldtest::TwoLeafWorld());
        ASSERT_NE(world, nullptr);
        leaves = Leaves(world);
        clump = RpClumpCreate();
        RpClumpSetFrame(clump, RwFrameCreate());
        geometry = RpGeometryCreate(0, 0, rpGEOMETRYPOSITIONS);
        atomic = RpAtomicCreate();
        atomicFrame = RwFrameCreate();
        RwFrameAddChild(RpClumpGetFrame(clump), atomicFrame);
        RpAtomicSetFrame(atomic, atomicFrame);
        RpAtomicSetGeometry(atomic, geometry, 0);
        RpClumpAddAtomic(clump, atomic);
    }
    void TearDown() override
    {
        if (RpClumpGetWorld(clump) != nullptr) {
            RpWorldRemoveClump(world, clump);
        }
        RpGeometryDestroy(geometry);
        RpClumpDestroy(clump);
        RpWorldDestroy(world);
        WorldStreamTest::TearDown();
    }
    void Place(RwReal x, RwReal radius)
    {
        geometry->morphTarget[0].boundingSphere = {{0, 0, 0}, radius};
        atomic->interpolator.flags |= rpINTERPOLATORDIRTYSPHERE;
        const RwV3d at = {x, 0.0f, 0.5f};
        RwFrameTranslate(atomicFrame, &at, rwCOMBINEREPLACE);
        RwFrameSyncDirty();
    }
    std::vector<RpWorldSector *> TiedTo(RpAtomic *a)
    {
        std::vector<RpWorldSector *> out;
        RpAtomicForAllWorldSectors(
            a,
            [](RpWorldSector *s, void *d) {
                static_cast<std::vector<RpWorldSector *> *>(d)->push_back(s);
                return s;
            },
            &out);
        return out;
    }

    RpWorld *world = nullptr;
    std::vector<RpWorldSector *> leaves;
    RpClump *clump = nullptr;
    RpGeometry *geometry = nullptr;
    RpAtomic *atomic = nullptr;
    RwFrame *atomicFrame = nullptr;
};

TEST_F(WorldTieTest, StraddlingAtomicIsTiedToBothSidesUntilItMoves)
{
    RpWorldAddClump(world, clump);
    EXPECT_EQ(RpAtomicGetWorld(atomic), world);
    Place(0.25f, 0.5f);
    EXPECT_EQ(TiedTo(atomic).size(), 2u);
    Place(1.5f, 0.25f);
    ASSERT_EQ(TiedTo(atomic).size(), 1u);
    EXPECT_EQ(TiedTo(atomic)[0], leaves[1]);
    Place(-1.5f, 0.25f);
    ASSERT_EQ(TiedTo(atomic).size(), 1u);
    EXPECT_EQ(TiedTo(atomic)[0], leaves[0]);
}

// A point-sized object exactly on the splitting plane used to fall into no
// leaf at all: it belongs to the right region.
TEST_F(WorldTieTest, ObjectLyingOnThePlaneIsTiedToTheRightLeaf)
{
    RpWorldAddClump(world, clump);
    Place(0.0f, 0.0f);
    ASSERT_EQ(TiedTo(atomic).size(), 1u);
    EXPECT_EQ(TiedTo(atomic)[0], leaves[1]);
}

TEST_F(WorldTieTest, CollisionFlagChoosesTheWalks)
{
    RpWorldAddClump(world, clump);
    Place(1.0f, 0.25f);
    auto count = [](RpAtomic *a, void *d) {
        ++*static_cast<int *>(d);
        return a;
    };
    int all = 0;
    int collision = 0;
    RpWorldSectorForAllAtomics(leaves[1], count, &all);
    RpWorldSectorForAllCollisionAtomics(leaves[1], count, &collision);
    EXPECT_EQ(all, 1);
    EXPECT_EQ(collision, 1);
    RpAtomicSetFlags(atomic, rpATOMICRENDER);
    Place(1.1f, 0.25f);
    all = collision = 0;
    RpWorldSectorForAllAtomics(leaves[1], count, &all);
    RpWorldSectorForAllCollisionAtomics(leaves[1], count, &collision);
    EXPECT_EQ(all, 1);
    EXPECT_EQ(collision, 0);
}

TEST_F(WorldTieTest, RemovingTwiceReportsClumpNotInWorld)
{
    RpWorldAddClump(world, clump);
    Place(1.0f, 0.25f);
    EXPECT_EQ(RpWorldRemoveClump(world, clump), world);
    EXPECT_TRUE(TiedTo(atomic).empty());
    EXPECT_EQ(RpAtomicGetWorld(atomic), nullptr);
    EXPECT_EQ(RpWorldRemoveClump(world, clump), nullptr);
    RwError error = rwtest::TakeError();
    EXPECT_EQ(error.pluginID, rwID_WORLD);
    EXPECT_EQ(error.errorCode, E_RP_WORLD_CLUMPNOTINWORLD);
}

// Adding what is already in a world must not link it a second time: the
// clump and light lists would close into rings that every walk circles.
TEST_F(WorldTieTest, AddingTwiceKeepsOneEntryAndAnotherWorldTakesItOver)
{
    auto countClumps = [](RpWorld *w) {
        int n = 0;
        RpWorldForAllClumps(
            w,
            [](RpClump *c, void *d) {  // a ring stops the walk at 10
                return ++*static_cast<int *>(d) < 10 ? c : nullptr;
            },
            &n);
        return n;
    };
    auto countLights = [](RpWorld *w) {
        int n = 0;
        RpWorldForAllLights(
            w,
            [](RpLight *l, void *d) {
                return ++*static_cast<int *>(d) < 10 ? l : nullptr;
            },
            &n);
        return n;
    };
    RpLight *ambient = RpLightCreate(rpLIGHTAMBIENT);
    RpClumpAddLight(clump, ambient);
    RpWorldAddClump(world, clump);
    EXPECT_EQ(RpWorldAddClump(world, clump), world);
    EXPECT_EQ(RpWorldAddLight(world, ambient), world);
    EXPECT_EQ(countClumps(world), 1);
    EXPECT_EQ(world->numClumpsInWorld, 1);
    EXPECT_EQ(countLights(world), 1);
    // A second world takes the clump, its atomic and its light over.
    RpWorld *other = Read(worldtest::TwoLeafWorld());
    ASSERT_NE(other, nullptr);
    RpWorldAddClump(other, clump);
    EXPECT_EQ(countClumps(world), 0);
    EXPECT_EQ(world->numClumpsInWorld, 0);
    EXPECT_EQ(countLights(world), 0);
    EXPECT_EQ(countClumps(other), 1);
    EXPECT_EQ(countLights(other), 1);
    EXPECT_EQ(RpAtomicGetWorld(atomic), other);
    EXPECT_EQ(RpLightGetWorld(ambient), other);
    RpWorldRemoveClump(other, clump);
    RpClumpRemoveLight(clump, ambient);
    RpLightDestroy(ambient);
    RpWorldDestroy(other);
}

TEST_F(WorldTieTest, LocalLightsAreTiedGlobalOnesListedFirst)
{
    RpLight *point = RpLightCreate(rpLIGHTPOINT);
    RpLight *ambient = RpLightCreate(rpLIGHTAMBIENT);
    RwFrame *frame = RwFrameCreate();
    RpLightSetFrame(point, frame);
    const RwV3d at = {-1.0f, 0.0f, 0.5f};
    RwFrameTranslate(frame, &at, rwCOMBINEREPLACE);
    RpLightSetRadius(point, 0.5f);
    RpWorldAddLight(world, point);
    RpWorldAddLight(world, ambient);
    RwFrameSyncDirty();
    int tied = 0;
    RpWorldSectorForAllLights(
        leaves[0],
        [](RpLight *l, void *d) {
            ++*static_cast<int *>(d);
            return l;
        },
        &tied);
    EXPECT_EQ(tied, 1);
    std::vector<RpLight *> order;
    RpWorldForAllLights(
        world,
        [](RpLight *l, void *d) {
            static_cast<std::vector<RpLight *> *>(d)->push_back(l);
            return static_cast<RpLight *>(nullptr);
        },
        &order);
    ASSERT_EQ(order.size(), 1u);  // stopped at the first (global) light
    EXPECT_EQ(order[0], ambient);
    RpWorldRemoveLight(world, point);
    RpWorldRemoveLight(world, ambient);
    RpLightSetFrame(point, nullptr);
    RpLightDestroy(point);
    RpLightDestroy(ambient);
    RwFrameDestroy(frame);
}

}  // namespace

}  // namespace baworld_test
