// Tests of rasters over the device's standard functions: creation and
// destruction, locks, mip levels, and the raster-context stack.
#include <gtest/gtest.h>

#include <utility>

#include "rwsdk/src/baraster.h"
#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"
#include "tests/rwsdk/src/device_slots_test_support.h"

namespace baraster_test {

namespace {

using rwtest::TakeError;
using slottest::Slots;

void CountEntry(void *, void *data) { ++*static_cast<size_t *>(data); }

size_t RastersInUse()
{
    size_t used = 0;
    RwFreeListForAllUsed(rwRasterGetGlobals()->rasterFreeList, CountEntry, &used);
    return used + rwtest::CountingMemory::LiveBlocks();
}

struct RasterTest : rwtest::EngineTest {
    void SetUp() override
    {
        rwtest::EngineTest::SetUp();
        Slots::Install();
    }
};

TEST_F(RasterTest, CreateHandsTheFlagsToTheDeviceAndDestroyReturnsTheRecord)
{
    const size_t before = RastersInUse();
    RwRaster *r = RwRasterCreate(64, 32, 0, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888 | rwRASTERFORMATMIPMAP);
    ASSERT_NE(r, nullptr);
    auto calls = Slots::CallsTo(rwSTANDARDRASTERCREATE);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].inOut, r);
    EXPECT_EQ(calls[0].number, 0x8504);
    EXPECT_EQ(r->parent, r);
    EXPECT_EQ(r->width, 64);
    EXPECT_EQ(r->height, 32);
    EXPECT_EQ(RwRasterGetType(r), rwRASTERTYPETEXTURE);
    EXPECT_EQ(RwRasterGetFormat(r), 0x8500);
    EXPECT_TRUE(RwRasterDestroy(r));
    EXPECT_EQ(Slots::CallsTo(rwSTANDARDRASTERDESTROY).size(), 1u);
    EXPECT_EQ(RastersInUse(), before);
}

TEST_F(RasterTest, RefusedCreateLeavesNoRecord)
{
    const size_t before = RastersInUse();
    Slots::Answers()[rwSTANDARDRASTERCREATE] = FALSE;
    EXPECT_EQ(RwRasterCreate(8, 8, 0, rwRASTERTYPENORMAL), nullptr);
    EXPECT_EQ(RastersInUse(), before);
}

TEST_F(RasterTest, LocksCarryTheMipLevelAndPaletteUnlockClearsItsBits)
{
    RwRaster *r = RwRasterCreate(8, 8, 0, rwRASTERTYPETEXTURE);
    EXPECT_EQ(RwRasterLock(r, 2, 1), reinterpret_cast<RwUInt8 *>(0x1000));
    EXPECT_EQ(Slots::CallsTo(rwSTANDARDRASTERLOCK).back().number, 0x201);
    EXPECT_EQ(RwRasterUnlock(r), r);
    Slots::Answers()[rwSTANDARDRASTERLOCK] = FALSE;
    EXPECT_EQ(RwRasterLock(r, 0, 2), nullptr);

    Slots::Answers()[rwSTANDARDRASTERLOCKPALETTE] = FALSE;
    EXPECT_EQ(RwRasterLockPalette(r, 1), nullptr);
    r->privateFlags = 0x19;
    EXPECT_EQ(RwRasterUnlockPalette(r), r);
    EXPECT_EQ(r->privateFlags, 0x01);
    EXPECT_EQ(Slots::CallsTo(rwSTANDARDRASTERUNLOCKPALETTE).size(), 1u);
    RwRasterDestroy(r);
}

TEST_F(RasterTest, MipLevelsAskTheDeviceOnlyForMipMappedRasters)
{
    RwRaster *plain = RwRasterCreate(8, 8, 0, rwRASTERTYPETEXTURE);
    RwRaster *mipped = RwRasterCreate(8, 8, 0, rwRASTERTYPETEXTURE | rwRASTERFORMATMIPMAP);
    EXPECT_EQ(RwRasterGetNumLevels(plain), 1);
    EXPECT_TRUE(Slots::CallsTo(rwSTANDARDRASTERGETMIPLEVELS).empty());
    EXPECT_EQ(RwRasterGetNumLevels(mipped), 5);
    Slots::Answers()[rwSTANDARDRASTERGETMIPLEVELS] = FALSE;
    EXPECT_EQ(RwRasterGetNumLevels(mipped), -1);
    RwRasterDestroy(plain);
    RwRasterDestroy(mipped);
}

TEST_F(RasterTest, ContextStackPushPopClear)
{
    RwRaster *builtIn = RwRasterGetCurrentContext();
    ASSERT_NE(builtIn, nullptr);
    EXPECT_EQ(builtIn->cFlags, rwRASTERDONTALLOCATE);
    EXPECT_FALSE(RwRasterClear(0));
    EXPECT_EQ(TakeError().errorCode, E_RW_NORASTERCONTEXT);

    RwRaster *a = RwRasterCreate(8, 8, 0, rwRASTERTYPECAMERATEXTURE);
    RwRaster *b = RwRasterCreate(8, 8, 0, rwRASTERTYPECAMERATEXTURE);
    EXPECT_EQ(RwRasterPushContext(a), a);
    EXPECT_EQ(RwRasterPushContext(b), b);
    EXPECT_EQ(RwRasterGetCurrentContext(), b);
    EXPECT_TRUE(RwRasterClear(0x1234));
    EXPECT_EQ(Slots::CallsTo(rwSTANDARDRASTERCLEAR).back().number, 0x1234);
    EXPECT_EQ(RwRasterPopContext(), b);
    EXPECT_EQ(Slots::CallsTo(rwSTANDARDSETRASTERCONTEXT).back().inOut, a);
    EXPECT_EQ(RwRasterPopContext(), a);
    EXPECT_EQ(RwRasterGetCurrentContext(), builtIn);
    EXPECT_EQ(RwRasterPopContext(), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RW_NORASTERCONTEXT);

    // Refused push: nothing stored. Nine fit above the built-in raster.
    Slots::Answers()[rwSTANDARDSETRASTERCONTEXT] = FALSE;
    EXPECT_EQ(RwRasterPushContext(a), nullptr);
    EXPECT_EQ(RwRasterGetCurrentContext(), builtIn);
    Slots::Answers()[rwSTANDARDSETRASTERCONTEXT] = TRUE;
    for (int i = 0; i < 9; ++i) ASSERT_EQ(RwRasterPushContext(a), a);
    EXPECT_EQ(RwRasterPushContext(b), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RW_BADPARAM);
    // A refused pop still lowers the stack.
    Slots::Answers()[rwSTANDARDSETRASTERCONTEXT] = FALSE;
    EXPECT_EQ(RwRasterPopContext(), nullptr);
    Slots::Answers()[rwSTANDARDSETRASTERCONTEXT] = TRUE;
    for (int i = 0; i < 8; ++i) ASSERT_EQ(RwRasterPopContext(), a);
    EXPECT_EQ(RwRasterGetCurrentContext(), builtIn);
    RwRasterDestroy(a);
    RwRasterDestroy(b);
}

TEST_F(RasterTest, ShowForwardsRasterWindowAndFlags)
{
    RwRaster *r = RwRasterCreate(8, 8, 0, rwRASTERTYPECAMERA);
    void *window = reinterpret_cast<void *>(0x55);
    EXPECT_EQ(RwRasterShow(r, window, 3), r);
    auto call = Slots::CallsTo(rwSTANDARDRASTERSHOWRASTER).back();
    EXPECT_EQ(call.out, r);
    EXPECT_EQ(call.inOut, window);
    EXPECT_EQ(call.number, 3);
    Slots::Answers()[rwSTANDARDRASTERSHOWRASTER] = FALSE;
    EXPECT_EQ(RwRasterShow(r, window, 0), nullptr);
    RwRasterDestroy(r);
}

}  // namespace

}  // namespace baraster_test
