// AiObject's frame in the actor pass: the distance band and the update of
// its AI type (see ai_object.h).
#include <cmath>

#include "actor/ai_object.h"
#include "actor/ai_type_table.h"

namespace {

float HorizontalDistance(const RwV3d &a, const RwV3d &b)
{
    const float dx = a.x - b.x;
    const float dz = a.z - b.z;
    return std::sqrt(dx * dx + dz * dz);
}

}  // namespace

int32_t AiObject::SenseProximity(const ActorFrame &frame)
{
    return ThinBandOf(*this, HorizontalDistance(*GetPositionPtr(), frame.focus), frame.radii, frame.cameraMode);
}

void AiObject::Update(float dt, const ActorFrame &frame)
{
    const float distance = HorizontalDistance(*GetPositionPtr(), frame.focus);
    const ThinDecision decision = StepThinning(this, distance, frame.radii, frame.cameraMode, dt);
    if (decision.runType) {
        if (AiUpdateFn update = AiTypeUpdateOf(aiType)) {
            update(this, decision.dt);
        }
    }
    forcedFullFrame = false;
}
