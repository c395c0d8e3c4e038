// Boss 1110 (see boss_1110.h).
#include "boss/boss_1110.h"

#include "fx/ge_manager.h"
#include "monster/kit_common.h"
#include "monster/kit_sensing.h"
#include "stage/character_params.h"

using namespace boss;
using monster::kInputChase;
using monster::kInputIdle;

namespace boss_1110 {

constexpr int32_t kInputAttack = 10;
constexpr int32_t kShotFrom = 100170;
constexpr int32_t kFoeChest = 100100;
constexpr int32_t kHandA = 100130;
constexpr int32_t kHandB = 100140;
constexpr int32_t kArrowFrom = 100220;
constexpr float kBarrageAhead = 100.0f;
constexpr float kBarrageAside = 30.0f;
constexpr float kArrowFrame = 2540.0f;

RwV3d Facing(AiObject *boss)
{
    RwV3d facing;
    boss->GetDirection(&facing);
    return facing;
}

// Slots: 0 state 4, 1 state 6, 2 state 9, 3 state 11, 4 state 12, 5 to
// 7 state 13.

void Specials(CSBossChampion *self)
{
    CCGEManager *effects = monster::Effects();
    if (effects == nullptr) {
        return;
    }
    const RwMatrix *matrix = BossMatrix(self);
    const RwV3d position = *self->GetPositionPtr();
    if (ChampionSpecial(self, 0, 4, 530.0f, effects->frameSeq != nullptr)) {
        effects->frameSeq->Start(matrix);
    }
    if (ChampionSpecial(self, 1, 6, -1.0f, effects->frameSeq != nullptr)) {
        effects->frameSeq->Start(matrix);
    }
    if (ChampionSpecial(self, 2, 9, -1.0f, effects->frameSeq != nullptr)) {
        effects->frameSeq->Start(matrix);
    }
    if (ChampionSpecial(self, 3, 11, 1845.0f, effects->bigShot3211200 != nullptr)) {
        const RwV3d to =
            self->target != nullptr ? FramePositionOr(self->target, kFoeChest) : V3Add(position, Facing(self));
        effects->bigShot3211200->Spawn(UserFramePosition(self, kHandA), to);
        effects->bigShot3211200->Spawn(UserFramePosition(self, kHandB), to);
    }
    if (ChampionSpecial(self, 4, 12, 2056.0f, effects->litArrow != nullptr && self->target != nullptr)) {
        const RwV3d from = UserFramePosition(self, kArrowFrom);
        effects->litArrow->Start(from, V3Normalized(V3Sub(*self->target->GetPositionPtr(), from), Facing(self)),
                                 self->target);
    }
    if (ChampionSpecial(self, 5, 13, -1.0f, effects->bigShot3216200 != nullptr)) {
        effects->bigShot3216200->SetActive(true);
        effects->bigShot3216200->Start(position);
    }
    if (ChampionSpecial(self, 6, 13, 2366.0f, effects->fallStone != nullptr)) {
        effects->fallStone->Start(position, monster::ParamsOf(self).alarmCircle);
    }
    if (ChampionSpecial(self, 7, 13, 2404.0f, effects->threePart != nullptr)) {
        effects->threePart->Start(position);
        RequestRumbleForHeroes();
    }
}

// Every 0.33 s two shots from the frame 100170 toward the points 100 units
// ahead moved 30 units to either side, and once the clock has reached
// frame 2540 one lit arrow.
void BarrageShot(CSBossChampion *self)
{
    CCGEManager *effects = monster::Effects();
    if (effects == nullptr) {
        return;
    }
    const RwV3d from = FramePositionOr(self, kShotFrom);
    const RwV3d facing = monster::Flat(Facing(self));
    const RwV3d ahead = V3Add(monster::Flat(*self->GetPositionPtr()), V3Scale(facing, kBarrageAhead));
    const RwV3d side = V3Normalized(V3Cross({0.0f, 1.0f, 0.0f}, facing), {1.0f, 0.0f, 0.0f});
    if (effects->bigShot3215400 != nullptr) {
        effects->bigShot3215400->Start(from, V3Add(ahead, V3Scale(side, kBarrageAside)));
        effects->bigShot3215400->Start(from, V3Sub(ahead, V3Scale(side, kBarrageAside)));
    }
    if (!self->ArrowDone && ClockFrame(self) >= kArrowFrame && effects->litArrow != nullptr) {
        effects->litArrow->Start(from, facing, self->target);
        self->ArrowDone = true;
    }
}

constexpr ChampionRules kRules = {
    .traits = &kBoss1110Traits,
    .idleTimerResets = true,
    .flame5Frames = {kHandA},
    .flame8Frames = {kHandB},
    .sound11 = 6240020,
    .barrageEvery = 0.33f,
    .beams = {{11, "3216500.zus", kHandB}, {11, "3216500.zus", kHandA}},
    .specials = &Specials,
    .barrageShot = &BarrageShot,
};

}  // namespace boss_1110

void CSBoss1110::Update(float dt) { RunBossUpdate(this, dt); }

void CSBoss1110::SetState(CFSF *fsf, int32_t state) { EnterBossState(this, fsf, state, kTraits); }

void CSBoss1110::Think(int32_t *next, float /*dt*/)
{
    monster::RefreshTarget(this);
    RunBossMessages(
        this, next, kTraits, {.modelGone = &ChampionModelGone},
        [&](const MSGData &m, int32_t input) { return ChampionHit(this, m, input); },
        [&](int32_t bits, int32_t *input) {
            *input = ChampionNear(this, bits);
            if ((bits & kSenseAlarm) != 0) {
                *input = target != nullptr ? kInputChase : kInputIdle;
            }
            if ((bits & kSenseAttack) != 0) {
                const bool inCone = target != nullptr &&
                                    TargetCosineFromBehind(this) > monster::CosHalfAngle(this, false);
                *input = inCone ? boss_1110::kInputAttack : kInputIdle;
            }
            return true;
        });
}

void CSBoss1110::Act(int32_t *next, float dt) { ChampionAct(this, next, dt, boss_1110::kRules); }
