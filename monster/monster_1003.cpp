// Monster type 1003 (see monster_1003.h): holds a seized hero 15 units
// ahead; its foes and target are refreshed inside the sensing bits.
#include "monster/monster_1003.h"

#include "monster/grab_act.h"
#include "monster/kit_sensing.h"

using namespace monster;

namespace monster_1003 {

constexpr int32_t kAiType = 1003;

constexpr StateSound kSounds[] = {
    {4, 6300100, 0},        {7, 6140010, 0},        {10, 6140010, 0},       {13, 6300270, 0},
    {14, 6140020, 0},       {16, 6300240, 0},       {17, 6140020, 6300240}, {21, 6140020, 6300240},
    {18, 6140020, 6300250}, {25, 6140020, 6300230}, {26, 6140020, 6300230}, {27, 6140030, 0},
    {28, 6140030, 0},
};

constexpr GrabActRow kRow = {
    .aiType = kAiType,
    .effectState = 4,
    .effectOnPart = "3010600.zus",
    .effectPart = 100130,
    .turnStates = {3, kNoState, kNoState},
    .seizeAt = {15.0f, 15.0f},
    .holdAt = {15.0f, 15.0f},
    .releaseSetsGrabWord = true,
    .downHits = {{18, 2818.0f}, {kNoState, 0.0f}},
    .getUpSeconds = 3.0f,
    .burningDropsResistance = false,
    .knockState = 33,
    .dizzySound = 6300070,
    .seizeKeepsTo = 35,
    .seizeResultBelow = 0,
    .sounds = kSounds,
    .dyingStates = {27, 28},
    .goneStates = {29, 30},
    .fixedFadeSpeed = 6.5f,
};

}  // namespace monster_1003

void CSMonster1003::Update(float dt) { RunTemplateDUpdateOf(this, dt); }

void CSMonster1003::Think(int32_t *next, float dt)
{
    const TemplateDMembers &members = *TemplateDMembersOf(monster_1003::kAiType);
    const float home = HomeDistance(this);
    ThinkMessages(this, next, kGrabThink, [&](int32_t bits, int32_t *input) {
        if ((bits & kSenseNear) != 0) {
            RefreshTarget(this);
        }
        *input = SenseNear(this, bits, *input, home, {members.thinkHomeDistance, members.lostTargetSeconds}, dt);
        if ((bits & kSenseAlarm) != 0) {
            RefreshTarget(this);
            if (target != nullptr) {
                *input = kInputReady;
            }
        }
        if ((bits & kSenseAttack) != 0) {
            RefreshTarget(this);
        }
        return SenseAttack(this, bits, members.attackDelaySeconds, dt, input, [&] {
            const float cosine = FacingCosine(this, target, 0.0f, true);
            if (cosine > CosHalfAngle(this, members.halfAngleInRadians) && stateRandom < 60) {
                return state == 2 ? 10 : kInputReady;
            }
            return state == 2 ? (stateRandom < 70 ? 11 : 3) : kInputReady;
        });
    });
}

void CSMonster1003::Act(int32_t *next, float dt)
{
    RunGrabAct(this, next, dt, monster_1003::kRow, {&HeldHero1003(), &HoldTimer1003(), &EffectStarted1003()});
}
