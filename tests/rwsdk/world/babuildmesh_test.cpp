// Build meshes: the sort order of triangles (a strict ordering even with a
// material repeated in the list), the tri-list generator and its reorder.
#include <algorithm>
#include <random>

#include "rwsdk/world/world_test_support.h"

namespace babuildmesh_test {

namespace {

using rwtest::WorldTest;

class BuildMeshTest : public WorldTest {};

RpBuildMeshTriangle Tri(RpMaterial *m, RwUInt16 matIndex, RwUInt16 texture = 0)
{
    return {{0, 1, 2}, m, matIndex, texture, 0, 0};
}

TEST_F(BuildMeshTest, TranslucentMaterialsSortAfterOpaqueOnes)
{
    RpMaterial *opaque = RpMaterialCreate();
    RpMaterial *faded = RpMaterialCreate();
    const RwRGBA half = {255, 255, 255, 128};
    RpMaterialSetColor(faded, &half);
    RpBuildMeshTriangle a = Tri(opaque, 1);
    RpBuildMeshTriangle b = Tri(faded, 0);
    EXPECT_LT(RpBuildMeshTriangleCompare(&a, &b), 0);
    EXPECT_GT(RpBuildMeshTriangleCompare(&b, &a), 0);
    RpMaterialDestroy(opaque);
    RpMaterialDestroy(faded);
}

// A material in slots 0 and 2 with another in slot 1: by stored index the
// comparison would say A(0) = B(2) but A < C(1) < B, which is no ordering.
// The generator must still give one mesh per material, the repeated one
// first.
TEST_F(BuildMeshTest, RepeatedMaterialStillSortsIntoOneMesh)
{
    RpMaterial *wood = RpMaterialCreate();
    RpMaterial *metal = RpMaterialCreate();
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        RpBuildMesh *build = RpBuildMeshCreate(0);
        for (RwUInt16 i = 0; i < 30; ++i) {
            int slot = static_cast<int>(random() % 3);
            RpBuildMeshAddTriangle(build, slot == 1 ? metal : wood, i, i + 1, i + 2, static_cast<RwUInt16>(slot), 0, 0, 0);
        }
        std::vector<RpBuildMeshTriangle> tris(build->meshTriangles, build->meshTriangles + build->numTriangles);
        RpMeshHeader *header = RpBuildMeshGenerate(build, FALSE);
        ASSERT_NE(header, nullptr);
        const RpMesh *meshes = RpMeshHeaderGetMeshes(header);
        ASSERT_EQ(header->numMeshes, 2u);
        EXPECT_EQ(meshes[0].material, wood);
        EXPECT_EQ(meshes[1].material, metal);
        auto count = [&](RpMaterial *m) {
            return 3u * static_cast<RwUInt32>(std::count_if(tris.begin(), tris.end(),
                                                            [&](const RpBuildMeshTriangle &t) { return t.material == m; }));
        };
        EXPECT_EQ(meshes[0].numIndices, count(wood));
        EXPECT_EQ(meshes[1].numIndices, count(metal));
        RpMeshHeaderDestroy(header);
    }
    // The comparison itself is antisymmetric and transitive on such sets.
    RpBuildMeshTriangle t[3] = {Tri(wood, 0), Tri(metal, 1), Tri(wood, 2)};
    EXPECT_EQ(RpBuildMeshTriangleCompare(&t[0], &t[2]), 0);
    EXPECT_LT(RpBuildMeshTriangleCompare(&t[0], &t[1]), 0);
    RpMaterialDestroy(wood);
    RpMaterialDestroy(metal);
}

TEST_F(BuildMeshTest, TriListReorderMakesPassesOfDisjointTriangles)
{
    RwUInt16 indices[] = {0, 1, 2, 1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(RpMeshReorderTriList(indices, 9));
    const RwUInt16 expected[] = {0, 1, 2, 4, 5, 6, 1, 2, 3};
    EXPECT_TRUE(std::equal(indices, indices + 9, expected));
}

TEST_F(BuildMeshTest, EmptyBuildMeshGivesTheSharedHeader)
{
    EXPECT_EQ(RpBuildMeshGenerate(nullptr, FALSE), nullptr);
    RpMeshHeader *header = RpBuildMeshGenerate(RpBuildMeshCreate(4), TRUE);
    EXPECT_EQ(header, RpMeshGetEmptyHeader());
    EXPECT_TRUE(RpMeshHeaderDestroy(header));
}

TEST_F(BuildMeshTest, BinMeshOfANativeOwnerCarriesNoIndices)
{
    RpMaterial *material = RpMaterialCreate();
    RpMaterialList list;
    RpMaterialListInitialize(&list);
    RpMaterialListAppendMaterial(&list, material);
    RpBuildMesh *build = RpBuildMeshCreate(2);
    RpBuildMeshAddTriangle(build, material, 0, 1, 2, 0, 0, 0, 0);
    RpBuildMeshAddTriangle(build, material, 2, 1, 3, 0, 0, 0, 0);
    RpMeshHeader *header = RpBuildMeshGenerate(build, FALSE);
    EXPECT_EQ(RpMeshStreamGetSize(header, TRUE), 12 + 8);
    EXPECT_EQ(RpMeshStreamGetSize(header, FALSE), 12 + 8 + 4 * 6);
    std::vector<RwUInt8> bytes = rwtest::WrittenBy([&](RwStream *s) { RpMeshStreamWrite(header, s, FALSE, &list); });
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    RpMeshHeader *read = RpMeshStreamRead(stream, static_cast<RwInt32>(bytes.size()), FALSE, &list, 4);
    RwStreamClose(stream, nullptr);
    ASSERT_NE(read, nullptr);
    EXPECT_NE(read->serialNum, header->serialNum);
    EXPECT_TRUE(std::equal(RpMeshHeaderGetMeshes(read)[0].indices, RpMeshHeaderGetMeshes(read)[0].indices + 6,
                           RpMeshHeaderGetMeshes(header)[0].indices));
    // An index naming a vertex past the owner's is refused.
    stream = rwtest::OpenMemoryRead(bytes, &desc);
    EXPECT_EQ(RpMeshStreamRead(stream, static_cast<RwInt32>(bytes.size()), FALSE, &list, 3), nullptr);
    RwStreamClose(stream, nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_READ);
    // A mesh naming a material past the list is refused.
    bytes[16] = 5;
    stream = rwtest::OpenMemoryRead(bytes, &desc);
    EXPECT_EQ(RpMeshStreamRead(stream, static_cast<RwInt32>(bytes.size()), FALSE, &list, 4), nullptr);
    RwStreamClose(stream, nullptr);
    rwtest::TakeError();
    RpMeshHeaderDestroy(read);
    RpMeshHeaderDestroy(header);
    RpMaterialListDeinitialize(&list);
    RpMaterialDestroy(material);
}

}  // namespace

}  // namespace babuildmesh_test
