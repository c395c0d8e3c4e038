// End to end on the sample data: a headless run draws only the frames something reads
// (its window keeps none, and each frame's clear drops the last one undrawn). The
// screenshots of the first stage, with its rain, fog and overlay, are byte for byte
// those of a run that draws every call at once (SWR_DEFERRED=0), which drops nothing.
#include <gtest/gtest.h>

#include <string>

#include "app/app_test_support.h"

namespace unkept_frames_test {

namespace {

// The stage's screenshots after ticks 12, 27 and 40 (a run of the sample data).
std::vector<std::vector<uint8_t>> StageShots(const std::string &name, const std::string &environment)
{
    const std::string folder = apptest::ScratchFolder(name);
    std::string arguments = "--headless --mode 2 --fixed-step 16 --stage 1 --frames 40";
    for (int tick : {12, 27, 40}) {
        arguments += " --screenshot " + std::to_string(tick) + ":'" + folder + "/shot" + std::to_string(tick) + ".bmp'";
    }
    std::string output;
    EXPECT_EQ(apptest::RunGame(apptest::SampleData(), arguments, &output, environment), 0) << output;
    std::vector<std::vector<uint8_t>> shots;
    for (int tick : {12, 27, 40}) {
        shots.push_back(apptest::ReadBytes(folder + "/shot" + std::to_string(tick) + ".bmp"));
    }
    return shots;
}

TEST(UnkeptFrames, ScreenshotsAreThoseOfARunThatDrawsEveryFrame)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    const std::vector<std::vector<uint8_t>> skipping = StageShots("skipping", "SDL_AUDIODRIVER=dummy");
    const std::vector<std::vector<uint8_t>> every = StageShots("every", "SDL_AUDIODRIVER=dummy SWR_DEFERRED=0");
    ASSERT_EQ(skipping.size(), every.size());
    for (size_t i = 0; i < every.size(); ++i) {
        EXPECT_GT(every[i].size(), 800u * 600u * 3u) << "shot " << i;
        EXPECT_TRUE(skipping[i] == every[i]) << "shot " << i << " differs";
    }
    EXPECT_TRUE(skipping[0] != skipping[2]) << "the frames move";
}

}  // namespace

}  // namespace unkept_frames_test
