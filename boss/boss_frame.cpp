// The boss frame's steps (see boss_frame.h).
#include "boss/boss_frame.h"

#include <cstdint>

#include "actor/fsf.h"
#include "actor/hero.h"
#include "app/debug.h"
#include "app/int_range.h"
#include "fx/ge_manager.h"
#include "fx/particle_system.h"
#include "monster/kit_life.h"
#include "monster/kit_motion.h"
#include "monster/kit_sensing.h"
#include "stage/character_params.h"
#include "stage/model_frames.h"
#include "stage/model_template.h"
#include "stage/stage_manager.h"
#include "stage/world_queries.h"

namespace boss {

using namespace monster;

namespace {

// The dying state's fade: the dying motion's length and half a second.
constexpr DeathFade kBossDeathFade = {.addedToMotion = 0.5f};

}  // namespace

HitRules BossHitRules(const BossTraits &traits)
{
    HitRules rules;
    rules.heavyInput = traits.heavyInput;
    rules.heavyBreaksGuard = traits.heavyBreaksGuard;
    rules.noDamageStates[0] = traits.noDamageStates[0];
    rules.noDamageStates[1] = traits.noDamageStates[1];
    rules.recordsLastHitter = true;
    rules.noticesFoes = false;
    rules.latestIsLastAttacker = true;
    rules.takesGrabs = false;
    return rules;
}

// ---- set-state and update ----

void EnterBossState(AiObject *boss, CFSF *fsf, int32_t state, const BossTraits &traits)
{
    if (static_cast<uint32_t>(state) >= static_cast<uint32_t>(traits.stateBound)) {
        return;
    }
    if (traits.logsStateChange) {
        DebugPrint("ID: %d CurrrentState: %d NextState: %d\n", boss->aiId, boss->state, state);
    }
    EnterState(boss, fsf, state, traits.stateBound - 1, true);
}

void HoldForEvent(AiObject *boss, int32_t *next, const BossTraits &traits)
{
    if (!boss->eventHeld || boss->busy) {
        return;
    }
    if (boss->holdState) {
        FeedInput(boss, next, 0);
    } else {
        *next = traits.holdState;
    }
}

// ---- think ----

bool SenseBossModel(AiObject *boss, void (*modelGone)(AiObject *))
{
    if (boss->isRender == 0) {
        if (boss->model != nullptr && !boss->eventModel) {
            boss->SetModelInstance(nullptr);
            if (modelGone != nullptr) {
                modelGone(boss);
            }
        }
        return true;
    }
    return boss->model != nullptr || TakeModelOnGround(boss);
}

int32_t SenseKeptTarget(AiObject *boss, int32_t bits, int32_t input, int32_t walk, float dt, bool heldKeeps)
{
    const bool held = heldKeeps && boss->heldByHero;
    if ((bits & kSenseNear) != 0) {
        RefreshTarget(boss);
        boss->lostTargetTimer = 0.0f;
        if (boss->target != nullptr) {
            return walk;
        }
        if (HomeDistance(boss) <= kBossHomeDistance) {
            return held ? input : kInputIdle;
        }
        return walk;
    }
    if (boss->lostTargetTimer < kBossLostTargetSeconds && !held) {
        boss->lostTargetTimer += dt;
        return kInputIdle;
    }
    boss->target = nullptr;
    if (HomeDistance(boss) <= kBossHomeDistance) {
        return held ? walk : kInputIdle;
    }
    return walk;
}

bool SenseAlarmRemembering(AiObject *boss, int32_t bits, int32_t withTarget, int32_t keepState, RwV3d *remembered,
                           int32_t *input)
{
    if ((bits & kSenseAlarm) == 0) {
        return false;
    }
    RefreshTarget(boss);
    if (boss->target == nullptr) {
        return false;
    }
    *input = withTarget;
    if (boss->state != keepState) {
        *remembered = *boss->target->GetPositionPtr();
    }
    return true;
}

bool SenseAttackInRange(AiObject *boss, int32_t bits, bool *inRange)
{
    if ((bits & kSenseAttack) == 0) {
        *inRange = false;
        return true;
    }
    RefreshTarget(boss);
    if (boss->target == nullptr) {
        return false;  // the flag keeps its value
    }
    *inRange = true;
    return true;
}

bool TargetInAttackCone(AiObject *boss)
{
    return FacingCosine(boss, boss->target, 1.0f, false) > CosHalfAngle(boss, false);
}

float TargetCosineFromBehind(AiObject *boss) { return FacingCosine(boss, boss->target, 5.0f, false); }

// ---- act ----

BossWay StepWaypoint(AiObject *boss, float dt)
{
    BossWay way;
    if (boss->target != nullptr) {
        CFSF *fsf = boss->Fsf();
        way.point = boss->MoveStep(boss->target, fsf != nullptr ? fsf->GetSpeed(boss->state) : 0.0f, dt);
        way.has = true;
    }
    return way;
}

BossGoal StepGoal(AiObject *boss, const BossWay &way)
{
    BossGoal goal;
    if (boss->target != nullptr) {
        goal.point = boss->pathFollowing && way.has ? way.point : *boss->target->GetPositionPtr();
    } else {
        goal.point = boss->home;
    }
    goal.distance = V3Distance(*boss->GetPositionPtr(), goal.point);
    return goal;
}

void StepHeroHits(AiObject *boss, int32_t *next, const BossTraits &traits,
                  void (*onFresh)(AiObject *boss, const FreshHit &hit))
{
    if (boss->state != traits.noHeroHitState) {
        HitHeroes(boss, next, {.activeHeroesOnly = false}, onFresh);
    }
}

void StepDamage(AiObject *boss, bool hitStopHere) { TakeDamage(boss, hitStopHere, false); }

bool InHitStopState(const AiObject *boss, const BossTraits &traits)
{
    return IsOneOf(boss->state, traits.hitStopStates);
}

void StepStatus(AiObject *boss, float dt)
{
    if ((boss->statusToApply & kStatusBurn) != 0 && (boss->resistance & kAtkBurn) == 0) {
        boss->activeStatus |= kStatusBurning;
    }
    if ((boss->statusToApply & kStatusPoison) != 0 && (boss->resistance & kAtkPoison) == 0) {
        boss->activeStatus |= kStatusPoisoned;
    }
    StepBurning(boss, dt, kBossStatus);
    StepPoison(boss, dt, kBossStatus);
}

void StepHoldAndEntrySound(AiObject *boss, const BossTraits &traits, std::span<const StateSound> sounds)
{
    boss->holdState = boss->state == traits.holdState;
    if (!boss->stateEntered || Sounds() == nullptr) {
        return;
    }
    for (const StateSound &row : sounds) {
        if (row.state != boss->state) {
            continue;
        }
        for (int32_t id : {row.first, row.second}) {
            if (id != 0) {
                PlaySound(id);
            }
        }
        boss->stateEntered = false;
    }
}

bool StepBossDeath(AiObject *boss, int32_t *next)
{
    if (boss->hp >= 1) {
        return false;
    }
    FeedInput(boss, next, kInputDeath);
    boss->busy = true;
    boss->grabbed = false;
    return true;
}

void PayBossReward(AiObject *boss)
{
    if (IsHero(boss->lastAttacker)) {
        CSHero *hero = static_cast<CSHero *>(boss->lastAttacker);
        hero->killCount += 1;
        // Exp comes from the boss's file: the sum is held to the int range.
        const int64_t experience = static_cast<int64_t>(hero->experience) + ParamsOf(boss).exp;
        hero->experience = game::ClampToInt32(experience);
    }
}

void StepBossEnd(AiObject *boss, const BossTraits &traits)
{
    if (boss->state == traits.dyingState && traits.end == BossEnd::kFadeDropReward) {
        StartDeathLook(boss, kBossDeathFade);
    }
    if (boss->state != traits.goneState) {
        return;
    }
    if (traits.end != BossEnd::kRewardOnly) {
        DropOnGone(boss, true);
        if (boss->statusParticles) {
            CCGEManager *effects = Effects();
            if (effects != nullptr && effects->statusParticles != nullptr) {
                effects->statusParticles->Detach(boss);
            }
            boss->statusParticles = false;
        }
    }
    PayBossReward(boss);
    RemoveFromPlay(boss);
}

void StepFlags(AiObject *boss, const BossTraits &traits, float dt)
{
    CFSF *fsf = boss->Fsf();
    boss->hurtable = fsf != nullptr && fsf->GetIsHurt(boss->state) != 0;
    const uint8_t when = traits.untargetableWhen;
    const bool untargetable = (when & kUntargetableAlways) != 0 || ((when & kUntargetableWhenDown) != 0 && boss->down) ||
                              ((when & kUntargetableWhenBusy) != 0 && boss->busy) ||
                              ((when & kUntargetableWhenExcluded) != 0 && boss->broadcastExcluded) ||
                              IsOneOf(boss->state, traits.untargetableStates);
    boss->targetable = !untargetable;
    if (boss->state == traits.holdState) {
        StepStatusTimersInHold(boss, dt, kBossStatus);
    }
}

void StepMove(AiObject *boss, const BossGoal &goal, float dt, const BossMoveRule &rule)
{
    const float step = StepSpeed(boss, dt);
    if (boss->busy || boss->removed || boss->eventHeld) {
        return;
    }
    boss->MoveToward(goal.distance, goal.point, step, rule.turn, rule.collide);
}

void StepHandOver(AiObject *boss)
{
    HandOver(boss);
    boss->lastHitter = nullptr;
}

bool FirstInVisit(const AiObject *boss, int32_t state, bool *done, bool ready)
{
    if (boss->state != state) {
        *done = false;
        return false;
    }
    if (*done || !ready) {
        return false;
    }
    *done = true;
    return true;
}

void TurnTowardFoe(AiObject *boss, float dt)
{
    constexpr float kNoTurnCosine = 0.99f;
    const RwV3d toward = boss->target != nullptr ? *boss->target->GetPositionPtr() : boss->home;
    TurnToward(boss, toward, dt, kNoTurnCosine);
}

bool ClipStepAgainstWorld(AiObject *boss, float radius, RwV3d *step)
{
    constexpr float kGroundClearance = 0.01f;
    if (g_pStageManager == nullptr || g_pStageManager->world == nullptr) {
        return false;
    }
    const RwV3d centre = V3Add(*boss->GetPositionPtr(), {0.0f, radius + kGroundClearance, 0.0f});
    return MoveAgainstWorld(g_pStageManager->world, centre, radius, step, kMoveStop);
}

// ---- model frames ----

void StartOnFrame(AiObject *boss, const char *particle, int32_t userId, bool attached)
{
    SparkOnFrame(boss, particle, userId, kFrameByUserId, attached ? kKeptOnFrame : kLeftWherePut, 1.0f, kAlongFrame,
                 kPrtDrawAfterWorld, attached ? kPrtFollowEmitter : kPrtStayWhereEmitted);
}

const RwMatrix *UserFrameMatrix(AiObject *boss, int32_t userId)
{
    RpClump *clump = boss->Clump();
    RwFrame *frame = clump != nullptr ? FindFrameByUserId(clump, userId) : nullptr;
    return frame != nullptr ? RwFrameGetLTM(frame) : nullptr;
}

RwV3d UserFramePosition(AiObject *boss, int32_t userId)
{
    const RwMatrix *matrix = UserFrameMatrix(boss, userId);
    return matrix != nullptr ? matrix->pos : RwV3d{0.0f, 0.0f, 0.0f};
}

RwV3d FramePositionOr(AiObject *actor, int32_t userId)
{
    const RwMatrix *matrix = UserFrameMatrix(actor, userId);
    return matrix != nullptr ? matrix->pos : *actor->GetPositionPtr();
}

const RwMatrix *BossMatrix(AiObject *boss)
{
    RpClump *clump = boss->Clump();
    RwFrame *frame = clump != nullptr ? RpClumpGetFrame(clump) : nullptr;
    return frame != nullptr ? RwFrameGetLTM(frame) : nullptr;
}

float ClockFrame(const AiObject *boss) { return boss->animClock * 60.0f; }

}  // namespace boss
