// AiObject's thinking operations: finding foes, picking a target, moving
// toward a goal and the next step around obstacles (see ai_object.h).
#include <cmath>

#include "actor/ai_object.h"
#include "stage/ai_placement.h"
#include "stage/model_template.h"
#include "stage/stage_manager.h"

namespace {

float GroundDistance(const RwV3d &a, const RwV3d &b)
{
    const float dx = a.x - b.x;
    const float dz = a.z - b.z;
    return std::sqrt(dx * dx + dz * dz);
}

// How many actors of the chain other than `self` have `foe` as their target.
int32_t TargetedBy(const AiObject *self, const AiObject *foe)
{
    int32_t count = 0;
    for (const AiObject *a = g_pStageManager != nullptr ? g_pStageManager->actorHead : nullptr; a != nullptr;
         a = a->next) {
        if (a != self && a->target == foe) {
            ++count;
        }
    }
    return count;
}

// `direction` (ground plane) turned about the up axis by `degrees`.
RwV3d TurnedOnGround(const RwV3d &direction, float degrees)
{
    const float radians = degrees * 0.017453292f;
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    return {direction.x * c + direction.z * s, 0.0f, direction.z * c - direction.x * s};
}

}  // namespace

void AiObject::FindFoesInRange()
{
    GetPositionPtr();
    foes[0] = foes[1] = nullptr;
    foeCount = 0;
    if (ignoreFoes) {
        foundFoe = false;
        return;
    }
    const CharacterParams *params = Params();
    const float range = params != nullptr ? params->searchRange : 0.0f;
    for (AiObject *a = g_pStageManager != nullptr ? g_pStageManager->actorHead : nullptr;
         a != nullptr && foeCount < kMaxFoundFoes; a = a->next) {
        if (a->removed || a->side == kSideNeutral || a->side == side) {
            continue;
        }
        if (GroundDistance(position, *a->GetPositionPtr()) <= range) {
            foes[foeCount++] = a;
            foundFoe = true;
        }
    }
}

void AiObject::PickTarget(int32_t mode)
{
    target = nullptr;
    const CharacterParams *params = Params();
    const float range = params != nullptr ? params->searchRange : 0.0f;
    AiObject *best = nullptr;
    float bestValue = 0.0f;
    for (int32_t i = 0; i < foeCount; ++i) {
        AiObject *foe = foes[i];
        if (foe == nullptr) {
            continue;
        }
        const float distance = GroundDistance(*GetPositionPtr(), *foe->GetPositionPtr());
        float value = 0.0f;
        bool better = false;
        // Each mode lets a later foe win a tie.
        switch (mode) {
        case 1:
            value = distance;
            better = distance <= range && (best == nullptr || value <= bestValue);
            break;
        case 2:
            value = static_cast<float>(foe->hp);
            better = best == nullptr || value <= bestValue;
            break;
        case 4:
            value = distance;
            better = distance <= range && (best == nullptr || value >= bestValue);
            break;
        case 8:
            value = static_cast<float>(TargetedBy(this, foe));
            better = best == nullptr || value <= bestValue;
            break;
        case 16:
            value = static_cast<float>(TargetedBy(this, foe));
            better = best == nullptr || value >= bestValue;
            break;
        default:  // no such mode: no foe is better
            break;
        }
        if (better) {
            best = foe;
            bestValue = value;
        }
    }
    target = best;
    if (target != nullptr && territory != 0 && g_pStageManager != nullptr) {
        const Territory *area = g_pStageManager->FindTerritory(territory);
        if (area != nullptr && !IsInsideTerritory(*area, *target->GetPositionPtr())) {
            target = nullptr;
            ignoreFoes = true;
            ignoreFoesTimer = 0.0f;
        }
    }
}

void AiObject::MoveToward(float distance, const RwV3d &goal, float step, bool turn, bool collide)
{
    (void)distance;
    const RwV3d &from = *GetPositionPtr();
    RwV3d direction = {goal.x - from.x, 0.0f, goal.z - from.z};
    const float length = std::sqrt(direction.x * direction.x + direction.z * direction.z);
    if (!(length > 0.0f) || g_pStageManager == nullptr) {
        return;
    }
    direction.x /= length;
    direction.z /= length;
    if (collide) {
        g_pStageManager->MoveCharacter(this, direction, step, turn);
    } else {
        g_pStageManager->MoveCharacterSimple(this, direction, step, turn);
    }
}

RwV3d AiObject::MoveStep(AiObject *targetActor, float speed, float dt)
{
    const RwV3d from = *GetPositionPtr();
    const RwV3d goal = targetActor != nullptr ? *targetActor->GetPositionPtr() : from;
    RwV3d straight = {goal.x - from.x, 0.0f, goal.z - from.z};
    const float length = std::sqrt(straight.x * straight.x + straight.z * straight.z);
    const float step = speed * dt;
    if (!(length > 0.0f) || g_pStageManager == nullptr || !(step > 0.0f)) {
        pathFollowing = false;
        return goal;
    }
    straight.x /= length;
    straight.z /= length;
    // The straight step first, then turns of 45 and 90 degrees either side;
    // when all are blocked, the one that gets farthest.
    constexpr float kTurns[] = {0.0f, 45.0f, -45.0f, 90.0f, -90.0f};
    RwV3d bestDirection = straight;
    float bestAllowed = -1.0f;
    for (float turn : kTurns) {
        const RwV3d direction = turn == 0.0f ? straight : TurnedOnGround(straight, turn);
        const float allowed = g_pStageManager->ProbeCharacterMove(this, direction, step);
        if (allowed >= step * 0.999f) {
            pathFollowing = turn != 0.0f;
            if (!pathFollowing) {
                return goal;
            }
            return {from.x + direction.x * step, from.y, from.z + direction.z * step};
        }
        if (allowed > bestAllowed) {
            bestAllowed = allowed;
            bestDirection = direction;
        }
    }
    pathFollowing = true;
    return {from.x + bestDirection.x * step, from.y, from.z + bestDirection.z * step};
}
