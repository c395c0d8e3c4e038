// The patch plug-in on a started engine: LOD by distance, the patch stream
// round trip, and the checks on counts and control-point indices read
// from a file.
#include <cstring>

#include "rppatch.h"
#include "rwsdk/world/world_test_support.h"

namespace rppatch_test {

namespace {

bool AttachPatch() { return RpWorldPluginAttach() && RpPatchPluginAttach(); }

class PatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        rwtest::CountingMemory::Reset();
        rwtest::FakeDevice::Reset();
        live = rwtest::CountingMemory::LiveBlocks();
        ASSERT_TRUE(rwtest::EngineStartUp(nullptr, 1 << 20, AttachPatch));
    }
    void TearDown() override
    {
        EXPECT_TRUE(rwtest::EngineShutDown());
        EXPECT_EQ(rwtest::CountingMemory::LiveBlocks(), live);
    }
    size_t live = 0;
};

RpPatchMesh *MakeMesh(RwUInt32 flags)
{
    RpPatchMeshDefinition def = {flags | rpPATCHMESHTEXCOORDSETS(1), 16, 1, 1, 1};
    RpPatchMesh *mesh = RpPatchMeshCreate(&def);
    for (RwUInt32 k = 0; k < 16; ++k) {
        if (mesh->positions) mesh->positions[k] = {RwReal(k % 4), RwReal(k / 4), RwReal(k)};
        if (mesh->normals) mesh->normals[k] = {0, 0, 1};
        if (mesh->preLightColors) mesh->preLightColors[k] = {RwUInt8(k), 2, 3, 255};
        mesh->texCoords[0][k] = {RwReal(k), -RwReal(k)};
        mesh->quadPatches[0].cpIndices[k] = 15 - k;
    }
    for (RwUInt32 k = 0; k < 10; ++k) mesh->triPatches[0].cpIndices[k] = k;
    RpMaterial *material = RpMaterialCreate();
    RpMaterialListAppendMaterial(&mesh->matList, material);
    RpMaterialDestroy(material);
    return mesh;
}

std::vector<RwUInt8> Write(const RpPatchMesh *mesh)
{
    return rwtest::WrittenBy([&](RwStream *s) { RpPatchMeshStreamWrite(mesh, s); });
}

RpPatchMesh *Read(std::vector<RwUInt8> bytes)
{
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    RwUInt64 saved = RwStreamEnterChunk(stream, static_cast<RwUInt32>(bytes.size()));
    RpPatchMesh *mesh = RpPatchMeshStreamRead(stream);
    RwStreamLeaveChunk(stream, saved);
    RwStreamClose(stream, nullptr);
    return mesh;
}

TEST_F(PatchTest, LODFollowsDepthBetweenTheRanges)
{
    EXPECT_EQ(RpPatchLODFromDepth(200.0f), 4u);  // at the maximum range: minimum LOD
    EXPECT_EQ(RpPatchLODFromDepth(3.99f), 12u);
    EXPECT_EQ(RpPatchLODFromDepth(102.0f), 8u);
    EXPECT_FALSE(RpPatchSetLODParams(0, 4, 1.0f, 2.0f));  // a LOD below 1 is refused
    rwtest::TakeError();
    EXPECT_FALSE(RpPatchSetLODParams(2, 4, 5.0f, 5.0f));  // an empty range would divide by zero
    rwtest::TakeError();
}

TEST_F(PatchTest, StreamRoundTripWithAndWithoutOptionalArrays)
{
    for (RwUInt32 flags : {rpPATCHMESHPOSITIONS | rpPATCHMESHNORMALS | rpPATCHMESHPRELIGHTS, rpPATCHMESHPOSITIONS}) {
        RpPatchMesh *mesh = MakeMesh(flags);
        std::vector<RwUInt8> bytes = Write(mesh);
        // The size counts the material list's chunk header too.
        EXPECT_EQ(bytes.size(), RpPatchMeshStreamGetSize(mesh));
        RpPatchMesh *read = Read(bytes);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->flags, mesh->flags);
        EXPECT_EQ(read->normals != nullptr, (flags & rpPATCHMESHNORMALS) != 0);
        EXPECT_EQ(read->preLightColors != nullptr, (flags & rpPATCHMESHPRELIGHTS) != 0);
        EXPECT_EQ(std::memcmp(read->positions, mesh->positions, 16 * sizeof(RwV3d)), 0);
        EXPECT_EQ(read->quadPatches[0].cpIndices[0], 15u);
        EXPECT_EQ(read->texCoords[0][3].v, -3.0f);
        EXPECT_EQ(read->matList.numMaterials, 1);
        RpPatchMeshDestroy(read);
        RpPatchMeshDestroy(mesh);
    }
}

TEST_F(PatchTest, CountsAndIndicesFromTheFileAreChecked)
{
    RpPatchMesh *mesh = MakeMesh(rpPATCHMESHPOSITIONS);
    std::vector<RwUInt8> good = Write(mesh);
    RpPatchMeshDestroy(mesh);
    // A control-point index past the points.
    std::vector<RwUInt8> bad = good;
    const size_t quadStart = 20 + 12 * 16 + 8 * 16;
    bad[quadStart] = 16;
    EXPECT_EQ(Read(bad), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_READ);
    // A material index past the list.
    bad = good;
    bad[quadStart + 64] = 1;
    EXPECT_EQ(Read(bad), nullptr);
    rwtest::TakeError();
    // Counts larger than the data: refused before anything is allocated.
    bad = good;
    bad[4] = 0xFF;
    bad[5] = 0xFF;
    EXPECT_EQ(Read(bad), nullptr);
    rwtest::TakeError();
    bad = good;
    bad[16] = 9;  // nine texture-coordinate sets
    EXPECT_EQ(Read(bad), nullptr);
    rwtest::TakeError();
    // A short stream.
    bad.assign(good.begin(), good.begin() + 100);
    EXPECT_EQ(Read(bad), nullptr);
    rwtest::TakeError();
}

TEST_F(PatchTest, BatchesSplitBeforeSixteenBitIndicesRunOut)
{
    // 209 quad patches in one mesh at LOD 12: 208 fit (312 + 2 indices each).
    const RwUInt32 patches = 209;
    RpGeometry *geometry = RpGeometryCreate(16, 0, rpGEOMETRYPOSITIONS);
    ASSERT_NE(geometry, nullptr);
    auto *header = static_cast<RpMeshHeader *>(
        RpMeshAllocate(sizeof(RpMeshHeader) + sizeof(RpMesh) + patches * 16 * sizeof(RwUInt16)));
    header->flags = 0;
    header->numMeshes = 1;
    header->serialNum = 1;
    header->totalIndicesInMesh = patches * 16;
    header->firstMeshOffset = 0;
    RpMesh *mesh = RpMeshHeaderGetMeshes(header);
    mesh->indices = reinterpret_cast<RwUInt16 *>(mesh + 1);
    mesh->numIndices = patches * 16;
    mesh->material = nullptr;
    for (RwUInt32 i = 0; i < patches * 16; ++i) mesh->indices[i] = static_cast<RwUInt16>(i % 16);
    RpMeshHeader *old = geometry->mesh;
    geometry->mesh = header;
    std::vector<RpPatchBatch> batches(patches + 1);
    const RwUInt32 count = RpPatchPlanBatches(geometry, 12, batches.data(), static_cast<RwUInt32>(batches.size()));
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(batches[0].numPatches, 208u);
    EXPECT_EQ(batches[1].firstPatch, 208u);
    EXPECT_LE(batches[0].numIndices, 65535u);
    EXPECT_LE(batches[0].numVertices, 65536u);
    // Two LOD-1 quads share a batch joined by two repeated indices.
    EXPECT_EQ(RpPatchPlanBatches(geometry, 1, batches.data(), 1), 1u);
    EXPECT_EQ(batches[0].numIndices, patches * 4 + (patches - 1) * 2);
    geometry->mesh = old;
    RwFree(header);
    RpGeometryDestroy(geometry);
}

}  // namespace

}  // namespace rppatch_test
