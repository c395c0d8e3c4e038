// The reward for a kill (see reward.h).
#include "actor/reward.h"

#include <cstdint>

#include "actor/hero.h"
#include "app/int_range.h"

int32_t RewardMultiplier(int32_t hitCounter)
{
    if (hitCounter <= 5) {
        return 1;
    }
    if (hitCounter <= 12) {
        return 2;
    }
    if (hitCounter <= 20) {
        return 3;
    }
    if (hitCounter <= 30) {
        return 4;
    }
    return hitCounter <= 70 ? 5 : 10;
}

bool CountKillReward(AiObject *victim, int32_t exp)
{
    if (victim->rewardCounted || victim->lastAttacker == nullptr) {
        return false;
    }
    victim->rewardCounted = true;
    if (IsHeroType(victim->lastAttacker->aiType)) {
        CSHero *hero = static_cast<CSHero *>(victim->lastAttacker);
        hero->killCount += 1;
        // Exp comes from the victim's file: the product is held to the int range.
        const int64_t amount = static_cast<int64_t>(exp) * RewardMultiplier(hero->hitCounter);
        victim->rewardAmount = game::ClampToInt32(amount);
    }
    return true;
}
