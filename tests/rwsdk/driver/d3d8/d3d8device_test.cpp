// The device system on our device: every request the engine sends, under the
// main capability profile and the alternative ones, the camera update, clear
// and show, and recovery from a device lost during a run.
#include "d3d8_driver_test_support.h"

#include <cstring>

#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"
#include "win/winuser.h"

namespace d3d8device_test {

using d3d8test::DriverTest;
using d3d8test::SpyCalls;
using d3d8test::SpyCount;

namespace {

class DeviceSystemTest : public DriverTest {};

// Clear to a colour, draw one opaque Im2D rectangle, show.
bool DrawFrame(RwCamera *camera, RwRGBA clear, RwUInt32 quadColor, float x0, float y0, float x1, float y1)
{
    RwCameraClear(camera, &clear, rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
    if (RwCameraBeginUpdate(camera) == nullptr) {
        return false;
    }
    RwSetRenderState(rwRENDERSTATECULLMODE, RwRenderStateValue(rwCULLMODECULLNONE));
    RwIm2DVertex v[4] = {{x0, y0, 0, 1, quadColor, 0, 0},
                         {x0, y1, 0, 1, quadColor, 0, 0},
                         {x1, y0, 0, 1, quadColor, 0, 0},
                         {x1, y1, 0, 1, quadColor, 0, 0}};
    RwImVertexIndex indices[6] = {0, 2, 1, 1, 2, 3};
    RwIm2DDrawIndexedPrimitive(rwPRIMTYPETRILIST, v, 4, indices, 6);
    RwCameraEndUpdate(camera);
    return RwCameraShowRaster(camera, nullptr, 0) != nullptr;
}

win::Frame Shown(IDirect3DDevice8 *device)
{
    win::Frame frame;
    EXPECT_TRUE(d3d8::GetLastPresentedFrame(device, &frame));
    return frame;
}

}  // namespace

TEST_F(DeviceSystemTest, RequestsAnswerTheAdapterAndItsModes)
{
    ASSERT_TRUE(StartEngine());
    EXPECT_EQ(RwEngineGetNumSubSystems(), 1);
    RwSubSystemInfo info{};
    ASSERT_NE(RwEngineGetSubSystemInfo(&info, 0), nullptr);
    EXPECT_GT(std::strlen(info.name), 0u);
    EXPECT_LT(std::strlen(info.name), static_cast<size_t>(rwSUBSYSTEMNAMELENGTH));
    EXPECT_EQ(RwEngineGetCurrentSubSystem(), 0);
    EXPECT_EQ(RwEngineGetCurrentVideoMode(), 0);

    const RwInt32 modes = RwEngineGetNumVideoModes();
    ASSERT_GE(modes, 2);
    RwVideoModeInfo desktop{};
    ASSERT_NE(RwEngineGetVideoModeInfo(&desktop, 0), nullptr);
    EXPECT_EQ(desktop.flags, 0u) << "entry 0 is the windowed desktop mode";
    EXPECT_EQ(desktop.width, 1280u);
    EXPECT_EQ(desktop.height, 1024u);
    EXPECT_EQ(desktop.depth, 32u);
    bool found640 = false, found800 = false;
    for (RwInt32 i = 1; i < modes; ++i) {
        RwVideoModeInfo mode{};
        ASSERT_NE(RwEngineGetVideoModeInfo(&mode, i), nullptr);
        EXPECT_EQ(mode.flags & rwVIDEOMODEEXCLUSIVE, rwVIDEOMODEEXCLUSIVE);
        found640 |= mode.width == 640 && mode.height == 480 && mode.depth == 32;
        found800 |= mode.width == 800 && mode.height == 600 && mode.depth == 32;
        for (RwInt32 j = 1; j < i; ++j) {
            RwVideoModeInfo other{};
            RwEngineGetVideoModeInfo(&other, j);
            EXPECT_FALSE(other.width == mode.width && other.height == mode.height && other.format == mode.format)
                << "refresh rates of one size and format are merged";
        }
    }
    EXPECT_TRUE(found640);
    EXPECT_TRUE(found800);
    EXPECT_EQ(RwEngineGetVideoModeInfo(&desktop, modes), nullptr);
    rwtest::TakeError();
    // Modes are fixed once the device runs.
    EXPECT_FALSE(RwEngineSetVideoMode(1));
    EXPECT_EQ(RwEngineGetCurrentVideoMode(), 0);
    rwtest::TakeError();
}

TEST_F(DeviceSystemTest, WindowedStartTakesTheWindowSizeAndADepthStencil)
{
    ASSERT_TRUE(StartEngine());
    EXPECT_TRUE(rwD3D8Device.started);
    EXPECT_EQ(rwD3D8Device.mode.width, width);
    EXPECT_EQ(rwD3D8Device.mode.height, height);
    EXPECT_TRUE(rwD3D8Device.present.Windowed);
    EXPECT_EQ(rwD3D8Device.present.SwapEffect, D3DSWAPEFFECT_COPY);
    EXPECT_EQ(rwD3D8Device.present.AutoDepthStencilFormat, D3DFMT_D24S8);
    EXPECT_TRUE(rwD3D8Device.stencilPresent);
    EXPECT_EQ(rwD3D8Device.zBufferDepth, 32);
    D3DDEVICE_CREATION_PARAMETERS creation{};
    real->GetCreationParameters(&creation);
    EXPECT_EQ(creation.BehaviorFlags, D3DCREATE_SOFTWARE_VERTEXPROCESSING);
    EXPECT_TRUE(RwD3D8CheckTextureFormat(D3DFMT_A8R8G8B8));
    EXPECT_TRUE(RwD3D8CheckZBufferFormat(D3DFMT_D24S8));
    EXPECT_EQ(RwD3D8GetCurrentD3DDevice(), real);
}

TEST_F(DeviceSystemTest, FullScreenModeStartsExclusive)
{
    d3d8::SetNextProfile(profile);
    RwD3D8DriverInstall();
    ASSERT_TRUE(RwEngineInit(rwtest::CountingMemory::Table(), rwtest::EngineInitFlags(), 1 << 20));
    RwEngineOpenParams params{window};
    ASSERT_TRUE(RwEngineOpen(&params));
    RwInt32 chosen = -1;
    for (RwInt32 i = 0; i < RwEngineGetNumVideoModes() && chosen < 0; ++i) {
        RwVideoModeInfo mode{};
        RwEngineGetVideoModeInfo(&mode, i);
        if ((mode.flags & rwVIDEOMODEEXCLUSIVE) != 0 && mode.width == 640 && mode.height == 480 && mode.depth == 32) {
            chosen = i;
        }
    }
    ASSERT_GE(chosen, 0);
    ASSERT_TRUE(RwEngineSetVideoMode(chosen));
    ASSERT_TRUE(RwEngineStart());
    started = true;
    EXPECT_FALSE(rwD3D8Device.present.Windowed);
    EXPECT_EQ(rwD3D8Device.present.BackBufferWidth, 640u);
    EXPECT_EQ(rwD3D8Device.present.SwapEffect, D3DSWAPEFFECT_FLIP);
    EXPECT_EQ(rwD3D8Device.present.FullScreen_PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
    EXPECT_EQ(RwEngineGetCurrentVideoMode(), chosen);
}

TEST_F(DeviceSystemTest, HardwareTransformProfileCreatesAHardwareDevice)
{
    profile.hardwareTransformAndLight = true;
    ASSERT_TRUE(StartEngine());
    D3DDEVICE_CREATION_PARAMETERS creation{};
    real->GetCreationParameters(&creation);
    EXPECT_NE(creation.BehaviorFlags & D3DCREATE_HARDWARE_VERTEXPROCESSING, 0u);
    EXPECT_TRUE(RwD3D8HardwareVertexProcessing());
}

TEST_F(DeviceSystemTest, PowerOfTwoAndOneStageProfilesReachTheDriverCaps)
{
    profile.pow2TexturesOnly = true;
    profile.blendStages = 1;
    ASSERT_TRUE(StartEngine());
    EXPECT_NE(RwD3D8GetDeviceCaps()->TextureCaps & D3DPTEXTURECAPS_POW2, 0u);
    EXPECT_EQ(RwD3D8GetDeviceCaps()->MaxTextureBlendStages, 1u);
    // The cache still opened every stage it keeps, so a frame draws.
    RwCamera *camera = MakeCamera();
    EXPECT_TRUE(DrawFrame(camera, {0, 0, 0, 255}, 0xFFFFFFFFu, 8, 8, 24, 24));
    EXPECT_EQ(Shown(real).At(16, 16), 0xFFFFFFFFu);
    DestroyCamera(camera);
}

TEST_F(DeviceSystemTest, FrameClearsDrawsAndShows)
{
    ASSERT_TRUE(StartEngine());
    RwCamera *camera = MakeCamera();
    Spy();
    ASSERT_TRUE(DrawFrame(camera, {10, 20, 30, 255}, 0xFFFF0000u, 16, 8, 48, 40));
    const auto clears = SpyCalls("Clear");
    ASSERT_EQ(clears.size(), 1u);
    EXPECT_EQ(clears[0].a, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL);
    EXPECT_EQ(clears[0].b, 0xFF0A141Eu);
    EXPECT_EQ(SpyCount("BeginScene"), 1u);
    EXPECT_EQ(SpyCount("EndScene"), 1u);
    EXPECT_EQ(SpyCount("Present"), 1u);
    const win::Frame frame = Shown(real);
    EXPECT_EQ(frame.At(2, 2), 0xFF0A141Eu);
    EXPECT_EQ(frame.At(30, 20), 0xFFFF0000u);
    EXPECT_EQ(frame.At(50, 20), 0xFF0A141Eu);
    DestroyCamera(camera);
}

TEST_F(DeviceSystemTest, LostDeviceSkipsFramesAndRecovers)
{
    ASSERT_TRUE(StartEngine());
    RwCamera *camera = MakeCamera();
    ASSERT_TRUE(DrawFrame(camera, {0, 0, 0, 255}, 0xFF00FF00u, 0, 0, 32, 48));
    RwSetRenderState(rwRENDERSTATEFOGCOLOR, nullptr);  // outside an update: refused
    rwtest::TakeError();

    Spy();
    d3d8::SetLossState(real, d3d8::LossState::Lost);
    EXPECT_FALSE(DrawFrame(camera, {0, 0, 255, 255}, 0xFFFF0000u, 0, 0, 32, 48));
    EXPECT_EQ(SpyCount("Reset"), 0u) << "a lost device is not reset until it can be";

    // The clear of the frame that finds the device resettable is lost with
    // the device; that frame draws, and the next one is whole again.
    d3d8::SetLossState(real, d3d8::LossState::NotReset);
    ASSERT_TRUE(DrawFrame(camera, {0, 0, 255, 255}, 0xFFFF0000u, 0, 0, 32, 48));
    EXPECT_EQ(SpyCount("Reset"), 1u);
    EXPECT_EQ(Shown(real).At(10, 10), 0xFFFF0000u);
    ASSERT_TRUE(DrawFrame(camera, {0, 0, 255, 255}, 0xFFFF0000u, 0, 0, 32, 48));
    EXPECT_EQ(SpyCount("Reset"), 1u);
    const win::Frame frame = Shown(real);
    EXPECT_EQ(frame.At(10, 10), 0xFFFF0000u);
    EXPECT_EQ(frame.At(50, 10), 0xFF0000FFu);
    // Everything the reset let go was made again.
    EXPECT_EQ(d3d8::GetLossState(real), d3d8::LossState::Ok);
    DestroyCamera(camera);
}

TEST_F(DeviceSystemTest, StrictResetFindsNothingLeftInTheDefaultPool)
{
    profile.hardwareTransformAndLight = true;
    ASSERT_TRUE(StartEngine());
    RwCamera *camera = MakeCamera();
    ASSERT_TRUE(DrawFrame(camera, {0, 0, 0, 255}, 0xFFFFFFFFu, 0, 0, 8, 8));
    d3d8::SetStrictReset(real, true);
    Spy();
    EXPECT_TRUE(RwD3D8DeviceReset());
    EXPECT_TRUE(DrawFrame(camera, {0, 0, 0, 255}, 0xFFFFFFFFu, 0, 0, 8, 8));
    DestroyCamera(camera);
}

TEST_F(DeviceSystemTest, WindowResizeResetsTheBackBufferOnce)
{
    ASSERT_TRUE(StartEngine());
    RwCamera *camera = MakeCamera();
    Spy();
    window->SetClientSize(80, 60);
    EXPECT_NE(RwCameraBeginUpdate(camera), nullptr);
    RwCameraEndUpdate(camera);
    RwCameraShowRaster(camera, nullptr, 0);
    EXPECT_EQ(SpyCount("Reset"), 1u);
    EXPECT_EQ(rwD3D8Device.mode.width, 80u);
    EXPECT_EQ(rwD3D8Device.mode.height, 60u);
    EXPECT_NE(RwCameraBeginUpdate(camera), nullptr);
    RwCameraEndUpdate(camera);
    EXPECT_EQ(SpyCount("Reset"), 1u);
    DestroyCamera(camera);
}

TEST_F(DeviceSystemTest, MinimisedWindowRefusesTheUpdateWithoutTouchingTheDevice)
{
    ASSERT_TRUE(StartEngine());
    RwCamera *camera = MakeCamera();
    Spy();
    window->Minimize();
    EXPECT_EQ(RwCameraBeginUpdate(camera), nullptr);
    EXPECT_EQ(SpyCount("BeginScene"), 0u);
    EXPECT_EQ(SpyCount("Reset"), 0u);
    window->Restore();
    RwEngineInst->curCamera = nullptr;
    DestroyCamera(camera);
}

TEST_F(DeviceSystemTest, VerticalSyncChangeResetsOncePerChange)
{
    ASSERT_TRUE(StartEngine());
    RwCamera *camera = MakeCamera();
    Spy();
    RwCameraShowRaster(camera, nullptr, 1);
    RwCameraShowRaster(camera, nullptr, 1);
    EXPECT_EQ(SpyCount("Reset"), 1u);
    EXPECT_EQ(rwD3D8Device.present.SwapEffect, D3DSWAPEFFECT_COPY_VSYNC);
    RwCameraShowRaster(camera, nullptr, 0);
    EXPECT_EQ(SpyCount("Reset"), 2u);
    EXPECT_EQ(rwD3D8Device.present.SwapEffect, D3DSWAPEFFECT_COPY);
    DestroyCamera(camera);
}

TEST_F(DeviceSystemTest, ProjectionFollowsTheCamera)
{
    ASSERT_TRUE(StartEngine());
    RwCamera *camera = MakeCamera();
    const RwV2d window2 = {0.5f, 0.25f};
    RwCameraSetViewWindow(camera, &window2);
    RwCameraSetNearClip(camera, 1.0f);
    RwCameraSetFarClip(camera, 11.0f);
    ASSERT_NE(RwCameraBeginUpdate(camera), nullptr);
    D3DMATRIX projection{};
    RwD3D8GetTransform(D3DTS_PROJECTION, &projection);
    EXPECT_FLOAT_EQ(projection.m[0][0], 2.0f);
    EXPECT_FLOAT_EQ(projection.m[1][1], 4.0f);
    EXPECT_FLOAT_EQ(projection.m[2][2], 1.1f);
    EXPECT_FLOAT_EQ(projection.m[2][3], 1.0f);
    EXPECT_FLOAT_EQ(projection.m[3][2], -1.1f);
    EXPECT_FLOAT_EQ(projection.m[3][3], 0.0f);
    D3DMATRIX view{};
    RwD3D8GetTransform(D3DTS_VIEW, &view);
    EXPECT_FLOAT_EQ(view.m[0][0], -1.0f) << "x is mirrored into the left-handed view";
    EXPECT_FLOAT_EQ(view.m[1][1], 1.0f);
    RwCameraEndUpdate(camera);
    RwCameraShowRaster(camera, nullptr, 0);
    DestroyCamera(camera);
}

}  // namespace d3d8device_test
