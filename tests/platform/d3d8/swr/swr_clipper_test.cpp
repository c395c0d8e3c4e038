// Clipping: triangles crossing the near plane draw exactly what the same triangle cut
// by hand draws; triangles reaching far past the screen draw exactly their visible
// part; pieces cut at the guard band still meet without seams; vertices finished four
// at a time get each plane and screen place a vertex finished alone gets.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "platform/d3d8/swr/swr_primitive_renderer.h"
#include "swr_test_scene.h"

namespace swr_clipper_test {

namespace {

using swrtest::Scene;
using swrtest::TLVertex;

struct V {
    float x, y, z;
    D3DCOLOR c;
};
constexpr DWORD kFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;
constexpr D3DCOLOR kOne = 0x00000001u;

using swrtest::CountCoverage;

// Which side of edge a->b the point is on, scaled to a distance.
double EdgeDistance(double ax, double ay, double bx, double by, double px, double py) {
    return ((bx - ax) * (py - ay) - (by - ay) * (px - ax)) / std::hypot(bx - ax, by - ay);
}

// 1 inside, 0 outside, -1 too close to an edge to call.
int Classify(const double (&t)[3][2], double px, double py) {
    int positive = 0, negative = 0;
    for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3;
        const double d = EdgeDistance(t[i][0], t[i][1], t[j][0], t[j][1], px, py);
        if (std::fabs(d) < 1e-3) return -1;
        (d > 0 ? positive : negative)++;
    }
    return (positive == 3 || negative == 3) ? 1 : 0;
}

void ExpectExactCoverage(const Scene &s, const double (&screen)[3][2]) {
    int checked = 0;
    for (int y = 0; y < static_cast<int>(s.color.height); ++y) {
        for (int x = 0; x < static_cast<int>(s.color.width); ++x) {
            const int expected = Classify(screen, x, y);
            if (expected < 0) continue;
            ASSERT_EQ(s.Pixel(x, y), static_cast<uint32_t>(expected)) << x << "," << y;
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
}

TEST(Clipping, NearPlaneCutMatchesTheTriangleCutByHand) {
    // Vertex C sits behind the near plane (z = 1). The edges towards it cross z = 1 at
    // t = 3 / 3.5 from A and from B: P = (-3/7, 10/7, 1), Q = (3/7, 10/7, 1).
    const std::vector<V> crossing{{-3, -2, 4, 0xFFFFFFFFu}, {3, -2, 4, 0xFFFFFFFFu}, {0, 2, 0.5f, 0xFFFFFFFFu}};
    const float px = 3.0f / 7.0f, py = 10.0f / 7.0f;
    const std::vector<V> byHand{{-3, -2, 4, 0xFFFFFFFFu}, {3, -2, 4, 0xFFFFFFFFu}, {px, py, 1, 0xFFFFFFFFu},
                                {-px, py, 1, 0xFFFFFFFFu}};
    Scene a(64, 64), b(64, 64);
    for (Scene *s : {&a, &b}) s->state.projection = swrtest::PerspectiveMatrix(1.0f, 100.0f);
    ASSERT_TRUE(a.Draw(D3DPT_TRIANGLELIST, crossing, 1, kFvf));
    ASSERT_TRUE(b.Draw(D3DPT_TRIANGLEFAN, byHand, 2, kFvf));
    int differences = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) differences += a.Pixel(x, y) != b.Pixel(x, y);
    }
    EXPECT_EQ(differences, 0);
    EXPECT_GT(a.CountPixels(0xFFFFFFFFu), 500u);
}

TEST(Clipping, WhollyBehindTheEyeOrBeyondFarDrawsNothing) {
    Scene s(16, 16);
    s.state.projection = swrtest::PerspectiveMatrix(1.0f, 100.0f);
    const std::vector<V> behind{{-3, -2, -4, 0xFFFFFFFFu}, {3, -2, -4, 0xFFFFFFFFu}, {0, 2, 0.5f, 0xFFFFFFFFu}};
    const std::vector<V> far{{-300, -200, 150, 0xFFFFFFFFu}, {300, -200, 150, 0xFFFFFFFFu}, {0, 200, 120, 0xFFFFFFFFu}};
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, behind, 1, kFvf));
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, far, 1, kFvf));
    EXPECT_EQ(s.CountPixels(0), 256u);
}

TEST(Clipping, ScreenSpaceTriangleFarBeyondTheGuardBandDrawsItsVisiblePart) {
    Scene s(48, 40);
    CountCoverage(s);
    const double t[3][2] = {{-100000.0, -50000.0}, {100000.0, 3.0}, {5.0, 90000.0}};
    const std::vector<TLVertex> v{{-100000.0f, -50000.0f, 0, 1, kOne}, {100000.0f, 3.0f, 0, 1, kOne},
                                  {5.0f, 90000.0f, 0, 1, kOne}};
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, v, 1));
    ExpectExactCoverage(s, t);
}

TEST(Clipping, TransformedTriangleFarBeyondTheGuardBandDrawsItsVisiblePart) {
    Scene s(48, 40);
    CountCoverage(s);
    // Identity transforms: clip x, y map to screen (x + 1) * 24, (1 - y) * 20.
    const float ndc[3][2] = {{-700.0f, 3.0f}, {2.0f, -900.0f}, {800.0f, 650.0f}};
    double t[3][2];
    std::vector<V> v;
    for (int i = 0; i < 3; ++i) {
        v.push_back({ndc[i][0], ndc[i][1], 0.5f, kOne});
        t[i][0] = (ndc[i][0] + 1.0) * 24.0;
        t[i][1] = (1.0 - ndc[i][1]) * 20.0;
    }
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, v, 1, kFvf));
    ExpectExactCoverage(s, t);
}

TEST(Clipping, QuadCutAtTheGuardBandLeavesNoSeamOrOverlap) {
    Scene s(40, 30);
    CountCoverage(s);
    // Both halves reach far past every screen edge; their shared diagonal crosses the view.
    const std::vector<V> quad{{-300, -200, 0.5f, kOne}, {250, -260, 0.5f, kOne}, {280, 310, 0.5f, kOne},
                              {-300, -200, 0.5f, kOne}, {280, 310, 0.5f, kOne}, {-310, 290, 0.5f, kOne}};
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, quad, 2, kFvf));
    EXPECT_EQ(s.CountPixels(1), 40u * 30u);
}

TEST(Clipping, VerticesFinishedFourAtATimeGetWhatEachFinishedAloneGets) {
    // A wide viewport, so the guard band reaches further up and down than sideways (in
    // units of w) and a plane mixed up with its neighbour shows.
    Scene s(800, 200);
    swr::PixelPipeline pixels;
    ASSERT_TRUE(pixels.Prepare(s.state, s.color, nullptr));
    swr::PrimitiveRenderer renderer;
    renderer.Prepare(s.state, pixels, false, swr::kVaryTexCoord);
    std::mt19937 rng(60);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    // Places inside the screen, between the two guard bands, past both, behind the eye,
    // beyond far, at w = 0 and not a number.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float scales[] = {0.9f, 15.0f, 50.0f, 500.0f};
    std::vector<swr::CachedVertex> alone(400), together(400);
    for (size_t i = 0; i < alone.size(); ++i) {
        const float w = i % 37 == 0 ? 0.0f : i % 11 == 0 ? -1.0f - unit(rng) : 1.0f + 4.0f * std::fabs(unit(rng));
        float *pos = alone[i].clip.pos;
        pos[0] = unit(rng) * w * scales[rng() % 4];
        pos[1] = unit(rng) * w * scales[rng() % 4];
        pos[2] = (0.5f + 0.7f * unit(rng)) * w;
        pos[3] = w;
        if (i % 53 == 0) pos[rng() % 4] = nan;
        together[i] = alone[i];
    }
    uint32_t inside = 0;
    for (size_t i = 0; i < alone.size();) {
        const uint32_t count = std::min<uint32_t>(1 + rng() % 4, static_cast<uint32_t>(alone.size() - i));
        swr::CachedVertex *four[4];
        for (uint32_t k = 0; k < count; ++k) four[k] = &together[i + k];
        renderer.FinishFour(four, count);
        for (uint32_t k = 0; k < count; ++k, ++i) {
            renderer.Finish(alone[i]);
            const swr::CachedVertex &a = alone[i], &b = together[i];
            ASSERT_TRUE(b.finished);
            EXPECT_EQ(a.outcode, b.outcode) << "vertex " << i;
            if (a.outcode != 0) continue;
            ++inside;
            const float placeA[4] = {a.x, a.y, a.z, a.rhw}, placeB[4] = {b.x, b.y, b.z, b.rhw};
            EXPECT_EQ(std::memcmp(placeA, placeB, sizeof(placeA)), 0) << "vertex " << i;
            EXPECT_EQ(a.snapped, b.snapped) << "vertex " << i;
            EXPECT_EQ(a.sx, b.sx) << "vertex " << i;
            EXPECT_EQ(a.sy, b.sy) << "vertex " << i;
        }
    }
    EXPECT_GT(inside, 50u);
}

}  // namespace

}  // namespace swr_clipper_test
