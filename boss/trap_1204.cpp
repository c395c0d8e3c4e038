// Trap 1204: a breakable trap that neither takes nor deals damage: a hit
// (attribute 1 or 64) plays its hurt sound and feeds input 1, which its
// state machine leads to the broken state 6, where it is removed. Its
// update runs even once removed.
#include "boss/trap.h"

#include "boss/trap_kit.h"
#include "monster/kit_common.h"
#include "monster/kit_messages.h"

using namespace trap;

namespace trap_1204 {

constexpr int32_t kAiType = 1204;
constexpr int32_t kBrokenState = 6;

}  // namespace trap_1204

void CSTrap1204::Think(AiObject *actor, int32_t *next)
{
    const TrapTraits &row = *TrapTraitsOf(trap_1204::kAiType);
    int32_t input = 0;
    const bool whole = monster::DrainMessages(actor, [&](const MSGData &m) {
        switch (m.kind) {
        case kMsgHitActor:
            if ((m.word[1] & (kAtkPlain | kAtkHeavy)) != 0) {
                input = kTrapInputHit;
                monster::PlaySound(kTrapHurtSound);
            }
            return true;
        case kMsgSensing:
            if ((m.word[0] & kSenseInView) == 0) {
                actor->SetModelInstance(nullptr);
                return true;
            }
            return actor->model != nullptr || TakeTrapModel(actor, row);
        default:
            return true;
        }
    });
    if (whole) {
        monster::FeedInput(actor, next, input);
    }
}

void CSTrap1204::SetState(AiObject *actor, CFSF *fsf, int32_t state)
{
    if (state == actor->state) {
        return;
    }
    EnterTrapState(actor, fsf, state, TrapTraitsOf(trap_1204::kAiType)->lastState, {.clearsHitMarks = false});
}

void CSTrap1204::Update(AiObject *actor, float)
{
    int32_t next = monster::kNoState;
    Think(actor, &next);
    if (actor->active && actor->state == trap_1204::kBrokenState) {
        actor->removed = true;
    }
    if (actor->model != nullptr) {
        SetState(actor, actor->Fsf(), next);
    }
}
