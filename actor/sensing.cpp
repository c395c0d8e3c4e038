// The sensing bits of the actor pass (see sensing.h).
#include "actor/sensing.h"

#include "actor/hero.h"

#include <cmath>

namespace {

float Distance(const RwV3d &a, const RwV3d &b)
{
    const float dx = a.x - b.x;
    const float dy = a.y - b.y;
    const float dz = a.z - b.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

}  // namespace

bool WithinSensingDistance(const RwV3d &actorPosition, const RwV3d &cameraPosition)
{
    return Distance(actorPosition, cameraPosition) <= kSensingDistance;
}

int32_t SensingBits(const RwV3d &position, const SensingRanges &ranges, const SensingHero *heroes, int heroCount,
                    bool viewTested, bool inView)
{
    int32_t bits = 0;
    for (int i = 0; i < heroCount; ++i) {
        const SensingHero &hero = heroes[i];
        if (hero.skipped) {
            continue;
        }
        const float d = Distance(position, hero.position);
        const bool near = ranges.hasTerritory ? hero.insideTerritory : d < ranges.searchRange;
        if (!near) {
            continue;
        }
        bits |= kSenseNear;
        if (d < ranges.attackRange) {
            bits |= kSenseAttack;
        }
        if (d < ranges.alarmCircle) {
            bits |= kSenseAlarm;
        }
    }
    if (viewTested && inView) {
        bits |= kSenseInView;
    }
    return bits;
}

bool CountsAsInView(const AiObject &actor)
{
    return actor.drawn || actor.eventHeld || actor.eventModel || actor.appear != 0;
}

bool SkipsTargetHero(const AiObject &actor, const CSHero &hero)
{
    return actor.target == &hero && (hero.removed || HeroStateBlocksSensing(hero));
}
