// End to end on the sample data: the statistics overlay in the maker's font
// ("FPS 60" at the top left, the reviewed reference crop; the rest of the
// frame as without it), over the running stage in every mode, and the fatal message of a run without its font:
// non-zero, naming the file, in the language's message table.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/reference_image.h"
#include "tests/app/app_test_support.h"
#include "tests/app/run_without_screens.h"
#include "tests/support/game/run_log.h"
#include "tests/support/game/trace_reader.h"

namespace game_text_test {

namespace {

using apptest::Bmp;

// The top-left corner the overlay's first line lies in.
constexpr int kCropWidth = 96;
constexpr int kCropHeight = 32;

std::string Folder(const std::string &name)
{
    return std::string(RW_TEST_BINARY_DIR) + "/tests/app_text/" + std::to_string(getpid()) + "/" + name;
}

std::string RunInSampleData(const std::string &arguments, int *status)
{
    std::string output;
    *status = apptest::RunGame(apptest::SampleData(), arguments, &output);
    return output;
}

class GameText : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!apptest::HaveSampleData()) {
            GTEST_SKIP() << "no sample data: build the sample-data target";
        }
        dir = Folder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    std::string dir;
};

TEST_F(GameText, TheOverlayShowsFpsInTheFont)
{
    // Over the frame without screens (the first stage under its flying
    // camera), as the reviewed crop shows it.
    const std::vector<std::string> common = {"--mode", "1", "--frames", "5", "--fixed-step", "16"};
    std::vector<std::string> withFps = common;
    withFps.insert(withFps.end(), {"--screenshot", "5:" + dir + "/fps.bmp", "--display-info", "1"});
    ASSERT_EQ(apptest::RunWithoutScreens(apptest::SampleData(), withFps), 0);
    std::vector<std::string> plainRun = common;
    plainRun.insert(plainRun.end(), {"--screenshot", "5:" + dir + "/plain.bmp"});
    ASSERT_EQ(apptest::RunWithoutScreens(apptest::SampleData(), plainRun), 0);
    Bmp fps;
    Bmp plain;
    ASSERT_TRUE(apptest::LoadBmp(dir + "/fps.bmp", &fps));
    ASSERT_TRUE(apptest::LoadBmp(dir + "/plain.bmp", &plain));
    ASSERT_EQ(fps.width, 640);
    ASSERT_EQ(fps.height, 480);
    // Outside the corner the frame is the same pixel for pixel.
    int changedInCorner = 0;
    for (int y = 0; y < fps.height; ++y) {
        for (int x = 0; x < fps.width; ++x) {
            const bool corner = x < kCropWidth && y < kCropHeight;
            if (!corner) {
                ASSERT_EQ(fps.Pixel(x, y), plain.Pixel(x, y)) << x << ", " << y;
            } else {
                changedInCorner += fps.Pixel(x, y) != plain.Pixel(x, y) ? 1 : 0;
            }
        }
    }
    EXPECT_GT(changedInCorner, 60);
    std::vector<uint32_t> crop;
    for (int y = 0; y < kCropHeight; ++y) {
        for (int x = 0; x < kCropWidth; ++x) {
            crop.push_back(fps.Pixel(x, y));
        }
    }
    ASSERT_TRUE(apptest::WriteBmp(dir + "/fps_corner.bmp", kCropWidth, kCropHeight, crop));
    apptest::ExpectLikeReference(dir + "/fps_corner.bmp",
                                 std::string(RW_TEST_SOURCE_DIR) + "/tests/app/reference/display_info_fps.bmp",
                                 dir + "/fps_corner_difference.bmp");
}

// Over the running stage too, in every display-information mode: the
// frame is the same as without the overlay but in the top-left corner
// (and, in mode 3, where the light gizmos are drawn).
// Each run's frames are as kept.
TEST_F(GameText, TheOverlayDrawsOverTheRunningStage)
{
    constexpr int kCornerWidth = 160;   // the widest line, "MEM n KB"
    constexpr int kCornerHeight = 128;  // six lines in mode 3
    const std::string common = "--headless --mode 1 --stage 1 --frames 5 --fixed-step 16 --screenshot 5:'";
    // Each run's frames, every tick's, as kept (tests/app/frame_logs).
    const auto traced = [&](const std::string &name) {
        return " --trace '" + dir + "/" + name + ".txt' --trace-frames 1";
    };
    const auto expectAsKept = [&](const std::string &name) {
        gametest::ExpectRunAsKept(gametest::ReadTrace(dir + "/" + name + ".txt"), "app/frame_logs/stage1_" + name,
                                  dir + "/" + name + ".txt");
    };
    int status = -1;
    std::string output = RunInSampleData(common + dir + "/plain.bmp'" + traced("plain"), &status);
    ASSERT_EQ(status, 0) << output;
    expectAsKept("plain");
    Bmp plain;
    ASSERT_TRUE(apptest::LoadBmp(dir + "/plain.bmp", &plain));
    int previous = 0;
    for (int mode = 1; mode <= 3; ++mode) {
        const std::string shot = dir + "/info" + std::to_string(mode) + ".bmp";
        const std::string name = "display_info" + std::to_string(mode);
        output = RunInSampleData(common + shot + "' --display-info " + std::to_string(mode) + traced(name), &status);
        ASSERT_EQ(status, 0) << output;
        expectAsKept(name);
        Bmp info;
        ASSERT_TRUE(apptest::LoadBmp(shot, &info));
        ASSERT_EQ(info.width, plain.width);
        ASSERT_EQ(info.height, plain.height);
        int changedInCorner = 0;
        for (int y = 0; y < info.height; ++y) {
            for (int x = 0; x < info.width; ++x) {
                if (x >= kCornerWidth || y >= kCornerHeight) {
                    // Mode 3 also draws the world's lights over the whole view.
                    if (mode < 3) {
                        ASSERT_EQ(info.Pixel(x, y), plain.Pixel(x, y)) << "mode " << mode << " at " << x << ", " << y;
                    }
                } else {
                    changedInCorner += info.Pixel(x, y) != plain.Pixel(x, y) ? 1 : 0;
                }
            }
        }
        // Each mode adds lines to the one before.
        EXPECT_GT(changedInCorner, previous + 60) << "mode " << mode;
        previous = changedInCorner;
    }
}

TEST_F(GameText, WithoutItsFontTheRunStopsNamingIt)
{
    const std::string folder = Folder("no_font");
    ASSERT_TRUE(apptest::CopySampleData(folder));
    std::filesystem::remove(folder + "/RESOURCE/FONT/ENGFONT.XBF");
    std::filesystem::remove(folder + "/RESOURCE/FONT/CHIFONT.XBF");
    const std::string run = "--headless --mode 1 --frames 3 --fixed-step 16 --screenshot 3:out.bmp";
    std::string output;
    EXPECT_EQ(apptest::RunGame(folder, run, &output), 1);
    EXPECT_NE(output.find("Cannot find the file: RESOURCE/FONT/ENGFONT.XBF"), std::string::npos) << output;
    EXPECT_FALSE(std::filesystem::exists(folder + "/out.bmp"));
    // Language 0 takes the other font and says so from its own table.
    output.clear();
    EXPECT_EQ(apptest::RunGame(folder, run + " --language 0", &output), 1);
    EXPECT_NE(output.find("[CHI] Cannot find the file: RESOURCE/FONT/CHIFONT.XBF"), std::string::npos) << output;
    // Without the message table as well, the built-in line says it (and
    // the open's diagnostic line, asked for, says what was missing).
    std::filesystem::remove(folder + "/RESOURCE/UITEXT/MESSAGE/CHI.TCR");
    output.clear();
    EXPECT_EQ(apptest::RunGame(folder, run + " --language 0 --debug", &output), 1);
    EXPECT_NE(output.find("zufopen fail: RESOURCE/UITEXT/MESSAGE/CHI.TCR"), std::string::npos) << output;
    EXPECT_NE(output.find("\nCannot find the file: RESOURCE/FONT/CHIFONT.XBF"), std::string::npos) << output;
}

}  // namespace

}  // namespace game_text_test
