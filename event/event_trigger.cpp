// The trigger test: whether an event occurs this frame, from its own
// condition and where the heroes stand. The working values live in this
// function's locals.
#include <cmath>

#include "event/corner_angle_sum.h"
#include "event/event_links.h"
#include "event/event_manager.h"
#include "event/vine_hazard_event.h"

float CornerAngleSum(const RwV3d (&corners)[kEventCorners], const RwV3d &hero)
{
    RwV3d dir[kEventCorners];
    for (int c = 0; c < kEventCorners; ++c) {
        const float dx = corners[c].x - hero.x;
        const float dz = corners[c].z - hero.z;
        const float length = std::sqrt(dx * dx + dz * dz);
        if (length == 0.0f) {
            return 360.0f;  // the hero stands on a corner
        }
        dir[c] = {dx / length, 0.0f, dz / length};
    }
    float sum = 0.0f;
    for (int c = 0; c < kEventCorners; ++c) {
        const RwV3d &a = dir[c];
        const RwV3d &b = dir[(c + 1) % kEventCorners];
        sum += EventACosDeg(a.x * b.x + a.z * b.z);
    }
    return sum;
}

void CSEventManager::TestTrigger(EventRecord *record, float dt, int32_t mode, int32_t playerSlot)
{
    if (record == nullptr) {
        return;
    }
    if (record->IsOccur != 0 && mode == kTriggerFrame && EventConfirmPressed()) {
        ++record->PressCount[0];
        ++record->PressCount[1];
    }
    if (mode == kTriggerFrame) {
        record->ActionReq[0] = 0;
        record->ActionReq[1] = 0;
    } else if (playerSlot >= 0 && playerSlot < kEventPlayers) {
        record->ActionReq[playerSlot] = 1;
    }
    const uint8_t condition = record->CheckCondition(dt);

    bool noCorners = true;
    for (const RwV3d &corner : record->EventArea) {
        noCorners = noCorners && corner.x == 0.0f;
    }
    const float radius = record->Circle.radius;
    for (int32_t slot = 0; slot < kEventPlayers; ++slot) {
        if (record->PlayerEnable[slot] != 1 || poses[slot].valid == 0) {
            continue;
        }
        const int32_t hero = EventHeroPositionOfSlot(slot);
        if (hero < 0) {
            continue;
        }
        const RwV3d &at = poses[slot].position;
        if (radius == 0.0f && noCorners) {
            if (record->IsOccur == 0) {
                record->IsOccur = condition;
            }
        } else if (radius != 0.0f && noCorners) {
            const float dx = at.x - record->Circle.centre.x;
            const float dz = at.z - record->Circle.centre.z;
            const float distance = std::sqrt(dx * dx + dz * dz);
            record->CenterDist[hero] = distance;
            record->InArea[hero] = distance <= radius ? 1 : 0;
        } else if (radius == 0.0f) {
            const float sum = CornerAngleSum(record->EventArea, at);
            record->AngleSum[hero] = sum;
            record->InArea[hero] = sum >= kInsideAngleSum ? 1 : 0;
        }
    }
    const int32_t count = (record->InArea[0] == 1 ? 1 : 0) + (record->InArea[1] == 1 ? 1 : 0);
    record->CharNumMet = count >= record->CharNum ? 1 : 0;
    if (condition != 0 && count >= record->CharNum) {
        record->IsOccur = 1;
    }
}
