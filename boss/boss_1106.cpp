// Boss 1106 (see boss_1106.h).
#include "boss/boss_1106.h"

#include "boss/boss_walker.h"
#include "fx/ge_manager.h"

using namespace boss;

namespace boss_1106 {

constexpr int32_t kWalkInput = 5;
constexpr const char *kHandParticles = "3010600.zus";
constexpr int32_t kFaceState11[] = {11};
constexpr int32_t kFaceState13[] = {13};
constexpr int32_t kCollideStates[] = {2};
constexpr int32_t kSpecialState = 20;
constexpr float kSpecialFrame = 2851.0f;

}  // namespace boss_1106

void CSBoss1106::Update(float dt) { RunBossUpdate(this, dt); }

void CSBoss1106::SetState(CFSF *fsf, int32_t state) { EnterBossState(this, fsf, state, kTraits); }

void CSBoss1106::Think(int32_t *next, float dt) { WalkerThink(this, next, dt, kTraits, boss_1106::kWalkInput); }

void CSBoss1106::Act(int32_t *next, float dt)
{
    const BossWay way = StepWaypoint(this, dt);
    StepGoal(this, way);
    // Start effects, once per entry with a model.
    if (FirstInVisit(this, 8, &effect8, model != nullptr)) {
        StartOnFrame(this, boss_1106::kHandParticles, 100080, true);
    }
    if (FirstInVisit(this, 13, &effect13, model != nullptr)) {
        StartOnFrame(this, boss_1106::kHandParticles, 100140, false);
    }
    CCGEManager *effects = monster::Effects();
    if (FirstInVisit(this, boss_1106::kSpecialState, &effect20,
                     monster::MotionFrameOf(this) >= boss_1106::kSpecialFrame && effects != nullptr &&
                         effects->bigShot3219200 != nullptr)) {
        effects->bigShot3219200->Start(*GetPositionPtr());
    }
    FaceTargetOnEntry(this, boss_1106::kFaceState11, &faced11);
    FaceTargetOnEntry(this, boss_1106::kFaceState13, &faced13);
    WalkerTurn(this, dt);
    WalkerDamage(this, kTraits);
    StepHeroHits(this, next, kTraits);
    WalkerTimersStep(this, next, dt, kTraits, {&guardTimer, &recoveryTimer, &waitTimer});
    WalkerHoldRules(this, next, dt);
    StepStatus(this, dt);
    WalkerSounds(this, kTraits, kSounds);
    WalkerHitStop(this, dt, kTraits);
    StepBossDeath(this, next);
    StepBossEnd(this, kTraits);
    StepFlags(this, kTraits, dt);
    WalkerMove(this, dt, boss_1106::kCollideStates);
    StepHandOver(this);
}
