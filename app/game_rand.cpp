// The game's one pseudo-random generator (see game_rand.h).
#include "app/game_rand.h"

namespace game {

namespace {
// The game runs on one thread; the generator is its state alone.
uint32_t g_state = 1;
}  // namespace

void Srand(uint32_t seed)
{
    g_state = seed;
}

int Rand()
{
    g_state = g_state * 214013u + 2531011u;
    return static_cast<int>((g_state >> 16) & 0x7FFFu);
}

}  // namespace game
