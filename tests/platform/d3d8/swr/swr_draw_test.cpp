// Draw calls: primitive assembly for every primitive type, indexed drawing, and the
// bounds checks that skip primitives whose indices or vertices lie outside their
// streams (the streams end against an unreadable page, so a stray read crashes).
#include <gtest/gtest.h>

#include "swr_test_scene.h"

namespace {

using swrtest::Quad;
using swrtest::Scene;
using swrtest::TLVertex;

constexpr D3DCOLOR kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu;

// Three separate triangles, each covering pixel (4k + 1, 1).
std::vector<TLVertex> ThreeTriangles() {
    std::vector<TLVertex> v;
    const D3DCOLOR colors[3] = {kRed, kGreen, kBlue};
    for (int k = 0; k < 3; ++k) {
        const float x = 4.0f * k;
        v.push_back({x, 0, 0, 1, colors[k]});
        v.push_back({x + 3, 0, 0, 1, colors[k]});
        v.push_back({x, 3, 0, 1, colors[k]});
    }
    return v;
}

TEST(DrawBounds, ShortVertexStreamDrawsOnlyWholePrimitives) {
    Scene s(12, 4);
    std::vector<TLVertex> v = ThreeTriangles();
    v.resize(8);  // the third triangle lacks its last vertex
    // Ask for far more primitives than the stream holds.
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, v, 1000000));
    EXPECT_EQ(s.Pixel(1, 1), kRed);
    EXPECT_EQ(s.Pixel(5, 1), kGreen);
    EXPECT_EQ(s.Pixel(9, 1), 0u);
}

TEST(DrawBounds, PartialLastVertexIsNotRead) {
    Scene s(12, 4);
    const std::vector<TLVertex> v = ThreeTriangles();
    // The stream ends 4 bytes into the last vertex: that vertex must be refused whole.
    swrtest::GuardedBytes bytes(v.data(), v.size() * sizeof(TLVertex) - 4);
    const swr::VertexStream stream{bytes.data(), bytes.size(), sizeof(TLVertex), swrtest::kTLFvf};
    ASSERT_TRUE(swr::DrawPrimitive(s.state, s.color, nullptr, D3DPT_TRIANGLELIST, stream, 0, 3));
    EXPECT_EQ(s.Pixel(5, 1), kGreen);
    EXPECT_EQ(s.Pixel(9, 1), 0u);
}

TEST(DrawBounds, OutOfRangeIndicesSkipOnlyTheirPrimitive) {
    Scene s(12, 4);
    const std::vector<TLVertex> v = ThreeTriangles();
    const std::vector<uint16_t> indices{0, 1, 2, 3, 4, 60000, 6, 7, 8};
    ASSERT_TRUE(s.DrawIndexed(D3DPT_TRIANGLELIST, v, indices, 3));
    EXPECT_EQ(s.Pixel(1, 1), kRed);
    EXPECT_EQ(s.Pixel(5, 1), 0u);
    EXPECT_EQ(s.Pixel(9, 1), kBlue);
}

TEST(DrawBounds, ShortIndexStreamAndHugeBaseVertexAreRefused) {
    Scene s(12, 4);
    const std::vector<TLVertex> v = ThreeTriangles();
    const std::vector<uint32_t> indices{6, 7, 8, 0, 1};  // the second triangle is cut short
    ASSERT_TRUE(s.DrawIndexed(D3DPT_TRIANGLELIST, v, indices, 500));
    EXPECT_EQ(s.Pixel(9, 1), kBlue);
    EXPECT_EQ(s.Pixel(1, 1), 0u);

    swrtest::GuardedBytes vb(v.data(), v.size() * sizeof(TLVertex));
    swrtest::GuardedBytes ib(indices.data(), indices.size() * 4);
    const swr::VertexStream stream{vb.data(), vb.size(), sizeof(TLVertex), swrtest::kTLFvf};
    const swr::IndexStream istream{ib.data(), ib.size(), true};
    // base + index wraps past 2^32 in 32-bit arithmetic; it must not alias vertex 0..8.
    ASSERT_TRUE(swr::DrawIndexedPrimitive(s.state, s.color, nullptr, D3DPT_TRIANGLELIST, stream, istream,
                                          0xFFFFFFFAu, 0, 9, 0, 1));
    EXPECT_EQ(s.Pixel(9, 1), kBlue);  // unchanged, and nothing else drawn
    EXPECT_EQ(s.Pixel(1, 1), 0u);
}

TEST(DrawBounds, MalformedRequestsAreRejected) {
    Scene s(4, 4);
    const std::vector<TLVertex> v = ThreeTriangles();
    EXPECT_FALSE(s.Draw(static_cast<D3DPRIMITIVETYPE>(7), v, 1));
    EXPECT_FALSE(s.Draw(D3DPT_TRIANGLELIST, v, 1, D3DFVF_DIFFUSE));  // no position
    // A stride shorter than the format.
    swrtest::GuardedBytes bytes(v.data(), v.size() * sizeof(TLVertex));
    const swr::VertexStream shortStride{bytes.data(), bytes.size(), 16, swrtest::kTLFvf};
    EXPECT_FALSE(swr::DrawPrimitive(s.state, s.color, nullptr, D3DPT_TRIANGLELIST, shortStride, 0, 1));
    EXPECT_EQ(s.CountPixels(0), 16u);
}

TEST(PrimitiveAssembly, StripsAndFansKeepOneWindingSoCullingKeepsAll) {
    // A strip and a fan over the same 4x4 square, culled counter-clockwise: every
    // piece must survive, covering all 16 pixels once.
    const std::vector<TLVertex> strip{{0, 0, 0, 1, kRed}, {4, 0, 0, 1, kRed}, {0, 4, 0, 1, kRed}, {4, 4, 0, 1, kRed}};
    const std::vector<TLVertex> fan{{0, 0, 0, 1, kRed}, {4, 0, 0, 1, kRed}, {4, 4, 0, 1, kRed}, {0, 4, 0, 1, kRed}};
    for (const auto &[type, verts] : {std::pair{D3DPT_TRIANGLESTRIP, strip}, std::pair{D3DPT_TRIANGLEFAN, fan}}) {
        Scene s(4, 4);
        s.SetState(D3DRS_CULLMODE, D3DCULL_CCW);
        ASSERT_TRUE(s.Draw(type, verts, 2));
        EXPECT_EQ(s.CountPixels(kRed), 16u) << type;
    }
}

TEST(PrimitiveAssembly, IndexedQuadSharesVerticesWithBaseVertexIndex) {
    Scene s(4, 4);
    std::vector<TLVertex> v(10, TLVertex{0, 0, 0, 1, 0});
    v[6] = {0, 0, 0, 1, kGreen};
    v[7] = {4, 0, 0, 1, kGreen};
    v[8] = {4, 4, 0, 1, kGreen};
    v[9] = {0, 4, 0, 1, kGreen};
    const std::vector<uint16_t> indices{0, 1, 2, 0, 2, 3};
    swrtest::GuardedBytes vb(v.data(), v.size() * sizeof(TLVertex));
    swrtest::GuardedBytes ib(indices.data(), indices.size() * 2);
    const swr::VertexStream stream{vb.data(), vb.size(), sizeof(TLVertex), swrtest::kTLFvf};
    const swr::IndexStream istream{ib.data(), ib.size(), false};
    ASSERT_TRUE(swr::DrawIndexedPrimitive(s.state, s.color, nullptr, D3DPT_TRIANGLELIST, stream, istream, 6, 0, 4, 0, 2));
    EXPECT_EQ(s.CountPixels(kGreen), 16u);
}

TEST(PrimitiveAssembly, FlatShadedStripTakesEachTrianglesFirstVertex) {
    Scene s(8, 2);
    s.SetState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    // Triangle 0 = (v0, v1, v2) is red; triangle 1 = (v1, v2, v3) takes v1: green.
    const std::vector<TLVertex> strip{{0, 0, 0, 1, kRed}, {8, 0, 0, 1, kGreen}, {0, 2, 0, 1, kBlue}, {8, 2, 0, 1, kBlue}};
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLESTRIP, strip, 2));
    EXPECT_EQ(s.Pixel(1, 0), kRed);
    EXPECT_EQ(s.Pixel(7, 1), kGreen);
}

}  // namespace
