// The per-frame sensing of the actor pass: which bits of the kind-3 message
// an actor gets from where the heroes stand and whether it is in view.
#pragma once

#include <cstdint>

#include "rwcore.h"

class AiObject;
class CSHero;

// Actors farther than this from the camera (3D, the distance itself
// included) get no sensing message and no view test.
inline constexpr float kSensingDistance = 400.0f;
bool WithinSensingDistance(const RwV3d &actorPosition, const RwV3d &cameraPosition);

// One hero as the sensing of one actor sees it.
struct SensingHero {
    RwV3d position = {0.0f, 0.0f, 0.0f};
    bool insideTerritory = false;  // inside the actor's territory (when it has one)
    bool skipped = false;          // not tested (SkipsTargetHero)
};

struct SensingRanges {
    bool hasTerritory = false;
    float searchRange = 0.0f;
    float attackRange = 0.0f;
    float alarmCircle = 0.0f;
};

// The bits for an actor at `position`: per hero, kSenseNear when it stands
// in the territory (without one: closer than SearchRange), and only then
// kSenseAttack and kSenseAlarm when closer than AttackRange and AlarmCircle
// (3D distances, strict); the heroes' bits joined. kSenseInView when the
// stage has a collision world (viewTested) and the actor is in view.
int32_t SensingBits(const RwV3d &position, const SensingRanges &ranges, const SensingHero *heroes, int heroCount,
                    bool viewTested, bool inView);

// An actor counts as in view when the view test found it unhidden or an
// event holds it, gave it its model or made it appear.
bool CountsAsInView(const AiObject &actor);

// A hero that is the actor's current target is not tested while it is
// removed or held, getting up (state 5) or attacking (states 40 to 84).
bool SkipsTargetHero(const AiObject &actor, const CSHero &hero);
