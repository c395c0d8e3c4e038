// End to end on the sample data: the game run headless from the data root
// shows the first stage (lit, textured floors and walls, the prop) under
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

namespace {

using apptest::Bmp;
using apptest::LoadBmp;

// Rasterising the same scene in another build type may move an edge by a
// rounding step or shade a texel one step apart; anything more is a fault.
constexpr int kChannelTolerance = 8;
// Pixels past the tolerance allowed per image: triangle edges only.
constexpr double kOutlierShare = 0.002;

constexpr int kWidth = 640;  // mode 1
constexpr int kHeight = 480;

std::string BinaryDir() { return RW_TEST_BINARY_DIR; }
// CTest runs each case in its own process, side by side: every process
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

int Channel(uint32_t p, int c) { return static_cast<int>((p >> (8 * c)) & 0xFF); }

// Per channel |a - b| packed as a pixel, and the largest of the three.
uint32_t Difference(uint32_t a, uint32_t b, int *largest)
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
        const std::string command = "cd '" + data + "' && '" + BinaryDir() +
                                    "/app/game' --headless --mode 1 --frames 30 --fixed-step 33"
                                    " --screenshot 2:'" + ShotDir() + "/shot2.bmp' --screenshot 30:'" + ShotDir() +
                                    "/shot30.bmp'";
        status = std::system(command.c_str());
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

// Writes |shot - reference| beside the shots; returns its path.
std::string WriteDifference(const Bmp &shot, const Bmp &reference, int tick)
{
    std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            int largest = 0;
            const uint32_t d = Difference(shot.Pixel(x, y), reference.Pixel(x, y), &largest);
            // Amplified four times, so that small differences show.
            uint32_t shown = 0;
            for (int c = 0; c < 3; ++c) {
                shown |= static_cast<uint32_t>(std::min(255, 4 * Channel(d, c))) << (8 * c);
            }
            pixels[size_t(y) * kWidth + size_t(x)] = shown;
        }
    }
    const std::string path = ShotDir() + "/difference" + std::to_string(tick) + ".bmp";
    apptest::WriteBmp(path, kWidth, kHeight, pixels);
    return path;
}

void ExpectLikeReference(int tick)
{
    const Bmp shot = Shot(tick);
    Bmp reference;
    ASSERT_TRUE(LoadBmp(ReferencePath(tick), &reference)) << ReferencePath(tick);
    ASSERT_EQ(shot.width, kWidth);
    ASSERT_EQ(shot.height, kHeight);
    ASSERT_EQ(reference.width, kWidth);
    ASSERT_EQ(reference.height, kHeight);
    int outliers = 0;
    int worst = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            int far = 0;
            Difference(shot.Pixel(x, y), reference.Pixel(x, y), &far);
            worst = std::max(worst, far);
            outliers += far > kChannelTolerance ? 1 : 0;
        }
    }
    const int allowed = static_cast<int>(kOutlierShare * kWidth * kHeight);
    if (outliers > allowed) {
        ADD_FAILURE() << "tick " << tick << ": " << outliers << " pixels differ by more than " << kChannelTolerance
                      << " (worst " << worst << "); difference image: " << WriteDifference(shot, reference, tick);
    }
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
