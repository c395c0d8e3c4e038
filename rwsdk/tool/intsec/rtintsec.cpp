// The triangle intersection primitives. They work on unnormalised
// determinants and squared lengths so that the common rejections cost a few
// multiplications and no square root.
#include "rtintsec.h"

namespace {

// Smallest determinant a line test accepts: below it the segment runs along
// the plane or away from the front face.
constexpr RwReal kMinDeterminant = 1e-08f;
// Relative slack on the barycentric limits, so that a segment hitting a
// shared edge is caught by one of the two triangles.
constexpr RwReal kEdgeSlack = 1e-05f;

RwV3d Sub(const RwV3d &a, const RwV3d &b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
RwReal Dot(const RwV3d &a, const RwV3d &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
RwV3d Cross(const RwV3d &a, const RwV3d &b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
RwReal Axis(const RwV3d &v, RwInt32 axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

// Per axis, the three relative coordinates all beyond the radius on the same
// side: the triangle cannot reach the sphere.
RwBool SeparatedOnAnAxis(const RwV3d &a, const RwV3d &b, const RwV3d &c, RwReal r)
{
    for (RwInt32 axis = 0; axis < 3; ++axis) {
        const RwReal pa = Axis(a, axis), pb = Axis(b, axis), pc = Axis(c, axis);
        if ((pa > r && pb > r && pc > r) || (pa < -r && pb < -r && pc < -r)) {
            return TRUE;
        }
    }
    return FALSE;
}

// Region test of the vertex nearest the centre (centre at the origin): when
// both neighbours lie further along that vertex's direction, the vertex is
// the triangle's nearest point and it is already known to be out of reach.
RwBool OutsideNearestVertex(const RwV3d &a, const RwV3d &b, const RwV3d &c)
{
    const RwReal aa = Dot(a, a), bb = Dot(b, b), cc = Dot(c, c);
    const RwV3d *v = &a, *p = &b, *q = &c;
    RwReal vv = aa;
    if (bb <= aa && bb <= cc) {
        v = &b, p = &c, q = &a, vv = bb;
    } else if (cc < aa) {
        v = &c, p = &a, q = &b, vv = cc;
    }
    return vv < Dot(*v, *p) && vv < Dot(*v, *q);
}

// Edge x->y with third vertex z: the centre lies across the edge's line from
// the triangle and further than r from that line.
RwBool OutsideEdge(const RwV3d &x, const RwV3d &y, const RwV3d &z, RwReal r2)
{
    const RwV3d e = Sub(y, x);
    const RwReal ee = Dot(e, e);
    const RwReal k = Dot(e, x) / ee;
    const RwV3d q = {x.x - e.x * k, x.y - e.y * k, x.z - e.z * k};
    const RwReal qq = Dot(q, q);
    return qq > r2 && qq < Dot(q, z);
}

RwUInt32 OutCode(const RwBBox &box, const RwV3d &p)
{
    RwUInt32 code = 0;
    code |= p.x > box.sup.x ? 0x01u : (p.x < box.inf.x ? 0x02u : 0u);
    code |= p.y > box.sup.y ? 0x04u : (p.y < box.inf.y ? 0x08u : 0u);
    code |= p.z > box.sup.z ? 0x10u : (p.z < box.inf.z ? 0x20u : 0u);
    return code;
}

RwBool StrictlyInside(RwReal v, RwReal lo, RwReal hi) { return v > lo && v < hi; }

// The edge a->b crosses the plane of face `bit` strictly inside the face.
RwBool EdgeCrossesFace(const RwBBox &box, const RwV3d &a, const RwV3d &b, RwUInt32 bit)
{
    RwInt32 axis = 0;
    while ((0x03u << (2 * axis) & bit) == 0) {
        ++axis;
    }
    const RwReal plane = (bit & 0x15u) != 0 ? Axis(box.sup, axis) : Axis(box.inf, axis);
    const RwReal from = Axis(a, axis), to = Axis(b, axis);
    if (from == to) {
        return FALSE;
    }
    const RwReal t = (plane - from) / (to - from);
    const RwV3d p = {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
    for (RwInt32 other = 0; other < 3; ++other) {
        if (other != axis && !StrictlyInside(Axis(p, other), Axis(box.inf, other), Axis(box.sup, other))) {
            return FALSE;
        }
    }
    return TRUE;
}

// The box diagonal running most against the normal pierces the triangle's
// interior. If no vertex is inside and no edge enters the box, the triangle
// meets the box only by covering the plane's whole cross-section, and this
// diagonal crosses that cross-section whenever the plane cuts the box.
RwBool DiagonalPierces(const RwBBox &box, const RwV3d &v0, const RwV3d &v1, const RwV3d &v2)
{
    const RwV3d n = Cross(Sub(v1, v0), Sub(v2, v0));
    const RwV3d from = {n.x > 0 ? box.sup.x : box.inf.x, n.y > 0 ? box.sup.y : box.inf.y,
                        n.z > 0 ? box.sup.z : box.inf.z};
    const RwV3d to = {n.x > 0 ? box.inf.x : box.sup.x, n.y > 0 ? box.inf.y : box.sup.y,
                      n.z > 0 ? box.inf.z : box.sup.z};
    const RwV3d d = Sub(to, from);
    const RwReal denom = Dot(n, d);
    if (!(denom < 0.0f)) {
        return FALSE;
    }
    const RwReal t = Dot(n, Sub(v0, from)) / denom;
    if (!(t > 0.0f && t < 1.0f)) {
        return FALSE;
    }
    const RwV3d p = {from.x + d.x * t, from.y + d.y * t, from.z + d.z * t};
    // Strictly on the inner side of all three edges.
    return Dot(Cross(Sub(v1, v0), Sub(p, v0)), n) > 0.0f && Dot(Cross(Sub(v2, v1), Sub(p, v1)), n) > 0.0f &&
           Dot(Cross(Sub(v0, v2), Sub(p, v2)), n) > 0.0f;
}

}  // namespace

RwBool RtIntersectionLineTriangle(const RwV3d *lineStart, const RwV3d *lineDelta, const RwV3d *v0,
                                  const RwV3d *v1, const RwV3d *v2, RwReal *distance)
{
    const RwV3d e1 = Sub(*v1, *v0);
    const RwV3d e2 = Sub(*v2, *v0);
    const RwV3d p = Cross(*lineDelta, e2);
    const RwReal det = Dot(p, e1);
    if (!(det > kMinDeterminant)) {
        return FALSE;
    }
    const RwReal lo = det * -kEdgeSlack;
    const RwReal hi = det - lo;
    const RwV3d s = Sub(*lineStart, *v0);
    const RwReal u = Dot(s, p);
    if (u < lo || u > hi) {
        return FALSE;
    }
    const RwV3d q = Cross(s, e1);
    const RwReal v = Dot(q, *lineDelta);
    if (v < lo || u + v > hi) {
        return FALSE;
    }
    const RwReal t = Dot(q, e2);
    if (t < lo || t > hi) {
        return FALSE;
    }
    *distance = t / det;
    return TRUE;
}

RwBool RtIntersectionSphereTriangle(const RwSphere *sphere, const RwV3d *v0, const RwV3d *v1, const RwV3d *v2,
                                    RwV3d *normal, RwReal *distance)
{
    const RwReal r = sphere->radius;
    const RwV3d a = Sub(*v0, sphere->center);
    const RwV3d b = Sub(*v1, sphere->center);
    const RwV3d c = Sub(*v2, sphere->center);
    if (SeparatedOnAnAxis(a, b, c, r)) {
        return FALSE;
    }
    RwV3d n = Cross(Sub(*v1, *v0), Sub(*v2, *v0));
    const RwReal nn = Dot(n, n);
    if (!(nn > 0.0f)) {
        return FALSE;
    }
    const RwReal scale = RwFastInvSqrt(nn);
    n = {n.x * scale, n.y * scale, n.z * scale};
    const RwReal dist = Dot(n, a);
    if (dist > r || dist < -r) {
        return FALSE;
    }
    *normal = n;
    *distance = -dist;
    const RwReal r2 = r * r;
    if (Dot(a, a) <= r2 || Dot(b, b) <= r2 || Dot(c, c) <= r2) {
        return TRUE;
    }
    if (OutsideNearestVertex(a, b, c)) {
        return FALSE;
    }
    return !(OutsideEdge(a, b, c, r2) || OutsideEdge(b, c, a, r2) || OutsideEdge(c, a, b, r2));
}

RwBool RtIntersectionBoxTriangle(const RwBBox *box, const RwV3d *v0, const RwV3d *v1, const RwV3d *v2)
{
    const RwV3d *v[3] = {v0, v1, v2};
    RwUInt32 code[3];
    for (RwInt32 i = 0; i < 3; ++i) {
        code[i] = OutCode(*box, *v[i]);
        if (code[i] == 0) {
            return TRUE;
        }
    }
    if ((code[0] & code[1] & code[2]) != 0) {
        return FALSE;
    }
    for (RwInt32 i = 0; i < 3; ++i) {
        const RwInt32 j = (i + 1) % 3;
        if ((code[i] & code[j]) != 0) {
            continue;
        }
        const RwUInt32 differ = code[i] ^ code[j];
        for (RwUInt32 bit = 1; bit <= 0x20u; bit <<= 1) {
            if ((differ & bit) != 0 && EdgeCrossesFace(*box, *v[i], *v[j], bit)) {
                return TRUE;
            }
        }
    }
    return DiagonalPierces(*box, *v0, *v1, *v2);
}
