// Instancing atomics: built once and reused, refreshed after a geometry
// lock (only the locked components, into the same slots of a compacted
// mesh), dropped when the arena evicts it.
#include <cstring>
#include <vector>

#include "rwsdk/world/pipe/p2/d3d8/world_pipe_test_support.h"

namespace nodeD3D8AtomicAllInOne_test {

namespace {

using worldpipetest::WorldPipeTest;

int instanceCalls = 0;

RwBool CountingInstance(void *object, RpD3D8MeshInstance *instance, RwBool reinstance)
{
    ++instanceCalls;
    return RpD3D8AtomicInstanceCallback(object, instance, reinstance);
}

class AtomicInstancingTest : public WorldPipeTest {
protected:
    void SetUp() override
    {
        WorldPipeTest::SetUp();
        ASSERT_TRUE(StartWorldEngine());
        camera = MakeCamera();
        RxPipelineNode *node =
            RwPipelineFindNodeByName(RpAtomicGetDefaultPipeline(), "nodeD3D8AtomicAllInOne.csl", nullptr, nullptr);
        ASSERT_NE(node, nullptr);
        static_cast<RpD3D8AllInOneNodeData *>(node->privateData)->instanceCallback = CountingInstance;
        instanceCalls = 0;
    }
    void TearDown() override
    {
        if (atomic != nullptr) {
            RwFrame *frame = RpAtomicGetFrame(atomic);
            RpAtomicSetFrame(atomic, nullptr);
            RpAtomicDestroy(atomic);
            RwFrameDestroy(frame);
        }
        if (geometry != nullptr) {
            RpGeometryDestroy(geometry);
        }
        if (material != nullptr) {
            RpMaterialDestroy(material);
        }
        DestroyCamera(camera);
        WorldPipeTest::TearDown();
    }
    // A textured geometry of `numVerts` vertices whose triangles use
    // `indices` (triples), one material.
    void Build(RwInt32 numVerts, const std::vector<RwUInt16> &indices)
    {
        const RwInt32 numTris = static_cast<RwInt32>(indices.size() / 3);
        geometry = RpGeometryCreate(numVerts, numTris, rpGEOMETRYPOSITIONS | rpGEOMETRYTEXTURED);
        ASSERT_NE(geometry, nullptr);
        material = RpMaterialCreate();
        for (RwInt32 v = 0; v < numVerts; ++v) {
            geometry->morphTarget[0].verts[v] = {static_cast<RwReal>(v), 0.0f, 1.0f};
            geometry->texCoords[0][v] = {static_cast<RwReal>(v), 0.5f};
        }
        for (RwInt32 t = 0; t < numTris; ++t) {
            RpTriangle &tri = geometry->triangles[t];
            tri.vertIndex[0] = indices[3 * t];
            tri.vertIndex[1] = indices[3 * t + 1];
            tri.vertIndex[2] = indices[3 * t + 2];
            RpGeometryTriangleSetMaterial(geometry, &tri, material);
        }
        ASSERT_NE(RpGeometryUnlock(geometry), nullptr);
        atomic = RpAtomicCreate();
        RpAtomicSetFrame(atomic, RwFrameCreate());
        RpAtomicSetGeometry(atomic, geometry, 0);
    }
    bool Render()
    {
        RwCameraBeginUpdate(camera);
        bool ok = RpAtomicRender(atomic) != nullptr;
        RwCameraEndUpdate(camera);
        return ok;
    }
    RpD3D8MeshInstance *Mesh() { return RpD3D8InstanceDataGetMeshes(RpD3D8ResEntryGetInstanceData(geometry->repEntry)); }
    // The u of buffer vertex `i` of the first mesh.
    RwReal BufferU(RwUInt32 i)
    {
        RpD3D8MeshInstance *m = Mesh();
        BYTE *bytes = nullptr;
        EXPECT_GE(m->vertexBuffer->Lock(m->baseIndex * m->stride, m->numVertices * m->stride, &bytes, 0), 0);
        RwReal u = 0;
        std::memcpy(&u, bytes + i * m->stride + 12, 4);
        m->vertexBuffer->Unlock();
        return u;
    }

    RwCamera *camera = nullptr;
    RpGeometry *geometry = nullptr;
    RpMaterial *material = nullptr;
    RpAtomic *atomic = nullptr;
};

TEST_F(AtomicInstancingTest, DrawnTwiceIsInstancedOnce)
{
    Build(4, {0, 1, 2, 0, 2, 3});
    ASSERT_TRUE(Render());
    RwResEntry *entry = geometry->repEntry;
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(instanceCalls, 1);
    ASSERT_TRUE(Render());
    EXPECT_EQ(instanceCalls, 1);
    EXPECT_EQ(geometry->repEntry, entry);
}

TEST_F(AtomicInstancingTest, LockReinstancesOnlyWhatWasLocked)
{
    Build(4, {0, 1, 2, 0, 2, 3});
    ASSERT_TRUE(Render());
    RpGeometryLock(geometry, rpGEOMETRYLOCKTEXCOORDS1);
    geometry->texCoords[0][2].u = 9.0f;
    geometry->morphTarget[0].verts[2].x = 42.0f;  // not locked: stays
    RpGeometryUnlock(geometry);
    ASSERT_TRUE(Render());
    EXPECT_EQ(instanceCalls, 2);
    EXPECT_FLOAT_EQ(BufferU(2), 9.0f);
    RpD3D8MeshInstance *m = Mesh();
    BYTE *bytes = nullptr;
    ASSERT_GE(m->vertexBuffer->Lock(m->baseIndex * m->stride, m->numVertices * m->stride, &bytes, 0), 0);
    RwReal x = 0;
    std::memcpy(&x, bytes + 2 * m->stride, 4);
    m->vertexBuffer->Unlock();
    EXPECT_FLOAT_EQ(x, 2.0f);
    EXPECT_EQ(geometry->lockedSinceLastInst, 0);
}

// Re-instancing a compacted mesh used to run the compaction again over the
// already renumbered indices, find nothing to compact and fill the slots
// from the uncompacted range: the scrolled texture coordinates landed on
// the wrong vertices.
TEST_F(AtomicInstancingTest, CompactedMeshKeepsItsMappingWhenReinstanced)
{
    // Indices use vertices 10, 19 and 14 of a 20-vertex geometry; the
    // range 10..19 shrinks to 3 vertices in first-use order.
    Build(20, {10, 19, 14});
    ASSERT_TRUE(Render());
    RpD3D8MeshInstance *m = Mesh();
    ASSERT_EQ(m->remapped, 1);
    ASSERT_EQ(m->numVertices, 3u);
    EXPECT_FLOAT_EQ(BufferU(1), 19.0f);
    RpGeometryLock(geometry, rpGEOMETRYLOCKTEXCOORDS1);
    for (RwInt32 v = 0; v < 20; ++v) {
        geometry->texCoords[0][v].u += 100.0f;
    }
    RpGeometryUnlock(geometry);
    ASSERT_TRUE(Render());
    EXPECT_EQ(Mesh()->remapped, 1);
    EXPECT_FLOAT_EQ(BufferU(0), 110.0f);
    EXPECT_FLOAT_EQ(BufferU(1), 119.0f);
    EXPECT_FLOAT_EQ(BufferU(2), 114.0f);
}

TEST_F(AtomicInstancingTest, ArenaEvictionClearsTheOwnersPointer)
{
    Build(4, {0, 1, 2, 0, 2, 3});
    ASSERT_TRUE(Render());
    ASSERT_NE(geometry->repEntry, nullptr);
    RwResourcesEmptyArena();
    EXPECT_EQ(geometry->repEntry, nullptr);
    ASSERT_TRUE(Render());
    EXPECT_EQ(instanceCalls, 2);
    EXPECT_NE(geometry->repEntry, nullptr);
}

TEST_F(AtomicInstancingTest, IndexedMeshIsRebasedToItsRange)
{
    Build(20, {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 10, 12, 11, 13, 15, 14, 16, 17, 18, 19, 11});
    ASSERT_TRUE(Render());
    RpD3D8MeshInstance *m = Mesh();
    EXPECT_EQ(m->minVertexIndex, 10u);
    EXPECT_EQ(m->numVertices, 10u);
    EXPECT_EQ(m->remapped, 0);
    EXPECT_EQ(m->stride, 20u);
    EXPECT_EQ(m->vertexShader, 0x102u);
}

}  // namespace

}  // namespace nodeD3D8AtomicAllInOne_test
