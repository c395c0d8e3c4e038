// Boss 1103 (see boss_1103.h).
#include "boss/boss_1103.h"

#include "actor/fsf.h"
#include "actor/hero.h"
#include "boss/boss_patterns.h"
#include "fx/ge_manager.h"
#include "monster/kit_condition.h"
#include "monster/kit_motion.h"
#include "monster/kit_sensing.h"
#include "stage/stage_manager.h"

using namespace boss;
using monster::kInputChase;
using monster::kInputIdle;

namespace boss_1103 {

constexpr int32_t kInputClose = 5;
constexpr int32_t kInputApproach = 2;
constexpr int32_t kInputOutOfCone = 3;
constexpr int32_t kInputChained = 4;
constexpr int32_t kInputAttack = 10;
constexpr int32_t kInputStrong = 11;
constexpr int32_t kIdleState = 0;
constexpr int32_t kApproachStates[] = {2, 3};
constexpr int32_t kApproachState = 3;
constexpr float kApproachSeconds = 0.3f;
constexpr int32_t kCounterState = 10;
constexpr int32_t kChainState = 11;
constexpr int32_t kSnapState = 12;
constexpr int32_t kTurnStates[] = {4, 28};
constexpr int32_t kShotState = 20;
constexpr int32_t kBlastState = 21;
constexpr int32_t kStanceState = 22;
constexpr int32_t kExcludedStates[] = {31, 32};
// The hero's hold: state 3 lets go of the held flag, 23 and 24 shake, the
// blows 7, 9, 10, 15 and 17 are left with 30, 33 is the get-up.
constexpr HeroHoldStates kHold = {
    .letGoState = 3, .shakeStates = {23, 24}, .leaveStates = {7, 9, 10, 15, 17}, .getUpState = 33};
constexpr int32_t kSilentState = 26;
constexpr int32_t kSilencedSound = 6300070;
constexpr int32_t kGuardSound = 6300210;
constexpr const char *kFlame = "3010600.zus";
constexpr int32_t kWeapon = 100140;
constexpr float kFlame18Frame = 1414.0f;
constexpr float kShotFrame = 2935.0f;
constexpr int32_t kShotHands[] = {100040, 100020};
constexpr int32_t kShotMode = 1;
constexpr float kBlastFrame = 2180.0f;
constexpr int32_t kAnimSlowed = 6;  // x0.9
constexpr float kTimeSinceHurtMost = 5.0f;

// Hits: a hero's grab (1024) seizes it; in the grab fights 25 and 27 a
// blow while held (4096) hurts, in 27 the hero's let-go (2048) frees it;
// the hero's release (512) in state 15 gives 15.
const monster::HitRules kHits = [] {
    monster::HitRules rules = BossHitRules(CSBoss1103::kTraits);
    rules.takesGrabs = true;
    rules.grabbedStates[0] = 25;
    rules.grabbedStates[1] = 27;
    rules.releaseState = 15;
    rules.releaseInput = 15;
    return rules;
}();
constexpr int32_t kGrabEndOnlyIn = 27;

CSBoss1103 *Self(AiObject *actor) { return static_cast<CSBoss1103 *>(actor); }

// A blow of state 10 on an unguarded hero lands.
void NoteBlow(AiObject *actor, const monster::FreshHit &hit)
{
    monster::ShowBlowOnHero(actor, hit);
    if (actor->state == kCounterState && !hit.hero->guarding) {
        Self(actor)->CounterLanded = true;
    }
}

RwV3d Facing(AiObject *boss)
{
    RwV3d facing;
    boss->GetDirection(&facing);
    return facing;
}

}  // namespace boss_1103

bool HitTimerSwitchOn() { return g_pStageManager != nullptr && g_pStageManager->hitTimerSwitch != 0; }

void CSBoss1103::Update(float dt) { RunBossUpdate(this, dt); }

void CSBoss1103::SetState(CFSF *fsf, int32_t state) { EnterBossState(this, fsf, state, kTraits); }

void CSBoss1103::BeforeThink() { ExcludeInStates(this, boss_1103::kExcludedStates); }

void CSBoss1103::Think(int32_t *next, float dt)
{
    monster::RefreshTarget(this);
    RunBossMessages(
        this, next, kTraits, {.holdClearsHeld = true},
        [&](const MSGData &m, int32_t input) {
            MSGData hit = m;
            if (state != boss_1103::kGrabEndOnlyIn) {
                hit.word[1] &= ~kAtkGrabEnd;
            }
            return monster::ClassifyHit(this, hit, input, boss_1103::kHits);
        },
        [&](int32_t bits, int32_t *input) { return Sense(bits, input, dt); });
}

bool CSBoss1103::Sense(int32_t bits, int32_t *input, float dt)
{
    const bool home = monster::HomeDistance(this) <= kBossHomeDistance;
    const bool approaching = monster::IsOneOf(state, boss_1103::kApproachStates);
    // The input that closes in: 5 from idle, 1 while approaching, else by
    // the state random.
    auto closeIn = [&](int32_t otherwise) {
        return state == boss_1103::kIdleState ? boss_1103::kInputClose : (approaching ? kInputChase : otherwise);
    };
    if ((bits & kSenseNear) != 0) {
        lostTargetTimer = 0.0f;
        if (target != nullptr) {
            *input = closeIn(stateRandom >= 50 ? boss_1103::kInputClose : kInputChase);
        } else if (!home) {
            *input = closeIn(boss_1103::kInputClose);
        } else if (!heldByHero) {
            *input = kInputIdle;
        }
    } else if (lostTargetTimer < kBossLostTargetSeconds && !heldByHero) {
        *input = kInputIdle;
        lostTargetTimer += dt;
    } else {
        target = nullptr;
        *input = home && !heldByHero ? kInputIdle : (approaching ? kInputChase : boss_1103::kInputClose);
    }
    if ((bits & kSenseAlarm) != 0 && target != nullptr) {
        *input = closeIn(stateRandom >= 50 ? boss_1103::kInputStrong : kInputChase);
    }
    if ((bits & kSenseAttack) == 0) {
        return true;
    }
    if (target == nullptr) {
        return false;
    }
    // The approach timer is never reset: only the boss's first 0.3 s of
    // approach wait.
    if (state == boss_1103::kApproachState && attackDelayTimer < boss_1103::kApproachSeconds) {
        *input = boss_1103::kInputApproach;
        attackDelayTimer += dt;
    } else if (TargetCosineFromBehind(this) <= monster::CosHalfAngle(this, false)) {
        *input = boss_1103::kInputOutOfCone;
    } else {
        *input =
            state == boss_1103::kApproachState && stateRandom < 50 ? boss_1103::kInputStrong : boss_1103::kInputAttack;
    }
    return true;
}

void CSBoss1103::StepAttacks(int32_t *next)
{
    CCGEManager *effects = monster::Effects();
    if (FirstInVisit(this, 12, &Flame12Done, model != nullptr)) {
        StartOnFrame(this, boss_1103::kFlame, boss_1103::kWeapon, false);
    }
    if (FirstInVisit(this, 21, &Flame21Done, model != nullptr)) {
        StartOnFrame(this, boss_1103::kFlame, boss_1103::kWeapon, false);
    }
    if (FirstInVisit(this, 18, &Flame18Done, model != nullptr && ClockFrame(this) > boss_1103::kFlame18Frame)) {
        StartOnFrame(this, boss_1103::kFlame, boss_1103::kWeapon, false);
    }
    // The double shot, from both hands along the facing.
    if (FirstInVisit(this, boss_1103::kShotState, &ShotDone, ClockFrame(this) >= boss_1103::kShotFrame)) {
        if (effects != nullptr && effects->bigShot3209000 != nullptr) {
            const RwV3d facing = boss_1103::Facing(this);
            for (int32_t hand : boss_1103::kShotHands) {
                const RwV3d from = UserFramePosition(this, hand);
                effects->bigShot3209000->Start(from, V3Add(from, facing), boss_1103::kShotMode);
            }
        }
    }
    // Rage: below each threshold once, when free to, into the blast 21.
    const bool free = *next == -1 && !Held() && target != nullptr && !TargetInGrabMove(this);
    StepHpPhases(this, next, kTraits, RageDone, free);
    // The blast: slowed and held still until frame 2180, then the shockwave.
    if (state == boss_1103::kBlastState) {
        if (ClockFrame(this) < boss_1103::kBlastFrame) {
            hitStopPending = true;
            animSpeedMode = boss_1103::kAnimSlowed;
        } else if (!BlastDone) {
            if (effects != nullptr && effects->shockwave != nullptr) {
                effects->shockwave->Start(*GetPositionPtr());
            }
            hitStopPending = false;
            animSpeedMode = kAnimNormal;
            BlastDone = true;
        }
    } else {
        BlastDone = false;
    }
}

void CSBoss1103::Act(int32_t *next, float dt)
{
    const bool switchOn = HitTimerSwitchOn();
    if (switchOn && timeSinceHurt < boss_1103::kTimeSinceHurtMost) {
        timeSinceHurt += dt;
    }
    // The move point: the foe, else home.
    BossGoal goal = StepGoal(this, {});
    StepAttacks(next);
    // Facing: state 12 faces a foe outside its cone at once; 4 and 28 turn.
    if (state == boss_1103::kSnapState && target != nullptr &&
        TargetCosineFromBehind(this) <= monster::CosHalfAngle(this, false)) {
        const RwV3d toward = monster::Flat(V3Sub(*target->GetPositionPtr(), *GetPositionPtr()));
        SetDirection(V3Normalized(toward, toward));  // a zero direction leaves the facing
    }
    if (monster::IsOneOf(state, boss_1103::kTurnStates)) {
        TurnTowardFoe(this, dt);
    }
    monster::TakeDamage(this, state == kTraits.recoveryState && !heldByHero && !thrown, switchOn);
    CountHurtWindow(this, dt, &HurtWindow, &HurtableFrames);
    StepHeroHits(this, next, kTraits, &boss_1103::NoteBlow);
    if (state == boss_1103::kChainState && CounterLanded && animEnded) {
        monster::FeedInput(this, next, boss_1103::kInputChained);
        CounterLanded = false;
    }
    // The guard stance 22: peeks back (17) and escapes (108) when pressed.
    const bool foeFree = target != nullptr && !TargetInGrabMove(this);
    StepRecovery(this, next, dt, kTraits, &GuardPeekTimer, !Held(), foeFree);
    if (state == kTraits.recoveryState && !Held()) {
        StepHurtEscape(this, next, &HurtWindow, &HurtableFrames, foeFree);
    }
    guarding = StepGuardState(this, next, dt, kTraits, &GuardTimer, true);
    StepHeroHold(this, next, dt, boss_1103::kHold);
    // Burning restarts the hit timer only while the switch is on.
    const float sinceHurt = timeSinceHurt;
    StepStatus(this, dt);
    if (!switchOn) {
        timeSinceHurt = sinceHurt;
    }
    if (state == kTraits.holdState) {
        LetGoOfHeld(this, &GrabbedHero);
    }
    StepHoldAndEntrySound(this, kTraits, kSounds);
    if (state == kTraits.guardState && HitWithoutGuardBreak(this)) {
        monster::PlaySound(boss_1103::kGuardSound);
    }
    if (state == boss_1103::kSilentState && stateEntered) {
        monster::StopSound(boss_1103::kSilencedSound);
    }
    if (state != boss_1103::kBlastState && !heldByHero && !thrown) {
        monster::StepHitStop(this, dt);
    }
    if (hp < 1) {
        LetGoOfHeld(this, &GrabbedHero);
    }
    StepBossDeath(this, next);
    StepBossEnd(this, kTraits);
    StepGlow(this, switchOn, &RageGlowOn);
    StepFlags(this, kTraits, dt);
    // The move: skipped while thrown or standing still; it turns to its
    // move while walking and approaching.
    const float step = monster::StepSpeed(this, dt);
    if (!thrown && step != 0.0f && !busy && !removed && !eventHeld) {
        const bool walking = state == 1 || state == 2;
        MoveToward(goal.distance, goal.point, step, walking || state == boss_1103::kApproachState, walking);
    }
    StepHandOver(this);
}
