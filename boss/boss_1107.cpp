// Boss 1107 (see boss_1107.h).
#include "boss/boss_1107.h"

#include "boss/boss_patterns.h"
#include "boss/boss_walker.h"
#include "fx/ge_manager.h"
#include "fx/particle_manager.h"
#include "stage/model_frames.h"
#include "stage/stage_manager.h"

using namespace boss;

namespace boss_1107 {

constexpr int32_t kWalkInput = 1;
constexpr const char *kHandParticles = "3010600.zus";
constexpr int32_t kHandFrame = 100140;
constexpr const char *kBodyParticles = "3218300.ZUS";
constexpr int32_t kBodyFrameA = 100160;
constexpr int32_t kBodyFrameB = 100150;
constexpr int32_t kFaceState11[] = {11};
constexpr int32_t kFaceState13[] = {13};
constexpr int32_t kFaceState20[] = {20};
constexpr int32_t kCollideStates[] = {1, 2};
constexpr int32_t kSpecialState = 20;
constexpr float kSpecialEndFrame = 10280.0f;
constexpr int32_t kAnimSlowed = 6;  // x0.9

CSBoss1107 *Self(AiObject *actor) { return static_cast<CSBoss1107 *>(actor); }

// Once per entry of `state` with a model: the hand particles, and in the
// frame-sequence states the frame sequence on the boss's matrix.
void StartOnce(AiObject *boss, int32_t state, bool *done, bool frameSequence)
{
    if (!FirstInVisit(boss, state, done, boss->model != nullptr)) {
        return;
    }
    if (!frameSequence) {
        StartOnFrame(boss, kHandParticles, kHandFrame, false);
        return;
    }
    CCGEManager *effects = monster::Effects();
    if (effects != nullptr && effects->frameSeq != nullptr && BossMatrix(boss) != nullptr) {
        effects->frameSeq->Start(BossMatrix(boss));
    }
}

}  // namespace boss_1107

void CSBoss1107::Update(float dt) { RunBossUpdate(this, dt); }

void CSBoss1107::SetState(CFSF *fsf, int32_t state) { EnterBossState(this, fsf, state, kTraits); }

void CSBoss1107::Think(int32_t *next, float dt) { WalkerThink(this, next, dt, kTraits, boss_1107::kWalkInput); }

void CSBoss1107::ReleaseOf(AiObject *actor)
{
    CSBoss1107 *self = boss_1107::Self(actor);
    monster::GiveBackSystemNow(&self->bodyA);
    monster::GiveBackSystemNow(&self->bodyB);
    actor->Release();
}

void CSBoss1107::LetGoBodyParticles()
{
    monster::LetGoOfSystem(&bodyA);
    monster::LetGoOfSystem(&bodyB);
}

void CSBoss1107::StepBodyParticles()
{
    if (model == nullptr) {
        LetGoBodyParticles();
        bodyStarted = false;
        return;
    }
    CSParticleManager *particles = g_pStageManager != nullptr ? g_pStageManager->particleManager : nullptr;
    if (bodyStarted || particles == nullptr) {
        return;
    }
    // Both or neither: a system had alone goes straight back, and both are
    // asked for again at the next act.
    bodyA = particles->CreateSystem(boss_1107::kBodyParticles);
    bodyB = particles->CreateSystem(boss_1107::kBodyParticles);
    if (bodyA == nullptr || bodyB == nullptr) {
        monster::GiveBackSystemNow(&bodyA);
        monster::GiveBackSystemNow(&bodyB);
        return;
    }
    const std::pair<CSParticleSystem *, int32_t> bodies[] = {{bodyA, boss_1107::kBodyFrameA},
                                                             {bodyB, boss_1107::kBodyFrameB}};
    for (const auto &[system, frameId] : bodies) {
        system->SetEmitting(true, 1.0f);
        system->displayMode[0] = kPrtDrawAfterWorld;
        system->displayMode[1] = kPrtStayWhereEmitted;
        // On the body's frame and following it: a system that follows a
        // frame takes its matrix relative to it, so the frame's own world
        // matrix would put it twice the frame's distance from the origin.
        PlaceSystemOnFrame(system, FindFrameByUserId(Clump(), frameId), true, true);
    }
    bodyStarted = true;
}

void CSBoss1107::Act(int32_t *next, float dt)
{
    StepBodyParticles();
    const BossWay way = StepWaypoint(this, dt);
    StepGoal(this, way);
    boss_1107::StartOnce(this, 8, &effect8, false);
    boss_1107::StartOnce(this, 13, &effect13, false);
    boss_1107::StartOnce(this, 11, &frameSeq11, true);
    boss_1107::StartOnce(this, 13, &frameSeq13, true);
    FaceTargetOnEntry(this, boss_1107::kFaceState11, &faced11);
    FaceTargetOnEntry(this, boss_1107::kFaceState13, &faced13);
    FaceTargetOnEntry(this, boss_1107::kFaceState20, &faced20);
    WalkerTurn(this, dt);
    WalkerDamage(this, kTraits);
    StepHeroHits(this, next, kTraits);
    WalkerTimersStep(this, next, dt, kTraits, {&guardTimer, &recoveryTimer, &waitTimer});
    // The HP phases, never while a hero holds, locks or throws the boss or
    // its target is in its own grab move.
    const bool free = monster::NotHeld(this) && !heldByHero && target != nullptr && !TargetInGrabMove(this);
    StepHpPhases(this, next, kTraits, phaseDone, free);
    // The special attack: slowed and held still until frame 10280, then
    // the wave, once per entry.
    if (state == boss_1107::kSpecialState) {
        if (ClockFrame(this) < boss_1107::kSpecialEndFrame) {
            hitStopPending = true;
            animSpeedMode = boss_1107::kAnimSlowed;
        } else if (!specialDone) {
            CCGEManager *effects = monster::Effects();
            if (effects != nullptr && effects->wave != nullptr) {
                RwV3d facing;
                GetDirection(&facing);
                effects->wave->Start(*GetPositionPtr(), facing);
            }
            animSpeedMode = kAnimNormal;
            hitStopPending = false;
            specialDone = true;
        }
    } else {
        specialDone = false;
    }
    WalkerHoldRules(this, next, dt);
    StepStatus(this, dt);
    WalkerSounds(this, kTraits, kSounds);
    WalkerHitStop(this, dt, kTraits);
    if (StepBossDeath(this, next)) {
        LetGoBodyParticles();  // dropped; the started flag keeps them from starting again
    }
    StepBossEnd(this, kTraits);
    StepFlags(this, kTraits, dt);
    WalkerMove(this, dt, boss_1107::kCollideStates);
    StepHandOver(this);
}
