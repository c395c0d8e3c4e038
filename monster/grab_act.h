// The act step of the grab monsters 1002, 1003 and 1004: the template's
// steps in their order with the seize, the hold of up to 3 s and the
// release, one row per type; each type's act is this script with its row
// and the words that hold its hero.
#pragma once

#include <cstdint>
#include <span>

#include "monster/kit_combat.h"
#include "monster/kit_messages.h"
#include "monster/kit_state.h"
#include "monster/melee_act.h"

class CSHero;

namespace monster {

struct GrabActRow {
    int32_t aiType;
    // A state that starts particles once per entry (4 or 7; -1 none) and
    // how: the two systems placed on the model (state 7) or one on a
    // weapon part (state 4).
    int32_t effectState;
    const char *effectOnPart;  // null: "3218100.zus" and "3218101.zus" on the model
    int32_t effectPart = 0;  // the weapon part, with effectOnPart
    int32_t turnStates[3];  // and state 1 unless following a path
    HoldDistance seizeAt;
    HoldDistance holdAt;
    bool releaseSetsGrabWord;
    DownHitRow downHits[2];
    float getUpSeconds;
    bool burningDropsResistance;  // while burning the resistances are 1
    int32_t knockState;
    int32_t dizzySound;  // 0: none
    // Without a seized hero input 0 is fed unless `next` holds 16 ..
    // seizeKeepsTo; with `seizeResultBelow` above 0 only a result below it
    // is taken.
    int32_t seizeKeepsTo;
    int32_t seizeResultBelow;
    std::span<const StateSound> sounds;
    int32_t dyingStates[2];
    int32_t goneStates[2];
    float fixedFadeSpeed;  // above 0: the death fade at this speed, not looped
};

// The words a grab monster keeps its hero in.
struct HoldWords {
    CSHero **heldHero;
    float *holdTimer;
    bool *effectStarted;     // null for a type without an effect state
};

void RunGrabAct(AiObject *actor, int32_t *next, float dt, const GrabActRow &row, const HoldWords &words);

// The think step of the grab monsters, whose sensing follows type 1007's
// with the row's constants: foes and target refreshed at the start (or,
// for the types that do it there, inside bits 2, 8 and 4), the near rule,
// and `sense(bits, &input)` for the alarm (8) and attack (4) bits; the
// grabbed states 25 and 26, and bit 512 in the holding state 13 lets go
// (input 14).
extern const ThinkRules kGrabThink;

}  // namespace monster
