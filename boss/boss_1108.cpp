// Boss 1108 (see boss_1108.h).
#include "boss/boss_1108.h"

#include "actor/fsf.h"
#include "fx/ge_manager.h"
#include "monster/kit_motion.h"
#include "monster/kit_sensing.h"
#include "stage/character_params.h"
#include "stage/world_queries.h"

using namespace boss;

namespace boss_1108 {

constexpr int32_t kInputChase = 6;
constexpr int32_t kInputAlarm = 10;
constexpr int32_t kInputDashEnd = 11;
constexpr int32_t kInputDashTimeUp = 10;
constexpr int32_t kInputStrikeBack = 11;
constexpr int32_t kDashState = 1;
constexpr int32_t kSwarmState = 2;
constexpr int32_t kStrikeState = 3;
constexpr int32_t kTeleportState = 5;
constexpr float kDashSeconds = 3.0f;
constexpr float kDashStoppedShare = 0.3f;  // a clipped step this short ends the dash
constexpr float kSwarmHeight = 35.0f;
constexpr int32_t kStrikeBackBelow = 40;
constexpr int32_t kFirstPartnerId = 100;
constexpr int32_t kLastPartnerId = 105;
// The slots and points by the state random.
constexpr int32_t kSlotBounds[] = {16, 32, 48, 64, 80};
constexpr int32_t kFirstPointBelow = 35;
constexpr int32_t kLastPointFrom = 70;

const monster::HitRules kHits = BossHitRules(CSBoss1108::kTraits);

// The dash and the strike back never end early for a boss placed with
// AIID 1 or 6.
bool EndsEarly(const AiObject *boss) { return boss->aiId != 1 && boss->aiId != 6; }

void StartTeleportEffect(const RwV3d &at)
{
    CCGEManager *effects = monster::Effects();
    if (effects != nullptr && effects->bigShot3218400 != nullptr) {
        effects->bigShot3218400->Start(at);
    }
}

}  // namespace boss_1108

void EnterBoss1108State(AiObject *boss, CFSF *fsf, int32_t state) { EnterBossState(boss, fsf, state, kBoss1108Traits); }

void CSBoss1108::Update(float dt) { RunBossUpdate(this, dt); }

void CSBoss1108::SetState(CFSF *fsf, int32_t state) { EnterBoss1108State(this, fsf, state); }

void CSBoss1108::Think(int32_t *next, float dt)
{
    RunBossMessages(
        this, next, kTraits, {},
        [&](const MSGData &m, int32_t input) { return monster::ClassifyHit(this, m, input, boss_1108::kHits); },
        [&](int32_t bits, int32_t *input) {
            *input = SenseKeptTarget(this, bits, *input, boss_1108::kInputChase, dt, false);
            SenseAlarmRemembering(this, bits, boss_1108::kInputAlarm, boss_1108::kSwarmState, &rememberedPoint, input);
            if (!SenseAttackInRange(this, bits, &inRange)) {
                return false;
            }
            if (inRange) {
                *input = boss_1108::kInputChase;
            }
            return true;
        });
}

void CSBoss1108::Act(int32_t *next, float dt)
{
    if (partnersFilled == 0) {
        FillPartners();
    }
    RunBossAct(this, next, dt);
}

void CSBoss1108::FillPartners()
{
    int32_t slot = 0;
    for (AiObject *actor = monster::FirstActor(); actor != nullptr && slot < kPartnerSlots; actor = actor->next) {
        if (actor->aiId >= boss_1108::kFirstPartnerId && actor->aiId <= boss_1108::kLastPartnerId) {
            partners[slot++] = actor;
        }
    }
    partnersFilled = 1;
}

BossGoal CSBoss1108::ChooseGoal(const BossWay &way)
{
    BossWay toward = way;
    if (target != nullptr && pathFollowing && inRange) {
        toward.point = *target->GetPositionPtr();
    }
    return StepGoal(this, toward);
}

bool CSBoss1108::PartnerReady(const AiObject *partner)
{
    return partner != nullptr && !partner->removed && !partner->busy && !partner->grabbed && partner->partnerReady != 0;
}

void CSBoss1108::Teleport()
{
    int32_t slot = 0;
    while (slot < static_cast<int32_t>(std::size(boss_1108::kSlotBounds)) &&
           stateRandom >= boss_1108::kSlotBounds[slot]) {
        ++slot;
    }
    const RwV3d here = *GetPositionPtr();
    AiObject *partner = partners[slot];
    if (PartnerReady(partner)) {
        const RwV3d there = *partner->GetPositionPtr();
        boss_1108::StartTeleportEffect(here);
        boss_1108::StartTeleportEffect(there);
        partner->SetPosition(here);
        SetPosition(there);
        return;
    }
    const int32_t point =
        stateRandom < boss_1108::kFirstPointBelow ? 0 : (stateRandom >= boss_1108::kLastPointFrom ? 2 : 1);
    boss_1108::StartTeleportEffect(here);
    boss_1108::StartTeleportEffect(teleportPoints[point]);
    SetPosition(teleportPoints[point]);
}

void CSBoss1108::StepDash(int32_t *next, float dt)
{
    if (state != boss_1108::kDashState) {
        dashTimer = 0.0f;  // each dash has its 3 s
        return;
    }
    CFSF *fsf = Fsf();
    const RwV3d toward = target != nullptr ? *target->GetPositionPtr() : home;
    const RwV3d direction = V3Normalized(monster::Flat(V3Sub(toward, *GetPositionPtr())), {0.0f, 0.0f, 0.0f});
    if (fsf != nullptr) {
        speed += fsf->GetAcceleration(state) * dt;
    }
    const RwV3d step = V3Scale(direction, speed * dt);
    RwV3d clipped = step;
    const float radius = monster::ParamsOf(this).radius;
    ClipStepAgainstWorld(this, radius, &clipped);
    bool touched = false;
    RwV3d pushOut = {0.0f, 0.0f, 0.0f};
    for (AiObject *other = monster::FirstActor(); other != nullptr && !touched; other = other->next) {
        if (other == this || other->busy || other->Params() == nullptr) {
            continue;
        }
        touched = SphereOverlapPushOut(*GetPositionPtr(), radius, *other->GetPositionPtr(),
                                       monster::ParamsOf(other).radius, &pushOut) != 0;
    }
    const bool stopped = V3Length(clipped) <= boss_1108::kDashStoppedShare * V3Length(step);
    if ((stopped || touched) && speed != 0.0f && boss_1108::EndsEarly(this)) {
        monster::FeedInput(this, next, boss_1108::kInputDashEnd);
        return;
    }
    if (dashTimer < boss_1108::kDashSeconds) {
        dashTimer += dt;
    }
    if (dashTimer >= boss_1108::kDashSeconds) {
        monster::FeedInput(this, next, boss_1108::kInputDashTimeUp);
        dashTimer = 0.0f;
    }
}

void CSBoss1108::StateWork(int32_t *next, float dt)
{
    StepDash(next, dt);
    CCGEManager *effects = monster::Effects();
    if (FirstInVisit(this, boss_1108::kSwarmState, &swarmDone, effects != nullptr && monster::MatAnims() != nullptr)) {
        if (effects->bugs != nullptr) {
            effects->bugs->Start(V3Add(*GetPositionPtr(), {0.0f, boss_1108::kSwarmHeight, 0.0f}), target);
        }
    }
    if (state == boss_1108::kStrikeState) {
        if (stateRandom < boss_1108::kStrikeBackBelow && boss_1108::EndsEarly(this)) {
            monster::FeedInput(this, next, boss_1108::kInputStrikeBack);
        }
    }
    if (FirstInVisit(this, boss_1108::kTeleportState, &teleportDone, true)) {
        Teleport();
    }
}

BossMoveRule CSBoss1108::MoveRule() const
{
    const bool dashing = state == boss_1108::kDashState;
    return {.turn = dashing, .collide = dashing};
}
