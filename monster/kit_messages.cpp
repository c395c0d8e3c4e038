// Messages of the think step (see kit_messages.h).
#include "monster/kit_messages.h"

#include "stage/character_params.h"
#include "stage/clump_anim_manager.h"
#include "stage/model_template.h"
#include "stage/stage_manager.h"
#include "stage/world_queries.h"

namespace monster {

bool TakeModel(AiObject *actor)
{
    CSModelInstance *instance =
        g_pStageManager != nullptr ? g_pStageManager->TakeModelInstance(actor->aiType, actor) : nullptr;
    if (instance == nullptr) {
        return false;
    }
    actor->active = true;
    actor->SetModelInstance(instance);
    SyncModelMotion(actor);
    return true;
}

void SyncModelMotion(AiObject *actor)
{
    CSClumpAnimManager *animations = AnimationsOf(actor);
    RpClump *clump = actor->Clump();
    if (animations != nullptr && clump != nullptr) {
        if (animations->GetMotionIndex(clump) != actor->state) {
            animations->ChangeMotion(clump, actor->state, 0.0f);
        }
        animations->SetMotionTime(clump, actor->animClock);
    }
}

bool TakeModelOnGround(AiObject *actor)
{
    if (!TakeModel(actor)) {
        return false;
    }
    if (g_pStageManager->world != nullptr) {
        SnapToGround(g_pStageManager->world, actor->Clump(), 2);
        actor->SyncFrameAxes();
    }
    return true;
}

bool HandleEventControl(AiObject *actor, const MSGData &message, int32_t *next, const ControlRules &rules)
{
    const int32_t value = message.word[2];
    switch (message.word[1]) {
    case kCtlShowHold: {
        if (rules.showHoldClearsKnock) {
            actor->knock = false;
        }
        const bool ofGroup = value != 0 && value == actor->eventId;
        if (actor->model == nullptr && ofGroup) {
            if (!(rules.showPutsOnGround ? TakeModelOnGround(actor) : TakeModel(actor))) {
                return false;
            }
            if (rules.modelTaken != nullptr) {
                rules.modelTaken(actor);
            }
            actor->eventModel = true;
        } else {
            actor->eventModel = ofGroup;
        }
        actor->eventHeld = true;
        break;
    }
    case kCtlRelease:
        *next = 0;
        actor->eventHeld = false;
        actor->eventModel = false;
        break;
    case kCtlDropOverride:
        actor->dropOverrideId = value;
        actor->dropOverride = true;
        break;
    default:
        break;
    }
    return true;
}

namespace {

void RememberAttacker(AiObject *actor, AiObject *sender, const HitRules &rules)
{
    if (actor->lastAttacker == nullptr || rules.latestIsLastAttacker) {
        actor->lastAttacker = sender;
    }
}

}  // namespace

void AddBlowDamage(AiObject *actor, int32_t value)
{
    const int64_t damage = static_cast<int64_t>(value) - ParamsOf(actor).defense;
    if (damage > 0) {
        const int64_t sum = static_cast<int64_t>(actor->pendingDamage) + damage;
        actor->pendingDamage = static_cast<int32_t>(sum > INT32_MAX ? INT32_MAX : sum);
    }
}

int32_t ClassifyHit(AiObject *actor, const MSGData &message, int32_t input, const HitRules &rules)
{
    AiObject *sender = message.sender;
    const int32_t bits = message.word[1];
    const int32_t value = message.word[2];
    const int32_t resist = actor->resistance;
    if (rules.noticesFoes) {
        actor->foundFoe = true;
        actor->ignoreFoes = false;
    }
    if ((bits & rules.countedBits) != 0) {
        actor->hitSender = sender;
        if (rules.recordsLastHitter) {
            actor->lastHitter = sender;
        }
        if (!IsOneOf(actor->state, rules.noDamageStates) || (bits & kAtkHeavy) != 0) {
            AddBlowDamage(actor, value);
        }
        if ((bits & kAtkHeavy) != 0) {
            input = rules.heavyInput;
        } else if ((bits & kAtkHurt2) != 0 && (resist & kAtkHurt2) == 0) {
            input = kInputHurt2;
        } else if ((bits & kAtkHurt8) != 0 && (resist & kAtkHurt8) == 0 &&
                   !(rules.guardingStopsKnockDown && actor->guarding)) {
            input = kInputKnockDown;
        } else if ((bits & kAtkHurt4) != 0 && (resist & kAtkHurt4) == 0) {
            input = kInputHurt4;
        } else {
            input = kInputHurt;
        }
        int32_t status = 0;
        if (rules.heavyBreaksGuard && (bits & kAtkHeavy) != 0) {
            status |= kStatusGuardBreak;
        }
        if ((bits & kAtkPlain) != 0) {
            status |= kStatusPlain;
        }
        if ((bits & kAtkBurn) != 0 && (resist & kAtkBurn) == 0) {
            status |= kStatusBurn;
        }
        if ((bits & kAtkPoison) != 0 && (resist & kAtkPoison) == 0) {
            status |= kStatusPoison;
        }
        if ((bits & kAtkStatus16) != 0) {
            status |= kStatus16;
        }
        actor->incomingStatus |= status;
        RememberAttacker(actor, sender, rules);
    }
    if (rules.takesGrabs && (bits & kAtkGrab) != 0) {
        input = kInputGrabbed;
        actor->grabbed = true;
        RememberAttacker(actor, sender, rules);
    }
    if (IsOneOf(actor->state, rules.grabbedStates)) {
        if ((bits & kAtkHeldDamage) != 0) {
            input = kInputGrabbed;
            AddBlowDamage(actor, value);
            if (rules.latestIsLastAttacker) {
                actor->lastAttacker = sender;
            }
        }
        if ((bits & kAtkGrabEnd) != 0) {
            input = kInputGrabEnded;
            actor->grabbed = false;
        }
    }
    if (rules.releaseState >= 0 && actor->state == rules.releaseState && (bits & kAtkReleaseHeld) != 0) {
        input = rules.releaseInput;
    }
    return input;
}

}  // namespace monster
