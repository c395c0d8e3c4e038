// World sectors on screen: a two-leaf prelit floor drawn leaf by leaf under
// a camera looking straight down, read back from the presented frame.
#include <vector>

#include "rwsdk/world/pipe/p2/d3d8/world_pipe_test_support.h"
#include "rwsdk/world/world_bytes.h"
#include "rwsdk/world/world_test_support.h"

namespace nodeD3D8WorldSectorAllInOne_test {

namespace {

using worldpipetest::WorldPipeTest;

class WorldSectorDrawTest : public WorldPipeTest {
protected:
    RpWorld *ReadWorld() { return rwtest::ReadWorldChunk(worldtest::TwoLeafWorld()); }
};

RwUInt32 Rgb(RwUInt32 pixel) { return pixel & 0xFFFFFFu; }

TEST_F(WorldSectorDrawTest, PrelitFloorShowsEachLeafsColours)
{
    ASSERT_TRUE(StartWorldEngine());
    RpWorld *world = ReadWorld();
    ASSERT_NE(world, nullptr);
    RwCamera *camera = MakeCamera();
    RwFrame *frame = RwCameraGetFrame(camera);
    const RwV3d xAxis = {1, 0, 0};
    const RwV3d above = {0, 3, 0.5f};
    RwFrameRotate(frame, &xAxis, 90.0f, rwCOMBINEREPLACE);
    RwFrameTranslate(frame, &above, rwCOMBINEPOSTCONCAT);
    RwCameraSetFarClip(camera, 10.0f);
    RpWorldAddCamera(world, camera);
    RwRGBA black = {0, 0, 0, 255};
    RwCameraClear(camera, &black, rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
    ASSERT_NE(RwCameraBeginUpdate(camera), nullptr);
    EXPECT_EQ(RpWorldGetCurrent(), world);
    int drawn = 0;
    RpWorldForAllWorldSectors(
        world,
        [](RpWorldSector *s, void *d) {
            *static_cast<int *>(d) += RpWorldSectorRender(s) != nullptr;
            return s;
        },
        &drawn);
    RwCameraEndUpdate(camera);
    EXPECT_EQ(RpWorldGetCurrent(), nullptr);
    EXPECT_EQ(drawn, 2);
    RwCameraShowRaster(camera, nullptr, 0);
    win::Frame shown;
    ASSERT_TRUE(d3d8::GetLastPresentedFrame(Real(), &shown));
    const RwUInt32 left = Rgb(shown.At(width / 2 - 4, height / 2 + 2));
    const RwUInt32 right = Rgb(shown.At(width / 2 + 4, height / 2 + 2));
    const RwUInt32 blue = 0x2040C0u;
    const RwUInt32 red = 0xC04020u;
    EXPECT_TRUE((left == blue && right == red) || (left == red && right == blue))
        << std::hex << left << " " << right;
    EXPECT_EQ(Rgb(shown.At(1, 1)), 0u);  // beyond the floor: cleared
    RpWorldRemoveCamera(world, camera);
    DestroyCamera(camera);
    RpWorldDestroy(world);
}

}  // namespace

}  // namespace nodeD3D8WorldSectorAllInOne_test
