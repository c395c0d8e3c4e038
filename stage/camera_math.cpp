// The game camera's geometry (see camera_math.h).
#include "stage/camera_math.h"

#include <algorithm>
#include <cmath>

#include "stage/v3.h"

namespace {

constexpr RwReal kRadiansToDegrees = 57.29578f;

CameraQuat Normalized(const CameraQuat &q)
{
    const RwReal length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (!(length > 0.0f)) {
        return {0.0f, 0.0f, 0.0f, 1.0f};
    }
    const RwReal inverse = 1.0f / length;
    return {q.x * inverse, q.y * inverse, q.z * inverse, q.w * inverse};
}

RwReal Dot(const CameraQuat &a, const CameraQuat &b) { return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }

}  // namespace

// The rows right, up and at are the images of the unit axes: column j of the
// usual rotation matrix R (v' = R v) is row j here, so R[i][j] = row_j[i].
CameraQuat QuatFromMatrix(const RwMatrix &m)
{
    const RwReal r00 = m.right.x, r01 = m.up.x, r02 = m.at.x;
    const RwReal r10 = m.right.y, r11 = m.up.y, r12 = m.at.y;
    const RwReal r20 = m.right.z, r21 = m.up.z, r22 = m.at.z;
    const RwReal trace = r00 + r11 + r22;
    CameraQuat q;
    if (trace > 0.0f) {
        const RwReal s = std::sqrt(trace + 1.0f) * 2.0f;
        q = {(r21 - r12) / s, (r02 - r20) / s, (r10 - r01) / s, 0.25f * s};
    } else if (r00 > r11 && r00 > r22) {
        const RwReal s = std::sqrt(1.0f + r00 - r11 - r22) * 2.0f;
        q = {0.25f * s, (r01 + r10) / s, (r02 + r20) / s, (r21 - r12) / s};
    } else if (r11 > r22) {
        const RwReal s = std::sqrt(1.0f + r11 - r00 - r22) * 2.0f;
        q = {(r01 + r10) / s, 0.25f * s, (r12 + r21) / s, (r02 - r20) / s};
    } else {
        const RwReal s = std::sqrt(1.0f + r22 - r00 - r11) * 2.0f;
        q = {(r02 + r20) / s, (r12 + r21) / s, 0.25f * s, (r10 - r01) / s};
    }
    return Normalized(q);
}

void QuatToMatrix(const CameraQuat &in, RwMatrix *m)
{
    const CameraQuat q = Normalized(in);
    const RwReal xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    const RwReal xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    const RwReal wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
    m->right = {1.0f - 2.0f * (yy + zz), 2.0f * (xy + wz), 2.0f * (xz - wy)};
    m->up = {2.0f * (xy - wz), 1.0f - 2.0f * (xx + zz), 2.0f * (yz + wx)};
    m->at = {2.0f * (xz + wy), 2.0f * (yz - wx), 1.0f - 2.0f * (xx + yy)};
    m->flags = rwMATRIXTYPEORTHONORMAL;
}

CameraQuat QuatSlerp(const CameraQuat &a, const CameraQuat &in, RwReal t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    CameraQuat b = in;
    RwReal cosine = Dot(a, b);
    if (cosine < 0.0f) {  // q and -q are one orientation: take the shorter arc
        b = {-b.x, -b.y, -b.z, -b.w};
        cosine = -cosine;
    }
    RwReal wa = 1.0f - t;
    RwReal wb = t;
    if (cosine < 0.9995f) {
        const RwReal angle = std::acos(std::min(cosine, 1.0f));
        const RwReal sine = std::sin(angle);
        wa = std::sin((1.0f - t) * angle) / sine;
        wb = std::sin(t * angle) / sine;
    }
    return Normalized({a.x * wa + b.x * wb, a.y * wa + b.y * wb, a.z * wa + b.z * wb, a.w * wa + b.w * wb});
}

RwReal QuatAngleDegrees(const CameraQuat &a, const CameraQuat &b)
{
    const RwReal cosine = std::min(std::fabs(Dot(Normalized(a), Normalized(b))), 1.0f);
    return 2.0f * std::acos(cosine) * kRadiansToDegrees;
}

void CameraLookAt(const RwV3d &eye, const RwV3d &target, RwMatrix *out)
{
    const RwV3d at = V3Normalized(V3Sub(target, eye), {0.0f, 0.0f, 1.0f});
    const RwV3d right = V3Normalized(V3Cross({0.0f, 1.0f, 0.0f}, at), {1.0f, 0.0f, 0.0f});
    RwMatrix view{};
    view.right = right;
    view.up = V3Cross(at, right);
    view.at = at;
    view.pos = eye;
    view.flags = rwMATRIXTYPEORTHONORMAL;
    *out = view;
}

void BlendCameraViews(const RwMatrix &from, const RwMatrix &to, RwReal t, RwMatrix *out)
{
    t = std::clamp(t, 0.0f, 1.0f);
    const CameraQuat q = QuatSlerp(QuatFromMatrix(from), QuatFromMatrix(to), t);
    RwMatrix blended{};
    QuatToMatrix(q, &blended);
    blended.pos = V3Lerp(from.pos, to.pos, t);
    *out = blended;
}

bool SegmentMeetsSphere(const RwV3d &a, const RwV3d &b, const RwV3d &centre, RwReal radius)
{
    const RwV3d d = V3Sub(b, a);
    const RwReal lengthSquared = V3Dot(d, d);
    RwReal t = 0.0f;
    if (lengthSquared > 0.0f) {
        t = std::clamp(V3Dot(V3Sub(centre, a), d) / lengthSquared, 0.0f, 1.0f);
    }
    const RwV3d nearest = V3Add(a, V3Scale(d, t));
    const RwV3d offset = V3Sub(centre, nearest);
    return V3Dot(offset, offset) <= radius * radius;
}
