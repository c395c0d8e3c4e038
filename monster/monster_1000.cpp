// Monster type 1000 (see monster_1000.h): the template without a guard,
// grab cone or charge carry, a counter against an attacking hero (input
// 19), a recovery roll in state 6 and the half angle taken in radians.
#include "monster/monster_1000.h"

#include "actor/hero.h"
#include "monster/kit_messages.h"
#include "monster/kit_sensing.h"
#include "monster/melee_act.h"
#include "stage/character_params.h"

using namespace monster;

namespace monster_1000 {

constexpr int32_t kAiType = 1000;
constexpr int32_t kCounterInput = 19;
constexpr int32_t kCounterChance = 65;  // the state random at most this
constexpr int32_t kRecoveryState = 6;
constexpr int32_t kFollowUpState = 21;

const ThinkRules kThink = {.control = {}, .hits = {.grabbedStates = {20, kNoState}}};
constexpr NearRule kNear = {.homeDistance = 25.0f, .lostTargetSeconds = 0.3f, .knockKeepsInputWhenLost = true};

constexpr int32_t kUntargetable[] = {20};

constexpr MeleeActRow kRow = {
    .aiType = kAiType,
    .fleesThrownItems = true,
    .grabTintState = 20,
    .hitStopStates = {11, 14},
    .hitStopWaitsForHolds = true,
    .downStates = {14, 16, 18},
    .downWhenEndedStates = {12, 13},
    .downHits = {{13, 726.0f}, {12, 3851.0f}},
    .downTimerStates = {14, kNoState},
    .getUpState = 15,
    .getUpSeconds = 2.0f,
    .holdsDelayedDamage = true,
    .knockClearState = 14,
    .shakeStates = {11, 12, 13},
    .knockFromStates = {5, 8, 10},
    .knockState = 30,
    .knockSeconds = 1.5f,
    .poisonInputStates = {4, 7},
    .dizzyState = 18,
    .dizzySound = 6300070,
    .turnStates = {3, 21, kNoState, kNoState},
    .hit = {.activeHeroesOnly = true, .chargeState = 8, .missKeepsFrom = 11},
    .straightState = kNoState,
    .sounds = kSounds1000,
    .dyingStates = {22, 23},
    .goneStates = {24, 25},
    .untargetableStates = kUntargetable,
    .bumpStates = {12, 13},
    .carryStates = {kNoState, kNoState, kNoState},
};

// A counter against a hero that attacks close by: from states 0 to 2 with
// no state chosen yet.
void CounterAttackingHero(AiObject *actor, int32_t *next)
{
    if (actor->target == nullptr || actor->state > 2 ||
        Unsigned(*next) <= Unsigned(TemplateDMembersOf(kAiType)->lastState) || !IsHero(actor->target)) {
        return;
    }
    const CSHero *hero = static_cast<const CSHero *>(actor->target);
    const float reach = 2.0f * ParamsOf(actor).attackRange;
    if (hero->attacking && !hero->state5 &&
        V3Distance(*actor->GetPositionPtr(), *actor->target->GetPositionPtr()) <= reach &&
        actor->stateRandom <= kCounterChance) {
        FeedInput(actor, next, kCounterInput);
    }
}

}  // namespace monster_1000

void CSMonster1000::Update(AiObject *actor, float dt)
{
    RunTemplateDUpdate(actor, dt, *TemplateDMembersOf(monster_1000::kAiType), {&Think, &Act});
}

void CSMonster1000::Think(AiObject *actor, int32_t *next, float dt)
{
    const TemplateDMembers &members = *TemplateDMembersOf(monster_1000::kAiType);
    RefreshTarget(actor);
    const float home = HomeDistance(actor);
    ThinkMessages(actor, next, monster_1000::kThink, [&](int32_t bits, int32_t *input) {
        *input = SenseNear(actor, bits, *input, home, monster_1000::kNear, dt);
        const float cosine = FacingCosine(actor, actor->target, 4.0f, true);
        const float halfAngle = CosHalfAngle(actor, members.halfAngleInRadians);
        if ((bits & kSenseAlarm) != 0 && actor->target != nullptr) {
            *input = kInputChase;
        }
        return SenseAttack(actor, bits, members.attackDelaySeconds, dt, input,
                           [&] { return cosine > halfAngle ? (actor->state == 2 ? 10 : kInputReady) : 3; });
    });
}

void CSMonster1000::Act(AiObject *actor, int32_t *next, float dt)
{
    const Goal goal = ApproachPhase(actor, next, dt, monster_1000::kRow);
    DamagePhase(actor, next, dt, monster_1000::kRow);
    monster_1000::CounterAttackingHero(actor, next);
    ConditionPhase(actor, next, dt, monster_1000::kRow);
    RecoveryRoll(actor, next, {monster_1000::kRecoveryState, 60, 80, monster_1000::kCounterInput, true});
    FollowUpWhenEnded(actor, next, monster_1000::kFollowUpState, kInputChargeHit);
    ActionPhase(actor, next, dt, monster_1000::kRow, nullptr);
    EndPhase(actor, next, dt, monster_1000::kRow, goal);
}
