// Damage and conditions of the act step (see kit_condition.h).
#include "monster/kit_condition.h"

#include "actor/fsf.h"
#include "app/int_range.h"
#include "fx/fx_packages.h"
#include "fx/ge_manager.h"
#include "fx/mat_anim_manager.h"
#include "monster/kit_messages.h"
#include "stage/character_params.h"
#include "stage/stage_manager.h"

namespace monster {

namespace {

constexpr float kTimeSinceHurtMost = 5.0f;
constexpr float kDelayedHoldSeconds = 0.3f;
constexpr float kHitStopSeconds = 0.1f;
constexpr float kShakeDivisor = 100.0f;
constexpr int32_t kBurnTickActs = 30;

void StartMatAnim(AiObject *actor, int32_t index, float speed, bool loop)
{
    if (CSMatAnimManager *anims = MatAnims()) {
        anims->Start(actor, kMatAnimOwnerActor, index, speed, loop);
    }
}

}  // namespace

void CountTimeSinceHurt(AiObject *actor, float dt)
{
    if (actor->timeSinceHurt < kTimeSinceHurtMost) {
        actor->timeSinceHurt += dt;
    }
}

void ShowGrabTint(AiObject *actor)
{
    if (actor->damageToApply > 0) {
        StartMatAnim(actor, kMatHitFlash, kGrabTintSpeed, true);
    }
}

void TakeDamage(AiObject *actor, bool hitStopHere, bool restartsHurtTimer)
{
    CFSF *fsf = actor->Fsf();
    if (fsf == nullptr || fsf->GetIsHurt(actor->state) == 0 || actor->damageToApply <= 0) {
        return;
    }
    StartMatAnim(actor, kMatHitFlash, kHitFlashSpeed, true);
    actor->SubtractHP(actor->damageToApply);
    if (hitStopHere && actor->hitStopTimer == 0.0f) {
        actor->hitStopPending = true;
    }
    if (restartsHurtTimer) {
        actor->timeSinceHurt = 0.0f;
    }
}

bool NotHeld(const AiObject *actor) { return !actor->grabLock && !actor->thrown; }

void StepDelayedHold(AiObject *actor, float dt)
{
    if (actor->thrown) {
        if (actor->thrownTimer <= kDelayedHoldSeconds) {
            SetFrozen(actor, true);
            if (actor->thrownTimer == 0.0f) {
                actor->thrownDamage = actor->pendingDamage;
                actor->thrownReleasePending = true;
            }
            actor->pendingDamage = 0;
            actor->thrownTimer += dt;
        } else {
            SetFrozen(actor, false);
            actor->thrown = false;
            actor->thrownReleaseTimer = 0.0f;
        }
    } else {
        actor->thrownTimer = 0.0f;
    }
    if (!actor->thrown && actor->thrownReleasePending) {
        actor->thrownReleaseTimer += dt;
        if (actor->thrownReleaseTimer > kDelayedHoldSeconds) {
            actor->pendingDamage = game::ClampToInt32(int64_t{actor->pendingDamage} + actor->thrownDamage);
            actor->thrownDamage = 0;
            actor->thrownReleasePending = false;
        }
    }
}

void StepShake(AiObject *actor, bool inShakeState)
{
    if (!inShakeState) {
        return;
    }
    if (actor->shakeRequest) {
        if (!actor->shakeRunning) {
            actor->shakeAnchor = *actor->GetPositionPtr();
            actor->shakeRunning = true;
        }
        actor->Shake(kShakeDivisor);
        SetFrozen(actor, true);
    } else if (actor->shakeRunning) {
        SetFrozen(actor, false);
        actor->SetPosition(actor->shakeAnchor);
        actor->shakeRunning = false;
    }
}

void ActivateStatus(AiObject *actor)
{
    if (actor->statusToApply != 0 && !actor->broadcastExcluded && !actor->eventHeld) {
        actor->activeStatus |= actor->statusToApply & (kStatusBurning | kStatusPoisoned);
    }
}

void EndBurning(AiObject *actor)
{
    actor->activeStatus &= ~kStatusBurning;
    actor->burnTimer = 0.0f;
    actor->burnTicks = 0;
    if (actor->burnEffectStarted) {
        if (g_pStageManager != nullptr && g_pStageManager->fxPackages != nullptr) {
            g_pStageManager->fxPackages->StopOwner(actor);
        }
        actor->burnEffectStarted = false;
    }
}

void StepBurning(AiObject *actor, float dt, const StatusRule &rule)
{
    if ((actor->activeStatus & kStatusBurning) == 0) {
        return;
    }
    if (!actor->burnEffectStarted && actor->model != nullptr) {
        if (g_pStageManager != nullptr && g_pStageManager->fxPackages != nullptr) {
            g_pStageManager->fxPackages->StartBurning(actor);
        }
        actor->burnEffectStarted = true;
    }
    actor->burnTicks += 1;
    actor->burnTimer += dt;
    if (actor->burnTimer >= rule.burnSeconds) {
        EndBurning(actor);
    } else if (actor->burnTicks >= kBurnTickActs) {
        actor->burnTicks = 0;
        if (!actor->eventHeld) {
            const CharacterParams &params = ParamsOf(actor);
            const float share = (actor->resistance & kAtkHeavy) != 0 ? 0.04f : 0.02f;
            actor->SubtractHP(static_cast<int32_t>(static_cast<float>(params.maxHP) * share));
            actor->timeSinceHurt = 0.0f;
        }
    }
}

void EndPoison(AiObject *actor)
{
    actor->activeStatus &= ~kStatusPoisoned;
    actor->poisonTimer = 0.0f;
    actor->poisonTicks = 0;
    if (CSMatAnimManager *anims = MatAnims()) {
        anims->Stop(actor);
    }
    actor->poisonTintStarted = false;
}

void StepPoison(AiObject *actor, float dt, const StatusRule &rule)
{
    if ((actor->activeStatus & kStatusPoisoned) == 0) {
        return;
    }
    actor->poisonTicks += 1;
    actor->poisonTimer += dt;
    if (!actor->poisonTintStarted) {
        StartMatAnim(actor, kMatPoisonTint, 0.0f, true);
        actor->poisonTintStarted = true;
    }
    if (actor->poisonTimer >= rule.poisonSeconds) {
        EndPoison(actor);
    } else if (rule.poisonTickActs > 0 && actor->poisonTicks >= rule.poisonTickActs) {
        actor->poisonTicks = 0;
        if (!actor->eventHeld) {
            actor->SubtractHP(static_cast<int32_t>(static_cast<float>(ParamsOf(actor).maxHP) * rule.poisonShare));
        }
    }
}

void DropResistanceWhileBurning(AiObject *actor)
{
    actor->resistance = (actor->activeStatus & kStatusBurning) != 0 ? 1 : ParamsOf(actor).defAttribute;
}

void StepStatusTimersInHold(AiObject *actor, float dt, const StatusRule &rule)
{
    if ((actor->activeStatus & kStatusBurning) != 0) {
        actor->burnTimer += dt;
        if (actor->burnTimer >= rule.burnSeconds) {
            EndBurning(actor);
        }
    }
    if ((actor->activeStatus & kStatusPoisoned) != 0) {
        actor->poisonTimer += dt;
        if (actor->poisonTimer >= rule.poisonSeconds) {
            EndPoison(actor);
        }
    }
}

void StepGuard(AiObject *actor, int32_t *next, float dt, float *timer, const GuardRule &rule)
{
    if (actor->state != rule.state) {
        actor->guarding = false;
        if (rule.clearsWhenLeft) {
            *timer = 0.0f;
        }
        return;
    }
    const bool broken = (actor->incomingStatus & kStatusGuardBreak) != 0;
    if (broken) {
        *timer = 0.0f;
        FeedInput(actor, next, kInputKnockDown);
    } else if (*timer < rule.seconds) {
        *timer += dt;
    } else {
        *timer = 0.0f;
        FeedInput(actor, next, rule.endInput);
    }
    actor->guarding = !broken;
    if (!broken && actor->hitSender != nullptr) {
        PlaySound(rule.sound);
    }
}

void StepKnock(AiObject *actor, int32_t *next, float dt, bool knockable, int32_t knockState, float seconds)
{
    if (knockable && actor->knock) {
        FeedInput(actor, next, kInputKnocked);
        actor->shakeAnchor = *actor->GetPositionPtr();
    }
    if (actor->state == knockState) {
        if (actor->knockTimer > seconds) {
            FeedInput(actor, next, kInputReady);
        } else {
            actor->knockTimer += dt;
        }
    } else {
        actor->knockTimer = 0.0f;
    }
}

void StepDizzy(AiObject *actor, int32_t *next, float dt, int32_t dizzyState, int32_t holdState, float seconds)
{
    CCGEManager *effects = Effects();
    if (actor->state == dizzyState) {
        actor->dizzyTimer += dt;
        if (!actor->dizzyEffect) {
            if (effects != nullptr && effects->dizzy != nullptr) {
                effects->dizzy->Start(actor);
            }
            actor->dizzyEffect = true;
        }
        if (actor->dizzyTimer >= seconds) {
            FeedInput(actor, next, kInputDizzyEnd);
        }
    } else if (actor->state != holdState) {
        if (actor->dizzyEffect && effects != nullptr && effects->dizzy != nullptr) {
            effects->dizzy->Stop(actor);
        }
        actor->dizzyEffect = false;
        actor->dizzyTimer = 0.0f;
    }
}

void StepDownTimer(AiObject *actor, int32_t *next, float dt, int32_t downState, int32_t getUpState, float seconds)
{
    if (actor->state == downState) {
        actor->downTimer += dt;
        if (actor->downTimer >= seconds) {
            FeedInput(actor, next, kInputGetUp);
            actor->down = false;
        }
    } else if (actor->state == getUpState) {
        actor->grabbed = false;
        actor->downTimer = 0.0f;
    }
}

void StepDownHit(AiObject *actor, int32_t state, float frame)
{
    if (actor->state != state || actor->downHitDone || !(MotionFrameOf(actor) > frame)) {
        return;
    }
    actor->downHitDone = true;
    CCGEManager *effects = Effects();
    if (effects != nullptr && effects->downHit != nullptr) {
        effects->downHit->Start(*actor->GetPositionPtr());
    }
    actor->hitStopPending = true;
}

void StepHitStop(AiObject *actor, float dt)
{
    if (!actor->hitStopPending || !NotHeld(actor)) {
        return;
    }
    if (actor->hitStopTimer > kHitStopSeconds) {
        ClearHitStop(actor);
    } else {
        SetFrozen(actor, true);
        actor->hitStopTimer += dt;
    }
}

void ClearHitStop(AiObject *actor)
{
    actor->hitStopTimer = 0.0f;
    actor->hitStopPending = false;
    SetFrozen(actor, false);
}

void HandOver(AiObject *actor)
{
    actor->damageToApply = actor->pendingDamage;
    actor->statusToApply = actor->incomingStatus;
    actor->pendingDamage = 0;
    actor->incomingStatus = 0;
    actor->hitSender = nullptr;
}

}  // namespace monster
