// The test options that reach into the running game (--hero-life,
// --boss-gauge): applied by the application's tick after input and before
// the game system's tick.
#pragma once

#include <cstdint>

#include "app/options.h"

class CSStageManager;

// At `tick` sets the first hero's life as the options ask (nothing without
// a stage manager or a hero) and asks for the boss gauge.
void ApplyTestSettings(const game::Options &options, uint32_t tick, CSStageManager *stage);
