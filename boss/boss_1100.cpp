// Boss 1100 (see boss_1100.h).
#include "boss/boss_1100.h"

#include "monster/kit_sensing.h"

using namespace boss;

namespace boss_1100 {

constexpr float kAttackEvery = 3.0f;
constexpr int32_t kInputAttack = 10;
constexpr int32_t kWakeState = 1;
constexpr const char *kWakeParticles = "3010600.zus";
constexpr int32_t kWakeFrames[] = {100130, 100140};

const monster::HitRules kHits = BossHitRules(CSBoss1100::kTraits);

}  // namespace boss_1100

void CSBoss1100::Update(float dt) { RunBossUpdate(this, dt); }

void CSBoss1100::SetState(CFSF *fsf, int32_t state) { EnterBossState(this, fsf, state, kTraits); }

void CSBoss1100::Think(int32_t *next, float /*dt*/)
{
    RunBossMessages(
        this, next, kTraits, {},
        [&](const MSGData &m, int32_t input) { return monster::ClassifyHit(this, m, input, boss_1100::kHits); },
        [&](int32_t bits, int32_t *input) {
            if ((bits & kSenseNear) != 0) {
                monster::RefreshTarget(this);
            }
            if ((bits & kSenseAlarm) != 0) {
                monster::RefreshTarget(this);
                if (attackTimer >= boss_1100::kAttackEvery) {
                    attackTimer = 0.0f;
                    *input = boss_1100::kInputAttack;
                }
            }
            if ((bits & kSenseAttack) != 0) {
                monster::RefreshTarget(this);
            }
            return true;
        });
}

void CSBoss1100::Act(int32_t *next, float dt) { RunBossAct(this, next, dt); }

void CSBoss1100::StepTimers(float dt)
{
    if (attackTimer < boss_1100::kAttackEvery) {
        attackTimer += dt;
    }
}

void CSBoss1100::StateWork(int32_t * /*next*/, float /*dt*/)
{
    if (state == boss_1100::kWakeState) {
        if (!startEffect && stateEntered && model != nullptr) {
            for (int32_t frame : boss_1100::kWakeFrames) {
                StartOnFrame(this, boss_1100::kWakeParticles, frame, true);
            }
            startEffect = true;
        }
    } else {
        startEffect = false;
    }
}
