// The fighting character 10 (see npc_10.h): its think and act in their
// rules' order, made of the kit's steps. Its foes are the found-foes list
// (heroes and monsters), struck with kind-1 hits; a seized hero is let go
// (the 512 release) when it dies and in its hold state, as the grab
// monsters do, rather than forgotten.
#include "monster/npc_10.h"

#include "actor/fsf.h"
#include "actor/hero.h"
#include "actor/ai_msg_pool.h"
#include "app/acos_table.h"
#include "app/game_rand.h"
#include "monster/kit_combat.h"
#include "monster/kit_condition.h"
#include "monster/kit_life.h"
#include "monster/kit_messages.h"
#include "monster/kit_motion.h"
#include "monster/kit_sensing.h"
#include "monster/kit_state.h"
#include "monster/monster_1003.h"
#include "stage/character_params.h"
#include "stage/stage_manager.h"

using namespace monster;

namespace npc_10 {

constexpr int32_t kLastState = 38;
constexpr int32_t kHoldState = 38;
constexpr int32_t kExcludedFirst = 34;  // not solid in 34 to 38
constexpr int32_t kControlDeafStates[] = {34, 36};
constexpr int32_t kTurnState = 3;
constexpr int32_t kSeizeState = 11;
constexpr int32_t kHoldingState = 13;
constexpr int32_t kReleaseStates[] = {14, 15};
constexpr float kHoldSeconds = 3.0f;
constexpr HoldDistance kSeizeAhead = {7.5f, 7.5f};
constexpr int32_t kDownStates[] = {19, 21};
constexpr int32_t kDownWhenEndedStates[] = {17, 18};
constexpr int32_t kDownTimerState = 19;
constexpr int32_t kGetUpState = 20;
constexpr float kGetUpSeconds = 2.0f;
constexpr int32_t kGrabTintStates[] = {25, 26};
constexpr int32_t kHitStopStates[] = {16, 17};
constexpr int32_t kDizzyState = 23;
constexpr float kDizzySeconds = 3.0f;
constexpr int32_t kDyingStates[] = {27, 28};
constexpr int32_t kGoneStates[] = {30, 31, 32, 33};
constexpr int32_t kUntargetableStates[] = {10, 11, 12, 13, 25, 26, 34, 36};
constexpr float kHomeDistance = 10.0f;
constexpr float kLostTargetSeconds = 1.0f;
constexpr float kAttackDelaySeconds = 1.0f;
constexpr int32_t kAlarmChance = 29;  // the state random at most this

// Burning lasts 4 s; poison 30 s at 1 % of MaxHP every 60 acts.
constexpr StatusRule kStatus = {
    .burnSeconds = 4.0f, .poisonSeconds = 30.0f, .poisonTickActs = 60, .poisonShare = 0.01f};
constexpr DeathFade kDeathFade = {.addedToMotion = 0.0f, .looped = false};

const ControlRules kControl = {.showHoldClearsKnock = false};
const HitRules kHits = {.countedBits = kAtkPlain | kAtkHeavy, .grabbedStates = {25, 26}, .releaseState = kHoldingState};
constexpr NearRule kNear = {.homeDistance = kHomeDistance,
                            .lostTargetSeconds = kLostTargetSeconds,
                            .heedsKnock = false,
                            .homeClearsIgnoreFoes = false};

constexpr StateSound kSounds[] = {
    {4, 6120000, 0},        {7, 6120000, 0},        {10, 6120000, 0},       {13, 6300270, 0},
    {14, 6120010, 0},       {16, 6300240, 0},       {17, 6120010, 6300240}, {21, 6120010, 6300240},
    {18, 6120010, 6300250}, {23, 6300070, 0},       {25, 6120010, 6300230}, {26, 6120010, 6300230},
    {27, 6120020, 0},       {28, 6120020, 0},
};

// The blow of an attack state on the found foes: a foe touched by a weapon
// and hurtable is struck once per state entry (its mark), with blood and
// sparks where the blow lands unless it guards.
void StrikeFoes(CSMonster1003 *self)
{
    CFSF *fsf = self->Fsf();
    if (fsf == nullptr || self->state == kSeizeState || self->model == nullptr ||
        fsf->IsAttackState(self->state) == 0) {
        return;
    }
    for (AiObject *foe : self->foes) {  // entries past the found count are empty
        int32_t weaponId = 0;
        RwV3d contact = {0.0f, 0.0f, 0.0f};
        if (foe == nullptr || foe->removed || !WeaponTouches(self, fsf, foe, &weaponId, &contact) || !foe->hurtable ||
            self->GetLinkValue(foe->aiType) != 0) {
            continue;
        }
        if (!foe->guarding) {
            ShowUnguardedBlow(foe, contact);
        }
        self->SetLinkValue(foe->aiType, kStruckMark);
        if (CAiMsgPool *pool = Messages()) {
            pool->Post(kMsgHitActor, self, foe, 0, fsf->GetAttackAttribute(self->state), AttackDamage(self, fsf));
        }
    }
}

// The goal: the way to the target (around what blocks it), else home.
Goal ChooseFighterGoal(CSMonster1003 *self, float dt)
{
    Goal goal;
    const RwV3d where = *self->GetPositionPtr();
    if (self->target != nullptr) {
        CFSF *fsf = self->Fsf();
        const RwV3d waypoint = self->MoveStep(self->target, fsf != nullptr ? fsf->GetSpeed(self->state) : 0.0f, dt);
        goal.point = self->pathFollowing ? waypoint : *self->target->GetPositionPtr();
    } else {
        goal.point = self->home;
    }
    goal.distance = V3Distance(where, goal.point);
    return goal;
}

}  // namespace npc_10

void CSNpc10::ReleaseOf(AiObject *actor)
{
    auto *self = static_cast<CSMonster1003 *>(actor);
    actor->Release();
    self->GrabTarget10() = nullptr;
    self->GrabTimer10() = 0.0f;
}

void CSNpc10::Update(CSMonster1003 *self, float dt)
{
    if (self->removed) {
        return;
    }
    self->grabbable = false;
    int32_t next = -1;
    Think(self, &next, dt);
    if (self->active) {
        Act(self, &next, dt);
        // It acts on every frame, thinned or not: the time gathered for the
        // next act starts again, as every type's does once it has acted.
        self->accumulatedTime = 0.0f;
    }
    if (self->removed) {
        return;
    }
    if (self->eventHeld && !self->dying) {
        if (self->holdState) {
            FeedInput(self, &next, 0);
        } else {
            next = npc_10::kHoldState;
        }
    }
    SetState(self, self->Fsf(), next);
    self->solid = self->state < npc_10::kExcludedFirst || self->state > npc_10::kHoldState;
    self->SyncFrameAxes();
    self->pendingDamage = 0;
}

void CSNpc10::SetState(CSMonster1003 *self, CFSF *fsf, int32_t state)
{
    if (EnterState(self, fsf, state, npc_10::kLastState, true)) {
        // Its foes are monsters as well as heroes: every mark goes.
        self->ClearLinkValues();
    }
}

void CSNpc10::Think(CSMonster1003 *self, int32_t *next, float dt)
{
    RefreshTarget(self);
    const float home = HomeDistance(self);
    int32_t input = 0;
    DrainMessages(self, [&](const MSGData &m) {
        switch (m.kind) {
        case kMsgControl:
            return IsOneOf(self->state, npc_10::kControlDeafStates) ||
                   HandleEventControl(self, m, next, npc_10::kControl);
        case kMsgHitActor:
            input = ClassifyHit(self, m, input, npc_10::kHits);
            if ((m.word[1] & kAtkGrab) != 0) {
                self->GrabbingAttacker10() = m.sender;
            }
            FeedInput(self, next, input);
            return true;
        case kMsgSensing: {
            const int32_t bits = m.word[0];
            if (!SenseModel(self, bits, nullptr, nullptr, false)) {
                return false;
            }
            input = SenseNear(self, bits, input, home, npc_10::kNear, dt);
            if ((bits & kSenseAlarm) != 0 && self->target != nullptr) {
                input = self->stateRandom <= npc_10::kAlarmChance ? npc_10::kSeizeState : kInputChase;
            }
            const bool feeds = SenseAttack(self, bits, npc_10::kAttackDelaySeconds, dt, &input, [&] {
                return FacingCosine(self, self->target, 0.0f, false) <= CosHalfAngle(self, false) ? 3 : 10;
            });
            if (feeds) {
                FeedInput(self, next, input);
            }
            return true;
        }
        default:
            return true;
        }
    });
}

void CSNpc10::Act(CSMonster1003 *self, int32_t *next, float dt)
{
    CSHero *&held = self->GrabTarget10();
    float &holdTimer = self->GrabTimer10();
    // 1, 2: the goal, turning.
    Goal goal = npc_10::ChooseFighterGoal(self, dt);
    if (self->state == npc_10::kTurnState) {
        TurnTowardTarget(self, dt);
    }
    // 3: the hold of up to 3 s and the release.
    if (self->state == npc_10::kHoldingState) {
        if (holdTimer > npc_10::kHoldSeconds) {
            FeedInput(self, next, kInputHoldEnds);
        } else {
            holdTimer += dt;
        }
    }
    if (IsOneOf(self->state, npc_10::kReleaseStates)) {
        ReleaseHero(self, &held);
        holdTimer = 0.0f;
    }
    // 4: down, its timer, getting up, the grab tint.
    self->down = IsOneOf(self->state, npc_10::kDownStates) ||
                 (IsOneOf(self->state, npc_10::kDownWhenEndedStates) && self->animEnded);
    StepDownTimer(self, next, dt, npc_10::kDownTimerState, npc_10::kGetUpState, npc_10::kGetUpSeconds);
    if (!IsOneOf(self->state, npc_10::kDownStates)) {
        self->downTimer = 0.0f;
    }
    if (IsOneOf(self->state, npc_10::kGrabTintStates)) {
        ShowGrabTint(self);
    }
    // 5: damage.
    TakeDamage(self, IsOneOf(self->state, npc_10::kHitStopStates));
    // 6: burning and poison.
    if (self->state != npc_10::kHoldingState) {
        ActivateStatus(self);
    }
    StepBurning(self, dt, npc_10::kStatus);
    DropResistanceWhileBurning(self);
    StepPoison(self, dt, npc_10::kStatus);
    // 7: dizziness.
    StepDizzy(self, next, dt, npc_10::kDizzyState, npc_10::kHoldState, npc_10::kDizzySeconds);
    // 8: the seize.
    if (self->state == npc_10::kSeizeState && !SeizeHero(self, next, &held, npc_10::kSeizeAhead)) {
        int32_t result = *next;
        FeedInput(self, &result, kInputIdle);
        if (Unsigned(result) <= Unsigned(npc_10::kLastState)) {
            *next = result;
        }
    }
    // 9, 10, 11, 12: the blows, the hold-state flag, sounds, the hit-stop.
    npc_10::StrikeFoes(self);
    self->holdState = self->state == npc_10::kHoldState;
    PlayEntrySounds(self, npc_10::kSounds);
    StepHitStop(self, dt);
    // 13, 14, 15: death (a held hero let go), dying and gone.
    if (StepDeath(self, next, npc_10::kLastState)) {
        ReleaseHero(self, &held);
    }
    if (IsOneOf(self->state, npc_10::kDyingStates)) {
        StartDeathLook(self, npc_10::kDeathFade);
    }
    if (IsOneOf(self->state, npc_10::kGoneStates)) {
        StepGone(self, true);
    }
    // 16: hurtable and targetable.
    SetHurtableAndTargetable(self, IsOneOf(self->state, npc_10::kUntargetableStates));
    // 17: speed and the move.
    if (!self->removed && !self->dying) {
        self->RollFlag10() = game::Rand() % 2 == 0;
        const float step = StepSpeed(self, dt);
        // Outside state 1 (so in 7 to 9, where it runs straight ahead, too)
        // it walks on where it faces.
        self->straightToGoal = self->state == 1;
        WalkWhereFacing(self, &goal);
        if (!self->eventHeld) {
            MoveToGoal(self, goal, step, true);
        }
    }
    // 18: in the hold state the status runs out faster and a held hero is
    // let go.
    if (self->state == npc_10::kHoldState) {
        StepStatusTimersInHold(self, dt, npc_10::kStatus);
        ReleaseHero(self, &held);
    }
    // 19: the hand-over.
    HandOver(self);
}
