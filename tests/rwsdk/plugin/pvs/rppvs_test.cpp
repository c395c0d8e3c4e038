// The PVS plug-in: cells from the BSP (flat cells included), visibility
// data through world streams with the hooked state dropped, the visibility
// test, and hostile visibility data refused.
#include <cmath>

#include "rwsdk/plugin/collis/collis_test_world.h"
#include "support/engine/engine_env.h"

namespace rppvs_test {

using namespace collistest;

namespace {

std::vector<RwUInt8> PVSSectorChunk(RwInt32 id, RwUInt32 mapSize, std::vector<RwUInt8> map, RwInt32 lengthAdjust = 0)
{
    std::vector<RwUInt8> body;
    PutU32(body, static_cast<RwUInt32>(id));
    PutU32(body, mapSize);
    PutU32(body, 0x5A);
    body.insert(body.end(), map.begin(), map.end());
    std::vector<RwUInt8> chunk = Chunk(rwID_PVSPLUGIN, body);
    const auto length = static_cast<RwUInt32>(static_cast<RwInt32>(body.size()) + lengthAdjust);
    for (RwInt32 i = 0; i < 4; ++i) {
        chunk[4 + i] = static_cast<RwUInt8>(length >> (8 * i));
    }
    return chunk;
}

std::vector<RwUInt8> PVSWorldChunk(RwInt32 present, RwInt32 hooked)
{
    std::vector<RwUInt8> body;
    PutU32(body, static_cast<RwUInt32>(present));
    PutU32(body, static_cast<RwUInt32>(hooked));
    return Chunk(rwID_PVSPLUGIN, body);
}

// Sector n sees itself and sector n ^ 1.
ExtraChunks VisibleInPairs()
{
    ExtraChunks extra;
    extra.sector = [](RwInt32 n) {
        return PVSSectorChunk(n, 1, {static_cast<RwUInt8>(1u << n | 1u << (n ^ 1))});
    };
    extra.world = PVSWorldChunk(1, 1);
    return extra;
}

TEST_F(CollisionTest, CellsOfASingleSectorWorld)
{
    const RwBBox box = {{100, 10, 50}, {0, 0, 0}};
    RpWorld *world = RpWorldCreate(&box);
    ASSERT_NE(world, nullptr);
    EXPECT_EQ(RpPVSWorldGetData(world)->numSectors, 1);
    const RpPVSSectorData *pvs = RpPVSSectorGetData(Sectors(world)[0]);
    EXPECT_EQ(pvs->id, -1);
    EXPECT_EQ(pvs->map, nullptr);
    EXPECT_EQ(pvs->cellGrid[0], 0);
    EXPECT_EQ(pvs->cellGrid[1], -3);
    EXPECT_EQ(pvs->cellGrid[2], -1);
    EXPECT_FLOAT_EQ(pvs->cellCentre.x, 50.0f);
    EXPECT_FLOAT_EQ(pvs->cellCentre.y, 5.0f);
    EXPECT_FLOAT_EQ(pvs->cellCentre.z, 25.0f);
    EXPECT_NEAR(pvs->cellDiagonal, std::sqrt(100.0f * 100 + 10 * 10 + 50 * 50), 0.2f);
    EXPECT_EQ(RpPVSWorldStreamGetSize(world, static_cast<RwInt32>(reinterpret_cast<RwUInt8 *>(RpPVSWorldGetData(world)) -
                                                                  reinterpret_cast<RwUInt8 *>(world)),
                                      0),
              0);
    RpWorldDestroy(world);
}

TEST_F(CollisionTest, FlatCellsGetTheClampedGridStep)
{
    const RwBBox flat = {{100, 3, 50}, {0, 3, 0}};
    RpWorld *world = RpWorldCreate(&flat);
    ASSERT_NE(world, nullptr);
    const RpPVSSectorData *pvs = RpPVSSectorGetData(Sectors(world)[0]);
    EXPECT_EQ(pvs->cellGrid[0], 0);
    EXPECT_EQ(pvs->cellGrid[1], rpPVSMINCELLGRID);
    EXPECT_EQ(pvs->cellGrid[2], -1);
    RpWorldDestroy(world);

    const RwBBox point = {{7, 7, 7}, {7, 7, 7}};
    world = RpWorldCreate(&point);
    pvs = RpPVSSectorGetData(Sectors(world)[0]);
    EXPECT_EQ(pvs->cellGrid[0], 0);
    EXPECT_EQ(pvs->cellGrid[1], 0);
    EXPECT_EQ(pvs->cellGrid[2], 0);
    RpWorldDestroy(world);

    const RwBBox tiny = {{1e30f, 1e-30f, 1}, {0, 0, 0}};
    world = RpWorldCreate(&tiny);
    pvs = RpPVSSectorGetData(Sectors(world)[0]);
    EXPECT_EQ(pvs->cellGrid[1], rpPVSMINCELLGRID);
    EXPECT_EQ(pvs->cellGrid[2], -99);
    RpWorldDestroy(world);
}

TEST_F(CollisionTest, CellBoxesFollowTheSplitPlanes)
{
    std::vector<RwUInt8> body = TerrainWorldBody();
    RpWorld *world = ReadWorld(body);
    ASSERT_NE(world, nullptr);
    EXPECT_EQ(RpPVSWorldCountSectors(world), 4);
    const auto sectors = Sectors(world);
    const RpPVSSectorData *first = RpPVSSectorGetData(sectors[0]);
    EXPECT_EQ(first->cellBox.sup.x, 32.0f);
    EXPECT_EQ(first->cellBox.sup.z, 32.0f);
    EXPECT_EQ(first->cellBox.inf.x, 0.0f);
    const RpPVSSectorData *last = RpPVSSectorGetData(sectors[3]);
    EXPECT_EQ(last->cellBox.inf.x, 32.0f);
    EXPECT_EQ(last->cellBox.inf.z, 32.0f);
    EXPECT_EQ(last->cellBox.sup.y, 12.0f);
    RpWorldDestroy(world);

    rwtest::TakeError();
    EXPECT_EQ(RpPVSWorldCountSectors(nullptr), -1);
    const RwError error = rwtest::TakeError();
    EXPECT_EQ(error.errorCode, E_RW_NULLP);
}

TEST_F(CollisionTest, VisibilityDataComesWithTheWorldAndHookedIsDropped)
{
    std::vector<RwUInt8> body = TerrainWorldBody(VisibleInPairs());
    RpWorld *world = ReadWorld(body);
    ASSERT_NE(world, nullptr);
    const RpPVSWorldData *pvs = RpPVSWorldGetData(world);
    EXPECT_EQ(pvs->pvsPresent, 1);
    EXPECT_EQ(pvs->hooked, 0);
    EXPECT_EQ(world->renderCallBack, RpWorldSectorDefaultRenderCallBack);
    const auto s = Sectors(world);
    EXPECT_EQ(RpPVSSectorGetData(s[2])->id, 2);
    EXPECT_EQ(RpPVSSectorGetData(s[2])->mapWord, 0x5Au);
    EXPECT_TRUE(RpPVSWorldSectorVisible(world, s[0], s[1]));
    EXPECT_FALSE(RpPVSWorldSectorVisible(world, s[0], s[2]));
    EXPECT_TRUE(RpPVSWorldSectorVisible(world, s[3], s[2]));
    EXPECT_EQ(pvs->polygonsTested, s[1]->numPolygons + 2 * s[2]->numPolygons);
    EXPECT_EQ(pvs->polygonsVisible, s[1]->numPolygons + s[2]->numPolygons);

    // Written and read again, the maps are the same.
    RwMemoryDescriptor desc{nullptr, 0};
    RwStream *out = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, &desc);
    ASSERT_NE(RpWorldStreamWrite(world, out), nullptr);
    RwStreamClose(out, &desc);
    std::vector<RwUInt8> again(desc.start + 12, desc.start + desc.length);
    RwFree(desc.start);
    RpWorld *copy = ReadWorld(again);
    ASSERT_NE(copy, nullptr);
    const auto c = Sectors(copy);
    for (size_t i = 0; i < c.size(); ++i) {
        EXPECT_EQ(RpPVSSectorGetData(c[i])->id, static_cast<RwInt32>(i));
        ASSERT_EQ(RpPVSSectorGetData(c[i])->mapSize, 1u);
        EXPECT_EQ(RpPVSSectorGetData(c[i])->map[0], RpPVSSectorGetData(s[i])->map[0]);
    }
    RpWorldDestroy(copy);
    RpWorldDestroy(world);
}

TEST_F(CollisionTest, HostileVisibilityDataIsRefused)
{
    struct Case {
        const char *name;
        std::function<std::vector<RwUInt8>(RwInt32)> sector;
    };
    const std::vector<Case> cases = {
        {"map longer than its chunk", [](RwInt32 n) { return PVSSectorChunk(n, 4000, {0xFF}); }},
        {"chunk shorter than the header", [](RwInt32 n) { return PVSSectorChunk(n, 1, {0xFF}, -10); }},
        {"negative id", [](RwInt32 n) { return PVSSectorChunk(n == 1 ? -7 : n, 1, {0xFF}); }},
        {"id past the sectors", [](RwInt32 n) { return PVSSectorChunk(n == 1 ? 9 : n, 1, {0xFF}); }},
        {"two sectors with one id", [](RwInt32 n) { return PVSSectorChunk(n == 1 ? 0 : n, 1, {0xFF}); }},
        {"map without a bit per sector", [](RwInt32 n) { return PVSSectorChunk(n, 0, {}); }},
    };
    for (const Case &c : cases) {
        ExtraChunks extra;
        extra.sector = c.sector;
        extra.world = PVSWorldChunk(1, 0);
        std::vector<RwUInt8> body = TerrainWorldBody(extra);
        rwtest::TakeError();
        EXPECT_EQ(ReadWorld(body), nullptr) << c.name;
        EXPECT_NE(rwtest::TakeError().errorCode, E_RW_NOERROR) << c.name;
    }
}

TEST_F(CollisionTest, IdsNoMapCoversCountAsVisible)
{
    // Without the world's words nothing checks the sectors against each
    // other, so the test itself must stay inside the viewer's map.
    ExtraChunks extra;
    extra.sector = [](RwInt32 n) { return PVSSectorChunk(n == 3 ? 4000 : n, 1, {0x00}); };
    std::vector<RwUInt8> body = TerrainWorldBody(extra);
    RpWorld *world = ReadWorld(body);
    ASSERT_NE(world, nullptr);
    const auto s = Sectors(world);
    EXPECT_FALSE(RpPVSWorldSectorVisible(world, s[0], s[1]));
    EXPECT_TRUE(RpPVSWorldSectorVisible(world, s[0], s[3]));
    RpWorldDestroy(world);
}

}  // namespace

}  // namespace rppvs_test
