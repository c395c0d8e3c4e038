// The stage's camera modes and what each asks of the camera's far plane.
//   0 play: the camera follows the heroes inside the stage's limits
//   1 hold: the camera stays where it is (a stage change on its way)
//   2 scene: the view of the event clump's animated root frame, at once
//   3, 4 play with the far planes of their own
//   5 blend into the scene's view, then follow it as in 2
//   6 blend back to the play view, then mode 0
//   7 turn to an actor by the timed move, then hold
//   8 turn back by the timed move, then mode 0
#pragma once

#include <cstdint>

enum CameraMode : int32_t {
    kCameraPlay = 0,
    kCameraHold = 1,
    kCameraScene = 2,
    kCameraPlayNear = 3,
    kCameraPlayStage = 4,
    kCameraBlendIn = 5,
    kCameraBlendOut = 6,
    kCameraTurnTo = 7,
    kCameraTurnBack = 8,
};

constexpr int32_t kCameraModeCount = 9;
constexpr float kSceneFarPlane = 600.0f;
constexpr float kNearFarPlane = 400.0f;

inline bool IsCameraMode(int32_t mode) { return mode >= 0 && mode < kCameraModeCount; }

// The far plane of a mode: 600 for 2, 5 and 7; 400 for 3, 6 and 8; the
// stage's own for 0, 1 and 4 (and for a number that is no mode).
inline float CameraModeFarPlane(int32_t mode, float stageFarPlane)
{
    switch (mode) {
    case kCameraScene:
    case kCameraBlendIn:
    case kCameraTurnTo:
        return kSceneFarPlane;
    case kCameraPlayNear:
    case kCameraBlendOut:
    case kCameraTurnBack:
        return kNearFarPlane;
    default:
        return stageFarPlane;
    }
}

// Modes in which the camera follows the heroes and their sticks turn it.
inline bool IsPlayCameraMode(int32_t mode)
{
    return mode == kCameraPlay || mode == kCameraPlayNear || mode == kCameraPlayStage;
}
