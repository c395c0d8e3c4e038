// The boss rows by AI type (see boss_traits.h).
#include "boss/boss_traits.h"

namespace boss {

const BossTraits *BossTraitsOf(int32_t aiType)
{
    static constexpr const BossTraits *kRows[] = {
        &kBoss1100Traits, &kBoss1101Traits, &kBoss1102Traits, &kBoss1103Traits,
        &kBoss1104Traits, &kBoss1105Traits, &kBoss1106Traits, &kBoss1107Traits,
        &kBoss1108Traits, &kBoss1109Traits, &kBoss1110Traits,
    };
    for (const BossTraits *row : kRows) {
        if (row->aiType == aiType) {
            return row;
        }
    }
    return nullptr;
}

}  // namespace boss
