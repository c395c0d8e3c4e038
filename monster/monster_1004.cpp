// Monster type 1004 (see monster_1004.h).
#include "monster/monster_1004.h"

#include "monster/grab_act.h"
#include "monster/kit_sensing.h"

using namespace monster;

namespace monster_1004 {

constexpr int32_t kAiType = 1004;

constexpr StateSound kSounds[] = {
    {4, 6150010, 0},        {7, 6150010, 0},        {10, 6150010, 0},       {13, 6300270, 0},
    {14, 6150020, 0},       {16, 6300240, 0},       {33, 6300240, 0},       {17, 6150020, 6300240},
    {21, 6150020, 6300240}, {18, 6150020, 6300250}, {25, 6150020, 6300230}, {26, 6150020, 6300230},
    {27, 6150030, 0},       {28, 6150030, 0},
};

constexpr GrabActRow kRow = {
    .aiType = kAiType,
    .effectState = 7,
    .effectOnPart = nullptr,
    .turnStates = {3, kNoState, kNoState},
    .seizeAt = {1.0f, 1.0f},
    .holdAt = {1.0f, 1.0f},
    .releaseSetsGrabWord = false,
    .downHits = {{18, 3821.0f}, {kNoState, 0.0f}},
    .getUpSeconds = 3.0f,
    .burningDropsResistance = false,
    .knockState = 34,
    .dizzySound = 0,
    .seizeKeepsTo = 35,
    .seizeResultBelow = 0,
    .sounds = kSounds,
    .dyingStates = {27, 28},
    .goneStates = {29, 30},
    .fixedFadeSpeed = 0.0f,
};

}  // namespace monster_1004

void CSMonster1004::Update(float dt) { RunTemplateDUpdateOf(this, dt); }

void CSMonster1004::Think(int32_t *next, float dt)
{
    const TemplateDMembers &members = *TemplateDMembersOf(monster_1004::kAiType);
    RefreshTarget(this);
    const float home = HomeDistance(this);
    // Facing toward the target from where it stands, on the ground plane.
    const float cosine = FacingCosine(this, target, 0.0f, true);
    const float halfAngle = CosHalfAngle(this, members.halfAngleInRadians);
    ThinkMessages(this, next, kGrabThink, [&](int32_t bits, int32_t *input) {
        *input = SenseNear(this, bits, *input, home, {members.thinkHomeDistance, members.lostTargetSeconds}, dt);
        if ((bits & kSenseAlarm) != 0 && target != nullptr) {
            *input = cosine > halfAngle ? (state == 2 ? 11 : kInputReady) : 3;
        }
        return SenseAttack(this, bits, members.attackDelaySeconds, dt, input, [&] {
            if (cosine <= halfAngle) {
                return 3;
            }
            return state == 2 ? (stateRandom < 60 ? 10 : 11) : kInputReady;
        });
    });
}

void CSMonster1004::Act(int32_t *next, float dt)
{
    RunGrabAct(this, next, dt, monster_1004::kRow, {&HeldHero1004(), &HoldTimer1004(), &EffectStarted1004()});
}
