// The fighting character, AI type 10, on the CSMonster1003 layout: it
// counts heroes and monsters as its foes, walks up to the nearest, strikes
// it with kind-1 hits (blood and sparks where they land), seizes a hero
// and holds it 7.5 units ahead, and dies like a monster, dropping what its
// drop map rolls.
#pragma once

#include <cstdint>

class AiObject;
class CFSF;
class CSMonster1003;

struct CSNpc10 {
    static void Update(CSMonster1003 *self, float dt);
    static void Think(CSMonster1003 *self, int32_t *next, float dt);
    static void Act(CSMonster1003 *self, int32_t *next, float dt);
    static void SetState(CSMonster1003 *self, CFSF *fsf, int32_t state);
    // The AI-type table's release.
    static void ReleaseOf(AiObject *actor);
};
