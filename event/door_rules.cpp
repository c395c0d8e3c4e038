// The door events' rules that need no model (see door_rules.h).
#include "event/door_rules.h"

#include <array>
#include <cmath>

#include "event/condition_codes.h"
#include "event/corner_angle_sum.h"
#include "event/vine_hazard_event.h"

namespace {

constexpr std::array<int32_t, 14> kDoorSounds = {
    6500350, 6500360, 6500370, 6500380, 6500390, 6500400, 6500410,
    6500420, 6500310, 6500150, 6500120, 6500510, 6500510, 6500290,
};

// A zone: one or two quadrilaterals of (x, z) corners in order.
struct CrusherZone {
    int32_t eventId;
    int32_t quads;
    float corners[2][kEventCorners][2];
};

constexpr CrusherZone Rect(int32_t id, float x0, float x1, float z0, float z1)
{
    return {id, 1, {{{x0, z0}, {x1, z0}, {x1, z1}, {x0, z1}}, {}}};
}

constexpr CrusherZone kZones[] = {
    Rect(79164900, -0.973f, 44.814f, -143.869f, -71.85f),
    {79165000, 1, {{{122.487f, -89.354f}, {155.142f, -65.629f}, {192.047f, -116.425f}, {159.393f, -140.15f}}, {}}},
    {79165100, 1, {{{266.624f, -53.384f}, {292.734f, -86.802f}, {240.749f, -127.418f}, {214.639f, -93.999f}}, {}}},
    Rect(79165200, 352.711f, 414.114f, -295.349f, -251.884f),
    {79165300,
     2,
     {{{326.194f, -420.194f}, {401.738f, -420.194f}, {401.738f, -371.63f}, {326.194f, -371.63f}},
      {{284.249f, -520.628f}, {327.256f, -520.628f}, {327.256f, -454.801f}, {284.249f, -454.801f}}}},
};

const CrusherZone *FindZone(int32_t eventId)
{
    for (const CrusherZone &zone : kZones) {
        if (zone.eventId == eventId) {
            return &zone;
        }
    }
    return nullptr;
}

bool AnyActionWithArea(const EventRecord *record, bool needArea)
{
    for (int i = 0; i < kEventPlayers; ++i) {
        if (record->ActionReq[i] != 0 && (!needArea || record->InArea[i] != 0)) {
            return true;
        }
    }
    return false;
}

}  // namespace

int32_t DoorSoundOfKind(int32_t kind)
{
    return kind >= 1 && kind <= static_cast<int32_t>(kDoorSounds.size()) ? kDoorSounds[kind - 1] : 0;
}

bool DoorOpenConditionHolds(EventRecord *record, int32_t code, const DoorConditionInputs &inputs)
{
    if (record == nullptr) {
        return false;
    }
    if (code >= 1 && code <= 99) {
        return record->LinkEndNum == code;
    }
    switch (code) {
    case 100:
        return record->Param != 0 && AnyActionWithArea(record, false) && inputs.keyOwned;
    case 200:
        return ConditionHolds(record, ConditionTest::kOwnActorsGone);
    case 300:
        return ConditionHolds(record, ConditionTest::kLinkedActorsGone);
    case 400:
        return true;
    case 500:
        return ConditionHolds(record, ConditionTest::kLinkEnded);
    case 600:
        return ConditionHolds(record, ConditionTest::kLinkRunning);
    case 700:
        return AnyActionWithArea(record, true);
    default:
        return false;
    }
}

bool WithinDoorMessageDistance(const RwV3d &centre, const RwV3d &hero, float distance)
{
    const float dx = hero.x - centre.x;
    const float dz = hero.z - centre.z;
    return std::sqrt(dx * dx + dz * dz) < distance;
}

bool IsCrusherDoor(int32_t eventId) { return FindZone(eventId) != nullptr; }

bool InCrusherZone(int32_t eventId, float x, float z)
{
    const CrusherZone *zone = FindZone(eventId);
    if (zone == nullptr) {
        return false;
    }
    const RwV3d at = {x, 0.0f, z};
    for (int32_t q = 0; q < zone->quads; ++q) {
        RwV3d corners[kEventCorners];
        for (int c = 0; c < kEventCorners; ++c) {
            corners[c] = {zone->corners[q][c][0], 0.0f, zone->corners[q][c][1]};
        }
        if (CornerAngleSum(corners, at) >= kInsideAngleSum) {
            return true;
        }
    }
    return false;
}

uint32_t CrusherHitHeroes(int32_t eventId, int32_t heroCount, const RwV3d *heroPositions)
{
    uint32_t hit = 0;
    const int32_t tested = heroCount >= 2 ? 2 : heroCount;
    for (int32_t i = 0; heroPositions != nullptr && i < tested; ++i) {
        if (InCrusherZone(eventId, heroPositions[i].x, heroPositions[i].z)) {
            hit |= 1u << i;
        }
    }
    return hit;
}
