// The game camera's geometry: camera matrices that look from an eye at a
// point, orientations as unit quaternions with the shortest-arc slerp, the
// blend of one camera view into another (position interpolated, orientation
// slerped), and the test of a line against a sphere that decides whether a
// model stands between the camera and the hero.
//
// Camera matrices are the engine's frame matrices: the camera looks along
// `at`, `up` is the top of the picture and `right` = world up x `at`, so a
// camera looking along +z has the identity orientation.
#pragma once

#include "rwmatrix.h"

struct CameraQuat {
    RwReal x;
    RwReal y;
    RwReal z;
    RwReal w;
};

// The orientation of the matrix's right, up and at rows (assumed orthonormal).
CameraQuat QuatFromMatrix(const RwMatrix &matrix);
// Writes the orientation into the right, up and at rows; the position is kept.
void QuatToMatrix(const CameraQuat &q, RwMatrix *matrix);
// The unit quaternion along the shorter arc from a (t = 0) to b (t = 1).
CameraQuat QuatSlerp(const CameraQuat &a, const CameraQuat &b, RwReal t);
// The angle in degrees between two orientations (0 to 180).
RwReal QuatAngleDegrees(const CameraQuat &a, const CameraQuat &b);

// The camera matrix at `eye` looking at `target`, upright. Looking straight
// up or down keeps `right` along world x. An eye on the target looks along +z.
void CameraLookAt(const RwV3d &eye, const RwV3d &target, RwMatrix *out);

// The view `t` of the way from `from` to `to` (t clamped to 0..1): position
// interpolated, orientation slerped.
void BlendCameraViews(const RwMatrix &from, const RwMatrix &to, RwReal t, RwMatrix *out);

// Whether the segment from a to b comes within `radius` of `centre`
// (touching counts). A segment of no length is the point a.
bool SegmentMeetsSphere(const RwV3d &a, const RwV3d &b, const RwV3d &centre, RwReal radius);
