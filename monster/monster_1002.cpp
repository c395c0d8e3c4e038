// Monster type 1002 (see monster_1003.h): holds a seized hero at arm's
// length (nearer when seized from behind), turns in its charge states and
// draws a side on every act to step aside in state 27.
#include "app/game_rand.h"
#include "monster/grab_act.h"
#include "monster/kit_sensing.h"
#include "monster/monster_1003.h"
#include "stage/stage_manager.h"

using namespace monster;

namespace monster_1002 {

constexpr int32_t kAiType = 1002;
constexpr int32_t kSideStepState = 27;

constexpr StateSound kSounds[] = {
    {4, 6130010, 0},        {7, 6130010, 0},        {10, 6130010, 0},       {13, 6300270, 0},
    {14, 6130020, 0},       {16, 6300240, 0},       {34, 6300240, 0},       {35, 6300240, 0},
    {17, 6130020, 6300240}, {21, 6130020, 6300240}, {18, 6130020, 6300250}, {25, 6130020, 6300230},
    {26, 6130020, 6300230}, {27, 6130000, 0},       {28, 6130030, 0},       {29, 6130030, 0},
};

constexpr GrabActRow kRow = {
    .aiType = kAiType,
    .effectState = kNoState,
    .effectOnPart = nullptr,
    .turnStates = {3, 7, 8},
    .seizeAt = {6.0f, 4.5f},
    .holdAt = {7.0f, 8.5f},
    .releaseSetsGrabWord = false,
    .downHits = {{18, 1221.0f}, {17, 3989.0f}},
    .getUpSeconds = 2.0f,
    .burningDropsResistance = true,
    .knockState = 36,
    .dizzySound = 6300070,
    .seizeKeepsTo = 37,
    .seizeResultBelow = 38,
    .sounds = kSounds,
    .dyingStates = {28, 29},
    .goneStates = {30, 31},
    .fixedFadeSpeed = 0.0f,
};

// The side step: a side drawn on every act outside state 27; in it the
// monster speeds up by the state's acceleration on every act and moves
// along its right row (the drawn side).
void SideStep(CSMonster1003 *self, float dt)
{
    if (self->state != kSideStepState) {
        if (!self->removed && !self->dying) {
            self->SideStep1002() = game::Rand() % 2 == 0;
        }
        return;
    }
    RpClump *clump = self->Clump();
    CFSF *fsf = self->Fsf();
    if (clump == nullptr || fsf == nullptr || g_pStageManager == nullptr) {
        return;
    }
    self->speed += fsf->GetAcceleration(self->state);
    const float step = self->speed * dt;
    const RwV3d right = RwFrameGetMatrix(RpClumpGetFrame(clump))->right;
    g_pStageManager->MoveCharacter(self, self->SideStep1002() ? V3Scale(right, -1.0f) : right, step, false);
}

}  // namespace monster_1002

void CSMonster1002::Update(CSMonster1003 *self, float dt)
{
    const TemplateDSteps steps = {
        [](AiObject *a, int32_t *next, float t) { Think(static_cast<CSMonster1003 *>(a), next, t); },
        [](AiObject *a, int32_t *next, float t) { Act(static_cast<CSMonster1003 *>(a), next, t); },
    };
    RunTemplateDUpdate(self, dt, *TemplateDMembersOf(monster_1002::kAiType), steps);
}

void CSMonster1002::Think(CSMonster1003 *self, int32_t *next, float dt)
{
    const TemplateDMembers &members = *TemplateDMembersOf(monster_1002::kAiType);
    RefreshTarget(self);
    const float home = HomeDistance(self);
    ThinkMessages(self, next, kGrabThink, [&](int32_t bits, int32_t *input) {
        *input = SenseNear(self, bits, *input, home, {members.thinkHomeDistance, members.lostTargetSeconds}, dt);
        const float halfAngle = CosHalfAngle(self, members.halfAngleInRadians);
        if ((bits & kSenseAlarm) != 0 && self->target != nullptr) {
            const bool within = FacingCosine(self, self->target, 0.0f, false) > halfAngle;
            *input = within && self->stateRandom < 30 ? 11 : kInputChase;
        }
        return SenseAttack(self, bits, members.attackDelaySeconds, dt, input, [&] {
            if (FacingCosine(self, self->target, 0.0f, true) <= halfAngle) {
                return 3;
            }
            if (self->state != 2) {
                return kInputReady;
            }
            return self->stateRandom < 50 ? 10 : (self->stateRandom < 70 ? 12 : 20);
        });
    });
}

void CSMonster1002::Act(CSMonster1003 *self, int32_t *next, float dt)
{
    RunGrabAct(self, next, dt, monster_1002::kRow, {&self->HeldHero1002(), &self->HoldTimer1002(), nullptr});
    monster_1002::SideStep(self, dt);
}
