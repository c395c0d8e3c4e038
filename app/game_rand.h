// The game's one pseudo-random generator. Every draw of the game's code
// (state randoms, drop rolls, shakes, effect jitter) comes from here, so a
// seeded run repeats exactly on every platform: the classic linear
// congruential form x = x * 214013 + 2531011, answering bits 16..30.
#pragma once

#include <cstdint>

namespace game {

inline constexpr int kRandMax = 0x7FFF;

// Restarts the sequence; the generator starts as if seeded with 1.
void Srand(uint32_t seed);
// The next draw, 0..kRandMax.
int Rand();

}  // namespace game
