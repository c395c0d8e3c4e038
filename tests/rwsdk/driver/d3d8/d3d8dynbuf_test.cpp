// The shared dynamic vertex buffers: appending with no-overwrite locks,
// discarding when full, growing for big batches, and failing cleanly when a
// buffer cannot be made.
#include "d3d8_driver_test_support.h"

#include <cstring>

namespace d3d8dynbuf_test {

using d3d8test::DriverTest;

namespace {

class DynamicBufferTest : public DriverTest {
protected:
    bool Lock(RwUInt32 stride, RwUInt32 count, RwUInt32 *base, IDirect3DVertexBuffer8 **buffer = nullptr)
    {
        IDirect3DVertexBuffer8 *locked = nullptr;
        void *data = nullptr;
        if (!RwD3D8LockDynamicVertices(stride, count, &locked, &data, base)) {
            return false;
        }
        std::memset(data, 0xAB, size_t(stride) * count);
        RwD3D8UnlockVertexBuffer(locked);
        if (buffer != nullptr) {
            *buffer = locked;
        }
        return true;
    }
};

}  // namespace

TEST_F(DynamicBufferTest, SoftwareDevicesAlwaysDiscardAtTheStart)
{
    ASSERT_TRUE(StartEngine());
    RwUInt32 base = 99;
    ASSERT_TRUE(Lock(28, 10, &base));
    EXPECT_EQ(base, 0u);
    ASSERT_TRUE(Lock(28, 10, &base));
    EXPECT_EQ(base, 0u);
}

TEST_F(DynamicBufferTest, HardwareDevicesAppendThenMoveOn)
{
    profile.hardwareTransformAndLight = true;
    ASSERT_TRUE(StartEngine());
    RwUInt32 base = 99;
    IDirect3DVertexBuffer8 *first = nullptr, *buffer = nullptr;
    ASSERT_TRUE(Lock(24, 10, &base, &first));
    EXPECT_EQ(base, 0u);
    ASSERT_TRUE(Lock(24, 10, &base, &buffer));
    EXPECT_EQ(base, 10u);
    EXPECT_EQ(buffer, first);
    // Rounding to the new stride: 480 bytes used, 28-byte vertices start at 504.
    ASSERT_TRUE(Lock(28, 1, &base, &buffer));
    EXPECT_EQ(base, 18u);
    // Too big for what is left: the next buffer, from its start.
    ASSERT_TRUE(Lock(4, 0x40000 / 4 - 100, &base, &buffer));
    EXPECT_EQ(base, 0u);
    EXPECT_NE(buffer, first);
}

TEST_F(DynamicBufferTest, BigBatchGrowsTheBufferAndLocksWithDiscard)
{
    ASSERT_TRUE(StartEngine());
    RwUInt32 base = 99;
    IDirect3DVertexBuffer8 *buffer = nullptr;
    ASSERT_TRUE(Lock(32, 0x40000 / 32 + 1000, &base, &buffer));
    EXPECT_EQ(base, 0u);
    D3DVERTEXBUFFER_DESC desc{};
    buffer->GetDesc(&desc);
    EXPECT_EQ(desc.Size, 32u * (0x40000 / 32 + 1000));
}

TEST_F(DynamicBufferTest, FailedGrowthRefusesTheLockAndRecoversLater)
{
    ASSERT_TRUE(StartEngine());
    Spy();
    d3d8::FailNextCreations(real, 4, E_OUTOFMEMORY);
    RwUInt32 base = 0;
    EXPECT_FALSE(Lock(32, 0x40000 / 32 + 1000, &base)) << "no buffer was made, so nothing is locked";
    EXPECT_FALSE(Lock(28, 4, &base)) << "the failure left the slot empty, still no buffer";
    d3d8::FailNextCreations(real, 0, D3D_OK);
    EXPECT_TRUE(Lock(28, 4, &base));
    EXPECT_EQ(base, 0u);
}

TEST_F(DynamicBufferTest, PooledBuffersAreReusedByFormatAndSize)
{
    ASSERT_TRUE(StartEngine());
    IDirect3DVertexBuffer8 *a = nullptr, *b = nullptr;
    ASSERT_TRUE(RwD3D8CreateDynamicVertexBuffer(0x142, 4096, &a));
    RwD3D8ReleaseDynamicVertexBuffer(a);
    ASSERT_TRUE(RwD3D8CreateDynamicVertexBuffer(0x142, 4096, &b));
    EXPECT_EQ(a, b);
    RwD3D8ReleaseDynamicVertexBuffer(b);
}

TEST_F(DynamicBufferTest, HardwareResetClearsAndRefillsOwnerSlots)
{
    profile.hardwareTransformAndLight = true;
    ASSERT_TRUE(StartEngine());
    IDirect3DVertexBuffer8 *owned = nullptr;
    ASSERT_TRUE(RwD3D8CreateDynamicVertexBuffer(0x142, 4096, &owned));
    d3d8::SetStrictReset(real, true);
    ASSERT_TRUE(RwD3D8DeviceReset()) << "a default-pool object outlived the reset";
    EXPECT_NE(owned, nullptr);
    RwD3D8ReleaseDynamicVertexBuffer(owned);
}

}  // namespace d3d8dynbuf_test
