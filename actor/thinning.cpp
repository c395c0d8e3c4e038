// Distance thinning of the actor updates (see thinning.h).
#include "actor/thinning.h"

#include "actor/ai_object.h"

bool IsSceneCameraMode(int32_t cameraMode)
{
    return cameraMode == 2 || cameraMode == 5 || cameraMode == 6;
}

int32_t ThinBandOf(const AiObject &actor, float groundDistance, const ThinRadii &radii, int32_t cameraMode)
{
    if (actor.fullDetail || actor.eventHeld || actor.eventModel || actor.holdState || actor.forcedFullFrame ||
        IsSceneCameraMode(cameraMode)) {
        return kBandFull;
    }
    if (!actor.drawn) {
        return kBandFar;
    }
    if (groundDistance < radii.r1) {
        return kBandFull;
    }
    if (groundDistance < radii.r2) {
        return kBandNear;
    }
    return groundDistance < radii.r3 ? kBandMiddle : kBandFar;
}

ThinDecision StepThinning(AiObject *actor, float groundDistance, const ThinRadii &radii, int32_t cameraMode,
                          float frameTime)
{
    ThinDecision decision;
    if (actor->model == nullptr && !actor->forcedFullFrame && !actor->drawn && groundDistance > radii.far) {
        actor->fullDetailFrame = false;
        actor->ClearMessages();
        decision.runType = false;
        return decision;
    }
    const int32_t band = ThinBandOf(*actor, groundDistance, radii, cameraMode);
    if (band == kBandFull) {
        actor->fullDetailFrame = true;
        actor->accumulatedTime = 0.0f;
        actor->thinnedFrames = 0;
        decision.dt = frameTime;
        return decision;
    }
    if (actor->thinnedFrames >= kThinCadence[band]) {
        // The full-detail frame gets the gathered time alone; the type's
        // update clears it once it has acted.
        actor->fullDetailFrame = true;
        actor->thinnedFrames = 0;
    } else {
        actor->fullDetailFrame = false;
        actor->thinnedFrames += 1;
        actor->accumulatedTime += frameTime;
    }
    decision.dt = actor->accumulatedTime;
    return decision;
}
