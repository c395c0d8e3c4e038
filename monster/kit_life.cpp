// Death, dying and gone (see kit_life.h).
#include "monster/kit_life.h"

#include "actor/fsf.h"
#include "actor/reward.h"
#include "fx/ge_manager.h"
#include "fx/mat_anim_manager.h"
#include "fx/xdt_effect_pool.h"
#include "monster/kit_condition.h"
#include "monster/kit_messages.h"
#include "stage/character_params.h"
#include "stage/clump_anim_manager.h"
#include "stage/stage_manager.h"

namespace monster {

namespace {

constexpr float kDeathFadeExtra = 0.25f;

}  // namespace

bool StepDeath(AiObject *actor, int32_t *next, int32_t lastState)
{
    if (actor->hp >= 1) {
        return false;
    }
    if ((actor->statusToApply & kStatus16) == 0 ||
        Unsigned(FeedInput(actor, next, kInputDeathStatus16)) > Unsigned(lastState)) {
        FeedInput(actor, next, kInputDeath);
    }
    actor->dying = true;
    actor->grabbed = false;
    return true;
}

void StepDying(AiObject *actor, float fixedFadeSpeed)
{
    if (actor->model != nullptr) {
        if (!actor->deathTint) {
            actor->deathTint = true;
            if (CSMatAnimManager *anims = MatAnims()) {
                if (fixedFadeSpeed > 0.0f) {
                    anims->Start(actor, 0, kMatDeathFade, fixedFadeSpeed, 0);
                } else {
                    CSClumpAnimManager *animations = AnimationsOf(actor);
                    const float length = animations != nullptr ? animations->GetMotionDuration(actor->Clump()) : 0.0f;
                    anims->Start(actor, 0, kMatDeathFade, length + kDeathFadeExtra, 1);
                }
            }
        }
        if (!actor->statusParticles) {
            actor->statusParticles = true;
            CCGEManager *effects = Effects();
            if (effects != nullptr && effects->statusParticles != nullptr) {
                effects->statusParticles->Attach(actor);
            }
        }
    }
    CountKillReward(actor, ParamsOf(actor).exp);
}

void StepGone(AiObject *actor)
{
    const RwV3d where = *actor->GetPositionPtr();
    if (actor->dropOverride && g_pStageManager != nullptr && g_pStageManager->xdtEffectPool != nullptr) {
        g_pStageManager->xdtEffectPool->Spawn(actor->dropOverrideId, where, 0);
    }
    CCGEManager *effects = Effects();
    if (effects != nullptr && effects->reward != nullptr && actor->rewardAmount > 0) {
        effects->reward->Spawn(where, actor->rewardAmount);
    }
    if (actor->statusParticles) {
        if (effects != nullptr && effects->statusParticles != nullptr) {
            effects->statusParticles->Detach(actor);
        }
        actor->statusParticles = false;
    }
    actor->removed = true;
    actor->SetModelInstance(nullptr);
    actor->active = false;
}

void SetHurtableAndTargetable(AiObject *actor, bool untargetableState)
{
    CFSF *fsf = actor->Fsf();
    actor->hurtable = fsf != nullptr && fsf->GetIsHurt(actor->state) != 0;
    actor->targetable = !(untargetableState || actor->down || actor->dying || actor->broadcastExcluded);
}

}  // namespace monster
