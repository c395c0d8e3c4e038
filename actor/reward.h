// The reward for a kill: the victim's Exp times the multiplier of the
// killing hero's running hit counter, counted once per victim.
#pragma once

#include <cstdint>

class AiObject;

// x1 up to 5 hits, x2 from 6 to 12, x3 from 13 to 20, x4 from 21 to 30,
// x5 from 31 to 70, x10 from 71.
int32_t RewardMultiplier(int32_t hitCounter);

// Once per victim (its reward-counted flag), as soon as a last attacker is
// remembered: a hero attacker gains a kill and the victim's reward amount
// becomes exp times that hero's multiplier; any other attacker earns no
// reward but the kill is counted all the same. True when it was counted now.
bool CountKillReward(AiObject *victim, int32_t exp);
