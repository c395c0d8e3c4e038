// The game's one random generator: the classic sequence and its seeding.
#include <gtest/gtest.h>

#include "app/game_rand.h"

namespace game_rand_test {

namespace {

TEST(GameRand, SeededOneGivesTheClassicSequence)
{
    game::Srand(1);
    EXPECT_EQ(game::Rand(), 41);
    EXPECT_EQ(game::Rand(), 18467);
    EXPECT_EQ(game::Rand(), 6334);
    EXPECT_EQ(game::Rand(), 26500);
}

TEST(GameRand, ReseedingRepeatsAndStaysInRange)
{
    game::Srand(123456789u);
    int first[64];
    for (int &v : first) {
        v = game::Rand();
        EXPECT_GE(v, 0);
        EXPECT_LE(v, game::kRandMax);
    }
    game::Srand(123456789u);
    for (int v : first) {
        EXPECT_EQ(game::Rand(), v);
    }
}

}  // namespace

}  // namespace game_rand_test
