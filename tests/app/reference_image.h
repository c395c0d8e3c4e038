// Comparing a game screenshot with a reviewed reference image: rasterising
// the same scene in another build type may move an edge by a rounding step
// or shade a texel one step apart; anything more is a fault. A failing
// comparison writes |shot - reference| (amplified) beside the shot.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/bmp_file.h"

namespace apptest {

constexpr int kChannelTolerance = 8;
// Pixels past the tolerance allowed per image: triangle edges only.
constexpr double kOutlierShare = 0.002;

inline int Channel(uint32_t p, int c) { return static_cast<int>((p >> (8 * c)) & 0xFF); }

// Per channel |a - b| packed as a pixel, and the largest of the three.
inline uint32_t Difference(uint32_t a, uint32_t b, int *largest)
{
    uint32_t d = 0;
    *largest = 0;
    for (int c = 0; c < 3; ++c) {
        const int delta = std::abs(Channel(a, c) - Channel(b, c));
        *largest = std::max(*largest, delta);
        d |= static_cast<uint32_t>(delta) << (8 * c);
    }
    return d;
}

inline std::string WriteDifference(const Bmp &shot, const Bmp &reference, const std::string &path)
{
    std::vector<uint32_t> pixels(size_t(shot.width) * size_t(shot.height));
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            int largest = 0;
            const uint32_t d = Difference(shot.Pixel(x, y), reference.Pixel(x, y), &largest);
            // Amplified four times, so that small differences show.
            uint32_t shown = 0;
            for (int c = 0; c < 3; ++c) {
                shown |= static_cast<uint32_t>(std::min(255, 4 * Channel(d, c))) << (8 * c);
            }
            pixels[size_t(y) * size_t(shot.width) + size_t(x)] = shown;
        }
    }
    WriteBmp(path, shot.width, shot.height, pixels);
    return path;
}

// The shot at `shotPath` against the reference at `referencePath`; a
// failure names the difference image written at `differencePath`.
inline void ExpectLikeReference(const std::string &shotPath, const std::string &referencePath,
                                const std::string &differencePath)
{
    Bmp shot;
    Bmp reference;
    ASSERT_TRUE(LoadBmp(shotPath, &shot)) << shotPath;
    ASSERT_TRUE(LoadBmp(referencePath, &reference)) << referencePath;
    ASSERT_EQ(shot.width, reference.width);
    ASSERT_EQ(shot.height, reference.height);
    int outliers = 0;
    int worst = 0;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            int far = 0;
            Difference(shot.Pixel(x, y), reference.Pixel(x, y), &far);
            worst = std::max(worst, far);
            outliers += far > kChannelTolerance ? 1 : 0;
        }
    }
    const int allowed = static_cast<int>(kOutlierShare * shot.width * shot.height);
    if (outliers > allowed) {
        ADD_FAILURE() << shotPath << ": " << outliers << " pixels differ by more than " << kChannelTolerance
                      << " (worst " << worst << "); difference image: "
                      << WriteDifference(shot, reference, differencePath);
    }
}

}  // namespace apptest
