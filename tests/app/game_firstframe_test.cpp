// End to end: the game run headless in the 800x600 window for three ticks,
// in a folder holding nothing but its font, writes the frame it showed as a
// BMP, cleared with the quads in place.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/bmp_file.h"

using apptest::Bmp;
using apptest::LoadBmp;

TEST(GameFirstFrame, HeadlessScreenshotShowsTheClearedFrameWithItsQuads)
{
    const std::string dir = std::string(RW_TEST_BINARY_DIR) + "/tests/app_firstframe";
    const std::string out = dir + "/out.bmp";
    const std::string font = std::string(RW_TEST_BINARY_DIR) + "/data/RESOURCE/FONT/ENGFONT.XBF";
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "/RESOURCE/FONT' && rm -f '" + out + "' && cp '" + font + "' '" + dir +
                           "/RESOURCE/FONT/'")
                              .c_str()),
              0)
        << "no sample font: build the sample-data target";
    const std::string game = std::string(RW_TEST_BINARY_DIR) + "/app/game";
    const std::string command =
        "cd '" + dir + "' && '" + game + "' --headless --mode 2 --frames 3 --screenshot 3:out.bmp";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    Bmp bmp;
    ASSERT_TRUE(LoadBmp(out, &bmp));
    EXPECT_EQ(bmp.width, 800);
    EXPECT_EQ(bmp.height, 600);
    ASSERT_TRUE(bmp.bits == 24 || bmp.bits == 32);
    const uint32_t clear = 0x182858;
    const uint32_t red = 0xDC2828;
    const uint32_t green = 0x28C83C;
    // Red covers [100, 300) x [100, 300), green [400, 700) x [300, 500).
    EXPECT_EQ(bmp.Pixel(0, 0), clear);
    EXPECT_EQ(bmp.Pixel(799, 599), clear);
    EXPECT_EQ(bmp.Pixel(100, 100), red);
    EXPECT_EQ(bmp.Pixel(299, 299), red);
    EXPECT_EQ(bmp.Pixel(200, 200), red);
    EXPECT_EQ(bmp.Pixel(300, 200), clear);
    EXPECT_EQ(bmp.Pixel(99, 200), clear);
    EXPECT_EQ(bmp.Pixel(400, 300), green);
    EXPECT_EQ(bmp.Pixel(699, 499), green);
    EXPECT_EQ(bmp.Pixel(550, 400), green);
    EXPECT_EQ(bmp.Pixel(700, 400), clear);
    EXPECT_EQ(bmp.Pixel(550, 500), clear);
    EXPECT_EQ(bmp.Pixel(350, 250), clear);
}

TEST(GameFirstFrame, BadOptionsAreRefused)
{
    const std::string game = std::string(RW_TEST_BINARY_DIR) + "/app/game";
    EXPECT_NE(std::system(("'" + game + "' --headless --mode 5 --frames 1 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system(("'" + game + "' --headless --screenshot nowhere 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system(("'" + game + "' --frames 2>/dev/null").c_str()), 0);
}
