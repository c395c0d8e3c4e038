// Sensing rules of the think step (see kit_sensing.h).
#include "monster/kit_sensing.h"

#include <cmath>

#include "app/acos_table.h"
#include "fx/fx_packages.h"
#include "fx/ge_manager.h"
#include "monster/kit_life.h"
#include "monster/kit_messages.h"
#include "stage/character_params.h"
#include "stage/stage_manager.h"
#include "stage/world_queries.h"

namespace monster {

void RefreshTarget(AiObject *actor)
{
    actor->FindFoesInRange();
    actor->PickTarget(ParamsOf(actor).attackTarget);
}

float HomeDistance(AiObject *actor) { return V3Distance(*actor->GetPositionPtr(), actor->home); }

bool SenseModel(AiObject *actor, int32_t bits, void (*letGoOwnEffects)(AiObject *), void (*modelTaken)(AiObject *),
                bool dyingKeepsModel)
{
    if ((bits & kSenseInView) != 0 && actor->isRender != 0) {
        if (actor->model == nullptr) {
            if (!TakeModelOnGround(actor)) {
                return false;
            }
            if (modelTaken != nullptr) {
                modelTaken(actor);
            }
        }
        return true;
    }
    if (actor->model != nullptr && !actor->eventModel && !(dyingKeepsModel && actor->dying)) {
        actor->SetModelInstance(nullptr);
    }
    if (letGoOwnEffects != nullptr) {
        letGoOwnEffects(actor);
    }
    DetachStatusParticles(actor);
    if (actor->burnEffectStarted) {
        if (g_pStageManager != nullptr && g_pStageManager->fxPackages != nullptr) {
            g_pStageManager->fxPackages->StopOwner(actor);
        }
        actor->burnEffectStarted = false;
    }
    return true;
}

bool HoldLostTarget(AiObject *actor, float seconds, float dt, bool heedKnock)
{
    if (actor->lostTargetTimer < seconds && !(heedKnock && actor->knock)) {
        actor->lostTargetTimer += dt;
        return true;
    }
    return false;
}

int32_t SenseNear(AiObject *actor, int32_t bits, int32_t input, float homeDistance, const NearRule &rule, float dt)
{
    const bool atHome = homeDistance <= rule.homeDistance;
    const bool knocked = rule.heedsKnock && actor->knock;
    if ((bits & kSenseNear) != 0) {
        actor->lostTargetTimer = 0.0f;
        if (actor->target != nullptr) {
            return kInputChase;
        }
        if (atHome && !knocked) {
            actor->ignoreFoes = actor->ignoreFoes && !rule.homeClearsIgnoreFoes;
            return kInputIdle;
        }
        return atHome ? input : kInputChase;
    }
    if (HoldLostTarget(actor, rule.lostTargetSeconds, dt, rule.heedsKnock)) {
        return kInputIdle;
    }
    actor->target = nullptr;
    if (atHome && !knocked) {
        actor->ignoreFoes = actor->ignoreFoes && !rule.homeClearsIgnoreFoes;
        return kInputIdle;
    }
    return atHome && rule.knockKeepsInputWhenLost ? input : kInputChase;
}

float FacingCosine(AiObject *actor, AiObject *target, float behind, bool flat)
{
    if (target == nullptr) {
        return 1.0f;
    }
    RwV3d facing;
    actor->GetDirection(&facing);
    const RwV3d from = V3Sub(*actor->GetPositionPtr(), V3Scale(facing, behind));
    RwV3d toward = V3Sub(*target->GetPositionPtr(), from);
    if (flat) {
        toward.y = 0.0f;
    }
    const float length = V3Length(toward);
    if (!(length > 0.0f)) {
        return 1.0f;
    }
    return V3Dot(V3Scale(toward, 1.0f / length), facing);
}

float CosHalfAngle(const AiObject *actor, bool radians)
{
    const float angle = ParamsOf(actor).attackHalfAngle;
    return radians ? std::cos(angle) : CosDeg(angle);
}

bool AttackDelayRunning(AiObject *actor, float seconds, float dt)
{
    if (actor->attackDelayTimer < seconds) {
        actor->attackDelayTimer += dt;
        return true;
    }
    return false;
}

}  // namespace monster
