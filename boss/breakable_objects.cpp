// The breakable objects' family design (see breakable_objects.h): the think
// variants that say which hits break an object, the shared set-state and
// update, break patterns A and B and the single types' acts, and the
// update's switch.
#include "boss/breakable_objects.h"

#include <new>

#include "actor/fsf.h"
#include "actor/hero.h"
#include "actor/reward.h"
#include "app/game_rand.h"
#include "fx/ge_manager.h"
#include "fx/mat_anim_manager.h"
#include "fx/particle_manager.h"
#include "monster/kit_common.h"
#include "monster/kit_life.h"
#include "monster/kit_messages.h"
#include "monster/kit_state.h"
#include "stage/clump_anim_manager.h"
#include "stage/stage_manager.h"

namespace breakable {

namespace {

constexpr int32_t kBroken = 2;
constexpr int32_t kBreaking = 1;
constexpr int32_t kLastState = 2;
constexpr int32_t kMatPiecesFade = 4;
constexpr float kFadeAdded = 0.25f;
constexpr float kSparkleRise = 7.5f;
constexpr const char *kSparkles[] = {"3506400.zus", "3506401.zus"};

bool HasBit(const MSGData &m, int32_t bits) { return (m.word[1] & bits) != 0; }

// Whether a message is a hit that breaks an object of the variant.
bool Qualifies(BreakThink think, const MSGData &m)
{
    switch (think) {
    case BreakThink::kS:
        return m.kind == kMsgHitActor && HasBit(m, kAtkPlain | kAtkHeavy);
    case BreakThink::kE:
    case BreakThink::kN:
        return (m.kind == kMsgHitActor && HasBit(m, kAtkPlain | kAtkHeavy)) ||
               (m.kind == kMsgHitHero && HasBit(m, kAtkPlain));
    case BreakThink::kX:
        return m.kind == kMsgHitActor && HasBit(m, kAtkPlain) && m.sender == nullptr;
    case BreakThink::kW:
    case BreakThink::kK:
    case BreakThink::kOwn:  // never asked: the own designs read their hits themselves
        break;
    }
    return m.kind == kMsgHitActor && HasBit(m, kAtkBreakWall);
}

bool ByDistance(BreakThink think)
{
    return think == BreakThink::kS || think == BreakThink::kE || think == BreakThink::kN || think == BreakThink::kX;
}

// The think of the family: every message read, one input (1 for a
// qualifying hit), fed once.
void Think(AiObject *actor, int32_t *next)
{
    const BreakableRow &row = *BreakableRowOf(actor->aiType);
    const bool byDistance = ByDistance(row.think);
    if (!byDistance && actor->model == nullptr && !TakeModel(actor)) {
        return;
    }
    int32_t input = 0;
    const bool read = monster::DrainMessages(actor, [&](const MSGData &m) {
        if (m.kind == kMsgControl && row.think != BreakThink::kK && (m.word[1] & kCtlDropOverride) != 0) {
            actor->dropOverrideId = m.word[2];
            actor->dropOverride = true;
        } else if (m.kind == kMsgSensing && byDistance) {
            return ModelByDistance(actor, m.word[0]);
        } else if (Qualifies(row.think, m)) {
            input = kBreaking;
            // Type 10000's animation runs from a hit of either kind, 10018's
            // and 10019's from a monster's blow.
            if (row.think == BreakThink::kN && (row.aiType == 10000 || m.kind == kMsgHitHero)) {
                actor->animHold = false;
            }
        }
        return true;
    });
    if (read) {
        Feed(actor, next, input);
    }
}

void Remove(AiObject *actor) { monster::RemoveFromPlay(actor); }

// Pattern A's money when nothing dropped: rand() % 6 + the base, times the
// first hero's hit-counter multiplier, paid as reward pieces, and a kill
// for that hero. Without a hero in the stage neither is paid.
void PayMoney(AiObject *actor, const BreakableRow &row)
{
    CSHero *hero = monster::Hero(0);
    if (hero == nullptr) {
        return;
    }
    game::Srand(monster::StateRandomSeed());
    hero->killCount += 1;
    const int32_t amount = (game::Rand() % 6 + row.moneyBase) * RewardMultiplier(hero->hitCounter);
    CCGEManager *effects = monster::Effects();
    if (effects != nullptr && effects->reward != nullptr) {
        effects->reward->Spawn(*actor->GetPositionPtr(), amount);
    }
}

void Sparkles(CSBreakObj10000 *self)
{
    CSParticleManager *particles = g_pStageManager != nullptr ? g_pStageManager->particleManager : nullptr;
    RpClump *clump = self->Clump();
    if (self->sparkleStarted || clump == nullptr) {
        return;
    }
    self->sparkleStarted = true;
    RwMatrix at = *RwFrameGetLTM(RpClumpGetFrame(clump));
    at.pos = V3Add(at.pos, V3Scale(at.up, kSparkleRise));
    for (const char *name : kSparkles) {
        CSParticleSystem *system = particles != nullptr ? particles->CreateSystem(name) : nullptr;
        if (system == nullptr) {
            continue;
        }
        system->SetMatrix(&at);
        system->SetEmitting(true, 1.0f);
        system->displayMode[0] = kPrtDrawAfterWorld;
        system->displayMode[1] = kPrtStayWhereEmitted;
        // Started and left to burn out: back to the pool once dead.
        CSParticleManager::GiveBackWhenDead(system);
    }
}

void Act(AiObject *actor, int32_t *, float)
{
    const BreakableRow &row = *BreakableRowOf(actor->aiType);
    if (actor->state == kBreaking) {
        switch (row.act) {
        case BreakAct::kSparkles:
            actor->busy = true;
            Sparkles(static_cast<CSBreakObj10000 *>(actor));
            break;
        case BreakAct::kNoDrop:
            actor->busy = actor->busy || actor->model != nullptr;
            break;
        case BreakAct::kB:
            actor->busy = true;
            FadeOnce(actor, kMatPiecesFade, kFadeAdded);
            break;
        default:
            actor->busy = true;
            break;
        }
        SoundOnEntry(actor, row.breakSound);
        return;
    }
    if (actor->state != kBroken) {
        return;
    }
    if (row.act != BreakAct::kNoDrop) {
        const int32_t dropped = Drop(actor);
        if (row.act == BreakAct::kA && dropped == 0) {
            PayMoney(actor, row);
        }
    }
    if (row.act != BreakAct::kB && actor->model != nullptr) {
        Pieces(actor, row.piecesId);
    }
    Remove(actor);
}

}  // namespace

void RunUpdate(AiObject *actor, float dt, const Steps &steps)
{
    if (actor->removed) {
        return;
    }
    int32_t next = monster::kNoState;
    steps.think(actor, &next);
    if (actor->active && (steps.actsOnEveryFrame || actor->fullDetailFrame)) {
        steps.act(actor, &next, dt);
        actor->accumulatedTime = 0.0f;
    }
    SetState(actor, actor->Fsf(), next, steps.lastState, steps.keepsDeathTint);
}

void Feed(AiObject *actor, int32_t *next, int32_t input) { monster::FeedInput(actor, next, input); }

bool TakeModel(AiObject *actor) { return monster::TakeModelOnGround(actor); }

bool ModelByDistance(AiObject *actor, int32_t bits, bool keepsEventModel)
{
    if ((bits & kSenseInView) == 0) {
        if (actor->model != nullptr && !(keepsEventModel && actor->eventModel)) {
            actor->SetModelInstance(nullptr);
        }
        return true;
    }
    return actor->model != nullptr || TakeModel(actor);
}

void SetState(AiObject *actor, CFSF *fsf, int32_t state, int32_t last, bool keepsDeathTint)
{
    if (state < 0 || state > last) {
        return;
    }
    monster::StartStateMotion(actor, fsf, state);
    if (!keepsDeathTint) {
        actor->deathTint = false;
    }
    actor->state = state;
    actor->stateEntered = true;
}

void SoundOnEntry(AiObject *actor, int32_t soundId)
{
    if (actor->stateEntered) {
        actor->stateEntered = false;
        monster::PlaySound(soundId);
    }
}

void FadeOnce(AiObject *actor, int32_t matAnim, float added)
{
    if (actor->model == nullptr || actor->deathTint) {
        return;
    }
    actor->deathTint = true;
    CSMatAnimManager *anims = monster::MatAnims();
    CSClumpAnimManager *animations = monster::AnimationsOf(actor);
    if (anims != nullptr) {
        const float length = animations != nullptr ? animations->GetMotionDuration(actor->Clump()) : 0.0f;
        anims->Start(actor, kMatAnimOwnerActor, matAnim, length + added, true);
    }
}

void Pieces(AiObject *actor, int32_t piecesId)
{
    CCGEManager *effects = monster::Effects();
    if (piecesId >= 0 && effects != nullptr && effects->bkShield != nullptr && actor->Clump() != nullptr) {
        effects->bkShield->Start(piecesId, RwFrameGetLTM(RpClumpGetFrame(actor->Clump())));
    }
}

int32_t Drop(AiObject *actor) { return monster::DropOnGone(actor, true); }

}  // namespace breakable

AiObject *ConstructPlainBreakable(void *memory)
{
    AiObject *actor = new (memory) AiObject();
    actor->hurtable = true;
    return actor;
}

void UpdateBreakable(AiObject *actor, float dt)
{
    const BreakableRow *row = BreakableRowOf(actor->aiType);
    if (row == nullptr) {
        return;
    }
    switch (row->cls) {
    case BreakClass::kObj10026:
        CSBreakObj10026::Update(static_cast<CSBreakObj10026 *>(actor), dt);
        break;
    case BreakClass::kObj10028:
        CSBreakObj10028::Update(static_cast<CSBreakObj10028 *>(actor), dt);
        break;
    default:
        if (row->think == BreakThink::kOwn) {
            CSBreakObj10027::Update(actor, dt);
        } else {
            breakable::RunUpdate(actor, dt,
                                 {&breakable::Think, &breakable::Act, breakable::kLastState, false,
                                  row->act == BreakAct::kNoDrop});
        }
        break;
    }
}
