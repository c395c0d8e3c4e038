// Collision data and atomic queries: built trees keep the branch promises,
// data read from a stream is checked before use and hostile data is
// refused without leaks, and atomic queries work in model space, with or
// without a tree, on scaled and morphing atomics.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <set>

#include "rwsdk/plugin/collis/collis_test_world.h"
#include "support/engine/engine_env.h"
#include "support/engine/memory_stream.h"

namespace rpcollis_test {

using namespace collistest;

namespace {

// Every triangle under a node, with the triangles' bounds checked against
// the branch values on the way down.
void CheckSubtree(const RpCollisionData *data, const std::function<RwBBox(RwUInt16)> &bounds, RwUInt8 type,
                  RwUInt16 index, std::vector<RwUInt16> *out)
{
    if (type == rpCOLLISIONLEAF) {
        const RpCollisionTreeLeaf &leaf = data->tree->leaves[index];
        out->insert(out->end(), data->triangleMap + leaf.first, data->triangleMap + leaf.first + leaf.count);
        return;
    }
    const RpCollisionTreeBranch &b = data->tree->branches[index];
    std::vector<RwUInt16> left, right;
    CheckSubtree(data, bounds, b.leftType, b.leftNode, &left);
    CheckSubtree(data, bounds, b.rightType, b.rightNode, &right);
    for (RwUInt16 t : left) {
        const RwBBox box = bounds(t);
        EXPECT_LE((&box.sup.x)[b.axis / 4], b.leftValue);
    }
    for (RwUInt16 t : right) {
        const RwBBox box = bounds(t);
        EXPECT_GE((&box.inf.x)[b.axis / 4], b.rightValue);
    }
    out->insert(out->end(), left.begin(), left.end());
    out->insert(out->end(), right.begin(), right.end());
}

TEST_F(CollisionTest, BuiltSectorTreesKeepTheirBranchPromises)
{
    std::vector<RwUInt8> body = TerrainWorldBody();
    RpWorld *world = ReadWorld(body);
    ASSERT_NE(world, nullptr);
    ASSERT_EQ(RpCollisionWorldBuildData(world, 3), world);
    for (RpWorldSector *sector : Sectors(world)) {
        const RpCollisionData *data = RpCollisionWorldSectorGetData(sector);
        ASSERT_NE(data, nullptr);
        EXPECT_GT(data->tree->numLeaves, 1u);
        auto bounds = [sector](RwUInt16 t) {
            const RpPolygon &p = sector->polygons[t];
            RwBBox box;
            const RwV3d v[3] = {sector->vertices[p.vertIndex[0]], sector->vertices[p.vertIndex[1]],
                                sector->vertices[p.vertIndex[2]]};
            RwBBoxCalculate(&box, v, 3);
            return box;
        };
        std::vector<RwUInt16> all;
        CheckSubtree(data, bounds, rpCOLLISIONBRANCH, 0, &all);
        std::sort(all.begin(), all.end());
        ASSERT_EQ(all.size(), sector->numPolygons);
        for (RwUInt16 i = 0; i < sector->numPolygons; ++i) {
            EXPECT_EQ(all[i], i);
        }
    }
    RpWorldDestroy(world);
}

// ---- Hostile data in sector streams.

struct RawTree {
    RwUInt32 numLeaves = 1;
    RwUInt32 numTriangles = 1;
    std::vector<RwUInt32> words;  // branches, leaves and map as streamed
    RwInt32 lengthAdjust = 0;
};

std::vector<RwUInt8> CollisionChunk(const RawTree &raw)
{
    std::vector<RwUInt8> body;
    PutU32(body, raw.numLeaves);
    PutU32(body, raw.numTriangles);
    for (RwUInt32 w : raw.words) {
        PutU32(body, w);
    }
    std::vector<RwUInt8> chunk = Chunk(rwID_COLLISPLUGIN, body);
    const RwUInt32 length = static_cast<RwUInt32>(static_cast<RwInt32>(body.size()) + raw.lengthAdjust);
    for (RwInt32 i = 0; i < 4; ++i) {
        chunk[4 + i] = static_cast<RwUInt8>(length >> (8 * i));
    }
    return chunk;
}

RwUInt32 RealBits(RwReal r)
{
    RwUInt32 bits;
    std::memcpy(&bits, &r, 4);
    return bits;
}

// Two leaves under one branch on x.
RawTree TwoLeaves(RwUInt32 leftType, RwUInt32 leftIndex, RwUInt32 rightType, RwUInt32 rightIndex)
{
    RawTree raw;
    raw.numLeaves = 2;
    raw.numTriangles = 2;
    raw.words = {0u << 16 | leftType << 8 | rightType, leftIndex << 16 | rightIndex, RealBits(32.0f), RealBits(0.0f),
                 1u << 16 | 0u, 1u << 16 | 1u, 0, 1};
    return raw;
}

RpWorld *ReadWithSectorChunk(const RawTree &raw)
{
    ExtraChunks extra;
    extra.sector = [&raw](RwInt32 number) { return number == 2 ? CollisionChunk(raw) : std::vector<RwUInt8>{}; };
    std::vector<RwUInt8> body = TerrainWorldBody(extra);
    return ReadWorld(body);
}

TEST_F(CollisionTest, WellFormedDataFromTheStreamIsKept)
{
    RpWorld *world = ReadWithSectorChunk(TwoLeaves(1, 0, 1, 1));
    ASSERT_NE(world, nullptr);
    const RpCollisionData *data = RpCollisionWorldSectorGetData(Sectors(world)[2]);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->tree->numLeaves, 2u);
    EXPECT_EQ(data->tree->branches[0].leftValue, 32.0f);
    EXPECT_EQ(data->triangleMap[1], 1u);
    EXPECT_EQ(RpCollisionWorldSectorGetData(Sectors(world)[0]), nullptr);
    RpWorldDestroy(world);
}

TEST_F(CollisionTest, HostileDataIsRefusedBeforeUse)
{
    std::vector<std::pair<const char *, RawTree>> cases;
    RawTree noLeaves;
    noLeaves.numLeaves = 0;
    noLeaves.numTriangles = 0;
    noLeaves.words = {0, 0};
    cases.push_back({"no leaves", noLeaves});
    RawTree hugeCount = TwoLeaves(1, 0, 1, 1);
    hugeCount.numTriangles = 0x3FFFFFFF;
    cases.push_back({"counts beyond the chunk", hugeCount});
    RawTree shortChunk = TwoLeaves(1, 0, 1, 1);
    shortChunk.lengthAdjust = -4;
    cases.push_back({"chunk shorter than its counts", shortChunk});
    cases.push_back({"leaf index out of range", TwoLeaves(1, 0, 1, 2)});
    cases.push_back({"branch referencing the root", TwoLeaves(2, 0, 1, 1)});
    cases.push_back({"leaf shared by both sides", TwoLeaves(1, 1, 1, 1)});
    cases.push_back({"unknown node type", TwoLeaves(3, 0, 1, 1)});
    RawTree badAxis = TwoLeaves(1, 0, 1, 1);
    badAxis.words[0] |= 12u << 16;
    cases.push_back({"axis outside x, y, z", badAxis});
    RawTree nanValue = TwoLeaves(1, 0, 1, 1);
    nanValue.words[2] = 0x7FC00000u;
    cases.push_back({"value not a number", nanValue});
    RawTree leafPastMap = TwoLeaves(1, 0, 1, 1);
    leafPastMap.words[5] = 2u << 16 | 1u;
    cases.push_back({"leaf range past the map", leafPastMap});
    RawTree mapPastSector = TwoLeaves(1, 0, 1, 1);
    mapPastSector.words[7] = 60000;
    cases.push_back({"map entry past the sector's triangles", mapPastSector});
    RawTree wideEntry = TwoLeaves(1, 0, 1, 1);
    wideEntry.words[7] = 0x10001;
    cases.push_back({"map entry wider than 16 bits", wideEntry});
    // Three leaves, two branches that name each other: a cycle off the root.
    RawTree cycle;
    cycle.numLeaves = 3;
    cycle.numTriangles = 1;
    cycle.words = {1u << 8 | 1u, 0u << 16 | 1u, 0, 0, 2u << 8 | 2u, 1u << 16 | 1u, 0, 0, 0, 0, 0, 0};
    cases.push_back({"branches in a cycle", cycle});
    for (const auto &[name, raw] : cases) {
        rwtest::TakeError();
        EXPECT_EQ(ReadWithSectorChunk(raw), nullptr) << name;
        EXPECT_NE(rwtest::TakeError().errorCode, E_RW_NOERROR) << name;
    }
}

// A chain of branches, each with a leaf on its left: deeper than any
// stack a walk keeps in place.
TEST_F(CollisionTest, DeepTreesFromTheStreamAreWalkedWhole)
{
    constexpr RwUInt32 kLeaves = 120;
    RawTree chain;
    chain.numLeaves = kLeaves;
    chain.numTriangles = kLeaves;
    for (RwUInt32 i = 0; i + 1 < kLeaves; ++i) {
        const bool last = i + 2 == kLeaves;
        chain.words.push_back(1u << 8 | (last ? 1u : 2u));
        chain.words.push_back(i << 16 | (i + 1));
        chain.words.push_back(RealBits(1000.0f));
        chain.words.push_back(RealBits(-1000.0f));
    }
    for (RwUInt32 i = 0; i < kLeaves; ++i) {
        chain.words.push_back(1u << 16 | i);
    }
    for (RwUInt32 i = 0; i < kLeaves; ++i) {
        chain.words.push_back(i);
    }
    RpWorld *world = ReadWithSectorChunk(chain);
    ASSERT_NE(world, nullptr);
    RpIntersection is = {};
    is.type = rpINTERSECTBOX;
    is.t.box = {{1000, 1000, 1000}, {-1000, -1000, -1000}};
    struct Count {
        static RpCollisionTriangle *Add(RpIntersection *, RpWorldSector *, RpCollisionTriangle *t, RwReal, void *data)
        {
            ++*static_cast<RwInt32 *>(data);
            return t;
        }
    };
    RwInt32 hits = 0;
    EXPECT_EQ(RpCollisionWorldForAllIntersections(world, &is, Count::Add, &hits), world);
    EXPECT_EQ(hits, static_cast<RwInt32>(kLeaves));
    RpWorldDestroy(world);
}

// ---- Atomic queries.

struct GeometryHits {
    std::set<RwInt32> triangles;
    std::vector<RwReal> distances;
};

RpCollisionTriangle *RecordTriangle(RpIntersection *, RpCollisionTriangle *triangle, RwReal distance, void *data)
{
    auto *hits = static_cast<GeometryHits *>(data);
    hits->triangles.insert(triangle->index);
    hits->distances.push_back(distance);
    return triangle;
}

class AtomicQueryTest : public CollisionTest {
protected:
    // A soup of random triangles on a frame of its own.
    void Make(RwInt32 numTriangles, RwInt32 numTargets)
    {
        std::mt19937 rng(99);
        std::uniform_real_distribution<RwReal> coord(-5.0f, 5.0f);
        geometry = RpGeometryCreate(3 * numTriangles, numTriangles, rpGEOMETRYPOSITIONS);
        ASSERT_NE(geometry, nullptr);
        if (numTargets > 1) {
            ASSERT_EQ(RpGeometryAddMorphTargets(geometry, numTargets - 1), 1);
        }
        for (RwInt32 i = 0; i < 3 * numTriangles; ++i) {
            const RwV3d v = {coord(rng), coord(rng), coord(rng)};
            for (RwInt32 t = 0; t < numTargets; ++t) {
                geometry->morphTarget[t].verts[i] = {v.x, v.y + 2.0f * t, v.z};
            }
        }
        for (RwInt32 i = 0; i < numTriangles; ++i) {
            geometry->triangles[i] = {{static_cast<RwUInt16>(3 * i), static_cast<RwUInt16>(3 * i + 1),
                                       static_cast<RwUInt16>(3 * i + 2)},
                                      0};
        }
        frame = RwFrameCreate();
        atomic = RpAtomicCreate();
        RpAtomicSetFrame(atomic, frame);
        RpAtomicSetGeometry(atomic, geometry, 0);
    }
    void TearDown() override
    {
        if (atomic != nullptr) {
            RpAtomicDestroy(atomic);
            RwFrameDestroy(frame);
            RpGeometryDestroy(geometry);
        }
        CollisionTest::TearDown();
    }
    GeometryHits Query(RpIntersection *is)
    {
        GeometryHits hits;
        EXPECT_EQ(RpAtomicForAllIntersections(atomic, is, RecordTriangle, &hits), atomic);
        return hits;
    }
    RpGeometry *geometry = nullptr;
    RpAtomic *atomic = nullptr;
    RwFrame *frame = nullptr;
};

TEST_F(AtomicQueryTest, TreeAndTriangleByTriangleAgree)
{
    Make(300, 1);
    const RwV3d offset = {3, -1, 2};
    RwFrameTranslate(frame, &offset, rwCOMBINEREPLACE);
    RwFrameRotate(frame, &offset, 30.0f, rwCOMBINEPOSTCONCAT);
    std::mt19937 rng(5);
    std::uniform_real_distribution<RwReal> coord(-8.0f, 8.0f), radius(0.1f, 3.0f);
    std::vector<RpIntersection> queries;
    for (RwInt32 n = 0; n < 1000; ++n) {
        RpIntersection is = {};
        if (n % 2 == 0) {
            is.type = rpINTERSECTLINE;
            is.t.line = {{coord(rng), coord(rng), coord(rng)}, {coord(rng), coord(rng), coord(rng)}};
        } else {
            is.type = rpINTERSECTSPHERE;
            is.t.sphere = {{coord(rng), coord(rng), coord(rng)}, radius(rng)};
        }
        queries.push_back(is);
    }
    std::vector<std::set<RwInt32>> direct;
    for (RpIntersection &is : queries) {
        direct.push_back(Query(&is).triangles);
    }
    ASSERT_EQ(RpCollisionGeometryBuildData(geometry, 4), geometry);
    RwInt32 nonEmpty = 0;
    for (size_t n = 0; n < queries.size(); ++n) {
        EXPECT_EQ(Query(&queries[n]).triangles, direct[n]) << n;
        nonEmpty += direct[n].empty() ? 0 : 1;
    }
    EXPECT_GT(nonEmpty, 200);
}

TEST_F(AtomicQueryTest, ScaledAtomicsAreQueriedInModelSpace)
{
    Make(0, 1);
    RpAtomicDestroy(atomic);
    RpGeometryDestroy(geometry);
    geometry = RpGeometryCreate(3, 1, rpGEOMETRYPOSITIONS);
    geometry->morphTarget[0].verts[0] = {-10, 0, -10};
    geometry->morphTarget[0].verts[1] = {-10, 0, 10};
    geometry->morphTarget[0].verts[2] = {10, 0, -10};
    geometry->triangles[0] = {{0, 1, 2}, 0};
    atomic = RpAtomicCreate();
    RpAtomicSetFrame(atomic, frame);
    RpAtomicSetGeometry(atomic, geometry, 0);
    const RwV3d twice = {2, 2, 2};
    RwMatrix scale;
    RwMatrixSetIdentity(&scale);
    RwMatrixScale(&scale, &twice, rwCOMBINEREPLACE);
    RwFrameTransform(frame, &scale, rwCOMBINEREPLACE);
    RpIntersection is = {};
    is.type = rpINTERSECTSPHERE;
    is.t.sphere = {{-2, 0.8f, -2}, 1.0f};  // model space: 0.4 above, radius 0.5
    GeometryHits hits = Query(&is);
    ASSERT_EQ(hits.triangles.size(), 1u);
    EXPECT_NEAR(hits.distances[0], 0.8f, 1e-3f);
    is.t.sphere.center.y = 1.2f;  // model space 0.6 above: out of reach
    EXPECT_TRUE(Query(&is).triangles.empty());
    is.type = rpINTERSECTLINE;
    is.t.line = {{-2, 4, -2}, {-2, -4, -2}};
    hits = Query(&is);
    ASSERT_EQ(hits.triangles.size(), 1u);
    EXPECT_NEAR(hits.distances[0], 0.5f, 1e-5f);
}

TEST_F(AtomicQueryTest, MorphingAtomicsUseTheirBlendOfTargets)
{
    Make(1, 2);
    geometry->morphTarget[0].verts[0] = {-10, 0, -10};
    geometry->morphTarget[0].verts[1] = {-10, 0, 10};
    geometry->morphTarget[0].verts[2] = {10, 0, -10};
    for (RwInt32 i = 0; i < 3; ++i) {
        geometry->morphTarget[1].verts[i] = geometry->morphTarget[0].verts[i];
        geometry->morphTarget[1].verts[i].y = 2.0f;
    }
    atomic->interpolator.startMorphTarget = 0;
    atomic->interpolator.endMorphTarget = 1;
    atomic->interpolator.position = 0.25f;
    atomic->interpolator.recipTime = 2.0f;  // halfway
    RpIntersection is = {};
    is.type = rpINTERSECTLINE;
    is.t.line = {{0, 5, 0}, {0, -5, 0}};
    GeometryHits hits = Query(&is);
    ASSERT_EQ(hits.distances.size(), 1u);
    EXPECT_NEAR(5.0f - 10.0f * hits.distances[0], 1.0f, 1e-4f);
    atomic->interpolator.endMorphTarget = 7;  // out of range: target 0
    hits = Query(&is);
    ASSERT_EQ(hits.distances.size(), 1u);
    EXPECT_NEAR(5.0f - 10.0f * hits.distances[0], 0.0f, 1e-4f);
}

TEST_F(AtomicQueryTest, UnusableIntersectionsAreRefused)
{
    Make(4, 1);
    RpIntersection is = {};
    is.type = rpINTERSECTBOX;
    rwtest::TakeError();
    GeometryHits hits;
    EXPECT_EQ(RpAtomicForAllIntersections(atomic, &is, RecordTriangle, &hits), nullptr);
    RwError error = rwtest::TakeError();
    EXPECT_EQ(error.pluginID, static_cast<RwInt32>(rwID_COLLISPLUGIN));
    EXPECT_EQ(error.errorCode, E_RP_COLLIS_BADINTERSECTIONTYPE);
    is.type = rpINTERSECTATOMIC;
    is.t.object = nullptr;
    EXPECT_EQ(RpAtomicForAllIntersections(atomic, &is, RecordTriangle, &hits), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_NULLP);
}

TEST_F(AtomicQueryTest, GeometryDataTravelsInTheExtensionChunk)
{
    Make(50, 1);
    ASSERT_EQ(RpCollisionGeometryBuildData(geometry, 2), geometry);
    RwMemoryDescriptor desc{nullptr, 0};
    RwStream *out = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, &desc);
    ASSERT_NE(RwPluginRegistryWriteData(RpGeometryGetPluginRegistry(), out, geometry), nullptr);
    std::vector<RwUInt8> bytes = rwtest::CloseMemoryWrite(out);
    RpGeometry *copy = RpGeometryCreate(150, 50, rpGEOMETRYPOSITIONS);
    RwMemoryDescriptor in;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &in);
    ASSERT_NE(RwPluginRegistryReadData(RpGeometryGetPluginRegistry(), stream, copy), nullptr);
    RwStreamClose(stream, nullptr);
    const RpCollisionData *a = RpCollisionGeometryGetData(geometry);
    const RpCollisionData *b = RpCollisionGeometryGetData(copy);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->tree->numLeaves, b->tree->numLeaves);
    EXPECT_TRUE(std::equal(a->triangleMap, a->triangleMap + a->numTriangles, b->triangleMap));
    // A geometry with fewer triangles than the map names refuses the same bytes.
    RpGeometry *small = RpGeometryCreate(3, 1, rpGEOMETRYPOSITIONS);
    stream = rwtest::OpenMemoryRead(bytes, &in);
    EXPECT_EQ(RwPluginRegistryReadData(RpGeometryGetPluginRegistry(), stream, small), nullptr);
    RwStreamClose(stream, nullptr);
    EXPECT_EQ(RpCollisionGeometryGetData(small), nullptr);
    RpGeometryDestroy(small);
    RpGeometryDestroy(copy);
}

}  // namespace

}  // namespace rpcollis_test
