// The play camera's orbit: the limits made usable from any file, the stick
// inside the limits, the distance by pitch and by two heroes' spread, and the
// pull-in against walls with its easing out.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "stage/camera_orbit.h"

namespace camera_orbit_test {

namespace {

const StageCameraLimits kLimits = {10.0f, 60.0f, 40.0f, 120.0f, 45.0f, 30.0f};

TEST(CameraOrbit, StartsAtTheInitialTurnAndPitch)
{
    const CameraOrbit orbit = OrbitStart(kLimits);
    EXPECT_FLOAT_EQ(orbit.rotate, 45.0f);
    EXPECT_FLOAT_EQ(orbit.pitch, 30.0f);
    EXPECT_FLOAT_EQ(orbit.distance, 40.0f + 80.0f * 20.0f / 50.0f);
    // Rotate 0 stands behind a hero facing +z; the direction points up by the pitch.
    const RwV3d behind = OrbitDirection(0.0f, 0.0f);
    EXPECT_NEAR(behind.z, -1.0f, 1e-6f);
    EXPECT_NEAR(OrbitDirection(123.0f, 30.0f).y, 0.5f, 1e-6f);
}

TEST(CameraOrbit, HostileLimitsBecomeUsable)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const StageCameraLimits bad = {70.0f, -200.0f, nan, -3.0f, -450.0f, inf};
    const StageCameraLimits sane = SaneCameraLimits(bad);
    EXPECT_FLOAT_EQ(sane.pitchDegreeMin, -kCameraPitchBound);  // swapped and bounded
    EXPECT_FLOAT_EQ(sane.pitchDegreeMax, 70.0f);
    EXPECT_FLOAT_EQ(sane.distanceMin, kCameraNearest);
    EXPECT_FLOAT_EQ(sane.distanceMax, kCameraNearest);
    EXPECT_FLOAT_EQ(sane.initialRotateDegree, 270.0f);
    EXPECT_FLOAT_EQ(sane.initialPitchDegree, 0.0f);
    // A zero-sized file (all limits 0) still gives a finite orbit.
    const CameraOrbit orbit = OrbitStart(StageCameraLimits{});
    EXPECT_TRUE(std::isfinite(orbit.distance));
    EXPECT_FLOAT_EQ(orbit.distance, kCameraNearest);
}

TEST(CameraOrbit, TheStickTurnsAndPitchesInsideTheLimits)
{
    CameraOrbit orbit = OrbitStart(kLimits);
    OrbitSteer(&orbit, kLimits, 0.1f, -0.15f, 1.0f);  // inside the dead zone
    EXPECT_FLOAT_EQ(orbit.rotate, 45.0f);
    EXPECT_FLOAT_EQ(orbit.pitch, 30.0f);
    OrbitSteer(&orbit, kLimits, 1.0f, 0.0f, 0.5f);
    EXPECT_FLOAT_EQ(orbit.rotate, 45.0f + kCameraTurnRate * 0.5f);
    OrbitSteer(&orbit, kLimits, -1.0f, 0.0f, 2.0f);  // wraps below 0
    EXPECT_FLOAT_EQ(orbit.rotate, 360.0f + 105.0f - 2.0f * kCameraTurnRate);
    OrbitSteer(&orbit, kLimits, 0.0f, 1.0f, 10.0f);
    EXPECT_FLOAT_EQ(orbit.pitch, 60.0f);
    OrbitSteer(&orbit, kLimits, 0.0f, -5.0f, 10.0f);  // deflection past 1 counts as 1
    EXPECT_FLOAT_EQ(orbit.pitch, 10.0f);
    OrbitSteer(&orbit, kLimits, std::numeric_limits<float>::quiet_NaN(), 0.0f, 1.0f);
    EXPECT_TRUE(std::isfinite(orbit.rotate));
}

TEST(CameraOrbit, DistanceFollowsPitchAndTwoHeroesSpread)
{
    EXPECT_FLOAT_EQ(OrbitWantedDistance(kLimits, 10.0f, 0.0f), 40.0f);
    EXPECT_FLOAT_EQ(OrbitWantedDistance(kLimits, 60.0f, 0.0f), 120.0f);
    EXPECT_FLOAT_EQ(OrbitWantedDistance(kLimits, 35.0f, 0.0f), 80.0f);
    EXPECT_FLOAT_EQ(OrbitWantedDistance(kLimits, 10.0f, 80.0f), 40.0f + kCameraSpreadShare * 80.0f);
    EXPECT_FLOAT_EQ(OrbitWantedDistance(kLimits, 10.0f, 1000.0f), 120.0f);  // never past the limit
}

TEST(CameraOrbit, PullInIsAtOnceAndEasingOutIsGradual)
{
    const float wanted = 100.0f;
    // Clear: the wanted distance.
    EXPECT_FLOAT_EQ(OrbitPullIn(100.0f, 100.0f, wanted, 100.0f, 0.016f), 100.0f);
    // A wall at 30: in at once.
    float d = OrbitPullIn(100.0f, 100.0f, wanted, 30.0f, 0.016f);
    EXPECT_FLOAT_EQ(d, 30.0f);
    // Cleared: out at the easing speed, never past the wanted distance.
    d = OrbitPullIn(d, wanted, wanted, 100.0f, 0.5f);
    EXPECT_FLOAT_EQ(d, 30.0f + kCameraEaseOut * 0.5f);
    d = OrbitPullIn(d, wanted, wanted, 100.0f, 5.0f);
    EXPECT_FLOAT_EQ(d, 100.0f);
    // Easing out and meeting a nearer wall: in at once again.
    EXPECT_FLOAT_EQ(OrbitPullIn(50.0f, wanted, wanted, 20.0f, 0.5f), 20.0f);
    // The wanted distance shrinking (pitch down) while not pulled in: followed at once.
    EXPECT_FLOAT_EQ(OrbitPullIn(100.0f, 100.0f, 60.0f, 60.0f, 0.016f), 60.0f);
}

}  // namespace

}  // namespace camera_orbit_test
