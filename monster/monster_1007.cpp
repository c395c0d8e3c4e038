// Monster type 1007 (see monster_1007.h).
#include "monster/monster_1007.h"

#include "actor/ai_message.h"
#include "actor/hero.h"
#include "fx/ge_manager.h"
#include "monster/kit_condition.h"
#include "monster/kit_messages.h"
#include "monster/kit_sensing.h"
#include "monster/kit_streams.h"
#include "monster/melee_act.h"
#include "stage/clump_anim_manager.h"

using namespace monster;

namespace monster_1007 {

constexpr int32_t kGuardState = 23;
constexpr GuardRule kGuard = {.state = kGuardState, .seconds = 1.5f, .endInput = 18, .sound = 6300210,
                              .clearsWhenLeft = false};
constexpr int32_t kChargeState = 11;
constexpr int32_t kCounterState = 14;
constexpr float kCounterFrame = 1620.0f;
constexpr int32_t kCounterInput = 17;
constexpr int32_t kAlarmInput = 16;

void ForgetStreamsOf(AiObject *actor);

const ThinkRules kThink = {.control = {},
                           .hits = {.heavyBreaksGuard = true,
                                    .guardingStopsKnockDown = true,
                                    .noDamageStates = {kGuardState, kNoState},
                                    .grabbedStates = {21, kNoState}},
                           .letGoOwnEffects = &ForgetStreamsOf};

constexpr StateSound kSounds[] = {
    {1, 6110050, 0},       {4, 6110020, 0},       {7, 6110020, 0},       {11, 6300040, 0},
    {12, 6300040, 0},      {14, 6300240, 0},      {15, 6110030, 6300240}, {16, 6110030, 6300250},
    {21, 6110030, 6300230}, {22, 6110010, 0},     {24, 6110040, 0},
};

constexpr int32_t kUntargetable[] = {21};

constexpr MeleeActRow kRow = {
    .aiType = 1007,
    .fleesThrownItems = true,
    .grabTintState = 21,
    .hitStopStates = {14, kNoState},
    .hitStopWaitsForHolds = false,
    .downStates = {kNoState, kNoState, kNoState},
    .downWhenEndedStates = {kNoState, kNoState},
    .downHits = {{kNoState, 0.0f}, {kNoState, 0.0f}},
    .downTimerStates = {kNoState, kNoState},
    .getUpState = kNoState,
    .getUpSeconds = 0.0f,
    .holdsDelayedDamage = true,
    .knockClearState = 17,
    .shakeStates = {14, 15, 16},
    .knockFromStates = {5, 8, kNoState},
    .knockState = 28,
    .knockSeconds = 1.0f,
    .poisonInputStates = {kNoState, kNoState},
    .dizzyState = 19,
    .dizzySound = 6300070,
    .turnStates = {3, 22, 23, kNoState},
    .hit = {.activeHeroesOnly = true, .grabConeState = 5, .chargeState = 8, .missKeepsFrom = 14},
    .straightState = 8,
    .sounds = kSounds,
    .dyingStates = {24, kNoState},
    .goneStates = {25, kNoState},
    .untargetableStates = kUntargetable,
    .bumpStates = {15, 16},
    .carryStates = {11, 12, 13},
};

CSMonster1007 *Self(AiObject *actor) { return static_cast<CSMonster1007 *>(actor); }

void ForgetStreamsOf(AiObject *actor) { Self(actor)->ForgetHandStreams(); }

}  // namespace monster_1007

void CSMonster1007::RestartEffectsOf(AiObject *actor) { monster_1007::Self(actor)->RestartEffects(); }

void CSMonster1007::ReleaseOf(AiObject *actor)
{
    ReleaseBodyStreams(monster_1007::Self(actor)->Streams());
    actor->Release();
}

void CSMonster1007::Update(float dt) { RunTemplateDUpdateOf(this, dt); }

BodyStreamWords CSMonster1007::Streams() { return {&streamA, &streamB, &streamAStarted, &streamBStarted}; }

void CSMonster1007::LetGoHandStreams() { LetGoBodyStreams(Streams()); }

void CSMonster1007::ForgetHandStreams() { ForgetBodyStreams(Streams()); }

void CSMonster1007::RestartEffects() { RestartBodyStreams(this, Streams()); }

void CSMonster1007::Think(int32_t *next, float dt)
{
    const TemplateDMembers &members = *TemplateDMembersOf(1007);
    RefreshTarget(this);
    const float home = HomeDistance(this);
    ThinkMessages(this, next, monster_1007::kThink, [&](int32_t bits, int32_t *input) {
        *input = SenseNear(this, bits, *input, home, {members.thinkHomeDistance, members.lostTargetSeconds}, dt);
        const float cosine = FacingCosine(this, target, 4.0f, true);
        const float halfAngle = CosHalfAngle(this, members.halfAngleInRadians);
        if ((bits & kSenseAlarm) != 0 && target != nullptr) {
            *input = stateRandom < 50 && cosine > halfAngle ? monster_1007::kAlarmInput : kInputChase;
        }
        return SenseAttack(this, bits, members.attackDelaySeconds, dt, input,
                           [&] { return cosine > halfAngle ? (state == 2 ? 10 : kInputReady) : 3; });
    });
}

void CSMonster1007::Act(int32_t *next, float dt)
{
    StartBodyStreams(this, Streams());
    const Goal goal = ApproachPhase(this, next, dt, monster_1007::kRow);
    if (state == monster_1007::kChargeState) {
        CCGEManager *effects = Effects();
        if (!chargeEffectStarted && effects != nullptr && effects->charge3206400 != nullptr) {
            effects->charge3206400->Start(this);
        }
        chargeEffectStarted = true;
    } else {
        chargeEffectStarted = false;
    }
    DamagePhase(this, next, dt, monster_1007::kRow);
    // The counter from the hurt state 14.
    if (state == monster_1007::kCounterState && !knock && !grabLock && !thrown && target != nullptr &&
        stateRandom < 15) {
        CSClumpAnimManager *animations = AnimationsOf(this);
        const bool reached = animations != nullptr && Clump() != nullptr &&
                             animations->HasReachedFrame(Clump(), monster_1007::kCounterFrame);
        if (reached && !(IsHero(target) && static_cast<CSHero *>(target)->state5)) {
            FeedInput(this, next, monster_1007::kCounterInput);
        }
    }
    // The guard: a guard break ends it at once, else it lasts 1.5 s.
    StepGuard(this, next, dt, &guardTimer, monster_1007::kGuard);
    ConditionPhase(this, next, dt, monster_1007::kRow);
    ActionPhase(this, next, dt, monster_1007::kRow, nullptr);
    if (EndPhase(this, next, dt, monster_1007::kRow, goal)) {
        ForgetHandStreams();
    }
    if (removed) {
        LetGoHandStreams();  // gone: nothing of it may stay out
    }
}
