// Boss 1101 (see boss_1101.h).
#include "boss/boss_1101.h"

#include <cmath>

#include "actor/fsf.h"
#include "actor/hero.h"
#include "boss/boss_patterns.h"
#include "fx/ge_manager.h"
#include "fx/mat_anim_manager.h"
#include "monster/kit_motion.h"
#include "monster/kit_sensing.h"
#include "stage/character_params.h"
#include "stage/stage_manager.h"
#include "stage/world_queries.h"

using namespace boss;

namespace boss_1101 {

constexpr int32_t kInputWalk = 1;
constexpr int32_t kInputApproach = 2;
constexpr int32_t kInputOutOfCone = 3;
constexpr int32_t kInputChained = 4;
constexpr int32_t kInputAttack = 10;
constexpr int32_t kInputCharge = 11;
constexpr int32_t kInputAlarm = 21;
constexpr int32_t kInputChargeEnd = 22;
constexpr int32_t kInputLetGo = 106;
constexpr int32_t kApproachState = 2;
constexpr float kApproachSeconds = 0.3f;
constexpr int32_t kBlowState = 10;
constexpr int32_t kChainState = 11;
constexpr int32_t kChargeState = 13;
constexpr int32_t kShotState = 19;
constexpr int32_t kGrabbableState = 23;
constexpr int32_t kGrabEndState = 24;
constexpr int32_t kHeldState = 25;
constexpr int32_t kExcludedStates[] = {30, 31};
constexpr int32_t kTurnStates[] = {5, 12};
constexpr float kGrabbableSeconds = 2.0f;
constexpr float kChargeSeconds = 5.0f;
constexpr float kTimeSinceHurtMost = 5.0f;
constexpr int32_t kGuardSound = 6300210;
constexpr const char *kEffect = "3010600.zus";
constexpr float kShotFrame = 2543.0f;
constexpr int32_t kShotMode = 3;
// The charge: the world test's reach beyond the body, and the breakable
// object it passes through (type 10019), tested as a standing cylinder of
// radius 5.17 and height 11.597 on the object's frame against the boss's
// sphere grown by 5.0.
constexpr float kChargeWallReach = 2.5f;
constexpr int32_t kPassThroughType = 10019;
constexpr float kPassThroughReach = 5.0f;
constexpr float kPassThroughRadius = 5.17f;
constexpr float kPassThroughHeight = 11.597f;

const monster::HitRules kHits = [] {
    monster::HitRules rules = BossHitRules(CSBoss1101::kTraits);
    rules.takesGrabs = true;
    rules.grabbedStates[0] = kHeldState;
    rules.releaseState = 15;
    rules.releaseInput = 14;
    return rules;
}();
// In the held state a status-16 hit (65536) does not count.
const monster::HitRules kHeldHits = [] {
    monster::HitRules rules = kHits;
    rules.countedBits &= ~kAtkStatus16;
    return rules;
}();

CSBoss1101 *Self(AiObject *actor) { return static_cast<CSBoss1101 *>(actor); }

// A blow of state 10 on an unguarded hero lands.
void NoteBlow(AiObject *actor, const monster::FreshHit &hit)
{
    monster::ShowBlowOnHero(actor, hit);
    if (actor->state == kBlowState && !hit.hero->guarding) {
        Self(actor)->landed = true;
    }
}

// Once per entry of `state` with a model, "3010600.zus" on the frames.
void EffectOnce(AiObject *boss, int32_t state, bool *done, std::initializer_list<std::pair<int32_t, bool>> frames)
{
    if (!FirstInVisit(boss, state, done, boss->model != nullptr)) {
        return;
    }
    for (const auto &[frame, attached] : frames) {
        StartOnFrame(boss, kEffect, frame, attached);
    }
}

// Whether the sphere moving by `move` from `from` touches the standing
// cylinder of the pass-through object.
bool SweepTouchesCylinder(const RwV3d &from, const RwV3d &move, float radius, const RwV3d &base)
{
    if (from.y + radius < base.y || from.y - radius > base.y + kPassThroughHeight) {
        return false;
    }
    const float mx = move.x;
    const float mz = move.z;
    const float length2 = mx * mx + mz * mz;
    float t = 0.0f;
    if (length2 > 0.0f) {
        t = ((base.x - from.x) * mx + (base.z - from.z) * mz) / length2;
        t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    }
    const float dx = from.x + mx * t - base.x;
    const float dz = from.z + mz * t - base.z;
    const float reach = radius + kPassThroughRadius;
    return dx * dx + dz * dz <= reach * reach;
}

}  // namespace boss_1101

void CSBoss1101::Update(float dt) { RunBossUpdate(this, dt); }

void CSBoss1101::SetState(CFSF *fsf, int32_t state) { EnterBossState(this, fsf, state, kTraits); }

void CSBoss1101::BeforeThink() { ExcludeInStates(this, boss_1101::kExcludedStates); }

void CSBoss1101::Think(int32_t *next, float dt)
{
    RunBossMessages(
        this, next, kTraits, {},
        [&](const MSGData &m, int32_t input) {
            return monster::ClassifyHit(this, m, input,
                                        state == boss_1101::kHeldState ? boss_1101::kHeldHits : boss_1101::kHits);
        },
        [&](int32_t bits, int32_t *input) {
            const int32_t base = SenseKeptTarget(this, bits, *input, boss_1101::kInputWalk, dt, false);
            *input = base;
            if (SenseAlarmRemembering(this, bits, stateRandom < 50 ? boss_1101::kInputWalk : boss_1101::kInputAlarm,
                                      boss_1101::kShotState, &rememberedPoint, input) &&
                attackDelayTimer >= boss_1101::kApproachSeconds && state == boss_1101::kApproachState &&
                TargetInAttackCone(this)) {
                *input = boss_1101::kInputAlarm;
            }
            if (!SenseAttackInRange(this, bits, &inRange)) {
                return false;
            }
            if (inRange) {
                // The approach timer is never reset: only the boss's first
                // 0.3 s of approach wait.
                if (state == boss_1101::kApproachState && attackDelayTimer < boss_1101::kApproachSeconds) {
                    attackDelayTimer += dt;
                    *input = boss_1101::kInputApproach;
                } else if (TargetInAttackCone(this)) {
                    *input = state == boss_1101::kApproachState ? boss_1101::kInputCharge : boss_1101::kInputAttack;
                } else {
                    *input = boss_1101::kInputOutOfCone;
                }
            }
            return true;
        });
}

void CSBoss1101::ReleaseHeldCharacter() { LetGoOfHeld(this, &heldCharacter); }

void CSBoss1101::StepCharge(int32_t *next, float dt)
{
    if (state != boss_1101::kChargeState) {
        chargeTimer = 0.0f;
        return;
    }
    CFSF *fsf = Fsf();
    const CharacterParams &params = monster::ParamsOf(this);
    RwV3d facing;
    GetDirection(&facing);
    const RwV3d direction = V3Normalized(monster::Flat(facing), {0.0f, 0.0f, 0.0f});
    if (fsf != nullptr) {
        speed += fsf->GetAcceleration(state) * dt;
    }
    const RwV3d from = *GetPositionPtr();
    const RwV3d step = V3Scale(direction, speed * dt);
    RwV3d clipped = step;
    const bool wall = ClipStepAgainstWorld(this, params.radius + boss_1101::kChargeWallReach, &clipped);
    const int32_t bits = fsf != nullptr ? fsf->GetAttackAttribute(state) : 0;
    const int32_t damage = fsf != nullptr ? monster::AttackDamage(this, fsf) : 0;
    bool touched = false;
    RwV3d pushOut = {0.0f, 0.0f, 0.0f};
    for (AiObject *other = monster::FirstActor(); other != nullptr && !touched; other = other->next) {
        if (other == this || other->busy || other->model == nullptr) {
            continue;
        }
        if (other->aiType == boss_1101::kPassThroughType) {
            if (boss_1101::SweepTouchesCylinder(from, step, params.radius + boss_1101::kPassThroughReach,
                                                *other->GetPositionPtr())) {
                monster::PostHeroHit(this, other, bits, damage);
            }
            continue;
        }
        if (SphereOverlapPushOut(from, params.radius, *other->GetPositionPtr(), monster::ParamsOf(other).radius,
                                 &pushOut) != 0) {
            monster::PostHeroHit(this, other, bits, damage);
            touched = true;
        }
    }
    if (speed == 0.0f) {
        return;
    }
    if (wall) {
        SetPosition(V3Add(from, clipped));
        monster::FeedInput(this, next, boss_1101::kInputChargeEnd);
        chargeTimer = 0.0f;
    } else if (touched) {
        SetPosition(V3Add(from, pushOut));
        monster::FeedInput(this, next, boss_1101::kInputCharge);
        chargeTimer = 0.0f;
    } else {
        SetPosition(V3Add(from, step));
        chargeTimer += dt;
        if (chargeTimer >= boss_1101::kChargeSeconds) {
            monster::FeedInput(this, next, boss_1101::kInputChargeEnd);
            chargeTimer = 0.0f;
        }
    }
}

void CSBoss1101::Act(int32_t *next, float dt)
{
    const bool onStage41 = g_pStageManager != nullptr && g_pStageManager->stage41 != 0;
    // The goal: straight at the target while in range, even on a path.
    const BossWay way = StepWaypoint(this, dt);
    BossWay toward = way;
    if (target != nullptr && inRange) {
        toward.point = *target->GetPositionPtr();
    }
    BossGoal goal = StepGoal(this, toward);
    if (onStage41 && timeSinceHurt < boss_1101::kTimeSinceHurtMost) {
        timeSinceHurt += dt;
    }
    boss_1101::EffectOnce(this, 6, &effect6, {{100140, false}});
    boss_1101::EffectOnce(this, 9, &effect9, {{100130, false}});
    for (auto [s, done] : {std::pair{12, &effect12}, std::pair{13, &effect13}, std::pair{16, &effect16}}) {
        boss_1101::EffectOnce(this, s, done, {{100060, true}, {100080, true}, {100130, false}, {100140, false}});
    }
    // Four big shots from state 19, once per visit.
    if (state == boss_1101::kShotState) {
        CCGEManager *effects = monster::Effects();
        if (!state19Effect && ClockFrame(this) >= boss_1101::kShotFrame && effects != nullptr &&
            effects->bigShot3209000 != nullptr) {
            RwV3d facing;
            RwV3d upward;
            GetDirection(&facing);
            GetUp(&upward);
            const RwV3d side = V3Cross(upward, facing);
            const RwV3d a = UserFramePosition(this, 100060);
            const RwV3d b = UserFramePosition(this, 100080);
            effects->bigShot3209000->Start(a, V3Add(a, facing), boss_1101::kShotMode);
            effects->bigShot3209000->Start(a, V3Sub(a, facing), boss_1101::kShotMode);
            effects->bigShot3209000->Start(b, V3Add(b, side), boss_1101::kShotMode);
            effects->bigShot3209000->Start(b, V3Sub(b, side), boss_1101::kShotMode);
            state19Effect = true;
        }
    } else {
        state19Effect = false;
    }
    // The hero may grab it in state 23 for 2 s.
    grabbable = state == boss_1101::kGrabbableState;
    if (state == boss_1101::kGrabbableState) {
        stateTimer += dt;
        if (stateTimer >= boss_1101::kGrabbableSeconds) {
            monster::FeedInput(this, next, boss_1101::kInputLetGo);
            grabbable = false;
        }
    } else if (state == boss_1101::kGrabEndState) {
        grabbed = false;
        stateTimer = 0.0f;
    }
    if (state == boss_1101::kHeldState) {
        monster::ShowGrabTint(this);
    }
    const bool damaged = damageToApply >= 1 && Fsf() != nullptr && Fsf()->GetIsHurt(state) != 0;
    StepDamage(this, InHitStopState(this, kTraits));
    if (damaged && onStage41) {
        timeSinceHurt = 0.0f;
    }
    CountHurtWindow(this, dt, &hurtWindow, &hurtableFrames);
    StepCharge(next, dt);
    if (monster::IsOneOf(state, boss_1101::kTurnStates)) {
        const RwV3d at = target != nullptr ? *target->GetPositionPtr() : home;
        monster::TurnToward(this, at, dt, monster::CosHalfAngle(this, false));
    }
    StepHeroHits(this, next, kTraits, &boss_1101::NoteBlow);
    if (state == boss_1101::kChainState && landed && animEnded) {
        monster::FeedInput(this, next, boss_1101::kInputChained);
        landed = false;
    }
    StepRecovery(this, next, dt, kTraits, &recoveryTimer, true, true);
    if (state == kTraits.recoveryState) {
        StepHurtEscape(this, next, &hurtWindow, &hurtableFrames);
    }
    guarding = StepGuardState(this, next, dt, kTraits, &guardTimer, true);
    StepStatus(this, dt);
    StepHoldAndEntrySound(this, kTraits, kSounds);
    if (state == kTraits.guardState && HitWithoutGuardBreak(this)) {
        monster::PlaySound(boss_1101::kGuardSound);
    }
    monster::StepHitStop(this, dt);
    if (StepBossDeath(this, next)) {
        ReleaseHeldCharacter();
    }
    if (state == kTraits.holdState) {
        ReleaseHeldCharacter();
    }
    StepBossEnd(this, kTraits);
    // Stage 41's glow while the boss has its model.
    StepGlow(this, onStage41, &glow);
    StepFlags(this, kTraits, dt);
    // The move: toward the goal, turning, in states 1, 3 and 4; straight
    // ahead in the others; the charge moves by itself.
    if (state != boss_1101::kChargeState) {
        const bool towardGoal = state == 1 || state == 3 || state == 4;
        if (!towardGoal) {
            RwV3d facing;
            GetDirection(&facing);
            goal.point = V3Add(*GetPositionPtr(), facing);
        }
        StepMove(this, goal, dt, {.turn = towardGoal, .collide = state == 1});
    }
    StepHandOver(this);
}
