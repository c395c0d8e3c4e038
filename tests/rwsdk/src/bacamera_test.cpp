// Tests of cameras: defaults and setters, begin/end update through the
// device, the frustum and view matrix worked out by hand for both
// projections, the sphere and box tests, and the camera chunk.
#include <gtest/gtest.h>

#include <cmath>

#include "rwsdk/src/bacamera.h"
#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"
#include "support/engine/fake_device.h"
#include "tests/rwsdk/src/device_slots_test_support.h"
#include "tests/rwsdk/src/frame_test_support.h"

namespace bacamera_test {

namespace {

using frametest::ExpectNear;
using rwtest::CountingMemory;
using rwtest::TakeError;
using slottest::Slots;

struct CameraTest : rwtest::EngineTest {
    RwCamera *camera = nullptr;
    RwFrame *frame = nullptr;
    void SetUp() override
    {
        rwtest::EngineTest::SetUp();
        Slots::Install();
        camera = RwCameraCreate();
        frame = RwFrameCreate();
        ASSERT_NE(camera, nullptr);
        RwCameraSetFrame(camera, frame);
    }
    void TearDown() override
    {
        RwCameraDestroy(camera);
        RwFrameDestroy(frame);
        rwtest::EngineTest::TearDown();
    }
    // Screen position of a world point through the view matrix.
    RwV2d Screen(const RwV3d &p, bool divide = true)
    {
        RwV3d h;
        RwV3dTransformPoints(&h, &p, 1, &camera->viewMatrix);
        return divide ? RwV2d{h.x / h.z, h.y / h.z} : RwV2d{h.x, h.y};
    }
    void Sync() { ASSERT_EQ(RwCameraBeginUpdate(camera), camera); }
};

TEST_F(CameraTest, Defaults)
{
    EXPECT_EQ(camera->object.object.type, rwCAMERA);
    EXPECT_FLOAT_EQ(camera->nearPlane, 0.05f);
    EXPECT_FLOAT_EQ(camera->farPlane, 10.0f);
    EXPECT_FLOAT_EQ(camera->fogPlane, 5.0f);
    EXPECT_EQ(camera->viewWindow.x, 1.0f);
    EXPECT_EQ(camera->recipViewWindow.y, 1.0f);
    EXPECT_EQ(camera->projectionType, rwPERSPECTIVE);
    EXPECT_EQ(camera->frameBuffer, nullptr);
    EXPECT_EQ(RwCameraGetFrame(camera), frame);
}

TEST_F(CameraTest, ZScaleMapsClipPlanesJustInsideTheDeviceRange)
{
    // Device range 0..1: near maps to 0.0001, far to 0.9999 (in 1/z).
    RwCameraSetNearClip(camera, 1.0f);
    RwCameraSetFarClip(camera, 100.0f);
    auto mapped = [&](float z) { return camera->zScale / z + camera->zShift; };
    EXPECT_NEAR(mapped(1.0f), 0.0001f, 1e-5f);
    EXPECT_NEAR(mapped(100.0f), 0.9999f, 1e-5f);
    RwCameraSetProjection(camera, rwPARALLEL);
    EXPECT_NEAR(camera->zScale * 1.0f + camera->zShift, 0.0001f, 1e-5f);
    EXPECT_NEAR(camera->zScale * 100.0f + camera->zShift, 0.9999f, 1e-5f);
}

TEST_F(CameraTest, SettersWaitForTheNextBeginUpdate)
{
    Sync();
    const float farBefore = camera->frustumPlanes[rwFRUSTUMPLANEFAR].plane.distance;
    EXPECT_NEAR(farBefore, 10.0f, 1e-4f);
    RwCameraSetFarClip(camera, 50.0f);
    const RwV2d window{2.0f, 0.5f};
    RwCameraSetViewWindow(camera, &window);
    EXPECT_EQ(camera->recipViewWindow.x, 0.5f);
    EXPECT_EQ(camera->frustumPlanes[rwFRUSTUMPLANEFAR].plane.distance, farBefore);
    EXPECT_NE(RwFrameIsDirty(frame), 0u);
    Sync();
    EXPECT_NEAR(camera->frustumPlanes[rwFRUSTUMPLANEFAR].plane.distance, 50.0f, 1e-3f);
}

TEST_F(CameraTest, BadProjectionIsRefused)
{
    EXPECT_EQ(RwCameraSetProjection(camera, static_cast<RwCameraProjection>(0)), nullptr);
    EXPECT_EQ(RwCameraSetProjection(camera, static_cast<RwCameraProjection>(3)), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RW_BADPARAM);
    EXPECT_EQ(camera->projectionType, rwPERSPECTIVE);
}

TEST_F(CameraTest, BeginAndEndUpdateThroughTheDevice)
{
    Sync();
    EXPECT_EQ(RwCameraGetCurrentCamera(), camera);
    EXPECT_EQ(Slots::CallsTo(rwSTANDARDCAMERABEGINUPDATE).back().inOut, camera);
    EXPECT_EQ(RwCameraEndUpdate(camera), camera);
    EXPECT_EQ(RwCameraGetCurrentCamera(), nullptr);
    Slots::Answers()[rwSTANDARDCAMERABEGINUPDATE] = FALSE;
    EXPECT_EQ(RwCameraBeginUpdate(camera), nullptr);
    EXPECT_EQ(RwCameraGetCurrentCamera(), camera);  // stays recorded
    Slots::Answers()[rwSTANDARDCAMERAENDUPDATE] = FALSE;
    EXPECT_EQ(RwCameraEndUpdate(camera), nullptr);
    EXPECT_EQ(RwCameraGetCurrentCamera(), camera);
    Slots::Answers()[rwSTANDARDCAMERAENDUPDATE] = TRUE;
    RwCameraEndUpdate(camera);

    RwRGBA colour{1, 2, 3, 4};
    EXPECT_EQ(RwCameraClear(camera, &colour, 3), camera);
    auto call = Slots::CallsTo(rwSTANDARDCAMERACLEAR).back();
    EXPECT_EQ(call.out, camera);
    EXPECT_EQ(call.inOut, &colour);
    EXPECT_EQ(call.number, 3);
    EXPECT_EQ(RwCameraShowRaster(camera, nullptr, 0), nullptr);  // no frame buffer
}

TEST_F(CameraTest, AScreenUpdateLeavesDirtyFramesAlone)
{
    const RwV3d step{1.0f, 0.0f, 0.0f};
    RwFrameTranslate(frame, &step, rwCOMBINEPOSTCONCAT);
    ASSERT_NE(RwFrameIsDirty(frame), 0u);
    EXPECT_EQ(RwCameraBeginScreenUpdate(camera), camera);
    EXPECT_EQ(RwCameraGetCurrentCamera(), camera);
    EXPECT_EQ(Slots::CallsTo(rwSTANDARDCAMERABEGINUPDATE).back().inOut, camera);
    EXPECT_NE(RwFrameIsDirty(frame), 0u) << "a screen update synchronised the frames";
    EXPECT_EQ(RwCameraEndScreenUpdate(camera), camera);
    EXPECT_EQ(RwCameraGetCurrentCamera(), nullptr);
}

// Camera at the origin looking down +z, window (1,1), near 1, far 2.
TEST_F(CameraTest, PerspectiveFrustumAndViewMatrixByHand)
{
    RwCameraSetNearClip(camera, 1.0f);
    RwCameraSetFarClip(camera, 2.0f);
    Sync();
    ExpectNear(camera->frustumCorners[0], 1, 1, 1);
    ExpectNear(camera->frustumCorners[1], -1, 1, 1);
    ExpectNear(camera->frustumCorners[2], -1, -1, 1);
    ExpectNear(camera->frustumCorners[6], -2, -2, 2);
    const float h = std::sqrt(0.5f);
    const RwFrustumPlane *p = camera->frustumPlanes;
    ExpectNear(p[rwFRUSTUMPLANEFAR].plane.normal, 0, 0, 1);
    EXPECT_NEAR(p[rwFRUSTUMPLANEFAR].plane.distance, 2.0f, 1e-4f);
    ExpectNear(p[rwFRUSTUMPLANENEAR].plane.normal, 0, 0, -1);
    EXPECT_NEAR(p[rwFRUSTUMPLANENEAR].plane.distance, -1.0f, 1e-4f);
    ExpectNear(p[rwFRUSTUMPLANELEFT].plane.normal, -h, 0, -h);
    ExpectNear(p[rwFRUSTUMPLANETOP].plane.normal, 0, h, -h);
    ExpectNear(p[rwFRUSTUMPLANERIGHT].plane.normal, h, 0, -h);
    ExpectNear(p[rwFRUSTUMPLANEBOTTOM].plane.normal, 0, -h, -h);
    for (int i = 2; i < 6; ++i) EXPECT_NEAR(p[i].plane.distance, 0.0f, 1e-4f);
    EXPECT_EQ(p[rwFRUSTUMPLANELEFT].closestX, 0);
    EXPECT_EQ(p[rwFRUSTUMPLANELEFT].closestZ, 0);
    ExpectNear(camera->frustumBoundBox.sup, 2, 2, 2);
    ExpectNear(camera->frustumBoundBox.inf, -2, -2, 1);

    // Screen x runs against the right axis: the +x corner is at screen 0.
    RwV2d s = Screen({1, 1, 1});
    EXPECT_NEAR(s.x, 0.0f, 1e-5f);
    EXPECT_NEAR(s.y, 0.0f, 1e-5f);
    s = Screen({-2, -2, 2});
    EXPECT_NEAR(s.x, 1.0f, 1e-5f);
    EXPECT_NEAR(s.y, 1.0f, 1e-5f);
    s = Screen({0, 0, 7});
    EXPECT_NEAR(s.x, 0.5f, 1e-5f);
    EXPECT_NEAR(s.y, 0.5f, 1e-5f);
}

// Moving and turning the frame moves the frustum with it; a view offset
// shifts the eye so the window edges still map to the screen edges.
TEST_F(CameraTest, PerspectiveWithFrameAndOffset)
{
    const RwV3d y{0, 1, 0};
    RwFrameRotate(frame, &y, 90.0f, rwCOMBINEREPLACE);  // at becomes +x
    const RwV3d t{10, 0, 0};
    RwFrameTranslate(frame, &t, rwCOMBINEPOSTCONCAT);
    RwCameraSetNearClip(camera, 1.0f);
    RwCameraSetFarClip(camera, 3.0f);
    const RwV2d offset{0.5f, 0.25f};
    RwCameraSetViewOffset(camera, &offset);
    Sync();
    const RwMatrix *ltm = RwFrameGetLTM(frame);
    ExpectNear(ltm->at, 1, 0, 0);
    ExpectNear(camera->frustumPlanes[rwFRUSTUMPLANEFAR].plane.normal, 1, 0, 0);
    EXPECT_NEAR(camera->frustumPlanes[rwFRUSTUMPLANEFAR].plane.distance, 13.0f, 1e-3f);
    for (int i = 0; i < 8; ++i) {
        const RwV2d s = Screen(camera->frustumCorners[i]);
        const float ex = (i % 4 == 0 || i % 4 == 3) ? 0.0f : 1.0f;
        const float ey = (i % 4 < 2) ? 0.0f : 1.0f;
        EXPECT_NEAR(s.x, ex, 1e-3f) << i;
        EXPECT_NEAR(s.y, ey, 1e-3f) << i;
    }
    // The corner rays meet at the eye, half a unit along -right, a quarter along up.
    RwV3d eye;
    RwV3dScale(&eye, &ltm->right, -0.5f);
    RwV3dIncrementScaled(&eye, &ltm->up, 0.25f);
    RwV3dAdd(&eye, &eye, &ltm->pos);
    RwV3d a, b;
    RwV3dSub(&a, &camera->frustumCorners[4], &camera->frustumCorners[0]);
    RwV3dSub(&b, &camera->frustumCorners[0], &eye);
    RwV3d cross;
    RwV3dCrossProduct(&cross, &a, &b);
    EXPECT_NEAR(RwV3dDotProduct(&cross, &cross), 0.0f, 1e-4f);
}

TEST_F(CameraTest, ParallelFrustumAndViewMatrixByHand)
{
    RwCameraSetProjection(camera, rwPARALLEL);
    const RwV2d window{2.0f, 1.0f};
    RwCameraSetViewWindow(camera, &window);
    RwCameraSetNearClip(camera, 1.0f);
    RwCameraSetFarClip(camera, 5.0f);
    Sync();
    ExpectNear(camera->frustumCorners[0], 2, 1, 1);
    ExpectNear(camera->frustumCorners[6], -2, -1, 5);
    const RwFrustumPlane *p = camera->frustumPlanes;
    ExpectNear(p[rwFRUSTUMPLANELEFT].plane.normal, -1, 0, 0);
    EXPECT_NEAR(p[rwFRUSTUMPLANELEFT].plane.distance, 2.0f, 1e-3f);
    ExpectNear(p[rwFRUSTUMPLANERIGHT].plane.normal, 1, 0, 0);
    EXPECT_NEAR(p[rwFRUSTUMPLANERIGHT].plane.distance, 2.0f, 1e-3f);
    ExpectNear(p[rwFRUSTUMPLANETOP].plane.normal, 0, 1, 0);
    ExpectNear(p[rwFRUSTUMPLANEBOTTOM].plane.normal, 0, -1, 0);
    EXPECT_NEAR(p[rwFRUSTUMPLANEBOTTOM].plane.distance, 1.0f, 1e-3f);
    // No perspective divide: +right edge at 0, -right edge at 1, at any depth.
    EXPECT_NEAR(Screen({2, 1, 3}, false).x, 0.0f, 1e-5f);
    EXPECT_NEAR(Screen({-2, -1, 4}, false).x, 1.0f, 1e-5f);
    EXPECT_NEAR(Screen({0, 0, 2}, false).y, 0.5f, 1e-5f);
}

TEST_F(CameraTest, SphereAndBoxTests)
{
    RwCameraSetNearClip(camera, 1.0f);
    RwCameraSetFarClip(camera, 10.0f);
    Sync();
    const RwSphere inside{{0, 0, 5}, 0.5f};
    const RwSphere crossing{{0, 0, 10}, 1.0f};
    const RwSphere behind{{0, 0, -5}, 1.0f};
    const RwSphere touching{{0, 0, 11}, 1.0f};  // exactly one radius beyond the far plane
    EXPECT_EQ(RwCameraSphereInFrustum(camera, &inside), rwSPHEREINSIDE);
    EXPECT_EQ(RwCameraSphereInFrustum(camera, &crossing), rwSPHEREBOUNDARY);
    EXPECT_EQ(RwCameraSphereInFrustum(camera, &behind), rwSPHEREOUTSIDE);
    EXPECT_EQ(RwCameraSphereInFrustum(camera, &touching), rwSPHEREBOUNDARY);

    const RwBBox boxInside{{0.5f, 0.5f, 6}, {-0.5f, -0.5f, 4}};
    const RwBBox boxCrossing{{5, 0.5f, 6}, {1, -0.5f, 4}};  // corner (5,.,4) beyond x = z
    const RwBBox boxOutside{{20, 1, 6}, {10, -1, 4}};
    EXPECT_EQ(RwCameraBBoxInFrustum(camera, &boxInside), rwBOXINSIDE);
    EXPECT_EQ(RwCameraBBoxInFrustum(camera, &boxCrossing), rwBOXBOUNDARY);
    EXPECT_EQ(RwCameraBBoxInFrustum(camera, &boxOutside), rwBOXOUTSIDE);
}

// ---- camera chunk -----------------------------------------------------------

RwMemoryDescriptor WriteCamera(const RwCamera *camera)
{
    RwStream *out = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
    RwMemoryDescriptor mem{nullptr, 0};
    if (out == nullptr) return mem;
    const bool ok = RwCameraStreamWrite(camera, out) != nullptr;
    RwStreamClose(out, &mem);
    if (!ok && mem.start) {
        RwFree(mem.start);
        mem = {nullptr, 0};
    }
    return mem;
}

RwCamera *ReadCamera(const RwMemoryDescriptor &mem)
{
    RwMemoryDescriptor copy = mem;
    RwStream *in = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMREAD, &copy);
    if (in == nullptr) return nullptr;
    RwCamera *camera = nullptr;
    if (RwStreamFindChunk(in, rwID_CAMERA, nullptr, nullptr)) camera = RwCameraStreamRead(in);
    RwStreamClose(in, nullptr);
    return camera;
}

void SetSample(RwCamera *c)
{
    const RwV2d window{0.75f, 0.5f};
    const RwV2d offset{0.1f, -0.2f};
    RwCameraSetViewWindow(c, &window);
    RwCameraSetViewOffset(c, &offset);
    RwCameraSetNearClip(c, 0.5f);
    RwCameraSetFarClip(c, 500.0f);
    RwCameraSetFogDistance(c, 250.0f);
    RwCameraSetProjection(c, rwPARALLEL);
}

bool SameParameters(const RwCamera *a, const RwCamera *b)
{
    return a->viewWindow.x == b->viewWindow.x && a->viewWindow.y == b->viewWindow.y &&
           a->recipViewWindow.x == b->recipViewWindow.x && a->viewOffset.x == b->viewOffset.x &&
           a->viewOffset.y == b->viewOffset.y && a->nearPlane == b->nearPlane && a->farPlane == b->farPlane &&
           a->fogPlane == b->fogPlane && a->projectionType == b->projectionType && a->zScale == b->zScale &&
           a->zShift == b->zShift;
}

TEST_F(CameraTest, ChunkRoundTripsEqual)
{
    SetSample(camera);
    RwMemoryDescriptor mem = WriteCamera(camera);
    ASSERT_NE(mem.start, nullptr);
    EXPECT_EQ(mem.length, 12u + RwCameraStreamGetSize(camera));
    RwCamera *read = ReadCamera(mem);
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(SameParameters(camera, read));
    RwCameraDestroy(read);
    RwFree(mem.start);
}

// A camera chunk with a hand-made struct of `length` bytes.
RwMemoryDescriptor HandCamera(RwUInt32 length, RwUInt32 projection)
{
    RwStream *out = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
    RwStreamWriteChunkHeaderDefault(out, rwID_CAMERA, 12 + length + 12);
    RwStreamWriteChunkHeaderDefault(out, rwID_STRUCT, length);
    const float values[7] = {1, 1, 0, 0, 0.1f, 100, 50};
    for (RwUInt32 i = 0; i < 7 && 4 * (i + 1) <= length; ++i) RwStreamWriteReal(out, values[i]);
    if (length >= 32) RwStreamWriteUInt32(out, projection);
    for (RwUInt32 extra = 32; extra < length; extra += 4) RwStreamWriteUInt32(out, 0xDEADBEEF);
    RwStreamWriteChunkHeaderDefault(out, rwID_EXTENSION, 0);
    RwMemoryDescriptor mem{nullptr, 0};
    RwStreamClose(out, &mem);
    return mem;
}

TEST_F(CameraTest, HostileChunksAreRefusedLeavingNothing)
{
    const size_t before = CountingMemory::LiveBlocks();
    size_t used = 0;
    auto count = [](void *, void *d) { ++*static_cast<size_t *>(d); };
    RwFreeListForAllUsed(rwCameraGetGlobals()->cameraFreeList, count, &used);
    for (auto [length, projection] : {std::pair<RwUInt32, RwUInt32>{20, 1}, {32, 0}, {32, 7}}) {
        RwMemoryDescriptor mem = HandCamera(length, projection);
        EXPECT_EQ(ReadCamera(mem), nullptr) << length << " " << projection;
        TakeError();
        RwFree(mem.start);
    }
    size_t usedAfter = 0;
    RwFreeListForAllUsed(rwCameraGetGlobals()->cameraFreeList, count, &usedAfter);
    EXPECT_EQ(usedAfter, used);
    EXPECT_EQ(CountingMemory::LiveBlocks(), before);
    // A longer struct is read up to its record and the rest skipped.
    RwMemoryDescriptor mem = HandCamera(40, 2);
    RwCamera *read = ReadCamera(mem);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->projectionType, rwPARALLEL);
    EXPECT_FLOAT_EQ(read->farPlane, 100.0f);
    RwCameraDestroy(read);
    RwFree(mem.start);
}

bool CameraRound()
{
    if (!rwtest::EngineStartUp(CountingMemory::Table(), 1 << 16, nullptr)) return false;
    bool ok = false;
    RwCamera *camera = RwCameraCreate();
    if (camera != nullptr) {
        SetSample(camera);
        RwMemoryDescriptor mem = WriteCamera(camera);
        if (mem.start != nullptr) {
            RwCamera *read = ReadCamera(mem);
            ok = read != nullptr && SameParameters(camera, read);
            if (read != nullptr) RwCameraDestroy(read);
            RwFree(mem.start);
        }
        RwCameraDestroy(camera);
    }
    EXPECT_TRUE(rwtest::EngineShutDown());
    return ok;
}

TEST(CameraAllocationSweep, EveryFailedAllocationLeavesNothing)
{ frametest::AllocationSweep(CameraRound); }

}  // namespace

}  // namespace bacamera_test
