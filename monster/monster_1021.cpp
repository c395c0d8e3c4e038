// Monster type 1021 (see monster_1021.h): the template in 1006's form
// without body streams, shake, knock or delayed-damage hold; its own steps
// are the sparks of states 4 and 7, the grab that carries a hero, the
// guard, the counter from state 19, the charge's model effect, and a
// charge that carries heroes and the listed fighters.
#include "monster/monster_1021.h"

#include "actor/hero.h"
#include "fx/ge_manager.h"
#include "fx/particle_system.h"
#include "monster/kit_combat.h"
#include "monster/kit_condition.h"
#include "monster/kit_messages.h"
#include "monster/kit_sensing.h"
#include "monster/melee_act.h"

using namespace monster;

namespace monster_1021 {

constexpr int32_t kAiType = 1021;
constexpr const char *kSparks = "3010600.ZUS";
constexpr int32_t kSparkNode = 100140;
constexpr int32_t kSeizeState = 11;
constexpr int32_t kHoldingState = 13;
constexpr int32_t kReleaseStates[] = {14, 15};
constexpr HoldDistance kHoldAhead = {15.0f, 15.0f};
constexpr float kHoldSeconds = 3.0f;
constexpr int32_t kCounterState = 19;
constexpr float kCounterFrame = 1820.0f;
constexpr int32_t kCounterChance = 15;  // the state random below this
constexpr int32_t kCounterInput = 17;
constexpr int32_t kModelEffectState = 17;
constexpr int32_t kAlarmInput = 16;
constexpr GuardRule kGuard = {.state = 27, .seconds = 1.5f, .endInput = 18, .sound = 6300220, .clearsWhenLeft = true};

const ThinkRules kThink = {.control = {.showPutsOnGround = true},
                           .hits = {.heavyBreaksGuard = true,
                                    .noDamageStates = {27, kNoState},
                                    .grabbedStates = {26, kNoState},
                                    .releaseState = kHoldingState,
                                    .recordsLastHitter = true},
                           .letGoOwnEffects = nullptr};
constexpr NearRule kNear = {.homeDistance = 10.0f, .lostTargetSeconds = 1.0f, .heedsKnock = false};

constexpr StateSound kSounds[] = {
    {4, 6150010, 6300110},  {7, 6150010, 6300140},  {10, 6150010, 0},       {13, 6300270, 0},
    {14, 6150020, 0},       {16, 6150010, 6300040}, {17, 6300040, 0},       {19, 6300240, 0},
    {20, 6150020, 6300240}, {21, 6150020, 6300250}, {26, 6150020, 6300230}, {28, 6150030, 0},
};

// What its charge carries along: the heroes, the fighting character and
// the listed monster types.
bool Carried(const AiObject *other)
{
    const int32_t t = other->aiType;
    return IsHeroType(t) || t == 10 || (t >= 1000 && t <= 1003) || t == 1005 || t == 1006 ||
           (t >= 1008 && t <= 1015) || t == 1020 || t == 1021;
}

constexpr int32_t kUntargetable[] = {10, 11, 12, 13, 16, 17, 18, 26};

constexpr MeleeActRow kRow = {
    .aiType = kAiType,
    .fleesThrownItems = true,
    .grabTintState = 26,
    .hitStopStates = {19, 20},
    .hitStopWaitsForHolds = false,
    .downStates = {kNoState, kNoState, kNoState},
    .downWhenEndedStates = {20, 21},
    .downHits = {{21, 1556.0f}, {20, 7331.0f}},
    .downTimerStates = {20, 21},
    .getUpState = 22,
    .getUpSeconds = 3.0f,
    .holdsDelayedDamage = false,
    .knockClearState = kNoState,
    .shakeStates = {kNoState, kNoState, kNoState},
    .knockFromStates = {kNoState, kNoState, kNoState},
    .knockState = kNoState,
    .knockSeconds = 0.0f,
    .poisonInputStates = {kNoState, kNoState},
    .dizzyState = 24,
    .dizzySound = 6300070,
    .turnStates = {1, 3, 4, 27},
    .hit = {.activeHeroesOnly = true, .noHitState = kSeizeState},
    .straightState = kNoState,
    .sounds = kSounds,
    .dyingStates = {28, kNoState},
    .goneStates = {29, kNoState},
    .untargetableStates = kUntargetable,
    .bumpStates = {20, 21},
    .carryStates = {16, 17, 18},
    .pathTurnState = 23,
    .dizzySeconds = 2.0f,
    .rollsDropMap = false,
    .deathFade = {.matAnim = 36, .ownerKind = 31, .addedToMotion = 0.5f, .fixedSpeed = 0.0f, .looped = false},
    .dyingFeedsIdle = true,
    .carry = {.carried = &Carried, .needsModel = false, .needsTargetable = true},
    .carryAlsoMoves = true,
};

// Sparks on the weapon's tip, once per entry of the state.
void SparksOnEntry(AiObject *actor, int32_t state, bool *started)
{
    if (actor->state != state) {
        *started = false;
        return;
    }
    if (!*started) {
        *started = true;
        SparkOnFrame(actor, kSparks, kSparkNode, kFrameByTag, kKeptOnFrame, 1.0f, kAlongFrame, kPrtDrawAfterWorld,
                     kPrtFollowEmitter);
    }
}

}  // namespace monster_1021

void CSMonster1021::ReleaseOf(AiObject *actor)
{
    auto *self = static_cast<CSMonster1021 *>(actor);
    actor->Release();
    self->grabTarget = nullptr;
    self->grabTimer = 0.0f;
    self->guardTimer = 0.0f;
    self->sparkState4 = false;
    self->sparkState7 = false;
}

void CSMonster1021::Update(float dt) { RunTemplateDUpdateOf(this, dt); }

void CSMonster1021::Think(int32_t *next, float dt)
{
    const TemplateDMembers &members = *TemplateDMembersOf(monster_1021::kAiType);
    RefreshTarget(this);
    const float home = HomeDistance(this);
    ThinkMessages(this, next, monster_1021::kThink, [&](int32_t bits, int32_t *input) {
        const float cosine = FacingCosine(this, target, 1.5f, true);
        const float halfAngle = CosHalfAngle(this, members.halfAngleInRadians);
        *input = SenseNear(this, bits, *input, home, monster_1021::kNear, dt);
        if ((bits & kSenseAlarm) != 0 && target != nullptr) {
            *input = stateRandom < 50 && cosine > halfAngle ? monster_1021::kAlarmInput : kInputChase;
        }
        return SenseAttack(this, bits, members.attackDelaySeconds, dt, input, [&] {
            if (cosine <= halfAngle) {
                return 3;
            }
            return state == 2 ? (stateRandom <= 29 ? 10 : 11) : kInputReady;
        });
    });
}

void CSMonster1021::Act(int32_t *next, float dt)
{
    monster_1021::SparksOnEntry(this, 4, &sparkState4);
    monster_1021::SparksOnEntry(this, 7, &sparkState7);
    const Goal goal = ApproachPhase(this, next, dt, monster_1021::kRow);
    // The held hero goes where the monster goes, 15 units ahead, until the
    // hold ends after 3 s; the release states let it go.
    if (state == monster_1021::kHoldingState) {
        KeepHeroAhead(this, grabTarget, monster_1021::kHoldAhead);
        fullDetail = false;
        if (grabTimer > monster_1021::kHoldSeconds) {
            FeedInput(this, next, kInputHoldEnds);
        } else {
            grabTimer += dt;
        }
    }
    if (IsOneOf(state, monster_1021::kReleaseStates)) {
        ReleaseHero(this, &grabTarget);
        grabTimer = 0.0f;
        fullDetail = true;
    }
    DamagePhase(this, next, dt, monster_1021::kRow);
    ConditionPhase(this, next, dt, monster_1021::kRow);
    StepGuard(this, next, dt, &guardTimer, monster_1021::kGuard);
    if (state == monster_1021::kCounterState && stateRandom < monster_1021::kCounterChance &&
        MotionFrameOf(this) >= monster_1021::kCounterFrame) {
        FeedInput(this, next, monster_1021::kCounterInput);
    }
    if (state == monster_1021::kSeizeState && !SeizeHero(this, next, &grabTarget, monster_1021::kHoldAhead)) {
        FeedInput(this, next, kInputIdle);
    }
    ActionPhase(this, next, dt, monster_1021::kRow, nullptr);
    if (state == monster_1021::kModelEffectState) {
        CCGEManager *effects = Effects();
        if (!chargeEffectStarted && effects != nullptr && effects->modelPool != nullptr && Clump() != nullptr) {
            effects->modelPool->StartAt(RwFrameGetLTM(RpClumpGetFrame(Clump())));
        }
        chargeEffectStarted = true;
    } else {
        chargeEffectStarted = false;
    }
    if (hp < 1) {
        ReleaseHero(this, &grabTarget);  // a dying monster lets its hero go first
    }
    EndPhase(this, next, dt, monster_1021::kRow, goal);
    if (state == TemplateDMembersOf(monster_1021::kAiType)->holdState) {
        ReleaseHero(this, &grabTarget);
    }
}
