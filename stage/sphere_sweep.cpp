// Swept sphere against triangle (see sphere_sweep.h): the first time the
// centre comes within the radius of the triangle's face, one of its edges
// or one of its corners, keeping only contacts the move runs into.
#include "stage/sphere_sweep.h"

#include <cmath>
#include <initializer_list>

#include "stage/v3.h"

namespace {

// A move counts as running into a surface when it closes on it by more
// than this share of its length: grazing moves along a floor's seams stay free.
constexpr RwReal kApproachShare = 1e-4f;

// A path that comes no deeper than this past a corner or an edge only
// grazes it: a sphere resting on a floor passes over the floor's corners and
// seams at exactly its radius, and the rounding of a root found there must
// not stop it.
constexpr RwReal kGrazeDepth = 0.001f;

// Whether the line through the centre along `move` comes deeper than a
// graze into a sphere of `radius` around a point `offset` away from the
// centre (offset = centre - point; both taken across the edge's line for an
// edge). Measured straight, as the length of a cross product, so that a
// path at exactly the radius is not decided by rounding.
bool PassesDeep(const RwV3d &offset, const RwV3d &move, RwReal radius)
{
    const RwReal mm = V3Dot(move, move);
    if (!(mm > 0.0f)) {
        return false;
    }
    const RwV3d c = V3Cross(offset, move);
    const RwReal inner = std::fmax(0.0f, radius - kGrazeDepth);
    return V3Dot(c, c) / mm < inner * inner;
}

// The smaller root of a t^2 + b t + c = 0 within [0, 1]; false when there is none.
bool FirstRoot(RwReal a, RwReal b, RwReal c, RwReal *t)
{
    if (a <= 0.0f) {
        return false;
    }
    const RwReal disc = b * b - 4.0f * a * c;
    if (disc < 0.0f) {
        return false;
    }
    const RwReal root = (-b - std::sqrt(disc)) / (2.0f * a);
    if (root < 0.0f || root > 1.0f) {
        return false;
    }
    *t = root;
    return true;
}

bool InsideTriangle(const RwV3d &p, const RwV3d &a, const RwV3d &b, const RwV3d &c, const RwV3d &normal)
{
    return V3Dot(V3Cross(V3Sub(b, a), V3Sub(p, a)), normal) >= 0.0f &&
           V3Dot(V3Cross(V3Sub(c, b), V3Sub(p, b)), normal) >= 0.0f &&
           V3Dot(V3Cross(V3Sub(a, c), V3Sub(p, c)), normal) >= 0.0f;
}

// Unit vector from the triangle's nearest point to `p`, and the distance.
RwReal AwayFromTriangle(const RwV3d &p, const RwV3d &v0, const RwV3d &v1, const RwV3d &v2, const RwV3d &faceNormal,
                        const RwV3d &move, RwV3d *away)
{
    const RwV3d q = ClosestPointOnTriangle(p, v0, v1, v2);
    const RwV3d offset = V3Sub(p, q);
    const RwReal distance = std::sqrt(V3Dot(offset, offset));
    if (distance > 1e-6f) {
        *away = V3Scale(offset, 1.0f / distance);
    } else {
        // The centre lies on the triangle: the side the move comes from.
        const RwReal side = V3Dot(faceNormal, move) > 0.0f ? -1.0f : 1.0f;
        *away = V3Scale(faceNormal, side);
    }
    return distance;
}

}  // namespace

RwV3d ClosestPointOnTriangle(const RwV3d &p, const RwV3d &a, const RwV3d &b, const RwV3d &c)
{
    // Voronoi regions of the triangle, tested corner, edge, then face.
    const RwV3d ab = V3Sub(b, a);
    const RwV3d ac = V3Sub(c, a);
    const RwV3d ap = V3Sub(p, a);
    const RwReal d1 = V3Dot(ab, ap);
    const RwReal d2 = V3Dot(ac, ap);
    if (d1 <= 0.0f && d2 <= 0.0f) {
        return a;
    }
    const RwV3d bp = V3Sub(p, b);
    const RwReal d3 = V3Dot(ab, bp);
    const RwReal d4 = V3Dot(ac, bp);
    if (d3 >= 0.0f && d4 <= d3) {
        return b;
    }
    const RwReal vc = d1 * d4 - d3 * d2;
    if (vc <= 0.0f && d1 >= 0.0f && d3 <= 0.0f) {
        return V3Add(a, V3Scale(ab, d1 / (d1 - d3)));
    }
    const RwV3d cp = V3Sub(p, c);
    const RwReal d5 = V3Dot(ab, cp);
    const RwReal d6 = V3Dot(ac, cp);
    if (d6 >= 0.0f && d5 <= d6) {
        return c;
    }
    const RwReal vb = d5 * d2 - d1 * d6;
    if (vb <= 0.0f && d2 >= 0.0f && d6 <= 0.0f) {
        return V3Add(a, V3Scale(ac, d2 / (d2 - d6)));
    }
    const RwReal va = d3 * d6 - d5 * d4;
    if (va <= 0.0f && (d4 - d3) >= 0.0f && (d5 - d6) >= 0.0f) {
        return V3Add(b, V3Scale(V3Sub(c, b), (d4 - d3) / ((d4 - d3) + (d5 - d6))));
    }
    const RwReal denom = va + vb + vc;
    if (!(denom > 0.0f)) {
        return a;  // a degenerate triangle: its corners and edges answered above
    }
    const RwReal v = vb / denom;
    const RwReal w = vc / denom;
    return V3Add(a, V3Add(V3Scale(ab, v), V3Scale(ac, w)));
}

bool SweepSphereTriangle(const RwV3d &centre, RwReal radius, const RwV3d &move, const RwV3d &v0, const RwV3d &v1,
                         const RwV3d &v2, SphereSweepHit *hit)
{
    const RwReal moveLength2 = V3Dot(move, move);
    if (!(moveLength2 > 0.0f) || !(radius >= 0.0f)) {
        return false;
    }
    const RwReal moveLength = std::sqrt(moveLength2);
    RwV3d faceNormal = V3Cross(V3Sub(v1, v0), V3Sub(v2, v0));
    const RwReal area2 = V3Dot(faceNormal, faceNormal);
    const bool hasFace = area2 > 1e-20f;
    if (hasFace) {
        faceNormal = V3Scale(faceNormal, 1.0f / std::sqrt(area2));
    }
    auto runsInto = [&](const RwV3d &away) { return V3Dot(move, away) < -kApproachShare * moveLength; };

    // Already touching: only a move into the triangle is stopped, at once.
    RwV3d away;
    if (AwayFromTriangle(centre, v0, v1, v2, faceNormal, move, &away) <= radius) {
        if (!runsInto(away)) {
            return false;
        }
        *hit = {0.0f, away};
        return true;
    }

    RwReal first = 2.0f;
    // The face: the sphere's front point reaches the plane inside the triangle.
    if (hasFace) {
        RwV3d n = faceNormal;
        RwReal side = V3Dot(V3Sub(centre, v0), n);
        if (side < 0.0f) {
            n = V3Scale(n, -1.0f);
            side = -side;
        }
        const RwReal closing = V3Dot(move, n);
        if (closing < 0.0f && side >= radius) {
            const RwReal t = (side - radius) / -closing;
            const RwV3d touch = V3Sub(V3Add(centre, V3Scale(move, t)), V3Scale(n, radius));
            if (t <= 1.0f && InsideTriangle(touch, v0, v1, v2, faceNormal)) {
                first = t;
            }
        }
    }
    // The corners: |centre + t move - v| = radius.
    for (const RwV3d *v : {&v0, &v1, &v2}) {
        const RwV3d m = V3Sub(centre, *v);
        RwReal t = 0.0f;
        if (PassesDeep(m, move, radius) &&
            FirstRoot(moveLength2, 2.0f * V3Dot(move, m), V3Dot(m, m) - radius * radius, &t) && t < first) {
            first = t;
        }
    }
    // The edges: the distance to the edge's line reaches the radius at a
    // point between its ends.
    const RwV3d *ends[3][2] = {{&v0, &v1}, {&v1, &v2}, {&v2, &v0}};
    for (const auto &edge : ends) {
        const RwV3d e = V3Sub(*edge[1], *edge[0]);
        const RwV3d m = V3Sub(centre, *edge[0]);
        const RwReal ee = V3Dot(e, e);
        if (!(ee > 0.0f)) {
            continue;
        }
        const RwReal ed = V3Dot(e, move);
        const RwReal em = V3Dot(e, m);
        RwReal t = 0.0f;
        const RwV3d mAcross = V3Sub(m, V3Scale(e, em / ee));
        const RwV3d moveAcross = V3Sub(move, V3Scale(e, ed / ee));
        if (!PassesDeep(mAcross, moveAcross, radius) ||
            !FirstRoot(ee * moveLength2 - ed * ed, 2.0f * (ee * V3Dot(move, m) - ed * em),
                       ee * (V3Dot(m, m) - radius * radius) - em * em, &t) ||
            t >= first) {
            continue;
        }
        const RwReal along = (em + t * ed) / ee;
        if (along >= 0.0f && along <= 1.0f) {
            first = t;
        }
    }
    if (first > 1.0f) {
        return false;
    }
    const RwV3d at = V3Add(centre, V3Scale(move, first));
    AwayFromTriangle(at, v0, v1, v2, faceNormal, move, &away);
    if (!runsInto(away)) {
        return false;  // a grazing touch, such as a floor seam passed over
    }
    *hit = {first, away};
    return true;
}
