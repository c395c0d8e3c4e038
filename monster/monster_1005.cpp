// Monster type 1005 (see monster_1000.h): the template without a flee,
// delayed-damage hold, shake, knock, guard, grab cone or charge carry; it
// never draws a state random, picks its attacks by the state it stands
// in, throws sparks when it lands flying down, and shows each fresh blow
// on a hero (blood and sparks, or the hero's guard sparks).
#include "monster/monster_1000.h"

#include "actor/hero.h"
#include "fx/particle_system.h"
#include "monster/kit_condition.h"
#include "monster/kit_messages.h"
#include "monster/kit_sensing.h"
#include "monster/melee_act.h"
#include "stage/stage_manager.h"

using namespace monster;

namespace monster_1005 {

constexpr int32_t kAiType = 1005;
constexpr int32_t kRecoveryState = 7;
constexpr int32_t kRecoveryHighInput = 19;
constexpr int32_t kFollowUpState = 22;
constexpr int32_t kAlarmReadyState = 2;
constexpr int32_t kApproachState = 4;  // bit 2 with a target: 4 from 0, 0 from 4

// Landing from a flight: sparks on the body node once the motion passes a frame.
constexpr DownHitRow kLandingSparks[] = {{14, 1556.0f}, {13, 7331.0f}};
constexpr int32_t kLandingNode = 100100;
constexpr const char *kLandingSparkA = "3218100.zus";
constexpr const char *kLandingSparkB = "3218101.zus";

const ThinkRules kThink = {.control = {.showHoldClearsKnock = false}, .hits = {.grabbedStates = {21, kNoState}}};

constexpr StateSound kSounds[] = {
    {1, 6110050, 0},        {5, 6110020, 0},        {8, 6110020, 0},  {12, 6300240, 0},
    {13, 6110030, 6300240}, {17, 6110030, 6300240}, {14, 6110030, 6300250}, {21, 6110030, 6300230},
    {22, 6110010, 0},       {23, 6110040, 0},       {24, 6110040, 0},
};

constexpr int32_t kUntargetable[] = {21};

constexpr MeleeActRow kRow = {
    .aiType = kAiType,
    .fleesThrownItems = false,
    .grabTintState = 21,
    .hitStopStates = {12, 15},
    .hitStopWaitsForHolds = false,
    .downStates = {15, 17, 19},
    .downWhenEndedStates = {13, 14},
    .downHits = {{kNoState, 0.0f}, {kNoState, 0.0f}},
    .downTimerStates = {15, kNoState},
    .getUpState = 16,
    .getUpSeconds = 2.0f,
    .holdsDelayedDamage = false,
    .knockClearState = kNoState,
    .shakeStates = {kNoState, kNoState, kNoState},
    .knockFromStates = {kNoState, kNoState, kNoState},
    .knockState = kNoState,
    .knockSeconds = 0.0f,
    .poisonInputStates = {kNoState, kNoState},
    .dizzyState = 19,
    .dizzySound = 6300070,
    .turnStates = {3, 22, kNoState, kNoState},
    .hit = {.activeHeroesOnly = true, .chargeState = 9, .missAlwaysFeeds = true},
    .straightState = 8,
    .sounds = kSounds,
    .dyingStates = {23, 24},
    .goneStates = {25, 26},
    .untargetableStates = kUntargetable,
    .bumpStates = {13, 14},
    .carryStates = {kNoState, kNoState, kNoState},
};

void LandingSparks(AiObject *actor)
{
    for (const DownHitRow &landing : kLandingSparks) {
        if (actor->state == landing.state && !actor->downHitDone && MotionFrameOf(actor) > landing.frame) {
            actor->downHitDone = true;
            SparkOnFrame(actor, kLandingSparkA, kLandingNode, kFrameByUserId, kLeftWherePut, 1.0f, kAlongFrame,
                         kPrtDrawAfterWorld, kPrtStayWhereEmitted);
            SparkOnFrame(actor, kLandingSparkB, kLandingNode, kFrameByUserId, kLeftWherePut, 1.0f, kAlongFrame,
                         kPrtDrawAfterWorld, kPrtStayWhereEmitted);
            actor->hitStopPending = true;
        }
    }
}

// Without a target the home rule: 0 at home (the foes noticed again), else
// 2 from the idle state and 1 from the others.
int32_t HomeRule(AiObject *actor, float home)
{
    if (home <= 10.0f) {
        actor->ignoreFoes = false;
        return kInputIdle;
    }
    return actor->state == 0 ? kInputReady : kInputChase;
}

}  // namespace monster_1005

void CSMonster1005::Update(AiObject *actor, float dt)
{
    RunTemplateDUpdate(actor, dt, *TemplateDMembersOf(monster_1005::kAiType), {&Think, &Act});
}

void CSMonster1005::Think(AiObject *actor, int32_t *next, float dt)
{
    const TemplateDMembers &members = *TemplateDMembersOf(monster_1005::kAiType);
    const float home = HomeDistance(actor);
    ThinkMessages(actor, next, monster_1005::kThink, [&](int32_t bits, int32_t *input) {
        if ((bits & kSenseNear) != 0) {
            RefreshTarget(actor);
            actor->lostTargetTimer = 0.0f;
            if (actor->target != nullptr) {
                *input = actor->state == 0 ? monster_1005::kApproachState
                                           : (actor->state == monster_1005::kApproachState ? kInputIdle : kInputChase);
            } else {
                *input = monster_1005::HomeRule(actor, home);
            }
        } else if (HoldLostTarget(actor, members.lostTargetSeconds, dt, false)) {
            *input = kInputIdle;
        } else {
            actor->target = nullptr;
            *input = monster_1005::HomeRule(actor, home);
        }
        const float cosine = FacingCosine(actor, actor->target, 1.0f, false);
        if ((bits & kSenseAlarm) != 0) {
            RefreshTarget(actor);
            if (actor->target != nullptr) {
                *input = actor->state == monster_1005::kAlarmReadyState ? (actor->stateRandom < 50 ? 11 : kInputChase)
                                                                        : kInputReady;
            }
        }
        if ((bits & kSenseAttack) != 0) {
            RefreshTarget(actor);
        }
        return SenseAttack(actor, bits, members.attackDelaySeconds, dt, input, [&] {
            return cosine > CosHalfAngle(actor, members.halfAngleInRadians) ? 10 : kInputChase;
        });
    });
}

void CSMonster1005::Act(AiObject *actor, int32_t *next, float dt)
{
    const Goal goal = ApproachPhase(actor, next, dt, monster_1005::kRow);
    DamagePhase(actor, next, dt, monster_1005::kRow);
    monster_1005::LandingSparks(actor);
    ConditionPhase(actor, next, dt, monster_1005::kRow);
    RecoveryRoll(actor, next, {monster_1005::kRecoveryState, 60, 80, monster_1005::kRecoveryHighInput, false});
    FollowUpWhenEnded(actor, next, monster_1005::kFollowUpState, kInputChargeHit);
    ActionPhase(actor, next, dt, monster_1005::kRow, &ShowBlowOnHero);
    EndPhase(actor, next, dt, monster_1005::kRow, goal);
}
