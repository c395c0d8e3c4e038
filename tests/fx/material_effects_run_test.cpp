// End to end: stage 29 of the sample data holds the material-effects
// showcase, a stage model of three panels left of the heroes' start that
// draw through the effects pipeline with the textures of the stage's pack:
// the environment map (the sky above its horizon reflected over the base
// checker), the second texture's stripes over the base twice as bright,
// and the bump map's round bumps in relief. A reviewed shot once the stage
// has faded in, and each panel's pixels against the plain grey checker; the
// run's trace and frames as kept (tests/fx/frame_logs).
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "app/app_test_support.h"
#include "app/bmp_file.h"
#include "app/reference_image.h"
#include "support/game/run_log.h"
#include "support/game/trace_reader.h"

namespace material_effects_run_test {

namespace {

struct Rgb {
    int r, g, b;
};

Rgb At(const apptest::Bmp &bmp, int x, int y)
{
    const uint32_t p = bmp.Pixel(x, y);
    return {static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF), static_cast<int>(p & 0xFF)};
}

// The pixels of the rectangle [x0, x1) x [y0, y1) that `test` accepts.
template <class Test>
int Count(const apptest::Bmp &bmp, int x0, int y0, int x1, int y1, Test test)
{
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            count += test(At(bmp, x, y)) ? 1 : 0;
        }
    }
    return count;
}

TEST(MaterialEffectsRun, TheShowcaseDrawsEachEffectWithItsTextures)
{
    if (!apptest::HaveSampleData()) {
        GTEST_SKIP() << "no sample data: build the sample-data target";
    }
    const std::string dir =
        std::string(RW_TEST_BINARY_DIR) + "/tests/fx_showcase/" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    std::string output;
    ASSERT_EQ(apptest::RunGame(apptest::SampleData(),
                               "--headless --mode 1 --stage 29 --fixed-step 16 --frames 70 --debug --screenshot 70:'" +
                                   dir + "/showcase.bmp' --trace '" + dir + "/t.txt'" + gametest::kKeptRunOptions,
                               &output, "SDL_AUDIODRIVER=dummy"),
              0)
        << output;
    // Every texture the showcase names is found in the stage's pack (the
    // bumped texture, named after the base and the bump texture, is built).
    for (const char *name : {"fxbase", "fxenv", "fxdual", "fxbump"}) {
        EXPECT_EQ(output.find(name), std::string::npos) << output;
    }
    apptest::ExpectLikeReference(dir + "/showcase.bmp",
                                 std::string(RW_TEST_SOURCE_DIR) + "/tests/fx/reference/effects_showcase.bmp",
                                 dir + "/showcase_difference.bmp");
    apptest::Bmp shot;
    ASSERT_TRUE(apptest::LoadBmp(dir + "/showcase.bmp", &shot));
    // From the left on screen: the bump map, the second texture, the
    // environment map, each over the grey checker (r = g = b).
    // The bumps in relief: black where a bump's light falls off it, white
    // where it catches the light.
    const int black = Count(shot, 20, 120, 90, 170, [](Rgb c) { return c.r < 40 && c.g < 40 && c.b < 40; });
    const int white = Count(shot, 20, 120, 90, 170, [](Rgb c) { return c.r > 200 && c.g > 200 && c.b > 200; });
    EXPECT_GT(black, 300);
    EXPECT_GT(white, 200);
    // The orange stripes, twice as bright over the checker.
    const int orange = Count(shot, 140, 110, 205, 175, [](Rgb c) { return c.r > 200 && c.g > 90 && c.b < 110; });
    EXPECT_GT(orange, 800);
    // The sky reflected along the top of the leaning panel, blue over the grey.
    const int sky = Count(shot, 255, 101, 330, 110, [](Rgb c) { return c.b > c.r + 20; });
    EXPECT_GT(sky, 300);
    // Below it, the checker brightened by the reflected ground.
    const int bright = Count(shot, 255, 130, 285, 170, [](Rgb c) { return c.r > 220; });
    EXPECT_GT(bright, 300);
    // The whole run as kept: the fade-in's frames and the panels' after it.
    gametest::ExpectRunAsKept(gametest::ReadTrace(dir + "/t.txt"), "fx/frame_logs/effects_showcase", dir + "/t.txt");
    if (!::testing::Test::HasFailure()) {
        std::filesystem::remove_all(dir);
    }
}

}  // namespace

}  // namespace material_effects_run_test
