// Death, dying and gone (see kit_life.h).
#include "monster/kit_life.h"

#include "actor/fsf.h"
#include "actor/item_manager.h"
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

void StartDeathLook(AiObject *actor, const DeathFade &fade)
{
    if (actor->model != nullptr) {
        if (!actor->deathTint) {
            actor->deathTint = true;
            if (CSMatAnimManager *anims = MatAnims()) {
                float speed = fade.fixedSpeed;
                if (!(speed > 0.0f)) {
                    CSClumpAnimManager *animations = AnimationsOf(actor);
                    const float length = animations != nullptr ? animations->GetMotionDuration(actor->Clump()) : 0.0f;
                    speed = length + fade.addedToMotion;
                }
                anims->Start(actor, fade.ownerKind, fade.matAnim, speed, fade.looped);
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
}

void StepDying(AiObject *actor, const DeathFade &fade)
{
    StartDeathLook(actor, fade);
    CountKillReward(actor, ParamsOf(actor).exp);
}

void StepDying(AiObject *actor, float fixedFadeSpeed)
{
    DeathFade fade;
    if (fixedFadeSpeed > 0.0f) {
        fade.fixedSpeed = fixedFadeSpeed;
        fade.looped = false;
    }
    StepDying(actor, fade);
}

int32_t DropOnGone(AiObject *actor, bool rollsDropMap)
{
    CSXdtEffectPool *pool = g_pStageManager != nullptr ? g_pStageManager->xdtEffectPool : nullptr;
    const RwV3d where = *actor->GetPositionPtr();
    if (actor->dropOverride) {
        if (pool != nullptr) {
            pool->Spawn(actor->dropOverrideId, where, 0);
        }
        return actor->dropOverrideId;
    }
    if (!rollsDropMap || g_pStageManager == nullptr || g_pStageManager->itemManager == nullptr) {
        return 0;
    }
    const int32_t item = g_pStageManager->itemManager->RollDrop(actor->itemType);
    if (item != 0 && pool != nullptr) {
        pool->Spawn(item, where, 1);
    }
    return item;
}

void RemoveFromPlay(AiObject *actor)
{
    actor->removed = true;
    actor->SetModelInstance(nullptr);
    actor->active = false;
}

void StepGone(AiObject *actor, bool rollsDropMap)
{
    const RwV3d where = *actor->GetPositionPtr();
    DropOnGone(actor, rollsDropMap);
    CCGEManager *effects = Effects();
    if (effects != nullptr && effects->reward != nullptr && actor->rewardAmount > 0) {
        effects->reward->Spawn(where, actor->rewardAmount);
    }
    DetachStatusParticles(actor);
    RemoveFromPlay(actor);
}

void DetachStatusParticles(AiObject *actor)
{
    if (!actor->statusParticles) {
        return;
    }
    CCGEManager *effects = Effects();
    if (effects != nullptr && effects->statusParticles != nullptr) {
        effects->statusParticles->Detach(actor);
    }
    actor->statusParticles = false;
}

void SetHurtableAndTargetable(AiObject *actor, bool untargetableState)
{
    CFSF *fsf = actor->Fsf();
    actor->hurtable = fsf != nullptr && fsf->GetIsHurt(actor->state) != 0;
    actor->targetable = !(untargetableState || actor->down || actor->dying || actor->broadcastExcluded);
}

}  // namespace monster
