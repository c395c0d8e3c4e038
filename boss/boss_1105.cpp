// Boss 1105 (see boss_1105.h).
#include "boss/boss_1105.h"

#include "boss/boss_1108.h"
#include "fx/ge_manager.h"
#include "monster/kit_messages.h"
#include "monster/kit_motion.h"
#include "monster/kit_sensing.h"
#include "stage/clump_anim_manager.h"

using namespace boss;
using monster::kInputChase;
using monster::kInputIdle;

namespace boss_1105 {

constexpr int32_t kInputNotCalled = 201;
constexpr int32_t kInputAim = 2;
constexpr int32_t kInputFire = 21;
constexpr int32_t kWingBallState = 3;
constexpr int32_t kAppearState = 4;
constexpr int32_t kLeaveState = 5;
constexpr float kAimSeconds = 1.0f;
constexpr float kWingBallFrame = 504.0f;
constexpr float kWingBallEvery = 0.1f;
constexpr int32_t kWingBallsPerVisit = 3;
constexpr int32_t kWingBallFrom = 100170;
constexpr int32_t kWingBallAt = 100090;
constexpr int32_t kWingBallSound = 6240100;

// The motion of the model's clump has played to its end.
bool MotionEnded(const AiObject *boss)
{
    const CSClumpAnimManager *anims = monster::AnimationsOf(boss);
    return anims != nullptr && boss->model != nullptr && anims->GetAnimationId(boss->Clump()) != 0;
}

}  // namespace boss_1105

void CSBoss1105::Update(float dt) { RunBossUpdate(this, dt); }

void CSBoss1105::SetState(CFSF *fsf, int32_t state) { EnterBoss1108State(this, fsf, state); }

bool CSBoss1105::Appear()
{
    if (!monster::TakeModelOnGround(this)) {
        return false;
    }
    SetState(Fsf(), boss_1105::kAppearState);
    monster::SyncModelMotion(this);
    return true;
}

void CSBoss1105::Think(int32_t *next, float dt)
{
    if (!Called) {
        monster::FeedInput(this, next, boss_1105::kInputNotCalled);
        Waiting = true;
        // Unseen until called: the model the placement handed it goes back.
        if (!AppearDone && model != nullptr && !eventModel && state != boss_1105::kLeaveState) {
            SetModelInstance(nullptr);
        }
    } else if (model == nullptr && !Appear()) {
        return;
    }
    RunBossMessages(
        this, next, kTraits, {.sensesModel = false}, [](const MSGData &, int32_t input) { return input; },
        [&](int32_t bits, int32_t *input) {
            if (!AppearDone || Waiting) {
                return false;
            }
            if ((bits & kSenseNear) == 0) {
                target = nullptr;
                *input = kInputChase;
            } else {
                monster::RefreshTarget(this);
                *input = target != nullptr ? kInputChase : kInputIdle;
            }
            if ((bits & kSenseAttack) != 0) {
                monster::RefreshTarget(this);
                if (target == nullptr) {
                    AimTimer = 0.0f;
                    return false;
                }
                if (AimTimer >= boss_1105::kAimSeconds) {
                    *input = boss_1105::kInputFire;
                } else {
                    *input = boss_1105::kInputAim;
                    AimTimer += dt;
                }
            }
            return true;
        });
}

void CSBoss1105::StepWingBalls(float dt)
{
    if (state != boss_1105::kWingBallState) {
        ShotTimer = boss_1105::kWingBallEvery;
        ShotCount = 0;
        return;
    }
    CCGEManager *effects = monster::Effects();
    if (target == nullptr || effects == nullptr || effects->wingBall == nullptr) {
        return;
    }
    if (ClockFrame(this) < boss_1105::kWingBallFrame || ShotTimer < boss_1105::kWingBallEvery || model == nullptr ||
        ShotCount >= boss_1105::kWingBallsPerVisit) {
        // The waiting frames keep the entry flag, so each ball plays its sound.
        stateEntered = true;
        ShotTimer += dt;
        return;
    }
    effects->wingBall->Start(UserFramePosition(this, boss_1105::kWingBallFrom),
                             FramePositionOr(target, boss_1105::kWingBallAt));
    if (stateEntered) {
        monster::PlaySound(boss_1105::kWingBallSound);
        stateEntered = false;
    }
    ShotTimer = 0.0f;
    ShotCount += 1;
}

void CSBoss1105::Act(int32_t * /*next*/, float dt)
{
    const BossGoal goal = StepGoal(this, StepWaypoint(this, dt));
    StepWingBalls(dt);
    if (state == boss_1105::kAppearState && boss_1105::MotionEnded(this)) {
        AppearDone = true;
    }
    if (state == boss_1105::kLeaveState && boss_1105::MotionEnded(this) && !eventModel) {
        SetModelInstance(nullptr);
        AppearDone = false;
    }
    TurnTowardFoe(this, dt);
    holdState = state == kTraits.holdState;
    Waiting = false;
    StepHoldAndEntrySound(this, kTraits, kSounds);
    targetable = false;
    const float step = monster::StepSpeed(this, dt);
    if (!busy && !removed && !eventHeld) {
        MoveToward(goal.distance, goal.point, step, false, true);
    }
}
