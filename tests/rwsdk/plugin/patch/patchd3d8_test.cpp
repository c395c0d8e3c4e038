// The patch node on screen: one quad patch whose top and bottom edges bow
// out drawn through the patch pipeline, its refinement kept in the
// geometry's resource entry across draws, refined again in place (same
// entry) when its control points move, and rebuilt when the LOD changes.
#include "plugin/patch/patchpriv.h"
#include "rwsdk/plugin/matfx/surface_screen.h"

namespace patchd3d8_test {

namespace {

using namespace surfacescreen;

const RwRGBA kBlack = {0, 0, 0, 255};

RwUInt32 FixedLOD(RpAtomic *, void *data) { return *static_cast<RwUInt32 *>(data); }

class PatchScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.Start(d3d8::DefaultProfile()));
        // Eight pixels to the unit: x in -4..4, y in -3..3 at z = 0.
        screen.Place({0.0f, 0.0f, -8.0f}, 0.5f);
        material = RpMaterialCreate();
        ASSERT_TRUE(MakePatchAtomic());
    }
    void TearDown() override
    {
        DestroyAtomic(atomic);
        if (mesh != nullptr) {
            RpPatchMeshDestroy(mesh);
        }
        RpMaterialDestroy(material);
        EXPECT_TRUE(screen.Stop());
    }
    // A white 2 x 2 patch on a regular control grid, the middle control
    // points of its top and bottom rows pulled one unit further out: those
    // edges bow to +-1.75 at the middle and stay at +-1 at the corners.
    bool MakePatchAtomic()
    {
        RpGeometry *g = RpGeometryCreate(16, 0, rpGEOMETRYPOSITIONS | rpGEOMETRYPRELIT | rpGEOMETRYTEXTURED);
        if (g == nullptr) {
            return false;
        }
        RpPatchMeshDefinition definition = {rpPATCHMESHPOSITIONS | rpPATCHMESHPRELIGHTS | rpPATCHMESHTEXCOORDSETS(1),
                                            16, 0, 1, 1};
        mesh = RpPatchMeshCreate(&definition);
        for (RwInt32 k = 0; k < 16; ++k) {
            const RwInt32 row = k / 4, column = k % 4;
            RwV3d p = {-1.0f + 2.0f * column / 3.0f, -1.0f + 2.0f * row / 3.0f, 0.0f};
            if ((column == 1 || column == 2) && (row == 0 || row == 3)) {
                p.y += row == 0 ? -1.0f : 1.0f;
            }
            g->morphTarget[0].verts[k] = p;
            g->preLitLum[k] = {255, 255, 255, 255};
            g->texCoords[0][k] = {0.0f, 0.0f};  // u 0 at control 5: a quad patch
            mesh->positions[k] = p;
            mesh->preLightColors[k] = g->preLitLum[k];
            mesh->texCoords[0][k] = g->texCoords[0][k];
            mesh->quadPatches[0].cpIndices[k] = static_cast<RwUInt32>(k);
        }
        mesh->quadPatches[0].matIndex = 0;
        RpMaterialListAppendMaterial(&mesh->matList, material);
        // The control geometry: one mesh of sixteen control indices.
        auto *header = static_cast<RpMeshHeader *>(
            RpMeshAllocate(sizeof(RpMeshHeader) + sizeof(RpMesh) + 16 * sizeof(RwUInt16)));
        header->flags = 0;
        header->numMeshes = 1;
        header->serialNum = 1;
        header->totalIndicesInMesh = 16;
        header->firstMeshOffset = 0;
        RpMesh *m = RpMeshHeaderGetMeshes(header);
        m->indices = reinterpret_cast<RwUInt16 *>(m + 1);
        m->numIndices = 16;
        m->material = material;
        for (RwUInt16 i = 0; i < 16; ++i) {
            m->indices[i] = i;
        }
        RpMeshHeader *old = g->mesh;
        g->mesh = header;
        if (old != nullptr) {
            RwFree(old);
        }
        g->morphTarget[0].boundingSphere = {{0.0f, 0.0f, 0.0f}, 2.5f};
        RpPatchGeometrySetMesh(g, mesh);
        atomic = MakeAtomic(g);
        PatchAtomicData *data = PatchAtomicGetData(atomic);
        data->mesh = RpPatchMeshAddRef(mesh);
        RpPatchAtomicSetPipeline(atomic);
        RpPatchAtomicSetLODCallBack(atomic, FixedLOD, &lod);
        return atomic != nullptr;
    }
    win::Frame Draw()
    {
        return screen.Capture(kBlack, [&] { EXPECT_NE(RpAtomicRender(atomic), nullptr); });
    }
    // Screen pixel of world point (x, y) on the z = 0 plane, either way up.
    static bool White(const win::Frame &f, RwReal x, RwReal y)
    {
        const auto px = static_cast<RwUInt32>(32.0f + 8.0f * x);
        const auto up = static_cast<RwUInt32>(24.0f - 8.0f * y);
        const auto down = static_cast<RwUInt32>(24.0f + 8.0f * y);
        return Rgb(f.At(px, up)) == 0xFFFFFFu && Rgb(f.At(px, down)) == 0xFFFFFFu;
    }
    static bool Black(const win::Frame &f, RwReal x, RwReal y)
    {
        const auto px = static_cast<RwUInt32>(32.0f + 8.0f * x);
        const auto up = static_cast<RwUInt32>(24.0f - 8.0f * y);
        const auto down = static_cast<RwUInt32>(24.0f + 8.0f * y);
        return Rgb(f.At(px, up)) == 0u && Rgb(f.At(px, down)) == 0u;
    }

    Screen screen;
    RpMaterial *material = nullptr;
    RpPatchMesh *mesh = nullptr;
    RpAtomic *atomic = nullptr;
    RwUInt32 lod = 8;
};

TEST_F(PatchScreenTest, RefinedPatchShowsItsCurvedEdges)
{
    const win::Frame shot = Draw();
    EXPECT_TRUE(White(shot, 0.0f, 0.0f));
    EXPECT_TRUE(White(shot, 0.0f, 1.55f));   // inside the bow (1.75 at the middle)
    EXPECT_TRUE(Black(shot, 0.0f, 1.95f));   // beyond it
    EXPECT_TRUE(Black(shot, -0.85f, 1.55f)); // near the corners the edge is still near 1
    EXPECT_TRUE(White(shot, -0.85f, 0.9f));
    EXPECT_TRUE(Black(shot, 1.2f, 0.0f));    // the straight sides stay at +-1
    ExpectMatchesReference(shot, "tests/rwsdk/plugin/patch/reference", "bowed_patch.png");
}

TEST_F(PatchScreenTest, MovedControlPointsAreRefinedInPlace)
{
    Draw();
    RpGeometry *g = RpAtomicGetGeometry(atomic);
    RwResEntry *entry = g->repEntry;
    ASSERT_NE(entry, nullptr);
    Draw();
    EXPECT_EQ(g->repEntry, entry);
    // Move the whole net 1.5 units along x; a vertex lock marks it.
    for (RwInt32 k = 0; k < 16; ++k) {
        g->morphTarget[0].verts[k].x += 1.5f;
    }
    g->lockedSinceLastInst |= rpGEOMETRYLOCKVERTICES;
    const win::Frame moved = Draw();
    EXPECT_EQ(g->repEntry, entry);
    EXPECT_EQ(g->lockedSinceLastInst, 0u);
    const bool rightward = Rgb(moved.At(32 + 20, 24)) == 0xFFFFFFu;  // x = 2.5 either way round
    const bool leftward = Rgb(moved.At(32 - 20, 24)) == 0xFFFFFFu;
    EXPECT_NE(rightward, leftward);
    EXPECT_EQ(Rgb(moved.At(32 - 4, 24)), 0u);  // x = -0.5: left behind
    // Another LOD needs other buffers: a new entry.
    lod = 3;
    Draw();
    EXPECT_NE(g->repEntry, nullptr);
    EXPECT_EQ(RpD3D8InstanceDataGetMeshes(RpD3D8ResEntryGetInstanceData(g->repEntry))->numVertices,
              RpPatchQuadVertexCount(3));
}

}  // namespace

}  // namespace patchd3d8_test
