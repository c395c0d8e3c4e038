// See-through models on the game's own engine start-up and rasteriser: a
// model across the camera-to-hero line goes to the translucent list and is
// drawn after the others at its alpha, models off the line are drawn as
// they are, and the list draws farthest first.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/camera_frame.h"
#include "app/game_system.h"
#include "camera_test_support.h"
#include "d3d8/d3d8_platform.h"
#include "rwsdk/driver/d3d8/d3d8device.h"
#include "stage/clump_fade.h"
#include "tests/app/app_test_support.h"
#include "support/game/diagnostics_capture.h"
#include "tools/model_test_support.h"

namespace clump_fade_test {

namespace {

constexpr uint32_t kWidth = 64;
constexpr uint32_t kHeight = 48;

// A square of half-size `half` facing -z at `centre`, prelit in `colour`,
// lit (so the lit pipeline draws it) and not modulating its material colour.
// With `twoSlots` its one material fills two slots of its material list, a
// triangle each, as a stored model may hold a material it repeats.
RpClump *MakeSquare(RpWorld *world, const RwV3d &centre, RwReal half, RwRGBA colour, bool morphs = false,
                    bool twoSlots = false)
{
    RpGeometry *geometry =
        RpGeometryCreate(4, 2, rpGEOMETRYPOSITIONS | rpGEOMETRYNORMALS | rpGEOMETRYPRELIT | rpGEOMETRYLIGHT);
    RpMaterial *material = RpMaterialCreate();
    const RwV3d corners[4] = {{-half, -half, 0}, {half, -half, 0}, {half, half, 0}, {-half, half, 0}};
    for (int i = 0; i < 4; ++i) {
        geometry->morphTarget[0].verts[i] = corners[i];
        geometry->morphTarget[0].normals[i] = {0, 0, -1};
        geometry->preLitLum[i] = colour;
    }
    const RwUInt16 tris[2][3] = {{0, 1, 2}, {0, 2, 3}};
    for (int t = 0; t < 2; ++t) {
        for (int k = 0; k < 3; ++k) {
            geometry->triangles[t].vertIndex[k] = tris[t][k];
        }
        RpGeometryTriangleSetMaterial(geometry, &geometry->triangles[t], material);
    }
    if (twoSlots) {
        RpMaterialListAppendMaterial(&geometry->matList, material);
        geometry->triangles[1].matIndex = 1;
    }
    RpMaterialDestroy(material);  // the geometry holds it
    geometry->morphTarget[0].boundingSphere = {{0, 0, 0}, half * 1.4143f};
    if (morphs) {
        // A second morph target like the first: each atomic builds its own vertices.
        RpGeometryAddMorphTargets(geometry, 1);
        for (int i = 0; i < 4; ++i) {
            geometry->morphTarget[1].verts[i] = corners[i];
            geometry->morphTarget[1].normals[i] = {0, 0, -1};
        }
        geometry->morphTarget[1].boundingSphere = geometry->morphTarget[0].boundingSphere;
    }
    RpGeometryUnlock(geometry);
    RpClump *clump = RpClumpCreate();
    RwFrame *frame = RwFrameCreate();
    RpClumpSetFrame(clump, frame);
    RwFrameTranslate(frame, &centre, rwCOMBINEREPLACE);
    RpAtomic *atomic = RpAtomicCreate();
    RpAtomicSetFrame(atomic, frame);
    RpAtomicSetGeometry(atomic, geometry, 0);
    RpGeometryDestroy(geometry);
    RpClumpAddAtomic(clump, atomic);
    RpWorldAddClump(world, clump);
    return clump;
}

struct Rgb {
    int r, g, b;
};
Rgb Split(uint32_t pixel) { return {int(pixel >> 16 & 0xFF), int(pixel >> 8 & 0xFF), int(pixel & 0xFF)}; }
::testing::AssertionResult Close(uint32_t pixel, Rgb want, int tolerance = 6)
{
    const Rgb got = Split(pixel);
    if (std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
        std::abs(got.b - want.b) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "got (" << got.r << ", " << got.g << ", " << got.b << "), want ("
                                         << want.r << ", " << want.g << ", " << want.b << ")";
}

class ClumpFadeTest : public apptest::GameEngineTest {
protected:
    void SetUp() override
    {
        StartIn(apptest::ScratchFolder("clump_fade"), kWidth, kHeight);
        gametest::CaptureDiagnostics();
        ASSERT_TRUE(gs.Create(kWidth, kHeight, 1));
        gametest::TakeDiagnostics();
        const uint8_t black[4] = {0, 0, 0, 255};
        gs.SetAmbientColor(black);  // the squares show their prelit colours alone
        RpWorldAddCamera(gs.world, gs.camera);  // lit by the world's lights
        const RwMatrix view = cameratest::LookingAt(kEye, {0, 0, 0});
        RwFrameTransform(RwCameraGetFrame(gs.camera), &view, rwCOMBINEREPLACE);
        hero = MakeSquare(gs.world, {0, 0, 0}, 2.0f, {255, 0, 0, 255});
    }
    void TearDown() override
    {
        for (RpClump *clump : {hero, wall, far}) {
            if (clump != nullptr) {
                gs.DestroyClump(clump);
            }
        }
        RpWorldRemoveCamera(gs.world, gs.camera);
        gs.Destroy();
        apptest::GameEngineTest::TearDown();
    }
    // One frame: the wall (and the far wall) handed over before the hero,
    // then the translucent pass; the frame shown.
    win::Frame Draw(bool deferWalls)
    {
        ClearCamera(gs.camera);
        EXPECT_TRUE(BeginCameraUpdate(gs.camera));
        RwSetRenderState(rwRENDERSTATECULLMODE, RwRenderStateValue(rwCULLMODECULLNONE));
        const RwV3d focus = {0, 0, 0};
        for (RpClump *clump : {wall, far}) {
            if (clump != nullptr) {
                const bool kept = DeferIfBlocking(clump, 0.5f, kEye, &focus, deferWalls ? 1 : 0, &list);
                if (!kept) {
                    gs.RenderClump(clump);
                }
                deferred.push_back(kept);
            }
        }
        gs.RenderClump(hero);
        list.Draw();
        EndCameraUpdate(gs.camera);
        win::Frame frame;
        RwCameraShowRaster(gs.camera, nullptr, 0);
        EXPECT_TRUE(d3d8::GetLastPresentedFrame(rwD3D8Device.device, &frame));
        return frame;
    }

    static constexpr RwV3d kEye = {0, 0, -10};
    CSGameSystem gs;
    RpClump *hero = nullptr;
    RpClump *wall = nullptr;
    RpClump *far = nullptr;
    CSTranslucentList list;
    std::vector<bool> deferred;
};

TEST_F(ClumpFadeTest, AModelAcrossTheLineIsDrawnTranslucentAfterTheOthers)
{
    wall = MakeSquare(gs.world, {0, 0, -5}, 0.5f, {0, 0, 255, 255});
    Draw(false);  // its first draw builds its vertices plainly
    deferred.clear();
    const win::Frame frame = Draw(true);
    ASSERT_EQ(deferred, std::vector<bool>{true});
    EXPECT_EQ(list.Count(), 0u);  // drawn and emptied
    // With no list to wait in, the model is left to be drawn at once.
    const RwV3d focus = {0, 0, 0};
    EXPECT_FALSE(DeferIfBlocking(wall, 0.5f, kEye, &focus, 1, nullptr));
    // Handed over before the hero yet blended over it: half blue, half red.
    EXPECT_TRUE(Close(frame.At(32, 24), {128, 0, 127}));
    // Beside the wall (6.4 pixels across each way) the hero (12.8) shows
    // plainly; beyond both, the clear colour.
    EXPECT_TRUE(Close(frame.At(32 + 9, 24), {255, 0, 0}));
    EXPECT_TRUE(Close(frame.At(2, 2), {0, 0, 0}));
}

// A morphing model keeps its built vertices with its atomic, not its
// geometry: once drawn it fades like any other.
TEST_F(ClumpFadeTest, AMorphingModelAcrossTheLineFadesToo)
{
    wall = MakeSquare(gs.world, {0, 0, -5}, 0.5f, {0, 0, 255, 255}, true);
    Draw(false);
    deferred.clear();
    const win::Frame frame = Draw(true);
    ASSERT_EQ(deferred, std::vector<bool>{true});
    EXPECT_TRUE(Close(frame.At(32, 24), {128, 0, 127}));
}

// A material the list holds in two slots is one material: it fades once,
// both triangles blend at half, and the next frames find it as it was.
TEST_F(ClumpFadeTest, AMaterialInTwoSlotsFadesOnceAndIsGivenBack)
{
    for (const bool modulating : {false, true}) {
        SCOPED_TRACE(modulating ? "modulating" : "not modulating");
        wall = MakeSquare(gs.world, {0, 0, -5}, 0.5f, {0, 0, 255, 255}, false, true);
        RpGeometry *geometry = RpAtomicGetGeometry(modeltest::FirstAtomic(wall));
        ASSERT_EQ(RpGeometryGetNumMaterials(geometry), 2);
        RpMaterial *material = RpGeometryGetMaterial(geometry, 0);
        ASSERT_EQ(RpGeometryGetMaterial(geometry, 1), material);
        if (modulating) {
            geometry->flags |= rpGEOMETRYMODULATEMATERIALCOLOR;
        }
        const RwRGBA before = material->color;
        Draw(false);
        deferred.clear();
        for (int frame = 0; frame < 2; ++frame) {
            const win::Frame drawn = Draw(true);
            ASSERT_EQ(deferred.back(), true);
            // One point inside each triangle (either side of the diagonal).
            EXPECT_TRUE(Close(drawn.At(30, 26), {128, 0, 127}, 2)) << "frame " << frame;
            EXPECT_TRUE(Close(drawn.At(34, 22), {128, 0, 127}, 2)) << "frame " << frame;
            EXPECT_EQ(material->color.red, before.red);
            EXPECT_EQ(material->color.green, before.green);
            EXPECT_EQ(material->color.blue, before.blue);
            EXPECT_EQ(material->color.alpha, before.alpha);
        }
        // Off the line again it is drawn plainly.
        const win::Frame plain = Draw(false);
        EXPECT_TRUE(Close(plain.At(30, 26), {0, 0, 255}, 2));
        EXPECT_TRUE(Close(plain.At(34, 22), {0, 0, 255}, 2));
        gs.DestroyClump(wall);
        wall = nullptr;
        deferred.clear();
    }
}

TEST_F(ClumpFadeTest, AModelOffTheLineIsDrawnAsItIs)
{
    wall = MakeSquare(gs.world, {1.5f, 0, -5}, 0.2f, {0, 0, 255, 255});
    Draw(true);
    ASSERT_EQ(deferred, std::vector<bool>{false});
    const win::Frame frame = Draw(true);
    EXPECT_TRUE(Close(frame.At(32, 24), {255, 0, 0}));
    // The wall at x = 1.5 (5 units away, a view half-width of 2.5) stands
    // 19.2 pixels from the middle (the camera's right is the picture's left).
    EXPECT_TRUE(Close(frame.At(13, 24), {0, 0, 255}));
    EXPECT_FALSE(ClumpBlocksView(wall, kEye, {0, 0, 0}));
    EXPECT_TRUE(ClumpBlocksView(wall, kEye, {3.0f, 0, 0}));  // a hero behind it
}

TEST_F(ClumpFadeTest, TheListDrawsFarthestFirst)
{
    // Handed over nearest first; drawn farthest first, each at half alpha:
    // ((red + green) / 2 + blue) / 2.
    wall = MakeSquare(gs.world, {0, 0, -6}, 0.5f, {0, 0, 255, 255});
    far = MakeSquare(gs.world, {0, 0, -3}, 0.8f, {0, 255, 0, 255});
    Draw(false);
    deferred.clear();
    const win::Frame frame = Draw(true);
    ASSERT_EQ(deferred, (std::vector<bool>{true, true}));
    EXPECT_TRUE(Close(frame.At(32, 24), {64, 64, 128}, 8));
    // An actor without a model has nothing to wait in the list or to fade.
    RwSphere sphere;
    EXPECT_FALSE(ClumpWorldSphere(nullptr, &sphere));
    list.Add(nullptr, 0.5f, kEye);
    EXPECT_EQ(list.Count(), 0u);
    RenderClumpTranslucent(nullptr, 0.5f);
}

}  // namespace

}  // namespace clump_fade_test
