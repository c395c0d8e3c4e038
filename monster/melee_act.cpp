// The phases of the melee monsters' act step (see melee_act.h).
#include "monster/melee_act.h"

#include "actor/fsf.h"
#include "actor/hero.h"
#include "app/game_rand.h"
#include "monster/kit_condition.h"
#include "monster/kit_life.h"

namespace monster {

namespace {

// An input that no transition names: the default transition is taken once
// the state's motion has ended.
constexpr int32_t kInputNoTransition = 9999;

bool DownNow(const AiObject *actor, const MeleeActRow &row)
{
    return IsOneOf(actor->state, row.downStates) ||
           (IsOneOf(actor->state, row.downWhenEndedStates) && actor->animEnded);
}

}  // namespace

Goal ApproachPhase(AiObject *actor, int32_t *next, float dt, const MeleeActRow &row)
{
    const TemplateDMembers &members = *TemplateDMembersOf(row.aiType);
    CountTimeSinceHurt(actor, dt);
    if (row.fleesThrownItems) {
        StartFleeFromThrownItems(actor);
    }
    return ChooseGoal(actor, next, dt, members.holdState, members.ignoreFoesSeconds);
}

void DamagePhase(AiObject *actor, int32_t *next, float dt, const MeleeActRow &row)
{
    if (actor->state == row.grabTintState) {
        ShowGrabTint(actor);
    }
    TakeDamage(actor, IsOneOf(actor->state, row.hitStopStates) && (!row.hitStopWaitsForHolds || NotHeld(actor)));
    // A type that never lies down (its rows all kNoState) stays up here.
    actor->down = DownNow(actor, row);
    for (const DownHitRow &hit : row.downHits) {
        StepDownHit(actor, hit.state, hit.frame);
    }
    const int32_t downState = IsOneOf(actor->state, row.downTimerStates) ? actor->state : kNoState;
    StepDownTimer(actor, next, dt, downState, row.getUpState, row.getUpSeconds);
}

void ConditionPhase(AiObject *actor, int32_t *next, float dt, const MeleeActRow &row)
{
    if (row.holdsDelayedDamage) {
        StepDelayedHold(actor, dt);
    }
    if (actor->state == row.knockClearState) {
        actor->knock = false;
    }
    StepShake(actor, IsOneOf(actor->state, row.shakeStates));
    ActivateStatus(actor);
    StepBurning(actor, dt);
    if (row.knockState >= 0) {
        StepKnock(actor, next, dt, IsOneOf(actor->state, row.knockFromStates), row.knockState, row.knockSeconds);
    }
    if ((actor->activeStatus & kStatusPoisoned) != 0 && IsOneOf(actor->state, row.poisonInputStates)) {
        FeedInput(actor, next, kInputPoisoned);
    }
    StepPoison(actor, dt);
    StepDizzy(actor, next, dt, row.dizzyState, TemplateDMembersOf(row.aiType)->holdState, row.dizzySeconds);
}

void ActionPhase(AiObject *actor, int32_t *next, float dt, const MeleeActRow &row,
                 void (*onFresh)(AiObject *actor, const FreshHit &hit))
{
    if (IsOneOf(actor->state, row.turnStates) || (actor->state == row.pathTurnState && !actor->pathFollowing)) {
        TurnTowardTarget(actor, dt);
    }
    HitHeroes(actor, next, row.hit, onFresh);
    actor->straightToGoal = actor->state == row.straightState || (actor->state == 1 && actor->pathFollowing);
    actor->holdState = actor->state == TemplateDMembersOf(row.aiType)->holdState;
    PlayEntrySounds(actor, row.sounds);
    if (row.dizzySound != 0) {
        StepStateLoopSound(actor, row.dizzyState, row.dizzySound);
    }
    StepHitStop(actor, dt);
}

bool EndPhase(AiObject *actor, int32_t *next, float dt, const MeleeActRow &row, Goal goal)
{
    const TemplateDMembers &members = *TemplateDMembersOf(row.aiType);
    const bool died = StepDeath(actor, next, members.lastState);
    if (IsOneOf(actor->state, row.dyingStates)) {
        if (row.dyingFeedsIdle) {
            FeedInput(actor, next, kInputIdle);
        }
        StepDying(actor, row.deathFade);
    }
    if (IsOneOf(actor->state, row.goneStates)) {
        StepGone(actor, row.rollsDropMap);
    }
    if (IsOneOf(actor->state, row.dyingStates) || IsOneOf(actor->state, row.goneStates)) {
        ClearHitStop(actor);
    }
    SetHurtableAndTargetable(actor, IsOneOf(actor->state, row.untargetableStates));
    if (actor->state == members.holdState) {
        StepStatusTimersInHold(actor, dt);
    }
    float step = StepSpeed(actor, dt);
    const bool carrying = IsOneOf(actor->state, row.carryStates);
    if (carrying && row.carryAlsoMoves) {
        // The charge carries first, on the step of its own speed update;
        // the plain move then takes a second one.
        RwV3d facing;
        actor->GetDirection(&facing);
        CarryHeroes(actor, V3Add(*actor->GetPositionPtr(), facing), step, row.carry);
        if (actor->removed || actor->dying) {
            HandOver(actor);
            return died;
        }
        step = StepSpeed(actor, dt);
    }
    WalkWhereFacing(actor, &goal);
    if (MayMove(actor) && (!carrying || row.carryAlsoMoves)) {
        if (IsOneOf(actor->state, row.bumpStates)) {
            PushPushables(actor, dt, &step);
        }
        MoveToGoal(actor, goal, step, actor->state == 1);
    }
    if (carrying && !row.carryAlsoMoves) {
        CarryHeroes(actor, goal.point, step, row.carry);
    }
    HandOver(actor);
    return died;
}

void FollowUpWhenEnded(AiObject *actor, int32_t *next, int32_t state, int32_t input)
{
    if (actor->state == state && actor->animEnded) {
        FeedInputEnded(actor, next, input);
    }
}

void RecoveryRoll(AiObject *actor, int32_t *next, const RecoveryRow &row)
{
    if (actor->state != row.state) {
        return;
    }
    const int32_t roll = game::Rand() % 100;
    if (!actor->animEnded) {
        return;
    }
    if (roll <= row.idleUpTo) {
        FeedInput(actor, next, 0);
    } else if (roll <= row.backUpTo) {
        FeedInput(actor, next, 3);
    } else if (!row.needsTarget || (actor->target != nullptr && !(IsHero(actor->target) &&
                                                                  static_cast<CSHero *>(actor->target)->state5))) {
        FeedInput(actor, next, row.highInput);
    } else {
        FeedInput(actor, next, kInputNoTransition);
    }
}

}  // namespace monster
