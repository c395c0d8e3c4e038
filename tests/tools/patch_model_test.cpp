// The maker's patch model read back through the engine: the atomic comes
// back on the patch pipeline sharing its geometry's patch mesh; the mesh
// keeps its control points, normals, colours, texture coordinates, patch
// kinds, control indices and textured material; the control geometry the
// renderer reads marks the first patch a quad and the second a triangle;
// a second write gives the same bytes; the file lands under its 8.3 name;
// and the model drawn headless covers the quad's and the triangle's area
// and nothing beyond the triangle's slanted edge.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "rppatch.h"
#include "rwsdk/plugin/matfx/surface_screen.h"
#include "rwsdk/world/world_test_support.h"
#include "support/engine/scratch_path.h"
#include "tools/mkdata/model_writer.h"
#include "tools/mkdata/patch_model.h"
#include "tools/model_test_support.h"

namespace patch_model_test {

namespace {

bool AttachPatches() { return RpWorldPluginAttach() && RpPatchPluginAttach(); }

// A texture as the game holds one read from its file: on a raster.
RwTexture *ByName(const RwChar *name, const RwChar *) { return mkdata::CreateTextureReference(name); }

using modeltest::FirstAtomic;

std::vector<RwUInt8> Bytes(RpClump *clump) { return modeltest::ClumpBytes(clump); }
RpClump *Read(std::vector<RwUInt8> bytes) { return modeltest::ReadClumpBytes(std::move(bytes)); }

void ExpectSameV3d(const RwV3d &a, const RwV3d &b, RwUInt32 i)
{
    EXPECT_EQ(a.x, b.x) << "control point " << i;
    EXPECT_EQ(a.y, b.y) << "control point " << i;
    EXPECT_EQ(a.z, b.z) << "control point " << i;
}

class PatchModelTest : public rwtest::WorldTest {
protected:
    PatchModelTest() : WorldTest(AttachPatches) {}
    void SetUp() override
    {
        WorldTest::SetUp();
        RwTextureSetReadCallBack(ByName);
    }
};

TEST_F(PatchModelTest, PatchMeshAndControlGeometryReadBackAsWritten)
{
    RpClump *made = mkdata::BuildPatchClump();
    ASSERT_NE(made, nullptr);
    const std::vector<RwUInt8> bytes = Bytes(made);
    RpClumpDestroy(made);
    RpClump *clump = Read(bytes);
    ASSERT_NE(clump, nullptr);
    RpAtomic *atomic = FirstAtomic(clump);
    ASSERT_NE(atomic, nullptr);
    RpGeometry *geometry = RpAtomicGetGeometry(atomic);
    ASSERT_NE(geometry, nullptr);
    const RpPatchMesh *mesh = RpPatchGeometryGetMesh(geometry);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->geometry, geometry);
    EXPECT_EQ(RpPatchAtomicGetMesh(atomic), mesh);
    EXPECT_EQ(atomic->pipeline, RpPatchGetGenericAtomicPipeline());

    RpPatchMesh *expected = mkdata::BuildPatchMesh();
    ASSERT_NE(expected, nullptr);
    EXPECT_EQ(mesh->flags, mkdata::kPatchMeshFlags);
    EXPECT_EQ(mesh->numControlPoints, 26u);
    EXPECT_EQ(mesh->numQuadPatches, 1u);
    EXPECT_EQ(mesh->numTriPatches, 1u);
    ASSERT_EQ(mesh->numTexCoordSets, 1u);
    ASSERT_NE(mesh->normals, nullptr);
    ASSERT_NE(mesh->preLightColors, nullptr);
    for (RwUInt32 i = 0; i < mesh->numControlPoints; ++i) {
        ExpectSameV3d(mesh->positions[i], expected->positions[i], i);
        ExpectSameV3d(mesh->normals[i], expected->normals[i], i);
        EXPECT_EQ(mesh->texCoords[0][i].u, expected->texCoords[0][i].u) << i;
        EXPECT_EQ(mesh->texCoords[0][i].v, expected->texCoords[0][i].v) << i;
        EXPECT_EQ(mesh->preLightColors[i].alpha, 255u) << i;
    }
    // Quad then triangle, each on its own control points, in net order.
    for (RwUInt32 k = 0; k < rpQUADPATCHNUMCONTROLINDICES; ++k) {
        EXPECT_EQ(mesh->quadPatches[0].cpIndices[k], k);
    }
    for (RwUInt32 k = 0; k < rpTRIPATCHNUMCONTROLINDICES; ++k) {
        EXPECT_EQ(mesh->triPatches[0].cpIndices[k], 16 + k);
    }
    EXPECT_EQ(mesh->quadPatches[0].matIndex, 0u);
    EXPECT_EQ(mesh->triPatches[0].matIndex, 0u);
    // Corners: the quad spans x -2..0, the triangle (0,-1) (2,-1) (0,1);
    // the texture runs across both, u from 0 at the left to 1 at the right.
    EXPECT_EQ(mesh->positions[0].x, -2.0f);
    EXPECT_EQ(mesh->positions[15].x, 0.0f);
    EXPECT_EQ(mesh->positions[16 + 3].x, 2.0f);
    EXPECT_EQ(mesh->positions[16 + 9].y, 1.0f);
    EXPECT_EQ(mesh->texCoords[0][0].u, 0.0f);
    EXPECT_EQ(mesh->texCoords[0][16 + 3].u, 1.0f);
    EXPECT_LT(mesh->positions[5].z, 0.0f);  // interior points bulge toward -z
    EXPECT_LT(mesh->positions[16 + 5].z, 0.0f);
    ASSERT_EQ(mesh->matList.numMaterials, 1);
    ASSERT_NE(mesh->matList.materials[0]->texture, nullptr);
    EXPECT_STREQ(mesh->matList.materials[0]->texture->name, mkdata::PatchTextureName());
    RpPatchMeshDestroy(expected);

    // The control geometry the renderer reads.
    ASSERT_EQ(geometry->numVertices, 26);
    EXPECT_EQ(geometry->numTriangles, 0);
    ASSERT_EQ(geometry->numTexCoordSets, 1);
    ASSERT_NE(geometry->morphTarget[0].normals, nullptr);
    ASSERT_NE(geometry->preLitLum, nullptr);
    for (RwUInt32 i = 0; i < mesh->numControlPoints; ++i) {
        ExpectSameV3d(geometry->morphTarget[0].verts[i], mesh->positions[i], i);
        ExpectSameV3d(geometry->morphTarget[0].normals[i], mesh->normals[i], i);
        EXPECT_EQ(geometry->texCoords[0][i].u, mesh->texCoords[0][i].u) << i;
        EXPECT_EQ(geometry->texCoords[0][i].v, mesh->texCoords[0][i].v) << i;
    }
    ASSERT_NE(geometry->mesh, nullptr);
    ASSERT_EQ(geometry->mesh->numMeshes, 1u);
    const RpMesh *indices = RpMeshHeaderGetMeshes(geometry->mesh);
    ASSERT_EQ(indices->numIndices, 32u);
    ASSERT_NE(indices->material, nullptr);
    ASSERT_NE(indices->material->texture, nullptr);
    EXPECT_STREQ(indices->material->texture->name, mkdata::PatchTextureName());
    for (RwUInt32 k = 0; k < 16; ++k) {
        EXPECT_EQ(indices->indices[k], k);
    }
    for (RwUInt32 k = 0; k < 10; ++k) {
        EXPECT_EQ(indices->indices[16 + k], 16 + k);
    }
    EXPECT_FALSE(RpPatchIsTriangle(geometry, indices->indices));
    EXPECT_TRUE(RpPatchIsTriangle(geometry, indices->indices + 16));
    RpPatchBatch batches[4];
    ASSERT_EQ(RpPatchPlanBatches(geometry, 4, batches, 4), 1u);
    EXPECT_EQ(batches[0].numPatches, 2u);
    EXPECT_EQ(batches[0].numVertices, RpPatchQuadVertexCount(4) + RpPatchTriVertexCount(4));

    EXPECT_EQ(Bytes(clump), bytes);
    RpClumpDestroy(clump);
}

TEST_F(PatchModelTest, FileUnderItsShortNameReadsBackToTheSameBytes)
{
    const std::string root = rwtest::ScratchPath("mkdata-patch");
    ASSERT_TRUE(mkdata::WritePatchModel(root));
    const std::filesystem::path file =
        std::filesystem::path(root) / mkdata::PatchModelFolder() / mkdata::PatchModelName();
    EXPECT_EQ(file.filename().string(), "PATCH01.DFF");
    ASSERT_TRUE(std::filesystem::exists(file));
    RwStream *stream = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMREAD, file.string().c_str());
    ASSERT_NE(stream, nullptr);
    RwUInt32 length = 0;
    ASSERT_TRUE(RwStreamFindChunk(stream, rwID_CLUMP, &length, nullptr));
    RpClump *clump = RpClumpStreamRead(stream);
    RwStreamClose(stream, nullptr);
    ASSERT_NE(clump, nullptr);
    RpClump *made = mkdata::BuildPatchClump();
    ASSERT_NE(made, nullptr);
    const std::vector<RwUInt8> written = Bytes(made);
    RpClumpDestroy(made);
    EXPECT_EQ(std::filesystem::file_size(file), written.size());
    EXPECT_EQ(Bytes(clump), written);
    RpClumpDestroy(clump);
    std::filesystem::remove_all(root);
}

// ---- drawn through the device

using namespace surfacescreen;

constexpr RwUInt32 kTexel = 0xFFC08040u;  // the stand-in texture's one colour
const RwRGBA kBlack = {0, 0, 0, 255};

RwTexture *SolidByName(const RwChar *name, const RwChar *)
{
    RwTexture *texture = SolidTexture(kTexel);
    if (texture != nullptr) {
        RwTextureSetName(texture, name);
    }
    return texture;
}

class PatchModelScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.Start(d3d8::DefaultProfile()));
        // Eight pixels to the unit: x in -4..4, y in -3..3 at z = 0.
        screen.Place({0.0f, 0.0f, -8.0f}, 0.5f);
        RwTextureSetReadCallBack(SolidByName);
        RpClump *made = mkdata::BuildPatchClump();
        ASSERT_NE(made, nullptr);
        const std::vector<RwUInt8> bytes = Bytes(made);
        RpClumpDestroy(made);
        clump = Read(bytes);
        ASSERT_NE(clump, nullptr);
    }
    void TearDown() override
    {
        if (clump != nullptr) {
            RpClumpDestroy(clump);
        }
        EXPECT_TRUE(screen.Stop());
    }
    // The pixel of world point (x, y) on the z = 0 plane: the camera's
    // right vector, +x, points to the left of the screen.
    static RwUInt32 At(const win::Frame &f, RwReal x, RwReal y)
    {
        const auto px = static_cast<RwUInt32>(32.0f - 8.0f * x);
        const auto py = static_cast<RwUInt32>(24.0f - 8.0f * y);
        return Rgb(f.At(px, py));
    }

    Screen screen;
    RpClump *clump = nullptr;
};

TEST_F(PatchModelScreenTest, QuadAndTrianglePatchesCoverTheirOutline)
{
    const win::Frame shot = screen.Capture(kBlack, [&] { EXPECT_NE(RpClumpRender(clump), nullptr); });
    ASSERT_EQ(shot.width, kWidth);
    const RwUInt32 texel = Rgb(kTexel);
    // Inside the quad (x -2..0) and the triangle (x + y below 1 right of 0).
    for (const RwV2d p : {RwV2d{-1.0f, 0.0f}, RwV2d{-1.7f, 0.7f}, RwV2d{-0.3f, -0.7f}, RwV2d{0.4f, 0.0f},
                          RwV2d{1.3f, -0.7f}, RwV2d{0.3f, 0.5f}}) {
        EXPECT_TRUE(ColourNear(At(shot, p.x, p.y), texel)) << p.x << ", " << p.y;
    }
    // Beyond the outline: past the quad's left side, above and below the
    // panel, and beyond the triangle's slanted edge (where a quad would be).
    for (const RwV2d p : {RwV2d{-2.4f, 0.0f}, RwV2d{-1.0f, 1.4f}, RwV2d{0.5f, -1.4f}, RwV2d{1.5f, 0.6f},
                          RwV2d{0.9f, 0.7f}, RwV2d{2.4f, -0.7f}}) {
        EXPECT_EQ(At(shot, p.x, p.y), 0u) << p.x << ", " << p.y;
    }
}

}  // namespace

}  // namespace patch_model_test
