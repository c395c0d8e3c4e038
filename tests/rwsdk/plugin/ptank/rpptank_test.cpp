// The particle tank on the Direct3D 8 driver: creation and its data
// layouts, locking, the render path and its callbacks, the faults around
// failed vertex locks and cloned tanks, and headless frames against
// reviewed reference images.
#include <gtest/gtest.h>

#include <cstring>

#include "plugin/ptank/ptank.h"
#include "ptank_test_support.h"
#include "rwd3d8.h"

namespace rpptank_test {

namespace {

using ptanktest::MatchesReference;

class PTankTest : public ptanktest::ParticleEngineTest {
protected:
    void SetUp() override
    {
        ParticleEngineTest::SetUp();
        ASSERT_TRUE(StartEngine());
    }
};

// Fills a tank's positions and colours; particles in a row along x.
void FillRow(RpAtomic *atomic, RwInt32 count)
{
    RpPTankLockStruct positions;
    RpPTankLockStruct colors;
    ASSERT_TRUE(RpPTankAtomicLock(atomic, &positions, rpPTANKDFLAGPOSITION, rpPTANKLFLAGWRITE));
    ASSERT_TRUE(RpPTankAtomicLock(atomic, &colors, rpPTANKDFLAGCOLOR, rpPTANKLFLAGWRITE));
    const RwRGBA palette[3] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};
    for (RwInt32 i = 0; i < count; ++i) {
        const RwV3d p = {-2.0f + 2.0f * static_cast<RwReal>(i), 0.0f, 0.0f};
        std::memcpy(positions.data + i * positions.stride, &p, sizeof p);
        std::memcpy(colors.data + i * colors.stride, &palette[i % 3], sizeof(RwRGBA));
    }
    RpPTankAtomicUnlock(atomic);
    RpPTankAtomicGetTank(atomic)->actPCount = count;
    RpPTankAtomicGetTank(atomic)->cSize = {1.5f, 1.5f};
}

TEST_F(PTankTest, DataFlagsZeroGiveSeparatePositionArrays)
{
    RpAtomic *atomic = RpPTankAtomicCreate(8, 0, 0);
    ASSERT_NE(atomic, nullptr);
    const RpPTankFormatDescriptor *format = RpPTankAtomicGetDataFormat(atomic);
    EXPECT_EQ(format->dataFlags, rpPTANKDFLAGPOSITION | rpPTANKDFLAGARRAY);
    EXPECT_EQ(format->numClusters, 1);
    EXPECT_EQ(format->stride, 0);
    RpPTankLockStruct lock;
    ASSERT_TRUE(RpPTankAtomicLock(atomic, &lock, rpPTANKDFLAGPOSITION, 0));
    EXPECT_EQ(lock.stride, 12);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(lock.data) % 16, 0u);
    RpAtomicDestroy(atomic);
}

TEST_F(PTankTest, MatrixTankHasNoPositionAndLockingAMissingAttributeGivesNothing)
{
    RpAtomic *atomic = RpPTankAtomicCreate(4, rpPTANKDFLAGMATRIX | rpPTANKDFLAGSIZE | rpPTANKDFLAG2DROTATE, 0);
    ASSERT_NE(atomic, nullptr);
    EXPECT_EQ(RpPTankAtomicGetDataFormat(atomic)->dataFlags, rpPTANKDFLAGMATRIX | rpPTANKDFLAGARRAY);
    RpPTankLockStruct lock = {reinterpret_cast<RwUInt8 *>(1), 5};
    EXPECT_FALSE(RpPTankAtomicLock(atomic, &lock, rpPTANKDFLAGPOSITION, rpPTANKLFLAGWRITE));
    EXPECT_EQ(lock.data, nullptr);
    EXPECT_EQ(lock.stride, 0);
    EXPECT_FALSE(RpPTankAtomicLock(atomic, &lock, rpPTANKDFLAGCOLOR, rpPTANKLFLAGWRITE));
    EXPECT_EQ(RpPTankAtomicGetTank(atomic)->lockFlags, 0u);
    RpAtomicDestroy(atomic);
}

TEST_F(PTankTest, InterleavedRecordsShareOneStride)
{
    const RwUInt32 flags = rpPTANKDFLAGSTRUCTURE | rpPTANKDFLAGPOSITION | rpPTANKDFLAGCOLOR | rpPTANKDFLAGSIZE;
    RpAtomic *atomic = RpPTankAtomicCreate(5, flags, 0);
    ASSERT_NE(atomic, nullptr);
    RpPTankLockStruct position, size, color;
    ASSERT_TRUE(RpPTankAtomicLock(atomic, &position, rpPTANKDFLAGPOSITION, 0));
    ASSERT_TRUE(RpPTankAtomicLock(atomic, &size, rpPTANKDFLAGSIZE, 0));
    ASSERT_TRUE(RpPTankAtomicLock(atomic, &color, rpPTANKDFLAGCOLOR, 0));
    EXPECT_EQ(RpPTankAtomicGetDataFormat(atomic)->stride, 24);
    EXPECT_EQ(position.stride, 24);
    EXPECT_EQ(size.data - position.data, 12);  // position, size, colour in that order
    EXPECT_EQ(color.data - position.data, 20);
    RpAtomicDestroy(atomic);
}

TEST_F(PTankTest, WriteLocksReachTheInstanceFlagsAtUnlock)
{
    RpAtomic *atomic = RpPTankAtomicCreate(4, rpPTANKDFLAGCOLOR, 0);
    ASSERT_NE(atomic, nullptr);
    RpPTank *tank = RpPTankAtomicGetTank(atomic);
    EXPECT_EQ(tank->instFlags, 0xFFFFFFFFu);
    tank->instFlags = 0;
    RpPTankLockStruct lock;
    RpPTankAtomicLock(atomic, &lock, rpPTANKDFLAGCOLOR, 0);
    EXPECT_EQ(tank->lockFlags, 0u);
    RpPTankAtomicLock(atomic, &lock, rpPTANKDFLAGCOLOR, rpPTANKLFLAGWRITE);
    EXPECT_EQ(tank->lockFlags, rpPTANKDFLAGCOLOR | rpPTANKLFLAGWRITE);
    RpPTankAtomicUnlock(atomic);
    EXPECT_EQ(tank->lockFlags, 0u);
    EXPECT_EQ(tank->instFlags, rpPTANKDFLAGCOLOR | rpPTANKLFLAGWRITE);
    RpAtomicDestroy(atomic);
}

struct CallLog {
    static inline int instances = 0;
    static inline int renders = 0;
    static inline RwBool renderResult = 0;
    static RwBool Create(RpAtomic *, RpPTankData *, RwInt32, RwUInt32, RwUInt32) { return TRUE; }
    static RwBool Instance(RpAtomic *, RpPTankData *, RwInt32, RwUInt32)
    {
        ++instances;
        return TRUE;
    }
    static RwBool Render(RpAtomic *, RpPTankData *, RwInt32)
    {
        ++renders;
        return renderResult;
    }
    static inline int previous = 0;
    static RpAtomic *Previous(RpAtomic *atomic)
    {
        ++previous;
        return atomic;
    }
};

TEST_F(PTankTest, RenderCallsInstanceAndRenderOnlyWithActiveParticles)
{
    const RpPTankCallBacks callbacks = {nullptr, CallLog::Create, CallLog::Instance, CallLog::Render};
    RpAtomic *atomic = RpPTankAtomicCreateEx(4, rpPTANKDFLAGPOSITION | rpPTANKDFLAGARRAY, 0, &callbacks);
    ASSERT_NE(atomic, nullptr);
    RpPTank *tank = RpPTankAtomicGetTank(atomic);
    tank->defaultRenderCB = CallLog::Previous;
    CallLog::instances = CallLog::renders = CallLog::previous = 0;
    EXPECT_EQ(RpAtomicRender(atomic), atomic);
    EXPECT_EQ(CallLog::instances + CallLog::renders + CallLog::previous, 0);
    tank->actPCount = 2;
    tank->instFlags = 0x5;
    CallLog::renderResult = 0;
    RpAtomicRender(atomic);
    EXPECT_EQ(CallLog::instances, 1);
    EXPECT_EQ(CallLog::renders, 1);
    EXPECT_EQ(CallLog::previous, 0);
    EXPECT_EQ(tank->instFlags, 0u);
    CallLog::renderResult = 1;
    RpAtomicRender(atomic);
    EXPECT_EQ(CallLog::instances, 2);  // instanced at every render, whatever the flags hold
    EXPECT_EQ(CallLog::previous, 1);
    RpAtomicDestroy(atomic);
}

TEST_F(PTankTest, PointSpritesFallBackToQuadsOnADeviceWithoutThem)
{
    RpAtomic *atomic = RpPTankAtomicCreate(4, rpPTANKDFLAGCOLOR, rpPTANKD3D8FLAGSUSEPOINTSPRITES);
    ASSERT_NE(atomic, nullptr);
    if (RpPTankGetGlobals()->maxPointSize > 1.0f) {
        GTEST_SKIP() << "this profile has point sprites";
    }
    EXPECT_EQ(RpPTankAtomicGetTank(atomic)->platFlags & rpPTANKD3D8FLAGSUSEPOINTSPRITES, 0u);
    EXPECT_EQ(RpPTankAtomicGetTank(atomic)->setup, RpPTankQuadSetup);
    RpAtomicDestroy(atomic);
}

TEST_F(PTankTest, TextureCoordinatesFollowTheMaterialTexture)
{
    RpAtomic *atomic = RpPTankAtomicCreate(2, rpPTANKDFLAGCNSVTX2TEXCOORDS, 0);
    ASSERT_NE(atomic, nullptr);
    RpGeometry *geometry = RpAtomicGetGeometry(atomic);
    RpPTankInstanceContext context = {};
    RpPTankAtomicGetTank(atomic)->actPCount = 1;
    RwCamera *camera = MakeCamera();
    ASSERT_NE(RwCameraBeginUpdate(camera), nullptr);
    ASSERT_TRUE(RpPTankQuadSetup(&context, atomic, &RpPTankAtomicGetTank(atomic)->data, 1, 0));
    RpPTankInstanceFinish(&context, atomic, nullptr, 1, 0);
    EXPECT_FALSE(context.useTexCoords);
    EXPECT_EQ(geometry->flags & rpGEOMETRYTEXTURED, 0u);
    EXPECT_EQ(context.positions.stride, 12);
    RwCameraEndUpdate(camera);
    DestroyCamera(camera);
    RpAtomicDestroy(atomic);
}

TEST_F(PTankTest, QuadsFrameMatchesReference)
{
    RwCamera *camera = MakeCamera();
    RpAtomic *atomic = RpPTankAtomicCreate(3, rpPTANKDFLAGCOLOR, 0);
    ASSERT_NE(atomic, nullptr);
    FillRow(atomic, 3);
    const win::Frame frame = Render(camera, {16, 16, 16, 255}, [&] { RpAtomicRender(atomic); });
    ASSERT_EQ(frame.width, width);
    EXPECT_TRUE(MatchesReference(frame, "ptank_quads"));
    // The middle particle is green and centred on the screen.
    EXPECT_EQ(frame.At(width / 2, height / 2) & 0xFFFFFFu, 0x00FF00u);
    RpAtomicDestroy(atomic);
    DestroyCamera(camera);
}

// A tank on a frame draws its particles through the frame: the row written
// in the space of a turned and moved frame lands where the plain tank's
// does, its quads still facing the camera.
TEST_F(PTankTest, ATanksFramePlacesAndTurnsItsParticles)
{
    RwCamera *camera = MakeCamera();
    RpAtomic *atomic = RpPTankAtomicCreate(3, rpPTANKDFLAGCOLOR, 0);
    ASSERT_NE(atomic, nullptr);
    RwFrame *frame = RwFrameCreate();
    const RwV3d yAxis = {0.0f, 1.0f, 0.0f};
    const RwV3d zAxis = {0.0f, 0.0f, 1.0f};
    const RwV3d moved = {3.0f, -1.0f, -2.0f};
    RwFrameRotate(frame, &yAxis, 90.0f, rwCOMBINEREPLACE);
    RwFrameRotate(frame, &zAxis, 30.0f, rwCOMBINEPOSTCONCAT);
    RwFrameTranslate(frame, &moved, rwCOMBINEPOSTCONCAT);
    RpAtomicSetFrame(atomic, frame);
    FillRow(atomic, 3);
    RwMatrix inverse;
    ASSERT_NE(RwMatrixInvert(&inverse, RwFrameGetLTM(frame)), nullptr);
    RpPTankLockStruct positions;
    ASSERT_TRUE(RpPTankAtomicLock(atomic, &positions, rpPTANKDFLAGPOSITION, rpPTANKLFLAGWRITE));
    for (RwInt32 i = 0; i < 3; ++i) {
        RwV3d *p = reinterpret_cast<RwV3d *>(positions.data + i * positions.stride);
        RwV3dTransformPoints(p, p, 1, &inverse);
    }
    RpPTankAtomicUnlock(atomic);
    const win::Frame image = Render(camera, {16, 16, 16, 255}, [&] { RpAtomicRender(atomic); });
    EXPECT_TRUE(MatchesReference(image, "ptank_quads", 8));
    EXPECT_EQ(image.At(width / 2, height / 2) & 0xFFFFFFu, 0x00FF00u);
    RpAtomicSetFrame(atomic, nullptr);
    RwFrameDestroy(frame);
    RpAtomicDestroy(atomic);
    DestroyCamera(camera);
}

// A render whose vertex lock fails must not draw: the shared buffer would
// still hold another tank's vertices (or be gone).
TEST_F(PTankTest, FailedVertexLockDrawsNothing)
{
    RwCamera *camera = MakeCamera();
    RpAtomic *small = RpPTankAtomicCreate(3, rpPTANKDFLAGCOLOR, 0);
    RpAtomic *huge = RpPTankAtomicCreate(60000, rpPTANKDFLAGCOLOR, 0);
    ASSERT_NE(small, nullptr);
    ASSERT_NE(huge, nullptr);
    FillRow(small, 3);
    FillRow(huge, 3);
    RpPTankAtomicGetTank(huge)->actPCount = 60000;
    const win::Frame frame = Render(camera, {16, 16, 16, 255}, [&] {
        RpAtomicRender(small);
        // The huge tank needs a bigger shared buffer, whose creation fails.
        d3d8::FailNextCreations(RwD3D8GetCurrentD3DDevice(), 4, D3DERR_OUTOFVIDEOMEMORY);
        RpAtomicRender(huge);
        d3d8::FailNextCreations(RwD3D8GetCurrentD3DDevice(), 0, D3D_OK);
    });
    EXPECT_FALSE(RpPTankGetGlobals()->verticesLocked);
    EXPECT_TRUE(MatchesReference(frame, "ptank_quads"));
    RpAtomicDestroy(huge);
    RpAtomicDestroy(small);
    DestroyCamera(camera);
}

TEST_F(PTankTest, ClonedTankRendersThroughItsOwnRecord)
{
    RwCamera *camera = MakeCamera();
    RpAtomic *atomic = RpPTankAtomicCreate(3, rpPTANKDFLAGCOLOR, 0);
    ASSERT_NE(atomic, nullptr);
    FillRow(atomic, 3);
    RpAtomic *clone = RpAtomicClone(atomic);
    ASSERT_NE(clone, nullptr);
    RpPTank *copy = RpPTankAtomicGetTank(clone);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, RpPTankAtomicGetTank(atomic));
    EXPECT_NE(copy->rawdata, RpPTankAtomicGetTank(atomic)->rawdata);
    RpAtomicDestroy(atomic);  // the clone must not depend on its source
    const win::Frame frame = Render(camera, {16, 16, 16, 255}, [&] { RpAtomicRender(clone); });
    EXPECT_TRUE(MatchesReference(frame, "ptank_quads"));
    RpAtomicDestroy(clone);
    DestroyCamera(camera);
}

class PTankPointSpriteTest : public ptanktest::ParticleEngineTest {};

TEST_F(PTankPointSpriteTest, PointSpritesFrameMatchesReference)
{
    profile = d3d8::DefaultProfile();
    profile.pointSprites = true;
    ASSERT_TRUE(StartEngine());
    if (!(RpPTankGetGlobals()->maxPointSize > 1.0f)) {
        GTEST_SKIP() << "the device has no profile with point sprites";
    }
    RwCamera *camera = MakeCamera();
    RpAtomic *atomic = RpPTankAtomicCreate(3, rpPTANKDFLAGCOLOR, rpPTANKD3D8FLAGSUSEPOINTSPRITES);
    ASSERT_NE(atomic, nullptr);
    EXPECT_EQ(RpPTankAtomicGetTank(atomic)->setup, RpPTankPointSetup);
    FillRow(atomic, 3);
    // The device scales sprites by distance: height 32 * size 2 * sqrt(1 / (0.5 * 10 * 10))
    // makes squares about nine pixels wide, apart like the quads.
    RpPTankAtomicGetTank(atomic)->cSize = {2.0f, 2.0f};
    const win::Frame frame = Render(camera, {16, 16, 16, 255}, [&] { RpAtomicRender(atomic); });
    EXPECT_TRUE(MatchesReference(frame, "ptank_points"));
    EXPECT_EQ(frame.At(width / 2, height / 2) & 0xFFFFFFu, 0x00FF00u);
    EXPECT_EQ(frame.At(0, 0) & 0xFFFFFFu, 0x101010u);
    RpAtomicDestroy(atomic);
    DestroyCamera(camera);
}

}  // namespace

}  // namespace rpptank_test
