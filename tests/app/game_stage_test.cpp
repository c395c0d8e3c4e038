// End to end on the sample data: the game run headless from the data root,
// without its screens, shows the first stage (lit, textured floors and walls, the prop) under
// its 2D layer. Two fixed-step screenshots are compared with reviewed
// reference images; where pixels are fixed by the frame's layout they are
// checked exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/bmp_file.h"
#include "app/reference_image.h"
#include "tests/app/run_without_screens.h"

namespace game_stage_test {

namespace {

using apptest::Bmp;
using apptest::LoadBmp;

constexpr int kWidth = 640;  // mode 1
constexpr int kHeight = 480;

std::string BinaryDir() { return RW_TEST_BINARY_DIR; }
// CTest runs each suite in its own process, side by side: every process
// runs the game into a folder of its own so no run reads another's shots.
std::string ShotDir() { return BinaryDir() + "/tests/app_stage/" + std::to_string(getpid()); }
std::string ReferencePath(int tick)
{
    return std::string(RW_TEST_SOURCE_DIR) + "/tests/app/reference/stage_tick" + std::to_string(tick) + ".bmp";
}

Bmp Shot(int tick)
{
    Bmp bmp;
    EXPECT_TRUE(LoadBmp(ShotDir() + "/shot" + std::to_string(tick) + ".bmp", &bmp));
    return bmp;
}

class GameStage : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const std::string data = BinaryDir() + "/data";
        ran = false;
        if (std::system(("test -f '" + data + "/RESOURCE/STAGE/1/STAGE.BSP'").c_str()) != 0) {
            return;
        }
        std::system(("mkdir -p '" + ShotDir() + "' && rm -f '" + ShotDir() + "'/shot*.bmp '" + ShotDir() + "'/difference*.bmp").c_str());
        status = apptest::RunWithoutScreens(data, {"--mode", "1", "--frames", "30", "--fixed-step", "33",
                                                   "--screenshot", "2:" + ShotDir() + "/shot2.bmp", "--screenshot",
                                                   "30:" + ShotDir() + "/shot30.bmp"});
        ran = true;
    }

    void SetUp() override
    {
        ASSERT_TRUE(ran) << "no sample data in " << BinaryDir() << "/data: build the sample-data target";
        ASSERT_EQ(status, 0);
    }

    static bool ran;
    static int status;
};

bool GameStage::ran = false;
int GameStage::status = -1;

void ExpectLikeReference(int tick)
{
    const std::string shot = ShotDir() + "/shot" + std::to_string(tick) + ".bmp";
    apptest::ExpectLikeReference(shot, ReferencePath(tick), ShotDir() + "/difference" + std::to_string(tick) + ".bmp");
}

TEST_F(GameStage, ScreenshotsMatchTheReviewedReferences)
{
    ExpectLikeReference(2);
    ExpectLikeReference(30);
}

TEST_F(GameStage, CameraMovesWithTheGameClock)
{
    const Bmp early = Shot(2);
    const Bmp late = Shot(30);
    ASSERT_EQ(early.width, late.width);
    int changed = 0;
    for (int y = 0; y < early.height; ++y) {
        for (int x = 0; x < early.width; ++x) {
            changed += early.Pixel(x, y) != late.Pixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_GT(changed, early.width * early.height / 10);
}

// The sky above the far walls is the cleared background, and the 2D layer
// is drawn over the scene at fixed places in fixed colours.
TEST_F(GameStage, BackgroundAndUntexturedQuadsAreExact)
{
    const uint32_t clear = 0x182858;
    const uint32_t red = 0xDC2828;
    const uint32_t green = 0x28C83C;
    for (int tick : {2, 30}) {
        const Bmp shot = Shot(tick);
        ASSERT_EQ(shot.width, kWidth);
        EXPECT_EQ(shot.Pixel(0, 0), clear) << tick;
        EXPECT_EQ(shot.Pixel(kWidth - 1, 0), clear) << tick;
        EXPECT_EQ(shot.Pixel(kWidth / 2 - 40, 4), clear) << tick;
        // Red covers [80, 240) x [80, 240), green [320, 560) x [240, 400).
        EXPECT_EQ(shot.Pixel(80, 80), red) << tick;
        EXPECT_EQ(shot.Pixel(239, 239), red) << tick;
        EXPECT_EQ(shot.Pixel(320, 240), green) << tick;
        EXPECT_EQ(shot.Pixel(559, 399), green) << tick;
        // Just outside the quads the stage shows, not the quads' colours.
        EXPECT_NE(shot.Pixel(79, 200), red) << tick;
        EXPECT_NE(shot.Pixel(560, 300), green) << tick;
    }
}

// The sign quad shows SIGN01.BMP of the sample data 8 pixels a texel from
// (360, 20): the middle of every texel's block is that texel's colour.
TEST_F(GameStage, TexturedQuadShowsTheSignTexels)
{
    Bmp sign;
    ASSERT_TRUE(LoadBmp(BinaryDir() + "/data/RESOURCE/STAGE/1/TEXTURES/SIGN01.BMP", &sign));
    ASSERT_EQ(sign.width, 16);
    ASSERT_EQ(sign.height, 16);
    for (int tick : {2, 30}) {
        const Bmp shot = Shot(tick);
        ASSERT_EQ(shot.width, kWidth);
        for (int v = 0; v < 16; ++v) {
            for (int u = 0; u < 16; ++u) {
                ASSERT_EQ(shot.Pixel(360 + 8 * u + 4, 20 + 8 * v + 4), sign.Pixel(u, v))
                    << "texel " << u << ", " << v << " at tick " << tick;
            }
        }
        // The quad ends where its last texel does.
        EXPECT_EQ(shot.Pixel(360 + 127, 20 + 127), sign.Pixel(15, 15));
    }
}

}  // namespace

}  // namespace game_stage_test
