// End to end: the game takes the first stage's textures from the stage's
// pack. Run from a copy of the sample data without the loose stage
// textures, it shows the reviewed reference frame; without the pack's list
// it stops before the first frame, non-zero, naming the missing file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/reference_image.h"
#include "tests/app/app_test_support.h"

namespace game_pack_test {

namespace {

std::string BinaryDir() { return RW_TEST_BINARY_DIR; }
std::string Folder(const std::string &name)
{
    return BinaryDir() + "/tests/app_pack/" + std::to_string(getpid()) + "/" + name;
}

using apptest::CopySampleData;
using apptest::RunGame;

const char *const kRun = "--headless --mode 2 --frames 3 --fixed-step 16 --screenshot 3:out.bmp";
// The first stage, once its fade-in from black is over.
const char *const kStageRun = "--headless --mode 2 --stage 1 --frames 90 --fixed-step 16 --screenshot 90:out.bmp";
// The first stage loaded.
const char *const kStageStart = "--headless --mode 2 --stage 1 --frames 3 --fixed-step 16";

TEST(GamePack, TheStageShowsWithTexturesFromThePackAlone)
{
    const std::string folder = Folder("pack_only");
    ASSERT_TRUE(CopySampleData(folder)) << "no sample data: build the sample-data target";
    std::filesystem::remove_all(folder + "/RESOURCE/STAGE/1/TEXTURES");
    std::string output;
    ASSERT_EQ(RunGame(folder, kStageRun, &output), 0) << output;
    apptest::ExpectLikeReference(folder + "/out.bmp",
                                 std::string(RW_TEST_SOURCE_DIR) + "/tests/app/reference/stage_mode2_tick90.bmp",
                                 folder + "/difference.bmp");
}

TEST(GamePack, AMissingPackListStopsTheRunNamingIt)
{
    const std::string folder = Folder("no_list");
    ASSERT_TRUE(CopySampleData(folder)) << "no sample data: build the sample-data target";
    std::filesystem::remove(folder + "/PACK/STAGE1/2010000.LST");
    for (const bool debug : {false, true}) {
        std::string output;
        EXPECT_NE(RunGame(folder, std::string(kStageStart) + (debug ? " --debug" : ""), &output), 0);
        // The pack layer's diagnostic line, with --debug only.
        EXPECT_EQ(output.find("We DONT have LST file!!!(PACK/STAGE1/2010000.LST)") != std::string::npos, debug)
            << output;
        // The message box's fatal line, always: entry 1 of the message table, then the name.
        EXPECT_NE(output.find("Cannot find the file: PACK/STAGE1/2010000.LST"), std::string::npos) << output;
        EXPECT_FALSE(std::filesystem::exists(folder + "/out.bmp"));
    }
}

// Languages whose folder has no stage pack fall back to \PACK.
TEST(GamePack, EveryLanguageFindsTheStagePack)
{
    const std::string folder = Folder("languages");
    ASSERT_TRUE(CopySampleData(folder)) << "no sample data: build the sample-data target";
    for (const char *language : {"0", "14"}) {
        std::string output;
        EXPECT_EQ(RunGame(folder, std::string(kStageStart) + " --language " + language, &output), 0) << output;
    }
    std::string output;
    EXPECT_EQ(RunGame(folder, std::string(kRun) + " --language 15", &output), 2);
}

}  // namespace

}  // namespace game_pack_test
