// The bosses' shared patterns (see boss_patterns.h).
#include "boss/boss_patterns.h"

#include <cmath>

#include "actor/fsf.h"
#include "actor/hero.h"
#include "monster/kit_combat.h"
#include "monster/kit_common.h"
#include "monster/kit_condition.h"
#include "fx/mat_anim_manager.h"
#include "monster/kit_messages.h"
#include "stage/character_params.h"

namespace boss {

using namespace monster;

bool StepGuardState(AiObject *boss, int32_t *next, float dt, const BossTraits &traits, float *timer, bool feedsIdle)
{
    if (boss->state != traits.guardState) {
        return false;
    }
    if ((boss->incomingStatus & kStatusGuardBreak) != 0) {
        *timer = 0.0f;
        FeedInput(boss, next, kInputKnockDown);
        return false;
    }
    if (*timer < traits.guardSeconds) {
        *timer += dt;
        if (feedsIdle) {
            FeedInput(boss, next, kInputIdle);
        }
    } else {
        *timer = 0.0f;
        FeedInput(boss, next, kBossInputGuardEnd);
    }
    return true;
}

bool HitWithoutGuardBreak(const AiObject *boss)
{
    return boss->lastHitter != nullptr && (boss->incomingStatus & kStatusGuardBreak) == 0;
}

void StepRecovery(AiObject *boss, int32_t *next, float dt, const BossTraits &traits, float *timer, bool running,
                  bool mayRecover)
{
    if (boss->state != traits.recoveryState || !running) {
        *timer = 0.0f;
        return;
    }
    *timer += dt;
    if (*timer >= traits.recoveryInterval) {
        *timer = 0.0f;
        if (boss->stateRandom < traits.recoveryBelow && mayRecover) {
            FeedInput(boss, next, kBossInputRecovery);
        }
    }
}

void CountHurtWindow(AiObject *boss, float dt, float *window, int32_t *hurtableFrames)
{
    if (*window < kHurtWindowSeconds) {
        *window += dt;
    }
    CFSF *fsf = boss->Fsf();
    if (fsf != nullptr && fsf->GetIsHurt(boss->state) != 0 && *window < kHurtWindowSeconds) {
        *hurtableFrames += 1;
    }
}

void StepHurtEscape(AiObject *boss, int32_t *next, float *window, int32_t *hurtableFrames, bool mayEscape)
{
    // A window that has run its 2 s (also the one the boss starts with)
    // opens again.
    if (*window >= kHurtWindowSeconds) {
        *window = 0.0f;
    }
    if (*hurtableFrames > 2 && mayEscape) {
        FeedInput(boss, next, kBossInputEscape);
        *hurtableFrames = 0;
    }
}

void StepFlinchEscape(AiObject *boss, int32_t *next, float dt, const BossTraits &traits, FlinchEscape *escape,
                      bool paused)
{
    constexpr float kEscapeWindowSeconds = 2.0f;
    constexpr int32_t kExitsToEscape = 3;
    if (boss->state == traits.recoveryState && !escape->armed) {
        escape->armed = true;
        escape->window = 0.0f;
        escape->count = 0;
    }
    if (!escape->armed || paused) {
        return;
    }
    escape->window += dt;
    if (escape->count >= kExitsToEscape) {
        FeedInput(boss, next, kBossInputEscape);
        escape->count = 0;
    }
    if (escape->window >= kEscapeWindowSeconds) {
        escape->armed = false;
        escape->count = 0;
    }
}

void CountFlinchExit(const AiObject *boss, int32_t next, const BossTraits &traits, FlinchEscape *escape)
{
    if (boss->state == traits.recoveryState && next >= 0 && next < traits.stateBound &&
        next != traits.recoveryState) {
        escape->leftFlinch = true;
        if (escape->armed) {
            escape->count += 1;
        }
    }
}

bool StepHpPhases(AiObject *boss, int32_t *next, const BossTraits &traits, bool done[3], bool allowed)
{
    if (!allowed) {
        return false;
    }
    const float maxHP = static_cast<float>(ParamsOf(boss).maxHP);
    for (int32_t i = 0; i < 3; ++i) {
        const float threshold = maxHP * traits.phases[i];
        const float hp = static_cast<float>(boss->hp);
        // "At or below" compares with the truncated share.
        const bool crossed = traits.phasesAtOrBelow ? hp <= std::trunc(threshold) : hp < threshold;
        if (done[i] || !crossed) {
            continue;
        }
        if (FeedInput(boss, next, kBossInputHpPhase) == traits.phaseState) {
            done[i] = true;
            return true;
        }
    }
    return false;
}

void LetGoOfHeld(AiObject *boss, AiObject **held)
{
    if (*held != nullptr) {
        monster::PostHeroHit(boss, *held, kAtkReleaseHeld, 0);
        *held = nullptr;
    }
}

void ExcludeInStates(AiObject *boss, const int32_t (&excluded)[2])
{
    const bool out = IsOneOf(boss->state, excluded);
    boss->broadcastExcluded = out;
    boss->solid = !out;
}

void StepGlow(AiObject *boss, bool on, bool *glowing)
{
    constexpr int32_t kMatGlow = 40;
    if (!on) {
        return;
    }
    CSMatAnimManager *anims = MatAnims();
    if (boss->model != nullptr && !*glowing) {
        if (anims != nullptr) {
            anims->Start(boss, kMatAnimOwnerActor, kMatGlow, 0.0f, true);
        }
        *glowing = true;
    } else if (boss->model == nullptr && *glowing) {
        if (anims != nullptr) {
            anims->Stop(boss);
        }
        *glowing = false;
    }
}

void StepHeroHold(AiObject *boss, int32_t *next, float dt, const HeroHoldStates &states)
{
    constexpr int32_t kInputGotUp = 2;
    constexpr float kGetUpSeconds = 1.0f;
    StepDelayedHold(boss, dt);
    if (boss->state == states.letGoState) {
        boss->heldByHero = false;
    }
    StepShake(boss, IsOneOf(boss->state, states.shakeStates));
    if (IsOneOf(boss->state, states.leaveStates) && boss->heldByHero) {
        FeedInput(boss, next, kInputKnocked);
        boss->shakeAnchor = *boss->GetPositionPtr();
    }
    if (boss->state == states.getUpState) {
        boss->stateTimer += dt;
        if (boss->stateTimer >= kGetUpSeconds) {
            FeedInput(boss, next, kInputGotUp);
        }
    } else {
        boss->stateTimer = 0.0f;
    }
}

bool TargetInGrabMove(const AiObject *boss)
{
    return IsHero(boss->target) && static_cast<const CSHero *>(boss->target)->grabMove;
}

}  // namespace boss
