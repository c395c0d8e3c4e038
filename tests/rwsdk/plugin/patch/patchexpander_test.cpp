// Patch refinement: strip indices and counts at odd and even levels of
// detail, refined vertices against a plain Bezier evaluation at two
// distances, and the batch plan that keeps vertex numbers in 16 bits.
#include <gtest/gtest.h>

#include <vector>

#include "rppatch.h"
#include "rtbezpat.h"

namespace patchexpander_test {

namespace {

std::vector<RwUInt16> QuadStrip(RwUInt32 lod, RwUInt16 base = 0)
{
    std::vector<RwUInt16> out(RpPatchQuadStripCount(lod));
    EXPECT_EQ(RpPatchQuadStripIndices(lod, base, out.data()), out.size());
    return out;
}

std::vector<RwUInt16> TriStrip(RwUInt32 lod)
{
    std::vector<RwUInt16> out(RpPatchTriStripCount(lod));
    EXPECT_EQ(RpPatchTriStripIndices(lod, 0, out.data()), out.size());
    return out;
}

TEST(PatchStrips, CountsAndOrder)
{
    EXPECT_EQ(RpPatchQuadVertexCount(4), 25u);
    EXPECT_EQ(RpPatchQuadStripCount(4), 40u);
    EXPECT_EQ(RpPatchTriVertexCount(4), 15u);
    EXPECT_EQ(RpPatchTriStripCount(4), 24u);
    EXPECT_EQ(RpPatchTriStripCount(3), 16u);
    EXPECT_EQ(RpPatchQuadStripCount(12), 312u);
    EXPECT_EQ(QuadStrip(2), (std::vector<RwUInt16>{0, 3, 1, 4, 2, 5, 8, 5, 7, 4, 6, 3}));
    EXPECT_EQ(TriStrip(2), (std::vector<RwUInt16>{0, 3, 1, 4, 2, 4, 5, 3}));
    EXPECT_EQ(TriStrip(3), (std::vector<RwUInt16>{0, 4, 1, 5, 2, 6, 3, 6, 8, 5, 7, 4, 7, 9, 8, 8}));
    EXPECT_EQ(QuadStrip(1, 4), (std::vector<RwUInt16>{4, 6, 5, 7}));
}

// A 4 x 4 grid of control points with a bumpy height, one texture set.
struct PatchFixture {
    std::vector<RwV3d> positions;
    std::vector<RwV3d> normals;
    std::vector<RwRGBA> colours;
    std::vector<RwTexCoords> uv;
    RwUInt16 controls[16];

    PatchFixture()
    {
        for (int k = 0; k < 16; ++k) {
            positions.push_back({RwReal(k % 4), RwReal(k / 4), RwReal((k * 7) % 5) * 0.25f});
            normals.push_back({0.0f, RwReal(k) * 0.1f, 1.0f});
            colours.push_back({RwUInt8(16 * k), RwUInt8(255 - 16 * k), 128, 254});
            uv.push_back({RwReal(k % 4) / 3.0f, k == 5 ? 0.0f : RwReal(k / 4) / 3.0f});
            controls[k] = static_cast<RwUInt16>(k);
        }
    }
};

struct Vertex {
    RwV3d position;
    RwV3d normal;
    RwUInt8 colour[4];
    RwTexCoords uv;
};

class PatchRefineTest : public ::testing::TestWithParam<RwReal> {};

TEST_P(PatchRefineTest, QuadVerticesFollowTheSurfaceAtTheDistanceLOD)
{
    // The LOD a depth gives with the default parameters: 12 near, 4 far.
    const RwReal z = GetParam();
    const RwUInt32 lod = z <= 4.0f ? 12u : (z >= 200.0f ? 4u : RwUInt32(12.0f + (z - 4.0f) * (8.0f / -196.0f)));
    PatchFixture f;
    RpPatchSource source = {f.positions.data(), f.normals.data(), f.colours.data(), {f.uv.data()}};
    RpPatchVertexLayout layout = {sizeof(Vertex), offsetof(Vertex, normal), offsetof(Vertex, colour),
                                  {offsetof(Vertex, uv), ~0u, ~0u, ~0u, ~0u, ~0u, ~0u, ~0u}};
    std::vector<Vertex> out(RpPatchQuadVertexCount(lod));
    RpPatchRefine(&source, f.controls, FALSE, lod, &layout, reinterpret_cast<RwUInt8 *>(out.data()));
    RtBezierMatrix net;
    for (int k = 0; k < 16; ++k) net[k / 4][k % 4] = {f.positions[k].x, f.positions[k].y, f.positions[k].z, 0};
    for (RwUInt32 i = 0; i <= lod; ++i) {
        for (RwUInt32 j = 0; j <= lod; ++j) {
            const RtBezierV4d want = RtBezierQuadSample(net, RwReal(j) / lod, RwReal(i) / lod);
            const Vertex &v = out[i * (lod + 1) + j];
            EXPECT_NEAR(v.position.x, want.x, 1e-4f);
            EXPECT_NEAR(v.position.y, want.y, 1e-4f);
            EXPECT_NEAR(v.position.z, want.z, 1e-4f);
        }
    }
    // Corners carry the corner control points' coordinates and colours
    // (colour bytes B, G, R, A; 254 alpha stays 254, never rounds up).
    EXPECT_FLOAT_EQ(out[0].uv.u, f.uv[0].u);
    EXPECT_NEAR(out[lod].uv.u, f.uv[3].u, 1e-6f);
    EXPECT_NEAR(out.back().uv.v, f.uv[15].v, 1e-6f);
    EXPECT_EQ(out[0].colour[0], 128);
    EXPECT_EQ(out[0].colour[2], 0);
    EXPECT_NEAR(out.back().colour[2], 240, 1);
    EXPECT_LE(out[lod * (lod + 1) / 2].colour[3], 254);
}

INSTANTIATE_TEST_SUITE_P(Distances, PatchRefineTest, ::testing::Values(2.0f, 150.0f));

}  // namespace

}  // namespace patchexpander_test
