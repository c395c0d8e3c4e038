// The triangle primitives: the boundary cases each test promises, and the
// sphere and box tests against exact references on random triangles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "rtintsec.h"
#include "support/engine/engine_env.h"

namespace rtintsec_test {

namespace {

// The square-root tables live in the started engine.
class IntersectionTest : public rwtest::EngineTest {};

const RwV3d kP0 = {0, 0, 0}, kP1 = {0, 0, 1}, kP2 = {1, 0, 0};  // faces +y

TEST_F(IntersectionTest, LineTriangleHitsOnlyAgainstTheNormal)
{
    RwReal t = -1;
    const RwV3d down = {0, -2, 0}, up = {0, 2, 0};
    const RwV3d above = {0.2f, 1, 0.2f}, below = {0.2f, -1, 0.2f};
    EXPECT_TRUE(RtIntersectionLineTriangle(&above, &down, &kP0, &kP1, &kP2, &t));
    EXPECT_FLOAT_EQ(t, 0.5f);
    EXPECT_FALSE(RtIntersectionLineTriangle(&below, &up, &kP0, &kP1, &kP2, &t));
    const RwV3d along = {1, 0, 0};
    EXPECT_FALSE(RtIntersectionLineTriangle(&above, &along, &kP0, &kP1, &kP2, &t));
}

TEST_F(IntersectionTest, LineTriangleEndingOnTheTriangleHitsAtOneAndShortOfItMisses)
{
    RwReal t = -1;
    const RwV3d start = {0.2f, 1, 0.2f}, toPlane = {0, -1, 0}, short_ = {0, -0.999f, 0};
    EXPECT_TRUE(RtIntersectionLineTriangle(&start, &toPlane, &kP0, &kP1, &kP2, &t));
    EXPECT_NEAR(t, 1.0f, 1e-5f);
    EXPECT_FALSE(RtIntersectionLineTriangle(&start, &short_, &kP0, &kP1, &kP2, &t));
}

TEST_F(IntersectionTest, SphereTriangleTouchingAVertexHitsAndBeyondThePlaneMisses)
{
    RwV3d n;
    RwReal d;
    const RwSphere atVertex = {{-1, 0, 0}, 1.0f};
    EXPECT_TRUE(RtIntersectionSphereTriangle(&atVertex, &kP0, &kP1, &kP2, &n, &d));
    const RwSphere beyond = {{0.2f, 1.0001f, 0.2f}, 1.0f};
    EXPECT_FALSE(RtIntersectionSphereTriangle(&beyond, &kP0, &kP1, &kP2, &n, &d));
    const RwSphere over = {{0.2f, 0.5f, 0.2f}, 1.0f};
    ASSERT_TRUE(RtIntersectionSphereTriangle(&over, &kP0, &kP1, &kP2, &n, &d));
    EXPECT_NEAR(n.y, 1.0f, 1e-3f);
    EXPECT_NEAR(d, 0.5f, 1e-3f);  // the centre lies in front of the face
    const RwV3d line[3] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
    EXPECT_FALSE(RtIntersectionSphereTriangle(&over, &line[0], &line[1], &line[2], &n, &d));
}

TEST_F(IntersectionTest, BoxTriangleContainingAVertexHitsAndBesideAllThreeMisses)
{
    const RwBBox aroundVertex = {{0.1f, 0.1f, 0.1f}, {-0.1f, -0.1f, -0.1f}};
    EXPECT_TRUE(RtIntersectionBoxTriangle(&aroundVertex, &kP0, &kP1, &kP2));
    const RwBBox beside = {{-0.1f, 1, 1}, {-1, -1, -1}};
    EXPECT_FALSE(RtIntersectionBoxTriangle(&beside, &kP0, &kP1, &kP2));
    // A big triangle cutting through a small box with no vertex or edge in it.
    const RwV3d b0 = {-10, 0.5f, -10}, b1 = {-10, 0.5f, 30}, b2 = {30, 0.5f, -10};
    const RwBBox small = {{1, 1, 1}, {0, 0, 0}};
    EXPECT_TRUE(RtIntersectionBoxTriangle(&small, &b0, &b1, &b2));
}

// ---- Exact references in double precision.

struct D3 {
    double x, y, z;
};
D3 ToD(const RwV3d &v) { return {v.x, v.y, v.z}; }
D3 Sub(D3 a, D3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Dot(D3 a, D3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
D3 Cross(D3 a, D3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// Distance from p to the triangle (closest point by region).
double TriangleDistance(D3 p, D3 a, D3 b, D3 c)
{
    const D3 ab = Sub(b, a), ac = Sub(c, a), ap = Sub(p, a);
    const D3 n = Cross(ab, ac);
    const D3 in = Sub(p, {n.x * Dot(ap, n) / Dot(n, n), n.y * Dot(ap, n) / Dot(n, n), n.z * Dot(ap, n) / Dot(n, n)});
    const D3 e[3][2] = {{a, b}, {b, c}, {c, a}};
    bool inside = true;
    for (auto &edge : e) {
        inside = inside && Dot(Cross(Sub(edge[1], edge[0]), Sub(in, edge[0])), n) >= 0;
    }
    if (inside) {
        return std::fabs(Dot(ap, n)) / std::sqrt(Dot(n, n));
    }
    double best = 1e30;
    for (auto &edge : e) {
        const D3 d = Sub(edge[1], edge[0]);
        const double t = std::clamp(Dot(Sub(p, edge[0]), d) / Dot(d, d), 0.0, 1.0);
        const D3 q = Sub(p, {edge[0].x + d.x * t, edge[0].y + d.y * t, edge[0].z + d.z * t});
        best = std::min(best, std::sqrt(Dot(q, q)));
    }
    return best;
}

// Separating axes: the box's three, the triangle normal, and the nine edge
// cross products. Returns the largest separation (negative: overlap).
double BoxSeparation(const RwBBox &box, D3 a, D3 b, D3 c)
{
    const D3 centre = {(box.sup.x + box.inf.x) / 2.0, (box.sup.y + box.inf.y) / 2.0, (box.sup.z + box.inf.z) / 2.0};
    const D3 half = {(box.sup.x - box.inf.x) / 2.0, (box.sup.y - box.inf.y) / 2.0, (box.sup.z - box.inf.z) / 2.0};
    const D3 v[3] = {Sub(a, centre), Sub(b, centre), Sub(c, centre)};
    const D3 edges[3] = {Sub(b, a), Sub(c, b), Sub(a, c)};
    const D3 units[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    std::vector<D3> axes(units, units + 3);
    axes.push_back(Cross(edges[0], edges[1]));
    for (const D3 &u : units) {
        for (const D3 &e : edges) {
            axes.push_back(Cross(u, e));
        }
    }
    double worst = -1e30;
    for (const D3 &axis : axes) {
        const double len = std::sqrt(Dot(axis, axis));
        if (len < 1e-9) {
            continue;
        }
        const double p0 = Dot(v[0], axis), p1 = Dot(v[1], axis), p2 = Dot(v[2], axis);
        const double r = half.x * std::fabs(axis.x) + half.y * std::fabs(axis.y) + half.z * std::fabs(axis.z);
        const double gap = std::max(std::min({p0, p1, p2}) - r, -r - std::max({p0, p1, p2}));
        worst = std::max(worst, gap / len);
    }
    return worst;
}

TEST_F(IntersectionTest, TrianglePrimitivesAgreeWithExactReferencesOnRandomTriangles)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> coord(-3.0f, 3.0f), size(0.01f, 2.5f);
    RwInt32 sphereHits = 0, boxHits = 0;
    for (RwInt32 n = 0; n < 20000; ++n) {
        const RwV3d a = {coord(rng), coord(rng), coord(rng)}, b = {coord(rng), coord(rng), coord(rng)},
                    c = {coord(rng), coord(rng), coord(rng)};
        const RwSphere s = {{coord(rng), coord(rng), coord(rng)}, size(rng)};
        RwV3d normal;
        RwReal distance;
        const bool sphereHit = RtIntersectionSphereTriangle(&s, &a, &b, &c, &normal, &distance) != 0;
        const double gap = TriangleDistance(ToD(s.center), ToD(a), ToD(b), ToD(c)) - s.radius;
        if (std::fabs(gap) > 2e-3) {
            EXPECT_EQ(sphereHit, gap < 0) << n;
        }
        sphereHits += sphereHit;

        const RwV3d h = {size(rng), size(rng), size(rng)};
        const RwBBox box = {{s.center.x + h.x, s.center.y + h.y, s.center.z + h.z},
                            {s.center.x - h.x, s.center.y - h.y, s.center.z - h.z}};
        const bool boxHit = RtIntersectionBoxTriangle(&box, &a, &b, &c) != 0;
        const double separation = BoxSeparation(box, ToD(a), ToD(b), ToD(c));
        if (std::fabs(separation) > 1e-4) {
            EXPECT_EQ(boxHit, separation < 0) << n;
        }
        boxHits += boxHit;
    }
    EXPECT_GT(sphereHits, 2000);
    EXPECT_GT(boxHits, 2000);
}

}  // namespace

}  // namespace rtintsec_test
