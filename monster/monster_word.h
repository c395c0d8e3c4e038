// One word of a class that several AI types share, each type using the
// class's words for its own ends (another actor, a held hero, a time or a
// yes/no flag): the classes name each type's use of a word with an accessor.
#pragma once

#include <cstdint>

class AiObject;
class CSHero;

struct MonsterWord {
    AiObject *actor = nullptr;
    CSHero *hero = nullptr;
    float seconds = 0.0f;
    bool flag = false;
};
