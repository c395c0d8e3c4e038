// Blows, pushes, the charge and the seize (see kit_combat.h).
#include "monster/kit_combat.h"

#include <algorithm>
#include <cmath>

#include "actor/ai_msg_pool.h"
#include "actor/fsf.h"
#include "actor/hero.h"
#include "app/acos_table.h"
#include "app/int_range.h"
#include "fx/decals.h"
#include "fx/particle_manager.h"
#include "stage/character_params.h"
#include "stage/model_template.h"
#include "stage/stage_manager.h"
#include "stage/world_queries.h"

namespace monster {

namespace {

// Whether the grab cone of the actor reaches the hero.
bool InGrabCone(AiObject *actor, CSHero *hero, const HeroHitRules &rules)
{
    const CharacterParams &params = ParamsOf(actor);
    const RwV3d toward = V3Sub(*hero->GetPositionPtr(), *actor->GetPositionPtr());
    const float distance = V3Length(toward);
    if (!(distance > 0.0f)) {
        return false;
    }
    RwV3d facing;
    actor->GetDirection(&facing);
    return V3Dot(V3Scale(toward, 1.0f / distance), facing) >= CosDeg(params.grabOrBleedHAngle + rules.grabConeWiden) &&
           distance <= params.grabOrBleedRange + rules.grabConeLonger;
}

}  // namespace

int32_t AttackDamage(AiObject *actor, CFSF *fsf)
{
    if (fsf == nullptr) {
        return 0;
    }
    // In doubles: a LevelAppend of any size the file holds (up to the float
    // range) times any attack value stays defined, held to the int range.
    const double value = static_cast<double>(fsf->GetAttackValue(actor->state)) *
                         std::trunc(static_cast<double>(ParamsOf(actor).levelAppend));
    return game::ClampToInt32(value);
}

bool WeaponTouches(AiObject *actor, CFSF *fsf, AiObject *other, int32_t *weaponId, RwV3d *contact)
{
    if (actor->model == nullptr || fsf->IsAttackState(actor->state) == 0) {
        return false;
    }
    const int32_t weapons = fsf->GetNumOfWeapon(actor->state);
    for (int32_t i = 0; i < weapons; ++i) {
        const int32_t id = fsf->GetWeaponId(actor->state, i);
        if (CSModelInstance::PickTaggedPart(actor->model, other->model, id, kWeaponPickLength, contact)) {
            *weaponId = id;
            return true;
        }
    }
    return false;
}

void PostHeroHit(AiObject *sender, AiObject *target, int32_t bits, int32_t damage)
{
    if (CAiMsgPool *pool = Messages()) {
        pool->Post(kMsgHitHero, sender, target, 0, bits, damage);
    }
}

void HitHeroes(AiObject *actor, int32_t *next, const HeroHitRules &rules,
               void (*onFresh)(AiObject *actor, const FreshHit &hit))
{
    CFSF *fsf = actor->Fsf();
    if (fsf == nullptr || actor->state == rules.noHitState) {
        return;
    }
    const bool charging = actor->state == rules.chargeState;
    for (int32_t i = 0; i < HeroCount(); ++i) {
        CSHero *hero = Hero(i);
        if (hero == nullptr || (rules.activeHeroesOnly ? !hero->active : hero->removed)) {
            continue;
        }
        FreshHit hit = {hero, 0, *hero->GetPositionPtr(), false};
        bool touched = false;
        if (actor->state == rules.grabConeState) {
            touched = InGrabCone(actor, hero, rules);
        } else {
            touched = WeaponTouches(actor, fsf, hero, &hit.weaponId, &hit.contact);
            hit.byWeapon = touched;
        }
        if (!touched || !hero->hurtable) {
            if (charging && (rules.missAlwaysFeeds || Unsigned(*next) < Unsigned(rules.missKeepsFrom))) {
                FeedInput(actor, next, kInputIdle);
            }
            continue;
        }
        if (charging) {
            FeedInput(actor, next, kInputChargeHit);
        }
        if (actor->GetLinkValue(hero->aiType) != 0) {
            continue;
        }
        actor->SetLinkValue(hero->aiType, kStruckMark);
        PostHeroHit(actor, hero, fsf->GetAttackAttribute(actor->state), AttackDamage(actor, fsf));
        if (onFresh != nullptr) {
            onFresh(actor, hit);
        }
    }
}

namespace {

constexpr const char *kBloodSpark = "3400400.zus";
constexpr const char *kGuardSparkA = "3402601.zus";
constexpr const char *kGuardSparkB = "3402600.zus";
constexpr float kBloodRadius = 1.0f;

void Blood(const RwV3d &where)
{
    if (g_pStageManager != nullptr && g_pStageManager->decalManager != nullptr) {
        g_pStageManager->decalManager->Spawn(where, kBloodRadius);
    }
}

}  // namespace

void ShowUnguardedBlow(AiObject *struck, const RwV3d &contact)
{
    Blood(*struck->GetPositionPtr());
    SparkAt(kBloodSpark, contact);
}

void ShowBlowOnHero(AiObject *actor, const FreshHit &hit)
{
    CSHero *hero = hit.hero;
    if (!hero->guarding) {
        ShowUnguardedBlow(hero, hit.contact);
        return;
    }
    RwV3d heroFacing;
    RwV3d facing;
    hero->GetDirection(&heroFacing);
    actor->GetDirection(&facing);
    if (V3Dot(heroFacing, facing) <= 0.0f) {
        SparkOnFrame(actor, kGuardSparkA, hit.weaponId, kFrameByUserId, kLeftWherePut, 1.0f, kAlongFrame,
                     kPrtDrawAfterWorld, kPrtFollowEmitter);
        SparkOnFrame(actor, kGuardSparkB, hit.weaponId, kFrameByUserId, kLeftWherePut, 1.0f, kAlongFrame,
                     kPrtDrawAfterWorld, kPrtFollowEmitter);
    } else {
        Blood(*hero->GetPositionPtr());
        SparkOnFrame(actor, kBloodSpark, hit.weaponId, kFrameByUserId, kLeftWherePut, 1.0f, kAlongFrame,
                     kPrtDrawAfterWorld, kPrtStayWhereEmitted);
    }
}

void PushPushables(AiObject *actor, float dt, float *step)
{
    if (actor->model == nullptr) {
        return;
    }
    const float radius = ParamsOf(actor).radius;
    for (AiObject *other = FirstActor(); other != nullptr; other = other->next) {
        if (other == actor || other->model == nullptr || !other->pushable || other->dying) {
            continue;
        }
        RwV3d apart;
        if (SphereOverlapPushOut(*actor->GetPositionPtr(), radius, *other->GetPositionPtr(), ParamsOf(other).radius,
                                 &apart) != 0) {
            actor->speed += 50.0f * dt;
            *step = actor->speed * dt;
            PostHeroHit(actor, other, kAtkPlain, 0);
        }
    }
}

void CarryHeroes(AiObject *actor, const RwV3d &goal, float step, const CarryRule &rule)
{
    if (step == 0.0f || g_pStageManager == nullptr) {
        return;
    }
    const RwV3d from = *actor->GetPositionPtr();
    const float radius = ParamsOf(actor).radius;
    RwV3d move = V3Scale(V3Normalized(V3Sub(goal, from), {0.0f, 0.0f, 0.0f}), step);
    MoveAgainstWorld(g_pStageManager->world, from, radius, &move, kMoveStop);  // none: the move stands
    const float carried = V3Length(move);
    for (AiObject *other = FirstActor(); other != nullptr; other = other->next) {
        const bool kind = rule.carried != nullptr ? rule.carried(other) : IsHero(other);
        if (other == actor || !kind || other->removed || (rule.needsModel && other->model == nullptr)) {
            continue;
        }
        RwV3d apart;
        if (SphereOverlapPushOut(from, radius, *other->GetPositionPtr(), ParamsOf(other).radius, &apart) != 0) {
            actor->AddTouchedObject(kTouchedByCharge, other);
        }
    }
    RwV3d facing;
    actor->GetDirection(&facing);
    while (TouchedEntry *entry = actor->PopTouchedObject()) {
        if (entry->object != nullptr && (!rule.needsTargetable || entry->object->targetable)) {
            g_pStageManager->MoveCharacter(entry->object, facing, carried, false);
        }
    }
    g_pStageManager->MoveCharacter(actor, facing, carried, false);
}

namespace {

// Puts a held hero `ahead` units along the monster's facing, no farther
// than the world lets its body go from the monster's place: a monster that
// holds a hero against a wall keeps it on its own side.
void PutHeldHero(AiObject *actor, CSHero *hero, const RwV3d &facing, float ahead)
{
    const RwV3d from = *actor->GetPositionPtr();
    RwV3d move = V3Scale(facing, ahead);
    if (g_pStageManager != nullptr) {
        const float radius = ParamsOf(hero).radius;
        const RwV3d centre = {from.x, from.y + radius, from.z};
        // A stage without a world or a wall model leaves the move as it is.
        MoveAgainstWorld(g_pStageManager->world, centre, radius, &move, kMoveStop);
        MoveAgainstClump(g_pStageManager->wallClump, centre, radius, &move, kMoveStop);
    }
    hero->SetPosition(V3Add(from, move));
}

}  // namespace

bool SeizeHero(AiObject *actor, int32_t *next, CSHero **held, const HoldDistance &seizeAt)
{
    const CharacterParams &params = ParamsOf(actor);
    RwV3d facing;
    actor->GetDirection(&facing);
    const RwV3d from = *actor->GetPositionPtr();
    *held = nullptr;
    for (int32_t i = 0; i < HeroCount() && *held == nullptr; ++i) {
        CSHero *hero = Hero(i);
        if (hero == nullptr || hero->removed) {
            continue;
        }
        const RwV3d toward = V3Sub(*hero->GetPositionPtr(), from);
        const float distance = V3Length(toward);
        if (!(distance > 0.0f)) {
            continue;
        }
        const RwV3d direction = Flat(V3Scale(toward, 1.0f / distance));
        if (V3Dot(direction, facing) > CosDeg(params.grabOrBleedHAngle) && distance < params.grabOrBleedRange) {
            *held = hero;
        }
    }
    CSHero *hero = *held;
    if (hero == nullptr || !hero->grabbable || hero->held) {
        *held = nullptr;
        return false;
    }
    RwV3d heroFacing;
    hero->GetDirection(&heroFacing);
    const bool fromBehind = V3Dot(heroFacing, facing) > 0.0f;
    actor->frontGrab = !fromBehind;
    const float ahead = fromBehind ? seizeAt.back : seizeAt.front;
    hero->SetDirection(fromBehind ? facing : V3Scale(facing, -1.0f));
    PutHeldHero(actor, hero, facing, ahead);
    hero->SyncFrameAxes();
    CFSF *fsf = actor->Fsf();
    PostHeroHit(actor, hero, fromBehind ? kAtkGrabBack : kAtkGrabFront, fsf != nullptr ? AttackDamage(actor, fsf) : 0);
    FeedInput(actor, next, kInputSeized);
    hero->held = true;
    return true;
}

void KeepHeroAhead(AiObject *actor, CSHero *held, const HoldDistance &holdAt)
{
    if (held == nullptr) {
        return;
    }
    RwV3d facing;
    actor->GetDirection(&facing);
    PutHeldHero(actor, held, facing, actor->frontGrab ? holdAt.front : holdAt.back);
}

void ReleaseHero(AiObject *actor, CSHero **held)
{
    PostHeroHit(actor, *held, kAtkReleaseHeld, 0);  // with none held nothing is posted
    *held = nullptr;
}

void SparkOnFrame(AiObject *actor, const char *name, int32_t frameId, int32_t lookupMode, int32_t placement,
                  float startValue, int32_t directionFlag, int32_t modeWord1, int32_t modeWord2)
{
    CSParticleManager::GiveBackWhenDead(actor->SpawnParticleAtFrame(name, frameId, lookupMode, placement, startValue,
                                                                    directionFlag, modeWord1, modeWord2));
}

void LetGoOfSystem(CSParticleSystem **system)
{
    if (*system != nullptr) {
        (*system)->StopEmit();
        CSParticleManager::GiveBackWhenDead(*system);
        *system = nullptr;
    }
}

void GiveBackSystemNow(CSParticleSystem **system)
{
    if (*system != nullptr) {
        (*system)->Release();
        *system = nullptr;
    }
}

void SparkAt(const char *name, const RwV3d &position)
{
    CSParticleManager *particles = g_pStageManager != nullptr ? g_pStageManager->particleManager : nullptr;
    CSParticleSystem *system = particles != nullptr ? particles->CreateSystem(name) : nullptr;
    if (system == nullptr) {
        return;
    }
    system->displayMode[0] = kPrtDrawAfterWorld;
    system->displayMode[1] = kPrtStayWhereEmitted;
    system->SetEmitting(true, 1.0f);
    system->SetPosition(position);
    CSParticleManager::GiveBackWhenDead(system);
}

}  // namespace monster
