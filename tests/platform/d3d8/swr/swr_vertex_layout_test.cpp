// Flexible vertex formats: component offsets and sizes, and the formats refused.
#include <gtest/gtest.h>

#include "platform/d3d8/swr/swr_vertex_layout.h"

namespace swr_vertex_layout_test {

namespace {

TEST(VertexLayout, EveryComponentInOrder) {
    swr::VertexLayout l;
    const DWORD fvf = D3DFVF_XYZB2 | D3DFVF_NORMAL | D3DFVF_PSIZE | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX3 |
                      D3DFVF_TEXCOORDSIZE1(0) | D3DFVF_TEXCOORDSIZE4(2);
    ASSERT_TRUE(swr::DecodeVertexLayout(fvf, l));
    EXPECT_EQ(l.blendWeights, 2u);
    EXPECT_EQ(l.normal, 20);
    EXPECT_EQ(l.pointSize, 32);
    EXPECT_EQ(l.diffuse, 36);
    EXPECT_EQ(l.specular, 40);
    EXPECT_EQ(l.texCoord[0], 44);
    EXPECT_EQ(l.texCoordSize[0], 1u);
    EXPECT_EQ(l.texCoord[1], 48);
    EXPECT_EQ(l.texCoordSize[1], 2u);
    EXPECT_EQ(l.texCoord[2], 56);
    EXPECT_EQ(l.texCoordSize[2], 4u);
    EXPECT_EQ(l.size, 72u);
}

TEST(VertexLayout, EngineFormats) {
    swr::VertexLayout l;
    ASSERT_TRUE(swr::DecodeVertexLayout(0x144, l));  // screen-space 2D vertex
    EXPECT_TRUE(l.pretransformed);
    EXPECT_EQ(l.size, 28u);
    ASSERT_TRUE(swr::DecodeVertexLayout(0x152, l));  // immediate 3D vertex
    EXPECT_EQ(l.size, 36u);
    ASSERT_TRUE(swr::DecodeVertexLayout(D3DFVF_XYZB5 | D3DFVF_LASTBETA_UBYTE4, l));
    EXPECT_EQ(l.size, 32u);
}

TEST(VertexLayout, RefusesFormatsWithoutPositionOrWithReservedBits) {
    swr::VertexLayout l;
    EXPECT_FALSE(swr::DecodeVertexLayout(D3DFVF_DIFFUSE, l));
    EXPECT_FALSE(swr::DecodeVertexLayout(D3DFVF_XYZ | D3DFVF_RESERVED0, l));
    EXPECT_FALSE(swr::DecodeVertexLayout(D3DFVF_XYZ | 0x900u, l));  // nine coordinate sets
}

}  // namespace

}  // namespace swr_vertex_layout_test
