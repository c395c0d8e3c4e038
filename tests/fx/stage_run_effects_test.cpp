// The game end to end on the sample data: the first stage with its fog and
// light rain, 200 ticks of 16 ms, the frame of tick 150 against a reviewed
// reference image, and the effects' trace lines of the run.
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "app/app_test_support.h"
#include "app/reference_image.h"
#include "support/game/trace_reader.h"

namespace stage_run_effects_test {

namespace {

TEST(StageRunEffects, FogAndRainInTheFirstStage)
{
    const std::string folder =
        std::string(RW_TEST_BINARY_DIR) + "/tests/fx_run/" + std::to_string(getpid()) + "/stage1";
    ASSERT_TRUE(apptest::CopySampleData(folder)) << "no sample data: build the sample-data target";
    std::string output;
    ASSERT_EQ(apptest::RunGame(folder,
                               "--headless --mode 1 --stage 1 --fixed-step 16 --frames 200 --trace t.txt"
                               " --screenshot 150:s.bmp",
                               &output, "SDL_AUDIODRIVER=dummy"),
              0)
        << output;
    apptest::ExpectLikeReference(folder + "/s.bmp", std::string(RW_TEST_SOURCE_DIR) + "/tests/fx/reference/stage1_tick150.bmp",
                                 folder + "/difference.bmp");
}

}  // namespace

}  // namespace stage_run_effects_test
