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

int32_t SensingBits(const RwV3d &position, const SensingRanges &ranges, SensingHero *heroes, int heroCount,
                    bool viewTested, bool inView)
{
    int32_t bits = 0;
    for (int i = 0; i < heroCount; ++i) {
        SensingHero &hero = heroes[i];
        if (hero.test == SensingTest::kLeftOut) {
            continue;
        }
        if (hero.test == SensingTest::kKeepLast && hero.lastBits != kNeverSensed) {
            bits |= hero.lastBits;
            continue;
        }
        const float d = Distance(position, hero.position);
        const bool near = ranges.hasTerritory ? hero.insideTerritory : d < ranges.searchRange;
        int32_t own = 0;
        if (near) {
            own |= kSenseNear;
            if (d < ranges.attackRange) {
                own |= kSenseAttack;
            }
            if (d < ranges.alarmCircle) {
                own |= kSenseAlarm;
            }
        }
        hero.lastBits = own;
        bits |= own;
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

SensingTest SensingTestOf(const AiObject &actor, const CSHero &hero)
{
    if (actor.target != &hero) {
        return SensingTest::kTested;
    }
    if (hero.removed) {
        return SensingTest::kLeftOut;
    }
    return HeroStateBlocksSensing(hero) ? SensingTest::kKeepLast : SensingTest::kTested;
}
