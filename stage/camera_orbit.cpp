// The play camera's orbit (see camera_orbit.h).
#include "stage/camera_orbit.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kDegreesToRadians = 0.017453292f;

float Finite(float value) { return std::isfinite(value) ? value : 0.0f; }

void Order(float *low, float *high)
{
    if (*low > *high) {
        std::swap(*low, *high);
    }
}

float StickPast(float value)
{
    value = std::clamp(Finite(value), -1.0f, 1.0f);
    return std::fabs(value) < kCameraStickDeadZone ? 0.0f : value;
}

float Wrap360(float degrees)
{
    degrees = std::fmod(degrees, 360.0f);
    return degrees < 0.0f ? degrees + 360.0f : degrees;
}

}  // namespace

StageCameraLimits SaneCameraLimits(const StageCameraLimits &in)
{
    StageCameraLimits out;
    out.pitchDegreeMin = std::clamp(Finite(in.pitchDegreeMin), -kCameraPitchBound, kCameraPitchBound);
    out.pitchDegreeMax = std::clamp(Finite(in.pitchDegreeMax), -kCameraPitchBound, kCameraPitchBound);
    Order(&out.pitchDegreeMin, &out.pitchDegreeMax);
    out.distanceMin = std::max(Finite(in.distanceMin), kCameraNearest);
    out.distanceMax = std::max(Finite(in.distanceMax), kCameraNearest);
    Order(&out.distanceMin, &out.distanceMax);
    out.initialRotateDegree = Wrap360(Finite(in.initialRotateDegree));
    out.initialPitchDegree = std::clamp(Finite(in.initialPitchDegree), out.pitchDegreeMin, out.pitchDegreeMax);
    return out;
}

float OrbitWantedDistance(const StageCameraLimits &in, float pitch, float spread)
{
    const StageCameraLimits limits = SaneCameraLimits(in);
    const float range = limits.pitchDegreeMax - limits.pitchDegreeMin;
    const float share = range > 0.0f ? (pitch - limits.pitchDegreeMin) / range : 0.0f;
    const float byPitch =
        limits.distanceMin + (limits.distanceMax - limits.distanceMin) * std::clamp(Finite(share), 0.0f, 1.0f);
    const float bySpread = limits.distanceMin + kCameraSpreadShare * std::max(Finite(spread), 0.0f);
    return std::clamp(std::max(byPitch, bySpread), limits.distanceMin, limits.distanceMax);
}

CameraOrbit OrbitStart(const StageCameraLimits &in)
{
    const StageCameraLimits limits = SaneCameraLimits(in);
    CameraOrbit orbit;
    orbit.rotate = limits.initialRotateDegree;
    orbit.pitch = limits.initialPitchDegree;
    orbit.distance = OrbitWantedDistance(limits, orbit.pitch, 0.0f);
    return orbit;
}

void OrbitSteer(CameraOrbit *orbit, const StageCameraLimits &in, float stickX, float stickY, float seconds)
{
    const StageCameraLimits limits = SaneCameraLimits(in);
    seconds = std::max(Finite(seconds), 0.0f);
    orbit->rotate = Wrap360(Finite(orbit->rotate) + StickPast(stickX) * kCameraTurnRate * seconds);
    orbit->pitch = std::clamp(Finite(orbit->pitch) + StickPast(stickY) * kCameraPitchRate * seconds,
                              limits.pitchDegreeMin, limits.pitchDegreeMax);
}

RwV3d OrbitDirection(float rotate, float pitch)
{
    const float r = rotate * kDegreesToRadians;
    const float p = pitch * kDegreesToRadians;
    return {-std::sin(r) * std::cos(p), std::sin(p), -std::cos(r) * std::cos(p)};
}

float OrbitPullIn(float previous, float previousWanted, float wanted, float clear, float seconds)
{
    wanted = std::max(Finite(wanted), 0.0f);
    clear = std::clamp(Finite(clear), 0.0f, wanted);
    if (!(previous < previousWanted)) {
        return clear;  // not pulled in before: the wanted distance, or as far as is clear
    }
    const float eased = Finite(previous) + kCameraEaseOut * std::max(Finite(seconds), 0.0f);
    return std::min(eased, clear);
}
