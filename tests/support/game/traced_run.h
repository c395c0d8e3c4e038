// A headless run of the game on a copy of the sample data, with its trace
// read back: what the end-to-end tests of the behaviours look at.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/game/trace_reader.h"
#include "tests/app/app_test_support.h"

namespace gametest {

// Runs `--headless --mode 1 --fixed-step 16 --trace t.txt` and `arguments`
// in a scratch copy named after `name` (removed afterwards); the records
// of its trace. A failure to copy or a non-zero status fails the test.
inline std::vector<TraceRecord> RunTracedGame(const std::string &name, const std::string &arguments)
{
    const std::string folder = apptest::ScratchFolder(name);
    EXPECT_TRUE(apptest::CopySampleData(folder)) << "no sample data: build the sample-data target";
    std::string output;
    EXPECT_EQ(apptest::RunGame(folder, "--headless --mode 1 --fixed-step 16 --trace t.txt " + arguments, &output,
                               "SDL_AUDIODRIVER=dummy"),
              0)
        << output;
    std::vector<TraceRecord> trace = ReadTrace(folder + "/t.txt");
    std::filesystem::remove_all(folder);
    return trace;
}

}  // namespace gametest
