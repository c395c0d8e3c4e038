// Monster types 1000 and 1005: template-D melee monsters that are plain
// actors (no words of their own). Their steps are named after the type.
#pragma once

#include <cstdint>

#include "monster/kit_state.h"

class AiObject;

namespace monster {

// The sounds of type 1000's states, which type 1006's like states share.
inline constexpr StateSound kSounds1000[] = {
    {1, 6110050, 0},        {4, 6110020, 0},       {7, 6110020, 0},        {11, 6300240, 0},
    {28, 6300240, 0},       {29, 6300240, 0},      {12, 6110030, 6300240}, {16, 6110030, 6300240},
    {13, 6110030, 6300250}, {20, 6110030, 6300230}, {21, 6110010, 0},      {22, 6110040, 0},
    {23, 6110040, 0},
};

}  // namespace monster

struct CSMonster1000 {
    static void Update(AiObject *actor, float dt);
    static void Think(AiObject *actor, int32_t *next, float dt);
    static void Act(AiObject *actor, int32_t *next, float dt);
};

struct CSMonster1005 {
    static void Update(AiObject *actor, float dt);
    static void Think(AiObject *actor, int32_t *next, float dt);
    static void Act(AiObject *actor, int32_t *next, float dt);
};
