// The grab monsters' act step (see grab_act.h).
#include "monster/grab_act.h"

#include "actor/hero.h"
#include "fx/particle_manager.h"
#include "monster/kit_condition.h"
#include "monster/kit_life.h"
#include "monster/kit_messages.h"
#include "monster/kit_motion.h"
#include "stage/character_params.h"
#include "stage/model_template.h"
#include "stage/stage_manager.h"

namespace monster {

const ThinkRules kGrabThink = {.control = {}, .hits = {.grabbedStates = {25, 26}, .releaseState = 13}};

namespace {

constexpr int32_t kEffectKeptState = 4;  // the effect flag survives only this state
constexpr int32_t kHoldingState = 13;
constexpr int32_t kReleaseStates[] = {14, 15};
constexpr int32_t kDownStates[] = {19, 21};
constexpr int32_t kDownWhenEndedStates[] = {17, 18};
constexpr int32_t kDownTimerState = 19;
constexpr int32_t kGetUpState = 20;
constexpr int32_t kGrabTintStates[] = {25, 26};
constexpr int32_t kHitStopStates[] = {16, 17};
constexpr int32_t kKnockClearState = 2;
constexpr int32_t kShakeStates[] = {16, 17, 18};
constexpr int32_t kKnockFromStates[] = {5, 8};
constexpr float kKnockSeconds = 1.2f;
constexpr int32_t kPoisonInputStates[] = {4, 7};
constexpr int32_t kDizzyState = 23;
constexpr float kDizzySeconds = 3.0f;
constexpr int32_t kSeizeState = 11;
constexpr int32_t kSeizeKeepsFrom = 16;
constexpr int32_t kUntargetableStates[] = {10, 11, 12, 13, 25, 26};
constexpr int32_t kBumpStates[] = {17, 18};
constexpr float kHoldSeconds = 3.0f;
constexpr const char *kChargeSparks[] = {"3218100.zus", "3218101.zus"};

constexpr HeroHitRules kHit = {.activeHeroesOnly = false, .noHitState = kSeizeState};

// The particles of the effect state, once per entry.
void StartStateEffect(AiObject *actor, const GrabActRow &row, bool *started)
{
    if (started == nullptr) {
        return;
    }
    if (actor->state == row.effectState && !*started && actor->model != nullptr) {
        *started = true;
        if (row.effectOnPart != nullptr) {
            SparkOnFrame(actor, row.effectOnPart, row.effectPart, kFrameByTag, kKeptOnFrame, 1.0f, kAlongFrame,
                         kPrtDrawAfterWorld, kPrtFollowEmitter);
            return;
        }
        CSParticleManager *particles = g_pStageManager != nullptr ? g_pStageManager->particleManager : nullptr;
        RwFrame *frame = actor->Clump() != nullptr ? RpClumpGetFrame(actor->Clump()) : nullptr;
        for (const char *name : kChargeSparks) {
            CSParticleSystem *system = particles != nullptr ? particles->CreateSystem(name) : nullptr;
            if (system == nullptr || frame == nullptr) {
                continue;
            }
            // On the body's frame and following it; its particles stay
            // where they were emitted.
            system->displayMode[0] = kPrtDrawAfterWorld;
            system->displayMode[1] = kPrtStayWhereEmitted;
            PlaceSystemOnFrame(system, frame, true, true);
            system->SetEmitting(true, 1.0f);
            CSParticleManager::GiveBackWhenDead(system);
        }
    } else if (actor->state != kEffectKeptState) {
        *started = 0;
    }
}

void SeizeOrIdle(AiObject *actor, int32_t *next, const GrabActRow &row, const HoldWords &words)
{
    if (SeizeHero(actor, next, words.heldHero, row.seizeAt)) {
        return;
    }
    if (Unsigned(*next) >= Unsigned(kSeizeKeepsFrom) && Unsigned(*next) <= Unsigned(row.seizeKeepsTo)) {
        return;
    }
    int32_t result = *next;
    FeedInput(actor, &result, 0);
    if (row.seizeResultBelow <= 0 || Unsigned(result) < Unsigned(row.seizeResultBelow)) {
        *next = result;
    }
}

}  // namespace

void RunGrabAct(AiObject *actor, int32_t *next, float dt, const GrabActRow &row, const HoldWords &words)
{
    const TemplateDMembers &members = *TemplateDMembersOf(row.aiType);
    // 1: time since hurt, thrown items, goal.
    CountTimeSinceHurt(actor, dt);
    StartFleeFromThrownItems(actor);
    Goal goal = ChooseGoal(actor, next, dt, members.holdState, members.ignoreFoesSeconds);
    // 2, 3: the state's particles, turning.
    StartStateEffect(actor, row, words.effectStarted);
    if (IsOneOf(actor->state, row.turnStates) || (actor->state == 1 && !actor->pathFollowing)) {
        TurnTowardTarget(actor, dt);
    }
    // 4, 5: holding the hero up to 3 s, then letting it go.
    if (actor->state == kHoldingState) {
        KeepHeroAhead(actor, *words.heldHero, row.holdAt);
        actor->grabWord = 0;
        if (*words.holdTimer <= kHoldSeconds) {
            *words.holdTimer += dt;
        } else if (*next != kReleaseStates[0]) {
            FeedInput(actor, next, kInputHoldEnds);
        }
    }
    if (IsOneOf(actor->state, kReleaseStates)) {
        ReleaseHero(actor, words.heldHero);
        *words.holdTimer = 0.0f;
        if (row.releaseSetsGrabWord) {
            actor->grabWord = 1;
        }
    }
    // 6, 7: down, its hits and its timer.
    actor->down = IsOneOf(actor->state, kDownStates) ||
                  (IsOneOf(actor->state, kDownWhenEndedStates) && actor->animEnded);
    for (const DownHitRow &hit : row.downHits) {
        StepDownHit(actor, hit.state, hit.frame);
    }
    StepDownTimer(actor, next, dt, kDownTimerState, kGetUpState, row.getUpSeconds);
    // 8: the grab tint and the damage.
    if (IsOneOf(actor->state, kGrabTintStates)) {
        ShowGrabTint(actor);
    }
    TakeDamage(actor, IsOneOf(actor->state, kHitStopStates) && NotHeld(actor));
    // 9: status, burning, the delayed-damage hold.
    ActivateStatus(actor);
    StepBurning(actor, dt);
    if (row.burningDropsResistance) {
        DropResistanceWhileBurning(actor);
    }
    StepDelayedHold(actor, dt);
    // 10: knock clearing, shaking, the knock.
    if (actor->state == kKnockClearState) {
        actor->knock = false;
    }
    StepShake(actor, IsOneOf(actor->state, kShakeStates));
    StepKnock(actor, next, dt, IsOneOf(actor->state, kKnockFromStates), row.knockState, kKnockSeconds);
    // 11, 12: poison, dizziness.
    StepPoison(actor, dt);
    if ((actor->activeStatus & kStatusPoisoned) != 0 && IsOneOf(actor->state, kPoisonInputStates)) {
        FeedInput(actor, next, kInputPoisoned);
    }
    StepDizzy(actor, next, dt, kDizzyState, members.holdState, kDizzySeconds);
    // 13, 14: the seize, the weapons.
    if (actor->state == kSeizeState) {
        SeizeOrIdle(actor, next, row, words);
    }
    HitHeroes(actor, next, kHit, nullptr);
    // 15, 16, 17: move mode, hold-state flag, sounds, hit-stop.
    actor->straightToGoal = actor->state == 1 && actor->pathFollowing;
    actor->holdState = actor->state == members.holdState;
    PlayEntrySounds(actor, row.sounds);
    if (row.dizzySound != 0) {
        StepStateLoopSound(actor, kDizzyState, row.dizzySound);
    }
    StepHitStop(actor, dt);
    // 18, 19: death (a held hero is let go), dying and gone.
    if (StepDeath(actor, next, members.lastState)) {
        ReleaseHero(actor, words.heldHero);
        *words.holdTimer = 0.0f;
        actor->grabWord = 1;
    }
    if (IsOneOf(actor->state, row.dyingStates)) {
        StepDying(actor, row.fixedFadeSpeed);
    }
    if (IsOneOf(actor->state, row.goneStates)) {
        StepGone(actor);
    }
    if (IsOneOf(actor->state, row.dyingStates) || IsOneOf(actor->state, row.goneStates)) {
        ClearHitStop(actor);
    }
    // 20: hurtable and targetable.
    SetHurtableAndTargetable(actor, IsOneOf(actor->state, kUntargetableStates));
    // 21 to 24: speed, goal and the move, unless removed or dying.
    if (!actor->removed && !actor->dying) {
        float step = StepSpeed(actor, dt);
        // Everywhere but a path-following state 1 (so in the charge states
        // 7 to 9 too) it walks straight on where it faces.
        WalkWhereFacing(actor, &goal);
        if (IsOneOf(actor->state, kBumpStates)) {
            PushPushables(actor, dt, &step);
        }
        if (MayMove(actor) && step != 0.0f) {
            MoveToGoal(actor, goal, step, actor->state == 1);
        }
    }
    // 25, 26: hurtable again; the hold state lets go of the hero and runs
    // the status timers twice; the hand-over.
    SetHurtableAndTargetable(actor, IsOneOf(actor->state, kUntargetableStates));
    if (actor->state == members.holdState) {
        ReleaseHero(actor, words.heldHero);
        StepStatusTimersInHold(actor, dt);
    }
    HandOver(actor);
}

}  // namespace monster
