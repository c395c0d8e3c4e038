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
using monster::kInputChase;
using monster::kInputIdle;

namespace boss_1104 {

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

}  // namespace boss_1104

void CSBoss1104::Update(float dt) { RunBossUpdate(this, dt); }

void CSBoss1104::SetState(CFSF *fsf, int32_t state) { EnterBossState(this, fsf, state, kTraits); }

void CSBoss1104::ReleaseOf(AiObject *actor)
{
    GiveBackBeam(&boss_1104::Self(actor)->Beam);
    actor->Release();
}

void CSBoss1104::ModelGone(AiObject *actor) { LetGoOfBeam(&boss_1104::Self(actor)->Beam); }

void CSBoss1104::Think(int32_t *next, float /*dt*/)
{
    RunBossMessages(
        this, next, kTraits, {.modelGone = &ModelGone},
        [&](const MSGData &m, int32_t input) { return monster::ClassifyHit(this, m, input, boss_1104::kHits); },
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
                *input = stateRandom < boss_1104::kCastBelow ? boss_1104::kInputCast : boss_1104::kInputAlarm;
            }
            if ((bits & kSenseAttack) != 0) {
                if (target == nullptr) {
                    return false;
                }
                *input = boss_1104::kInputInReach;
            }
            return true;
        });
}

void CSBoss1104::StepCircling(int32_t *next, float dt, BossGoal *goal)
{
    const RwV3d position = *GetPositionPtr();
    const RwV3d facing = boss_1104::Facing(this);
    const RwV3d back = V3Sub(position, V3Scale(facing, boss_1104::kBackStep));
    if (state == boss_1104::kBackOffState) {
        BackOffTimer += dt;
        if (BackOffTimer < boss_1104::kBackOffSeconds) {
            goal->point = back;
        } else {
            monster::FeedInput(this, next, boss_1104::kInputBackedOff);
            BackOffTimer = 0.0f;
        }
    } else {
        BackOffTimer = 0.0f;
    }
    if (state != boss_1104::kCircleState) {
        CircleTimer = 0.0f;
        SideChosen = false;
        return;
    }
    CircleTimer += dt;
    if (CircleTimer >= boss_1104::kCircleSeconds) {
        monster::FeedInput(this, next, stateRandom < 50 ? boss_1104::kInputCircleMore : boss_1104::kInputCircleEnd);
        CircleTimer = 0.0f;
        SideChosen = false;
        return;
    }
    if (target == nullptr) {
        return;
    }
    if (monster::GroundDistance(position, *target->GetPositionPtr()) >= boss_1104::kCircleFar) {
        if (!SideChosen) {
            CircleSide = !CircleSide;
            SideChosen = true;
        }
        RwV3d up;
        GetUp(&up);
        const RwV3d side = V3Normalized(V3Cross(facing, up), {1.0f, 0.0f, 0.0f});
        goal->point = V3Add(position, CircleSide ? side : V3Scale(side, -1.0f));
    } else {
        goal->point = back;
    }
}

void CSBoss1104::StepSpells()
{
    CCGEManager *effects = monster::Effects();
    const RwV3d position = *GetPositionPtr();
    const RwV3d ahead = V3Add(position, boss_1104::Facing(this));
    if (FirstInVisit(this, boss_1104::kTornadoState, &TornadoDone,
                     ClockFrame(this) >= boss_1104::kTornadoFrame && target != nullptr && effects != nullptr &&
                         effects->tornado != nullptr)) {
        effects->tornado->Start(ahead);
    }
    if (FirstInVisit(
            this, boss_1104::kBoltState, &BoltDone,
            ClockFrame(this) >= boss_1104::kBoltFrame && effects != nullptr && effects->bigShot3211200 != nullptr)) {
        const bool aimed = target != nullptr && model != nullptr;
        effects->bigShot3211200->Spawn(FramePositionOr(this, boss_1104::kWeapon),
                                      aimed ? FramePositionOr(target, boss_1104::kFoeFrame) : ahead);
    }
    if (FirstInVisit(this, boss_1104::kVinesState, &VinesDone,
                     ClockFrame(this) >= boss_1104::kVinesFrame && effects != nullptr && effects->vines != nullptr)) {
        effects->vines->Start(position);
    }
}

void CSBoss1104::SendPartnerAway()
{
    if (Partner != nullptr) {
        Partner->Called = false;
    }
}

void CSBoss1104::StepCalls(int32_t *next, float dt)
{
    if (!PartnerLooked) {
        for (AiObject *actor = monster::FirstActor(); actor != nullptr; actor = actor->next) {
            if (actor->aiType == boss_1104::kPartnerType) {
                Partner = static_cast<CSBoss1105 *>(actor);
                break;
            }
        }
        PartnerLooked = true;
    }
    const int32_t maxHP = monster::ParamsOf(this).maxHP;
    for (int32_t i = 0; i < 3; ++i) {
        // The first call happens with or without a partner; the later ones
        // only while the partner is there and not out.
        if (i > 0) {
            if (Partner == nullptr || Partner->AppearDone) {
                continue;
            }
            if (PartnerCalled) {
                Partner->Called = false;
            }
        }
        const int32_t threshold = static_cast<int32_t>(static_cast<float>(maxHP) * boss_1104::kCallShares[i]);
        if (hp > threshold || CallDone[i]) {
            continue;
        }
        if (monster::FeedInput(this, next, kBossInputHpPhase) == boss_1104::kCallState) {
            for (int32_t j = 0; j <= i; ++j) {
                CallDone[j] = true;
            }
            PartnerCalled = true;
            CallTimer = 0.0f;
        }
    }
    if (!PartnerCalled) {
        return;
    }
    if (CallTimer < boss_1104::kCallSeconds) {
        if (Partner != nullptr && !Partner->AppearDone) {
            Partner->Called = true;
            const RwV3d facing = boss_1104::Facing(this);
            Partner->SetPosition(V3Add(*GetPositionPtr(), V3Scale(facing, boss_1104::kPartnerAhead)));
            Partner->SetDirection(facing);
        }
        CallTimer += dt;
    } else {
        SendPartnerAway();
        PartnerCalled = false;
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
    StepBeam(this, &Beam, monster::IsOneOf(state, boss_1104::kBeamStates), boss_1104::kBeamParticle,
             boss_1104::kWeapon);
    if (monster::IsOneOf(state, boss_1104::kNoNewStatusStates)) {
        statusToApply &= ~(monster::kStatusBurn | monster::kStatusPoison);
    }
    StepStatus(this, dt);
    StepDamage(this, InHitStopState(this, kTraits));
    StepHoldAndEntrySound(this, kTraits, kSounds);
    if (state == kTraits.guardState && HitWithoutGuardBreak(this)) {
        monster::PlaySound(boss_1104::kGuardSound);
    }
    monster::StepHitStop(this, dt);
    if (hp < 1) {
        SendPartnerAway();
        LetGoOfBeam(&Beam);
    }
    StepBossDeath(this, next);
    StepBossEnd(this, kTraits);
    StepFlags(this, kTraits, dt);
    const bool walking = state == boss_1104::kCircleState || state == boss_1104::kBackOffState;
    StepMove(this, goal, dt, {.turn = false, .collide = walking});
    StepHandOver(this);
}
