// Trap 1201, the post: switched on by its event it stands active (state 2)
// and regenerates 50 HP a second; the heroes grab it (1024), hurt it while
// holding it (4096) and let go (2048). An event that holds it without its
// group puts it back into state 2 at once.
#include "boss/trap.h"

#include "actor/fsf.h"
#include "boss/trap_kit.h"
#include "monster/kit_common.h"
#include "monster/kit_messages.h"

using namespace trap;

namespace trap_1201 {

constexpr int32_t kAiType = 1201;
constexpr int32_t kActiveState = 2;
constexpr int32_t kHeldState = 3;
constexpr int32_t kGoneState = 5;

CSTrap1201 *Self(AiObject *actor) { return static_cast<CSTrap1201 *>(actor); }

}  // namespace trap_1201

void CSTrap1201::Think(AiObject *actor, int32_t *next)
{
    const TrapTraits &row = *TrapTraitsOf(trap_1201::kAiType);
    int32_t input = 0;
    const bool whole = monster::DrainMessages(actor, [&](const MSGData &m) {
        switch (m.kind) {
        case kMsgControl:
            if (m.word[1] == kCtlShowHold) {
                if (m.word[2] != 0 && m.word[2] == actor->eventId) {
                    if (actor->model == nullptr && !TakeTrapModel(actor, row)) {
                        return false;
                    }
                    actor->dizzyEffect = true;  // shown
                    actor->eventModel = true;
                    input = kTrapInputPostOn;
                } else {
                    actor->eventHeld = true;
                }
            } else if (m.word[1] == kCtlRelease) {
                actor->eventModel = false;
                actor->eventHeld = false;
            }
            return true;
        case kMsgHitActor:
            if ((m.word[1] & kAtkGrab) != 0) {
                actor->grabbed = true;
                input = monster::kInputGrabbed;
            }
            if (actor->state == trap_1201::kHeldState) {
                if ((m.word[1] & kAtkHeldDamage) != 0) {
                    monster::AddBlowDamage(actor, m.word[2]);
                    input = monster::kInputIdle;
                }
                if ((m.word[1] & kAtkGrabEnd) != 0) {
                    actor->grabbed = false;
                    input = monster::kInputGrabEnded;
                }
            }
            monster::FeedInput(actor, next, input);
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

void CSTrap1201::Act(AiObject *actor, int32_t *next, float dt)
{
    CSTrap1201 *self = trap_1201::Self(actor);
    if (actor->state == trap_1201::kActiveState) {
        actor->down = true;  // active
        self->regenTimer += dt;
        if (self->regenTimer >= kTrapRegenSeconds) {
            actor->AddHP(kTrapRegenHp);
            self->regenTimer = 0.0f;
        }
    }
    trap::TakeDamage(actor, false);
    if (StepDeath(actor, next)) {
        actor->grabbed = false;
        actor->down = false;
        actor->dizzyEffect = false;
    }
    if (actor->state == trap_1201::kGoneState) {
        actor->removed = true;
        actor->down = false;  // the model stays where it stands
    }
    EndAct(actor);
}

void CSTrap1201::SetState(AiObject *actor, CFSF *fsf, int32_t state)
{
    EnterTrapState(actor, fsf, state, TrapTraitsOf(trap_1201::kAiType)->lastState,
                   {.clearsHitMarks = false, .clearsDeathTint = false, .marksEntry = false});
}

void CSTrap1201::Update(AiObject *actor, float dt)
{
    int32_t next = monster::kNoState;
    if (!ThinkThenAct(actor, dt, &next, Think, Act)) {
        return;
    }
    if (actor->eventHeld && !actor->dying && !actor->eventModel &&
        (actor->state == 1 || actor->state == trap_1201::kHeldState)) {
        actor->grabbed = false;
        SetState(actor, actor->Fsf(), trap_1201::kActiveState);
    } else {
        SetState(actor, actor->Fsf(), next);
    }
}
