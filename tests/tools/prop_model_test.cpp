// The sample-data maker's prop model against the engine's readers: it reads
// back field for field, the engine's writers re-write it byte for byte, and
// damaged copies of it are refused cleanly.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "rwsdk/world/world_test_support.h"
#include "support/engine/scratch_path.h"
#include "tools/mkdata/data_tree.h"
#include "tools/mkdata/model_writer.h"
#include "tools/mkdata/prop_model.h"

namespace prop_model_test {

namespace {

using rwtest::WorldTest;
using rwtest::WrittenBy;

std::vector<RwUInt8> PropBytes()
{
    RpClump *prop = mkdata::BuildPropClump();
    EXPECT_NE(prop, nullptr);
    std::vector<RwUInt8> bytes =
        WrittenBy([&](RwStream *stream) { EXPECT_TRUE(mkdata::WriteClumpChunk(prop, stream)); });
    RpClumpDestroy(prop);
    return bytes;
}

// Reads a clump chunk (header included) the way the game's loader does;
// with `failAt`, the failAt-th allocation after the stream is open fails.
RpClump *ReadClump(std::vector<RwUInt8> bytes, size_t failAt = 0)
{
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    if (stream == nullptr) {
        return nullptr;
    }
    if (failAt != 0) {
        rwtest::CountingMemory::FailAt(rwtest::CountingMemory::Allocations() + failAt);
    }
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    RpClump *clump = nullptr;
    if (RwStreamFindChunk(stream, rwID_CLUMP, &length, &version)) {
        RwUInt64 saved = RwStreamEnterChunk(stream, length);
        clump = RpClumpStreamRead(stream);
        RwStreamLeaveChunk(stream, saved);
    }
    rwtest::CountingMemory::FailAt(0);
    RwStreamClose(stream, nullptr);
    return clump;
}

std::vector<RpAtomic *> Atomics(RpClump *clump)
{
    std::vector<RpAtomic *> atomics;
    RpClumpForAllAtomics(
        clump,
        [](RpAtomic *a, void *d) {
            static_cast<std::vector<RpAtomic *> *>(d)->push_back(a);
            return a;
        },
        &atomics);
    return atomics;
}

void ExpectSameGeometry(const RpGeometry *a, const RpGeometry *b)
{
    ASSERT_EQ(a->flags, b->flags);
    ASSERT_EQ(a->numVertices, b->numVertices);
    ASSERT_EQ(a->numTriangles, b->numTriangles);
    ASSERT_EQ(a->numMorphTargets, b->numMorphTargets);
    ASSERT_EQ(a->numTexCoordSets, b->numTexCoordSets);
    const size_t nv = static_cast<size_t>(a->numVertices);
    if (a->preLitLum != nullptr) {
        EXPECT_EQ(std::memcmp(a->preLitLum, b->preLitLum, 4 * nv), 0);
    }
    for (RwInt32 s = 0; s < a->numTexCoordSets; ++s) {
        EXPECT_EQ(std::memcmp(a->texCoords[s], b->texCoords[s], 8 * nv), 0);
    }
    EXPECT_EQ(std::memcmp(a->triangles, b->triangles, 8 * static_cast<size_t>(a->numTriangles)), 0);
    for (RwInt32 m = 0; m < a->numMorphTargets; ++m) {
        EXPECT_EQ(std::memcmp(&a->morphTarget[m].boundingSphere, &b->morphTarget[m].boundingSphere, 16), 0);
        EXPECT_EQ(std::memcmp(a->morphTarget[m].verts, b->morphTarget[m].verts, 12 * nv), 0);
        EXPECT_EQ(std::memcmp(a->morphTarget[m].normals, b->morphTarget[m].normals, 12 * nv), 0);
    }
    ASSERT_EQ(a->matList.numMaterials, b->matList.numMaterials);
    for (RwInt32 i = 0; i < a->matList.numMaterials; ++i) {
        const RpMaterial *ma = a->matList.materials[i];
        const RpMaterial *mb = b->matList.materials[i];
        EXPECT_EQ(std::memcmp(&ma->color, &mb->color, 4), 0);
        EXPECT_EQ(std::memcmp(&ma->surfaceProps, &mb->surfaceProps, 12), 0);
        EXPECT_EQ(ma->texture, mb->texture);
        // A repeated slot reads back as the same material, not a copy.
        EXPECT_EQ(RpMaterialListFindMaterialIndex(&a->matList, ma) == i,
                  RpMaterialListFindMaterialIndex(&b->matList, mb) == i);
    }
    // The mesh header came from the bin-mesh data, identical to the built one.
    ASSERT_EQ(a->mesh->numMeshes, b->mesh->numMeshes);
    ASSERT_EQ(a->mesh->flags, b->mesh->flags);
    for (RwUInt32 m = 0; m < a->mesh->numMeshes; ++m) {
        const RpMesh &x = RpMeshHeaderGetMeshes(a->mesh)[m];
        const RpMesh &y = RpMeshHeaderGetMeshes(b->mesh)[m];
        ASSERT_EQ(x.numIndices, y.numIndices);
        EXPECT_EQ(std::memcmp(x.indices, y.indices, 2 * x.numIndices), 0);
        EXPECT_EQ(RpMaterialListFindMaterialIndex(&a->matList, x.material),
                  RpMaterialListFindMaterialIndex(&b->matList, y.material));
    }
}

// The maker's own plug-in set, so the data tree is written as `mkdata` writes it.
class PropModelTest : public WorldTest {
protected:
    PropModelTest() : WorldTest(mkdata::AttachPlugins) {}
    void SetUp() override
    {
        WorldTest::SetUp();
        ASSERT_TRUE(mkdata::CreatePropTextures());
    }
};

TEST_F(PropModelTest, ReadsBackEveryFieldAsWritten)
{
    RpClump *original = mkdata::BuildPropClump();
    ASSERT_NE(original, nullptr);
    std::vector<RwUInt8> bytes =
        WrittenBy([&](RwStream *stream) { EXPECT_TRUE(mkdata::WriteClumpChunk(original, stream)); });
    EXPECT_EQ(bytes.size(), rwCHUNKHEADERSIZE + mkdata::ClumpChunkBodySize(original));
    RpClump *read = ReadClump(bytes);
    ASSERT_NE(read, nullptr);

    std::vector<RpAtomic *> a = Atomics(original);
    std::vector<RpAtomic *> b = Atomics(read);
    ASSERT_EQ(a.size(), 2u);
    ASSERT_EQ(b.size(), a.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(RpAtomicGetFlags(a[i]), RpAtomicGetFlags(b[i]));
        EXPECT_EQ(std::memcmp(&a[i]->boundingSphere, &b[i]->boundingSphere, 16), 0);
        EXPECT_EQ(RwFrameCount(RpAtomicGetFrame(a[i])), RwFrameCount(RpAtomicGetFrame(b[i])));
        ExpectSameGeometry(a[i]->geometry, b[i]->geometry);
    }
    EXPECT_EQ(RwFrameCount(RpClumpGetFrame(read)), 4);

    ASSERT_EQ(RpClumpGetNumLights(read), 1);
    RpLight *light = nullptr;
    RpClumpForAllLights(
        read,
        [](RpLight *l, void *d) {
            *static_cast<RpLight **>(d) = l;
            return l;
        },
        &light);
    EXPECT_EQ(RpLightGetType(light), rpLIGHTPOINT);
    EXPECT_EQ(RpLightGetRadius(light), 6.0f);
    EXPECT_EQ(RpLightGetColor(light)->green, 0.8f);
    EXPECT_EQ(RpLightGetClump(light), read);

    // The lid frame (parent of the lamp's frame) carries the properties.
    RwFrame *lid = RwFrameGetParent(RpAtomicGetFrame(b[0]) == RpClumpGetFrame(read) ? RpAtomicGetFrame(b[1])
                                                                                     : RpAtomicGetFrame(b[0]));
    ASSERT_EQ(RpUserDataFrameGetNumArrays(lid), 2);
    RpUserDataArray *props = RpUserDataFrameGetArray(lid, 0);
    EXPECT_STREQ(RpUserDataArrayGetName(props), "3dsmax User Properties");
    EXPECT_EQ(RpUserDataArrayGetFormat(props), rpSTRINGUSERDATA);
    EXPECT_STREQ(RpUserDataArrayGetString(props, 0), mkdata::PropUserProperties());
    EXPECT_EQ(RpUserDataArrayGetInt(RpUserDataFrameGetArray(lid, 1), 0), 3514100);

    RpClumpDestroy(read);
    RpClumpDestroy(original);
}

TEST_F(PropModelTest, EngineWritersRewriteItByteForByte)
{
    std::vector<RwUInt8> first = PropBytes();
    RpClump *read = ReadClump(first);
    ASSERT_NE(read, nullptr);
    std::vector<RwUInt8> second =
        WrittenBy([&](RwStream *stream) { EXPECT_TRUE(mkdata::WriteClumpChunk(read, stream)); });
    EXPECT_EQ(first, second);

    // The engine's own writers alone: a material list and the frame list.
    RpGeometry *geometry = Atomics(read)[0]->geometry;
    std::vector<RwUInt8> list =
        WrittenBy([&](RwStream *s) { EXPECT_NE(RpMaterialListStreamWrite(&geometry->matList, s), nullptr); });
    EXPECT_EQ(list.size(), rwCHUNKHEADERSIZE + RpMaterialListStreamGetSize(&geometry->matList));
    EXPECT_NE(std::search(first.begin(), first.end(), list.begin(), list.end()), first.end());
    RpClumpDestroy(read);
}

TEST_F(PropModelTest, TruncatedCopiesAreRefused)
{
    std::vector<RwUInt8> bytes = PropBytes();
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        std::vector<RwUInt8> head(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        RpClump *clump = ReadClump(head);
        EXPECT_EQ(clump, nullptr) << "cut at " << cut;
        if (clump != nullptr) {
            RpClumpDestroy(clump);
        }
        rwtest::TakeError();
    }
}

// Every 32-bit word of the file in turn set to values that break counts,
// sizes and indices; whatever the reader makes of it, it must not crash,
// over-read or leak (the sanitizers and the fixture's leak check watch).
TEST_F(PropModelTest, CorruptedWordsNeverCrashOrLeak)
{
    std::vector<RwUInt8> bytes = PropBytes();
    const RwUInt32 hostile[] = {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x00010000u, 0x0000FFFFu, 3u};
    for (size_t at = 0; at + 4 <= bytes.size(); ++at) {
        for (RwUInt32 value : hostile) {
            std::vector<RwUInt8> copy = bytes;
            std::memcpy(&copy[at], &value, 4);
            RpClump *clump = ReadClump(copy);
            if (clump != nullptr) {
                RpClumpDestroy(clump);
            }
            rwtest::TakeError();
        }
    }
}

TEST_F(PropModelTest, IndicesOutOfRangeAreRefused)
{
    std::vector<RwUInt8> bytes = PropBytes();
    RpClump *prop = mkdata::BuildPropClump();
    ASSERT_NE(prop, nullptr);
    RpGeometry *crate = nullptr;
    for (RpAtomic *a : Atomics(prop)) {
        if (a->geometry->numVertices == 24) {
            crate = a->geometry;
        }
    }
    ASSERT_NE(crate, nullptr);
    // The first triangle's two words are the first 8 bytes after the
    // vertex arrays: find them by value and spoil a vertex, then a material.
    RwUInt32 w0 = (static_cast<RwUInt32>(crate->triangles[0].vertIndex[0]) << 16) | crate->triangles[0].vertIndex[1];
    RwUInt32 w1 = (static_cast<RwUInt32>(crate->triangles[0].vertIndex[2]) << 16) |
                  static_cast<RwUInt16>(crate->triangles[0].matIndex);
    RpClumpDestroy(prop);
    size_t at = 0;
    for (size_t i = 0; i + 8 <= bytes.size(); ++i) {
        RwUInt32 a;
        RwUInt32 b;
        std::memcpy(&a, &bytes[i], 4);
        std::memcpy(&b, &bytes[i + 4], 4);
        if (a == w0 && b == w1) {
            at = i;
            break;
        }
    }
    ASSERT_NE(at, 0u);
    const RwUInt32 badVertex = (24u << 16) | (w0 & 0xFFFF);
    const RwUInt32 badMaterial = (w1 & 0xFFFF0000u) | 3u;
    for (auto [offset, value] : {std::pair<size_t, RwUInt32>{at, badVertex}, {at + 4, badMaterial}}) {
        std::vector<RwUInt8> copy = bytes;
        std::memcpy(&copy[offset], &value, 4);
        EXPECT_EQ(ReadClump(copy), nullptr);
        rwtest::TakeError();
    }
}

// Every allocation the reader makes is failed in turn: each failure gives
// null and leaves nothing behind.
TEST_F(PropModelTest, AllocationFailureSweepOverTheReaders)
{
    std::vector<RwUInt8> bytes = PropBytes();
    size_t before = rwtest::CountingMemory::Allocations();
    RpClump *clump = ReadClump(bytes);
    ASSERT_NE(clump, nullptr);
    // Stream open and close are outside the sweep; what is left is the reader's.
    size_t needed = rwtest::CountingMemory::Allocations() - before;
    ASSERT_GT(needed, 10u);
    RpClumpDestroy(clump);
    for (size_t n = 1; n <= needed; ++n) {
        size_t live = rwtest::CountingMemory::LiveBlocks();
        clump = ReadClump(bytes, n);
        if (clump != nullptr) {
            // The failed allocation was one the reader may do without
            // (a free-list block already had room, for instance).
            RpClumpDestroy(clump);
        }
        EXPECT_EQ(rwtest::CountingMemory::LiveBlocks(), live) << "failing allocation " << n;
        rwtest::TakeError();
    }
}

TEST_F(PropModelTest, DataTreeHoldsTheModelAndItsTextures)
{
    std::string root = rwtest::ScratchPath("mkdata-tree");
    ASSERT_TRUE(mkdata::WriteDataTree(root));
    std::filesystem::path folder = std::filesystem::path(root) / mkdata::PropModelFolder();
    EXPECT_TRUE(std::filesystem::exists(folder / mkdata::PropModelName()));
    for (const char *name : {"CRATE_WOOD.BMP", "CRATE_METAL.BMP", "LAMP_GLASS.BMP"}) {
        EXPECT_TRUE(std::filesystem::exists(folder / "TEXTURES" / name)) << name;
    }
    std::string model = (folder / mkdata::PropModelName()).string();
    RwStream *stream = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMREAD, model.c_str());
    ASSERT_NE(stream, nullptr);
    RwUInt32 length = 0;
    ASSERT_TRUE(RwStreamFindChunk(stream, rwID_CLUMP, &length, nullptr));
    RpClump *clump = RpClumpStreamRead(stream);
    RwStreamClose(stream, nullptr);
    ASSERT_NE(clump, nullptr);
    EXPECT_EQ(RpClumpGetNumAtomics(clump), 2);
    RpClumpDestroy(clump);
    std::filesystem::remove_all(root);
}

}  // namespace

}  // namespace prop_model_test
