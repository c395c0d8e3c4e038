// The steps the traps share (see trap_kit.h).
#include "boss/trap_kit.h"

#include <algorithm>
#include <cmath>

#include "actor/ai_msg_pool.h"
#include "actor/fsf.h"
#include "actor/hero.h"
#include "actor/item_manager.h"
#include "actor/reward.h"
#include "app/game_rand.h"
#include "fx/ge_manager.h"
#include "fx/mat_anim_manager.h"
#include "fx/particle_manager.h"
#include "fx/xdt_effect_pool.h"
#include "monster/kit_combat.h"
#include "monster/kit_common.h"
#include "monster/kit_condition.h"
#include "monster/kit_messages.h"
#include "monster/kit_state.h"
#include "stage/character_params.h"
#include "stage/clump_anim_manager.h"
#include "stage/model_template.h"
#include "stage/stage_manager.h"
#include "stage/world_queries.h"

namespace trap {

namespace {

CSStageManager *Stage() { return g_pStageManager; }

// A matrix in the parent's space whose at-axis points from the parent's
// origin to the node (a particle system emits along its at-axis).
RwMatrix TowardNode(const RwFrame *node)
{
    RwMatrix m;
    RwMatrixSetIdentity(&m);
    const RwV3d offset = const_cast<RwFrame *>(node)->modelling.pos;
    const float length = std::sqrt(offset.x * offset.x + offset.y * offset.y + offset.z * offset.z);
    if (!(length > 0.0f)) {
        return m;
    }
    const RwV3d at = {offset.x / length, offset.y / length, offset.z / length};
    // Any up not along the at-axis; right = up x at, up again = at x right.
    RwV3d up = std::fabs(at.y) < 0.9f ? RwV3d{0.0f, 1.0f, 0.0f} : RwV3d{1.0f, 0.0f, 0.0f};
    RwV3d right;
    RwV3dCrossProduct(&right, &up, &at);
    RwV3dNormalize(&right, &right);
    RwV3dCrossProduct(&up, &at, &right);
    m.right = right;
    m.up = up;
    m.at = at;
    RwMatrixUpdateFlags(&m, nullptr);
    return m;
}

}  // namespace

bool TakeTrapModel(AiObject *actor, const TrapTraits &row)
{
    if (!monster::TakeModel(actor)) {
        return false;
    }
    // The model's frame was written from the trap's own position and axes;
    // only a snap to the ground moves it, and the trap then takes it back.
    if (row.snapsToGround && Stage() != nullptr && Stage()->world != nullptr && actor->Clump() != nullptr) {
        SnapToGround(Stage()->world, actor->Clump(), 2);
        actor->SyncFrameAxes();
    }
    return true;
}

EventSwitch SwitchByEvent(AiObject *actor, const TrapTraits &row, const MSGData &message)
{
    const int32_t code = message.word[1];
    const int32_t value = message.word[2];
    EventSwitch result = EventSwitch::kRead;
    if (code == kCtlShowHold && value != 0 && value == actor->eventId) {
        if (actor->model == nullptr && !TakeTrapModel(actor, row)) {
            return EventSwitch::kNoModel;
        }
        actor->eventModel = true;
        result = EventSwitch::kSwitchedOn;
    } else if (code == kCtlRelease) {
        actor->eventModel = false;
    }
    if ((code & kCtlDropOverride) != 0) {
        actor->dropOverrideId = value;
        actor->dropOverride = true;
    }
    return result;
}

void TakeHit(AiObject *actor, const MSGData &message)
{
    if ((message.word[1] & (kAtkPlain | kAtkHeavy)) != 0) {
        monster::AddBlowDamage(actor, message.word[2]);
    }
}

bool EnterTrapState(AiObject *actor, CFSF *fsf, int32_t state, int32_t lastState, const SetStateRules &rules)
{
    if (state < 0 || state > lastState) {
        return false;
    }
    CSClumpAnimManager *animations = monster::AnimationsOf(actor);
    if (actor->Clump() != nullptr && animations != nullptr) {
        animations->ChangeMotion(actor->Clump(), state, fsf != nullptr ? fsf->GetTransitionBlend() : 0.0f);
    }
    const MotionRange *range = actor->modelTemplate != nullptr ? actor->modelTemplate->GetMotionRange(state) : nullptr;
    actor->animClock = range != nullptr ? static_cast<float>(range->startFrame) * kSecondsPerAnimFrame : 0.0f;
    actor->animEnded = false;
    actor->state = state;
    if (rules.clearsHitMarks) {
        for (int32_t i = 0; i < monster::HeroCount(); ++i) {
            if (CSHero *hero = monster::Hero(i)) {
                actor->SetLinkValue(hero->aiType, 0);
            }
        }
    }
    if (rules.clearsDeathTint) {
        actor->deathTint = false;
    }
    if (rules.marksEntry) {
        actor->stateEntered = true;
    }
    return true;
}

void TakeDamage(AiObject *actor, bool withSound)
{
    const bool hurts = actor->damageToApply > 0 && actor->Fsf() != nullptr && actor->Fsf()->GetIsHurt(actor->state) != 0;
    monster::TakeDamage(actor, false);
    if (hurts && withSound) {
        monster::PlaySound(kTrapHurtSound);
    }
}

bool StepDeath(AiObject *actor, int32_t *next)
{
    if (actor->hp >= 1) {
        return false;
    }
    monster::FeedInput(actor, next, monster::kInputDeath);
    actor->dying = true;
    return true;
}

void LetGoJets(const JetSet &set)
{
    for (CSParticleSystem *&jet : set.jets) {
        if (jet != nullptr) {
            jet->StopEmit();
            CSParticleManager::GiveBackWhenDead(jet);
            jet = nullptr;
        }
    }
}

void StartJets(AiObject *actor, const TrapTraits &row, const JetSet &set)
{
    if (*set.started || actor->model == nullptr) {
        return;
    }
    CSParticleManager *particles = Stage() != nullptr ? Stage()->particleManager : nullptr;
    for (int32_t i = 0; i < row.jetCount && i < static_cast<int32_t>(set.jets.size()); ++i) {
        const TrapJet &jet = row.jets[i];
        RwFrame *node = actor->model->GetTaggedFrame(jet.node);
        RwFrame *parent = node != nullptr ? RwFrameGetParent(node) : nullptr;
        if (particles == nullptr || parent == nullptr) {
            continue;
        }
        CSParticleSystem *system = particles->CreateSystem(jet.file);
        if (system == nullptr) {
            continue;
        }
        const RwMatrix toward = TowardNode(node);
        system->AttachToFrame(parent);
        system->SetMatrix(&toward);
        system->SetEmitting(true, jet.startValue);
        system->displayMode[0] = kPrtDrawAfterWorld;
        system->displayMode[1] = row.jetDisplayWord;
        set.jets[static_cast<size_t>(i)] = system;
    }
    *set.started = true;
}

void HitHero(AiObject *trap, AiObject *hero, int32_t attribute, int32_t damage)
{
    monster::PostHeroHit(trap, hero, attribute, damage);
}

bool StatusWornOff(AiObject *hero, TrapStatus status)
{
    if (!monster::IsHero(hero)) {
        return true;
    }
    const auto *h = static_cast<const CSHero *>(hero);
    switch (status) {
    case TrapStatus::kBurn:
        return !h->burnEffect;
    case TrapStatus::kPoison:
        return !h->poisonTint;
    default:
        return true;
    }
}

void BlowOnHeroes(AiObject *actor, const TrapTraits &row, const JetSet &set)
{
    CFSF *fsf = actor->Fsf();
    if (actor->model == nullptr || fsf == nullptr) {
        return;
    }
    const int32_t damage = monster::AttackDamage(actor, fsf);
    for (int32_t i = 0; i < monster::HeroCount(); ++i) {
        CSHero *hero = monster::Hero(i);
        if (hero == nullptr || hero->removed) {
            continue;
        }
        int32_t weapon = 0;
        for (int32_t w = 0; w < fsf->GetNumOfWeapon(actor->state); ++w) {
            const int32_t id = fsf->GetWeaponId(actor->state, w);
            if (CSModelInstance::PickTaggedPart(actor->model, hero->model, id, monster::kWeaponPickLength, nullptr)) {
                weapon = id;
                break;
            }
        }
        if (weapon == 0) {
            continue;
        }
        if (weapon != *set.lastWeaponId) {
            *set.lastWeaponId = weapon;
            actor->SetLinkValue(hero->aiType, 0);
        }
        if (!hero->hurtable) {
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

void GoneWithReward(AiObject *actor, const TrapTraits &row)
{
    const RwV3d where = *actor->GetPositionPtr();
    CSXdtEffectPool *drops = Stage() != nullptr ? Stage()->xdtEffectPool : nullptr;
    if (actor->dropOverride) {
        if (drops != nullptr) {
            drops->Spawn(actor->dropOverrideId, where, 0);
        }
    } else {
        CSItemManager *items = Stage() != nullptr ? Stage()->itemManager : nullptr;
        const int32_t item = items != nullptr ? items->RollDrop(actor->itemType) : 0;
        if (item != 0) {
            if (drops != nullptr) {
                drops->Spawn(item, where, 1);
            }
        } else if (CSHero *hero = monster::Hero(0)) {
            // The kill and the reward go to hero 0; a stage without one has
            // no one to credit.
            game::Srand(monster::StateRandomSeed());
            ++hero->killCount;
            const int32_t pieces = (game::Rand() % row.rewardSpan + row.rewardBase) *
                                   RewardMultiplier(hero->hitCounter);
            CCGEManager *effects = monster::Effects();
            if (effects != nullptr && effects->reward != nullptr && pieces > 0) {
                effects->reward->Spawn(where, pieces);
            }
        }
    }
    actor->removed = true;
    actor->SetModelInstance(nullptr);
    actor->active = false;
}

void PlayStateSounds(AiObject *actor)
{
    static constexpr monster::StateSound kSounds[] = {
        {1, kTrapState1Sound},
        {2, kTrapState2Sound},
        {3, kTrapState3Sound},
    };
    monster::PlayEntrySounds(actor, kSounds);
}

void EndAct(AiObject *actor)
{
    CFSF *fsf = actor->Fsf();
    actor->hurtable = fsf != nullptr && fsf->GetIsHurt(actor->state) != 0;
    monster::HandOver(actor);
}

}  // namespace trap
