// Sums and products of the game's int fields (damage, experience, rewards,
// life) are worked out wider and stored back held to the int range, so a
// large value in a data file saturates instead of wrapping round.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace game {

inline int32_t ClampToInt32(int64_t value, int64_t low = INT32_MIN, int64_t high = INT32_MAX)
{
    return static_cast<int32_t>(std::clamp(value, low, high));
}

// A value worked out in doubles (a float factor from a file); not a number gives 0.
inline int32_t ClampToInt32(double value, double low = INT32_MIN, double high = INT32_MAX)
{
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<int32_t>(std::clamp(value, low, high));
}

}  // namespace game
