// The play camera's orbit around its focus (the first hero, or the midpoint
// of two): a turn about the vertical, a pitch above the focus and a
// distance, kept inside the stage's limits. The right stick turns and
// pitches it; the distance follows the pitch from the nearest limit at the
// lowest pitch to the farthest at the highest, and grows to keep two heroes
// in the picture. With the stage's auto adjustment the camera is pulled in
// at once when something stands between it and the focus, and eases back
// out when the view clears.
#pragma once

#include "rwmatrix.h"
#include "stage/stage_info.h"

// Stick response: degrees per second at full deflection, and the dead zone.
constexpr float kCameraTurnRate = 120.0f;
constexpr float kCameraPitchRate = 60.0f;
constexpr float kCameraStickDeadZone = 0.2f;
// How far above a hero's feet the camera looks.
constexpr float kCameraFocusHeight = 12.0f;
// Share of the heroes' separation added to the distance with two heroes.
constexpr float kCameraSpreadShare = 0.75f;
// Nearest distance, and the pitch range, any limits may ask for.
constexpr float kCameraNearest = 5.0f;
constexpr float kCameraPitchBound = 85.0f;
// Units per second the pulled-in camera moves back out.
constexpr float kCameraEaseOut = 60.0f;

// The limits made usable: every value finite, minimum not above maximum,
// pitches within +-85 degrees, distances at least 5.
StageCameraLimits SaneCameraLimits(const StageCameraLimits &limits);

struct CameraOrbit {
    float rotate = 0.0f;   // degrees, 0 up to 360; 0 stands behind a hero facing +z
    float pitch = 0.0f;    // degrees above the focus
    float distance = 0.0f; // where the camera stands, after any pull-in
};

// The orbit at the limits' initial turn and pitch, at the distance of that pitch.
CameraOrbit OrbitStart(const StageCameraLimits &limits);
// Turns and pitches by the stick (x, y in -1..1; inside the dead zone
// nothing) over `seconds`, the pitch kept inside the limits.
void OrbitSteer(CameraOrbit *orbit, const StageCameraLimits &limits, float stickX, float stickY, float seconds);
// The distance the orbit asks for at `pitch`, with `spread` the distance
// between two heroes (0 with one), inside the limits.
float OrbitWantedDistance(const StageCameraLimits &limits, float pitch, float spread);
// The unit direction from the focus toward the camera.
RwV3d OrbitDirection(float rotate, float pitch);
// The distance after auto adjustment: at once in to `clear` (how far the
// line from the focus is free) when that is nearer than `previous`, else
// back out toward `wanted` at kCameraEaseOut; never beyond `wanted`. A
// previous distance at or beyond the wanted one follows it at once.
float OrbitPullIn(float previous, float previousWanted, float wanted, float clear, float seconds);
