// Movement of the act step (see kit_motion.h).
#include "monster/kit_motion.h"

#include "actor/fsf.h"
#include "actor/thrown_items.h"
#include "stage/character_params.h"
#include "stage/stage_manager.h"

namespace monster {

namespace {

constexpr float kFleeSeconds = 3.0f;
constexpr float kFirstDistanceToBeat = 10000.0f;
constexpr float kNoTurnCosine = 0.99f;

}  // namespace

void StartFleeFromThrownItems(AiObject *actor)
{
    const CSThrownItemManager *items = g_pStageManager != nullptr ? g_pStageManager->thrownItems : nullptr;
    if (items == nullptr || actor->fleeActive || items->ThrownCount() <= 0) {
        return;
    }
    const RwV3d where = *actor->GetPositionPtr();
    float nearest = kFirstDistanceToBeat;
    const ThrownItemSlot *chosen = nullptr;
    RwV3d point = {0.0f, 0.0f, 0.0f};
    for (int32_t i = 0; i < kThrownItemSlots; ++i) {
        const ThrownItemSlot *slot = items->GetSlot(i);
        if (slot == nullptr) {
            continue;
        }
        const RwV3d at = {slot->position[0], slot->position[1], slot->position[2]};
        if (V3Distance(where, at) < nearest) {
            nearest = V3Distance(where, at);
            chosen = slot;
            point = at;
        }
    }
    if (chosen == nullptr) {
        return;
    }
    actor->fleePoint = point;
    actor->fleeActive = true;
    actor->fleeTimer = kFleeSeconds;
}

Goal ChooseGoal(AiObject *actor, int32_t *next, float dt, int32_t holdState, float ignoreFoesSeconds)
{
    const RwV3d where = *actor->GetPositionPtr();
    Goal goal;
    if (actor->fleeTimer > 0.0f) {
        actor->fleeTimer -= dt;
        const RwV3d from = actor->fleePoint;
        goal.point = V3Add(where, V3Sub(where, from));
        goal.distance = V3Distance(where, from);
        actor->pathFollowing = true;
        if (actor->fleeTimer < 0.0f) {
            // The flee is over, and with it the walk away from the item.
            actor->fleeActive = false;
            actor->fleePoint = {0.0f, 0.0f, 0.0f};
            actor->pathFollowing = false;
        }
        return goal;
    }
    if (actor->target != nullptr && !actor->ignoreFoes) {
        goal.point = *actor->target->GetPositionPtr();
        goal.distance = V3Distance(where, goal.point);
        return goal;
    }
    goal.point = actor->home;
    goal.distance = V3Distance(where, actor->home);
    if (!actor->foundFoe && actor->state != holdState) {
        if (actor->ignoreFoes) {
            actor->ignoreFoesTimer += dt;
            if (actor->ignoreFoesTimer >= ignoreFoesSeconds) {
                actor->ignoreFoes = false;
            }
        }
        FeedInput(actor, next, goal.distance <= kActHomeDistance && !actor->knock ? 0 : 1);
    }
    return goal;
}

void TurnTowardTarget(AiObject *actor, float dt)
{
    TurnToward(actor, actor->target != nullptr ? *actor->target->GetPositionPtr() : actor->home, dt, kNoTurnCosine);
}

namespace {

// The unit direction from the actor to the point in the ground plane, and
// the actor's facing; false when the point is where the actor stands.
bool DirectionToward(AiObject *actor, const RwV3d &point, RwV3d *direction, RwV3d *facing)
{
    *direction = V3Normalized(Flat(V3Sub(point, *actor->GetPositionPtr())), {0.0f, 0.0f, 0.0f});
    actor->GetDirection(facing);
    return V3Length(*direction) != 0.0f;
}

}  // namespace

float CosineToward(AiObject *actor, const RwV3d &point)
{
    RwV3d direction;
    RwV3d facing;
    return DirectionToward(actor, point, &direction, &facing) ? V3Dot(direction, facing) : 1.0f;
}

float TurnToward(AiObject *actor, const RwV3d &point, float dt, float noTurnCosine)
{
    RwV3d direction;
    RwV3d facing;
    if (!DirectionToward(actor, point, &direction, &facing)) {
        return 1.0f;
    }
    const float cosine = V3Dot(direction, facing);
    if (cosine >= noTurnCosine) {
        return cosine;
    }
    RwV3d up;
    actor->GetUp(&up);
    const float degrees = ParamsOf(actor).turnDeg * dt;
    const float sense = cosine < -noTurnCosine || V3Cross(facing, direction).y >= 0.0f ? 1.0f : -1.0f;
    actor->Rotate(up, sense * degrees);
    return cosine;
}

float StepSpeed(AiObject *actor, float dt)
{
    if (actor->thrown) {
        return 0.0f;
    }
    CFSF *fsf = actor->Fsf();
    if (fsf != nullptr) {
        const float stateSpeed = fsf->GetSpeed(actor->state);
        actor->speed += fsf->GetAcceleration(actor->state) * dt;
        if ((stateSpeed > 0.0f && actor->speed < 0.0f) || (stateSpeed < 0.0f && actor->speed > 0.0f)) {
            actor->speed = 0.0f;
        }
    }
    return actor->speed * dt;
}

void WalkWhereFacing(AiObject *actor, Goal *goal)
{
    if (actor->straightToGoal) {
        return;
    }
    RwV3d facing;
    actor->GetDirection(&facing);
    goal->point = V3Add(*actor->GetPositionPtr(), facing);
}

bool MayMove(const AiObject *actor)
{
    return !actor->dying && !actor->removed && !actor->eventHeld && !actor->broadcastExcluded;
}

void MoveToGoal(AiObject *actor, const Goal &goal, float step, bool collide)
{
    actor->MoveToward(goal.distance, goal.point, step, actor->straightToGoal, collide);
    if (step != 0.0f) {
        actor->SyncFrameAxes();
    }
}

}  // namespace monster
