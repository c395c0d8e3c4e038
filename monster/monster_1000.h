// Monster types 1000 and 1005: template-D melee monsters that are plain
// actors (no words of their own). Their steps are named after the type.
#pragma once

#include <cstdint>

class AiObject;
class CFSF;

struct CSMonster1000 {
    static void Update(AiObject *actor, float dt);
    static void Think(AiObject *actor, int32_t *next, float dt);
    static void Act(AiObject *actor, int32_t *next, float dt);
    static void SetState(AiObject *actor, CFSF *fsf, int32_t state);
};

struct CSMonster1005 {
    static void Update(AiObject *actor, float dt);
    static void Think(AiObject *actor, int32_t *next, float dt);
    static void Act(AiObject *actor, int32_t *next, float dt);
    static void SetState(AiObject *actor, CFSF *fsf, int32_t state);
};
