// The sample-data maker's first stage: the world's tree, leaves and floors
// are as planned, it reads back through the engine sector for sector (from
// memory and from the written data tree), its build gives everything back
// when an allocation fails, and the lights model reads back with its
// ambient, directional and point lights.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

#include "rtbmp.h"
#include "rwsdk/world/world_test_support.h"
#include "support/engine/scratch_path.h"
#include "tools/mkdata/model_writer.h"
#include "tools/mkdata/stage_lights.h"
#include "tools/mkdata/stage_world.h"

namespace stage_world_test {

namespace {

using rwtest::WrittenBy;

class StageWorldTest : public rwtest::WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        ASSERT_TRUE(mkdata::CreateStageTextures());
    }
};

// A for-all callback that lists what it is given in a std::vector.
template <typename T>
T *Gather(T *item, void *list)
{
    static_cast<std::vector<T *> *>(list)->push_back(item);
    return item;
}

std::vector<RpWorldSector *> Leaves(RpWorld *world)
{
    std::vector<RpWorldSector *> leaves;
    RpWorldForAllWorldSectors(world, Gather<RpWorldSector>, &leaves);
    return leaves;
}

std::vector<RwUInt8> WorldBytes(const RpWorld *world)
{
    return WrittenBy([&](RwStream *stream) { EXPECT_NE(RpWorldStreamWrite(world, stream), nullptr); });
}

RpWorld *ReadWorld(RwStream *stream)
{
    RwUInt32 length = 0;
    if (!RwStreamFindChunk(stream, rwID_WORLD_CHUNK, &length, nullptr)) {
        return nullptr;
    }
    const RwUInt64 saved = RwStreamEnterChunk(stream, length);
    RpWorld *world = RpWorldStreamRead(stream);
    RwStreamLeaveChunk(stream, saved);
    return world;
}

RpWorld *ReadWorldBytes(std::vector<RwUInt8> bytes)
{
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    RpWorld *world = stream != nullptr ? ReadWorld(stream) : nullptr;
    if (stream != nullptr) {
        RwStreamClose(stream, nullptr);
    }
    return world;
}

void ExpectSameBox(const RwBBox &a, const RwBBox &b, int leaf, const char *what)
{
    EXPECT_EQ(std::memcmp(&a, &b, sizeof(RwBBox)), 0) << what << " of leaf " << leaf;
}

// Every leaf of `read` holds exactly what the same leaf of `built` does.
void ExpectSameSectors(RpWorld *built, RpWorld *read)
{
    EXPECT_EQ(RpWorldGetFlags(read) & rpGEOMETRYFLAGSMASK, RpWorldGetFlags(built) & rpGEOMETRYFLAGSMASK);
    ExpectSameBox(*RpWorldGetBBox(read), *RpWorldGetBBox(built), -1, "world box");
    ASSERT_EQ(RpWorldGetNumMaterials(read), RpWorldGetNumMaterials(built));
    for (RwInt32 m = 0; m < RpWorldGetNumMaterials(built); ++m) {
        EXPECT_STREQ(RpWorldGetMaterial(read, m)->texture->name, RpWorldGetMaterial(built, m)->texture->name);
    }
    const std::vector<RpWorldSector *> a = Leaves(built);
    const std::vector<RpWorldSector *> b = Leaves(read);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        const int leaf = static_cast<int>(i);
        const size_t nv = a[i]->numVertices;
        ASSERT_EQ(b[i]->numVertices, nv) << leaf;
        ASSERT_EQ(b[i]->numPolygons, a[i]->numPolygons) << leaf;
        EXPECT_EQ(b[i]->matListWindowBase, a[i]->matListWindowBase) << leaf;
        EXPECT_EQ(std::memcmp(b[i]->polygons, a[i]->polygons, sizeof(RpPolygon) * a[i]->numPolygons), 0) << leaf;
        EXPECT_EQ(std::memcmp(b[i]->vertices, a[i]->vertices, sizeof(RwV3d) * nv), 0) << leaf;
        EXPECT_EQ(std::memcmp(b[i]->normals, a[i]->normals, sizeof(RpVertexNormal) * nv), 0) << leaf;
        EXPECT_EQ(std::memcmp(b[i]->preLitLum, a[i]->preLitLum, sizeof(RwRGBA) * nv), 0) << leaf;
        EXPECT_EQ(std::memcmp(b[i]->texCoords[0], a[i]->texCoords[0], sizeof(RwTexCoords) * nv), 0) << leaf;
        ExpectSameBox(b[i]->tightBoundingBox, a[i]->tightBoundingBox, leaf, "tight box");
        ExpectSameBox(b[i]->boundingBox, a[i]->boundingBox, leaf, "region box");
        ASSERT_NE(b[i]->mesh, nullptr) << leaf;
        EXPECT_EQ(b[i]->mesh->totalIndicesInMesh, a[i]->mesh->totalIndicesInMesh) << leaf;
    }
}

RwV3d Corner(const RpWorldSector *s, int t, int k) { return s->vertices[s->polygons[t].vertIndex[k]]; }

RwV3d FaceNormal(const RpWorldSector *s, int t)
{
    const RwV3d a = Corner(s, t, 0), b = Corner(s, t, 1), c = Corner(s, t, 2);
    const RwV3d u = {b.x - a.x, b.y - a.y, b.z - a.z};
    const RwV3d v = {c.x - a.x, c.y - a.y, c.z - a.z};
    return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

TEST_F(StageWorldTest, TreeSplitsTheYardIntoFourCornerLeaves)
{
    RpWorld *world = mkdata::BuildStageWorld();
    ASSERT_NE(world, nullptr);
    const auto *root = reinterpret_cast<const RpPlaneSector *>(world->rootSector);
    ASSERT_EQ(root->type, 0);  // x
    EXPECT_EQ(root->value, 0.0f);
    for (const RpSector *child : {root->leftSubTree, root->rightSubTree}) {
        ASSERT_EQ(child->type, 8);  // z
        EXPECT_EQ(reinterpret_cast<const RpPlaneSector *>(child)->value, 0.0f);
    }
    const std::vector<RpWorldSector *> leaves = Leaves(world);
    ASSERT_EQ(static_cast<RwInt32>(leaves.size()), mkdata::StageLeafCount());
    const RwBBox yard = mkdata::StageWorldBox();
    static const RwReal sides[4][2] = {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
    for (size_t i = 0; i < leaves.size(); ++i) {
        const RwBBox &region = leaves[i]->boundingBox;
        // The quadrant of the yard on sides (sx, sz).
        EXPECT_EQ(sides[i][0] < 0 ? region.inf.x : region.sup.x, sides[i][0] < 0 ? yard.inf.x : yard.sup.x) << i;
        EXPECT_EQ(sides[i][0] < 0 ? region.sup.x : region.inf.x, 0.0f) << i;
        EXPECT_EQ(sides[i][1] < 0 ? region.sup.z : region.inf.z, 0.0f) << i;
        EXPECT_EQ(region.inf.y, yard.inf.y);
        EXPECT_EQ(region.sup.y, yard.sup.y);
        const RwBBox &tight = leaves[i]->tightBoundingBox;
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ((&tight.inf.x)[k], (&region.inf.x)[k]) << "each leaf fills its quadrant, " << i;
            EXPECT_EQ((&tight.sup.x)[k], (&region.sup.x)[k]) << "each leaf fills its quadrant, " << i;
        }
        for (RwUInt16 v = 0; v < leaves[i]->numVertices; ++v) {
            const RwV3d &p = leaves[i]->vertices[v];
            EXPECT_TRUE(p.x >= region.inf.x && p.x <= region.sup.x && p.z >= region.inf.z && p.z <= region.sup.z &&
                        p.y >= region.inf.y && p.y <= region.sup.y)
                << "leaf " << i << " vertex " << v;
        }
    }
    RpWorldDestroy(world);
}

// Floors face up and walls face the yard's middle, by their winding and by
// their vertex normals alike; every leaf is prelit and carries normals for
// the lights, and more than one textured material shows.
TEST_F(StageWorldTest, FloorsFaceUpWallsFaceInAndEverythingIsTexturedPrelitAndLit)
{
    RpWorld *world = mkdata::BuildStageWorld();
    ASSERT_NE(world, nullptr);
    const RwUInt32 flags = RpWorldGetFlags(world);
    for (RwUInt32 needed : {rpGEOMETRYTEXTURED, rpGEOMETRYPRELIT, rpGEOMETRYNORMALS, rpGEOMETRYLIGHT}) {
        EXPECT_NE(flags & needed, 0u) << needed;
    }
    ASSERT_GE(RpWorldGetNumMaterials(world), 2);
    for (RwInt32 m = 0; m < RpWorldGetNumMaterials(world); ++m) {
        EXPECT_NE(RpWorldGetMaterial(world, m)->texture, nullptr) << m;
    }
    std::vector<int> used(static_cast<size_t>(RpWorldGetNumMaterials(world)), 0);
    int floors = 0;
    for (RpWorldSector *leaf : Leaves(world)) {
        ASSERT_NE(leaf->preLitLum, nullptr);
        ASSERT_NE(leaf->normals, nullptr);
        ASSERT_NE(leaf->texCoords[0], nullptr);
        for (int t = 0; t < leaf->numPolygons; ++t) {
            ++used[leaf->polygons[t].matIndex];
            const RwV3d n = FaceNormal(leaf, t);
            const RpVertexNormal &vn = leaf->normals[leaf->polygons[t].vertIndex[0]];
            const RwV3d a = Corner(leaf, t, 0);
            if (a.y == mkdata::StageFloorHeight() && Corner(leaf, t, 1).y == a.y && Corner(leaf, t, 2).y == a.y) {
                ++floors;
                EXPECT_GT(n.y, 0.0f) << "floor triangle " << t;
                EXPECT_EQ(vn.y, 127);
                EXPECT_EQ(vn.x, 0);
                EXPECT_EQ(vn.z, 0);
            } else {
                EXPECT_EQ(n.y, 0.0f) << "walls stand upright";
                // Towards the middle: against the wall's own position.
                EXPECT_LT(n.x * a.x + n.z * a.z, 0.0f) << "wall triangle " << t;
                EXPECT_GT(vn.x * n.x + vn.z * n.z, 0.0f);
            }
        }
    }
    EXPECT_EQ(floors, 4 * 32);
    for (size_t m = 0; m < used.size(); ++m) {
        EXPECT_GT(used[m], 0) << "material " << m << " is drawn somewhere";
    }
    RpWorldDestroy(world);
}

TEST_F(StageWorldTest, WorldReadsBackSectorForSector)
{
    RpWorld *built = mkdata::BuildStageWorld();
    ASSERT_NE(built, nullptr);
    const std::vector<RwUInt8> bytes = WorldBytes(built);
    ASSERT_EQ(bytes.size(), rwCHUNKHEADERSIZE + RpWorldStreamGetSize(built));
    RpWorld *read = ReadWorldBytes(bytes);
    ASSERT_NE(read, nullptr);
    ExpectSameSectors(built, read);
    // And once more through the engine: the read world writes the same bytes.
    EXPECT_EQ(WorldBytes(read), bytes);
    RpWorldDestroy(read);
    RpWorldDestroy(built);
}

// The data tree the build made (the sample-data target) holds this world.
TEST_F(StageWorldTest, SampleDataTreeHoldsTheWorld)
{
    const std::filesystem::path file =
        std::filesystem::path(RW_TEST_BINARY_DIR) / "data" / mkdata::StageFolder() / mkdata::StageWorldName();
    if (!std::filesystem::exists(file)) {
        GTEST_SKIP() << "no sample data at " << file;
    }
    RwStream *stream = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMREAD, file.string().c_str());
    ASSERT_NE(stream, nullptr);
    RpWorld *read = ReadWorld(stream);
    RwStreamClose(stream, nullptr);
    ASSERT_NE(read, nullptr);
    RpWorld *built = mkdata::BuildStageWorld();
    ASSERT_NE(built, nullptr);
    ExpectSameSectors(built, read);
    RpWorldDestroy(built);
    RpWorldDestroy(read);
}

// Every allocation of the build is failed in turn: each failure gives null
// and leaves nothing behind.
TEST_F(StageWorldTest, AllocationFailureWhileBuildingLeavesNothing)
{
    size_t before = rwtest::CountingMemory::Allocations();
    RpWorld *world = mkdata::BuildStageWorld();
    ASSERT_NE(world, nullptr);
    const size_t needed = rwtest::CountingMemory::Allocations() - before;
    RpWorldDestroy(world);
    for (size_t n = 1; n <= needed; ++n) {
        const size_t live = rwtest::CountingMemory::LiveBlocks();
        rwtest::CountingMemory::FailAt(rwtest::CountingMemory::Allocations() + n);
        world = mkdata::BuildStageWorld();
        rwtest::CountingMemory::FailAt(0);
        if (world != nullptr) {
            RpWorldDestroy(world);
        }
        EXPECT_EQ(rwtest::CountingMemory::LiveBlocks(), live) << "failing allocation " << n;
        rwtest::TakeError();
    }
}

TEST_F(StageWorldTest, StageFolderHoldsWorldAndTextures)
{
    const std::string root = rwtest::ScratchPath("mkdata-stage");
    const std::filesystem::path folder = std::filesystem::path(root) / mkdata::StageFolder();
    ASSERT_TRUE(mkdata::WriteStageWorld(folder.string()));
    EXPECT_TRUE(std::filesystem::exists(folder / "STAGE.BSP"));
    for (const mkdata::StageTexture &texture : mkdata::StageTextures()) {
        const std::string name = mkdata::StageTextureFileName(texture);
        EXPECT_LE(name.size(), 12u) << "8.3 names";
        const std::string path = (std::filesystem::path(root) / mkdata::StageTextureFolder() / name).string();
        RwImage *read = RtBmpRead(path.c_str());
        ASSERT_NE(read, nullptr) << path;
        RwImage *made = mkdata::MakeStageTextureImage(texture);
        ASSERT_NE(made, nullptr);
        ASSERT_EQ(read->width, texture.width);
        ASSERT_EQ(read->height, texture.height);
        for (RwInt32 y = 0; y < texture.height; ++y) {
            for (RwInt32 x = 0; x < texture.width; ++x) {
                const RwRGBA &a = RwImagePixelColour(read, read->cpPixels + y * read->stride, x);
                const RwRGBA &b = RwImagePixelColour(made, made->cpPixels + y * made->stride, x);
                ASSERT_TRUE(a.red == b.red && a.green == b.green && a.blue == b.blue) << name << " " << x << "," << y;
            }
        }
        RwImageDestroy(read);
        RwImageDestroy(made);
    }
    std::filesystem::remove_all(root);
}

RpClump *ReadClumpBytes(std::vector<RwUInt8> bytes)
{
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    if (stream == nullptr) {
        return nullptr;
    }
    RpClump *clump = nullptr;
    RwUInt32 length = 0;
    if (RwStreamFindChunk(stream, rwID_CLUMP, &length, nullptr)) {
        const RwUInt64 saved = RwStreamEnterChunk(stream, length);
        clump = RpClumpStreamRead(stream);
        RwStreamLeaveChunk(stream, saved);
    }
    RwStreamClose(stream, nullptr);
    return clump;
}

TEST_F(StageWorldTest, LightsModelReadsBackWithAmbientDirectionalAndPointLights)
{
    RpClump *built = mkdata::BuildStageLightsClump();
    ASSERT_NE(built, nullptr);
    const std::vector<RwUInt8> bytes =
        WrittenBy([&](RwStream *stream) { EXPECT_TRUE(mkdata::WriteClumpChunk(built, stream)); });
    RpClump *read = ReadClumpBytes(bytes);
    ASSERT_NE(read, nullptr);
    std::vector<RpLight *> lights;
    RpClumpForAllLights(read, Gather<RpLight>, &lights);
    ASSERT_EQ(static_cast<int>(lights.size()), mkdata::kStageLightCount);
    for (int i = 0; i < mkdata::kStageLightCount; ++i) {
        const mkdata::StageLightPlan &plan = mkdata::StageLight(i);
        RpLight *light = nullptr;
        for (RpLight *candidate : lights) {
            light = RpLightGetType(candidate) == plan.type ? candidate : light;
        }
        ASSERT_NE(light, nullptr) << "light type " << plan.type;
        EXPECT_EQ(std::memcmp(RpLightGetColor(light), &plan.color, sizeof(RwRGBAReal)), 0) << plan.type;
        ASSERT_NE(RpLightGetFrame(light), nullptr);
        const RwMatrix *ltm = RwFrameGetLTM(RpLightGetFrame(light));
        EXPECT_NEAR(ltm->pos.x, plan.position.x, 1e-5f);
        EXPECT_NEAR(ltm->pos.y, plan.position.y, 1e-5f);
        EXPECT_NEAR(ltm->pos.z, plan.position.z, 1e-5f);
        if (plan.type == rpLIGHTPOINT) {
            EXPECT_EQ(RpLightGetRadius(light), plan.radius);
        }
        if (plan.type == rpLIGHTDIRECTIONAL) {
            const RwV3d &d = plan.direction;
            const RwReal length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
            EXPECT_NEAR(ltm->at.x, d.x / length, 1e-5f);
            EXPECT_NEAR(ltm->at.y, d.y / length, 1e-5f);
            EXPECT_NEAR(ltm->at.z, d.z / length, 1e-5f);
            EXPECT_LT(ltm->at.y, 0.0f) << "the sun shines down";
        }
    }
    RpClumpDestroy(read);
    RpClumpDestroy(built);
}

}  // namespace

}  // namespace stage_world_test
