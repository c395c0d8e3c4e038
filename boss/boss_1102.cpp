// Boss 1102 (see boss_1102.h).
#include "boss/boss_1102.h"

#include "fx/ge_manager.h"
#include "monster/kit_motion.h"
#include "monster/kit_sensing.h"
#include "stage/clump_anim_manager.h"
#include "stage/character_params.h"

using namespace boss;

namespace boss_1102 {

constexpr int32_t kInputWalk = 1;
constexpr int32_t kInputTurn = 2;
constexpr int32_t kInputInCone = 21;
constexpr int32_t kIdleState = 1;
constexpr int32_t kTurnState = 2;
constexpr int32_t kThrowState = 3;
constexpr int32_t kSecondThrowState = 4;
constexpr float kIdleSeconds = 3.0f;
// Turning: straight ahead and straight behind within about 5 degrees.
constexpr float kTurnDeadCosine = 0.996195f;
constexpr float kThrowFrame = 439.0f;
constexpr int32_t kThrowHand = 100040;
constexpr int32_t kVolleyFrom = 80;  // state random at or above: a volley
constexpr float kSecondThrowWait = 0.1f;
constexpr int32_t kSecondThrowHand = 100090;
constexpr int32_t kSecondThrowBelow = 10;

// Hits with bit 64 give input 100; the sender is the last attacker only.
const monster::HitRules kHits = [] {
    monster::HitRules rules = BossHitRules(CSBoss1102::kTraits);
    rules.recordsLastHitter = false;
    return rules;
}();

CSBoss1102ShotPool *Shots()
{
    CCGEManager *effects = monster::Effects();
    return effects != nullptr ? effects->boss1102Shots : nullptr;
}

}  // namespace boss_1102

void CSBoss1102::Update(float dt) { RunBossUpdate(this, dt); }

void CSBoss1102::SetState(CFSF *fsf, int32_t state) { EnterBossState(this, fsf, state, kTraits); }

void CSBoss1102::Think(int32_t *next, float dt)
{
    RunBossMessages(
        this, next, kTraits, {},
        [&](const MSGData &m, int32_t input) { return monster::ClassifyHit(this, m, input, boss_1102::kHits); },
        [&](int32_t bits, int32_t *input) {
            *input = SenseKeptTarget(this, bits, *input, boss_1102::kInputWalk, dt, false);
            SenseAlarmRemembering(this, bits, boss_1102::kInputTurn, boss_1102::kThrowState, &AimPoint, input);
            if ((bits & kSenseAttack) != 0) {
                monster::RefreshTarget(this);
                if (target == nullptr) {
                    return false;
                }
                *input = boss_1102::kInputWalk;
                KeepAway = true;
            } else if (IdleTimer == 0.0f) {
                KeepAway = false;
            }
            return true;
        });
}

void CSBoss1102::Act(int32_t *next, float dt) { RunBossAct(this, next, dt); }

BossGoal CSBoss1102::ChooseGoal(const BossWay &way)
{
    const RwV3d p = *GetPositionPtr();
    BossGoal goal;
    if (target == nullptr) {
        goal.point = home;
        goal.distance = V3Distance(p, goal.point);
        return goal;
    }
    const RwV3d t = *target->GetPositionPtr();
    if (KeepAway) {
        goal.point = V3Add(p, V3Sub(p, t));
        goal.distance = V3Distance(p, t);
        return goal;
    }
    goal.point = pathFollowing && way.has ? way.point : t;
    goal.distance = V3Distance(p, goal.point);
    return goal;
}

void CSBoss1102::StateWork(int32_t *next, float dt)
{
    if (state == boss_1102::kIdleState) {
        IdleTimer += dt;
        if (IdleTimer >= boss_1102::kIdleSeconds) {
            monster::FeedInput(this, next, boss_1102::kInputTurn);
            IdleTimer = 0.0f;
        }
    }
    if (state == boss_1102::kTurnState) {
        const RwV3d toward = target != nullptr ? *target->GetPositionPtr() : home;
        const float cosine = monster::CosineToward(this, toward);
        if (target != nullptr && cosine > monster::CosHalfAngle(this, false)) {
            monster::FeedInput(this, next, boss_1102::kInputInCone);
        } else if (cosine < boss_1102::kTurnDeadCosine) {
            monster::FeedInput(this, next, 0);
            monster::TurnToward(this, toward, dt, boss_1102::kTurnDeadCosine);
        }
    }
    if (state == boss_1102::kThrowState) {
        CSClumpAnimManager *animations = monster::AnimationsOf(this);
        if (!ThrowDone && animations != nullptr && Clump() != nullptr &&
            animations->HasReachedFrame(Clump(), boss_1102::kThrowFrame)) {
            if (CSBoss1102ShotPool *shots = boss_1102::Shots()) {
                const RwV3d start = UserFramePosition(this, boss_1102::kThrowHand);
                if (stateRandom < boss_1102::kVolleyFrom) {
                    shots->Throw(start, BossMatrix(this), AimPoint, 0);
                } else {
                    shots->ThrowVolley(start, BossMatrix(this), AimPoint);
                }
            }
            ThrowDone = true;
        }
    } else {
        ThrowDone = false;
    }
    if (state == boss_1102::kSecondThrowState) {
        foundFoe = true;
        if (SecondThrowDelay < boss_1102::kSecondThrowWait) {
            SecondThrowDelay += dt;
        } else if (!SecondThrowDone) {
            const RwV3d toward = monster::Flat(V3Sub(AimPoint, *GetPositionPtr()));
            SetDirection(toward);  // a zero direction leaves the facing
            CSBoss1102ShotPool *shots = boss_1102::Shots();
            if (stateRandom < boss_1102::kSecondThrowBelow && shots != nullptr) {
                shots->Throw(UserFramePosition(this, boss_1102::kSecondThrowHand), BossMatrix(this), AimPoint, 1);
            }
            SecondThrowDone = true;
        }
    } else {
        SecondThrowDelay = 0.0f;
        SecondThrowDone = false;
    }
}

BossMoveRule CSBoss1102::MoveRule() const
{
    const bool idle = state == boss_1102::kIdleState;
    return {.turn = idle, .collide = idle};
}
