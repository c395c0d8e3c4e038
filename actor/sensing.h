// The per-frame sensing of the actor pass: which bits of the kind-3 message
// an actor gets from where the heroes stand and whether it is in view.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"
#include "rwcore.h"

class CSHero;

// Actors farther than this from the camera (3D, the distance itself
// included) get no sensing message and no view test.
inline constexpr float kSensingDistance = 400.0f;
bool WithinSensingDistance(const RwV3d &actorPosition, const RwV3d &cameraPosition);

// How the sensing of one actor takes one hero.
enum class SensingTest {
    kTested,    // its place gives its bits
    kKeepLast,  // not tested: the bits of its last test stand
    kLeftOut,   // gives no bits
};

// One hero as the sensing of one actor sees it.
struct SensingHero {
    RwV3d position = {0.0f, 0.0f, 0.0f};
    bool insideTerritory = false;  // inside the actor's territory (when it has one)
    SensingTest test = SensingTest::kTested;
    // The bits of its last test (kNeverSensed: none yet, and the hero is
    // tested); a test stores its own.
    int32_t lastBits = kNeverSensed;
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
// (3D distances, strict); a hero not tested gives its last bits again
// (one never tested yet is tested all the same), and
// a tested one keeps its new bits in `lastBits`; the heroes' bits joined.
// kSenseInView when the stage has a collision world (viewTested) and the
// actor is in view.
int32_t SensingBits(const RwV3d &position, const SensingRanges &ranges, SensingHero *heroes, int heroCount,
                    bool viewTested, bool inView);

// An actor counts as in view when the view test found it unhidden or an
// event holds it, gave it its model or made it appear.
bool CountsAsInView(const AiObject &actor);

// A hero that is the actor's current target is left out while it is
// removed, and not tested while it is held, getting up (state 5) or
// attacking (states 40 to 84): it keeps the bits of its last test, so that
// a hero that swings at its foe stays its foe. Any other hero is tested.
SensingTest SensingTestOf(const AiObject &actor, const CSHero &hero);
