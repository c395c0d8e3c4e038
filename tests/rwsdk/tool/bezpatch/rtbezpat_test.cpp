// Forward-difference stepping of Bezier nets against a plain evaluation of
// the same patch, for quads and triangles at two levels of detail.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "rtbezpat.h"

namespace rtbezpat_test {

namespace {

void MakeNet(RtBezierMatrix net)
{
    for (int t = 0; t < 4; ++t) {
        for (int s = 0; s < 4; ++s) {
            net[t][s] = {static_cast<RwReal>(s), static_cast<RwReal>(t), std::sin(0.7f * s + 1.3f * t),
                         static_cast<RwReal>(s * t)};
        }
    }
}

// The cubic triangle patch: sum of 6 / ((3-r-c)! r! c!) u^(3-r-c) s^r t^c T[r][c].
RtBezierV4d TriangleSample(const RtBezierV4d points[10], RwReal s, RwReal t)
{
    const int fact[4] = {1, 1, 2, 6};
    RtBezierV4d sum = {0, 0, 0, 0};
    const RwReal u = 1.0f - s - t;
    int k = 0;
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r + c < 4; ++r, ++k) {
            const RwReal w = 6.0f / (fact[3 - r - c] * fact[r] * fact[c]) * std::pow(u, 3 - r - c) *
                             std::pow(s, r) * std::pow(t, c);
            sum.x += w * points[k].x;
            sum.y += w * points[k].y;
            sum.z += w * points[k].z;
            sum.w += w * points[k].w;
        }
    }
    return sum;
}

void ExpectNear(const RtBezierV4d &a, const RtBezierV4d &b)
{
    EXPECT_NEAR(a.x, b.x, 2e-4f);
    EXPECT_NEAR(a.y, b.y, 2e-4f);
    EXPECT_NEAR(a.z, b.z, 2e-4f);
    EXPECT_NEAR(a.w, b.w, 2e-4f);
}

class BezierStepTest : public ::testing::TestWithParam<int> {};

TEST_P(BezierStepTest, QuadGridMatchesEvaluation)
{
    const int lod = GetParam();
    RtBezierMatrix net, power, table;
    MakeNet(net);
    RtBezierQuadPowerBasis(power, net);
    RtBezierQuadDifferenceTable(table, power, 1.0f / lod);
    std::vector<RtBezierV4d> out((lod + 1) * (lod + 1));
    RtBezierQuadStep(table, lod, FALSE, out.data());
    for (int i = 0; i <= lod; ++i) {
        for (int j = 0; j <= lod; ++j) {
            ExpectNear(out[i * (lod + 1) + j], RtBezierQuadSample(net, RwReal(j) / lod, RwReal(i) / lod));
        }
    }
    // Corners are the corner control points.
    ExpectNear(out.front(), net[0][0]);
    ExpectNear(out[lod], net[0][3]);
    ExpectNear(out.back(), net[3][3]);
}

TEST_P(BezierStepTest, TriangleRowsLieOnTheTrianglePatch)
{
    const int lod = GetParam();
    RtBezierV4d points[10];
    for (int k = 0; k < 10; ++k) {
        points[k] = {RwReal(k), std::cos(RwReal(k)), RwReal(k * k) * 0.1f, 255.0f - k};
    }
    RtBezierMatrix tri, quad, power, table;
    RtBezierTriangleNetFromPoints(tri, points);
    RtBezierTriangleToQuadNet(quad, tri);
    RtBezierQuadPowerBasis(power, quad);
    RtBezierQuadDifferenceTable(table, power, 1.0f / lod);
    std::vector<RtBezierV4d> out((lod + 1) * (lod + 2) / 2);
    RtBezierQuadStep(table, lod, TRUE, out.data());
    size_t v = 0;
    for (int i = 0; i <= lod; ++i) {
        for (int k = 0; k <= lod - i; ++k, ++v) {
            ExpectNear(out[v], TriangleSample(points, RwReal(k) / lod, RwReal(i) / lod));
        }
    }
    EXPECT_EQ(v, out.size());
    ExpectNear(out[0], points[0]);
    ExpectNear(out[lod], points[3]);
    ExpectNear(out.back(), points[9]);
}

INSTANTIATE_TEST_SUITE_P(Lods, BezierStepTest, ::testing::Values(3, 12));

}  // namespace

}  // namespace rtbezpat_test
