// The vertex-buffer manager: vertex sizes of FVF codes, carving space out
// of shared buffers, merging freed neighbours, and oversize requests.
#include <vector>

#include "rwsdk/world/pipe/p2/d3d8/world_pipe_test_support.h"

namespace D3D8VertexBufferManager_test {

namespace {

using worldpipetest::WorldPipeTest;

TEST(FVFStrideTest, DirectXRule)
{
    EXPECT_EQ(RwD3D8FVFGetStride(0x112), 32u);
    EXPECT_EQ(RwD3D8FVFGetStride(0x252), 44u);
    EXPECT_EQ(RwD3D8FVFGetStride(0x002), 12u);
    // Set 0 with a 1-float size code.
    EXPECT_EQ(RwD3D8FVFGetStride(0x102 | (3u << 16)), 16u);
}

struct FreeBlock {
    IDirect3DVertexBuffer8 *buffer;
    RwUInt32 offset;
    RwUInt32 size;
};

std::vector<FreeBlock> FreeBlocks(RwUInt32 key)
{
    std::vector<FreeBlock> out;
    RwD3D8VertexBufferManagerForAllFree(
        key,
        [](IDirect3DVertexBuffer8 *b, RwUInt32 o, RwUInt32 s, void *d) {
            static_cast<std::vector<FreeBlock> *>(d)->push_back({b, o, s});
        },
        &out);
    return out;
}

class VertexBufferManagerTest : public WorldPipeTest {};

TEST_F(VertexBufferManagerTest, AdjacentFreedRegionsMergeIntoOneBlock)
{
    ASSERT_TRUE(StartWorldEngine());
    const RwUInt32 fvf = 0x112;  // 32 bytes
    IDirect3DVertexBuffer8 *a = nullptr, *b = nullptr, *c = nullptr;
    RwUInt32 ia = 0, ib = 0, ic = 0;
    ASSERT_TRUE(RwD3D8VertexBufferCreate(fvf, 320, &a, &ia));
    ASSERT_TRUE(RwD3D8VertexBufferCreate(fvf, 640, &b, &ib));
    ASSERT_TRUE(RwD3D8VertexBufferCreate(fvf, 320, &c, &ic));
    EXPECT_EQ(a, b);
    EXPECT_EQ(ia, 0u);
    EXPECT_EQ(ib, 10u);
    EXPECT_EQ(ic, 30u);
    RwD3D8VertexBufferDestroy(fvf, 320, a, ia);
    RwD3D8VertexBufferDestroy(fvf, 640, b, ib);
    // [0, 960) is one block again beside the untouched tail.
    std::vector<FreeBlock> blocks = FreeBlocks(fvf);
    ASSERT_EQ(blocks.size(), 2u);
    bool merged = false;
    for (const FreeBlock &f : blocks) {
        merged = merged || (f.offset == 0 && f.size == 960);
    }
    EXPECT_TRUE(merged);
    RwD3D8VertexBufferDestroy(fvf, 320, c, ic);
    blocks = FreeBlocks(fvf);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].offset, 0u);
    EXPECT_EQ(blocks[0].size, 131072u);
}

TEST_F(VertexBufferManagerTest, OversizeRequestGetsABufferOfExactlyItsSize)
{
    ASSERT_TRUE(StartWorldEngine());
    IDirect3DVertexBuffer8 *big = nullptr;
    IDirect3DVertexBuffer8 *small = nullptr;
    RwUInt32 index = 0;
    ASSERT_TRUE(RwD3D8VertexBufferCreate(0x002, 12 * 20000, &big, &index));
    ASSERT_TRUE(RwD3D8VertexBufferCreate(0x002, 12, &small, &index));
    EXPECT_NE(big, small);  // the big buffer was used up exactly
    EXPECT_TRUE(FreeBlocks(0x002).size() == 1u);
}

}  // namespace

}  // namespace D3D8VertexBufferManager_test
