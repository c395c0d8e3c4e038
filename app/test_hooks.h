// The test options that reach into the running game (--hero-life,
// --boss-gauge, --stage-end, --reward): applied by the application's tick
// after input and before the game system's tick.
#pragma once

#include <cstdint>

#include "app/options.h"

class CSStageManager;

// At `tick` does what the options ask of that tick: the first hero's life,
// the boss gauge asked for, the running stage finished, reward pieces
// beside the first hero; nothing without a stage manager, a running stage
// or a hero.
void ApplyTestSettings(const game::Options &options, uint32_t tick, CSStageManager *stage);
