// Geometry: texture-set counts from the format word, native geometries,
// morph targets keeping their data, lock/unlock editing, reference counts,
// and the struct reader's checks against the chunk and its own counts.
#include <cstring>

#include "rwsdk/world/world_test_support.h"

namespace bageomet_test {

namespace {

using rwtest::WorldTest;

class GeometryTest : public WorldTest {};

TEST_F(GeometryTest, TextureSetsComeFromTheFormatWord)
{
    RpGeometry *three = RpGeometryCreate(4, 2, rpGEOMETRYTEXCOORDSETS(3) | rpGEOMETRYTEXTURED);
    EXPECT_EQ(three->numTexCoordSets, 3);
    EXPECT_EQ(three->flags & (rpGEOMETRYTEXTURED | rpGEOMETRYTEXTURED2), rpGEOMETRYTEXTURED2);
    EXPECT_NE(three->texCoords[2], nullptr);
    EXPECT_EQ(three->texCoords[3], nullptr);
    EXPECT_EQ(three->triangles[1].matIndex, -1);
    RpGeometry *two = RpGeometryCreate(4, 0, rpGEOMETRYTEXTURED2);
    EXPECT_EQ(two->numTexCoordSets, 2);
    RpGeometry *one = RpGeometryCreate(4, 0, rpGEOMETRYTEXTURED);
    EXPECT_EQ(one->numTexCoordSets, 1);
    EXPECT_EQ(one->flags & rpGEOMETRYTEXTURED2, 0u);
    for (RpGeometry *g : {three, two, one}) {
        RpGeometryDestroy(g);
    }
    EXPECT_EQ(RpGeometryCreate(65536, 0, 0), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RP_WORLD_TOOMANYVERTICES);
    EXPECT_EQ(RpGeometryCreate(-1, 0, 0), nullptr);
}

TEST_F(GeometryTest, NativeGeometryHasNoArrays)
{
    RpGeometry *g = RpGeometryCreate(10, 4, rpGEOMETRYNATIVE | rpGEOMETRYPRELIT | rpGEOMETRYNORMALS | rpGEOMETRYTEXTURED);
    EXPECT_EQ(g->preLitLum, nullptr);
    EXPECT_EQ(g->texCoords[0], nullptr);
    EXPECT_EQ(g->triangles, nullptr);
    EXPECT_EQ(g->morphTarget[0].verts, nullptr);
    EXPECT_EQ(g->morphTarget[0].normals, nullptr);
    RpGeometryDestroy(g);
}

TEST_F(GeometryTest, AddingMorphTargetsKeepsTheirData)
{
    RpGeometry *g = RpGeometryCreate(3, 0, rpGEOMETRYNORMALS);
    for (int i = 0; i < 3; ++i) {
        g->morphTarget[0].verts[i] = {1.0f * i, 2.0f, 3.0f};
        g->morphTarget[0].normals[i] = {0.0f, 1.0f * i, 0.0f};
    }
    EXPECT_EQ(RpGeometryAddMorphTargets(g, 2), 1);
    g->morphTarget[2].verts[2] = {9, 9, 9};
    EXPECT_EQ(RpGeometryAddMorphTargets(g, 1), 3);
    EXPECT_EQ(g->numMorphTargets, 4);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(g->morphTarget[0].verts[i].x, 1.0f * i);
        EXPECT_EQ(g->morphTarget[0].normals[i].y, 1.0f * i);
    }
    EXPECT_EQ(g->morphTarget[2].verts[2].z, 9.0f);
    EXPECT_EQ(g->morphTarget[3].parentGeom, g);
    RpGeometryDestroy(g);
}

TEST_F(GeometryTest, LockingCoordinatesKeepsTheMesh)
{
    RpMaterial *m = RpMaterialCreate();
    RpGeometry *g = RpGeometryCreate(3, 1, rpGEOMETRYTEXTURED);
    g->triangles[0] = {{0, 1, 2}, -1};
    RpGeometryTriangleSetMaterial(g, &g->triangles[0], m);
    RpMaterialDestroy(m);
    ASSERT_NE(RpGeometryUnlock(g), nullptr);
    RpMeshHeader *mesh = g->mesh;
    RpGeometryLock(g, rpGEOMETRYLOCKTEXCOORDS1);
    g->texCoords[0][1] = {0.5f, 0.5f};
    RpGeometryUnlock(g);
    EXPECT_EQ(g->mesh, mesh);
    EXPECT_EQ(g->lockedSinceLastInst, rpGEOMETRYLOCKTEXCOORDS1);
    RwUInt16 serial = mesh->serialNum;
    RpGeometryLock(g, rpGEOMETRYLOCKPOLYGONS);
    EXPECT_EQ(g->mesh, nullptr);
    RpGeometryUnlock(g);
    EXPECT_NE(g->mesh->serialNum, serial);
    // A triangle without a material cannot join a mesh.
    RpGeometryLock(g, rpGEOMETRYLOCKPOLYGONS);
    g->triangles[0].matIndex = -1;
    EXPECT_EQ(RpGeometryUnlock(g), nullptr);
    rwtest::TakeError();
    RpGeometryDestroy(g);
}

TEST_F(GeometryTest, SpaceAndReferenceCounting)
{
    RpGeometry *g = RpGeometryCreateSpace(4.0f);
    EXPECT_EQ(g->numVertices, 0);
    EXPECT_EQ(g->morphTarget[0].boundingSphere.radius, 4.0f);
    EXPECT_EQ(g->mesh, RpMeshGetEmptyHeader());
    RpGeometryAddRef(g);
    EXPECT_TRUE(RpGeometryDestroy(g));
    EXPECT_EQ(g->refCount, 1);
    RpGeometryDestroy(g);
}

// A geometry struct as written at version `version`.
std::vector<RwUInt8> GeometryStruct(RwUInt32 version, RwUInt32 format, RwInt32 tris, RwInt32 verts, RwInt32 morphs,
                                    const std::vector<RwUInt32> &body)
{
    return rwtest::WrittenBy([&](RwStream *s) {
        RwUInt32 extra = version <= 0x34000 ? 12 : 0;
        RwStreamWriteChunkHeader(s, rwID_STRUCT, 16 + extra + 4 * static_cast<RwUInt32>(body.size()), version, 0xFFFF);
        RwStreamWriteUInt32(s, format);
        RwStreamWriteInt32(s, tris);
        RwStreamWriteInt32(s, verts);
        RwStreamWriteInt32(s, morphs);
        if (extra != 0) {
            RwStreamWriteReal(s, 0.25f);
            RwStreamWriteReal(s, 0.5f);
            RwStreamWriteReal(s, 0.75f);
        }
        for (RwUInt32 w : body) {
            RwStreamWriteUInt32(s, w);
        }
        RwStreamWriteChunkHeader(s, rwID_MATLIST, 12 + 8 + 12 + 40, version, 0xFFFF);
        RwStreamWriteChunkHeader(s, rwID_STRUCT, 8, version, 0xFFFF);
        RwStreamWriteInt32(s, 1);
        RwStreamWriteInt32(s, -1);
        RwStreamWriteChunkHeader(s, rwID_MATERIAL, 12 + 16 + 12, version, 0xFFFF);
        RwStreamWriteChunkHeader(s, rwID_STRUCT, 16, version, 0xFFFF);  // no surface properties
        for (RwUInt32 w : {0u, 0xFFFFFFFFu, 0u, 0u}) {
            RwStreamWriteUInt32(s, w);
        }
        RwStreamWriteChunkHeader(s, rwID_EXTENSION, 0, version, 0xFFFF);
        RwStreamWriteChunkHeader(s, rwID_EXTENSION, 0, version, 0xFFFF);
    });
}

RpGeometry *ReadGeometry(std::vector<RwUInt8> bytes)
{
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    RpGeometry *g = RpGeometryStreamRead(stream);
    RwStreamClose(stream, nullptr);
    return g;
}

// One triangle (0, 1, 2) with material 0 and its single morph target.
std::vector<RwUInt32> TriangleBody(RwUInt32 v2 = 2, RwUInt32 material = 0)
{
    std::vector<RwUInt32> body = {(0u << 16) | 1u, (v2 << 16) | material, 0, 0, 0, 0x3F800000u, 1, 0};
    for (int i = 0; i < 9; ++i) {
        body.push_back(0);
    }
    return body;
}

TEST_F(GeometryTest, OldStreamsCarrySurfacePropertiesForTheirMaterials)
{
    RpGeometry *g = ReadGeometry(GeometryStruct(0x34000, rpGEOMETRYPOSITIONS, 1, 3, 1, TriangleBody()));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->matList.materials[0]->surfaceProps.specular, 0.5f);
    EXPECT_EQ(RpMaterialGetDefaultSurfaceProperties()->specular, 1.0f);
    EXPECT_EQ(g->mesh->numMeshes, 1u);
    RpGeometryDestroy(g);
    g = ReadGeometry(GeometryStruct(0x34001, rpGEOMETRYPOSITIONS, 1, 3, 1, TriangleBody()));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->matList.materials[0]->surfaceProps.specular, 1.0f);
    RpGeometryDestroy(g);
    rwtest::TakeError();
}

TEST_F(GeometryTest, CountsAndIndicesAreCheckedAgainstTheChunk)
{
    struct Case {
        RwInt32 tris, verts, morphs;
        std::vector<RwUInt32> body;
    };
    const Case cases[] = {
        {1, 3, 1, TriangleBody(3)},        // vertex index past the vertices
        {1, 3, 1, TriangleBody(2, 1)},     // material index past the list
        {0x10000000, 3, 1, TriangleBody()},  // triangles past the struct
        {1, 3, 0x7FFFFFF, TriangleBody()},   // morph targets past the struct
        {1, 3, 0, TriangleBody()},           // no morph target at all
        {-1, 3, 1, TriangleBody()},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ReadGeometry(GeometryStruct(0x35000, rpGEOMETRYPOSITIONS, c.tris, c.verts, c.morphs, c.body)),
                  nullptr);
        rwtest::TakeError();
    }
    // Normals the format does not have are refused rather than written anywhere.
    std::vector<RwUInt32> body = TriangleBody();
    body[7] = 1;
    EXPECT_EQ(ReadGeometry(GeometryStruct(0x35000, rpGEOMETRYPOSITIONS, 1, 3, 1, body)), nullptr);
    rwtest::TakeError();
}

// A geometry of no vertices whose morph target says it carries positions and
// normals: there is nothing to read, and no array is touched (the sanitizer
// build would stop at a pointer formed from a missing array).
TEST_F(GeometryTest, AGeometryWithoutVerticesReadsWithoutTouchingItsArrays)
{
    const std::vector<RwUInt32> target = {0, 0, 0, 0x3F800000u, 1, 1};
    RpGeometry *g = ReadGeometry(GeometryStruct(0x35000, rpGEOMETRYPOSITIONS | rpGEOMETRYNORMALS, 0, 0, 1, target));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->numVertices, 0);
    EXPECT_EQ(g->numTriangles, 0);
    ASSERT_EQ(g->numMorphTargets, 1);
    EXPECT_EQ(g->morphTarget[0].boundingSphere.radius, 1.0f);
    ASSERT_NE(g->mesh, nullptr);
    EXPECT_EQ(g->mesh->numMeshes, 0u);
    RpGeometryDestroy(g);
    rwtest::TakeError();
}

}  // namespace

}  // namespace bageomet_test
