// The jet traps: 1200 and 1205 (flame, two jets) and 1203 (poison, four
// jets). Switched on by their event they fire; a hero that a jet's weapon
// part touches is hit once per weapon, and hit again with 0 damage when
// its burning or poison has worn off while it is still in reach.
#include "boss/trap.h"

#include "actor/fsf.h"
#include "boss/trap_kit.h"
#include "fx/mat_anim_manager.h"
#include "fx/particle_system.h"
#include "monster/kit_common.h"
#include "monster/kit_condition.h"
#include "monster/kit_messages.h"

using namespace trap;

namespace trap_jets {

const TrapTraits &RowOf(const AiObject *actor) { return *TrapTraitsOf(actor->aiType); }

// The think step of 1200, 1203 and 1205: the event's switch (input 10),
// the heroes' hits, a model taken in view; a frame without messages feeds
// the idle input.
void ThinkJetTrap(AiObject *actor, int32_t *next)
{
    const TrapTraits &row = RowOf(actor);
    int32_t input = 0;
    const bool whole = monster::DrainMessages(actor, [&](const MSGData &m) {
        switch (m.kind) {
        case kMsgControl: {
            const EventSwitch done = SwitchByEvent(actor, row, m);
            if (done == EventSwitch::kSwitchedOn) {
                input = kTrapInputSwitchOn;
            }
            return done != EventSwitch::kNoModel;
        }
        case kMsgHitActor:
            TakeHit(actor, m);
            return true;
        case kMsgSensing:
            return (m.word[0] & kSenseInView) == 0 || actor->model != nullptr || TakeTrapModel(actor, row);
        default:
            return true;
        }
    });
    if (whole) {
        monster::FeedInput(actor, next, input);
    }
}

void ActJetTrap(AiObject *actor, int32_t *next, const JetSet &jets)
{
    const TrapTraits &row = RowOf(actor);
    trap::TakeDamage(actor, true);
    if (StepDeath(actor, next)) {
        LetGoJets(jets);
    }
    if (actor->state == row.dyingState && actor->model != nullptr && !actor->deathTint) {
        actor->deathTint = true;
        if (CSMatAnimManager *anims = monster::MatAnims()) {
            anims->Start(actor, kMatAnimOwnerActor, monster::kMatDeathFade, 0.0f, true);
        }
    }
    if (actor->state == row.goneState && !actor->removed) {
        GoneWithReward(actor, row);
    }
    if (actor->state == 1) {
        StartJets(actor, row, jets);
    }
    if (actor->state == 2) {
        BlowOnHeroes(actor, row, jets);
    }
    PlayStateSounds(actor);
    EndAct(actor);
}

template <typename Trap>
JetSet JetsOf(AiObject *actor)
{
    auto *self = static_cast<Trap *>(actor);
    return {&self->jetsStarted, self->jets, &self->lastWeaponId};
}

// Not removed: think, act while active, then the set-state step.
template <typename Think, typename Act>
void RunJetTrapUpdate(AiObject *actor, float dt, Think think, Act act)
{
    int32_t next = monster::kNoState;
    if (!ThinkThenAct(actor, dt, &next, think, act)) {
        return;
    }
    CSTrap::SetState5(actor, actor->Fsf(), next);
    if (RowOf(actor).syncsAxesAfterUpdate) {
        actor->SyncFrameAxes();
    }
}

}  // namespace trap_jets

void CSTrap::SetState5(AiObject *actor, CFSF *fsf, int32_t state)
{
    EnterTrapState(actor, fsf, state, trap_jets::RowOf(actor).lastState, {});
}

void CSTrap1200::Think(AiObject *actor, int32_t *next) { trap_jets::ThinkJetTrap(actor, next); }

void CSTrap1205::Think(AiObject *actor, int32_t *next) { trap_jets::ThinkJetTrap(actor, next); }

void CSTrap1200::Act(AiObject *actor, int32_t *next, float)
{
    trap_jets::ActJetTrap(actor, next, trap_jets::JetsOf<CSTrap1200>(actor));
}

void CSTrap1203::Act(AiObject *actor, int32_t *next, float)
{
    trap_jets::ActJetTrap(actor, next, trap_jets::JetsOf<CSTrap1203>(actor));
}

void CSTrap1200::Update(AiObject *actor, float dt)
{
    trap_jets::RunJetTrapUpdate(actor, dt, CSTrap1200::Think, CSTrap1200::Act);
}

void CSTrap1205::Update(AiObject *actor, float dt)
{
    trap_jets::RunJetTrapUpdate(actor, dt, CSTrap1205::Think, CSTrap1200::Act);
}

void CSTrap1203::Update(AiObject *actor, float dt)
{
    trap_jets::RunJetTrapUpdate(actor, dt, CSTrap1205::Think, CSTrap1203::Act);
}
