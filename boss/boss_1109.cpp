// Boss 1109 (see boss_1109.h).
#include "boss/boss_1109.h"

#include "actor/fsf.h"
#include "fx/ge_manager.h"
#include "monster/kit_common.h"
#include "monster/kit_sensing.h"
#include "stage/clump_anim_manager.h"

using namespace boss;
using monster::kInputChase;
using monster::kInputIdle;

namespace boss_1109 {

constexpr int32_t kChaseState = 2;
constexpr int32_t kInputStrike = 11;
constexpr int32_t kInputAttack = 10;
constexpr int32_t kShotFrom = 100170;
constexpr int32_t kFoeChest = 100100;
constexpr int32_t kHandA = 100200;
constexpr int32_t kHandB = 100210;
constexpr int32_t kWeapon = 100140;
constexpr int32_t kStone = 100020;

RwV3d Ahead(AiObject *boss)
{
    RwV3d facing;
    boss->GetDirection(&facing);
    return V3Add(*boss->GetPositionPtr(), facing);
}

// Slots: 0 state 6, 1 state 9, 2 state 11, 3 and 4 state 12, 5 and 6
// state 13.
void Specials(CSBossChampion *self)
{
    CCGEManager *effects = monster::Effects();
    if (effects == nullptr) {
        return;
    }
    const RwMatrix *matrix = BossMatrix(self);
    if (ChampionSpecial(self, 0, 6, 1458.0f, effects->frameSeq != nullptr)) {
        effects->frameSeq->Start(matrix);
    }
    if (ChampionSpecial(self, 1, 9, 1818.0f, effects->frameSeq != nullptr)) {
        effects->frameSeq->Start(matrix);
    }
    if (ChampionSpecial(self, 2, 11, 2063.0f, effects->bigShot3214400 != nullptr)) {
        StartOnFrame(self, "3213401.ZUS", kStone, true);
        StartOnFrame(self, "3213400.ZUS", kStone, true);
        const RwV3d from = UserFramePosition(self, kStone);
        const RwV3d to = self->target != nullptr ? FramePositionOr(self->target, kFoeChest) : Ahead(self);
        effects->bigShot3214400->Start(from, to);
    }
    if (ChampionSpecial(self, 3, 12, -1.0f, effects->wings != nullptr)) {
        effects->wings->Start(matrix);
    }
    if (ChampionSpecial(self, 4, 12, 2265.0f, effects->bugs != nullptr && self->target != nullptr)) {
        effects->bugs->Start(UserFramePosition(self, kHandA), self->target);
        effects->bugs->Start(UserFramePosition(self, kHandB), self->target);
    }
    if (ChampionSpecial(self, 5, 13, 2500.0f,
                        effects->bigShot3216200 != nullptr && effects->bigShot3213800 != nullptr)) {
        effects->bigShot3216200->SetActive(true);
        effects->bigShot3213800->Start(*self->GetPositionPtr());
    }
    if (ChampionSpecial(self, 6, 13, 920.0f, effects->threePart != nullptr)) {
        effects->threePart->Start(*self->GetPositionPtr());
        RequestRumbleForHeroes();
    }
}

// Every 0.1 s a shot from the frame 100170 at the foe's chest.
void BarrageShot(CSBossChampion *self)
{
    CCGEManager *effects = monster::Effects();
    if (effects != nullptr && effects->bigShot3215400 != nullptr && self->target != nullptr) {
        effects->bigShot3215400->Start(FramePositionOr(self, kShotFrom), FramePositionOr(self->target, kFoeChest));
    }
}

constexpr ChampionRules kRules = {
    .traits = &kBoss1109Traits,
    .idleTimerResets = false,
    .flame5Frames = {kWeapon},
    .flame8Frames = {kHandA, kHandB},
    .sound11 = 6270020,
    .barrageEvery = 0.1f,
    .beams = {{11, "3216500.zus", kWeapon}, {15, "3214000.zus", kWeapon}},
    .specials = &Specials,
    .barrageShot = &BarrageShot,
};

}  // namespace boss_1109

void CSBoss1109::Update(float dt) { RunBossUpdate(this, dt); }

void CSBoss1109::SetState(CFSF *fsf, int32_t state)
{
    EnterBossState(this, fsf, state, kTraits);
    // The companion's clump takes the same motion with the same blend.
    if (Companion != nullptr && Companion->Clump() != nullptr && static_cast<uint32_t>(state) < 26u) {
        if (CSClumpAnimManager *anims = monster::AnimationsOf(Companion)) {
            anims->ChangeMotion(Companion->Clump(), state, fsf != nullptr ? fsf->GetTransitionBlend() : 0.0f);
        }
    }
}

void CSBoss1109::ReleaseOf(AiObject *actor)
{
    static_cast<CSBoss1109 *>(actor)->Companion = nullptr;
    ReleaseChampion(actor);
}

void CSBoss1109::Think(int32_t *next, float /*dt*/)
{
    RunBossMessages(
        this, next, kTraits, {.modelGone = &ChampionModelGone},
        [&](const MSGData &m, int32_t input) { return ChampionHit(this, m, input); },
        [&](int32_t bits, int32_t *input) {
            if ((bits & kSenseNear) != 0) {
                monster::RefreshTarget(this);
            }
            *input = ChampionNear(this, bits);
            if ((bits & kSenseAlarm) != 0) {
                monster::RefreshTarget(this);
                if (target == nullptr) {
                    *input = kInputIdle;
                } else if (state == boss_1109::kChaseState) {
                    *input = stateRandom >= 50 ? kInputChase : boss_1109::kInputStrike;
                }
            }
            if ((bits & kSenseAttack) != 0) {
                monster::RefreshTarget(this);
                *input = target != nullptr ? boss_1109::kInputAttack : kInputIdle;
            }
            return true;
        });
}

void CSBoss1109::Act(int32_t *next, float dt) { ChampionAct(this, next, dt, boss_1109::kRules); }
