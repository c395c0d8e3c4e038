// Monster type 1004, a grab monster that seizes a hero in front of it and
// holds it one unit ahead for up to 3 s. The class (three words, each type
// using them for its own ends: the named accessors say which) also serves
// the non-player character 112 and the trap 1202.
#pragma once

#include <cstdint>

#include "actor/ai_object.h"
#include "monster/monster_word.h"

class CSHero;

class CSMonster1004 : public AiObject {
public:
    CSMonster1004() = default;

    MonsterWord word[3];

    // Type 1004: the hero being held, the seconds in the holding state 13,
    // state 7's particles.
    CSHero *&HeldHero1004() { return word[0].hero; }
    float &HoldTimer1004() { return word[1].seconds; }
    bool &EffectStarted1004() { return word[2].flag; }
    // Character 112: its effects of states 1, 5 and 2, once per entry.
    bool &State1Effect112() { return word[0].flag; }
    bool &State5Effect112() { return word[1].flag; }
    bool &State2Effect112() { return word[2].flag; }

    void Update(float dt);
    void Think(int32_t *next, float dt);
    void Act(int32_t *next, float dt);
};
