// Clumps and atomics: destruction never leaves a freed atomic in its
// clump, walks survive callbacks that destroy, clones keep the documented
// order and reference counts, and world spheres follow their frames.
#include "rwsdk/world/world_test_support.h"
#include "rwtexture.h"

namespace baclump_test {

namespace {

using rwtest::WorldTest;

class ClumpTest : public WorldTest {
protected:
    // A clump with atomics A, B, C (list order) on child frames, sharing one
    // textured geometry; the clump's own geometry reference is dropped.
    RpClump *MakeClump(RpAtomic **atomics, RpGeometry **geometry, RwTexture **texture)
    {
        RpClump *clump = RpClumpCreate();
        RwFrame *root = RwFrameCreate();
        RpClumpSetFrame(clump, root);
        *texture = RwTextureCreate(nullptr);
        RpMaterial *material = RpMaterialCreate();
        RpMaterialSetTexture(material, *texture);
        *geometry = RpGeometryCreate(3, 1, rpGEOMETRYPOSITIONS);
        RpGeometryTriangleSetMaterial(*geometry, &(*geometry)->triangles[0], material);
        (*geometry)->triangles[0] = {{0, 1, 2}, 0};
        (*geometry)->morphTarget[0].boundingSphere = {{0, 0, 0}, 1.0f};
        RpGeometryUnlock(*geometry);
        RpMaterialDestroy(material);
        for (int i = 2; i >= 0; --i) {
            RwFrame *frame = RwFrameCreate();
            RwFrameAddChild(root, frame);
            atomics[i] = RpAtomicCreate();
            RpAtomicSetFrame(atomics[i], frame);
            RpAtomicSetGeometry(atomics[i], *geometry, 0);
            RpClumpAddAtomic(clump, atomics[i]);
        }
        return clump;
    }
};

std::vector<RpAtomic *> ListOf(RpClump *clump)
{
    std::vector<RpAtomic *> out;
    RpClumpForAllAtomics(
        clump,
        [](RpAtomic *a, void *d) {
            static_cast<std::vector<RpAtomic *> *>(d)->push_back(a);
            return a;
        },
        &out);
    return out;
}

TEST_F(ClumpTest, DestroyingAnAtomicTakesItOutOfItsClump)
{
    RpAtomic *atomics[3];
    RpGeometry *geometry;
    RwTexture *texture;
    RpClump *clump = MakeClump(atomics, &geometry, &texture);
    RpGeometryDestroy(geometry);
    RpAtomicDestroy(atomics[1]);
    EXPECT_EQ(ListOf(clump), (std::vector<RpAtomic *>{atomics[0], atomics[2]}));
    EXPECT_EQ(RpClumpGetNumAtomics(clump), 2);
    RpClumpDestroy(clump);
    RwTextureDestroy(texture);
}

TEST_F(ClumpTest, ForAllAtomicsSurvivesACallbackThatDestroys)
{
    RpAtomic *atomics[3];
    RpGeometry *geometry;
    RwTexture *texture;
    RpClump *clump = MakeClump(atomics, &geometry, &texture);
    RpGeometryDestroy(geometry);
    int visited = 0;
    RpClumpForAllAtomics(
        clump,
        [](RpAtomic *a, void *d) {
            ++*static_cast<int *>(d);
            RpAtomicDestroy(a);
            return a;
        },
        &visited);
    EXPECT_EQ(visited, 3);
    EXPECT_EQ(RpClumpGetNumAtomics(clump), 0);
    RpClumpDestroy(clump);
    RwTextureDestroy(texture);
}

TEST_F(ClumpTest, CloneReversesAtomicsAndSharesReferences)
{
    RpAtomic *atomics[3];
    RpGeometry *geometry;
    RwTexture *texture;
    RpClump *clump = MakeClump(atomics, &geometry, &texture);
    RpMaterial *material = geometry->matList.materials[0];
    RpLight *light = RpLightCreate(rpLIGHTAMBIENT);
    RpLightSetFrame(light, RpClumpGetFrame(clump));
    RpClumpAddLight(clump, light);
    EXPECT_EQ(geometry->refCount, 4);
    EXPECT_EQ(material->refCount, 1);
    EXPECT_EQ(texture->refCount, 2);

    RpClump *copy = RpClumpClone(clump);
    ASSERT_NE(copy, nullptr);
    std::vector<RpAtomic *> copies = ListOf(copy);
    ASSERT_EQ(copies.size(), 3u);
    // The copy of C comes first: clones are prepended.
    EXPECT_EQ(RwFrameGetParent(RpAtomicGetFrame(copies[0])), RpClumpGetFrame(copy));
    EXPECT_NE(RpClumpGetFrame(copy), RpClumpGetFrame(clump));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(copies[static_cast<size_t>(i)]->geometry, geometry);
        EXPECT_EQ(RpAtomicGetClump(copies[static_cast<size_t>(i)]), copy);
    }
    EXPECT_EQ(RpClumpGetNumLights(copy), 0);
    EXPECT_EQ(geometry->refCount, 7);
    EXPECT_EQ(material->refCount, 1);
    EXPECT_EQ(texture->refCount, 2);

    RpClumpDestroy(clump);
    EXPECT_EQ(geometry->refCount, 4);
    RpClumpDestroy(copy);
    EXPECT_EQ(geometry->refCount, 1);
    EXPECT_EQ(texture->refCount, 2);
    RpGeometryDestroy(geometry);
    EXPECT_EQ(texture->refCount, 1);
    RwTextureDestroy(texture);
}

TEST_F(ClumpTest, CloneOfAFramelessAtomicFails)
{
    RpClump *clump = RpClumpCreate();
    RpClumpSetFrame(clump, RwFrameCreate());
    RpClumpAddAtomic(clump, RpAtomicCreate());
    EXPECT_EQ(RpClumpClone(clump), nullptr);
    RwError error = rwtest::TakeError();
    EXPECT_EQ(error.pluginID, rwID_WORLD);
    EXPECT_EQ(error.errorCode, E_RP_WORLD_FRAMELESSATOMIC);
    RpClumpDestroy(clump);
}

TEST_F(ClumpTest, LightsAndCamerasLeaveTheirClumpWhenDestroyed)
{
    RpClump *clump = RpClumpCreate();
    RpLight *light = RpLightCreate(rpLIGHTPOINT);
    RwCamera *camera = RwCameraCreate();
    RpClumpAddLight(clump, light);
    RpClumpAddCamera(clump, camera);
    EXPECT_EQ(RpLightGetClump(light), clump);
    EXPECT_EQ(RwCameraGetClump(camera), clump);
    RpLightDestroy(light);
    RwCameraDestroy(camera);
    EXPECT_EQ(RpClumpGetNumLights(clump), 0);
    EXPECT_EQ(RpClumpGetNumCameras(clump), 0);
    RpClumpDestroy(clump);
}

TEST_F(ClumpTest, RenderSkipsAtomicsWithoutTheRenderFlag)
{
    RpAtomic *atomics[3];
    RpGeometry *geometry;
    RwTexture *texture;
    RpClump *clump = MakeClump(atomics, &geometry, &texture);
    RpGeometryDestroy(geometry);
    static int rendered;
    rendered = 0;
    for (RpAtomic *a : atomics) {
        RpAtomicSetRenderCallBack(a, [](RpAtomic *x) {
            ++rendered;
            return x;
        });
    }
    RpAtomicSetFlags(atomics[1], rpATOMICCOLLISIONTEST);
    EXPECT_EQ(RpClumpRender(clump), clump);
    EXPECT_EQ(rendered, 2);
    RpClumpDestroy(clump);
    RwTextureDestroy(texture);
}

TEST_F(ClumpTest, WorldSphereScalesWithANonOrthonormalFrame)
{
    RpGeometry *geometry = RpGeometryCreate(0, 0, 0);
    geometry->morphTarget[0].boundingSphere = {{1, 0, 0}, 1.5f};
    RpAtomic *atomic = RpAtomicCreate();
    RwFrame *frame = RwFrameCreate();
    RpAtomicSetFrame(atomic, frame);
    RpAtomicSetGeometry(atomic, geometry, 0);
    RpGeometryDestroy(geometry);
    const RwV3d two = {2, 2, 2};
    RwMatrixScale(RwFrameGetMatrix(frame), &two, rwCOMBINEREPLACE);
    RwFrameMarkDirty(frame);
    const RwSphere *sphere = RpAtomicGetWorldBoundingSphere(atomic);
    EXPECT_NEAR(sphere->radius, 3.0f, 0.01f);
    EXPECT_NEAR(sphere->center.x, 2.0f, 1e-5f);
    RpAtomicDestroy(atomic);
    RwFrameDestroy(frame);
}

}  // namespace

}  // namespace baclump_test
