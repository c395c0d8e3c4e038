// The camera's geometry: look-at matrices, quaternions and their slerp, view
// blends, and the line-against-sphere test of the see-through models.
#include <gtest/gtest.h>

#include <cmath>

#include "camera_test_support.h"
#include "stage/camera_math.h"
#include "stage/clump_fade.h"

namespace camera_math_test {

namespace {

using cameratest::LookingAt;
using cameratest::Near;
using cameratest::SameView;

TEST(CameraMath, LookAtIsAnUprightProperRotation)
{
    const RwMatrix m = LookingAt({3.0f, 4.0f, -5.0f}, {0.0f, 1.0f, 0.0f});
    const RwV3d at = m.at;
    EXPECT_NEAR(at.x * at.x + at.y * at.y + at.z * at.z, 1.0f, 1e-5f);
    EXPECT_NEAR(m.right.y, 0.0f, 1e-6f);  // the horizon stays level
    EXPECT_GT(m.up.y, 0.0f);
    // right x up = at: a proper rotation (no mirror), so it has a quaternion
    const RwV3d cross = {m.right.y * m.up.z - m.right.z * m.up.y, m.right.z * m.up.x - m.right.x * m.up.z,
                         m.right.x * m.up.y - m.right.y * m.up.x};
    EXPECT_TRUE(Near(cross, m.at));
    EXPECT_TRUE(Near(m.pos, {3.0f, 4.0f, -5.0f}));
    // Along +z is the identity orientation; straight down keeps right on x.
    EXPECT_TRUE(Near(LookingAt({0, 0, 0}, {0, 0, 5}).right, {1, 0, 0}));
    const RwMatrix down = LookingAt({0, 10, 0}, {0, 0, 0});
    EXPECT_TRUE(Near(down.right, {1, 0, 0}));
    EXPECT_TRUE(Near(down.at, {0, -1, 0}));
    EXPECT_TRUE(Near(LookingAt({1, 1, 1}, {1, 1, 1}).at, {0, 0, 1}));
}

TEST(CameraMath, QuaternionsRoundTripAndSlerpAlongTheShortArc)
{
    const RwV3d eyes[] = {{0, 0, -5}, {3, 2, 1}, {-4, 7, 2}, {0.5f, -3, 0.2f}, {-2, 1, 9}};
    for (const RwV3d &eye : eyes) {
        const RwMatrix m = LookingAt(eye, {0, 0, 0});
        RwMatrix back = m;
        QuatToMatrix(QuatFromMatrix(m), &back);
        EXPECT_TRUE(SameView(m, back, 1e-4f));
    }
    // A scene's camera may roll or turn over: turns of 160 degrees about
    // each axis, and about a slanted one, come back as they were.
    const RwReal co = std::cos(160.0f * 3.14159265f / 180.0f);
    const RwReal si = std::sin(160.0f * 3.14159265f / 180.0f);
    RwMatrix turns[4] = {};
    turns[0].right = {1, 0, 0}, turns[0].up = {0, co, si}, turns[0].at = {0, -si, co};
    turns[1].right = {co, 0, -si}, turns[1].up = {0, 1, 0}, turns[1].at = {si, 0, co};
    turns[2].right = {co, si, 0}, turns[2].up = {-si, co, 0}, turns[2].at = {0, 0, 1};
    // The same turn about (2, 1, -3) / |(2, 1, -3)|.
    const RwReal k = 1.0f / std::sqrt(14.0f);
    const RwV3d n = {2 * k, 1 * k, -3 * k};
    const auto row = [&](RwV3d e) {
        const RwReal d = n.x * e.x + n.y * e.y + n.z * e.z;
        const RwV3d x = {n.y * e.z - n.z * e.y, n.z * e.x - n.x * e.z, n.x * e.y - n.y * e.x};
        return RwV3d{e.x * co + x.x * si + n.x * d * (1 - co), e.y * co + x.y * si + n.y * d * (1 - co),
                     e.z * co + x.z * si + n.z * d * (1 - co)};
    };
    turns[3].right = row({1, 0, 0}), turns[3].up = row({0, 1, 0}), turns[3].at = row({0, 0, 1});
    for (const RwMatrix &m : turns) {
        RwMatrix back = m;
        QuatToMatrix(QuatFromMatrix(m), &back);
        EXPECT_TRUE(SameView(m, back, 1e-4f));
        EXPECT_NEAR(QuatAngleDegrees(QuatFromMatrix(LookingAt({0, 0, 0}, {0, 0, 1})), QuatFromMatrix(m)), 160.0f,
                    1e-2f);
    }
    // A turn of 90 degrees about y: halfway is 45 degrees, whichever sign the
    // second quaternion has.
    const CameraQuat a = QuatFromMatrix(LookingAt({0, 0, 0}, {0, 0, 1}));
    const CameraQuat b = QuatFromMatrix(LookingAt({0, 0, 0}, {1, 0, 0}));
    const CameraQuat negB = {-b.x, -b.y, -b.z, -b.w};
    EXPECT_NEAR(QuatAngleDegrees(a, b), 90.0f, 1e-2f);
    for (const CameraQuat &to : {b, negB}) {
        const CameraQuat half = QuatSlerp(a, to, 0.5f);
        EXPECT_NEAR(QuatAngleDegrees(a, half), 45.0f, 1e-2f);
        EXPECT_NEAR(QuatAngleDegrees(half, b), 45.0f, 1e-2f);
    }
    EXPECT_NEAR(QuatAngleDegrees(QuatSlerp(a, b, 0.0f), a), 0.0f, 1e-2f);
    EXPECT_NEAR(QuatAngleDegrees(QuatSlerp(a, b, 1.0f), b), 0.0f, 1e-2f);
    EXPECT_NEAR(QuatAngleDegrees(QuatSlerp(a, b, 7.0f), b), 0.0f, 1e-2f);  // clamped
    // Nearly equal orientations blend without dividing by a vanishing sine.
    const CameraQuat c = QuatFromMatrix(LookingAt({0, 0, 0}, {0.0001f, 0, 1}));
    const CameraQuat mid = QuatSlerp(a, c, 0.5f);
    EXPECT_TRUE(std::isfinite(mid.w));
    EXPECT_NEAR(QuatAngleDegrees(a, mid), QuatAngleDegrees(a, c) / 2.0f, 1e-2f);
}

TEST(CameraMath, ViewBlendInterpolatesPositionAndSlerpsOrientation)
{
    const RwMatrix from = LookingAt({0, 5, -10}, {0, 0, 0});
    const RwMatrix to = LookingAt({10, 5, 0}, {0, 0, 0});
    RwMatrix half{};
    BlendCameraViews(from, to, 0.5f, &half);
    EXPECT_TRUE(Near(half.pos, {5, 5, -5}));
    const float total = QuatAngleDegrees(QuatFromMatrix(from), QuatFromMatrix(to));
    EXPECT_NEAR(QuatAngleDegrees(QuatFromMatrix(from), QuatFromMatrix(half)), total / 2.0f, 0.05f);
    EXPECT_NEAR(half.right.x * half.right.x + half.right.y * half.right.y + half.right.z * half.right.z, 1.0f, 1e-4f);
    RwMatrix end{};
    BlendCameraViews(from, to, 1.0f, &end);
    EXPECT_TRUE(SameView(end, to));
    BlendCameraViews(from, to, -2.0f, &end);
    EXPECT_TRUE(SameView(end, from));
}

TEST(CameraMath, SegmentAgainstSphere)
{
    const RwV3d a = {0, 0, 0};
    const RwV3d b = {10, 0, 0};
    EXPECT_TRUE(SegmentMeetsSphere(a, b, {5, 0.5f, 0}, 1.0f));   // across the middle
    EXPECT_TRUE(SegmentMeetsSphere(a, b, {5, 1.0f, 0}, 1.0f));   // touching counts
    EXPECT_FALSE(SegmentMeetsSphere(a, b, {5, 1.01f, 0}, 1.0f));
    EXPECT_FALSE(SegmentMeetsSphere(a, b, {12, 0, 0}, 1.5f));   // beyond the end
    EXPECT_TRUE(SegmentMeetsSphere(a, b, {11, 0, 0}, 1.5f));    // around the end
    EXPECT_FALSE(SegmentMeetsSphere(a, b, {-2, 0, 0}, 1.5f));   // behind the start
    EXPECT_TRUE(SegmentMeetsSphere(a, a, {0.5f, 0, 0}, 1.0f));  // a point
    EXPECT_FALSE(SegmentMeetsSphere(a, a, {2, 0, 0}, 1.0f));
}

TEST(CameraMath, MergedSphereHoldsBoth)
{
    const RwSphere a = {{0, 0, 0}, 1.0f};
    const RwSphere b = {{4, 0, 0}, 1.0f};
    const RwSphere m = MergeSpheres(a, b);
    EXPECT_TRUE(Near(m.center, {2, 0, 0}));
    EXPECT_NEAR(m.radius, 3.0f, 1e-5f);
    const RwSphere inner = {{0.5f, 0, 0}, 0.2f};
    EXPECT_NEAR(MergeSpheres(a, inner).radius, 1.0f, 1e-6f);
    EXPECT_NEAR(MergeSpheres(inner, a).radius, 1.0f, 1e-6f);
    EXPECT_NEAR(MergeSpheres(a, a).radius, 1.0f, 1e-6f);
}

}  // namespace

}  // namespace camera_math_test
