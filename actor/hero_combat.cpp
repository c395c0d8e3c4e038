// The hero's hits, given and taken (see hero.h).
//
// Taken: a kind-2 hit {0, attribute, damage}. 1024 seizes the hero (held,
// state 22) and 512 alone lets it go; other hits cost max(0, damage - the
// hero's defence) of its life unless it guards or stands in a state that
// takes no damage, and put it into state 21, or 4 when the heavy bit 64 is
// set, where the state machine lets that reaction through (a held hero
// stays held; an attack's chain state may carry on). Burn (16) and poison (32) give it their
// looks for five seconds unless it resists them.
//
// Given: in a state with an AttackValue each weapon part of the state is
// picked against every other actor of side 1 or 2 that stands in play; an
// actor is hit at most once per state entry (the hit marks) with a kind-1
// message {0, AttackAttribute or 1, AttackValue x whole LevelAppend + the
// attack bonus}. Each landed hit raises the running hit counter, which
// falls back to 0 after three seconds without one (the best is kept).
#include <algorithm>
#include <cmath>

#include "actor/actor_screen_calls.h"
#include "actor/ai_msg_pool.h"
#include "actor/fsf.h"
#include "actor/hero.h"
#include "app/int_range.h"
#include "app/trace.h"
#include "stage/character_params.h"
#include "stage/model_template.h"
#include "stage/stage_manager.h"

namespace {

constexpr float kHitCounterHoldSeconds = 3.0f;
constexpr float kStatusLookSeconds = 5.0f;
// The weapon's reach when the hero's parameters give none.
constexpr float kDefaultWeaponReach = 10.0f;

bool Marked(const CSHero &hero, const AiObject *actor)
{
    return std::find(hero.hitMarks, hero.hitMarks + hero.hitMarkCount, actor) != hero.hitMarks + hero.hitMarkCount;
}

// Every actor but the heroes: an actor's side follows from its type.
bool Strikable(const CSHero &hero, const AiObject *actor)
{
    return actor != &hero && !IsHeroType(actor->aiType) && !actor->removed && actor->model != nullptr;
}

}  // namespace

void CSHero::TakeHit(AiObject *sender, int32_t attribute, int32_t damage)
{
    if (state == kHeroStateDying || defeated) {
        return;
    }
    if (attribute == kAtkReleaseHeld) {
        if (held || state == kHeroStateHeld) {
            held = false;
            React(kHeroInputStand);
        }
        return;
    }
    if ((attribute & kAtkGrab) != 0) {
        if (state != kHeroStateHeld) {
            React(kHeroStateHeld);
        }
        held = true;
    }
    if (guarding || !hurtable) {
        return;
    }
    hitSender = sender;
    if (sender != nullptr) {
        lastAttacker = sender;
    }
    timeSinceHurt = 0.0f;
    const int32_t cost = std::max(0, damage - GetDefense());
    SubtractHP(cost);
    if ((attribute & kAtkBurn) != 0 && (resistance & kAtkBurn) == 0) {
        burnEffect = true;
        burnEffectTimer = kStatusLookSeconds;
    }
    if ((attribute & kAtkPoison) != 0 && (resistance & kAtkPoison) == 0) {
        poisonTint = true;
        poisonTintTimer = kStatusLookSeconds;
    }
    if (hp <= 0) {
        return;  // the update puts the hero into its dying state
    }
    if (held || (attribute & kAtkGrab) != 0) {
        return;  // damage while held leaves the hero held
    }
    React((attribute & kAtkHeavy) != 0 ? kHeroStateKnockedDown : kHeroStateHurt);
}

void CSHero::React(int32_t reaction)
{
    CFSF *fsf = Fsf();
    if (fsf != nullptr && fsf->StateCount() > 0) {
        fsf->SetState(state);
        const int32_t next = fsf->NextState(reaction, 0);
        if (next >= 0) {
            EnterState(next);
            return;
        }
    }
    // Dying, being seized and being let go happen whatever the state.
    const bool forced = reaction == kHeroStateDying || reaction == kHeroStateHeld || reaction == kHeroInputStand;
    if (forced && (fsf == nullptr || fsf->FindState(reaction) != nullptr)) {
        EnterState(reaction);
    }
}

void CSHero::StrikeWithWeapons(CSStageManager *stage)
{
    // Called from the hero's frame, which has the stage and the machine; a
    // hero without its model picks nothing.
    CFSF *fsf = Fsf();
    const int32_t weapons = fsf->GetNumOfWeapon(state);
    const CharacterParams *params = Params();
    const float reach = params != nullptr && params->attackRange > 0.0f ? params->attackRange : kDefaultWeaponReach;
    const int32_t attribute = fsf->GetAttackAttribute(state) != 0 ? fsf->GetAttackAttribute(state) : kAtkPlain;
    const double level = params != nullptr ? std::trunc(static_cast<double>(params->levelAppend)) : 1.0;
    const double value = static_cast<double>(fsf->GetAttackValue(state)) * level + GetAttackBonus();
    const int32_t damage = game::ClampToInt32(value, 0.0);
    for (AiObject *actor = stage->actorHead; actor != nullptr; actor = actor->next) {
        if (hitMarkCount >= kHeroHitMarks) {
            break;  // as many actors as one swing can mark
        }
        if (!Strikable(*this, actor) || Marked(*this, actor)) {
            continue;
        }
        for (int32_t w = 0; w < weapons; ++w) {
            if (!CSModelInstance::PickTaggedPart(model, actor->model, fsf->GetWeaponId(state, w), reach, nullptr)) {
                continue;
            }
            hitMarks[hitMarkCount++] = actor;
            if (stage->messagePool != nullptr) {
                stage->messagePool->Post(kMsgHitActor, this, actor, 0, attribute, damage);
            }
            if (game::TraceOn()) {
                game::TraceLine("hit").Int(aiId).Int(actor->aiId).Int(attribute).Int(damage);
            }
            CountLandedHit();
            break;
        }
    }
}

void CSHero::CountLandedHit()
{
    hitCounter = hitCounter < INT32_MAX ? hitCounter + 1 : hitCounter;
    bestHitCounter = std::max(bestHitCounter, hitCounter);
    hitCounterTimer = 0.0f;
    ScreensUpdateHitCounter();
}

void CSHero::StepHitAndStatusTimers(float dt)
{
    // The wait runs also with no count: a hit restarts it before it counts.
    hitCounterTimer += dt;
    if (hitCounterTimer >= kHitCounterHoldSeconds) {
        hitCounter = 0;
        hitCounterTimer = 0.0f;
    }
    if (burnEffect) {
        burnEffectTimer -= dt;
        burnEffect = burnEffectTimer > 0.0f;
    }
    if (poisonTint) {
        poisonTintTimer -= dt;
        poisonTint = poisonTintTimer > 0.0f;
    }
}
