// The volume law: volumes to hundredths of a decibel, clamped so nothing amplifies, and
// hundredths of a decibel to the mixer's factor.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "sound/sound.h"

namespace volume_law_test {

namespace {

TEST(VolumeLaw, VolumesBecomeHundredthsOfADecibel)
{
    struct Case {
        float volume;
        int32_t millibels;
    } const cases[] = {
        {1.0f, 0},          {0.5f, -1000},       {0.25f, -2000},
        {0.01f, -6644},     {0.0f, -10000},      {1e-4f, -10000},  // 1000 x log2 is -13288: clamped
        {1.5f, 0},          {1000.0f, 0},                          // above 1 never amplifies
        {-0.5f, -10000},    {std::numeric_limits<float>::quiet_NaN(), -10000},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(snd::MillibelsFromVolume(c.volume), c.millibels) << "volume " << c.volume;
    }
}

TEST(VolumeLaw, HundredthsOfADecibelBecomeTheFactor)
{
    EXPECT_DOUBLE_EQ(snd::GainFromMillibels(0), 1.0);
    EXPECT_NEAR(snd::GainFromMillibels(-1000), 0.316228, 1e-6);  // 10^(-1000/2000)
    EXPECT_NEAR(snd::GainFromMillibels(-6644), 4.7643e-4, 1e-7);
    EXPECT_EQ(snd::GainFromMillibels(-10000), 0.0);               // the floor is silence
    EXPECT_EQ(snd::GainFromMillibels(-20000), 0.0);
    EXPECT_DOUBLE_EQ(snd::GainFromMillibels(500), 1.0);
}

}  // namespace

}  // namespace volume_law_test
