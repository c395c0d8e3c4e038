// The non-player characters' table, message loops, state setters and
// updates (see npc.h).
#include "monster/npc.h"

#include "actor/fsf.h"
#include "monster/kit_messages.h"
#include "monster/kit_state.h"
#include "monster/monster_1003.h"
#include "monster/monster_1004.h"
#include "monster/npc_10.h"

using namespace monster;

namespace {

constexpr NpcRow Hold(int32_t type) { return {type, NpcUpdate::kHold, NpcThink::kHold, NpcSetter::kState2}; }
constexpr NpcRow Show(int32_t type) { return {type, NpcUpdate::kShow, NpcThink::kShow, NpcSetter::kState12}; }

//   type, update, message loop, state setter
constexpr NpcRow kRows[] = {
    {10, NpcUpdate::kOwn},
    Hold(100),
    {101, NpcUpdate::kShowLocked, NpcThink::kShow, NpcSetter::kState12},
    Hold(102),
    Hold(103),
    Hold(104),
    Hold(105),
    {106, NpcUpdate::kShow, NpcThink::kShowLocal, NpcSetter::kState2Plain},
    Show(107),
    Show(108),
    Show(109),
    Show(110),
    Show(111),
    {112, NpcUpdate::kOwn},
    Hold(113),
    Hold(114),
    Hold(115),
    Hold(116),
    Hold(117),
    Hold(118),
};

constexpr int32_t kHoldState = 1;  // the hold family's event state
constexpr int32_t kLockFirst = 12;  // type 101 stays in 12 to 16 once there
constexpr int32_t kLockLast = 16;

const ControlRules kNpcControl = {.showHoldClearsKnock = false};

// One show loop: input 1 when an event shows (8192 with the character's
// group) or releases the character (16384 after showing it), else 0, fed
// once after the loop.
struct ShowRules {
    bool clearsLock;        // showing a character without a model unlocks its state
    bool givesModelBack;    // out of view it gives its model back (unless the event's)
};

bool ThinkShowWith(AiObject *actor, int32_t *next, const ShowRules &rules)
{
    int32_t input = 0;
    const bool taken = DrainMessages(actor, [&](const MSGData &m) {
        if (m.kind == kMsgControl) {
            const int32_t value = m.word[2];
            const bool ofGroup = value != 0 && value == actor->eventId;
            if (m.word[1] == kCtlShowHold && ofGroup) {
                if (actor->model == nullptr) {
                    if (!TakeModelOnGround(actor)) {
                        return false;
                    }
                    if (rules.clearsLock) {
                        actor->stateLock = false;
                    }
                } else {
                    SyncModelMotion(actor);
                }
                input = 1;
                actor->eventModel = true;
            } else if (m.word[1] == kCtlRelease) {
                if (actor->eventModel) {
                    input = 1;
                }
                actor->eventModel = false;
            }
        } else if (m.kind == kMsgSensing) {
            if ((m.word[0] & kSenseInView) != 0 && actor->isRender != 0) {
                if (actor->model == nullptr && !TakeModelOnGround(actor)) {
                    return false;
                }
            } else if (rules.givesModelBack && actor->model != nullptr && !actor->eventModel) {
                actor->SetModelInstance(nullptr);
            }
        }
        return true;
    });
    if (taken) {
        FeedInput(actor, next, input);
    }
    return taken;
}

// The setters' shared body: states 0..last, the motion changed unless the
// event owns the model (or whatever it owns, when `plain`).
void SetNpcState(AiObject *actor, CFSF *fsf, int32_t state, int32_t last, bool plain)
{
    if (state < 0 || state > last) {
        return;
    }
    if (plain || !actor->eventModel) {
        StartStateMotion(actor, fsf, state);
    }
    actor->state = state;
}

void SetStateBy(AiObject *actor, NpcSetter setter, int32_t next)
{
    switch (setter) {
    case NpcSetter::kState2:
        CSNpc::SetState2(actor, actor->Fsf(), next);
        break;
    case NpcSetter::kState2Plain:
        CSNpc::SetState2Plain(actor, actor->Fsf(), next);
        break;
    case NpcSetter::kState12:
        CSNpc::SetState12(actor, actor->Fsf(), next);
        break;
    case NpcSetter::kOwn:
        break;
    }
}

}  // namespace

const NpcRow *NpcRowOf(int32_t aiType)
{
    for (const NpcRow &row : kRows) {
        if (row.aiType == aiType) {
            return &row;
        }
    }
    return nullptr;
}

bool CSNpc::ThinkHold(AiObject *actor, int32_t *next)
{
    return DrainMessages(actor, [&](const MSGData &m) {
        if (m.kind == kMsgControl) {
            return HandleEventControl(actor, m, next, kNpcControl);
        }
        if (m.kind == kMsgSensing) {
            if (!SenseModel(actor, m.word[0], nullptr, nullptr, false)) {
                return false;
            }
            FeedInput(actor, next, 0);
        }
        return true;
    });
}

bool CSNpc::ThinkShow(AiObject *actor, int32_t *next) { return ThinkShowWith(actor, next, {true, true}); }

bool CSNpc::ThinkShowLocal(AiObject *actor, int32_t *next) { return ThinkShowWith(actor, next, {false, true}); }

void CSNpc::SetState2(AiObject *actor, CFSF *fsf, int32_t state) { SetNpcState(actor, fsf, state, 1, false); }

void CSNpc::SetState2Plain(AiObject *actor, CFSF *fsf, int32_t state) { SetNpcState(actor, fsf, state, 1, true); }

void CSNpc::SetState12(AiObject *actor, CFSF *fsf, int32_t state) { SetNpcState(actor, fsf, state, 11, true); }

void CSNpc::UpdateHold(AiObject *actor, const NpcRow &row)
{
    if (actor->removed) {
        return;
    }
    int32_t next = -1;
    ThinkHold(actor, &next);
    if (actor->active) {
        actor->holdState = actor->state == kHoldState;
    }
    if (actor->eventHeld) {
        if (actor->holdState) {
            FeedInput(actor, &next, 0);
        } else {
            next = kHoldState;
        }
    }
    if (actor->model != nullptr) {
        SetStateBy(actor, row.setter, next);
    }
    // The frame's axes back into the cached ones, as the show update ends too.
    actor->SyncFrameAxes();
}

void CSNpc::UpdateShow(AiObject *actor, const NpcRow &row)
{
    if (actor->removed) {
        return;
    }
    int32_t next = -1;
    if (row.think == NpcThink::kShowLocal) {
        ThinkShowLocal(actor, &next);
    } else {
        ThinkShow(actor, &next);
    }
    // Of the types this update runs, only 101 ever locks its state.
    if (!actor->stateLock) {
        SetStateBy(actor, row.setter, next);
    }
    actor->SyncFrameAxes();
}

void CSNpc::UpdateShowLocked(AiObject *actor, const NpcRow &row)
{
    if (actor->state >= kLockFirst && actor->state <= kLockLast) {
        actor->stateLock = true;
    }
    // Locked in its last states, it is in no one's way; shown again by
    // its event, it is again.
    actor->nonBlocking = actor->stateLock;
    UpdateShow(actor, row);
}

// ---- type 112 ----

void CSNpc112::Update(CSMonster1004 *self, float)
{
    if (self->removed) {
        return;
    }
    // Standing in its first state it is in no one's way.
    self->stateLock = self->state == 0;
    self->nonBlocking = self->stateLock;
    int32_t next = -1;
    Think(self, &next);
    if (self->active) {
        Act(self, &next);
    }
    SetState(self, self->Fsf(), next);
    self->SyncFrameAxes();
}

void CSNpc112::Think(CSMonster1004 *self, int32_t *next) { ThinkShowWith(self, next, {true, false}); }

void CSNpc112::SetState(CSMonster1004 *self, CFSF *fsf, int32_t state)
{
    if (state < 0 || state > 6) {
        return;
    }
    SetNpcState(self, fsf, state, 6, true);
    self->deathTint = false;
}

// ---- the table's dispatch ----

void UpdateNpc(AiObject *actor, float dt)
{
    const NpcRow *row = NpcRowOf(actor->aiType);
    if (row == nullptr) {
        return;
    }
    switch (row->update) {
    case NpcUpdate::kHold:
        CSNpc::UpdateHold(actor, *row);
        break;
    case NpcUpdate::kShow:
        CSNpc::UpdateShow(actor, *row);
        break;
    case NpcUpdate::kShowLocked:
        CSNpc::UpdateShowLocked(actor, *row);
        break;
    case NpcUpdate::kOwn:
        if (actor->aiType == 112) {
            CSNpc112::Update(static_cast<CSMonster1004 *>(actor), dt);
        } else {
            CSNpc10::Update(static_cast<CSMonster1003 *>(actor), dt);
        }
        break;
    }
}
