// Boss 1104 (see boss_1104.h).
#include "boss/boss_1104.h"

#include "boss/boss_1105.h"
#include "boss/boss_patterns.h"
#include "fx/ge_manager.h"
#include "monster/kit_condition.h"
#include "monster/kit_motion.h"
#include "monster/kit_sensing.h"
#include "stage/character_params.h"

using namespace boss;

namespace {

using monster::kInputChase;
using monster::kInputIdle;
constexpr int32_t kInputCast = 10;
constexpr int32_t kInputAlarm = 6;
constexpr int32_t kCastBelow = 40;
constexpr int32_t kInputInReach = 21;
constexpr int32_t kInputBackedOff = 2;
constexpr int32_t kInputCircleMore = 1;
constexpr int32_t kInputCircleEnd = 11;
constexpr int32_t kCircleState = 1;
constexpr int32_t kBackOffState = 2;
constexpr int32_t kTornadoState = 3;
constexpr int32_t kBoltState = 4;
constexpr int32_t kVinesState = 5;
constexpr int32_t kCallState = 6;
constexpr int32_t kBeamStates[] = {3, 4, 5, 7};
constexpr int32_t kNoNewStatusStates[] = {6, 7};
constexpr float kBackOffSeconds = 2.0f;
constexpr float kCircleSeconds = 3.0f;
constexpr float kCircleFar = 35.0f;
constexpr float kBackStep = 2.0f;
constexpr float kTornadoFrame = 235.0f;
constexpr float kBoltFrame = 545.0f;
constexpr float kVinesFrame = 740.0f;
constexpr int32_t kWeapon = 100140;
constexpr int32_t kFoeFrame = 100090;
constexpr const char *kBeamParticle = "3210400.zus";
constexpr float kCallSeconds = 30.0f;
constexpr float kPartnerAhead = 2.0f;
constexpr float kCallShares[3] = {0.7f, 0.4f, 0.1f};
constexpr int32_t kPartnerType = 1105;
constexpr int32_t kGuardSound = 6300210;

const monster::HitRules kHits = BossHitRules(CSBoss1104::kTraits);

CSBoss1104 *Self(AiObject *actor) { return static_cast<CSBoss1104 *>(actor); }

RwV3d Facing(AiObject *boss)
{
    RwV3d facing;
    boss->GetDirection(&facing);
    return facing;
}

}  // namespace

void CSBoss1104::Update(float dt) { RunBossUpdate(this, dt); }

void CSBoss1104::SetState(CFSF *fsf, int32_t state) { EnterBossState(this, fsf, state, kTraits); }

void CSBoss1104::ReleaseOf(AiObject *actor)
{
    GiveBackBeam(&Self(actor)->Beam);
    actor->Release();
}

void CSBoss1104::ModelGone(AiObject *actor) { LetGoOfBeam(&Self(actor)->Beam); }

void CSBoss1104::Think(int32_t *next, float /*dt*/)
{
    RunBossMessages(
        this, next, kTraits, {.modelGone = &ModelGone},
        [&](const MSGData &m, int32_t input) { return monster::ClassifyHit(this, m, input, kHits); },
        [&](int32_t bits, int32_t *input) {
            if ((bits & kSenseNear) != 0) {
                monster::RefreshTarget(this);
            } else {
                target = nullptr;
            }
            if (target != nullptr) {
                *input = kInputChase;
            } else {
                *input = monster::HomeDistance(this) <= kBossHomeDistance ? kInputIdle : kInputChase;
            }
            if ((bits & kSenseAlarm) != 0 && target != nullptr) {
                *input = stateRandom < kCastBelow ? kInputCast : kInputAlarm;
            }
            if ((bits & kSenseAttack) != 0) {
                if (target == nullptr) {
                    return false;
                }
                *input = kInputInReach;
            }
            return true;
        });
}

void CSBoss1104::StepCircling(int32_t *next, float dt, BossGoal *goal)
{
    const RwV3d position = *GetPositionPtr();
    const RwV3d facing = Facing(this);
    const RwV3d back = V3Sub(position, V3Scale(facing, kBackStep));
    if (state == kBackOffState) {
        BackOffTimer += dt;
        if (BackOffTimer < kBackOffSeconds) {
            goal->point = back;
        } else {
            monster::FeedInput(this, next, kInputBackedOff);
            BackOffTimer = 0.0f;
        }
    } else {
        BackOffTimer = 0.0f;
    }
    if (state != kCircleState) {
        CircleTimer = 0.0f;
        SideChosen = 0;
        return;
    }
    CircleTimer += dt;
    if (CircleTimer >= kCircleSeconds) {
        monster::FeedInput(this, next, stateRandom < 50 ? kInputCircleMore : kInputCircleEnd);
        CircleTimer = 0.0f;
        SideChosen = 0;
        return;
    }
    if (target == nullptr) {
        return;
    }
    if (monster::GroundDistance(position, *target->GetPositionPtr()) >= kCircleFar) {
        if (SideChosen == 0) {
            CircleSide = CircleSide == 0 ? 1 : 0;
            SideChosen = 1;
        }
        RwV3d up;
        GetUp(&up);
        const RwV3d side = V3Normalized(V3Cross(facing, up), {1.0f, 0.0f, 0.0f});
        goal->point = V3Add(position, CircleSide != 0 ? side : V3Scale(side, -1.0f));
    } else {
        goal->point = back;
    }
}

void CSBoss1104::StepSpells()
{
    CCGEManager *effects = monster::Effects();
    const RwV3d position = *GetPositionPtr();
    const RwV3d ahead = V3Add(position, Facing(this));
    if (FirstInVisit(this, kTornadoState, &TornadoDone,
                     ClockFrame(this) >= kTornadoFrame && target != nullptr && effects != nullptr &&
                         effects->tornado != nullptr)) {
        effects->tornado->Start(ahead);
    }
    if (FirstInVisit(this, kBoltState, &BoltDone,
                     ClockFrame(this) >= kBoltFrame && effects != nullptr && effects->bigShot3211200 != nullptr)) {
        const bool aimed = target != nullptr && model != nullptr;
        effects->bigShot3211200->Spawn(FramePositionOr(this, kWeapon),
                                      aimed ? FramePositionOr(target, kFoeFrame) : ahead);
    }
    if (FirstInVisit(this, kVinesState, &VinesDone,
                     ClockFrame(this) >= kVinesFrame && effects != nullptr && effects->vines != nullptr)) {
        effects->vines->Start(position);
    }
}

void CSBoss1104::SendPartnerAway()
{
    if (Partner != nullptr) {
        Partner->Called = 0;
    }
}

void CSBoss1104::StepCalls(int32_t *next, float dt)
{
    if (PartnerLooked == 0) {
        for (AiObject *actor = monster::FirstActor(); actor != nullptr; actor = actor->next) {
            if (actor->aiType == kPartnerType) {
                Partner = static_cast<CSBoss1105 *>(actor);
                break;
            }
        }
        PartnerLooked = 1;
    }
    const int32_t maxHP = monster::ParamsOf(this).maxHP;
    for (int32_t i = 0; i < 3; ++i) {
        // The first call happens with or without a partner; the later ones
        // only while the partner is there and not out.
        if (i > 0) {
            if (Partner == nullptr || Partner->AppearDone != 0) {
                continue;
            }
            if (PartnerCalled != 0) {
                Partner->Called = 0;
            }
        }
        const int32_t threshold = static_cast<int32_t>(static_cast<float>(maxHP) * kCallShares[i]);
        if (hp > threshold || CallDone[i] != 0) {
            continue;
        }
        if (monster::FeedInput(this, next, kBossInputHpPhase) == kCallState) {
            for (int32_t j = 0; j <= i; ++j) {
                CallDone[j] = 1;
            }
            PartnerCalled = 1;
            CallTimer = 0.0f;
        }
    }
    if (PartnerCalled == 0) {
        return;
    }
    if (CallTimer < kCallSeconds) {
        if (Partner != nullptr && Partner->AppearDone == 0) {
            Partner->Called = 1;
            const RwV3d facing = Facing(this);
            Partner->SetPosition(V3Add(*GetPositionPtr(), V3Scale(facing, kPartnerAhead)));
            Partner->SetDirection(facing);
        }
        CallTimer += dt;
    } else {
        SendPartnerAway();
        PartnerCalled = 0;
    }
}

void CSBoss1104::Act(int32_t *next, float dt)
{
    const BossWay way = StepWaypoint(this, dt);
    BossGoal goal = StepGoal(this, way);
    StepCircling(next, dt, &goal);
    TurnTowardFoe(this, dt);
    StepSpells();
    StepCalls(next, dt);
    StepRecovery(this, next, dt, kTraits, &PeekTimer, true, true);
    guarding = StepGuardState(this, next, dt, kTraits, &GuardTimer, true);
    StepBeam(this, &Beam, monster::IsOneOf(state, kBeamStates), kBeamParticle, kWeapon);
    if (monster::IsOneOf(state, kNoNewStatusStates)) {
        statusToApply &= ~(monster::kStatusBurn | monster::kStatusPoison);
    }
    StepStatus(this, dt);
    StepDamage(this, InHitStopState(this, kTraits));
    StepHoldAndEntrySound(this, kTraits, kSounds);
    if (state == kTraits.guardState && HitWithoutGuardBreak(this)) {
        monster::PlaySound(kGuardSound);
    }
    monster::StepHitStop(this, dt);
    if (hp < 1) {
        SendPartnerAway();
        LetGoOfBeam(&Beam);
    }
    StepBossDeath(this, next);
    StepBossEnd(this, kTraits);
    StepFlags(this, kTraits, dt);
    const bool walking = state == kCircleState || state == kBackOffState;
    StepMove(this, goal, dt, {.turn = false, .collide = walking});
    StepHandOver(this);
}
