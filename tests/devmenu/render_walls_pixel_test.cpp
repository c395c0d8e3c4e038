// "Render Wall" on our device: the stage's wall drawn red first, then its
// camera wall green, both half transparent, whatever colour their
// materials had, and nothing at mode 0; drawn with the depth test and
// write on, which are off again afterwards. And "Wire Frame" on a model:
// its triangles' edges in white in the modes that ask for models.
#include <gtest/gtest.h>

#include "support/engine/headless_screen.h"
#include "tests/devmenu/dev_menu_test_support.h"

namespace render_walls_pixel_test {

namespace {

bool AttachWorld() { return RpWorldPluginAttach() != FALSE; }

// A lit magenta square across the view at depth `z`, taking its material's
// colour; after `hidden` triangles folded into a point out of view.
RpClump *Square(RwReal z, RwInt32 hidden = 0)
{
    RpGeometry *geometry =
        RpGeometryCreate(5, 2 + hidden, rpGEOMETRYPOSITIONS | rpGEOMETRYLIGHT | rpGEOMETRYMODULATEMATERIALCOLOR);
    RpMaterial *material = RpMaterialCreate();
    const RwRGBA magenta = {255, 0, 255, 255};
    RpMaterialSetColor(material, &magenta);
    RpMaterialListAppendMaterial(&geometry->matList, material);
    RpMaterialDestroy(material);
    const RwV3d corners[5] = {{-20, -20, z}, {20, -20, z}, {20, 20, z}, {-20, 20, z}, {0, 0, -z}};
    for (int c = 0; c < 5; ++c) {
        geometry->morphTarget[0].verts[c] = corners[c];
    }
    for (RwInt32 t = 0; t < hidden; ++t) {
        geometry->triangles[t] = {{4, 4, 4}, 0};
    }
    geometry->triangles[hidden] = {{0, 1, 2}, 0};
    geometry->triangles[hidden + 1] = {{0, 2, 3}, 0};
    geometry->morphTarget[0].boundingSphere = {{0, 0, z}, 30.0f};
    RpGeometryUnlock(geometry);
    RpAtomic *atomic = RpAtomicCreate();
    RpAtomicSetGeometry(atomic, geometry, 0);
    RpGeometryDestroy(geometry);  // the atomic holds it
    RpClump *clump = RpClumpCreate();
    RwFrame *frame = RwFrameCreate();
    RpClumpSetFrame(clump, frame);
    RpAtomicSetFrame(atomic, frame);
    RpClumpAddAtomic(clump, atomic);
    return clump;
}

class RenderWallsPixels : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(screen.Start(d3d8::DefaultProfile(), 64, 48, AttachWorld));
        screen.Place({0, 0, 0}, 1.0f);
        const RwBBox box = {{100, 100, 100}, {-100, -100, -100}};
        world = RpWorldCreate(&box);
        RpWorldAddCamera(world, screen.camera);
        // A white ambient light: the squares show their materials' colour.
        ambient = RpLightCreate(rpLIGHTAMBIENT);
        const RwRGBAReal white = {1, 1, 1, 1};
        RpLightSetColor(ambient, &white);
        RpWorldAddLight(world, ambient);
        h.stage.wallClump = Square(6.0f);
        h.stage.cameraWallClump = Square(5.0f);  // nearer: drawn second, it passes the depth test
        RpWorldAddClump(world, h.stage.wallClump);
        RpWorldAddClump(world, h.stage.cameraWallClump);
    }
    void TearDown() override
    {
        for (RpClump *clump : {h.stage.wallClump, h.stage.cameraWallClump}) {
            RpWorldRemoveClump(world, clump);
            RpClumpDestroy(clump);
        }
        h.stage.wallClump = nullptr;
        h.stage.cameraWallClump = nullptr;
        RpWorldRemoveLight(world, ambient);
        RpLightDestroy(ambient);
        RpWorldRemoveCamera(world, screen.camera);
        RpWorldDestroy(world);
        EXPECT_TRUE(screen.Stop());
    }
    uint32_t Middle(int32_t mode)
    {
        h.menu.wallMode = mode;
        const win::Frame frame = screen.Capture({0, 0, 0, 255}, [&] { h.menu.RenderWalls(); });
        return frame.At(32, 24) & 0xFFFFFFu;
    }

    headlessscreen::Screen screen;
    devmenutest::MenuHarness h;
    RpWorld *world = nullptr;
    RpLight *ambient = nullptr;
};

int Channel(uint32_t rgb, int shift) { return static_cast<int>((rgb >> shift) & 0xFF); }

TEST_F(RenderWallsPixels, RedWallThenGreenCameraWallBothHalfTransparent)
{
    EXPECT_EQ(Middle(0), 0u);
    const uint32_t wall = Middle(1);
    EXPECT_NEAR(Channel(wall, 16), 127, 3);
    EXPECT_EQ(Channel(wall, 8), 0);
    EXPECT_EQ(Channel(wall, 0), 0);
    const uint32_t cameraWall = Middle(2);
    EXPECT_EQ(Channel(cameraWall, 16), 0);
    EXPECT_NEAR(Channel(cameraWall, 8), 127, 3);
    // Green over red over black: the red shows through at half strength.
    const uint32_t both = Middle(3);
    EXPECT_NEAR(Channel(both, 16), 64, 4);
    EXPECT_NEAR(Channel(both, 8), 127, 3);
    EXPECT_EQ(Channel(both, 0), 0);
}

// The walls are drawn with the depth test and write on: a camera wall
// behind the wall is hidden where the wall stands. Afterwards both are off
// and back faces are culled again.
TEST_F(RenderWallsPixels, TheWallsTestAndWriteDepthAndLeaveBothOff)
{
    const RwV3d back = {0, 0, 2};
    RwFrameTranslate(RpClumpGetFrame(h.stage.cameraWallClump), &back, rwCOMBINEPOSTCONCAT);
    const uint32_t both = Middle(3);
    EXPECT_NEAR(Channel(both, 16), 127, 3);
    EXPECT_EQ(Channel(both, 8), 0);
    RwUInt32 zTest = 1;
    RwUInt32 zWrite = 1;
    RwUInt32 cull = 0;
    screen.Capture({0, 0, 0, 255}, [&] {
        h.menu.RenderWalls();
        RwGetRenderState(rwRENDERSTATEZTESTENABLE, &zTest);
        RwGetRenderState(rwRENDERSTATEZWRITEENABLE, &zWrite);
        RwGetRenderState(rwRENDERSTATECULLMODE, &cull);
    });
    EXPECT_EQ(zTest, 0u);
    EXPECT_EQ(zWrite, 0u);
    EXPECT_EQ(cull, static_cast<RwUInt32>(rwCULLMODECULLBACK));
}

// A stage that has only one of its two walls shows that one at mode 3.
TEST_F(RenderWallsPixels, AStageWithOneWallShowsThatOneAlone)
{
    RpClump *cameraWall = h.stage.cameraWallClump;
    h.stage.cameraWallClump = nullptr;
    const uint32_t wallAlone = Middle(3);
    EXPECT_NEAR(Channel(wallAlone, 16), 127, 3);
    EXPECT_EQ(Channel(wallAlone, 8), 0);
    h.stage.cameraWallClump = cameraWall;
    RpClump *wall = h.stage.wallClump;
    h.stage.wallClump = nullptr;
    const uint32_t cameraWallAlone = Middle(3);
    EXPECT_EQ(Channel(cameraWallAlone, 16), 0);
    EXPECT_NEAR(Channel(cameraWallAlone, 8), 127, 3);
    h.stage.wallClump = wall;
}

RpAtomic *FirstAtomic(RpClump *clump)
{
    RpAtomic *first = nullptr;
    RpClumpForAllAtomics(
        clump,
        [](RpAtomic *atomic, void *data) {
            *static_cast<RpAtomic **>(data) = atomic;
            return static_cast<RpAtomic *>(nullptr);
        },
        &first);
    return first;
}

// The wall square's wire frame (its diagonal crosses the view) in white,
// in the models' mode and in both, not in the world's mode or none; a
// model not placed in the scene (no frame) shows no wire frame.
TEST_F(RenderWallsPixels, AModelsWireFrameShowsInTheModesForModels)
{
    RpAtomic *atomic = FirstAtomic(h.stage.wallClump);
    ASSERT_NE(atomic, nullptr);
    const auto whitePixels = [&](int32_t mode) {
        h.menu.wireFrameMode = mode;
        const win::Frame frame = screen.Capture({0, 0, 0, 255}, [&] { h.menu.DrawAtomicWireFrame(atomic); });
        int white = 0;
        for (uint32_t y = 0; y < frame.height; ++y) {
            for (uint32_t x = 0; x < frame.width; ++x) {
                white += (frame.At(x, y) & 0xFFFFFFu) == 0xFFFFFFu ? 1 : 0;
            }
        }
        return white;
    };
    EXPECT_EQ(whitePixels(0), 0);
    EXPECT_EQ(whitePixels(1), 0);
    EXPECT_GE(whitePixels(2), 48);  // a line from corner to corner
    EXPECT_GE(whitePixels(3), 48);
    RwFrame *frame = RpAtomicGetFrame(atomic);
    RpAtomicSetFrame(atomic, nullptr);
    EXPECT_EQ(whitePixels(3), 0);
    RpAtomicSetFrame(atomic, frame);
    // A model of more triangles than one drawing call takes (65536 line
    // ends, 10922 triangles) shows its last ones too.
    RpClump *large = Square(6.0f, 10922);
    atomic = FirstAtomic(large);
    EXPECT_GE(whitePixels(2), 48);
    RpClumpDestroy(large);
}

}  // namespace

}  // namespace render_walls_pixel_test
