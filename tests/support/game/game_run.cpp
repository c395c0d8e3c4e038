// The game itself on the sample data (see game_run.h).
#include "support/game/game_run.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/app_test_support.h"

namespace gametest {

std::vector<TraceRecord> RunSampleGame(const std::string &name, const std::string &arguments)
{
    const std::string folder = apptest::ScratchFolder("run_" + name);
    EXPECT_TRUE(apptest::CopySampleData(folder)) << "no sample data: build the sample-data target";
    std::string output;
    EXPECT_EQ(apptest::RunGame(folder, "--headless --mode 1 --fixed-step 16 --trace t.txt " + arguments, &output,
                               "SDL_AUDIODRIVER=dummy"),
              0)
        << output;
    std::vector<TraceRecord> trace = ReadTrace(folder + "/t.txt");
    if (!::testing::Test::HasFailure()) {
        std::filesystem::remove_all(folder);
    }
    return trace;
}

std::vector<TraceRecord> RunLinkedSampleGame(const std::string &name, const std::string &arguments,
                                             const std::string &script)
{
    namespace fs = std::filesystem;
    const std::string folder = apptest::ScratchFolder("run_" + name);
    const bool haveData = apptest::HaveSampleData();
    EXPECT_TRUE(haveData) << "no sample data: build the sample-data target";
    if (haveData) {
        for (const fs::directory_entry &entry : fs::directory_iterator(apptest::SampleData())) {
            const fs::path link = fs::path(folder) / entry.path().filename();
            if (entry.is_directory()) {
                fs::create_directory_symlink(entry.path(), link);
            } else {
                fs::create_symlink(entry.path(), link);
            }
        }
    }
    apptest::WriteText(folder + "/script.txt", script);
    std::string output;
    EXPECT_EQ(apptest::RunGame(folder, "--headless --mode 1 --fixed-step 16 --trace t.txt --input script.txt " + arguments,
                               &output, "SDL_AUDIODRIVER=dummy"),
              0)
        << output;
    std::vector<TraceRecord> trace = ReadTrace(folder + "/t.txt");
    if (!::testing::Test::HasFailure()) {
        fs::remove_all(folder);
    }
    return trace;
}

}  // namespace gametest
