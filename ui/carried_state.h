// The two blocks the screen manager carries between stages: the player's
// progress (play time, the shared items, cleared stages) and the hero
// (which hero and pad, equipment, levels, money, own items, per-stage
// grades, ability flags). They are the in-memory form of parts of a save
// record: the load screen fills them and the save screen writes them.
#pragma once

#include <cstdint>

inline constexpr int kStageSlots = 29;
inline constexpr int kCarriedSharedItems = 14;
inline constexpr int kCarriedHeroItems = 34;
inline constexpr int kClearedListSlots = 28;
inline constexpr int kCarriedAbilityFlags = 9;
inline constexpr uint8_t kNoStageGrade = 255;

struct UIProgressBlock {
    uint32_t unused = 0;
    uint32_t totalPlayMs = 0;  // the stage-end screen adds each stage's time
    uint32_t word2 = 0;
    uint32_t itemIds[kCarriedSharedItems] = {};
    int32_t itemCounts[kCarriedSharedItems] = {};
    uint8_t cleared[kStageSlots] = {};  // by stage slot
    uint32_t clearedWord = 0;           // set to 0 with every stage cleared
    uint32_t clearedList[kClearedListSlots] = {};  // slots in clearing order, 0 = empty
};

struct UIHeroBlock {
    int32_t newGame = 0;    // 1 from the title's new game on
    int32_t pad = -1;       // the controlling pad
    int32_t hero = -1;      // which hero: 0 or 1
    uint32_t equipped[3] = {};  // equipment slots 0..2; slot 2 the weapon
    int32_t hpLevel = 0;
    int32_t powerLevel = 0;
    int32_t maxHp = 0;
    int32_t maxPower = 0;
    int32_t money = 0;
    uint32_t itemIds[kCarriedHeroItems] = {};
    int32_t itemCounts[kCarriedHeroItems] = {};
    uint8_t stageGrades[kStageSlots] = {};  // by stage slot; 255 = none
    uint8_t abilityFlags[kCarriedAbilityFlags] = {};
};

// The new game's hero block: nothing chosen, no items, no grades, the
// three first ability flags on.
void ResetHeroBlock(UIHeroBlock *block);
void ClearProgressBlock(UIProgressBlock *block);
