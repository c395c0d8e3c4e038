// Trap 1202, the timed blast: armed for 5 s in its state 0, it then bursts
// (state 1): poison gas from its node 100090 and a ring that grows to 20
// over the motion, poisoning each hero inside once per burst and again,
// with 0 damage, once the poison has worn off. Fire (attribute 16)
// destroys it at once; it drops nothing and rewards no one.
#include "boss/trap.h"

#include <algorithm>
#include <cmath>

#include "actor/fsf.h"
#include "actor/hero.h"
#include "boss/trap_kit.h"
#include "fx/ge_manager.h"
#include "fx/mat_anim_manager.h"
#include "fx/particle_system.h"
#include "monster/kit_combat.h"
#include "monster/kit_common.h"
#include "monster/kit_condition.h"
#include "monster/kit_messages.h"
#include "stage/character_params.h"
#include "stage/clump_anim_manager.h"

using namespace trap;

namespace trap_1202 {

constexpr int32_t kAiType = 1202;
constexpr int32_t kArmedState = 0;
constexpr int32_t kBlastState = 1;
constexpr int32_t kDyingState = 2;
constexpr int32_t kGoneState = 3;

CSTrap1202 *Self(AiObject *actor) { return static_cast<CSTrap1202 *>(actor); }

// The blast's gas, once per entry into the blast state: the node's two
// systems, following it until their particles are gone.
void StartBlast(AiObject *actor)
{
    const TrapTraits &row = *TrapTraitsOf(kAiType);
    for (int32_t i = 0; i < row.jetCount; ++i) {
        monster::SparkOnFrame(actor, row.jets[i].file, row.jets[i].node, monster::kFrameByUserId,
                              monster::kKeptOnFrame, row.jets[i].startValue, 0, kPrtDrawAfterWorld, row.jetDisplayWord);
    }
    monster::PlaySound(kTrapBlastSound);
}

void BlastOnHeroes(AiObject *actor, float radius)
{
    CFSF *fsf = actor->Fsf();
    const TrapTraits &row = *TrapTraitsOf(kAiType);
    const int32_t damage = monster::AttackDamage(actor, fsf);
    const RwV3d centre = *actor->GetPositionPtr();
    for (int32_t i = 0; i < monster::HeroCount(); ++i) {
        CSHero *hero = monster::Hero(i);
        if (hero == nullptr || hero->removed) {
            continue;
        }
        const RwV3d at = *hero->GetPositionPtr();
        const float dx = at.x - centre.x;
        const float dy = at.y - centre.y;
        const float dz = at.z - centre.z;
        if (!(std::sqrt(dx * dx + dy * dy + dz * dz) <= radius)) {
            continue;
        }
        if (actor->GetLinkValue(hero->aiType) == 0) {
            actor->SetLinkValue(hero->aiType, monster::kStruckMark);
            HitHero(actor, hero, row.blowAttribute, damage);
        } else if (StatusWornOff(hero, row.renewedBy)) {
            HitHero(actor, hero, row.blowAttribute, 0);
        }
    }
}

}  // namespace trap_1202

void CSTrap1202::Think(AiObject *actor, int32_t *next)
{
    const TrapTraits &row = *TrapTraitsOf(trap_1202::kAiType);
    const bool whole = monster::DrainMessages(actor, [&](const MSGData &m) {
        switch (m.kind) {
        case kMsgControl:
            return SwitchByEvent(actor, row, m) != EventSwitch::kNoModel;
        case kMsgHitActor:
            // Fire destroys it, whatever its HP.
            if ((m.word[1] & kAtkBurn) != 0) {
                actor->pendingDamage += monster::ParamsOf(actor).maxHP;
            }
            return true;
        case kMsgSensing:
            if ((m.word[0] & kSenseInView) == 0) {
                if (actor->model != nullptr && !actor->eventModel && !actor->dying) {
                    actor->SetModelInstance(nullptr);
                }
                return true;
            }
            return actor->model != nullptr || TakeTrapModel(actor, row);
        default:
            return true;
        }
    });
    if (whole) {
        monster::FeedInput(actor, next, monster::kInputIdle);
    }
}

void CSTrap1202::Act(AiObject *actor, int32_t *next, float dt)
{
    CSTrap1202 *self = trap_1202::Self(actor);
    if (actor->state == trap_1202::kArmedState) {
        self->armTimer += dt;
        if (self->armTimer >= kTrapArmSeconds) {
            self->armTimer = 0.0f;
            monster::FeedInput(actor, next, kTrapInputSwitchOn);
        }
    }
    if (actor->state == trap_1202::kBlastState && actor->model != nullptr) {
        if (!self->blastStarted) {
            // Each blast grows from nothing again.
            self->blastStarted = true;
            self->blastTimer = 0.0f;
            trap_1202::StartBlast(actor);
        }
        CSClumpAnimManager *animations = monster::AnimationsOf(actor);
        const float duration = animations != nullptr ? animations->GetMotionDuration(actor->Clump()) : 0.0f;
        self->blastTimer = std::min(self->blastTimer + dt, duration);
        if (duration > 0.0f) {
            trap_1202::BlastOnHeroes(actor, self->blastTimer / duration * kTrapBlastRadius);
        }
    }
    if (actor->state != trap_1202::kBlastState) {
        self->blastStarted = false;
    }
    trap::TakeDamage(actor, false);
    StepDeath(actor, next);
    if (actor->state == trap_1202::kDyingState && actor->model != nullptr) {
        if (!actor->deathTint) {
            actor->deathTint = true;
            CSClumpAnimManager *animations = monster::AnimationsOf(actor);
            const float length = animations != nullptr ? animations->GetMotionDuration(actor->Clump()) : 0.0f;
            if (CSMatAnimManager *anims = monster::MatAnims()) {
                anims->Start(actor, kMatAnimOwnerActor, monster::kMatDeathFade, length + 0.25f, true);
            }
        }
        if (!actor->statusParticles) {
            actor->statusParticles = true;
            CCGEManager *effects = monster::Effects();
            if (effects != nullptr && effects->statusParticles != nullptr) {
                effects->statusParticles->Attach(actor);
            }
        }
    }
    if (actor->state == trap_1202::kGoneState && !actor->removed) {
        CCGEManager *effects = monster::Effects();
        if (effects != nullptr && effects->statusParticles != nullptr) {
            effects->statusParticles->Detach(actor);
        }
        actor->statusParticles = false;
        actor->removed = true;
        actor->SetModelInstance(nullptr);
        actor->active = false;
    }
    EndAct(actor);
}

void CSTrap1202::SetState(AiObject *actor, CFSF *fsf, int32_t state)
{
    EnterTrapState(actor, fsf, state, TrapTraitsOf(trap_1202::kAiType)->lastState, {.clearsDeathTint = false});
}

void CSTrap1202::Update(AiObject *actor, float dt)
{
    int32_t next = monster::kNoState;
    if (ThinkThenAct(actor, dt, &next, Think, Act)) {
        SetState(actor, actor->Fsf(), next);
    }
}
