// End to end: the game driven by an input script logs what its pads, mouse and keys gave
// each tick; a binding file in the run folder changes what the keys do; a malformed
// script stops the run before the first tick with status 2.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/app_test_support.h"

namespace game_input_test {

namespace {

const char *const kRun = "--headless --mode 1 --frames 60 --fixed-step 16 --input keys.txt --input-log log.txt";

const char *const kKeys =
    "# start on Enter, the left stick on W A S D, the left mouse button\n"
    "5 key Enter 1\n"
    "8 key Enter 0\n"
    "10 key W 1\n"
    "11 key W 0\n"
    "11 key D 1\n"
    "12 key D 0\n"
    "12 key S 1\n"
    "13 key S 0\n"
    "13 key A 1\n"
    "14 key A 0\n"
    "20 mouse button 0 1\n"
    "23 mouse button 0 0\n"
    "30 key B 1\n"
    "30 key C 1\n"
    "31 key B 0\n"
    "31 key C 0\n";

std::string Read(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A run folder holding a copy of the sample data and the script.
std::string RunFolder(const std::string &name, const std::string &script)
{
    const std::string folder = apptest::ScratchFolder("game_input_" + name);
    EXPECT_TRUE(apptest::CopySampleData(folder));
    apptest::WriteText(folder + "/keys.txt", script);
    return folder;
}

bool Has(const std::string &log, const std::string &line) { return log.find(line + "\n") != std::string::npos; }

TEST(GameInput, TheLogShowsWhatTheScriptDid)
{
    ASSERT_TRUE(apptest::HaveSampleData()) << "no sample data: build the sample-data target";
    const std::string folder = RunFolder("defaults", kKeys);
    std::string output;
    ASSERT_EQ(apptest::RunGame(folder, kRun, &output), 0) << output;
    const std::string log = Read(folder + "/log.txt");
    // Enter is start: pressed, held, up.
    EXPECT_TRUE(Has(log, "1 pad0 connect 1")) << log;
    EXPECT_TRUE(Has(log, "5 pad0 button 11 1  # start")) << log;
    EXPECT_TRUE(Has(log, "6 pad0 button 11 2  # start")) << log;
    EXPECT_TRUE(Has(log, "8 pad0 button 11 0  # start")) << log;
    EXPECT_TRUE(Has(log, "5 key Enter 1")) << log;
    EXPECT_TRUE(Has(log, "6 key Enter 2")) << log;
    // W A S D are the left stick.
    EXPECT_TRUE(Has(log, "10 pad0 axis 1 -1000  # lay")) << log;
    EXPECT_TRUE(Has(log, "11 pad0 axis 1 0  # lay")) << log;
    EXPECT_TRUE(Has(log, "11 pad0 axis 0 1000  # lax")) << log;
    EXPECT_TRUE(Has(log, "12 pad0 axis 1 1000  # lay")) << log;
    EXPECT_TRUE(Has(log, "13 pad0 axis 0 -1000  # lax")) << log;
    EXPECT_TRUE(Has(log, "14 pad0 axis 0 0  # lax")) << log;
    // The mouse byte runs 1, 3, 2, 0; the left button is square.
    EXPECT_TRUE(Has(log, "20 mouse button 0 1")) << log;
    EXPECT_TRUE(Has(log, "21 mouse button 0 3")) << log;
    EXPECT_TRUE(Has(log, "23 mouse button 0 2")) << log;
    EXPECT_TRUE(Has(log, "24 mouse button 0 0")) << log;
    EXPECT_TRUE(Has(log, "20 pad0 button 2 1  # square")) << log;
    // C is circle by default; B is nothing.
    EXPECT_TRUE(Has(log, "30 pad0 button 1 1  # circle")) << log;
    EXPECT_FALSE(std::filesystem::exists(folder + "/buttons.pref"));
}

TEST(GameInput, TheLogFollowsABindingFile)
{
    ASSERT_TRUE(apptest::HaveSampleData()) << "no sample data: build the sample-data target";
    // The script holds C from tick 40 on, B from 45: with circle on B only B shows.
    const std::string folder = RunFolder("rebound", std::string(kKeys) + "40 key C 1\n45 key B 1\n");
    apptest::WriteText(folder + "/buttons.pref", "Slot: 4\n{\ncircle: 48\n}\n");
    std::string output;
    ASSERT_EQ(apptest::RunGame(folder, kRun, &output), 0) << output;
    const std::string log = Read(folder + "/log.txt");
    EXPECT_TRUE(Has(log, "30 pad0 button 1 1  # circle")) << log;  // B and C both pressed at 30
    EXPECT_FALSE(Has(log, "40 pad0 button 1 1  # circle")) << log;
    EXPECT_TRUE(Has(log, "45 pad0 button 1 1  # circle")) << log;
    EXPECT_TRUE(Has(log, "40 key C 1")) << log;
}

TEST(GameInput, AMalformedScriptStopsTheRunWithStatusTwo)
{
    ASSERT_TRUE(apptest::HaveSampleData()) << "no sample data: build the sample-data target";
    const std::string folder = RunFolder("malformed", "5 key Enter 1\n12 key\n");
    std::string output;
    EXPECT_EQ(apptest::RunGame(folder, kRun, &output), 2);
    EXPECT_NE(output.find("keys.txt, line 2: key needs a key and a state 0 or 1: '12 key'"), std::string::npos)
        << output;
    EXPECT_FALSE(std::filesystem::exists(folder + "/log.txt"));
}

TEST(GameInput, AScriptCanEndTheRun)
{
    ASSERT_TRUE(apptest::HaveSampleData()) << "no sample data: build the sample-data target";
    const std::string folder = RunFolder("quit", "3 key Enter 1\n9 quit\n");
    std::string output;
    ASSERT_EQ(apptest::RunGame(folder, std::string(kRun) + " --screenshot 20:late.bmp", &output), 0) << output;
    EXPECT_TRUE(Has(Read(folder + "/log.txt"), "4 pad0 button 11 2  # start"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/late.bmp"));
}

}  // namespace

}  // namespace game_input_test
