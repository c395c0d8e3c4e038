// Monster type 1006 (see monster_1006.h): the template's steps in type
// 1000's order with its own states, the body streams of 1007, the appear
// tint, a recovery roll that never idles, facing its target outright in
// states 7 and 21, and the drop map rolled when it goes.
#include "monster/monster_1006.h"

#include "fx/mat_anim_manager.h"
#include "monster/monster_1000.h"
#include "monster/kit_messages.h"
#include "monster/kit_sensing.h"
#include "monster/melee_act.h"

using namespace monster;

namespace monster_1006 {

constexpr int32_t kAiType = 1006;
constexpr int32_t kMatAppearTint = 39;
constexpr int32_t kAlarmInput = 11;
constexpr int32_t kAlarmChance = 80;  // the state random below this
constexpr int32_t kFollowUpState = 21;
constexpr int32_t kFacingStates[] = {7, 21};
constexpr int32_t kDyingStates[] = {22, 23};
constexpr RecoveryRow kRecovery = {.state = 6, .idleUpTo = -1, .backUpTo = 60, .highInput = 19, .needsTarget = true};

void LetGoOwnEffects(AiObject *actor);
void ModelTaken(AiObject *actor);

const ThinkRules kThink = {.control = {.modelTaken = &ModelTaken},
                           .hits = {.grabbedStates = {20, kNoState}},
                           .letGoOwnEffects = &LetGoOwnEffects};

constexpr int32_t kUntargetable[] = {20};

constexpr MeleeActRow kRow = {
    .aiType = kAiType,
    .fleesThrownItems = true,
    .grabTintState = 20,
    .hitStopStates = {11, 14},
    .hitStopWaitsForHolds = false,
    .downStates = {14, 16, 18},
    .downWhenEndedStates = {12, 13},
    .downHits = {{13, 726.0f}, {12, 3855.0f}},
    .downTimerStates = {14, kNoState},
    .getUpState = 15,
    .getUpSeconds = 2.0f,
    .holdsDelayedDamage = true,
    .knockClearState = 15,
    .shakeStates = {11, 12, 13},
    .knockFromStates = {5, 8, 10},
    .knockState = 30,
    .knockSeconds = 1.2f,
    .poisonInputStates = {4, 7},
    .dizzyState = 18,
    .dizzySound = 6300070,
    .turnStates = {3, 21, kNoState, kNoState},
    .hit = {.activeHeroesOnly = true, .chargeState = 8, .missKeepsFrom = 11},
    .straightState = kNoState,
    .sounds = kSounds1000,  // its states sound as 1000's
    .dyingStates = {22, 23},
    .goneStates = {24, 25},
    .untargetableStates = kUntargetable,
    .bumpStates = {12, 13},
    .carryStates = {kNoState, kNoState, kNoState},
    .rollsDropMap = true,
};

CSMonster1006 *Self(AiObject *actor) { return static_cast<CSMonster1006 *>(actor); }

void LetGoOwnEffects(AiObject *actor)
{
    Self(actor)->StopAppearTint();
    ForgetBodyStreams(Self(actor)->Streams());
}

void ModelTaken(AiObject *actor) { Self(actor)->StartAppearTint(); }

// In states 7 and 21 the monster turns to its target at once.
void FaceTarget(AiObject *actor)
{
    if (actor->target == nullptr || !IsOneOf(actor->state, kFacingStates)) {
        return;
    }
    const RwV3d toward = V3Sub(*actor->target->GetPositionPtr(), *actor->GetPositionPtr());
    if (V3Length(toward) > 0.0f) {
        actor->SetDirection(V3Normalized(toward, actor->at));
    }
}

}  // namespace monster_1006

BodyStreamWords CSMonster1006::Streams() { return {&streamA, &streamB, &streamAStarted, &streamBStarted}; }

void CSMonster1006::StartAppearTint()
{
    if (appearTint) {
        return;
    }
    appearTint = true;
    if (CSMatAnimManager *anims = MatAnims()) {
        anims->Start(this, kMatAnimOwnerActor, monster_1006::kMatAppearTint, 0.0f, true);
    }
}

void CSMonster1006::StopAppearTint()
{
    if (!appearTint) {
        return;
    }
    appearTint = false;
    if (CSMatAnimManager *anims = MatAnims()) {
        anims->Stop(this);
    }
}

void CSMonster1006::RestartEffectsOf(AiObject *actor) { monster_1006::Self(actor)->RestartEffects(); }

void CSMonster1006::ReleaseOf(AiObject *actor)
{
    // The stage goes, and the frames the streams follow with it: they go
    // back to their pool at once rather than being forgotten.
    ReleaseBodyStreams(monster_1006::Self(actor)->Streams());
    actor->Release();
}

void CSMonster1006::RestartEffects() { RestartBodyStreams(this, Streams()); }

void CSMonster1006::Update(float dt) { RunTemplateDUpdateOf(this, dt); }

void CSMonster1006::Think(int32_t *next, float dt)
{
    const TemplateDMembers &members = *TemplateDMembersOf(monster_1006::kAiType);
    const float home = HomeDistance(this);
    ThinkMessages(this, next, monster_1006::kThink, [&](int32_t bits, int32_t *input) {
        if ((bits & kSenseNear) != 0) {
            RefreshTarget(this);
        }
        *input = SenseNear(this, bits, *input, home, {members.thinkHomeDistance, members.lostTargetSeconds}, dt);
        const float cosine = FacingCosine(this, target, 4.0f, true);
        const float halfAngle = CosHalfAngle(this, members.halfAngleInRadians);
        if ((bits & kSenseAlarm) != 0) {
            RefreshTarget(this);
            if (target != nullptr) {
                *input = stateRandom < monster_1006::kAlarmChance && cosine > halfAngle ? monster_1006::kAlarmInput
                                                                                        : kInputChase;
            }
        }
        if ((bits & kSenseAttack) != 0) {
            RefreshTarget(this);
        }
        return SenseAttack(this, bits, members.attackDelaySeconds, dt, input,
                           [&] { return cosine > halfAngle ? (state == 2 ? 10 : kInputReady) : 3; });
    });
}

void CSMonster1006::Act(int32_t *next, float dt)
{
    StartBodyStreams(this, Streams());
    const Goal goal = ApproachPhase(this, next, dt, monster_1006::kRow);
    DamagePhase(this, next, dt, monster_1006::kRow);
    ConditionPhase(this, next, dt, monster_1006::kRow);
    RecoveryRoll(this, next, monster_1006::kRecovery);
    FollowUpWhenEnded(this, next, monster_1006::kFollowUpState, kInputChargeHit);
    monster_1006::FaceTarget(this);
    ActionPhase(this, next, dt, monster_1006::kRow, nullptr);
    if (IsOneOf(state, monster_1006::kDyingStates)) {
        StopAppearTint();  // the death fade takes the model's look over
    }
    if (EndPhase(this, next, dt, monster_1006::kRow, goal)) {
        ForgetBodyStreams(Streams());
    }
    if (removed) {
        LetGoBodyStreams(Streams());  // gone: nothing of it may stay out
    }
}
