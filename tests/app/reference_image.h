// Comparing a game screenshot with a reviewed reference image. The
// rasteriser draws a frame bit for bit alike in every build type and at
// every span width, so by default a shot may differ from its reference only
// by a blend's rounding step in a channel: a picture or a marker moved by
// one pixel fails. A scene that honestly varies says how, in a
// ReferenceTolerance: regions whose content varies from run to run (a
// memory figure) are left out, and so are the few pixels a shot is known to
// stray in, each region named. A failing comparison
// writes |shot - reference| (amplified) beside the shot.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/bmp_file.h"

namespace apptest {

// The rounding step of a blend, per channel.
constexpr int kChannelTolerance = 4;

// A screen rectangle, x0 and y0 included, x1 and y1 not.
struct ReferenceRect {
    int x0, y0, x1, y1;
    bool Holds(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

// What a comparison lets pass besides the channel step: regions left out,
// each named where it is given. Nothing else may differ.
struct ReferenceTolerance {
    // Regions whose content varies from run to run (a memory figure).
    std::vector<ReferenceRect> varying;
    // Pixels known to stray from what a player should see, which the
    // sample data cannot mend (see the constants below).
    std::vector<ReferenceRect> strays;
};

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

// Known strays. Two pictures whose places in an atlas the screens' layouts
// fix touch there, and the interface's linear filter, sampling a quad drawn
// texel for texel at pixel corners, takes half a texel across the shared
// edge: the status page's stat frame (PLAYER 341..510 from row 93) reads
// the bottom row of the message window's portrait border (370..453, rows 2
// to 92) into its top row, where they meet; the overlay's hit counter label
// (257..313, rows 44..57) reads the edge of the message window's top left
// corner piece (from x 313, with its two-texel margin) into its top right
// corner. A colour in the shared texels serves one picture or the other,
// never both.
constexpr ReferenceRect kStatFrameTopRowStray = {80, 107, 164, 108};
constexpr ReferenceRect kHitLabelCornerStray = {591, 21, 593, 22};
constexpr ReferenceRect kHitLabelCornerStray800 = {747, 39, 750, 46};

// The result of a comparison: pixels past the channel step outside the
// regions left out, and the largest channel difference among them.
struct ReferenceComparison {
    int outliers = 0;
    int worst = 0;
    bool Passed() const { return outliers == 0; }
};

inline ReferenceComparison CompareWithReference(const Bmp &shot, const Bmp &reference,
                                                const ReferenceTolerance &tolerance = {})
{
    ReferenceComparison result;
    const auto leftOut = [&](int x, int y) {
        const auto holds = [&](const ReferenceRect &r) { return r.Holds(x, y); };
        return std::any_of(tolerance.varying.begin(), tolerance.varying.end(), holds) ||
               std::any_of(tolerance.strays.begin(), tolerance.strays.end(), holds);
    };
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            if (leftOut(x, y)) {
                continue;
            }
            int far = 0;
            Difference(shot.Pixel(x, y), reference.Pixel(x, y), &far);
            result.worst = std::max(result.worst, far);
            result.outliers += far > kChannelTolerance ? 1 : 0;
        }
    }
    return result;
}

// The shot at `shotPath` against the reference at `referencePath`; a
// failure names the difference image written at `differencePath`.
inline void ExpectLikeReference(const std::string &shotPath, const std::string &referencePath,
                                const std::string &differencePath, const ReferenceTolerance &tolerance = {})
{
    Bmp shot;
    Bmp reference;
    ASSERT_TRUE(LoadBmp(shotPath, &shot)) << shotPath;
    ASSERT_TRUE(LoadBmp(referencePath, &reference)) << referencePath;
    ASSERT_EQ(shot.width, reference.width);
    ASSERT_EQ(shot.height, reference.height);
    const ReferenceComparison result = CompareWithReference(shot, reference, tolerance);
    if (!result.Passed()) {
        ADD_FAILURE() << shotPath << ": " << result.outliers << " pixels differ by more than " << kChannelTolerance
                      << " (worst " << result.worst << "); difference image: " << WriteDifference(shot, reference, differencePath);
    }
}

}  // namespace apptest
