// Distance thinning of the actor updates: actors far from the camera focus
// take a full-detail frame (their act step) only once after each run of
// thinned frames, and the time of the thinned frames is handed over to it.
#pragma once

#include <cstdint>

class AiObject;

// The stage's AIClippingRange: three radii r1 < r2 < r3 of the bands and the
// far distance beyond which an undrawn actor without a model is skipped.
struct ThinRadii {
    float r1 = 150.0f;
    float r2 = 250.0f;
    float r3 = 350.0f;
    float far = 400.0f;
};

enum ThinBand : int32_t { kBandFull = 0, kBandNear = 1, kBandMiddle = 2, kBandFar = 3 };

// Thinned frames before each full-detail frame, by band.
inline constexpr int32_t kThinCadence[4] = {0, 8, 25, 70};

// Whether the camera mode (2 cut scene, 5 blend in, 6 blend back) runs every
// actor at full detail.
bool IsSceneCameraMode(int32_t cameraMode);

// The band of an actor (AiObject::SenseProximity): full for actors that
// always take full-detail frames (the flags, the scene camera modes); a
// drawn actor by its ground-plane distance to the camera focus (full below
// r1, near from r1, middle from r2, far from r3); an actor not in view in
// the far band.
int32_t ThinBandOf(const AiObject &actor, float groundDistance, const ThinRadii &radii, int32_t cameraMode);

// What the actor's type update gets this frame.
struct ThinDecision {
    bool runType = true;  // false: skipped this frame, its queue cleared
    float dt = 0.0f;      // the time handed to the type's update
};

// One frame of thinning for an actor: sets its full-detail-frame flag,
// counts its thinned frames and gathers their time. An actor with the
// forced-full-frame flag takes a full-detail frame at once with its own
// frame time (the gathered time is dropped); an actor without a model and
// without that flag, not drawn and beyond the far distance, is skipped and
// its queue cleared. The caller clears the forced flag after the update.
ThinDecision StepThinning(AiObject *actor, float groundDistance, const ThinRadii &radii, int32_t cameraMode,
                          float frameTime);
