// The carried blocks' new-game values (see carried_state.h).
#include "ui/carried_state.h"

void ResetHeroBlock(UIHeroBlock *block)
{
    *block = UIHeroBlock{};
    for (uint8_t &grade : block->stageGrades) {
        grade = kNoStageGrade;
    }
    for (int i = 0; i < kCarriedAbilityFlags; ++i) {
        block->abilityFlags[i] = i < 3 ? 1 : 0;
    }
}

void ClearProgressBlock(UIProgressBlock *block) { *block = UIProgressBlock{}; }
